// The scene's incremental updates through the document: added, deleted,
// changed and undone objects, a layer hidden and shown, a highlight; each
// acts on the ranges of its own lines in the batched Entity and Selection
// groups, never on the whole scene.

#include "cad/scene/QVScene.h"

#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/file/UndoRedo.h"
#include "core/geometry/Matrix4.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"

#include <osg/Geometry>

#include <gtest/gtest.h>

#include <memory>

namespace scene_updates_test {

namespace {

struct SceneUpdates : ::testing::Test {
    SceneUpdates() : Config(""), View(Config), Services(TViewServices{&View.SceneBuilder(), &View, nullptr, nullptr})
    {
        RegisterEntityClasses();
        View.SetViewportSize(800, 600);
        View.SetDocument(&Doc);
        Doc.AddViewport(&View);
        Doc.Layers().GetLayer(0).SetPenColor(0x000000FF);
        Doc.Layers().GetLayer(1).SetPenColor(0x00FF0000);
    }
    ~SceneUpdates() override { Doc.RemoveViewport(&View); }

    TLine2D* Add(double y, int layer = 0)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::make_unique<TLine2D>(-1, Point2D(0, y), Point2D(10, y)));
    }
    TOsgSceneBuilder& Builder() { return View.SceneBuilder(); }
    size_t In(TSceneGroup group) { return Builder().ObjectsIn(Builder().Group(group)); }
    // The first vertex of an object's lines.
    osg::Vec3 Start(const TGraphicObject& object)
    {
        const auto range = Builder().LinesRange(object.ViewNode());
        const auto* vertices = dynamic_cast<const osg::Vec3Array*>(range->Chunk->getVertexArray());
        return (*vertices)[range->First];
    }

    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQVScene View;
    TViewServicesScope Services;
};

TEST_F(SceneUpdates, AddDeleteChangeAndUndoTouchOnlyTheirObject)
{
    TLine2D* a = Add(1);
    TLine2D* b = Add(2);
    TLine2D* c = Add(3);
    EXPECT_EQ(In(TSceneGroup::Entity), 3u);
    const auto aRange = Builder().LinesRange(a->ViewNode());
    ASSERT_TRUE(aRange);
    const TSceneNodeId cNode = c->ViewNode();
    EXPECT_EQ(Start(*c), osg::Vec3(0, 3, 0));

    // Deleted: its range goes, the others stay where they are.
    TUndoRedo undo(Doc);
    ASSERT_TRUE(undo.AddUndo(TUndoKind::Delete, {b->ID()}));
    Doc.DeleteObject(b->ID());
    EXPECT_EQ(In(TSceneGroup::Entity), 2u);
    EXPECT_EQ(Builder().LinesRange(a->ViewNode())->First, aRange->First);
    EXPECT_EQ(c->ViewNode(), cNode);

    // Changed: drawn again before the next frame, nothing else is.
    TMatrix4 shift;
    shift.SetIdentity();
    shift.Translate(0, 10, 0);
    c->SetTransform(shift);
    EXPECT_EQ(c->ViewNode(), cNode);
    View.DrawChangedObjects();
    EXPECT_NE(c->ViewNode(), cNode);
    EXPECT_EQ(Builder().LinesRange(cNode), std::nullopt);
    EXPECT_EQ(Start(*c), osg::Vec3(0, 13, 0));
    EXPECT_EQ(Builder().LinesRange(a->ViewNode())->First, aRange->First);
    EXPECT_EQ(In(TSceneGroup::Entity), 2u);

    // Undone: the deleted line is back in the scene.
    undo.Undo();
    ASSERT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_EQ(In(TSceneGroup::Entity), 3u);
    // A rebuild draws the same.
    View.RebuildScene(false);
    EXPECT_EQ(In(TSceneGroup::Entity), 3u);
    EXPECT_EQ(Start(*c), osg::Vec3(0, 13, 0));
}

TEST_F(SceneUpdates, LayerHiddenAndShownWithoutRebuild)
{
    TLine2D* red = Add(1, 0);
    TLine2D* blue = Add(2, 1);
    TLine2D* blue2 = Add(3, 1);
    Doc.ShowLayerObjects(1, false);
    EXPECT_FALSE(Doc.Layers().GetLayer(1).Visible());
    EXPECT_TRUE(Builder().IsVisible(red->ViewNode()));
    EXPECT_FALSE(Builder().IsVisible(blue->ViewNode()));
    EXPECT_FALSE(Builder().IsVisible(blue2->ViewNode()));
    Doc.ShowLayerObjects(1, true);
    EXPECT_TRUE(Builder().IsVisible(blue->ViewNode()));
    // Hidden at a rebuild, the layer's objects are not drawn; showing the
    // layer draws them.
    Doc.Layers().GetLayer(1).SetVisible(0);
    View.RebuildScene(false);
    EXPECT_EQ(In(TSceneGroup::Entity), 1u);
    EXPECT_EQ(blue->ViewNode(), NoSceneNode);
    Doc.ShowLayerObjects(1, true);
    EXPECT_EQ(In(TSceneGroup::Entity), 3u);
    EXPECT_TRUE(Builder().IsVisible(blue2->ViewNode()));
    // A line moved to a hidden layer leaves the scene before the next frame.
    Doc.Layers().GetLayer(1).SetVisible(0);
    Doc.MoveObjectToLayer(*red, 1);
    View.DrawChangedObjects();
    EXPECT_EQ(red->ViewNode(), NoSceneNode);
    EXPECT_EQ(In(TSceneGroup::Entity), 2u);
}

TEST_F(SceneUpdates, EntitiesKeepTheirOwnColoursAndHighlights)
{
    TLine2D* layerPen = Add(1);
    // A display line of the program: its own colour and width.
    TLine2D* own = Doc.AddObject(-1, std::make_unique<TLine2D>(-1, Point2D(0, 5), Point2D(10, 5), 0x0000FF00u, 3,
                                                              IdentityMatrix4()));
    const std::vector<const osg::Geometry*> chunks = Builder().Chunks(TSceneGroup::Entity);
    ASSERT_EQ(chunks.size(), 2u);
    auto colour = [](const osg::Geometry* g) { return (*dynamic_cast<const osg::Vec4Array*>(g->getColorArray()))[0]; };
    EXPECT_EQ(colour(Builder().LinesRange(layerPen->ViewNode())->Chunk), osg::Vec4(1, 0, 0, 1));
    EXPECT_EQ(colour(Builder().LinesRange(own->ViewNode())->Chunk), osg::Vec4(0, 1, 0, 1));
    // The highlight of one entity is one range of the Selection group; the
    // entity keeps its own.
    const TSceneNodeId drawn = layerPen->ViewNode();
    layerPen->DrawSelected();
    EXPECT_EQ(In(TSceneGroup::Selection), 1u);
    EXPECT_EQ(Builder().Chunks(TSceneGroup::Selection).size(), 1u);
    EXPECT_EQ(layerPen->ViewNode(), drawn);
    EXPECT_EQ(In(TSceneGroup::Entity), 2u);
    // Deleting it takes its drawing, not the highlight's.
    Doc.DeleteObject(layerPen->ID());
    EXPECT_EQ(In(TSceneGroup::Entity), 1u);
    View.RebuildScene(false);
    EXPECT_EQ(In(TSceneGroup::Selection), 0u);
}

} // namespace

}  // namespace scene_updates_test
