// The offset command driven through the selection, the tool window's
// distance edit and flip button, and OK or Esc: preview, commit in copy and
// move mode, the undo steps and their undo, and what ends it without a
// change.

#include "cad/edit/BreakIDs.h"
#include "cad/edit/QV_85Offset.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/JournalRig.h"

#include <osg/Group>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace offset_command_test {

namespace {

using kbtest::IsAt;
using kbtest::Shown;

struct OffsetCommand : kbtest::TJournalRig {
    // The preview objects drawn into the view's selection group.
    unsigned SelectionChildren()
    {
        const TOsgSceneBuilder& builder = View.SceneBuilder();
        return builder.ObjectsIn(builder.Group(TSceneGroup::Selection));
    }
    // Starts the command as the main window does and picks at p.
    void PickAt(const TPoint2D& p)
    {
        ASSERT_TRUE(StartOffsetCommand(Prg, nullptr));
        Driver.Click(p);
        ASSERT_EQ(CurrentClass(), "TQV_85OffsetTrasforma");
        ASSERT_NE(CurrentOffsetParam(), nullptr);
    }
    void ExpectEndedWithoutParameter()
    {
        EXPECT_TRUE(Idle()) << CurrentClass();
        ASSERT_FALSE(Shell.Ends.empty());
        EXPECT_EQ(Shell.Ends.back().Operation, StateClassOf<TQV_85OffsetTrasforma>())
            << "the main window hides the tool window";
        EXPECT_EQ(CurrentOffsetParam(), nullptr);
    }
};

TEST_F(OffsetCommand, CopyPreviewsEditsThenAddsOnOkAndUndoes)
{
    TLine2D* line = AddOn(1, std::make_unique<TLine2D>(-1, TPoint2D{-10, 0, 1}, TPoint2D{10, 0, 1}));
    Doc.SetCurrentLayer(4);
    Shell.Texts[TToolWinText::OffsetDist] = "2";
    Prg.UsaSnap = true;
    PickAt({0, 0, 1});

    EXPECT_FALSE(Prg.UsaSnap);
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TQV_85OffsetSelObj>());
    TQV_85OffsetParam& param = *CurrentOffsetParam();
    EXPECT_EQ(param.Entity(), line);
    EXPECT_EQ(param.Distance(), 2.0);
    EXPECT_EQ(SelectionChildren(), 1u) << "the preview";
    EXPECT_EQ(Doc.ObjectsCount(), 1);

    for (const char* ignored : {"", ".", "1,5", "x"})
        OffsetDistanceChanged(ignored);
    EXPECT_EQ(param.Distance(), 2.0);
    OffsetDistanceChanged("5");
    OffsetSideFlipped();
    EXPECT_EQ(param.Distance(), 5.0);
    EXPECT_TRUE(param.Flipped());
    EXPECT_EQ(SelectionChildren(), 1u) << "each edit redraws the one preview";
    EXPECT_EQ(Doc.ObjectsCount(), 1);

    Driver.ToolWinOk();
    ExpectEndedWithoutParameter();
    const std::vector<TLine2D*> added = AddedAfter<TLine2D>(1);
    ASSERT_EQ(added.size(), 1u);
    ASSERT_NE(added[0], nullptr);
    EXPECT_TRUE(IsAt(Shown(*added[0], 0), -10, -5)) << "flipped: right of its direction";
    EXPECT_TRUE(IsAt(Shown(*added[0], 1), 10, -5));
    EXPECT_TRUE(added[0]->Pickable());
    EXPECT_EQ(added[0]->Layer(), 4) << "the current layer";
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::OffsetCopy);
    EXPECT_EQ(LastStepValues(), std::vector<int32_t>{added[0]->ID()});
    EXPECT_EQ(SelectionChildren(), 0u) << "the preview is gone";

    Journal.Undo();
    EXPECT_EQ(Objects(), std::vector<TObject2D*>{line});
}

