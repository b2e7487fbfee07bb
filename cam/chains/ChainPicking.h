#pragma once
// Interactive chain picking: the after-states of the CAD selection states
// that turn the picked entities into chains of the target list that the
// selection parameter carries (TQV_50SelectObjectsParam::CallerList). Each
// does its whole work in its constructor and hands control back to the
// idle state; the selection parameter is freed there.
//
// The selection parameter's option says what the chains are for:
// kPickForOperation adds them to the operation's chain list,
// kPickForPointsAlong replaces the chain of the points-along command and
// places its points (preview), kPickFor3DBoundary makes the boundary chain
// of a 3D operation. Main thread only.

#include "cad/program/QV_00State.h"
#include "cam/chains/EntXCatena.h"

#include <cstdint>
#include <string_view>

enum : uint8_t { kPickForOperation = 0, kPickForPointsAlong = 1, kPickFor3DBoundary = 2 };

// What the drilling-point pick takes (kChainPoints, or kChainArcs and
// kChainCircles combined) and the arc filter of the operation; the tool
// window sets both before it starts a point pick.
extern uint8_t ChainPointFlags;
extern TDrillFilter ChainPointFilter;

// One chain through one picked entity (the last selected): the entity and
// the entities that continue it end to end. An entity that cannot be
// chained shows the warning "463" and changes nothing.
class TChainInCatena : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TChainInCatena";
    TChainInCatena(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// Chains from all selected entities (those that cannot be chained are
// dropped without a word).
class TSelezioneInCatena : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TSelezioneInCatena";
    TSelezioneInCatena(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// One drilling-point chain from the selected entities on visible layers:
// points, or the centres of arcs and circles (ChainPointFlags,
// ChainPointFilter); appended only when it holds a point.
class TSelezionePuntiInCatena : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TSelezionePuntiInCatena";
    TSelezionePuntiInCatena(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};
