// The start-up's machining hooks: the arc filter fits its arcs through the
// machining curves, the chain tolerance becomes their tolerance, and the
// operation manager reads and writes the document's operations section.

#include "app/MachiningHooks.h"

#include "cam/curves/AArco.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Polyline2D.h"
#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "nc/writer/ScriveGCode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

TEST(MachiningHooks, TheArcFilterMakesTwoArcsOfAPolylineSamplingACircle)
{
    TAppConfig config{std::string()};
    config.ChainTol = 0.004;
    AreaTolerance = 1.0;
    std::vector<TArcGeometry2D> arcs;
    {
        TMachiningHooks hooks(config);
        EXPECT_DOUBLE_EQ(AreaTolerance, 0.004);

        // 72 chords of a circle of radius 20 about (5, -3), clockwise, closed.
        std::vector<TPoint2D> points;
        for (int i = 0; i <= 72; ++i) {
            const double a = -2.0 * std::numbers::pi * (i % 72) / 72.0;
            points.push_back({5.0 + 20.0 * std::cos(a), -3.0 + 20.0 * std::sin(a), 1.0});
        }
        TQV_01Cmp2D doc;
        doc.AddObject(-1, std::make_unique<TPolyline2D>(-1, points));
        TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Preview);
        ASSERT_TRUE(filter.SetParams("0.02", "1", "500"));
        filter.OnPreviewEntity = [&arcs](TObject2D& entity) {
            if (auto* arc = dynamic_cast<TArco2D*>(&entity))
                arcs.push_back(arc->GetArcGeometry());
        };
        filter.Execute(doc.ObjectsIterator());
        EXPECT_EQ(filter.ArcsMade, 2);
        EXPECT_EQ(filter.LinesMade, 0);
        // The filter's tolerance is the machining curves' tolerance now.
        EXPECT_DOUBLE_EQ(AreaTolerance, 0.02);
    }
    ASSERT_EQ(arcs.size(), 2u);
    double sweep = 0.0;
    for (const TArcGeometry2D& arc : arcs) {
        EXPECT_NEAR(arc.Radius, 20.0, 1e-9);
        EXPECT_NEAR(arc.Centre.X, 5.0, 1e-9);
        EXPECT_NEAR(arc.Centre.Y, -3.0, 1e-9);
        sweep += arc.Sweep;
    }
    EXPECT_NEAR(sweep, 2.0 * std::numbers::pi, 1e-9);

    // Gone with the hooks: the filter keeps its lines again.
    TQV_01Cmp2D doc;
    doc.AddObject(-1, std::make_unique<TPolyline2D>(
                          -1, std::vector<TPoint2D>{{20, 0, 1}, {0, 20, 1}, {-20, 0, 1}, {0, -20, 1}, {20, 0, 1}}));
    TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Preview);
    ASSERT_TRUE(filter.SetParams("0.01", "1", "500"));
    filter.OnPreviewEntity = [](TObject2D&) {};
    filter.Execute(doc.ObjectsIterator());
    EXPECT_EQ(filter.ArcsMade, 0);
    EXPECT_EQ(filter.LinesMade, 4);
}

TEST(MachiningHooks, TheOperationManagerKeepsTheOperationsSection)
{
    TAppConfig config{std::string()};
    TQV_01Cmp2D doc;
    TMemoryStream saved;
    {
        TMachiningHooks hooks(config);
        // The operations read the writer's post.
        const std::string postName = GCodeWriter().PostName;
        GCodeWriter().OmitZ = true;
        GCodeWriter().PostName = "lathe";
        EXPECT_TRUE(PostInfo().OmitZ());
        EXPECT_EQ(PostInfo().PostName(), "lathe");
        GCodeWriter().OmitZ = false;
        GCodeWriter().PostName = postName;
        OpManager().AddOperation(std::make_unique<TOpManagerField>(OpKind::LoaderOld))->Comment = "kept";
        doc.SaveToStream(saved);
        OpManager().DeleteAll();
        saved.SetPosition(0);
        ASSERT_FALSE(doc.LoadFromStream(saved, false).Partial);
        ASSERT_EQ(OpManager().Count(), 1);
        EXPECT_EQ(OpManager().Operation(0).Comment, "kept");
        OpManager().DeleteAll();
    }
    // Without the hooks the section is the empty list again, and the post
    // values the defaults.
    EXPECT_EQ(PostInfo().PostName(), AppConfig().Pst);
    TMemoryStream empty;
    doc.SaveToStream(empty);
    const std::vector<uint8_t> tail(empty.Data().end() - 4, empty.Data().end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

} // namespace
