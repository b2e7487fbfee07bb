#include "cam/offset/NcAutoPoly.h"

#include "cam/curves/Area.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "core/geometry/ArcIntersections.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kFullTurn = 2.0 * std::numbers::pi;
// How much nearer than the distance a kept strand may come to the source.
constexpr double kDistanceSlack = 0.01;

// Angle in [0, 2 pi).
double Positive(double angle)
{
    angle = std::fmod(angle, kFullTurn);
    return angle < 0.0 ? angle + kFullTurn : angle;
}

double PolarAngle(const TVector2D& p, const TVector2D& centre)
{
    return std::atan2(p.Y - centre.Y, p.X - centre.X);
}

// The sweep from angle a to angle b in the direction, in [0, 2 pi).
double SweepBetween(double a, double b, bool counterClockwise)
{
    return Positive(counterClockwise ? b - a : a - b);
}

// The bulge of an arc of the sweep, signed by the direction.
double BulgeOf(double sweep, bool counterClockwise)
{
    const double b = std::tan(sweep / 4.0);
    return counterClockwise ? b : -b;
}

// The arc as the intersection routines take it: counter-clockwise from
// start to end.
TArcInfo2D ArcInfo(const TNcAutoPoly& s)
{
    TArcInfo2D arc;
    arc.StartPoint = s.Bulge > 0.0 ? s.StartPoint : s.EndPoint;
    arc.EndPoint = s.Bulge > 0.0 ? s.EndPoint : s.StartPoint;
    arc.Centre = s.Centre();
    arc.Radius = DistanceVector2D(arc.StartPoint, arc.Centre);
    arc.StartAngle = PolarAngle(arc.StartPoint, arc.Centre);
    arc.EndAngle = PolarAngle(arc.EndPoint, arc.Centre);
    arc.Sweep = s.Sweep();
    return arc;
}

// Where two lines cross: inside segment a (strictly) and on segment b.
// Parallel and collinear lines never cross.
void CrossLines(const TNcAutoPoly& a, const TNcAutoPoly& b, std::vector<TVector2D>& points)
{
    const TVector2D r = SubtractVectors2D(a.EndPoint, a.StartPoint);
    const TVector2D s = SubtractVectors2D(b.EndPoint, b.StartPoint);
    const double denominator = CrossProduct2D(r, s);
    if (denominator == 0.0)
        return;
    const TVector2D qp = SubtractVectors2D(b.StartPoint, a.StartPoint);
    const double t = CrossProduct2D(qp, s) / denominator;
    const double u = CrossProduct2D(qp, r) / denominator;
    if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0)
        points.push_back({a.StartPoint.X + t * r.X, a.StartPoint.Y + t * r.Y});
}

// The crossing points of two segments, each once.
std::vector<TVector2D> Crossings(const TNcAutoPoly& a, const TNcAutoPoly& b)
{
    std::vector<TVector2D> points;
    if (!a.IsArc() && !b.IsArc()) {
        CrossLines(a, b, points);
    } else if (!a.IsArc()) {
        if (!IsSameVector2D(a.StartPoint, a.EndPoint))
            IntersectLineWithArc(a.StartPoint, a.EndPoint, ArcInfo(b), true, points);
    } else if (!b.IsArc()) {
        if (!IsSameVector2D(b.StartPoint, b.EndPoint))
            IntersectLineWithArc(b.StartPoint, b.EndPoint, ArcInfo(a), true, points);
    } else {
        IntersectCircles(ArcInfo(a), ArcInfo(b), true, points);
    }
    std::vector<TVector2D> unique;
    for (const TVector2D& p : points)
        if (std::none_of(unique.begin(), unique.end(), [&](const TVector2D& q) { return IsSameVector2D(p, q); }))
            unique.push_back(p);
    return unique;
}

bool Inside(const TNcAutoPoly& s, const TVector2D& x)
{
    return !IsSameVector2D(x, s.StartPoint) && !IsSameVector2D(x, s.EndPoint);
}

