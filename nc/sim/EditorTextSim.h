#pragma once
// The G-code editor's simulation bar on the 2D simulator: what the editor
// asks (TEditorSimulation) done by the simulator's text methods. The limits
// box is the view's: the owner passes how to show it.

#include "nc/editor/TextSimulation.h"

#include <functional>

class TSimulatore2D;
struct TSimBounds;

class TEditorTextSimulation final : public TEditorSimulation {
public:
    // Shows (true, with the extents) or hides (false) the view's box.
    using TLimitsBox = std::function<void(bool show, const TSimBounds& bounds)>;

    explicit TEditorTextSimulation(TSimulatore2D& simulator, TLimitsBox limitsBox = {})
        : m_Sim(simulator), m_LimitsBox(std::move(limitsBox))
    {
    }

    void PrepareText() override;
    void PlayText(TGCodeTextSource& text) override;
    void StepText(TGCodeTextSource& text) override;
    void RewindText(TGCodeTextSource& text) override;
    void Stop() override;
    bool Running() const override;
    void ClearSimulating() override;
    void Wait(int milliseconds) override;
    void EndTextSimulation() override;
    void SetSpeed(int speedIndex) override;
    int SpeedIndex() const override;
    bool ExtentsComputed() const override;
    TSimulationExtents Extents() const override;
    int ReaderDialect() const override;
    void ShowLimitsBox(bool show) override;

private:
    TSimulatore2D& m_Sim;
    TLimitsBox m_LimitsBox;
};
