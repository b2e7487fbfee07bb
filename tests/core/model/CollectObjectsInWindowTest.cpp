#include "core/model/CollectObjectsInWindow.h"

#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/core/ContainerFixtures.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace collect_objects_in_window_test {

using namespace kbtest;

namespace {

// Screen = (x, 100 - y). The window (0, 0)-(50, 100) holds the drawing's
// (0, 0)-(50, 100).
struct WindowSelection : ::testing::Test {
    WindowSelection()
    {
        Services.Projection.OriginY = 100;
        Doc.SetTreeGeo(&Tree);
        Doc.Layers().GetLayer(7).SetActive(0);
        Doc.Layers().GetLayer(8).SetVisible(0);
        // Without a transform a container is placed by its box.
        Doc.AddObject(-1, std::make_unique<TContainer2D>(0, Children(Probe(1, 10, 10, 20, 20))));
        Moved(2, 30, 0, [](TObject2D&) {});
        Moved(3, 200, 0, [](TObject2D&) {});                       // outside
        Moved(4, 30, 0, [](TObject2D&) {}, 7);                     // inactive layer
        Moved(5, 30, 0, [](TObject2D&) {}, 8);                     // invisible layer
        Moved(6, 30, 0, [](TObject2D& o) { o.SetPickable(false); });
        Moved(7, 30, 0, [](TObject2D& o) { o.SetEnabled(false); });
        // The last object is collected too: removing the tail.
        TSourceBlock2D* source = Doc.AddSourceBlock(
            std::make_unique<TSourceBlock2D>(0, Children(Probe(1, 40, 40, 45, 45)), "S"));
        Doc.AddObject(-1, std::make_unique<TBlock2D>(0, source));
    }

    template <class F> void Moved(int32_t marker, double dx, double dy, F adjust, int layer = 0)
    {
        auto probe = Probe(marker, 0, 10, 5, 20);
        probe->SetTransform(Translation(dx, dy));
        adjust(*probe);
        Doc.AddObjectOnLayer(-1, layer, std::move(probe));
    }

    TBlockClassesScope Classes;
    TRecordingViewServices Services;
    TRecordingGeoTree Tree;
    TQV_01Cmp2D Doc;
};

std::vector<int32_t> IDs(TGraphicObjList& list)
{
    std::vector<int32_t> ids;
    TGraphicObjIterator it = list.GetIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        ids.push_back(o->ID());
    return ids;
}

} // namespace

TEST_F(WindowSelection, CollectsWhatLiesInsideOnActiveVisibleLayers)
{
    struct TCase {
        const char* Name;
        TIntRect Window;
        int Mode;
        std::vector<int32_t> Collected;
    };
    const TCase cases[] = {
        {"window", {0, 0, 50, 100}, 0, {0, 1, 7}},
        {"window dragged backwards", {50, 100, 0, 0}, 0, {0, 1, 7}},
        {"edges count as inside", {10, 45, 45, 90}, 0, {0, 1, 7}},
        {"one pixel short", {11, 45, 45, 90}, 0, {1, 7}},
        {"other mode", {0, 0, 50, 100}, 1, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGraphicObjList list;
        CollectObjectsInWindow(Doc, list, c.Window, c.Mode, false);
        EXPECT_EQ(IDs(list), c.Collected);
        EXPECT_FALSE(list.OwnsObjects());
        EXPECT_EQ(Doc.ObjectsCount(), 8);
    }
}

TEST_F(WindowSelection, MovingHandsTheObjectsToTheList)
{
    const TTreeNodeId firstNode = Doc.GetObject(0)->TreeNode();
    TGraphicObjList list;
    CollectObjectsInWindow(Doc, list, TIntRect{0, 0, 50, 100}, 0, true);
    EXPECT_TRUE(list.OwnsObjects());
    EXPECT_EQ(IDs(list), (std::vector<int32_t>{0, 1, 7}));
    EXPECT_EQ(IDs(Doc.Objects()), (std::vector<int32_t>{2, 3, 4, 5, 6}));
    EXPECT_EQ(list.Head()->Owner(), nullptr);
    EXPECT_EQ(list.Head()->TreeNode(), NoTreeNode);
    ASSERT_FALSE(Tree.Events.empty());
    EXPECT_EQ(Tree.Events.back().Kind, TRecordingGeoTree::TKind::Delete);
    EXPECT_EQ(Tree.Events[Tree.Events.size() - 3].Node, firstNode);

    // A list of the other ownership, and the document's own list, are refused
    // before anything moves.
    TGraphicObjList references;
    references.SetOwnsObjects(false);
    references.AddReference(*Doc.GetObject(2));
    EXPECT_THROW(CollectObjectsInWindow(Doc, references, TIntRect{0, 0, 500, 500}, 0, true), std::invalid_argument);
    EXPECT_THROW(CollectObjectsInWindow(Doc, Doc.Objects(), TIntRect{0, 0, 500, 500}, 0, true), ECADListBlocked);
    EXPECT_EQ(Doc.ObjectsCount(), 5);
    list.Clear(); // the moved block releases its source while the document stands
}

}  // namespace collect_objects_in_window_test