// The two parts of the segment cut at X (inside it): the first keeps the
// start, the second the end. An arc part takes its sweep in the arc's own
// direction, so a part of more than half a turn stays that part.
std::pair<TNcAutoPoly, TNcAutoPoly> SplitAt(const TNcAutoPoly& s, const TVector2D& x)
{
    TNcAutoPoly first{s.StartPoint, x, 0.0};
    TNcAutoPoly second{x, s.EndPoint, 0.0};
    if (s.IsArc()) {
        const bool ccw = s.Bulge > 0.0;
        const TVector2D c = s.Centre();
        const double a0 = PolarAngle(s.StartPoint, c);
        const double ax = PolarAngle(x, c);
        const double a1 = PolarAngle(s.EndPoint, c);
        first.Bulge = BulgeOf(SweepBetween(a0, ax, ccw), ccw);
        second.Bulge = BulgeOf(SweepBetween(ax, a1, ccw), ccw);
    }
    return {first, second};
}

// The miter point at corner K of the offsets of two lines with directions
// u and v.
TVector2D MiterPoint(const TVector2D& k, const TVector2D& u, const TVector2D& v, double d)
{
    const double a1 = std::atan2(u.Y, u.X);
    const double a2 = std::atan2(v.Y, v.X);
    double o = a1 - a2;
    while (o > kPi)
        o -= kFullTurn;
    while (o <= -kPi)
        o += kFullTurn;
    double r = (kPi - o) / 2.0;
    if (std::fabs(std::sin(r)) < 0.04)
        r = kPi / 2.0;
    const double l = d / std::sin(r);
    return {k.X + std::cos(a1 + r) * l, k.Y + std::sin(a1 + r) * l};
}

// Joins the offsets P (ending at E) and N (starting at S) of two source
// segments meeting at corner K; a join arc, when one is needed, is stored
// in join.
bool Join(TNcAutoPoly& p, TNcAutoPoly& n, const TNcAutoPoly& sourceP, const TNcAutoPoly& sourceN, double d,
          TNcAutoPoly& join)
{
    const TVector2D k = sourceN.StartPoint;
    const TVector2D e = p.EndPoint;
    const TVector2D s = n.StartPoint;
    int turn = 0;
    if (!IsSameVector2D(e, k)) {
        const bool right = IsRightTurn(k, e, s);
        if (d > 0.0 && right)
            turn = -1;
        else if (d < 0.0 && !right)
            turn = 1;
    }
    const bool bothLines = !sourceP.IsArc() && !sourceN.IsArc();
    const bool gap = DistanceVector2D(e, s) > ChainTol();
    if (turn != 0) {
        const TVector2D ek = SubtractVectors2D(e, k);
        const TVector2D sk = SubtractVectors2D(s, k);
        const double lengths = VectorLength2D(ek) * VectorLength2D(sk);
        const double theta =
            lengths > 0.0 ? std::acos(std::clamp(DotProduct2D(ek, sk) / lengths, -1.0, 1.0)) : 0.0;
        if (bothLines && (!gap || theta <= kPi / 180.0)) {
            const TVector2D m = MiterPoint(k, SubtractVectors2D(sourceP.EndPoint, sourceP.StartPoint),
                                           SubtractVectors2D(sourceN.EndPoint, sourceN.StartPoint), d);
            p.EndPoint = m;
            n.StartPoint = m;
            return false;
        }
        if (gap) {
            join = {e, s, std::tan(theta / 4.0) * turn};
            return true;
        }
        n.StartPoint = e;
        return false;
    }
    if (!gap)
        n.StartPoint = e;
    return false;
}

// The direction angle of travel at the end of T.
double EndAngle(const TNcAutoPoly& t)
{
    const TVector2D v = t.EndDirection();
    return std::atan2(v.Y, v.X);
}

// The candidates among items (indices) that start at T's end, chosen by the
// turn rule; false when there is none.
template <typename TRange>
bool ChooseBranch(const TNcAutoPoly& t, const TRange& items, double d, std::vector<TAngoloAssociato>& candidates,
                  size_t& chosen)
{
    candidates.clear();
    for (size_t i = 0; i < items.size(); ++i)
        if (IsSameVector2D(items[i].StartPoint, t.EndPoint))
            candidates.push_back({0.0, i});
    if (candidates.empty())
        return false;
    if (candidates.size() == 1) {
        chosen = 0;
        return true;
    }
    const double a = EndAngle(t);
    for (TAngoloAssociato& c : candidates) {
        const TVector2D v = items[c.Segment].StartDirection();
        c.Angle = NormalizeAngle(std::atan2(v.Y, v.X) + (kPi - a));
    }
    chosen = 0;
    for (size_t i = 1; i < candidates.size(); ++i) {
        const bool better = d > 0.0 ? candidates[i].Angle > candidates[chosen].Angle
                                    : candidates[i].Angle < candidates[chosen].Angle;
        if (better)
            chosen = i;
    }
    return true;
}

