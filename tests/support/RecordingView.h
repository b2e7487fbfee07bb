#pragma once
// Recording fakes of the drawing seams of core/ViewInterfaces.h, for tests
// of everything that draws: a scene builder that keeps what was built, a
// canvas and a read-out sink that log each call as a line of text, a plain
// linear projection, and a switchable suspension flag.
// TRecordingViewServices bundles them and installs them for its lifetime.

#include "core/model/ViewInterfaces.h"

#include <cmath>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kbtest {

// Scene objects as built; groups are nodes of kind Group.
class TRecordingScene final : public TSceneBuilder {
public:
    enum class TKind { Group, Lines, Points, Polygon, Plane, Mesh, Solid };
    struct TNode {
        TKind Kind = TKind::Group;
        TSceneNodeId Parent = NoSceneNode;
        std::string Name; // groups only
        bool Visible = true;
        std::variant<std::monostate, TSceneLines, TScenePoints, TScenePolygon, TScenePlane, TSceneMesh, TSceneSolid>
            Data;
        bool Overlay = false; // made by CreateOverlayGroup
    };

    // The fixed groups exist from the start, children of the root (id 1).
    TRecordingScene();

    TSceneNodeId Group(TSceneGroup group) const override;
    TSceneNodeId CreateGroup(TSceneNodeId parent, const std::string& name) override;
    TSceneNodeId CreateOverlayGroup(TSceneNodeId parent, const std::string& name) override;
    TSceneNodeId AddLines(TSceneNodeId group, const TSceneLines& lines) override;
    TSceneNodeId AddPoints(TSceneNodeId group, const TScenePoints& points) override;
    TSceneNodeId AddPolygon(TSceneNodeId group, const TScenePolygon& polygon) override;
    TSceneNodeId AddPlane(TSceneNodeId group, const TScenePlane& plane) override;
    TSceneNodeId AddMesh(TSceneNodeId group, const TSceneMesh& mesh) override;
    TSceneNodeId AddSolid(TSceneNodeId group, const TSceneSolid& solid) override;
    void UpdateLines(TSceneNodeId node, const TSceneLines& lines) override;
    void UpdateSolid(TSceneNodeId node, const TSceneSolid& solid) override;
    void UpdatePlane(TSceneNodeId node, const TScenePlane& plane) override;
    void SetNodeVisible(TSceneNodeId node, bool visible) override;
    void RemoveNode(TSceneNodeId node) override;
    void ClearGroup(TSceneNodeId group) override;

    // Null when the node does not exist (never made, or removed).
    const TNode* Node(TSceneNodeId id) const;
    // The direct children of a group, in the order they were added.
    std::vector<TSceneNodeId> Children(TSceneNodeId group) const;
    template <class T> const T* As(TSceneNodeId id) const
    {
        const TNode* n = Node(id);
        return n ? std::get_if<T>(&n->Data) : nullptr;
    }

private:
    TSceneNodeId Add(TSceneNodeId parent, TKind kind, decltype(TNode::Data) data, std::string name = {});

    std::map<TSceneNodeId, TNode> m_Nodes;
    std::map<TSceneGroup, TSceneNodeId> m_Groups;
    TSceneNodeId m_NextId = 1;
};

// Logs every call as one line: "pen color 255", "pen width 2", "pen style
// 1", "line 1,2-3,4", "polyline 0,0 1,1 2,2", "frame 1,2-3,4",
// "text 5,6 abc".
class TRecordingCanvas final : public TCanvas2D {
public:
    void SetPenColor(uint32_t color) override;
    void SetPenWidth(int32_t width) override;
    void SetPenStyle(TPenStyle style) override;
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void Polyline(const std::vector<TIntPoint>& points) override;
    void FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void TextOut(int32_t x, int32_t y, const std::string& text) override;

    std::vector<std::string> Calls;
};

// Screen = (Round(x * Scale + OriginX), Round(OriginY - y * Scale)): Y up in
// the drawing is Y down on screen; PixelSize = 1 / Scale.
class TLinearProjection final : public TViewProjection {
public:
    TIntPoint PointToScreen(const TPoint2D& p) const override;
    TIntPoint Point3DToScreen(const TPoint3D& p) const override;
    std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const override;
    double PixelSize() const override { return 1.0 / Scale; }

    double Scale = 1.0;
    double OriginX = 0.0;
    double OriginY = 0.0;
};

// Logs every read-out as one line, numbers in shortest form: "line 0,0 3,4",
// "arc 1,2 3 0,1.5", "vertices 10 4", ...
class TRecordingReadout final : public TLiveReadoutSink {
public:
    void ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value) override;
    void ShowArcInfo(double x, double y, double r, double a1, double a2) override;
    void ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowVertexCounts(int32_t n1, int32_t n2) override;

    std::vector<std::string> Calls;
};

class TFakeCommandStatus final : public TCommandStatus {
public:
    bool HasSuspendedCommand() const override { return Suspended; }
    bool Suspended = false;
};

// All fakes, installed from construction to destruction.
class TRecordingViewServices {
public:
    TRecordingViewServices();
    TRecordingViewServices(const TRecordingViewServices&) = delete;
    TRecordingViewServices& operator=(const TRecordingViewServices&) = delete;

    TRecordingScene Scene;
    TRecordingCanvas Canvas;
    TLinearProjection Projection;
    TRecordingReadout Readout;
    TFakeCommandStatus Commands;

private:
    TViewServicesScope m_Scope;
};

} // namespace kbtest
