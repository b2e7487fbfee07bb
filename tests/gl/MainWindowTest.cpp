// The main window's dock and shell duties, on the program as main starts
// it: the properties panel follows the drawing, the end of a command, the
// dialogs, and a shut-down that leaves nothing installed behind.

#include "app/Program.h"

#include "app/FileCommands.h"
#include "cad/states/DrawSizedStates.h"
#include "cad/states/DrawStateParams.h"
#include "app/frmMain.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "cad/panel/SetGrid.h"
#include "cad/program/ShellServices.h"
#include "cad/ui/InfoEdit.h"
#include "cad/ui/frmGrid.h"
#include "cad/ui/frmLayer.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/ViewInterfaces.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QDockWidget>
#include <QTabWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The IDs of the entity nodes of the tree, in tree order.
std::vector<int32_t> EntityNodes(TGeoTreeView& tree)
{
    std::vector<int32_t> ids;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if (TGeoTreeView::NodeLevel(*it) == 2)
            ids.push_back(TGeoTreeView::NodeData(*it));
    }
    return ids;
}

// Ends on Accept (the command stands in for a transform command, which
// names itself the running operation).
class TUntilAccept : public TQV_00State {
public:
    TUntilAccept(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param)) {}
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override
    {
        if (!event.IsUser(TCADUserEvent::Accept))
            return false;
        nextState = nullptr;
        return true;
    }
};

struct MainWindow : ::testing::Test {
    MainWindow()
    {
        TStartOptions options;
        options.ProgramFolder = KB_DATA_DIR;
        options.ConfigFolder = (Config.Path() / "Kestrabel 3").string();
        options.InstallMessageBoxes = false;
        Program = std::make_unique<TProgram>(options);
        Program->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Program->MainWindow()));
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    int32_t AddLine(double y) const
    {
        return Doc().AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, y), Point2D(10, y)))->ID();
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<TProgram> Program;
};

TEST_F(MainWindow, ThePanelIsDockedAndFollowsTheDrawing)
{
    TInfoEdit& panel = Window().InfoEdit();
    EXPECT_EQ(Window().dockWidgetArea(&Window().ToolDock()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(Window().GeoCncTabs().currentIndex(), 0);
    EXPECT_EQ(Doc().TreeGeo(), &panel.TreeGeo());
    EXPECT_EQ(ActiveLiveReadout(), &panel);
    EXPECT_EQ(InfoEditPanel(), &panel.Model());
    // The language file's texts reached the dock's tabs.
    EXPECT_EQ(Window().GeoCncTabs().tabText(0), QStringLiteral("Geometry"));

    const int32_t a = AddLine(0);
    const int32_t b = AddLine(5);
    EXPECT_EQ(EntityNodes(panel.TreeGeo()), (std::vector<int32_t>{a, b}));
    Doc().DeleteObject(a);
    EXPECT_EQ(EntityNodes(panel.TreeGeo()), (std::vector<int32_t>{b}));
}

TEST_F(MainWindow, OpeningADocumentRebuildsTheTree)
{
    // A file of two lines, written by a document of its own.
    const std::string file = Config.File("two.kvx");
    {
        TQV_01Cmp2D source;
        source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 0)));
        source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 1), Point2D(1, 1)));
        source.SaveToFile(file);
    }
    for (int i = 0; i < 3; ++i)
        AddLine(i);
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Window().FileCommands().OpenGeo(file, false);
    ASSERT_EQ(Doc().ObjectsCount(), 2);
    // The replaced drawing's nodes are gone; the file's IDs start again at 0.
    EXPECT_EQ(EntityNodes(Window().InfoEdit().TreeGeo()), (std::vector<int32_t>{0, 1}));

    // A merge only adds.
    Window().FileCommands().OpenGeo(file, true);
    EXPECT_EQ(EntityNodes(Window().InfoEdit().TreeGeo()).size(), 4u);
}

