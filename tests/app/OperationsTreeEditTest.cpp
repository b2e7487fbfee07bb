// The operations tree's own editing (offscreen): drops reorder the nodes and
// the list alike, an in-place edit renames, the program's captions do not,
// and the show/hide button.

#include "app/mainwin/OperationsTree.h"
#include "app/mainwin/OperationsTreeEdit.h"

#include "cam/ops/OpManager.h"
#include "core/settings/Language.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct OperationsTreeEditTest : ::testing::Test {
    OperationsTreeEditTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        auto* layout = new QVBoxLayout(&Tab);
        Tree = new QTreeWidget(&Tab);
        layout->addWidget(Tree);
        View = std::make_unique<TOperationsTreeView>(*Tree);
        Manager.InitTree(*View);
        for (const char* name : {"A", "B", "C", "D"}) {
            auto op = std::make_unique<TOpManagerField>(1);
            op->Comment = name;
            AddOperationNode(*View, *Manager.AddOperation(std::move(op)));
        }
        Edit = new TOperationsTreeEdit(*Tree, Manager, [this] { ++Toggles; });
        Tree->topLevelItem(0)->setExpanded(true);
        Tab.resize(300, 400);
        Tab.show();
        QApplication::processEvents();
    }
    ~OperationsTreeEditTest() override
    {
        Manager.DeleteAll();
        SetLanguageIni(nullptr);
    }
    QTreeWidgetItem* Node(int i) const { return Tree->topLevelItem(0)->child(i); }
    std::string ListOrder() const
    {
        std::string order;
        for (int i = 0; i < Manager.Count(); ++i)
            order += const_cast<TOpManager&>(Manager).Operation(i).Comment;
        return order;
    }
    std::string TreeOrder() const
    {
        std::string order;
        for (int i = 0; i < Tree->topLevelItem(0)->childCount(); ++i)
            order += TOperationsTreeView::Operation(Node(i))->Comment;
        return order;
    }
    // A drag entering the tree and dropped at the middle of target's row,
    // through the viewport's event path.
    void DropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target)
    {
        Tree->setCurrentItem(dragged);
        const QPoint at = target ? Tree->visualItemRect(target).center() : QPoint(5, Tree->viewport()->height() - 3);
        QMimeData data;
        // A drop goes to the widget that took the drag's entry.
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Tree->viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Tree->viewport(), &drop);
    }

    QWidget Tab;
    QTreeWidget* Tree = nullptr;
    std::unique_ptr<TOperationsTreeView> View;
    TOpManager Manager;
    TOperationsTreeEdit* Edit = nullptr;
    int Toggles = 0;
};

TEST_F(OperationsTreeEditTest, DropsMoveTheNodeAndTheOperation)
{
    struct TCase {
        int From, To;
        const char* Order;
    };
    const TCase cases[] = {{1, 2, "ACBD"}, {1, 3, "ACDB"}, {3, 1, "ADBC"}, {2, 2, "ABCD"}};
    for (const TCase& c : cases) {
        // Back to A, B, C, D.
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if (TOperationsTreeView::Operation(Node(j))->Comment == std::string(1, char('A' + i)))
                    Edit->DropOnto(Node(j), Node(i));
        ASSERT_EQ(TreeOrder(), "ABCD");
        const int children = Node(c.From)->childCount();
        DropOn(Node(c.From), Node(c.To));
        EXPECT_EQ(TreeOrder(), c.Order) << c.From << " onto " << c.To;
        EXPECT_EQ(ListOrder(), c.Order);
        EXPECT_EQ(Node(c.To)->childCount(), children) << "the node keeps its parameters and toolpath";
    }
    // Onto empty space, the root or a child node: nothing.
    DropOn(Node(0), nullptr);
    DropOn(Node(0), Tree->topLevelItem(0));
    DropOn(Node(0), Node(2)->child(1));
    DropOn(Node(0)->child(0), Node(2));
    EXPECT_EQ(TreeOrder(), "ABCD");
    EXPECT_EQ(ListOrder(), "ABCD");
}

TEST_F(OperationsTreeEditTest, InPlaceEditRenamesTheOperation)
{
    QTreeWidgetItem* second = Node(1);
    Tree->setCurrentItem(second);
    Tree->editItem(second);
    auto* editor = Tree->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "finishing");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on the next turn
    EXPECT_EQ(Manager.Operation(1).Comment, "finishing");
    EXPECT_NE(OperationCaption(Manager.Operation(1)).find("finishing"), std::string::npos);

    // The program's own captions rename nothing.
    UpdateOperationNode(*View, Manager.Operation(2));
    second->setText(0, "typed by code");
    EXPECT_EQ(Manager.Operation(2).Comment, "C");
    EXPECT_EQ(Manager.Operation(1).Comment, "finishing");

    QTest::mouseClick(&Edit->sbtShowHidePath(), Qt::LeftButton);
    EXPECT_EQ(Toggles, 1);
}

} // namespace
