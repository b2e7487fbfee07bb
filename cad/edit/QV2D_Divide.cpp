#include "cad/edit/QV2D_Divide.h"

#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/Tolerance.h"

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

std::vector<TObject2D*> SelectedObjects(const TQV_00State& state)
{
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(state.Param());
    return selection ? selection->Objects() : std::vector<TObject2D*>{};
}

TPoint2D ToPoint(const TVector2D& v) { return Point2D(v.X, v.Y); }

bool HasArcPoints(const TArco2D& arc) { return arc.Points().Count() >= 4; }

// Gives the entity the two points (drawing coordinates) in place of its
// control points 0 and 1, without transforms.
void SetLinePoints(TPrimitive2D& entity, const TVector2D& p0, const TVector2D& p1)
{
    entity.ResetTransforms();
    entity.Points().Put(0, ToPoint(p0));
    entity.Points().Put(1, ToPoint(p1));
    entity.UpdateBounds();
}

// --- Divide ----------------------------------------------------------------------

void DivideLine(TQV_01Cmp2D& document, TLine2D& line)
{
    if (line.Points().Count() < 2)
        return;
    const TVector2D p1 = DrawingPoint(line, 0);
    const TVector2D p2 = DrawingPoint(line, 1);
    const TVector2D m = MidPoint2D(p1, p2);
    const int32_t half =
        document.AddObjectOnLayer(-1, line.Layer(), std::make_unique<TLine2D>(-1, ToPoint(p1), ToPoint(m)))->ID();
    RecordEditStep(TUndoKind::Divide, std::array{line.ID(), half});
    SetLinePoints(line, m, p2);
}

void DivideArc(TQV_01Cmp2D& document, TArco2D& arc)
{
    if (!HasArcPoints(arc))
        return;
    const TArcInfo2D info = arc.GetArcInfo();
    const TPoint2D mid = arc.PointAtFraction(0.5);
    const double a = AngleOf2PointsSigned(info.Centre, TVector2D{mid.X, mid.Y});
    const int32_t half =
        document
            .AddObjectOnLayer(-1, arc.Layer(),
                              std::make_unique<TArco2D>(-1, ToPoint(info.Centre), ToPoint(info.StartPoint), a,
                                                        info.EndAngle))
            ->ID();
    RecordEditStep(TUndoKind::Divide, std::array{arc.ID(), half});
    SetArcInDrawing(arc, info.Centre, info.StartPoint, info.StartAngle, a);
}

// Two semicircles from the circle's angle-0 point: 0 to pi, then pi to 0.
// The circle is recorded before it goes, so undo brings the circle back,
// not an arc in its place.
void DivideCircle(TQV_01Cmp2D& document, TCerchio2D& circle)
{
    if (circle.Points().Count() < 2)
        return;
    const TPoint2D centre = ToPoint(DrawingPoint(circle, 0));
    const TPoint2D radiusPoint = ToPoint(DrawingPoint(circle, 1));
    const auto addHalf = [&](double startAngle, double endAngle) {
        auto half = std::make_unique<TArco2D>(-1, centre, radiusPoint, startAngle, endAngle);
        return document.AddObjectOnLayer(-1, circle.Layer(), std::move(half))->ID();
    };
    const int32_t first = addHalf(0.0, std::numbers::pi);
    const int32_t second = addHalf(std::numbers::pi, 0.0);
    RecordEditStep(TUndoKind::Explode, std::array{circle.ID(), first, second});
    document.DeleteObject(circle.ID());
    document.RepaintViewports();
}

// Hides the view's pick box when the divide ends, by an error too.
class TPickBoxHider {
public:
    explicit TPickBoxHider(TQV_00CADProg& prg) : m_Prg(prg) {}
    ~TPickBoxHider()
    {
        if (TQVScene* scene = ProgramScene(m_Prg))
            scene->HidePickBox();
    }
    TPickBoxHider(const TPickBoxHider&) = delete;
    TPickBoxHider& operator=(const TPickBoxHider&) = delete;

private:
    TQV_00CADProg& m_Prg;
};

// --- Join --------------------------------------------------------------------------

