#pragma once
// Free functions of 2D (and a little 3D) geometry that the drawing model,
// the edit commands, the importers, machining and NC output compute with:
// tolerant comparisons, angles, distances, lines and projections, side
// tests, boxes and the orthogonal drawing constraint.
//
// Every function is stateless and returns a new value; a non-const
// reference argument is updated in place and its name says so. A TPoint2D
// argument is used through X and Y alone (its weight W ignored) unless the
// function says otherwise. Angles are radians, counter-clockwise positive
// from +X. Every tolerance test is inclusive: A and B are the same when
// -tol <= A - B <= tol. The tolerances are read on each call (core/Tolerance.h),
// so a change of the measuring unit applies at once.

#include "core/geometry/Points.h"

#include <cstdint>
#include <span>

class TMatrix4;
class TObject2D;

// 2 pi as every angle range of the program uses it.
inline constexpr double kTwoPi = 6.283185307179586;

// ---- Fuzzy comparisons ----------------------------------------------------

bool IsSameValueTol(double a, double b, double tol);
// IsSameValueTol with the system tolerance.
bool IsSameValue(double a, double b);
// A second name of IsSameValue for coordinates.
bool IsSameCoord(double a, double b);
bool IsDifferentValueTol(double a, double b, double tol);
bool IsDifferentValue(double a, double b);
// a > b, or the two are the same within the system tolerance.
bool IsGreaterOrSame(double a, double b);
// Each coordinate on its own: a square window around A, not a circle.
bool IsSameVector2D(const TVector2D& a, const TVector2D& b);
bool IsSameVector2DTol(const TVector2D& a, const TVector2D& b, double tol);
bool IsSameVector3D(const TVector3D& a, const TVector3D& b);
// The weight of P is ignored.
bool IsSameVectorPoint2D(const TVector2D& v, const TPoint2D& p);
// Points of different weights are made cartesian before the comparison.
bool IsSamePoint2D(const TPoint2D& a, const TPoint2D& b);
// Collinearity: the doubled triangle area compared with the chain
// tolerance as it is (not divided by any length, so it depends on scale).
bool ArePointsAligned(const TVector2D& a, const TVector2D& b, const TVector2D& c);
// -1 strictly inside (no tolerance), 0 when the squared distance equals the
// squared radius within the system tolerance, 1 outside.
int PointCircleRelation(const TVector2D& p, const TVector2D& centre, double radius);

// ---- Angles ----------------------------------------------------------------

// Direction of P2 - P1 in [0, 2 pi); coincident points give 0.
double AngleOf2Points(const TVector2D& p1, const TVector2D& p2);
// Direction of P2 - P1 in (-pi, pi].
double AngleOf2PointsSigned(const TVector2D& p1, const TVector2D& p2);
double AngleOfXY(double x, double y);
// Angle swept from start to end: direction 1 counter-clockwise, -1
// clockwise, in (0, 2 pi] for those two (equal angles sweep a full circle);
// any other direction gives end - start, brought above 0 once.
double ArcSweep(int direction, double startAngle, double endAngle);
double ArcSweepCW(bool clockwise, double startAngle, double endAngle);
// Brings an angle of -2 pi or more into (tol, 2 pi + tol]: angles within
// the system tolerance of 0 or 2 pi come out as 2 pi, never 0. An angle
// below -2 pi - tol stays negative. Non-finite angles give 0.
double NormalizeAngle(double angle);
// Angle in [0, pi] between two vectors; 0 when either is zero.
double AngleBetweenVectors(const TVector2D& a, const TVector2D& b);
// The same without the zero check: a zero vector gives not-a-number.
double AngleBetweenVectorsRaw(const TVector2D& a, const TVector2D& b);
// 1 for X > 0, Y >= 0; 2 for X <= 0, Y > 0; 3 for X < 0, Y <= 0;
// 4 for X >= 0, Y < 0; 0 only at the origin. Tested in that order.
int QuadrantXY(double x, double y);
int QuadrantOfVector(const TVector2D& v);

// ---- Distances ---------------------------------------------------------------

double Distance2D(double x1, double y1, double x2, double y2);
double DistanceSqr2D(double x1, double y1, double x2, double y2);
double DistanceVector2D(const TVector2D& a, const TVector2D& b);
// Weights ignored.
double DistanceXY(const TPoint2D& a, const TPoint2D& b);
double DistanceVector3D(const TVector3D& a, const TVector3D& b);
// Index of the point farthest from P (the first of equally far points;
// 0 when every distance is 0), and P is replaced by that point. An empty
// array returns -1 and leaves P as it was.
int PickFarthestPoint(TVector2D& p, std::span<const TVector2D> points);

// ---- Lines and projections -------------------------------------------------

