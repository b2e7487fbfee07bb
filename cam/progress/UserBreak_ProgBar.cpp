#include "cam/progress/UserBreak_ProgBar.h"

#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "core/settings/Language.h"

#include <chrono>
#include <cmath>

TUserBreak_ProgBar::TUserBreak_ProgBar()
    : m_Clock([] {
          return std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now().time_since_epoch())
              .count();
      })
{
}

void TUserBreak_ProgBar::Bind(TWorkMonitor* monitor, bool showPercent)
{
    m_Monitor = monitor;
    m_ShowPercent = showPercent;
}

TWorkMonitor& TUserBreak_ProgBar::Monitor() const
{
    return m_Monitor ? *m_Monitor : WorkMonitor();
}

void TUserBreak_ProgBar::StartProgress()
{
    TWorkMonitor& monitor = Monitor();
    m_Running = true;
    m_BreakReported = false;
    m_Position = 0;
    monitor.ShowStatusMessage(LangText(LangKeys::String::ProgressRunning));
    monitor.SetCoordinateReadoutVisible(false);
    monitor.ShowProgress(0, false);
    m_LastTick = m_NowTick = m_Clock();
    monitor.ProcessMessages();
}

bool TUserBreak_ProgBar::Refresh()
{
    const int64_t now = m_Clock();
    m_NowTick = now;
    if (now - m_LastTick <= 1000)
        return false;
    m_LastTick = now;
    return true;
}

bool TUserBreak_ProgBar::TestBreak()
{
    TWorkMonitor& monitor = Monitor();
    monitor.ProcessMessages();
    if (!monitor.UserBreakRequested())
        return false;
    // The flag stays set until the next run: the box once, then true
    // without asking again.
    if (!m_BreakReported) {
        m_BreakReported = true;
        UserNotifier().ShowMessage(EMessageKind::Warning,
                                   LangText(LangKeys::String::UserBreak1) + "\r\n" +
                                       LangText(LangKeys::String::UserBreak2) + "\r\n" +
                                       LangText(LangKeys::String::UserBreak3),
                                   LangText(LangKeys::String::ErrorCaption));
    }
    return true;
}

bool TUserBreak_ProgBar::StepProgress(int32_t total, int32_t done)
{
    if (!Refresh())
        return false;
    const double fraction = total > 0 ? static_cast<double>(done) / total : 1.0;
    Monitor().ShowProgress(static_cast<int>(std::nearbyint(fraction * 100.0)), m_ShowPercent);
    return TestBreak();
}

bool TUserBreak_ProgBar::StepIndeterminate()
{
    if (!Refresh())
        return false;
    const int32_t next = m_Position + 20;
    m_Position = next > 100 ? m_Position - 80 : next;
    Monitor().ShowProgress(m_Position, m_ShowPercent);
    return TestBreak();
}

void TUserBreak_ProgBar::EndProgress()
{
    if (!m_Running)
        return;
    m_Running = false;
    TWorkMonitor& monitor = Monitor();
    monitor.ShowStatusMessage(std::string());
    monitor.HideProgress();
    monitor.SetCoordinateReadoutVisible(true);
}
