// Frames of a first hour in the real main window, for a person to look at:
// runs only when KB_SHOTS_DIR names a folder (scripts/shots/first-hour.sh),
// and writes one PNG of the whole window per step there.

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "cad/program/QV_00Prog.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QScreen>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

TEST(FirstHourShots, WritesTheFramesOfAFirstHour)
{
    const char* folder = std::getenv("KB_SHOTS_DIR");
    if (!folder || !*folder)
        GTEST_SKIP() << "KB_SHOTS_DIR is not set";
    std::filesystem::create_directories(folder);
    kbtest::TTempDir config;
    kbtest::TRecordingNotifier notifier;
    kbtest::TMainWindowDriver driver((config.Path() / "Kestrabel 3").string(), kbtest::SampleDrawing());
    ASSERT_TRUE(driver.Ready());
    TfrmMain& window = driver.Program().MainWindow();
    int n = 0;
    const auto shot = [&](const std::string& name) {
        kbtest::TMainWindowDriver::Settle();
        const QString file = QString::fromStdString(std::string(folder) + "/" + std::to_string(++n) + "-" + name + ".png");
        EXPECT_TRUE(window.screen()->grabWindow(window.winId()).save(file)) << file.toStdString();
    };
    shot("sample");

    // A line with F4 and two clicks; the band while it is drawn.
    driver.Key(Qt::Key_F4);
    driver.ClickAt(Point2D(50, 90));
    driver.MoveTo(Point2D(110, 85));
    shot("line-band");
    driver.ClickAt(Point2D(110, 90));
    shot("line-drawn");

    // An open polyline ended with Enter.
    window.findChild<QAction*>(QStringLiteral("sbtPoly"))->trigger();
    driver.ClickAt(Point2D(45, 30));
    driver.ClickAt(Point2D(80, 35));
    driver.ClickAt(Point2D(115, 30));
    driver.Key(Qt::Key_Return);
    shot("polyline-enter");

    // A command left with Esc.
    driver.Key(Qt::Key_F4);
    driver.ClickAt(Point2D(20, 50));
    driver.MoveTo(Point2D(140, 60));
    driver.Key(Qt::Key_Escape);
    shot("esc");

    window.mnuNewClick();
    shot("new");

    const std::string dxf = "/usr/share/openscad/testdata/dxf/transform-insert.dxf";
    if (std::filesystem::exists(dxf)) {
        window.FileCommands().OpenGeo(dxf, false);
        shot("open-dxf-blocks");
    }
    window.FileCommands().OpenGeo(kbtest::SampleDrawing(), false);
    shot("open-sample");
}

} // namespace
