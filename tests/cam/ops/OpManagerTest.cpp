// Operations and the operation manager: the operations section of every
// document version from hand-built bytes, read through the document; the
// section written from operations built in code; depth passes; the list;
// lathe defaults; captions and the operations tree.

#include "cam/ops/OpManager.h"

#include "cam/tools/CurrentToolLibrary.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"

#include "tests/cam/OpsTestSupport.h"
#include "tests/cam/ParamsFixture.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <tuple>

using namespace kbtest;

namespace {

class Operations : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_Dir.Path() / "tools");
        WriteFileBytes(m_Dir.File("tools/Tools_mm.tlb"), Concat({MillLibraryBytes(4, "Flat 3", 3, 0)}));
        WriteFileBytes(m_Dir.File("tools/Lathe_mm.rlb"), Concat({LatheBytes(1, "VNMG", 0.4)}));
        WriteFileBytes(m_Dir.File("tools/Laser_mm.llb"), Concat({LaserBytes("Cut", 0.1)}));
        m_Config = std::make_unique<TAppConfig>(m_Dir.Path().string());
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        SetCurrentToolLibrary(nullptr);
        m_PreviousPost = SetPostInfo(&Post);
        m_PreviousShell = SetOperationsShell(&Shell);
        Shell.Tree.AddRoot("root");
    }
    void TearDown() override
    {
        OpManager().DeleteAll();
        OpManager().LastIndex = -1;
        SetCurrentOperation(nullptr);
        SetOperationsShell(m_PreviousShell);
        SetPostInfo(m_PreviousPost);
        SetCurrentToolLibrary(nullptr);
        SetLanguageIni(nullptr);
        m_Config.reset();
    }

    // Loads the document bytes with the operations hooks installed.
    TDocumentLoadResult LoadDocument(const TBytes& bytes)
    {
        TQV_01Cmp2D doc;
        TMemoryStream in(bytes.Data());
        return doc.LoadFromStream(in, false);
    }

    TFakePostInfo Post;
    TFakeOperationsShell Shell;
    TOperationsHooks Hooks;
    TRecordingNotifier Notifier;

private:
    TTempDir m_Dir;
    std::unique_ptr<TAppConfig> m_Config;
    TPostInfo* m_PreviousPost = nullptr;
    TOperationsShell* m_PreviousShell = nullptr;
};

TBytes ToolFor(int kind)
{
    if (IsLatheKind(kind))
        return LatheBytes(3, "R08", 0.8);
    if (IsLaserKind(kind))
        return LaserBytes("Beam", 0.2);
    return MillDocumentBytes("T1");
}

// The operations of a section of the version: a contour with tabs, three
// chains (the third empty, dropped) and a comment; a pocket; drilling; 3D;
// from "QV-004" letters with a label; laser and lathe operations, each with
// one stored toolpath. Documents up to "QV-003" store the lathe and laser
// kinds after a mill tool record (the kind is not known when it is read).
std::vector<TOpBytesSpec> Section(const std::string& version)
{
    const bool oldToolpaths = version <= "QV-002";
    std::vector<int> kinds{1, 2, 3, 5, 9, 7};
    if (version >= "QV-004")
        kinds.push_back(12);
    std::vector<TOpBytesSpec> ops;
    for (size_t i = 0; i < kinds.size(); ++i) {
        TOpBytesSpec s;
        s.Version = version;
        s.Kind = kinds[i];
        s.Tool = version > "QV-003" ? ToolFor(kinds[i]) : MillDocumentBytes("T1");
        s.Flags = i == 1 ? 0x0181 : 0x0101; // the pocket is switched off
        s.Tabs = i == 0 ? 2 : 0;
        s.Comment = "op " + std::to_string(i);
        const auto id = static_cast<int32_t>(10 * (i + 1));
        s.Chains.push_back(ChainBytes(version, id, 0, {{0, 0}, {1, 0}}));
        if (i == 0) {
            s.Chains.push_back(ChainBytes(version, id + 1, 1, {{0, 0}, {0, 5}, {5, 5}, {0, 0}}, true));
            s.Chains.push_back(ChainBytes(version, id + 2, 0, {}));
        }
        const int32_t code = kinds[i] == 3 ? 82 : 0;
        s.Toolpaths.push_back(oldToolpaths ? OldToolpathBytes(version, id) : ToolpathBytes(version, double(i), id, code));
        ops.push_back(s);
    }
    return ops;
}

