#include "io/dxf/DXFReader.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace dxf_reader_test {

namespace {

// DXF text from its lines, each followed by the line end.
std::string Dxf(std::initializer_list<std::string> lines, const std::string& eol = "\n")
{
    std::string text;
    for (const auto& line : lines)
        text += line + eol;
    return text;
}

// A reader standing on the one pair (code line, value line) of a HEADER
// section; a pair 0 "EOF" follows so the pair is delivered.
std::unique_ptr<TDXFRead> OnPair(const std::string& code, const std::string& value)
{
    return TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "HEADER", code, value, "0", "EOF"}));
}

struct TPair {
    uint16_t Code;
    TDXFValue Value;
    bool operator==(const TPair&) const = default;
};

std::vector<TPair> PairsFromHere(TDXFRead& reader)
{
    std::vector<TPair> pairs;
    if (!reader.Eof())
        pairs.push_back({reader.Code(), reader.Value()});
    while (reader.NextPair())
        pairs.push_back({reader.Code(), reader.Value()});
    return pairs;
}

// Walks every section as the importer does (header variables, then group by
// group to ENDSEC), counting the steps; stops with -1 past maxSteps, so a
// reader that never reaches its end fails instead of hanging the test.
int WalkAll(TDXFRead& reader, int maxSteps, int* entityGroups = nullptr)
{
    DXFGroupArray group;
    int steps = 0;
    while (reader.Section() != TDXFSection::None) {
        const bool entities = reader.Section() == TDXFSection::Entities;
        if (reader.Section() == TDXFSection::Header) {
            while (reader.ReadGroup(9, group) != 0)
                if (++steps > maxSteps)
                    return -1;
        } else {
            while (!reader.Eof() && !reader.Value().Is("ENDSEC")) {
                reader.ReadGroup(0, group);
                if (entities && entityGroups && !reader.Eof())
                    ++*entityGroups;
                if (++steps > maxSteps)
                    return -1;
            }
        }
        reader.NextSection();
        if (++steps > maxSteps)
            return -1;
    }
    return steps;
}

const std::string SmallDxf = Dxf({
    "999", "made by hand",
    "0", "SECTION", "2", "HEADER",
    "9", "$ACADVER", "1", "AC1009",
    "9", "$EXTMIN", "10", "-1.5", "20", "2,25",
    "0", "ENDSEC",
    "0", "SECTION", "2", "TABLES",
    "0", "TABLE", "2", "LAYER", "70", "1",
    "0", "LAYER", "2", "Cut", "62", "-5",
    "0", "ENDTAB",
    "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "LINE", "8", "Cut", "10", "0", "20", "0", "11", "10", "21", "0",
    "0", "ARC", "8", "Cut", "10", "1", "20", "2", "40", "3", "50", "0", "51", "90",
    "0", "ENDSEC",
    "0", "EOF",
});

} // namespace

TEST(DXFRead, TypesEachValueByItsCode)
{
    const struct {
        const char* Code;
        const char* Line;
        uint16_t ExpectedCode;
        TDXFValue Expected;
    } cases[] = {
        {"0", "  LINE  ", 0, "LINE"},
        {"999", " note ", 999, "note"},
        {"1000", " xdata ", 1000, "xdata"},
        {"90", "        4", 90, "        4"}, // other codes keep the line as read
        {"100", "AcDbLine ", 100, "AcDbLine "},
        {"-1", " name", 65535, " name"},
        {"10", "1,5", 10, 1.5},
        {"10", "1.5", 10, 1.5},
        {"20", "  -.5 ", 20, -0.5},
        {"30", "1E3", 30, 1000.0},
        {"1010", "2.5", 1010, 2.5},
        {"210", "-1", 210, -1.0},
        {"40", "letters", 40, int32_t{0}}, // a number that does not convert is an int32 0
        {"40", "1,000.5", 40, int32_t{0}},
        {"40", "inf", 40, int32_t{0}},
        {"40", "", 40, int32_t{0}},
        {"70", "    64", 70, int32_t{64}},
        {"175", "-3", 175, int32_t{-3}},
        {"1071", "7", 1071, int32_t{7}},
        {"70", "1.0", 70, int32_t{0}},
        {"70", "2147483648", 70, int32_t{0}},
        {" 10 trailing words", "4", 10, 4.0}, // the rest of a code line is ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Code) + " / " + c.Line);
        const auto reader = OnPair(c.Code, c.Line);
        ASSERT_FALSE(reader->OpenFailed()) << reader->OpenError();
        EXPECT_EQ(reader->Code(), c.ExpectedCode);
        EXPECT_EQ(reader->Value(), c.Expected);
    }
}

