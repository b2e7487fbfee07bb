#include "core/entities/Cerchio2D.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/AngledCurve.h"
#include "core/geometry/Geometry.h"
#include "core/model/Layers.h"

#include <array>
#include <cmath>

namespace {

// Alpha of the filled polygon of a display circle (not pickable).
constexpr float DisplayCircleAlpha = 0.1f;

TVector3D NodeOf(const TPoint2D& p, bool transformed, const TMatrix4& m)
{
    if (!transformed)
        return TVector3D{p.X, p.Y, 0.0};
    const TPoint3D q = m.TransformPoint3D(TPoint3D{p.X, p.Y, 0.0, 1.0});
    return TVector3D{q.X, q.Y, q.Z};
}

} // namespace

TCerchio2D::TCerchio2D(int32_t id, const TPoint2D& centre, const TPoint2D& pointOnCircle)
    : TCurve2D(id, 2, kDefaultSegments)
{
    const std::array<TPoint2D, 2> points{centre, pointOnCircle};
    AddPointsQuietly(points);
    Points().SetGrowable(false);
    UpdateBounds();
}

TCerchio2D::TCerchio2D(int32_t id, const TPoint2D& centre, const TPoint2D& pointOnCircle, uint32_t colour,
                       uint8_t lineWidth, const TMatrix4& transform)
    : TCurve2D(id, 2, kDefaultSegments, colour, lineWidth, transform)
{
    const std::array<TPoint2D, 2> points{centre, pointOnCircle};
    AddPointsQuietly(points);
    Points().SetGrowable(false);
    UpdateBounds();
}

TCerchio2D::TCerchio2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TCerchio2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TCerchio2D>(stream, signature);
}

TCerchio2D::TCerchio2D(const TCerchio2D& source, TCloneTag tag) : TCurve2D(source, tag) {}

std::unique_ptr<TGraphicObject> TCerchio2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TCerchio2D(*this, TCloneTag{}));
}

std::unique_ptr<TGraphicObject> TFilledCerchio2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TFilledCerchio2D>(stream, signature);
}

TFilledCerchio2D::TFilledCerchio2D(const TFilledCerchio2D& source, TCloneTag tag) : TCerchio2D(source, tag) {}

std::unique_ptr<TGraphicObject> TFilledCerchio2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TFilledCerchio2D(*this, TCloneTag{}));
}

void TCerchio2D::GetCircle(TPoint2D& centre, double& radius) const
{
    centre = Point2D(0.0, 0.0);
    radius = 0.0;
    if (Points().Count() < 2)
        return;
    const TPoint2D c = CartesianPoint2D(Points().Get(0));
    centre = Point2D(c.X, c.Y);
    radius = DistanceXY(c, CartesianPoint2D(Points().Get(1)));
}

namespace {

// Profile point k of n of the circle about c with radius r: clockwise from
// angle 0, the first and the last point exactly (cx + r, cy).
TPoint2D CirclePoint(const TPoint2D& c, double r, int n, int k)
{
    if (k == 0 || k == n)
        return Point2D(c.X + r, c.Y);
    const double step = kTwoPi / n;
    return Point2D(c.X + r * std::cos(k * step), c.Y - r * std::sin(k * step));
}

} // namespace

TRect2D TCerchio2D::PopulateProfile()
{
    const int n = Segments();
    if (n <= 0 || Points().Count() < 2)
        return EmptyBox();
    TPoint2D c;
    double r = 0.0;
    GetCircle(c, r);
    if (TLiveReadoutSink* readout = ActiveLiveReadout(); readout && !BuildingOwedProfile())
        readout->ShowCircleInfo(Points().Get(0), Points().Get(1), r);

    TPointsSet2D& profile = PrepareProfile(n + 1);
    for (int k = 0; k <= n; ++k)
        profile.Add(CirclePoint(c, r, n, k));
    return TransformRect2D(profile.GetBounds(), GetModelTransform());
}

std::optional<TCurve2D::TProfileBox> TCerchio2D::ProfileBox()
{
    const int n = Segments();
    if (n <= 0 || Points().Count() < 2)
        return TProfileBox{EmptyBox(), false};
    TPoint2D c;
    double r = 0.0;
    GetCircle(c, r);
    if (!std::isfinite(c.X) || !std::isfinite(c.Y) || !std::isfinite(r))
        return std::nullopt;
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowCircleInfo(Points().Get(0), Points().Get(1), r);
    const TRect2D box = SampledSweepBox(n, 0.0, kTwoPi / n, [&](int k) { return CirclePoint(c, r, n, k); });
    return TProfileBox{TransformRect2D(box, GetModelTransform()), true};
}

bool TCerchio2D::ProfilePointsWithoutProfile(std::vector<TPoint2D>& points)
{
    points.clear();
    const int n = Segments();
    if (n <= 0 || Points().Count() < 2)
        return true;
    TPoint2D c;
    double r = 0.0;
    GetCircle(c, r);
    points.reserve(static_cast<size_t>(n) + 1);
    for (int k = 0; k <= n; ++k)
        points.push_back(CirclePoint(c, r, n, k));
    return true;
}

void TCerchio2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TCerchio2D::DrawSelected()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Selection)));
}

void TCerchio2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (dynamic_cast<const TEllipse2D*>(&source) || dynamic_cast<const TFrame2D*>(&source) ||
        dynamic_cast<const TArco2D*>(&source) || dynamic_cast<const TCerchio2D*>(&source)) {
        const bool was = Points().DisableEvents();
        Points().SetDisableEvents(true);
        CopyPointsRange(Points(), static_cast<const TPrimitive2D&>(source).Points(), 0, 1);
        Points().SetDisableEvents(was);
    }
    Points().SetGrowable(false);
    UpdateBounds();
}

TSceneNodeId TCerchio2D::BuildSceneObjectIn(TSceneNodeId group)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    TProfilePointsUse use(*this);
    if (!HasProfile())
        return NoSceneNode;
    TScenePolygon polygon;
    polygon.Color = Pickable() ? SceneColorFromWinColor(PenLayer().Pen().Color, 1.0f)
                               : SceneColorFromWinColor(OwnColor(), DisplayCircleAlpha);
    const bool transformed = HasTransform();
    const TMatrix4 m = GetModelTransform();
    for (const TPoint2D& p : ProfilePoints().Points())
        polygon.Nodes.push_back(NodeOf(p, transformed, m));
    const TSceneNodeId node = scene->AddPolygon(group, polygon);
    SetSceneNode(node);
    return node;
}

void AddCurveNodesToLines(TCerchio2D& circle, TSceneLines& lines)
{
    TProfilePointsUse use(circle);
    if (!circle.HasProfile())
        return;
    const bool transformed = circle.HasTransform();
    const TMatrix4 m = circle.GetModelTransform();
    for (const TPoint2D& p : circle.ProfilePoints().Points())
        lines.Nodes.push_back(NodeOf(p, transformed, m));
}
