#include "cam/tools/LibreriaUtBase.h"

#include "cam/tools/DefaultToolLibraries.h"
#include "core/file/Stream.h"

#include "tests/cam/FakeToolPage.h"
#include "tests/cam/ToolBytes.h"
#include "core/settings/AppConfig.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kbtest;

namespace {

struct TLibCase {
    const char* Name;
    std::function<std::unique_ptr<TLibreriaUtBase>(TToolListView*, TToolPage*)> Make;
    std::vector<uint8_t> Bytes; // two records
    std::string* Setting;
    std::string FirstCaption;
};

std::vector<TLibCase> LibraryCases()
{
    return {
        {"mill", [](TToolListView* l, TToolPage* p) { return std::make_unique<TFresaLib>(l, p); },
         Concat({MillLibraryBytes(1, "Flat 3", 3, 0), MillLibraryBytes(2, "Ball 6", 6, 2)}), &AppConfig().ToolsLib,
         "Flat 3(D 3)"},
        {"lathe", [](TToolListView* l, TToolPage* p) { return std::make_unique<TTornioLib>(l, p); },
         Concat({LatheBytes(1, "VNMG", 0.4), LatheBytes(2, "DCMT", 0.8)}), &AppConfig().LatheLib, "VNMG (R 0.4)"},
        {"laser", [](TToolListView* l, TToolPage* p) { return std::make_unique<TLaserLib>(l, p); },
         Concat({LaserBytes("Cut", 0.1), LaserBytes("Engrave", 0.15)}), &AppConfig().LaserLib, "Cut(D 0.1)"},
    };
}

} // namespace

TEST(ToolLibrary, LoadsTwoRecordsAndWritesThemBackByteForByte)
{
    TToolLanguage language;
    TTempDir dir;
    for (const TLibCase& c : LibraryCases()) {
        SCOPED_TRACE(c.Name);
        TRecordingNotifier notifier;
        TFakeToolList list;
        TFakeToolPage page;
        const auto lib = c.Make(&list, &page);
        const std::string in = dir.File(std::string(c.Name) + "-in" + lib->Extension());
        WriteFileBytes(in, c.Bytes);
        ASSERT_TRUE(lib->LoadFromFile(in));
        EXPECT_TRUE(notifier.Messages().empty());
        ASSERT_EQ(lib->Count(), 2);
        ASSERT_EQ(list.Captions.size(), 2u);
        EXPECT_EQ(list.Captions[0], c.FirstCaption);
        EXPECT_EQ(list.Selected, 0);
        EXPECT_TRUE(list.Focused);
        EXPECT_EQ(*c.Setting, in);

        const std::string out = dir.File(std::string(c.Name) + "-out" + lib->Extension());
        lib->SaveToFile(out);
        EXPECT_EQ(ReadFileBytes(out), c.Bytes);
        EXPECT_EQ(*c.Setting, out);
    }
}

TEST(ToolLibrary, MillFileOfTwoRecordsShowsTheFirstOnThePage)
{
    TToolLanguage language;
    TTempDir dir;
    TFakeToolList list;
    TFakeToolPage page;
    page.Showing = false;
    TFresaLib lib(&list, &page);
    const std::vector<uint8_t> bytes = Concat({MillLibraryBytes(1, "Flat 3", 3, 0), MillLibraryBytes(2, "Ball 6", 6, 2)});
    ASSERT_EQ(bytes.size(), 248u);
    WriteFileBytes(dir.File("t.tlb"), bytes);
    ASSERT_TRUE(lib.LoadFromFile(dir.File("t.tlb")));
    EXPECT_EQ(page.Texts["txtUtName"], "Flat 3");
    EXPECT_EQ(page.Texts["lblToolsLibName"], dir.File("t.tlb"));
    EXPECT_EQ(list.ImageIndexes, (std::vector<int>{0, 2}));
    EXPECT_FALSE(list.Focused); // the window is hidden
    EXPECT_EQ(lib.Record(1).ToolName, "Ball 6");
}

