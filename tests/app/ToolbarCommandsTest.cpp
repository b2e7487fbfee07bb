// The Create and Edit toolbars' commands offscreen, on the scene model over
// a document: the point patterns as pure functions and placed by a click,
// every row of the command table as it starts, the split buttons, the
// properties panel restarting its command, and the selection kinds.

#include "app/EndOperation.h"
#include "app/mainwin/ImageLists.h"
#include "app/mainwin/PointPatterns.h"
#include "app/mainwin/RecentCommands.h"
#include "app/mainwin/ToolbarCommands.h"
#include "cad/edit/QV2D_Fillet.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/scene/QVScene.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/CADPrompts.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double Tol = 1e-6;

std::vector<TObject2D*> All(TGraphicObjList& list)
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = list.GetIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next())
        if (auto* entity = dynamic_cast<TObject2D*>(object))
            objects.push_back(entity);
    return objects;
}

std::vector<TPoint2D> PointsOf(const TContainer2D& container)
{
    std::vector<TPoint2D> points;
    for (TObject2D* object : All(container.Objects()))
        if (auto* point = dynamic_cast<TPunto2D*>(object))
            points.push_back(point->Points().Points()[0]);
    return points;
}

// tol: the bolt circle keeps its running angle in single precision.
void ExpectNear(const std::vector<TPoint2D>& actual, const std::vector<TPoint2D>& expected, double tol = Tol)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].X, expected[i].X, tol) << "point " << i;
        EXPECT_NEAR(actual[i].Y, expected[i].Y, tol) << "point " << i;
    }
}

TPoint2D Polar(double r, double deg)
{
    const double a = deg * std::numbers::pi / 180.0;
    return MakePoint2D(r * std::cos(a), r * std::sin(a));
}

TEST(PointPatterns, GridRowsColumnsAnglesAndCounts)
{
    const auto grid = PointGridContainer({10, 5, 3, 2, 0});
    ASSERT_TRUE(grid);
    ExpectNear(PointsOf(*grid), {{0, 0}, {10, 0}, {20, 0}, {0, 5}, {10, 5}, {20, 5}});
    EXPECT_NEAR(grid->BasePoint().X, 0.0, Tol);
    EXPECT_NEAR(grid->BasePoint().Y, 0.0, Tol);

    // A negative angle is its angle plus 360; one beyond a turn is reduced first.
    ExpectNear(PointsOf(*PointGridContainer({10, 5, 3, 2, -30})), PointsOf(*PointGridContainer({10, 5, 3, 2, 330})));
    ExpectNear(PointsOf(*PointGridContainer({10, 5, 3, 2, 390})), PointsOf(*PointGridContainer({10, 5, 3, 2, 30})));
    ExpectNear(PointsOf(*PointGridContainer({10, 5, 3, 2, -750})), PointsOf(*PointGridContainer({10, 5, 3, 2, 330})));
    EXPECT_NEAR(GridAngleDeg(-360), 0.0, Tol);
    EXPECT_NEAR(GridAngleDeg(360), 360.0, Tol);

    // In every quadrant the base point is the grid's lower-left corner, so
    // placing puts the grid's first point at the click.
    for (const double angle : {0.0, 30.0, 90.0, 120.0, 200.0, 300.0, 359.0}) {
        const auto rotated = PointGridContainer({10, 5, 4, 3, angle});
        double left = 1e9, bottom = 1e9;
        for (const TPoint2D& p : PointsOf(*rotated)) {
            left = std::min(left, p.X);
            bottom = std::min(bottom, p.Y);
        }
        EXPECT_NEAR(rotated->BasePoint().X, left, Tol) << angle;
        EXPECT_NEAR(rotated->BasePoint().Y, bottom, Tol) << angle;
    }

    // Counts truncate; below 1 the container is empty; above the cap none is made.
    EXPECT_EQ(PointsOf(*PointGridContainer({10, 5, 3.9, 2.2, 0})).size(), 6u);
    EXPECT_EQ(PointGridContainer({10, 5, 0, 2, 0})->Objects().Count(), 0);
    EXPECT_EQ(PointGridContainer({10, 5, -4, -4, 0})->Objects().Count(), 0);
    EXPECT_TRUE(PointGridContainer({1, 1, 100000, 1, 0}));
    EXPECT_FALSE(PointGridContainer({1, 1, 10000, 10000, 0}));
    EXPECT_FALSE(PointGridContainer({1, 1, 1e300, 2, 0}));
}

