// The drop cutter over a generated wavy height field of 131,072 triangles:
// building the kd-tree and how many nodes a query visits for the triangles
// it returns; dropping single cutter locations with each shape (drops per
// second, triangles tested per drop); the adaptive sampling of one raster
// line; a whole finishing run at resolution 0.1 on one thread and on all
// cores, with its peak memory and its time against its drops times the
// single-drop time measured in the same run.

#include "cam/drop/AdapDropCutter.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/entities/QVStl.h"
#include "core/geometry/Tri.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <new>
#include <random>

// Heap bytes in use and their peak, counted by the global allocation
// functions below (the whole run's peak memory).
namespace {
std::atomic<int64_t> g_HeapInUse{0};
std::atomic<int64_t> g_HeapPeak{0};

void* CountedAlloc(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const int64_t now = g_HeapInUse.fetch_add(static_cast<int64_t>(malloc_usable_size(p))) +
                        static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = g_HeapPeak.load();
    while (now > peak && !g_HeapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void CountedFree(void* p)
{
    if (!p)
        return;
    g_HeapInUse.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }

namespace {

constexpr int kGrid = 256; // 2 x 256 x 256 = 131072 triangles over 100 x 100
constexpr float kSize = 100.0f;

float Height(float x, float y)
{
    return 5.0f * std::sin(x * 0.2f) * std::cos(y * 0.15f) + 0.02f * x;
}

TTri Tri(const float (&a)[3], const float (&b)[3], const float (&c)[3])
{
    TTri t;
    for (int i = 0; i < 3; ++i) {
        t.A[i] = a[i];
        t.B[i] = b[i];
        t.C[i] = c[i];
    }
    t.ComputeNormal();
    t.UpNormal();
    t.UpdateBox();
    return t;
}

const TQVStl& Surface()
{
    static const TQVStl surface = [] {
        TQVStl s;
        const float h = kSize / kGrid;
        for (int i = 0; i < kGrid; ++i) {
            for (int j = 0; j < kGrid; ++j) {
                const float x0 = i * h, y0 = j * h, x1 = x0 + h, y1 = y0 + h;
                const float p00[3] = {x0, y0, Height(x0, y0)}, p10[3] = {x1, y0, Height(x1, y0)};
                const float p11[3] = {x1, y1, Height(x1, y1)}, p01[3] = {x0, y1, Height(x0, y1)};
                s.AddTriangle(Tri(p00, p10, p11));
                s.AddTriangle(Tri(p00, p11, p01));
            }
        }
        return s;
    }();
    return surface;
}

TDatiUtFresa Tool(int type)
{
    TDatiUtFresa t;
    t.ToolType = type;
    t.Diameter = 6.0;
    t.CornerRadius = 1.0;
    t.ToolAngle = 30.0;
    t.ToolLength = 20.0f;
    return t;
}

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_KDTreeBuild(benchmark::State& state)
{
    const TQVStl& s = Surface();
    for (auto _ : state) {
        TKDTree tree;
        tree.Build(s.Triangles());
        benchmark::DoNotOptimize(tree.Root());
    }
    state.counters["triangles"] = static_cast<double>(s.Triangles().size());
}
BENCHMARK(BM_KDTreeBuild)->Unit(benchmark::kMillisecond);

// Queries of the cutter's footprint (radius 3): nodes visited per query and
// per triangle returned.
void BM_KDTreeQuery(benchmark::State& state)
{
    TKDTree tree;
    tree.Build(Surface().Triangles());
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(5.0f, 95.0f);
    int64_t visited = 0, found = 0, queries = 0;
    for (auto _ : state) {
        const float x = pos(rng), y = pos(rng);
        const auto got = tree.Search({x - 3, x + 3, y - 3, y + 3}, visited);
        found += static_cast<int64_t>(got.size());
        ++queries;
        benchmark::DoNotOptimize(got.data());
    }
    state.counters["nodes_per_query"] = double(visited) / double(queries);
    state.counters["tris_per_query"] = double(found) / double(queries);
    state.counters["nodes_per_tri"] = double(visited) / double(found);
}
BENCHMARK(BM_KDTreeQuery);

void BM_DropCL(benchmark::State& state)
{
    TPointDropCutter op;
    op.SetSTL(&Surface());
    op.SetCutter(Tool(static_cast<int>(state.range(0))));
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(5.0f, 95.0f);
    int64_t tested = 0, drops = 0;
    for (auto _ : state) {
        TCLPoint cl(pos(rng), pos(rng), -100.0f);
        op.DropCL(cl);
        benchmark::DoNotOptimize(cl.Z);
        ++drops;
    }
    // The triangles each drop tests: those of its footprint's query.
    std::mt19937 again(7);
    for (int64_t i = 0; i < std::min<int64_t>(drops, 20000); ++i) {
        const TCLPoint cl(pos(again), pos(again), -100.0f);
        tested += static_cast<int64_t>(op.KDTree().TrianglesNear(*op.Cutter(), cl).size());
    }
    state.SetItemsProcessed(drops);
    state.counters["tris_per_drop"] = double(tested) / double(std::min<int64_t>(drops, 20000));
}
BENCHMARK(BM_DropCL)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->ArgNames({"type"});

void BM_AdaptiveRasterLine(benchmark::State& state)
{
    TAdapDropCutter op;
    op.SetSTL(&Surface());
    op.SetCutter(Tool(2));
    op.SetSampling(0.05);
    op.SetThreadCount(1);
    TDropPath path;
    path.AddLine(TLine({0.0, 50.0}, -100.0f, {kSize, 50.0}));
    op.SetPath(&path);
    for (auto _ : state) {
        op.RunPath();
        benchmark::DoNotOptimize(op.CLList().size());
    }
    state.counters["points"] = static_cast<double>(op.CLList().size());
}
BENCHMARK(BM_AdaptiveRasterLine)->Unit(benchmark::kMillisecond)->UseRealTime();

// A whole run with a ball cutter, raster step 1, resolution 0.1, on
// state.range(0) threads (0: one per core). Reported: the drops, the heap's
// peak above what the process held before the run, the run's time over
// (its drops x one drop's time, measured here on the same surface), and the
// process CPU time of a run (on a shared machine the wall-clock speed-up is
// bounded by the free cores; equal CPU time on one and on all threads shows
// the threads add no work).
// The fastest one-thread run's time per run in this process, the reference
// of the all-cores runs (the fastest, so that a one-thread run slowed by
// other work on the machine cannot flatter the speed-up).
double g_OneThreadRunSeconds = 0.0;

void BM_WholeRun(benchmark::State& state)
{
    const TQVStl& surface = Surface();
    TParametriOperazione params(0);
    static_cast<TDatiUtFresa&>(*params.ToolData) = Tool(2);
    params.ZTop = 10;
    params.ZBottom = -10;
    params.MarginX = 3;
    params.MarginY = 3;
    params.StepOverPercent = 1.0;
    params.Resolution = 0.1;

    // One drop's time, single thread, random locations over the field.
    TPointDropCutter single;
    single.SetSTL(&surface);
    single.SetCutter(Tool(2));
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> pos(0.0f, kSize);
    const int kDrops = 20000;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kDrops; ++i) {
        TCLPoint cl(pos(rng), pos(rng), -10.0f);
        single.DropCL(cl);
        benchmark::DoNotOptimize(cl.Z);
    }
    const double dropSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / kDrops;
    single.SetSTL(nullptr);

    int64_t drops = 0;
    double runSeconds = 0.0, cpuSeconds = 0.0, peakBytes = 0.0;
    for (auto _ : state) {
        TParallelaAd op;
        op.SetThreadCount(static_cast<unsigned>(state.range(0)));
        TListaDiCurve3d toolpath;
        const int64_t before = g_HeapInUse.load();
        g_HeapPeak.store(before);
        const double c0 = ProcessCpuSeconds();
        const auto r0 = std::chrono::steady_clock::now();
        op.RunOnSource(surface, params, toolpath);
        runSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - r0).count();
        cpuSeconds += ProcessCpuSeconds() - c0;
        peakBytes = std::max(peakBytes, double(g_HeapPeak.load() - before));
        drops = op.DropCount();
        benchmark::DoNotOptimize(toolpath.data());
    }
    const double perRun = runSeconds / double(state.iterations());
    state.counters["cpu_s"] = cpuSeconds / double(state.iterations());
    state.counters["threads"] = static_cast<double>(TAdapDropCutter().ThreadCount());
    if (state.range(0) > 0)
        state.counters["threads"] = static_cast<double>(state.range(0));
    state.counters["drops"] = static_cast<double>(drops);
    state.counters["drop_us"] = dropSeconds * 1e6;
    state.counters["run_over_drops"] = perRun / (double(drops) * dropSeconds);
    state.counters["peak_MB"] = peakBytes / (1024.0 * 1024.0);
    // The speed-up over one thread, and over the ideal (1.0: every core
    // fully used); only when the one-thread run came first in this process.
    if (state.range(0) == 1) {
        if (g_OneThreadRunSeconds == 0.0 || perRun < g_OneThreadRunSeconds)
            g_OneThreadRunSeconds = perRun;
    } else if (g_OneThreadRunSeconds > 0.0 && perRun > 0.0) {
        const double speedup = g_OneThreadRunSeconds / perRun;
        state.counters["speedup"] = speedup;
        state.counters["speedup_per_core"] = speedup / state.counters["threads"];
    }
}
BENCHMARK(BM_WholeRun)->Arg(1)->Arg(0)->ArgNames({"threads"})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

BENCHMARK_MAIN();
