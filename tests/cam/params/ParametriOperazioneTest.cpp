// The operation parameters record under every version gate, from hand-built
// bytes; writing it; and creating parameters for each operation kind with
// its tool record and tool library.

#include "cam/params/ParametriOperazione.h"

#include "cam/tools/CurrentToolLibrary.h"
#include "core/entities/Etichetta.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/settings/AppConfig.h"

#include "tests/cam/FakeToolPage.h"
#include "tests/cam/ParamsFixture.h"
#include "tests/cam/ToolBytes.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kbtest;

namespace {

// Kind 0 takes a mill record and opens no tool library.
std::unique_ptr<TParametriOperazione> ReadParams(const TBytes& bytes, const std::string& version, int kind,
                                                 bool* switchedOff = nullptr)
{
    auto p = std::make_unique<TParametriOperazione>(0);
    p->CreateToolData(kind);
    TMemoryStream in(bytes.Data());
    const bool off = p->LoadFromStream(in, version, kind);
    EXPECT_EQ(in.Position(), in.Size()) << version;
    if (switchedOff)
        *switchedOff = off;
    return p;
}

std::vector<uint8_t> Written(TParametriOperazione& p, int kind, bool switchedOff)
{
    TMemoryStream out;
    p.SaveToStream(out, kind, switchedOff);
    return out.Data();
}

} // namespace

