#include "cam/tools/DatiUtBase.h"
#include "cam/tools/ToolSolid.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kEps = 1e-9;

TDatiUtFresa Mill(int32_t type, double diameter, float length)
{
    TDatiUtFresa t;
    t.ToolType = type;
    t.Diameter = diameter;
    t.ToolLength = length;
    return t;
}

void ExpectPoint(const TVector2D& p, double x, double y, const char* what)
{
    EXPECT_NEAR(p.X, x, kEps) << what;
    EXPECT_NEAR(p.Y, y, kEps) << what;
}

TEST(ToolProfile, FlatBallConeAndDrillShapes)
{
    const auto flat = BuildProfile(Mill(kToolFlat, 6.0, 40.0f));
    ASSERT_EQ(flat.size(), 4u);
    ExpectPoint(flat[0], 0, 0, "flat tip");
    ExpectPoint(flat[1], 0, 3, "flat edge");
    ExpectPoint(flat[2], 40, 3, "flat top");
    ExpectPoint(flat[3], 40, 0, "flat axis");

    // Ten points of the quarter circle, the last one at (R, R).
    const auto ball = BuildProfile(Mill(kToolSferico, 8.0, 30.0f));
    ASSERT_EQ(ball.size(), 13u);
    ExpectPoint(ball[10], 4, 4, "ball round end");
    for (size_t i = 1; i <= 10; ++i)
        EXPECT_NEAR(std::hypot(ball[i].X - 4.0, ball[i].Y), 4.0, kEps) << "ball point " << i;
    ExpectPoint(ball[11], 30, 4, "ball top");

    // A cone without a tip diameter goes straight from the tip to the edge.
    TDatiUtFresa cone = Mill(kToolConico, 6.0, 20.0f);
    cone.ToolAngle = 45.0;
    const auto sharp = BuildProfile(cone);
    ASSERT_EQ(sharp.size(), 4u);
    ExpectPoint(sharp[1], 3, 3, "cone edge from the tip");
    cone.TipDiameter = 2.0;
    const auto blunt = BuildProfile(cone);
    ASSERT_EQ(blunt.size(), 5u);
    ExpectPoint(blunt[1], 0, 1, "cone tip flat");
    ExpectPoint(blunt[2], 2, 3, "cone edge");

    const auto drill = BuildProfile(Mill(kToolPunta, 6.0, 20.0f));
    ExpectPoint(drill[1], 3.0 * std::tan(M_PI / 6.0), 3, "drill point");

    TDatiUtFresa bull = Mill(kToolToro, 10.0, 20.0f);
    bull.CornerRadius = 2.0;
    const auto toro = BuildProfile(bull);
    ASSERT_EQ(toro.size(), 10u);
    ExpectPoint(toro[1], 0, 3, "bull flat end");
    for (size_t i = 2; i <= 7; ++i)
        EXPECT_NEAR(std::hypot(toro[i].X - 2.0, toro[i].Y - 3.0), 2.0, kEps) << "bull corner " << i;
}

TEST(ToolProfile, InsertOutlineNoseAndEdges)
{
    TDatiUtTornio insert;
    insert.Diameter = 0.4;   // nose radius
    insert.EdgeAngle1 = 90;  // arc from 90 degrees...
    insert.ToolAngle = 0;    // ...to 270 degrees, through 180
    insert.CornerRadius = 5; // L1
    insert.EdgeLength2 = 3;  // L2
    const auto outline = InsertOutline(insert, 0.01);
    ASSERT_GE(outline.size(), 6u);
    ExpectPoint(outline.front(), 5.0, 0.4, "end of the first edge");
    ExpectPoint(outline[1], 0.0, 0.4, "arc start");
    ExpectPoint(outline[outline.size() - 2], 0.0, -0.4, "arc end");
    ExpectPoint(outline.back(), 3.0, -0.4, "end of the second edge");
    for (size_t i = 1; i + 1 < outline.size(); ++i) {
        EXPECT_NEAR(std::hypot(outline[i].X, outline[i].Y), 0.4, 1e-6) << "nose point " << i;
        EXPECT_LE(outline[i].X, 1e-9) << "the nose runs through 180 degrees";
    }
}

