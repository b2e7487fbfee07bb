#include "cad/program/ObjectSnap.h"

#include "cad/scene/QVScene.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/geometry/VectorHelpers.h"

#include <array>
#include <span>

namespace {

struct TCandidate {
    TPoint2D Point;
    TViewCursor Cursor;
};

TPoint2D Cartesian(const TPoint2D& p)
{
    TPoint2D c = CartesianPoint2D(p);
    c.W = 1.0;
    return c;
}

// Control point index of the primitive through its model transform; none
// when the index is beyond its points.
std::optional<TPoint2D> ControlPoint(const TPrimitive2D& object, int32_t index)
{
    const TPointsSet2D& points = object.Points();
    if (index < 0 || index >= points.Count())
        return std::nullopt;
    return Cartesian(object.GetModelTransform().TransformPoint2D(points.Get(index)));
}

// The distance from p, as the snap compares it: in single precision.
double SnapDistance(const TPoint2D& a, const TPoint2D& p)
{
    return static_cast<double>(static_cast<float>(DistancePoint2D(a, p)));
}

// The first candidate of least distance from p.
std::optional<TViewCursor> TakeNearest(std::span<const TCandidate> candidates, TPoint2D& p)
{
    std::array<double, 4> distances{};
    for (size_t i = 0; i < candidates.size(); ++i)
        distances[i] = SnapDistance(candidates[i].Point, p);
    const int best = IndexOfMinValue(std::span<const double>(distances.data(), candidates.size()));
    if (best < 0)
        return std::nullopt;
    p = candidates[static_cast<size_t>(best)].Point;
    return candidates[static_cast<size_t>(best)].Cursor;
}

std::optional<TViewCursor> Take(const TPoint2D& point, TViewCursor cursor, TPoint2D& p)
{
    p = point;
    return cursor;
}

// The control point at the picked index (polylines and other curves).
std::optional<TViewCursor> SnapVertex(const TPrimitive2D& object, int32_t code, TObjectSnapMode mode, TPoint2D& p)
{
    if (mode != TObjectSnapMode::EndPoint && mode != TObjectSnapMode::Automatic)
        return std::nullopt;
    const std::optional<TPoint2D> vertex = ControlPoint(object, code);
    if (!vertex)
        return TViewCursor::Cross;
    return Take(*vertex, TViewCursor::EndPoint, p);
}

std::optional<TViewCursor> SnapPoint(const TPunto2D& object, TObjectSnapMode mode, TPoint2D& p)
{
    if (mode != TObjectSnapMode::Point && mode != TObjectSnapMode::Automatic)
        return std::nullopt;
    const std::optional<TPoint2D> point = ControlPoint(object, 0);
    if (!point)
        return TViewCursor::Cross;
    return Take(*point, TViewCursor::Point, p);
}

std::optional<TViewCursor> SnapLine(const TLine2D& object, TObjectSnapMode mode, TPoint2D& p)
{
    const std::optional<TPoint2D> a = ControlPoint(object, 0);
    const std::optional<TPoint2D> b = ControlPoint(object, 1);
    if (!a || !b)
        return TViewCursor::Cross;
    const TPoint2D mid{(a->X + b->X) / 2.0, (a->Y + b->Y) / 2.0, 1.0};
    switch (mode) {
    case TObjectSnapMode::EndPoint:
        return Take(SnapDistance(*a, p) < SnapDistance(*b, p) ? *a : *b, TViewCursor::EndPoint, p);
    case TObjectSnapMode::MidPoint:
        return Take(mid, TViewCursor::MidPoint, p);
    case TObjectSnapMode::Automatic: {
        const std::array<TCandidate, 3> candidates{
            {{*a, TViewCursor::EndPoint}, {*b, TViewCursor::EndPoint}, {mid, TViewCursor::MidPoint}}};
        return TakeNearest(candidates, p);
    }
    default:
        return std::nullopt;
    }
}

std::optional<TViewCursor> SnapCircle(const TCerchio2D& object, TObjectSnapMode mode, TPoint2D& p)
{
    const std::optional<TPoint2D> centre = ControlPoint(object, 0);
    const std::optional<TPoint2D> onCircle = ControlPoint(object, 1);
    if (!centre || !onCircle)
        return TViewCursor::Cross;
    const double r = DistancePoint2D(*centre, *onCircle);
    const TPoint2D right{centre->X + r, centre->Y, 1.0};
    const TPoint2D left{centre->X - r, centre->Y, 1.0};
    switch (mode) {
    case TObjectSnapMode::EndPoint:
        return Take(right, TViewCursor::EndPoint, p);
    case TObjectSnapMode::MidPoint:
        return Take(left, TViewCursor::MidPoint, p);
    case TObjectSnapMode::Centre:
        return Take(*centre, TViewCursor::Centre, p);
    case TObjectSnapMode::Automatic: {
        const std::array<TCandidate, 3> candidates{
            {{*centre, TViewCursor::Centre}, {right, TViewCursor::EndPoint}, {left, TViewCursor::MidPoint}}};
        return TakeNearest(candidates, p);
    }
    default:
        return std::nullopt;
    }
}

std::optional<TViewCursor> SnapArc(const TArco2D& object, TObjectSnapMode mode, TPoint2D& p)
{
    if (object.Points().Count() < 4)
        return TViewCursor::Cross;
    const TArcGeometry2D g = object.GetArcGeometry();
    const TPoint2D centre = Cartesian(g.Centre);
    const TPoint2D start = Cartesian(g.StartPoint);
    const TPoint2D end = Cartesian(g.EndPoint);
    switch (mode) {
    case TObjectSnapMode::EndPoint:
        return Take(SnapDistance(start, p) < SnapDistance(end, p) ? start : end, TViewCursor::EndPoint, p);
    case TObjectSnapMode::MidPoint:
        return Take(Cartesian(object.PointAtFraction(0.5)), TViewCursor::MidPoint, p);
    case TObjectSnapMode::Centre:
        return Take(centre, TViewCursor::Centre, p);
    case TObjectSnapMode::Automatic: {
        const std::array<TCandidate, 4> candidates{{{centre, TViewCursor::Centre},
                                                     {start, TViewCursor::EndPoint},
                                                     {end, TViewCursor::EndPoint},
                                                     {Cartesian(object.PointAtFraction(0.5)), TViewCursor::MidPoint}}};
        return TakeNearest(candidates, p);
    }
    default:
        return std::nullopt;
    }
}

bool OnOrAtPoint(int32_t code) { return code == PickOnObject || code >= 0; }

} // namespace

