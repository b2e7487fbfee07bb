#pragma once
// The drawing document: the objects of the drawing, the source blocks, the
// 256 layers with the current layer, the views that show the document and
// the entity tree that lists it. TQV_01Cmp holds what does not depend on the
// kind of object; TQV_01Cmp2D, the one concrete document, adds, finds and
// transforms 2D objects.
//
// Promises:
// - The document owns its objects and source blocks and frees them with
//   itself. Every walk goes through an iterator (core/GraphicObjList.h);
//   while one is alive, changes of that list are refused with
//   ECADListBlocked and leave the document unchanged: in particular a
//   refused AddObject leaves the object untouched and still the caller's,
//   and the next object ID as it was.
// - Object IDs: an object added with a negative ID gets the next free
//   number; a given ID is kept as it is, without a uniqueness test (the undo
//   journal re-adds objects under their old IDs), and the next free number
//   moves past it.
// - Notifications: every registered view is rebuilt by RepaintViewports
//   (also after TransformObjects), or brought up to date around a few
//   edited objects by RefreshViewports; an added object draws itself, fires
//   OnAddObject and gets its node in the entity tree; a deleted object loses
//   its node and its scene objects, and the views hear of it before it is
//   freed (TDocumentView::ObjectDeleting); MoveObjectToLayer moves the node. An
//   object the document drew tells the views when its bounds change or it
//   moves to another layer (TDocumentView::ObjectChanged), so that they draw
//   it again. Views and tree are not owned and must outlive their
//   registration.
// - Source blocks: every path that deletes one tests its references first
//   and refuses a referenced block (ECADSourceBlockIsReferenced) without
//   changing anything. Destroying the document raises nothing and frees
//   everything, also source blocks that reference each other: the objects
//   go first, then the children of every source block (so that references
//   between blocks drop), then the blocks.
// - Main thread only.

#include "core/model/GraphicObjList.h"
#include "core/model/Layers.h"
#include "core/model/PickIndex.h"
#include "core/entities/SourceBlock2D.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class TDocumentView;
class TGeoTree;
class TStream;
struct TDocumentLoadResult;

// The version signature this program writes.
inline constexpr std::string_view DocumentSignature = "QV-3.6";

class TQV_01Cmp {
public:
    using TOnAddObject = std::function<void(TQV_01Cmp& sender, TObject2D& object)>;
    // code 0 for a document, 1 for a block library; setting accept takes
    // the stream although its signature is not one this program reads.
    using TOnInvalidFileVersion = std::function<void(TQV_01Cmp& sender, int code, bool& accept, TStream& stream)>;
    using TOnLoadProgress = std::function<void(TQV_01Cmp& sender, uint8_t step)>;
    using TOnSaveProgress = std::function<void(TQV_01Cmp& sender, uint8_t percent)>;

    TQV_01Cmp();
    virtual ~TQV_01Cmp();
    TQV_01Cmp(const TQV_01Cmp&) = delete;
    TQV_01Cmp& operator=(const TQV_01Cmp&) = delete;

    const std::string& Signature() const { return m_Signature; }
    // The signature of the stream merged last.
    const std::string& LoadedSignature() const { return m_LoadedSignature; }
    void SetLoadedSignature(const std::string& signature) { m_LoadedSignature = signature; }

    int32_t ObjectsCount() const { return m_Objects.Count(); }
    int32_t SourceBlocksCount() const { return m_SourceBlocks.Count(); }
    TGraphicObjIterator ObjectsIterator() { return m_Objects.GetIterator(); }
    TExclusiveGraphicObjIterator ObjectsExclusiveIterator() { return m_Objects.GetExclusiveIterator(); }
    TGraphicObjIterator SourceBlocksIterator() { return m_SourceBlocks.GetIterator(); }
    TExclusiveGraphicObjIterator SourceBlocksExclusiveIterator() { return m_SourceBlocks.GetExclusiveIterator(); }
    // True while either list has live iterators.
    bool IsBlocked() const;
    // The lists themselves, for the document file's readers and writers.
    TGraphicObjList& Objects() { return m_Objects; }
    TGraphicObjList& SourceBlocks() { return m_SourceBlocks; }
    // Where the objects can be picked (see core/model/PickIndex.h).
    TPickIndex& PickIndex() { return m_PickIndex; }

