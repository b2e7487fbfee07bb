#include "io/dxf/DXFWriter.h"

#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>

namespace dxf_writer_test {

TEST(DXFWrite, WritesEachPairInItsFixedForm)
{
    const std::string text300(300, 't');
    const struct {
        int Code;
        TDXFValue Value;
        std::string Expected;
    } cases[] = {
        {0, "LINE", "  0\r\nLINE\r\n"},
        {10, 2.5, " 10\r\n2.500000\r\n"},
        {20, -1234.0000004, " 20\r\n-1234.000000\r\n"},
        {50, int32_t{7}, " 50\r\n7.000000\r\n"},
        {1040, 0.1, "1040\r\n0.100000\r\n"},
        {70, int32_t{64}, " 70\r\n    64\r\n"},
        {62, int32_t{-1}, " 62\r\n    -1\r\n"},
        {62, 2.5, " 62\r\n     2\r\n"}, // rounded ties-to-even
        {1071, int32_t{1234567}, "1071\r\n1234567\r\n"},
        {90, int32_t{4}, " 90\r\n\r\n"}, // codes outside the table write an empty value line
        {-1, "name", " -1\r\n\r\n"},
        {1, "  kept as given ", "  1\r\n  kept as given \r\n"},
        {999, "note", "999\r\nnote\r\n"},
        {1001, "APP", "1001\r\nAPP\r\n"},
        {8, text300, "  8\r\n" + text300.substr(0, 255) + "\r\n"},
        {8, "two\r\nlines\n", "  8\r\ntwo  lines \r\n"}, // a text never splits its pair
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        TDXFWrite writer;
        writer.WritePair(c.Code, c.Value);
        EXPECT_EQ(writer.Text(), c.Expected);
    }

    TDXFWrite writer;
    EXPECT_THROW(writer.WritePair(32768, "x"), std::out_of_range);
    EXPECT_THROW(writer.WritePair(-32769, "x"), std::out_of_range);
    EXPECT_EQ(writer.Text(), "");
}

TEST(DXFWrite, BracketsSections)
{
    TDXFWrite writer;
    writer.BeginSection(TDXFSection::Header);
    writer.EndSection();
    writer.BeginSection(TDXFSection::Tables);
    writer.BeginSection(TDXFSection::Blocks);
    writer.BeginSection(TDXFSection::Entities);
    EXPECT_EQ(writer.Text(), "  0\r\nSECTION\r\n  2\r\nHEADER\r\n"
                             "  0\r\nENDSEC\r\n"
                             "  0\r\nSECTION\r\n  2\r\nTABLES\r\n"
                             "  0\r\nSECTION\r\n  2\r\nBLOCKS\r\n"
                             "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    EXPECT_THROW(writer.BeginSection(TDXFSection::Classes), std::invalid_argument);
    EXPECT_THROW(writer.BeginSection(TDXFSection::None), std::invalid_argument);
}

TEST(DXFWrite, NumbersIgnoreTheProcessLocale)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    TDXFWrite writer;
    writer.WritePair(10, 2.5);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(writer.Text(), " 10\r\n2.500000\r\n");
}

TEST(DXFWrite, WritesAndRestartsAFile)
{
    kbtest::TTempDir dir;
    const std::string name = dir.File("out.dxf");
    kbtest::WriteFileText(name, "old content that is longer than the new one");
    {
        TDXFWrite writer(name);
        EXPECT_EQ(kbtest::ReadFileText(name), ""); // truncated at once
        writer.WritePair(0, "LINE");
        writer.Restart();
        writer.WritePair(0, "EOF");
        writer.Close();
        EXPECT_THROW(writer.WritePair(0, "EOF"), EStreamWriteError);
    }
    EXPECT_EQ(kbtest::ReadFileText(name), "  0\r\nEOF\r\n");

    for (const std::string& bad : {dir.File("no/such/folder/out.dxf"), std::string()})
        EXPECT_THROW(TDXFWrite{bad}, EStreamWriteError) << bad;
}

}  // namespace dxf_writer_test
