// The 3D parallel finishing pages on their own (offscreen): the page set,
// the stock solid following the limit fields as they are typed, the
// boundary chain's deletion, the roughing switch, the pictures, and
// Calculate with and without the STL surface as the drawing's object 0.
// Clicks and keys go through the widgets.

#include "app/machining/OperationPages.h"
#include "app/machining/ParallelPages.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/entities/QVGrezzo.h"
#include "core/entities/QV_STLSurf.h"
#include "core/settings/LangKeys.h"
#include "core/settings/NumberText.h"
#include "tests/app/MachiningPagesFixture.h"
#include "tests/cam/generators/GeneratorTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

namespace {

using namespace LangKeys::String;

struct ParallelPages : kbtest::MachiningPages {
    ParallelPages()
    {
        Pages = std::make_unique<TOperationPages>(*Win, &Monitor);
        Win->ShowStatusMessage = [this](const std::string& text) { Status = text; };
        Pages->TreeChanged = [this](TOpManagerField&, bool added) { Tree.push_back(added); };
        Pages->ShowInfoText = [this](const std::string& text) { Info = text; };
        RecreateStockSolid();
    }
    ~ParallelPages() override
    {
        Win->hide();
        Pages.reset();
        OpManager().DeleteAll();
        OpManager().LastIndex = -1;
        FreeStockSolid();
    }

    // The pyramid of the fixtures as the drawing's object 0 (its box goes to
    // the stock): base 10 x 10 at Z -0.1, apex at Z 2.34567.
    TQV_STLSurf& Surface()
    {
        return TQV_STLSurf::CreateFromFile(std::string(KB_FIXTURES_DIR) + "/app/machining/pyramid.stl", Doc);
    }
    TOpManagerField& Open()
    {
        TOpManagerField* op = Pages->Context().SetNewOperation(std::make_unique<TOpManagerField>(OpKind::Parallel3D));
        Pages->ImpostaDialoghi(OpKind::Parallel3D);
        return *op;
    }
    void ClickTab(const char* tab)
    {
        QTabBar* bar = Win->pgCtrToolWin().tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Win->pgCtrToolWin().indexOf(Win->Sheet(tab))).center());
    }
    // The stock outline's X and Y ranges.
    static std::array<double, 4> OutlineRange()
    {
        std::array<double, 4> r{1e9, -1e9, 1e9, -1e9};
        for (const TVector2D& p : StockSolid()->Outline()) {
            r[0] = std::min(r[0], p.X);
            r[1] = std::max(r[1], p.X);
            r[2] = std::min(r[2], p.Y);
            r[3] = std::max(r[3], p.Y);
        }
        return r;
    }
    std::string Text(const char* name) const { return TWidgetToolPage(*Win, *Win).Text(name); }

    std::unique_ptr<TOperationPages> Pages;
    std::string Status;
    std::string Info;
    std::vector<bool> Tree;
};

TEST_F(ParallelPages, ThePageSetAndItsTabs)
{
    Open();
    ASSERT_TRUE(Win->isVisible());
    EXPECT_EQ(Win->ShownPages(), (std::vector<std::string>{"tabTool", "tabSizeLimits", "tabParallel"}));
    EXPECT_EQ(Win->size(), QSize(494, 428));
    EXPECT_EQ(Win->windowTitle().toStdString(), LangToolWinText("twParallel"));
    StockSolid()->SetVisible(false);
    ClickTab("tabSizeLimits");
    EXPECT_EQ(Win->width(), 348);
    EXPECT_TRUE(StockSolid()->Visible());
    ClickTab("tabTool");
    ClickTab("tabParallel");
    EXPECT_EQ(Win->width(), 348);
    EXPECT_EQ(Status, LangText(StatusParameterPage));
}

// Typed limits reshape the stock of the box (0, 0, 0)-(40, 30, 10); the top
// field is a Z, the solid standing from the bottom up to it.
TEST_F(ParallelPages, TheStockFollowsTheTypedLimits)
{
    Open();
    StockSolid()->SetBox({{0, 0, 0}, {40, 30, 10}});
    using TRange = std::array<double, 4>;
    Type("txt3DMarginX", "-");
    EXPECT_EQ(OutlineRange(), (TRange{0, 40, 0, 30}));
    Type("txt3DMarginX", "-5");
    EXPECT_EQ(OutlineRange(), (TRange{5, 35, 0, 30}));
    Type("txt3DMarginY", "2");
    EXPECT_EQ(OutlineRange(), (TRange{5, 35, -2, 32}));
    // Typed twice, a margin does not add up.
    Type("txt3DMarginY", "2");
    EXPECT_EQ(OutlineRange(), (TRange{5, 35, -2, 32}));

    Type("txt3DParZTop", "8");
    Type("txt3DParZBottom", "2");
    EXPECT_DOUBLE_EQ(StockSolid()->BottomZ(), 2);
    EXPECT_DOUBLE_EQ(StockSolid()->Height(), 6);
    Type("txt3DParZTop", "9.5");
    EXPECT_DOUBLE_EQ(StockSolid()->BottomZ(), 2);
    EXPECT_DOUBLE_EQ(StockSolid()->Height(), 7.5);
    Type("txt3DParZBottom", ".");
    EXPECT_DOUBLE_EQ(StockSolid()->BottomZ(), 2);
    EXPECT_DOUBLE_EQ(StockSolid()->Height(), 7.5);
}

