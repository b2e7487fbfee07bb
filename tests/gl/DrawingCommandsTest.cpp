// Drawing commands in the running program that must do what they say: the
// TrueType text placed from its page, Enter in a properties-panel cell, the
// view's right-click Done, and the properties panel showing the command it
// belongs to with the values that command uses.

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/mainwin/RecentCommands.h"
#include "app/mainwin/frmCoord.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/scene/QVScene.h"
#include "cad/states/DrawStateParams.h"
#include "cad/ui/InfoEdit.h"
#include "cad/ui/SceneViewer.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/NumberText.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

struct DrawingCommands : ::testing::Test {
    DrawingCommands()
    {
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    TQV_00Prog& Prg() const { return Program->Prg(); }
    TInfoEditModel& Panel() const { return Window().InfoEdit().Model(); }
    void Trigger(const char* action) const
    {
        auto& item = kbtest::Child<QAction>(Window(), action);
        item.trigger();
        kbtest::TMainWindowDriver::Settle();
    }
    void Press(const char* button) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = kbtest::Child<QAbstractButton>(Tool(), button);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    // The object the running position command places, if any.
    TObject2D* Placed() const
    {
        auto* param = Prg().CurrentState() ? dynamic_cast<TQV_40PositionObjectParam*>(Prg().CurrentState()->Param())
                                           : nullptr;
        return param ? param->Object() : nullptr;
    }
    std::vector<TObject2D*> Objects() const
    {
        std::vector<TObject2D*> objects;
        TGraphicObjIterator it = Doc().ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            if (auto* o = dynamic_cast<TObject2D*>(object))
                objects.push_back(o);
        return objects;
    }
    void Type(const char* edit, const char* text) const
    {
        auto& line = kbtest::Child<QLineEdit>(Tool(), edit);
        kbtest::TMainWindowDriver::Settle();
        line.setFocus();
        line.selectAll();
        QTest::keyClicks(&line, QString::fromLatin1(text));
    }
    // The panel as the window shows it: its title and its grid's cells.
    std::string PanelTitle() const
    {
        return Window().InfoEdit().GroupBox().title().toStdString();
    }
    std::string Cell(int row, int col) const
    {
        const QTableWidgetItem* item = Window().InfoEdit().Grid().item(row, col);
        return item ? item->text().toStdString() : std::string();
    }
    // Some row of the grid shows the two texts.
    bool ShowsRow(const std::string& x, const std::string& y) const
    {
        for (int row = 0; row < Window().InfoEdit().Grid().rowCount(); ++row)
            if (Cell(row, 0) == x && Cell(row, 1) == y)
                return true;
        return false;
    }
    // Right-click in the view at p and choose the item of the popup.
    void PopupItem(const TPoint2D& p, const char* item) const
    {
        auto& popup = kbtest::Child<QMenu>(Window(), "PopupDestro");
        const TIntPoint pixel = Driver->Pixel(p);
        QWidget& view = Window().GraphicView();
        const qreal ratio = view.devicePixelRatioF();
        const QPoint at(static_cast<int>(std::lround(pixel.X / ratio)), static_cast<int>(std::lround(pixel.Y / ratio)));
        QTest::mouseMove(Window().windowHandle(), view.mapTo(&Window(), at));
        QTest::mousePress(Window().windowHandle(), Qt::RightButton, Qt::NoModifier, view.mapTo(&Window(), at));
        QTest::mouseRelease(Window().windowHandle(), Qt::RightButton, Qt::NoModifier, view.mapTo(&Window(), at));
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup.isVisible(); }, 2000)) << "no popup";
        auto& action = kbtest::Child<QAction>(popup, item);
        ASSERT_TRUE(action.isEnabled()) << item;
        const QRect r = popup.actionGeometry(&action);
        QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, r.center());
        kbtest::TMainWindowDriver::Settle();
        EXPECT_FALSE(popup.isVisible());
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

// --- TrueType text --------------------------------------------------------------------------

