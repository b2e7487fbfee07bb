// Drilling output: canned cycles from the post's templates, or explicit
// moves with pecking.

#include "nc/writer/ScriveGCode.h"

#include "cam/toolpath/ToolpathCurves.h"
#include "core/geometry/Tolerance.h"
#include "nc/writer/WriterOperation.h"

#include <algorithm>
#include <cmath>

namespace {

// The move line of a canned cycle whose post gives none: the hole's position.
constexpr const char* kDefaultCycleMove = "[n][x][y]";

const TAVertice3d* LastToolpathVertex(const TWriterOperation& operation)
{
    for (int32_t i = operation.ToolpathCount() - 1; i >= 0; --i) {
        const TCurvaNci3d& curve = operation.Toolpath(i);
        if (!curve.Vertices.empty())
            return &curve.Vertices.back();
    }
    return nullptr;
}

} // namespace

int TScriveGCode::DrillingCycle(const TWriterOperation& operation)
{
    if (operation.ToolpathCount() == 0)
        return 1;
    const int cycle = operation.Toolpath(0).Code - 80;
    return cycle >= 1 && cycle <= 3 ? cycle : 1;
}

bool TScriveGCode::IsExplodedTapping(const TWriterOperation& operation) const
{
    const int cycle = DrillingCycle(operation);
    return cycle == 3 && CycleTemplates[2].Exploded;
}

void TScriveGCode::CycleTemplateLine(const TAVertice3d& vertex, int cycle, int part, std::string& line)
{
    if (cycle < 1 || cycle > 3)
        cycle = 1;
    const TCycleTemplate& templates = CycleTemplates[static_cast<size_t>(cycle - 1)];
    const TPstLines& lines = part == 0 ? templates.DefinitionLines : part == 1 ? templates.MoveLines
                                                                                 : templates.CancelLines;
    TPstLines scratch;
    ExpandSection(scratch, lines, true, vertex);
    if (!scratch.empty())
        line = scratch.front();
}

bool TScriveGCode::WriteDrilling(const TWriterOperation& operation)
{
    SetCurrentOperation(&operation);
    if (IsExplodedTapping(operation))
        return false;
    ToolChange(operation);
    const std::optional<TAVertice3d> first = FirstToolpathVertex(operation);
    if (!first)
        return true;
    if (!AtLastPosition(*first)) {
        if (!OmitZ) {
            if (operation.RetractOn()) {
                AddLine(MakeZMove(false, operation.RetractZ()));
                AddLine(MakeXYMove(*first, true));
            }
            AddLine(MakeZMove(false, operation.ZRapid()));
        }
        AddLine(MakeXYMove(*first, true));
    }
    const int cycle = DrillingCycle(operation);
    const TCycleTemplate& templates = CycleTemplates[static_cast<size_t>(cycle - 1)];
    if (!templates.Exploded)
        ExpandSection(templates.DefinitionLines, true, *first);
    // The definition line already drills the first hole; its move line would
    // drill (or tap) it a second time. Later curves keep all their holes.
    bool definitionHole = !templates.Exploded;
    for (int32_t c = 0; c < operation.ToolpathCount(); ++c) {
        const TCurvaNci3d& curve = operation.Toolpath(c);
        if (templates.Exploded) {
            WriteExplodedCycle(curve, cycle);
        } else {
            WriteCycleMoves(curve, cycle, definitionHole && !curve.Vertices.empty());
            if (!curve.Vertices.empty())
                definitionHole = false;
        }
    }
    if (!templates.Exploded)
        ExpandSection(templates.CancelLines, true, *LastToolpathVertex(operation));
    if (!OmitZ)
        AddLine(MakeZMove(false, operation.RetractOn() ? operation.RetractZ() : operation.ZRapid()));
    return true;
}

// The move line keeps only its bracketed names: "G81 X[x]" writes the X
// word alone. Under modal axis words a hole in line with the previous one
// writes only the coordinate that changed. skipFirst passes over the hole
// the cycle's definition line has drilled.
void TScriveGCode::WriteCycleMoves(const TCurvaNci3d& curve, int cycle, bool skipFirst)
{
    const TCycleTemplate& templates = CycleTemplates[static_cast<size_t>(cycle - 1)];
    const std::string_view line =
        templates.MoveLines.empty() ? std::string_view(kDefaultCycleMove) : std::string_view(templates.MoveLines.front());
    for (size_t i = skipFirst ? 1 : 0; i < curve.Vertices.size(); ++i) {
        const TAVertice3d& hole = curve.Vertices[i];
        CurrentVertex = hole;
        std::string result;
        bool numberWanted = false;
        try {
            std::string_view rest = line;
            for (;;) {
                const size_t open = rest.find('[');
                const size_t close = open == std::string_view::npos ? open : rest.find(']', open);
                if (close == std::string_view::npos || close == open + 1)
                    break;
                const std::string_view name = rest.substr(open + 1, close - open - 1);
                rest.remove_prefix(close + 1);
                if (name == "n") {
                    numberWanted = true;
                    continue;
                }
                const std::string value = VariableValue(name);
                if (value.empty())
                    continue;
                if (!result.empty())
                    result += Separator;
                result += value;
            }
        } catch (const std::exception&) {
            continue; // a value that cannot be written: no line for this hole
        }
        if (result.empty())
            continue;
        if (OutputSeq)
            result = (numberWanted ? BlockNumber() : std::string()) + Separator + result;
        AddLine(result);
    }
}

void TScriveGCode::WriteExplodedCycle(const TCurvaNci3d& curve, int cycle)
{
    if (curve.Vertices.empty())
        return;
    const TWriterOperation& operation = Operation();
    const double top = operation.ZTop();
    const double rapid = operation.ZRapid();
    const double depth = top - curve.Vertices.front().EndPoint.Z;
    double peck = std::fabs(operation.ZStep());
    if (peck == 0)
        peck = depth;
    // A hole at or above the top gets one pass straight to it.
    int count = 1;
    if (depth > 0 && peck > 0) {
        const double passes = depth / peck;
        count = static_cast<int>(std::trunc(passes));
        // A rest below the system tolerance is rounding, not another peck.
        if (depth - peck * std::floor(passes) > SystemTol())
            ++count;
        count = std::max(count, 1);
    }
    for (const TAVertice3d& hole : curve.Vertices) {
        AddLine(MakeXYMove(hole, true));
        if (cycle == 2) {
            double z = top;
            double reapproach = top;
            for (int k = 1; k <= count; ++k) {
                if (k > 1)
                    AddLine(MakeZMove(false, reapproach));
                z = k == count && depth <= 0 ? hole.EndPoint.Z : std::max(z - peck, hole.EndPoint.Z);
                AddLine(MakeZMove(true, z));
                AddLine(MakeZMove(false, rapid));
                reapproach = z + 0.1 * peck;
            }
        } else {
            AddLine(MakeZMove(true, hole.EndPoint.Z));
            AddLine(MakeZMove(false, rapid));
        }
    }
}