    // Registers a view (null is ignored); RemoveViewport forgets it.
    void AddViewport(TDocumentView* view);
    void RemoveViewport(TDocumentView* view);
    // Rebuilds every registered view in order, keeping the stock solid.
    virtual void RepaintViewports();
    // After an edit of the objects with these IDs (present or gone) that
    // went through the document (adds, deletes, changes): every registered
    // view shows what RepaintViewports would show, working on these objects
    // only (TDocumentView::RefreshAfterEdit).
    void RefreshViewports(std::span<const int32_t> ids);
    // Draws the object (Draw) into the installed scene builder as one
    // scene object, its ViewNode, after removing what it drew before, and
    // from then on tells the views of its changes.
    void DrawObject(TGraphicObject& object);
    // Hides or shows the drawn objects of one layer in the scene without a
    // rebuild (an object not drawn yet is drawn), and stores the layer's
    // visibility.
    void ShowLayerObjects(uint8_t layer, bool visible);

    // The object with that ID (the first from the head), or null, through
    // the list's index. Raises ECADListBlocked while an exclusive iterator
    // over the objects is alive.
    TGraphicObject* GetObjectByID(int32_t id);
    // Removes the object's tree node and deletes (frees) the object. An
    // absent ID raises ECADListObjNotFound "TCADCmp.DeleteObject: No object
    // found"; a refusal of the list leaves object and node in place.
    bool DeleteObject(int32_t id);
    // Deletes every object and restarts the object IDs at 0. While the list
    // is blocked nothing happens (no error): the objects stay, and so does
    // the next ID, so that no ID is handed out twice.
    void DeleteAllObjects();

    // The ID that the next object added without one gets.
    int64_t NextObjectID() const { return m_NextObjectID; }

    // A drawing taken out of its document while a file is read in its
    // place: the objects in list order with their IDs, the saved source
    // blocks that are not library blocks, and the next object ID.
    struct TTakenDrawing {
        std::vector<std::unique_ptr<TGraphicObject>> Objects;
        std::vector<std::unique_ptr<TGraphicObject>> SourceBlocks;
        int64_t NextObjectID = 0;
    };
    // Takes the drawing out: the document is left without objects and
    // saved blocks, its object IDs restarting at 0; library and unsaved
    // blocks stay. Nothing is drawn, told or freed. While a list is
    // blocked, ECADListBlocked and nothing taken.
    TTakenDrawing TakeDrawing();
    // Deletes what the document holds now (objects, saved blocks that are
    // not library blocks) and puts the taken drawing back as it was: same
    // objects, order, IDs and next object ID. While a list is blocked,
    // ECADListBlocked and nothing changed.
    void PutBackDrawing(TTakenDrawing&& taken);
    // Frees a taken drawing for good, its objects first; a block still
    // referenced from the document goes back into the document instead.
    void DropTakenDrawing(TTakenDrawing&& taken);
    int32_t NextSourceBlockID() const { return m_NextSourceBlockID; }

