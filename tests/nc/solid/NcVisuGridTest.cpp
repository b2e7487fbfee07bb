#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/NcVisuMesh.h"

#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Vertice.h"

#include <gtest/gtest.h>

#include <algorithm>
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
            ASSERT_EQ(grid.Cell(i, j).Height, once.Cell(i, j).Height) << i << "," << j;
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

// The reference: the tool's plunge shape stamped along each straight piece
// of the move at steps of a tenth of a cell and at both ends, the lowest
// height kept per cell.
namespace {

// The steepest rise of the profile within dMax of the axis.
double Slope(const TCutTool& tool, double dMax, double k)
{
    double slope = 0;
    for (double d = 0; d + 1e-3 <= dMax; d += 1e-3)
        slope = std::max(slope, (ToolProfile(tool, d + 1e-3, k).value_or(0) - ToolProfile(tool, d, k).value_or(0)) / 1e-3);
    return slope;
}

// The cut of the pieces through `path` (stock coordinates) against the
// stamped reference: no cell lower than a stamp (each stamp is a real tool
// position), none higher by more than one sampling step's rise where the
// tool's rim does not pass, and no cell outside the stock's reach changed.
void ExpectMatchesReference(const TNcVisuGrid& before, const TNcVisuGrid& after, const std::vector<TVector3D>& path,
                            double k)
{
    const TCutTool& tool = after.Tool();
    const double cell = after.CellSize();
    const int columns = after.Columns(), rows = after.Rows();
    std::vector<double> reference(size_t(columns) * rows), nearest(reference.size(), 1e300);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j)
            reference[size_t(i) * rows + j] = before.Cell(i, j).Height;
    double tolerance = 0;
    const double inner = tool.R - cell;
    auto stamp = [&](double px, double py, double pz) {
        const int i0 = std::max(0, int(std::floor((px - tool.R) / cell))), i1 = std::min(columns - 1, int(std::ceil((px + tool.R) / cell)));
        const int j0 = std::max(0, int(std::floor((py - tool.R) / cell))), j1 = std::min(rows - 1, int(std::ceil((py + tool.R) / cell)));
        for (int i = i0; i <= i1; ++i)
            for (int j = j0; j <= j1; ++j) {
                const double d = std::hypot(i * cell - px, j * cell - py);
                const size_t n = size_t(i) * rows + j;
                nearest[n] = std::min(nearest[n], d);
                if (auto h = ToolProfile(tool, d, k))
                    reference[n] = std::min(reference[n], pz + *h);
            }
    };
    for (size_t p = 0; p + 1 < std::max<size_t>(path.size(), 2); ++p) {
        const TVector3D a = path[p], b = path[std::min(p + 1, path.size() - 1)];
        const double length = std::hypot(b.X - a.X, b.Y - a.Y);
        const int steps = std::max(1, static_cast<int>(std::ceil(length / (cell / 10))));
        const double zSlope = length > 0 ? std::fabs(b.Z - a.Z) / length : 0;
        tolerance = std::max(tolerance, (Slope(tool, inner, k) + zSlope) * (length / steps) + 1e-6);
        for (int s = 0; s <= steps; ++s) {
            const double t = double(s) / steps;
            stamp(a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), a.Z + t * (b.Z - a.Z));
        }
    }
    double worst = 0;
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const size_t n = size_t(i) * rows + j;
            const double exact = after.Cell(i, j).Height;
            if (nearest[n] > tool.R + cell) {
                ASSERT_EQ(exact, before.Cell(i, j).Height) << i << "," << j; // out of reach
                continue;
            }
            ASSERT_LE(exact, reference[n] + 1e-9) << i << "," << j;
            if (nearest[n] <= inner)
                worst = std::max(worst, reference[n] - exact);
        }
    }
    EXPECT_LE(worst, tolerance);
}

} // namespace

