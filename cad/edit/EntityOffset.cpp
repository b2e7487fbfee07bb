#include "cad/edit/EntityOffset.h"

#include "cad/edit/QVClipperOffset.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/geometry/Tolerance.h"

#include <cmath>
#include <optional>

namespace {

constexpr uint32_t kResultColor = 255;
constexpr uint8_t kResultLineWidth = 2;
// Coordinates beyond this (drawing units) would leave the integer range of
// the clipping library once scaled and offset.
constexpr double kLargestCoordinate = 1e14;

using TResults = std::vector<std::unique_ptr<TObject2D>>;

// A chain of straight segments in drawing coordinates.
struct TLineChain {
    std::vector<TPoint2D> Points;
    bool Closed = false;
};

TPoint2D ToDrawing(const TMatrix4& m, const TPoint2D& p) { return CartesianPoint2D(m.TransformPoint2D(p)); }

void AppendTransformed(TLineChain& chain, const TMatrix4& m, std::span<const TPoint2D> points)
{
    for (const TPoint2D& p : points)
        chain.Points.push_back(ToDrawing(m, p));
}

// The outline's four corners and the first again, behind a repeat of the
// first corner (as every chain starts with a vertex at its start point).
std::optional<TLineChain> FrameChain(TFrame2D& frame)
{
    const TMatrix4 m = frame.GetModelTransform();
    TProfilePointsUse use(frame);
    if (!frame.HasProfile() || frame.ProfilePointsCount() < 5)
        return std::nullopt;
    TLineChain chain;
    chain.Points.push_back(ToDrawing(m, frame.ProfilePoints().Get(0)));
    AppendTransformed(chain, m, frame.ProfilePoints().Points().first(5));
    chain.Closed = true;
    return chain;
}

// The outline's points (a polyline's own, a curve's profile), closed as the
// outline says.
std::optional<TLineChain> OutlineChain(TOutline2D& outline)
{
    const TMatrix4 m = outline.GetModelTransform();
    TProfilePointsUse use(outline);
    if (auto* curve = dynamic_cast<TCurve2D*>(&outline); curve && !curve->HasProfile())
        return std::nullopt;
    if (outline.ProfilePointsCount() < 1)
        return std::nullopt;
    TLineChain chain;
    AppendTransformed(chain, m, outline.ProfilePoints().Points());
    chain.Closed = outline.IsClosed();
    return chain;
}

bool IsUsable(double value) { return std::isfinite(value) && std::fabs(value) <= kLargestCoordinate; }

// The chain as one integer path: a point that repeats the previous one adds
// nothing, and a last point on the first is dropped (a closed path implies
// its closing edge). None when a coordinate is out of range.
std::optional<ClipperLib::Path> ToClipperPath(const TLineChain& chain)
{
    ClipperLib::Path path;
    std::optional<TPoint2D> previous;
    for (const TPoint2D& p : chain.Points) {
        if (!IsUsable(p.X) || !IsUsable(p.Y))
            return std::nullopt;
        if (previous && IsSameVector2D({p.X, p.Y}, {previous->X, previous->Y}))
            continue;
        path.emplace_back(ToClipperUnits(p.X), ToClipperUnits(p.Y));
        previous = p;
    }
    if (path.size() > 1 && IsSameValue(chain.Points.back().X, chain.Points.front().X) &&
        IsSameValue(chain.Points.back().Y, chain.Points.front().Y))
        path.pop_back();
    return path;
}

// A result path as a polyline; a closed one ends on its first point again.
void AddPolyline(TResults& results, const ClipperLib::Path& path, bool closed)
{
    if (path.size() < 2)
        return;
    std::vector<TPoint2D> points;
    points.reserve(path.size() + 1);
    for (const ClipperLib::IntPoint& p : path)
        points.push_back({static_cast<double>(p.X) / ClipperUnitsPerDrawingUnit,
                          static_cast<double>(p.Y) / ClipperUnitsPerDrawingUnit, 1.0});
    if (closed)
        points.push_back(points.front());
    results.push_back(std::make_unique<TPolyline2D>(-1, points, kResultColor, kResultLineWidth, IdentityMatrix4()));
}

// delta > 0 grows the outline, < 0 shrinks it.
void OffsetClosedChain(TResults& results, ClipperLib::Path path, double delta)
{
    if (!ClipperLib::Orientation(path))
        ClipperLib::ReversePath(path);
    ClipperLib::ClipperOffset offset(10.0 * delta, 0.25);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths solution;
    offset.Execute(solution, static_cast<double>(ToClipperUnits(delta)));
    for (const ClipperLib::Path& p : solution)
        AddPolyline(results, p, true);
}

// delta > 0 offsets to the right of the direction of travel.
void OffsetOpenChain(TResults& results, const ClipperLib::Path& path, double delta)
{
    TQVClipperOffset offset(10.0 * delta, 0.25);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etOpenButt);
    ClipperLib::Paths solution;
    offset.Execute(solution, static_cast<double>(ToClipperUnits(delta)));
    for (const ClipperLib::Path& p : solution)
        AddPolyline(results, p, false);
}

