#include "app/DrawCommands.h"

#include "cad/states/DrawArcStates.h"
#include "cad/states/DrawSizedStates.h"
#include "cad/states/DrawStateParams.h"
#include "cad/states/DrawUnsizedStates.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/settings/LangKeys.h"

#include <memory>

namespace {

// The pages of the properties panel that the drawing commands show.
constexpr int32_t PagePoint = 1;
constexpr int32_t PageLine = 5;
constexpr int32_t PageRectangle = 9;
constexpr int32_t PageCircle = 11;
constexpr int32_t PageThreePoints = 13;
constexpr int32_t PageArcCentre = 14;
constexpr int32_t PageEllipse = 19;
constexpr int32_t PagePolyline = 20;
constexpr int32_t PageSpline = 21;

const TPoint2D Origin{0.0, 0.0};

bool StartSized(TQV_00Prog& prg, TCADStateClass state, std::unique_ptr<TPrimitive2D> prototype)
{
    return prg.StartOperation(state, TQV_40DrawSizedPrimitiveParam::CreateSized(nullptr, true, 0, std::move(prototype)));
}

bool StartUnsized(TQV_00Prog& prg, std::unique_ptr<TPrimitive2D> prototype)
{
    return prg.StartOperation(StateClassOf<TQV_40DrawUnSizedPrimitive>(),
                              std::make_unique<TQV_40DrawUnSizedPrimitiveParam>(nullptr, true, 0, std::move(prototype)));
}

bool StartArc(TQV_00Prog& prg, TCADStateClass state, bool arcFlag)
{
    return prg.StartOperation(
        state, std::make_unique<TQV_40DrawArcoPrimitiveParam>(nullptr, arcFlag,
                                                              std::make_unique<TArco2D>(-1, Origin, Origin, 0.0, 0.0)));
}

} // namespace

TDrawCommands::TDrawCommands(TQV_00Prog& prg) : m_Prg(prg)
{
}

void TDrawCommands::Prepare(int32_t page, const TRecentEntry& entry)
{
    if (ShowCommandPage)
        ShowCommandPage(page);
    m_Prg.UsaSnap = true;
    if (RecordRecent)
        RecordRecent(entry);
}

bool TDrawCommands::MyPuntoClick()
{
    Prepare(PagePoint, {101, 0, LangKeys::frmMain::RecentPoint, &TDrawCommands::MyPuntoClick});
    return StartSized(m_Prg, StateClassOf<TQV_40DrawSizedPrimitive>(), std::make_unique<TPunto2D>(-1, Origin));
}

bool TDrawCommands::MySubLineClick()
{
    Prepare(PageLine, {201, 4, LangKeys::frmMain::RecentLine, &TDrawCommands::MySubLineClick});
    return StartSized(m_Prg, StateClassOf<TQV_40DrawSizedPrimitive>(), std::make_unique<TLine2D>(-1, Origin, Origin));
}

bool TDrawCommands::sbtRectangleClick()
{
    // Ortho would square the diagonal, not the sides, so it is off while
    // the rectangle is drawn.
    if (SaveOrtho)
        SaveOrtho();
    else
        m_Prg.UseOrto = false;
    Prepare(PageRectangle, {301, 9, LangKeys::frmMain::RecentRectangle, &TDrawCommands::sbtRectangleClick});
    return StartSized(m_Prg, StateClassOf<TQV_40DrawSizedPrimitive>(), std::make_unique<TFrame2D>(-1, Origin, Origin));
}

bool TDrawCommands::MyArcClick()
{
    Prepare(PageCircle, {401, 10, LangKeys::frmMain::RecentCircle, &TDrawCommands::MyArcClick});
    return StartSized(m_Prg, StateClassOf<TQV_40DrawSizedPrimitive>(),
                      std::make_unique<TCerchio2D>(-1, Origin, Origin));
}

bool TDrawCommands::mnuEllipseCloseClick()
{
    Prepare(PageEllipse, {409, 16, LangKeys::frmMain::RecentEllipse, &TDrawCommands::mnuEllipseCloseClick});
    return StartSized(m_Prg, StateClassOf<TQV_40DrawSizedPrimitive>(),
                      std::make_unique<TEllipse2D>(-1, Origin, Origin));
}

bool TDrawCommands::sbtPolyClick()
{
    Prepare(PagePolyline, {501, 18, LangKeys::frmMain::RecentPolyline, &TDrawCommands::sbtPolyClick});
    const TPoint2D first[] = {Origin};
    return StartUnsized(m_Prg, std::make_unique<TPolyline2D>(-1, first));
}

bool TDrawCommands::sbtSplineClick()
{
    Prepare(PageSpline, {601, 19, LangKeys::frmMain::RecentSpline, &TDrawCommands::sbtSplineClick});
    const TPoint2D first[] = {Origin};
    return StartUnsized(m_Prg, std::make_unique<TBSpline2D>(-1, first));
}

bool TDrawCommands::MyArcCtPtSaEaClick()
{
    Prepare(PageArcCentre, {404, 12, LangKeys::frmMain::RecentArcCentre, &TDrawCommands::MyArcCtPtSaEaClick});
    return StartArc(m_Prg, StateClassOf<TQV_40DrawArcoPrimitive>(), true);
}

bool TDrawCommands::MyArc3PtClick()
{
    Prepare(PageThreePoints, {406, 23, LangKeys::frmMain::RecentArc3Pt, &TDrawCommands::MyArc3PtClick});
    return StartArc(m_Prg, StateClassOf<TQV_40DrawArco3Pt>(), true);
}

bool TDrawCommands::MyCircle3PtClick()
{
    Prepare(PageThreePoints, {403, 24, LangKeys::frmMain::RecentCircle3Pt, &TDrawCommands::MyCircle3PtClick});
    return StartArc(m_Prg, StateClassOf<TQV_40DrawArco3Pt>(), false);
}