std::vector<TBytes> Records(const std::vector<TOpBytesSpec>& specs)
{
    std::vector<TBytes> records;
    for (const TOpBytesSpec& s : specs)
        records.push_back(OpBytes(s));
    return records;
}

TEST_F(Operations, SectionsOfEveryVersionLoadThroughTheDocument)
{
    for (const std::string version : {"CAD422", "QV-001", "QV-002", "QV-003", "QV-004", "QV-3.2", "QV-3.6"}) {
        SCOPED_TRACE(version);
        OpManager().DeleteAll();
        Shell.Tree = TFakeOperationsTree();
        Shell.Tree.AddRoot("root");
        Shell.PageSwitches = 0;
        const std::vector<TOpBytesSpec> specs = Section(version);
        ASSERT_FALSE(LoadDocument(DocumentWithOperations(version, Records(specs))).Partial);
        ASSERT_EQ(OpManager().Count(), static_cast<int32_t>(specs.size()));
        EXPECT_EQ(Shell.PageSwitches, OpManager().Count());
        const bool fromQV001 = version >= "QV-001";
        const bool oldToolpaths = version <= "QV-002";
        for (int32_t i = 0; i < OpManager().Count(); ++i) {
            SCOPED_TRACE(i);
            const TOpManagerField& op = OpManager().Operation(i);
            const TOpBytesSpec& s = specs[static_cast<size_t>(i)];
            EXPECT_EQ(op.Kind, s.Kind);
            EXPECT_EQ(op.Parameters->OpKind, s.Kind);
            EXPECT_EQ(op.IsNew, 1);
            EXPECT_EQ(op.SwitchedOff, i == 1 ? 1 : 0);
            EXPECT_EQ(op.Comment, version >= "QV-002" ? s.Comment : "");
            EXPECT_EQ(op.Parameters->Tabs.Count(), fromQV001 && i == 0 ? 2 : 0);
            EXPECT_EQ(op.Parameters->ZDepth, -10.0);
            EXPECT_EQ(op.Chains.HasInfoLabel,
                      s.Kind == 1 || s.Kind == 2 || s.Kind == 3 || (version > "QV-003" && (s.Kind == 7 || s.Kind == 9)));
            // The tool record is of the kind's machine; an old lathe or laser
            // operation keeps the stored mill tool's name and feed.
            const TDatiUtBase& tool = *op.Parameters->ToolData;
            EXPECT_EQ(tool.Kind(), IsLatheKind(s.Kind)   ? EToolKind::Lathe
                                   : IsLaserKind(s.Kind) ? EToolKind::Laser
                                                         : EToolKind::Mill);
            if (version <= "QV-003") {
                EXPECT_EQ(tool.ToolName, "T1");
                EXPECT_EQ(tool.Feed, 800.0);
            }
            // Chains: the empty one dropped; ids and vertices as stored.
            ASSERT_EQ(op.Chains.Count(), i == 0 ? 2 : 1);
            EXPECT_EQ(op.Chains[0].ID, fromQV001 ? 10 * (i + 1) : 0);
            EXPECT_EQ(op.Chains[0].Count(), 2);
            if (i == 0) {
                EXPECT_EQ(op.Chains[1].Count(), 4);
                EXPECT_EQ(op.Chains[1].Closed, 1);
                EXPECT_DOUBLE_EQ(op.Chains[1].Vertices[2].EndPoint.X, 5);
            }
            // The last chain kept decides the direction.
            EXPECT_EQ(op.Chains.DirectionReversed, fromQV001 && i == 0 ? 1 : 0);
            EXPECT_EQ(op.ToolpathsDiscarded, oldToolpaths ? 1 : 0);
            if (oldToolpaths) {
                EXPECT_TRUE(op.Toolpaths.empty());
            } else {
                ASSERT_EQ(op.Toolpaths.size(), 1u);
                const TCurvaNci3d& t = *op.Toolpaths[0];
                EXPECT_EQ(t.Code, s.Kind == 3 ? 82 : 0);
                EXPECT_EQ(t.ID, 10 * (i + 1));
                ASSERT_EQ(t.VertexCount(), 3);
                EXPECT_EQ(t.Vertices[2].Kind, 1);
                EXPECT_DOUBLE_EQ(t.Vertices[2].Centre.X, i + 10.0);
                EXPECT_DOUBLE_EQ(t.Vertices[2].EndPoint.Z, -1);
            }
            if (s.Kind == 12) {
                ASSERT_TRUE(op.Parameters->Labels);
                EXPECT_EQ(op.Parameters->Labels->Labels().size(), 2u);
            }
            // The tree: a node per operation, discarded toolpaths marked.
            ASSERT_NE(op.TreeNode, NoOpTreeNode);
            const auto& node = Shell.Tree.Nodes.at(op.TreeNode);
            EXPECT_EQ(node.Data, &op);
            EXPECT_EQ(node.Image, i == 1 ? 5 : 1);
            EXPECT_EQ(node.Expanded, i != 1);
            EXPECT_EQ(Shell.Tree.Nodes.at(node.Children[0]).Image, oldToolpaths ? 7 : 3);
            EXPECT_EQ(Shell.Tree.Nodes.at(node.Children[1]).Text, oldToolpaths ? "Toolpath (0)" : "Toolpath (3)");
        }
        // The mark stays until the node is next updated.
        TOpManagerField& first = OpManager().Operation(0);
        UpdateOperationNode(Shell.Tree, first);
        EXPECT_EQ(first.ToolpathsDiscarded, 0);
        EXPECT_EQ(Shell.Tree.Nodes.at(Shell.Tree.Child(first.TreeNode, 0)).Image, 3);

        // Saved as the current version, the section reads back to the same
        // bytes (old lathe and laser tools now in their own form).
        TMemoryStream saved;
        OpManager().SaveToStream(saved);
        OpManager().DeleteAll();
        saved.SetPosition(0);
        OpManager().LoadFromStream(saved, "QV-3.6");
        EXPECT_EQ(saved.Position(), saved.Size());
        TMemoryStream again;
        OpManager().SaveToStream(again);
        EXPECT_EQ(again.Data(), saved.Data());
    }
}

