#include "core/geometry/BulgeArc.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/PickHelpers.h"
#include "core/geometry/VectorHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace vector_helpers_test {

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(VectorHelpers, Point2DToIntPointRoundsThroughSinglesTiesToEven)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        TPoint2D p;
        int32_t x, y;
    };
    const Case cases[] = {
        {{2.5, 3.5, 1}, 2, 4},
        {{-2.5, -3.5, 1}, -2, -4},
        {{0.5, 1.5, 0}, 0, 2},
        {{5, 7, 2}, 2, 4},                  // 2.5 and 3.5 after the division
        {{3.4999999999, 16777217, 1}, 4, 16777216}, // single precision first
        {{1e20, -1e20, 1}, INT32_MAX, INT32_MIN},
        {{nan, 3, 1}, 0, 3},
    };
    for (const Case& c : cases) {
        const TIntPoint q = Point2DToIntPoint(c.p);
        EXPECT_EQ(q.X, c.x) << c.p.X;
        EXPECT_EQ(q.Y, c.y) << c.p.Y;
    }
}

TEST(VectorHelpers, RectanglesOutcodesAndContainment)
{
    const TRect2D r{MakePoint2D(0, 0), MakePoint2D(10, 5)};
    struct Case {
        double x, y;
        int code;
    };
    const Case cases[] = {
        {5, 2, 0},   {0, 0, 0},   {10, 5, 0},
        {-1, 2, kOutLeft},        {11, 2, kOutRight},
        {5, -1, kOutBottom},      {5, 6, kOutTop},
        {-1, 6, kOutLeft | kOutTop}, {11, -1, kOutRight | kOutBottom},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RectOutcode(r, MakePoint2D(c.x, c.y)), c.code) << c.x << ", " << c.y;
        EXPECT_EQ(PointInRect2D(MakePoint2D(c.x, c.y), r), c.code == 0);
    }

    const TRect2D e = EnlargeRect2D(TRect2D{TPoint2D{2, 2, 2}, TPoint2D{4, 6, 1}}, 0.5);
    EXPECT_EQ(e.FirstEdge.X, 0.5);
    EXPECT_EQ(e.FirstEdge.Y, 0.5);
    EXPECT_EQ(e.SecondEdge.X, 4.5);
    EXPECT_EQ(e.SecondEdge.Y, 6.5);

    const TIntRect outer{0, 0, 100, 50};
    EXPECT_TRUE(IntRectInsideIntRect(TIntRect{0, 0, 100, 50}, outer));
    EXPECT_TRUE(IntRectInsideIntRect(TIntRect{10, 10, 20, 20}, outer));
    EXPECT_FALSE(IntRectInsideIntRect(TIntRect{10, 10, 101, 20}, outer));
    EXPECT_FALSE(IntRectInsideIntRect(TIntRect{10, -1, 20, 20}, outer));
}

TEST(VectorHelpers, IndexOfMinValue)
{
    EXPECT_EQ(IndexOfMinValue(std::vector<double>{3, 1, 1}), 1);
    EXPECT_EQ(IndexOfMinValue(std::vector<double>{}), -1);
    // Values above any fixed start value still find their minimum.
    EXPECT_EQ(IndexOfMinValue(std::vector<double>{3e7, 2e7, 5e7}), 1);
    EXPECT_EQ(IndexOfMinValue(std::vector<double>{std::nan(""), 4, 2}), 2);
}

