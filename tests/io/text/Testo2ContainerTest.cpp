// The text converter's layouts on hand-built glyphs and a hand-built stroke
// font, the stroke-font list and the stroke-glyph preview.

#include "io/text/Testo2Container.h"

#include "core/model/CADSysException.h"
#include "core/entities/Container2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/VectFont.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace testo2_container_test {

using namespace kbtest;

namespace {

std::vector<std::vector<TPoint2D>> PolylinePoints(const TContainer2D& container)
{
    std::vector<std::vector<TPoint2D>> out;
    auto it = container.Objects().GetIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next()) {
        auto* polyline = dynamic_cast<TPolyline2D*>(o);
        EXPECT_TRUE(polyline);
        if (polyline) {
            const auto points = polyline->Points().Points();
            out.emplace_back(points.begin(), points.end());
        }
    }
    return out;
}

std::vector<TPoint2D> Points(const TPolyline2D& polyline)
{
    const auto points = polyline.Points().Points();
    return {points.begin(), points.end()};
}

void ExpectPoint(const TPoint2D& p, double x, double y, const std::string& what = "")
{
    EXPECT_NEAR(p.X, x, 1e-9) << what;
    EXPECT_NEAR(p.Y, y, 1e-9) << what;
}

void ExpectBox(const TContainer2D& c, double left, double bottom, double right, double top)
{
    EXPECT_NEAR(c.Box().FirstEdge.X, left, 1e-9);
    EXPECT_NEAR(c.Box().FirstEdge.Y, bottom, 1e-9);
    EXPECT_NEAR(c.Box().SecondEdge.X, right, 1e-9);
    EXPECT_NEAR(c.Box().SecondEdge.Y, top, 1e-9);
}

// A closed rectangle as four strokes of one contour.
void AddRectangle(TStrokeCollection& s, int32_t contour, int32_t left, int32_t bottom, int32_t right, int32_t top)
{
    s.Add({contour, left, bottom, right, bottom});
    s.Add({contour, right, bottom, right, top});
    s.Add({contour, right, top, left, top});
    s.Add({contour, left, top, left, bottom});
}

// Hand-made outline glyphs: "A" ink 10..60 x 0..200 (so scale = height /
// 200), "0" ink 40 wide, "B" two contours ink 30 wide; nothing else.
struct TFakeGlyphs {
    std::vector<char32_t> Asked;
    bool HasA = true;

    TGlyphStrokesFn Fn()
    {
        return [this](char32_t code) -> std::unique_ptr<TStrokeCollection> {
            Asked.push_back(code);
            auto s = std::make_unique<TStrokeCollection>();
            if (code == U'A' && HasA)
                AddRectangle(*s, 0, 10, 0, 60, 200);
            else if (code == U'0')
                AddRectangle(*s, 0, 0, 0, 40, 100);
            else if (code == U'B') {
                AddRectangle(*s, 0, 0, 0, 30, 100);
                AddRectangle(*s, 1, 0, 100, 30, 200);
            } else
                return nullptr;
            return s;
        };
    }
};

} // namespace

// ------------------------------------------------------------ outline layout

TEST(OutlineTextLayout, GlyphsBecomeClosedPolylinesAdvancedByInkWidth)
{
    TTesto2Container conv; // height 10, spacing 2: scale 0.05
    TFakeGlyphs glyphs;
    const auto c = conv.GlyphStrokesToContainer({u"AB"}, glyphs.Fn());
    EXPECT_EQ(c->ID(), -1);
    const auto polylines = PolylinePoints(*c);
    ASSERT_EQ(polylines.size(), 3u); // A, and B's two contours
    for (const auto& p : polylines) {
        ASSERT_EQ(p.size(), 5u);
        ExpectPoint(p.back(), p.front().X, p.front().Y, "closed");
    }
    ExpectPoint(polylines[0][0], 0.5, 0);
    ExpectPoint(polylines[0][2], 3, 10);
    // The pen moves by A's ink width (50 units) x 0.05 + 2, not by an advance width.
    ExpectPoint(polylines[1][0], 4.5, 0);
    ExpectPoint(polylines[2][0], 4.5, 5);
    ExpectBox(*c, 0.5, 0, 6, 10);
}

