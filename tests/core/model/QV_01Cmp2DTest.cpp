#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/entities/Block2D.h"
#include "core/entities/SourceBlock2D.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace qv_01_cmp2_d_test {

namespace {

// A 2D object whose box is a given rectangle under its transform; it counts
// its draws and its frees.
class TTestBox final : public TObject2D {
public:
    TTestBox(int32_t id, const TRect2D& r, int* freed = nullptr) : TObject2D(id), m_Rect(r), m_Freed(freed)
    {
        UpdateBounds();
    }
    ~TTestBox() override
    {
        if (m_Freed)
            ++*m_Freed;
    }
    std::string_view ClassName() const override { return "TTestBox"; }
    // A new shape without UpdateBounds: the box is stale until recomputed.
    void SetRectQuietly(const TRect2D& r) { m_Rect = r; }
    void ComputeBounds() override { SetBox(TransformRect2D(m_Rect, GetModelTransform())); }
    void Draw() override { ++Draws; }
    void DrawOnCanvas(TCanvas2D&, bool) override {}
    void DrawOnCanvasTransformed(TCanvas2D&, const TMatrix4&) override {}
    void DrawSelected() override {}
    TIntRect GetScreenRect() override { return {}; }

    int Draws = 0;

protected:
    // The rectangle comes along; frees of the copy are not counted.
    TTestBox(const TTestBox& source, TCloneTag tag) : TObject2D(source, tag), m_Rect(source.m_Rect), m_Freed(nullptr)
    {
    }
    std::unique_ptr<TGraphicObject> CloneObject() const override
    {
        return std::unique_ptr<TGraphicObject>(new TTestBox(*this, TCloneTag{}));
    }

private:
    TRect2D m_Rect;
    int* m_Freed;
};

std::unique_ptr<TTestBox> Box(double x1, double y1, double x2, double y2, int32_t id = 77)
{
    return std::make_unique<TTestBox>(id, MakeRect2D(x1, y1, x2, y2));
}

// A document with its seams attached.
struct Document : ::testing::Test {
    Document()
    {
        Doc.AddViewport(&View);
        Doc.SetTreeGeo(&Tree);
        Doc.OnAddObject = [this](TQV_01Cmp& sender, TObject2D& object) {
            EXPECT_EQ(&sender, &Doc);
            Announced.push_back(object.ID());
        };
    }
    TQV_01Cmp2D Doc;
    kbtest::TRecordingDocumentView View;
    kbtest::TRecordingGeoTree Tree;
    std::vector<int32_t> Announced;
};

using TKind = kbtest::TRecordingGeoTree::TKind;

} // namespace

TEST_F(Document, ObjectIDsFollowTheNextFreeNumberAndPassedIDsAreKept)
{
    struct TStep {
        int32_t Passed;
        int32_t Given;
        int64_t NextAfter;
    };
    const TStep steps[] = {
        {-1, 0, 1}, {-1, 1, 2}, {-5, 2, 3},
        {10, 10, 11}, // beyond the next number: the next one moves past it
        {-1, 11, 12},
        {4, 4, 12},   // below it: kept as given, the next one stays
        {11, 11, 12}, // not checked for uniqueness
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Passed);
        TTestBox* added = Doc.AddObject(s.Passed, Box(0, 0, 1, 1));
        EXPECT_EQ(added->ID(), s.Given);
        EXPECT_EQ(Doc.NextObjectID(), s.NextAfter);
    }
    EXPECT_EQ(Doc.ObjectsCount(), 7);
}