TEST(PointPatterns, BoltCircleStepsHolesAndCounts)
{
    const auto bolt = BoltCircleContainer({10, 0, -30, 4, 2});
    ASSERT_TRUE(bolt);
    ExpectNear(PointsOf(*bolt), {Polar(10, 0), Polar(10, -30), Polar(10, -60), Polar(10, -90)}, 1e-4);
    std::vector<TObject2D*> objects = All(bolt->Objects());
    ASSERT_EQ(objects.size(), 8u);
    for (size_t i = 1; i < objects.size(); i += 2) {
        auto* circle = dynamic_cast<TCerchio2D*>(objects[i]);
        ASSERT_NE(circle, nullptr);
        const TPoint2D centre = circle->Points().Points()[0];
        const TPoint2D rim = circle->Points().Points()[1];
        EXPECT_NEAR(std::hypot(rim.X - centre.X, rim.Y - centre.Y), 1.0, Tol);
        EXPECT_NEAR(centre.X, PointsOf(*bolt)[i / 2].X, Tol); // the hole sits on its point
    }
    // The centre is placed at the click: the base point is the box corner.
    EXPECT_NEAR(bolt->BasePoint().X, bolt->Box().FirstEdge.X, Tol);
    EXPECT_NEAR(bolt->BasePoint().Y, bolt->Box().FirstEdge.Y, Tol);

    EXPECT_EQ(BoltCircleContainer({10, 0, 90, 4, 0})->Objects().Count(), 4);
    EXPECT_EQ(BoltCircleContainer({10, 0, 90, 0, 2})->Objects().Count(), 0);
    EXPECT_FALSE(BoltCircleContainer({10, 0, 1, 100001, 0}));
}

