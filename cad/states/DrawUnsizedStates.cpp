#include "cad/states/DrawUnsizedStates.h"

#include "cad/program/QV_00CADProg.h"
#include "core/entities/BSpline2D.h"
#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Primitive2D.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr std::string_view ParamCheckName = "TQV2D_DrawUnSizedPrimitive";
// Prompt slot "474".
constexpr size_t PromptSlot = 4;

} // namespace

TQV_40DrawUnSizedPrimitive::TQV_40DrawUnSizedPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawingState(prg, std::move(param), true)
{
    UnsizedParam().Primitive()->Points().Clear();
    SetPromptSlot(PromptSlot);
}

TQV_40DrawUnSizedPrimitiveParam& TQV_40DrawUnSizedPrimitive::UnsizedParam() const
{
    auto& param = CheckParam<TQV_40DrawUnSizedPrimitiveParam>(ParamCheckName);
    if (!param.Primitive())
        throw ECADSysException(InvalidParamMessage(ParamCheckName));
    return param;
}

TPoint2D TQV_40DrawUnSizedPrimitive::TakePoint(TPoint2D& s) const
{
    const auto& param = UnsizedParam();
    return TakeEntityPoint(*param.Primitive(), param.CurrentIndex, param.OrthoAllowed, s);
}

bool TQV_40DrawUnSizedPrimitive::HasTwoDistinctPoints() const
{
    const TQV_40DrawUnSizedPrimitiveParam& param = UnsizedParam();
    const TPointsSet2D& points = param.Primitive()->Points();
    const int last = std::min(static_cast<int>(param.CurrentIndex), points.Count() - 1);
    for (int i = 1; i <= last; ++i)
        if (!IsSamePoint2D(points.Get(i), points.Get(0)))
            return true;
    return false;
}

void TQV_40DrawUnSizedPrimitive::Finish(TCADStateClass& nextState)
{
    TQV_40DrawUnSizedPrimitiveParam& param = UnsizedParam();
    FinishEntity(param, param.PrimitiveSlot(), nextState);
}

bool TQV_40DrawUnSizedPrimitive::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_40DrawUnSizedPrimitiveParam& param = UnsizedParam();
    TPrimitive2D& entity = *param.Primitive();
    TPointsSet2D& points = entity.Points();

    if (event.Kind == TCADEventKind::MouseMove) {
        if (param.CurrentIndex > 0) {
            TPoint2D s;
            points.SetPoint(param.CurrentIndex, TakePoint(s));
            ShowDrag(entity);
        }
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        TPoint2D s;
        const TPoint2D q = TakePoint(s);
        NoteClick(s);
        int k = param.CurrentIndex;
        if (k > 0) {
            points.SetPoint(k, q);
            if (!IsSamePoint2D(q, points.Get(k - 1)))
                ++k;
        } else {
            points.Add(q);
            ++k;
        }
        param.CurrentIndex = static_cast<uint16_t>(k);
        points.SetPoint(k, q);
        ShowDrag(entity);
        return false;
    }
    if (event.IsUser(TCADUserEvent::Accept)) {
        if (!HasTwoDistinctPoints())
            return false;
        // A following vertex still on the last clicked one (Enter without
        // a move, or after a typed point) would end the outline in a segment
        // of no length.
        const int k = param.CurrentIndex;
        if (k < points.Count() && IsSamePoint2D(points.Get(k), points.Get(k - 1))) {
            points.Delete(k);
            param.CurrentIndex = static_cast<uint16_t>(k - 1);
        }
        if (auto* spline = dynamic_cast<TBSpline2D*>(&entity))
            spline->SetSegments(static_cast<int16_t>(
                std::clamp<int32_t>(MaxCurveSeg(), 0, std::numeric_limits<int16_t>::max())));
        Finish(nextState);
        return true;
    }
    if (event.IsUser(TCADUserEvent::StepBack)) {
        const int k = param.CurrentIndex;
        if (k >= 2 && k < points.Count()) {
            points.Delete(k);
            param.CurrentIndex = static_cast<uint16_t>(k - 1);
            ShowDrag(entity);
        }
        return false;
    }
    if (event.IsUser(TCADUserEvent::ClosePath)) {
        if (HandOnToAfterState(param, nextState))
            return true;
        const int k = param.CurrentIndex;
        if (k < 3)
            return false;
        points.SetPoint(k, points.Get(0));
        Finish(nextState);
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        CancelDrawing(nextState);
        return true;
    }
    return false;
}
