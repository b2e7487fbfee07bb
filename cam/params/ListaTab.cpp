#include "cam/params/ListaTab.h"

#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/NumberText.h"

namespace {

TQV_01Cmp*& MarkerDocumentSlot()
{
    static TQV_01Cmp* document = nullptr;
    return document;
}

constexpr const char* kInvalidStream = "LoadFromStream: Invalid stream.";

// Deletes a tab's marker from the drawing; false when the drawing refused.
bool DeleteMarker(TDatiTab& tab)
{
    TQV_01Cmp* document = TabMarkerDocument();
    if (!document || tab.MarkerId == kNoTabMarker)
        return true;
    try {
        document->DeleteObject(tab.MarkerId);
    } catch (const ECADSysException&) {
        return false;
    }
    tab.MarkerId = kNoTabMarker;
    return true;
}

} // namespace

void SetTabMarkerDocument(TQV_01Cmp* document)
{
    MarkerDocumentSlot() = document;
}

TQV_01Cmp* TabMarkerDocument()
{
    return MarkerDocumentSlot();
}

TDatiTab TDatiTab::CreateFromStream(TStream& stream)
{
    TDatiTab tab;
    tab.PickPoint.X = ReadDouble(stream);
    tab.PickPoint.Y = ReadDouble(stream);
    tab.ChainPoint.X = ReadDouble(stream);
    tab.ChainPoint.Y = ReadDouble(stream);
    tab.Distance = ReadDouble(stream);
    tab.ChainId = ReadInt32(stream);
    tab.SegmentIndex = ReadInt32(stream);
    return tab;
}

void TDatiTab::SaveToStream(TStream& stream) const
{
    WriteDouble(stream, PickPoint.X);
    WriteDouble(stream, PickPoint.Y);
    WriteDouble(stream, ChainPoint.X);
    WriteDouble(stream, ChainPoint.Y);
    WriteDouble(stream, Distance);
    WriteInt32(stream, ChainId);
    WriteInt32(stream, SegmentIndex);
}

void TListaTab::AddTab(std::unique_ptr<TDatiTab> tab)
{
    if (!tab)
        return;
    if (m_ListBox)
        m_ListBox->AddLine(FormatCoordX(tab->ChainPoint.X) + " " + FormatCoordY(tab->ChainPoint.Y));
    m_Tabs.push_back(std::move(tab));
}

void TListaTab::DeleteTab(int index)
{
    if (index < 0 || index >= Count())
        return;
    // A marker the drawing no longer has must not keep the tab.
    DeleteMarker(*m_Tabs[static_cast<size_t>(index)]);
    m_Tabs.erase(m_Tabs.begin() + index);
    if (m_ListBox)
        m_ListBox->DeleteLine(index);
}

void TListaTab::RemoveMarkers()
{
    for (const std::unique_ptr<TDatiTab>& tab : m_Tabs)
        if (!DeleteMarker(*tab))
            return;
}

void TListaTab::ClearTabs()
{
    RemoveMarkers();
    m_Tabs.clear();
    if (m_ListBox)
        m_ListBox->Clear();
}

void TListaTab::LoadFromStream(TStream& stream, std::string_view version)
{
    const int32_t count = ReadInt32(stream);
    if (count <= 0)
        return;
    try {
        const double width = ReadDouble(stream);
        double thickness = TabThickness;
        uint8_t full = Full;
        uint8_t reserved = Reserved;
        if (!SignatureLess(version, "QV-002")) {
            thickness = ReadDouble(stream);
            full = ReadUInt8(stream);
            reserved = ReadUInt8(stream);
        }
        if (!stream.CanHold(count, kTabRecordSize))
            throw ECADFileNotValid(kInvalidStream);
        TabWidth = width;
        TabThickness = thickness;
        Full = full;
        Reserved = reserved;
        m_Tabs.reserve(m_Tabs.size() + static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            m_Tabs.push_back(std::make_unique<TDatiTab>(TDatiTab::CreateFromStream(stream)));
            if (stream.Position() >= stream.Size())
                throw ECADFileNotValid(kInvalidStream);
        }
    } catch (const std::exception&) {
        m_Tabs.clear();
        throw ECADFileNotValid(kInvalidStream);
    }
}

void TListaTab::SaveToStream(TStream& stream) const
{
    WriteInt32(stream, Count());
    if (m_Tabs.empty())
        return;
    WriteDouble(stream, TabWidth);
    WriteDouble(stream, TabThickness);
    WriteUInt8(stream, Full);
    WriteUInt8(stream, Reserved);
    for (const std::unique_ptr<TDatiTab>& tab : m_Tabs)
        tab->SaveToStream(stream);
}