TEST_F(Operations, OperationsBuiltInCodeSaveTheCurrentBytes)
{
    TOpBytesSpec spec;
    spec.Comment = "outline";
    spec.Chains.push_back(ChainBytes("QV-3.6", 5, 1, {{0, 0}, {1, 0}}));
    spec.Chains.push_back(ChainBytes("QV-3.6", 6, 1, {{2, 0}, {3, 0}}));
    spec.Toolpaths.push_back(ToolpathBytes("QV-3.6", 0, 5, 0));
    TOpBytesSpec off;
    off.Kind = 3;
    off.Flags = 0x0181;
    off.Tabs = 2;
    off.Toolpaths.push_back(ToolpathBytes("QV-3.6", 4, 7, 81));

    for (const TOpBytesSpec* s : {&spec, &off}) {
        auto op = std::make_unique<TOpManagerField>(s->Kind);
        FillAsFixture(*op->Parameters, s->Kind);
        op->Comment = s->Comment;
        op->SwitchedOff = s->Flags & 0x80 ? 1 : 0;
        if (s == &spec) {
            for (auto [id, x] : {std::pair{5, 0.0}, {6, 2.0}}) {
                auto chain = std::make_unique<TCatena>();
                chain->ID = id;
                chain->AddVertex(TAVertice::CreateAt({x, 0}, 0));
                chain->AddVertex(TAVertice::CreateAt({x + 1, 0}, 0));
                op->Chains.AddChain(std::move(chain));
            }
            op->Chains.DirectionReversed = 1;
        }
        auto curve = std::make_unique<TCurvaNci3d>();
        const double x = s == &spec ? 0 : 4;
        curve->ID = s == &spec ? 5 : 7;
        curve->Tag = 0x0101;
        curve->Code = s == &spec ? 0 : 81;
        curve->AddVertex(TAVertice3d::CreateAt({x, 0, -1}));
        curve->AddVertex(TAVertice3d::CreateAt({x + 10, 0, -1}));
        curve->AddVertex(TAVertice3d::CreateFull(1, {x + 10, 10, -1}, {x + 10, 5, -1}, 2));
        op->Toolpaths.push_back(std::move(curve));
        OpManager().AddOperation(std::move(op));
    }
    TMemoryStream out;
    OpManager().SaveToStream(out);
    TBytes expected;
    expected.I32(1);
    Append(expected, OpBytes(spec));
    Append(expected, OpBytes(off));
    EXPECT_EQ(out.Data(), expected.Data());

    // An empty list is the count -1 alone.
    OpManager().DeleteAll();
    TMemoryStream empty;
    OpManager().SaveToStream(empty);
    EXPECT_EQ(empty.Data(), TBytes().I32(-1).Data());
}

