#include "cad/scene/QVScene.h"

#include "core/settings/AppConfig.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/cad/SceneTestObject.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <osg/Geometry>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qv_scene_test {

namespace {

using kbtest::TSceneTestObject;

struct SceneView : ::testing::Test {
    SceneView() : Config("")
    {
        Config.GridSizeX = 100;
        Config.GridSizeY = 100;
        Config.GridOrigin = 0;
        Config.GridX = 10;
        Config.GridY = 10;
        Config.BackGround = 0x00332211;
    }

    TQVScene& View()
    {
        if (!m_View) {
            m_View = std::make_unique<TQVScene>(Config);
            m_View->SetViewportSize(800, 600);
            m_View->SetDocument(&Doc);
            m_View->RequestRepaint = [this] { ++Repaints; };
            m_Services = std::make_unique<TViewServicesScope>(
                TViewServices{&m_View->SceneBuilder(), m_View.get(), nullptr, nullptr});
        }
        return *m_View;
    }

    size_t Children(TSceneGroup group)
    {
        return View().SceneBuilder().ObjectsIn(View().SceneBuilder().Group(group));
    }

    TSceneTestObject* Add(int layer = 0)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::make_unique<TSceneTestObject>(0));
    }

    TAppConfig Config;
    TQV_01Cmp2D Doc;
    int Repaints = 0;

private:
    std::unique_ptr<TQVScene> m_View;
    std::unique_ptr<TViewServicesScope> m_Services;
};

TEST_F(SceneView, CreationBuildsTheSceneInDrawingOrder)
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < View().SceneRoot()->getNumChildren(); ++i)
        names.push_back(View().SceneRoot()->getChild(i)->getName());
    const std::vector<std::string> expected{"SelectionGroup", "ChainArrowGroup", "ChainGroup", "EntityGroup",
                                            "StlGroup",       "StockGroup",      "StockMeshGroup", "Light",
                                            "Hud",            "LimitsBox",       "AxesGroup",      "GridGroup"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(View().BackgroundColor(), 0x00332211u);
    EXPECT_TRUE(View().AxesVisible());
    EXPECT_EQ(Children(TSceneGroup::Axes), 3u);
    EXPECT_FALSE(View().LimitsBoxVisible());
    EXPECT_EQ(View().OverlayMode(), OverlayBits::Idle);
    EXPECT_FLOAT_EQ(View().GridColor().A, 0.2f);

    // The grid settings are there, the grid is not, until it is enabled.
    EXPECT_EQ(View().GridStepX(), 10.0);
    EXPECT_EQ(View().GridWidth(), 100.0);
    EXPECT_EQ(Children(TSceneGroup::Grid), 0u);
    View().RebuildGrid();
    EXPECT_EQ(Children(TSceneGroup::Grid), 0u);
    View().SetGridEnabled(true);
    View().RebuildGrid();
    EXPECT_EQ(Children(TSceneGroup::Grid), 2u);
    View().SetGridVisible(false);
    EXPECT_FALSE(View().SceneBuilder().IsVisible(View().SceneBuilder().Group(TSceneGroup::Grid)));
}

TEST_F(SceneView, EmptyDrawingFitsTheGridWindow)
{
    ZoomToDrawing(Doc, View());
    EXPECT_NEAR(View().Camera().Target().x(), 50.0, 1e-9);
    EXPECT_NEAR(View().Camera().Target().y(), 50.0, 1e-9);
    EXPECT_NEAR(View().PixelSize() * View().ViewportWidth(), 141.42, 0.01);
    const std::optional<TPoint3D> centre = View().ScreenToWorld(400, 300);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->X, 50.0, 1e-6);
    EXPECT_NEAR(centre->Y, 50.0, 1e-6);
}

