#pragma once
// Long work's view of the application window (core/WorkMonitor.h) on Qt:
// the main window's status-bar message item, progress bar and coordinate
// read-out, the busy cursor, and the pending events.
//
// - ShowStatusMessage and ShowProgress repaint their item at once, so that
//   they show during a loop that does not return to the event loop.
// - SetBusy nests: the wait cursor is set by the outermost section and
//   taken back when it ends; the destructor takes back what is left.
// - ProcessMessages handles the pending events with user input (keys,
//   mouse, wheel, touch, the window's close box) kept from every window:
//   repaints and timers run, yet no command can start and no window close
//   while the work is in a half-done state. The one input it reads is the
//   Esc key, which requests the user break; the input met is discarded.
// - The user-break flag belongs to the application: RequestUserBreak sets
//   it, ClearUserBreak clears it before each new run.
// Any widget may be null or go away first; the monitor then leaves it.

#include "core/model/WorkMonitor.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QProgressBar>

class TQtWorkMonitor final : public QObject, public TWorkMonitor {
public:
    TQtWorkMonitor(QLabel* message, QProgressBar* progress, QLabel* coordinates = nullptr);
    ~TQtWorkMonitor() override;
    TQtWorkMonitor(const TQtWorkMonitor&) = delete;
    TQtWorkMonitor& operator=(const TQtWorkMonitor&) = delete;

    void ShowStatusMessage(const std::string& text) override;
    void ShowProgress(int position, bool showPercent) override;
    void HideProgress() override;
    void SetCoordinateReadoutVisible(bool visible) override;
    void SetBusy(bool busy) override;
    void ProcessMessages() override;
    void ProcessPendingPaint() override;
    bool UserBreakRequested() const override { return m_UserBreak; }

    void RequestUserBreak() { m_UserBreak = true; }
    void ClearUserBreak() { m_UserBreak = false; }
    // Depth of nested busy sections.
    int BusyDepth() const { return m_BusyDepth; }

protected:
    // The input gate of ProcessMessages, installed on the application
    // while it runs.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> m_Message;
    QPointer<QProgressBar> m_Progress;
    QPointer<QLabel> m_Coordinates;
    int m_BusyDepth = 0;
    int m_GateDepth = 0;
    bool m_UserBreak = false;
};
