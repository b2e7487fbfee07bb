// Arc fitting of machining curves: runs of line segments that lie on one
// circle within 1.4 x AreaTolerance (the chords that polygon clipping and
// offsets return) become arcs again.

#include "cam/curves/ACerchio.h"
#include "cam/curves/ACurva.h"

#include "core/geometry/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

TACerchio TACerchio::CreateThrough3Points(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3)
{
    TACerchio c;
    const double d = 2.0 * (p1.X * (p2.Y - p3.Y) + p2.X * (p3.Y - p1.Y) + p3.X * (p1.Y - p2.Y));
    if (d == 0.0) {
        return c;
    }
    const double s1 = p1.X * p1.X + p1.Y * p1.Y;
    const double s2 = p2.X * p2.X + p2.Y * p2.Y;
    const double s3 = p3.X * p3.X + p3.Y * p3.Y;
    c.Centre.X = (s1 * (p2.Y - p3.Y) + s2 * (p3.Y - p1.Y) + s3 * (p1.Y - p2.Y)) / d;
    c.Centre.Y = (s1 * (p3.X - p2.X) + s2 * (p1.X - p3.X) + s3 * (p2.X - p1.X)) / d;
    c.Radius = DistanceVector2D(p1, c.Centre);
    return c;
}

bool TACerchio::IsOnCircle(const TVector2D& p, double tolerance) const
{
    return std::fabs(DistanceVector2D(p, Centre) - Radius) < tolerance;
}

bool TACerchio::IsChordOnCircle(const TVector2D& p, const TVector2D& q, double tolerance) const
{
    return IsOnCircle(p, tolerance) && IsOnCircle(q, tolerance) && IsOnCircle(MidPoint2D(p, q), tolerance);
}

namespace {

double AngleAbout(const TVector2D& p, const TVector2D& centre)
{
    return std::atan2(p.Y - centre.Y, p.X - centre.X);
}

// Whether the run (line vertices following `start`) lies on one arc of at
// most 3.15 radians; on success `arc` takes that arc's points, centre,
// direction and the last vertex's attribute (its radii stay).
bool FitArcThroughRun(const TAVertice& start, std::span<const TAVertice> run, TAArco& arc)
{
    const size_t n = run.size();
    if (n < 2) {
        return false;
    }
    const TAVertice& last = run.back();
    const TACerchio circle = TACerchio::CreateThrough3Points(start.EndPoint, run[(n - 1) / 2].EndPoint, last.EndPoint);
    // Collinear points have no circle; the zero circle must not pass the
    // chord test by chance when the points lie next to the origin.
    if (circle.Radius == 0.0) {
        return false;
    }
    // IsChordOnCircle on squared distances: no root per point.
    const double tol = AreaTolerance * 1.4;
    const double inner = circle.Radius > tol ? (circle.Radius - tol) * (circle.Radius - tol) : -1.0;
    const double outer = (circle.Radius + tol) * (circle.Radius + tol);
    const auto onCircle = [&](double x, double y) {
        const double dx = x - circle.Centre.X;
        const double dy = y - circle.Centre.Y;
        const double d2 = dx * dx + dy * dy;
        return d2 > inner && d2 < outer;
    };
    TVector2D prev = start.EndPoint;
    for (const TAVertice& v : run) {
        const TVector2D& q = v.EndPoint;
        if (!onCircle(q.X, q.Y) || !onCircle((prev.X + q.X) / 2.0, (prev.Y + q.Y) / 2.0)) {
            return false;
        }
        prev = q;
    }
    TAArco trial = TAArco::Create(start.EndPoint, last.EndPoint, circle.Centre, true, last.Attribute);
    // The direction through the first run vertex and the sweep on the end
    // angles taken once.
    const double startAngle = AngleAbout(start.EndPoint, circle.Centre);
    const double endAngle = AngleAbout(last.EndPoint, circle.Centre);
    const double throughAngle = AngleAbout(run.front().EndPoint, circle.Centre);
    trial.CounterClockwise = TAArco::DirectionThrough(startAngle, endAngle, throughAngle);
    const bool ccw = trial.CounterClockwise != 0;
    const double sweep = TAArco::SweepBetween(startAngle, endAngle, ccw);
    if (!(sweep < 3.15)) {
        return false;
    }
    // Every run vertex within the arc's span: seen from the centre, between
    // the start and the end in the arc's direction (by cross products, in
    // the counter-clockwise sense from `from` to `to`).
    const TVector2D c = circle.Centre;
    const TVector2D s{start.EndPoint.X - c.X, start.EndPoint.Y - c.Y};
    const TVector2D e{last.EndPoint.X - c.X, last.EndPoint.Y - c.Y};
    const TVector2D& from = ccw ? s : e;
    const TVector2D& to = ccw ? e : s;
    const bool wide = sweep > std::numbers::pi;
    // Points on the ends' radii count as inside: rounding must not push the
    // end of a half circle out of its own span.
    const double slack = -1e-9 * circle.Radius * circle.Radius;
    for (const TAVertice& v : run) {
        const TVector2D p{v.EndPoint.X - c.X, v.EndPoint.Y - c.Y};
        const bool afterFrom = CrossProduct2D(from, p) >= slack;
        const bool beforeTo = CrossProduct2D(p, to) >= slack;
        if (wide ? (!afterFrom && !beforeTo) : (!afterFrom || !beforeTo)) {
            return false;
        }
    }
    arc.StartPoint = trial.StartPoint;
    arc.EndPoint = trial.EndPoint;
    arc.Centre = trial.Centre;
    arc.CounterClockwise = trial.CounterClockwise;
    arc.Attribute = trial.Attribute;
    return true;
}

// The working state of one fitting pass.
struct TArcFitPass {
    std::vector<TAVertice> Output;
    TAArco Arc;
    TAArco Fitted;
    bool Changed = false;