TEST_F(Document, AddedObjectIsSetUpDrawnAndAnnounced)
{
    Doc.SetCurrentLayer(3);
    TTestBox* a = Doc.AddObject(-1, Box(0, 0, 1, 1));
    TTestBox* b = Doc.AddObjectOnLayer(-1, 9, Box(0, 0, 1, 1));
    TTestBox* c = Doc.AddObject(-1, Box(0, 0, 1, 1));
    EXPECT_EQ(Doc.CurrentLayer(), 3);
    EXPECT_EQ(a->Layer(), 3);
    EXPECT_EQ(b->Layer(), 9);
    EXPECT_EQ(c->Layer(), 3);
    EXPECT_EQ(a->Owner(), &Doc);
    EXPECT_EQ(a->Draws, 1);
    EXPECT_EQ(Doc.GetObject(1), b);
    EXPECT_EQ(Doc.GetObject(5), nullptr);
    EXPECT_EQ(Announced, (std::vector<int32_t>{0, 1, 2}));

    // One node per layer, then one per object, stored where they belong.
    ASSERT_EQ(Tree.Events.size(), 3u);
    EXPECT_EQ(Tree.LayerNodesMade, 2);
    EXPECT_EQ(Tree.Events[1].Kind, TKind::Add);
    EXPECT_EQ(Tree.Events[1].Layer, 9);
    EXPECT_EQ(b->TreeNode(), Tree.Events[1].Node);
    EXPECT_NE(Doc.Layers().GetLayer(9).TreeNode(), NoTreeNode);
    EXPECT_EQ(Doc.Layers().GetLayer(4).TreeNode(), NoTreeNode);

    EXPECT_THROW(Doc.AddObjectOnLayer(-1, 256, Box(0, 0, 1, 1)), ECADOutOfBound);
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_EQ(Doc.CurrentLayer(), 3);
}

