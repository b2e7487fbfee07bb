// Damaged documents and failed saves: entries skipped with a message,
// unknown classes that end the reading, truncation at every byte, absurd
// counts, and saves that must not cost the old file.

#include "tests/core/DocumentTestSupport.h"

#include "core/model/ClassRegistry.h"
#include "core/entities/Line2D.h"
#include "tests/support/TestSupport.h"

#include <filesystem>

namespace kbtest::document_faults_test {
namespace {

using docfix::TPt;

// A current document with the given sections after empty layers.
std::vector<uint8_t> Document(int32_t blockCount, const TBytes& blocks, int32_t objectCount, const TBytes& objects)
{
    TBytes b;
    b.Str("QV-3.6").I16(1).I16(256).U8(2).I32(blockCount);
    for (uint8_t byte : blocks.Data())
        b.U8(byte);
    b.U8(3).I32(objectCount);
    for (uint8_t byte : objects.Data())
        b.U8(byte);
    b.U8(4).I32(-1);
    return b.Data();
}

TBytes Line(int32_t id, double x = 0)
{
    TBytes b;
    docfix::LineEntry(b, "QV-3.6", id, 0, {x, 0}, {x, 1});
    return b;
}

TBytes Then(TBytes a, const TBytes& b)
{
    for (uint8_t byte : b.Data())
        a.U8(byte);
    return a;
}

TBytes Block(const std::string& name)
{
    TBytes b;
    docfix::BlockEntry(b, "QV-3.6", 0, 0, name);
    return b;
}

TBytes SourceBlock(const std::string& name, const TBytes& child)
{
    TBytes b;
    docfix::SourceBlockEntry(b, "QV-3.6", 0, 1, child, name);
    return b;
}

// An object of the registry that is not a 2D object: only the head.
class TNot2D final : public TGraphicObject {
public:
    static constexpr uint16_t kId = 29;
    TNot2D(TStream& stream, std::string_view signature) : TGraphicObject(stream, signature) {}
    static std::unique_ptr<TGraphicObject> Create(TStream& stream, std::string_view signature)
    {
        return std::make_unique<TNot2D>(stream, signature);
    }
    std::string_view ClassName() const override { return "TNot2D"; }
    void ComputeBounds() override {}
    void Draw() override {}

protected:
    TNot2D(const TNot2D& source, TCloneTag tag) : TGraphicObject(source, tag) {}
    std::unique_ptr<TGraphicObject> CloneObject() const override
    {
        return std::unique_ptr<TGraphicObject>(new TNot2D(*this, TCloneTag{}));
    }
};

struct TSkipCase {
    const char* Name;
    std::vector<uint8_t> File;
    std::string Message;
    int32_t Blocks; // source blocks kept
    int32_t Objects; // objects kept
};

TEST_F(DocumentFileTest, EntriesThatCannotBeUsedAreSkippedWithTheirMessage)
{
    QV_00RegisterClass(TNot2D::kId, {"TNot2D", &TNot2D::Create});
    TBytes not2D;
    not2D.I16(TNot2D::kId).I32(5).U8(0).U8(docfix::kShown);
    const std::vector<TSkipCase> cases = {
        {"reference to a missing block", Document(0, {}, 3, Then(Then(Line(0), Block("NOPE")), Line(1))),
         "Source block not found. The block will not be loaded", 0, 2},
        {"source block referencing a missing block",
         Document(2, Then(SourceBlock("A", Block("NOPE")), SourceBlock("B", Line(1))), 1, Line(0)),
         "Source block not found. The block will not be loaded", 1, 1},
        {"object that is not 2D", Document(0, {}, 2, Then(not2D, Line(0))), "Not 2D Object. Object discarded.", 0, 1},
        {"line among the source blocks", Document(2, Then(Line(9), SourceBlock("B", Line(1))), 0, {}),
         "Not a source block. Object discarded.", 1, 0},
    };
    for (const TSkipCase& c : cases) {
        SCOPED_TRACE(c.Name);
        m_Notifier.Clear();
        TQV_01Cmp2D doc;
        EXPECT_FALSE(Load(doc, c.File).Partial);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.Message});
        EXPECT_EQ(doc.SourceBlocksCount(), c.Blocks);
        EXPECT_EQ(doc.ObjectsCount(), c.Objects);
        EXPECT_EQ(ObjectsOf(doc).empty() ? -1 : ObjectsOf(doc).back()->ID(), c.Objects - 1);
    }
}

