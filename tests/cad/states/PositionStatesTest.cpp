// The positioning states driven end to end over the scene view and a
// document: placing a prepared entity, exploding a placed container (point
// grid, bolt circle, text) as one undo step, and placing a label's text.

#include "cad/edit/BreakIDs.h"
#include "cad/states/PositionStates.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/DrawStatesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace position_states_test {

namespace {

using kbtest::ExpectPoints;

// The control points as the object now lies in the drawing.
std::vector<TPoint2D> PlacedPoints(const TObject2D& object)
{
    std::vector<TPoint2D> points;
    const TMatrix4 m = object.GetModelTransform();
    for (const TPoint2D& p : dynamic_cast<const TPrimitive2D&>(object).Points().Points())
        points.push_back(CartesianPoint2D(m.TransformPoint2D(p)));
    return points;
}

std::vector<TPoint2D> Shifted(std::vector<TPoint2D> points, double dx, double dy)
{
    for (TPoint2D& p : points) {
        p.X += dx;
        p.Y += dy;
    }
    return points;
}

std::unique_ptr<TContainer2D> PointsContainer(const std::vector<TPoint2D>& points)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    for (const TPoint2D& p : points)
        children.push_back(std::make_unique<TPunto2D>(-1, p));
    return std::make_unique<TContainer2D>(-1, std::move(children));
}

struct PositionStates : ::testing::Test, kbtest::TDrawRig {
    void StartPositioning(std::unique_ptr<TObject2D> object, TCADStateClass afterState = nullptr)
    {
        TObject2D* raw = object.get();
        auto param = std::make_unique<TQV_40PositionObjectParam>(afterState, std::move(object));
        if (afterState)
            param->SetUserObject(raw);
        Start<TQV_40PositionObject>(std::move(param));
    }
};

TEST_F(PositionStates, PreparedEntityPlacedByItsReferencePoint)
{
    struct Case {
        std::string Name;
        std::function<std::unique_ptr<TPrimitive2D>()> Make;
        TPoint2D Reference; // goes to the clicked point
    };
    const std::vector<Case> cases{
        {"line by its first point",
         [] { return std::make_unique<TLine2D>(-1, Point2D(1, 2), Point2D(4, 6)); }, {1, 2, 1}},
        {"circle by its centre",
         [] { return std::make_unique<TCerchio2D>(-1, Point2D(2, 2), Point2D(3, 2)); }, {2, 2, 1}},
        {"polyline by its box corner",
         [] {
             const TPoint2D points[] = {Point2D(1, 1), Point2D(3, 0), Point2D(2, 4)};
             return std::make_unique<TPolyline2D>(-1, points);
         },
         {1, 0, 1}},
    };
    const TPoint2D target{5, -3, 1};
    for (const Case& c : cases)
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(c.Name + (typed ? " typed" : " mouse"));
            const std::vector<TPoint2D> original = kbtest::CartesianPoints(*c.Make());
            StartPositioning(c.Make());
            EXPECT_EQ(Shell.Prompts.back(), "prompt 3");
            Driver.MoveTo({-7, 8, 1});
            ASSERT_NE(View.DragObject(), nullptr);
            ExpectPoints(PlacedPoints(*View.DragObject()), Shifted(original, -7 - c.Reference.X, 8 - c.Reference.Y));
            Put(target, typed);
            const std::vector<TObject2D*> objects = Objects();
            ASSERT_EQ(objects.size(), 1u);
            ExpectPoints(PlacedPoints(*objects[0]),
                         Shifted(original, target.X - c.Reference.X, target.Y - c.Reference.Y));
            ExpectNewObjectsStepThenUndo();
            Journal.Clear();
        }
}

