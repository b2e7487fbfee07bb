#include "cad/states/DrawArcStates.h"

#include "cad/program/QV_00CADProg.h"
#include "core/geometry/ArcFrom3Points.h"
#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/UserNotifier.h"

namespace {

constexpr std::string_view ArcCheckName = "TQV2D_DrawArcoPrimitive";
constexpr std::string_view EllipseCheckName = "TQV_40DEOPP";
constexpr std::string_view Arc3PtCheckName = "TQV_40DrawArco3Pt";
// Prompt slots: "475" centre, "482" box, "476" angles, "474" points.
constexpr size_t PromptCentre = 5;
constexpr size_t PromptBox = 7;
constexpr size_t PromptAngles = 6;
constexpr size_t PromptPoints = 4;

// The clicks after which the entity is complete, and after which it has
// enough to be added on accept (the centre and radius point, or the box).
constexpr int FourPointClicks = 4;
constexpr int FourPointLeast = 2;
constexpr int ThreePointClicks = 3;

// Control points 2 and 3 of an arc or elliptical arc to the point of angle
// 0 of the curve that control points 0 and 1 define. Done here rather than
// through SetStartAngle (0) and SetEndAngle (0), which leave the points
// alone whenever the angle fields already read 0, wherever the points are.
void PlaceBothAnglePoints(TPrimitive2D& curve, const TPoint2D& p)
{
    curve.Points().SetPoint(2, p);
    curve.Points().SetPoint(3, p);
}

TVector2D XY(const TPoint2D& p) { return TVector2D{p.X, p.Y}; }

} // namespace

// --- Four clicks ------------------------------------------------------------------

TQV_40DrawFourPointState::TQV_40DrawFourPointState(TQV_00CADProg& prg, TCADStateParam param)
    : TQV_40DrawingState(prg, std::move(param), true)
{
}

bool TQV_40DrawFourPointState::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TPrimitive2D& entity = Entity();
    uint16_t& k = CurrentIndex();

    if (event.Kind == TCADEventKind::MouseMove) {
        if (k > 0 && k < FourPointClicks) {
            entity.Points().SetPoint(k, entity.InverseTransformPoint(SnappedPoint()));
            ShowDrag(entity);
        }
        return false;
    }
    if (event.Kind == TCADEventKind::Repaint) {
        ShowDrag(entity);
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        const TPoint2D s = SnappedPoint();
        const TPoint2D q = entity.InverseTransformPoint(s);
        NoteClick(s);
        if (k < FourPointClicks)
            entity.Points().SetPoint(k, q);
        ++k;
        if (k >= FourPointClicks) {
            Finish(nextState);
            return true;
        }
        if (k == 2) {
            ResetAngles();
            SetPromptSlot(PromptAngles);
        }
        entity.Points().SetPoint(k, q);
        ShowDrag(entity);
        return false;
    }
    if (event.IsUser(TCADUserEvent::Accept)) {
        if (k < FourPointLeast)
            return false;
        Finish(nextState);
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        CancelDrawing(nextState);
        return true;
    }
    return false;
}

// --- Arc by centre, radius point, start and end ---------------------------------------

TQV_40DrawArcoPrimitive::TQV_40DrawArcoPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawFourPointState(prg, std::move(param))
{
    ArcParam();
    SetPromptSlot(PromptCentre);
}

TQV_40DrawArcoPrimitiveParam& TQV_40DrawArcoPrimitive::ArcParam() const
{
    auto& param = CheckParam<TQV_40DrawArcoPrimitiveParam>(ArcCheckName);
    if (!param.Arc())
        throw ECADSysException(InvalidParamMessage(ArcCheckName));
    return param;
}

TPrimitive2D& TQV_40DrawArcoPrimitive::Entity() const { return *ArcParam().Arc(); }

uint16_t& TQV_40DrawArcoPrimitive::CurrentIndex() const { return ArcParam().CurrentIndex; }

void TQV_40DrawArcoPrimitive::ResetAngles()
{
    TArco2D& arc = *ArcParam().Arc();
    const TPoint2D c = CartesianPoint2D(arc.Points().Get(0));
    const double r = DistanceXY(c, CartesianPoint2D(arc.Points().Get(1)));
    PlaceBothAnglePoints(arc, Point2D(c.X + r, c.Y));
}

void TQV_40DrawArcoPrimitive::Finish(TCADStateClass& nextState)
{
    TQV_40DrawArcoPrimitiveParam& param = ArcParam();
    FinishEntity(param, param.ArcSlot(), nextState);
}

// --- Elliptical arc -----------------------------------------------------------------

TQV_40DrawEOPrimitive::TQV_40DrawEOPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawFourPointState(prg, std::move(param))
{
    EllipseParam();
    SetPromptSlot(PromptBox);
}