struct ToolbarCommands : ::testing::Test {
    ToolbarCommands()
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        PreviousJournal = SetUndoJournal(&Journal);
        PreviousPanel = SetInfoEditPanel(&Panel);
        // One drawing unit a pixel, drawing (0, 0) at pixel (400, 300).
        View.SetViewportSize(800, 600);
        View.ZoomToBox(TBox3D{{-240, -320, 0, 1}, {240, 320, 0, 1}});
        View.SetDocument(&Doc);
        Prg.OnStartOperation = [this](TQV_00CADProg&, TCADStateClass cls, TQV_00CADPrgParam* param) {
            if (cls != Prg.IdleClass())
                Started.push_back({cls->Name, param && param->AfterState() ? param->AfterState()->Name : ""});
        };
        Commands = std::make_unique<TToolbarCommands>(Prg, *Recent, End, Create, Edit, nullptr);
        Commands->SetView(&View, &Doc);
        Commands->WindowSelection = [this] { return WindowChecked; };
        Commands->SelectTreeNode = [this](TObject2D& object) { TreeSelected.push_back(&object); };
        for (const char* name : {"mnuPtAlong", "mnuTextTT", "mnuTextSL", "mnuTextLabel", "mnuDeleteSmall",
                                 "mnuChangeLayer", "mnuOffset", "mnuInfoEntities"})
            Commands->PageCommands[name] = [this, name] { Pages.push_back(name); };
    }
    ~ToolbarCommands() override
    {
        Prg.StopOperation();
        Commands.reset();
        SetInfoEditPanel(PreviousPanel);
        SetUndoJournal(PreviousJournal);
        SetLanguageIni(nullptr);
    }

    void SetRows(std::initializer_list<const char*> values)
    {
        int i = 0;
        for (const char* value : values) {
            std::string text = value;
            Panel.SetValueText(i++, text);
        }
    }
    std::vector<TPoint2D> DrawingPoints()
    {
        std::vector<TPoint2D> points;
        for (TObject2D* object : All(Doc.Objects()))
            if (auto* point = dynamic_cast<TPunto2D*>(object))
                points.push_back(CartesianPoint2D(point->GetModelTransform().TransformPoint2D(point->Points().Points()[0])));
        return points;
    }

    struct TStart {
        std::string State;
        std::string After;
    };

    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingShell Shell;
    TAppConfig Config{""};
    TQV_01Cmp2D Doc;
    TUndoRedo Journal{Doc};
    TUndoRedo* PreviousJournal = nullptr;
    TInfoEditModel Panel{true};
    TInfoEditModel* PreviousPanel = nullptr;
    TQVScene View{Config};
    kbtest::TRecordingReadout Readout;
    TQV_00Prog Prg;
    TViewServicesScope Services{TViewServices{&View.SceneBuilder(), &View, &Readout, &Prg}};
    kbtest::TCADDriver Driver{Prg, View, [this](const TPoint2D& p) { return View.PointToScreen(p); }, Shell};
    QToolBar Create, Edit, Mru;
    TRecentCommands* Recent = new TRecentCommands(Mru);
    TEndOperation End;
    std::unique_ptr<TToolbarCommands> Commands;
    bool WindowChecked = false;
    std::vector<TStart> Started;
    std::vector<std::string> Pages;
    std::vector<TObject2D*> TreeSelected;
};

TEST_F(ToolbarCommands, PointGridPlacedByAClickIsOneUndoStep)
{
    Panel.SetCommandPage(2);
    SetRows({"10", "5", "3", "2", "0"});
    ASSERT_TRUE(Commands->Start("mnuPointGrid"));
    EXPECT_TRUE(Prg.UsaSnap);
    Driver.Click(MakePoint2D(100, 50));
    ExpectNear(DrawingPoints(), {{100, 50}, {110, 50}, {120, 50}, {100, 55}, {110, 55}, {120, 55}});
    EXPECT_FALSE(Prg.Busy());

    Commands->sbtUndo().trigger();
    EXPECT_EQ(Doc.ObjectsCount(), 0);

    // A count of 0 places an empty grid: nothing is added.
    SetRows({"10", "5", "0", "2", "0"});
    ASSERT_TRUE(Commands->Start("mnuPointGrid"));
    Driver.Click(MakePoint2D(100, 50));
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

TEST_F(ToolbarCommands, APatternOverTheCapWarnsOnceAndStartsNothing)
{
    Panel.SetCommandPage(2);
    SetRows({"1", "1", "10000", "10000", "0"});
    Started.clear();
    EXPECT_FALSE(Commands->Start("mnuPointGrid"));
    EXPECT_TRUE(Started.empty());
    EXPECT_FALSE(Prg.Busy());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::TooManyPoints));
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);

    Panel.SetCommandPage(3);
    SetRows({"10", "0", "1", "200000", "0"});
    EXPECT_FALSE(Commands->Start("mnuBoltPoint"));
    EXPECT_EQ(Notifier.Messages().size(), 2u);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

TEST_F(ToolbarCommands, BoltCircleAroundTheClick)
{
    Panel.SetCommandPage(3);
    SetRows({"10", "0", "-30", "4", "2"});
    ASSERT_TRUE(Commands->Start("mnuBoltPoint"));
    Driver.Click(MakePoint2D(100, 50));
    ExpectNear(DrawingPoints(), {MakePoint2D(110, 50), MakePoint2D(100 + Polar(10, -30).X, 50 + Polar(10, -30).Y),
                                 MakePoint2D(100 + Polar(10, -60).X, 50 + Polar(10, -60).Y), MakePoint2D(100, 40)},
               1e-4);
    EXPECT_EQ(Doc.ObjectsCount(), 8);
}

