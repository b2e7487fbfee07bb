#include "cad/EntityEdits.h"

#include "cad/ProgramScene.h"
#include "core/Arco2D.h"
#include "core/Geometry.h"
#include "core/LangKeys.h"
#include "core/Language.h"
#include "core/QV_01Cmp2D.h"
#include "core/UserNotifier.h"

#include <cmath>
#include <string>

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

void SetArcInDrawing(TArco2D& arc, const TVector2D& centre, const TVector2D& radiusPoint, double startAngle,
                     double endAngle)
{
    const double r = DistanceVector2D(centre, radiusPoint);
    const auto onCircle = [&](double t) { return Point2D(centre.X + r * std::cos(t), centre.Y + r * std::sin(t)); };
    // Put fires no change callback: one bounds update follows. The stored
    // direction stays (the undo journal restores points, not the
    // direction): a clockwise arc runs from control point 2 to 3 the other
    // way round, so its angle points change places.
    arc.ResetTransforms();
    const bool clockwise = !arc.IsCounterClockwise();
    TPointsSet2D& points = arc.Points();
    points.Put(0, Point2D(centre.X, centre.Y));
    points.Put(1, Point2D(radiusPoint.X, radiusPoint.Y));
    points.Put(2, onCircle(clockwise ? endAngle : startAngle));
    points.Put(3, onCircle(clockwise ? startAngle : endAngle));
    arc.UpdateBounds();
}

bool RecordEditStep(TUndoKind kind, std::span<const int32_t> ids)
{
    TUndoRedo* journal = UndoJournal();
    return journal && journal->AddUndo(kind, ids);
}

void ShowWrongKindMessage(bool withHint)
{
    std::string text = LangText(LangKeys::String::WrongKind);
    if (withHint)
        text += "\r\n" + LangText(LangKeys::String::WrongKindHint);
    UserNotifier().ShowMessage(EMessageKind::Warning, text, LangText(LangKeys::String::ErrorCaption));
}

void ShowEditWarning(std::string_view textKey)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, LangText(textKey), LangText(LangKeys::String::ErrorCaption));
}

void ClearEditOverlay(TQV_00CADProg& prg)
{
    if (TQVScene* scene = ProgramScene(prg))
        scene->ClearOverlay();
}
