// The simulation page in the running program: opened by a double click on
// an operation's toolpath node, played from its real button while the view
// draws the path, stopped; the whole-path item of the tree's popup with the
// machining time. With KB_SHOTS_DIR set, the disabled test ShotsForReview
// writes the page in a play and the toolpath dialog there
// (scripts/shots/simulation.sh runs it).

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/OperationsTree.h"
#include "app/toolwin/SimulatePage.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/scene/QVScene.h"
#include "cam/ops/OpManager.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/ui/TLP2Geo.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/ui/SimulationServices.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SimulationPage : ::testing::Test {
    SimulationPage()
    {
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }
    ~SimulationPage() override { OpManager().DeleteAll(); }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    TSimulatore2D& Sim() const { return Program->Simulation().Simulator(); }
    TSimulatePage& Page() const { return *Tool().findChild<TSimulatePage*>(QStringLiteral("sheetSimulate")); }
    QTreeWidget& Tree() const { return Window().MachiningMenu().TreeCnc(); }

    // A contour spiral of many short moves, listed and in the tree.
    TOpManagerField& AddSpiral()
    {
        auto op = std::make_unique<TOpManagerField>(1);
        op->Parameters->ZRapid = 5;
        op->Parameters->ToolData->Feed = 600;
        op->Parameters->ToolData->Diameter = 2;
        auto curve = std::make_unique<TCurvaNci3d>();
        for (int i = 0; i < 3000; ++i) {
            const double a = i * 0.05, r = 5 + i * 0.01;
            curve->AddVertex(TAVertice3d::CreateAt({r * std::cos(a), r * std::sin(a), -1}));
        }
        op->Toolpaths.push_back(std::move(curve));
        TOpManagerField& added = *OpManager().AddOperation(std::move(op));
        AddOperationNode(*Window().MachiningMenu().OperationsTree(), added);
        kbtest::TMainWindowDriver::Settle();
        return added;
    }
    // The operation's toolpath node, double-clicked.
    void OpenFromTree(TOpManagerField& op)
    {
        Window().GeoCncTabs().setCurrentIndex(1);
        kbtest::TMainWindowDriver::Settle();
        QTreeWidgetItem* toolpath = TOperationsTreeView::Operation(Tree().topLevelItem(0)->child(0))
                                        ? Tree().topLevelItem(0)->child(0)->child(1)
                                        : nullptr;
        ASSERT_NE(toolpath, nullptr);
        Tree().scrollToItem(toolpath);
        const QPoint at = Tree().visualItemRect(toolpath).center();
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, at);
        kbtest::TMainWindowDriver::Settle();
        (void)op;
    }
    void ClickPlay() const
    {
        auto* bar = qobject_cast<QToolBar*>(Page().sbtPlay().parent());
        QTest::mouseClick(bar->widgetForAction(&Page().sbtPlay()), Qt::LeftButton);
    }
    // Plays from a single-shot timer; during the play, after ms, runs
    // during() and stops with the button.
    void PlayThenStop(int ms, const std::function<void()>& during)
    {
        bool ended = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(ms, [&] {
                during();
                ClickPlay();
            });
            ClickPlay();
            ended = true;
        });
        for (int i = 0; i < 3000 && !ended; ++i)
            QTest::qWait(5);
        ASSERT_TRUE(ended);
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(SimulationPage, DoubleClickOpensThePageAndPlayDrawsThePath)
{
    TOpManagerField& op = AddSpiral();
    OpenFromTree(op);
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), std::vector<std::string>{"tabSimulate"});
    EXPECT_NE(Sim().CurrentOperation(), nullptr);
    Tool().findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(8);
    const QImage before = Driver->ShownView();
    bool wasPlaying = false;
    QImage during;
    PlayThenStop(400, [&] {
        wasPlaying = Sim().InPlayLoop();
        EXPECT_EQ(Page().PlayButtonImage(), TSimulatePage::StopImage);
        EXPECT_FALSE(Page().sbtNextOp().isEnabled());
        during = Driver->ShownView();
    });
    EXPECT_TRUE(wasPlaying);
    EXPECT_FALSE(Sim().InPlayLoop());
    EXPECT_GT(Sim().VertexIndex(), 2);
    EXPECT_LT(Sim().VertexIndex(), 2999) << "stopped before the end";
    EXPECT_EQ(Page().PlayButtonImage(), TSimulatePage::PlayImage);
    EXPECT_TRUE(Page().sbtNextOp().isEnabled());
    EXPECT_NE(during, before) << "the view shows the path as it plays";

    Tool().close(); // the close box
    kbtest::TMainWindowDriver::Settle();
    EXPECT_FALSE(Tool().isVisible());
}

