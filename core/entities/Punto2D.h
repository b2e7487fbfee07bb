#pragma once
// TPunto2D: the point entity. Its one control point is the position; the
// set does not grow. Stored as the plain TPrimitive2D record (class id 15).

#include "core/entities/Primitive2D.h"

class TPunto2D : public TPrimitive2D {
public:
    static constexpr std::string_view kClassName = "TPunto2D";
    static constexpr uint16_t kStreamClassId = 15;

    TPunto2D(int32_t id, const TPoint2D& point);
    TPunto2D(TStream& stream, std::string_view signature);
    // The registry factory.
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // A points object in the entity group (smooth, size 5, the layer's pen
    // colour whatever the pickable flag), stored as the scene node.
    void Draw() override;
    void DrawSelected() override;
    // Only from a TPunto2D: its control point; growable flag cleared.
    void Assign(const TGraphicObject& source) override;
    // A cross of two 10-pixel lines at the position (through the model
    // transform); the flag is ignored: the cross is the control point.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The same with every point through model transform x parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The control-point index 0, PickInBox or PickNone: a point has no
    // segment to be on.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

protected:
    // The primitive part; a point has no fields of its own.
    TPunto2D(const TPunto2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    TSceneNodeId BuildIn(TSceneNodeId group);
    void DrawCross(TCanvas2D& canvas, const TMatrix4& m) const;
};
