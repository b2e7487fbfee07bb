#include "core/entities/VectFont.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace vect_font_test {

namespace {

using kbtest::TBytes;

// The .fnd point count is a uint16, which TBytes has no field for.
TBytes& U16(TBytes& b, uint16_t v)
{
    return b.U8(static_cast<uint8_t>(v & 0xFF)).U8(static_cast<uint8_t>(v >> 8));
}

TBytes& Point(TBytes& b, double x, double y, double w = 1.0)
{
    return b.F64(x).F64(y).F64(w);
}

// 'A': a stroke of two points and one of three, the last point weighted
// (stored as (1.4, 0.2, 2), that is (0.7, 0.1)); '-' without strokes; then a
// second entry for '-' with one stroke, which replaces the first; the end
// mark; and bytes after it that are never read.
std::vector<uint8_t> HandBuiltFont()
{
    TBytes b;
    b.I32('A').I32(2);
    U16(b, 2);
    Point(b, 0.0, 0.0);
    Point(b, 0.35, 1.0);
    U16(b, 3);
    Point(b, 0.1, -0.25);
    Point(b, 0.6, 0.4);
    Point(b, 1.4, 0.2, 2.0);
    b.I32('-').I32(0);
    b.I32('-').I32(1);
    U16(b, 2);
    Point(b, 0.1, 0.5);
    Point(b, 0.5, 0.5);
    b.I32(-1);
    b.Str("junk");
    return b.Data();
}

std::unique_ptr<TVectFont> ReadFont(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream(bytes);
    return TVectFont::CreateFromStream(stream);
}

void ExpectRect(const TRect2D& r, double left, double bottom, double right, double top)
{
    EXPECT_NEAR(r.FirstEdge.X, left, 1e-12);
    EXPECT_NEAR(r.FirstEdge.Y, bottom, 1e-12);
    EXPECT_NEAR(r.SecondEdge.X, right, 1e-12);
    EXPECT_NEAR(r.SecondEdge.Y, top, 1e-12);
}

} // namespace

TEST(VectFont, ReadsHandBuiltFileFieldByField)
{
    const auto font = ReadFont(HandBuiltFont());

    const TVectChar* a = font->GetChar('A');
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->StrokesCount(), 2);
    ASSERT_EQ(a->GetStroke(0).Count(), 2);
    ASSERT_EQ(a->GetStroke(1).Count(), 3);
    const TPoint2D p = a->GetStroke(0).Get(1);
    EXPECT_EQ(p.X, 0.35);
    EXPECT_EQ(p.Y, 1.0);
    EXPECT_EQ(p.W, 1.0);
    const TPoint2D weighted = a->GetStroke(1).Get(2);
    EXPECT_EQ(weighted.X, 1.4);
    EXPECT_EQ(weighted.W, 2.0);
    // Extents over the cartesian points and the origin.
    ExpectRect(a->Extents(), 0.0, -0.25, 0.7, 1.0);
    EXPECT_DOUBLE_EQ(a->Advance(), 0.7);
    EXPECT_DOUBLE_EQ(a->Descent(), -0.25);

    const TVectChar* dash = font->GetChar('-');
    ASSERT_NE(dash, nullptr);
    EXPECT_EQ(dash->StrokesCount(), 1);
    // The origin stays inside the extents of a glyph that does not touch it.
    ExpectRect(dash->Extents(), 0.0, 0.0, 0.5, 0.5);

    for (int code = 0; code < TVectFont::kCharCount; ++code) {
        if (code != 'A' && code != '-') {
            EXPECT_EQ(font->GetChar(static_cast<uint8_t>(code)), nullptr) << code;
        }
    }
    EXPECT_THROW(a->GetStroke(2), ECADOutOfBound);
    EXPECT_THROW(a->GetStroke(-1), ECADOutOfBound);
}

TEST(VectFont, CharacterRecordIsReadFromItsVersionOn)
{
    TBytes b;
    b.I32(1);
    U16(b, 2);
    Point(b, 0, 0);
    Point(b, 1, 0);
    {
        TMemoryStream stream(b.Data());
        EXPECT_EQ(TVectChar::CreateFromStream(stream, "CAD3  ")->StrokesCount(), 0);
        EXPECT_EQ(stream.Position(), 0);
    }
    TMemoryStream stream(b.Data());
    EXPECT_EQ(TVectChar::CreateFromStream(stream, "CAD4  ")->StrokesCount(), 1);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(VectFont, EveryTruncationIsAnError)
{
    const auto whole = HandBuiltFont();
    const size_t endMark = whole.size() - 4; // before "junk"
    for (size_t n = 0; n < endMark; ++n) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(ReadFont(cut), ECADFileNotValid) << "cut at " << n;
    }
    EXPECT_NO_THROW(ReadFont(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(endMark))));
}

