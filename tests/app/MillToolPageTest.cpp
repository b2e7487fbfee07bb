// The mill tool page of the tool window (offscreen): the current library's
// list, picking and changing a tool, the shape and diameter reactions, the
// drag reorder that reaches the file, and the library files.

#include "app/toolwin/MillToolPage.h"

#include "app/toolwin/ToolPageWidgets.h"
#include "cam/tools/LibreriaUtBase.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSpinBox>

namespace {

using kbtest::MachiningPages;

class MillToolPage : public MachiningPages {
protected:
    TToolListWidget& List() const { return Win->MillToolPage().lsvTools(); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < List().count(); ++i)
            captions.push_back(List().item(i)->text().toStdString());
        return captions;
    }
    std::vector<std::string> LibraryNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < CurrentToolLibrary()->Count(); ++i)
            names.push_back(CurrentToolLibrary()->Record(i).ToolName);
        return names;
    }
    QPoint RowCentre(int row) const { return List().visualItemRect(List().item(row)).center(); }
    void ClickRow(int row) { QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, RowCentre(row)); }
    // Presses on row from, then drags the list's own data over the list and
    // drops it at to, as the drag that a move starts delivers it.
    void DragRow(int from, QPoint to, const QByteArray& tag)
    {
        QTest::mousePress(List().viewport(), Qt::LeftButton, {}, RowCentre(from));
        QTest::mouseRelease(List().viewport(), Qt::LeftButton, {}, RowCentre(from));
        QMimeData data;
        data.setData(QString::fromLatin1(TToolListWidget::MimeType), tag);
        QDragEnterEvent enter(to, Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &enter);
        QDropEvent drop(QPointF(to), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &drop);
    }
    void Show()
    {
        Win->ShowPages({"tabTool", "tabChain"}, "twContour", 494, 428);
        QApplication::processEvents();
    }
};

TEST_F(MillToolPage, ListsTheLibraryAndPicksAndChangesTools)
{
    NewOperation(OpKind::Contour);
    Show();
    EXPECT_EQ(Win->width(), 494);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"T1(diam. 3)", "T2(diam. 6)", "T3(diam. 8)"}));
    EXPECT_EQ(Find<QLabel>("lblToolsLibName").text().toStdString(), Dir.File("tools/Tools_mm.tlb"));

    ClickRow(2);
    EXPECT_EQ(Find<QLineEdit>("txtUtName").text(), QStringLiteral("T3"));
    EXPECT_EQ(Find<QSpinBox>("sedToolNum").value(), 3);

    // Changed from the page: "name(<size word> diameter)", no blank before "(".
    Type("txtUtName", "Name");
    Type("txtDiametro", "4");
    Click("sbtModifyTool");
    EXPECT_EQ(Captions()[2], "Name(diam. 4)");
    EXPECT_EQ(CurrentToolLibrary()->Record(2).Diameter, 4.0);

    // A bad number: "465", the item and the record stay.
    Type("txtUtName", "Other");
    Type("txtDiametro", "4..");
    Click("sbtModifyTool");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::ToolBadNumber));
    EXPECT_EQ(Captions()[2], "Name(diam. 4)");
    EXPECT_EQ(CurrentToolLibrary()->Record(2).ToolName, "Name");

    // Added from the page; deleted from the list's menu.
    Type("txtDiametro", "10");
    Click("sbtAddTool");
    EXPECT_EQ(Captions().back(), "Other(diam. 10)");
    List().setCurrentRow(0);
    // Each library list has its own menu: the mill list's.
    List().findChild<QAction*>(QStringLiteral("mnuToolDelete"))->trigger();
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"T2", "Name", "Other"}));
    EXPECT_EQ(Captions().size(), 3u);
    Win->hide();
}

TEST_F(MillToolPage, BallDiameterSetsRadiusAndOffset)
{
    NewOperation(OpKind::Contour);
    Show();
    struct TCase {
        int Type;
        const char* Radius;
    };
    for (const TCase c : {TCase{kToolSferico, "3"}, TCase{kToolFlat, "0"}}) {
        SCOPED_TRACE(c.Type);
        Find<QLineEdit>("txtC_Raggio").setText(QStringLiteral("0"));
        auto& type = Find<QComboBox>("cboToolType");
        type.setFocus();
        type.setCurrentIndex(c.Type);
        Type("txtDiametro", "6");
        EXPECT_EQ(Find<QLineEdit>("txtCCOffset").text(), QStringLiteral("3"));
        EXPECT_EQ(Find<QLineEdit>("txtC_Raggio").text().toStdString(), c.Radius);
    }
    // A text that is no number yet leaves the offset.
    Type("txtDiametro", ".");
    EXPECT_EQ(Find<QLineEdit>("txtCCOffset").text(), QStringLiteral("3"));
    Win->hide();
}

TEST_F(MillToolPage, DragReordersListAndFile)
{
    NewOperation(OpKind::Pocket);
    Show();
    // The third dropped on the first goes first.
    DragRow(2, RowCentre(0), List().DragTag());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"T3(diam. 8)", "T1(diam. 3)", "T2(diam. 6)"}));
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"T3", "T1", "T2"}));

    // Downwards it lands in front of the target: the first onto the third.
    DragRow(0, RowCentre(2), List().DragTag());
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"T1", "T3", "T2"}));
    DragRow(1, RowCentre(0), List().DragTag());
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"T3", "T1", "T2"}));

    // Below the last item, onto itself, or from another list: nothing.
    DragRow(0, QPoint(10, List().viewport()->height() - 2), List().DragTag());
    DragRow(1, RowCentre(1), List().DragTag());
    DragRow(0, RowCentre(2), QByteArray("elsewhere"));
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"T3", "T1", "T2"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"T3(diam. 8)", "T1(diam. 3)", "T2(diam. 6)"}));

    // Saved, then read again: the new order.
    const std::string saved = Dir.File("tools/Mine");
    Notifier.QueueFileName(saved + ".tlb");
    Click("sbtSaveLib");
    EXPECT_EQ(Notifier.LastFileRequest().DefaultSuffix, "tlb");
    EXPECT_EQ(Config->ToolsLib, saved + ".tlb");
    TFresaLib reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(saved + ".tlb"));
    ASSERT_EQ(reloaded.Count(), 3);
    EXPECT_EQ(reloaded.Record(0).ToolName, "T3");
    EXPECT_EQ(reloaded.Record(1).ToolName, "T1");
    Win->hide();
}

TEST_F(MillToolPage, OpenLibraryFiles)
{
    NewOperation(OpKind::Contour);
    Show();
    const std::string before = Config->ToolsLib;

    // A damaged file is reported and keeps the setting.
    const std::string bad = Dir.File("bad.tlb");
    kbtest::WriteFileBytes(bad, {1, 2, 3});
    Notifier.QueueFileName(bad);
    Click("sbtOpenLib");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Config->ToolsLib, before);

    // Cancelled: nothing.
    Notifier.Clear();
    Click("sbtOpenLib");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(Config->ToolsLib, before);

    const std::string good = Dir.File("good.tlb");
    kbtest::WriteFileBytes(good, kbtest::MillLibraryBytes(7, "Seven", 7, 0).Data());
    Notifier.QueueFileName(good);
    Click("sbtOpenLib");
    EXPECT_EQ(Config->ToolsLib, good);
    EXPECT_EQ(Captions(), std::vector<std::string>{"Seven(diam. 7)"});
    EXPECT_EQ(Notifier.LastFileRequest().Filters.at(0).Extensions, std::vector<std::string>{"tlb"});
    Win->hide();
}

} // namespace
