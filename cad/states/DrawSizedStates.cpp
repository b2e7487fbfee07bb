#include "cad/states/DrawSizedStates.h"

#include "cad/program/QV_00CADProg.h"
#include "core/model/CADSysException.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Primitive2D.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Punto2D.h"

namespace {

constexpr std::string_view ParamCheckName = "TQV2D_DrawSizedPrimitiveParam";
// Prompt slot "474".
constexpr size_t PromptSlot = 4;

// A closed ellipse whose corners share a coordinate: no height or no width.
bool IsFlatEllipse(const TPrimitive2D& entity)
{
    if (!dynamic_cast<const TEllipse2D*>(&entity) || entity.Points().Count() < 2)
        return false;
    const TPoint2D a = entity.Points().Get(0);
    const TPoint2D b = entity.Points().Get(1);
    return IsSameCoord(a.X, b.X) || IsSameCoord(a.Y, b.Y);
}

} // namespace

TQV_40DrawSizedPrimitive::TQV_40DrawSizedPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawingState(prg, std::move(param), true)
{
    SizedParam();
    SetPromptSlot(PromptSlot);
}

TQV_40DrawSizedPrimitiveParam& TQV_40DrawSizedPrimitive::SizedParam() const
{
    auto& param = CheckParam<TQV_40DrawSizedPrimitiveParam>(ParamCheckName);
    if (!param.Primitive() || param.PointCount == 0)
        throw ECADSysException(InvalidParamMessage(ParamCheckName));
    return param;
}

TPoint2D TQV_40DrawSizedPrimitive::TakePoint(TPoint2D& s) const
{
    const auto& param = SizedParam();
    return TakeEntityPoint(*param.Primitive(), param.CurrentIndex, param.OrthoAllowed, s);
}

void TQV_40DrawSizedPrimitive::Finish(TCADStateClass& nextState)
{
    TQV_40DrawSizedPrimitiveParam& param = SizedParam();
    FinishEntity(param, param.PrimitiveSlot(), nextState);
}

bool TQV_40DrawSizedPrimitive::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_40DrawSizedPrimitiveParam& param = SizedParam();
    TPrimitive2D& entity = *param.Primitive();
    TPointsSet2D& points = entity.Points();
    const int n = param.PointCount;

    if (event.Kind == TCADEventKind::MouseMove) {
        const int k = param.CurrentIndex;
        if ((k > 0 || dynamic_cast<TPunto2D*>(&entity)) && k < n) {
            TPoint2D s;
            points.SetPoint(k, TakePoint(s));
            ShowDrag(entity);
        }
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        TPoint2D s;
        const TPoint2D q = TakePoint(s);
        NoteClick(s);
        int k = param.CurrentIndex;
        if (k > 0)
            points.SetPoint(k, q);
        else
            for (int i = 0; i < n; ++i)
                points.SetPoint(i, q);
        if (k + 1 >= n && IsFlatEllipse(entity)) {
            // An ellipse without area cannot be drawn or machined: the
            // second corner is asked for again.
            SetPrompt(LangText(LangKeys::String::EllipseFlat));
            ShowDrag(entity);
            return false;
        }
        param.CurrentIndex = static_cast<uint16_t>(++k);
        if (k >= n) {
            Finish(nextState);
            return true;
        }
        points.SetPoint(k, q);
        ShowDrag(entity);
        return false;
    }
    if (event.IsUser(TCADUserEvent::Accept)) {
        // Before the first click the entity is only the prototype.
        if (param.CurrentIndex == 0 || IsFlatEllipse(entity))
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
