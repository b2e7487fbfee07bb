// Laser output: engraving from the post's laser sections, cutting with
// ordinary move blocks.

#include "nc/writer/ScriveGCode.h"

#include "cam/progress/UserBreak_ProgBar.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "nc/writer/WriterOperation.h"

#include <algorithm>

namespace {

// Engraving curve codes.
constexpr int32_t kGreyLine = 76;
constexpr int32_t kGreyDots = 77;
constexpr int32_t kLine = 78;
constexpr int32_t kDots = 79;

// Ends the progress display however the writing ends.
class TProgressRun {
public:
    explicit TProgressRun(TUserBreak_ProgBar& progress) : m_Progress(progress) { m_Progress.StartProgress(); }
    ~TProgressRun() { m_Progress.EndProgress(); }
    TProgressRun(const TProgressRun&) = delete;
    TProgressRun& operator=(const TProgressRun&) = delete;

private:
    TUserBreak_ProgBar& m_Progress;
};

} // namespace

bool TScriveGCode::WriteLaserEngrave(const TWriterOperation& operation)
{
    SetCurrentOperation(&operation);
    const int32_t count = operation.ToolpathCount();
    if (count == 0)
        return true;
    TUserBreak_ProgBar& progress = *Progress;
    progress.Bind(nullptr, true);
    TProgressRun run(progress);
    const int share = std::max(100 / count, 1);
    bool beforeRapidPending = true;
    for (int32_t i = 0; i < count; ++i) {
        const TCurvaNci3d& curve = operation.Toolpath(i);
        bool stopped = false;
        switch (curve.Code) {
        case kGreyLine:
        case kLine:
            WriteEngraveLine(curve, beforeRapidPending);
            stopped = progress.StepProgress(count, i);
            break;
        case kGreyDots:
            stopped = WriteDots(curve, share, true);
            break;
        case kDots:
            stopped = WriteDots(curve, share, false);
            break;
        default:
            break;
        }
        // The user stopped: the program would miss the rest of the picture.
        if (stopped)
            return false;
    }
    return true;
}

void TScriveGCode::WriteEngraveLine(const TCurvaNci3d& curve, bool& beforeRapidPending)
{
    if (curve.Vertices.empty())
        return;
    const TAVertice3d& first = curve.Vertices.front();
    if (beforeRapidPending) {
        ExpandSection(LaserLines[lsBeforeLaserRapidMove], true, first);
        beforeRapidPending = false;
    }
    FirstMove = true;
    ExpandSection(LaserLines[lsLaserEngRapidMove], true, first);
    ExpandFeedSection(fsBeforeFirstFeedMove, first);
    const TPstLines& feedLines = curve.Code == kLine ? LaserLines[lsLaserEngFeedMove] : LaserLines[lsLaserEngGreyFeedMove];
    for (const TAVertice3d& vertex : curve.Vertices)
        ExpandSection(feedLines, true, vertex);
    ExpandFeedSection(fsAfterLastFeedMove, curve.Vertices.back());
}

bool TScriveGCode::WriteDots(const TCurvaNci3d& curve, int share, bool grey)
{
    TUserBreak_ProgBar& progress = *Progress;
    const int32_t n = curve.VertexCount();
    const int32_t every = std::max(n / 10, 1);
    const TPstLines& firstLines = LaserLines[grey ? lsFirstLaserEngDotGreyMove : lsFirstLaserEngDotMove];
    const TPstLines& laterLines = LaserLines[grey ? lsLaserEngDotGreyMove : lsLaserEngDotMove];
    for (int32_t i = 0; i < n; ++i) {
        // Later dots keep the modal memory: unchanged coordinates are not repeated.
        ExpandSection(i == 0 ? firstLines : laterLines, i == 0, curve.Vertices[static_cast<size_t>(i)]);
        if (i % every == 0 && progress.StepProgress(n * (100 / share), i))
            return true;
    }
    return false;
}

void TScriveGCode::WriteLaserCut(const TWriterOperation& operation, int32_t index)
{
    ToolChange(operation);
    for (int32_t c = 0; c < operation.ToolpathCount(); ++c) {
        const TCurvaNci3d& curve = operation.Toolpath(c);
        // Empty curves are passed over; the curves after them are still cut.
        if (curve.Vertices.empty())
            continue;
        CurrentCompCode = curve.CompCode;
        const TAVertice3d& first = curve.Vertices.front();
        if (index == 0)
            ExpandSection(LaserLines[lsBeforeLaserRapidMove], false, first);
        if (!AtLastPosition(first)) {
            if (!OmitZ)
                AddLine(MakeZMove(false, operation.ZRapid()));
            AddLine(MakeXYMove(first, true));
        }
        WriteFeedMoves(curve, OmitZ);
    }
    if (!OmitZ)
        AddLine(MakeZMove(false, operation.ZRapid()));
}