// Whether both end points of the strand's first segment keep the distance
// from every source segment.
bool KeepsDistance(const std::vector<TNcAutoPoly>& strand, const TNcLista& source, double d)
{
    const double least = std::fabs(d) - kDistanceSlack;
    for (const TVector2D& p : {strand.front().StartPoint, strand.front().EndPoint})
        for (const TNcAutoPoly& s : source.Items)
            if (DistanceVector2D(p, s.NearestPoint(p)) < least)
                return false;
    return true;
}

// A strand that has shrunk to a point (arcs offset onto their centre) is
// no path.
bool HasLength(const std::vector<TNcAutoPoly>& strand)
{
    return std::any_of(strand.begin(), strand.end(),
                       [](const TNcAutoPoly& s) { return !IsSameVector2D(s.StartPoint, s.EndPoint); });
}

} // namespace

// ---- segment ----------------------------------------------------------------

TVector2D TNcAutoPoly::Centre() const
{
    const double b = Bulge;
    const double k = (1.0 / b - b) / 2.0;
    return {(StartPoint.X + EndPoint.X - (EndPoint.Y - StartPoint.Y) * k) / 2.0,
            (StartPoint.Y + EndPoint.Y + (EndPoint.X - StartPoint.X) * k) / 2.0};
}

double TNcAutoPoly::Radius() const
{
    return DistanceVector2D(StartPoint, Centre());
}

double TNcAutoPoly::Sweep() const
{
    return 4.0 * std::atan(std::fabs(Bulge));
}

TVector2D TNcAutoPoly::StartDirection() const
{
    if (!IsArc())
        return SubtractVectors2D(EndPoint, StartPoint);
    const TVector2D r = SubtractVectors2D(StartPoint, Centre());
    return Bulge > 0.0 ? TVector2D{-r.Y, r.X} : TVector2D{r.Y, -r.X};
}

TVector2D TNcAutoPoly::EndDirection() const
{
    if (!IsArc())
        return SubtractVectors2D(EndPoint, StartPoint);
    const TVector2D r = SubtractVectors2D(EndPoint, Centre());
    return Bulge > 0.0 ? TVector2D{-r.Y, r.X} : TVector2D{r.Y, -r.X};
}

TNcAutoPoly TNcAutoPoly::Offset(double distance) const
{
    TNcAutoPoly o = *this;
    if (!IsArc()) {
        const TVector2D v = SubtractVectors2D(EndPoint, StartPoint);
        const double length = VectorLength2D(v);
        if (length == 0.0)
            return o;
        const TVector2D n{-v.Y / length * distance, v.X / length * distance};
        o.StartPoint = AddVectors2D(StartPoint, n);
        o.EndPoint = AddVectors2D(EndPoint, n);
        return o;
    }
    const TVector2D c = Centre();
    const double r = Radius();
    if (r == 0.0)
        return o;
    const double move = Bulge > 0.0 ? -distance : distance;
    const auto radial = [&](const TVector2D& p) {
        return TVector2D{p.X + (p.X - c.X) / r * move, p.Y + (p.Y - c.Y) / r * move};
    };
    o.StartPoint = radial(StartPoint);
    o.EndPoint = radial(EndPoint);
    return o;
}

TVector2D TNcAutoPoly::NearestPoint(const TVector2D& p) const
{
    if (!IsArc())
        return ClosestPointOnSegment(StartPoint, EndPoint, p);
    const TVector2D c = Centre();
    return ClosestPointOnArcDir(c, StartPoint, EndPoint, p, DistanceVector2D(StartPoint, c), Bulge > 0.0 ? 1 : -1);
}

// ---- list -------------------------------------------------------------------

