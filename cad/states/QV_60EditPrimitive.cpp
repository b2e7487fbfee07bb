#include "cad/states/QV_60EditPrimitive.h"

#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/Primitive2D.h"
#include "core/file/UndoRedo.h"

#include <algorithm>
#include <limits>

namespace {

std::unique_ptr<TPrimitive2D> CopyOf(const TPrimitive2D& entity)
{
    static constexpr const char* NotRegistered = "TQV_EditPrimitive: Only registered classes are allowed";
    std::unique_ptr<TGraphicObject> clone;
    try {
        QV_00FindClassIndex(entity.ClassName());
        clone = entity.Clone();
    } catch (const ECADSysException&) {
        throw ECADSysException(NotRegistered);
    }
    auto* primitive = dynamic_cast<TPrimitive2D*>(clone.get());
    if (!primitive)
        throw ECADSysException(NotRegistered);
    clone.release();
    std::unique_ptr<TPrimitive2D> copy(primitive);
    copy->SetID(0);
    return copy;
}

// The program's snapped cursor point; the plain cursor point for a program
// without snapping.
TPoint2D SnappedPoint(TQV_00CADProg& prg)
{
    if (auto* prog = dynamic_cast<TQV_00Prog*>(&prg))
        return prog->GetSnappedPoint();
    return CartesianPoint2D(prg.GetCursorPoint());
}

} // namespace

TQV_60EditPrimitiveParam::TQV_60EditPrimitiveParam(TQV_00CADProg& prg, TPrimitive2D& entity, int32_t aperture)
    : TQV_00CADPrgParam(nullptr), m_Program(prg), m_Entity(entity), m_Copy(CopyOf(entity)), m_Aperture(aperture)
{
}

TQV_60EditPrimitiveParam::~TQV_60EditPrimitiveParam()
{
    if (TQVScene* scene = ProgramScene(m_Program)) {
        std::erase(scene->HighlightList(), m_Copy.get());
        scene->HideDragObject(m_Copy.get());
        scene->ClearOverlay();
    }
    m_Program.MarkSceneDirty();
}

TQV_60EditSelectedPrimitive::TQV_60EditSelectedPrimitive(TQV_00CADProg& prg, TCADStateParam param,
                                                         TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    static constexpr std::string_view Name = "TQV_51EditSelectedPrimitive";
    auto& selection = CheckParam<TQV_50SelectObjectsParam>(Name);
    const std::vector<TObject2D*> objects = selection.Objects();
    auto* entity = objects.empty() ? nullptr : dynamic_cast<TPrimitive2D*>(objects.front());
    if (!entity)
        throw ECADSysException(InvalidParamMessage(Name));
    auto edit = std::make_unique<TQV_00CADPrgParam>(nullptr);
    edit->SetUserObject(entity);
    ReplaceParam(std::move(edit));
    prg.SetOperationClass(StateClassOf<TQV_60EditSelectedPrimitive>());
    nextState = StateClassOf<TQV_60EditPrimitive>();
}

TQV_60EditPrimitive::TQV_60EditPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    auto* entity = Param() ? dynamic_cast<TPrimitive2D*>(Param()->UserObject()) : nullptr;
    if (!entity)
        throw ECADSysException(InvalidParamMessage("TQV2D_EditPrimitive"));
    ReplaceParam(std::make_unique<TQV_60EditPrimitiveParam>(prg, *entity, DefaultAperture));
    TQV_60EditPrimitiveParam& edit = EditParam();
    if (TQVScene* scene = ProgramScene(prg)) {
        scene->HighlightList() = {&edit.Copy()};
        DrawPickBox(TPoint2D{0.0, 0.0, 1.0});
        scene->ShowHighlights(1);
    }
    if (auto* prog = dynamic_cast<TQV_00Prog*>(&prg))
        prog->SetLastSnapPoint(TPoint2D{1e8, 1e8, 1.0});
    SetPromptSlot(11);
}

TQV_60EditPrimitiveParam& TQV_60EditPrimitive::EditParam() const
{
    return CheckParam<TQV_60EditPrimitiveParam>("TQV2D_EditPrimitive");
}

void TQV_60EditPrimitive::DrawPickBox(const TPoint2D& point)
{
    TQVScene* scene = ProgramScene(Program());
    if (!scene)
        return;
    const TIntPoint c = scene->PointToScreen(point);
    const int64_t a = EditParam().Aperture();
    const auto clamp = [](int64_t v) {
        return static_cast<int32_t>(
            std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    };
    const int32_t left = clamp(c.X - a);
    const int32_t right = clamp(c.X + a);
    const int32_t top = clamp(c.Y - a);
    const int32_t bottom = clamp(c.Y + a);
    scene->PickBox() = {TIntPoint{left, top}, TIntPoint{right, top}, TIntPoint{right, bottom},
                        TIntPoint{left, bottom}, TIntPoint{left, top}};
    scene->RepaintOverlay();
}

bool TQV_60EditPrimitive::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_60EditPrimitiveParam& edit = EditParam();
    TPrimitive2D& copy = edit.Copy();
    switch (event.Kind) {
    case TCADEventKind::MouseMove:
        if (edit.HeldPoint >= 0 && edit.HeldPoint < copy.Points().Count()) {
            copy.Points().SetPoint(edit.HeldPoint, copy.InverseTransformPoint(SnappedPoint(Program())));
            if (TQVScene* scene = ProgramScene(Program()))
                scene->RepaintOverlay();
        }
        DrawPickBox(Program().GetCursorPoint());
        return false;
    case TCADEventKind::MouseDown:
        if (event.Button != TCADButton::Left)
            return false;
        {
            const TQVScene* scene = ProgramScene(Program());
            const double pixel = scene ? scene->PixelSize() : 1.0;
            double distance = 0.0;
            const int32_t code = copy.PickAt(Program().GetCursorPoint(), distance, edit.Aperture() * pixel);
            edit.HeldPoint = code >= 0 && code < copy.Points().Count() ? code : -1;
        }
        if (edit.HeldPoint >= 0)
            SetPromptSlot(12);
        return false;
    case TCADEventKind::MouseUp:
        if (event.Button != TCADButton::Left)
            return false;
        edit.HeldPoint = -1;
        SetPromptSlot(11);
        return false;
    case TCADEventKind::User:
        if (event.IsUser(TCADUserEvent::Accept)) {
            TPrimitive2D& entity = edit.Entity();
            if (TUndoRedo* journal = UndoJournal())
                journal->AddUndo(TUndoKind::NodeEdit, {entity.ID()});
            entity.Assign(copy);
            ClearParam();
            nextState = Program().IdleClass();
            return true;
        }
        if (event.IsUser(TCADUserEvent::Cancel)) {
            ClearParam();
            nextState = Program().IdleClass();
            return true;
        }
        return false;
    default:
        return false;
    }
}
