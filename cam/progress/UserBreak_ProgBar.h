#pragma once
// TUserBreak_ProgBar: progress and the user's stop request for the long
// computations of the machining side (toolpath generators, G-code writing),
// which run on the main thread.
//
// - Bind chooses the work monitor (core/WorkMonitor.h: the main window's
//   status bar, progress bar and coordinate read-out) and the bar's caption
//   kind; StartProgress, any number of steps, EndProgress.
// - A step costs one clock read unless more than a second has passed since
//   the last refresh; callers may step for every element. A refresh moves
//   the bar, handles pending window events (the Esc key among them) and
//   reads the monitor's stop flag.
// - The first refresh of a run that finds the flag set shows the warning
//   box and returns true; later refreshes of that run return true without a
//   box. The flag belongs to the application, which clears it before each
//   run; StartProgress forgets a break of an earlier run.
// - The caller decides what a true result means.
// Main thread only.

#include <cstdint>
#include <functional>

class TWorkMonitor;

class TUserBreak_ProgBar {
public:
    using TClock = std::function<int64_t()>; // milliseconds

    TUserBreak_ProgBar();
    virtual ~TUserBreak_ProgBar() = default;
    TUserBreak_ProgBar(const TUserBreak_ProgBar&) = delete;
    TUserBreak_ProgBar& operator=(const TUserBreak_ProgBar&) = delete;

    // The monitor to report to (null: the one in force at each call) and
    // the bar's caption: a percentage, or the bar's plain one.
    void Bind(TWorkMonitor* monitor, bool showPercent);
    // Replaces the steady clock (tests).
    void SetClock(TClock clock) { m_Clock = std::move(clock); }

    // Status text "445", coordinate read-out hidden, bar at 0 with an empty
    // caption, pending events handled once.
    void StartProgress();
    // True (stop) when a refresh finds the stop request set. The bar shows
    // done / total in percent, halves rounded to even; a total of 0 or less
    // shows a full bar.
    bool StepProgress(int32_t total, int32_t done);
    // For work of unknown length: the bar runs 20, 40, 60, 80, 100, 20, ...
    // one step a refresh. True as StepProgress.
    bool StepIndeterminate();
    // Status text cleared, bar hidden, coordinate read-out shown again.
    void EndProgress();

    // A refresh of this run has reported the stop request.
    bool BreakReported() const { return m_BreakReported; }
    int32_t Position() const { return m_Position; }
    bool ShowPercent() const { return m_ShowPercent; }

private:
    TWorkMonitor& Monitor() const;
    // The one-second throttle: true when this call refreshes.
    bool Refresh();
    bool TestBreak();

    TClock m_Clock;
    TWorkMonitor* m_Monitor = nullptr;
    int32_t m_Position = 0;
    int64_t m_LastTick = 0;
    int64_t m_NowTick = 0;
    bool m_ShowPercent = true;
    bool m_Running = false;
    bool m_BreakReported = false;
};
