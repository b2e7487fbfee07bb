#include "cad/states/QV_50SelectObjects.h"

#include "cad/scene/ProgramScene.h"
#include "core/model/GraphicObject.h"

std::array<TPoint2D, 2> SelectionPickPoints{};
bool SelectPointsOnly = false;

namespace {

// The cursor on the outline, inside a closed outline or on a control point.
constexpr int32_t LowestSelectingCode = -99;

void ClearSceneOverlay(TQV_00CADProg& prg)
{
    if (TQVScene* scene = ProgramScene(prg))
        scene->ClearOverlay();
}

} // namespace

// --- Shared by the picking states ---------------------------------------------

TQV_50PickState::TQV_50PickState(TQV_00CADProg& prg, TCADStateParam param, std::string_view stateName)
    : TQV_00State(prg, std::move(param)), m_StateName(stateName)
{
    SelectParam();
    DrawPickBox();
    if (TQVScene* scene = ProgramScene(Program()))
        scene->ShowHighlights(0);
}

TQV_50SelectObjectsParam& TQV_50PickState::SelectParam() const
{
    return CheckParam<TQV_50SelectObjectsParam>(m_StateName);
}

void TQV_50PickState::DrawPickBox()
{
    if (TQVScene* scene = ProgramScene(Program())) {
        TQV_50SelectObjectsParam& param = SelectParam();
        param.DrawPickBox(*scene, param.Point);
    }
}

bool TQV_50PickState::TrackCursor(const TCADEvent& event)
{
    if (event.Kind == TCADEventKind::MouseMove) {
        SelectParam().Point = Program().GetCursorPoint();
        DrawPickBox();
        return true;
    }
    if (event.Kind == TCADEventKind::Repaint) {
        KeepOverlay();
        DrawPickBox();
        return true;
    }
    return false;
}

void TQV_50PickState::KeepOverlay()
{
    TQVScene* scene = ProgramScene(Program());
    if (!scene || (scene->OverlayMode() & OverlayBits::Highlights))
        return;
    // A scene rebuild since the last frame (a page that repaints the view
    // right after it started the pick) set the overlay back to idle.
    scene->ShowHighlights(0);
    SelectParam().ShowSelection(Program());
}

TObject2D* TQV_50PickState::Pick(const TPoint2D& p, uint16_t aperture, int32_t& code)
{
    TQVScene* scene = ProgramScene(Program());
    return scene ? scene->PickObject(p, aperture, false, code) : nullptr;
}

TObject2D* TQV_50PickState::PickSelectable(int32_t& code)
{
    TQV_50SelectObjectsParam& param = SelectParam();
    code = PickNone;
    TObject2D* object = Pick(param.Point, param.Aperture(), code);
    param.LastPickCode = code;
    if (!object || code < LowestSelectingCode || !param.Accepts(*object))
        return nullptr;
    return object;
}

void TQV_50PickState::NotifySelected(TObject2D* object, bool added, int32_t code)
{
    TQV_50SelectObjectsParam& param = SelectParam();
    if (!param.OnSelected)
        return;
    TCADLockSection lock(Program());
    param.OnSelected(param, object, added, code);
}

bool TQV_50PickState::Cancel(TCADStateClass& nextState)
{
    ClearParam();
    ClearSceneOverlay(Program());
    nextState = Program().IdleClass();
    return true;
}

TCADStateClass TQV_50PickState::HandOver()
{
    if (TCADStateClass after = SelectParam().AfterState())
        return after;
    ClearParam();
    return nullptr;
}

// --- One object ------------------------------------------------------------------

TQV_50Seleziona1Ogg::TQV_50Seleziona1Ogg(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_50PickState(prg, std::move(param), "TQV_Select1Object")
{
    SetPromptSlot(9);
}

bool TQV_50Seleziona1Ogg::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (TrackCursor(event))
        return false;
    if (event.IsUser(TCADUserEvent::Cancel))
        return Cancel(nextState);
    if (!event.IsMouseUp(TCADButton::Left))
        return false;
    int32_t code = PickNone;
    TObject2D* object = PickSelectable(code);
    if (!object)
        return false;
    SelectParam().Select(*object);
    SelectParam().ShowSelection(Program());
    NotifySelected(object, true, code);
    nextState = HandOver();
    return true;
}

