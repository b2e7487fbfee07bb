#include "cam/progress/UserBreak_ProgBar.h"

#include "core/settings/Language.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using kbtest::TRecordingNotifier;
using kbtest::TRecordingWorkMonitor;

class UserBreakProgBarTest : public ::testing::Test {
protected:
    UserBreakProgBarTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Bar.Bind(&Monitor, true);
        Bar.SetClock([this] { return Now; });
    }
    ~UserBreakProgBarTest() override { SetLanguageIni(nullptr); }

    TRecordingNotifier Notifier;
    TRecordingWorkMonitor Monitor;
    TUserBreak_ProgBar Bar;
    int64_t Now = 5000;
};

TEST_F(UserBreakProgBarTest, RefreshesOnlyAfterMoreThanASecond)
{
    Monitor.BreakRequested = true;
    Bar.StartProgress();
    EXPECT_EQ(Monitor.StatusMessages, std::vector<std::string>{LangText("445")});
    EXPECT_EQ(Monitor.Progress, std::vector<int>{0});
    const int processed = Monitor.MessagesProcessed;
    // Within the second: no refresh, no event handling, no break.
    Now += 1000;
    EXPECT_FALSE(Bar.StepProgress(8, 1));
    EXPECT_EQ(Monitor.Progress.size(), 1u);
    EXPECT_EQ(Monitor.MessagesProcessed, processed);
    EXPECT_TRUE(Notifier.Messages().empty());
    // One millisecond more refreshes and finds the break.
    Now += 1;
    EXPECT_TRUE(Bar.StepProgress(8, 1));
    EXPECT_EQ(Monitor.Progress.back(), 12);
    EXPECT_EQ(Monitor.MessagesProcessed, processed + 1);
}

TEST_F(UserBreakProgBarTest, PercentRoundsHalvesToEvenAndAnEmptyTotalIsFull)
{
    Bar.StartProgress();
    struct TCase {
        int32_t Total, Done;
        int Shown;
    };
    for (const TCase& c : {TCase{8, 1, 12}, TCase{8, 3, 38}, TCase{8, 8, 100}, TCase{0, 0, 100}, TCase{-3, 1, 100}}) {
        Now += 1001;
        EXPECT_FALSE(Bar.StepProgress(c.Total, c.Done));
        EXPECT_EQ(Monitor.Progress.back(), c.Shown) << c.Done << " of " << c.Total;
    }
}

TEST_F(UserBreakProgBarTest, IndeterminateRunsInSteps)
{
    Bar.StartProgress();
    std::vector<int> shown;
    for (int k = 0; k < 6; ++k) {
        Now += 1001;
        EXPECT_FALSE(Bar.StepIndeterminate());
        shown.push_back(Monitor.Progress.back());
    }
    EXPECT_EQ(shown, (std::vector<int>{20, 40, 60, 80, 100, 20}));
    // No refresh within the second leaves the bar alone.
    EXPECT_FALSE(Bar.StepIndeterminate());
    EXPECT_EQ(Bar.Position(), 20);
}

TEST_F(UserBreakProgBarTest, BreakShowsOneBoxARunAndIsRemembered)
{
    Bar.StartProgress();
    Monitor.BreakRequested = true;
    for (int k = 0; k < 3; ++k) {
        Now += 1001;
        EXPECT_TRUE(Bar.StepIndeterminate());
    }
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    const auto& box = Notifier.Messages()[0];
    EXPECT_EQ(box.Kind, EMessageKind::Warning);
    EXPECT_EQ(box.Caption, LangText("450"));
    EXPECT_EQ(box.Text, LangText("720") + "\r\n" + LangText("721") + "\r\n" + LangText("722"));
    EXPECT_TRUE(Bar.BreakReported());
    Bar.EndProgress();

    // A new run forgets the break: its first report asks again.
    Bar.StartProgress();
    EXPECT_FALSE(Bar.BreakReported());
    Now += 1001;
    EXPECT_TRUE(Bar.StepProgress(4, 1));
    EXPECT_EQ(Notifier.Messages().size(), 2u);
}

TEST_F(UserBreakProgBarTest, CoordinateReadoutHiddenWhileTheBarRuns)
{
    Bar.StartProgress();
    EXPECT_EQ(Monitor.ReadoutVisible, std::vector<bool>{false});
    EXPECT_EQ(Monitor.ProgressHidden, 0);
    Bar.EndProgress();
    EXPECT_EQ(Monitor.ReadoutVisible, (std::vector<bool>{false, true}));
    EXPECT_EQ(Monitor.ProgressHidden, 1);
    EXPECT_EQ(Monitor.StatusMessages.back(), "");
    // A second end does nothing.
    Bar.EndProgress();
    EXPECT_EQ(Monitor.ReadoutVisible.size(), 2u);
}

} // namespace
