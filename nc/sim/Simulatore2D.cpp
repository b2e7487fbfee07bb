#include "nc/sim/Simulatore2D.h"

#include "cam/curves/AArco.h"
#include "cam/curves/Span.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "cam/tools/ToolSolid.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Geometry.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/gcode/LeggeGCode.h"
#include "nc/sim/TextOperation.h"
#include "nc/solid/NcVisu.h"
#include "nc/writer/ScriveGCode.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

namespace {

// Every simulator alive, told when an operation goes. Never destroyed:
// operations freed at exit still find it.
std::vector<TSimulatore2D*>& Simulators()
{
    static auto* all = new std::vector<TSimulatore2D*>;
    return *all;
}

constexpr std::array<uint32_t, 9> kDelays{500, 250, 125, 60, 30, 15, 7, 3, 1};
constexpr int32_t kLaserEngraving = 8;
constexpr int32_t kDrilling = 3;

double Distance(const TVector3D& a, const TVector3D& b)
{
    return std::sqrt((a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y) + (a.Z - b.Z) * (a.Z - b.Z));
}

TVector3D At(const TVector3D& p, double z) { return {p.X, p.Y, z}; }
TVector2D XY(const TVector3D& p) { return {p.X, p.Y}; }

void AppendArc(std::vector<TVector3D>& out, const TVector2D& centre, const TVector2D& start, const TVector2D& end,
               bool clockwise, double z, double tolerance)
{
    for (const TPoint2D& p : ArcToPointsTol(centre, start, end, clockwise, tolerance))
        out.push_back({p.X, p.Y, z});
}

} // namespace

// --- Clock ------------------------------------------------------------------------------

uint64_t TSystemSimClock::TickMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TSystemSimClock::Sleep(uint32_t ms) { QThread::msleep(ms); }

void TSystemSimClock::ProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

TSimOperation::~TSimOperation() { TSimulatore2D::OperationGone(this); }

// --- Life --------------------------------------------------------------------------------

TSimulatore2D::TSimulatore2D()
    : m_MarkerTool(std::make_unique<TDatiUtFresa>()), m_Reader(std::make_unique<TLeggeGCode>()),
      m_TextOp(std::make_unique<TTextSimOperation>(AppConfig().Unit))
{
    m_Last = TAVertice3d::Create();
    Simulators().push_back(this);
}

TSimulatore2D::~TSimulatore2D()
{
    std::erase(Simulators(), this);
    if (MachineMarker() == this)
        SetMachineMarker(nullptr);
}

void TSimulatore2D::OperationGone(const TSimOperation* operation)
{
    for (TSimulatore2D* sim : Simulators())
        if (sim->m_Op == operation) {
            sim->m_Op = nullptr;
            sim->m_Running = false;
            sim->m_Prepared = false;
            sim->m_FeedStripOpen = false;
            sim->m_LaserNode = NoSceneNode;
            if (sim->m_Solid)
                sim->m_Solid->BindOperation(nullptr);
            if (sim->m_EchoWriter)
                sim->m_EchoWriter->SetCurrentOperation(nullptr);
        }
}

const TDatiUtBase* TSimulatore2D::Tool() const { return m_Op ? m_Op->ToolData() : nullptr; }

TSceneNodeId TSimulatore2D::Group() const { return m_Op ? m_Op->DisplayGroup() : NoSceneNode; }

double TSimulatore2D::SimTolerance() const { return AppConfig().SimulTol; }

void TSimulatore2D::SetSpeed(int32_t speed)
{
    if (speed < 1 || speed > 9)
        return;
    m_Speed = speed;
    m_Delay = kDelays[static_cast<size_t>(speed - 1)];
}

int32_t TSimulatore2D::GetTotalTime() const
{
    const double total = std::nearbyint(m_FeedSeconds + m_RapidSeconds);
    return static_cast<int32_t>(std::clamp(total, 0.0, 2147483647.0));
}

void TSimulatore2D::Wait(uint32_t ms)
{
    if (!m_Clock)
        return;
    const uint64_t start = m_Clock->TickMs();
    while (m_Clock->TickMs() - start < ms)
        PumpMessages();
}

void TSimulatore2D::PumpMessages()
{
    if (m_View)
        m_View->Repaint();
    if (m_Clock)
        m_Clock->ProcessMessages();
}

void TSimulatore2D::ShowCounter()
{
    ++m_Counter;
    if (m_Window)
        m_Window->SetSimStatus(LangText(LangKeys::String::SimMoveCounter) + std::to_string(m_Counter) + "/" +
                               std::to_string(m_TotalMoves));
}

void TSimulatore2D::ShowTimeText()
{
    if (m_View)
        m_View->ShowInfoText(LangText(LangKeys::String::SimMachiningTime) + SecondsToHMS(GetTotalTime()));
}

void TSimulatore2D::SetShowTool(bool show)
{
    m_ShowTool = show;
    if (const TDatiUtBase* tool = Tool())
        ToolSceneObjects().ShowSolid(*tool, show);
}

// --- Choosing and preparing --------------------------------------------------------------

