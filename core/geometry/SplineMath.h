#pragma once
// B-spline and NURBS evaluation: knot spans, basis functions and their
// derivatives (Piegl and Tiller, The NURBS Book, algorithms A2.1, A2.3 and
// A3.2), curve points, and the open uniform knot vector of the drawn
// B-spline.
//
// Notation: degree p, order k = p + 1, knots U(0) .. U(m) (m + 1 knots),
// control points P(0) .. P(m - p - 1). The curve is defined on its domain
// U(p) .. U(m - p); a clamped vector (first and last p + 1 knots equal)
// makes the domain the whole vector, an unclamped or periodic one does not.
//
// Contracts: nothing here raises, allocates in proportion to untrusted
// counts beyond (p + 1)^2, loops without bound or reads outside its
// arguments. The point and derivative functions check only what keeps them
// in bounds (O(1)); whether a knot vector makes sense is IsValidKnotVector,
// which callers run once before sampling. On a vector that fails it the
// results are meaningless but harmless.

#include "core/geometry/Points.h"

#include <optional>
#include <span>
#include <vector>

// The largest degree that is evaluated. The basis tables grow with the
// square of the degree, and a stored degree comes from the file: anything
// above this is treated as a spline that cannot be evaluated.
inline constexpr int kMaxSplineDegree = 32;

// Knot j of the open uniform integer knot vector of order k over the
// control points P0 .. Pn: 0 for j < k, n - k + 2 for j > n, else j - k + 1.
double OpenUniformKnot(int j, int n, int k);
// The whole vector: knots 0 .. n + k (n + k + 1 values); empty for k < 1 or
// n < 0.
std::vector<double> OpenUniformKnots(int n, int k);

// True when the knots carry a curve of degree p: 0 <= p <= kMaxSplineDegree,
// at least 2 (p + 1) knots, all finite, never decreasing, and a domain
// U(p) .. U(m - p) of positive length.
bool IsValidKnotVector(std::span<const double> knots, int p);

// The first and last parameter of the domain, U(p) and U(m - p). Requires
// at least 2 (p + 1) knots; otherwise (0, 0).
struct TKnotDomain {
    double First = 0.0;
    double Last = 0.0;
};
TKnotDomain KnotDomain(std::span<const double> knots, int p);

// The knot span of u: the index s in p .. m - p - 1 with
// U(s) <= u < U(s + 1). u is first clamped to the domain (a NaN counts as
// its start); at the domain's end the answer is the last span of non-zero
// length. The search is a bisection over that index range and always ends,
// also on unclamped and periodic vectors. -1 when p < 0 or the vector has
// fewer than 2 (p + 1) knots.
int FindSpan(std::span<const double> knots, int p, double u);

// The non-zero basis functions N(span - p + j, p) of u, j = 0 .. p, and
// their derivatives: result[k][j] is the k-th derivative, k = 0 .. n
// (derivatives above p are zero). span must come from FindSpan for the same
// knots, p and u; an empty result when it is out of range.
std::vector<std::vector<double>> DersBasisFuns(int span, double u, int p, int n, std::span<const double> knots);

// The curve and its derivatives up to order d at u (clamped to the domain
// as FindSpan clamps it) in homogeneous form:
// result[k] is the k-th derivative of sum N(i, p) Pw(i), where Pw are the
// weighted control points (X w, Y w, w) as TVector3D (X, Y, Z = w). Empty
// when the knots are too short for p or there are fewer than m - p weighted
// points.
std::vector<TVector3D> CurveDerivs(std::span<const double> knots, int p, std::span<const TVector3D> weighted,
                                   double u, int d);

// The cartesian curve point (Cw.X / Cw.w, Cw.Y / Cw.w) at u with weight 1;
// none when CurveDerivs has no answer or the point is not finite (a
// weight sum of 0).
std::optional<TPoint2D> NurbsCurvePoint(std::span<const double> knots, int p, std::span<const TVector3D> weighted,
                                        double u);

// The point of the non-rational B-spline of order k through the cartesian
// control points on the open uniform knots, at t in 0 .. n - k + 2; none
// for k < 1, k > kMaxSplineDegree + 1 or fewer than k points. Builds the
// knots on every call: for sampling many points build them once and use
// NurbsCurvePoint.
std::optional<TPoint2D> BSplinePoint(std::span<const TPoint2D> points, int k, double t);
