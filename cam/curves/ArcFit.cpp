// Arc fitting of machining curves: runs of line segments that lie on one
// circle within 1.4 x AreaTolerance (the chords that polygon clipping and
// offsets return) become arcs again.

#include "cam/curves/ACerchio.h"
#include "cam/curves/ACurva.h"

#include "core/geometry/Geometry.h"

#include <cmath>

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

double PolarAngle(const TVector2D& p, const TVector2D& centre)
{
    return std::atan2(p.Y - centre.Y, p.X - centre.X);
}

// Whether the run (line vertices following `start`) lies on one arc of at
// most 3.15 radians; on success `arc` takes that arc's points, centre,
// direction and the last vertex's attribute (its radii stay).
bool FitArcThroughRun(const TAVertice& start, const std::vector<TAVertice>& run, TAArco& arc)
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
    const double tol = AreaTolerance * 1.4;
    TVector2D prev = start.EndPoint;
    for (const TAVertice& v : run) {
        if (!circle.IsChordOnCircle(prev, v.EndPoint, tol)) {
            return false;
        }
        prev = v.EndPoint;
    }
    TAArco trial = TAArco::Create(start.EndPoint, last.EndPoint, circle.Centre, true, last.Attribute);
    trial.SetDirectionThrough(run.front().EndPoint);
    const bool ccw = trial.CounterClockwise != 0;
    double a1 = PolarAngle(start.EndPoint, circle.Centre);
    double a2 = PolarAngle(last.EndPoint, circle.Centre);
    if (ccw && a1 > a2) {
        a2 += kTwoPi;
    } else if (!ccw && a1 < a2) {
        a1 += kTwoPi;
    }
    if (!(trial.SweepAngle() < 3.15)) {
        return false;
    }
    for (const TAVertice& v : run) {
        double a = PolarAngle(v.EndPoint, circle.Centre);
        if (ccw) {
            if (a < a1) a += kTwoPi;
            if (a > a2) return false;
        } else {
            if (a < a2) a += kTwoPi;
            if (a > a1) return false;
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
    std::vector<TAVertice> Run;
    TAArco Arc;
    bool ArcPending = false;
    bool Changed = false;

    void FlushArcRun(bool continuing)
    {
        if (continuing && FitArcThroughRun(Output.back(), Run, Arc)) {
            ArcPending = true;
            return;
        }
        TAVertice kept;
        if (ArcPending) {
            // The run up to its previous vertex fitted Arc.
            if (Arc.IsNearlyStraight()) {
                Output.push_back(TAVertice::CreateAt(Arc.EndPoint, 0));
            } else {
                Output.push_back(TAVertice::CreateFull(Arc.CounterClockwise ? 1 : -1, Arc.EndPoint, Arc.Centre,
                                                       Arc.Attribute));
            }
            Changed = true;
            ArcPending = false;
            if (continuing) {
                kept = Run.back();
            }
            Run.clear();
        } else {
            if (continuing) {
                kept = Run.back();
                Run.pop_back();
            }
            for (size_t i = 0; i < Run.size(); ++i) {
                if (i == 0 && !Output.empty() && IsSameVector2D(Run[i].EndPoint, Output.back().EndPoint)) {
                    continue;
                }
                Output.push_back(Run[i]);
            }
            Run.clear();
        }
        if (continuing) {
            Run.push_back(kept);
        }
    }
};

} // namespace

void TACurva::FitArcs(double minRadius, double maxRadius)
{
    TArcFitPass pass;
    pass.Arc = TAArco::CreateEmpty();
    pass.Arc.MinRadius = minRadius;
    pass.Arc.MaxRadius = maxRadius;
    pass.Output.reserve(Vertices.size());
    for (size_t i = 0; i < Vertices.size(); ++i) {
        const TAVertice& v = Vertices[i];
        if (i == 0) {
            pass.Output.push_back(v);
        } else if (v.Kind != 0) {
            // An arc already in the curve ends the run and stays in place.
            if (!pass.Run.empty()) {
                pass.FlushArcRun(false);
            }
            pass.Output.push_back(v);
        } else {
            pass.Run.push_back(v);
            if (pass.Run.size() > 1) {
                pass.FlushArcRun(true);
            }
        }
    }
    if (!pass.Run.empty()) {
        pass.FlushArcRun(false);
    }
    if (pass.Changed) {
        Vertices = std::move(pass.Output);
    }
}
