#include "core/geometry/ArcIntersections.h"
#include "core/geometry/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace arc_intersections_test {

namespace {

constexpr double kPi = 3.141592653589793;

class ArcIntersections : public ::testing::Test {
protected:
    void SetUp() override { BindTolerances(&m_SystemTol, nullptr, nullptr); }
    void TearDown() override { BindTolerances(nullptr, nullptr, nullptr); }
    double m_SystemTol = 1e-4;
};

TVector2D V(double x, double y) { return {x, y}; }

// The counter-clockwise arc about c of radius r from angle a1 to a2.
TArcInfo2D Arc(TVector2D c, double r, double a1, double a2)
{
    TArcInfo2D a;
    a.Centre = c;
    a.Radius = r;
    a.StartAngle = a1;
    a.EndAngle = a2;
    a.StartPoint = V(c.X + r * std::cos(a1), c.Y + r * std::sin(a1));
    a.EndPoint = V(c.X + r * std::cos(a2), c.Y + r * std::sin(a2));
    return a;
}

TArcInfo2D Circle(TVector2D c, double r) { return Arc(c, r, 0, 0); }

void ExpectPoints(const std::vector<TVector2D>& got, const std::vector<TVector2D>& expected, double tol = 1e-9)
{
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].X, expected[i].X, tol) << "point " << i;
        EXPECT_NEAR(got[i].Y, expected[i].Y, tol) << "point " << i;
    }
}

} // namespace

TEST_F(ArcIntersections, OnArcTestIsTheRightSideOfTheChord)
{
    const TArcInfo2D upper = Arc(V(0, 0), 10, 0, kPi);
    EXPECT_TRUE(IsOnArc(upper, V(0, 10)));
    EXPECT_FALSE(IsOnArc(upper, V(0, -10)));
    // More than half a turn: three quarters from 0 to 3 pi / 2.
    const TArcInfo2D major = Arc(V(0, 0), 10, 0, 1.5 * kPi);
    EXPECT_TRUE(IsOnArc(major, V(-10, 0)));
    EXPECT_TRUE(IsOnArc(major, V(0, 10)));
    EXPECT_FALSE(IsOnArc(major, V(7.07, -7.07)));
    // A full circle takes every point.
    EXPECT_TRUE(IsOnArc(Circle(V(0, 0), 10), V(3, -9.5)));
}

TEST_F(ArcIntersections, LineAndArc)
{
    const TArcInfo2D upper = Arc(V(0, 0), 10, 0, kPi);
    struct TCase {
        const char* name;
        TVector2D p1, p2;
        bool segmentOnly;
        std::vector<TVector2D> expected;
    };
    const TCase cases[] = {
        // The segment's end point counts: the projection test is inclusive.
        {"segment ends on the arc", V(0, 6), V(8, 6), true, {V(8, 6)}},
        {"secant segment", V(-20, 6), V(20, 6), true, {V(8, 6), V(-8, 6)}},
        {"secant, only one side on the arc", V(6, -20), V(6, 20), true, {V(6, 8)}},
        {"reversed direction keeps the order along the line", V(20, 6), V(-20, 6), true, {V(-8, 6), V(8, 6)}},
        {"tangent", V(-5, 10), V(5, 10), true, {V(0, 10)}},
        {"tangent within the tolerance", V(-5, 10.00005), V(5, 10.00005), true, {V(0, 10.00005)}},
        {"just missing", V(-5, 10.001), V(5, 10.001), true, {}},
        {"short segment inside the circle", V(-2, 6), V(2, 6), true, {}},
        {"the same as an infinite line", V(-2, 6), V(2, 6), false, {V(8, 6), V(-8, 6)}},
        {"below the arc", V(-20, -6), V(20, -6), false, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TVector2D> list;
        IntersectLineWithArc(c.p1, c.p2, upper, c.segmentOnly, list);
        ExpectPoints(list, c.expected);
    }
    // Results are appended to what the list holds.
    std::vector<TVector2D> list{V(99, 99)};
    IntersectLineWithArc(V(0, 6), V(8, 6), Arc(V(5, 5), 10, 0, kPi), false, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].X, 99.0);
}

