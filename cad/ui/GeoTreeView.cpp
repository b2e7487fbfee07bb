#include "cad/ui/GeoTreeView.h"

#include "cad/ui/AnsiText.h"
#include "core/model/GraphicObjList.h"
#include "core/model/GraphicObject.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"

#include <QHeaderView>
#include <QList>

#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int DataRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int NodeIdRole = Qt::UserRole + 2;

// A node of the tree: its text, icon and the roles above are members rather
// than entries of the item's role list, so that a node costs the item and
// its text (a drawing of many entities fills the tree with one each).
class TGeoTreeItem final : public QTreeWidgetItem {
public:
    TGeoTreeItem(QString text, int image, int32_t data, QIcon icon, TTreeNodeId id)
        : QTreeWidgetItem(UserType), m_Text(std::move(text)), m_Icon(std::move(icon)), m_Data(data), m_Image(image),
          m_Id(id)
    {
    }

    QVariant data(int column, int role) const override
    {
        if (column != 0)
            return QTreeWidgetItem::data(column, role);
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_Text;
        case Qt::DecorationRole:
            return m_Icon.isNull() ? QVariant() : QVariant(m_Icon);
        case DataRole:
            return m_Data;
        case ImageRole:
            return m_Image;
        case NodeIdRole:
            return QVariant::fromValue<qulonglong>(m_Id);
        default:
            return QTreeWidgetItem::data(column, role);
        }
    }

    void setData(int column, int role, const QVariant& value) override
    {
        if (column != 0) {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            m_Text = value.toString();
            break;
        case Qt::DecorationRole:
            m_Icon = value.value<QIcon>();
            break;
        case DataRole:
            m_Data = value.toInt();
            break;
        case ImageRole:
            m_Image = value.toInt();
            break;
        case NodeIdRole:
            m_Id = value.value<qulonglong>();
            break;
        default:
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        emitDataChanged();
    }

private:
    QString m_Text;
    QIcon m_Icon;
    int32_t m_Data;
    int m_Image;
    TTreeNodeId m_Id;
};

} // namespace

TGeoTreeView::TGeoTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName("TreeGeo");
    setColumnCount(1);
    header()->hide();
}

QTreeWidgetItem* TGeoTreeView::NewItem(const TGeoTreeNode& node, int32_t data)
{
    const bool hasImage = node.Image >= 0 && node.Image < static_cast<int>(m_Images.size());
    const TTreeNodeId id = ++m_LastNode;
    auto* item = new TGeoTreeItem(NodeText(node.Text), node.Image, data, hasImage ? m_Images[node.Image] : QIcon(), id);
    m_Items[id] = item;
    return item;
}

QString TGeoTreeView::NodeText(const std::string& text)
{
    for (const auto& [ansi, shared] : m_Texts) {
        if (ansi == text)
            return shared;
    }
    QString converted = AnsiToQString(text);
    if (m_Texts.size() < MaxSharedTexts)
        m_Texts.emplace_back(text, converted);
    return converted;
}

TTreeNodeId TGeoTreeView::AddNode(QTreeWidgetItem* parent, const TGeoTreeNode& node, int32_t data)
{
    QTreeWidgetItem* item = NewItem(node, data);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return NodeId(item);
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
    TQV_20Layers& layers = document.Layers();
    ClearGeoTree(layers);
    // Each layer's entity nodes join their layer node at once, in the
    // document's order (one insertion into the tree's model per layer).
    std::vector<std::pair<QTreeWidgetItem*, QList<QTreeWidgetItem*>>> waiting(TQV_20Layers::LayerCount);
    m_Items.reserve(static_cast<size_t>(document.ObjectsCount()) + TQV_20Layers::LayerCount + 1);
    try {
        TGraphicObjIterator it = document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            auto* object2D = dynamic_cast<TObject2D*>(object);
            // Helper objects of the program (not saved, not pickable) have
            // no node, as when they were added.
            if (!object2D || (!object2D->Saved() && !object2D->Pickable()))
                continue;
            object2D->SetTreeNode(NoTreeNode);
            const std::optional<TGeoTreeNode> node = GeoTreeEntityNode(*object2D);
            if (!node)
                continue;
            auto& [layerItem, children] = waiting[object2D->Layer()];
            if (!layerItem)
                layerItem = Item(LayerNode(layers, object2D->Layer()));
            QTreeWidgetItem* item = NewItem(*node, object2D->ID());
            object2D->SetTreeNode(NodeId(item));
            children.push_back(item);
        }
    } catch (...) {
        for (auto& [layerItem, children] : waiting) {
            for (QTreeWidgetItem* item : children) {
                Forget(item);
                delete item;
            }
        }
        EndUpdate();
        throw;
    }
    for (auto& [layerItem, children] : waiting) {
        if (layerItem)
            layerItem->addChildren(children);
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
