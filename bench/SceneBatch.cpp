// The drawing view at 100,000 and 1,000,000 line segments, each figure
// beside its reference measured in the same process and run: the same
// segments in one osg::Geometry of GL_LINES in a vertex buffer, built and
// drawn in the same widget.
//
// - Rebuild: RebuildScene from the document; BareWalk: the walk over the
//   document's objects with the layer test and nothing drawn (what a
//   rebuild cannot go below); ReferenceBuild: the one geometry made.
// - Frame and ReferenceFrame: one frame of 1280 x 800 rendered and read
//   back (grabFramebuffer waits for it); the first frame, which uploads the
//   buffers, is a counter of each.
// - AddOneLine, DeleteOneLine: the document call that adds or deletes one
//   line (the scene updates its range), then the next frame.
// - HideLayer: hiding and showing again a layer holding half the lines.
// - Memory: the scene's own arrays (vertices, indices or runs, id table) against
//   the float vertex data of the segments (24 bytes each), and the peak
//   resident size by getrusage after the scene is built and after its first
//   frame (llvmpipe keeps the driver's copy of the buffers in the process).
//
// Needs a display with OpenGL: run it under
//   xvfb-run -a -s "-screen 0 1280x800x24" build-bench/bin/bench_SceneBatch

#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"

#include <QApplication>
#include <QImage>
#include <QtTest/QTest>

#include <osg/Geometry>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <memory>

namespace {

constexpr int ViewWidth = 1280;
constexpr int ViewHeight = 800;

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Segment i of a drawing of n: a grid of short diagonals, 1000 a row.
TPoint2D SegmentStart(int32_t i)
{
    return Point2D(i % 1000, std::floor(i / 1000.0));
}

TPoint2D SegmentEnd(int32_t i)
{
    const TPoint2D s = SegmentStart(i);
    return Point2D(s.X + 0.8, s.Y + 0.5);
}

osg::ref_ptr<osg::Geometry> ReferenceGeometry(int32_t count)
{
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->reserve(static_cast<size_t>(count) * 2);
    for (int32_t i = 0; i < count; ++i) {
        const TPoint2D a = SegmentStart(i);
        const TPoint2D b = SegmentEnd(i);
        vertices->push_back(osg::Vec3(static_cast<float>(a.X), static_cast<float>(a.Y), 0.0f));
        vertices->push_back(osg::Vec3(static_cast<float>(b.X), static_cast<float>(b.Y), 0.0f));
    }
    geometry->setVertexArray(vertices);
    osg::ref_ptr<osg::Vec4Array> color = new osg::Vec4Array;
    color->push_back(osg::Vec4(1, 1, 1, 1));
    geometry->setColorArray(color, osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices->size())));
    return geometry;
}

// A view with its widget, showing a drawing of n lines (the first half on
// layer 0, the rest on layer 1), or only the reference geometry.
struct TRig {
    TRig(int32_t count, bool reference) : Config(""), Count(count)
    {
        View = std::make_unique<TQVScene>(Config);
        View->SetDocument(&Document);
        Document.AddViewport(View.get());
        if (reference) {
            const auto start = std::chrono::steady_clock::now();
            osg::ref_ptr<osg::Geometry> geometry = ReferenceGeometry(count);
            BuildMs = Milliseconds(std::chrono::steady_clock::now() - start);
            View->SceneRoot()->addChild(geometry);
        } else {
            // Filled before the scene is installed: adding draws nothing.
            for (int32_t i = 0; i < count; ++i) {
                Document.AddObjectOnLayer(-1, i < count / 2 ? 0 : 1,
                                          std::make_unique<TLine2D>(0, SegmentStart(i), SegmentEnd(i)));
            }
            Services = std::make_unique<TViewServicesScope>(
                TViewServices{&View->SceneBuilder(), View.get(), nullptr, nullptr});
            const auto start = std::chrono::steady_clock::now();
            View->RebuildScene(false);
            BuildMs = Milliseconds(std::chrono::steady_clock::now() - start);
        }
        BuiltPeakMb = PeakMegabytes();
        Viewer = std::make_unique<TSceneViewer>(*View);
        Viewer->resize(ViewWidth, ViewHeight);
        Viewer->show();
        Shown = QTest::qWaitForWindowExposed(Viewer.get());
        View->ZoomToBox(TBox3D{{0, 0, 0, 1}, {1000, std::ceil(count / 1000.0), 0, 1}});
        const auto start = std::chrono::steady_clock::now();
        Frame();
        FirstFrameMs = Milliseconds(std::chrono::steady_clock::now() - start);
        FramePeakMb = PeakMegabytes();
    }
    ~TRig() { Document.RemoveViewport(View.get()); }

    void Frame()
    {
        const QImage frame = Viewer->grabFramebuffer();
        benchmark::DoNotOptimize(frame.constBits());
    }