// Every row: the state started (and its after-state), the panel, object
// snap, the recent entry, its image and image list.
TEST_F(ToolbarCommands, EveryRowStartsAsItsTableSays)
{
    enum TPanelIs { Shown, Hidden, Editable, Same };
    struct TRow {
        const char* Name;
        const char* State; // "" for a page command
        const char* After;
        int Page;          // the page shown; 0 none
        TPanelIs Panel;
        char Snap;         // '1' on, '0' off, '=' unchanged
        int32_t Id;
        int Image;
    };
    const TRow rows[] = {
        {"mnuPointPosition", "TQV_40DrawSizedPrimitive", "", 1, Shown, '1', 101, 0},
        {"mnuPointGrid", "TQV_40PositionObject", "TQV_40ExplodeContainer", 2, Shown, '1', 102, 1},
        {"mnuBoltPoint", "TQV_40PositionObject", "TQV_40ExplodeContainer", 3, Shown, '1', 103, 2},
        {"mnuPtAlong", "", "", 0, Hidden, '=', 104, 3},
        {"mnuLineEndPt", "TQV_40DrawSizedPrimitive", "", 5, Shown, '1', 201, 4},
        {"mnuLinePolar", "TQV_40PositionObject", "", 6, Shown, '1', 202, 5},
        {"mnuLinePerp", "TQV_50Seleziona1Ogg", "TLineaPerpend", 0, Hidden, '=', 203, 6},
        {"mnuLineTangent2Arc", "TQV_50Seleziona2Ogg", "TMyLineaTan2A", 8, Shown, '0', 204, 7},
        {"mnuLineTangentAngle", "TQV_50Seleziona1Ogg", "TMyLineaTanAngle", 7, Shown, '0', 205, 8},
        {"sbtRectangle", "TQV_40DrawSizedPrimitive", "", 9, Shown, '1', 301, 9},
        {"mnuCircleCtPt", "TQV_40DrawSizedPrimitive", "", 11, Shown, '1', 401, 10},
        {"mnuCircleCtDia", "TQV_40PositionObject", "", 12, Shown, '1', 402, 11},
        {"mnuCircle3Pt", "TQV_40DrawArco3Pt", "", 13, Shown, '1', 403, 24},
        {"mnuArcCtPtSaEa", "TQV_40DrawArcoPrimitive", "", 14, Shown, '1', 404, 12},
        {"mnuArcPolar", "TQV_40PositionObject", "", 15, Shown, '1', 405, 13},
        {"mnuArc3Pt", "TQV_40DrawArco3Pt", "", 13, Shown, '1', 406, 23},
        {"mnuArcTangent1", "TQV_50Seleziona1Ogg", "TMyArcoTan1", 16, Hidden, '1', 407, 14},
        {"mnuArcTangent2", "TQV_50Seleziona2Ogg", "TMyArcoTan2", 17, Shown, '1', 408, 15},
        {"mnuEllipseClose", "TQV_40DrawSizedPrimitive", "", 19, Shown, '1', 409, 16},
        {"mnuEllipseOpen", "TQV_40DrawEOPrimitive", "", 19, Shown, '1', 410, 17},
        {"sbtPoly", "TQV_40DrawUnSizedPrimitive", "", 20, Shown, '1', 501, 18},
        {"sbtSpline", "TQV_40DrawUnSizedPrimitive", "", 21, Shown, '1', 601, 19},
        {"mnuTextTT", "", "", 0, Same, '1', 701, 21},
        {"mnuTextSL", "", "", 0, Same, '1', 702, 22},
        {"mnuTextLabel", "", "", 0, Same, '1', 703, 20},
        {"mnuDelete", "TQV_50SelectObjects", "TMyCancella", 0, Editable, '0', 1101, 0},
        {"mnuWindowDelete", "TQV_51WinSelectObjects", "TMyCancella", 0, Editable, '0', 1102, 1},
        {"mnuDeleteSmall", "", "", 0, Editable, '0', 1103, 2},
        {"mnuFillet", "TQV_50Seleziona2Ogg", "TQV2D_Fillet", 26, Shown, '0', 1201, 3},
        {"mnuTrim", "TQV_50Seleziona2Ogg", "TQV2D_Trim", 27, Shown, '0', 1202, 4},
        {"mnuBreak", "TQV_50Seleziona2Ogg", "TQV2D_Break", 28, Shown, '0', 1203, 5},
        {"mnuDivide", "TQV_50Seleziona1Ogg", "TQV2D_Divide", 29, Shown, '0', 1204, 6},
        {"mnuJoin", "TQV_50Seleziona2Ogg", "TQV2D_Join", 30, Shown, '0', 1205, 7},
        {"mnuExtend", "TQV_50Seleziona1Ogg", "TQV2D_Extend", 31, Shown, '0', 1206, 8},
        {"mnuExplode", "TQV_50SelectObjects", "TQV2D_Esplode", 0, Hidden, '0', 1207, 9},
        {"mnuMoveNode", "TQV_50Seleziona1Ogg", "TQV_60EditSelectedPrimitive", 0, Hidden, '0', 1208, 10},
        {"mnuChangeLayer", "", "", 0, Hidden, '0', 1209, 11},
        {"mnuPolySemplify", "TQV_50SelectObjects", "TMyRiducePoly", 33, Shown, '0', 1210, 12},
        {"mnuTranslate", "TQV_50SelectObjects", "TQV_81TraslaSelectedObjects", 0, Hidden, '0', 1301, 13},
        {"mnuRotate", "TQV_50SelectObjects", "TQV_82RuotaSelectedObjects", 0, Hidden, '0', 1302, 14},
        {"mnuMirror", "TQV_50SelectObjects", "TQV_83SpecchiaSelectedObjects", 0, Hidden, '0', 1303, 15},
        {"mnuScale", "TQV_50SelectObjects", "TQV_84ScalaSelectedObjects", 0, Hidden, '0', 1304, 16},
        {"mnuOffset", "", "", 0, Hidden, '0', 1305, 17},
        {"mnuSelect", "TQV_50Seleziona1Ogg", "TSelez1Ent", 0, Shown, '=', 1404, 22},
        {"mnuInfoEntities", "", "", 0, Same, '=', 1401, 18},
        {"mnuDistance", "TQV_70Sel2Punti", "", 34, Shown, '1', 1402, 19},
        {"mnuShowEndpoints", "", "", 0, Same, '=', 1403, 20},
    };
    ASSERT_EQ(std::size(rows), CommandTable().size());
    Panel.SetCommandPage(4); // a page none of them shows
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        Prg.StopOperation();
        Panel.SetReadOnly(true); // also shows the panel
        const uint8_t pageBefore = Panel.PageType();
        for (const bool snapBefore : {false, true}) {
            Prg.StopOperation();
            Prg.UsaSnap = snapBefore;
            Started.clear();
            Pages.clear();
            Commands->Action(row.Name)->trigger();
            if (row.Snap == '=')
                EXPECT_EQ(Prg.UsaSnap, snapBefore);
            else
                EXPECT_EQ(Prg.UsaSnap, row.Snap == '1');
        }
        if (*row.State) {
            ASSERT_FALSE(Started.empty());
            EXPECT_EQ(Started.front().State, row.State);
            EXPECT_EQ(Started.front().After, row.After);
            EXPECT_TRUE(Pages.empty());
        } else {
            EXPECT_TRUE(Started.empty());
            if (std::string_view(row.Name) != "mnuShowEndpoints") {
                EXPECT_EQ(Pages, std::vector<std::string>{row.Name});
            }
        }
        if (row.Page) {
            EXPECT_EQ(Panel.PageType(), row.Page);
        } else if (row.Panel == Same) {
            EXPECT_EQ(Panel.PageType(), pageBefore);
        } else {
            // A command without a page keeps none of the command before.
            EXPECT_EQ(Panel.PageType(), 0);
            EXPECT_EQ(Panel.PageKind(), TPanelPageKind::None);
            EXPECT_TRUE(Panel.Layout().Title.empty());
        }
        EXPECT_EQ(Panel.PanelVisible(), row.Panel != Hidden);
        if (row.Panel == Hidden || row.Panel == Editable) {
            EXPECT_FALSE(Panel.ReadOnly());
        }
        ASSERT_FALSE(Recent->Ids().empty());
        EXPECT_EQ(Recent->Ids().front(), row.Id);
        QAction* button = Recent->Buttons().front();
        EXPECT_EQ(ImageIndex(*button), row.Image);
        const TImageList list = row.Id >= 1000 ? TImageList::Modify : TImageList::Create;
        EXPECT_EQ(button->icon().pixmap(16).toImage(), ListImage(list, row.Image).pixmap(16).toImage());
    }
}

