// The 2D generators on large inputs: the nested contour of a text of 500
// contours (250 letters, each an outline of lines and arcs with a round
// hole), and a pocket of 500 x 500 with ten round islands at step 1 in both
// strategies. Beside the pocket: its ring offsets as bare library calls on
// the integer paths of the chains' area (the generator's rings are the
// area offset at growing distances), the same through the areas without
// arc fitting (the clipping share) and with it (the arc-fitting share is
// the difference), and the band hatching with and without arc fitting.
// The contour of an outline of 2,000 lines with 50 round holes at offset 3,
// by nested areas and chain by chain, beside the bare library offsets of the
// same integer paths. The closing lines print each generator's time over
// its bare offsets (see TRatioReporter for the options that steady them).

#include "cam/generators/Contorno.h"
#include "cam/generators/Tasca.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/geometry/Tolerance.h"

#include <benchmark/benchmark.h>

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <string>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kChainTol = 0.0025;

std::unique_ptr<TOpManagerField> Operation(int kind)
{
    auto op = std::make_unique<TOpManagerField>(kind);
    op->Parameters = std::make_unique<TParametriOperazione>(0);
    TParametriOperazione& p = *op->Parameters;
    p.ToolData->Diameter = 6;
    p.CompOffset = 3;
    p.PassCount = 1;
    p.PassDepth = 1;
    p.StepCountX = 1;
    p.StepCountY = 1;
    return op;
}

std::unique_ptr<TCatena> Circle(double cx, double cy, double r)
{
    auto c = std::make_unique<TCatena>();
    c->AddVertex(TAVertice::CreateAt({cx + r, cy}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {cx - r, cy}, {cx, cy}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {cx + r, cy}, {cx, cy}, 0));
    c->Closed = 1;
    return c;
}

// A rounded rectangle (corner radius 1.5) of 8 x 12 at (x, y).
std::unique_ptr<TCatena> Letter(double x, double y)
{
    const double w = 8, h = 12, r = 1.5;
    auto c = std::make_unique<TCatena>();
    c->AddVertex(TAVertice::CreateAt({x + r, y}, 0));
    c->AddVertex(TAVertice::CreateAt({x + w - r, y}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {x + w, y + r}, {x + w - r, y + r}, 0));
    c->AddVertex(TAVertice::CreateAt({x + w, y + h - r}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {x + w - r, y + h}, {x + w - r, y + h - r}, 0));
    c->AddVertex(TAVertice::CreateAt({x + r, y + h}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {x, y + h - r}, {x + r, y + h - r}, 0));
    c->AddVertex(TAVertice::CreateAt({x, y + r}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {x + r, y}, {x + r, y + r}, 0));
    c->Closed = 1;
    return c;
}

void BM_NestedContourText(benchmark::State& state)
{
    size_t curves = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto op = Operation(OpKind::Letters);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = -1;
        p.CompOffset = 0.5;
        p.RoughCount = 1;
        p.OffsetMethod = 1;
        for (int k = 0; k < 250; ++k) {
            const double x = (k % 25) * 12.0, y = (k / 25) * 16.0;
            op->Chains.AddChain(Letter(x, y));
            op->Chains.AddChain(Circle(x + 4, y + 6, 2));
        }
        state.ResumeTiming();
        TContorno contour(*op);
        contour.Calculate();
        curves = op->Toolpaths.size();
    }
    state.counters["curves"] = static_cast<double>(curves);
}
BENCHMARK(BM_NestedContourText)->Unit(benchmark::kMillisecond);

// 500 x 500, islands of radius 10; tool radius 3 at 100/6 %: step 1.
void AddPocketChains(TListaCatene& chains)
{
    auto outline = std::make_unique<TCatena>();
    for (const TVector2D& p : {TVector2D{0, 0}, {500, 0}, {500, 500}, {0, 500}, {0, 0}})
        outline->AddVertex(TAVertice::CreateAt(p, 0));
    outline->Closed = 1;
    chains.AddChain(std::move(outline));
    for (int i = 0; i < 10; ++i)
        chains.AddChain(Circle(60.0 + 40.0 * i, 100.0 + 30.0 * i, 10.0));
}

