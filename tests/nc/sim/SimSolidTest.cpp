// The simulator and the stock-removal model: the stock from the toolpath,
// the model's life with chkSolidSim, the cuts of a play and of a solid run,
// the slider, rewind and the stock-size panel's apply.

#include "nc/sim/Simulatore2D.h"
#include "nc/solid/NcVisu.h"
#include "nc/writer/ScriveGCode.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "tests/nc/sim/SimTestFakes.h"

#include <gtest/gtest.h>

namespace {

using kbtest::TFakeSimOperation;

// What the model tells its view.
class TRecordingStockView final : public TStockView {
public:
    void AttachStock(const TNcVisuGrid& grid) override { Attached = &grid; }
    void StockChanged(const TNcVisuGrid&, TCellRange columns, TCellRange) override
    {
        ++Changes;
        LastColumns = columns;
    }
    void StockRebuilt(const TNcVisuGrid&) override { ++Rebuilds; }
    void DetachStock() override { Attached = nullptr; }
    void Repaint() override { ++Repaints; }

    const TNcVisuGrid* Attached = nullptr;
    int Changes = 0, Rebuilds = 0, Repaints = 0;
    TCellRange LastColumns;
};

class SimSolidTest : public ::testing::Test {
protected:
    SimSolidTest() : SimView(View.Scene)
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        GCodeWriter().RapidFeedrate = 2000.0;
        Sim.SetWindow(&Window);
        Sim.SetView(&SimView);
        Sim.SetClock(&Clock);
        Sim.SetStockView(&Stock);
    }
    ~SimSolidTest() override { SetLanguageIni(nullptr); }

    // A contour with a flat tool of the given diameter.
    std::unique_ptr<TFakeSimOperation> Op(double diameter = 2)
    {
        auto op = std::make_unique<TFakeSimOperation>(View.Scene, 1);
        op->Tool->ToolType = 0;
        op->Tool->Diameter = diameter;
        op->Comp = diameter / 2;
        return op;
    }
    const TNcVisuGrid& Grid() const { return Sim.Solid()->Grid(); }
    // The cell under a point of the drawing.
    TStockCell At(double x, double y) const
    {
        const TNcVisuGrid& g = Grid();
        return g.Cell(int(std::lround((x - g.Origin().X) / g.CellSize())),
                      int(std::lround((y - g.Origin().Y) / g.CellSize())));
    }
    bool Uncut() const
    {
        for (int i = 0; i < Grid().Columns(); ++i)
            for (int j = 0; j < Grid().Rows(); ++j)
                if (Grid().Cell(i, j).Height != Grid().SizeZ() || Grid().Cell(i, j).Colour != TNcVisuGrid::kFreshColour)
                    return false;
        return true;
    }

    kbtest::TRecordingViewServices View;
    kbtest::TFakeSimView SimView;
    kbtest::TFakeSimWindow Window;
    kbtest::TFakeSimClock Clock;
    TRecordingStockView Stock;
    TSimulatore2D Sim;
};

TEST_F(SimSolidTest, StockIsTheToolpathBoxWithArcsAndTheTopOfStockOrAfterAPlayTheRapidPlane)
{
    auto op = Op();
    op->Top = 3;
    TCurvaNci3d& curve = op->AddCurve({{0, 0, -2}, {20, 0, -2}});
    curve.AddVertex(TAVertice3d::CreateFull(1, {20, 20, -2}, {20, 10, -2}, 0)); // bulges to X 30
    Window.Quality = 2;
    Sim.SelectOperation(op.get());
    EXPECT_EQ(Sim.Solid(), nullptr); // chkSolidSim off
    Sim.CreateSolid();
    ASSERT_NE(Sim.Solid(), nullptr);
    EXPECT_EQ(Stock.Attached, &Grid());
    EXPECT_NEAR(Grid().Origin().X, 0, 1e-6);
    EXPECT_NEAR(Grid().Origin().Z, -2, 1e-6);
    EXPECT_NEAR(Grid().SizeX(), 30, 1e-5);
    EXPECT_NEAR(Grid().SizeY(), 20, 1e-5);
    EXPECT_NEAR(Grid().SizeZ(), 5, 1e-6);
    EXPECT_EQ(Grid().CellsOnSide(), 100);

    Sim.Play();
    Sim.CreateSolid(); // the play's extents: up to the rapid plane 5
    EXPECT_NEAR(Grid().SizeZ(), 7, 1e-6);
    Sim.FreeSolid();
    EXPECT_EQ(Stock.Attached, nullptr);
}

