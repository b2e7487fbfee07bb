// Template lines and the template variables of the G-code writer.

#include "nc/writer/ScriveGCode.h"

#include "cam/tools/DatiUtBase.h"
#include "core/settings/NumberText.h"
#include "nc/writer/WriterOperation.h"
#include "platform/AsciiText.h"

#include <filesystem>
#include <stdexcept>

const std::array<const char*, TScriveGCode::kVariableCount> TScriveGCode::VariableNames = {
    "n",          "toolname",     "tool_info",     "gcode",        "xy_center",       "speed",
    "spindle_on", "spindle_off",  "feed",          "feedplunge",   "offlen",          "progname",
    "progn",      "coolant_on",   "coolant_off",   "spindle_and_coolant_on",          "zrapid",
    "xrapid",     "yrapid",       "f_xrapid",      "f_yrapid",     "f_zrapid",        "depth",
    "ref_height", "peck_increment", "pitch",       "x",            "y",               "tool",
    "ccomp",      "ccomp_cancel", "ccomp_offset",  "postname",     "mm_inch",         "units",
    "tr",         "cutviewer_ltool", "laser_power", "laser_off",   "dwell1",          "dwell2",
    "gas_value",  "gas_delay",    "if_gason",      "power1",       "power2",          "feedplane",
    "op_comment", "rapid_zretract", "rapid_xy",    "retract_height", "g98g99",
};

const std::array<const char*, TScriveGCode::kVariableHelpCount> TScriveGCode::VariableHelp = {
    "[postname] Output the name of postprocessor",
    "[progname] Output the filename of CNC file",
    "[mm_inch] Output the code of unit (ex G20/G21)",
    "[n] Output the block/line number",
    "[gcode] Output G0/G1/G2/G3 code",
    "[x] Output X value",
    "[y] Output Y value",
    "[z] Output Z value",
    "[a] Output 4th axis value (N/A)",
    "[xrapid] Output first X rapid move",
    "[yrapid] Output first Y rapid move",
    "[zrapid] Output first Z rapid move",
    "[rapid_xy] Output first XY rapid move",
    "[retract_height] Output Z rapid move to retract plane",
    "[f_xrapid] Forced output first X rapid move",
    "[f_yrapid] Forced output first Y rapid move",
    "[f_zrapid] Forced output first Z rapid move",
    "[tool] Output number of tool",
    "[toolname] Output name of tool",
    "[tool_info] Output tool info (TLDIA for Simulation)",
    "[offlen] Output tool length compensation",
    "[speed] Spindle speed",
    "[spindle_on] Code for Spindle On",
    "[spindle_off] Code for Spindle Off",
    "[spindle_and_coolant_on] Code for Spindle and Coolant On",
    "[feed] Feedrate in XY move",
    "[feedplunge] Feedrate of Z move",
    "[coolant_on] Code for Coolant On",
    "[coolant_off] Code for Coolant Off",
    "[depth] Output depth of cycle",
    "[retract_height] Output retract plane of cycle",
    "[g98g99] Output G98/G99 in cycle(ex. Fanuc style post)",
    "[ref_height] Output rapid plane of cycle",
    "[peck_increment] Output increment in G83 cycle",
    "[pitch] Output pitch in thread cycle",
    "[ccomp] Output cutter compensation in cnc (ex G41/G42)",
    "[ccomp_cancel] Output cutter compensation cancel (ex G40)",
    "[ccomp_offset] Output cutter compensation offset (ex D1)",
    "[units] Output code used to set mm or inch",
    "[laser_power] Output code to turn on the laser/plasma/waterjet",
    "[laser_off] Output code to turn off the laser/plasma/waterjet",
    "[dwell1] Output dwelltime 1 (ex G4 Px)",
    "[dwell2] Output dwelltime 2 (ex G4 Px)",
};

