#include "cam/drop/DropPath.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TLine::TLine(const TVector2D& p1, float z, const TVector2D& p2)
    : P1{static_cast<float>(p1.X), static_cast<float>(p1.Y), z},
      P2{static_cast<float>(p2.X), static_cast<float>(p2.Y), z}
{
}

void TLine::PointAt(double t, float (&p)[3]) const
{
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<float>(P1[i] + t * (static_cast<double>(P2[i]) - P1[i]));
}

TVector2D TLine::PointAt2D(double t) const
{
    return {P1[0] + t * (static_cast<double>(P2[0]) - P1[0]), P1[1] + t * (static_cast<double>(P2[1]) - P1[1])};
}

void TDropPath::AddLine(const TLine& line)
{
    m_Spans.push_back(std::make_unique<TLineSpan>(line));
}

void TDropPath::SetZ(float z)
{
    for (auto& span : m_Spans) {
        if (auto* line = dynamic_cast<TDropPath::TLineSpan*>(span.get())) {
            line->Line.P1[2] = z;
            line->Line.P2[2] = z;
        }
    }
}

void RasterOverRectangle(TDropPath& path, const TVector2D& corner1, const TVector2D& corner2, double angleDeg,
                         double step)
{
    if (!(step > 0.0) || !std::isfinite(step))
        throw ECADSysException("TDropPath.Raster: the step-over must be a positive length.");
    const double theta = (std::isfinite(angleDeg) ? angleDeg : 0.0) * std::numbers::pi / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);
    // The rectangle's corners in the frame where the raster lines run along X.
    const TVector2D world[4] = {{corner1.X, corner1.Y}, {corner2.X, corner1.Y}, {corner2.X, corner2.Y},
                                {corner1.X, corner2.Y}};
    TVector2D band[4];
    for (int i = 0; i < 4; ++i)
        band[i] = {world[i].X * c + world[i].Y * s, -world[i].X * s + world[i].Y * c};
    double minY = band[0].Y, maxY = band[0].Y;
    for (const TVector2D& p : band) {
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    const double lines = std::trunc((maxY - minY) / step + 1.0);
    if (!(lines <= kMaxRasterLines))
        throw ECADSysException("TDropPath.Raster: the step-over is too small for the area.");

    std::vector<TVector2D> points;
    bool forward = true;
    for (int k = 0; k < static_cast<int>(lines); ++k) {
        const double y = minY + k * step;
        // The rectangle is convex: the line meets it in one chord.
        double xa = 0.0, xb = 0.0;
        bool any = false;
        for (int i = 0; i < 4; ++i) {
            const TVector2D& p = band[i];
            const TVector2D& q = band[(i + 1) % 4];
            if ((p.Y - y) * (q.Y - y) > 0.0 || p.Y == q.Y) {
                if (p.Y == y && q.Y == y) {
                    const double lo = std::min(p.X, q.X), hi = std::max(p.X, q.X);
                    xa = any ? std::min(xa, lo) : lo;
                    xb = any ? std::max(xb, hi) : hi;
                    any = true;
                }
                continue;
            }
            const double x = p.X + (y - p.Y) / (q.Y - p.Y) * (q.X - p.X);
            xa = any ? std::min(xa, x) : x;
            xb = any ? std::max(xb, x) : x;
            any = true;
        }
        if (!any)
            continue;
        const double from = forward ? xa : xb, to = forward ? xb : xa;
        for (double x : {from, to})
            points.push_back({x * c - y * s, x * s + y * c});
        forward = !forward;
    }
    const double tol = SystemTol();
    for (size_t i = 1, prev = 0; i < points.size(); ++i) {
        if (std::fabs(points[i].X - points[prev].X) <= tol && std::fabs(points[i].Y - points[prev].Y) <= tol)
            continue;
        path.AddLine(TLine(points[prev], 0.0f, points[i]));
        prev = i;
    }
}
