// The milling pages of the tool window on their own (offscreen): the pages
// of an operation kind, the enabling rules and the Z summary, the lead
// button, Calculate with its refusals, Cancel, and the parameters' round
// trip through the pages and the document section, with the window's own
// chain and tool pages. Clicks and keys go through the widgets.

#include "app/machining/MachiningContext.h"
#include "app/machining/MillingPages.h"
#include "app/machining/OperationPages.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"

#include "cad/program/QV_00Prog.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/VectFont.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/cam/generators/GeneratorTestSupport.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace {

using namespace LangKeys::String;

// The operation pages over the window of the machining pages' fixture
// (a library of three tools, the chain and tool pages).
struct OperationPages : kbtest::MachiningPages {
    OperationPages()
    {
        Pages = std::make_unique<TOperationPages>(*Win, &Monitor);
        Win->ShowStatusMessage = [this](const std::string& text) { Status = text; };
        Pages->ShowInfoText = [this](const std::string& text) { Info = text; };
        Pages->TreeChanged = [this](TOpManagerField&, bool added) { Tree.push_back(added); };
        GestioneID().Counter = 0;
    }
    ~OperationPages() override
    {
        Win->hide();
        Pages.reset();
        OpManager().DeleteAll();
        OpManager().LastIndex = -1;
    }

    // A combo box item chosen with the keys (the user's change event).
    void Choose(const char* combo, int index)
    {
        auto& box = Find<QComboBox>(combo);
        box.setFocus();
        while (box.currentIndex() < index)
            QTest::keyClick(&box, Qt::Key_Down);
        while (box.currentIndex() > index)
            QTest::keyClick(&box, Qt::Key_Up);
    }
    void ClickTab(const char* tab)
    {
        QTabBar* bar = Win->pgCtrToolWin().tabBar();
        const int index = Win->pgCtrToolWin().indexOf(Win->Sheet(tab));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    std::string Text(const char* name) const { return TWidgetToolPage(*Win, *Win).Text(name); }
    bool Enabled(const char* name) const { return Find<QWidget>(name).isEnabled(); }

    // A new operation of the kind, with a 50 mm square to work on unless
    // bare, and its pages up.
    TOpManagerField& Open(int kind, bool bare = false)
    {
        TOpManagerField* op = Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(kind));
        if (!bare)
            op->Chains.AddChain(kbtest::Square(0, 0, 50));
        Pages->ImpostaDialoghi(kind);
        return *op;
    }

    std::unique_ptr<TOperationPages> Pages;
    std::string Status;
    std::string Info;
    std::vector<bool> Tree;
};

TEST_F(OperationPages, ContourShowsItsThreePagesAndTheTabsSetTheWidth)
{
    Open(OpKind::Contour);
    ASSERT_TRUE(Win->isVisible());
    EXPECT_EQ(Win->ShownPages(), (std::vector<std::string>{"tabTool", "tabChain", "tabContour"}));
    EXPECT_EQ(Win->size(), QSize(494, 428));
    EXPECT_EQ(Win->windowTitle().toStdString(), LangToolWinText("twContour"));
    ClickTab("tabChain");
    EXPECT_EQ(Win->width(), 348);
    EXPECT_EQ(Status, LangText(StatusChainPage));
    ClickTab("tabTool");
    EXPECT_EQ(Win->width(), 494);
    EXPECT_EQ(Status, LangText(StatusToolPage));
    ClickTab("tabContour");
    EXPECT_EQ(Win->width(), 348);
    EXPECT_EQ(Status, LangText(StatusParameterPage));
    // Another Machining command while the pages are up replaces nothing.
    Pages->ImpostaDialoghi(OpKind::Pocket);
    EXPECT_EQ(Win->ShownPages(), (std::vector<std::string>{"tabTool", "tabChain", "tabContour"}));
}

