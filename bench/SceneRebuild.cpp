// The time of a scene rebuild: a drawing of 1,000,000 line segments is
// rebuilt into the view's OSG scene through the entities' own Draw and the
// OSG scene builder (the Entity group emptied, then one lines object per
// line). The frame time is measured with the widget, not here.

#include "cad/scene/QVScene.h"
#include "core/settings/AppConfig.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

void BM_RebuildScene(benchmark::State& state)
{
    const auto lineCount = static_cast<int32_t>(state.range(0));
    TQV_01Cmp2D document;
    // Filled before the view is installed, so that adding draws nothing.
    for (int32_t i = 0; i < lineCount; ++i) {
        const double x = i % 1000;
        const double y = std::floor(i / 1000.0);
        document.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(x, y), Point2D(x + 0.8, y + 0.5)));
    }
    TQVScene view(AppConfig());
    view.SetViewportSize(1280, 800);
    view.SetDocument(&document);
    TViewServicesScope services(TViewServices{&view.SceneBuilder(), &view, nullptr, nullptr});
    view.RebuildScene(false); // the first build of the scene objects

    for (auto _ : state)
        view.RebuildScene(false);

    const auto* entities = view.SceneBuilder().Node(view.SceneBuilder().Group(TSceneGroup::Entity))->asGroup();
    state.counters["scene objects"] = static_cast<double>(entities->getNumChildren());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lineCount) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_RebuildScene)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
