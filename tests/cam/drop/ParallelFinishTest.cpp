#include "cam/drop/AdapDropCutter.h"
#include "cam/generators/Tasca.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/model/CADSysException.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "core/entities/QVStl.h"
#include "core/entities/QV_STLSurf.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/geometry/Tolerance.h"
#include "core/model/WorkMonitor.h"

#include "tests/cam/DropTestSupport.h"
#include "tests/cam/ToolBytes.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

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
std::unique_ptr<TParametriOperazione> Params(const TDatiUtFresa& tool)
{
    auto p = std::make_unique<TParametriOperazione>(0);
    static_cast<TDatiUtFresa&>(*p->ToolData) = tool;
    p->ZRapid = 17;
    p->ZTop = 15;
    p->ZBottom = 0;
    p->MarginX = 3;
    p->MarginY = 3;
    p->StepOverPercent = 1.5;
    p->Resolution = 0.25;
    return p;
}

std::unique_ptr<TParametriOperazione> BallParams()
{
    return Params(BallTool());
}

double ReferenceOverSurface(const TQVStl& s, const TDatiUtFresa& tool, double x, double y, double level)
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
    ASSERT_TRUE(op.RunOnSource(pyramid, *BallParams(), toolpath));
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
    const std::unique_ptr<TParametriOperazione> params = Params(FlatTool());
    TParametriOperazione& p = *params;
    p.RoughPass3D = true;
    p.ZStep = 4;
    p.ZTop = 10;
    TParallelaAd op;
    TListaDiCurve3d toolpath;
    ASSERT_TRUE(op.RunOnSource(pyramid, p, toolpath));
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
        {1e-17, -1, 10, {-1}}, // below the precision of z: would never leave the top
        {0.1, 0, 1, {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1, 0}},
    };
    for (const auto& c : cases)
    {
        const std::vector<double> got = TBaseOperazione3D::ZLevels(c.Step, c.Bottom, c.Top);
        ASSERT_EQ(got.size(), c.Levels.size()) << c.Step << " " << c.Top;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.Levels[i], 1e-12) << c.Step << " " << c.Top << " level " << i;
    }
    // Levels beyond any use would fill the memory.
    EXPECT_THROW(TBaseOperazione3D::ZLevels(1e-3, -1e6, 1e6), ECADSysException);

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
    EXPECT_EQ(op.DropCount(), 2 + 7); // both ends, then a middle per accepted step and per split
    // Start, then every 5 units: 20 / 5 = 4 steps.
    ASSERT_EQ(op.CLList().size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(op.CLList()[i].X, 5.0f * i);
        EXPECT_FLOAT_EQ(op.CLList()[i].Z, 1.0f);
    }
    op.SetSTL(nullptr);
}

// A stop ends the whole run: false, and the toolpath list keeps only what
// it held before.
TEST(ParallelFinishTest, StopRequestEndsTheRunWithoutAToolpath)
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
    toolpath.push_back(std::make_unique<TCurvaNci3d>());
    EXPECT_FALSE(op.RunOnSource(pyramid, p, toolpath));
    SetWorkMonitor(before);
    EXPECT_EQ(toolpath.size(), 1u);
    EXPECT_TRUE(op.CLList().empty());
    EXPECT_EQ(monitor.Refreshes, 2); // the start, then the one refresh that saw the stop
}

