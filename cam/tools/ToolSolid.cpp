#include "cam/tools/ToolSolid.h"

#include "cam/tools/DatiUtBase.h"
#include "core/geometry/ArcGeometry.h"
#include "core/settings/AppConfig.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TSceneBuilder* Scene() { return ViewServices().Scene; }

TSceneNodeId ObjectGroup(TSceneBuilder& scene) { return scene.Group(TSceneGroup::Stl); }

TVector3D Normalised(const TVector3D& v)
{
    const double l = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    return l > 0.0 ? TVector3D{v.X / l, v.Y / l, v.Z / l} : TVector3D{0.0, 0.0, 1.0};
}

void AddTriangle(TSceneMesh& mesh, const TVector3D& a, const TVector3D& b, const TVector3D& c,
                 const TVector3D& n)
{
    mesh.Vertices.insert(mesh.Vertices.end(), {a, b, c});
    mesh.Normals.insert(mesh.Normals.end(), {n, n, n});
}

TVector2D Rotated(const TVector2D& p, double degrees)
{
    const double c = std::cos(degrees * kDeg);
    const double s = std::sin(degrees * kDeg);
    return {p.X * c - p.Y * s, p.X * s + p.Y * c};
}

} // namespace

std::vector<TVector2D> BuildProfile(const TDatiUtBase& tool)
{
    const double r = tool.Diameter / 2.0;
    const double rc = tool.CornerRadius;
    const double l = tool.ToolLength;
    std::vector<TVector2D> profile{{0.0, 0.0}};
    switch (tool.ToolType) {
    case kToolFlat:
        profile.push_back({0.0, r});
        break;
    case kToolToro:
        profile.push_back({0.0, r - rc});
        for (int k = 0; k <= 5; ++k) {
            const double t = (270.0 + k * 15.0) * kDeg;
            profile.push_back({rc + rc * std::sin(t), r - rc + rc * std::cos(t)});
        }
        break;
    case kToolSferico:
        for (int k = 1; k <= 10; ++k) {
            const double t = (270.0 + k * 9.0) * kDeg;
            profile.push_back({r + r * std::sin(t), r * std::cos(t)});
        }
        break;
    case kToolConico: {
        const double q = tool.TipDiameter / 2.0;
        if (q > 0.0)
            profile.push_back({0.0, q});
        profile.push_back({std::tan((90.0 - tool.ToolAngle) * kDeg) * (r - q), r});
        break;
    }
    case kToolPunta:
        profile.push_back({r * std::tan(30.0 * kDeg), r});
        break;
    default:
        break;
    }
    profile.push_back({l, r});
    profile.push_back({l, 0.0});
    return profile;
}

std::vector<TVector2D> InsertOutline(const TDatiUtBase& tool, double simulationTolerance)
{
    const double radius = tool.Diameter;
    const double a = (180.0 - tool.EdgeAngle1) * kDeg;
    const double b = (tool.ToolAngle + 270.0) * kDeg;
    const TVector2D start{radius * std::cos(a), radius * std::sin(a)};
    const TVector2D end{radius * std::cos(b), radius * std::sin(b)};
    const double l1 = tool.CornerRadius;
    const double l2 = tool.EdgeLength2;
    std::vector<TVector2D> outline;
    // Backwards along the tangent at the start, forwards along the one at the end.
    outline.push_back({start.X + l1 * std::sin(a), start.Y - l1 * std::cos(a)});
    outline.push_back(start);
    if (radius > 0.0) {
        const TArrayOfPoint2d arc = ArcToPointsTol({0.0, 0.0}, start, end, false, 0.05 * simulationTolerance);
        for (const TPoint2D& p : arc)
            outline.push_back({p.X, p.Y});
        if (!arc.empty())
            outline.back() = end;
        else
            outline.push_back(end);
    }
    outline.push_back({end.X - l2 * std::sin(b), end.Y + l2 * std::cos(b)});
    return outline;
}

