#include "cad/edit/QV2D_Fillet.h"

#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/geometry/ArcIntersections.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Offset2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"

#include <cmath>
#include <memory>
#include <vector>

double FilletRadius = 0.0;

namespace {

TVector2D XY(const TPoint2D& p) { return TVector2D{p.X, p.Y}; }

TPickPair Swapped(const TPickPair& picks) { return TPickPair{picks[1], picks[0]}; }

// The foot of p on the infinite line through a and b.
TVector2D FootOnLine(const TVector2D& a, const TVector2D& b, const TVector2D& p)
{
    TVector2D q;
    FootOnLineXY(a.X, a.Y, b.X, b.Y, p.X, p.Y, q.X, q.Y);
    return q;
}

// Adds the fillet arc about centre through radiusPoint on the current layer.
TArco2D& AddFilletArc(TQV_01Cmp2D& document, const TVector2D& centre, const TVector2D& radiusPoint,
                      const TArcSpan& span)
{
    return *document.AddObject(-1, std::make_unique<TArco2D>(-1, Point2D(centre.X, centre.Y),
                                                              Point2D(radiusPoint.X, radiusPoint.Y), span.Start,
                                                              span.End));
}

// The arc cut back to its tangent point t on the side of its pick.
void TrimArcToTangent(TArco2D& arc, const TArcInfo2D& before, const TVector2D& t, const TVector2D& pick)
{
    TArcInfo2D after = before;
    FilletArcEnd(after, t, pick);
    SetArcInDrawing(arc, after.Centre, before.StartPoint, after.StartAngle, after.EndAngle);
}

} // namespace

TArcSpan FilletArcAngles(const TVector2D& v1, const TVector2D& v2)
{
    double start = std::atan2(v1.Y, v1.X);
    double end = AngleBetweenVectors(v1, v2);
    const bool swapped = CrossProduct2D(v1, v2) < 0.0;
    if (swapped)
        end = -end;
    end = start + end;
    while (start < 0.0)
        start += kTwoPi;
    while (end < 0.0)
        end += kTwoPi;
    if (swapped)
        return TArcSpan{end, start};
    return TArcSpan{start, end};
}

void FilletLineEnd(TVector2D& p1, TVector2D& p2, const TVector2D& t, const TVector2D& pick)
{
    if (IsSameVector2D(t, p1)) {
        p1 = t;
        return;
    }
    if (IsSameVector2D(t, p2)) {
        p2 = t;
        return;
    }
    // Whether the pick lies beyond t in the direction p1 to p2. Both vectors
    // lie on the line, so the sign of their dot product decides; comparing
    // their quadrants instead would flip on an axis-parallel line whenever
    // rounding leaves t a hair off it.
    const TVector2D f = ClosestPointOnSegment(p1, p2, pick);
    if (DotProduct2D(SubtractVectors2D(f, t), SubtractVectors2D(p2, p1)) > 0.0)
        p1 = t;
    else
        p2 = t;
}

void FilletArcEnd(TArcInfo2D& arc, const TVector2D& t, const TVector2D& pick)
{
    if (CrossProduct2D(SubtractVectors2D(t, arc.StartPoint), SubtractVectors2D(arc.EndPoint, arc.StartPoint)) < 0.0)
        return; // t is not on the arc
    const double aT = AngleOf2Points(arc.Centre, t);
    const double aP = AngleOf2Points(arc.Centre, pick);
    const double sT = ArcSweep(1, arc.StartAngle, aT);
    const double sP = ArcSweep(1, arc.StartAngle, aP);
    if (sT < sP)
        arc.StartAngle = aT;
    else if (sT < arc.Sweep)
        arc.EndAngle = aT;
}

void FilletLineLine(TQV_01Cmp2D& document, TLine2D& l1, TLine2D& l2, const TPickPair& picks, bool constructOnly)
{
    TVector2D p1, p2, p3, p4;
    if (!EntityPoints01(l1, p1, p2) || !EntityPoints01(l2, p3, p4))
        return;
    double a1, b1, c1, a2, b2, c2;
    LineCoefficients(p1, p2, a1, b1, c1);
    LineCoefficients(p3, p4, a2, b2, c2);
    if (a1 * b2 == a2 * b1)
        return; // parallel
    const TVector2D pick0 = XY(picks[0]);
    const TVector2D pick1 = XY(picks[1]);
    // Each line moves by R towards the side on which the other was picked.
    const double d1 = SignedDistanceToLine(pick1, a1, b1, c1);
    const double d2 = SignedDistanceToLine(pick0, a2, b2, c2);
    if (d1 == 0.0 || d2 == 0.0)
        return;
    const double r = FilletRadius;
    const double c1o = c1 - (d1 > 0.0 ? r : -r) * std::sqrt(a1 * a1 + b1 * b1);
    const double c2o = c2 - (d2 > 0.0 ? r : -r) * std::sqrt(a2 * a2 + b2 * b2);
    const double det = a1 * b2 - a2 * b1;
    const TVector2D centre{(c2o * b1 - c1o * b2) / det, (c1o * a2 - c2o * a1) / det};

    TArcSpan span;
    if (!constructOnly) {
        const TVector2D t1 = FootOnLineABC(centre, a1, b1, c1);
        const TVector2D t2 = FootOnLineABC(centre, a2, b2, c2);
        FilletLineEnd(p1, p2, t1, pick0);
        FilletLineEnd(p3, p4, t2, pick1);
        span = FilletArcAngles(SubtractVectors2D(t1, centre), SubtractVectors2D(t2, centre));
    }
    TArco2D& arc = AddFilletArc(document, centre, TVector2D{centre.X + r, centre.Y}, span);
    if (constructOnly) {
        RecordEditStep(TUndoKind::NewObjects, {arc.ID()});
    } else {
        RecordEditStep(TUndoKind::FilletLines, {l1.ID(), l2.ID(), arc.ID()});
        SetLineEnds(l1, p1, p2);
        SetLineEnds(l2, p3, p4);
    }
    document.RepaintViewports();
}

