#include "app/FileCommands.h"

#include "app/MachiningHooks.h"
#include "cad/program/QV_00Prog.h"
#include "cam/ops/OpManager.h"
#include "core/settings/AppConfig.h"
#include "core/file/DocumentFile.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "core/model/Layers.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

using kbtest::TBytes;

struct FileCommands : ::testing::Test {
    FileCommands() : Config(""), Commands(Doc, Prg, View, Config)
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        // A document of three lines, written by the document itself.
        TQV_01Cmp2D source;
        for (int i = 0; i < 3; ++i)
            source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, i), Point2D(10, i)));
        DocumentFile = Dir.File("three.kvx");
        source.SaveToFile(DocumentFile);
    }
    ~FileCommands() override { SetLanguageIni(nullptr); }

    void AddLine() { Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1))); }
    size_t Warnings() const
    {
        size_t n = 0;
        for (const auto& m : Notifier.Messages())
            n += (!m.Question && m.Kind == EMessageKind::Warning) ? 1 : 0;
        return n;
    }

    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingWorkMonitor Monitor;
    kbtest::TRecordingDocumentView View;
    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQV_00Prog Prg;
    TFileCommands Commands;
    std::string DocumentFile;
};

TEST_F(FileCommands, ADrawingIsReplacedOnlyAfterYes)
{
    struct TCase {
        EUserAnswer Answer;
        int32_t Objects;
        TOpenedFileKind Kind;
    };
    for (const TCase& c : {TCase{EUserAnswer::Yes, 3, TOpenedFileKind::Document},
                           TCase{EUserAnswer::No, 1, TOpenedFileKind::None},
                           TCase{EUserAnswer::Dismissed, 1, TOpenedFileKind::None}}) {
        TQV_01Cmp2D doc;
        TFileCommands commands(doc, Prg, View, Config);
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
        Notifier.Clear();
        Notifier.QueueAnswer(c.Answer);
        std::string opened;
        commands.OnFileOpened = [&](const std::string& name) { opened = name; };
        commands.OpenGeo(DocumentFile, false);
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_TRUE(Notifier.Messages()[0].Question);
        EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::ClearDrawing));
        EXPECT_EQ(doc.ObjectsCount(), c.Objects);
        EXPECT_EQ(commands.OpenedFile().Kind, c.Kind);
        EXPECT_EQ(opened.empty(), c.Kind != TOpenedFileKind::Document);
    }
}

TEST_F(FileCommands, OpeningADocumentRecordsItAndFitsTheView)
{
    Commands.OpenGeo(DocumentFile, false);
    EXPECT_TRUE(Notifier.Messages().empty()); // an empty drawing is not asked about
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Document);
    EXPECT_EQ(Commands.OpenedFile().FileName, DocumentFile);
    EXPECT_EQ(View.Zooms.size(), 1u);
    EXPECT_EQ(Monitor.BusyDepth, 0);
    ASSERT_FALSE(Monitor.StatusMessages.empty());
    EXPECT_EQ(Monitor.StatusMessages.back(), "");
}

TEST_F(FileCommands, MergingNeverAsksAndForgetsTheName)
{
    AddLine();
    Commands.OpenGeo(DocumentFile, true);
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(Doc.ObjectsCount(), 4);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Document);
    EXPECT_TRUE(Commands.OpenedFile().FileName.empty());
}

TEST_F(FileCommands, AFileOfAnotherKindIsRefusedWithAWarning)
{
    const std::string other = Dir.File("part.txt");
    kbtest::WriteFileText(other, "0\nEOF\n");
    Commands.OpenGeo(other, false);
    EXPECT_EQ(Warnings(), 1u);
    EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::FileNotOpened));
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

TEST_F(FileCommands, ADamagedDocumentFailsLoudly)
{
    // A valid signature, then a layer section that does not start with 1;
    // and a missing file. Each is one error box with the reader's reason.
    const std::string damaged = Dir.File("damaged.KVX");
    kbtest::WriteFileBytes(damaged, TBytes().Str("QV-3.6").I16(7).I32(-1).Data());
    for (const std::string& file : {damaged, Dir.File("missing.kvx")}) {
        SCOPED_TRACE(file);
        Notifier.Clear();
        Commands.OpenGeo(file, false);
        EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
        EXPECT_EQ(Monitor.BusyDepth, 0);
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
        EXPECT_FALSE(Notifier.Messages()[0].Text.empty());
    }
}

