#include "core/settings/AppConfig.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Offset2D.h"
#include "core/geometry/PointsSet.h"

#include <gtest/gtest.h>

#include <cmath>

namespace arc_geometry_test {

namespace {

constexpr double kPi = 3.141592653589793;

// A published settings object with the millimetre defaults (system
// tolerance 1e-4, simulation tolerance 0.025), dropped after each test.
class ArcGeometry : public ::testing::Test {
protected:
    TAppConfig m_Config{""};
};

TVector2D V(double x, double y) { return {x, y}; }

// Largest distance between the arc and the chords from start through the
// points, measured at each chord's middle.
double WorstChordError(const TVector2D& centre, const TVector2D& start, const TArrayOfPoint2d& points, double r)
{
    double worst = 0.0;
    TVector2D prev = start;
    for (const TPoint2D& p : points) {
        const TVector2D mid{(prev.X + p.X) / 2 - centre.X, (prev.Y + p.Y) / 2 - centre.Y};
        worst = std::max(worst, r - std::hypot(mid.X, mid.Y));
        prev = {p.X, p.Y};
    }
    return worst;
}

} // namespace

TEST_F(ArcGeometry, ArcToPointsCountsChordsWithinTheTolerance)
{
    struct TCase {
        const char* name;
        TVector2D centre, start, end;
        bool clockwise;
        double tol;
        size_t count;
    };
    const double nearlyFull = 2 * kPi - 0.01;
    const TCase cases[] = {
        {"quarter r10", V(0, 0), V(10, 0), V(0, 10), false, 0.025, 12},
        {"half r100", V(5, -5), V(105, -5), V(-95, -5), false, 0.025, 71},
        {"clockwise half r100", V(0, 0), V(-100, 0), V(100, 0), true, 0.025, 71},
        {"capped at 200", V(0, 0), V(1000, 0), V(1000 * std::cos(nearlyFull), 1000 * std::sin(nearlyFull)), false,
         0.001, 200},
        {"equal angles", V(1, 1), V(11, 1), V(21, 1), false, 0.025, 1},
        {"radius below half the tolerance", V(0, 0), V(0.01, 0), V(0, 0.01), false, 0.025, 1},
        {"zero radius", V(3, 3), V(3, 3), V(3, 3), true, 0.025, 1},
        {"zero tolerance", V(0, 0), V(1, 0), V(0, 1), false, 0.0, 200},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TArrayOfPoint2d points = ArcToPointsTol(c.centre, c.start, c.end, c.clockwise, c.tol);
        ASSERT_EQ(points.size(), c.count);
        const double r = std::hypot(c.end.X - c.centre.X, c.end.Y - c.centre.Y);
        for (const TPoint2D& p : points) {
            EXPECT_EQ(p.W, 1.0);
            EXPECT_NEAR(std::hypot(p.X - c.centre.X, p.Y - c.centre.Y), r, 1e-9);
        }
        if (c.count > 1 && c.count < 200) {
            EXPECT_LE(WorstChordError(c.centre, c.start, points, r), c.tol + 1e-12);
        }
        // Computed, not copied, yet the end point up to rounding.
        EXPECT_NEAR(points.back().X, c.end.X, 1e-9);
        EXPECT_NEAR(points.back().Y, c.end.Y, 1e-9);
    }
}

TEST_F(ArcGeometry, ArcToPointsKeepsDirectionAndLeavesTheStartOut)
{
    // Equal angles sweep nothing: the start point, recomputed at the end's
    // radius; never a full circle.
    TArrayOfPoint2d one = ArcToPointsTol(V(0, 0), V(5, 0), V(10, 0), false, 0.025);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0].X, 10.0, 1e-12);
    EXPECT_NEAR(one[0].Y, 0.0, 1e-12);

    const TArrayOfPoint2d ccw = ArcToPointsTol(V(0, 0), V(10, 0), V(0, 10), false, 0.025);
    for (const TPoint2D& p : ccw) {
        EXPECT_GE(p.X, -1e-9);
        EXPECT_GE(p.Y, -1e-9);
    }
    EXPECT_GT(ccw.front().Y, 0.0); // the first point is one step past the start

    const TArrayOfPoint2d cw = ArcToPointsTol(V(0, 0), V(10, 0), V(0, 10), true, 0.025);
    ASSERT_EQ(cw.size(), 34u); // three quarters: ceil(4.712389 / 0.141451)
    bool thirdQuadrant = false;
    for (const TPoint2D& p : cw)
        thirdQuadrant = thirdQuadrant || (p.X < -1 && p.Y < -1);
    EXPECT_TRUE(thirdQuadrant);
    EXPECT_LT(cw.front().Y, 0.0);
}

