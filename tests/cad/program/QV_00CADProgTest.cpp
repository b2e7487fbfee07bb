// The rules of the interaction program: starting, chaining, ending,
// suspending, resuming, stopping and aborting commands, checked with fake
// states.

#include "cad/program/QV_00CADProg.h"

#include "core/settings/CADPrompts.h"
#include "tests/cad/FakeStates.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qv_00_cad_prog_test {

namespace {

using kbtest::IsAccept;
using kbtest::IsCancel;
using kbtest::IsLeftDown;
using kbtest::IsLeftUp;
using kbtest::LeaveOn;
using kbtest::TCountedParam;
using Strings = std::vector<std::string>;

struct CADProgram : ::testing::Test, kbtest::TCADRig {
    // Logs the program's callbacks as "start A", "enter A", "exit A",
    // "end A", "stop A", "idle" (idle class: "Idle").
    void RecordCallbacks()
    {
        auto name = [this](TCADStateClass c) {
            return !c ? std::string("nil") : c == Prg.IdleClass() ? std::string("Idle") : c->Name;
        };
        auto op = [this, name](const char* what) {
            return [this, name, what](TQV_00CADProg&, TCADStateClass c, TQV_00CADPrgParam*) {
                Calls.push_back(std::string(what) + " " + name(c));
            };
        };
        auto st = [this, name](const char* what) {
            return [this, name, what](TQV_00CADProg&, TQV_00State& s) {
                Calls.push_back(std::string(what) + " " + name(s.StateClass()));
            };
        };
        Prg.OnStartOperation = op("start");
        Prg.OnEndOperation = op("end");
        Prg.OnStopOperation = op("stop");
        Prg.OnEnterState = st("enter");
        Prg.OnExitState = st("exit");
        Prg.OnIdle = [this](TQV_00CADProg&) { Calls.push_back("idle"); };
    }
    TCADStateClass CurrentClass() const { return Prg.CurrentState() ? Prg.CurrentState()->StateClass() : nullptr; }

    Strings Calls;
    int Freed = 0;
};

// Sets prompt slots for the duration of a test.
struct TPromptTexts {
    TPromptTexts(std::initializer_list<std::pair<size_t, std::string>> texts)
    {
        for (const auto& [slot, text] : texts)
            CADPrompts[slot] = text;
    }
    ~TPromptTexts() { CADPrompts.fill(std::string()); }
};

TEST_F(CADProgram, CommandWhoseFirstStateNamesIdleEndsInsideStart)
{
    A.Script.NextOnCreate = Prg.IdleClass();
    RecordCallbacks();

    EXPECT_TRUE(Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed)));

    EXPECT_EQ(Calls, (Strings{"start A", "enter A", "end A", "start Idle", "enter Idle", "idle"}));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(Journal, (Strings{"create A", "free A"}));
}

TEST_F(CADProgram, ParameterAndSuspendableFlagTravelDownTheChain)
{
    A.Script.NextOnCreate = B;
    A.Script.Suspendable = false;
    A.Script.OnEvent = LeaveOn(IsLeftDown, B); // not reached: A hands over at once
    B.Script.OnEvent = LeaveOn(IsLeftUp, A);
    auto owned = std::make_unique<TCountedParam>(Freed);
    TQV_00CADPrgParam* param = owned.get();
    RecordCallbacks();

    ASSERT_TRUE(Prg.StartOperation(A, std::move(owned)));
    EXPECT_EQ(Journal, (Strings{"create A", "free A", "create B"}));
    EXPECT_EQ(CurrentClass(), B);
    EXPECT_EQ(Prg.CurrentState()->Param(), param);
    EXPECT_FALSE(Prg.CurrentState()->Suspendable()) << "the flag of the command's first state";
    EXPECT_EQ(Prg.OperationClass(), A);
    EXPECT_TRUE(Prg.Busy());

    // An event that names a next state: exit, the old state goes, the new
    // one takes its parameter and flag.
    Calls.clear();
    Driver.Click({0, 0});
    EXPECT_EQ(Calls, (Strings{"exit B", "enter A", "enter B"}));
    EXPECT_EQ(Prg.CurrentState()->Param(), param);
    EXPECT_FALSE(Prg.CurrentState()->Suspendable());
    EXPECT_EQ(Freed, 0);
}

