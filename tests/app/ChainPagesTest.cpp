// The chain and drilling-point pages of the tool window, clicked through
// their buttons (offscreen): building, reversing and deleting chains,
// reusing the last operation's chains, the drilling points with their arc
// filter and sorting, the picks they start, and the chain context they are.

#include "app/toolwin/ChainPages.h"

#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cam/chains/ChainContext.h"
#include "cam/chains/ChainPicking.h"
#include "cam/chains/EntXCatena.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Punto2D.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QLabel>
#include <QPushButton>

namespace {

using kbtest::MachiningPages;

class ChainPages : public MachiningPages {
protected:
    void AddRectangle(double x, double y, double size)
    {
        Doc.AddObject(-1, std::make_unique<TFrame2D>(-1, TPoint2D{x, y, 1}, TPoint2D{x + size, y + size, 1}));
    }
    void AddCircle(double x, double y, double diameter)
    {
        Doc.AddObject(-1, std::make_unique<TCerchio2D>(-1, TPoint2D{x, y, 1}, TPoint2D{x + diameter / 2, y, 1}));
    }
    void AddPoint(double x, double y) { Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, TPoint2D{x, y, 1})); }

    static int PointCount(const TListaCatene& chains)
    {
        int n = 0;
        for (int i = 0; i < chains.Count(); ++i)
            n += static_cast<int>(chains[i].Vertices.size());
        return n;
    }
    // The points of every chain in order, "x,y x,y".
    static std::string Points(const TListaCatene& chains)
    {
        std::string s;
        for (int i = 0; i < chains.Count(); ++i)
            for (const TAVertice& v : chains[i].Vertices)
                s += (s.empty() ? "" : " ") + std::to_string(int(v.EndPoint.X)) + "," + std::to_string(int(v.EndPoint.Y));
        return s;
    }
    // The first chain's arrow nodes as numbers.
    static std::vector<double> Arrows(TListaCatene& chains)
    {
        std::vector<double> xy;
        for (const TVector3D& v : chains.ChainAt(0)->ArrowLines().Nodes) {
            xy.push_back(v.X);
            xy.push_back(v.Y);
        }
        return xy;
    }
    QPushButton& SortButton(int corner)
    {
        const std::string name = "sbtDrilSort" + std::to_string(corner);
        return Find<QPushButton>(name.c_str());
    }
};

TEST_F(ChainPages, BuildReverseAndDeleteChains)
{
    AddRectangle(0, 0, 10);
    AddRectangle(20, 0, 10);
    AddRectangle(40, 0, 10);
    TOpManagerField& op = NewOperation(OpKind::Contour);
    Win->ShowPages({"tabTool", "tabChain"}, "twContour", 494, 428);
    Win->pgCtrToolWin().setCurrentWidget(Win->Sheet("tabChain"));
    EXPECT_EQ(Win->width(), 348);

    Click("sbtChainAll");
    ASSERT_EQ(op.Chains.Count(), 3);
    EXPECT_EQ(Find<QLabel>("lblChainInfo").text(), QStringLiteral("3 closed chains"));

    // Reversing twice gives the arrows of before.
    Find<QComboBox>("cboCCDir").setCurrentIndex(1);
    op.Chains.Redraw(false);
    const std::vector<double> arrows = Arrows(op.Chains);
    ASSERT_FALSE(arrows.empty());
    Click("sbtChainRev");
    EXPECT_EQ(op.Chains.DirectionReversed, 1);
    EXPECT_NE(Arrows(op.Chains), arrows);
    Click("sbtChainRev");
    EXPECT_EQ(op.Chains.DirectionReversed, 0);
    EXPECT_EQ(Arrows(op.Chains), arrows);

    // The chain list window lists them, on top.
    Click("sbtChainsSet");
    auto* chainSet = Win->findChild<QDialog*>(QStringLiteral("frmChainSet"));
    ASSERT_NE(chainSet, nullptr);
    EXPECT_TRUE(chainSet->isVisible());
    EXPECT_EQ(chainSet->findChild<QListWidget*>(QStringLiteral("lsvChain"))->count(), 3);
    chainSet->close();

    Click("sbtDelLastChain");
    EXPECT_EQ(op.Chains.Count(), 2);
    EXPECT_EQ(Find<QLabel>("lblChainInfo").text(), QStringLiteral("2 closed chains"));
    Click("sbtDelAllChains");
    EXPECT_EQ(op.Chains.Count(), 0);
    Win->hide();
}

