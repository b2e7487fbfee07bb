#include "io/dxf/DXFImportFile.h"

#include "core/settings/AppConfig.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/entities/VectFont.h"
#include "io/dxf/DXF2DImport.h"
#include "platform/IniFile.h"
#include "tests/io/DXFImportTestSupport.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace dxf_import_file_test {

using namespace kbtest;

namespace {

const std::string OpenScadFolder = "/usr/share/openscad/testdata/dxf";
const std::string Fixtures = KB_FIXTURES_DIR "/dxf/";

// The number of entities in the ENTITIES section, counted line by line
// apart from the code under test.
size_t EntitiesIn(const std::string& fileName)
{
    std::istringstream in(ReadFileText(fileName));
    std::string code;
    std::string value;
    std::string previous;
    bool inside = false;
    size_t count = 0;
    const auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(" \t\r"));
        s.erase(s.find_last_not_of(" \t\r") + 1);
        return s;
    };
    while (std::getline(in, code) && std::getline(in, value)) {
        code = trim(code);
        value = trim(value);
        if (code == "2" && value == "ENTITIES" && previous == "SECTION")
            inside = true;
        else if (code == "0" && value == "ENDSEC")
            inside = false;
        else if (code == "0" && inside)
            ++count;
        if (code == "0")
            previous = value;
    }
    return count;
}

struct DXFImportFile : ::testing::Test {
    TRecordingNotifier Notifier;
    TAppConfig Settings{""};
    TQV_01Cmp2D Document;

    void SetUp() override
    {
        SetLanguageIni(ReadLanguageFile(KB_DATA_SOURCE_DIR "/languages/english.lng"));
    }
    void TearDown() override { SetLanguageIni(nullptr); }

    std::vector<TObject2D*> Objects()
    {
        std::vector<TObject2D*> objects;
        TGraphicObjIterator it = Document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            objects.push_back(dynamic_cast<TObject2D*>(object));
        return objects;
    }
};

} // namespace

TEST_F(DXFImportFile, EveryOpenScadSampleReadsWhole)
{
    if (!std::filesystem::is_directory(OpenScadFolder))
        GTEST_SKIP() << "openscad-testing-data is not installed";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OpenScadFolder)) {
        if (entry.path().extension() != ".dxf")
            continue;
        const std::string name = entry.path().string();
        SCOPED_TRACE(name);
        ++files;
        Document.DeleteAllObjects();
        const TDXFImportResult result = ImportDXFFile(Document, name, Settings);
        ASSERT_EQ(result.FileKind, OpenedFileKindDxf);
        EXPECT_FALSE(result.Importer->Incomplete()) << result.Report;
        EXPECT_EQ(result.Report, "");
        EXPECT_EQ(static_cast<size_t>(Document.ObjectsCount()), EntitiesIn(name));
        // Whatever was drawn lies inside the extents the file states (but
        // for the one sample whose header was written by hand).
        if (result.Importer->HasExtents() && Document.ObjectsCount() > 0 &&
            entry.path().filename() != "nothing-decimal-comma-separated.dxf") {
            const TRect2D bounds = *Document.GetDrawingBounds();
            const TRect2D extents = result.Importer->Extents();
            const double slack = 1e-6 * (1 + extents.SecondEdge.X - extents.FirstEdge.X);
            EXPECT_GE(bounds.FirstEdge.X, extents.FirstEdge.X - slack);
            EXPECT_GE(bounds.FirstEdge.Y, extents.FirstEdge.Y - slack);
            EXPECT_LE(bounds.SecondEdge.X, extents.SecondEdge.X + slack);
            EXPECT_LE(bounds.SecondEdge.Y, extents.SecondEdge.Y + slack);
        }
    }
    EXPECT_GE(files, 30u);
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(DXFImportFile, DecimalCommasWithoutRelease)
{
    const std::string name = OpenScadFolder + "/nothing-decimal-comma-separated.dxf";
    if (!std::filesystem::exists(name))
        GTEST_SKIP() << "openscad-testing-data is not installed";
    const TDXFImportResult result = ImportDXFFile(Document, name, Settings);
    EXPECT_EQ(result.Importer->Version(), 10);
    EXPECT_POINT_NEAR(result.Importer->Extents().FirstEdge, -6.63671875, -0.0244140625, 0);
    ASSERT_EQ(Objects().size(), 4u);
    ExpectPoints(DrawnPoints(dynamic_cast<TLine2D&>(*Objects()[0])), {{0.1, 0.1}, {2.5, 0}});
}