TEST(DXFRead, NumbersIgnoreTheProcessLocale)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    const double point = OnPair("10", "1.5")->Value().AsDouble();
    const double comma = OnPair("10", "1,5")->Value().AsDouble();
    const std::string separator = std::localeconv()->decimal_point;
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(point, 1.5);
    EXPECT_EQ(comma, 1.5);
    EXPECT_EQ(separator, ",");
}

TEST(DXFRead, AllLineEndsReadAlike)
{
    const std::vector<TPair> expected = {
        {0, "LINE"}, {8, "0"}, {10, 1.0}, {20, 2.0}, {70, int32_t{3}}, {0, "ENDSEC"},
    };
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(eol == "\n" ? "LF" : eol == "\r" ? "CR" : "CR LF");
        // Empty lines and blanks before a code line are passed over.
        const std::string text = Dxf({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "", "  8", "0", "10", "1",
                                      "20", "2", " ", "70", "3", "0", "ENDSEC", "0", "EOF"},
                                     eol);
        const auto reader = TDXFRead::FromMemory(text);
        ASSERT_EQ(reader->Section(), TDXFSection::Entities);
        EXPECT_EQ(PairsFromHere(*reader), expected);
        EXPECT_TRUE(reader->Eof());
    }
}

TEST(DXFRead, TheEndOfTheInputKeepsTheLastValue)
{
    // With or without a final line end, the last pair is read but reported
    // as the end: the code is the new one, the value stays.
    for (const std::string tail : {"0\nEOF\n", "0\nEOF", "10\n5.0"}) {
        SCOPED_TRACE(tail);
        const auto reader = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES", "8", "Layer"}) + tail);
        ASSERT_EQ(reader->Section(), TDXFSection::Entities);
        EXPECT_FALSE(reader->NextPair());
        EXPECT_TRUE(reader->Eof());
        EXPECT_EQ(reader->Code(), tail[0] == '1' ? 10 : 0);
        EXPECT_EQ(reader->Value(), TDXFValue("Layer"));
        // Further reads stay at the end with code 0.
        EXPECT_FALSE(reader->NextPair());
        EXPECT_EQ(reader->Code(), 0);
    }
}

TEST(DXFRead, NextPairInEntityStopsAtCodeZero)
{
    const auto reader = TDXFRead::FromMemory(
        Dxf({"0", "SECTION", "2", "ENTITIES", "0", "LWPOLYLINE", "10", "1", "20", "2", "0", "ENDSEC", "0", "EOF"}));
    EXPECT_TRUE(reader->NextPairInEntity());
    EXPECT_TRUE(reader->NextPairInEntity());
    EXPECT_FALSE(reader->NextPairInEntity());
    EXPECT_TRUE(reader->Value().Is("ENDSEC"));
    EXPECT_FALSE(reader->NextPairInEntity()); // the end of the input
}

TEST(DXFRead, RefusesBadCodeLines)
{
    const std::string tooLongNumber(40, '1');
    for (const std::string code : {"abc", "10abc", "1.5", "32768", "-32769", "70000", tooLongNumber.c_str()}) {
        SCOPED_TRACE(code);
        const auto reader = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES", "8", "0", code, "1", "0", "EOF"}));
        ASSERT_EQ(reader->Section(), TDXFSection::Entities);
        EXPECT_THROW(reader->NextPair(), EDXFReadError);
    }
    // The widest codes that fit are taken.
    EXPECT_EQ(OnPair("32767", "x")->Code(), 32767);
    EXPECT_EQ(OnPair("-32768", "x")->Code(), 32768);
}

