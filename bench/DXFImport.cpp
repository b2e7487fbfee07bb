// The DXF import against dxflib in the same run, on the same file: a drawing
// of about 40 MB generated here (lines, arcs, circles, light-weight
// polylines with bulges and polylines with vertices on eight layers, in a
// release 2000 layout with subclass markers). dxflib only parses the file
// and hands each entity to an adapter that counts it; the import builds
// the whole drawing (every entity in the document, layers set). The ratio
// of their throughputs is printed at the end: above 1, the drawing is built
// faster than dxflib parses.

#include "core/model/QV_01Cmp2D.h"
#include "io/dxf/DXF2DImport.h"

#include <benchmark/benchmark.h>
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace {

std::string FileName;
uint64_t FileSize = 0;
uint64_t EntityCount = 0;

class TDxfWriter {
public:
    explicit TDxfWriter(std::ostream& out) : m_Out(out) {}
    void Pair(int code, std::string_view value)
    {
        m_Out << (code < 10 ? "  " : code < 100 ? " " : "") << code << '\n' << value << '\n';
    }
    void Pair(int code, double value)
    {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6).ptr;
        Pair(code, std::string_view(buffer, end - buffer));
    }
    void Pair(int code, int value) { Pair(code, std::to_string(value)); }

private:
    std::ostream& m_Out;
};

// Writes the drawing; returns the number of entities.
uint64_t WriteDrawing(const std::string& fileName, int rows)
{
    std::ofstream file(fileName, std::ios::binary);
    TDxfWriter w(file);
    w.Pair(0, "SECTION");
    w.Pair(2, "HEADER");
    w.Pair(9, "$ACADVER");
    w.Pair(1, "AC1015");
    w.Pair(0, "ENDSEC");
    w.Pair(0, "SECTION");
    w.Pair(2, "TABLES");
    w.Pair(0, "TABLE");
    w.Pair(2, "LAYER");
    for (int i = 0; i < 8; ++i) {
        w.Pair(0, "LAYER");
        w.Pair(2, "Layer" + std::to_string(i));
        w.Pair(70, 0);
        w.Pair(62, i + 1);
        w.Pair(6, "CONTINUOUS");
    }
    w.Pair(0, "ENDTAB");
    w.Pair(0, "ENDSEC");
    w.Pair(0, "SECTION");
    w.Pair(2, "ENTITIES");
    uint64_t count = 0;
    int handle = 0x100;
    const auto head = [&](std::string_view type, int layer, std::string_view subclass) {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, handle++, 16).ptr;
        w.Pair(0, type);
        w.Pair(5, std::string_view(buffer, end - buffer));
        w.Pair(100, "AcDbEntity");
        w.Pair(8, "Layer" + std::to_string(layer));
        w.Pair(100, subclass);
        ++count;
    };
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 100; ++col) {
            const double x = col * 10.0;
            const double y = row * 10.0;
            const int layer = (row + col) % 8;
            head("LINE", layer, "AcDbLine");
            w.Pair(10, x);
            w.Pair(20, y);
            w.Pair(30, 0.0);
            w.Pair(11, x + 8.5);
            w.Pair(21, y + 0.25);
            w.Pair(31, 0.0);
            if (col % 4 == 0) {
                head("ARC", layer, "AcDbCircle");
                w.Pair(10, x + 5);
                w.Pair(20, y + 5);
                w.Pair(30, 0.0);
                w.Pair(40, 2.5);
                w.Pair(100, "AcDbArc");
                w.Pair(50, 15.0);
                w.Pair(51, 200.0);
            } else if (col % 4 == 1) {
                head("CIRCLE", layer, "AcDbCircle");
                w.Pair(10, x + 5);
                w.Pair(20, y + 5);
                w.Pair(30, 0.0);
                w.Pair(40, 1.75);
            } else if (col % 4 == 2) {
                head("LWPOLYLINE", layer, "AcDbPolyline");
                w.Pair(90, 6);
                w.Pair(70, 1);
                for (int v = 0; v < 6; ++v) {
                    w.Pair(10, x + (v % 3) * 3.0);
                    w.Pair(20, y + (v / 3) * 3.0);
                    if (v == 2)
                        w.Pair(42, 0.4);
                }
            } else {
                head("POLYLINE", layer, "AcDb2dPolyline");
                w.Pair(66, 1);
                w.Pair(10, 0.0);
                w.Pair(20, 0.0);
                w.Pair(30, 0.0);
                w.Pair(70, 0);
                for (int v = 0; v < 5; ++v) {
                    w.Pair(0, "VERTEX");
                    w.Pair(8, "Layer" + std::to_string(layer));
                    w.Pair(10, x + v * 2.0);
                    w.Pair(20, y + (v % 2) * 2.0);
                    w.Pair(30, 0.0);
                }
                w.Pair(0, "SEQEND");
                w.Pair(8, "Layer" + std::to_string(layer));
            }
        }
    }
    w.Pair(0, "ENDSEC");
    w.Pair(0, "EOF");
    return count;
}

// Counts what dxflib hands over.
class TCountingAdapter : public DL_CreationAdapter {
public:
    void addLayer(const DL_LayerData&) override { ++Count; }
    void addLine(const DL_LineData&) override { ++Count; }
    void addArc(const DL_ArcData&) override { ++Count; }
    void addCircle(const DL_CircleData&) override { ++Count; }
    void addPolyline(const DL_PolylineData&) override { ++Count; }
    void addVertex(const DL_VertexData&) override { ++Count; }
    uint64_t Count = 0;
};

void BM_DxflibParse(benchmark::State& state)
{
    for (auto _ : state) {
        TCountingAdapter adapter;
        DL_Dxf dxf;
        if (!dxf.in(FileName, &adapter))
            state.SkipWithError("dxflib could not read the file");
        benchmark::DoNotOptimize(adapter.Count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(FileSize) * state.iterations());
}

void BM_ImportDrawing(benchmark::State& state)
{
    for (auto _ : state) {
        TQV_01Cmp2D document;
        TDXF2DImport importer(FileName, &document);
        importer.PolylinesAsContainers = false;
        importer.ReadIntoModel();
        if (importer.Incomplete() || static_cast<uint64_t>(document.ObjectsCount()) != EntityCount)
            state.SkipWithError("the drawing was not read whole");
        benchmark::DoNotOptimize(document.ObjectsCount());
        state.PauseTiming(); // freeing the drawing is not part of reading it
        document.DeleteAllObjects();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(FileSize) * state.iterations());
}

// Keeps each benchmark's mean time per iteration for the closing ratio.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.iterations > 0 && !run.error_occurred)
                Seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    std::map<std::string, double> Seconds;
};

} // namespace

BENCHMARK(BM_DxflibParse)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportDrawing)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    FileName = (std::filesystem::temp_directory_path() / "kb-bench-drawing.dxf").string();
    EntityCount = WriteDrawing(FileName, 1000);
    FileSize = std::filesystem::file_size(FileName);
    std::cout << "drawing: " << FileSize / 1e6 << " MB, " << EntityCount << " entities\n";

    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove(FileName);

    const auto dxflib = reporter.Seconds.find("BM_DxflibParse");
    const auto import = reporter.Seconds.find("BM_ImportDrawing");
    if (dxflib != reporter.Seconds.end() && import != reporter.Seconds.end())
        std::cout << "throughput of the import / dxflib parse: " << dxflib->second / import->second << "\n";
    return 0;
}