void OffsetChain(TResults& results, const TLineChain& chain, double delta)
{
    if (!IsUsable(delta))
        return;
    const std::optional<ClipperLib::Path> path = ToClipperPath(chain);
    if (!path || path->size() < 2)
        return;
    try {
        if (chain.Closed)
            OffsetClosedChain(results, *path, delta);
        else
            OffsetOpenChain(results, *path, delta);
    } catch (const ClipperLib::clipperException&) {
        results.clear(); // beyond what the library can compute: no result
    }
}

void OffsetLine(TResults& results, const TLine2D& line, double d, bool flipped)
{
    if (line.Points().Count() < 2)
        return;
    const TMatrix4 m = line.GetModelTransform();
    const TPoint2D p1 = ToDrawing(m, line.Points().Get(0));
    const TPoint2D p2 = ToDrawing(m, line.Points().Get(1));
    const TVector2D u = NormalizeVector2D({p2.X - p1.X, p2.Y - p1.Y});
    const TVector2D n = flipped ? TVector2D{u.Y, -u.X} : TVector2D{-u.Y, u.X};
    results.push_back(std::make_unique<TLine2D>(-1, TPoint2D{p1.X + d * n.X, p1.Y + d * n.Y, 1.0},
                                                TPoint2D{p2.X + d * n.X, p2.Y + d * n.Y, 1.0}, kResultColor,
                                                kResultLineWidth, IdentityMatrix4()));
}

// The radius after the offset; none when nothing of the circle is left.
std::optional<double> OffsetRadius(double radius, double d, bool flipped)
{
    const double r = flipped ? radius + d : radius - d;
    if (!std::isfinite(r) || r <= SystemTol())
        return std::nullopt;
    return r;
}

void OffsetArc(TResults& results, const TArco2D& arc, double d, bool flipped)
{
    if (arc.Points().Count() < 4)
        return;
    const TArcGeometry2D g = arc.GetArcGeometry();
    const std::optional<double> r = OffsetRadius(g.Radius, d, flipped);
    if (!r)
        return;
    results.push_back(std::make_unique<TArco2D>(-1, g.Centre, TPoint2D{g.Centre.X + *r, g.Centre.Y, 1.0},
                                                g.StartAngle, g.EndAngle, kResultColor, kResultLineWidth,
                                                IdentityMatrix4()));
}

void OffsetCircle(TResults& results, const TCerchio2D& circle, double d, bool flipped)
{
    if (circle.Points().Count() < 2)
        return;
    const TMatrix4 m = circle.GetModelTransform();
    const TPoint2D c = ToDrawing(m, circle.Points().Get(0));
    const TPoint2D onCircle = ToDrawing(m, circle.Points().Get(1));
    const std::optional<double> r = OffsetRadius(DistanceXY(c, onCircle), d, flipped);
    if (!r)
        return;
    results.push_back(std::make_unique<TCerchio2D>(-1, c, TPoint2D{c.X + *r, c.Y, 1.0}, kResultColor,
                                                   kResultLineWidth, IdentityMatrix4()));
}

} // namespace

std::vector<std::unique_ptr<TObject2D>> OffsetEntity(TObject2D& entity, double distance, bool flipped)
{
    TResults results;
    const double delta = flipped ? -distance : distance;
    std::optional<TLineChain> chain;
    if (auto* line = dynamic_cast<TLine2D*>(&entity))
        OffsetLine(results, *line, distance, flipped);
    else if (auto* arc = dynamic_cast<TArco2D*>(&entity))
        OffsetArc(results, *arc, distance, flipped);
    else if (auto* circle = dynamic_cast<TCerchio2D*>(&entity))
        OffsetCircle(results, *circle, distance, flipped);
    else if (auto* frame = dynamic_cast<TFrame2D*>(&entity))
        chain = FrameChain(*frame);
    else if (auto* outline = dynamic_cast<TOutline2D*>(&entity))
        chain = OutlineChain(*outline);
    if (chain)
        OffsetChain(results, *chain, delta);
    return results;
}
