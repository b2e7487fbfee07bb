#include "core/geometry/AngledCurve.h"

#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"

#include <cmath>

TAngleSweep::TAngleSweep(int n, double startAngle, double endAngle, double cx, double cy, double a, double b,
                         bool counterClockwise)
    : m_N(n), m_Start(startAngle), m_End(endAngle),
      m_Step((startAngle < endAngle ? endAngle - startAngle : kTwoPi - startAngle + endAngle) / n),
      m_Sign(counterClockwise ? 1.0 : -1.0), m_Cx(cx), m_Cy(cy), m_A(a), m_B(b)
{
}

TPoint2D TAngleSweep::Point(int k) const
{
    const double t = k < m_N ? m_Start + k * m_Step : m_End;
    return Point2D(m_Cx + m_A * std::cos(t), m_Cy + m_Sign * m_B * std::sin(t));
}

void AddAngleSweep(TPointsSet2D& profile, int n, double startAngle, double endAngle, double cx, double cy, double a,
                   double b, bool counterClockwise)
{
    const TAngleSweep sweep(n, startAngle, endAngle, cx, cy, a, b, counterClockwise);
    for (int k = 0; k <= n; ++k)
        profile.Add(sweep.Point(k));
}

bool AssignFullTurnFromClosedCurve(TPointsSet2D& points, const TGraphicObject& source, double& startAngle,
                                   double& endAngle, const std::function<void(int, double)>& placeAnglePoint)
{
    if (!dynamic_cast<const TEllipse2D*>(&source) && !dynamic_cast<const TFrame2D*>(&source))
        return false;
    TQuietPoints quiet(points);
    CopyPointsRange(points, static_cast<const TPrimitive2D&>(source).Points(), 0, 1);
    startAngle = 0.0;
    endAngle = kTwoPi;
    if (points.Count() == 2) {
        points.EnsureCapacity(4);
        points.Add(Point2D(0.0, 0.0));
        points.Add(Point2D(0.0, 0.0));
        placeAnglePoint(2, 0.0);
        placeAnglePoint(3, 0.0);
    }
    return true;
}