TEST(ToolLibrary, DamagedFilesKeepWhatWasReadAndSayWhich)
{
    TToolLanguage language;
    TTempDir dir;
    TBytes absurd = LatheBytes(1, "ok", 0.4);
    absurd.I32(1).I32(2).I32(3).F64(4).I32(0).U8(0).I32(0x7fffffff).Str("abc");
    const std::vector<uint8_t> twoMills = Concat({MillLibraryBytes(1, "a", 3), MillLibraryBytes(2, "b", 4)});
    struct TCase {
        const char* Name;
        std::function<std::unique_ptr<TLibreriaUtBase>(TToolListView*, TToolPage*)> Make;
        std::vector<uint8_t> Bytes;
        int KeptRecords;
    };
    const std::vector<TCase> cases = {
        {"mill, last record cut short",
         [](TToolListView* l, TToolPage* p) { return std::make_unique<TFresaLib>(l, p); },
         std::vector<uint8_t>(twoMills.begin(), twoMills.end() - 5), 1},
        {"lathe, impossible name length",
         [](TToolListView* l, TToolPage* p) { return std::make_unique<TTornioLib>(l, p); }, absurd.Data(), 1},
        {"laser, a few stray bytes",
         [](TToolListView* l, TToolPage* p) { return std::make_unique<TLaserLib>(l, p); }, {1, 2, 3}, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingNotifier notifier;
        TFakeToolList list;
        TFakeToolPage page;
        const auto lib = c.Make(&list, &page);
        const std::string file = dir.File("bad" + lib->Extension());
        WriteFileBytes(file, c.Bytes);
        AppConfig().ToolsLib = AppConfig().LatheLib = AppConfig().LaserLib = "before";
        EXPECT_FALSE(lib->LoadFromFile(file));
        EXPECT_EQ(lib->Count(), c.KeptRecords);
        EXPECT_EQ(static_cast<int>(list.Captions.size()), c.KeptRecords);
        ASSERT_EQ(notifier.Messages().size(), 1u);
        EXPECT_EQ(notifier.Messages()[0].Text, file + " unreadable");
        EXPECT_EQ(notifier.Messages()[0].Caption, "Error");
        EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Warning);
        EXPECT_EQ(AppConfig().ToolsLib + AppConfig().LatheLib + AppConfig().LaserLib, "beforebeforebefore");
    }

    TRecordingNotifier notifier;
    TFresaLib missing;
    EXPECT_FALSE(missing.LoadFromFile(dir.File("none.tlb")));
    EXPECT_EQ(notifier.Messages().size(), 1u);
}

TEST(ToolLibrary, EmptyFileLoadsNothingButNamesTheLibrary)
{
    TTempDir dir;
    TFakeToolList list;
    TFakeToolPage page;
    TLaserLib lib(&list, &page);
    lib.AddRecord(std::make_unique<TDatiLaser>());
    WriteFileBytes(dir.File("e.llb"), {});
    ASSERT_TRUE(lib.LoadFromFile(dir.File("e.llb")));
    EXPECT_EQ(lib.Count(), 0);
    EXPECT_TRUE(list.Captions.empty());
    EXPECT_EQ(page.Texts["lblLaserLibName"], dir.File("e.llb"));
    EXPECT_EQ(AppConfig().LaserLib, dir.File("e.llb"));
}

TEST(ToolLibrary, LatheLoadCopiesTheFirstInsertIntoTheOperationTool)
{
    TTempDir dir;
    WriteFileBytes(dir.File("l.rlb"), Concat({LatheBytes(1, "VNMG", 0.4), LatheBytes(2, "DCMT", 0.8)}));
    TTornioLib lib;
    TDatiUtTornio operationTool;
    ASSERT_TRUE(lib.LoadFromFile(dir.File("l.rlb"), &operationTool, true));
    EXPECT_EQ(operationTool.ToolName, "VNMG");
    EXPECT_EQ(operationTool.EdgeAngle1, 95.0f);

    TDatiUtTornio untouched;
    ASSERT_TRUE(lib.LoadFromFile(dir.File("l.rlb"), &untouched, false));
    EXPECT_EQ(untouched.ToolName, "");
    // A mill library never writes into the record it is handed.
    TFresaLib mill;
    WriteFileBytes(dir.File("m.tlb"), MillLibraryBytes(1, "a", 3).Data());
    ASSERT_TRUE(mill.LoadFromFile(dir.File("m.tlb"), &untouched, true));
    EXPECT_EQ(untouched.ToolName, "");
}

TEST(ToolLibrary, NewFromPageAddsDeleteRemoves)
{
    TToolLanguage language;
    TRecordingNotifier notifier;
    TFakeToolList list;
    TFakeToolPage page;
    TTornioLib lathe(&list, &page);
    TDatiUtTornio operationTool;
    operationTool.CornerRadius = 12;
    operationTool.ToolName = "from op";
    operationTool.Diameter = 0.8;
    lathe.SetOperationTool(&operationTool);
    page.Texts = {{"sedLatheToolNum", "3"}, {"txtLatheGiri", "900"}, {"txtLatheFeedrate", "0.2"}};
    ASSERT_TRUE(lathe.NewFromPage());
    ASSERT_EQ(lathe.Count(), 1);
    EXPECT_EQ(lathe.Record(0).ToolNumber, 3);
    EXPECT_EQ(lathe.Record(0).CornerRadius, 12);
    EXPECT_EQ(list.Captions[0], "from op (R 0.8)");

    page.Texts["txtLatheGiri"] = "fast";
    EXPECT_FALSE(lathe.NewFromPage());
    EXPECT_EQ(lathe.Count(), 1);
    EXPECT_EQ(notifier.Messages().size(), 1u);

    lathe.Delete(5);
    EXPECT_EQ(lathe.Count(), 1);
    lathe.Delete(0);
    EXPECT_EQ(lathe.Count(), 0);
    EXPECT_TRUE(list.Captions.empty());
}

