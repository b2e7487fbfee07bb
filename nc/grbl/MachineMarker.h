#pragma once
// The machine-position marker in the view: the seam between the machine
// link and the 2D simulator, which shows the marker with the tool of its
// machine-marker operation. The machine-control window shows and hides it
// and moves it to each reported position while the operator tracks the
// position. Until a marker is installed, nothing is shown.

class TMachineMarker {
public:
    virtual ~TMachineMarker() = default;
    // Prepares the simulator for the marker and makes the marker.
    virtual void ShowMachineMarker() = 0;
    // Frees the marker and leaves the simulator unprepared.
    virtual void HideMachineMarker() = 0;
    // Places the marker at the machine's position (drawing units).
    virtual void MoveMarker(double x, double y, double z) = 0;
    // The simulator holds a prepared operation (the marker's, or a replay).
    virtual bool OperationPrepared() const = 0;
};

// The installed marker, or null.
TMachineMarker* MachineMarker();
// Installs marker (not owned; it must outlive its installation) and returns
// the one installed before. Null uninstalls.
TMachineMarker* SetMachineMarker(TMachineMarker* marker);