TEST_F(Operations, DamagedSectionsKeepTheOperationsReadBefore)
{
    const std::vector<TBytes> good = Records(Section("QV-3.6"));
    struct TCase {
        const char* Name;
        TBytes Third;
    };
    TBytes cut = good[2];
    std::vector<uint8_t> half(cut.Data().begin(), cut.Data().begin() + static_cast<long>(cut.Size() / 2));
    TBytes placeholder = good[2];
    std::vector<uint8_t> kind10 = placeholder.Data();
    kind10[0] = 10;
    std::vector<uint8_t> kind14 = placeholder.Data();
    kind14[0] = 14;
    TOpBytesSpec hugeChains;
    hugeChains.Chains.push_back(ChainBytes("QV-3.6", 1, 0, {{0, 0}, {1, 0}}));
    std::vector<uint8_t> huge = OpBytes(hugeChains).Data();
    TOpBytesSpec hugeCurves;
    std::vector<uint8_t> manyCurves = OpBytes(hugeCurves).Data();

    auto raw = [](const std::vector<uint8_t>& bytes) {
        TBytes b;
        b.Str(std::string(bytes.begin(), bytes.end()));
        return b;
    };
    // A chain count of 1e9 where 1 chain is stored; a toolpath count of 1e9.
    const size_t chainCountAt = huge.size() - (4 + ChainBytes("QV-3.6", 1, 0, {{0, 0}, {1, 0}}).Size() + 4 + 4);
    huge[chainCountAt + 3] = 0x3B;
    const size_t curveCountAt = manyCurves.size() - (4 + 4);
    manyCurves[curveCountAt] = 0x00;
    manyCurves[curveCountAt + 1] = 0xCA;
    manyCurves[curveCountAt + 2] = 0x9A;
    manyCurves[curveCountAt + 3] = 0x3B;
    const std::vector<TCase> cases{{"cut short", raw(half)},
                                   {"the placeholder kind", raw(kind10)},
                                   {"a kind without a row", raw(kind14)},
                                   {"chains beyond the stream", raw(huge)},
                                   {"toolpaths beyond the stream", raw(manyCurves)}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        OpManager().DeleteAll();
        try {
            (void)LoadDocument(DocumentWithOperations("QV-3.6", {good[0], good[1], c.Third}));
            ADD_FAILURE() << "no error";
        } catch (const ECADFilePartlyRead& e) {
            EXPECT_EQ(e.Cause(), "LoadFromStream: Invalid stream.");
            EXPECT_NE(std::string(e.what()).find(PartlyReadMessage), std::string::npos);
        }
        EXPECT_EQ(OpManager().Count(), 2);
    }
}

// What a load of document bytes gave: the cause of a partial read (empty
// for a complete one), what the document and the list hold, and how many
// bytes stayed unread.
struct TLoadOutcome {
    std::string Cause;
    int32_t Objects = 0;
    int32_t Operations = 0;
    int64_t Unread = 0;
    bool Messages = false;
};

class DamagedDocuments : public Operations {
protected:
    void SetUp() override
    {
        Operations::SetUp();
        RegisterEntityClasses();
    }

    // A document as the program writes it: two lines and the operations.
    std::vector<uint8_t> SavedDocument()
    {
        TQV_01Cmp2D doc;
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(5, 0)));
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(5, 0), Point2D(5, 5)));
        TMemoryStream out;
        doc.SaveToStream(out);
        return out.Data();
    }

    TLoadOutcome LoadBytes(const std::vector<uint8_t>& bytes)
    {
        OpManager().DeleteAll();
        Notifier.Clear();
        TQV_01Cmp2D doc;
        TMemoryStream in(bytes);
        TLoadOutcome outcome;
        try {
            if (doc.LoadFromStream(in, false).Partial)
                outcome.Cause = "stopped at an unknown class";
        } catch (const ECADFilePartlyRead& e) {
            outcome.Cause = e.Cause();
        } catch (const ECADFileNotValid& e) {
            outcome.Cause = std::string("refused: ") + e.what();
        }
        outcome.Objects = doc.ObjectsCount();
        outcome.Operations = OpManager().Count();
        outcome.Unread = in.Remaining();
        outcome.Messages = !Notifier.Messages().empty();
        return outcome;
    }
};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> With(std::vector<uint8_t> bytes, size_t at, const std::vector<uint8_t>& values)
{
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
}