namespace {

enum EVariable : int {
    vN = 0, vToolName, vToolInfo, vGCode, vXYCenter, vSpeed, vSpindleOn, vSpindleOff, vFeed, vFeedPlunge,
    vOffLen, vProgName, vProgN, vCoolantOn, vCoolantOff, vSpindleAndCoolantOn, vZRapid, vXRapid, vYRapid,
    vFXRapid, vFYRapid, vFZRapid, vDepth, vRefHeight, vPeckIncrement, vPitch, vX, vY, vTool, vCComp,
    vCCompCancel, vCCompOffset, vPostName, vMmInch, vUnits, vTr, vCutviewerLTool, vLaserPower, vLaserOff,
    vDwell1, vDwell2, vGasValue, vGasDelay, vIfGasOn, vPower1, vPower2, vFeedPlane, vOpComment,
    vRapidZRetract, vRapidXY, vRetractHeight, vG98G99,
};
static_assert(vG98G99 == TScriveGCode::kVariableCount - 1);

// Switches modal axis words off for one word and back whatever happens.
class TForcedWord {
public:
    explicit TForcedWord(bool& xyzModal) : m_Flag(xyzModal), m_Saved(xyzModal) { m_Flag = false; }
    ~TForcedWord() { m_Flag = m_Saved; }
    TForcedWord(const TForcedWord&) = delete;
    TForcedWord& operator=(const TForcedWord&) = delete;

private:
    bool& m_Flag;
    bool m_Saved;
};

// The non-empty words joined by the separator.
std::string JoinTwo(const std::string& a, const std::string& b, const std::string& separator)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return a + separator + b;
}

} // namespace

std::optional<int> TScriveGCode::VariableIndex(std::string_view name)
{
    for (int i = 0; i < kVariableCount; ++i)
        if (SameTextAscii(name, VariableNames[static_cast<size_t>(i)]))
            return i;
    return std::nullopt;
}

const TWriterOperation& TScriveGCode::Operation() const
{
    if (!m_CurrentOperation)
        throw std::logic_error("no operation to write");
    return *m_CurrentOperation;
}

const TDatiUtBase& TScriveGCode::Tool() const
{
    const TDatiUtBase* tool = Operation().ToolData();
    if (!tool)
        throw std::logic_error("the operation has no tool");
    return *tool;
}

// Mill tools store 0 clockwise, 1 counter-clockwise, 2 off; lathe tools 0
// off, 1 and 2 clockwise (RPM, CSS), 3 and 4 counter-clockwise; a laser
// has no direction and is switched on as a clockwise spindle.
std::string TScriveGCode::SpindleOnCode() const
{
    const TDatiUtBase& tool = Tool();
    const int32_t choice = tool.SpindleChoice;
    switch (tool.Kind()) {
    case EToolKind::Mill:
        return choice == 0 ? MCodes[mcSpindleCW] : choice == 1 ? MCodes[mcSpindleCCW] : std::string();
    case EToolKind::Lathe:
        if (choice == 1 || choice == 2)
            return MCodes[mcSpindleCW];
        if (choice == 3 || choice == 4)
            return MCodes[mcSpindleCCW];
        return {};
    case EToolKind::Laser:
        return MCodes[mcSpindleCW];
    }
    return {};
}

// The tool name, upper-cased, with every character that starts an
// occurrence of a comment delimiter made a blank, so the name cannot close
// or open the comment it is written into. The occurrences are those of the
// original name (one pass); an empty delimiter marks nothing.
std::string TScriveGCode::ToolNameText() const
{
    const std::string& name = Tool().ToolName;
    std::string text = name;
    for (size_t i = 0; i < name.size(); ++i) {
        for (const std::string* delimiter : {&StartComment, &EndComment})
            if (!delimiter->empty() && name.compare(i, delimiter->size(), *delimiter) == 0)
                text[i] = ' ';
    }
    return AsciiUpperCopy(text);
}

