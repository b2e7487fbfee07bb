#pragma once
// Interaction states: the base of every state and command, the state
// classes through which the program creates them, and the idle state.
//
// A state class (TCADStateClass) is a factory with an identity: the program
// starts a command from one, every state names its successor by one, and
// the program compares them by address. StateClassOf<TState>() gives the
// one class of a C++ state type; a test may also declare a
// TCADStateClassInfo of its own with any factory.
//
// A state type is constructible from (program, parameter, next state):
//   TMyState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
//       : TQV_00State(prg, std::move(param)) { ... }
// The constructor checks its parameter (CheckParam), prepares its data,
// sets its prompt and may name a next state: a command that needs no
// interaction does its work there and names the idle state. A constructor
// that throws aborts the command (cad/QV_00CADProg.h).
//
// States never free themselves: the program creates them and frees each
// one when it names a successor.

#include "cad/program/CADEvents.h"
#include "cad/program/QV_00CADPrgParam.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TQV_00CADProg;
class TQV_00State;

using TCADStateFactory =
    std::function<std::unique_ptr<TQV_00State>(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)>;

struct TCADStateClassInfo {
    std::string Name;
    TCADStateFactory Create;
};

// The class of a state type; its Name is TState::ClassName when the type
// declares one.
template <class TState> TCADStateClass StateClassOf()
{
    static const TCADStateClassInfo info{
        [] {
            if constexpr (requires { TState::ClassName; })
                return std::string(TState::ClassName);
            else
                return std::string();
        }(),
        [](TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState) -> std::unique_ptr<TQV_00State> {
            return std::make_unique<TState>(prg, std::move(param), nextState);
        },
    };
    return &info;
}

class TQV_00State {
public:
    // Stores program and parameter, makes the state suspendable and sets an
    // empty prompt (which fires the program's OnDescriptionChanged).
    TQV_00State(TQV_00CADProg& prg, TCADStateParam param);
    virtual ~TQV_00State() = default;
    TQV_00State(const TQV_00State&) = delete;
    TQV_00State& operator=(const TQV_00State&) = delete;

    // One event. True leaves the state: nextState names the successor, or
    // null to end the operation. The base ignores every event.
    virtual bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState);
    // The operation is stopped or aborted; the state is freed next. The
    // base frees the parameter (a borrowed one is only forgotten).
    virtual void StopHook();
    // A nested operation that suspended this state has ended; endedParam is
    // still alive during the call. The base does nothing.
    virtual void ResumeHook(TCADStateClass endedOperation, TQV_00CADPrgParam* endedParam);

    // Stores the prompt and fires the program's OnDescriptionChanged.
    void SetPrompt(const std::string& text);
    // The prompt of a slot of the CAD prompt table (core/CADPrompts.h);
    // empty for a slot beyond the table.
    void SetPromptSlot(size_t slot);
    const std::string& Prompt() const { return m_Prompt; }

    TQV_00CADProg& Program() const { return m_Program; }
    TQV_00CADPrgParam* Param() const { return m_Param.Get(); }
    // The class the program created this state from (null until then).
    TCADStateClass StateClass() const { return m_StateClass; }

    // A whole command is suspendable or not: the program copies the flag
    // of a command's first state into its later states.
    bool Suspendable() const { return m_Suspendable; }
    void SetSuspendable(bool suspendable) { m_Suspendable = suspendable; }

    // The parameter leaves the state (the program passes it on).
    TCADStateParam TakeParam() { return std::move(m_Param); }

protected:
    // The parameter as P; ECADSysException "<stateName>: Invalid param"
    // when there is none or it is of another class.
    template <class P> P& CheckParam(std::string_view stateName) const
    {
        if (P* p = dynamic_cast<P*>(m_Param.Get()))
            return *p;
        ThrowInvalidParam(stateName);
    }
    // Puts another parameter in place of the current one; an owned current
    // parameter is freed, a borrowed one forgotten.
    void ReplaceParam(TCADStateParam param) { m_Param = std::move(param); }
    // Frees (or forgets) the parameter.
    void ClearParam() { m_Param.Reset(); }

private:
    friend class TQV_00CADProg;
    [[noreturn]] static void ThrowInvalidParam(std::string_view stateName);

    TQV_00CADProg& m_Program;
    TCADStateParam m_Param;
    TCADStateClass m_StateClass = nullptr;
    bool m_Suspendable = true;
    std::string m_Prompt;
};

// The text of the check of a state's parameter class.
std::string InvalidParamMessage(std::string_view stateName);

// The state of the program while no command runs: it ignores every event.
class TQV_00CADIdleState : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_00CADIdleState";
    // A parameter raises ECADSysException
    // "TCADIdleState.Create: Non all objects were destroied".
    TQV_00CADIdleState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};
