#include "nc/post/PostProcessor.h"

#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "core/geometry/Tolerance.h"
#include "core/model/UserNotifier.h"
#include "platform/AsciiText.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <system_error>

namespace {

TPostLoadView* g_PostLoadView = nullptr;

// The non-empty values of keys "1" to maxLines of a section, in key order.
// Equivalent to asking every key in turn, but the cost follows the keys the
// section has, not a "MaxLinesSection" the file may set to two billion.
TPstLines ReadNumberedLines(const TIniFile& ini, const char* section, int maxLines)
{
    TPstLines lines;
    if (maxLines <= 0)
        return lines;
    std::set<int> numbers;
    for (const std::string& key : ini.ReadSection(section)) {
        int n = 0;
        const char* end = key.data() + key.size();
        auto [ptr, ec] = std::from_chars(key.data(), end, n);
        // Only the canonical text of a number names a line ("01" is another key).
        if (ec == std::errc() && ptr == end && n >= 1 && n <= maxLines && std::to_string(n) == key)
            numbers.insert(n);
    }
    for (int n : numbers) {
        std::string value = ini.ReadString(section, std::to_string(n), "");
        if (!value.empty())
            lines.push_back(std::move(value));
    }
    return lines;
}

void AppendIfNotEmpty(TPstLines& lines, std::string value)
{
    if (!value.empty())
        lines.push_back(std::move(value));
}

// "%" + the value of key + type. A value that makes no format the writer can
// apply does not convert: the default applies and the key is listed in bad.
std::string ReadFormat(const TIniFile& ini, const char* section, const std::string& key, const char* def, char type,
                       std::vector<std::string>& bad)
{
    std::string format = "%" + ini.ReadString(section, key, def) + type;
    if (PstFormatApplies(format, type))
        return format;
    bad.push_back("[" + std::string(section) + "] " + key);
    return "%" + std::string(def) + type;
}

// Where the template sections start in kPstSections, and where the laser
// and feed-move sections start among them.
constexpr size_t kTemplateSectionsAt = 18;
constexpr size_t kLaserSectionsAt = 3;
constexpr size_t kFeedSectionsAt = 11;

} // namespace

const std::array<const char*, 38> kPstSections = {
    "Default", "Block Numbering", "Units", "X Axis", "Y Axis", "Z Axis", "Rotary Axis", "ArcDef", "Tool",
    "Feed", "Dwell", "Gas", "Power", "MCode", "GCode", "ShopBot", "CComp", "Post Comment",
    // The template sections, in the order of the loader.
    "Start_of_file", "Tool_change", "End_of_file", "BeforeLaserRapidMove", "FirstLaserEngDotMove",
    "LaserEngDotMove", "FirstLaserEngDotGreyMove", "LaserEngDotGreyMove", "LaserEngGreyFeedMove",
    "LaserEngRapidMove", "LaserEngFeedMove", "BeforeFirstFeedMove", "AfterFirstFeedMove", "BeforeLastFeedMove",
    "AfterLastFeedMove",
    "Cycle", "Cycle_1", "Cycle_2", "Cycle_3", "HomePosition",
};

TPostLoadView* SetPostLoadView(TPostLoadView* view)
{
    TPostLoadView* old = g_PostLoadView;
    g_PostLoadView = view;
    return old;
}

std::string PostFileName(const std::string& configFolder, const std::string& postName)
{
    return (std::filesystem::path(configFolder) / "pst" / (postName + ".pst")).string();
}

