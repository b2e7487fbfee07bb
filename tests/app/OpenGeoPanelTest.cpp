// Opening DXF, SVG, image and STL files through File/Open onto a page of
// their own (offscreen): the open-geometry panel's information tree, its
// edits, radio buttons and buttons through the widgets, the placement they
// give the drawing, the dispatch by extension and the Vectorize refusal.

#include "app/FileCommands.h"

#include "cad/program/QV_00Prog.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/QVGrezzo.h"
#include "core/entities/QV_STLSurf.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/ui/DlgOpenGeo.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Two diagonals of the box (10, 10)-(30, 20) and a circle inside it.
const char* const TwoLinesDxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
                                "0\r\nLINE\r\n8\r\n0\r\n10\r\n10\r\n20\r\n10\r\n30\r\n0\r\n11\r\n30\r\n21\r\n20\r\n31\r\n0\r\n"
                                "0\r\nLINE\r\n8\r\n0\r\n10\r\n10\r\n20\r\n20\r\n30\r\n0\r\n11\r\n30\r\n21\r\n10\r\n31\r\n0\r\n"
                                "0\r\nCIRCLE\r\n8\r\n0\r\n10\r\n20\r\n20\r\n15\r\n30\r\n0\r\n40\r\n2\r\n"
                                "0\r\nENDSEC\r\n0\r\nEOF\r\n";

// A box of 10 x 20 x 5 from (1, 2, 3), as ASCII STL (two facets are enough
// to span it).
const char* const BoxStl = "solid box\n"
                           "facet normal 0 0 -1\nouter loop\nvertex 1 2 3\nvertex 11 2 3\nvertex 11 22 3\nendloop\nendfacet\n"
                           "facet normal 0 0 1\nouter loop\nvertex 1 2 8\nvertex 11 22 8\nvertex 1 22 8\nendloop\nendfacet\n"
                           "endsolid box\n";

struct OpenGeoPanel : ::testing::Test {
    OpenGeoPanel() : Config(""), Commands(Doc, Prg, View, Config)
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Commands.OpenPageSheet = [this] { return &Sheet; };
        Commands.ShowOpenPage = [this](const std::string& key) { Captions.push_back(key); };
        Commands.HideToolWin = [this] {
            ++Hides;
            Commands.FreeOpenGeoPanel();
        };
    }
    ~OpenGeoPanel() override { SetLanguageIni(nullptr); }

    template <class T> T* W(const char* name) const
    {
        T* widget = Sheet.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(const char* edit, const char* text)
    {
        QLineEdit* e = W<QLineEdit>(edit);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, QString::fromLatin1(text));
    }
    void Click(const char* button) { QTest::mouseClick(W<QAbstractButton>(button), Qt::LeftButton); }
    bool ApplyOn() const { return W<QPushButton>("sbtOpenApply")->isEnabled(); }
    bool DoneOn() const { return W<QPushButton>("sbtOpenDone")->isEnabled(); }
    TRect2D Bounds() { return *Doc.GetDrawingBounds(); }
    void ExpectBounds(double l, double b, double r, double t)
    {
        const TRect2D bounds = Bounds();
        EXPECT_NEAR(bounds.FirstEdge.X, l, 1e-9);
        EXPECT_NEAR(bounds.FirstEdge.Y, b, 1e-9);
        EXPECT_NEAR(bounds.SecondEdge.X, r, 1e-9);
        EXPECT_NEAR(bounds.SecondEdge.Y, t, 1e-9);
    }
    std::vector<std::string> TreeLines() const
    {
        std::vector<std::string> lines;
        QTreeWidget* tree = Commands.OpenGeoPanel()->InfoTree();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            lines.push_back((*it)->text(0).toStdString());
        return lines;
    }
    std::string OpenDxf()
    {
        const std::string dxf = Dir.File("frame.DXF");
        kbtest::WriteFileText(dxf, TwoLinesDxf);
        Commands.OpenGeo(dxf, false);
        return dxf;
    }
    // A picture of width x height at dpi, written by Qt.
    std::string WriteImage(const char* name, const char* format, int width, int height, int dpi)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (dpi > 0) {
            image.setDotsPerMeterX(qRound(dpi / 0.0254));
            image.setDotsPerMeterY(qRound(dpi / 0.0254));
        }
        const std::string file = Dir.File(name);
        EXPECT_TRUE(image.save(QString::fromStdString(file), format));
        return file;
    }

    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingWorkMonitor Monitor;
    kbtest::TRecordingDocumentView View;
    kbtest::TRecordingScene Scene;
    TViewServicesScope Services{TViewServices{&Scene, nullptr, nullptr, nullptr}};
    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQV_00Prog Prg;
    TFileCommands Commands;
    QWidget Sheet;
    std::vector<std::string> Captions;
    int Hides = 0;
};