void FilletLineArc(TQV_01Cmp2D& document, TLine2D& line, TArco2D& arc, const TPickPair& picks, bool constructOnly)
{
    TVector2D p1, p2;
    if (!EntityPoints01(line, p1, p2))
        return;
    const TVector2D pick0 = XY(picks[0]); // the line's
    const TVector2D pick1 = XY(picks[1]); // the arc's
    const double r = FilletRadius;
    // The line moves towards the arc's pick, the arc's circle grows, or
    // shrinks when the line was picked inside it.
    const std::unique_ptr<TLine2D> offsetLine = OffsetLine2D(line, IsRightTurn(p1, p2, pick1) ? -r : r);
    const TArcInfo2D info = arc.GetArcInfo();
    const std::unique_ptr<TArco2D> offsetArc =
        OffsetArc2D(arc, PointCircleRelation(pick0, info.Centre, info.Radius) == -1 ? -r : r);
    std::vector<TVector2D> candidates;
    IntersectLineArc(*offsetLine, *offsetArc, candidates);
    if (candidates.empty())
        return;
    const TVector2D centre = candidates[static_cast<size_t>(NearestCandidate(candidates, pick0))];

    // The tangent point on the line is the centre's foot on the infinite
    // line: a fillet beyond the segment's end lengthens the line to it.
    const TVector2D tl = FootOnLine(p1, p2, centre);
    const TVector2D ta = PointTowards(centre, info.Centre, info.Radius);
    const TArcSpan span = constructOnly ? TArcSpan{}
                                        : FilletArcAngles(SubtractVectors2D(tl, centre), SubtractVectors2D(ta, centre));
    TArco2D& fillet = AddFilletArc(document, centre, ta, span);
    if (constructOnly) {
        RecordEditStep(TUndoKind::NewObjects, {fillet.ID()});
    } else {
        RecordEditStep(TUndoKind::FilletLineArc, {line.ID(), arc.ID(), fillet.ID()});
        FilletLineEnd(p1, p2, tl, pick0);
        SetLineEnds(line, p1, p2);
        TrimArcToTangent(arc, info, ta, pick1);
    }
    document.RepaintViewports();
}

void FilletArcLine(TQV_01Cmp2D& document, TArco2D& arc, TLine2D& line, const TPickPair& picks, bool constructOnly)
{
    FilletLineArc(document, line, arc, Swapped(picks), constructOnly);
}

void FilletArcArc(TQV_01Cmp2D& document, TArco2D& a1, TArco2D& a2, const TPickPair& picks, bool constructOnly)
{
    const TVector2D pick0 = XY(picks[0]);
    const TVector2D pick1 = XY(picks[1]);
    const double r = FilletRadius;
    // Each circle grows, or shrinks when the other arc was picked inside it.
    const TArcInfo2D i1 = a1.GetArcInfo();
    const std::unique_ptr<TArco2D> o1 = OffsetArc2D(a1, PointCircleRelation(pick1, i1.Centre, i1.Radius) == -1 ? -r : r);
    const TArcInfo2D i2 = a2.GetArcInfo();
    const std::unique_ptr<TArco2D> o2 = OffsetArc2D(a2, PointCircleRelation(pick0, i2.Centre, i2.Radius) == -1 ? -r : r);
    std::vector<TVector2D> candidates;
    IntersectCircleCircle(*o1, *o2, candidates);
    if (candidates.empty())
        return;
    const TVector2D centre = candidates[static_cast<size_t>(NearestCandidate(candidates, pick0))];

    const TVector2D t1 = PointTowards(centre, i1.Centre, i1.Radius);
    const TVector2D t2 = PointTowards(centre, i2.Centre, i2.Radius);
    const TArcSpan span = constructOnly ? TArcSpan{}
                                        : FilletArcAngles(SubtractVectors2D(t1, centre), SubtractVectors2D(t2, centre));
    TArco2D& fillet = AddFilletArc(document, centre, t1, span);
    if (constructOnly) {
        RecordEditStep(TUndoKind::NewObjects, {fillet.ID()});
        return;
    }
    RecordEditStep(TUndoKind::FilletArcs, {a1.ID(), a2.ID(), fillet.ID()});
    TrimArcToTangent(a1, i1, t1, pick0);
    TrimArcToTangent(a2, i2, t2, pick1);
}

