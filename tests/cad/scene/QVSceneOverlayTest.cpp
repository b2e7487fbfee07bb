#include "cad/scene/QVScene.h"

#include "core/settings/AppConfig.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/cad/SceneTestObject.h"
#include "tests/support/RecordingView.h"

#include <osg/Geometry>
#include <osg/Light>
#include <osg/Point>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace qv_scene_overlay_test {

namespace {

using kbtest::TSceneTestObject;

// The fresh view of 800 x 600 pixels: the origin at pixel (400, 300),
// 10 / 0.3 drawing units across.
struct Overlay : ::testing::Test {
    Overlay() : Config(""), View(Config)
    {
        View.SetViewportSize(800, 600);
        View.SetDocument(&Doc);
    }

    double Px() const { return View.PixelSize(); }

    TSceneTestObject* Add(int32_t code, double distancePx, int layer = 0)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::make_unique<TSceneTestObject>(0, code, distancePx * Px()));
    }

    TAppConfig Config;
    TQVScene View;
    TQV_01Cmp2D Doc;
    kbtest::TRecordingCanvas Canvas;
};

TEST_F(Overlay, DrawsEachModeThenTripodAndScaleBar)
{
    TSceneTestObject dragged(1), first(2), second(3);
    View.ShowDragObject(&dragged);
    View.HighlightList() = {&first, &second};
    View.ShowHighlights(1);
    View.PickBox() = {TIntPoint{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}};
    View.SetRubberBandStart(Point2D(0, 0));
    View.SetRubberBandEnd(Point2D(100 * Px(), -50 * Px()));
    View.SetOverlayMode(View.OverlayMode() | OverlayBits::RubberBand);
    EXPECT_EQ(View.OverlayMode(), 15);

    View.RenderOverlay(Canvas);
    const std::vector<std::string> expected{
        "pen color 255", "pen width 2",
        "text 0,0 object 1 0", "text 0,0 object 2 1", "text 0,0 object 3 1",
        "polyline 10,10 20,10 20,20 10,20 10,10",
        "polyline 400,300 500,300 500,350 400,350 400,300",
        "pen width 1", "pen color 65535",
        // X axis and its letter at (74, 560)
        "line 40,560-70,560", "line 71,556-77,564", "line 77,556-71,564",
        // Y axis and its letter at (40, 524)
        "line 40,560-40,530", "line 37,520-40,524", "line 40,524-43,520", "line 40,524-40,528",
        // Z axis, seen end-on, and its letter at the origin
        "line 40,560-40,560", "line 37,557-43,557", "line 43,557-37,564", "line 37,564-43,564",
        // scale bar
        "line 740,580-790,580", "line 740,577-740,583", "line 790,577-790,583"};
    EXPECT_EQ(Canvas.Calls, expected);
}

TEST_F(Overlay, HighlightsOnlyDropsThePickBox)
{
    TSceneTestObject shown(4);
    View.SetAxesVisible(false);
    View.HighlightList() = {&shown};
    View.ShowHighlights(0);
    View.ShowHighlightsOnly();
    EXPECT_EQ(View.OverlayMode(), OverlayBits::HighlightsOnly);
    EXPECT_TRUE(View.PickBoxShown());
    View.RenderOverlay(Canvas);
    const std::vector<std::string> expected{"pen color 255", "pen width 2", "text 0,0 object 4 0"};
    EXPECT_EQ(Canvas.Calls, expected);

    // Idle again with an empty list.
    View.ClearOverlay();
    EXPECT_TRUE(View.HighlightList().empty());
}

// A selection fills the list while a scene rebuild has set the overlay idle;
// the objects are freed later (File > New): nothing may still point at them.
TEST_F(Overlay, ClearAndDeleteLetGoOfEveryShownObject)
{
    TSceneTestObject loose(7);
    View.HighlightList() = {&loose};
    View.ShowDragObject(&loose);
    View.SetOverlayMode(OverlayBits::Idle);
    View.ClearOverlay();
    EXPECT_TRUE(View.HighlightList().empty());
    EXPECT_EQ(View.DragObject(), nullptr);

    Doc.AddViewport(&View);
    TSceneTestObject* first = Add(0, 0);
    TSceneTestObject* second = Add(0, 0);
    TSceneTestObject* third = Add(0, 0);
    View.HighlightList() = {first, second, third, first};
    View.ShowHighlights(0);
    View.ShowDragObject(second);
    Doc.DeleteObject(first->ID());
    EXPECT_EQ(View.HighlightList(), (std::vector<TObject2D*>{second, third}));
    EXPECT_EQ(View.DragObject(), second);
    Doc.DeleteObject(second->ID());
    EXPECT_EQ(View.HighlightList(), (std::vector<TObject2D*>{third}));
    EXPECT_EQ(View.DragObject(), nullptr);
    EXPECT_EQ(View.OverlayMode() & OverlayBits::Drag, 0);

    // A delete the blocked list refuses leaves the overlay as it was.
    {
        TGraphicObjIterator walk = Doc.ObjectsIterator();
        EXPECT_ANY_THROW(Doc.DeleteObject(third->ID()));
    }
    EXPECT_EQ(View.HighlightList().size(), 1u);

    View.ShowDragObject(third);
    Doc.DeleteAllObjects();
    EXPECT_TRUE(View.HighlightList().empty());
    EXPECT_EQ(View.DragObject(), nullptr);
    View.RenderOverlay(Canvas); // draws nothing freed (ASan)
    Doc.RemoveViewport(&View);
}

