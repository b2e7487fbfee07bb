#include "core/entities/EllipseOpen2D.h"

#include "core/geometry/AngledCurve.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"

#include <array>
#include <cmath>

TEllipseOpen2D::TEllipseOpen2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, double startAngle,
                               double endAngle)
    : TCurve2D(id, 4, kDefaultSegments)
{
    {
        TQuietPoints quiet(Points());
        const std::array<TPoint2D, 4> points{p1, p2, Point2D(0.0, 0.0), Point2D(0.0, 0.0)};
        Points().AddPoints(points);
        m_StartAngle = kUnsetCurveAngle;
        m_EndAngle = kUnsetCurveAngle;
        SetStartAngle(startAngle);
        SetEndAngle(endAngle);
        if (IsSameCoord(m_EndAngle, kTwoPi))
            SetEndAngle(0.0);
        Points().SetGrowable(false);
    }
    UpdateBounds();
}

TEllipseOpen2D::TEllipseOpen2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    m_Direction = ReadUInt8(stream) != 0;
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TEllipseOpen2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TEllipseOpen2D>(stream, signature);
}

TEllipseOpen2D::TEllipseOpen2D(const TEllipseOpen2D& source, TCloneTag tag)
    : TCurve2D(source, tag), m_StartAngle(source.m_StartAngle), m_EndAngle(source.m_EndAngle),
      m_Direction(source.m_Direction)
{
}

std::unique_ptr<TGraphicObject> TEllipseOpen2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TEllipseOpen2D(*this, TCloneTag{}));
}

void TEllipseOpen2D::SaveToStream(TStream& stream)
{
    TCurve2D::SaveToStream(stream);
    WriteUInt8(stream, m_Direction ? 1 : 0);
}

void TEllipseOpen2D::PlaceAnglePoint(int index, double t)
{
    if (Points().Count() <= index)
        return;
    const TEllipseAxes e = EllipseAxesFromBox(Points().Get(0), Points().Get(1));
    Points().SetPoint(index, Point2D(e.CX + e.A * std::cos(t), e.CY + e.B * std::sin(t)));
}

void TEllipseOpen2D::SetStartAngle(double angle)
{
    if (angle == m_StartAngle)
        return;
    m_StartAngle = angle;
    PlaceAnglePoint(2, angle);
}

void TEllipseOpen2D::SetEndAngle(double angle)
{
    if (angle == m_EndAngle)
        return;
    m_EndAngle = angle;
    PlaceAnglePoint(3, angle);
}

void TEllipseOpen2D::SetDirection(bool counterClockwise)
{
    if (counterClockwise == m_Direction)
        return;
    m_Direction = counterClockwise;
    UpdateBounds();
}

double TEllipseOpen2D::ParameterOfPoint(const TPoint2D& p, const TPoint2D& corner0, const TPoint2D& corner1) const
{
    const TEllipseAxes e = EllipseAxesFromBox(corner0, corner1);
    const TPoint2D q = CartesianPoint2D(p);
    // x = a cos t, y = b sin t gives tan t = a y / (b x): the parameter of
    // the ellipse point in the direction of q, which is q's own parameter
    // when q lies on the ellipse. A flat ellipse (a or b zero) has no
    // parameters to tell apart; the polar angle stands in.
    const double dx = q.X - e.CX;
    const double dy = m_Direction ? q.Y - e.CY : e.CY - q.Y;
    if (e.A == 0.0 || e.B == 0.0)
        return std::atan2(dy, dx);
    return std::atan2(e.A * dy, e.B * dx);
}

TRect2D TEllipseOpen2D::PopulateProfile()
{
    const int n = Segments();
    if (n <= 0 || Points().Count() < 2)
        return EmptyBox();
    const TPoint2D corner0 = Points().Get(0);
    const TPoint2D corner1 = Points().Get(1);
    const TEllipseAxes e = EllipseAxesFromBox(corner0, corner1);
    if (TLiveReadoutSink* readout = ActiveLiveReadout())
        readout->ShowSizeInfo(corner0, corner1);
    if (Points().Count() >= 3)
        m_StartAngle = ParameterOfPoint(Points().Get(2), corner0, corner1);
    if (Points().Count() >= 4)
        m_EndAngle = ParameterOfPoint(Points().Get(3), corner0, corner1);

    TPointsSet2D& profile = PrepareProfile(n + 1);
    AddAngleSweep(profile, n, m_StartAngle, m_EndAngle, e.CX, e.CY, e.A, e.B, m_Direction);

    const TRect2D whole = MakeRect2D(e.CX - e.A, e.CY - e.B, e.CX + e.A, e.CY + e.B);
    return TransformRect2D(whole, GetModelTransform());
}

void TEllipseOpen2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TEllipseOpen2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (const auto* arc = dynamic_cast<const TEllipseOpen2D*>(&source)) {
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