TEST_F(DocumentFileTest, UnknownClassEndsTheReadingAsPartial)
{
    bool operationsRead = false;
    SetLoadOperationsHook([&](TStream&, std::string_view) { operationsRead = true; });
    TBytes unknown;
    unknown.I16(10).I32(0).U8(0).U8(docfix::kShown); // id 10 is free
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
        int32_t Blocks;
        int32_t Objects;
    };
    const std::vector<TCase> cases = {
        {"in the objects", Document(0, {}, 3, Then(Then(Line(0), unknown), Line(1))), 0, 1},
        {"in the source blocks", Document(2, Then(SourceBlock("A", Line(1)), unknown), 1, Line(0)), 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        m_Notifier.Clear();
        TQV_01Cmp2D doc;
        EXPECT_TRUE(Load(doc, c.File).Partial);
        ASSERT_EQ(m_Notifier.Messages().size(), 2u);
        EXPECT_EQ(m_Notifier.Messages()[0].Text, "Object class not found. Object not load");
        EXPECT_EQ(m_Notifier.Messages()[1].Text, PartlyReadMessage);
        EXPECT_EQ(m_Notifier.Messages()[1].Kind, EMessageKind::Warning);
        EXPECT_EQ(doc.SourceBlocksCount(), c.Blocks);
        EXPECT_EQ(doc.ObjectsCount(), c.Objects);
        EXPECT_FALSE(operationsRead);
    }

    // The same stop in a block library.
    TBytes library;
    library.Str("QV-3.6").U8(2).I32(2);
    library = Then(Then(library, SourceBlock("A", Line(1))), unknown);
    TQV_01Cmp2D doc;
    TMemoryStream stream(library.Data());
    EXPECT_TRUE(doc.LoadLibrary(stream).Partial);
    EXPECT_EQ(doc.SourceBlocksCount(), 1);
}

TEST_F(DocumentFileTest, TruncatedAtEveryByteKeepsWhatWasRead)
{
    SetLoadOperationsHook([](TStream& stream, std::string_view) {
        if (ReadInt32(stream) != -1)
            throw ECADFileNotValid("unexpected operations");
    });
    const std::vector<uint8_t> full = docfix::SmallDocument();
    const size_t endOfObjects = docfix::SmallDocumentOperationsOffset();
    int32_t previous = 0;
    for (size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        TQV_01Cmp2D doc;
        std::string error = ErrorText([&] {
            TMemoryStream stream(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(size)));
            if (doc.LoadFromStream(stream, false).Partial)
                throw std::logic_error("partial");
        });
        if (size == endOfObjects) {
            // Only files of older versions end after their objects.
            EXPECT_EQ(error, std::string(NoOperationsFoundText) + "\r\n" + std::string(PartlyReadMessage));
        } else if (size < 6) {
            EXPECT_EQ(error, NoSignatureText);
        } else {
            EXPECT_NE(error.find(PartlyReadMessage), std::string::npos) << error;
        }
        EXPECT_GE(doc.ObjectsCount(), previous);
        previous = doc.ObjectsCount();
    }
    EXPECT_EQ(previous, 3);
}

TEST_F(DocumentFileTest, WhatFollowsTheObjectsDecidesWhetherTheReadIsComplete)
{
    // The operations reader of the test: an int32 count of int32 values.
    const auto readOperations = [](TStream& stream, std::string_view) {
        for (int32_t n = ReadInt32(stream); n > 0; --n)
            (void)ReadInt32(stream);
    };
    const std::vector<uint8_t> current = Document(0, {}, 2, Then(Line(0), Line(1)));
    const size_t sectionByte = current.size() - 5;
    const auto older = [](std::vector<uint8_t> file) {
        file[5] = '2'; // "QV-3.2"
        return file;
    };
    const auto cut = [](std::vector<uint8_t> file, size_t size) {
        file.resize(size);
        return file;
    };
    const auto with = [](std::vector<uint8_t> file, size_t at, uint8_t byte) {
        file[at] = byte;
        return file;
    };
    const auto plus = [](std::vector<uint8_t> file, const std::vector<uint8_t>& more) {
        file.insert(file.end(), more.begin(), more.end());
        return file;
    };
    std::vector<uint8_t> twoOperations = cut(current, sectionByte + 1);
    twoOperations = plus(twoOperations, TBytes().I32(2).I32(7).I32(8).Data());
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
        bool HookInstalled;
        std::string Cause; // empty: read completely
    };
    const std::vector<TCase> cases = {
        {"the whole current file", current, true, ""},
        {"operations that hold values", twoOperations, true, ""},
        {"current file ending after its objects", cut(current, sectionByte), true,
         std::string(NoOperationsFoundText)},
        {"older file ending after its objects", older(cut(current, sectionByte)), true, ""},
        {"section byte 5", with(current, sectionByte, 5), true, UnknownSectionText(5)},
        {"section byte 5 in an older file", older(with(current, sectionByte, 5)), true, UnknownSectionText(5)},
        {"a byte after the operations", plus(current, {0}), true, UnreadBytesText(1)},
        {"an operation more than counted", plus(twoOperations, TBytes().I32(9).Data()), true, UnreadBytesText(4)},
        {"bytes after a section no reader reads", plus(current, {0, 0}), false, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetLoadOperationsHook(c.HookInstalled ? TLoadOperationsHook(readOperations) : TLoadOperationsHook());
        TQV_01Cmp2D doc;
        std::string cause;
        try {
            EXPECT_FALSE(Load(doc, c.File).Partial);
        } catch (const ECADFilePartlyRead& e) {
            cause = e.Cause();
        }
        EXPECT_EQ(cause, c.Cause);
        EXPECT_EQ(doc.ObjectsCount(), 2); // what was read stays
    }
}

