// The faults a new user met on the way from a drawing to G-code, each
// walked again through the real window and its events, with the frame
// read back where the fault showed: a chain pick after File > New drawing a
// freed line, typing into the comment of a deleted operation, a calculated
// toolpath that vanished, a simulation that did not move on the screen,
// Zoom all cutting a tall drawing and a slanted solid, Machining commands
// greyed for good, and the 3D stock hidden by the surface. The sanitizers
// of the test build turn a use of freed memory into a failure.

#include "tests/gl/MachiningRoadFixture.h"

#include "app/machining/MachiningContext.h"
#include "app/mainwin/OperationsTree.h"
#include "app/toolwin/SimulatePage.h"
#include "cam/ui/frmCncTab.h"
#include "cad/scene/QVScene.h"
#include "core/entities/QVGrezzo.h"
#include "core/entities/QV_STLSurf.h"
#include "nc/sim/OperationSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/ui/SimulationServices.h"
#include "tests/gl/PixelProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QSlider>
#include <QToolBar>

#include <algorithm>
#include <array>

namespace {

using kbtest::MachiningRoad;

// The toolpath's feed colour (settings "ToolPathG1", 0xFFFF00 as 0x00BBGGRR).
bool IsFeedCyan(QRgb c) { return qRed(c) < 90 && qGreen(c) > 170 && qBlue(c) > 170; }

int CountPixels(const QImage& frame, const kbtest::TColourTest& test)
{
    int count = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            count += test(frame.pixel(x, y)) ? 1 : 0;
    return count;
}

// Picks the item of a menu that is up: enabled, it runs its command as a
// click on it does (a greyed item does nothing); the menu closes.
void ClickMenuItem(QMenu& menu, QAction& item)
{
    EXPECT_TRUE(menu.actions().contains(&item));
    menu.hide();
    if (item.isEnabled() && item.isVisible())
        item.trigger();
    kbtest::TMainWindowDriver::Settle();
}

struct NewUserWalk : MachiningRoad {
    // Opens the main window's menu of that name under its title in the
    // menu bar.
    QMenu& OpenMenu(const char* name) const
    {
        auto& menu = Find<QMenu>(name);
        QMenuBar* bar = Window().menuBar();
        menu.popup(bar->mapToGlobal(bar->actionGeometry(menu.menuAction()).bottomLeft()));
        kbtest::TMainWindowDriver::Settle();
        return menu;
    }
    QAction& MenuItem(QMenu& menu, const char* name) const
    {
        auto* item = menu.findChild<QAction*>(QString::fromLatin1(name));
        if (!item)
            throw std::runtime_error(std::string("no ") + name);
        return *item;
    }
    // The Machining menu's command, picked from the menu bar.
    void Command(const char* name) const
    {
        QMenu& menu = OpenMenu("mnuCnc");
        ClickMenuItem(menu, MenuItem(menu, name));
    }
    // The operations tree's popup over the operation node, and its item.
    void TreePopup(int row, const char* name) const
    {
        Window().GeoCncTabs().setCurrentIndex(1);
        kbtest::TMainWindowDriver::Settle();
        QTreeWidgetItem* node = Root()->child(row);
        Tree().setCurrentItem(node);
        Menu().TreeCncContextPopup(Tree().visualItemRect(node).center());
        ClickMenuItem(Menu().PopupTreeCnc(), *Menu().PopupItem(name));
    }
    // The drawing's first STL surface, or null.
    TQV_STLSurf* Surface() const
    {
        TGraphicObjIterator it = Doc().ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            if (auto* surface = dynamic_cast<TQV_STLSurf*>(o))
                return surface;
        return nullptr;
    }
    void ShowSheet(const char* sheet) const
    {
        // Beside the main window, so the view shows on the screen.
        Tool().move(Window().frameGeometry().right() + 10, Window().y());
        Tool().pgCtrToolWin().setCurrentWidget(Tool().Sheet(sheet));
        kbtest::TMainWindowDriver::Settle();
    }
    // A contour around the rectangle, calculated and listed.
    TOpManagerField& CalculatedContour() const
    {
        TOpManagerField& op = Machining("mnuCncContour");
        Compensation(op, 1, "1.5");
        Click("sbtConCalculate");
        EXPECT_FALSE(Tool().isVisible());
        return op;
    }
};

// Chains > Chain after File > New: the pick of the first round must not
// stay in the overlay, and the pick box of a pick that a rebuild followed
// is drawn.
TEST_F(NewUserWalk, ChainPickAfterNewDrawsNoFreedObjectAndShowsItsPickBox)
{
    Notifier.Strict = false;
    Command("mnuCncContour");
    ASSERT_TRUE(Tool().isVisible());
    ShowSheet("tabChain");
    Click("sbtChain");
    // The pick box (the aperture of 5 pixels, red) around the pointer.
    const TPoint2D away = Point2D(20, 15);
    Driver->MoveTo(away);
    const TIntPoint c = Driver->Pixel(away);
    EXPECT_TRUE(kbtest::ColourNear(Driver->ShownView(), TIntPoint{c.X + 5, c.Y}, kbtest::IsRed, 1));
    Driver->ClickAt(Point2D(20, 0));
    ASSERT_EQ(MachiningContext()->CurrentOperation()->Chains.Count(), 1);
    Click("sbtConCancel");
    ASSERT_FALSE(Tool().isVisible());

    Notifier.QueueAnswer(EUserAnswer::Yes);
    Notifier.QueueAnswer(EUserAnswer::Yes);
    QMenu& file = OpenMenu("mnuFile");
    ClickMenuItem(file, MenuItem(file, "mnuNew"));
    ASSERT_EQ(Doc().ObjectsCount(), 0);

    Command("mnuCncContour");
    ASSERT_TRUE(Tool().isVisible());
    ShowSheet("tabChain");
    Click("sbtChain");
    Driver->MoveTo(away);
    Driver->MoveTo(Point2D(20, 1));
    // The freed edge is not drawn, the pick box is.
    const QImage frame = Driver->ShownView();
    const TIntPoint edge = Driver->Pixel(Point2D(30, 30));
    EXPECT_FALSE(kbtest::ColourNear(frame, edge, kbtest::IsRed, 1));
    EXPECT_TRUE(Program->Scene().HighlightList().empty());
    const TIntPoint pointer = Driver->Pixel(Point2D(20, 1));
    EXPECT_TRUE(kbtest::ColourNear(frame, TIntPoint{pointer.X - 5, pointer.Y}, kbtest::IsRed, 1));
    Driver->Key(Qt::Key_Escape);
}

// The pages of an operation being edited close when it is deleted, alone
// or with all others; typing where its comment was then reaches nothing.
TEST_F(NewUserWalk, DeletingTheEditedOperationClosesItsPagesFirst)
{
    // The commands of the tree popup's Delete and of Machining > New; their
    // items are greyed while the pages are up, the commands are not.
    const std::function<void(NewUserWalk&)> deletions[] = {
        [](NewUserWalk& t) { t.Menu().mnuDeleteOpClick(); },
        [](NewUserWalk& t) {
            t.Notifier.QueueAnswer(EUserAnswer::Yes);
            t.Menu().mnuNewClick();
        },
    };
    for (const auto& remove : deletions) {
        CalculatedContour();
        ASSERT_EQ(Root()->childCount(), 1);
        TreePopup(0, "mnuEditParam");
        ASSERT_TRUE(Tool().isVisible());
        ShowSheet("tabTool");
        auto& comment = Find<QLineEdit>("txtOpComment");
        QTest::mouseClick(&comment, Qt::LeftButton);
        QTest::keyClicks(&comment, QStringLiteral("first"));
        remove(*this);
        EXPECT_EQ(OpManager().Count(), 0);
        EXPECT_FALSE(Tool().isVisible());
        EXPECT_EQ(MachiningContext()->CurrentOpComment(), nullptr);
        EXPECT_EQ(MachiningContext()->CurrentOperation(), nullptr);
        if (auto* tabs = Window().findChild<TfrmCncTab*>(QStringLiteral("frmCncTab"))) {
            EXPECT_EQ(tabs->Tabs(), nullptr);
        }
        QTest::keyClicks(&comment, QStringLiteral("again"));
        Tree().setFocus();
        kbtest::TMainWindowDriver::Settle();
        Notifier.Clear();
    }
}

// A calculated toolpath is on the screen at once and stays through the
// scene rebuilds that follow.
TEST_F(NewUserWalk, CalculatedToolpathIsDrawnAndStays)
{
    CalculatedContour();
    kbtest::TMainWindowDriver::Settle();
    EXPECT_GT(CountPixels(Driver->ShownView(), IsFeedCyan), 100);
    Driver->Key(Qt::Key_F3); // Redraw rebuilds the scene
    EXPECT_GT(CountPixels(Driver->ShownView(), IsFeedCyan), 100);
}

// A clock of the test: the play's time runs only in its sleeps; some pumps
// let the window paint and read the frame back.
class TFramePumpClock final : public TSimClock {
public:
    uint64_t TickMs() override { return m_Now; }
    void Sleep(uint32_t ms) override { m_Now += ms; }
    void ProcessMessages() override
    {
        ++Pumps;
        if (Pumps % Every == 0 && OnPaintedPump) {
            kbtest::TMainWindowDriver::Settle();
            OnPaintedPump();
        } else {
            QCoreApplication::processEvents();
        }
    }
    int Pumps = 0;
    int Every = 3;
    std::function<void()> OnPaintedPump;

private:
    uint64_t m_Now = 0;
};

// The 2D simulation's tool and path move on the screen as the play goes on.
TEST_F(NewUserWalk, SimulationMovesOnTheScreenAsItPlays)
{
    TOpManagerField& op = CalculatedContour();
    (void)op;
    TreePopup(0, "mnuSimulate");
    ASSERT_TRUE(Tool().isVisible());
    auto* page = Tool().findChild<TSimulatePage*>(QStringLiteral("sheetSimulate"));
    ASSERT_NE(page, nullptr);
    // Speed 5: a pump after every move.
    Tool().findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(5);
    TSimulatore2D& sim = Program->Simulation().Simulator();
    TFramePumpClock clock;
    TSimClock* const programClock = sim.Clock();
    std::vector<QImage> shown;
    clock.OnPaintedPump = [&] { shown.push_back(Driver->ShownView()); };
    // The whole path that Calculate showed goes first.
    HideToolpaths(OpManager(), Program->Simulation().View());
    kbtest::TMainWindowDriver::Settle();
    const int hidden = CountPixels(Driver->ShownView(), IsFeedCyan);
    sim.SetClock(&clock);
    auto* bar = qobject_cast<QToolBar*>(page->sbtPlay().parent());
    QTest::mouseClick(bar->widgetForAction(&page->sbtPlay()), Qt::LeftButton);
    sim.SetClock(programClock);
    ASSERT_GE(shown.size(), 3u) << "the contour has enough moves for three looks";
    // Each look, three moves after the one before, shows the tool and the
    // path somewhere else.
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_NE(shown[i], shown[i - 1]) << "look " << i;
    EXPECT_GT(CountPixels(shown.back(), IsFeedCyan), hidden + 200);
    Tool().close();
}

// Zoom all (F2) fits a drawing taller than the view's shape and a solid in
// the slanted view whole, with a margin.
TEST_F(NewUserWalk, ZoomAllFitsTallDrawingsAndSlantedSolids)
{
    const auto inside = [this](const TIntPoint& p, const char* what) {
        const TQVScene& scene = Program->Scene();
        const int mx = scene.ViewportWidth() / 50;
        const int my = scene.ViewportHeight() / 50;
        EXPECT_GE(p.X, mx) << what;
        EXPECT_LE(p.X, scene.ViewportWidth() - mx) << what;
        EXPECT_GE(p.Y, my) << what;
        EXPECT_LE(p.Y, scene.ViewportHeight() - my) << what;
    };
    Doc().DeleteAllObjects();
    Doc().AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(18, 38)));
    Driver->Key(Qt::Key_F2);
    const QImage frame = Driver->ShownView();
    const QRgb background = frame.pixel(2, 2);
    for (const TPoint2D& p : {Point2D(9, 38), Point2D(9, 0), Point2D(0, 19), Point2D(18, 19)}) {
        const TIntPoint at = Driver->Pixel(p);
        inside(at, "frame edge");
        EXPECT_TRUE(kbtest::ColourNear(frame, at, [&](QRgb c) { return c != background; }, 1))
            << p.X << "," << p.Y;
    }

    Notifier.Strict = false;
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Window().FileCommands().OpenGeo(std::string(KB_FIXTURES_DIR) + "/app/machining/pyramid.stl", false);
    Click("sbtOpenDone");
    auto& view = Find<QToolBar>("tbrView");
    QTest::mouseClick(view.widgetForAction(view.findChild<QAction*>(QStringLiteral("sbtIsoView"))), Qt::LeftButton);
    Driver->Key(Qt::Key_F2);
    TQV_STLSurf* surface = Surface();
    ASSERT_NE(surface, nullptr);
    const TBox3D box = surface->Box3D();
    for (int corner = 0; corner < 8; ++corner) {
        const TPoint3D p{(corner & 1) ? box.SecondEdge.X : box.FirstEdge.X,
                         (corner & 2) ? box.SecondEdge.Y : box.FirstEdge.Y,
                         (corner & 4) ? box.SecondEdge.Z : box.FirstEdge.Z, 1};
        inside(Program->Scene().Point3DToScreen(p), "solid corner");
    }
}