TEST_F(CADProgram, LeavingWithoutNextStateEndsLikeNamingIdle)
{
    for (TCADStateClass next : {static_cast<TCADStateClass>(nullptr), Prg.IdleClass()}) {
        SCOPED_TRACE(next ? "idle" : "nil");
        Freed = 0;
        Shell.Ends.clear();
        A.Script.OnEvent = LeaveOn(IsAccept, next);
        auto owned = std::make_unique<TCountedParam>(Freed);
        TQV_00CADPrgParam* param = owned.get();
        Prg.MarkSceneDirty();
        Prg.StartOperation(A, std::move(owned));
        View.Rebuilds.clear();

        Driver.Enter();

        ASSERT_EQ(Shell.Ends.size(), 1u);
        EXPECT_EQ(Shell.Ends[0].Operation, A);
        EXPECT_EQ(Shell.Ends[0].Param, param) << "the parameter is still alive during the callback";
        EXPECT_EQ(Freed, 1);
        EXPECT_TRUE(Idle());
        EXPECT_EQ(View.Rebuilds, std::vector<bool>{false}) << "one rebuild, keeping the stock";
        EXPECT_FALSE(Prg.SceneDirty());
    }
}

TEST_F(CADProgram, StartingWhileACommandRunsStopsItFirst)
{
    int freedB = 0;
    Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed));
    RecordCallbacks();

    EXPECT_TRUE(Prg.StartOperation(B, std::make_unique<TCountedParam>(freedB)));

    EXPECT_EQ(Journal, (Strings{"create A", "stop A", "free A", "create B"}));
    EXPECT_EQ(Calls, (Strings{"start Idle", "enter Idle", "idle", "stop Idle", "start B", "enter B"}));
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(freedB, 0);
    EXPECT_EQ(CurrentClass(), B);
}

TEST_F(CADProgram, StopFreesTheParameterAndReportsTheIdleClass)
{
    Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed));
    Prg.SetLocked(true);
    RecordCallbacks();

    Prg.StopOperation();

    EXPECT_EQ(Freed, 1);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Prg.Locked()) << "the end of an operation clears the lock";
    EXPECT_EQ(Calls, (Strings{"start Idle", "enter Idle", "idle", "stop Idle"})) << "no end of command";
}

TEST_F(CADProgram, LockedProgramDropsEvents)
{
    A.Script.OnEvent = LeaveOn(IsAccept, nullptr);
    Prg.StartOperation(A);
    {
        TCADLockSection lock(Prg);
        Driver.Click({1, 1});
        Driver.Enter();
    }
    EXPECT_TRUE(A.Events.empty());
    EXPECT_TRUE(Prg.Busy());
    Driver.Enter();
    EXPECT_EQ(A.Events.size(), 1u) << "dropped, not queued";
    EXPECT_TRUE(Idle());
}

TEST_F(CADProgram, IdleStateRefusesAParameter)
{
    EXPECT_TRUE(Prg.StartOperation(Prg.IdleClass(), std::make_unique<TCountedParam>(Freed)));

    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "TCADIdleState.Create: Non all objects were destroied");
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_EQ(Notifier.Messages()[0].Caption, "Kestrabel 3");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Freed, 1);
}

// A state that checks its parameter class under a given name, as every
// concrete state does.
class TWantedParam : public TQV_00CommonParam {};

class TCheckingState : public TQV_00State {
public:
    TCheckingState(TQV_00CADProg& prg, TCADStateParam param, const std::string& name)
        : TQV_00State(prg, std::move(param))
    {
        CheckParam<TWantedParam>(name);
    }
};

TEST_F(CADProgram, WrongParameterClassIsReportedAsInvalidParam)
{
    for (const std::string name : {"TQV_Select1Object", "TCAD2DSelectObjects", "TQV2D_DrawSizedPrimitiveParam",
                                   "TQV_40DEOPP", "TQV_70Sel2Punti"}) {
        SCOPED_TRACE(name);
        const TCADStateClassInfo checking{
            name, [name](TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) -> std::unique_ptr<TQV_00State> {
                return std::make_unique<TCheckingState>(prg, std::move(param), name);
            }};
        Notifier.Clear();
        Freed = 0;

        Prg.StartOperation(&checking, std::make_unique<TCountedParam>(Freed)); // another class
        Prg.StartOperation(&checking, nullptr);                               // none at all

        ASSERT_EQ(Notifier.Messages().size(), 2u);
        EXPECT_EQ(Notifier.Messages()[0].Text, name + ": Invalid param");
        EXPECT_EQ(Notifier.Messages()[1].Text, name + ": Invalid param");
        EXPECT_TRUE(Idle());
        EXPECT_EQ(Freed, 1);

        Prg.StartOperation(&checking, std::make_unique<TWantedParam>());
        EXPECT_TRUE(Prg.Busy());
        EXPECT_EQ(CurrentClass(), &checking);
        Prg.StopOperation();
    }
}

TEST_F(CADProgram, ExceptionOfAHandler)
{
    A.Script.OnEvent = [](TQV_00State&, const TCADEvent& e, TCADStateClass&) -> bool {
        if (IsLeftDown(e) || IsAccept(e))
            throw ECADSysException("A.HandleEvent: broken");
        return false;
    };
    Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed));

    // From a view message: shown by the guard, the state stays.
    Driver.Click({2, 2});
    EXPECT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(CurrentClass(), A);
    EXPECT_FALSE(Journaled("stop A"));

    // From a user event: the operation is aborted, then the text shown.
    Notifier.Clear();
    Driver.Enter();
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "A.HandleEvent: broken");
    EXPECT_TRUE(Journaled("stop A"));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Freed, 1);
}

