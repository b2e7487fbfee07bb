#pragma once
// Scriptable fake states for the tests of the interaction framework: each
// TFakeStateClass is a state class of its own (a factory with a name) whose
// states follow its script and write their life into a shared journal:
// "create A", "stop A", "resume A after B", "free A". TCADRig puts them
// together with a program, a fake view, a recording shell and the driver.

#include "cad/program/QV_00CADProg.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "core/model/CADSysException.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kbtest {

// A parameter that counts how often it was freed.
class TCountedParam : public TQV_00CommonParam {
public:
    explicit TCountedParam(int& freed, TCADStateClass afterState = nullptr)
        : TQV_00CommonParam(afterState), m_Freed(freed)
    {
    }
    ~TCountedParam() override { ++m_Freed; }

private:
    int& m_Freed;
};

// What the states of one fake class do.
struct TFakeScript {
    TCADStateClass NextOnCreate = nullptr; // named by the constructor
    bool ThrowOnCreate = false;            // ECADSysException "<name>: failed"
    bool Suspendable = true;
    std::optional<size_t> PromptSlot;      // SetPromptSlot in the constructor
    // The event handler; empty: every event is ignored.
    std::function<bool(TQV_00State& self, const TCADEvent& event, TCADStateClass& next)> OnEvent;
};

class TFakeStateClass {
public:
    TFakeStateClass(std::string name, std::vector<std::string>& journal);
    TFakeStateClass(const TFakeStateClass&) = delete;
    TFakeStateClass& operator=(const TFakeStateClass&) = delete;

    operator TCADStateClass() const { return &m_Info; }
    const std::string& Name() const { return m_Info.Name; }

    TFakeScript Script;
    std::vector<TCADEvent> Events; // every event its states received
    std::vector<std::string>& Journal;

private:
    TCADStateClassInfo m_Info;
};

class TFakeState final : public TQV_00State {
public:
    TFakeState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState, TFakeStateClass& cls)
        : TQV_00State(prg, std::move(param)), m_Class(cls)
    {
        if (cls.Script.ThrowOnCreate)
            throw ECADSysException(cls.Name() + ": failed");
        cls.Journal.push_back("create " + cls.Name());
        SetSuspendable(cls.Script.Suspendable);
        if (cls.Script.PromptSlot)
            SetPromptSlot(*cls.Script.PromptSlot);
        nextState = cls.Script.NextOnCreate;
    }
    ~TFakeState() override { m_Class.Journal.push_back("free " + m_Class.Name()); }

    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override
    {
        m_Class.Events.push_back(event);
        return m_Class.Script.OnEvent ? m_Class.Script.OnEvent(*this, event, nextState) : false;
    }
    void StopHook() override
    {
        m_Class.Journal.push_back("stop " + m_Class.Name());
        TQV_00State::StopHook();
    }
    void ResumeHook(TCADStateClass ended, TQV_00CADPrgParam* endedParam) override
    {
        m_Class.Journal.push_back("resume " + m_Class.Name() + " after " + (ended ? ended->Name : "-"));
        ResumedWith = endedParam;
    }

    TQV_00CADPrgParam* ResumedWith = nullptr;

private:
    TFakeStateClass& m_Class;
};

inline TFakeStateClass::TFakeStateClass(std::string name, std::vector<std::string>& journal)
    : Journal(journal),
      m_Info{std::move(name),
             [this](TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& next) -> std::unique_ptr<TQV_00State> {
                 return std::make_unique<TFakeState>(prg, std::move(param), next, *this);
             }}
{
}

// Handlers for scripts: leave on a condition, naming a next state.
inline std::function<bool(TQV_00State&, const TCADEvent&, TCADStateClass&)> LeaveOn(
    std::function<bool(const TCADEvent&)> when, TCADStateClass next)
{
    return [when = std::move(when), next](TQV_00State&, const TCADEvent& e, TCADStateClass& n) {
        if (!when(e))
            return false;
        n = next;
        return true;
    };
}

inline bool IsCancel(const TCADEvent& e) { return e.IsUser(TCADUserEvent::Cancel); }
inline bool IsAccept(const TCADEvent& e) { return e.IsUser(TCADUserEvent::Accept); }
inline bool IsLeftDown(const TCADEvent& e) { return e.IsMouseDown(TCADButton::Left); }
inline bool IsLeftUp(const TCADEvent& e) { return e.IsMouseUp(TCADButton::Left); }

} // namespace kbtest

namespace kbtest {

// A program bound to a fake view and a recording shell, with a driver and
// fake state classes A, B, Pan and Zoom. Pan and Zoom are not suspendable,
// as the real zoom and pan states are not.
struct TCADRig {
    TCADRig()
    {
        Pan.Script.Suspendable = false;
        Zoom.Script.Suspendable = false;
    }

    std::vector<std::string> Journal;
    TFakeStateClass A{"A", Journal};
    TFakeStateClass B{"B", Journal};
    TFakeStateClass Pan{"Pan", Journal};
    TFakeStateClass Zoom{"Zoom", Journal};
    TRecordingNotifier Notifier;
    TRecordingShell Shell;
    TFakeCADView View;
    TQV_00Prog Prg;
    TCADDriver Driver{Prg, View, Shell};

    // Not busy, not suspended, an idle state current.
    bool Idle() const
    {
        return !Prg.Busy() && !Prg.Suspended() && Prg.CurrentState() &&
               Prg.CurrentState()->StateClass() == Prg.IdleClass();
    }
    bool Journaled(const std::string& line) const
    {
        for (const std::string& l : Journal)
            if (l == line)
                return true;
        return false;
    }
};

} // namespace kbtest
