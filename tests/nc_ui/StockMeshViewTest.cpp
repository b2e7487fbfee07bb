// The stock model's OSG mesh without a viewer: attached to the scene for
// the model's life, its bands of the top following the cuts, and only the
// bands that hold cut cells uploaded again.

#include "nc/ui/StockMeshView.h"

#include "cad/scene/QVScene.h"
#include "core/settings/AppConfig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The band's vertex array as floats.
const float* Floats(const osg::Geometry& g) { return static_cast<const float*>(g.getVertexArray()->getDataPointer()); }
unsigned Modified(const osg::Geometry& g) { return g.getVertexArray()->getModifiedCount(); }

TEST(StockMeshView, BandsFollowTheCutsAndOnlyTouchedOnesUpload)
{
    TAppConfig config("");
    TQVScene scene(config);
    TOsgStockView view(scene);
    TNcVisuGrid grid;
    grid.SetTool(TCutTool{ECutToolType::Ball, 1});
    grid.SetCellsOnSide(100);
    grid.SetStock({10, 20, -5}, {110, 70, 0}, 2); // 101 by 51 cells
    view.AttachStock(grid);
    ASSERT_TRUE(scene.StockMeshAttached());
    EXPECT_EQ(view.Node()->getMatrix().getTrans(), osg::Vec3d(10, 20, -5));
    const auto& bands = view.TopBands();
    ASSERT_EQ(bands.size(), 7u); // 100 quad columns in bands of 16
    EXPECT_EQ(bands.back()->getVertexArray()->getNumElements(), size_t(4 * 50 * 6));

    std::vector<unsigned> before;
    for (const auto& band : bands)
        before.push_back(Modified(*band));
    grid.CutSegment({20, 5, 4}, {26, 5, 4}, false); // stock coordinates: quad columns 17 to 28, band 1
    const auto [columns, rows] = grid.TakeChanged();
    view.StockChanged(grid, columns, rows);
    view.Flush();
    for (size_t b = 0; b < bands.size(); ++b)
        EXPECT_EQ(Modified(*bands[b]) != before[b], b == 1) << b;
    // The band holds what a new build of the mesh holds.
    const TStockMesh fresh = BuildStockMesh(grid);
    const size_t start = QuadSlot(fresh, 16, 0), count = QuadSlot(fresh, 32, 0) - start;
    EXPECT_EQ(std::memcmp(Floats(*bands[1]), &fresh.Top.Vertices[start * 3], count * 3 * sizeof(float)), 0);

    // A new grid is loaded whole; detaching leaves the scene empty.
    grid.SetCellsOnSide(10);
    view.StockRebuilt(grid);
    EXPECT_EQ(view.TopBands().size(), 1u);
    view.DetachStock();
    EXPECT_FALSE(scene.StockMeshAttached());
}

} // namespace
