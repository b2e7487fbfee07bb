#include "cad/ui/GeoTreeView.h"

#include "cad/ui/AnsiText.h"
#include "core/model/GraphicObjList.h"
#include "core/model/GraphicObject.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"

#include <QHeaderView>

namespace {

constexpr int DataRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int NodeIdRole = Qt::UserRole + 2;

} // namespace

TGeoTreeView::TGeoTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName("TreeGeo");
    setColumnCount(1);
    header()->hide();
}

TTreeNodeId TGeoTreeView::AddNode(QTreeWidgetItem* parent, const TGeoTreeNode& node, int32_t data)
{
    auto* item = new QTreeWidgetItem();
    item->setText(0, AnsiToQString(node.Text));
    item->setData(0, DataRole, data);
    item->setData(0, ImageRole, node.Image);
    if (node.Image >= 0 && node.Image < static_cast<int>(m_Images.size()))
        item->setIcon(0, m_Images[node.Image]);
    const TTreeNodeId id = ++m_LastNode;
    item->setData(0, NodeIdRole, QVariant::fromValue<qulonglong>(id));
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    m_Items[id] = item;
    return id;
}

QTreeWidgetItem* TGeoTreeView::EnsureGeoTreeRoot()
{
    if (topLevelItemCount() == 0)
        AddNode(nullptr, GeoTreeRootNode(), 0);
    return topLevelItem(0);
}

TTreeNodeId TGeoTreeView::AddLayerNode(const std::string& layerName, int layerIndex)
{
    return AddNode(EnsureGeoTreeRoot(), GeoTreeLayerNode(layerName), layerIndex + 1);
}

TTreeNodeId TGeoTreeView::AddEntityNode(TTreeNodeId parent, TObject2D& object)
{
    QTreeWidgetItem* parentItem = Item(parent);
    const std::optional<TGeoTreeNode> node = GeoTreeEntityNode(object);
    if (!parentItem || !node)
        return NoTreeNode;
    const TTreeNodeId id = AddNode(parentItem, *node, object.ID());
    object.SetTreeNode(id);
    return id;
}

TTreeNodeId TGeoTreeView::LayerNode(TQV_20Layers& layers, int layer)
{
    TQV_21Layer& l = layers.GetLayer(layer);
    if (!Item(l.TreeNode()))
        l.SetTreeNode(AddLayerNode(l.Name(), layer));
    return l.TreeNode();
}

void TGeoTreeView::AddObjectToGeoTree(TQV_20Layers& layers, TObject2D& object)
{
    if (!GeoTreeEntityNode(object))
        return;
    AddEntityNode(LayerNode(layers, object.Layer()), object);
}

void TGeoTreeView::MoveGeoTreeNode(TQV_20Layers& layers, TObject2D& object, TTreeNodeId oldNode)
{
    QTreeWidgetItem* old = Item(oldNode);
    if (!old) {
        AddObjectToGeoTree(layers, object);
        return;
    }
    QTreeWidgetItem* parent = Item(LayerNode(layers, object.Layer()));
    const TGeoTreeNode node{QStringToAnsi(old->text(0)), NodeImage(old)};
    object.SetTreeNode(AddNode(parent, node, object.ID()));
    DeleteGeoTreeNode(oldNode);
}

void TGeoTreeView::Forget(QTreeWidgetItem* item)
{
    m_Items.erase(NodeId(item));
    for (int i = 0; i < item->childCount(); ++i)
        Forget(item->child(i));
}

void TGeoTreeView::DeleteGeoTreeNode(TTreeNodeId node)
{
    QTreeWidgetItem* item = Item(node);
    if (!item)
        return;
    Forget(item);
    delete item;
}

void TGeoTreeView::SetGeoTreeNodeText(TTreeNodeId node, const std::string& text)
{
    if (QTreeWidgetItem* item = Item(node))
        item->setText(0, AnsiToQString(text));
}

void TGeoTreeView::BeginUpdate()
{
    if (m_UpdateDepth++ == 0)
        setUpdatesEnabled(false);
}

void TGeoTreeView::EndUpdate()
{
    if (m_UpdateDepth == 0)
        return;
    if (--m_UpdateDepth == 0)
        setUpdatesEnabled(true);
}

void TGeoTreeView::clear()
{
    m_Items.clear();
    QTreeWidget::clear();
}

void TGeoTreeView::ClearGeoTree(TQV_20Layers& layers)
{
    clear();
    for (int layer = 0; layer < 256; ++layer)
        layers.GetLayer(layer).SetTreeNode(NoTreeNode);
}

void TGeoTreeView::RebuildGeoTree(TQV_01Cmp2D& document)
{
    BeginUpdate();
    ClearGeoTree(document.Layers());
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        auto* object2D = dynamic_cast<TObject2D*>(object);
        // Helper objects of the program (not saved, not pickable) have no
        // node, as when they were added.
        if (!object2D || (!object2D->Saved() && !object2D->Pickable()))
            continue;
        object2D->SetTreeNode(NoTreeNode);
        AddObjectToGeoTree(document.Layers(), *object2D);
    }
    EndUpdate();
}

QTreeWidgetItem* TGeoTreeView::Item(TTreeNodeId node) const
{
    const auto found = m_Items.find(node);
    return found == m_Items.end() ? nullptr : found->second;
}

TTreeNodeId TGeoTreeView::NodeId(const QTreeWidgetItem* item)
{
    return item ? item->data(0, NodeIdRole).value<qulonglong>() : NoTreeNode;
}

int TGeoTreeView::NodeLevel(const QTreeWidgetItem* item)
{
    int level = 0;
    for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

int32_t TGeoTreeView::NodeData(const QTreeWidgetItem* item)
{
    return item ? item->data(0, DataRole).toInt() : 0;
}

int TGeoTreeView::NodeImage(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ImageRole).toInt() : 0;
}

void TGeoTreeView::SetNodeImage(QTreeWidgetItem* item, int image)
{
    if (!item)
        return;
    item->setData(0, ImageRole, image);
    item->setIcon(0, image >= 0 && image < static_cast<int>(m_Images.size()) ? m_Images[image] : QIcon());
}

void TGeoTreeView::SetImages(std::vector<QIcon> images)
{
    m_Images = std::move(images);
    for (const auto& [id, item] : m_Items) {
        const int image = NodeImage(item);
        item->setIcon(0, image >= 0 && image < static_cast<int>(m_Images.size()) ? m_Images[image] : QIcon());
    }
}
