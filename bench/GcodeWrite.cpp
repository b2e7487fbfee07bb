// Writing a program through the GRBL post: one contour of many feed moves
// written to a file by program generation, against a bare loop that writes
// the same bytes with std::to_chars into a 64 KiB buffer and write(2),
// alternating in the same run. Prints lines per second of both, the
// writer's time as a multiple of the bare loop's (the goal is 2 or less),
// whether the two files are byte-identical, and the growth of the resident
// memory at its peak while the writer runs for a quarter and for the whole
// length (it should not grow with the length).
//
//   bench_GcodeWrite [moves] [rounds] [folder]    (defaults 1000000, 5, /dev/shm)
//
// The folder is a memory file system by default, so that the disk's flush
// does not hide the writing itself.

#include "cam/ops/OpKinds.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"
#include "nc/writer/WriterOperation.h"
#include "platform/IniFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class TBenchOperation final : public TWriterOperation {
public:
    TBenchOperation()
    {
        m_Tool.ToolNumber = 1;
        m_Tool.ToolName = "Endmill";
        m_Tool.Diameter = 6;
        m_Tool.SpindleSpeed = 12000;
        m_Tool.Feed = 800;
        m_Tool.PlungeFeed = 200;
    }
    const TDatiUtBase* ToolData() const override { return &m_Tool; }
    double ZRapid() const override { return 5; }
    double ZTop() const override { return 0; }
    double ZDepth() const override { return -1; }
    double ZStep() const override { return 1; }
    double StockXY() const override { return 0; }
    bool RetractOn() const override { return false; }
    double RetractZ() const override { return 10; }
    std::string Comment() const override { return "bench"; }
    int32_t ToolpathCount() const override { return 1; }
    const TCurvaNci3d& Toolpath(int32_t) const override { return Curve; }

    TCurvaNci3d Curve;

private:
    TDatiUtFresa m_Tool;
};

// Coordinates in whole thousandths, so that three decimals give them exactly.
double Coordinate(long long thousandths)
{
    return static_cast<double>(thousandths) / 1000.0;
}

TVector3D MovePoint(int i)
{
    return {Coordinate((i * 7919LL) % 400000 - 200000), Coordinate((i * 104729LL) % 300000 - 150000),
            Coordinate(-1 - (i * 31LL) % 5000)};
}

std::unique_ptr<TBenchOperation> Contour(int moves)
{
    auto op = std::make_unique<TBenchOperation>();
    op->Curve.Vertices.reserve(static_cast<size_t>(moves) + 1);
    for (int i = 0; i <= moves; ++i)
        op->Curve.Vertices.push_back(TAVertice3d::CreateAt(MovePoint(i)));
    return op;
}

std::string ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bare loop's bytes for the feed moves after the first one: "X.. Y.. Z.."
// with three decimals, CR LF.
class TBareWriter {
public:
    explicit TBareWriter(const std::string& name)
        : m_Fd(open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644))
    {
    }
    ~TBareWriter()
    {
        Flush();
        if (m_Fd >= 0) {
            (void)fsync(m_Fd);
            close(m_Fd);
        }
    }
    void Text(std::string_view text)
    {
        if (m_Used + text.size() > sizeof m_Buffer)
            Flush();
        std::copy(text.begin(), text.end(), m_Buffer + m_Used);
        m_Used += text.size();
    }
    void Move(const TVector3D& p)
    {
        if (m_Used + 128 > sizeof m_Buffer)
            Flush();
        char* out = m_Buffer + m_Used;
        *out++ = 'X';
        out = std::to_chars(out, m_Buffer + sizeof m_Buffer, p.X, std::chars_format::fixed, 3).ptr;
        *out++ = ' ';
        *out++ = 'Y';
        out = std::to_chars(out, m_Buffer + sizeof m_Buffer, p.Y, std::chars_format::fixed, 3).ptr;
        *out++ = ' ';
        *out++ = 'Z';
        out = std::to_chars(out, m_Buffer + sizeof m_Buffer, p.Z, std::chars_format::fixed, 3).ptr;
        *out++ = '\r';
        *out++ = '\n';
        m_Used = static_cast<size_t>(out - m_Buffer);
    }

private:
    void Flush()
    {
        if (m_Fd >= 0 && m_Used > 0 && write(m_Fd, m_Buffer, m_Used) != static_cast<ssize_t>(m_Used))
            std::fprintf(stderr, "bare write failed\n");
        m_Used = 0;
    }
    int m_Fd;
    char m_Buffer[1 << 16];
    size_t m_Used = 0;
};

std::string MoveLine(const TVector3D& p)
{
    char buf[128];
    char* out = buf;
    *out++ = 'X';
    out = std::to_chars(out, buf + sizeof buf, p.X, std::chars_format::fixed, 3).ptr;
    *out++ = ' ';
    *out++ = 'Y';
    out = std::to_chars(out, buf + sizeof buf, p.Y, std::chars_format::fixed, 3).ptr;
    *out++ = ' ';
    *out++ = 'Z';
    out = std::to_chars(out, buf + sizeof buf, p.Z, std::chars_format::fixed, 3).ptr;
    return std::string(buf, out) + "\r\n";
}