TEST_F(MainWindow, TheEndOfACommandHidesTheToolWindowAndKeepsTheMachiningTab)
{
    TQV_00Prog& prg = Program->Prg();
    Window().ToolWin().ShowPages({"tabTranslate"}, "twTrans", 250, 214);
    Window().GeoCncTabs().setCurrentIndex(1);
    prg.UsaSnap = true;
    ASSERT_TRUE(prg.StartOperation(StateClassOf<TUntilAccept>()));
    prg.SetOperationClass(StateClassOf<TQV_81TraslaSelectedObjects>());
    prg.SendUserEvent(TCADUserEvent::Accept);
    EXPECT_FALSE(Window().ToolWin().isVisible());
    EXPECT_FALSE(prg.UsaSnap);
    // The panel is refreshed only while its own tab is shown.
    EXPECT_EQ(Window().GeoCncTabs().currentIndex(), 1);

    // The shell's tool-window fields are the window's.
    ShellServices().SetToolWinChecked(TToolWinCheck::OffsetMove, true);
    EXPECT_TRUE(ShellServices().ToolWinChecked(TToolWinCheck::OffsetMove));
    ShellServices().SetGridButtonDown(true);
    EXPECT_TRUE(Window().GridButtonDown());
}

TEST_F(MainWindow, TheViewMenuOpensTheDialogsOnTheDrawing)
{
    EXPECT_EQ(Window().LayerDialog().Document(), &Doc());
    Window().mnuLayersClick();
    EXPECT_TRUE(Window().LayerDialog().isVisible());
    Window().LayerDialog().reject();
    Window().mnuGridClick();
    EXPECT_TRUE(Window().GridDialog().isVisible());
    Window().GridDialog().reject();

    // Grid snap switched anywhere shows on the main window.
    EXPECT_EQ(GridSetter().Program(), &Program->Prg());
    GridSetter().SetSnapToGrid(true);
    EXPECT_TRUE(Program->Prg().Snap2Grid);
    EXPECT_TRUE(Window().SnapToGridShown());
    GridSetter().SetSnapToGrid(false);
}

TEST_F(MainWindow, TheDrawMenuStartsItsCommands)
{
    TQV_00Prog& prg = Program->Prg();
    auto* line = Window().findChild<QAction*>(QStringLiteral("mnuLineEndPt"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("&Line")); // the language file's text
    prg.UsaSnap = false;
    line->trigger();
    EXPECT_EQ(prg.OperationClass(), StateClassOf<TQV_40DrawSizedPrimitive>());
    auto* param = dynamic_cast<TQV_40DrawSizedPrimitiveParam*>(prg.CurrentState()->Param());
    ASSERT_NE(param, nullptr);
    EXPECT_NE(dynamic_cast<TLine2D*>(param->Primitive()), nullptr);
    EXPECT_EQ(param->PointCount, 2);
    EXPECT_TRUE(prg.UsaSnap);

    // The rectangle draws with ortho off and keeps the switch for its end.
    prg.UseOrto = true;
    auto* rectangle = Window().findChild<QAction*>(QStringLiteral("sbtRectangle"));
    ASSERT_NE(rectangle, nullptr);
    rectangle->trigger();
    EXPECT_EQ(prg.OperationClass(), StateClassOf<TQV_40DrawSizedPrimitive>());
    EXPECT_FALSE(prg.UseOrto);
    EXPECT_TRUE(Window().EndOperation().OrthoSaved());
}

TEST_F(MainWindow, ShutDownLeavesNothingInstalled)
{
    AddLine(0);
    Window().mnuGridClick();
    Program.reset();
    EXPECT_EQ(ActiveLiveReadout(), nullptr);
    EXPECT_EQ(InfoEditPanel(), nullptr);
    EXPECT_EQ(GridSetter().Program(), nullptr);
    EXPECT_EQ(GridSetter().OnShowSnapToGrid, nullptr);
    EXPECT_EQ(SetShellServices(nullptr), nullptr);
}

} // namespace
