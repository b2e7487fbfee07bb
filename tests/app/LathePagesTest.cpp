// The lathe pages of the tool window (offscreen): the compensation choices
// of every kind, the page set, the switches with their pictures, the home
// position through the coordinate dialog, the entry vector, a document
// holding lathe operations saved, opened and edited, and the lathe tool
// list with its files. Clicks and keys go through the widgets.

#include "app/machining/LathePages.h"
#include "app/machining/OperationPages.h"
#include "app/mainwin/frmCoord.h"
#include "app/toolwin/LatheToolPage.h"
#include "app/toolwin/SettingsPages.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "cam/tools/LibreriaUtBase.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/file/DocumentFile.h"
#include "core/settings/LangKeys.h"
#include "core/settings/NumberText.h"
#include "nc/writer/ScriveGCode.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <filesystem>

namespace {

using namespace LangKeys::String;

struct LathePages : kbtest::MachiningPages {
    LathePages()
    {
        kbtest::WriteFileBytes(Dir.File("tools/Lathe_mm.rlb"),
                               kbtest::Concat({kbtest::LatheBytes(1, "VNMG", 0.4), kbtest::LatheBytes(2, "DCMT", 0.8),
                                               kbtest::LatheBytes(3, "CCMT", 1.2)}));
        Pages = std::make_unique<TOperationPages>(*Win, &Monitor);
        Win->ShowStatusMessage = [this](const std::string& text) { Status = text; };
        OldX = GCodeWriter().XPref;
        OldZ = GCodeWriter().ZPref;
        GCodeWriter().XPref = "X";
        GCodeWriter().ZPref = "Z";
    }
    ~LathePages() override
    {
        GCodeWriter().XPref = OldX;
        GCodeWriter().ZPref = OldZ;
        Win->hide();
        Pages.reset();
        OpManager().DeleteAll();
        OpManager().LastIndex = -1;
    }

    TOpManagerField& Open(int kind)
    {
        TOpManagerField* op = Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(kind));
        Pages->ImpostaDialoghi(kind);
        QApplication::processEvents();
        return *op;
    }
    void ClickTab(const char* tab)
    {
        QTabBar* bar = Win->pgCtrToolWin().tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Win->pgCtrToolWin().indexOf(Win->Sheet(tab))).center());
    }
    std::string Text(const char* name) const { return TWidgetToolPage(*Win, *Win).Text(name); }
    // The field gets the focus as a click would give it.
    void Enter(const char* field)
    {
        QApplication::setActiveWindow(Win.get());
        Find<QWidget>(field).setFocus(Qt::MouseFocusReason);
    }
    int Picture(const char* image) const { return Find<QLabel>(image).property("imageIndex").toInt(); }

    std::unique_ptr<TOperationPages> Pages;
    std::string Status;
    std::string OldX, OldZ;
};