TEST_F(SimSolidTest, CheckBoxMakesTheModelFinishFreesItAndAHoleGetsTheToolSquare)
{
    auto op = Op(6);
    op->KindValue = 3;
    op->AddCurve({{5, 5, -3}}, 81);
    Window.SolidSim = true;
    Sim.SelectOperation(op.get());
    ASSERT_NE(Sim.Solid(), nullptr);
    EXPECT_TRUE(Window.SolidControls);
    EXPECT_EQ(Window.MatSizeClicks, 1);
    // One hole: no X-Y extent, so a square of the tool's diameter about it.
    EXPECT_DOUBLE_EQ(Grid().SizeX(), 6);
    EXPECT_DOUBLE_EQ(Grid().Origin().Y, 2);
    EXPECT_GT(Grid().Rows(), 1);
    Sim.Finish();
    EXPECT_EQ(Sim.Solid(), nullptr);
    EXPECT_EQ(Stock.Attached, nullptr);
    Window.SolidSim = false;
    Sim.UpdateSolidControls();
    EXPECT_FALSE(Window.SolidControls);
}

TEST_F(SimSolidTest, PlayCutsFeedLinesOnlyWithACompensationOffset)
{
    for (double comp : {1.0, 0.0}) {
        SCOPED_TRACE(comp);
        auto op = Op();
        op->Comp = comp;
        op->AddCurve({{0, 0, -2}, {20, 0, -2}, {20, 10, -2}});
        op->Top = 0;
        Window.SolidSim = true;
        Sim.SelectOperation(op.get());
        ASSERT_NE(Sim.Solid(), nullptr);
        Sim.Play();
        EXPECT_EQ(At(10, 0).Height, comp > 0 ? 0.0 : 2.0);
        EXPECT_EQ(At(10, 0).Colour, comp > 0 ? int32_t(AppConfig().ToolPathG1) : TNcVisuGrid::kFreshColour);
        EXPECT_EQ(At(10, 5).Height, 2.0);
        // Rewind takes the slider's quality again: the stock is uncut.
        Window.Quality = 1;
        Sim.Rewind();
        EXPECT_EQ(Grid().CellsOnSide(), 75);
        EXPECT_TRUE(Uncut());
        Sim.Finish();
    }
}

TEST_F(SimSolidTest, SolidRunRapidsAtTheRapidPlaneThenPlungesAndTimesHolesWithoutCutting)
{
    auto op = Op();
    op->Top = 0;
    op->Rapid = -1; // inside the stock, so that the rapids show
    op->AddCurve({{2, 2, -3}, {18, 2, -3}});
    op->AddCurve({{10, 18, -3}, {10, 10, -3}});
    op->AddCurve({{5, 12, -3}}, 81);
    Window.SolidSim = true;
    Sim.SelectOperation(op.get());
    ASSERT_NE(Sim.Solid(), nullptr);
    const int32_t feed = AppConfig().ToolPathG1, rapid = AppConfig().ToolPathG0;
    GCodeWriter().RapidFeedrate = 10;
    const size_t drawnBefore = View.Scene.Children(op->Group).size();
    Sim.RunSolid();
    EXPECT_TRUE(Sim.Finished());
    // From the end of the first curve, at the rapid plane, to above the
    // second curve's start, then down to it.
    EXPECT_EQ(At(14, 10).Height, 2);
    EXPECT_EQ(At(14, 10).Colour, rapid);
    EXPECT_EQ(At(10, 18).Height, 0);
    EXPECT_EQ(At(10, 18).Colour, feed);
    EXPECT_EQ(At(10, 2).Height, 0);
    EXPECT_EQ(At(10, 2).Colour, feed);
    // The hole: drawn (its circle) and timed, not cut.
    EXPECT_EQ(At(5, 12).Height, 3);
    EXPECT_GT(View.Scene.Children(op->Group).size(), drawnBefore);
    EXPECT_NE(SimView.InfoText, LangText(LangKeys::String::SimMachiningTime) + SecondsToHMS(0));
    EXPECT_EQ(SimView.InfoText.rfind(LangText(LangKeys::String::SimMachiningTime), 0), 0u);
    EXPECT_EQ(Sim.Counter(), -1);
    EXPECT_GE(Window.ButtonsRestored, 1);
    EXPECT_GE(Stock.Repaints, 1);
    // Finished: a second run changes nothing but the buttons.
    const int restored = Window.ButtonsRestored, changes = Stock.Changes;
    Sim.RunSolid();
    EXPECT_EQ(Window.ButtonsRestored, restored + 1);
    EXPECT_EQ(Stock.Changes, changes);
}

