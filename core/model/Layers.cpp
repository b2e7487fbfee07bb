#include "core/model/Layers.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

#include <algorithm>

namespace {

constexpr size_t NameFieldSize = 32; // length byte + 31 characters
constexpr int16_t SectionStart = 1;
constexpr int16_t SectionEnd = 256;

std::string DefaultLayerName(const char* prefix, int number)
{
    return prefix + std::to_string(number);
}

} // namespace

void TDecorativePen::SetBit(int index, bool value)
{
    if (index < 0 || index >= MaxPatternLength)
        throw ECADOutOfBound("TDecorativePen.SetBit: Bit index out of bounds");
    if (static_cast<size_t>(index) >= m_Bits.size())
        m_Bits.resize(static_cast<size_t>(index) + 1, false);
    m_Bits[static_cast<size_t>(index)] = value;
}

bool TDecorativePen::GetBit(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_Bits.size())
        throw ECADOutOfBound("TDecorativePen.GetBit: Bit index out of bounds");
    return m_Bits[static_cast<size_t>(index)];
}

TQV_21Layer::TQV_21Layer(uint8_t number)
    : m_Name(DefaultLayerName("Layer_", number)), m_Number(number)
{
}

void TQV_21Layer::SetPenColor(uint32_t color)
{
    m_Pen.Color = color;
    SetModified();
}

void TQV_21Layer::SetPenStyle(uint8_t style)
{
    m_Pen.Style = style;
    SetModified();
}

void TQV_21Layer::SetPenMode(uint8_t mode)
{
    m_Pen.Mode = mode;
    SetModified();
}

void TQV_21Layer::SetPenWidth(int32_t width)
{
    m_Pen.Width = width;
    SetModified();
}

void TQV_21Layer::SetBrushColor(uint32_t color)
{
    m_Brush.Color = color;
    SetModified();
}

void TQV_21Layer::SetBrushStyle(uint8_t style)
{
    m_Brush.Style = style;
    SetModified();
}

void TQV_21Layer::SetName(std::string_view name)
{
    const std::string_view cut = name.substr(0, MaxNameLength);
    if (cut == m_Name)
        return;
    m_Name = cut;
    SetModified();
}

void TQV_21Layer::SaveToStream(TStream& stream) const
{
    WriteUInt32(stream, m_Pen.Color);
    WriteUInt8(stream, m_Pen.Style);
    WriteUInt8(stream, m_Pen.Mode);
    WriteInt32(stream, m_Pen.Width);
    WriteUInt32(stream, m_Brush.Color);
    WriteUInt8(stream, m_Brush.Style);
    const int length = m_DecorativePen.PatternLength();
    WriteInt32(stream, length);
    for (int i = 0; i < length; ++i)
        WriteUInt8(stream, m_DecorativePen.GetBit(i) ? 1 : 0);
    WriteUInt8(stream, m_Active);
    WriteUInt8(stream, m_Visible);
    WriteUInt8(stream, m_SpareFlag);
    WriteUInt8(stream, m_SavedObjects);
    // The rest of the name field is written as zeros.
    std::string field(NameFieldSize, '\0');
    field[0] = static_cast<char>(m_Name.size());
    std::copy(m_Name.begin(), m_Name.end(), field.begin() + 1);
    stream.Write(field.data(), field.size());
}

