#include "nc/writer/ScriveGCode.h"

#include "cam/progress/UserBreak_ProgBar.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "core/geometry/Tolerance.h"
#include "nc/writer/WriterOperation.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Position X and Y of a last position that is not known.
constexpr double kUnknownPosition = 1e8;

bool NearZero(double value)
{
    return std::fabs(value) <= SystemTol();
}

TAVertice3d OriginVertex()
{
    return TAVertice3d::Create();
}

} // namespace

std::optional<TAVertice3d> FirstToolpathVertex(const TWriterOperation& operation)
{
    for (int32_t i = 0; i < operation.ToolpathCount(); ++i) {
        const TCurvaNci3d& curve = operation.Toolpath(i);
        if (!curve.Vertices.empty())
            return curve.Vertices.front();
    }
    return std::nullopt;
}

TScriveGCode& GCodeWriter()
{
    static TScriveGCode writer;
    return writer;
}

TScriveGCode::~TScriveGCode() = default;
TScriveGCode::TScriveGCode(TScriveGCode&&) noexcept = default;
TScriveGCode& TScriveGCode::operator=(TScriveGCode&&) noexcept = default;

TScriveGCode::TScriveGCode() : Progress(std::make_unique<TUserBreak_ProgBar>())
{
    LastPosition = OriginVertex();
    CurrentVertex = OriginVertex();
}

// --- Program frame ---

void TScriveGCode::ClearOutput()
{
    ProgramLines.clear();
    m_Stream.reset();
    m_StreamedLines = 0;
}

void TScriveGCode::StreamProgramToFile()
{
    ClearOutput();
    m_Streaming = true;
}

void TScriveGCode::StopStreaming()
{
    ClearOutput();
    m_Streaming = false;
}

int32_t TScriveGCode::LastLineIndex() const
{
    const int64_t lines = m_Streaming ? m_StreamedLines : static_cast<int64_t>(ProgramLines.size());
    return static_cast<int32_t>(std::min<int64_t>(lines, INT32_MAX) - 1);
}

void TScriveGCode::ResetOutputState()
{
    ClearOutput();
    SeqCounter = SeqStart;
    IncLastX = IncLastY = IncLastZ = 0;
    LastPosition.EndPoint.X = kUnknownPosition;
    LastPosition.EndPoint.Y = kUnknownPosition;
}

void TScriveGCode::ResetModal()
{
    LastXText = LastYText = LastZText = LastGText = LastFText = kModalUnknown;
}

bool TScriveGCode::BeginProgram(const TWriterOperation& operation)
{
    m_CurrentOperation = &operation;
    ResetOutputState();
    FirstMove = true;
    const std::optional<TAVertice3d> first = FirstToolpathVertex(operation);
    if (!first)
        return false;
    ExpandSection(StartLines, true, *first);
    const TDatiUtBase* tool = operation.ToolData();
    LastTool = tool ? tool->ToolNumber : 0;
    return true;
}

void TScriveGCode::ToolChange(const TWriterOperation& operation)
{
    m_CurrentOperation = &operation;
    const TDatiUtBase* tool = operation.ToolData();
    if ((tool ? tool->ToolNumber : 0) == LastTool)
        return;
    ExpandSection(ToolChangeLines, true, FirstToolpathVertex(operation).value_or(OriginVertex()));
}

void TScriveGCode::EndProgram(const TWriterOperation& operation)
{
    m_CurrentOperation = &operation;
    ExpandSection(EndLines, true, FirstToolpathVertex(operation).value_or(OriginVertex()));
}

void TScriveGCode::SaveProgram()
{
    if (m_OutputFileName.empty())
        throw EGCodeSaveError("no output file name");
    if (m_Streaming) {
        if (!m_Stream)
            m_Stream = std::make_unique<TAtomicFileWriter>(m_OutputFileName);
        std::string error = m_Stream->Error().empty() ? m_Stream->Commit() : m_Stream->Error();
        StopStreaming();
        if (!error.empty())
            throw EGCodeSaveError(error);
        return;
    }
    std::string bytes;
    for (const std::string& line : ProgramLines) {
        bytes += line;
        bytes += "\r\n";
    }
    const std::string error = WriteFileAtomically(m_OutputFileName, bytes);
    if (!error.empty())
        throw EGCodeSaveError(error);
}

void TScriveGCode::AddLine(std::string_view line)
{
    if (line.empty())
        return;
    if (!m_Streaming) {
        ProgramLines.emplace_back(line);
        return;
    }
    // The output file is only touched once there is a line to write; a
    // program without a name gets no file (SaveProgram says why).
    if (!m_Stream && !m_OutputFileName.empty())
        m_Stream = std::make_unique<TAtomicFileWriter>(m_OutputFileName);
    if (m_Stream) {
        m_Stream->Write(line);
        m_Stream->Write("\r\n");
    }
    ++m_StreamedLines;
}

void TScriveGCode::ExpandSection(const TPstLines& lines, bool resetModal, const TAVertice3d& vertex)
{
    CurrentVertex = vertex;
    if (resetModal)
        ResetModal();
    for (const std::string& line : lines)
        AddLine(ExpandLine(line));
}

void TScriveGCode::ExpandSection(TPstLines& target, const TPstLines& lines, bool resetModal, const TAVertice3d& vertex)
{
    CurrentVertex = vertex;
    if (resetModal)
        ResetModal();
    for (const std::string& line : lines) {
        std::string expanded = ExpandLine(line);
        if (!expanded.empty())
            target.push_back(std::move(expanded));
    }
}

// --- Number words ---

std::string TScriveGCode::NumberText(const std::string& format, double value) const
{
    std::string text = FormatPstFloat(format, value);
    if (DelZero && text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
    }
    return text;
}

bool TScriveGCode::IncrementalStep(double& incLast, double& value) const
{
    if (!IncrementalMode)
        return true;
    const double step = value - incLast;
    incLast = value;
    value = step;
    return !(XYZModal && NearZero(step));
}

std::string TScriveGCode::PlainAxisValue(double value, bool yAxis)
{
    if (!IncrementalStep(yAxis ? IncLastY : IncLastX, value))
        return {};
    if (ScaleActive)
        value *= XScale;
    return NumberText(AxisFormat, value);
}

std::string TScriveGCode::CycleWord(const std::string& prefix, const std::string& format, double value)
{
    if (IncrementalMode && XYZModal && NearZero(value))
        return {};
    if (ScaleActive)
        value *= ZScale;
    return prefix + NumberText(format, value);
}

std::string TScriveGCode::RotaryWord(double valueDeg)
{
    return RotaryPref + NumberText(RotaryFormat, valueDeg);
}

std::string TScriveGCode::ToolWord(int32_t number)
{
    std::string word = ToolPref + FormatPstInteger(ToolFormat, number);
    LastTool = number;
    LastPosition.EndPoint.X = kUnknownPosition;
    LastPosition.EndPoint.Y = kUnknownPosition;
    return word;
}
