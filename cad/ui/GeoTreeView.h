#pragma once
// TGeoTreeView: the entity tree of the geometry tab (TreeGeo). It follows
// the document through core/GeoTree.h: every added entity gets a node under
// the node of its layer, a deleted one loses it, a move to another layer
// moves it. Node texts and images are those of cad/GeoTreeNodes.h; each
// item carries its level's data (layer + 1, entity ID) and image index.
//
// Promises:
// - Node ids are handed out by the tree, never reused, and stored in the
//   layers and entities. An id the tree no longer has (a layer's node from
//   before ClearGeoTree, a node already deleted) is treated as none: a
//   layer node is made anew, a delete does nothing.
// - A layer node is made only for a layer that gets an entity node.
// - Main thread only.

#include "cad/panel/GeoTreeNodes.h"
#include "core/model/GeoTree.h"

#include <QIcon>
#include <QTreeWidget>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class TQV_01Cmp2D;

class TGeoTreeView : public QTreeWidget, public TGeoTree {
public:
    explicit TGeoTreeView(QWidget* parent = nullptr);

    void AddObjectToGeoTree(TQV_20Layers& layers, TObject2D& object) override;
    void MoveGeoTreeNode(TQV_20Layers& layers, TObject2D& object, TTreeNodeId oldNode) override;
    void DeleteGeoTreeNode(TTreeNodeId node) override;
    void SetGeoTreeNodeText(TTreeNodeId node, const std::string& text) override;
    // Nested; the tree repaints once when the outermost bracket ends.
    void BeginUpdate() override;
    void EndUpdate() override;

    // The root, added when the tree is empty.
    QTreeWidgetItem* EnsureGeoTreeRoot();
    // A layer node under the root (made first when missing).
    TTreeNodeId AddLayerNode(const std::string& layerName, int layerIndex);
    // The entity's node under parent, stored in the entity; NoTreeNode (and
    // nothing stored) for a class the tree does not list or an unknown
    // parent.
    TTreeNodeId AddEntityNode(TTreeNodeId parent, TObject2D& object);

    // Empties the tree. It hides QTreeWidget::clear, which would leave the
    // node ids pointing at deleted items.
    void clear();
    // Empties the tree and forgets the layers' nodes (a new drawing).
    void ClearGeoTree(TQV_20Layers& layers);
    // ClearGeoTree, then a node for every entity of the document in order.
    void RebuildGeoTree(TQV_01Cmp2D& document);

    // The item of a node id; null when the tree has none.
    QTreeWidgetItem* Item(TTreeNodeId node) const;
    static TTreeNodeId NodeId(const QTreeWidgetItem* item);
    // 0 the root, 1 a layer, 2 an entity.
    static int NodeLevel(const QTreeWidgetItem* item);
    // Layer + 1 on a layer node, the entity's ID on an entity node, 0 on
    // the root.
    static int32_t NodeData(const QTreeWidgetItem* item);
    static int NodeImage(const QTreeWidgetItem* item);
    // Shows another image on the node (a layer switched off or on).
    void SetNodeImage(QTreeWidgetItem* item, int image);

    // The icons the image indexes stand for (the main window's image list).
    void SetImages(std::vector<QIcon> images);

private:
    // The text of a node: entities of one class share one string, so the
    // nodes of a large drawing do not each convert and hold their own copy.
    QString NodeText(const std::string& text);
    // A node with a new id, known to Item, not yet in the tree.
    QTreeWidgetItem* NewItem(const TGeoTreeNode& node, int32_t data);
    TTreeNodeId AddNode(QTreeWidgetItem* parent, const TGeoTreeNode& node, int32_t data);
    TTreeNodeId LayerNode(TQV_20Layers& layers, int layer);
    // Forgets the ids of the item and of everything below it.
    void Forget(QTreeWidgetItem* item);

    std::unordered_map<TTreeNodeId, QTreeWidgetItem*> m_Items;
    TTreeNodeId m_LastNode = NoTreeNode;
    int m_UpdateDepth = 0;
    std::vector<QIcon> m_Images;
    // Node texts converted so far (the first few distinct ones).
    static constexpr size_t MaxSharedTexts = 32;
    std::vector<std::pair<std::string, QString>> m_Texts;
};