TEST(VectorHelpers, OldTransformAndArcAngles)
{
    const TPoint2D p = TransformPoint2D3x3(TPoint2D{1, 0, 1}, RotationTransform2D(kPi / 2));
    EXPECT_NEAR(p.X, 0.0, 1e-15);
    EXPECT_NEAR(p.Y, 1.0, 1e-15);
    EXPECT_EQ(p.W, 1.0);
    TTransform2D t;
    t.T[2][0] = 3;
    t.T[2][2] = 2;
    const TPoint2D q = TransformPoint2D3x3(TPoint2D{1, 1, 2}, t);
    EXPECT_EQ(q.X, 7.0);
    EXPECT_EQ(q.W, 4.0);

    // A quarter arc about (2, 0), turned a quarter about the origin.
    double start = 0.0;
    double end = kPi / 2;
    TransformArcAngles(MakePoint2D(2, 0), TMatrix4::CreateRotationZ(90, true), start, end, 3.0);
    EXPECT_NEAR(start, kPi / 2, 1e-12);
    EXPECT_NEAR(end, kPi, 1e-12);
    // Mirrored in X: the angles reflect about the Y axis.
    start = 0.25;
    end = 1.0;
    TransformArcAngles(MakePoint2D(2, 1), TMatrix4::CreateMirror(1), start, end, 3.0);
    EXPECT_NEAR(start, kPi - 0.25, 1e-12);
    EXPECT_NEAR(end, kPi - 1.0, 1e-12);

    EXPECT_DOUBLE_EQ(RadiansToDegrees(kPi / 4), 45.0);
    EXPECT_DOUBLE_EQ(DistancePoint2D(TPoint2D{0, 0, 1}, TPoint2D{6, 8, 2}), 5.0);
}

TEST(PickHelpers, SegmentAndPointTests)
{
    double d = 0.0;
    EXPECT_TRUE(DistancePointToSegment(MakePoint2D(1, 2), MakePoint2D(0, 0), MakePoint2D(4, 0), d));
    EXPECT_EQ(d, 2.0);
    EXPECT_FALSE(DistancePointToSegment(MakePoint2D(5, 1), MakePoint2D(0, 0), MakePoint2D(4, 0), d));
    EXPECT_EQ(d, kNoPickDistance);
    EXPECT_FALSE(DistancePointToSegment(MakePoint2D(1, 1), MakePoint2D(1, 1), MakePoint2D(1, 1), d));

    EXPECT_TRUE(PointNearPoint(MakePoint2D(1, 1), MakePoint2D(1.5, 0.5), d, 0.5)); // square corner
    EXPECT_NEAR(d, std::sqrt(0.5), 1e-15);
    EXPECT_FALSE(PointNearPoint(MakePoint2D(1, 1), TPoint2D{3.2, 2, 2}, d, 0.5));
    EXPECT_EQ(d, kNoPickDistance);

    EXPECT_TRUE(RayCrossesEdge(MakePoint2D(0, 1), MakePoint2D(2, 0), MakePoint2D(2, 2)));
    EXPECT_FALSE(RayCrossesEdge(MakePoint2D(3, 1), MakePoint2D(2, 0), MakePoint2D(2, 2)));
    EXPECT_FALSE(RayCrossesEdge(MakePoint2D(0, 0), MakePoint2D(-1, 0), MakePoint2D(1, 0)));
}

TEST(PickHelpers, PolygonAndPolyline)
{
    const std::vector<TPoint2D> square = {MakePoint2D(0, 0), MakePoint2D(1, 0), MakePoint2D(1, 1),
                                          MakePoint2D(0, 1)};
    const TMatrix4& id = IdentityMatrix4();
    struct Case {
        const char* name;
        TPoint2D p;
        int result;
        double distance;
    };
    const Case cases[] = {
        {"centre", MakePoint2D(0.5, 0.5), kPickInside, 0.01},
        {"on an edge", MakePoint2D(0.5, 0), kPickEdge, 0.0},
        {"just outside an edge", MakePoint2D(1.005, 0.5), kPickEdge, 0.005},
        {"far outside", MakePoint2D(3, 0.5), kPickNothing, kNoPickDistance},
    };
    for (const Case& c : cases) {
        double d = -1.0;
        EXPECT_EQ(PickPolygon(square, c.p, id, 0.01, d), c.result) << c.name;
        EXPECT_NEAR(d, c.distance, 1e-12) << c.name;
    }
    // The outline goes through the transform first.
    double d = 0.0;
    EXPECT_EQ(PickPolygon(square, MakePoint2D(10.5, 0.5), TMatrix4::CreateTranslation(10, 0, 0), 0.01, d),
              kPickInside);
    EXPECT_EQ(PickPolygon({}, MakePoint2D(0, 0), id, 0.01, d), kPickNothing);

    // Near the closing edge only: a closed chain is hit, an open one not.
    const TPoint2D nearClosing = MakePoint2D(0.002, 0.5);
    EXPECT_EQ(PickPolyline(square, nearClosing, false, id, 0.01, d), kPickNothing);
    EXPECT_EQ(d, kNoPickDistance);
    EXPECT_EQ(PickPolyline(square, nearClosing, true, id, 0.01, d), kPickEdge);
    EXPECT_NEAR(d, 0.002, 1e-12);
    // The nearest segment wins.
    EXPECT_EQ(PickPolyline(square, MakePoint2D(0.996, 0.997), false, id, 0.01, d), kPickEdge);
    EXPECT_NEAR(d, 0.003, 1e-12);
}

