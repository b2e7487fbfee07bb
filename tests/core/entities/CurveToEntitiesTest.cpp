#include "core/entities/CurveToEntities.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Line2D.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace curve_to_entities_test {

namespace {

// (0,0) -> (10,0) line, then a counter-clockwise half circle to (10,10)
// about (10,5), then a clockwise quarter to (5,5) about (5,10).
std::vector<TAVertice> Path()
{
    return {TAVertice::CreateAt({0, 0}, 0), TAVertice::CreateAt({10, 0}, 0),
            TAVertice::CreateFull(1, {10, 10}, {10, 5}, 0), TAVertice::CreateFull(-1, {5, 5}, {5, 10}, 0)};
}

TEST(CurveToEntities, SegmentsBecomeEntitiesOnTheCurrentLayer)
{
    TQV_01Cmp2D doc;
    doc.SetCurrentLayer(7);
    const TLayerPen pen = doc.Layers().GetLayer(7).Pen();
    int32_t lines = 0;
    int32_t arcs = 0;
    CurveToEntities(Path(), doc, false, lines, arcs);
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(arcs, 2);
    ASSERT_EQ(doc.ObjectsCount(), 3);
    std::vector<TObject2D*> made;
    TGraphicObjIterator it = doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        made.push_back(dynamic_cast<TObject2D*>(o));
    for (TObject2D* o : made) {
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->Layer(), 7);
        EXPECT_GE(o->ID(), 0);
        EXPECT_TRUE(o->Pickable());
    }
    // The clockwise quarter is the counter-clockwise arc from its end.
    const auto* quarter = dynamic_cast<TArco2D*>(made[2]);
    ASSERT_NE(quarter, nullptr);
    const TArcInfo2D info = quarter->GetArcInfo();
    EXPECT_NEAR(info.StartPoint.X, 5.0, 1e-9);
    EXPECT_NEAR(info.StartPoint.Y, 5.0, 1e-9);
    EXPECT_NEAR(info.EndPoint.X, 10.0, 1e-9);
    EXPECT_NEAR(info.EndPoint.Y, 10.0, 1e-9);
    EXPECT_NEAR(info.Sweep, std::numbers::pi / 2, 1e-9);
    EXPECT_EQ(doc.Layers().GetLayer(7).Pen().Width, pen.Width);
}

TEST(CurveToEntities, PreviewLeavesDocumentAndLayerAlone)
{
    kbtest::TRecordingViewServices view;
    TQV_01Cmp2D doc;
    doc.SetCurrentLayer(2);
    const TLayerPen pen = doc.Layers().GetLayer(2).Pen();
    int32_t lines = 0;
    int32_t arcs = 0;
    std::vector<std::pair<uint32_t, int>> seen; // colour, layer
    CurveToEntities(Path(), doc, true, lines, arcs,
                    [&seen](TObject2D& e) { seen.emplace_back(e.OwnColor(), e.Layer()); });
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(arcs, 2);
    EXPECT_EQ(doc.ObjectsCount(), 0);
    const std::vector<std::pair<uint32_t, int>> expected{
        {PreviewLineColour, 2}, {PreviewArcColour, 2}, {PreviewArcColour, 2}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(doc.Layers().GetLayer(2).Pen().Color, pen.Color);
    EXPECT_EQ(doc.Layers().GetLayer(2).Pen().Width, pen.Width);

    // Without a handler each is drawn once as a highlight.
    CurveToEntities(Path(), doc, true, lines, arcs);
    EXPECT_EQ(view.Scene.Children(view.Scene.Group(TSceneGroup::Selection)).size(), 3u);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(arcs, 4);
}

} // namespace

}  // namespace curve_to_entities_test
