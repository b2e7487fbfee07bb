// Commands run end to end through the driver: fake drawing, selection, pan
// and transform states written as concrete state classes, driven by clicks,
// drags, Enter, Esc and the tool window's events.

#include "tests/cad/support/CADDriver.h"

#include "core/settings/CADPrompts.h"
#include "tests/cad/FakeStates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cad_driver_test {

namespace {

// What the fake commands leave behind; their parameter is freed at the end.
struct TResult {
    std::vector<TPoint2D> Points;  // clicked, snapped
    std::vector<TPoint2D> Preview; // snapped cursor while the second point follows
    std::vector<TPoint2D> Pans;    // press-to-release offsets of nested pans
    std::vector<std::string> Translations;
    int MirrorAxis = -1;
    bool Added = false;
};

class TResultParam : public TQV_00CommonParam {
public:
    explicit TResultParam(TResult& result, TCADStateClass afterState = nullptr)
        : TQV_00CommonParam(afterState), Result(result)
    {
    }
    TResult& Result;
};

TPoint2D Snapped(TQV_00State& state) { return static_cast<TQV_00Prog&>(state.Program()).GetSnappedPoint(); }

class TLineSecond;

// A two-click line: acts on the presses.
class TLineFirst : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TLineFirst";
    TLineFirst(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
        CheckParam<TResultParam>(ClassName);
        SetPromptSlot(14);
    }
    bool HandleEvent(const TCADEvent& e, TCADStateClass& next) override;
};

class TLineSecond : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TLineSecond";
    TLineSecond(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
        CheckParam<TResultParam>(ClassName);
        SetPromptSlot(15);
    }
    bool HandleEvent(const TCADEvent& e, TCADStateClass& next) override
    {
        TResult& r = CheckParam<TResultParam>(ClassName).Result;
        if (e.Kind == TCADEventKind::MouseMove) {
            r.Preview.push_back(Snapped(*this));
            return false;
        }
        if (e.IsMouseDown(TCADButton::Left)) {
            r.Points.push_back(Snapped(*this));
            r.Added = true;
            Program().MarkSceneDirty();
            next = Program().IdleClass();
            return true;
        }
        if (e.IsUser(TCADUserEvent::Cancel)) {
            next = Program().IdleClass();
            return true;
        }
        return false;
    }
};

bool TLineFirst::HandleEvent(const TCADEvent& e, TCADStateClass& next)
{
    if (e.IsMouseDown(TCADButton::Left)) {
        CheckParam<TResultParam>(ClassName).Result.Points.push_back(Snapped(*this));
        next = StateClassOf<TLineSecond>();
        return true;
    }
    if (e.IsUser(TCADUserEvent::Cancel)) {
        next = Program().IdleClass();
        return true;
    }
    return false;
}

// A nested pan: one press-drag-release; it borrows the command's parameter.
class TPan : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TPan";
    TPan(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
        SetSuspendable(false);
        SetPromptSlot(2);
    }
    bool HandleEvent(const TCADEvent& e, TCADStateClass& next) override
    {
        if (e.IsMouseDown(TCADButton::Left))
            m_Press = Program().GetCursorPoint();
        if (!e.IsMouseUp(TCADButton::Left))
            return false;
        const TPoint2D release = Program().GetCursorPoint();
        if (auto* p = dynamic_cast<TResultParam*>(Param()))
            p->Result.Pans.push_back({m_Press.X - release.X, m_Press.Y - release.Y, 1});
        next = Program().IdleClass();
        return true;
    }

private:
    TPoint2D m_Press;
};

// A selection of one point: acts on the release, then hands over to its
// after-state or ends.
class TSelectPoint : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TSelectPoint";
    TSelectPoint(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
        CheckParam<TResultParam>(ClassName);
    }
    bool HandleEvent(const TCADEvent& e, TCADStateClass& next) override
    {
        if (!e.IsMouseUp(TCADButton::Left))
            return false;
        TResultParam& p = CheckParam<TResultParam>(ClassName);
        p.Result.Points.push_back(Program().GetCursorPoint());
        next = p.AfterState() ? p.AfterState() : Program().IdleClass();
        return true;
    }
};

// A transform page's command: reads the tool window on its user events.
class TTranslate : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TTranslate";
    TTranslate(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param))
    {
        CheckParam<TResultParam>(ClassName);
    }
    bool HandleEvent(const TCADEvent& e, TCADStateClass& next) override
    {
        TResult& r = CheckParam<TResultParam>(ClassName).Result;
        const TShellServices& shell = ShellServices();
        if (e.IsUser(TCADUserEvent::Translation))
            r.Translations.push_back(shell.ToolWinText(TToolWinText::TransDx) + " " +
                                     shell.ToolWinText(TToolWinText::TransDy));
        if (e.IsUser(TCADUserEvent::MirrorAxis))
            r.MirrorAxis = shell.ToolWinItemIndex(TToolWinIndex::MirrorAxis);
        if (!e.IsUser(TCADUserEvent::Accept))
            return false;
        r.Added = true;
        next = Program().IdleClass();
        return true;
    }
};

