// One entity of a drawing of 1,000,000 lines found and deleted by its ID,
// beside the same in a drawing of 1,000 lines in the same run: an operation
// on one entity should not grow with the drawing, so the ratio of the two
// should stay near 1. The walk from the head to the same object (what
// finding an object by its ID used to cost) is measured beside the lookup.
// The delete is the document's (list, index, entity tree); the scene's part
// of it is measured by bench_SceneBatch (DeleteOneLine). A pick of one line
// by the view (TQVScene::PickObject, no window) is measured the same way,
// once the document's pick index is built; the first pick, which builds the
// index, is timed on its own and printed beside the whole walk over every
// object that a pick used to be (the same pick rule, run by the bench).
// With the whole drawing in view the aperture covers many more lines at 1M
// (rows of lines above and below) than at 1k (one row); the pick with the
// view zoomed in to 20 x 20 units around the point has the same line alone
// under the aperture at both sizes.
//
//   build-bench/bin/bench_ObjectIndex

#include "cad/scene/QVScene.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

namespace {

struct TDrawing {
    explicit TDrawing(int32_t count) : Count(count)
    {
        for (int32_t i = 0; i < count; ++i) {
            const double x = i % 1000;
            const double y = i / 1000;
            Document.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(x, y), Point2D(x + 0.8, y + 0.5)));
        }
    }
    int32_t Count;
    TQV_01Cmp2D Document;
};

TDrawing& Drawing(int32_t count)
{
    static std::map<int32_t, std::unique_ptr<TDrawing>> drawings;
    auto& drawing = drawings[count];
    if (!drawing)
        drawing = std::make_unique<TDrawing>(count);
    return *drawing;
}

// Real and CPU time of one delete and of one pick, by drawing size.
std::map<int64_t, std::pair<double, double>> g_DeleteUs;
std::map<int64_t, std::pair<double, double>> g_PickUs;
std::map<int64_t, std::pair<double, double>> g_ZoomedPickUs;
// The first pick (building the index) and one walk over every object, in
// milliseconds, by drawing size.
std::map<int64_t, std::pair<double, double>> g_FirstPickAndWalkMs;

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The pick as every object is asked: the view's rule without the index.
TObject2D* PickByWalk(TQV_01Cmp2D& document, const TPoint2D& p, double aperture)
{
    TObject2D* result = nullptr;
    int32_t hitCode = PickNone;
    double best = aperture;
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* found = it.First(); found; found = it.Next()) {
        auto* object = dynamic_cast<TObject2D*>(found);
        const TQV_21Layer& layer = document.Layers().GetLayer(object->Layer());
        if (!layer.Active() || !layer.Visible() || !object->Pickable())
            continue;
        double distance = PickFarDistance;
        const int32_t code = object->PickAt(p, distance, aperture);
        if (code != PickNone && code >= hitCode && distance <= best) {
            result = object;
            hitCode = code;
            best = distance;
        }
    }
    return result;
}

void BM_DeleteOne(benchmark::State& state)
{
    TDrawing& drawing = Drawing(static_cast<int32_t>(state.range(0)));
    // Entities from the middle on, one after the other; a deleted one is
    // added back (untimed) so that the drawing keeps its size.
    int32_t next = drawing.Count / 2;
    for (auto _ : state) {
        drawing.Document.DeleteObject(next);
        state.PauseTiming();
        drawing.Document.AddObject(next, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
        next = next + 1 < drawing.Count ? next + 1 : drawing.Count / 2;
        state.ResumeTiming();
    }
}

void BM_FindByID(benchmark::State& state)
{
    TDrawing& drawing = Drawing(static_cast<int32_t>(state.range(0)));
    const int32_t id = drawing.Count * 3 / 4;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawing.Document.GetObjectByID(id));
}

void BM_WalkToID(benchmark::State& state)
{
    TDrawing& drawing = Drawing(static_cast<int32_t>(state.range(0)));
    const int32_t id = drawing.Count * 3 / 4;
    for (auto _ : state) {
        TGraphicObjIterator it = drawing.Document.ObjectsIterator();
        TGraphicObject* object = it.First();
        while (object && object->ID() != id)
            object = it.Next();
        benchmark::DoNotOptimize(object);
    }
}

