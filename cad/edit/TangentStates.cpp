#include "cad/edit/TangentStates.h"

#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/scene/ProgramScene.h"
#include "cad/edit/QV2D_Fillet.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/geometry/VectorHelpers.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

TVector2D XY(const TPoint2D& p) { return TVector2D{p.X, p.Y}; }
TPoint2D PointOf(const TVector2D& v) { return Point2D(v.X, v.Y); }

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

bool IsArcOrCircle(const TObject2D* object)
{
    const TEditKind kind = EditKindOf(object);
    return kind == TEditKind::Arc || kind == TEditKind::Circle;
}

// The circle of an arc or a circle entity as an arc record: centre and
// radius (the only fields the tangent line reads).
TArcInfo2D CircleInfo(const TPrimitive2D& entity)
{
    TArcInfo2D info;
    if (const auto* arc = dynamic_cast<const TArco2D*>(&entity))
        return arc->GetArcInfo();
    CentreAndRadius(entity, info.Centre, info.Radius);
    return info;
}

int32_t AddLine(TQV_01Cmp2D& document, const TVector2D& from, const TVector2D& to)
{
    const int32_t id = document.AddObject(-1, std::make_unique<TLine2D>(-1, PointOf(from), PointOf(to)))->ID();
    RecordEditStep(TUndoKind::NewObjects, {id});
    return id;
}

// The first selected object of a selection parameter, or null.
TObject2D* FirstSelected(TQV_00CADPrgParam* param)
{
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(param);
    if (!selection)
        return nullptr;
    const std::vector<TObject2D*> objects = selection->Objects();
    return objects.empty() ? nullptr : objects.front();
}

// What TLineaPerpend and TMyArcoTan1 share: the picked primitive goes on to
// a point pick whose after-state constructs.
TCADStateClass HandToPointPick(TQV_00State& state, TQV_00CADProg& prg, TCADStateParam& newParam,
                               std::string_view stateName, TCADStateClass operation, TCADStateClass constructor)
{
    auto* entity = dynamic_cast<TPrimitive2D*>(FirstSelected(state.Param()));
    if (!entity)
        throw ECADSysException(InvalidParamMessage(stateName));
    auto chain = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, constructor);
    chain->SetUserObject(entity);
    newParam = TCADStateParam(std::move(chain));
    prg.SetOperationClass(operation);
    return StateClassOf<TQV_50SelectPoint>();
}

// The user object of the point pick's parameter, when it is still one of
// the drawing's primitives; the reference is cleared either way.
TPrimitive2D* TakeUserEntity(TQV_00CADPrgParam* param, TQV_01Cmp2D& document)
{
    if (!param)
        return nullptr;
    TGraphicObject* object = param->UserObject();
    param->SetUserObject(nullptr);
    // The entity may have gone (an undo) while the point was picked: only
    // a pointer the drawing still holds is followed.
    if (!DocumentHolds(document, object))
        return nullptr;
    return dynamic_cast<TPrimitive2D*>(object);
}

void StartSelection(TQV_00CADProg& prg, bool two, TCADStateClass after,
                    TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, after);
    param->OnSelected = std::move(onSelected);
    if (two)
        prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), std::move(param));
    else
        prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), std::move(param));
}

} // namespace

// --- Geometry -------------------------------------------------------------------

std::optional<int32_t> PerpendicularLineTo(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p)
{
    const TVector2D from = XY(p);
    TVector2D foot;
    switch (EditKindOf(&entity)) {
    case TEditKind::Line: {
        TVector2D p1, p2;
        if (!EntityPoints01(entity, p1, p2))
            return std::nullopt;
        FootOnLineXY(p1.X, p1.Y, p2.X, p2.Y, from.X, from.Y, foot.X, foot.Y);
        break;
    }
    case TEditKind::Arc:
    case TEditKind::Circle: {
        TVector2D centre;
        double radius = 0.0;
        if (!CentreAndRadius(entity, centre, radius))
            return std::nullopt;
        foot = PointTowards(from, centre, static_cast<float>(radius));
        break;
    }
    case TEditKind::Other:
        UserNotifier().ShowMessage(EMessageKind::Warning, WrongKindMessage(),
                                   LangText(LangKeys::String::ErrorCaption));
        return std::nullopt;
    }
    if (IsSameVector2D(foot, from))
        return std::nullopt;
    return AddLine(document, from, foot);
}

