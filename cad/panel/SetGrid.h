#pragma once
// TSetGrid: the one switch of grid snap. Whoever turns grid snap on or off
// (the main window's menu items, the grid dialog's check box) goes through
// SetSnapToGrid, which keeps every place that shows the state in step: the
// interaction program's Snap2Grid, the settings' run-time flag, the main
// window's menu items and button (ShellServices().ShowSnapToGrid) and the
// grid dialog's check box (OnShowSnapToGrid). Main thread only.

#include <functional>

class TQV_00CADProg;

class TSetGrid {
public:
    // Nothing when value is the state applied last (false at start).
    // Otherwise applies it everywhere; while it does, SnapSetterReady() is
    // false, so that a check box that reports its change back can tell the
    // setter's own change from the user's.
    void SetSnapToGrid(bool value);

    bool SnapToGridState() const { return m_SnapToGridState; }
    bool SnapSetterReady() const { return m_SnapSetterReady; }

    // The program whose Snap2Grid follows the switch; not owned, null for
    // none. Whoever binds it unbinds it before the program goes.
    void SetProgram(TQV_00CADProg* program) { m_Program = program; }
    TQV_00CADProg* Program() const { return m_Program; }

    // Shows the state in the grid dialog's check box; installed by the
    // dialog for its lifetime.
    std::function<void(bool on)> OnShowSnapToGrid;

private:
    TQV_00CADProg* m_Program = nullptr;
    bool m_SnapToGridState = false;
    bool m_SnapSetterReady = true;
};

// The program's grid setter.
TSetGrid& GridSetter();