TEST_F(DXFImportFile, BlockContentsDrawInTheColourOfTheirLayer)
{
    // Lines on layer 0 (white in the file's layer table), colour BYLAYER,
    // in the model space and inside the blocks of six references.
    const std::string name = OpenScadFolder + "/transform-insert.dxf";
    if (!std::filesystem::exists(name))
        GTEST_SKIP() << "openscad-testing-data is not installed";
    ImportDXFFile(Document, name, Settings);
    ASSERT_EQ(Document.Layers().GetLayer(0).Pen().Color, 0x00FFFFFFu);
    TRecordingViewServices view;
    for (TObject2D* object : Objects())
        object->Draw();
    size_t lines = 0;
    for (const TSceneNodeId id : view.Scene.Children(view.Scene.Group(TSceneGroup::Entity))) {
        if (const TSceneLines* drawn = view.Scene.As<TSceneLines>(id)) {
            ++lines;
            EXPECT_EQ(drawn->Color.R + drawn->Color.G + drawn->Color.B, 3.0f) << "line " << lines;
        }
    }
    EXPECT_EQ(lines, 18u + 6u * 7u);
}

TEST_F(DXFImportFile, TurnedInsertsAndEllipsesTurnCounterClockwise)
{
    // Expected values as ezdxf computes them for its own files.
    ImportDXFFile(Document, Fixtures + "insert-rotated.dxf", Settings);
    ImportDXFFile(Document, Fixtures + "ellipse-rotated.dxf", Settings);
    const auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);

    auto& reference = dynamic_cast<TBlock2D&>(*objects[0]);
    std::vector<TPoint2D> lines;
    const TMatrix4 m = reference.GetModelTransform();
    TGraphicObjIterator it = reference.SourceBlock()->Objects().GetIterator();
    for (TGraphicObject* child = it.First(); child; child = it.Next())
        for (const TPoint2D& p : DrawnPoints(dynamic_cast<TLine2D&>(*child)))
            lines.push_back(m.TransformPoint2D(p));
    ExpectPoints(lines, {{100, 50}, {100, 70}, {100, 70}, {94, 70}}, 1e-12);

    const auto points = DrawnPoints(dynamic_cast<TPolyline2D&>(*objects[1]));
    ASSERT_EQ(points.size(), 51u);
    EXPECT_POINT_NEAR(points.front(), 5, 15, 1e-12);
    EXPECT_POINT_NEAR(points[25], 1.4644660940672627, 12.071067811865476, 1e-12);
    EXPECT_POINT_NEAR(points.back(), 0, 5, 1e-12);
}

