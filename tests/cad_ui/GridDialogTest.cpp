#include "cad/ui/frmGrid.h"

#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/panel/SetGrid.h"
#include "cad/ui/OrigineComp.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class GridDialogTest : public ::testing::Test {
protected:
    GridDialogTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Config.GridOrigin = 0;
        Config.GridSizeX = 200;
        Config.GridSizeY = 100;
        Config.GridX = Config.GridY = 10;
        Config.SnapX = Config.SnapY = 1;
        View = std::make_unique<TQVScene>(Config);
        View->SetGridEnabled(true);
        GridSetter().SetProgram(&Prg);
        Dialog = std::make_unique<TfrmGrid>();
        Dialog->SetTargets(View.get(), &Prg, &Config);
    }
    ~GridDialogTest() override
    {
        Dialog.reset();
        GridSetter().SetSnapToGrid(false);
        GridSetter().SetProgram(nullptr);
        SetLanguageIni(nullptr);
    }

    kbtest::TRecordingShell Shell;
    kbtest::TRecordingNotifier Notifier;
    TAppConfig Config{""};
    std::unique_ptr<TQVScene> View;
    TQV_00Prog Prg;
    std::unique_ptr<TfrmGrid> Dialog;
};

TEST_F(GridDialogTest, LinkedStepsOriginAndOkReachViewAndSettings)
{
    Dialog->show();
    EXPECT_EQ(Dialog->windowTitle(), "Grid");
    EXPECT_EQ(Dialog->txtGridSizeX().text(), "200");
    EXPECT_EQ(Dialog->nol_cboGridX().currentText(), "10");
    EXPECT_EQ(Dialog->OriginSelector().Position(), 0);

    Dialog->nol_cboGridX().setCurrentIndex(Dialog->nol_cboGridX().findText("2.5"));
    EXPECT_EQ(Dialog->nol_cboGridY().currentText(), "2.5");
    EXPECT_EQ(View->GridStepX(), 2.5);
    EXPECT_EQ(View->GridStepY(), 2.5);
    Dialog->nol_cboXSnap().setCurrentText("0.5");
    EXPECT_EQ(Dialog->nol_cboYSnap().currentText(), "0.5");
    EXPECT_EQ(Prg.YSnap, 0.5);

    Dialog->OriginSelector().Button(4)->click();
    EXPECT_EQ(View->GridRect().FirstEdge.X, -100);
    EXPECT_EQ(View->GridRect().SecondEdge.Y, 50);

    Dialog->sbtOk().click();
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Config.GridOrigin, 4);
    EXPECT_EQ(Config.GridX, 2.5);
    EXPECT_EQ(Config.GridY, 2.5);
    EXPECT_EQ(Config.GridSizeX, 200);
    EXPECT_EQ(Config.SnapY, 0.5);
}

TEST_F(GridDialogTest, CancelBringsTheOldGridBack)
{
    Dialog->show();
    Dialog->chkUnisceGrid().setChecked(false);
    Dialog->nol_cboGridY().setCurrentText("5");
    EXPECT_EQ(View->GridStepX(), 10);
    EXPECT_EQ(View->GridStepY(), 5);
    Dialog->nol_cboGridSubX().setCurrentText("4");
    EXPECT_EQ(View->GridSubY(), 4);
    Dialog->txtGridSizeX().setText("50");
    Dialog->OriginSelector().Button(2)->click();
    Dialog->chkShowGrid().setChecked(false);
    EXPECT_FALSE(View->GridVisible());
    Dialog->nol_cboGridX().setCurrentText("."); // half-typed: nothing happens
    EXPECT_EQ(View->GridStepX(), 10);
    EXPECT_TRUE(Notifier.Messages().empty());

    Dialog->sbtCancel().click();
    EXPECT_EQ(View->GridStepY(), 10);
    EXPECT_EQ(View->GridSubX(), 0);
    EXPECT_EQ(View->GridSubY(), 0);
    EXPECT_EQ(View->GridOrigin(), 0);
    EXPECT_EQ(View->GridWidth(), 200);
    EXPECT_TRUE(View->GridVisible());
    EXPECT_EQ(Shell.GridButton.back(), true);
    EXPECT_EQ(Config.GridY, 10);
    EXPECT_TRUE(View->GridEnabled());
}

TEST_F(GridDialogTest, SnapSwitchFollowsTheMenuWithoutCallingTheSetterTwice)
{
    Dialog->show();
    EXPECT_FALSE(Dialog->chkSnap2Grid().isChecked());
    GridSetter().SetSnapToGrid(true); // the main window's menu item
    EXPECT_TRUE(Dialog->chkSnap2Grid().isChecked());
    EXPECT_EQ(Shell.SnapShown, (std::vector<bool>{true}));
    EXPECT_TRUE(Prg.Snap2Grid);

    Dialog->chkSnap2Grid().click(); // the user in the dialog
    EXPECT_FALSE(Prg.Snap2Grid);
    EXPECT_FALSE(Config.SnapToGrid);
    EXPECT_EQ(Shell.SnapShown, (std::vector<bool>{true, false}));
    Dialog->sbtCancel().click();
    EXPECT_FALSE(GridSetter().SnapToGridState());
}

TEST_F(GridDialogTest, SizeFieldsTakeDigitsAndPointCombosAlsoMinus)
{
    Dialog->show();
    Dialog->txtGridSizeX().clear();
    QTest::keyClicks(&Dialog->txtGridSizeX(), "1,5-a7");
    EXPECT_EQ(Dialog->txtGridSizeX().text(), "1.57");
    EXPECT_EQ(View->GridWidth(), 1.57);
    QLineEdit* comboEdit = Dialog->nol_cboXSnap().lineEdit();
    comboEdit->clear();
    QTest::keyClicks(comboEdit, "-0,25x");
    EXPECT_EQ(comboEdit->text(), "-0.25");
    EXPECT_EQ(Prg.XSnap, -0.25);
    Dialog->sbtCancel().click();
}

TEST(OrigineComp, ButtonsOnTheCornersReportTheirPosition)
{
    QWidget parent;
    auto selector = std::make_unique<TOrigineComp>(&parent);
    selector->Build(10, 20, 110, 80, &parent);
    const struct {
        int Position, X, Y;
    } places[] = {{0, 5, 72}, {1, 5, 14}, {2, 102, 14}, {3, 102, 72}, {4, 55, 44}};
    for (const auto& p : places) {
        EXPECT_EQ(selector->Button(p.Position)->pos(), QPoint(p.X, p.Y)) << p.Position;
    }
    EXPECT_EQ(selector->Position(), 0);

    std::vector<int> clicked;
    selector->OnOriginClick = [&](QObject* sender, int32_t position) {
        EXPECT_EQ(sender, nullptr);
        clicked.push_back(position);
    };
    selector->Button(3)->click();
    selector->SetPosition(1); // from code: checked, not reported
    EXPECT_EQ(selector->Position(), 1);
    selector->SetPosition(9);
    EXPECT_EQ(selector->Position(), -1);
    EXPECT_EQ(clicked, (std::vector<int>{3}));

    QPointer<QRadioButton> button = selector->Button(0);
    selector.reset();
    EXPECT_TRUE(button.isNull()); // the selector takes its widgets along
}

} // namespace
