#include "core/geometry/ArcFrom3Points.h"

#include "core/entities/Arco2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Primitive2D.h"

#include <algorithm>
#include <cmath>

bool SetArcCenterFrom3Points(TPrimitive2D& arcOrCircle, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3,
                             TPoint2D& centre)
{
    // Circumcentre relative to P1: with b = P2 - P1 and c = P3 - P1 the centre
    // u solves 2 u.b = |b|^2 and 2 u.c = |c|^2. Exact for vertical and
    // horizontal sides alike (no stand-in slope for a vertical side), and the
    // determinant is 0 exactly when the points are aligned.
    const double bx = p2.X - p1.X, by = p2.Y - p1.Y;
    const double cx = p3.X - p1.X, cy = p3.Y - p1.Y;
    const double d = 2.0 * (bx * cy - by * cx);
    if (d == 0.0 || !std::isfinite(d))
        return false;
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    const double ux = (cy * b2 - by * c2) / d;
    const double uy = (bx * c2 - cx * b2) / d;
    centre = Point2D(p1.X + ux, p1.Y + uy);
    arcOrCircle.Points().SetPoint(0, centre);
    return true;
}

void SetArcRadiusFrom3Points(TPrimitive2D& arcOrCircle, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3)
{
    // R = s1 s2 s3 / (4 area), the area by Heron's formula in the form that
    // stays accurate for thin triangles (sides sorted a >= b >= c).
    double s[3] = {DistanceXY(p1, p2), DistanceXY(p2, p3), DistanceXY(p3, p1)};
    std::sort(s, s + 3, [](double x, double y) { return x > y; });
    const double a = s[0], b = s[1], c = s[2];
    const double area4 = std::sqrt((a + (b + c)) * (c - (a - b)) * (c + (a - b)) * (a + (b - c)));
    const double r = a * b * c / area4;
    if (!std::isfinite(r) || arcOrCircle.Points().Count() < 1)
        return;
    const TPoint2D c0 = CartesianPoint2D(arcOrCircle.Points().Get(0));
    arcOrCircle.Points().SetPoint(1, Point2D(c0.X + r, c0.Y));
}

void SetArcAnglesFrom3Points(TArco2D& arc, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3,
                             const TPoint2D& centre)
{
    const TVector2D u{p2.X - p1.X, p2.Y - p1.Y};
    const TVector2D v{p3.X - p1.X, p3.Y - p1.Y};
    double start = std::atan2(p1.Y - centre.Y, p1.X - centre.X);
    double end = std::atan2(p3.Y - centre.Y, p3.X - centre.X);
    if (CrossProduct2D(u, v) < 0.0)
        std::swap(start, end); // clockwise turn: the arc runs from P3 to P1
    arc.SetStartAngle(start);
    arc.SetEndAngle(end);
}