TEST_F(DamagedDocuments, NoneLoadsAsCompleteWhileSomethingWasLeftOut)
{
    const std::vector<uint8_t> withoutOperations = SavedDocument();
    const std::vector<TBytes> records = Records(Section("QV-3.6"));
    ASSERT_FALSE(LoadDocument(DocumentWithOperations("QV-3.6", records)).Partial);
    const std::vector<uint8_t> saved = SavedDocument();

    // The layout the test relies on: empty layers, no source blocks, two
    // objects, byte 4, the count of seven operations and their records.
    const size_t countAt = 6 + 4 + 1 + 4 + 1;
    const size_t sectionAt = withoutOperations.size() - 5;
    ASSERT_EQ(Cut(saved, countAt + 4), TBytes().Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(2).Data());
    ASSERT_EQ(Cut(saved, sectionAt + 5), Cut(With(withoutOperations, sectionAt + 1, {6, 0, 0, 0}), sectionAt + 5));
    // The records as saved (the empty chain of the first one is gone).
    std::vector<size_t> recordSizes;
    for (int32_t i = 0; i < OpManager().Count(); ++i) {
        TMemoryStream record;
        OpManager().Operation(i).SaveToStream(record);
        recordSizes.push_back(static_cast<size_t>(record.Size()));
    }
    ASSERT_EQ(recordSizes.size(), records.size());
    ASSERT_EQ(saved.size(), sectionAt + 5 + std::accumulate(recordSizes.begin(), recordSizes.end(), size_t{0}));
    const size_t thirdRecordAt = sectionAt + 5 + recordSizes[0] + recordSizes[1];

    std::vector<uint8_t> trailing = saved;
    trailing.insert(trailing.end(), {1, 2, 3});
    std::vector<uint8_t> older = Cut(saved, sectionAt);
    older[5] = '2';
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
        std::string Cause; // "*": any cause
        int32_t Objects;
        int32_t Operations;
    };
    const std::string anyCause = "*";
    const std::vector<TCase> cases = {
        {"as saved", saved, "", 2, 7},
        {"cut right after the objects", Cut(saved, sectionAt), std::string(NoOperationsFoundText), 2, 0},
        {"operations byte 5", With(saved, sectionAt, {5}), UnknownSectionText(5), 2, 0},
        {"object count -1", With(saved, countAt, {0xFF, 0xFF, 0xFF, 0xFF}), InvalidObjectCountText(-1), 0, 0},
        {"object count's high byte flipped", With(saved, countAt + 3, {0x80}),
         InvalidObjectCountText(int32_t(0x80000002)), 0, 0},
        {"object count's high byte set", With(saved, countAt + 3, {0x01}), anyCause, 2, 0},
        {"one operation fewer counted", With(saved, sectionAt + 1, {5}),
         UnreadBytesText(static_cast<int64_t>(recordSizes[6])), 2, 6},
        {"bytes after the operations", trailing, UnreadBytesText(3), 2, 7},
        {"cut inside the third operation", Cut(saved, thirdRecordAt + 10), "LoadFromStream: Invalid stream.", 2, 2},
        {"older file that ends after its objects", older, "", 2, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLoadOutcome outcome = LoadBytes(c.File);
        if (c.Cause == anyCause) {
            EXPECT_FALSE(outcome.Cause.empty());
        } else {
            EXPECT_EQ(outcome.Cause, c.Cause);
        }
        EXPECT_EQ(outcome.Objects, c.Objects);
        EXPECT_EQ(outcome.Operations, c.Operations);
        if (c.Cause.empty()) {
            EXPECT_EQ(outcome.Unread, 0);
        }
    }
}

TEST_F(DamagedDocuments, TheShippedSampleIsReadWhole)
{
    const TLoadOutcome outcome = LoadBytes(ReadFileBytes(std::string(KB_DATA_SOURCE_DIR) + "/samples/sample.kvx"));
    EXPECT_EQ(outcome.Cause, "");
    EXPECT_EQ(outcome.Unread, 0);
    EXPECT_GT(outcome.Objects, 0);
}

