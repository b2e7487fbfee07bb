#pragma once
// TreeCnc: the main window's operations tree on the CNC tab, as the
// operations fill it (cam/ops/OperationServices.h). A node is its tree
// item; a node that is no longer in the tree is none. Images come from the
// Cnc image list. Main thread only.

#include "cam/ops/OperationServices.h"

class QTreeWidget;
class QTreeWidgetItem;
class TOpManagerField;

class TOperationsTreeView final : public TOperationsTree {
public:
    explicit TOperationsTreeView(QTreeWidget& tree) : m_Tree(tree) {}

    TOpTreeNode Root() const override;
    TOpTreeNode AddRoot(const std::string& text) override;
    TOpTreeNode AddChild(TOpTreeNode parent, const std::string& text, TOpManagerField* data) override;
    TOpTreeNode Child(TOpTreeNode node, int index) const override;
    void SetText(TOpTreeNode node, const std::string& text) override;
    void SetImage(TOpTreeNode node, int image) override;
    void Expand(TOpTreeNode node, bool recursive) override;
    void Collapse(TOpTreeNode node) override;

    QTreeWidget& Widget() const { return m_Tree; }
    // The item of a node still in the tree, or null.
    QTreeWidgetItem* Item(TOpTreeNode node) const;
    static TOpTreeNode Node(const QTreeWidgetItem* item);
    // 0 root, 1 operation, 2 its children; -1 for none.
    static int Level(const QTreeWidgetItem* item);
    // The operation an item carries (an operation node's, or its parent's
    // for a child); null for the root or none.
    static TOpManagerField* Operation(const QTreeWidgetItem* item);
    // The image last set on an item; -1 when none was.
    static int Image(const QTreeWidgetItem* item);

private:
    QTreeWidget& m_Tree;
};
