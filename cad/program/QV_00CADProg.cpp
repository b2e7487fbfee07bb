#include "cad/program/QV_00CADProg.h"

#include "cad/program/EventGuard.h"

#include <optional>
#include <string>
#include <utility>

TQV_00CADProg::TQV_00CADProg() : m_IdleClass(StateClassOf<TQV_00CADIdleState>())
{
    TCADStateClass next = nullptr;
    ConstructState(m_IdleClass, TCADStateParam(), next);
}

TQV_00CADProg::~TQV_00CADProg()
{
    FreeStates();
    SetViewport(nullptr);
}

void TQV_00CADProg::FreeStates()
{
    if (m_CurrentState) {
        m_CurrentState->StopHook();
        m_CurrentState.reset();
    }
    if (m_SuspendedState) {
        m_SuspendedState->StopHook();
        m_SuspendedState.reset();
    }
}

void TQV_00CADProg::SetViewport(TCADViewPort* view)
{
    if (view == m_View)
        return;
    if (m_View && m_View->MessageHook() == this)
        m_View->SetMessageHook(nullptr);
    m_View = view;
    if (m_View)
        m_View->SetMessageHook(this);
}

void TQV_00CADProg::ViewPortDestroyed(TCADViewPort& view)
{
    if (&view == m_View)
        m_View = nullptr;
}

bool TQV_00CADProg::StartOperation(TCADStateClass stateClass, std::unique_ptr<TQV_00CADPrgParam> param)
{
    if (!stateClass)
        stateClass = m_IdleClass;
    if (m_Suspended)
        return false;
    if (m_Busy)
        StopOperation();
    m_Busy = stateClass != m_IdleClass;
    m_OperationClass = stateClass;
    if (OnStartOperation)
        OnStartOperation(*this, stateClass, param.get());
    RunChain(stateClass, TCADStateParam(std::move(param)), false);
    return true;
}

bool TQV_00CADProg::SuspendOperation(TCADStateClass stateClass, std::unique_ptr<TQV_00CADPrgParam> param)
{
    if (!stateClass)
        stateClass = m_IdleClass;
    if (m_Suspended || !m_CurrentState || !m_CurrentState->Suspendable())
        return false;
    if (!m_Busy) {
        StartOperation(stateClass, std::move(param));
        return false;
    }
    m_SuspendedState = std::move(m_CurrentState);
    m_SuspendedOperationClass = m_OperationClass;
    m_NestedOperationClass = stateClass;
    m_Suspended = true;
    // Borrowed, so that the nested states can never free what the
    // suspended command still holds.
    TCADStateParam shared =
        param ? TCADStateParam(std::move(param)) : TCADStateParam::Borrowed(m_SuspendedState->Param());
    RunChain(stateClass, std::move(shared), true);
    return true;
}

void TQV_00CADProg::RunChain(TCADStateClass stateClass, TCADStateParam param, bool nested)
{
    TCADStateClass next = stateClass;
    bool chainSuspendable = true;
    bool first = true;
    for (;;) {
        if (next == m_IdleClass && (nested || stateClass != m_IdleClass)) {
            if (!nested && OnEndOperation)
                OnEndOperation(*this, m_OperationClass, CurrentParam());
            EndOperation(nested ? stateClass : nullptr);
            return;
        }
        // The state that was current before the command goes with whatever
        // it held; later ones pass their parameter down the chain.
        if (!first && m_CurrentState)
            param = m_CurrentState->TakeParam();
        first = false;
        m_CurrentState.reset();

        const TCADStateClass cls = next;
        next = nullptr;
        if (!ConstructState(cls, std::move(param), next))
            return;
        if (cls == stateClass)
            chainSuspendable = m_CurrentState->Suspendable();
        m_CurrentState->SetSuspendable(chainSuspendable);
        if (OnEnterState)
            OnEnterState(*this, *m_CurrentState);
        if (!next || !m_CurrentState)
            return;
    }
}