TEST_F(Document, AddsLeftUnpresentedAreAnnouncedAndBoundedButNeitherDrawnNorInTheTree)
{
    // What a read that replaces the whole drawing does: the views and the
    // tree are rebuilt once it is in.
    Doc.SetPresentAdds(false);
    TTestBox* quiet = Doc.AddObject(-1, Box(2, 3, 5, 7));
    TTestBox* helper = Doc.AddHelperContainer(Box(0, 0, 1, 1));
    EXPECT_EQ(quiet->Draws, 0);
    EXPECT_EQ(helper->Draws, 0);
    EXPECT_TRUE(Tree.Events.empty());
    EXPECT_EQ(quiet->TreeNode(), NoTreeNode);
    EXPECT_EQ(Announced, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(quiet->Owner(), &Doc);
    EXPECT_EQ(quiet->Box().FirstEdge.X, 2.0);
    EXPECT_EQ(quiet->Box().FirstEdge.Y, 3.0);
    EXPECT_EQ(quiet->Box().SecondEdge.X, 5.0);
    EXPECT_EQ(quiet->Box().SecondEdge.Y, 7.0);

    Doc.SetPresentAdds(true);
    TTestBox* shown = Doc.AddObject(-1, Box(0, 0, 1, 1));
    EXPECT_EQ(shown->Draws, 1);
    EXPECT_EQ(Tree.Events.size(), 1u);
    EXPECT_NE(shown->TreeNode(), NoTreeNode);
}

TEST_F(Document, AddDuringAnIterationIsRefusedBeforeTouchingAnything)
{
    Doc.AddObject(-1, Box(0, 0, 1, 1));
    auto object = Box(0, 0, 1, 1, 77);
    TTestBox* raw = object.get();
    {
        TGraphicObjIterator it = Doc.ObjectsIterator();
        EXPECT_THROW(Doc.AddObject(-1, std::move(object)), ECADListBlocked);
        EXPECT_THROW(Doc.AddObjectOnLayer(40, 5, std::move(object)), ECADListBlocked);
        EXPECT_THROW(Doc.AddHelperContainer(std::move(object)), ECADListBlocked);
    }
    ASSERT_EQ(object.get(), raw); // still the caller's
    EXPECT_EQ(raw->ID(), 77);
    EXPECT_EQ(raw->Owner(), nullptr);
    EXPECT_EQ(raw->Layer(), 0);
    EXPECT_EQ(raw->Draws, 0);
    EXPECT_EQ(raw->TreeNode(), NoTreeNode);
    EXPECT_EQ(Doc.NextObjectID(), 1);
    EXPECT_EQ(Doc.CurrentLayer(), 0);
    EXPECT_EQ(Announced.size(), 1u);
    EXPECT_EQ(Tree.Events.size(), 1u);

    EXPECT_EQ(Doc.AddObject(-1, std::move(object)), raw);
    EXPECT_EQ(raw->ID(), 1);
}

TEST_F(Document, HelperContainerIsNeitherSavedNorPickableNorInTheTree)
{
    Doc.AddObject(4, Box(0, 0, 1, 1));
    TTestBox* helper = Doc.AddHelperContainer(Box(0, 0, 1, 1));
    EXPECT_EQ(helper->ID(), 5);
    EXPECT_FALSE(helper->Saved());
    EXPECT_FALSE(helper->Pickable());
    EXPECT_EQ(helper->Draws, 1);
    EXPECT_EQ(helper->TreeNode(), NoTreeNode);
    EXPECT_EQ(Announced, (std::vector<int32_t>{4, 5}));
    EXPECT_EQ(Tree.Events.size(), 1u);
}

TEST_F(Document, DeleteByIDFreesTheObjectAndRemovesItsNode)
{
    int freed = 0;
    Doc.AddObject(-1, std::make_unique<TTestBox>(0, MakeRect2D(0, 0, 1, 1), &freed));
    Doc.AddObject(-1, std::make_unique<TTestBox>(0, MakeRect2D(0, 0, 1, 1), &freed));
    const TTreeNodeId node = Doc.GetObject(1)->TreeNode();

    try {
        Doc.DeleteObject(42);
        FAIL();
    } catch (const ECADListObjNotFound& e) {
        EXPECT_STREQ(e.what(), "TCADCmp.DeleteObject: No object found");
    }
    {
        TGraphicObjIterator it = Doc.ObjectsIterator();
        EXPECT_THROW(Doc.DeleteObject(1), ECADListBlocked);
    }
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_EQ(Tree.Events.back().Kind, TKind::Add); // the refused delete kept the node

    EXPECT_TRUE(Doc.DeleteObject(1));
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(Doc.GetObject(1), nullptr);
    EXPECT_NE(Doc.GetObject(0), nullptr);
    EXPECT_EQ(Tree.Events.back().Kind, TKind::Delete);
    EXPECT_EQ(Tree.Events.back().Node, node);

    // The other box counts into freed too: delete it while freed still lives.
    EXPECT_TRUE(Doc.DeleteObject(0));
    EXPECT_EQ(freed, 2);
}

TEST_F(Document, DeleteAllRestartsTheIDsUnlessTheListIsBlocked)
{
    Doc.AddObject(-1, Box(0, 0, 1, 1));
    Doc.AddObject(-1, Box(0, 0, 1, 1));
    {
        TGraphicObjIterator it = Doc.ObjectsIterator();
        Doc.DeleteAllObjects(); // refused silently; no ID may be handed out twice
    }
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_EQ(Doc.NextObjectID(), 2);
    Doc.DeleteAllObjects();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_EQ(Doc.AddObject(-1, Box(0, 0, 1, 1))->ID(), 0);
}

TEST_F(Document, TransformOfAnIDListSkipsAbsentIDsAndRepaints)
{
    TTestBox* a = Doc.AddObject(7, Box(0, 0, 1, 1));
    TTestBox* b = Doc.AddObject(8, Box(0, 0, 1, 1));
    const TMatrix4 shift = TMatrix4::CreateTranslation(10, 0, 0);

    Doc.TransformObjects(std::vector<int32_t>{7, 99}, shift);
    EXPECT_DOUBLE_EQ(a->Box().FirstEdge.X, 10.0);
    EXPECT_DOUBLE_EQ(b->Box().FirstEdge.X, 0.0);
    EXPECT_EQ(a->PendingTransform(), nullptr); // applied, not left pending
    ASSERT_NE(a->ModelTransform(), nullptr);
    EXPECT_EQ(View.Rebuilds, std::vector<bool>{false});

    Doc.TransformObjects(std::vector<int32_t>{-1}, shift);
    EXPECT_DOUBLE_EQ(a->Box().FirstEdge.X, 20.0);
    EXPECT_DOUBLE_EQ(b->Box().FirstEdge.X, 10.0);

    Doc.SetRepaintAfterTransform(false);
    Doc.TransformObjects(std::vector<int32_t>{}, shift);
    EXPECT_DOUBLE_EQ(a->Box().FirstEdge.X, 20.0);
    EXPECT_EQ(View.Rebuilds.size(), 2u);

    TGraphicObjIterator it = Doc.ObjectsIterator();
    EXPECT_THROW(Doc.TransformObjects(std::vector<int32_t>{7}, shift), ECADListBlocked);
    EXPECT_DOUBLE_EQ(a->Box().FirstEdge.X, 20.0);
}

TEST_F(Document, DrawingBoundsCountOnlyWhatIsShown)
{
    EXPECT_FALSE(Doc.GetDrawingBounds().has_value());

    Doc.Layers().GetLayer(2).SetVisible(0);
    Doc.AddObjectOnLayer(-1, 2, Box(-50, -50, 50, 50));
    const std::optional<TRect2D> none = Doc.GetDrawingBounds();
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->FirstEdge.X, 1e8);
    EXPECT_EQ(none->FirstEdge.Y, 1e8);
    EXPECT_EQ(none->SecondEdge.X, -1e8);
    EXPECT_EQ(none->SecondEdge.Y, -1e8);

    Doc.AddObject(-1, Box(1, 2, 3, 4));
    Doc.AddObject(-1, Box(-1, 3, 2, 6));
    Doc.AddObject(-1, Box(100, 100, 200, 200))->SetVisible(false);
    const std::optional<TRect2D> r = Doc.GetDrawingBounds();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->FirstEdge.X, -1);
    EXPECT_EQ(r->FirstEdge.Y, 2);
    EXPECT_EQ(r->SecondEdge.X, 3);
    EXPECT_EQ(r->SecondEdge.Y, 6);
}

