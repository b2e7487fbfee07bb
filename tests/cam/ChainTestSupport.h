#pragma once
// A chain context for tests (cam/chains/ChainContext.h): fields in place of
// the tool window, installed for its lifetime; and a chain module reset.

#include "cam/chains/Catena.h"
#include "cam/chains/ChainContext.h"

#include <optional>
#include <string>
#include <vector>

namespace kbtest {

class TFakeChainContext final : public TChainContext {
public:
    TFakeChainContext() : m_Previous(SetChainContext(this)) { ResetChainModule(); }
    ~TFakeChainContext() override
    {
        SetChainContext(m_Previous);
        ResetChainModule();
    }
    TFakeChainContext(const TFakeChainContext&) = delete;
    TFakeChainContext& operator=(const TFakeChainContext&) = delete;

    int CompensationSide() const override { return Side; }
    double CompensationOffset() const override { return Offset; }
    std::optional<int> CurrentOperationKind() const override { return Kind; }
    bool LayerByLayer() const override { return ByLayer; }
    void SetChainInfo(const std::string& text) override { Infos.push_back(text); }
    double SceneScale() const override { return Scale; }
    TListaCatene* EditedOperationChains() const override { return Edited; }

    int Side = 0;
    double Offset = 0.0;
    std::optional<int> Kind;
    bool ByLayer = false;
    double Scale = 1.0;
    TListaCatene* Edited = nullptr; // the chains of the operation being edited
    std::vector<std::string> Infos; // every label text in order

private:
    TChainContext* m_Previous;
};

} // namespace kbtest
