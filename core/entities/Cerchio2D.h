#pragma once
// TCerchio2D: the circle, control point 0 the centre and 1 a point on the
// circle; the set does not grow. TFilledCerchio2D: the same circle under its
// own class id, with no behaviour of its own. Both store the plain TCurve2D
// record (class ids 16 and 18).
//
// The profile runs clockwise from (cx + R, cy) back to that same point:
// segments + 1 points, first = last.

#include "core/entities/Curve2D.h"

struct TSceneLines;

class TCerchio2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TCerchio2D";
    static constexpr uint16_t kStreamClassId = 16;

    // 50 segments; control points centre and pointOnCircle. One bounds
    // update at the end.
    TCerchio2D(int32_t id, const TPoint2D& centre, const TPoint2D& pointOnCircle);
    // A display circle of the program itself: not pickable, drawn in colour
    // and lineWidth, transform as pending transform.
    TCerchio2D(int32_t id, const TPoint2D& centre, const TPoint2D& pointOnCircle, uint32_t colour, uint8_t lineWidth,
               const TMatrix4& transform);
    TCerchio2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // Centre (W = 1) and radius in the circle's own coordinates; both 0 for
    // a circle that lacks its points.
    void GetCircle(TPoint2D& centre, double& radius) const;

    // The curve lines in the entity group.
    void Draw() override;
    // The curve lines in the selection group.
    void DrawSelected() override;
    // The curve part, then control points 0 and 1 from an ellipse, a frame,
    // an arc or a circle; the set does not grow.
    void Assign(const TGraphicObject& source) override;

    // The circle as a filled polygon under group (the simulation's tool
    // display): one node per profile point through the model transform; the
    // layer's pen colour when pickable, else the own colour at alpha 0.1.
    // Returns the polygon's id; NoSceneNode without a scene or a profile.
    TSceneNodeId BuildSceneObjectIn(TSceneNodeId group);

protected:
    // The curve part; a circle has no fields of its own.
    TCerchio2D(const TCerchio2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // With segments n > 0 and both points: n + 1 points, (cx + R, cy), then
    // (cx + R cos(k 2pi/n), cy - R sin(k 2pi/n)) for k = 1 .. n - 1, then
    // (cx + R, cy) again. The box is that of the profile through the model
    // transform. While the live read-out is on, the two stored points and R
    // go to the properties panel.
    TRect2D PopulateProfile() override;
    bool ProfilePointsWithoutProfile(std::vector<TPoint2D>& points) override;
    std::optional<TProfileBox> ProfileBox() override;
};

class TFilledCerchio2D : public TCerchio2D {
public:
    static constexpr std::string_view kClassName = "TFilledCerchio2D";
    static constexpr uint16_t kStreamClassId = 18;

    using TCerchio2D::TCerchio2D;
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

protected:
    // The curve part; a filled circle has no fields of its own.
    TFilledCerchio2D(const TFilledCerchio2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
};

// Appends one node per profile point of the circle to lines, which the
// caller owns: (X, Y, 0) through the model transform when the circle has
// one. Nothing for a circle without profile.
void AddCurveNodesToLines(TCerchio2D& circle, TSceneLines& lines);