TEST_F(ArcGeometry, ArcToPointsReadsTheSimulationToleranceOfTheSettings)
{
    EXPECT_EQ(ArcToPoints(V(0, 0), V(10, 0), V(0, 10), false).size(), 12u);
    m_Config.SimulTol = 0.1;
    EXPECT_EQ(ArcToPoints(V(0, 0), V(10, 0), V(0, 10), false).size(), 6u);
    // The explicit tolerance neither reads nor changes the setting.
    EXPECT_EQ(ArcToPointsTol(V(0, 0), V(10, 0), V(0, 10), false, 0.025).size(), 12u);
    EXPECT_EQ(m_Config.SimulTol, 0.1);

    const auto set = ArcToPointsSet(V(0, 0), V(10, 0), V(0, 10), false, 0.025);
    const TArrayOfPoint2d points = ArcToPointsTol(V(0, 0), V(10, 0), V(0, 10), false, 0.025);
    ASSERT_EQ(set->Count(), 12);
    for (int i = 0; i < set->Count(); ++i) {
        EXPECT_EQ(set->Get(i).X, points[static_cast<size_t>(i)].X);
        EXPECT_EQ(set->Get(i).Y, points[static_cast<size_t>(i)].Y);
    }
}

TEST_F(ArcGeometry, ClosestPointOnArcProjectsOrTakesTheNearerEnd)
{
    struct TCase {
        TVector2D p;
        double direction;
        TVector2D expected;
    };
    // The quarter about (100, 0) from (110, 0) to (100, 10); counter-clockwise
    // it is the upper-right quarter, clockwise the other three.
    const TCase cases[] = {
        {V(120, 20), 1, V(100 + 10 / std::sqrt(2.0), 10 / std::sqrt(2.0))},
        {V(105, -20), 1, V(110, 0)},
        {V(95, 50), 1, V(100, 10)}, // 40.3 from the end against 52.2 from the start
        {V(105, -20), -1, V(100 + 10 * 5 / std::hypot(5, 20), -10 * 20 / std::hypot(5, 20))},
        {V(125, 20), -1, V(110, 0)},
        {V(100, 0), 1, V(100, 10)}, // the centre: equally far from both ends
    };
    for (const TCase& c : cases) {
        const TVector2D q = ClosestPointOnArcDir(V(100, 0), V(110, 0), V(100, 10), c.p, 10, c.direction);
        EXPECT_NEAR(q.X, c.expected.X, 1e-9) << c.p.X << "," << c.p.Y << " dir " << c.direction;
        EXPECT_NEAR(q.Y, c.expected.Y, 1e-9) << c.p.X << "," << c.p.Y << " dir " << c.direction;
    }
    const TVector2D q = ClosestPointOnArc(V(100, 0), V(110, 0), V(100, 10), V(120, 20));
    EXPECT_NEAR(q.X, 107.0710678, 1e-6);
    EXPECT_NEAR(q.Y, 7.0710678, 1e-6);
}

TEST_F(ArcGeometry, OffsetSegmentMovesAlongTheLeftNormal)
{
    struct TCase {
        TVector2D p1, p2;
        double d;
        TVector2D q1, q2;
    };
    const TCase cases[] = {
        {V(0, 0), V(10, 0), 2, V(0, 2), V(10, 2)},
        {V(0, 0), V(10, 0), -2, V(0, -2), V(10, -2)},
        {V(1, 1), V(1, -4), 3, V(4, 1), V(4, -4)},
        {V(0, 0), V(3, 4), 5, V(-4, 3), V(-1, 7)},
        // No direction: the ends stay where they are instead of becoming
        // not-a-number.
        {V(2, 2), V(2, 2), 1, V(2, 2), V(2, 2)},
    };
    for (const TCase& c : cases) {
        TVector2D q1, q2;
        OffsetSegment(c.p1, c.p2, c.d, q1, q2);
        EXPECT_NEAR(q1.X, c.q1.X, 1e-12);
        EXPECT_NEAR(q1.Y, c.q1.Y, 1e-12);
        EXPECT_NEAR(q2.X, c.q2.X, 1e-12);
        EXPECT_NEAR(q2.Y, c.q2.Y, 1e-12);
    }
}

}  // namespace arc_geometry_test
