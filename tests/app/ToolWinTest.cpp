// The tool window on its own (offscreen): the frame, its quasi-modal
// switching, the command pages and what they send to a running command,
// the delete-small and statistics commands, the text pages, and the busy
// rules. Keys and clicks go through the widgets' event path.

#include "app/toolwin/EditPageCommands.h"
#include "app/toolwin/frmToolWin.h"

#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/ui/QtWorkMonitor.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/VectFont.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/text/Testo2Container.h"
#include "tests/cad/support/CADDriver.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// A command that keeps the user events it gets and ends on Cancel.
std::vector<int16_t> g_UserEvents;

class TRecordUserEvents : public TQV_00State {
public:
    TRecordUserEvents(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
    }
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override
    {
        if (event.Kind != TCADEventKind::User)
            return false;
        g_UserEvents.push_back(event.Key);
        if (!event.IsUser(TCADUserEvent::Cancel))
            return false;
        nextState = nullptr;
        return true;
    }
};

struct ToolWin : ::testing::Test {
    ToolWin() : Config(""), Undo(Doc)
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        PreviousUndo = SetUndoJournal(&Undo);
        Prg.SetViewPortGL(&View);
        Win = std::make_unique<TfrmToolWin>(Prg, Config, &Monitor, KB_DATA_DIR);
        g_UserEvents.clear();
    }
    ~ToolWin() override
    {
        Win.reset();
        SetUndoJournal(PreviousUndo);
        SetLanguageIni(nullptr);
        CADSysClearFontRegistry();
    }

    template <typename T = QWidget>
    T& Find(const char* name) const
    {
        T* widget = Win->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    // Types into the edit as the user does (the edit takes the focus).
    void Type(const char* edit, const char* text, bool clear = true)
    {
        auto& line = Find<QLineEdit>(edit);
        line.setFocus();
        if (clear)
            line.selectAll();
        if (clear && *text == '\0')
            QTest::keyClick(&line, Qt::Key_Backspace);
        QTest::keyClicks(&line, QString::fromLatin1(text));
    }
    void Click(const char* name)
    {
        QApplication::processEvents(); // the page is laid out
        auto& button = Find<QAbstractButton>(name);
        // On the indicator: a radio button takes clicks on its mark and text only.
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
    }
    void StartRecorder() { ASSERT_TRUE(Prg.StartOperation(StateClassOf<TRecordUserEvents>())); }
    void ShowTranslate() { Win->ShowPages({"tabTranslate"}, "twTrans", 250, 214); }

    kbtest::TFakeCADView View;
    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TUndoRedo Undo;
    TUndoRedo* PreviousUndo = nullptr;
    TQV_00Prog Prg;
    TQtWorkMonitor Monitor{nullptr, nullptr};
    std::unique_ptr<TfrmToolWin> Win;
};

TEST_F(ToolWin, TranslatePageSetAndItsPlace)
{
    EXPECT_EQ(Config.ToolWinLeft, 429);
    EXPECT_EQ(Config.ToolWinTop, 133);
    ShowTranslate();
    ASSERT_TRUE(Win->isVisible());
    EXPECT_EQ(Win->ShownPages(), std::vector<std::string>{"tabTranslate"});
    EXPECT_FALSE(Win->pgCtrToolWin().tabBar()->isVisible());
    EXPECT_EQ(Win->windowTitle().toStdString(), LangToolWinText(LangKeys::frmToolWin::CaptionTranslate));
    EXPECT_EQ(Win->size(), QSize(250, 214));
    EXPECT_EQ(Win->pos(), QPoint(429, 133));

    // A page set that is up stays.
    Win->ShowPages({"tabScale", "tabRotate"}, "twScale", 250, 258);
    EXPECT_EQ(Win->ShownPages(), std::vector<std::string>{"tabTranslate"});
    EXPECT_EQ(Win->size(), QSize(250, 214));

    Win->move(300, 200);
    Win->RequestHide();
    EXPECT_FALSE(Win->isVisible());
    Win->ShowPages({"tabRotate", "tabScale"}, "twRotate", 250, 213);
    EXPECT_EQ(Win->pos(), QPoint(300, 200));
    EXPECT_TRUE(Win->pgCtrToolWin().tabBar()->isVisible());
    EXPECT_EQ(Win->pgCtrToolWin().currentWidget(), Win->Sheet("tabRotate"));
    Win->hide();

    // A restart has only the design place.
    Win = std::make_unique<TfrmToolWin>(Prg, Config, &Monitor, std::string());
    ShowTranslate();
    EXPECT_EQ(Win->pos(), QPoint(429, 133));
}

