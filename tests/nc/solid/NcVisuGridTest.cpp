#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/NcVisuMesh.h"

#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Vertice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int32_t kFeed = 0x0000FF00;
constexpr int32_t kRapid = 0x000000FF;

// A 20 x 20 x 10 stock at (0, 0, 0) with cells of 0.1.
TNcVisuGrid Stock(const TCutTool& tool, int32_t cells = 200)
{
    TNcVisuGrid grid;
    grid.SetColours(kFeed, kRapid);
    grid.SetTool(tool);
    grid.SetStock({0, 0, 0}, {20, 20, 10}, 2 * tool.R);
    grid.SetCellsOnSide(cells);
    return grid;
}

TCutTool Tool(ECutToolType type, double R, double rc = 0, double r = 0, double hc = 0)
{
    return TCutTool{type, R, rc, r, hc};
}

} // namespace

TEST(NcVisuGrid, QualityGivesCellsOnTheLongerSide)
{
    const std::pair<int, int> cases[] = {{1, 75}, {2, 100}, {3, 100}, {4, 200}, {5, 200}, {10, 500}, {0, 75}};
    TNcVisuGrid grid;
    grid.SetStock({0, 0, 0}, {100, 50, 10}, 6);
    for (auto [quality, cells] : cases) {
        grid.SetQuality(quality);
        EXPECT_EQ(grid.CellsOnSide(), cells) << quality;
    }
}

TEST(NcVisuGrid, GridSizeIndependentOfOriginAndFreshStock)
{
    for (const TVector3D origin : {TVector3D{0, 0, 0}, TVector3D{-37.3, 12.9, -5}}) {
        TNcVisuGrid grid;
        grid.SetStock(origin, {origin.X + 100, origin.Y + 50, origin.Z + 10}, 6);
        grid.SetQuality(4);
        EXPECT_DOUBLE_EQ(grid.CellSize(), 0.5);
        EXPECT_EQ(grid.Columns(), 201);
        EXPECT_EQ(grid.Rows(), 101);
        EXPECT_EQ(grid.Cell(200, 100).Colour, TNcVisuGrid::kFreshColour);
        EXPECT_EQ(grid.Cell(0, 0).Height, 10);
    }
}

TEST(NcVisuGrid, StockWithoutXYExtentTakesTheToolDiameter)
{
    TNcVisuGrid grid;
    grid.SetStock({5, 5, -3}, {5, 5, 0}, 6);
    EXPECT_DOUBLE_EQ(grid.SizeX(), 6);
    EXPECT_DOUBLE_EQ(grid.Origin().X, 2);
    EXPECT_GT(grid.Columns(), 1);
    grid.SetStock({5, 5, -3}, {5, 5, 0}, 0);
    EXPECT_DOUBLE_EQ(grid.SizeY(), 1);
    EXPECT_DOUBLE_EQ(grid.Origin().Y, 4.5);
}

// Plunges of radius 3 to height 5 at the stock centre: heights at
// distances 0, 1, 2, 2.5, 3 and 3.5 from the axis (none: uncut).
TEST(NcVisuGrid, PlungeShapes)
{
    const double uncut = 10;
    struct Case {
        const char* name;
        TCutTool tool;
        double heights[6];
    };
    const double hc = std::tan((90 - 45) * M_PI / 180) * 2.5;
    const Case cases[] = {
        {"flat", Tool(ECutToolType::Flat, 3), {5, 5, 5, 5, 5, uncut}},
        {"bull nose, bottom at the point", Tool(ECutToolType::Toro, 3, 1), {5, 5, 5, 5 + 1 - std::sqrt(0.75), 6, uncut}},
        {"ball", Tool(ECutToolType::Ball, 3), {5, 5 + 3 - std::sqrt(8.0), 5 + 3 - std::sqrt(5.0), 5 + 3 - std::sqrt(2.75), 8, uncut}},
        {"cone 45 degrees, tip 1", Tool(ECutToolType::Cone, 3, 0, 0.5, hc), {5, 5.5, 6.5, 7, 7.5, uncut}},
        {"drill", Tool(ECutToolType::Drill, 3), {5, 25, 45, 55, 65 > uncut ? uncut : 65, uncut}},
    };
    const double distances[6] = {0, 1, 2, 2.5, 3, 3.5};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNcVisuGrid grid = Stock(c.tool);
        grid.CutSegment({10, 10, 8}, {10, 10, 5}, false);
        for (int k = 0; k < 6; ++k) {
            const TStockCell& cell = grid.Cell(100 + static_cast<int>(std::lround(distances[k] * 10)), 100);
            EXPECT_NEAR(cell.Height, std::min(c.heights[k], uncut), 1e-9) << distances[k];
            EXPECT_EQ(cell.Colour, c.heights[k] < uncut ? kFeed : TNcVisuGrid::kFreshColour) << distances[k];
        }
    }
}

