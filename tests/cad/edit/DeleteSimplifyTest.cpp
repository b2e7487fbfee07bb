// The delete command and the polyline simplification over the scene view
// and a document: what they remove or replace, their undo steps, and the
// Douglas-Peucker point choice.

#include "cad/edit/BreakIDs.h"
#include "cad/panel/InfoEditPages.h"
#include "cad/edit/MyCancella.h"
#include "cad/edit/MyRiducePoly.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "tests/cad/EntityEditRig.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace delete_simplify_test {

namespace {

using kbtest::HasPoints;

TPoint2D P(double x, double y) { return Point2D(x, y); }

std::unique_ptr<TPolyline2D> Polyline(std::vector<TPoint2D> points)
{
    return std::make_unique<TPolyline2D>(-1, points);
}

struct DeleteAndSimplify : ::testing::Test, kbtest::TEntityEditRig {};

// --- Delete ----------------------------------------------------------------------

TEST_F(DeleteAndSimplify, WindowDeleteRecordsOneStepPerObjectAndKeepsBitmaps)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, P(0, 0), P(4, 0)));
    TCerchio2D* circle = Add(std::make_unique<TCerchio2D>(-1, P(6, 2), P(7, 2)));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    TBitmap2D* bitmap = Add(std::make_unique<TBitmap2D>(-1, P(1, 3), P(3, 5), image));
    TPolyline2D* polyline = Add(Polyline({P(0, 6), P(4, 7), P(8, 6)}));
    TLine2D* outside = Add(std::make_unique<TLine2D>(-1, P(20, 0), P(24, 0)));
    const std::vector<int32_t> deleted{line->ID(), circle->ID(), polyline->ID()};
    Panel.SetReadOnly(true);
    StartWindowDeleteCommand(Prg);
    EXPECT_FALSE(Panel.ReadOnly());
    Driver.Click(P(-1, -1));
    Driver.Click(P(10, 10));

    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_EQ(Objects(), (std::vector<TObject2D*>{bitmap, outside}));
    ASSERT_EQ(Journal.Steps().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Journal.Steps()[i].Kind, TUndoKind::Delete);
        EXPECT_EQ(Journal.Steps()[i].RecordEnds.size(), 1u);
    }
    // One undo brings back one object, the last deleted first.
    for (size_t i = 3; i-- > 0;) {
        EXPECT_EQ(LastStepIDs(), std::vector<int32_t>{deleted[i]});
        Journal.Undo();
        EXPECT_NE(Doc.GetObject(deleted[i]), nullptr);
        EXPECT_EQ(Doc.ObjectsCount(), static_cast<int32_t>(2 + 3 - i));
    }
}

TEST_F(DeleteAndSimplify, PickDeleteTakesThePickedObjectsOnAccept)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, P(0, 0), P(4, 0)));
    TLine2D* kept = Add(std::make_unique<TLine2D>(-1, P(0, 5), P(4, 5)));
    int calls = 0;
    StartPickDeleteCommand(Prg, [&](TQV_50SelectObjectsParam&, TObject2D*, bool, int32_t) { ++calls; });
    Driver.Click(P(2, 0));
    const int32_t id = line->ID();
    const TSceneNodeId keptNode = kept->ViewNode();
    line->DrawSelected();
    Driver.Enter();
    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Objects(), std::vector<TObject2D*>{kept});
    EXPECT_EQ(LastStepIDs(), std::vector<int32_t>{id});
    EXPECT_TRUE(View.HighlightList().empty());
    // The end of the command cleared the highlights without drawing the
    // kept line again.
    const TOsgSceneBuilder& builder = View.SceneBuilder();
    EXPECT_EQ(builder.ObjectsIn(builder.Group(TSceneGroup::Selection)), 0u);
    EXPECT_EQ(builder.ObjectsIn(builder.Group(TSceneGroup::Entity)), 1u);
    EXPECT_EQ(kept->ViewNode(), keptNode) << "the scene was rebuilt";
}

// --- Simplification ------------------------------------------------------------------

