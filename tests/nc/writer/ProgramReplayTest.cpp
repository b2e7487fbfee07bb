// An independent reading of the ISO, GRBL and laser golden programs: the
// npm package gcode-toolpath replays each file (GCodeToolpathReplay.h).
// Outside canned-cycle blocks, which it does not expand, its feed moves must be the document's toolpath (end points, arc centres
// and directions, within the post's rounding), and its rapids that move in
// X or Y must run level at a rapid height of the operations.
// The canned-cycle blocks are read by the test itself: each hole of the
// document's drilling is drilled once, where the document has it. Every cut
// stays within the document's reach: inside the box of its toolpath and not
// below its deepest point. Without node, npm or the network the test is
// skipped, and fails when the CI variable is set.

#include "nc/writer/ScriveGCode.h"

#include "tests/nc/writer/GCodeToolpathReplay.h"
#include "tests/nc/writer/GoldenDocuments.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace {

using TMove = kbtest::TReplayMove;

// The moves of the replay, without those of canned-cycle blocks (from a
// G81..G89 block to its G80).
std::vector<TMove> Replay(const std::string& packageFolder, const std::string& file)
{
    static const std::regex cycleStart(R"(G8[1-9](?![0-9]))");
    static const std::regex cycleEnd(R"(G80(?![0-9]))");
    std::vector<TMove> moves;
    bool inCycle = false, leaveCycle = false;
    for (const kbtest::TReplayBlock& block : kbtest::ReplayBlocks(packageFolder, file)) {
        if (leaveCycle)
            inCycle = leaveCycle = false;
        if (std::regex_search(block.Text, cycleStart))
            inCycle = true;
        if (std::regex_search(block.Text, cycleEnd))
            leaveCycle = inCycle = true;
        if (!inCycle)
            moves.insert(moves.end(), block.Moves.begin(), block.Moves.end());
    }
    return moves;
}

struct THole {
    double X, Y;
};

// The holes of each canned-cycle block of the file, in millimetres: the
// position of the definition line and of every later line of the block
// with an X or Y word (modal X and Y, absolute).
std::vector<std::vector<THole>> CycleHoles(const std::string& text, double scale)
{
    static const std::regex cycleStart(R"(G8[1-9](?![0-9]))");
    static const std::regex cycleEnd(R"(G80(?![0-9]))");
    static const std::regex axis(R"(([XY])\s*(-?[0-9]*\.?[0-9]+))");
    std::vector<std::vector<THole>> blocks;
    double x = 0, y = 0;
    bool inCycle = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string code = line.substr(0, line.find('('));
        bool named = false;
        for (auto it = std::sregex_iterator(code.begin(), code.end(), axis); it != std::sregex_iterator(); ++it) {
            // Not stod: the tests may run under a locale with a decimal comma.
            const std::string number = (*it)[2];
            double v = 0;
            std::from_chars(number.data(), number.data() + number.size(), v);
            v *= scale;
            ((*it)[1] == "X" ? x : y) = v;
            named = true;
        }
        if (std::regex_search(code, cycleEnd)) {
            inCycle = false;
            continue;
        }
        if (std::regex_search(code, cycleStart)) {
            inCycle = true;
            blocks.emplace_back();
            blocks.back().push_back({x, y});
        } else if (inCycle && named) {
            blocks.back().push_back({x, y});
        }
    }
    return blocks;
}

// The XY box and depth the document's toolpaths reach, arcs' circles
// included, in millimetres.
struct TReach {
    double MinX = 1e300, MinY = 1e300, MaxX = -1e300, MaxY = -1e300, MinZ = 1e300;
    void Add(double x, double y, double z)
    {
        MinX = std::min(MinX, x), MaxX = std::max(MaxX, x);
        MinY = std::min(MinY, y), MaxY = std::max(MaxY, y);
        MinZ = std::min(MinZ, z);
    }
    bool Holds(double x, double y, double tol) const
    {
        return x >= MinX - tol && x <= MaxX + tol && y >= MinY - tol && y <= MaxY + tol;
    }
};

TReach DocumentReach(const kbtest::TGoldenDocument& doc, double scale)
{
    TReach reach;
    for (const auto& op : doc.Operations) {
        for (const TCurvaNci3d& curve : op->Curves) {
            for (const TAVertice3d& v : curve.Vertices) {
                reach.Add(v.EndPoint.X * scale, v.EndPoint.Y * scale, v.EndPoint.Z * scale);
                if (v.Kind != 0) {
                    const double r = std::hypot(v.EndPoint.X - v.Centre.X, v.EndPoint.Y - v.Centre.Y) * scale;
                    reach.Add((v.Centre.X * scale) - r, (v.Centre.Y * scale) - r, v.EndPoint.Z * scale);
                    reach.Add((v.Centre.X * scale) + r, (v.Centre.Y * scale) + r, v.EndPoint.Z * scale);
                }
            }
        }
    }
    return reach;
}

