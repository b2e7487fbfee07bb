#include "cam/drop/AdapDropCutter.h"
#include "cam/generators/Tasca.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "core/entities/QVStl.h"
#include "core/model/CADSysException.h"
#include "core/settings/Language.h"

#include "tests/cam/DropTestSupport.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <set>

using namespace kbtest;

namespace {

std::unique_ptr<TACurva> Polygon(std::initializer_list<TVector2D> points)
{
    auto c = std::make_unique<TACurva>();
    for (const TVector2D& p : points)
        c->AddVertex(TAVertice::CreateAt(p, 0));
    c->AddVertex(TAVertice::CreateAt(*points.begin(), 0));
    c->Closed = 1;
    return c;
}

std::unique_ptr<TACurva> Rect(double x0, double y0, double x1, double y1)
{
    return Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

bool Near(const TVector2D& a, const TVector2D& b, double tol = 1e-3)
{
    return std::fabs(a.X - b.X) < tol && std::fabs(a.Y - b.Y) < tol;
}

TVector2D First(const TACurva& c) { return c.Vertices.front().EndPoint; }
TVector2D Last(const TACurva& c) { return c.Vertices.back().EndPoint; }

// The strips of the area hatched at the angle and step.
std::vector<std::unique_ptr<TACurva>> Hatch(TArea& area, double step, double angle = 0.0, bool* result = nullptr)
{
    TTasca pocket;
    pocket.SetAngle(angle);
    const bool ok = pocket.HatchArea(area, step);
    if (result)
        *result = ok;
    std::vector<std::unique_ptr<TACurva>> strips;
    pocket.TakeStrips();
    for (auto& c : pocket.WorkingCurves().Items)
        strips.push_back(std::move(c));
    return strips;
}

} // namespace

TEST(PocketRasterTest, BandsCutAlongTheLowerLineAndClimbTheWall)
{
    // H 10 at step 3: bands at 0, 3, 6 and 9 above the lower edge.
    TArea area;
    area.AddCurve(Rect(0, 0, 20, 10));
    const auto strips = Hatch(area, 3.0);
    ASSERT_EQ(strips.size(), 4u);
    const double lower[4] = {0, 3, 6, 9};
    for (size_t k = 0; k < 4; ++k) {
        const TACurva& s = *strips[k];
        SCOPED_TRACE(k);
        // The cut along the lower line, the first band right to left.
        const double from = k % 2 == 0 ? 20 : 0, to = k % 2 == 0 ? 0 : 20;
        EXPECT_TRUE(Near(First(s), {from, lower[k]}));
        EXPECT_TRUE(Near(s.Vertices[1].EndPoint, {to, lower[k]}));
        // Then up the wall to where the next band's cut begins.
        if (k + 1 < 4) {
            EXPECT_TRUE(Near(Last(s), {to, lower[k + 1]}));
            EXPECT_TRUE(Near(First(*strips[k + 1]), Last(s)));
        }
    }
    // The last band reaches past the top: its strip goes round the rest.
    EXPECT_TRUE(Near(Last(*strips[3]), {0, 9}));
}

TEST(PocketRasterTest, TheTopGetsItsPassWithinTheStep)
{
    // Heights of a whole number of steps and round about: the cuts run
    // from the lower edge to the top, never more than a step apart.
    for (double height : {9.0, 10.0, 8.999, 9.001, 2.0}) {
        SCOPED_TRACE(height);
        TArea area;
        area.AddCurve(Rect(0, 0, 20, height));
        std::set<double> cuts;
        for (const auto& s : Hatch(area, 3.0)) {
            for (size_t i = 1; i < s->Vertices.size(); ++i) {
                const TVector2D a = s->Vertices[i - 1].EndPoint, b = s->Vertices[i].EndPoint;
                if (std::fabs(a.Y - b.Y) < 1e-9 && std::fabs(a.X - b.X) > 19.9)
                    cuts.insert(a.Y);
            }
        }
        ASSERT_FALSE(cuts.empty());
        EXPECT_NEAR(*cuts.begin(), 0.0, 1e-6);
        EXPECT_NEAR(*cuts.rbegin(), height, 1e-6);
        for (auto it = std::next(cuts.begin()); it != cuts.end(); ++it)
            EXPECT_LE(*it - *std::prev(it), 3.0 + 0.002);
    }
}

TEST(PocketRasterTest, AngleNinetyRunsAlongY)
{
    TArea area;
    area.AddCurve(Rect(0, 0, 10, 20));
    const auto strips = Hatch(area, 4.0, 90.0);
    ASSERT_EQ(strips.size(), 3u); // width 10 at step 4
    for (const auto& s : strips) {
        EXPECT_NEAR(s->Vertices[0].EndPoint.X, s->Vertices[1].EndPoint.X, 1e-6);
        EXPECT_NEAR(std::fabs(s->Vertices[0].EndPoint.Y - s->Vertices[1].EndPoint.Y), 20.0, 1e-3);
    }
    // The first cut on the lower edge of the turned frame: x = 10.
    EXPECT_NEAR(First(*strips[0]).X, 10.0, 1e-6);
}

TEST(PocketRasterTest, IslandsSplittingTheAreaStartNewRuns)
{
    // Two islands across the middle bands split them into three pieces.
    TArea area;
    area.AddCurve(Rect(0, 0, 50, 12));
    area.AddCurve(Rect(10, 2, 20, 10));
    area.AddCurve(Rect(30, 2, 40, 10));
    const auto strips = Hatch(area, 3.0);
    // Band 0: one strip; bands 1 and 2: three each; band 3: one.
    ASSERT_EQ(strips.size(), 8u);
    // Runs: a strip joins the run whose last strip ends where it starts.
    int runs = 1;
    for (size_t k = 1; k < strips.size(); ++k) {
        if (!Near(First(*strips[k]), Last(*strips[k - 1])))
            ++runs;
    }
    EXPECT_EQ(runs, 3);
    // The first run goes on across the bands on the left, then over the
    // islands in the top band: its last strip cuts the whole lower line.
    EXPECT_TRUE(Near(First(*strips[0]), {50, 0}));
    EXPECT_TRUE(Near(First(*strips[3]), {0, 9}));
    double minX = 1e9, maxX = -1e9;
    for (const TAVertice& v : strips[3]->Vertices) {
        minX = std::min(minX, v.EndPoint.X);
        maxX = std::max(maxX, v.EndPoint.X);
    }
    EXPECT_NEAR(minX, 0, 1e-6);
    EXPECT_NEAR(maxX, 50, 1e-6);
}

TEST(PocketRasterTest, StepNotPositiveMakesNoBands)
{
    for (double step : {0.0, -2.0, 1e-12}) {
        SCOPED_TRACE(step);
        TArea area;
        area.AddCurve(Rect(0, 0, 20, 10));
        bool ok = true;
        EXPECT_TRUE(Hatch(area, step, 0.0, &ok).empty());
        EXPECT_FALSE(ok);
    }
    // An empty area is hatched at once.
    TArea empty;
    bool ok = false;
    EXPECT_TRUE(Hatch(empty, 0.0, 0.0, &ok).empty());
    EXPECT_TRUE(ok);
    // A step far too small for the area is refused.
    TArea huge;
    huge.AddCurve(Rect(0, 0, 10, 10000));
    EXPECT_THROW(Hatch(huge, 0.005), ECADSysException);
}

TEST(PocketRasterTest, DropPathIsOneZigZagPolyline)
{
    auto params = std::make_unique<TParametriOperazione>(0);
    params->StepOverPercent = 2.0;
    TDropPath path;
    TTasca pocket;
    ASSERT_TRUE(pocket.HatchRectangle(*params, path, {0, 0}, {10, 4}));
    // Bands 0 and 2 (cut + climb each); the top band's strip goes round it.
    ASSERT_GE(path.SpanCount(), 4u);
    const auto line = [&](size_t i) { return static_cast<const TDropPath::TLineSpan&>(path.Span(i)).Line; };
    for (size_t i = 1; i < path.SpanCount(); ++i) {
        EXPECT_FLOAT_EQ(line(i).P1[0], line(i - 1).P2[0]);
        EXPECT_FLOAT_EQ(line(i).P1[1], line(i - 1).P2[1]);
    }
    // The first cut runs along y 0 from right to left, the next back along y 2.
    EXPECT_FLOAT_EQ(line(0).P1[0], 10.0f);
    EXPECT_FLOAT_EQ(line(0).P2[0], 0.0f);
    EXPECT_FLOAT_EQ(line(0).P2[1], 0.0f);
    EXPECT_FLOAT_EQ(line(2).P1[0], 0.0f);
    EXPECT_FLOAT_EQ(line(2).P2[0], 10.0f);
    EXPECT_FLOAT_EQ(line(2).P2[1], 2.0f);

    // The first chain of a list, and no chain at all.
    TListaDiCurve chains;
    TDropPath none;
    EXPECT_FALSE(pocket.HatchFirstChain(*params, chains, none));
    chains.Add(Rect(0, 0, 10, 4));
    TDropPath chainPath;
    EXPECT_TRUE(pocket.HatchFirstChain(*params, chains, chainPath));
    EXPECT_EQ(chainPath.SpanCount(), path.SpanCount());
}

namespace {

class PocketRasterBreakTest : public ::testing::Test {
protected:
    PocketRasterBreakTest() { SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english")); }
    ~PocketRasterBreakTest() override { SetLanguageIni(nullptr); }

    TRecordingNotifier Notifier;
    TRecordingWorkMonitor Monitor;
};

TQVStl Plate()
{
    TQVStl s;
    s.AddTriangle(MakeTri(-10, -10, 1, 30, -10, 1, 30, 30, 1));
    s.AddTriangle(MakeTri(-10, -10, 1, 30, 30, 1, -10, 30, 1));
    return s;
}


} // namespace

TEST_F(PocketRasterBreakTest, BrokenRasterEndsTheRunWithoutToolpathAndOneBox)
{
    auto params = std::make_unique<TParametriOperazione>(0);
    params->ZTop = 5;
    params->StepOverPercent = 1.0;
    params->Resolution = 0.5;
    static_cast<TDatiUtFresa&>(*params->ToolData) = FlatTool();
    Monitor.BreakRequested = true;
    int64_t now = 0;

    // The default raster over the surface's box.
    TParallelaAd boxed;
    boxed.Bind(&Monitor, true);
    boxed.SetClock([&now] { return now += 600; });
    TListaDiCurve3d toolpath;
    EXPECT_FALSE(boxed.RunOnSource(Plate(), *params, toolpath));
    EXPECT_TRUE(toolpath.empty());
    EXPECT_EQ(Notifier.Messages().size(), 1u);

    // The raster over the operation's chain, through the path maker.
    TOpManagerField op(OpKind::Parallel3D);
    op.Parameters = std::move(params);
    op.Chains.AddChain(std::make_unique<TCatena>()).Assign(*Rect(2, 2, 18, 18));
    const TParametriOperazione& p = *op.Parameters;
    Notifier.Clear(); // the kind's tool library is not there
    TParallelaAd chained;
    chained.Bind(&Monitor, true);
    chained.SetClock([&now] { return now += 600; });
    chained.SetPathMaker(MakeChainRaster(op, chained));
    EXPECT_FALSE(chained.RunOnSource(Plate(), p, toolpath));
    EXPECT_TRUE(toolpath.empty());
    EXPECT_EQ(Notifier.Messages().size(), 1u);

    // Without a break the chain's raster is dropped onto the plate.
    Monitor.BreakRequested = false;
    TParallelaAd whole;
    whole.Bind(&Monitor, true);
    whole.SetPathMaker(MakeChainRaster(op, whole));
    EXPECT_TRUE(whole.RunOnSource(Plate(), p, toolpath));
    ASSERT_EQ(toolpath.size(), 1u);
    for (const TAVertice3d& v : toolpath[0]->Vertices) {
        EXPECT_GE(v.EndPoint.X, 2 - 1e-4);
        EXPECT_LE(v.EndPoint.X, 18 + 1e-4);
        EXPECT_NEAR(v.EndPoint.Z, 1.0, 1e-4);
    }
}
