#include "app/mainwin/OperationsTreeEdit.h"

#include "app/machining/OperationOrder.h"
#include "app/mainwin/OperationsTree.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "core/settings/Language.h"

#include <QDropEvent>
#include <QLayout>
#include <QToolButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

// The tree's delegate, telling when an editor's text went into an item.
class TEditDelegate final : public QStyledItemDelegate {
public:
    TEditDelegate(QObject* parent, std::function<void(const QModelIndex&)> edited)
        : QStyledItemDelegate(parent), m_Edited(std::move(edited))
    {
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        QStyledItemDelegate::setModelData(editor, model, index);
        m_Edited(index);
    }

private:
    std::function<void(const QModelIndex&)> m_Edited;
};

} // namespace

TOperationsTreeEdit::TOperationsTreeEdit(QTreeWidget& tree, TOpManager& manager, std::function<void()> showHidePath)
    : QObject(&tree), m_Tree(tree), m_Manager(manager)
{
    // The tree starts dragging by itself; every drop is handled here.
    m_Tree.setDragEnabled(true);
    m_Tree.setAcceptDrops(true);
    m_Tree.setDragDropMode(QAbstractItemView::InternalMove);
    m_Tree.viewport()->installEventFilter(this);

    // Operation nodes can be edited in place (the tree's click decides when).
    connect(&m_Tree, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem* item) {
        if (TOperationsTreeView::Level(item) == 1)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
    });
    // Only the user's edits rename (the program's own captions change the
    // items too): the editor's text reaches the item through the delegate.
    m_Tree.setItemDelegate(new TEditDelegate(&m_Tree, [this](const QModelIndex& index) {
        GuardedCall([&] { Edited(m_Tree.itemFromIndex(index)); });
    }));

    m_sbtShowHidePath = new QToolButton(m_Tree.parentWidget());
    m_sbtShowHidePath->setObjectName(QStringLiteral("sbtShowHidePath"));
    m_sbtShowHidePath->setText(AnsiToQString(LangMainCaption("sbtShowHidePath")));
    if (QLayout* layout = m_Tree.parentWidget() ? m_Tree.parentWidget()->layout() : nullptr)
        layout->addWidget(m_sbtShowHidePath);
    connect(m_sbtShowHidePath, &QToolButton::clicked, this, [showHidePath = std::move(showHidePath)] {
        if (showHidePath)
            GuardedCall(showHidePath);
    });
}

void TOperationsTreeEdit::Edited(QTreeWidgetItem* item)
{
    if (TOperationsTreeView::Level(item) != 1)
        return;
    if (TOpManagerField* op = TOperationsTreeView::Operation(item))
        RenameOperation(*op, QStringToAnsi(item->text(0)));
}

bool TOperationsTreeEdit::DropOnto(QTreeWidgetItem* dragged, QTreeWidgetItem* target)
{
    if (TOperationsTreeView::Level(dragged) != 1 || TOperationsTreeView::Level(target) != 1)
        return false;
    QTreeWidgetItem* root = dragged->parent();
    const int from = root->indexOfChild(dragged);
    const int to = root->indexOfChild(target);
    if (target->parent() != root || from == to)
        return false;
    // The list first: it refuses what it cannot do, and the tree follows.
    if (!DropOperation(m_Manager, from, to))
        return false;
    const bool expanded = dragged->isExpanded();
    root->takeChild(from);
    root->insertChild(to, dragged);
    dragged->setExpanded(expanded);
    m_Tree.setCurrentItem(dragged);
    return true;
}

bool TOperationsTreeEdit::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        // Every drag over the tree is accepted.
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QTreeWidgetItem* target = m_Tree.itemAt(drop->position().toPoint());
        GuardedCall([&] { DropOnto(m_Tree.currentItem(), target); });
        // The tree's own drop would move items on its own.
        drop->setDropAction(Qt::IgnoreAction);
        drop->accept();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
