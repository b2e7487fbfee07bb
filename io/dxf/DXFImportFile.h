#pragma once
// Opening a DXF file as File/Open does, up to the open-geometry panel: the
// one call of the main window (and of a file named on the command line).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TAppConfig;
class TDXF2DImport;
class TQV_01Cmp2D;

// The kinds of the opened-file record that a DXF open gives.
inline constexpr uint8_t OpenedFileKindDxf = 2;
inline constexpr uint8_t OpenedFileKindFailed = 7;

struct TDXFImportResult {
    // OpenedFileKindDxf when the file was read (also when only in part),
    // OpenedFileKindFailed when it could not be opened.
    uint8_t FileKind = OpenedFileKindFailed;
    // The importer after reading, for the open-geometry panel (counters,
    // Version, Extents, Incomplete); null when the file could not be opened.
    std::unique_ptr<TDXF2DImport> Importer;
    // The warning the user was shown after a partial read; empty otherwise.
    std::string Report;

    TDXFImportResult();
    TDXFImportResult(TDXFImportResult&&) noexcept;
    TDXFImportResult& operator=(TDXFImportResult&&) noexcept;
    ~TDXFImportResult();
};

// Reads the file into the document with stroke font 0 for TEXT (TEXT is
// left out when no font 0 is registered), scale 1 and offset 0, and the
// light-weight polyline mode of settings.DxfPolyInLA. A file that cannot be
// opened, or does not start like a DXF file, gives OpenedFileKindFailed with
// the reader's reason in Report, shows nothing (the caller reports the
// failed open) and leaves the document alone. Otherwise beforeRead, when
// given, runs first with the importer (a replacing open clears the drawing
// there; a progress bar can follow the importer's ReadFraction), then the
// file is read. A file read only in part (damage, or entities left out)
// shows one warning box (caption: the language text "450") with
// DXFImportReport's text. Raises only what beforeRead raises.
TDXFImportResult ImportDXFFile(TQV_01Cmp2D& document, const std::string& fileName, const TAppConfig& settings,
                               const std::function<void(const TDXF2DImport&)>& beforeRead = {});

// The warning text after a partial read, lines joined by CR LF: the damage
// (language text "DxfDamaged"), the entities left out ("DxfPartly", at most
// twelve types listed), then the distinct reasons the readers gave. Empty
// when the file was read whole.
std::string DXFImportReport(const TDXF2DImport& importer);
