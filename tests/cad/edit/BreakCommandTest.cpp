// The break command over the scene view and a document: the pieces each
// pairing gives, the undo step and its undo, and the pairings that leave
// the drawing alone.

#include "cad/edit/BreakIDs.h"
#include "cad/edit/QV2D_Break.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/EntityEditRig.h"

#include <osg/Group>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace break_command_test {

namespace {

using kbtest::HasPoints;
using kbtest::IsArc;

TPoint2D P(double x, double y) { return Point2D(x, y); }

std::unique_ptr<TArco2D> Arc(double cx, double cy, double r, double startDeg, double endDeg)
{
    const double k = std::numbers::pi / 180.0;
    return std::make_unique<TArco2D>(-1, P(cx, cy), P(cx + r, cy), startDeg * k, endDeg * k);
}

std::unique_ptr<TPolyline2D> Polyline(std::vector<TPoint2D> points)
{
    return std::make_unique<TPolyline2D>(-1, points);
}

struct BreakCommand : ::testing::Test, kbtest::TEntityEditRig {
    unsigned SelectionGroupSize()
    {
        return View.SceneBuilder().ObjectsIn(View.SceneBuilder().Group(TSceneGroup::Selection));
    }
    std::vector<int32_t> Layers(const std::vector<TObject2D*>& objects)
    {
        std::vector<int32_t> layers;
        for (TObject2D* o : objects)
            layers.push_back(o->Layer());
        return layers;
    }
};

TEST_F(BreakCommand, TwoPickedCrossingLinesBecomeFourThenUndoBringsThemBack)
{
    TLine2D* l1 = AddOn(2, std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
    TLine2D* l2 = AddOn(4, std::make_unique<TLine2D>(-1, P(5, -5), P(5, 5)));
    const int32_t id1 = l1->ID(), id2 = l2->ID();
    int selected = 0;
    Prg.UsaSnap = true;
    StartBreakCommand(Prg, [&](TQV_50SelectObjectsParam&, TObject2D*, bool, int32_t) { ++selected; });
    EXPECT_EQ(Panel.PageType(), 28);
    EXPECT_FALSE(Prg.UsaSnap);
    const unsigned marksBefore = SelectionGroupSize();
    Driver.Click(P(2, 0));
    Driver.Click(P(5, 3));

    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_EQ(selected, 2);
    const std::vector<TObject2D*> pieces = Objects();
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(pieces[0]), {{0, 0}, {5, 0}}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(pieces[1]), {{5, 0}, {10, 0}}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(pieces[2]), {{5, -5}, {5, 0}}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(pieces[3]), {{5, 0}, {5, 5}}));
    EXPECT_EQ(Layers(pieces), (std::vector<int32_t>{2, 2, 4, 4}));
    EXPECT_EQ(SelectionGroupSize(), marksBefore + 1) << "the crossing is marked";
    EXPECT_TRUE(View.HighlightList().empty());

    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(LastKind(), TUndoKind::Break);
    std::vector<int32_t> expected{id1, id2};
    for (int32_t id : IDs(pieces))
        expected.push_back(id);
    EXPECT_EQ(LastStepIDs(), expected);
    EXPECT_EQ(BreakIDs(), expected);

    Journal.Undo();
    const std::vector<TObject2D*> back = Objects();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(IDs(back), (std::vector<int32_t>{id1, id2}));
    EXPECT_EQ(Layers(back), (std::vector<int32_t>{2, 4}));
    EXPECT_TRUE(HasPoints(*static_cast<TLine2D*>(back[0]), {{0, 0}, {10, 0}}));
}

