// The frame of the main window on the program as main starts it: closing
// and what a restart finds, the recent commands, the status bar's switches
// and read-outs, the view commands and popup, typed coordinates and the
// geometry tree's popup. Questions and dialogs are answered by a script; a
// prompt the script does not expect fails the test.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures of
// the window there (scripts/shots/main-window.sh runs it).

#include "app/Program.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "app/toolwin/frmToolWin.h"
#include "app/mainwin/ImageLists.h"
#include "app/mainwin/MainStatusBar.h"
#include "app/mainwin/RecentCommands.h"
#include "app/mainwin/TreeCommands.h"
#include "app/mainwin/ViewCommands.h"
#include "app/mainwin/frmCoord.h"
#include "cad/panel/SetGrid.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/scene/QVScene.h"
#include "cad/states/DrawSizedStates.h"
#include "cad/states/DrawStateParams.h"
#include "cad/states/QV_20PrgZoomState.h"
#include "cad/states/QV_21RealTimePan.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "cad/ui/GeoTreeView.h"
#include "cad/ui/InfoEdit.h"
#include "cad/ui/SceneViewer.h"
#include "cad/ui/frmGrid.h"
#include "core/entities/Line2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace {

std::string SamplePath()
{
    return std::string(KB_DATA_SOURCE_DIR) + "/samples/sample.kvx";
}

// Ends on Accept; stands in for a transform command, which names itself the
// running operation.
class TUntilAccept : public TQV_00State {
public:
    TUntilAccept(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&) : TQV_00State(prg, std::move(param)) {}
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override
    {
        if (!event.IsUser(TCADUserEvent::Accept))
            return false;
        nextState = nullptr;
        return true;
    }
};

struct MainFrame : ::testing::Test {
    MainFrame()
    {
        Notifier.Strict = true;
        Start();
    }

    void Start()
    {
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }
    void Stop()
    {
        Program = nullptr;
        Driver.reset();
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    TQV_00Prog& Prg() const { return Program->Prg(); }
    TSceneViewer& View() const { return Window().GraphicView(); }
    template <class T = QAction> T& Find(const char* name) const { return kbtest::Child<T>(Window(), name); }
    // A left click in the view at a drawing point, and a key, through the
    // window as a person gives them.
    void ClickAt(double x, double y) const { Driver->ClickAt(Point2D(x, y)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const { Driver->Key(key, modifiers); }
    std::string WriteDrawing(const std::string& name, double y) const
    {
        const std::string file = Dir.File(name);
        TQV_01Cmp2D source;
        source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, y), Point2D(10, y)));
        source.SaveToFile(file);
        return file;
    }
    TPrimitive2D* DrawnPrimitive() const
    {
        auto* param = Prg().CurrentState() ? dynamic_cast<TQV_40DrawSizedPrimitiveParam*>(Prg().CurrentState()->Param())
                                           : nullptr;
        return param ? param->Primitive() : nullptr;
    }

    kbtest::TTempDir Config;
    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

std::vector<uint8_t> BytesOrNothing(const std::string& file)
{
    return std::filesystem::exists(file) ? kbtest::ReadFileBytes(file) : std::vector<uint8_t>{};
}

// --- Close and restart ----------------------------------------------------------

TEST_F(MainFrame, CloseAsksAndARestartFindsTheLayoutAndTheRecentFiles)
{
    const std::string settings = Program->Config().SettingsFileName();
    const auto before = BytesOrNothing(settings);
    Notifier.QueueAnswer(EUserAnswer::No);
    Find("mnuExit").trigger();
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Notifier.Prompts(), std::vector<std::string>{"question " + LangText(LangKeys::String::CloseQuestion)});
    EXPECT_EQ(BytesOrNothing(settings), before);

    Window().ViewCommands().tbrView().hide();
    Window().addToolBar(Qt::LeftToolBarArea, &Window().tbrEdit());
    const std::string files[] = {WriteDrawing("a.kvx", 0), WriteDrawing("b.kvx", 1), WriteDrawing("c.kvx", 2)};
    for (const std::string& file : files) {
        if (Doc().ObjectsCount() > 0)
            Notifier.QueueAnswer(EUserAnswer::Yes);
        Window().mruRecentFilesClick(file);
    }
    // A file that does not open stays out of the list.
    kbtest::WriteFileText(Dir.File("broken.kvx"), "not a drawing");
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Window().mruRecentFilesClick(Dir.File("broken.kvx"));
    EXPECT_EQ(Window().RecentFiles().Names().size(), 3u);

