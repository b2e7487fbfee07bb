// The transform commands (translate, rotate, scale, mirror) driven with the
// mouse and the tool-window fields over the scene view and a document: what
// they do to the drawing, the undo step each records and its undo.

#include "cad/edit/BreakIDs.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/EntityAssertions.h"
#include "tests/cad/SceneDriverRig.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace transform_states_test {

namespace {

using kbtest::IsAt;
using kbtest::Shown;

struct TransformCommands : ::testing::Test, kbtest::TSceneRig {
    TransformCommands()
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        m_PreviousJournal = SetUndoJournal(&Journal);
    }
    ~TransformCommands() override
    {
        SetUndoJournal(m_PreviousJournal);
        SetLanguageIni(nullptr);
        QV_00ClearClassRegistry();
    }

    // Starts the command's starter on a selection of the objects, as the
    // selection hands it over.
    template <class TStarter> void StartOn(const std::vector<TObject2D*>& objects)
    {
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr);
        for (TObject2D* object : objects)
            selection->Select(*object);
        Prg.StartOperation(StateClassOf<TStarter>(), std::move(selection));
    }

    // The IDs in the records of the newest undo step, in record order.
    std::vector<int32_t> RecordedIDs()
    {
        std::vector<int32_t> ids;
        const TUndoObj& step = Journal.Steps().back();
        TMemoryStream& stream = Journal.JournalStream();
        const int64_t kept = stream.Position();
        int64_t begin = step.Position;
        for (int64_t end : step.RecordEnds) {
            stream.SetPosition(begin);
            const std::unique_ptr<TGraphicObject> object = TUndoRedo::ReadObject(stream);
            ids.push_back(object ? object->ID() : -999);
            begin = end;
        }
        stream.SetPosition(kept);
        return ids;
    }
    TUndoKind LastKind() const { return Journal.Steps().back().Kind; }

    std::vector<TObject2D*> Objects()
    {
        std::vector<TObject2D*> result;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            result.push_back(dynamic_cast<TObject2D*>(o));
        return result;
    }
    // The objects added after the first n, in document order.
    template <class T> std::vector<T*> AddedAfter(size_t n)
    {
        std::vector<T*> result;
        const std::vector<TObject2D*> all = Objects();
        for (size_t i = n; i < all.size(); ++i)
            result.push_back(dynamic_cast<T*>(all[i]));
        return result;
    }

    TBitmap2D* AddBitmap()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        return Add(std::make_unique<TBitmap2D>(-1, TPoint2D{10, 10, 1}, TPoint2D{12, 12, 1}, image));
    }

    TUndoRedo Journal{Doc};
    kbtest::TRecordingWorkMonitor Monitor;

private:
    TUndoRedo* m_PreviousJournal = nullptr;
};

