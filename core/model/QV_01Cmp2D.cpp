#include "core/model/QV_01Cmp2D.h"

#include "core/model/CADSysException.h"
#include "core/model/DocumentView.h"
#include "core/model/GeoTree.h"
#include "core/geometry/Geometry.h"
#include "core/model/WorkMonitor.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// The start of GetDrawingBounds: inverted, so that any box merged replaces it.
constexpr double BoundsStart = 1e8;

TBox3D FlatBox(const TRect2D& r)
{
    const TRect2D n = NormalizeRect2D(r);
    TBox3D box;
    box.FirstEdge = TPoint3D{n.FirstEdge.X, n.FirstEdge.Y, 0.0, 1.0};
    box.SecondEdge = TPoint3D{n.SecondEdge.X, n.SecondEdge.Y, 0.0, 1.0};
    return box;
}

bool SamePoint(const TPoint2D& a, const TPoint2D& b)
{
    return a.X == b.X && a.Y == b.Y && a.W == b.W;
}

bool SameRect(const TRect2D& a, const TRect2D& b)
{
    return SamePoint(a.FirstEdge, b.FirstEdge) && SamePoint(a.SecondEdge, b.SecondEdge);
}

} // namespace

TQV_01Cmp::TQV_01Cmp()
{
    m_Objects.SetWatcher(&m_PickIndex);
}

TQV_01Cmp::~TQV_01Cmp()
{
    // Nothing may leave a destructor, and nothing may stay: each step goes on
    // past a refusal, and what a step could not free the lists free when
    // they go (a source block freed while still referenced unlinks its
    // references first).
    try {
        m_Objects.Clear();
    } catch (...) {
    }
    try {
        TGraphicObjIterator it = m_SourceBlocks.GetIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            try {
                if (auto* block = dynamic_cast<TContainer2D*>(object))
                    block->Objects().Clear();
            } catch (...) {
            }
        }
    } catch (...) {
    }
    try {
        m_SourceBlocks.Clear();
    } catch (...) {
    }
}

bool TQV_01Cmp::IsBlocked() const
{
    return m_Objects.IsBlocked() || m_SourceBlocks.IsBlocked();
}

void TQV_01Cmp::AddViewport(TDocumentView* view)
{
    if (view)
        m_Views.push_back(view);
}

void TQV_01Cmp::RemoveViewport(TDocumentView* view)
{
    m_Views.erase(std::remove(m_Views.begin(), m_Views.end(), view), m_Views.end());
}

void TQV_01Cmp::RepaintViewports()
{
    for (TDocumentView* view : m_Views)
        view->RebuildScene(false);
}

void TQV_01Cmp::RefreshViewports(std::span<const int32_t> ids)
{
    for (TDocumentView* view : m_Views)
        view->RefreshAfterEdit(ids);
}

void TQV_01Cmp::DrawObject(TGraphicObject& object)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (scene) {
        if (object.ViewNode() != NoSceneNode)
            scene->RemoveNode(object.ViewNode());
        scene->BeginObject();
    }
    try {
        object.Draw();
    } catch (...) {
        // The scope ends with the failed drawing; what it made is dropped.
        if (scene)
            scene->RemoveNode(scene->EndObject());
        object.SetViewNode(NoSceneNode);
        throw;
    }
    object.SetViewNode(scene ? scene->EndObject() : NoSceneNode);
    object.SetOnChange([this](TGraphicObject& changed) { NotifyObjectChanged(changed); });
}

void TQV_01Cmp::NotifyObjectChanged(TGraphicObject& object)
{
    for (TDocumentView* view : m_Views)
        view->ObjectChanged(object);
}

void TQV_01Cmp::NotifyObjectDeleting(const TGraphicObject& object)
{
    for (TDocumentView* view : m_Views)
        view->ObjectDeleting(object);
}

