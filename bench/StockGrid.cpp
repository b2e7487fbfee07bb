// The stock-removal grid: cells cut per second for each tool shape and move
// kind on a 100 x 100 stock of 500 cells a side, and the mesh built for the
// view at quality 4 and 10.

#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/NcVisuMesh.h"

#include <benchmark/benchmark.h>

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
BENCHMARK(Mesh)->Arg(4)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