TEST_F(FileCommands, ReplacingTheDrawingForgetsItsUndoSteps)
{
    TUndoRedo journal(Doc);
    TUndoRedo* previous = SetUndoJournal(&journal);
    AddLine();
    ASSERT_TRUE(journal.AddUndo(TUndoKind::NewObjects, {0}));

    // Refused before anything was read: the drawing and its step stay.
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(Dir.File("missing.kvx"), false);
    EXPECT_EQ(journal.Steps().size(), 1u);
    // A merge keeps the step too; a load in place of the drawing does not.
    Commands.OpenGeo(DocumentFile, true);
    EXPECT_EQ(journal.Steps().size(), 1u);
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(DocumentFile, false);
    EXPECT_TRUE(journal.Steps().empty());
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    SetUndoJournal(previous);
}

// The document's bytes as it would save them.
std::vector<uint8_t> DrawingBytes(TQV_01Cmp2D& doc)
{
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Data();
}

TEST_F(FileCommands, AFailedOpenLeavesTheDrawingAndItsFileAsTheyWere)
{
    TUndoRedo journal(Doc);
    TUndoRedo* previous = SetUndoJournal(&journal);
    Commands.OpenGeo(DocumentFile, false);
    ASSERT_TRUE(journal.AddUndo(TUndoKind::NewObjects, {0}));
    Doc.Layers().GetLayer(1).SetPenColor(0x000000FF);
    Doc.Layers().GetLayer(2).SetVisible(0);
    Doc.SetCurrentLayer(1);
    const std::vector<uint8_t> before = DrawingBytes(Doc);

    const std::string text = Dir.File("notes.dxf");
    kbtest::WriteFileText(text, "These are notes, not a drawing.\n");
    const std::string foreign = Dir.File("foreign.kvx");
    kbtest::WriteFileBytes(foreign, TBytes().Str("ZZ-9.9").I16(1).I16(256).Data());
    // Damaged files that yield nothing: a DXF cut inside its TABLES, a
    // document cut inside its layers, an SVG without a shape, an STL
    // without a facet.
    const std::string cutDxf = Dir.File("cut.dxf");
    kbtest::WriteFileText(cutDxf, "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\nWalls\n");
    const std::string cutKvx = Dir.File("cut.kvx");
    kbtest::WriteFileBytes(cutKvx, TBytes().Str("QV-3.6").I16(1).I16(3).Data());
    const std::string emptySvg = Dir.File("empty.svg");
    kbtest::WriteFileText(emptySvg, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"></svg>");
    const std::string emptyStl = Dir.File("empty.stl");
    kbtest::WriteFileText(emptyStl, "solid e\nendsolid e\n");
    const struct {
        std::string File;
        EMessageKind Last; // the open's one message after the question
    } cases[] = {{text, EMessageKind::Warning},         {Dir.File("missing.dxf"), EMessageKind::Warning},
                 {foreign, EMessageKind::Error},        {Dir.File("missing.kvx"), EMessageKind::Error},
                 {cutDxf, EMessageKind::Warning},       {cutKvx, EMessageKind::Error},
                 {emptySvg, EMessageKind::Warning},     {emptyStl, EMessageKind::Warning}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        Notifier.Clear();
        Notifier.QueueAnswer(EUserAnswer::Yes);
        bool told = false;
        Commands.OnFileOpened = [&](const std::string&) { told = true; };
        Commands.OnFilePartlyRead = [&](const std::string&) { told = true; };
        Commands.OpenGeo(c.File, false);
        ASSERT_GE(Notifier.Messages().size(), 2u); // the question, then the failure
        EXPECT_EQ(Notifier.Messages().back().Kind, c.Last);
        if (c.Last == EMessageKind::Warning) {
            EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::FileNotOpened));
        }
        // The reader's texts without the names of its routines.
        EXPECT_EQ(Notifier.Messages().back().Text.find("TQVCmp."), std::string::npos);
        EXPECT_FALSE(told);
        EXPECT_EQ(Doc.CurrentLayer(), 1);
        EXPECT_EQ(Doc.Layers().GetLayer(1).Pen().Color, 0x000000FFu);
        EXPECT_EQ(DrawingBytes(Doc), before);
        EXPECT_EQ(Doc.Layers().GetLayer(2).Visible(), 0);
        EXPECT_EQ(journal.Steps().size(), 1u);
        EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
        EXPECT_EQ(Commands.OpenedFile().FileName, DocumentFile);
    }
    SetUndoJournal(previous);
}