TEST(OutlineTextLayout, BlanksMoveByTheInkOfZeroAndMissingGlyphsDoNotMove)
{
    TTesto2Container conv;
    TFakeGlyphs glyphs;
    // Each blank: "0" is 40 units wide, x 0.05 + 2 = 4; A's own offset is 0.5.
    for (const std::u16string line : {u" A", u"\tA", u"\x1F" u"A", u"\x01" u"A"}) {
        const auto polylines = PolylinePoints(*conv.GlyphStrokesToContainer({line}, glyphs.Fn()));
        ASSERT_EQ(polylines.size(), 1u);
        ExpectPoint(polylines[0][0], 4.5, 0);
    }
    // "z" has no glyph: the second A sits where it would in "AA".
    const auto polylines = PolylinePoints(*conv.GlyphStrokesToContainer({u"AzA"}, glyphs.Fn()));
    ASSERT_EQ(polylines.size(), 2u);
    ExpectPoint(polylines[1][0], 5, 0);
}

TEST(OutlineTextLayout, LinesStepDownByHeightPlusLineSpacing)
{
    TTesto2Container conv;
    conv.SetCharSpacing(0);
    TFakeGlyphs glyphs;
    const auto polylines = PolylinePoints(*conv.GlyphStrokesToContainer({u"A", u"", u"BA"}, glyphs.Fn()));
    ASSERT_EQ(polylines.size(), 4u);
    ExpectPoint(polylines[0][0], 0.5, 0);
    // Third line: baseline -24, starting at X 0 again.
    ExpectPoint(polylines[1][0], 0, -24);
    ExpectPoint(polylines[3][0], 1.5 + 0.5, -24);

    EXPECT_EQ(conv.GlyphStrokesToContainer({}, glyphs.Fn())->Objects().Count(), 0);
}

TEST(OutlineTextLayout, RotationTurnsTheWholeTextAboutTheOrigin)
{
    TTesto2Container conv;
    conv.SetRotation(90);
    TFakeGlyphs glyphs;
    const auto c = conv.GlyphStrokesToContainer({u"A"}, glyphs.Fn());
    // Unrotated box (0.5, 0)-(3, 10); turned counter-clockwise about (0, 0).
    ExpectBox(*c, -10, 0.5, 0, 3);
    // The polylines keep their own points: the turn is the container's transform.
    ExpectPoint(PolylinePoints(*c)[0][0], 0.5, 0);
}

TEST(OutlineTextLayout, FontWithoutCapitalAIsScaledByItsEm)
{
    TTesto2Container conv;
    TFakeGlyphs glyphs;
    glyphs.HasA = false;
    const auto c = conv.GlyphStrokesToContainer({u"B"}, glyphs.Fn());
    ExpectBox(*c, 0, 0, 30 * 10 / 1024.0, 200 * 10 / 1024.0);
}

TEST(OutlineTextLayout, SurrogatePairsAreOneCharacter)
{
    TTesto2Container conv;
    TFakeGlyphs glyphs;
    conv.GlyphStrokesToContainer({u"\U0001F600\xD800"}, glyphs.Fn());
    ASSERT_EQ(glyphs.Asked.size(), 3u); // "A" for the scale, then two characters
    EXPECT_EQ(glyphs.Asked[1], char32_t{0x1F600});
    EXPECT_EQ(glyphs.Asked[2], char32_t{0xD800});
}

TEST(OutlineTextLayout, ContourLongerThanAPolylineContinuesInAnother)
{
    TTesto2Container conv;
    const int32_t n = 70000;
    const auto fn = [n](char32_t code) -> std::unique_ptr<TStrokeCollection> {
        auto s = std::make_unique<TStrokeCollection>();
        if (code == U'A')
            AddRectangle(*s, 0, 0, 0, 10, 200);
        else
            for (int32_t i = 0; i < n; ++i)
                s->Add({0, i, 0, i + 1, 0});
        return s;
    };
    const auto polylines = PolylinePoints(*conv.GlyphStrokesToContainer({u"x"}, fn));
    ASSERT_EQ(polylines.size(), 2u);
    ASSERT_EQ(polylines[0].size(), 65535u);
    EXPECT_EQ(polylines[0].size() + polylines[1].size(), static_cast<size_t>(n) + 2);
    ExpectPoint(polylines[1][0], polylines[0].back().X, 0);
    ExpectPoint(polylines[1].back(), n * 0.05, 0);
}

TEST(OutlineTextLayout, FontThatCannotBeOpenedDrawsNothing)
{
    TTesto2Container conv;
    TFontRequest font;
    font.FileName = "/nonexistent/font.ttf";
    EXPECT_EQ(conv.TrueTypeToContainer({u"AB"}, font)->Objects().Count(), 0);
    EXPECT_EQ(conv.TrueTypeToContainer({}, font)->Objects().Count(), 0);
}

// ------------------------------------------------------------- stroke fonts