TNcLista TNcLista::FromCurve(const TACurva& curve)
{
    TNcLista list;
    const auto& v = curve.Vertices;
    for (size_t i = 1; i < v.size(); ++i) {
        const TVector2D& start = v[i - 1].EndPoint;
        if (IsSameVector2D(start, v[i].EndPoint))
            continue;
        double bulge = 0.0;
        if (v[i].Kind != 0) {
            const TAArco arc = TAArco::Create(start, v[i].EndPoint, v[i].Centre, v[i].Kind > 0, 0);
            bulge = std::tan(arc.SweepAngle() / 4.0) * (v[i].Kind > 0 ? 1.0 : -1.0);
        }
        list.Items.push_back({start, v[i].EndPoint, bulge});
    }
    return list;
}

bool TNcLista::IsClosed() const
{
    return !Items.empty() && IsSameVector2D(Items.front().StartPoint, Items.back().EndPoint);
}

void TNcLista::RawOffset(TNcLista& target, double distance) const
{
    target.Items.clear();
    if (Items.empty())
        return;
    target.Items.push_back(Items[0].Offset(distance));
    // Where each source segment's offset sits in the target.
    std::vector<size_t> at{0};
    for (size_t i = 1; i < Items.size(); ++i) {
        TNcAutoPoly next = Items[i].Offset(distance);
        TNcAutoPoly join;
        if (Join(target.Items.back(), next, Items[i - 1], Items[i], distance, join))
            target.Items.push_back(join);
        target.Items.push_back(next);
        at.push_back(target.Items.size() - 1);
    }
    if (Items.size() > 1 && IsClosed()) {
        TNcAutoPoly join;
        if (Join(target.Items[at.back()], target.Items[0], Items.back(), Items.front(), distance, join))
            target.Items.push_back(join);
    }
}

bool TNcLista::SplitAtIntersections(const TOffsetStep& step)
{
    for (size_t i = 0; i < Items.size(); ++i) {
        if (step && step(static_cast<int>(Items.size()), static_cast<int>(i)))
            return false;
        for (size_t j = i + 1; j < Items.size(); ++j) {
            const TNcAutoPoly a = Items[i];
            const TNcAutoPoly b = Items[j];
            // Segments whose boxes are apart cannot meet.
            const double ra = a.IsArc() ? a.Radius() : 0.0;
            const double rb = b.IsArc() ? b.Radius() : 0.0;
            const TVector2D ca = a.IsArc() ? a.Centre() : a.StartPoint;
            const TVector2D cb = b.IsArc() ? b.Centre() : b.StartPoint;
            const auto low = [](double p, double q, double c, double r) { return std::min(std::min(p, q), c - r); };
            const auto high = [](double p, double q, double c, double r) { return std::max(std::max(p, q), c + r); };
            const double tol = SystemTol();
            if (low(a.StartPoint.X, a.EndPoint.X, ca.X, ra) > high(b.StartPoint.X, b.EndPoint.X, cb.X, rb) + tol
                || low(b.StartPoint.X, b.EndPoint.X, cb.X, rb) > high(a.StartPoint.X, a.EndPoint.X, ca.X, ra) + tol
                || low(a.StartPoint.Y, a.EndPoint.Y, ca.Y, ra) > high(b.StartPoint.Y, b.EndPoint.Y, cb.Y, rb) + tol
                || low(b.StartPoint.Y, b.EndPoint.Y, cb.Y, rb) > high(a.StartPoint.Y, a.EndPoint.Y, ca.Y, ra) + tol)
                continue;
            // The first crossing that lies inside at least one of the two:
            // one at both segments' own end points changes nothing.
            for (const TVector2D& x : Crossings(a, b)) {
                const bool cutA = Inside(a, x);
                const bool cutB = Inside(b, x);
                if (!cutA && !cutB)
                    continue;
                if (cutB) {
                    const auto [b1, b2] = SplitAt(b, x);
                    Items[j] = b1;
                    Items.insert(Items.begin() + static_cast<std::ptrdiff_t>(j) + 1, b2);
                }
                if (cutA) {
                    const auto [a1, a2] = SplitAt(a, x);
                    Items[i] = a1;
                    Items.insert(Items.begin() + static_cast<std::ptrdiff_t>(i) + 1, a2);
                }
                // Compare segment i again from its next neighbour on: the
                // pair may cross once more.
                j = i;
                break;
            }
        }
    }
    return true;
}

bool TNcLista::FindNextIndex(const TNcAutoPoly& segment, double distance, size_t& index) const
{
    std::vector<TAngoloAssociato> candidates;
    size_t chosen = 0;
    if (!ChooseBranch(segment, Items, distance, candidates, chosen))
        return false;
    index = candidates[chosen].Segment;
    return true;
}