void TQV_01Cmp::ShowLayerObjects(uint8_t layer, bool visible)
{
    m_Layers.GetLayer(layer).SetVisible(visible ? 1 : 0);
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return;
    TGraphicObjIterator it = m_Objects.GetIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        if (object->Layer() != layer)
            continue;
        if (visible && object->ViewNode() == NoSceneNode)
            DrawObject(*object);
        else
            scene->SetNodeVisible(object->ViewNode(), visible);
    }
}

TGraphicObject* TQV_01Cmp::GetObjectByID(int32_t id)
{
    TGraphicObjIterator it = m_Objects.GetIterator();
    return it.Search(id);
}

bool TQV_01Cmp::DeleteObject(int32_t id)
{
    TTreeNodeId node = NoTreeNode;
    TSceneNodeId scene = NoSceneNode;
    const TGraphicObject* doomed = nullptr;
    {
        TGraphicObjIterator it = m_Objects.GetIterator();
        const TGraphicObject* object = it.Search(id);
        if (!object)
            throw ECADListObjNotFound("TCADCmp.DeleteObject: No object found");
        node = object->TreeNode();
        scene = object->ViewNode();
        doomed = object;
    }
    // The views let go of it only when the list will free it.
    if (!m_Objects.IsBlocked())
        NotifyObjectDeleting(*doomed);
    // The list deletes first, so that a refusal leaves the tree node too.
    m_Objects.Delete(id);
    TSceneBuilder* builder = ViewServices().Scene;
    if (builder && scene != NoSceneNode)
        builder->RemoveNode(scene);
    if (m_TreeGeo && node != NoTreeNode)
        m_TreeGeo->DeleteGeoTreeNode(node);
    return true;
}

void TQV_01Cmp::DeleteAllObjects()
{
    if (m_Objects.IsBlocked())
        return;
    if (!m_Views.empty()) {
        TGraphicObjIterator it = m_Objects.GetIterator();
        for (const TGraphicObject* object = it.First(); object; object = it.Next())
            NotifyObjectDeleting(*object);
    }
    try {
        m_Objects.Clear();
    } catch (const ECADListBlocked&) {
        return;
    }
    m_NextObjectID = 0;
}

TQV_01Cmp::TTakenDrawing TQV_01Cmp::TakeDrawing()
{
    if (IsBlocked())
        throw ECADListBlocked("TQV_01Cmp.TakeDrawing: The lists have active iterators.");
    TTakenDrawing taken;
    taken.NextObjectID = m_NextObjectID;
    {
        TExclusiveGraphicObjIterator it = m_Objects.GetExclusiveIterator();
        while (it.First())
            taken.Objects.push_back(it.RemoveCurrent());
    }
    {
        TExclusiveGraphicObjIterator it = m_SourceBlocks.GetExclusiveIterator();
        TGraphicObject* object = it.First();
        while (object) {
            const auto* block = dynamic_cast<const TSourceBlock2D*>(object);
            if (!block || !block->Saved() || block->Library()) {
                object = it.Next();
                continue;
            }
            // Taking the tail makes its predecessor current, which was
            // already looked at.
            const bool wasTail = object == m_SourceBlocks.Tail();
            taken.SourceBlocks.push_back(it.RemoveCurrent());
            object = wasTail ? nullptr : it.Current();
        }
    }
    m_NextObjectID = 0;
    return taken;
}

void TQV_01Cmp::PutBackDrawing(TTakenDrawing&& taken)
{
    if (IsBlocked())
        throw ECADListBlocked("TQV_01Cmp.PutBackDrawing: The lists have active iterators.");
    m_Objects.Clear();
    DeleteSavedSourceBlocks();
    for (auto& block : taken.SourceBlocks)
        m_SourceBlocks.Add(std::move(block));
    for (auto& object : taken.Objects)
        m_Objects.Add(std::move(object));
    m_NextObjectID = taken.NextObjectID;
    taken = TTakenDrawing();
}

