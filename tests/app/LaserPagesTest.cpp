// The laser pages of the tool window (offscreen): laser operations come
// only from documents, so each test saves a document holding them, opens
// it and opens an operation for editing as the operations tree does. Then
// the engraving, cut and pocket pages and the laser settings page are
// driven through their widgets.

#include "app/machining/LaserPages.h"
#include "app/machining/MillingPages.h"
#include "app/machining/OperationPages.h"
#include "app/toolwin/LaserToolPage.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "cam/tools/LibreriaUtBase.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/entities/Bitmap2D.h"
#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/NumberText.h"
#include "tests/app/MachiningPagesFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <map>

namespace {

using namespace LangKeys::String;
using kbtest::Concat;
using kbtest::LaserBytes;
using kbtest::WriteFileBytes;

// The window with its operation pages, a laser library of three settings,
// and a document of one operation of each laser kind, saved and opened.
struct LaserPages : kbtest::MachiningPages {
    LaserPages()
    {
        WriteFileBytes(Dir.File("tools/Laser_mm.llb"),
                       Concat({LaserBytes("L1", 0.1), LaserBytes("L2", 0.2), LaserBytes("L3", 0.3)}));
        Config->LaserLib = "Laser_mm.llb";
        Pages = std::make_unique<TOperationPages>(*Win, &Monitor);
        Win->ShowStatusMessage = [this](const std::string& text) { Status = text; };
        SaveAndOpenDocument();
    }
    ~LaserPages() override
    {
        Win->hide();
        Pages.reset();
        OpManager().DeleteAll();
    }