TEST(NcVisuGrid, RepeatedAndHigherCutsChangeNothingAndRapidsShowTheirColour)
{
    TNcVisuGrid grid = Stock(Tool(ECutToolType::Ball, 3));
    grid.CutSegment({2, 10, 4}, {18, 12, 3}, false);
    const TNcVisuGrid once = grid;
    grid.CutSegment({2, 10, 4}, {18, 12, 3}, false);
    grid.CutSegment({2, 10, 6}, {18, 12, 6}, true);
    for (int i = 0; i < grid.Columns(); ++i)
        for (int j = 0; j < grid.Rows(); ++j)
            ASSERT_EQ(grid.Cell(i, j).Height, once.Cell(i, j).Height);
    for (ECutToolType type : {ECutToolType::Flat, ECutToolType::Toro, ECutToolType::Ball, ECutToolType::Cone,
                              ECutToolType::Drill}) {
        TNcVisuGrid rapid = Stock(Tool(type, 3, 1, 0.5, 2.5));
        rapid.CutSegment({2, 10, 4}, {18, 10, 4}, true);  // level
        rapid.CutSegment({10, 2, 7}, {10, 18, 3}, true);  // down
        rapid.CutSegment({10, 10, 8}, {10, 10, 2}, true); // plunge
        EXPECT_EQ(rapid.Cell(50, 100).Colour, kRapid);
        EXPECT_EQ(rapid.Cell(100, 50).Colour, kRapid);
        EXPECT_EQ(rapid.Cell(100, 100).Colour, kRapid);
    }
}

TEST(NcVisuGrid, MovesOutsideTheStockTouchOnlyCellsInside)
{
    TNcVisuGrid grid = Stock(Tool(ECutToolType::Flat, 3));
    grid.CutSegment({-50, -50, 5}, {-30, -40, 5}, false);
    grid.CutSegment({40, 10, 5}, {30, 10, 5}, false);
    EXPECT_EQ(grid.CutColumns().First, 0);
    EXPECT_EQ(grid.CutColumns().Last, -1);
    grid.CutSegment({-10, 10, 5}, {1, 10, 5}, false);
    EXPECT_EQ(grid.Cell(0, 100).Height, 5);
    EXPECT_EQ(grid.Cell(41, 100).Height, 10);
    grid.CutSegment({10, 10, -4}, {30, 30, -4}, false); // below the bottom: negative heights
    EXPECT_EQ(grid.Cell(200, 200).Height, -4);
}

// The reference: the tool's plunge shape stamped along the move at steps of
// a tenth of a cell and at both ends, the lowest height kept per cell.
namespace {

double Slope(const TCutTool& tool, double dMax, double k)
{
    double slope = 0;
    for (double d = 0; d + 1e-3 <= dMax; d += 1e-3)
        slope = std::max(slope, (ToolProfile(tool, d + 1e-3, k).value_or(0) - ToolProfile(tool, d, k).value_or(0)) / 1e-3);
    return slope;
}

void ExpectMatchesReference(const TNcVisuGrid& before, const TNcVisuGrid& after, const TVector3D& a,
                            const TVector3D& b, double k)
{
    const TCutTool& tool = after.Tool();
    const double cell = after.CellSize();
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    const int steps = std::max(1, static_cast<int>(std::ceil(length / (cell / 10))));
    const double inner = tool.R - cell;
    const double zSlope = length > 0 ? std::fabs(b.Z - a.Z) / length : 0;
    // Within one sampling step of the exact swept height.
    const double tolerance = (Slope(tool, inner, k) + zSlope) * (length / steps) + 1e-6;
    const double reach = tool.R + cell;
    double worst = 0;
    for (int i = 0; i < after.Columns(); ++i) {
        for (int j = 0; j < after.Rows(); ++j) {
            const double x = i * cell, y = j * cell;
            if (x < std::min(a.X, b.X) - reach || x > std::max(a.X, b.X) + reach ||
                y < std::min(a.Y, b.Y) - reach || y > std::max(a.Y, b.Y) + reach) {
                ASSERT_EQ(after.Cell(i, j).Height, before.Cell(i, j).Height);
                continue;
            }
            double reference = before.Cell(i, j).Height;
            double nearest = 1e300;
            for (int s = 0; s <= steps; ++s) {
                const double t = double(s) / steps;
                const double px = a.X + t * (b.X - a.X), py = a.Y + t * (b.Y - a.Y), pz = a.Z + t * (b.Z - a.Z);
                const double d = std::hypot(x - px, y - py);
                nearest = std::min(nearest, d);
                if (auto h = ToolProfile(tool, d, k))
                    reference = std::min(reference, pz + *h);
            }
            const double exact = after.Cell(i, j).Height;
            ASSERT_LE(exact, reference + 1e-9) << i << "," << j; // every sample is a real position
            if (nearest <= inner)
                worst = std::max(worst, reference - exact);
        }
    }
    EXPECT_LE(worst, tolerance);
}

} // namespace