// Pairings that must leave the drawing as it was: no crossing, a crossing
// only at shared end points, kinds that are not broken.
TEST(BreakCommandNothing, PairingsWithoutACutChangeNothing)
{
    using TMake = std::function<std::vector<TObject2D*>(kbtest::TEntityEditRig&)>;
    const struct {
        const char* Name;
        TMake Make;
    } cases[] = {
        {"lines sharing an end point",
         [](kbtest::TEntityEditRig& r) {
             return std::vector<TObject2D*>{r.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0))),
                                            r.Add(std::make_unique<TLine2D>(-1, P(10, 0), P(10, 10)))};
         }},
        {"arcs meeting only at an end point",
         [](kbtest::TEntityEditRig& r) {
             // The circles cross at (3, 4) and (3, -4); the arcs hold only
             // (3, 4), the start of one and the end of the other.
             return std::vector<TObject2D*>{r.Add(Arc(0, 0, 5, 53.13010235415598, 180)),
                                            r.Add(Arc(6, 0, 5, 0, 126.86989764584402))};
         }},
        {"a line beside a circle (the circle stays a circle)",
         [](kbtest::TEntityEditRig& r) {
             return std::vector<TObject2D*>{r.Add(std::make_unique<TLine2D>(-1, P(-10, 8), P(10, 8))),
                                            r.Add(std::make_unique<TCerchio2D>(-1, P(0, 0), P(5, 0)))};
         }},
        {"a point first",
         [](kbtest::TEntityEditRig& r) {
             return std::vector<TObject2D*>{r.Add(std::make_unique<TPunto2D>(-1, P(5, 0))),
                                            r.Add(std::make_unique<TLine2D>(-1, P(5, -5), P(5, 5)))};
         }},
        {"a polyline against a point",
         [](kbtest::TEntityEditRig& r) {
             return std::vector<TObject2D*>{r.Add(Polyline({P(0, 0), P(10, 0)})),
                                            r.Add(std::make_unique<TPunto2D>(-1, P(5, 0)))};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        const std::vector<TObject2D*> objects = c.Make(rig);
        const std::vector<std::string> classes = rig.ClassNames();
        rig.HandOver<TQV2D_Break>(objects);
        EXPECT_TRUE(rig.Idle());
        EXPECT_EQ(rig.ClassNames(), classes);
        EXPECT_EQ(rig.IDs(rig.Objects()), rig.IDs(objects));
        EXPECT_TRUE(rig.Journal.Steps().empty());
        EXPECT_TRUE(rig.Notifier.Messages().empty());
    }
}

TEST_F(BreakCommand, LineThroughACircleGivesThreeLinesAndThreeArcsAndUndoGivesTheCircleBack)
{
    TLine2D* line = AddOn(1, std::make_unique<TLine2D>(-1, P(-10, 3), P(10, 3)));
    TCerchio2D* circle = AddOn(3, std::make_unique<TCerchio2D>(-1, P(0, 0), P(5, 0)));
    const int32_t lineID = line->ID(), circleID = circle->ID();
    HandOver<TQV2D_Break>({circle, line});

    const std::vector<TLine2D*> lines = AddedAfter<TLine2D>(0);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(HasPoints(*lines[0], {{-10, 3}, {-4, 3}}));
    EXPECT_TRUE(HasPoints(*lines[1], {{-4, 3}, {4, 3}}));
    EXPECT_TRUE(HasPoints(*lines[2], {{4, 3}, {10, 3}}));
    const std::vector<TArco2D*> arcs = AddedAfter<TArco2D>(3);
    ASSERT_TRUE(arcs[0] && arcs[1] && arcs[2]);
    // Counter-clockwise from the circle's angle-0 point, crossings by angle.
    const double a = 36.86989764584402;
    EXPECT_TRUE(IsArc(*arcs[0], 0, 0, 5, 0, a));
    EXPECT_TRUE(IsArc(*arcs[1], 0, 0, 5, a, 180 - a));
    EXPECT_TRUE(IsArc(*arcs[2], 0, 0, 5, 180 - a, 0));
    EXPECT_EQ(Layers(Objects()), (std::vector<int32_t>{1, 1, 1, 3, 3, 3}));

    // The line is listed first although the circle was picked first.
    ASSERT_EQ(Journal.Steps().size(), 1u);
    std::vector<int32_t> expected{lineID, circleID};
    for (int32_t id : IDs(Objects()))
        expected.push_back(id);
    EXPECT_EQ(LastStepIDs(), expected);

    Journal.Undo();
    EXPECT_EQ(ClassNames(), (std::vector<std::string>{"TLine2D", "TCerchio2D"}));
    EXPECT_EQ(IDs(Objects()), (std::vector<int32_t>{lineID, circleID}));
    EXPECT_EQ(Objects()[1]->Layer(), 3);
}