TEST_F(ArcIntersections, CirclesAndArcs)
{
    struct TCase {
        const char* name;
        TArcInfo2D a, b;
        bool arcsOnly;
        std::vector<TVector2D> expected;
    };
    const TCase cases[] = {
        {"secant", Circle(V(0, 0), 5), Circle(V(8, 0), 5), false, {V(4, 3), V(4, -3)}},
        {"secant, turned", Circle(V(1, 1), 5), Circle(V(1, 9), 5), false, {V(-2, 5), V(4, 5)}},
        {"touching from outside", Circle(V(0, 0), 10), Circle(V(15, 0), 5), false, {V(10, 0)}},
        // Tangency holds within the tolerance from either side.
        {"touching from outside, just apart", Circle(V(0, 0), 10), Circle(V(15.000001, 0), 5), false,
         {V(10.0000007, 0)}},
        {"touching from inside", Circle(V(0, 0), 10), Circle(V(5, 0), 5), false, {V(10, 0)}},
        {"touching from inside, smaller first", Circle(V(0, 0), 5), Circle(V(-5, 0), 10), false, {V(5, 0)}},
        {"apart", Circle(V(0, 0), 5), Circle(V(20, 0), 5), false, {}},
        {"one inside the other", Circle(V(0, 0), 10), Circle(V(1, 0), 2), false, {}},
        {"coincident", Circle(V(3, 4), 5), Circle(V(3, 4), 5), false, {}},
        {"concentric", Circle(V(3, 4), 5), Circle(V(3, 4), 7), false, {}},
        // Arcs: the upper halves meet at (4, 3) only.
        {"arcs keep points on both", Arc(V(0, 0), 5, 0, kPi), Arc(V(8, 0), 5, 0, kPi), true, {V(4, 3)}},
        {"arcs on other halves", Arc(V(0, 0), 5, 0, kPi), Arc(V(8, 0), 5, kPi, 0), true, {}},
        // A shared end point is not an intersection of the arcs, but is one of
        // their circles.
        {"arcs sharing an end point", Arc(V(0, 0), 5, 0, std::atan2(3, 4)), Arc(V(8, 0), 5, std::atan2(3, -4), kPi),
         true, {}},
        {"their circles", Arc(V(0, 0), 5, 0, std::atan2(3, 4)), Arc(V(8, 0), 5, std::atan2(3, -4), kPi), false,
         {V(4, 3), V(4, -3)}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TVector2D> list;
        IntersectCircles(c.a, c.b, c.arcsOnly, list);
        ExpectPoints(list, c.expected, 1e-6);
    }
}

TEST_F(ArcIntersections, SegmentCrossing)
{
    struct TCase {
        const char* name;
        TVector2D p1, p2, p3, p4;
        bool crosses;
        TVector2D q;
    };
    const TCase cases[] = {
        {"diagonals", V(0, 0), V(2, 2), V(0, 2), V(2, 0), true, V(1, 1)},
        {"shared end point", V(0, 0), V(1, 0), V(1, 0), V(2, 1), false, {}},
        {"shared end point within the tolerance", V(0, 0), V(1, 0), V(2, 1), V(1.00005, 0), false, {}},
        {"T junction", V(0, 0), V(2, 0), V(1, 0), V(1, 5), true, V(1, 0)},
        {"lines cross beyond the segments", V(0, 0), V(1, 1), V(3, 0), V(2, 1), false, {}},
        {"boxes overlap, no crossing", V(0, 0), V(4, 4), V(3, 0), V(4, 2), false, {}},
        {"parallel", V(0, 0), V(4, 0), V(0, 1), V(4, 1), false, {}},
        {"collinear overlap", V(0, 0), V(2, 0), V(1, 0), V(3, 0), true, V(1, 0)},
        // The overlap is (1, 0)-(2, 0); (3, 0) lies beyond the first segment.
        {"collinear overlap, reversed", V(0, 0), V(2, 0), V(3, 0), V(1, 0), true, V(1, 0)},
        {"collinear, first inside second", V(1, 0), V(2, 0), V(0, 0), V(3, 0), true, V(1, 0)},
        {"collinear apart", V(0, 0), V(1, 0), V(2, 0), V(3, 0), false, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TVector2D> q = IntersectSegments(c.p1, c.p2, c.p3, c.p4);
        ASSERT_EQ(q.has_value(), c.crosses);
        if (q) {
            EXPECT_NEAR(q->X, c.q.X, 1e-12);
            EXPECT_NEAR(q->Y, c.q.Y, 1e-12);
        }
        double x = -7, y = -7;
        EXPECT_EQ(CrossSegmentsXY(c.p1.X, c.p1.Y, c.p2.X, c.p2.Y, c.p3.X, c.p3.Y, c.p4.X, c.p4.Y, x, y),
                  c.crosses ? 1 : 0);
        if (!c.crosses) {
            EXPECT_EQ(x, -7); // left alone
            EXPECT_EQ(y, -7);
        }
    }
}

}  // namespace arc_intersections_test
