// The time of one frame of the drawing view: a drawing of line segments (one
// scene object each, as the entities build them) shown in the scene widget
// of 1280 x 800 pixels, rendered by OSG with the overlay painted on top and
// read back (grabFramebuffer, which waits for the frame to finish). The
// first frame, which also uploads the vertex buffers, is reported apart.
//
// Needs a display with OpenGL: run it under
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bin/bench_SceneFrame

#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "core/settings/AppConfig.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#include <clocale>
#include <cmath>
#include <memory>

namespace {

void BM_SceneFrame(benchmark::State& state)
{
    const auto lineCount = static_cast<int32_t>(state.range(0));
    TAppConfig config("");
    TQV_01Cmp2D document;
    for (int32_t i = 0; i < lineCount; ++i) {
        const double x = i % 1000;
        const double y = std::floor(i / 1000.0);
        document.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(x, y), Point2D(x + 0.8, y + 0.5)));
    }
    TQVScene view(config);
    view.SetDocument(&document);
    TViewServicesScope services(TViewServices{&view.SceneBuilder(), &view, nullptr, nullptr});
    view.RebuildScene(false);

    TSceneViewer viewer(view);
    viewer.resize(1280, 800);
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer)) {
        state.SkipWithError("the viewer was not shown (no display?)");
        return;
    }
    view.ZoomToBox(TBox3D{{0, 0, 0, 1}, {1000, std::ceil(lineCount / 1000.0), 0, 1}});
    QElapsedTimer first;
    first.start();
    viewer.grabFramebuffer();
    state.counters["first frame ms"] = static_cast<double>(first.elapsed());

    for (auto _ : state) {
        const QImage frame = viewer.grabFramebuffer();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lineCount) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SceneFrame)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