std::string TScriveGCode::VariableValue(std::string_view name)
{
    const std::optional<int> index = VariableIndex(name);
    if (!index)
        return std::string(name);
    const TVector3D& v = CurrentVertex.EndPoint;
    switch (static_cast<EVariable>(*index)) {
    case vN:
        return BlockNumber();
    case vToolName:
        return ToolNameText();
    case vToolInfo:
        return StartComment + "TLDIA=" + FormatCoord(Tool().Diameter) + EndComment;
    case vGCode:
        if (FirstMove) {
            FirstMove = false;
            return GCodeWord(gcRapid);
        }
        return GCodeWord(CurrentVertex.Kind == 0 ? gcLinear : CurrentVertex.Kind == 1 ? gcCircularCCW : gcCircularCW);
    case vXYCenter:
        return ArcWords(CurrentVertex);
    case vSpeed:
        return "S" + std::to_string(Tool().SpindleSpeed);
    case vSpindleOn:
        return SpindleOnCode();
    case vSpindleOff:
        return MCodes[mcSpindleOff];
    case vFeed:
        return FeedWord(Tool().Feed);
    case vFeedPlunge:
        return FeedWord(Tool().PlungeFeed);
    case vOffLen:
        return ToolOffsetPref + std::to_string(Tool().ToolNumber);
    case vProgName:
        return AsciiUpperCopy(std::filesystem::path(m_OutputFileName).filename().string());
    case vProgN:
        return "O0001";
    case vCoolantOn:
        return Tool().Coolant ? MCodes[mcCoolantOn] : std::string();
    case vCoolantOff:
        return MCodes[mcCoolantOff];
    case vSpindleAndCoolantOn:
        return Tool().Coolant ? MCodes[mcSpindleCWCoolOn] : MCodes[mcSpindleCW];
    case vZRapid:
        if (Dialect == PostDialect::Lathe)
            return ZWord(v.X);
        return ZWord(Operation().ZRapid());
    case vXRapid:
        if (Dialect == PostDialect::Lathe)
            return LatheXWord(v.Y);
        LastPosition.EndPoint.X = v.X;
        return XWord(v.X);
    case vYRapid:
        LastPosition.EndPoint.Y = v.Y;
        return YWord(v.Y);
    case vFXRapid: {
        TForcedWord forced(XYZModal);
        LastPosition.EndPoint.X = v.X;
        return XWord(v.X);
    }
    case vFYRapid: {
        TForcedWord forced(XYZModal);
        LastPosition.EndPoint.Y = v.Y;
        return YWord(v.Y);
    }
    case vFZRapid: {
        const double z = Operation().ZRapid();
        TForcedWord forced(XYZModal);
        return ZWord(z);
    }
    case vDepth:
        return CycleWord(DepthPrefix, AxisFormat, Operation().ZDepth());
    case vRefHeight:
        return CycleWord(RefHeightPrefix, AxisFormat, Operation().ZRapid());
    case vPeckIncrement:
        return CycleWord(PeckPrefix, AxisFormat, Operation().ZStep());
    case vPitch:
        return CycleWord(PitchPrefix, AxisFormat, Operation().StockXY());
    case vX:
        return XWord(v.X);
    case vY:
        return YWord(v.Y);
    case vTool:
        return ToolWord(Tool().ToolNumber);
    case vCComp:
        return CurrentCompCode == 41 ? CompLeft : CurrentCompCode == 42 ? CompRight : std::string();
    case vCCompCancel:
        return CurrentCompCode != 0 ? CompNone : std::string();
    case vCCompOffset:
        // A post without an offset letter has no compensation offset: a bare
        // number would be no word at all.
        if (CurrentCompCode == 0 || CompOffsetPref.empty())
            return {};
        return CompOffsetPref + std::to_string(Tool().ToolNumber);
    case vPostName:
        return AsciiUpperCopy(PostName);
    case vMmInch:
        return UnitGCode;
    case vUnits:
        return UnitWord;
    case vTr:
        return FormatCoord(Tool().Diameter);
    case vCutviewerLTool: {
        const TDatiUtBase& tool = Tool();
        return StartComment + "TOOL/STANDARD," + FormatCoordSpacedTrim(tool.ToolAngle) + "," +
               FormatCoordSpacedTrim(90.0 - tool.ToolAngle - tool.EdgeAngle1) + "," +
               FormatCoordSpacedTrim(tool.Diameter) + "," + FormatCoordSpacedTrim(tool.CornerRadius) + ",3" +
               EndComment;
    }
    case vLaserPower:
        return "S" + std::to_string(CurrentVertex.Attribute);
    case vLaserOff:
        return "S0";
    case vDwell1:
        return CycleWord(DwellPref, DwellFormat, Tool().Dwell1);
    case vDwell2:
        return CycleWord(DwellPref, DwellFormat, Tool().Dwell2);
    case vGasValue:
        return Tool().GasOn ? CycleWord(GasValuePref, DwellFormat, Tool().GasValue) : std::string();
    case vGasDelay:
        return Tool().GasOn ? CycleWord(GasDelayPref, DwellFormat, Tool().GasDelay) : std::string();
    case vIfGasOn:
        return {}; // a line control, handled by ExpandLine
    case vPower1:
        return CycleWord(Power1Pref, DwellFormat, Tool().SpindleSpeed);
    case vPower2:
        return CycleWord(Power2Pref, DwellFormat, Tool().SpindleChoice);
    case vFeedPlane:
        return ZWord(Operation().ZDepth());
    case vOpComment: {
        const std::string comment = Operation().Comment();
        return comment.empty() ? std::string() : StartComment + comment + EndComment;
    }
    case vRapidZRetract: {
        if (!Operation().RetractOn())
            return {};
        const std::string z = ZWord(Operation().RetractZ());
        return z.empty() ? std::string() : JoinTwo(GCodeWord(gcRapid), z, Separator);
    }
    case vRapidXY: {
        LastPosition.EndPoint.X = v.X;
        LastPosition.EndPoint.Y = v.Y;
        const std::string x = XWord(v.X);
        const std::string words = JoinTwo(x, YWord(v.Y), Separator);
        return words.empty() ? std::string() : JoinTwo(GCodeWord(gcRapid), words, Separator);
    }
    case vRetractHeight:
        return Operation().RetractOn() ? CycleWord(RetractHeightPrefix, AxisFormat, Operation().RetractZ())
                                       : std::string();
    case vG98G99:
        return Operation().RetractOn() ? ReturnZPlane : ReturnRPlane;
    }
    return {};
}

