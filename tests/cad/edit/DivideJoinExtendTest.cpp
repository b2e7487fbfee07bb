// The divide, join and extend commands over the scene view and a document:
// their results in drawing coordinates, the undo steps and their undo, the
// refusals and their messages.

#include "cad/panel/InfoEditPages.h"
#include "cad/edit/QV2D_Divide.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "tests/cad/EntityEditRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace divide_join_extend_test {

namespace {

using kbtest::HasPoints;
using kbtest::IsArc;

TPoint2D P(double x, double y) { return Point2D(x, y); }
constexpr double kDeg = std::numbers::pi / 180.0;

std::unique_ptr<TArco2D> Arc(double cx, double cy, double r, double startDeg, double endDeg)
{
    return std::make_unique<TArco2D>(-1, P(cx, cy), P(cx + r, cy), startDeg * kDeg, endDeg * kDeg);
}

std::unique_ptr<TLine2D> Line(double x1, double y1, double x2, double y2)
{
    return std::make_unique<TLine2D>(-1, P(x1, y1), P(x2, y2));
}

std::unique_ptr<TPolyline2D> Polyline(std::vector<TPoint2D> points)
{
    return std::make_unique<TPolyline2D>(-1, points);
}

struct EditCommands : ::testing::Test, kbtest::TEntityEditRig {};

// --- Divide ------------------------------------------------------------------------

TEST_F(EditCommands, DividedLineKeepsItsSecondHalfThenUndoes)
{
    TLine2D* line = AddOn(2, Line(0, 0, 10, 0));
    const int32_t id = line->ID();
    StartDivideCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Divide);
    Driver.Click(P(3, 0));

    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_FALSE(View.PickBoxShown());
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0], line);
    EXPECT_TRUE(HasPoints(*line, {{5, 0}, {10, 0}}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(objects[1]), {{0, 0}, {5, 0}}));
    EXPECT_EQ(objects[1]->Layer(), 2);
    EXPECT_EQ(LastKind(), TUndoKind::Divide);
    EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{id, objects[1]->ID()}));

    Journal.Undo();
    ASSERT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(Objects()[0]), {{0, 0}, {10, 0}}));
}

// The halves in drawing coordinates, whatever the arc's transform or stored
// direction.
TEST(DivideArc, HalvesFollowTheArcAsDrawn)
{
    const struct {
        const char* Name;
        std::function<void(TArco2D&)> Prepare;
        double CX, StartDeg, MidDeg, EndDeg;
    } cases[] = {
        {"counter-clockwise", [](TArco2D&) {}, 0, 0, 45, 90},
        {"moved", [](TArco2D& a) { a.SetModelTransform(TMatrix4::CreateTranslation(10, 0, 0)); }, 10, 0, 45, 90},
        // Stored clockwise from 0 to 90 degrees: drawn from 90 round to 360.
        {"clockwise", [](TArco2D& a) { a.SetDirection(0); }, 0, 90, -135, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        TArco2D* arc = rig.AddOn(1, Arc(0, 0, 5, 0, 90));
        c.Prepare(*arc);
        arc->UpdateBounds();
        rig.HandOver<TQV2D_Divide>({arc});
        const std::vector<TArco2D*> arcs = rig.AddedAfter<TArco2D>(0);
        if (arcs.size() != 2u) {
            ADD_FAILURE() << arcs.size() << " arcs";
            continue;
        }
        EXPECT_TRUE(IsArc(*arcs[0], c.CX, 0, 5, c.StartDeg, c.MidDeg));
        EXPECT_TRUE(IsArc(*arcs[1], c.CX, 0, 5, c.MidDeg, c.EndDeg));
        EXPECT_EQ(arcs[1]->Layer(), 1);
        EXPECT_EQ(rig.LastKind(), TUndoKind::Divide);
        rig.Journal.Undo();
        EXPECT_EQ(rig.Objects(), std::vector<TObject2D*>{arc});
        EXPECT_TRUE(IsArc(*arc, c.CX, 0, 5, c.StartDeg, c.EndDeg));
    }
}

TEST_F(EditCommands, DividedCircleGivesTwoSemicirclesAndUndoGivesTheCircleBack)
{
    TCerchio2D* circle = AddOn(4, std::make_unique<TCerchio2D>(-1, P(1, 1), P(6, 1)));
    const int32_t id = circle->ID();
    HandOver<TQV2D_Divide>({circle});

    const std::vector<TArco2D*> arcs = AddedAfter<TArco2D>(0);
    ASSERT_EQ(arcs.size(), 2u);
    ASSERT_TRUE(arcs[0] && arcs[1]);
    EXPECT_TRUE(IsArc(*arcs[0], 1, 1, 5, 0, 180));
    EXPECT_TRUE(IsArc(*arcs[1], 1, 1, 5, 180, 0));
    EXPECT_EQ(arcs[0]->Layer(), 4);
    EXPECT_EQ(arcs[1]->Layer(), 4);
    EXPECT_EQ(LastKind(), TUndoKind::Explode);
    EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{id, arcs[0]->ID(), arcs[1]->ID()}));

    Journal.Undo();
    EXPECT_EQ(ClassNames(), std::vector<std::string>{"TCerchio2D"});
    EXPECT_EQ(Objects()[0]->ID(), id);
    EXPECT_EQ(Objects()[0]->Layer(), 4);
}

