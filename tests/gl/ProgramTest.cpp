// The program's start-up as main runs it, in a window. With KB_SCREENSHOT
// set to a file name, the first test saves the main window showing the
// sample drawing there (a PNG for a reviewer to look at).

#include "app/Program.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/FirstFrameReport.h"
#include "cad/ui/SceneViewer.h"
#include "core/settings/AppConfig.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/entities/VectFont.h"
#include "nc/grbl/MachineMarker.h"
#include "nc/editor/TextSimulation.h"
#include "nc/sim/TextOperation.h"
#include "nc/ui/NodraMain.h"
#include "nc/ui/SimulationServices.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using kbtest::TBytes;

std::string SamplePath()
{
    return std::string(KB_DATA_SOURCE_DIR) + "/samples/sample.kvx";
}

bool HasMessageWith(const kbtest::TRecordingNotifier& notifier, const std::string& part)
{
    for (const auto& m : notifier.Messages()) {
        if (m.Text.find(part) != std::string::npos)
            return true;
    }
    return false;
}

struct ProgramStart : ::testing::Test {
    std::unique_ptr<TProgram> Start(const std::string& programFolder, const std::string& file)
    {
        TStartOptions options;
        options.ProgramFolder = programFolder;
        options.ConfigFolder = (Config.Path() / "Kestrabel 3").string();
        options.FileToOpen = file;
        options.InstallMessageBoxes = false;
        auto program = std::make_unique<TProgram>(options);
        program->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->MainWindow()));
        return program;
    }

    // Waits for the start-up file's open, which runs once the window shows.
    static bool WaitForOpen(const TProgram& program)
    {
        return QTest::qWaitFor(
            [&] { return program.MainWindow().OpenedFile().Kind != TOpenedFileKind::None; }, 10000);
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
};

TEST_F(ProgramStart, ShowsTheDrawingNamedOnTheCommandLine)
{
    const auto program = Start(KB_DATA_DIR, SamplePath());
    ASSERT_TRUE(WaitForOpen(*program));
    EXPECT_TRUE(Notifier.Messages().empty()) << Notifier.Messages().front().Text;
    TfrmMain& window = program->MainWindow();
    EXPECT_EQ(window.OpenedFile().Kind, TOpenedFileKind::Document);
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("sample.kvx")));
    EXPECT_GT(program->Document().ObjectsCount(), 0);
    EXPECT_NO_THROW(CADSysFindFontByIndex(0));
    // The language file was read, the grid is on and built.
    EXPECT_EQ(window.menuBar()->actions().value(0)->text(), QStringLiteral("&File"));
    EXPECT_TRUE(program->Scene().GridEnabled());
    const TSceneNodeId grid = program->Scene().SceneBuilder().Group(TSceneGroup::Grid);
    EXPECT_GT(program->Scene().SceneBuilder().Node(grid)->asGroup()->getNumChildren(), 0u);
    // The settings folder was made.
    EXPECT_TRUE(std::filesystem::is_directory(program->Config().ConfigFolder() + "/gcode"));

    // The plate's lower edge (layer 0, the default layer colour green) is
    // on the screen, fitted into the view.
    const QImage frame = window.GraphicView().grabFramebuffer();
    for (const double x : {30.0, 80.0, 130.0}) {
        const TIntPoint p = program->Scene().PointToScreen(Point2D(x, 0));
        ASSERT_GT(p.X, 0);
        ASSERT_LT(p.Y, frame.height());
        EXPECT_TRUE(kbtest::ColourNear(frame, p, kbtest::IsGreen)) << "x " << x;
    }

    if (const char* shot = std::getenv("KB_SCREENSHOT")) {
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(shot)));
    }
}

TEST_F(ProgramStart, UnreadableFilesAreReportedAndStartUpGoesOn)
{
    // A program folder without fonts and languages, with a damaged block
    // library: its block section claims more blocks than the file holds.
    kbtest::TTempDir folder;
    kbtest::WriteFileBytes(folder.File("Library.blk"), TBytes().Str("QV-3.6").U8(2).I32(1000000).I16(1).Data());
    const std::string missing = Config.File("missing.kvx");
    const auto program = Start(folder.Path().string(), missing);
    ASSERT_TRUE(WaitForOpen(*program));

    EXPECT_TRUE(HasMessageWith(Notifier, "Library.blk"));
    EXPECT_TRUE(HasMessageWith(Notifier, "RomanC.fnd"));
    EXPECT_TRUE(HasMessageWith(Notifier, "english.lng"));
    // The file of the command line could not be opened: said, and the
    // program runs on.
    EXPECT_TRUE(HasMessageWith(Notifier, "missing.kvx"));
    EXPECT_EQ(program->MainWindow().OpenedFile().Kind, TOpenedFileKind::Failed);
    EXPECT_TRUE(program->MainWindow().isVisible());
    Notifier.Clear();
    program->MainWindow().FileCommands().OpenGeo(SamplePath(), false);
    EXPECT_GT(program->Document().ObjectsCount(), 0);
}

