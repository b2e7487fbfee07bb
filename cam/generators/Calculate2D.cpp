#include "cam/generators/Calculate2D.h"

#include "cam/generators/Contorno.h"
#include "cam/generators/Tasca.h"
#include "cam/ops/OpManager.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

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

bool CalculateOperation2D(TOpManagerField& operation, TWorkMonitor* monitor, const TUserBreak_ProgBar::TClock& clock)
{
    operation.ClearToolpaths();
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
