#include "nc/editor/NodraText.h"

#include <gtest/gtest.h>

TEST(NodraText, CaptionsTellFileAndState)
{
    EXPECT_TRUE(IsUntitledCaption("Untitled1"));
    EXPECT_TRUE(IsUntitledCaption("Untitled12*"));
    EXPECT_FALSE(IsUntitledCaption("/tmp/Untitled1.nc"));
    EXPECT_TRUE(IsModifiedCaption("/tmp/a.nc*"));
    EXPECT_FALSE(IsModifiedCaption("/tmp/a.nc"));
    EXPECT_FALSE(IsModifiedCaption(""));
    EXPECT_EQ(CaptionPath("/tmp/a.nc*"), "/tmp/a.nc");
    EXPECT_EQ(CaptionPath("/tmp/a.nc"), "/tmp/a.nc");
}

TEST(NodraText, LineEndsAndAutoIndent)
{
    EXPECT_EQ(DetectLineEnd("G0\r\nG1"), "\r\n");
    EXPECT_EQ(DetectLineEnd("G0\nG1\r\n"), "\n");
    EXPECT_EQ(DetectLineEnd("G0\rG1"), "\r");
    EXPECT_EQ(DetectLineEnd("G0 X1"), "\r\n"); // new texts write CR LF
    EXPECT_EQ(AutoIndentText("    G1 X1", "\r\n"), "\r\n    ");
    EXPECT_EQ(AutoIndentText("\t G1", "\n"), "\n\t ");
    EXPECT_EQ(AutoIndentText("  ", "\n"), "\n  "); // caret inside the blanks
    EXPECT_EQ(AutoIndentText("G1", "\n"), "\n");
}

TEST(NodraText, FindHonoursCaseAndWholeWords)
{
    struct Case {
        const char* text;
        const char* what;
        size_t from;
        TSearchOptions options;
        std::optional<size_t> at;
    } cases[] = {
        {"G0 X1", "g0", 0, {}, 0},                       // a match at the very first character
        {"G0 X1", "g0", 0, {true, false}, std::nullopt}, // match case
        {"G01 G0 X1", "G0", 0, {false, true}, 4},        // whole word skips G01
        {"G0 G0", "G0", 1, {}, 3},                       // from the selection's end
        {"G0_1 G0", "G0", 0, {false, true}, 5},          // underscore is part of a word
        {"G0", "", 0, {}, std::nullopt},
        {"G", "G0", 0, {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindForward(c.text, c.what, c.from, c.options), c.at) << c.text << " / " << c.what;
}

TEST(NodraText, ReplaceAllEndsAndReplaceRemembersItsMatch)
{
    std::string text = "G0 X1 G0 Y1";
    EXPECT_EQ(ReplaceAll(text, "G0", "G00", {}), 2u);
    EXPECT_EQ(text, "G00 X1 G00 Y1");
    std::string grows = "a";
    EXPECT_EQ(ReplaceAll(grows, "a", "aa", {}), 1u); // never searches its own insertion

    TReplaceSearch search;
    EXPECT_EQ(search.FindNext("G0 X1 G0", "G0", 0, {}), 0u);
    EXPECT_TRUE(search.SelectionIsLastMatch(0, 2, "G0"));
    EXPECT_FALSE(search.SelectionIsLastMatch(0, 1, "G0"));
    EXPECT_EQ(search.FindNext("G0 X1 G0", "G0", 2, {}), 6u);
    EXPECT_FALSE(search.SelectionIsLastMatch(0, 2, "G0"));
    // After a replacement the next "not found" is silent, the one after speaks.
    search.MarkReplaced();
    EXPECT_FALSE(search.TakeNotFoundMessage());
    EXPECT_TRUE(search.TakeNotFoundMessage());
}

TEST(NodraText, PrintLayoutAndRange)
{
    // A4 at 300 dpi.
    const TPrintLayout layout = PrintLayoutFor(2480, 3508, 300, 300);
    EXPECT_EQ(layout.TextLeft, 300);
    EXPECT_EQ(layout.TextTop, 225);
    EXPECT_EQ(layout.TextRight, 2480 - 225);
    EXPECT_EQ(layout.TextBottom, 3508 - 300);
    EXPECT_EQ(layout.HeaderY, 150);
    EXPECT_EQ(layout.FooterY, 3508 - 150);
    EXPECT_EQ(layout.PageNumberX, 150);
    EXPECT_EQ(layout.FileNameX, 300);
    EXPECT_EQ(PrintedLength("G0 X1\r\n \t\r\n"), 5u);
    EXPECT_EQ(PrintedLength("\r\n"), 0u);
}