TEST_F(BreakCommand, TwoCirclesGiveThreeArcsEach)
{
    TCerchio2D* c1 = AddOn(1, std::make_unique<TCerchio2D>(-1, P(0, 0), P(5, 0)));
    TCerchio2D* c2 = AddOn(2, std::make_unique<TCerchio2D>(-1, P(6, 0), P(11, 0)));
    const std::vector<int32_t> ids{c1->ID(), c2->ID()};
    HandOver<TQV2D_Break>({c1, c2});

    const std::vector<TArco2D*> arcs = AddedAfter<TArco2D>(0);
    ASSERT_EQ(arcs.size(), 6u);
    const double a = 53.13010235415598, b = 126.86989764584402;
    EXPECT_TRUE(IsArc(*arcs[0], 0, 0, 5, 0, a));
    EXPECT_TRUE(IsArc(*arcs[1], 0, 0, 5, a, -a));
    EXPECT_TRUE(IsArc(*arcs[2], 0, 0, 5, -a, 0));
    EXPECT_TRUE(IsArc(*arcs[3], 6, 0, 5, 0, b));
    EXPECT_TRUE(IsArc(*arcs[4], 6, 0, 5, b, -b));
    EXPECT_TRUE(IsArc(*arcs[5], 6, 0, 5, -b, 0));
    EXPECT_EQ(Layers(Objects()), (std::vector<int32_t>{1, 1, 1, 2, 2, 2}));

    Journal.Undo();
    EXPECT_EQ(ClassNames(), (std::vector<std::string>{"TCerchio2D", "TCerchio2D"}));
    EXPECT_EQ(IDs(Objects()), ids);
}

TEST_F(BreakCommand, ArcBrokenByALineListsTheLineFirst)
{
    TArco2D* arc = AddOn(0, Arc(0, 0, 5, 0, 180));
    TLine2D* line = AddOn(0, std::make_unique<TLine2D>(-1, P(-10, 3), P(10, 3)));
    const int32_t arcID = arc->ID(), lineID = line->ID();
    HandOver<TQV2D_Break>({arc, line});

    const std::vector<TArco2D*> arcs = AddedAfter<TArco2D>(3);
    ASSERT_EQ(arcs.size(), 3u);
    const double a = 36.86989764584402;
    EXPECT_TRUE(IsArc(*arcs[0], 0, 0, 5, 0, a));
    EXPECT_TRUE(IsArc(*arcs[1], 0, 0, 5, a, 180 - a));
    EXPECT_TRUE(IsArc(*arcs[2], 0, 0, 5, 180 - a, 180));
    const std::vector<int32_t> step = LastStepIDs();
    ASSERT_GE(step.size(), 2u);
    EXPECT_EQ(step[0], lineID);
    EXPECT_EQ(step[1], arcID);
}

TEST_F(BreakCommand, RectangleAndLineBecomePolylinesOnTheirLayers)
{
    TRectangle2D* rect = AddOn(3, std::make_unique<TRectangle2D>(-1, P(0, 0), P(10, 10)));
    TLine2D* line = AddOn(5, std::make_unique<TLine2D>(-1, P(5, -5), P(5, 15)));
    const int32_t rectID = rect->ID(), lineID = line->ID();
    HandOver<TQV2D_Break>({rect, line});

    const std::vector<TPolyline2D*> pieces = AddedAfter<TPolyline2D>(0);
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(ClassNames(), std::vector<std::string>(6, "TPolyline2D"));
    EXPECT_TRUE(HasPoints(*pieces[0], {{0, 0}, {0, 10}, {5, 10}}));
    EXPECT_TRUE(HasPoints(*pieces[1], {{5, 10}, {10, 10}, {10, 0}, {5, 0}}));
    EXPECT_TRUE(HasPoints(*pieces[2], {{5, 0}, {0, 0}}));
    EXPECT_TRUE(HasPoints(*pieces[3], {{5, -5}, {5, 0}}));
    EXPECT_TRUE(HasPoints(*pieces[4], {{5, 0}, {5, 10}}));
    EXPECT_TRUE(HasPoints(*pieces[5], {{5, 10}, {5, 15}}));
    EXPECT_EQ(Layers(Objects()), (std::vector<int32_t>{3, 3, 3, 5, 5, 5}));
    const std::vector<int32_t> step = LastStepIDs();
    ASSERT_EQ(step.size(), 8u);
    EXPECT_EQ(step[0], rectID);
    EXPECT_EQ(step[1], lineID);

    Journal.Undo();
    EXPECT_EQ(ClassNames(), (std::vector<std::string>{"TRectangle2D", "TLine2D"}));
}

