#pragma once
// The base classes of every drawable object: TGraphicObject (identity,
// layer, flags, the head of every stored object record) and TObject2D (model
// and pending transforms, bounding box, picking, the pick/draw handler),
// with TObject3D, the 2D object that also carries a 3D box.
//
// Promises:
// - Transforms: Transform accumulates into the pending transform, which the
//   view shows at once through GetModelTransform; ApplyTransform,
//   SaveToStream and Assign fold it into the model transform. A transform
//   that equals the identity exactly is never kept.
// - GetModelTransform returns the shared identity, the pending matrix, or
//   the shared scratch matrix (ScratchMatrix4) holding model x pending; the
//   scratch content is valid only until the next such request, so a caller
//   that needs the value later copies it.
// - Stored record (after the int16 class id written by the list's owner):
//   ID int32, layer uint8, flags uint8 (bit 0 visible, bit 1 enabled, bit 2
//   set when NOT saved), then the model transform: 16 little-endian doubles,
//   or 9 doubles of the old 3x3 form when the stream's signature is not
//   greater than "QV-002". A record that ends early raises EStreamReadError.
// - Constructors never call UpdateBounds: the box of a subclass can only be
//   computed once the subclass exists, so each concrete class calls
//   UpdateBounds at the end of its own constructor.
// - Objects are not copyable; Assign copies state between existing objects.
// - The pick index of the owning document (core/model/PickIndex.h) hears of
//   every UpdateBounds and of every change of the box, the transforms, the
//   handler and the owner, so that it knows where the object can be picked.

#include "core/geometry/EntityMemory.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class TCanvas2D;
class TObject2D;
class TQV_01Cmp;
class TStream;

// Pick codes of PickAt; an index 0 or more is a control point (primitives)
// or the ID of the child hit (containers and blocks).
inline constexpr int32_t PickNone = -200;      // nothing hit, or disabled
inline constexpr int32_t PickInBox = -100;     // inside the box widened by the aperture
inline constexpr int32_t PickOnObject = -1;    // on the outline
inline constexpr int32_t PickInsideArea = -2;  // inside a closed outline
// The distance PickAt reports when nothing was hit.
inline constexpr double PickFarDistance = 1e8;

// Selects the cloning constructors, through which each class copies its
// whole state for Clone (see TGraphicObject::Clone).
struct TCloneTag {
    explicit TCloneTag() = default;
};

class TGraphicObject {
public:
    using TOnChange = std::function<void(TGraphicObject&)>;
    // Entities live in the entities' pool (see EntityMemory.h).
    KB_ENTITY_MEMORY

    virtual ~TGraphicObject() = default;
    TGraphicObject(const TGraphicObject&) = delete;
    TGraphicObject& operator=(const TGraphicObject&) = delete;

    // The class name under which the class is registered ("TLine2D").
    virtual std::string_view ClassName() const = 0;

    // Recomputes the box.
    virtual void ComputeBounds() = 0;
    // Builds the object's scene objects into the view's current group and
    // stores the scene node; nothing without an installed scene builder.
    virtual void Draw() = 0;
    // Writes the object's record in the newest layout.
    virtual void SaveToStream(TStream& stream);
    // Copies visible, enabled and saved (not ID, layer, pickable or owner);
    // nothing when source is this object.
    virtual void Assign(const TGraphicObject& source);
    // A new object of the same class with this object's whole state: ID,
    // layer, flags, own colour and width, both transforms, box, handler and
    // the class's own data (a container's children cloned in turn, a block
    // reference counted once more at its source). Owner, entity-tree node,
    // scene node and change event stay with this object. A class that does
    // not provide CloneObject itself (so that the copy would be of another
    // class) raises ECADSysException "<class name>.Clone: This class cannot
    // be copied".
    std::unique_ptr<TGraphicObject> Clone() const;

    // ComputeBounds, then the change event when one is set.
    void UpdateBounds();

