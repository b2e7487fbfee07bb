// Move blocks of each dialect, and the milling, lathe and rotary-axis
// operation writers.

#include "nc/writer/ScriveGCode.h"

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "core/geometry/Tolerance.h"
#include "nc/writer/WriterOperation.h"

#include <cmath>
#include <numbers>

namespace {

// The attribute that marks a lathe line as a rapid.
constexpr int32_t kLatheRapidAttribute = 100;

} // namespace

std::string TScriveGCode::JoinWords(std::initializer_list<std::string> words) const
{
    std::string text;
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        if (!text.empty())
            text += Separator;
        text += word;
    }
    return text;
}

int TScriveGCode::MovePosition(const TAVertice3d& vertex, bool rapid)
{
    if (rapid)
        return gcRapid;
    if (vertex.Kind == 0)
        return gcLinear;
    return vertex.Kind == 1 ? gcCircularCCW : gcCircularCW;
}

bool TScriveGCode::AtLastPosition(const TAVertice3d& vertex) const
{
    return std::fabs(vertex.EndPoint.X - LastPosition.EndPoint.X) <= SystemTol() &&
           std::fabs(vertex.EndPoint.Y - LastPosition.EndPoint.Y) <= SystemTol();
}

std::string_view TScriveGCode::MakeIsoMove(const TAVertice3d& vertex, bool rapid, bool withZ)
{
    m_Words.clear();
    const int position = MovePosition(vertex, rapid);
    const TWord x = PutAxisWord(EAxis::X, vertex.EndPoint.X, false);
    const TWord y = PutAxisWord(EAxis::Y, vertex.EndPoint.Y, false);
    const TWord z = withZ ? PutAxisWord(EAxis::Z, vertex.EndPoint.Z, false) : TWord();
    const TWord arc = position == gcRapid ? TWord() : PutArcWords(vertex);
    LastPosition = vertex;
    if (x.Empty() && y.Empty() && z.Empty() && arc.Empty())
        return {};
    const TWord code = PutGCode(position);
    const TWord feed = position == gcRapid ? TWord() : PutFeedWord(Tool().Feed);
    const TWord number = PutBlockNumber();
    return JoinBlock({number, code, x, y, z, arc, feed});
}

std::string_view TScriveGCode::MakeXilMove(const TAVertice3d& vertex, bool rapid)
{
    m_Words.clear();
    const int position = MovePosition(vertex, rapid);
    const TWord code = PutGCode(position);
    const TWord x = PutAxisWord(EAxis::X, vertex.EndPoint.X, false);
    const TWord y = PutAxisWord(EAxis::Y, vertex.EndPoint.Y, false);
    const TWord arc = position == gcRapid ? TWord() : PutArcWords(vertex);
    const TWord suffix = position == gcCircularCW    ? PutText(XILSuffixCW)
                         : position == gcCircularCCW ? PutText(XILSuffixCCW)
                                                     : TWord();
    LastPosition = vertex;
    if (x.Empty() && y.Empty() && arc.Empty())
        return {};
    const TWord feed = position == gcRapid ? TWord() : PutFeedWord(Tool().Feed);
    const TWord number = PutBlockNumber();
    return JoinBlock({number, code, x, y, arc, suffix, feed});
}

std::string_view TScriveGCode::MakeHeiMove(const TAVertice3d& vertex, bool rapid)
{
    m_Words.clear();
    const int position = MovePosition(vertex, rapid);
    const TWord code = PutGCode(position);
    const TWord x = PutAxisWord(EAxis::X, vertex.EndPoint.X, false);
    const TWord y = PutAxisWord(EAxis::Y, vertex.EndPoint.Y, false);
    const TWord arc = position == gcRapid ? TWord() : PutArcWords(vertex);
    LastPosition = vertex;
    if (x.Empty() && y.Empty() && arc.Empty())
        return {};
    const TWord feed = position == gcRapid ? PutText(RapidWord) : PutFeedWord(Tool().Feed);
    if (arc.Empty()) {
        const TWord number = PutBlockNumber();
        return JoinBlock({number, code, x, y, feed});
    }
    const TWord centreNumber = PutBlockNumber();
    AddLine(JoinBlock({centreNumber, PutText("CC"), arc, feed}));
    const TWord number = PutBlockNumber();
    return JoinBlock({number, PutText("C"), x, y, code});
}

