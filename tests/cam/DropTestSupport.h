#pragma once
// Triangles, tools and an independent drop reference for the drop-cutter
// tests. The reference lowers the cutter's profile onto dense samples of
// each triangle (its vertices, its edges and its inside) and keeps the
// highest tip: CL z = max over samples p of p.z - h(|p - CL| in XY). Every
// sample is a point of the surface, so an exact drop never lies below it;
// it lies above it by at most what the sampling misses, which
// DropSamplingSlack bounds.

#include "cam/drop/MillCutter.h"
#include "cam/tools/DatiUtBase.h"
#include "core/geometry/Tri.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kbtest {

inline TTri MakeTri(float ax, float ay, float az, float bx, float by, float bz, float cx, float cy, float cz)
{
    TTri t;
    const float a[3] = {ax, ay, az}, b[3] = {bx, by, bz}, c[3] = {cx, cy, cz};
    std::copy(a, a + 3, t.A);
    std::copy(b, b + 3, t.B);
    std::copy(c, c + 3, t.C);
    t.ComputeNormal();
    t.UpNormal();
    t.UpdateBox();
    return t;
}

// A mill record: type 0 flat, 1 bull nose, 2 ball, 3 cone.
inline TDatiUtFresa Mill(int32_t type, double diameter, double corner = 0.0, double angleDeg = 0.0,
                         float length = 20.0f)
{
    TDatiUtFresa t;
    t.ToolType = type;
    t.Diameter = diameter;
    t.CornerRadius = corner;
    t.ToolAngle = angleDeg;
    t.ToolLength = length;
    return t;
}

inline TDatiUtFresa FlatTool() { return Mill(0, 6.0); }
inline TDatiUtFresa BullTool() { return Mill(1, 6.0, 1.0); }
inline TDatiUtFresa BallTool() { return Mill(2, 6.0); }
inline TDatiUtFresa ConeTool() { return Mill(3, 6.0, 0.0, 45.0); }

// The shapes the reference tests go through: each kind, bull noses with a
// small and a large corner, cones sharper and blunter than 45 degrees.
inline std::vector<TDatiUtFresa> AllShapes()
{
    return {FlatTool(), BullTool(), Mill(1, 6.0, 2.5), BallTool(), ConeTool(), Mill(3, 6.0, 0.0, 20.0),
            Mill(3, 6.0, 0.0, 70.0)};
}

// The height of the cutter's profile above its tip at distance r from the
// axis, or NaN beyond its radius: written from the shapes' geometry, not
// from the cutter classes.
inline double ProfileHeight(const TDatiUtFresa& tool, double r)
{
    const double R = tool.Diameter / 2.0;
    if (r > R)
        return std::nan("");
    switch (tool.ToolType) {
    case 0:
        return 0.0;
    case 1: {
        const double c = tool.CornerRadius, ring = R - c;
        return r <= ring ? 0.0 : c - std::sqrt(std::max(0.0, c * c - (r - ring) * (r - ring)));
    }
    case 2:
        return R - std::sqrt(std::max(0.0, R * R - r * r));
    default:
        return r / std::tan(tool.ToolAngle * std::numbers::pi / 180.0);
    }
}

// The spacing in 3D of the inside samples of ReferenceDrop with n steps:
// every point of the triangle lies within it of a sample.
inline double SampleSpacing(const TTri& t, int n)
{
    const auto len = [](const float(&p)[3], const float(&q)[3]) {
        return std::hypot(double(p[0]) - q[0], double(p[1]) - q[1], double(p[2]) - q[2]);
    };
    return std::max({len(t.A, t.B), len(t.B, t.C), len(t.C, t.A)}) / n;
}