TEST_F(FileCommands, NewAndAReplacingOpenStartFromTheLayerDefaults)
{
    const std::string dxf = Dir.File("one.dxf");
    kbtest::WriteFileText(dxf, "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n"
                               "0\nENDSEC\n0\nEOF\n");
    // What a drawing may leave in its layers.
    const auto spoil = [&] {
        AddLine();
        TQV_21Layer& layer = Doc.Layers().GetLayer(0);
        layer.SetVisible(0);
        layer.SetActive(0);
        layer.SetName("Spoilt");
        layer.SetPenColor(0x00123456);
        layer.SetBrushStyle(1);
        Doc.Layers().GetLayer(7).SetSavedObjects(0);
    };
    const auto expectDefaults = [&] {
        const TQV_21Layer& layer = Doc.Layers().GetLayer(0);
        EXPECT_EQ(layer.Visible(), 1);
        EXPECT_EQ(layer.Active(), 1);
        EXPECT_EQ(layer.Name(), "Layer_0");
        EXPECT_EQ(layer.Pen().Color, Config.DefLayers);
        EXPECT_EQ(layer.Brush().Style, BrushStyleSolid);
        EXPECT_FALSE(layer.Modified());
        EXPECT_EQ(Doc.Layers().GetLayer(7).SavedObjects(), 1);
    };
    spoil();
    Commands.sbtNewClick();
    expectDefaults();
    spoil();
    Commands.OpenGeo(DocumentFile, false);
    expectDefaults();
    spoil();
    Commands.OpenGeo(dxf, false);
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    expectDefaults();

    // A merge keeps them.
    spoil();
    Commands.OpenGeo(DocumentFile, true);
    EXPECT_EQ(Doc.Layers().GetLayer(0).Visible(), 0);
    EXPECT_EQ(Doc.Layers().GetLayer(0).Name(), "Spoilt");
}

TEST_F(FileCommands, ACancelledDialogChangesNothing)
{
    AddLine();
    Config.FilePath_Geo = Dir.Path().string();
    // The question comes first; its Yes clears nothing before a file is read.
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Notifier.QueueFileName("");
    Commands.OpenGeo("", false);
    EXPECT_EQ(Notifier.Prompts(),
              (std::vector<std::string>{"checked " + LangText(LangKeys::String::ClearDrawing), "open"}));
    EXPECT_EQ(Notifier.LastFileRequest().Folder, Dir.Path().string());
    // Both cases of each extension are listed: the file system tells them apart.
    ASSERT_FALSE(Notifier.LastFileRequest().Filters.empty());
    EXPECT_EQ(FileFilterText(Notifier.LastFileRequest().Filters[0]).rfind("Bitmap/Vector files (*.kvx *.KVX *.bmp", 0), 0u);
    EXPECT_EQ(Notifier.Messages().size(), 1u); // the question only
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::None);

    // A chosen file's folder is where the next dialog starts.
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Notifier.QueueFileName(DocumentFile);
    Commands.OpenGeo("", false);
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_EQ(Config.FilePath_Geo, Dir.Path().string());
}

} // namespace