TEST(OperationParameters, ReadsEveryVersionFieldByField)
{
    const char* versions[] = {"CAD3  ", "CAD41 ", "CAD422", "QV-001", "QV-002",
                              "QV-003", "QV-004", "QV-3.2", "QV-3.6"};
    for (const std::string version : versions) {
        SCOPED_TRACE(version);
        const bool fromQV001 = version >= "QV-001";
        const bool fromQV002 = version >= "QV-002";
        const int kind = version >= "QV-004" ? 12 : 1;
        TParamsBytesSpec spec;
        spec.Version = version;
        spec.Kind = kind;
        bool off = true;
        const auto p = ReadParams(ParamsBytes(spec), version, kind, &off);
        EXPECT_FALSE(off);

        EXPECT_EQ(p->ToolData->ToolName, "T1");
        EXPECT_EQ(p->ToolData->ToolNumber, 7);
        EXPECT_EQ(p->ToolData->ToolLength, 30.0f);
        EXPECT_EQ(p->CompSide, -1);
        EXPECT_EQ(p->CompOffset, 0.3);
        EXPECT_EQ(p->LayerPriority, 1);

        EXPECT_EQ(p->LeadInKind, fromQV001 ? 2 : 0);
        EXPECT_EQ(p->LeadInLength, fromQV001 ? 4.5 : 0.0);
        EXPECT_EQ(p->LeadOutKind, fromQV001 ? 1 : 0);
        EXPECT_EQ(p->LeadOutLength, fromQV001 ? 3.25 : 0.0);
        EXPECT_EQ(p->LeadAtMidSegment, fromQV001 ? 1 : 0);
        EXPECT_EQ(p->MakeTabs, fromQV001 ? 1 : 0);
        ASSERT_EQ(p->Tabs.Count(), fromQV001 ? 2 : 0);
        if (fromQV001) {
            EXPECT_EQ(p->Tabs.TabWidth, 2.5);
            EXPECT_EQ(p->Tabs.TabThickness, fromQV002 ? 0.75 : 0.0);
            EXPECT_EQ(p->Tabs.Full, fromQV002 ? 1 : 0);
            EXPECT_EQ(p->Tabs.Reserved, fromQV002 ? 7 : 0);
            const TDatiTab& tab = p->Tabs.Tab(1);
            EXPECT_EQ(tab.PickPoint.X, 1.0);
            EXPECT_EQ(tab.PickPoint.Y, 1.5);
            EXPECT_EQ(tab.ChainPoint.X, 1.25);
            EXPECT_EQ(tab.ChainPoint.Y, 0.25);
            EXPECT_EQ(tab.Distance, 0.125);
            EXPECT_EQ(tab.ChainId, 101);
            EXPECT_EQ(tab.SegmentIndex, 1);
        }

        EXPECT_EQ(p->ZRapid, 25.0);
        EXPECT_EQ(p->ZTop, 1.0);
        EXPECT_EQ(p->ZDepth, -10.0);
        EXPECT_EQ(p->ZStep, 3.0);
        EXPECT_EQ(p->StockXY, 0.2);
        EXPECT_EQ(p->RoughCount, 2);
        EXPECT_EQ(p->RoughSize, 1.25);
        EXPECT_EQ(p->FinishCount, 1);
        EXPECT_EQ(p->FinishSize, 0.1);
        EXPECT_EQ(p->PassCount, 3);
        EXPECT_EQ(p->PassDepth, 3.0);
        EXPECT_EQ(p->HasRemainder, 1);
        EXPECT_EQ(p->RemainderDepth, 1.0);
        EXPECT_EQ(p->DepthOrder, 1);
        EXPECT_EQ(p->OffsetMethod, 2);
        EXPECT_EQ(p->StepOverPercent, 40.0);
        EXPECT_EQ(p->SpiralInOut, 1);
        EXPECT_EQ(p->Angle, 45.0);
        EXPECT_EQ(p->PocketType, 1);
        EXPECT_EQ(p->CycleType, 2);
        EXPECT_EQ(p->ArcMask, 1);
        EXPECT_EQ(p->ArcMaskDiameter, 6.5);
        EXPECT_EQ(p->ArcMaskTolerance, 0.05);
        // Stored as 2 and 1 in every version; before "QV-001" they read as 0.
        EXPECT_EQ(p->CutRules, fromQV001 ? 2 : 0);
        EXPECT_EQ(p->PocketEntry, fromQV001 ? 1 : 0);

        EXPECT_TRUE(p->KeepToolDown);
        EXPECT_FALSE(p->RoughPass3D);
        EXPECT_EQ(p->MarginX, 3.0);
        EXPECT_EQ(p->MarginY, 4.0);
        EXPECT_EQ(p->ZBottom, -12.0);
        EXPECT_EQ(p->Resolution, 0.25);
        EXPECT_EQ(p->LatheHome.X, 40.125);
        EXPECT_EQ(p->LatheHome.Z, -2.5);
        EXPECT_EQ(p->OpKind, kind);

        if (kind == 12) {
            ASSERT_NE(p->Labels, nullptr);
            ASSERT_EQ(p->Labels->LabelCount(), 2);
            EXPECT_EQ(p->Labels->Labels()[0].Text, "AB");
            EXPECT_EQ(p->Labels->Labels()[1].X, -3.0f);
            EXPECT_EQ(p->Labels->FontIndex(), 1);
            EXPECT_TRUE(p->Labels->Detached());
        } else {
            EXPECT_EQ(p->Labels, nullptr);
        }

        // "QV-3.2" and older: no retract of their own, whatever single was stored.
        if (version == "QV-3.6") {
            EXPECT_TRUE(p->RetractOn);
            EXPECT_EQ(p->RetractZ, 7.5);
        } else {
            EXPECT_FALSE(p->RetractOn);
            EXPECT_EQ(p->RetractZ, p->ZRapid);
        }

        if (version > "QV-003") {
            EXPECT_EQ(p->XformOn, 1);
            EXPECT_EQ(p->StepCountX, 3);
            EXPECT_EQ(p->StepCountY, 2);
            EXPECT_EQ(p->StepX, 12.5);
            EXPECT_EQ(p->StepY, 8.0);
        } else {
            EXPECT_EQ(p->XformOn, 0);
            EXPECT_EQ(p->StepCountX, 1);
            EXPECT_EQ(p->StepCountY, 1);
            EXPECT_EQ(p->StepX, 0.0);
            EXPECT_EQ(p->StepY, 0.0);
        }
    }
}