std::optional<TViewCursor> SnapToObject(const TObject2D& object, int32_t pickCode, TObjectSnapMode mode,
                                        TPoint2D& p)
{
    if (const auto* point = dynamic_cast<const TPunto2D*>(&object))
        return OnOrAtPoint(pickCode) ? SnapPoint(*point, mode, p) : TViewCursor::Cross;
    if (const auto* line = dynamic_cast<const TLine2D*>(&object))
        return OnOrAtPoint(pickCode) ? SnapLine(*line, mode, p) : TViewCursor::Cross;
    if (const auto* polyline = dynamic_cast<const TPolyline2D*>(&object))
        return pickCode >= 0 ? SnapVertex(*polyline, pickCode, mode, p) : TViewCursor::Cross;
    if (const auto* circle = dynamic_cast<const TCerchio2D*>(&object))
        return OnOrAtPoint(pickCode) ? SnapCircle(*circle, mode, p) : TViewCursor::Cross;
    if (const auto* arc = dynamic_cast<const TArco2D*>(&object)) {
        const bool accepted = OnOrAtPoint(pickCode) || pickCode == PickInBox;
        return accepted ? SnapArc(*arc, mode, p) : TViewCursor::Cross;
    }
    if (const auto* curve = dynamic_cast<const TCurve2D*>(&object))
        return pickCode >= 0 ? SnapVertex(*curve, pickCode, mode, p) : TViewCursor::Cross;
    return TViewCursor::Cross;
}

void ObjectSnap(TQV_00Prog& sender, TQV_00State*, const TPoint2D&, TPoint2D& p)
{
    auto* scene = dynamic_cast<TQVScene*>(sender.ViewPortGL());
    if (!scene)
        return;
    int32_t code = PickNone;
    TObject2D* object = scene->PickObject(p, ObjectSnapAperture, false, code);
    if (!object) {
        scene->SetViewCursor(CursorId(TViewCursor::Cross));
        return;
    }
    if (const std::optional<TViewCursor> cursor = SnapToObject(*object, code, sender.ObjectSnapMode, p))
        scene->SetViewCursor(CursorId(*cursor));
    sender.SetLastSnapPoint(p);
}

TPoint2D OrthoPoint(const TQV_00CADProg& prg, const TPoint2D& previous, const TPoint2D& p)
{
    TPoint2D result = p;
    if (prg.UseOrto)
        OrthoConstrain(previous, result);
    return result;
}
