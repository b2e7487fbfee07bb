#pragma once
// The interaction program: it receives the view's key and mouse messages,
// turns them into CAD events and hands each one to the current state, and
// it starts, suspends, resumes, stops and ends the commands that run as
// chains of states (cad/QV_00State.h).
//
// Promises:
// - The program is idle (not busy, an idle state current), running a
//   command (busy), or running a nested operation (zoom window, pan) over a
//   suspended command (busy and suspended). There is always a current
//   state, except while a state is being replaced (inside callbacks fired
//   from a constructor).
// - A command ends when a state names the idle class (from its constructor
//   or its event handler), when a handler leaves its state without naming
//   one, on StopOperation, or when a constructor throws. Every normal end
//   fires OnEndOperation first and OnIdle last.
// - A nested operation ends the same way and resumes the suspended command:
//   its prompt is shown again and its ResumeHook called. OnEndOperation of
//   a nested end names the nested operation's class (the one passed to
//   SuspendOperation), never the suspended command's, and Suspended() is
//   still true during that call, so the main window can leave the running
//   command's panel, tool window and snap alone.
// - A nested operation started without a parameter borrows the suspended
//   command's: nothing the nested states do frees it.
// - A state constructor that throws aborts the operation: the exception's
//   text is shown (cad/EventGuard.h) and not passed on; a nested operation
//   then resumes the suspended command, any other leaves the program idle
//   and not busy.
// - The scene is rebuilt once, at the end or the resume, when a state
//   marked it dirty; without a bound view it stays marked.
// - While locked, every CAD event is dropped (not queued).
// - Main thread only. Callbacks must not be left pointing at objects that
//   die before the program: the destructor stops the running states, whose
//   stop hooks may fire OnDescriptionChanged.

#include "cad/program/CADEvents.h"
#include "cad/scene/CADViewPort.h"
#include "cad/program/QV_00State.h"
#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class TQV_00CADProg : public TCADViewMessageHook, public TCommandStatus {
public:
    using TCADPrgOnChangeState = std::function<void(TQV_00CADProg& sender, TQV_00State& state)>;
    using TCADPrgOnOperation =
        std::function<void(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param)>;
    using TNotifyEvent = std::function<void(TQV_00CADProg& sender)>;
    // Sender is the state whose prompt was set.
    using TOnDescriptionChanged = std::function<void(TQV_00State& sender)>;

    // No view; an idle state is current.
    TQV_00CADProg();
    ~TQV_00CADProg() override;
    TQV_00CADProg(const TQV_00CADProg&) = delete;
    TQV_00CADProg& operator=(const TQV_00CADProg&) = delete;

    TCADViewPort* ViewPort() const { return m_View; }
    // Binds the program to the view (null unbinds): it becomes the view's
    // message hook, and the previous view's hook is removed.
    void SetViewport(TCADViewPort* view);

    // Starts a command with its first state class and its parameter
    // (owned by the command from now on). False, and nothing done, while a
    // nested operation runs; a running command is stopped first. A null
    // class counts as the idle class.
    bool StartOperation(TCADStateClass stateClass, std::unique_ptr<TQV_00CADPrgParam> param = nullptr);
    // Starts a nested operation over the running command, which waits
    // suspended until it ends. Without a parameter the nested operation
    // borrows the command's. False, and nothing done, while a nested
    // operation runs or the command is not suspendable; while idle it
    // starts the operation as a plain command and returns false.
    bool SuspendOperation(TCADStateClass stateClass, std::unique_ptr<TQV_00CADPrgParam> param = nullptr);
    // Stops the running operation: its state's stop hook, then the end
    // (OnStopOperation last). During a nested operation only that one.
    void StopOperation();
    // Ends the operation after an exception: stop hook and end, without
    // OnEndOperation.
    void AbortOperation();
    // What the Escape key does: a cancel event to the current state, then
    // StopOperation, except that an Escape during a nested operation ends
    // only the nested operation.
    void CancelOperation();

    // Hands one event to the current state and performs the change it asks
    // for. Exceptions of the state's handler pass on, the state stays.
    void SendCADEvent(TCADEventKind kind, TCADButton button, TShiftState shift, int16_t key);
    // A user event (kind User) when a view is bound. An exception of the
    // handler aborts the operation and is shown, not passed on.
    void SendUserEvent(TCADUserEvent code);
    void SendUserEvent(int16_t code);
    // A mouse event as if the view had sent it (the typed-coordinate dialog
    // sends a left mouse-down after SetCursorPoint), when a view is bound;
    // exceptions as for SendUserEvent.
    void SendMouseEvent(TCADEventKind kind, TMouseButton button, TShiftState shift, int16_t key);

    // The scene is rebuilt at the end or resume of the operation.
    void MarkSceneDirty() { m_SceneDirty = true; }
    bool SceneDirty() const { return m_SceneDirty; }
    // The operation edited only these objects (none is allowed): at its end
    // or resume the view is refreshed around them
    // (TCADViewPort::RefreshAfterEdit) instead of rebuilt, unless the scene
    // is also marked dirty.
    void MarkObjectsEdited(std::span<const int32_t> ids);

    bool Busy() const { return m_Busy; }
    bool Suspended() const { return m_Suspended; }
    bool HasSuspendedCommand() const override { return m_Suspended; }
    // Set by states around their own repaints of the view; the normal end
    // and the abort of an operation clear it.
    bool Locked() const { return m_Locked; }
    void SetLocked(bool locked) { m_Locked = locked; }
    // The virtual key code held down (0 after key up).
    int16_t LastKey() const { return m_LastKey; }

    TCADStateClass IdleClass() const { return m_IdleClass; }
    TQV_00State* CurrentState() const { return m_CurrentState.get(); }
    TQV_00State* SuspendedState() const { return m_SuspendedState.get(); }
    // The command now running (the class given to StartOperation; it stays
    // while a nested operation runs).
    TCADStateClass OperationClass() const { return m_OperationClass; }
    // A state that takes a command over from the state that started it (a
    // selection handing its objects to an edit command) names itself as the
    // running command, so that the end of the command reports its class.
    void SetOperationClass(TCADStateClass operation) { m_OperationClass = operation; }
    TCADStateClass SuspendedOperationClass() const { return m_SuspendedOperationClass; }
    // The class given to SuspendOperation while a nested operation runs.
    TCADStateClass NestedOperationClass() const { return m_NestedOperationClass; }

    // The drawing point under the mouse, kept by the descendant.
    virtual TPoint2D GetCursorPoint() const = 0;
    virtual void SetCursorPoint(const TPoint2D& point) = 0;

    // Maps a view message to the handlers below.
    void ViewerWndProc(const TViewMessage& message) override;
    void ViewPortDestroyed(TCADViewPort& view) override;

    // Snap settings (cad/ snapping): grid snap, object snap allowed for the
    // running command, orthogonal mode, grid snap steps in drawing units.
    bool Snap2Grid = false;
    bool UsaSnap = false;
    bool UseOrto = false;
    double XSnap = 0.0;
    double YSnap = 0.0;

    TCADPrgOnChangeState OnEnterState;
    TCADPrgOnChangeState OnExitState;
    TCADPrgOnOperation OnEndOperation;
    TCADPrgOnOperation OnStartOperation;
    TCADPrgOnOperation OnStopOperation;
    TNotifyEvent OnIdle;
    TOnDescriptionChanged OnDescriptionChanged;