TEST_F(DamagedDocuments, EverySingleByteMutationIsReadWholeOrReported)
{
    const std::vector<TBytes> records = Records(Section("QV-3.6"));
    ASSERT_FALSE(LoadDocument(DocumentWithOperations("QV-3.6", {records[0], records[2]})).Partial);
    const std::vector<uint8_t> saved = SavedDocument();
    ASSERT_GT(saved.size(), 300u);
    int complete = 0;
    int reported = 0;
    for (size_t at = 0; at < saved.size(); at += 3) {
        for (const uint8_t value : {uint8_t(saved[at] ^ 0x01), uint8_t(saved[at] ^ 0x80), uint8_t(0xFF), uint8_t(0)}) {
            if (value == saved[at])
                continue;
            std::vector<uint8_t> mutated = saved;
            mutated[at] = value;
            const TLoadOutcome outcome = LoadBytes(mutated);
            if (outcome.Cause.empty() && !outcome.Messages) {
                ++complete;
                EXPECT_EQ(outcome.Unread, 0) << "byte " << at << " = " << int(value);
            } else {
                ++reported;
            }
        }
    }
    // Both outcomes occur: changed values that still parse, and damage.
    EXPECT_GT(complete, 0);
    EXPECT_GT(reported, 0);
}

TEST_F(Operations, DepthPasses)
{
    TOpManagerField op(1);
    struct TCase {
        const char* Step;
        int32_t Count;
        double Depth;
        int32_t Remainder;
        double RemainderDepth;
        const char* Text1;
        const char* Text2;
    };
    const TCase cases[] = {
        {"3", 3, 3, 1, 1, "3 passes of 3", "remainder 1"},
        {"2.5", 4, 2.5, 0, 0, "", "4 passes of 2.5"},
        {"0", 1, 10, 0, 0, "", "1 pass of 10"},
        {"12", 1, 10, 0, 0, "", "1 pass of 10"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Step);
        op.ComputeDepthPasses("5", "0", "-10", c.Step);
        const TParametriOperazione& p = *op.Parameters;
        EXPECT_EQ(p.PassCount, c.Count);
        EXPECT_DOUBLE_EQ(p.PassDepth, c.Depth);
        EXPECT_EQ(p.HasRemainder, c.Remainder);
        if (c.Remainder) {
            EXPECT_NEAR(p.RemainderDepth, c.RemainderDepth, 1e-12);
        }
        EXPECT_EQ(op.DepthPassText1, c.Text1);
        EXPECT_EQ(op.DepthPassText2, c.Text2);
        EXPECT_DOUBLE_EQ(op.PassDepth(1), c.Depth);
        EXPECT_DOUBLE_EQ(op.PassDepth(c.Count + 1), c.Remainder ? c.RemainderDepth : c.Depth);
    }
    // Texts still being typed change nothing.
    for (const char* step : {"", ".", "-"}) {
        op.ComputeDepthPasses("5", "0", "-10", step);
        EXPECT_EQ(op.DepthPassText2, "1 pass of 10");
    }
    // A post without Z: one pass and text 724.
    Post.Omit = true;
    op.ComputeDepthPasses("5", "0", "-10", "3");
    EXPECT_EQ(op.Parameters->PassCount, 1);
    EXPECT_EQ(op.Parameters->HasRemainder, 0);
    EXPECT_EQ(op.DepthPassText1, "");
    EXPECT_EQ(op.DepthPassText2, LangText("724"));
    Post.Omit = false;
    Post.LPJ = true;
    op.ComputeDepthPasses("5", "0", "-10", "2.5");
    EXPECT_EQ(op.Parameters->PassCount, 1);
    Post.LPJ = false;

    // Inch: a step above the system tolerance that rounds to 0 at four
    // decimals is one pass of the whole depth.
    AppConfig().SetUnit(false);
    ASSERT_LT(AppConfig().SystemTol, 0.00004);
    op.ComputeDepthPasses("0.2", "0", "-0.5", "0.00004");
    EXPECT_EQ(op.Parameters->PassCount, 1);
    EXPECT_DOUBLE_EQ(op.Parameters->PassDepth, 0.5);
    EXPECT_EQ(op.DepthPassText2, "1 pass of 0.5");
    op.ComputeDepthPasses("0.2", "0", "-0.5", "0.125");
    EXPECT_EQ(op.Parameters->PassCount, 4);
    EXPECT_EQ(op.DepthPassText2, "4 passes of 0.125");
}

