// The Fillet and Trim commands driven with the mouse over the scene view and
// a document: what they do to the picked entities, the step each records and
// its undo, the circles they turn into arcs, and what they refuse.

#include "cad/edit/QV2D_Fillet.h"
#include "cad/edit/QV2D_Trim.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "tests/cad/PairEditTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace fillet_trim_test {

namespace {

using kbtest::IsArc;
using kbtest::IsAt;
using kbtest::Shown;

constexpr double Pi = std::numbers::pi;

struct PairEdits : ::testing::Test, kbtest::TPairEditRig {
    // The Fillet button with the radius typed into its page.
    void StartFillet(const std::string& radius)
    {
        StartFilletCommand(Prg, nullptr);
        Panel.CellEdited(0, 0, radius);
        FilletRadiusEdited();
    }
    void PickTwo(const TPoint2D& first, const TPoint2D& second)
    {
        Driver.Click(first);
        Driver.Click(second);
    }
    TLine2D* AddLine(double x1, double y1, double x2, double y2)
    {
        return Add(std::make_unique<TLine2D>(-1, TPoint2D{x1, y1, 1}, TPoint2D{x2, y2, 1}));
    }
    void ExpectLine(const TLine2D& line, double x1, double y1, double x2, double y2)
    {
        EXPECT_TRUE(IsAt(Shown(line, 0), x1, y1, 1e-6));
        EXPECT_TRUE(IsAt(Shown(line, 1), x2, y2, 1e-6));
    }
};

// The lower half of the circle about (0, cy) of radius r, built in one of
// the ways an arc comes into a drawing: drawn, moved there by the translate
// command (a model transform), or read as a clockwise arc from DXF.
enum class TArcForm { Drawn, Translated, Clockwise };

std::unique_ptr<TArco2D> LowerHalf(double cy, double r, TArcForm form)
{
    switch (form) {
    case TArcForm::Drawn:
        return std::make_unique<TArco2D>(-1, TPoint2D{0, cy, 1}, TPoint2D{r, cy, 1}, Pi, 0.0);
    case TArcForm::Translated: {
        auto arc = std::make_unique<TArco2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{r, 0, 1}, Pi, 0.0);
        arc->SetTransform(TMatrix4::CreateTranslation(0, cy, 0));
        arc->ApplyTransform();
        return arc;
    }
    case TArcForm::Clockwise: {
        auto arc = std::make_unique<TArco2D>(-1, TPoint2D{0, cy, 1}, TPoint2D{r, cy, 1}, 0.0, Pi);
        arc->SetDirection(0);
        return arc;
    }
    }
    return nullptr;
}

std::vector<TPoint2D> PointsOf(const TObject2D& object)
{
    const auto points = static_cast<const TPrimitive2D&>(object).Points().Points();
    return std::vector<TPoint2D>(points.begin(), points.end());
}

const char* FormName(TArcForm form)
{
    return form == TArcForm::Drawn ? "drawn" : form == TArcForm::Translated ? "translated" : "clockwise";
}

// --- Fillet --------------------------------------------------------------------------

