// The simulation page on the tool window (offscreen): the ruler's marks,
// the Z gauge's rows, play and stop from the real button while the loop
// runs, the neighbour operations, the memo, and the solid controls.

#include "app/toolwin/SimulatePage.h"
#include "app/toolwin/VertRuler.h"
#include "app/toolwin/frmToolWin.h"

#include "cad/program/QV_00Prog.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cam/ops/OpManager.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "core/entities/VectFont.h"
#include "nc/sim/OperationSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/solid/NcVisu.h"
#include "tests/cad/support/CADDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// --- Ruler and gauge as numbers ------------------------------------------------------

TEST(VertRuler, MarksOfTheSimulationPageRuler)
{
    TRulerLayout layout;
    layout.Width = 30;
    layout.Height = 150;
    layout.ScalaFactor = 5;
    layout.ScalaOffset = 75;
    layout.ScalaTextIncrement = -10;
    const TRulerMarks marks = RulerMarks(layout);
    std::vector<int32_t> majors;
    for (const TRulerTick& t : marks.Ticks)
        if (t.Major)
            majors.push_back(t.Y);
    EXPECT_EQ(majors, (std::vector<int32_t>{75, 125, 25}));
    ASSERT_EQ(marks.Labels.size(), 3u);
    EXPECT_EQ(marks.Labels[0].Text, "0");
    EXPECT_EQ(marks.Labels[0].Y, 71);
    EXPECT_EQ(marks.Labels[1].Text, "-10");
    EXPECT_EQ(marks.Labels[1].Y, 121);
    EXPECT_EQ(marks.Labels[2].Text, "10");
    EXPECT_EQ(marks.Labels[2].Y, 21);
    EXPECT_EQ(marks.Labels[0].X, 11);
    for (const TRulerTick& t : marks.Ticks)
        EXPECT_TRUE(t.Y >= 0 && t.Y < 150) << t.Y;
    // A minor tick every 5 rows from the top mark down: rows 25, 30, ...
    const bool row30 = std::any_of(marks.Ticks.begin(), marks.Ticks.end(),
                                   [](const TRulerTick& t) { return t.Y == 30 && t.X1 == 5; });
    EXPECT_TRUE(row30);

    layout.ScalaEdgePos = TPlaceVert::plRight;
    const TRulerMarks right = RulerMarks(layout);
    EXPECT_EQ(right.Ticks.front().X0, 28);
    EXPECT_EQ(right.Ticks.front().X1, 20);
    EXPECT_EQ(right.Labels.front().X, 10);

    layout.ScalaFactor = 0; // no step: nothing, no endless loop
    EXPECT_TRUE(RulerMarks(layout).Ticks.empty());
    EXPECT_EQ(RulerLabelText(3 * 0.1), "0.3");
    EXPECT_EQ(RulerLabelText(-0.0), "0");
}

TEST(VertRuler, SettersPaintAtOnce)
{
    QWidget parent;
    auto* ruler = new TVertRuler(&parent);
    EXPECT_EQ(ruler->geometry(), QRect(30, 122, 25, 300));
    EXPECT_EQ(ruler->ScalaOffset(), 100);
    EXPECT_EQ(ruler->ScalaFactor(), 2);
    parent.show();
    QApplication::processEvents();
    const int before = ruler->PaintCount();
    ruler->SetScalaFactor(3);
    EXPECT_EQ(ruler->PaintCount(), before + 1) << "painted without waiting for a paint message";
    ruler->SetScalaTextIncrement(-2.5);
    EXPECT_EQ(ruler->PaintCount(), before + 2);
}

TEST(ZGauge, RowsAndIncrements)
{
    struct TCase {
        double F, I;
        int32_t O;
        double Z;
        int32_t Row;
    };
    const TCase cases[] = {
        {5, -10, 75, -2, 85},     {3, -5, 75, -0.25, 76},  // 76.5 to even
        {3, -5, 75, 0.25, 74},    // 73.5 to even
        {2, -7, 75, -1.75, 80},   {1, -10, 0, 0, 0},      {4, -2, 150, -0.1, 152},
        {5, -10, 75, 0, 75},      {5, 0, 40, -3, 40}, // no increment: the offset
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ZGaugeRow(c.F, c.Z, c.I, c.O), c.Row) << c.F << " " << c.Z << " " << c.I << " " << c.O;
    const double increments[] = {-10, -7, -5, -2, -1, -1};
    for (int f = 1; f <= 6; ++f)
        EXPECT_EQ(ScaleTextIncrement(f), increments[f - 1]) << f;
}

