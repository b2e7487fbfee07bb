#include "io/place/VecRasInfo.h"

#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <memory>

namespace vec_ras_info_test {

namespace {

class TPlacement final : public TVecRasInfo {
public:
    using TVecRasInfo::TVecRasInfo;
    void RefreshOriginEdits() override { ++Refreshes; }
    int Refreshes = 0;
};

struct PlacementTest : ::testing::Test {
    PlacementTest()
    {
        // The frame of a DXF at (10, 10)-(30, 20): its two diagonals.
        document.AddObject(-1, std::make_unique<TLine2D>(-1, TPoint2D{10, 10, 1}, TPoint2D{30, 20, 1}));
        document.AddObject(-1, std::make_unique<TLine2D>(-1, TPoint2D{10, 20, 1}, TPoint2D{30, 10, 1}));
        placement.SetBoxFromRect(*document.GetDrawingBounds());
    }

    void ExpectBounds(double l, double b, double r, double t, double tol = 1e-9)
    {
        const TRect2D bounds = *document.GetDrawingBounds();
        EXPECT_NEAR(bounds.FirstEdge.X, l, tol);
        EXPECT_NEAR(bounds.FirstEdge.Y, b, tol);
        EXPECT_NEAR(bounds.SecondEdge.X, r, tol);
        EXPECT_NEAR(bounds.SecondEdge.Y, t, tol);
    }

    std::vector<TSceneNodeId> BoxGroups() const
    {
        std::vector<TSceneNodeId> groups;
        for (TSceneNodeId id : scene.Children(scene.Group(TSceneGroup::Objects)))
            if (scene.Node(id)->Name == "OpenGeoBox")
                groups.push_back(id);
        return groups;
    }

