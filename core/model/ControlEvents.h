#pragma once
// The shared edit-event guard. Code that fills edit fields of a panel or
// of the tool window switches it off, so that the fields' change handlers
// ignore the change it makes, and on again afterwards; a change handler
// acts only while it is on. On at start. Main thread only.

bool ControlEventsEnabled();
void SetControlEventsEnabled(bool enabled);

// Switches the guard off for its lifetime and on again at its end (also
// when the filling throws).
class TControlEventsOff {
public:
    TControlEventsOff() { SetControlEventsEnabled(false); }
    ~TControlEventsOff() { SetControlEventsEnabled(true); }
    TControlEventsOff(const TControlEventsOff&) = delete;
    TControlEventsOff& operator=(const TControlEventsOff&) = delete;
};