// The program's frame around the plain moves (start, first moves, end),
// taken from the writer's file: the bare loop copies it as it stands.
struct TFrame {
    std::string Head, Tail;
    bool Found = false;
};

TFrame FrameOf(const std::string& program, int moves)
{
    TFrame frame;
    const std::string second = MoveLine(MovePoint(2));
    const std::string last = MoveLine(MovePoint(moves));
    const size_t head = program.find("\r\n" + second);
    const size_t tail = program.rfind("\r\n" + last);
    if (head == std::string::npos || tail == std::string::npos)
        return frame;
    frame.Head = program.substr(0, head + 2);
    frame.Tail = program.substr(tail + 2 + last.size());
    frame.Found = true;
    return frame;
}

long StatusKiB(const char* key)
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key))
            return std::atol(line.c_str() + std::string_view(key).size());
    return -1;
}

// Resets the peak resident size to the current one.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct TWriterRun {
    double Seconds = 0;
    long PeakGrowthKiB = 0;
};

// The peak is measured from the resident size before the writer first ran
// (with its input built), so buffers the writer keeps count in every run.
TWriterRun WriteWithWriter(TScriveGCode& writer, const TBenchOperation& op, const std::string& file)
{
    static const long before = StatusKiB("VmRSS:");
    fs::remove(file);
    writer.SetFileName(file);
    ResetPeak();
    const auto start = TClock::now();
    WriteProgram(writer, {{OpKind::Contour, false, &op}}, false);
    TWriterRun run;
    run.Seconds = std::chrono::duration<double>(TClock::now() - start).count();
    run.PeakGrowthKiB = StatusKiB("VmHWM:") - before;
    return run;
}

double WriteBare(const TFrame& frame, const TBenchOperation& op, const std::string& file)
{
    const auto start = TClock::now();
    {
        TBareWriter bare(file);
        bare.Text(frame.Head);
        const size_t n = op.Curve.Vertices.size();
        for (size_t i = 2; i < n; ++i)
            bare.Move(op.Curve.Vertices[i].EndPoint);
        bare.Text(frame.Tail);
    }
    return std::chrono::duration<double>(TClock::now() - start).count();
}

size_t LineCount(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

int main(int argc, char** argv)
{
    const int moves = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const fs::path folder = fs::path(argc > 3 ? argv[3] : "/dev/shm") / ("kb_gcode_bench_" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string writerFile = (folder / "writer.nc").string();
    const std::string bareFile = (folder / "bare.nc").string();

    TIniFile ini;
    ini.LoadFromString(ReadAll(std::string(KB_PST_DIR) + "/GRBL_mm.pst"));
    TScriveGCode writer;
    writer.LoadFromIni(ini, "GRBL_mm", true);

    // Peak memory for a quarter of the length and the whole of it.
    // Both inputs stay alive, so that the resident size only changes with the writing.
    const std::unique_ptr<TBenchOperation> op = Contour(moves);
    const std::unique_ptr<TBenchOperation> quarter = Contour(moves / 4);
    const long quarterGrowth = WriteWithWriter(writer, *quarter, writerFile).PeakGrowthKiB;
    const TWriterRun first = WriteWithWriter(writer, *op, writerFile);
    const std::string program = ReadAll(writerFile);
    const TFrame frame = FrameOf(program, moves);
    if (!frame.Found) {
        std::printf("the writer's program does not hold the expected moves\n");
        return 1;
    }
    const size_t lines = LineCount(program);

    double bestWriter = first.Seconds, bestBare = 1e9;
    for (int r = 0; r < rounds; ++r) {
        bestBare = std::min(bestBare, WriteBare(frame, *op, bareFile));
        bestWriter = std::min(bestWriter, WriteWithWriter(writer, *op, writerFile).Seconds);
    }
    const bool identical = ReadAll(bareFile) == ReadAll(writerFile);

    std::printf("GRBL post, %d moves, %zu lines, %.1f MB, best of %d rounds, files in %s\n", moves, lines,
                program.size() / 1e6, rounds, folder.parent_path().c_str());
    std::printf("  writer (program generation to a file): %8.3f s  %9.0f lines/s\n", bestWriter, lines / bestWriter);
    std::printf("  bare to_chars loop, same bytes:        %8.3f s  %9.0f lines/s\n", bestBare, lines / bestBare);
    std::printf("  writer / bare: %.2fx (goal <= 2x); byte-identical: %s\n", bestWriter / bestBare,
                identical ? "yes" : "NO");
    std::printf("  peak resident growth while writing (over the size before the first write): %d moves %ld KiB, %d moves %ld KiB\n", moves / 4, quarterGrowth,
                moves, first.PeakGrowthKiB);
    fs::remove_all(folder);
    return identical ? 0 : 1;
}