TEST(VectFont, DamagedRecordsAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct TCase {
        const char* Name;
        TBytes Bytes;
        bool OutOfRange; // ECADOutOfBound, else ECADFileNotValid
    };
    std::vector<TCase> cases;
    cases.push_back({"code 256", TBytes().I32(256).I32(0).I32(-1), true});
    cases.push_back({"code -2", TBytes().I32(-2).I32(0).I32(-1), true});
    cases.push_back({"absurd stroke count", TBytes().I32('A').I32(0x7FFFFFFF).I32(-1), false});
    cases.push_back({"negative stroke count", TBytes().I32('A').I32(-5).I32(-1), false});
    {
        TBytes b;
        b.I32('A').I32(1);
        U16(b, 65535);
        Point(b, 0, 0);
        cases.push_back({"point count beyond the file", b, false});
    }
    for (double bad : {nan, inf}) {
        TBytes b;
        b.I32('A').I32(1);
        U16(b, 2);
        Point(b, 0, 0);
        Point(b, bad, 0);
        b.I32(-1);
        cases.push_back({"coordinate not finite", b, false});
    }
    for (const auto& c : cases) {
        if (c.OutOfRange)
            EXPECT_THROW(ReadFont(c.Bytes.Data()), ECADOutOfBound) << c.Name;
        else
            EXPECT_THROW(ReadFont(c.Bytes.Data()), ECADFileNotValid) << c.Name;
    }
}

namespace {

// A glyph of one stroke from (0, bottom) to (right, 1).
std::unique_ptr<TVectChar> Glyph(double right, double bottom)
{
    auto ch = std::make_unique<TVectChar>(1);
    ch->GetStroke(0).Add(MakePoint2D(0, bottom));
    ch->GetStroke(0).Add(MakePoint2D(right, 1));
    ch->UpdateExtents();
    return ch;
}

} // namespace

TEST(VectFont, MeasuresTexts)
{
    TVectFont font;
    font.SetChar('A', Glyph(0.7, 0));
    font.SetChar('B', Glyph(0.7, 0));
    font.SetChar('g', Glyph(0.5, -0.3));
    struct TCase {
        std::string Text;
        double Width;  // at height 10, spacing 0.1, line spacing 0.02
        double Bottom;
    };
    const TCase cases[] = {
        {"AB", 15, -10},
        // A space advances 0.4 when measured, as it does when drawn.
        {"A B", 20, -10},
        {"A?", 16, -10},               // a missing character is the 0.8 bar
        {"Ag", 13, -13},               // a descender deepens the line
        {"A\r\nB", 7, -20.2},          // the line feed after CR is not a character
        {"A\rB\r", 7, -20.4},          // a closing CR adds an empty line
        {"  ", 9, 0},                  // spaces alone have no depth
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        ExpectRect(font.MeasureText(c.Text, 10, 0.1, 0.02), 0, c.Bottom, c.Width, 0);
    }
}

TEST(VectFont, DrawnGlyphsAndAdvancesFollowOneRule)
{
    TVectFont font;
    font.SetChar('A', Glyph(0.7, 0));

    EXPECT_EQ(font.GlyphToDraw('A'), font.GetChar('A'));
    EXPECT_EQ(font.GlyphToDraw(' '), nullptr);
    EXPECT_EQ(font.GlyphToDraw('\r'), nullptr);
    const TVectChar* missing = font.GlyphToDraw(0xE9);
    ASSERT_EQ(missing, &MissingVectChar());
    ASSERT_EQ(missing->StrokesCount(), 1);
    EXPECT_EQ(missing->GetStroke(0).Get(1).X, 0.8);
    EXPECT_EQ(missing->GetStroke(0).Get(1).Y, 0.0);

    EXPECT_DOUBLE_EQ(font.CharAdvance('A'), 0.7);
    EXPECT_DOUBLE_EQ(font.CharAdvance(' '), VectSpaceAdvance);
    EXPECT_DOUBLE_EQ(font.CharAdvance('\r'), 0.0);
    EXPECT_DOUBLE_EQ(font.CharAdvance('Z'), 0.8);

    // A font's own space glyph wins over the default advance.
    font.SetChar(' ', std::make_unique<TVectChar>(0));
    EXPECT_DOUBLE_EQ(font.CharAdvance(' '), 0.0);
}

class FontRegistry : public ::testing::Test {
protected:
    void SetUp() override { CADSysClearFontRegistry(); }
    void TearDown() override { CADSysClearFontRegistry(); }

    kbtest::TTempDir m_Dir;
    kbtest::TRecordingNotifier m_Notifier;
};

