// The parallel copies the offset command makes of each kind of entity: the
// side each kind takes, flipped or not, the result kinds, and the cases that
// give nothing.

#include "cad/edit/EntityOffset.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace entity_offset_test {

namespace {

using TPoints = std::vector<TPoint2D>;

std::unique_ptr<TPolyline2D> Polyline(const TPoints& points) { return std::make_unique<TPolyline2D>(-1, points); }

TPoints PointsOf(const TObject2D& object)
{
    TPoints points;
    for (const TPoint2D& p : static_cast<const TPrimitive2D&>(object).Points().Points())
        points.push_back(CartesianPoint2D(p));
    return points;
}

::testing::AssertionResult SamePoints(const TPoints& actual, const TPoints& expected, double tol = 1e-9)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " points instead of " << expected.size();
    for (size_t i = 0; i < actual.size(); ++i)
        if (std::fabs(actual[i].X - expected[i].X) > tol || std::fabs(actual[i].Y - expected[i].Y) > tol)
            return ::testing::AssertionFailure() << "point " << i << " is (" << actual[i].X << ", " << actual[i].Y
                                                 << ")";
    return ::testing::AssertionSuccess();
}

// A closed polyline's corners as a set: its start point is the library's.
// Points come back on the library's grid of 1/10000.
::testing::AssertionResult SameOutline(TPoints actual, TPoints expected, double tol = 1e-9)
{
    if (actual.size() < 2 || !SamePoints({actual.front()}, {actual.back()}))
        return ::testing::AssertionFailure() << "not closed";
    actual.pop_back();
    auto less = [](const TPoint2D& a, const TPoint2D& b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); };
    std::sort(actual.begin(), actual.end(), less);
    std::sort(expected.begin(), expected.end(), less);
    return SamePoints(actual, expected, tol);
}

TEST(EntityOffset, LinesMoveLeftOfTheirDirectionOrRightWhenFlipped)
{
    TLine2D line(-1, {0, 0, 1}, {10, 0, 1});
    line.SetModelTransform(TMatrix4::CreateTranslation(0, 2, 0)); // offsets are in drawing coordinates
    for (const bool flipped : {false, true}) {
        const auto results = OffsetEntity(line, 5, flipped);
        ASSERT_EQ(results.size(), 1u);
        const auto* result = dynamic_cast<const TLine2D*>(results[0].get());
        ASSERT_NE(result, nullptr);
        const double y = flipped ? -3 : 7;
        EXPECT_TRUE(SamePoints(PointsOf(*result), {{0, y, 1}, {10, y, 1}})) << flipped;
        EXPECT_FALSE(result->Pickable()) << "a display object until it is committed";
        EXPECT_EQ(result->OwnColor(), 255u);
        EXPECT_FALSE(result->HasTransform());
    }
}

TEST(EntityOffset, ArcsAndCirclesShrinkOrGrowAndVanishAtZeroRadius)
{
    TArco2D arc(-1, {1, 1, 1}, {4, 1, 1}, 0, std::numbers::pi / 2);
    TCerchio2D circle(-1, {1, 1, 1}, {4, 1, 1});
    struct TCase {
        double Distance;
        bool Flipped;
        double Radius; // 0: no result
    };
    const TCase cases[] = {{1, false, 2}, {1, true, 4}, {3, false, 0}, {5, false, 0}, {5, true, 8}};
    for (const TCase& c : cases) {
        const auto arcs = OffsetEntity(arc, c.Distance, c.Flipped);
        const auto circles = OffsetEntity(circle, c.Distance, c.Flipped);
        const std::string name = std::to_string(c.Distance) + (c.Flipped ? " flipped" : "");
        if (c.Radius == 0) {
            EXPECT_TRUE(arcs.empty()) << name;
            EXPECT_TRUE(circles.empty()) << name;
            continue;
        }
        ASSERT_EQ(arcs.size(), 1u);
        ASSERT_EQ(circles.size(), 1u);
        const TArcGeometry2D g = dynamic_cast<const TArco2D&>(*arcs[0]).GetArcGeometry();
        EXPECT_NEAR(g.Radius, c.Radius, 1e-9) << name;
        EXPECT_TRUE(SamePoints({g.Centre}, {{1, 1, 1}})) << name;
        EXPECT_NEAR(g.StartAngle, 0, 1e-9) << name;
        EXPECT_NEAR(g.EndAngle, std::numbers::pi / 2, 1e-9) << name;
        TPoint2D centre;
        double radius = 0;
        dynamic_cast<const TCerchio2D&>(*circles[0]).GetCircle(centre, radius);
        EXPECT_NEAR(radius, c.Radius, 1e-9) << name;
    }
}

