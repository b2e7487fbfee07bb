#include "io/text/GlyphOutlines.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <array>
#include <cmath>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kAnsiHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Where a symbol font keeps the characters an 8-bit code names.
constexpr FT_ULong kSymbolArea = 0xF000;

// Collects FreeType's decomposition into outline records. Coordinates
// arrive in 26.6 fixed point.
struct TDecomposer {
    TGlyphOutline Outline;
    bool Bad = false;

    bool Convert(const FT_Vector* v, TVector2D& out)
    {
        out = MakeVector2D(static_cast<double>(v->x) / 64.0, static_cast<double>(v->y) / 64.0);
        if (std::fabs(out.X) > kMaxOutlineCoordinate || std::fabs(out.Y) > kMaxOutlineCoordinate)
            Bad = true;
        return !Bad;
    }

    // Appends points as a record of kind; consecutive line segments share
    // one record.
    int Add(TOutlineRecordKind kind, std::initializer_list<const FT_Vector*> points)
    {
        if (Outline.Contours.empty()) {
            Bad = true;
            return 1;
        }
        auto& records = Outline.Contours.back().Records;
        if (kind != TOutlineRecordKind::Line || records.empty() || records.back().Kind != kind)
            records.push_back(TOutlineRecord{kind, {}});
        for (const FT_Vector* v : points) {
            TVector2D p;
            if (!Convert(v, p))
                return 1;
            records.back().Points.push_back(p);
        }
        return 0;
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto& d = *static_cast<TDecomposer*>(user);
    TOutlineContour contour;
    if (!d.Convert(to, contour.Start))
        return 1;
    d.Outline.Contours.push_back(std::move(contour));
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    return static_cast<TDecomposer*>(user)->Add(TOutlineRecordKind::Line, {to});
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    return static_cast<TDecomposer*>(user)->Add(TOutlineRecordKind::QSpline, {control, to});
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    return static_cast<TDecomposer*>(user)->Add(TOutlineRecordKind::CSpline, {control1, control2, to});
}

} // namespace

char32_t AnsiToUnicode(uint8_t code)
{
    if (code >= 0x80 && code <= 0x9F)
        return kAnsiHigh[code - 0x80];
    return code;
}

std::optional<TFontFile> MatchFontFile(const TFontRequest& request)
{
    if (!FcInit())
        return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return std::nullopt;
    std::optional<TFontFile> found;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        found = TFontFile{reinterpret_cast<const char*>(file), 0};
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            found->FaceIndex = index;
    }
    FcPatternDestroy(match);
    return found;
}

// ------------------------------------------------------- TGlyphOutlineSource

struct TGlyphOutlineSource::TImpl {
    enum class TMap { None, Unicode, Symbol, First };

    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    std::vector<uint8_t> Data; // the font in memory; FreeType reads it in place
    TMap Map = TMap::None;

    TImpl() { FT_Init_FreeType(&Library); }
    ~TImpl()
    {
        DropFace();
        if (Library)
            FT_Done_FreeType(Library);
    }

    void DropFace()
    {
        if (Face)
            FT_Done_Face(Face);
        Face = nullptr;
    }

    FT_UInt GlyphIndex(char32_t code) const
    {
        switch (Map) {
        case TMap::None:
            return 0;
        case TMap::Symbol:
            if (FT_UInt index = FT_Get_Char_Index(Face, code))
                return index;
            return code < 0x100 ? FT_Get_Char_Index(Face, kSymbolArea + code) : 0;
        case TMap::Unicode:
        case TMap::First:
            break;
        }
        return FT_Get_Char_Index(Face, code);
    }
};

TGlyphOutlineSource::TGlyphOutlineSource(const TFontRequest& request) : m_Impl(std::make_unique<TImpl>())
{
    if (!request.FileName.empty()) {
        Open(request.FileName, request.FaceIndex);
        return;
    }
    if (const std::optional<TFontFile> file = MatchFontFile(request))
        Open(file->FileName, file->FaceIndex);
}

TGlyphOutlineSource::TGlyphOutlineSource(std::vector<uint8_t> fontData) : m_Impl(std::make_unique<TImpl>())
{
    m_Impl->Data = std::move(fontData);
    if (!m_Impl->Library || m_Impl->Data.empty())
        return;
    if (FT_New_Memory_Face(m_Impl->Library, m_Impl->Data.data(), static_cast<FT_Long>(m_Impl->Data.size()), 0,
                           &m_Impl->Face) != 0) {
        m_Impl->Face = nullptr;
        return;
    }
    Prepare();
}

TGlyphOutlineSource::~TGlyphOutlineSource() = default;

void TGlyphOutlineSource::Open(const std::string& fileName, int32_t faceIndex)
{
    // A negative index asks FreeType only whether it knows the format.
    if (!m_Impl->Library || faceIndex < 0)
        return;
    if (FT_New_Face(m_Impl->Library, fileName.c_str(), faceIndex, &m_Impl->Face) != 0) {
        m_Impl->Face = nullptr;
        return;
    }
    m_FileName = fileName;
    Prepare();
}

void TGlyphOutlineSource::Prepare()
{
    FT_Face face = m_Impl->Face;
    if (!FT_IS_SCALABLE(face) || FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(kOutlineEmSize * 64), 72, 72) != 0) {
        m_Impl->DropFace();
        m_FileName.clear();
        return;
    }
    using TMap = TImpl::TMap;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0)
        m_Impl->Map = TMap::Unicode;
    else if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0)
        m_Impl->Map = TMap::Symbol;
    else if (face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0)
        m_Impl->Map = TMap::First;
}

bool TGlyphOutlineSource::Valid() const
{
    return m_Impl->Face != nullptr;
}

std::optional<TGlyphOutline> TGlyphOutlineSource::GetOutline(char32_t code) const
{
    if (!Valid())
        return std::nullopt;
    const FT_UInt index = m_Impl->GlyphIndex(code);
    if (index == 0)
        return std::nullopt;
    FT_Face face = m_Impl->Face;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return std::nullopt;
    FT_Outline& outline = face->glyph->outline;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || outline.n_contours <= 0 || FT_Outline_Check(&outline) != 0)
        return std::nullopt;
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    TDecomposer decomposer;
    if (FT_Outline_Decompose(&outline, &funcs, &decomposer) != 0 || decomposer.Bad ||
        decomposer.Outline.Contours.empty())
        return std::nullopt;
    return std::move(decomposer.Outline);
}
