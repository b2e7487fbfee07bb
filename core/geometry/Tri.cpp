#include "core/geometry/Tri.h"

#include <cmath>

TBBox::TBBox(float minX, float maxX, float minY, float maxY, float minZ, float maxZ)
    : Min{minX, minY, minZ}, Max{maxX, maxY, maxZ}, Initialised(true)
{
}

void TBBox::AddPoint(const float (&p)[3])
{
    if (!Initialised) {
        for (int i = 0; i < 3; ++i) {
            Min[i] = p[i];
            Max[i] = p[i];
        }
        Initialised = true;
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (p[i] > Max[i])
            Max[i] = p[i];
        if (p[i] < Min[i])
            Min[i] = p[i];
    }
}

void TBBox::AddTriangle(const TTri& triangle)
{
    AddPoint(triangle.A);
    AddPoint(triangle.B);
    AddPoint(triangle.C);
}

float TBBox::Value(int index) const
{
    switch (index) {
    case 0: return Min[0];
    case 1: return Max[0];
    case 2: return Min[1];
    case 3: return Max[1];
    case 4: return Min[2];
    case 5: return Max[2];
    default: return -1.0f;
    }
}

void TriangleNormal(const float (&a)[3], const float (&b)[3], const float (&c)[3], float (&n)[3])
{
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const double x = u[1] * v[2] - u[2] * v[1];
    const double y = u[2] * v[0] - u[0] * v[2];
    const double z = u[0] * v[1] - u[1] * v[0];
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        n[0] = n[1] = n[2] = 0.0f;
        return;
    }
    n[0] = static_cast<float>(x / length);
    n[1] = static_cast<float>(y / length);
    n[2] = static_cast<float>(z / length);
}

void TTri::ComputeNormal()
{
    TriangleNormal(A, B, C, Normal);
}

void TTri::UpNormal()
{
    const float sign = Normal[2] >= 0.0f ? 1.0f : -1.0f;
    for (int i = 0; i < 3; ++i)
        NormalUp[i] = sign * Normal[i];
}

void TTri::UpdateBox()
{
    Box.Reset();
    Box.AddTriangle(*this);
}
