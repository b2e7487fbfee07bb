#pragma once
// The interaction program driven on the real scene view (picking, overlay,
// camera) over a real document: 800 x 600 pixels, 0.1 drawing units a
// pixel, drawing (0, 0) at pixel (400, 300), Y up. A probe command and a
// probe after-state record what they are handed.

#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/settings/AppConfig.h"
#include "core/settings/CADPrompts.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kbtest {

// What the probes saw; the probe parameter points at it.
struct TProbeLog {
    std::vector<TPoint2D> Clicks;                // snapped, ortho applied
    std::vector<std::vector<TObject2D*>> Handed; // selections the after-state got
    std::vector<std::string> Resumes;            // class names of ended nested operations
    // The last selection parameter's point, and its window when it was a
    // window selection's.
    TPoint2D Point;
    TRect2D WindowBox{};
    TIntRect ScreenWindow{};
};

class TProbeParam : public TQV_00CommonParam {
public:
    explicit TProbeParam(TProbeLog& log) : Log(log) {}
    TProbeLog& Log;
};

// A command that takes a point at every left press (GetSnappedPoint, then
// squared against its previous point by OrthoPoint) and stays until
// cancelled; resumable under zoom and pan.
class TProbeCommand : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TProbeCommand";
    TProbeCommand(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    void ResumeHook(TCADStateClass ended, TQV_00CADPrgParam* endedParam) override;
};

// The after-state of the selections: records what its
// TQV_50SelectObjectsParam carries and ends.
class TProbeAfterState : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TProbeAfterState";
    TProbeAfterState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    static TProbeLog* Log;
};

struct TSceneRig {
    TSceneRig();
    ~TSceneRig();

    template <class T> T* Add(std::unique_ptr<T> object) { return Doc.AddObjectOnLayer(-1, 0, std::move(object)); }
    // The drawing point under the pixel of p.
    TPoint2D WorldAt(const TPoint2D& p) const;
    bool Idle() const;
    std::string CurrentClass() const;

    TRecordingNotifier Notifier;
    TRecordingShell Shell;
    TAppConfig Config{""};
    TQV_01Cmp2D Doc;
    TQVScene View{Config};
    TRecordingReadout Readout;
    TQV_00Prog Prg;
    TViewServicesScope Services{TViewServices{&View.SceneBuilder(), &View, &Readout, &Prg}};
    TCADDriver Driver{Prg, View, [this](const TPoint2D& p) { return View.PointToScreen(p); }, Shell};
    TProbeLog Log;
    std::vector<int> Cursors; // every cursor change of the view
};

} // namespace kbtest
