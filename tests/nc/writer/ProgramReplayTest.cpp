// An independent reading of the ISO, GRBL and laser golden programs: the
// npm package gcode-toolpath replays each file (tests/nc/writer/
// replay_gcode.js). Outside canned-cycle blocks, which it does not expand,
// its feed moves must be the document's toolpath (end points, arc centres
// and directions, within the post's rounding), and its rapids that move in
// X or Y must run level at a rapid height of the operations.
//
// The package is installed at test time into a cache folder (KB_NPM_CACHE,
// or one below the temporary folder); without node, npm or the network the
// test is skipped.

#include "nc/writer/ScriveGCode.h"

#include "tests/nc/writer/GoldenDocuments.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct TMove {
    bool Arc = false;
    std::string Motion;
    double X1 = 0, Y1 = 0, Z1 = 0, X2 = 0, Y2 = 0, Z2 = 0, Cx = 0, Cy = 0;
};

struct TFeed {
    double X, Y, Z;
    int Kind = 0;
    double Cx = 0, Cy = 0;
};

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

// Runs a shell command; its standard output, or nothing when it failed.
std::optional<std::string> Run(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    if (pclose(pipe) != 0)
        return std::nullopt;
    return out;
}

// The folder holding node_modules/gcode-toolpath, installed when missing;
// empty with the reason when that cannot be done.
std::string PackageFolder(std::string& reason)
{
    if (!Run("command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 && echo")) {
        reason = "node or npm is not installed";
        return {};
    }
    const char* env = std::getenv("KB_NPM_CACHE");
    const fs::path folder = env && *env ? fs::path(env)
                                        : fs::temp_directory_path() / ("kestrabel-npm-" + std::to_string(getuid()));
    if (fs::exists(folder / "node_modules/gcode-toolpath/package.json"))
        return folder.string();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!Run("timeout 180 npm install --prefix " + Quoted(folder.string()) +
             " --no-audit --no-fund --loglevel=error gcode-toolpath@3.0.0 >/dev/null 2>&1 && echo")) {
        reason = "npm could not install gcode-toolpath (no network?)";
        return {};
    }
    return folder.string();
}

// The moves of the replay, without those of canned-cycle blocks (from a
// G81..G89 block to its G80).
std::vector<TMove> Replay(const std::string& packageFolder, const std::string& file)
{
    const std::string script = std::string(KB_FIXTURES_DIR) + "/../nc/writer/replay_gcode.js";
    const std::optional<std::string> out =
        Run("NODE_PATH=" + Quoted(packageFolder + "/node_modules") + " node " + Quoted(script) + " " + Quoted(file));
    EXPECT_TRUE(out.has_value()) << "replay failed: " << file;
    static const std::regex cycleStart(R"(G8[1-9](?![0-9]))");
    static const std::regex cycleEnd(R"(G80(?![0-9]))");
    std::vector<TMove> moves;
    bool inCycle = false, leaveCycle = false;
    std::istringstream lines(out.value_or(""));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0) {
            if (leaveCycle)
                inCycle = leaveCycle = false;
            if (std::regex_search(line, cycleStart))
                inCycle = true;
            if (std::regex_search(line, cycleEnd))
                leaveCycle = inCycle = true;
            continue;
        }
        if (inCycle)
            continue;
        std::istringstream words(line);
        std::string type;
        TMove m;
        double cz = 0;
        words >> type >> m.Motion >> m.X1 >> m.Y1 >> m.Z1 >> m.X2 >> m.Y2 >> m.Z2;
        m.Arc = type == "A";
        if (m.Arc)
            words >> m.Cx >> m.Cy >> cz;
        moves.push_back(m);
    }
    return moves;
}

