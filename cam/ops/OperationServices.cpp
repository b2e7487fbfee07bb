#include "cam/ops/OperationServices.h"

#include "core/settings/AppConfig.h"

namespace {

class TDefaultPostInfo : public TPostInfo {
public:
    bool OmitZ() const override { return false; }
    bool LPJPost() const override { return false; }
    double HomeX() const override { return 0.0; }
    double HomeZ() const override { return 0.0; }
    std::string PostName() const override { return AppConfig().Pst; }
};

TDefaultPostInfo g_DefaultPostInfo;
TPostInfo* g_PostInfo = nullptr;
TOperationsShell* g_Shell = nullptr;

} // namespace

const TPostInfo& PostInfo()
{
    return g_PostInfo ? *g_PostInfo : g_DefaultPostInfo;
}

TPostInfo* SetPostInfo(TPostInfo* info)
{
    TPostInfo* previous = g_PostInfo;
    g_PostInfo = info;
    return previous;
}

TOperationsShell* OperationsShell()
{
    return g_Shell;
}

TOperationsShell* SetOperationsShell(TOperationsShell* shell)
{
    TOperationsShell* previous = g_Shell;
    g_Shell = shell;
    return previous;
}
