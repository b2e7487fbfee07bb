// The scene's incremental updates through the document: added, deleted,
// changed and undone objects, a layer hidden and shown, a highlight; each
// acts on the ranges of its own lines in the batched Entity and Selection
// groups, never on the whole scene.

#include "cad/scene/QVScene.h"

#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/entities/Primitive2D.h"
#include "core/entities/Punto2D.h"
#include "core/file/UndoRedo.h"
#include "core/geometry/Matrix4.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"

#include <osg/Geometry>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

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

    // What the Entity group shows: each visible segment of the batched
    // lines with its colour, each point of a shown node of its own.
    std::multiset<std::string> Shown()
    {
        std::multiset<std::string> shown;
        const osg::Group* entity = Builder().Node(Builder().Group(TSceneGroup::Entity))->asGroup();
        const std::vector<const osg::Geometry*> chunks = Builder().Chunks(TSceneGroup::Entity);
        for (unsigned i = 0; i < entity->getNumChildren(); ++i) {
            const osg::Geometry* geometry = entity->getChild(i)->asGeometry();
            if (!geometry || geometry->getNodeMask() == 0u)
                continue;
            const auto& v = *dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray());
            if (std::find(chunks.begin(), chunks.end(), geometry) == chunks.end()) {
                for (const osg::Vec3& p : v)
                    shown.insert(Text("point", p, p));
                continue;
            }
            const osg::Vec4 c = (*dynamic_cast<const osg::Vec4Array*>(geometry->getColorArray()))[0];
            const char* colour = c.r() == 1 ? "red" : "blue";
            if (const auto* pairs = dynamic_cast<const osg::DrawElementsUInt*>(geometry->getPrimitiveSet(0))) {
                for (size_t k = 0; k + 1 < pairs->size(); k += 2) {
                    if ((*pairs)[k] != (*pairs)[k + 1])
                        shown.insert(Text(colour, v[(*pairs)[k]], v[(*pairs)[k + 1]]));
                }
                continue;
            }
            const auto& runs = *dynamic_cast<const osg::MultiDrawArrays*>(geometry->getPrimitiveSet(0));
            for (size_t r = 0; r < runs.getFirsts().size(); ++r) {
                const auto first = static_cast<size_t>(runs.getFirsts()[r]);
                for (size_t k = 0; k + 1 < static_cast<size_t>(runs.getCounts()[r]); ++k)
                    shown.insert(Text(colour, v[first + k], v[first + k + 1]));
            }
        }
        return shown;
    }
    static std::string Text(const char* what, const osg::Vec3& a, const osg::Vec3& b)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%s %g,%g %g,%g", what, a.x(), a.y(), b.x(), b.y());
        return text;
    }
    std::vector<TObject2D*> Objects()
    {
        std::vector<TObject2D*> objects;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            objects.push_back(dynamic_cast<TObject2D*>(object));
        return objects;
    }
    // What Shown should be, from the document's points lines and layers:
    // layer 0 red, layer 1 blue, nothing of a hidden layer.
    std::multiset<std::string> Expected()
    {
        std::multiset<std::string> shown;
        for (const TObject2D* object : Objects()) {
            if (!Doc.Layers().GetLayer(object->Layer()).Visible())
                continue;
            const TPointsSet2D& points = dynamic_cast<const TPrimitive2D&>(*object).Points();
            const TPoint2D a = points.Get(0);
            const TPoint2D b = points.Get(points.Count() - 1);
            const char* what = dynamic_cast<const TPunto2D*>(object) ? "point" : object->Layer() == 0 ? "red" : "blue";
            shown.insert(Text(what, osg::Vec3(static_cast<float>(a.X), static_cast<float>(a.Y), 0),
                              osg::Vec3(static_cast<float>(b.X), static_cast<float>(b.Y), 0)));
        }
        return shown;
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

// After each edit, and after the undo of it, the scene shows what the test
// expects from the drawing it made (layer 0 red, layer 1 blue; hidden
// layers show nothing), and what a rebuild then shows; the objects the edit
// did not touch keep their scene objects (no rebuild ran), and the
// highlights made before it are gone.
TEST_F(SceneUpdates, UndoAndRefreshShowWhatARebuildShows)
{
    struct TItem {
        bool Point;
        double Y;
        int Layer;
    };
    const std::vector<TItem> drawing{{false, 1, 0}, {false, 2, 1}, {true, 3, 0}, {false, 4, 0},
                                     {true, 5, 1},  {true, 6, 0},  {false, 7, 1}};
    using TEdit = std::function<void(TUndoRedo&, const std::vector<TObject2D*>&)>;
    // A delete as the tree's popup does it, of the object at that place.
    const auto deleteAt = [&](size_t place) -> TEdit {
        return [&, place](TUndoRedo& undo, const std::vector<TObject2D*>& o) {
            const int32_t id = o[place]->ID();
            undo.AddUndo(TUndoKind::Delete, {id});
            Doc.DeleteObject(id);
            Doc.RefreshViewports(std::span(&id, 1));
        };
    };
    // One case per edit: what it does to the objects (by their place in
    // drawing), recording its undo step first.
    const struct {
        const char* Name;
        TEdit Edit;
    } cases[] = {
        {"delete a line", deleteAt(3)},
        {"delete a point", deleteAt(2)},
        {"delete on a layer hidden before the undo",
         [&](TUndoRedo& undo, const std::vector<TObject2D*>& o) {
             const int32_t id = o[6]->ID();
             undo.AddUndo(TUndoKind::Delete, {id});
             Doc.DeleteObject(id);
             Doc.ShowLayerObjects(1, false);
         }},
        {"move to a hidden layer",
         [&](TUndoRedo& undo, const std::vector<TObject2D*>& o) {
             Doc.ShowLayerObjects(1, false);
             undo.AddUndo(TUndoKind::MoveToLayer, {o[0]->ID(), 0});
             Doc.MoveObjectToLayer(*o[0], 1);
         }},
        {"change a line",
         [&](TUndoRedo& undo, const std::vector<TObject2D*>& o) {
             undo.AddUndo(TUndoKind::NodeEdit, {o[0]->ID()});
             dynamic_cast<TPrimitive2D&>(*o[0]).Points().SetPoint(1, Point2D(10, 9));
         }},
        {"add two",
         [&](TUndoRedo& undo, const std::vector<TObject2D*>&) {
             const int32_t a = Add(8)->ID();
             const int32_t b = Doc.AddObjectOnLayer(-1, 1, std::make_unique<TPunto2D>(-1, Point2D(0, 9)))->ID();
             undo.AddUndo(TUndoKind::NewObjects, {a, b});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Doc.DeleteAllObjects();
        Doc.ShowLayerObjects(1, true);
        View.RebuildScene(false);
        for (const TItem& item : drawing) {
            if (item.Point)
                Doc.AddObjectOnLayer(-1, item.Layer, std::make_unique<TPunto2D>(-1, Point2D(0, item.Y)));
            else
                Add(item.Y, item.Layer);
        }
        ASSERT_EQ(Shown(), Expected());
        TUndoRedo undo(Doc);
        c.Edit(undo, Objects());
        View.DrawChangedObjects();
        EXPECT_EQ(Shown(), Expected()) << "after the edit";

        // The undo, with a highlight on the screen; the second line is
        // never edited.
        const TObject2D* untouched = Objects()[1];
        const TSceneNodeId untouchedNode = untouched->ViewNode();
        Objects()[0]->DrawSelected();
        ASSERT_EQ(In(TSceneGroup::Selection), 1u);
        undo.Undo();
        EXPECT_EQ(In(TSceneGroup::Selection), 0u);
        EXPECT_EQ(Shown(), Expected()) << "after the undo";
        EXPECT_EQ(untouched->ViewNode(), untouchedNode) << "the scene was rebuilt";
        View.RebuildScene(false);
        EXPECT_EQ(Shown(), Expected()) << "after a rebuild";
    }
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