TEST_F(Overlay, IdleWithAxesHiddenDrawsOnlyTheStockModel)
{
    TScenePoints marker;
    marker.Positions = {{0, 0, 0}};
    marker.PointSize = 3.0f;
    TOsgSceneBuilder& builder = View.SceneBuilder();
    View.ToolMarker() = TToolMarker{true, builder.AddPoints(builder.Group(TSceneGroup::Entity), marker), 6.0};
    auto markerSize = [&] {
        const osg::StateSet* state = builder.Node(View.ToolMarker().Node)->getStateSet();
        return dynamic_cast<const osg::Point*>(state->getAttribute(osg::StateAttribute::POINT))->getSize();
    };
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;

    View.SetAxesVisible(false);
    EXPECT_FALSE(View.StockMeshAttached()); // no stock model yet
    osg::ref_ptr<osg::Group> mesh = new osg::Group;
    View.AttachStockMesh(mesh);
    EXPECT_TRUE(View.StockMeshAttached());
    EXPECT_EQ(mesh->getNumParents(), 1u);
    View.PrepareFrame(*camera);
    View.RenderOverlay(Canvas);
    EXPECT_TRUE(Canvas.Calls.empty());
    EXPECT_FLOAT_EQ(markerSize(), 3.0f);

    // With the axes the marker keeps the tool's true size: 6 / Px pixels.
    View.SetAxesVisible(true);
    View.PrepareFrame(*camera);
    EXPECT_NEAR(markerSize(), 6.0 / Px(), 1e-3);
    View.DetachStockMesh();
    EXPECT_FALSE(View.StockMeshAttached());
    EXPECT_EQ(mesh->getNumParents(), 0u);
}

TEST_F(Overlay, FrameSizesAxesAndScaleLabelToTheZoom)
{
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    View.PrepareFrame(*camera);
    // 50 pixels are 50 x 10 / 0.3 / 800 = 2.0833 mm.
    EXPECT_EQ(View.Hud().ScaleText(), "2.083\n\rmm");
    EXPECT_EQ(View.Hud().ScaleX(), 765);
    EXPECT_EQ(View.Hud().ScaleY(), 565);
    const osg::Geometry* axisX = View.SceneBuilder().Node(View.AxisX())->asGeometry();
    const auto& nodes = *dynamic_cast<const osg::Vec3Array*>(axisX->getVertexArray());
    EXPECT_NEAR(nodes[1].x(), 25 * Px(), 1e-6);
    EXPECT_NEAR(nodes[0].x(), -25 * Px(), 1e-6);
    // Hiding the axes clears the label.
    View.SetAxesVisible(false);
    EXPECT_EQ(View.Hud().ScaleText(), "");
    View.ShowInfoText("T1 D6");
    EXPECT_EQ(View.Hud().InfoX(), 20);
    EXPECT_EQ(View.Hud().InfoY(), 580);
}

TEST_F(Overlay, RubberBandZoomsToItsWindow)
{
    View.SetRubberBandStart(Point2D(0, 0));
    View.SetRubberBandEnd(Point2D(40, 30));
    const auto& band = View.RubberBand();
    EXPECT_EQ(band[0].X, band[4].X);
    EXPECT_EQ(band[1].X, band[2].X);
    EXPECT_EQ(band[1].Y, band[0].Y);
    EXPECT_EQ(band[3].X, band[0].X);
    EXPECT_EQ(band[3].Y, band[2].Y);
    View.ZoomToRubberBand();
    EXPECT_NEAR(View.Camera().Target().x(), 20.0, 0.05);
    EXPECT_NEAR(View.Camera().Target().y(), 15.0, 0.05);
    EXPECT_NEAR(View.PixelSize() * 800, 50.0, 0.1);
}