void TSimulatore2D::SelectOperation(TSimOperation* operation)
{
    if (!operation)
        return;
    m_Op = operation;
    PrepareOperation();
    m_CurveIndex = 0;
    m_VertexIndex = 0;
    m_Echo = m_Window && m_Window->GCodeSimChecked();
    if (m_EchoWriter)
        m_EchoWriter->SetCurrentOperation(operation);
}

void TSimulatore2D::PrepareOperation()
{
    if (!m_Op)
        return;
    m_Prepared = true;
    m_LaserShown = false;
    const int32_t kind = m_Op->Kind();
    m_Lathe = kind == 7 || kind == 11;
    const bool widthKinds = kind == 1 || kind == 2 || kind == 3;
    if (m_Window) {
        m_Window->SetZGaugeVisible(!m_Lathe);
        m_Window->SetTrueWidthEnabled(widthKinds);
        m_Window->SetSolidSimEnabled(widthKinds);
    }
    UpdateSolidControls();
    m_TrueWidth = m_Window && m_Window->TrueWidthChecked();
    if (const TDatiUtBase* tool = Tool())
        ToolSceneObjects().CreateSolid(*tool, false);
    SetShowTool(m_Window && m_Window->ShowToolChecked());

    m_FeedSeconds = 0.0;
    m_RapidSeconds = 0.0;
    m_Finished = false;
    m_AtCurveStart = true;
    m_TotalMoves = 0;
    for (int32_t i = 0; i < m_Op->ToolpathCount(); ++i)
        m_TotalMoves += m_Op->Toolpath(i).VertexCount();
    m_Counter = -1;
    ShowCounter();

    m_LastZShown = NothingShown;
    ResetBounds();
    m_Last.Kind = 0;
    m_Last.EndPoint.Z = m_Op->ZRapid();
    if (m_View)
        m_View->ClearSceneGroup(Group());
    m_FeedStripOpen = false;
    m_LaserCreated = false;
    m_LaserNode = NoSceneNode;
    m_Dots.clear();
    if (m_Window && m_Window->SolidSimChecked())
        CreateSolid();
    if (m_Lathe)
        PrepareLathe();
}

// --- Play ----------------------------------------------------------------------------------

void TSimulatore2D::Play()
{
    if (m_InLoop)
        return;
    if (m_Op && !m_Finished) {
        m_InLoop = true;
        if (m_Lathe)
            LatheLoop();
        else
            MillLoop();
        m_InLoop = false;
    }
    m_Running = false;
    if (m_Window)
        m_Window->RestorePlayButtons();
}

bool TSimulatore2D::Pace(const TSimOperation* operation, int32_t vertexIndex)
{
    if (!StillRunning(operation))
        return false;
    if (m_Clock) {
        if (m_Delay > 1) {
            PumpMessages();
            m_Clock->Sleep(m_Delay);
        } else if (vertexIndex % 10 == 0) {
            PumpMessages();
        }
    }
    return StillRunning(operation);
}

void TSimulatore2D::CloseCurve()
{
    SimZMove(true, m_Op->ZRapid());
    if (m_Op->RetractOn())
        SimZMove(true, m_Op->RetractZ());
}

void TSimulatore2D::EndOfRun(bool showTime)
{
    m_Finished = true;
    m_Running = false;
    if (showTime)
        ShowTimeText();
    m_Counter = -1;
    m_FeedSeconds = 0.0;
    m_RapidSeconds = 0.0;
    if (!m_Bounds.Computed)
        ComputeBoundsCentre();
}

void TSimulatore2D::MillLoop()
{
    TSimOperation* const op = m_Op;
    m_Running = true;
    const bool laser = op->Kind() == kLaserEngraving;
    if (laser)
        CreateLaserDots();
    for (int32_t ci = std::max(m_CurveIndex, 0); ci < op->ToolpathCount(); ++ci) {
        m_CurveIndex = ci;
        m_Drilling = op->Toolpath(ci).Code > DrillCodeBase;
        if (laser) {
            AddLaserDots(op->Toolpath(ci));
            m_VertexIndex = 0;
            continue;
        }
        for (int32_t vi = std::max(m_VertexIndex, 0); vi < op->Toolpath(ci).VertexCount(); ++vi) {
            const TCurvaNci3d& curve = op->Toolpath(ci);
            const TAVertice3d v = curve.Vertices[static_cast<size_t>(vi)];
            m_VertexIndex = vi;
            if (vi == 0)
                m_AtCurveStart = true;
            if (m_Drilling) {
                SimDrillHole(v, curve.Code - DrillCodeBase, vi == 0 ? 0 : 1, m_Echo);
            } else if (v.Kind != 0) {
                SimArc(m_Last, v, m_Echo);
            } else if (vi == 0) {
                if (op->RetractOn()) {
                    SimZMove(true, op->RetractZ());
                    SimRapid(v, m_Echo, op->RetractZ());
                } else {
                    SimRapid(v, m_Echo, op->ZRapid());
                }
                SimZMove(true, op->ZRapid());
                SimZMove(false, v.EndPoint.Z);
            } else {
                SimLine(m_Last, v, m_Echo);
            }
            ShowCounter();
            // A stopped play goes on with the next vertex.
            m_VertexIndex = vi + 1;
            if (!Pace(op, vi))
                return;
        }
        if (m_Drilling && op->Toolpath(ci).VertexCount() > 0) {
            const TCurvaNci3d& curve = op->Toolpath(ci);
            SimDrillHole(curve.Vertices.back(), curve.Code - DrillCodeBase, 2, m_Echo);
        }
        CloseCurve();
        m_VertexIndex = 0;
    }
    EndOfRun(true);
}

