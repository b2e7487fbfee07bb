#pragma once
// The grid of the scene view as plain geometry: the grid rectangle for an
// origin position, the first grid line, the estimate of the line count that
// decides whether the user is asked first, and the grid's polylines.
//
// The whole grid is at most four connected polylines (main and sub-lines,
// vertical and horizontal pass), never one object per line: consecutive
// lines run in alternating directions, so that the connecting segments lie
// on the border of the grid rectangle.

#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <vector>

// Where the drawing origin lies on the grid rectangle.
enum class TGridOrigin : int32_t {
    BottomLeft = 0,
    TopLeft = 1,
    TopRight = 2,
    BottomRight = 3,
    Centre = 4,
};

// The grid's range along one axis.
struct TGridRange {
    double Min = 0.0;
    double Max = 0.0;
};

// The range along X (alongX) or Y of a grid of that size for the origin
// position (0..4); any other position leaves current as it is.
TGridRange GridRangeForOrigin(double size, int32_t origin, bool alongX, const TGridRange& current);

// The first grid line at or after min: min rounded towards zero to a whole
// multiple of step when min <= 0 (-52.5 with step 10 gives -50).
double FirstGridLine(double min, double step);

// The estimated number of lines: width / stepX (times subX when subX > 0)
// plus height / stepY (times subY when subY > 0), each term in single
// precision. Sub-lines are only drawn when both counts are positive, yet
// each term is multiplied on its own.
double GridLineEstimate(double width, double height, double stepX, double stepY, int32_t subX, int32_t subY);

// Above this estimate the user is asked before the grid is built.
inline constexpr double GridLineLimit = 500.0;

// No pass draws more lines than this, whatever the user allowed: a step so
// small that its lines would not fit in memory, or that no longer moves the
// position forward, ends the pass here instead of running on.
inline constexpr int32_t GridPassLineLimit = 1000000;

struct TGridSpec {
    TRect2D Rect;   // minimum corner first; X and Y only
    double StepX = 0.0;
    double StepY = 0.0;
    int32_t SubX = 0; // subdivisions per step; sub-lines only when both > 0
    int32_t SubY = 0;
    TSceneColor Color; // main lines; sub-lines get half its alpha
};

// The grid's polylines in the order they are added to the scene: vertical
// main lines, vertical sub-lines (with subdivisions), horizontal main lines,
// horizontal sub-lines (with subdivisions). Node markers hidden, width 1.
// Both steps must be positive (the caller checks).
std::vector<TSceneLines> BuildGridLines(const TGridSpec& spec);
