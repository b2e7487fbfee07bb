// Bezier sampling against the curves' Bernstein form, computed here on its
// own.

#include "io/svg/QVBezier.h"

#include <gtest/gtest.h>

namespace qv_bezier_test {

namespace {

TVector2D Quad(const TBezierQuad& b, double t)
{
    const double u = 1.0 - t;
    return {u * u * b.P0.X + 2 * u * t * b.P1.X + t * t * b.P2.X, u * u * b.P0.Y + 2 * u * t * b.P1.Y + t * t * b.P2.Y};
}

TVector2D Cubic(const TBezierCubic& b, double t)
{
    const double u = 1.0 - t;
    const double k0 = u * u * u;
    const double k1 = 3 * u * u * t;
    const double k2 = 3 * u * t * t;
    const double k3 = t * t * t;
    return {k0 * b.P0.X + k1 * b.P1.X + k2 * b.P2.X + k3 * b.P3.X, k0 * b.P0.Y + k1 * b.P1.Y + k2 * b.P2.Y + k3 * b.P3.Y};
}

} // namespace

TEST(QVBezier, SamplesMatchTheBernsteinForm)
{
    const TBezierQuad quad{{1, 2}, {-3, 7}, {10, -4}};
    const TBezierCubic cubic{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    for (int n : {2, 5, 50}) {
        TPoint2DArray q;
        TPoint2DArray c;
        SampleQuadBezier(quad, n, q);
        SampleCubicBezier(cubic, n, c);
        ASSERT_EQ(q.size(), static_cast<size_t>(n));
        ASSERT_EQ(c.size(), static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / (n - 1);
            EXPECT_NEAR(q[i].X, Quad(quad, t).X, 1e-12) << n << " " << i;
            EXPECT_NEAR(q[i].Y, Quad(quad, t).Y, 1e-12) << n << " " << i;
            EXPECT_NEAR(c[i].X, Cubic(cubic, t).X, 1e-12) << n << " " << i;
            EXPECT_NEAR(c[i].Y, Cubic(cubic, t).Y, 1e-12) << n << " " << i;
        }
        // The ends are the curve's ends.
        EXPECT_EQ(c.front().X, 0.0);
        EXPECT_NEAR(c.back().X, 10.0, 1e-12);
        EXPECT_NEAR(q.back().Y, -4.0, 1e-12);
    }
    // The middle of this cubic, by de Casteljau on paper: (5, 7.5).
    TPoint2DArray c;
    SampleCubicBezier(cubic, 3, c);
    EXPECT_DOUBLE_EQ(c[1].X, 5.0);
    EXPECT_DOUBLE_EQ(c[1].Y, 7.5);
}

TEST(QVBezier, FewSamples)
{
    const TBezierQuad quad{{1, 2}, {3, 4}, {5, 6}};
    TPoint2DArray points{{9, 9}, {8, 8}};
    SampleQuadBezier(quad, 0, points);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].X, 9.0);
    SampleQuadBezier(quad, 1, points);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].X, 1.0);
    EXPECT_EQ(points[0].Y, 2.0);
}

}  // namespace qv_bezier_test