TEST_F(TransformCommands, TranslateOfAWindowSelectionMovesInPlaceThenUndoes)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}));
    TCerchio2D* circle = Add(std::make_unique<TCerchio2D>(-1, TPoint2D{5, 5, 1}, TPoint2D{6, 5, 1}));
    // Picked circle first: the step keeps the selection's order.
    Prg.StartOperation(StateClassOf<TQV_50SelectObjects>(),
                       std::make_unique<TQV_50SelectObjectsParam>(
                           5, 0, nullptr, StateClassOf<TQV_81TraslaSelectedObjects>()));
    Driver.Click({6, 5, 1});
    Driver.Click({1, 0, 1});
    Driver.Enter();

    ASSERT_EQ(CurrentClass(), "TQV_80TrasformaOggetti");
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TQV_81TraslaSelectedObjects>());
    ASSERT_EQ(Shell.Pages.size(), 1u);
    EXPECT_EQ(Shell.Pages[0].CaptionKey, "twTrans");
    EXPECT_EQ(Shell.Pages[0].Tabs, std::vector<TToolWinTab>{TToolWinTab::Translate});
    EXPECT_EQ(Shell.Pages[0].ClientHeight, 214);
    EXPECT_EQ(Shell.Prompts.back(), "prompt 8");
    EXPECT_TRUE(Prg.UsaSnap);

    Driver.Click({0, 0, 1});
    EXPECT_EQ(Shell.Prompts.back(), "prompt 10");
    Driver.MoveTo({1, 1, 1});
    EXPECT_TRUE(IsAt(Shown(*line, 1), 3, 1)) << "previewed";
    EXPECT_EQ(View.OverlayMode(), OverlayBits::HighlightsOnly);
    Driver.Click({3, 1, 1});

    EXPECT_TRUE(Idle());
    ASSERT_EQ(Shell.Ends.size(), 1u);
    EXPECT_TRUE(IsTransformStarter(Shell.Ends[0].Operation)) << "the main window hides the tool window";
    EXPECT_EQ(line->PendingTransform(), nullptr);
    EXPECT_TRUE(IsAt(Shown(*line, 0), 3, 1));
    EXPECT_TRUE(IsAt(Shown(*circle, 0), 8, 6));
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_EQ(LastKind(), TUndoKind::Transform);
    EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{circle->ID(), line->ID()}));
    EXPECT_EQ(CurrentTransformParam(), nullptr);

    Journal.Undo();
    EXPECT_TRUE(IsAt(Shown(*line, 0), 0, 0));
    EXPECT_TRUE(IsAt(Shown(*line, 1), 2, 0));
    EXPECT_TRUE(IsAt(Shown(*circle, 0), 5, 5));
}

TEST_F(TransformCommands, TranslateCopiesRepeatTheDisplacement)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}));
    TCerchio2D* circle = Add(std::make_unique<TCerchio2D>(-1, TPoint2D{5, 5, 1}, TPoint2D{6, 5, 1}));
    Shell.Copy = true;
    Shell.Texts[TToolWinText::TransRepeat] = "2";
    StartOn<TQV_81TraslaSelectedObjects>({line, circle});
    ASSERT_NE(CurrentTransformParam(), nullptr);
    EXPECT_EQ(CurrentTransformParam()->Copies, 2);
    TransformRepeatChanged("3"); // the user edits the repeat field meanwhile
    TransformRepeatChanged("");

    Driver.Click({0, 0, 1});
    Driver.Click({3, 1, 1});

    // The originals stay; copy j of each carries the displacement j times.
    EXPECT_TRUE(IsAt(Shown(*line, 0), 0, 0));
    EXPECT_TRUE(IsAt(Shown(*circle, 0), 5, 5));
    const std::vector<TObject2D*> copies = AddedAfter<TObject2D>(2);
    ASSERT_EQ(copies.size(), 6u);
    for (int j = 1; j <= 3; ++j) {
        auto* lineCopy = dynamic_cast<TLine2D*>(copies[j - 1]);
        auto* circleCopy = dynamic_cast<TCerchio2D*>(copies[2 + j]);
        ASSERT_TRUE(lineCopy && circleCopy);
        EXPECT_TRUE(IsAt(Shown(*lineCopy, 1), 2 + 3 * j, j));
        EXPECT_TRUE(IsAt(Shown(*circleCopy, 0), 5 + 3 * j, 5 + j));
    }
    EXPECT_EQ(LastKind(), TUndoKind::TransformCopies);
    std::vector<int32_t> expected;
    for (TObject2D* copy : copies)
        expected.push_back(copy->ID());
    EXPECT_EQ(RecordedIDs(), expected);

    Journal.Undo();
    EXPECT_EQ(Objects(), (std::vector<TObject2D*>{line, circle}));
}

