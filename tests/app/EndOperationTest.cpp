// The end-of-command rules of the main window, driven through a real
// interaction program with a stand-in command that ends on Accept.

#include "app/EndOperation.h"

#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "cad/edit/QV_85Offset.h"
#include "tests/cad/support/CADDriver.h"

#include <gtest/gtest.h>

namespace {

// Waits for Accept, then ends its operation.
class TUntilAccept : public TQV_00State {
public:
    TUntilAccept(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param)) {}
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override
    {
        if (!event.IsUser(TCADUserEvent::Accept))
            return false;
        nextState = nullptr;
        return true;
    }
};

// A second class of the same behaviour, for the nested operation.
class TNestedUntilAccept : public TUntilAccept {
    using TUntilAccept::TUntilAccept;
};

struct EndOperation : ::testing::Test {
    EndOperation()
    {
        Prg.SetViewPortGL(&View); // events reach a command only through a view
        End.HideToolWin = [this] { ++Hidden; };
        End.RefreshPanel = [this] { ++Refreshed; };
        Prg.OnEndOperation = [this](TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam*) {
            End.QV_PrgEndOperation(sender, operation);
        };
    }

    kbtest::TFakeCADView View;
    TQV_00Prog Prg;
    TEndOperation End;
    int Hidden = 0;
    int Refreshed = 0;
};

TEST_F(EndOperation, TransformAndOffsetCommandsHideTheToolWindow)
{
    struct TCase {
        TCADStateClass Operation;
        bool Hides;
    };
    for (const TCase& c : {TCase{StateClassOf<TQV_81TraslaSelectedObjects>(), true},
                           TCase{StateClassOf<TQV_82RuotaSelectedObjects>(), true},
                           TCase{StateClassOf<TQV_83SpecchiaSelectedObjects>(), true},
                           TCase{StateClassOf<TQV_84ScalaSelectedObjects>(), true},
                           TCase{StateClassOf<TQV_85OffsetTrasforma>(), true},
                           TCase{StateClassOf<TQV_85OffsetSelObj>(), false},
                           TCase{StateClassOf<TUntilAccept>(), false}}) {
        SCOPED_TRACE(c.Operation->Name);
        Hidden = Refreshed = 0;
        Prg.UsaSnap = true;
        ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
        // As the transform and offset states do: they name themselves.
        Prg.SetOperationClass(c.Operation);
        Prg.SendUserEvent(TCADUserEvent::Accept);
        EXPECT_EQ(Hidden, c.Hides ? 1 : 0);
        EXPECT_EQ(Refreshed, 1);
        EXPECT_FALSE(Prg.UsaSnap);
    }
}

TEST_F(EndOperation, ANestedEndLeavesTheInterruptedCommandAlone)
{
    Prg.UseOrto = true;
    Prg.UsaSnap = true;
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    End.SaveOrtho(Prg); // as the rectangle command does
    EXPECT_FALSE(Prg.UseOrto);
    ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TNestedUntilAccept>()));

    Prg.SendUserEvent(TCADUserEvent::Accept); // ends the nested operation only
    ASSERT_TRUE(Prg.Busy());
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TUntilAccept>());
    EXPECT_TRUE(Prg.UsaSnap);
    EXPECT_FALSE(Prg.UseOrto);
    EXPECT_TRUE(End.OrthoSaved());
    EXPECT_EQ(Refreshed, 0);

    Prg.SendUserEvent(TCADUserEvent::Accept); // the command's own end
    EXPECT_TRUE(Prg.UseOrto);
    EXPECT_FALSE(End.OrthoSaved());
    EXPECT_FALSE(Prg.UsaSnap);
    EXPECT_EQ(Refreshed, 1);
}

TEST_F(EndOperation, AStoppedRectangleDoesNotCostTheUsersOrtho)
{
    // A stop does not report an end: the first saved value must survive a
    // second start of the command.
    Prg.UseOrto = true;
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    End.SaveOrtho(Prg);
    Prg.StopOperation();
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    End.SaveOrtho(Prg);
    Prg.SendUserEvent(TCADUserEvent::Accept);
    EXPECT_TRUE(Prg.UseOrto);

    // Saved off, restored off.
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    End.SaveOrtho(Prg);
    Prg.UseOrto = false;
    Prg.SendUserEvent(TCADUserEvent::Accept);
    EXPECT_TRUE(Prg.UseOrto);
}

} // namespace

namespace {

TEST_F(EndOperation, APendingSingleSelectionKeepsThePanelOnce)
{
    End.SingleSelectPending = true;
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    Prg.SendUserEvent(TCADUserEvent::Accept);
    EXPECT_EQ(Refreshed, 0);
    EXPECT_FALSE(End.SingleSelectPending);

    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TUntilAccept>()));
    Prg.SendUserEvent(TCADUserEvent::Accept);
    EXPECT_EQ(Refreshed, 1);
}

} // namespace
