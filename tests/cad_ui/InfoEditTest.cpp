#include "cad/ui/InfoEdit.h"

#include "cad/ui/AnsiText.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/PanelFixture.h"
#include "tests/support/RecordingNotifier.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TPoint2D P(double x, double y)
{
    return TPoint2D{x, y, 1.0};
}

// The tree as indented lines: text, node data and image of every node.
void Describe(const QTreeWidgetItem* item, int depth, std::vector<std::string>& lines)
{
    lines.push_back(std::string(2 * depth, ' ') + QStringToAnsi(item->text(0)) + " [" +
                    std::to_string(TGeoTreeView::NodeData(item)) + "/" + std::to_string(TGeoTreeView::NodeImage(item)) +
                    "]");
    for (int i = 0; i < item->childCount(); ++i)
        Describe(item->child(i), depth + 1, lines);
}

std::vector<std::string> Describe(const QTreeWidget& tree)
{
    std::vector<std::string> lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        Describe(tree.topLevelItem(i), 0, lines);
    return lines;
}

std::string Id(const TObject2D* object)
{
    return std::to_string(object->ID());
}

std::vector<std::string> Column(const QTableWidget& grid, int col)
{
    std::vector<std::string> texts;
    for (int row = 0; row < grid.rowCount(); ++row)
        texts.push_back(grid.item(row, col) ? QStringToAnsi(grid.item(row, col)->text()) : "?");
    return texts;
}

class InfoEditTest : public ::testing::Test {
protected:
    InfoEditTest() { Edit.ConnectUndoJournal(&Drawing.Journal); }

    void ClickNode(TObject2D& object)
    {
        QTreeWidgetItem* item = Edit.TreeGeo().Item(object.TreeNode());
        ASSERT_NE(item, nullptr);
        emit Edit.TreeGeo().itemClicked(item, 0);
    }
    void Type(int row, int col, const char* text) { Edit.Grid().item(row, col)->setText(text); }

    kbtest::TPanelDrawing Drawing;
    TInfoEdit Edit{true};
};

// The tree lists layers and entities and follows adds, deletes, moves to
// another layer and their undo.
TEST_F(InfoEditTest, TreeFollowsTheDrawing)
{
    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(1, 0)), 5);
    auto* point = Drawing.Add(std::make_unique<TPunto2D>(-1, P(1, 1)), 2);
    auto* arc = Drawing.Add(std::make_unique<TArco2D>(-1, P(0, 0), P(1, 0), 0.0, 1.0), 5);
    Edit.SetDocument(&Drawing.Doc);
    EXPECT_EQ(Describe(Edit.TreeGeo()), (std::vector<std::string>{
                                            "Drawing [0/0]",
                                            "  Layer: Layer_5 [6/1]",
                                            "    Line [" + Id(line) + "/3]",
                                            "    Arc [" + Id(arc) + "/5]",
                                            "  Layer: Layer_2 [3/1]",
                                            "    Point [" + Id(point) + "/2]",
                                        }));

    auto* circle = Drawing.Add(std::make_unique<TCerchio2D>(-1, P(0, 0), P(1, 0)), 7);
    const int32_t lineId = line->ID();
    ASSERT_TRUE(Drawing.Journal.AddUndo(TUndoKind::Delete, {lineId}));
    Drawing.Doc.DeleteObject(lineId);
    ASSERT_TRUE(Drawing.Journal.AddUndo(TUndoKind::MoveToLayer, {arc->ID(), arc->Layer()}));
    Drawing.Doc.MoveObjectToLayer(*arc, 2);
    EXPECT_EQ(Describe(Edit.TreeGeo()), (std::vector<std::string>{
                                            "Drawing [0/0]",
                                            "  Layer: Layer_5 [6/1]",
                                            "  Layer: Layer_2 [3/1]",
                                            "    Point [" + Id(point) + "/2]",
                                            "    Arc [" + Id(arc) + "/5]",
                                            "  Layer: Layer_7 [8/1]",
                                            "    Circle [" + Id(circle) + "/6]",
                                        }));

    Drawing.Journal.Undo();
    Drawing.Journal.Undo();
    EXPECT_EQ(Describe(Edit.TreeGeo()), (std::vector<std::string>{
                                            "Drawing [0/0]",
                                            "  Layer: Layer_5 [6/1]",
                                            "    Arc [" + Id(arc) + "/5]",
                                            "    Line [" + std::to_string(lineId) + "/3]",
                                            "  Layer: Layer_2 [3/1]",
                                            "    Point [" + Id(point) + "/2]",
                                            "  Layer: Layer_7 [8/1]",
                                            "    Circle [" + Id(circle) + "/6]",
                                        }));
    // A node id the tree has forgotten is a no-op to delete; a cleared tree
    // makes its layer nodes anew.
    Edit.TreeGeo().DeleteGeoTreeNode(9999);
    Edit.ClearGeoTree();
    Drawing.Add(std::make_unique<TPunto2D>(-1, P(2, 2)), 5);
    EXPECT_EQ(Describe(Edit.TreeGeo()).size(), 3u);
}