TEST_F(PairEdits, FilletOfTwoLinesCutsOrLengthensBothToTheTangentPoints)
{
    struct Case {
        const char* Name;
        double L1[4], L2[4];
        TPoint2D Pick1, Pick2;
        double L1After[4], L2After[4];
        double Cx, Cy, StartDeg, EndDeg;
    };
    const Case cases[] = {
        {"upper right arms", {-10, 0, 10, 0}, {0, -10, 0, 10}, {5, 0, 1}, {0, 5, 1},
         {2, 0, 10, 0}, {0, 2, 0, 10}, 2, 2, 180, 270},
        {"upper left arms", {-10, 0, 10, 0}, {0, -10, 0, 10}, {-5, 0, 1}, {0, 5, 1},
         {-10, 0, -2, 0}, {0, 2, 0, 10}, -2, 2, 270, 360},
        {"lower right arms", {-10, 0, 10, 0}, {0, -10, 0, 10}, {5, 0, 1}, {0, -5, 1},
         {2, 0, 10, 0}, {0, -10, 0, -2}, 2, -2, 90, 180},
        {"lower left arms", {-10, 0, 10, 0}, {0, -10, 0, 10}, {-5, 0, 1}, {0, -5, 1},
         {-10, 0, -2, 0}, {0, -10, 0, -2}, -2, -2, 0, 90},
        {"lines short of each other", {-10, 0, -3, 0}, {0, 3, 0, 10}, {-6, 0, 1}, {0, 6, 1},
         {-10, 0, -2, 0}, {0, 2, 0, 10}, -2, 2, 270, 360},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Doc.DeleteAllObjects();
        Journal.Clear();
        TLine2D* l1 = AddLine(c.L1[0], c.L1[1], c.L1[2], c.L1[3]);
        TLine2D* l2 = AddLine(c.L2[0], c.L2[1], c.L2[2], c.L2[3]);
        StartFillet("2");
        PickTwo(c.Pick1, c.Pick2);

        ASSERT_TRUE(Idle()) << CurrentClass();
        ExpectLine(*l1, c.L1After[0], c.L1After[1], c.L1After[2], c.L1After[3]);
        ExpectLine(*l2, c.L2After[0], c.L2After[1], c.L2After[2], c.L2After[3]);
        const std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
        ASSERT_EQ(arcs.size(), 1u);
        EXPECT_TRUE(IsArc(*arcs[0], c.Cx, c.Cy, 2, c.StartDeg, c.EndDeg));
        EXPECT_TRUE(IsAt(arcs[0]->Points().Get(1), c.Cx + 2, c.Cy)) << "radius point";
        ASSERT_EQ(Journal.Steps().size(), 1u);
        EXPECT_EQ(LastKind(), TUndoKind::FilletLines);
        EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{l1->ID(), l2->ID(), arcs[0]->ID()}));

        Journal.Undo();
        ExpectLine(*l1, c.L1[0], c.L1[1], c.L1[2], c.L1[3]);
        ExpectLine(*l2, c.L2[0], c.L2[1], c.L2[2], c.L2[3]);
        EXPECT_TRUE(ObjectsOf<TArco2D>().empty());
    }
}

TEST_F(PairEdits, FilletOfALineAndAnArcIsTheSameInEitherOrderAndForEveryArcForm)
{
    // The lower half of the circle about (0, 4) with radius 3 over the line
    // y = 0; radius 1. The fillet's centre lies where y = 1 meets the circle
    // of radius 4: (sqrt 7, 1).
    const double s7 = std::sqrt(7.0);
    for (const TArcForm form : {TArcForm::Drawn, TArcForm::Translated, TArcForm::Clockwise}) {
        for (const bool arcFirst : {false, true}) {
            SCOPED_TRACE(std::string(FormName(form)) + (arcFirst ? ", arc picked first" : ", line picked first"));
            Doc.DeleteAllObjects();
            Journal.Clear();
            TLine2D* line = AddLine(-10, 0, 10, 0);
            TArco2D* arc = Add(LowerHalf(4, 3, form));
            const TPoint2D linePick{6, 0, 1};
            const TPoint2D arcPick{2.1, 1.9, 1}; // at about 315 degrees
            StartFillet("1");
            if (arcFirst)
                PickTwo(arcPick, linePick);
            else
                PickTwo(linePick, arcPick);

            ExpectLine(*line, s7, 0, 10, 0);
            // The picked side stays: from the tangent point to the arc's end.
            EXPECT_TRUE(IsArc(*arc, 0, 4, 3, 360 + std::atan2(-2.25, 0.75 * s7) * 180 / Pi, 360));
            EXPECT_EQ(arc->IsCounterClockwise(), form != TArcForm::Clockwise) << "the stored direction stays";
            std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
            ASSERT_EQ(arcs.size(), 2u);
            TArco2D* fillet = arcs[1];
            EXPECT_TRUE(IsArc(*fillet, s7, 1, 1, std::atan2(0.75, -0.25 * s7) * 180 / Pi, 270));
            EXPECT_EQ(LastKind(), TUndoKind::FilletLineArc);
            EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{line->ID(), arc->ID(), fillet->ID()}));

            Journal.Undo();
            ExpectLine(*line, -10, 0, 10, 0);
            EXPECT_TRUE(IsArc(*arc, 0, 4, 3, 180, 360));
            EXPECT_EQ(ObjectsOf<TArco2D>().size(), 1u);
        }
    }
}