TEST_F(DXFImportFile, ExtrusionDownwardsMirrorsInX)
{
    // Expected values as ezdxf computes them (its OCS to WCS conversion).
    const TDXFImportResult result = ImportDXFFile(Document, Fixtures + "extrusion-down.dxf", Settings);
    ASSERT_FALSE(result.Importer->Incomplete()) << result.Report;
    const auto objects = Objects();
    ASSERT_EQ(objects.size(), 5u);
    EXPECT_POINT_NEAR(DrawnPoint(dynamic_cast<TCerchio2D&>(*objects[0]), 0), -3, 4, 1e-12);
    const TArcGeometry2D arc = dynamic_cast<TArco2D&>(*objects[1]).GetArcGeometry();
    EXPECT_POINT_NEAR(arc.StartPoint, -3, 6, 1e-12);
    EXPECT_POINT_NEAR(arc.EndPoint, -5, 4, 1e-12);
    const auto polyline = DrawnPoints(dynamic_cast<TPolyline2D&>(*objects[2]));
    EXPECT_POINT_NEAR(polyline.front(), -1, 0, 1e-12);
    EXPECT_POINT_NEAR(polyline.back(), -4, 2, 1e-12);
    // The bulge arc from (-1, 0) to (-4, 0) sags below the chord by 0.75.
    EXPECT_NEAR(std::min_element(polyline.begin(), polyline.end(),
                                 [](const TPoint2D& a, const TPoint2D& b) { return a.Y < b.Y; })->Y,
                -0.75, 1e-3);
    auto& reference = dynamic_cast<TBlock2D&>(*objects[3]);
    const TMatrix4 m = reference.GetModelTransform();
    EXPECT_POINT_NEAR(m.TransformPoint2D(MakePoint2D(0, 0)), -10, 5, 1e-12);
    EXPECT_POINT_NEAR(m.TransformPoint2D(MakePoint2D(1, 0)), -10.86602540378444, 5.5, 1e-12);
    const auto ellipse = DrawnPoints(dynamic_cast<TPolyline2D&>(*objects[4]));
    EXPECT_POINT_NEAR(ellipse.front(), 4, 0, 1e-12);
    EXPECT_POINT_NEAR(ellipse[25], 2.8284271247461903, -1.414213562373095, 1e-12);
    EXPECT_POINT_NEAR(ellipse.back(), 0, -2, 1e-12);
}

TEST_F(DXFImportFile, Release12LayersPolylinesAndText)
{
    // Stroke font 0 for the text; one of its own when no test left one.
    bool registered = false;
    try {
        CADSysFindFontByIndex(0);
    } catch (const std::exception&) {
        CADSysRegisterFont(0, std::make_unique<TVectFont>());
        registered = true;
    }
    const TDXFImportResult result = ImportDXFFile(Document, Fixtures + "release12.dxf", Settings);
    if (registered)
        CADSysClearFontRegistry();
    EXPECT_EQ(result.Importer->Version(), 12);
    EXPECT_EQ(result.Importer->LayerNames(), (std::vector<std::string>{"0", "Defpoints", "RED", "OFF"}));
    EXPECT_EQ(Document.Layers().GetLayer(2).Pen().Color, 0x000000FFu);
    EXPECT_EQ(Document.Layers().GetLayer(3).Pen().Color, 0x00FF0000u);
    const auto objects = Objects();
    ASSERT_EQ(objects.size(), 3u);
    const auto bulged = DrawnPoints(dynamic_cast<TPolyline2D&>(*objects[0]));
    EXPECT_EQ(bulged.size(), 53u);
    EXPECT_EQ(objects[0]->Layer(), 2);
    ExpectPoints(DrawnPoints(dynamic_cast<TPolyline2D&>(*objects[1])), {{5, 5}});
    EXPECT_EQ(objects[1]->Layer(), 3);
    auto& text = dynamic_cast<TJustifiedVectText2D&>(*objects[2]);
    EXPECT_EQ(text.Text(), "Hi");
    EXPECT_EQ(text.HJustification(), TJustifiedVectText2D::kJustifyCentre);
    EXPECT_EQ(text.VJustification(), TJustifiedVectText2D::kJustifyMiddle);
    EXPECT_EQ(objects[2]->Layer(), 2);
    EXPECT_EQ(result.Importer->Counters().Texts, 1u);
    EXPECT_EQ(result.Importer->Counters().Polylines, 2u);
}

TEST_F(DXFImportFile, SplinePassesWhereEzdxfSaysIt)
{
    ImportDXFFile(Document, Fixtures + "spline.dxf", Settings);
    auto& spline = dynamic_cast<TQVBSpline2D&>(*Objects().at(0));
    ASSERT_TRUE(spline.CanEvaluate());
    double nearest = 1e9;
    for (const TPoint2D& p : spline.ProfilePoints().Points())
        nearest = std::min(nearest, std::hypot(p.X - 15, p.Y - 5));
    EXPECT_LT(nearest, 0.2);
}