TEST_F(ToolWin, QuasiModalWhileUpAndTheHideCancelsTheCommand)
{
    QWidget main;
    auto* file = new QToolBar(&main);
    QAction* save = file->addAction(QStringLiteral("save"));
    QAction* off = file->addAction(QStringLiteral("already off"));
    off->setEnabled(false);
    auto* view = new QToolBar(&main);
    QAction* zoom = view->addAction(QStringLiteral("zoom"));
    Win->SetQuasiModalTargets({file});
    int overlayCleared = 0;
    Win->ClearOverlay = [&] { ++overlayCleared; };

    StartRecorder();
    ShowTranslate();
    EXPECT_FALSE(file->isEnabled());
    EXPECT_FALSE(save->isEnabled()); // its shortcut too
    EXPECT_TRUE(zoom->isEnabled());

    QCloseEvent close;
    QApplication::sendEvent(Win.get(), &close); // the close box hides
    EXPECT_FALSE(Win->isVisible());
    EXPECT_TRUE(file->isEnabled());
    EXPECT_TRUE(save->isEnabled());
    EXPECT_FALSE(off->isEnabled()); // what was off stays off
    EXPECT_EQ(g_UserEvents, std::vector<int16_t>{2});
    EXPECT_FALSE(Prg.Busy());
    EXPECT_EQ(overlayCleared, 1);
}

TEST_F(ToolWin, TransformEditsSendCompleteNumbersTypedByTheUser)
{
    StartRecorder();
    struct TCase {
        const char* Edit;
        const char* Typed;
        std::vector<int16_t> Sent;
    };
    for (const TCase& c : {TCase{"txtTransDx", "-", {}}, TCase{"txtTransDx", "-5", {6}},
                           TCase{"txtTransDy", "12.5", {6, 6, 6, 6}}, TCase{"txtTransDy", ".", {}},
                           TCase{"txtRotateAngle", "-30", {4, 4}}, TCase{"txtScaleY", "3", {5}}}) {
        SCOPED_TRACE(std::string(c.Edit) + " " + c.Typed);
        g_UserEvents.clear();
        Type(c.Edit, c.Typed);
        EXPECT_EQ(g_UserEvents, c.Sent);
    }
    // A change by code sends nothing.
    g_UserEvents.clear();
    Win->SetText(TToolWinText::TransDx, "7");
    EXPECT_EQ(Win->Text(TToolWinText::TransDx), "7");
    EXPECT_TRUE(g_UserEvents.empty());

    // OK accepts.
    ShowTranslate();
    Click("sbtTranslateOk");
    EXPECT_EQ(g_UserEvents, std::vector<int16_t>{1});
}

TEST_F(ToolWin, ScaleMoveCopyAndMirrorAxis)
{
    Win->ShowPages({"tabScale"}, "twScale", 250, 258);
    EXPECT_TRUE(Win->Checked(TToolWinCheck::ScaleUniform));
    EXPECT_FALSE(Find("txtScaleY").isVisible());
    StartRecorder();
    Type("txtScaleX", "2");
    EXPECT_EQ(Win->Text(TToolWinText::ScaleY), "2"); // the hidden Y follows
    EXPECT_EQ(g_UserEvents, std::vector<int16_t>{5});

    Click("rbtScaleXy");
    EXPECT_FALSE(Win->UniformScaleSwitch());
    EXPECT_TRUE(Find("txtScaleY").isVisible());
    EXPECT_EQ(Find<QLabel>("lblScaleX").text().toStdString(), LangToolWinText(LangKeys::frmToolWin::ScaleFactorX));
    Type("txtScaleX", "4");
    EXPECT_EQ(Win->Text(TToolWinText::ScaleY), "2");
    Click("rbtScaleUniform");
    EXPECT_EQ(Find<QLabel>("lblScaleX").text().toStdString(), LangToolWinText(LangKeys::frmToolWin::ScaleFactor));
    EXPECT_FALSE(Find("txtScaleY").isVisible());
    Win->hide();

    // Move hides the repeat count and clears the copy switch.
    ShowTranslate();
    EXPECT_TRUE(Win->CopySwitch());
    EXPECT_TRUE(Find("txtTransRepeat").isVisible());
    Click("rbtTransMove");
    EXPECT_FALSE(Win->CopySwitch());
    EXPECT_FALSE(Find("txtTransRepeat").isVisible());
    EXPECT_FALSE(Find("lblTransNStep").isVisible());
    Win->hide();

    // Mirror: "by two points" leaves OK off; a fixed axis turns it on and
    // tells the command.
    Win->ShowPages({"tabMirror"}, "twMirror", 250, 214);
    StartRecorder();
    g_UserEvents.clear();
    EXPECT_FALSE(Find("sbtMirrorOk").isEnabled());
    Click("gprMirrorAxis0");
    EXPECT_FALSE(Find("sbtMirrorOk").isEnabled());
    EXPECT_TRUE(g_UserEvents.empty());
    Click("gprMirrorAxis2");
    EXPECT_EQ(Win->ItemIndex(TToolWinIndex::MirrorAxis), 2);
    EXPECT_TRUE(Find("sbtMirrorOk").isEnabled());
    EXPECT_EQ(g_UserEvents, std::vector<int16_t>{8});
    // The command's reset to "by two points" turns OK off again.
    Win->SetItemIndex(TToolWinIndex::MirrorAxis, 0);
    EXPECT_FALSE(Find("sbtMirrorOk").isEnabled());
    EXPECT_EQ(g_UserEvents, std::vector<int16_t>{8});
}

