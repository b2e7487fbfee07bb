// The 2D simulator's side of the stock-removal model: making and freeing
// it, the solid run, the solid controls and the stock-size panel's apply.

#include "nc/sim/Simulatore2D.h"

#include "cam/toolpath/ToolpathCurves.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/solid/NcVisu.h"

#include <algorithm>

namespace {

// The fastest solid run shows the stock every this many moves.
constexpr int32_t kSolidRepaintMoves = 100;

} // namespace

void TSimulatore2D::CreateSolid()
{
    if (!m_Op)
        return;
    if (!m_Bounds.Computed)
        ComputePathBounds();
    // No vertex at all leaves the extents inside out: no stock to show.
    if (!(m_Bounds.MinX <= m_Bounds.MaxX && m_Bounds.MinY <= m_Bounds.MaxY && m_Bounds.MinZ <= m_Bounds.MaxZ))
        return;
    FreeSolid();
    const int32_t quality = m_Window ? m_Window->SolidQuality() : 4;
    m_Solid = std::make_unique<TNcVisu>(TVector3D{m_Bounds.MinX, m_Bounds.MinY, m_Bounds.MinZ},
                                        TVector3D{m_Bounds.MaxX, m_Bounds.MaxY, m_Bounds.MaxZ}, quality, m_Op,
                                        m_StockView);
    if (m_Window)
        m_Solid->SetPanel(m_Window->CreateStockPanel(*m_Solid));
    if (TStockPanel* panel = m_Solid->Panel())
        panel->ShowStock();
    if (m_StockView)
        m_StockView->Repaint();
}

void TSimulatore2D::FreeSolid() { m_Solid.reset(); }

void TSimulatore2D::UpdateSolidControls()
{
    if (!m_Window)
        return;
    const bool on = m_Window->SolidSimChecked();
    m_Window->SetSolidControlsEnabled(on);
    if (on)
        m_Window->MatSizeClick();
}

void TSimulatore2D::SetSolidQuality(int32_t quality)
{
    if (m_Solid)
        m_Solid->SetQuality(quality);
}

bool TSimulatore2D::ApplyStock(const std::array<std::string, 6>& texts)
{
    if (!m_Solid || !m_Solid->ApplyStockTexts(texts))
        return false;
    ClearPath();
    return true;
}

void TSimulatore2D::RunSolid()
{
    if (!m_Solid || m_InLoop)
        return;
    if (m_Op && !m_Finished) {
        m_InLoop = true;
        SolidLoop();
        m_InLoop = false;
    }
    m_Running = false;
    if (m_Window)
        m_Window->RestorePlayButtons();
}

bool TSimulatore2D::PaceSolid(const TSimOperation* operation, int32_t moves)
{
    if (!StillRunning(operation) || !m_Solid)
        return false;
    if (m_Delay <= 1) {
        if (moves % kSolidRepaintMoves == 0) {
            if (m_StockView)
                m_StockView->Repaint();
            if (m_Clock)
                m_Clock->ProcessMessages();
        }
    } else if (m_Clock) {
        m_Clock->ProcessMessages();
    }
    // The window's events may have stopped the run or freed the model.
    return StillRunning(operation) && m_Solid;
}

void TSimulatore2D::SolidLoop()
{
    TSimOperation* const op = m_Op;
    m_Running = true;
    m_Solid->BindOperation(op); // its tool may have changed
    int32_t moves = 0;
    for (int32_t ci = std::max(m_CurveIndex, 0); ci < op->ToolpathCount(); ++ci) {
        m_CurveIndex = ci;
        const TCurvaNci3d& curve = op->Toolpath(ci);
        m_Drilling = curve.Code > DrillCodeBase;
        for (int32_t vi = std::max(m_VertexIndex, 0); vi < curve.VertexCount(); ++vi) {
            const TAVertice3d v = curve.Vertices[static_cast<size_t>(vi)];
            m_VertexIndex = vi;
            ++moves;
            if (m_Drilling) {
                SimDrillHole(v, curve.Code - DrillCodeBase, vi == 0 ? 0 : 1, m_Echo);
            } else if (v.Kind != 0) {
                m_Solid->CutArc(m_Last, v);
            } else if (vi == 0) {
                const TVector3D above{v.EndPoint.X, v.EndPoint.Y, op->ZRapid()};
                m_Solid->CutMove(m_Last.EndPoint, above, true);
                m_Solid->CutMove(above, v.EndPoint, false);
            } else {
                m_Solid->CutMove(m_Last.EndPoint, v.EndPoint, false);
            }
            ShowCounter();
            // A stopped run goes on with the next vertex, from this one.
            m_Last = v;
            m_VertexIndex = vi + 1;
            if (!PaceSolid(op, moves))
                return;
        }
        if (m_Drilling && curve.VertexCount() > 0)
            SimDrillHole(curve.Vertices.back(), curve.Code - DrillCodeBase, 2, m_Echo);
        m_Last.EndPoint.Z = op->ZRapid();
        m_VertexIndex = 0;
    }
    EndOfRun(true);
    if (m_StockView)
        m_StockView->Repaint();
}
