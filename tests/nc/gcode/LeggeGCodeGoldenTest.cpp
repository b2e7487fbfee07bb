// The reader on the HEI post's golden program: its feed lines read back
// into the document's moves (end points, arc directions and centres), the
// heights where the dialect writes them.

#include "nc/gcode/LeggeGCode.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/nc/writer/GoldenDocuments.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(LeggeGCodeGolden, HeidenhainProgramReadsBackIntoItsMoves)
{
    const kbtest::TGoldenPost& post = kbtest::kGoldenPosts[4];
    ASSERT_STREQ(post.Name, "HEI_mm");
    const TIniFile ini(PostFileName(KB_DATA_SOURCE_DIR, post.Name));
    TScriveGCode writer;
    writer.LoadFromIni(ini, post.Name, true);
    TLeggeGCode reader;
    reader.LoadFromIni(ini, post.Name, true);
    ASSERT_EQ(reader.Dialect, PostDialect::HEI);
    const auto doc = kbtest::GoldenDocument(post, !writer.CycleTemplates[2].Exploded);
    const std::vector<kbtest::TGoldenFeed> expected = kbtest::GoldenFeeds(*doc, writer, 1.0);

    std::ifstream in(std::string(KB_FIXTURES_DIR) + "/nc/program/HEI_mm.nc");
    std::string line;
    size_t feed = 0;
    int rapids = 0;
    while (std::getline(in, line)) {
        SCOPED_TRACE(line);
        if (!reader.ParseLine(line) || reader.LineKind != TLeggeGCode::lkNumber)
            continue;
        if (reader.MotionCode == 0) {
            ++rapids;
            continue;
        }
        ASSERT_LT(feed, expected.size());
        const kbtest::TGoldenFeed& e = expected[feed++];
        const double tol = 0.0005;
        EXPECT_NEAR(reader.ReaderX, e.X, tol);
        EXPECT_NEAR(reader.ReaderY, e.Y, tol);
        // Moves in the plane carry no Z word in this dialect.
        if (line.find('Z') != std::string::npos) {
            EXPECT_NEAR(reader.ReaderZ, e.Z, tol);
        }
        const int kind = reader.MotionCode == 2 ? -1 : reader.MotionCode == 3 ? 1 : 0;
        EXPECT_EQ(kind, e.Kind);
        if (e.Kind != 0) {
            // "CC" gave the centre, absolute as the post's ArcCenter says.
            ASSERT_EQ(reader.ArcCenter, 1);
            EXPECT_NEAR(reader.ArcI, e.Cx, tol);
            EXPECT_NEAR(reader.ArcJ, e.Cy, tol);
        }
    }
    EXPECT_EQ(feed, expected.size());
    EXPECT_GT(rapids, 10);
}

} // namespace
