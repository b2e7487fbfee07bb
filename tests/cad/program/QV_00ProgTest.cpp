// The drawing view's side of the interaction program: view messages turned
// into CAD events, the cursor point and the live coordinates, pixels with
// no drawing point, grid snap and the snap filter, typed points, the
// open-geometry click, and the event guard.

#include "cad/program/QV_00Prog.h"

#include "cad/program/EventGuard.h"
#include "tests/cad/FakeStates.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace qv_00_prog_test {

namespace {

using kbtest::TCADRig;

struct DrawingProgram : ::testing::Test, TCADRig {
    // The events the current fake state received, as (kind, button, key).
    std::vector<std::tuple<TCADEventKind, TCADButton, int16_t>> Received(const kbtest::TFakeStateClass& cls) const
    {
        std::vector<std::tuple<TCADEventKind, TCADButton, int16_t>> out;
        for (const TCADEvent& e : cls.Events)
            out.emplace_back(e.Kind, e.Button, e.Key);
        return out;
    }
};

TEST_F(DrawingProgram, ViewMessagesBecomeCADEvents)
{
    using K = TCADEventKind;
    using B = TCADButton;
    Prg.StartOperation(A);

    Driver.KeyDown(17);
    Driver.MovePixel(10, 10);
    Driver.Down(TMouseButton::Left);
    Driver.MovePixel(11, 10);
    Driver.Up(TMouseButton::Left);
    Driver.KeyUp(17);
    Driver.Down(TMouseButton::Right);
    Driver.Up(TMouseButton::Right);
    Driver.Down(TMouseButton::Middle); // a middle click reaches the state
    Driver.MovePixel(12, 10);          // only as moves
    Driver.Up(TMouseButton::Middle);
    Driver.DoubleClick({3, 3});
    Driver.Repaint();

    const std::vector<std::tuple<K, B, int16_t>> expected = {
        {K::KeyDown, B::None, 17},
        {K::MouseMove, B::None, 17}, // mouse events carry the key held
        {K::MouseDown, B::Left, 17},
        {K::MouseMove, B::Left, 17}, // the held button
        {K::MouseUp, B::Left, 17},
        {K::KeyUp, B::None, 17},
        {K::MouseDown, B::Right, 0},
        {K::MouseUp, B::Right, 0},
        {K::MouseMove, B::Middle, 0},
        // double click: move, down, up, then double click and a second down
        {K::MouseMove, B::None, 0},
        {K::MouseDown, B::Left, 0},
        {K::MouseUp, B::Left, 0},
        {K::DblClick, B::None, 0},
        {K::MouseDown, B::Left, 0},
        {K::MouseUp, B::Left, 0},
        {K::Repaint, B::None, 0},
    };
    EXPECT_EQ(Received(A), expected);
}

TEST_F(DrawingProgram, MouseMoveKeepsTheCursorPointAndCallsTheCallbackWhenSet)
{
    // While idle the cursor point and the live coordinates follow too.
    Driver.MoveTo({3, 4});
    EXPECT_EQ(Prg.GetCursorPoint().X, 3.0);
    EXPECT_EQ(Prg.GetCursorPoint().Y, 4.0);
    EXPECT_EQ(Prg.GetCursorPoint().W, 1.0);
    ASSERT_EQ(Shell.MouseMoves.size(), 1u);
    EXPECT_EQ(Shell.MouseMoves[0].WorldX, 3.0);
    EXPECT_EQ(Shell.MouseMoves[0].WorldY, 4.0);
    EXPECT_EQ(Shell.MouseMoves[0].X, 503);
    EXPECT_EQ(Shell.MouseMoves[0].Y, 496);

    // Without a callback the move still reaches the state.
    View.OnMouseMove2D = nullptr;
    Prg.StartOperation(A);
    Driver.MoveTo({-7, 2});
    EXPECT_EQ(Prg.GetCursorPoint().X, -7.0);
    EXPECT_EQ(A.Events.size(), 1u);
    EXPECT_EQ(Shell.MouseMoves.size(), 1u);
}

TEST_F(DrawingProgram, PixelsWithoutADrawingPointAreSkipped)
{
    View.NoPointAt = [](int32_t x, int32_t) { return x >= 900; };
    Prg.StartOperation(A);
    Driver.MoveTo({1, 2});
    A.Events.clear();
    Shell.MouseMoves.clear();

    Driver.ClickPixel(950, 10);
    Driver.DoubleClick({450, 0}); // pixel 950
    Driver.ClickPixel(950, 10, TMouseButton::Right);

    EXPECT_TRUE(A.Events.empty());
    EXPECT_TRUE(Shell.MouseMoves.empty());
    EXPECT_EQ(Prg.GetCursorPoint().X, 1.0);
    EXPECT_EQ(Prg.GetCursorPoint().Y, 2.0);

    // Keys and repaints have no pixel and still arrive.
    Driver.KeyDown(65);
    Driver.Repaint();
    EXPECT_EQ(A.Events.size(), 2u);
}

TEST_F(DrawingProgram, GridSnapRoundsHalfToEven)
{
    Prg.Snap2Grid = true;
    struct Case {
        double X, XSnap, Expected;
    };
    for (const Case& c : {Case{14.99, 10, 10}, Case{15, 10, 20}, Case{25, 10, 20}, Case{-15, 10, -20},
                          Case{-25, 10, -20}, Case{0.75, 0.5, 1.0}, Case{7.3, 0, 7.3}, Case{1e300, 1e-10, 1e300}}) {
        SCOPED_TRACE(c.X);
        Prg.XSnap = c.XSnap;
        Prg.SetCursorPoint({c.X, 3.7, 1});
        EXPECT_EQ(Prg.GetSnappedPoint().X, c.Expected);
    }
    Prg.XSnap = 10;
    Prg.YSnap = 0;
    Prg.SetCursorPoint({14, 3.7, 1});
    EXPECT_EQ(Prg.GetSnappedPoint().Y, 3.7) << "a step of 0 leaves its coordinate alone";
    Prg.Snap2Grid = false;
    EXPECT_EQ(Prg.GetSnappedPoint().X, 14.0);
}

TEST_F(DrawingProgram, SnapFilterRunsOnlyWithAModeAndUsaSnap)
{
    int calls = 0;
    Prg.SnapFilter = [&](TQV_00Prog& sender, TQV_00State* state, const TPoint2D& last, TPoint2D& p) {
        ++calls;
        EXPECT_EQ(&sender, &Prg);
        EXPECT_EQ(state, Prg.CurrentState());
        EXPECT_EQ(last.X, 1e8);
        p = {8, 9, 1};
    };
    struct Case {
        TObjectSnapMode Mode;
        bool UsaSnap;
        bool Snapped;
    };
    for (const Case& c : {Case{TObjectSnapMode::None, true, false}, Case{TObjectSnapMode::EndPoint, false, false},
                          Case{TObjectSnapMode::Automatic, true, true}}) {
        Prg.ObjectSnapMode = c.Mode;
        Prg.UsaSnap = c.UsaSnap;
        Prg.SetCursorPoint({1, 1, 1});
        calls = 0;
        EXPECT_EQ(Prg.GetSnappedPoint().X, c.Snapped ? 8.0 : 1.0);
        EXPECT_EQ(calls, c.Snapped ? 1 : 0);
    }
}

TEST_F(DrawingProgram, TypedPointIsTakenLikeALeftClickThere)
{
    TPoint2D taken{};
    A.Script.OnEvent = [&](TQV_00State& self, const TCADEvent& e, TCADStateClass&) {
        if (kbtest::IsLeftDown(e))
            taken = static_cast<TQV_00Prog&>(self.Program()).GetSnappedPoint();
        return false;
    };
    Prg.StartOperation(A);
    Prg.Snap2Grid = true;
    Driver.KeyDown(16); // a key still held does not reach the typed point

    Driver.TypePoint({20, 31, 2}); // W = 2: (10, 15.5)

    ASSERT_FALSE(A.Events.empty());
    const TCADEvent& e = A.Events.back();
    EXPECT_EQ(e.Kind, TCADEventKind::MouseDown);
    EXPECT_EQ(e.Button, TCADButton::Left);
    EXPECT_EQ(e.Key, 0);
    EXPECT_EQ(Prg.GetCursorPoint().Y, 15.5);
    EXPECT_EQ(taken.X, 10.0);
    EXPECT_EQ(taken.Y, 20.0) << "grid snap applies to typed points";
}

class TFakeOpenGeo final : public TOpenGeoPicker {
public:
    bool WaitsForViewClick() const override { return Waiting; }
    void StopWaitingForViewClick() override { Waiting = false; }
    void ShiftOrigin(const TPoint2D& p) override { Origins.push_back(p); }
    void Apply() override { ++Applied; }