TEST_F(LathePages, CompensationChoicesFollowTheKind)
{
    const std::string lathe[] = {LangText(LatheSide0), LangText(LatheSide1), LangText(LatheSide2)};
    const std::string fixed = LangText(CompSideFixed);
    struct TCase {
        int Kind;
        int Item;
        std::string Shown;
    };
    const TCase cases[] = {
        {OpKind::LatheFinish, 1, lathe[1]},
        {OpKind::LatheRough, 0, fixed},
        {OpKind::Pocket, 2, fixed},
        {OpKind::Contour, 0, LangText(CompSideOff)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        Open(c.Kind);
        auto& side = Find<QComboBox>("cboCCDir");
        const bool isLathe = IsLatheKind(c.Kind);
        ASSERT_EQ(side.count(), 3);
        EXPECT_EQ(side.itemText(0).toStdString(), isLathe ? lathe[0] : LangText(CompSideOff));
        EXPECT_EQ(side.itemText(2).toStdString(), isLathe ? lathe[2] : LangText(CompSideInside));
        EXPECT_EQ(side.currentIndex(), c.Item);
        EXPECT_EQ(side.currentText().toStdString(), c.Shown);
        EXPECT_EQ(Find<QWidget>("txtCCOffset").isHidden(), isLathe);
        EXPECT_EQ(Find<QWidget>("chkInOutMid").isHidden(), isLathe);
        EXPECT_EQ(Find<QWidget>("sbtChainPos").isEnabled(), isLathe);
        Win->hide();
    }
}

TEST_F(LathePages, LatheKindsShowTheirPagesAtTheirSize)
{
    for (const auto& [kind, page, caption] : {std::tuple{OpKind::LatheFinish, "tabLatheFin", "twLatheFin"},
                                             std::tuple{OpKind::LatheRough, "tabLatheRou", "twLatheRou"}}) {
        Open(kind);
        EXPECT_EQ(Win->ShownPages(), (std::vector<std::string>{"tabLatheTool", "tabChain", page}));
        EXPECT_EQ(Win->size(), QSize(494, 388));
        EXPECT_EQ(Win->windowTitle().toStdString(), LangToolWinText(caption));
        EXPECT_EQ(Status, LangText(StatusToolPage));
        ClickTab(page);
        EXPECT_EQ(Win->width(), 348);
        EXPECT_EQ(Status, LangText(StatusParameterPage));
        ClickTab("tabLatheTool");
        EXPECT_EQ(Win->width(), 494);
        Win->hide();
    }
}

TEST_F(LathePages, SwitchesStoreAtOnceAndFieldsShowTheirPictures)
{
    TOpManagerField& fin = Open(OpKind::LatheFinish);
    ClickTab("tabLatheFin");
    const TParametriOperazione& p = *fin.Parameters;
    struct TSwitch {
        const char* Check;
        const char* Button;
        const bool* Stored;
        int Picture;
    };
    const TSwitch switches[] = {
        {"chkLatFinEntry", "sbtLatFinEntry", &p.LatheEntryOn, 33},
        {"chkLatFinExit", "sbtLatFinExit", &p.LatheExitOn, 34},
        {"chkLatFinHP", "sbtLatFinHP", &p.LatheHomeOn, 35},
    };
    for (const TSwitch& s : switches) {
        SCOPED_TRACE(s.Check);
        EXPECT_FALSE(Find<QWidget>(s.Button).isEnabled());
        Click(s.Check);
        EXPECT_TRUE(*s.Stored);
        EXPECT_TRUE(Find<QWidget>(s.Button).isEnabled());
        EXPECT_EQ(Picture("imgLatFin"), s.Picture);
        Click(s.Check);
        EXPECT_FALSE(*s.Stored);
        EXPECT_FALSE(Find<QWidget>(s.Button).isEnabled());
    }
    Click("chkFinFace");
    EXPECT_EQ(Picture("imgLatFin"), 38);
    Click("chkFinFace");
    EXPECT_EQ(Picture("imgLatFin"), 37);
    Enter("txtLatFinStock");
    EXPECT_EQ(Picture("imgLatFin"), 31);
    Enter("txtLatFinDimFin");
    EXPECT_EQ(Picture("imgLatFin"), 32);
    Win->hide();

    TOpManagerField& rou = Open(OpKind::LatheRough);
    ClickTab("tabLatheRou");
    for (const auto& [field, picture] : {std::pair{"txtLatRouStock", 31}, std::pair{"txtLatRouStepOver", 36},
                                         std::pair{"speLRouNFinishCuts", 32}, std::pair{"txtLatRouDimFin", 32}}) {
        Enter(field);
        EXPECT_EQ(Picture("imgLatRou"), picture) << field;
    }
    Click("chkLatRouHP");
    EXPECT_TRUE(rou.Parameters->LatheHomeOn);
    EXPECT_EQ(Picture("imgLatRou"), 35);
    // The other page's switch of the same name is not touched.
    EXPECT_FALSE(Find<QCheckBox>("chkLatFinHP").isChecked());
}

TEST_F(LathePages, HomePositionIsTypedWithThePostsAxisLetters)
{
    TOpManagerField& op = Open(OpKind::LatheFinish);
    ClickTab("tabLatheFin");
    Click("chkLatFinHP");
    const auto answer = [this](const char* x, const char* z, int result) {
        Notifier.QueueDialog("frmCoord", [this, x, z, result] {
            auto* dialog = Win->findChild<TfrmCoord*>();
            // The labels name the post's words while the dialog is up.
            EXPECT_EQ(dialog->lblCoordX().text(), QStringLiteral("X"));
            EXPECT_EQ(dialog->lblCoordY().text(), QStringLiteral("Z"));
            dialog->txtCoordX().setText(QString::fromLatin1(x));
            dialog->txtCoordY().setText(QString::fromLatin1(z));
            return result;
        });
    };
    answer("10", "20", TfrmCoord::ResultOk);
    Click("sbtLatFinHP");
    EXPECT_EQ(op.Parameters->LatheHome.X, 10.0);
    EXPECT_EQ(op.Parameters->LatheHome.Z, 20.0);
    EXPECT_EQ(Text("sbtLatFinHP"), LangText(LatheHomeButton) + " X10, Z20");
    auto* dialog = Win->findChild<TfrmCoord*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->lblCoordX().text(), QStringLiteral("X:"));
    EXPECT_EQ(dialog->lblCoordY().text(), QStringLiteral("Y:"));

    // Cancelled, or a second value that is no number: the home stays whole.
    answer("1", "2", TfrmCoord::ResultCancel);
    Click("sbtLatFinHP");
    answer("5", "-", TfrmCoord::ResultOk);
    Click("sbtLatFinHP");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(op.Parameters->LatheHome.X, 10.0);
    EXPECT_EQ(op.Parameters->LatheHome.Z, 20.0);
    EXPECT_EQ(dialog->lblCoordX().text(), QStringLiteral("X:"));
}

