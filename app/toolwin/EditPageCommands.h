#pragma once
// What the main window does for the edit pages of the tool window: the
// search for small entities and the drawing statistics.
//
// IdentDelSmallEnt: every object but points whose box is narrower and lower
// than size is small (a line along X has height 0 and is small when it is
// shorter than size). Without del they are counted; with del they are
// deleted, as one undo step of deleted objects recorded before the first
// goes. The report is the count, a space and text "409" (found) or "411"
// (deleted). A size of 0 or below finds nothing.
//
// CountDrawing: the visible objects by kind (the first match of line,
// point, rectangle, arc or circle, ellipse, polyline, spline, container or
// block reference, single-line text), the points total (line 2, point 1,
// rectangle 4, arc or circle 2, ellipse, polyline and spline their control
// points), objects on hidden layers counted as hidden only, and the
// drawing's bounds. Objects with their visible flag clear are skipped.
// Main thread only.

#include "app/toolwin/frmToolWin.h"

#include <string>

class TQV_01Cmp2D;

std::string IdentDelSmallEnt(TQV_01Cmp2D& document, bool del, double size);
TDrawingStatistics CountDrawing(TQV_01Cmp2D& document);