TEST_F(ProgramStart, OpensADrawingOfManySegmentsWhole)
{
    // Large drawings are timed by bench/OpenInWindow and bench/SceneBatch;
    // the batching of many segments into chunks is tested with the scene
    // builder. Here: every line of a drawing of several rows reaches the
    // scene and the view shows it whole.
    constexpr int32_t Count = 3000;
    const std::string file = Config.File("large.kvx");
    RegisterEntityClasses();
    {
        TQV_01Cmp2D document;
        for (int32_t i = 0; i < Count; ++i) {
            const double x = i % 1000;
            const double y = 1.0 + std::floor(i / 1000.0);
            document.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(x, y), Point2D(x + 0.8, y + 0.5)));
        }
        document.SaveToFile(file);
    }
    const auto program = Start(KB_DATA_DIR, file);
    ASSERT_TRUE(WaitForOpen(*program));
    EXPECT_TRUE(Notifier.Messages().empty());
    ASSERT_EQ(program->Document().ObjectsCount(), Count);
    const TOsgSceneBuilder& builder = program->Scene().SceneBuilder();
    const TSceneNodeId entities = builder.Group(TSceneGroup::Entity);
    EXPECT_EQ(builder.ObjectsIn(entities), static_cast<size_t>(Count));
    // The drawing fills the view: the first row and the last show.
    const double lastRow = 1.0 + std::floor((Count - 1) / 1000.0);
    const QImage frame = program->MainWindow().GraphicView().grabFramebuffer();
    for (const TPoint2D& p : {Point2D(0.4, 1.25), Point2D(999.4, lastRow + 0.25)}) {
        const TIntPoint pixel = program->Scene().PointToScreen(p);
        EXPECT_TRUE(kbtest::ColourNear(frame, pixel, kbtest::IsGreen, 2)) << pixel.X << "," << pixel.Y;
    }
}

TEST_F(ProgramStart, StartsAgainInTheSameProcess)
{
    // Every global that start-up sets is put back when the program goes.
    for (int i = 0; i < 2; ++i) {
        const auto program = Start(KB_DATA_DIR, "");
        EXPECT_EQ(program->Document().ObjectsCount(), 0);
        EXPECT_TRUE(Notifier.Messages().empty());
        // The simulator keeps the machine link's position marker.
        EXPECT_EQ(MachineMarker(), &program->Simulation().Simulator());
        // And it plays the G-code editor's text.
        EXPECT_NE(EditorSimulation(), nullptr);
    }
    EXPECT_EQ(MachineMarker(), nullptr);
    EXPECT_EQ(EditorSimulation(), nullptr);
}

TEST_F(ProgramStart, ReportsItsFirstFrameOnceAndLeavesTheEventLoop)
{
    TStartOptions options;
    options.ProgramFolder = KB_DATA_DIR;
    options.ConfigFolder = (Config.Path() / "Kestrabel 3").string();
    options.InstallMessageBoxes = false;
    TProgram program(options);
    TSceneViewer& view = program.MainWindow().GraphicView();
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ReportFirstFrame(view, out);
    program.Show();
    // Only a report that never comes lets this timer end the loop; it goes
    // with the test.
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    failSafe.start(60000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_GE(view.FrameCount(), 1u);
    // Left without closing: the window stands and nothing was asked.
    EXPECT_TRUE(program.MainWindow().isVisible());
    EXPECT_TRUE(Notifier.Messages().empty());

    // Later frames report nothing more.
    const uint64_t frames = view.FrameCount();
    view.update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.FrameCount() > frames; }, 10000));
    QCoreApplication::processEvents();
    std::rewind(out);
    std::string written(64, '\0');
    written.resize(std::fread(written.data(), 1, written.size(), out));
    std::fclose(out);
    EXPECT_EQ(written, "first-frame\n");
}

TEST_F(ProgramStart, EditorTextPlaysIntoTheView)
{
    const auto program = Start(KB_DATA_DIR, "");
    ShowNodraEditor();
    TNodraFrmMain* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = dynamic_cast<TNodraFrmMain*>(w))
            editor = e;
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    editor->CurrentEditor()->setText("G0 X20 Y20 Z5\nG1 Z-1 F300\nX80\nY80\nX20\nY20\nG0 Z5\n");
    QAction* play = editor->findChild<QAction*>("sbtPlay");
    QTest::mouseClick(editor->findChild<QToolBar*>("tbrSimulation")->widgetForAction(play), Qt::LeftButton);
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(program->Simulation().Simulator().LastPosition().EndPoint.X, 20.0);

    program->Scene().ZoomToBox(TBox3D{{0, 0, 0, 1}, {100, 100, 0, 1}});
    QTest::qWait(100);
    const QImage frame = program->MainWindow().GraphicView().grabFramebuffer();
    // The square in the feed colour (cyan).
    const auto cyan = [](QRgb c) { return qRed(c) < 100 && qGreen(c) > 160 && qBlue(c) > 160; };
    for (const TPoint2D p : {Point2D(50, 80), Point2D(80, 50), Point2D(50, 20), Point2D(20, 50)})
        EXPECT_TRUE(kbtest::ColourNear(frame, program->Scene().PointToScreen(p), cyan, 1)) << p.X << "," << p.Y;

    // Pictures for review (scripts/shots/text-simulation.sh).
    if (const QString folder = qEnvironmentVariable("KB_SHOTS_DIR"); !folder.isEmpty()) {
        EXPECT_TRUE(program->MainWindow().grab().save(folder + QStringLiteral("/text-simulation-view.png")));
        EXPECT_TRUE(editor->grab().save(folder + QStringLiteral("/text-simulation-editor.png")));
    }

    Notifier.DefaultAnswer = EUserAnswer::No;
    EXPECT_TRUE(CloseNodraEditor());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QImage after = program->MainWindow().GraphicView().grabFramebuffer();
    EXPECT_FALSE(kbtest::ColourNear(after, program->Scene().PointToScreen(Point2D(50, 80)), cyan, 1))
        << "the path goes with the editor";
}

} // namespace
