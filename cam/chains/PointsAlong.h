#pragma once
// Points along chains: a drawing aid that spaces n points evenly along a
// chain (the chain of GlobalChainList the user picked) and previews them,
// or adds them to the drawing as point entities and as circles (holes)
// about them. The number of points, the hole radius and the two kinds come
// from the tool window's points-along page; the page shows the chain length
// and the distance between the points. Main thread only.

#include "core/geometry/Points.h"

#include <vector>

class TACurva;
class TQV_01Cmp2D;

// The length of the chain: lines by distance, arcs by sweep times radius.
double ChainLength(const TACurva& chain);

// The points at every step along the chain from its start (vertex 0's end
// point). At most n points: a chain of length 0 gives its start alone. A
// last step that rounding leaves short by more than "SystemTol" places no
// point; the chain's end is never appended. None for n <= 1.
std::vector<TVector2D> SpacedPoints(const TACurva& chain, int n);

// The placed points.
class TPtAlong {
public:
    // The entities of the points. First and last point within 0.0001 form
    // a loop: the last one is skipped. For each point, a circle of radius
    // holeSize (holes checked and holeSize > 0) and a point entity (points
    // checked), on the current layer, drawn in red. With addToDrawing each
    // is added to document and the added ones make one undo step (objects
    // added); otherwise each is drawn once as a highlight and freed. The
    // scene is rebuilt first. Returns the number of entities made.
    int Place(bool addToDrawing, double holeSize, TQV_01Cmp2D* document) const;

    std::vector<TVector2D> Points;
};

// Spacing by the tool window's fields (nothing when the count field holds
// no integer or one of 1 or less, or the hole field holds no number), then
// TPtAlong::Place.
void PointsAlongChain(const TACurva& chain, bool addToDrawing, TQV_01Cmp2D* document);