TEST(OperationParameters, FlagWordReadsEachBitAndWritesItBack)
{
    struct TCase {
        uint16_t Stored;
        uint16_t Written; // bits 9 to 15 are never written
        bool SwitchedOff;
    };
    const TCase cases[] = {{0x01FF, 0x01FF, true}, {0x017F, 0x017F, false}, {0x0080, 0x0080, true},
                           {0xFE00, 0x0000, false}, {0x0000, 0x0000, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        TParamsBytesSpec spec;
        spec.Flags = c.Stored;
        bool off = false;
        const auto p = ReadParams(ParamsBytes(spec), "QV-3.6", 1, &off);
        EXPECT_EQ(off, c.SwitchedOff);
        const uint16_t s = c.Stored;
        EXPECT_EQ(p->KeepToolDown, (s & 0x001) != 0);
        EXPECT_EQ(p->RoughPass3D, (s & 0x002) != 0);
        EXPECT_EQ(p->LatheEntryOn, (s & 0x004) != 0);
        EXPECT_EQ(p->LatheExitOn, (s & 0x008) != 0);
        EXPECT_EQ(p->LatheHomeOn, (s & 0x010) != 0);
        EXPECT_EQ(p->EmitG41G42, (s & 0x020) != 0);
        EXPECT_EQ(p->FinishFace, (s & 0x040) != 0);
        EXPECT_EQ(p->RetractOn, (s & 0x100) != 0);
        spec.Flags = c.Written;
        EXPECT_EQ(Written(*p, 1, off), ParamsBytes(spec).Data());
    }
}

TEST(OperationParameters, BuiltInCodeWritesTheCurrentLayoutExactly)
{
    for (int kind : {1, 12}) {
        SCOPED_TRACE(kind);
        TParametriOperazione p(0);
        FillAsFixture(p, kind);
        TParamsBytesSpec spec;
        spec.Kind = kind;
        EXPECT_EQ(Written(p, kind, false), ParamsBytes(spec).Data());
        spec.Flags |= 0x80;
        EXPECT_EQ(Written(p, kind, true), ParamsBytes(spec).Data());
    }
    // Step-and-repeat off writes its byte alone.
    TParametriOperazione p(0);
    FillAsFixture(p, 1);
    p.XformOn = 0;
    TParamsBytesSpec spec;
    spec.XformOn = 0;
    EXPECT_EQ(Written(p, 1, false), ParamsBytes(spec).Data());
}

TEST(OperationParameters, LatheHomeIsExactInItsStoredCopyAndSingleInItsOwn)
{
    TParametriOperazione p(0);
    p.CreateToolData(7);
    p.LatheHome = {1.0 / 3.0, -2.0 / 3.0};
    p.LeadInLength = p.LatheHome.X;
    p.LeadOutLength = p.LatheHome.Z;
    TMemoryStream stream;
    p.SaveToStream(stream, 7, false);
    stream.SetPosition(0);
    TParametriOperazione back(0);
    back.CreateToolData(7);
    back.LoadFromStream(stream, "QV-3.6", 7);
    EXPECT_EQ(back.LeadInLength, 1.0 / 3.0);
    EXPECT_EQ(back.LeadOutLength, -2.0 / 3.0);
    EXPECT_EQ(back.LatheHome.X, double(float(1.0 / 3.0)));
    EXPECT_EQ(back.LatheHome.Z, double(float(-2.0 / 3.0)));
    EXPECT_NE(back.LatheHome.X, 1.0 / 3.0);
    EXPECT_EQ(back.ToolData->Kind(), EToolKind::Lathe);
}

TEST(OperationParameters, LettersWithoutLabelWriteAnEmptyLabelThatReadsBack)
{
    TParametriOperazione p(0);
    FillAsFixture(p, 1);
    ASSERT_EQ(p.Labels, nullptr);
    TParamsBytesSpec spec;
    spec.Kind = 12;
    spec.Label = EmptyLabelBytes();
    const TBytes expected = ParamsBytes(spec);
    EXPECT_EQ(Written(p, 12, false), expected.Data());
    const auto back = ReadParams(expected, "QV-3.6", 12);
    ASSERT_NE(back->Labels, nullptr);
    EXPECT_EQ(back->Labels->LabelCount(), 0);
    EXPECT_EQ(back->RetractZ, 7.5);
    EXPECT_EQ(back->StepCountX, 3);
}

TEST(OperationParameters, DamagedRecordsAreRefusedAsInvalidStreams)
{
    TParamsBytesSpec spec;
    spec.Kind = 12;
    const std::vector<uint8_t> whole = ParamsBytes(spec).Data();
    // Cut anywhere: the record never reads as complete. The last byte read
    // may be the step-and-repeat's, so every cut must raise.
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        TMemoryStream in(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        TParametriOperazione p(0);
        try {
            p.LoadFromStream(in, "QV-3.6", 12);
            ADD_FAILURE() << "a record cut at " << cut << " was read";
        } catch (const ECADFileNotValid& e) {
            EXPECT_STREQ(e.what(), "LoadFromStream: Invalid stream.");
        }
    }
    // A tab count beyond the stream, and a kind without a tool record.
    TParamsBytesSpec huge;
    TBytes bytes = MillDocumentBytes("T1");
    bytes.I32(0).F64(0).U8(0).I32(0).F64(0).I32(0).F64(0).U8(0).U8(0).I32(0x7FFFFFFF).F64(1).F64(0.5).U8(1).U8(0);
    AppendTab(bytes, 0);
    TMemoryStream in(bytes.Data());
    TParametriOperazione p(0);
    EXPECT_THROW(p.LoadFromStream(in, "QV-3.6", 1), ECADFileNotValid);
    TMemoryStream good(ParamsBytes(huge).Data());
    TParametriOperazione none(0);
    none.CreateToolData(10);
    EXPECT_THROW(none.LoadFromStream(good, "QV-3.6", 10), ECADFileNotValid);
}

// Creating parameters for an operation kind: its tool record and its tool
// library, made current from the configuration's tools folder.
class OperationParametersCreate : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_Dir.Path() / "tools");
        WriteFileBytes(m_Dir.File("tools/Tools_mm.tlb"),
                       Concat({MillLibraryBytes(1, "Flat 3", 3, 0), MillLibraryBytes(2, "Ball 6", 6, 2)}));
        WriteFileBytes(m_Dir.File("tools/Lathe_mm.rlb"), Concat({LatheBytes(1, "VNMG", 0.4), LatheBytes(2, "DCMT", 0.8)}));
        WriteFileBytes(m_Dir.File("tools/Laser_mm.llb"), Concat({LaserBytes("Cut", 0.1), LaserBytes("Engrave", 0.15)}));
        m_Config = std::make_unique<TAppConfig>(m_Dir.Path().string());
        SetCurrentToolLibrary(nullptr);
    }
    void TearDown() override
    {
        SetCurrentToolLibrary(nullptr);
        SetToolLibraryViews({});
        m_Config.reset();
    }

    TToolLanguage m_Language;
    TRecordingNotifier m_Notifier;
    TTempDir m_Dir;
    std::unique_ptr<TAppConfig> m_Config;
};

