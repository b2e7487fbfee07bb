#pragma once
// TEllipse2D: the closed ellipse inscribed in the axis-parallel box of two
// opposite corners (control points 0 and 1); TFilledEllipse2D: the same
// shape, never picked. Both store the plain TCurve2D record (class ids 8
// and 9).
//
// Centre and half-axes: (cx, cy) is the midpoint of the two corners (made
// cartesian), a = |x1 - x0| / 2, b = |y1 - y0| / 2. The profile runs
// clockwise from (cx + a, cy) back to that same point.

#include "core/entities/Curve2D.h"

// Centre and half-axes of the box of two corners, both made cartesian.
struct TEllipseAxes {
    double CX = 0.0;
    double CY = 0.0;
    double A = 0.0;
    double B = 0.0;
};
TEllipseAxes EllipseAxesFromBox(const TPoint2D& p1, const TPoint2D& p2);

class TEllipse2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TEllipse2D";
    static constexpr uint16_t kStreamClassId = 8;

    // 50 segments; control points 0 = p1, 1 = p2; the set does not grow.
    TEllipse2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2);
    TEllipse2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The profile lines in the entity group.
    void Draw() override;
    // The profile lines in the selection group.
    void DrawSelected() override;
    // The curve part, then control points 0 and 1 from an ellipse, a frame
    // (the box corners) or an arc (its centre and radius point, as stored);
    // the set does not grow.
    void Assign(const TGraphicObject& source) override;

protected:
    // The curve part; an ellipse has no fields of its own.
    TEllipse2D(const TEllipse2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // With segments n > 0 and both corners: n + 1 points, (cx + a, cy), then
    // (cx + a cos(k 2pi/n), cy - b sin(k 2pi/n)) for k = 1 .. n - 1, then
    // (cx + a, cy) again. The box is that of the two corners through the
    // model transform. While the live read-out is on, the two stored corners
    // go to the properties panel.
    TRect2D PopulateProfile() override;
};

class TFilledEllipse2D : public TEllipse2D {
public:
    static constexpr std::string_view kClassName = "TFilledEllipse2D";
    static constexpr uint16_t kStreamClassId = 9;

    using TEllipse2D::TEllipse2D;
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // Never picked: PickNone with the far distance.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

protected:
    // The curve part; a filled ellipse has no fields of its own.
    TFilledEllipse2D(const TFilledEllipse2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
};
