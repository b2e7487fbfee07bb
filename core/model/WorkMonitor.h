#pragma once
// What long work on the main thread needs of the application window: the
// status-bar message, a progress bar (in place of the coordinate read-out),
// the busy cursor, a chance to handle pending window events, and the user's
// stop request. The application
// installs its implementation at start-up and tests a recording fake; until
// one is installed, work runs silently and is never asked to stop. Main
// thread only.

#include <string>

class TWorkMonitor {
public:
    virtual ~TWorkMonitor() = default;

    // Shows the text in the status bar; an empty text clears it.
    virtual void ShowStatusMessage(const std::string& text) = 0;
    // Shows the progress bar at position 0..100; showPercent chooses a
    // percentage caption over the bar's plain one.
    virtual void ShowProgress(int position, bool showPercent) = 0;
    virtual void HideProgress() = 0;
    // Hides the status bar's coordinate read-out while a progress bar runs
    // in its place, and shows it again.
    virtual void SetCoordinateReadoutVisible(bool) {}
    // Busy cursor on or off. Sections nest: the cursor comes back when the
    // outermost one ends.
    virtual void SetBusy(bool busy) = 0;
    // Handles the window events that are waiting (repaints, the Esc key).
    // Event handlers may run inside: callers guard against re-entry.
    virtual void ProcessMessages() = 0;
    // Handles the waiting repaints and timers, never user input (no key,
    // mouse or close request), so that no command starts meanwhile. What a
    // scene rebuild calls before it draws the objects. A monitor without
    // windows does nothing.
    virtual void ProcessPendingPaint() {}
    // True once the user asked to stop the running work. The flag belongs
    // to the application, which clears it before each new run.
    virtual bool UserBreakRequested() const = 0;
};

// The monitor in force: the installed one, or one that does nothing and
// never asks to stop.
TWorkMonitor& WorkMonitor();

// Installs the monitor that every later call goes to and returns the one
// installed before (null for the silent default). Not owned: it must stay
// alive until it is replaced. Null restores the default.
TWorkMonitor* SetWorkMonitor(TWorkMonitor* monitor);

// The busy cursor for the lifetime of the object.
class TBusySection {
public:
    explicit TBusySection(TWorkMonitor& monitor) : m_Monitor(monitor) { m_Monitor.SetBusy(true); }
    ~TBusySection() { m_Monitor.SetBusy(false); }
    TBusySection(const TBusySection&) = delete;
    TBusySection& operator=(const TBusySection&) = delete;

private:
    TWorkMonitor& m_Monitor;
};
