#include "core/entities/Etichetta.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"

#include <cmath>

namespace {

// The smallest stored label: an empty text's length and four singles.
constexpr int64_t kMinLabelBytes = 4 + 4 * 4;

std::unique_ptr<TEtichetta>& CurrentLabelSlot()
{
    static std::unique_ptr<TEtichetta> label;
    return label;
}

float ReadFiniteSingle(TStream& stream)
{
    const float value = ReadSingle(stream);
    if (!std::isfinite(value))
        throw ECADFileNotValid("TEtichetta.CreateFromStream: Invalid label position or size.");
    return value;
}

} // namespace

TEtichetta::TEtichetta(bool detached) : TObject2D(-1), m_Labels(1), m_Detached(detached) {}

TEtichetta::TEtichetta(TStream& stream, std::string_view signature) : TObject2D(stream, signature)
{
    const int32_t count = ReadInt32(stream);
    if (count < 0 || !stream.CanHold(count, kMinLabelBytes))
        throw ECADFileNotValid("TEtichetta.CreateFromStream: Invalid number of labels.");
    m_Labels.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        TDatiEtichetta label;
        label.Text = ReadStreamEx(stream);
        label.X = ReadFiniteSingle(stream);
        label.Y = ReadFiniteSingle(stream);
        label.Height = ReadFiniteSingle(stream);
        label.Spacing = ReadFiniteSingle(stream);
        m_Labels.push_back(std::move(label));
    }
    m_FontIndex = ReadInt32(stream);
    m_Detached = true;
}

std::unique_ptr<TGraphicObject> TEtichetta::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TEtichetta>(stream, signature);
}

TEtichetta::TEtichetta(const TEtichetta& source, TCloneTag tag)
    : TObject2D(source, tag), m_Labels(source.m_Labels), m_FontIndex(source.m_FontIndex),
      m_Detached(source.m_Detached)
{
}

std::unique_ptr<TGraphicObject> TEtichetta::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TEtichetta(*this, TCloneTag{}));
}

void TEtichetta::ComputeBounds()
{
    SetBox(MakeRect2D(0, 0, 0, 0));
}

int32_t TEtichetta::PickAt(const TPoint2D& /*point*/, double& distance, double /*aperture*/)
{
    distance = PickFarDistance;
    return PickNone;
}

void TEtichetta::SaveToStream(TStream& stream)
{
    TObject2D::SaveToStream(stream);
    WriteInt32(stream, LabelCount());
    for (const TDatiEtichetta& label : m_Labels) {
        WriteStreamEx(stream, label.Text);
        WriteSingle(stream, label.X);
        WriteSingle(stream, label.Y);
        WriteSingle(stream, label.Height);
        WriteSingle(stream, label.Spacing);
    }
    WriteInt32(stream, m_FontIndex);
}

TEtichetta* CurrentLabelObject()
{
    return CurrentLabelSlot().get();
}

void SetCurrentLabelObject(std::unique_ptr<TEtichetta> label)
{
    CurrentLabelSlot() = std::move(label);
}

std::unique_ptr<TEtichetta> TakeLabelObject(std::unique_ptr<TGraphicObject>& object)
{
    if (!dynamic_cast<TEtichetta*>(object.get()))
        return nullptr;
    return std::unique_ptr<TEtichetta>(static_cast<TEtichetta*>(object.release()));
}