protected:
    // The handlers of the mapped view messages; each sends its CAD event
    // when there is a current state.
    virtual void ViewRepaint();
    virtual void ViewKeyDown(int16_t key, TShiftState shift);
    virtual void ViewKeyUp(int16_t key, TShiftState shift);
    virtual void ViewDblClick(TShiftState shift, int32_t x, int32_t y);
    virtual void ViewMouseMove(TShiftState shift, int32_t x, int32_t y);
    virtual void ViewMouseDown(TCADButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void ViewMouseUp(TCADButton button, TShiftState shift, int32_t x, int32_t y);

    // Stops and frees the running and the suspended state; descendants
    // call it first in their destructor, so that stop hooks still meet the
    // whole program.
    void FreeStates();

private:
    // Builds a chain of states from stateClass with param until a
    // constructor names no next state. nested: the chain of a nested
    // operation (its end resumes the suspended command, without
    // OnEndOperation when a constructor names the idle class).
    void RunChain(TCADStateClass stateClass, TCADStateParam param, bool nested);
    // Makes cls the current state; false when its constructor threw (the
    // operation is aborted and the error shown).
    bool ConstructState(TCADStateClass cls, TCADStateParam param, TCADStateClass& nextState);
    // The end of an operation with the current state's parameter.
    void EndOperation(TCADStateClass endedClass);
    void RebuildSceneIfDirty();
    TQV_00CADPrgParam* CurrentParam() const { return m_CurrentState ? m_CurrentState->Param() : nullptr; }

    TCADViewPort* m_View = nullptr;
    bool m_Busy = false;
    bool m_Suspended = false;
    bool m_SceneDirty = false;
    bool m_RefreshDue = false;
    std::vector<int32_t> m_EditedObjects;
    bool m_Locked = false;
    int16_t m_LastKey = 0;
    TCADStateClass m_IdleClass;
    std::unique_ptr<TQV_00State> m_CurrentState;
    std::unique_ptr<TQV_00State> m_SuspendedState;
    TCADStateClass m_OperationClass = nullptr;
    TCADStateClass m_SuspendedOperationClass = nullptr;
    TCADStateClass m_NestedOperationClass = nullptr;
};

// Sets the program's locked flag for its lifetime, so that the repaint
// messages a state causes while it draws cannot re-enter the state machine.
class TCADLockSection {
public:
    explicit TCADLockSection(TQV_00CADProg& prg) : m_Prg(prg) { m_Prg.SetLocked(true); }
    ~TCADLockSection() { m_Prg.SetLocked(false); }
    TCADLockSection(const TCADLockSection&) = delete;
    TCADLockSection& operator=(const TCADLockSection&) = delete;

private:
    TQV_00CADProg& m_Prg;
};
