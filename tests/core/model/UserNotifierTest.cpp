#include "core/model/UserNotifier.h"
#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

namespace user_notifier_test {

TEST(UserNotifier, WithoutAGuiMessagesGoToStderrAndQuestionsGetYes)
{
    testing::internal::CaptureStderr();
    UserNotifier().ShowMessage(EMessageKind::Warning, "Disk full", "Save");
    const EUserAnswer answer = UserNotifier().AskYesNo("Draw the grid?", "");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, EUserAnswer::Yes);
    EXPECT_NE(err.find("warning [Save]: Disk full\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Draw the grid?"), std::string::npos) << err;
}

TEST(UserNotifier, AnInstalledNotifierTakesEveryMessageUntilItIsReplaced)
{
    {
        kbtest::TRecordingNotifier outer;
        {
            kbtest::TRecordingNotifier inner;
            inner.QueueAnswer(EUserAnswer::No);
            inner.DefaultAnswer = EUserAnswer::Dismissed;
            EXPECT_EQ(UserNotifier().AskYesNo("Quit?", "Kestrabel"), EUserAnswer::No);
            EXPECT_EQ(UserNotifier().AskYesNo("Quit?", "Kestrabel"), EUserAnswer::Dismissed);
            ASSERT_EQ(inner.Messages().size(), 2u);
            EXPECT_TRUE(inner.Messages()[0].Question);
            EXPECT_EQ(inner.Messages()[0].Caption, "Kestrabel");
        }
        UserNotifier().ShowMessage(EMessageKind::Information, "Done", "");
        ASSERT_EQ(outer.Messages().size(), 1u);
        EXPECT_EQ(outer.Messages()[0].Kind, EMessageKind::Information);
        EXPECT_EQ(outer.Messages()[0].Text, "Done");
    }
    EXPECT_EQ(SetUserNotifier(nullptr), nullptr); // the default is back
}

}  // namespace user_notifier_test
