#pragma once
// The ellipse of the bull-nose edge drop. A horizontal slice through the
// cylinder of radius c (the corner radius) about a sloping edge is an
// ellipse; the ring of corner centres (radius r1 about the tool axis) must
// touch it. A position on the ellipse is a "diamond angle" d in [0, 4): a
// cheap, monotonic stand-in for the polar angle. The search for the touching
// position runs in double precision so that it always ends.

#include "cam/drop/MillCutter.h"

class TEllissePosition {
public:
    // Brings d into [0, 4) and sets the unit direction (S, T) of it:
    // d 0 -> (1, 0), 1 -> (0, 1), 2 -> (-1, 0), 3 -> (0, -1).
    void SetDiangle(double d);
    void SetST(double s, double t) { S = s; T = t; }

    double S = 1.0;
    double T = 0.0;
    double D = 0.0;
};

class TEllisse {
public:
    // Centre (0, d, 0) in the edge frame, semi-axis a along u and b along
    // the frame's y, offset the distance of the ring from the ellipse.
    TEllisse(double centreY, double a, double b, double offset);

    double PointX(const TEllissePosition& p) const { return CentreX + A * p.S; }
    double PointY(const TEllissePosition& p) const { return CentreY + B * p.T; }
    // The ellipse point moved by the offset along its outward unit normal.
    void OffsetPoint(const TEllissePosition& p, double& x, double& y) const;
    // The offset point's y: 0 where the ring through the axis touches.
    double Error(const TEllissePosition& p) const;

    // Finds the first touching position in d = 0..3 (Brent's method), then
    // FindSecond. Returns the number of iterations the search took.
    int Solve();
    // The second solution among the mirror images of the first; the first
    // again when none of them touches.
    void FindSecond();
    // Moves the ellipse along the edge so that each solution's offset point
    // lies on the axis, keeps the higher placement (the first on a tie) and
    // makes that solution the chosen one. The edge must have a u length.
    void ChooseHigher(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2);

    double CentreX = 0.0;
    double CentreY = 0.0;
    double CentreZ = 0.0;
    double A;
    double B;
    double Offset;
    TEllissePosition Solution1;
    TEllissePosition Solution2;
    const TEllissePosition* Chosen = &Solution1;

    static constexpr int kMaxIterations = 200;
};