    // Adds a source block and returns it; the document now owns it. A
    // negative id takes the next source-block ID, a given one is kept and
    // the next ID moves past it (so later blocks never share it). Then
    // owner, the current layer, UpdateBounds; no drawing, event or tree
    // node. While the list is blocked the add is refused with
    // ECADListBlocked before anything is touched; a negative id when every
    // number has been used raises ECADOutOfBound.
    TSourceBlock2D* AddSourceBlockWithID(int32_t id, std::unique_ptr<TSourceBlock2D>&& block);
    // The first source block with that ID, or null.
    TSourceBlock2D* GetSourceBlock(int32_t id);
    // Deletes (frees) the first source block with that ID. An absent ID
    // raises ECADListObjNotFound "TCADCmp.DeleteSourceBlock: No source block
    // found"; a referenced block ECADSourceBlockIsReferenced
    // (SourceBlockReferencedMessage); a blocked list ECADListBlocked. A
    // refusal leaves the block in place.
    void DeleteSourceBlock(int32_t id);
    // Deletes every source block, pass after pass, so that blocks referenced
    // only from blocks deleted earlier go too. When blocks remain that are
    // still referenced (from the objects, or in a circle), raises
    // ECADSourceBlockIsReferenced "TCADCmp.FreeSourceBlocks: CADSys 4.0
    // Severe error" LF CR "The drawing contains circular reference of source
    // blocks. They will be not deleted !"; those blocks stay.
    void FreeSourceBlocks();
    // Deletes the saved source blocks that are not library blocks, before a
    // document is loaded in place of this one; referenced blocks stay. Pass
    // after pass like FreeSourceBlocks, without the error.
    virtual void DeleteSavedSourceBlocks();
    // Deletes the library blocks in the same way.
    virtual void DeleteLibraryBlocks();

    TQV_20Layers& Layers() { return m_Layers; }
    const TQV_20Layers& Layers() const { return m_Layers; }
    // The layer given to objects added without one: 0..255.
    int CurrentLayer() const { return m_CurrentLayer; }
    // layer outside 0..255 raises ECADOutOfBound.
    void SetCurrentLayer(int layer);
    // Layer 0's pen colour; the setter colours every layer the user has not
    // modified (TQV_20Layers::SetDefaultLayersColor).
    uint32_t DefaultLayersColor() const { return m_Layers.DefaultLayersColor(); }
    void SetDefaultLayersColor(uint32_t color) { m_Layers.SetDefaultLayersColor(color); }

    // The entity tree, or null.
    TGeoTree* TreeGeo() const { return m_TreeGeo; }
    void SetTreeGeo(TGeoTree* tree) { m_TreeGeo = tree; }

    // Kept for the stored settings of the view; adding an object draws it
    // whatever this says.
    bool DrawOnAdd() const { return m_DrawOnAdd; }
    void SetDrawOnAdd(bool draw) { m_DrawOnAdd = draw; }
    // While false, an added object is neither drawn nor given a node in the
    // entity tree (it still fires OnAddObject): a read that replaces the
    // whole drawing has the views and the tree rebuilt once it is in, rather
    // than building both twice. True by default.
    bool PresentAdds() const { return m_PresentAdds; }
    void SetPresentAdds(bool present) { m_PresentAdds = present; }
    // TransformObjects repaints the views afterwards while this is set (the
    // default).
    bool RepaintAfterTransform() const { return m_RepaintAfterTransform; }
    void SetRepaintAfterTransform(bool repaint) { m_RepaintAfterTransform = repaint; }

    TOnAddObject OnAddObject;
    TOnInvalidFileVersion OnInvalidFileVersion;
    TOnLoadProgress OnLoadProgress;
    TOnSaveProgress OnSaveProgress;

    // The document file and the block library (core/DocumentFile.h tells
    // the layout, the operations hooks and what damaged input gives).
    // SaveToFile writes a temporary file beside the target and renames it
    // over the target only once the whole document is written, so a failed
    // save leaves the old file as it was (EStreamWriteError).
    void SaveToFile(const std::string& fileName);
    // Reads the file and repaints the views, also when it was read only in
    // part.
    TDocumentLoadResult LoadFromFile(const std::string& fileName, bool merge);
    void SaveToStream(TStream& stream);
    // Replaces the drawing (library blocks stay) or merges into it, then the
    // operations section through the load hook.
    TDocumentLoadResult LoadFromStream(TStream& stream, bool merge);
    // Signature, layers, source blocks and objects, merged into the drawing.
    TDocumentLoadResult MergeFromStream(TStream& stream);
    // Adds the source blocks of a block library.
    TDocumentLoadResult LoadLibrary(TStream& stream);

