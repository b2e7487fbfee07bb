#include "core/geometry/Matrix4.h"
#include "core/geometry/PointsSetView.h"
#include "core/model/ViewInterfaces.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <memory>

namespace points_set_view_test {

using kbtest::TRecordingScene;
using kbtest::TRecordingViewServices;

namespace {

std::unique_ptr<TPointsSet2D> Points(std::initializer_list<TPoint2D> points)
{
    auto set = std::make_unique<TPointsSet2D>(static_cast<int>(points.size()));
    for (const TPoint2D& p : points)
        set->Add(p);
    return set;
}

} // namespace

TEST(PointsSetView, ScreenRectAndCanvasPolylineUseTheProjection)
{
    TRecordingViewServices view;
    view.Projection.Scale = 2;
    view.Projection.OriginX = 100;
    view.Projection.OriginY = 50;

    // The weight is not divided: (4, 2, 2) projects as (4, 2).
    const auto set = Points({MakePoint2D(1, 1), MakePoint2D(-3, 5), TPoint2D{4, 2, 2}});
    const TIntRect r = PointsScreenRect(*set);
    EXPECT_EQ(r.Left, 94);
    EXPECT_EQ(r.Right, 108);
    EXPECT_EQ(r.Top, 40) << "the highest point has the smallest screen Y";
    EXPECT_EQ(r.Bottom, 48);

    PointsToCanvasPolyline(*set, view.Canvas);
    EXPECT_EQ(view.Canvas.Calls, (std::vector<std::string>{"polyline 102,48 94,40 108,46"}));

    const TPointsSet2D empty(4);
    const TIntRect none = PointsScreenRect(empty);
    EXPECT_EQ(none.Left, 0);
    EXPECT_EQ(none.Top, 0);
    EXPECT_EQ(none.Right, 0);
    EXPECT_EQ(none.Bottom, 0);
    PointsToCanvasPolyline(empty, view.Canvas);
    EXPECT_EQ(view.Canvas.Calls.size(), 1u);
}

TEST(PointsSetView, SceneLinesGoThroughTheTransformIntoTheTargetGroup)
{
    TRecordingViewServices view;
    TRecordingScene& scene = view.Scene;
    const TSceneNodeId own = scene.CreateGroup(scene.Group(TSceneGroup::Chain), "operation");
    scene.SetCurrentTargetGroup(own);

    const auto set = Points({MakePoint2D(0, 0), MakePoint2D(1, 2)});
    const TSceneNodeId lines =
        PointsToSceneLines(*set, TMatrix4::CreateTranslation(10, 20, 5), SceneColorFromWinColor(0x0000FF), 2.0f);
    ASSERT_NE(scene.Node(lines), nullptr);
    EXPECT_EQ(scene.Node(lines)->Parent, own);
    const auto* data = scene.As<TSceneLines>(lines);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->Nodes.size(), 2u);
    EXPECT_EQ(data->Nodes[1].X, 11);
    EXPECT_EQ(data->Nodes[1].Y, 22);
    EXPECT_EQ(data->Nodes[1].Z, 0) << "2D transform: the nodes stay in the drawing plane";
    EXPECT_FALSE(data->NodesVisible);
    EXPECT_EQ(data->LineWidth, 2.0f);
    EXPECT_EQ(data->Color.R, 1.0f);

    const TSceneNodeId inEntities = PointsToSceneLinesInEntityGroup(*set, IdentityMatrix4());
    EXPECT_EQ(scene.Node(inEntities)->Parent, scene.Group(TSceneGroup::Entity));
    EXPECT_EQ(scene.CurrentTargetGroup(), scene.Group(TSceneGroup::Entity));
}

TEST(PointsSetView, WithoutInstalledServicesNothingIsDrawn)
{
    const auto set = Points({MakePoint2D(1, 1), MakePoint2D(2, 2)});
    kbtest::TRecordingCanvas canvas;
    PointsToCanvasPolyline(*set, canvas);
    EXPECT_TRUE(canvas.Calls.empty());
    EXPECT_EQ(PointsScreenRect(*set).Right, 0);
    EXPECT_EQ(PointsToSceneLines(*set, IdentityMatrix4()), NoSceneNode);
    EXPECT_EQ(PointsToSceneLinesInEntityGroup(*set, IdentityMatrix4()), NoSceneNode);
}

TEST(ViewServices, LiveReadoutIsOffWhileACommandIsSuspended)
{
    EXPECT_EQ(ActiveLiveReadout(), nullptr);
    {
        TRecordingViewServices view;
        EXPECT_EQ(ActiveLiveReadout(), &view.Readout);
        view.Commands.Suspended = true;
        EXPECT_EQ(ActiveLiveReadout(), nullptr);
        {
            TRecordingViewServices nested; // scopes nest and restore
            EXPECT_EQ(ViewServices().Scene, &nested.Scene);
        }
        EXPECT_EQ(ViewServices().Scene, &view.Scene);
    }
    EXPECT_EQ(ViewServices().Scene, nullptr);
}

TEST(ViewServices, WindowsColoursBecomeSceneColours)
{
    struct Case {
        uint32_t color;
        float r, g, b;
    };
    const Case cases[] = {{0x000000FF, 1, 0, 0}, {0x0000FF00, 0, 1, 0}, {0x00FF0000, 0, 0, 1}, {0x00FFFFFF, 1, 1, 1}};
    for (const Case& c : cases) {
        const TSceneColor s = SceneColorFromWinColor(c.color, 0.5f);
        EXPECT_EQ(s.R, c.r) << c.color;
        EXPECT_EQ(s.G, c.g) << c.color;
        EXPECT_EQ(s.B, c.b) << c.color;
        EXPECT_EQ(s.A, 0.5f);
    }
}

}  // namespace points_set_view_test