// Edit G-code, Machine and Toolpath to geometry answer from the running
// program's menus.
TEST_F(NewUserWalk, MachiningHookCommandsAreReachable)
{
    Notifier.Strict = false;
    QMenu& machining = OpenMenu("mnuCnc");
    for (const char* name : {"mnuEditNc", "mnuCncGrbl"})
        EXPECT_TRUE(MenuItem(machining, name).isEnabled()) << name;
    Notifier.QueueFileName("");
    ClickMenuItem(machining, MenuItem(machining, "mnuEditNc"));
    EXPECT_NE(std::find(Notifier.Prompts().begin(), Notifier.Prompts().end(), "open"), Notifier.Prompts().end());

    QMenu& again = OpenMenu("mnuCnc");
    ClickMenuItem(again, MenuItem(again, "mnuCncGrbl"));
    QWidget* grbl = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("frmGRBL"))
            grbl = w;
    ASSERT_NE(grbl, nullptr);
    EXPECT_TRUE(grbl->isVisible());
    grbl->close();
    kbtest::TMainWindowDriver::Settle();

    CalculatedContour();
    Notifier.Clear();
    Notifier.QueueDialog("TTLP2Geo", [] { return 0; });
    EXPECT_TRUE(Menu().PopupItem("mnuTp2Geo")->isEnabled());
    TreePopup(0, "mnuTp2Geo");
    EXPECT_NE(std::find(Notifier.Prompts().begin(), Notifier.Prompts().end(), "dialog TTLP2Geo"),
              Notifier.Prompts().end());
}

