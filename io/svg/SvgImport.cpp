#include "io/svg/SvgImport.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/PointsSet.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/Tolerance.h"
#include "core/model/WorkMonitor.h"
#include "io/svg/QVBezier.h"
#include "io/svg/SvgParser.h"
#include "io/svg/SvgPathRenderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
// Samples per Bezier segment.
constexpr int BezierSamples = 50;
// Progress is shown and events handled once every this many shapes.
constexpr int ProgressEvery = 50;

// The angle of a vector of the ellipse's unit frame, measured with Y
// negated, in 0..2 pi.
double UnitFrameAngle(double wx, double wy)
{
    const double len = std::hypot(wx, wy);
    const double c = std::clamp(wx / len, -1.0, 1.0);
    double angle = (wy >= 0.0 ? -1.0 : 1.0) * std::acos(c);
    if (angle < 0.0)
        angle += kTwoPi;
    return angle;
}

double NormalizedAngle(double angle)
{
    if (angle < 0.0)
        angle += kTwoPi;
    if (angle >= kTwoPi)
        angle -= kTwoPi;
    return angle;
}

bool IsFinitePoint(const TPoint2D& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// Windows colour value 0x00BBGGRR.
uint32_t WindowsRGB(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// How a shape's transform, followed by the Y negation, acts on the
// drawing's frame: whether it keeps circles round and how it turns angles.
struct TShapeMapping {
    explicit TShapeMapping(const agg::trans_affine& t) : T(t)
    {
        // The linear part seen from the Y-negated frame: [[a, b], [c, d]].
        const double a = t.sx;
        const double b = -t.shx;
        const double c = -t.shy;
        const double d = t.sy;
        const double tol = 1e-9 * (std::fabs(a) + std::fabs(b) + std::fabs(c) + std::fabs(d));
        const double det = a * d - b * c;
        if (!std::isfinite(det) || det == 0.0)
            return;
        if (std::fabs(a - d) <= tol && std::fabs(b + c) <= tol) {
            Similar = true;
            Turn = std::atan2(c, a);
        } else if (std::fabs(a + d) <= tol && std::fabs(b - c) <= tol) {
            Similar = true;
            Mirrors = true;
            Turn = std::atan2(b, a);
        }
    }

    TPoint2D Map(double x, double y) const
    {
        return MakePoint2D(T.sx * x + T.shx * y + T.tx, -(T.shy * x + T.sy * y + T.ty));
    }
    TPoint2D Map(const TVector2D& p) const { return Map(p.X, p.Y); }

    // The counter-clockwise angle range of an arc, measured in the Y-negated
    // frame, as it is drawn.
    std::pair<double, double> MapAngles(double start, double end) const
    {
        if (Mirrors)
            return {NormalizedAngle(Turn - end), NormalizedAngle(Turn - start)};
        return {NormalizedAngle(start + Turn), NormalizedAngle(end + Turn)};
    }

    agg::trans_affine T;
    // A similarity (rotation, uniform scale, maybe a mirror).
    bool Similar = false;
    bool Mirrors = false;
    double Turn = 0.0;
};

// Walks the vertices of one shape after another into the document.
class TSvgPathWalker {
public:
    TSvgPathWalker(TQV_01Cmp2D& document, const path_storage& storage, TSvgImportResult& result)
        : m_Document(document), m_Storage(storage), m_Result(result)
    {
    }

    void WalkShape(const path_attributes& attr);

private:
    // Adds an entity of that many points; false (nothing added) once the
    // import has reached MaxSvgImportPoints.
    bool AddEntity(std::unique_ptr<TObject2D> entity, size_t points);
    void AddPolyline(const std::vector<TPoint2D>& points);
    // The pending polyline goes to the document whatever its point count.
    void FlushPending();
    // A pending polyline starting at the current point, when there is none.
    void EnsurePending();
    void StartPending(const TPoint2D& mapped);
    // Appends; a pending polyline that is full goes to the document and
    // continues from its last point.
    void Append(const TVector2D& p);
    void AppendSamples(const TPoint2DArray& samples);
    void AddCircle(const TVector2D& centre, double r);
    void AddArc(const TVector2D& radii, double angleDeg, double largeArc, double sweep, const TVector2D& end);
    // Points of an ellipse with centre and radii in file coordinates, its
    // axes turned by angleDeg as SVG turns them, from start to end
    // (counter-clockwise in the Y-negated frame): n + 2 points.
    std::vector<TPoint2D> EllipsePoints(const TVector2D& centre, double rx, double ry, double angleDeg,
                                        double start, double end) const;

    TQV_01Cmp2D& m_Document;
    const path_storage& m_Storage;
    TSvgImportResult& m_Result;

    // The shape being walked.
    const TShapeMapping* m_Mapping = nullptr;
    int m_Layer = 0;
    uint32_t m_Colour = 0;

    std::vector<TPoint2D> m_Pending;
    bool m_HasPending = false;
    // The pending polyline continues one that was full.
    bool m_PendingContinues = false;
    size_t m_Points = 0;
    TVector2D m_Last;
    bool m_HasLast = false;
    TVector2D m_SubpathStart;
    bool m_HasSubpathStart = false;
    bool m_PrevArc = false;
};

bool TSvgPathWalker::AddEntity(std::unique_ptr<TObject2D> entity, size_t points)
{
    if (m_Result.Truncated)
        return false;
    m_Points += points;
    if (m_Points > MaxSvgImportPoints) {
        m_Result.Truncated = true;
        return false;
    }
    m_Document.SetCurrentLayer(m_Layer);
    m_Document.Layers().GetLayer(m_Layer).SetPenColor(m_Colour);
    m_Document.AddObject(-1, std::move(entity));
    return true;
}

void TSvgPathWalker::AddPolyline(const std::vector<TPoint2D>& points)
{
    if (points.empty())
        return;
    if (!std::all_of(points.begin(), points.end(), IsFinitePoint)) {
        ++m_Result.Skipped;
        return;
    }
    // A run longer than a points set holds continues in the next polyline
    // from the same point.
    const size_t maxPoints = TPointsSet2D::kMaxPoints;
    size_t first = 0;
    do {
        const size_t count = std::min(maxPoints, points.size() - first);
        if (AddEntity(std::make_unique<TPolyline2D>(-1, std::span<const TPoint2D>(points.data() + first, count)),
                      count))
            ++m_Result.Polylines;
        first += count - 1;
    } while (first + 1 < points.size());
}

void TSvgPathWalker::FlushPending()
{
    // A continuation that got no point of its own adds nothing.
    if (m_HasPending && !(m_PendingContinues && m_Pending.size() < 2))
        AddPolyline(m_Pending);
    m_Pending.clear();
    m_HasPending = false;
    m_PendingContinues = false;
}

void TSvgPathWalker::StartPending(const TPoint2D& mapped)
{
    m_Pending.assign(1, mapped);
    m_HasPending = true;
    m_PendingContinues = false;
}

void TSvgPathWalker::EnsurePending()
{
    if (!m_HasPending)
        StartPending(m_Mapping->Map(m_Last));
}

void TSvgPathWalker::Append(const TVector2D& p)
{
    m_Pending.push_back(m_Mapping->Map(p));
    if (m_Pending.size() < static_cast<size_t>(TPointsSet2D::kMaxPoints))
        return;
    AddPolyline(m_Pending);
    const TPoint2D last = m_Pending.back();
    StartPending(last);
    m_PendingContinues = true;
}

void TSvgPathWalker::AppendSamples(const TPoint2DArray& samples)
{
    for (const TVector2D& s : samples) {
        if (IsSameVector2D(s, m_Last))
            continue;
        Append(s);
        m_Last = s;
    }
}

std::vector<TPoint2D> TSvgPathWalker::EllipsePoints(const TVector2D& centre, double rx, double ry, double angleDeg,
                                                    double start, double end) const
{
    // At most a polyline's worth of points.
    const int n = std::clamp(MaxCurveSeg(), 1, TPointsSet2D::kMaxPoints - 2);
    const double sweep = start < end ? end - start : kTwoPi - start + end;
    const double step = sweep / (n + 1);
    // SVG turns the axes by +angle with Y down, that is by -angle in the
    // Y-negated frame.
    const double phi = -angleDeg * Pi / 180.0;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    std::vector<TPoint2D> points;
    points.reserve(static_cast<size_t>(n) + 2);
    const auto add = [&](double theta) {
        const double ox = rx * std::cos(theta);
        const double oy = ry * std::sin(theta);
        const double dx = ox * cosPhi - oy * sinPhi;
        const double dy = ox * sinPhi + oy * cosPhi;
        // Back from the Y-negated frame to the file's, then mapped.
        points.push_back(m_Mapping->Map(centre.X + dx, centre.Y - dy));
    };
    for (int k = 0; k <= n; ++k)
        add(start + k * step);
    add(end);
    return points;
}

void TSvgPathWalker::AddCircle(const TVector2D& centre, double r)
{
    if (m_Mapping->Similar) {
        const TPoint2D c = m_Mapping->Map(centre);
        const TPoint2D onCircle = m_Mapping->Map(centre.X + r, centre.Y);
        if (!IsFinitePoint(c) || !IsFinitePoint(onCircle)) {
            ++m_Result.Skipped;
            return;
        }
        if (AddEntity(std::make_unique<TCerchio2D>(-1, c, onCircle), 2))
            ++m_Result.Circles;
        return;
    }
    // Under unequal scales or skew the circle is an ellipse: a closed
    // polyline.
    std::vector<TPoint2D> points = EllipsePoints(centre, std::fabs(r), std::fabs(r), 0.0, 0.0, kTwoPi);
    points.back() = points.front();
    AddPolyline(points);
}

void TSvgPathWalker::AddArc(const TVector2D& radii, double angleDeg, double largeArc, double sweep,
                            const TVector2D& end)
{
    // SVG: an arc to its own start point is left out, one with a zero
    // radius is a straight line.
    if (end.X == m_Last.X && end.Y == m_Last.Y)
        return;
    if (radii.X == 0.0 || radii.Y == 0.0) {
        EnsurePending();
        Append(end);
        m_Last = end;
        m_PrevArc = false;
        return;
    }

    FlushPending();
    const TSvgArc arc(m_Last.X, m_Last.Y, radii.X, radii.Y, angleDeg, largeArc, sweep, end.X, end.Y);
    const TVector2D centre{arc.Center.X, arc.Center.Y};
    if (IsSameValue(arc.Rx, arc.Ry) && m_Mapping->Similar) {
        const TPoint2D c = m_Mapping->Map(centre);
        const TPoint2D radiusPoint = m_Mapping->Map(end);
        const auto [start, stop] = m_Mapping->MapAngles(arc.StartAngle, arc.EndAngle);
        if (IsFinitePoint(c) && IsFinitePoint(radiusPoint) && std::isfinite(start) && std::isfinite(stop)) {
            if (AddEntity(std::make_unique<TArco2D>(-1, c, radiusPoint, start, stop), 4))
                ++m_Result.Arcs;
        } else {
            ++m_Result.Skipped;
        }
    } else {
        // A circular arc keeps its circle's angles; the ellipse's are on
        // its own turned axes.
        const double axisAngle = IsSameValue(arc.Rx, arc.Ry) ? 0.0 : angleDeg;
        AddPolyline(EllipsePoints(centre, arc.Rx, arc.Ry, axisAngle, arc.StartAngle, arc.EndAngle));
    }

    StartPending(m_Mapping->Map(end));
    m_Last = end;
    m_PrevArc = true;
}

void TSvgPathWalker::WalkShape(const path_attributes& attr)
{
    const TShapeMapping mapping(attr.Transform);
    m_Mapping = &mapping;
    const unsigned qr = attr.FillColor.r / 52;
    const unsigned qg = attr.FillColor.g / 52;
    const unsigned qb = attr.FillColor.b / 52;
    m_Colour = WindowsRGB(qr * 52 + 47, qg * 52 + 47, qb * 52 + 47);
    m_Layer = static_cast<int>(30 * qr + 5 * qg + qb + 35);

    m_Pending.clear();
    m_HasPending = false;
    m_PendingContinues = false;
    m_HasLast = false;
    m_HasSubpathStart = false;
    m_PrevArc = false;

    const unsigned total = m_Storage.total_vertices();
    unsigned i = attr.Index;
    while (i < total && !m_Result.Truncated) {
        double x;
        double y;
        const unsigned cmd = m_Storage.vertex(i, &x, &y);
        const TVector2D p{x, y};
        if (cmd == path_cmd_stop)
            break;
        switch (cmd) {
        case path_cmd_move_to:
            FlushPending();
            StartPending(mapping.Map(p));
            m_Last = p;
            m_HasLast = true;
            m_SubpathStart = p;
            m_HasSubpathStart = true;
            m_PrevArc = false;
            ++i;
            break;
        case path_cmd_line_to:
            if (m_HasLast) {
                EnsurePending();
                Append(p);
                m_Last = p;
            }
            m_PrevArc = false;
            ++i;
            break;
        case path_cmd_curve3: {
            if (total - i <= 1) { // cut off inside the command
                i = total;
                break;
            }
            double ex;
            double ey;
            m_Storage.vertex(i + 1, &ex, &ey);
            if (m_HasLast) {
                EnsurePending();
                TPoint2DArray samples;
                SampleQuadBezier({m_Last, p, {ex, ey}}, BezierSamples, samples);
                AppendSamples(samples);
            }
            m_PrevArc = false;
            i += 2;
            break;
        }
        case path_cmd_curve4: {
            if (total - i <= 2) { // cut off inside the command
                i = total;
                break;
            }
            double x2;
            double y2;
            double ex;
            double ey;
            m_Storage.vertex(i + 1, &x2, &y2);
            m_Storage.vertex(i + 2, &ex, &ey);
            if (m_HasLast) {
                EnsurePending();
                TPoint2DArray samples;
                SampleCubicBezier({m_Last, p, {x2, y2}, {ex, ey}}, BezierSamples, samples);
                AppendSamples(samples);
            }
            m_PrevArc = false;
            i += 3;
            break;
        }
        case path_cmd_circle: {
            if (total - i <= 1) { // cut off inside the command
                i = total;
                break;
            }
            double r;
            double unused;
            m_Storage.vertex(i + 1, &r, &unused);
            AddCircle(p, r);
            m_Last = p;
            m_HasLast = true;
            m_PrevArc = false;
            i += 2;
            break;
        }
        case path_cmd_arc: {
            if (total - i <= 3) { // cut off inside the command
                i = total;
                break;
            }
            double angle;
            double unused;
            double large;
            double sweep;
            double ex;
            double ey;
            m_Storage.vertex(i + 1, &angle, &unused);
            m_Storage.vertex(i + 2, &large, &sweep);
            m_Storage.vertex(i + 3, &ex, &ey);
            if (m_HasLast)
                AddArc({std::fabs(p.X), std::fabs(p.Y)}, angle, large, sweep, {ex, ey});
            i += 4;
            break;
        }
        case path_cmd_end_poly | path_flags_close:
            if (m_HasPending) {
                if (m_Pending.size() > 1 || m_PrevArc || m_PendingContinues) {
                    Append(m_SubpathStart);
                } else {
                    m_Pending.clear();
                    m_HasPending = false;
                }
            }
            // SVG: the next subpath starts where the closed one started.
            if (m_HasSubpathStart)
                m_Last = m_SubpathStart;
            ++i;
            break;
        default:
            ++i;
            break;
        }
    }
    // The end of the path: a polyline of one point is dropped.
    if (m_HasPending && m_Pending.size() < 2) {
        m_Pending.clear();
        m_HasPending = false;
        m_PendingContinues = false;
    }
    FlushPending();
}

// Hides the progress bar when the import ends, however it ends.
class TProgressScope {
public:
    TProgressScope() { WorkMonitor().ShowProgress(0, true); }
    ~TProgressScope() { WorkMonitor().HideProgress(); }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;
};

} // namespace

TSvgArc::TSvgArc(double x1, double y1, double rx, double ry, double angleDeg, double largeArcFlag, double sweepFlag,
                 double x2, double y2)
{
    const bool largeArc = largeArcFlag > 0.0;
    const bool sweep = sweepFlag > 0.0;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const double phi = angleDeg * Pi / 180.0;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);

    // 1. The start point in the ellipse's frame, relative to the midpoint.
    const double dx2 = (x1 - x2) / 2.0;
    const double dy2 = (y1 - y2) / 2.0;
    const double x1p = cosPhi * dx2 + sinPhi * dy2;
    const double y1p = -sinPhi * dx2 + cosPhi * dy2;

    // 2. Radii too small for the chord grow until they just span it.
    const double lambda = (x1p * x1p) / (rx * rx) + (y1p * y1p) / (ry * ry);
    if (lambda > 1.0) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }

    // 3. The centre: of the two candidate centres, the flags choose one.
    const double sign = largeArc != sweep ? 1.0 : -1.0;
    const double rx2 = rx * rx;
    const double ry2 = ry * ry;
    const double num = rx2 * ry2 - rx2 * y1p * y1p - ry2 * x1p * x1p;
    const double den = rx2 * y1p * y1p + ry2 * x1p * x1p;
    const double k = sign * std::sqrt(std::max(0.0, num / den));
    const double cxp = k * rx * y1p / ry;
    const double cyp = -k * ry * x1p / rx;
    Center = MakePoint2D(cosPhi * cxp - sinPhi * cyp + (x1 + x2) / 2.0, sinPhi * cxp + cosPhi * cyp + (y1 + y2) / 2.0);
    Rx = rx;
    Ry = ry;

    // 4. The angles in the Y-negated frame; a set sweep flag runs clockwise
    //    there, so the range is the other way round.
    if (IsSameValue(rx, ry)) {
        const TVector2D c{Center.X, -Center.Y};
        StartAngle = AngleOf2Points(c, {x1, -y1});
        EndAngle = AngleOf2Points(c, {x2, -y2});
    } else {
        StartAngle = UnitFrameAngle((x1p - cxp) / rx, (y1p - cyp) / ry);
        EndAngle = UnitFrameAngle((-x1p - cxp) / rx, (-y1p - cyp) / ry);
    }
    if (sweep)
        std::swap(StartAngle, EndAngle);
}

