// The perpendicular and tangent constructions and the inspection of one
// entity, driven with the mouse over the scene view and a document: the
// entity each adds, its undo step, and what each refuses.

#include "cad/edit/QV2D_Fillet.h"
#include "cad/edit/TangentStates.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "tests/cad/PairEditTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace tangent_states_test {

namespace {

using kbtest::IsArc;
using kbtest::IsAt;
using kbtest::Shown;

constexpr double Pi = std::numbers::pi;

struct Constructions : ::testing::Test, kbtest::TPairEditRig {
    // The one entity the command added, of class T, and its step: one
    // step of new objects holding its ID. Undoing it removes the entity.
    template <class T> T* AddedThenUndone(size_t countBefore)
    {
        const std::vector<TObject2D*> objects = Objects();
        EXPECT_EQ(objects.size(), countBefore + 1);
        if (objects.size() != countBefore + 1)
            return nullptr;
        auto* added = dynamic_cast<T*>(objects.back());
        EXPECT_NE(added, nullptr);
        EXPECT_EQ(Journal.Steps().size(), 1u);
        if (!added || Journal.Steps().size() != 1)
            return nullptr;
        EXPECT_EQ(LastKind(), TUndoKind::NewObjects);
        EXPECT_EQ(LastStepIDs(), std::vector<int32_t>{added->ID()});
        return added;
    }
    void ExpectUndoRemovesIt(size_t countBefore)
    {
        Journal.Undo();
        EXPECT_EQ(Objects().size(), countBefore);
    }
    void Reset()
    {
        Doc.DeleteAllObjects();
        Journal.Clear();
        Notifier.Clear();
    }
};

std::unique_ptr<TPrimitive2D> LineAcross() { return std::make_unique<TLine2D>(-1, TPoint2D{-10, 0, 1}, TPoint2D{10, 0, 1}); }
std::unique_ptr<TPrimitive2D> CircleAt0(double r)
{
    return std::make_unique<TCerchio2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{r, 0, 1});
}
std::unique_ptr<TPrimitive2D> UpperHalfArc(double r)
{
    return std::make_unique<TArco2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{r, 0, 1}, 0.0, Pi);
}