TEST_F(DXFImportFile, PartialReadsAreReportedOnce)
{
    TTempDir dir;
    const std::string name = dir.File("part.dxf");
    WriteFileText(name, EntitiesFile({"0", "MTEXT", "0", "HATCH", "0", "MTEXT", "0", "INSERT", "2", "NONE", "0",
                                      "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0", "POLYLINE", "0",
                                      "VERTEX", "10", "0", "20", "0"}));
    const TDXFImportResult result = ImportDXFFile(Document, name, Settings);
    EXPECT_EQ(result.FileKind, OpenedFileKindDxf);
    EXPECT_EQ(Document.ObjectsCount(), 1);
    const std::string expected = "The DXF file is damaged and was read only up to the damage: Invalid DXF file.\r\n"
                                 "The DXF file was read only in part; left out: 2 MTEXT, 1 HATCH, 1 INSERT\r\n"
                                 "Some blocks cannot be read.";
    EXPECT_EQ(result.Report, expected);
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(Notifier.Messages()[0].Text, expected);
    EXPECT_EQ(Notifier.Messages()[0].Caption, "Error");
}

TEST_F(DXFImportFile, ReportTexts)
{
    const struct {
        const char* Name;
        std::string Text;
        std::string Report;
    } cases[] = {
        {"whole", EntitiesFile({"0", "POINT"}), ""},
        {"cut inside the entities", Dxf({"0", "SECTION", "2", "ENTITIES", "0", "POINT", "10", "1"}),
         "The DXF file is damaged and was read only up to the damage: the file ends inside its ENTITIES section."},
        {"no end marker", Dxf({"0", "SECTION", "2", "ENTITIES", "0", "ENDSEC", "0", "SECTION"}),
         "The DXF file is damaged and was read only up to the damage: the file ends before its end marker EOF."},
        {"many kinds left out",
         EntitiesFile({"0", "A1", "0", "A2", "0", "A3", "0", "A4", "0", "A5", "0", "A6", "0", "A7", "0", "A8", "0",
                       "A9", "0", "A10", "0", "A11", "0", "A12", "0", "A13", "0", "A1"}),
         "The DXF file was read only in part; left out: 2 A1, 1 A2, 1 A3, 1 A4, 1 A5, 1 A6, 1 A7, 1 A8, 1 A9, "
         "1 A10, 1 A11, 1 A12, ..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImport import(c.Text);
        import.Read();
        EXPECT_EQ(DXFImportReport(*import), c.Report);
    }
}

TEST_F(DXFImportFile, AFileThatCannotBeOpenedFails)
{
    // The caller reports the failed open; the drawing is not touched, nor
    // is the step before reading taken.
    bool beforeRead = false;
    const TDXFImportResult result =
        ImportDXFFile(Document, "/nonexistent/drawing.dxf", Settings, [&](const TDXF2DImport&) { beforeRead = true; });
    EXPECT_EQ(result.FileKind, OpenedFileKindFailed);
    EXPECT_EQ(result.Importer, nullptr);
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(result.Report.rfind(" error raised, with message: Cannot open file", 0), 0u);
    EXPECT_FALSE(beforeRead);

    TDXF2DImport importer("/nonexistent/drawing.dxf", &Document);
    EXPECT_TRUE(importer.OpenFailed());
    EXPECT_TRUE(importer.Incomplete());
    importer.ReadIntoModel();
    EXPECT_EQ(importer.ReadAsContainer(), nullptr);
    EXPECT_EQ(Document.ObjectsCount(), 0);
}

TEST_F(DXFImportFile, TheSettingChoosesLinesAndArcsForLightWeightPolylines)
{
    TTempDir dir;
    const std::string name = dir.File("lw.dxf");
    WriteFileText(name, EntitiesFile({"0", "LWPOLYLINE", "90", "3", "10", "0", "20", "0", "42", "1", "10", "2", "20",
                                      "0", "10", "2", "20", "2"}));
    Settings.DxfPolyInLA = true;
    ImportDXFFile(Document, name, Settings);
    EXPECT_EQ(Document.ObjectsCount(), 2); // an arc and a line
    Settings.DxfPolyInLA = false;
    ImportDXFFile(Document, name, Settings);
    EXPECT_EQ(Document.ObjectsCount(), 3); // and one polyline
}

}  // namespace dxf_import_file_test