TEST_F(DrawingCommands, TrueTypeTextIsPlacedInTheDefaultAndInAChosenFont)
{
    Trigger("mnuTextTT");
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_FALSE(Prg().Busy()) << "no text yet, nothing to place";
    auto& memo = kbtest::Child<QPlainTextEdit>(Tool(), "TntMemoTT");
    memo.setFocus();
    QTest::keyClicks(&memo, QStringLiteral("Hello 3"));
    Press("sbtOkTT");
    TObject2D* text = Placed();
    ASSERT_NE(text, nullptr) << "OK gives the text to place";
    auto* outlines = dynamic_cast<TContainer2D*>(text);
    ASSERT_NE(outlines, nullptr);
    // H, e (2), l, l, o (2), 3: at least seven closed outlines.
    EXPECT_GE(outlines->Objects().Count(), 7);
    const TRect2D box = outlines->Box();
    const double height = box.SecondEdge.Y - box.FirstEdge.Y;
    EXPECT_NEAR(height, 10.0, 3.0) << "the page's height of 10";
    EXPECT_GT(box.SecondEdge.X - box.FirstEdge.X, 3 * height) << "seven characters side by side";

    // A chosen font gives outlines too.
    Notifier.QueueFont(TFontChoice{"DejaVu Serif", 28, true, false});
    Press("sbtTextTT");
    TObject2D* serif = Placed();
    ASSERT_NE(serif, nullptr);
    ASSERT_GE(dynamic_cast<TContainer2D&>(*serif).Objects().Count(), 7);

    // A click places it: the outlines are in the drawing and on the screen.
    const QImage before = Driver->ShownView();
    Driver->MoveTo(Point2D(20, 20));
    Driver->ClickAt(Point2D(20, 20));
    EXPECT_FALSE(Prg().Busy());
    const std::vector<TObject2D*> placed = Objects();
    ASSERT_GE(placed.size(), 7u);
    for (TObject2D* object : placed)
        EXPECT_NE(dynamic_cast<TPolyline2D*>(object), nullptr);
    kbtest::TMainWindowDriver::Settle();
    EXPECT_FALSE(Driver->ShownView() == before);
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(DrawingCommands, TrueTypeTextTheFontCannotDrawSaysSo)
{
    Trigger("mnuTextTT");
    auto& memo = kbtest::Child<QPlainTextEdit>(Tool(), "TntMemoTT");
    // Private-use characters: no font here has an outline for them.
    memo.setPlainText(QString(QChar(0xE000)) + QChar(0xE001));
    Notifier.Clear();
    Press("sbtOkTT");
    EXPECT_EQ(Placed(), nullptr);
    EXPECT_FALSE(Prg().Busy());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_NE(Notifier.Messages()[0].Text.find("Arial"), std::string::npos) << Notifier.Messages()[0].Text;
    // Blanks alone are no text to complain about.
    memo.setPlainText(QStringLiteral("  "));
    Notifier.Clear();
    Press("sbtOkTT");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(Doc().ObjectsCount(), 0);
}

// --- The properties panel -------------------------------------------------------------------

TEST_F(DrawingCommands, EnterInAPanelCellCommitsTheCellAndStartsNothing)
{
    TObject2D* line = Doc().AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(10, 0)));
    kbtest::TMainWindowDriver::Settle();
    // A recorded command that Enter would repeat.
    Trigger("mnuTranslate");
    Driver->Key(Qt::Key_Escape);
    ASSERT_FALSE(Prg().Busy());
    ASSERT_FALSE(Window().RecentCommands().Ids().empty());

    // The line's page from the tree; its first end's X typed, then Enter.
    TGeoTreeView& tree = Window().InfoEdit().TreeGeo();
    tree.expandAll();
    QTreeWidgetItem* node = tree.Item(line->TreeNode());
    ASSERT_NE(node, nullptr);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(node).center());
    kbtest::TMainWindowDriver::Settle();
    ASSERT_EQ(Panel().PageKind(), TPanelPageKind::Entity);
    QTableWidget& grid = Window().InfoEdit().Grid();
    ASSERT_TRUE(grid.isVisible());
    QTableWidgetItem* cell = grid.item(0, 0);
    ASSERT_NE(cell, nullptr);
    grid.setFocus();
    grid.setCurrentItem(cell);
    grid.editItem(cell);
    kbtest::TMainWindowDriver::Settle();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, &grid);
    ASSERT_TRUE(grid.isAncestorOf(editor)) << "a cell editor has the focus";
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("7"));
    Driver->Key(Qt::Key_Return);

    EXPECT_FALSE(Prg().Busy()) << "Enter started the last command again";
    EXPECT_EQ(Panel().PageKind(), TPanelPageKind::Entity);
    EXPECT_EQ(Panel().Cell(0, 0), "7");
    EXPECT_EQ(Cell(0, 0), "7");
    // Apply writes what was typed.
    ASSERT_FALSE(Window().InfoEdit().Buttons().empty());
    QPushButton* apply = Window().InfoEdit().Buttons().back();
    QTest::mouseClick(apply, Qt::LeftButton, {}, apply->rect().center());
    kbtest::TMainWindowDriver::Settle();
    EXPECT_DOUBLE_EQ(dynamic_cast<TLine2D&>(*Doc().GetObject(line->ID())).Points().Get(0).X, 7.0);

    // Idle with the focus elsewhere, Enter repeats the recorded command.
    Window().GraphicView().setFocus();
    Driver->Key(Qt::Key_Return);
    EXPECT_TRUE(Prg().Busy());
    Driver->Key(Qt::Key_Escape);
}

