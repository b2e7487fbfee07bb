#pragma once
// The screen and scene helpers of the 2D points set: its screen extent, its
// drawing on the overlay canvas and its scene lines. They use the installed
// view services (core/ViewInterfaces.h); without a projection or a scene
// builder they draw nothing and the screen extent is empty.

#include "core/geometry/PointsSet.h"
#include "core/model/ViewInterfaces.h"

class TMatrix4;

// The pixel rectangle (Left, Top, Right, Bottom) of the screen positions of
// all points, the points projected as they are (no model transform, no
// division by W); (0, 0, 0, 0) for an empty set.
TIntRect PointsScreenRect(const TPointsSet2D& points);

// The screen positions of all points, in order, as one canvas polyline.
void PointsToCanvasPolyline(const TPointsSet2D& points, TCanvas2D& canvas);

// A new lines object in the scene's current target group, node markers
// invisible, one node per point: the point through the transform
// (TMatrix4::TransformPoint2D, not made cartesian) at Z = 0. Returns its id
// (NoSceneNode without a scene builder).
TSceneNodeId PointsToSceneLines(const TPointsSet2D& points, const TMatrix4& transform,
                                const TSceneColor& color = TSceneColor{}, float lineWidth = 1.0f);
// Makes the entity group the current target first, then the same.
TSceneNodeId PointsToSceneLinesInEntityGroup(const TPointsSet2D& points, const TMatrix4& transform,
                                             const TSceneColor& color = TSceneColor{}, float lineWidth = 1.0f);
