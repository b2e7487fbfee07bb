#pragma once
// The window selection: the objects that lie entirely inside a window that
// the user opens with two clicks. One state class runs twice around the
// window rubber band (cad/QV_52WinPrgSelect.h):
//
// 1. Given the TQV_51WinSelectObjectsParam, it wraps it into a window
//    parameter whose after-state is TQV_51WinSelectObjects and names
//    TQV_52WinPrgSelect.
// 2. Given that window parameter back, it takes the selection parameter out
//    of it, stores the window (drawing units and viewer pixels, both
//    normalised, so the window may be opened from any corner), frees the
//    window parameter, fills the selection with CollectObjectsInWindow
//    (objects on active and visible layers, enabled and pickable, whose
//    screen rectangle lies inside the window), calls OnSelected once with no
//    object, clears the overlay and hands the selection to its after-state
//    (without one the operation ends).
//
// Any other parameter, or a window parameter that does not carry a window
// selection parameter, raises ECADSysException
// "TQV_51WinSelectObjects: Invalid param". A cancel while the window is open
// frees the window parameter and with it the selection parameter it
// carries.

#include "cad/program/QV_00State.h"

#include <string_view>

class TQV_51WinSelectObjects : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_51WinSelectObjects";
    TQV_51WinSelectObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);

private:
    void TakeWindow(TCADStateClass& nextState);
};
