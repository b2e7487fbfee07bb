#include "cad/states/QV_51WinSelectObjects.h"

#include "cad/scene/ProgramScene.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cad/states/QV_52WinPrgSelect.h"
#include "core/model/CollectObjectsInWindow.h"
#include "core/geometry/Geometry.h"
#include "core/model/GraphicObject.h"
#include "core/model/QV_01Cmp2D.h"

#include <algorithm>

namespace {

constexpr std::string_view ParamCheckName = "TQV_51WinSelectObjects";

TIntRect NormalizeIntRect(const TIntRect& r)
{
    return TIntRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                    std::max(r.Top, r.Bottom)};
}

} // namespace

TQV_51WinSelectObjects::TQV_51WinSelectObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (dynamic_cast<TQV_52WinPrgSelectParam*>(Param())) {
        TakeWindow(nextState);
        return;
    }
    CheckParam<TQV_51WinSelectObjectsParam>(ParamCheckName);
    ReplaceParam(std::make_unique<TQV_52WinPrgSelectParam>(StateClassOf<TQV_51WinSelectObjects>(), TakeParam()));
    nextState = StateClassOf<TQV_52WinPrgSelect>();
}

void TQV_51WinSelectObjects::TakeWindow(TCADStateClass& nextState)
{
    auto& window = *static_cast<TQV_52WinPrgSelectParam*>(Param());
    auto* selection = dynamic_cast<TQV_51WinSelectObjectsParam*>(window.CallerParam());
    if (!selection)
        CheckParam<TQV_51WinSelectObjectsParam>(ParamCheckName); // raises
    selection->WindowBox = NormalizeRect2D(window.GetFrameBox());
    selection->ScreenWindow = NormalizeIntRect(window.ScreenWindow);
    HideWindowOverlay(Program(), &window);
    // The window parameter goes; the selection parameter takes its place.
    ReplaceParam(window.TakeCallerParam());

    TQVScene* scene = ProgramScene(Program());
    if (scene && scene->Document())
        CollectObjectsInWindow(*scene->Document(), selection->SelectedObjects(), selection->ScreenWindow,
                               selection->Mode(), false);
    if (selection->OnSelected) {
        TCADLockSection lock(Program());
        selection->OnSelected(*selection, nullptr, true, PickNone);
    }
    if (scene)
        scene->ClearOverlay();
    if (TCADStateClass after = selection->AfterState()) {
        nextState = after;
        return;
    }
    ClearParam();
    nextState = Program().IdleClass();
}
