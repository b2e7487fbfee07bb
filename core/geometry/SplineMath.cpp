#include "core/geometry/SplineMath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Index of the last knot, m, as an int; the callers have checked the size.
int LastKnotIndex(std::span<const double> knots)
{
    return static_cast<int>(knots.size()) - 1;
}

bool HasRoomForDegree(std::span<const double> knots, int p)
{
    return p >= 0 && p <= kMaxSplineDegree && knots.size() >= 2 * static_cast<size_t>(p + 1);
}

// u brought into the domain; a NaN goes to its start.
double ClampToDomain(std::span<const double> knots, int p, double u)
{
    const TKnotDomain domain = KnotDomain(knots, p);
    if (!(u > domain.First))
        return domain.First;
    return u > domain.Last ? domain.Last : u;
}

} // namespace

double OpenUniformKnot(int j, int n, int k)
{
    if (j < k)
        return 0.0;
    if (j > n)
        return static_cast<double>(n - k + 2);
    return static_cast<double>(j - k + 1);
}

std::vector<double> OpenUniformKnots(int n, int k)
{
    std::vector<double> knots;
    if (k < 1 || n < 0)
        return knots;
    knots.reserve(static_cast<size_t>(n) + static_cast<size_t>(k) + 1);
    for (int j = 0; j <= n + k; ++j)
        knots.push_back(OpenUniformKnot(j, n, k));
    return knots;
}

bool IsValidKnotVector(std::span<const double> knots, int p)
{
    if (!HasRoomForDegree(knots, p))
        return false;
    for (size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i]))
            return false;
        if (i > 0 && knots[i] < knots[i - 1])
            return false;
    }
    const TKnotDomain domain = KnotDomain(knots, p);
    return domain.Last > domain.First;
}

TKnotDomain KnotDomain(std::span<const double> knots, int p)
{
    if (p < 0 || knots.size() < 2 * static_cast<size_t>(p) + 2)
        return {};
    return TKnotDomain{knots[static_cast<size_t>(p)], knots[knots.size() - 1 - static_cast<size_t>(p)]};
}

int FindSpan(std::span<const double> knots, int p, double u)
{
    if (p < 0 || knots.size() < 2 * static_cast<size_t>(p) + 2)
        return -1;
    const int m = LastKnotIndex(knots);
    int low = p;
    int high = m - p; // the domain's end: U(low) <= u < U(high) from here on
    // Outside the domain there is no span: the curve is clamped to its ends.
    // The negated test also sends a NaN to the start.
    if (!(u > knots[static_cast<size_t>(low)]))
        u = knots[static_cast<size_t>(low)];
    if (u >= knots[static_cast<size_t>(high)]) {
        // The end belongs to the last span that has a length.
        int span = high - 1;
        while (span > low && !(knots[static_cast<size_t>(span)] < knots[static_cast<size_t>(high)]))
            --span;
        return span;
    }
    // Bisection on the index range; it halves on every step whatever the
    // knot values are, so it ends also on a damaged vector.
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        if (u < knots[static_cast<size_t>(mid)])
            high = mid;
        else
            low = mid;
    }
    return low;
}