namespace {

using TStroke = std::vector<std::pair<double, double>>;

void AddChar(TBytes& b, int32_t code, const std::vector<TStroke>& strokes)
{
    b.I32(code).I32(static_cast<int32_t>(strokes.size()));
    for (const TStroke& s : strokes) {
        b.I16(static_cast<int16_t>(s.size()));
        for (const auto& [x, y] : s)
            b.F64(x).F64(y).F64(1);
    }
}

// "A": one stroke, advance 0.6. "B": an empty stroke between two others,
// advance 0.5.
TBytes SampleFont()
{
    TBytes b;
    AddChar(b, 'A', {{{0, 0}, {0.3, 1}, {0.6, 0}}});
    AddChar(b, 'B', {{{0, 0}, {0, 1}}, {}, {{0, 1}, {0.5, 0.5}, {0, 0}}});
    b.I32(-1);
    return b;
}

class StrokeText : public ::testing::Test {
protected:
    static constexpr uint16_t kSlot = 3;

    void SetUp() override
    {
        CADSysClearFontRegistry();
        WriteFileBytes(m_Dir.File("sample.fnd"), SampleFont().Data());
        CADSysRegisterFontFromFile(kSlot, m_Dir.File("sample.fnd"));
        m_Conv.SetStrokeFontIndex(kSlot);
    }
    void TearDown() override { CADSysClearFontRegistry(); }

    TTempDir m_Dir;
    TTesto2Container m_Conv; // height 10, spacing 2, line spacing 2
};

} // namespace

TEST_F(StrokeText, StrokesBecomeOpenPolylinesBelowTheOrigin)
{
    const auto c = m_Conv.StrokeTextToContainer({"AB"});
    const auto polylines = PolylinePoints(*c);
    ASSERT_EQ(polylines.size(), 3u); // B's empty stroke adds nothing
    ASSERT_EQ(polylines[0].size(), 3u);
    ExpectPoint(polylines[0][0], 0, -10);
    ExpectPoint(polylines[0][1], 3, 0);
    ExpectPoint(polylines[0][2], 6, -10);
    ExpectPoint(polylines[1][0], 8, -10); // 0.6 x 10 + 2
    ExpectPoint(polylines[2][1], 13, -5);
    ExpectBox(*c, 0, -10, 13, 0);
}

TEST_F(StrokeText, LackingBytesMoveByFourTenthsOfTheHeight)
{
    for (const std::string line : {"A A", "AzA", "A\rA"}) {
        const auto polylines = PolylinePoints(*m_Conv.StrokeTextToContainer({line}));
        ASSERT_EQ(polylines.size(), 2u) << line;
        ExpectPoint(polylines[1][0], 8 + 4 + 2, -10, line);
    }
}

TEST_F(StrokeText, LinesStepAndStartAtTheLeft)
{
    const auto polylines = PolylinePoints(*m_Conv.StrokeTextToContainer({"BA", "", "A"}));
    ASSERT_EQ(polylines.size(), 4u);
    ExpectPoint(polylines[3][0], 0, -10 - 12 - 12);

    m_Conv.SetRotation(90);
    const auto turned = m_Conv.StrokeTextToContainer({"A"});
    ExpectBox(*turned, 0, 0, 10, 6); // (0, -10)-(6, 0) turned about the origin
}

TEST_F(StrokeText, FontMustBeRegisteredAndIndexIsNotNarrowed)
{
    for (const int32_t index : {5, -1, 513, 65536 + kSlot}) {
        m_Conv.SetStrokeFontIndex(index);
        EXPECT_THROW(m_Conv.StrokeTextToContainer({"A"}), ECADObjClassNotFound) << index;
        // Empty lines need no font.
        EXPECT_EQ(m_Conv.StrokeTextToContainer({"", ""})->Objects().Count(), 0);
    }
}

TEST_F(StrokeText, OneStringAppendsToTheCallersPolylinesOnItsBaseline)
{
    std::vector<std::unique_ptr<TPolyline2D>> polylines;
    polylines.push_back(std::make_unique<TPolyline2D>(7, std::vector<TPoint2D>{MakePoint2D(1, 1)}));
    m_Conv.SetCharSpacing(1);
    m_Conv.SetRotation(45); // not applied to single strings
    m_Conv.StrokeTextToPolylines("AB", polylines, 5.5f, 2.25f);
    ASSERT_EQ(polylines.size(), 4u);
    EXPECT_EQ(polylines[0]->ID(), 7);
    EXPECT_EQ(polylines[1]->ID(), -1);
    ExpectPoint(Points(*polylines[1])[0], 2.25, 5.5);
    ExpectPoint(Points(*polylines[1])[1], 5.25, 15.5);
    ExpectPoint(Points(*polylines[2])[0], 2.25 + 7, 5.5);

    m_Conv.SetStrokeFontIndex(9);
    m_Conv.StrokeTextToPolylines("", polylines, 0, 0);
    EXPECT_EQ(polylines.size(), 4u);
}

