// B-spline and NURBS evaluation: knot spans (also on unclamped, periodic
// and damaged knot vectors), basis functions and derivatives, curve points.
// Expected values come from closed forms and from a plain Cox-de Boor
// recursion written out below, not from the code under test.

#include "core/geometry/SplineMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace spline_math_test {

namespace {

// N(i, r, t) by its definition (r is the order level, 1 = piecewise
// constant; a term with a zero denominator is 0; spans are half-open).
double CoxDeBoor(const std::vector<double>& u, int i, int r, double t)
{
    if (r == 1)
        return u[i] <= t && t < u[i + 1] ? 1.0 : 0.0;
    double sum = 0.0;
    const double d1 = u[i + r - 1] - u[i];
    if (d1 != 0.0)
        sum += (t - u[i]) * CoxDeBoor(u, i, r - 1, t) / d1;
    const double d2 = u[i + r] - u[i + 1];
    if (d2 != 0.0)
        sum += (u[i + r] - t) * CoxDeBoor(u, i + 1, r - 1, t) / d2;
    return sum;
}

// The four basis functions of the uniform cubic B-spline on one span, at
// the local parameter t in [0, 1], and their first three derivatives.
struct TUniformCubic {
    double N[4][4]; // [derivative][function]
};
TUniformCubic UniformCubic(double t)
{
    const double s = 1.0 - t;
    return TUniformCubic{{
        {s * s * s / 6, (3 * t * t * t - 6 * t * t + 4) / 6, (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6,
         t * t * t / 6},
        {-s * s / 2, (3 * t * t - 4 * t) / 2, (-3 * t * t + 2 * t + 1) / 2, t * t / 2},
        {s, 3 * t - 2, 1 - 3 * t, t},
        {-1, 3, -3, 1},
    }};
}

std::vector<TVector3D> Unweighted(const std::vector<TPoint2D>& points)
{
    std::vector<TVector3D> weighted;
    for (const TPoint2D& p : points)
        weighted.push_back(TVector3D{p.X, p.Y, 1.0});
    return weighted;
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(SplineMath, FindSpanEndsOnEveryKnotVectorAndClampsToTheDomain)
{
    const std::vector<double> clamped{0, 0, 0, 1, 2, 3, 3, 3};
    const std::vector<double> repeated{0, 0, 0, 1, 1, 2, 2, 2};
    const std::vector<double> uniform{0, 1, 2, 3, 4, 5, 6, 7};         // unclamped cubic: domain 3 .. 4
    const std::vector<double> periodic{-2, -1, 0, 1, 2, 3, 4, 5, 6};    // quadratic: domain 0 .. 4
    const std::vector<double> decreasing{3, 2, 1, 0, -1, -2};           // damaged
    struct Case {
        const char* name;
        const std::vector<double>& knots;
        int p;
        double u;
        int span;
    };
    const Case cases[] = {
        {"clamped: start", clamped, 2, 0, 2},
        {"clamped: inside the first span", clamped, 2, 0.5, 2},
        {"clamped: on an interior knot", clamped, 2, 1, 3},
        {"clamped: last span", clamped, 2, 2.5, 4},
        {"clamped: the end belongs to the last span", clamped, 2, 3, 4},
        {"clamped: below the domain", clamped, 2, -1, 2},
        {"clamped: above the domain", clamped, 2, 5, 4},
        {"clamped: NaN goes to the start", clamped, 2, NaN, 2},
        {"double knot: just before it", repeated, 2, 0.99, 2},
        {"double knot: on it, the span after it", repeated, 2, 1, 4},
        {"double knot: the end", repeated, 2, 2, 4},
        {"unclamped: first knot", uniform, 3, 0, 3},
        {"unclamped: inside", uniform, 3, 3.5, 3},
        {"unclamped: domain end", uniform, 3, 4, 3},
        {"unclamped: last knot", uniform, 3, 7, 3},
        {"periodic: first knot", periodic, 2, -2, 2},
        {"periodic: inside", periodic, 2, 2.5, 4},
        {"periodic: domain end", periodic, 2, 4, 5},
        {"periodic: last knot", periodic, 2, 6, 5},
        {"too short for the degree", clamped, 4, 1, -1},
        {"negative degree", clamped, -1, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindSpan(c.knots, c.p, c.u), c.span) << c.name;

    // A decreasing vector has no meaningful span, but the search ends inside
    // the index range whatever the parameter.
    for (double u : {-5.0, 0.0, 0.5, 2.5, 10.0, NaN}) {
        const int span = FindSpan(decreasing, 1, u);
        EXPECT_GE(span, 1) << u;
        EXPECT_LE(span, 3) << u;
    }
}

TEST(SplineMath, KnotVectorValidity)
{
    struct Case {
        const char* name;
        std::vector<double> knots;
        int p;
        bool valid;
    };
    const Case cases[] = {
        {"clamped cubic", {0, 0, 0, 0, 1, 1, 1, 1}, 3, true},
        {"unclamped cubic", {0, 1, 2, 3, 4, 5, 6, 7}, 3, true},
        {"empty", {}, 3, false},
        {"one knot short", {0, 0, 0, 0, 1, 1, 1}, 3, false},
        {"decreasing", {0, 0, 0, 2, 1, 3, 3, 3}, 2, false},
        {"NaN", {0, 0, 0, NaN, 3, 3, 3}, 2, false},
        {"infinite", {0, 0, 0, 1, 3, 3, std::numeric_limits<double>::infinity()}, 2, false},
        {"all equal: empty domain", {1, 1, 1, 1, 1, 1}, 2, false},
        {"degree above the limit", std::vector<double>(2 * (kMaxSplineDegree + 2), 0.0), kMaxSplineDegree + 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidKnotVector(c.knots, c.p), c.valid) << c.name;
}

TEST(SplineMath, BasisFunctionsAndDerivativesMatchTheUniformCubic)
{
    const std::vector<double> knots{0, 1, 2, 3, 4, 5, 6, 7};
    for (double t : {0.0, 0.25, 0.5, 0.9}) {
        SCOPED_TRACE(t);
        const auto ders = DersBasisFuns(3, 3 + t, 3, 4, knots);
        ASSERT_EQ(ders.size(), 5u);
        const TUniformCubic expected = UniformCubic(t);
        for (int k = 0; k <= 3; ++k)
            for (int j = 0; j <= 3; ++j)
                EXPECT_NEAR(ders[k][j], expected.N[k][j], 1e-12) << "derivative " << k << ", function " << j;
        // Above the degree every derivative is zero.
        for (int j = 0; j <= 3; ++j)
            EXPECT_EQ(ders[4][j], 0.0);
    }
    EXPECT_TRUE(DersBasisFuns(2, 3.5, 3, 1, knots).empty()) << "span below p";
    EXPECT_TRUE(DersBasisFuns(4, 3.5, 3, 1, knots).empty()) << "span past m - p - 1";
}

TEST(SplineMath, BasisFunctionsMatchTheRecursionOnANonUniformClampedVector)
{
    const std::vector<double> knots{0, 0, 0, 0, 0.5, 1.5, 1.5, 3, 3, 3, 3};
    const int p = 3;
    for (double u : {0.0, 0.2, 0.5, 1.0, 1.49, 1.5, 2.0, 2.999}) {
        const int span = FindSpan(knots, p, u);
        ASSERT_GE(span, p) << u;
        const auto ders = DersBasisFuns(span, u, p, 0, knots);
        ASSERT_EQ(ders.size(), 1u);
        double sum = 0.0;
        for (int j = 0; j <= p; ++j) {
            EXPECT_NEAR(ders[0][j], CoxDeBoor(knots, span - p + j, p + 1, u), 1e-12) << "u " << u << ", j " << j;
            sum += ders[0][j];
        }
        EXPECT_NEAR(sum, 1.0, 1e-12) << u;
    }
}

TEST(SplineMath, RationalQuadraticIsAnExactCircleQuadrant)
{
    const std::vector<double> knots{0, 0, 0, 1, 1, 1};
    const double w = std::sqrt(0.5);
    // (1, 0), (1, 1) with weight cos 45 degrees, (0, 1); weighted form.
    const std::vector<TVector3D> weighted{{1, 0, 1}, {w, w, w}, {0, 1, 1}};
    double previousAngle = -1.0;
    for (int i = 0; i <= 20; ++i) {
        const auto c = NurbsCurvePoint(knots, 2, weighted, i / 20.0);
        ASSERT_TRUE(c.has_value()) << i;
        EXPECT_NEAR(std::hypot(c->X, c->Y), 1.0, 1e-12) << i;
        const double angle = std::atan2(c->Y, c->X);
        EXPECT_GT(angle, previousAngle) << i;
        previousAngle = angle;
    }
    const auto start = NurbsCurvePoint(knots, 2, weighted, 0.0);
    const auto end = NurbsCurvePoint(knots, 2, weighted, 1.0);
    EXPECT_DOUBLE_EQ(start->X, 1.0);
    EXPECT_DOUBLE_EQ(start->Y, 0.0);
    EXPECT_DOUBLE_EQ(end->X, 0.0);
    EXPECT_DOUBLE_EQ(end->Y, 1.0);

    // A weight sum of zero gives no point.
    const std::vector<TVector3D> zero{{1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    EXPECT_FALSE(NurbsCurvePoint(knots, 2, zero, 0.5).has_value());
    // Too few points for the knots gives no point.
    EXPECT_FALSE(NurbsCurvePoint(knots, 2, std::vector<TVector3D>(weighted.begin(), weighted.end() - 1), 0.5));
}

TEST(SplineMath, UnclampedUniformCubicFollowsTheClosedFormOnItsDomain)
{
    const std::vector<double> knots{0, 1, 2, 3, 4, 5, 6, 7};
    const std::vector<TPoint2D> points{{0, 0, 1}, {1, 3, 1}, {4, 3, 1}, {5, 0, 1}};
    const auto weighted = Unweighted(points);
    auto expected = [&](double t) {
        const TUniformCubic b = UniformCubic(t);
        TPoint2D sum{0, 0, 1};
        for (int j = 0; j < 4; ++j) {
            sum.X += b.N[0][j] * points[j].X;
            sum.Y += b.N[0][j] * points[j].Y;
        }
        return sum;
    };
    for (double t : {0.0, 0.3, 0.75, 1.0}) {
        const auto c = NurbsCurvePoint(knots, 3, weighted, 3 + t);
        ASSERT_TRUE(c.has_value()) << t;
        EXPECT_NEAR(c->X, expected(t).X, 1e-12) << t;
        EXPECT_NEAR(c->Y, expected(t).Y, 1e-12) << t;
    }
    // Outside the domain the curve stays at its ends.
    EXPECT_NEAR(NurbsCurvePoint(knots, 3, weighted, 0.0)->X, expected(0).X, 1e-12);
    EXPECT_NEAR(NurbsCurvePoint(knots, 3, weighted, 7.0)->X, expected(1).X, 1e-12);
}

TEST(SplineMath, CurveDerivativesOfABezierSegment)
{
    const std::vector<double> knots{0, 0, 0, 0, 1, 1, 1, 1};
    const std::vector<TPoint2D> points{{0, 0, 1}, {1, 2, 1}, {3, 3, 1}, {4, 0, 1}};
    const auto weighted = Unweighted(points);
    struct Case {
        double u;
        int k;
        TVector3D expected; // homogeneous: the weight's derivative is 0
    };
    const Case cases[] = {
        {0, 0, {0, 0, 1}},  {1, 0, {4, 0, 1}},  {0, 1, {3, 6, 0}},  // 3 (P1 - P0)
        {1, 1, {3, -9, 0}},                                          // 3 (P3 - P2)
        {0, 2, {6, -6, 0}},                                          // 6 (P2 - 2 P1 + P0)
        {0.5, 3, {6 * (4 - 9 + 3 - 0), 6 * (0 - 9 + 6 - 0), 0}},     // 6 (P3 - 3 P2 + 3 P1 - P0)
    };
    for (const Case& c : cases) {
        const auto ck = CurveDerivs(knots, 3, weighted, c.u, 4);
        ASSERT_EQ(ck.size(), 5u);
        EXPECT_NEAR(ck[c.k].X, c.expected.X, 1e-12) << "u " << c.u << ", k " << c.k;
        EXPECT_NEAR(ck[c.k].Y, c.expected.Y, 1e-12) << "u " << c.u << ", k " << c.k;
        EXPECT_NEAR(ck[c.k].Z, c.expected.Z, 1e-12) << "u " << c.u << ", k " << c.k;
        EXPECT_EQ(ck[4].X, 0.0);
    }
}

TEST(SplineMath, OpenUniformBSplineMatchesTheRecursionForEachOrder)
{
    const std::vector<TPoint2D> points{{0, 0, 1}, {2, 4, 1}, {5, 5, 1}, {7, 1, 1}, {9, 3, 1}};
    const int n = static_cast<int>(points.size()) - 1;
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        // The open uniform integer knots, written out from their definition.
        std::vector<double> knots;
        for (int j = 0; j <= n + k; ++j)
            knots.push_back(j < k ? 0.0 : j > n ? n - k + 2.0 : j - k + 1.0);
        EXPECT_EQ(OpenUniformKnots(n, k), knots);
        const double range = n - k + 2;
        for (int i = 0; i < 20; ++i) {
            const double t = range * i / 20;
            TPoint2D expected{0, 0, 1};
            for (int j = 0; j <= n; ++j) {
                const double b = CoxDeBoor(knots, j, k, t);
                expected.X += b * points[j].X;
                expected.Y += b * points[j].Y;
            }
            const auto c = BSplinePoint(points, k, t);
            ASSERT_TRUE(c.has_value()) << t;
            EXPECT_NEAR(c->X, expected.X, 1e-12) << t;
            EXPECT_NEAR(c->Y, expected.Y, 1e-12) << t;
        }
    }
    EXPECT_FALSE(BSplinePoint(points, 0, 0.5));
    EXPECT_FALSE(BSplinePoint(points, 6, 0.5)) << "fewer points than the order";
}

}  // namespace spline_math_test
