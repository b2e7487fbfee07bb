#pragma once
// TPrimitive2D: the base of every drawing entity defined by a list of
// control points (points, lines, polylines, polygons, frames, arcs, circles,
// ellipses, splines, vector text, raster images), and TPrimitive2DHandler,
// the one pick handler shared by all of them.
//
// Promises:
// - The entity owns its control points (a TPointsSet2D). The set's change
//   callback is the entity's UpdateBounds, so every change made through
//   SetPoint, Add, AddPoints, Insert, Delete or CopyPointsRange recomputes
//   the box and fires the entity's change event. Put and Clear do not.
// - The box is the bounding rectangle of the cartesian control points with
//   their four corners through GetModelTransform (model and pending
//   transforms); (0, 0)-(0, 0) without points.
// - Stored record, after the TObject2D record: uint16 n, n points of three
//   little-endian doubles (X, Y, W), uint8 growable flag. A count that the
//   stream cannot hold raises ECADFileNotValid before anything is
//   allocated; a record that ends early raises EStreamReadError.
// - Descendants must work with whatever number of points a record brought:
//   a damaged file may give a line one point, and that entity then draws,
//   picks and copies what it has without raising.
// - Drawing goes through the installed view services (core/ViewInterfaces.h);
//   without a scene builder or a projection nothing is drawn. An entity that
//   is not pickable draws its scene objects in its own colour and width; a
//   pickable one takes its layer's pen: the layer of the document that owns
//   it, or a default layer (black pen of width 1) when it is in none.

#include "core/model/GraphicObject.h"
#include "core/geometry/PointsSet.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class TQV_21Layer;

// Picks control points of TPrimitive2D objects. One shared instance serves
// every primitive (SharedPrimitive2DHandler).
class TPrimitive2DHandler : public TObject2DHandler {
public:
    TPrimitive2DHandler() : TObject2DHandler(nullptr) {}

    // The squares come from TPrimitive2D::DrawOnCanvas: nothing is drawn here.
    void DrawControlPoints(TObject2D& object, TCanvas2D& canvas) override;
    // For every control point in index order: the point (through the model
    // transform when the object has one) qualifies when it lies in the
    // square of half-side aperture around the pick point and its distance
    // is not greater than distance; a qualifying point becomes the result
    // and its distance the new distance, so of equally near points the
    // later index wins. PickNone when nothing qualifies or the object is
    // not a TPrimitive2D.
    int32_t PickAt(TObject2D& object, const TPoint2D& point, double& distance, double aperture) override;
    // Every control point as PickAt places it (through the model transform,
    // made cartesian); false for an object that is not a TPrimitive2D.
    bool GrowByControlPoints(const TObject2D& object, TRect2D& extent) const override;
};

// The shared handler, created on first use with one reference of its own
// that is never released.
TPrimitive2DHandler& SharedPrimitive2DHandler();

// The pen an entity's scene objects are drawn with.
struct TEntityPen {
    TSceneColor Color;
    float Width = 1.0f;
};

class TPrimitive2D : public TObject2D {
public:
    ~TPrimitive2D() override;

    // The control points, in the entity's own coordinates.
    TPointsSet2D& Points() { return m_Points; }
    const TPointsSet2D& Points() const { return m_Points; }

    void ComputeBounds() override;
    void SaveToStream(TStream& stream) override;
    // Nothing when source is this entity. Otherwise the TObject2D part; then,
    // when source is a TPrimitive2D, the control points are emptied: each
    // descendant copies the points it knows how to take. From an object
    // that is not a primitive the control points stay as they are.
    void Assign(const TGraphicObject& source) override;
    // The outline of a 7 x 7 pixel square (x - 3, y - 3)-(x + 3, y + 3)
    // around every control point (through the model transform), whatever
    // the flag; descendants call it when their flag asks for control points.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The pixel rectangle of the stored control points (no model transform:
    // callers ask it only of objects without one); (0, 0, 0, 0) without
    // points or without a projection.
    TIntRect GetScreenRect() override;

    // A new empty points set of that capacity, growable.
    static std::unique_ptr<TPointsSet2D> CreatePointsSet(int capacity);

    // The pen of the entity's scene lines: its layer's pen colour (alpha 1)
    // and width when pickable, its own colour and width otherwise.
    TEntityPen ScenePen() const;
    // The layer the entity's pen comes from (see the header comment).
    const TQV_21Layer& PenLayer() const;

protected:
    // An empty growable set of capacity n, the change callback and the shared
    // handler attached. The descendant adds its points and calls
    // UpdateBounds once.
    TPrimitive2D(int32_t id, int n);
    // The same for display objects of the program itself: the transform as
    // pending transform, not pickable, drawn in the own colour and width.
    TPrimitive2D(int32_t id, int n, uint32_t colour, uint8_t lineWidth, const TMatrix4& transform);
    // Reads the TObject2D record and the control points (see the header
    // comment), then attaches the callback and the shared handler.
    TPrimitive2D(TStream& stream, std::string_view signature);
    // The object part, and an exact copy of the control points (capacity,
    // count, growable flag) watched by the copy; the handler is the
    // source's, counted once more.
    TPrimitive2D(const TPrimitive2D& source, TCloneTag tag);

    // Adds the points with the set's events disabled; no callback.
    void AddPointsQuietly(std::span<const TPoint2D> points);

    // The point in drawing coordinates for the scene: through the model
    // transform as a 3D point (X, Y, 0, 1) when the entity has one, else
    // (X, Y, 0). The stored weight is not used.
    TVector3D ScenePoint(const TPoint2D& p) const;
    // (X, Y, 0, 1) through m, the weight of the result dropped.
    static TVector3D ScenePointThrough(const TPoint2D& p, const TMatrix4& m);
    // A lines object of the points (nodes from ScenePoint, markers hidden, the
    // ScenePen) in group; returns its id, NoSceneNode without a scene.
    TSceneNodeId AddSceneLines(TSceneNodeId group, std::span<const TPoint2D> points) const;
    // Makes the scene's fixed group the current target and returns it;
    // NoSceneNode without a scene.
    static TSceneNodeId TargetGroup(TSceneGroup group);

    // The pick rule of every outline: the TObject2D pick with the control
    // points; only on PickInBox the chain of points (each through the model
    // transform) is tested as an open polyline, giving PickOnObject when a
    // segment lies within the aperture. distance is then the smaller of the
    // aperture and the best segment distance.
    int32_t PickOutline(const TPoint2D& point, double& distance, double aperture, std::span<const TPoint2D> chain);

private:
    void BindPoints();
    // Makes the entity's UpdateBounds the points set's change callback.
    void WatchPoints();

    // Held in the entity itself: one block less per entity.
    TPointsSet2D m_Points;
};
