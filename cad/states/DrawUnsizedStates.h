#pragma once
// TQV_40DrawUnSizedPrimitive: draws a polyline or spline click by click from
// the prototype in its TQV_40DrawUnSizedPrimitiveParam (whose control points
// are emptied when the state starts).
//
// - Each click takes the snapped cursor point into the entity's own
//   coordinates (squared against the vertex before by the ortho mode when
//   the parameter allows it) and fixes the vertex that followed the cursor;
//   a click on the vertex just fixed adds none. After the first click a new
//   vertex follows the cursor and the entity is the drag object.
// - Accept adds the entity with the following vertex as its last point
//   (dropped when it lies on the last clicked vertex); a spline first takes
//   the configured "MaxCurveSeg" segments. The entity needs two distinct
//   points for that: before them, accept is ignored and the drawing goes on.
// - Step back (user event 7) with at least two vertices fixed drops the
//   following vertex, so the last fixed one follows the cursor again.
// - Close (user event 3) with at least three vertices fixed puts the first
//   vertex in place of the following one and adds the entity (a spline keeps
//   its segments); with fewer, nothing happens.
// - Adding records one undo step of a new object and ends the command; with
//   an after-state named in the parameter, the after-state receives the
//   entity in the parameter instead. Cancel frees entity and parameter.
//
// A parameter of another class (or without prototype) raises
// ECADSysException "TQV2D_DrawUnSizedPrimitive: Invalid param".

#include "cad/states/DrawStateParams.h"
#include "cad/states/DrawingState.h"

#include <string_view>

class TQV_40DrawUnSizedPrimitive : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40DrawUnSizedPrimitive";
    TQV_40DrawUnSizedPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    TQV_40DrawUnSizedPrimitiveParam& UnsizedParam() const;
    TPoint2D TakePoint(TPoint2D& s) const;
    // Control points 0 .. current index hold two points that differ.
    bool HasTwoDistinctPoints() const;
    void Finish(TCADStateClass& nextState);
};
