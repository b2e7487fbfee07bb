// The stock-removal grid: cells cut per second for each tool shape and move
// kind on a 100 x 100 stock of 500 cells a side, with the brute-force
// reference (the tool's plunge shape stamped every tenth of a cell) measured
// beside it; 10,000 moves over a grid of 1001 x 1001 cells beside the floor
// of one min-update per cell over the same cut boxes; solid runs of a pocket (R 3 on 100 x 100) and of 100,000 short
// ball-tool segments through the simulator with no view; the mesh built for
// the view at quality 4 and 10 and its refresh after one cut.

#include "bench/BenchSimOperation.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/solid/NcVisu.h"
#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/NcVisuMesh.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include <time.h>
#include <vector>

namespace {

const TCutTool kTools[] = {
    {ECutToolType::Flat, 3, 0, 0, 0}, {ECutToolType::Toro, 3, 1, 0, 0}, {ECutToolType::Ball, 3, 0, 0, 0},
    {ECutToolType::Cone, 3, 0, 0.5, 2.5}, {ECutToolType::Drill, 3, 0, 0, 0}};
const char* const kToolNames[] = {"flat", "bull nose", "ball", "cone", "drill"};

TNcVisuGrid Stock(int quality)
{
    TNcVisuGrid grid;
    grid.SetStock({0, 0, 0}, {100, 100, 20}, 6);
    grid.SetQuality(quality);
    return grid;
}

// Moves of one kind, each cutting fresh cells of a reused grid.
void Cuts(benchmark::State& state)
{
    const int toolIndex = static_cast<int>(state.range(0));
    const int kind = static_cast<int>(state.range(1)); // 0 plunge, 1 level, 2 inclined
    TNcVisuGrid grid = Stock(10);
    grid.SetTool(kTools[toolIndex]);
    double z = 19.9;
    int64_t cells = 0;
    for (auto _ : state) {
        const TVector3D a{10, 50, z + (kind == 2 ? 1 : 0)};
        const TVector3D b = kind == 0 ? a : TVector3D{90, 52, z};
        grid.CutSegment(kind == 0 ? TVector3D{a.X, a.Y, a.Z + 1} : a, b, false);
        cells += int64_t(grid.CutColumns().Last - grid.CutColumns().First + 1) *
                 (grid.CutRows().Last - grid.CutRows().First + 1);
        z -= 0.01;
    }
    state.counters["cells/s"] = benchmark::Counter(double(cells), benchmark::Counter::kIsRate);
    state.SetLabel(kToolNames[toolIndex]);
}

// The reference of the tests on one level move of the ball: stamps every
// tenth of a cell, for the ratio against the exact cut above.
void StampedReference(benchmark::State& state)
{
    TNcVisuGrid grid = Stock(10);
    const TCutTool tool = kTools[2];
    const double cell = grid.CellSize();
    std::vector<double> heights(size_t(grid.Columns()) * grid.Rows(), 20.0);
    int64_t cells = 0;
    for (auto _ : state) {
        const double ax = 10, ay = 50, bx = 90, by = 52, z = 19.5;
        const int steps = int(std::ceil(std::hypot(bx - ax, by - ay) / (cell / 10)));
        for (int s = 0; s <= steps; ++s) {
            const double t = double(s) / steps, px = ax + t * (bx - ax), py = ay + t * (by - ay);
            for (int i = int((px - tool.R) / cell); i <= int((px + tool.R) / cell) + 1; ++i)
                for (int j = int((py - tool.R) / cell); j <= int((py + tool.R) / cell) + 1; ++j)
                    if (auto h = ToolProfile(tool, std::hypot(i * cell - px, j * cell - py), 2)) {
                        double& cellHeight = heights[size_t(i) * grid.Rows() + j];
                        cellHeight = std::min(cellHeight, z + *h);
                    }
        }
        benchmark::DoNotOptimize(heights.data());
        // The cells of the move's box, as the exact cut counts them.
        cells += int64_t((bx - ax + 2 * tool.R) / cell + 3) * int64_t((by - ay + 2 * tool.R) / cell + 3);
    }
    state.counters["cells/s"] = benchmark::Counter(double(cells), benchmark::Counter::kIsRate);
}


// Moves of 2 to 10 wandering over a 100 x 100 stock of 1001 x 1001 cells,
// each 0.0015 deeper than the one before so that every move cuts all it
// reaches; inclined moves come down 0.5 along their length.
struct TWalkMove {
    TVector3D From, To;
};

std::vector<TWalkMove> Walk(bool inclined, int count)
{
    std::mt19937 random(4501);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI), length(2, 10);
    std::vector<TWalkMove> moves;
    double x = 50, y = 50;
    for (int k = 0; k < count; ++k) {
        const double a = angle(random), l = length(random);
        const double nx = std::clamp(x + l * std::cos(a), 0.0, 100.0), ny = std::clamp(y + l * std::sin(a), 0.0, 100.0);
        const double z = 19.9 - k * 0.0015;
        moves.push_back({{x, y, inclined ? z + 0.5 : z}, {nx, ny, z}});
        x = nx, y = ny;
    }
    return moves;
}