TEST_F(ToolbarCommands, SplitButtonsRepeatTheItemChosenLast)
{
    QToolButton* arc = Commands->SplitButton("sbtArc");
    ASSERT_NE(arc, nullptr);
    Commands->Action("mnuArc3Pt")->trigger();
    EXPECT_EQ(arc->defaultAction(), Commands->Action("mnuArc3Pt"));
    EXPECT_EQ(ImageIndex(*arc), 23);
    EXPECT_EQ(arc->toolTip(), QString::fromStdString(LangMainText(LangKeys::frmMain::RecentArc3Pt)));
    Prg.StopOperation();
    Started.clear();
    arc->click();
    ASSERT_FALSE(Started.empty());
    EXPECT_EQ(Started.front().State, "TQV_40DrawArco3Pt");
    EXPECT_EQ(Recent->Ids().front(), 406);

    // Modify repeats the fillet until another item is chosen.
    QToolButton* modify = Commands->SplitButton("sbtModify");
    for (int i = 0; i < 2; ++i) {
        Prg.StopOperation();
        Started.clear();
        modify->click();
        ASSERT_FALSE(Started.empty());
        EXPECT_EQ(Started.front().After, "TQV2D_Fillet");
    }
    Commands->Action("mnuTrim")->trigger();
    Prg.StopOperation();
    Started.clear();
    modify->click();
    EXPECT_EQ(Started.front().After, "TQV2D_Trim");

    // Analyse repeats the single selection, which leaves the panel alone at its end.
    Commands->SplitButton("sbtAnalyze")->click();
    EXPECT_TRUE(End.SingleSelectPending);
    EXPECT_EQ(Started.back().After, "TSelez1Ent");
}