struct DrivenCommand : ::testing::Test, kbtest::TCADRig {
    DrivenCommand()
    {
        CADPrompts[2] = "Drag to pan";
        CADPrompts[14] = "First point";
        CADPrompts[15] = "Second point";
    }
    ~DrivenCommand() override { CADPrompts.fill(std::string()); }
    TResult Result;
};

TEST_F(DrivenCommand, LineWithANestedPanBetweenItsClicks)
{
    Prg.Snap2Grid = true;
    ASSERT_TRUE(Prg.StartOperation(StateClassOf<TLineFirst>(), std::make_unique<TResultParam>(Result)));
    EXPECT_EQ(Shell.Prompts.back(), "First point");

    Driver.Click({12, 19});
    Driver.MoveTo({31, 44});
    EXPECT_EQ(Shell.Prompts.back(), "Second point");

    ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TPan>()));
    EXPECT_EQ(Shell.Prompts.back(), "Drag to pan");
    Driver.Drag({50, 50}, {20, 10});
    EXPECT_EQ(Shell.Prompts.back(), "Second point") << "the command's prompt comes back";
    EXPECT_TRUE(View.Rebuilds.empty());

    Driver.Click({29, 41});

    ASSERT_EQ(Result.Points.size(), 2u);
    EXPECT_EQ(Result.Points[0].X, 10.0);
    EXPECT_EQ(Result.Points[0].Y, 20.0);
    EXPECT_EQ(Result.Points[1].X, 30.0);
    EXPECT_EQ(Result.Points[1].Y, 40.0);
    ASSERT_FALSE(Result.Preview.empty());
    EXPECT_EQ(Result.Preview.front().X, 30.0);
    ASSERT_EQ(Result.Pans.size(), 1u) << "the pan saw the line's parameter";
    EXPECT_EQ(Result.Pans[0].X, 30.0);
    EXPECT_EQ(Result.Pans[0].Y, 40.0);
    EXPECT_TRUE(Result.Added);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(View.Rebuilds, std::vector<bool>{false});
    ASSERT_EQ(Shell.Ends.size(), 2u);
    EXPECT_EQ(Shell.Ends[0].Operation, StateClassOf<TPan>());
    EXPECT_EQ(Shell.Ends[1].Operation, StateClassOf<TLineFirst>());
}

TEST_F(DrivenCommand, EnterAndEscOnALine)
{
    Prg.StartOperation(StateClassOf<TLineFirst>(), std::make_unique<TResultParam>(Result));
    Driver.Enter(); // ignored by the line
    EXPECT_TRUE(Prg.Busy());
    Driver.Click({1, 1});
    Driver.Esc();
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Result.Added);
    EXPECT_EQ(Result.Points.size(), 1u);
}

TEST_F(DrivenCommand, SelectionActsOnTheRelease)
{
    Prg.StartOperation(StateClassOf<TSelectPoint>(),
                       std::make_unique<TResultParam>(Result, StateClassOf<TLineSecond>()));
    Driver.MoveTo({5, 6});
    Driver.Down();
    EXPECT_TRUE(Result.Points.empty());
    Driver.Up();
    ASSERT_EQ(Result.Points.size(), 1u);
    EXPECT_EQ(Result.Points[0].X, 5.0);
    // The after-state takes over with the same parameter.
    EXPECT_EQ(Prg.CurrentState()->StateClass(), StateClassOf<TLineSecond>());
    Driver.Click({8, 9});
    EXPECT_TRUE(Result.Added);
    EXPECT_TRUE(Idle());
}

TEST_F(DrivenCommand, ToolWindowEventsReachTheCommand)
{
    Prg.StartOperation(StateClassOf<TTranslate>(), std::make_unique<TResultParam>(Result));

    Driver.EditToolWin(TToolWinText::TransDx, "12.5");
    Driver.EditToolWin(TToolWinText::TransDy, "-3");
    Driver.EditToolWin(TToolWinText::OffsetDist, "4"); // no event of its own
    Driver.ChooseMirrorAxis(2);
    EXPECT_TRUE(Prg.Busy());
    Driver.ToolWinOk();

    EXPECT_EQ(Result.Translations, (std::vector<std::string>{"12.5 ", "12.5 -3"}));
    EXPECT_EQ(Result.MirrorAxis, 2);
    EXPECT_EQ(Shell.ToolWinText(TToolWinText::OffsetDist), "4");
    EXPECT_EQ(Shell.ToolWinText(TToolWinText::TransRepeat), "1");
    EXPECT_TRUE(Result.Added);
    EXPECT_TRUE(Idle());
}

} // namespace

}  // namespace cad_driver_test