// A view that records the objects it is told of.
class TChangeRecordingView final : public TDocumentView {
public:
    void RebuildScene(bool) override {}
    void ZoomToBox(const TBox3D&) override {}
    TRect2D DefaultWindow() const override { return {}; }
    void ObjectChanged(TGraphicObject& object) override { Changed.push_back(object.ID()); }
    std::vector<int32_t> Changed;
};

TEST_F(Document, DrawingBoundsTellTheViewsOnlyOfBoxesThatChanged)
{
    TChangeRecordingView view;
    Doc.AddViewport(&view);
    Doc.AddObject(-1, Box(0, 0, 1, 1));
    TTestBox* moved = Doc.AddObject(-1, Box(2, 2, 3, 3));
    Doc.AddObject(-1, Box(4, 4, 5, 5));
    ASSERT_TRUE(view.Changed.empty());

    // Fitting to the drawing again and again draws nothing again.
    Doc.GetDrawingBounds();
    EXPECT_TRUE(view.Changed.empty());

    moved->SetRectQuietly(MakeRect2D(2, 2, 9, 9));
    const std::optional<TRect2D> r = Doc.GetDrawingBounds();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->SecondEdge.X, 9) << "the new box counts";
    EXPECT_EQ(view.Changed, std::vector<int32_t>{moved->ID()});
    EXPECT_EQ(moved->Box().SecondEdge.Y, 9);
    Doc.RemoveViewport(&view);
}

