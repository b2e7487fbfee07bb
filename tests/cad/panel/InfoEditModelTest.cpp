#include "cad/panel/InfoEditModel.h"

#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "tests/cad/PanelFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace info_edit_model_test {

namespace {

namespace Pg = InfoEditPage;

TPoint2D P(double x, double y)
{
    return TPoint2D{x, y, 1.0};
}

// The texts of the panel's grid, row by row.
std::vector<std::vector<std::string>> Cells(const TInfoEditModel& panel)
{
    std::vector<std::vector<std::string>> cells(panel.RowCount());
    for (int row = 0; row < panel.RowCount(); ++row)
        for (int col = 0; col < panel.ColumnCount(); ++col)
            cells[row].push_back(panel.Cell(row, col));
    return cells;
}

class InfoEditModelTest : public ::testing::Test {
protected:
    kbtest::TPanelDrawing Drawing;
    TInfoEditModel Panel{true};
};

// The commands read their parameters from the pages' first rows; lengths
// follow the unit, counts and angles do not.
TEST_F(InfoEditModelTest, CommandValuesStartFromTheUnitDefaults)
{
    struct TCase {
        bool Metric;
        uint8_t Page;
        int Row;
        double Value;
        const char* Text;
    };
    const TCase cases[] = {
        {true, Pg::Fillet, 0, 25.0, "25"},       {false, Pg::Fillet, 0, 1.25, "1.25"},
        {true, Pg::Extend, 0, 5.0, "5"},         {false, Pg::Extend, 0, 0.25, "0.25"},
        {true, Pg::Simplify, 0, 0.025, "0.025"}, {false, Pg::Simplify, 0, 0.00125, "0.001"},
        {false, Pg::BoltCircle, 0, 2.5, "2.5"},  {false, Pg::BoltCircle, 3, 8.0, "8"},
        {false, Pg::PolarArc, 2, 270.0, "270"},  {true, Pg::PointGrid, 4, 0.0, "0"},
    };
    for (const TCase& c : cases) {
        TInfoEditModel panel(c.Metric);
        panel.SetCommandPage(c.Page);
        EXPECT_DOUBLE_EQ(panel.GetValue(c.Row), c.Value) << int(c.Page) << " row " << c.Row;
        EXPECT_EQ(panel.Cell(c.Row, 0), c.Text) << int(c.Page) << " row " << c.Row;
    }
}

TEST_F(InfoEditModelTest, CommandPagesHaveTheirRowsColumnsAndButtons)
{
    struct TCase {
        uint8_t Page;
        const char* Title;
        int Rows;
        int Columns;
        bool ReadOnly;
        size_t Buttons;
    };
    const TCase cases[] = {
        {Pg::Line, "Line", 5, 2, true, 0},          {Pg::PointGrid, "Point grid", 5, 1, false, 0},
        {Pg::Simplify, "Simplify polylines", 3, 1, false, 0}, {Pg::Trim, "Trim", 0, 0, false, 0},
        {Pg::Divide, "Divide", 0, 0, false, 0},     {Pg::Polyline, "Polyline", 0, 0, false, 2},
        {Pg::Measure, "Measure distance", 5, 2, true, 0},
    };
    for (const TCase& c : cases) {
        Panel.SetCommandPage(c.Page);
        EXPECT_EQ(Panel.Layout().Title, c.Title);
        EXPECT_EQ(Panel.RowCount(), c.Rows) << c.Title;
        EXPECT_EQ(Panel.ColumnCount(), c.Columns) << c.Title;
        EXPECT_EQ(Panel.ReadOnly(), c.ReadOnly) << c.Title;
        EXPECT_EQ(Panel.Layout().Buttons.size(), c.Buttons) << c.Title;
    }
    Panel.SetCommandPage(Pg::Simplify);
    EXPECT_EQ(Panel.Layout().RowCaptions, (std::vector<std::string>{"Tolerance", "Vertices before", "Vertices after"}));
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{{"0.025"}, {""}, {""}}));

    // 0 ends a command: the page stays, the grid becomes editable; a type
    // without a page is only stored.
    Panel.SetCommandPage(Pg::Line);
    Panel.SetCommandPage(Pg::None);
    EXPECT_EQ(Panel.Layout().Title, "Line");
    EXPECT_FALSE(Panel.ReadOnly());
    Panel.SetCommandPage(99);
    EXPECT_EQ(Panel.PageType(), 99);
    EXPECT_EQ(Panel.Layout().Title, "Line");
}

