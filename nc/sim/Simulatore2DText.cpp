// The simulation of the G-code editor's text: every line goes through the
// reader, and what it recognised becomes one of the simulator's single
// moves on the text operation.

#include "nc/sim/Simulatore2D.h"

#include "cam/tools/DatiUtBase.h"
#include "cam/tools/ToolSolid.h"
#include "core/geometry/Geometry.h"
#include "nc/editor/TextSimulation.h"
#include "nc/gcode/LeggeGCode.h"
#include "nc/sim/TextOperation.h"
#include "nc/writer/ScriveGCode.h"

#include <cmath>
#include <numbers>

namespace {

// The text scrolls on by this many lines whenever the played line index is
// a multiple of it.
constexpr int32_t kScrollBlock = 15;

} // namespace

void TSimulatore2D::TakeWriterPost()
{
    // The reader reads with the post the writer writes with.
    static_cast<TPostProcessor&>(*m_Reader) = static_cast<const TPostProcessor&>(GCodeWriter());
}

const TLeggeGCode& TSimulatore2D::ReaderOfCurrentPost()
{
    TakeWriterPost();
    return *m_Reader;
}

void TSimulatore2D::MakeTextCurrent()
{
    TakeWriterPost();
    if (m_Op != m_TextOp.get()) {
        m_Op = m_TextOp.get();
        // The open feed strip belongs to the other operation's group.
        m_FeedStripOpen = false;
        if (m_EchoWriter)
            m_EchoWriter->SetCurrentOperation(m_Op);
    }
    m_Lathe = m_Reader->Dialect == PostDialect::Lathe;
    // The text is the G-code: nothing to echo.
    m_Echo = false;
}

void TSimulatore2D::PrepareText()
{
    if (m_InLoop)
        return;
    // A fresh reading state: no motion, position or arc values carried over.
    *m_Reader = TLeggeGCode();
    MakeTextCurrent();
    m_Prepared = true;
    m_TextMode = true;
    m_FeedSeconds = 0.0;
    m_RapidSeconds = 0.0;
    m_Finished = false;
    m_AtCurveStart = true;
    m_TextLineIndex = 0;
    m_TotalMoves = 0;
    m_Counter = -1;
    ShowCounter();
    m_LastZShown = NothingShown;
    m_LatheDx = m_LatheDy = 0.0;
    // The text starts where the reader starts, at the origin.
    m_Last = TAVertice3d::Create();
    m_FeedStripOpen = false;
    ToolSceneObjects().CreateSolid(m_TextOp->Tool(), false);
    SetShowTool(m_Window && m_Window->ShowToolChecked());
    ResetBounds();
}

void TSimulatore2D::ToolChangeHeight()
{
    const double z = m_TextOp->ZRapid();
    m_Last.EndPoint.Z = z;
    m_Reader->ReaderZ = z;
}

bool TSimulatore2D::ReaderArcToVertex(TAVertice3d& vertex, int32_t code) const
{
    const TLeggeGCode& r = *m_Reader;
    const TVector3D& s = m_Last.EndPoint;
    double cx = 0.0;
    double cy = 0.0;
    if (r.ArcR != 0.0) {
        // The centre of a radius arc, in single precision: on the chord's
        // bisector; a positive radius takes the arc of at most half a turn.
        const auto sx = static_cast<float>(s.X), sy = static_cast<float>(s.Y);
        const auto ex = static_cast<float>(r.ReaderX), ey = static_cast<float>(r.ReaderY);
        const auto radius = static_cast<float>(r.ArcR);
        const float c = std::hypot(ex - sx, ey - sy);
        if (!(c > 0.0f))
            return false;
        const float mx = (sx + ex) / 2.0f, my = (sy + ey) / 2.0f;
        const float square = radius * radius - c * c / 4.0f;
        const float h = square < 0.0f ? 0.0f : std::sqrt(square);
        const float ux = (ey - sy) / c * h, uy = (ex - sx) / c * h;
        const float c1x = mx + ux, c1y = my - uy;
        const double sweep = ArcSweep(code == 2 ? -1 : 1, AngleOfXY(sx - c1x, sy - c1y), AngleOfXY(ex - c1x, ey - c1y));
        const bool second = radius > 0.0f ? sweep > std::numbers::pi : sweep <= std::numbers::pi;
        cx = second ? mx - ux : c1x;
        cy = second ? my + uy : c1y;
    } else if (m_Lathe && r.ArcCenter == 2) {
        // Lathe convention: X of the vertex is the Z word, Y the X word.
        cx = s.X + r.ArcK;
        cy = s.Y + r.ArcI;
    } else if (r.ArcCenter == 1) {
        cx = r.ArcI;
        cy = r.ArcJ;
    } else if (r.ArcCenter == 2) {
        cx = s.X + r.ArcI;
        cy = s.Y + r.ArcJ;
    } else if (r.ArcCenter == 3) {
        cx = s.X - r.ArcI;
        cy = s.Y - r.ArcJ;
    }
    vertex = TAVertice3d::CreateFull(code == 2 ? -1 : 1, {r.ReaderX, r.ReaderY, r.ReaderZ}, {cx, cy, r.ReaderZ}, 0);
    return true;
}

