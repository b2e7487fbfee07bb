#pragma once
// Arc and line records of the machining curves: an arc between two points
// about a centre with its sweep and point helpers, an infinite line for
// distance tests, and the shared chord and fitting tolerance.

#include "core/geometry/Points.h"

#include <cstdint>

// The chord and arc-fitting tolerance of curve and area operations, in
// drawing units. Every construction of a TArea sets it (cam/Area.h); the
// curve operations read its value at the time they run. Start-up copies the
// chain tolerance into it. One calculation at a time, on the main thread.
extern double AreaTolerance;

// An infinite line through Origin along Direction (any length but zero).
class TALinea {
public:
    TALinea(const TVector2D& origin, const TVector2D& direction) : Origin(origin), Direction(direction) {}

    // Distance from P to the line. A zero direction has no line: the
    // distance to the origin point is returned.
    double DistanceTo(const TVector2D& p) const;

    TVector2D Origin;
    TVector2D Direction;
};

// An arc from StartPoint to EndPoint about Centre, counter-clockwise when
// CounterClockwise is 1. The radius is taken at the start point.
class TAArco {
public:
    // Points (0, 0), counter-clockwise, attribute 0, radii 0.1 and 1000.
    static TAArco CreateEmpty();
    static TAArco Create(const TVector2D& start, const TVector2D& end, const TVector2D& centre,
                         bool counterClockwise, int32_t attribute);
    // X and Y of the 3D points.
    static TAArco CreateFrom3D(const TVector3D& start, const TVector3D& end, const TVector3D& centre,
                               bool counterClockwise, int32_t attribute);

    // The point at fraction t of the sweep (t = 0 and t = 1 give the end
    // points exactly).
    TVector2D PointAt(double t) const;
    // Sweep from start to end in the arc's direction, in [0, 2 pi): equal
    // start and end angles give 0, so a full circle has no sweep here.
    double SweepAngle() const;
    // The same from the polar angles of the start and the end (atan2 about
    // the centre), for callers that have them already.
    static double SweepBetween(double startAngle, double endAngle, bool counterClockwise);
    // StartAngle and EndAngle as polar angles about the centre, one of them
    // raised by 2 pi so that EndAngle - StartAngle runs in the arc's direction.
    void ComputeAngles();
    // CounterClockwise := P lies on the counter-clockwise way from start to end.
    void SetDirectionThrough(const TVector2D& p);
    // The same from the polar angles of the start, the end and P: 1 for
    // counter-clockwise.
    static uint8_t DirectionThrough(double startAngle, double endAngle, double pointAngle);
    // The midpoint of the arc lies within AreaTolerance of the chord line, or
    // the radius is above MaxRadius.
    bool IsNearlyStraight() const;
    double Radius() const;
    double Length() const;

    double MinRadius = 0.1;    // carried, never consulted
    double MaxRadius = 1000.0;
    TVector2D StartPoint;
    TVector2D EndPoint;
    TVector2D Centre;
    uint8_t CounterClockwise = 1;
    int32_t Attribute = 0;
    double StartAngle = 0.0;   // filled by ComputeAngles only
    double EndAngle = 0.0;
};
