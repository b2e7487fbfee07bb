// The drawing view's frames compared with frames kept under
// tests/fixtures/scene/: the sample drawing, and a drawing of entities that
// overlap in different colours, widths and layers (one layer hidden, one
// entity in its own colour). The kept frames were made by the scene builder
// that gave every entity a node of its own; the batched builder must give
// the same pixels, except where two entities of different colours cross:
// there either colour may be on top (see cad/README.md).
//
// With KB_WRITE_SCENE_FRAMES set to a folder the test writes its frames
// there instead of comparing.

#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/VectFont.h"
#include "core/file/DocumentFile.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"

#include <QImage>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int FrameWidth = 480;
constexpr int FrameHeight = 360;

std::string FixturePath(const std::string& name)
{
    return std::string(KB_FIXTURES_DIR) + "/scene/" + name + ".png";
}

struct SceneFrames : ::testing::Test {
    SceneFrames() : Config("")
    {
        Config.BackGround = 0x00202020;
        RegisterEntityClasses();
        CADSysRegisterFontFromFile(0, std::string(KB_DATA_DIR) + "/RomanC.fnd");
        Scene = std::make_unique<TQVScene>(Config);
        Scene->SetDocument(&Doc);
        Doc.AddViewport(Scene.get());
        Services = std::make_unique<TViewServicesScope>(
            TViewServices{&Scene->SceneBuilder(), Scene.get(), nullptr, nullptr});
        Scene->SetAxesVisible(false);
        Viewer = std::make_unique<TSceneViewer>(*Scene);
        Viewer->resize(FrameWidth, FrameHeight);
        Viewer->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Viewer.get()));
    }

    ~SceneFrames() override
    {
        Viewer.reset();
        Doc.RemoveViewport(Scene.get());
        CADSysClearFontRegistry();
    }

    QImage Frame()
    {
        // The fit by the drawing's diagonal that the kept frames were made
        // with (Zoom all now fits with a margin).
        const std::optional<TRect2D> bounds = Doc.GetDrawingBounds();
        if (bounds)
            Scene->ZoomToBox(TBox3D{{bounds->FirstEdge.X, bounds->FirstEdge.Y, 0, 1},
                                    {bounds->SecondEdge.X, bounds->SecondEdge.Y, 0, 1}});
        Scene->RebuildScene(false);
        return Viewer->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    }

    // Writes the frame, or compares it with the kept one: a pixel may
    // differ only where both frames show a drawn colour (one entity over
    // another), never where one of them shows the background.
    void Check(const std::string& name, const QImage& frame, bool overlapsMayDiffer)
    {
        if (const char* folder = std::getenv("KB_WRITE_SCENE_FRAMES")) {
            ASSERT_TRUE(frame.save(QString::fromStdString(std::string(folder) + "/" + name + ".png")));
            return;
        }
        const QImage kept = QImage(QString::fromStdString(FixturePath(name))).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(kept.isNull()) << FixturePath(name);
        ASSERT_EQ(kept.size(), frame.size());
        const QRgb background = kept.pixel(0, 0);
        int drawn = 0;
        int differing = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const QRgb before = kept.pixel(x, y);
                const QRgb after = frame.pixel(x, y);
                drawn += before != background;
                if (before == after)
                    continue;
                ++differing;
                ASSERT_TRUE(overlapsMayDiffer && before != background && after != background)
                    << name << ": pixel " << x << "," << y << " was " << std::hex << before << ", is " << after;
            }
        }
        EXPECT_GT(drawn, 500) << name; // the frame shows a drawing at all
        EXPECT_LT(differing, drawn / 50) << name;
    }

    TAppConfig Config;
    TQV_01Cmp2D Doc;
    std::unique_ptr<TQVScene> Scene;
    std::unique_ptr<TViewServicesScope> Services;
    std::unique_ptr<TSceneViewer> Viewer;
};

TEST_F(SceneFrames, SampleDrawing)
{
    const TDocumentLoadResult result =
        Doc.LoadFromFile(std::string(KB_DATA_SOURCE_DIR) + "/samples/sample.kvx", false);
    ASSERT_FALSE(result.Partial);
    ASSERT_GT(Doc.ObjectsCount(), 0);
    Check("sample", Frame(), false);
}

TEST_F(SceneFrames, OverlappingEntities)
{
    TQV_20Layers& layers = Doc.Layers();
    layers.GetLayer(0).SetPenColor(0x000000FF); // red
    layers.GetLayer(1).SetPenColor(0x00FF0000); // blue
    layers.GetLayer(1).SetPenWidth(3);
    layers.GetLayer(2).SetPenColor(0x0000FF00); // green, hidden
    layers.GetLayer(2).SetVisible(0);
    layers.GetLayer(3).SetPenColor(0x0000FFFF); // yellow
    // Red, blue, red again: the later red line crosses the blue one.
    Doc.AddObjectOnLayer(-1, 0, std::make_unique<TLine2D>(-1, Point2D(0, 0), Point2D(100, 60)));
    Doc.AddObjectOnLayer(-1, 1, std::make_unique<TLine2D>(-1, Point2D(0, 60), Point2D(100, 0)));
    Doc.AddObjectOnLayer(-1, 0, std::make_unique<TLine2D>(-1, Point2D(50, -5), Point2D(50, 65)));
    Doc.AddObjectOnLayer(-1, 2, std::make_unique<TLine2D>(-1, Point2D(0, 30), Point2D(100, 30)));
    Doc.AddObjectOnLayer(-1, 3, std::make_unique<TCerchio2D>(-1, Point2D(50, 30), Point2D(75, 30)));
    Doc.AddObjectOnLayer(-1, 1, std::make_unique<TFrame2D>(-1, Point2D(10, 10), Point2D(40, 50)));
    const TPoint2D zigzag[] = {Point2D(60, 10), Point2D(70, 50), Point2D(80, 10), Point2D(90, 50)};
    Doc.AddObjectOnLayer(-1, 3, std::make_unique<TPolyline2D>(-1, zigzag));
    // A display line in its own colour and width, whatever its layer.
    Doc.AddObjectOnLayer(-1, 0, std::make_unique<TLine2D>(-1, Point2D(5, 55), Point2D(95, 55), 0x00FF00FFu, 2,
                                                         IdentityMatrix4()));
    Check("overlapping", Frame(), true);
}

} // namespace