    int32_t ID() const { return m_ID; }
    void SetID(int32_t id) { m_ID = id; }
    TTreeNodeId TreeNode() const { return m_TreeNode; }
    void SetTreeNode(TTreeNodeId node) { m_TreeNode = node; }
    uint8_t Layer() const { return m_Layer; }
    void SetLayer(uint8_t layer) { m_Layer = layer; }
    // Used instead of the layer's pen width when the object is not pickable.
    uint8_t OwnLineWidth() const { return m_OwnLineWidth; }
    void SetOwnLineWidth(uint8_t width) { m_OwnLineWidth = width; }
    bool Visible() const { return m_Visible; }
    void SetVisible(bool visible) { m_Visible = visible; }
    // A disabled object cannot be picked.
    bool Enabled() const { return m_Enabled; }
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    // An object that is not saved is left out of the document file.
    bool Saved() const { return m_Saved; }
    void SetSaved(bool saved) { m_Saved = saved; }
    // Window selection ignores objects that are not pickable, and they are
    // drawn in their own colour and width instead of their layer's pen.
    bool Pickable() const { return m_Pickable; }
    void SetPickable(bool pickable) { m_Pickable = pickable; }
    void SetOnChange(TOnChange onChange) { m_OnChange = std::move(onChange); }
    // The document that holds the object; null until added. The pick
    // indexes of the old and the new owner hear of the change.
    TQV_01Cmp* Owner() const { return m_Owner; }
    void SetOwner(TQV_01Cmp* owner);
    // The object's place in its document's pick index, 0 for none; kept by
    // the index (core/model/PickIndex.h) and not copied by Clone.
    uint32_t PickSlot() const { return m_PickSlot; }
    void SetPickSlot(uint32_t slot) { m_PickSlot = slot; }
    TSceneNodeId SceneNode() const { return m_SceneNode; }
    void SetSceneNode(TSceneNodeId node) { m_SceneNode = node; }
    // Everything the document drew of the object, as one id of the scene
    // builder (see TQV_01Cmp::DrawObject); SceneNode is the last scene
    // object the object built itself (a highlight replaces it).
    TSceneNodeId ViewNode() const { return m_ViewNode; }
    void SetViewNode(TSceneNodeId node) { m_ViewNode = node; }

protected:
    // Layer 0, own line width 0, visible, enabled, saved and pickable.
    explicit TGraphicObject(int32_t id);
    // Reads the head of the record; pickable, no owner, no change event, no
    // tree node.
    TGraphicObject(TStream& stream, std::string_view signature);
    // Copies what Clone promises of this level: ID, layer, own line width
    // and the four flags.
    TGraphicObject(const TGraphicObject& source, TCloneTag);
    // Every concrete class returns a new object of its own class made by its
    // cloning constructor: MyClass(const MyClass&, TCloneTag), which passes
    // the tag on to its base and copies its own fields. Pure, so that a class
    // without any copy does not build; a subclass of a concrete class that
    // forgets its own is caught by Clone.
    virtual std::unique_ptr<TGraphicObject> CloneObject() const = 0;

    // Tells the owner's pick index that where the object can be picked may
    // have changed (its box, transforms, control points or handler).
    void PickShapeChanged();

private:
    int32_t m_ID = 0;
    uint32_t m_PickSlot = 0;
    TTreeNodeId m_TreeNode = NoTreeNode;
    uint8_t m_Layer = 0;
    uint8_t m_OwnLineWidth = 0;
    bool m_Visible = true;
    bool m_Enabled = true;
    bool m_Saved = true;
    bool m_Pickable = true;
    TOnChange m_OnChange;
    TQV_01Cmp* m_Owner = nullptr;
    TSceneNodeId m_SceneNode = NoSceneNode;
    TSceneNodeId m_ViewNode = NoSceneNode;
};

// Draws and picks the control points of objects. Reference counted: created
// with one reference (its creator's), each object that holds it adds one,
// and it frees itself when the last reference is released. One shared
// instance serves every primitive.
class TObject2DHandler {
public:
    // owner: the one object the handler belongs to, or null for a shared
    // handler. When an owned handler is freed it clears its owner's handler.
    explicit TObject2DHandler(TObject2D* owner = nullptr) : m_Owner(owner) {}
    TObject2DHandler(const TObject2DHandler&) = delete;
    TObject2DHandler& operator=(const TObject2DHandler&) = delete;

    virtual void DrawControlPoints(TObject2D& object, TCanvas2D& canvas) = 0;
    // The index of the nearest control point within the aperture, updating
    // distance, or PickNone.
    virtual int32_t PickAt(TObject2D& object, const TPoint2D& point, double& distance, double aperture) = 0;
    // Grows extent (normalised) by every point at which PickAt could find a
    // control point of the object, in the coordinates PickAt compares, and
    // returns true; false when the handler cannot tell.
    virtual bool GrowByControlPoints(const TObject2D& /*object*/, TRect2D& /*extent*/) const { return false; }

    void AddRef() { ++m_RefCount; }
    // Drops one reference; frees the handler when none is left.
    void Release();
    int32_t RefCount() const { return m_RefCount; }
    TObject2D* Owner() const { return m_Owner; }

protected:
    virtual ~TObject2DHandler() = default;

private:
    TObject2D* m_Owner;
    int32_t m_RefCount = 1;
};

class TObject2D : public TGraphicObject {
public:
    ~TObject2D() override;