std::string TScriveGCode::SboMove(const TAVertice3d& vertex, bool rapid)
{
    const int position = MovePosition(vertex, rapid);
    // In incremental output each axis steps from its own last value, once:
    // the words below reuse the steps taken here.
    const double lastX = IncLastX, lastY = IncLastY;
    const std::string x = PlainAxisValue(vertex.EndPoint.X);
    const std::string y = PlainAxisValue(vertex.EndPoint.Y, true);
    if (position == gcRapid || position == gcLinear) {
        std::string body;
        if (x != LastXText && y != LastYText) {
            body = SBOXYPref + x + "," + y;
            LastXText = x;
            LastYText = y;
        } else if (IncrementalMode) {
            if (!x.empty())
                body = SteppedAxisWord(EAxis::X, vertex.EndPoint.X - lastX, false);
            if (!y.empty())
                body += SteppedAxisWord(EAxis::Y, vertex.EndPoint.Y - lastY, false);
        } else {
            body = XWord(vertex.EndPoint.X);
            body += YWord(vertex.EndPoint.Y);
        }
        LastPosition = vertex;
        if (body.empty())
            return {};
        const std::string code = GCodeWord(position);
        const std::string number = BlockNumber();
        return JoinWords({number, code, body});
    }
    const std::string arc = ArcWords(vertex);
    LastPosition = vertex;
    const std::string code = GCodeWord(position);
    const std::string body = "CG,," + x + "," + y;
    LastXText = x;
    LastYText = y;
    const std::string number = BlockNumber();
    return JoinWords({number, body, arc, code});
}

std::string_view TScriveGCode::MakeXYMove(const TAVertice3d& vertex, bool rapid)
{
    switch (Dialect) {
    case PostDialect::HEI:
        return MakeHeiMove(vertex, rapid);
    case PostDialect::XIL:
        return MakeXilMove(vertex, rapid);
    case PostDialect::SBO:
        m_Block = SboMove(vertex, rapid);
        return m_Block;
    default:
        return MakeIsoMove(vertex, rapid, false);
    }
}

std::string_view TScriveGCode::MakeXYZMove(const TAVertice3d& vertex, bool rapid)
{
    switch (Dialect) {
    case PostDialect::HEI:
    case PostDialect::XIL:
    case PostDialect::SBO:
        return MakeXYMove(vertex, rapid);
    default:
        return MakeIsoMove(vertex, rapid, true);
    }
}

std::string_view TScriveGCode::MakeZMove(bool feed, double z)
{
    m_Words.clear();
    const int position = feed ? gcLinear : gcRapid;
    if (Dialect == PostDialect::HEI) {
        const TWord code = PutGCode(position);
        const TWord word = PutAxisWord(EAxis::Z, z, false);
        const TWord feedPart = feed ? PutFeedWord(Tool().PlungeFeed) : PutText(RapidWord);
        if (word.Empty())
            return {};
        const TWord number = PutBlockNumber();
        return JoinBlock({number, code, word, feedPart});
    }
    if (Dialect == PostDialect::SBO) {
        const TWord code = PutGCode(position);
        const TWord word = PutAxisWord(EAxis::Z, z, false);
        if (word.Empty())
            return {};
        const TWord number = PutBlockNumber();
        return JoinBlock({number, code, word});
    }
    const TWord word = PutAxisWord(EAxis::Z, z, false);
    // The feed word is taken even when no block follows, so the feed memory
    // tracks the plunge feed.
    const TWord feedPart = feed ? PutFeedWord(Tool().PlungeFeed) : TWord();
    if (word.Empty())
        return {};
    const TWord code = PutGCode(position);
    const TWord number = PutBlockNumber();
    return JoinBlock({number, code, word, feedPart});
}

std::string_view TScriveGCode::MakeLatheMove(const TAVertice3d& vertex)
{
    m_Words.clear();
    const int position =
        vertex.Kind == 0 && vertex.Attribute == kLatheRapidAttribute ? gcRapid : MovePosition(vertex, false);
    const TWord x = PutAxisWord(EAxis::X, vertex.EndPoint.Y, true);
    const TWord z = PutAxisWord(EAxis::Z, vertex.EndPoint.X, false);
    const TWord arc = position == gcRapid ? TWord() : PutArcWords(vertex);
    LastPosition = vertex;
    if (x.Empty() && z.Empty() && arc.Empty())
        return {};
    const TWord code = PutGCode(position);
    const TWord feed = position == gcRapid ? TWord() : PutFeedWord(Tool().Feed);
    const TWord number = PutBlockNumber();
    return JoinBlock({number, code, x, z, arc, feed});
}