TEST_F(OperationPages, CompensationSideSwitchesTheCutControls)
{
    Open(OpKind::Contour);
    // The contour starts with the first side shown; the pocket forces inside.
    EXPECT_EQ(Find<QComboBox>("cboCCDir").currentIndex(), 0);
    EXPECT_EQ(Text("cboCCDir"), LangText(CompSideOff));
    struct TRow {
        int Item;
        bool On;
    };
    for (const TRow& row : {TRow{1, true}, TRow{0, false}, TRow{2, true}}) {
        SCOPED_TRACE(row.Item);
        Choose("cboCCDir", row.Item);
        for (const char* name : {"speConNRoughCuts", "speConNFinishCuts", "lblConNRough", "chkG41G42", "sbtConEntExi"})
            EXPECT_EQ(Enabled(name), row.On) << name;
        if (!row.On) {
            EXPECT_EQ(Text("speConNRoughCuts"), "1");
            EXPECT_EQ(Text("speConNFinishCuts"), "0");
            EXPECT_EQ(Text("txtConRoughSize"), "0.0");
        }
        // The sizes follow the counts: rough above 1, finish above 0.
        EXPECT_FALSE(Enabled("txtConRoughSize"));
        if (row.On) {
            Find<QSpinBox>("speConNRoughCuts").setValue(2);
            Find<QSpinBox>("speConNFinishCuts").setValue(1);
            EXPECT_TRUE(Enabled("txtConRoughSize"));
            EXPECT_TRUE(Enabled("txtConFinishSize"));
            Find<QSpinBox>("speConNRoughCuts").setValue(1);
        }
    }
}

TEST_F(OperationPages, MethodOneForcesLevelOrderAndMethodZeroRestoresIt)
{
    Open(OpKind::Contour);
    Click("chkMakeTab");
    ASSERT_TRUE(Enabled("sbtCncTab"));
    ASSERT_EQ(Find<QComboBox>("cboDepthCutOrder").currentIndex(), 1);
    Choose("cboMethod", 1);
    EXPECT_EQ(Find<QComboBox>("cboDepthCutOrder").currentIndex(), 0);
    EXPECT_FALSE(Enabled("cboDepthCutOrder"));
    EXPECT_FALSE(Find<QCheckBox>("chkMakeTab").isChecked());
    EXPECT_FALSE(Enabled("chkMakeTab"));
    EXPECT_FALSE(Enabled("sbtCncTab"));
    EXPECT_EQ(Find<QComboBox>("cboCutRules").count(), 3);
    Choose("cboMethod", 0);
    EXPECT_EQ(Find<QComboBox>("cboDepthCutOrder").currentIndex(), 1);
    EXPECT_TRUE(Enabled("cboDepthCutOrder"));
    EXPECT_EQ(Find<QComboBox>("cboCutRules").count(), 1);
}

TEST_F(OperationPages, ZigZagLiftsNoFinishCutToOneAndOffsetRingsKeepIt)
{
    Open(OpKind::Pocket);
    EXPECT_EQ(Find<QComboBox>("cboCCDir").currentIndex(), 2);
    Choose("cboPocType", 1);
    Find<QSpinBox>("spePocNFinishCuts").setValue(0);
    EXPECT_TRUE(!Find<QWidget>("chkPocSpiralInOut").isHidden());
    Choose("cboPocType", 0);
    EXPECT_EQ(Text("spePocNFinishCuts"), "1");
    EXPECT_TRUE(!Find<QWidget>("txtAngZigZag").isHidden());
    Choose("cboPocType", 1);
    EXPECT_EQ(Text("spePocNFinishCuts"), "1");
}

TEST_F(OperationPages, ZSummaryWarnsOfTopAboveFeedAndBelowDepth)
{
    TOpManagerField& op = Open(OpKind::Contour);
    Type("txtConZRapid", "0");
    Type("txtConTopStock", "0");
    EXPECT_EQ(Text("lblConNumFCuts"), LangText(ZTopNotBelowRapid));
    Type("txtConZRapid", "2");
    Type("txtConTopStock", "-2");
    Type("txtConZDepthTot", "-1");
    EXPECT_EQ(Text("lblConNumFCuts"), LangText(ZTopBelowDepth));
    // A lone minus sign is no value yet: the summary stays.
    const std::string before = op.DepthPassText2;
    Type("txtConZDepthTot", "-");
    EXPECT_EQ(op.DepthPassText2, before);
    EXPECT_EQ(Text("lblConNumFCuts"), before);
    // The retract plane under the top of part.
    Type("txtConZDepthTot", "-1");
    Type("txtConTopStock", "10");
    Click("chkConRetr");
    ASSERT_TRUE(Enabled("txtConZRetr"));
    Type("txtConZRetr", "5");
    EXPECT_EQ(Text("lblConNumDCuts"), "");
    EXPECT_EQ(Text("lblConNumFCuts"), LangText(ZTopNotBelowRapid));
}

