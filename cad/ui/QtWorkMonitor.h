#pragma once
// Long work's view of the application window (core/WorkMonitor.h) on Qt:
// the main window's status-bar message item and progress bar, the busy
// cursor, and the pending events.
//
// - ShowStatusMessage and ShowProgress repaint their item at once, so that
//   they show during a loop that does not return to the event loop.
// - SetBusy nests: the wait cursor is set by the outermost section and
//   taken back when it ends; the destructor takes back what is left.
// - ProcessMessages handles pending events except user input (keys, mouse,
//   the window's close request), which Qt keeps for later: repaints and
//   timers run, yet no command can start and no window close while the
//   work is in a half-done state.
// - The user-break flag belongs to the application: RequestUserBreak sets
//   it, ClearUserBreak clears it before each new run.
// Either widget may be null or go away first; the monitor then leaves it.

#include "core/model/WorkMonitor.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>

class TQtWorkMonitor final : public TWorkMonitor {
public:
    TQtWorkMonitor(QLabel* message, QProgressBar* progress);
    ~TQtWorkMonitor() override;
    TQtWorkMonitor(const TQtWorkMonitor&) = delete;
    TQtWorkMonitor& operator=(const TQtWorkMonitor&) = delete;

    void ShowStatusMessage(const std::string& text) override;
    void ShowProgress(int position, bool showPercent) override;
    void HideProgress() override;
    void SetBusy(bool busy) override;
    void ProcessMessages() override;
    void ProcessPendingPaint() override;
    bool UserBreakRequested() const override { return m_UserBreak; }

    void RequestUserBreak() { m_UserBreak = true; }
    void ClearUserBreak() { m_UserBreak = false; }
    // Depth of nested busy sections.
    int BusyDepth() const { return m_BusyDepth; }

private:
    QPointer<QLabel> m_Message;
    QPointer<QProgressBar> m_Progress;
    int m_BusyDepth = 0;
    bool m_UserBreak = false;
};
