#include "app/MachiningHooks.h"

#include "cam/curves/ACurva.h"
#include "core/settings/AppConfig.h"
#include "nc/writer/ScriveGCode.h"

#include <utility>

void FitFilterCurveArcs(TFilterCurve& curve, double tolerance, double minimum, double maximum)
{
    TACurva machining;
    machining.Vertices = std::move(curve.Vertices);
    machining.Closed = curve.Closed ? 1 : 0;
    AreaTolerance = tolerance;
    machining.FitArcs(minimum, maximum);
    curve.Vertices = std::move(machining.Vertices);
}

TMachiningHooks::TMachiningHooks(const TAppConfig& config) : m_PostInfo(GCodeWriter())
{
    AreaTolerance = config.ChainTol;
    m_PreviousFitter = SetArcFitter(FitFilterCurveArcs);
    m_PreviousPostInfo = SetPostInfo(&m_PostInfo);
}

TMachiningHooks::~TMachiningHooks()
{
    SetPostInfo(m_PreviousPostInfo);
    SetArcFitter(std::move(m_PreviousFitter));
}