void BM_Pocket(benchmark::State& state)
{
    const int type = static_cast<int>(state.range(0));
    size_t vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto op = Operation(OpKind::Pocket);
        op->Parameters->PocketType = type;
        op->Parameters->StepOverPercent = 100.0 / 6.0;
        AddPocketChains(op->Chains);
        AreaTolerance = kChainTol;
        state.ResumeTiming();
        TTasca pocket(*op);
        if (type == 0)
            pocket.CalculateParallel();
        else
            pocket.CalculateOffset();
        vertices = 0;
        for (const auto& c : op->Toolpaths)
            vertices += c->Vertices.size();
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
// 0: parallel zig-zag, 1: offset rings.
BENCHMARK(BM_Pocket)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

TListaCatene& PocketChains()
{
    static TListaCatene chains;
    if (chains.Count() == 0)
        AddPocketChains(chains);
    return chains;
}

// The rings as the pocket makes them: the chains' area offset inward by 3,
// 4, 5, ... until nothing is left; arc fitting on (1) or off (0).
void BM_PocketRingsArea(benchmark::State& state)
{
    const uint8_t fit = static_cast<uint8_t>(state.range(0));
    int rings = 0;
    for (auto _ : state) {
        rings = 0;
        for (double x = 3;; x += 1, ++rings) {
            auto area = TBaseOperazione2D::AreaFromChains(PocketChains());
            area->FitArcsOnReturn = fit;
            area->OffsetClosed(-x);
            if (area->Curves.empty())
                break;
        }
    }
    state.counters["rings"] = rings;
}
BENCHMARK(BM_PocketRingsArea)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same rings as bare library offsets of the chains' integer paths.
void BM_PocketRingsBare(benchmark::State& state)
{
    AreaTolerance = kChainTol;
    ClipperLib::Paths paths;
    TBaseOperazione2D::AreaFromChains(PocketChains())->ToClipperPaths(paths, false);
    ClipperLib::Paths normalised;
    {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(paths, ClipperLib::ptSubject, true);
        clipper.Execute(ClipperLib::ctUnion, normalised, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    }
    int rings = 0;
    for (auto _ : state) {
        rings = 0;
        for (double x = 3;; x += 1, ++rings) {
            ClipperLib::ClipperOffset offset(x, OffsetJoinTolerance());
            offset.AddPaths(normalised, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
            ClipperLib::Paths solution;
            offset.Execute(solution, -x * 1e4);
            if (solution.empty())
                break;
        }
    }
    state.counters["rings"] = rings;
}
BENCHMARK(BM_PocketRingsBare)->Unit(benchmark::kMillisecond);

// The parallel strategy's bands over the area at the finishing distance;
// arc fitting of the band pieces on (1) or off (0).
void BM_PocketBands(benchmark::State& state)
{
    const uint8_t fit = static_cast<uint8_t>(state.range(0));
    size_t strips = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto area = TBaseOperazione2D::AreaFromChains(PocketChains());
        area->OffsetClosed(-3);
        area->FitArcsOnReturn = fit;
        state.ResumeTiming();
        TTasca pocket;
        pocket.HatchArea(*area, 1.0);
        strips = pocket.Strips().size();
    }
    state.counters["strips"] = static_cast<double>(strips);
}
BENCHMARK(BM_PocketBands)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The outline: 2,000 lines on a wavy circle of radius 200 (no run of them
// lies on one circle); the holes: 50 circles of radius 5 on two rings.
void AddOutlineWithHoles(TListaCatene& chains)
{
    constexpr int kSegments = 2000;
    auto outline = std::make_unique<TCatena>();
    for (int i = 0; i <= kSegments; ++i) {
        const double a = 2.0 * std::numbers::pi * (i % kSegments) / kSegments;
        const double r = 200.0 + 4.0 * std::sin(37.0 * a);
        outline->AddVertex(TAVertice::CreateAt({r * std::cos(a), r * std::sin(a)}, 0));
    }
    outline->Closed = 1;
    chains.AddChain(std::move(outline));
    for (int i = 0; i < 50; ++i) {
        const double a = 2.0 * std::numbers::pi * (i % 25) / 25;
        const double r = i < 25 ? 100.0 : 150.0;
        chains.AddChain(Circle(r * std::cos(a), r * std::sin(a), 5.0));
    }
}

// 0: chain by chain, 1: nested areas; the outside of the part, one pass.
void BM_ContourHoles(benchmark::State& state)
{
    const uint8_t method = static_cast<uint8_t>(state.range(0));
    size_t vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto op = Operation(OpKind::Contour);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = -1;
        p.RoughCount = 1;
        p.OffsetMethod = method;
        AddOutlineWithHoles(op->Chains);
        state.ResumeTiming();
        TContorno contour(*op);
        contour.Calculate();
        vertices = 0;
        for (const auto& c : op->Toolpaths)
            vertices += c->Vertices.size();
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_ContourHoles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The bare library offsets of the same integer paths at the same join
// tolerance: 0, one offset per chain (each of its own normalised path); 1,
// one offset of the normalised paths of all chains. The paths are made and
// normalised once, outside the timing.
void BM_ContourHolesBare(benchmark::State& state)
{
    const bool nested = state.range(0) != 0;
    TListaCatene chains;
    AddOutlineWithHoles(chains);
    // The generator's areas are made at the chain tolerance.
    AreaTolerance = ChainTol();
    const auto normalise = [](const ClipperLib::Paths& paths) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(paths, ClipperLib::ptSubject, true);
        ClipperLib::Paths out;
        clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
        return out;
    };
    std::vector<ClipperLib::Paths> inputs;
    ClipperLib::Paths all;
    TBaseOperazione2D::AreaFromChains(chains)->ToClipperPaths(all, false);
    if (nested) {
        inputs.push_back(normalise(all));
    } else {
        for (const ClipperLib::Path& path : all)
            inputs.push_back(normalise({path}));
    }
    const double joinTolerance = OffsetJoinTolerance();
    size_t points = 0;
    for (auto _ : state) {
        points = 0;
        for (const ClipperLib::Paths& input : inputs) {
            ClipperLib::ClipperOffset offset(3.0, joinTolerance);
            offset.AddPaths(input, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
            ClipperLib::Paths solution;
            offset.Execute(solution, 3.0 * 1e4);
            for (const ClipperLib::Path& path : solution)
                points += path.size();
        }
    }
    state.counters["offsets"] = static_cast<double>(inputs.size());
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_ContourHolesBare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's CPU time per iteration for the closing ratios:
// every benchmark here runs on one thread, and on a loaded machine the CPU
// time scatters far less than the wall time. With repetitions the fastest
// one counts, as load only ever adds time (--benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true mixes the generators' runs
// with their references').
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto [at, added] = Seconds.emplace(run.run_name.str(), seconds);
            if (!added)
                at->second = std::min(at->second, seconds);
        }
    }
    std::map<std::string, double> Seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::cout << "chain tolerance " << ChainTol() << ", join tolerance " << OffsetJoinTolerance() << " units\n";
    const auto ratio = [&](const char* what, const char* name, const char* reference) {
        const auto a = reporter.Seconds.find(name);
        const auto b = reporter.Seconds.find(reference);
        if (a != reporter.Seconds.end() && b != reporter.Seconds.end())
            std::cout << what << ": " << a->second / b->second << "x the bare offsets (CPU time, fastest repetition)\n";
    };
    ratio("contour chain by chain", "BM_ContourHoles/0", "BM_ContourHolesBare/0");
    ratio("contour nested", "BM_ContourHoles/1", "BM_ContourHolesBare/1");
    ratio("ring pocket", "BM_Pocket/1", "BM_PocketRingsBare");
    return 0;
}
