#include "core/entities/Ellipse2D.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"

#include <array>
#include <cmath>

TEllipseAxes EllipseAxesFromBox(const TPoint2D& p1, const TPoint2D& p2)
{
    const TPoint2D c0 = CartesianPoint2D(p1);
    const TPoint2D c1 = CartesianPoint2D(p2);
    return TEllipseAxes{(c0.X + c1.X) / 2.0, (c0.Y + c1.Y) / 2.0, std::fabs(c1.X - c0.X) / 2.0,
                        std::fabs(c1.Y - c0.Y) / 2.0};
}

TEllipse2D::TEllipse2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2) : TCurve2D(id, 2, kDefaultSegments)
{
    const std::array<TPoint2D, 2> corners{p1, p2};
    AddPointsQuietly(corners);
    Points().SetGrowable(false);
    UpdateBounds();
}

TEllipse2D::TEllipse2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TEllipse2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TEllipse2D>(stream, signature);
}

TEllipse2D::TEllipse2D(const TEllipse2D& source, TCloneTag tag) : TCurve2D(source, tag) {}

std::unique_ptr<TGraphicObject> TEllipse2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TEllipse2D(*this, TCloneTag{}));
}

TRect2D TEllipse2D::PopulateProfile()
{
    const int n = Segments();
    if (n <= 0 || Points().Count() < 2)
        return EmptyBox();
    const TEllipseAxes e = EllipseAxesFromBox(Points().Get(0), Points().Get(1));
    TPointsSet2D& profile = PrepareProfile(n + 1);
    const double step = kTwoPi / n;
    profile.Add(Point2D(e.CX + e.A, e.CY));
    for (int k = 1; k < n; ++k)
        profile.Add(Point2D(e.CX + e.A * std::cos(k * step), e.CY - e.B * std::sin(k * step)));
    profile.Add(Point2D(e.CX + e.A, e.CY));
    const TRect2D box = TransformRect2D(Points().GetBounds(), GetModelTransform());
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowSizeInfo(Points().Get(0), Points().Get(1));
    return box;
}

void TEllipse2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TEllipse2D::DrawSelected()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Selection)));
}

void TEllipse2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (dynamic_cast<const TEllipse2D*>(&source) || dynamic_cast<const TFrame2D*>(&source) ||
        dynamic_cast<const TArco2D*>(&source)) {
        // Fires the change callback once at the end.
        CopyPointsRange(Points(), static_cast<const TPrimitive2D&>(source).Points(), 0, 1);
    }
    Points().SetGrowable(false);
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TFilledEllipse2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TFilledEllipse2D>(stream, signature);
}

TFilledEllipse2D::TFilledEllipse2D(const TFilledEllipse2D& source, TCloneTag tag) : TEllipse2D(source, tag) {}

std::unique_ptr<TGraphicObject> TFilledEllipse2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TFilledEllipse2D(*this, TCloneTag{}));
}

int32_t TFilledEllipse2D::PickAt(const TPoint2D& /*point*/, double& distance, double /*aperture*/)
{
    distance = PickFarDistance;
    return PickNone;
}
