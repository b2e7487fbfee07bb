// Opening files in the running program: the open-geometry page after a
// DXF, an image and an STL, the origin picked with a click in the view, and
// an image vectorised with the shipped tracer and added to the drawing.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures
// of the pages there (scripts/shots/open-panel.sh runs it).

#include "app/Program.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "app/toolwin/frmToolWin.h"
#include "core/entities/Bitmap2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QPainter>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

struct OpenFiles : ::testing::Test {
    OpenFiles()
    {
        Notifier.Strict = true;
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    template <class T = QWidget> T& Page(const char* name) const { return kbtest::Child<T>(Tool(), name); }
    void Press(const char* button) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = Page<QAbstractButton>(button);
        ASSERT_TRUE(b.isEnabled()) << button;
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    void Open(const std::string& file) const
    {
        Window().FileCommands().OpenGeo(file, false);
        kbtest::TMainWindowDriver::Settle();
    }
    // A white picture with a black square in its middle, at 254 dpi.
    std::string WriteBmp() const
    {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 10; y < 30; ++y)
            for (int x = 20; x < 40; ++x)
                image.setPixel(x, y, 0xFF000000);
        image.setDotsPerMeterX(10000);
        image.setDotsPerMeterY(10000);
        const std::string file = Dir.File("square.bmp");
        EXPECT_TRUE(image.save(QString::fromStdString(file), "BMP"));
        return file;
    }
    std::string WriteDxf() const
    {
        const std::string file = Dir.File("frame.dxf");
        kbtest::WriteFileText(file, "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
                                    "0\r\nLINE\r\n8\r\n0\r\n10\r\n10\r\n20\r\n10\r\n30\r\n0\r\n"
                                    "11\r\n30\r\n21\r\n20\r\n31\r\n0\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
        return file;
    }
    std::string WriteStl() const
    {
        const std::string file = Dir.File("wedge.stl");
        kbtest::WriteFileText(file, "solid w\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 20 0 5\n"
                                    "vertex 0 10 5\nendloop\nendfacet\nendsolid w\n");
        return file;
    }

    kbtest::TTempDir Config;
    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(OpenFiles, AClickInTheViewSetsThePickedOrigin)
{
    Open(WriteDxf());
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), std::vector<std::string>{"tabOpenR"});
    EXPECT_EQ(Tool().windowTitle().toStdString(), LangToolWinText(LangKeys::frmToolWin::CaptionOpenDxf));
    Press("sbtSetOrigin");
    Driver->ClickAt(Point2D(10, 10));
    kbtest::TMainWindowDriver::Settle();
    const TRect2D bounds = *Doc().GetDrawingBounds();
    EXPECT_NEAR(bounds.FirstEdge.X, 0, 0.5);
    EXPECT_NEAR(bounds.FirstEdge.Y, 0, 0.5);
    EXPECT_EQ(Doc().ObjectsCount(), 1);
    Press("sbtOpenDone");
    EXPECT_FALSE(Tool().isVisible());
    EXPECT_EQ(Window().FileCommands().OpenGeoPanel(), nullptr);
}

