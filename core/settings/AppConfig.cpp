#include "core/settings/AppConfig.h"

#include "core/geometry/Tolerance.h"
#include "platform/IniFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <utility>

namespace {

const TUnitDefaults kUnitDefaults[2] = {
    {5e-6, 1e-4, 0.001, 4, 0.25, 100, 4, 5, "inch", "Mach2-3_inch"},
    {1e-4, 2.5e-3, 0.025, 100, 10, 2500, 3, 3, "mm", "Mach2-3_mm"},
};

const char* const kSettingsFile = "kestrabel.ini";
const char* const kDefault = "Default";
const char* const kColor = "Color";
const char* const kToolbar = "Toolbar";

const uint32_t kBackGround = 0x808080;
const uint32_t kDefLayers = 0x00FF00;
const uint32_t kGrid = 0x800000;
const uint32_t kToolPathG0 = 0xFFFF;
const uint32_t kToolPathG1 = 0xFFFF00;
const uint32_t kToolPathG2 = 0x0000FF;
const uint32_t kChain = 0xFF0000;
const uint32_t kTool = 0x12143456;
const int32_t kDefaultMaxCurveSeg = 200;

TAppConfig* g_Published = nullptr;

// A tolerance below 0 would make every fuzzy comparison fail: such a value
// reads as the default, as an unreadable one does.
double ReadTolerance(const TIniFile& ini, const char* key, double def)
{
    const double v = ini.ReadFloat(kDefault, key, def);
    return v >= 0 ? v : def;
}

// The curve entities divide by this count and allocate per segment: at least
// 1, at most what the settings page allows.
int32_t ReadCurveSegments(const TIniFile& ini)
{
    const int v = ini.ReadInteger(kDefault, "MaxCurveSeg", kDefaultMaxCurveSeg);
    if (v < 1)
        return kDefaultMaxCurveSeg;
    return v > kMaxCurveSegLimit ? kMaxCurveSegLimit : v;
}

uint32_t ReadColor(const TIniFile& ini, const char* key, uint32_t def)
{
    return static_cast<uint32_t>(ini.ReadInteger(kColor, key, static_cast<int>(def)));
}

void WriteColor(TIniFile& ini, const char* key, uint32_t value)
{
    ini.WriteInteger(kColor, key, static_cast<int>(value));
}

} // namespace

const TUnitDefaults& UnitDefaults(bool millimetres)
{
    return kUnitDefaults[millimetres ? 1 : 0];
}

TAppConfig::TAppConfig(std::string configFolder) : TAppConfig(std::move(configFolder), TUnpublished{})
{
    PublishTolerances();
}

TAppConfig::TAppConfig(std::string configFolder, TUnpublished) : m_ConfigFolder(std::move(configFolder))
{
    if (!m_ConfigFolder.empty()) {
        m_SettingsFileName = m_ConfigFolder + "/" + kSettingsFile;
        m_ToolsFolder = m_ConfigFolder + "/tools/";
    }
    Load();
}

TAppConfig::~TAppConfig()
{
    if (g_Published == this) {
        BindTolerances(nullptr, nullptr, nullptr);
        g_Published = nullptr;
    }
}

