#pragma once
// TContorno: the contour, and the letters whose chains come from text
// labels. Without compensation the chains themselves are cut; otherwise
// every chain is offset pass by pass (clipping library or the own offset
// engine), or all chains together as nested areas (outlines and islands).
// TCiclo: the drilling cycle, one curve of hole positions per point chain.

#include "cam/generators/Generator2D.h"

class TContorno : public TBaseOperazione2D {
public:
    using TBaseOperazione2D::TBaseOperazione2D;

    // Appends the toolpath to the operation. False, with nothing appended,
    // when the own offset engine was broken off by the user or the nested
    // mode met an open chain (after its message); the other modes run to
    // their end whatever the break request says.
    bool Calculate();

private:
    void AlongChains();
    bool PerChain();
    bool Nested();
    void EmitClosedOffsets(const TACurva& chain, TListaDiCurve3d& pass);
    void EmitEngineOffsets(TListaDiCurve3d& pass);
    void EmitOpenOffsets(TListaDiCurve3d& pass);
};

// The tag of the main curve of a chain's closed offsets (low byte), by the
// number of passes of the chain.
int16_t MainCurveTag(int32_t passCount);
// The cutter-compensation code of that main curve: G41 or G42 by the
// compensation side, swapped when the chains run reversed; 0 when the
// operation does not emit them.
int16_t ClosedOffsetCompCode(const TParametriOperazione& p, bool directionReversed);
// The document keeps no compensation code with the toolpath curves: a
// contour read back gets them again from what it keeps (parameters, chain
// direction, curve tags), by the rule the contour generator sets them with.
void RestoreCompCodes(TOpManagerField& op);

class TCiclo : public TBaseOperazione2D {
public:
    using TBaseOperazione2D::TBaseOperazione2D;

    // One drill curve per chain, in order; always true.
    bool Calculate();
};
