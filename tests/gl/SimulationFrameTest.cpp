#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "cam/tools/ToolSolid.h"
#include "core/settings/AppConfig.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/solid/NcVisu.h"
#include "nc/ui/SimSceneView.h"
#include "nc/ui/StockMeshView.h"
#include "tests/gl/PixelProbe.h"

#include <QDir>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using kbtest::ColourNear;

bool IsCyan(QRgb c) { return qRed(c) < 100 && qGreen(c) > 160 && qBlue(c) > 160; }
// The grey tool, lit: channels close together and well above black.
bool IsGrey(QRgb c)
{
    const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
    const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
    return lo > 50 && hi - lo < 40;
}

// Lit blue of the fresh stock; lit cyan of the feed colour (0xFFFF00).
bool IsLitBlue(QRgb c) { return qBlue(c) > 80 && qRed(c) < 50 && qGreen(c) < 50; }
bool IsLitCyan(QRgb c) { return qRed(c) < 50 && qGreen(c) > 80 && qBlue(c) > 80 && std::abs(qGreen(c) - qBlue(c)) < 40; }

void SaveShot(const QImage& frame, const char* name)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    if (!folder.isEmpty())
        frame.save(QDir(folder).filePath(QStringLiteral("stock-%1.png").arg(name)));
}

class TSquareOperation final : public TSimOperation {
public:
    explicit TSquareOperation(TSceneBuilder& scene)
        : Group(scene.CreateGroup(scene.Group(TSceneGroup::Stl), "op"))
    {
        Tool.Diameter = 16;
        Tool.ToolLength = 10;
        Tool.Feed = 600;
        for (const TVector3D& p : {TVector3D{20, 20, -1}, {80, 20, -1}, {80, 80, -1}, {20, 80, -1}, {20, 20, -1}})
            Curve.AddVertex(TAVertice3d::CreateAt(p));
    }
    int32_t Kind() const override { return 1; }
    int32_t ToolpathCount() const override { return 1; }
    const TCurvaNci3d& Toolpath(int32_t) const override { return Curve; }
    TSceneNodeId DisplayGroup() const override { return Group; }
    bool Shown() const override { return false; }
    void SetShown(bool) override {}
    bool SwitchedOff() const override { return false; }
    const TDatiUtBase* ToolData() const override { return &Tool; }
    double ZRapid() const override { return 5; }
    bool RetractOn() const override { return false; }
    double RetractZ() const override { return 10; }
    double ZTop() const override { return 0; }
    double CompOffset() const override { return 8; }
    double LatheHomeX() const override { return 0; }
    double LatheHomeZ() const override { return 0; }

    TSceneNodeId Group;
    TDatiUtFresa Tool;
    TCurvaNci3d Curve;
};

// Shows the tool: the one check box the played contour needs.
class TShowToolWindow final : public TSimWindow {
public:
    bool ShowToolChecked() const override { return true; }
    bool GCodeSimChecked() const override { return false; }
    bool TrueWidthChecked() const override { return false; }
    bool SolidSimChecked() const override { return false; }
    void SetTrueWidthEnabled(bool) override {}
    void SetSolidSimEnabled(bool) override {}
    void SetSimStatus(const std::string&) override {}
    void SetZGaugeVisible(bool) override {}
    void SetCurrentZText(const std::string&) override {}
    TRulerScale ZRuler() const override { return {}; }
    void SetActiveZ(uint32_t, int32_t) override {}
    void SetLowestRapid(int32_t, const std::string&) override {}
    void SetLowestFeed(int32_t, const std::string&) override {}
    int32_t MemoLineCount() const override { return 0; }
    std::string MemoLine(int32_t) const override { return {}; }
    void MemoClear() override {}
    void MemoAdd(const std::string&) override {}
    void MemoSetLine(int32_t, const std::string&) override {}
    void MemoSelectLine(int32_t) override {}
    void RestorePlayButtons() override {}
};

// The scene of 0 to 100 in X and Y in a real viewer of 320 by 240 pixels,
// on black, without axes.
class SquareFrame : public ::testing::Test {
protected:
    SquareFrame()
        : config(""), scene((config.BackGround = 0, config)),
          services(TViewServices{&scene.SceneBuilder(), &scene, nullptr, nullptr})
    {
        scene.SetAxesVisible(false);
    }
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        viewer = new TSceneViewer(scene, &window);
        layout->addWidget(viewer);
        window.resize(320, 240);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        scene.ZoomToBox(TBox3D{{0, 0, 0, 1}, {100, 100, 0, 1}});
    }

    TAppConfig config;
    TQVScene scene;
    TViewServicesScope services;
    QWidget window;
    TSceneViewer* viewer = nullptr;
};

