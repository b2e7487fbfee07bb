#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace language_test {

namespace {

// Writes "<dir>/languages/<language>.lng" as the program folder would hold it.
void WriteLanguage(const kbtest::TTempDir& dir, const std::string& language, const std::string& text)
{
    std::filesystem::create_directories(dir.Path() / "languages");
    kbtest::WriteFileText((dir.Path() / "languages" / (language + ".lng")).string(), text);
}

// Keeps the current language file of the program away from other tests.
class LanguageLookup : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageIni(nullptr); }
    kbtest::TTempDir m_Dir;
};

} // namespace

TEST_F(LanguageLookup, SectionBoundLookupsReadTheirSectionAndKey)
{
    WriteLanguage(m_Dir, "test",
                  "[String]\r\n450=Error\r\n477A=Select objects\r\nEmpty=\r\n"
                  "[frmMain]\r\n309=Layer\r\nsbtLayer.Caption=Main caption\r\nsbtLayer.Hint=Main hint\r\n"
                  "[frmToolWin]\r\nstrVec1=Tool text\r\nlblEti1.Caption=Label\r\n"
                  "[frmGRBL]\r\nbtnZero.Caption=Zero\r\n");
    auto ini = OpenLanguageFile(m_Dir.Path().string(), "test");
    ASSERT_TRUE(ini);
    EXPECT_EQ(LanguageFilePath(), (m_Dir.Path() / "languages" / "test.lng").string());
    SetLanguageIni(std::move(ini));

    struct TCase {
        std::string Got;
        const char* Expected;
    };
    const TCase cases[] = {
        {LangText("450"), "Error"},
        {LangText("477a"), "Select objects"}, // keys compare without case, as in ini files
        {LangMainText("309"), "Layer"},
        {LangMainCaption("sbtLayer"), "Main caption"},
        {LangMainHint("sbtLayer"), "Main hint"},
        {LangToolWinText("strVec1"), "Tool text"},
        {LangToolWinCaption("lblEti1"), "Label"},
        {LangGRBLCaption("btnZero"), "Zero"},
        {ReadLangText("frmGRBL", "btnZero.Caption"), "Zero"},
        // Missing keys, sections and empty values all give the empty text.
        {LangText("999"), ""},
        {LangText("Empty"), ""},
        {LangText("309"), ""},           // a key of another section
        {LangMainHint("lblEti1"), ""},
        {ReadLangText("frmNone", "x"), ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].Got, cases[i].Expected) << "case " << i;

    SetLanguageIni(nullptr);
    EXPECT_EQ(LangText("450"), "");
    EXPECT_EQ(LangMainCaption("sbtLayer"), "");
}

TEST(LanguageText, SeparatorsBecomeLineBreaksAndLeadingOnesGiveOne)
{
    struct TCase {
        const char* Value;
        const char* Expected;
    };
    const TCase cases[] = {
        {"plain text", "plain text"},
        {"one*|*two*|*three", "one\r\ntwo\r\nthree"},
        {"*|*rest", "\r\nrest"},
        {"*|**|**|*rest", "\r\nrest"}, // a run of leading separators: one break
        {"a*|**|*b", "a\r\n\r\nb"},    // empty pieces after the first text count
        {"end*|*", "end\r\n"},
        {"*|*", "\r\n"},
        {"*|*|*x", "\r\n|*x"},         // the first three characters form the separator
        {"a*|b", "a*|b"},
    };
    for (const TCase& c : cases) {
        TIniFile ini;
        ini.LoadFromString(std::string("[S]\nK=") + c.Value + "\n");
        EXPECT_EQ(ReadLangText(&ini, "S", "K"), c.Expected) << c.Value;
    }
    EXPECT_EQ(ReadLangText(nullptr, "S", "K"), "");
}

