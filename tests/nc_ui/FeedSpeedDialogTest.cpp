#include "nc/ui/FeedSpeedDialog.h"

#include "tests/support/RecordingNotifier.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Text(const TfrmFeedSpeed& form, const char* name)
{
    return form.findChild<QLineEdit*>(name)->text();
}

void Retype(TfrmFeedSpeed& form, const char* name, const char* keys)
{
    auto* edit = form.findChild<QLineEdit*>(name);
    edit->selectAll();
    QTest::keyClicks(edit, keys); // the first key replaces the selection
}

} // namespace

TEST(FeedSpeedDialog, ShowComputesAndEditsFollow)
{
    kbtest::TRecordingNotifier notifier;
    TfrmFeedSpeed form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Speed and Feed");
    EXPECT_EQ(Text(form, "txtClipB"), "S2387 F955");

    Retype(form, "txtFSDia", "8");
    EXPECT_EQ(Text(form, "txtFSRpm"), "1194");
    EXPECT_EQ(Text(form, "txtFSFeed"), "477");
    EXPECT_EQ(Text(form, "txtFSDia"), "8");

    form.findChildren<QRadioButton*>()[1]->click(); // inch
    EXPECT_EQ(form.findChild<QLabel*>("lblFSSFM")->text(), "Cutting Speed (V) feet/min.:");
    EXPECT_EQ(Text(form, "txtFSRpm"), "14"); // 30 x 12 / (pi x 8) = 14.3
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST(FeedSpeedDialog, CommaTypesAPointAndBadFieldsShowNoResult)
{
    kbtest::TRecordingNotifier notifier;
    TfrmFeedSpeed form;
    form.show();
    Retype(form, "txtFSFeedT", "0,2");
    EXPECT_EQ(Text(form, "txtFSFeedT"), "0.2");
    EXPECT_EQ(Text(form, "txtFSFeed"), "1910");

    notifier.Clear();
    Retype(form, "txtFSDia", "0");
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages().back().Text, "Floating point division by zero");
    // No speed or feed for a cutter of no size, not those of the last one.
    EXPECT_EQ(Text(form, "txtFSDia"), "0");
    EXPECT_EQ(Text(form, "txtFSRpm"), "");
    EXPECT_EQ(Text(form, "txtFSFeed"), "");
    EXPECT_EQ(Text(form, "txtClipB"), "");
    Retype(form, "txtFSDia", "8");
    EXPECT_EQ(Text(form, "txtFSRpm"), "1194");
    EXPECT_EQ(Text(form, "txtClipB"), "S1194 F955"); // 4 x 0.2 x 1194
}
