// The program frame of every shipped post, for one fixed program of two
// operations with two tools, compared byte for byte with the files in
// tests/fixtures/nc/frame (checked by eye when they were made). Setting
// KB_UPDATE_GOLDENS=1 writes the files anew instead of comparing.

#include "nc/writer/ScriveGCode.h"

#include "core/settings/AppConfig.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

using kbtest::TTestOperation;

struct TShippedPost {
    const char* Name;
    bool Millimetres;
};
const TShippedPost kPosts[] = {
    {"Mach2-3_mm", true}, {"Mach2-3_inch", false}, {"GRBL_mm", true}, {"GRBL_inch", false}};

// Start, no change for the first tool, a tool change, the end; saved.
std::string WriteFrame(const TShippedPost& post, const std::string& folder)
{
    TAppConfig config(folder);
    config.SetUnit(post.Millimetres);
    const double u = post.Millimetres ? 1.0 : 1.0 / 25;

    TTestOperation contour(1), holes(2);
    contour.Tool->ToolName = "Endmill 6";
    contour.Tool->Diameter = 6 * u;
    contour.Tool->SpindleSpeed = 12000;
    contour.Tool->Feed = 800 * u;
    contour.Tool->PlungeFeed = 300 * u;
    contour.Text = "Outline";
    contour.Rapid = 5 * u;
    contour.AddCurve({{10 * u, 5 * u, -1 * u}, {50 * u, 5 * u, -1 * u}});
    holes.Tool->ToolName = "Drill (3mm)";
    holes.Tool->Diameter = 3 * u;
    holes.Tool->SpindleSpeed = 10000;
    holes.Tool->SpindleChoice = 1;
    holes.Tool->Coolant = true;
    holes.Text = "Holes";
    holes.Rapid = 2.5 * u;
    holes.AddCurve({}).AddCurve({{20 * u, 30 * u, -2 * u}});

    TScriveGCode w;
    w.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, post.Name)), post.Name, post.Millimetres);
    w.SetFileName(folder + "/part.nc");
    w.ClearOutput();
    EXPECT_TRUE(w.BeginProgram(contour));
    w.ToolChange(contour);
    w.ToolChange(holes);
    w.EndProgram(holes);
    w.SaveProgram();
    return kbtest::ReadFileText(w.OutputFileName());
}

std::string GoldenFile(const TShippedPost& post)
{
    return std::string(KB_FIXTURES_DIR) + "/nc/frame/" + post.Name + ".nc";
}

TEST(FrameGolden, EveryShippedPostWritesItsFrame)
{
    const bool update = std::getenv("KB_UPDATE_GOLDENS") != nullptr;
    for (const TShippedPost& post : kPosts) {
        SCOPED_TRACE(post.Name);
        kbtest::TTempDir dir;
        const std::string written = WriteFrame(post, dir.Path().string());
        if (update) {
            std::filesystem::create_directories(std::filesystem::path(GoldenFile(post)).parent_path());
            kbtest::WriteFileText(GoldenFile(post), written);
        }
        EXPECT_EQ(written, kbtest::ReadFileText(GoldenFile(post)));
    }
}

// What GRBL 1.1 accepts: lines under 80 characters; the letters and codes of
// its G-code table; no tool-length or cutter compensation, no M6, no
// program number, no canned cycle.
TEST(FrameGolden, GrblFramesHoldOnlyWhatGrblAccepts)
{
    const std::set<std::string> gCodes = {"0",  "1",  "2",  "3",  "4",  "10", "17", "18", "19", "20", "21",
                                          "28", "30", "40", "49", "53", "54", "55", "56", "57", "58", "59",
                                          "61", "80", "90", "91", "92", "93", "94"};
    const std::set<std::string> mCodes = {"0", "1", "2", "3", "4", "5", "7", "8", "9", "30"};
    const std::string letters = "FGIJKLMNPRSTXYZ";
    for (const TShippedPost& post : kPosts) {
        if (std::string(post.Name).rfind("GRBL", 0) != 0)
            continue;
        const std::string text = kbtest::ReadFileText(GoldenFile(post));
        ASSERT_FALSE(text.empty()) << post.Name;
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find("\r\n", start);
            ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
            const std::string line = text.substr(start, end - start);
            start = end + 2;
            SCOPED_TRACE(std::string(post.Name) + ": " + line);
            EXPECT_LT(line.size(), 80u);
            size_t i = 0;
            while (i < line.size()) {
                const char c = line[i];
                if (c == ' ') {
                    ++i;
                } else if (c == '(') {
                    const size_t close = line.find(')', i);
                    ASSERT_NE(close, std::string::npos);
                    EXPECT_EQ(line.substr(i + 1, close - i - 1).find('('), std::string::npos) << "nested comment";
                    i = close + 1;
                } else {
                    ASSERT_NE(letters.find(c), std::string::npos) << "letter " << c;
                    size_t j = i + 1;
                    while (j < line.size() && (std::isdigit(static_cast<unsigned char>(line[j])) || line[j] == '.' ||
                                               line[j] == '-'))
                        ++j;
                    const std::string number = line.substr(i + 1, j - i - 1);
                    ASSERT_FALSE(number.empty()) << "letter " << c << " without a number";
                    if (c == 'G') {
                        EXPECT_TRUE(gCodes.count(number)) << "G" << number;
                    } else if (c == 'M') {
                        EXPECT_TRUE(mCodes.count(number)) << "M" << number;
                    }
                    i = j;
                }
            }
        }
    }
}

} // namespace
