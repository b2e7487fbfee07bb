// The drop cutter over a generated wavy surface of about 100k triangles:
// building the kd-tree, dropping single cutter locations with each shape,
// and the adaptive sampling of one raster line.

#include "cam/drop/AdapDropCutter.h"
#include "cam/tools/DatiUtBase.h"
#include "core/entities/QVStl.h"
#include "core/geometry/Tri.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr int kGrid = 224; // 2 x 224 x 224 = 100352 triangles over 100 x 100
constexpr float kSize = 100.0f;

float Height(float x, float y)
{
    return 5.0f * std::sin(x * 0.2f) * std::cos(y * 0.15f) + 0.02f * x;
}

TTri Tri(const float (&a)[3], const float (&b)[3], const float (&c)[3])
{
    TTri t;
    for (int i = 0; i < 3; ++i) {
        t.A[i] = a[i];
        t.B[i] = b[i];
        t.C[i] = c[i];
    }
    t.ComputeNormal();
    t.UpNormal();
    t.UpdateBox();
    return t;
}

const TQVStl& Surface()
{
    static const TQVStl surface = [] {
        TQVStl s;
        const float h = kSize / kGrid;
        for (int i = 0; i < kGrid; ++i) {
            for (int j = 0; j < kGrid; ++j) {
                const float x0 = i * h, y0 = j * h, x1 = x0 + h, y1 = y0 + h;
                const float p00[3] = {x0, y0, Height(x0, y0)}, p10[3] = {x1, y0, Height(x1, y0)};
                const float p11[3] = {x1, y1, Height(x1, y1)}, p01[3] = {x0, y1, Height(x0, y1)};
                s.AddTriangle(Tri(p00, p10, p11));
                s.AddTriangle(Tri(p00, p11, p01));
            }
        }
        return s;
    }();
    return surface;
}

TDatiUtFresa Tool(int type)
{
    TDatiUtFresa t;
    t.ToolType = type;
    t.Diameter = 6.0;
    t.CornerRadius = 1.0;
    t.ToolAngle = 30.0;
    t.ToolLength = 20.0f;
    return t;
}

void BM_KDTreeBuild(benchmark::State& state)
{
    const TQVStl& s = Surface();
    for (auto _ : state) {
        TKDTree tree;
        tree.Build(s.Triangles());
        benchmark::DoNotOptimize(tree.Root());
    }
    state.counters["triangles"] = static_cast<double>(s.Triangles().size());
}
BENCHMARK(BM_KDTreeBuild)->Unit(benchmark::kMillisecond);

void BM_DropCL(benchmark::State& state)
{
    TPointDropCutter op;
    op.SetSTL(&Surface());
    op.SetCutter(Tool(static_cast<int>(state.range(0))));
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(5.0f, 95.0f);
    for (auto _ : state) {
        TCLPoint cl(pos(rng), pos(rng), -100.0f);
        op.DropCL(cl);
        benchmark::DoNotOptimize(cl.Z);
    }
}
BENCHMARK(BM_DropCL)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->ArgNames({"type"});

void BM_AdaptiveRasterLine(benchmark::State& state)
{
    TAdapDropCutter op;
    op.SetSTL(&Surface());
    op.SetCutter(Tool(2));
    op.SetSampling(0.05);
    TDropPath path;
    path.AddLine(TLine({0.0, 50.0}, -100.0f, {kSize, 50.0}));
    op.SetPath(&path);
    for (auto _ : state) {
        op.RunPath();
        benchmark::DoNotOptimize(op.CLList().size());
    }
    state.counters["points"] = static_cast<double>(op.CLList().size());
}
BENCHMARK(BM_AdaptiveRasterLine)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
