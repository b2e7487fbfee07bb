#pragma once
// TArco2D: the circular arc. Control points: 0 the centre, 1 a point at the
// radius, 2 the start point, 3 the end point; the set does not grow. Stored
// as the TCurve2D record followed by uint8 direction (class id 17); the two
// angles are derived state, recomputed from control points 2 and 3 by every
// profile computation, and not stored.
//
// Direction 1 (every drawing command) runs counter-clockwise from control
// point 2 to control point 3 and its angle fields hold the polar angles of
// those points. Direction 0 (the DXF import of clockwise angle systems) runs
// clockwise from control point 2 to control point 3; its angle fields hold
// the negated polar angles. Any direction byte other than 0 counts as 1.
//
// The rest of the system reads arcs through GetArcGeometry / GetArcInfo,
// which describe the arc as drawn, in drawing coordinates: counter-clockwise
// from the record's start point to its end point, with polar angles, for
// either direction and under any model transform (a mirror included).
//
// A damaged record may bring fewer than four control points: the arc then
// draws and reports what it can (no profile below two points, only centre
// and radius below four) and never reads past its points.

#include "core/geometry/ArcGeometry.h"
#include "core/entities/Curve2D.h"

class TArco2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TArco2D";
    static constexpr uint16_t kStreamClassId = 17;

    // 50 segments; control points centre, radiusPoint and the points at the
    // two angles on the circle; direction 1. One bounds update at the end.
    TArco2D(int32_t id, const TPoint2D& centre, const TPoint2D& radiusPoint, double startAngle, double endAngle);
    // A display arc of the program itself: not pickable, drawn in colour and
    // lineWidth, transform as pending transform.
    TArco2D(int32_t id, const TPoint2D& centre, const TPoint2D& radiusPoint, double startAngle, double endAngle,
            uint32_t colour, uint8_t lineWidth, const TMatrix4& transform);
    TArco2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    double StartAngle() const { return m_StartAngle; }
    double EndAngle() const { return m_EndAngle; }
    // Nothing when the value equals the field exactly; otherwise stores it
    // and moves control point 2 (3) to (cx + R cos t, cy + R sin t), whatever
    // the direction, which updates the bounds.
    void SetStartAngle(double angle);
    void SetEndAngle(double angle);
    // 1 counter-clockwise, 0 clockwise, as stored.
    uint8_t Direction() const { return m_Direction; }
    bool IsCounterClockwise() const { return m_Direction != 0; }
    // Stores a changed value and updates the bounds.
    void SetDirection(uint8_t direction);

    // Centre (W = 1), radius and the two angles measured from control
    // points 2 and 3 as the direction says, in the arc's own coordinates (no
    // model transform).
    void GetCenterRadiusAngles(TPoint2D& centre, double& radius, double& startAngle, double& endAngle) const;
    // The arc as drawn, in drawing coordinates (see the header comment):
    // centre and radius from control points 0 and 1 through the model
    // transform; the start and end points on that circle at the polar angles
    // of control points 2 and 3 (through the transform), taken in the order
    // that makes the arc counter-clockwise. With fewer than four control
    // points only centre and radius are filled.
    TArcGeometry2D GetArcGeometry() const;
    TArcInfo2D GetArcInfo() const;
    // The point at fraction t (0..1) of the sweep from the record's start
    // point; t within 1e-14 of 0 or 1 gives the start or end point exactly.
    TPoint2D PointAtFraction(double t) const;

    // The curve lines in the entity group.
    void Draw() override;
    // The curve lines in the selection group.
    void DrawSelected() override;
    // The curve part; then from an arc: both angles, the direction and
    // control points 0 to 3; from an ellipse or a frame: control points 0
    // and 1 copied and the full turn from angle 0 (start 0, end 2 pi, both
    // angle points at (cx + R, cy)). The set does not grow. One bounds update.
    void Assign(const TGraphicObject& source) override;
    void SaveToStream(TStream& stream) override;

protected:
    // The curve part, both angles and the direction.
    TArco2D(const TArco2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // With segments n > 0 and at least centre and radius point: the angle
    // fields measured from control points 2 and 3; the sweep end - start
    // (start < end) or 2 pi - start + end (so equal angles make a full turn);
    // n + 1 points from start to end, (cx + R cos t, cy + R sin t) for
    // direction 1 and (cx + R cos t, cy - R sin t) for direction 0. The box
    // is that of the profile through the model transform. While the live
    // read-out is on, centre, radius and the two angles go to the panel.
    TRect2D PopulateProfile() override;
    bool ProfilePointsWithoutProfile(std::vector<TPoint2D>& points) override;
    std::optional<TProfileBox> ProfileBox() override;

private:
    // Centre, radius and the angle fields from the control points (the
    // arc parameters); false without centre and radius point.
    bool MeasureParameters(double& cx, double& cy, double& r);
    void PlaceAnglePoint(int index, double t);

    double m_StartAngle = 0.0;
    double m_EndAngle = 0.0;
    uint8_t m_Direction = 1;
};
