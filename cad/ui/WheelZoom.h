#pragma once
// The mouse-wheel zoom of the drawing view: the view zooms by 0.9 per notch
// away from the user (1 / 0.9 towards), and its centre moves towards the
// last mouse position that the view recorded, so the drawing under the
// pointer stays roughly in place.

#include "core/geometry/Points.h"

#include <cstdint>

class TQVScene;

// The zoom factor of a wheel turn: 0.9 to the power wheelDelta / 120
// (120 = one notch; finer wheels give fractions of a notch).
double WheelZoomFactor(int32_t wheelDelta);

// The pixel that becomes the view's new centre, for a viewer of width x
// height pixels, the pointer at (mouseX, mouseY) and the factor f: the
// centre (width / 2, height / 2), integer halves, moved by the pointer's
// offset times (f - 1) on each axis, in single precision, each offset
// rounded half to even.
TIntPoint WheelZoomCentre(int32_t width, int32_t height, int32_t mouseX, int32_t mouseY, double factor);

// Zooms the view: the drawing point under the new centre pixel becomes
// the camera's target (unless no drawing point lies under it, in which
// case the target stays), then scene scale times f, camera offset and
// depth of view divided by f. A zero delta does nothing.
void WheelZoom(TQVScene& view, int32_t wheelDelta);