TEST_F(ChainPages, ReuseTheLastOperationsChainsWithinAGroup)
{
    AddRectangle(0, 0, 10);
    struct TCase {
        int Last;
        int Current;
        const char* Button;
        bool Copied;
    };
    const TCase cases[] = {
        {OpKind::Pocket, OpKind::Contour, "sbtChainLast", true},
        {OpKind::Contour, OpKind::Pocket, "sbtChainLast", true},
        {OpKind::Drilling, OpKind::Contour, "sbtChainLast", false},
        {OpKind::Letters, OpKind::Contour, "sbtChainLast", false},
        {OpKind::LatheRough, OpKind::LatheFinish, "sbtChainLast", true},
        {OpKind::Drilling, OpKind::Drilling, "sbtChainPtLast", true},
        {OpKind::Contour, OpKind::Drilling, "sbtChainPtLast", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Last) + " -> " + std::to_string(c.Current));
        OpManager().DeleteAll();
        TOpManagerField& last = ListedOperation(c.Last);
        TTuttoInCatena(Doc, last.Chains);
        last.Chains.DirectionReversed = 1;
        TOpManagerField& op = NewOperation(c.Current);
        Click(c.Button);
        EXPECT_EQ(op.Chains.Count(), c.Copied ? 1 : 0);
        EXPECT_EQ(op.Chains.DirectionReversed, c.Copied ? 1 : 0);
        Context.FreeNewOperation();
    }

    // A listed operation edited again does not copy its own chains onto
    // themselves.
    OpManager().DeleteAll();
    TOpManagerField& own = ListedOperation(OpKind::Contour);
    TTuttoInCatena(Doc, own.Chains);
    Context.SetCurrentOperation(&own);
    Click("sbtChainLast");
    EXPECT_EQ(own.Chains.Count(), 1);
    Context.SetCurrentOperation(nullptr);
}

TEST_F(ChainPages, DrillingPointsWithTheArcFilter)
{
    AddCircle(0, 0, 5);
    AddCircle(20, 0, 8);
    AddPoint(40, 0);
    AddPoint(60, 0);
    TOpManagerField& op = NewOperation(OpKind::Drilling);
    Win->ShowPages({"tabTool", "tabChainPt"}, "twDrill", 494, 428);
    Win->pgCtrToolWin().setCurrentWidget(Win->Sheet("tabChainPt"));

    Type("txtMaskDia", "5");
    Type("txtMaskTol", "0.02");
    EXPECT_EQ(op.Parameters->ArcMask, 0); // the box is not ticked yet
    EXPECT_EQ(op.Parameters->ArcMaskDiameter, 5.0);
    Click("chkMaskArcs");
    EXPECT_EQ(op.Parameters->ArcMask, 1);
    EXPECT_EQ(op.Parameters->ArcMaskTolerance, 0.02);

    Click("sbtChainSelAllArcs");
    EXPECT_EQ(Points(op.Chains), "0,0");
    EXPECT_EQ(Find<QLabel>("lblChainPtInfo").text(), QStringLiteral("1 points"));
    Click("sbtChainDelPt");
    EXPECT_EQ(op.Chains.Count(), 0);

    Click("sbtChainAllPt");
    EXPECT_EQ(PointCount(op.Chains), 2);

    // Unfiltered, both centres.
    Click("chkMaskArcs");
    Click("sbtChainDelPt");
    Click("sbtChainSelAllArcs");
    EXPECT_EQ(PointCount(op.Chains), 2);
    Win->hide();
}

TEST_F(ChainPages, SortFromACornerAndRestoreBeforeTheNextPick)
{
    TOpManagerField& op = NewOperation(OpKind::Drilling);
    // Without a chain the buttons do nothing and stay up.
    Click("sbtDrilSort1");
    EXPECT_FALSE(SortButton(1).isChecked());

    AddPoint(50, 50);
    AddPoint(0, 0);
    Click("sbtChainAllPt");
    AddPoint(-5, 48);
    Click("sbtChainAllPt");
    ASSERT_EQ(op.Chains.Count(), 2);
    const std::string picked = Points(op.Chains);

    // Nearest neighbour from the top-left corner (-9999, 9999).
    Click("sbtDrilSort1");
    EXPECT_TRUE(SortButton(1).isChecked());
    ASSERT_EQ(op.Chains.Count(), 1);
    EXPECT_EQ(Points(op.Chains).substr(0, 5), "-5,48");

    // A further pick puts the picked order back first; the button stays down.
    Click("sbtChainPt");
    EXPECT_EQ(Points(op.Chains), picked);
    EXPECT_TRUE(SortButton(1).isChecked());
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TQV_50SelectPuntiAndArchi>());
    EXPECT_EQ(ChainPointFlags, kChainPoints);
    EXPECT_TRUE(SelectPointsOnly);

    // The other corners keep their own state; up restores.
    Click("sbtDrilSort4");
    EXPECT_TRUE(SortButton(4).isChecked());
    EXPECT_EQ(op.Chains.Count(), 1);
    Click("sbtDrilSort4");
    EXPECT_FALSE(SortButton(4).isChecked());
    EXPECT_EQ(Points(op.Chains), picked);

    // The hide drops a sort and raises the buttons.
    Click("sbtDrilSort2");
    Win->ShowPages({"tabChainPt"}, "twDrill", 494, 428);
    Win->hide();
    EXPECT_FALSE(SortButton(1).isChecked());
    EXPECT_FALSE(SortButton(2).isChecked());
    EXPECT_EQ(SortBackup().Chains, nullptr);
}