// The highest tip z over the samples of one triangle, at least floorZ: its
// three vertices, its edges in 20 n steps each and its inside on a
// barycentric grid of n steps per side.
inline double ReferenceDrop(const TDatiUtFresa& tool, const TTri& t, double x, double y, double floorZ, int n = 300)
{
    double best = floorZ;
    const auto sample = [&](double px, double py, double pz) {
        const double h = ProfileHeight(tool, std::hypot(px - x, py - y));
        if (!std::isnan(h))
            best = std::max(best, pz - h);
    };
    const float(*v[3])[3] = {&t.A, &t.B, &t.C};
    const int edgeSteps = 20 * n;
    for (int e = 0; e < 3; ++e) {
        const float(&p)[3] = *v[e];
        const float(&q)[3] = *v[(e + 1) % 3];
        for (int i = 0; i <= edgeSteps; ++i) {
            const double s = double(i) / edgeSteps;
            sample(p[0] + s * (double(q[0]) - p[0]), p[1] + s * (double(q[1]) - p[1]),
                   p[2] + s * (double(q[2]) - p[2]));
        }
    }
    for (int i = 1; i < n; ++i) {
        for (int j = 1; i + j < n; ++j) {
            const double u = double(i) / n, w = double(j) / n, r = 1.0 - u - w;
            sample(r * t.A[0] + u * t.B[0] + w * t.C[0], r * t.A[1] + u * t.B[1] + w * t.C[1],
                   r * t.A[2] + u * t.B[2] + w * t.C[2]);
        }
    }
    return best;
}

// How far above the reference an exact drop may lie: the sample nearest the
// true contact is at most spacing away, in XY and in z, so the tip it gives
// is lower by at most spacing plus the profile's change within spacing of
// the contact's distance contactR from the axis.
inline double DropSamplingSlack(const TDatiUtFresa& tool, double contactR, double spacing)
{
    const double R = tool.Diameter / 2.0;
    const double lo = std::max(0.0, contactR - spacing), hi = std::min(R, contactR + spacing);
    const double h0 = ProfileHeight(tool, std::clamp(contactR, 0.0, R));
    double change = 0.0;
    for (int i = 0; i <= 16; ++i)
        change = std::max(change, std::fabs(ProfileHeight(tool, lo + (hi - lo) * i / 16.0) - h0));
    return spacing + change + 1e-4;
}

// A random triangle in the square (0, 0)-(4, 4), z in 0..3, not thinner
// than a tenth of its size.
inline TTri RandomTriangle(std::mt19937& rng)
{
    std::uniform_real_distribution<float> xy(0.0f, 4.0f), z(0.0f, 3.0f);
    for (;;) {
        const TTri t = MakeTri(xy(rng), xy(rng), z(rng), xy(rng), xy(rng), z(rng), xy(rng), xy(rng), z(rng));
        const double ux = t.B[0] - t.A[0], uy = t.B[1] - t.A[1], vx = t.C[0] - t.A[0], vy = t.C[1] - t.A[1];
        if (std::fabs(ux * vy - uy * vx) > 1.6)
            return t;
    }
}

// A height field of 2 n^2 triangles over cells of 2 x 2 with random
// heights 0..4 at jittered grid points.
inline std::vector<TTri> RandomMesh(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<float> jitter(-0.4f, 0.4f), z(0.0f, 4.0f);
    std::vector<float> px((n + 1) * (n + 1)), py(px.size()), pz(px.size());
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const int k = i * (n + 1) + j;
            const bool inner = i > 0 && i < n && j > 0 && j < n;
            px[k] = 2.0f * i + (inner ? jitter(rng) : 0.0f);
            py[k] = 2.0f * j + (inner ? jitter(rng) : 0.0f);
            pz[k] = z(rng);
        }
    }
    std::vector<TTri> tris;
    const auto tri = [&](int a, int b, int c) {
        tris.push_back(MakeTri(px[a], py[a], pz[a], px[b], py[b], pz[b], px[c], py[c], pz[c]));
    };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int k00 = i * (n + 1) + j, k10 = k00 + n + 1, k01 = k00 + 1, k11 = k10 + 1;
            tri(k00, k10, k11);
            tri(k00, k11, k01);
        }
    }
    return tris;
}

} // namespace kbtest
