#include "core/entities/Arco2D.h"

#include "core/geometry/AngledCurve.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"

#include <array>
#include <cmath>

namespace {

// The angle of p about (cx, cy) as the arc's angle fields hold it: the polar
// angle counter-clockwise, the negated polar angle clockwise.
double MeasureAngle(const TPoint2D& p, double cx, double cy, bool counterClockwise)
{
    const TPoint2D q = CartesianPoint2D(p);
    return counterClockwise ? std::atan2(q.Y - cy, q.X - cx) : std::atan2(cy - q.Y, q.X - cx);
}

} // namespace

TArco2D::TArco2D(int32_t id, const TPoint2D& centre, const TPoint2D& radiusPoint, double startAngle, double endAngle)
    : TCurve2D(id, 4, kDefaultSegments)
{
    {
        TQuietPoints quiet(Points());
        const std::array<TPoint2D, 4> points{centre, radiusPoint, Point2D(0.0, 0.0), Point2D(0.0, 0.0)};
        Points().AddPoints(points);
        m_StartAngle = kUnsetCurveAngle;
        m_EndAngle = kUnsetCurveAngle;
        SetStartAngle(startAngle);
        SetEndAngle(endAngle);
        Points().SetGrowable(false);
    }
    UpdateBounds();
}

TArco2D::TArco2D(int32_t id, const TPoint2D& centre, const TPoint2D& radiusPoint, double startAngle, double endAngle,
                 uint32_t colour, uint8_t lineWidth, const TMatrix4& transform)
    : TCurve2D(id, 4, kDefaultSegments, colour, lineWidth, transform)
{
    {
        TQuietPoints quiet(Points());
        const std::array<TPoint2D, 4> points{centre, radiusPoint, Point2D(0.0, 0.0), Point2D(0.0, 0.0)};
        Points().AddPoints(points);
        m_StartAngle = kUnsetCurveAngle;
        m_EndAngle = kUnsetCurveAngle;
        SetStartAngle(startAngle);
        SetEndAngle(endAngle);
        Points().SetGrowable(false);
    }
    UpdateBounds();
}

TArco2D::TArco2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    m_Direction = ReadUInt8(stream);
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TArco2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TArco2D>(stream, signature);
}

TArco2D::TArco2D(const TArco2D& source, TCloneTag tag)
    : TCurve2D(source, tag), m_StartAngle(source.m_StartAngle), m_EndAngle(source.m_EndAngle),
      m_Direction(source.m_Direction)
{
}

std::unique_ptr<TGraphicObject> TArco2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TArco2D(*this, TCloneTag{}));
}

void TArco2D::SaveToStream(TStream& stream)
{
    TCurve2D::SaveToStream(stream);
    WriteUInt8(stream, m_Direction);
}

void TArco2D::PlaceAnglePoint(int index, double t)
{
    const TPointsSet2D& points = Points();
    if (points.Count() <= index)
        return;
    const TPoint2D c = CartesianPoint2D(points.Get(0));
    const double r = DistanceXY(c, CartesianPoint2D(points.Get(1)));
    Points().SetPoint(index, Point2D(c.X + r * std::cos(t), c.Y + r * std::sin(t)));
}

void TArco2D::SetStartAngle(double angle)
{
    if (angle == m_StartAngle)
        return;
    m_StartAngle = angle;
    PlaceAnglePoint(2, angle);
}

void TArco2D::SetEndAngle(double angle)
{
    if (angle == m_EndAngle)
        return;
    m_EndAngle = angle;
    PlaceAnglePoint(3, angle);
}

void TArco2D::SetDirection(uint8_t direction)
{
    if (direction == m_Direction)
        return;
    m_Direction = direction;
    UpdateBounds();
}

bool TArco2D::MeasureParameters(double& cx, double& cy, double& r)
{
    const TPointsSet2D& points = Points();
    if (points.Count() < 2)
        return false;
    const TPoint2D c = CartesianPoint2D(points.Get(0));
    cx = c.X;
    cy = c.Y;
    r = DistanceXY(c, CartesianPoint2D(points.Get(1)));
    if (points.Count() >= 3)
        m_StartAngle = MeasureAngle(points.Get(2), cx, cy, IsCounterClockwise());
    if (points.Count() >= 4)
        m_EndAngle = MeasureAngle(points.Get(3), cx, cy, IsCounterClockwise());
    return true;
}

void TArco2D::GetCenterRadiusAngles(TPoint2D& centre, double& radius, double& startAngle, double& endAngle) const
{
    const TPointsSet2D& points = Points();
    centre = Point2D(0.0, 0.0);
    radius = 0.0;
    startAngle = m_StartAngle;
    endAngle = m_EndAngle;
    if (points.Count() < 2)
        return;
    const TPoint2D c = CartesianPoint2D(points.Get(0));
    centre = Point2D(c.X, c.Y);
    radius = DistanceXY(c, CartesianPoint2D(points.Get(1)));
    if (points.Count() >= 3)
        startAngle = MeasureAngle(points.Get(2), c.X, c.Y, IsCounterClockwise());
    if (points.Count() >= 4)
        endAngle = MeasureAngle(points.Get(3), c.X, c.Y, IsCounterClockwise());
}