TEST_F(ChainPages, PicksStartTheirSelectionAndTheWindowSelectionSwitch)
{
    std::vector<bool> switches;
    Win->ChainPages().SetWindowSelection = [&](bool on) { switches.push_back(on); };
    TOpManagerField& op = NewOperation(OpKind::Pocket);
    struct TCase {
        const char* Button;
        TCADStateClass State;
    };
    const TCase cases[] = {
        {"sbtChain", StateClassOf<TQV_50Seleziona1Ogg>()},
        {"sbtChainSel", StateClassOf<TQV_50SelectObjects>()},
        {"sbtChainWSel", StateClassOf<TQV_51WinSelectObjects>()},
        {"sbtChainSelArcs", StateClassOf<TQV_50SelectPuntiAndArchi>()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Button);
        Click(c.Button);
        EXPECT_EQ(Prg.OperationClass(), c.State);
        Prg.SendUserEvent(TCADUserEvent::Cancel);
    }
    EXPECT_EQ(switches, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(ChainPointFlags, kChainArcs | kChainCircles);
    EXPECT_FALSE(SelectPointsOnly);
    EXPECT_EQ(op.Chains.Count(), 0);
}

TEST_F(ChainPages, TheyAreTheChainContext)
{
    EXPECT_EQ(&ChainContext(), static_cast<TChainContext*>(&Win->ChainPages()));
    EXPECT_FALSE(ChainContext().CurrentOperationKind());
    EXPECT_EQ(ChainContext().EditedOperationChains(), nullptr);

    TOpManagerField& op = NewOperation(OpKind::Contour);
    EXPECT_EQ(ChainContext().CurrentOperationKind(), OpKind::Contour);
    EXPECT_EQ(ChainContext().EditedOperationChains(), &op.Chains);
    Find<QComboBox>("cboCCDir").setCurrentIndex(2);
    Find<QLineEdit>("txtCCOffset").setText(QStringLiteral("1.5"));
    EXPECT_EQ(ChainContext().CompensationSide(), 2);
    EXPECT_EQ(ChainContext().CompensationOffset(), 1.5);
    EXPECT_FALSE(ChainContext().LayerByLayer());
    Click("chkLayerPriority");
    EXPECT_EQ(op.Parameters->LayerPriority, 1);
    EXPECT_TRUE(ChainContext().LayerByLayer());

    // The compensation button goes to the tool page's diameter.
    Win->ShowPages({"tabTool", "tabChain"}, "twContour", 494, 428);
    Win->pgCtrToolWin().setCurrentWidget(Win->Sheet("tabChain"));
    Click("sbtCCOffset");
    EXPECT_EQ(Win->pgCtrToolWin().currentWidget(), Win->Sheet("tabTool"));
    EXPECT_EQ(Win->width(), 494);
    Win->hide();

    // A new window made while the old one stands takes over; once it is
    // gone too, the default context is back.
    Win = std::make_unique<TfrmToolWin>(Prg, *Config, &Monitor, KB_DATA_DIR);
    EXPECT_EQ(&ChainContext(), static_cast<TChainContext*>(&Win->ChainPages()));
    Win.reset();
    EXPECT_EQ(ChainContext().CompensationSide(), 0);
    EXPECT_FALSE(ChainContext().CurrentOperationKind());
}

TEST_F(ChainPages, NothingHappensWithoutAMachiningContext)
{
    AddRectangle(0, 0, 10);
    TOpManagerField& op = NewOperation(OpKind::Contour);
    SetMachiningContext(nullptr);
    const TCADStateClass idle = Prg.OperationClass();
    for (const char* button : {"sbtChainAll", "sbtChain", "sbtChainSel", "sbtChainWSel", "sbtChainRev",
                               "sbtDelAllChains", "sbtChainLast", "sbtChainsSet", "sbtChainAllPt", "sbtChainPt",
                               "sbtChainSelAllArcs", "sbtDrilSort1"})
        Click(button);
    EXPECT_EQ(op.Chains.Count(), 0);
    EXPECT_EQ(Prg.OperationClass(), idle);
    SetMachiningContext(&Context);
}

} // namespace

namespace {

// Sheets freed before their pages leave nothing behind that a library or
// the chains could reach.
TEST_F(ChainPages, FreedSheetsLetGoOfTheirModels)
{
    TOpManagerField& before = NewOperation(OpKind::Contour);
    ASSERT_NE(CurrentToolLibrary(), nullptr);
    delete Win->Sheet("tabTool");
    delete Win->Sheet("tabChain");
    EXPECT_EQ(CurrentToolLibrary()->ListView(), nullptr);
    EXPECT_EQ(ToolLibraryViews().MillList, nullptr);
    EXPECT_EQ(ChainContext().CompensationSide(), 0);
    before.Chains.UpdateInfo();

    Context.FreeNewOperation();
    NewOperation(OpKind::Pocket); // a new library, headless
    EXPECT_EQ(CurrentToolLibrary()->Count(), 3);
}

} // namespace
