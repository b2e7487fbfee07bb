// Program generation over an operation list: refusals leave no file (and an
// old one untouched), the end goes after the last written operation, and
// the busy cursor comes back every way out.

#include "nc/writer/ProgramGeneration.h"

#include "cam/ops/OpManager.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "core/settings/Language.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using kbtest::TTestOperation;

const char* const kPost = "[Start_of_file]\n1=(START)\n[Tool_change]\n1=(TOOL[tool])\n[End_of_file]\n1=M30\n2=[op_comment]\n"
                          "[Cycle_3]\nExploded=1\n";

class ProgramGeneration : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Writer = kbtest::LoadedWriter(kPost);
        Writer.SetFileName(Dir.File("part.nc"));
        SetOpenInNcEditorHook([this](const std::string& file) { Opened.push_back(file); });
    }
    void TearDown() override
    {
        SetOpenInNcEditorHook(nullptr);
        SetLanguageIni(nullptr);
    }

    // An operation of the kind; contours get a short line at depth.
    TTestOperation& Add(uint8_t kind, bool switchedOff = false, const std::string& comment = "")
    {
        auto op = std::make_unique<TTestOperation>(static_cast<int32_t>(Ops.size() + 1));
        op->Text = comment;
        op->AddCurve({{0, 0, -1}, {5, 0, -1}});
        List.push_back({kind, switchedOff, op.get()});
        Ops.push_back(std::move(op));
        return *Ops.back();
    }

    void Write(bool showInEditor = false) { WriteProgram(Writer, List, showInEditor); }
    bool Saved() const { return std::filesystem::exists(Dir.File("part.nc")); }
    std::string Text() const { return kbtest::ReadFileText(Dir.File("part.nc")); }
    // The names in the output folder, sorted.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The keys of the messages shown, by their texts.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> keys;
        for (const auto& m : Notifier.Messages())
            for (const char* key : {"445-1", "445-2", "445-3", "468"})
                if (m.Text == LangText(key) && m.Caption == LangText("450"))
                    keys.push_back(key);
        return keys;
    }

    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingWorkMonitor Monitor;
    TScriveGCode Writer;
    std::vector<std::unique_ptr<TTestOperation>> Ops;
    std::vector<TProgramEntry> List;
    std::vector<std::string> Opened;
};

TEST_F(ProgramGeneration, EmptyListDoesNothing)
{
    Write(true);
    WriteCurrentOperation(Writer, {}, true, true);
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(Monitor.BusySections, 0);
    EXPECT_FALSE(Saved());
}

TEST_F(ProgramGeneration, MachineFamilies)
{
    struct TCase {
        std::vector<uint8_t> Kinds;
        bool Mixes;
    };
    const TCase cases[] = {
        {{1, 11}, true},  {{2, 7}, true},  {{3, 8}, true},   {{9, 5}, true},     {{7, 9}, true},
        {{12, 7}, false}, {{13, 11}, false}, {{4, 7, 11}, false}, {{1, 2, 3, 5, 6}, false}, {{0, 10, 7}, false},
    };
    for (const TCase& c : cases) {
        std::vector<TProgramEntry> list;
        for (uint8_t kind : c.Kinds)
            list.push_back({kind, false, nullptr});
        EXPECT_EQ(CheckMachineFamily(list), !c.Mixes) << testing::PrintToString(c.Kinds);
        list.front().SwitchedOff = true;
        EXPECT_TRUE(CheckMachineFamily(list)) << "switched off: " << testing::PrintToString(c.Kinds);
    }
}