TEST_F(PairEdits, FilletLengthensALineThatStopsShortOfItsTangentPoint)
{
    const double s7 = std::sqrt(7.0);
    TLine2D* line = AddLine(-10, 0, 2, 0);
    Add(LowerHalf(4, 3, TArcForm::Drawn));
    StartFillet("1");
    PickTwo({1.5, 0, 1}, {2.1, 1.9, 1});

    // The line reaches the fillet: its end is the foot of the fillet's
    // centre, not the segment's nearest point to it.
    ExpectLine(*line, -10, 0, s7, 0);
    const std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_TRUE(IsArc(*arcs[1], s7, 1, 1, std::atan2(0.75, -0.25 * s7) * 180 / Pi, 270));
}

TEST_F(PairEdits, FilletOfALineAndACircleTurnsTheCircleIntoAnArcOnItsLayer)
{
    TLine2D* line = AddLine(-10, 0, 10, 0);
    TCerchio2D* circle = Doc.AddObjectOnLayer(-1, 3, std::make_unique<TCerchio2D>(-1, TPoint2D{0, 4, 1},
                                                                                  TPoint2D{3, 4, 1}));
    const int32_t circleID = circle->ID();
    StartFillet("1");
    PickTwo({6, 0, 1}, {2.1, 1.9, 1});

    EXPECT_TRUE(ObjectsOf<TCerchio2D>().empty());
    const std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
    ASSERT_EQ(arcs.size(), 2u);
    TArco2D* replaced = arcs[0];
    EXPECT_NE(replaced->ID(), circleID);
    EXPECT_EQ(replaced->Layer(), 3) << "the circle's layer, not the current one";
    EXPECT_EQ(arcs[1]->Layer(), 0) << "the fillet arc goes on the current layer";
    // From the tangent point round to the circle's angle-0 point, over the pick.
    EXPECT_TRUE(IsArc(*replaced, 0, 4, 3, 360 + std::atan2(-2.25, 0.75 * std::sqrt(7.0)) * 180 / Pi, 0));
    EXPECT_TRUE(View.HighlightList().empty()) << "the view keeps no pointer to the deleted circle";
    EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{line->ID(), replaced->ID(), arcs[1]->ID()}));

    Journal.Undo();
    EXPECT_TRUE(ObjectsOf<TCerchio2D>().empty()) << "the circle stays an arc";
    ASSERT_EQ(ObjectsOf<TArco2D>().size(), 1u);
    EXPECT_TRUE(IsArc(*replaced, 0, 4, 3, 0, 0)) << "closed again";
}

TEST_F(PairEdits, FilletOfTwoCirclesBridgesThemAboveAndKeepsThePickedSides)
{
    Add(std::make_unique<TCerchio2D>(-1, TPoint2D{-4, 0, 1}, TPoint2D{-2, 0, 1}));
    Add(std::make_unique<TCerchio2D>(-1, TPoint2D{4, 0, 1}, TPoint2D{6, 0, 1}));
    StartFillet("3");
    PickTwo({-4, 2, 1}, {4, 2, 1});

    const std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
    ASSERT_EQ(arcs.size(), 3u);
    // The offset circles (radius 5) meet at (0, 3); the tangent points lie
    // two fifths of the way from each centre, at (-2.4, 1.2) and (2.4, 1.2).
    const double a = std::atan2(1.2, 1.6) * 180 / Pi;
    EXPECT_TRUE(IsArc(*arcs[0], -4, 0, 2, a, 0));
    EXPECT_TRUE(IsArc(*arcs[1], 4, 0, 2, 0, 180 - a));
    EXPECT_TRUE(IsArc(*arcs[2], 0, 3, 3, 180 + a, 360 - a));
    EXPECT_EQ(LastKind(), TUndoKind::FilletArcs);
    EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{arcs[0]->ID(), arcs[1]->ID(), arcs[2]->ID()}));

    Journal.Undo();
    ASSERT_EQ(ObjectsOf<TArco2D>().size(), 2u);
    EXPECT_TRUE(IsArc(*arcs[0], -4, 0, 2, 0, 0));
    EXPECT_TRUE(IsArc(*arcs[1], 4, 0, 2, 0, 0));
}