TEST_F(SquareFrame, PlayedContourAndToolSolidAppear)
{
    TSquareOperation op(scene.SceneBuilder());
    TQVSceneSimView view(scene);
    TShowToolWindow toolWindow;
    TSimulatore2D sim;
    sim.SetView(&view);
    sim.SetWindow(&toolWindow);
    sim.SelectOperation(&op);
    sim.Play();
    ASSERT_TRUE(sim.Finished());

    const QImage frame = viewer->grabFramebuffer();
    // Three sides of the square in the feed colour, away from the tool at (20, 20).
    for (const TPoint2D p : {Point2D(50, 80), Point2D(80, 50), Point2D(50, 20), Point2D(20, 50)})
        EXPECT_TRUE(ColourNear(frame, scene.PointToScreen(p), IsCyan, 1)) << p.X << "," << p.Y;
    EXPECT_TRUE(ColourNear(frame, scene.PointToScreen(Point2D(20, 20)), IsGrey, 3)) << "the tool at the end";
    EXPECT_FALSE(ColourNear(frame, scene.PointToScreen(Point2D(50, 50)), IsGrey, 3));

    sim.Finish();
    const QImage after = viewer->grabFramebuffer();
    EXPECT_FALSE(ColourNear(after, scene.PointToScreen(Point2D(20, 20)), IsGrey, 3)) << "freed with the window";
}

// The stock-removal model in the real viewer: the stock shows as a lit blue
// block, the played contour cuts it in the feed colour, the slider's rebuild
// brings the uncut stock back and freeing the model removes it. With
// KB_SHOTS_DIR set (scripts/shots/stock.sh) the frames are written too.
TEST_F(SquareFrame, StockShowsAndAPlayedContourCutsItInTheFeedColour)
{
    TSquareOperation op(scene.SceneBuilder());
    TQVSceneSimView view(scene);
    TOsgStockView stockView(scene);
    TSimulatore2D sim;
    sim.SetView(&view);
    sim.SetStockView(&stockView);
    sim.SelectOperation(&op);
    sim.CreateSolid();
    ASSERT_NE(sim.Solid(), nullptr);
    EXPECT_TRUE(scene.StockMeshAttached());

    const auto screen = [&](double x, double y) { return scene.PointToScreen(Point2D(x, y)); };
    const QImage fresh = viewer->grabFramebuffer();
    SaveShot(fresh, "fresh");
    for (const TPoint2D p : {Point2D(50, 50), Point2D(50, 25), Point2D(25, 75)})
        EXPECT_TRUE(ColourNear(fresh, screen(p.X, p.Y), IsLitBlue, 1)) << p.X << "," << p.Y;
    EXPECT_FALSE(ColourNear(fresh, screen(10, 10), IsLitBlue, 1)) << "outside the stock";

    sim.Play();
    ASSERT_TRUE(sim.Finished());
    const QImage cut = viewer->grabFramebuffer();
    SaveShot(cut, "cut");
    // Beside the path's line, inside the tool's width: the cut's colour.
    for (const TPoint2D p : {Point2D(50, 25), Point2D(75, 50), Point2D(50, 76)})
        EXPECT_TRUE(ColourNear(cut, screen(p.X, p.Y), IsLitCyan, 1)) << p.X << "," << p.Y;
    EXPECT_TRUE(ColourNear(cut, screen(50, 50), IsLitBlue, 1)) << "the island stays";

    sim.SetSolidQuality(2);
    const QImage rebuilt = viewer->grabFramebuffer();
    EXPECT_TRUE(ColourNear(rebuilt, screen(50, 25), IsLitBlue, 1)) << "uncut again";
    // Seen from the front and above, the uncut stock shows its green walls.
    const osg::Vec3d top = scene.Camera().Offset();
    const double d = top.length() / std::sqrt(3.0);
    scene.SetCameraOffset({d, -d, d});
    const QImage iso = viewer->grabFramebuffer();
    SaveShot(iso, "iso");
    int green = 0;
    for (int y = 0; y < iso.height(); ++y)
        for (int x = 0; x < iso.width(); ++x)
            green += qGreen(iso.pixel(x, y)) > 60 && qRed(iso.pixel(x, y)) < 30 && qBlue(iso.pixel(x, y)) < 30;
    EXPECT_GT(green, 50);
    scene.SetCameraOffset(top);


    sim.FreeSolid();
    EXPECT_FALSE(scene.StockMeshAttached());
    const QImage freed = viewer->grabFramebuffer();
    EXPECT_FALSE(ColourNear(freed, screen(50, 50), IsLitBlue, 1));
}

} // namespace
