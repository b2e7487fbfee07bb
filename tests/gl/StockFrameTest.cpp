// The stock-removal model in the real scene viewer: the stock shows as a
// lit blue block, a played contour cuts it in the feed colour, the slider's
// rebuild brings the uncut stock back and freeing the model removes it. With
// KB_SHOTS_DIR set (scripts/shots/stock.sh) it also writes the frames.

#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
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

namespace {

using kbtest::ColourNear;

// Lit blue of the fresh stock; lit cyan of the feed colour (0xFFFF00).
bool IsBlue(QRgb c) { return qBlue(c) > 80 && qRed(c) < 50 && qGreen(c) < 50; }
bool IsCyan(QRgb c) { return qRed(c) < 50 && qGreen(c) > 80 && qBlue(c) > 80 && std::abs(qGreen(c) - qBlue(c)) < 40; }

// A square contour of a flat 16 mm tool, 1 mm deep.
class TSquareOperation final : public TSimOperation {
public:
    explicit TSquareOperation(TSceneBuilder& scene) : Group(scene.CreateGroup(scene.Group(TSceneGroup::Stl), "op"))
    {
        Tool.Diameter = 16;
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

void Save(const QImage& frame, const char* name)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    if (!folder.isEmpty())
        frame.save(QDir(folder).filePath(QStringLiteral("stock-%1.png").arg(name)));
}

TEST(StockFrame, StockShowsAndAPlayedContourCutsItInTheFeedColour)
{
    TAppConfig config("");
    config.BackGround = 0;
    TQVScene scene(config);
    scene.SetAxesVisible(false);
    TViewServicesScope services(TViewServices{&scene.SceneBuilder(), &scene, nullptr, nullptr});

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* viewer = new TSceneViewer(scene, &window);
    layout->addWidget(viewer);
    window.resize(320, 240);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    scene.ZoomToBox(TBox3D{{0, 0, 0, 1}, {100, 100, 0, 1}});

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
    Save(fresh, "fresh");
    for (const TPoint2D p : {Point2D(50, 50), Point2D(50, 25), Point2D(25, 75)})
        EXPECT_TRUE(ColourNear(fresh, screen(p.X, p.Y), IsBlue, 1)) << p.X << "," << p.Y;
    EXPECT_FALSE(ColourNear(fresh, screen(10, 10), IsBlue, 1)) << "outside the stock";

    sim.Play();
    ASSERT_TRUE(sim.Finished());
    const QImage cut = viewer->grabFramebuffer();
    Save(cut, "cut");
    // Beside the path's line, inside the tool's width: the cut's colour.
    for (const TPoint2D p : {Point2D(50, 25), Point2D(75, 50), Point2D(50, 76)})
        EXPECT_TRUE(ColourNear(cut, screen(p.X, p.Y), IsCyan, 1)) << p.X << "," << p.Y;
    EXPECT_TRUE(ColourNear(cut, screen(50, 50), IsBlue, 1)) << "the island stays";

    sim.SetSolidQuality(2);
    const QImage rebuilt = viewer->grabFramebuffer();
    EXPECT_TRUE(ColourNear(rebuilt, screen(50, 25), IsBlue, 1)) << "uncut again";

    sim.FreeSolid();
    EXPECT_FALSE(scene.StockMeshAttached());
    const QImage freed = viewer->grabFramebuffer();
    EXPECT_FALSE(ColourNear(freed, screen(50, 50), IsBlue, 1));
}

} // namespace