// The translucent stock is drawn over the opaque surface: inside the
// surface's outline it tints the picture.
TEST_F(NewUserWalk, StockShowsOverTheSurface)
{
    ASSERT_NE(ParallelOverPyramid(), nullptr);
    // Beside the main window, so the view shows on the screen.
    Tool().move(Window().frameGeometry().right() + 10, Window().y());
    TQVGrezzo* stock = StockSolid();
    ASSERT_NE(stock, nullptr);
    TQV_STLSurf* surface = Surface();
    ASSERT_NE(surface, nullptr);
    const TBox3D box = surface->Box3D();
    // A point of the surface's slope, inside its outline.
    const TIntPoint at = Program->Scene().PointToScreen(
        Point2D(box.FirstEdge.X + (box.SecondEdge.X - box.FirstEdge.X) * 0.3,
                box.FirstEdge.Y + (box.SecondEdge.Y - box.FirstEdge.Y) * 0.5));
    kbtest::TMainWindowDriver::Settle();
    const QRgb with = Driver->ShownView().pixel(at.X, at.Y);
    Program->Scene().SceneBuilder().SetNodeVisible(stock->SceneNode(), false);
    Program->Scene().RepaintOverlay();
    kbtest::TMainWindowDriver::Settle();
    const QRgb without = Driver->ShownView().pixel(at.X, at.Y);
    Program->Scene().SceneBuilder().SetNodeVisible(stock->SceneNode(), true);
    EXPECT_GT(qBlue(with) - qRed(with), qBlue(without) - qRed(without) + 10)
        << std::hex << with << " " << without;
}

