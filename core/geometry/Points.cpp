#include "core/geometry/Points.h"

#include <cmath>

TPoint3D CartesianPoint3D(const TPoint3D& p)
{
    if (p.W == 1.0 || p.W == 0.0)
        return p;
    return TPoint3D{p.X / p.W, p.Y / p.W, p.Z / p.W, 1.0};
}

TVector2D VectorFromPoints2D(const TPoint2D& p1, const TPoint2D& p2)
{
    if (p1.W != p2.W) {
        const TPoint2D a = CartesianPoint2D(p1);
        const TPoint2D b = CartesianPoint2D(p2);
        return TVector2D{b.X - a.X, b.Y - a.Y};
    }
    return TVector2D{p2.X - p1.X, p2.Y - p1.Y};
}

double VectorLength2D(const TVector2D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y); }

double VectorLength3D(const TVector3D& v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

TVector2D NormalizeVector2D(const TVector2D& v)
{
    const double sqr = v.X * v.X + v.Y * v.Y;
    if (!(sqr > 0.0))
        return v;
    const double length = std::sqrt(sqr);
    return TVector2D{v.X / length, v.Y / length};
}

TVector3D NormalizeVector3D(const TVector3D& v)
{
    const double sqr = v.X * v.X + v.Y * v.Y + v.Z * v.Z;
    if (!(sqr > 0.0))
        return v;
    const double length = std::sqrt(sqr);
    return TVector3D{v.X / length, v.Y / length, v.Z / length};
}

TVector2D RotateVector2D(const TVector2D& v, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return TVector2D{v.X * c - v.Y * s, v.X * s + v.Y * c};
}

TVector2D PolarPoint2D(const TVector2D& centre, double angle, double radius)
{
    return TVector2D{centre.X + radius * std::cos(angle), centre.Y + radius * std::sin(angle)};
}

float IntersectRayPlane(const TVector4f& p0, const TVector4f& d, const TVector4f& q, const TVector4f& n,
                        TVector4f& result)
{
    const float dn = n.X * d.X + n.Y * d.Y + n.Z * d.Z;
    if (dn == 0.0f || std::isnan(dn))
        return 0.0f;
    const float t = (n.X * (q.X - p0.X) + n.Y * (q.Y - p0.Y) + n.Z * (q.Z - p0.Z)) / dn;
    const TVector4f r{p0.X + t * d.X, p0.Y + t * d.Y, p0.Z + t * d.Z, 0.0f};
    result = r;
    return t;
}