    bool Waiting = true;
    std::vector<TPoint2D> Origins;
    int Applied = 0;
};

TEST_F(DrawingProgram, OpenGeometryPanelTakesALeftClickWhileNoCommandRuns)
{
    TFakeOpenGeo panel;
    Shell.OpenGeo = &panel;

    Driver.Click({4, 6}, TMouseButton::Right);
    Prg.StartOperation(A);
    Driver.Click({4, 6});
    EXPECT_TRUE(panel.Origins.empty());
    EXPECT_TRUE(panel.Waiting);
    EXPECT_FALSE(A.Events.empty()) << "a running command keeps its clicks";

    Prg.StopOperation();
    Driver.Click({7, 8});
    ASSERT_EQ(panel.Origins.size(), 1u);
    EXPECT_EQ(panel.Origins[0].X, 7.0);
    EXPECT_EQ(panel.Origins[0].Y, 8.0);
    EXPECT_EQ(panel.Applied, 1);
    EXPECT_FALSE(panel.Waiting);

    Driver.Click({1, 1});
    EXPECT_EQ(panel.Applied, 1) << "one click only";
}

TEST(EventGuard, ShowsTheTextTitledWithTheApplicationTitle)
{
    kbtest::TRecordingNotifier notifier;
    EXPECT_TRUE(GuardedCall([] {}));
    EXPECT_TRUE(notifier.Messages().empty());

    EXPECT_FALSE(GuardedCall([] { throw std::runtime_error("TCADCmp.DeleteObject: No object found"); }));
    SetApplicationTitle("Title of the day");
    EXPECT_FALSE(GuardedCall([] { throw std::out_of_range("second"); }));
    SetApplicationTitle("Kestrabel 3");

    ASSERT_EQ(notifier.Messages().size(), 2u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_EQ(notifier.Messages()[0].Text, "TCADCmp.DeleteObject: No object found");
    EXPECT_EQ(notifier.Messages()[0].Caption, "Kestrabel 3");
    EXPECT_EQ(notifier.Messages()[1].Caption, "Title of the day");
}

} // namespace

}  // namespace qv_00_prog_test