TEST(NcVisuGrid, CutsAgreeWithTheStampedReference)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> xy(-2, 22), z(2, 9), span(-6, 6);
    const TCutTool tools[] = {Tool(ECutToolType::Flat, 3), Tool(ECutToolType::Toro, 3, 1),
                              Tool(ECutToolType::Ball, 2.5), Tool(ECutToolType::Cone, 3, 0, 0.5, 2.5),
                              Tool(ECutToolType::Drill, 3)};
    for (const TCutTool& tool : tools) {
        for (int move = 0; move < 8; ++move) {
            SCOPED_TRACE(testing::Message() << "tool " << int(tool.Type) << " move " << move);
            TNcVisuGrid grid = Stock(tool, 100);
            grid.CutSegment({10, 10, 7}, {12, 9, 6}, false); // something to cut through
            const TNcVisuGrid before = grid;
            const TVector3D a{xy(random), xy(random), z(random)};
            TVector3D b{a.X + span(random), a.Y + span(random), z(random)};
            switch (move % 4) {
            case 0: b.X = a.X, b.Y = a.Y, b.Z = std::min(a.Z, b.Z) - 0.5; break; // plunge
            case 1: b.Z = a.Z; break;                                          // level
            case 2: b.Z = a.Z - 3; break;                                      // down
            case 3: b.Z = a.Z + 2; break;                                      // up
            }
            const bool plunge = move % 4 == 0;
            grid.CutSegment(a, b, false);
            ExpectMatchesReference(before, grid, plunge ? b : a, b, plunge ? 60 : 2);
        }
    }
}

TEST(NcVisuGrid, ArcChordsAreLevelCutsAtTheEndHeight)
{
    TNcVisuGrid grid = Stock(Tool(ECutToolType::Ball, 2), 100);
    TAVertice3d start, arc;
    start.EndPoint = {15, 10, 8};
    arc.Kind = 1;
    arc.EndPoint = {10, 15, 6};
    arc.Centre = {10, 10, 6};
    grid.CutArc(start, arc);
    EXPECT_EQ(grid.Cell(0, 0).Height, 10);
    const double c = 5 * M_SQRT1_2 + 10;
    const TStockCell& onArc = grid.Cell(static_cast<int>(std::lround(c * 5)), static_cast<int>(std::lround(c * 5)));
    EXPECT_LT(onArc.Height, 6.3);
    EXPECT_EQ(onArc.Colour, kFeed);
    EXPECT_EQ(grid.Cell(50, 50).Height, 10); // the centre stays
}

TEST(NcVisuMesh, TrianglesAndWallsOfASmallGrid)
{
    TNcVisuGrid grid;
    grid.SetStock({0, 0, 0}, {2, 2, 5}, 1);
    grid.SetCellsOnSide(2); // 3 by 3 cells
    ASSERT_EQ(grid.Columns(), 3);
    TStockMesh fresh = BuildStockMesh(grid);
    EXPECT_EQ(fresh.TopTriangles, 8);
    EXPECT_EQ(fresh.WallTriangles, 8); // one panel a side
    EXPECT_EQ(fresh.Top.VertexCount() + fresh.Walls.VertexCount(), size_t(16 * 3));
    EXPECT_FLOAT_EQ(fresh.Top.Normals[2], 1.0f);

    grid.Cell(1, 1).Height = -2; // the lower-left quad's h11
    grid.Cell(1, 0).Height = 0;
    grid.Cell(0, 1).Height = 0;
    const TStockMesh cut = BuildStockMesh(grid);
    EXPECT_EQ(cut.TopTriangles, 7); // its second triangle dropped
    for (size_t v = 2; v < cut.Top.Vertices.size(); v += 3)
        EXPECT_GE(cut.Top.Vertices[v], 0.0f); // negative heights drawn at 0
    // South wall heights 5, 0, 5: two panels; west wall 5, 0, 5 likewise.
    EXPECT_EQ(cut.WallTriangles, 2 * 2 + 2 * 2 + 2 + 2);
}
