#include "core/entities/VectFont.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kSpace = 32;
// The signature the font reader hands to every character record.
constexpr std::string_view kFontSignature = "QV-3.6";
// Records are present from this signature on.
constexpr std::string_view kCharRecordSignature = "CAD4  ";
// The smallest stroke on file: its point count.
constexpr int64_t kMinStrokeBytes = 2;
constexpr int64_t kPointBytes = 24;

std::array<std::unique_ptr<TVectFont>, CADSysFontRegistrySize>& Registry()
{
    static std::array<std::unique_ptr<TVectFont>, CADSysFontRegistrySize> fonts;
    return fonts;
}

void CheckRegistrationIndex(uint16_t index, const char* method)
{
    if (index >= CADSysFontRegistrySize)
        throw ECADOutOfBound(std::string(method) + ": Out of bound registration index");
    if (Registry()[index])
        throw ECADObjClassNotFound(std::string(method) + ": Font index already allocated");
}

TPoint2D ReadPoint(TStream& stream)
{
    TPoint2D p;
    p.X = ReadDouble(stream);
    p.Y = ReadDouble(stream);
    p.W = ReadDouble(stream);
    if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.W))
        throw ECADFileNotValid("TVectChar.CreateFromStream: Invalid point.");
    return p;
}

} // namespace

// ---------------------------------------------------------------- TVectChar

TVectChar::TVectChar(int strokes)
{
    m_Strokes.reserve(static_cast<size_t>(std::max(strokes, 0)));
    for (int i = 0; i < strokes; ++i)
        m_Strokes.push_back(std::make_unique<TPointsSet2D>(0));
    m_Extents.FirstEdge = MakePoint2D(0, 0);
    m_Extents.SecondEdge = MakePoint2D(0, 0);
}

std::unique_ptr<TVectChar> TVectChar::CreateFromStream(TStream& stream, std::string_view signature)
{
    if (SignatureLess(signature, kCharRecordSignature))
        return std::make_unique<TVectChar>(0);
    try {
        const int32_t strokes = ReadInt32(stream);
        if (strokes < 0 || !stream.CanHold(strokes, kMinStrokeBytes))
            throw ECADFileNotValid("TVectChar.CreateFromStream: Invalid stroke count.");
        auto ch = std::make_unique<TVectChar>(strokes);
        for (auto& stroke : ch->m_Strokes) {
            const uint16_t points = ReadUInt16(stream);
            if (!stream.CanHold(points, kPointBytes))
                throw ECADFileNotValid("TVectChar.CreateFromStream: Invalid point count.");
            stroke->EnsureCapacity(points);
            for (int i = 0; i < points; ++i)
                stroke->Put(i, ReadPoint(stream));
        }
        ch->UpdateExtents();
        return ch;
    } catch (const EStreamReadError&) {
        throw ECADFileNotValid("TVectChar.CreateFromStream: The stream ends inside a character.");
    }
}

TPointsSet2D& TVectChar::GetStroke(int index)
{
    if (index < 0 || index >= StrokesCount())
        throw ECADOutOfBound("TVectChar.GetStroke: Index out of bounds.");
    return *m_Strokes[static_cast<size_t>(index)];
}

const TPointsSet2D& TVectChar::GetStroke(int index) const
{
    return const_cast<TVectChar*>(this)->GetStroke(index);
}

void TVectChar::UpdateExtents()
{
    double left = 0, bottom = 0, right = 0, top = 0; // the origin is always inside
    for (const auto& stroke : m_Strokes) {
        if (stroke->Count() == 0)
            continue;
        const TRect2D box = stroke->GetBounds();
        left = std::min({left, box.FirstEdge.X, box.SecondEdge.X});
        right = std::max({right, box.FirstEdge.X, box.SecondEdge.X});
        bottom = std::min({bottom, box.FirstEdge.Y, box.SecondEdge.Y});
        top = std::max({top, box.FirstEdge.Y, box.SecondEdge.Y});
    }
    m_Extents.FirstEdge = MakePoint2D(left, bottom);
    m_Extents.SecondEdge = MakePoint2D(right, top);
}

const TVectChar& MissingVectChar()
{
    static const std::unique_ptr<TVectChar> glyph = [] {
        auto ch = std::make_unique<TVectChar>(1);
        ch->GetStroke(0).Add(MakePoint2D(0, 0));
        ch->GetStroke(0).Add(MakePoint2D(0.8, 0));
        ch->UpdateExtents();
        return ch;
    }();
    return *glyph;
}