TEST_F(FileCommands, ADxfFileReplacesTheDrawingAsItStands)
{
    const std::string dxf = Dir.File("part.DXF");
    kbtest::WriteFileText(dxf, "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
                               "0\r\nLINE\r\n8\r\n0\r\n10\r\n1.5\r\n20\r\n2\r\n30\r\n0\r\n"
                               "11\r\n4\r\n21\r\n6\r\n31\r\n0\r\n"
                               "0\r\nENDSEC\r\n0\r\nEOF\r\n");
    AddLine();
    int replaced = 0;
    Commands.OnDrawingReplaced = [&] { ++replaced; };
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(dxf, false);
    EXPECT_EQ(Warnings(), 0u);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::DXF);
    EXPECT_EQ(Commands.OpenedFile().FileName, dxf);
    EXPECT_EQ(replaced, 1);
    ASSERT_EQ(Doc.ObjectsCount(), 1); // the line drawn before is gone
    {
        TGraphicObjIterator it = Doc.Objects().GetIterator();
        auto* line = dynamic_cast<TLine2D*>(it.First());
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->Points().Get(0).X, 1.5);
        EXPECT_EQ(line->Points().Get(1).Y, 6.0);
    }
    EXPECT_EQ(View.Zooms.size(), 1u);

    // A DXF that cannot be opened is a failed open with its warning.
    Notifier.Clear();
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(Dir.File("missing.dxf"), false);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
    EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::FileNotOpened));
}

// --- Save, Save As and New ------------------------------------------------------

namespace {

// The end points of every line of a document, in list order.
std::vector<std::pair<TPoint2D, TPoint2D>> LineEnds(TQV_01Cmp2D& doc)
{
    std::vector<std::pair<TPoint2D, TPoint2D>> ends;
    for (int32_t id = 0; id < 64; ++id) {
        if (auto* line = dynamic_cast<TLine2D*>(doc.GetObject(id)))
            ends.emplace_back(line->Points().Get(0), line->Points().Get(1));
    }
    return ends;
}

} // namespace

TEST_F(FileCommands, SaveAsWritesADocumentThatLoadsBackEqual)
{
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(1.5, -2), Point2D(7, 3.25)));
    Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(-4, 0), Point2D(0, 9)));
    const std::string target = Dir.File("saved.kvx");
    std::string shown;
    Notifier.QueueFileName(target);
    Commands.OnFileSaved = [&](const std::string& name) { shown = name; };
    ASSERT_TRUE(Commands.MySaveAsClick());
    EXPECT_EQ(Notifier.LastFileRequest().FileName, "*");
    EXPECT_EQ(Notifier.LastFileRequest().DefaultSuffix, "kvx");
    EXPECT_TRUE(Notifier.LastFileRequest().OverwritePrompt);
    EXPECT_EQ(shown, Commands.OpenedFile().FileName);
    EXPECT_EQ(std::filesystem::path(shown).filename(), "saved.kvx");
    EXPECT_TRUE(Notifier.Messages().empty());
    Notifier.Clear();

    TQV_01Cmp2D loaded;
    (void)loaded.LoadFromFile(target, false);
    EXPECT_EQ(loaded.ObjectsCount(), 2);
    const auto expected = LineEnds(Doc);
    const auto actual = LineEnds(loaded);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].first.X, expected[i].first.X);
        EXPECT_EQ(actual[i].first.Y, expected[i].first.Y);
        EXPECT_EQ(actual[i].second.X, expected[i].second.X);
        EXPECT_EQ(actual[i].second.Y, expected[i].second.Y);
    }

    // Save now writes to that file without asking.
    AddLine();
    Notifier.Strict = true;
    ASSERT_TRUE(Commands.MySaveClick());
    EXPECT_TRUE(Notifier.Prompts().empty());
    TQV_01Cmp2D again;
    (void)again.LoadFromFile(target, false);
    EXPECT_EQ(again.ObjectsCount(), 3);
}