std::optional<std::array<TVector2D, 2>> TangentLineTwoCircles(const TArcInfo2D& a1, const TVector2D& pick1,
                                                              const TArcInfo2D& a2, const TVector2D& pick2)
{
    const TVector2D c1 = a1.Centre;
    const TVector2D c2 = a2.Centre;
    const double r1 = a1.Radius;
    const double r2 = a2.Radius;
    const double d = DistanceVector2D(c1, c2);
    if (!(d > 0.0))
        return std::nullopt; // equal centres: no direction between them
    const TVector2D u = ScaleVector2D(SubtractVectors2D(c2, c1), 1.0 / d);
    const TVector2D p{u.Y, -u.X};

    // n is the unit normal of the tangent; g its component along u. The
    // first two are the outer tangents, the last two the crossing ones.
    struct TCandidate {
        double G;
        double S1, S2;
    };
    const TCandidate candidates[4] = {
        {(r2 - r1) / d, 1, 1}, {(r2 - r1) / d, -1, -1}, {(r1 + r2) / d, -1, 1}, {(r1 + r2) / d, 1, -1}};
    constexpr float NoTangent = 999999.0f;
    std::array<double, 4> scores{};
    std::array<std::array<TVector2D, 2>, 4> lines{};
    for (size_t k = 0; k < 4; ++k) {
        const TCandidate& c = candidates[k];
        const double hh = 1.0 - c.G * c.G;
        float score = NoTangent + NoTangent;
        if (hh >= 0.0) {
            const double h = std::sqrt(hh);
            const TVector2D n = AddVectors2D(ScaleVector2D(u, c.S2 * c.G), ScaleVector2D(p, h));
            const TVector2D t1 = SubtractVectors2D(c1, ScaleVector2D(n, c.S1 * r1));
            const TVector2D t2 = SubtractVectors2D(c2, ScaleVector2D(n, c.S2 * r2));
            lines[k] = {t1, t2};
            // Circles that touch have a crossing "tangent" of length 0,
            // which is no line.
            if (!IsSameVector2D(t1, t2)) {
                auto distance = [&](const TVector2D& a, const TVector2D& b) {
                    const float e = static_cast<float>(DistanceVector2D(a, b));
                    return std::isnan(e) ? NoTangent : e;
                };
                score = distance(t1, pick1) + distance(t2, pick2);
            }
        }
        scores[k] = score;
    }
    const int best = IndexOfMinValue(scores);
    if (best < 0 || scores[static_cast<size_t>(best)] >= static_cast<double>(NoTangent + NoTangent))
        return std::nullopt;
    return lines[static_cast<size_t>(best)];
}

std::optional<int32_t> TangentLineAtAngle(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p,
                                          double length, double angleDeg)
{
    TVector2D centre;
    double r = 0.0;
    if (!IsArcOrCircle(&entity) || !CentreAndRadius(entity, centre, r))
        return std::nullopt;
    // Radius, length and angle are single precision values, as the panel
    // hands them over.
    const double radius = static_cast<float>(r);
    const double len = static_cast<float>(length);
    const double a = static_cast<float>(angleDeg);
    if (len == 0.0)
        return std::nullopt; // a line of length 0 is no line
    const TPoint2D q = Point2D(centre.X + radius * std::cos(Radians(a)), centre.Y + radius * std::sin(Radians(a)));
    // The tangent point on the side of p: the direction turned by -90 or +90.
    const double b = IsRightTurnPt(PointOf(centre), q, p) ? a - 90.0 : a + 90.0;
    const TVector2D t{centre.X + radius * std::cos(Radians(b)), centre.Y + radius * std::sin(Radians(b))};
    const TVector2D e{t.X + len * std::cos(Radians(a)), t.Y + len * std::sin(Radians(a))};
    return AddLine(document, t, e);
}

