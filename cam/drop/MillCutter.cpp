#include "cam/drop/MillCutter.h"

#include "cam/drop/Ellisse.h"
#include "cam/tools/DatiUtBase.h"
#include "core/model/CADSysException.h"
#include "core/geometry/Tolerance.h"
#include "core/geometry/Tri.h"

#include <cmath>
#include <numbers>
#include <string>

namespace {

// Z of the frame's edge line at u (the edge has a u length).
float FrameZAt(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2, float u)
{
    return p1.Z + (u - p1.U) / (p2.U - p1.U) * (p2.Z - p1.Z);
}

bool DiffersXY(const float (&a)[3], const float (&b)[3])
{
    const double tol = SystemTol();
    return std::fabs(a[0] - b[0]) > tol || std::fabs(a[1] - b[1]) > tol;
}

} // namespace

bool TMillCutter::Overlaps(const TCLPoint& cl, const TTri& t) const
{
    const double minX = cl.X - m_Radius, maxX = cl.X + m_Radius;
    const double minY = cl.Y - m_Radius, maxY = cl.Y + m_Radius;
    return !(minX > t.Box.Max[0] || maxX < t.Box.Min[0] || minY > t.Box.Max[1] || maxY < t.Box.Min[1]);
}

bool TMillCutter::DropOnTriangle(TCLPoint& cl, const TTri& t) const
{
    if (!cl.Below(t))
        return false;
    if (FacetDrop(cl, t))
        return true;
    bool lifted = VertexDrop(cl, t);
    if (cl.Below(t))
        lifted = EdgeDrop(cl, t) || lifted;
    return lifted;
}

bool TMillCutter::VertexDrop(TCLPoint& cl, const TTri& t) const
{
    bool lifted = false;
    for (const float(*q)[3] : {&t.A, &t.B, &t.C}) {
        const double d = std::hypot(static_cast<double>(cl.X) - (*q)[0], static_cast<double>(cl.Y) - (*q)[1]);
        if (d <= m_Radius) {
            const TCCPoint contact((*q)[0], (*q)[1], (*q)[2], kContactVertex);
            lifted = cl.LiftZ(contact, static_cast<float>((*q)[2] - Height(d))) || lifted;
        }
    }
    return lifted;
}

bool TMillCutter::EdgeDrop(TCLPoint& cl, const TTri& t) const
{
    bool lifted = false;
    const float(*edges[3][2])[3] = {{&t.A, &t.B}, {&t.B, &t.C}, {&t.C, &t.A}};
    for (const auto& edge : edges) {
        const float(&a)[3] = *edge[0];
        const float(&b)[3] = *edge[1];
        if (!DiffersXY(a, b))
            continue;
        const TCutterPoint p1 = CutterPointOf(a), p2 = CutterPointOf(b);
        const float d = cl.XYDistanceToLine(p1, p2);
        if (d < 0.0f || d > m_Radius)
            continue;
        float vx = p2.X - p1.X, vy = p2.Y - p1.Y;
        const float len = std::hypot(vx, vy);
        vx /= len;
        vy /= len;
        const TCutterPoint s = cl.XYClosestPoint(p1, p2);
        const float u1 = (p1.X - s.X) * vx + (p1.Y - s.Y) * vy;
        const float u2 = (p2.X - s.X) * vx + (p2.Y - s.Y) * vy;
        const TEdgeDropResult r = EdgeDropInFrame({u1, d, p1.Z}, {u2, d, p2.Z});
        TCCPoint contact(s.X + r.U * vx, s.Y + r.U * vy, 0.0f, kContactEdge);
        contact.ProjectOntoEdge(p1, p2);
        lifted = cl.LiftIfInsideEdge(contact, p1, p2, r.Z) || lifted;
    }
    return lifted;
}

bool TMillCutter::FacetDrop(TCLPoint& cl, const TTri& t) const
{
    return FacetDropByNormal(cl, t);
}

bool TMillCutter::FacetDropByNormal(TCLPoint& cl, const TTri& t) const
{
    const double tol = SystemTol();
    const float(&n)[3] = t.NormalUp;
    if (std::fabs(n[2]) <= tol)
        return false; // a vertical facet: its edges and vertices hold the cutter
    if (std::fabs(n[0]) <= tol && std::fabs(n[1]) <= tol) {
        const TCCPoint contact(cl.X, cl.Y, t.A[2], kContactFacet);
        return cl.LiftIfInFacet(contact, t, t.A[2]);
    }
    const float mLen = std::hypot(n[0], n[1]);
    const float mx = n[0] / mLen, my = n[1] / mLen;
    const float rvx = m_NormalLength * n[0] + m_XYNormalLength * mx;
    const float rvy = m_NormalLength * n[1] + m_XYNormalLength * my;
    const float rvz = m_NormalLength * n[2];
    TCCPoint contact(cl.X - rvx, cl.Y - rvy, 0.0f, kContactFacet);
    const float d = n[0] * t.A[0] + n[1] * t.A[1] + n[2] * t.A[2];
    contact.Z = (d - n[0] * contact.X - n[1] * contact.Y) / n[2];
    return cl.LiftIfInFacet(contact, t, contact.Z + rvz - m_CentreHeight);
}