TEST_F(FileCommands, SaveOfAnImportedOrUnnamedDrawingAsksForAName)
{
    // After a DXF open the current file is not a document: Save is Save As,
    // and the suggestion is the imported name without its extension.
    const std::string dxf = Dir.File("part.dxf");
    kbtest::WriteFileText(dxf, "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\n0\r\n10\r\n0\r\n20\r\n0\r\n"
                               "11\r\n5\r\n21\r\n5\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
    Commands.OpenGeo(dxf, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::DXF);
    Notifier.QueueFileName("");
    EXPECT_FALSE(Commands.MySaveClick());
    EXPECT_EQ(Notifier.LastFileRequest().FileName, std::filesystem::path(Commands.OpenedFile().FileName).replace_extension().string());
}

TEST_F(FileCommands, SaveAsWritesOnlyDocuments)
{
    struct TCase {
        const char* Name;
        EMessageKind Kind;
        std::string Text;
    };
    AddLine();
    for (const TCase& c : {TCase{"out.dxf", EMessageKind::Information, LangText(LangKeys::String::FormatNotWritten)},
                           TCase{"out.HGL", EMessageKind::Information, LangText(LangKeys::String::FormatNotWritten)},
                           TCase{"out.svg", EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened)},
                           TCase{"out", EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened)}}) {
        SCOPED_TRACE(c.Name);
        Notifier.Clear();
        const std::string target = Dir.File(c.Name);
        Notifier.QueueFileName(target);
        EXPECT_FALSE(Commands.MySaveAsClick());
        EXPECT_FALSE(std::filesystem::exists(target));
        EXPECT_TRUE(Commands.OpenedFile().FileName.empty());
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Kind, c.Kind);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Text);
    }
    // An empty drawing is not saved and no name is asked for.
    TQV_01Cmp2D empty;
    TFileCommands commands(empty, Prg, View, Config);
    Notifier.Clear();
    Notifier.Strict = true;
    EXPECT_FALSE(commands.MySaveClick());
    EXPECT_TRUE(Notifier.Prompts().empty());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::NothingToSave));
}

TEST_F(FileCommands, AFailedSaveReportsAndKeepsTheDrawing)
{
    AddLine();
    const std::string good = Dir.File("good.kvx");
    Notifier.QueueFileName(good);
    ASSERT_TRUE(Commands.MySaveAsClick());
    const auto before = kbtest::ReadFileBytes(good);

    AddLine();
    bool saved = false;
    Commands.OnFileSaved = [&](const std::string&) { saved = true; };
    Notifier.QueueFileName(Dir.File("no-such-folder/lost.kvx"));
    Notifier.Clear();
    EXPECT_FALSE(Commands.MySaveAsClick());
    EXPECT_FALSE(saved);
    EXPECT_EQ(Doc.ObjectsCount(), 2);
    EXPECT_EQ(Commands.OpenedFile().FileName, good);
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);
    EXPECT_FALSE(Notifier.Messages()[0].Text.empty());
    EXPECT_EQ(kbtest::ReadFileBytes(good), before);
}

TEST_F(FileCommands, NewClearsTheDrawingOnlyAfterYes)
{
    TUndoRedo journal(Doc);
    TUndoRedo* previous = SetUndoJournal(&journal);
    Commands.OpenGeo(DocumentFile, false);
    ASSERT_EQ(Doc.ObjectsCount(), 3);
    ASSERT_TRUE(journal.AddUndo(TUndoKind::NewObjects, {0}));
    int cleared = 0;
    int replaced = 0;
    Commands.OnDrawingCleared = [&] { ++cleared; };
    Commands.OnDrawingReplaced = [&] { ++replaced; };

    Notifier.Clear();
    Notifier.QueueChecked(EUserAnswer::No, false);
    Commands.sbtNewClick();
    // The question carries the box that deletes the operations too.
    EXPECT_EQ(Notifier.Prompts(), std::vector<std::string>{"checked " + LangText(LangKeys::String::ClearDrawing)});
    EXPECT_EQ(Notifier.LastCheckText(), LangText(LangKeys::String::DeleteOperationsToo));
    EXPECT_EQ(Doc.ObjectsCount(), 3);
    EXPECT_EQ(journal.Steps().size(), 1u);
    EXPECT_FALSE(Commands.OpenedFile().FileName.empty());
    EXPECT_EQ(cleared, 0);

    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.sbtNewClick();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(journal.Steps().empty());
    EXPECT_TRUE(Commands.OpenedFile().FileName.empty());
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::None);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(replaced, 1);
    // IDs start again at 0.
    AddLine();
    EXPECT_NE(Doc.GetObject(0), nullptr);

    // On an empty drawing New asks nothing.
    Doc.DeleteAllObjects();
    Notifier.Clear();
    Commands.sbtNewClick();
    EXPECT_TRUE(Notifier.Messages().empty());
    SetUndoJournal(previous);
}

