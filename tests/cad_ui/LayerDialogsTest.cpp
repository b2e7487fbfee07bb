#include "cad/ui/frmLayer.h"

#include "cad/ui/AnsiText.h"
#include "cad/ui/ColorBox.h"
#include "cad/ui/GeoTreeView.h"
#include "cad/ui/frmLayerAttr.h"
#include "cad/ui/penwidthcombo.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// The table's rows are the layers; the dialog's events count rows from 1.
constexpr int NameCol = TfrmLayer::ColName;

class LayerDialogsTest : public ::testing::Test {
protected:
    LayerDialogsTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Doc.SetTreeGeo(&Tree);
        Doc.AddObjectOnLayer(-1, 3, std::make_unique<TPunto2D>(-1, TPoint2D{1, 2, 1}));
        Dialog.SetDocument(&Doc);
    }
    ~LayerDialogsTest() override
    {
        Dialog.hide();
        Doc.SetTreeGeo(nullptr);
        SetLanguageIni(nullptr);
    }

    TQV_21Layer& Layer(int n) { return Doc.Layers().GetLayer(n); }
    QString TreeText(int layer) { return Tree.Item(Layer(layer).TreeNode())->text(0); }
    void Click(int layer, int col) { Dialog.StringGrid1().cellClicked(layer, col); }

    // Opens the attribute dialog with a click on the layer's colour cell and
    // works it while it runs modally.
    void InAttrDialog(int layer, const std::function<void(TfrmLayerAttr&)>& work)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            work(Dialog.AttrDialog());
        });
        Click(layer, TfrmLayer::ColColor);
        EXPECT_TRUE(ran);
    }

    kbtest::TRecordingShell Shell;
    kbtest::TRecordingNotifier Notifier;
    TGeoTreeView Tree;
    TQV_01Cmp2D Doc;
    TfrmLayer Dialog;
};

TEST_F(LayerDialogsTest, ShowsTheLayersAndCancelTakesEveryChangeBack)
{
    Layer(3).SetName("Walls");
    Dialog.show();
    QTableWidget& grid = Dialog.StringGrid1();
    EXPECT_EQ(grid.rowCount(), 256);
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), "No.");
    EXPECT_EQ(grid.horizontalHeaderItem(5)->text(), "Pen width");
    EXPECT_EQ(grid.item(3, 0)->text(), "3");
    EXPECT_EQ(grid.item(3, NameCol)->text(), "Walls");
    EXPECT_EQ(Dialog.windowTitle(), "Layers");
    EXPECT_TRUE(Dialog.LayerDialogPending());

    const std::string typed(40, 'x');
    grid.item(3, NameCol)->setText(QString::fromStdString(typed)); // as the cell editor commits it
    EXPECT_EQ(Layer(3).Name(), std::string(31, 'x'));
    EXPECT_EQ(grid.item(3, NameCol)->text().toStdString(), std::string(31, 'x'));
    EXPECT_EQ(TreeText(3).toStdString(), "Layer: " + std::string(31, 'x'));
    Click(5, TfrmLayer::ColVisible);
    EXPECT_EQ(Layer(5).Visible(), 0);
    EXPECT_EQ(Dialog.SelectedLayerRow(), 6);
    InAttrDialog(5, [](TfrmLayerAttr& attr) {
        attr.penwidthcombo1().activated(3);
        attr.btnOk().click();
    });
    EXPECT_EQ(Layer(5).Pen().Width, 4);

    Dialog.btnCancel().click();
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Layer(3).Name(), "Walls");
    EXPECT_EQ(TreeText(3), "Layer: Walls");
    EXPECT_EQ(Layer(5).Visible(), 1);
    EXPECT_EQ(Layer(5).Pen().Width, 1);
    EXPECT_FALSE(Layer(5).Modified());
    EXPECT_GE(Shell.LayerInfoShown, 1);

    // OK keeps what was changed; the next showing starts from it.
    Dialog.show();
    EXPECT_EQ(Dialog.SelectedLayerRow(), 0);
    Click(5, TfrmLayer::ColVisible);
    Dialog.btnOk().click();
    EXPECT_EQ(Layer(5).Visible(), 0);
    Dialog.show();
    Dialog.reject(); // the close box
    EXPECT_EQ(Layer(5).Visible(), 0);
}

TEST_F(LayerDialogsTest, CurrentRowIsYellowAndTheLastSelectedRowBlue)
{
    Dialog.show();
    QTableWidget& grid = Dialog.StringGrid1();
    Click(7, TfrmLayer::ColCurrent);
    EXPECT_EQ(Doc.CurrentLayer(), 7);
    EXPECT_EQ(Shell.LayerInfoShown, 1);
    Click(9, TfrmLayer::ColNumber);
    EXPECT_EQ(Dialog.SelectedLayerRow(), 10);
    EXPECT_EQ(Doc.CurrentLayer(), 7);

    const QImage image = grid.viewport()->grab().toImage();
    const auto cellColor = [&](int row) {
        const QRect r = grid.visualItemRect(grid.item(row, TfrmLayer::ColCurrent));
        return image.pixelColor(r.left() + 2, r.top() + 2);
    };
    EXPECT_EQ(cellColor(7), QColor(255, 255, 0));
    EXPECT_EQ(cellColor(9), QColor(0, 0, 255));
    EXPECT_EQ(cellColor(8), grid.palette().color(QPalette::Base));

    Dialog.btnCancel().click();
    EXPECT_EQ(Doc.CurrentLayer(), 0);
}