TEST_F(OpenGeoPanel, ADxfTellsWhatWasReadAndStaysAtItsFileOrigin)
{
    const std::string dxf = OpenDxf();
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::DXF);
    ASSERT_NE(Commands.OpenGeoPanel(), nullptr);
    EXPECT_EQ(Captions, std::vector<std::string>{"twOpDxf"});
    EXPECT_EQ(Monitor.StatusMessages.back(), LangText(LangKeys::String::StatusPlacement));
    const std::vector<std::string> tree = TreeLines();
    ASSERT_GE(tree.size(), 14u);
    EXPECT_EQ(tree[0].rfind(LangText(LangKeys::String::OpenGeoDxf) + " - Version: ", 0), 0u);
    EXPECT_EQ(tree[1], LangText(LangKeys::String::GeoFileName) + "frame.DXF");
    EXPECT_EQ(tree[2], LangText(LangKeys::String::GeoMinimum) + " X10, Y10");
    EXPECT_EQ(tree[5], LangText(LangKeys::String::GeoSizeY) + " 10.");
    EXPECT_EQ(tree[7], LangText(LangKeys::String::StatsLines) + "2");
    EXPECT_EQ(tree[9], LangText(LangKeys::String::DxfCircles) + "1");
    EXPECT_EQ(tree[11], "Spline:0");
    EXPECT_EQ(tree.size(), 14u) << "no inserts line without inserts";

    EXPECT_TRUE(W<QRadioButton>("rbtOriginDxf")->isChecked());
    EXPECT_EQ(W<QLineEdit>("txtSizeX")->text(), "20");
    EXPECT_FALSE(W<QLineEdit>("txtSizeZ")->isEnabled());
    EXPECT_FALSE(ApplyOn());
    EXPECT_TRUE(DoneOn());
    // Done right after the setup places as set (nothing moves) and hides.
    Click("sbtOpenDone");
    ExpectBounds(10, 10, 30, 20);
    EXPECT_EQ(Hides, 1);
    EXPECT_EQ(Commands.OpenGeoPanel(), nullptr);
}

TEST_F(OpenGeoPanel, EditsMakeApplyAvailableAndApplyPlaces)
{
    OpenDxf();
    Click("rbtOrigin1");
    EXPECT_TRUE(ApplyOn());
    EXPECT_FALSE(DoneOn());
    Click("sbtOpenApply");
    EXPECT_FALSE(ApplyOn());
    EXPECT_TRUE(DoneOn());
    ExpectBounds(0, 0, 20, 10);
    Click("sbtOpenApply"); // disabled: nothing happens
    ExpectBounds(0, 0, 20, 10);

    Type("txtSizeX", "40");
    EXPECT_EQ(W<QLineEdit>("txtSizeY")->text(), "20");
    EXPECT_TRUE(ApplyOn());
    Click("sbtOpenApply");
    ExpectBounds(0, 0, 40, 20);

    // A size of 0 changes nothing; later applies stay exact.
    Type("txtSizeX", "0");
    EXPECT_FALSE(ApplyOn());
    EXPECT_EQ(W<QLineEdit>("txtSizeY")->text(), "20");
    Type("txtSizeX", "0.06");
    Click("sbtOpenApply");
    ExpectBounds(0, 0, 0.06, 0.03);
    Type("txtSizeX", "20");
    Click("sbtOpenApply");
    ExpectBounds(0, 0, 20, 10);

    // A typed origin at scale 2 is stored unscaled and clears the corners.
    Type("txtSizeX", "40");
    Type("txtOriginX", "5");
    EXPECT_DOUBLE_EQ(Commands.OpenGeoPanel()->Origin.X, 2.5);
    EXPECT_FALSE(W<QRadioButton>("rbtOrigin1")->isChecked());
    EXPECT_TRUE(Commands.OpenGeoPanel()->OriginTyped);
}

TEST_F(OpenGeoPanel, RotationAndThePickedOrigin)
{
    OpenDxf();
    Click("rbtOrigin1");
    Click("sbtOpenApply");
    Click("rbtOriginDxf");
    // Rotation about the file origin of the box (10, 10)-(30, 20): the
    // rotated box rests on the origin.
    Type("txtDxfRotate", "90");
    Click("sbtOpenApply");
    ExpectBounds(0, 0, 10, 20);

    Type("txtDxfRotate", "0");
    Click("sbtSetOrigin");
    TDlgOpenGeo& panel = *Commands.OpenGeoPanel();
    ASSERT_TRUE(panel.WaitsForViewClick());
    // What the interaction program does on the next left click.
    panel.StopWaitingForViewClick();
    panel.ShiftOrigin(TPoint2D{3, 4, 1});
    panel.Apply();
    ExpectBounds(7, 6, 27, 16);
    EXPECT_FALSE(panel.WaitsForViewClick());
}

