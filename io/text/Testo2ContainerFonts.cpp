// The stroke-font list and the two glyph previews of the text converter.

#include "io/text/Testo2Container.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "core/entities/VectFont.h"
#include "core/model/ViewInterfaces.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr uint32_t kPreviewRed = 0x000000FF;
constexpr uint32_t kPreviewGreen = 0x0000FF00;
constexpr int32_t kPreviewMargin = 10;
constexpr double kStrokePreviewScale = 100;
constexpr double kStrokePreviewBaseline = 110;
// Keeps a pixel coordinate of a far-off point inside int32.
constexpr double kMaxPixel = 1e9;

int32_t ToPixel(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int32_t>(std::nearbyint(std::clamp(v, -kMaxPixel, kMaxPixel)));
}

// The 4-pixel square centred on a point.
void DrawMarker(TCanvas2D& canvas, int32_t x, int32_t y)
{
    canvas.SetPenColor(kPreviewGreen);
    canvas.FrameRect(x - 2, y - 2, x + 1, y + 1);
}

// Name order without regard to ASCII case; names equal that way keep byte
// order, so the order is total.
bool NameLess(const std::string& a, const std::string& b)
{
    const auto folded = [](char x, char y) { return AsciiLower(x) < AsciiLower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded))
        return false;
    return a < b;
}

bool IsFontFileName(const std::filesystem::path& name)
{
    std::string ext = name.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), AsciiLower);
    return ext == ".fnd";
}

std::vector<std::string> FontFileNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && IsFontFileName(it->path().filename()))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

bool SlotRegistered(uint16_t index)
{
    try {
        CADSysFindFontByIndex(index);
        return true;
    } catch (const ECADObjClassNotFound&) {
        return false;
    }
}

} // namespace

TStrokeFontList TTesto2Container::FillStrokeFontList(const std::string& programFolder)
{
    TStrokeFontList list;
    const std::filesystem::path folder = std::filesystem::path(programFolder) / kStrokeFontFolder;
    int32_t index = 1;
    for (const std::string& name : FontFileNames(folder)) {
        if (index >= CADSysFontRegistrySize) {
            list.Errors.push_back(name + ": no free stroke font slot");
            continue;
        }
        // Read before the slot is touched, so a damaged file takes no slot
        // however often the list is filled.
        std::unique_ptr<TVectFont> font;
        try {
            TFileStream file((folder / name).string(), TFileStream::TMode::OpenRead);
            font = TVectFont::CreateFromStream(file);
        } catch (const std::exception& e) {
            list.Errors.push_back(name + ": " + e.what());
            continue;
        }
        const auto slot = static_cast<uint16_t>(index);
        if (!SlotRegistered(slot))
            CADSysRegisterFont(slot, std::move(font));
        list.Names.push_back(std::filesystem::path(name).stem().string());
        ++index;
    }
    if (!list.Names.empty())
        list.Text = list.Names.front();
    m_StrokeFontIndex = list.Names.empty() ? 0 : 1;
    return list;
}

void TTesto2Container::PaintTrueTypeGlyph(TCanvas2D& canvas, int32_t width, int32_t height, const TFontRequest& font,
                                          uint8_t character) const
{
    TTTFConv converter;
    converter.AssignFont(font);
    converter.SetCurveSteps(m_CurveSteps);
    const std::unique_ptr<TStrokeCollection> strokes = converter.GetGlyphStrokes(character);
    if (!strokes)
        return;
    const TIntRect box = strokes->GetBounds();
    const double scale =
        std::min((width - 2.0 * kPreviewMargin) / (static_cast<double>(box.Right) - box.Left + 1),
                 (height - 2.0 * kPreviewMargin) / (static_cast<double>(box.Bottom) - box.Top + 1));
    const auto px = [&](int32_t x) { return ToPixel((static_cast<double>(x) - box.Left) * scale) + kPreviewMargin; };
    const auto py = [&](int32_t y) {
        return height - (ToPixel((static_cast<double>(y) - box.Top) * scale) + kPreviewMargin) - 1;
    };
    canvas.SetPenWidth(1);
    for (const TGlyphStroke& s : strokes->Strokes()) {
        canvas.SetPenColor(kPreviewRed);
        canvas.Line(px(s.X1), py(s.Y1), px(s.X2), py(s.Y2));
        DrawMarker(canvas, px(s.X1), py(s.Y1));
    }
}

void TTesto2Container::PaintStrokeGlyph(TCanvas2D& canvas, uint8_t character) const
{
    const TVectFont* font = nullptr;
    try {
        font = &StrokeFont();
    } catch (const ECADObjClassNotFound&) {
        return; // a preview of a font that is not there shows nothing
    }
    const TVectChar* ch = font->GetChar(character);
    if (!ch)
        return;
    canvas.SetPenWidth(1);
    std::vector<TIntPoint> pixels;
    for (int i = 0; i < ch->StrokesCount(); ++i) {
        pixels.clear();
        for (const TPoint2D& p : ch->GetStroke(i).Points()) {
            const TPoint2D c = CartesianPoint2D(p);
            pixels.push_back(TIntPoint{ToPixel(kStrokePreviewScale * c.X),
                                       ToPixel(kStrokePreviewBaseline - kStrokePreviewScale * c.Y)});
        }
        if (pixels.empty())
            continue;
        canvas.SetPenColor(kPreviewRed);
        canvas.Polyline(pixels);
        for (size_t k = 1; k < pixels.size(); ++k)
            DrawMarker(canvas, pixels[k].X, pixels[k].Y);
    }
}
