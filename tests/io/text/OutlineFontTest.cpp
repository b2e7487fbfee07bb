// Outline-font text on installed fonts, checked against FreeType itself:
// DejaVu Sans (fonts-dejavu-core) for TrueType, any CFF or Type 1 font for
// cubic outlines, and damaged copies of DejaVu Sans for hostile input.

#include "io/text/Testo2Container.h"

#include "core/entities/Container2D.h"
#include "core/entities/Polyline2D.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

namespace outline_font_test {

using namespace kbtest;

// fontconfig 2.14 loses a few bytes while it parses the system configuration
// once per process; that is not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

// One face opened with FreeType directly, at the converter's em of 1024
// pixels, unhinted.
class TFtFace {
public:
    explicit TFtFace(const std::string& file)
    {
        if (FT_Init_FreeType(&m_Library) == 0 && FT_New_Face(m_Library, file.c_str(), 0, &m_Face) == 0)
            FT_Set_Char_Size(m_Face, 0, 1024 * 64, 72, 72);
    }
    ~TFtFace()
    {
        if (m_Face)
            FT_Done_Face(m_Face);
        if (m_Library)
            FT_Done_FreeType(m_Library);
    }
    FT_Face Face() const { return m_Face; }
    // The glyph's outline, loaded; null when the face has no such glyph.
    FT_Outline* Load(char32_t code)
    {
        const FT_UInt index = m_Face ? FT_Get_Char_Index(m_Face, code) : 0;
        if (index == 0 || FT_Load_Glyph(m_Face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
            return nullptr;
        return &m_Face->glyph->outline;
    }

private:
    FT_Library m_Library = nullptr;
    FT_Face m_Face = nullptr;
};

struct TBox {
    double XMin, YMin, XMax, YMax;
    int Contours;
};

TBox ExactBox(TFtFace& face, char32_t code)
{
    FT_Outline* outline = face.Load(code);
    EXPECT_TRUE(outline);
    if (!outline)
        return {};
    FT_BBox b;
    FT_Outline_Get_BBox(outline, &b);
    return {b.xMin / 64.0, b.yMin / 64.0, b.xMax / 64.0, b.yMax / 64.0, outline->n_contours};
}

std::string DejaVuFile()
{
    TFontRequest request;
    request.Family = "DejaVu Sans";
    const std::optional<TFontFile> file = MatchFontFile(request);
    if (!file)
        return {};
    TFtFace face(file->FileName);
    if (!face.Face() || std::string(face.Face()->family_name) != "DejaVu Sans")
        return {};
    return file->FileName;
}

// The points of every contour as the converter samples them: lines to their end, each
// curve at t = k / steps; repeated points dropped. Worked out from FreeType's
// own decomposition with the Bernstein forms.
struct TSampler {
    int Steps = 6;
    int Conics = 0;
    int Cubics = 0;
    TVector2D Current{};
    std::vector<std::vector<TVector2D>> Contours;

    static TVector2D P(const FT_Vector* v) { return MakeVector2D(v->x / 64.0, v->y / 64.0); }
    void Push(TVector2D p)
    {
        auto& c = Contours.back();
        if (c.empty() || c.back().X != p.X || c.back().Y != p.Y)
            c.push_back(p);
        Current = p;
    }
    static int MoveTo(const FT_Vector* to, void* user)
    {
        auto& s = *static_cast<TSampler*>(user);
        s.Contours.emplace_back();
        s.Push(P(to));
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user)
    {
        static_cast<TSampler*>(user)->Push(P(to));
        return 0;
    }
    static int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user)
    {
        auto& s = *static_cast<TSampler*>(user);
        const TVector2D a = s.Current, q = P(c), e = P(to);
        ++s.Conics;
        for (int k = 1; k <= s.Steps; ++k) {
            const double t = static_cast<double>(k) / s.Steps, u = 1 - t;
            s.Push(MakeVector2D(u * u * a.X + 2 * u * t * q.X + t * t * e.X, u * u * a.Y + 2 * u * t * q.Y + t * t * e.Y));
        }
        return 0;
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
    {
        auto& s = *static_cast<TSampler*>(user);
        const TVector2D a = s.Current, p1 = P(c1), p2 = P(c2), e = P(to);
        ++s.Cubics;
        for (int k = 1; k <= s.Steps; ++k) {
            const double t = static_cast<double>(k) / s.Steps, u = 1 - t;
            const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
            s.Push(MakeVector2D(b0 * a.X + b1 * p1.X + b2 * p2.X + b3 * e.X, b0 * a.Y + b1 * p1.Y + b2 * p2.Y + b3 * e.Y));
        }
        return 0;
    }
};

// The converter's strokes of the glyph follow the sampled points of every
// contour, each end within the integer rounding.
void ExpectFlattenedAsSampled(const std::string& file, char32_t code, int steps, TSampler& sampler)
{
    TFtFace face(file);
    FT_Outline* outline = face.Load(code);
    ASSERT_TRUE(outline);
    sampler.Steps = steps;
    FT_Outline_Funcs funcs{};
    funcs.move_to = TSampler::MoveTo;
    funcs.line_to = TSampler::LineTo;
    funcs.conic_to = TSampler::ConicTo;
    funcs.cubic_to = TSampler::CubicTo;
    ASSERT_EQ(FT_Outline_Decompose(outline, &funcs, &sampler), 0);

    TTTFConv converter;
    TFontRequest font;
    font.FileName = file;
    converter.AssignFont(font);
    converter.SetWide(true);
    converter.SetCurveSteps(steps);
    const auto strokes = converter.GetGlyphStrokes(code);
    ASSERT_TRUE(strokes);
    size_t next = 0;
    for (size_t c = 0; c < sampler.Contours.size(); ++c) {
        const auto& points = sampler.Contours[c];
        for (size_t i = 1; i < points.size(); ++i, ++next) {
            ASSERT_LT(next, strokes->Strokes().size());
            const TGlyphStroke& s = strokes->Strokes()[next];
            EXPECT_EQ(s.Contour, static_cast<int32_t>(c));
            EXPECT_NEAR(s.X1, points[i - 1].X, 0.5 + 1e-6) << "contour " << c << " point " << i;
            EXPECT_NEAR(s.Y1, points[i - 1].Y, 0.5 + 1e-6) << "contour " << c << " point " << i;
            EXPECT_NEAR(s.X2, points[i].X, 0.5 + 1e-6) << "contour " << c << " point " << i;
            EXPECT_NEAR(s.Y2, points[i].Y, 0.5 + 1e-6) << "contour " << c << " point " << i;
        }
    }
    EXPECT_EQ(next, strokes->Strokes().size());
}

std::vector<const TPolyline2D*> Polylines(const TContainer2D& c)
{
    std::vector<const TPolyline2D*> out;
    auto it = c.Objects().GetIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        out.push_back(dynamic_cast<const TPolyline2D*>(o));
    return out;
}

// An installed font with cubic outlines: fontconfig's CFF or Type 1 fonts
// first, then the Type 1 fonts that groff ships.
std::string CubicFontFile()
{
    std::string found;
    if (FcInit()) {
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_FONTFORMAT, nullptr);
        if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
            for (int i = 0; i < set->nfont && found.empty(); ++i) {
                FcChar8* format = nullptr;
                FcChar8* file = nullptr;
                if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) == FcResultMatch &&
                    FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
                    const std::string f = reinterpret_cast<const char*>(format);
                    if (f == "CFF" || f == "Type 1")
                        found = reinterpret_cast<const char*>(file);
                }
            }
            FcFontSetDestroy(set);
        }
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }
    std::error_code ec;
    if (found.empty() && std::filesystem::is_directory("/usr/share/groff", ec))
        for (const auto& e : std::filesystem::recursive_directory_iterator("/usr/share/groff", ec))
            if (e.path().filename() == "freeeuro.pfa")
                return e.path().string();
    return found;
}

} // namespace