void TQV_01Cmp::DropTakenDrawing(TTakenDrawing&& taken)
{
    taken.Objects.clear();
    // Pass after pass: a block freed may leave another one unreferenced.
    std::vector<std::unique_ptr<TGraphicObject>>& blocks = taken.SourceBlocks;
    for (bool freed = true; freed;) {
        freed = false;
        for (auto it = blocks.begin(); it != blocks.end();) {
            const auto* block = dynamic_cast<const TSourceBlock2D*>(it->get());
            if (block && block->IsReferenced()) {
                ++it;
                continue;
            }
            it = blocks.erase(it);
            freed = true;
        }
    }
    if (!m_SourceBlocks.IsBlocked()) {
        for (auto& block : blocks)
            m_SourceBlocks.Add(std::move(block));
    }
    blocks.clear();
}

TSourceBlock2D* TQV_01Cmp::AddSourceBlockWithID(int32_t id, std::unique_ptr<TSourceBlock2D>&& block)
{
    if (!block)
        throw std::invalid_argument("TQV_01Cmp.AddSourceBlockWithID: null block");
    if (m_SourceBlocks.IsBlocked())
        throw ECADListBlocked("TGraphicObjList.Add: The list has active iterators.");
    int32_t given = id;
    int32_t next = m_NextSourceBlockID;
    if (id < 0) {
        if (m_NextSourceBlockID == std::numeric_limits<int32_t>::max())
            throw ECADOutOfBound("TQV_01Cmp.AddSourceBlockWithID: No free source block ID left");
        given = m_NextSourceBlockID;
        next = given + 1;
    } else if (id >= m_NextSourceBlockID) {
        next = id == std::numeric_limits<int32_t>::max() ? id : id + 1;
    }
    TSourceBlock2D* added = m_SourceBlocks.Add(std::move(block), given);
    m_NextSourceBlockID = next;
    added->SetOwner(this);
    added->SetLayer(static_cast<uint8_t>(m_CurrentLayer));
    added->UpdateBounds();
    return added;
}

TSourceBlock2D* TQV_01Cmp::GetSourceBlock(int32_t id)
{
    TGraphicObjIterator it = m_SourceBlocks.GetIterator();
    return dynamic_cast<TSourceBlock2D*>(it.Search(id));
}

void TQV_01Cmp::DeleteSourceBlock(int32_t id)
{
    const TSourceBlock2D* block = GetSourceBlock(id);
    if (!block)
        throw ECADListObjNotFound("TCADCmp.DeleteSourceBlock: No source block found");
    DeleteSourceBlockObject(*block);
}

void TQV_01Cmp::DeleteSourceBlockObject(const TSourceBlock2D& block)
{
    block.CheckNotReferenced();
    TExclusiveGraphicObjIterator it = m_SourceBlocks.GetExclusiveIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        if (object == &block) {
            it.DeleteCurrent();
            return;
        }
    }
    throw ECADListObjNotFound("TCADCmp.DeleteSourceBlock: No source block found");
}

void TQV_01Cmp::DeleteUnreferencedSourceBlocks(const std::function<bool(const TSourceBlock2D*)>& select)
{
    for (bool deleted = true; deleted;) {
        deleted = false;
        TExclusiveGraphicObjIterator it = m_SourceBlocks.GetExclusiveIterator();
        TGraphicObject* object = it.First();
        while (object) {
            const auto* block = dynamic_cast<const TSourceBlock2D*>(object);
            if ((block && block->IsReferenced()) || !select(block)) {
                object = it.Next();
                continue;
            }
            // Deleting the tail makes its predecessor current, which was
            // already looked at.
            const bool wasTail = object == m_SourceBlocks.Tail();
            it.DeleteCurrent();
            deleted = true;
            object = wasTail ? nullptr : it.Current();
        }
    }
}

