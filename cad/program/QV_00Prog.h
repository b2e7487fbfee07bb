#pragma once
// The one interaction program of the drawing view: the base program plus
// the drawing point under the mouse, the view's mouse-move callback, grid
// snap and the object-snap hook, and the open-geometry panel's origin
// click.
//
// Promises:
// - A mouse message over a pixel under which the view finds no drawing
//   point (the view ray misses the drawing plane) is skipped whole: no
//   cursor update, no callback, no CAD event.
// - A mouse move stores the drawing point as the cursor point (W = 1),
//   calls the view's OnMouseMove2D when one is set, then hands the move to
//   the current state.
// - GetSnappedPoint: the cursor point rounded to the snap grid when
//   Snap2Grid is on (a step of 0 leaves its coordinate alone; the quotient
//   is taken in single precision and rounded half to even, the processor's
//   default rounding), W = 1, then the SnapFilter when an object-snap
//   mode is chosen and UsaSnap is on. A quotient beyond the int32 range or
//   not finite leaves its coordinate unrounded.

#include "cad/program/QV_00CADProg.h"

#include <cstdint>
#include <functional>

class TQV_00Prog;

// The object snap modes; the values are the snap buttons' values.
enum class TObjectSnapMode : int32_t {
    None = 0,
    EndPoint = 9,
    MidPoint = 11,
    Centre = 13,
    Point = 15,
    Automatic = 17,
};

// (Sender, current state, last snap point, the point being snapped, which
// the filter may move).
using TCADPrg2DSnapFilter = std::function<void(
    TQV_00Prog& sender, TQV_00State* currentState, const TPoint2D& lastPt, TPoint2D& currSnappedPt)>;

class TQV_00Prog : public TQV_00CADProg {
public:
    // Snap steps 10, last snap point (1e8, 1e8, 1), the object snap
    // (cad/ObjectSnap.h) as snap filter.
    TQV_00Prog();
    ~TQV_00Prog() override;

    TPoint2D GetCursorPoint() const override { return m_CursorPoint; }
    // Stores the cartesian form of the point (X and Y divided by W unless W
    // is 0 or 1).
    void SetCursorPoint(const TPoint2D& point) override;
    // The cursor point after grid snap and object snap (see above).
    TPoint2D GetSnappedPoint();

    // The point of the last object snap that found an entity.
    const TPoint2D& LastSnapPoint() const { return m_LastSnapPoint; }
    void SetLastSnapPoint(const TPoint2D& point) { m_LastSnapPoint = point; }

    TCADViewPort* ViewPortGL() const { return ViewPort(); }
    void SetViewPortGL(TCADViewPort* view) { SetViewport(view); }

    TCADPrg2DSnapFilter SnapFilter;
    TObjectSnapMode ObjectSnapMode = TObjectSnapMode::None;

protected:
    void ViewDblClick(TShiftState shift, int32_t x, int32_t y) override;
    void ViewMouseMove(TShiftState shift, int32_t x, int32_t y) override;
    // After the state, a left click while no command runs goes to the
    // open-geometry panel when it waits for one: the snapped point becomes
    // its placement origin and the placement is applied.
    void ViewMouseDown(TCADButton button, TShiftState shift, int32_t x, int32_t y) override;
    void ViewMouseUp(TCADButton button, TShiftState shift, int32_t x, int32_t y) override;

private:
    bool HasDrawingPoint(int32_t x, int32_t y) const;

    TPoint2D m_CursorPoint;
    TPoint2D m_LastSnapPoint{1e8, 1e8, 1.0};
};

// The grid-snapped value of one coordinate (see GetSnappedPoint).
double SnapToGridStep(double value, double step);