// The line a x + b y + k = 0 through P1 and P2, with (a, b) pointing to the
// right of the direction P1 to P2.
void LineCoefficients(const TVector2D& p1, const TVector2D& p2, double& a, double& b, double& k);
// Positive on the right of P1 to P2 (with LineCoefficients' a, b, k);
// 0 for a degenerate line (a = b = 0).
double SignedDistanceToLine(const TVector2D& p, double a, double b, double k);
// Foot of the perpendicular from P; (0, 0) for a degenerate line.
TVector2D FootOnLineABC(const TVector2D& p, double a, double b, double k);
// The foot of P lies on the closed segment AB (inclusive, no tolerance).
bool IsProjectionOnSegment(const TVector2D& a, const TVector2D& b, const TVector2D& p);
// Nearest point of the closed segment; a zero-length segment gives its
// first point.
void ClosestPointOnSegmentXY(double x1, double y1, double x2, double y2, double x, double y,
                             double& qx, double& qy);
TVector2D ClosestPointOnSegment(const TVector2D& a, const TVector2D& b, const TVector2D& p);
// Projection on the infinite line through the two points, not clamped; a
// zero-length segment gives its first point.
void FootOnLineXY(double x1, double y1, double x2, double y2, double x, double y,
                  double& qx, double& qy);
TVector2D MidPoint2D(const TVector2D& a, const TVector2D& b);
// The point at that distance from B in the direction of A; B itself when
// A and B coincide (no direction to go).
TVector2D PointTowards(const TVector2D& a, const TVector2D& b, double distance);

// ---- Side tests and products -------------------------------------------------

double DotProduct2D(const TVector2D& a, const TVector2D& b);
double CrossProduct2D(const TVector2D& a, const TVector2D& b);
// Direction >= 0: P right of the directed line A to B, or on it;
// direction < 0: the same for the line taken from B to A.
bool IsOnRightSide(const TVector2D& a, const TVector2D& b, const TVector2D& p, int direction);
// P strictly right of the directed line A to B (false when collinear).
bool IsRightTurn(const TVector2D& a, const TVector2D& b, const TVector2D& p);
bool IsRightTurnPt(const TPoint2D& a, const TPoint2D& b, const TPoint2D& p);

// ---- Small vector helpers ----------------------------------------------------

TVector2D CopyVector2D(const TVector2D& v);
void SwapPoints2D(TPoint2D& a, TPoint2D& b);
TPoint2D VectorToPoint2D(const TVector2D& v);
TVector2D MulVector2D(const TVector2D& v, double factor);
TVector2D PerpendicularCCW(const TVector2D& v);
TVector2D PerpendicularCW(const TVector2D& v);
// Clockwise when the direction is exactly -1, otherwise counter-clockwise.
TVector2D PerpendicularByDir(const TVector2D& v, int direction);

// A control point of the object in drawing coordinates: through the
// object's combined model transform when it has one (the resulting weight is
// dropped, X and Y are not divided by it), otherwise P's X and Y.
TVector2D ObjectPointToDrawing(const TPoint2D& p, const TObject2D& object);

// ---- Boxes (result corners have weight 1 unless stated) ----------------------

// Corners as given, not reordered.
TRect2D MakeRect2D(double x1, double y1, double x2, double y2);
TBox3D MakeBox3D(double x1, double y1, double z1, double x2, double y2, double z2);
TRect2D CartesianRect2D(const TRect2D& r);
TBox3D CartesianBox3D(const TBox3D& b);
// Cartesian, then each axis ordered on its own: the first corner becomes
// the minimum.
TRect2D NormalizeRect2D(const TRect2D& r);
TBox3D NormalizeBox3D(const TBox3D& b);
// Both corners through the matrix; weights kept, not made cartesian.
TRect2D TransformRectCorners(const TRect2D& r, const TMatrix4& m);
TBox3D TransformBoxCorners3D(const TBox3D& b, const TMatrix4& m);
// Bounding box of all four corners after the matrix; normalised.
TRect2D TransformRect2D(const TRect2D& r, const TMatrix4& m);
// Bounding box of the corners (x1,y1,z1), (x2,y2,z2), (x1,y2,z1), (x2,y1,z2)
// after the matrix: exact whenever the matrix keeps Z apart from X and Y
// (elements 2, 6, 8, 9 zero), as every transform the program builds does.
TBox3D TransformBox3D(const TBox3D& b, const TMatrix4& m);
// Both normalised, then grown to cover each other.
TRect2D UnionRect2D(const TRect2D& r1, const TRect2D& r2);
TBox3D UnionBox3D(const TBox3D& b1, const TBox3D& b2);

// ---- Drawing constraint ----------------------------------------------------

// Orthogonal drawing: both points made cartesian, then P2 keeps the axis of
// the larger offset from P1 and takes P1's other coordinate; an exact
// diagonal becomes vertical.
void OrthoConstrain(const TPoint2D& p1, TPoint2D& p2);
