#include "cad/states/PositionStates.h"

#include "cad/edit/BreakIDs.h"
#include "cad/edit/ExplodeContainer.h"
#include "cad/program/QV_00CADProg.h"
#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/settings/NumberText.h"
#include "core/model/QV_01Cmp2D.h"

namespace {

constexpr std::string_view ObjectCheckName = "TQV_40PositionObject";
constexpr std::string_view ContainerCheckName = "TQV_40PosizionaContainer";
// Prompt slot "473".
constexpr size_t PromptSlot = 3;

void Call(const std::function<void()>& f)
{
    if (f)
        f();
}

void Call(const std::function<void(const std::string&)>& f, const std::string& text)
{
    if (f)
        f(text);
}

} // namespace

TPoint2D ReferencePoint(const TObject2D& object)
{
    const auto* primitive = dynamic_cast<const TPrimitive2D*>(&object);
    const bool byFirstPoint = dynamic_cast<const TLine2D*>(&object) || dynamic_cast<const TCerchio2D*>(&object) ||
                              dynamic_cast<const TArco2D*>(&object);
    if (primitive && byFirstPoint && primitive->Points().Count() > 0)
        return CartesianPoint2D(object.GetModelTransform().TransformPoint2D(primitive->Points().Get(0)));
    const TPoint2D corner = CartesianPoint2D(NormalizeRect2D(object.Box()).FirstEdge);
    if (const auto* container = dynamic_cast<const TContainer2D*>(&object)) {
        const TPoint2D base = CartesianPoint2D(container->BasePoint());
        return Point2D(corner.X - base.X, corner.Y - base.Y);
    }
    return corner;
}

// --- Position an object ---------------------------------------------------------------

TQV_40PositionObject::TQV_40PositionObject(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawingState(prg, std::move(param), true)
{
    PositionParam();
    SetPromptSlot(PromptSlot);
}

TQV_40PositionObjectParam& TQV_40PositionObject::PositionParam() const
{
    auto& param = CheckParam<TQV_40PositionObjectParam>(ObjectCheckName);
    if (!param.Object())
        throw ECADSysException(InvalidParamMessage(ObjectCheckName));
    return param;
}

bool TQV_40PositionObject::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_40PositionObjectParam& param = PositionParam();
    TObject2D& object = *param.Object();

    if (event.Kind == TCADEventKind::MouseMove) {
        TranslateObject(object, SnappedPoint(), ReferencePoint(object));
        ShowDrag(object);
        return false;
    }
    if (event.Kind == TCADEventKind::Repaint) {
        if (object.HasTransform())
            ShowDrag(object);
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        // Placed at the clicked point: a typed point comes without a move.
        TranslateObject(object, SnappedPoint(), ReferencePoint(object));
        FinishEntity(param, param.ObjectSlot(), nextState);
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        CancelDrawing(nextState);
        return true;
    }
    return false;
}

// --- Position a label's text ------------------------------------------------------------

TQV_40PosizionaContainer::TQV_40PosizionaContainer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_40DrawingState(prg, std::move(param), true)
{
    ContainerParam();
    SetPromptSlot(PromptSlot);
}

TQV_40PositionContainerParam& TQV_40PosizionaContainer::ContainerParam() const
{
    auto& param = CheckParam<TQV_40PositionContainerParam>(ContainerCheckName);
    if (!param.Object())
        throw ECADSysException(InvalidParamMessage(ContainerCheckName));
    return param;
}

void TQV_40PosizionaContainer::Follow(TObject2D& object)
{
    const TPoint2D s = CartesianPoint2D(SnappedPoint());
    TranslateObject(object, s, ReferencePoint(object));
    ShowDrag(object);
    // The reference point is now at s.
    const TPositionFields& fields = ContainerParam().Fields;
    Call(fields.SetXText, FormatCoord(s.X));
    Call(fields.SetYText, FormatCoord(s.Y));
}

bool TQV_40PosizionaContainer::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_40PositionContainerParam& param = ContainerParam();
    TObject2D& object = *param.Object();

    if (event.Kind == TCADEventKind::MouseMove) {
        Follow(object);
        return false;
    }
    if (event.Kind == TCADEventKind::Repaint) {
        if (object.HasTransform())
            ShowDrag(object);
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        Follow(object);
        if (HandOnToAfterState(param, nextState))
            return true;
        {
            TCADLockSection lock(Program());
            ClearDrag();
            param.TakeObject().reset(); // only a preview
            const TPositionFields fields = param.Fields;
            Call(fields.XChanged);
            Call(fields.YChanged);
            Call(fields.ApplyClick);
            ClearDrag();
        }
        ReturnToIdle(nextState);
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        CancelDrawing(nextState);
        return true;
    }
    return false;
}

// --- Explode the placed container ----------------------------------------------------------

TQV_40ExplodeContainer::TQV_40ExplodeContainer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_40DrawingState(prg, std::move(param), false)
{
    ClearDrag();
    auto* position = dynamic_cast<TQV_40PositionObjectParam*>(Param());
    auto* container = dynamic_cast<TContainer2D*>(Param() ? Param()->UserObject() : nullptr);
    if (position && container && position->Object() == container) {
        TQV_01Cmp2D& document = Document();
        Param()->SetUserObject(nullptr);
        std::unique_ptr<TObject2D> object = position->TakeObject();
        std::unique_ptr<TContainer2D> owned(static_cast<TContainer2D*>(object.release()));
        try {
            ExplodeContainerToDocument(document, std::move(owned));
        } catch (...) {
            // The children added before the error stay in the drawing, and
            // so does the step that takes them out again.
            const std::vector<int32_t> added = BreakIDs();
            RecordNewObjects(added);
            throw;
        }
        const std::vector<int32_t> added = BreakIDs();
        RecordNewObjects(added);
    }
    nextState = Program().IdleClass();
}
