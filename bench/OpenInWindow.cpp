// Opening a large DXF drawing in the program's window, beside the DXF
// import alone, both in the same run on the same file: a drawing of 100,000
// entities generated here (lines, arcs, circles and light-weight polylines
// on four layers).
//
// - Window: the program started as main starts it (settings in a scratch
//   folder), the file opened through the File/Open command
//   (TFileCommands::OpenGeo), then events processed until the view's first
//   frame holding the whole drawing has reached the screen (its window's
//   buffers swapped) with a node for every entity in the tree. The frame is
//   the one the program draws by itself; the bench asks for none. The
//   frames the view rendered during the open are a counter.
// - ImportOnly: ImportDXFFile into a document with no view and no tree.
// - BareFrame: what drawing the opened drawing costs at the least, the
//   floor under Window's first frame: a bare OSG viewer in a QOpenGLWidget
//   of the program view's size, with its camera, draws copies of the
//   view's line chunks (the same vertices and line-strip runs, in vertex
//   buffers); timed from the request of its first frame to that frame on
//   the screen. Runs after Window, whose chunks it copies.
// The ratios Window / ImportOnly (the aim: 3 or less) and BareFrame /
// ImportOnly are printed at the end.
//
// Needs a display with OpenGL and the program's data folder (the build's
// bin/): run it under
//   xvfb-run -a -s "-screen 0 1280x800x24" build-bench/bin/bench_OpenInWindow

#include "app/FileCommands.h"
#include "bench/ProgramWindow.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "io/dxf/DXFImportFile.h"

#include <QApplication>
#include <QEventLoop>
#include <QOpenGLWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <osg/Geometry>
#include <osg/Group>
#include <osgViewer/Viewer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include <unistd.h>

