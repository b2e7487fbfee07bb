#pragma once
// An outside measure of what a 2D toolpath cuts, in the tests' own
// geometry (no machining routine is used): the part is a set of closed
// loops of lines and arcs (an outline and its islands, read by the
// even-odd rule); the path is the list of cutting segments the tool centre
// follows. On a grid of square cells it finds the region the tool can
// reach (centres at least the tool radius from every wall, grown back by
// the radius), the cells of it that no tool disc along the path covers,
// and how close the tool centre comes to a wall.

#include "core/geometry/Points.h"

#include <vector>

namespace kbtest {

// A line from A to B, or an arc from A to B about C: counter-clockwise
// for kind 1, clockwise for kind -1.
struct TCutSeg {
    TVector2D A, B, C;
    int Kind = 0;
};
using TCutLoop = std::vector<TCutSeg>;

struct TCutReport {
    double ReachableArea = 0.0;
    double UncutArea = 0.0;
    // The nearest a point of the path comes to a wall.
    double MinWallDistance = 1e300;
    TVector2D NearestToWall;
    // Points of the path outside the part or inside an island.
    int PointsOutside = 0;
    // Bands of the zig-zag (given by angle and step): the connected pieces
    // of the centres' region in a band that the path never enters.
    int PiecesWithoutPass = 0;
    TVector2D PieceWithoutPass; // a cell of the first one
    int Pieces = 0;
    double UncutPercent() const { return ReachableArea > 0 ? 100.0 * UncutArea / ReachableArea : 0.0; }
};

struct TCutCheck {
    double Radius = 3.0;
    double Cell = 0.05;
    // The bands to check: lines at this angle (degrees) and step, the first
    // on the lowest centre; a step of 0 checks none.
    double Angle = 0.0;
    double Step = 0.0;
};

double Distance(const TVector2D& p, const TCutSeg& s);
// Points along the segment, both ends included, at most the spacing apart.
std::vector<TVector2D> SamplePoints(const TCutSeg& s, double spacing);

TCutReport CheckCut(const std::vector<TCutLoop>& part, const std::vector<TCutSeg>& path, const TCutCheck& check);

} // namespace kbtest
