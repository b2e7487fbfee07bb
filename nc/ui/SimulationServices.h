#pragma once
// The program's one 2D simulator with what it runs on: the scene view's
// services, the system clock, the G-code writer's echo and the scene's
// stock-removal mesh. Made at
// start-up after the view, freed before it; while alive it is the machine
// link's position marker and the G-code editor's text simulation (with the
// view's limits box).

#include "nc/sim/EditorTextSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/sim/WriterSimEcho.h"
#include "nc/ui/SimSceneView.h"
#include "nc/ui/StockMeshView.h"

#include <functional>

class TQVScene;

class TSimulationServices {
public:
    explicit TSimulationServices(TQVScene& scene);
    ~TSimulationServices();
    TSimulationServices(const TSimulationServices&) = delete;
    TSimulationServices& operator=(const TSimulationServices&) = delete;

    TSimulatore2D& Simulator() { return m_Simulator; }
    // The view's services as the simulator uses them (its info line).
    TSimView& View() { return m_View; }

private:
    void ShowLimitsBox(bool show, const TSimBounds& bounds);

    TQVScene& m_Scene;
    TQVSceneSimView m_View;
    TOsgStockView m_StockView;
    TSystemSimClock m_Clock;
    TWriterSimEcho m_Echo;
    TSimulatore2D m_Simulator;
    TEditorTextSimulation m_EditorSimulation;
    TEditorSimulation* m_PreviousEditorSimulation = nullptr;
    TMachineMarker* m_PreviousMarker = nullptr;
};