TEST_F(InfoEditModelTest, TypedValuesAreKeptAndSharedBetweenPages)
{
    Panel.SetCommandPage(Pg::ArcTangentTwo);
    std::string text = "2,5";
    Panel.SetValueText(0, text);
    EXPECT_EQ(text, "2.5");
    EXPECT_EQ(Panel.Cell(0, 0), "2.5");
    EXPECT_DOUBLE_EQ(Panel.GetValue(0), 2.5);

    std::string bad = "abc";
    Panel.SetValueText(0, bad);
    EXPECT_DOUBLE_EQ(Panel.GetValue(0), 2.5);

    // The fillet shares the value.
    Panel.SetCommandPage(Pg::Fillet);
    EXPECT_EQ(Panel.Cell(0, 0), "2.5");
    Panel.CellEdited(0, 0, "3.000");
    Panel.SetCommandPage(Pg::Fillet);
    EXPECT_EQ(Panel.Cell(0, 0), "3.000");
    Panel.SetCommandPage(Pg::Trim);
    Panel.SetCommandPage(Pg::Fillet);
    EXPECT_EQ(Panel.Cell(0, 0), "3");

    // Beyond the table: GetValue gives 0, SetValueText does nothing.
    Panel.SetCommandPage(Pg::Simplify);
    EXPECT_EQ(Panel.GetValue(3), 0.0);
    EXPECT_EQ(Panel.GetValue(-29), 0.0);
}

// Only the value rows of a command page store values: typing into a
// read-out row or into an entity page leaves every command value alone.
TEST_F(InfoEditModelTest, OnlyValueRowsStoreValues)
{
    Panel.SetDocument(&Drawing.Doc);
    const TInfoEditValues before = Panel.Values();
    Panel.SetCommandPage(Pg::Simplify);
    Panel.CellEdited(1, 0, "77");
    std::string text = "78";
    Panel.SetValueText(2, text);
    EXPECT_EQ(Panel.Values(), before);

    Panel.SetCommandPage(Pg::Fillet);
    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
    Panel.ShowObject(*line);
    Panel.CellEdited(0, 0, "99");
    EXPECT_EQ(Panel.Values(), before);
    EXPECT_EQ(Panel.GetValue(0), 25.0);
}

TEST_F(InfoEditModelTest, LiveReadoutsFillTheReadoutRows)
{
    Panel.SetCommandPage(Pg::Line);
    Panel.ShowLineInfo(P(1, 2), P(4, 6));
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{
                                {"1", "2"}, {"4", "6"}, {"3", "4"}, {"5", ""}, {"53.13", ""}}));

    // The line read-out belongs to the line pages only.
    Panel.SetCommandPage(Pg::Rectangle);
    Panel.ShowLineInfo(P(1, 2), P(4, 6));
    EXPECT_EQ(Panel.Cell(0, 0), "");
    Panel.ShowFrameInfo(P(4, 6), P(1, 2));
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{{"4", "6"}, {"1", "2"}, {"3", ""}, {"4", ""}}));

    Panel.SetCommandPage(Pg::ArcCentre);
    Panel.ShowArcInfo(1, 2, 3, 0.0, std::numbers::pi / 2);
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{{"1", "2"}, {"3", ""}, {"0", ""}, {"90", ""}}));

    // The counts go below the tolerance, never over it.
    Panel.SetCommandPage(Pg::Simplify);
    Panel.ShowVertexCounts(120, 37);
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{{"0.025"}, {"120"}, {"37"}}));
    Panel.ShowSizeInfo(P(0, 0), P(5, 5));
    EXPECT_EQ(Panel.Cell(0, 0), "0.025");
}