TSvgImportResult ImportSvgPaths(TQV_01Cmp2D& document, const path_renderer& renderer)
{
    TSvgImportResult result;
    const unsigned count = renderer.attribute_count();
    result.Shapes = static_cast<int32_t>(count);
    const unsigned total = renderer.storage().total_vertices();
    TSvgPathWalker walker(document, renderer.storage(), result);
    for (unsigned i = 0; i < count; ++i) {
        if ((i + 1) % ProgressEvery == 1) {
            WorkMonitor().ShowProgress(static_cast<int>(static_cast<uint64_t>(i + 1) * 100 / count), true);
            WorkMonitor().ProcessMessages();
        }
        const path_attributes& attr = renderer.attribute(i);
        // A shape that added no vertices shares its first index with the
        // next shape (or the end of the storage): it has nothing of its own.
        const bool empty = attr.Index >= total || (i + 1 < count && renderer.attribute(i + 1).Index == attr.Index);
        if (!empty)
            walker.WalkShape(attr);
        if (result.Truncated)
            break;
    }
    return result;
}

TSvgImportResult ImportSvgFile(TQV_01Cmp2D& document, const std::string& fileName)
{
    TProgressScope progress;
    path_renderer renderer;
    svg_parser parser(renderer);
    parser.parse(fileName);
    return ImportSvgPaths(document, renderer);
}