TEST_F(Operations, ListNeighboursLastOperationAndLastIndex)
{
    TOpManager& m = OpManager();
    EXPECT_EQ(m.LastOperation(), nullptr);
    TOpManagerField* a = m.AddOperation(std::make_unique<TOpManagerField>(1));
    EXPECT_EQ(m.LastOperation(), a);
    a->IsNew = 0;
    EXPECT_EQ(m.LastOperation(), nullptr);
    TOpManagerField* b = m.AddOperation(std::make_unique<TOpManagerField>(2));
    EXPECT_EQ(m.LastOperation(), b);
    b->IsNew = 0;
    EXPECT_EQ(m.LastOperation(), a);
    EXPECT_EQ(m.OperationAfter(a), b);
    EXPECT_EQ(m.OperationBefore(b), a);
    EXPECT_EQ(m.OperationAfter(b), nullptr);
    EXPECT_EQ(m.OperationBefore(a), nullptr);
    TOpManagerField outside(1);
    EXPECT_EQ(m.OperationAfter(&outside), nullptr);
    EXPECT_EQ(m.LastIndex, 1);
    m.DeleteOperation(1);
    m.DeleteOperation(0);
    m.DeleteOperation(0);
    EXPECT_EQ(m.Count(), 0);
    EXPECT_EQ(m.LastIndex, 1);

    // The toolpath's first and last vertices and its vertex count.
    TOpManagerField op(1);
    EXPECT_EQ(op.FirstToolpathVertex(), nullptr);
    EXPECT_EQ(op.LastToolpathVertex(), nullptr);
    op.Toolpaths.push_back(std::make_unique<TCurvaNci3d>());
    op.Toolpaths.push_back(std::make_unique<TCurvaNci3d>());
    op.Toolpaths[1]->AddVertex(TAVertice3d::CreateAt({1, 2, 3}));
    op.Toolpaths[1]->AddVertex(TAVertice3d::CreateAt({4, 5, 6}));
    EXPECT_EQ(op.FirstToolpathVertex()->EndPoint.X, 1);
    EXPECT_EQ(op.LastToolpathVertex()->EndPoint.X, 4);
    EXPECT_EQ(op.ToolpathVertexCount(), 2);
    op.ClearToolpaths();
    EXPECT_TRUE(op.Toolpaths.empty());
}

TEST_F(Operations, DisplayGroupIsAnOverlayUnderTheObjectRoot)
{
    TRecordingScene scene;
    TViewServices services;
    services.Scene = &scene;
    TViewServicesScope scope(services);
    auto op = std::make_unique<TOpManagerField>(1);
    const TSceneNodeId group = op->DisplayGroup;
    const TRecordingScene::TNode* node = scene.Node(group);
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->Overlay);
    EXPECT_EQ(node->Parent, scene.Group(TSceneGroup::Objects));
    const TSceneNodeId lines = scene.AddLines(group, TSceneLines{});
    SetCurrentOperation(op.get());
    op.reset();
    EXPECT_EQ(scene.Node(group), nullptr);
    EXPECT_EQ(scene.Node(lines), nullptr);
    EXPECT_EQ(CurrentOperation(), nullptr);
}

TEST_F(Operations, LathePointsComeFromTheLastOperationOrTheDefaults)
{
    struct TCase {
        bool Millimetres;
        TLathePoint Entry;
        TLathePoint Exit;
    };
    for (const TCase& c : {TCase{true, {-2, 0}, {1.4142135623730951, 1.4142135623730951}},
                           TCase{false, {-0.1, 0}, {0.07071067811865475, 0.07071067811865475}}}) {
        AppConfig().SetUnit(c.Millimetres);
        TOpManagerField op(7);
        EXPECT_EQ(op.Parameters->LatheHome.X, 50);
        EXPECT_EQ(op.Parameters->LatheHome.Z, 25);
        EXPECT_EQ(op.Parameters->LatheEntry.X, c.Entry.X);
        EXPECT_EQ(op.Parameters->LatheEntry.Z, c.Entry.Z);
        EXPECT_EQ(op.Parameters->LatheExit.X, c.Exit.X);
        EXPECT_EQ(op.Parameters->LatheExit.Z, c.Exit.Z);
        EXPECT_EQ(op.Parameters->PassCount, 1);
    }
    AppConfig().SetUnit(true);
    // Copied from the last operation, whatever its kind.
    TOpManagerField* last = OpManager().AddOperation(std::make_unique<TOpManagerField>(1));
    last->Parameters->LatheHome = {7, 8};
    last->Parameters->LatheEntry = {-3, 1};
    last->Parameters->LatheExit = {2, 2};
    TOpManagerField op(11);
    EXPECT_EQ(op.Parameters->LatheHome.X, 7);
    EXPECT_EQ(op.Parameters->LatheEntry.X, -3);
    EXPECT_EQ(op.Parameters->LatheExit.Z, 2);
}

