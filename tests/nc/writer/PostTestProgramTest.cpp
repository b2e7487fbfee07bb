#include "nc/writer/PostTest.h"

#include "core/settings/AppConfig.h"
#include "nc/writer/ScriveGCode.h"
#include "tests/nc/writer/GoldenDocuments.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PostTestProgram, WritesTheCycleOrTheContourAndKeepsTheOutputName)
{
    const fs::path dir = fs::temp_directory_path() / ("posttest-" + std::to_string(::getpid()));
    fs::create_directories(dir / "pst");
    fs::copy_file(fs::path(KB_DATA_SOURCE_DIR) / "pst" / "Mach2-3_mm.pst", dir / "pst" / "Mach2-3_mm.pst");
    const std::string previousPost = AppConfig().Pst;
    AppConfig().Pst = "Mach2-3_mm";
    GCodeWriter().SetFileName("/somewhere/last.nc");

    const std::string drilling = WritePostTestProgram(true, dir.string(), dir.string());
    ASSERT_EQ(drilling, (dir / "test.nc").string());
    EXPECT_NE(Slurp(drilling).find("G81"), std::string::npos) << Slurp(drilling);
    EXPECT_EQ(GCodeWriter().OutputFileName(), "/somewhere/last.nc");

    const std::string contour = WritePostTestProgram(false, dir.string(), dir.string());
    ASSERT_FALSE(contour.empty());
    const std::string text = Slurp(contour);
    EXPECT_EQ(text.find("G81"), std::string::npos);
    EXPECT_NE(text.find("G3"), std::string::npos) << text;
    EXPECT_NE(text.find("X10.000 Y5.000"), std::string::npos) << text;
    EXPECT_EQ(GCodeWriter().OutputFileName(), "/somewhere/last.nc");

    AppConfig().Pst = previousPost;
    fs::remove_all(dir);
}

// The test program of every shipped post, both modes, against the files in
// tests/fixtures/nc/posttest (KB_UPDATE_GOLDENS=1 writes them anew).
TEST(PostTestProgram, EveryShippedPostWritesItsGoldenTestPrograms)
{
    const bool update = std::getenv("KB_UPDATE_GOLDENS") != nullptr;
    const std::string previousPost = AppConfig().Pst;
    kbtest::TRecordingNotifier notifier; // the scratch folder has no tool library
    for (const kbtest::TGoldenPost& post : kbtest::kGoldenPosts) {
        const std::string name = post.Name;
        for (const bool cycle : {true, false}) {
            SCOPED_TRACE(name + (cycle ? " cycle" : " contour"));
            kbtest::TTempDir dir;
            const fs::path config(dir.File("config"));
            fs::create_directories(config / "pst");
            fs::copy_file(fs::path(KB_DATA_SOURCE_DIR) / "pst" / (name + ".pst"), config / "pst" / (name + ".pst"));
            AppConfig().Pst = name;
            GCodeWriter().SetFileName("/somewhere/last.nc");
            const std::string written = WritePostTestProgram(cycle, config.string(), dir.File(""));
            EXPECT_EQ(GCodeWriter().OutputFileName(), "/somewhere/last.nc");
            ASSERT_FALSE(written.empty());
            const std::string golden = std::string(KB_FIXTURES_DIR) + "/nc/posttest/" + name +
                                       (cycle ? "-cycle" : "-contour") + fs::path(written).extension().string();
            if (update) {
                fs::create_directories(fs::path(golden).parent_path());
                kbtest::WriteFileText(golden, kbtest::ReadFileText(written));
            }
            EXPECT_EQ(kbtest::ReadFileText(written), kbtest::ReadFileText(golden));
        }
    }
    AppConfig().Pst = previousPost;
}

} // namespace
