#include "cad/states/DrawingState.h"

#include "cad/program/ObjectSnap.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "core/model/CADSysException.h"
#include "core/entities/Primitive2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/ViewInterfaces.h"

namespace {

// Draws nothing: an entity drawn on it only writes its live read-out.
class TReadoutOnlyCanvas final : public TCanvas2D {
public:
    void SetPenColor(uint32_t) override {}
    void SetPenWidth(int32_t) override {}
    void SetPenStyle(TPenStyle) override {}
    void Line(int32_t, int32_t, int32_t, int32_t) override {}
    void Polyline(const std::vector<TIntPoint>&) override {}
    void FrameRect(int32_t, int32_t, int32_t, int32_t) override {}
    void TextOut(int32_t, int32_t, const std::string&) override {}
};

// The properties panel's read-out of a finished entity shows it as it is
// added (a clicked point may be snapped, a typed one is not where the
// pointer last was), not as the last drawn frame of the drag showed it.
void ShowFinalReadout(TObject2D& entity)
{
    if (!ActiveLiveReadout())
        return;
    TReadoutOnlyCanvas canvas;
    entity.DrawOnCanvas(canvas, false);
}

} // namespace

TQV_40DrawingState::TQV_40DrawingState(TQV_00CADProg& prg, TCADStateParam param, bool resetLastSnap)
    : TQV_00State(prg, std::move(param))
{
    if (resetLastSnap)
        if (auto* prg2D = dynamic_cast<TQV_00Prog*>(&Program()))
            prg2D->SetLastSnapPoint(TPoint2D{1e8, 1e8, 1.0});
}

void TQV_40DrawingState::StopHook()
{
    ClearDrag();
    TQV_00State::StopHook();
}

void TQV_40DrawingState::ResumeHook(TCADStateClass, TQV_00CADPrgParam*)
{
    if (m_Drag)
        ShowDrag(*m_Drag);
}

TPoint2D TQV_40DrawingState::SnappedPoint() const
{
    if (auto* prg2D = dynamic_cast<TQV_00Prog*>(&Program()))
        return prg2D->GetSnappedPoint();
    return Program().GetCursorPoint();
}

TPoint2D TQV_40DrawingState::TakeEntityPoint(const TPrimitive2D& entity, int index, bool orthoAllowed,
                                             TPoint2D& s) const
{
    s = SnappedPoint();
    TPoint2D q = entity.InverseTransformPoint(s);
    if (orthoAllowed && index >= 1 && index - 1 < entity.Points().Count())
        q = OrthoPoint(Program(), entity.Points().Get(index - 1), q);
    return q;
}

bool TQV_40DrawingState::HandOnToAfterState(const TQV_00CADPrgParam& param, TCADStateClass& nextState)
{
    if (!param.AfterState())
        return false;
    ClearDrag();
    nextState = param.AfterState();
    return true;
}

void TQV_40DrawingState::ReturnToIdle(TCADStateClass& nextState)
{
    ClearParam();
    nextState = Program().IdleClass();
}

void TQV_40DrawingState::CancelDrawing(TCADStateClass& nextState)
{
    ClearDrag();
    ReturnToIdle(nextState);
}

void TQV_40DrawingState::NoteClick(const TPoint2D& s)
{
    if (auto* prg2D = dynamic_cast<TQV_00Prog*>(&Program()))
        prg2D->SetLastSnapPoint(s);
}

void TQV_40DrawingState::ShowDrag(TObject2D& object)
{
    m_Drag = &object;
    if (TQVScene* scene = Scene())
        scene->ShowDragObject(&object);
}

void TQV_40DrawingState::ClearDrag()
{
    if (TQVScene* scene = Scene()) {
        scene->ClearOverlay();
        // Whatever the overlay shows now is this state's, or a leftover of
        // an earlier state that nobody draws any more.
        scene->HideDragObject();
    }
    m_Drag = nullptr;
}

TQVScene* TQV_40DrawingState::Scene() const { return ProgramScene(Program()); }

TQV_01Cmp2D& TQV_40DrawingState::Document() const
{
    TQVScene* scene = Scene();
    if (!scene || !scene->Document())
        throw ECADSysException("TQV_40DrawingState: No drawing to add to");
    return *scene->Document();
}

int32_t TQV_40DrawingState::AddObjectLocked(std::unique_ptr<TObject2D>& entity)
{
    TQV_01Cmp2D& document = Document();
    TCADLockSection lock(Program());
    int32_t id = 0;
    try {
        ShowFinalReadout(*entity);
        const int32_t wanted = entity->ID();
        // AddObject leaves entity as it is when the document refuses it.
        id = document.AddObject(wanted, std::move(entity))->ID();
        RecordNewObjects({id});
    } catch (...) {
        ClearDrag();
        throw;
    }
    ClearDrag();
    return id;
}

void TQV_40DrawingState::RecordNewObjects(const std::vector<int32_t>& ids)
{
    if (!ids.empty())
        if (TUndoRedo* journal = UndoJournal())
            journal->AddUndo(TUndoKind::NewObjects, ids);
    Program().MarkObjectsEdited(ids);
}
