#include "cam/drop/CutterPoint.h"

#include "core/geometry/Tri.h"

#include <cassert>
#include <cmath>

float TCutterPoint::Coord(int index) const
{
    assert(index >= 0 && index <= 2);
    return index == 0 ? X : (index == 1 ? Y : Z);
}

void TCutterPoint::ProjectOntoEdge(const TCutterPoint& p1, const TCutterPoint& p2)
{
    const float dx = p2.X - p1.X;
    const float dy = p2.Y - p1.Y;
    const float t = std::fabs(dx) > std::fabs(dy) ? (X - p1.X) / dx : (Y - p1.Y) / dy;
    Z = p1.Z + t * (p2.Z - p1.Z);
}

bool TCutterPoint::IsInsideEdge(const TCutterPoint& p1, const TCutterPoint& p2) const
{
    const float ex = p2.X - p1.X, ey = p2.Y - p1.Y, ez = p2.Z - p1.Z;
    const float len2 = ex * ex + ey * ey + ez * ez;
    if (!(len2 > 0.0f))
        return false;
    const float t = ((X - p1.X) * ex + (Y - p1.Y) * ey + (Z - p1.Z) * ez) / len2;
    return t >= 0.0f && t <= 1.0f;
}

bool TCutterPoint::IsInFacet(const TTri& tri) const
{
    const float u0[3] = {tri.C[0] - tri.A[0], tri.C[1] - tri.A[1], tri.C[2] - tri.A[2]};
    const float u1[3] = {tri.B[0] - tri.A[0], tri.B[1] - tri.A[1], tri.B[2] - tri.A[2]};
    const float u2[3] = {X - tri.A[0], Y - tri.A[1], Z - tri.A[2]};
    const auto dot = [](const float (&a)[3], const float (&b)[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    const float d00 = dot(u0, u0), d01 = dot(u0, u1), d02 = dot(u0, u2), d11 = dot(u1, u1), d12 = dot(u1, u2);
    const float den = d00 * d11 - d01 * d01;
    // A degenerate triangle has no inside (the division would give NaN or
    // infinities, whose comparisons happen to be false; say it plainly).
    if (!(den != 0.0f) || !std::isfinite(den))
        return false;
    const float k = 1.0f / den;
    const float beta = (d11 * d02 - d01 * d12) * k;
    const float gamma = (d00 * d12 - d01 * d02) * k;
    return beta > 0.0f && gamma > 0.0f && beta + gamma < 1.0f;
}

float TCutterPoint::XYDistanceToLine(const TCutterPoint& p1, const TCutterPoint& p2) const
{
    const float dx = p2.X - p1.X, dy = p2.Y - p1.Y;
    const float len = std::hypot(dx, dy);
    if (len == 0.0f)
        return -1.0f;
    return std::fabs((X - p1.X) * dy - (Y - p1.Y) * dx) / len;
}

TCutterPoint TCutterPoint::XYClosestPoint(const TCutterPoint& p1, const TCutterPoint& p2) const
{
    const float dx = p2.X - p1.X, dy = p2.Y - p1.Y;
    const float len2 = dx * dx + dy * dy;
    if (len2 == 0.0f)
        return TCutterPoint();
    const float t = ((X - p1.X) * dx + (Y - p1.Y) * dy) / len2;
    return TCutterPoint(p1.X + t * dx, p1.Y + t * dy, 0.0f);
}

TCutterPoint TCutterPoint::ClosestPoint(const TCutterPoint& p1, const TCutterPoint& p2) const
{
    const float dx = p2.X - p1.X, dy = p2.Y - p1.Y, dz = p2.Z - p1.Z;
    const float len2 = dx * dx + dy * dy + dz * dz;
    if (len2 == 0.0f)
        return p1;
    const float t = ((X - p1.X) * dx + (Y - p1.Y) * dy + (Z - p1.Z) * dz) / len2;
    return TCutterPoint(p1.X + t * dx, p1.Y + t * dy, p1.Z + t * dz);
}

bool TCLPoint::LiftZ(const TCutterPoint& contact, float z)
{
    if (!(z > Z))
        return false;
    Z = z;
    Contact = TCCPoint(contact.X, contact.Y, contact.Z, kContactNone);
    return true;
}

bool TCLPoint::LiftIfInsideEdge(const TCutterPoint& contact, const TCutterPoint& p1, const TCutterPoint& p2, float z)
{
    return contact.IsInsideEdge(p1, p2) && LiftZ(contact, z);
}

bool TCLPoint::LiftIfInFacet(const TCutterPoint& contact, const TTri& triangle, float z)
{
    return contact.IsInFacet(triangle) && LiftZ(contact, z);
}

bool TCLPoint::Below(const TTri& triangle) const
{
    return Z < triangle.Box.Max[2];
}
