#pragma once
// A view of the drawing document as the document sees it: a scene that it
// asks to rebuild after changes, and to fit to the drawing. The scene view
// (cad/) implements it; the document holds its registered views without
// owning them. Tests use a recording fake.

#include "core/geometry/Points.h"

#include <cstdint>
#include <span>

class TGraphicObject;

class TDocumentView {
public:
    virtual ~TDocumentView() = default;

    // Rebuilds every entity's scene objects from the document; the stock
    // solid is made anew only when recreateStock is set.
    virtual void RebuildScene(bool recreateStock) = 0;
    // After an edit whose objects the view has heard of (drawn when added,
    // dropped when deleted, ObjectChanged): the view shows what a rebuild
    // would show, working only on the objects with these IDs (present or
    // gone) besides what a rebuild clears of its own. A view that knows no
    // better rebuilds.
    virtual void RefreshAfterEdit(std::span<const int32_t> /*ids*/) { RebuildScene(false); }
    // Fits the view to the box (corners in drawing units).
    virtual void ZoomToBox(const TBox3D& box) = 0;
    // Fits the whole box into the view with a small margin, whatever the
    // view's shape and direction (the Zoom all of the drawing); a view that
    // knows no better does ZoomToBox.
    virtual void FitBox(const TBox3D& box) { ZoomToBox(box); }
    // The window the view shows for an empty drawing (the grid rectangle),
    // minimum corner first.
    virtual TRect2D DefaultWindow() const = 0;
    // An object of the document changed its shape or place (its bounds
    // were updated): the view draws it again before it shows the next
    // frame. Called for objects the document drew (TQV_01Cmp::DrawObject).
    virtual void ObjectChanged(TGraphicObject& /*object*/) {}
    // The document is about to free the object (a delete of one object or
    // of all): the view lets go of every reference it holds to it. The
    // object is still whole during the call.
    virtual void ObjectDeleting(const TGraphicObject& /*object*/) {}
};
