#include "cam/generators/Calculate2D.h"

#include "cam/generators/Contorno.h"
#include "cam/generators/Tasca.h"
#include "cam/ops/OpKinds.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/geometry/Tolerance.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

namespace {

// A run that ended without a toolpath and without telling the user why;
// a pocket's failure is reported also after the break box.
bool ReportFailure(bool result, const TBaseOperazione2D& generator, bool always = false)
{
    if (!result && (always || !generator.MessageShown()))
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::ToolBadNumber),
                                   LangText(LangKeys::String::ErrorCaption));
    return result;
}

} // namespace

std::optional<std::string> CalculationRefusal(const TOpManagerField& operation)
{
    if (!operation.Parameters)
        return std::nullopt;
    const TParametriOperazione& p = *operation.Parameters;
    const int kind = operation.Kind;
    if (OpKindInfo(kind).Tool == TOpToolRecord::Mill && p.ToolData && !(p.ToolData->Diameter > 0.0))
        return LangFormat(LangText(LangKeys::String::ToolNoDiameter),
                          {p.ToolData->ToolName, FormatCoord(p.ToolData->Diameter)});
    const bool contour = kind == OpKind::Contour || kind == OpKind::Letters;
    if ((contour || kind == OpKind::Pocket) && p.ZDepth > p.ZTop + SystemTol())
        return LangText(LangKeys::String::ZTopBelowDepth);
    if (contour && p.MakeTabs && p.Tabs.Count() == 0)
        return LangText(LangKeys::String::NoTabPlaced);
    return std::nullopt;
}

bool CalculateOperation2D(TOpManagerField& operation, TWorkMonitor* monitor, const TUserBreak_ProgBar::TClock& clock)
{
    operation.ClearToolpaths();
    if (const std::optional<std::string> refusal = CalculationRefusal(operation)) {
        UserNotifier().ShowMessage(EMessageKind::Warning, *refusal, LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    const auto prepare = [&](TUserBreak_ProgBar& generator, bool percent) {
        generator.Bind(monitor, percent);
        if (clock)
            generator.SetClock(clock);
    };
    switch (operation.Kind) {
    case OpKind::Contour:
    case OpKind::Letters: {
        TContorno contour(operation);
        prepare(contour, false);
        return ReportFailure(contour.Calculate(), contour);
    }
    case OpKind::Drilling: {
        TCiclo cycle(operation);
        return ReportFailure(cycle.Calculate(), cycle);
    }
    case OpKind::Pocket: {
        TTasca pocket(operation);
        prepare(pocket, true);
        return ReportFailure(
            operation.Parameters->PocketType == 0 ? pocket.CalculateParallel() : pocket.CalculateOffset(), pocket,
            true);
    }
    default:
        return false;
    }
}