// ---------------------------------------------------------------- TVectFont

std::unique_ptr<TVectFont> TVectFont::CreateFromStream(TStream& stream)
{
    auto font = std::make_unique<TVectFont>();
    for (;;) {
        // Every pass consumes at least the 4 bytes of a code, so the loop
        // ends at the end of the stream whatever it holds.
        if (!stream.CanHold(1, 4))
            throw ECADFileNotValid("TVectFont.CreateFromStream: The font ends without its end mark.");
        const int32_t code = ReadInt32(stream);
        if (code == -1)
            return font;
        if (code < 0 || code >= kCharCount)
            throw ECADOutOfBound("TVectFont.CreateFromStream: Character code out of range.");
        font->SetChar(static_cast<uint8_t>(code), TVectChar::CreateFromStream(stream, kFontSignature));
    }
}

const TVectChar* TVectFont::GlyphToDraw(uint8_t code) const
{
    if (const TVectChar* ch = GetChar(code))
        return ch;
    if (code == kSpace || code == kCarriageReturn)
        return nullptr;
    return &MissingVectChar();
}

double TVectFont::CharAdvance(uint8_t code) const
{
    if (const TVectChar* ch = GlyphToDraw(code))
        return ch->Advance();
    return code == kSpace ? VectSpaceAdvance : 0.0;
}

TRect2D TVectFont::MeasureText(std::string_view text, double height, double charSpacing, double lineSpacing) const
{
    double lineWidth = 0;
    double lineDepth = 0;
    double widest = 0;
    double bottom = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<uint8_t>(text[i]);
        if (code == kLineFeed && i > 0 && static_cast<uint8_t>(text[i - 1]) == kCarriageReturn)
            continue;
        if (code == kCarriageReturn) {
            widest = std::max(widest, lineWidth - charSpacing);
            bottom -= lineSpacing + lineDepth;
            lineWidth = 0;
            lineDepth = 0;
            continue;
        }
        lineWidth += CharAdvance(code) + charSpacing;
        if (const TVectChar* ch = GlyphToDraw(code))
            lineDepth = std::max(lineDepth, 1 - ch->Descent());
    }
    widest = std::max(widest, lineWidth - charSpacing);
    TRect2D box;
    box.FirstEdge = MakePoint2D(0, (bottom - lineDepth) * height);
    box.SecondEdge = MakePoint2D(widest * height, 0);
    return box;
}

// ---------------------------------------------------------------- registry

void CADSysRegisterFontFromFile(uint16_t index, const std::string& fileName)
{
    CheckRegistrationIndex(index, "CADSysRegisterFontFromFile");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        UserNotifier().ShowMessage(EMessageKind::Error, "File not found!\r\n" + fileName, "");
        return;
    }
    std::unique_ptr<TVectFont> font;
    {
        std::unique_ptr<TFileStream> file;
        try {
            file = std::make_unique<TFileStream>(fileName, TFileStream::TMode::OpenRead);
        } catch (const std::exception&) {
            throw ECADFileNotValid("CADSysRegisterFontFromFile: Cannot open the font file.");
        }
        font = TVectFont::CreateFromStream(*file);
    }
    Registry()[index] = std::move(font);
}

void CADSysRegisterFont(uint16_t index, std::unique_ptr<TVectFont> font)
{
    CheckRegistrationIndex(index, "CADSysRegisterFont");
    if (!font)
        throw ECADFileNotValid("CADSysRegisterFont: No font.");
    Registry()[index] = std::move(font);
}

TVectFont* CADSysFindFontByIndex(uint16_t index)
{
    if (index >= CADSysFontRegistrySize || !Registry()[index])
        throw ECADObjClassNotFound("CADSysFindFontByIndex: Font not registered");
    return Registry()[index].get();
}

int16_t CADSysFindFontIndex(const TVectFont* font)
{
    if (font)
        for (size_t i = 0; i < Registry().size(); ++i)
            if (Registry()[i].get() == font)
                return static_cast<int16_t>(i);
    throw ECADObjClassNotFound("CADSysFindFontIndex: Font not found");
}

void CADSysClearFontRegistry()
{
    for (auto& font : Registry())
        font.reset();
}