std::optional<int32_t> TangentCircleFromCentre(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p)
{
    const TVector2D centre = XY(p);
    TVector2D touch;
    switch (EditKindOf(&entity)) {
    case TEditKind::Line: {
        TVector2D p1, p2;
        if (!EntityPoints01(entity, p1, p2))
            return std::nullopt;
        FootOnLineXY(p1.X, p1.Y, p2.X, p2.Y, centre.X, centre.Y, touch.X, touch.Y);
        break;
    }
    case TEditKind::Arc:
    case TEditKind::Circle: {
        TVector2D c;
        double radius = 0.0;
        if (!CentreAndRadius(entity, c, radius))
            return std::nullopt;
        touch = PointTowards(centre, c, static_cast<float>(radius));
        break;
    }
    case TEditKind::Other:
        return std::nullopt;
    }
    // A centre on the entity would give a circle of radius 0.
    if (IsSameVector2D(touch, centre))
        return std::nullopt;
    const int32_t id =
        document.AddObject(-1, std::make_unique<TArco2D>(-1, p, PointOf(touch), 0.0, 0.0))->ID();
    RecordEditStep(TUndoKind::NewObjects, {id});
    return id;
}

// --- States ------------------------------------------------------------------------

TLineaPerpend::TLineaPerpend(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    TCADStateParam chain;
    nextState = HandToPointPick(*this, prg, chain, "TLinePerpend", StateClassOf<TLineaPerpend>(),
                                StateClassOf<TMyLineaPerPunto>());
    ReplaceParam(std::move(chain));
}

TMyLineaPerPunto::TMyLineaPerPunto(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (Param() && Param()->UserObject()) {
        TQV_01Cmp2D& document = CommandDocument(prg, ClassName);
        if (TPrimitive2D* entity = TakeUserEntity(Param(), document))
            if (PerpendicularLineTo(document, *entity, CommandSnappedPoint(prg)))
                prg.MarkSceneDirty();
    }
    nextState = prg.IdleClass();
    ClearParam();
}

TMyLineaTan2A::TMyLineaTan2A(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param())) {
        TQV_01Cmp2D& document = CommandDocument(prg, ClassName);
        const std::vector<TObject2D*> objects = selection->Objects();
        auto* first = objects.size() > 0 ? dynamic_cast<TPrimitive2D*>(objects[0]) : nullptr;
        auto* second = objects.size() > 1 ? dynamic_cast<TPrimitive2D*>(objects[1]) : nullptr;
        if (first && second && IsArcOrCircle(first) && IsArcOrCircle(second)) {
            const TVector2D pick0 = XY(SelectionPickPoints[0]);
            const TVector2D pick1 = XY(SelectionPickPoints[1]);
            // A circle paired with an arc comes first; each tangent point
            // is scored against its own entity's pick.
            const bool swap = EditKindOf(first) == TEditKind::Arc && EditKindOf(second) == TEditKind::Circle;
            const auto line = swap ? TangentLineTwoCircles(CircleInfo(*second), pick1, CircleInfo(*first), pick0)
                                   : TangentLineTwoCircles(CircleInfo(*first), pick0, CircleInfo(*second), pick1);
            if (line) {
                AddLine(document, (*line)[0], (*line)[1]);
                prg.MarkSceneDirty();
            }
        }
        ClearEditOverlay(prg);
    }
    nextState = prg.IdleClass();
    ClearParam();
}

TMyLineaTanAngle::TMyLineaTanAngle(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (dynamic_cast<TQV_50SelectObjectsParam*>(Param())) {
        TQV_01Cmp2D& document = CommandDocument(prg, ClassName);
        TInfoEditModel* panel = InfoEditPanel();
        if (auto* entity = dynamic_cast<TPrimitive2D*>(FirstSelected(Param())); entity && panel)
            if (TangentLineAtAngle(document, *entity, CommandSnappedPoint(prg), panel->GetValue(0),
                                   panel->GetValue(1)))
                prg.MarkSceneDirty();
        ClearEditOverlay(prg);
    }
    nextState = prg.IdleClass();
    ClearParam();
}