TEST(DXFRead, CapsTheLineLength)
{
    const std::string longest(MaxDXFLineLength, 'x');
    EXPECT_EQ(OnPair("1", longest)->Value().AsString().size(), MaxDXFLineLength);

    const auto reader = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES", "8", "0", "1", longest + "x"}));
    EXPECT_THROW(reader->NextPair(), EDXFReadError);
    // A line without any line end is capped the same way.
    const auto unended = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES", "8", "0", "1"}) + longest + "x");
    EXPECT_THROW(unended->NextPair(), EDXFReadError);
}

TEST(DXFRead, ReportsAnInputItCannotOpen)
{
    std::vector<std::string> shown;
    const auto onMessage = [&shown](const std::string& text) { shown.push_back(text); };

    const auto bad = TDXFRead::FromMemory("LINE\n0\n", onMessage);
    EXPECT_TRUE(bad->OpenFailed());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], bad->OpenError());
    EXPECT_EQ(shown[0].rfind(" error raised, with message: ", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find("\"LINE\" in line 1"), std::string::npos) << shown[0];

    kbtest::TTempDir dir;
    TDXFRead missing(dir.File("missing.dxf"), onMessage);
    EXPECT_TRUE(missing.OpenFailed());
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(missing.Section(), TDXFSection::None);
    EXPECT_THROW(missing.Rewind(), EDXFReadError);

    // An empty input opens and has nothing in it.
    const auto empty = TDXFRead::FromMemory("");
    EXPECT_FALSE(empty->OpenFailed());
    EXPECT_EQ(empty->Section(), TDXFSection::None);
    EXPECT_TRUE(empty->Eof());
}

TEST(DXFRead, FindsSectionsByName)
{
    const struct {
        const char* Name;
        TDXFSection Expected;
    } cases[] = {
        {"HEADER", TDXFSection::Header},     {"TABLES", TDXFSection::Tables},
        {"BLOCKS", TDXFSection::Blocks},     {"ENTITIES", TDXFSection::Entities},
        {"CLASSES", TDXFSection::Classes},   {"OBJECTS", TDXFSection::None},
        {"entities", TDXFSection::None},     {" ENTITIES ", TDXFSection::Entities},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto reader = TDXFRead::FromMemory(Dxf({"999", "x", "0", "SECTION", "2", c.Name, "9", "first", "0", "EOF"}));
        EXPECT_EQ(reader->Section(), c.Expected);
        // The reader stands on the first pair inside the section.
        EXPECT_EQ(reader->Code(), 9);
    }

    // Sections in turn; a "SECTION" under another code is not a start.
    const auto reader = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "BLOCKS", "0", "ENDSEC", "1", "SECTION",
                                                  "0", "SECTION", "2", "ENTITIES", "0", "ENDSEC", "0", "EOF"}));
    EXPECT_EQ(reader->Section(), TDXFSection::Blocks);
    reader->NextSection();
    EXPECT_EQ(reader->Section(), TDXFSection::Entities);
    EXPECT_TRUE(reader->Value().Is("ENDSEC"));
    reader->NextSection();
    EXPECT_EQ(reader->Section(), TDXFSection::None);

    // A section whose name is the last pair of the input is no section.
    EXPECT_EQ(TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES"}))->Section(), TDXFSection::None);
}