// Each read-out writes only on the pages of the commands that draw its kind
// of entity: an arc of the drawing redrawn, or a circle being moved, leaves
// the line page (and every other page) as it was.
TEST_F(InfoEditModelTest, ReadoutsWriteOnlyOnTheirOwnPages)
{
    struct Case {
        const char* Name;
        std::function<void(TInfoEditModel&)> Write;
        std::vector<uint8_t> OwnPages;
    };
    const Case cases[] = {
        {"line", [](TInfoEditModel& m) { m.ShowLineInfo(P(1, 2), P(4, 6)); },
         {Pg::Line, Pg::Measure}},
        {"frame", [](TInfoEditModel& m) { m.ShowFrameInfo(P(1, 2), P(4, 6)); }, {Pg::Rectangle}},
        {"circle", [](TInfoEditModel& m) { m.ShowCircleInfo(P(1, 2), P(4, 6), 5); }, {Pg::Circle}},
        {"arc", [](TInfoEditModel& m) { m.ShowArcInfo(7, 8, 9, 0, 1); }, {Pg::ThreePoints, Pg::ArcCentre}},
        {"size", [](TInfoEditModel& m) { m.ShowSizeInfo(P(1, 2), P(4, 6)); }, {Pg::Ellipse}},
        {"counts", [](TInfoEditModel& m) { m.ShowVertexCounts(120, 37); }, {Pg::Simplify}},
    };
    const uint8_t readoutPages[] = {Pg::Line,        Pg::Rectangle, Pg::Circle, Pg::ThreePoints,
                                    Pg::ArcCentre,   Pg::Ellipse,   Pg::Simplify, Pg::Measure};
    for (const Case& c : cases) {
        for (const uint8_t page : readoutPages) {
            SCOPED_TRACE(std::string(c.Name) + " on page " + std::to_string(page));
            TInfoEditModel panel(true);
            panel.SetCommandPage(page);
            const auto before = Cells(panel);
            c.Write(panel);
            const bool own = std::find(c.OwnPages.begin(), c.OwnPages.end(), page) != c.OwnPages.end();
            EXPECT_EQ(Cells(panel) != before, own);
        }
    }
}

// A fillet arc drawn while the fillet page is shown reports its geometry;
// that must not show in the radius row, and no read-out may write into an
// entity page that Apply would write back.
TEST_F(InfoEditModelTest, ReadoutsLeaveValueRowsAndEntityPagesAlone)
{
    Panel.SetDocument(&Drawing.Doc);
    Panel.SetCommandPage(Pg::Fillet);
    Panel.ShowArcInfo(7, 8, 9, 0, 1);
    EXPECT_EQ(Panel.Cell(0, 0), "25");

    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
    Panel.SetCommandPage(Pg::Line);
    Panel.ShowObject(*line);
    Panel.SetPageType(Pg::Line);
    Panel.ShowLineInfo(P(1, 2), P(4, 6));
    Panel.ShowFrameInfo(P(1, 2), P(4, 6));
    EXPECT_EQ(Cells(Panel), (std::vector<std::vector<std::string>>{{"0", "0"}, {"10", "0"}}));
}

TEST_F(InfoEditModelTest, PolylineAndSplineButtonsSendUserEvents)
{
    std::vector<TCADUserEvent> sent;
    Panel.OnUserEvent = [&](TCADUserEvent code) { sent.push_back(code); };
    Panel.SetCommandPage(Pg::Polyline);
    Panel.ButtonClick(0);
    Panel.ButtonClick(1);
    Panel.SetCommandPage(Pg::Spline);
    Panel.ButtonClick(1);
    Panel.ButtonClick(2); // no such button
    EXPECT_EQ(sent, (std::vector<TCADUserEvent>{TCADUserEvent::StepBack, TCADUserEvent::ClosePath,
                                                TCADUserEvent::ClosePath}));
    // After the command ended the buttons do nothing.
    Panel.SetCommandPage(Pg::None);
    Panel.ButtonClick(0);
    EXPECT_EQ(sent.size(), 3u);
}

TEST_F(InfoEditModelTest, UndoMakesTheGridEditableAndHidesThePanel)
{
    Panel.ConnectUndoJournal(&Drawing.Journal);
    Panel.SetCommandPage(Pg::Line);
    ASSERT_TRUE(Panel.ReadOnly());
    ASSERT_TRUE(Panel.PanelVisible());
    Drawing.Journal.Undo();
    EXPECT_FALSE(Panel.ReadOnly());
    EXPECT_FALSE(Panel.PanelVisible());
    Panel.SetCommandPage(Pg::Fillet);
    EXPECT_TRUE(Panel.PanelVisible());

    Panel.ConnectUndoJournal(nullptr);
    EXPECT_FALSE(Drawing.Journal.OnUndoStart);
}

} // namespace

}  // namespace info_edit_model_test
