#pragma once
// What the lower subsystems need of machining, installed at start-up: the
// arc fitter of io's arc filter (machining curves fit the arcs), and the
// chain tolerance as the shared tolerance of the machining curves. The
// object puts the previous fitter back when it goes.

#include "io/trace/FiltraInArchi.h"

class TAppConfig;

// The arc filter's fitting through the machining curves: the curve's
// vertices become a machining curve, AreaTolerance takes the filter's
// tolerance (as the filter's area does) and the runs of lines are fitted
// with arcs between the minimum and maximum radius.
void FitFilterCurveArcs(TFilterCurve& curve, double tolerance, double minimum, double maximum);

class TMachiningHooks {
public:
    // AreaTolerance := the settings' "ChainTol"; installs FitFilterCurveArcs.
    explicit TMachiningHooks(const TAppConfig& config);
    ~TMachiningHooks();
    TMachiningHooks(const TMachiningHooks&) = delete;
    TMachiningHooks& operator=(const TMachiningHooks&) = delete;

private:
    TArcFitter m_PreviousFitter;
};
