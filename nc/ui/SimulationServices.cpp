#include "nc/ui/SimulationServices.h"

#include "cad/scene/QVScene.h"
#include "cam/ops/OpManager.h"
#include "nc/sim/OperationSim.h"
#include "nc/writer/ScriveGCode.h"

#include <utility>

TSimulationServices::TSimulationServices(TQVScene& scene)
    : m_Scene(scene), m_View(scene), m_StockView(scene), m_Echo(GCodeWriter())
{
    m_PreviousHideToolpaths = std::exchange(m_Scene.Hooks.HideToolpaths, [this] { HideToolpaths(OpManager(), m_View); });
    m_Simulator.SetView(&m_View);
    m_Simulator.SetClock(&m_Clock);
    m_Simulator.SetEcho(&m_Echo);
    m_Simulator.SetStockView(&m_StockView);
    m_PreviousMarker = SetMachineMarker(&m_Simulator);
}

TSimulationServices::~TSimulationServices()
{
    m_Scene.Hooks.HideToolpaths = std::move(m_PreviousHideToolpaths);
    if (MachineMarker() == &m_Simulator)
        SetMachineMarker(m_PreviousMarker);
}
