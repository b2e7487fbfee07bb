#include "cad/scene/SceneGrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace scene_grid_test {

namespace {

TGridSpec Spec(double minX, double minY, double maxX, double maxY, double step, int32_t subX = 0, int32_t subY = 0)
{
    TGridSpec spec;
    spec.Rect = TRect2D{{minX, minY, 1.0}, {maxX, maxY, 1.0}};
    spec.StepX = step;
    spec.StepY = step;
    spec.SubX = subX;
    spec.SubY = subY;
    spec.Color = TSceneColor{0.5f, 0.5f, 0.5f, 0.2f};
    return spec;
}

// The position of each line of a lines object (two nodes per line).
std::vector<double> Positions(const TSceneLines& lines, bool vertical)
{
    std::vector<double> at;
    for (size_t i = 0; i + 1 < lines.Nodes.size(); i += 2)
        at.push_back(vertical ? lines.Nodes[i].X : lines.Nodes[i].Y);
    return at;
}

TEST(SceneGrid, FirstLineRoundsTheMinimumTowardsZero)
{
    struct TCase {
        double Min, Step, First;
    };
    for (const TCase c : {TCase{-52.5, 10, -50}, TCase{-50, 10, -50}, TCase{-5, 10, 0}, TCase{0, 10, 0},
                          TCase{-7.25, 2.5, -5}, TCase{-100, 10, -100}})
        EXPECT_NEAR(FirstGridLine(c.Min, c.Step), c.First, 1e-12) << c.Min << " step " << c.Step;
}

TEST(SceneGrid, RangeFollowsTheOriginPosition)
{
    const TGridRange keep{-3, 7};
    struct TCase {
        int32_t Origin;
        TGridRange X, Y;
    };
    for (const TCase c : {TCase{0, {0, 200}, {0, 100}}, TCase{1, {0, 200}, {-100, 0}}, TCase{2, {-200, 0}, {-100, 0}},
                          TCase{3, {-200, 0}, {0, 100}}, TCase{4, {-100, 100}, {-50, 50}}, TCase{5, keep, keep},
                          TCase{-1, keep, keep}}) {
        const TGridRange x = GridRangeForOrigin(200, c.Origin, true, keep);
        const TGridRange y = GridRangeForOrigin(100, c.Origin, false, keep);
        EXPECT_EQ(x.Min, c.X.Min) << c.Origin;
        EXPECT_EQ(x.Max, c.X.Max) << c.Origin;
        EXPECT_EQ(y.Min, c.Y.Min) << c.Origin;
        EXPECT_EQ(y.Max, c.Y.Max) << c.Origin;
    }
}

TEST(SceneGrid, EstimateMultipliesEachTermOnItsOwn)
{
    EXPECT_DOUBLE_EQ(GridLineEstimate(100, 100, 10, 10, 0, 0), 20.0);
    EXPECT_DOUBLE_EQ(GridLineEstimate(250, 250, 1, 1, 0, 0), 500.0);
    EXPECT_DOUBLE_EQ(GridLineEstimate(250.5, 250, 1, 1, 0, 0), 500.5);
    // Sub-lines need both counts, yet X alone is multiplied.
    EXPECT_DOUBLE_EQ(GridLineEstimate(100, 100, 10, 10, 5, 0), 60.0);
    EXPECT_DOUBLE_EQ(GridLineEstimate(100, 100, 10, 10, 4, 4), 80.0);
}

TEST(SceneGrid, CentredGridHasElevenLinesEachWay)
{
    const std::vector<TSceneLines> grid = BuildGridLines(Spec(-50, -50, 50, 50, 10));
    ASSERT_EQ(grid.size(), 2u);
    const std::vector<double> expected{-50, -40, -30, -20, -10, 0, 10, 20, 30, 40, 50};
    EXPECT_EQ(Positions(grid[0], true), expected);
    EXPECT_EQ(Positions(grid[1], false), expected);
    // One polyline each way, alternating so that the joins run on the border.
    const TSceneLines& vertical = grid[0];
    EXPECT_EQ(vertical.Nodes[0].Y, -50);
    EXPECT_EQ(vertical.Nodes[1].Y, 50);
    EXPECT_EQ(vertical.Nodes[2].Y, 50);
    EXPECT_EQ(vertical.Nodes[3].Y, -50);
    EXPECT_EQ(vertical.Nodes[4].Y, -50);
    const TSceneLines& horizontal = grid[1];
    EXPECT_EQ(horizontal.Nodes[0].X, -50);
    EXPECT_EQ(horizontal.Nodes[1].X, 50);
    EXPECT_EQ(horizontal.Nodes[2].X, 50);
    EXPECT_FLOAT_EQ(vertical.Color.A, 0.2f);
    EXPECT_FALSE(vertical.NodesVisible);
}

TEST(SceneGrid, OddSizeStartsOnAWholeStep)
{
    const std::vector<TSceneLines> grid = BuildGridLines(Spec(-52.5, -52.5, 52.5, 52.5, 10));
    const std::vector<double> x = Positions(grid[0], true);
    ASSERT_FALSE(x.empty());
    EXPECT_EQ(x.front(), -50);
    EXPECT_EQ(x.back(), 50);
    // Lines still span the whole rectangle.
    EXPECT_EQ(grid[0].Nodes[0].Y, -52.5);
    EXPECT_EQ(grid[0].Nodes[1].Y, 52.5);
}

TEST(SceneGrid, SubLinesStopBeforeTheMaximum)
{
    const std::vector<TSceneLines> grid = BuildGridLines(Spec(0, 0, 100, 100, 10, 4, 4));
    ASSERT_EQ(grid.size(), 4u);
    std::vector<double> expected;
    for (int main = 0; main < 100; main += 10)
        for (const double s : {2.5, 5.0, 7.5})
            expected.push_back(main + s);
    EXPECT_EQ(Positions(grid[1], true), expected);
    EXPECT_EQ(Positions(grid[3], false), expected);
    EXPECT_FLOAT_EQ(grid[1].Color.A, 0.1f);
    // Main and sub-lines alternate on their own, both starting at the minimum.
    EXPECT_EQ(grid[1].Nodes[0].Y, 0);
    EXPECT_EQ(grid[1].Nodes[2].Y, 100);
    EXPECT_EQ(grid[0].Nodes[0].Y, 0);
}

TEST(SceneGrid, SubdivisionsInOneDirectionOnlyDrawNone)
{
    const std::vector<TSceneLines> grid = BuildGridLines(Spec(0, 0, 100, 100, 10, 5, 0));
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(Positions(grid[0], true).size(), 11u);
}

TEST(SceneGrid, StepsTooSmallToAdvanceEndThePass)
{
    // The position no longer moves: one line, not an endless loop.
    const std::vector<TSceneLines> stuck = BuildGridLines(Spec(-50, -50, 50, 50, 1e-300));
    EXPECT_EQ(Positions(stuck[0], true).size(), 1u);
    // A step that would give ten million lines stops at the pass limit.
    const std::vector<TSceneLines> dense = BuildGridLines(Spec(0, 0, 100, 1, 1e-5));
    EXPECT_EQ(Positions(dense[0], true).size(), static_cast<size_t>(GridPassLineLimit));
}

} // namespace

}  // namespace scene_grid_test