TMyArcoTan1::TMyArcoTan1(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    TCADStateParam chain;
    nextState = HandToPointPick(*this, prg, chain, "TArcTan1", StateClassOf<TMyArcoTan1>(),
                                StateClassOf<TMyArcoTan1Punto>());
    ReplaceParam(std::move(chain));
}

TMyArcoTan1Punto::TMyArcoTan1Punto(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (Param() && Param()->UserObject()) {
        TQV_01Cmp2D& document = CommandDocument(prg, ClassName);
        if (TPrimitive2D* entity = TakeUserEntity(Param(), document))
            TangentCircleFromCentre(document, *entity, CommandSnappedPoint(prg));
    }
    prg.MarkSceneDirty();
    nextState = prg.IdleClass();
    ClearParam();
}

TMyArcoTan2::TMyArcoTan2(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param())) {
        TQV_01Cmp2D& document = CommandDocument(prg, ClassName);
        TObject2D* first = nullptr;
        TObject2D* second = nullptr;
        TakeSelectedPair(document, *selection, first, second);
        ClearEditOverlay(prg);
        FilletPair(document, first, second, SelectionPickPoints, true);
        prg.MarkSceneDirty();
    }
    nextState = prg.IdleClass();
    ClearParam();
}

TSelez1Ent::TSelez1Ent(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    TObject2D* object = FirstSelected(Param());
    if (TQVScene* scene = ProgramScene(prg))
        scene->HidePickBox();
    auto* entity = dynamic_cast<TPrimitive2D*>(object);
    if (!entity)
        throw ECADSysException(InvalidParamMessage("TS1E"));
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetPageType(InfoEditPage::None);
        panel->ShowObject(*entity);
    }
    nextState = prg.IdleClass();
    ClearParam();
}

// --- Starting ---------------------------------------------------------------------

void StartPerpendicularLineCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetReadOnly(false);
        panel->SetPanelVisible(false);
    }
    StartSelection(prg, false, StateClassOf<TLineaPerpend>(), std::move(onSelected));
}

void StartTangentLineTwoArcsCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetCommandPage(InfoEditPage::TangentLineArcs);
    StartSelection(prg, true, StateClassOf<TMyLineaTan2A>(), std::move(onSelected));
    prg.UsaSnap = false;
}

void StartTangentLineAtAngleCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetCommandPage(InfoEditPage::TangentLineAngle);
    StartSelection(prg, false, StateClassOf<TMyLineaTanAngle>(), std::move(onSelected));
    prg.UsaSnap = false;
}

void StartTangentCircleFromCentreCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetCommandPage(InfoEditPage::ArcTangentOne);
        panel->SetPanelVisible(false);
    }
    StartSelection(prg, false, StateClassOf<TMyArcoTan1>(), std::move(onSelected));
    prg.UsaSnap = true;
}

void StartTangentCircleRadiusCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetCommandPage(InfoEditPage::ArcTangentTwo);
        FilletRadius = panel->GetValue(0);
    }
    StartSelection(prg, true, StateClassOf<TMyArcoTan2>(), std::move(onSelected));
    prg.UsaSnap = true;
}

void StartInspectEntityCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetReadOnly(false);
        panel->SetPanelVisible(true);
    }
    StartSelection(prg, false, StateClassOf<TSelez1Ent>(), std::move(onSelected));
}

void TangentPanelEdited(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    TInfoEditModel* panel = InfoEditPanel();
    if (!panel || panel->PageKind() != TPanelPageKind::Command)
        return;
    if (panel->PageType() == InfoEditPage::TangentLineAngle)
        StartTangentLineAtAngleCommand(prg, std::move(onSelected));
    else if (panel->PageType() == InfoEditPage::ArcTangentTwo)
        StartTangentCircleRadiusCommand(prg, std::move(onSelected));
}