TEST(SimplifyPoints, KeepsTheEndsAndWhatLiesBeyondTheTolerance)
{
    using TPoints = std::vector<TVector2D>;
    TPoints straight;
    for (int i = 0; i < 10; ++i)
        straight.push_back({i * 1.0, i * 0.5});
    const struct {
        const char* Name;
        TPoints Points;
        double Tolerance;
        TPoints Kept;
    } cases[] = {
        {"collinear", straight, 0.01, {{0, 0}, {9, 4.5}}},
        // First and last coincide: the point farthest from them, then the
        // corners by their distance to each chord.
        {"closed",
         {{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}, {0, 5}, {0, 0}},
         1,
         {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}},
        {"within the tolerance", {{0, 0}, {5, 0.4}, {10, 0}}, 0.5, {{0, 0}, {10, 0}}},
        {"beyond the tolerance", {{0, 0}, {5, 0.6}, {10, 0}}, 0.5, {{0, 0}, {5, 0.6}, {10, 0}}},
        // Behind the chord's start the distance is to the start itself.
        {"behind the start", {{0, 0}, {-2, 0}, {10, 0}}, 1, {{0, 0}, {-2, 0}, {10, 0}}},
        {"two points", {{0, 0}, {1, 0}}, 5, {{0, 0}, {1, 0}}},
        {"one point", {{3, 4}}, 5, {{3, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPoints kept = SimplifyPoints(c.Points, c.Tolerance);
        EXPECT_EQ(kept.size(), c.Kept.size());
        for (size_t i = 0; i < kept.size() && i < c.Kept.size(); ++i)
            EXPECT_TRUE(kbtest::IsAt(kept[i], c.Kept[i].X, c.Kept[i].Y)) << "point " << i;
    }
}

TEST_F(DeleteAndSimplify, SimplifiedPolylinesAreReplacedWithTotalsThenUndo)
{
    std::vector<TPoint2D> straight;
    for (int i = 0; i < 10; ++i)
        straight.push_back(P(i, 0));
    TPolyline2D* polyline = AddOn(2, Polyline(straight));
    TLine2D* line = AddOn(0, std::make_unique<TLine2D>(-1, P(0, -5), P(5, -5)));
    TPolygon2D* polygon = AddOn(3, std::make_unique<TPolygon2D>(-1, std::vector<TPoint2D>{P(0, 0), P(5, 0), P(10, 0),
                                                                                          P(10, 5), P(10, 10), P(5, 10),
                                                                                          P(0, 10), P(0, 5)}));
    const int32_t polylineID = polyline->ID(), polygonID = polygon->ID();
    SetPanelValue(InfoEditPage::Simplify, 0.5);
    HandOver<TMyRiducePoly>({polyline, line, polygon});

    EXPECT_TRUE(Idle());
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0], line);
    EXPECT_EQ(ClassNames(), (std::vector<std::string>{"TLine2D", "TPolyline2D", "TPolygon2D"}));
    EXPECT_TRUE(HasPoints(*static_cast<TPolyline2D*>(objects[1]), {{0, 0}, {9, 0}}));
    EXPECT_EQ(objects[1]->Layer(), 2);
    // The polygon stays a polygon, its closing edge implied as before.
    EXPECT_TRUE(HasPoints(*static_cast<TPolygon2D*>(objects[2]), {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5}}));
    EXPECT_EQ(objects[2]->Layer(), 3);
    EXPECT_EQ(Panel.Cell(1, 0), "18");
    EXPECT_EQ(Panel.Cell(2, 0), "7");

    const std::vector<int32_t> pairs{polylineID, objects[1]->ID(), polygonID, objects[2]->ID()};
    EXPECT_EQ(LastKind(), TUndoKind::SimplifyPolylines);
    EXPECT_EQ(LastStepIDs(), pairs);
    EXPECT_EQ(BreakIDs(), pairs);

    Journal.Undo();
    EXPECT_EQ(IDs(Objects()), (std::vector<int32_t>{line->ID(), polylineID, polygonID}));
    EXPECT_EQ(static_cast<TPolyline2D*>(Objects()[1])->Points().Count(), 10);
}

TEST_F(DeleteAndSimplify, SelectionWithoutPolylinesShowsZeroTotalsAndRecordsNothing)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, P(0, 0), P(5, 0)));
    StartSimplifyCommand(Prg, false, nullptr);
    EXPECT_EQ(Panel.PageType(), InfoEditPage::Simplify);
    Driver.Click(P(2, 0));
    Driver.Enter();
    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_EQ(Objects(), std::vector<TObject2D*>{line});
    EXPECT_TRUE(Journal.Steps().empty());
    EXPECT_EQ(Panel.Cell(1, 0), "0");
    EXPECT_EQ(Panel.Cell(2, 0), "0");
}

} // namespace

}  // namespace delete_simplify_test