std::vector<std::vector<double>> DersBasisFuns(int span, double u, int p, int n, std::span<const double> knots)
{
    if (!HasRoomForDegree(knots, p) || n < 0 || span < p || span > LastKnotIndex(knots) - p - 1)
        return {};
    const size_t pp = static_cast<size_t>(p);
    const int du = std::min(n, p);
    auto U = [&](int i) { return knots[static_cast<size_t>(i)]; };

    // ndu: basis functions in the upper triangle, knot differences in the
    // lower one.
    std::vector<std::vector<double>> ndu(pp + 1, std::vector<double>(pp + 1, 0.0));
    std::vector<double> left(pp + 1, 0.0);
    std::vector<double> right(pp + 1, 0.0);
    ndu[0][0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[j] = u - U(span + 1 - j);
        right[j] = U(span + j) - u;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            ndu[j][r] = right[r + 1] + left[j - r];
            const double temp = ndu[r][j - 1] / ndu[j][r];
            ndu[r][j] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        ndu[j][j] = saved;
    }

    std::vector<std::vector<double>> ders(static_cast<size_t>(n) + 1, std::vector<double>(pp + 1, 0.0));
    for (int j = 0; j <= p; ++j)
        ders[0][j] = ndu[j][p];

    // Two alternating rows of the derivative coefficients.
    std::vector<std::vector<double>> a(2, std::vector<double>(pp + 1, 0.0));
    for (int r = 0; r <= p; ++r) {
        int s1 = 0;
        int s2 = 1;
        a[0][0] = 1.0;
        for (int k = 1; k <= du; ++k) {
            double d = 0.0;
            const int rk = r - k;
            const int pk = p - k;
            if (r >= k) {
                a[s2][0] = a[s1][0] / ndu[pk + 1][rk];
                d = a[s2][0] * ndu[rk][pk];
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = r - 1 <= pk ? k - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                a[s2][j] = (a[s1][j] - a[s1][j - 1]) / ndu[pk + 1][rk + j];
                d += a[s2][j] * ndu[rk + j][pk];
            }
            if (r <= pk) {
                a[s2][k] = -a[s1][k - 1] / ndu[pk + 1][r];
                d += a[s2][k] * ndu[r][pk];
            }
            ders[k][r] = d;
            std::swap(s1, s2);
        }
    }
    // Row k times p! / (p - k)!.
    double factor = p;
    for (int k = 1; k <= du; ++k) {
        for (int j = 0; j <= p; ++j)
            ders[k][j] *= factor;
        factor *= p - k;
    }
    return ders;
}

std::vector<TVector3D> CurveDerivs(std::span<const double> knots, int p, std::span<const TVector3D> weighted,
                                   double u, int d)
{
    if (!HasRoomForDegree(knots, p) || d < 0)
        return {};
    // Basis functions exist for the points 0 .. m - p - 1.
    if (weighted.size() < knots.size() - static_cast<size_t>(p) - 1)
        return {};
    const int span = FindSpan(knots, p, u);
    const int du = std::min(d, p);
    const std::vector<std::vector<double>> nders = DersBasisFuns(span, ClampToDomain(knots, p, u), p, du, knots);
    if (nders.empty())
        return {};
    std::vector<TVector3D> ck(static_cast<size_t>(d) + 1);
    for (int k = 0; k <= du; ++k) {
        TVector3D sum;
        for (int j = 0; j <= p; ++j) {
            const TVector3D& pw = weighted[static_cast<size_t>(span - p + j)];
            const double n = nders[k][j];
            sum.X += n * pw.X;
            sum.Y += n * pw.Y;
            sum.Z += n * pw.Z;
        }
        ck[k] = sum;
    }
    return ck;
}

std::optional<TPoint2D> NurbsCurvePoint(std::span<const double> knots, int p, std::span<const TVector3D> weighted,
                                        double u)
{
    const std::vector<TVector3D> ck = CurveDerivs(knots, p, weighted, u, 0);
    if (ck.empty())
        return std::nullopt;
    const TVector3D& cw = ck[0];
    const double x = cw.X / cw.Z;
    const double y = cw.Y / cw.Z;
    if (!std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    return TPoint2D{x, y, 1.0};
}

std::optional<TPoint2D> BSplinePoint(std::span<const TPoint2D> points, int k, double t)
{
    if (k < 1 || k > kMaxSplineDegree + 1 || points.size() < static_cast<size_t>(k))
        return std::nullopt;
    const int n = static_cast<int>(points.size()) - 1;
    const std::vector<double> knots = OpenUniformKnots(n, k);
    std::vector<TVector3D> weighted;
    weighted.reserve(points.size());
    for (const TPoint2D& p : points)
        weighted.push_back(TVector3D{p.X, p.Y, 1.0});
    return NurbsCurvePoint(knots, k - 1, weighted, t);
}