TEST_F(SceneView, GridOriginMovesTheRectangleWithoutRebuilding)
{
    Config.GridSizeX = 200;
    View().SetGridEnabled(true);
    View().RebuildGrid();
    const unsigned before = View().SceneBuilder().Node(View().SceneBuilder().Group(TSceneGroup::Grid))
                                    ->asGroup()->getChild(0)->asGeometry()->getVertexArray()->getNumElements();
    View().SetGridOrigin(2);
    EXPECT_EQ(View().GridRect().FirstEdge.X, -200.0);
    EXPECT_EQ(View().GridRect().FirstEdge.Y, -100.0);
    EXPECT_EQ(View().GridRect().SecondEdge.X, 0.0);
    EXPECT_EQ(View().GridRect().SecondEdge.Y, 0.0);
    EXPECT_EQ(View().DefaultWindow().FirstEdge.X, -200.0);
    // The lines stay as built.
    const osg::Group* grid = View().SceneBuilder().Node(View().SceneBuilder().Group(TSceneGroup::Grid))->asGroup();
    ASSERT_EQ(grid->getNumChildren(), 2u);
    EXPECT_EQ(grid->getChild(0)->asGeometry()->getVertexArray()->getNumElements(), before);
    const auto* first = dynamic_cast<const osg::Vec3Array*>(grid->getChild(0)->asGeometry()->getVertexArray());
    EXPECT_EQ((*first)[0].x(), 0.0f);
    // An origin position above 4 keeps the rectangle.
    View().SetGridOrigin(7);
    EXPECT_EQ(View().GridRect().FirstEdge.X, -200.0);
}

TEST_F(SceneView, DenseGridAsksAndOnlyNoRefuses)
{
    struct TCase {
        double Width;
        int32_t SubX;
        std::optional<EUserAnswer> Answer; // none: no question expected
        bool Built;
    };
    const TCase cases[] = {
        {250.0, 0, std::nullopt, true},     // 250 + 250 = 500 lines: no question
        {250.5, 0, EUserAnswer::Yes, true}, // 500.5
        {250.5, 0, EUserAnswer::No, false},
        {250.5, 0, EUserAnswer::Dismissed, true},
        {50.0, 11, EUserAnswer::No, false}, // 550 sub-lines in X alone, though none would be drawn
    };
    View().SetGridEnabled(true);
    View().SetGridStepX(1);
    View().SetGridStepY(1);
    for (const TCase& c : cases) {
        kbtest::TRecordingNotifier notifier;
        if (c.Answer)
            notifier.QueueAnswer(*c.Answer);
        View().SetGridEnabled(false);
        View().SetGridSizeX(c.Width);
        View().SetGridSizeY(250.0);
        View().SetGridSubdivisionsX(c.SubX);
        View().SetGridEnabled(true);
        View().RebuildGrid();
        EXPECT_EQ(notifier.Messages().size(), c.Answer ? 1u : 0u) << c.Width;
        if (!notifier.Messages().empty()) {
            EXPECT_TRUE(notifier.Messages()[0].Question);
        }
        EXPECT_EQ(Children(TSceneGroup::Grid), c.Built ? 2u : 0u) << c.Width;
    }
}

