#include "cam/curves/Area.h"

#include "cad/edit/QVClipperOffset.h"
#include "cam/curves/Span.h"
#include "core/settings/AppConfig.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

namespace {

// How close to its neighbours (in integer units) a point of a closed result
// may lie before it is dropped as the library's rounding.
constexpr double kCleanDistance = 2.5;

// The chords of an arc when no tolerance gives their count.
constexpr int kFallbackChordsPerArc = 200;
// The most chords of one arc whatever the tolerance and largest fitted
// radius: memory stays bounded for any settings.
constexpr double kChordCeiling = 100000.0;

// Angle of P about O in [0, 2 pi).
double AngleAbout(const TVector2D& p, const TVector2D& o)
{
    double a = std::atan2(p.Y - o.Y, p.X - o.X);
    if (a < 0.0) {
        a += kTwoPi;
    }
    return a;
}

// The most chords of one arc within the tolerance: enough for a full turn
// at the largest radius that arc fitting gives back as an arc, at least the
// fallback count.
double MostChordsPerArc(double tolerance)
{
    const double r = AppConfig().MaxArcFit;
    if (!(r > tolerance)) {
        return kFallbackChordsPerArc;
    }
    const double chords = std::ceil(kTwoPi / (2.0 * std::acos((r - tolerance) / r)));
    return std::clamp(chords, double(kFallbackChordsPerArc), kChordCeiling);
}

// Chords of the arc from P to vertex V, appended without P itself.
void AddArcChords(const TVector2D& p, const TAVertice& v, std::vector<TVector2D>& points)
{
    const TVector2D& o = v.Centre;
    const double r = DistanceVector2D(v.EndPoint, o);
    const double a = AngleAbout(v.EndPoint, o);
    const double b = AngleAbout(p, o);
    // The step is subtracted from the angle: positive sweeps run clockwise.
    double s;
    if (v.Kind < 0) {
        s = a > b ? b + (kTwoPi - a) : b - a;
    } else {
        s = a < b ? -(a + (kTwoPi - b)) : -(a - b);
    }
    const double t = AreaTolerance;
    int n = 1;
    if (!(t > 0.0)) {
        // No tolerance to size the chords by.
        n = kFallbackChordsPerArc;
    } else if (r > 0.0 && (r - t) / r >= -1.0) {
        // Half the angle that one chord within the tolerance spans. It has
        // no value for a radius below half the tolerance: one chord then.
        const double half = std::acos((r - t) / r);
        const double chords = std::ceil(std::fabs(s) / (2.0 * half));
        n = static_cast<int>(std::clamp(chords, 1.0, MostChordsPerArc(t)));
    }
    double angle = b;
    for (int k = 1; k < n; ++k) {
        angle -= s / n;
        points.push_back({o.X + r * std::cos(angle), o.Y + r * std::sin(angle)});
    }
    points.push_back(v.EndPoint);
}

void StorePath(const std::vector<TVector2D>& points, bool reversed, Path& path)
{
    path.clear();
    path.reserve(points.size());
    for (const TVector2D& p : points) {
        path.push_back(ToClipperPoint(p));
    }
    if (reversed) {
        std::reverse(path.begin(), path.end());
    }
}

void PathToLines(TACurva& curve, const Path& path)
{
    curve.Vertices.reserve(curve.Vertices.size() + path.size() + 1);
    for (const IntPoint& ip : path) {
        curve.AddVertex(TAVertice::CreateAt({FromClipperUnits(ip.X), FromClipperUnits(ip.Y)}, 0));
    }
}

void SetClosedFlag(TACurva& curve)
{
    curve.Closed = !curve.Vertices.empty()
                           && IsSameVector2D(curve.Vertices.front().EndPoint, curve.Vertices.back().EndPoint)
                       ? 1
                       : 0;
}

void ClipAreas(TArea& self, const TArea& other, ClipperLib::ClipType clipType)
{
    Paths subject;
    Paths clip;
    self.ToClipperPaths(subject, true);
    other.ToClipperPaths(clip, true);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    Paths solution;
    clipper.Execute(clipType, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    self.FromClipperPathsClosed(solution);
}

// A radius or half width too small to give a shape: 0.002 with its sign.
double AtLeastTiny(double value)
{
    if (std::fabs(value) < 1e-7) {
        return value < 0.0 ? -0.002 : 0.002;
    }
    return value;
}

} // namespace

double FromClipperUnits(cInt n)
{
    return static_cast<double>(n) / ClipperUnitsPerDrawingUnit;
}

IntPoint ToClipperPoint(const TVector2D& point)
{
    return IntPoint(ToClipperUnits(point.X), ToClipperUnits(point.Y));
}

std::vector<TVector2D> CurveChordPoints(const TACurva& curve)
{
    std::vector<TVector2D> points;
    const auto& v = curve.Vertices;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i > 0 && IsSameVector2D(v[i].EndPoint, v[i - 1].EndPoint)) {
            continue;
        }
        if (i == 0 || v[i].Kind == 0) {
            points.push_back(v[i].EndPoint);
        } else {
            AddArcChords(v[i - 1].EndPoint, v[i], points);
        }
    }
    return points;
}

