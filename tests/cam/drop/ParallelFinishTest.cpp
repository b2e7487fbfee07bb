#include "cam/drop/AdapDropCutter.h"
#include "cam/generators/Tasca.h"
#include "cam/params/ParametriOperazione.h"
#include "core/model/CADSysException.h"
#include "core/entities/QVStl.h"
#include "core/model/WorkMonitor.h"

#include "tests/cam/DropTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kbtest;

namespace {

// A pyramid on the square (0, 0)-(20, 20), apex (10, 10, 10): four faces of
// slope 1.
TQVStl Pyramid()
{
    TQVStl s;
    s.AddTriangle(MakeTri(0, 0, 0, 20, 0, 0, 10, 10, 10));
    s.AddTriangle(MakeTri(20, 0, 0, 20, 20, 0, 10, 10, 10));
    s.AddTriangle(MakeTri(20, 20, 0, 0, 20, 0, 10, 10, 10));
    s.AddTriangle(MakeTri(0, 20, 0, 0, 0, 0, 10, 10, 10));
    return s;
}

// The 3D parameters of an operation. Kind 0 takes a mill record like the 3D
// kind but opens no tool library.
std::unique_ptr<TParametriOperazione> BallParams()
{
    auto p = std::make_unique<TParametriOperazione>(0);
    p->ZTop = 15;
    p->ZBottom = 0;
    p->MarginX = 3;
    p->MarginY = 3;
    p->StepOverPercent = 1.5;
    p->Resolution = 0.25;
    return p;
}

double ReferenceOverSurface(const TQVStl& s, const TCutterSpec& tool, double x, double y, double level)
{
    double z = level;
    for (const TTri& t : s.Triangles())
        z = std::max(z, ReferenceDrop(tool, t, x, y, level, 150));
    return z;
}

class TStopAfterFirstRefresh : public TWorkMonitor {
public:
    void ShowStatusMessage(const std::string&) override {}
    void ShowProgress(int, bool) override { ++Refreshes; }
    void HideProgress() override {}
    void SetBusy(bool) override {}
    void ProcessMessages() override {}
    bool UserBreakRequested() const override { return true; }
    int Refreshes = 0;
};

} // namespace

TEST(ParallelFinishTest, BallPassFollowsThePyramidOffsetByTheCutter)
{
    const TQVStl pyramid = Pyramid();
    TParallelaAd op;
    TListaDiCurve3d toolpath;
    ASSERT_TRUE(op.RunOnSource(pyramid, *BallParams(), BallTool(), toolpath));
    ASSERT_EQ(toolpath.size(), 1u); // without roughing only the bottom level
    const TCurva3d& curve = *toolpath.front();
    ASSERT_GT(curve.VertexCount(), 50);

    // On the middle of a face the ball rests on the plane: z = plane +
    // R (sqrt 2 - 1) for a slope of 1. The lower face is z = y there.
    const double lift = 3.0 * (std::sqrt(2.0) - 1.0);
    int onFace = 0;
    for (const TAVertice3d& v : curve.Vertices) {
        const double x = v.EndPoint.X, y = v.EndPoint.Y;
        EXPECT_GE(x, -3.0 - 1e-4);
        EXPECT_LE(x, 23.0 + 1e-4);
        if (y > 2 && y < 7 && x > y + 3 && x < 20 - y - 3) {
            EXPECT_NEAR(v.EndPoint.Z, y + lift, 1e-3) << x << "," << y;
            ++onFace;
        }
    }
    EXPECT_GE(onFace, 3);

    // Everywhere else (ridges, apex, the base's rim) against the sampled
    // reference.
    for (int i = 0; i < curve.VertexCount(); i += 9) {
        const TAVertice3d& v = curve.Vertices[i];
        EXPECT_NEAR(v.EndPoint.Z, ReferenceOverSurface(pyramid, BallTool(), v.EndPoint.X, v.EndPoint.Y, 0.0), 0.02)
            << v.EndPoint.X << "," << v.EndPoint.Y;
    }
    // The first raster line lies on the lower margin, where nothing is in
    // reach: flat at the level.
    EXPECT_NEAR(curve.Vertices.front().EndPoint.Y, -3.0, 1e-4);
    EXPECT_DOUBLE_EQ(curve.Vertices.front().EndPoint.Z, 0.0);
}