// ---- flat -----------------------------------------------------------------

TCutterPiatto::TCutterPiatto(double radius, double length) : TMillCutter(radius, 0.0, length)
{
    m_XYNormalLength = static_cast<float>(radius);
}

TEdgeDropResult TCutterPiatto::EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const
{
    // The bottom disc meets the edge's vertical plane in the chord u = -s..s;
    // the end of the chord that lies higher on the edge holds the cutter.
    const float s = static_cast<float>(std::sqrt(std::max(0.0, m_Radius * m_Radius - double(p1.D) * p1.D)));
    const float zPlus = FrameZAt(p1, p2, s);
    const float zMinus = FrameZAt(p1, p2, -s);
    if (zPlus > zMinus)
        return {s, zPlus};
    return {-s, zMinus};
}

double TCutterPiatto::Height(double r) const
{
    return r <= m_Radius ? 0.0 : -1.0;
}

double TCutterPiatto::Width(double) const
{
    return m_Radius;
}

// ---- bull nose ------------------------------------------------------------

TCutterToroidale::TCutterToroidale(double radius, double cornerRadius, double length)
    : TMillCutter(radius, cornerRadius, length), m_R1(static_cast<float>(radius - cornerRadius))
{
    m_XYNormalLength = m_R1;
    m_NormalLength = static_cast<float>(cornerRadius);
    m_CentreHeight = static_cast<float>(cornerRadius);
}

TEdgeDropResult TCutterToroidale::EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const
{
    const double c = m_CornerRadius;
    if (std::fabs(p1.Z - p2.Z) <= SystemTol())
        return {0.0f, static_cast<float>(p1.Z - Height(p1.D))};
    // The cylinder of radius c about the edge, cut at the height of the
    // corner centres, is an ellipse of semi-axes c / |sin theta| along the
    // edge and c across it; the ring of corner centres touches it.
    const double theta = std::atan((double(p2.Z) - p1.Z) / (double(p2.U) - p1.U));
    TEllisse e(p1.D, std::fabs(c / std::sin(theta)), c, m_R1);
    e.Solve();
    e.ChooseHigher(p1, p2);
    const TCutterPoint onEllipse(static_cast<float>(e.PointX(*e.Chosen)), static_cast<float>(e.PointY(*e.Chosen)),
                                 static_cast<float>(e.CentreZ));
    const TCutterPoint contact =
        onEllipse.ClosestPoint(TCutterPoint(p1.U, p1.D, p1.Z), TCutterPoint(p2.U, p2.D, p2.Z));
    return {contact.X, static_cast<float>(e.CentreZ - c)};
}

double TCutterToroidale::Height(double r) const
{
    const double c = m_CornerRadius;
    if (r <= m_R1)
        return 0.0;
    if (r > m_Radius)
        return -1.0;
    return c - std::sqrt(c * c - (r - m_R1) * (r - m_R1));
}

double TCutterToroidale::Width(double h) const
{
    const double c = m_CornerRadius;
    if (h >= c)
        return m_Radius;
    return std::sqrt(c * c - (c - h) * (c - h)) + m_R1;
}

// ---- ball -----------------------------------------------------------------

TCutterSferico::TCutterSferico(double radius, double length) : TMillCutter(radius, radius, length)
{
    m_NormalLength = static_cast<float>(radius);
    m_CentreHeight = static_cast<float>(radius);
}

TEdgeDropResult TCutterSferico::EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const
{
    // The sphere's slice in the edge's vertical plane is a circle of radius
    // s about u 0; it rests on the edge line at the line's upward normal.
    const double s = std::sqrt(std::max(0.0, m_Radius * m_Radius - double(p1.D) * p1.D));
    double n1 = double(p2.Z) - p1.Z, n2 = -(double(p2.U) - p1.U);
    const double len = std::hypot(n1, n2);
    n1 /= len;
    n2 /= len;
    if (n2 < 0.0) {
        n1 = -n1;
        n2 = -n2;
    }
    const float u = static_cast<float>(-s * n1);
    const float z = FrameZAt(p1, p2, u);
    return {u, static_cast<float>(z + s * n2 - m_Radius)};
}

double TCutterSferico::Height(double r) const
{
    return m_Radius - std::sqrt(std::max(0.0, m_Radius * m_Radius - r * r));
}

double TCutterSferico::Width(double h) const
{
    if (h >= m_Radius)
        return m_Radius;
    return std::sqrt(m_Radius * m_Radius - (m_Radius - h) * (m_Radius - h));
}

// ---- cone -----------------------------------------------------------------

TCutterConico::TCutterConico(double radius, double angleDeg, double length)
    : TMillCutter(radius, 0.0, 0.0), m_Alpha(static_cast<float>(angleDeg * std::numbers::pi / 180.0))
{
    const double h = radius / std::tan(static_cast<double>(m_Alpha));
    m_Length = h + length;
    m_CentreHeight = static_cast<float>(h);
    m_XYNormalLength = static_cast<float>(radius);
}