std::vector<std::string> ListPostNames(const std::string& configFolder)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(std::filesystem::path(configFolder) / "pst", ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const auto& p = it->path();
        if (SameTextAscii(p.extension().string(), ".pst") && it->is_regular_file(ec))
            names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TPostProcessor::LoadPst(const std::string& configFolder)
{
    TAppConfig& config = AppConfig();
    const std::string postName = config.Pst;
    TIniFile ini(PostFileName(configFolder, postName));

    // The post's own language file; its failures are not the loader's.
    const std::string lngFile = (std::filesystem::path(configFolder) / "pst" / (postName + ".lng")).string();
    std::error_code ec;
    if (std::filesystem::is_regular_file(lngFile, ec)) {
        if (g_PostLoadView)
            g_PostLoadView->TranslateFromPostLanguage(lngFile);
        config.ToolWinPstTranslated = true;
    } else if (config.ToolWinPstTranslated) {
        if (g_PostLoadView)
            g_PostLoadView->TranslateFromProgramLanguage();
        config.ToolWinPstTranslated = false;
    }

    try {
        LoadFromIni(ini, postName, config.Unit);
        if (g_PostLoadView)
            g_PostLoadView->ShowPostInfo(*this);
    } catch (...) {
        UserNotifier().ShowMessage(EMessageKind::Plain, LangText(LangKeys::String::PstLoadFailed), "");
        throw;
    }
    if (BadFormatKeys.empty())
        return {};
    std::string keys;
    for (const std::string& key : BadFormatKeys)
        keys += (keys.empty() ? "" : ", ") + key;
    return LangFormat(LangText(LangKeys::String::PstBadFormat), {postName, keys});
}

void TPostProcessor::LoadFromIni(const TIniFile& ini, const std::string& postName, bool millimetres)
{
    PostName = postName;
    PstVersion = ini.ReadInteger("Default", "PstVersion", 2);
    OutputSeq = ini.ReadBool("Block Numbering", "OutputSeq", false);
    SeqPrefix = ini.ReadString("Block Numbering", "Pref", "N");
    SeqStart = ini.ReadInteger("Block Numbering", "SeqStart", 1);
    SeqCounter = SeqStart;
    SeqInc = ini.ReadInteger("Block Numbering", "SeqInc", 1);
    SeqMax = ini.ReadInteger("Block Numbering", "SeqMax", 999999);

    BadFormatKeys.clear();
    const std::string u = millimetres ? "MM" : "INCH";
    UnitWord = u;
    AxisFormat = ReadFormat(ini, "Units", u + "_FormatAxis", millimetres ? "1.3" : "1.4", 'f', BadFormatKeys);
    FeedFormat = ReadFormat(ini, "Units", u + "_FormatF", millimetres ? "1.1" : "1.2", 'f', BadFormatKeys);
    UnitGCode = ini.ReadString("Units", u + "_GCode", "");
    DwellFormat = ReadFormat(ini, "Units", u + "_FormatDwell", millimetres ? "1.1" : "1.2", 'f', BadFormatKeys);

    XPref = ini.ReadString("X Axis", "Pref", "X");
    XScale = ini.ReadFloat("X Axis", "Scale", 1.0);
    YPref = ini.ReadString("Y Axis", "Pref", "Y");
    YScale = ini.ReadFloat("Y Axis", "Scale", 1.0);
    ZPref = ini.ReadString("Z Axis", "Pref", "Z");
    ZScale = ini.ReadFloat("Z Axis", "Scale", 1.0);
    ScaleActive = false;
    for (double scale : {XScale, YScale, ZScale})
        if (std::fabs(scale - 1.0) > SystemTol())
            ScaleActive = true;

    RotaryPref = ini.ReadString("Rotary Axis", "Pref", "C");
    RotaryFormat = ReadFormat(ini, "Rotary Axis", "Format", "1.3", 'f', BadFormatKeys);
    IPref = ini.ReadString("ArcDef", "IPref", "I");
    JPref = ini.ReadString("ArcDef", "JPref", "J");
    KPref = ini.ReadString("ArcDef", "KPref", "K");
    RPref = ini.ReadString("ArcDef", "RPref", "R");
    ArcXYModal = ini.ReadBool("ArcDef", "XYModal", true);
    ArcOutput = ini.ReadInteger("ArcDef", "ArcOutput", 0);
    ArcCenter = ini.ReadInteger("ArcDef", "ArcCenter", 1);
    ToolPref = ini.ReadString("Tool", "Pref", "T");
    ToolFormat = ReadFormat(ini, "Tool", "Format", "1.1", 'd', BadFormatKeys);
    ToolOffsetPref = ini.ReadString("Tool", "Tofflen", "H");
    FeedPref = ini.ReadString("Feed", "Pref", "F");
    RapidWord = ini.ReadString("Feed", "Rapid", "");
    HasRapidWord = !RapidWord.empty();
    RapidFeedrate = ini.ReadFloat("Feed", "RapidFeedrate", 2000.0);
    DwellPref = ini.ReadString("Dwell", "Pref", "P");
    GasValuePref = ini.ReadString("Gas", "ValuePref", "P");
    GasDelayPref = ini.ReadString("Gas", "DelayPref", "P");
    Power1Pref = ini.ReadString("Power", "Power1Pref", "S");
    Power2Pref = ini.ReadString("Power", "Power2Pref", "S");

    static const char* const mKeys[7] = {"SpindleCW", "SpindleCCW", "SpindleOff", "CoolantOn",
                                         "CoolantOff", "SpindleCWCoolOn", "SpindleCCWCoolOn"};
    static const char* const mDefaults[7] = {"M3", "M4", "M5", "M8", "M9", "M13", "M14"};
    for (int i = 0; i < 7; ++i)
        MCodes[i] = ini.ReadString("MCode", mKeys[i], mDefaults[i]);
    static const char* const gKeys[4] = {"Rapid", "Linear", "Circular_CW", "Circular_CCW"};
    static const char* const gDefaults[4] = {"G0", "G1", "G2", "G3"};
    for (int i = 0; i < 4; ++i)
        GCodes[i] = ini.ReadString("GCode", gKeys[i], gDefaults[i]);
    XILSuffixCW = ini.ReadString("GCode", "XILSuffix_CW", "");
    XILSuffixCCW = ini.ReadString("GCode", "XILSuffix_CCW", "");
    SBOXYPref = ini.ReadString("ShopBot", "SBO_XYPref", "");
    SBOXYZPref = ini.ReadString("ShopBot", "SBO_XYZPref", "");
    ArcOutput = ini.ReadInteger("ArcDef", "ArcOutput", 0);
    ArcCenter = ini.ReadInteger("ArcDef", "ArcCenter", 1);

    XYZModal = ini.ReadBool("Default", "XYZModal", false);
    const bool gModal = ini.ReadBool("Default", "GModal", false);
    GModal[gcRapid] = ini.ReadBool("Default", "G0Modal", gModal);
    GModal[gcLinear] = ini.ReadBool("Default", "G1Modal", gModal);
    GModal[gcCircularCW] = ini.ReadBool("Default", "G2-G3Modal", gModal);
    GModal[gcCircularCCW] = ini.ReadBool("Default", "G2-G3Modal", gModal);
    FModal = ini.ReadBool("Default", "FModal", true);
    DelZero = ini.ReadBool("Default", "DelZero", false);
    IncrementalMode = ini.ReadBool("Default", "Incremental_mode", false);
    OmitZ = ini.ReadBool("Default", "Omit_Z", false);
    LPJPost = ini.ReadBool("Default", "LPJ_Post", false);
    Separator = ini.ReadBool("Default", "Spaces", true) ? " " : "";
    FileExtension = AsciiLowerCopy(ini.ReadString("Default", "File_extension", "NC"));
    StartComment = ini.ReadString("Default", "StartComment", "(");
    EndComment = ini.ReadString("Default", "EndComment", ")");
    CompLeft = ini.ReadString("CComp", "Left", "G41");
    CompRight = ini.ReadString("CComp", "Right", "G42");
    CompNone = ini.ReadString("CComp", "None", "G40");
    CompOffsetPref = ini.ReadString("CComp", "Offset", "D");
    const int maxLines = ini.ReadInteger("Default", "MaxLinesSection", 20);

    // Compared exactly, case included: "iso" is not ISO.
    const std::string dialect = ini.ReadString("Default", "Dialect", "ISO");
    if (dialect == "HEI")
        Dialect = PostDialect::HEI;
    else if (dialect == "ISO")
        Dialect = PostDialect::ISO;
    else if (dialect == "XIL")
        Dialect = PostDialect::XIL;
    else if (dialect == "SBO")
        Dialect = PostDialect::SBO;
    else if (dialect == "LASER")
        Dialect = PostDialect::LASER;
    else
        Dialect = PostDialect::Other;

    PostComment.clear();
    for (int i = 1; i <= 50; ++i) {
        std::string line = ini.ReadString("Post Comment", std::to_string(i), "");
        if (line.empty())
            break;
        PostComment.push_back(std::move(line));
    }

    const char* const* templates = kPstSections.data() + kTemplateSectionsAt;
    StartLines = ReadNumberedLines(ini, templates[0], maxLines);
    ToolChangeLines = ReadNumberedLines(ini, templates[1], maxLines);
    EndLines = ReadNumberedLines(ini, templates[2], maxLines);
    for (size_t i = 0; i < LaserLines.size(); ++i)
        LaserLines[i] = ReadNumberedLines(ini, templates[kLaserSectionsAt + i], maxLines);
    for (size_t i = 0; i < FeedSections.size(); ++i) {
        FeedSections[i] = ReadNumberedLines(ini, templates[kFeedSectionsAt + i], maxLines);
        HasFeedSection[i] = !FeedSections[i].empty();
    }

    DepthPrefix = ini.ReadString("Cycle", "DepthPrefix", "Z");
    RefHeightPrefix = ini.ReadString("Cycle", "Ref_heightPrefix", "R");
    RetractHeightPrefix = ini.ReadString("Cycle", "Retract_heightPrefix", "Q");
    ReturnRPlane = ini.ReadString("Cycle", "ReturnRPlane", "G99");
    ReturnZPlane = ini.ReadString("Cycle", "ReturnZPlane", "G98");
    PeckPrefix = ini.ReadString("Cycle", "Peck_incrementPrefix", "Q");
    PitchPrefix = ini.ReadString("Cycle", "PitchPrefix", "F");
    for (int c = 0; c < 3; ++c) {
        const std::string section = "Cycle_" + std::to_string(c + 1);
        TCycleTemplate& cycle = CycleTemplates[c];
        cycle = TCycleTemplate();
        cycle.Exploded = ini.ReadBool(section, "Exploded", true);
        AppendIfNotEmpty(cycle.DefinitionLines, ini.ReadString(section, "BeforeCycle_def", ""));
        AppendIfNotEmpty(cycle.DefinitionLines, ini.ReadString(section, "Cycle_def", ""));
        AppendIfNotEmpty(cycle.MoveLines, ini.ReadString(section, "Cycle_move", ""));
        AppendIfNotEmpty(cycle.CancelLines, ini.ReadString(section, "Cycle_cancel", ""));
        AppendIfNotEmpty(cycle.CancelLines, ini.ReadString(section, "AfterCycle_cancel", ""));
    }

    if (ini.ReadString("Default", "MachineType", "") == "Lathe")
        Dialect = PostDialect::Lathe;
    XDiameterMode = ini.ReadString("X Axis", "X_Mode", "") == "Diameter";
    HomeX = ini.ReadFloat("HomePosition", "X", 5.0);
    HomeZ = ini.ReadFloat("HomePosition", "Z", 1.0);
}
