// An independent reading of the ISO, GRBL and laser golden programs: the
// npm package gcode-toolpath replays each file (GCodeToolpathReplay.h).
// Outside canned-cycle blocks, which it does not expand, its feed moves must be the document's toolpath (end points, arc centres
// and directions, within the post's rounding), and its rapids that move in
// X or Y must run level at a rapid height of the operations.
// Without node, npm or the network the test is skipped.

#include "nc/writer/ScriveGCode.h"

#include "tests/nc/writer/GCodeToolpathReplay.h"
#include "tests/nc/writer/GoldenDocuments.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

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

TEST(ProgramReplay, IndependentReaderSeesTheToolpath)
{
    std::string reason;
    const std::string package = kbtest::ReplayPackageFolder(reason);
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
        const std::vector<kbtest::TGoldenFeed> expected = kbtest::GoldenFeeds(*doc, w, scale);

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