TArcGeometry2D TArco2D::GetArcGeometry() const
{
    TArcGeometry2D g;
    const TPointsSet2D& points = Points();
    if (points.Count() < 2)
        return g;
    const bool transformed = HasTransform();
    const TMatrix4 m = GetModelTransform(); // a copy: the shared scratch may be reused
    const auto toDrawing = [&](const TPoint2D& p) {
        TPoint2D q = CartesianPoint2D(p);
        if (transformed)
            q = CartesianPoint2D(m.TransformPoint2D(q));
        return Point2D(q.X, q.Y);
    };
    const TPoint2D c = toDrawing(points.Get(0));
    g.Centre = c;
    g.Radius = DistanceXY(c, toDrawing(points.Get(1)));
    if (points.Count() < 4)
        return g;

    const TPoint2D p2 = toDrawing(points.Get(2));
    const TPoint2D p3 = toDrawing(points.Get(3));
    const double a2 = std::atan2(p2.Y - c.Y, p2.X - c.X);
    const double a3 = std::atan2(p3.Y - c.Y, p3.X - c.X);
    // The profile runs counter-clockwise from control point 2 to 3 for
    // direction 1 and clockwise for direction 0, in the arc's own
    // coordinates. A transform whose linear part has a negative determinant
    // (a mirror) reverses that sense in the drawing. The determinant decides
    // this rather than a change of the sweep, which a mirrored half circle or
    // full circle does not show and a non-uniform scale shows without any
    // reversal.
    const bool mirrored = transformed && m.GetElement(0) * m.GetElement(5) - m.GetElement(1) * m.GetElement(4) < 0.0;
    const bool counterClockwiseDrawn = IsCounterClockwise() != mirrored;
    g.StartAngle = counterClockwiseDrawn ? a2 : a3;
    g.EndAngle = counterClockwiseDrawn ? a3 : a2;
    g.StartPoint = Point2D(c.X + g.Radius * std::cos(g.StartAngle), c.Y + g.Radius * std::sin(g.StartAngle));
    g.EndPoint = Point2D(c.X + g.Radius * std::cos(g.EndAngle), c.Y + g.Radius * std::sin(g.EndAngle));
    g.Sweep = ArcSweep(1, g.StartAngle, g.EndAngle);
    return g;
}

TArcInfo2D TArco2D::GetArcInfo() const
{
    return ArcInfoFromGeometry(GetArcGeometry());
}

TPoint2D TArco2D::PointAtFraction(double t) const
{
    const TArcGeometry2D g = GetArcGeometry();
    if (std::fabs(t) < 1e-14)
        return g.StartPoint;
    if (std::fabs(t - 1.0) < 1e-14)
        return g.EndPoint;
    const TVector2D v = RotateVector2D(TVector2D{g.StartPoint.X - g.Centre.X, g.StartPoint.Y - g.Centre.Y},
                                       t * g.Sweep);
    return Point2D(g.Centre.X + v.X, g.Centre.Y + v.Y);
}

TRect2D TArco2D::PopulateProfile()
{
    const int n = Segments();
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (n <= 0 || !MeasureParameters(cx, cy, r))
        return EmptyBox();
    if (TLiveReadoutSink* readout = ActiveLiveReadout(); readout && !BuildingOwedProfile())
        readout->ShowArcInfo(cx, cy, r, m_StartAngle, m_EndAngle);

    TPointsSet2D& profile = PrepareProfile(n + 1);
    AddAngleSweep(profile, n, m_StartAngle, m_EndAngle, cx, cy, r, r, IsCounterClockwise());
    return TransformRect2D(profile.GetBounds(), GetModelTransform());
}

std::optional<TCurve2D::TProfileBox> TArco2D::ProfileBox()
{
    const int n = Segments();
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (n <= 0 || !MeasureParameters(cx, cy, r))
        return TProfileBox{EmptyBox(), false};
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r))
        return std::nullopt;
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowArcInfo(cx, cy, r, m_StartAngle, m_EndAngle);
    const TAngleSweep sweep(n, m_StartAngle, m_EndAngle, cx, cy, r, r, IsCounterClockwise());
    const TRect2D box = SampledSweepBox(n, sweep.Start(), sweep.Step(), [&](int k) { return sweep.Point(k); });
    return TProfileBox{TransformRect2D(box, GetModelTransform()), true};
}

bool TArco2D::ProfilePointsWithoutProfile(std::vector<TPoint2D>& points)
{
    points.clear();
    const int n = Segments();
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (n <= 0 || !MeasureParameters(cx, cy, r))
        return true;
    const TAngleSweep sweep(n, m_StartAngle, m_EndAngle, cx, cy, r, r, IsCounterClockwise());
    points.reserve(static_cast<size_t>(n) + 1);
    for (int k = 0; k <= n; ++k)
        points.push_back(sweep.Point(k));
    return true;
}

void TArco2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TArco2D::DrawSelected()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Selection)));
}

void TArco2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (const auto* arc = dynamic_cast<const TArco2D*>(&source)) {
        TQuietPoints quiet(Points());
        CopyPointsRange(Points(), arc->Points(), 0, 3);
        m_StartAngle = arc->m_StartAngle;
        m_EndAngle = arc->m_EndAngle;
        m_Direction = arc->m_Direction;
    } else {
        AssignFullTurnFromClosedCurve(Points(), source, m_StartAngle, m_EndAngle,
                                      [this](int index, double angle) { PlaceAnglePoint(index, angle); });
    }
    Points().SetGrowable(false);
    UpdateBounds();
}
