#include "io/dxf/DXFImportFile.h"

#include "core/settings/AppConfig.h"
#include "core/model/CADSysException.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/UserNotifier.h"
#include "core/entities/VectFont.h"
#include "io/dxf/DXF2DImport.h"

TDXFImportResult::TDXFImportResult() = default;
TDXFImportResult::TDXFImportResult(TDXFImportResult&&) noexcept = default;
TDXFImportResult& TDXFImportResult::operator=(TDXFImportResult&&) noexcept = default;
TDXFImportResult::~TDXFImportResult() = default;

std::string DXFImportReport(const TDXF2DImport& importer)
{
    if (!importer.Incomplete() || importer.OpenFailed())
        return {};
    std::string report;
    const auto addLine = [&report](const std::string& line) {
        if (!report.empty())
            report += "\r\n";
        report += line;
    };
    if (!importer.Damage().empty())
        addLine(LangFormat(LangText(LangKeys::String::DxfDamaged), {importer.Damage()}));
    if (!importer.Skipped().empty()) {
        constexpr size_t listed = 12;
        std::string list;
        for (size_t i = 0; i < importer.Skipped().size() && i < listed; ++i) {
            const TDXFSkip& skip = importer.Skipped()[i];
            if (!list.empty())
                list += ", ";
            list += std::to_string(skip.Count) + " " + skip.Type;
        }
        if (importer.Skipped().size() > listed)
            list += ", ...";
        addLine(LangFormat(LangText(LangKeys::String::DxfPartlyRead), {list}));
    }
    for (const std::string& note : importer.SkipNotes())
        addLine(note);
    return report;
}

TDXFImportResult ImportDXFFile(TQV_01Cmp2D& document, const std::string& fileName, const TAppConfig& settings,
                               const std::function<void(const TDXF2DImport&)>& beforeRead)
{
    TDXFImportResult result;
    auto importer = std::make_unique<TDXF2DImport>(fileName, &document, false);
    if (importer->OpenFailed()) {
        result.Report = importer->OpenError();
        return result;
    }
    if (beforeRead)
        beforeRead(*importer);
    try {
        TVectFont* font = nullptr;
        try {
            font = CADSysFindFontByIndex(0);
        } catch (const ECADSysException&) {
            // No stroke font: TEXT entities are left out and counted.
        }
        importer->SetTextFont(font);
        importer->ScaleX = importer->ScaleY = 1.0;
        importer->OffsetX = importer->OffsetY = 0.0;
        importer->PolylinesAsContainers = settings.DxfPolyInLA;
        importer->ReadIntoModel();
        result.Report = DXFImportReport(*importer);
        result.Importer = std::move(importer);
        result.FileKind = OpenedFileKindDxf;
    } catch (const std::exception& e) {
        // Nothing below raises by contract; should it all the same, the open
        // has failed and the caller says so.
        result.Importer.reset();
        result.FileKind = OpenedFileKindFailed;
        result.Report = e.what();
        return result;
    }
    if (!result.Report.empty())
        UserNotifier().ShowMessage(EMessageKind::Warning, result.Report, LangText(LangKeys::String::ErrorCaption));
    return result;
}
