#include "cam/generators/EntryMoves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kAlpha = 3.0 * std::numbers::pi / 180.0;

} // namespace

TEST(EntryMovesTest, RampRunsBackAndForthDownToItsStart)
{
    // Legs of 6 from S (0, 0) along +X, each dropping 6 sin 3 = 0.314.
    const TRampa ramp({0, 0, 0}, 6.0, 1.0, 0.0, kAlpha);
    struct TPoint {
        double X, Z;
    };
    const TPoint expected[] = {{0, 1.0}, {6, 0.942}, {0, 0.628}, {6, 0.314}, {0, 0}};
    ASSERT_EQ(ramp.VertexCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(ramp.Vertices[size_t(i)].EndPoint.X, expected[i].X, 1e-9);
        EXPECT_NEAR(ramp.Vertices[size_t(i)].EndPoint.Z, expected[i].Z, 1e-3);
        EXPECT_EQ(ramp.Vertices[size_t(i)].Kind, 0);
    }
    // Height 0: one leg from E at 0 to S.
    const TRampa flat({1, 2, 0}, 6.0, 0.0, std::numbers::pi / 2, kAlpha);
    ASSERT_EQ(flat.VertexCount(), 2);
    EXPECT_NEAR(flat.Vertices[0].EndPoint.Y, 8.0, 1e-9);
    EXPECT_NEAR(flat.Vertices[0].EndPoint.Z, 0.0, 1e-12);
    EXPECT_NEAR(flat.Vertices[1].EndPoint.Y, 2.0, 1e-9);
}

TEST(EntryMovesTest, HelixOfFourteenPointsEndsAtZeroAndDegenerateEntriesStayEmpty)
{
    // Tool 6: radius 2.4, 0.079 a point, from Z 1.
    const TElica helix({5, 5, 7}, 2.4, 1.0, kAlpha);
    ASSERT_EQ(helix.VertexCount(), 14);
    EXPECT_NEAR(helix.Vertices[0].EndPoint.X, 7.4, 1e-9);
    EXPECT_NEAR(helix.Vertices[0].EndPoint.Y, 5.0, 1e-9);
    EXPECT_NEAR(helix.Vertices[0].EndPoint.Z, 1.0, 1e-12);
    // Ten points a turn, counter-clockwise: the second at 36 degrees, lower
    // by its arc length times the tangent of the entry angle.
    const double step = 2 * std::numbers::pi / 10;
    EXPECT_NEAR(helix.Vertices[1].EndPoint.Z, 1.0 - 2.4 * step * std::tan(3 * std::numbers::pi / 180), 1e-3);
    EXPECT_NEAR(helix.Vertices[1].EndPoint.X, 5.0 + 2.4 * std::cos(step), 1e-9);
    EXPECT_NEAR(helix.Vertices[1].EndPoint.Y, 5.0 + 2.4 * std::sin(step), 1e-9);
    EXPECT_EQ(helix.Vertices.back().EndPoint.Z, 0.0);

    // A tool of no size never gets down: no entry instead of endless points.
    for (double size : {0.0, 1e-12}) {
        EXPECT_EQ(TElica({0, 0, 0}, size, 1.0, kAlpha).VertexCount(), 0);
        EXPECT_EQ(TRampa({0, 0, 0}, size, 1.0, 0.0, kAlpha).VertexCount(), 1);
    }
}