void TSimulatore2D::LatheLoop()
{
    TSimOperation* const op = m_Op;
    m_Running = true;
    for (int32_t ci = std::max(m_CurveIndex, 0); ci < op->ToolpathCount(); ++ci) {
        m_CurveIndex = ci;
        for (int32_t vi = std::max(m_VertexIndex, 0); vi < op->Toolpath(ci).VertexCount(); ++vi) {
            const TAVertice3d v = op->Toolpath(ci).Vertices[static_cast<size_t>(vi)];
            m_VertexIndex = vi;
            if (vi == 0)
                m_AtCurveStart = true;
            if (v.Kind != 0) {
                SimLatheArc(m_Last, v);
            } else if (vi == 0) {
                if (m_FirstPointPending) {
                    m_FirstPointPending = false;
                    // The first rapid starts at the home point, as in the
                    // whole-path display.
                    m_Last = TAVertice3d::CreateAt({op->LatheHomeZ(), op->LatheHomeX(), 0.0});
                    SimLatheRapid(v);
                }
            } else if (v.Attribute == LatheRapidAttribute) {
                SimLatheRapid(v);
            } else {
                SimLatheLine(m_Last, v);
            }
            ShowCounter();
            m_VertexIndex = vi + 1;
            if (!Pace(op, vi))
                return;
        }
        m_VertexIndex = 0;
    }
    SimLatheRapid(TAVertice3d::CreateAt({op->LatheHomeZ(), op->LatheHomeX(), 0.0}));
    EndOfRun(false);
}

// --- Step ------------------------------------------------------------------------------------

void TSimulatore2D::StepMove()
{
    if (m_InLoop || !m_Op || m_Finished || m_CurveIndex < 0 || m_CurveIndex >= m_Op->ToolpathCount())
        return;
    TSimOperation* const op = m_Op;
    const int32_t count = op->ToolpathCount();
    const bool lastCurve = m_CurveIndex == count - 1;
    if (m_Lathe && m_LastCurve) {
        // The step after the lathe toolpath's last vertex: back home.
        SimLatheRapid(TAVertice3d::CreateAt({op->LatheHomeZ(), op->LatheHomeX(), 0.0}));
        m_Finished = true;
        return;
    }
    const TCurvaNci3d& curve = op->Toolpath(m_CurveIndex);
    const int32_t n = curve.VertexCount();
    m_Drilling = curve.Code > DrillCodeBase;
    const bool laser = op->Kind() == kLaserEngraving;
    if (n == 0 || laser) {
        if (laser) {
            if (!m_LaserCreated)
                CreateLaserDots();
            AddLaserDots(curve);
        }
        m_VertexIndex = 0;
        m_AtCurveStart = true;
        if (lastCurve) {
            m_Finished = true;
            ShowTimeText();
        } else {
            ++m_CurveIndex;
        }
        return;
    }
    m_VertexIndex = std::clamp(m_VertexIndex, 0, n - 1);
    const int32_t vi = m_VertexIndex;
    const TAVertice3d v = curve.Vertices[static_cast<size_t>(vi)];
    if (m_Drilling) {
        SimDrillHole(v, curve.Code - DrillCodeBase, vi == 0 ? 0 : 1, m_Echo);
    } else if (v.Kind != 0) {
        if (m_Lathe)
            SimLatheArc(m_Last, v);
        else
            SimArc(m_Last, v, m_Echo);
    } else if (vi == 0) {
        if (m_Lathe) {
            if (m_FirstPointPending) {
                m_FirstPointPending = false;
                m_Last = TAVertice3d::CreateAt({op->LatheHomeZ(), op->LatheHomeX(), 0.0});
                SimLatheRapid(v);
            }
        } else {
            if (m_AtCurveStart) {
                if (op->RetractOn())
                    SimRapid(v, m_Echo, op->RetractZ());
                SimRapid(v, m_Echo, op->ZRapid());
            }
            SimZMove(false, v.EndPoint.Z);
        }
    } else if (m_Lathe) {
        if (v.Attribute == LatheRapidAttribute)
            SimLatheRapid(v);
        else
            SimLatheLine(m_Last, v);
    } else {
        SimLine(m_Last, v, m_Echo);
    }
    if (!m_AtCurveStart)
        ShowCounter();

    if (vi < n - 1) {
        if (m_AtCurveStart) {
            m_AtCurveStart = false;
            if (m_Drilling || m_Lathe) {
                ++m_VertexIndex;
                ShowCounter();
            }
        } else {
            ++m_VertexIndex;
        }
    } else if (!lastCurve) {
        if (!m_Lathe)
            CloseCurve();
        m_VertexIndex = 0;
        m_AtCurveStart = true;
        ++m_CurveIndex;
    } else if (m_Lathe) {
        m_LastCurve = true;
    } else {
        m_Finished = true;
        CloseCurve();
        ShowTimeText();
    }
}