TEST_F(OperationPages, LeadButtonStoresBothLeadsOrNone)
{
    TOpManagerField& op = Open(OpKind::Contour);
    Choose("cboCCDir", 1);
    const auto answer = [this](const char* in, const char* out) {
        Notifier.QueueDialog("TFresaEntryExit", [this, in, out] {
            auto* dialog = Win->findChild<TFresaEntryExit*>();
            dialog->KindCombo(0).setCurrentIndex(1);
            dialog->LengthEdit(0).setText(QString::fromLatin1(in));
            dialog->KindCombo(1).setCurrentIndex(2);
            dialog->LengthEdit(1).setText(QString::fromLatin1(out));
            return 1;
        });
    };
    answer("0", "3");
    Click("sbtConEntExi");
    const TParametriOperazione& p = *op.Parameters;
    EXPECT_EQ(p.LeadInKind, 1);
    EXPECT_EQ(p.LeadOutKind, 2);
    EXPECT_EQ(p.LeadOutLength, 3.0);
    EXPECT_EQ(Text("sbtConEntExi"), LangText(LeadExit) + "3");
    EXPECT_TRUE(Find<QToolButton>("sbtConEntExi").isChecked());
    // A length that is no number keeps all four values.
    answer("5", "x");
    Click("sbtConEntExi");
    EXPECT_EQ(p.LeadInLength, 0.0);
    EXPECT_EQ(p.LeadOutLength, 3.0);
    EXPECT_EQ(Notifier.Messages().size(), 1u);
}

