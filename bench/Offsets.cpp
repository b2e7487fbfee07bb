// Offsets of the machining side: the own offset engine, the loop removal of
// the one-sided open offset and arc fitting on chains of 100, 1000 and 5000
// segments; and a pocket of 500 x 500 with ten islands of radius 10 offset
// ring by ring until nothing is left (steps 3 and 1), through the areas
// (chords out, the library's offset, arcs fitted back) against the bare
// library offset calls on the integer paths of the same rings. (Feeding the
// library its own output ring after ring is no measure: its rounding steps
// multiply from ring to ring.)

#include "cad/edit/QVClipperOffset.h"
#include "cam/curves/Area.h"
#include "cam/offset/NcAutoPoly.h"

#include <benchmark/benchmark.h>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// A closed counter-clockwise outline of n lines on a wavy circle: its
// inner offset crosses itself in the hollows.
std::unique_ptr<TACurva> WavyOutline(int n)
{
    auto c = std::make_unique<TACurva>();
    for (int i = 0; i <= n; ++i) {
        const double a = 2.0 * kPi * (i % n) / n;
        const double r = 50.0 + 4.0 * std::sin(12.0 * a);
        c->AddVertex(TAVertice::CreateAt({r * std::cos(a), r * std::sin(a)}, 0));
    }
    c->Closed = 1;
    return c;
}

void BM_OffsetEngine(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    AreaTolerance = 0.0025;
    size_t curves = 0;
    for (auto _ : state) {
        TArea area(0.0025);
        area.AddCurve(WavyOutline(n));
        OffsetWithEngine(area, 1.5);
        curves = area.Curves.size();
        benchmark::DoNotOptimize(curves);
    }
    state.counters["curves"] = static_cast<double>(curves);
}
BENCHMARK(BM_OffsetEngine)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// A prolate cycloid of n segments: a loop at every turn.
ClipperLib::Path Loops(int n)
{
    ClipperLib::Path path;
    for (int i = 0; i <= n; ++i) {
        const double t = 40.0 * kPi * i / n;
        path.emplace_back(static_cast<ClipperLib::cInt>((t - 2.0 * std::sin(t)) * 1e4),
                          static_cast<ClipperLib::cInt>(2.0 * std::cos(t) * 1e4));
    }
    return path;
}

void BM_RemoveLoops(benchmark::State& state)
{
    const ClipperLib::Path source = Loops(static_cast<int>(state.range(0)));
    size_t points = 0;
    for (auto _ : state) {
        ClipperLib::Paths paths{source};
        TQVClipperOffset::RemoveLoops(paths);
        points = paths[0].size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_RemoveLoops)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// n chords of a circle of radius 100, as the library gives offsets back.
void BM_FitArcs(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    TACurva source;
    for (int i = 0; i <= n; ++i) {
        const double a = 2.0 * kPi * (i % n) / n;
        source.AddVertex(TAVertice::CreateAt({std::round(100e4 * std::cos(a)) / 1e4,
                                              std::round(100e4 * std::sin(a)) / 1e4}, 0));
    }
    AreaTolerance = 0.0025;
    int count = 0;
    for (auto _ : state) {
        TACurva c = source;
        c.FitArcs(0.1, 2500.0);
        count = c.Count();
        benchmark::DoNotOptimize(count);
    }
    state.counters["vertices"] = count;
}
BENCHMARK(BM_FitArcs)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

TArea Pocket()
{
    TArea area(0.0025);
    auto outline = std::make_unique<TACurva>();
    for (const TVector2D& p : {TVector2D{0, 0}, {500, 0}, {500, 500}, {0, 500}, {0, 0}})
        outline->AddVertex(TAVertice::CreateAt(p, 0));
    area.AddCurve(std::move(outline));
    for (int i = 0; i < 10; ++i) {
        const TVector2D c{60.0 + 40.0 * i, 100.0 + 30.0 * i};
        area.AddCurve(std::move(TAreaCerchio(c, 10.0).Curves[0]));
    }
    AreaTolerance = 0.0025;
    return area;
}

// Rings through the areas: each ring is the offset of the one before.
void BM_PocketRings(benchmark::State& state)
{
    const double step = static_cast<double>(state.range(0));
    int rings = 0;
    for (auto _ : state) {
        TArea area = Pocket();
        rings = 0;
        while (!area.Curves.empty()) {
            area.OffsetClosed(-step);
            ++rings;
        }
    }
    state.counters["rings"] = rings;
}
BENCHMARK(BM_PocketRings)->Arg(3)->Arg(1)->Unit(benchmark::kMillisecond);

// The integer paths that each ring of BM_PocketRings hands the library.
const std::vector<ClipperLib::Paths>& RingInputs(int step)
{
    static std::vector<ClipperLib::Paths> inputs[4];
    std::vector<ClipperLib::Paths>& rings = inputs[step];
    if (rings.empty()) {
        TArea area = Pocket();
        while (!area.Curves.empty()) {
            rings.emplace_back();
            area.ToClipperPaths(rings.back(), false);
            area.OffsetClosed(-step);
        }
    }
    return rings;
}

// The same rings as bare library offset calls on their integer paths, with
// the areas' join tolerance (range(1) = 1) or the library's default of 0.25.
void BM_PocketRingsLibrary(benchmark::State& state)
{
    const int step = static_cast<int>(state.range(0));
    const std::vector<ClipperLib::Paths>& rings = RingInputs(step);
    AreaTolerance = 0.0025;
    const double joinTolerance = state.range(1) ? OffsetJoinTolerance() : 0.25;
    size_t points = 0;
    for (auto _ : state) {
        points = 0;
        for (const ClipperLib::Paths& ring : rings) {
            ClipperLib::ClipperOffset offset(step, joinTolerance);
            offset.AddPaths(ring, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
            ClipperLib::Paths solution;
            offset.Execute(solution, -step * 1e4);
            for (const ClipperLib::Path& path : solution)
                points += path.size();
        }
    }
    state.counters["rings"] = static_cast<double>(rings.size());
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_PocketRingsLibrary)->Args({3, 1})->Args({1, 1})->Args({3, 0})->Args({1, 0})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