TEST_F(LayerDialogsTest, AttributeDialogChangesTheLayerOnlyOnOk)
{
    Layer(2).SetPenColor(0x00FF00);
    Dialog.show();
    InAttrDialog(2, [](TfrmLayerAttr& attr) {
        EXPECT_EQ(attr.windowTitle(), "Layers");
        EXPECT_EQ(attr.ColorBox1().Selected(), 0x00FF00u);
        EXPECT_EQ(attr.penwidthcombo1().currentIndex(), 0);
        attr.ColorBox1().setCurrentIndex(attr.ColorBox1().findText("Red"));
        attr.ColorBox1().activated(attr.ColorBox1().currentIndex());
        EXPECT_EQ(attr.LayerAttrColor(), 0x0000FFu);
        attr.btnCancel().click();
    });
    EXPECT_EQ(Layer(2).Pen().Color, 0x00FF00u);

    InAttrDialog(2, [](TfrmLayerAttr& attr) {
        attr.ColorBox1().setCurrentIndex(attr.ColorBox1().findText("Blue"));
        attr.ColorBox1().activated(attr.ColorBox1().currentIndex());
        attr.btnOk().click();
    });
    EXPECT_EQ(Layer(2).Pen().Color, 0xFF0000u);
    // The main window's colour item shows the current layer's colour.
    EXPECT_EQ(Shell.LayerColors.back(), Layer(0).Pen().Color);

    Dialog.btnCancel().click();
    EXPECT_EQ(Layer(2).Pen().Color, 0x00FF00u);
}

TEST_F(LayerDialogsTest, SaveSettingsWritesTheChangedLayersAndReportsAFailure)
{
    kbtest::TTempDir dir;
    {
        TAppConfig config(dir.Path().string());
        Dialog.show();
        Dialog.btnSaveSettings().click(); // nothing changed: no file
        EXPECT_FALSE(std::filesystem::exists(dir.File("Layers.ini")));
        Dialog.StringGrid1().item(7, NameCol)->setText("Seven");
        Dialog.btnSaveSettings().click();
        EXPECT_TRUE(Dialog.isVisible());
        EXPECT_EQ(kbtest::ReadFileText(dir.File("Layers.ini")),
                  "[LayersCol]\n7=0\n[LayersPen]\n7=1\n[LayersName]\n7=Seven\n");
        EXPECT_TRUE(Notifier.Messages().empty());
    }
    TAppConfig config(dir.File("missing"));
    Dialog.btnSaveSettings().click();
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_NE(Notifier.Messages()[0].Text.find("Layers.ini"), std::string::npos);
}

TEST(PenWidthCombo, SelectsWidthsAndDrawsEachLineInItsWidth)
{
    Tpenwidthcombo combo;
    ASSERT_EQ(combo.count(), 10);
    EXPECT_EQ(combo.itemText(9), "10");
    for (const auto& [width, index] : {std::pair{1, 0}, {4, 3}, {10, 9}, {0, -1}, {11, -1}, {-3, -1}}) {
        combo.SetWidth(width);
        EXPECT_EQ(combo.currentIndex(), index) << width;
    }

    for (const int index : {0, 2, 5}) {
        QImage image(120, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        combo.DrawItem(painter, index, image.rect(), QStyle::State_None);
        painter.end();
        // A column through the line, inside the frame (rows 4..11).
        int dark = 0;
        for (int y = 4; y <= 11; ++y)
            dark += image.pixelColor(20, y) == QColor(Qt::black) ? 1 : 0;
        EXPECT_EQ(dark, index + 1) << "index " << index;
        EXPECT_EQ(image.pixelColor(3, 8), QColor(Qt::black)) << "frame";
    }
}

TEST(ColorBox, AnyColourReadsBackAndTheCustomEntryAsks)
{
    TColorBox box;
    box.SetSelected(0x0000FF);
    EXPECT_EQ(box.currentText(), "Red");
    for (const uint32_t color : {0x123456u, 0x80000005u}) {
        box.SetSelected(color);
        EXPECT_EQ(box.currentIndex(), TColorBox::CustomIndex);
        EXPECT_EQ(box.Selected(), color);
    }

    box.SetSelected(0x00FF00);
    int changes = 0;
    box.OnChange = [&] { ++changes; };
    std::optional<uint32_t> answer;
    box.PickCustomColor = [&](uint32_t current) {
        EXPECT_EQ(current, 0x00FF00u);
        return answer;
    };
    box.setCurrentIndex(TColorBox::CustomIndex);
    box.activated(TColorBox::CustomIndex); // cancelled: back to the colour before
    EXPECT_EQ(box.Selected(), 0x00FF00u);
    EXPECT_EQ(changes, 0);
    answer = 0x0A0B0C;
    box.setCurrentIndex(TColorBox::CustomIndex);
    box.activated(TColorBox::CustomIndex);
    EXPECT_EQ(box.Selected(), 0x0A0B0Cu);
    EXPECT_EQ(changes, 1);
}

} // namespace