    // A line vertex, unless it repeats the end point before it.
    void AddLine(const TAVertice& v)
    {
        if (!Output.empty() && IsSameVector2D(v.EndPoint, Output.back().EndPoint)) {
            return;
        }
        Output.push_back(v);
    }

    // The line vertices of `lines` after the last output vertex: each arc
    // takes the longest run from where the last one ended that fits one
    // circle, a vertex that starts no arc stays a line.
    //
    // The run is not grown vertex by vertex (each step refitting the whole
    // run, quadratic in its length): its length doubles while it fits, then
    // is halved down to a run that fits while one vertex more does not.
    // Every arc passes the same tests; where fitting is not monotonic the
    // arc may be longer than the first failure would have left it.
    void FitLines(std::span<const TAVertice> lines)
    {
        size_t at = 0;
        while (at < lines.size()) {
            const TAVertice start = Output.back();
            const std::span<const TAVertice> rest = lines.subspan(at);
            // Arc takes each run tried; Fitted keeps the arc of the longest
            // run that fitted.
            const auto fits = [&](size_t n) {
                if (!FitArcThroughRun(start, rest.first(n), Arc)) {
                    return false;
                }
                Fitted = Arc;
                return true;
            };
            if (rest.size() < 2 || !fits(2)) {
                AddLine(rest[0]);
                ++at;
                continue;
            }
            size_t good = 2;
            size_t bad = 0;
            while (bad == 0) {
                const size_t next = std::min(good * 2, rest.size());
                if (next == good) {
                    break;
                }
                if (fits(next)) {
                    good = next;
                } else {
                    bad = next;
                }
            }
            while (bad != 0 && bad - good > 1) {
                const size_t mid = good + (bad - good) / 2;
                if (fits(mid)) {
                    good = mid;
                } else {
                    bad = mid;
                }
            }
            if (Fitted.IsNearlyStraight()) {
                Output.push_back(TAVertice::CreateAt(Fitted.EndPoint, 0));
            } else {
                Output.push_back(TAVertice::CreateFull(Fitted.CounterClockwise ? 1 : -1, Fitted.EndPoint,
                                                       Fitted.Centre, Fitted.Attribute));
            }
            Changed = true;
            at += good;
        }
    }
};

} // namespace

void TACurva::FitArcs(double minRadius, double maxRadius)
{
    if (Vertices.empty()) {
        return;
    }
    TArcFitPass pass;
    pass.Arc = TAArco::CreateEmpty();
    pass.Arc.MinRadius = minRadius;
    pass.Arc.MaxRadius = maxRadius;
    pass.Output.reserve(Vertices.size());
    pass.Output.push_back(Vertices[0]);
    const std::span<const TAVertice> all(Vertices);
    size_t i = 1;
    while (i < Vertices.size()) {
        if (Vertices[i].Kind != 0) {
            // An arc already in the curve ends the run and stays in place.
            pass.Output.push_back(Vertices[i]);
            ++i;
            continue;
        }
        size_t end = i;
        while (end < Vertices.size() && Vertices[end].Kind == 0) {
            ++end;
        }
        pass.FitLines(all.subspan(i, end - i));
        i = end;
    }
    if (pass.Changed) {
        Vertices = std::move(pass.Output);
    }
}
