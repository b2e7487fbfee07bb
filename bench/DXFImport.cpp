// The DXF import against dxflib on the same file: a drawing of about 34 MB
// generated here (200,000 entities: 40,000 each of lines, arcs, circles,
// light-weight polylines with bulges and texts set in the stroke font, on
// eight layers, in a release 2000 layout with subclass markers). dxflib only
// parses the file and hands each entity to an adapter that counts it; the
// import builds the whole drawing (every entity in the document, layers
// set); the bare read only splits the file into pairs and converts the codes
// and the numbers, the least any reader does.
//
// The headline is the first read in a fresh process, as a user opening a
// file meets it: the program runs itself once per measurement (the file is
// written once, before any timing, and is in the page cache for all three).
// Each cold figure is the median of five such runs, in wall-clock and in
// processor time; the ratios of the throughputs are printed after them. The
// Google benchmark runs that follow repeat the reads in one process (warm).

#include "core/entities/VectFont.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/dxf/DXF2DImport.h"

#include <benchmark/benchmark.h>
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

namespace {

std::string FileName;
uint64_t FileSize = 0;
uint64_t EntityCount = 0;
// Rows of 100 entities, 20 of each kind.
constexpr int DrawingRows = 2000;

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
            switch (col % 5) {
            case 0:
                head("LINE", layer, "AcDbLine");
                w.Pair(10, x);
                w.Pair(20, y);
                w.Pair(30, 0.0);
                w.Pair(11, x + 8.5);
                w.Pair(21, y + 0.25);
                w.Pair(31, 0.0);
                break;
            case 1:
                head("ARC", layer, "AcDbCircle");
                w.Pair(10, x + 5);
                w.Pair(20, y + 5);
                w.Pair(30, 0.0);
                w.Pair(40, 2.5);
                w.Pair(100, "AcDbArc");
                w.Pair(50, 15.0 + col);
                w.Pair(51, 200.0 + row % 90);
                break;
            case 2:
                head("CIRCLE", layer, "AcDbCircle");
                w.Pair(10, x + 5);
                w.Pair(20, y + 5);
                w.Pair(30, 0.0);
                w.Pair(40, 1.75);
                break;
            case 3:
                head("LWPOLYLINE", layer, "AcDbPolyline");
                w.Pair(90, 6);
                w.Pair(70, 1);
                for (int v = 0; v < 6; ++v) {
                    w.Pair(10, x + (v % 3) * 3.0);
                    w.Pair(20, y + (v / 3) * 3.0);
                    if (v == 2)
                        w.Pair(42, 0.4);
                }
                break;
            default:
                head("TEXT", layer, "AcDbText");
                w.Pair(10, x + 0.5);
                w.Pair(20, y + 0.5);
                w.Pair(30, 0.0);
                w.Pair(40, 2.0);
                w.Pair(1, "Part " + std::to_string(row) + "-" + std::to_string(col));
                w.Pair(100, "AcDbText");
                break;
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
    void addText(const DL_TextData&) override { ++Count; }
    uint64_t Count = 0;
};

// dxflib parses the file; the number of entities it handed over, or -1.
int64_t DxflibParse()
{
    TCountingAdapter adapter;
    DL_Dxf dxf;
    if (!dxf.in(FileName, &adapter))
        return -1;
    return static_cast<int64_t>(adapter.Count);
}

// The import builds the drawing into document; false when it was not read
// whole.
bool ImportDrawing(TQV_01Cmp2D& document)
{
    TDXF2DImport importer(FileName, &document);
    importer.SetTextFont(CADSysFindFontByIndex(0));
    importer.PolylinesAsContainers = false;
    importer.ReadIntoModel();
    return !importer.Incomplete() && static_cast<uint64_t>(document.ObjectsCount()) == EntityCount;
}

// The floor: the file read in chunks, split into pairs, each code line
// converted to an integer and each value of a coordinate code (10..59) to a
// double. Returns a checksum so that nothing is left out.
double BareRead()
{
    std::FILE* file = std::fopen(FileName.c_str(), "rb");
    if (!file)
        return -1;
    constexpr size_t chunk = 1 << 16;
    std::vector<char> buffer(2 * chunk);
    size_t have = 0;
    bool codeLine = true;
    int code = 0;
    double sum = 0;
    for (;;) {
        const size_t n = std::fread(buffer.data() + have, 1, chunk, file);
        have += n;
        const char* p = buffer.data();
        const char* const end = p + have;
        for (const char* eol; (eol = static_cast<const char*>(std::memchr(p, '\n', end - p))); p = eol + 1) {
            const char* first = p;
            while (first < eol && *first == ' ')
                ++first;
            if (codeLine) {
                std::from_chars(first, eol, code);
            } else if (code >= 10 && code < 60) {
                double value = 0;
                std::from_chars(first, eol, value);
                sum += value;
            } else {
                sum += static_cast<double>(eol - first);
            }
            codeLine = !codeLine;
        }
        have = static_cast<size_t>(end - p);
        std::memmove(buffer.data(), p, have);
        if (n == 0)
            break;
    }
    std::fclose(file);
    return sum;
}

void BM_DxflibParse(benchmark::State& state)
{
    for (auto _ : state) {
        const int64_t count = DxflibParse();
        if (count < 0)
            state.SkipWithError("dxflib could not read the file");
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(FileSize) * state.iterations());
}

void BM_ImportDrawing(benchmark::State& state)
{
    for (auto _ : state) {
        TQV_01Cmp2D document;
        if (!ImportDrawing(document))
            state.SkipWithError("the drawing was not read whole");
        benchmark::DoNotOptimize(document.ObjectsCount());
        state.PauseTiming(); // freeing the drawing is not part of reading it
        document.DeleteAllObjects();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(FileSize) * state.iterations());
}

// The processor time of this process so far (user and system: the page
// faults of a first read count), in milliseconds.
double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// One cold measurement in this fresh process: prints the wall-clock and the
// processor milliseconds of the read (or "failed") and leaves without
// freeing anything.
int RunCold(const std::string& what)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuMs();
    bool ok = false;
    if (what == "import") {
        auto* document = new TQV_01Cmp2D(); // left to the end of the process
        ok = ImportDrawing(*document);
    } else if (what == "dxflib") {
        ok = DxflibParse() >= static_cast<int64_t>(EntityCount);
    } else if (what == "read") {
        const double sum = BareRead();
        benchmark::DoNotOptimize(sum);
        ok = sum >= 0;
    }
    const double cpu = ProcessCpuMs() - cpuStart;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ok)
        std::printf("%.3f %.3f\n", ms, cpu);
    else
        std::printf("failed\n");
    std::fflush(stdout);
    std::_Exit(0);
}