void FilletLineCircle(TQV_01Cmp2D& document, TLine2D& line, TCerchio2D& circle, const TPickPair& picks,
                      bool constructOnly)
{
    FilletLineArc(document, line, ReplaceCircleByArc(document, circle), picks, constructOnly);
}

void FilletArcCircle(TQV_01Cmp2D& document, TArco2D& arc, TCerchio2D& circle, const TPickPair& picks,
                     bool constructOnly)
{
    FilletArcArc(document, arc, ReplaceCircleByArc(document, circle), picks, constructOnly);
}

void FilletCircleLine(TQV_01Cmp2D& document, TCerchio2D& circle, TLine2D& line, const TPickPair& picks,
                      bool constructOnly)
{
    FilletArcLine(document, ReplaceCircleByArc(document, circle), line, picks, constructOnly);
}

void FilletCircleArc(TQV_01Cmp2D& document, TCerchio2D& circle, TArco2D& arc, const TPickPair& picks,
                     bool constructOnly)
{
    FilletArcArc(document, ReplaceCircleByArc(document, circle), arc, picks, constructOnly);
}

void FilletCircleCircle(TQV_01Cmp2D& document, TCerchio2D& c1, TCerchio2D& c2, const TPickPair& picks,
                        bool constructOnly)
{
    TArco2D* a1 = nullptr;
    TArco2D* a2 = nullptr;
    ReplaceCirclesByArcs(document, c1, c2, a1, a2);
    FilletArcArc(document, *a1, *a2, picks, constructOnly);
}

bool FilletPair(TQV_01Cmp2D& document, TObject2D* first, TObject2D* second, const TPickPair& picks,
                bool constructOnly)
{
    const TEditKind k1 = EditKindOf(first);
    const TEditKind k2 = EditKindOf(second);
    if (k1 == TEditKind::Other || k2 == TEditKind::Other)
        return false;
    auto* line1 = dynamic_cast<TLine2D*>(first);
    auto* line2 = dynamic_cast<TLine2D*>(second);
    auto* arc1 = dynamic_cast<TArco2D*>(first);
    auto* arc2 = dynamic_cast<TArco2D*>(second);
    auto* circle1 = dynamic_cast<TCerchio2D*>(first);
    auto* circle2 = dynamic_cast<TCerchio2D*>(second);
    switch (k1) {
    case TEditKind::Line:
        if (k2 == TEditKind::Line)
            FilletLineLine(document, *line1, *line2, picks, constructOnly);
        else if (k2 == TEditKind::Arc)
            FilletLineArc(document, *line1, *arc2, picks, constructOnly);
        else
            FilletLineCircle(document, *line1, *circle2, picks, constructOnly);
        break;
    case TEditKind::Arc:
        if (k2 == TEditKind::Line)
            FilletArcLine(document, *arc1, *line2, picks, constructOnly);
        else if (k2 == TEditKind::Arc)
            FilletArcArc(document, *arc1, *arc2, picks, constructOnly);
        else
            FilletArcCircle(document, *arc1, *circle2, picks, constructOnly);
        break;
    case TEditKind::Circle:
        if (k2 == TEditKind::Line)
            FilletCircleLine(document, *circle1, *line2, picks, constructOnly);
        else if (k2 == TEditKind::Arc)
            FilletCircleArc(document, *circle1, *arc2, picks, constructOnly);
        else
            FilletCircleCircle(document, *circle1, *circle2, picks, constructOnly);
        break;
    case TEditKind::Other:
        break;
    }
    return true;
}

TQV2D_Fillet::TQV2D_Fillet(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param()))
        RunPairEdit(prg, ClassName, *selection, [](TQV_01Cmp2D& document, TObject2D* first, TObject2D* second) {
            return FilletPair(document, first, second, SelectionPickPoints, false);
        });
    nextState = prg.IdleClass();
    ClearParam();
}

void StartFilletCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetCommandPage(InfoEditPage::Fillet);
        FilletRadius = panel->GetValue(0);
    }
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TQV2D_Fillet>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), std::move(param));
    // After the start: stopping a running command switches object snap off
    // through the main window's end handler anyway.
    prg.UsaSnap = false;
}

void FilletRadiusEdited()
{
    if (TInfoEditModel* panel = InfoEditPanel())
        FilletRadius = panel->GetValue(0);
}