TEST_F(TransformCommands, RotatingARectangleKeepsItInPlaceButCopiesItAsPolylines)
{
    for (const bool copy : {false, true}) {
        Doc.DeleteAllObjects();
        TRectangle2D* rect = Add(std::make_unique<TRectangle2D>(-1, TPoint2D{1, 0, 1}, TPoint2D{3, 1, 1}));
        Shell.Copy = copy;
        Shell.Texts[TToolWinText::RotateRepeat] = "2";
        StartOn<TQV_82RuotaSelectedObjects>({rect});
        EXPECT_EQ(Shell.Pages.back().CaptionKey, "twRotate");
        Driver.Click({0, 0, 1});
        Driver.MoveTo({0, 5, 1});
        EXPECT_EQ(Shell.Texts[TToolWinText::RotateAngle], "90") << "the mouse's angle is shown";
        Driver.Click({0, 5, 1});

        if (!copy) {
            ASSERT_EQ(Doc.ObjectsCount(), 1);
            EXPECT_NE(rect->ModelTransform(), nullptr);
            EXPECT_TRUE(IsAt(Shown(*rect, 1), -1, 3));
            EXPECT_EQ(LastKind(), TUndoKind::Transform);
            Journal.Undo();
            EXPECT_TRUE(IsAt(Shown(*rect, 1), 3, 1));
            continue;
        }
        const std::vector<TPolyline2D*> copies = AddedAfter<TPolyline2D>(1);
        ASSERT_EQ(copies.size(), 2u);
        ASSERT_TRUE(copies[0] && copies[1]) << "polylines, not rectangles";
        // The corner (3, 1) a quarter and a half turn about the origin.
        EXPECT_TRUE(IsAt(Shown(*copies[0], 2), -1, 3));
        EXPECT_TRUE(IsAt(Shown(*copies[1], 2), -3, -1));
        EXPECT_EQ(rect->PendingTransform(), nullptr);
        EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{copies[0]->ID(), copies[1]->ID()}));
        Journal.Undo();
        EXPECT_EQ(Doc.ObjectsCount(), 1);
    }
}

// Typing a factor scales by that factor, in uniform and in X/Y mode, at any
// zoom. In X/Y mode without copies the objects are replaced: a circle by a
// polyline.
TEST_F(TransformCommands, TypedScaleFactorIsTheScaleAtEveryZoom)
{
    struct Case {
        bool Uniform;
        double HalfWidth; // of the zoomed box; 40 units on 800 pixels, then 10
    };
    for (const Case& c : {Case{true, 24}, Case{true, 6}, Case{false, 24}, Case{false, 6}}) {
        SCOPED_TRACE(std::string(c.Uniform ? "uniform" : "x/y") + " at " + std::to_string(c.HalfWidth));
        Doc.DeleteAllObjects();
        View.ZoomToBox(TBox3D{{-c.HalfWidth, -c.HalfWidth * 4 / 3, 0, 1}, {c.HalfWidth, c.HalfWidth * 4 / 3, 0, 1}});
        TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{1, 1, 1}, TPoint2D{3, 1, 1}));
        TCerchio2D* circle = Add(std::make_unique<TCerchio2D>(-1, TPoint2D{4, 0, 1}, TPoint2D{5, 0, 1}));
        Shell.Copy = false;
        Shell.UniformScale = c.Uniform;
        Shell.Checks[TToolWinCheck::ScaleUniform] = c.Uniform;
        const int32_t lineID = line->ID();
        const int32_t circleID = circle->ID();
        StartOn<TQV_84ScalaSelectedObjects>({line, circle});
        Driver.Click({0, 0, 1});
        const TPoint2D base = CurrentTransformParam()->P1;
        Driver.EditToolWin(TToolWinText::ScaleX, "2");
        Driver.EditToolWin(TToolWinText::ScaleY, c.Uniform ? "" : "3");
        const double sy = c.Uniform ? 2 : 3;
        Driver.ToolWinOk();
        ASSERT_TRUE(Idle());

        if (c.Uniform) {
            EXPECT_EQ(LastKind(), TUndoKind::Transform);
            EXPECT_TRUE(IsAt(Shown(*line, 1), base.X + 2 * (3 - base.X), base.Y + 2 * (1 - base.Y)));
            EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{line->ID(), circle->ID()}));
            Journal.Undo();
            EXPECT_TRUE(IsAt(Shown(*line, 1), 3, 1));
            continue;
        }
        const std::vector<TObject2D*> all = Objects();
        ASSERT_EQ(all.size(), 2u) << "the originals are gone";
        auto* newLine = dynamic_cast<TLine2D*>(all[0]);
        auto* newCircle = dynamic_cast<TPolyline2D*>(all[1]);
        ASSERT_TRUE(newLine && newCircle);
        EXPECT_TRUE(IsAt(Shown(*newLine, 0), base.X + 2 * (1 - base.X), base.Y + sy * (1 - base.Y)));
        EXPECT_TRUE(IsAt(Shown(*newLine, 1), base.X + 2 * (3 - base.X), base.Y + sy * (1 - base.Y)));
        // The polyline runs through the stretched circle: x radius 2, y 3.
        for (int i = 0; i < newCircle->Points().Count(); ++i) {
            const TPoint2D p = Shown(*newCircle, i);
            const double u = (p.X - (base.X + 2 * (4 - base.X))) / 2;
            const double v = (p.Y - (base.Y + sy * (0 - base.Y))) / sy;
            EXPECT_NEAR(u * u + v * v, 1.0, 1e-6);
        }
        EXPECT_EQ(LastKind(), TUndoKind::ScaleReplace);
        EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{lineID, newLine->ID(), circleID, newCircle->ID()}));
        Journal.Undo();
        const std::vector<TObject2D*> back = Objects();
        ASSERT_EQ(back.size(), 2u);
        auto* oldCircle = dynamic_cast<TCerchio2D*>(Doc.GetObject(circleID));
        ASSERT_NE(oldCircle, nullptr) << "the circle is back, unscaled";
        EXPECT_TRUE(IsAt(Shown(*oldCircle, 1), 5, 0));
        EXPECT_NE(Doc.GetObject(lineID), nullptr);
    }
}