// --- Navigation -------------------------------------------------------------

TEST_F(Overlay, DragsPanZoomOrNothingByModifier)
{
    struct TCase {
        const char* Name;
        TShiftState Shift;
        bool Pans;
        double ScaleFactor;
    };
    const TCase cases[] = {
        {"shift", {true, false, false, true}, true, 1.0},
        {"shift ctrl", {true, true, false, true}, true, 1.0}, // pan is tested first
        {"left alone", {false, false, false, true}, false, 1.0},
        {"shift without button", {true, false, false, false}, false, 1.0},
        {"ctrl", {false, true, false, true}, false, std::pow(1.1, 10)},
    };
    for (const TCase& c : cases) {
        TQVScene view(Config);
        view.SetViewportSize(800, 600);
        const std::optional<TPoint3D> grabbed = view.ScreenToWorld(100, 100);
        const double scale = view.Camera().SceneScale();
        view.ViewerMouseDown(100, 100);
        view.ViewerMouseMove(150, 90, c.Shift);
        EXPECT_EQ(view.LastMouseX(), 150) << c.Name;
        EXPECT_EQ(view.MouseY(), 90) << c.Name;
        const std::optional<TPoint3D> under = view.ScreenToWorld(150, 90);
        EXPECT_EQ(std::abs(under->X - grabbed->X) < 1e-9 && std::abs(under->Y - grabbed->Y) < 1e-9, c.Pans)
            << c.Name;
        EXPECT_NEAR(view.Camera().SceneScale() / scale, c.ScaleFactor, 1e-12) << c.Name;
    }
    // Ten pixels down undo ten pixels up.
    TQVScene view(Config);
    const double scale = view.Camera().SceneScale();
    view.ViewerMouseDown(0, 100);
    view.ViewerMouseMove(0, 90, {false, true, false, true});
    view.ViewerMouseMove(0, 100, {false, true, false, true});
    EXPECT_NEAR(view.Camera().SceneScale(), scale, 1e-12);
    // After the release a move only tracks the pointer.
    view.ViewerMouseUp();
    view.ViewerMouseMove(5, 7, {false, true, false, true});
    EXPECT_EQ(view.MouseX(), 5);
    EXPECT_EQ(view.LastMouseX(), 0);
}

TEST_F(Overlay, EdgeOnViewPansAndZoomsNothing)
{
    // Orbit by 90 degrees: the camera looks along the drawing plane.
    View.ViewerMouseDown(400, 300);
    View.ViewerMouseMove(400, 210, {false, false, true, true});
    View.ViewerMouseUp();
    EXPECT_NEAR(View.Camera().Offset().z(), 0.0, 1e-3);
    EXPECT_FALSE(View.ScreenToWorld(400, 100));
    const osg::Vec3d target = View.Camera().Target();
    const double scale = View.Camera().SceneScale();

    View.ViewerMouseDown(400, 100);
    View.ViewerMouseMove(420, 50, {true, false, false, true});
    EXPECT_EQ(View.Camera().Target(), target);
    EXPECT_EQ(View.LastMouseX(), 420);
    View.ZoomToScreenRect(TIntRect{300, 50, 500, 100});
    EXPECT_EQ(View.Camera().SceneScale(), scale);
    EXPECT_EQ(View.Camera().Target(), target);
}

TEST_F(Overlay, OrbitTakesTheLightAlong)
{
    View.ViewerMouseDown(400, 300);
    View.ViewerMouseMove(380, 270, {false, false, true, true});
    osg::LightSource* source = nullptr;
    for (unsigned i = 0; i < View.SceneRoot()->getNumChildren(); ++i)
        if (View.SceneRoot()->getChild(i)->getName() == "Light")
            source = dynamic_cast<osg::LightSource*>(View.SceneRoot()->getChild(i));
    ASSERT_TRUE(source);
    const osg::Vec4 position = source->getLight()->getPosition();
    const osg::Vec3d offset = View.Camera().Offset();
    EXPECT_NEAR(position.x(), offset.x(), 1e-4);
    EXPECT_NEAR(position.y(), offset.y(), 1e-4);
    EXPECT_NEAR(position.z(), offset.z(), 1e-4);
    EXPECT_GT(std::abs(offset.x()), 1.0); // turned as well as tilted
}

// --- Picking ------------------------------------------------------------------