// --- Two objects -----------------------------------------------------------------

TQV_50Seleziona2Ogg::TQV_50Seleziona2Ogg(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_50PickState(prg, std::move(param), "TQV_Select2Object")
{
    m_Count = SelectParam().Count();
    SetPromptSlot(9);
}

bool TQV_50Seleziona2Ogg::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (TrackCursor(event))
        return false;
    if (event.IsUser(TCADUserEvent::Cancel) || event.IsUser(TCADUserEvent::Accept))
        return Cancel(nextState);
    if (!event.IsMouseUp(TCADButton::Left))
        return false;
    int32_t code = PickNone;
    TObject2D* object = PickSelectable(code);
    if (!object)
        return false;
    TQV_50SelectObjectsParam& param = SelectParam();
    if (m_Count >= 0 && m_Count < static_cast<int32_t>(SelectionPickPoints.size()))
        SelectionPickPoints[static_cast<size_t>(m_Count)] = Program().GetCursorPoint();
    const bool added = !param.Unselect(*object);
    if (added) {
        param.Select(*object);
        ++m_Count;
        SetPromptSlot(17);
    } else {
        --m_Count;
        SetPromptSlot(9);
    }
    param.ShowSelection(Program());
    NotifySelected(object, added, code);
    // Whether the callback is set or not: the second object completes.
    if (m_Count == 2) {
        nextState = HandOver();
        return true;
    }
    DrawPickBox();
    return false;
}

// --- Any number of objects ---------------------------------------------------

TQV_50SelectObjects::TQV_50SelectObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_50PickState(prg, std::move(param), "TCAD2DSelectObjects")
{
    SetPromptSlot(16);
}

bool TQV_50SelectObjects::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (event.Kind == TCADEventKind::Repaint && SelectParam().OnSelected) {
        for (TObject2D* object : SelectParam().Objects())
            NotifySelected(object, true, PickNone);
    }
    if (TrackCursor(event))
        return false;
    if (event.IsUser(TCADUserEvent::Cancel))
        return Cancel(nextState);
    if (event.IsUser(TCADUserEvent::Accept)) {
        ClearSceneOverlay(Program());
        nextState = HandOver();
        return true;
    }
    if (!event.IsMouseUp(TCADButton::Left))
        return false;
    int32_t code = PickNone;
    TObject2D* object = PickSelectable(code);
    if (!object)
        return false;
    TQV_50SelectObjectsParam& param = SelectParam();
    const bool added = !param.Unselect(*object);
    if (added)
        param.Select(*object);
    param.ShowSelection(Program());
    NotifySelected(object, added, code);
    return false;
}

TObject2D* TQV_50SelectPuntiAndArchi::Pick(const TPoint2D& p, uint16_t aperture, int32_t& code)
{
    TQVScene* scene = ProgramScene(Program());
    return scene ? scene->PickPointOrArc(p, aperture, false, code, SelectPointsOnly) : nullptr;
}

// --- One point ---------------------------------------------------------------------

TQV_50SelectPoint::TQV_50SelectPoint(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    CheckParam<TQV_50SelectObjectsParam>("TCAD2DSelectPoint");
    SetPromptSlot(13);
    Program().UsaSnap = true;
}

bool TQV_50SelectPoint::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_50SelectObjectsParam& param = CheckParam<TQV_50SelectObjectsParam>("TCAD2DSelectPoint");
    if (event.Kind == TCADEventKind::MouseMove) {
        param.Point = Program().GetCursorPoint();
        return false;
    }
    const bool cancel = event.IsUser(TCADUserEvent::Cancel);
    if (!cancel && !event.IsMouseUp(TCADButton::Left))
        return false;
    // Also when no move brought the cursor there (a typed point).
    if (!cancel)
        param.Point = Program().GetCursorPoint();
    ClearSceneOverlay(Program());
    if (!cancel && param.AfterState()) {
        nextState = param.AfterState();
        return true;
    }
    ClearParam();
    nextState = Program().IdleClass();
    return true;
}