TEST_F(TransformCommands, UnevenScaleLeavesObjectsItCannotReplace)
{
    TBitmap2D* bitmap = AddBitmap();
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{1, 1, 1}, TPoint2D{3, 1, 1}));
    const int32_t lineID = line->ID();
    StartOn<TQV_84ScalaSelectedObjects>({bitmap, line});
    Driver.EditToolWin(TToolWinText::ScaleX, "2");
    Driver.EditToolWin(TToolWinText::ScaleY, "3");
    Driver.ToolWinOk();

    ASSERT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_EQ(Objects().front(), bitmap) << "kept";
    EXPECT_FALSE(bitmap->HasTransform()) << "and left as it was";
    EXPECT_EQ(Doc.GetObject(lineID), nullptr);
    auto* newLine = dynamic_cast<TLine2D*>(Objects().back());
    ASSERT_NE(newLine, nullptr);
    EXPECT_TRUE(IsAt(Shown(*newLine, 1), 6, 3));
    EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{lineID, newLine->ID()}));
    ASSERT_FALSE(Monitor.StatusMessages.empty());
    EXPECT_EQ(Monitor.StatusMessages.back(),
              "1 object(s) cannot be copied or scaled unevenly and were left as they were.");

    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_NE(Doc.GetObject(lineID), nullptr);
    EXPECT_EQ(Doc.GetObject(bitmap->ID()), bitmap);
}