TEST_F(ToolWin, DeleteSmallIsOneUndoStep)
{
    const int32_t tiny = Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(0.01, 0)))->ID();
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 1), Point2D(10, 1)));
    Doc.AddObject(-1, std::make_unique<TPunto2D>(0, Point2D(5, 5)));
    const std::string found = LangText(LangKeys::String::SmallFound);
    const std::string deleted = LangText(LangKeys::String::SmallDeleted);
    ASSERT_FALSE(found.empty());
    Win->IdentDelSmallEnt = [this](bool del, double size) { return IdentDelSmallEnt(Doc, del, size); };
    Win->ShowPages({"tabDelSmall"}, "twDelSmall", 272, 220);
    EXPECT_EQ(Win->findChild<QLineEdit*>(QStringLiteral("txtSmallX"))->text(), QStringLiteral("0.025"));

    Click("sbtIdentSmallEnt");
    EXPECT_EQ(Find<QLabel>("stxReportSmall").text().toStdString(), "1 " + found);
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    Click("sbtDelSmall");
    EXPECT_EQ(Find<QLabel>("stxReportSmall").text().toStdString(), "1 " + deleted);
    EXPECT_EQ(Doc.ObjectsCount(), 2); // the point stays
    EXPECT_EQ(Doc.GetObject(tiny), nullptr);
    Undo.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_NE(Doc.GetObject(tiny), nullptr);

    // Several at once come back with one undo.
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(3, 3), Point2D(3, 3.001)));
    EXPECT_EQ(IdentDelSmallEnt(Doc, true, 0.025), "2 " + deleted);
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    Undo.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 4);

    EXPECT_EQ(IdentDelSmallEnt(Doc, false, 0), "0 " + found);
    Type("txtSmallX", "");
    Click("sbtDelSmall");
    EXPECT_EQ(Find<QLabel>("stxReportSmall").text(), QString());
    EXPECT_EQ(Doc.ObjectsCount(), 4);
}

TEST_F(ToolWin, StatisticsOfAKnownDrawingAndOfNone)
{
    const auto nodes = [this] {
        std::vector<std::string> texts;
        QTreeWidgetItem* root = Win->InfoTree()->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i)
            texts.push_back(root->child(i)->text(0).toStdString());
        texts.push_back(root->child(root->childCount() - 1)->child(0)->text(0).toStdString());
        return texts;
    };
    const auto text = [](std::string_view key, int count) { return LangText(key) + " " + std::to_string(count); };
    namespace S = LangKeys::String;
    Win->ShowStatistics(CountDrawing(Doc));
    EXPECT_EQ(nodes(), (std::vector<std::string>{LangText(S::StatsBounds), text(S::StatsPoints, 0),
                                                 text(S::StatsLines, 0), text(S::StatsRectangles, 0),
                                                 text(S::StatsArcs, 0), text(S::StatsEllipses, 0),
                                                 text(S::StatsPolylines, 0), text(S::StatsSplines, 0),
                                                 LangText(S::StatsPointsTotal), "0"}));

    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(10, 0)));
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 1), Point2D(10, 1)));
    Doc.AddObject(-1, std::make_unique<TPunto2D>(0, Point2D(-2, 5)));
    Doc.AddObject(-1, std::make_unique<TFrame2D>(0, Point2D(0, 0), Point2D(4, 3)));
    const std::vector<TPoint2D> zigzag{Point2D(0, 0), Point2D(1, 1), Point2D(2, 0), Point2D(3, 1), Point2D(4, 0)};
    Doc.AddObject(-1, std::make_unique<TPolyline2D>(0, zigzag));
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 0)));
    Doc.AddObject(-1, std::make_unique<TContainer2D>(0, std::move(children)));
    Doc.Layers().GetLayer(3).SetVisible(0);
    Doc.SetCurrentLayer(3);
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
    Doc.SetCurrentLayer(0);

    const TDrawingStatistics stats = CountDrawing(Doc);
    EXPECT_EQ(stats.Lines, 2);
    EXPECT_EQ(stats.Points, 1);
    EXPECT_EQ(stats.Rectangles, 1);
    EXPECT_EQ(stats.Polylines, 1);
    EXPECT_EQ(stats.Blocks, 1);
    EXPECT_EQ(stats.Hidden, 1);
    EXPECT_EQ(stats.PointsTotal, 2 + 2 + 1 + 4 + 5);
    Win->ShowStatistics(stats);
    // One tree: the new one replaced the last.
    EXPECT_EQ(Win->findChildren<QTreeWidget*>().size(), 1u);
    const std::vector<std::string> shown = nodes();
    EXPECT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown[2], text(S::StatsLines, 2));
    EXPECT_EQ(shown[8], text(S::StatsBlocks, 1));
    EXPECT_EQ(shown[9], text(S::StatsHidden, 1));
    EXPECT_EQ(shown.back(), "14");
}