TQV_40DrawEOPrimitiveParam& TQV_40DrawEOPrimitive::EllipseParam() const
{
    auto& param = CheckParam<TQV_40DrawEOPrimitiveParam>(EllipseCheckName);
    if (!param.Ellipse())
        throw ECADSysException(InvalidParamMessage(EllipseCheckName));
    return param;
}

TPrimitive2D& TQV_40DrawEOPrimitive::Entity() const { return *EllipseParam().Ellipse(); }

uint16_t& TQV_40DrawEOPrimitive::CurrentIndex() const { return EllipseParam().CurrentIndex; }

void TQV_40DrawEOPrimitive::ResetAngles()
{
    TEllipseOpen2D& ellipse = *EllipseParam().Ellipse();
    const TEllipseAxes e = EllipseAxesFromBox(ellipse.Points().Get(0), ellipse.Points().Get(1));
    PlaceBothAnglePoints(ellipse, Point2D(e.CX + e.A, e.CY));
}

void TQV_40DrawEOPrimitive::Finish(TCADStateClass& nextState)
{
    TQV_40DrawEOPrimitiveParam& param = EllipseParam();
    FinishEntity(param, param.EllipseSlot(), nextState);
}

// --- Arc or circle through three points --------------------------------------------------

TQV_40DrawArco3Pt::TQV_40DrawArco3Pt(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawingState(prg, std::move(param), true)
{
    ArcParam();
    SetPromptSlot(PromptPoints);
}

TQV_40DrawArcoPrimitiveParam& TQV_40DrawArco3Pt::ArcParam() const
{
    auto& param = CheckParam<TQV_40DrawArcoPrimitiveParam>(Arc3PtCheckName);
    if (!param.Arc())
        throw ECADSysException(InvalidParamMessage(Arc3PtCheckName));
    return param;
}

void TQV_40DrawArco3Pt::ComputeCircle()
{
    TArco2D& arc = *ArcParam().Arc();
    // Aligned points have no circle: both calls then leave the arc alone.
    SetArcCenterFrom3Points(arc, m_Points[0], m_Points[1], m_Points[2], m_Centre);
    SetArcRadiusFrom3Points(arc, m_Points[0], m_Points[1], m_Points[2]);
}

void TQV_40DrawArco3Pt::SetAngles()
{
    TQV_40DrawArcoPrimitiveParam& param = ArcParam();
    TArco2D& arc = *param.Arc();
    if (param.ArcFlag) {
        SetArcAnglesFrom3Points(arc, m_Points[0], m_Points[1], m_Points[2], m_Centre);
        return;
    }
    const TPoint2D c = CartesianPoint2D(arc.Points().Get(0));
    const double r = DistanceXY(c, CartesianPoint2D(arc.Points().Get(1)));
    PlaceBothAnglePoints(arc, Point2D(c.X + r, c.Y));
}

void TQV_40DrawArco3Pt::Finish(TCADStateClass& nextState)
{
    TQV_40DrawArcoPrimitiveParam& param = ArcParam();
    FinishEntity(param, param.ArcSlot(), nextState);
}

bool TQV_40DrawArco3Pt::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_40DrawArcoPrimitiveParam& param = ArcParam();
    TArco2D& arc = *param.Arc();
    uint16_t& k = param.CurrentIndex;

    if (event.IsMouseDown(TCADButton::Left)) {
        if (k >= ThreePointClicks)
            return false;
        const TPoint2D s = SnappedPoint();
        const TPoint2D q = arc.InverseTransformPoint(s);
        NoteClick(s);
        m_Points[k] = q;
        ++k;
        if (k < ThreePointClicks) {
            ComputeCircle();
            ShowDrag(arc);
            return false;
        }
        if (ArePointsAligned(XY(m_Points[0]), XY(m_Points[1]), XY(m_Points[2]))) {
            UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::ArcPointsAligned),
                                       LangText(LangKeys::String::ErrorCaption));
            CancelDrawing(nextState);
            return true;
        }
        // The circle through the clicked points, not through the last
        // cursor position: a typed third point comes without a move.
        ComputeCircle();
        SetAngles();
        Finish(nextState);
        return true;
    }
    if (event.Kind == TCADEventKind::MouseMove) {
        if (k == 0 || k >= ThreePointClicks)
            return false;
        const TPoint2D q = arc.InverseTransformPoint(SnappedPoint());
        if (k == 2 && ArePointsAligned(XY(m_Points[0]), XY(m_Points[1]), XY(q)))
            return false;
        m_Points[k] = q;
        ComputeCircle();
        SetAngles();
        ShowDrag(arc);
        return false;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        CancelDrawing(nextState);
        return true;
    }
    // Accept is ignored: the arc is complete, and added, at its third click.
    return false;
}
