// Node editing driven with the mouse over the scene view: the control point
// is dragged on a copy, the entity changes only on accept, with one undo
// step.

#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_60EditPrimitive.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/EntityAssertions.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace node_edit_test {

namespace {

using kbtest::IsAt;
using kbtest::Shown;

struct NodeEdit : ::testing::Test, kbtest::TSceneRig {
    NodeEdit()
    {
        RegisterEntityClasses();
        m_PreviousJournal = SetUndoJournal(&Journal);
        View.ProcessPendingEvents = [this] { ++Rebuilds; };
        // A line moved by (10, 0): the drag works in drawing coordinates.
        Line = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}));
        Line->SetTransform(TMatrix4::CreateTranslation(10, 0, 0));
        Line->ApplyTransform();
    }
    ~NodeEdit() override
    {
        SetUndoJournal(m_PreviousJournal);
        QV_00ClearClassRegistry();
    }

    // The one-object selection, handing over to node editing.
    void PickLine()
    {
        Prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(),
                           std::make_unique<TQV_50SelectObjectsParam>(
                               5, 0, nullptr, StateClassOf<TQV_60EditSelectedPrimitive>()));
        Driver.Click({11, 0, 1});
    }
    TPrimitive2D& Copy() const { return dynamic_cast<TQV_60EditPrimitiveParam&>(*Prg.CurrentState()->Param()).Copy(); }

    TUndoRedo Journal{Doc};
    TLine2D* Line = nullptr;
    int Rebuilds = 0;

private:
    TUndoRedo* m_PreviousJournal = nullptr;
};

TEST_F(NodeEdit, DraggedPointIsTakenOnAcceptWithOneUndoStep)
{
    PickLine();
    ASSERT_EQ(CurrentClass(), "TQV_60EditPrimitive");
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TQV_60EditSelectedPrimitive>());
    EXPECT_EQ(Shell.Prompts.back(), "prompt 11");
    ASSERT_EQ(View.HighlightList().size(), 1u);
    EXPECT_NE(View.HighlightList()[0], Line) << "a copy is shown, not the entity";

    Driver.MoveTo({12, 0, 1});
    Driver.Down();
    EXPECT_EQ(Shell.Prompts.back(), "prompt 12");
    Driver.MoveTo({13, 1, 1});
    Driver.Up();
    EXPECT_EQ(Shell.Prompts.back(), "prompt 11");
    EXPECT_TRUE(IsAt(Shown(Copy(), 1), 13, 1));
    EXPECT_TRUE(IsAt(Shown(*Line, 1), 12, 0)) << "untouched until accepted";
    // A press away from every control point holds nothing: moves change
    // nothing.
    Driver.Drag({11, 0, 1}, {11, 3, 1});
    EXPECT_TRUE(IsAt(Shown(Copy(), 0), 10, 0));

    Driver.Enter();
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(IsAt(Shown(*Line, 0), 10, 0));
    EXPECT_TRUE(IsAt(Shown(*Line, 1), 13, 1));
    EXPECT_TRUE(IsAt(Line->Points().Get(1), 3, 1)) << "stored in the entity's own coordinates";
    EXPECT_TRUE(View.HighlightList().empty());
    EXPECT_EQ(Rebuilds, 1);
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::NodeEdit);
    EXPECT_EQ(Journal.Steps()[0].ValueCount, 1);

    Journal.Undo();
    EXPECT_TRUE(IsAt(Shown(*Line, 1), 12, 0));
}

TEST_F(NodeEdit, EscapeLeavesTheEntityAndRebuildsTheScene)
{
    PickLine();
    Driver.Drag({12, 0, 1}, {15, 5, 1});
    Driver.Esc();
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(IsAt(Shown(*Line, 1), 12, 0));
    EXPECT_TRUE(View.HighlightList().empty());
    EXPECT_EQ(Rebuilds, 1);
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST_F(NodeEdit, StatesCheckTheirParameter)
{
    struct Case {
        TCADStateClass State;
        const char* Message;
    };
    for (const Case& c :
         {Case{StateClassOf<TQV_60EditSelectedPrimitive>(), "TQV_51EditSelectedPrimitive: Invalid param"},
          Case{StateClassOf<TQV_60EditPrimitive>(), "TQV2D_EditPrimitive: Invalid param"}}) {
        Notifier.Clear();
        // A selection without a primitive, and a parameter without one.
        Prg.StartOperation(c.State, std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr));
        ASSERT_FALSE(Notifier.Messages().empty());
        EXPECT_EQ(Notifier.Messages().back().Text, c.Message);
        EXPECT_TRUE(Idle());
    }

    // An entity whose class is not registered cannot be edited.
    QV_00ClearClassRegistry();
    Notifier.Clear();
    auto param = std::make_unique<TQV_00CADPrgParam>();
    param->SetUserObject(Line);
    Prg.StartOperation(StateClassOf<TQV_60EditPrimitive>(), std::move(param));
    ASSERT_FALSE(Notifier.Messages().empty());
    EXPECT_EQ(Notifier.Messages().back().Text, "TQV_EditPrimitive: Only registered classes are allowed");
}

} // namespace

}  // namespace node_edit_test