// The spans go to worker threads; the points must be those of one thread,
// in path order.
TEST(ParallelFinishTest, AnyNumberOfThreadsGivesTheSamePoints)
{
    const TQVStl pyramid = Pyramid();
    const std::unique_ptr<TParametriOperazione> params = Params(BullTool());
    params->RoughPass3D = true;
    params->ZStep = 3;
    params->ZTop = 9;
    std::vector<TListaDiCurve3d> runs;
    for (unsigned threads : {1u, 3u, 8u}) {
        TParallelaAd op;
        op.SetThreadCount(threads);
        runs.emplace_back();
        ASSERT_TRUE(op.RunOnSource(pyramid, *params, runs.back()));
    }
    ASSERT_EQ(runs[0].size(), 3u);
    for (size_t r = 1; r < runs.size(); ++r) {
        ASSERT_EQ(runs[r].size(), runs[0].size());
        for (size_t k = 0; k < runs[0].size(); ++k) {
            const auto& a = runs[0][k]->Vertices;
            const auto& b = runs[r][k]->Vertices;
            ASSERT_EQ(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i].EndPoint.X, b[i].EndPoint.X);
                EXPECT_EQ(a[i].EndPoint.Y, b[i].EndPoint.Y);
                EXPECT_EQ(a[i].EndPoint.Z, b[i].EndPoint.Z);
            }
        }
    }
}

// The floors of the Z increment, the resolution and the corner radius, all
// through a whole run: a step that cannot make distinct levels gives the
// bottom alone, a resolution that cannot stop the subdivision and a corner
// wider than the cutter are refused with nothing added to the toolpath.
TEST(ParallelFinishTest, FloorsOfStepResolutionAndCornerRadius)
{
    const double tol = SystemTol();
    enum class EShape { Flat, Bull, Ball };
    const struct {
        const char* Name;
        bool Rough;
        double Step, Resolution, Corner;
        int Levels; // -1: refused
        EShape Shape;
    } cases[] = {
        {"roughing off: one level at the bottom", false, 4, 0.5, 1, 1, EShape::Bull},
        {"roughing 4 from 10 to -5", true, 4, 0.5, 1, 4, EShape::Bull},
        {"step 0", true, 0, 0.5, 1, 1, EShape::Bull},
        {"step -1", true, -1, 0.5, 1, 1, EShape::Bull},
        {"step 1e-17", true, 1e-17, 0.5, 1, 1, EShape::Bull},
        {"step of the tolerance", true, tol, 0.5, 1, 1, EShape::Bull},
        {"resolution 0", false, 4, 0, 1, -1, EShape::Bull},
        {"resolution 1e-17", false, 4, 1e-17, 1, -1, EShape::Bull},
        {"resolution of the tolerance", false, 4, tol, 1, -1, EShape::Bull},
        {"corner 0", false, 4, 0.5, 0, 1, EShape::Flat},
        {"corner 3 of radius 3", false, 4, 0.5, 3, 1, EShape::Ball},
        {"corner within the tolerance above", false, 4, 0.5, 3 + tol / 2, 1, EShape::Ball},
        {"corner 3.01 of radius 3", false, 4, 0.5, 3.01, -1, EShape::Bull},
    };
    const TQVStl pyramid = Pyramid();
    for (const auto& c : cases) {
        const std::unique_ptr<TParametriOperazione> p = Params(Mill(1, 6.0, c.Corner));
        p->ZTop = 10;
        p->ZBottom = -5;
        p->RoughPass3D = c.Rough;
        p->ZStep = c.Step;
        p->Resolution = c.Resolution;
        p->StepOverPercent = 4;
        TParallelaAd op;
        TListaDiCurve3d toolpath;
        if (c.Levels < 0) {
            EXPECT_THROW(op.RunOnSource(pyramid, *p, toolpath), ECADSysException) << c.Name;
            EXPECT_TRUE(toolpath.empty()) << c.Name;
            continue;
        }
        ASSERT_TRUE(op.RunOnSource(pyramid, *p, toolpath)) << c.Name;
        ASSERT_EQ(static_cast<int>(toolpath.size()), c.Levels) << c.Name;
        double lowest = 1e9;
        for (const TAVertice3d& v : toolpath.back()->Vertices)
            lowest = std::min(lowest, v.EndPoint.Z);
        EXPECT_DOUBLE_EQ(lowest, -5.0) << c.Name;
        const TMillCutter* cutter = op.Cutter();
        switch (c.Shape) {
        case EShape::Flat:
            EXPECT_NE(dynamic_cast<const TCutterPiatto*>(cutter), nullptr) << c.Name;
            break;
        case EShape::Bull:
            EXPECT_NE(dynamic_cast<const TCutterToroidale*>(cutter), nullptr) << c.Name;
            break;
        case EShape::Ball:
            EXPECT_NE(dynamic_cast<const TCutterSferico*>(cutter), nullptr) << c.Name;
            break;
        }
    }
}

