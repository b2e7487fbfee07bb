#pragma once
// The simulation's G-code echo through the G-code writer's move blocks:
// the echoed lines are the ones the writer would write for the move, with
// its modal memory and block numbers.

#include "nc/sim/SimSeams.h"

class TScriveGCode;

class TWriterSimEcho final : public TSimEcho {
public:
    explicit TWriterSimEcho(TScriveGCode& writer) : m_Writer(writer) {}

    // The writer reads the operation's tool and feeds (when the operation
    // is one the writer can read).
    void SetCurrentOperation(const TSimOperation* operation) override;
    std::string XYMove(const TAVertice3d& vertex, bool rapid) override;
    std::string XYZMove(const TAVertice3d& vertex) override;
    std::string ZMove(double z, bool rapid) override;
    // A rapid is written as one whatever the vertex's attribute says.
    std::string LatheMove(const TAVertice3d& vertex, bool rapid) override;
    std::string CycleTemplateLine(int32_t cycle, int32_t phase, const TAVertice3d& vertex) override;

private:
    TScriveGCode& m_Writer;
};
