// The one-sided open-path offset on integer paths: sides, joins, the loop
// removal, and what it does with closed paths and a zero distance.

#include "cad/edit/QVClipperOffset.h"
#include "core/model/CADSysException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace qv_clipper_offset_test {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

namespace {

// One unit of the tests' drawings: 10000 integer units.
constexpr ClipperLib::cInt U = 10000;

const Path kLPath{{0, 0}, {10 * U, 0}, {10 * U, 10 * U}};

Paths Offset(const Path& path, ClipperLib::JoinType join, ClipperLib::EndType end, double delta,
             double miterLimit = 2.0)
{
    TQVClipperOffset offset(miterLimit, 0.25);
    offset.AddPath(path, join, end);
    Paths solution{{{1, 1}}}; // Execute starts from an empty solution
    offset.Execute(solution, delta);
    return solution;
}

double Distance(const IntPoint& a, const IntPoint& b)
{
    return std::hypot(static_cast<double>(a.X - b.X), static_cast<double>(a.Y - b.Y));
}

TEST(QVClipperOffset, OpenPathGoesToOneSideOnly)
{
    // Left of the direction of travel (negative delta): the inner corner's
    // loop is cut out at the crossing.
    EXPECT_EQ(Offset(kLPath, ClipperLib::jtRound, ClipperLib::etOpenButt, -1.0 * U),
              (Paths{{{0, U}, {9 * U, U}, {9 * U, 10 * U}}}));

    // Right: a round join of radius 1 about the corner, nothing on the left.
    const Paths right = Offset(kLPath, ClipperLib::jtRound, ClipperLib::etOpenButt, 1.0 * U);
    ASSERT_EQ(right.size(), 1u);
    const Path& p = right[0];
    ASSERT_GT(p.size(), 4u);
    EXPECT_EQ(p.front(), IntPoint(0, -U));
    EXPECT_EQ(p.back(), IntPoint(11 * U, 10 * U));
    for (size_t i = 1; i + 1 < p.size(); ++i)
        EXPECT_NEAR(Distance(p[i], {10 * U, 0}), U, 1.0) << "join point " << i;

    // A mitred outer corner is one point.
    EXPECT_EQ(Offset(kLPath, ClipperLib::jtMiter, ClipperLib::etOpenButt, 1.0 * U, 10.0),
              (Paths{{{0, -U}, {11 * U, -U}, {11 * U, 10 * U}}}));
}

TEST(QVClipperOffset, ZeroDistanceKeepsOnlyClosedPolygons)
{
    TQVClipperOffset offset;
    const Path square{{0, 0}, {U, 0}, {U, U}, {0, U}};
    offset.AddPath(kLPath, ClipperLib::jtMiter, ClipperLib::etOpenButt);
    offset.AddPath(square, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    Paths solution;
    offset.Execute(solution, 0.0);
    EXPECT_EQ(solution, Paths{square});
}

TEST(QVClipperOffset, ClosedPolygonsAreGrownWithoutUnion)
{
    // Two overlapping squares: both grow outward and stay two paths.
    TQVClipperOffset offset(10.0, 0.25);
    offset.AddPath({{0, 0}, {4 * U, 0}, {4 * U, 4 * U}, {0, 4 * U}}, ClipperLib::jtMiter,
                   ClipperLib::etClosedPolygon);
    offset.AddPath({{2 * U, 2 * U}, {6 * U, 2 * U}, {6 * U, 6 * U}, {2 * U, 6 * U}}, ClipperLib::jtMiter,
                   ClipperLib::etClosedPolygon);
    Paths solution;
    offset.Execute(solution, 1.0 * U);
    ASSERT_EQ(solution.size(), 2u);
    for (const Path& path : solution) {
        ASSERT_EQ(path.size(), 4u);
        EXPECT_DOUBLE_EQ(std::fabs(ClipperLib::Area(path)), 36.0 * U * U);
    }
}

TEST(QVClipperOffset, SinglePointAndEmptyPaths)
{
    const Paths corners = Offset({{5 * U, 5 * U}}, ClipperLib::jtMiter, ClipperLib::etOpenButt, 1.0 * U);
    EXPECT_EQ(corners, (Paths{{{4 * U, 4 * U}, {6 * U, 4 * U}, {6 * U, 6 * U}, {4 * U, 6 * U}}}));
    EXPECT_TRUE(Offset({}, ClipperLib::jtMiter, ClipperLib::etOpenButt, 1.0 * U).empty());
    // A closed polygon of two distinct points is not taken.
    EXPECT_TRUE(Offset({{0, 0}, {U, 0}, {0, 0}}, ClipperLib::jtMiter, ClipperLib::etClosedPolygon, 1.0 * U).empty());
}

TEST(QVClipperOffset, RemoveLoopsCutsAtTheLastCrossing)
{
    struct TCase {
        const char* Name;
        Path In;
        Path Out;
    };
    const TCase cases[] = {
        {"no crossing", {{0, 0}, {10, 0}, {10, 10}}, {{0, 0}, {10, 0}, {10, 10}}},
        {"one loop", {{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, -5}}, {{0, 0}, {5, 0}, {5, -5}}},
        // The first segment is crossed twice: the walk goes on after the
        // later crossing, dropping both loops.
        {"last crossing wins",
         {{0, 0}, {20, 0}, {20, 5}, {15, 5}, {15, -5}, {10, -5}, {10, 5}, {5, 5}, {5, -10}},
         {{0, 0}, {5, 0}, {5, -10}}},
        {"shared end points do not cross", {{0, 0}, {10, 0}, {0, 0}}, {{0, 0}, {10, 0}, {0, 0}}},
        {"one point", {{3, 3}}, {}},
    };
    for (const TCase& c : cases) {
        Paths paths{c.In};
        TQVClipperOffset::RemoveLoops(paths);
        ASSERT_EQ(paths.size(), 1u) << c.Name;
        EXPECT_EQ(paths[0], c.Out) << c.Name;
    }
}

TEST(QVClipperOffset, ClipperUnitsAreTenThousandthsRounded)
{
    EXPECT_EQ(ToClipperUnits(1.5), 15000);
    EXPECT_EQ(ToClipperUnits(-2.25), -22500);
    EXPECT_EQ(ToClipperUnits(0.00012), 1);
    EXPECT_EQ(ToClipperUnits(-0.00018), -2);

    // The library's range ends at 2^62 units, about 4.6117e14 drawing units.
    for (double inside : {4.6116e14, -4.6116e14, 4.6e14}) {
        const ClipperLib::cInt units = ToClipperUnits(inside);
        EXPECT_NEAR(static_cast<double>(units), inside * 1e4, 1024.0) << inside;
        ClipperLib::Clipper clipper;
        EXPECT_NO_THROW(clipper.AddPath({{units, 0}, {0, units}, {0, 0}}, ClipperLib::ptSubject, true)) << inside;
    }
    for (double outside : {4.6118e14, -4.6118e14, 1e300, std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(ToClipperUnits(outside), ECADSysException) << outside;
    }
}

} // namespace

}  // namespace qv_clipper_offset_test