TEST(DXFGroupArray, MapsCodesToSlots)
{
    const struct {
        uint16_t Code;
        std::optional<size_t> Slot;
    } cases[] = {
        {0, 0},     {255, 255},     {256, std::nullopt},  {999, std::nullopt},
        {1000, 256}, {1256, 512},   {1257, std::nullopt}, {65535, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DXFGroupArray::SlotOf(c.Code), c.Slot) << c.Code;
}

TEST(DXFRead, CollectsAnEntityGroup)
{
    const auto reader = TDXFRead::FromMemory(Dxf({
        "0", "SECTION", "2", "ENTITIES",
        "0", "LINE", "8", "Cut", "10", "1", "20", "2", "10", "3",
        "1000", "first", "1256", "last", "1257", "dropped", "999", "dropped", "300", "dropped", "-1", "dropped",
        "0", "ENDSEC", "0", "EOF",
    }));
    DXFGroupArray group;
    EXPECT_EQ(reader->ReadGroup(0, group), 0);
    EXPECT_EQ(group[0], TDXFValue("LINE"));
    EXPECT_EQ(group[8], TDXFValue("Cut"));
    EXPECT_EQ(group[10], TDXFValue(3.0)); // a repeated code keeps its last value
    EXPECT_EQ(group[20], TDXFValue(2.0));
    EXPECT_EQ(group[1000], TDXFValue("first"));
    EXPECT_EQ(group[1256], TDXFValue("last"));
    EXPECT_FALSE(group.Has(11));
    EXPECT_EQ(group[11].AsDouble(), 0.0);
    EXPECT_EQ(group[11].AsString(), "");
    EXPECT_TRUE(reader->Value().Is("ENDSEC"));

    // On the end pair: ReadGroup (0) takes it alone, ReadGroup (9) nothing.
    const auto onEnd = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "HEADER", "0", "ENDSEC", "0", "SECTION", "0", "EOF"}));
    DXFGroupArray none;
    EXPECT_EQ(onEnd->ReadGroup(9, none), 0);
    EXPECT_FALSE(none.Has(0));
    DXFGroupArray end;
    EXPECT_EQ(onEnd->ReadGroup(0, end), 0);
    EXPECT_EQ(end[0], TDXFValue("ENDSEC"));
    EXPECT_TRUE(onEnd->Value().Is("SECTION"));
}

TEST(DXFRead, CollectsHeaderVariables)
{
    const auto reader = TDXFRead::FromMemory(SmallDxf);
    ASSERT_EQ(reader->Section(), TDXFSection::Header);
    DXFGroupArray group; // reused: earlier values stay in slots a group does not fill
    EXPECT_EQ(reader->ReadGroup(9, group), 9);
    EXPECT_EQ(group[9], TDXFValue("$ACADVER"));
    EXPECT_EQ(group[1], TDXFValue("AC1009"));
    EXPECT_EQ(reader->ReadGroup(9, group), 9);
    EXPECT_EQ(group[9], TDXFValue("$EXTMIN"));
    EXPECT_EQ(group[10], TDXFValue(-1.5));
    EXPECT_EQ(group[20], TDXFValue(2.25));
    EXPECT_EQ(group[1], TDXFValue("AC1009"));
    EXPECT_EQ(reader->ReadGroup(9, group), 0);
    EXPECT_TRUE(reader->Value().Is("ENDSEC"));
}

TEST(DXFRead, ReadGroupAtTheEndStoresNothing)
{
    const auto reader = TDXFRead::FromMemory(Dxf({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "A"}));
    DXFGroupArray group;
    reader->ReadGroup(0, group);
    EXPECT_TRUE(reader->Eof());
    DXFGroupArray after;
    EXPECT_EQ(reader->ReadGroup(0, after), 0);
    EXPECT_EQ(reader->ReadGroup(8, after), 0);
    EXPECT_FALSE(after.Has(0));
    EXPECT_FALSE(after.Has(8));
}

TEST(DXFRead, EveryTruncationEnds)
{
    for (const std::string eol : {"\n", "\r\n"}) {
        std::string text = SmallDxf;
        if (eol != "\n")
            for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
                text.replace(at, 1, eol);
        int fullGroups = 0;
        const auto full = TDXFRead::FromMemory(text);
        ASSERT_GT(WalkAll(*full, 200, &fullGroups), 0);
        EXPECT_EQ(fullGroups, 2); // LINE and ARC
        EXPECT_TRUE(full->Eof());

        for (size_t n = 0; n < text.size(); ++n) {
            SCOPED_TRACE(n);
            const auto reader = TDXFRead::FromMemory(text.substr(0, n));
            if (reader->OpenFailed())
                continue;
            int groups = 0;
            try {
                EXPECT_GE(WalkAll(*reader, 200, &groups), 0);
                EXPECT_TRUE(reader->Eof());
            } catch (const EDXFReadError&) {
            }
            EXPECT_LE(groups, fullGroups);
        }
    }
}

