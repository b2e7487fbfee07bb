#include "core/entities/Frame2D.h"

#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/geometry/Geometry.h"
#include "core/model/Layers.h"
#include "core/geometry/PickHelpers.h"

#include <algorithm>
#include <array>

TFrame2D::TFrame2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2) : TCurve2D(id, 2, kDefaultSegments)
{
    const std::array<TPoint2D, 2> corners{p1, p2};
    AddPointsQuietly(corners);
    Points().SetGrowable(false);
    UpdateBounds();
}

TFrame2D::TFrame2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, uint32_t colour, uint8_t lineWidth,
                   const TMatrix4& transform)
    : TCurve2D(id, 2, kDefaultSegments, colour, lineWidth, transform)
{
    const std::array<TPoint2D, 2> corners{p1, p2};
    AddPointsQuietly(corners);
    Points().SetGrowable(false);
    UpdateBounds();
}

TFrame2D::TFrame2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TFrame2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TFrame2D>(stream, signature);
}

TFrame2D::TFrame2D(const TFrame2D& source, TCloneTag tag) : TCurve2D(source, tag) {}

std::unique_ptr<TGraphicObject> TFrame2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TFrame2D(*this, TCloneTag{}));
}

TRect2D TFrame2D::PopulateProfile()
{
    // A damaged record may bring fewer corners than the frame needs.
    if (Segments() <= 0 || Points().Count() < 2)
        return EmptyBox();
    TPointsSet2D& profile = PrepareProfile(Segments() + 1);
    const TPoint2D first = Points().Get(0);
    const TPoint2D c0 = CartesianPoint2D(first);
    const TPoint2D c1 = CartesianPoint2D(Points().Get(1));
    profile.Add(first);
    profile.Add(Point2D(c0.X, c1.Y));
    profile.Add(Point2D(c1.X, c1.Y));
    profile.Add(Point2D(c1.X, c0.Y));
    profile.Add(first);
    const TRect2D box = TransformRect2D(profile.GetBounds(), GetModelTransform());
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowFrameInfo(Points().Get(0), Points().Get(1));
    return box;
}

void TFrame2D::Draw()
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene || Points().Count() < 2)
        return;
    // Each corner goes through the model transform on its own, so a rotated
    // frame shows the rotated outline that is picked and machined, not the
    // axis-parallel box of its transformed corners.
    const TPoint2D c0 = CartesianPoint2D(Points().Get(0));
    const TPoint2D c1 = CartesianPoint2D(Points().Get(1));
    const std::array<TPoint2D, 5> corners{Point2D(c0.X, c0.Y), Point2D(c1.X, c0.Y), Point2D(c1.X, c1.Y),
                                          Point2D(c0.X, c1.Y), Point2D(c0.X, c0.Y)};
    TSceneLines lines;
    const TLayerPen& pen = PenLayer().Pen();
    lines.Color = SceneColorFromWinColor(pen.Color, 1.0f);
    lines.LineWidth = static_cast<float>(pen.Width);
    lines.NodesVisible = false;
    for (const TPoint2D& p : corners)
        lines.Nodes.push_back(ScenePoint(p));
    SetSceneNode(scene->AddLines(TargetGroup(TSceneGroup::Entity), lines));
}

void TFrame2D::DrawSelected()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Selection)));
}

void TFrame2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (dynamic_cast<const TFrame2D*>(&source) || dynamic_cast<const TEllipse2D*>(&source) ||
        dynamic_cast<const TEllipseOpen2D*>(&source)) {
        // Fires the change callback once at the end.
        CopyPointsRange(Points(), static_cast<const TPrimitive2D&>(source).Points(), 0, 1);
    }
    Points().SetGrowable(false);
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TRectangle2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TRectangle2D>(stream, signature);
}

TRectangle2D::TRectangle2D(const TRectangle2D& source, TCloneTag tag) : TFrame2D(source, tag) {}

std::unique_ptr<TGraphicObject> TRectangle2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TRectangle2D(*this, TCloneTag{}));
}

int32_t TRectangle2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    const int32_t result = TFrame2D::PickAt(point, distance, aperture);
    if (result != PickInBox)
        return result;
    TProfilePointsUse use(*this);
    if (!HasProfile())
        return result;
    const TMatrix4 m = GetModelTransform();
    double polygonDistance = PickFarDistance;
    const int code = PickPolygon(ProfilePoints().Points(), point, m, aperture, polygonDistance);
    if (code <= PickInBox)
        return result; // outside: the box answer and its distance stand
    distance = std::min(distance, polygonDistance);
    return code;
}
