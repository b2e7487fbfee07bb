#include "cad/states/QV_52WinPrgSelect.h"

#include "cad/scene/ProgramScene.h"

namespace {

TQV_52WinPrgSelectParam* WindowParam(const TQV_00State& state)
{
    return dynamic_cast<TQV_52WinPrgSelectParam*>(state.Param());
}

// The view's rubber band as the screen window: first corner, opposite one.
TIntRect RubberBandWindow(const TQVScene& scene)
{
    const std::array<TIntPoint, 5>& band = scene.RubberBand();
    return TIntRect{band[0].X, band[0].Y, band[2].X, band[2].Y};
}

} // namespace

// --- Window parameter ------------------------------------------------------

TQV_52WinPrgSelectParam::TQV_52WinPrgSelectParam(TCADStateClass afterState, TCADStateParam callerParam)
    : TQV_00CADPrgParam(afterState), m_Frame(std::make_unique<TFrame2D>(0, TPoint2D{0, 0, 1}, TPoint2D{0, 0, 1})),
      m_CallerParam(std::move(callerParam))
{
}

TQV_52WinPrgSelectParam::~TQV_52WinPrgSelectParam() = default;

TPoint2D TQV_52WinPrgSelectParam::Corner(int index) const { return m_Frame->Points().Get(index); }

void TQV_52WinPrgSelectParam::SetCorner(int index, const TPoint2D& p) { m_Frame->Points().SetPoint(index, p); }

TRect2D TQV_52WinPrgSelectParam::GetFrameBox() const { return m_Frame->Box(); }

void HideWindowOverlay(TQV_00CADProg& prg, TQV_52WinPrgSelectParam* param)
{
    TQVScene* scene = ProgramScene(prg);
    if (!scene)
        return;
    scene->SetOverlayMode(scene->OverlayMode() & static_cast<uint8_t>(~OverlayBits::RubberBand));
    if (param)
        scene->HideDragObject(&param->Frame());
}

// --- First corner ------------------------------------------------------------

TQV_52WinPrgSelect::TQV_52WinPrgSelect(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    SetPromptSlot(0);
}

bool TQV_52WinPrgSelect::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (event.IsUser(TCADUserEvent::Cancel)) {
        HideWindowOverlay(Program(), WindowParam(*this));
        ClearParam();
        nextState = Program().IdleClass();
        return true;
    }
    TQV_52WinPrgSelectParam* param = WindowParam(*this);
    if (!param || !event.IsMouseDown(TCADButton::Left))
        return false;
    const TPoint2D p = Program().GetCursorPoint();
    param->SetCorner(0, p);
    param->SetCorner(1, p);
    if (TQVScene* scene = ProgramScene(Program())) {
        scene->SetRubberBandStart(p);
        scene->SetRubberBandEnd(p);
        // A window closed without a move in between is this one pixel.
        param->ScreenWindow = RubberBandWindow(*scene);
        scene->SetOverlayMode(scene->OverlayMode() | OverlayBits::RubberBand);
    }
    nextState = StateClassOf<TQV_51PrgDragSelectArea>();
    return true;
}

void TQV_52WinPrgSelect::StopHook()
{
    HideWindowOverlay(Program(), WindowParam(*this));
    TQV_00State::StopHook();
}

// --- Second corner -----------------------------------------------------------

TQV_51PrgDragSelectArea::TQV_51PrgDragSelectArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    SetPromptSlot(1);
}

void TQV_51PrgDragSelectArea::FollowCursor()
{
    TQV_52WinPrgSelectParam* param = WindowParam(*this);
    if (!param)
        return;
    const TPoint2D p = Program().GetCursorPoint();
    param->SetCorner(1, p);
    if (TQVScene* scene = ProgramScene(Program())) {
        // The first corner is a drawing point: after a zoom or pan nested
        // in the window it lies under another pixel, and that nested
        // operation's own window took the band.
        scene->SetRubberBandStart(param->Corner(0));
        scene->SetRubberBandEnd(p);
        scene->SetOverlayMode(scene->OverlayMode() | OverlayBits::RubberBand);
        param->ScreenWindow = RubberBandWindow(*scene);
    }
}

bool TQV_51PrgDragSelectArea::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (event.IsUser(TCADUserEvent::Cancel)) {
        HideWindowOverlay(Program(), WindowParam(*this));
        ClearParam();
        nextState = Program().IdleClass();
        return true;
    }
    TQV_52WinPrgSelectParam* param = WindowParam(*this);
    if (!param)
        return false;
    switch (event.Kind) {
    case TCADEventKind::MouseMove:
        FollowCursor();
        return false;
    case TCADEventKind::Repaint:
        if (TQVScene* scene = ProgramScene(Program()))
            scene->ShowDragObject(&param->Frame());
        return false;
    default:
        break;
    }
    if (!event.IsMouseDown(TCADButton::Left))
        return false;
    // The corner where the button went down, also when no move brought the
    // cursor there (a typed point).
    FollowCursor();
    nextState = param->AfterState() ? param->AfterState() : Program().IdleClass();
    return true;
}

void TQV_51PrgDragSelectArea::StopHook()
{
    HideWindowOverlay(Program(), WindowParam(*this));
    TQV_00State::StopHook();
}