TEST_F(LathePages, EntryAndExitButtonsShowLengthAndAngle)
{
    TOpManagerField& op = ListedOperation(OpKind::LatheFinish);
    op.Parameters->LatheEntry = {3, 4};
    op.Parameters->LatheEntryOn = true;
    op.Parameters->LatheExit = {0, -2};
    op.Parameters->LathePointsToStored(); // as a document holds them
    Pages->Edit(op);
    const std::string degree = "\xB0";
    EXPECT_EQ(Text("sbtLatFinEntry"), LangText(LatheEntryButton) + " ( 5 @ 53.13" + degree + ")");
    EXPECT_TRUE(Find<QPushButton>("sbtLatFinEntry").text().endsWith(QStringLiteral("53.13\u00B0)")));
    EXPECT_TRUE(Find<QWidget>("sbtLatFinEntry").isEnabled());
    EXPECT_EQ(Text("sbtLatFinExit"), LangText(LatheExitButton) + " ( 2 @ -90" + degree + ")");
    EXPECT_FALSE(Find<QWidget>("sbtLatFinExit").isEnabled());

    ClickTab("tabLatheFin");
    Notifier.QueueDialog("TLatEntry", [this] {
        auto* dialog = Win->findChild<TLatEntry*>();
        dialog->LengthEdit().setText(QStringLiteral("2"));
        dialog->AngleEdit().setText(QStringLiteral("180"));
        return 0;
    });
    Click("sbtLatFinEntry");
    EXPECT_NEAR(op.Parameters->LatheEntry.X, -2.0, 1e-9);
    EXPECT_NEAR(op.Parameters->LatheEntry.Z, 0.0, 1e-9);
    EXPECT_EQ(Text("sbtLatFinEntry"), LangText(LatheEntryButton) + " ( 2 @ 180" + degree + ")");
    EXPECT_EQ(Win->findChild<TLatEntry*>(), nullptr);
    // The stored copy follows, so the next opening shows the new vector.
    EXPECT_NEAR(op.Parameters->MarginX, -2.0, 1e-9);
    Win->hide();
    Pages->Edit(op);
    EXPECT_EQ(Text("sbtLatFinEntry"), LangText(LatheEntryButton) + " ( 2 @ 180" + degree + ")");
}

