#pragma once
// What chains read of the tool window and the view: the compensation side
// and offset of the chain page, the current operation's kind and its
// layer-by-layer option, the chain list of the operation being edited, the
// chain info label, and the camera's scale. The
// tool window installs its implementation at start-up, tests a fake; until
// then chains work without a current operation (no info text), on all
// layers at once, with compensation off and a scale of 1. Main thread only.

#include <optional>
#include <string>

class TListaCatene;

class TChainContext {
public:
    virtual ~TChainContext() = default;

    // The item index of the compensation list: 0 off, 1 outside, 2 inside.
    virtual int CompensationSide() const = 0;
    // The number in the compensation-offset field (half the tool
    // diameter); 0 when the field holds no number.
    virtual double CompensationOffset() const = 0;
    // The kind of the current operation (3: drilling); none without one.
    virtual std::optional<int> CurrentOperationKind() const = 0;
    // The current operation builds its chains one layer at a time.
    virtual bool LayerByLayer() const = 0;
    // The chains of the operation being edited in the tool window; null
    // when none is (and by default).
    virtual TListaCatene* EditedOperationChains() const { return nullptr; }
    // Replaces the text of the chain info label.
    virtual void SetChainInfo(const std::string& text) = 0;
    // The camera's scene scale (larger shows the drawing larger).
    virtual double SceneScale() const = 0;
};

// The context in force: the installed one or the default described above.
TChainContext& ChainContext();
// Installs the context (not owned; null restores the default) and returns
// the one installed before.
TChainContext* SetChainContext(TChainContext* context);