// --- Rewind, clear, finish -----------------------------------------------------------------------

void TSimulatore2D::Rewind()
{
    if (m_InLoop || !m_Op)
        return;
    if (m_Solid)
        m_Solid->SetQuality(m_Window ? m_Window->SolidQuality() : 4);
    ClearPath();
    m_CurveIndex = 0;
    m_VertexIndex = 0;
    m_TextLineIndex = 0;
    m_Finished = false;
    m_AtCurveStart = true;
    m_LaserShown = false;
    if (m_Window) {
        m_Window->MemoClear();
        for (int i = 0; i < 5; ++i)
            m_Window->MemoAdd(".....");
    }
    m_Counter = -1;
    ShowCounter();
    m_FeedSeconds = 0.0;
    m_RapidSeconds = 0.0;
    m_LaserCreated = false;
    m_LaserNode = NoSceneNode;
    m_Dots.clear();
    if (m_Lathe)
        PrepareLathe();
}

void TSimulatore2D::ClearPath()
{
    if (!m_Op)
        return;
    if (m_View)
        m_View->ClearSceneGroup(Group());
    m_LaserShown = false;
    m_FeedStripOpen = false;
}

void TSimulatore2D::ClearDrawings()
{
    m_Running = false;
    ClearPath();
    if (m_View && m_TextOp && m_Op != m_TextOp.get())
        m_View->ClearSceneGroup(m_TextOp->DisplayGroup());
    if (m_TextOp && m_TextMode)
        ToolSceneObjects().FreeSolid(m_TextOp->Tool());
    Finish();
    m_Bounds.Computed = false;
}

void TSimulatore2D::Finish()
{
    m_ShowTool = false;
    m_Echo = false;
    m_Running = false;
    m_Prepared = false;
    m_TextMode = false;
    if (const TDatiUtBase* tool = Tool())
        ToolSceneObjects().FreeSolid(*tool);
    FreeSolid();
}

void TSimulatore2D::ShowWholePath(TSimOperation* operation, bool force)
{
    if (!operation)
        return;
    if (!force && operation->Shown()) {
        operation->SetShown(false);
        if (m_View)
            m_View->ClearSceneGroup(operation->DisplayGroup());
        return;
    }
    operation->SetShown(true);
    m_Op = operation;
    const int32_t count = operation->ToolpathCount();
    if (count == 0)
        return;
    PrepareOperation();
    const bool echo = m_Echo;
    const bool trueWidth = m_TrueWidth;
    m_Echo = false;
    m_TrueWidth = false;
    const int32_t kind = operation->Kind();
    if (kind == kLaserEngraving)
        CreateLaserDots();
    for (int32_t ci = 0; ci < count && m_Op == operation; ++ci) {
        m_CurveIndex = ci;
        m_LastCurve = ci == count - 1;
        const TCurvaNci3d& curve = operation->Toolpath(ci);
        const int32_t n = curve.VertexCount();
        if (kind == kLaserEngraving) {
            AddLaserDots(curve);
        } else if (m_Lathe) {
            SimLatheCurve(curve);
        } else if (kind == kDrilling) {
            m_Drilling = true;
            for (const TAVertice3d& v : curve.Vertices)
                SimDrillHole(v, 0, 0, false);
        } else if (n >= 2) {
            m_Drilling = false;
            const TAVertice3d& first = curve.Vertices.front();
            if (operation->RetractOn())
                SimRapid(first, false, operation->RetractZ());
            SimRapid(first, false, operation->ZRapid());
            SimZMove(false, first.EndPoint.Z);
            for (int32_t vi = 1; vi < n; ++vi) {
                const TAVertice3d& v = curve.Vertices[static_cast<size_t>(vi)];
                if (v.Kind != 0)
                    SimArc(m_Last, v, false);
                else
                    SimLine(m_Last, v, false);
            }
            if (operation->RetractOn())
                SimRapid(curve.Vertices.back(), false, operation->RetractZ());
            else
                SimZMove(true, operation->ZRapid());
        }
    }
    ComputeBoundsCentre();
    m_Echo = echo;
    m_TrueWidth = trueWidth;
    Finish();
}

// --- Machine marker --------------------------------------------------------------------------------

const TDatiUtBase& TSimulatore2D::MarkerTool() const { return *m_MarkerTool; }

void TSimulatore2D::ShowMachineMarker()
{
    m_Prepared = true;
    m_TextMode = true;
    m_Lathe = false;
    m_FeedSeconds = 0.0;
    m_RapidSeconds = 0.0;
    m_Finished = false;
    m_AtCurveStart = true;
    m_Counter = -1;
    ShowCounter();
    m_LastZShown = NothingShown;
    ToolSceneObjects().CreateMarker(*m_MarkerTool);
    ResetBounds();
}

void TSimulatore2D::HideMachineMarker()
{
    m_Prepared = false;
    ToolSceneObjects().FreeMarker(*m_MarkerTool);
}

void TSimulatore2D::MoveMarker(double x, double y, double z) { ToolSceneObjects().MoveMarker(*m_MarkerTool, x, y, z); }