TEST_F(CADProgram, SuspendRefusalsAndTheIdleCase)
{
    // While idle: started as a plain command, answered false.
    EXPECT_FALSE(Prg.SuspendOperation(Zoom));
    EXPECT_TRUE(Prg.Busy());
    EXPECT_FALSE(Prg.Suspended());
    EXPECT_EQ(Prg.OperationClass(), Zoom);

    // Over a command that is not suspendable: refused, nothing changes.
    Prg.StartOperation(Pan);
    Journal.clear();
    EXPECT_FALSE(Prg.SuspendOperation(Zoom));
    EXPECT_EQ(CurrentClass(), Pan);
    EXPECT_TRUE(Journal.empty());

    // A second nesting: refused; and no command starts meanwhile.
    Prg.StartOperation(A);
    ASSERT_TRUE(Prg.SuspendOperation(Zoom));
    Journal.clear();
    EXPECT_FALSE(Prg.SuspendOperation(Pan));
    EXPECT_FALSE(Prg.StartOperation(B, std::make_unique<TCountedParam>(Freed)));
    EXPECT_EQ(CurrentClass(), Zoom);
    EXPECT_EQ(Prg.SuspendedState()->StateClass(), A);
    EXPECT_TRUE(Journal.empty());
    EXPECT_EQ(Freed, 1) << "the refused command's parameter is not leaked";
}

TEST_F(CADProgram, NestedEndResumesTheCommandAndReportsTheNestedClass)
{
    TPromptTexts prompts{{2, "Pan the view"}, {3, "Place the object"}};
    A.Script.PromptSlot = 3;
    A.Script.OnEvent = LeaveOn(IsAccept, nullptr);
    Pan.Script.PromptSlot = 2;
    Pan.Script.OnEvent = [](TQV_00State& self, const TCADEvent& e, TCADStateClass& next) {
        if (!IsLeftUp(e))
            return false;
        self.Program().MarkSceneDirty();
        next = self.Program().IdleClass();
        return true;
    };
    auto owned = std::make_unique<TCountedParam>(Freed);
    TQV_00CADPrgParam* param = owned.get();
    Prg.StartOperation(A, std::move(owned));
    Shell.Prompts.clear();

    ASSERT_TRUE(Prg.SuspendOperation(Pan));
    EXPECT_TRUE(Prg.Suspended());
    EXPECT_TRUE(Prg.HasSuspendedCommand());
    EXPECT_EQ(Prg.CurrentState()->Param(), param) << "a nested operation without parameter shares the command's";
    EXPECT_EQ(Prg.OperationClass(), A);
    EXPECT_EQ(Shell.Prompts, (Strings{"", "Pan the view"}));

    Driver.Drag({0, 0}, {5, 5});

    ASSERT_EQ(Shell.Ends.size(), 1u);
    EXPECT_EQ(Shell.Ends[0].Operation, Pan) << "the main window must not take the command for ended";
    EXPECT_TRUE(Shell.Ends[0].WhileSuspended);
    EXPECT_EQ(CurrentClass(), A);
    EXPECT_TRUE(Prg.Busy());
    EXPECT_FALSE(Prg.Suspended());
    EXPECT_EQ(Prg.OperationClass(), A);
    EXPECT_EQ(Shell.Prompts.back(), "Place the object");
    EXPECT_EQ(View.Rebuilds, std::vector<bool>{false}) << "rebuilt once, at the resume";
    EXPECT_TRUE(Journaled("resume A after Pan"));
    EXPECT_EQ(static_cast<kbtest::TFakeState*>(Prg.CurrentState())->ResumedWith, param);
    EXPECT_EQ(Prg.CurrentState()->Param(), param);
    EXPECT_EQ(Freed, 0);

    Driver.Enter();
    EXPECT_EQ(Shell.Ends.back().Operation, A);
    EXPECT_FALSE(Shell.Ends.back().WhileSuspended);
    EXPECT_EQ(Freed, 1);
}

