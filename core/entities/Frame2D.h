#pragma once
// TFrame2D: a rectangle outline given by two opposite corners (control
// points 0 and 1), used as a drawing entity and by the window selection and
// the transform states; TRectangle2D: the same outline that also picks
// inside. Neither adds a field: both store the plain TCurve2D record (class
// ids 11 and 6).
//
// The outline is the five points (x0, y0), (x0, y1), (x1, y1), (x1, y0),
// (x0, y0) of the entity's own coordinates; a model transform that rotates
// the frame rotates that outline, and the box, the picking, the canvas and
// the scene all show the rotated outline.

#include "core/entities/Curve2D.h"

class TFrame2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TFrame2D";
    static constexpr uint16_t kStreamClassId = 11;

    // 50 segments; control point 0 = p1, 1 = p2; the set does not grow.
    TFrame2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2);
    // A display frame of the program itself: not pickable, transform as
    // pending transform.
    TFrame2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, uint32_t colour, uint8_t lineWidth,
             const TMatrix4& transform);
    TFrame2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The outline in the entity group, in the layer's pen colour (alpha 1)
    // and width whatever the pickable flag: the five corners, each through
    // the model transform. Nothing with fewer than two control points.
    void Draw() override;
    // The profile lines in the selection group.
    void DrawSelected() override;
    // The curve part, then control points 0 and 1 from a frame, an ellipse
    // or an elliptical arc (the two box corners); the set does not grow.
    void Assign(const TGraphicObject& source) override;

protected:
    // The curve part; a frame has no fields of its own.
    TFrame2D(const TFrame2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // With segments and both corners: the five outline points (capacity
    // segments + 1), the first and last being control point 0 as stored;
    // the box of the outline through the model transform. While the live
    // read-out is on, the two stored corners go to the properties panel.
    TRect2D PopulateProfile() override;
};

class TRectangle2D : public TFrame2D {
public:
    static constexpr std::string_view kClassName = "TRectangle2D";
    static constexpr uint16_t kStreamClassId = 6;

    using TFrame2D::TFrame2D;
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The frame's pick; where that answers PickInBox, a point inside the
    // closed outline answers PickInsideArea.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

protected:
    // The curve part; a rectangle has no fields of its own.
    TRectangle2D(const TRectangle2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
};