// --- Drawing helpers --------------------------------------------------------------------------------

void TSimulatore2D::PlaceTool(double x, double y, double z)
{
    if (!m_ShowTool)
        return;
    if (const TDatiUtBase* tool = Tool())
        ToolSceneObjects().MoveSolid(*tool, x, y, z);
}

void TSimulatore2D::PlaceLatheTool(const TVector3D& p) { PlaceTool(p.X + m_LatheDx, p.Y + m_LatheDy, p.Z); }

void TSimulatore2D::AddStrip(uint32_t color, int32_t width, std::vector<TVector3D> nodes)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return;
    TSceneLines lines;
    lines.Color = SceneColorFromWinColor(color);
    lines.LineWidth = static_cast<float>(width);
    lines.Nodes = std::move(nodes);
    scene->AddLines(Group(), lines);
}

void TSimulatore2D::FeedTo(const TVector3D& p)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return;
    if (m_FeedStripOpen) {
        scene->AppendLines(m_FeedStrip, {p});
        return;
    }
    const TAppConfig& config = AppConfig();
    TSceneLines lines;
    lines.Color = SceneColorFromWinColor(config.ToolPathG1);
    lines.LineWidth = static_cast<float>(config.ToolPathG1LW);
    lines.Nodes = {m_Last.EndPoint, p};
    m_FeedStrip = scene->AddLines(Group(), lines);
    m_FeedStripOpen = m_FeedStrip != NoSceneNode;
}

void TSimulatore2D::AddTime(double length, bool rapid)
{
    double feed = 0.0;
    if (rapid)
        feed = GCodeWriter().RapidFeedrate;
    else if (const TDatiUtBase* tool = Tool())
        feed = tool->Feed;
    // No feed rate, no time (rather than a division by zero).
    if (!(feed > 0.0) || !std::isfinite(length))
        return;
    const double seconds = length / feed * 60.0;
    (rapid ? m_RapidSeconds : m_FeedSeconds) += seconds;
}

// --- Single moves -------------------------------------------------------------------------------------

void TSimulatore2D::SimRapid(const TAVertice3d& vertex, bool echo, double z)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    ExtendBounds(vertex);
    AddStrip(config.ToolPathG0, config.ToolPathG0LW, {m_Last.EndPoint, At(vertex.EndPoint, z)});
    m_FeedStripOpen = false;
    PlaceTool(vertex.EndPoint.X, vertex.EndPoint.Y, z);
    AddTime(Distance(m_Last.EndPoint, vertex.EndPoint), true);
    if (echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->XYMove(vertex, true));
    m_Last = vertex;
    m_Last.EndPoint.Z = z;
}

void TSimulatore2D::SimZMove(bool rapid, double z)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    ExtendZBounds(z);
    const TVector3D target = At(m_Last.EndPoint, z);
    if (!m_Drilling && m_Echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->ZMove(z, rapid));
    UpdateZGauge(rapid, z);
    if (rapid) {
        AddStrip(config.ToolPathG0, config.ToolPathG0LW, {m_Last.EndPoint, target});
        m_FeedStripOpen = false;
    } else {
        FeedTo(target);
    }
    PlaceTool(target.X, target.Y, target.Z);
    AddTime(std::abs(z - m_Last.EndPoint.Z), rapid);
    m_Last.EndPoint.Z = z;
}

void TSimulatore2D::SimLine(const TAVertice3d& from, const TAVertice3d& vertex, bool echo)
{
    if (!m_Op)
        return;
    ExtendBounds(vertex);
    UpdateZGauge(false, vertex.EndPoint.Z);
    FeedTo(vertex.EndPoint);
    const double w = m_Op->CompOffset();
    if (m_TrueWidth && !IsSameValue(w, 0.0))
        LineWidth(from.EndPoint, vertex.EndPoint, w);
    if (m_Solid && !IsSameValue(w, 0.0))
        m_Solid->CutMove(from.EndPoint, vertex.EndPoint, false);
    PlaceTool(vertex.EndPoint.X, vertex.EndPoint.Y, vertex.EndPoint.Z);
    AddTime(Distance(from.EndPoint, vertex.EndPoint), false);
    if (echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->XYZMove(vertex));
    m_Last = vertex;
}

void TSimulatore2D::LineWidth(const TVector3D& from, const TVector3D& to, double w)
{
    TSceneBuilder* scene = ViewServices().Scene;
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    const double l = std::hypot(dx, dy);
    // A move without a direction in the plane (a plunge) has no band.
    if (!scene || l <= 0.0)
        return;
    const TVector2D n{dy / l * w, -dx / l * w}; // right of the move
    const double z = to.Z;
    const double tol = SimTolerance();
    TScenePolygon polygon;
    polygon.Color = SceneColorFromWinColor(AppConfig().ToolPathG1);
    std::vector<TVector3D>& p = polygon.Nodes;
    p.push_back({from.X + n.X, from.Y + n.Y, z});
    p.push_back({to.X + n.X, to.Y + n.Y, z});
    AppendArc(p, XY(to), {to.X + n.X, to.Y + n.Y}, {to.X - n.X, to.Y - n.Y}, false, z, tol);
    p.push_back({from.X - n.X, from.Y - n.Y, z});
    AppendArc(p, XY(from), {from.X - n.X, from.Y - n.Y}, {from.X + n.X, from.Y + n.Y}, false, z, tol);
    // The last arc point closes onto the first.
    if (p.size() > 1)
        p.pop_back();
    scene->AddPolygon(Group(), polygon);
}

