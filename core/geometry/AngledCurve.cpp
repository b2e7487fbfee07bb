#include "core/geometry/AngledCurve.h"

#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"

#include <cmath>

void AddAngleSweep(TPointsSet2D& profile, int n, double startAngle, double endAngle, double cx, double cy, double a,
                   double b, bool counterClockwise)
{
    const double sweep = startAngle < endAngle ? endAngle - startAngle : kTwoPi - startAngle + endAngle;
    const double step = sweep / n;
    const double sign = counterClockwise ? 1.0 : -1.0;
    const auto pointAt = [&](double t) { return Point2D(cx + a * std::cos(t), cy + sign * b * std::sin(t)); };
    for (int k = 0; k < n; ++k)
        profile.Add(pointAt(startAngle + k * step));
    profile.Add(pointAt(endAngle));
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
