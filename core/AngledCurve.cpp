#include "core/AngledCurve.h"

#include "core/Geometry.h"

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