TEST_F(EditCommands, DivideOfAnotherKindWarnsAndChangesNothing)
{
    TPolyline2D* polyline = AddOn(0, Polyline({P(0, 0), P(10, 0), P(10, 10)}));
    HandOver<TQV2D_Divide>({polyline});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_TRUE(Journal.Steps().empty());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(Notifier.Messages()[0].Caption, "Error");
    EXPECT_EQ(Notifier.Messages()[0].Text,
              "The selected object cannot be used by this command.\r\nSelect lines, arcs or circles.");
}

// --- Join ----------------------------------------------------------------------------

TEST_F(EditCommands, JoinedCollinearLinesSpanTheGapThenUndo)
{
    TLine2D* first = AddOn(0, Line(0, 0, 4, 0));
    TLine2D* second = AddOn(0, Line(6, 0, 10, 0));
    const std::vector<int32_t> ids{first->ID(), second->ID()};
    StartJoinCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Join);
    Driver.Click(P(2, 0));
    Driver.Click(P(8, 0));

    EXPECT_TRUE(Idle()) << CurrentClass();
    ASSERT_EQ(Objects(), std::vector<TObject2D*>{first});
    EXPECT_TRUE(HasPoints(*first, {{10, 0}, {0, 0}}));
    EXPECT_EQ(LastKind(), TUndoKind::Join);
    EXPECT_EQ(LastStepIDs(), ids);

    Journal.Undo();
    ASSERT_EQ(IDs(Objects()), ids);
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(Objects()[0]), {{0, 0}, {4, 0}}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(Objects()[1]), {{6, 0}, {10, 0}}));
}

TEST(JoinRefusals, EachRefusalShowsItsTextAndChangesNothing)
{
    using TMake = std::function<std::unique_ptr<TPrimitive2D>()>;
    const auto line = [](double x1, double y1, double x2, double y2) -> TMake {
        return [=] { return Line(x1, y1, x2, y2); };
    };
    const auto arc = [](double r, double startDeg, double endDeg) -> TMake {
        return [=] { return Arc(0, 0, r, startDeg, endDeg); };
    };
    const std::string notCollinear = "The lines are not collinear: they cannot be joined.";
    const struct {
        const char* Name;
        TMake First, Second;
        std::vector<std::string> Texts;
    } cases[] = {
        {"lines not collinear", line(0, 0, 4, 0), line(6, 1, 10, 1), {notCollinear}},
        // Without a length the first line gives no direction to test.
        {"first line without length", line(0, 10, 0, 10), line(0, 0, 10, 0), {notCollinear}},
        {"arcs of two circles", arc(5, 0, 90), arc(6, 180, 270),
         {"The arcs are not on the same circle: they cannot be joined."}},
        {"a polyline", line(0, 0, 4, 0), [] { return Polyline({P(6, 0), P(10, 0)}); },
         {"The selected object cannot be used by this command."}},
        {"a line with an arc", line(0, 0, 4, 0), arc(5, 0, 90), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        const std::vector<TObject2D*> objects{rig.Add(c.First()), rig.Add(c.Second())};
        rig.HandOver<TQV2D_Join>(objects);
        EXPECT_TRUE(rig.Idle());
        EXPECT_EQ(rig.Objects(), objects);
        EXPECT_TRUE(rig.Journal.Steps().empty());
        std::vector<std::string> texts;
        for (const auto& m : rig.Notifier.Messages()) {
            texts.push_back(m.Text);
            EXPECT_EQ(m.Caption, "Error");
        }
        EXPECT_EQ(texts, c.Texts);
    }
}

// The joined arc runs from the first-picked arc's start to the
// second-picked arc's end, so the pick order chooses the span.
TEST(JoinArcs, PickOrderChoosesTheSpan)
{
    const struct {
        bool QuarterFirst;
        double StartDeg, EndDeg;
    } cases[] = {{true, 0, -90}, {false, 180, 90}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.QuarterFirst);
        kbtest::TEntityEditRig rig;
        TArco2D* quarter = rig.Add(Arc(0, 0, 5, 0, 90));
        TArco2D* other = rig.Add(Arc(0, 0, 5, 180, 270));
        TArco2D* first = c.QuarterFirst ? quarter : other;
        TArco2D* second = c.QuarterFirst ? other : quarter;
        const std::vector<int32_t> ids{first->ID(), second->ID()};
        rig.HandOver<TQV2D_Join>({first, second});
        EXPECT_EQ(rig.Objects(), std::vector<TObject2D*>{first});
        EXPECT_TRUE(IsArc(*first, 0, 0, 5, c.StartDeg, c.EndDeg));
        EXPECT_EQ(rig.LastStepIDs(), ids);
    }
}

// --- Extend ----------------------------------------------------------------------------