// --- What a replacing open takes, and when ------------------------------------------

namespace {

// The comments of the operation list, in list order.
std::vector<std::string> OperationComments()
{
    std::vector<std::string> comments;
    for (int32_t i = 0; i < OpManager().Count(); ++i)
        comments.push_back(OpManager().Operation(i).Comment);
    return comments;
}

struct FileOperations : FileCommands {
    FileOperations() : Hooks(Config)
    {
        TwoOps = WriteDocument("two-ops.kvx", 1, {"a", "b"});
        OneOp = WriteDocument("one-op.kvx", 2, {"c"});
    }
    ~FileOperations() override
    {
        OpManager().DeleteAll();
        SetCurrentOperation(nullptr);
    }
    // A document of that many lines and one operation per comment, written
    // by the document itself.
    std::string WriteDocument(const char* name, int lines, const std::vector<std::string>& comments)
    {
        TQV_01Cmp2D source;
        for (int i = 0; i < lines; ++i)
            source.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, i), Point2D(5, i)));
        OpManager().DeleteAll();
        for (const std::string& comment : comments)
            OpManager().AddOperation(std::make_unique<TOpManagerField>(OpKind::LoaderOld))->Comment = comment;
        const std::string file = Dir.File(name);
        source.SaveToFile(file);
        OpManager().DeleteAll();
        return file;
    }

    TMachiningHooks Hooks;
    std::string TwoOps;
    std::string OneOp;
};

} // namespace

