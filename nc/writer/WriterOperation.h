#pragma once
// What the G-code writer reads of an operation: its tool record, the few
// parameters the template variables show, its comment and its toolpath
// curves. The operation class implements it; the writer holds a reference
// for the duration of one call and never owns an operation.

#include <cstdint>
#include <string>

class TDatiUtBase;
class TCurvaNci3d;

class TWriterOperation {
public:
    virtual ~TWriterOperation() = default;

    // The operation's tool record; null for a kind without one.
    virtual const TDatiUtBase* ToolData() const = 0;
    virtual double ZRapid() const = 0;   // rapid plane height
    virtual double ZTop() const = 0;     // stock top; where exploded drilling starts
    virtual double ZDepth() const = 0;   // final depth (the feed plane of laser cuts)
    virtual double ZStep() const = 0;    // depth step; the peck increment of drilling
    virtual double StockXY() const = 0;  // side allowance; the thread pitch of tapping
    virtual bool RetractOn() const = 0;  // retract to RetractZ between curves
    virtual double RetractZ() const = 0;
    virtual std::string Comment() const = 0;
    virtual int32_t ToolpathCount() const = 0;
    // Curve i, 0 <= i < ToolpathCount().
    virtual const TCurvaNci3d& Toolpath(int32_t i) const = 0;
};