TEST_F(EditCommands, ExtendedLineGrowsAtThePickedEndThenUndoes)
{
    TLine2D* line = AddOn(0, Line(0, 0, 10, 0));
    SetPanelValue(InfoEditPage::Extend, 2);
    StartExtendCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Extend);
    Driver.Click(P(9, 0));

    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_TRUE(HasPoints(*line, {{0, 0}, {12, 0}}));
    EXPECT_EQ(LastKind(), TUndoKind::Extend);
    EXPECT_EQ(LastStepIDs(), std::vector<int32_t>{line->ID()});
    Journal.Undo();
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(Objects()[0]), {{0, 0}, {10, 0}}));
}

TEST(ExtendLine, TheEndNearerTheCursorMovesUnlessTheLineWouldTurnRound)
{
    const struct {
        double Length, CursorX;
        std::vector<TVector2D> Expected;
        bool Changed;
    } cases[] = {
        {2, 9, {{0, 0}, {12, 0}}, true},
        {2, 5, {{-2, 0}, {10, 0}}, true}, // halfway: the first point
        {-3, 1, {{3, 0}, {10, 0}}, true},
        {-10, 9, {{0, 0}, {10, 0}}, false},
        {0, 9, {{0, 0}, {10, 0}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Length);
        kbtest::TEntityEditRig rig;
        TLine2D* line = rig.Add(Line(0, 0, 10, 0));
        rig.SetPanelValue(InfoEditPage::Extend, c.Length);
        rig.Prg.SetCursorPoint(P(c.CursorX, 1));
        rig.HandOver<TQV2D_Extend>({line});
        EXPECT_TRUE(HasPoints(*line, c.Expected));
        EXPECT_EQ(rig.Journal.Steps().size(), c.Changed ? 1u : 0u);
    }
}

TEST(ExtendArc, TheEndNearerTheCursorTurnsByLengthOverRadius)
{
    const double quarterTurn = 5 * std::numbers::pi / 2; // 90 degrees on radius 5
    const struct {
        const char* Name;
        double FromDeg, ToDeg, Length;
        TPoint2D Cursor;
        double StartDeg, EndDeg;
        bool Changed;
    } cases[] = {
        {"end", 0, 90, quarterTurn / 2, P(0, 5), 0, 135, true},
        {"start", 0, 90, quarterTurn / 2, P(5, 0), -45, 90, true},
        {"no further than a full turn", 0, 90, 100, P(0, 5), 0, 0, true},
        {"a full turn stays", 0, 0, 1, P(5, 0), 0, 0, false},
        {"shortened", 0, 90, -quarterTurn / 2, P(0, 5), 0, 45, true},
        {"not shortened past its start", 0, 90, -quarterTurn, P(0, 5), 0, 90, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        TArco2D* arc = rig.Add(Arc(0, 0, 5, c.FromDeg, c.ToDeg));
        rig.SetPanelValue(InfoEditPage::Extend, c.Length);
        rig.Prg.SetCursorPoint(c.Cursor);
        rig.HandOver<TQV2D_Extend>({arc});
        // The length is taken in single precision.
        EXPECT_TRUE(IsArc(*arc, 0, 0, 5, c.StartDeg, c.EndDeg, 1e-5));
        EXPECT_EQ(rig.Journal.Steps().size(), c.Changed ? 1u : 0u);
    }
}

TEST(ExtendPolyline, OpenPolylinesGrowAlongTheirEndSegmentInTheDrawing)
{
    const struct {
        const char* Name;
        std::vector<TPoint2D> Points;
        bool Polygon;
        double Scale;
        TPoint2D Cursor;
        std::vector<TVector2D> Expected; // drawing coordinates
    } cases[] = {
        {"last point", {P(0, 0), P(10, 0), P(10, 10)}, false, 1, P(10, 9), {{0, 0}, {10, 0}, {10, 12}}},
        {"first point", {P(0, 0), P(10, 0), P(10, 10)}, false, 1, P(1, 0), {{-2, 0}, {10, 0}, {10, 10}}},
        {"scaled", {P(0, 0), P(5, 0)}, false, 2, P(9, 0), {{0, 0}, {12, 0}}},
        {"closed", {P(0, 0), P(10, 0), P(10, 10), P(0, 0)}, false, 1, P(1, 0), {{0, 0}, {10, 0}, {10, 10}, {0, 0}}},
        {"polygon", {P(0, 0), P(10, 0), P(10, 10)}, true, 1, P(10, 9), {{0, 0}, {10, 0}, {10, 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        TPolyline2D* polyline =
            c.Polygon ? rig.Add(std::make_unique<TPolygon2D>(-1, c.Points)) : rig.Add(Polyline(c.Points));
        if (c.Scale != 1) {
            polyline->SetModelTransform(TMatrix4::CreateScale(c.Scale, c.Scale, 1));
            polyline->UpdateBounds();
        }
        rig.SetPanelValue(InfoEditPage::Extend, 2);
        rig.Prg.SetCursorPoint(c.Cursor);
        rig.HandOver<TQV2D_Extend>({polyline});
        EXPECT_TRUE(HasPoints(*polyline, c.Expected, 1e-9));
    }
}

} // namespace

}  // namespace divide_join_extend_test