// Seeded random moves of every kind for every tool on a grid of 200 cells a
// side, partly outside the stock, through an earlier cut.
TEST(NcVisuGrid, CutsAgreeWithTheStampedReference)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> xy(-2, 22), z(2, 9), span(-5, 5);
    const double hc = std::tan((90 - 30) * M_PI / 180) * 2.5;
    const TCutTool tools[] = {Tool(ECutToolType::Flat, 3),          Tool(ECutToolType::Toro, 3, 1),
                              Tool(ECutToolType::Ball, 2.5),        Tool(ECutToolType::Cone, 3, 0, 0.5, hc),
                              Tool(ECutToolType::Cone, 2, 0, 0, 2), Tool(ECutToolType::Drill, 3)};
    const char* const kinds[] = {"plunge", "level", "down", "up", "arc"};
    for (const TCutTool& tool : tools) {
        for (int move = 0; move < 10; ++move) {
            const int kind = move % 5;
            SCOPED_TRACE(testing::Message() << "tool " << int(tool.Type) << " r " << tool.r << " " << kinds[kind]);
            TNcVisuGrid grid = Stock(tool, 200);
            grid.CutSegment({10, 10, 7}, {12, 9, 6}, false); // something to cut through
            const TNcVisuGrid before = grid;
            const TVector3D a{xy(random), xy(random), z(random)};
            TVector3D b{a.X + span(random), a.Y + span(random), z(random)};
            switch (kind) {
            case 0: b.X = a.X, b.Y = a.Y, b.Z = std::min(a.Z, b.Z) - 0.5; break;
            case 1: b.Z = a.Z; break;
            case 2: b.Z = a.Z - 3; break;
            case 3: b.Z = a.Z + 2; break;
            }
            if (kind == 4) { // an arc about a: its chords, level at the end height
                TAVertice3d start, arc;
                start.EndPoint = b;
                arc.Kind = move % 2 ? 1 : -1;
                arc.Centre = a;
                const double angle = std::atan2(b.Y - a.Y, b.X - a.X) + 2.0;
                const double radius = std::hypot(b.X - a.X, b.Y - a.Y);
                arc.EndPoint = {a.X + radius * std::cos(angle), a.Y + radius * std::sin(angle), a.Z};
                grid.CutArc(start, arc);
                std::vector<TVector3D> path{{b.X, b.Y, a.Z}};
                for (const TPoint2D& p : ArcToPoints({a.X, a.Y}, {b.X, b.Y}, {arc.EndPoint.X, arc.EndPoint.Y}, arc.Kind == -1))
                    path.push_back({p.X, p.Y, a.Z});
                ExpectMatchesReference(before, grid, path, 60);
                continue;
            }
            grid.CutSegment(a, b, false);
            if (kind == 0)
                ExpectMatchesReference(before, grid, {b}, 60);
            else
                ExpectMatchesReference(before, grid, {a, b}, 2);
        }
    }
}

// The lowest height of the tool's underside over (x, y) during a straight
// move, found apart from the grid: the height along the move is sampled
// finely and refined by ternary search around the lowest sample (it is
// convex where the tool reaches); none when the axis never comes within R.
// The rise is the tool's shape written out here.
namespace {

double Rise(const TCutTool& tool, double d)
{
    switch (tool.Type) {
    case ECutToolType::Ball:
        return tool.R - std::sqrt(std::max(0.0, tool.R * tool.R - d * d));
    case ECutToolType::Toro: {
        const double e = std::max(0.0, d - (tool.R - tool.Rc));
        return tool.Rc - std::sqrt(std::max(0.0, tool.Rc * tool.Rc - e * e));
    }
    default:
        return 0;
    }
}

struct TSearched {
    double Height = 0;
    double Nearest = 0; // the axis's nearest X-Y distance to the point
};

TSearched LowestBySearch(const TCutTool& tool, TVector3D a, TVector3D b, double x, double y)
{
    const auto distance = [&](double t) { return std::hypot(x - (a.X + t * (b.X - a.X)), y - (a.Y + t * (b.Y - a.Y))); };
    const double dx = b.X - a.X, dy = b.Y - a.Y, travel = dx * dx + dy * dy;
    const double nearest = distance(travel > 0 ? std::clamp(((x - a.X) * dx + (y - a.Y) * dy) / travel, 0.0, 1.0) : 0.0);
    if (nearest > tool.R)
        return {1e300, nearest};
    // Out of reach the height grows with the distance, so that the search
    // heads back into reach; the lowest height within reach is kept.
    double lowest = 1e300;
    const auto height = [&](double t) {
        const double d = distance(t);
        if (d > tool.R)
            return 1e6 * (1 + d - tool.R);
        const double h = a.Z + t * (b.Z - a.Z) + Rise(tool, d);
        lowest = std::min(lowest, h);
        return h;
    };
    constexpr int kSamples = 200;
    int best = 0;
    for (int s = 1; s <= kSamples; ++s)
        if (height(double(s) / kSamples) < height(double(best) / kSamples))
            best = s;
    double lo = std::max(0.0, (best - 1.0) / kSamples), hi = std::min(1.0, (best + 1.0) / kSamples);
    for (int k = 0; k < 80; ++k) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (height(m1) <= height(m2))
            hi = m2;
        else
            lo = m1;
    }
    return {lowest, nearest};
}

} // namespace

