#include "cam/tools/LibreriaUtBase.h"

#include "cam/tools/ToolPage.h"
#include "core/settings/AppConfig.h"
#include "core/model/CADSysException.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"
#include "platform/IniFile.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

void TLibreriaUtBase::Clear()
{
    m_Records.clear();
    if (m_ListView)
        m_ListView->Clear();
}

void TLibreriaUtBase::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_Records.erase(m_Records.begin() + index);
    if (m_ListView)
        m_ListView->DeleteItem(index);
}

void TLibreriaUtBase::AddRecord(std::unique_ptr<TDatiUtBase> record)
{
    if (!record || record->Kind() != Kind())
        throw std::invalid_argument("TLibreriaUtBase.AddRecord: record of another kind");
    if (m_ListView)
        m_ListView->AddItem(ItemCaption(*record), ItemImage(*record));
    m_Records.push_back(std::move(record));
}

void TLibreriaUtBase::MoveRecord(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
        return;
    std::unique_ptr<TDatiUtBase> record = std::move(m_Records[static_cast<size_t>(from)]);
    m_Records.erase(m_Records.begin() + from);
    m_Records.insert(m_Records.begin() + (from < to ? to - 1 : to), std::move(record));
}

void TLibreriaUtBase::SelectRecordOf(const TDatiUtBase& tool)
{
    if (!m_ListView)
        return;
    const std::string caption = ItemCaption(tool);
    for (int i = 0; i < Count(); ++i) {
        const TDatiUtBase& record = Record(i);
        if (record.ToolType == tool.ToolType && ItemCaption(record) == caption) {
            m_ListView->SelectItem(i);
            return;
        }
    }
    m_ListView->SelectItem(-1);
}

void TLibreriaUtBase::TypeChanged(int /*toolType*/) {}

std::string TLibreriaUtBase::SizeWord() const
{
    return LangText(LangKeys::String::MillToolSize);
}

std::string TLibreriaUtBase::ItemCaption(const TDatiUtBase& record) const
{
    return record.ToolName + CaptionOpen() + SizeWord() + " " + FormatToolSize(record.Diameter) + ")";
}

bool TLibreriaUtBase::NewFromPage()
{
    std::unique_ptr<TDatiUtBase> record = NewRecord();
    if (m_Page && !record->FromPage(*m_Page))
        return false;
    AddRecord(std::move(record));
    return true;
}

void TLibreriaUtBase::LoadFromStream(TStream& stream)
{
    while (stream.Position() < stream.Size()) {
        std::unique_ptr<TDatiUtBase> record = NewRecord();
        record->LoadFromStream(stream, false);
        AddRecord(std::move(record));
    }
}

void TLibreriaUtBase::SaveToStream(TStream& stream) const
{
    for (const std::unique_ptr<TDatiUtBase>& record : m_Records)
        record->SaveToStream(stream, false);
}