class DejaVuText : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_File = DejaVuFile();
        ASSERT_FALSE(m_File.empty()) << "fontconfig does not find \"DejaVu Sans\" (fonts-dejavu-core)";
        m_Font.Family = "DejaVu Sans";
    }
    std::string m_File;
    TFontRequest m_Font;
};

TEST_F(DejaVuText, TextAbGivesClosedOutlinesInFreeTypesBox)
{
    TTesto2Container conv; // height 10, spacing 2
    const auto c = conv.TrueTypeToContainer({u"AB"}, m_Font);
    TFtFace face(m_File);
    const TBox a = ExactBox(face, U'A');
    const TBox b = ExactBox(face, U'B');
    const double s = 10 / (a.YMax - a.YMin);
    const double tol = 1.5 * s; // integer rounding of the outline points

    const auto polylines = Polylines(*c);
    ASSERT_EQ(polylines.size(), static_cast<size_t>(a.Contours + b.Contours));
    for (const TPolyline2D* p : polylines) {
        ASSERT_TRUE(p);
        const auto points = p->Points().Points();
        ASSERT_GE(points.size(), 4u);
        EXPECT_EQ(points.front().X, points.back().X);
        EXPECT_EQ(points.front().Y, points.back().Y);
    }
    // A from its own left side bearing; B after A's ink width and the spacing.
    const double penB = (a.XMax - a.XMin) * s + 2;
    EXPECT_NEAR(c->Box().FirstEdge.X, a.XMin * s, tol);
    EXPECT_NEAR(c->Box().SecondEdge.X, penB + b.XMax * s, tol);
    EXPECT_NEAR(c->Box().FirstEdge.Y, std::min(a.YMin, b.YMin) * s, tol);
    EXPECT_NEAR(c->Box().SecondEdge.Y, std::max(a.YMax, b.YMax) * s, tol);
    // The capital A is exactly one text height.
    const auto onlyA = conv.TrueTypeToContainer({u"A"}, m_Font);
    EXPECT_NEAR(onlyA->Box().SecondEdge.Y - onlyA->Box().FirstEdge.Y, 10, 1e-9);
}