void TACurva::ToClipperPath(bool reversed, Path& path) const
{
    if (Vertices.empty()) {
        return;
    }
    std::vector<TVector2D> points = CurveChordPoints(*this);
    if (points.size() > 1 && IsSameValue(points.front().X, points.back().X)
        && IsSameValue(points.front().Y, points.back().Y)) {
        points.pop_back();
    }
    StorePath(points, reversed, path);
}

void ClosedPathToCurve(TACurva& curve, const Path& path, bool fitArcs, bool appendFirst)
{
    PathToLines(curve, path);
    if (curve.Vertices.empty()) {
        curve.Closed = 0;
        return;
    }
    if (appendFirst) {
        curve.Vertices.push_back(curve.Vertices.front());
    } else {
        curve.Vertices.insert(curve.Vertices.begin(), curve.Vertices.back());
    }
    if (fitArcs) {
        curve.FitArcs(0.1, AppConfig().MaxArcFit);
    }
    SetClosedFlag(curve);
}

void OpenPathToCurve(TACurva& curve, const Path& path, bool fitArcs)
{
    PathToLines(curve, path);
    if (fitArcs) {
        curve.FitArcs(0.1, 1000.0);
    }
    SetClosedFlag(curve);
}

TArea::TArea()
{
    AreaTolerance = ChainTol();
}

TArea::TArea(double tolerance)
{
    AreaTolerance = tolerance;
}

TArea TArea::CreateSlot(const TVector2D& a, const TVector2D& b, double halfWidth)
{
    TArea area;
    const double w = AtLeastTiny(halfWidth);
    TVector2D u = NormalizeVector2D(SubtractVectors2D(b, a));
    if (u.X == 0.0 && u.Y == 0.0) {
        // No direction: any will do, the slot is the circle about A.
        u = {1.0, 0.0};
    }
    const TVector2D n{u.Y, -u.X};
    const TVector2D nw = MulVector2D(n, w);
    auto curve = std::make_unique<TACurva>();
    curve->AddVertex(TAVertice::CreateAt(AddVectors2D(a, nw), 0));
    curve->AddVertex(TAVertice::CreateAt(AddVectors2D(b, nw), 0));
    curve->AddVertex(TAVertice::CreateFull(1, SubtractVectors2D(b, nw), b, 0));
    curve->AddVertex(TAVertice::CreateAt(SubtractVectors2D(a, nw), 0));
    curve->AddVertex(TAVertice::CreateFull(1, AddVectors2D(a, nw), a, 0));
    area.AddCurve(std::move(curve));
    return area;
}

TAreaCerchio::TAreaCerchio(const TVector2D& centre, double radius)
{
    const double r = AtLeastTiny(radius);
    auto curve = std::make_unique<TACurva>();
    curve->AddVertex(TAVertice::CreateAt({centre.X + r, centre.Y}, 0));
    curve->AddVertex(TAVertice::CreateFull(-1, {centre.X - r, centre.Y}, centre, 0));
    curve->AddVertex(TAVertice::CreateFull(-1, {centre.X + r, centre.Y}, centre, 0));
    AddCurve(std::move(curve));
}

TACurva* TArea::AddCurve(std::unique_ptr<TACurva> curve)
{
    Curves.push_back(std::move(curve));
    return Curves.back().get();
}

void TArea::ExtendBox(TABox& box) const
{
    for (const auto& c : Curves) {
        c->ExtendBox(box);
    }
}

void TArea::Difference(const TArea& other)
{
    ClipAreas(*this, other, ClipperLib::ctDifference);
}

void TArea::Intersection(const TArea& other)
{
    ClipAreas(*this, other, ClipperLib::ctIntersection);
}