    Notifier.QueueAnswer(EUserAnswer::Yes);
    EXPECT_TRUE(Window().close());
    EXPECT_FALSE(Window().isVisible());

    Stop();
    Start();
    EXPECT_TRUE(Window().ViewCommands().tbrView().isHidden());
    EXPECT_EQ(Window().toolBarArea(&Window().tbrEdit()), Qt::LeftToolBarArea);
    std::vector<std::string> expected;
    for (const char* name : {"c.kvx", "b.kvx", "a.kvx"})
        expected.push_back(std::filesystem::absolute(Dir.File(name)).lexically_normal().string());
    EXPECT_EQ(Window().RecentFiles().Names(), expected);
    EXPECT_EQ(Find<QMenu>("mruRecentFiles").actions().size(), 3);
    // The other sections of the file are the settings' own.
    EXPECT_NE(kbtest::ReadFileText(settings).find("[Default]"), std::string::npos);

    // A maximised window starts maximised.
    EXPECT_FALSE(Window().isMaximized());
    Program->Config().fWPMax = true;
    ASSERT_TRUE(Program->Config().Save());
    Stop();
    Start();
    EXPECT_TRUE(Window().windowState() & Qt::WindowMaximized);
}

// --- Recent commands and keys -----------------------------------------------------

TEST_F(MainFrame, RecentCommandsAndTheKeys)
{
    TRecentCommands& recent = Window().RecentCommands();
    QAction& line = Find("mnuLineEndPt");
    QAction& circle = Find("mnuCircleCtPt");

    struct TStep {
        const char* What;
        std::function<void()> Act;
        std::vector<int32_t> Ids; // the buttons afterwards, newest first
        bool Busy;                // a command runs afterwards
    };
    const TStep steps[] = {
        {"Enter with nothing recorded does nothing", [&] { Key(Qt::Key_Return); }, {}, false},
        {"a line", [&] { line.trigger(); }, {201}, true},
        {"Esc in a line leaves the program idle", [&] { Key(Qt::Key_Escape); }, {201}, false},
        {"a circle goes in front", [&] { circle.trigger(); }, {401, 201}, true},
        {"Esc", [&] { Key(Qt::Key_Escape); }, {401, 201}, false},
        {"the line again: one button, in front", [&] { line.trigger(); }, {201, 401}, true},
        {"Esc", [&] { Key(Qt::Key_Escape); }, {201, 401}, false},
        {"Enter while idle repeats the newest", [&] { Key(Qt::Key_Return); }, {201, 401}, true},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.What);
        step.Act();
        EXPECT_EQ(recent.Ids(), step.Ids);
        EXPECT_EQ(Prg().Busy(), step.Busy);
    }
    ASSERT_NE(dynamic_cast<TLine2D*>(DrawnPrimitive()), nullptr);

    // The recorded command ended: its notice shows once, at the next prompt.
    Key(Qt::Key_Escape);
    EXPECT_EQ(Window().StatusMessage().toStdString(), LangText(LangKeys::String::StatusRecentHint));
    Window().ViewCommands().mnuZoomWindowClick();
    EXPECT_NE(Window().StatusMessage().toStdString(), LangText(LangKeys::String::StatusRecentHint));
    Key(Qt::Key_Escape);
    EXPECT_NE(Window().StatusMessage().toStdString(), LangText(LangKeys::String::StatusRecentHint));

    // Eleven commands leave ten, without the oldest; ids from 1000 take the
    // Modify images.
    for (int32_t id = 1101; id <= 1111; ++id)
        recent.MRUAdd(id, 3, "edit", [] {});
    const std::vector<int32_t> ids = recent.Ids();
    ASSERT_EQ(ids.size(), 10u);
    EXPECT_EQ(ids.front(), 1111);
    EXPECT_EQ(ids.back(), 1102);
    EXPECT_EQ(ImageIndex(*recent.Buttons().front()), 3);
}