TEST_F(DejaVuText, QuadraticContoursAreFlattenedIntoCurveStepsChords)
{
    for (const int steps : {1, 6}) {
        TSampler sampler;
        ExpectFlattenedAsSampled(m_File, U'O', steps, sampler);
        EXPECT_GT(sampler.Conics, 0);
        EXPECT_EQ(sampler.Cubics, 0);
    }
}

TEST_F(DejaVuText, SpaceAndEightBitCodes)
{
    TTesto2Container conv;
    conv.SetCharSpacing(1);
    TFtFace face(m_File);
    const TBox a = ExactBox(face, U'A');
    const TBox zero = ExactBox(face, U'0');
    const double s = 10 / (a.YMax - a.YMin);
    const auto spaced = conv.TrueTypeToContainer({u" A"}, m_Font);
    EXPECT_NEAR(spaced->Box().FirstEdge.X, (zero.XMax - zero.XMin) * s + 1 + a.XMin * s, 1.5 * s);

    // The 8-bit preview path reads bytes as Windows-1252: 0x80 is the euro sign.
    TTTFConv narrow;
    narrow.AssignFont(m_Font);
    const auto euro = narrow.GetGlyphStrokes(0x80);
    ASSERT_TRUE(euro);
    narrow.SetWide(true);
    EXPECT_EQ(narrow.GetGlyphStrokes(0x20AC)->Strokes().size(), euro->Strokes().size());
    EXPECT_FALSE(narrow.GetGlyphStrokes(U' ')); // no outline
}

TEST_F(DejaVuText, GlyphPreviewFitsTheBox)
{
    TTesto2Container conv;
    TRecordingCanvas canvas;
    conv.PaintTrueTypeGlyph(canvas, 120, 200, m_Font, 'I');
    int lines = 0, left = 1000, bottom = 0;
    for (const std::string& call : canvas.Calls) {
        int x1, y1, x2, y2;
        if (std::sscanf(call.c_str(), "line %d,%d-%d,%d", &x1, &y1, &x2, &y2) != 4)
            continue;
        ++lines;
        for (const auto& [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
            EXPECT_GE(x, 10);
            EXPECT_LE(x, 110);
            EXPECT_GE(y, 9); // the vertical mapping keeps one pixel less at the top
            EXPECT_LE(y, 189);
            left = std::min(left, x);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_EQ(lines, 4); // "I" is one rectangle
    EXPECT_EQ(left, 10);
    EXPECT_EQ(bottom, 189);
}

TEST(CubicOutlineFont, CubicContoursAreFlattenedToo)
{
    const std::string file = CubicFontFile();
    if (file.empty())
        GTEST_SKIP() << "no CFF or Type 1 font is installed; cubic outlines are covered by the hand-built cases";
    for (const char32_t code : {U'O', U'B', U'\u20AC'}) {
        TFtFace face(file);
        if (!face.Load(code))
            continue;
        TSampler sampler;
        ExpectFlattenedAsSampled(file, code, 6, sampler);
        EXPECT_GT(sampler.Cubics, 0) << file;
        return;
    }
    GTEST_SKIP() << file << " has none of the glyphs tried";
}

TEST(HostileFontFile, DamagedFontsNeverCrashTheConverter)
{
    const std::string dejavu = DejaVuFile();
    ASSERT_FALSE(dejavu.empty());
    const std::vector<uint8_t> good = ReadFileBytes(dejavu);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> variants;
    variants.push_back({"empty", {}});
    variants.push_back({"noise", std::vector<uint8_t>(64, 0xFF)});
    variants.push_back({"header only", {good.begin(), good.begin() + 300}});
    variants.push_back({"a third", {good.begin(), good.begin() + static_cast<long>(good.size() / 3)}});
    auto scrambled = good;
    for (size_t i = scrambled.size() / 2; i < scrambled.size(); i += 97)
        scrambled[i] ^= 0x5A;
    variants.push_back({"scrambled glyphs", scrambled});
    auto tables = good;
    tables[4] = 0xFF; // numTables
    tables[5] = 0xFF;
    variants.push_back({"table count", tables});

    TTempDir dir;
    std::u16string text;
    for (char16_t ch = 1; ch < 0x250; ++ch)
        text.push_back(ch);
    for (const auto& [name, bytes] : variants) {
        SCOPED_TRACE(name);
        WriteFileBytes(dir.File("bad.ttf"), bytes);
        TFontRequest font;
        font.FileName = dir.File("bad.ttf");
        TTesto2Container conv;
        conv.SetCurveSteps(100);
        const auto c = conv.TrueTypeToContainer({text, u"AB"}, font);
        const TRect2D box = c->Box();
        EXPECT_TRUE(std::isfinite(box.FirstEdge.X) && std::isfinite(box.SecondEdge.Y));
        TRecordingCanvas canvas;
        for (int ch = 0; ch < 256; ch += 7)
            conv.PaintTrueTypeGlyph(canvas, 100, 100, font, static_cast<uint8_t>(ch));
        TGlyphOutlineSource memory(bytes);
        for (char32_t ch = 32; ch < 128; ++ch) {
            if (const auto outline = memory.GetOutline(ch)) {
                EXPECT_TRUE(OutlineToStrokes(*outline, 6));
            }
        }
    }
}

}  // namespace outline_font_test