bool TNcLista::FindNext(const TNcAutoPoly& segment, bool remove, TNcAutoPoly& next, double distance)
{
    std::vector<TAngoloAssociato> candidates;
    size_t chosen = 0;
    if (!ChooseBranch(segment, Items, distance, candidates, chosen))
        return false;
    next = Items[candidates[chosen].Segment];
    if (!remove)
        return true;
    if (candidates.size() == 1) {
        Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(candidates[0].Segment));
        return true;
    }
    // Every branch but one that runs straight back along T goes; the ones
    // not chosen are dropped with it.
    std::vector<size_t> gone;
    for (size_t i = 0; i < candidates.size(); ++i)
        if (i == chosen || !IsSameValue(std::cos(candidates[i].Angle), 1.0))
            gone.push_back(candidates[i].Segment);
    std::sort(gone.rbegin(), gone.rend());
    for (size_t index : gone)
        Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool TNcLista::AssemblePieces(TArea& target, const TNcLista& source, double distance, const TOffsetStep& step)
{
    if (!SplitAtIntersections(step))
        return false;
    if (Items.empty())
        return true;
    std::vector<std::vector<TNcAutoPoly>> accepted;
    TNcAutoPoly current = Items.front();
    Items.erase(Items.begin());
    if (Items.empty()) {
        accepted.push_back({current});
    } else {
        const int total = static_cast<int>(Items.size());
        std::vector<TNcAutoPoly> strand;
        // Closes the strand with the current segment, cut back to where it
        // meets the strand, and keeps it when it passes the distance test.
        const auto finish = [&] {
            TNcLista pieces;
            pieces.Items = strand;
            size_t meets = 0;
            const bool loop = pieces.FindNextIndex(current, distance, meets);
            strand.push_back(current);
            if (loop)
                strand.erase(strand.begin(), strand.begin() + static_cast<std::ptrdiff_t>(meets));
            if (KeepsDistance(strand, source, distance))
                accepted.push_back(strand);
            strand.clear();
        };
        while (true) {
            if (step && step(total, total - static_cast<int>(Items.size())))
                return false;
            TNcAutoPoly next;
            if (FindNext(current, true, next, distance)) {
                size_t meets = 0;
                TNcLista pieces;
                pieces.Items = strand;
                if (!strand.empty() && pieces.FindNextIndex(current, distance, meets))
                    finish();
                else
                    strand.push_back(current);
                current = next;
                continue;
            }
            if (!strand.empty())
                finish();
            if (Items.empty())
                break;
            current = Items.front();
            Items.erase(Items.begin());
        }
    }
    for (const auto& strand : accepted)
        if (HasLength(strand))
            target.AddCurve(std::make_unique<TACurva>(PiecesToCurve(strand)));
    return true;
}

TACurva PiecesToCurve(const std::vector<TNcAutoPoly>& strand)
{
    TACurva curve;
    if (strand.empty())
        return curve;
    curve.AddVertex(TAVertice::CreateAt(strand.front().StartPoint, 0));
    for (const TNcAutoPoly& s : strand) {
        if (IsSameValue(s.Bulge, 0.0))
            curve.AddVertex(TAVertice::CreateAt(s.EndPoint, 0));
        else
            curve.AddVertex(TAVertice::CreateFull(s.Bulge > 0.0 ? 1 : -1, s.EndPoint, s.Centre(), 0));
    }
    curve.Closed = IsSameVector2D(strand.back().EndPoint, strand.front().StartPoint) ? 1 : 0;
    return curve;
}

bool OffsetWithEngine(TArea& area, double distance, const TOffsetStep& step)
{
    TArea result(AreaTolerance);
    for (const auto& curve : area.Curves) {
        const TNcLista source = TNcLista::FromCurve(*curve);
        TNcLista raw;
        source.RawOffset(raw, distance);
        if (!raw.AssemblePieces(result, source, distance, step)) {
            area.Clear();
            return false;
        }
    }
    std::swap(area.Curves, result.Curves);
    return true;
}

bool OffsetWithEngine(TArea& area, double distance, TUserBreak_ProgBar& progress)
{
    return OffsetWithEngine(area, distance, [&progress](int total, int done) {
        return progress.StepProgress(total, done);
    });
}
