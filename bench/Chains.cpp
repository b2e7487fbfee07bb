// Chain building over drawings of shuffled line segments: closed 100-sided
// outlines side by side, their sides listed in random order and direction,
// as a DXF of exploded polylines brings them. The drawing is made once per
// size; each iteration builds all its chains.

#include "cam/chains/Catena.h"
#include "cam/chains/EntXCatena.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr int kSides = 100;

TQV_01Cmp2D& Drawing(int segments)
{
    static std::map<int, std::unique_ptr<TQV_01Cmp2D>> drawings;
    std::unique_ptr<TQV_01Cmp2D>& doc = drawings[segments];
    if (doc)
        return *doc;
    doc = std::make_unique<TQV_01Cmp2D>();
    std::vector<std::pair<TPoint2D, TPoint2D>> lines;
    const int outlines = segments / kSides;
    const int perRow = static_cast<int>(std::ceil(std::sqrt(outlines)));
    for (int k = 0; k < outlines; ++k) {
        const double cx = (k % perRow) * 25.0;
        const double cy = (k / perRow) * 25.0;
        for (int i = 0; i < kSides; ++i) {
            const double a0 = 2 * std::numbers::pi * i / kSides;
            const double a1 = 2 * std::numbers::pi * (i + 1) / kSides;
            lines.push_back({{cx + 10 * std::cos(a0), cy + 10 * std::sin(a0), 1.0},
                             {cx + 10 * std::cos(a1), cy + 10 * std::sin(a1), 1.0}});
        }
    }
    std::mt19937 random(12345);
    std::shuffle(lines.begin(), lines.end(), random);
    for (auto& [a, b] : lines) {
        if (random() & 1)
            std::swap(a, b);
        doc->AddObject(-1, std::make_unique<TLine2D>(-1, a, b));
    }
    return *doc;
}

void BM_ChainsFromShuffledSegments(benchmark::State& state)
{
    const int segments = static_cast<int>(state.range(0));
    TQV_01Cmp2D& doc = Drawing(segments);
    size_t chains = 0;
    for (auto _ : state) {
        TListaCatene list;
        TTuttoInCatena build(doc, list);
        chains = static_cast<size_t>(list.Count());
        benchmark::DoNotOptimize(chains);
    }
    state.counters["chains"] = static_cast<double>(chains);
    state.SetItemsProcessed(state.iterations() * segments);
}

} // namespace

BENCHMARK(BM_ChainsFromShuffledSegments)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