void TAppConfig::Load()
{
    TIniFile ini;
    if (!m_SettingsFileName.empty())
        ini = TIniFile(m_SettingsFileName);

    SetUnit(ini.ReadBool(kDefault, "Unit", true));
    const TUnitDefaults& u = UnitDefaults(Unit);
    const std::string folder = m_ConfigFolder.empty() ? std::string() : m_ConfigFolder + "/";

    ChainTol = ReadTolerance(ini, "ChainTol", u.ChainTol);
    SimulTol = ReadTolerance(ini, "SimulTol", u.SimulTol);
    SystemTol = ReadTolerance(ini, "SystemTol", u.SystemTol);
    MaxArcFit = ini.ReadFloat(kDefault, "MaxArcFit", u.MaxArcFit);
    MaxCurveSeg = ReadCurveSegments(ini);
    Language = ini.ReadString(kDefault, "Language", "english");
    CheckForUpdate = ini.ReadBool(kDefault, "CheckForUpdate", true);
    SGrid = ini.ReadBool(kDefault, "SGrid", true);
    GridOrigin = ini.ReadInteger(kDefault, "GridOrigin", 4);
    GridSizeX = ini.ReadFloat(kDefault, "GridSizeX", u.GridSize);
    GridSizeY = ini.ReadFloat(kDefault, "GridSizeY", u.GridSize);
    GridX = ini.ReadFloat(kDefault, "GridX", u.GridStep);
    GridY = ini.ReadFloat(kDefault, "GridY", u.GridStep);
    SAxis = ini.ReadBool(kDefault, "SAxis", true);
    SnapX = ini.ReadFloat(kDefault, "SnapX", u.GridStep);
    SnapY = ini.ReadFloat(kDefault, "SnapY", u.GridStep);
    Pst = ini.ReadString(kDefault, "Pst", u.Pst);
    UseExtEditor = ini.ReadBool(kDefault, "UseExtEditor", false);
    ExtEditor = ini.ReadString(kDefault, "ExtEditor", "Notepad.exe");
    ToolsLib = ini.ReadString(kDefault, "ToolsLib", "Tools_" + m_UnitWord + ".tlb");
    LaserLib = ini.ReadString(kDefault, "LaserLib", "Laser_" + m_UnitWord + ".llb");
    LatheLib = ini.ReadString(kDefault, "LatheLib", "Lathe_" + m_UnitWord + ".rlb");

    BackGround = ReadColor(ini, "BackGround", kBackGround);
    DefLayers = ReadColor(ini, "DefLayers", kDefLayers);
    Grid = ReadColor(ini, "Grid", kGrid);
    ToolPathG0 = ReadColor(ini, "ToolPathG0", kToolPathG0);
    ToolPathG1 = ReadColor(ini, "ToolPathG1", kToolPathG1);
    ToolPathG2 = ReadColor(ini, "ToolPathG2", kToolPathG2);
    Chain = ReadColor(ini, "Chain", kChain);
    ToolPathG0LW = ini.ReadInteger(kColor, "ToolPathG0LW", 1);
    ToolPathG1LW = ini.ReadInteger(kColor, "ToolPathG1LW", 2);
    ToolPathG2LW = ini.ReadInteger(kColor, "ToolPathG2LW", 2);
    ChainLW = ini.ReadInteger(kColor, "ChainLW", 2);
    SkinName = ini.ReadString(kColor, "SkinName", "Default");
    Tool = ReadColor(ini, "Tool", kTool);

    TbrImagesOnly = ini.ReadBool(kToolbar, "TbrImagesOnly", true);

    ShowInt = ini.ReadBool(kDefault, "ShowInt", true);
    FilePath_Geo = ini.ReadString(kDefault, "FilePath_Geo", folder.empty() ? "" : folder + "samples/");
    FilePath_Cnc = ini.ReadString(kDefault, "FilePath_Cnc", folder.empty() ? "" : folder + "gcode/");
    FilePath_T2Dxf = ini.ReadString(kDefault, "FilePath_T2Dxf", folder.empty() ? "" : folder + "gcode/");
    DxfPolyInLA = ini.ReadBool(kDefault, "DxfPolyInLA", false);
    Tlp2DXF = ini.ReadBool(kDefault, "Tlp2DXF", false);
    fWPL = ini.ReadInteger(kDefault, "fWPL", 10);
    fWPT = ini.ReadInteger(kDefault, "fWPT", 10);
    fWPW = ini.ReadInteger(kDefault, "fWPW", 821);
    fWPH = ini.ReadInteger(kDefault, "fWPH", 610);
    fWPMax = ini.ReadBool(kDefault, "fWPMax", false);
}

void TAppConfig::SetUnit(bool millimetres)
{
    const TUnitDefaults& u = UnitDefaults(millimetres);
    Unit = millimetres;
    SystemTol = u.SystemTol;
    ChainTol = u.ChainTol;
    SimulTol = u.SimulTol;
    MaxArcFit = u.MaxArcFit;
    m_CoordDecimals = u.CoordDecimals;
    m_ToolSizeDecimals = u.ToolSizeDecimals;
    m_UnitWord = u.UnitWord;
    MaxCurveSeg = kDefaultMaxCurveSeg;
}

void TAppConfig::ResetColors()
{
    SetUnit(Unit);
    BackGround = kBackGround;
    DefLayers = kDefLayers;
    Grid = kGrid;
    ToolPathG0 = kToolPathG0;
    ToolPathG1 = kToolPathG1;
    ToolPathG2 = kToolPathG2;
}

void TAppConfig::PublishTolerances()
{
    BindTolerances(&SystemTol, &ChainTol, &MaxCurveSeg);
    g_Published = this;
}