    kbtest::TRecordingScene scene;
    TViewServicesScope services{TViewServices{&scene, nullptr, nullptr, nullptr}};
    TQV_01Cmp2D document;
    kbtest::TRecordingDocumentView view;
    TPlacement placement{document, &view};
};

TEST_F(PlacementTest, FileOriginLeavesTheGeometryAndACornerMovesItOnce)
{
    placement.ApplyPlacement(true);
    ExpectBounds(10, 10, 30, 20);
    EXPECT_TRUE(placement.AppliedTransform.IsEqual(IdentityMatrix4()));

    placement.SetOriginChoice(TVecRasInfo::BottomLeft);
    placement.ApplyPlacement(true);
    ExpectBounds(0, 0, 20, 10);
    placement.ApplyPlacement(true);
    ExpectBounds(0, 0, 20, 10);
    EXPECT_EQ(placement.Refreshes, 3);
}

TEST_F(PlacementTest, SizeWithRatioScalesBothAxes)
{
    placement.SetOriginChoice(TVecRasInfo::BottomLeft);
    ASSERT_TRUE(placement.SetScaleFromSize(0, 40));
    EXPECT_DOUBLE_EQ(placement.Scale.X, 2);
    EXPECT_DOUBLE_EQ(placement.ScaledSize(1), 20);
    placement.ApplyPlacement(true);
    ExpectBounds(0, 0, 40, 20);
}

TEST_F(PlacementTest, RotationTurnsAboutTheOriginAndRestsOnIt)
{
    placement.SetOriginChoice(TVecRasInfo::BottomLeft);
    placement.ApplyPlacement(true);
    ExpectBounds(0, 0, 20, 10);
    // A new panel on the geometry now at (0, 0)-(20, 10), file origin.
    TPlacement second(document, &view);
    second.SetBoxFromRect(*document.GetDrawingBounds());
    second.Rotation = 90;
    second.ApplyPlacement(true);
    ExpectBounds(0, 0, 10, 20);
}

TEST_F(PlacementTest, TypedAndPickedOrigins)
{
    ASSERT_TRUE(placement.SetScaleFromSize(0, 40));
    placement.SetTypedOrigin(0, 5);
    EXPECT_DOUBLE_EQ(placement.Origin.X, 2.5);
    EXPECT_DOUBLE_EQ(placement.TypedOrigin.X, 5);

    TPlacement picked(document, &view);
    picked.SetBoxFromRect(*document.GetDrawingBounds());
    picked.ShiftOrigin(TPoint2D{3, 4, 1});
    picked.ApplyPlacement(true);
    ExpectBounds(7, 6, 27, 16);
}

TEST_F(PlacementTest, SizesThatGiveNoScaleAreIgnoredAndLaterAppliesStayExact)
{
    placement.SetOriginChoice(TVecRasInfo::BottomLeft);
    for (double size : {0.0, -5.0, 1e-320 * 1e-10, std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(placement.SetScaleFromSize(0, size)) << size;
    EXPECT_DOUBLE_EQ(placement.Scale.X, 1);
    // A direction the file has no extent in cannot be sized.
    EXPECT_FALSE(placement.SetScaleFromSize(2, 10));

    // A small scale undoes exactly: the inverse is built from its parts.
    ASSERT_TRUE(placement.SetScaleFromSize(0, 0.06));
    placement.Rotation = 30;
    placement.ApplyPlacement(true);
    ASSERT_TRUE(placement.SetScaleFromSize(0, 20));
    placement.Rotation = 0;
    placement.ApplyPlacement(true);
    ExpectBounds(0, 0, 20, 10, 1e-9);
}

TEST_F(PlacementTest, RasterResolutionGivesThePixelSize)
{
    placement.Resolution = 300;
    placement.SetRasterSize(300, 150, true);
    EXPECT_DOUBLE_EQ(placement.Scale.X, 25.4 / 300);
    EXPECT_DOUBLE_EQ(placement.Scale.Y, 25.4 / 300);
    EXPECT_NEAR(placement.ScaledSize(0), 25.4, 1e-12);
    EXPECT_NEAR(placement.ScaledSize(1), 12.7, 1e-12);

    TPlacement unknown(document, &view);
    unknown.SetRasterSize(300, 150, true);
    EXPECT_DOUBLE_EQ(unknown.Scale.X, 1);
    EXPECT_DOUBLE_EQ(unknown.ScaledSize(0), 300);
}

TEST_F(PlacementTest, TheWireBoxIsABlueOverlayThatGoesWithThePlacement)
{
    placement.SetOriginChoice(TVecRasInfo::BottomLeft);
    placement.ApplyPlacement(true);
    placement.ApplyPlacement(true);
    const auto groups = BoxGroups();
    ASSERT_EQ(groups.size(), 1u) << "one box, replaced at each apply";
    EXPECT_TRUE(scene.Node(groups[0])->Overlay);
    const auto lines = scene.Children(groups[0]);
    ASSERT_EQ(lines.size(), 1u);
    const TSceneLines* wire = scene.As<TSceneLines>(lines[0]);
    ASSERT_NE(wire, nullptr);
    EXPECT_EQ(wire->Color.B, 1.0f);
    EXPECT_EQ(wire->Color.A, 0.5f);
    EXPECT_DOUBLE_EQ(wire->Nodes[2].X, 20);
    EXPECT_DOUBLE_EQ(wire->Nodes[2].Y, 10);
    EXPECT_FALSE(view.Zooms.empty()) << "auto zoom";
    EXPECT_EQ(document.ObjectsCount(), 2) << "never in the drawing";
    {
        TPlacement other(document, &view);
        other.ShowBoxInScene(TBox3D{});
    }
    EXPECT_EQ(BoxGroups().size(), 1u);
}

TEST_F(PlacementTest, LayerColoursGoToTheDefaultAndBack)
{
    document.Layers().GetLayer(3).SetPenColor(0x0000FF);
    document.Layers().GetLayer(3).SetVisible(0);
    placement.ShowFileLayerColours(false, 0x123456);
    for (int n : {0, 3, 255}) {
        EXPECT_EQ(document.Layers().GetLayer(n).Pen().Color, 0x123456u);
        EXPECT_TRUE(document.Layers().GetLayer(n).Visible());
        EXPECT_TRUE(document.Layers().GetLayer(n).Active());
    }
    placement.ShowFileLayerColours(true, 0x123456);
    EXPECT_EQ(document.Layers().GetLayer(3).Pen().Color, 0x0000FFu);
}

} // namespace

}  // namespace vec_ras_info_test
