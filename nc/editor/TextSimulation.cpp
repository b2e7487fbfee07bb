#include "nc/editor/TextSimulation.h"

namespace {
TEditorSimulation* g_Simulation = nullptr;
}

TEditorSimulation* EditorSimulation()
{
    return g_Simulation;
}

void SetEditorSimulation(TEditorSimulation* simulation)
{
    g_Simulation = simulation;
}