TEST_F(TransformCommands, CopiesRecordOnlyTheCopiesMade)
{
    TBitmap2D* bitmap = AddBitmap();
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{1, 1, 1}, TPoint2D{3, 1, 1}));
    Shell.Copy = true;
    Shell.Texts[TToolWinText::TransRepeat] = "2";
    StartOn<TQV_81TraslaSelectedObjects>({bitmap, line});
    Driver.EditToolWin(TToolWinText::TransDx, "1");
    Driver.EditToolWin(TToolWinText::TransDy, "0");
    Driver.ToolWinOk();

    const std::vector<TLine2D*> copies = AddedAfter<TLine2D>(2);
    ASSERT_EQ(copies.size(), 2u);
    ASSERT_TRUE(copies[0] && copies[1]);
    EXPECT_EQ(LastKind(), TUndoKind::TransformCopies);
    EXPECT_EQ(RecordedIDs(), (std::vector<int32_t>{copies[0]->ID(), copies[1]->ID()}));
    EXPECT_EQ(BreakIDs(), (std::vector<int32_t>{copies[0]->ID(), copies[1]->ID()}));
    EXPECT_FALSE(Monitor.StatusMessages.empty());
    EXPECT_FALSE(bitmap->HasTransform());

    Journal.Undo();
    EXPECT_EQ(Objects(), (std::vector<TObject2D*>{bitmap, line}));
}

// A point entered in the coordinate dialog arrives as a click without a
// mouse move: the scale is that of the entered point, not of the last
// preview.
TEST_F(TransformCommands, EnteredPointScalesByItsOwnOffset)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{1, 1, 1}, TPoint2D{3, 1, 1}));
    const int32_t lineID = line->ID();
    StartOn<TQV_84ScalaSelectedObjects>({line});
    Driver.Click({0, 0, 1});
    Driver.MoveTo({2, 1, 1});
    Driver.TypePoint({7.1, 7.1, 1});

    // 71 pixels each way, one factor unit per 25 x sqrt 2 pixels.
    const double s = 71.0 / (25.0 * std::numbers::sqrt2);
    ASSERT_EQ(Doc.GetObject(lineID), nullptr);
    auto* newLine = dynamic_cast<TLine2D*>(Objects().back());
    ASSERT_NE(newLine, nullptr);
    EXPECT_TRUE(IsAt(Shown(*newLine, 1), 3 * s, 1 * s));
}

TEST_F(TransformCommands, MirrorByAxisChoiceOrByTwoPoints)
{
    // Axis item 2 (X negated about the origin), moving: kind 14.
    TFrame2D* frame = Add(std::make_unique<TFrame2D>(-1, TPoint2D{1, 0, 1}, TPoint2D{3, 1, 1}));
    StartOn<TQV_83SpecchiaSelectedObjects>({frame});
    EXPECT_EQ(Shell.Pages.back().CaptionKey, "twMirror");
    Driver.ChooseMirrorAxis(2);
    EXPECT_TRUE(IsAt(Shown(*frame, 1), -3, 1)) << "previewed";
    Driver.ToolWinOk();
    EXPECT_TRUE(IsAt(Shown(*frame, 1), -3, 1));
    EXPECT_EQ(LastKind(), TUndoKind::Transform);
    Journal.Undo();
    EXPECT_TRUE(IsAt(Shown(*frame, 1), 3, 1));

    // About the diagonal through (0, 0) and (1, 1), copying: the frame's copy
    // is a polyline with X and Y swapped; one copy whatever the repeat says.
    Shell.Copy = true;
    Shell.Indexes[TToolWinIndex::MirrorAxis] = 2;
    Shell.Texts[TToolWinText::TransRepeat] = "4";
    StartOn<TQV_83SpecchiaSelectedObjects>({frame});
    Driver.Click({0, 0, 1});
    EXPECT_EQ(Shell.Indexes[TToolWinIndex::MirrorAxis], 0) << "the axis is now the two points";
    Driver.Click({1, 1, 1});
    const std::vector<TPolyline2D*> copies = AddedAfter<TPolyline2D>(1);
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_NE(copies[0], nullptr);
    EXPECT_TRUE(IsAt(Shown(*copies[0], 2), 1, 3));
    EXPECT_EQ(LastKind(), TUndoKind::TransformCopies);
    EXPECT_EQ(RecordedIDs(), std::vector<int32_t>{copies[0]->ID()});
    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 1);
}