// The polyline route at awkward places: a crossing exactly at a vertex is
// found by both segments and must cut once; one within 0.001 of a segment's
// start is not cut by that segment; a polygon is cut on its implied closing
// edge too.
TEST(BreakCommandChains, CutsAtVerticesNearStartsAndOnClosingEdges)
{
    using TPoints = std::vector<TVector2D>;
    const std::vector<TPoint2D> straight{P(0, 0), P(5, 0), P(10, 0)};
    const std::vector<TPoint2D> triangle{P(0, 0), P(10, 0), P(5, 10)};
    const struct {
        const char* Name;
        std::vector<TPoint2D> Chain;
        bool Polygon;
        TPoint2D From, To; // the crossing line, picked first
        std::vector<TPoints> Pieces;
    } cases[] = {
        {"crossing at a vertex", straight, false, P(5, -5), P(5, 5),
         {{{5, -5}, {5, 0}}, {{5, 0}, {5, 5}}, {{0, 0}, {5, 0}}, {{5, 0}, {10, 0}}}},
        {"crossing just past a vertex", straight, false, P(5.0005, -5), P(5.0005, 5),
         {{{5.0005, -5}, {5.0005, 0}}, {{5.0005, 0}, {5.0005, 5}}, {{0, 0}, {5, 0}, {10, 0}}}},
        {"polygon crossed on its closing edge", triangle, true, P(0, 5), P(5, 5),
         {{{0, 5}, {2.5, 5}}, {{2.5, 5}, {5, 5}}, {{0, 0}, {10, 0}, {5, 10}, {2.5, 5}}, {{2.5, 5}, {0, 0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        kbtest::TEntityEditRig rig;
        TLine2D* line = rig.Add(std::make_unique<TLine2D>(-1, c.From, c.To));
        TPolyline2D* chain =
            c.Polygon ? rig.Add(std::make_unique<TPolygon2D>(-1, c.Chain)) : rig.Add(Polyline(c.Chain));
        rig.HandOver<TQV2D_Break>({line, chain});
        const std::vector<TPolyline2D*> pieces = rig.AddedAfter<TPolyline2D>(0);
        EXPECT_EQ(pieces.size(), c.Pieces.size());
        for (size_t i = 0; i < pieces.size() && i < c.Pieces.size(); ++i) {
            if (pieces[i])
                EXPECT_TRUE(HasPoints(*pieces[i], c.Pieces[i], 1e-9)) << "piece " << i;
            else
                ADD_FAILURE() << "piece " << i << " is no polyline";
        }
    }
}

TEST_F(BreakCommand, ArcAgainstAMovedPolylineCutsBothInDrawingCoordinates)
{
    TArco2D* arc = AddOn(6, Arc(0, 0, 5, 0, 180));
    TPolyline2D* polyline = AddOn(7, Polyline({P(-10, 3), P(10, 3)}));
    polyline->SetModelTransform(TMatrix4::CreateTranslation(0, -1, 0));
    polyline->UpdateBounds();
    HandOver<TQV2D_Break>({arc, polyline});

    const std::vector<TPolyline2D*> pieces = AddedAfter<TPolyline2D>(0);
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(Layers(Objects()), (std::vector<int32_t>{6, 6, 6, 7, 7, 7}));
    // The arc's pieces follow its profile from (5, 0) to (-5, 0).
    EXPECT_TRUE(kbtest::IsAt(kbtest::ShownPoints(*pieces[0]).front(), 5, 0));
    EXPECT_TRUE(kbtest::IsAt(kbtest::ShownPoints(*pieces[2]).back(), -5, 0));
    // The polyline's pieces lie where the polyline was drawn, at y = 2.
    for (size_t i = 3; i < 6; ++i) {
        EXPECT_FALSE(pieces[i]->HasTransform());
        for (const TVector2D& p : kbtest::ShownPoints(*pieces[i]))
            EXPECT_NEAR(p.Y, 2.0, 1e-9) << "piece " << i;
    }
    EXPECT_TRUE(kbtest::IsAt(kbtest::ShownPoints(*pieces[3]).front(), -10, 2));
    EXPECT_TRUE(kbtest::IsAt(kbtest::ShownPoints(*pieces[5]).back(), 10, 2));
}

} // namespace

}  // namespace break_command_test