TEST(FilletLineEnd, KeepsThePickedSideOfTheTangentPoint)
{
    // A vertical line with a tangent point one rounding step off it: the
    // side test must not depend on which side of the axis the error falls.
    const double offAxis = std::nextafter(5.0, 0.0);
    struct Case {
        const char* Name;
        TVector2D P1, P2, T, Pick;
        TVector2D P1After, P2After;
    };
    const Case cases[] = {
        {"pick beyond the point", {0, 0}, {10, 0}, {3, 0}, {7, 0}, {3, 0}, {10, 0}},
        {"pick before the point", {0, 0}, {10, 0}, {3, 0}, {1, 0}, {0, 0}, {3, 0}},
        {"point past the end lengthens", {0, 0}, {10, 0}, {12, 0}, {5, 1}, {0, 0}, {12, 0}},
        {"point on an end takes it", {0, 0}, {10, 0}, {0, 0}, {5, 0}, {0, 0}, {10, 0}},
        {"pick's foot on the point moves the second end", {0, 0}, {10, 0}, {4, 0}, {4, 3}, {0, 0}, {4, 0}},
        {"vertical, point a hair off, pick above", {5, 0}, {5, 10}, {offAxis, 3}, {5, 7}, {offAxis, 3}, {5, 10}},
        {"vertical, point a hair off, pick below", {5, 0}, {5, 10}, {offAxis, 3}, {5, 1}, {5, 0}, {offAxis, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const bool trim : {false, true}) {
            TVector2D p1 = c.P1, p2 = c.P2;
            if (trim)
                TrimLineEnd(p1, p2, c.T, c.Pick);
            else
                FilletLineEnd(p1, p2, c.T, c.Pick);
            EXPECT_TRUE(IsAt(p1, c.P1After.X, c.P1After.Y, 0));
            EXPECT_TRUE(IsAt(p2, c.P2After.X, c.P2After.Y, 0));
        }
    }
}

// --- Trim ------------------------------------------------------------------------------

TEST_F(PairEdits, TrimOfTwoLinesMovesTheLooseEndsToTheCrossing)
{
    struct Case {
        const char* Name;
        double L1[4], L2[4];
        TPoint2D Pick1, Pick2;
        double L1After[4], L2After[4];
    };
    const Case cases[] = {
        {"crossing arms", {-10, 0, 10, 0}, {0, -10, 0, 10}, {5, 0, 1}, {0, -5, 1}, {0, 0, 10, 0}, {0, -10, 0, 0}},
        {"lines that do not meet are lengthened", {-10, 0, -3, 0}, {2, 3, 2, 10}, {-6, 0, 1}, {2, 6, 1},
         {-10, 0, 2, 0}, {2, 0, 2, 10}},
        {"crossing on an end point leaves that line", {0, 0, 10, 0}, {-5, -5, 5, 5}, {5, 0, 1}, {3, 3, 1},
         {0, 0, 10, 0}, {0, 0, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Doc.DeleteAllObjects();
        Journal.Clear();
        TLine2D* l1 = AddLine(c.L1[0], c.L1[1], c.L1[2], c.L1[3]);
        TLine2D* l2 = AddLine(c.L2[0], c.L2[1], c.L2[2], c.L2[3]);
        StartTrimCommand(Prg, nullptr);
        PickTwo(c.Pick1, c.Pick2);

        ASSERT_TRUE(Idle()) << CurrentClass();
        ExpectLine(*l1, c.L1After[0], c.L1After[1], c.L1After[2], c.L1After[3]);
        ExpectLine(*l2, c.L2After[0], c.L2After[1], c.L2After[2], c.L2After[3]);
        EXPECT_EQ(Doc.ObjectsCount(), 2);
        ASSERT_EQ(Journal.Steps().size(), 1u);
        EXPECT_EQ(LastKind(), TUndoKind::TrimLines);
        EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{l1->ID(), l2->ID()}));

        Journal.Undo();
        ExpectLine(*l1, c.L1[0], c.L1[1], c.L1[2], c.L1[3]);
        ExpectLine(*l2, c.L2[0], c.L2[1], c.L2[2], c.L2[3]);
    }
}

TEST_F(PairEdits, TrimOfALineAndAnArcIsTheSameInEitherOrderAndForEveryArcForm)
{
    // The lower half of the circle about (0, 3) with radius 5 meets y = 0 at
    // (-4, 0) and (4, 0); the arc's pick (at about 300 degrees) chooses (4, 0).
    for (const TArcForm form : {TArcForm::Drawn, TArcForm::Translated, TArcForm::Clockwise}) {
        for (const bool arcFirst : {false, true}) {
            SCOPED_TRACE(std::string(FormName(form)) + (arcFirst ? ", arc picked first" : ", line picked first"));
            Doc.DeleteAllObjects();
            Journal.Clear();
            TLine2D* line = AddLine(-10, 0, 10, 0);
            TArco2D* arc = Add(LowerHalf(3, 5, form));
            const TPoint2D linePick{7, 0, 1};
            const TPoint2D arcPick{2.5, -1.3, 1};
            StartTrimCommand(Prg, nullptr);
            if (arcFirst)
                PickTwo(arcPick, linePick);
            else
                PickTwo(linePick, arcPick);

            ExpectLine(*line, 4, 0, 10, 0);
            EXPECT_TRUE(IsArc(*arc, 0, 3, 5, 180, 360 + std::atan2(-3.0, 4.0) * 180 / Pi));
            EXPECT_EQ(LastKind(), TUndoKind::TrimLineArc);
            EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{line->ID(), arc->ID()}));

            Journal.Undo();
            ExpectLine(*line, -10, 0, 10, 0);
            EXPECT_TRUE(IsArc(*arc, 0, 3, 5, 180, 360));
        }
    }
}