TEST_F(PositionStates, PlacedContainerIsExplodedAsOneStepAndTheCommandEnds)
{
    // The point grid and the bolt circle are placed by the point their
    // base point names (their own origin), a text by its box corner.
    const std::vector<TPoint2D> grid{{0, 0, 1}, {2, 0, 1}, {4, 0, 1}, {0, 3, 1}, {2, 3, 1}, {4, 3, 1}};
    const std::vector<TPoint2D> bolt{{5, 0, 1}, {0, 5, 1}, {-5, 0, 1}, {0, -5, 1}};
    const std::vector<TPoint2D> text{{1, 1, 1}, {2, 3, 1}};
    struct Case {
        std::string Name;
        std::vector<TPoint2D> Points;
        TPoint2D Base;
        TPoint2D Reference;
    };
    const std::vector<Case> cases{
        {"point grid", grid, {0, 0, 1}, {0, 0, 1}},
        {"bolt circle", bolt, {-5, -5, 1}, {0, 0, 1}},
        {"text", text, {0, 0, 1}, {1, 1, 1}},
    };
    const TPoint2D target{10, 5, 1};
    for (const Case& c : cases)
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(c.Name + (typed ? " typed" : " mouse"));
            std::unique_ptr<TContainer2D> container = PointsContainer(c.Points);
            container->SetBasePoint(c.Base.X, c.Base.Y);
            Shell.Ends.clear();
            StartPositioning(std::move(container), StateClassOf<TQV_40ExplodeContainer>());
            Driver.MoveTo({1, 1, 1});
            Put(target, typed);

            EXPECT_EQ(Shell.Ends.size(), 1u) << "the command ends";
            std::vector<TPoint2D> placed;
            std::vector<int32_t> ids;
            for (TObject2D* o : Objects()) {
                ASSERT_NE(dynamic_cast<TPunto2D*>(o), nullptr);
                placed.push_back(PlacedPoints(*o)[0]);
                ids.push_back(o->ID());
            }
            ExpectPoints(placed, Shifted(c.Points, target.X - c.Reference.X, target.Y - c.Reference.Y));
            EXPECT_EQ(BreakIDs(), ids);
            ExpectNewObjectsStepThenUndo();
            Journal.Clear();
        }
}

TEST_F(PositionStates, EmptyContainerAddsNothing)
{
    StartPositioning(std::make_unique<TContainer2D>(-1), StateClassOf<TQV_40ExplodeContainer>());
    Driver.Click({3, 3, 1});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST_F(PositionStates, LabelTextFillsTheFieldsAndApplies)
{
    for (const bool typed : {false, true}) {
        SCOPED_TRACE(typed ? "typed" : "mouse");
        std::vector<std::string> calls;
        TPositionFields fields;
        fields.SetXText = [&](const std::string& t) { calls.push_back("x " + t); };
        fields.SetYText = [&](const std::string& t) { calls.push_back("y " + t); };
        fields.XChanged = [&] { calls.push_back("x changed"); };
        fields.YChanged = [&] { calls.push_back("y changed"); };
        fields.ApplyClick = [&] { calls.push_back("apply"); };
        const TPoint2D outline[] = {Point2D(1, 1), Point2D(3, 2)};
        std::vector<std::unique_ptr<TObject2D>> children;
        children.push_back(std::make_unique<TPolyline2D>(-1, outline));
        Start<TQV_40PosizionaContainer>(std::make_unique<TQV_40PositionContainerParam>(
            nullptr, std::make_unique<TContainer2D>(-1, std::move(children)), fields));
        EXPECT_EQ(Shell.Prompts.back(), "prompt 3");

        Driver.MoveTo({4, 5, 1});
        EXPECT_EQ(calls, (std::vector<std::string>{"x 4", "y 5"})) << "the fields show where the text is";
        calls.clear();
        Put({7, 2.5, 1}, typed);
        const std::vector<std::string> expected{"x 7", "y 2.5", "x changed", "y changed", "apply"};
        // A mouse click moves to the point first: its fields come twice.
        std::vector<std::string> tail(calls.end() - std::min<size_t>(calls.size(), expected.size()), calls.end());
        EXPECT_EQ(tail, expected);
        EXPECT_TRUE(Idle());
        EXPECT_EQ(View.DragObject(), nullptr);
        EXPECT_EQ(Doc.ObjectsCount(), 0);
        EXPECT_TRUE(Journal.Steps().empty());
    }
}

TEST_F(PositionStates, CancelAndWrongParameters)
{
    StartPositioning(std::make_unique<TLine2D>(-1, Point2D(0, 0), Point2D(1, 1)));
    Driver.MoveTo({2, 2, 1});
    Driver.Esc();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(View.DragObject(), nullptr);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());

    // A positioning parameter without its dialog row, and one without object.
    Prg.StartOperation(StateClassOf<TQV_40PosizionaContainer>(),
                       std::make_unique<TQV_40PositionObjectParam>(nullptr, std::make_unique<TContainer2D>(-1)));
    Prg.StartOperation(StateClassOf<TQV_40PositionObject>(),
                       std::make_unique<TQV_40PositionObjectParam>(nullptr, nullptr));
    ASSERT_EQ(Notifier.Messages().size(), 2u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "TQV_40PosizionaContainer: Invalid param");
    EXPECT_EQ(Notifier.Messages()[1].Text, "TQV_40PositionObject: Invalid param");
}

} // namespace

}  // namespace position_states_test