void JoinLines(TQV_01Cmp2D& document, TLine2D& first, TLine2D& second)
{
    if (first.Points().Count() < 2 || second.Points().Count() < 2)
        return;
    const std::array<TVector2D, 4> p{DrawingPoint(first, 0), DrawingPoint(first, 1), DrawingPoint(second, 0),
                                     DrawingPoint(second, 1)};
    // The line of a first line without length is no direction to test
    // against: any line would pass as collinear with it.
    const bool firstIsBase = DistanceVector2D(p[0], p[1]) > SystemTol();
    const TVector2D& b1 = firstIsBase ? p[0] : p[2];
    const TVector2D& b2 = firstIsBase ? p[1] : p[3];
    const TVector2D& t1 = firstIsBase ? p[2] : p[0];
    const TVector2D& t2 = firstIsBase ? p[3] : p[1];
    if (!ArePointsAligned(b1, b2, t1) || !ArePointsAligned(b1, b2, t2)) {
        ShowEditWarning(LangKeys::String::JoinNotCollinear);
        return;
    }
    // Of collinear points the one farthest from any point is an outermost one.
    TVector2D e1{0.0, 0.0};
    PickFarthestPoint(e1, p);
    TVector2D e2 = e1;
    PickFarthestPoint(e2, p);
    RecordEditStep(TUndoKind::Join, std::array{first.ID(), second.ID()});
    document.DeleteObject(second.ID());
    SetLinePoints(first, e1, e2);
}

void JoinArcs(TQV_01Cmp2D& document, TArco2D& first, TArco2D& second)
{
    if (!HasArcPoints(first) || !HasArcPoints(second))
        return;
    const TArcInfo2D i1 = first.GetArcInfo();
    const TArcInfo2D i2 = second.GetArcInfo();
    if (!IsSameVector2D(i1.Centre, i2.Centre) || !IsSameValue(i1.Radius, i2.Radius)) {
        ShowEditWarning(LangKeys::String::JoinNotSameCircle);
        return;
    }
    RecordEditStep(TUndoKind::Join, std::array{first.ID(), second.ID()});
    document.DeleteObject(second.ID());
    SetArcInDrawing(first, i1.Centre, i1.StartPoint, AngleOf2Points(i1.Centre, i1.StartPoint), i2.EndAngle);
}

bool IsLineOrArc(const TObject2D& object)
{
    return dynamic_cast<const TLine2D*>(&object) || dynamic_cast<const TArco2D*>(&object);
}

// --- Extend --------------------------------------------------------------------------

void ExtendLine(TLine2D& line, double length, const TVector2D& cursor)
{
    if (length == 0.0 || line.Points().Count() < 2)
        return;
    TVector2D p1 = DrawingPoint(line, 0);
    TVector2D p2 = DrawingPoint(line, 1);
    const double lineLength = DistanceVector2D(p1, p2);
    // No direction to go, or a shortening that would turn the line round.
    if (lineLength <= SystemTol() || lineLength + length <= SystemTol())
        return;
    const TVector2D u = NormalizeVector2D(SubtractVectors2D(p2, p1));
    RecordEditStep(TUndoKind::Extend, std::array{line.ID()});
    if (DistanceVector2D(p1, cursor) > DistanceVector2D(p2, cursor))
        p2 = AddVectors2D(p2, ScaleVector2D(u, length));
    else
        p1 = SubtractVectors2D(p1, ScaleVector2D(u, length));
    SetLinePoints(line, p1, p2);
}

void ExtendArc(TArco2D& arc, double length, const TVector2D& cursor)
{
    if (length == 0.0 || !HasArcPoints(arc))
        return;
    const TArcInfo2D info = arc.GetArcInfo();
    if (IsSameValue(info.Sweep, kTwoPi) || info.Radius <= SystemTol())
        return;
    double da = length / info.Radius;
    if (info.Sweep + da > kTwoPi)
        da = kTwoPi - info.Sweep;
    // A shortening that would use up the arc would turn it into its
    // complement.
    if (info.Radius * (info.Sweep + da) <= SystemTol())
        return;
    RecordEditStep(TUndoKind::Extend, std::array{arc.ID()});
    if (DistanceVector2D(info.StartPoint, cursor) >= DistanceVector2D(info.EndPoint, cursor))
        SetArcInDrawing(arc, info.Centre, info.StartPoint, info.StartAngle, info.EndAngle + da);
    else
        SetArcInDrawing(arc, info.Centre, info.StartPoint, info.StartAngle - da, info.EndAngle);
}

// The end point moves along its end segment by the length measured in the
// drawing; the polyline keeps its transform, the moved point is stored in
// the polyline's own coordinates.
void ExtendPolyline(TPolyline2D& polyline, double length, const TVector2D& cursor)
{
    const int n = polyline.Points().Count();
    if (length == 0.0 || n < 2 || polyline.IsClosed())
        return;
    const bool atEnd =
        DistanceVector2D(DrawingPoint(polyline, 0), cursor) >= DistanceVector2D(DrawingPoint(polyline, n - 1), cursor);
    const int moving = atEnd ? n - 1 : 0;
    const int neighbour = atEnd ? n - 2 : 1;
    const TVector2D end = DrawingPoint(polyline, moving);
    const TVector2D direction = SubtractVectors2D(end, DrawingPoint(polyline, neighbour));
    const double segment = VectorLength2D(direction);
    if (segment <= SystemTol() || segment + length <= SystemTol())
        return;
    const TVector2D moved = AddVectors2D(end, ScaleVector2D(direction, length / segment));
    TPoint2D stored = ToPoint(moved);
    if (polyline.HasTransform())
        stored = CartesianPoint2D(polyline.InverseTransformPoint(stored));
    RecordEditStep(TUndoKind::Extend, std::array{polyline.ID()});
    polyline.Points().SetPoint(moving, stored);
}

