#pragma once
// What the lower subsystems need of machining, installed at start-up: the
// arc fitter of io's arc filter (machining curves fit the arcs), the chain
// tolerance as the shared tolerance of the machining curves, and the
// document's operations section read and written by the operation manager,
// and the post values the operations read, from the G-code writer's post.
// The object puts the previous fitter, hooks and post values back when it
// goes.

#include "cam/ops/OpManager.h"
#include "io/trace/FiltraInArchi.h"
#include "nc/post/PostInfoOfPost.h"

class TAppConfig;

// The arc filter's fitting through the machining curves: the curve's
// vertices become a machining curve, AreaTolerance takes the filter's
// tolerance (as the filter's area does) and the runs of lines are fitted
// with arcs between the minimum and maximum radius.
void FitFilterCurveArcs(TFilterCurve& curve, double tolerance, double minimum, double maximum);

class TMachiningHooks {
public:
    // AreaTolerance := the settings' "ChainTol"; installs FitFilterCurveArcs
    // the operation manager's section hooks and the writer's post values.
    explicit TMachiningHooks(const TAppConfig& config);
    ~TMachiningHooks();
    TMachiningHooks(const TMachiningHooks&) = delete;
    TMachiningHooks& operator=(const TMachiningHooks&) = delete;

private:
    TArcFitter m_PreviousFitter;
    TOperationsHooks m_OperationsHooks;
    TPostInfoOfPost m_PostInfo;
    TPostInfo* m_PreviousPostInfo = nullptr;
};
