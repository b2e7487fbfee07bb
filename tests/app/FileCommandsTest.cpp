#include "app/FileCommands.h"

#include "cad/program/QV_00Prog.h"
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

#include <filesystem>
#include <memory>
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
    // A valid signature, then a layer section that does not start with 1.
    const std::string damaged = Dir.File("damaged.KVX");
    kbtest::WriteFileBytes(damaged, TBytes().Str("QV-3.6").I16(7).I32(-1).Data());
    EXPECT_ANY_THROW(Commands.OpenGeo(damaged, false));
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
    EXPECT_EQ(Monitor.BusyDepth, 0);
    // A missing file, too.
    EXPECT_ANY_THROW(Commands.OpenGeo(Dir.File("missing.kvx"), false));
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::Failed);
}

TEST_F(FileCommands, ReplacingTheDrawingForgetsItsUndoSteps)
{
    TUndoRedo journal(Doc);
    TUndoRedo* previous = SetUndoJournal(&journal);
    AddLine();
    ASSERT_TRUE(journal.AddUndo(TUndoKind::NewObjects, {0}));

    // Refused before anything was read: the drawing and its step stay.
    EXPECT_ANY_THROW(Commands.OpenGeo(Dir.File("missing.kvx"), false));
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
    const struct {
        std::string File;
        bool Raises; // a document's reader error, shown by the caller
    } cases[] = {{text, false}, {Dir.File("missing.dxf"), false}, {foreign, true}, {Dir.File("missing.kvx"), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        Notifier.Clear();
        Notifier.QueueAnswer(EUserAnswer::Yes);
        if (c.Raises) {
            EXPECT_ANY_THROW(Commands.OpenGeo(c.File, false));
            EXPECT_EQ(Warnings(), 0u);
        } else {
            Commands.OpenGeo(c.File, false);
            // One message: "458", not the reader's as well.
            ASSERT_EQ(Notifier.Messages().size(), 2u); // the question, then the warning
            EXPECT_EQ(Notifier.Messages().back().Text, LangText(LangKeys::String::FileNotOpened));
        }
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
    Notifier.QueueFileName("");
    Commands.OpenGeo("", false);
    EXPECT_EQ(Notifier.Prompts(), std::vector<std::string>{"open"});
    EXPECT_EQ(Notifier.LastFileRequest().Folder, Dir.Path().string());
    // Both cases of each extension are listed: the file system tells them apart.
    ASSERT_FALSE(Notifier.LastFileRequest().Filters.empty());
    EXPECT_EQ(FileFilterText(Notifier.LastFileRequest().Filters[0]).rfind("Bitmap/Vector files (*.kvx *.KVX *.bmp", 0), 0u);
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_EQ(Doc.ObjectsCount(), 1);
    EXPECT_EQ(Commands.OpenedFile().Kind, TOpenedFileKind::None);

    // A chosen file's folder is where the next dialog starts.
    Notifier.QueueFileName(DocumentFile);
    Notifier.QueueAnswer(EUserAnswer::Yes);
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
    TGraphicObjIterator it = Doc.Objects().GetIterator();
    auto* line = dynamic_cast<TLine2D*>(it.First());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Points().Get(0).X, 1.5);
    EXPECT_EQ(line->Points().Get(1).Y, 6.0);
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