TEST(EntityOffset, ClosedOutlinesGrowMitredOrShrink)
{
    TFrame2D frame(-1, {0, 0, 1}, {10, 4, 1});
    const auto grown = OffsetEntity(frame, 1, false);
    ASSERT_EQ(grown.size(), 1u);
    ASSERT_NE(dynamic_cast<const TPolyline2D*>(grown[0].get()), nullptr);
    EXPECT_TRUE(SameOutline(PointsOf(*grown[0]), {{-1, -1, 1}, {11, -1, 1}, {11, 5, 1}, {-1, 5, 1}}));

    const auto shrunk = OffsetEntity(frame, 1, true);
    ASSERT_EQ(shrunk.size(), 1u);
    EXPECT_TRUE(SameOutline(PointsOf(*shrunk[0]), {{1, 1, 1}, {9, 1, 1}, {9, 3, 1}, {1, 3, 1}}));

    EXPECT_TRUE(OffsetEntity(frame, 2, true).empty()) << "shrunk away";

    // A rotated frame is offset along its own edges; a clockwise closed
    // polyline and a polygon (closing edge implied) grow alike.
    TFrame2D rotated(-1, {0, 0, 1}, {2, 2, 1});
    rotated.SetModelTransform(TMatrix4::CreateRotationZ(45, true));
    // Corners (0, 0), (-r2, r2), (0, 2 r2), (r2, r2); mitred corners move
    // by d r2 = 1 along their bisectors.
    const double r2 = std::sqrt(2.0);
    const auto diamond = OffsetEntity(rotated, r2 / 2, false);
    ASSERT_EQ(diamond.size(), 1u);
    EXPECT_TRUE(SameOutline(PointsOf(*diamond[0]), {{0, -1, 1}, {r2 + 1, r2, 1}, {0, 2 * r2 + 1, 1}, {-r2 - 1, r2, 1}},
                            2e-4));
    auto clockwise = Polyline({{0, 0, 1}, {0, 4, 1}, {10, 4, 1}, {10, 0, 1}, {0, 0, 1}});
    TPolygon2D polygon(-1, TPoints{{0, 0, 1}, {10, 0, 1}, {10, 4, 1}, {0, 4, 1}});
    for (TObject2D* outline : {static_cast<TObject2D*>(clockwise.get()), static_cast<TObject2D*>(&polygon)}) {
        const auto results = OffsetEntity(*outline, 1, false);
        ASSERT_EQ(results.size(), 1u) << outline->ClassName();
        EXPECT_TRUE(SameOutline(PointsOf(*results[0]), {{-1, -1, 1}, {11, -1, 1}, {11, 5, 1}, {-1, 5, 1}}));
    }
}

TEST(EntityOffset, AnOutlineThatSplitsGivesOnePolylinePerPart)
{
    // Two 4 x 4 squares joined by a 1 wide neck: shrunk by 1, the neck goes.
    auto dumbbell = Polyline({{0, 0, 1}, {4, 0, 1}, {4, 1.5, 1}, {6, 1.5, 1}, {6, 0, 1}, {10, 0, 1}, {10, 4, 1},
                              {6, 4, 1}, {6, 2.5, 1}, {4, 2.5, 1}, {4, 4, 1}, {0, 4, 1}, {0, 0, 1}});
    const auto parts = OffsetEntity(*dumbbell, 1, true);
    ASSERT_EQ(parts.size(), 2u);
    std::vector<TPoints> outlines{PointsOf(*parts[0]), PointsOf(*parts[1])};
    if (outlines[0][0].X > outlines[1][0].X)
        std::swap(outlines[0], outlines[1]);
    EXPECT_TRUE(SameOutline(outlines[0], {{1, 1, 1}, {3, 1, 1}, {3, 3, 1}, {1, 3, 1}}));
    EXPECT_TRUE(SameOutline(outlines[1], {{7, 1, 1}, {9, 1, 1}, {9, 3, 1}, {7, 3, 1}}));
}

TEST(EntityOffset, OpenPolylinesGoRightOfTravelOrLeftWhenFlipped)
{
    auto l = Polyline({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}});
    const auto right = OffsetEntity(*l, 1, false);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_TRUE(SamePoints(PointsOf(*right[0]), {{0, -1, 1}, {11, -1, 1}, {11, 10, 1}}));
    const auto left = OffsetEntity(*l, 1, true);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(SamePoints(PointsOf(*left[0]), {{0, 1, 1}, {9, 1, 1}, {9, 10, 1}}));
}

TEST(EntityOffset, OtherCurvesAreOffsetThroughTheirProfile)
{
    // An ellipse in a 10 x 10 box is the circle of radius 5.
    TEllipse2D ellipse(-1, {-5, -5, 1}, {5, 5, 1});
    const auto results = OffsetEntity(ellipse, 1, false);
    ASSERT_EQ(results.size(), 1u);
    const TPoints points = PointsOf(*results[0]);
    ASSERT_GT(points.size(), 40u);
    for (const TPoint2D& p : points)
        EXPECT_NEAR(std::hypot(p.X, p.Y), 6, 0.02);
}

TEST(EntityOffset, NothingForOtherKindsAndDegenerateChains)
{
    TPunto2D point(-1, {1, 1, 1});
    auto single = Polyline({{1, 1, 1}});
    auto repeated = Polyline({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
    auto huge = Polyline({{0, 0, 1}, {1e300, 0, 1}});
    auto notFinite = Polyline({{0, 0, 1}, {std::nan(""), 0, 1}});
    for (TObject2D* object :
         std::initializer_list<TObject2D*>{&point, single.get(), repeated.get(), huge.get(), notFinite.get()})
        EXPECT_TRUE(OffsetEntity(*object, 1, false).empty()) << object->ClassName();
}

} // namespace

}  // namespace entity_offset_test
