#include "cad/edit/EntityEdits.h"

#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"

#include <cmath>
#include <memory>

TEditKind EditKindOf(const TObject2D* object)
{
    if (dynamic_cast<const TLine2D*>(object))
        return TEditKind::Line;
    if (dynamic_cast<const TArco2D*>(object))
        return TEditKind::Arc;
    if (dynamic_cast<const TCerchio2D*>(object))
        return TEditKind::Circle;
    return TEditKind::Other;
}

TQV_01Cmp2D* OwnerDocument(const TObject2D& object) { return dynamic_cast<TQV_01Cmp2D*>(object.Owner()); }

namespace {

TVector2D ThroughTransform(const TPoint2D& p, const TMatrix4* m)
{
    TPoint2D q = CartesianPoint2D(p);
    if (m)
        q = CartesianPoint2D(m->TransformPoint2D(q));
    return TVector2D{q.X, q.Y};
}

} // namespace

TVector2D DrawingPoint(const TPrimitive2D& entity, int index)
{
    if (!entity.HasTransform())
        return ThroughTransform(entity.Points().Get(index), nullptr);
    const TMatrix4 m = entity.GetModelTransform(); // a copy: the shared scratch may be reused
    return ThroughTransform(entity.Points().Get(index), &m);
}

std::vector<TVector2D> DrawingPoints(const TPrimitive2D& entity)
{
    std::vector<TVector2D> points;
    const auto stored = entity.Points().Points();
    points.reserve(stored.size());
    const bool transformed = entity.HasTransform();
    const TMatrix4 m = entity.GetModelTransform();
    for (const TPoint2D& p : stored)
        points.push_back(ThroughTransform(p, transformed ? &m : nullptr));
    return points;
}

bool EntityPoints01(const TPrimitive2D& entity, TVector2D& p1, TVector2D& p2)
{
    if (entity.Points().Count() < 2)
        return false;
    p1 = DrawingPoint(entity, 0);
    p2 = DrawingPoint(entity, 1);
    return true;
}

bool CentreAndRadius(const TPrimitive2D& entity, TVector2D& centre, double& radius)
{
    TVector2D onCircle;
    if (!EntityPoints01(entity, centre, onCircle))
        return false;
    radius = DistanceVector2D(centre, onCircle);
    return true;
}

namespace {

// The closed arc of the circle, not yet in the document.
std::unique_ptr<TArco2D> ClosedArcOf(const TCerchio2D& circle)
{
    TVector2D centre, onCircle;
    EntityPoints01(circle, centre, onCircle);
    return std::make_unique<TArco2D>(-1, Point2D(centre.X, centre.Y), Point2D(onCircle.X, onCircle.Y), 0.0, 0.0);
}

TArco2D& AddInPlaceOf(TQV_01Cmp2D& document, const TCerchio2D& circle, std::unique_ptr<TArco2D> arc)
{
    // On the circle's layer: the arc is the same geometry under another
    // class, and must not wander to whatever layer happens to be current.
    return *document.AddObjectOnLayer(-1, circle.Layer(), std::move(arc));
}

} // namespace

TArco2D& ReplaceCircleByArc(TQV_01Cmp2D& document, TCerchio2D& circle)
{
    TArco2D& arc = AddInPlaceOf(document, circle, ClosedArcOf(circle));
    document.DeleteObject(circle.ID());
    return arc;
}

void ReplaceCirclesByArcs(TQV_01Cmp2D& document, TCerchio2D& first, TCerchio2D& second, TArco2D*& firstArc,
                          TArco2D*& secondArc)
{
    firstArc = &AddInPlaceOf(document, first, ClosedArcOf(first));
    secondArc = &AddInPlaceOf(document, second, ClosedArcOf(second));
    const int32_t firstID = first.ID();
    const int32_t secondID = second.ID();
    document.DeleteObject(firstID);
    document.DeleteObject(secondID);
}

void SetLineEnds(TLine2D& line, const TVector2D& p1, const TVector2D& p2)
{
    line.ResetTransforms();
    TPointsSet2D& points = line.Points();
    if (points.Count() < 2)
        return;
    points.Put(0, Point2D(p1.X, p1.Y));
    points.Put(1, Point2D(p2.X, p2.Y));
    line.UpdateBounds();
}

