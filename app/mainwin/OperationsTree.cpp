#include "app/mainwin/OperationsTree.h"

#include "app/mainwin/ImageLists.h"
#include "cad/ui/AnsiText.h"

#include <QTreeWidget>

namespace {

constexpr int OperationRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;

bool Contains(const QTreeWidgetItem* parent, const QTreeWidgetItem* wanted)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        if (child == wanted || Contains(child, wanted))
            return true;
    }
    return false;
}

} // namespace

QTreeWidgetItem* TOperationsTreeView::Item(TOpTreeNode node) const
{
    if (node == NoOpTreeNode)
        return nullptr;
    auto* wanted = reinterpret_cast<QTreeWidgetItem*>(static_cast<uintptr_t>(node));
    return Contains(m_Tree.invisibleRootItem(), wanted) ? wanted : nullptr;
}

TOpTreeNode TOperationsTreeView::Node(const QTreeWidgetItem* item)
{
    return static_cast<TOpTreeNode>(reinterpret_cast<uintptr_t>(item));
}

int TOperationsTreeView::Level(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    int level = 0;
    for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        ++level;
    return level;
}

TOpManagerField* TOperationsTreeView::Operation(const QTreeWidgetItem* item)
{
    const int level = Level(item);
    if (level == 2)
        item = item->parent();
    else if (level != 1)
        return nullptr;
    return static_cast<TOpManagerField*>(item->data(0, OperationRole).value<void*>());
}

int TOperationsTreeView::Image(const QTreeWidgetItem* item)
{
    const QVariant image = item ? item->data(0, ImageRole) : QVariant();
    return image.isValid() ? image.toInt() : -1;
}

TOpTreeNode TOperationsTreeView::Root() const
{
    return m_Tree.topLevelItemCount() > 0 ? Node(m_Tree.topLevelItem(0)) : NoOpTreeNode;
}

TOpTreeNode TOperationsTreeView::AddRoot(const std::string& text)
{
    auto* item = new QTreeWidgetItem(&m_Tree, QStringList(AnsiToQString(text)));
    return Node(item);
}

TOpTreeNode TOperationsTreeView::AddChild(TOpTreeNode parent, const std::string& text, TOpManagerField* data)
{
    QTreeWidgetItem* owner = Item(parent);
    if (!owner)
        return NoOpTreeNode;
    auto* item = new QTreeWidgetItem(owner, QStringList(AnsiToQString(text)));
    item->setData(0, OperationRole, QVariant::fromValue(static_cast<void*>(data)));
    return Node(item);
}

TOpTreeNode TOperationsTreeView::Child(TOpTreeNode node, int index) const
{
    QTreeWidgetItem* item = Item(node);
    if (!item || index < 0 || index >= item->childCount())
        return NoOpTreeNode;
    return Node(item->child(index));
}

void TOperationsTreeView::SetText(TOpTreeNode node, const std::string& text)
{
    if (QTreeWidgetItem* item = Item(node))
        item->setText(0, AnsiToQString(text));
}

void TOperationsTreeView::SetImage(TOpTreeNode node, int image)
{
    if (QTreeWidgetItem* item = Item(node)) {
        item->setData(0, ImageRole, image);
        item->setIcon(0, ListImage(TImageList::Cnc, image));
    }
}

void TOperationsTreeView::Expand(TOpTreeNode node, bool recursive)
{
    QTreeWidgetItem* item = Item(node);
    if (!item)
        return;
    if (recursive)
        m_Tree.expandRecursively(m_Tree.indexFromItem(item));
    else
        item->setExpanded(true);
}

void TOperationsTreeView::Collapse(TOpTreeNode node)
{
    if (QTreeWidgetItem* item = Item(node))
        item->setExpanded(false);
}
