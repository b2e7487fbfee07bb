#pragma once
// What the G-code editor and the simulator of its text see of each other.
// The editor implements the text source (its current tab); the simulator
// implements the simulation and is installed with SetEditorSimulation.
// Without one, the editor's simulation bar shows but its buttons move
// nothing. Main thread only.

#include <string>

// The text of the editor's current tab, line by line (lines 0-based, without
// their line ends), and the places the replay shows its progress.
class TGCodeTextSource {
public:
    virtual ~TGCodeTextSource() = default;
    virtual int LineCount() const = 0;
    virtual std::string LineText(int line) const = 0;
    // Selects the line from its first character over its length.
    virtual void SelectLine(int line) = 0;
    // Scrolls by whole lines, down when positive.
    virtual void ScrollLines(int lines) = 0;
    virtual int CaretLine() const = 0;
    virtual void MoveCaretToStart() = 0;
    virtual void Focus() = 0;
    // The current height in the bar's Z field.
    virtual void ShowCurrentZ(double z) = 0;
};

struct TSimulationExtents {
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinZ = 0, MaxZ = 0;
};

class TEditorSimulation {
public:
    virtual ~TEditorSimulation() = default;
    virtual void PrepareText() = 0;
    // Replays the text from the stored line; returns when the text ends or
    // Stop was pressed (events are processed meanwhile).
    virtual void PlayText(TGCodeTextSource& text) = 0;
    virtual void StepText(TGCodeTextSource& text) = 0;
    virtual void RewindText(TGCodeTextSource& text) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    // Clears the simulating state before the editor waits for a play to end.
    virtual void ClearSimulating() = 0;
    virtual void Wait(int milliseconds) = 0;
    virtual void EndTextSimulation() = 0;
    virtual void SetSpeed(int speedIndex) = 0;
    virtual int SpeedIndex() const = 0;
    virtual bool ExtentsComputed() const = 0;
    virtual TSimulationExtents Extents() const = 0;
    // The reader's dialect: 0 ISO ... 4 LASER, 5 lathe.
    virtual int ReaderDialect() const = 0;
    // The view's box around the extents.
    virtual void ShowLimitsBox(bool show) = 0;
};

// The installed simulation (null: none). Not owned.
TEditorSimulation* EditorSimulation();
void SetEditorSimulation(TEditorSimulation* simulation);
