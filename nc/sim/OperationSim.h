#pragma once
// The operation manager's operations as the simulator and the echo's
// writer read them, and the list-wide toolpath display on OpManager().
//
// SimOperation(op) gives the operation's reader, made on first use and
// freed with the operation (through the operations' freed hook), so the
// simulator lets go of an operation deleted or cleared with the list.

#include "nc/sim/SimSeams.h"
#include "nc/writer/WriterOperation.h"

class TOpManager;
class TOpManagerField;
class TSimulatore2D;

class TOpFieldSimOperation final : public TSimOperation, public TWriterOperation {
public:
    explicit TOpFieldSimOperation(TOpManagerField& op) : m_Op(op) {}

    const TOpManagerField& Operation() const { return m_Op; }

    int32_t Kind() const override;
    int32_t ToolpathCount() const override;
    const TCurvaNci3d& Toolpath(int32_t i) const override;
    TSceneNodeId DisplayGroup() const override;
    bool Shown() const override;
    void SetShown(bool shown) override;
    bool SwitchedOff() const override;
    const TDatiUtBase* ToolData() const override;
    double ZRapid() const override;
    bool RetractOn() const override;
    double RetractZ() const override;
    double ZTop() const override;
    double CompOffset() const override;
    double LatheHomeX() const override;
    double LatheHomeZ() const override;
    double ZDepth() const override;
    double ZStep() const override;
    double StockXY() const override;
    std::string Comment() const override;

private:
    TOpManagerField& m_Op;
};

TOpFieldSimOperation& SimOperation(TOpManagerField& op);

// ToggleToolpaths and HideToolpaths (nc/sim/ToolpathDisplay.h) over the
// manager's list, with its ShowToggle.
void ToggleToolpaths(TOpManager& manager, TSimulatore2D& simulator);
void HideToolpaths(TOpManager& manager, TSimView& view);