namespace {

constexpr int EntityCount = 100000;

std::filesystem::path g_Folder;
std::string g_File;
double g_WindowMs = 0;
double g_ImportMs = 0;
double g_BareMs = 0;

// What BareFrame draws, taken from the window's view.
struct TBareScene {
    osg::ref_ptr<osg::Group> Root;
    osg::Matrixd View;
    osg::Matrixd Projection;
    int Width = 0;
    int Height = 0;
    size_t Vertices = 0;
};
TBareScene g_Bare;

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Entity i sits in cell i of a grid 400 cells wide, 10 units a cell.
void WriteDrawing(const std::string& fileName)
{
    std::ofstream file(fileName, std::ios::binary);
    kbbench::TDxfWriter w(file);
    w.Pair(0, "SECTION");
    w.Pair(2, "ENTITIES");
    for (int i = 0; i < EntityCount; ++i) {
        const double x = (i % 400) * 10.0;
        const double y = (i / 400) * 10.0;
        const std::string layer = "L" + std::to_string(i % 4);
        switch (i % 4) {
        case 0:
            w.Pair(0, "LINE");
            w.Pair(8, layer);
            w.Pair(10, x);
            w.Pair(20, y);
            w.Pair(11, x + 8.0);
            w.Pair(21, y + 5.0);
            break;
        case 1:
            w.Pair(0, "ARC");
            w.Pair(8, layer);
            w.Pair(10, x + 5.0);
            w.Pair(20, y + 5.0);
            w.Pair(40, 4.0);
            w.Pair(50, 15.0);
            w.Pair(51, 200.0);
            break;
        case 2:
            w.Pair(0, "CIRCLE");
            w.Pair(8, layer);
            w.Pair(10, x + 5.0);
            w.Pair(20, y + 5.0);
            w.Pair(40, 3.0);
            break;
        default:
            w.Pair(0, "LWPOLYLINE");
            w.Pair(8, layer);
            w.Pair(90, "4");
            w.Pair(70, "1");
            for (const auto& [dx, dy, bulge] : {std::tuple{1.0, 1.0, 0.0}, std::tuple{9.0, 1.0, 0.4},
                                                std::tuple{9.0, 9.0, 0.0}, std::tuple{1.0, 9.0, 0.0}}) {
                w.Pair(10, x + dx);
                w.Pair(20, y + dy);
                if (bulge != 0.0)
                    w.Pair(42, bulge);
            }
            break;
        }
    }
    w.Pair(0, "ENDSEC");
    w.Pair(0, "EOF");
}

// The entity nodes below the root's layer nodes, without walking them.
int EntityNodesUnderLayers(const QTreeWidget& tree)
{
    const QTreeWidgetItem* root = tree.topLevelItemCount() > 0 ? tree.topLevelItem(0) : nullptr;
    int count = 0;
    for (int i = 0; root && i < root->childCount(); ++i)
        count += root->child(i)->childCount();
    return count;
}

// Whether a frame drawn now shows the whole drawing and the tree is full.
bool OpenComplete(TProgram& program)
{
    TOsgSceneBuilder& scene = program.Scene().SceneBuilder();
    const auto* tree = dynamic_cast<const QTreeWidget*>(program.Document().TreeGeo());
    return program.Document().ObjectsCount() == EntityCount &&
           scene.ObjectsIn(scene.Group(TSceneGroup::Entity)) == EntityCount && tree &&
           EntityNodesUnderLayers(*tree) == EntityCount;
}

// Deep copies of the view's entity chunks (vertices, colour, line-strip
// runs), so that nothing of the program's GL state comes along.
void KeepBareScene(TProgram& program)
{
    const TQVScene& scene = program.Scene();
    g_Bare = TBareScene{};
    g_Bare.Root = new osg::Group;
    osg::StateSet* state = g_Bare.Root->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    for (const osg::Geometry* chunk : scene.SceneBuilder().Chunks(TSceneGroup::Entity)) {
        osg::ref_ptr<osg::Geometry> copy = new osg::Geometry(*chunk, osg::CopyOp::DEEP_COPY_ALL);
        copy->setStateSet(nullptr);
        copy->setUseDisplayList(false);
        copy->setUseVertexBufferObjects(true);
        g_Bare.Vertices += copy->getVertexArray()->getNumElements();
        g_Bare.Root->addChild(copy);
    }
    g_Bare.View = scene.Camera().ViewMatrix();
    g_Bare.Projection = scene.Camera().ProjectionMatrix();
    g_Bare.Width = scene.ViewportWidth();
    g_Bare.Height = scene.ViewportHeight();
}

// An OSG viewer embedded in a QOpenGLWidget and nothing else.
class TBareView final : public QOpenGLWidget {
public:
    TBareView() : m_Viewer(new osgViewer::Viewer)
    {
        m_Viewer->setThreadingModel(osgViewer::Viewer::SingleThreaded);
        osg::Camera* camera = m_Viewer->getCamera();
        camera->setCullingMode(camera->getCullingMode() & ~osg::CullSettings::SMALL_FEATURE_CULLING);
        camera->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    }
    void Show(osg::Node* scene) { m_Viewer->setSceneData(scene); }

protected:
    void initializeGL() override { m_Window = m_Viewer->setUpViewerAsEmbeddedInWindow(0, 0, width(), height()); }
    void paintGL() override
    {
        m_Window->setDefaultFboId(defaultFramebufferObject());
        osg::Camera* camera = m_Viewer->getCamera();
        camera->setViewport(0, 0, g_Bare.Width, g_Bare.Height);
        camera->setViewMatrix(g_Bare.View);
        camera->setProjectionMatrix(g_Bare.Projection);
        m_Viewer->frame();
    }

private:
    osg::ref_ptr<osgViewer::Viewer> m_Viewer;
    osg::ref_ptr<osgViewer::GraphicsWindowEmbedded> m_Window;
};

void BM_ImportOnly(benchmark::State& state)
{
    TAppConfig config("");
    for (auto _ : state) {
        TQV_01Cmp2D document;
        const auto start = std::chrono::steady_clock::now();
        const TDXFImportResult result = ImportDXFFile(document, g_File, config);
        g_ImportMs = Milliseconds(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(g_ImportMs / 1000.0);
        if (document.ObjectsCount() != EntityCount)
            state.SkipWithError("the import did not read every entity");
        benchmark::DoNotOptimize(result.FileKind);
    }
}

void BM_Window(benchmark::State& state)
{
    for (auto _ : state) {
        const std::unique_ptr<TProgram> started = kbbench::StartProgramWindow(g_Folder / "config");
        if (!started) {
            state.SkipWithError("the window was not shown (no display?)");
            return;
        }
        TProgram& program = *started;
        TSceneViewer& view = program.MainWindow().GraphicView();
        std::optional<std::chrono::steady_clock::time_point> firstFrame;
        QEventLoop waiting;
        const QMetaObject::Connection swapped = QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&] {
            if (!firstFrame && OpenComplete(program)) {
                firstFrame = std::chrono::steady_clock::now();
                waiting.quit();
            }
        });
        const uint64_t framesBefore = view.FrameCount();
        const auto start = std::chrono::steady_clock::now();
        program.MainWindow().FileCommands().OpenGeo(g_File, false);
        if (!firstFrame) {
            QTimer::singleShot(60000, &waiting, &QEventLoop::quit);
            waiting.exec();
        }
        QObject::disconnect(swapped);
        if (!firstFrame) {
            state.SkipWithError("no frame showed the opened drawing");
            return;
        }
        g_WindowMs = Milliseconds(*firstFrame - start);
        state.SetIterationTime(g_WindowMs / 1000.0);
        state.counters["frames"] = static_cast<double>(view.FrameCount() - framesBefore);
        const auto* tree = dynamic_cast<const QTreeWidget*>(program.Document().TreeGeo());
        if (program.Document().ObjectsCount() != EntityCount || !tree || kbbench::EntityNodes(*tree) != EntityCount)
            state.SkipWithError("the drawing or the tree is not complete");
        KeepBareScene(program);
    }
}

