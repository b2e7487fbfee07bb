#include "cad/panel/GridDialogModel.h"

#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/panel/SetGrid.h"
#include "core/settings/AppConfig.h"
#include "tests/cad/support/CADDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace grid_dialog_model_test {

namespace {

// A 1000 x 1000 grid with 1-unit steps: every rebuild of it is dense enough
// to ask first, so the questions count the rebuilds.
class GridDialogModelTest : public ::testing::Test {
protected:
    GridDialogModelTest()
    {
        Config.GridOrigin = 0;
        Config.GridSizeX = Config.GridSizeY = 1000;
        Config.GridX = Config.GridY = 1;
        Config.SnapX = Config.SnapY = 0.5;
        Config.SGrid = true;
        View = std::make_unique<TQVScene>(Config);
        View->ConfirmDenseGrid = [this](const std::string&) {
            ++Rebuilds;
            return true;
        };
        View->SetGridEnabled(true);
        Prg.XSnap = Prg.YSnap = 0.5;
        Model = std::make_unique<TGridDialogModel>(*View, &Prg, Config);
    }

    void ExpectView(double x0, double y0, double x1, double y1, double stepX, double stepY, int subX, int subY)
    {
        const TRect2D& r = View->GridRect();
        EXPECT_EQ(r.FirstEdge.X, x0);
        EXPECT_EQ(r.FirstEdge.Y, y0);
        EXPECT_EQ(r.SecondEdge.X, x1);
        EXPECT_EQ(r.SecondEdge.Y, y1);
        EXPECT_EQ(View->GridStepX(), stepX);
        EXPECT_EQ(View->GridStepY(), stepY);
        EXPECT_EQ(View->GridSubX(), subX);
        EXPECT_EQ(View->GridSubY(), subY);
    }