TEST_F(SimSolidTest, SolidRunRepaintsEveryHundredMovesAndStopsWhenAsked)
{
    auto op = Op();
    TCurvaNci3d& curve = op->AddCurve({{0, 0, -1}});
    for (int k = 1; k <= 250; ++k)
        curve.AddVertex(TAVertice3d::CreateAt({k * 0.1, (k % 2) * 1.0, -1}));
    Window.SolidSim = true;
    Sim.SelectOperation(op.get());
    Stock.Repaints = 0;
    int pumps = 0;
    Clock.OnPump = [&] {
        if (++pumps == 2)
            Sim.Stop();
    };
    Sim.RunSolid();
    EXPECT_FALSE(Sim.Finished());
    EXPECT_EQ(Stock.Repaints, 2); // at moves 100 and 200, then stopped
    EXPECT_EQ(Sim.VertexIndex(), 200);
    Clock.OnPump = nullptr;
    Sim.RunSolid(); // goes on with the next vertex
    EXPECT_TRUE(Sim.Finished());
    // Unticking chkSolidSim while a run pumps the window's events ends it.
    Sim.Rewind();
    Clock.OnPump = [&] { Sim.FreeSolid(); };
    Sim.RunSolid();
    EXPECT_EQ(Sim.Solid(), nullptr);
    EXPECT_FALSE(Sim.Finished());
    Clock.OnPump = nullptr;
    Sim.CreateSolid();
    // Without a model the solid play does nothing.
    Sim.FreeSolid();
    const int restored = Window.ButtonsRestored;
    Sim.RunSolid();
    EXPECT_EQ(Window.ButtonsRestored, restored);
}

TEST_F(SimSolidTest, StockSizeApplyRebuildsUncutAndClearsThePathOrChangesNothing)
{
    auto op = Op();
    op->AddCurve({{0, 0, -2}, {20, 0, -2}, {20, 10, -2}});
    Window.SolidSim = true;
    Sim.SelectOperation(op.get());
    Sim.Play();
    ASSERT_FALSE(View.Scene.Children(op->Group).empty());
    const TNcVisuGrid before = Grid();

    // Not numbers, or sizes that are not positive: nothing changes.
    for (const std::array<std::string, 6>& texts :
         {std::array<std::string, 6>{"0", "0", "10", "abc", "20", "4"},
          std::array<std::string, 6>{"0", "0", "10", "0", "20", "4"},
          std::array<std::string, 6>{"0", "0", "10", "20", "20", "-4"},
          std::array<std::string, 6>{"0", "1,5", "10", "20", "20", "4"}}) {
        EXPECT_FALSE(Sim.ApplyStock(texts));
        EXPECT_EQ(Grid().Origin().Z, before.Origin().Z);
        EXPECT_EQ(Grid().Cell(0, 0).Height, before.Cell(0, 0).Height);
    }
    EXPECT_FALSE(View.Scene.Children(op->Group).empty());

    EXPECT_TRUE(Sim.ApplyStock({"-5", "2.5", "10", "40", "20", "4"}));
    EXPECT_DOUBLE_EQ(Grid().Origin().Z, 6);
    EXPECT_DOUBLE_EQ(Grid().Origin().X, -5);
    EXPECT_EQ(Grid().Columns(), 201);
    EXPECT_TRUE(Uncut());
    EXPECT_EQ(Grid().Cell(3, 3).Height, 4);
    EXPECT_TRUE(View.Scene.Children(op->Group).empty()); // the path cleared
    const std::array<std::string, 6> shown = Sim.Solid()->StockTexts();
    EXPECT_EQ(shown[0], "-5");
    EXPECT_EQ(shown[1], "2.5");
    EXPECT_EQ(shown[2], "10");
    EXPECT_EQ(shown[5], "4");
}

TEST_F(SimSolidTest, SliderRestoresTheStockAndTheViewHearsOfEveryChange)
{
    auto op = Op();
    op->AddCurve({{0, 0, -2}, {20, 0, -2}});
    Window.SolidSim = true;
    Sim.SelectOperation(op.get());
    Sim.Play();
    EXPECT_FALSE(Uncut());
    EXPECT_GE(Stock.Changes, 1);
    const int rebuilds = Stock.Rebuilds;
    Sim.SetSolidQuality(10);
    EXPECT_EQ(Grid().CellsOnSide(), 500);
    EXPECT_TRUE(Uncut());
    EXPECT_EQ(Stock.Rebuilds, rebuilds + 1);
    // The operation goes: the model stays, cutting nothing.
    op.reset();
    EXPECT_EQ(Sim.Solid()->Operation(), nullptr);
    Sim.Solid()->CutMove({0, 0, -2}, {20, 0, -2}, false);
    EXPECT_TRUE(Uncut());
}

} // namespace
