#pragma once
// TLine3D: a straight segment in space, control point 0 the start and 1 the
// end. It reaches the drawing only through documents; stored as the plain
// TPrimitive3D record (class id 30).
//
// A damaged record may give it fewer or more than two points: it then draws
// nothing with fewer than two, uses the first two otherwise, and never raises.

#include "core/entities/Primitive3D.h"

class TLine3D : public TPrimitive3D {
public:
    static constexpr std::string_view kClassName = "TLine3D";
    static constexpr uint16_t kStreamClassId = 30;

    TLine3D(int32_t id, const TPoint3D& p1, const TPoint3D& p2);
    TLine3D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // BuildLines into the entity group.
    void Draw() override;
    // BuildLines into the selection group.
    void DrawSelected() override;
    // One canvas line between the two points through the model transform.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The same with the model transform followed by parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The pixel rectangle of the two stored points (no model transform:
    // window selection asks it only of objects without one); (0, 0, 0, 0)
    // without points or without a projection.
    TIntRect GetScreenRect() override;

    // A lines object of two nodes, the points through the model transform,
    // in the scene's current target group, node markers hidden, in
    // SceneColor (alpha 1); it becomes the entity's scene node.
    void BuildLines();

protected:
    TLine3D(const TLine3D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    void DrawSegment(TCanvas2D& canvas, const TMatrix4& m) const;
};
