#include "core/entities/PolylineConversions.h"

#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"

#include <vector>

namespace {

std::unique_ptr<TPolyline2D> NewPolyline(const std::vector<TPoint2D>& points, uint8_t layer)
{
    auto polyline = std::make_unique<TPolyline2D>(-1, points);
    polyline->SetLayer(layer);
    return polyline;
}

} // namespace

std::unique_ptr<TPolyline2D> LineToPolyline(const TLine2D& line)
{
    const TMatrix4 m = line.GetModelTransform();
    std::vector<TPoint2D> points;
    const auto from = line.Points().Points();
    for (size_t i = 0; i < from.size() && i < 2; ++i)
        points.push_back(m.TransformPoint2D(from[i]));
    return NewPolyline(points, line.Layer());
}

std::unique_ptr<TPolyline2D> FrameToPolyline(const TFrame2D& frame)
{
    std::vector<TPoint2D> points;
    if (frame.Points().Count() >= 2) {
        const TMatrix4 m = frame.GetModelTransform();
        const TPoint2D p0 = frame.Points().Get(0);
        const TPoint2D p1 = frame.Points().Get(1);
        for (const TPoint2D& corner : {MakePoint2D(p0.X, p0.Y), MakePoint2D(p0.X, p1.Y), MakePoint2D(p1.X, p1.Y),
                                       MakePoint2D(p1.X, p0.Y), MakePoint2D(p0.X, p0.Y)})
            points.push_back(m.TransformPoint2D(corner));
    }
    return NewPolyline(points, frame.Layer());
}

std::unique_ptr<TPolyline2D> FrameOutlineToPolyline(const TFrame2D& frame)
{
    return FrameToPolyline(frame);
}

namespace {

std::vector<TPoint2D> ProfileInDrawing(TOutline2D& curve)
{
    TProfilePointsUse use(curve);
    const TMatrix4 m = curve.GetModelTransform();
    std::vector<TPoint2D> points;
    const auto profile = curve.ProfilePoints().Points();
    points.reserve(profile.size());
    for (const TPoint2D& p : profile)
        points.push_back(m.TransformPoint2D(p));
    return points;
}

} // namespace

std::unique_ptr<TPolyline2D> CurveToPolyline(TOutline2D& curve)
{
    return NewPolyline(ProfileInDrawing(curve), 0);
}

std::unique_ptr<TPolyline2D> CurveToLayerPolyline(TOutline2D& curve)
{
    return NewPolyline(ProfileInDrawing(curve), curve.Layer());
}

TPolylineOf PrimitiveToPolyline(TPrimitive2D& primitive)
{
    TPolylineOf result;
    if (const auto* line = dynamic_cast<const TLine2D*>(&primitive))
        result.Created = LineToPolyline(*line);
    else if (const auto* frame = dynamic_cast<const TFrame2D*>(&primitive))
        result.Created = FrameToPolyline(*frame);
    else if (auto* polyline = dynamic_cast<TPolyline2D*>(&primitive))
        result.Polyline = polyline;
    else if (auto* curve = dynamic_cast<TCurve2D*>(&primitive))
        result.Created = CurveToLayerPolyline(*curve);
    if (result.Created)
        result.Polyline = result.Created.get();
    return result;
}
