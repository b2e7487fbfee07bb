#include "io/dxf/DXF2DImport.h"

#include "core/entities/Block2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "io/dxf/ACIColors.h"
#include "tests/io/DXFImportTestSupport.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

namespace dxf2_d_import_test {

using namespace kbtest;

namespace {

std::string HeaderSection(std::initializer_list<std::string> variables)
{
    return Dxf({"0", "SECTION", "2", "HEADER"}) + Dxf(variables) + Dxf({"0", "ENDSEC"});
}

std::string HeaderFile(std::initializer_list<std::string> variables)
{
    return HeaderSection(variables) + EntitiesFile({});
}

std::vector<TDXFSkip> Skips(std::initializer_list<TDXFSkip> skips)
{
    return skips;
}

std::string BlockNameOf(const TBlock2D& reference)
{
    return BlockNameText(reference.SourceBlock()->Name());
}

// A source block of the document before the import.
TSourceBlock2D* AddBlock(TQV_01Cmp2D& document, const std::string& name)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TLine2D>(0, MakePoint2D(0, 0), MakePoint2D(9, 9)));
    return document.AddSourceBlock(std::make_unique<TSourceBlock2D>(-1, std::move(children), name));
}

// A complete file with every section and the entity kinds read group by
// group and pair by pair; the sweeps cut it anywhere.
const std::string FullFile =
    HeaderSection({"9", "$ACADVER", "1", "AC1015", "9", "$EXTMIN", "10", "0", "20", "0"}) +
    Dxf({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "0", "LAYER", "2", "A", "62", "1", "0", "ENDTAB",
         "0", "ENDSEC", "0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "OUTER", "70", "0", "10", "1", "20", "1",
         "0", "LINE", "10", "1", "20", "1", "11", "2", "21", "1", "0", "INSERT", "2", "INNER", "10", "1", "20", "1",
         "0", "ENDBLK", "0", "BLOCK", "2", "INNER", "10", "0", "20", "0", "0", "CIRCLE", "10", "0", "20", "0", "40",
         "1", "0", "ENDBLK", "0", "ENDSEC"}) +
    EntitiesFile({"0", "LINE", "8", "A", "10", "0", "20", "0", "11", "1", "21", "0",
                  "0", "POLYLINE", "70", "1", "0", "VERTEX", "10", "0", "20", "0", "42", "1", "0", "VERTEX", "10",
                  "2", "20", "0", "0", "SEQEND",
                  "0", "LWPOLYLINE", "90", "2", "70", "1", "10", "0", "20", "5", "42", "0.5", "10", "3", "20", "5",
                  "0", "SPLINE", "71", "3", "72", "8", "73", "4", "40", "0", "40", "0", "40", "0", "40", "0", "40",
                  "1", "40", "1", "40", "1", "40", "1", "10", "0", "20", "0", "10", "1", "20", "1", "10", "2", "20",
                  "0", "10", "3", "20", "1",
                  "0", "INSERT", "2", "OUTER", "10", "10", "20", "10",
                  "0", "ARC", "10", "0", "20", "0", "40", "2", "50", "0", "51", "180"});

} // namespace

