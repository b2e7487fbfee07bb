#pragma once
// What the operations tree adds to its own events: the in-place rename of
// an operation node (the text becomes the operation's comment), the drag
// and drop of an operation node onto another (the node and the operation
// list move alike, so the program follows the tree), and the button below
// the tree that shows or hides every toolpath.
//
// A drop on empty space, on the root, on a child node or on the dragged
// node itself changes nothing. Main thread only; the tree and the manager
// outlive the object.

#include <QObject>

#include <functional>

class QEvent;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TOpManager;

class TOperationsTreeEdit final : public QObject {
public:
    // Adds the show/hide button (sbtShowHidePath) below the tree, in its
    // parent's layout; showHidePath is its click.
    TOperationsTreeEdit(QTreeWidget& tree, TOpManager& manager, std::function<void()> showHidePath);

    // TreeCncDragDrop: the operation node dragged dropped onto target;
    // false when nothing changed.
    bool DropOnto(QTreeWidgetItem* dragged, QTreeWidgetItem* target);
    QToolButton& sbtShowHidePath() const { return *m_sbtShowHidePath; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TreeCncEdited: a node's text was edited in place.
    void Edited(QTreeWidgetItem* item);

    QTreeWidget& m_Tree;
    TOpManager& m_Manager;
    QToolButton* m_sbtShowHidePath = nullptr;
};