    // model x pending; see the header comment for what is returned.
    const TMatrix4& GetModelTransform() const;
    // pending := m, or none when m equals the identity exactly; then
    // UpdateBounds.
    void SetTransform(const TMatrix4& m);
    // True when a model or a pending transform exists.
    bool HasTransform() const { return m_ModelTransform.has_value() || m_PendingTransform.has_value(); }
    // The stored transforms themselves; null when there is none.
    const TMatrix4* ModelTransform() const { return m_ModelTransform ? &*m_ModelTransform : nullptr; }
    const TMatrix4* PendingTransform() const { return m_PendingTransform ? &*m_PendingTransform : nullptr; }

    // Drawing on the view's overlay canvas, in viewer pixels.
    virtual void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) = 0;
    // The same inside a block or container with the parent's transform.
    virtual void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) = 0;
    // Builds the highlighted form into the view's selection group.
    virtual void DrawSelected() = 0;
    // Visible, and the box overlaps rect (normalised) with inclusive bounds.
    virtual bool IsVisibleInRect(const TRect2D& rect) const;
    // The object's extent in viewer pixels.
    virtual TIntRect GetScreenRect() = 0;

    // pending := pending x m (just m without a pending transform).
    virtual void Transform(const TMatrix4& m);
    // Folds the pending transform into the model transform.
    virtual void ApplyTransform();
    // The handler's control points; nothing without a handler.
    virtual void DrawControlPoints(TCanvas2D& canvas);
    // PickNone when disabled; PickInBox with distance = aperture when the
    // point lies in the box widened by the aperture (edges inside); a
    // handler's control-point index wins over both. distance is
    // PickFarDistance when nothing was hit.
    virtual int32_t PickAt(const TPoint2D& point, double& distance, double aperture);
    // True when PickAt hits only where the point lies in the box widened by
    // the aperture, or where the handler finds a control point; the pick
    // index relies on it. A class whose pick reaches further says false.
    virtual bool PicksNearItsBox() const { return true; }

    // model := copy of m (none for the identity); the pending transform is
    // dropped. No UpdateBounds.
    void SetModelTransform(const TMatrix4& m);
    void SetModelTransform3x3(const TTransform2D& t);
    // Drops both transforms, then UpdateBounds.
    void ResetTransforms();
    // p through the inverse of GetModelTransform.
    TPoint2D InverseTransformPoint(const TPoint2D& p) const;

    const TRect2D& Box() const { return m_Box; }
    void SetBox(const TRect2D& box);
    TObject2DHandler* Handler() const { return m_Handler; }
    // Holds h (one more reference) and releases the previous handler.
    void SetHandler(TObject2DHandler* h);
    // Used instead of the layer's pen colour when the object is not pickable.
    uint32_t OwnColor() const { return m_OwnColor; }
    void SetOwnColor(uint32_t color) { m_OwnColor = color; }

    // Writes the head, then folds the pending transform in and writes the
    // model transform (128 bytes).
    void SaveToStream(TStream& stream) override;
    // The head's Assign, then from a TObject2D: model := the source's
    // GetModelTransform (pending dropped), the box, and the source's handler.
    void Assign(const TGraphicObject& source) override;

protected:
    // Box zero, no transforms, no handler.
    explicit TObject2D(int32_t id);
    // For display objects of the program itself: the transform as pending
    // transform, not pickable, own line width and colour.
    TObject2D(int32_t id, const TMatrix4& transform, uint8_t ownLineWidth, uint32_t ownColor);
    TObject2D(TStream& stream, std::string_view signature);
    // The head, both transforms as they stand (the pending one is not
    // folded in), box, own colour, and one more reference to the handler.
    TObject2D(const TObject2D& source, TCloneTag);

private:
    friend class TObject2DHandler;

    TOptionalMatrix4 m_ModelTransform;
    TOptionalMatrix4 m_PendingTransform;
    TRect2D m_Box{};
    TObject2DHandler* m_Handler = nullptr;
    uint32_t m_OwnColor = 0;
};

// A 2D object that also carries a 3D box (3D lines, STL surfaces).
class TObject3D : public TObject2D {
public:
    const TBox3D& Box3D() const { return m_Box3D; }
    // Stores the box and sets the 2D box to the X and Y of its corners
    // (weights 1), without UpdateBounds.
    void SetBox3D(const TBox3D& box);

protected:
    explicit TObject3D(int32_t id);
    TObject3D(TStream& stream, std::string_view signature);
    TObject3D(const TObject3D& source, TCloneTag);

private:
    TBox3D m_Box3D{};
};

// Translates the object's pending transform by A - B (both made cartesian).
void TranslateObject(TObject2D& object, const TPoint2D& a, const TPoint2D& b);