TEST_F(FileOperations, AReplacingOpenTakesTheFilesOperationsOnceItWasRead)
{
    struct TStep {
        const char* What;
        std::string File;
        bool Merge;
        std::optional<bool> Box; // Yes with the box so; none: no question (empty drawing, merge)
        std::vector<std::string> Operations;
        int32_t Objects;
        std::string Name; // the current file afterwards
    };
    const std::string missing = Dir.File("missing.kvx");
    const TStep steps[] = {
        {"first open", TwoOps, false, std::nullopt, {"a", "b"}, 1, TwoOps},
        {"the same again", TwoOps, false, true, {"a", "b"}, 1, TwoOps},
        {"another document", OneOp, false, true, {"c"}, 2, OneOp},
        {"a file that fails", missing, false, true, {"c"}, 2, OneOp},
        // The operations stay; the file's own are left out, and its name
        // is not taken, so that a save cannot drop them from the file.
        {"box unticked", TwoOps, false, false, {"c"}, 1, ""},
        {"merge", TwoOps, true, std::nullopt, {"c", "a", "b"}, 2, ""},
    };
    int cleared = 0;
    Commands.ClearSimulations = [&] { ++cleared; };
    int expectedCleared = 0;
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.What);
        Notifier.Clear();
        if (step.Box)
            Notifier.QueueChecked(EUserAnswer::Yes, *step.Box);
        else
            Notifier.Strict = true;
        Commands.OpenGeo(step.File, step.Merge);
        Notifier.Strict = false;
        EXPECT_EQ(OperationComments(), step.Operations);
        EXPECT_EQ(Doc.ObjectsCount(), step.Objects);
        EXPECT_EQ(Commands.OpenedFile().FileName, step.Name);
        // The simulations' drawings go with every drawing replaced.
        expectedCleared += (!step.Merge && step.File != missing) ? 1 : 0;
        EXPECT_EQ(cleared, expectedCleared);
        if (step.Box && !*step.Box) {
            ASSERT_FALSE(Notifier.Messages().empty());
            EXPECT_NE(Notifier.Messages().back().Text.find(LangText(LangKeys::String::OperationsKept)),
                      std::string::npos);
        }
    }
    // New with the box unticked keeps the operations; ticked, they go.
    Notifier.QueueChecked(EUserAnswer::Yes, false);
    Commands.sbtNewClick();
    EXPECT_EQ(OperationComments(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(cleared, expectedCleared + 1);
    Commands.OpenGeo(OneOp, false);
    Notifier.QueueChecked(EUserAnswer::Yes, true);
    Commands.sbtNewClick();
    EXPECT_TRUE(OperationComments().empty());
}

TEST_F(FileCommands, AFileReadInPartIsShownButItsNameIsNotTaken)
{
    // The three-line document cut inside its last line (the operations
    // section after it is 5 bytes); a DXF cut inside its second line.
    std::vector<uint8_t> bytes = kbtest::ReadFileBytes(DocumentFile);
    bytes.resize(bytes.size() - 10);
    const std::string cutKvx = Dir.File("cut.kvx");
    kbtest::WriteFileBytes(cutKvx, bytes);
    const std::string cutDxf = Dir.File("cut.dxf");
    kbtest::WriteFileText(cutDxf, "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n"
                                  "0\nLINE\n8\n0\n10\n5\n");
    const struct {
        std::string File;
        int32_t AtLeast; // objects read
        bool Document;
    } cases[] = {{cutKvx, 2, true}, {cutDxf, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        const std::vector<uint8_t> onDisk = kbtest::ReadFileBytes(c.File);
        AddLine();
        Notifier.Clear();
        Notifier.QueueAnswer(EUserAnswer::Yes);
        std::string partly;
        std::string opened;
        Commands.OnFilePartlyRead = [&](const std::string& name) { partly = name; };
        Commands.OnFileOpened = [&](const std::string& name) { opened = name; };
        Commands.OpenGeo(c.File, false);
        EXPECT_GE(Doc.ObjectsCount(), c.AtLeast);
        if (c.Document) {
            EXPECT_EQ(Doc.ObjectsCount(), 2);
        }
        EXPECT_EQ(partly, c.File);
        EXPECT_TRUE(opened.empty()); // neither the recent files nor the plain title
        EXPECT_TRUE(Commands.OpenedFile().FileName.empty());
        ASSERT_EQ(Warnings(), 1u);
        if (c.Document) {
            const std::string& text = Notifier.Messages().back().Text;
            EXPECT_NE(text.find(PartlyReadMessage), std::string::npos);
            EXPECT_EQ(text.find("TQVCmp."), std::string::npos);
        }
        // Save asks for a name and suggests none: the damaged file stays.
        Notifier.QueueFileName("");
        EXPECT_FALSE(Commands.MySaveClick());
        EXPECT_EQ(Notifier.LastFileRequest().FileName, "*");
        EXPECT_EQ(kbtest::ReadFileBytes(c.File), onDisk);
    }
}

TEST_F(FileCommands, AnOpenShowsItsProgressAndTakesItAwayAtTheEnd)
{
    // A document of 600 lines moves the bar; an SVG of four shapes (whose
    // import shows 25 % after its first shape) ends without a bar too.
    TQV_01Cmp2D big;
    for (int i = 0; i < 600; ++i)
        big.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, i), Point2D(10, i)));
    const std::string bigFile = Dir.File("big.kvx");
    big.SaveToFile(bigFile);
    const std::string svg = Dir.File("four.svg");
    kbtest::WriteFileText(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">"
                               "<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"5\" x2=\"10\" y2=\"5\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"9\" x2=\"10\" y2=\"9\" stroke=\"black\"/>"
                               "<line x1=\"0\" y1=\"12\" x2=\"10\" y2=\"12\" stroke=\"black\"/></svg>");
    for (const std::string& file : {bigFile, svg}) {
        SCOPED_TRACE(file);
        Monitor.Progress.clear();
        Monitor.ProgressHidden = 0;
        Notifier.QueueAnswer(EUserAnswer::Yes);
        Commands.OpenGeo(file, false);
        ASSERT_FALSE(Monitor.Progress.empty());
        EXPECT_EQ(Monitor.ProgressHidden, 1);
        for (const int position : Monitor.Progress) {
            EXPECT_GE(position, 0);
            EXPECT_LE(position, 100);
        }
    }
    // The document's bar moved on while it was read (600 lines, repainted
    // every 256 steps).
    Monitor.Progress.clear();
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(bigFile, false);
    EXPECT_EQ(Doc.ObjectsCount(), 600);
    EXPECT_GT(*std::max_element(Monitor.Progress.begin(), Monitor.Progress.end()), 0);

    // So does a DXF's, by the share of the file read.
    std::string dxfText = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < 600; ++i)
        dxfText += "0\nLINE\n8\n0\n10\n0\n20\n" + std::to_string(i) + "\n11\n10\n21\n" + std::to_string(i) + "\n";
    dxfText += "0\nENDSEC\n0\nEOF\n";
    const std::string bigDxf = Dir.File("big.dxf");
    kbtest::WriteFileText(bigDxf, dxfText);
    Monitor.Progress.clear();
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(bigDxf, false);
    EXPECT_EQ(Doc.ObjectsCount(), 600);
    const int dxfMost = *std::max_element(Monitor.Progress.begin(), Monitor.Progress.end());
    EXPECT_GT(dxfMost, 0);
    EXPECT_LE(dxfMost, 100);
}