TEST_F(FontRegistry, RefusesBadSlots)
{
    const std::string file = m_Dir.File("font.fnd");
    kbtest::WriteFileBytes(file, HandBuiltFont());
    for (uint16_t index : {uint16_t(513), uint16_t(0xFFFF)}) {
        try {
            CADSysRegisterFontFromFile(index, file);
            ADD_FAILURE() << index;
        } catch (const ECADOutOfBound& e) {
            EXPECT_STREQ(e.what(), "CADSysRegisterFontFromFile: Out of bound registration index");
        }
    }
    CADSysRegisterFontFromFile(512, file);
    try {
        CADSysRegisterFontFromFile(512, file);
        ADD_FAILURE();
    } catch (const ECADObjClassNotFound& e) {
        EXPECT_STREQ(e.what(), "CADSysRegisterFontFromFile: Font index already allocated");
    }
    EXPECT_EQ(CADSysFindFontIndex(CADSysFindFontByIndex(512)), 512);
    EXPECT_THROW(CADSysFindFontByIndex(513), ECADObjClassNotFound);
    EXPECT_THROW(CADSysFindFontByIndex(0), ECADObjClassNotFound);
    EXPECT_THROW(CADSysFindFontIndex(nullptr), ECADObjClassNotFound);
    TVectFont stranger;
    EXPECT_THROW(CADSysFindFontIndex(&stranger), ECADObjClassNotFound);
}

TEST_F(FontRegistry, MissingOrDamagedFileLeavesTheSlotEmpty)
{
    const std::string missing = m_Dir.File("none.fnd");
    CADSysRegisterFontFromFile(3, missing);
    ASSERT_EQ(m_Notifier.Messages().size(), 1u);
    EXPECT_EQ(m_Notifier.Messages()[0].Text, "File not found!\r\n" + missing);
    EXPECT_THROW(CADSysFindFontByIndex(3), ECADObjClassNotFound);

    const std::string damaged = m_Dir.File("damaged.fnd");
    kbtest::WriteFileBytes(damaged, TBytes().I32('A').I32(1000).Data());
    EXPECT_THROW(CADSysRegisterFontFromFile(3, damaged), ECADFileNotValid);
    EXPECT_THROW(CADSysFindFontByIndex(3), ECADObjClassNotFound);

    // The registry goes on: the same slot takes a sound file afterwards.
    const std::string sound = m_Dir.File("sound.fnd");
    kbtest::WriteFileBytes(sound, HandBuiltFont());
    CADSysRegisterFontFromFile(3, sound);
    EXPECT_NE(CADSysFindFontByIndex(3)->GetChar('A'), nullptr);
}

namespace {

// A converted ASCII set: characters 33..126 only (the Greek sets lack a few
// letters), the capital H one unit high.
void ExpectHersheyFont(const TVectFont& font, const std::string& name, int minCount)
{
    SCOPED_TRACE(name);
    int count = 0;
    for (int code = 0; code < TVectFont::kCharCount; ++code)
        if (font.GetChar(static_cast<uint8_t>(code))) {
            ++count;
            EXPECT_TRUE(code > 32 && code < 127) << code;
        }
    EXPECT_GE(count, minCount);
    EXPECT_LE(count, 94);
    const TVectChar* h = font.GetChar('H');
    ASSERT_NE(h, nullptr);
    EXPECT_GT(h->Extents().SecondEdge.Y, 0.95);
    EXPECT_LT(h->Extents().SecondEdge.Y, 1.05);
    EXPECT_GT(h->Advance(), 0.3);
}

} // namespace

TEST(GeneratedFonts, RomanComplexIsFontZero)
{
    kbtest::TRecordingNotifier notifier;
    CADSysClearFontRegistry();
    CADSysRegisterFontFromFile(0, KB_DATA_DIR "/RomanC.fnd");
    EXPECT_TRUE(notifier.Messages().empty());
    const TVectFont& font = *CADSysFindFontByIndex(0);
    ExpectHersheyFont(font, "RomanC.fnd", 94);

    // Capitals stand on the baseline and start at the origin; descenders go
    // below it.
    const TRect2D h = font.GetChar('H')->Extents();
    EXPECT_NEAR(h.FirstEdge.Y, 0.0, 1e-9);
    EXPECT_NEAR(h.FirstEdge.X, 0.0, 1e-9);
    double inkBottom = 1.0;
    double inkLeft = 1.0;
    const TVectChar& capitalH = *font.GetChar('H');
    for (int i = 0; i < capitalH.StrokesCount(); ++i)
        for (const TPoint2D& p : capitalH.GetStroke(i).Points()) {
            inkBottom = std::min(inkBottom, p.Y);
            inkLeft = std::min(inkLeft, p.X);
        }
    EXPECT_NEAR(inkBottom, 0.0, 1e-9);
    EXPECT_NEAR(inkLeft, 0.0, 1e-9);
    EXPECT_LT(font.GetChar('g')->Descent(), -0.2);
    EXPECT_EQ(font.GetChar(' '), nullptr);
    CADSysClearFontRegistry();
}

TEST(GeneratedFonts, EveryShippedSetReads)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KB_DATA_DIR "/SFonts")) {
        if (entry.path().extension() != ".fnd")
            continue;
        ++files;
        TFileStream stream(entry.path().string(), TFileStream::TMode::OpenRead);
        ExpectHersheyFont(*TVectFont::CreateFromStream(stream), entry.path().filename().string(), 85);
    }
    EXPECT_GT(files, 10);
}

}  // namespace vect_font_test