bool TQV_00CADProg::ConstructState(TCADStateClass cls, TCADStateParam param, TCADStateClass& nextState)
{
    std::unique_ptr<TQV_00State> state;
    std::optional<std::string> error;
    bool failed = false;
    try {
        state = cls->Create(*this, std::move(param), nextState);
        failed = !state;
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    } catch (...) {
        failed = true;
    }
    if (failed) {
        // Abort first, so that the program is whole again before the
        // message box runs its own event loop.
        AbortOperation();
        if (error)
            ShowExceptionText(*error);
        return false;
    }
    state->m_StateClass = cls;
    m_CurrentState = std::move(state);
    return true;
}

void TQV_00CADProg::SendCADEvent(TCADEventKind kind, TCADButton button, TShiftState shift, int16_t key)
{
    if (m_Locked || !m_CurrentState)
        return;
    TCADStateClass next = nullptr;
    if (!m_CurrentState->HandleEvent(TCADEvent{kind, button, shift, key}, next))
        return;
    if (!m_CurrentState)
        return;
    if (OnExitState)
        OnExitState(*this, *m_CurrentState);
    for (;;) {
        if (!next || next == m_IdleClass) {
            if (OnEndOperation)
                OnEndOperation(*this, m_Suspended ? m_NestedOperationClass : m_OperationClass, CurrentParam());
            EndOperation(m_CurrentState ? m_CurrentState->StateClass() : nullptr);
            return;
        }
        TCADStateParam param = m_CurrentState->TakeParam();
        const bool suspendable = m_CurrentState->Suspendable();
        m_CurrentState.reset();

        const TCADStateClass cls = next;
        next = nullptr;
        if (!ConstructState(cls, std::move(param), next))
            return;
        m_CurrentState->SetSuspendable(suspendable);
        if (OnEnterState)
            OnEnterState(*this, *m_CurrentState);
        if (!next || !m_CurrentState)
            return;
    }
}

void TQV_00CADProg::EndOperation(TCADStateClass endedClass)
{
    TCADStateParam endedParam;
    if (m_CurrentState)
        endedParam = m_CurrentState->TakeParam();

    if (m_Suspended) {
        // The nested operation ended: the state goes, its parameter stays
        // alive for the resume hook and is freed afterwards only if the
        // nested operation owned it.
        m_CurrentState.reset();
        m_CurrentState = std::move(m_SuspendedState);
        m_OperationClass = m_SuspendedOperationClass;
        m_SuspendedOperationClass = nullptr;
        m_NestedOperationClass = nullptr;
        m_CurrentState->SetPrompt(m_CurrentState->Prompt());
        m_Suspended = false;
        RebuildSceneIfDirty();
        m_CurrentState->ResumeHook(endedClass, endedParam.Get());
        return;
    }

    m_Busy = false;
    endedParam.Reset();
    m_CurrentState.reset();
    m_OperationClass = nullptr;
    RebuildSceneIfDirty();
    m_Locked = false;
    StartOperation(m_IdleClass, nullptr);
    if (OnIdle)
        OnIdle(*this);
}

void TQV_00CADProg::MarkObjectsEdited(std::span<const int32_t> ids)
{
    m_EditedObjects.insert(m_EditedObjects.end(), ids.begin(), ids.end());
    m_RefreshDue = true;
}

void TQV_00CADProg::RebuildSceneIfDirty()
{
    if (!m_View)
        return;
    const std::vector<int32_t> edited = std::exchange(m_EditedObjects, {});
    const bool refresh = std::exchange(m_RefreshDue, false);
    if (m_SceneDirty) {
        m_SceneDirty = false;
        m_View->RebuildScene(false);
    } else if (refresh) {
        m_View->RefreshAfterEdit(edited);
    }
}

void TQV_00CADProg::StopOperation()
{
    if (!m_Busy || !m_CurrentState)
        return;
    m_CurrentState->StopHook();
    EndOperation(m_CurrentState->StateClass());
    if (OnStopOperation)
        OnStopOperation(*this, m_OperationClass, nullptr);
}

void TQV_00CADProg::AbortOperation()
{
    m_Locked = false;
    if (m_CurrentState) {
        m_CurrentState->StopHook();
        EndOperation(m_CurrentState->StateClass());
    } else {
        EndOperation(nullptr);
    }
}