void TQV_01Cmp::FreeSourceBlocks()
{
    DeleteUnreferencedSourceBlocks([](const TSourceBlock2D*) { return true; });
    if (m_SourceBlocks.Count() > 0)
        throw ECADSourceBlockIsReferenced("TCADCmp.FreeSourceBlocks: CADSys 4.0 Severe error\n\r"
                                          "The drawing contains circular reference of source blocks. They will be "
                                          "not deleted !");
}

void TQV_01Cmp::DeleteSavedSourceBlocks()
{
    DeleteUnreferencedSourceBlocks(
        [](const TSourceBlock2D* block) { return block && block->Saved() && !block->Library(); });
}

void TQV_01Cmp::DeleteLibraryBlocks()
{
    DeleteUnreferencedSourceBlocks([](const TSourceBlock2D* block) { return block && block->Library(); });
}

void TQV_01Cmp::SetCurrentLayer(int layer)
{
    if (layer < 0 || layer >= TQV_20Layers::LayerCount)
        throw ECADOutOfBound("TQV_01Cmp.SetCurrentLayer: Layer out of bounds (" + std::to_string(layer) + ")");
    m_CurrentLayer = layer;
}

TQV_01Cmp::TIDClaim TQV_01Cmp::ClaimObjectID(int32_t id) const
{
    if (id < 0) {
        if (m_NextObjectID > std::numeric_limits<int32_t>::max())
            throw ECADOutOfBound("TQV_01Cmp2D.AddObject: No free object ID left");
        return {static_cast<int32_t>(m_NextObjectID), m_NextObjectID + 1};
    }
    if (id >= m_NextObjectID)
        return {id, static_cast<int64_t>(id) + 1};
    return {id, m_NextObjectID};
}

void TQV_01Cmp2D::FinishAdd(const TIDClaim& claim, TObject2D& object, bool addToTree)
{
    CommitObjectID(claim);
    object.SetOwner(this);
    object.SetLayer(static_cast<uint8_t>(CurrentLayer()));
    object.UpdateBounds();
    if (PresentAdds())
        DrawObject(object);
    if (OnAddObject)
        OnAddObject(*this, object);
    if (addToTree && PresentAdds() && TreeGeo())
        TreeGeo()->AddObjectToGeoTree(m_Layers, object);
}

TObject2D* TQV_01Cmp2D::GetObject(int32_t id)
{
    return dynamic_cast<TObject2D*>(GetObjectByID(id));
}

TSourceBlock2D& TQV_01Cmp2D::FindSourceBlock(std::string_view name)
{
    const TBlockName wanted = CopyBlockName(name);
    TGraphicObjIterator it = m_SourceBlocks.GetIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        auto* block = dynamic_cast<TSourceBlock2D*>(object);
        if (block && block->Name() == wanted)
            return *block;
    }
    throw ECADListObjNotFound("TQV_01Cmp2D.FindSourceBlock: Source block " + std::string(name) + " not found");
}

void TQV_01Cmp2D::DeleteSourceBlock(std::string_view name)
{
    const TSourceBlock2D& block = FindSourceBlock(name);
    if (block.IsReferenced())
        throw ECADSysException("TQV_01Cmp2D.DeleteSourceBlock: Remove the references before the source");
    DeleteSourceBlockObject(block);
}

void TQV_01Cmp2D::TransformObjects(std::span<const int32_t> ids, const TMatrix4& transform)
{
    {
        TExclusiveGraphicObjIterator it = m_Objects.GetExclusiveIterator();
        auto apply = [&transform](TGraphicObject* found) {
            if (auto* object = dynamic_cast<TObject2D*>(found)) {
                object->Transform(transform);
                object->ApplyTransform();
            }
        };
        if (!ids.empty() && ids.front() < 0) {
            for (TGraphicObject* object = it.First(); object; object = it.Next())
                apply(object);
        } else {
            for (int32_t id : ids)
                if (TGraphicObject* object = it.Search(id))
                    apply(object);
        }
    }
    // The iterator is gone: rebuilding the views walks the objects again.
    if (RepaintAfterTransform())
        RepaintViewports();
}

