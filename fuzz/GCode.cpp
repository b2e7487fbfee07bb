#include "fuzz/FuzzEntries.h"

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/gcode/LeggeGCode.h"
#include "nc/writer/ScriveGCode.h"
#include "nc/writer/WriterOperation.h"
#include "platform/IniFile.h"

#include <memory>
#include <string_view>
#include <vector>

namespace {

// An operation of one curve (a line and an arc) with a tool of the kind and
// options the seed byte picks.
class TFuzzOperation : public TWriterOperation {
public:
    TFuzzOperation(uint8_t seed, int32_t toolNumber)
    {
        m_Tool = NewToolRecordForKind(seed % 3 == 0 ? 1 : seed % 3 == 1 ? 7 : 8);
        m_Tool->ToolNumber = toolNumber;
        m_Tool->ToolName = "T(" + std::to_string(seed) + ")";
        m_Tool->Diameter = seed / 7.0;
        m_Tool->SpindleChoice = seed % 5;
        m_Tool->Coolant = (seed & 0x08) != 0;
        m_Tool->GasOn = (seed & 0x10) != 0;
        m_Retract = (seed & 0x20) != 0;
        m_Comment = (seed & 0x40) ? "op" : "";
        TCurvaNci3d curve;
        curve.CompCode = static_cast<int16_t>(seed & 0x80 ? 41 : 0);
        curve.AddVertex(TAVertice3d::CreateAt({1, 2, -1}));
        curve.AddVertex(TAVertice3d::CreateAt({5, 2, -1}));
        curve.AddVertex(TAVertice3d::CreateFull(seed % 2 ? 1 : -1, {5, 6, -1}, {5, 4, -1}, seed));
        m_Curves.push_back(curve);
    }
    const TDatiUtBase* ToolData() const override { return m_Tool.get(); }
    double ZRapid() const override { return 5; }
    double ZTop() const override { return 0; }
    double ZDepth() const override { return -1; }
    double ZStep() const override { return 0.5; }
    double StockXY() const override { return 1.25; }
    bool RetractOn() const override { return m_Retract; }
    double RetractZ() const override { return 10; }
    std::string Comment() const override { return m_Comment; }
    int32_t ToolpathCount() const override { return static_cast<int32_t>(m_Curves.size()); }
    const TCurvaNci3d& Toolpath(int32_t i) const override { return m_Curves.at(static_cast<size_t>(i)); }

    // Marks the curve as a drilling cycle (81..83) or engraving (76..79).
    void SetCode(int32_t code) { m_Curves.front().Code = code; }

private:
    std::unique_ptr<TDatiUtBase> m_Tool;
    bool m_Retract = false;
    std::string m_Comment;
    std::vector<TCurvaNci3d> m_Curves;
};

// Calls f with every line of text (split at line feeds).
template <class F>
void ForEachLine(std::string_view text, F f)
{
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        f(text.substr(0, eol));
        if (eol == std::string_view::npos)
            break;
        text.remove_prefix(eol + 1);
    }
}

// The frame of a two-tool program, then every cycle and laser line of the
// description expanded at each vertex of the curve.
void WriteWithPost(TScriveGCode& writer, uint8_t seed)
{
    const TFuzzOperation first(seed, 1), second(static_cast<uint8_t>(seed + 1), 2);
    writer.SetFileName("/nonexistent/fuzz.nc");
    writer.ClearOutput();
    if (!writer.BeginProgram(first))
        return;
    writer.ToolChange(second);
    TPstLines scratch;
    for (const TAVertice3d& vertex : second.Toolpath(0).Vertices) {
        writer.CurrentCompCode = second.Toolpath(0).CompCode;
        for (const TCycleTemplate& cycle : writer.CycleTemplates)
            for (const TPstLines* lines : {&cycle.DefinitionLines, &cycle.MoveLines, &cycle.CancelLines})
                writer.ExpandSection(scratch, *lines, false, vertex);
        for (const TPstLines& lines : writer.LaserLines)
            writer.ExpandSection(scratch, lines, true, vertex);
        for (const TPstLines& lines : writer.FeedSections)
            writer.ExpandSection(scratch, lines, false, vertex);
        writer.LastPosition = vertex;
    }
    // Every operation writer in the description's dialect.
    TFuzzOperation coded(static_cast<uint8_t>(seed + 2), 3);
    writer.WriteMilling(second);
    writer.WriteLathe(second);
    writer.WritePolar(second);
    coded.SetCode(81 + seed % 3);
    writer.WriteDrilling(coded);
    coded.SetCode(76 + seed % 4);
    writer.WriteLaserEngrave(coded);
    writer.WriteLaserCut(second, seed % 2);
    std::string line;
    for (int part = 0; part < 3; ++part)
        writer.CycleTemplateLine(second.Toolpath(0).Vertices.back(), 1 + seed % 3, part, line);
    writer.EndProgram(second);
}

} // namespace

