// The program frame of every shipped post, for one fixed program of two
// operations with two tools, compared byte for byte with the files in
// tests/fixtures/nc/frame (checked by eye when they were made). Setting
// KB_UPDATE_GOLDENS=1 writes the files anew instead of comparing.

#include "nc/writer/ScriveGCode.h"

#include "core/settings/AppConfig.h"
#include "tests/nc/writer/GrblWords.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

// What GRBL 1.1 accepts, over the GRBL frames.
TEST(FrameGolden, GrblFramesHoldOnlyWhatGrblAccepts)
{
    for (const TShippedPost& post : kPosts)
        if (std::string(post.Name).rfind("GRBL", 0) == 0)
            kbtest::ExpectGrblAccepts(kbtest::ReadFileText(GoldenFile(post)), post.Name);
}

} // namespace
