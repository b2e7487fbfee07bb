#pragma once
// Readers and assertions on entity geometry as drawn, shared by the cad
// tests: control points through the entity's transforms, points within a
// tolerance, and an arc's centre, radius and angles.

#include "core/entities/Arco2D.h"
#include "core/geometry/Points.h"
#include "core/entities/Primitive2D.h"

#include <gtest/gtest.h>

#include <vector>

namespace kbtest {

// Control point index through the entity's model and pending transform,
// made cartesian.
TPoint2D Shown(const TPrimitive2D& entity, int index);
// Every control point of the entity in drawing coordinates, in order.
std::vector<TVector2D> ShownPoints(const TPrimitive2D& entity);

::testing::AssertionResult IsAt(const TVector2D& p, double x, double y, double tol = 1e-9);
::testing::AssertionResult IsAt(const TPoint2D& p, double x, double y, double tol = 1e-9);
// Line or polyline points in drawing coordinates, each within tol.
::testing::AssertionResult HasPoints(const TPrimitive2D& entity, const std::vector<TVector2D>& expected,
                                     double tol = 1e-9);
// The arc as drawn: counter-clockwise from startDeg to endDeg (degrees, any
// turn: 270 and -90 are the same angle; equal angles make a full turn)
// about (cx, cy) at radius r. Centre and radius within tol; each angle
// within the angle that tol spans on the circle (at radius 1 at least),
// plus 1e-7 degrees.
::testing::AssertionResult IsArc(const TArco2D& arc, double cx, double cy, double r, double startDeg, double endDeg,
                                 double tol = 1e-6);

} // namespace kbtest