// The feed moves the document asks of the post, in program order, in
// millimetres; canned cycles left out.
std::vector<TFeed> ExpectedFeeds(const kbtest::TGoldenDocument& doc, const TScriveGCode& w, double scale)
{
    std::vector<TFeed> feeds;
    auto push = [&](const TAVertice3d& v) {
        feeds.push_back({v.EndPoint.X * scale, v.EndPoint.Y * scale, v.EndPoint.Z * scale, v.Kind, v.Centre.X * scale,
                         v.Centre.Y * scale});
    };
    for (const TProgramEntry& entry : doc.Entries) {
        const kbtest::TTestOperation& op = static_cast<const kbtest::TTestOperation&>(*entry.Operation);
        for (const TCurvaNci3d& curve : op.Curves) {
            const auto& v = curve.Vertices;
            if (v.empty())
                continue;
            switch (entry.Kind) {
            case 3: { // drilling: each hole fed down, deep holes in pecks
                const int cycle = TScriveGCode::DrillingCycle(op);
                if (!w.CycleTemplates[static_cast<size_t>(cycle - 1)].Exploded)
                    break;
                const double peck = std::fabs(op.Step);
                for (TAVertice3d hole : v) {
                    if (cycle == 2) {
                        const double bottom = hole.EndPoint.Z;
                        for (double z = op.Top - peck; z > bottom; z -= peck) {
                            hole.EndPoint.Z = z;
                            push(hole);
                        }
                        hole.EndPoint.Z = bottom;
                    }
                    push(hole);
                }
                break;
            }
            case 8: // engraving lines from their first point on; dots have no feed move
                if (curve.Code == 76 || curve.Code == 78)
                    for (const TAVertice3d& p : v)
                        push(p);
                break;
            default: // the plunge (with Z), then every later vertex
                if (!w.OmitZ && entry.Kind != 9)
                    push(v.front());
                for (size_t i = 1; i < v.size(); ++i)
                    push(v[i]);
                break;
            }
        }
    }
    return feeds;
}

TEST(ProgramReplay, IndependentReaderSeesTheToolpath)
{
    std::string reason;
    const std::string package = PackageFolder(reason);
    if (package.empty())
        GTEST_SKIP() << "gcode-toolpath replay skipped: " << reason;
    for (const kbtest::TGoldenPost& post : kbtest::kGoldenPosts) {
        const std::string name = post.Name;
        if (name.rfind("Mach2-3", 0) != 0 && name.find("GRBL") == std::string::npos)
            continue;
        SCOPED_TRACE(name);
        TScriveGCode w;
        w.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, post.Name)), post.Name, post.Millimetres);
        const auto doc = kbtest::GoldenDocument(post, !w.CycleTemplates[2].Exploded);
        const double scale = post.Millimetres ? 1.0 : 25.4;
        // Half a unit of the last written decimal, in millimetres.
        const double tol = (post.Millimetres ? 0.0005 : 0.00005) * scale + 1e-9;
        const std::vector<TMove> moves = Replay(package, std::string(KB_FIXTURES_DIR) + "/nc/program/" + name + ".nc");
        const std::vector<TFeed> expected = ExpectedFeeds(*doc, w, scale);

        std::vector<TMove> feeds;
        for (const TMove& m : moves)
            if (m.Motion != "G0")
                feeds.push_back(m);
        ASSERT_EQ(feeds.size(), expected.size());
        for (size_t i = 0; i < feeds.size(); ++i) {
            SCOPED_TRACE("feed move " + std::to_string(i));
            const TMove& m = feeds[i];
            const TFeed& e = expected[i];
            EXPECT_NEAR(m.X2, e.X, tol);
            EXPECT_NEAR(m.Y2, e.Y, tol);
            EXPECT_NEAR(m.Z2, e.Z, tol);
            EXPECT_EQ(m.Arc, e.Kind != 0);
            if (e.Kind != 0) {
                EXPECT_EQ(m.Motion, e.Kind == 1 ? "G3" : "G2");
                EXPECT_NEAR(m.Cx, e.Cx, 2 * tol);
                EXPECT_NEAR(m.Cy, e.Cy, 2 * tol);
            }
        }

        if (w.OmitZ)
            continue;
        std::vector<double> heights;
        for (const auto& op : doc->Operations)
            heights.push_back(op->Rapid * scale);
        for (const TMove& m : moves) {
            if (m.Motion != "G0" || (std::fabs(m.X2 - m.X1) <= tol && std::fabs(m.Y2 - m.Y1) <= tol))
                continue;
            SCOPED_TRACE("rapid to " + std::to_string(m.X2) + " " + std::to_string(m.Y2));
            EXPECT_NEAR(m.Z1, m.Z2, tol) << "level";
            bool atRapidHeight = false;
            for (double h : heights)
                atRapidHeight = atRapidHeight || std::fabs(m.Z2 - h) <= tol;
            EXPECT_TRUE(atRapidHeight) << "at Z " << m.Z2;
        }
    }
}

} // namespace
