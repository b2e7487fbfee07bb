#pragma once
// Points of the drop cutter: the cutter location (CL, the tip of the tool:
// the lowest point of its axis) and the contact point (CC) where the tool
// touches the surface. Single precision, as the triangles are.

#include <cstdint>
#include <optional>

class TTri;

class TCutterPoint {
public:
    TCutterPoint() = default;
    TCutterPoint(float x, float y, float z) : X(x), Y(y), Z(z) {}

    // 0 x, 1 y, 2 z; any other index is a programming error (asserted).
    float Coord(int index) const;

    // Z := the height of the line p1-p2 at this point's X or Y: the parameter
    // is taken from X when the line runs more along X than along Y, else from
    // Y. The line must have an XY length.
    void ProjectOntoEdge(const TCutterPoint& p1, const TCutterPoint& p2);
    // The 3D projection parameter onto p1-p2 lies in [0, 1]; false for a
    // segment of no length.
    bool IsInsideEdge(const TCutterPoint& p1, const TCutterPoint& p2) const;
    // Strictly inside the triangle (barycentric, 3D): a point on its border
    // or a degenerate triangle gives false.
    bool IsInFacet(const TTri& triangle) const;
    // XY distance to the infinite line through p1 and p2; -1 when the two
    // coincide in XY.
    float XYDistanceToLine(const TCutterPoint& p1, const TCutterPoint& p2) const;
    // The XY foot on that line, z 0; (0, 0, 0) for a line of no XY length.
    TCutterPoint XYClosestPoint(const TCutterPoint& p1, const TCutterPoint& p2) const;
    // The 3D foot on the line through p1 and p2 (p1 for a line of no length).
    TCutterPoint ClosestPoint(const TCutterPoint& p1, const TCutterPoint& p2) const;

    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// Contact kinds.
inline constexpr int32_t kContactNone = 0;
inline constexpr int32_t kContactVertex = 1;
inline constexpr int32_t kContactEdge = 2;
inline constexpr int32_t kContactFacet = 3;

class TCCPoint : public TCutterPoint {
public:
    TCCPoint() = default;
    TCCPoint(float x, float y, float z, int32_t kind = kContactNone) : TCutterPoint(x, y, z), Kind(kind) {}
    int32_t Kind = kContactNone;
};

// A cutter location; dropping only ever raises it.
class TCLPoint : public TCutterPoint {
public:
    TCLPoint() = default;
    TCLPoint(float x, float y, float z) : TCutterPoint(x, y, z) {}

    // When z is above the location: Z := z and the contact := the contact's
    // coordinates (kind not given); true. Otherwise nothing changes, false.
    bool LiftZ(const TCutterPoint& contact, float z);
    // LiftZ only when the contact lies within the segment p1-p2.
    bool LiftIfInsideEdge(const TCutterPoint& contact, const TCutterPoint& p1, const TCutterPoint& p2, float z);
    // LiftZ only when the contact lies strictly inside the triangle.
    bool LiftIfInFacet(const TCutterPoint& contact, const TTri& triangle, float z);
    // The location is lower than the triangle's highest point.
    bool Below(const TTri& triangle) const;

    // Absent until the first lift.
    std::optional<TCCPoint> Contact;
};

inline TCutterPoint CutterPointOf(const float (&p)[3])
{
    return TCutterPoint(p[0], p[1], p[2]);
}