TEST(ToolLibrary, TypeChangedAdaptsTheMillSizeFields)
{
    TFakeToolPage page;
    TFresaLib lib(nullptr, &page);
    page.Texts["txtDiametro"] = "6";
    lib.TypeChanged(kToolSferico);
    EXPECT_EQ(page.Texts["txtC_Raggio"], " 3.");
    EXPECT_FALSE(page.Enabled["txtC_Raggio"]);
    EXPECT_TRUE(page.Visible["txtC_Raggio"]);
    EXPECT_FALSE(page.Visible["txtAngolo"]);
    EXPECT_FALSE(page.Visible["lblDiamFlat"]);

    // The radius the ball shape put there reads back as a number.
    page.Texts = {{"sedToolNum", "1"}, {"txtGiri", "1"}, {"txtFeedrate", "1"}, {"txtPlungeRate", "1"},
                  {"txtDiametro", "6"}, {"txtC_Raggio", " 3."}, {"txtAngolo", "0"}, {"txtDiamFlat", "0"},
                  {"txtTLength", "0"}, {"txtPassZ", "1"}};
    TDatiUtFresa ball;
    ASSERT_TRUE(ball.FromPage(page));
    EXPECT_EQ(ball.CornerRadius, 3);

    lib.TypeChanged(kToolConico);
    EXPECT_FALSE(page.Visible["txtC_Raggio"]);
    EXPECT_TRUE(page.Visible["txtAngolo"]);
    EXPECT_TRUE(page.Visible["txtDiamFlat"]);
    lib.TypeChanged(kToolToro);
    EXPECT_TRUE(page.Visible["lblC_Raggio"]);
    EXPECT_TRUE(page.Enabled["txtC_Raggio"]);
    EXPECT_FALSE(page.Visible["txtAngolo"]);
    lib.TypeChanged(kToolPunta);
    EXPECT_FALSE(page.Visible["txtC_Raggio"]);
    const auto before = page.Visible;
    lib.TypeChanged(kToolUndefined);
    EXPECT_EQ(page.Visible, before);
}

TEST(ToolLibrary, LibraryFileSelectionAndDefaultNames)
{
    TTempDir dir;
    WriteFileBytes(dir.File("mine.tlb"), {});
    EXPECT_EQ(SelectLibraryFile(dir.File("mine.tlb"), "/cfg/tools/"), dir.File("mine.tlb"));
    EXPECT_EQ(SelectLibraryFile(dir.File("gone.tlb"), "/cfg/tools/"), "/cfg/tools/gone.tlb");
    EXPECT_EQ(SelectLibraryFile("C:\\Old\\Tools_inch.tlb", "/cfg/tools"), "/cfg/tools/Tools_inch.tlb");
    EXPECT_EQ(TFresaLib().DefaultFileName("mm"), "Tools_mm.tlb");
    EXPECT_EQ(TTornioLib().DefaultFileName("inch"), "Lathe_inch.rlb");
    EXPECT_EQ(TLaserLib().DefaultFileName("mm"), "Laser_mm.llb");
}

TEST(ToolLibrary, ShippedDefaultsAreCurrentAndLoad)
{
    // data/tools is written by scripts/make-toollibs.sh; a change of the
    // default tables or of a record layout must be followed by a new run.
    const std::vector<TDefaultToolLibrary> defaults = DefaultToolLibraries();
    ASSERT_EQ(defaults.size(), 6u);
    // What each shipped library holds: nine mill tools (flat, bull nose,
    // ball, two V-bits, a drill), three lathe inserts, three laser settings.
    const struct {
        const char* FileName;
        int32_t Count;
    } shipped[] = {{"Tools_mm.tlb", 9},    {"Lathe_mm.rlb", 3},   {"Laser_mm.llb", 3},
                   {"Tools_inch.tlb", 9}, {"Lathe_inch.rlb", 3}, {"Laser_inch.llb", 3}};
    for (size_t i = 0; i < defaults.size(); ++i) {
        const TDefaultToolLibrary& d = defaults[i];
        SCOPED_TRACE(d.FileName);
        EXPECT_EQ(d.FileName, shipped[i].FileName);
        TMemoryStream expected;
        d.Library->SaveToStream(expected);
        const std::string file = std::string(KB_DATA_SOURCE_DIR) + "/tools/" + d.FileName;
        EXPECT_EQ(ReadFileBytes(file), expected.Data());

        TRecordingNotifier notifier;
        TFakeToolList list;
        const std::unique_ptr<TLibreriaUtBase> loaded =
            d.Library->Kind() == EToolKind::Mill    ? std::unique_ptr<TLibreriaUtBase>(new TFresaLib(&list))
            : d.Library->Kind() == EToolKind::Lathe ? std::unique_ptr<TLibreriaUtBase>(new TTornioLib(&list))
                                                    : std::unique_ptr<TLibreriaUtBase>(new TLaserLib(&list));
        ASSERT_TRUE(loaded->LoadFromFile(file));
        EXPECT_EQ(loaded->Count(), d.Library->Count());
        EXPECT_EQ(loaded->Count(), shipped[i].Count);
        EXPECT_TRUE(notifier.Messages().empty());
    }
    EXPECT_EQ(defaults[0].FileName, "Tools_mm.tlb");
    EXPECT_EQ(defaults[5].FileName, "Laser_inch.llb");
}