TEST_F(Document, ZoomToDrawingFallsBackToTheDefaultWindow)
{
    ZoomToDrawing(Doc, View); // empty
    Doc.Layers().GetLayer(2).SetVisible(0);
    Doc.AddObjectOnLayer(-1, 2, Box(-50, -50, 50, 50));
    ZoomToDrawing(Doc, View); // everything hidden
    Doc.AddObject(-1, Box(3, 4, 1, 2));
    ZoomToDrawing(Doc, View);

    ASSERT_EQ(View.Zooms.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(View.Zooms[i].FirstEdge.X, 0);
        EXPECT_EQ(View.Zooms[i].SecondEdge.Y, 100);
    }
    const TBox3D& z = View.Zooms[2];
    EXPECT_EQ(z.FirstEdge.X, 1);
    EXPECT_EQ(z.FirstEdge.Y, 2);
    EXPECT_EQ(z.SecondEdge.X, 3);
    EXPECT_EQ(z.SecondEdge.Y, 4);
    EXPECT_EQ(z.FirstEdge.Z, 0);
}

TEST_F(Document, ViewsAndLayerMovesAreNotified)
{
    kbtest::TRecordingDocumentView second;
    Doc.AddViewport(nullptr);
    Doc.AddViewport(&second);
    Doc.RepaintViewports();
    EXPECT_EQ(View.Rebuilds, std::vector<bool>{false});
    EXPECT_EQ(second.Rebuilds, std::vector<bool>{false});
    Doc.RemoveViewport(&second);
    Doc.RepaintViewports();
    EXPECT_EQ(second.Rebuilds.size(), 1u);

    TTestBox* a = Doc.AddObject(-1, Box(0, 0, 1, 1));
    const TTreeNodeId old = a->TreeNode();
    Doc.MoveObjectToLayer(*a, 12);
    EXPECT_EQ(a->Layer(), 12);
    const auto& move = Tree.Events.back();
    EXPECT_EQ(move.Kind, TKind::Move);
    EXPECT_EQ(move.OldNode, old);
    EXPECT_EQ(move.Layer, 12);
    EXPECT_EQ(a->TreeNode(), move.Node);
}

// A monitor that tells the pending repaints apart from the other pending
// events (user input among them).
class TPaintMonitor final : public TWorkMonitor {
public:
    TPaintMonitor() : m_Previous(SetWorkMonitor(this)) {}
    ~TPaintMonitor() override { SetWorkMonitor(m_Previous); }
    TPaintMonitor(const TPaintMonitor&) = delete;
    TPaintMonitor& operator=(const TPaintMonitor&) = delete;

    void ShowStatusMessage(const std::string&) override {}
    void ShowProgress(int, bool) override {}
    void HideProgress() override {}
    void SetBusy(bool busy) override { BusyDepth += busy ? 1 : -1; }
    void ProcessMessages() override { ++Messages; }
    void ProcessPendingPaint() override
    {
        ++Paints;
        BusyWhilePainting = BusyWhilePainting && BusyDepth > 0;
    }
    bool UserBreakRequested() const override { return false; }

    int BusyDepth = 0;
    int Messages = 0;
    int Paints = 0;
    bool BusyWhilePainting = true;

private:
    TWorkMonitor* m_Previous;
};

TEST_F(Document, RedrawDrawsObjectsOfVisibleLayersWhileBusyWithoutUserInput)
{
    TPaintMonitor monitor;
    TTestBox* shown = Doc.AddObject(-1, Box(0, 0, 1, 1));
    TTestBox* hidden = Doc.AddObjectOnLayer(-1, 1, Box(0, 0, 1, 1));
    Doc.Layers().GetLayer(1).SetVisible(0);
    RedrawAllObjects(Doc);
    EXPECT_EQ(shown->Draws, 2);
    EXPECT_EQ(hidden->Draws, 1);
    EXPECT_EQ(monitor.BusyDepth, 0);
    EXPECT_EQ(monitor.Paints, 1);
    EXPECT_EQ(monitor.Messages, 0);
    EXPECT_TRUE(monitor.BusyWhilePainting);
}