    TAppConfig Config;
    TQV_01Cmp2D Document;
    int32_t Count;
    std::unique_ptr<TQVScene> View;
    std::unique_ptr<TViewServicesScope> Services;
    std::unique_ptr<TSceneViewer> Viewer;
    bool Shown = false;
    double BuildMs = 0;
    double FirstFrameMs = 0;
    double BuiltPeakMb = 0;
    double FramePeakMb = 0;
};

// One rig at a time (a million lines take their room); main drops the last
// one while the application still exists.
std::unique_ptr<TRig> g_Rig;
bool g_RigIsReference = false;

TRig& Rig(int32_t count, bool reference)
{
    if (!g_Rig || g_Rig->Count != count || g_RigIsReference != reference) {
        g_Rig.reset();
        g_Rig = std::make_unique<TRig>(count, reference);
        g_RigIsReference = reference;
    }
    return *g_Rig;
}

void SetCommonCounters(benchmark::State& state, const TRig& rig)
{
    state.counters["first frame ms"] = rig.FirstFrameMs;
    state.counters["peak MB built"] = rig.BuiltPeakMb;
    state.counters["peak MB after frame"] = rig.FramePeakMb;
}

void BM_Rebuild(benchmark::State& state)
{
    TRig& rig = Rig(static_cast<int32_t>(state.range(0)), false);
    for (auto _ : state)
        rig.View->RebuildScene(false);
    const double bytes = static_cast<double>(rig.View->SceneBuilder().BatchBytes());
    state.counters["scene MB"] = bytes / 1048576.0;
    state.counters["scene bytes/segment"] = bytes / static_cast<double>(rig.Count);
    state.counters["scene / float vertex data"] = bytes / (24.0 * rig.Count);
    SetCommonCounters(state, rig);
}

void BM_BareWalk(benchmark::State& state)
{
    TRig& rig = Rig(static_cast<int32_t>(state.range(0)), false);
    for (auto _ : state) {
        size_t visible = 0;
        TGraphicObjIterator it = rig.Document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            visible += rig.Document.Layers().GetLayer(object->Layer()).Visible() ? 1 : 0;
        benchmark::DoNotOptimize(visible);
    }
}

void BM_ReferenceBuild(benchmark::State& state)
{
    const auto count = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        osg::ref_ptr<osg::Geometry> geometry = ReferenceGeometry(count);
        benchmark::DoNotOptimize(geometry.get());
    }
}

void Frames(benchmark::State& state, bool reference)
{
    TRig& rig = Rig(static_cast<int32_t>(state.range(0)), reference);
    if (!rig.Shown) {
        state.SkipWithError("the viewer was not shown (no display?)");
        return;
    }
    for (auto _ : state)
        rig.Frame();
    SetCommonCounters(state, rig);
}

void BM_Frame(benchmark::State& state)
{
    Frames(state, false);
}

void BM_ReferenceFrame(benchmark::State& state)
{
    Frames(state, true);
}

// The call and the next frame, each timed apart.
template <class F> void CallThenFrame(benchmark::State& state, F&& call)
{
    TRig& rig = Rig(static_cast<int32_t>(state.range(0)), false);
    double callMs = 0;
    double frameMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call(rig);
        const auto called = std::chrono::steady_clock::now();
        rig.Frame();
        callMs += Milliseconds(called - start);
        frameMs += Milliseconds(std::chrono::steady_clock::now() - called);
    }
    state.counters["call ms"] = callMs / static_cast<double>(state.iterations());
    state.counters["next frame ms"] = frameMs / static_cast<double>(state.iterations());
}

void BM_AddOneLine(benchmark::State& state)
{
    CallThenFrame(state, [](TRig& rig) {
        rig.Document.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(500, 500)));
    });
}

void BM_DeleteOneLine(benchmark::State& state)
{
    // Lines of the first third, one after the other.
    static int32_t next = 0;
    CallThenFrame(state, [](TRig& rig) { rig.Document.DeleteObject(rig.Count / 3 + next++); });
}

void BM_HideLayer(benchmark::State& state)
{
    TRig& rig = Rig(static_cast<int32_t>(state.range(0)), false);
    for (auto _ : state) {
        rig.Document.ShowLayerObjects(1, false);
        rig.Document.ShowLayerObjects(1, true);
    }
    state.counters["lines of the layer"] = rig.Count / 2.0;
}

// The reference and the scene alternate, so that each size builds each rig
// once.
#define KB_SIZES ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3)
BENCHMARK(BM_ReferenceBuild) KB_SIZES;
BENCHMARK(BM_ReferenceFrame) KB_SIZES;
BENCHMARK(BM_Rebuild) KB_SIZES;
BENCHMARK(BM_BareWalk) KB_SIZES;
BENCHMARK(BM_Frame) KB_SIZES;
BENCHMARK(BM_AddOneLine)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteOneLine)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_HideLayer)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_Rig.reset();
    benchmark::Shutdown();
    return 0;
}
