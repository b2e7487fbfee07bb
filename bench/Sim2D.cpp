// The 2D simulation on the program's scene builder: the whole-path display
// of a 100,000-vertex toolpath (lines only, arcs only) with the scene
// objects it leaves; a play at the fastest speed with its time per vertex
// over the first and the last tenth (a growing strip must not slow the
// play down); and a feed strip grown point by point by appending against
// replacing its content, measured side by side.

#include "bench/BenchSimOperation.h"
#include "cad/scene/QVScene.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "core/settings/AppConfig.h"
#include "nc/sim/Simulatore2D.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kVertices = 100000;

class TBenchView final : public TSimView {
public:
    explicit TBenchView(TQVScene& scene) : m_Scene(scene) {}
    void ClearSceneGroup(TSceneNodeId group) override { m_Scene.ClearSceneGroup(group); }
    void ShowInfoText(const std::string&) override {}
    void ShowLaserDots(TSceneNodeId, double) override {}
    double PixelSize() const override { return m_Scene.PixelSize(); }
    void Repaint() override {}

private:
    TQVScene& m_Scene;
};

// A zigzag of lines, or a chain of half circles of radius 1, as a contour
// in its own scene group.
std::unique_ptr<TBenchSimOperation> LongPath(TSceneBuilder& scene, bool arcs)
{
    auto op = std::make_unique<TBenchSimOperation>(1, 0, scene.CreateGroup(scene.Group(TSceneGroup::Stl), "op"));
    TCurvaNci3d& curve = op->NewCurve();
    curve.AddVertex(TAVertice3d::CreateAt({0, 0, -1}));
    for (int i = 1; i < kVertices; ++i) {
        if (arcs)
            curve.AddVertex(TAVertice3d::CreateFull(i % 2 ? 1 : -1, {2.0 * i, 0, -1}, {2.0 * i - 1, 0, -1}, 0));
        else
            curve.AddVertex(TAVertice3d::CreateAt({0.1 * i, (i % 2) * 1.0, -1}));
    }
    return op;
}

struct TBench {
    TBench() : Config(""), Scene(Config), Services(TViewServices{&Scene.SceneBuilder(), &Scene, nullptr, nullptr}),
               View(Scene)
    {
        Sim.SetView(&View);
    }
    TAppConfig Config;
    TQVScene Scene;
    TViewServicesScope Services;
    TBenchView View;
    TSimulatore2D Sim;
};

void WholePath(benchmark::State& state)
{
    TBench b;
    const auto op = LongPath(b.Scene.SceneBuilder(), state.range(0) != 0);
    for (auto _ : state)
        b.Sim.ShowWholePath(op.get(), true);
    state.counters["scene objects"] = double(b.Scene.SceneBuilder().ObjectsIn(op->Group));
    state.counters["vertices"] = kVertices;
    state.SetLabel(state.range(0) ? "arcs" : "lines");
}

// Stamps the clock at every pump (each tenth vertex at speed 9).
class TStampClock final : public TSimClock {
public:
    uint64_t TickMs() override { return 0; }
    void Sleep(uint32_t) override {}
    void ProcessMessages() override { Stamps.push_back(std::chrono::steady_clock::now()); }
    std::vector<std::chrono::steady_clock::time_point> Stamps;
};

void PlaySpeed9(benchmark::State& state)
{
    double first = 0, last = 0;
    for (auto _ : state) {
        TBench b;
        TStampClock clock;
        b.Sim.SetClock(&clock);
        const auto op = LongPath(b.Scene.SceneBuilder(), false);
        b.Sim.SelectOperation(op.get());
        b.Sim.Play();
        const size_t n = clock.Stamps.size();
        const size_t tenth = n / 10;
        auto span = [&](size_t from, size_t to) {
            return std::chrono::duration<double, std::micro>(clock.Stamps[to] - clock.Stamps[from]).count() /
                   (double(to - from) * 10.0);
        };
        first = span(0, tenth);
        last = span(n - 1 - tenth, n - 1);
    }
    state.counters["first tenth us/vertex"] = first;
    state.counters["last tenth us/vertex"] = last;
    state.counters["last/first"] = last / first;
}

// One strip grown to range(0) points: appending, or replacing the whole
// content each time (what the builder offered before).
void StripGrowth(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const bool replace = state.range(1) != 0;
    for (auto _ : state) {
        TAppConfig config("");
        TQVScene scene(config);
        TOsgSceneBuilder& builder = scene.SceneBuilder();
        const TSceneNodeId group = builder.CreateGroup(builder.Group(TSceneGroup::Stl), "strip");
        TSceneLines lines;
        lines.Nodes = {{0, 0, 0}, {1, 0, 0}};
        const TSceneNodeId node = builder.AddLines(group, lines);
        for (int i = 2; i < n; ++i) {
            const TVector3D p{double(i), double(i % 2), 0};
            if (replace) {
                lines.Nodes.push_back(p);
                builder.UpdateLines(node, lines);
            } else {
                builder.AppendLines(node, {p});
            }
        }
    }
    state.SetLabel(replace ? "replace" : "append");
}

} // namespace

BENCHMARK(WholePath)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PlaySpeed9)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(StripGrowth)->ArgsProduct({{2000, 20000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
