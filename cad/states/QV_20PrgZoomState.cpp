#include "cad/states/QV_20PrgZoomState.h"

#include "cad/scene/ProgramScene.h"
#include "cad/states/QV_52WinPrgSelect.h"
#include "core/geometry/Geometry.h"

TQV_20PrgZoomState::TQV_20PrgZoomState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    SetSuspendable(false);
}

TQV_20PrgZoomArea::TQV_20PrgZoomArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_20PrgZoomState(prg, std::move(param), nextState)
{
    // The suspended command's parameter rides along borrowed: the window
    // parameter never frees it.
    ReplaceParam(std::make_unique<TQV_52WinPrgSelectParam>(StateClassOf<TQV_20PrgEndZoomArea>(), TakeParam()));
    nextState = StateClassOf<TQV_52WinPrgSelect>();
}

TQV_20PrgEndZoomArea::TQV_20PrgEndZoomArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_20PrgZoomState(prg, std::move(param), nextState)
{
    auto* window = dynamic_cast<TQV_52WinPrgSelectParam*>(Param());
    HideWindowOverlay(Program(), window);
    if (window && !IsSamePoint2D(window->Corner(0), window->Corner(1))) {
        if (TQVScene* scene = ProgramScene(Program()))
            scene->ZoomToRubberBand();
    }
    ClearParam();
    nextState = Program().IdleClass();
}