TEST_F(PairEdits, TrimOfTangentCirclesEndsBothArcsAtTheTouchingPoint)
{
    Add(std::make_unique<TCerchio2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{3, 0, 1}));
    Add(std::make_unique<TCerchio2D>(-1, TPoint2D{0, 5, 1}, TPoint2D{2, 5, 1}));
    StartTrimCommand(Prg, nullptr);
    PickTwo({-3, 0, 1}, {1.4, 6.4, 1});

    EXPECT_TRUE(ObjectsOf<TCerchio2D>().empty());
    const std::vector<TArco2D*> arcs = ObjectsOf<TArco2D>();
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_TRUE(IsArc(*arcs[0], 0, 0, 3, 90, 0));
    EXPECT_TRUE(IsArc(*arcs[1], 0, 5, 2, 0, 270));
    EXPECT_EQ(LastKind(), TUndoKind::TrimArcs);
    EXPECT_EQ(LastStepIDs(), (std::vector<int32_t>{arcs[0]->ID(), arcs[1]->ID()}));

    Journal.Undo();
    EXPECT_TRUE(IsArc(*arcs[0], 0, 0, 3, 0, 0));
    EXPECT_TRUE(IsArc(*arcs[1], 0, 5, 2, 0, 0));
}

// --- Refusals --------------------------------------------------------------------------