TEST_F(OpenFiles, AnImageIsVectorisedOntoTheCurrentLayer)
{
    Open(WriteBmp());
    ASSERT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::BMP);
    ASSERT_TRUE(Tool().isVisible());
    // The view shows the image: more than the background's colours.
    std::set<QRgb> colours;
    const QImage frame = Driver->ShownView();
    for (int y = 0; y < frame.height(); y += 4)
        for (int x = 0; x < frame.width(); x += 4)
            colours.insert(frame.pixel(x, y));
    EXPECT_GT(colours.size(), 3u);
    Press("sbtOpenDone");
    ASSERT_FALSE(Tool().isVisible());

    Doc().SetCurrentLayer(4);
    Window().findChild<QAction*>(QStringLiteral("sbtVect"))->trigger();
    kbtest::TMainWindowDriver::Settle();
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), std::vector<std::string>{"tabVectorize"});
    EXPECT_FALSE(Page("sbtVectDone").isEnabled());
    Press("sbtPreviewVect");
    // The tracing notice goes when the tracing is done.
    EXPECT_NE(Window().StatusMessage().toStdString(), LangText(LangKeys::String::TraceStarted));
    Press("sbtVectDone");
    EXPECT_FALSE(Tool().isVisible());
    ASSERT_GT(Doc().ObjectsCount(), 1);
    // The picture shows again under its outlines: the black square and the
    // white around it, not the tracing's grey backdrop. The image is 6 x 4
    // drawing units from the origin, the square from (2, 1) to (4, 3).
    Window().findChild<QAction*>(QStringLiteral("sbtAutozoom"))->trigger();
    kbtest::TMainWindowDriver::Settle();
    const QImage done = Driver->ShownView();
    // The view draws an image a little translucent over its grey.
    const auto dark = [](QRgb c) { return qRed(c) < 0x60 && qGreen(c) < 0x60 && qBlue(c) < 0x60; };
    const auto light = [](QRgb c) { return qRed(c) > 0xA0 && qGreen(c) > 0xA0 && qBlue(c) > 0xA0; };
    const TIntPoint inSquare = Driver->Pixel(Point2D(2.6, 1.6));
    const TIntPoint outside = Driver->Pixel(Point2D(0.6, 0.5));
    EXPECT_TRUE(kbtest::ColourNear(done, inSquare, dark, 0)) << std::hex << done.pixel(inSquare.X, inSquare.Y);
    EXPECT_TRUE(kbtest::ColourNear(done, outside, light, 0)) << std::hex << done.pixel(outside.X, outside.Y);
    EXPECT_NE(dynamic_cast<TBitmap2D*>(Doc().GetObject(0)), nullptr) << "the image stays";
    int onLayer = 0;
    {
        TGraphicObjIterator it = Doc().ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            onLayer += dynamic_cast<TBitmap2D*>(object) == nullptr && object->Layer() == 4;
    }
    EXPECT_EQ(onLayer, Doc().ObjectsCount() - 1);
}

// The same two-tone picture as a BMP and as a JPEG: the JPEG's decoding
// leaves a little noise around the edges, and both trace into the same
// outlines.
TEST_F(OpenFiles, ABmpAndAJpegOfOnePictureTraceAlike)
{
    QImage picture(240, 160, QImage::Format_RGB32);
    picture.fill(QColor(230, 230, 225));
    {
        QPainter painter(&picture);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0));
        painter.drawRect(20, 20, 60, 50);
        painter.drawEllipse(QPoint(160, 60), 40, 30);
        painter.drawPolygon(QPolygon({QPoint(40, 140), QPoint(120, 90), QPoint(200, 140)}));
    }
    picture.setDotsPerMeterX(2835);
    picture.setDotsPerMeterY(2835);
    const auto traced = [&](const char* name, const char* format) {
        const std::string file = Dir.File(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(file), format));
        if (Doc().ObjectsCount() > 0)
            Notifier.QueueAnswer(EUserAnswer::Yes); // the drawing makes way
        Open(file);
        Press("sbtOpenDone");
        Window().findChild<QAction*>(QStringLiteral("sbtVect"))->trigger();
        kbtest::TMainWindowDriver::Settle();
        Press("sbtPreviewVect");
        Press("sbtVectDone");
        return Doc().ObjectsCount() - 1;
    };
    const int fromBmp = traced("two-tone.bmp", "BMP");
    const int fromJpeg = traced("two-tone.jpg", "JPEG");
    EXPECT_EQ(fromBmp, 3);
    EXPECT_EQ(fromJpeg, fromBmp);
}

// --- What stays on screen -------------------------------------------------------

namespace {

// The most frequent colour of the picture: the view's background.
QRgb Background(const QImage& frame)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < frame.height(); y += 2)
        for (int x = 0; x < frame.width(); x += 2)
            ++counts[frame.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// Pixels of the two frames that differ.
int Differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

// Pixels of the placement box's blue wire.
int BluePixels(const QImage& frame)
{
    int n = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            n += (qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100) ? 1 : 0;
        }
    return n;
}

} // namespace