TVector2D SnappedCursor(TQV_00CADProg& prg)
{
    const TPoint2D p = CartesianPoint2D(dynamic_cast<TQV_00Prog*>(&prg)
                                            ? static_cast<TQV_00Prog&>(prg).GetSnappedPoint()
                                            : prg.GetCursorPoint());
    return TVector2D{p.X, p.Y};
}

template <class TCommand>
void StartOneOrTwo(TQV_00Prog& prg, uint8_t page, TCADStateClass selection,
                   TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetCommandPage(page);
    prg.UsaSnap = false;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TCommand>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(selection, std::move(param));
}

} // namespace

TQV2D_Divide::TQV2D_Divide(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    TPickBoxHider hider(prg);
    ClearEditOverlay(prg);
    const std::vector<TObject2D*> objects = SelectedObjects(*this);
    ClearParam();
    for (TObject2D* object : objects) {
        auto* line = dynamic_cast<TLine2D*>(object);
        auto* arc = dynamic_cast<TArco2D*>(object);
        auto* circle = dynamic_cast<TCerchio2D*>(object);
        if (!line && !arc && !circle) {
            ShowWrongKindMessage(true);
            continue;
        }
        TQV_01Cmp2D* document = OwnerDocument(*object);
        if (!document)
            continue;
        if (line)
            DivideLine(*document, *line);
        else if (arc)
            DivideArc(*document, *arc);
        else
            DivideCircle(*document, *circle);
    }
}

TQV2D_Join::TQV2D_Join(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    const bool selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param()) != nullptr;
    const std::vector<TObject2D*> objects = SelectedObjects(*this);
    ClearEditOverlay(prg);
    ClearParam();
    if (selection)
        prg.MarkSceneDirty();
    if (objects.size() < 2)
        return;
    TObject2D& first = *objects[0];
    TObject2D& second = *objects[1];
    TQV_01Cmp2D* document = OwnerDocument(first);
    if (!IsLineOrArc(first) || !IsLineOrArc(second)) {
        ShowWrongKindMessage(false);
        return;
    }
    if (!document || &first == &second)
        return;
    auto* line1 = dynamic_cast<TLine2D*>(&first);
    auto* line2 = dynamic_cast<TLine2D*>(&second);
    auto* arc1 = dynamic_cast<TArco2D*>(&first);
    auto* arc2 = dynamic_cast<TArco2D*>(&second);
    if (line1 && line2)
        JoinLines(*document, *line1, *line2);
    else if (arc1 && arc2)
        JoinArcs(*document, *arc1, *arc2);
}

TQV2D_Extend::TQV2D_Extend(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    const TInfoEditModel* panel = InfoEditPanel();
    const double length = static_cast<float>(panel ? panel->GetValue(0) : 0.0);
    const bool selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param()) != nullptr;
    const std::vector<TObject2D*> objects = SelectedObjects(*this);
    ClearEditOverlay(prg);
    ClearParam();
    if (!selection)
        return;
    const TVector2D cursor = SnappedCursor(prg);
    for (TObject2D* object : objects) {
        if (auto* line = dynamic_cast<TLine2D*>(object))
            ExtendLine(*line, length, cursor);
        else if (auto* arc = dynamic_cast<TArco2D*>(object))
            ExtendArc(*arc, length, cursor);
        else if (auto* polyline = dynamic_cast<TPolyline2D*>(object))
            ExtendPolyline(*polyline, length, cursor);
    }
    prg.MarkSceneDirty();
}

void StartDivideCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    StartOneOrTwo<TQV2D_Divide>(prg, InfoEditPage::Divide, StateClassOf<TQV_50Seleziona1Ogg>(),
                                std::move(onSelected));
}

void StartJoinCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    StartOneOrTwo<TQV2D_Join>(prg, InfoEditPage::Join, StateClassOf<TQV_50Seleziona2Ogg>(), std::move(onSelected));
}

void StartExtendCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    StartOneOrTwo<TQV2D_Extend>(prg, InfoEditPage::Extend, StateClassOf<TQV_50Seleziona1Ogg>(),
                                std::move(onSelected));
}
