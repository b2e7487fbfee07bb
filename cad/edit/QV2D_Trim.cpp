#include "cad/edit/QV2D_Trim.h"

#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/geometry/ArcIntersections.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"

#include <memory>
#include <vector>

namespace {

TVector2D XY(const TPoint2D& p) { return TVector2D{p.X, p.Y}; }

// The arc rewritten as the counter-clockwise arc from s to e.
void SetArcEnds(TArco2D& arc, const TVector2D& centre, const TVector2D& s, const TVector2D& e)
{
    SetArcInDrawing(arc, centre, s, AngleOf2Points(centre, s), AngleOf2Points(centre, e));
}

// The arc cut or moved to x on the side of its pick.
void TrimArcTo(TArco2D& arc, const TArcInfo2D& info, const TVector2D& pick, const TVector2D& x)
{
    TVector2D s = info.StartPoint;
    TVector2D e = info.EndPoint;
    TrimArcEnd(s, e, info.Centre, pick, x);
    SetArcEnds(arc, info.Centre, s, e);
}

} // namespace

void TrimLineEnd(TVector2D& p1, TVector2D& p2, const TVector2D& x, const TVector2D& pick)
{
    // The same rule as the fillet's.
    FilletLineEnd(p1, p2, x, pick);
}

void TrimArcEnd(TVector2D& s, TVector2D& e, const TVector2D& centre, const TVector2D& pick, const TVector2D& x)
{
    const TVector2D f = ClosestPointOnArc(centre, s, e, pick);
    if (IsSameVector2D(x, s))
        s = x;
    else if (IsSameVector2D(x, e))
        e = x;
    else if (IsOnRightSide(s, x, f, 1)) // f on the arc between s and x
        e = x;
    else
        s = x;
}

void TrimLineLine(TQV_01Cmp2D&, TLine2D& l1, TLine2D& l2, const TPickPair& picks)
{
    TVector2D p1, p2, p3, p4;
    if (!EntityPoints01(l1, p1, p2) || !EntityPoints01(l2, p3, p4))
        return;
    double a1, b1, c1, a2, b2, c2;
    LineCoefficients(p1, p2, a1, b1, c1);
    LineCoefficients(p3, p4, a2, b2, c2);
    if (a2 * b1 == a1 * b2)
        return; // parallel
    const double det = a1 * b2 - a2 * b1;
    const TVector2D x{(b1 * c2 - b2 * c1) / det, (a2 * c1 - a1 * c2) / det};
    TrimLineEnd(p1, p2, x, XY(picks[0]));
    TrimLineEnd(p3, p4, x, XY(picks[1]));
    RecordEditStep(TUndoKind::TrimLines, {l1.ID(), l2.ID()});
    SetLineEnds(l1, p1, p2);
    SetLineEnds(l2, p3, p4);
}

void TrimLineArc(TQV_01Cmp2D&, TLine2D& line, TArco2D& arc, const TPickPair& picks)
{
    TVector2D p1, p2;
    if (!EntityPoints01(line, p1, p2))
        return;
    const TArcInfo2D info = arc.GetArcInfo();
    std::vector<TVector2D> candidates;
    IntersectLineArc(line, arc, candidates);
    if (candidates.empty())
        return;
    const TVector2D x = candidates[static_cast<size_t>(NearestCandidate(candidates, XY(picks[1])))];
    RecordEditStep(TUndoKind::TrimLineArc, {line.ID(), arc.ID()});
    TrimLineEnd(p1, p2, x, XY(picks[0]));
    SetLineEnds(line, p1, p2);
    TrimArcTo(arc, info, XY(picks[1]), x);
}

void TrimArcLine(TQV_01Cmp2D& document, TArco2D& arc, TLine2D& line, const TPickPair& picks)
{
    TrimLineArc(document, line, arc, TPickPair{picks[1], picks[0]});
}

void TrimArcArc(TQV_01Cmp2D&, TArco2D& a1, TArco2D& a2, const TPickPair& picks)
{
    const TArcInfo2D i1 = a1.GetArcInfo();
    const TArcInfo2D i2 = a2.GetArcInfo();
    // Only points on both arcs count, and none that is an end point of
    // either: arcs that merely touch at their ends are left alone.
    std::vector<TVector2D> candidates;
    IntersectCircles(i1, i2, true, candidates);
    if (candidates.empty())
        return;
    const TVector2D x = candidates[static_cast<size_t>(NearestCandidate(candidates, XY(picks[0])))];
    RecordEditStep(TUndoKind::TrimArcs, {a1.ID(), a2.ID()});
    TrimArcTo(a1, i1, XY(picks[0]), x);
    TrimArcTo(a2, i2, XY(picks[1]), x);
}

void TrimLineCircle(TQV_01Cmp2D& document, TLine2D& line, TCerchio2D& circle, const TPickPair& picks)
{
    TrimLineArc(document, line, ReplaceCircleByArc(document, circle), picks);
}

void TrimArcCircle(TQV_01Cmp2D& document, TArco2D& arc, TCerchio2D& circle, const TPickPair& picks)
{
    TrimArcArc(document, arc, ReplaceCircleByArc(document, circle), picks);
}

void TrimCircleLine(TQV_01Cmp2D& document, TCerchio2D& circle, TLine2D& line, const TPickPair& picks)
{
    TrimArcLine(document, ReplaceCircleByArc(document, circle), line, picks);
}

void TrimCircleArc(TQV_01Cmp2D& document, TCerchio2D& circle, TArco2D& arc, const TPickPair& picks)
{
    TrimArcArc(document, ReplaceCircleByArc(document, circle), arc, picks);
}

void TrimCircleCircle(TQV_01Cmp2D& document, TCerchio2D& c1, TCerchio2D& c2, const TPickPair& picks)
{
    TArco2D* a1 = nullptr;
    TArco2D* a2 = nullptr;
    ReplaceCirclesByArcs(document, c1, c2, a1, a2);
    TrimArcArc(document, *a1, *a2, picks);
}

bool TrimPair(TQV_01Cmp2D& document, TObject2D* first, TObject2D* second, const TPickPair& picks)
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
            TrimLineLine(document, *line1, *line2, picks);
        else if (k2 == TEditKind::Arc)
            TrimLineArc(document, *line1, *arc2, picks);
        else
            TrimLineCircle(document, *line1, *circle2, picks);
        break;
    case TEditKind::Arc:
        if (k2 == TEditKind::Line)
            TrimArcLine(document, *arc1, *line2, picks);
        else if (k2 == TEditKind::Arc)
            TrimArcArc(document, *arc1, *arc2, picks);
        else
            TrimArcCircle(document, *arc1, *circle2, picks);
        break;
    case TEditKind::Circle:
        if (k2 == TEditKind::Line)
            TrimCircleLine(document, *circle1, *line2, picks);
        else if (k2 == TEditKind::Arc)
            TrimCircleArc(document, *circle1, *arc2, picks);
        else
            TrimCircleCircle(document, *circle1, *circle2, picks);
        break;
    case TEditKind::Other:
        break;
    }
    return true;
}

TQV2D_Trim::TQV2D_Trim(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param()))
        RunPairEdit(prg, ClassName, *selection, [](TQV_01Cmp2D& document, TObject2D* first, TObject2D* second) {
            return TrimPair(document, first, second, SelectionPickPoints);
        });
    nextState = prg.IdleClass();
    ClearParam();
}

void StartTrimCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetCommandPage(InfoEditPage::Trim);
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TQV2D_Trim>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), std::move(param));
    prg.UsaSnap = false;
}