TEST(ParallelFinishTest, RoughingLevelsRideOnTheSurfaceOrTheirOwnZ)
{
    const TQVStl pyramid = Pyramid();
    const std::unique_ptr<TParametriOperazione> params = BallParams();
    TParametriOperazione& p = *params;
    p.RoughPass3D = true;
    p.ZStep = 4;
    p.ZTop = 10;
    TParallelaAd op;
    TListaDiCurve3d toolpath;
    op.RunOnSource(pyramid, p, FlatTool(), toolpath);
    const double levels[] = {6, 2, 0};
    ASSERT_EQ(toolpath.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        double lowest = 1e9, highest = -1e9;
        for (const TAVertice3d& v : toolpath[k]->Vertices) {
            lowest = std::min(lowest, v.EndPoint.Z);
            highest = std::max(highest, v.EndPoint.Z);
        }
        EXPECT_DOUBLE_EQ(lowest, levels[k]);
        EXPECT_NEAR(highest, 10.0, 1e-4); // a flat bottom sits on the apex
    }
}

TEST(ParallelFinishTest, ZLevelsAndSampling)
{
    const struct {
        double Step, Bottom, Top;
        std::vector<double> Levels;
    } cases[] = {
        {10000, -5, 10, {-5}},
        {4, 0, 10, {6, 2, 0}},
        {5, 0, 10, {5, 0}},
        {0, -1, 10, {-1}},  // a step of 0 would never reach the bottom
        {-2, -1, 10, {-1}},
        {1, 5, 3, {5}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TBaseOperazione3D::ZLevels(c.Step, c.Bottom, c.Top), c.Levels) << c.Step << " " << c.Top;

    TAdapDropCutter op;
    EXPECT_DOUBLE_EQ(op.Sampling(), 5.0);
    op.SetSampling(0.25);
    EXPECT_DOUBLE_EQ(op.Sampling(), 5.0);
    EXPECT_DOUBLE_EQ(op.MinSampling(), 0.25);
    EXPECT_THROW(op.SetSampling(0.0), ECADSysException);
    EXPECT_NE(op.SubOperation(0), nullptr);
    EXPECT_EQ(op.SubOperation(1), nullptr);
}

TEST(ParallelFinishTest, OneSpanOverFlatGroundIsSampledAtTheLargestStep)
{
    TQVStl ground;
    ground.AddTriangle(MakeTri(-50, -50, 1, 100, -50, 1, -50, 100, 1));
    TDropPath path;
    path.AddLine(TLine({0, 0}, 0.0f, {20, 0}));
    TAdapDropCutter op;
    op.SetSTL(&ground);
    op.SetCutter(BallTool());
    op.SetSampling(0.25);
    op.SetPath(&path);
    ASSERT_TRUE(op.RunPath());
    // Start, then every 5 units: 20 / 5 = 4 steps.
    ASSERT_EQ(op.CLList().size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(op.CLList()[i].X, 5.0f * i);
        EXPECT_FLOAT_EQ(op.CLList()[i].Z, 1.0f);
    }
    op.SetSTL(nullptr);
}

TEST(ParallelFinishTest, StopRequestEndsEachLevelAtItsNextRefreshAndKeepsTheCurves)
{
    TStopAfterFirstRefresh monitor;
    TWorkMonitor* before = SetWorkMonitor(&monitor);
    const TQVStl pyramid = Pyramid();
    const std::unique_ptr<TParametriOperazione> params = BallParams();
    TParametriOperazione& p = *params;
    p.RoughPass3D = true;
    p.ZStep = 5;
    p.ZTop = 10; // levels 5 and 0
    TParallelaAd op;
    int64_t now = 0;
    op.SetClock([&now] { return now += 600; }); // a refresh every other step
    // The raster is made before the levels, on a clock that never refreshes:
    // the request meets the sampling.
    op.SetPathMaker([&p](TDropPath& path) {
        TTasca raster;
        raster.SetClock([] { return int64_t(0); });
        return raster.HatchRectangle(p, path, {-3, -3}, {23, 23});
    });
    TListaDiCurve3d toolpath;
    EXPECT_TRUE(op.RunOnSource(pyramid, p, BallTool(), toolpath));
    SetWorkMonitor(before);
    ASSERT_EQ(toolpath.size(), 2u);
    TListaDiCurve3d full;
    TParallelaAd whole;
    whole.RunOnSource(pyramid, p, BallTool(), full);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_GT(toolpath[k]->VertexCount(), 0);
        EXPECT_LT(toolpath[k]->VertexCount(), full[k]->VertexCount());
    }
    EXPECT_GE(monitor.Refreshes, 2);
}

TEST(ParallelFinishTest, SurfaceWithoutTrianglesAndBadRasterAreRefused)
{
    TParallelaAd op;
    TListaDiCurve3d toolpath;
    EXPECT_THROW(op.RunOnSource(TQVStl(), *BallParams(), BallTool(), toolpath), ECADSysException);
    const std::unique_ptr<TParametriOperazione> params = BallParams();
    TParametriOperazione& p = *params;
    p.StepOverPercent = 0;
    EXPECT_THROW(op.RunOnSource(Pyramid(), p, BallTool(), toolpath), ECADSysException);
    EXPECT_TRUE(toolpath.empty());
}