// --- The page ---------------------------------------------------------------------------

// A clock that pumps the window events at every wait, as the program's
// does, and tells the test each time.
class TPumpClock final : public TSimClock {
public:
    uint64_t TickMs() override { return ++Ms; }
    void Sleep(uint32_t) override {}
    void ProcessMessages() override
    {
        ++Pumps;
        if (OnPump)
            OnPump(Pumps);
        QApplication::processEvents();
    }
    uint64_t Ms = 0;
    int Pumps = 0;
    std::function<void(int)> OnPump;
};

class TFakeSolid final : public TSolidSimulation {
public:
    void CreateSolid() override { Made = true, Calls.push_back("create"); }
    void FreeSolid() override { Made = false, Calls.push_back("free"); }
    bool HasSolid() const override { return Made; }
    void SetQuality(int32_t q) override { Calls.push_back("quality " + std::to_string(q)); }
    void RunSolid() override { Calls.push_back("run"); }
    void ShowStock() override { Calls.push_back("stock"); }
    bool Made = false;
    std::vector<std::string> Calls;
};

std::unique_ptr<TOpManagerField> LongOperation(double y, int moves, const std::string& comment)
{
    auto op = std::make_unique<TOpManagerField>(1);
    auto curve = std::make_unique<TCurvaNci3d>();
    for (int i = 0; i < moves; ++i)
        curve->AddVertex(TAVertice3d::CreateAt({double(i), y, -1.0 - (i % 3)}));
    op->Toolpaths.push_back(std::move(curve));
    op->Parameters->ZRapid = 5;
    op->Comment = comment;
    return op;
}

