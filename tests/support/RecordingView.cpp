#include "tests/support/RecordingView.h"

#include <charconv>
#include <cmath>

namespace kbtest {

namespace {

std::string Num(double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general);
    return std::string(buffer, result.ptr);
}

std::string Pt(double x, double y)
{
    return Num(x) + "," + Num(y);
}

int32_t RoundHalfEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

} // namespace

// --- TRecordingScene ----------------------------------------------------------

TRecordingScene::TRecordingScene()
{
    const TSceneNodeId root = Add(NoSceneNode, TKind::Group, std::monostate{}, "Root");
    for (TSceneGroup g : {TSceneGroup::Entity, TSceneGroup::Selection, TSceneGroup::Stl, TSceneGroup::Chain,
                          TSceneGroup::ChainArrow, TSceneGroup::Axes, TSceneGroup::Grid, TSceneGroup::Stock})
        m_Groups[g] = Add(root, TKind::Group, std::monostate{});
    m_Groups[TSceneGroup::Objects] = root;
}

TSceneNodeId TRecordingScene::Add(TSceneNodeId parent, TKind kind, decltype(TNode::Data) data, std::string name)
{
    if (parent != NoSceneNode) {
        const TNode* p = Node(parent);
        if (!p || p->Kind != TKind::Group)
            return NoSceneNode;
    }
    const TSceneNodeId id = m_NextId++;
    m_Nodes[id] = TNode{kind, parent, std::move(name), true, std::move(data)};
    return id;
}

TSceneNodeId TRecordingScene::Group(TSceneGroup group) const
{
    return m_Groups.at(group);
}

TSceneNodeId TRecordingScene::CreateGroup(TSceneNodeId parent, const std::string& name)
{
    return Add(parent, TKind::Group, std::monostate{}, name);
}

TSceneNodeId TRecordingScene::CreateOverlayGroup(TSceneNodeId parent, const std::string& name)
{
    const TSceneNodeId id = CreateGroup(parent, name);
    if (id != NoSceneNode)
        m_Nodes[id].Overlay = true;
    return id;
}

TSceneNodeId TRecordingScene::AddLines(TSceneNodeId group, const TSceneLines& lines)
{
    return Add(group, TKind::Lines, lines);
}

TSceneNodeId TRecordingScene::AddPoints(TSceneNodeId group, const TScenePoints& points)
{
    return Add(group, TKind::Points, points);
}

TSceneNodeId TRecordingScene::AddPolygon(TSceneNodeId group, const TScenePolygon& polygon)
{
    return Add(group, TKind::Polygon, polygon);
}

TSceneNodeId TRecordingScene::AddPlane(TSceneNodeId group, const TScenePlane& plane)
{
    return Add(group, TKind::Plane, plane);
}

TSceneNodeId TRecordingScene::AddMesh(TSceneNodeId group, const TSceneMesh& mesh)
{
    return Add(group, TKind::Mesh, mesh);
}

TSceneNodeId TRecordingScene::AddSolid(TSceneNodeId group, const TSceneSolid& solid)
{
    return Add(group, TKind::Solid, solid);
}

void TRecordingScene::UpdateLines(TSceneNodeId node, const TSceneLines& lines)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end() && it->second.Kind == TKind::Lines)
        it->second.Data = lines;
}

void TRecordingScene::UpdateSolid(TSceneNodeId node, const TSceneSolid& solid)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end() && it->second.Kind == TKind::Solid)
        it->second.Data = solid;
}

void TRecordingScene::UpdatePlane(TSceneNodeId node, const TScenePlane& plane)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end() && it->second.Kind == TKind::Plane)
        it->second.Data = plane;
}

void TRecordingScene::AppendLines(TSceneNodeId node, const std::vector<TVector3D>& nodes)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end() && it->second.Kind == TKind::Lines) {
        auto& lines = std::get<TSceneLines>(it->second.Data);
        lines.Nodes.insert(lines.Nodes.end(), nodes.begin(), nodes.end());
    }
}

void TRecordingScene::MoveMesh(TSceneNodeId node, const TVector3D& position)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end() && it->second.Kind == TKind::Mesh)
        std::get<TSceneMesh>(it->second.Data).Position = position;
}

