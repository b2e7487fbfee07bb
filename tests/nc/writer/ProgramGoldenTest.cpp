// Every shipped post writes the fixed document of its family through
// program generation; the programs are compared byte for byte with the
// files in tests/fixtures/nc/program (checked by eye when they were made).
// Setting KB_UPDATE_GOLDENS=1 writes the files anew instead of comparing.

#include "nc/writer/ProgramGeneration.h"

#include "core/settings/Language.h"
#include "nc/writer/ScriveGCode.h"
#include "tests/nc/writer/GoldenDocuments.h"
#include "tests/nc/writer/GrblWords.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using kbtest::TGoldenPost;

std::string GoldenFile(const TGoldenPost& post)
{
    return std::string(KB_FIXTURES_DIR) + "/nc/program/" + post.Name + ".nc";
}

TEST(ProgramGolden, EveryShippedPostWritesItsDocument)
{
    kbtest::TRecordingNotifier notifier;
    const bool update = std::getenv("KB_UPDATE_GOLDENS") != nullptr;
    for (const TGoldenPost& post : kbtest::kGoldenPosts) {
        SCOPED_TRACE(post.Name);
        kbtest::TTempDir dir;
        TScriveGCode w;
        w.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, post.Name)), post.Name, post.Millimetres);
        w.SetFileName(dir.File("part.nc"));
        const bool cannedTapping = !w.CycleTemplates[2].Exploded;
        const auto doc = kbtest::GoldenDocument(post, cannedTapping);
        WriteProgram(w, doc->Entries, false);
        EXPECT_TRUE(notifier.Messages().empty());
        const std::string written = kbtest::ReadFileText(dir.File("part.nc"));
        if (update) {
            std::filesystem::create_directories(std::filesystem::path(GoldenFile(post)).parent_path());
            kbtest::WriteFileText(GoldenFile(post), written);
        }
        EXPECT_EQ(written, kbtest::ReadFileText(GoldenFile(post)));
    }
}

TEST(ProgramGolden, GrblProgramsHoldOnlyWhatGrblAccepts)
{
    for (const char* name : {"GRBL_mm", "GRBL_inch", "Laser_GRBL_mm"})
        kbtest::ExpectGrblAccepts(kbtest::ReadFileText(std::string(KB_FIXTURES_DIR) + "/nc/program/" + name + ".nc"),
                                  name);
}

} // namespace
