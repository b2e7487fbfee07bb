#include "cad/panel/LayerSnapshot.h"

#include "core/model/CADSysException.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace layer_snapshot_test {

namespace {

class LayerSnapshotTest : public ::testing::Test {
protected:
    LayerSnapshotTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Doc.SetTreeGeo(&Tree);
        Doc.AddViewport(&View);
    }
    ~LayerSnapshotTest() override { SetLanguageIni(nullptr); }

    TQV_21Layer& Layer(int n) { return Doc.Layers().GetLayer(n); }

    kbtest::TRecordingGeoTree Tree;
    kbtest::TRecordingDocumentView View;
    TQV_01Cmp2D Doc;
};

TEST_F(LayerSnapshotTest, RestoreTakesBackEveryChangeAndTheModifiedFlags)
{
    Layer(3).SetTreeNode(33);
    Layer(9).SetPenColor(0x123456); // the user's change from before: stays marked
    Doc.SetCurrentLayer(2);
    TLayerSnapshot snapshot;
    snapshot.Take(Doc);

    RenameLayer(Doc, 3, "Walls");
    Layer(5).SetVisible(0);
    Layer(7).SetPenColor(0x0000FF);
    Layer(7).SetPenWidth(4);
    Layer(9).SetPenWidth(6);
    Doc.SetCurrentLayer(8);
    ASSERT_EQ(Tree.NodeTexts[33], "Layer: Walls");
    View.Rebuilds.clear();

    snapshot.Restore(Doc);

    EXPECT_EQ(Layer(3).Name(), "Layer_3");
    EXPECT_EQ(Tree.NodeTexts[33], "Layer: Layer_3");
    EXPECT_EQ(Layer(5).Visible(), 1);
    EXPECT_EQ(Layer(7).Pen().Color, 0u);
    EXPECT_EQ(Layer(7).Pen().Width, 1);
    EXPECT_EQ(Layer(9).Pen().Color, 0x123456u);
    EXPECT_EQ(Layer(9).Pen().Width, 1);
    EXPECT_EQ(Doc.CurrentLayer(), 2);
    // A cancelled dialog marks nothing for the document file or the layer
    // defaults file: only layer 9 was the user's before.
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n)
        EXPECT_EQ(Layer(n).Modified(), n == 9) << "layer " << n;
    EXPECT_EQ(View.Rebuilds.size(), 1u);
    // Layers without a tree node get no text.
    EXPECT_EQ(Tree.NodeTexts.size(), 1u);
}

TEST_F(LayerSnapshotTest, RenameKeepsThirtyOneCharactersAndTheTreeShowsWhatIsKept)
{
    Layer(4).SetTreeNode(44);
    const std::string typed = "A layer name of exactly forty characters";
    ASSERT_EQ(typed.size(), 40u);
    EXPECT_EQ(RenameLayer(Doc, 4, typed), typed.substr(0, 31));
    EXPECT_EQ(Layer(4).Name(), typed.substr(0, 31));
    EXPECT_EQ(Tree.NodeTexts[44], "Layer: " + typed.substr(0, 31));
    EXPECT_TRUE(Layer(4).Modified());

    // Without a tree, or for a layer without a node, only the layer changes.
    Doc.SetTreeGeo(nullptr);
    EXPECT_EQ(RenameLayer(Doc, 4, "B"), "B");
    EXPECT_EQ(Tree.NodeTexts[44], "Layer: " + typed.substr(0, 31));
    EXPECT_THROW(RenameLayer(Doc, 256, "C"), ECADOutOfBound);
}

} // namespace

}  // namespace layer_snapshot_test