void TQV_00CADProg::CancelOperation()
{
    const bool nested = m_Suspended;
    SendUserEvent(TCADUserEvent::Cancel);
    // A nested operation that took the cancel has resumed its command,
    // which the Escape must leave running.
    if (!nested || m_Suspended)
        StopOperation();
}

void TQV_00CADProg::SendUserEvent(TCADUserEvent code) { SendUserEvent(static_cast<int16_t>(code)); }

void TQV_00CADProg::SendUserEvent(int16_t code)
{
    if (!m_View)
        return;
    try {
        SendCADEvent(TCADEventKind::User, TCADButton::None, TShiftState(), code);
    } catch (const std::exception& e) {
        const std::string error = e.what();
        AbortOperation();
        ShowExceptionText(error);
    }
}

void TQV_00CADProg::SendMouseEvent(TCADEventKind kind, TMouseButton button, TShiftState shift, int16_t key)
{
    if (!m_View)
        return;
    TCADButton code = TCADButton::None;
    switch (button) {
    case TMouseButton::Left:
        code = TCADButton::Left;
        break;
    case TMouseButton::Right:
        code = TCADButton::Right;
        break;
    case TMouseButton::Middle:
        code = TCADButton::Middle;
        break;
    case TMouseButton::Other:
        break;
    }
    try {
        SendCADEvent(kind, code, shift, key);
    } catch (const std::exception& e) {
        const std::string error = e.what();
        AbortOperation();
        ShowExceptionText(error);
    }
}

void TQV_00CADProg::ViewerWndProc(const TViewMessage& message)
{
    const int32_t x = message.X;
    const int32_t y = message.Y;
    switch (message.Kind) {
    case TViewMessageKind::KeyDown:
        ViewKeyDown(message.Key, message.Shift);
        break;
    case TViewMessageKind::KeyUp:
        ViewKeyUp(message.Key, message.Shift);
        break;
    case TViewMessageKind::MouseMove:
        ViewMouseMove(message.Shift, x, y);
        break;
    case TViewMessageKind::LeftButtonDown:
        ViewMouseDown(TCADButton::Left, message.Shift, x, y);
        break;
    case TViewMessageKind::LeftButtonUp:
        ViewMouseUp(TCADButton::Left, message.Shift, x, y);
        break;
    case TViewMessageKind::LeftDoubleClick:
        ViewDblClick(message.Shift, x, y);
        ViewMouseDown(TCADButton::Left, message.Shift, x, y);
        break;
    case TViewMessageKind::RightButtonDown:
        ViewMouseDown(TCADButton::Right, message.Shift, x, y);
        break;
    case TViewMessageKind::RightButtonUp:
        ViewMouseUp(TCADButton::Right, message.Shift, x, y);
        break;
    case TViewMessageKind::RightDoubleClick:
        ViewDblClick(message.Shift, x, y);
        ViewMouseDown(TCADButton::Right, message.Shift, x, y);
        break;
    case TViewMessageKind::Invalidate:
        ViewRepaint();
        break;
    case TViewMessageKind::Other:
        break;
    }
}

void TQV_00CADProg::ViewRepaint()
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::Repaint, TCADButton::None, TShiftState(), 0);
}

void TQV_00CADProg::ViewKeyDown(int16_t key, TShiftState shift)
{
    m_LastKey = key;
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::KeyDown, HeldButton(shift), shift, key);
}

void TQV_00CADProg::ViewKeyUp(int16_t key, TShiftState shift)
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::KeyUp, HeldButton(shift), shift, key);
    m_LastKey = 0;
}

void TQV_00CADProg::ViewDblClick(TShiftState, int32_t, int32_t)
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::DblClick, TCADButton::None, TShiftState(), 0);
}

void TQV_00CADProg::ViewMouseMove(TShiftState shift, int32_t, int32_t)
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::MouseMove, HeldButton(shift), shift, m_LastKey);
}

void TQV_00CADProg::ViewMouseDown(TCADButton button, TShiftState shift, int32_t, int32_t)
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::MouseDown, button, shift, m_LastKey);
}

void TQV_00CADProg::ViewMouseUp(TCADButton button, TShiftState shift, int32_t, int32_t)
{
    if (m_CurrentState)
        SendCADEvent(TCADEventKind::MouseUp, button, shift, m_LastKey);
}