    // Engraving: vector, vertical, joined, one way, grey; cut: method 2,
    // three passes, tabs, step and repeat; pocket: offset rings. Each with
    // a laser setting of its own.
    void SaveAndOpenDocument()
    {
        const auto add = [](int kind, const char* tool, auto set) {
            auto op = std::make_unique<TOpManagerField>(kind);
            TParametriOperazione& p = *op->Parameters;
            p.ToolData->ToolName = tool;
            p.ToolData->Diameter = 0.5;
            set(p);
            OpManager().AddOperation(std::move(op));
        };
        add(OpKind::LaserEngrave, "Engraver", [](TParametriOperazione& p) {
            p.LeadAtMidSegment = 1;
            p.DepthOrder = 1;
            p.KeepToolDown = 0;
            p.SpiralInOut = 1;
            p.RoughSize = 0.15;
            p.StepOverPercent = 0.2;
            p.LayerPriority = 1;
        });
        add(OpKind::LaserCut, "Cutter", [](TParametriOperazione& p) {
            p.ToolData->GasOn = 1;
            p.ZRapid = 5;
            p.ZDepth = -1.5;
            p.OffsetMethod = 2;
            p.PassCount = 3;
            p.MakeTabs = 1;
            p.XformOn = 1;
            p.StepCountX = 2;
            p.StepX = 30;
        });
        add(OpKind::LaserPocket, "Pocketer", [](TParametriOperazione& p) {
            p.ZRapid = 4;
            p.ZDepth = -0.5;
            p.StockXY = 0.1;
            p.FinishCount = 2;
            p.FinishSize = 0.3;
            p.StepOverPercent = 45;
            p.SpiralInOut = 0;
            p.Angle = 30;
            p.PocketType = 1;
            p.KeepToolDown = 0;
        });
        const std::string file = Dir.File("laser.kvx");
        Doc.SaveToFile(file);
        OpManager().DeleteAll();
        EXPECT_FALSE(Doc.LoadFromFile(file, false).Partial);
        ASSERT_EQ(OpManager().Count(), 3);
    }
    // Opens the document's operation of that kind for editing.
    TOpManagerField& Edit(int kind)
    {
        for (int i = 0; i < OpManager().Count(); ++i) {
            if (OpManager().Operation(i).Kind == kind) {
                Pages->Edit(OpManager().Operation(i));
                return OpManager().Operation(i);
            }
        }
        ADD_FAILURE() << "no operation of kind " << kind;
        return OpManager().Operation(0);
    }
    void ClickTab(const char* tab)
    {
        QTabBar* bar = Win->pgCtrToolWin().tabBar();
        const int index = Win->pgCtrToolWin().indexOf(Win->Sheet(tab));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    void Choose(const char* combo, int index)
    {
        auto& box = Find<QComboBox>(combo);
        box.setFocus();
        while (box.currentIndex() < index)
            QTest::keyClick(&box, Qt::Key_Down);
        while (box.currentIndex() > index)
            QTest::keyClick(&box, Qt::Key_Up);
    }
    std::string Text(const char* name) const { return TWidgetToolPage(*Win, *Win).Text(name); }
    bool Checked(const char* name) const { return TWidgetToolPage(*Win, *Win).Checked(name); }
    bool Shown(const char* name) const { return !Find<QWidget>(name).isHidden(); }
    int Picture(const char* image) const { return Find<QLabel>(image).property("imageIndex").toInt(); }
    std::vector<std::string> Items(const char* combo) const
    {
        std::vector<std::string> items;
        auto& box = Find<QComboBox>(combo);
        for (int i = 0; i < box.count(); ++i)
            items.push_back(box.itemText(i).toStdString());
        return items;
    }
    std::vector<std::string> Captions() const
    {
        const TToolListWidget& list = Win->LaserToolPage().lsvLaser();
        std::vector<std::string> captions;
        for (int i = 0; i < list.count(); ++i)
            captions.push_back(list.item(i)->text().toStdString());
        return captions;
    }
    // The operation as the document would store it.
    static std::vector<uint8_t> Stored(TOpManagerField& op)
    {
        TMemoryStream stream;
        op.Parameters->SaveToStream(stream, op.Kind, false);
        return stream.Data();
    }

    TOperationsHooks Hooks;
    std::unique_ptr<TOperationPages> Pages;
    std::string Status;
};

TEST_F(LaserPages, EachKindShowsItsPagesAtTheLaserSize)
{
    struct TCase {
        int Kind;
        std::vector<std::string> Tabs;
        const char* Caption;
    };
    const TCase cases[] = {
        {OpKind::LaserEngrave, {"tabLaserLib", "tabLaserEng"}, "twLaserEng"},
        {OpKind::LaserCut, {"tabLaserLib", "tabChain", "tabLaserCut"}, "twLaserCut"},
        {OpKind::LaserPocket, {"tabLaserLib", "tabChain", "tabLaserPocket"}, "twLaserPocket"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        Edit(c.Kind);
        ASSERT_TRUE(Win->isVisible());
        EXPECT_EQ(Win->ShownPages(), c.Tabs);
        EXPECT_EQ(Win->size(), QSize(494, 418));
        EXPECT_EQ(Win->windowTitle().toStdString(), LangToolWinText(c.Caption));
        // The laser library is the one shown; a parameter page narrows.
        EXPECT_EQ(Captions(), (std::vector<std::string>{"L1(diam. 0.1)", "L2(diam. 0.2)", "L3(diam. 0.3)"}));
        Status.clear();
        ClickTab(c.Tabs.back().c_str());
        EXPECT_EQ(Win->width(), c.Kind == OpKind::LaserCut ? 348 + 160 : 348);
        // The engraving page says nothing; cut and pocket are parameter pages.
        EXPECT_EQ(Status, c.Kind == OpKind::LaserEngrave ? std::string() : LangText(StatusParameterPage));
        ClickTab("tabLaserLib");
        EXPECT_EQ(Win->width(), 494);
        Win->hide();
    }
}

TEST_F(LaserPages, OpeningAnOperationShowsWhatTheDocumentHolds)
{
    using TValues = std::map<std::string, std::string>;
    const std::map<int, TValues> kinds = {
        {OpKind::LaserEngrave,
         {{"rbtLasVecMet", "1"}, {"rbtLasRasMet", "0"}, {"rbtLasVer", "1"}, {"rbtLasHor", "0"}, {"rbtLaserDot", "0"},
          {"rbtLaserJoin", "1"}, {"chkLasGrey", "1"}, {"txtLasStepAl", "0.15"}, {"txtLasStepOv", "0.2"},
          {"txtLasName", "Engraver"}}},
        {OpKind::LaserCut,
         {{"txtLasCutZSafe", "5"}, {"txtLasCutFeedPlane", "-1.5"}, {"sedLaserCutNPasses", "3"}, {"chkLasMakeTab", "1"},
          {"sbtLasCncTab", "enabled"}, {"sbtLasCutXform", "1"}, {"txtLasName", "Cutter"}, {"chkLaserGas", "1"}}},
        {OpKind::LaserPocket,
         {{"txtLasPocZSafe", "4"}, {"txtLasPocFeedPlane", "-0.5"}, {"txtLasPocStockXY", "0.1"},
          {"speLasPocNFinishCuts", "2"}, {"txtLasPocFinishSize", "0.3"}, {"txtLasPocStepOverPer", "45"},
          {"txtLasAngZigZag", "30"}, {"chkLasPocSpiralInOut", "0"}, {"chkLasKeepToolDown", "0"},
          {"txtLasName", "Pocketer"}}},
    };
    const std::map<int, std::pair<const char*, int>> combos = {
        {OpKind::LaserEngrave, {"cboLaserCM", 1}},
        {OpKind::LaserCut, {"cboLasCutMethod", 2}},
        {OpKind::LaserPocket, {"cboLasPocType", 1}},
    };
    for (const auto& [kind, values] : kinds) {
        SCOPED_TRACE(kind);
        Edit(kind);
        for (const auto& [name, value] : values) {
            QWidget& control = Find<QWidget>(name.c_str());
            if (value == "enabled")
                EXPECT_TRUE(control.isEnabled()) << name;
            else if (qobject_cast<QAbstractButton*>(&control))
                EXPECT_EQ(Checked(name.c_str()), value == "1") << name;
            else if (const auto number = ParseDecimal(Text(name.c_str())))
                EXPECT_EQ(FormatCoord(*number), FormatCoord(std::stod(value))) << name;
            else
                EXPECT_EQ(Text(name.c_str()), value) << name;
        }
        EXPECT_EQ(Find<QComboBox>(combos.at(kind).first).currentIndex(), combos.at(kind).second);
        Win->hide();
    }
    // The engraving's vector choice shows its own group; the pocket's offset
    // rings their spiral box.
    Edit(OpKind::LaserEngrave);
    EXPECT_FALSE(Shown("grpLasRasMet"));
    EXPECT_TRUE(Shown("grpLasVecMet"));
    Win->hide();
    Edit(OpKind::LaserPocket);
    EXPECT_TRUE(Shown("chkLasPocSpiralInOut"));
    EXPECT_FALSE(Shown("txtLasAngZigZag"));
}

TEST_F(LaserPages, VectorEngravingSwapsTheGroupsAndPictures)
{
    TOpManagerField& op = Edit(OpKind::LaserEngrave);
    op.Parameters->LeadAtMidSegment = 0;
    Win->hide();
    Edit(OpKind::LaserEngrave);
    ClickTab("tabLaserEng");
    EXPECT_EQ(Win->width(), 348);
    EXPECT_EQ(Picture("imgLaser"), 22);
    EXPECT_TRUE(Shown("grpLasRasMet"));
    EXPECT_FALSE(Shown("grpLasVecMet"));
    Click("rbtLasVecMet");
    EXPECT_FALSE(Shown("grpLasRasMet"));
    EXPECT_TRUE(Shown("grpLasVecMet"));
    EXPECT_EQ(Picture("imgLaser"), 30);
    Click("rbtLasRasMet");
    EXPECT_TRUE(Shown("grpLasRasMet"));
    EXPECT_EQ(Picture("imgLaser"), 29);
}

TEST_F(LaserPages, FieldsShowTheirPictures)
{
    struct TCase {
        int Kind;
        const char* Tab;
        const char* Field;
        const char* Image;
        int Index;
    };
    const TCase cases[] = {
        {OpKind::LaserEngrave, "tabLaserEng", "txtLaserPlane", "imgLaser", 22},
        {OpKind::LaserEngrave, "tabLaserEng", "txtLaserAngle", "imgLaser", 23},
        {OpKind::LaserEngrave, "tabLaserEng", "txtLasStepOv", "imgLaser", 24},
        {OpKind::LaserEngrave, "tabLaserEng", "txtLasStepAl", "imgLaser", 25},
        {OpKind::LaserEngrave, "tabLaserEng", "cboLaserCM", "imgLaser", 21},
        {OpKind::LaserEngrave, "tabLaserEng", "rbtLasVer", "imgLaser", 26},
        {OpKind::LaserEngrave, "tabLaserEng", "rbtLasHor", "imgLaser", 20},
        {OpKind::LaserEngrave, "tabLaserEng", "rbtLaserDot", "imgLaser", 27},
        {OpKind::LaserEngrave, "tabLaserEng", "rbtLaserJoin", "imgLaser", 28},
        {OpKind::LaserCut, "tabLaserCut", "txtLasCutFeedPlane", "imgLasCut", 39},
        {OpKind::LaserCut, "tabLaserCut", "txtLasCutZSafe", "imgLasCut", 22},
        {OpKind::LaserCut, "tabLaserCut", "txtLasCutStockXY", "imgLasCut", 4},
        {OpKind::LaserPocket, "tabLaserPocket", "txtLasPocFeedPlane", "imgLasPoc", 39},
        {OpKind::LaserPocket, "tabLaserPocket", "txtLasPocZSafe", "imgLasPoc", 22},
        {OpKind::LaserPocket, "tabLaserPocket", "txtLasPocStockXY", "imgLasPoc", 4},
        {OpKind::LaserPocket, "tabLaserPocket", "txtLasPocStepOverPer", "imgLasPoc", 8},
        {OpKind::LaserPocket, "tabLaserPocket", "speLasPocNFinishCuts", "imgLasPoc", 5},
        {OpKind::LaserPocket, "tabLaserPocket", "txtLasPocFinishSize", "imgLasPoc", 6},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Field);
        Edit(c.Kind);
        QApplication::setActiveWindow(Win.get());
        ClickTab(c.Tab);
        QApplication::processEvents();
        QWidget& field = Find<QWidget>(c.Field);
        if (auto* radio = qobject_cast<QRadioButton*>(&field)) {
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
        } else {
            // Entered from elsewhere, as a Tab key or a click does.
            Find<QWidget>("txtLasName").setFocus();
            field.setFocus(Qt::TabFocusReason);
        }
        QApplication::processEvents();
        EXPECT_EQ(Picture(c.Image), c.Index);
        Win->hide();
    }
}

TEST_F(LaserPages, CutMethodOneDropsTabsAndOffersThreeRules)
{
    Edit(OpKind::LaserCut);
    ClickTab("tabLaserCut");
    ASSERT_TRUE(Checked("chkLasMakeTab"));
    const std::vector<std::string> one = {LangToolWinText("cboCutRules0")};
    EXPECT_EQ(Items("cboLasCutRules"), one);
    Choose("cboLasCutMethod", 1);
    EXPECT_FALSE(Checked("chkLasMakeTab"));
    EXPECT_FALSE(Find<QWidget>("chkLasMakeTab").isEnabled());
    EXPECT_FALSE(Find<QWidget>("sbtLasCncTab").isEnabled());
    EXPECT_EQ(Items("cboLasCutRules"), (std::vector<std::string>{LangToolWinText("cboCutRules0"),
                                                                  LangToolWinText("cboCutRules1"),
                                                                  LangToolWinText("cboCutRules2")}));
    EXPECT_EQ(Find<QComboBox>("cboLasCutRules").currentIndex(), 0);
    Choose("cboLasCutMethod", 0);
    EXPECT_TRUE(Find<QWidget>("chkLasMakeTab").isEnabled());
    EXPECT_EQ(Items("cboLasCutRules"), one);
    Click("chkLasMakeTab");
    EXPECT_TRUE(Find<QWidget>("sbtLasCncTab").isEnabled());
    // The tabs button opens the contour page's holding-tab window.
    int shown = 0;
    Pages->Milling().ShowTabWindow = [&shown] { ++shown; };
    Click("sbtLasCncTab");
    EXPECT_EQ(shown, 1);
}

TEST_F(LaserPages, PocketTypeSwapsAngleAndSpiralAndLiftsNoFinishCut)
{
    Edit(OpKind::LaserPocket);
    ClickTab("tabLaserPocket");
    Find<QSpinBox>("speLasPocNFinishCuts").setValue(0);
    Choose("cboLasPocType", 0);
    EXPECT_TRUE(Shown("txtLasAngZigZag"));
    EXPECT_TRUE(Shown("lblLasAngZigZag"));
    EXPECT_FALSE(Shown("chkLasPocSpiralInOut"));
    EXPECT_EQ(Text("speLasPocNFinishCuts"), "1");
    Find<QSpinBox>("speLasPocNFinishCuts").setValue(0);
    Choose("cboLasPocType", 1);
    EXPECT_FALSE(Shown("txtLasAngZigZag"));
    EXPECT_TRUE(Shown("chkLasPocSpiralInOut"));
    EXPECT_EQ(Text("speLasPocNFinishCuts"), "0");
}

TEST_F(LaserPages, CalculateLeavesWindowAndOperationAsTheyWere)
{
    const std::map<int, const char*> buttons = {{OpKind::LaserEngrave, "sbtLasEngCal"},
                                                {OpKind::LaserCut, "sbtlasCutCalculate"},
                                                {OpKind::LaserPocket, "sbtLasPocCalculate"}};
    for (const auto& [kind, button] : buttons) {
        SCOPED_TRACE(kind);
        TOpManagerField& op = Edit(kind);
        const std::vector<uint8_t> before = Stored(op);
        ClickTab(Win->ShownPages().back().c_str());
        const QSize size = Win->size();
        Find<QLineEdit>(kind == OpKind::LaserEngrave ? "txtLasStepOv" : "txtLasName").setText("7");
        Click(button);
        EXPECT_TRUE(Win->isVisible());
        EXPECT_EQ(Win->size(), size);
        EXPECT_EQ(Stored(op), before);
        EXPECT_TRUE(op.Toolpaths.empty());
        EXPECT_EQ(OpManager().Count(), 3);
        EXPECT_TRUE(Notifier.Messages().empty());
        Win->hide();
    }
}

TEST_F(LaserPages, CancelHidesAndKeepsTheListedOperation)
{
    for (const char* cancel : {"sbtLasEngCancel", "sbtLasCutCancel", "sbtLasPocCancel"}) {
        SCOPED_TRACE(cancel);
        const int kind = cancel == std::string("sbtLasEngCancel")   ? OpKind::LaserEngrave
                         : cancel == std::string("sbtLasCutCancel") ? OpKind::LaserCut
                                                                    : OpKind::LaserPocket;
        Edit(kind);
        ClickTab(Win->ShownPages().back().c_str());
        Click(cancel);
        EXPECT_FALSE(Win->isVisible());
        EXPECT_EQ(OpManager().Count(), 3);
    }
}

TEST_F(LaserPages, LeadButtonsStoreTheLeads)
{
    for (const char* button : {"sbtCutEntExi", "sbtLasPocEntExi"}) {
        SCOPED_TRACE(button);
        TOpManagerField& op = Edit(button == std::string("sbtCutEntExi") ? OpKind::LaserCut : OpKind::LaserPocket);
        ClickTab(Win->ShownPages().back().c_str());
        EXPECT_FALSE(Find<QToolButton>(button).isChecked());
        Notifier.QueueDialog("TFresaEntryExit", [this] {
            auto* dialog = Win->findChild<TFresaEntryExit*>();
            dialog->KindCombo(0).setCurrentIndex(1);
            dialog->LengthEdit(0).setText(QStringLiteral("2"));
            dialog->KindCombo(1).setCurrentIndex(0);
            dialog->LengthEdit(1).setText(QStringLiteral("0"));
            return 1;
        });
        Click(button);
        EXPECT_EQ(op.Parameters->LeadInKind, 1);
        EXPECT_EQ(op.Parameters->LeadInLength, 2.0);
        EXPECT_EQ(Text(button), LangText(LeadEntry) + "2 ");
        EXPECT_TRUE(Find<QToolButton>(button).isChecked());
        Win->hide();
    }
}

TEST_F(LaserPages, StepAndRepeatFollowsItsButtonOnBothPages)
{
    for (int kind : {OpKind::LaserCut, OpKind::LaserPocket}) {
        SCOPED_TRACE(kind);
        TOpManagerField& op = Edit(kind);
        const bool cut = kind == OpKind::LaserCut;
        const char* tab = cut ? "tabLaserCut" : "tabLaserPocket";
        const char* button = cut ? "sbtLasCutXform" : "sbtLasPocXform";
        ClickTab(tab);
        const bool shown = op.Parameters->XformOn != 0;
        EXPECT_EQ(Win->width(), shown ? 348 + 160 : 348);
        Click(button);
        EXPECT_EQ(Win->width(), shown ? 348 : 348 + 160);
        EXPECT_EQ(Win->Sheet(tab)->findChild<QGroupBox*>("grpCncXform") != nullptr, !shown);
        EXPECT_EQ(op.Parameters->XformOn != 0, !shown);
        if (!shown) {
            EXPECT_EQ(Text(cut ? "txtLasCutXformXStep" : "txtLasPocXformXStep"),
                      std::to_string(op.Parameters->StepCountX));
        }
        Win->hide();
    }
}

TEST_F(LaserPages, EngravingShowsThePixelSizeOfThePickedBitmap)
{
    EXPECT_TRUE(Text("txtLasPixDim").empty());
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    TBitmap2D bitmap(-1, MakePoint2D(10, 10), MakePoint2D(60, 35), image);
    SetCurrentBitmap2D(&bitmap);
    Edit(OpKind::LaserEngrave);
    EXPECT_EQ(Text("txtLasPixDim"), LangToolWinText("strPixelDim") + " X=0.25, Y=0.25");
    Win->hide();
    // Scaled in the drawing: the units grow with it.
    bitmap.Transform(TMatrix4::CreateScale(2.0, 4.0, 1.0));
    Edit(OpKind::LaserEngrave);
    EXPECT_EQ(Text("txtLasPixDim"), LangToolWinText("strPixelDim") + " X=0.5, Y=1");
    Win->hide();
    SetCurrentBitmap2D(nullptr);
}

TEST_F(LaserPages, GasBoxEnablesItsFourControls)
{
    const char* const controls[] = {"lblLaser9", "lblLaser10", "txtLasGasValue", "txtLasGasDelay"};
    Edit(OpKind::LaserPocket);
    ASSERT_FALSE(Checked("chkLaserGas"));
    for (const char* name : controls)
        EXPECT_FALSE(Find<QWidget>(name).isEnabled()) << name;
    Click("chkLaserGas");
    for (const char* name : controls)
        EXPECT_TRUE(Find<QWidget>(name).isEnabled()) << name;
    Click("chkLaserGas");
    for (const char* name : controls)
        EXPECT_FALSE(Find<QWidget>(name).isEnabled()) << name;
}

TEST_F(LaserPages, SettingsListFollowsTheMillRules)
{
    TOpManagerField& op = Edit(OpKind::LaserCut);
    TToolListWidget& list = Win->LaserToolPage().lsvLaser();
    // Clicking a setting fills nothing; changing it captions it as a mill tool.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    EXPECT_EQ(Text("txtLasName"), "Cutter");
    Type("txtLasName", "Fast");
    Type("txtLasDiametro", "0.4");
    EXPECT_EQ(Text("txtCCOffset"), "0.2");
    Click("sbtModifyLas");
    EXPECT_EQ(Captions()[1], "Fast(diam. 0.4)");
    EXPECT_EQ(CurrentToolLibrary()->Record(1).Diameter, 0.4);
    // A bad number: "465", the item stays.
    Type("txtLasDiametro", "0..4");
    Click("sbtModifyLas");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(ToolBadNumber));
    EXPECT_EQ(Captions()[1], "Fast(diam. 0.4)");
    Type("txtLasDiametro", "1");
    Click("sbtAddLasSet");
    EXPECT_EQ(Captions().back(), "Fast(diam. 1)");
    list.setCurrentRow(0);
    list.findChild<QAction*>("mnuToolDelete")->trigger();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Fast(diam. 0.4)", "L3(diam. 0.3)", "Fast(diam. 1)"}));
    // The page's setting is not the operation's until Calculate.
    EXPECT_EQ(op.Parameters->ToolData->ToolName, "Cutter");
}

TEST_F(LaserPages, DraggingReordersAndTheFilesAreLaserLibraries)
{
    Edit(OpKind::LaserEngrave);
    TToolListWidget& list = Win->LaserToolPage().lsvLaser();
    const auto centre = [&list](int row) { return list.visualItemRect(list.item(row)).center(); };
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, centre(2));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, centre(2));
    QMimeData data;
    data.setData(QString::fromLatin1(TToolListWidget::MimeType), list.DragTag());
    QDragEnterEvent enter(centre(0), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list.viewport(), &enter);
    QDropEvent drop(QPointF(centre(0)), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list.viewport(), &drop);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"L3(diam. 0.3)", "L1(diam. 0.1)", "L2(diam. 0.2)"}));

    // Saved under a name typed without extension: the .llb file, in list order.
    const std::string saved = Dir.File("mine");
    Notifier.QueueFileName(saved + ".llb");
    Click("sbtSaveLasLib");
    EXPECT_EQ(Notifier.LastFileRequest().DefaultSuffix, "llb");
    EXPECT_EQ(Notifier.LastFileRequest().Filters.at(0).Extensions, std::vector<std::string>{"llb"});
    EXPECT_EQ(Config->LaserLib, saved + ".llb");
    EXPECT_EQ(Find<QLabel>("lblLaserLibName").text().toStdString(), saved + ".llb");
    TLaserLib reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(saved + ".llb"));
    EXPECT_EQ(reloaded.Record(0).ToolName, "L3");

    // Opening a file that fails keeps the setting; a good one takes it.
    WriteFileBytes(Dir.File("bad.llb"), {1, 2, 3});
    Notifier.QueueFileName(Dir.File("bad.llb"));
    Click("sbtOpenLasLib");
    EXPECT_EQ(Config->LaserLib, saved + ".llb");
    Notifier.QueueFileName(Dir.File("tools/Laser_mm.llb"));
    Click("sbtOpenLasLib");
    EXPECT_EQ(Config->LaserLib, Dir.File("tools/Laser_mm.llb"));
    EXPECT_EQ(Captions().front(), "L1(diam. 0.1)");
}

TEST_F(LaserPages, CommentTypedOnTheLaserPageIsStored)
{
    TOpManagerField& op = Edit(OpKind::LaserCut);
    QApplication::setActiveWindow(Win.get());
    EXPECT_EQ(Text("txtOpCommentLa"), LangToolWinCaption("txtOpComm"));
    Type("txtOpCommentLa", "plywood");
    Find<QLineEdit>("txtLasName").setFocus();
    QApplication::processEvents();
    EXPECT_EQ(op.Comment, "plywood");
}

} // namespace