TEST_F(DocumentFileTest, DamagedDocumentsRaiseAndKeepWhatWasRead)
{
    TBytes hugeContainer;
    hugeContainer.I16(docfix::kContainerId);
    docfix::ObjectHead(hugeContainer, "QV-3.6", 1, 0, docfix::kShown);
    hugeContainer.I32(0x7FFFFFFF);
    TBytes outOfBound;
    outOfBound.I16(600);
    TBytes badLayer;
    badLayer.Str("QV-3.6").I16(1).I16(300);
    docfix::LayerRecord(badLayer, {});
    std::vector<uint8_t> noObjects = Document(0, {}, 1, Line(0));
    noObjects[6 + 4 + 1 + 4] = 7;
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
        std::string Cause;
        int32_t Objects;
    };
    const std::vector<TCase> cases = {
        {"absurd source-block count", Document(0x7FFFFFFF, SourceBlock("A", Line(1)), 0, {}),
         "TQV_01Cmp2D.LoadSourceBlocks: Invalid number of source blocks 2147483647", 0},
        {"negative source-block count", Document(-1, {}, 1, Line(0)),
         "TQV_01Cmp2D.LoadSourceBlocks: Invalid number of source blocks -1", 0},
        {"negative object count", Document(0, {}, -1, Line(0)), InvalidObjectCountText(-1), 0},
        {"object count with its high byte flipped", Document(0, {}, int32_t(0x80000001), Line(0)),
         InvalidObjectCountText(int32_t(0x80000001)), 0},
        {"absurd object count", Then(TBytes().Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(0x7FFFFFFF),
                                     Line(0)).Data(),
         std::string(TruncatedText), 1},
        {"absurd child count", Document(0, {}, 2, Then(Line(0), hugeContainer)),
         "TContainer2D.CreateFromStream: Invalid number of children 2147483647", 1},
        {"class id out of bound", Document(0, {}, 2, Then(Line(0), outOfBound)),
         "QV_00FindClassByIndex: Out of bound registration index", 1},
        {"layer number out of bound", badLayer.Data(), "", 0},
        {"no byte 2", TBytes().Str("QV-3.6").I16(1).I16(256).U8(3).Data(), std::string(NoBlocksFoundText), 0},
        {"no byte 3", noObjects, std::string(NoObjectsFoundText), 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TQV_01Cmp2D doc;
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
        try {
            (void)Load(doc, c.File);
            ADD_FAILURE() << "no error";
        } catch (const ECADFilePartlyRead& e) {
            if (!c.Cause.empty()) {
                EXPECT_EQ(e.Cause(), c.Cause);
            }
            EXPECT_EQ(std::string(e.what()), e.Cause() + "\r\n" + std::string(PartlyReadMessage));
        }
        EXPECT_EQ(doc.ObjectsCount(), c.Objects);
    }
}

TEST_F(DocumentFileTest, FreshLoadDropsTheCurrentLabelAndMergeKeepsIt)
{
    TQV_01Cmp2D doc;
    SetCurrentLabelObject(std::make_unique<TEtichetta>(false));
    ASSERT_FALSE(Load(doc, docfix::EmptyDocument(), true).Partial);
    EXPECT_NE(CurrentLabelObject(), nullptr);
    ASSERT_FALSE(Load(doc, docfix::EmptyDocument()).Partial);
    EXPECT_EQ(CurrentLabelObject(), nullptr);
}

TEST_F(DocumentFileTest, SaveReplacesTheFileOnlyWhenTheWholeDocumentIsWritten)
{
    TTempDir dir;
    const std::string name = dir.File("drawing.kvx");
    TQV_01Cmp2D doc;
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
    doc.SaveToFile(name);
    const std::vector<uint8_t> first = ReadFileBytes(name);
    EXPECT_EQ(first, Save(doc));
    TQV_01Cmp2D reread;
    EXPECT_FALSE(reread.LoadFromFile(name, false).Partial);
    EXPECT_EQ(reread.ObjectsCount(), 1);

    // A save that fails half-way leaves the old file and no stray file.
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(2, 2)));
    SetSaveOperationsHook([](TStream& stream) {
        WriteInt32(stream, 0);
        throw std::runtime_error("operation record failed");
    });
    EXPECT_THROW(doc.SaveToFile(name), std::runtime_error);
    EXPECT_EQ(ReadFileBytes(name), first);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    SetSaveOperationsHook(nullptr);
    EXPECT_THROW(doc.SaveToFile(dir.File("missing/drawing.kvx")), EStreamWriteError);
}

} // namespace
} // namespace kbtest::document_faults_test