TEST_F(OffsetCommand, MoveReplacesThePickedEntityAndUndoBringsItBack)
{
    TCerchio2D* circle = AddOn(2, std::make_unique<TCerchio2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{5, 0, 1}));
    const int32_t circleID = circle->ID();
    Shell.Checks[TToolWinCheck::OffsetMove] = true;
    PickAt({5, 0, 1});
    Driver.ToolWinOk();

    ExpectEndedWithoutParameter();
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    auto* result = dynamic_cast<TCerchio2D*>(objects[0]);
    ASSERT_NE(result, nullptr);
    TPoint2D centre;
    double radius = 0;
    result->GetCircle(centre, radius);
    EXPECT_DOUBLE_EQ(radius, 4.0) << "not flipped: shrunk by the distance";
    EXPECT_EQ(Journal.Steps().back().Kind, TUndoKind::OffsetReplace);
    EXPECT_EQ(LastStepValues(), (std::vector<int32_t>{result->ID(), circleID})) << "the new ones, then the picked";
    EXPECT_EQ(BreakIDs(), LastStepValues());

    Journal.Undo();
    const std::vector<TObject2D*> restored = Objects();
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0]->ID(), circleID);
    EXPECT_EQ(restored[0]->Layer(), 2);
    ASSERT_NE(dynamic_cast<TCerchio2D*>(restored[0]), nullptr);
    dynamic_cast<TCerchio2D*>(restored[0])->GetCircle(centre, radius);
    EXPECT_DOUBLE_EQ(radius, 5.0);
}

TEST_F(OffsetCommand, NothingChangesWithoutAResult)
{
    // Esc; an entity shrunk away in move and in copy mode; a kind that has
    // no offset; the picked entity gone from the drawing before OK. None
    // adds, deletes or records anything.
    struct TCase {
        const char* Name;
        bool Move;
        bool Cancel;
        bool DeleteFirst;
        bool Point;
    };
    const TCase cases[] = {
        {"Esc", true, true, false, false},
        {"shrunk away, move", true, false, false, false},
        {"shrunk away, copy", false, false, false, false},
        {"a point", true, false, false, true},
        {"entity deleted meanwhile", false, false, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Doc.DeleteAllObjects();
        Journal.Clear();
        Shell.Checks[TToolWinCheck::OffsetMove] = c.Move;
        Shell.Texts[TToolWinText::OffsetDist] = c.Cancel ? "1" : "3";
        TObject2D* picked = c.Point
                                ? static_cast<TObject2D*>(AddOn(0, std::make_unique<TPunto2D>(-1, TPoint2D{2, 2, 1})))
                                : AddOn(0, std::make_unique<TCerchio2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}));
        PickAt(c.Point ? TPoint2D{2, 2, 1} : TPoint2D{2, 0, 1});
        if (c.DeleteFirst) {
            Doc.DeleteObject(picked->ID());
            picked = nullptr;
            EXPECT_EQ(CurrentOffsetParam()->Entity(), nullptr);
            OffsetDistanceChanged("0.5"); // does nothing without its entity
        }
        if (c.Cancel)
            Driver.Esc();
        else
            Driver.ToolWinOk();
        ExpectEndedWithoutParameter();
        EXPECT_EQ(Objects(), picked ? std::vector<TObject2D*>{picked} : std::vector<TObject2D*>{});
        EXPECT_TRUE(Journal.Steps().empty());
        EXPECT_EQ(SelectionChildren(), 0u);
    }
}

TEST_F(OffsetCommand, StatesRefuseParametersOfAnotherClass)
{
    const std::pair<TCADStateClass, std::string> cases[] = {
        {StateClassOf<TQV_85OffsetSelObj>(), "TQV_85OffsetSelObj: Invalid param"},
        {StateClassOf<TQV_85OffsetTrasforma>(), "TQV_85OffsetTrasforma: Invalid param"},
    };
    for (const auto& [cls, text] : cases) {
        Notifier.Clear();
        Prg.StartOperation(cls, std::make_unique<kbtest::TProbeParam>(Log));
        EXPECT_TRUE(Idle()) << text;
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, text);
    }
    // An empty selection ends the command at once.
    Prg.StartOperation(StateClassOf<TQV_85OffsetSelObj>(),
                       std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(CurrentOffsetParam(), nullptr);
}

TEST_F(OffsetCommand, StoppingTheCommandFreesItsParameter)
{
    AddOn(0, std::make_unique<TLine2D>(-1, TPoint2D{-10, 0, 1}, TPoint2D{10, 0, 1}));
    PickAt({0, 0, 1});
    Prg.StopOperation();
    EXPECT_EQ(CurrentOffsetParam(), nullptr);
    OffsetDistanceChanged("4"); // reaches no freed parameter
    OffsetSideFlipped();
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_EQ(SelectionChildren(), 0u);
}

} // namespace

}  // namespace offset_command_test
