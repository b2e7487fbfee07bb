#include "nc/sim/ToolpathDisplay.h"

#include "nc/sim/Simulatore2D.h"

void ToggleToolpaths(std::span<TSimOperation* const> operations, bool& showToggle, TSimulatore2D& simulator)
{
    for (TSimOperation* operation : operations) {
        if (!operation)
            continue;
        operation->SetShown(showToggle || operation->SwitchedOff());
        simulator.ShowWholePath(operation, false);
    }
    showToggle = !showToggle;
}

void HideToolpaths(std::span<TSimOperation* const> operations, TSimView& view)
{
    for (TSimOperation* operation : operations) {
        if (!operation)
            continue;
        view.ClearSceneGroup(operation->DisplayGroup());
        operation->SetShown(false);
    }
}