TEST_F(MainFrame, TheEndOfACommandRestoresOrthoAndHidesTheToolWindowAfterATransform)
{
    Prg().UseOrto = true;
    Find("sbtRectangle").trigger();
    EXPECT_FALSE(Prg().UseOrto);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Prg().UseOrto);
    EXPECT_TRUE(Find("mnuOrtho").isChecked() == Find<QToolButton>("sbtUseOrtho").isChecked());

    struct TCase {
        const char* What;
        TCADStateClass Operation;
        bool ToolWinVisible;
    };
    for (const TCase& c : {TCase{"translate", StateClassOf<TQV_81TraslaSelectedObjects>(), false},
                           TCase{"line", StateClassOf<TQV_40DrawSizedPrimitive>(), true}}) {
        SCOPED_TRACE(c.What);
        Window().ToolWin().ShowPages({"tabTranslate"}, "twTrans", 250, 214);
        ASSERT_TRUE(Prg().StartOperation(StateClassOf<TUntilAccept>()));
        Prg().SetOperationClass(c.Operation);
        Find("mnuDone").trigger();
        EXPECT_FALSE(Prg().Busy());
        EXPECT_EQ(Window().ToolWin().isVisible(), c.ToolWinVisible);
    }
}

TEST_F(MainFrame, TheFileToolbarAndTheSwitches)
{
    // The split button repeats the item chosen last.
    QToolButton& save = Window().sbtSave();
    EXPECT_EQ(save.defaultAction(), &Find("mnuSave"));
    Find("mnuSaveAs").trigger(); // an empty drawing: a warning, nothing asked
    EXPECT_EQ(save.defaultAction(), &Find("mnuSaveAs"));
    EXPECT_EQ(ImageIndex(*save.defaultAction()), 37);
    EXPECT_EQ(save.toolTip().toStdString(), LangMainHint(LangKeys::frmMain::sbtSave));
    EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::NothingToSave));

    // The Machining submenu: its items, captioned; the running program has
    // installed every item's command, so none stays greyed.
    QMenu& cnc = Find<QMenu>("mnuCnc");
    ASSERT_EQ(cnc.actions().size(), 8);
    EXPECT_EQ(cnc.actions()[1]->objectName(), QStringLiteral("mnuCncContour"));
    EXPECT_EQ(cnc.actions()[1]->text().toStdString(), LangMainCaption("mnuCncContour"));
    EXPECT_EQ(ImageIndex(*cnc.actions()[1]), 10);
    for (QAction* item : cnc.actions())
        EXPECT_TRUE(item->isSeparator() || item->isEnabled()) << item->objectName().toStdString();

    // Captions under the images unless images only.
    Program->Config().TbrImagesOnly = false;
    Window().ImpostaTbr();
    EXPECT_EQ(Window().tbrFile().toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    Program->Config().TbrImagesOnly = true;
    Window().ImpostaTbr();
    EXPECT_EQ(Window().tbrFile().toolButtonStyle(), Qt::ToolButtonIconOnly);

    // Axes and grid follow their buttons, and so do the settings.
    TMainStatusBar& bar = Window().StatusItems();
    ASSERT_TRUE(bar.sbtAxisOnOff().isChecked());
    bar.sbtAxisOnOff().click();
    EXPECT_FALSE(Program->Scene().AxesVisible());
    EXPECT_FALSE(Program->Config().SAxis);
    ASSERT_TRUE(bar.sbtGridOnOff().isChecked());
    bar.sbtGridOnOff().click();
    EXPECT_FALSE(Program->Config().SGrid);
    EXPECT_FALSE(Program->Scene().GridVisible());
}

// --- Status bar -------------------------------------------------------------------