void TRecordingScene::SetNodeVisible(TSceneNodeId node, bool visible)
{
    auto it = m_Nodes.find(node);
    if (it != m_Nodes.end())
        it->second.Visible = visible;
}

void TRecordingScene::RemoveNode(TSceneNodeId node)
{
    if (!Node(node))
        return;
    ClearGroup(node);
    m_Nodes.erase(node);
}

void TRecordingScene::ClearGroup(TSceneNodeId group)
{
    for (TSceneNodeId child : Children(group))
        RemoveNode(child);
}

const TRecordingScene::TNode* TRecordingScene::Node(TSceneNodeId id) const
{
    auto it = m_Nodes.find(id);
    return it == m_Nodes.end() ? nullptr : &it->second;
}

std::vector<TSceneNodeId> TRecordingScene::Children(TSceneNodeId group) const
{
    std::vector<TSceneNodeId> children;
    for (const auto& [id, node] : m_Nodes)
        if (node.Parent == group)
            children.push_back(id);
    return children;
}

// --- TRecordingCanvas ---------------------------------------------------------

void TRecordingCanvas::SetPenColor(uint32_t color)
{
    Calls.push_back("pen color " + std::to_string(color));
}

void TRecordingCanvas::SetPenWidth(int32_t width)
{
    Calls.push_back("pen width " + std::to_string(width));
}

void TRecordingCanvas::SetPenStyle(TPenStyle style)
{
    Calls.push_back("pen style " + std::to_string(static_cast<int>(style)));
}

void TRecordingCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    Calls.push_back("line " + Pt(x1, y1) + "-" + Pt(x2, y2));
}

void TRecordingCanvas::Polyline(const std::vector<TIntPoint>& points)
{
    std::string call = "polyline";
    for (const TIntPoint& p : points)
        call += " " + Pt(p.X, p.Y);
    Calls.push_back(call);
}

void TRecordingCanvas::FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    Calls.push_back("frame " + Pt(left, top) + "-" + Pt(right, bottom));
}

void TRecordingCanvas::TextOut(int32_t x, int32_t y, const std::string& text)
{
    Calls.push_back("text " + Pt(x, y) + " " + text);
}

// --- TLinearProjection --------------------------------------------------------

TIntPoint TLinearProjection::PointToScreen(const TPoint2D& p) const
{
    return TIntPoint{RoundHalfEven(p.X * Scale + OriginX), RoundHalfEven(OriginY - p.Y * Scale)};
}

TIntPoint TLinearProjection::Point3DToScreen(const TPoint3D& p) const
{
    return PointToScreen(TPoint2D{p.X, p.Y, 1.0});
}

std::optional<TPoint3D> TLinearProjection::ScreenToWorld(int32_t x, int32_t y) const
{
    return TPoint3D{(x - OriginX) / Scale, (OriginY - y) / Scale, 0.0, 1.0};
}

// --- TRecordingReadout --------------------------------------------------------

void TRecordingReadout::ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    Calls.push_back("line " + Pt(p1.X, p1.Y) + " " + Pt(p2.X, p2.Y));
}

void TRecordingReadout::ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    Calls.push_back("frame " + Pt(p1.X, p1.Y) + " " + Pt(p2.X, p2.Y));
}

void TRecordingReadout::ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value)
{
    Calls.push_back("circle " + Pt(p1.X, p1.Y) + " " + Pt(p2.X, p2.Y) + " " + Num(value));
}

void TRecordingReadout::ShowArcInfo(double x, double y, double r, double a1, double a2)
{
    Calls.push_back("arc " + Pt(x, y) + " " + Num(r) + " " + Pt(a1, a2));
}

void TRecordingReadout::ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2)
{
    Calls.push_back("size " + Pt(p1.X, p1.Y) + " " + Pt(p2.X, p2.Y));
}

void TRecordingReadout::ShowVertexCounts(int32_t n1, int32_t n2)
{
    Calls.push_back("vertices " + std::to_string(n1) + " " + std::to_string(n2));
}

// --- TRecordingViewServices -----------------------------------------------------------

TRecordingViewServices::TRecordingViewServices() : m_Scope(TViewServices{&Scene, &Projection, &Readout, &Commands}) {}

} // namespace kbtest
