#include "core/entities/Block2D.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/core/ContainerFixtures.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace block_reference_test {

using namespace kbtest;

namespace {

struct BlockReferences : ::testing::Test {
    TBlockClassesScope Classes;
};

template <class E> void ExpectError(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

const std::string kReferenced = "TSourceBlock2D.Destroy: This source block is referenced and cannot be deleted";

// A source block holding one probe (whose freeing is reported) and, when
// target is given, a reference to target.
std::unique_ptr<TSourceBlock2D> Source(const std::string& name, TSourceBlock2D* target = nullptr,
                                       bool* freed = nullptr)
{
    auto block = std::make_unique<TSourceBlock2D>(-1, Children(Probe(1, 0, 0, 1, 1, freed)), name);
    if (target)
        block->Objects().Add(std::make_unique<TBlock2D>(2, target));
    return block;
}

// Two source blocks that show each other; the second is returned, the first
// is already in the document.
TSourceBlock2D* AddCircle(TQV_01Cmp2D& doc, const std::string& a, const std::string& b, bool* freedA = nullptr,
                          bool* freedB = nullptr)
{
    TSourceBlock2D* first = doc.AddSourceBlock(Source(a, nullptr, freedA));
    TSourceBlock2D* second = doc.AddSourceBlock(Source(b, first, freedB));
    first->Objects().Add(std::make_unique<TBlock2D>(3, second));
    return second;
}

} // namespace

TEST(BlockName, KeepsThirteenBytesZeroPadded)
{
    struct TCase {
        std::string Text;
        std::string Stored;
    };
    const TCase cases[] = {
        {"A", std::string("A") + std::string(12, '\0')},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLM"},
        {"", std::string(13, '\0')},
    };
    for (const TCase& c : cases) {
        const TBlockName name = CopyBlockName(c.Text);
        EXPECT_EQ(std::string(name.begin(), name.end()), c.Stored) << c.Text;
    }
    EXPECT_EQ(BlockNameText(CopyBlockName("ABCDEFGHIJKLMNOPQRST")), "ABCDEFGHIJKLM");
}

TEST_F(BlockReferences, EveryLinkedReferenceCountsOnce)
{
    TSourceBlock2D s1(0, {}, "S1");
    TSourceBlock2D s2(1, {}, "S2");
    auto b1 = std::make_unique<TBlock2D>(10, &s1);
    EXPECT_EQ(s1.ReferenceCount(), 1);
    std::unique_ptr<TGraphicObject> copy = b1->Clone();
    auto* b2 = dynamic_cast<TBlock2D*>(copy.get());
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(s1.ReferenceCount(), 2);

    b2->SetSourceBlock(&s2);
    b2->SetSourceBlock(&s2);
    EXPECT_EQ(s1.ReferenceCount(), 1);
    EXPECT_EQ(s2.ReferenceCount(), 1);
    EXPECT_EQ(BlockNameText(b2->Name()), "S2");

    b1->Assign(*b2);
    EXPECT_EQ(s1.ReferenceCount(), 0);
    EXPECT_EQ(s2.ReferenceCount(), 2);
    EXPECT_EQ(BlockNameText(b1->Name()), "S2");

    // From an unlinked reference: the source is dropped, nothing more taken.
    std::unique_ptr<TInsert> unlinked = std::make_unique<TInsert>(11, "OTHER");
    b1->Assign(*unlinked);
    EXPECT_EQ(b1->SourceBlock(), nullptr);
    EXPECT_EQ(s2.ReferenceCount(), 1);

    copy.reset();
    EXPECT_EQ(s2.ReferenceCount(), 0);

    ExpectError<std::invalid_argument>([] { TBlock2D(1, nullptr); }, "TBlock2D.Create: Invalid parameter");
    ExpectError<std::invalid_argument>([&] { b1->SetSourceBlock(nullptr); },
                                       "TBlock2D.SetSourceBlock: Invalid parameter");
}

TEST_F(BlockReferences, ReferencesLinkByTheirThirteenByteName)
{
    TQV_01Cmp2D doc;
    TSourceBlock2D* a = doc.AddSourceBlock(Source("A"));
    TSourceBlock2D* longName = doc.AddSourceBlock(Source("LONGNAME12345"));

    // Two references at top level of a container and one inside a nested
    // source block, all stored by name.
    auto nested = std::make_unique<TSourceBlock2D>(5, Children(std::make_unique<TInsert>(6, "A")), "NESTED");
    TContainer2D container(1, Children(std::make_unique<TInsert>(2, "A"), TBlock2D::CreateByName(3, "A"),
                                       std::move(nested), std::make_unique<TInsert>(4, "LONGNAME12345XYZ")));
    {
        TGraphicObjIterator sources = doc.SourceBlocksIterator();
        container.UpdateSourceReferences(sources);
    }
    EXPECT_EQ(a->ReferenceCount(), 3);
    EXPECT_EQ(longName->ReferenceCount(), 1) << "names compare as their first 13 bytes";
    EXPECT_EQ(doc.FindSourceBlock("LONGNAME12345 and more").ID(), longName->ID());

    std::unique_ptr<TInsert> missing = std::make_unique<TInsert>(7, "NONE");
    TGraphicObjIterator sources = doc.SourceBlocksIterator();
    ExpectError<ECADListObjNotFound>([&] { missing->UpdateReference(sources); },
                                     "TBlock2D.UpdateReference: Source block not found");
    EXPECT_EQ(missing->SourceBlock(), nullptr);
}

TEST_F(BlockReferences, SourceBlockIDsFollowTheNextNumber)
{
    TQV_01Cmp2D doc;
    doc.SetCurrentLayer(4);
    struct TStep {
        int32_t Passed;
        int32_t Given;
        int32_t NextAfter;
    };
    const TStep steps[] = {{-1, 0, 1}, {-1, 1, 2}, {10, 10, 11}, {-1, 11, 12}, {3, 3, 12}};
    for (const TStep& s : steps) {
        TSourceBlock2D* added = doc.AddSourceBlockWithID(s.Passed, Source("B"));
        EXPECT_EQ(added->ID(), s.Given);
        EXPECT_EQ(doc.NextSourceBlockID(), s.NextAfter);
        EXPECT_EQ(added->Owner(), &doc);
        EXPECT_EQ(added->Layer(), 4);
    }
    EXPECT_EQ(doc.GetSourceBlock(10)->ID(), 10);
    EXPECT_EQ(doc.GetSourceBlock(99), nullptr);

    std::unique_ptr<TSourceBlock2D> refused = Source("R");
    TGraphicObjIterator walk = doc.SourceBlocksIterator();
    EXPECT_THROW(doc.AddSourceBlock(std::move(refused)), ECADListBlocked);
    EXPECT_NE(refused, nullptr) << "a refused block stays the caller's";
    EXPECT_EQ(doc.NextSourceBlockID(), 12);
}

TEST_F(BlockReferences, AReferencedSourceBlockRefusesDeletion)
{
    TQV_01Cmp2D doc;
    TSourceBlock2D* a = doc.AddSourceBlock(Source("A"));
    TBlock2D* top = doc.AddObject(-1, std::make_unique<TBlock2D>(0, a));

    ExpectError<ECADSourceBlockIsReferenced>([&] { doc.DeleteSourceBlock(a->ID()); }, kReferenced);
    ExpectError<ECADSysException>([&] { doc.DeleteSourceBlock("A"); },
                                  "TQV_01Cmp2D.DeleteSourceBlock: Remove the references before the source");
    ExpectError<ECADSourceBlockIsReferenced>([&] { a->CheckNotReferenced(); }, kReferenced);
    EXPECT_EQ(doc.SourceBlocksCount(), 1);
    ExpectError<ECADListObjNotFound>([&] { doc.DeleteSourceBlock(42); },
                                     "TCADCmp.DeleteSourceBlock: No source block found");
    ExpectError<ECADListObjNotFound>([&] { doc.DeleteSourceBlock("ZZZ"); },
                                     "TQV_01Cmp2D.FindSourceBlock: Source block ZZZ not found");

    doc.DeleteObject(top->ID());
    EXPECT_EQ(a->ReferenceCount(), 0);
    doc.DeleteSourceBlock("A");
    EXPECT_EQ(doc.SourceBlocksCount(), 0);
}

TEST_F(BlockReferences, FreeSourceBlocksTakesChainsAndRefusesCircles)
{
    TQV_01Cmp2D doc;
    // C shows B, B shows A: each pass frees the block nobody shows any more.
    TSourceBlock2D* a = doc.AddSourceBlock(Source("A"));
    TSourceBlock2D* b = doc.AddSourceBlock(Source("B", a));
    doc.AddSourceBlock(Source("C", b));
    doc.FreeSourceBlocks();
    EXPECT_EQ(doc.SourceBlocksCount(), 0);

    TSourceBlock2D* y = AddCircle(doc, "X", "Y");
    doc.AddSourceBlock(Source("FREE"));
    ExpectError<ECADSourceBlockIsReferenced>(
        [&] { doc.FreeSourceBlocks(); },
        "TCADCmp.FreeSourceBlocks: CADSys 4.0 Severe error\n\r"
        "The drawing contains circular reference of source blocks. They will be not deleted !");
    EXPECT_EQ(doc.SourceBlocksCount(), 2);
    EXPECT_EQ(y->ReferenceCount(), 1);
}

TEST_F(BlockReferences, DestroyingTheDocumentFreesMutualReferencesWithoutRaising)
{
    bool freed[5] = {};
    auto doc = std::make_unique<TQV_01Cmp2D>();
    TSourceBlock2D* y = AddCircle(*doc, "X", "Y", &freed[0], &freed[1]);
    TSourceBlock2D* self = doc->AddSourceBlock(Source("SELF", nullptr, &freed[2]));
    self->Objects().Add(std::make_unique<TBlock2D>(4, self));
    doc->AddObject(-1, std::make_unique<TBlock2D>(0, y));
    doc->AddObject(-1, std::make_unique<TContainer2D>(0, Children(std::make_unique<TBlock2D>(5, self),
                                                                  Probe(6, 0, 0, 1, 1, &freed[3]))));
    doc->AddObject(-1, Probe(0, 0, 0, 1, 1, &freed[4]));

    EXPECT_NO_THROW(doc.reset());
    for (bool f : freed)
        EXPECT_TRUE(f);
}

TEST_F(BlockReferences, LoadingAndLibraryDeletionsKeepReferencedBlocks)
{
    TQV_01Cmp2D doc;
    TSourceBlock2D* library = doc.AddSourceBlock(Source("LIB"));
    library->SetLibrary(true);
    doc.AddSourceBlock(Source("UNSAVED"))->SetSaved(false);
    // B shows A and stands after it: A goes only in a second pass.
    TSourceBlock2D* a = doc.AddSourceBlock(Source("A"));
    doc.AddSourceBlock(Source("B", a));
    TSourceBlock2D* used = doc.AddSourceBlock(Source("USED"));
    doc.AddObject(-1, std::make_unique<TBlock2D>(0, used));

    doc.DeleteSavedSourceBlocks();
    std::vector<std::string> left;
    {
        TGraphicObjIterator it = doc.SourceBlocksIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            left.push_back(BlockNameText(dynamic_cast<TSourceBlock2D*>(o)->Name()));
    }
    EXPECT_EQ(left, (std::vector<std::string>{"LIB", "UNSAVED", "USED"}));

    doc.DeleteLibraryBlocks();
    EXPECT_EQ(doc.SourceBlocksCount(), 2);
    EXPECT_THROW(doc.FindSourceBlock("LIB"), ECADListObjNotFound);
}

TEST_F(BlockReferences, ASourceBlockFreedPastTheChecksUnlinksItsReferences)
{
    auto source = Source("GONE");
    TBlock2D reference(1, source.get());
    reference.SetTransform(Translation(5, 5));
    auto holder = std::make_unique<TContainer2D>(2, Children(std::move(source)));
    holder.reset(); // a container frees its children, referenced or not

    EXPECT_EQ(reference.SourceBlock(), nullptr);
    double distance = 0;
    EXPECT_EQ(reference.PickAt(MakePoint2D(5, 5), distance, 1), PickNone);
    reference.Draw();
    reference.UpdateBounds();
    EXPECT_EQ(BlockNameText(reference.Name()), "GONE");
}

}  // namespace block_reference_test