TEST_F(FileCommands, AReplacingOpenLeavesTheViewAndTheTreeToOneRebuild)
{
    // The objects read make no tree node of their own: the view and the
    // tree are rebuilt once, whether the drawing is committed or put back.
    kbtest::TRecordingGeoTree tree;
    Doc.SetTreeGeo(&tree);
    int replaced = 0;
    Commands.OnDrawingReplaced = [&] { ++replaced; };
    const std::string empty = Dir.File("empty.dxf");
    kbtest::WriteFileText(empty, "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    struct TCase {
        std::string File;
        int32_t Objects;
    };
    for (const TCase& c : {TCase{DocumentFile, 3}, TCase{empty, 3}}) {
        SCOPED_TRACE(c.File);
        View.Rebuilds.clear();
        replaced = 0;
        if (Doc.ObjectsCount() > 0)
            Notifier.QueueAnswer(EUserAnswer::Yes);
        Commands.OpenGeo(c.File, false);
        EXPECT_EQ(Doc.ObjectsCount(), c.Objects);
        EXPECT_TRUE(tree.Events.empty());
        EXPECT_EQ(View.Rebuilds.size(), 1u);
        EXPECT_EQ(replaced, 1);
        EXPECT_TRUE(Doc.PresentAdds());
    }
    // A merge adds to the drawing as any add does.
    Commands.OpenGeo(DocumentFile, true);
    EXPECT_EQ(Doc.ObjectsCount(), 6);
    EXPECT_EQ(tree.Events.size(), 3u);
    Doc.SetTreeGeo(nullptr);
}

TEST_F(FileCommands, AReplacingOpenStartsOnTheFirstLayer)
{
    // An SVG's red shape goes to a layer of its colour and makes it the
    // current one; the image opened next still lands on layer 0.
    const std::string svg = Dir.File("red.svg");
    kbtest::WriteFileText(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">"
                               "<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" stroke=\"#ff0000\"/></svg>");
    Commands.OpenGeo(svg, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::SVG);
    ASSERT_NE(Doc.CurrentLayer(), 0);
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::string bmp = Dir.File("plain.bmp");
    ASSERT_TRUE(image.save(QString::fromStdString(bmp), "BMP"));
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(bmp, false);
    ASSERT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::BMP);
    EXPECT_EQ(Doc.CurrentLayer(), 0);
    ASSERT_EQ(Doc.ObjectsCount(), 1);
    {
        TGraphicObjIterator it = Doc.ObjectsIterator();
        EXPECT_EQ(it.First()->Layer(), 0);
    }

    // New starts there too.
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.OpenGeo(svg, false);
    ASSERT_NE(Doc.CurrentLayer(), 0);
    Notifier.QueueAnswer(EUserAnswer::Yes);
    Commands.sbtNewClick();
    EXPECT_EQ(Doc.CurrentLayer(), 0);
}
