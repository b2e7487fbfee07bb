#include "nc/sim/EditorTextSim.h"

#include "nc/gcode/LeggeGCode.h"
#include "nc/sim/Simulatore2D.h"

void TEditorTextSimulation::PrepareText() { m_Sim.PrepareText(); }
void TEditorTextSimulation::PlayText(TGCodeTextSource& text) { m_Sim.PlayText(text); }
void TEditorTextSimulation::StepText(TGCodeTextSource& text) { m_Sim.StepText(text); }
void TEditorTextSimulation::RewindText(TGCodeTextSource& text) { m_Sim.RewindText(text); }
void TEditorTextSimulation::Stop() { m_Sim.Stop(); }
bool TEditorTextSimulation::Running() const { return m_Sim.Running(); }
void TEditorTextSimulation::ClearSimulating() { m_Sim.ClearPrepared(); }

void TEditorTextSimulation::Wait(int milliseconds)
{
    if (milliseconds > 0)
        m_Sim.Wait(static_cast<uint32_t>(milliseconds));
}

void TEditorTextSimulation::EndTextSimulation() { m_Sim.EndTextSimulation(); }
void TEditorTextSimulation::SetSpeed(int speedIndex) { m_Sim.SetSpeed(speedIndex); }
int TEditorTextSimulation::SpeedIndex() const { return m_Sim.Speed(); }
bool TEditorTextSimulation::ExtentsComputed() const { return m_Sim.Bounds().Computed; }

TSimulationExtents TEditorTextSimulation::Extents() const
{
    const TSimBounds& b = m_Sim.Bounds();
    return {b.MinX, b.MaxX, b.MinY, b.MaxY, b.MinZ, b.MaxZ};
}

int TEditorTextSimulation::ReaderDialect() const { return m_Sim.ReaderOfCurrentPost().Dialect; }

void TEditorTextSimulation::ShowLimitsBox(bool show)
{
    if (m_LimitsBox)
        m_LimitsBox(show, m_Sim.Bounds());
}