TEST_F(PairEdits, WrongKindsAreReportedAndPairsWithoutResultLeftAlone)
{
    const std::vector<TPoint2D> square{{-2, 4, 1}, {2, 4, 1}, {2, 8, 1}, {-2, 8, 1}};
    struct Case {
        const char* Name;
        std::function<void()> Build;
        TPoint2D Pick1, Pick2;
        bool Message;
        bool TrimOnly; // a fillet of the pair exists
    };
    const Case cases[] = {
        {"line and polyline",
         [&] {
             AddLine(-10, 0, 10, 0);
             Add(std::make_unique<TPolyline2D>(-1, square));
         },
         {5, 0, 1}, {2, 6, 1}, true, false},
        {"polyline and line",
         [&] {
             AddLine(-10, 0, 10, 0);
             Add(std::make_unique<TPolyline2D>(-1, square));
         },
         {2, 6, 1}, {5, 0, 1}, true, false},
        {"parallel lines",
         [&] {
             AddLine(-10, 0, 10, 0);
             AddLine(-10, 3, 10, 3);
         },
         {5, 0, 1}, {5, 3, 1}, false, false},
        {"arcs touching at an end point",
         [&] {
             Add(std::make_unique<TArco2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}, 0.0, Pi / 2));
             Add(std::make_unique<TArco2D>(-1, TPoint2D{0, 4, 1}, TPoint2D{2, 4, 1}, Pi, 1.5 * Pi));
         },
         {1.4, 1.4, 1}, {-1.4, 2.6, 1}, false, true},
    };
    for (const bool fillet : {true, false}) {
        for (const Case& c : cases) {
            if (fillet && c.TrimOnly)
                continue;
            SCOPED_TRACE(std::string(fillet ? "fillet, " : "trim, ") + c.Name);
            Doc.DeleteAllObjects();
            Journal.Clear();
            Notifier.Clear();
            c.Build();
            std::vector<std::vector<TPoint2D>> before;
            for (TObject2D* o : Objects())
                before.push_back(PointsOf(*o));
            if (fillet)
                StartFillet("1");
            else
                StartTrimCommand(Prg, nullptr);
            PickTwo(c.Pick1, c.Pick2);

            EXPECT_TRUE(Idle()) << CurrentClass();
            EXPECT_TRUE(Journal.Steps().empty());
            const std::vector<TObject2D*> after = Objects();
            ASSERT_EQ(after.size(), before.size());
            for (size_t i = 0; i < after.size(); ++i) {
                const std::vector<TPoint2D> points = PointsOf(*after[i]);
                ASSERT_EQ(points.size(), before[i].size());
                for (size_t k = 0; k < points.size(); ++k)
                    EXPECT_TRUE(IsAt(points[k], before[i][k].X, before[i][k].Y, 0)) << "object " << i;
            }
            if (c.Message) {
                ASSERT_EQ(Notifier.Messages().size(), 1u);
                EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Information);
                EXPECT_EQ(Notifier.Messages()[0].Text, WrongKindText());
                EXPECT_EQ(Notifier.Messages()[0].Caption, "");
            } else {
                EXPECT_TRUE(Notifier.Messages().empty());
            }
        }
    }
}

TEST_F(PairEdits, StartersSetUpThePanelAndSwitchObjectSnapOff)
{
    Prg.UsaSnap = true;
    StartFilletCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Fillet);
    EXPECT_EQ(FilletRadius, 25.0) << "the page's default in millimetres";
    EXPECT_FALSE(Prg.UsaSnap);
    EXPECT_EQ(CurrentClass(), "TQV_50Seleziona2Ogg");
    Panel.CellEdited(0, 0, "3,5");
    FilletRadiusEdited();
    EXPECT_EQ(FilletRadius, 3.5);

    Prg.UsaSnap = true;
    StartTrimCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Trim);
    EXPECT_FALSE(Prg.UsaSnap);
    EXPECT_EQ(CurrentClass(), "TQV_50Seleziona2Ogg");
}

} // namespace

}  // namespace fillet_trim_test