TEST(DXFRead, FileReadsLikeMemoryAcrossChunks)
{
    // Enough pairs to cross several 64 KiB chunks, with CR LF line ends and
    // a comment whose length puts a CR last and its LF first in a chunk.
    std::string body = Dxf({"0", "SECTION", "2", "ENTITIES"}, "\r\n");
    for (int i = 0; body.size() < 200000; ++i)
        body += Dxf({"0", "POINT", "8", "L" + std::to_string(i), "10", std::to_string(i) + ".25"}, "\r\n");
    body += Dxf({"0", "ENDSEC", "0", "EOF"}, "\r\n");
    const size_t chunkEnd = 64 * 1024 - 1;
    const size_t cr = body.rfind('\r', chunkEnd - 7);
    const std::string text = Dxf({"999", std::string(chunkEnd - cr - 7, 'c')}, "\r\n") + body;
    ASSERT_EQ(text.substr(chunkEnd, 2), "\r\n");

    kbtest::TTempDir dir;
    kbtest::WriteFileText(dir.File("big.dxf"), text);
    TDXFRead file(dir.File("big.dxf"));
    ASSERT_FALSE(file.OpenFailed()) << file.OpenError();
    const auto memory = TDXFRead::FromMemory(text);
    const std::vector<TPair> expected = PairsFromHere(*memory);
    EXPECT_EQ(PairsFromHere(file), expected);
    EXPECT_EQ(file.LineNumber(), memory->LineNumber());

    file.Rewind();
    EXPECT_EQ(file.Section(), TDXFSection::Entities);
    EXPECT_EQ(file.Code(), 0);
    EXPECT_TRUE(file.Value().Is("POINT"));
}

TEST(DXFRead, PairsSplitByEveryChunkEndReadWhole)
{
    // Whatever byte of the first pairs the first 64 KiB chunk ends on (a
    // comment of varying length moves them along), with each kind of line
    // end, the file gives the pairs it was written with.
    std::vector<TPair> written;
    std::vector<std::string> lines = {"0", "SECTION", "2", "ENTITIES"};
    for (int i = 0; i < 20; ++i) {
        const std::string layer = "L" + std::to_string(i);
        const std::string x = std::to_string(i) + ".5";
        lines.insert(lines.end(), {"0", "POINT", "  8", layer, "10", x, "70", std::to_string(i % 7)});
        written.insert(written.end(), {{0, "POINT"}, {8, layer}, {10, i + 0.5}, {70, int32_t{i % 7}}});
    }
    lines.insert(lines.end(), {"0", "ENDSEC", "0", "EOF"});
    written.push_back({0, "ENDSEC"});
    constexpr size_t chunk = 64 * 1024;
    kbtest::TTempDir dir;
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        std::string body;
        for (const std::string& line : lines)
            body += line + eol;
        const size_t first = body.find(eol + "0" + eol + "POINT") + eol.size(); // the first pair of the section
        for (size_t into = 0; into < 40; ++into) {
            SCOPED_TRACE((eol == "\n" ? "LF, " : eol == "\r" ? "CR, " : "CR LF, ") + std::to_string(into) +
                         " bytes into the section");
            const size_t comment = chunk - into - first - 3 - 2 * eol.size();
            const std::string text = "999" + eol + std::string(comment, 'c') + eol + body;
            ASSERT_EQ(text.substr(chunk - into, 1), "0");
            kbtest::WriteFileText(dir.File("split.dxf"), text);
            TDXFRead file(dir.File("split.dxf"));
            ASSERT_FALSE(file.OpenFailed()) << file.OpenError();
            ASSERT_EQ(file.Section(), TDXFSection::Entities);
            EXPECT_EQ(PairsFromHere(file), written);
            EXPECT_EQ(file.LineNumber(), static_cast<int64_t>(lines.size()) + 3);
        }
    }
}