TEST_F(OpenGeoPanel, TheColourBoxGivesTheDefaultPenAndBringsTheFileColoursBack)
{
    Config.DefLayers = 0x123456;
    OpenDxf();
    Doc.Layers().GetLayer(7).SetPenColor(0x0000FF);
    Doc.Layers().GetLayer(7).SetVisible(0);
    Click("chkDxfAci");
    EXPECT_EQ(Doc.Layers().GetLayer(7).Pen().Color, 0x123456u);
    EXPECT_TRUE(Doc.Layers().GetLayer(7).Visible());
    EXPECT_TRUE(Doc.Layers().GetLayer(7).Active());
    Click("chkDxfAci");
    EXPECT_EQ(Doc.Layers().GetLayer(7).Pen().Color, 0x0000FFu);
}

TEST_F(OpenGeoPanel, AnSvgCountsItsObjects)
{
    const std::string svg = Dir.File("two.svg");
    kbtest::WriteFileText(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0 L10 0 L10 5\"/>"
                               "<circle cx=\"5\" cy=\"5\" r=\"2\"/></svg>");
    Commands.OpenGeo(svg, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::SVG);
    EXPECT_EQ(Captions, std::vector<std::string>{"twOpSvg"});
    const std::vector<std::string> tree = TreeLines();
    ASSERT_EQ(tree.size(), 7u);
    EXPECT_EQ(tree[0], LangText(LangKeys::String::OpenGeoSvg));
    EXPECT_EQ(tree[6], LangText(LangKeys::String::GeoObjects) + "2");
    EXPECT_EQ(W<QLineEdit>("txtDxfRotate")->text(), "0");
    EXPECT_TRUE(Notifier.Messages().empty());

    // Shapes left out are told: the drawing is incomplete.
    const std::string partly = Dir.File("partly.svg");
    kbtest::WriteFileText(partly, "<svg><line x2=\"1e999\"/><line x2=\"1\"/></svg>");
    Commands.OpenGeo(partly, false);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::SVG);
    ASSERT_FALSE(Notifier.Messages().empty());
    EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::SvgPartlyRead));
    EXPECT_EQ(Doc.ObjectsCount(), 1);
}

TEST_F(OpenGeoPanel, ABmpIsSizedByItsResolution)
{
    const std::string bmp = WriteImage("pic.bmp", "BMP", 300, 150, 300);
    Commands.OpenGeo(bmp, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::BMP);
    EXPECT_EQ(Captions, std::vector<std::string>{"twOpBmp"});
    TDlgOpenGeo& panel = *Commands.OpenGeoPanel();
    EXPECT_DOUBLE_EQ(panel.Scale.X, 25.4 / 300);
    EXPECT_EQ(W<QLineEdit>("txtSizeX")->text(), "25.4");
    EXPECT_EQ(W<QLineEdit>("txtSizeY")->text(), "12.7");
    EXPECT_TRUE(W<QRadioButton>("rbtOrigin1")->isChecked());
    EXPECT_EQ(Sheet.findChild<QRadioButton*>("rbtOriginDxf"), nullptr);
    ASSERT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_NE(dynamic_cast<TBitmap2D*>(Doc.GetObject(0)), nullptr);
    ExpectBounds(0, 0, 25.4, 12.7);
    EXPECT_EQ(Commands.ImportedImage().size(), QSize(300, 150));
    const std::vector<std::string> tree = TreeLines();
    EXPECT_EQ(tree[5], LangText(LangKeys::String::RasterResolution) + "300");
}

TEST_F(OpenGeoPanel, ARasterWithoutResolutionTakesAPixelForAUnit)
{
    const std::string bmp = WriteImage("plain.bmp", "BMP", 30, 15, 0);
    std::vector<uint8_t> bytes = kbtest::ReadFileBytes(bmp);
    // Qt writes its default resolution: a header without one says 0; a
    // negative one would mirror the image and counts as none.
    for (uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
        SCOPED_TRACE(int(fill));
        for (size_t n = 38; n < 46; ++n)
            bytes[n] = fill;
        kbtest::WriteFileBytes(bmp, bytes);
        Commands.OpenGeo(bmp, false);
        ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::BMP);
        EXPECT_DOUBLE_EQ(Commands.OpenGeoPanel()->Scale.X, 1);
        ExpectBounds(0, 0, 30, 15);
    }
}