bool TAppConfig::Save()
{
    m_SaveError.clear();
    if (m_SettingsFileName.empty()) {
        m_SaveError = "no configuration folder";
    } else if (ExistsButUnreadable(m_SettingsFileName)) {
        m_SaveError = "cannot read \"" + m_SettingsFileName + "\", left as it is";
    } else {
        // Load what is there, so the sections of the toolbar layout, the
        // recent files and the machine macros survive.
        TIniFile ini(m_SettingsFileName);
        ini.WriteBool(kDefault, "Unit", Unit);
        ini.WriteFloat(kDefault, "ChainTol", ChainTol);
        ini.WriteInteger(kDefault, "MaxCurveSeg", MaxCurveSeg);
        ini.WriteFloat(kDefault, "SimulTol", SimulTol);
        ini.WriteFloat(kDefault, "SystemTol", SystemTol);
        ini.WriteFloat(kDefault, "MaxArcFit", MaxArcFit);
        ini.WriteBool(kDefault, "CheckForUpdate", CheckForUpdate);
        ini.WriteString(kDefault, "Language", Language);
        ini.WriteBool(kDefault, "SGrid", SGrid);
        ini.WriteInteger(kDefault, "GridOrigin", GridOrigin);
        ini.WriteFloat(kDefault, "GridSizeX", GridSizeX);
        ini.WriteFloat(kDefault, "GridSizeY", GridSizeY);
        ini.WriteFloat(kDefault, "GridX", GridX);
        ini.WriteFloat(kDefault, "GridY", GridY);
        ini.WriteBool(kDefault, "SAxis", SAxis);
        ini.WriteFloat(kDefault, "SnapX", SnapX);
        ini.WriteFloat(kDefault, "SnapY", SnapY);
        ini.WriteString(kDefault, "Pst", Pst);
        ini.WriteBool(kDefault, "UseExtEditor", UseExtEditor);
        ini.WriteString(kDefault, "ExtEditor", ExtEditor);
        ini.WriteString(kDefault, "ToolsLib", ToolsLib);
        ini.WriteString(kDefault, "LaserLib", LaserLib);
        ini.WriteString(kDefault, "LatheLib", LatheLib);

        WriteColor(ini, "DefLayers", DefLayers);
        WriteColor(ini, "BackGround", BackGround);
        WriteColor(ini, "Grid", Grid);
        ini.WriteString(kColor, "SkinName", SkinName);
        WriteColor(ini, "Tool", Tool);
        WriteColor(ini, "ToolPathG0", ToolPathG0);
        WriteColor(ini, "ToolPathG1", ToolPathG1);
        WriteColor(ini, "ToolPathG2", ToolPathG2);
        WriteColor(ini, "Chain", Chain);
        ini.WriteInteger(kColor, "ToolPathG0LW", ToolPathG0LW);
        ini.WriteInteger(kColor, "ToolPathG1LW", ToolPathG1LW);
        ini.WriteInteger(kColor, "ToolPathG2LW", ToolPathG2LW);
        ini.WriteInteger(kColor, "ChainLW", ChainLW);

        ini.WriteBool(kToolbar, "TbrImagesOnly", TbrImagesOnly);

        ini.WriteBool(kDefault, "ShowInt", ShowInt);
        ini.WriteString(kDefault, "FilePath_Geo", FilePath_Geo);
        ini.WriteString(kDefault, "FilePath_Cnc", FilePath_Cnc);
        ini.WriteString(kDefault, "FilePath_T2Dxf", FilePath_T2Dxf);
        ini.WriteBool(kDefault, "DxfPolyInLA", DxfPolyInLA);
        ini.WriteBool(kDefault, "Tlp2DXF", Tlp2DXF);
        ini.WriteInteger(kDefault, "fWPL", fWPL);
        ini.WriteInteger(kDefault, "fWPT", fWPT);
        ini.WriteInteger(kDefault, "fWPW", fWPW);
        ini.WriteInteger(kDefault, "fWPH", fWPH);
        ini.WriteBool(kDefault, "fWPMax", fWPMax);

        if (!ini.UpdateFile())
            m_SaveError = ini.LastError();
    }
    if (m_SaveError.empty())
        return true;
    std::cerr << "Kestrabel: the settings were not saved: " << m_SaveError << '\n';
    return false;
}

TAppConfig& AppConfig()
{
    if (g_Published)
        return *g_Published;
    static TAppConfig builtIn{std::string(), TAppConfig::TUnpublished{}};
    return builtIn;
}