TEST_F(LanguageLookup, FilesThatCannotBeLanguageFilesOpenAsNothing)
{
    const std::filesystem::path folder = m_Dir.Path() / "languages";
    std::filesystem::create_directories(folder / "folder.lng");
    ASSERT_EQ(mkfifo((folder / "fifo.lng").c_str(), 0600), 0); // would block a plain read
    kbtest::WriteFileText((folder / "huge.lng").string(), "[String]\n450=x\n");
    std::filesystem::resize_file(folder / "huge.lng", 17u * 1024u * 1024u);

    for (const char* language : {"missing", "folder", "fifo", "huge"}) {
        EXPECT_FALSE(OpenLanguageFile(m_Dir.Path().string(), language)) << language;
        EXPECT_EQ(LanguageFilePath(), (folder / (std::string(language) + ".lng")).string());
    }

    // Bytes that are no ini text still open; lookups find nothing in them.
    kbtest::WriteFileBytes((folder / "noise.lng").string(), {0, 0xFF, '[', '=', '\r', ']', 0x80, '=', '\n'});
    auto ini = ReadLanguageFile((folder / "noise.lng").string());
    ASSERT_TRUE(ini);
    SetLanguageIni(std::move(ini));
    EXPECT_EQ(LangText("450"), "");
}

TEST_F(LanguageLookup, MissingFileIsReportedOnceForEachPath)
{
    kbtest::TRecordingNotifier notifier;
    ASSERT_FALSE(OpenLanguageFile(m_Dir.Path().string(), "deutsch"));
    const std::string path = LanguageFilePath();
    for (int show = 0; show < 3; ++show)
        ReportMissingLanguageFile();
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_EQ(notifier.Messages()[0].Text, "Language file not found!\r\n" + path);
    EXPECT_FALSE(notifier.Messages()[0].Question);

    // Another missing file is news.
    ASSERT_FALSE(OpenLanguageFile(m_Dir.Path().string(), "francais"));
    ReportMissingLanguageFile();
    ReportMissingLanguageFile();
    EXPECT_EQ(notifier.Messages().size(), 2u);

    // A file found and lost again is reported again.
    WriteLanguage(m_Dir, "francais", "[String]\n450=Erreur\n");
    ASSERT_TRUE(OpenLanguageFile(m_Dir.Path().string(), "francais"));
    std::filesystem::remove(m_Dir.Path() / "languages" / "francais.lng");
    ASSERT_FALSE(OpenLanguageFile(m_Dir.Path().string(), "francais"));
    ReportMissingLanguageFile();
    EXPECT_EQ(notifier.Messages().size(), 3u);
}

TEST(LanguageText, FormatFillsPlaceholdersInOrderAndLeavesTheRest)
{
    struct TCase {
        const char* Pattern;
        std::initializer_list<std::string_view> Args;
        const char* Expected;
    };
    const TCase cases[] = {
        {"%d object(s) moved.", {"3"}, "3 object(s) moved."},
        {"%s: %u of %d", {"File", "1", "2"}, "File: 1 of 2"},
        {"100%% done", {}, "100% done"},
        {"%d and %d", {"1"}, "1 and %d"},     // no argument left
        {"%x %n %", {"1"}, "%x %n %"},         // not a placeholder
        {"%s", {"%d"}, "%d"},                  // an argument is never read as a pattern
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LangFormat(c.Pattern, c.Args), c.Expected) << c.Pattern;
}

// The code asks only for catalogue keys; the shipped English file must hold
// a text for each of them.
TEST_F(LanguageLookup, EnglishFileHoldsEveryCatalogueKey)
{
    auto ini = OpenLanguageFile(KB_DATA_SOURCE_DIR, "english");
    ASSERT_TRUE(ini) << LanguageFilePath();
    std::set<std::pair<std::string, std::string>> seen;
    for (const TLangKey& key : LangCatalogue()) {
        EXPECT_NE(ReadLangText(ini.get(), key.Section, key.Key), "")
            << "english.lng lacks [" << key.Section << "] " << key.Key;
        EXPECT_TRUE(seen.emplace(std::string(key.Section), key.Key).second)
            << "catalogue lists [" << key.Section << "] " << key.Key << " twice";
    }
    EXPECT_GT(seen.size(), 0u);
}

}  // namespace language_test