TEST_F(CADProgram, EscDuringANestedOperationEndsOnlyThatOne)
{
    Pan.Script.OnEvent = LeaveOn(IsCancel, Prg.IdleClass()); // takes the cancel
    // Zoom ignores the cancel: the stop that follows ends it.
    A.Script.OnEvent = LeaveOn(IsCancel, Prg.IdleClass());
    for (kbtest::TFakeStateClass* nested : {&Pan, &Zoom}) {
        SCOPED_TRACE(nested->Name());
        Freed = 0;
        Journal.clear();
        Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed));
        ASSERT_TRUE(Prg.SuspendOperation(*nested));

        Driver.Esc();
        EXPECT_EQ(CurrentClass(), A);
        EXPECT_TRUE(Prg.Busy());
        EXPECT_FALSE(Prg.Suspended());
        EXPECT_FALSE(Journaled("stop A"));
        EXPECT_EQ(Freed, 0);

        Driver.Esc();
        EXPECT_TRUE(Idle());
        EXPECT_EQ(Freed, 1);
    }
}

TEST_F(CADProgram, NestedOperationNeverFreesTheSharedParameter)
{
    auto owned = std::make_unique<TCountedParam>(Freed);
    TQV_00CADPrgParam* param = owned.get();
    Prg.StartOperation(A, std::move(owned));

    // A pan stopped with the base stop hook, which frees its parameter.
    ASSERT_TRUE(Prg.SuspendOperation(Pan));
    Prg.StopOperation();
    EXPECT_TRUE(Journaled("stop Pan"));
    EXPECT_EQ(Freed, 0);
    EXPECT_EQ(CurrentClass(), A);
    EXPECT_EQ(Prg.CurrentState()->Param(), param);

    // A nested operation with a parameter of its own frees that one only.
    int zoomFreed = 0;
    Zoom.Script.OnEvent = LeaveOn(IsLeftDown, nullptr);
    ASSERT_TRUE(Prg.SuspendOperation(Zoom, std::make_unique<TCountedParam>(zoomFreed)));
    Driver.Click({1, 1});
    EXPECT_EQ(zoomFreed, 1);
    EXPECT_EQ(Freed, 0);
    EXPECT_EQ(Prg.CurrentState()->Param(), param);

    Prg.StopOperation();
    EXPECT_EQ(Freed, 1);
}

TEST_F(CADProgram, ConstructorFailureLeavesTheProgramIdleAndNotBusy)
{
    B.Script.ThrowOnCreate = true;
    A.Script.OnEvent = LeaveOn(IsLeftDown, B);

    // Failing in the middle of a command.
    Prg.StartOperation(A, std::make_unique<TCountedParam>(Freed));
    Driver.Click({3, 3});
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "B: failed");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Freed, 1);

    // Failing as the first state: StartOperation still answers true.
    int freed2 = 0;
    EXPECT_TRUE(Prg.StartOperation(B, std::make_unique<TCountedParam>(freed2)));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(freed2, 1);

    // A nested operation that fails resumes the command it interrupted.
    int freed3 = 0;
    Prg.StartOperation(A, std::make_unique<TCountedParam>(freed3));
    Prg.SuspendOperation(B);
    EXPECT_FALSE(Prg.Suspended());
    EXPECT_TRUE(Prg.Busy());
    EXPECT_EQ(CurrentClass(), A);
    EXPECT_EQ(freed3, 0);

    // And the program runs on.
    Journal.clear();
    A.Script.OnEvent = LeaveOn(IsAccept, nullptr);
    Driver.Enter();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(freed3, 1);
    EXPECT_TRUE(Prg.StartOperation(A));
    EXPECT_TRUE(Prg.Busy());
}

TEST_F(CADProgram, DestroyingTheProgramStopsBothStatesOnce)
{
    std::vector<std::string> journal;
    kbtest::TFakeStateClass outer("Outer", journal);
    kbtest::TFakeStateClass pan("Pan", journal);
    pan.Script.Suspendable = false;
    {
        kbtest::TFakeCADView view;
        TQV_00Prog prg;
        prg.SetViewPortGL(&view);
        prg.StartOperation(outer, std::make_unique<TCountedParam>(Freed));
        ASSERT_TRUE(prg.SuspendOperation(pan));
    }
    EXPECT_EQ(journal,
              (Strings{"create Outer", "create Pan", "stop Pan", "free Pan", "stop Outer", "free Outer"}));
    EXPECT_EQ(Freed, 1);
}

TEST_F(CADProgram, ViewThatGoesAwayUnbindsItself)
{
    auto view = std::make_unique<kbtest::TFakeCADView>();
    TQV_00Prog prg;
    prg.SetViewPortGL(view.get());
    EXPECT_EQ(view->MessageHook(), &prg);
    view.reset();
    EXPECT_EQ(prg.ViewPortGL(), nullptr);
    prg.SendUserEvent(TCADUserEvent::Cancel); // no view: nothing happens

    // Rebinding moves the hook.
    kbtest::TFakeCADView first;
    kbtest::TFakeCADView second;
    prg.SetViewPortGL(&first);
    prg.SetViewPortGL(&second);
    EXPECT_EQ(first.MessageHook(), nullptr);
    EXPECT_EQ(second.MessageHook(), &prg);
}

} // namespace

}  // namespace qv_00_cad_prog_test
