#pragma once
// TEllipseOpen2D: an elliptical arc. Control points 0 and 1 are opposite
// corners of the box of the whole ellipse, 2 the start point and 3 the end
// point; the set does not grow. Stored as the TCurve2D record followed by
// uint8 direction (class id 7); the angles are derived state and not stored.
//
// Angles: with centre (cx, cy) and half-axes a, b of the box, the point of
// parameter t is (cx + a cos t, cy + b sin t). SetStartAngle and SetEndAngle
// put control point 2 or 3 at the point of that parameter. Every profile
// computation measures the parameters back from control points 2 and 3 (see
// ParameterOfPoint), so a point set by a setter gives back exactly its
// parameter, and a point set elsewhere (a mouse position while the arc is
// drawn) stands for the ellipse point in its direction from the centre.
//
// Direction 1 runs counter-clockwise from start to end; direction 0 runs
// clockwise, its parameters measured from the point mirrored across the
// horizontal line through the centre.

#include "core/entities/Curve2D.h"

class TEllipseOpen2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TEllipseOpen2D";
    static constexpr uint16_t kStreamClassId = 7;

    // 50 segments; control points p1, p2 and the points of the start and end
    // parameters; direction 1. An end of 2 pi (system tolerance) is stored as
    // 0, so start 0 and end 2 pi is the full turn from angle 0. One bounds
    // update at the end.
    TEllipseOpen2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, double startAngle, double endAngle);
    TEllipseOpen2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    double StartAngle() const { return m_StartAngle; }
    double EndAngle() const { return m_EndAngle; }
    // Nothing when the value equals the field exactly; otherwise stores it
    // and moves control point 2 (3) to the point of that parameter, which
    // updates the bounds. An arc without its four control points keeps only
    // the value.
    void SetStartAngle(double angle);
    void SetEndAngle(double angle);
    // True: counter-clockwise.
    bool Direction() const { return m_Direction; }
    // Stores a changed value and updates the bounds.
    void SetDirection(bool counterClockwise);

    // The parameter of a point: atan2(a (y - cy), b (x - cx)) for direction
    // 1, atan2(a (cy - y), b (x - cx)) for direction 0, in (-pi, pi]. For a
    // point of the ellipse this is its parameter t; for any other point the
    // parameter of the ellipse point on the ray from the centre through it.
    double ParameterOfPoint(const TPoint2D& p, const TPoint2D& corner0, const TPoint2D& corner1) const;

    // The profile lines in the entity group.
    void Draw() override;
    // Does nothing: an elliptical arc is not highlighted.
    void DrawSelected() override {}
    // The curve part; then from an ellipse or a frame: the full turn from
    // parameter 0 (start 0, end 2 pi, control points 2 and 3 at (cx + a, cy));
    // from an elliptical arc: both angles, the direction and control points
    // 0 to 3. The set does not grow. One bounds update.
    void Assign(const TGraphicObject& source) override;
    void SaveToStream(TStream& stream) override;

protected:
    // The curve part, both angles and the direction.
    TEllipseOpen2D(const TEllipseOpen2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // With segments n > 0 and both corners: the angles measured from control
    // points 2 and 3, the sweep end - start (start < end) or 2 pi - start +
    // end (so equal angles make a full turn), n + 1 points from start to end.
    // The box is that of the whole ellipse through the model transform.
    // While the live read-out is on, the two corners go to the properties
    // panel.
    TRect2D PopulateProfile() override;

private:
    // Moves control point index to the point of parameter t (events as the
    // set has them).
    void PlaceAnglePoint(int index, double t);

    double m_StartAngle = 0.0;
    double m_EndAngle = 0.0;
    bool m_Direction = true;
};