    // The sections of the file, after their section byte. The loaders
    // report Partial when they stopped inside the section at an entry of an
    // unknown class.
    virtual TDocumentLoadResult LoadSourceBlocks(TStream& stream, std::string_view signature) = 0;
    // The saved source blocks whose library flag equals library.
    virtual void SaveSourceBlocks(TStream& stream, bool library) = 0;
    virtual TDocumentLoadResult LoadObjects(TStream& stream, std::string_view signature) = 0;
    virtual void SaveObjects(TStream& stream) = 0;

protected:
    // The ID an add with id would give, and the next free number after it;
    // nothing changes until CommitObjectID. A negative id when every number
    // has been used raises ECADOutOfBound.
    struct TIDClaim {
        int32_t ID;
        int64_t Next;
    };
    TIDClaim ClaimObjectID(int32_t id) const;
    void CommitObjectID(const TIDClaim& claim) { m_NextObjectID = claim.Next; }

    // Frees that block of the list after testing its references (see
    // DeleteSourceBlock).
    void DeleteSourceBlockObject(const TSourceBlock2D& block);
    // Deletes, pass after pass until a pass deletes nothing, every entry of
    // the source-block list that is not referenced and that select accepts
    // (select gets null for an entry that is not a source block).
    void DeleteUnreferencedSourceBlocks(const std::function<bool(const TSourceBlock2D*)>& select);

    // Declared before the list it watches, so that it outlives the list (it
    // only keeps a reference to it until then).
    TPickIndex m_PickIndex{*this, m_Objects};
    // Declared before the objects so that they, which may reference
    // blocks, are freed before the blocks.
    TGraphicObjList m_SourceBlocks;
    TGraphicObjList m_Objects;
    TQV_20Layers m_Layers;

protected:
    void NotifyObjectChanged(TGraphicObject& object);
    // Tells every view that the object is about to be freed.
    void NotifyObjectDeleting(const TGraphicObject& object);

private:
    std::string m_Signature{DocumentSignature};
    std::string m_LoadedSignature;
    int64_t m_NextObjectID = 0;
    int32_t m_NextSourceBlockID = 0;
    std::vector<TDocumentView*> m_Views;
    int m_CurrentLayer = 0;
    TGeoTree* m_TreeGeo = nullptr;
    bool m_DrawOnAdd = false;
    bool m_PresentAdds = true;
    bool m_RepaintAfterTransform = true;
};

class TQV_01Cmp2D : public TQV_01Cmp {
public:
    TQV_01Cmp2D() = default;

    // Adds the object on the current layer with the ID chosen as described
    // above, and returns it; the document now owns it. Then: owner, layer
    // and ID set, UpdateBounds, Draw, OnAddObject, the entity-tree node
    // (Draw and the node only while PresentAdds).
    // While the object list is blocked the add is refused with
    // ECADListBlocked before anything is touched: object still holds the
    // object, unchanged.
    template <class T>
        requires std::derived_from<T, TObject2D>
    T* AddObject(int32_t id, std::unique_ptr<T>&& object)
    {
        const TIDClaim claim = ClaimObjectID(id);
        T* added = m_Objects.Add(std::move(object), claim.ID);
        FinishAdd(claim, *added, true);
        return added;
    }

    // AddObject with the current layer set to layer for the addition (layer
    // outside 0..255 raises ECADOutOfBound before anything is touched).
    template <class T>
        requires std::derived_from<T, TObject2D>
    T* AddObjectOnLayer(int32_t id, int layer, std::unique_ptr<T>&& object)
    {
        TCurrentLayerScope scope(*this, layer);
        return AddObject(id, std::move(object));
    }