TEST_F(MainFrame, TheSnapItemsSetTheModeAndTheImage)
{
    TMainStatusBar& bar = Window().StatusItems();
    QMenu& popupSnap = Find<QMenu>("mnuSnapTo");
    const TObjectSnapMode modes[] = {TObjectSnapMode::EndPoint, TObjectSnapMode::MidPoint, TObjectSnapMode::Centre,
                                     TObjectSnapMode::Point, TObjectSnapMode::Automatic};
    for (const bool gridSnap : {false, true}) {
        GridSetter().SetSnapToGrid(gridSnap);
        const int offset = gridSnap ? TMainStatusBar::GridSnapImageOffset : 0;
        for (int i = 0; i < TMainStatusBar::SnapCount; ++i) {
            SCOPED_TRACE(i);
            QAction* item = bar.SnapItems()[static_cast<size_t>(i)];
            item->trigger();
            EXPECT_EQ(Prg().ObjectSnapMode, modes[i]);
            EXPECT_EQ(ImageIndex(bar.sbtSnap()), i + 1 + offset);
            // The popup's twin is the same item.
            EXPECT_TRUE(popupSnap.actions().contains(item));
            EXPECT_TRUE(item->isChecked());
            EXPECT_EQ(static_cast<int>(Prg().ObjectSnapMode), 9 + 2 * i);
        }
        bar.SnapItems().back()->trigger(); // unchecks the checked one
        EXPECT_FALSE(bar.SnapItems().back()->isChecked());
        EXPECT_EQ(Prg().ObjectSnapMode, TObjectSnapMode::None);
        EXPECT_EQ(ImageIndex(bar.sbtSnap()), offset);
    }
    GridSetter().SetSnapToGrid(false);

    // Grid snap from the status bar ticks the popup's item and the dialog's box.
    auto& dialogBox = *Window().GridDialog().findChild<QCheckBox*>(QStringLiteral("chkSnap2Grid"));
    bar.mnuSBSnap2Grid().trigger();
    EXPECT_TRUE(Prg().Snap2Grid);
    EXPECT_TRUE(popupSnap.actions().contains(&bar.mnuSBSnap2Grid()));
    EXPECT_TRUE(bar.mnuSBSnap2Grid().isChecked());
    EXPECT_TRUE(dialogBox.isChecked());
    bar.mnuSBSnap2Grid().trigger();
    EXPECT_FALSE(Prg().Snap2Grid);
    EXPECT_FALSE(dialogBox.isChecked());

    // A right click at x 22 or 93 opens the grid dialog, at 23 or 92 not.
    for (const int x : {22, 23, 92, 93}) {
        SCOPED_TRACE(x);
        Notifier.Clear();
        const bool opens = x == 22 || x == 93;
        if (opens)
            Notifier.QueueDialog("frmGrid", [] { return 0; });
        QTest::mouseClick(&bar.Bar(), Qt::RightButton, {}, QPoint(x, bar.Bar().height() / 2));
        EXPECT_EQ(Notifier.Prompts(), opens ? std::vector<std::string>{"dialog frmGrid"} : std::vector<std::string>{});
    }
}

TEST_F(MainFrame, TheLayerButtonAndTheReadOut)
{
    Doc().Layers().GetLayer(3).SetPenColor(255);
    Doc().SetCurrentLayer(3);
    Window().CurrLayerInfo();
    EXPECT_EQ(Window().StatusItems().sbtLayer().text().toStdString(),
              LangMainText(LangKeys::frmMain::LayerButton) + " 3");
    EXPECT_EQ(Window().StatusItems().SpTBXCLCol().palette().color(QPalette::Window), QColor(255, 0, 0));
    Notifier.QueueDialog("frmLayer", [] { return 2; });
    Window().StatusItems().sbtLayer().click();
    EXPECT_EQ(Window().StatusMessage().toStdString(), LangText(LangKeys::String::StatusLayerDialog));

    Prg().SetCursorPoint(Point2D(12.5, -3));
    Window().GraphicViewMouseMove2D(TShiftState(), 12.5, -3, 0, 0);
    EXPECT_EQ(Window().StatusItems().lblCoordinate()->text(), QStringLiteral("X: 12.5 Y: -3"));
}

// --- View ---------------------------------------------------------------------------