TEST_F(ParallelPages, DeletingTheChainGivesTheStockItsBoxBack)
{
    TOpManagerField& op = Open();
    StockSolid()->SetBox({{0, 0, 0}, {40, 30, 10}});
    Type("txt3DMarginX", "1");
    op.Chains.AddChain(kbtest::Square(10, 10, 5));
    const std::vector<TVector2D> chain = {{10, 10}, {15, 10}, {15, 15}};
    StockSolid()->SetOutline(chain);
    Click("sbt3dDelChain");
    EXPECT_EQ(op.Chains.Count(), 0);
    EXPECT_EQ(Text("lbl3dChainInfo"), LangToolWinText("lbl3dChainInfo0"));
    // The box with the margin the page still shows.
    EXPECT_EQ(OutlineRange(), (std::array<double, 4>{-1, 41, 0, 30}));
}

TEST_F(ParallelPages, PickingTheBoundaryStartsTheOneObjectPick)
{
    TOpManagerField& op = Open();
    Click("sbt3dChain");
    EXPECT_EQ(Prg.OperationClass(), StateClassOf<TQV_50Seleziona1Ogg>());
    Prg.SendUserEvent(TCADUserEvent::Cancel);
    EXPECT_EQ(op.Chains.Count(), 0);
}

TEST_F(ParallelPages, RoughingEnablesItsIncrement)
{
    Open();
    EXPECT_FALSE(Find<QWidget>("txtParRoughInc").isEnabled());
    EXPECT_FALSE(Find<QWidget>("lblParRoughInc").isEnabled());
    Click("chkParRough");
    EXPECT_TRUE(Find<QWidget>("txtParRoughInc").isEnabled());
    EXPECT_TRUE(Find<QWidget>("lblParRoughInc").isEnabled());
    Click("chkParRough");
    EXPECT_FALSE(Find<QWidget>("txtParRoughInc").isEnabled());
}

TEST_F(ParallelPages, EnteringAFieldShowsItsPicture)
{
    Open();
    QApplication::setActiveWindow(Win.get());
    const struct {
        const char* Field;
        const char* Tab;
        const char* Image;
        int Index;
    } cases[] = {
        {"txt3DParZRapid", "tabSizeLimits", "img3dSize", 11}, {"txt3DParZTop", "tabSizeLimits", "img3dSize", 12},
        {"txt3DParZBottom", "tabSizeLimits", "img3dSize", 13}, {"txt3DMarginX", "tabSizeLimits", "img3dSize", 14},
        {"txt3DMarginY", "tabSizeLimits", "img3dSize", 15},    {"txtParStepOver", "tabParallel", "img3DPar", 16},
        {"txtParAngle", "tabParallel", "img3DPar", 17},        {"txtParResol", "tabParallel", "img3DPar", 18},
        {"txtParStock", "tabParallel", "img3DPar", 19},
    };
    for (const auto& c : cases) {
        ClickTab(c.Tab);
        Find<QWidget>(c.Field).setFocus();
        QApplication::processEvents();
        EXPECT_EQ(Find<QLabel>(c.Image).property("imageIndex").toInt(), c.Index) << c.Field;
    }
}

