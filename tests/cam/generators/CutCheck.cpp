#include "tests/cam/generators/CutCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <numbers>

namespace kbtest {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The reachable region is taken this much inside its edge: the generator's
// curves lie within the chord tolerance of the exact offsets.
constexpr double kEdgeAllowance = 0.005;
// The least area of a band piece that must have its pass.
constexpr double kLeastPiece = 0.1;

double Norm(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

double Angle(const TVector2D& p, const TVector2D& c)
{
    return std::atan2(p.Y - c.Y, p.X - c.X);
}

double Length(const TVector2D& a, const TVector2D& b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

struct TArc {
    double Radius, Start, Sweep;
    int Kind;
    explicit TArc(const TCutSeg& s)
        : Radius(0.5 * (Length(s.A, s.C) + Length(s.B, s.C))), Start(Angle(s.A, s.C)), Kind(s.Kind)
    {
        const double end = Angle(s.B, s.C);
        Sweep = Kind > 0 ? Norm(end - Start) : Norm(Start - end);
        if (Sweep < 1e-12)
            Sweep = kTwoPi; // a whole circle
    }
    bool Holds(double angle) const { return (Kind > 0 ? Norm(angle - Start) : Norm(Start - angle)) <= Sweep; }
    double At(double t) const { return Start + (Kind > 0 ? t : -t) * Sweep; }
};

// The X where the row at y crosses the segment (lines half-open in Y).
void Crossings(const TCutSeg& s, double y, std::vector<double>& xs)
{
    if (s.Kind == 0) {
        const bool up = s.A.Y <= y && y < s.B.Y, down = s.B.Y <= y && y < s.A.Y;
        if (up || down)
            xs.push_back(s.A.X + (y - s.A.Y) * (s.B.X - s.A.X) / (s.B.Y - s.A.Y));
        return;
    }
    const TArc arc(s);
    const double dy = y - s.C.Y;
    if (std::fabs(dy) >= arc.Radius)
        return;
    const double dx = std::sqrt(arc.Radius * arc.Radius - dy * dy);
    for (double x : {s.C.X - dx, s.C.X + dx}) {
        if (arc.Holds(std::atan2(dy, x - s.C.X)))
            xs.push_back(x);
    }
}

std::vector<double> RowCrossings(const std::vector<TCutLoop>& part, double y)
{
    std::vector<double> xs;
    for (const TCutLoop& loop : part) {
        for (const TCutSeg& s : loop)
            Crossings(s, y, xs);
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

bool Inside(const std::vector<TCutLoop>& part, const TVector2D& p)
{
    const std::vector<double> xs = RowCrossings(part, p.Y + 1e-9);
    return std::count_if(xs.begin(), xs.end(), [&](double x) { return x < p.X; }) % 2 == 1;
}

double WallDistance(const std::vector<TCutLoop>& part, const TVector2D& p)
{
    double d = 1e300;
    for (const TCutLoop& loop : part) {
        for (const TCutSeg& s : loop)
            d = std::min(d, Distance(p, s));
    }
    return d;
}

// Squared distance transform of a 1D function (lower envelope of
// parabolas); kFar stands for no centre.
constexpr double kFar = 1e20;

void Transform1D(std::vector<double>& f)
{
    const size_t n = f.size();
    std::vector<double> d(n), z(n + 1);
    std::vector<size_t> v(n);
    size_t k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<double>::infinity();
    z[1] = std::numeric_limits<double>::infinity();
    auto meet = [&](size_t q, size_t p) {
        const double dq = double(q), dp = double(p);
        return ((f[q] + dq * dq) - (f[p] + dp * dp)) / (2.0 * dq - 2.0 * dp);
    };
    for (size_t q = 1; q < n; ++q) {
        double s = meet(q, v[k]);
        while (k > 0 && s <= z[k]) {
            --k;
            s = meet(q, v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<double>::infinity();
    }
    k = 0;
    for (size_t q = 0; q < n; ++q) {
        while (z[k + 1] < double(q))
            ++k;
        const double dq = double(q) - double(v[k]);
        d[q] = dq * dq + f[v[k]];
    }
    f = std::move(d);
}

// Pieces of the path no longer than the given length.
std::vector<TCutSeg> Pieces(const std::vector<TCutSeg>& path, double length)
{
    std::vector<TCutSeg> pieces;
    for (const TCutSeg& s : path) {
        if (s.Kind == 0) {
            const int n = std::max(1, static_cast<int>(std::ceil(Length(s.A, s.B) / length)));
            for (int i = 0; i < n; ++i) {
                const double t0 = double(i) / n, t1 = double(i + 1) / n;
                pieces.push_back({{s.A.X + t0 * (s.B.X - s.A.X), s.A.Y + t0 * (s.B.Y - s.A.Y)},
                                  {s.A.X + t1 * (s.B.X - s.A.X), s.A.Y + t1 * (s.B.Y - s.A.Y)},
                                  {},
                                  0});
            }
            continue;
        }
        const TArc arc(s);
        const int n = std::max(1, static_cast<int>(std::ceil(arc.Radius * arc.Sweep / length)));
        for (int i = 0; i < n; ++i) {
            const double a0 = arc.At(double(i) / n), a1 = arc.At(double(i + 1) / n);
            pieces.push_back({{s.C.X + arc.Radius * std::cos(a0), s.C.Y + arc.Radius * std::sin(a0)},
                              {s.C.X + arc.Radius * std::cos(a1), s.C.Y + arc.Radius * std::sin(a1)},
                              s.C,
                              s.Kind});
        }
    }
    return pieces;
}

struct TGrid {
    double X0 = 0, Y0 = 0, H = 1;
    int Nx = 0, Ny = 0;
    size_t Index(int i, int j) const { return size_t(j) * size_t(Nx) + size_t(i); }
    TVector2D Centre(int i, int j) const { return {X0 + (i + 0.5) * H, Y0 + (j + 0.5) * H + 1e-7}; }
};

int CountPiecesWithoutPass(const TGrid& g, const std::vector<uint8_t>& centres, const std::vector<TCutSeg>& path,
                           const TCutCheck& check, int& pieces, TVector2D& where)
{
    const double theta = check.Angle * std::numbers::pi / 180.0;
    const double s = std::sin(theta), c = std::cos(theta);
    auto across = [&](const TVector2D& p) { return -p.X * s + p.Y * c; };
    double low = 1e300;
    for (int j = 0; j < g.Ny; ++j) {
        for (int i = 0; i < g.Nx; ++i) {
            if (centres[g.Index(i, j)]) {
                low = std::min(low, across(g.Centre(i, j)));
            }
        }
    }
    // The band of every centre cell, from the lowest centre on.
    std::vector<int> band(centres.size(), -1);
    for (int j = 0; j < g.Ny; ++j) {
        for (int i = 0; i < g.Nx; ++i) {
            if (centres[g.Index(i, j)])
                band[g.Index(i, j)] = static_cast<int>(std::floor((across(g.Centre(i, j)) - low) / check.Step));
        }
    }
    // Cells near the path where it runs inside a band: the cuts along the
    // band lines are left out, so that the pieces on both sides of a line do
    // not take each other's cut for their own pass.
    const double margin = 2 * g.H;
    std::vector<uint8_t> near(centres.size(), 0);
    for (const TCutSeg& seg : path) {
        for (const TVector2D& p : SamplePoints(seg, 0.5 * g.H)) {
            const double v = across(p) - low;
            const double in = v - std::floor(v / check.Step) * check.Step;
            if (in <= margin || in >= check.Step - margin)
                continue;
            const int ci = static_cast<int>(std::floor((p.X - g.X0) / g.H));
            const int cj = static_cast<int>(std::floor((p.Y - g.Y0) / g.H));
            for (int j = cj - 2; j <= cj + 2; ++j) {
                for (int i = ci - 2; i <= ci + 2; ++i) {
                    if (i >= 0 && j >= 0 && i < g.Nx && j < g.Ny && Length(g.Centre(i, j), p) <= margin)
                        near[g.Index(i, j)] = 1;
                }
            }
        }
    }
    int without = 0;
    pieces = 0;
    std::vector<uint8_t> seen(centres.size(), 0);
    for (int j = 0; j < g.Ny; ++j) {
        for (int i = 0; i < g.Nx; ++i) {
            const size_t start = g.Index(i, j);
            if (band[start] < 0 || seen[start])
                continue;
            bool passed = false;
            size_t size = 0;
            std::deque<std::pair<int, int>> queue{{i, j}};
            seen[start] = 1;
            while (!queue.empty()) {
                const auto [a, b] = queue.front();
                queue.pop_front();
                ++size;
                passed = passed || near[g.Index(a, b)];
                for (const auto& [da, db] :
                     {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
                    const int x = a + da, y = b + db;
                    if (x < 0 || y < 0 || x >= g.Nx || y >= g.Ny)
                        continue;
                    const size_t n = g.Index(x, y);
                    if (!seen[n] && band[n] == band[start]) {
                        seen[n] = 1;
                        queue.emplace_back(x, y);
                    }
                }
            }
            // Slivers of the cells' staircase along a wall are no pieces.
            if (double(size) * g.H * g.H < kLeastPiece)
                continue;
            ++pieces;
            if (!passed && without++ == 0)
                where = g.Centre(i, j);
        }
    }
    return without;
}

} // namespace

double Distance(const TVector2D& p, const TCutSeg& s)
{
    if (s.Kind == 0) {
        const double dx = s.B.X - s.A.X, dy = s.B.Y - s.A.Y;
        const double l2 = dx * dx + dy * dy;
        const double t = l2 > 0 ? std::clamp(((p.X - s.A.X) * dx + (p.Y - s.A.Y) * dy) / l2, 0.0, 1.0) : 0.0;
        return std::hypot(p.X - (s.A.X + t * dx), p.Y - (s.A.Y + t * dy));
    }
    const TArc arc(s);
    const double r = Length(p, s.C);
    if (r > 0 && arc.Holds(Angle(p, s.C)))
        return std::fabs(r - arc.Radius);
    return std::min(Length(p, s.A), Length(p, s.B));
}

std::vector<TVector2D> SamplePoints(const TCutSeg& s, double spacing)
{
    std::vector<TVector2D> points;
    if (s.Kind == 0) {
        const int n = std::max(1, static_cast<int>(std::ceil(Length(s.A, s.B) / spacing)));
        for (int i = 0; i <= n; ++i) {
            const double t = double(i) / n;
            points.push_back({s.A.X + t * (s.B.X - s.A.X), s.A.Y + t * (s.B.Y - s.A.Y)});
        }
        return points;
    }
    const TArc arc(s);
    const int n = std::max(1, static_cast<int>(std::ceil(arc.Radius * arc.Sweep / spacing)));
    for (int i = 0; i <= n; ++i) {
        const double a = arc.At(double(i) / n);
        points.push_back({s.C.X + arc.Radius * std::cos(a), s.C.Y + arc.Radius * std::sin(a)});
    }
    return points;
}

TCutReport CheckCut(const std::vector<TCutLoop>& part, const std::vector<TCutSeg>& path, const TCutCheck& check)
{
    TCutReport report;
    const double r = check.Radius, h = check.Cell;

    // The grid over the part's box.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const TCutLoop& loop : part) {
        for (const TCutSeg& s : loop) {
            for (const TVector2D& p : SamplePoints(s, 0.05)) {
                minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
                minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
            }
        }
    }
    TGrid g;
    g.H = h;
    g.X0 = minX - h;
    g.Y0 = minY - h;
    g.Nx = static_cast<int>(std::ceil((maxX - minX) / h)) + 2;
    g.Ny = static_cast<int>(std::ceil((maxY - minY) / h)) + 2;
    const size_t cells = size_t(g.Nx) * size_t(g.Ny);

    // Centres the tool may take: inside, at least the radius from a wall.
    std::vector<uint8_t> centres(cells, 0);
    for (int j = 0; j < g.Ny; ++j) {
        const double y = g.Centre(0, j).Y;
        const std::vector<double> xs = RowCrossings(part, y);
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int i0 = std::max(0, static_cast<int>(std::ceil((xs[k] - g.X0) / h - 0.5)));
            const int i1 = std::min(g.Nx - 1, static_cast<int>(std::floor((xs[k + 1] - g.X0) / h - 0.5)));
            for (int i = i0; i <= i1; ++i)
                centres[g.Index(i, j)] = WallDistance(part, g.Centre(i, j)) >= r ? 1 : 0;
        }
    }

    // Reachable: within the radius of a centre (distance transform in cells).
    std::vector<double> f(cells);
    for (size_t n = 0; n < cells; ++n)
        f[n] = centres[n] ? 0.0 : kFar;
    std::vector<double> line;
    for (int i = 0; i < g.Nx; ++i) {
        line.resize(size_t(g.Ny));
        for (int j = 0; j < g.Ny; ++j)
            line[size_t(j)] = f[g.Index(i, j)];
        Transform1D(line);
        for (int j = 0; j < g.Ny; ++j)
            f[g.Index(i, j)] = line[size_t(j)];
    }
    for (int j = 0; j < g.Ny; ++j) {
        const auto row = f.begin() + std::ptrdiff_t(g.Index(0, j));
        line.assign(row, row + g.Nx);
        Transform1D(line);
        std::copy(line.begin(), line.end(), row);
    }
    const double reach = (r - kEdgeAllowance) / h;
    std::vector<uint8_t> state(cells, 0); // 1 reachable, 2 reachable and cut
    for (size_t n = 0; n < cells; ++n)
        state[n] = f[n] <= reach * reach ? 1 : 0;

    // The tool discs along the path.
    for (const TCutSeg& piece : Pieces(path, 2.0)) {
        double bx0 = std::min(piece.A.X, piece.B.X), bx1 = std::max(piece.A.X, piece.B.X);
        double by0 = std::min(piece.A.Y, piece.B.Y), by1 = std::max(piece.A.Y, piece.B.Y);
        const double pad = r + (piece.Kind != 0 ? 0.5 : 0.0) + h;
        const int i0 = std::max(0, static_cast<int>((bx0 - pad - g.X0) / h));
        const int i1 = std::min(g.Nx - 1, static_cast<int>((bx1 + pad - g.X0) / h));
        const int j0 = std::max(0, static_cast<int>((by0 - pad - g.Y0) / h));
        const int j1 = std::min(g.Ny - 1, static_cast<int>((by1 + pad - g.Y0) / h));
        for (int j = j0; j <= j1; ++j) {
            for (int i = i0; i <= i1; ++i) {
                uint8_t& st = state[g.Index(i, j)];
                if (st == 1 && Distance(g.Centre(i, j), piece) <= r)
                    st = 2;
            }
        }
    }
    size_t reachable = 0, uncut = 0;
    for (uint8_t st : state) {
        reachable += st != 0 ? 1 : 0;
        uncut += st == 1 ? 1 : 0;
    }
    report.ReachableArea = double(reachable) * h * h;
    report.UncutArea = double(uncut) * h * h;

    // The tool centre against the walls.
    for (const TCutSeg& s : path) {
        for (const TVector2D& p : SamplePoints(s, 0.05)) {
            const double d = WallDistance(part, p);
            if (d < report.MinWallDistance) {
                report.MinWallDistance = d;
                report.NearestToWall = p;
            }
            if (!Inside(part, p))
                ++report.PointsOutside;
        }
    }
    if (check.Step > 0)
        report.PiecesWithoutPass =
            CountPiecesWithoutPass(g, centres, path, check, report.Pieces, report.PieceWithoutPass);
    return report;
}

} // namespace kbtest
