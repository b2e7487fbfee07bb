#pragma once
// The seams through which the drawing model shows itself without knowing the
// view: the scene builder that entities build their scene objects into, the
// 2D canvas of the view's overlay, the view's projection between drawing
// units and viewer pixels, the properties panel's live read-outs, and the
// interaction program's suspension state.
//
// The view (cad/) implements them on top of the scene graph and the widget
// toolkit and installs them at start-up with InstallViewServices; tests
// install recording fakes. Nothing here knows a toolkit type. Until
// something is installed every service is null and the model draws nothing
// (a headless document still loads, edits and saves).
//
// Colours are Windows values 0x00BBGGRR unless a TSceneColor is asked for.
// Screen coordinates are int32 viewer pixels (TIntPoint, TIntRect of
// core/Points.h) with the origin at the top-left corner, Y growing downwards.

#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A scene object made by a TSceneBuilder. The builder owns the object; the
// model keeps only the id. 0 means "none"; an id whose object is gone (its
// group was cleared) is ignored by every builder operation.
using TSceneNodeId = uint64_t;
inline constexpr TSceneNodeId NoSceneNode = 0;

// An item of the entity tree, as the tree hands it out; 0 means "none".
using TTreeNodeId = uint64_t;
inline constexpr TTreeNodeId NoTreeNode = 0;

// Colour of a scene object, each channel 0..1.
struct TSceneColor {
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 1.0f;
};

// The colour of a Windows colour value with the given alpha.
TSceneColor SceneColorFromWinColor(uint32_t color, float alpha = 1.0f);

// The fixed groups of the view. Scene objects of the drawing entities go to
// Entity, their highlighted copies to Selection, STL surfaces to Stl, the
// translucent 3D stock to Stock (drawn after the opaque surfaces, so that it
// shows over them), chains and their direction arrows to Chain and
// ChainArrow. Objects is the scene's object root, under which the
// operations make their toolpath groups.
enum class TSceneGroup { Entity, Selection, Stl, Chain, ChainArrow, Axes, Grid, Objects, Stock };

// A polyline of connected nodes (a "lines object").
struct TSceneLines {
    std::vector<TVector3D> Nodes;
    TSceneColor Color;
    float LineWidth = 1.0f;
    bool NodesVisible = false; // node markers
};

// Points with one colour each (or one colour for all when Colors has one).
struct TScenePoints {
    std::vector<TVector3D> Positions;
    std::vector<TSceneColor> Colors;
    float PointSize = 1.0f;
    bool Smooth = false; // round points instead of squares
};

// A filled polygon; it closes itself, the first node is not repeated.
struct TScenePolygon {
    std::vector<TVector3D> Nodes;
    TSceneColor Color;
    bool Blended = false; // transparency by Color.A
};

// A 32-bit image, rows top-down, each pixel 0xAARRGGBB.
struct TSceneImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

// A flat quadrilateral carrying an image: it spans Centre +- Width / 2
// AxisX +- Height / 2 AxisY, the image's bottom-left corner at Centre -
// Width / 2 AxisX - Height / 2 AxisY and its rows running along AxisX. The
// axes default to the drawing's X and Y (an axis-parallel plane); they carry
// the rotation, scale, mirror or shear of an object's transform and need be
// neither unit length nor perpendicular.
struct TScenePlane {
    TVector3D Centre;
    double Width = 0.0;
    double Height = 0.0;
    TVector3D AxisX{1.0, 0.0, 0.0};
    TVector3D AxisY{0.0, 1.0, 0.0};
    std::shared_ptr<const TSceneImage> Image; // may be null: plain colour
    TSceneColor Color;                        // diffuse; A is the opacity
    bool Blended = true;
    bool DepthTest = false;
};

// A triangle mesh: three vertices per triangle, one normal per vertex.
struct TSceneMesh {
    std::string Name;
    std::vector<TVector3D> Vertices;
    std::vector<TVector3D> Normals;
    TSceneColor Color;
    bool Blended = false;
    bool CullFaces = false;
    TVector3D Position{0.0, 0.0, 0.0};
    TVector3D Scale{1.0, 1.0, 1.0};
};

// A solid extruded along +Z from one closed contour in the XY plane.
struct TSceneSolid {
    std::vector<TVector2D> Contour;
    double BottomZ = 0.0;
    double Height = 0.0;
    TSceneColor Color;
    bool Blended = true;
    bool DepthTest = false;
};

// Builds scene objects into the view's groups. Every Add returns the id of
// the new object, a child of group; an unknown group id adds nothing and
// returns NoSceneNode.
class TSceneBuilder {
public:
    virtual ~TSceneBuilder() = default;

    virtual TSceneNodeId Group(TSceneGroup group) const = 0;
    // A new empty group below parent (an operation's own display group).
    virtual TSceneNodeId CreateGroup(TSceneNodeId parent, const std::string& name) = 0;
    // A new empty group whose content is drawn over everything else: depth
    // test and depth writes off (an operation's toolpath over the surfaces).
    virtual TSceneNodeId CreateOverlayGroup(TSceneNodeId parent, const std::string& name)
    {
        return CreateGroup(parent, name);
    }

    // The group that entity code builds into next: Draw sets it to the
    // Entity group, DrawSelected to the Selection group, a caller may set a
    // group of its own.
    TSceneNodeId CurrentTargetGroup() const { return m_CurrentTargetGroup; }
    void SetCurrentTargetGroup(TSceneNodeId group) { m_CurrentTargetGroup = group; }

