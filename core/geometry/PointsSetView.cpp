#include "core/geometry/PointsSetView.h"

#include "core/geometry/Matrix4.h"

#include <algorithm>

TIntRect PointsScreenRect(const TPointsSet2D& points)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || points.Count() == 0)
        return TIntRect{};
    const auto all = points.Points();
    const TIntPoint first = projection->PointToScreen(all.front());
    TIntRect rect{first.X, first.Y, first.X, first.Y};
    for (const TPoint2D& p : all.subspan(1)) {
        const TIntPoint s = projection->PointToScreen(p);
        rect.Left = std::min(rect.Left, s.X);
        rect.Right = std::max(rect.Right, s.X);
        rect.Top = std::min(rect.Top, s.Y);
        rect.Bottom = std::max(rect.Bottom, s.Y);
    }
    return rect;
}

void PointsToCanvasPolyline(const TPointsSet2D& points, TCanvas2D& canvas)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || points.Count() == 0)
        return;
    std::vector<TIntPoint> screen;
    screen.reserve(static_cast<size_t>(points.Count()));
    for (const TPoint2D& p : points.Points())
        screen.push_back(projection->PointToScreen(p));
    canvas.Polyline(screen);
}

TSceneNodeId PointsToSceneLines(const TPointsSet2D& points, const TMatrix4& transform, const TSceneColor& color,
                                float lineWidth)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    TSceneLines lines;
    lines.Color = color;
    lines.LineWidth = lineWidth;
    lines.NodesVisible = false;
    lines.Nodes.reserve(static_cast<size_t>(points.Count()));
    for (const TPoint2D& p : points.Points()) {
        const TPoint2D q = transform.TransformPoint2D(p);
        lines.Nodes.push_back(TVector3D{q.X, q.Y, 0.0});
    }
    return scene->AddLines(scene->CurrentTargetGroup(), lines);
}

TSceneNodeId PointsToSceneLinesInEntityGroup(const TPointsSet2D& points, const TMatrix4& transform,
                                             const TSceneColor& color, float lineWidth)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    scene->SetCurrentTargetGroup(scene->Group(TSceneGroup::Entity));
    return PointsToSceneLines(points, transform, color, lineWidth);
}