TEST_F(Constructions, PerpendicularLineRunsFromThePointToTheEntity)
{
    struct Case {
        const char* Name;
        std::function<std::unique_ptr<TPrimitive2D>()> Entity;
        TPoint2D EntityPick, Point;
        bool Added;
        double Fx, Fy;
    };
    const Case cases[] = {
        {"foot on a line", LineAcross, {5, 0, 1}, {3, 4, 1}, true, 3, 0},
        {"beyond a line's end", LineAcross, {5, 0, 1}, {13, -4, 1}, true, 13, 0},
        {"radial to a circle", [] { return CircleAt0(2); }, {-2, 0, 1}, {6, 8, 1}, true, 1.2, 1.6},
        {"radial to an arc's circle", [] { return UpperHalfArc(2); }, {0.3, 2, 1}, {6, -8, 1}, true, 1.2, -1.6},
        {"point on the line adds nothing", LineAcross, {5, 0, 1}, {3, 0, 1}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reset();
        Add(c.Entity());
        StartPerpendicularLineCommand(Prg, nullptr);
        Driver.Click(c.EntityPick);
        EXPECT_EQ(CurrentClass(), "TQV_50SelectPoint");
        EXPECT_EQ(Prg.OperationClass(), StateClassOf<TLineaPerpend>());
        Driver.Click(c.Point);

        EXPECT_TRUE(Idle()) << CurrentClass();
        EXPECT_TRUE(Notifier.Messages().empty());
        if (!c.Added) {
            EXPECT_EQ(Doc.ObjectsCount(), 1);
            EXPECT_TRUE(Journal.Steps().empty());
            continue;
        }
        TLine2D* line = AddedThenUndone<TLine2D>(1);
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(IsAt(Shown(*line, 0), c.Point.X, c.Point.Y, 1e-6));
        EXPECT_TRUE(IsAt(Shown(*line, 1), c.Fx, c.Fy, 1e-6));
        ExpectUndoRemovesIt(1);
    }
}

TEST_F(Constructions, PerpendicularToAnotherKindWarnsAndToAVanishedEntityDoesNothing)
{
    const std::vector<TPoint2D> square{{-2, -2, 1}, {2, -2, 1}, {2, 2, 1}, {-2, 2, 1}};
    Add(std::make_unique<TPolyline2D>(-1, square));
    StartPerpendicularLineCommand(Prg, nullptr);
    Driver.Click({0, -2, 1});
    Driver.Click({5, 5, 1});
    EXPECT_TRUE(Idle());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(Notifier.Messages()[0].Text, WrongKindText());
    EXPECT_EQ(Notifier.Messages()[0].Caption, "Error");
    EXPECT_EQ(Doc.ObjectsCount(), 1);

    // The entity is deleted while the point is being picked.
    Reset();
    TObject2D* line = Add(LineAcross());
    StartPerpendicularLineCommand(Prg, nullptr);
    Driver.Click({5, 0, 1});
    Doc.DeleteObject(line->ID());
    Driver.Click({3, 4, 1});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST(TangentLineTwoCircles, TakesTheTangentWhoseTouchingPointsLieNearestThePicks)
{
    const auto circle = [](double cx, double cy, double r) {
        TArcInfo2D info;
        info.Centre = TVector2D{cx, cy};
        info.Radius = r;
        return info;
    };
    const double s3 = std::sqrt(3.0);
    struct Case {
        const char* Name;
        TArcInfo2D A1, A2;
        TVector2D Pick1, Pick2;
        bool Exists;
        TVector2D T1, T2;
    };
    const Case cases[] = {
        {"equal circles, picks on top", circle(-4, 0, 2), circle(4, 0, 2), {-4, 2}, {4, 2}, true, {-4, 2}, {4, 2}},
        {"equal circles, picks below", circle(-4, 0, 2), circle(4, 0, 2), {-4, -2}, {4, -2}, true, {-4, -2}, {4, -2}},
        {"picks on opposite sides cross", circle(-4, 0, 2), circle(4, 0, 2), {-4, 2}, {4, -2}, true, {-3, s3},
         {3, -s3}},
        {"different radii", circle(0, 0, 1), circle(10, 0, 3), {0, 1}, {10, 3}, true,
         {-0.2, std::sqrt(0.96)}, {9.4, 3 * std::sqrt(0.96)}},
        {"overlapping circles keep to the outer tangents", circle(-1, 0, 2), circle(1, 0, 2), {0.5, 1.9},
         {-0.5, 1.9}, true, {-1, 2}, {1, 2}},
        {"touching circles have no tangent of length 0", circle(-2, 0, 2), circle(2, 0, 2), {0, 0}, {0, 0}, true,
         {-2, 2}, {2, 2}},
        {"one circle inside the other", circle(0, 0, 5), circle(1, 0, 1), {0, 5}, {1, 1}, false, {}, {}},
        {"equal centres", circle(0, 0, 5), circle(0, 0, 1), {0, 5}, {0, 1}, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto line = TangentLineTwoCircles(c.A1, c.Pick1, c.A2, c.Pick2);
        ASSERT_EQ(line.has_value(), c.Exists);
        if (!line)
            continue;
        EXPECT_TRUE(IsAt((*line)[0], c.T1.X, c.T1.Y, 1e-9));
        EXPECT_TRUE(IsAt((*line)[1], c.T2.X, c.T2.Y, 1e-9));
    }
}

TEST_F(Constructions, TangentLineOfAnArcAndACircleRunsFromTheCircleToTheArc)
{
    Add(std::make_unique<TArco2D>(-1, TPoint2D{-4, 0, 1}, TPoint2D{-2, 0, 1}, 0.0, Pi));
    Add(std::make_unique<TCerchio2D>(-1, TPoint2D{4, 0, 1}, TPoint2D{6, 0, 1}));
    Prg.UsaSnap = true;
    StartTangentLineTwoArcsCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::TangentLineArcs);
    EXPECT_FALSE(Prg.UsaSnap);
    Driver.Click({-4.3, 2, 1});
    Driver.Click({4.3, 2, 1});

    EXPECT_TRUE(Idle());
    EXPECT_TRUE(View.HighlightList().empty());
    TLine2D* line = AddedThenUndone<TLine2D>(2);
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(IsAt(Shown(*line, 0), 4, 2));
    EXPECT_TRUE(IsAt(Shown(*line, 1), -4, 2));
    ExpectUndoRemovesIt(2);
}

TEST_F(Constructions, TangentLineAtAnAngleStartsOnThePickedSide)
{
    struct Case {
        const char* Name;
        std::string Length, Angle;
        TPoint2D Pick;
        bool Added;
        double Tx, Ty, Ex, Ey;
    };
    const Case cases[] = {
        {"0 degrees, picked above", "10", "0", {0, 2, 1}, true, 0, 2, 10, 2},
        {"0 degrees, picked below", "10", "0", {0, -2, 1}, true, 0, -2, 10, -2},
        {"90 degrees, picked right", "10", "90", {2, 0, 1}, true, 2, 0, 2, 10},
        {"90 degrees, picked left", "10", "90", {-2, 0, 1}, true, -2, 0, -2, 10},
        {"length 0 adds nothing", "0", "0", {0, 2, 1}, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reset();
        Add(CircleAt0(2));
        StartTangentLineAtAngleCommand(Prg, nullptr);
        EXPECT_EQ(Panel.PageType(), InfoEditPage::TangentLineAngle);
        Panel.CellEdited(0, 0, c.Length);
        Panel.CellEdited(1, 0, c.Angle);
        TangentPanelEdited(Prg, nullptr); // the edit starts the command again
        EXPECT_EQ(CurrentClass(), "TQV_50Seleziona1Ogg");
        Driver.Click(c.Pick);

        EXPECT_TRUE(Idle());
        if (!c.Added) {
            EXPECT_EQ(Doc.ObjectsCount(), 1);
            EXPECT_TRUE(Journal.Steps().empty());
            continue;
        }
        TLine2D* line = AddedThenUndone<TLine2D>(1);
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(IsAt(Shown(*line, 0), c.Tx, c.Ty, 1e-6));
        EXPECT_TRUE(IsAt(Shown(*line, 1), c.Ex, c.Ey, 1e-6));
        ExpectUndoRemovesIt(1);
    }
}

TEST_F(Constructions, CircleFromACentreTouchesTheEntity)
{
    struct Case {
        const char* Name;
        std::function<std::unique_ptr<TPrimitive2D>()> Entity;
        TPoint2D EntityPick, Centre;
        bool Added;
        double Radius;
    };
    const Case cases[] = {
        {"line: the distance to it", LineAcross, {5, 0, 1}, {3, 4, 1}, true, 4},
        {"outside a circle", [] { return CircleAt0(2); }, {-2, 0, 1}, {6, 8, 1}, true, 8},
        {"inside a circle", [] { return CircleAt0(5); }, {-5, 0, 1}, {0, 3, 1}, true, 2},
        {"centre on the line adds nothing", LineAcross, {5, 0, 1}, {3, 0, 1}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reset();
        Add(c.Entity());
        StartTangentCircleFromCentreCommand(Prg, nullptr);
        EXPECT_TRUE(Prg.UsaSnap);
        Driver.Click(c.EntityPick);
        EXPECT_EQ(Prg.OperationClass(), StateClassOf<TMyArcoTan1>());
        Driver.Click(c.Centre);

        EXPECT_TRUE(Idle()) << CurrentClass();
        if (!c.Added) {
            EXPECT_EQ(Doc.ObjectsCount(), 1);
            EXPECT_TRUE(Journal.Steps().empty());
            continue;
        }
        TArco2D* circle = AddedThenUndone<TArco2D>(1);
        ASSERT_NE(circle, nullptr);
        EXPECT_TRUE(IsArc(*circle, c.Centre.X, c.Centre.Y, c.Radius, 0, 0));
        ExpectUndoRemovesIt(1);
    }
}

TEST_F(Constructions, CircleOfRadiusRTouchesTwoLinesAndLeavesThem)
{
    TLine2D* l1 = static_cast<TLine2D*>(Add(LineAcross()));
    TLine2D* l2 = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, -10, 1}, TPoint2D{0, 10, 1}));
    FilletRadius = 0;
    StartTangentCircleRadiusCommand(Prg, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::ArcTangentTwo);
    Panel.CellEdited(0, 0, "2");
    TangentPanelEdited(Prg, nullptr);
    EXPECT_EQ(FilletRadius, 2.0);
    Driver.Click({5, 0, 1});
    Driver.Click({0, 5, 1});

    EXPECT_TRUE(Idle());
    EXPECT_TRUE(IsAt(Shown(*l1, 0), -10, 0));
    EXPECT_TRUE(IsAt(Shown(*l1, 1), 10, 0));
    EXPECT_TRUE(IsAt(Shown(*l2, 0), 0, -10));
    TArco2D* circle = AddedThenUndone<TArco2D>(2);
    ASSERT_NE(circle, nullptr);
    EXPECT_TRUE(IsArc(*circle, 2, 2, 2, 0, 0));
    ExpectUndoRemovesIt(2);
}

TEST_F(Constructions, InspectionShowsTheEntityInThePanel)
{
    TObject2D* circle = Add(CircleAt0(2));
    Panel.SetReadOnly(true);
    StartInspectEntityCommand(Prg, nullptr);
    EXPECT_FALSE(Panel.ReadOnly());
    Driver.Click({2, 0, 1});

    EXPECT_TRUE(Idle());
    EXPECT_EQ(Panel.PageKind(), TPanelPageKind::Entity);
    EXPECT_EQ(Panel.EditedObjectID(), circle->ID());
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST_F(Constructions, StatesRefuseASelectionWithoutAPrimitive)
{
    auto* container = Add(std::make_unique<TContainer2D>(-1));
    struct Case {
        TCADStateClass State;
        std::string Text;
    };
    const Case cases[] = {
        {StateClassOf<TLineaPerpend>(), "TLinePerpend: Invalid param"},
        {StateClassOf<TMyArcoTan1>(), "TArcTan1: Invalid param"},
        {StateClassOf<TSelez1Ent>(), "TS1E: Invalid param"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Notifier.Clear();
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr);
        selection->Select(*container);
        Prg.StartOperation(c.State, std::move(selection));
        EXPECT_TRUE(Idle()) << CurrentClass();
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Text);
    }
}

} // namespace

}  // namespace tangent_states_test
