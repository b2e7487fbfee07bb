#include "nc/ui/frmPstEdit.h"

#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/support/RecordingNotifier.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int TabIndex(const QTabBar& tabs, const char* name)
{
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.tabText(i) == name)
            return i;
    return -1;
}

TEST(PstEditDialog, EditsGoToMemoryThenToTheFile)
{
    kbtest::TRecordingNotifier notifier;
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    const std::string previousPost = AppConfig().Pst;
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directories(folder + "/pst");
    const std::string post = folder + "/pst/P.pst";
    std::ofstream(post) << "[Post]\nPostName=P\n[Start_of_file]\n1=%\n2=G90\n3=G21\n4=G17\n5=M3\n[Drill_Cycle]\n1=G81\n";
    const std::string original = Slurp(post);

    TfrmPstEdit form(folder, "P");
    QTabBar& tabs = *form.Tabs();
    ASSERT_GE(TabIndex(tabs, "Tool_change"), 0); // a template section the file lacks
    auto* save = form.findChild<QPushButton*>("sbtPstSave");
    auto* test = form.findChild<QPushButton*>("sbtPstTest");
    EXPECT_FALSE(save->isEnabled());

    form.PstTabItemClick(TabIndex(tabs, "Tool_change"));
    EXPECT_EQ(form.Grid()->rowCount(), 3);
    EXPECT_EQ(form.Grid()->verticalHeaderItem(2)->text(), "3");

    // Delete the last of five rows: the grid changes, Save wakes, Test sleeps.
    form.PstTabItemClick(TabIndex(tabs, "Start_of_file"));
    form.Grid()->setCurrentCell(4, 0);
    form.mnuEdPstDelClick();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_FALSE(test->isEnabled());
    // Another tab stores the section in memory only.
    form.PstTabItemClick(TabIndex(tabs, "Post"));
    EXPECT_FALSE(form.Changed());
    EXPECT_EQ(Slurp(post), original);
    EXPECT_EQ(form.Grid()->verticalHeaderItem(0)->text(), "PostName");
    form.sbtPstSaveClick();
    EXPECT_TRUE(test->isEnabled());
    TPstEditModel reread(post, folder + "/pst/PstComment.txt");
    EXPECT_EQ(reread.Post().ReadSection("Start_of_file"), (std::vector<std::string>{"1", "2", "3", "4"}));

    // Save As: the new name becomes the current post, the old file stays.
    form.Grid()->item(0, 0)->setText("Q");
    const std::string saved = Slurp(post);
    notifier.QueueFileName(folder + "/pst/Q.pst");
    form.sbtPstSaveAsClick();
    EXPECT_EQ(AppConfig().Pst, "Q");
    EXPECT_EQ(form.PostName(), "Q");
    EXPECT_EQ(Slurp(post), saved);
    EXPECT_NE(Slurp(folder + "/pst/Q.pst").find("PostName=Q"), std::string::npos);

    // Test: a drilling program on a Cycle tab, a contour elsewhere; the
    // written program shows in the memo.
    std::vector<bool> runs;
    const std::string program = folder + "/test.nc";
    std::ofstream(program) << "G81 X0 Y0\r\n";
    form.SetTestProgram([&](bool cycle) {
        runs.push_back(cycle);
        return program;
    });
    form.PstTabItemClick(TabIndex(tabs, "Drill_Cycle"));
    EXPECT_EQ(test->text(), "Test cycle");
    form.SbtPstTestClick();
    form.PstTabItemClick(TabIndex(tabs, "Post"));
    form.SbtPstTestClick();
    EXPECT_EQ(runs, (std::vector<bool>{true, false}));
    EXPECT_TRUE(form.Memo()->toPlainText().startsWith("G81"));
    AppConfig().Pst = previousPost;
    SetLanguageIni(nullptr);
}

} // namespace
