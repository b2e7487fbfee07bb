#include "io/text/Testo2Container.h"

#include "core/model/CADSysException.h"
#include "core/entities/Container2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/geometry/PointsSet.h"
#include "core/entities/VectFont.h"

#include <optional>

namespace {

constexpr char32_t kReferenceGlyph = U'A';
constexpr char32_t kBlankWidthGlyph = U'0';
constexpr char32_t kLastBlankCode = 32;
constexpr size_t kMaxPolylinePoints = static_cast<size_t>(TPointsSet2D::kMaxPoints);

using TObjects = std::vector<std::unique_ptr<TObject2D>>;

// The characters of a UTF-16 line; a surrogate pair is one character, a lone
// surrogate stays a code of its own (no font has a glyph for it).
std::vector<char32_t> CodePoints(const std::u16string& line)
{
    std::vector<char32_t> codes;
    codes.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        const char16_t unit = line[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF) {
            codes.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (line[i + 1] - 0xDC00));
            ++i;
        } else {
            codes.push_back(unit);
        }
    }
    return codes;
}

// Builds polylines point by point, splitting one that reaches the most a
// polyline can hold.
class TPolylineBuilder {
public:
    explicit TPolylineBuilder(TObjects& out) : m_Out(out) {}

    void Start(const TPoint2D& p)
    {
        Finish();
        m_Points.push_back(p);
    }

    void Append(const TPoint2D& p)
    {
        if (m_Points.size() == kMaxPolylinePoints) {
            const TPoint2D last = m_Points.back();
            Finish();
            m_Points.push_back(last);
        }
        m_Points.push_back(p);
    }

    void Finish()
    {
        if (!m_Points.empty())
            m_Out.push_back(std::make_unique<TPolyline2D>(-1, m_Points));
        m_Points.clear();
    }

private:
    TObjects& m_Out;
    std::vector<TPoint2D> m_Points;
};

// One polyline per contour: it starts at the contour's first stroke start
// and takes every stroke end of that contour.
void AddGlyphPolylines(TObjects& out, const TStrokeCollection& strokes, double scale, double penX, double penY)
{
    const auto map = [&](int32_t x, int32_t y) { return MakePoint2D(x * scale + penX, y * scale + penY); };
    TPolylineBuilder builder(out);
    bool started = false;
    int32_t contour = 0;
    for (const TGlyphStroke& stroke : strokes.Strokes()) {
        if (!started || stroke.Contour != contour) {
            builder.Start(map(stroke.X1, stroke.Y1));
            contour = stroke.Contour;
            started = true;
        }
        builder.Append(map(stroke.X2, stroke.Y2));
    }
    builder.Finish();
}

// Lays the strokes of one stroke-font string out from (penX, baseline);
// returns nothing, appends one polyline per stroke with points.
template <class TSink>
void LayOutStrokeString(const TVectFont& font, std::string_view text, double height, double spacing, double penX,
                        double baseline, TSink sink)
{
    std::vector<TPoint2D> points;
    for (const char byte : text) {
        const TVectChar* ch = font.GetChar(static_cast<uint8_t>(byte));
        if (!ch) {
            penX += VectSpaceAdvance * height + spacing;
            continue;
        }
        for (int i = 0; i < ch->StrokesCount(); ++i) {
            const TPointsSet2D& stroke = ch->GetStroke(i);
            if (stroke.Count() == 0)
                continue;
            points.clear();
            for (const TPoint2D& p : stroke.Points()) {
                const TPoint2D c = CartesianPoint2D(p);
                points.push_back(MakePoint2D(c.X * height + penX, c.Y * height + baseline));
            }
            sink(std::make_unique<TPolyline2D>(-1, points));
        }
        penX += ch->Advance() * height + spacing;
    }
}

std::unique_ptr<TContainer2D> MakeContainer(TObjects objects, double rotation)
{
    auto container = std::make_unique<TContainer2D>(-1, std::move(objects));
    if (rotation != 0)
        container->Transform(TMatrix4::CreateRotationZ(rotation, true));
    return container;
}

} // namespace