bool TCutterConico::FacetDrop(TCLPoint& cl, const TTri& t) const
{
    const double tol = SystemTol();
    const float(&n)[3] = t.NormalUp;
    if (std::fabs(n[2]) <= tol)
        return false;
    if (std::fabs(n[0]) <= tol && std::fabs(n[1]) <= tol) {
        const TCCPoint contact(cl.X, cl.Y, t.A[2], kContactFacet);
        return cl.LiftIfInFacet(contact, t, t.A[2]);
    }
    const float mLen = std::hypot(n[0], n[1]);
    const float mx = n[0] / mLen, my = n[1] / mLen;
    const float d = n[0] * t.A[0] + n[1] * t.A[1] + n[2] * t.A[2];
    const auto planeZ = [&](float x, float y) { return (d - n[0] * x - n[1] * y) / n[2]; };
    // Only the cone's support point for the plane is a contact: the point
    // for a plane no steeper than the flank, the rim for a steeper one. The
    // other point lies inside the plane's half-space, and a lift from it
    // would be too low while it still ends the drop on this triangle (the
    // edges, which hold the real contact when the support point is outside
    // the facet, are not tried after a facet lift).
    const float slope = mLen / n[2];
    const double flankSlope = m_CentreHeight / m_Radius;
    if (slope <= flankSlope) {
        TCCPoint tip(cl.X, cl.Y, 0.0f, kContactFacet);
        tip.Z = planeZ(tip.X, tip.Y);
        return cl.LiftIfInFacet(tip, t, tip.Z);
    }
    const float r = static_cast<float>(m_Radius);
    TCCPoint rim(cl.X - r * mx, cl.Y - r * my, 0.0f, kContactFacet);
    rim.Z = planeZ(rim.X, rim.Y);
    return cl.LiftIfInFacet(rim, t, rim.Z - m_CentreHeight);
}

TEdgeDropResult TCutterConico::EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const
{
    const double d = p1.D;
    const double R = m_Radius;
    const double H = m_CentreHeight;
    const double k = (double(p2.Z) - p1.Z) / (double(p2.U) - p1.U);
    const double L = std::sqrt(std::max(0.0, R * R - d * d));
    const double k0 = H * L / (R * std::sqrt(L * L + d * d));
    const double sign = k > 0.0 ? 1.0 : (k < 0.0 ? -1.0 : 0.0);
    const double den = H * H - R * R * k * k;
    // On the flank where the edge is no steeper than the cone's slice; the
    // slice of an edge through the axis at exactly the flank's slope touches
    // all along, and the rim is the answer that needs no division by zero.
    if (std::fabs(k) <= std::fabs(k0) && den > 0.0) {
        const float u = static_cast<float>(sign * std::sqrt(R * R * k * k * d * d / den));
        const float z = FrameZAt(p1, p2, u);
        const double rr = std::sqrt(double(u) * u + d * d);
        return {u, static_cast<float>(z - H + (R - rr) / std::tan(double(m_Alpha)))};
    }
    const float u = static_cast<float>(sign * L);
    return {u, static_cast<float>(FrameZAt(p1, p2, u) - H)};
}

double TCutterConico::Height(double r) const
{
    return r / std::tan(static_cast<double>(m_Alpha));
}

double TCutterConico::Width(double h) const
{
    if (h >= m_CentreHeight)
        return m_Radius;
    return h * std::tan(static_cast<double>(m_Alpha));
}

// ---- factory --------------------------------------------------------------

std::unique_ptr<TMillCutter> CreateMillCutter(const TDatiUtFresa& tool)
{
    const double r = tool.Diameter / 2.0;
    if (!(r > 0.0) || !std::isfinite(r))
        throw ECADSysException("TMillCutter.Create: the tool diameter must be positive.");
    const double length = std::isfinite(tool.ToolLength) ? static_cast<double>(tool.ToolLength) : 0.0;
    const double tol = SystemTol();
    switch (tool.ToolType) {
    case kToolFlat:
        return std::make_unique<TCutterPiatto>(r, length);
    case kToolToro: {
        // A corner radius of 0 is a flat end mill and one of the full radius
        // a ball: the torus formulas divide by both. A corner wider than the
        // cutter has no shape (its ring of centres would have a negative
        // radius).
        const double c = tool.CornerRadius;
        if (std::isnan(c) || c > r + tol)
            throw ECADSysException("TMillCutter.Create: the corner radius must not exceed the tool radius.");
        if (c <= tol)
            return std::make_unique<TCutterPiatto>(r, length);
        if (c >= r - tol)
            return std::make_unique<TCutterSferico>(r, length);
        return std::make_unique<TCutterToroidale>(r, c, length);
    }
    case kToolSferico:
        return std::make_unique<TCutterSferico>(r, length);
    case kToolConico:
        if (!(tool.ToolAngle > 0.0 && tool.ToolAngle < 90.0))
            throw ECADSysException("TMillCutter.Create: the cone angle must lie between 0 and 90 degrees.");
        return std::make_unique<TCutterConico>(r, tool.ToolAngle, length);
    default:
        throw ECADSysException("TMillCutter.Create: tool type " + std::to_string(tool.ToolType) +
                               " has no cutter shape for 3D machining.");
    }
}