TEST_F(LathePages, SavedDocumentKeepsWhatThePagesStored)
{
    TOperationsHooks hooks;
    TOpManagerField& fin = ListedOperation(OpKind::LatheFinish);
    fin.Parameters->StockXY = 1.5;
    fin.Parameters->FinishCount = 2;
    fin.Parameters->FinishFace = true;
    TOpManagerField& rou = ListedOperation(OpKind::LatheRough);
    rou.Parameters->StepOverPercent = 0.75;
    rou.Parameters->LatheExitOn = true;
    const std::string file = Dir.File("lathe.kvx");
    Doc.SaveToFile(file);
    const auto reopen = [&] {
        OpManager().DeleteAll();
        (void)Doc.LoadFromFile(file, false);
        ASSERT_EQ(OpManager().Count(), 2);
    };
    reopen();

    Pages->Edit(OpManager().Operation(0));
    EXPECT_EQ(Text("txtLatFinStock"), "1.5");
    EXPECT_EQ(Text("speLFinNFinishCuts"), "2");
    EXPECT_TRUE(Find<QCheckBox>("chkFinFace").isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkLatFinHP").isChecked());
    ClickTab("tabLatheFin");
    Click("chkLatFinHP");
    Notifier.QueueDialog("frmCoord", [this] {
        auto* dialog = Win->findChild<TfrmCoord*>();
        dialog->txtCoordX().setText(QStringLiteral("10"));
        dialog->txtCoordY().setText(QStringLiteral("20"));
        return TfrmCoord::ResultOk;
    });
    Click("sbtLatFinHP");
    Win->hide();
    Doc.SaveToFile(file);
    reopen();
    EXPECT_TRUE(OpManager().Operation(0).Parameters->LatheHomeOn);
    // The home typed comes back with the document.
    Pages->Edit(OpManager().Operation(0));
    EXPECT_EQ(Text("sbtLatFinHP"), LangText(LatheHomeButton) + " X10, Z20");
    EXPECT_TRUE(Find<QWidget>("sbtLatFinHP").isEnabled());
    Win->hide();

    Pages->Edit(OpManager().Operation(1));
    EXPECT_EQ(Text("txtLatRouStepOver"), "0.75");
    EXPECT_TRUE(Find<QCheckBox>("chkLatRouExit").isChecked());
    EXPECT_TRUE(Find<QWidget>("sbtLatRouExit").isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkLatRouHP").isChecked());
    // Calculate of a lathe page does nothing.
    ClickTab("tabLatheRou");
    Click("sbtLatRouCalculate");
    EXPECT_TRUE(Win->isVisible());
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(LathePages, FeedUnitCaptionsFollowTheUnit)
{
    SetLatheFeedUnitCaptions(*Win, false);
    EXPECT_EQ(Text("rbtLatheURev"), LangText(LatheFeedRevInch));
    EXPECT_EQ(Text("rbtLatheUMin"), LangText(LatheFeedMinInch));
    SetLatheFeedUnitCaptions(*Win, true);
    EXPECT_EQ(Text("rbtLatheURev"), LangText(LatheFeedRevMm));
    EXPECT_EQ(Text("rbtLatheUMin"), LangText(LatheFeedMinMm));
}

// --- The lathe tool list -----------------------------------------------------------------

struct LatheToolList : LathePages {
    TToolListWidget& List() const { return Win->LatheToolPage().lsvLatheTools(); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < List().count(); ++i)
            captions.push_back(List().item(i)->text().toStdString());
        return captions;
    }
    std::string Caption(const char* name, const char* size) const
    {
        return std::string(name) + " (" + LangText(LatheToolSize) + " " + size + ")";
    }
    QPoint RowCentre(int row) const { return List().visualItemRect(List().item(row)).center(); }
    void DragRow(int from, int to)
    {
        QTest::mousePress(List().viewport(), Qt::LeftButton, {}, RowCentre(from));
        QTest::mouseRelease(List().viewport(), Qt::LeftButton, {}, RowCentre(from));
        QMimeData data;
        data.setData(QString::fromLatin1(TToolListWidget::MimeType), List().DragTag());
        QDragEnterEvent enter(RowCentre(to), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &enter);
        QDropEvent drop(QPointF(RowCentre(to)), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &drop);
    }
};

TEST_F(LatheToolList, ChangedToolTakesTheOperationsInsert)
{
    TOpManagerField& op = Open(OpKind::LatheRough);
    EXPECT_EQ(Captions(), (std::vector<std::string>{Caption("VNMG", "0.4"), Caption("DCMT", "0.8"),
                                                    Caption("CCMT", "1.2")}));
    EXPECT_EQ(Text("lblLatheToolsLibName"), Dir.File("tools/Lathe_mm.rlb"));

    // The insert geometry of the operation's tool, then a tool changed.
    Notifier.QueueDialog("TLatToolGeoDef", [this] {
        auto* dialog = Win->findChild<TLatToolGeoDef*>();
        dialog->NameEdit().setText(QStringLiteral("Mine"));
        dialog->RadiusEdit().setText(QStringLiteral("0.2"));
        return 0;
    });
    Click("sbtToolGeo");
    EXPECT_EQ(op.Parameters->ToolData->ToolName, "Mine");
    EXPECT_NE(Text("sbtToolGeo").find("Mine"), std::string::npos);
    List().setCurrentRow(1);
    Type("txtLatheGiri", "900");
    Click("sbtLModifyTool");
    EXPECT_EQ(Captions()[1], Caption("Mine", "0.2"));
    EXPECT_EQ(CurrentToolLibrary()->Record(1).SpindleSpeed, 900);

    // A bad number: "465", the caption stays.
    Type("txtLatheFeedrate", ".");
    Click("sbtLModifyTool");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(ToolBadNumber));
    EXPECT_EQ(Captions()[1], Caption("Mine", "0.2"));
}

TEST_F(LatheToolList, DragDeleteAndSaveReachTheFile)
{
    Open(OpKind::LatheFinish);
    DragRow(2, 0);
    EXPECT_EQ(Captions()[0], Caption("CCMT", "1.2"));
    List().setCurrentRow(1);
    List().findChild<QAction*>(QStringLiteral("mnuToolDelete"))->trigger();
    EXPECT_EQ(Captions(), (std::vector<std::string>{Caption("CCMT", "1.2"), Caption("DCMT", "0.8")}));

    // Saved under a name without extension: the lathe one is added.
    const std::string saved = Dir.File("tools/x");
    Notifier.QueueFileName(saved);
    Click("sbtLatheSaveLib");
    EXPECT_EQ(Notifier.LastFileRequest().DefaultSuffix, "rlb");
    ASSERT_TRUE(std::filesystem::exists(saved + ".rlb"));
    EXPECT_EQ(Config->LatheLib, saved + ".rlb");
    TTornioLib reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(saved + ".rlb"));
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.Record(0).ToolName, "CCMT");

    // Opened again: a damaged file keeps the setting.
    const std::string bad = Dir.File("bad.rlb");
    kbtest::WriteFileBytes(bad, {1, 2, 3});
    Notifier.QueueFileName(bad);
    Click("sbtLatheOpenLib");
    EXPECT_EQ(Notifier.LastFileRequest().Filters.at(0).Extensions, std::vector<std::string>{"rlb"});
    EXPECT_EQ(Config->LatheLib, saved + ".rlb");
}

} // namespace