TEST_F(Overlay, PickPrefersHigherCodesOnlyWhenNotFarther)
{
    struct TCase {
        const char* Name;
        std::vector<std::pair<int32_t, double>> Objects; // code, distance in pixels
        int Expected;                                    // index, -1 for none
        int32_t Code;
    };
    const TCase cases[] = {
        {"equal hits: the later wins", {{-1, 2}, {-1, 2}}, 1, -1},
        {"a control point farther than an outline hit", {{-1, 2}, {0, 4}}, 0, -1},
        {"a nearer lower code after a control point", {{0, 4}, {-1, 2}}, 0, 0},
        {"a nearer control point", {{-1, 2}, {3, 1}}, 1, 3},
        {"beyond the aperture", {{-1, 6}}, -1, PickNone},
        {"in the box only", {{PickInBox, 5}}, 0, PickInBox},
    };
    for (const TCase& c : cases) {
        TQV_01Cmp2D doc;
        View.SetDocument(&doc);
        std::vector<TObject2D*> objects;
        for (const auto& [code, distance] : c.Objects)
            objects.push_back(
                doc.AddObject(-1, std::make_unique<TSceneTestObject>(0, code, distance * Px())));
        int32_t hit = 12345;
        TObject2D* picked = View.PickObject(Point2D(0, 0), 5, false, hit);
        EXPECT_EQ(picked, c.Expected < 0 ? nullptr : objects[c.Expected]) << c.Name;
        EXPECT_EQ(hit, c.Code) << c.Name;
    }
    View.SetDocument(&Doc);
}

TEST_F(Overlay, PickSkipsHiddenInactiveAndUnpickable)
{
    Add(-1, 0, 1);
    Add(-1, 0, 2);
    Add(-1, 0)->SetPickable(false);
    TSceneTestObject* far = Add(-1, 3);
    Doc.Layers().GetLayer(1).SetVisible(0);
    Doc.Layers().GetLayer(2).SetActive(0);
    int32_t hit = 0;
    EXPECT_EQ(View.PickObject(Point2D(0, 0), 5, false, hit), far);

    // FirstFound: the first that qualifies, though a later one is nearer.
    TSceneTestObject* nearer = Add(-1, 1);
    EXPECT_EQ(View.PickObject(Point2D(0, 0), 5, false, hit), nearer);
    EXPECT_EQ(View.PickObject(Point2D(0, 0), 5, true, hit), far);
}

TEST_F(Overlay, PickWhileBlockedOrZoomedFarOutFindsNothing)
{
    TSceneTestObject* object = Add(-1, 1);
    int32_t hit = 77;
    {
        TGraphicObjIterator walking = Doc.ObjectsIterator();
        EXPECT_EQ(View.PickObject(Point2D(0, 0), 5, false, hit), nullptr);
        EXPECT_EQ(hit, 77);
    }
    // So far out that the aperture exceeds the no-hit distance: a disabled
    // object still answers "nothing hit" and is not taken.
    object->SetEnabled(false);
    View.ZoomToBox(TBox3D{{0, 0, 0, 1}, {1e10, 0, 0, 1}});
    EXPECT_GT(View.PixelSize() * 10, PickFarDistance);
    EXPECT_EQ(View.PickObject(Point2D(0, 0), 10, false, hit), nullptr);
    EXPECT_EQ(hit, PickNone);
}

TEST_F(Overlay, PickPointOrArcFiltersByClass)
{
    Add(5, 0); // would beat everything
    TPunto2D* point = Doc.AddObject(-1, std::make_unique<TPunto2D>(0, Point2D(0, 0)));
    TCerchio2D* circle = Doc.AddObject(-1, std::make_unique<TCerchio2D>(0, Point2D(10, 0), Point2D(0, 0)));
    int32_t hit = 0;
    EXPECT_EQ(View.PickPointOrArc(Point2D(0, 0), 5, false, hit, true), point);
    EXPECT_EQ(View.PickPointOrArc(Point2D(0, 0), 5, false, hit, false), circle);
    // Arcs are candidates too.
    TQV_01Cmp2D arcs;
    arcs.AddObject(-1, std::make_unique<TSceneTestObject>(0, 5, 0.0));
    TArco2D* arc = arcs.AddObject(-1, std::make_unique<TArco2D>(0, Point2D(-10, 0), Point2D(0, 0), -1.0, 1.0));
    View.SetDocument(&arcs);
    EXPECT_EQ(View.PickPointOrArc(Point2D(0, 0), 5, false, hit, false), arc);
    EXPECT_EQ(View.PickPointOrArc(Point2D(0, 0), 5, false, hit, true), nullptr);
    View.SetDocument(&Doc);
}

} // namespace

}  // namespace qv_scene_overlay_test