TEST_F(ProgramGeneration, RefusalsWriteNoFileAndLeaveAnOldOneAlone)
{
    struct TCase {
        const char* Name;
        std::vector<std::pair<uint8_t, bool>> Kinds; // kind, switched off
        bool EmptyFirst;
        const char* Message;
    };
    const TCase cases[] = {
        {"contour and lathe", {{1, false}, {11, false}}, false, "445-1"},
        {"switched-off engraving without the laser post", {{1, false}, {8, true}}, false, "445-2"},
        {"tapping the post explodes", {{1, false}, {3, false}}, false, "445-3"},
        {"first operation without toolpath", {{1, false}, {2, false}}, true, "468"},
        {"every operation switched off", {{1, true}, {2, true}}, false, "468"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        List.clear();
        Ops.clear();
        Notifier.Clear();
        kbtest::WriteFileText(Dir.File("part.nc"), "old program");
        for (auto [kind, off] : c.Kinds) {
            TTestOperation& op = Add(kind, off);
            if (kind == 3)
                op.Curves.back().Code = 83;
        }
        if (c.EmptyFirst)
            Ops.front()->Curves.front().Vertices.clear();
        Write(true);
        EXPECT_EQ(Shown(), std::vector<std::string>{c.Message});
        EXPECT_EQ(Text(), "old program");
        EXPECT_TRUE(Opened.empty());
        EXPECT_EQ(Monitor.BusyDepth, 0) << "cursor restored";
    }
}

// A program goes only through a post of its operations' machine: milling
// through the lathe dialect would come out in the lathe's plane, through
// the laser dialect with the spindle speed as power. Refused with the post
// and both machines named, and no file; a switched-off operation of another
// machine does not count, and the post editor's test programs are exempt.
TEST_F(ProgramGeneration, OperationsOfAnotherMachineThanThePostsAreRefused)
{
    struct TCase {
        const char* Name;
        const char* Pst;
        std::vector<std::pair<uint8_t, bool>> Kinds; // kind, switched off
        const char* PostFamily;                      // null: written
        const char* OperationFamily;
    };
    const char* const lathe = "[Default]\nMachineType=Lathe\n";
    const char* const laser = "[Default]\nDialect=LASER\n";
    const TCase cases[] = {
        {"contour through the lathe post", lathe, {{1, false}}, "lathe", "milling"},
        {"drilling and pocket through the laser post", laser, {{3, false}, {2, false}}, "laser", "milling"},
        {"lathe roughing through a mill post", "", {{11, false}}, "milling", "lathe"},
        {"laser cut through the lathe post", lathe, {{9, false}}, "lathe", "laser"},
        {"lathe finishing through the lathe post", lathe, {{7, false}, {11, false}}, nullptr, nullptr},
        {"laser cut through the laser post", laser, {{9, false}}, nullptr, nullptr},
        {"contour through the mill post, lathe switched off", "", {{1, false}, {11, true}}, nullptr, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        List.clear();
        Ops.clear();
        Notifier.Clear();
        std::filesystem::remove(Dir.File("part.nc"));
        Writer = kbtest::LoadedWriter(std::string(kPost) + c.Pst, "Shop post");
        Writer.SetFileName(Dir.File("part.nc"));
        for (auto [kind, off] : c.Kinds)
            Add(kind, off);
        Write(true);
        if (!c.PostFamily) {
            EXPECT_TRUE(Notifier.Messages().empty());
            EXPECT_TRUE(Saved());
            continue;
        }
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        const std::string& text = Notifier.Messages()[0].Text;
        EXPECT_EQ(text.rfind("The post-processor Shop post writes programs for a " + std::string(c.PostFamily) +
                                 " machine, but the operations are for a " + c.OperationFamily +
                                 " machine: no program was written.",
                             0),
                  0u)
            << text;
        EXPECT_FALSE(Saved());
        EXPECT_TRUE(Opened.empty());
        EXPECT_EQ(Monitor.BusyDepth, 0);

        // The one operation being edited, alone, the same.
        Notifier.Clear();
        WriteCurrentOperation(Writer, List.front(), false, false);
        EXPECT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_FALSE(Saved());
    }
}

TEST_F(ProgramGeneration, WritesTheSwitchedOnOperationsAndEndsAfterTheLastWritten)
{
    Add(1, false, "A");
    Add(11, true, "lathe");
    Add(2, false, "B");
    Add(2, true, "C");
    Write(true);
    EXPECT_TRUE(Shown().empty());
    const std::string text = Text();
    EXPECT_EQ(text.substr(0, 9), "(START)\r\n");
    EXPECT_NE(text.find("(TOOL T3)"), std::string::npos);
    EXPECT_EQ(text.find("(TOOL T2)"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 10), "M30\r\n(B)\r\n");
    EXPECT_EQ(Opened, std::vector<std::string>{Dir.File("part.nc")});
    EXPECT_EQ(Monitor.BusyDepth, 0);
    EXPECT_GT(Monitor.MessagesProcessed, 0);
    EXPECT_TRUE(Monitor.BusyWhileProcessing);
}

TEST_F(ProgramGeneration, StoppedEngravingWritesNoFile)
{
    Writer = kbtest::LoadedWriter("[Default]\nDialect=LASER\n[LaserEngRapidMove]\n1=[gcode][x][y]\n");
    Writer.SetFileName(Dir.File("part.nc"));
    int64_t now = 0;
    Writer.Progress->SetClock([&now] { return now += 2000; });
    Monitor.BreakRequested = true;
    for (int i = 0; i < 2; ++i)
        Add(8).Curves.back().Code = 78;
    Write();
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Notifier.Messages().size(), 1u) << "the break warning only";
    EXPECT_EQ(Monitor.BusyDepth, 0);
}

// Refused or stopped after part of the program was written: the part goes
// with its temporary file and the old program stays whole.
TEST_F(ProgramGeneration, AProgramBrokenOffLeavesTheOldFileAndNothingElse)
{
    kbtest::WriteFileText(Dir.File("part.nc"), "old program");
    Add(1);
    Add(3).Curves.back().Code = 83;
    Write();
    EXPECT_EQ(Shown(), std::vector<std::string>{"445-3"});
    EXPECT_EQ(Files(), std::vector<std::string>{"part.nc"});
    EXPECT_EQ(Text(), "old program");

    List.clear();
    Writer = kbtest::LoadedWriter("[Default]\nDialect=LASER\n[LaserEngRapidMove]\n1=[gcode][x][y]\n");
    Writer.SetFileName(Dir.File("part.nc"));
    int64_t now = 0;
    Writer.Progress->SetClock([&now] { return now += 2000; });
    Monitor.BreakRequested = true;
    for (int i = 0; i < 3; ++i)
        Add(8).Curves.back().Code = 78;
    Write();
    EXPECT_EQ(Files(), std::vector<std::string>{"part.nc"});
    EXPECT_EQ(Text(), "old program");
}

// The disk fills up while the program is written: the error is shown, the
// old program stays whole, nothing opens in the editor and no part of the
// new one is left.
TEST_F(ProgramGeneration, AFailedWriteIsReportedAndLeavesTheOldFile)
{
    TTestOperation& op = Add(1);
    for (int i = 0; i < 20000; ++i)
        op.Curves.back().AddVertex(TAVertice3d::CreateAt({i * 0.5, i % 7 * 1.0, -1}));
    for (const bool oldFile : {true, false}) {
        SCOPED_TRACE(oldFile);
        Notifier.Clear();
        std::filesystem::remove(Dir.File("part.nc"));
        if (oldFile)
            kbtest::WriteFileText(Dir.File("part.nc"), "old program");
        {
            const kbtest::TFileSizeLimit full(100000);
            Write(true);
        }
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
        EXPECT_EQ(Notifier.Messages()[0].Text, "cannot write \"" + Dir.File("part.nc") + "\": " + std::strerror(EFBIG));
        EXPECT_EQ(Files(), oldFile ? std::vector<std::string>{"part.nc"} : std::vector<std::string>{});
        if (oldFile) {
            EXPECT_EQ(Text(), "old program");
        }
        EXPECT_TRUE(Opened.empty());
        EXPECT_EQ(Monitor.BusyDepth, 0);
    }
    // With room again the same program is written whole.
    Write();
    EXPECT_EQ(Text().substr(0, 9), "(START)\r\n");
    EXPECT_EQ(Text().substr(Text().size() - 5), "M30\r\n");
}

TEST_F(ProgramGeneration, CurrentOperationAlone)
{
    TTestOperation& listed = Add(1, false, "listed");
    TTestOperation current;
    current.AddCurve({{1, 1, -1}, {2, 2, -1}});
    current.Text = "edited";
    // Switched off: the caller refuses that, this does not look.
    WriteCurrentOperation(Writer, {1, true, &current}, false, true);
    EXPECT_EQ(Text(), "(START)\r\nG0 Z5.000\r\nG0 X1.000 Y1.000\r\nG1 Z-1.000 F50.0\r\n"
                      "G1 X2.000 Y2.000 Z-1.000 F100.0\r\nG0 Z5.000\r\nM30\r\n(edited)\r\n");
    EXPECT_EQ(Opened.size(), 1u);

    std::filesystem::remove(Dir.File("part.nc"));
    current.Curves.front().Vertices.clear();
    WriteCurrentOperation(Writer, {1, false, &current}, false, false);
    WriteCurrentOperation(Writer, {8, false, &listed}, false, false);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"468", "445-2"}));
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Monitor.BusyDepth, 0);
}

} // namespace

