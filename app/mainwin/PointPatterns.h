#pragma once
// The point patterns of the Create toolbar: a grid of points and a bolt
// circle, built from the rows of their properties-panel pages into a
// container that the position state places and the explode state adds to
// the drawing (one undo step).
//
// Promises:
// - Counts are the rows' values truncated; a count below 1 gives an empty
//   container (placing it adds nothing).
// - More than MaxPatternPoints points (columns x rows, or the bolt count)
//   give no container at all: the caller warns and starts nothing, instead
//   of asking for millions of entities.
// - Every entity is made with ID -1; nothing here touches a document.

#include <cstdint>
#include <memory>

class TContainer2D;

inline constexpr double MaxPatternPoints = 100000.0;

// Page 2: X step (row 0), Y step (row 1), columns (row 2), rows (row 3),
// angle in degrees (row 4).
struct TPointGridRows {
    double StepX = 0.0;
    double StepY = 0.0;
    double Columns = 0.0;
    double Rows = 0.0;
    double AngleDeg = 0.0;
};

// Page 3: radius (row 0), start angle (row 1), step angle (row 2), count
// (row 3), hole diameter (row 4); angles in degrees.
struct TBoltCircleRows {
    double Radius = 0.0;
    double StartDeg = 0.0;
    double StepDeg = 0.0;
    double Count = 0.0;
    double HoleDiameter = 0.0;
};

// The angle of a grid in degrees as the grid uses it: one outside -360 to
// 360 first reduced into 0 to 360, then a negative one plus 360.
double GridAngleDeg(double angleDeg);

// The grid: row j (0 first) offset by j * StepY along the angle + 90
// degrees, its points i * StepX along the angle, row 0 first, left to right.
// The base point is the lower-left corner of the grid's box, so placing the
// container puts the grid's first point at the click. Null above
// MaxPatternPoints.
std::unique_ptr<TContainer2D> PointGridContainer(const TPointGridRows& rows);

// The bolt circle about the origin: Count points at Radius from the start
// angle on, each the step further (a negative step plus 360 degrees; the
// running angle kept in single precision), and with a hole diameter above 0
// a circle of that diameter at each point. The base point is the lower-left
// corner of the container's box, so placing it puts the centre at the
// click. Null above MaxPatternPoints.
std::unique_ptr<TContainer2D> BoltCircleContainer(const TBoltCircleRows& rows);
