#pragma once
// TLine2D: the line entity, control point 0 the start and 1 the end; the set
// does not grow. Stored as the plain TPrimitive2D record (class id 3).

#include "core/entities/Primitive2D.h"

class TLine2D : public TPrimitive2D {
public:
    static constexpr std::string_view kClassName = "TLine2D";
    static constexpr uint16_t kStreamClassId = 3;

    TLine2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2);
    // A display line of the program itself: not pickable, drawn in colour
    // and lineWidth whatever its layer, transform as pending transform.
    TLine2D(int32_t id, const TPoint2D& p1, const TPoint2D& p2, uint32_t colour, uint8_t lineWidth,
            const TMatrix4& transform);
    TLine2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // A lines object through the two points, in the entity group.
    void Draw() override;
    void DrawSelected() override;
    // Only from a TLine2D: control points 0 and 1; growable flag cleared.
    void Assign(const TGraphicObject& source) override;
    // Control-point squares when asked, then the segment (through the model
    // transform); then, while the live read-out is on, the two stored points
    // go to the properties panel, which shows length and angle.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The segment with both points through model transform x parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The outline rule: control point, PickOnObject, PickInBox or PickNone.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

protected:
    // The primitive part; a line has no fields of its own.
    TLine2D(const TLine2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
};