TEST_F(ParallelPages, CalculateWithoutTheSurfaceRefusesAndHides)
{
    Open();
    Click("sbtParCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(NoStlSurface));
    EXPECT_FALSE(Win->isVisible());
    EXPECT_EQ(Pages->Context().CurrentOperation(), nullptr);
    EXPECT_EQ(OpManager().Count(), 0);
}

TEST_F(ParallelPages, CalculateRunsOverTheSurfaceAndListsTheOperation)
{
    Surface();
    TOpManagerField& op = Open();
    Type("txt3DParZTop", "3");
    Type("txt3DParZBottom", "-0.1");
    Type("txtParStepOver", "2");
    Type("txtParResol", ".");
    Click("sbtParCalculate");
    // A bad number keeps the window and what was typed.
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_NE(Notifier.Messages()[0].Text.find("\".\""), std::string::npos);
    EXPECT_TRUE(Win->isVisible());
    EXPECT_EQ(Text("txtParStepOver"), "2");

    // The feed plane of 2 is below the top of 3: the rapids would run
    // through the part.
    Notifier.Clear();
    Type("txtParResol", "0.5");
    Click("sbtParCalculate");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangFormat(LangText(RapidBelowSurface), {"2", "3"}));
    EXPECT_TRUE(Win->isVisible());
    EXPECT_EQ(OpManager().Count(), 0);
    EXPECT_TRUE(op.Toolpaths.empty());

    Notifier.Clear();
    Type("txt3DParZRapid", "5");
    Click("sbtParCalculate");
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_FALSE(Win->isVisible());
    ASSERT_EQ(OpManager().Count(), 1);
    EXPECT_TRUE(op.Calculated);
    EXPECT_EQ(Tree, std::vector<bool>{true});
    EXPECT_EQ(Info.rfind(LangText(SimMachiningTime), 0), 0u);
    ASSERT_EQ(op.Toolpaths.size(), 1u);
    EXPECT_GT(op.ToolpathVertexCount(), 10);
    {
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9;
        for (const TAVertice3d& v : op.Toolpaths[0]->Vertices) {
            minX = std::min(minX, v.EndPoint.X), maxX = std::max(maxX, v.EndPoint.X);
            minY = std::min(minY, v.EndPoint.Y), maxY = std::max(maxY, v.EndPoint.Y);
            minZ = std::min(minZ, v.EndPoint.Z), maxZ = std::max(maxZ, v.EndPoint.Z);
        }
        // The rows cover the pyramid's 10 x 10 base. The flat 3 mm tool rests
        // on the apex (Z 2.34567) on the rows 1 from it; its lowest rest is
        // over a corner, where its rim reaches 1.5 up the diagonal of a face
        // rising 2.44567 over 5 from the base at -0.1.
        EXPECT_NEAR(minX, 0.0, 1e-9);
        EXPECT_NEAR(maxX, 10.0, 1e-9);
        EXPECT_NEAR(minY, 0.0, 1e-9);
        EXPECT_NEAR(maxY, 10.0, 1e-9);
        EXPECT_NEAR(maxZ, 2.34567, 1e-5);
        EXPECT_NEAR(minZ, -0.1 + 2.44567 * (1.5 / std::sqrt(2.0)) / 5, 1e-5);
    }
    EXPECT_DOUBLE_EQ(op.Parameters->StepOverPercent, 2);
    EXPECT_DOUBLE_EQ(op.Parameters->Resolution, 0.5);
}

// Opened for editing, the operation's values show on the 3D fields (the
// roughing switch with its increment) and come back from them, whatever
// the pocket page shows.
TEST_F(ParallelPages, EditingShowsAndReadsTheThreeDValues)
{
    Surface();
    TOpManagerField& op = *OpManager().AddOperation(std::make_unique<TOpManagerField>(OpKind::Parallel3D));
    TParametriOperazione& p = *op.Parameters;
    p.ZRapid = 4;
    p.ZTop = 2.5;
    p.ZBottom = -0.1;
    p.MarginX = 1;
    p.MarginY = -1;
    p.StepOverPercent = 1.5;
    p.Angle = 30;
    p.Resolution = 0.25;
    p.StockXY = 0.2;
    p.RoughPass3D = true;
    p.ZStep = 1.25;
    Pages->Edit(op);
    const std::pair<const char*, double> fields[] = {
        {"txt3DParZRapid", 4}, {"txt3DParZTop", 2.5},    {"txt3DParZBottom", -0.1}, {"txt3DMarginX", 1},
        {"txt3DMarginY", -1},  {"txtParStepOver", 1.5}, {"txtParAngle", 30},       {"txtParResol", 0.25},
        {"txtParStock", 0.2},  {"txtParRoughInc", 1.25},
    };
    for (const auto& [name, value] : fields)
        EXPECT_EQ(Text(name), FormatCoord(value)) << name;
    EXPECT_TRUE(Find<QWidget>("txtParRoughInc").isEnabled());
    EXPECT_DOUBLE_EQ(StockSolid()->BottomZ(), -0.1);
    EXPECT_NEAR(StockSolid()->Height(), 2.6, 1e-12);

    Find<QLineEdit>("txtPocStepOverPer").setText("77");
    ASSERT_TRUE(Pages->Prepare3DCalculation(op));
    EXPECT_DOUBLE_EQ(p.StepOverPercent, 1.5);
    EXPECT_DOUBLE_EQ(p.ZStep, 1.25);
    EXPECT_DOUBLE_EQ(p.MarginY, -1);
    EXPECT_TRUE(p.RoughPass3D);
    ASSERT_EQ(op.SurfaceObjects.size(), 1u);
    EXPECT_EQ(op.SurfaceObjects[0], dynamic_cast<TQV_STLSurf*>(Doc.GetObjectByID(0)));
    // Prepared again, the surface is there once.
    ASSERT_TRUE(Pages->Prepare3DCalculation(op));
    EXPECT_EQ(op.SurfaceObjects.size(), 1u);
}

} // namespace
