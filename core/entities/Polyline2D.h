#pragma once
// TPolyline2D, the open polyline, and TPolygon2D, the closed filled polygon:
// outlines whose profile points are their control points, in order. The set
// grows. Stored as the plain TPrimitive2D record (class ids 4 and 5).

#include "core/entities/Outline2D.h"

class TPolyline2D : public TOutline2D {
public:
    static constexpr std::string_view kClassName = "TPolyline2D";
    static constexpr uint16_t kStreamClassId = 4;

    TPolyline2D(int32_t id, std::span<const TPoint2D> points);
    // A display polyline of the program itself: not pickable, drawn in
    // colour and lineWidth, transform as pending transform.
    TPolyline2D(int32_t id, std::span<const TPoint2D> points, uint32_t colour, uint8_t lineWidth,
                const TMatrix4& transform);
    TPolyline2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // A lines object through the points in order, in the entity group.
    void Draw() override;
    // The same lines object in the selection group (also for polygons).
    void DrawSelected() override;
    // From a TLine2D, TPolyline2D or TPolygon2D: every control point to the
    // same index; growable flag set. From other classes nothing is copied.
    void Assign(const TGraphicObject& source) override;
    // Control-point squares when asked, then one canvas polyline through
    // the points (through the model transform); no closing edge.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The outline rule on the open chain (the last-to-first edge is not
    // tested).
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

    // The control points themselves.
    const TPointsSet2D& ProfilePoints() override { return Points(); }
    int ProfilePointsCount() override { return Points().Count(); }

protected:
    // The primitive part; a polyline has no fields of its own.
    TPolyline2D(const TPolyline2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    TSceneNodeId BuildLinesIn(TSceneNodeId group);
};

class TPolygon2D : public TPolyline2D {
public:
    static constexpr std::string_view kClassName = "TPolygon2D";
    static constexpr uint16_t kStreamClassId = 5;

    using TPolyline2D::TPolyline2D;
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // A filled polygon in the entity group.
    void Draw() override;
    // The filled polygon under a group the caller names (the simulation's
    // display); stored as the scene node, which the group keeps after the
    // entity is freed. Pickable: the layer's pen colour, opaque; otherwise
    // the own colour at half opacity. The polygon closes itself.
    TSceneNodeId BuildSceneObjectIn(TSceneNodeId group);
    // Always true: the closing edge is implied.
    bool IsClosed() override { return true; }
    // Polygons are never picked: PickNone, distance PickFarDistance.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

protected:
    // The primitive part; a polygon has no fields of its own.
    TPolygon2D(const TPolygon2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
};
