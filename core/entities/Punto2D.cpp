#include "core/entities/Punto2D.h"

#include "core/model/Layers.h"

namespace {

// Half the length of the arms of the point's cross, in pixels.
constexpr int32_t CrossHalfSize = 5;
constexpr float ScenePointSize = 5.0f;

} // namespace

TPunto2D::TPunto2D(int32_t id, const TPoint2D& point) : TPrimitive2D(id, 1)
{
    AddPointsQuietly(std::span<const TPoint2D>(&point, 1));
    Points().SetGrowable(false);
    UpdateBounds();
}

TPunto2D::TPunto2D(TStream& stream, std::string_view signature) : TPrimitive2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TPunto2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TPunto2D>(stream, signature);
}

TPunto2D::TPunto2D(const TPunto2D& source, TCloneTag tag) : TPrimitive2D(source, tag) {}

std::unique_ptr<TGraphicObject> TPunto2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TPunto2D(*this, TCloneTag{}));
}

TSceneNodeId TPunto2D::BuildIn(TSceneNodeId group)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    TScenePoints points;
    points.Smooth = true;
    points.PointSize = ScenePointSize;
    points.Colors.push_back(LayerColorToVector(PenLayer()));
    // The position in the drawing plane, whatever Z the transform gives.
    for (const TPoint2D& p : Points().Points()) {
        const TVector3D v = ScenePoint(p);
        points.Positions.push_back(TVector3D{v.X, v.Y, 0.0});
    }
    const TSceneNodeId node = scene->AddPoints(group, points);
    SetSceneNode(node);
    return node;
}

void TPunto2D::Draw()
{
    BuildIn(TargetGroup(TSceneGroup::Entity));
}

void TPunto2D::DrawSelected()
{
    BuildIn(TargetGroup(TSceneGroup::Selection));
}

void TPunto2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TPrimitive2D::Assign(source);
    if (const auto* other = dynamic_cast<const TPunto2D*>(&source)) {
        TPointsSet2D& points = Points();
        points.EnsureCapacity(1);
        if (other->Points().Count() > 0)
            points.SetPoint(0, other->Points().Get(0));
        points.SetGrowable(false);
    }
    UpdateBounds();
}

void TPunto2D::DrawCross(TCanvas2D& canvas, const TMatrix4& m) const
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || Points().Count() == 0)
        return;
    const TIntPoint s = projection->PointToScreen(m.TransformPoint2D(Points().Get(0)));
    canvas.Line(s.X - CrossHalfSize, s.Y, s.X + CrossHalfSize, s.Y);
    canvas.Line(s.X, s.Y - CrossHalfSize, s.X, s.Y + CrossHalfSize);
}

void TPunto2D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    DrawCross(canvas, TMatrix4(GetModelTransform()));
}

void TPunto2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parentTransform);
    DrawCross(canvas, m);
}

int32_t TPunto2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    return PickOutline(point, distance, aperture, {});
}
