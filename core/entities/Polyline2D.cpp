#include "core/entities/Polyline2D.h"

#include "core/model/Layers.h"
#include "core/entities/Line2D.h"

#include <vector>

namespace {

// Opacity of a display polygon in its own colour.
constexpr float DisplayPolygonAlpha = 0.5f;

void DrawStrip(TCanvas2D& canvas, const TPointsSet2D& points, const TMatrix4& m)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || points.Count() < 2)
        return;
    std::vector<TIntPoint> screen;
    screen.reserve(static_cast<size_t>(points.Count()));
    for (const TPoint2D& p : points.Points())
        screen.push_back(projection->PointToScreen(m.TransformPoint2D(p)));
    canvas.Polyline(screen);
}

} // namespace

// --- TPolyline2D -----------------------------------------------------------

TPolyline2D::TPolyline2D(int32_t id, std::span<const TPoint2D> points)
    : TOutline2D(id, static_cast<int>(points.size()))
{
    AddPointsQuietly(points);
    Points().SetGrowable(true);
    UpdateBounds();
}

TPolyline2D::TPolyline2D(int32_t id, std::span<const TPoint2D> points, uint32_t colour, uint8_t lineWidth,
                         const TMatrix4& transform)
    : TOutline2D(id, static_cast<int>(points.size()), colour, lineWidth, transform)
{
    AddPointsQuietly(points);
    Points().SetGrowable(true);
    UpdateBounds();
}

TPolyline2D::TPolyline2D(TStream& stream, std::string_view signature) : TOutline2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TPolyline2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TPolyline2D>(stream, signature);
}

TPolyline2D::TPolyline2D(const TPolyline2D& source, TCloneTag tag) : TOutline2D(source, tag) {}

std::unique_ptr<TGraphicObject> TPolyline2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TPolyline2D(*this, TCloneTag{}));
}

TSceneNodeId TPolyline2D::BuildLinesIn(TSceneNodeId group)
{
    const TSceneNodeId node = AddSceneLines(group, Points().Points());
    SetSceneNode(node);
    return node;
}

void TPolyline2D::Draw()
{
    BuildLinesIn(TargetGroup(TSceneGroup::Entity));
}

void TPolyline2D::DrawSelected()
{
    BuildLinesIn(TargetGroup(TSceneGroup::Selection));
}

void TPolyline2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TOutline2D::Assign(source);
    const TPointsSet2D* from = nullptr;
    if (const auto* line = dynamic_cast<const TLine2D*>(&source))
        from = &line->Points();
    else if (const auto* polyline = dynamic_cast<const TPolyline2D*>(&source))
        from = &polyline->Points();
    if (from) {
        Points().SetGrowable(true);
        CopyPointsRange(Points(), *from, 0, from->Count() - 1);
    }
    UpdateBounds();
}

void TPolyline2D::DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints)
{
    if (showControlPoints)
        TPrimitive2D::DrawOnCanvas(canvas, showControlPoints);
    DrawStrip(canvas, Points(), TMatrix4(GetModelTransform()));
}

void TPolyline2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parentTransform);
    DrawStrip(canvas, Points(), m);
}

int32_t TPolyline2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    return PickOutline(point, distance, aperture, Points().Points());
}

// --- TPolygon2D ------------------------------------------------------------

std::unique_ptr<TGraphicObject> TPolygon2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TPolygon2D>(stream, signature);
}

TPolygon2D::TPolygon2D(const TPolygon2D& source, TCloneTag tag) : TPolyline2D(source, tag) {}

std::unique_ptr<TGraphicObject> TPolygon2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TPolygon2D(*this, TCloneTag{}));
}

TSceneNodeId TPolygon2D::BuildSceneObjectIn(TSceneNodeId group)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    TScenePolygon polygon;
    polygon.Blended = true;
    polygon.Color = Pickable() ? LayerColorToVector(PenLayer())
                               : SceneColorFromWinColor(OwnColor(), DisplayPolygonAlpha);
    polygon.Nodes.reserve(static_cast<size_t>(Points().Count()));
    for (const TPoint2D& p : Points().Points())
        polygon.Nodes.push_back(ScenePoint(p));
    const TSceneNodeId node = scene->AddPolygon(group, polygon);
    SetSceneNode(node);
    return node;
}

void TPolygon2D::Draw()
{
    BuildSceneObjectIn(TargetGroup(TSceneGroup::Entity));
}

int32_t TPolygon2D::PickAt(const TPoint2D& /*point*/, double& distance, double /*aperture*/)
{
    distance = PickFarDistance;
    return PickNone;
}