double OffsetJoinTolerance()
{
    return std::max(0.25, AreaTolerance * ClipperUnitsPerDrawingUnit * 0.25);
}

void TArea::OffsetClosed(double distance)
{
    Paths paths;
    ToClipperPaths(paths, false);
    // Outlines and islands as the even-odd rule reads them, whichever way
    // they run: the library's offset takes their direction as the side to
    // grow, and an island running the way of its outline would be grown
    // outward instead of shrunk.
    Paths normalised;
    {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(paths, ClipperLib::ptSubject, true);
        clipper.Execute(ClipperLib::ctUnion, normalised, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    }
    // The miter limit has no effect with round joins.
    ClipperLib::ClipperOffset offset(distance, OffsetJoinTolerance());
    offset.AddPaths(normalised, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    Paths solution;
    offset.Execute(solution, static_cast<double>(ToClipperUnits(distance)));
    FromClipperPathsClosed(solution);
}

void TArea::OffsetOpen(double distance)
{
    TQVClipperOffset offset(distance, 0.25);
    Paths paths;
    ToClipperPaths(paths, false);
    offset.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etOpenButt);
    Paths solution;
    offset.Execute(solution, static_cast<double>(ToClipperUnits(distance)));
    FromClipperPathsOpen(solution);
}

bool TArea::DifferenceIsEmpty(const TArea& other)
{
    Difference(other);
    return Curves.empty();
}

bool TArea::CircleLeaves(const TVector2D& centre, double r1, double r2) const
{
    TAreaCerchio circle(centre, r1 + r2);
    // Only whether anything is left counts: no arcs need fitting.
    circle.FitArcsOnReturn = 0;
    return !circle.DifferenceIsEmpty(*this);
}

bool TArea::SlotLeaves(const TVector2D& a, const TVector2D& b, double halfWidth) const
{
    TArea slot = CreateSlot(a, b, halfWidth);
    slot.FitArcsOnReturn = 0;
    return !slot.DifferenceIsEmpty(*this);
}

namespace {

// Coordinates up to which the orientation tests below are exact in 128 bits.
constexpr cInt kExactRange = 0x3FFFFFFF;

struct TIntBox {
    cInt MinX, MinY, MaxX, MaxY;
};

TIntBox BoxOf(const IntPoint& a, const IntPoint& b)
{
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool BoxesMeet(const TIntBox& a, const TIntBox& b)
{
    return a.MinX <= b.MaxX && b.MinX <= a.MaxX && a.MinY <= b.MaxY && b.MinY <= a.MaxY;
}

// The box of the path; false when a point lies beyond the exact range.
bool PathBox(const Path& path, TIntBox& box)
{
    box = BoxOf(path.front(), path.front());
    for (const IntPoint& p : path) {
        if (p.X < -kExactRange || p.X > kExactRange || p.Y < -kExactRange || p.Y > kExactRange) {
            return false;
        }
        box = {std::min(box.MinX, p.X), std::min(box.MinY, p.Y), std::max(box.MaxX, p.X), std::max(box.MaxY, p.Y)};
    }
    return true;
}

int Orientation(const IntPoint& a, const IntPoint& b, const IntPoint& c)
{
    const __int128 d = static_cast<__int128>(b.X - a.X) * (c.Y - a.Y) - static_cast<__int128>(b.Y - a.Y) * (c.X - a.X);
    return d > 0 ? 1 : (d < 0 ? -1 : 0);
}

// Whether the closed segments P-Q and R-S share a point (touching counts).
bool SegmentsMeet(const IntPoint& p, const IntPoint& q, const IntPoint& r, const IntPoint& s)
{
    const int d1 = Orientation(r, s, p);
    const int d2 = Orientation(r, s, q);
    const int d3 = Orientation(p, q, r);
    const int d4 = Orientation(p, q, s);
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return true;
    }
    // A collinear end point meets the other segment when it lies in its box.
    const auto within = [](const IntPoint& a, const IntPoint& b, const IntPoint& x) {
        return BoxesMeet(BoxOf(a, b), BoxOf(x, x));
    };
    return (d1 == 0 && within(r, s, p)) || (d2 == 0 && within(r, s, q)) || (d3 == 0 && within(p, q, r))
           || (d4 == 0 && within(p, q, s));
}

// Even-odd inside test of a point that lies on no edge of the closed path.
bool InsideOff(const IntPoint& p, const Path& path)
{
    bool inside = false;
    for (size_t i = 0, j = path.size() - 1; i < path.size(); j = i++) {
        const IntPoint& a = path[j];
        const IntPoint& b = path[i];
        if ((a.Y > p.Y) != (b.Y > p.Y)) {
            // Left of the crossing of the edge with the point's row.
            const __int128 lhs = static_cast<__int128>(p.X - a.X) * (b.Y - a.Y);
            const __int128 rhs = static_cast<__int128>(p.Y - a.Y) * (b.X - a.X);
            if (b.Y > a.Y ? lhs < rhs : lhs > rhs) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// Whether no edge of A meets an edge of B; undecided (false) when testing
// would take more pairs than the clipping is worth.
bool PathsApart(const Path& a, const TIntBox& boxA, const Path& b)
{
    std::vector<size_t> near;
    for (size_t i = 0, j = b.size() - 1; i < b.size(); j = i++) {
        if (BoxesMeet(BoxOf(b[j], b[i]), boxA)) {
            near.push_back(j);
        }
    }
    if (near.size() * a.size() > 64 * (a.size() + b.size())) {
        return false;
    }
    for (size_t k : near) {
        const IntPoint& r = b[k];
        const IntPoint& s = b[(k + 1) % b.size()];
        const TIntBox edge = BoxOf(r, s);
        for (size_t i = 0, j = a.size() - 1; i < a.size(); j = i++) {
            if (BoxesMeet(BoxOf(a[j], a[i]), edge) && SegmentsMeet(a[j], a[i], r, s)) {
                return false;
            }
        }
    }
    return true;
}

// The cases the clipping needs not decide: the paths neither cross nor
// touch, A's first point lies inside B and B's first point outside A. Then
// every part of A's region lies in B's and A minus B is exactly nothing.
// False for everything else (the clipping decides).
bool PlainlyInside(const Path& a, const Path& b)
{
    if (a.size() < 3 || b.size() < 3) {
        return false;
    }
    TIntBox boxA;
    TIntBox boxB;
    if (!PathBox(a, boxA) || !PathBox(b, boxB) || !BoxesMeet(boxA, boxB)) {
        return false;
    }
    return PathsApart(a, boxA, b) && InsideOff(a.front(), b) && !InsideOff(b.front(), a);
}

} // namespace

Path BooleanPath(const TACurva& curve)
{
    Path path;
    StorePath(CurveChordPoints(curve), true, path);
    return path;
}

bool PathInsidePath(const Path& a, const Path& b)
{
    if (PlainlyInside(a, b)) {
        return true;
    }
    ClipperLib::Clipper clipper;
    clipper.AddPath(a, ClipperLib::ptSubject, true);
    clipper.AddPath(b, ClipperLib::ptClip, true);
    Paths solution;
    clipper.Execute(ClipperLib::ctDifference, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    // Left over is what survives the cleaning that every closed result gets.
    for (const Path& path : solution) {
        Path clean;
        ClipperLib::CleanPolygon(path, clean, kCleanDistance);
        if (!clean.empty()) {
            return false;
        }
    }
    return true;
}

bool CurveInsideCurve(const TACurva& a, const TACurva& b)
{
    AreaTolerance = ChainTol();
    return PathInsidePath(BooleanPath(a), BooleanPath(b));
}

void TArea::ToClipperPaths(Paths& paths, bool reversed) const
{
    paths.clear();
    paths.resize(Curves.size());
    for (size_t i = 0; i < Curves.size(); ++i) {
        StorePath(CurveChordPoints(*Curves[i]), reversed, paths[i]);
    }
}

void TArea::FromClipperPathsClosed(const Paths& paths)
{
    Curves.clear();
    for (const Path& path : paths) {
        // The library's results hold steps of a unit or two, some of them
        // backwards, where it cut its own corners; they would break every
        // arc that passes them.
        Path clean;
        ClipperLib::CleanPolygon(path, clean, kCleanDistance);
        if (clean.empty()) {
            continue;
        }
        auto curve = std::make_unique<TACurva>();
        ClosedPathToCurve(*curve, clean, FitArcsOnReturn != 0, true);
        Curves.push_back(std::move(curve));
    }
}

void TArea::FromClipperPathsOpen(const Paths& paths)
{
    Curves.clear();
    for (const Path& path : paths) {
        auto curve = std::make_unique<TACurva>();
        OpenPathToCurve(*curve, path, FitArcsOnReturn != 0);
        Curves.push_back(std::move(curve));
    }
}
