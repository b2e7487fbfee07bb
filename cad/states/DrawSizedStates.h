#pragma once
// TQV_40DrawSizedPrimitive: draws a point, line, rectangle, circle (centre,
// then radius point) or closed ellipse (two box corners) with one click per
// control point of the prototype in its TQV_40DrawSizedPrimitiveParam.
//
// - Each click takes the snapped cursor point into the entity's own
//   coordinates; from the second point on, the program's ortho mode squares
//   it against the point before (when the parameter allows it).
// - The first click puts every control point there; later clicks fix the
//   current point. Between clicks the next point follows the cursor and the
//   entity is shown as the drag object (a point entity follows the cursor
//   from the start).
// - The last click adds the entity to the document with one undo step of a
//   new object and ends the command. Accept adds it as it stands, with its
//   following point at the last cursor position, once at least one click
//   was taken; before that, accept is ignored (there is nothing to add).
// - With an after-state named in the parameter, the finished entity is not
//   added: the after-state receives it in the parameter.
// - Cancel frees the entity and the parameter and ends the command; nothing
//   is added and no undo step recorded.
//
// A parameter of another class (or without prototype) raises
// ECADSysException "TQV2D_DrawSizedPrimitiveParam: Invalid param".

#include "cad/states/DrawStateParams.h"
#include "cad/states/DrawingState.h"

#include <string_view>

class TQV_40DrawSizedPrimitive : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40DrawSizedPrimitive";
    TQV_40DrawSizedPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    TQV_40DrawSizedPrimitiveParam& SizedParam() const;
    // The snapped point in the entity's coordinates, squared against
    // control point k - 1 when ortho applies; s is the snapped point.
    TPoint2D TakePoint(TPoint2D& s) const;
    // The entity is complete (or accepted): to the after-state, or added.
    void Finish(TCADStateClass& nextState);
};
