#include "app/mainwin/CommandTable.h"

#include "cad/edit/MyCancella.h"
#include "cad/edit/MyRiducePoly.h"
#include "cad/edit/QV2D_Break.h"
#include "cad/edit/QV2D_Divide.h"
#include "cad/edit/QV2D_Esplode.h"
#include "cad/edit/QV2D_Fillet.h"
#include "cad/edit/QV2D_Trim.h"
#include "cad/edit/TangentStates.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00State.h"
#include "cad/states/DrawArcStates.h"
#include "cad/states/DrawSizedStates.h"
#include "cad/states/DrawUnsizedStates.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_60EditPrimitive.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/settings/LangKeys.h"

#include <cmath>
#include <numbers>

namespace {

const TPoint2D Origin{0.0, 0.0};
constexpr double DegToRad = std::numbers::pi / 180.0;

double Row(const TInfoEditModel* panel, int i)
{
    return panel ? panel->GetValue(i) : 0.0;
}

std::unique_ptr<TObject2D> Point(const TInfoEditModel*) { return std::make_unique<TPunto2D>(-1, Origin); }
std::unique_ptr<TObject2D> Line(const TInfoEditModel*) { return std::make_unique<TLine2D>(-1, Origin, Origin); }
std::unique_ptr<TObject2D> Frame(const TInfoEditModel*) { return std::make_unique<TFrame2D>(-1, Origin, Origin); }
std::unique_ptr<TObject2D> Circle(const TInfoEditModel*) { return std::make_unique<TCerchio2D>(-1, Origin, Origin); }
std::unique_ptr<TObject2D> Ellipse(const TInfoEditModel*) { return std::make_unique<TEllipse2D>(-1, Origin, Origin); }

std::unique_ptr<TObject2D> Polyline(const TInfoEditModel*)
{
    const TPoint2D first[] = {Origin};
    return std::make_unique<TPolyline2D>(-1, first);
}

std::unique_ptr<TObject2D> Spline(const TInfoEditModel*)
{
    const TPoint2D first[] = {Origin};
    return std::make_unique<TBSpline2D>(-1, first);
}

// Page 6: length (row 0) and angle in degrees (row 1).
std::unique_ptr<TObject2D> PolarLine(const TInfoEditModel* panel)
{
    const double length = Row(panel, 0);
    const double angle = Row(panel, 1) * DegToRad;
    return std::make_unique<TLine2D>(-1, Origin, MakePoint2D(length * std::cos(angle), length * std::sin(angle)));
}

// Page 12: diameter (row 0).
std::unique_ptr<TObject2D> CircleByDiameter(const TInfoEditModel* panel)
{
    return std::make_unique<TCerchio2D>(-1, Origin, MakePoint2D(Row(panel, 0) / 2.0, 0.0));
}

// Page 15: diameter (row 0), start and end angle in degrees (rows 1, 2).
std::unique_ptr<TObject2D> PolarArc(const TInfoEditModel* panel)
{
    return std::make_unique<TArco2D>(-1, Origin, MakePoint2D(Row(panel, 0) / 2.0, 0.0), Row(panel, 1) * DegToRad,
                                     Row(panel, 2) * DegToRad);
}

template <class T>
TCADStateClass S()
{
    return StateClassOf<T>();
}

using P = TCommandPanel;
using N = TCommandSnap;
using K = TCommandStart;
namespace F = CommandFlag;
namespace H = LangKeys::frmMain;

// clang-format off
constexpr TCommandRow Rows[] = {
    // The Create toolbar.
    {"mnuPointPosition", "sbtPoint", 0, H::RecentPoint, 101, P::Page, 1, N::On, K::Sized, S<TQV_40DrawSizedPrimitive>, nullptr, Point, 0},
    {"mnuPointGrid", "sbtPoint", 1, H::RecentPointGrid, 102, P::Page, 2, N::On, K::PointGrid, nullptr, nullptr, nullptr, F::StopFirst | F::RestartOnEdit},
    {"mnuBoltPoint", "sbtPoint", 2, H::RecentBoltCircle, 103, P::Page, 3, N::On, K::BoltCircle, nullptr, nullptr, nullptr, F::StopFirst | F::RestartOnEdit},
    {"mnuPtAlong", "sbtPoint", 3, H::RecentPtAlong, 104, P::EditableHidden, 0, N::Unchanged, K::Page, nullptr, nullptr, nullptr, F::StopFirst},
    {"mnuLineEndPt", "sbtLine", 4, H::RecentLine, 201, P::Page, 5, N::On, K::Sized, S<TQV_40DrawSizedPrimitive>, nullptr, Line, 0},
    {"mnuLinePolar", "sbtLine", 5, H::RecentLinePolar, 202, P::Page, 6, N::On, K::Position, nullptr, nullptr, PolarLine, F::RestartOnEdit},
    {"mnuLinePerp", "sbtLine", 6, H::RecentLinePerp, 203, P::EditableHidden, 0, N::Unchanged, K::Pick, S<TQV_50Seleziona1Ogg>, S<TLineaPerpend>, nullptr, 0},
    {"mnuLineTangent2Arc", "sbtLine", 7, H::RecentLineTangentArcs, 204, P::Page, 8, N::Off, K::Pick, S<TQV_50Seleziona2Ogg>, S<TMyLineaTan2A>, nullptr, 0},
    {"mnuLineTangentAngle", "sbtLine", 8, H::RecentLineTangentAngle, 205, P::Page, 7, N::Off, K::Pick, S<TQV_50Seleziona1Ogg>, S<TMyLineaTanAngle>, nullptr, F::RestartOnEdit},
    {"sbtRectangle", "", 9, H::RecentRectangle, 301, P::Page, 9, N::On, K::Sized, S<TQV_40DrawSizedPrimitive>, nullptr, Frame, F::KeepOrtho},
    {"mnuCircleCtPt", "sbtArc", 10, H::RecentCircle, 401, P::Page, 11, N::On, K::Sized, S<TQV_40DrawSizedPrimitive>, nullptr, Circle, 0},
    {"mnuCircleCtDia", "sbtArc", 11, H::RecentCircleDiameter, 402, P::Page, 12, N::On, K::Position, nullptr, nullptr, CircleByDiameter, F::RestartOnEdit},
    {"mnuCircle3Pt", "sbtArc", 24, H::RecentCircle3Pt, 403, P::Page, 13, N::On, K::Arc, S<TQV_40DrawArco3Pt>, nullptr, nullptr, F::FullCircle},
    {"mnuArcCtPtSaEa", "sbtArc", 12, H::RecentArcCentre, 404, P::Page, 14, N::On, K::Arc, S<TQV_40DrawArcoPrimitive>, nullptr, nullptr, 0},
    {"mnuArcPolar", "sbtArc", 13, H::RecentArcPolar, 405, P::Page, 15, N::On, K::Position, nullptr, nullptr, PolarArc, F::RestartOnEdit},
    {"mnuArc3Pt", "sbtArc", 23, H::RecentArc3Pt, 406, P::Page, 13, N::On, K::Arc, S<TQV_40DrawArco3Pt>, nullptr, nullptr, 0},
    {"mnuArcTangent1", "sbtArc", 14, H::RecentArcTangentOne, 407, P::PageThenHidden, 16, N::On, K::Pick, S<TQV_50Seleziona1Ogg>, S<TMyArcoTan1>, nullptr, 0},
    {"mnuArcTangent2", "sbtArc", 15, H::RecentArcTangentTwo, 408, P::Page, 17, N::On, K::Pick, S<TQV_50Seleziona2Ogg>, S<TMyArcoTan2>, nullptr, F::FilletRadius | F::RestartOnEdit},
    {"mnuEllipseClose", "sbtArc", 16, H::RecentEllipse, 409, P::Page, 19, N::On, K::Sized, S<TQV_40DrawSizedPrimitive>, nullptr, Ellipse, 0},
    {"mnuEllipseOpen", "sbtArc", 17, H::RecentEllipseOpen, 410, P::Page, 19, N::On, K::EllipseOpen, nullptr, nullptr, nullptr, 0},
    {"sbtPoly", "", 18, H::RecentPolyline, 501, P::Page, 20, N::On, K::Unsized, S<TQV_40DrawUnSizedPrimitive>, nullptr, Polyline, 0},
    {"sbtSpline", "", 19, H::RecentSpline, 601, P::Page, 21, N::On, K::Unsized, S<TQV_40DrawUnSizedPrimitive>, nullptr, Spline, 0},
    {"mnuTextTT", "sbtText", 21, H::RecentTextTT, 701, P::Unchanged, 0, N::On, K::Page, nullptr, nullptr, nullptr, F::CancelFirst},
    {"mnuTextSL", "sbtText", 22, H::RecentTextSL, 702, P::Unchanged, 0, N::On, K::Page, nullptr, nullptr, nullptr, F::CancelFirst},
    {"mnuTextLabel", "sbtText", 20, H::RecentTextLabel, 703, P::Unchanged, 0, N::On, K::Page, nullptr, nullptr, nullptr, F::CancelFirst},
    // The Edit toolbar.
    {"mnuDelete", "sbtDelete", 0, H::RecentDelete, 1101, P::Editable, 0, N::Off, K::Pick, S<TQV_50SelectObjects>, S<TMyCancella>, nullptr, 0},
    {"mnuWindowDelete", "sbtDelete", 1, H::RecentWindowDelete, 1102, P::Editable, 0, N::Off, K::Window, nullptr, S<TMyCancella>, nullptr, 0},
    {"mnuDeleteSmall", "sbtDelete", 2, H::RecentDeleteSmall, 1103, P::Editable, 0, N::Off, K::Page, nullptr, nullptr, nullptr, 0},
    {"mnuFillet", "sbtModify", 3, H::RecentFillet, 1201, P::Page, 26, N::Off, K::Pick, S<TQV_50Seleziona2Ogg>, S<TQV2D_Fillet>, nullptr, F::FilletRadius},
    {"mnuTrim", "sbtModify", 4, H::RecentTrim, 1202, P::Page, 27, N::Off, K::Pick, S<TQV_50Seleziona2Ogg>, S<TQV2D_Trim>, nullptr, 0},
    {"mnuBreak", "sbtModify", 5, H::RecentBreak, 1203, P::Page, 28, N::Off, K::Pick, S<TQV_50Seleziona2Ogg>, S<TQV2D_Break>, nullptr, 0},
    {"mnuDivide", "sbtModify", 6, H::RecentDivide, 1204, P::Page, 29, N::Off, K::Pick, S<TQV_50Seleziona1Ogg>, S<TQV2D_Divide>, nullptr, 0},
    {"mnuJoin", "sbtModify", 7, H::RecentJoin, 1205, P::Page, 30, N::Off, K::Pick, S<TQV_50Seleziona2Ogg>, S<TQV2D_Join>, nullptr, 0},
    {"mnuExtend", "sbtModify", 8, H::RecentExtend, 1206, P::Page, 31, N::Off, K::Pick, S<TQV_50Seleziona1Ogg>, S<TQV2D_Extend>, nullptr, 0},
    {"mnuExplode", "sbtModify", 9, H::RecentExplode, 1207, P::EditableHidden, 0, N::Off, K::WindowOrPick, nullptr, S<TQV2D_Esplode>, nullptr, 0},
    {"mnuMoveNode", "sbtModify", 10, H::RecentMoveNode, 1208, P::EditableHidden, 0, N::Off, K::Pick, S<TQV_50Seleziona1Ogg>, S<TQV_60EditSelectedPrimitive>, nullptr, F::NoCallback},
    {"mnuChangeLayer", "sbtModify", 11, H::RecentChangeLayer, 1209, P::EditableHidden, 0, N::Off, K::Page, nullptr, nullptr, nullptr, 0},
    {"mnuPolySemplify", "sbtModify", 12, H::RecentSimplify, 1210, P::Page, 33, N::Off, K::WindowOrPick, nullptr, S<TMyRiducePoly>, nullptr, F::VertexCounts},
    {"mnuTranslate", "sbtXform", 13, H::RecentTranslate, 1301, P::EditableHidden, 0, N::Off, K::WindowOrPick, nullptr, S<TQV_81TraslaSelectedObjects>, nullptr, 0},
    {"mnuRotate", "sbtXform", 14, H::RecentRotate, 1302, P::EditableHidden, 0, N::Off, K::WindowOrPick, nullptr, S<TQV_82RuotaSelectedObjects>, nullptr, 0},
    {"mnuMirror", "sbtXform", 15, H::RecentMirror, 1303, P::EditableHidden, 0, N::Off, K::WindowOrPick, nullptr, S<TQV_83SpecchiaSelectedObjects>, nullptr, 0},
    {"mnuScale", "sbtXform", 16, H::RecentScale, 1304, P::EditableHidden, 0, N::Off, K::WindowOrPick, nullptr, S<TQV_84ScalaSelectedObjects>, nullptr, 0},
    {"mnuOffset", "sbtXform", 17, H::RecentOffset, 1305, P::EditableHidden, 0, N::Off, K::Page, nullptr, nullptr, nullptr, 0},
    {"mnuSelect", "sbtAnalyze", 22, H::RecentSelect, 1404, P::EditableShown, 0, N::Unchanged, K::Pick, S<TQV_50Seleziona1Ogg>, S<TSelez1Ent>, nullptr, F::SingleSelect},
    {"mnuInfoEntities", "sbtAnalyze", 18, H::RecentInfo, 1401, P::Unchanged, 0, N::Unchanged, K::Page, nullptr, nullptr, nullptr, 0},
    {"mnuDistance", "sbtAnalyze", 19, H::RecentDistance, 1402, P::Page, 34, N::On, K::Distance, nullptr, nullptr, nullptr, 0},
    {"mnuShowEndpoints", "sbtAnalyze", 20, H::RecentEndPoints, 1403, P::Unchanged, 0, N::Unchanged, K::Page, nullptr, nullptr, nullptr, 0},
};
// clang-format on

} // namespace

TImageList TCommandRow::List() const
{
    return RecentId >= 1000 ? TImageList::Modify : TImageList::Create;
}

std::span<const TCommandRow> CommandTable()
{
    return Rows;
}

const TCommandRow* FindCommand(std::string_view name)
{
    for (const TCommandRow& row : Rows)
        if (row.Name == name)
            return &row;
    return nullptr;
}

const TCommandRow* CommandOfEditedPage(uint8_t page)
{
    for (const TCommandRow& row : Rows) {
        const bool showsPage = row.Panel == TCommandPanel::Page || row.Panel == TCommandPanel::PageThenHidden;
        if (showsPage && row.Page == page && row.Has(CommandFlag::RestartOnEdit | CommandFlag::FilletRadius))
            return &row;
    }
    return nullptr;
}