namespace {

// The manager's operations go through the same rules: their parameters
// give the heights and the tool, a switched-off lathe operation no longer
// mixes the families, and the operation being edited is written alone.
TEST_F(ProgramGeneration, TheOperationManagersProgram)
{
    TScriveGCode& writer = GCodeWriter();
    writer.LoadFromIni(TIniFile(), "default", true);
    writer.SetFileName(Dir.File("part.nc"));
    TOpManager manager;
    const auto add = [&manager](int kind, double x) {
        auto op = std::make_unique<TOpManagerField>(kind);
        op->Parameters->ZRapid = 3;
        op->Parameters->ToolData->ToolNumber = kind;
        op->Parameters->ToolData->Feed = 100;
        op->Parameters->ToolData->PlungeFeed = 50;
        auto curve = std::make_unique<TCurvaNci3d>();
        curve->AddVertex(TAVertice3d::CreateAt({x, 0, -1}));
        curve->AddVertex(TAVertice3d::CreateAt({x + 5, 0, -1}));
        op->Toolpaths.push_back(std::move(curve));
        return manager.AddOperation(std::move(op));
    };
    add(1, 0);
    TOpManagerField* lathe = add(11, 20);
    EXPECT_FALSE(CheckMachineFamily(manager));
    WriteProgram(manager, false);
    EXPECT_EQ(Shown(), std::vector<std::string>{"445-1"});
    EXPECT_FALSE(Saved());

    lathe->SwitchedOff = 1;
    WriteProgram(manager, false);
    EXPECT_EQ(Text(), "G0 Z3.000\r\nG0 X0.000 Y0.000\r\nG1 Z-1.000 F50.0\r\nG1 X5.000 Y0.000 Z-1.000 F100.0\r\n"
                      "G0 Z3.000\r\n");

    SetCurrentOperation(lathe);
    WriteCurrentOperation(manager, false);
    EXPECT_EQ(Text(), "G1 X0.000 Z20.000 F100.0\r\nG1 X0.000 Z25.000\r\n");
    SetCurrentOperation(nullptr);
    writer.LoadFromIni(TIniFile(), "default", true);
}

} // namespace