TNcVisuGrid WalkStock(const TCutTool& tool)
{
    TNcVisuGrid grid;
    grid.SetStock({0, 0, 0}, {100, 100, 20}, 2 * tool.R);
    grid.SetCellsOnSide(1000);
    grid.SetTool(tool);
    return grid;
}

// The thread's processor time: on a loaded machine the wall clock also
// counts the time the thread waits for a core.
double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The floor: one min-update of a plain array of heights per cell of each
// move's cut box, with the move's lower end as the constant. A function of
// its own on a cache-line boundary, so that where the linker puts the rest
// of the bench does not move its speed.
[[gnu::noinline, gnu::aligned(64)]] void FloorPass(const std::vector<TWalkMove>& moves,
                                                   const std::vector<std::pair<TCellRange, TCellRange>>& boxes,
                                                   std::vector<double>& floor, int rows)
{
    for (size_t k = 0; k < moves.size(); ++k) {
        const double z = std::min(moves[k].From.Z, moves[k].To.Z);
        const auto& [columns, cutRows] = boxes[k];
        for (int i = columns.First; i <= columns.Last; ++i) {
            double* column = floor.data() + size_t(i) * rows;
            for (int j = cutRows.First; j <= cutRows.Last; ++j)
                column[j] = std::min(column[j], z);
        }
    }
}

// The moves through the grid, timed by hand in processor time, and beside them in each
// iteration the floor: one min-update of a plain array of heights per cell
// of each move's cut box, with the move's lower end as the constant.
void Walks(benchmark::State& state)
{
    const TCutTool& tool = kTools[state.range(0)];
    const std::vector<TWalkMove> moves = Walk(state.range(1) != 0, int(state.range(2)));
    const int vectorBits = int(state.range(3)); // 0: the widest the processor has
    TNcVisuGrid::LimitVectorBits(vectorBits > 0 ? vectorBits : TNcVisuGrid::kAnyVectorBits);
    TNcVisuGrid grid = WalkStock(tool);
    std::vector<std::pair<TCellRange, TCellRange>> boxes;
    int64_t boxCells = 0;
    for (const TWalkMove& m : moves) {
        grid.CutSegment(m.From, m.To, false);
        boxes.emplace_back(grid.CutColumns(), grid.CutRows());
        boxCells += int64_t(grid.CutColumns().Last - grid.CutColumns().First + 1) *
                    (grid.CutRows().Last - grid.CutRows().First + 1);
    }
    const int rows = grid.Rows();
    std::vector<double> floor(size_t(grid.Columns()) * rows);
    double floorSeconds = 0, cutSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        grid.InitGrid();
        std::fill(floor.begin(), floor.end(), grid.SizeZ());
        state.ResumeTiming();
        double t0 = ThreadSeconds();
        FloorPass(moves, boxes, floor, rows);
        benchmark::DoNotOptimize(floor.data());
        const double floorTime = ThreadSeconds() - t0;
        t0 = ThreadSeconds();
        for (const TWalkMove& m : moves)
            grid.CutSegment(m.From, m.To, false);
        const double cutTime = ThreadSeconds() - t0;
        state.SetIterationTime(cutTime);
        floorSeconds += floorTime, cutSeconds += cutTime;
    }
    const double n = double(state.iterations());
    state.counters["cells/s"] = double(boxCells) * n / cutSeconds;
    state.counters["floor cells/s"] = double(boxCells) * n / floorSeconds;
    state.counters["floor ms"] = floorSeconds / n * 1e3;
    state.counters["x floor"] = cutSeconds / floorSeconds;
    state.SetLabel(std::string(kToolNames[state.range(0)]) + (state.range(1) ? ", inclined" : ", level") +
                   (vectorBits > 0 ? ", at most " + std::to_string(vectorBits) + "-bit vectors" : ""));
    TNcVisuGrid::LimitVectorBits(TNcVisuGrid::kAnyVectorBits);
}