TEST_F(ToolbarCommands, EditedCellsStartTheCommandOfTheirPageAgain)
{
    Commands->Action("mnuPointGrid")->trigger();
    SetRows({"10", "5", "3", "2", "0"});
    Commands->Start("mnuPointGrid");
    Driver.MoveTo(MakePoint2D(0, 0));
    // Row 4 (the angle) edited while the grid follows the cursor.
    Started.clear();
    Panel.CellEdited(4, 0, "90");
    Commands->SGInfoEditCellChange();
    ASSERT_EQ(Started.size(), 1u);
    Driver.Click(MakePoint2D(100, 50));
    ExpectNear(DrawingPoints(), {{100, 50}, {100, 60}, {100, 70}, {95, 50}, {95, 60}, {95, 70}});

    // An unreadable text keeps the old value: the restart uses 90 again.
    Commands->Start("mnuPointGrid");
    Panel.CellEdited(4, 0, "abc");
    Commands->SGInfoEditCellChange();
    EXPECT_NEAR(Panel.GetValue(4), 90.0, Tol);

    // The polar line starts again with the new length.
    Commands->Start("mnuLinePolar");
    Panel.CellEdited(1, 0, "0");
    Panel.CellEdited(0, 0, "25");
    Started.clear();
    Commands->SGInfoEditCellChange();
    ASSERT_EQ(Started.size(), 1u);
    Driver.Click(MakePoint2D(10, 10));
    const auto* line = dynamic_cast<TLine2D*>(All(Doc.Objects()).back());
    ASSERT_NE(line, nullptr);
    const TMatrix4 m = line->GetModelTransform();
    const TPoint2D end = CartesianPoint2D(m.TransformPoint2D(line->Points().Points()[1]));
    EXPECT_NEAR(end.X, 35.0, Tol);
    EXPECT_NEAR(end.Y, 10.0, Tol);

    // The fillet page sets the radius only; a page without a command does nothing.
    Commands->Start("mnuFillet");
    Panel.CellEdited(0, 0, "3.5");
    Started.clear();
    Commands->SGInfoEditCellChange();
    EXPECT_TRUE(Started.empty());
    EXPECT_NEAR(FilletRadius, 3.5, Tol);
    Commands->Start("mnuCircle3Pt");
    Started.clear();
    Commands->SGInfoEditCellChange();
    EXPECT_TRUE(Started.empty());
}