    kbtest::TRecordingShell Shell;
    TAppConfig Config{""};
    std::unique_ptr<TQVScene> View;
    TQV_00Prog Prg;
    int Rebuilds = 0;
    std::unique_ptr<TGridDialogModel> Model;
};

TEST_F(GridDialogModelTest, LinkedValuesChangeTogetherWithOneRebuild)
{
    Model->ApplySettings(false); // what the view already shows: no rebuild
    EXPECT_EQ(Rebuilds, 0);

    EXPECT_TRUE(Model->SetGridStepX("2.5", true));
    EXPECT_EQ(Rebuilds, 1);
    EXPECT_TRUE(Model->SetGridStepY("0.5", false));
    EXPECT_EQ(Rebuilds, 2);
    ExpectView(0, 0, 1000, 1000, 2.5, 0.5, 0, 0);
    // X keeps its step, the linked Y changes: the grid still follows.
    EXPECT_TRUE(Model->SetGridStepX("2.5", true));
    EXPECT_EQ(Rebuilds, 3);
    EXPECT_EQ(View->GridStepY(), 2.5);
    EXPECT_TRUE(Model->SetGridStepX("2.50", true)); // the same value: no rebuild
    EXPECT_EQ(Rebuilds, 3);

    EXPECT_TRUE(Model->SetGridSubdivisionsY("2", true));
    EXPECT_EQ(Rebuilds, 4);
    ExpectView(0, 0, 1000, 1000, 2.5, 2.5, 2, 2);

    EXPECT_TRUE(Model->SetSnapY("0.25", true));
    EXPECT_EQ(Prg.XSnap, 0.25);
    EXPECT_TRUE(Model->SetSnapX("-1", false)); // the snap fields take a sign
    EXPECT_EQ(Prg.XSnap, -1);
    EXPECT_EQ(Prg.YSnap, 0.25);

    // Size and origin only move the rectangle; the lines follow on close.
    EXPECT_TRUE(Model->SetGridSizeX("200"));
    Model->SetGridOrigin(4);
    EXPECT_EQ(Rebuilds, 4);
    ExpectView(-100, -500, 100, 500, 2.5, 2.5, 2, 2);
    EXPECT_TRUE(View->GridEnabled());
}

TEST_F(GridDialogModelTest, TextsThatAreNoNumberChangeNothing)
{
    struct TCase {
        const char* Text;
        bool Integer; // also refused where a whole number is wanted
    };
    for (const TCase c : {TCase{"", true}, TCase{".", true}, TCase{"-", true}, TCase{"-.", true}, TCase{"1,5", true},
                          TCase{"abc", true}, TCase{"nan", true}, TCase{"2.5", false}}) {
        SCOPED_TRACE(c.Text);
        if (c.Integer) {
            EXPECT_FALSE(Model->SetGridStepX(c.Text, true));
            EXPECT_FALSE(Model->SetGridStepY(c.Text, true));
            EXPECT_FALSE(Model->SetSnapX(c.Text, true));
            EXPECT_FALSE(Model->SetSnapY(c.Text, true));
            EXPECT_FALSE(Model->SetGridSizeX(c.Text));
        }
        EXPECT_FALSE(Model->SetGridSubdivisionsX(c.Text, true));
        EXPECT_FALSE(Model->SetGridSubdivisionsY(c.Text, true));
    }
    EXPECT_FALSE(Model->SetGridSizeY("-5"));
    ExpectView(0, 0, 1000, 1000, 1, 1, 0, 0);
    EXPECT_EQ(Prg.XSnap, 0.5);
    EXPECT_EQ(Prg.YSnap, 0.5);
    EXPECT_EQ(Rebuilds, 0);
    // Rebuilds are never left switched off, so the next change draws.
    EXPECT_TRUE(View->GridEnabled());
    EXPECT_TRUE(Model->SetGridStepX("2", false));
    EXPECT_EQ(Rebuilds, 1);
}

TEST_F(GridDialogModelTest, ApplySettingsTakesBackAndStoreSettingsKeeps)
{
    Model->SetGridSizeX("400");
    Model->SetGridOrigin(2);
    Model->SetGridStepX("2", true);
    Model->SetGridSubdivisionsX("5", true);
    Model->SetSnapX("0.1", true);
    Model->SetGridVisible(false);
    EXPECT_FALSE(View->GridVisible());
    Rebuilds = 0;

    Model->ApplySettings(true); // Cancel: everything back, the lines redrawn
    ExpectView(0, 0, 1000, 1000, 1, 1, 0, 0);
    EXPECT_EQ(View->GridOrigin(), 0);
    EXPECT_TRUE(View->GridVisible());
    EXPECT_EQ(Prg.XSnap, 0.5);
    EXPECT_EQ(Prg.YSnap, 0.5);
    EXPECT_EQ(Rebuilds, 1);
    EXPECT_EQ(Shell.GridButton, (std::vector<bool>{false, true}));

    Model->SetGridOrigin(4);
    Model->SetGridSizeY("300");
    Model->SetGridStepY("2.5", false);
    Model->SetGridSubdivisionsY("3", false);
    Model->SetSnapY("0.25", false);
    Model->SetGridVisible(false);
    Rebuilds = 0;
    Model->StoreSettings(true); // OK
    EXPECT_EQ(Config.GridOrigin, 4);
    EXPECT_EQ(Config.GridSizeX, 1000);
    EXPECT_EQ(Config.GridSizeY, 300);
    EXPECT_EQ(Config.GridX, 1);
    EXPECT_EQ(Config.GridY, 2.5);
    EXPECT_EQ(Config.GridSubX, 0);
    EXPECT_EQ(Config.GridSubY, 3);
    EXPECT_FALSE(Config.SGrid);
    EXPECT_EQ(Config.SnapX, 0.5);
    EXPECT_EQ(Config.SnapY, 0.25);
    EXPECT_TRUE(Config.SnapToGrid);
    EXPECT_EQ(Rebuilds, 1);
}

TEST(GridSetter, SwitchesEveryPlaceOnceAndIgnoresTheSameValue)
{
    kbtest::TRecordingShell shell;
    TAppConfig config{""};
    TQV_00Prog prg;
    TSetGrid& setter = GridSetter();
    ASSERT_FALSE(setter.SnapToGridState());
    setter.SetProgram(&prg);
    std::vector<bool> shown;
    std::vector<bool> readyWhileShown;
    setter.OnShowSnapToGrid = [&](bool on) {
        shown.push_back(on);
        readyWhileShown.push_back(setter.SnapSetterReady());
    };

    setter.SetSnapToGrid(true);
    setter.SetSnapToGrid(true);
    EXPECT_TRUE(prg.Snap2Grid);
    EXPECT_TRUE(config.SnapToGrid);
    EXPECT_EQ(shell.SnapShown, (std::vector<bool>{true}));
    EXPECT_EQ(shown, (std::vector<bool>{true}));
    EXPECT_EQ(readyWhileShown, (std::vector<bool>{false}));
    EXPECT_TRUE(setter.SnapSetterReady());

    setter.SetSnapToGrid(false);
    EXPECT_FALSE(prg.Snap2Grid);
    EXPECT_FALSE(config.SnapToGrid);
    EXPECT_EQ(shell.SnapShown, (std::vector<bool>{true, false}));
    setter.OnShowSnapToGrid = nullptr;
    setter.SetProgram(nullptr);
}

} // namespace

}  // namespace grid_dialog_model_test
