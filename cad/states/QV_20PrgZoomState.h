#pragma once
// The zoom window, run nested over a suspendable command (or as a command
// of its own while idle):
//
//   TQV_20PrgZoomArea     wraps the parameter it is given (none, or the
//                         suspended command's) into a window parameter with
//                         after-state TQV_20PrgEndZoomArea; next the window
//                         rubber band (cad/QV_52WinPrgSelect.h).
//   TQV_20PrgEndZoomArea  takes the rubber band off the overlay and, when
//                         the window's two corners are not the same point
//                         (system tolerance), fits the view to the window;
//                         frees the window parameter; next the idle class,
//                         which resumes the suspended command.
//
// The zoom states are not suspendable: no zoom or pan nests inside them.

#include "cad/program/QV_00State.h"

#include <string_view>

// The base of the zoom and pan states: not suspendable.
class TQV_20PrgZoomState : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_20PrgZoomState";
    TQV_20PrgZoomState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_20PrgZoomArea : public TQV_20PrgZoomState {
public:
    static constexpr std::string_view ClassName = "TQV_20PrgZoomArea";
    TQV_20PrgZoomArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_20PrgEndZoomArea : public TQV_20PrgZoomState {
public:
    static constexpr std::string_view ClassName = "TQV_20PrgEndZoomArea";
    TQV_20PrgEndZoomArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};
