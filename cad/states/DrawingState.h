#pragma once
// What the drawing and positioning states share: taking a point, the drag
// object on the view's overlay, and adding a finished entity to the
// document with its undo step.
//
// Promises:
// - The document is the one the program's scene view shows. A state that
//   must add something while the program has no such view raises
//   ECADSysException before anything changes, so the entity stays with the
//   parameter.
// - The overlay never keeps a pointer to an object the state lets go: the
//   drag object is hidden before its object is added, handed on or freed.
// - A state suspended by a zoom or pan shows its drag object again when it
//   resumes.

#include "cad/program/QV_00State.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <vector>

class TObject2D;
class TPrimitive2D;
class TQV_01Cmp2D;
class TQVScene;

class TQV_40DrawingState : public TQV_00State {
public:
    // Hides the drag object, then frees the parameter (and the entity it
    // holds).
    void StopHook() override;
    // Shows the drag object of the interrupted drawing again.
    void ResumeHook(TCADStateClass endedOperation, TQV_00CADPrgParam* endedParam) override;

protected:
    // The base state; the program's last snap point becomes (1e8, 1e8) when
    // resetLastSnap is set (every drawing command starts with it).
    TQV_40DrawingState(TQV_00CADProg& prg, TCADStateParam param, bool resetLastSnap);

    // The cursor point after grid and object snap (the plain cursor point
    // on a program without snapping).
    TPoint2D SnappedPoint() const;
    // A click was taken at s: it becomes the program's last snap point.
    void NoteClick(const TPoint2D& s);

    // Shows the object as the drag object (and remembers it for a resume).
    void ShowDrag(TObject2D& object);
    // Back to the idle overlay, with the drag object forgotten.
    void ClearDrag();

    // The point a click or a move gives for control point index of the
    // entity: the snapped cursor point (also left in s) in the entity's own
    // coordinates, made orthogonal to the previous control point when
    // orthoAllowed and there is one.
    TPoint2D TakeEntityPoint(const TPrimitive2D& entity, int index, bool orthoAllowed, TPoint2D& s) const;

    // When the parameter names a state to follow, hides the drag object and
    // makes that state the next one, the parameter (and the entity it
    // holds) handed on; false, with nothing done, otherwise.
    bool HandOnToAfterState(const TQV_00CADPrgParam& param, TCADStateClass& nextState);
    // Frees the parameter and makes the program's idle state the next one.
    void ReturnToIdle(TCADStateClass& nextState);
    // The drawing is dropped: drag object hidden, then ReturnToIdle.
    void CancelDrawing(TCADStateClass& nextState);
    // The drawing is complete: handed on to the state to follow, or else
    // the entity in slot added to the document (AddToDocument) and back to
    // idle.
    template <class T>
    void FinishEntity(const TQV_00CADPrgParam& param, std::unique_ptr<T>& slot, TCADStateClass& nextState)
    {
        if (HandOnToAfterState(param, nextState))
            return;
        AddToDocument(slot);
        ReturnToIdle(nextState);
    }

    // Adds the entity to the document under its ID (a negative ID takes the
    // next free one) on the current layer, records it (RecordNewObjects)
    // and clears the overlay; the program is locked meanwhile. Returns the
    // ID the entity got. Should the document refuse the entity, it stays in
    // slot and the error goes on.
    template <class T> int32_t AddToDocument(std::unique_ptr<T>& slot)
    {
        std::unique_ptr<TObject2D> entity(slot.release());
        try {
            return AddObjectLocked(entity);
        } catch (...) {
            slot.reset(static_cast<T*>(entity.release()));
            throw;
        }
    }
    // Records the undo step of new objects (kind 20) when a journal is
    // installed and ids is not empty; the view is refreshed around the new
    // objects at the command's end (MarkObjectsEdited).
    void RecordNewObjects(const std::vector<int32_t>& ids);

    // The document of the program's scene view; ECADSysException without.
    TQV_01Cmp2D& Document() const;
    // The program's scene view, or null.
    TQVScene* Scene() const;

private:
    // entity is empty afterwards unless the document refused it.
    int32_t AddObjectLocked(std::unique_ptr<TObject2D>& entity);

    TObject2D* m_Drag = nullptr;
};