// Bytes that open with "[" are a post-processor description: it is loaded,
// its formats applied and a small program written with it. Bytes that open
// with "~" are template lines: the next byte picks the writer's switches and
// the operation, every further line is expanded. Any other input is a
// program: its first byte picks the dialect and the reader's switches, the
// rest is read line by line.
int KbFuzzGCode(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TLeggeGCode reader;
    TIniFile ini;
    if (!text.empty() && text.front() == '~') {
        text.remove_prefix(1);
        const uint8_t flags = text.empty() ? 0 : static_cast<uint8_t>(text.front());
        if (!text.empty())
            text.remove_prefix(1);
        TScriveGCode writer;
        writer.LoadFromIni(ini, "fuzz", (flags & 0x01) != 0);
        writer.OutputSeq = (flags & 0x02) != 0;
        writer.XYZModal = (flags & 0x04) != 0;
        writer.IncrementalMode = (flags & 0x08) != 0;
        writer.DelZero = (flags & 0x10) != 0;
        writer.Dialect = (flags & 0x20) ? PostDialect::Lathe : PostDialect::ISO;
        if (flags & 0x40)
            writer.Separator.clear();
        if (flags & 0x80)
            writer.StartComment = " (";
        const TFuzzOperation operation(flags, 3);
        writer.SetCurrentOperation(&operation);
        writer.ResetOutputState();
        writer.FirstMove = true;
        TPstLines lines;
        ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
        TPstLines out;
        for (const TAVertice3d& vertex : operation.Toolpath(0).Vertices) {
            writer.ExpandSection(out, lines, false, vertex);
            writer.LastPosition = vertex;
        }
        return 0;
    }
    if (!text.empty() && text.front() == '[') {
        ini.LoadFromString(text);
        TScriveGCode writer;
        writer.LoadFromIni(ini, "fuzz", size % 2 == 0);
        WriteWithPost(writer, static_cast<uint8_t>(size));
        reader.LoadFromIni(ini, "fuzz", size % 2 == 0);
        for (const std::string* format : {&reader.AxisFormat, &reader.FeedFormat, &reader.DwellFormat,
                                          &reader.RotaryFormat}) {
            try {
                FormatPstFloat(*format, -12.3456);
            } catch (const EPstFormatError&) {
            }
        }
        try {
            FormatPstInteger(reader.ToolFormat, 7);
        } catch (const EPstFormatError&) {
        }
        for (const char* line : {"G1 X10 Y5 F200 (TLDIA=3)", "G2 X0 Y10 I-10 J0", "CC X1 Y2", "C X2 Y0 DR-"})
            reader.ParseLine(line);
        return 0;
    }
    reader.LoadFromIni(ini, "fuzz", true);
    if (!text.empty()) {
        const uint8_t flags = data[0];
        reader.Dialect = static_cast<uint8_t>(flags % 7);
        reader.XDiameterMode = (flags & 0x08) != 0;
        reader.IncrementalMode = (flags & 0x10) != 0;
        if (flags & 0x20)
            reader.StartComment.clear();
        if (flags & 0x40) {
            reader.RapidWord = "FMAX";
            reader.HasRapidWord = true;
        }
        text.remove_prefix(1);
    }
    ForEachLine(text, [&](std::string_view line) { reader.ParseLine(line); });
    return 0;
}