// The shipped samples hold every kind of operation with its toolpath: each
// opens from the operations tree with its own pages.
TEST(ShippedSamples, EveryOperationKindOpensItsPages)
{
    struct TSample {
        const char* File;
        std::vector<int> Kinds;
        const char* Page; // the page of the operation's own values
    };
    const TSample samples[] = {
        {"milling.kvx", {OpKind::Drilling, OpKind::Pocket, OpKind::Contour}, nullptr},
        {"laser.kvx", {OpKind::LaserEngrave, OpKind::LaserPocket, OpKind::LaserCut}, nullptr},
        {"lathe.kvx", {OpKind::LatheRough, OpKind::LatheFinish}, nullptr},
    };
    for (const TSample& sample : samples) {
        SCOPED_TRACE(sample.File);
        kbtest::TTempDir config;
        kbtest::TRecordingNotifier notifier;
        kbtest::TMainWindowDriver driver((config.Path() / "Kestrabel 3").string(),
                                         std::string(KB_DATA_SOURCE_DIR) + "/samples/" + sample.File);
        ASSERT_TRUE(driver.Ready());
        TfrmMain& window = driver.Program().MainWindow();
        ASSERT_EQ(OpManager().Count(), static_cast<int32_t>(sample.Kinds.size()));
        QTreeWidget& tree = window.MachiningMenu().TreeCnc();
        QTreeWidgetItem* root = tree.topLevelItem(0);
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->childCount(), static_cast<int>(sample.Kinds.size()));
        window.GeoCncTabs().setCurrentIndex(1);
        for (int i = 0; i < OpManager().Count(); ++i) {
            TOpManagerField& op = OpManager().Operation(i);
            EXPECT_EQ(op.Kind, sample.Kinds[static_cast<size_t>(i)]);
            EXPECT_GT(op.ToolpathVertexCount(), 1) << i;
            EXPECT_GT(op.Chains.Count(), 0) << i;
            tree.setCurrentItem(root->child(i));
            window.MachiningMenu().mnuEditParamClick();
            kbtest::TMainWindowDriver::Settle();
            EXPECT_TRUE(window.ToolWin().isVisible()) << i;
            EXPECT_GE(window.ToolWin().ShownPages().size(), 2u) << i;
            window.ToolWin().hide();
            kbtest::TMainWindowDriver::Settle();
        }
        window.MachiningMenu().DeleteAllOperations();
    }
}

