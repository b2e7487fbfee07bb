#include "cam/drop/Ellisse.h"

#include <cmath>
#include <utility>

void TEllissePosition::SetDiangle(double d)
{
    if (!std::isfinite(d))
        d = 0.0;
    while (d < 0.0)
        d += 4.0;
    while (d >= 4.0)
        d -= 4.0;
    D = d;
    const double x = d < 2.0 ? 1.0 - d : d - 3.0;
    const double y = d <= 1.0 ? d : (d < 3.0 ? 2.0 - d : d - 4.0);
    const double len = std::hypot(x, y);
    S = x / len;
    T = y / len;
}

TEllisse::TEllisse(double centreY, double a, double b, double offset)
    : CentreY(centreY), A(a), B(b), Offset(offset)
{
}

void TEllisse::OffsetPoint(const TEllissePosition& p, double& x, double& y) const
{
    double nx = B * p.S;
    double ny = A * p.T;
    const double len = std::hypot(nx, ny);
    if (len > 0.0) {
        nx /= len;
        ny /= len;
    }
    x = PointX(p) + Offset * nx;
    y = PointY(p) + Offset * ny;
}

double TEllisse::Error(const TEllissePosition& p) const
{
    double x, y;
    OffsetPoint(p, x, y);
    return y;
}

int TEllisse::Solve()
{
    constexpr double kExact = 1e-10;
    TEllissePosition p, q;
    p.SetDiangle(0.0);
    q.SetDiangle(3.0);
    int iterations = 0;
    if (std::fabs(Error(p)) < kExact) {
        Solution1 = p;
    } else if (std::fabs(Error(q)) < kExact) {
        Solution1 = q;
    } else {
        // Brent's zero finder on the diamond angle over [0, 3], where the
        // error runs from d (>= 0) down to d - R (<= 0). The classic
        // algorithm ends once the bracket is within 2 eps |x| + tau; the
        // iteration cap only guards against an error function that is not
        // continuous through rounding.
        constexpr double eps = 3e-16;
        constexpr double tau = 1e-10;
        const auto f = [this](double d) {
            TEllissePosition e;
            e.SetDiangle(d);
            return Error(e);
        };
        double a = 0.0, b = 3.0;
        double fa = f(a), fb = f(b);
        double c = a, fc = fa, dd = b - a, e = dd;
        for (; iterations < kMaxIterations; ++iterations) {
            if ((fb > 0.0) == (fc > 0.0)) {
                c = a;
                fc = fa;
                dd = e = b - a;
            }
            if (std::fabs(fc) < std::fabs(fb)) {
                a = b;
                b = c;
                c = a;
                fa = fb;
                fb = fc;
                fc = fa;
            }
            const double tol = 2.0 * eps * std::fabs(b) + tau;
            const double m = 0.5 * (c - b);
            if (std::fabs(m) <= tol || fb == 0.0)
                break;
            if (std::fabs(e) < tol || std::fabs(fa) <= std::fabs(fb)) {
                dd = e = m;
            } else {
                double s = fb / fa, pp, qq;
                if (a == c) {
                    pp = 2.0 * m * s;
                    qq = 1.0 - s;
                } else {
                    const double qa = fa / fc, r = fb / fc;
                    pp = s * (2.0 * m * qa * (qa - r) - (b - a) * (r - 1.0));
                    qq = (qa - 1.0) * (r - 1.0) * (s - 1.0);
                }
                if (pp > 0.0)
                    qq = -qq;
                else
                    pp = -pp;
                if (2.0 * pp < std::min(3.0 * m * qq - std::fabs(tol * qq), std::fabs(e * qq))) {
                    e = dd;
                    dd = pp / qq;
                } else {
                    dd = e = m;
                }
            }
            a = b;
            fa = fb;
            b += std::fabs(dd) > tol ? dd : (m > 0.0 ? tol : -tol);
            fb = f(b);
        }
        Solution1.SetDiangle(b);
    }
    FindSecond();
    Chosen = &Solution1;
    return iterations;
}

void TEllisse::FindSecond()
{
    const double e1 = std::fabs(Error(Solution1));
    const double s = Solution1.S, t = Solution1.T;
    const std::pair<double, double> candidates[3] = {{s, -t}, {-s, t}, {-s, -t}};
    for (const auto& [cs, ct] : candidates) {
        TEllissePosition c;
        c.SetST(cs, ct);
        if (std::fabs(Error(c)) < e1 + 1e-10 && (std::fabs(cs - s) > 1e-8 || std::fabs(ct - t) > 1e-8)) {
            Solution2 = c;
            return;
        }
    }
    Solution2 = Solution1;
}

void TEllisse::ChooseHigher(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2)
{
    const double du = static_cast<double>(p2.U) - p1.U;
    double bestU = 0.0, bestZ = 0.0;
    bool first = true;
    for (const TEllissePosition* sol : {&Solution1, &Solution2}) {
        double ox, oy;
        // About the centre (0, d): the offset point's x is its shift from u 0.
        const double saveX = CentreX;
        CentreX = 0.0;
        OffsetPoint(*sol, ox, oy);
        CentreX = saveX;
        const double tau = (-ox - p1.U) / du;
        const double u = p1.U + tau * du;
        const double z = p1.Z + tau * (static_cast<double>(p2.Z) - p1.Z);
        if (first || z > bestZ) {
            bestU = u;
            bestZ = z;
            Chosen = sol;
            first = false;
        }
    }
    CentreX = bestU;
    CentreZ = bestZ;
}