// The panel of a line shows, once the line is there, the ends it has: a
// typed end point is not where the pointer last moved, and the arcs of the
// drawing, drawn again when the line is added, leave the line's page alone.
TEST_F(DrawingCommands, TheLinePanelShowsTheLineDrawn)
{
    Doc().AddObject(-1, std::make_unique<TArco2D>(0, Point2D(-40, -40), Point2D(-30, -40), 0.0, 1.5));
    kbtest::TMainWindowDriver::Settle();
    Trigger("mnuLineEndPt");
    ASSERT_TRUE(Prg().Busy());
    const std::string lineTitle = PanelTitle();
    Driver->ClickAt(Point2D(10, 10));
    Driver->MoveTo(Point2D(40, 25));
    // The end typed in the coordinate window, away from the pointer.
    Notifier.QueueDialog("frmCoord", [this] {
        kbtest::Child<QLineEdit>(Window(), "txtCoordX").setText(QStringLiteral("50"));
        kbtest::Child<QLineEdit>(Window(), "txtCoordY").setText(QStringLiteral("10"));
        return TfrmCoord::ResultOk;
    });
    PopupItem(Point2D(40, 25), "mnuCoord");
    ASSERT_FALSE(Prg().Busy());
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    const TPointsSet2D& ends = dynamic_cast<TLine2D&>(*objects[1]).Points();
    const TPoint2D a = ends.Get(0);
    const TPoint2D b = ends.Get(1);
    ASSERT_NEAR(b.X, 50, 1e-9);
    ASSERT_NEAR(b.Y, 10, 1e-9);
    EXPECT_EQ(PanelTitle(), lineTitle);
    EXPECT_EQ(Cell(0, 0), FormatCoord(a.X));
    EXPECT_EQ(Cell(0, 1), FormatCoord(a.Y));
    EXPECT_EQ(Cell(1, 0), FormatCoord(50.0));
    EXPECT_EQ(Cell(1, 1), FormatCoord(10.0));
    EXPECT_EQ(Cell(3, 0), FormatCoord(std::hypot(b.X - a.X, b.Y - a.Y))) << "the length of the line drawn";
}

// A command without a page of its own shows no page of another command:
// moving a circle drawn by three points does not bring that page back with
// the circle's old centre.
TEST_F(DrawingCommands, APanelShowsOnlyTheCommandItBelongsTo)
{
    Trigger("mnuCircle3Pt");
    const std::string threePoints = PanelTitle();
    Driver->ClickAt(Point2D(0, 10));
    Driver->ClickAt(Point2D(10, 0));
    Driver->ClickAt(Point2D(0, -10));
    ASSERT_FALSE(Prg().Busy());
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(PanelTitle(), threePoints);
    const std::string centreX = Cell(0, 0);
    const std::string centreY = Cell(0, 1);
    ASSERT_FALSE(centreX.empty());

    // Moved by 30 along X through the page of the move.
    Trigger("mnuTranslate");
    Driver->ClickAt(Point2D(10, 0));
    Driver->Key(Qt::Key_Return);
    ASSERT_TRUE(Tool().isVisible());
    Type("txtTransDx", "30");
    Press("sbtTranslateOk");
    ASSERT_FALSE(Prg().Busy());
    EXPECT_NE(PanelTitle(), threePoints) << "the move shows the page of the circle command";
    EXPECT_FALSE(ShowsRow(centreX, centreY)) << "the circle's old centre";
}

// --- The view's popup -----------------------------------------------------------------------

TEST_F(DrawingCommands, ThePopupsDoneFinishesAPolyline)
{
    Trigger("sbtPoly");
    ASSERT_TRUE(Prg().Busy());
    Driver->ClickAt(Point2D(0, 0));
    Driver->ClickAt(Point2D(30, 0));
    Driver->ClickAt(Point2D(30, 20));
    Driver->MoveTo(Point2D(10, 20));
    PopupItem(Point2D(10, 20), "mnuDone");
    EXPECT_FALSE(Prg().Busy());
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    const auto* polyline = dynamic_cast<TPolyline2D*>(objects[0]);
    ASSERT_NE(polyline, nullptr);
    ASSERT_GE(polyline->Points().Count(), 3);
    EXPECT_NEAR(polyline->Points().Get(2).X, 30, 1.0);
    EXPECT_NEAR(polyline->Points().Get(2).Y, 20, 1.0);
    // The view lets go of the right button the popup took.
    EXPECT_EQ(Program->Scene().DragObject(), nullptr);
}

} // namespace