void TQV_21Layer::LoadFromStream(TStream& stream, std::string_view signature)
{
    // Everything is read into a copy first, so that a damaged record leaves
    // the layer as it was.
    TLayerPen pen;
    pen.Color = ReadUInt32(stream);
    pen.Style = ReadUInt8(stream);
    pen.Mode = ReadUInt8(stream);
    pen.Width = ReadInt32(stream);
    TLayerBrush brush;
    brush.Color = ReadUInt32(stream);
    brush.Style = ReadUInt8(stream);
    if (SignatureLess(signature, "CAD422"))
        ReadInt32(stream); // a field of the oldest layouts, unused

    TDecorativePen pattern = m_DecorativePen;
    if (!SignatureLess(signature, "CAD41")) {
        const int32_t length = ReadInt32(stream);
        if (length < 0 || length > TDecorativePen::MaxPatternLength || !stream.CanHold(length, 1))
            throw ECADFileNotValid("TQV_21Layer.LoadFromStream: Invalid pattern length");
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        stream.ReadBuffer(bytes.data(), bytes.size());
        pattern.Clear();
        for (int32_t i = 0; i < length; ++i)
            pattern.SetBit(i, bytes[static_cast<size_t>(i)] != 0);
    }

    const uint8_t active = ReadUInt8(stream);
    const uint8_t visible = SignatureLess(signature, "CAD4") ? 1 : ReadUInt8(stream);
    const uint8_t spare = ReadUInt8(stream);

    uint8_t savedObjects = 1;
    std::string name;
    if (signature == "CAD3  ") {
        savedObjects = ReadUInt8(stream);
        name = DefaultLayerName("Layer ", m_Number);
    } else if (SignatureLess(signature, "CAD33")) {
        name = DefaultLayerName("Layer ", m_Number);
    } else {
        savedObjects = ReadUInt8(stream);
        const std::string field = ReadFixedString(stream, NameFieldSize);
        // A length byte above 31 (a damaged record) is cut to the field.
        const size_t length = std::min<size_t>(static_cast<uint8_t>(field[0]), MaxNameLength);
        name = field.substr(1, length);
    }

    m_Pen = pen;
    m_Brush = brush;
    m_DecorativePen = std::move(pattern);
    m_Active = active;
    m_Visible = visible;
    m_SpareFlag = spare;
    m_SavedObjects = savedObjects;
    m_Name = std::move(name);
    m_Modified = true;
}

TSceneColor LayerColorToVector(const TQV_21Layer& layer)
{
    return SceneColorFromWinColor(layer.Pen().Color, 1.0f);
}

TQV_20Layers::TQV_20Layers()
{
    m_Layers.reserve(LayerCount);
    for (int i = 0; i < LayerCount; ++i)
        m_Layers.emplace_back(static_cast<uint8_t>(i));
}

TQV_21Layer& TQV_20Layers::GetLayer(int number)
{
    if (number < 0 || number >= LayerCount)
        throw ECADOutOfBound("TQV_20Layers.GetLayer: Layer index out of bounds (" +
                             std::to_string(number) + ")");
    return m_Layers[static_cast<size_t>(number)];
}

const TQV_21Layer& TQV_20Layers::GetLayer(int number) const
{
    return const_cast<TQV_20Layers*>(this)->GetLayer(number);
}

void TQV_20Layers::SaveToStream(TStream& stream) const
{
    WriteInt16(stream, SectionStart);
    for (const TQV_21Layer& layer : m_Layers) {
        if (!layer.Modified())
            continue;
        WriteInt16(stream, layer.Number());
        layer.SaveToStream(stream);
    }
    WriteInt16(stream, SectionEnd);
}

void TQV_20Layers::LoadFromStream(TStream& stream, std::string_view signature)
{
    if (ReadInt16(stream) != SectionStart)
        throw ECADFileNotValid("TLayers.LoadFromStream: No layers found");
    while (stream.Remaining() > 0) {
        const int16_t number = ReadInt16(stream);
        if (number == SectionEnd)
            return;
        GetLayer(number).LoadFromStream(stream, signature);
    }
}

uint32_t TQV_20Layers::DefaultLayersColor() const
{
    return m_Layers[0].Pen().Color;
}

void TQV_20Layers::SetDefaultLayersColor(uint32_t color)
{
    for (TQV_21Layer& layer : m_Layers) {
        if (layer.Modified())
            continue;
        layer.SetPenColor(color);
        layer.ClearModified();
    }
}