TEST(ParallelFinishTest, SurfaceWithoutTrianglesAndBadRasterAreRefused)
{
    TParallelaAd op;
    TListaDiCurve3d toolpath;
    EXPECT_THROW(op.RunOnSource(TQVStl(), *BallParams(), toolpath), ECADSysException);
    const std::unique_ptr<TParametriOperazione> params = BallParams();
    TParametriOperazione& p = *params;
    p.StepOverPercent = 0;
    EXPECT_THROW(op.RunOnSource(Pyramid(), p, toolpath), ECADSysException);
    EXPECT_TRUE(toolpath.empty());
}


namespace {

// A 3D parallel operation as the tool window makes it: a configuration
// with a mill library, the kind-5 operation, the pyramid as its surface
// object.
class ParallelFinishOperation : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_Dir.Path() / "tools");
        WriteFileBytes(m_Dir.File("tools/Tools_mm.tlb"), Concat({MillLibraryBytes(4, "Flat 3", 3, 0)}));
        m_Config = std::make_unique<TAppConfig>(m_Dir.Path().string());
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        SetCurrentToolLibrary(nullptr);
        TStlMesh mesh;
        const TQVStl pyramid = Pyramid();
        for (const TTri& t : pyramid.Triangles()) {
            TStlFacet f;
            std::copy(t.A, t.A + 3, f.A);
            std::copy(t.B, t.B + 3, f.B);
            std::copy(t.C, t.C + 3, f.C);
            std::copy(t.Normal, t.Normal + 3, f.Normal);
            mesh.Facets.push_back(f);
        }
        m_Surface = std::make_unique<TQV_STLSurf>(1, std::move(mesh));
        Op = std::make_unique<TOpManagerField>(5);
        Op->SurfaceObjects.push_back(m_Surface.get());
        TParametriOperazione& p = *Op->Parameters;
        static_cast<TDatiUtFresa&>(*p.ToolData) = BallTool();
        p.ZRapid = 12;
        p.ZTop = 10;
        p.ZBottom = -5;
        p.MarginX = 3;
        p.MarginY = 3;
        p.StepOverPercent = 1.5;
        p.Angle = 0;
        p.Resolution = 0.25;
        p.RoughPass3D = false;
    }
    void TearDown() override
    {
        Op.reset();
        SetCurrentToolLibrary(nullptr);
        SetLanguageIni(nullptr);
        m_Config.reset();
    }

    std::unique_ptr<TOpManagerField> Op;
    TRecordingNotifier Notifier;

private:
    TTempDir m_Dir;
    std::unique_ptr<TAppConfig> m_Config;
    std::unique_ptr<TQV_STLSurf> m_Surface;
};

double LowestZ(const TCurva3d& curve)
{
    double lowest = 1e9;
    for (const TAVertice3d& v : curve.Vertices)
        lowest = std::min(lowest, v.EndPoint.Z);
    return lowest;
}

} // namespace

