#include "tests/cad/SceneDriverRig.h"

#include "cad/program/ObjectSnap.h"

namespace kbtest {

TProbeCommand::TProbeCommand(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    CheckParam<TProbeParam>(ClassName);
    SetPrompt("probe");
}

bool TProbeCommand::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (event.IsUser(TCADUserEvent::Cancel)) {
        nextState = Program().IdleClass();
        return true;
    }
    if (!event.IsMouseDown(TCADButton::Left))
        return false;
    std::vector<TPoint2D>& clicks = CheckParam<TProbeParam>(ClassName).Log.Clicks;
    TPoint2D p = static_cast<TQV_00Prog&>(Program()).GetSnappedPoint();
    if (!clicks.empty())
        p = OrthoPoint(Program(), clicks.back(), p);
    clicks.push_back(p);
    return false;
}

void TProbeCommand::ResumeHook(TCADStateClass ended, TQV_00CADPrgParam*)
{
    CheckParam<TProbeParam>(ClassName).Log.Resumes.push_back(ended ? ended->Name : "-");
}

TProbeLog* TProbeAfterState::Log = nullptr;

TProbeAfterState::TProbeAfterState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param());
    if (Log && selection) {
        Log->Handed.push_back(selection->Objects());
        Log->Point = selection->Point;
        if (auto* window = dynamic_cast<TQV_51WinSelectObjectsParam*>(selection)) {
            Log->WindowBox = window->WindowBox;
            Log->ScreenWindow = window->ScreenWindow;
        }
    }
    nextState = Program().IdleClass();
}

TSceneRig::TSceneRig()
{
    View.SetViewportSize(800, 600);
    // Half diagonal 40: the visible width is 80 units on 800 pixels.
    View.ZoomToBox(TBox3D{{-24, -32, 0, 1}, {24, 32, 0, 1}});
    View.SetDocument(&Doc);
    View.CursorChanged = [this](int id) { Cursors.push_back(id); };
    TProbeAfterState::Log = &Log;
    for (size_t i = 0; i < CADPrompts.size(); ++i)
        CADPrompts[i] = "prompt " + std::to_string(i);
}

TSceneRig::~TSceneRig()
{
    TProbeAfterState::Log = nullptr;
    CADPrompts.fill(std::string());
}

TPoint2D TSceneRig::WorldAt(const TPoint2D& p) const
{
    const TIntPoint px = View.PointToScreen(p);
    const std::optional<TPoint3D> w = View.ScreenToWorld(px.X, px.Y);
    return w ? TPoint2D{w->X, w->Y, 1} : TPoint2D{};
}

bool TSceneRig::Idle() const
{
    return !Prg.Busy() && !Prg.Suspended() && Prg.CurrentState() &&
           Prg.CurrentState()->StateClass() == Prg.IdleClass();
}

std::string TSceneRig::CurrentClass() const
{
    return Prg.CurrentState() && Prg.CurrentState()->StateClass() ? Prg.CurrentState()->StateClass()->Name
                                                                   : std::string();
}

} // namespace kbtest