// A rebuilt tree of many entities: each entity's stored node is its item,
// under its layer, in the document's order; the items' texts, images and
// data change as the tree's calls change them.
TEST_F(InfoEditTest, RebuiltTreeGivesEveryEntityItsOwnNode)
{
    std::vector<TObject2D*> objects;
    for (int i = 0; i < 300; ++i)
        objects.push_back(Drawing.Add(std::make_unique<TLine2D>(-1, P(i, 0), P(i, 1)), (i * 7) % 3));
    Edit.SetDocument(&Drawing.Doc);
    TGeoTreeView& tree = Edit.TreeGeo();
    std::vector<int> nextRow(3, 0);
    for (TObject2D* object : objects) {
        QTreeWidgetItem* item = tree.Item(object->TreeNode());
        ASSERT_NE(item, nullptr) << object->ID();
        EXPECT_EQ(TGeoTreeView::NodeData(item), object->ID());
        EXPECT_EQ(TGeoTreeView::NodeId(item), object->TreeNode());
        EXPECT_EQ(TGeoTreeView::NodeLevel(item), 2);
        EXPECT_EQ(TGeoTreeView::NodeData(item->parent()), object->Layer() + 1);
        EXPECT_EQ(item->parent()->indexOfChild(item), nextRow[object->Layer()]++);
        EXPECT_EQ(QStringToAnsi(item->text(0)), "Line");
    }

    QTreeWidgetItem* first = tree.Item(objects[0]->TreeNode());
    tree.SetGeoTreeNodeText(objects[0]->TreeNode(), "Renamed");
    tree.SetNodeImage(first, 5);
    EXPECT_EQ(QStringToAnsi(first->text(0)), "Renamed");
    // The other nodes of the class keep their own text.
    EXPECT_EQ(QStringToAnsi(tree.Item(objects[3]->TreeNode())->text(0)), "Line");
    EXPECT_EQ(TGeoTreeView::NodeImage(first), 5);
    EXPECT_EQ(TGeoTreeView::NodeData(first), objects[0]->ID());
    Drawing.Doc.DeleteObject(objects[1]->ID());
    Drawing.Doc.MoveObjectToLayer(*objects[0], 2);
    first = tree.Item(objects[0]->TreeNode());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QStringToAnsi(first->text(0)), "Renamed");
    EXPECT_EQ(TGeoTreeView::NodeImage(first), 5);
    EXPECT_EQ(TGeoTreeView::NodeData(first->parent()), 3);
    int entities = 0;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        entities += TGeoTreeView::NodeLevel(*it) == 2 ? 1 : 0;
    EXPECT_EQ(entities, 299);
}