// Roughing off: the bottom level alone; roughing by 4 from 10 to 0: 6, 2, 0.
TEST_F(ParallelFinishOperation, RunMakesOneCurvePerLevelOverTheSurfaceObject)
{
    TParallelaAd first;
    ASSERT_TRUE(first.Run(*Op));
    ASSERT_EQ(Op->Toolpaths.size(), 1u);
    EXPECT_DOUBLE_EQ(LowestZ(*Op->Toolpaths[0]), -5.0);
    // The ball rests on the apex: its tip at the apex's height.
    double highest = -1e9;
    for (const TAVertice3d& v : Op->Toolpaths[0]->Vertices)
        highest = std::max(highest, v.EndPoint.Z);
    EXPECT_NEAR(highest, 10.0, 0.05);

    Op->ClearToolpaths();
    Op->Parameters->RoughPass3D = true;
    Op->Parameters->ZStep = 4;
    Op->Parameters->ZBottom = 0;
    TParallelaAd second;
    ASSERT_TRUE(second.Run(*Op));
    ASSERT_EQ(Op->Toolpaths.size(), 3u);
    const double levels[] = {6, 2, 0};
    for (size_t k = 0; k < 3; ++k)
        EXPECT_DOUBLE_EQ(LowestZ(*Op->Toolpaths[k]), levels[k]) << k;

    Op->SurfaceObjects.clear();
    TParallelaAd none;
    EXPECT_THROW(none.Run(*Op), ECADSysException);
}

// The pyramid's apex is at Z 10. A feed plane below the apex or below the
// top Z would send the rapids through the part: refused, with no toolpath.
TEST_F(ParallelFinishOperation, FeedPlaneBelowThePartIsRefused)
{
    struct TCase {
        double Rapid, Top;
        bool Refused;
    };
    const TCase cases[] = {
        {2, 10, true},   // far below the apex
        {9.9, 5, true},  // above the top Z, below the apex
        {12, 15, true},  // above the apex, below the top Z
        {10, 10, false}, // at the apex: not below it
        {12, 10, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Rapid) + " over " + std::to_string(c.Top));
        Notifier.Clear();
        Op->ClearToolpaths();
        Op->Parameters->ZRapid = c.Rapid;
        Op->Parameters->ZTop = c.Top;
        TParallelaAd run;
        EXPECT_EQ(run.Run(*Op), !c.Refused);
        EXPECT_EQ(Op->Toolpaths.empty(), c.Refused);
        if (c.Refused) {
            ASSERT_EQ(Notifier.Messages().size(), 1u);
            const double top = std::max(c.Top, 10.0);
            EXPECT_EQ(Notifier.Messages()[0].Text, LangFormat(LangText(LangKeys::String::RapidBelowSurface),
                                                              {FormatCoord(c.Rapid), FormatCoord(top)}));
        } else {
            EXPECT_TRUE(Notifier.Messages().empty());
        }
    }
}

// With a chain the raster covers the chain's inside only, not the surface's
// box with its margins.
TEST_F(ParallelFinishOperation, FirstChainLimitsTheRaster)
{
    auto chain = std::make_unique<TACurva>();
    for (TVector2D p : {TVector2D{4, 4}, TVector2D{16, 4}, TVector2D{16, 16}, TVector2D{4, 16}, TVector2D{4, 4}})
        chain->AddVertex(TAVertice::CreateAt(p, 0));
    chain->Closed = 1;
    Op->Chains.Add(std::move(chain));
    TParallelaAd op;
    ASSERT_TRUE(op.Run(*Op));
    ASSERT_EQ(Op->Toolpaths.size(), 1u);
    const auto& vertices = Op->Toolpaths[0]->Vertices;
    ASSERT_GT(vertices.size(), 10u);
    double minX = 1e9, maxX = -1e9;
    for (const TAVertice3d& v : vertices) {
        minX = std::min(minX, v.EndPoint.X);
        maxX = std::max(maxX, v.EndPoint.X);
        EXPECT_GE(v.EndPoint.Y, 4 - 1e-4);
        EXPECT_LE(v.EndPoint.Y, 16 + 1e-4);
        // Inside the chain the ball always touches the pyramid.
        EXPECT_GT(v.EndPoint.Z, 0.5);
    }
    EXPECT_GE(minX, 4 - 1e-4);
    EXPECT_LE(maxX, 16 + 1e-4);
}
