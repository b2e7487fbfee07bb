#include "core/entities/Line2D.h"

#include <array>

TLine2D::TLine2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2) : TPrimitive2D(id, 2)
{
    const std::array<TPoint2D, 2> points{p1, p2};
    AddPointsQuietly(points);
    Points().SetGrowable(false);
    UpdateBounds();
}

TLine2D::TLine2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, uint32_t colour, uint8_t lineWidth,
                 const TMatrix4& transform)
    : TPrimitive2D(id, 2, colour, lineWidth, transform)
{
    const std::array<TPoint2D, 2> points{p1, p2};
    AddPointsQuietly(points);
    Points().SetGrowable(false);
    UpdateBounds();
}

TLine2D::TLine2D(TStream& stream, std::string_view signature) : TPrimitive2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TLine2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TLine2D>(stream, signature);
}

TLine2D::TLine2D(const TLine2D& source, TCloneTag tag) : TPrimitive2D(source, tag) {}

std::unique_ptr<TGraphicObject> TLine2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TLine2D(*this, TCloneTag{}));
}

void TLine2D::Draw()
{
    SetSceneNode(AddSceneLines(TargetGroup(TSceneGroup::Entity), Points().Points()));
}

void TLine2D::DrawSelected()
{
    SetSceneNode(AddSceneLines(TargetGroup(TSceneGroup::Selection), Points().Points()));
}

void TLine2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TPrimitive2D::Assign(source);
    if (const auto* other = dynamic_cast<const TLine2D*>(&source)) {
        TPointsSet2D& points = Points();
        points.EnsureCapacity(2);
        const auto from = other->Points().Points();
        for (size_t i = 0; i < from.size() && i < 2; ++i)
            points.SetPoint(static_cast<int>(i), from[i]);
        points.SetGrowable(false);
    }
    UpdateBounds();
}

namespace {

void DrawSegment(TCanvas2D& canvas, const TPointsSet2D& points, const TMatrix4& m)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || points.Count() < 2)
        return;
    const TIntPoint a = projection->PointToScreen(m.TransformPoint2D(points.Get(0)));
    const TIntPoint b = projection->PointToScreen(m.TransformPoint2D(points.Get(1)));
    canvas.Line(a.X, a.Y, b.X, b.Y);
}

} // namespace

void TLine2D::DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints)
{
    if (showControlPoints)
        TPrimitive2D::DrawOnCanvas(canvas, showControlPoints);
    DrawSegment(canvas, Points(), TMatrix4(GetModelTransform()));
    if (Points().Count() < 2)
        return;
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowLineInfo(Points().Get(0), Points().Get(1));
}

void TLine2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parentTransform);
    DrawSegment(canvas, Points(), m);
}

int32_t TLine2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    return PickOutline(point, distance, aperture, Points().Points());
}