// ----------------------------------------------------------- outline fonts

std::unique_ptr<TContainer2D> TTesto2Container::TrueTypeToContainer(const std::vector<std::u16string>& lines,
                                                                    const TFontRequest& font) const
{
    if (lines.empty())
        return MakeContainer({}, 0);
    TTTFConv converter;
    converter.SetWide(true);
    converter.AssignFont(font);
    converter.SetCurveSteps(m_CurveSteps);
    return GlyphStrokesToContainer(lines, [&converter](char32_t code) { return converter.GetGlyphStrokes(code); });
}

std::unique_ptr<TContainer2D> TTesto2Container::GlyphStrokesToContainer(const std::vector<std::u16string>& lines,
                                                                        const TGlyphStrokesFn& glyphStrokes) const
{
    if (lines.empty())
        return MakeContainer({}, 0);
    TObjects objects;
    std::optional<double> scale; // taken from "A" at the first line with text
    double penY = 0;
    for (const std::u16string& line : lines) {
        if (!line.empty()) {
            if (!scale) {
                const std::unique_ptr<TStrokeCollection> reference = glyphStrokes(kReferenceGlyph);
                const TIntRect box = reference ? reference->GetBounds() : TIntRect{};
                const int64_t capHeight = static_cast<int64_t>(box.Bottom) - box.Top;
                scale = m_TextHeight / (capHeight > 0 ? static_cast<double>(capHeight) : kOutlineEmSize);
            }
            double penX = 0;
            for (const char32_t code : CodePoints(line)) {
                const bool blank = code <= kLastBlankCode;
                const std::unique_ptr<TStrokeCollection> strokes = glyphStrokes(blank ? kBlankWidthGlyph : code);
                if (!strokes)
                    continue;
                if (!blank)
                    AddGlyphPolylines(objects, *strokes, *scale, penX, penY);
                const TIntRect box = strokes->GetBounds();
                penX += (static_cast<double>(box.Right) - box.Left) * *scale + m_CharSpacing;
            }
        }
        penY -= m_TextHeight + m_LineSpacing;
    }
    return MakeContainer(std::move(objects), m_Rotation);
}

// ------------------------------------------------------------ stroke fonts

const TVectFont& TTesto2Container::StrokeFont() const
{
    // Checked before narrowing, so a large index cannot wrap onto a slot.
    if (m_StrokeFontIndex < 0 || m_StrokeFontIndex >= CADSysFontRegistrySize)
        throw ECADObjClassNotFound("CADSysFindFontByIndex: Font not registered");
    return *CADSysFindFontByIndex(static_cast<uint16_t>(m_StrokeFontIndex));
}

std::unique_ptr<TContainer2D> TTesto2Container::StrokeTextToContainer(const std::vector<std::string>& lines) const
{
    TObjects objects;
    double penY = -m_TextHeight;
    for (const std::string& line : lines) {
        if (!line.empty())
            LayOutStrokeString(StrokeFont(), line, m_TextHeight, m_CharSpacing, 0, penY,
                               [&objects](std::unique_ptr<TPolyline2D> p) { objects.push_back(std::move(p)); });
        penY -= m_TextHeight + m_LineSpacing;
    }
    return MakeContainer(std::move(objects), lines.empty() ? 0 : m_Rotation);
}

void TTesto2Container::StrokeTextToPolylines(std::string_view text, std::vector<std::unique_ptr<TPolyline2D>>& polylines,
                                             float y, float x) const
{
    if (text.empty())
        return;
    LayOutStrokeString(StrokeFont(), text, m_TextHeight, m_CharSpacing, x, y,
                       [&polylines](std::unique_ptr<TPolyline2D> p) { polylines.push_back(std::move(p)); });
}

TTesto2Container& SharedTextConverter()
{
    static TTesto2Container converter;
    return converter;
}