TEST(BulgeArc, CentreRadiusAndDirection)
{
    struct Case {
        double bulge;
        double cx, cy, radius, start, end;
        int direction;
    };
    const double x = (1 / 0.5 - 0.5) / 2; // 0.75
    const Case cases[] = {
        {1.0, 1, 0, 1, kPi, 0, 3},
        {-1.0, 1, 0, 1, 0, kPi, 2},
        {0.5, 1, x, std::hypot(1, x), std::atan2(-x, -1), std::atan2(-x, 1), 3},
    };
    for (const Case& c : cases) {
        const auto arc = BulgeToArc(MakePoint2D(0, 0), MakePoint2D(2, 0), c.bulge);
        ASSERT_TRUE(arc) << c.bulge;
        EXPECT_NEAR(arc->Centre.X, c.cx, 1e-12);
        EXPECT_NEAR(arc->Centre.Y, c.cy, 1e-12);
        EXPECT_NEAR(arc->Radius, c.radius, 1e-12);
        EXPECT_NEAR(arc->StartAngle, c.start, 1e-12);
        EXPECT_NEAR(arc->EndAngle, c.end, 1e-12);
        EXPECT_EQ(arc->Direction, c.direction);
    }
    for (double bulge : {0.0, 1e-9, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(BulgeToArc(MakePoint2D(0, 0), MakePoint2D(2, 0), bulge)) << bulge;
}

TEST(BulgeArc, PointsRunFromTheFirstPointToTheSecond)
{
    for (double bulge : {1.0, -1.0}) {
        TArrayOfPoint2d list = {MakePoint2D(-5, -5)};
        ASSERT_TRUE(BulgeArcToPoints(MakePoint2D(0, 0), MakePoint2D(2, 0), bulge, list));
        ASSERT_EQ(list.size(), 52u);
        EXPECT_NEAR(list[1].X, 0.0, 1e-12);
        EXPECT_NEAR(list.back().X, 2.0, 1e-12);
        EXPECT_NEAR(list.back().Y, 0.0, 1e-12);
        for (size_t i = 2; i + 1 < list.size(); ++i) {
            EXPECT_NEAR(std::hypot(list[i].X - 1, list[i].Y), 1.0, 1e-12);
            // Counter-clockwise from (0, 0) passes below the chord.
            EXPECT_EQ(list[i].Y < 0, bulge > 0) << i;
        }
        // 50 equal steps of a 51st of the sweep, the last segment two steps.
        EXPECT_NEAR(std::atan2(list[3].Y, list[3].X - 1) - std::atan2(list[2].Y, list[2].X - 1),
                    bulge > 0 ? kPi / 51 : -kPi / 51, 1e-12);
    }
    TArrayOfPoint2d none;
    EXPECT_FALSE(BulgeArcToPoints(MakePoint2D(0, 0), MakePoint2D(2, 0), 0.0, none));
    EXPECT_TRUE(none.empty());
}

}  // namespace vector_helpers_test
