#include "core/model/WorkMonitor.h"

namespace {

class TSilentWorkMonitor final : public TWorkMonitor {
public:
    void ShowStatusMessage(const std::string&) override {}
    void ShowProgress(int, bool) override {}
    void HideProgress() override {}
    void SetBusy(bool) override {}
    void ProcessMessages() override {}
    bool UserBreakRequested() const override { return false; }
};

TWorkMonitor* g_Monitor = nullptr;

} // namespace

TWorkMonitor& WorkMonitor()
{
    static TSilentWorkMonitor silent;
    return g_Monitor ? *g_Monitor : silent;
}

TWorkMonitor* SetWorkMonitor(TWorkMonitor* monitor)
{
    TWorkMonitor* previous = g_Monitor;
    g_Monitor = monitor;
    return previous;
}
