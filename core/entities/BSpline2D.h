#pragma once
// TBSpline2D: the spline the user draws through its control points, a
// non-rational B-spline of order k (3 unless a stored record says
// otherwise) on the open uniform integer knot vector, so that it starts at
// the first control point and ends at the last. Class id 13.
//
// Stored record, after the TCurve2D record: uint8 order.
//
// Profile (segments s):
// - s of 0 or below: no profile, box (0, 0)-(0, 0).
// - Otherwise s + 1 points: the curve at t = (i / s) (count - k + 1) for
//   i = 0 .. s - 1, then the last control point as stored. For the order 3
//   of every drawn spline the range is 0 .. count - 2.
// - A spline that cannot be evaluated shows its control polygon: the
//   profile is a copy of the control points when there are fewer of them
//   than the order, when the order is 0 or above kMaxSplineDegree + 1, or
//   when a point does not come out finite.
// The box is that of the profile through the model transform. Nothing here
// raises on stored data.

#include "core/entities/Curve2D.h"

#include <span>

class TBSpline2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TBSpline2D";
    static constexpr uint16_t kStreamClassId = 13;
    static constexpr uint8_t kDefaultOrder = 3;

    // 50 segments, order 3, the points appended in order; the set grows.
    TBSpline2D(int32_t id, std::span<const TPoint2D> points);
    TBSpline2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The order k = degree + 1.
    uint8_t Order() const { return m_Order; }
    // Stores the order and updates the bounds.
    void SetOrder(uint8_t order);
    // True when the profile is the curve itself rather than the control
    // polygon (see the header comment).
    bool CanEvaluate() const;

    // The profile lines in the entity group.
    void Draw() override;
    // Nothing: a selected spline has no highlight of its own.
    void DrawSelected() override {}
    // The curve part, then from a TBSpline2D the order and every control
    // point; the set grows.
    void Assign(const TGraphicObject& source) override;
    void SaveToStream(TStream& stream) override;

protected:
    // The curve part and the order.
    TBSpline2D(const TBSpline2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    TRect2D PopulateProfile() override;

private:
    uint8_t m_Order = kDefaultOrder;
};
