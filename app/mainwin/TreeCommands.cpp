#include "app/mainwin/TreeCommands.h"

#include "app/mainwin/ImageLists.h"
#include "cad/program/EventGuard.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/GeoTreeView.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidgetItemIterator>

#include <span>

namespace {

constexpr int RootLevel = 0;
constexpr int LayerLevel = 1;
constexpr int EntityLevel = 2;

} // namespace

TTreeCommands::TTreeCommands(QWidget& owner, TGeoTreeView& tree, TQV_01Cmp2D& document, TQVScene& scene)
    : QObject(&owner), m_Tree(tree), m_Document(document), m_Scene(scene)
{
    m_PopupTreeGeo = new QMenu(&owner);
    m_PopupTreeGeo->setObjectName(QStringLiteral("PopupTreeGeo"));
    m_mnuLayerDialog = AddItem("mnuLayerDialog", 22, nullptr);
    connect(m_mnuLayerDialog, &QAction::triggered, this, [this] {
        if (OpenLayerDialog)
            OpenLayerDialog();
    });
    m_mnuLayerOnOff = AddItem("mnuLayerOnOff", 21, &TTreeCommands::mnuLayerOnOffClick);
    m_mnuLayerHide = AddItem("mnuLayerHide", 23, &TTreeCommands::mnuLayerHideClick);
    m_mnuLayerShow = AddItem("mnuLayerShow", 20, &TTreeCommands::mnuLayerShowClick);
    m_mnuGeoDelete = AddItem("mnuGeoDelete", 28, &TTreeCommands::mnuGeoDeleteClick);

    m_Tree.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_Tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { TreeGeoContextPopup(position); });
    connect(&m_Tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { TreeGeoClick(item); });
}

QAction* TTreeCommands::AddItem(const char* name, int image, void (TTreeCommands::*handler)())
{
    QAction* action = m_PopupTreeGeo->addAction(QString::fromLatin1(name));
    action->setObjectName(QString::fromLatin1(name));
    SetImage(*action, TImageList::File, image);
    if (handler)
        connect(action, &QAction::triggered, this, [this, handler] { GuardedCall([&] { (this->*handler)(); }); });
    return action;
}

QTreeWidgetItem* TTreeCommands::SelectedLayerNode() const
{
    return m_SelectedLayerNode == NoTreeNode ? nullptr : m_Tree.Item(m_SelectedLayerNode);
}

void TTreeCommands::TreeGeoClick(QTreeWidgetItem* item)
{
    // The entity node's properties are the panel's own click (cad/ui/InfoEdit.h).
    if (!item)
        return;
    m_SelectedLayerNode = TGeoTreeView::NodeLevel(item) == LayerLevel ? TGeoTreeView::NodeId(item) : NoTreeNode;
}

bool TTreeCommands::TreeGeoContextPopup(const QPoint& position, bool show)
{
    QTreeWidgetItem* item = m_Tree.itemAt(position);
    if (!item || TGeoTreeView::NodeLevel(item) == RootLevel)
        return false;
    m_SelectedLayerNode = NoTreeNode;
    m_Tree.setCurrentItem(item);
    const bool layer = TGeoTreeView::NodeLevel(item) == LayerLevel;
    for (QAction* layerItem : {m_mnuLayerDialog, m_mnuLayerOnOff, m_mnuLayerHide, m_mnuLayerShow})
        layerItem->setVisible(layer);
    m_mnuGeoDelete->setVisible(!layer);
    if (layer)
        m_SelectedLayerNode = TGeoTreeView::NodeId(item);
    if (show)
        m_PopupTreeGeo->popup(m_Tree.viewport()->mapToGlobal(position));
    return true;
}

std::vector<QTreeWidgetItem*> TTreeCommands::LayerNodes() const
{
    std::vector<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(&m_Tree); *it; ++it) {
        if (TGeoTreeView::NodeLevel(*it) == LayerLevel)
            nodes.push_back(*it);
    }
    return nodes;
}

void TTreeCommands::ShowLayerState(QTreeWidgetItem* node, bool visible)
{
    const int layer = TGeoTreeView::NodeData(node) - 1;
    if (layer < 0 || layer > 255)
        return;
    m_Document.Layers().GetLayer(layer).SetVisible(visible ? 1 : 0);
    m_Tree.SetNodeImage(node, visible ? VisibleLayerImage : HiddenLayerImage);
}

void TTreeCommands::mnuLayerOnOffClick()
{
    QTreeWidgetItem* selected = SelectedLayerNode();
    if (!selected)
        return;
    const int layer = TGeoTreeView::NodeData(selected) - 1;
    if (layer < 0 || layer > 255)
        return;
    ShowLayerState(selected, m_Document.Layers().GetLayer(layer).Visible() == 0);
    m_Document.RepaintViewports();
}

void TTreeCommands::mnuLayerHideClick()
{
    QTreeWidgetItem* selected = SelectedLayerNode();
    if (!selected)
        return;
    for (QTreeWidgetItem* node : LayerNodes())
        ShowLayerState(node, node == selected);
    m_Document.RepaintViewports();
}

void TTreeCommands::mnuLayerShowClick()
{
    if (!SelectedLayerNode())
        return;
    for (QTreeWidgetItem* node : LayerNodes())
        ShowLayerState(node, true);
    m_Document.RepaintViewports();
}

void TTreeCommands::mnuGeoDeleteClick()
{
    QTreeWidgetItem* item = m_Tree.currentItem();
    if (!item || TGeoTreeView::NodeLevel(item) != EntityLevel)
        return;
    const int32_t id = TGeoTreeView::NodeData(item);
    m_Scene.ClearOverlay();
    if (!m_Document.GetObject(id))
        return;
    if (UndoJournal())
        UndoJournal()->AddUndo(TUndoKind::Delete, {id});
    m_Document.DeleteObject(id);
    m_Document.RefreshViewports(std::span(&id, 1));
}