    // Adds a preview object of the program itself: the next free ID, the
    // current layer, neither saved nor pickable; drawn and announced through
    // OnAddObject, but given no entity-tree node.
    template <class T>
        requires std::derived_from<T, TObject2D>
    T* AddHelperContainer(std::unique_ptr<T>&& container)
    {
        const TIDClaim claim = ClaimObjectID(-1);
        T* added = m_Objects.Add(std::move(container), claim.ID);
        added->SetSaved(false);
        added->SetPickable(false);
        FinishAdd(claim, *added, false);
        return added;
    }

    // The 2D object with that ID, or null (see GetObjectByID).
    TObject2D* GetObject(int32_t id);

    // AddSourceBlockWithID with a new ID.
    TSourceBlock2D* AddSourceBlock(std::unique_ptr<TSourceBlock2D>&& block)
    {
        return AddSourceBlockWithID(-1, std::move(block));
    }
    // The first source block whose 13-byte name equals that of name
    // (CopyBlockName); none raises ECADListObjNotFound
    // "TQV_01Cmp2D.FindSourceBlock: Source block <name> not found".
    TSourceBlock2D& FindSourceBlock(std::string_view name);
    using TQV_01Cmp::DeleteSourceBlock;
    // Deletes the source block FindSourceBlock finds. A referenced one raises
    // ECADSysException "TQV_01Cmp2D.DeleteSourceBlock: Remove the references
    // before the source" and stays.
    void DeleteSourceBlock(std::string_view name);

    // Transforms and applies: every object when the first ID is negative,
    // otherwise each listed object in order (absent IDs are skipped). Holds
    // an exclusive iterator meanwhile, so it is refused with ECADListBlocked
    // while any iterator is alive. Then RepaintViewports when
    // RepaintAfterTransform is set. An empty list transforms nothing.
    void TransformObjects(std::span<const int32_t> ids, const TMatrix4& transform);

    // No value for a document without objects. Otherwise the union of the
    // boxes (each object's box recomputed first; the views hear only of
    // boxes that changed) of the visible objects on visible layers; when
    // none qualifies, the inverted rectangle left and bottom 1e8, right and
    // top -1e8.
    std::optional<TRect2D> GetDrawingBounds();

    // Puts the object on another layer and moves its entity-tree node.
    void MoveObjectToLayer(TObject2D& object, uint8_t layer);

    // The sections of the document file (core/DocumentSections.cpp).
    TDocumentLoadResult LoadSourceBlocks(TStream& stream, std::string_view signature) override;
    void SaveSourceBlocks(TStream& stream, bool library) override;
    TDocumentLoadResult LoadObjects(TStream& stream, std::string_view signature) override;
    void SaveObjects(TStream& stream) override;

private:
    class TCurrentLayerScope {
    public:
        TCurrentLayerScope(TQV_01Cmp& doc, int layer) : m_Doc(doc), m_Saved(doc.CurrentLayer())
        {
            m_Doc.SetCurrentLayer(layer);
        }
        ~TCurrentLayerScope() { m_Doc.SetCurrentLayer(m_Saved); }
        TCurrentLayerScope(const TCurrentLayerScope&) = delete;
        TCurrentLayerScope& operator=(const TCurrentLayerScope&) = delete;

    private:
        TQV_01Cmp& m_Doc;
        int m_Saved;
    };

    void FinishAdd(const TIDClaim& claim, TObject2D& object, bool addToTree);
};

// Fits the view to the drawing bounds, the heights of the shown 3D objects
// included (TDocumentView::FitBox); an empty drawing, or one whose objects
// are all hidden, to the view's default window (ZoomToBox).
void ZoomToDrawing(TQV_01Cmp2D& document, TDocumentView& view);

// Draws every object on a visible layer again (TQV_01Cmp::DrawObject), with
// the busy cursor and after the pending repaints and timers, never user
// input (TWorkMonitor::ProcessPendingPaint). Objects on hidden layers are
// left without scene objects.
void RedrawAllObjects(TQV_01Cmp& document);
