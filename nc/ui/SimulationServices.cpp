#include "nc/ui/SimulationServices.h"

#include "cad/scene/QVScene.h"
#include "nc/writer/ScriveGCode.h"

#include <utility>

TSimulationServices::TSimulationServices(TQVScene& scene)
    : m_Scene(scene), m_View(scene), m_StockView(scene), m_Echo(GCodeWriter()),
      m_EditorSimulation(m_Simulator, [this](bool show, const TSimBounds& b) { ShowLimitsBox(show, b); })
{
    m_Simulator.SetView(&m_View);
    m_Simulator.SetClock(&m_Clock);
    m_Simulator.SetEcho(&m_Echo);
    m_Simulator.SetStockView(&m_StockView);
    m_PreviousMarker = SetMachineMarker(&m_Simulator);
    m_PreviousEditorSimulation = EditorSimulation();
    SetEditorSimulation(&m_EditorSimulation);
}

TSimulationServices::~TSimulationServices()
{
    if (MachineMarker() == &m_Simulator)
        SetMachineMarker(m_PreviousMarker);
    if (EditorSimulation() == &m_EditorSimulation)
        SetEditorSimulation(m_PreviousEditorSimulation);
}

void TSimulationServices::ShowLimitsBox(bool show, const TSimBounds& b)
{
    if (show)
        m_Scene.SetLimitsBox(TBox3D{{b.MinX, b.MinY, b.MinZ, 1}, {b.MaxX, b.MaxY, b.MaxZ, 1}});
    m_Scene.SetLimitsBoxVisible(show);
}