// Every control of the page lies inside what the window shows of it, the
// solid group's row at the bottom too, in the normal and the tall size.
TEST_F(SimulationPage, EveryControlOfThePageIsOnScreen)
{
    TOpManagerField& op = AddSpiral();
    OpenFromTree(op);
    ASSERT_TRUE(Tool().isVisible());
    const auto offScreen = [&] {
        std::vector<std::string> cut;
        const QRect shown = Page().visibleRegion().boundingRect();
        for (QWidget* w : Page().findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (!w->isVisibleTo(&Page()) || name.isEmpty() || name.startsWith(QStringLiteral("qt_")))
                continue;
            const QRect r(w->mapTo(&Page(), QPoint(0, 0)), w->size());
            if (!shown.contains(r))
                cut.push_back(w->objectName().toStdString());
        }
        return cut;
    };
    EXPECT_EQ(offScreen(), std::vector<std::string>{});
    // The solid row: the check box shows its whole caption, nothing on it.
    auto& solid = *Tool().findChild<QCheckBox*>(QStringLiteral("chkSolidSim"));
    const QRect bar = Tool().findChild<QToolBar*>(QStringLiteral("tbrSimSol"))->geometry();
    EXPECT_GE(solid.width(), solid.sizeHint().width()) << "the caption is cut";
    EXPECT_FALSE(solid.geometry().intersects(bar));
    EXPECT_FALSE(Tool().findChild<QSlider*>(QStringLiteral("TrackBarSol"))->geometry().intersects(bar));
    auto& tall = *Tool().findChild<QToolButton*>(QStringLiteral("sbtMatSize"));
    tall.click();
    kbtest::TMainWindowDriver::Settle();
    EXPECT_EQ(offScreen(), std::vector<std::string>{}) << "tall";
    tall.click();
    kbtest::TMainWindowDriver::Settle();
    Tool().close();
}

TEST_F(SimulationPage, PopupShowsTheWholePathWithItsTime)
{
    AddSpiral();
    Tree().setCurrentItem(Tree().topLevelItem(0)->child(0));
    QAction* item = Window().MachiningMenu().PopupItem("mnuShowNci");
    ASSERT_NE(item, nullptr);
    item->trigger();
    const std::string info = Program->Scene().Hud().InfoText();
    EXPECT_EQ(info.rfind(LangText(LangKeys::String::SimMachiningTime), 0), 0u) << info;
    EXPECT_NE(info.find(':'), std::string::npos);
    EXPECT_EQ(OpManager().Operation(0).Shown, 1);
    item->trigger();
    EXPECT_EQ(OpManager().Operation(0).Shown, 0);
}

TEST_F(SimulationPage, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    TOpManagerField& op = AddSpiral();
    OpenFromTree(op);
    Tool().findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(8);
    PlayThenStop(1500, [&] {
        ASSERT_TRUE(Tool().grab().save(folder + QStringLiteral("/simulation-page.png")));
        ASSERT_TRUE(Window().grab().save(folder + QStringLiteral("/simulation-window.png")));
    });
    Tool().close();
    Notifier.QueueDialog("TTLP2Geo", [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = dynamic_cast<TTLP2Geo*>(w)) {
                dialog->show();
                QTest::qWait(200);
                EXPECT_TRUE(dialog->grab().save(folder + QStringLiteral("/simulation-tlp2geo.png")));
            }
        return 0;
    });
    Tree().setCurrentItem(Tree().topLevelItem(0)->child(0));
    Window().MachiningMenu().PopupItem("mnuTp2Geo")->trigger();
}

} // namespace
