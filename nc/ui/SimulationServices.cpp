#include "nc/ui/SimulationServices.h"

#include "nc/writer/ScriveGCode.h"

TSimulationServices::TSimulationServices(TQVScene& scene) : m_View(scene), m_Echo(GCodeWriter())
{
    m_Simulator.SetView(&m_View);
    m_Simulator.SetClock(&m_Clock);
    m_Simulator.SetEcho(&m_Echo);
    m_PreviousMarker = SetMachineMarker(&m_Simulator);
}

TSimulationServices::~TSimulationServices()
{
    if (MachineMarker() == &m_Simulator)
        SetMachineMarker(m_PreviousMarker);
}