void SetArcInDrawing(TArco2D& arc, const TVector2D& centre, const TVector2D& radiusPoint, double startAngle,
                     double endAngle)
{
    arc.ResetTransforms();
    TPointsSet2D& points = arc.Points();
    if (points.Count() < 2)
        return;
    // Put fires no change callback: one bounds update follows.
    points.Put(0, Point2D(centre.X, centre.Y));
    points.Put(1, Point2D(radiusPoint.X, radiusPoint.Y));
    if (points.Count() >= 4) {
        const double r = DistanceVector2D(centre, radiusPoint);
        const auto onCircle = [&](double t) {
            return Point2D(centre.X + r * std::cos(t), centre.Y + r * std::sin(t));
        };
        // A clockwise arc runs from control point 2 to 3 the other way round.
        const bool clockwise = !arc.IsCounterClockwise();
        points.Put(2, onCircle(clockwise ? endAngle : startAngle));
        points.Put(3, onCircle(clockwise ? startAngle : endAngle));
    }
    arc.UpdateBounds();
}

int NearestCandidate(const std::vector<TVector2D>& candidates, const TVector2D& pick)
{
    if (candidates.empty())
        return -1;
    int best = 0;
    double bestDistance = 1e8;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const double d = DistanceVector2D(candidates[i], pick);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool RecordEditStep(TUndoKind kind, std::span<const int32_t> ids)
{
    TUndoRedo* journal = UndoJournal();
    return journal && journal->AddUndo(kind, ids);
}

bool RecordEditStep(TUndoKind kind, std::initializer_list<int32_t> ids)
{
    return RecordEditStep(kind, std::span<const int32_t>(ids.begin(), ids.size()));
}

std::string WrongKindMessage(bool withHint)
{
    std::string text = LangText(LangKeys::String::WrongKind);
    if (withHint)
        text += "\r\n" + LangText(LangKeys::String::WrongKindHint);
    return text;
}

void ShowWrongKindMessage(bool withHint)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, WrongKindMessage(withHint),
                               LangText(LangKeys::String::ErrorCaption));
}

void ShowEditWarning(std::string_view textKey)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, LangText(textKey), LangText(LangKeys::String::ErrorCaption));
}

void ClearEditOverlay(const TQV_00CADProg& prg)
{
    if (TQVScene* scene = ProgramScene(prg))
        scene->ClearOverlay();
}

TQV_01Cmp2D& CommandDocument(const TQV_00CADProg& prg, std::string_view stateName)
{
    TQVScene* scene = ProgramScene(prg);
    if (!scene || !scene->Document())
        throw ECADSysException(std::string(stateName) + ": No drawing");
    return *scene->Document();
}

TPoint2D CommandSnappedPoint(TQV_00CADProg& prg)
{
    if (auto* prog = dynamic_cast<TQV_00Prog*>(&prg))
        return prog->GetSnappedPoint();
    return CartesianPoint2D(prg.GetCursorPoint());
}

void TakeSelectedPair(TQV_01Cmp2D& document, TQV_50SelectObjectsParam& selection, TObject2D*& first,
                      TObject2D*& second)
{
    const std::vector<TObject2D*> objects = selection.Objects();
    first = objects.size() > 0 ? document.GetObject(objects[0]->ID()) : nullptr;
    second = objects.size() > 1 ? document.GetObject(objects[1]->ID()) : nullptr;
}

void RunPairEdit(TQV_00CADProg& prg, std::string_view stateName, TQV_50SelectObjectsParam& selection,
                 const TPairEdit& edit)
{
    TQV_01Cmp2D& document = CommandDocument(prg, stateName);
    TObject2D* first = nullptr;
    TObject2D* second = nullptr;
    TakeSelectedPair(document, selection, first, second);
    ClearEditOverlay(prg);
    if (!edit(document, first, second))
        UserNotifier().ShowMessage(EMessageKind::Information, WrongKindMessage(), "");
    prg.MarkSceneDirty();
}

bool DocumentHolds(TQV_01Cmp2D& document, const TGraphicObject* object)
{
    if (!object)
        return false;
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        if (o == object)
            return true;
    return false;
}
