#include "nc/solid/ToolShape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TCutTool TCutTool::FromRecord(int32_t type, double diameter, double cornerRadius, double tipDiameter,
                              double angleDegrees)
{
    TCutTool tool;
    tool.Type = static_cast<ECutToolType>(static_cast<uint32_t>(type));
    tool.R = std::max(0.0, diameter * 0.5);
    tool.Rc = std::clamp(cornerRadius, 0.0, tool.R);
    tool.r = std::clamp(tipDiameter * 0.5, 0.0, tool.R);
    const double angle = (90.0 - angleDegrees) * std::numbers::pi / 180.0;
    tool.Hc = std::tan(angle) * (tool.R - tool.r);
    if (!std::isfinite(tool.Hc) || tool.Hc < 0)
        tool.Hc = 0;
    return tool;
}

std::optional<double> ToolProfile(const TCutTool& tool, double d, double k)
{
    const double R = tool.R;
    if (d > R)
        return std::nullopt;
    switch (tool.Type) {
    case ECutToolType::Flat:
        return 0.0;
    case ECutToolType::Toro: {
        const double inner = R - tool.Rc;
        if (d <= inner)
            return 0.0;
        const double e = d - inner;
        return tool.Rc - std::sqrt(std::max(0.0, tool.Rc * tool.Rc - e * e));
    }
    case ECutToolType::Ball:
        return R - std::sqrt(std::max(0.0, R * R - d * d));
    case ECutToolType::Cone:
        if (d <= tool.r || R <= tool.r)
            return 0.0;
        return tool.Hc * (d - tool.r) / (R - tool.r);
    case ECutToolType::Drill:
        return R > 0 ? d * k / R : 0.0;
    }
    return std::nullopt;
}

namespace {

// The part [t0, t1] of the move (parameter 0..1) during which the axis is
// within R of the point, or none.
bool WithinReach(const TToolMove& m, double x, double y, double R, double& t0, double& t1)
{
    if (!(TMoveReach(m).SquaredDistance(x, y) <= R * R))
        return false;
    const double dx = m.BX - m.AX, dy = m.BY - m.AY;
    const double px = x - m.AX, py = y - m.AY;
    const double a = dx * dx + dy * dy;
    t0 = 0, t1 = 1;
    if (a <= 0) // no horizontal travel: reach is the same all along
        return true;
    const double b = -2.0 * (px * dx + py * dy);
    const double c = px * px + py * py - R * R;
    const double root = std::sqrt(std::max(0.0, b * b - 4.0 * a * c));
    t0 = std::max(0.0, (-b - root) / (2.0 * a));
    t1 = std::min(1.0, (-b + root) / (2.0 * a));
    if (t0 > t1) // the rim touched at an end, the roots rounded past it
        t0 = t1 = std::clamp((px * dx + py * dy) / a, 0.0, 1.0);
    return true;
}

double AxisDistance(const TToolMove& m, double t, double x, double y)
{
    return std::hypot(x - (m.AX + t * (m.BX - m.AX)), y - (m.AY + t * (m.BY - m.AY)));
}

} // namespace

std::optional<double> LowestOverPoint(const TCutTool& tool, const TToolMove& m, double x, double y, double k)
{
    if (!tool.Known())
        return std::nullopt;
    double t0 = 0, t1 = 0;
    if (!WithinReach(m, x, y, tool.R, t0, t1))
        return std::nullopt;
    auto z = [&](double t) { return m.AZ + t * (m.BZ - m.AZ); };
    if (tool.Type == ECutToolType::Flat)
        return std::min(z(t0), z(t1));
    // The underside's height over the point with the axis at t.
    auto f = [&](double t) {
        const double d = std::min(AxisDistance(m, t, x, y), tool.R);
        return z(t) + ToolProfile(tool, d, k).value_or(0.0);
    };
    const double dx = m.BX - m.AX, dy = m.BY - m.AY;
    const double travel = dx * dx + dy * dy;
    if (travel <= 0) // a plunge: the shape around the lower end
        return f(m.BZ < m.AZ ? 1.0 : 0.0);
    if (m.AZ == m.BZ) // level: the shape at the nearest point of the move
        return f(std::clamp(((x - m.AX) * dx + (y - m.AY) * dy) / travel, 0.0, 1.0));
    // The height along the move is convex (a convex, growing profile of a
    // convex distance, plus a linear height), so its minimum over the part
    // within reach lies at an end of that part, at a kink of the profile or
    // where the derivative of a smooth piece vanishes. With the move's
    // length L, its rise dz, the point's distance e from the line and the
    // offset u along it, a flank of slope s (h = s d) is stationary at
    // u = -dz e / sqrt(s^2 L^2 - dz^2) and the ball at
    // u = -dz sqrt(R^2 - e^2) / sqrt(L^2 + dz^2).
    const double L = std::sqrt(travel), dz = m.BZ - m.AZ;
    const double tp = ((x - m.AX) * dx + (y - m.AY) * dy) / travel;
    const double e = AxisDistance(m, tp, x, y);
    double best = std::min(f(t0), f(t1));
    auto candidate = [&](double u) {
        const double t = tp + u / L;
        if (t > t0 && t < t1)
            best = std::min(best, f(t));
    };
    auto flank = [&](double slope) {
        const double q = slope * slope * L * L - dz * dz;
        if (q > 0)
            candidate(-dz * e / std::sqrt(q));
    };
    switch (tool.Type) {
    case ECutToolType::Ball:
        candidate(-dz * std::sqrt(std::max(0.0, tool.R * tool.R - e * e)) / std::sqrt(L * L + dz * dz));
        break;
    case ECutToolType::Drill:
        if (tool.R > 0)
            flank(k / tool.R);
        break;
    case ECutToolType::Cone:
        if (e < tool.r) { // the edges of the flat tip
            const double half = std::sqrt(tool.r * tool.r - e * e);
            candidate(-half), candidate(half);
        }
        if (tool.R > tool.r)
            flank(tool.Hc / (tool.R - tool.r));
        break;
    default: { // bull nose: a golden-section search over the convex height
        constexpr double kGolden = 0.6180339887498949;
        double lo = t0, hi = t1;
        double c = hi - kGolden * (hi - lo), d = lo + kGolden * (hi - lo);
        double fc = f(c), fd = f(d);
        for (int i = 0; i < 48 && (hi - lo) * L > 1e-7; ++i) {
            if (fc <= fd) {
                hi = d, d = c, fd = fc;
                c = hi - kGolden * (hi - lo);
                fc = f(c);
            } else {
                lo = c, c = d, fc = fd;
                d = lo + kGolden * (hi - lo);
                fd = f(d);
            }
        }
        best = std::min({best, fc, fd});
    }
    }
    return best;
}