std::optional<TRect2D> TQV_01Cmp2D::GetDrawingBounds()
{
    if (ObjectsCount() == 0)
        return std::nullopt;
    TRect2D rect = MakeRect2D(BoundsStart, BoundsStart, -BoundsStart, -BoundsStart);
    TGraphicObjIterator it = m_Objects.GetIterator();
    for (TGraphicObject* found = it.First(); found; found = it.Next()) {
        auto* object = dynamic_cast<TObject2D*>(found);
        if (!object || !object->Visible() || !m_Layers.GetLayer(object->Layer()).Visible())
            continue;
        // A box recomputed as it was tells the views nothing (they would
        // draw every object again after each fit to the drawing); a box that
        // did change is told as UpdateBounds tells it.
        const TRect2D before = object->Box();
        object->ComputeBounds();
        if (!SameRect(before, object->Box()))
            object->UpdateBounds();
        const TRect2D& box = object->Box();
        rect.FirstEdge.X = std::min(rect.FirstEdge.X, box.FirstEdge.X);
        rect.FirstEdge.Y = std::min(rect.FirstEdge.Y, box.FirstEdge.Y);
        rect.SecondEdge.X = std::max(rect.SecondEdge.X, box.SecondEdge.X);
        rect.SecondEdge.Y = std::max(rect.SecondEdge.Y, box.SecondEdge.Y);
    }
    return rect;
}

void TQV_01Cmp2D::MoveObjectToLayer(TObject2D& object, uint8_t layer)
{
    const TTreeNodeId oldNode = object.TreeNode();
    object.SetLayer(layer);
    if (TreeGeo() && oldNode != NoTreeNode)
        TreeGeo()->MoveGeoTreeNode(m_Layers, object, oldNode);
    // Drawn in the new layer's pen.
    if (object.ViewNode() != NoSceneNode)
        NotifyObjectChanged(object);
}

void ZoomToDrawing(TQV_01Cmp2D& document, TDocumentView& view)
{
    const std::optional<TRect2D> bounds = document.GetDrawingBounds();
    // Bounds still inverted: nothing is shown, so the view fits its default
    // window rather than a box of 2e8 units around the origin.
    if (!bounds || bounds->FirstEdge.X > bounds->SecondEdge.X || bounds->FirstEdge.Y > bounds->SecondEdge.Y) {
        view.ZoomToBox(FlatBox(view.DefaultWindow()));
        return;
    }
    // The heights of the shown solids and 3D lines, so that a slanted view
    // fits them whole.
    TBox3D box = FlatBox(*bounds);
    {
        TGraphicObjIterator it = document.ObjectsIterator();
        for (TGraphicObject* found = it.First(); found; found = it.Next()) {
            const auto* object = dynamic_cast<const TObject3D*>(found);
            if (!object || !object->Visible() || !document.Layers().GetLayer(object->Layer()).Visible())
                continue;
            const TBox3D& solid = object->Box3D();
            box.FirstEdge.Z = std::min({box.FirstEdge.Z, solid.FirstEdge.Z, solid.SecondEdge.Z});
            box.SecondEdge.Z = std::max({box.SecondEdge.Z, solid.FirstEdge.Z, solid.SecondEdge.Z});
        }
    }
    view.FitBox(box);
}

void RedrawAllObjects(TQV_01Cmp& document)
{
    TWorkMonitor& monitor = WorkMonitor();
    TBusySection busy(monitor);
    monitor.ProcessPendingPaint();
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        if (document.Layers().GetLayer(object->Layer()).Visible()) {
            document.DrawObject(*object);
            continue;
        }
        TSceneBuilder* scene = ViewServices().Scene;
        if (scene && object->ViewNode() != NoSceneNode)
            scene->RemoveNode(object->ViewNode());
        object->SetViewNode(NoSceneNode);
    }
}