struct TColdTimes {
    double WallMs = -1;
    double CpuMs = -1;
};

// Runs this program again for one cold measurement; negative times when it
// failed.
TColdTimes MeasureCold(const std::string& what)
{
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() + "' --cold " + what
                                + " '" + FileName + "' " + std::to_string(EntityCount);
    TColdTimes times;
    std::FILE* child = popen(command.c_str(), "r");
    if (!child)
        return times;
    char line[128] = {};
    const bool read = std::fgets(line, sizeof line, child) != nullptr;
    const int status = pclose(child);
    if (read && status == 0 && std::sscanf(line, "%lf %lf", &times.WallMs, &times.CpuMs) != 2)
        times = TColdTimes{};
    if (status != 0)
        times = TColdTimes{};
    return times;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The cold figures: rounds of (import, dxflib, bare read), each in its own
// process, as wall-clock time and as processor time (the machine may be
// shared: a process waiting for a processor loses wall-clock time only);
// false when a run failed.
bool ReportCold(int rounds)
{
    const std::vector<std::string> kinds{"import", "dxflib", "read"};
    std::map<std::string, std::vector<double>> wall;
    std::map<std::string, std::vector<double>> cpu;
    for (int round = 0; round < rounds; ++round)
        for (const std::string& kind : kinds) {
            const TColdTimes t = MeasureCold(kind);
            if (t.WallMs < 0) {
                std::cout << "cold " << kind << ": the run failed\n";
                return false;
            }
            wall[kind].push_back(t.WallMs);
            cpu[kind].push_back(t.CpuMs);
        }
    const auto show = [](const std::vector<double>& values) {
        std::string text;
        for (const double v : values)
            text += " " + std::to_string(static_cast<int64_t>(v + 0.5));
        return text;
    };
    std::map<std::string, double> w;
    std::map<std::string, double> c;
    for (const std::string& kind : kinds) {
        w[kind] = Median(wall[kind]);
        c[kind] = Median(cpu[kind]);
        std::cout << "cold " << kind << " (first read in a fresh process), median ms: wall " << w[kind] << ", cpu "
                  << c[kind] << "  (wall:" << show(wall[kind]) << "; cpu:" << show(cpu[kind]) << ")\n";
    }
    std::cout << "cold throughput of the import / dxflib parse: wall " << w["dxflib"] / w["import"] << ", cpu "
              << c["dxflib"] / c["import"] << "\n";
    std::cout << "cold throughput of the bare read / the import: wall " << w["import"] / w["read"] << ", cpu "
              << c["import"] / c["read"] << "\n";
    return true;
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
    // The stroke font the program loads at start, before any file is read.
    CADSysRegisterFontFromFile(0, KB_DATA_DIR "/RomanC.fnd");
    if (argc == 5 && std::strcmp(argv[1], "--cold") == 0) {
        FileName = argv[3];
        EntityCount = std::strtoull(argv[4], nullptr, 10);
        return RunCold(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        // For profiling one cold run by hand:
        //   bench_DXFImport --write F; perf record bench_DXFImport --cold import F 200000
        std::cout << WriteDrawing(argv[2], DrawingRows) << " entities\n";
        return 0;
    }
    FileName = (std::filesystem::temp_directory_path()
                / ("kb-bench-drawing-" + std::to_string(getpid()) + ".dxf")).string();
    EntityCount = WriteDrawing(FileName, DrawingRows);
    FileSize = std::filesystem::file_size(FileName);
    std::cout << "drawing: " << FileSize / 1e6 << " MB, " << EntityCount << " entities\n";

    const bool coldOk = ReportCold(5);

    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove(FileName);

    const auto dxflib = reporter.Seconds.find("BM_DxflibParse");
    const auto import = reporter.Seconds.find("BM_ImportDrawing");
    if (dxflib != reporter.Seconds.end() && import != reporter.Seconds.end())
        std::cout << "warm throughput of the import / dxflib parse: " << dxflib->second / import->second << "\n";
    return coldOk ? 0 : 1;
}