void TSimulatore2D::SimArc(const TAVertice3d& from, const TAVertice3d& vertex, bool echo)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    ExtendBounds(vertex);
    const bool clockwise = vertex.Kind == -1;
    const TVector2D start = XY(from.EndPoint);
    const TVector2D end = XY(vertex.EndPoint);
    const TVector2D centre = XY(vertex.Centre);
    const double cz = vertex.Centre.Z;
    std::vector<TVector3D> nodes{At(from.EndPoint, cz)};
    AppendArc(nodes, centre, start, end, clockwise, cz, SimTolerance());
    AddStrip(config.ToolPathG2, config.ToolPathG2LW, std::move(nodes));
    m_FeedStripOpen = false;
    const double w = m_Op->CompOffset();
    if (m_TrueWidth && !IsSameValue(w, 0.0))
        ArcWidth(start, end, centre, clockwise, cz, w);
    if (m_Solid && !IsSameValue(w, 0.0))
        m_Solid->CutArc(from, vertex);
    PlaceTool(vertex.EndPoint.X, vertex.EndPoint.Y, vertex.EndPoint.Z);
    const TAArco arc = TAArco::CreateFrom3D(from.EndPoint, vertex.EndPoint, vertex.Centre, vertex.Kind == 1, 0);
    AddTime(arc.Radius() * arc.SweepAngle(), false);
    if (echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->XYMove(vertex, false));
    m_Last = vertex;
}

void TSimulatore2D::ArcWidth(const TVector2D& start, const TVector2D& end, const TVector2D& centre, bool clockwise,
                             double z, double w)
{
    TSceneBuilder* scene = ViewServices().Scene;
    const double ra = std::hypot(start.X - centre.X, start.Y - centre.Y);
    const double re = std::hypot(end.X - centre.X, end.Y - centre.Y);
    if (!scene || ra <= 0.0 || re <= 0.0)
        return;
    const TVector2D u0{(start.X - centre.X) / ra, (start.Y - centre.Y) / ra};
    const TVector2D u1{(end.X - centre.X) / re, (end.Y - centre.Y) / re};
    auto on = [&](const TVector2D& u, double r) { return TVector2D{centre.X + u.X * r, centre.Y + u.Y * r}; };
    const double tol = SimTolerance();
    TScenePolygon polygon;
    polygon.Color = SceneColorFromWinColor(AppConfig().ToolPathG1);
    std::vector<TVector3D>& p = polygon.Nodes;
    const double outer = ra + w;
    const double inner = ra - w;
    const double hi = std::max(outer, inner);
    const double lo = std::min(outer, inner);
    if (hi > 0.0) {
        const TVector2D s = on(u0, hi);
        p.push_back({s.X, s.Y, z});
        AppendArc(p, centre, s, on(u1, hi), clockwise, z, tol);
    } else {
        p.push_back({centre.X, centre.Y, z});
    }
    // Round ends bulge the way of travel: the same turning sense as the arc.
    const TVector2D outerEnd = hi > 0.0 ? on(u1, hi) : centre;
    const TVector2D innerEnd = lo > 0.0 ? on(u1, lo) : centre;
    AppendArc(p, end, outerEnd, innerEnd, clockwise, z, tol);
    if (lo > 0.0)
        AppendArc(p, centre, on(u1, lo), on(u0, lo), !clockwise, z, tol);
    const TVector2D innerStart = lo > 0.0 ? on(u0, lo) : centre;
    const TVector2D outerStart = hi > 0.0 ? on(u0, hi) : centre;
    AppendArc(p, start, innerStart, outerStart, clockwise, z, tol);
    if (p.size() > 1)
        p.pop_back();
    scene->AddPolygon(Group(), polygon);
}

void TSimulatore2D::SimDrillHole(const TAVertice3d& vertex, int32_t cycle, int32_t phase, bool echo)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    const double zr = m_Op->ZRapid();
    if (phase == 0)
        ExtendZBounds(zr);
    else
        ExtendBounds(vertex);
    AddStrip(config.ToolPathG0, config.ToolPathG0LW, {At(m_Last.EndPoint, zr), At(vertex.EndPoint, zr)});
    m_FeedStripOpen = false;
    const double w = m_Op->CompOffset();
    TSceneBuilder* scene = ViewServices().Scene;
    if (scene && !IsSameValue(w, 0.0)) {
        const double z = vertex.EndPoint.Z;
        const TVector2D c = XY(vertex.EndPoint);
        const double r = std::abs(w);
        std::vector<TVector3D> ring{{c.X + r, c.Y, z}};
        AppendArc(ring, c, {c.X + r, c.Y}, {c.X - r, c.Y}, false, z, SimTolerance());
        AppendArc(ring, c, {c.X - r, c.Y}, {c.X + r, c.Y}, false, z, SimTolerance());
        const TSceneColor color = SceneColorFromWinColor(config.ToolPathG1);
        if (m_TrueWidth) {
            TScenePolygon disc;
            disc.Color = color;
            disc.Nodes.assign(ring.begin(), ring.end() - 1);
            scene->AddPolygon(Group(), disc);
        } else {
            TSceneLines circle;
            circle.Color = color;
            circle.LineWidth = static_cast<float>(config.ToolPathG1LW);
            circle.Nodes = std::move(ring);
            scene->AddLines(Group(), circle);
        }
    }
    AddTime(Distance(m_Last.EndPoint, vertex.EndPoint), true);
    m_Last = vertex;
    SimZMove(false, vertex.EndPoint.Z);
    SimZMove(true, zr);
    if (echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->CycleTemplateLine(cycle, phase, vertex));
}

