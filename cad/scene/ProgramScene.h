#pragma once
// The scene view that a state's program is bound to. The interaction
// program knows its view only as a TCADViewPort; the view and selection
// states need the overlay, the picking and the camera of the scene view.

#include "cad/program/QV_00CADProg.h"
#include "cad/scene/QVScene.h"

// The program's view as the scene view; null when the program has no view
// or another kind of view (then the states leave the view alone).
inline TQVScene* ProgramScene(const TQV_00CADProg& prg)
{
    return dynamic_cast<TQVScene*>(prg.ViewPort());
}
