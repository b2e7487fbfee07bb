#pragma once
// TBlock2D: a reference to a source block (core/SourceBlock2D.h) shown under
// the reference's own transform, with an insertion point; TInsert: the same
// reference as the DXF import creates it, by name, linked once the file is
// read.
//
// Promises:
// - A linked reference counts once in its source block's reference count
//   from linking until it is unlinked, relinked or freed.
// - Without a source a reference draws nothing, keeps its box and picks
//   PickNone.
// - Box: the source block's box (brought up to date first) through the
//   reference's combined transform.
// - Stored record, after the TObject2D record: the 13-byte name and the
//   insertion point (X, Y, W doubles). The source stays unlinked after
//   reading until UpdateReference.

#include "core/entities/SourceBlock2D.h"

// The stream class ids of TBlock2D and TInsert.
inline constexpr uint16_t BlockClassId = 2;
inline constexpr uint16_t InsertClassId = 22;

class TBlock2D : public TObject2D {
public:
    static constexpr std::string_view kClassName = "TBlock2D";

    // A null source raises std::invalid_argument "TBlock2D.Create: Invalid
    // parameter". Insertion point (0, 0, 1), the source's name, its box;
    // the source counts one more reference; UpdateBounds.
    TBlock2D(int32_t id, TSourceBlock2D* source);
    TBlock2D(TStream& stream, std::string_view signature);
    // Releases the reference to the source.
    ~TBlock2D() override;

    // An unlinked reference to the source block of that name; insertion
    // point all zero (W 0).
    static std::unique_ptr<TBlock2D> CreateByName(int32_t id, std::string_view name);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // Null until linked.
    TSourceBlock2D* SourceBlock() const { return m_Source; }
    const TBlockName& Name() const { return m_Name; }
    const TPoint2D& InsertionPoint() const { return m_InsertionPoint; }
    void SetInsertionPoint(const TPoint2D& point) { m_InsertionPoint = point; }

    // A null source raises std::invalid_argument "TBlock2D.SetSourceBlock:
    // Invalid parameter"; the current source does nothing. Otherwise the old
    // source loses the reference, the new one gains it, its name is copied;
    // UpdateBounds.
    void SetSourceBlock(TSourceBlock2D* source);
    // Links the first source block of the walk (from its first) whose
    // 13-byte name equals this block's, as SetSourceBlock does. None raises
    // ECADListObjNotFound "TBlock2D.UpdateReference: Source block not
    // found" and leaves the reference as it was.
    void UpdateReference(TGraphicObjIterator& sourceBlocks);

    void ComputeBounds() override;
    // The source's children under the reference's transform, into the
    // scene's entity group.
    void Draw() override;
    // Nothing: a reference has no highlighted form of its own.
    void DrawSelected() override {}
    // Each child of the source with the reference's transform.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // Each child of the source with the reference's transform followed by
    // parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The box's corners in viewer pixels (normalised); all zero without a
    // projection.
    TIntRect GetScreenRect() override;
    // Nothing: a reference has no control points.
    void DrawControlPoints(TCanvas2D&) override {}
    // PickNone without a source or when disabled; PickOnObject when the
    // point is inside the widened box and near the (transformed) insertion
    // point; otherwise the source block's pick of the point brought into
    // its coordinates, so a hit returns the ID of the source's child.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;
    // False: the source's pick is not bounded by this reference's box.
    bool PicksNearItsBox() const override { return false; }

    void SaveToStream(TStream& stream) override;
    // Nothing when other is this block. The TObject2D part; from a block:
    // the current source loses the reference and other's source is taken
    // (nothing more when it has none), then name and insertion point are
    // copied, the source gains the reference; UpdateBounds.
    void Assign(const TGraphicObject& other) override;

protected:
    TBlock2D(int32_t id, std::string_view name);
    // Linked to the same source (one more reference), name and insertion
    // point copied.
    TBlock2D(const TBlock2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    // Brings the source's box up to date; TInsert does so without firing
    // the source's change event.
    virtual void RefreshSourceBounds();

private:
    friend class TSourceBlock2D;

    // Moves the reference from the current source (if any) to source (may be
    // null), keeping both counts exact.
    void Link(TSourceBlock2D* source);

    TSourceBlock2D* m_Source = nullptr;
    TBlockName m_Name{};
    TPoint2D m_InsertionPoint{0.0, 0.0, 1.0};
};

class TInsert : public TBlock2D {
public:
    static constexpr std::string_view kClassName = "TInsert";

    // An unlinked reference by name (TBlock2D::CreateByName).
    TInsert(int32_t id, std::string_view name);
    TInsert(TStream& stream, std::string_view signature);

    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

protected:
    TInsert(const TInsert& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;
    void RefreshSourceBounds() override;
};

// Registers TContainer2D, TSourceBlock2D, TBlock2D and TInsert under their
// stream class ids (0, 1, 2, 22); the registry's errors when a slot is taken.
void RegisterBlockClasses();
