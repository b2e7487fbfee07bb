#include "cam/chains/ChainContext.h"

namespace {

class TDefaultChainContext final : public TChainContext {
public:
    int CompensationSide() const override { return 0; }
    double CompensationOffset() const override { return 0.0; }
    std::optional<int> CurrentOperationKind() const override { return std::nullopt; }
    bool LayerByLayer() const override { return false; }
    void SetChainInfo(const std::string&) override {}
    double SceneScale() const override { return 1.0; }
};

TChainContext* g_Context = nullptr;

} // namespace

TChainContext& ChainContext()
{
    static TDefaultChainContext fallback;
    return g_Context ? *g_Context : fallback;
}

TChainContext* SetChainContext(TChainContext* context)
{
    TChainContext* previous = g_Context;
    g_Context = context;
    return previous;
}