TEST(QV_01Cmp2D, NewDocumentStartsEmptyWithAFourByteLayerSection)
{
    TQV_01Cmp2D doc;
    EXPECT_EQ(doc.Signature(), "QV-3.6");
    EXPECT_EQ(doc.ObjectsCount(), 0);
    EXPECT_EQ(doc.SourceBlocksCount(), 0);
    EXPECT_EQ(doc.NextObjectID(), 0);
    EXPECT_EQ(doc.CurrentLayer(), 0);
    EXPECT_TRUE(doc.RepaintAfterTransform());
    EXPECT_FALSE(doc.IsBlocked());
    EXPECT_THROW(doc.SetCurrentLayer(-1), ECADOutOfBound);

    TMemoryStream s;
    doc.Layers().SaveToStream(s);
    EXPECT_EQ(s.Data(), kbtest::TBytes().I16(1).I16(256).Data());

    TGraphicObjIterator it = doc.SourceBlocksIterator();
    EXPECT_TRUE(doc.IsBlocked());
}

TEST_F(Document, ADrawingTakenAsideComesBackAsItWasOrGoesForGood)
{
    int freed = 0;
    const auto counted = [&freed] { return std::make_unique<TTestBox>(-1, MakeRect2D(0, 0, 1, 1), &freed); };
    const auto block = [](const char* name) {
        std::vector<std::unique_ptr<TObject2D>> children;
        children.push_back(Box(0, 0, 2, 2, 1));
        return std::make_unique<TSourceBlock2D>(-1, std::move(children), name);
    };
    // Objects 0, 7 and 8 (the next ID 9), a reference to the saved block
    // S (ID 9, the next ID then 12), and a library block L.
    TSourceBlock2D* saved = Doc.AddSourceBlock(block("S"));
    TSourceBlock2D* library = Doc.AddSourceBlock(block("L"));
    library->SetLibrary(true);
    Doc.AddObject(-1, counted());
    Doc.AddObject(7, counted());
    Doc.AddObject(-1, counted());
    Doc.AddObject(-1, std::make_unique<TBlock2D>(0, saved));
    Doc.AddObject(11, counted());
    ASSERT_TRUE(Doc.DeleteObject(11));
    freed = 0;
    const auto ids = [this] {
        std::vector<int32_t> list;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            list.push_back(object->ID());
        return list;
    };

    // While a list is walked nothing is taken.
    {
        TGraphicObjIterator walk = Doc.ObjectsIterator();
        EXPECT_THROW((void)Doc.TakeDrawing(), ECADListBlocked);
    }
    EXPECT_EQ(Doc.ObjectsCount(), 4);

    TQV_01Cmp::TTakenDrawing taken = Doc.TakeDrawing();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_EQ(Doc.NextObjectID(), 0);
    ASSERT_EQ(Doc.SourceBlocksCount(), 1); // the library block stays
    // What a file read in its place brings, then put back.
    Doc.AddObject(-1, counted());
    Doc.AddSourceBlock(block("F"));
    Doc.PutBackDrawing(std::move(taken));
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(ids(), (std::vector<int32_t>{0, 7, 8, 9}));
    EXPECT_EQ(Doc.NextObjectID(), 12);
    EXPECT_EQ(Doc.SourceBlocksCount(), 2);
    EXPECT_EQ(&Doc.FindSourceBlock("S"), saved);
    EXPECT_TRUE(saved->IsReferenced());

    // Dropped: the objects and the block only they referenced go.
    taken = Doc.TakeDrawing();
    Doc.DropTakenDrawing(std::move(taken));
    EXPECT_EQ(freed, 4);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    ASSERT_EQ(Doc.SourceBlocksCount(), 1);
    EXPECT_EQ(&Doc.FindSourceBlock("L"), library);
}

}  // namespace qv_01_cmp2_d_test