// Pictures of the steps above for review (scripts/shots/new-user-walk.sh).
TEST_F(NewUserWalk, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Notifier.Strict = false;
    const auto shot = [&](const char* name) {
        kbtest::TMainWindowDriver::Settle();
        QTest::qWait(200);
        ASSERT_TRUE(Window().grab().save(folder + QStringLiteral("/walk-%1.png").arg(QLatin1String(name))));
    };
    Command("mnuCncContour");
    ShowSheet("tabChain");
    Click("sbtChain");
    Driver->MoveTo(Point2D(20, 15));
    shot("1-chain-pick-box");
    Driver->ClickAt(Point2D(20, 0));
    shot("2-chain-picked");
    Click("sbtConCancel");

    CalculatedContour();
    shot("3-calculated-toolpath");
    Driver->Key(Qt::Key_F3);
    shot("4-toolpath-after-redraw");

    QMenu& machining = OpenMenu("mnuCnc");
    QImage menu = kbtest::WithMenu(Window(), machining);
    menu.save(folder + QStringLiteral("/walk-5-machining-menu.png"));
    machining.hide();

    Menu().DeleteAllOperations();
    Doc().DeleteAllObjects();
    Doc().AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(18, 38)));
    Driver->Key(Qt::Key_F2);
    shot("6-zoom-all-tall");

    ParallelOverPyramid();
    shot("7-stock-over-surface");
    Tool().hide();
    auto& view = Find<QToolBar>("tbrView");
    QTest::mouseClick(view.widgetForAction(view.findChild<QAction*>(QStringLiteral("sbtIsoView"))), Qt::LeftButton);
    Driver->Key(Qt::Key_F2);
    shot("8-zoom-all-iso");
}

} // namespace