    virtual TSceneNodeId AddLines(TSceneNodeId group, const TSceneLines& lines) = 0;
    virtual TSceneNodeId AddPoints(TSceneNodeId group, const TScenePoints& points) = 0;
    virtual TSceneNodeId AddPolygon(TSceneNodeId group, const TScenePolygon& polygon) = 0;
    virtual TSceneNodeId AddPlane(TSceneNodeId group, const TScenePlane& plane) = 0;
    virtual TSceneNodeId AddMesh(TSceneNodeId group, const TSceneMesh& mesh) = 0;
    virtual TSceneNodeId AddSolid(TSceneNodeId group, const TSceneSolid& solid) = 0;

    // Replace the content of an existing object of the same kind.
    virtual void UpdateLines(TSceneNodeId node, const TSceneLines& lines) = 0;
    virtual void UpdateSolid(TSceneNodeId node, const TSceneSolid& solid) = 0;
    virtual void UpdatePlane(TSceneNodeId node, const TScenePlane& plane) = 0;
    // Appends nodes to an existing lines object (a growing toolpath strip);
    // the cost does not grow with the nodes already there.
    virtual void AppendLines(TSceneNodeId node, const std::vector<TVector3D>& nodes) = 0;
    // Places a mesh at the position (its TSceneMesh::Position).
    virtual void MoveMesh(TSceneNodeId node, const TVector3D& position) = 0;

    virtual void SetNodeVisible(TSceneNodeId node, bool visible) = 0;
    // Removes the object (and, for a group, everything below it).
    virtual void RemoveNode(TSceneNodeId node) = 0;
    // Removes every child of the group; the group itself stays.
    virtual void ClearGroup(TSceneNodeId group) = 0;

    // Everything added between BeginObject and EndObject makes one drawing
    // object: EndObject returns an id that SetNodeVisible and RemoveNode
    // take for all of it (NoSceneNode when nothing was added). Pairs nest;
    // the outermost one makes the object. A builder that does not group
    // returns NoSceneNode.
    virtual void BeginObject() {}
    virtual TSceneNodeId EndObject() { return NoSceneNode; }

private:
    TSceneNodeId m_CurrentTargetGroup = NoSceneNode;
};

enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// The overlay canvas: drawing in viewer pixels on top of the scene.
class TCanvas2D {
public:
    virtual ~TCanvas2D() = default;
    virtual void SetPenColor(uint32_t color) = 0;
    virtual void SetPenWidth(int32_t width) = 0;
    virtual void SetPenStyle(TPenStyle style) = 0;
    virtual void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
    // One connected line strip through the points in order; no closing edge.
    virtual void Polyline(const std::vector<TIntPoint>& points) = 0;
    // The outline of the rectangle, corners included.
    virtual void FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void TextOut(int32_t x, int32_t y, const std::string& text) = 0;
};

// The view's mapping between drawing units and viewer pixels.
class TViewProjection {
public:
    virtual ~TViewProjection() = default;
    // X and Y used as they are (no division by W), Z = 0.
    virtual TIntPoint PointToScreen(const TPoint2D& p) const = 0;
    virtual TIntPoint Point3DToScreen(const TPoint3D& p) const = 0;
    // The point of the plane z = 0 under the pixel; none when the view ray
    // through the pixel does not meet the plane where the view shows it (the
    // view orbited edge-on), so that no drawing point lies under the pixel.
    // Callers skip such a pixel.
    virtual std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const = 0;
    // The drawing-unit length of one viewer pixel.
    virtual double PixelSize() const = 0;
};

// The properties panel's live read-outs while an entity is drawn or
// measured. Points are drawing coordinates; angles are radians.
class TLiveReadoutSink {
public:
    virtual ~TLiveReadoutSink() = default;
    virtual void ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2) = 0;
    virtual void ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2) = 0;
    virtual void ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value) = 0;
    virtual void ShowArcInfo(double x, double y, double r, double a1, double a2) = 0;
    virtual void ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2) = 0;
    virtual void ShowVertexCounts(int32_t n1, int32_t n2) = 0;
};

// What the model may ask of the interaction program.
class TCommandStatus {
public:
    virtual ~TCommandStatus() = default;
    // True while a nested operation (zoom window, pan) runs over a
    // suspended command.
    virtual bool HasSuspendedCommand() const = 0;
};

// The installed services; none is owned here.
struct TViewServices {
    TSceneBuilder* Scene = nullptr;
    TViewProjection* Projection = nullptr;
    TLiveReadoutSink* Readout = nullptr;
    TCommandStatus* Commands = nullptr;
};

const TViewServices& ViewServices();
void InstallViewServices(const TViewServices& services);

// The read-out sink when the live read-out is on: a sink is installed and
// no command is suspended (a nested zoom or pan must not overwrite the
// read-out of the command it interrupts). Null otherwise.
TLiveReadoutSink* ActiveLiveReadout();

// Installs services for its lifetime and restores the previous ones.
class TViewServicesScope {
public:
    explicit TViewServicesScope(const TViewServices& services);
    ~TViewServicesScope();
    TViewServicesScope(const TViewServicesScope&) = delete;
    TViewServicesScope& operator=(const TViewServicesScope&) = delete;

private:
    TViewServices m_Previous;
};