TEST_F(ToolWin, TextPagesActOnCompleteNumbersOnly)
{
    int converted = 0;
    Win->MySLFConvClick = [&] { ++converted; };
    Win->ShowPages({"tabTextSL"}, "twTextSL", 248, 476);
    TTesto2Container& converter = Win->TextConverter();
    Type("txtAltSL", "");
    EXPECT_EQ(converted, 0);
    EXPECT_EQ(converter.TextHeight(), 10);
    Type("txtAltSL", "12");
    EXPECT_EQ(converter.TextHeight(), 12);
    EXPECT_EQ(converted, 2); // "1", then "12"
    Type("txtAltSL", ".");
    Type("txtRotSL", "-");
    EXPECT_EQ(converted, 2);
    EXPECT_EQ(converter.TextHeight(), 12);
    Type("txtRotSL", "-45");
    EXPECT_EQ(converter.Rotation(), -45);

    // The second file of the list makes font 2 current.
    auto& fonts = Find<QComboBox>("cboTextSL");
    ASSERT_GE(fonts.count(), 2);
    fonts.setCurrentIndex(1);
    EXPECT_EQ(converter.StrokeFontIndex(), 2);
    Win->hide();

    Win->ShowPages({"tabTextTT"}, "twTextTT", 248, 476);
    EXPECT_EQ(Find<QSpinBox>("sedApprFont").value(), 4);
    EXPECT_EQ(converter.CurveSteps(), 4);
    Find<QSlider>("trkBarTT").setValue(7);
    EXPECT_EQ(Find<QSpinBox>("sedApprFont").value(), 7);
    EXPECT_EQ(converter.CurveSteps(), 7);
    Click("sbtCancelTT");
    EXPECT_FALSE(Win->isVisible());
}

TEST_F(ToolWin, PointsAlongCountIsCapped)
{
    Win->ShowPages({"tabPtAlong"}, "twPtAlong", 233, 264);
    EXPECT_EQ(Win->Text(TToolWinText::NumPtAlong), "3");
    EXPECT_TRUE(Win->Checked(TToolWinCheck::AlHoles));
    EXPECT_FALSE(Win->Checked(TToolWinCheck::AlPoints));
    Type("txtNumPtAlong", "99999");
    EXPECT_EQ(Win->Text(TToolWinText::NumPtAlong), std::to_string(TfrmToolWin::MaxGeneratedPoints));
    Type("txtNumPtAlong", "250");
    EXPECT_EQ(Win->Text(TToolWinText::NumPtAlong), "250");
    Click("chkAlHoles");
    EXPECT_FALSE(Find("txtHoleDia").isEnabled());
}

TEST_F(ToolWin, BusyWorkKeepsTheWindowAndEscBreaks)
{
    Win->ShowPages({"tabTextTT"}, "twTextTT", 248, 476);
    {
        TBusySection busy(Monitor);
        QCloseEvent close;
        QApplication::sendEvent(Win.get(), &close);
        Click("sbtCancelTT");
        EXPECT_TRUE(Win->isVisible());
        bool closed = false;
        EXPECT_FALSE(Win->AllowMainClose([&] { closed = true; }));
        EXPECT_FALSE(closed);
        // Esc anywhere in the window asks the work to stop.
        Find("TntMemoTT").setFocus();
        QTest::keyClick(Win->windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(Monitor.UserBreakRequested());
    }
    Monitor.ClearUserBreak();

    // A play is stopped first; the hide follows when its loop has returned.
    bool playing = true;
    std::vector<std::function<void()>> afterLoop;
    Win->PlayRunning = [&] { return playing; };
    Win->StopPlayThen = [&](std::function<void()> then) {
        playing = false;
        afterLoop.push_back(std::move(then));
    };
    Click("sbtCancelTT");
    EXPECT_TRUE(Win->isVisible());
    ASSERT_EQ(afterLoop.size(), 1u);
    afterLoop.front()();
    EXPECT_FALSE(Win->isVisible());
    EXPECT_TRUE(Win->AllowMainClose([] {}));
}

} // namespace