TEST_F(MainFrame, ThePopupFollowsTheRunningCommand)
{
    TViewCommands& view = Window().ViewCommands();
    const auto enabled = [&](const char* name) { return Find(name).isEnabled(); };
    struct TCase {
        const char* What;
        std::function<void()> Start;
        bool CommandItems; // Done, Cancel, Coordinate
        bool ZoomItems;
    };
    const TCase cases[] = {
        {"idle", [] {}, false, true},
        {"a pan", [&] { view.mnuPanClick(); }, true, false},
        {"a line", [&] { Find("mnuLineEndPt").trigger(); }, true, true},
        {"a zoom window over the line", [&] { view.mnuZoomWindowClick(); }, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        c.Start();
        view.PopupDestroPopup();
        for (const char* name : {"mnuDone", "mnuCancel", "mnuCoord"})
            EXPECT_EQ(enabled(name), c.CommandItems) << name;
        for (const char* name : {"mnuZoomWindow", "mnuZoomIn", "mnuZoomOut", "mnuAutozoom", "mnuPan"})
            EXPECT_EQ(enabled(name), c.ZoomItems) << name;
        if (std::string_view(c.What) == "a pan")
            Key(Qt::Key_Escape);
    }
}

TEST_F(MainFrame, ZoomWindowDuringALineAndTheZoomButtons)
{
    Find("mnuLineEndPt").trigger();
    ClickAt(1, 1);
    Key(Qt::Key_F1, Qt::ControlModifier);
    ASSERT_TRUE(Prg().Suspended());
    EXPECT_EQ(Prg().NestedOperationClass(), StateClassOf<TQV_20PrgZoomArea>());
    const double before = Program->Scene().Camera().SceneScale();
    ClickAt(-2, -2);
    ClickAt(4, 3);
    EXPECT_FALSE(Prg().Suspended());
    EXPECT_NE(Program->Scene().Camera().SceneScale(), before);
    const int32_t count = Doc().ObjectsCount();
    ClickAt(3, 2); // the line's second point
    EXPECT_EQ(Doc().ObjectsCount(), count + 1);

    TQVScene& scene = Program->Scene();
    scene.SetCameraOffset(osg::Vec3d(3, -4, 0));
    Find("sbtTopView").trigger();
    EXPECT_NEAR(scene.Camera().Offset().x(), 0.0, 1e-12);
    EXPECT_NEAR(scene.Camera().Offset().y(), -0.000005, 1e-12);
    EXPECT_NEAR(scene.Camera().Offset().z(), 5.0, 1e-12);

    const double scale = scene.Camera().SceneScale();
    Key(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_NEAR(scene.Camera().SceneScale(), scale * 1.25, 1e-12);
    Key(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_NEAR(scene.Camera().SceneScale(), scale * 0.9375, 1e-12);
}

// --- Typed coordinates ----------------------------------------------------------------

TEST_F(MainFrame, TypedCoordinatesClickForTheRunningLine)
{
    TfrmCoord& dialog = Window().CoordDialog();
    Find("mnuLineEndPt").trigger();
    Prg().SetCursorPoint(Point2D(1, 2));

    // Cancel sends nothing.
    Notifier.QueueDialog("frmCoord", [&] {
        EXPECT_EQ(dialog.txtCoordX().text(), QStringLiteral("1"));
        EXPECT_EQ(dialog.txtCoordY().text(), QStringLiteral("2"));
        return TfrmCoord::ResultCancel;
    });
    Window().mnuCoordClick();
    EXPECT_EQ(Prg().GetCursorPoint().X, 1.0);
    ASSERT_NE(DrawnPrimitive(), nullptr);
    const TCADStateClass waiting = StateClassOf<TQV_40DrawSizedPrimitive>();
    EXPECT_EQ(Prg().OperationClass(), waiting);

    // A lone minus is refused with the conversion error; the line waits.
    Notifier.QueueDialog("frmCoord", [&] {
        dialog.txtCoordX().setText(QStringLiteral("-"));
        return TfrmCoord::ResultOk;
    });
    Window().mnuCoordClick();
    ASSERT_FALSE(Notifier.Messages().empty());
    EXPECT_EQ(Notifier.Messages().back().Kind, EMessageKind::Error);
    EXPECT_EQ(Notifier.Messages().back().Text, "'-' is not a valid floating point value");
    EXPECT_TRUE(Prg().Busy());
    EXPECT_EQ(Prg().GetCursorPoint().X, 1.0);

    // "12,5" typed shows "12.5"; OK puts the first point there.
    Notifier.QueueDialog("frmCoord", [&] {
        dialog.txtCoordX().clear();
        QTest::keyClicks(&dialog.txtCoordX(), QStringLiteral("1a2,5"));
        EXPECT_EQ(dialog.txtCoordX().text(), QStringLiteral("12.5"));
        return TfrmCoord::ResultOk;
    });
    Window().mnuCoordClick();
    TPrimitive2D* line = DrawnPrimitive();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Points().Get(0).X, 12.5);
    EXPECT_EQ(line->Points().Get(0).Y, 2.0);
}

// --- Geometry tree ----------------------------------------------------------------------

TEST_F(MainFrame, TheTreePopupSwitchesLayersAndDeletes)
{
    TTreeCommands& commands = Window().TreeCommands();
    TGeoTreeView& tree = Window().InfoEdit().TreeGeo();
    const int32_t onThree = Doc().AddObjectOnLayer(-1, 3, std::make_unique<TLine2D>(3, Point2D(0, 0), Point2D(1, 0)))->ID();
    const TLine2D* onFive = Doc().AddObjectOnLayer(-1, 5, std::make_unique<TLine2D>(5, Point2D(0, 1), Point2D(1, 1)));
    const int32_t alsoOnThree =
        Doc().AddObjectOnLayer(-1, 3, std::make_unique<TLine2D>(3, Point2D(0, 2), Point2D(1, 2)))->ID();
    tree.expandAll();
    QTreeWidgetItem* layer3 = nullptr;
    QTreeWidgetItem* entity = nullptr;
    QTreeWidgetItem* root = nullptr;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if (TGeoTreeView::NodeLevel(*it) == 0)
            root = *it;
        if (TGeoTreeView::NodeLevel(*it) == 1 && TGeoTreeView::NodeData(*it) == 4)
            layer3 = *it;
        if (TGeoTreeView::NodeLevel(*it) == 2 && TGeoTreeView::NodeData(*it) == onThree)
            entity = *it;
    }
    ASSERT_TRUE(layer3 && entity && root);
    const auto at = [&](QTreeWidgetItem* item) { return tree.visualItemRect(item).center(); };
    const auto layerVisible = [&](int layer) { return Doc().Layers().GetLayer(layer).Visible() != 0; };

    // No popup on the root or on empty space.
    EXPECT_FALSE(commands.TreeGeoContextPopup(at(root), false));
    EXPECT_FALSE(commands.TreeGeoContextPopup(QPoint(5, tree.viewport()->height() - 2), false));

    ASSERT_TRUE(commands.TreeGeoContextPopup(at(layer3), false));
    EXPECT_EQ(commands.SelectedLayerNode(), layer3);
    EXPECT_TRUE(Find("mnuLayerOnOff").isVisible());
    EXPECT_FALSE(Find("mnuGeoDelete").isVisible());
    Find("mnuLayerOnOff").trigger();
    EXPECT_FALSE(layerVisible(3));
    EXPECT_EQ(TGeoTreeView::NodeImage(layer3), TTreeCommands::HiddenLayerImage);
    Find("mnuLayerOnOff").trigger();
    EXPECT_TRUE(layerVisible(3));
    EXPECT_EQ(TGeoTreeView::NodeImage(layer3), TTreeCommands::VisibleLayerImage);

    Find("mnuLayerHide").trigger();
    EXPECT_TRUE(layerVisible(3));
    EXPECT_FALSE(layerVisible(5));
    EXPECT_TRUE(layerVisible(7)); // no node: unchanged
    Find("mnuLayerShow").trigger();
    EXPECT_TRUE(layerVisible(5));

    ASSERT_TRUE(commands.TreeGeoContextPopup(at(entity), false));
    EXPECT_FALSE(Find("mnuLayerOnOff").isVisible());
    EXPECT_TRUE(Find("mnuGeoDelete").isVisible());
    // The delete and its undo work on the one entity: the other entities
    // keep their scene objects, the layer's node its other entity.
    const TSceneNodeId fiveNode = onFive->ViewNode();
    const auto layer3Entities = [&] {
        std::vector<int32_t> ids;
        for (int i = 0; i < layer3->childCount(); ++i)
            ids.push_back(TGeoTreeView::NodeData(layer3->child(i)));
        return ids;
    };
    Find("mnuGeoDelete").trigger();
    EXPECT_EQ(Doc().GetObject(onThree), nullptr);
    EXPECT_EQ(layer3Entities(), std::vector<int32_t>{alsoOnThree});
    UndoJournal()->Undo();
    ASSERT_NE(Doc().GetObject(onThree), nullptr);
    EXPECT_EQ(Doc().GetObject(onThree)->Layer(), 3);
    EXPECT_EQ(layer3Entities(), (std::vector<int32_t>{alsoOnThree, onThree}));
    EXPECT_EQ(onFive->ViewNode(), fiveNode) << "the scene was rebuilt";
}

// --- Pictures for review ---------------------------------------------------------------

// --- Pictures -------------------------------------------------------------------

TEST_F(MainFrame, EveryCommandShowsAPictureOfItsList)
{
    // Every action and button that names an image shows that list's picture.
    int named = 0;
    for (QObject* object : Window().findChildren<QObject*>()) {
        const int index = ImageIndex(*object);
        if (index < 0)
            continue;
        ++named;
        SCOPED_TRACE(object->objectName().toStdString() + " " + std::to_string(index));
        TImageList list = TImageList::File;
        ASSERT_TRUE(ImageListOf(*object, list));
        EXPECT_TRUE(HasListImage(list, index)) << ImageListName(list);
        const QIcon icon = qobject_cast<QAction*>(object) ? qobject_cast<QAction*>(object)->icon()
                                                           : qobject_cast<QToolButton*>(object)->icon();
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon.pixmap(24).toImage(), ListImage(list, index).pixmap(24).toImage());
    }
    EXPECT_GT(named, 100);

    // The help drop-down: five pictures, none of them Exit's.
    const QImage exit = Find("mnuExit").icon().pixmap(24).toImage();
    for (const char* name : {"mnuHelp", "mnuTutor", "mnuAbout", "mnuWebUpdate", "mnuWeb"}) {
        const QImage picture = Find(name).icon().pixmap(24).toImage();
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_NE(picture, exit) << name;
    }

    // The geometry tree shows the drawing, its layer and the line.
    Doc().AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(10, 0)));
    Window().InfoEdit().TreeGeo().RebuildGeoTree(Doc());
    int withPicture = 0, items = 0;
    for (QTreeWidgetItemIterator it(&Window().InfoEdit().TreeGeo()); *it; ++it, ++items)
        withPicture += (*it)->icon(0).isNull() ? 0 : 1;
    EXPECT_EQ(items, 3);
    EXPECT_EQ(withPicture, items);
}