// A pocket of 100 x 100: concentric squares 4.5 apart at depths 2 and 4.
std::unique_ptr<TBenchSimOperation> Pocket()
{
    auto op = std::make_unique<TBenchSimOperation>(2, 0);
    for (double z : {-2.0, -4.0}) {
        TCurvaNci3d& curve = op->NewCurve();
        for (double d = 47; d >= 0; d -= 4.5)
            for (const TVector3D& p : {TVector3D{50 - d, 50 - d, z}, {50 + d, 50 - d, z}, {50 + d, 50 + d, z},
                                       {50 - d, 50 + d, z}, {50 - d, 50 - d + 4.5, z}})
                curve.AddVertex(TAVertice3d::CreateAt(p));
    }
    return op;
}

// 100,000 segments of 0.1 along a wavy line, up and down.
std::unique_ptr<TBenchSimOperation> ShortSegments()
{
    auto op = std::make_unique<TBenchSimOperation>(2, 2);
    TCurvaNci3d& curve = op->NewCurve();
    for (int k = 0; k <= 100000; ++k) {
        const double t = k * 0.1, row = std::floor(t / 90);
        const double x = 5 + std::fmod(t, 90), y = 5 + row * 0.8 + 0.3 * std::sin(t);
        curve.AddVertex(TAVertice3d::CreateAt({x, y, -2 - std::sin(t * 0.3)}));
    }
    return op;
}

void SolidRun(benchmark::State& state)
{
    const std::unique_ptr<TBenchSimOperation> op = state.range(0) == 0 ? Pocket() : ShortSegments();
    int64_t vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TSimulatore2D sim;
        sim.SelectOperation(op.get());
        sim.CreateSolid();
        state.ResumeTiming();
        sim.RunSolid();
        for (int32_t i = 0; i < op->ToolpathCount(); ++i)
            vertices += op->Toolpath(i).VertexCount();
    }
    state.counters["vertices/s"] = benchmark::Counter(double(vertices), benchmark::Counter::kIsRate);
    state.SetLabel(state.range(0) == 0 ? "pocket R 3, 100 x 100" : "100,000 ball segments");
}

void MeshRefresh(benchmark::State& state)
{
    TNcVisuGrid grid = Stock(10);
    grid.SetTool(kTools[2]);
    TStockMesh mesh = BuildStockMesh(grid);
    double z = 19.9;
    for (auto _ : state) {
        grid.CutSegment({30, 50, z}, {31, 50.5, z}, false);
        const auto [columns, rows] = grid.TakeChanged();
        RefreshStockMesh(grid, mesh, columns, rows);
        z -= 0.001;
    }
}

void Mesh(benchmark::State& state)
{
    TNcVisuGrid grid = Stock(static_cast<int>(state.range(0)));
    grid.SetTool(kTools[2]);
    for (int k = 0; k < 20; ++k)
        grid.CutSegment({5, 5.0 + 4 * k, 15}, {95, 5.0 + 4 * k, 15}, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildStockMesh(grid));
    state.counters["cells"] = double(grid.Columns()) * grid.Rows();
}

} // namespace

BENCHMARK(Cuts)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
// Flat, ball and bull nose, level and inclined, 10,000 moves (the inclined
// bull nose, far slower, 1,000); flat and ball again as a processor with
// 256-bit vectors at most (AVX2) runs them.
BENCHMARK(Walks)
    ->Args({0, 0, 10000, 0})->Args({0, 1, 10000, 0})->Args({2, 0, 10000, 0})->Args({2, 1, 10000, 0})
    ->Args({1, 0, 10000, 0})->Args({1, 1, 1000, 0})
    ->Args({0, 0, 10000, 256})->Args({0, 1, 10000, 256})->Args({2, 0, 10000, 256})->Args({2, 1, 10000, 256})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(StampedReference)->Unit(benchmark::kMillisecond);
BENCHMARK(SolidRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Mesh)->Arg(4)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(MeshRefresh)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