// Points along a move: a line's ends, an arc sampled along its sweep.
std::vector<std::pair<double, double>> Along(const TMove& m)
{
    if (!m.Arc)
        return {{m.X1, m.Y1}, {m.X2, m.Y2}};
    const double r = std::hypot(m.X1 - m.Cx, m.Y1 - m.Cy);
    const double a1 = std::atan2(m.Y1 - m.Cy, m.X1 - m.Cx);
    double sweep = std::atan2(m.Y2 - m.Cy, m.X2 - m.Cx) - a1;
    const bool ccw = m.Motion == "G3";
    if (ccw && sweep <= 0)
        sweep += 2 * M_PI;
    if (!ccw && sweep >= 0)
        sweep -= 2 * M_PI;
    std::vector<std::pair<double, double>> points;
    for (int k = 0; k <= 64; ++k) {
        const double a = a1 + sweep * k / 64;
        points.emplace_back(m.Cx + r * std::cos(a), m.Cy + r * std::sin(a));
    }
    return points;
}

TEST(ProgramReplay, IndependentReaderSeesTheToolpath)
{
    std::string reason;
    const std::string package = kbtest::ReplayPackageFolder(reason);
    if (package.empty()) {
        if (const char* ci = std::getenv("CI"); ci && *ci)
            FAIL() << "gcode-toolpath replay needed under CI: " << reason;
        GTEST_SKIP() << "gcode-toolpath replay skipped: " << reason;
    }
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
        const std::string file = std::string(KB_FIXTURES_DIR) + "/nc/program/" + name + ".nc";
        const std::vector<TMove> moves = Replay(package, file);
        const std::vector<kbtest::TGoldenFeed> expected = kbtest::GoldenFeeds(*doc, w, scale);

        // The canned cycles, block by block, against the document's holes.
        std::vector<std::vector<THole>> holes;
        for (const TProgramEntry& entry : doc->Entries) {
            const auto& op = static_cast<const kbtest::TTestOperation&>(*entry.Operation);
            if (entry.Kind != 3 || w.CycleTemplates[static_cast<size_t>(TScriveGCode::DrillingCycle(op) - 1)].Exploded)
                continue;
            holes.emplace_back();
            for (const TCurvaNci3d& curve : op.Curves)
                for (const TAVertice3d& v : curve.Vertices)
                    holes.back().push_back({v.EndPoint.X * scale, v.EndPoint.Y * scale});
        }
        const std::vector<std::vector<THole>> drilled = CycleHoles(kbtest::ReadFileText(file), scale);
        ASSERT_EQ(drilled.size(), holes.size());
        for (size_t b = 0; b < holes.size(); ++b) {
            SCOPED_TRACE("cycle block " + std::to_string(b));
            ASSERT_EQ(drilled[b].size(), holes[b].size()) << "each hole drilled once";
            for (size_t h = 0; h < holes[b].size(); ++h) {
                EXPECT_NEAR(drilled[b][h].X, holes[b][h].X, tol) << h;
                EXPECT_NEAR(drilled[b][h].Y, holes[b][h].Y, tol) << h;
            }
        }

        // Every cut within the document's reach.
        const TReach reach = DocumentReach(*doc, scale);
        for (const TMove& m : moves) {
            if (m.Motion == "G0")
                continue;
            for (const auto& [x, y] : Along(m))
                EXPECT_TRUE(reach.Holds(x, y, tol)) << "cut at " << x << " " << y;
            EXPECT_GE(std::min(m.Z1, m.Z2), reach.MinZ - tol);
        }
        for (const auto& block : drilled)
            for (const THole& hole : block)
                EXPECT_TRUE(reach.Holds(hole.X, hole.Y, tol)) << "hole at " << hole.X << " " << hole.Y;

        std::vector<TMove> feeds;
        for (const TMove& m : moves)
            if (m.Motion != "G0")
                feeds.push_back(m);
        ASSERT_EQ(feeds.size(), expected.size());
        for (size_t i = 0; i < feeds.size(); ++i) {
            SCOPED_TRACE("feed move " + std::to_string(i));
            const TMove& m = feeds[i];
            const kbtest::TGoldenFeed& e = expected[i];
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