TEST_F(OpenGeoPanel, AnStlIsPlacedByItsZRadiosAndSizesAndGivesTheStockItsBox)
{
    RecreateStockSolid();
    const std::string stl = Dir.File("box.stl");
    kbtest::WriteFileText(stl, BoxStl);
    Commands.OpenGeo(stl, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::STL);
    EXPECT_EQ(Captions, std::vector<std::string>{"twOpStl"});
    TDlgOpenGeo& panel = *Commands.OpenGeoPanel();
    auto* surface = dynamic_cast<TQV_STLSurf*>(Doc.GetObject(0));
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(W<QLineEdit>("txtSizeZ")->isEnabled());
    EXPECT_EQ(W<QLineEdit>("txtSizeZ")->text(), "5");

    const auto expectBox = [&](TBox3D expected) {
        const TBox3D box = surface->Box3D();
        EXPECT_NEAR(box.FirstEdge.X, expected.FirstEdge.X, 1e-6);
        EXPECT_NEAR(box.FirstEdge.Z, expected.FirstEdge.Z, 1e-6);
        EXPECT_NEAR(box.SecondEdge.Y, expected.SecondEdge.Y, 1e-6);
        EXPECT_NEAR(box.SecondEdge.Z, expected.SecondEdge.Z, 1e-6);
        EXPECT_NEAR(StockSolid()->StockBox().SecondEdge.Z, expected.SecondEdge.Z, 1e-6);
    };
    // A corner takes Z top with it at first.
    Click("rbtOrigin1");
    EXPECT_TRUE(W<QRadioButton>("rbtZTop")->isChecked());
    Click("sbtOpenApply");
    expectBox({{0, 0, -5}, {10, 20, 0}});
    Click("rbtZBottom");
    Click("sbtOpenApply");
    expectBox({{0, 0, 0}, {10, 20, 5}});
    Type("txtSizeZ", "10");
    EXPECT_EQ(W<QLineEdit>("txtSizeX")->text(), "20");
    Click("sbtOpenApply");
    expectBox({{0, 0, 0}, {20, 40, 10}});
    // The file origin clears the Z choice.
    Click("rbtOriginDxf");
    EXPECT_FALSE(W<QRadioButton>("rbtZTop")->isChecked());
    EXPECT_FALSE(W<QRadioButton>("rbtZBottom")->isChecked());
    Click("sbtOpenApply");
    expectBox({{2, 4, 6}, {22, 44, 16}});
    EXPECT_EQ(panel.Scale.Z, 2);
    FreeStockSolid();
}

TEST_F(OpenGeoPanel, TheExtensionChoosesTheKind)
{
    struct TCase {
        const char* Name;
        const char* Format;
        TOpenedFileKind Kind;
    };
    for (const TCase& c : {TCase{"a.JPEG", "JPEG", TOpenedFileKind::JPEG}, TCase{"b.jpeg", "JPEG", TOpenedFileKind::JPEG},
                           TCase{"c.JpG", "JPEG", TOpenedFileKind::JPEG}, TCase{"d.jpe", "JPEG", TOpenedFileKind::Failed},
                           TCase{"e.BMP", "BMP", TOpenedFileKind::BMP}}) {
        Notifier.Clear();
        Commands.OpenGeo(WriteImage(c.Name, c.Format, 8, 4, 96), false);
        EXPECT_EQ(Commands.OpenedFile().Kind, c.Kind) << c.Name;
        std::vector<std::string> warnings;
        for (const auto& m : Notifier.Messages())
            if (!m.Question)
                warnings.push_back(m.Text);
        const bool refused = c.Kind == TOpenedFileKind::Failed;
        EXPECT_EQ(warnings, refused ? std::vector<std::string>{LangText(LangKeys::String::FileNotOpened)}
                                    : std::vector<std::string>{})
            << c.Name;
    }
}

TEST_F(OpenGeoPanel, AFileThatCannotBeReadKeepsTheDrawing)
{
    OpenDxf();
    const int32_t objects = Doc.ObjectsCount();
    for (const char* name : {"bad.svg", "bad.bmp", "bad.jpg", "bad.stl"}) {
        const std::string file = Dir.File(name);
        kbtest::WriteFileText(file, "not what the name says <");
        Notifier.Clear();
        Notifier.DefaultAnswer = EUserAnswer::Yes;
        try {
            Commands.OpenGeo(file, false);
        } catch (const std::exception&) {
            // The reader's error for the caller's event guard.
        }
        EXPECT_EQ(Doc.ObjectsCount(), objects) << name;
        EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed) << name;
    }
}

TEST_F(OpenGeoPanel, VectorizeNeedsAnOpenedImage)
{
    Notifier.QueueFileName(""); // the dialog cancelled
    Commands.OpenGeo("", false);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::None);
    bool started = false;
    Commands.StartVectorize = [&](TBitmap2D&, const QImage&) { started = true; };
    Commands.sbtVectClick();
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::NoImageOpened));
    EXPECT_EQ(Notifier.Messages()[0].Caption, LangText(LangKeys::String::VectorizeCaption));
    EXPECT_FALSE(started);

    Commands.OpenGeo(WriteImage("v.bmp", "BMP", 8, 4, 96), false);
    Commands.sbtVectClick();
    EXPECT_TRUE(started);
}

} // namespace