struct SimPage : ::testing::Test {
    SimPage() : Config("")
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Prg.SetViewPortGL(&View);
        Win = std::make_unique<TfrmToolWin>(Prg, Config, nullptr, KB_DATA_DIR);
        Sim.SetClock(&Clock);
        Sim.SetSpeed(8); // every move waits, so every move pumps
        Page = new TSimulatePage(*Win, Sim, Manager);
        Page->SetSolidSimulation(&Solid);
        A = Manager.AddOperation(LongOperation(0, 200, "first"));
        B = Manager.AddOperation(LongOperation(20, 200, "second"));
    }
    ~SimPage() override
    {
        Win.reset();
        Manager.DeleteAll();
        SetLanguageIni(nullptr);
        CADSysClearFontRegistry();
    }
    void Open(TOpManagerField& op)
    {
        Sim.SelectOperation(&SimOperation(op));
        Win->ShowPages({"tabSimulate"}, "twSim", 298, 300);
        Sim.Rewind();
        QApplication::processEvents();
    }
    void ClickTool(QAction& action)
    {
        auto* bar = qobject_cast<QToolBar*>(action.parent());
        ASSERT_NE(bar, nullptr);
        QWidget* button = bar->widgetForAction(&action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Clicks Play from a single-shot timer and returns once its loop ended.
    void PlayFromTimer()
    {
        bool ended = false;
        QTimer::singleShot(0, [&] {
            ClickTool(Page->sbtPlay());
            ended = true;
        });
        for (int i = 0; i < 2000 && !ended; ++i)
            QTest::qWait(1);
        ASSERT_TRUE(ended);
    }
    bool NeighboursAndStepsOn() const
    {
        return Page->sbtToStart().isEnabled() && Page->sbtStep().isEnabled() && Page->sbtNextOp().isEnabled() &&
               Page->sbtPrevOp().isEnabled();
    }
    bool NeighboursAndStepsOff() const
    {
        return !Page->sbtToStart().isEnabled() && !Page->sbtStep().isEnabled() && !Page->sbtNextOp().isEnabled() &&
               !Page->sbtPrevOp().isEnabled();
    }

    kbtest::TFakeCADView View;
    TAppConfig Config;
    TQV_00Prog Prg;
    TPumpClock Clock;
    TSimulatore2D Sim;
    TOpManager Manager;
    TFakeSolid Solid;
    std::unique_ptr<TfrmToolWin> Win;
    TSimulatePage* Page = nullptr;
    TOpManagerField* A = nullptr;
    TOpManagerField* B = nullptr;
};

TEST_F(SimPage, PlayTurnsTheButtonToStopAndStopRestoresIt)
{
    Open(*A);
    EXPECT_EQ(Page->PlayButtonImage(), TSimulatePage::PlayImage);
    bool checked = false;
    Clock.OnPump = [&](int pumps) {
        if (pumps != 5)
            return;
        checked = true;
        EXPECT_TRUE(Sim.InPlayLoop());
        EXPECT_EQ(Page->PlayButtonImage(), TSimulatePage::StopImage);
        EXPECT_TRUE(Page->PlayButtonStops());
        EXPECT_TRUE(NeighboursAndStepsOff());
        // The same button, now Stop, through its real click.
        ClickTool(Page->sbtPlay());
    };
    PlayFromTimer();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(Sim.InPlayLoop());
    EXPECT_LT(Sim.VertexIndex(), 20) << "stopped after a few moves";
    EXPECT_EQ(Page->PlayButtonImage(), TSimulatePage::PlayImage);
    EXPECT_TRUE(NeighboursAndStepsOn());
    EXPECT_EQ(&static_cast<TOpFieldSimOperation*>(Sim.CurrentOperation())->Operation(), A);
}

TEST_F(SimPage, HidingTheWindowStopsThePlayFirst)
{
    Open(*A);
    Clock.OnPump = [&](int pumps) {
        if (pumps == 3)
            Win->RequestHide(); // the close box
        if (pumps == 4) {
            EXPECT_TRUE(Win->isVisible()) << "hidden only once the loop has returned";
        }
    };
    PlayFromTimer();
    EXPECT_FALSE(Sim.InPlayLoop());
    EXPECT_FALSE(Win->isVisible());
    EXPECT_FALSE(Sim.OperationPrepared()) << "the hide finishes the simulation";
    EXPECT_LT(Clock.Pumps, 10);
    EXPECT_EQ(Page->PlayButtonImage(), TSimulatePage::PlayImage);
}

TEST_F(SimPage, NextAndPreviousOperation)
{
    Open(*A);
    ClickTool(Page->sbtNextOp());
    auto* simulated = dynamic_cast<TOpFieldSimOperation*>(Sim.CurrentOperation());
    ASSERT_NE(simulated, nullptr);
    EXPECT_EQ(&simulated->Operation(), B);
    ASSERT_GE(Page->MemoLineCount(), 3);
    EXPECT_EQ(Page->MemoLine(2), OperationCaption(*B));
    EXPECT_NE(Page->MemoLine(2).find("second"), std::string::npos);

    // On the last operation Next changes nothing.
    Sim.StepMove();
    Sim.StepMove();
    const int32_t vertex = Sim.VertexIndex();
    Page->MemoSetLine(2, "kept");
    ClickTool(Page->sbtNextOp());
    EXPECT_EQ(Sim.CurrentOperation(), &SimOperation(*B));
    EXPECT_EQ(Sim.VertexIndex(), vertex);
    EXPECT_EQ(Page->MemoLine(2), "kept");

    ClickTool(Page->sbtPrevOp());
    EXPECT_EQ(Sim.CurrentOperation(), &SimOperation(*A));
    EXPECT_EQ(Page->MemoLine(2), OperationCaption(*A));
}

TEST_F(SimPage, MemoHasNoContextMenu)
{
    Open(*A);
    QPlainTextEdit& memo = Page->MemoNc();
    bool popup = false;
    // Closes any menu that would open, so a failure cannot hang the test.
    QTimer::singleShot(50, [&] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            popup = true;
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), memo.viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(memo.viewport(), &event);
    QTest::qWait(80);
    EXPECT_FALSE(popup);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(SimPage, ScaleBarSetsTheIncrementAndMovesTheDepthPanels)
{
    Open(*A);
    for (int i = 0; i < 4; ++i)
        Sim.StepMove();
    auto* sca = Win->findChild<QSlider*>(QStringLiteral("TrackBarSca"));
    auto* active = Win->findChild<QFrame*>(QStringLiteral("pnlZAttiva"));
    auto* rapid = Win->findChild<QFrame*>(QStringLiteral("pnlZMinRapido"));
    auto* feed = Win->findChild<QFrame*>(QStringLiteral("pnlZMinLavoro"));
    ASSERT_TRUE(sca && active && rapid && feed);
    sca->setFocus();
    QTest::keyClick(sca, Qt::Key_Right); // 2 -> 3
    EXPECT_EQ(sca->value(), 3);
    EXPECT_EQ(Page->VertRuler1().ScalaFactor(), 3);
    EXPECT_EQ(Page->VertRuler1().ScalaTextIncrement(), -5.0);
    EXPECT_EQ(active->height(), ZGaugeRow(3, Sim.LastZShown(), -5, 75));
    EXPECT_EQ(rapid->y(), ZGaugeRow(3, Sim.LowestRapidZ(), -5, 75) - 1);
    EXPECT_EQ(feed->y(), ZGaugeRow(3, Sim.LowestFeedZ(), -5, 75) - 1);

    auto* offset = Win->findChild<QSlider*>(QStringLiteral("TrackBarOffset"));
    offset->setValue(100);
    EXPECT_EQ(Page->VertRuler1().ScalaOffset(), 100);
    EXPECT_EQ(active->height(), ZGaugeRow(3, Sim.LastZShown(), -5, 100));
}

TEST_F(SimPage, SolidControlsAndStockSize)
{
    Open(*A);
    auto* solid = Win->findChild<QCheckBox*>(QStringLiteral("chkSolidSim"));
    auto* size = Win->findChild<QToolButton*>(QStringLiteral("sbtMatSize"));
    auto* quality = Win->findChild<QSlider*>(QStringLiteral("TrackBarSol"));
    auto* panel = Win->findChild<QWidget*>(QStringLiteral("pnlSimula"));
    ASSERT_TRUE(solid && size && quality && panel);
    EXPECT_FALSE(quality->isEnabled());
    QTest::mouseClick(solid, Qt::LeftButton, {}, QPoint(6, solid->height() / 2));
    EXPECT_TRUE(Solid.Made);
    EXPECT_TRUE(quality->isEnabled());
    EXPECT_EQ(Win->height(), 300);
    QTest::mouseClick(size, Qt::LeftButton);
    EXPECT_EQ(Win->height(), 400);
    EXPECT_EQ(panel->height(), 390);
    QTest::mouseClick(size, Qt::LeftButton);
    EXPECT_EQ(Win->height(), 300);
    EXPECT_EQ(panel->height(), 290);
    quality->setValue(6);
    QTest::mouseClick(solid, Qt::LeftButton, {}, QPoint(6, solid->height() / 2));
    EXPECT_FALSE(Solid.Made);
    EXPECT_FALSE(quality->isEnabled());
    EXPECT_EQ(Solid.Calls, (std::vector<std::string>{"create", "stock", "stock", "stock", "quality 6", "free"}));

    // The simulator's own model, with its stock-size panel on the page.
    Page->SetSolidSimulation(nullptr);
    const auto edits = Win->findChildren<QLineEdit*>().size();
    QTest::mouseClick(solid, Qt::LeftButton, {}, QPoint(6, solid->height() / 2));
    ASSERT_NE(Sim.Solid(), nullptr);
    EXPECT_NE(Sim.Solid()->Panel(), nullptr);
    EXPECT_EQ(Win->findChildren<QLineEdit*>().size(), edits + 6) << "the stock-size panel's edits";
    QTest::mouseClick(solid, Qt::LeftButton, {}, QPoint(6, solid->height() / 2));
    EXPECT_EQ(Sim.Solid(), nullptr);
}

} // namespace