TSceneMesh RevolutionMesh(const std::vector<TVector2D>& profile, int segments)
{
    TSceneMesh mesh;
    mesh.Name = "tool";
    segments = std::max(segments, 3);
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const TVector2D& p0 = profile[i];
        const TVector2D& p1 = profile[i + 1];
        const double dh = p1.X - p0.X;
        const double dr = p1.Y - p0.Y;
        if (dh == 0.0 && dr == 0.0)
            continue;
        for (int s = 0; s < segments; ++s) {
            const double t0 = 2.0 * std::numbers::pi * s / segments;
            const double t1 = 2.0 * std::numbers::pi * (s + 1) / segments;
            const double c0 = std::cos(t0), s0 = std::sin(t0), c1 = std::cos(t1), s1 = std::sin(t1);
            const TVector3D a{p0.Y * c0, p0.Y * s0, p0.X};
            const TVector3D b{p0.Y * c1, p0.Y * s1, p0.X};
            const TVector3D c{p1.Y * c1, p1.Y * s1, p1.X};
            const TVector3D d{p1.Y * c0, p1.Y * s0, p1.X};
            // Outward for a profile that climbs away from the tip: the
            // profile's tangent (dh, dr) turned to (dr, -dh)... in (radial, axial).
            const double cm = std::cos((t0 + t1) / 2.0), sm = std::sin((t0 + t1) / 2.0);
            const TVector3D n = Normalised({dh * cm, dh * sm, -dr});
            if (p0.Y != 0.0)
                AddTriangle(mesh, a, b, c, n);
            if (p1.Y != 0.0)
                AddTriangle(mesh, a, c, d, n);
        }
    }
    return mesh;
}

TSceneMesh ExtrusionMesh(const std::vector<TVector2D>& contour, double height)
{
    TSceneMesh mesh;
    mesh.Name = "insert";
    const size_t n = contour.size();
    if (n < 3)
        return mesh;
    const TVector3D up{0.0, 0.0, height >= 0.0 ? 1.0 : -1.0};
    const TVector3D down{0.0, 0.0, -up.Z};
    for (size_t i = 1; i + 1 < n; ++i) {
        const TVector3D a{contour[0].X, contour[0].Y, 0.0}, b{contour[i].X, contour[i].Y, 0.0},
            c{contour[i + 1].X, contour[i + 1].Y, 0.0};
        AddTriangle(mesh, a, b, c, down);
        AddTriangle(mesh, {a.X, a.Y, height}, {b.X, b.Y, height}, {c.X, c.Y, height}, up);
    }
    for (size_t i = 0; i < n; ++i) {
        const TVector2D& p = contour[i];
        const TVector2D& q = contour[(i + 1) % n];
        const TVector3D nrm = Normalised({q.Y - p.Y, p.X - q.X, 0.0});
        const TVector3D a{p.X, p.Y, 0.0}, b{q.X, q.Y, 0.0}, c{q.X, q.Y, height}, d{p.X, p.Y, height};
        AddTriangle(mesh, a, b, c, nrm);
        AddTriangle(mesh, a, c, d, nrm);
    }
    return mesh;
}

// --- The records' objects ---------------------------------------------------------

TToolSceneObjects& ToolSceneObjects()
{
    // Never destroyed: records freed at exit still find it.
    static TToolSceneObjects* objects = new TToolSceneObjects;
    return *objects;
}

TToolSceneObjects::TEntry* TToolSceneObjects::Find(const TDatiUtBase& tool)
{
    for (auto& [record, entry] : m_Entries)
        if (record == &tool)
            return &entry;
    return nullptr;
}

const TToolSceneObjects::TEntry* TToolSceneObjects::Find(const TDatiUtBase& tool) const
{
    for (const auto& [record, entry] : m_Entries)
        if (record == &tool)
            return &entry;
    return nullptr;
}

void TToolSceneObjects::EraseIfEmpty(const TDatiUtBase& tool)
{
    std::erase_if(m_Entries, [&](const auto& e) {
        return e.first == &tool && e.second.Solid == NoSceneNode && e.second.Marker == NoSceneNode;
    });
}

void TToolSceneObjects::CreateSolid(const TDatiUtBase& tool, bool visible)
{
    if (tool.Kind() == EToolKind::Laser)
        return;
    FreeSolid(tool);
    TSceneBuilder* scene = Scene();
    if (!scene)
        return;
    TSceneMesh mesh;
    if (tool.Kind() == EToolKind::Mill) {
        mesh = RevolutionMesh(BuildProfile(tool), RevolutionSegments);
        mesh.Color = SceneColorFromWinColor(MillColor);
    } else {
        std::vector<TVector2D> outline = InsertOutline(tool, AppConfig().SimulTol);
        if (tool.ToolType == 1)
            for (TVector2D& p : outline)
                p = Rotated(p, -90.0);
        mesh = ExtrusionMesh(outline, -0.1);
        mesh.Color = SceneColorFromWinColor(LatheColor);
        mesh.Position = {LatheParkX, 0.0, 0.0};
        visible = false;
    }
    const TSceneNodeId node = scene->AddMesh(ObjectGroup(*scene), mesh);
    if (node == NoSceneNode)
        return;
    scene->SetNodeVisible(node, visible);
    if (!Find(tool))
        m_Entries.push_back({&tool, TEntry{}});
    Find(tool)->Solid = node;
}

