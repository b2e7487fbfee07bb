#include "io/dxf/DXF2DExport.h"

#include "core/file/Stream.h"
#include "core/geometry/Vertice.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/TestSupport.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace dxf2_d_export_test {

namespace {

using TPairs = std::vector<std::pair<int, std::string>>;

// The file as (code, value) pairs, values without their padding.
TPairs Pairs(const std::string& text)
{
    TPairs pairs;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        auto trim = [](std::string s) {
            while (!s.empty() && (s.back() == '\r' || s.back() == ' '))
                s.pop_back();
            return s.substr(std::min(s.find_first_not_of(' '), s.size()));
        };
        pairs.emplace_back(std::stoi(code), trim(value));
    }
    return pairs;
}

// The pairs from the entities section's start to the end.
TPairs EntityPairs(const std::string& text)
{
    const TPairs all = Pairs(text);
    for (size_t i = 0; i + 1 < all.size(); ++i)
        if (all[i] == std::make_pair(2, std::string("ENTITIES")))
            return TPairs(all.begin() + long(i) + 1, all.end());
    return {};
}

TAVertice3d V(int kind, double x, double y, double z = 0, double cx = 0, double cy = 0)
{
    TAVertice3d v;
    v.Kind = kind;
    v.EndPoint = {x, y, z};
    v.Centre = {cx, cy, z};
    return v;
}

std::string Export(TQV_01Cmp2D& doc, const std::vector<TToolpathVertices>& curves)
{
    TDXF2DExport exporter("unused.dxf", doc);
    exporter.ExportToolpath(curves, "3");
    return exporter.Text();
}

} // namespace

TEST(DXF2DExport, NoCurvesGiveHeaderTablesAndAnEmptyEntitiesSection)
{
    TQV_01Cmp2D doc;
    kbtest::TTempDir dir;
    const std::string file = (dir.Path() / "t.dxf").string();
    TDXF2DExport exporter(file, doc);
    exporter.ExportToolpath({}, "0");
    exporter.Finish();
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const TPairs pairs = Pairs(text);
    const TPairs head(pairs.begin(), pairs.begin() + 6);
    EXPECT_EQ(head, (TPairs{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {9, "$ANGDIR"}, {70, "0"}}));
    EXPECT_EQ(EntityPairs(text), (TPairs{{0, "ENDSEC"}, {0, "EOF"}}));
    // No layer modified: the table lists the current one only.
    int layers = 0;
    for (size_t i = 0; i < pairs.size(); ++i)
        layers += pairs[i] == std::make_pair(0, std::string("LAYER"));
    EXPECT_EQ(layers, 1);
}

TEST(DXF2DExport, LinesAndArcsOfEveryCurveEmptyOnesSkipped)
{
    TQV_01Cmp2D doc;
    const std::vector<TToolpathVertices> curves = {
        {V(0, 0, 0, -1), V(0, 10, 0, -1)},
        {},
        {V(0, 10, 0), V(1, 0, 10, 0, 0, 0)},   // counter-clockwise quarter
        {V(0, 0, 10), V(-1, 10, 0, 0, 0, 0)},  // clockwise back: the same arc
        {V(0, 0, 10), V(1, 10, 0, -2, 0, 0)},  // counter-clockwise three quarters
        {V(0, 5, 5)},                          // one vertex: nothing
    };
    const TPairs got = EntityPairs(Export(doc, curves));
    auto arc = [](const char* start, const char* end, const char* z) {
        return TPairs{{0, "ARC"}, {8, "3"}, {10, "0.000000"}, {20, "0.000000"}, {30, z}, {40, "10.000000"},
                      {50, start}, {51, end}};
    };
    TPairs expected = {{0, "LINE"}, {8, "3"}, {10, "0.000000"}, {20, "0.000000"}, {30, "-1.000000"},
                       {11, "10.000000"}, {21, "0.000000"}, {31, "-1.000000"}};
    for (const TPairs& a : {arc("0.000000", "90.000000", "0.000000"), arc("0.000000", "90.000000", "0.000000"),
                            arc("90.000000", "360.000000", "-2.000000")})
        expected.insert(expected.end(), a.begin(), a.end());
    expected.emplace_back(0, "ENDSEC");
    EXPECT_EQ(got, expected);
}

TEST(DXF2DExport, LayerTableListsModifiedLayersWithTheirColour)
{
    TQV_01Cmp2D doc;
    TQV_21Layer& red = doc.Layers().GetLayer(7);
    red.SetModified();
    red.SetPenColor(0x000000FF);
    red.SetActive(0);
    const TPairs pairs = Pairs(Export(doc, {}));
    std::vector<std::string> colours;
    for (size_t i = 0; i + 1 < pairs.size(); ++i)
        if (pairs[i].first == 62 && pairs[i - 3].second == "LAYER")
            colours.push_back(pairs[i].second);
    ASSERT_EQ(colours.size(), 2u); // the current layer 0 and layer 7
    EXPECT_EQ(colours[1], "-1");
}

TEST(DXF2DExport, AFailedSaveLeavesTheOlderFileAndNothingIsWrittenBeforeFinish)
{
    TQV_01Cmp2D doc;
    kbtest::TTempDir dir;
    const std::string file = (dir.Path() / "old.dxf").string();
    std::ofstream(file) << "older";
    {
        TDXF2DExport exporter(file, doc);
        exporter.ExportToolpath({{V(0, 0, 0), V(0, 1, 1)}}, "0");
        EXPECT_EQ(std::filesystem::file_size(file), 5u); // not truncated on creation
    }
    TDXF2DExport broken((dir.Path() / "missing/t.dxf").string(), doc);
    broken.ExportToolpath({}, "0");
    EXPECT_THROW(broken.Finish(), EStreamWriteError);
    EXPECT_EQ(std::filesystem::file_size(file), 5u);
}

// An independent reader takes the file back: its lines and arcs.
TEST(DXF2DExport, ReadBackByAnotherDxfLibrary)
{
    struct TReader : DL_CreationAdapter {
        std::vector<DL_LineData> Lines;
        std::vector<DL_ArcData> Arcs;
        void addLine(const DL_LineData& d) override { Lines.push_back(d); }
        void addArc(const DL_ArcData& d) override { Arcs.push_back(d); }
    };
    TQV_01Cmp2D doc;
    kbtest::TTempDir dir;
    const std::string file = (dir.Path() / "t.dxf").string();
    TDXF2DExport exporter(file, doc);
    exporter.ExportToolpath({{V(0, 0, 0, -1), V(0, 10, 0, -1), V(1, 0, 10, -1, 0, 0)}}, "0");
    exporter.Finish();
    TReader reader;
    DL_Dxf dxf;
    ASSERT_TRUE(dxf.in(file, &reader));
    ASSERT_EQ(reader.Lines.size(), 1u);
    EXPECT_DOUBLE_EQ(reader.Lines[0].x2, 10);
    EXPECT_DOUBLE_EQ(reader.Lines[0].z1, -1);
    ASSERT_EQ(reader.Arcs.size(), 1u);
    EXPECT_DOUBLE_EQ(reader.Arcs[0].radius, 10);
    EXPECT_DOUBLE_EQ(reader.Arcs[0].angle2, 90);
}

}  // namespace dxf2_d_export_test