TEST_F(MainFrame, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Notifier.Strict = false;
    Window().mruRecentFilesClick(SamplePath());
    Window().RecentFiles().Add("/home/user/parts/bracket.kvx");
    Window().RecentFiles().Add(SamplePath());
    Find("mnuLineEndPt").trigger();
    Find("mnuCircleCtPt").trigger();
    Key(Qt::Key_Escape);
    Window().StatusItems().SnapItems()[0]->trigger();
    GridSetter().SetSnapToGrid(true);
    QTest::qWait(200);
    ASSERT_TRUE(Window().grab().save(folder + QStringLiteral("/main-window.png")));

    QMenu& snap = Window().StatusItems().SnapMenu();
    snap.popup(Window().StatusItems().sbtSnap().mapToGlobal(QPoint(0, -snap.sizeHint().height())));
    QTest::qWait(200);
    ASSERT_TRUE(kbtest::WithMenu(Window(), snap).save(folder + QStringLiteral("/snap-menu.png")));
    snap.hide();

    Find("mnuLineEndPt").trigger();
    QMenu& popup = Window().ViewCommands().PopupDestro();
    Window().ViewCommands().ShowPopup(View(), QPoint(View().width() / 2, View().height() / 3));
    QTest::qWait(200);
    ASSERT_TRUE(kbtest::WithMenu(Window(), popup).save(folder + QStringLiteral("/view-popup.png")));
    popup.hide();

    TfrmCoord& dialog = Window().CoordDialog();
    Prg().SetCursorPoint(Point2D(12.5, -3));
    dialog.txtCoordX().setText(QStringLiteral("12.5"));
    dialog.txtCoordY().setText(QStringLiteral("-3"));
    dialog.show();
    QTest::qWait(200);
    ASSERT_TRUE(dialog.grab().save(folder + QStringLiteral("/coordinate-dialog.png")));
    dialog.hide();
    Key(Qt::Key_Escape);
    GridSetter().SetSnapToGrid(false);
}

} // namespace