// Level and inclined moves of the flat, ball and bull-nose tools along the
// grid, across it and slanting, partly beyond the stock's edge and leaving
// it, on an earlier cut: every cell against the lowest height of the tool
// over it found above, with the cutting loops of each vector width. Cells
// within a micrometre of the tool's rim may go either way.
TEST(NcVisuGrid, CellsTakeTheLowestHeightOfTheToolAlongTheMove)
{
    struct Move {
        const char* name;
        TVector3D a, b;
    };
    const Move moves[] = {
        {"level along X", {4, 10.03, 6}, {15, 10.03, 6}},
        {"level along Y", {9.97, 3, 5}, {9.97, 17, 5}},
        {"level slanting", {3.3, 4.1, 6}, {16.2, 13.7, 6}},
        {"down slanting", {3.3, 15.1, 8}, {16.2, 6.7, 3}},
        {"up along X", {5, 9.5, 4}, {15, 9.5, 7}},
        {"level over the edge", {18.5, 1.2, 5}, {18.5, 25, 5}},
        {"down leaving the stock", {12, 12, 7}, {26, 21, 2}},
        {"level from outside", {-6, -4, 5}, {1.5, 2.5, 5}},
        {"plunge at the corner", {19.2, 0.4, 9}, {19.2, 0.4, 4}},
        {"steep and short down along Y", {6, 4, 9}, {6, 5.5, 2}},
        {"up slanting, short", {12.2, 6.1, 3}, {14.0, 7.3, 4.5}},
        {"down along X backwards", {15, 12.55, 7}, {5, 12.55, 5.5}},
        {"gently down slanting", {2.5, 17.2, 6.4}, {17.5, 4.1, 6.1}},
    };
    const TCutTool tools[] = {Tool(ECutToolType::Flat, 3), Tool(ECutToolType::Ball, 3), Tool(ECutToolType::Toro, 3, 1)};
    // The cutting loops of every vector width the processor has, back to
    // the widest at the end.
    const struct TWidestAgain {
        ~TWidestAgain() { TNcVisuGrid::LimitVectorBits(TNcVisuGrid::kAnyVectorBits); }
    } widestAgain;
    for (const TCutTool& tool : tools) {
        for (const Move& m : moves) {
            TNcVisuGrid before = Stock(tool, 100);
            before.CutSegment({8, 8, 6.5}, {12, 9, 6.5}, false); // something to cut through
            const bool plunge = m.a.X == m.b.X && m.a.Y == m.b.Y;
            const TVector3D from = plunge ? m.b : m.a;
            std::vector<TSearched> lowest;
            for (int i = 0; i < before.Columns(); ++i)
                for (int j = 0; j < before.Rows(); ++j)
                    lowest.push_back(LowestBySearch(tool, from, m.b, i * before.CellSize(), j * before.CellSize()));
            for (int bits : {128, 256, 512}) {
                SCOPED_TRACE(testing::Message() << "tool " << int(tool.Type) << ", " << m.name << ", " << bits);
                TNcVisuGrid::LimitVectorBits(bits);
                TNcVisuGrid grid = before;
                grid.CutSegment(m.a, m.b, false);
                int cut = 0;
                for (int i = 0; i < grid.Columns(); ++i) {
                    for (int j = 0; j < grid.Rows(); ++j) {
                        const TSearched& low = lowest[size_t(i) * grid.Rows() + j];
                        const TStockCell was = before.Cell(i, j), is = grid.Cell(i, j);
                        if (std::fabs(low.Nearest - tool.R) < 1e-6)
                            continue;
                        if (low.Nearest > tool.R || low.Height > was.Height) {
                            ASSERT_EQ(is.Height, was.Height) << i << "," << j;
                            ASSERT_EQ(is.Colour, was.Colour) << i << "," << j;
                            continue;
                        }
                        ASSERT_NEAR(is.Height, low.Height, 1e-7) << i << "," << j;
                        ASSERT_EQ(is.Colour, kFeed) << i << "," << j;
                        ++cut;
                    }
                }
                EXPECT_GT(cut, 100);
            }
        }
    }
}