TEST_F(InfoEditTest, EntityPageFromTheTreeIsEditedAppliedAndUndone)
{
    kbtest::TRecordingWorkMonitor monitor;
    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)), 1);
    Edit.SetDocument(&Drawing.Doc);
    TObject2D* selected = nullptr;
    Edit.OnObjectSelected = [&](TObject2D& object) { selected = &object; };
    Edit.SetCommandPage(InfoEditPage::Line); // read-only until the click
    ClickNode(*line);

    EXPECT_EQ(selected, line);
    QTableWidget& grid = Edit.Grid();
    EXPECT_EQ(QStringToAnsi(Edit.GroupBox().title()), "Line");
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(QStringToAnsi(grid.verticalHeaderItem(1)->text()), "End point");
    EXPECT_EQ(QStringToAnsi(grid.horizontalHeaderItem(1)->text()), "Y");
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"0", "10"}));
    EXPECT_NE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(grid.item(1, 0)->flags() & Qt::ItemIsEditable);
    ASSERT_EQ(Edit.Buttons().size(), 1u);
    EXPECT_EQ(QStringToAnsi(Edit.Buttons()[0]->text()), "Apply");

    Type(1, 0, "20");
    Edit.Buttons()[0]->click();
    EXPECT_EQ(line->Points().Get(1).X, 20.0);
    ASSERT_EQ(Drawing.Journal.Steps().size(), 1u);
    EXPECT_EQ(Drawing.Journal.Steps()[0].Kind, TUndoKind::NodeEdit);
    EXPECT_EQ(monitor.StatusMessages, (std::vector<std::string>{""}));

    Drawing.Journal.Undo();
    EXPECT_EQ(line->Points().Get(1).X, 10.0);
    EXPECT_TRUE(Edit.GroupBox().isHidden());
}

TEST_F(InfoEditTest, ApplyWithUnreadableCellShowsTheErrorAndKeepsTheEntity)
{
    kbtest::TRecordingNotifier notifier;
    auto* circle = Drawing.Add(std::make_unique<TCerchio2D>(-1, P(0, 0), P(5, 0)));
    Edit.SetDocument(&Drawing.Doc);
    ClickNode(*circle);
    Type(1, 0, "five");
    Edit.Buttons().back()->click();
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_NE(notifier.Messages()[0].Text.find("'five'"), std::string::npos);
    EXPECT_EQ(circle->Points().Get(1).X, 5.0);
    EXPECT_TRUE(Drawing.Journal.Steps().empty());
}

TEST_F(InfoEditTest, CommandPagesShowValuesAndReadouts)
{
    QTabWidget tabs;
    tabs.addTab(new QWidget, "Geometry");
    tabs.addTab(new QWidget, "Machining");
    tabs.setCurrentIndex(1);
    Edit.SetTabControl(&tabs);
    std::vector<int> changedRows;
    Edit.OnCellChange = [&](int row, int) { changedRows.push_back(row); };

    Edit.SetCommandPage(InfoEditPage::Fillet);
    EXPECT_EQ(tabs.currentIndex(), 0);
    QTableWidget& grid = Edit.Grid();
    EXPECT_EQ(QStringToAnsi(grid.verticalHeaderItem(0)->text()), "Radius");
    EXPECT_EQ(QStringToAnsi(grid.horizontalHeaderItem(0)->text()), "Value");
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"25"}));
    Type(0, 0, "2,5");
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2.5"}));
    EXPECT_EQ(Edit.GetValue(0), 2.5);
    EXPECT_EQ(InfoEditPanel()->GetValue(0), 2.5);
    EXPECT_EQ(changedRows, (std::vector<int>{0}));

    Edit.SetCommandPage(InfoEditPage::Line);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    TLiveReadoutSink& readout = Edit;
    readout.ShowLineInfo(P(0, 0), P(3, 4));
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"0", "3", "3", "5", "53.13"}));

    // Every row caption fits its column ("Start point", not "Start poir").
    const QFontMetrics metrics(grid.verticalHeader()->font());
    for (int row = 0; row < grid.rowCount(); ++row)
        EXPECT_GT(grid.verticalHeader()->width(), metrics.horizontalAdvance(grid.verticalHeaderItem(row)->text()))
            << QStringToAnsi(grid.verticalHeaderItem(row)->text());

    Edit.SetCommandPage(InfoEditPage::Polyline);
    EXPECT_TRUE(grid.isHidden());
    EXPECT_EQ(Edit.Buttons().size(), 2u);
    EXPECT_EQ(Edit.GroupBox().height(), 120);
}

} // namespace
