#include "core/entities/Etichetta.h"

#include "core/entities/LabelServices.h"
#include "core/entities/Polyline2D.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"

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

namespace {

TLabelTextConverter& RequireConverter(const char* caller)
{
    TLabelTextConverter* converter = LabelTextConverter();
    if (!converter)
        throw ECADSysException(std::string(caller) + ": No text converter.");
    return *converter;
}

} // namespace

void TEtichetta::AppendLabel()
{
    m_Labels.emplace_back();
}

void TEtichetta::RemoveLabel()
{
    if (!m_Labels.empty())
        m_Labels.pop_back();
}

void TEtichetta::SetFont(int32_t itemIndex)
{
    m_FontIndex = itemIndex;
    if (TLabelTextConverter* converter = LabelTextConverter())
        converter->SetStrokeFontIndex(itemIndex + 1);
}

TContainer2D* TEtichetta::OutlineContainer(TQV_01Cmp2D* document) const
{
    if (m_OwnContainer)
        return m_OwnContainer.get();
    if (!document || m_PlacedAddress == 0)
        return nullptr;
    // The object under the remembered ID must still be the one the label
    // added: undo may have deleted it, and a loaded drawing reuses IDs.
    TObject2D* object = document->GetObject(m_PlacedID);
    if (reinterpret_cast<std::uintptr_t>(object) != m_PlacedAddress)
        return nullptr;
    return dynamic_cast<TContainer2D*>(object);
}

void TEtichetta::GenerateOutlines(TQV_01Cmp2D* document)
{
    TLabelTextConverter& converter = RequireConverter("TEtichetta.GenerateOutlines");
    std::vector<std::unique_ptr<TPolyline2D>> polylines;
    for (const TDatiEtichetta& label : m_Labels) {
        converter.SetTextHeight(label.Height);
        converter.SetCharSpacing(label.Spacing);
        converter.StrokeTextToPolylines(label.Text, polylines, label.Y, label.X);
    }
    std::vector<std::unique_ptr<TObject2D>> children;
    children.reserve(polylines.size());
    for (std::unique_ptr<TPolyline2D>& polyline : polylines)
        children.push_back(std::move(polyline));
    auto container = std::make_unique<TContainer2D>(-1, std::move(children));

    if (m_Detached || !document) {
        m_OwnContainer = std::move(container);
        return;
    }

    TContainer2D* previous = OutlineContainer(document);
    const int32_t previousID = previous ? previous->ID() : -1;
    TContainer2D* added = document->AddObject(-1, std::move(container));
    m_PlacedID = added->ID();
    m_PlacedAddress = reinterpret_cast<std::uintptr_t>(added);
    // One step for the whole regeneration, recorded while the previous
    // container still exists so that its record can be kept.
    if (TUndoRedo* journal = UndoJournal()) {
        if (previous)
            journal->AddUndo(TUndoKind::ScaleReplace, {previousID, added->ID()});
        else
            journal->AddUndo(TUndoKind::NewObjects, {added->ID()});
    }
    if (previous)
        document->DeleteObject(previousID);
    document->RepaintViewports();
}

void TEtichetta::OutlinesToChains(TQV_01Cmp2D* document)
{
    const TLabelChainWriter& writer = LabelChainWriter();
    if (!writer)
        return;
    std::vector<const TPolyline2D*> polylines;
    if (TContainer2D* container = OutlineContainer(document)) {
        TGraphicObjIterator it = container->Objects().GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            if (const auto* polyline = dynamic_cast<const TPolyline2D*>(child))
                polylines.push_back(polyline);
    }
    writer(polylines);
}

void TEtichetta::Apply(TQV_01Cmp2D* document)
{
    GenerateOutlines(document);
    if (m_Detached)
        OutlinesToChains(document);
}

std::unique_ptr<TContainer2D> TEtichetta::PositionPreview(int32_t row) const
{
    if (row < 0 || row >= LabelCount())
        return nullptr;
    const TDatiEtichetta& label = m_Labels[static_cast<size_t>(row)];
    if (label.Text.empty())
        return nullptr;
    TLabelTextConverter& converter = RequireConverter("TEtichetta.PickPosition");
    converter.SetTextHeight(label.Height);
    converter.SetCharSpacing(label.Spacing);
    std::unique_ptr<TContainer2D> container = converter.StrokeTextToContainer(label.Text);
    if (!container || container->Objects().Count() == 0)
        return nullptr;
    return container;
}

TEtichetta* CurrentLabelObject()
{
    return CurrentLabelSlot().get();
}

void SetCurrentLabelObject(std::unique_ptr<TEtichetta> label)
{
    CurrentLabelSlot() = std::move(label);
}

std::unique_ptr<TEtichetta> ReleaseCurrentLabelObject()
{
    return std::move(CurrentLabelSlot());
}

std::unique_ptr<TEtichetta> TakeLabelObject(std::unique_ptr<TGraphicObject>& object)
{
    if (!dynamic_cast<TEtichetta*>(object.get()))
        return nullptr;
    return std::unique_ptr<TEtichetta>(static_cast<TEtichetta*>(object.release()));
}
