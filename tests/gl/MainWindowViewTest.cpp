// What the view of the real main window shows on the screen after the
// commands of a first hour: a drawing command, the layer dialog, New and
// Open.

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/frmLayer.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using kbtest::ColourNear;
using kbtest::IsGreen;
using kbtest::IsRed;

bool IsWhite(QRgb c)
{
    return qRed(c) > 220 && qGreen(c) > 220 && qBlue(c) > 220;
}

// The sample plate's lower edge (layer 0, green) and its title (layer 3,
// white).
const std::vector<TPoint2D> PlateEdge{Point2D(30, 0), Point2D(80, 0), Point2D(130, 0)};

struct MainWindowView : ::testing::Test {
    MainWindowView() : Driver((Config.Path() / "Kestrabel 3").string(), kbtest::SampleDrawing())
    {
        EXPECT_TRUE(Driver.Ready());
    }

    TfrmMain& Window() const { return Driver.Program().MainWindow(); }
    TQVScene& Scene() const { return Driver.Program().Scene(); }
    TQV_01Cmp2D& Doc() const { return Driver.Program().Document(); }

    // The number of points of pts that show a colour passing test.
    int Shown(const QImage& view, const std::vector<TPoint2D>& pts, const kbtest::TColourTest& test) const
    {
        int n = 0;
        for (const TPoint2D& p : pts)
            n += ColourNear(view, Driver.Pixel(p), test) ? 1 : 0;
        return n;
    }
    unsigned EntityNodes() const
    {
        const TOsgSceneBuilder& builder = Scene().SceneBuilder();
        return builder.Node(builder.Group(TSceneGroup::Entity))->asGroup()->getNumChildren();
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TMainWindowDriver Driver;
};

TEST_F(MainWindowView, AfterACommandOrTheLayerDialogEveryEntityStaysShown)
{
    ASSERT_EQ(Shown(Driver.ShownView(), PlateEdge, IsGreen), 3);

    // A line drawn through the window, on the current layer (3, white).
    Driver.Key(Qt::Key_F4);
    Driver.ClickAt(Point2D(50, 90));
    Driver.ClickAt(Point2D(110, 90));
    ASSERT_FALSE(Driver.Program().Prg().Busy());
    const std::vector<TPoint2D> newLine{Point2D(60, 90), Point2D(80, 90), Point2D(100, 90)};
    QImage view = Driver.ShownView();
    EXPECT_EQ(Shown(view, PlateEdge, IsGreen), 3);
    EXPECT_EQ(Shown(view, newLine, IsWhite), 3);

    // The layer dialog's OK rebuilds the scene too.
    Window().mnuLayersClick();
    kbtest::TMainWindowDriver::Settle();
    ASSERT_TRUE(Window().LayerDialog().isVisible());
    QTest::mouseClick(&Window().LayerDialog().btnOk(), Qt::LeftButton);
    kbtest::TMainWindowDriver::Settle();
    view = Driver.ShownView();
    EXPECT_EQ(Shown(view, PlateEdge, IsGreen), 3);
    EXPECT_EQ(Shown(view, newLine, IsWhite), 3);
}

} // namespace