bool TLibreriaUtBase::LoadFromFile(const std::string& fileName, TDatiUtBase* destination, bool assignFirst)
{
    Clear();
    try {
        TFileStream file(fileName, TFileStream::TMode::OpenRead);
        // The records are read one by one, so that the first one reaches the
        // page as soon as it is there, as the list fills.
        while (file.Position() < file.Size()) {
            std::unique_ptr<TDatiUtBase> record = NewRecord();
            record->LoadFromStream(file, false);
            AddRecord(std::move(record));
            if (Count() == 1) {
                if (m_Page) {
                    m_Records.front()->ToPage(*m_Page);
                    if (m_ListView && m_Page->IsShowing())
                        m_ListView->SetFocus();
                }
                if (m_ListView)
                    m_ListView->SelectItem(0);
                if (assignFirst && destination && destination->Kind() == EToolKind::Lathe &&
                    Kind() == EToolKind::Lathe)
                    static_cast<TDatiUtTornio*>(destination)->Assign(static_cast<const TDatiUtTornio&>(*m_Records.front()));
            }
        }
    } catch (const std::exception&) {
        UserNotifier().ShowMessage(EMessageKind::Warning,
                                   fileName + " " + LangText(LangKeys::String::CouldNotBeUsed),
                                   LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    SetLibraryName(fileName);
    return true;
}

void TLibreriaUtBase::SaveToFile(const std::string& fileName)
{
    TMemoryStream bytes;
    SaveToStream(bytes);
    const std::vector<uint8_t>& data = bytes.Data();
    const std::string error =
        WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    if (!error.empty())
        throw EStreamWriteError(error);
    SetLibraryName(fileName);
}

void TLibreriaUtBase::SetLibraryName(const std::string& fileName)
{
    if (m_Page)
        m_Page->SetText(NameLabel(), fileName);
    StoreNameSetting(fileName);
}

// --- Mill -------------------------------------------------------------------

void TFresaLib::TypeChanged(int toolType)
{
    if (!m_Page)
        return;
    TToolPage& page = *m_Page;
    auto show = [&page](const char* field, const char* label, bool visible) {
        page.SetVisible(field, visible);
        page.SetVisible(label, visible);
    };
    switch (toolType) {
    case kToolToro:
        show("txtC_Raggio", "lblC_Raggio", true);
        page.SetEnabled("txtC_Raggio", true);
        page.SetEnabled("lblC_Raggio", true);
        show("txtAngolo", "lblAngolo", false);
        show("txtDiamFlat", "lblDiamFlat", false);
        break;
    case kToolSferico: {
        // A ball's corner radius is half its diameter; the field shows it
        // and cannot be edited.
        const std::optional<double> diameter = ParseDecimal(page.Text("txtDiametro"));
        page.SetText("txtC_Raggio", FormatCoordSpaced(diameter.value_or(0) / 2));
        show("txtC_Raggio", "lblC_Raggio", true);
        page.SetEnabled("txtC_Raggio", false);
        show("txtAngolo", "lblAngolo", false);
        show("txtDiamFlat", "lblDiamFlat", false);
        break;
    }
    case kToolConico:
        show("txtC_Raggio", "lblC_Raggio", false);
        show("txtAngolo", "lblAngolo", true);
        show("txtDiamFlat", "lblDiamFlat", true);
        break;
    case kToolFlat:
    case kToolPunta:
        show("txtC_Raggio", "lblC_Raggio", false);
        show("txtAngolo", "lblAngolo", false);
        show("txtDiamFlat", "lblDiamFlat", false);
        break;
    default:
        break;
    }
}

void TFresaLib::StoreNameSetting(const std::string& fileName) const
{
    AppConfig().ToolsLib = fileName;
}

// --- Lathe ------------------------------------------------------------------

bool TTornioLib::NewFromPage()
{
    auto record = std::make_unique<TDatiUtTornio>();
    if (m_OperationTool)
        record->Assign(*m_OperationTool);
    if (m_Page && !record->FromPage(*m_Page))
        return false;
    AddRecord(std::move(record));
    return true;
}

std::string TTornioLib::SizeWord() const
{
    return LangText(LangKeys::String::LatheToolSize);
}

void TTornioLib::StoreNameSetting(const std::string& fileName) const
{
    AppConfig().LatheLib = fileName;
}

// --- Laser ------------------------------------------------------------------

void TLaserLib::StoreNameSetting(const std::string& fileName) const
{
    AppConfig().LaserLib = fileName;
}

std::string SelectLibraryFile(const std::string& settingName, const std::string& toolsFolder)
{
    std::error_code ec;
    if (!settingName.empty() && std::filesystem::is_regular_file(settingName, ec))
        return settingName;
    // The name may come from a settings file written on Windows.
    const size_t slash = settingName.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? settingName : settingName.substr(slash + 1);
    std::string folder = toolsFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + name;
}