std::string TScriveGCode::ExpandLine(std::string_view line)
{
    try {
        std::string result;
        bool blockNumberWanted = false;
        std::string_view rest = line;
        for (;;) {
            const size_t open = rest.find('[');
            const size_t close = rest.find(']');
            // No pair of brackets left (no "]", or a "]" before the first
            // "["): what is left is copied as it stands.
            if (close == std::string_view::npos || (open != std::string_view::npos && close < open)) {
                result += rest;
                break;
            }
            // With no "[" at all, the name is everything before the "]".
            const size_t nameStart = open == std::string_view::npos ? 0 : open + 1;
            std::string_view name = rest.substr(nameStart, close - nameStart);
            if (open != std::string_view::npos)
                result += rest.substr(0, open);
            rest.remove_prefix(close + 1);
            if (name == "n") {
                blockNumberWanted = true;
                name = {};
            } else if (SameTextAscii(name, "if_gason")) {
                const TDatiUtBase& tool = Tool();
                if (!tool.GasOn)
                    break; // gas off: the rest of the line is dropped
                name = {};
            }
            std::string value = name.empty() ? std::string() : VariableValue(name);
            if (value.empty())
                continue;
            if (!OutputSeq && result.size() > 1 && result.back() == '\n' && value.size() > 1 && value.front() == ' ')
                value.erase(0, 1);
            if (!result.empty()) {
                // No separator right after a comment opener that ends the text
                // so far: "([postname])" writes "(MILL)".
                const size_t comment = StartComment.empty() ? std::string::npos : result.find(StartComment);
                const bool afterCommentOpener =
                    comment != std::string::npos && comment + StartComment.size() == result.size();
                if (!afterCommentOpener)
                    result += Separator;
            }
            result += value;
        }
        if (blockNumberWanted && !result.empty()) {
            const std::string number = BlockNumber();
            if (!number.empty())
                result = number + (result.front() == ' ' ? std::string() : Separator) + result;
        }
        return result;
    } catch (const std::exception&) {
        return {};
    }
}