std::string TScriveGCode::XYMove(const TAVertice3d& vertex, bool rapid)
{
    return std::string(MakeXYMove(vertex, rapid));
}

std::string TScriveGCode::XYZMove(const TAVertice3d& vertex, bool rapid)
{
    return std::string(MakeXYZMove(vertex, rapid));
}

std::string TScriveGCode::ZMove(bool feed, double z)
{
    return std::string(MakeZMove(feed, z));
}

std::string TScriveGCode::LatheMove(const TAVertice3d& vertex)
{
    return std::string(MakeLatheMove(vertex));
}

// --- Operation writers ---

void TScriveGCode::ExpandFeedSection(int section, const TAVertice3d& vertex)
{
    if (HasFeedSection.at(static_cast<size_t>(section)))
        ExpandSection(FeedSections.at(static_cast<size_t>(section)), true, vertex);
}

void TScriveGCode::WriteFeedMoves(const TCurvaNci3d& curve, bool twoAxes)
{
    const size_t n = curve.Vertices.size();
    for (size_t i = 1; i < n; ++i) {
        const TAVertice3d& vertex = curve.Vertices[i];
        if (i == 1)
            ExpandFeedSection(fsBeforeFirstFeedMove, vertex);
        if (i == n - 1)
            ExpandFeedSection(fsBeforeLastFeedMove, vertex);
        AddLine(twoAxes ? MakeXYMove(vertex, false) : MakeXYZMove(vertex, false));
        if (i == 1)
            ExpandFeedSection(fsAfterFirstFeedMove, vertex);
        if (i == n - 1)
            ExpandFeedSection(fsAfterLastFeedMove, vertex);
    }
}

void TScriveGCode::WriteMilling(const TWriterOperation& operation)
{
    ToolChange(operation);
    for (int32_t c = 0; c < operation.ToolpathCount(); ++c) {
        const TCurvaNci3d& curve = operation.Toolpath(c);
        // Stored documents and empty 3D levels may hold curves without
        // vertices; the curves after them are still written.
        if (curve.Vertices.empty())
            continue;
        CurrentCompCode = curve.CompCode;
        const TAVertice3d& first = curve.Vertices.front();
        if (!AtLastPosition(first)) {
            if (!OmitZ) {
                if (operation.RetractOn()) {
                    AddLine(MakeZMove(false, operation.RetractZ()));
                    AddLine(MakeXYMove(first, true));
                }
                AddLine(MakeZMove(false, operation.ZRapid()));
            }
            AddLine(MakeXYMove(first, true));
        }
        if (!OmitZ)
            AddLine(MakeZMove(true, first.EndPoint.Z));
        // A machine without Z gets no Z word in the feed moves either.
        WriteFeedMoves(curve, OmitZ);
    }
    if (!OmitZ)
        AddLine(MakeZMove(false, operation.RetractOn() ? operation.RetractZ() : operation.ZRapid()));
}

void TScriveGCode::WriteLathe(const TWriterOperation& operation)
{
    ToolChange(operation);
    for (int32_t c = 0; c < operation.ToolpathCount(); ++c)
        for (const TAVertice3d& vertex : operation.Toolpath(c).Vertices)
            AddLine(MakeLatheMove(vertex));
}

void TScriveGCode::WritePolar(const TWriterOperation& operation)
{
    SetCurrentOperation(&operation);
    for (int32_t c = 0; c < operation.ToolpathCount(); ++c) {
        for (const TAVertice3d& vertex : operation.Toolpath(c).Vertices) {
            const double x = vertex.EndPoint.X;
            const double y = vertex.EndPoint.Y;
            double angle = std::atan2(y, x);
            if (angle < 0)
                angle += 2 * std::numbers::pi;
            // The point turned by -angle about the origin lies on +X at its distance.
            const double distance = x * std::cos(-angle) - y * std::sin(-angle);
            AddLine(RotaryWord(-angle * 180 / std::numbers::pi) + Separator + XWord(distance));
        }
    }
}
