// What the view of the real main window shows on the screen after the
// commands of a first hour: a drawing command, the layer dialog, New and
// Open.

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/ui/InfoEdit.h"
#include "cad/ui/frmLayer.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
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

TEST_F(MainWindowView, NewShowsAnEmptyDrawingAndOpenOnlyTheFile)
{
    Window().mnuNewClick();
    kbtest::TMainWindowDriver::Settle();
    ASSERT_EQ(Doc().ObjectsCount(), 0);
    EXPECT_EQ(EntityNodes(), 0u);
    EXPECT_EQ(Shown(Driver.ShownView(), PlateEdge, IsGreen), 0);
    // Nor does a zoom bring the old drawing back.
    Scene().ZoomAt(std::nullopt, 1.2);
    kbtest::TMainWindowDriver::Settle();
    EXPECT_EQ(Shown(Driver.ShownView(), PlateEdge, IsGreen), 0);

    // Files of one red diagonal across where the plate was, as a document
    // and as a DXF file.
    const std::string document = Config.File("diagonal.kvx");
    {
        TQV_01Cmp2D source;
        source.Layers().GetLayer(0).SetPenColor(0x000000FF);
        source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(-10, -10), Point2D(170, 110)));
        source.SaveToFile(document);
    }
    const std::string dxf = Config.File("diagonal.dxf");
    kbtest::WriteFileText(dxf, "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\n0\n62\n1\n0\nENDTAB\n"
                               "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n-10\n20\n-10\n11\n170\n"
                               "21\n110\n0\nENDSEC\n0\nEOF\n");
    for (const std::string& file : {document, dxf}) {
        SCOPED_TRACE(file);
        // Back to the sample first: Open replaces a drawing that holds
        // objects.
        Window().FileCommands().OpenGeo(kbtest::SampleDrawing(), false);
        Window().FileCommands().OpenGeo(file, false);
        // A DXF file comes with its placement page, which is left as set.
        Window().ToolWin().RequestHide();
        kbtest::TMainWindowDriver::Settle();
        ASSERT_EQ(Doc().ObjectsCount(), 1);
        EXPECT_EQ(EntityNodes(), 1u);
        const QImage view = Driver.ShownView();
        EXPECT_EQ(Shown(view, PlateEdge, IsGreen), 0);
        EXPECT_EQ(Shown(view, {Point2D(35, 20), Point2D(80, 50), Point2D(125, 80)}, IsRed), 3);
    }
}

TEST_F(MainWindowView, TheLayerButtonAndThePanelFollowTheDrawing)
{
    const auto button = [&] { return Window().findChild<QToolButton*>(QStringLiteral("sbtLayer"))->text(); };
    const auto colour = [&] {
        return Window().findChild<QLabel*>(QStringLiteral("SpTBXCLCol"))->palette().color(QPalette::Window);
    };
    // The sample's current layer is its text layer (3, white).
    ASSERT_EQ(Doc().CurrentLayer(), 3);
    EXPECT_TRUE(button().endsWith(QStringLiteral(" 3")));
    EXPECT_EQ(colour(), QColor(Qt::white));

    // An entity's page on the panel goes with its drawing.
    TInfoEdit& panel = Window().InfoEdit();
    for (const bool openInstead : {false, true}) {
        SCOPED_TRACE(openInstead ? "Open" : "New");
        Window().FileCommands().OpenGeo(kbtest::SampleDrawing(), false);
        int32_t id = -1;
        {
            TGraphicObjIterator it = Doc().ObjectsIterator();
            id = it.First()->ID();
        }
        panel.ShowObject(*Doc().GetObject(id));
        ASSERT_EQ(panel.Model().EditedObjectID(), id);
        if (openInstead)
            Window().FileCommands().OpenGeo(kbtest::SampleDrawing(), false);
        else
            Window().mnuNewClick();
        EXPECT_EQ(panel.Model().PageKind(), TPanelPageKind::None);
        EXPECT_EQ(panel.Model().EditedObject(), nullptr);
        EXPECT_EQ(panel.Model().RowCount(), 0);
    }
}

} // namespace