TEST_F(Operations, CaptionsAndTreeNodes)
{
    TOpManagerField mill(1);
    TOpManagerField lathe(7);
    TOpManagerField laser(9);
    // Mill and laser tools come from the page; the lathe takes the library's first insert.
    for (auto [op, number, name, size] : {std::tuple{&mill, 4, "Flat 3", 3.0}, {&laser, 0, "Cut", 0.1}}) {
        op->Parameters->ToolData->ToolNumber = number;
        op->Parameters->ToolData->ToolName = name;
        op->Parameters->ToolData->Diameter = size;
    }
    EXPECT_EQ(OperationKindCaption(mill), "Contour T4 D3 (Flat 3)");
    EXPECT_EQ(OperationKindCaption(lathe), "Lathe finishing Insert R0.4 (VNMG)");
    EXPECT_EQ(OperationKindCaption(laser), "Laser cut D0.1 (Cut)");
    mill.Comment = "outer wall";
    EXPECT_EQ(OperationCaption(mill), "Contour T4 D3 (Flat 3) outer wall");
    EXPECT_EQ(OperationCaption(laser), OperationKindCaption(laser));

    TFakeOperationsTree tree;
    AddOperationNode(tree, mill); // no root: nothing
    EXPECT_TRUE(tree.Nodes.empty());
    OpManager().InitTree(tree);
    OpManager().InitTree(tree);
    ASSERT_EQ(tree.Roots.size(), 1u);
    EXPECT_EQ(tree.Nodes.at(tree.Root()).Text, "Operations - grbl");
    EXPECT_TRUE(tree.Nodes.at(tree.Root()).Expanded);

    mill.Toolpaths.push_back(std::make_unique<TCurvaNci3d>());
    mill.Toolpaths[0]->AddVertex(TAVertice3d::CreateAt({0, 0, 0}));
    AddOperationNode(tree, mill);
    laser.SwitchedOff = 1;
    laser.ToolpathsDiscarded = 1;
    AddOperationNode(tree, laser);
    const auto& m = tree.Nodes.at(mill.TreeNode);
    EXPECT_EQ(m.Text, "Contour T4 D3 (Flat 3) outer wall");
    EXPECT_EQ(m.Image, 1);
    EXPECT_TRUE(m.Expanded);
    ASSERT_EQ(m.Children.size(), 2u);
    EXPECT_EQ(tree.Nodes.at(m.Children[0]).Text, "Parameters");
    EXPECT_EQ(tree.Nodes.at(m.Children[0]).Image, 3);
    EXPECT_EQ(tree.Nodes.at(m.Children[1]).Text, "Toolpath (1)");
    EXPECT_EQ(tree.Nodes.at(m.Children[1]).Image, 4);
    const auto& l = tree.Nodes.at(laser.TreeNode);
    EXPECT_EQ(l.Image, 5);
    EXPECT_FALSE(l.Expanded);
    EXPECT_EQ(tree.Nodes.at(l.Children[0]).Image, 7);

    mill.Comment.clear();
    mill.Toolpaths[0]->AddVertex(TAVertice3d::CreateAt({1, 0, 0}));
    UpdateOperationNode(tree, mill);
    EXPECT_EQ(tree.Nodes.at(mill.TreeNode).Text, "Contour T4 D3 (Flat 3)");
    EXPECT_EQ(tree.Nodes.at(m.Children[1]).Text, "Toolpath (2)");
    TOpManagerField loose(2); // never added to the tree
    UpdateOperationNode(tree, loose);
    EXPECT_EQ(tree.Nodes.size(), 7u);
}

} // namespace