// --- Laser dots -------------------------------------------------------------------------------------

void TSimulatore2D::CreateLaserDots()
{
    if (!m_Op || m_LaserCreated)
        return;
    m_Dots.clear();
    m_LaserNode = NoSceneNode;
    m_LaserShown = true;
    m_LaserCreated = true;
    m_FirstPointPending = true;
}

void TSimulatore2D::AddLaserDots(const TCurvaNci3d& curve)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!m_Op || !scene)
        return;
    for (const TAVertice3d& v : curve.Vertices)
        m_Dots.push_back({v.EndPoint.X, v.EndPoint.Y, 0.0});
    // One points object holds every dot: it is made anew with the new ones.
    if (m_LaserNode != NoSceneNode)
        scene->RemoveNode(m_LaserNode);
    const TDatiUtBase* tool = Tool();
    const double diameter = tool ? tool->Diameter : 0.0;
    const double pixel = m_View ? m_View->PixelSize() : 0.0;
    TScenePoints points;
    points.Positions = m_Dots;
    points.Colors = {SceneColorFromWinColor(AppConfig().ToolPathG1, 1.0f)};
    points.PointSize = pixel > 0.0 ? static_cast<float>(std::clamp(diameter / pixel, 1.0, 256.0)) : 1.0f;
    points.Smooth = true;
    m_LaserNode = scene->AddPoints(Group(), points);
    m_LaserShown = true;
    if (m_View && m_LaserNode != NoSceneNode)
        m_View->ShowLaserDots(m_LaserNode, diameter);
}

// --- Lathe ---------------------------------------------------------------------------------------------

void TSimulatore2D::PrepareLathe()
{
    if (!m_Op)
        return;
    m_FirstPointPending = true;
    m_LastCurve = false;
    m_LatheDx = m_LatheDy = 0.0;
    if (const TDatiUtBase* tool = Tool(); tool && !(tool->LatheFlags & kLatheGeometryVariant)) {
        m_LatheDx = tool->Diameter;
        m_LatheDy = tool->ToolType == 0 ? tool->Diameter : -tool->Diameter;
    }
    PlaceTool(m_Op->LatheHomeZ(), m_Op->LatheHomeX(), 0.0);
    SetShowTool(m_ShowTool);
}

void TSimulatore2D::SimLatheRapid(const TAVertice3d& vertex)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    ExtendBounds(vertex);
    AddStrip(config.ToolPathG0, config.ToolPathG0LW, {m_Last.EndPoint, At(vertex.EndPoint, 0.0)});
    m_FeedStripOpen = false;
    PlaceLatheTool(vertex.EndPoint);
    AddTime(Distance(m_Last.EndPoint, vertex.EndPoint), true);
    if (m_Echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->LatheMove(vertex, true));
    m_Last = vertex;
}

void TSimulatore2D::SimLatheLine(const TAVertice3d& from, const TAVertice3d& vertex)
{
    if (!m_Op)
        return;
    FeedTo(vertex.EndPoint);
    PlaceLatheTool(vertex.EndPoint);
    AddTime(Distance(from.EndPoint, vertex.EndPoint), false);
    if (m_Echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->LatheMove(vertex, false));
    m_Last = vertex;
}

void TSimulatore2D::SimLatheArc(const TAVertice3d& from, const TAVertice3d& vertex)
{
    if (!m_Op)
        return;
    const TAppConfig& config = AppConfig();
    ExtendBounds(vertex);
    const double cz = vertex.Centre.Z;
    std::vector<TVector3D> nodes{At(from.EndPoint, cz)};
    AppendArc(nodes, XY(vertex.Centre), XY(from.EndPoint), XY(vertex.EndPoint), vertex.Kind == -1, cz,
              SimTolerance());
    AddStrip(config.ToolPathG2, config.ToolPathG2LW, std::move(nodes));
    m_FeedStripOpen = false;
    PlaceLatheTool(vertex.EndPoint);
    const TAArco arc = TAArco::CreateFrom3D(from.EndPoint, vertex.EndPoint, vertex.Centre, vertex.Kind == 1, 0);
    AddTime(arc.Radius() * arc.SweepAngle(), false);
    if (m_Echo && m_EchoWriter)
        EchoGCode(m_EchoWriter->XYMove(vertex, false));
    m_Last = vertex;
}