TEST_F(ToolbarCommands, WindowOrPickSelectionAndTheTreeCallback)
{
    WindowChecked = true;
    Commands->Start("mnuRotate");
    EXPECT_EQ(Started.back().State, "TQV_51WinSelectObjects");
    Prg.StopOperation();

    WindowChecked = false;
    auto* line = Doc.AddObjectOnLayer(-1, 0, std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(40, 0)));
    Commands->Start("mnuRotate");
    EXPECT_EQ(Started.back().State, "TQV_50SelectObjects");
    Driver.Click(MakePoint2D(20, 0));
    ASSERT_EQ(TreeSelected.size(), 1u);
    EXPECT_EQ(TreeSelected[0], line);

    // Move node picks without the callback.
    Prg.StopOperation();
    Commands->Start("mnuMoveNode");
    Driver.Click(MakePoint2D(20, 0));
    EXPECT_EQ(TreeSelected.size(), 1u);
}

TEST_F(ToolbarCommands, EndPointsOfChainableVisibleEntities)
{
    Doc.AddObjectOnLayer(-1, 0, std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(40, 0)));
    Doc.AddObjectOnLayer(-1, 0, std::make_unique<TPunto2D>(-1, MakePoint2D(5, 5)));
    Doc.AddObjectOnLayer(-1, 1, std::make_unique<TLine2D>(-1, MakePoint2D(0, 10), MakePoint2D(40, 10)));
    Doc.Layers().GetLayer(1).SetVisible(0);
    ExpectNear(ChainEndPoints(Doc), {{0, 0}, {40, 0}});

    const int32_t before = Doc.ObjectsCount();
    Commands->Start("mnuShowEndpoints");
    EXPECT_EQ(View.HighlightList().size(), 2u);
    EXPECT_EQ(Doc.ObjectsCount(), before);
    View.RebuildScene(false);
    EXPECT_TRUE(View.HighlightList().empty());
    EXPECT_EQ(Recent->Ids().front(), 1403);
}

TEST_F(ToolbarCommands, TextsCancelTheRunningCommandBeforeSnapIsSwitchedOn)
{
    // As the main window does: the end of a command switches snap off.
    Prg.OnEndOperation = [this](TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam*) {
        End.QV_PrgEndOperation(sender, operation);
    };
    Commands->Start("mnuLineEndPt");
    ASSERT_TRUE(Prg.Busy());
    Commands->Start("mnuTextTT");
    EXPECT_FALSE(Prg.Busy());
    EXPECT_TRUE(Prg.UsaSnap);
    EXPECT_EQ(Pages, std::vector<std::string>{"mnuTextTT"});
}

} // namespace
