#include "core/entities/Line3D.h"

#include <algorithm>

TLine3D::TLine3D(int32_t id, const TPoint3D& p1, const TPoint3D& p2) : TPrimitive3D(id, 2)
{
    Points().Put(0, p1);
    Points().Put(1, p2);
    Points().SetGrowable(false);
    UpdateBounds();
}

TLine3D::TLine3D(TStream& stream, std::string_view signature) : TPrimitive3D(stream, signature)
{
    UpdateBounds();
}

TLine3D::TLine3D(const TLine3D& source, TCloneTag tag) : TPrimitive3D(source, tag) {}

std::unique_ptr<TGraphicObject> TLine3D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TLine3D>(stream, signature);
}

std::unique_ptr<TGraphicObject> TLine3D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TLine3D(*this, TCloneTag{}));
}

void TLine3D::Draw()
{
    if (TSceneBuilder* scene = ViewServices().Scene)
        scene->SetCurrentTargetGroup(scene->Group(TSceneGroup::Entity));
    BuildLines();
}

void TLine3D::DrawSelected()
{
    if (TSceneBuilder* scene = ViewServices().Scene)
        scene->SetCurrentTargetGroup(scene->Group(TSceneGroup::Selection));
    BuildLines();
}

void TLine3D::BuildLines()
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene || Points().Count() < 2)
        return;
    TSceneLines lines;
    lines.Color = SceneColorFromWinColor(SceneColor(), 1.0f);
    lines.NodesVisible = false;
    lines.Nodes = {ScenePoint(Points().Get(0)), ScenePoint(Points().Get(1))};
    SetSceneNode(scene->AddLines(scene->CurrentTargetGroup(), lines));
}

void TLine3D::DrawSegment(TCanvas2D& canvas, const TMatrix4& m) const
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || Points().Count() < 2)
        return;
    const TIntPoint a = projection->Point3DToScreen(m.TransformPoint3D(Points().Get(0)));
    const TIntPoint b = projection->Point3DToScreen(m.TransformPoint3D(Points().Get(1)));
    canvas.Line(a.X, a.Y, b.X, b.Y);
}

void TLine3D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    // Copied: the combined transform may live in the shared scratch matrix.
    DrawSegment(canvas, TMatrix4(GetModelTransform()));
}

void TLine3D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    // The parent's matrix may be the shared scratch matrix, which our own
    // GetModelTransform overwrites: copy it first.
    const TMatrix4 parent(parentTransform);
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parent);
    DrawSegment(canvas, m);
}

TIntRect TLine3D::GetScreenRect()
{
    const TViewProjection* projection = ViewServices().Projection;
    const auto points = Points().Points();
    if (!projection || points.empty())
        return TIntRect{};
    const TIntPoint first = projection->Point3DToScreen(points[0]);
    TIntRect r{first.X, first.Y, first.X, first.Y};
    for (const TPoint3D& p : points.subspan(0, std::min<size_t>(points.size(), 2))) {
        const TIntPoint s = projection->Point3DToScreen(p);
        r.Left = std::min(r.Left, s.X);
        r.Top = std::min(r.Top, s.Y);
        r.Right = std::max(r.Right, s.X);
        r.Bottom = std::max(r.Bottom, s.Y);
    }
    return r;
}
