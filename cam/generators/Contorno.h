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

class TCiclo : public TBaseOperazione2D {
public:
    using TBaseOperazione2D::TBaseOperazione2D;

    // One drill curve per chain, in order; always true.
    bool Calculate();
};