TEST_F(OperationPages, CalculateWithoutChainsKeepsTheWindow)
{
    TOpManagerField& op = Open(OpKind::Contour, true);
    Click("sbtConCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(NoChainsForTabs));
    EXPECT_TRUE(Win->isVisible());
    EXPECT_EQ(OpManager().Count(), 0);
    EXPECT_EQ(Pages->Context().CurrentOperation(), &op);
}

TEST_F(OperationPages, CalculateListsTheOperationOnceAndHides)
{
    TOpManagerField& op = Open(OpKind::Contour);
    Click("sbtConCalculate");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_FALSE(Win->isVisible());
    ASSERT_EQ(OpManager().Count(), 1);
    EXPECT_EQ(&OpManager().Operation(0), &op);
    EXPECT_TRUE(op.Calculated);
    EXPECT_FALSE(op.Toolpaths.empty());
    EXPECT_EQ(Tree, std::vector<bool>{true});
    EXPECT_EQ(Info.rfind(LangText(SimMachiningTime), 0), 0u);
    // Opened again from the tree: refreshed, not added.
    Pages->Edit(op);
    ASSERT_TRUE(Win->isVisible());
    Click("sbtConCalculate");
    EXPECT_EQ(OpManager().Count(), 1);
    EXPECT_EQ(Tree, (std::vector<bool>{true, false}));
}

// The depth passes come from the Z fields at Calculate, also when no Z
// field's handler ran since the pages were shown.
TEST_F(OperationPages, CalculateTakesTheDepthPassesFromTheZFields)
{
    for (const int kind : {OpKind::Contour, OpKind::Pocket}) {
        TOpManagerField& op = Open(kind);
        const bool contour = kind == OpKind::Contour;
        const std::pair<const char*, const char*> fields[] = {
            {contour ? "txtConTopStock" : "txtPocTopStock", "0"},
            {contour ? "txtConZDepthTot" : "txtPocZDepthTot", "-3"},
            {contour ? "txtConIncPassZ" : "txtPocIncPassZ", "1"}};
        for (const auto& [name, text] : fields) {
            auto& edit = Find<QLineEdit>(name);
            const QSignalBlocker quiet(edit);
            edit.setText(QString::fromLatin1(text));
        }
        op.Parameters->PassCount = 0;
        op.Parameters->PassDepth = 0;
        Click(contour ? "sbtConCalculate" : "sbtPocCalculate");
        EXPECT_EQ(op.Parameters->PassCount, 3) << kind;
        EXPECT_DOUBLE_EQ(op.Parameters->PassDepth, 1.0) << kind;
        Win->hide();
    }
}

TEST_F(OperationPages, BadNumberStoresNothingAndKeepsTheWindow)
{
    TOpManagerField& op = Open(OpKind::Contour);
    const double depth = op.Parameters->ZDepth;
    const double rapid = op.Parameters->ZRapid;
    Type("txtConZRapid", "7");
    Type("txtConZDepthTot", ".");
    Click("sbtConCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_NE(Notifier.Messages()[0].Text.find("\".\""), std::string::npos);
    EXPECT_EQ(op.Parameters->ZDepth, depth);
    EXPECT_EQ(op.Parameters->ZRapid, rapid);
    EXPECT_TRUE(Win->isVisible());
    EXPECT_EQ(OpManager().Count(), 0);

    // The tool page refuses alone ("465"); the other values wait as well.
    Type("txtConZDepthTot", "-3");
    Find<QLineEdit>("txtDiametro").setText("x");
    Notifier.Clear();
    Click("sbtConCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(ToolBadNumber));
    EXPECT_EQ(op.Parameters->ZDepth, depth);
    EXPECT_EQ(op.Parameters->ZRapid, rapid);
    EXPECT_TRUE(Win->isVisible());
}

TEST_F(OperationPages, EmptyPocketReportsAndStaysUncalculated)
{
    TOpManagerField* op = Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(OpKind::Pocket));
    op->Chains.AddChain(kbtest::Square(0, 0, 2));
    Pages->ImpostaDialoghi(OpKind::Pocket);
    Find<QLineEdit>("txtDiametro").setText("6");
    Click("sbtPocCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(ToolBadNumber));
    EXPECT_TRUE(Win->isVisible());
    EXPECT_FALSE(op->Calculated);
    EXPECT_EQ(OpManager().Count(), 0);
}

// A generator that raises (here the zig-zag pocket, whose step-over would
// need millions of passes) frees the new operation; the pages are idle
// again for the next one.
TEST_F(OperationPages, AnExceptionDiscardsANewOperationAndLeavesThePagesIdle)
{
    TOpManagerField* op = Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(OpKind::Pocket));
    op->Chains.AddChain(kbtest::Square(0, 0, 20000));
    Pages->ImpostaDialoghi(OpKind::Pocket);
    Find<QLineEdit>("txtDiametro").setText("0.1");
    Type("txtPocStepOverPer", "10");
    Click("sbtPocCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(ToolBadNumber));
    EXPECT_EQ(Pages->Context().NewOperation(), nullptr);
    EXPECT_EQ(OpManager().Count(), 0);

    Notifier.Clear();
    Open(OpKind::Contour);
    Click("sbtConCalculate");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(OpManager().Count(), 1);
}

// A listed operation opened again whose new Calculate does not succeed (a
// refusal, a generator that raises) stays as it was: its parameters, its
// tool and the very curves of its toolpath.
TEST_F(OperationPages, AFailedCalculateOfAListedOperationKeepsItAsItWas)
{
    struct TCase {
        const char* Name;
        int Kind;
        std::function<void()> Change;
        std::string Message;
    };
    const TCase cases[] = {
        {"contour, tool of diameter 0", OpKind::Contour,
         [this] {
             Type("txtConZRapid", "9");
             Find<QLineEdit>("txtDiametro").setText("0");
         },
         LangFormat(LangText(ToolNoDiameter), {"T1", "0"})},
        {"pocket, the generator raises", OpKind::Pocket,
         [this] {
             Find<QLineEdit>("txtDiametro").setText("0.1");
             Type("txtPocStepOverPer", "10");
             Type("txtPocZRapid", "9");
             TOpManagerField& op = *Pages->Context().CurrentOperation();
             op.Chains.ClearAll();
             op.Chains.AddChain(kbtest::Square(0, 0, 20000));
         },
         LangText(ToolBadNumber)},
        {"pocket, depth above the top", OpKind::Pocket,
         [this] {
             Type("txtPocTopStock", "0");
             Type("txtPocZDepthTot", "2");
         },
         "The top of part is below the depth."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        OpManager().DeleteAll();
        Notifier.Clear();
        TOpManagerField& op = Open(c.Kind);
        Find<QLineEdit>("txtDiametro").setText("3");
        Click(c.Kind == OpKind::Pocket ? "sbtPocCalculate" : "sbtConCalculate");
        ASSERT_EQ(OpManager().Count(), 1) << (Notifier.Messages().empty() ? "" : Notifier.Messages()[0].Text);
        const TParametriOperazione& p = *op.Parameters;
        const double depth = p.ZDepth, rapid = p.ZRapid, top = p.ZTop, step = p.StepOverPercent;
        const double diameter = p.ToolData->Diameter;
        std::vector<const TCurvaNci3d*> curves;
        for (const auto& curve : op.Toolpaths)
            curves.push_back(curve.get());
        ASSERT_FALSE(curves.empty());

        Pages->Edit(op);
        c.Change();
        // The Z fields' handlers recount the passes as they are typed.
        const int32_t passes = p.PassCount;
        Click(c.Kind == OpKind::Pocket ? "sbtPocCalculate" : "sbtConCalculate");
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Message);
        ASSERT_EQ(OpManager().Count(), 1);
        EXPECT_EQ(&OpManager().Operation(0), &op);
        EXPECT_EQ(op.Parameters.get(), &p);
        EXPECT_EQ(p.ZDepth, depth);
        EXPECT_EQ(p.ZRapid, rapid);
        EXPECT_EQ(p.ZTop, top);
        EXPECT_EQ(p.StepOverPercent, step);
        EXPECT_EQ(p.ToolData->Diameter, diameter);
        EXPECT_EQ(p.PassCount, passes);
        ASSERT_EQ(op.Toolpaths.size(), curves.size());
        for (size_t i = 0; i < curves.size(); ++i)
            EXPECT_EQ(op.Toolpaths[i].get(), curves[i]) << i;
        Win->hide();
    }
}

TEST_F(OperationPages, CancelFreesANewOperationAndKeepsAListedOne)
{
    Open(OpKind::Contour);
    Click("sbtConCancel");
    EXPECT_FALSE(Win->isVisible());
    EXPECT_EQ(Pages->Context().CurrentOperation(), nullptr);
    EXPECT_EQ(Pages->Context().NewOperation(), nullptr);

    TOpManagerField& op = Open(OpKind::Drilling);
    Click("sbtDriCalculate");
    ASSERT_EQ(OpManager().Count(), 1);
    Pages->Edit(op);
    Click("sbtDriCancel");
    EXPECT_FALSE(Win->isVisible());
    ASSERT_EQ(OpManager().Count(), 1);
    EXPECT_EQ(&OpManager().Operation(0), &op);
}

TEST_F(OperationPages, CommentShowsThePlaceholderAndStoresWhatWasTyped)
{
    TOpManagerField& op = Open(OpKind::Contour);
    QApplication::setActiveWindow(Win.get());
    EXPECT_EQ(Text("txtOpComment"), LangToolWinCaption("txtOpComm"));
    Type("txtOpComment", "roughing");
    Find<QLineEdit>("txtGiri").setFocus();
    QApplication::processEvents();
    EXPECT_EQ(op.Comment, "roughing");
}

// Every control of the kind set away from its default, calculated, saved
// with the document's operations section, read back and opened for
// editing: each control shows its value again.
TEST_F(OperationPages, ParametersRoundTripThroughPagesAndDocument)
{
    using TValues = std::map<std::string, std::string>;
    const std::map<int, TValues> kinds = {
        {OpKind::Contour,
         {{"txtConZRapid", "3"}, {"txtConTopStock", "1"}, {"txtConZDepthTot", "-2"}, {"txtConIncPassZ", "0.5"},
          {"chkConRetr", "1"}, {"txtConZRetr", "12"}, {"txtConStockXY", "0.2"}, {"speConNRoughCuts", "2"},
          {"txtConRoughSize", "1.5"}, {"speConNFinishCuts", "1"}, {"txtConFinishSize", "0.3"}, {"cboMethod", "2"},
          {"cboDepthCutOrder", "0"}, {"cboCCDir", "1"}, {"txtCCOffset", "2"}, {"chkG41G42", "1"}, {"chkLayerPriority", "1"}}},
        {OpKind::Pocket,
         {{"txtPocZRapid", "3"}, {"txtPocTopStock", "1"}, {"txtPocZDepthTot", "-2"}, {"txtPocIncPassZ", "0.5"},
          {"chkPocRetr", "1"}, {"txtPocZRetr", "12"}, {"txtPocStockXY", "0.2"}, {"spePocNFinishCuts", "2"},
          {"txtPocFinishSize", "0.3"}, {"cboPocType", "1"}, {"txtCCOffset", "1.5"}, {"txtAngZigZag", "15"}, {"chkPocSpiralInOut", "0"},
          {"txtPocStepOverPer", "40"}, {"chkKeepToolDown", "0"}, {"cboPocketEntry", "0"}}},
        {OpKind::Drilling,
         {{"txtDriZRapid", "3"}, {"txtDriTopStock", "1"}, {"txtDriZDepthTot", "-2"}, {"chkDriRetr", "1"},
          {"txtDriZRetr", "12"}, {"cboCycle", "1"}, {"txtDriIncPassZ", "0.5"}, {"dri_txtPasso", "1.25"}}},
    };
    TWidgetToolPage page(*Win, *Win);
    const auto set = [&page](const std::string& name, const std::string& value) {
        QWidget* control = page.Find(name);
        if (qobject_cast<QComboBox*>(control))
            page.SetItemIndex(name, std::stoi(value));
        else if (qobject_cast<QAbstractButton*>(control))
            page.SetChecked(name, value == "1");
        else
            page.SetText(name, value);
    };
    const auto shown = [&page](const std::string& name) -> std::string {
        QWidget* control = page.Find(name);
        if (qobject_cast<QComboBox*>(control))
            return std::to_string(page.ItemIndex(name));
        if (qobject_cast<QAbstractButton*>(control))
            return page.Checked(name) ? "1" : "0";
        const auto number = ParseDecimal(page.Text(name));
        return number ? FormatCoord(*number) : page.Text(name);
    };
    for (const auto& [kind, values] : kinds) {
        SCOPED_TRACE(kind);
        OpManager().DeleteAll();
        TOpManagerField& op = Open(kind);
        for (const auto& [name, value] : values)
            set(name, value);
        Click(kind == OpKind::Contour ? "sbtConCalculate" : kind == OpKind::Pocket ? "sbtPocCalculate"
                                                                                   : "sbtDriCalculate");
        ASSERT_EQ(Notifier.Messages().size(), 0u) << Notifier.Messages()[0].Text;
        ASSERT_EQ(OpManager().Count(), 1);
        ASSERT_TRUE(op.Calculated);
        TMemoryStream saved;
        OpManager().SaveToStream(saved);
        OpManager().DeleteAll();
        // A new operation of another kind shows its defaults meanwhile.
        Open(kind == OpKind::Contour ? OpKind::Pocket : OpKind::Contour);
        Click("sbtConCancel");
        Win->hide();
        saved.SetPosition(0);
        OpManager().LoadFromStream(saved, "QV-3.6");
        ASSERT_EQ(OpManager().Count(), 1);
        Pages->Edit(OpManager().Operation(0));
        for (const auto& [name, value] : values) {
            QWidget* control = page.Find(name);
            const bool item = qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractButton*>(control);
            EXPECT_EQ(shown(name), item ? value : FormatCoord(std::stod(value))) << name;
        }
        Win->hide();
    }
}

TEST_F(OperationPages, StepAndRepeatWidensThePageAndCopiesThePath)
{
    TOpManagerField& plain = Open(OpKind::Contour);
    Click("sbtConCalculate");
    const size_t single = plain.Toolpaths.size();
    ASSERT_GT(single, 0u);

    TOpManagerField& op = Open(OpKind::Contour);
    ClickTab("tabContour");
    const int width = Win->width();
    Click("sbtConXform");
    EXPECT_EQ(Win->width(), width + 160);
    ASSERT_NE(Win->Sheet("tabContour")->findChild<QGroupBox*>("grpCncXform"), nullptr);
    Type("txtConXformXStep", "2");
    Type("txtConXformXDelta", "30");
    Click("sbtConCalculate");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(op.Parameters->StepCountX, 2);
    EXPECT_EQ(op.Parameters->StepX, 30.0);
    EXPECT_EQ(op.Toolpaths.size(), 2 * single);
}

TEST_F(OperationPages, EditingKeepsTheStepAndRepeatOfTheOperation)
{
    TOpManagerField& op = Open(OpKind::Contour);
    op.Parameters->XformOn = 1;
    op.Parameters->StepCountX = 3;
    Click("sbtConCalculate");
    ASSERT_EQ(OpManager().Count(), 1);
    Pages->Edit(op);
    EXPECT_TRUE(Find<QToolButton>("sbtConXform").isChecked());
    EXPECT_EQ(op.Parameters->XformOn, 1);
    ClickTab("tabContour");
    EXPECT_EQ(Text("txtConXformXStep"), "3");
}

} // namespace