TEST(ToolSolids, BuiltMovedShownAndFreedWithTheRecord)
{
    kbtest::TRecordingViewServices view;
    TToolSceneObjects& objects = ToolSceneObjects();

    auto mill = std::make_unique<TDatiUtFresa>(Mill(kToolFlat, 6.0, 40.0f));
    objects.CreateSolid(*mill, true);
    const TSceneNodeId solid = objects.Solid(*mill);
    const TSceneMesh* mesh = view.Scene.As<TSceneMesh>(solid);
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(view.Scene.Node(solid)->Visible);
    double maxR = 0, maxZ = 0;
    for (const TVector3D& v : mesh->Vertices) {
        maxR = std::max(maxR, std::hypot(v.X, v.Y));
        maxZ = std::max(maxZ, v.Z);
    }
    EXPECT_NEAR(maxR, 3.0, 1e-9);
    EXPECT_NEAR(maxZ, 40.0, 1e-9);

    objects.MoveSolid(*mill, 1, 2, 3);
    EXPECT_EQ(view.Scene.As<TSceneMesh>(solid)->Position.Z, 3.0);
    objects.ShowSolid(*mill, false);
    EXPECT_FALSE(view.Scene.Node(solid)->Visible);

    mill.reset();
    EXPECT_EQ(view.Scene.Node(solid), nullptr) << "a record freed takes its solid with it";

    TDatiLaser laser;
    objects.CreateSolid(laser, true);
    EXPECT_EQ(objects.Solid(laser), NoSceneNode);

    TDatiUtTornio lathe;
    lathe.Diameter = 0.4;
    lathe.EdgeAngle1 = 90;
    lathe.CornerRadius = 5;
    lathe.EdgeLength2 = 5;
    objects.CreateSolid(lathe, true);
    const TSceneNodeId insert = objects.Solid(lathe);
    ASSERT_NE(view.Scene.As<TSceneMesh>(insert), nullptr);
    EXPECT_FALSE(view.Scene.Node(insert)->Visible) << "hidden until the simulation shows it";
    EXPECT_EQ(view.Scene.As<TSceneMesh>(insert)->Position.X, 1000.0);
    objects.FreeSolid(lathe);
    EXPECT_EQ(view.Scene.Node(insert), nullptr);
}

TEST(ToolSolids, MarkerKeepsThirtyPixelArms)
{
    kbtest::TRecordingViewServices view;
    view.Projection.Scale = 2.0; // half a unit a pixel
    TDatiUtFresa tool;
    TToolSceneObjects& objects = ToolSceneObjects();
    objects.CreateMarker(tool);
    const TSceneNodeId marker = objects.Marker(tool);
    ASSERT_NE(marker, NoSceneNode);
    EXPECT_EQ(objects.MarkerArm(tool), 15.0);

    objects.MoveMarker(tool, 1, 2, 3);
    const auto* lines = view.Scene.As<TSceneLines>(marker);
    ASSERT_EQ(lines->Nodes.size(), 5u);
    const TVector3D expected[5] = {{-14, 2, 3}, {16, 2, 3}, {1, 2, 3}, {1, 17, 3}, {1, -13, 3}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(lines->Nodes[i].X, expected[i].X) << i;
        EXPECT_EQ(lines->Nodes[i].Y, expected[i].Y) << i;
        EXPECT_EQ(lines->Nodes[i].Z, expected[i].Z) << i;
    }
    EXPECT_EQ(lines->LineWidth, 2.0f);

    view.Projection.Scale = 0.5; // zoomed out: two units a pixel
    objects.MoveMarker(tool, 0, 0, 0);
    EXPECT_EQ(objects.MarkerArm(tool), 60.0);
    EXPECT_EQ(view.Scene.As<TSceneLines>(marker)->Nodes[1].X, 60.0);

    objects.FreeMarker(tool);
    EXPECT_EQ(view.Scene.Node(marker), nullptr);
    EXPECT_EQ(objects.MarkerArm(tool), 0.0);
}

} // namespace
