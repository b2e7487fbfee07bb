#include "nc/post/PstEditModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PstEditModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("pstedit-" + std::to_string(::getpid()));
        fs::create_directories(m_Dir);
        std::ofstream(m_Dir / "a.pst") << "[Post]\nPostName=A\n[Start_of_file]\n1=%\n2=G90\n3=G21\n4=G17\n5=M3\n"
                                          "[Drill_Cycle]\nCycle_move=G81\n";
        std::ofstream(m_Dir / "PstComment.txt") << "[Start_of_file]\nDesc=Lines written first.\n1=the first line\n"
                                                   "[Post]\nPostName=the name\n";
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::string Post() const { return (m_Dir / "a.pst").string(); }
    std::string Comments() const { return (m_Dir / "PstComment.txt").string(); }
    fs::path m_Dir;
};

TEST_F(PstEditModel, TabsRowsAndMemo)
{
    TPstEditModel model(Post(), Comments());
    const std::vector<std::string> tabs = model.Tabs();
    ASSERT_EQ(tabs.size(), 3u + 6u); // the file's sections, then the six template sections it lacks
    EXPECT_EQ(tabs[0], "Post");
    EXPECT_EQ(tabs[3], "Tool_change");

    const TPstSectionView tool = model.ReadSection("Tool_change");
    EXPECT_TRUE(tool.Numbered);
    ASSERT_EQ(tool.Rows.size(), 3u);
    EXPECT_EQ(tool.Rows[2].Key, "3");
    EXPECT_EQ(tool.Rows[2].Value, "");

    const TPstSectionView start = model.ReadSection("Start_of_file");
    EXPECT_EQ(start.Memo, "Start_of_file\nLines written first.\n\n1=the first line\n");
    EXPECT_FALSE(start.CycleTest);
    const TPstSectionView post = model.ReadSection("Post");
    EXPECT_FALSE(post.Numbered);
    EXPECT_EQ(post.Rows[0].Key, "PostName");
    EXPECT_EQ(post.Memo, "Post\n\nPostName=the name\n"); // no "Desc": an empty line
    EXPECT_TRUE(model.ReadSection("Drill_Cycle").CycleTest);
}

TEST_F(PstEditModel, TemplateSectionsAreWrittenWholeAndSaveAsKeepsTheOldFile)
{
    TPstEditModel model(Post(), Comments());
    std::vector<TPstRow> rows = model.ReadSection("Start_of_file").Rows;
    rows.pop_back(); // delete the last of five rows
    rows[0].Value = "%%";
    model.SaveSection("Start_of_file", true, rows);
    const std::string before = Slurp(Post());
    EXPECT_EQ(model.Post().ReadSection("Start_of_file"), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Slurp(Post()), before); // in memory only

    std::string error;
    const std::string other = (m_Dir / "b.pst").string();
    ASSERT_TRUE(model.SaveAs(other, error)) << error;
    EXPECT_EQ(model.FileName(), other);
    EXPECT_EQ(Slurp(Post()), before);
    TPstEditModel reread(other, Comments());
    EXPECT_EQ(reread.ReadSection("Start_of_file").Rows.size(), 4u);
    EXPECT_EQ(reread.ReadSection("Start_of_file").Rows[0].Value, "%%");

    model.SaveSection("Post", false, {{"PostName", "B"}});
    ASSERT_TRUE(model.Save(error)) << error;
    EXPECT_EQ(TPstEditModel(other, Comments()).Post().ReadString("Post", "PostName", ""), "B");
    EXPECT_FALSE(model.SaveAs((m_Dir / "missing" / "c.pst").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(model.FileName(), other);
}

} // namespace
