#pragma once
// Window selection over the document: the objects whose extent on the view
// lies inside a rectangle of viewer pixels.

#include "core/geometry/Points.h"

class TGraphicObjList;
class TQV_01Cmp;

// Walks the document's objects with an exclusive iterator (refused with
// ECADListBlocked while any iterator over them is alive) and tests each 2D
// object that is enabled and pickable and lies on an active, visible layer:
// its screen rectangle (with a transform, its box's corners through the
// view's projection; without, GetScreenRect) must lie inside window, edges
// included (window is normalised first). Only mode 0 collects; any other
// mode collects nothing.
//
// move clear: the objects are appended to list as references (list made a
// list of references). move set: list is made owning, and each collected
// object leaves the document for it: its entity-tree node is deleted and it
// has no owner any more. A list that already holds objects under the other
// ownership raises std::invalid_argument, a list with live iterators (or the
// document's own list) ECADListBlocked, before anything changes.
void CollectObjectsInWindow(TQV_01Cmp& document, TGraphicObjList& list, const TIntRect& window, int mode,
                            bool move);