void BM_BareFrame(benchmark::State& state)
{
    for (auto _ : state) {
        if (!g_Bare.Root) {
            state.SkipWithError("the window benchmark kept no scene");
            return;
        }
        TBareView view;
        view.resize(g_Bare.Width, g_Bare.Height);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view)) {
            state.SkipWithError("the bare view was not shown");
            return;
        }
        QCoreApplication::processEvents();
        bool swapped = false;
        QEventLoop waiting;
        QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&] {
            swapped = true;
            waiting.quit();
        });
        const auto start = std::chrono::steady_clock::now();
        view.Show(g_Bare.Root.get());
        view.update();
        QTimer::singleShot(60000, &waiting, &QEventLoop::quit);
        waiting.exec();
        if (!swapped) {
            state.SkipWithError("the bare view showed no frame");
            return;
        }
        g_BareMs = Milliseconds(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(g_BareMs / 1000.0);
        state.counters["vertices"] = static_cast<double>(g_Bare.Vertices);
    }
}

BENCHMARK(BM_ImportOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_Window)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    g_Folder = std::filesystem::temp_directory_path() / ("kb-open-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(g_Folder / "config");
    g_File = (g_Folder / "large.dxf").string();
    WriteDrawing(g_File);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_ImportMs > 0 && g_WindowMs > 0)
        std::printf("%d entities: window %.0f ms, import alone %.0f ms, ratio window / import = %.2f (aim <= 3)\n",
                    EntityCount, g_WindowMs, g_ImportMs, g_WindowMs / g_ImportMs);
    if (g_ImportMs > 0 && g_BareMs > 0)
        std::printf("floor: a bare OSG view drawing the same %zu vertices once %.0f ms, ratio bare frame / import = %.2f\n",
                    g_Bare.Vertices, g_BareMs, g_BareMs / g_ImportMs);
    g_Bare = TBareScene{};
    std::filesystem::remove_all(g_Folder);
    return 0;
}