// A cut down to the stock bottom counts for every tool, and a tool below
// the bottom leaves negative heights.
TEST(NcVisuGrid, CutsToTheBottomCount)
{
    for (ECutToolType type : {ECutToolType::Flat, ECutToolType::Toro, ECutToolType::Ball, ECutToolType::Cone,
                              ECutToolType::Drill}) {
        TNcVisuGrid grid = Stock(Tool(type, 3, 1, 0.5, 2.5));
        grid.CutSegment({10, 10, 5}, {10, 10, 0}, false);
        EXPECT_EQ(grid.Cell(100, 100).Height, 0) << int(type);
        EXPECT_EQ(grid.Cell(100, 100).Colour, kFeed) << int(type);
        grid.CutSegment({4, 4, 0}, {16, 4, 0}, false);
        EXPECT_EQ(grid.Cell(100, 40).Height, 0) << int(type);
        EXPECT_EQ(grid.Cell(100, 40).Colour, kFeed) << int(type);
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
    // The chord runs level at the end height 6; the cell's centre lies a few
    // hundredths off the tool's path, which the ball of radius 1 raises by
    // less than a hundredth.
    EXPECT_NEAR(onArc.Height, 6.0, 0.01);
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

    grid.SetHeight(1, 1, -2); // the lower-left quad's h11
    grid.SetHeight(1, 0, 0);
    grid.SetHeight(0, 1, 0);
    const TStockMesh cut = BuildStockMesh(grid);
    EXPECT_EQ(cut.TopTriangles, 7); // its second triangle dropped
    for (size_t v = 2; v < cut.Top.Vertices.size(); v += 3)
        EXPECT_GE(cut.Top.Vertices[v], 0.0f); // negative heights drawn at 0
    // South wall heights 5, 0, 5: two panels; west wall 5, 0, 5 likewise.
    EXPECT_EQ(cut.WallTriangles, 2 * 2 + 2 * 2 + 2 + 2);
}

// Refreshing the slots around each cut gives the mesh built anew.
TEST(NcVisuMesh, RefreshAfterCutsEqualsANewBuild)
{
    TNcVisuGrid grid = Stock(Tool(ECutToolType::Ball, 2), 60);
    TStockMesh mesh = BuildStockMesh(grid);
    const TVector3D moves[][2] = {{{5, 5, 9}, {12, 7, 8}}, {{-1, 10, 3}, {6, 10, 3}}, {{15, 15, 12}, {15, 15, -2}},
                                  {{19, 2, 4}, {25, 2, 4}}};
    for (const auto& m : moves) {
        grid.CutSegment(m[0], m[1], false);
        const auto [columns, rows] = grid.TakeChanged();
        RefreshStockMesh(grid, mesh, columns, rows);
    }
    const TStockMesh fresh = BuildStockMesh(grid);
    EXPECT_EQ(mesh.Top.Vertices, fresh.Top.Vertices);
    EXPECT_EQ(mesh.Top.Colours, fresh.Top.Colours);
    EXPECT_EQ(mesh.Top.Normals, fresh.Top.Normals);
    EXPECT_EQ(mesh.Walls.Vertices, fresh.Walls.Vertices);
    EXPECT_EQ(mesh.TopTriangles, fresh.TopTriangles);
    EXPECT_LT(mesh.TopTriangles, 2 * 60 * 60); // the plunge below the bottom dropped some
}
