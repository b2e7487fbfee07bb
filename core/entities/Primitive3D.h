#pragma once
// TPrimitive3D: the base of the entities defined by 3D control points (the 3D
// line). The drawing is 2D: such an entity is a TObject3D, whose 3D box also
// gives its 2D box, and it is picked by that box alone (no pick handler).
//
// Promises:
// - The entity owns its control points (a TPointsSet3D) and the set's change
//   callback is the entity's UpdateBounds.
// - The 3D box is the box of the cartesian control points put through
//   GetModelTransform (TransformBox3D); all zero without points.
// - Stored record, after the TObject2D record: uint16 n, n points of four
//   little-endian doubles (X, Y, Z, W), uint8 growable flag; no field depends
//   on the signature. A count the stream cannot hold raises ECADFileNotValid
//   before anything is allocated; a record that ends early raises
//   EStreamReadError.
// - Assign copies nothing at all, and DrawOnCanvas draws nothing: the
//   descendants say what they copy and draw.

#include "core/model/GraphicObject.h"
#include "core/geometry/PointsSet.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TPrimitive3D : public TObject3D {
public:
    ~TPrimitive3D() override;

    // The control points, in the entity's own coordinates.
    TPointsSet3D& Points() { return *m_Points; }
    const TPointsSet3D& Points() const { return *m_Points; }

    void ComputeBounds() override;
    void SaveToStream(TStream& stream) override;
    void Assign(const TGraphicObject& source) override;
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;

    // A new empty points set of that capacity, growable.
    static std::unique_ptr<TPointsSet3D> CreatePointsSet(int capacity);

    // The colour of the entity's scene objects: its layer's pen colour when
    // it is pickable (the layer of the document that owns it, or a default
    // layer when it is in none), its own colour otherwise.
    uint32_t SceneColor() const;

protected:
    // An empty growable set of capacity n with the change callback attached;
    // the descendant adds its points and calls UpdateBounds once.
    TPrimitive3D(int32_t id, int n);
    // Reads the TObject2D record and the control points (see above).
    TPrimitive3D(TStream& stream, std::string_view signature);
    // The TObject3D state and a copy of the control points and growable flag.
    TPrimitive3D(const TPrimitive3D& source, TCloneTag tag);

    // p through GetModelTransform when the entity has a transform (the
    // weight of the result dropped, not divided by), else p's X, Y and Z.
    TVector3D ScenePoint(const TPoint3D& p) const;

private:
    void BindPoints();

    std::unique_ptr<TPointsSet3D> m_Points;
};
