#include "cad/program/QV_00Prog.h"

#include "cad/program/ObjectSnap.h"
#include "cad/program/ShellServices.h"

#include <cmath>

TQV_00Prog::TQV_00Prog()
{
    XSnap = 10.0;
    YSnap = 10.0;
    SnapFilter = ObjectSnap;
}

TQV_00Prog::~TQV_00Prog()
{
    // Stop hooks run while the whole program still exists.
    FreeStates();
    SetViewPortGL(nullptr);
}

void TQV_00Prog::SetCursorPoint(const TPoint2D& point) { m_CursorPoint = CartesianPoint2D(point); }

double SnapToGridStep(double value, double step)
{
    if (step == 0.0)
        return value;
    const float quotient = static_cast<float>(value / step);
    if (!std::isfinite(quotient))
        return value;
    const double rounded = std::nearbyint(static_cast<double>(quotient));
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return value;
    return static_cast<double>(static_cast<int32_t>(rounded)) * step;
}

TPoint2D TQV_00Prog::GetSnappedPoint()
{
    TPoint2D p = m_CursorPoint;
    if (Snap2Grid) {
        p.X = SnapToGridStep(p.X, XSnap);
        p.Y = SnapToGridStep(p.Y, YSnap);
    }
    p.W = 1.0;
    if (ObjectSnapMode != TObjectSnapMode::None && UsaSnap && SnapFilter)
        SnapFilter(*this, CurrentState(), m_LastSnapPoint, p);
    return p;
}

bool TQV_00Prog::HasDrawingPoint(int32_t x, int32_t y) const
{
    const TCADViewPort* view = ViewPortGL();
    return view && view->ScreenToWorld(x, y).has_value();
}

void TQV_00Prog::ViewMouseMove(TShiftState shift, int32_t x, int32_t y)
{
    TCADViewPort* view = ViewPortGL();
    if (!view)
        return;
    const std::optional<TPoint3D> world = view->ScreenToWorld(x, y);
    if (!world)
        return;
    m_CursorPoint = TPoint2D{world->X, world->Y, 1.0};
    if (view->OnMouseMove2D)
        view->OnMouseMove2D(shift, m_CursorPoint.X, m_CursorPoint.Y, x, y);
    TQV_00CADProg::ViewMouseMove(shift, x, y);
}

void TQV_00Prog::ViewDblClick(TShiftState shift, int32_t x, int32_t y)
{
    if (HasDrawingPoint(x, y))
        TQV_00CADProg::ViewDblClick(shift, x, y);
}

void TQV_00Prog::ViewMouseDown(TCADButton button, TShiftState shift, int32_t x, int32_t y)
{
    if (!HasDrawingPoint(x, y))
        return;
    TQV_00CADProg::ViewMouseDown(button, shift, x, y);
    if (button != TCADButton::Left || Busy())
        return;
    TOpenGeoPicker* panel = ShellServices().OpenGeoPanel();
    if (!panel || !panel->WaitsForViewClick())
        return;
    panel->StopWaitingForViewClick();
    panel->ShiftOrigin(GetSnappedPoint());
    panel->Apply();
}

void TQV_00Prog::ViewMouseUp(TCADButton button, TShiftState shift, int32_t x, int32_t y)
{
    if (HasDrawingPoint(x, y))
        TQV_00CADProg::ViewMouseUp(button, shift, x, y);
}