void TSimulatore2D::SimTextLine(const std::string& line, bool latheMoves, bool showZ, TGCodeTextSource& text)
{
    TLeggeGCode& r = *m_Reader;
    if (!r.ParseLine(line))
        return;
    if (r.LineKind == TLeggeGCode::lkToolDiameter) {
        TDatiUtFresa& tool = m_TextOp->Tool();
        tool.Diameter = r.ToolDiameter;
        m_TextOp->SetCompOffset(r.ToolDiameter / 2.0);
        // The tool object takes the new size.
        ToolSceneObjects().CreateSolid(tool, m_ShowTool);
        ToolChangeHeight();
        return;
    }
    if (r.LineKind != TLeggeGCode::lkNumber)
        return;
    if (showZ && r.ReaderZ != m_Last.EndPoint.Z)
        text.ShowCurrentZ(r.ReaderZ);
    TAVertice3d v = TAVertice3d::CreateAt({r.ReaderX, r.ReaderY, r.ReaderZ});
    const int32_t code = r.MotionCode;
    if (code == 0) {
        if (latheMoves)
            SimLatheRapid(v);
        else
            SimRapid(v, false, r.ReaderZ);
    } else if (code == 1) {
        if (latheMoves)
            SimLatheLine(m_Last, v);
        else
            SimLine(m_Last, v, false);
    } else if (code == 2 || code == 3) {
        if (!ReaderArcToVertex(v, code))
            return;
        if (latheMoves)
            SimLatheArc(m_Last, v);
        else
            SimArc(m_Last, v, false);
    } else if (code >= 81 && code <= 89) {
        m_TextOp->SetZRapid(r.CycleR);
        SimDrillHole(v, 0, 0, false);
    }
}

void TSimulatore2D::FollowTextLine(TGCodeTextSource& text)
{
    if (m_TextLineIndex < text.LineCount())
        text.SelectLine(m_TextLineIndex);
    PumpMessages();
    if (m_TextLineIndex % kScrollBlock != 0)
        return;
    // The pump may have ended the play, and with it the text.
    if (m_InLoop && !m_Running)
        return;
    text.ScrollLines(kScrollBlock);
    PumpMessages();
}

void TSimulatore2D::PlayText(TGCodeTextSource& text)
{
    if (m_InLoop)
        return;
    MakeTextCurrent();
    m_Running = true;
    m_TextIdle = false;
    text.Focus();
    m_InLoop = true;
    // The text is touched only while running: stopping (the editor closing
    // among them) may take it away during the pumps.
    bool atEnd = false;
    while (m_Running) {
        m_TextLineIndex = std::max(m_TextLineIndex, 0);
        if (m_TextLineIndex >= text.LineCount()) {
            atEnd = true;
            break;
        }
        SimTextLine(text.LineText(m_TextLineIndex), false, true, text);
        if (m_Delay > 1 && m_Clock)
            m_Clock->Sleep(m_Delay);
        ++m_TextLineIndex;
        FollowTextLine(text);
    }
    m_InLoop = false;
    m_Running = false;
    // Played to the end: the next play starts at the first line; stopped:
    // it goes on with the line after the last one played.
    if (atEnd)
        m_TextLineIndex = 0;
    if (!m_Bounds.Computed)
        ComputeBoundsCentre();
    m_TextIdle = true;
}

void TSimulatore2D::StepText(TGCodeTextSource& text)
{
    if (m_InLoop)
        return;
    MakeTextCurrent();
    text.Focus();
    m_TextLineIndex = text.CaretLine();
    if (m_TextLineIndex >= 0 && m_TextLineIndex < text.LineCount())
        SimTextLine(text.LineText(m_TextLineIndex), m_Lathe, true, text);
    ++m_TextLineIndex;
    FollowTextLine(text);
}

void TSimulatore2D::RewindText(TGCodeTextSource& text)
{
    if (m_InLoop)
        return;
    MakeTextCurrent();
    text.Focus();
    text.MoveCaretToStart();
    text.ScrollLines(-text.LineCount());
    Rewind();
}

void TSimulatore2D::EndTextSimulation()
{
    m_ShowTool = false;
    MakeTextCurrent();
    m_Running = false;
    m_Bounds.Computed = false;
    ToolSceneObjects().FreeSolid(m_TextOp->Tool());
    if (m_View)
        m_View->ClearSceneGroup(Group());
    m_FeedStripOpen = false;
    m_Prepared = false;
    m_TextMode = false;
}
