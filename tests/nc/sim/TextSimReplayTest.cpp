// The text simulation against an independent reader: the npm package
// gcode-toolpath replays the GRBL golden programs and hand-written ISO
// files without cycles, and every line stepped in the simulation must end
// where that line's moves end (arcs: same direction and centre), within
// 1e-3 mm. Skipped without node, npm or the network.

#include "tests/nc/sim/TextSimulationFixture.h"
#include "tests/nc/writer/GCodeToolpathReplay.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace kbtest {
namespace {

std::string Trimmed(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r");
    const size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

class TextSimReplay : public TTextSimFixture {
protected:
    // Steps every line of the file under the post and compares each with
    // the replay's block of that line.
    void Compare(const std::string& package, const std::string& file, const std::string& post, bool millimetres)
    {
        SCOPED_TRACE(file);
        UsePost(post, millimetres);
        std::ifstream in(file, std::ios::binary);
        std::string line;
        Text.Lines.clear();
        while (std::getline(in, line))
            Text.Lines.push_back(Trimmed(line));
        const std::vector<TReplayBlock> blocks = ReplayBlocks(package, file);
        const double scale = millimetres ? 1.0 : 25.4;
        const double tol = 1e-3;
        size_t block = 0;
        // A tool line puts the simulated height on the rapid plane, which
        // the program does not command: heights are not compared from there
        // to the next line with a Z word.
        bool heightFromToolLine = false;
        Text.Caret = 0;
        int compared = 0;
        for (const std::string& text : Text.Lines) {
            const TVector3D before = Sim.LastPosition().EndPoint;
            Sim.StepText(Text);
            if (text.empty())
                continue;
            SCOPED_TRACE(text);
            ASSERT_LT(block, blocks.size());
            const TReplayBlock& b = blocks[block++];
            ASSERT_EQ(Trimmed(b.Text), text);
            const std::string code = text.substr(0, text.find('('));
            if (text.find("TLDIA=") != std::string::npos)
                heightFromToolLine = true;
            else if (code.find('Z') != std::string::npos)
                heightFromToolLine = false;
            const TAVertice3d& v = Sim.LastPosition();
            const TVector3D end = v.EndPoint;
            if (b.Moves.empty()) {
                EXPECT_NEAR(end.X, before.X, 1e-12);
                EXPECT_NEAR(end.Y, before.Y, 1e-12);
                continue;
            }
            ASSERT_EQ(b.Moves.size(), 1u);
            const TReplayMove& m = b.Moves.back();
            EXPECT_NEAR(end.X * scale, m.X2, tol);
            EXPECT_NEAR(end.Y * scale, m.Y2, tol);
            if (!heightFromToolLine) {
                EXPECT_NEAR(end.Z * scale, m.Z2, tol);
            }
            EXPECT_EQ(v.Kind != 0, m.Arc);
            if (m.Arc) {
                EXPECT_EQ(v.Kind, m.Motion == "G2" ? -1 : 1);
                EXPECT_NEAR(v.Centre.X * scale, m.Cx, tol);
                EXPECT_NEAR(v.Centre.Y * scale, m.Cy, tol);
            }
            ++compared;
        }
        EXPECT_EQ(block, blocks.size());
        EXPECT_GT(compared, 5);
    }

    TTempDir m_Dir;
};

TEST_F(TextSimReplay, StepsEndWhereTheIndependentReplayEnds)
{
    std::string reason;
    const std::string package = ReplayPackageFolder(reason);
    if (package.empty())
        GTEST_SKIP() << "gcode-toolpath replay skipped: " << reason;

    const std::string goldens = std::string(KB_FIXTURES_DIR) + "/nc/program/";
    Compare(package, goldens + "GRBL_mm.nc", "GRBL_mm", true);
    Compare(package, goldens + "GRBL_inch.nc", "GRBL_inch", false);

    const char* handWritten[] = {
        // Radius arcs both ways, centre offsets, modal arcs.
        "(arcs)\nG21 G90\nG0 Z5\nG0 X10 Y0\nG1 Z-1 F200\nG2 X20 Y0 R5\nG2 X30 Y0 R-5\nG3 X40 Y10 R10\n"
        "G3 X50 Y20 R-10\nG2 X60 Y20 I5 J0\nG3 X60 Y30 I0 J5\nG2 X65 Y25 R5\nX70 Y20 R5\nG1 X70 Y40\nG0 Z5\n",
        // Modal lines, leading zeros, a feed alone, blank lines, comments.
        "(lines)\nG90\n\nG00 X0 Y0 Z10\nG00 X5.5 Y-3.25\nG01 Z-0.5 F150\nX15.5\nY6.75 (a corner)\n"
        "X5.5 Y6.75 Z-1\nF400\nY-3.25\n\nG00 Z10\nG0 X-2.125 Y0.5\n",
    };
    int n = 0;
    for (const char* program : handWritten) {
        const std::string file = (m_Dir.Path() / ("hand" + std::to_string(n++) + ".nc")).string();
        std::ofstream(file, std::ios::binary) << program;
        Compare(package, file, "GRBL_mm", true);
    }
}

} // namespace
} // namespace kbtest