void TToolSceneObjects::MoveSolid(const TDatiUtBase& tool, double x, double y, double z)
{
    const TEntry* entry = Find(tool);
    if (entry && entry->Solid != NoSceneNode && Scene())
        Scene()->MoveMesh(entry->Solid, {x, y, z});
}

void TToolSceneObjects::ShowSolid(const TDatiUtBase& tool, bool visible)
{
    const TEntry* entry = Find(tool);
    if (entry && entry->Solid != NoSceneNode && Scene())
        Scene()->SetNodeVisible(entry->Solid, visible);
}

void TToolSceneObjects::FreeSolid(const TDatiUtBase& tool)
{
    TEntry* entry = Find(tool);
    if (!entry || entry->Solid == NoSceneNode)
        return;
    if (TSceneBuilder* scene = Scene())
        scene->RemoveNode(entry->Solid);
    entry->Solid = NoSceneNode;
    EraseIfEmpty(tool);
}

TSceneNodeId TToolSceneObjects::Solid(const TDatiUtBase& tool) const
{
    const TEntry* entry = Find(tool);
    return entry ? entry->Solid : NoSceneNode;
}

void TToolSceneObjects::CreateMarker(const TDatiUtBase& tool)
{
    FreeMarker(tool);
    TSceneBuilder* scene = Scene();
    if (!scene)
        return;
    TSceneLines lines;
    lines.Color = SceneColorFromWinColor(AppConfig().Chain);
    lines.LineWidth = 2.0f;
    lines.Nodes.assign(5, TVector3D{});
    const TSceneNodeId node = scene->AddLines(ObjectGroup(*scene), lines);
    if (node == NoSceneNode)
        return;
    if (!Find(tool))
        m_Entries.push_back({&tool, TEntry{}});
    TEntry& entry = *Find(tool);
    entry.Marker = node;
    entry.LastScale = 0.0;
    entry.MarkerAt = {};
    RebuildMarker(entry);
    scene->SetNodeVisible(node, true);
}

void TToolSceneObjects::RebuildMarker(TEntry& entry)
{
    const TViewProjection* projection = ViewServices().Projection;
    const double scale = projection ? projection->PixelSize() : 1.0;
    if (scale != entry.LastScale) {
        entry.LastScale = scale;
        entry.MarkerArm = 30.0 * scale;
    }
    TSceneBuilder* scene = Scene();
    if (!scene)
        return;
    const double arm = entry.MarkerArm;
    const TVector3D& c = entry.MarkerAt;
    TSceneLines lines;
    lines.Color = SceneColorFromWinColor(AppConfig().Chain);
    lines.LineWidth = 2.0f;
    lines.Nodes = {{c.X - arm, c.Y, c.Z}, {c.X + arm, c.Y, c.Z}, c, {c.X, c.Y + arm, c.Z}, {c.X, c.Y - arm, c.Z}};
    scene->UpdateLines(entry.Marker, lines);
}

void TToolSceneObjects::MoveMarker(const TDatiUtBase& tool, double x, double y, double z)
{
    TEntry* entry = Find(tool);
    if (!entry || entry->Marker == NoSceneNode)
        return;
    entry->MarkerAt = {x, y, z};
    RebuildMarker(*entry);
}

void TToolSceneObjects::FreeMarker(const TDatiUtBase& tool)
{
    TEntry* entry = Find(tool);
    if (!entry || entry->Marker == NoSceneNode)
        return;
    if (TSceneBuilder* scene = Scene())
        scene->RemoveNode(entry->Marker);
    entry->Marker = NoSceneNode;
    entry->MarkerArm = 0.0;
    EraseIfEmpty(tool);
}

TSceneNodeId TToolSceneObjects::Marker(const TDatiUtBase& tool) const
{
    const TEntry* entry = Find(tool);
    return entry ? entry->Marker : NoSceneNode;
}

double TToolSceneObjects::MarkerArm(const TDatiUtBase& tool) const
{
    const TEntry* entry = Find(tool);
    return entry && entry->Marker != NoSceneNode ? entry->MarkerArm : 0.0;
}

void TToolSceneObjects::Forget(const TDatiUtBase& tool)
{
    FreeSolid(tool);
    FreeMarker(tool);
    std::erase_if(m_Entries, [&](const auto& e) { return e.first == &tool; });
}
