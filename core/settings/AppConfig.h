#pragma once
// The program's settings: the measuring unit and what follows from it
// (tolerances, grid and snap sizes, number formats, tool-library names, the
// default post-processor), colours and line widths, folders, the language and
// the main window's bounds. They live in the settings file "kestrabel.ini" of
// the configuration folder (platform/ConfigFolder.h finds the folder).
//
// The settings file is shared: the main window writes its toolbar layout and
// recent files into it, the machine-control window its macros. Saving the
// settings rewrites only the keys listed here and keeps everything else.
//
// Numbers in the file always use "." as decimal separator, whatever the
// process locale; a value that does not read as a number (a comma written by
// hand, a word) gives the default, as a missing key does.

#include <cstdint>
#include <string>

// The values that follow the measuring unit.
struct TUnitDefaults {
    double SystemTol;
    double ChainTol;
    double SimulTol;
    double GridSize;      // "GridSizeX", "GridSizeY"
    double GridStep;      // "GridX", "GridY", "SnapX", "SnapY"
    double MaxArcFit;
    int CoordDecimals;    // the coordinate format "%0.<n>f" of the number texts
    int ToolSizeDecimals; // the tool-size format
    const char* UnitWord; // ends the default tool-library names
    const char* Pst;      // the default post-processor
};

// Index 0 inch, 1 millimetres.
const TUnitDefaults& UnitDefaults(bool millimetres);

// The settings. Stored settings are public fields named exactly as their keys
// in the settings file, so that the settings page and the dialogs that edit
// them while the program runs change them in place; changes of "SystemTol",
// "ChainTol" and "MaxCurveSeg" reach the geometry functions at once, because
// those read them through references into the published object.
//
// The object is neither copied nor moved: the published references point
// into it.
class TAppConfig {
public:
    // Reads "<configFolder>/kestrabel.ini" ("Unit" first, so that every other
    // default follows the unit read) and publishes the object (PublishTolerances).
    // A missing or unreadable file gives the defaults, nothing is reported.
    // An empty folder reads no file: the object then holds the millimetre
    // defaults and Save refuses to write.
    explicit TAppConfig(std::string configFolder);
    ~TAppConfig();
    TAppConfig(const TAppConfig&) = delete;
    TAppConfig& operator=(const TAppConfig&) = delete;

    // Unit := millimetres; the system, chain and simulation tolerances, the
    // arc-fit radius, the number formats and the unit word from the unit
    // defaults; "MaxCurveSeg" back to 200. Grid and snap sizes stay.
    void SetUnit(bool millimetres);
    // SetUnit with the current unit, then the background, default layer,
    // grid and the three toolpath colours back to their defaults. The chain
    // colour and the line widths stay.
    void ResetColors();
    // Makes this the program's settings object: the geometry tolerances read
    // this object's fields from now on, and AppConfig() returns it. The
    // constructor does it; the destructor undoes it for the object that is
    // published at that time.
    void PublishTolerances();

    // Writes every stored setting into the settings file, keeping the keys
    // and sections it does not own. Returns false when the file could not be
    // written (the old file is then left as it was): SaveError() says why,
    // and the reason also goes to stderr.
    bool Save();
    const std::string& SaveError() const { return m_SaveError; }

    const std::string& ConfigFolder() const { return m_ConfigFolder; }
    const std::string& SettingsFileName() const { return m_SettingsFileName; } // F + "/kestrabel.ini"
    const std::string& ToolsFolder() const { return m_ToolsFolder; }           // F + "/tools/"
    const std::string& Version() const { return m_Version; }
    int UnitIndex() const { return Unit ? 1 : 0; }
    int CoordDecimals() const { return m_CoordDecimals; }
    int ToolSizeDecimals() const { return m_ToolSizeDecimals; }
    const std::string& UnitWord() const { return m_UnitWord; }

    // Section "Default".
    bool Unit = true; // true = millimetres
    double ChainTol = 0;
    double SimulTol = 0;
    double SystemTol = 0;
    double MaxArcFit = 0;
    int32_t MaxCurveSeg = 200;
    std::string Language;
    bool CheckForUpdate = true;
    bool SGrid = true;
    int32_t GridOrigin = 4;
    double GridSizeX = 0;
    double GridSizeY = 0;
    double GridX = 0;
    double GridY = 0;
    bool SAxis = true;
    double SnapX = 0;
    double SnapY = 0;
    std::string Pst;
    bool UseExtEditor = false;
    std::string ExtEditor;
    std::string ToolsLib;
    std::string LaserLib;
    std::string LatheLib;
    bool ShowInt = true;
    std::string FilePath_Geo;
    std::string FilePath_Cnc;
    std::string FilePath_T2Dxf;
    bool DxfPolyInLA = false;
    bool Tlp2DXF = false; // the last choice of the toolpath export dialog
    // The main window's bounds; the shell updates them before Save.
    int32_t fWPL = 10;
    int32_t fWPT = 10;
    int32_t fWPW = 821;
    int32_t fWPH = 610;
    bool fWPMax = false;

    // Section "Color": Windows colour values 0x00BBGGRR.
    uint32_t BackGround = 0;
    uint32_t DefLayers = 0;
    uint32_t Grid = 0;
    uint32_t ToolPathG0 = 0;
    uint32_t ToolPathG1 = 0;
    uint32_t ToolPathG2 = 0;
    uint32_t Chain = 0;
    int32_t ToolPathG0LW = 1;
    int32_t ToolPathG1LW = 2;
    int32_t ToolPathG2LW = 2;
    int32_t ChainLW = 2;
    std::string SkinName;
    uint32_t Tool = 0;

    // Section "Toolbar".
    bool TbrImagesOnly = true;

    // Kept for the run only, never in the file: the grid subdivision counts
    // and the snap-to-grid switch of the grid dialog, the tool window's
    // position, and whether the tool window currently carries the texts of a
    // post-processor's own language file.
    int32_t GridSubX = 0;
    int32_t GridSubY = 0;
    bool SnapToGrid = false;
    int32_t ToolWinLeft = 0;
    int32_t ToolWinTop = 0;
    bool ToolWinPstTranslated = false;

private:
    struct TUnpublished {};
    TAppConfig(std::string configFolder, TUnpublished);
    void Load();
    friend TAppConfig& AppConfig();

    std::string m_ConfigFolder;
    std::string m_SettingsFileName;
    std::string m_ToolsFolder;
    std::string m_Version = "201";
    std::string m_SaveError;
    int m_CoordDecimals = 3;
    int m_ToolSizeDecimals = 3;
    std::string m_UnitWord;
};

// The program's settings object: the one published last and still alive.
// Before any is published (and after it is gone) this is a built-in object
// with the millimetre defaults and no configuration folder, which is never
// saved.
TAppConfig& AppConfig();

// The largest "MaxCurveSeg": a larger value in the file reads as this (the
// settings page never stores more).
inline constexpr int32_t kMaxCurveSegLimit = 1000;