void TSimulatore2D::SimLatheCurve(const TCurvaNci3d& curve)
{
    if (!m_Op)
        return;
    for (const TAVertice3d& v : curve.Vertices) {
        if (m_FirstPointPending) {
            m_FirstPointPending = false;
            m_Last = TAVertice3d::CreateAt({m_Op->LatheHomeZ(), m_Op->LatheHomeX(), 0.0});
            SimLatheRapid(v);
        } else if (v.Kind != 0) {
            SimLatheArc(m_Last, v);
        } else if (v.Attribute == LatheRapidAttribute) {
            SimLatheRapid(v);
        } else {
            SimLatheLine(m_Last, v);
        }
    }
}

// --- Z gauge and echo ----------------------------------------------------------------------------------

void TSimulatore2D::UpdateZGauge(bool rapid, double z)
{
    if (z == m_LastZShown)
        return;
    m_LastZShown = z;
    if (!m_Window)
        return;
    m_Window->SetCurrentZText(FormatCoord(z));
    const TRulerScale ruler = m_Window->ZRuler();
    if (ruler.ScalaTextIncrement == 0.0)
        return;
    const float p = static_cast<float>(z * ruler.ScalaFactor * 10.0 / ruler.ScalaTextIncrement + ruler.ScalaOffset);
    if (!std::isfinite(p))
        return;
    const auto height = static_cast<int32_t>(std::clamp(std::nearbyint(static_cast<double>(p)), -1e9, 1e9));
    const TAppConfig& config = AppConfig();
    m_Window->SetActiveZ(rapid ? config.ToolPathG0 : config.ToolPathG1, height);
    double& lowest = rapid ? m_LowestRapid : m_LowestFeed;
    if (z < lowest) {
        lowest = z;
        if (rapid)
            m_Window->SetLowestRapid(height - 1, FormatCoord(z));
        else
            m_Window->SetLowestFeed(height - 1, FormatCoord(z));
    }
}

void TSimulatore2D::EchoGCode(const std::string& line)
{
    if (!m_Echo || line.empty() || !m_Window)
        return;
    const int32_t n = m_Window->MemoLineCount();
    int32_t index = n;
    if (n <= 5) {
        m_Window->MemoAdd(line);
    } else {
        for (int32_t i = 1; i <= 5; ++i)
            m_Window->MemoSetLine(i - 1, m_Window->MemoLine(i));
        m_Window->MemoSetLine(5, line);
        index = 5;
    }
    m_Window->MemoSelectLine(index);
}

// --- Extents ---------------------------------------------------------------------------------------------

void TSimulatore2D::ExtendZBounds(double z)
{
    const auto f = static_cast<float>(z);
    m_Bounds.MinZ = std::min(m_Bounds.MinZ, f);
    m_Bounds.MaxZ = std::max(m_Bounds.MaxZ, f);
}

void TSimulatore2D::ExtendBounds(const TAVertice3d& vertex)
{
    ExtendZBounds(vertex.EndPoint.Z);
    TABox box;
    if (vertex.Kind == 0) {
        box.AddPoint(XY(vertex.EndPoint));
    } else {
        TAVertice v2 = TAVertice::CreateFull(vertex.Kind, XY(vertex.EndPoint), XY(vertex.Centre), 0);
        ExtendBoxBySegment(XY(m_Last.EndPoint), v2, box);
    }
    if (!box.Valid)
        return;
    m_Bounds.MinX = std::min(m_Bounds.MinX, static_cast<float>(box.MinX));
    m_Bounds.MinY = std::min(m_Bounds.MinY, static_cast<float>(box.MinY));
    m_Bounds.MaxX = std::max(m_Bounds.MaxX, static_cast<float>(box.MaxX));
    m_Bounds.MaxY = std::max(m_Bounds.MaxY, static_cast<float>(box.MaxY));
}

void TSimulatore2D::ResetBounds() { m_Bounds = TSimBounds{}; }

void TSimulatore2D::ComputeBoundsCentre()
{
    m_Bounds.CentreX = (m_Bounds.MinX + m_Bounds.MaxX) / 2.0f;
    m_Bounds.CentreY = (m_Bounds.MinY + m_Bounds.MaxY) / 2.0f;
    m_Bounds.CentreZ = (m_Bounds.MinZ + m_Bounds.MaxZ) / 2.0f;
    m_Bounds.SizeX = m_Bounds.MaxX - m_Bounds.MinX;
    m_Bounds.SizeY = m_Bounds.MaxY - m_Bounds.MinY;
    m_Bounds.SizeZ = m_Bounds.MaxZ - m_Bounds.MinZ;
    m_Bounds.Computed = true;
}

void TSimulatore2D::ComputePathBounds()
{
    if (!m_Op)
        return;
    ResetBounds();
    const TAVertice3d saved = m_Last;
    for (int32_t ci = 0; ci < m_Op->ToolpathCount(); ++ci)
        for (const TAVertice3d& v : m_Op->Toolpath(ci).Vertices) {
            ExtendBounds(v);
            m_Last = v;
        }
    m_Last = saved;
    m_Bounds.MaxZ = std::max(m_Bounds.MaxZ, static_cast<float>(m_Op->ZTop()));
    ComputeBoundsCentre();
}