TEST(DXFImportHeader, ReadsReleaseExtentsAndAngleDirection)
{
    const TRect2D standard{MakePoint2D(-1000, -1000), MakePoint2D(1000, 1000)};
    const struct {
        const char* Name;
        std::string Text;
        uint16_t Version;
        TRect2D Extents;
        bool HasExtents;
        bool CounterClockwise;
    } cases[] = {
        {"no header", EntitiesFile({}), 10, standard, false, true},
        {"release 2000", HeaderFile({"9", "$ACADVER", "1", "AC1015"}), 2000, standard, false, true},
        {"release 12", HeaderFile({"9", "$ACADVER", "1", "AC1009"}), 12, standard, false, true},
        {"release 2018", HeaderFile({"9", "$ACADVER", "1", "AC1032"}), 2018, standard, false, true},
        {"unknown release", HeaderFile({"9", "$ACADVER", "1", "AC2099"}), 10, standard, false, true},
        {"extents normalised",
         HeaderFile({"9", "$EXTMIN", "10", "10", "20", "5", "30", "0", "9", "$EXTMAX", "10", "0", "20", "20"}), 10,
         {MakePoint2D(0, 5), MakePoint2D(10, 20)}, true, true},
        {"clockwise angles", HeaderFile({"9", "$ANGDIR", "70", "1"}), 10, standard, false, false},
        {"counter-clockwise angles", HeaderFile({"9", "$ANGDIR", "70", "0"}), 10, standard, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImport import(c.Text);
        import.Read();
        EXPECT_EQ(import->Version(), c.Version);
        EXPECT_EQ(import->HasExtents(), c.HasExtents);
        EXPECT_POINT_NEAR(import->Extents().FirstEdge, c.Extents.FirstEdge.X, c.Extents.FirstEdge.Y, 0.0);
        EXPECT_POINT_NEAR(import->Extents().SecondEdge, c.Extents.SecondEdge.X, c.Extents.SecondEdge.Y, 0.0);
        EXPECT_EQ(import->CounterClockwise(), c.CounterClockwise);
        EXPECT_FALSE(import->Incomplete());
    }
}

TEST(DXFImportLayers, TableOrderGivesTheLayerNumber)
{
    const std::string tables =
        Dxf({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LTYPE", "0", "LTYPE", "2", "DASHED", "0", "ENDTAB",
             "0", "TABLE", "2", "LAYER", "70", "2", "0", "LAYER", "2", "A", "70", "0", "62", "1", "0", "LAYER", "2",
             "B", "62", "-5", "0", "ENDTAB", "0", "ENDSEC"});
    const std::string entities = EntitiesFile({
        "0", "LINE", "8", "b", "10", "0", "20", "0", "11", "1", "21", "0", // names compare without case
        "0", "LINE", "8", "C", "10", "0", "20", "0", "11", "1", "21", "0", // not in the table: as before
        "0", "POINT", "8", "A", "10", "0", "20", "0",
    });
    {
        TImport import(tables + entities);
        import.Read();
        const TQV_21Layer& a = import.Document.Layers().GetLayer(0);
        const TQV_21Layer& b = import.Document.Layers().GetLayer(1);
        EXPECT_EQ(a.Name(), "A");
        EXPECT_EQ(a.Pen().Color, 0x000000FFu); // red
        EXPECT_EQ(b.Name(), "B");
        EXPECT_EQ(b.Pen().Color, 0x00FF0000u); // blue, also for a layer that is off
        EXPECT_EQ(a.Brush().Style, 1);         // clear
        EXPECT_EQ(b.Brush().Style, 1);
        EXPECT_TRUE(a.Modified() && b.Modified());
        EXPECT_FALSE(import.Document.Layers().GetLayer(2).Modified());
        EXPECT_EQ(import->LayerNames(), (std::vector<std::string>{"A", "B"}));
        const auto objects = import.Objects();
        ASSERT_EQ(objects.size(), 3u);
        EXPECT_EQ(objects[0]->Layer(), 1);
        EXPECT_EQ(objects[1]->Layer(), 1);
        EXPECT_EQ(objects[2]->Layer(), 0);
    }
    {
        TImport import(tables + entities);
        import->LayerAttributes = false;
        import.Read();
        EXPECT_EQ(import.Document.Layers().GetLayer(1).Name(), "Layer_1");
        EXPECT_FALSE(import.Document.Layers().GetLayer(1).Modified());
        EXPECT_EQ(import.Objects()[0]->Layer(), 1);
    }
}

TEST(DXFImportLayers, EntriesPastTheTableWrapAndOddColoursKeepThePen)
{
    std::string tables = Dxf({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER"});
    for (int i = 0; i < 257; ++i)
        tables += Dxf({"0", "LAYER", "2", "L" + std::to_string(i), "62", i == 256 ? "300" : "3"});
    tables += Dxf({"0", "LAYER", "2", "BYLAYER", "62", "-2147483648", "0", "ENDTAB", "0", "ENDSEC"});
    TImport import(tables + EntitiesFile({"0", "POINT", "8", "L256", "10", "0", "20", "0", "0", "POINT", "8", "L5",
                                          "10", "0", "20", "0"}));
    import.Read();
    EXPECT_FALSE(import->Incomplete());
    // L256 wrapped to layer 0 (its name now), colour 300 left its pen green.
    EXPECT_EQ(import.Document.Layers().GetLayer(0).Name(), "L256");
    EXPECT_EQ(import.Document.Layers().GetLayer(0).Pen().Color, *ACIColor(3));
    EXPECT_EQ(import.Document.Layers().GetLayer(1).Name(), "BYLAYER");
    EXPECT_EQ(import.Document.Layers().GetLayer(1).Pen().Color, *ACIColor(3));
    EXPECT_EQ(import.Objects()[0]->Layer(), 0);
    EXPECT_EQ(import.Objects()[1]->Layer(), 5);
}

TEST(DXFImportBlocks, DefinitionsNestedInsertsAndBasePoints)
{
    TImport import(Dxf({"0", "SECTION", "2", "BLOCKS",
                        // anonymous: not read, and its inserts find nothing
                        "0", "BLOCK", "2", "*D1", "70", "1", "10", "0", "20", "0", "0", "LINE", "10", "0", "20", "0",
                        "11", "1", "21", "1", "0", "ENDBLK",
                        // base (5, 5); inserts a block defined later
                        "0", "BLOCK", "2", "OUTER", "70", "0", "10", "5", "20", "5", "0", "LINE", "10", "5", "20",
                        "5", "11", "6", "21", "5", "0", "INSERT", "2", "INNER", "10", "5", "20", "5", "0", "ENDBLK",
                        "0", "BLOCK", "2", "INNER", "70", "0", "10", "0", "20", "0", "0", "CIRCLE", "10", "0", "20",
                        "0", "40", "1", "0", "ENDBLK",
                        // without a name
                        "0", "BLOCK", "70", "0", "0", "POINT", "10", "1", "20", "1", "0", "ENDBLK",
                        // without objects: dropped
                        "0", "BLOCK", "2", "EMPTY", "0", "ENDBLK", "0", "ENDSEC"}) +
                   EntitiesFile({"0", "INSERT", "2", "OUTER", "10", "100", "20", "0", "0", "INSERT", "2", "*D1",
                                 "10", "0", "20", "0"}));
    AddBlock(import.Document, "P1");
    AddBlock(import.Document, "P2");
    import.Read();

    ASSERT_EQ(import.Document.SourceBlocksCount(), 5); // P1, P2, OUTER, INNER, BLOCK4
    TSourceBlock2D& outer = import.Document.FindSourceBlock("OUTER");
    TSourceBlock2D& inner = import.Document.FindSourceBlock("INNER");
    EXPECT_NO_THROW(import.Document.FindSourceBlock("BLOCK4")); // four blocks when it was read
    EXPECT_THROW(import.Document.FindSourceBlock("*D1"), std::exception);
    EXPECT_THROW(import.Document.FindSourceBlock("EMPTY"), std::exception);

    // The nested insert is linked to the block defined after it.
    TGraphicObjIterator children = outer.Objects().GetIterator();
    children.First();
    auto* nested = dynamic_cast<TInsert*>(children.Next());
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->SourceBlock(), &inner);
    EXPECT_EQ(inner.ReferenceCount(), 1);

    // The base point moved to the origin: the outer block spans the inner
    // circle of radius 1 at the origin, and the reference sits at (100, 0).
    ASSERT_EQ(import.Objects().size(), 1u);
    const auto& reference = import.Object<TBlock2D>(0);
    EXPECT_EQ(reference.SourceBlock(), &outer);
    EXPECT_POINT_NEAR(reference.Box().FirstEdge, 99, -1, 0.01); // the circle's 50 segments
    EXPECT_POINT_NEAR(reference.Box().SecondEdge, 101, 1, 0.01);
    EXPECT_EQ(import->Counters().Inserts, 1u);

    EXPECT_TRUE(import->Incomplete());
    EXPECT_EQ(import->Skipped(), Skips({{"INSERT", 1}}));
    EXPECT_EQ(import->SkipNotes(), std::vector<std::string>{"Some blocks cannot be read."});
}

TEST(DXFImportBlocks, NamesStayApartInTheirThirteenBytes)
{
    TImport import(Dxf({"0", "SECTION", "2", "BLOCKS",
                        "0", "BLOCK", "2", "LONGBLOCKNAME_A", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0",
                        "0", "ENDBLK",
                        "0", "BLOCK", "2", "LONGBLOCKNAME_B", "0", "LINE", "10", "0", "20", "0", "11", "0", "21", "2",
                        "0", "ENDBLK",
                        "0", "BLOCK", "2", "DOOR", "0", "LINE", "10", "0", "20", "0", "11", "3", "21", "0",
                        "0", "ENDBLK", "0", "ENDSEC"}) +
                   EntitiesFile({"0", "INSERT", "2", "LONGBLOCKNAME_B", "0", "INSERT", "2", "LONGBLOCKNAME_A", "0",
                                 "INSERT", "2", "DOOR", "0", "INSERT", "2", "LONGBLOCKNAME_C"}));
    TSourceBlock2D* libraryDoor = AddBlock(import.Document, "DOOR");
    import.Read();

    ASSERT_EQ(import.Objects().size(), 3u);
    const auto& b = import.Object<TBlock2D>(0);
    const auto& a = import.Object<TBlock2D>(1);
    const auto& door = import.Object<TBlock2D>(2);
    EXPECT_EQ(BlockNameOf(a), "LONGBLOCKNAME");
    EXPECT_EQ(BlockNameOf(b), "LONGBLOCKNA~1");
    EXPECT_EQ(BlockNameOf(door), "DOOR~1");
    EXPECT_POINT_NEAR(a.Box().SecondEdge, 1, 0, 1e-12);
    EXPECT_POINT_NEAR(b.Box().SecondEdge, 0, 2, 1e-12);
    EXPECT_POINT_NEAR(door.Box().SecondEdge, 3, 0, 1e-12);
    EXPECT_EQ(libraryDoor->ReferenceCount(), 0);
    // Its first 13 bytes are those of block A, but the file has no such block.
    EXPECT_EQ(import->Skipped(), Skips({{"INSERT", 1}}));
}

TEST(DXFImportBlocks, BlocksThatInsertThemselvesAreRefused)
{
    TImport import(Dxf({"0", "SECTION", "2", "BLOCKS",
                        "0", "BLOCK", "2", "SELF", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0",
                        "INSERT", "2", "SELF", "10", "1", "20", "0", "0", "ENDBLK",
                        "0", "BLOCK", "2", "PING", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0",
                        "INSERT", "2", "PONG", "10", "0", "20", "5", "0", "ENDBLK",
                        "0", "BLOCK", "2", "PONG", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0",
                        "INSERT", "2", "PING", "10", "0", "20", "5", "0", "ENDBLK", "0", "ENDSEC"}) +
                   EntitiesFile({"0", "INSERT", "2", "SELF", "0", "INSERT", "2", "PING"}));
    import.Read();
    EXPECT_EQ(import.Document.FindSourceBlock("SELF").Objects().Count(), 1);
    EXPECT_EQ(import.Document.FindSourceBlock("PING").Objects().Count(), 2);
    EXPECT_EQ(import.Document.FindSourceBlock("PONG").Objects().Count(), 1);
    // PING keeps its insert of PONG: the reference spans both lines.
    EXPECT_POINT_NEAR(import.Object<TBlock2D>(1).Box().SecondEdge, 1, 5, 1e-12);
    EXPECT_TRUE(import->Incomplete());
    EXPECT_EQ(import->Skipped(), Skips({{"INSERT", 2}}));
}

TEST(DXFImportSkips, CountedByTypeAlsoInsideUsedBlocks)
{
    TImport import(Dxf({"0", "SECTION", "2", "BLOCKS",
                        "0", "BLOCK", "2", "USED", "0", "HATCH", "0", "LINE", "10", "0", "20", "0", "11", "1", "21",
                        "0", "0", "ENDBLK",
                        "0", "BLOCK", "2", "UNUSED", "0", "MTEXT", "0", "LINE", "10", "0", "20", "0", "11", "1",
                        "21", "0", "0", "ENDBLK", "0", "ENDSEC"}) +
                   EntitiesFile({"0", "MTEXT", "1", "note", "0", "MTEXT", "0", "HATCH", "0", "DIMENSION", "0",
                                 "INSERT", "2", "USED", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0",
                                 "SEQEND"}));
    import.Read();
    EXPECT_EQ(import.Objects().size(), 2u);
    EXPECT_TRUE(import->Incomplete());
    EXPECT_EQ(import->Skipped(), Skips({{"MTEXT", 2}, {"HATCH", 2}, {"DIMENSION", 1}}));
    EXPECT_TRUE(import->SkipNotes().empty());
    EXPECT_TRUE(import->Damage().empty());
}

TEST(DXFImportDamage, ErrorsEndTheReadingAndKeepWhatWasRead)
{
    const struct {
        const char* Name;
        std::string Text;
        std::string Damage;
        size_t Objects;
    } cases[] = {
        {"code line that is not a number",
         EntitiesFile({"0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0", "0", "LINE", "x1", "5"}),
         "Invalid DXF group code \"x1\" in line 17.", 1},
        {"polyline without SEQEND",
         EntitiesFile({"0", "POINT", "10", "0", "20", "0", "0", "POLYLINE", "70", "0", "0", "VERTEX", "10", "0",
                       "20", "0", "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "0"}),
         "Invalid DXF file.", 1},
        {"over-long line", EntitiesFile({"0", "POINT", "10", "0", "20", "0", "0", "TEXT", "1",
                                         std::string(MaxDXFLineLength + 1, 'x')}),
         "DXF line 14 is longer than 65536 characters.", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImport import(c.Text);
        TRecordingGeoTree tree;
        import.Document.SetTreeGeo(&tree);
        import.Read();
        EXPECT_TRUE(import->Incomplete());
        EXPECT_EQ(import->Damage(), c.Damage);
        EXPECT_EQ(import.Objects().size(), c.Objects);
        EXPECT_EQ(tree.UpdateDepth, 0); // the tree updates again
        EXPECT_EQ(tree.Events.size(), c.Objects);
    }
}

TEST(DXFImportDamage, EveryCutOfAFileEndsTheReading)
{
    TImport whole(FullFile);
    whole.Read();
    ASSERT_FALSE(whole->Incomplete()) << whole->Damage();
    const size_t all = whole.Objects().size();
    ASSERT_EQ(all, 6u);
    size_t incomplete = 0;
    for (size_t length = 0; length < FullFile.size(); ++length) {
        TImport cut(FullFile.substr(0, length));
        cut.Read();
        SCOPED_TRACE(length);
        // A cut file is read in part, unless only the end of its last line
        // went: then it is read whole.
        if (cut->Incomplete()) {
            ++incomplete;
        } else {
            ASSERT_EQ(cut.Objects().size(), all);
            ASSERT_GE(length, FullFile.size() - 1);
        }
        ASSERT_LE(cut.Objects().size(), all);
    }
    EXPECT_EQ(incomplete, FullFile.size() - 1);
}

TEST(DXFImportPlacement, ScaleThenOffset)
{
    TImport import(EntitiesFile({"0", "POINT", "10", "1", "20", "1"}));
    import->ScaleX = 2;
    import->ScaleY = 3;
    import->OffsetX = 10;
    import->OffsetY = 20;
    import.Read();
    EXPECT_POINT_NEAR(DrawnPoint(import.Object<TPunto2D>(0), 0), 12, 23, 1e-12);
}

TEST(DXFImportContainer, ReadsOnlyTheEntitiesIntoOneContainer)
{
    TImport import(Dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B", "0", "POINT", "10", "0", "20", "0",
                        "0", "ENDBLK", "0", "ENDSEC"}) +
                   EntitiesFile({"0", "LINE", "10", "1", "20", "0", "11", "2", "21", "0", "0", "INSERT", "2", "B",
                                 "0", "CIRCLE", "10", "0", "20", "0", "40", "1"}));
    import->ContainerScale = 2;
    import->OffsetX = 1;
    import->OffsetY = 1;
    const std::unique_ptr<TContainer2D> container = import->ReadAsContainer();
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(import.Document.SourceBlocksCount(), 1); // the file starts with its blocks
    EXPECT_EQ(import.Document.ObjectsCount(), 0);
    ASSERT_EQ(container->Objects().Count(), 2);
    TGraphicObjIterator it = container->Objects().GetIterator();
    auto* line = dynamic_cast<TLine2D*>(it.First());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->ID(), 0);
    EXPECT_EQ(it.Next()->ID(), 1);
    EXPECT_POINT_NEAR(DrawnPoint(*line, 0), 3, 1, 1e-12);
    EXPECT_POINT_NEAR(DrawnPoint(*line, 1), 5, 1, 1e-12);
    EXPECT_TRUE(import->Incomplete()); // the insert was skipped
    EXPECT_EQ(import->Skipped(), Skips({{"INSERT", 1}}));
}

}  // namespace dxf2_d_import_test