TEST(DXFRead, AnErrorFarIntoALongInputComesAtItsPair)
{
    // More pairs than the reader splits ahead at once, then a bad code line:
    // every pair before it comes whole and in order, the error names its
    // line, and reading on takes the lines after it as the rule says (the
    // next line is a code line again).
    constexpr int points = 20000;
    std::vector<std::string> lines{"0", "SECTION", "2", "ENTITIES"};
    for (int i = 0; i < points; ++i)
        lines.insert(lines.end(), {"10", std::to_string(i) + ".5"});
    const size_t badLine = lines.size() + 1;
    lines.insert(lines.end(), {"x1", "999", "note", "10", "7.25", "0", "ENDSEC", "0", "EOF"});
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    kbtest::TTempDir dir;
    kbtest::WriteFileText(dir.File("long.dxf"), text);
    TDXFRead file(dir.File("long.dxf"));
    ASSERT_FALSE(file.OpenFailed()) << file.OpenError();
    const auto memory = TDXFRead::FromMemory(text);
    for (TDXFRead* reader : {&file, memory.get()}) {
        SCOPED_TRACE(reader == &file ? "file" : "memory");
        ASSERT_EQ(reader->Section(), TDXFSection::Entities);
        double fraction = 0.0;
        for (int i = 0; i < points; ++i) {
            ASSERT_EQ(reader->Code(), 10);
            ASSERT_EQ(reader->Value(), TDXFValue(i + 0.5)) << i;
            ASSERT_GE(reader->ReadFraction(), fraction);
            fraction = reader->ReadFraction();
            if (i + 1 < points) {
                ASSERT_TRUE(reader->NextPair());
            }
        }
        EXPECT_GT(fraction, 0.9);
        EXPECT_LT(fraction, 1.0);
        try {
            reader->NextPair();
            ADD_FAILURE() << "the bad code line was taken";
        } catch (const EDXFReadError& e) {
            EXPECT_NE(std::string(e.what()).find("in line " + std::to_string(badLine) + "."), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(reader->LineNumber(), static_cast<int64_t>(badLine) + 1);
        EXPECT_EQ(reader->Code(), 10); // a pair that raised changes neither code nor value
        EXPECT_EQ(reader->Value(), TDXFValue(points - 0.5));
        const std::vector<TPair> rest = PairsFromHere(*reader);
        const std::vector<TPair> expected{{10, points - 0.5}, {999, "note"}, {10, 7.25}, {0, "ENDSEC"}};
        EXPECT_EQ(rest, expected);
        EXPECT_TRUE(reader->Eof());
        EXPECT_TRUE(reader->EndMarkerRead());
        EXPECT_EQ(reader->ReadFraction(), 1.0);
        EXPECT_FALSE(reader->NextPair());
        EXPECT_EQ(reader->Code(), 0);
    }
}

TEST(DXFRead, ReadsRealFilesToTheirEnd)
{
    const std::filesystem::path folder = "/usr/share/openscad/testdata/dxf";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "openscad-testing-data is not installed";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dxf")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++files;
        TDXFRead reader(entry.path().string());
        ASSERT_FALSE(reader.OpenFailed()) << reader.OpenError();
        int entityGroups = 0;
        EXPECT_GT(WalkAll(reader, 100000, &entityGroups), 0);
        EXPECT_GT(entityGroups, 0);
        // An OBJECTS section ends the walk early; the pairs after it read too.
        while (reader.NextPair()) {
        }
        EXPECT_TRUE(reader.Eof());
        EXPECT_EQ(reader.Code(), 0);
    }
    EXPECT_GT(files, 20);

    // Decimal commas in a real file.
    TDXFRead comma((folder / "nothing-decimal-comma-separated.dxf").string());
    ASSERT_EQ(comma.Section(), TDXFSection::Header);
    DXFGroupArray group;
    ASSERT_EQ(comma.ReadGroup(9, group), 9);
    EXPECT_EQ(group[9], TDXFValue("$EXTMIN"));
    EXPECT_EQ(group[10], TDXFValue(-6.63671875));
    EXPECT_EQ(group[20], TDXFValue(-0.0244140625));
}

}  // namespace dxf_reader_test