TEST_F(StrokeText, PreviewDrawsStrokesAndMarksEveryPointAfterTheFirst)
{
    TRecordingCanvas canvas;
    m_Conv.PaintStrokeGlyph(canvas, 'A');
    const std::vector<std::string> expected = {"pen width 1",    "pen color 255",         "polyline 0,110 30,10 60,110",
                                               "pen color 65280", "frame 28,8-31,11",     "pen color 65280",
                                               "frame 58,108-61,111"};
    EXPECT_EQ(canvas.Calls, expected);

    TRecordingCanvas missing;
    m_Conv.PaintStrokeGlyph(missing, 'z');
    m_Conv.SetStrokeFontIndex(9);
    m_Conv.PaintStrokeGlyph(missing, 'A');
    EXPECT_TRUE(missing.Calls.empty());
}

// ------------------------------------------------------------ the font list

TEST(StrokeFontList, RegistersTheFolderFontsInNameOrderFromOne)
{
    CADSysClearFontRegistry();
    TTempDir dir;
    const std::filesystem::path fonts = dir.Path() / "SFonts";
    std::filesystem::create_directories(fonts / "e.fnd"); // a folder, not a font
    const auto font = [](int32_t code) {
        TBytes b;
        AddChar(b, code, {{{0, 0}, {1, 1}}});
        return b.I32(-1).Data();
    };
    WriteFileBytes((fonts / "B.FND").string(), font('b'));
    WriteFileBytes((fonts / "a.fnd").string(), font('a'));
    WriteFileBytes((fonts / "c.fnd").string(), TBytes().I32('c').I32(1).Data()); // ends inside a record
    WriteFileBytes((fonts / "d.fndx").string(), font('d'));
    WriteFileBytes((fonts / "d.txt").string(), font('d'));
    WriteFileBytes((fonts / "f.fnd").string(), font('f'));

    TTesto2Container conv;
    const TStrokeFontList list = conv.FillStrokeFontList(dir.Path().string());
    EXPECT_EQ(list.Names, (std::vector<std::string>{"a", "B", "f"}));
    EXPECT_EQ(list.Text, "a");
    ASSERT_EQ(list.Errors.size(), 1u);
    EXPECT_EQ(list.Errors[0].rfind("c.fnd: ", 0), 0u) << list.Errors[0];
    EXPECT_EQ(conv.StrokeFontIndex(), 1);
    // Item k is font k + 1: the damaged file took no slot.
    EXPECT_TRUE(CADSysFindFontByIndex(1)->GetChar('a'));
    EXPECT_TRUE(CADSysFindFontByIndex(2)->GetChar('b'));
    EXPECT_TRUE(CADSysFindFontByIndex(3)->GetChar('f'));
    EXPECT_THROW(CADSysFindFontByIndex(4), ECADObjClassNotFound);

    // A second fill keeps the registered fonts instead of failing on them.
    TTesto2Container again;
    EXPECT_EQ(again.FillStrokeFontList(dir.Path().string()).Names, list.Names);
    CADSysClearFontRegistry();
}

TEST(StrokeFontList, NoFontFilesKeepTheDefaultFont)
{
    CADSysClearFontRegistry();
    TTempDir dir;
    TTesto2Container conv;
    conv.SetStrokeFontIndex(4);
    const TStrokeFontList list = conv.FillStrokeFontList(dir.Path().string());
    EXPECT_TRUE(list.Names.empty());
    EXPECT_TRUE(list.Text.empty());
    EXPECT_TRUE(list.Errors.empty());
    EXPECT_EQ(conv.StrokeFontIndex(), 0);
}

TEST(StrokeFontList, GeneratedFontsRegisterWithoutErrors)
{
    CADSysClearFontRegistry();
    std::vector<std::string> expected;
    for (const auto& entry : std::filesystem::directory_iterator(KB_DATA_DIR "/SFonts"))
        if (entry.path().extension() == ".fnd")
            expected.push_back(entry.path().stem().string());
    std::sort(expected.begin(), expected.end());
    ASSERT_FALSE(expected.empty());

    TTesto2Container conv;
    const TStrokeFontList list = conv.FillStrokeFontList(KB_DATA_DIR);
    EXPECT_TRUE(list.Errors.empty());
    EXPECT_EQ(list.Names, expected);
    EXPECT_GT(PolylinePoints(*conv.StrokeTextToContainer({"AB"})).size(), 2u);
    CADSysClearFontRegistry();
}

}  // namespace testo2_container_test