TEST_F(OpenFiles, AFileThatYieldsNothingLeavesTheDrawingOnScreen)
{
    Notifier.Strict = false;
    Open(kbtest::SampleDrawing());
    ASSERT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::Document);
    const int32_t objects = Doc().ObjectsCount();
    const QString title = Window().windowTitle();
    const std::vector<std::string> recent = Window().RecentFiles().Names();
    const QImage before = Driver->ShownView();
    const QRgb background = Background(before);
    int drawn = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            drawn += before.pixel(x, y) != background ? 1 : 0;
    ASSERT_GT(drawn, 100);

    // A DXF cut inside its TABLES section.
    const std::string cut = Dir.File("cut.dxf");
    kbtest::WriteFileText(cut, "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\nWalls\n");
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Open(cut);
    EXPECT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::Failed);
    EXPECT_EQ(Doc().ObjectsCount(), objects);
    EXPECT_EQ(Window().windowTitle(), title);
    EXPECT_EQ(Window().RecentFiles().Names(), recent);
    EXPECT_FALSE(Tool().isVisible()) << "no placement page for nothing";
    const QImage after = Driver->ShownView();
    EXPECT_LT(Differing(before, after), drawn / 20) << "the drawing is still shown";
}

TEST_F(OpenFiles, AnStlAndItsBoxGoWhenADocumentOpens)
{
    Notifier.Strict = false;
    Open(kbtest::SampleDrawing());
    const QImage alone = Driver->ShownView();
    const TRect2D bounds = *Doc().GetDrawingBounds();
    // A wedge inside the drawing's bounds, so that it would be in view.
    const double x0 = bounds.FirstEdge.X, y0 = bounds.FirstEdge.Y;
    const double w = bounds.SecondEdge.X - x0, h = bounds.SecondEdge.Y - y0;
    const std::string stl = Dir.File("inside.stl");
    const auto vertex = [&](double fx, double fy, double z) {
        return "vertex " + std::to_string(x0 + fx * w) + " " + std::to_string(y0 + fy * h) + " " + std::to_string(z) +
               "\n";
    };
    kbtest::WriteFileText(stl, "solid w\nfacet normal 0 0 1\nouter loop\n" + vertex(0.2, 0.2, 0) +
                                   vertex(0.8, 0.2, 2) + vertex(0.5, 0.8, 2) + "endloop\nendfacet\nendsolid w\n");
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Open(stl);
    ASSERT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::STL);
    Press("sbtOpenDone");
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Open(kbtest::SampleDrawing());
    ASSERT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::Document);
    const QImage again = Driver->ShownView();
    EXPECT_LT(Differing(alone, again), alone.width() * alone.height() / 200) << "nothing of the surface stays";
}

TEST_F(OpenFiles, ThePlacementBoxGoesWithDone)
{
    Open(WriteDxf());
    ASSERT_TRUE(Tool().isVisible());
    ASSERT_GT(BluePixels(Driver->ShownView()), 0) << "the box is shown while placing";
    // The page stands clear of the view, so that its hiding repaints nothing.
    const QRect window = Window().frameGeometry();
    Tool().move(window.right() + 20, window.top());
    kbtest::TMainWindowDriver::Settle();
    Press("sbtOpenDone");
    EXPECT_EQ(BluePixels(Driver->ShownView()), 0);
}

TEST_F(OpenFiles, NoProgressBarStaysAfterAnSvg)
{
    const std::string svg = Dir.File("four.svg");
    kbtest::WriteFileText(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">"
                               "<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"5\" x2=\"10\" y2=\"5\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"9\" x2=\"10\" y2=\"9\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"12\" x2=\"10\" y2=\"12\" stroke=\"black\"/></svg>");
    Open(svg);
    ASSERT_EQ(Window().OpenedFile().Kind, TOpenedFileKind::SVG);
    EXPECT_FALSE(kbtest::Child<QWidget>(Window(), "ProgressBar1").isVisible());
}

TEST_F(OpenFiles, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Notifier.Strict = false;
    const auto shot = [&](const char* name) {
        QTest::qWait(200);
        ASSERT_TRUE(Tool().grab().save(folder + QStringLiteral("/open-panel-%1.png").arg(QLatin1String(name))));
        ASSERT_TRUE(Window().grab().save(folder + QStringLiteral("/open-window-%1.png").arg(QLatin1String(name))));
    };
    Open(WriteDxf());
    shot("dxf");
    Press("sbtOpenDone");
    Open(WriteStl());
    shot("stl");
    Press("sbtOpenDone");
    Open(WriteBmp());
    shot("bmp");
    Press("sbtOpenDone");
    Window().findChild<QAction*>(QStringLiteral("sbtVect"))->trigger();
    Press("sbtPreviewVect");
    shot("vectorize");
    Press("sbtVectCancel");
}

} // namespace
