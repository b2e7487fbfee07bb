#pragma once
// Triangles and an independent drop reference for the drop-cutter tests:
// the reference lowers the cutter's profile onto a dense sample of the
// triangle (its border included) and keeps the highest tip, which the exact
// drop may only exceed by the sampling error.

#include "cam/drop/MillCutter.h"
#include "core/geometry/Tri.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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

// The height of the cutter's profile above its tip at distance r from the
// axis, or NaN beyond its radius: written from the shapes' geometry, not
// from the cutter classes.
inline double ProfileHeight(const TCutterSpec& tool, double r)
{
    const double R = tool.Diameter / 2.0;
    if (r > R)
        return std::nan("");
    switch (tool.ToolType) {
    case 0:
        return 0.0;
    case 1: {
        const double c = tool.CornerRadius, ring = R - c;
        return r <= ring ? 0.0 : c - std::sqrt(c * c - (r - ring) * (r - ring));
    }
    case 2:
        return R - std::sqrt(R * R - r * r);
    default:
        return r / std::tan(tool.ToolAngleDeg * std::numbers::pi / 180.0);
    }
}

// The highest tip z over samples of the triangle (n steps per side).
inline double ReferenceDrop(const TCutterSpec& tool, const TTri& t, double x, double y, double floorZ, int n = 300)
{
    double best = floorZ;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; i + j <= n; ++j) {
            const double u = double(i) / n, v = double(j) / n, w = 1.0 - u - v;
            const double px = w * t.A[0] + u * t.B[0] + v * t.C[0];
            const double py = w * t.A[1] + u * t.B[1] + v * t.C[1];
            const double pz = w * t.A[2] + u * t.B[2] + v * t.C[2];
            const double h = ProfileHeight(tool, std::hypot(px - x, py - y));
            if (!std::isnan(h))
                best = std::max(best, pz - h);
        }
    }
    return best;
}

inline TCutterSpec FlatTool() { return {0, 6.0, 0.0, 0.0, 20.0}; }
inline TCutterSpec BullTool() { return {1, 6.0, 1.0, 0.0, 20.0}; }
inline TCutterSpec BallTool() { return {2, 6.0, 0.0, 0.0, 20.0}; }
inline TCutterSpec ConeTool() { return {3, 6.0, 0.0, 45.0, 20.0}; }

} // namespace kbtest