// A line of the first half (BM_DeleteOne replaces lines of the second),
// picked at a point 0.1 above its middle by a view 800 pixels wide.
struct TPickSetUp {
    explicit TPickSetUp(TDrawing& drawing)
        : Lines(drawing), Row(drawing.Count / 4000), Point{250.4, Row + 0.35, 1.0}
    {
        View.SetDocument(&Lines.Document);
        View.SetViewportSize(800, 600);
    }
    // The timed picks, each checked to find the line.
    void Run(benchmark::State& state)
    {
        for (auto _ : state) {
            int32_t hitCode = 0;
            TObject2D* picked = View.PickObject(Point, 5, false, hitCode);
            if (!picked || picked->ID() != Row * 1000 + 250)
                state.SkipWithError("the pick did not find the line under the point");
            benchmark::DoNotOptimize(picked);
        }
    }

    TDrawing& Lines;
    int32_t Row;
    TPoint2D Point;
    TAppConfig Config{""};
    TQVScene View{Config};
};

// The view fitted to the drawing (a row of 1000 lines across 800 pixels);
// the first pick, which builds the pick index, is timed beside a walk.
void BM_PickOne(benchmark::State& state)
{
    TPickSetUp pick(Drawing(static_cast<int32_t>(state.range(0))));
    pick.View.FitBox(TBox3D{{0.0, 0.0, 0.0}, {1000.0, pick.Lines.Count / 1000.0, 0.0}});
    int32_t hitCode = 0;
    const auto start = std::chrono::steady_clock::now();
    TObject2D* first = pick.View.PickObject(pick.Point, 5, false, hitCode);
    const double firstMs = MillisecondsSince(start);
    const auto walkStart = std::chrono::steady_clock::now();
    TObject2D* walked = PickByWalk(pick.Lines.Document, pick.Point, pick.View.PixelSize() * 5);
    g_FirstPickAndWalkMs[state.range(0)] = {firstMs, MillisecondsSince(walkStart)};
    if (first != walked)
        state.SkipWithError("the pick and the walk over every object found different objects");
    pick.Run(state);
}

// The same pick with the view fitted to 20 x 20 units around the point.
void BM_PickOneZoomedIn(benchmark::State& state)
{
    TPickSetUp pick(Drawing(static_cast<int32_t>(state.range(0))));
    const TPoint2D& p = pick.Point;
    pick.View.FitBox(TBox3D{{p.X - 10.0, p.Y - 10.0, 0.0}, {p.X + 10.0, p.Y + 10.0, 0.0}});
    pick.Run(state);
}

BENCHMARK(BM_DeleteOne)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_FindByID)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkToID)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_PickOne)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_PickOneZoomedIn)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Keeps the delete times for the ratio printed at the end.
class TReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) {
                const std::pair<double, double> times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
                if (run.run_name.function_name == "BM_DeleteOne")
                    g_DeleteUs[std::stoll(run.run_name.args)] = times;
                else if (run.run_name.function_name == "BM_PickOne")
                    g_PickUs[std::stoll(run.run_name.args)] = times;
                else if (run.run_name.function_name == "BM_PickOneZoomedIn")
                    g_ZoomedPickUs[std::stoll(run.run_name.args)] = times;
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const auto& [count, ms] : g_FirstPickAndWalkMs)
        std::printf("first pick at %lld entities (builds the pick index): %.2f ms; one walk over every object: %.2f ms\n",
                    static_cast<long long>(count), ms.first, ms.second);
    for (const auto& [what, times] :
         {std::pair{"delete one entity", &g_DeleteUs}, std::pair{"pick one entity", &g_PickUs},
          std::pair{"pick one entity, zoomed in", &g_ZoomedPickUs}}) {
        if (!times->count(1000) || !times->count(1000000))
            continue;
        const auto [real1M, cpu1M] = (*times)[1000000];
        const auto [real1k, cpu1k] = (*times)[1000];
        std::printf("%s: %.2f us at 1M, %.2f us at 1k, ratio 1M / 1k = %.2f "
                    "(CPU time: %.2f us, %.2f us, ratio %.2f; aim: < 1 ms at 1M, ratio near 1)\n",
                    what, real1M, real1k, real1M / real1k, cpu1M, cpu1k, cpu1M / cpu1k);
    }
    return 0;
}