TEST_F(OperationParametersCreate, EachKindTakesItsToolRecordAndLibrary)
{
    struct TCase {
        int Kind;
        int Record;  // -1 none, else EToolKind
        int Library; // -1 none, else EToolKind
    };
    constexpr int mill = int(EToolKind::Mill), lathe = int(EToolKind::Lathe), laser = int(EToolKind::Laser);
    const TCase cases[] = {{0, mill, -1},     {1, mill, mill},   {2, mill, mill},     {3, mill, mill},
                           {4, mill, -1},     {5, mill, mill},   {6, mill, -1},       {7, lathe, lathe},
                           {8, laser, laser}, {9, laser, laser}, {10, -1, -1},        {11, lathe, lathe},
                           {12, mill, mill},  {13, laser, laser}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind);
        SetCurrentToolLibrary(nullptr);
        TParametriOperazione p(c.Kind);
        EXPECT_EQ(p.OpKind, c.Kind);
        EXPECT_FALSE(p.RetractOn);
        EXPECT_EQ(p.Tabs.Count(), 0);
        EXPECT_EQ(p.StepCountX, 1);
        EXPECT_EQ(p.StepCountY, 1);
        EXPECT_EQ(p.ToolData ? int(p.ToolData->Kind()) : -1, c.Record);
        TLibreriaUtBase* lib = CurrentToolLibrary();
        ASSERT_EQ(lib ? int(lib->Kind()) : -1, c.Library);
        if (!lib)
            continue;
        EXPECT_EQ(lib->Count(), 2);
        // A lathe operation starts with the first insert of its library; a
        // mill or laser record waits for the page.
        EXPECT_EQ(p.ToolData->ToolName, c.Library == lathe ? "VNMG" : "");
    }
    EXPECT_TRUE(m_Notifier.Messages().empty());
}

