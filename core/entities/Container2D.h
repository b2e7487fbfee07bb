#pragma once
// TContainer2D: a group of 2D objects that moves with one transform (previews,
// imported text, exploded geometry, label outlines), and the base of the
// source blocks (core/SourceBlock2D.h).
//
// Promises:
// - The container owns its children and frees them with itself. Children
//   keep the IDs and layers they were created or stored with.
// - Box: the union of the children's boxes (each already through the child's
//   own transform), then through the container's combined transform;
//   all zero without children.
// - A child is drawn, picked and drawn on the canvas with its own transform
//   followed by the container's, the same composition the box uses; after
//   drawing, each child has exactly the transforms it had before.
// - A child draws with the pen of its layer in the container's document
//   (the document of the reference, for the children of a source block);
//   only a container outside any document leaves its children the default
//   layers.
// - PickAt returns PickNone (outside, or disabled), PickInBox (inside the box
//   widened by the aperture, no child hit; distance = 2 x aperture) or the ID
//   of the nearest child hit.
// - Stored record, after the TObject2D record: int32 n, then n times the
//   int16 stream class id and the child's record. Reading checks n against
//   what the stream can hold and the nesting depth (kMaxContainerNesting)
//   and raises ECADFileNotValid on either; an unregistered class id raises
//   the registry's error; a record that ends early raises EStreamReadError.
//   A failed read frees everything read so far.
// - Block references nested anywhere below are drawn and picked at most
//   kMaxContainerNesting levels deep, and a source block is never entered
//   again while it is being drawn or picked, so references that form a
//   cycle draw and pick each block once instead of recursing forever.

#include "core/model/GraphicObjList.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TStream;

// The stream class id of TContainer2D.
inline constexpr uint16_t ContainerClassId = 0;

// How deep containers and block references may nest, both in a stored
// record and when drawing and picking.
inline constexpr int kMaxContainerNesting = 64;

class TContainer2D : public TObject2D {
public:
    static constexpr std::string_view kClassName = "TContainer2D";

    // The non-null objects become the children in order; UpdateBounds.
    explicit TContainer2D(int32_t id, std::vector<std::unique_ptr<TObject2D>> objects = {});
    // Reads the record (see the header comment); UpdateBounds.
    TContainer2D(TStream& stream, std::string_view signature);

    // The registry factory.
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The children, owned by the container.
    TGraphicObjList& Objects() const { return *m_Objects; }

    // The point commands place the container by; not stored.
    const TPoint2D& BasePoint() const { return m_BasePoint; }
    void SetBasePoint(double x, double y) { m_BasePoint = MakePoint2D(x, y); }

    void ComputeBounds() override;
    // Makes the scene's entity group current, then draws the children.
    void Draw() override;
    // Makes the scene's selection group current, then builds each child's
    // highlighted form.
    void DrawSelected() override;
    // Each child's DrawOnCanvasTransformed with the container's transform.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The same with the container's transform followed by parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The box's corners in viewer pixels (normalised); all zero without a
    // projection.
    TIntRect GetScreenRect() override;
    // Nothing without children; otherwise as TObject2D.
    void DrawControlPoints(TCanvas2D& canvas) override;
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

    void SaveToStream(TStream& stream) override;
    // Nothing when source is this container. A container source whose child
    // list has an exclusive iterator raises ECADListBlocked
    // "TContainer2D.Assign: The list has an exclusive iterator."; a child
    // list of this container that is being walked raises ECADListBlocked
    // "TContainer2D.Assign: The list has active iterators.". Both are tested
    // before anything changes. Otherwise the TObject2D part, and from a
    // container every child cloned in order (Clone) in place of the own
    // children; should a clone fail, the container is left as it was.
    void Assign(const TGraphicObject& source) override;

    // Links the block references among the children to the source blocks of
    // the iterator by name: source blocks among the children are treated in
    // turn, blocks get TBlock2D::UpdateReference; then UpdateBounds. A
    // missing source block raises ECADListObjNotFound (links made so far
    // stay).
    void UpdateSourceReferences(TGraphicObjIterator& sourceBlocks);

    // The child walks shared with the block references, which show the
    // children of their source block under their own transform. holder is
    // the transform that follows each child's own.
    void DrawChildren(const TMatrix4& holder, bool selected);
    void DrawChildrenOnCanvas(TCanvas2D& canvas, const TMatrix4& holder);
    // point is in the children's coordinates. See PickAt.
    int32_t PickChildren(const TPoint2D& point, double& distance, double aperture, int32_t result);

protected:
    // The children cloned in order, base point copied.
    TContainer2D(const TContainer2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // Reads int32 n and the children, appending them.
    void ReadChildren(TStream& stream, std::string_view signature);

private:
    std::unique_ptr<TGraphicObjList> m_Objects = std::make_unique<TGraphicObjList>();
    TPoint2D m_BasePoint{};
    // Set while the children are being drawn or picked.
    bool m_Walking = false;
};

// The corners of box projected to viewer pixels, normalised (left <= right,
// top <= bottom); all zero without an installed projection.
TIntRect BoxScreenRect(const TRect2D& box);

// Counts one level of container or block nesting for as long as it lives;
// Entered() is false when the level is one too many. Used by the readers
// and the drawing and picking walks.
class TContainerNestingScope {
public:
    TContainerNestingScope();
    ~TContainerNestingScope();
    TContainerNestingScope(const TContainerNestingScope&) = delete;
    TContainerNestingScope& operator=(const TContainerNestingScope&) = delete;
    bool Entered() const { return m_Entered; }

private:
    bool m_Entered;
};