// Orthogonal mode squares the mouse's second point; typed values are taken
// as typed.
TEST_F(TransformCommands, OrthoModeSquaresTheMouseButNotTypedValues)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{10, 0, 1}));
    Prg.UseOrto = true;

    StartOn<TQV_81TraslaSelectedObjects>({line});
    Driver.Click({0, 0, 1});
    Driver.MoveTo({3, 1, 1});
    EXPECT_TRUE(IsAt(Shown(*line, 0), 3, 0)) << "the mouse is squared";
    Driver.EditToolWin(TToolWinText::TransDx, "2.5");
    Driver.EditToolWin(TToolWinText::TransDy, "-1");
    Driver.ToolWinOk();
    EXPECT_TRUE(IsAt(Shown(*line, 0), 2.5, -1));

    StartOn<TQV_82RuotaSelectedObjects>({line});
    Driver.Click({2.5, -1, 1});
    Driver.EditToolWin(TToolWinText::RotateAngle, "30");
    Driver.ToolWinOk();
    const TPoint2D end = Shown(*line, 1);
    EXPECT_NEAR(std::atan2(end.Y + 1, end.X - 2.5) * 180 / std::numbers::pi, 30.0, 1e-5);
    EXPECT_NEAR(std::hypot(end.Y + 1, end.X - 2.5), 10.0, 1e-6);
}

// Cancel, Escape and a plain stop leave the objects without their preview;
// the tool window's repeat field then has no command to write to.
TEST_F(TransformCommands, CommandsThatDoNotFinishLeaveTheObjects)
{
    TLine2D* line = Add(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{10, 0, 1}));
    enum class End { Cancel, Esc, Stop };
    for (End end : {End::Cancel, End::Esc, End::Stop}) {
        StartOn<TQV_82RuotaSelectedObjects>({line});
        Driver.Click({0, 0, 1});
        Driver.MoveTo({0, 5, 1});
        ASSERT_NE(line->PendingTransform(), nullptr);
        switch (end) {
        case End::Cancel:
            Driver.User(TCADUserEvent::Cancel);
            break;
        case End::Esc:
            Driver.Esc();
            break;
        case End::Stop:
            Prg.StopOperation();
            break;
        }
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(line->HasTransform());
        EXPECT_TRUE(View.HighlightList().empty());
        EXPECT_EQ(CurrentTransformParam(), nullptr);
        TransformRepeatChanged("5");
    }
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST_F(TransformCommands, StartersCheckTheirParameterAndEndOnAnEmptySelection)
{
    struct Case {
        TCADStateClass Starter;
        const char* Message;
    };
    for (const Case& c : {Case{StateClassOf<TQV_81TraslaSelectedObjects>(), "TQV_81TSO: Invalid param"},
                          Case{StateClassOf<TQV_82RuotaSelectedObjects>(), "TQV_82: Invalid param"},
                          Case{StateClassOf<TQV_84ScalaSelectedObjects>(), "TQV_84: Invalid param"},
                          Case{StateClassOf<TQV_83SpecchiaSelectedObjects>(),
                               "TCAD2DMirrorSelectedObjects: Invalid param"},
                          Case{StateClassOf<TQV_80TrasformaOggetti>(), "TQV_80: Invalid param"}}) {
        Notifier.Clear();
        Prg.StartOperation(c.Starter, std::make_unique<TQV_00CADPrgParam>());
        ASSERT_FALSE(Notifier.Messages().empty());
        EXPECT_EQ(Notifier.Messages().back().Text, c.Message);
        EXPECT_TRUE(CurrentClass() == "TQV_00CADIdleState");

        Notifier.Clear();
        Prg.StartOperation(c.Starter, std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr));
        EXPECT_TRUE(Idle());
        if (c.Starter != StateClassOf<TQV_80TrasformaOggetti>()) {
            EXPECT_TRUE(Notifier.Messages().empty()) << "an empty selection ends without error";
        }
    }
    EXPECT_TRUE(Shell.Pages.empty());
}

} // namespace

}  // namespace transform_states_test