TEST_F(OperationParametersCreate, SettingThatDoesNotExistFallsBackToTheToolsFolder)
{
    // The defaults name "Tools_mm.tlb" without a folder; one written on
    // another machine names a folder that is not here.
    AppConfig().LaserLib = "C:\\Kestrabel\\tools\\Laser_mm.llb";
    TParametriOperazione mill(1);
    EXPECT_EQ(AppConfig().ToolsLib, m_Dir.File("tools/Tools_mm.tlb"));
    TParametriOperazione laser(9);
    EXPECT_EQ(AppConfig().LaserLib, m_Dir.File("tools/Laser_mm.llb"));
    ASSERT_NE(CurrentToolLibrary(), nullptr);
    EXPECT_EQ(CurrentToolLibrary()->Record(1).ToolName, "Engrave");

    // A setting that exists is used as it is.
    WriteFileBytes(m_Dir.File("mine.tlb"), MillLibraryBytes(9, "Mine", 2, 0).Data());
    AppConfig().ToolsLib = m_Dir.File("mine.tlb");
    TParametriOperazione own(2);
    EXPECT_EQ(AppConfig().ToolsLib, m_Dir.File("mine.tlb"));
    EXPECT_EQ(CurrentToolLibrary()->Record(0).ToolName, "Mine");

    // A library found nowhere: reported with the file name, nothing loaded.
    AppConfig().ToolsLib = "Missing.tlb";
    TParametriOperazione missing(3);
    ASSERT_EQ(m_Notifier.Messages().size(), 1u);
    EXPECT_EQ(m_Notifier.Messages()[0].Text, m_Dir.File("tools/Missing.tlb") + " unreadable");
    EXPECT_EQ(CurrentToolLibrary()->Count(), 0);
}

TEST_F(OperationParametersCreate, LibraryFillsTheToolWindowsListAndPage)
{
    TFakeToolList millList, latheList;
    TFakeToolPage page;
    TToolLibraryViews views;
    views.MillList = &millList;
    views.MillPage = &page;
    views.LatheList = &latheList;
    views.LathePage = &page;
    SetToolLibraryViews(views);

    TParametriOperazione contour(1);
    EXPECT_EQ(millList.Captions, (std::vector<std::string>{"Flat 3(D 3)", "Ball 6(D 6)"}));
    EXPECT_EQ(millList.Selected, 0);
    EXPECT_EQ(page.Texts["txtUtName"], "Flat 3");
    EXPECT_EQ(page.Texts["lblToolsLibName"], m_Dir.File("tools/Tools_mm.tlb"));

    // An operation opened for editing keeps its own insert.
    TParametriOperazione lathe(11);
    lathe.ToolData->ToolName = "Own";
    lathe.SelectToolLibrary(11, false);
    EXPECT_EQ(lathe.ToolData->ToolName, "Own");
    EXPECT_EQ(latheList.Captions.size(), 2u);
    EXPECT_EQ(millList.Captions.size(), 0u); // the mill library went with its list
    lathe.SelectToolLibrary(11, true);
    EXPECT_EQ(lathe.ToolData->ToolName, "VNMG");
    // New lathe records start from the operation's insert, as long as the
    // operation has it.
    auto* library = dynamic_cast<TTornioLib*>(CurrentToolLibrary());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->OperationTool(), lathe.ToolData.get());
    lathe.CreateToolData(11);
    EXPECT_EQ(library->OperationTool(), nullptr);
    {
        TParametriOperazione gone(7);
        library = dynamic_cast<TTornioLib*>(CurrentToolLibrary());
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(library->OperationTool(), gone.ToolData.get());
    }
    EXPECT_EQ(library->OperationTool(), nullptr);
    SetCurrentToolLibrary(nullptr); // before its list goes
}