TEST_F(SceneView, RebuildRedrawsTheDocumentOnVisibleLayers)
{
    kbtest::TRecordingWorkMonitor monitor;
    std::vector<std::string> log;
    View().Hooks.FreeStockSolid = [&] { log.push_back("free stock"); };
    View().Hooks.CreateStockSolid = [&] {
        log.push_back("create stock, Stl children " + std::to_string(Children(TSceneGroup::Stl)));
    };
    View().ProcessPendingEvents = [&] {
        log.push_back("pending events, entities " + std::to_string(Children(TSceneGroup::Entity)) + ", busy " +
                      std::to_string(monitor.BusyDepth));
    };
    TSceneTestObject* shown = Add(0);
    TSceneTestObject* hidden = Add(5);
    Add(0);
    Doc.Layers().GetLayer(5).SetVisible(0);
    TOsgSceneBuilder& builder = View().SceneBuilder();
    builder.AddLines(builder.Group(TSceneGroup::Selection), TSceneLines{});
    builder.AddLines(builder.Group(TSceneGroup::Stl), TSceneLines{});
    const TSceneNodeId chain = builder.AddLines(builder.Group(TSceneGroup::Chain), TSceneLines{});
    TSceneTestObject highlighted(99);
    View().HighlightList().push_back(&highlighted);
    View().ShowHighlights(1);
    View().ShowInfoText("simulating");

    View().RebuildScene(true);
    const std::vector<std::string> expected{"free stock", "create stock, Stl children 0",
                                            "pending events, entities 0, busy 1"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(Children(TSceneGroup::Entity), 2u);
    EXPECT_EQ(shown->Draws, 2); // added, then rebuilt
    EXPECT_EQ(hidden->Draws, 1);
    EXPECT_EQ(Children(TSceneGroup::Selection), 0u);
    EXPECT_NE(builder.Node(chain), nullptr); // chains are not touched
    EXPECT_EQ(View().OverlayMode(), OverlayBits::Idle);
    EXPECT_TRUE(View().HighlightList().empty());
    EXPECT_EQ(View().Hud().InfoText(), "");
    EXPECT_EQ(monitor.BusyDepth, 0);

    log.clear();
    View().RebuildScene(false);
    EXPECT_EQ(log.size(), 1u); // no stock this time
    EXPECT_EQ(Children(TSceneGroup::Stl), 0u);
}

TEST_F(SceneView, RebuildAskedForWhileRebuildingIsFoldedIn)
{
    for (int i = 0; i < 3; ++i)
        Add();
    int stock = 0;
    int pending = 0;
    View().Hooks.CreateStockSolid = [&] { ++stock; };
    View().ProcessPendingEvents = [&] {
        ++pending;
        EXPECT_TRUE(View().IsRebuilding());
        // A mouse press now must not start a drag.
        View().ViewerMouseDown(10, 10);
        EXPECT_FALSE(View().MouseButtonDown());
        if (pending == 1)
            View().RebuildScene(true);
    };
    View().RebuildScene(false);
    EXPECT_FALSE(View().IsRebuilding());
    EXPECT_EQ(pending, 2);
    EXPECT_EQ(stock, 1);
    // Every object drawn once: no doubled scene objects.
    EXPECT_EQ(Children(TSceneGroup::Entity), 3u);
}

// The interaction program's side of the view: the kinds of the messages
// it received, in order.
struct TMessageLog final : TCADViewMessageHook {
    void ViewerWndProc(const TViewMessage& message) override { Kinds.push_back(message.Kind); }
    void ViewPortDestroyed(TCADViewPort&) override {}
    std::vector<TViewMessageKind> Kinds;
};

TEST_F(SceneView, OnlyTheViewsOwnChangesReachTheProgramAsRepaint)
{
    TMessageLog program;
    View().SetMessageHook(&program);
    TSceneTestObject dragged(1);
    struct TCase {
        const char* Action;
        std::function<void()> Run;
        bool ViewInvalidated;
    };
    const TCase cases[] = {
        {"drag object", [&] { View().ShowDragObject(&dragged); }, false},
        {"highlights", [&] { View().ShowHighlights(0); }, false},
        {"highlights only", [&] { View().ShowHighlightsOnly(); }, false},
        {"clear overlay", [&] { View().ClearOverlay(); }, false},
        {"info text", [&] { View().ShowInfoText("x"); }, false},
        {"rebuild", [&] { View().RebuildScene(false); }, true},
        {"zoom", [&] { View().ZoomToBox(TBox3D{{0, 0, 0, 1}, {5, 5, 0, 1}}); }, true},
        {"resize", [&] { View().SetViewportSize(300, 200); }, true},
        {"axes", [&] { View().SetAxesVisible(false); }, true},
        {"clear group", [&] { View().ClearSceneGroup(View().SceneBuilder().Group(TSceneGroup::Chain)); }, true},
    };
    View().FrameDone();
    for (const TCase& c : cases) {
        program.Kinds.clear();
        const int repaints = Repaints;
        c.Run();
        EXPECT_GT(Repaints, repaints) << c.Action;
        // The widget paints: one frame, then another with nothing new.
        View().FrameDone();
        View().FrameDone();
        EXPECT_EQ(program.Kinds.size(), c.ViewInvalidated ? 1u : 0u) << c.Action;
        if (!program.Kinds.empty()) {
            EXPECT_EQ(program.Kinds[0], TViewMessageKind::Invalidate) << c.Action;
        }
    }
    View().SetMessageHook(nullptr);
}

TEST_F(SceneView, MessagesReachProgramThenNavigationButNotDuringRebuild)
{
    TMessageLog program;
    View().SetMessageHook(&program);
    const TShiftState panning{true, false, false, true};
    const osg::Vec3d target = View().Camera().Target();
    View().HandleViewMessage({TViewMessageKind::LeftButtonDown, 100, 100, panning, 0});
    View().HandleViewMessage({TViewMessageKind::MouseMove, 120, 100, panning, 0});
    View().HandleViewMessage({TViewMessageKind::LeftButtonUp, 120, 100, {}, 0});
    const std::vector<TViewMessageKind> seen{TViewMessageKind::LeftButtonDown, TViewMessageKind::MouseMove,
                                             TViewMessageKind::LeftButtonUp};
    EXPECT_EQ(program.Kinds, seen);
    EXPECT_LT(View().Camera().Target().x(), target.x()); // dragged right: the drawing followed
    EXPECT_FALSE(View().MouseButtonDown());

    program.Kinds.clear();
    View().ProcessPendingEvents = [&] {
        View().HandleViewMessage({TViewMessageKind::LeftButtonDown, 5, 5, panning, 0});
        View().HandleViewMessage({TViewMessageKind::KeyDown, 0, 0, {}, 27});
    };
    View().RebuildScene(false);
    EXPECT_TRUE(program.Kinds.empty());
    EXPECT_FALSE(View().MouseButtonDown());
    View().SetMessageHook(nullptr);
}

TEST_F(SceneView, ClearSceneGroupSwitchesTheToolMarkerOff)
{
    TSceneBuilder& builder = View().SceneBuilder();
    const TSceneNodeId own = builder.CreateGroup(builder.Group(TSceneGroup::Entity), "simulation");
    builder.AddLines(own, TSceneLines{});
    View().ToolMarker().Shown = true;
    View().ShowInfoText("X10 Y20");
    View().ClearSceneGroup(own);
    EXPECT_EQ(View().SceneBuilder().Node(own)->asGroup()->getNumChildren(), 0u);
    EXPECT_FALSE(View().ToolMarker().Shown);
    EXPECT_EQ(View().Hud().InfoText(), "");
}

TEST_F(SceneView, PrepareFrameHandsTheCameraOver)
{
    View().ZoomToBox(TBox3D{{0, 0, 0, 1}, {30, 40, 0, 1}});
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    View().PrepareFrame(*camera);
    EXPECT_EQ(camera->getViewMatrix(), View().Camera().ViewMatrix());
    EXPECT_EQ(camera->getProjectionMatrix(), View().Camera().ProjectionMatrix());
    EXPECT_EQ(camera->getViewport()->width(), 800);
    EXPECT_EQ(camera->getComputeNearFarMode(), osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    EXPECT_NEAR(camera->getClearColor().r(), 0x11 / 255.0, 1e-6);
    EXPECT_NEAR(camera->getClearColor().b(), 0x33 / 255.0, 1e-6);
}

TEST_F(SceneView, LimitsBoxShowsTheGivenExtent)
{
    View().SetLimitsBox(TBox3D{{10, 0, -5, 1}, {0, 20, 0, 1}});
    View().SetLimitsBoxVisible(true);
    EXPECT_TRUE(View().LimitsBoxVisible());
    osg::Node* box = nullptr;
    for (unsigned i = 0; i < View().SceneRoot()->getNumChildren(); ++i)
        if (View().SceneRoot()->getChild(i)->getName() == "LimitsBox")
            box = View().SceneRoot()->getChild(i);
    ASSERT_TRUE(box);
    const osg::BoundingBox bounds = box->asDrawable()->getBoundingBox();
    EXPECT_NEAR(bounds.xMin(), 0.0, 1e-5);
    EXPECT_NEAR(bounds.yMax(), 20.0, 1e-5);
    EXPECT_NEAR(bounds.zMin(), -5.0, 1e-5);
}

} // namespace

}  // namespace qv_scene_test
