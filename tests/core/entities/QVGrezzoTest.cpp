// The stock solid: its outline, bottom and height as the stock fields set
// them, and the solid it keeps up to date in the view's Stl group.

#include "core/entities/QVGrezzo.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv_grezzo_test {

namespace {

std::vector<std::pair<double, double>> Corners(const TQVGrezzo& stock)
{
    std::vector<std::pair<double, double>> corners;
    for (const TVector2D& v : stock.Outline())
        corners.emplace_back(v.X, v.Y);
    return corners;
}

using TCorners = std::vector<std::pair<double, double>>;

} // namespace

TEST(QVGrezzo, MarginsAndBottomAreMeasuredFromTheStoredBox)
{
    kbtest::TRecordingViewServices view;
    TQVGrezzo stock;
    const auto stl = view.Scene.Children(view.Scene.Group(TSceneGroup::Stock));
    ASSERT_EQ(stl.size(), 1u);
    EXPECT_EQ(stock.SceneNode(), stl[0]);
    EXPECT_EQ(Corners(stock), (TCorners{{0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    EXPECT_EQ(stock.Height(), 0.0);

    stock.SetBox(TBox3D{MakePoint3D(0, 0, -10), MakePoint3D(100, 50, 0)});
    EXPECT_EQ(Corners(stock), (TCorners{{0, 0}, {100, 0}, {100, 50}, {0, 50}}));
    EXPECT_EQ(stock.BottomZ(), -10.0);
    EXPECT_EQ(stock.Height(), 10.0);

    stock.SetMarginX(5);
    EXPECT_EQ(Corners(stock), (TCorners{{-5, 0}, {105, 0}, {105, 50}, {-5, 50}}));
    stock.SetMarginX(2); // from the box again, not added to the first
    stock.SetMarginY(1);
    EXPECT_EQ(Corners(stock), (TCorners{{-2, -1}, {102, -1}, {102, 51}, {-2, 51}}));
    stock.SetBottomZ(-20);
    EXPECT_EQ(stock.BottomZ(), -20.0);
    EXPECT_EQ(stock.Height(), 20.0);
    stock.SetHeight(7);
    EXPECT_EQ(stock.Height(), 7.0);

    // The view shows what the stock holds.
    const TSceneSolid* solid = view.Scene.As<TSceneSolid>(stock.SceneNode());
    ASSERT_NE(solid, nullptr);
    ASSERT_EQ(solid->Contour.size(), 4u);
    EXPECT_EQ(solid->Contour[2].X, 102.0);
    EXPECT_EQ(solid->BottomZ, -20.0);
    EXPECT_EQ(solid->Height, 7.0);
    EXPECT_FLOAT_EQ(solid->Color.A, 0.4f);
    EXPECT_TRUE(solid->Blended);
    EXPECT_FALSE(solid->DepthTest);

    stock.Rebuild();
    EXPECT_EQ(Corners(stock), (TCorners{{0, 0}, {100, 0}, {100, 50}, {0, 50}}));
    EXPECT_EQ(stock.BottomZ(), -10.0);
    EXPECT_EQ(stock.Height(), 10.0);

    stock.SetVisible(false);
    EXPECT_FALSE(view.Scene.Node(stock.SceneNode())->Visible);
}

TEST(QVGrezzo, AChainOutlineReplacesTheCornersAndMarginsLeaveIt)
{
    kbtest::TRecordingViewServices view;
    TQVGrezzo stock;
    stock.SetBox(TBox3D{MakePoint3D(0, 0, 0), MakePoint3D(10, 10, 5)});
    stock.SetOutline({});
    EXPECT_EQ(stock.Outline().size(), 4u);

    const std::vector<TVector2D> triangle{{0, 0}, {10, 0}, {5, 8}};
    stock.SetOutline(triangle);
    stock.SetMarginX(3);
    stock.SetMarginY(3);
    EXPECT_EQ(Corners(stock), (TCorners{{0, 0}, {10, 0}, {5, 8}}));
    EXPECT_EQ(view.Scene.As<TSceneSolid>(stock.SceneNode())->Contour.size(), 3u);
    EXPECT_EQ(stock.Height(), 5.0);
    stock.Rebuild();
    EXPECT_EQ(stock.Outline().size(), 4u);
}

TEST(QVGrezzo, TheProgramStockIsReplacedWithoutTouchingTheOldSceneObject)
{
    kbtest::TRecordingViewServices view;
    EXPECT_EQ(StockSolid(), nullptr);
    TQVGrezzo& first = RecreateStockSolid();
    const TSceneNodeId firstNode = first.SceneNode();
    EXPECT_EQ(StockSolid(), &first);
    TQVGrezzo& second = RecreateStockSolid();
    EXPECT_EQ(StockSolid(), &second);
    // The view clears the Stl group itself when it replaces the stock.
    EXPECT_NE(view.Scene.Node(firstNode), nullptr);
    FreeStockSolid();
    EXPECT_EQ(StockSolid(), nullptr);
}

}  // namespace qv_grezzo_test
