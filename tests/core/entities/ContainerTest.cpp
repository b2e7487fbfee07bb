#include "core/entities/Block2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Container2D.h"
#include "tests/core/ContainerFixtures.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <functional>

namespace container_test {

using namespace kbtest;

namespace {

struct Containers : ::testing::Test {
    TBlockClassesScope Classes;
};

// Reads the record through the registry, as the document's loaders do.
std::unique_ptr<TGraphicObject> ReadEntry(const TBytes& bytes, uint16_t classId, TMemoryStream& s)
{
    s.Clear();
    s.Write(bytes.Data().data(), bytes.Size());
    s.SetPosition(0);
    return QV_00FindClassByIndex(classId).CreateFromStream(s, "QV-3.6");
}

std::vector<uint8_t> Saved(TGraphicObject& object)
{
    TMemoryStream s;
    object.SaveToStream(s);
    return s.Data();
}

void ExpectTranslation(const TMatrix4* m, double dx, double dy)
{
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->IsEqual(Translation(dx, dy))) << m->GetElement(12) << "," << m->GetElement(13);
}

void ExpectRect(const TRect2D& r, double x1, double y1, double x2, double y2)
{
    EXPECT_NEAR(r.FirstEdge.X, x1, 1e-12);
    EXPECT_NEAR(r.FirstEdge.Y, y1, 1e-12);
    EXPECT_NEAR(r.SecondEdge.X, x2, 1e-12);
    EXPECT_NEAR(r.SecondEdge.Y, y2, 1e-12);
}

template <class E> void ExpectError(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// A child class that never got a cloning constructor.
class TNoClone final : public TTestObject2D {
public:
    using TTestObject2D::TTestObject2D;
    std::string_view ClassName() const override { return "TNoClone"; }
};

} // namespace

// --- records -------------------------------------------------------------------

TEST_F(Containers, ContainerAndSourceBlockRecordsFollowTheLayout)
{
    TBytes container;
    Matrix(Head(container, 7, 3), 10, 20).I32(2);
    ProbeEntry(container, 100);
    ProbeEntry(container, 101, 5);

    TMemoryStream s;
    std::unique_ptr<TGraphicObject> read = ReadEntry(container, ContainerClassId, s);
    auto* c = dynamic_cast<TContainer2D*>(read.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassName(), "TContainer2D");
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_EQ(c->ID(), 7);
    EXPECT_EQ(c->Layer(), 3);
    ExpectTranslation(c->ModelTransform(), 10, 20);
    ASSERT_EQ(c->Objects().Count(), 2);
    EXPECT_EQ(c->Objects().Head()->ID(), 100) << "children keep their stored IDs";
    EXPECT_EQ(c->Objects().Tail()->ID(), 101);
    ExpectTranslation(dynamic_cast<TObject2D*>(c->Objects().Tail())->ModelTransform(), 5, 0);
    EXPECT_EQ(Saved(*c), container.Data());

    // The head says "not saved" (flags 7); the source block's own byte wins.
    TBytes block;
    Matrix(Head(block, 2, 0, 7)).I32(1);
    ProbeEntry(block, 50).U8(1).U8(1);
    Name13(block, "WHEEL");
    read = ReadEntry(block, SourceBlockClassId, s);
    auto* source = dynamic_cast<TSourceBlock2D*>(read.get());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_TRUE(source->Saved());
    EXPECT_TRUE(source->Library());
    EXPECT_EQ(BlockNameText(source->Name()), "WHEEL");
    EXPECT_EQ(source->ReferenceCount(), 0);
    EXPECT_EQ(source->Objects().Count(), 1);

    TBytes expected;
    Matrix(Head(expected, 2)).I32(1);
    ProbeEntry(expected, 50).U8(1).U8(1);
    Name13(expected, "WHEEL");
    EXPECT_EQ(Saved(*source), expected.Data());
}

TEST_F(Containers, BlockAndInsertRecordsFollowTheLayout)
{
    for (const uint16_t classId : {BlockClassId, InsertClassId}) {
        SCOPED_TRACE(classId);
        TBytes bytes;
        Matrix(Head(bytes, 9, 4), 1, 2);
        Name13(bytes, "BOLT").F64(4).F64(5).F64(1);
        TMemoryStream s;
        std::unique_ptr<TGraphicObject> read = ReadEntry(bytes, classId, s);
        auto* block = dynamic_cast<TBlock2D*>(read.get());
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->ClassName(), classId == BlockClassId ? "TBlock2D" : "TInsert");
        EXPECT_EQ(s.Remaining(), 0);
        EXPECT_EQ(block->ID(), 9);
        EXPECT_EQ(BlockNameText(block->Name()), "BOLT");
        EXPECT_EQ(block->InsertionPoint().X, 4);
        EXPECT_EQ(block->InsertionPoint().Y, 5);
        EXPECT_EQ(block->InsertionPoint().W, 1);
        EXPECT_EQ(block->SourceBlock(), nullptr) << "linked only by UpdateReference";
        EXPECT_EQ(Saved(*block), bytes.Data());
    }
}

TEST_F(Containers, DamagedRecordsRaiseClearErrors)
{
    auto container = [](int32_t n) {
        TBytes b;
        Matrix(Head(b, 1)).I32(n);
        return b;
    };
    struct TCase {
        const char* Name;
        TBytes Bytes;
        uint16_t ClassId;
        std::function<void(const std::function<void()>&)> Expect;
    };
    auto fileNotValid = [](std::string message) {
        return [message](const std::function<void()>& call) { ExpectError<ECADFileNotValid>(call, message); };
    };
    auto readError = [](const std::function<void()>& call) {
        ExpectError<EStreamReadError>(call, "Stream read error");
    };

    std::vector<TCase> cases;
    cases.push_back({"negative count", container(-1), ContainerClassId,
                     fileNotValid("TContainer2D.CreateFromStream: Invalid number of children -1")});
    TBytes tooMany = container(1000);
    ProbeEntry(tooMany, 1);
    cases.push_back({"count beyond the stream", tooMany, ContainerClassId,
                     fileNotValid("TContainer2D.CreateFromStream: Invalid number of children 1000")});
    TBytes unknown = container(1);
    Matrix(Head(unknown.I16(10), 2));
    cases.push_back({"unregistered class", unknown, ContainerClassId, [](const std::function<void()>& call) {
                         ExpectError<ECADObjClassNotFound>(call, "QV_00FindClassByIndex: Index not registered");
                     }});
    TBytes negativeId = container(1);
    Matrix(Head(negativeId.I16(-1), 2));
    cases.push_back({"negative class id", negativeId, ContainerClassId, [](const std::function<void()>& call) {
                         ExpectError<ECADOutOfBound>(call, "QV_00FindClassByIndex: Out of bound registration index");
                     }});
    TBytes shortChild = container(1);
    Head(shortChild.I16(static_cast<int16_t>(ProbeClassId)), 2);
    for (int i = 0; i < 12; ++i)
        shortChild.F64(0); // 96 of the 128 transform bytes
    cases.push_back({"child cut short", shortChild, ContainerClassId, readError});
    TBytes shortName = container(0);
    shortName.U8(1).U8(0).Str("ABCDE");
    cases.push_back({"source block name cut short", shortName, SourceBlockClassId, readError});
    TBytes shortPoint;
    Matrix(Head(shortPoint, 1));
    Name13(shortPoint, "B").F64(1);
    cases.push_back({"insertion point cut short", shortPoint, BlockClassId, readError});

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream s;
        c.Expect([&] { ReadEntry(c.Bytes, c.ClassId, s); });
    }
}

TEST_F(Containers, NestingDepthIsBoundedWhenReading)
{
    auto nested = [](int depth) {
        TBytes b;
        for (int level = 1; level <= depth; ++level) {
            if (level > 1)
                b.I16(static_cast<int16_t>(ContainerClassId));
            Matrix(Head(b, level)).I32(level < depth ? 1 : 0);
        }
        return b;
    };
    TMemoryStream s;
    std::unique_ptr<TGraphicObject> deepest = ReadEntry(nested(kMaxContainerNesting), ContainerClassId, s);
    EXPECT_EQ(s.Remaining(), 0);
    ExpectError<ECADFileNotValid>([&] { ReadEntry(nested(kMaxContainerNesting + 1), ContainerClassId, s); },
                                  "TContainer2D.CreateFromStream: Containers nested too deep");
    // The failed read left the depth count where it was.
    EXPECT_NO_THROW(ReadEntry(nested(kMaxContainerNesting), ContainerClassId, s));
}

// --- bounds ----------------------------------------------------------------------

TEST_F(Containers, BoundsFollowChildrenAndTransforms)
{
    struct TCase {
        const char* Name;
        TMatrix4 Transform;
        double X1, Y1, X2, Y2;
    };
    const TCase cases[] = {
        {"no transform", TMatrix4(), 0, 0, 4, 5},
        {"translated", Translation(10, -1), 10, -1, 14, 4},
        // (x, y) -> (-y, x) + (10, 0)
        {"rotated then translated",
         [] {
             TMatrix4 m = TMatrix4::CreateRotationZ(90, true);
             m.Translate(10, 0, 0);
             return m;
         }(),
         5, 0, 10, 4},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TContainer2D container(1, Children(Probe(1, 0, 0, 1, 1), Probe(2, 2, 3, 4, 5)));
        container.SetTransform(c.Transform);
        ExpectRect(container.Box(), c.X1, c.Y1, c.X2, c.Y2);
    }

    // A child's own transform comes first, the container's after it.
    auto moved = Probe(1, 0, 0, 1, 1);
    moved->SetTransform(Translation(1, 1));
    TContainer2D withMoved(1, Children(std::move(moved)));
    withMoved.SetTransform(Translation(10, 0));
    ExpectRect(withMoved.Box(), 11, 1, 12, 2);

    TContainer2D empty(1);
    empty.SetTransform(Translation(10, 10));
    ExpectRect(empty.Box(), 0, 0, 0, 0);
}

TEST_F(Containers, BlockBoundsAreTheSourceBoxUnderTheReference)
{
    TSourceBlock2D source(0, Children(Probe(1, 0, 0, 1, 1), Probe(2, 2, 3, 4, 5)), "S");
    TBlock2D block(5, &source);
    ExpectRect(block.Box(), 0, 0, 4, 5);
    TMatrix4 m = TMatrix4::CreateScale(2, 2, 1);
    m.Translate(100, 0, 0);
    block.SetTransform(m);
    ExpectRect(block.Box(), 100, 0, 108, 10);

    // The source is brought up to date first; the insert does so quietly.
    int changes = 0;
    source.SetOnChange([&](TGraphicObject&) { ++changes; });
    source.Objects().Add(Probe(3, -1, -1, 0, 0));
    block.UpdateBounds();
    ExpectRect(block.Box(), 98, -2, 108, 10);
    EXPECT_EQ(changes, 1);
    std::unique_ptr<TBlock2D> insert = std::make_unique<TInsert>(6, "S");
    insert->SetSourceBlock(&source);
    const int before = changes;
    insert->UpdateBounds();
    ExpectRect(insert->Box(), -1, -1, 4, 5);
    EXPECT_EQ(changes, before);

    // Unlinked: the box is left as it was.
    std::unique_ptr<TBlock2D> byName = TBlock2D::CreateByName(7, "S");
    byName->SetTransform(Translation(5, 5));
    ExpectRect(byName->Box(), 0, 0, 0, 0);
    EXPECT_EQ(byName->InsertionPoint().W, 0) << "a reference by name starts all zero";
}

// --- picking ---------------------------------------------------------------------

TEST_F(Containers, PickingReturnsTheNearestChildID)
{
    struct TCase {
        const char* Name;
        TPoint2D Point;
        bool Enabled;
        int32_t Result;
        double Distance;
    };
    // Children centred at (101, 1) and (105, 1) once moved; aperture 0.5.
    const TCase cases[] = {
        {"near child 11", MakePoint2D(101, 1.2), true, 11, 0.2},
        {"on child 12", MakePoint2D(105, 1), true, 12, 0},
        {"in the box, no child", MakePoint2D(103, 1), true, PickInBox, 1.0},
        {"outside", MakePoint2D(90, 1), true, PickNone, PickFarDistance},
        {"disabled", MakePoint2D(101, 1), false, PickNone, PickFarDistance},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TContainer2D container(1, Children(Probe(11, 0, 0, 2, 2), Probe(12, 4, 0, 6, 2)));
        container.SetTransform(Translation(100, 0));
        container.SetEnabled(c.Enabled);
        double distance = -1;
        EXPECT_EQ(container.PickAt(c.Point, distance, 0.5), c.Result);
        EXPECT_NEAR(distance, c.Distance, 1e-12);
    }
}

TEST_F(Containers, BlockPickingHitsTheInsertionPointOrTheSourceChild)
{
    TSourceBlock2D source(0, Children(Probe(11, 0, 0, 2, 2), Probe(12, 4, 0, 6, 2)), "S");
    struct TCase {
        const char* Name;
        TPoint2D Point;
        bool Enabled;
        int32_t Result;
    };
    const TCase cases[] = {
        {"insertion point", MakePoint2D(0.1, 50.1), true, PickOnObject},
        {"source child", MakePoint2D(5, 51), true, 12},
        {"in the box only", MakePoint2D(3, 51), true, PickInBox},
        {"outside", MakePoint2D(3, 40), true, PickNone},
        {"disabled", MakePoint2D(5, 51), false, PickNone},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBlock2D block(1, &source);
        block.SetTransform(Translation(0, 50));
        block.SetEnabled(c.Enabled);
        double distance = -1;
        EXPECT_EQ(block.PickAt(c.Point, distance, 0.5), c.Result);
    }
    std::unique_ptr<TBlock2D> unlinked = TBlock2D::CreateByName(2, "S");
    double distance = -1;
    EXPECT_EQ(unlinked->PickAt(MakePoint2D(0, 0), distance, 10), PickNone);
    EXPECT_EQ(distance, PickFarDistance);
}

// --- drawing ---------------------------------------------------------------------

TEST_F(Containers, ChildrenDrawUnderTheirOwnThenTheHolderTransform)
{
    TRecordingViewServices services;
    auto probe = Probe(1, 0, 0, 1, 1);
    TProbe* child = probe.get();
    child->SetModelTransform(Translation(1, 0));
    child->Transform(Translation(0, 2));
    TContainer2D container(1, Children(std::move(probe)));
    // Model and pending both set: the combined transform lives in the
    // shared scratch matrix, which the children overwrite.
    container.SetModelTransform(Translation(10, 0));
    container.Transform(Translation(0, 0.5));

    container.Draw();
    ASSERT_EQ(child->Drawn.size(), 1u);
    EXPECT_TRUE(child->Drawn[0].IsEqual(Translation(11, 2.5)));
    EXPECT_EQ(services.Scene.CurrentTargetGroup(), services.Scene.Group(TSceneGroup::Entity));
    ExpectTranslation(child->ModelTransform(), 1, 0);
    ExpectTranslation(child->PendingTransform(), 0, 2);
    ExpectRect(child->Box(), 1, 2, 2, 3);

    container.DrawSelected();
    ASSERT_EQ(child->Highlighted.size(), 1u);
    EXPECT_TRUE(child->Highlighted[0].IsEqual(Translation(11, 2.5)));
    EXPECT_EQ(services.Scene.CurrentTargetGroup(), services.Scene.Group(TSceneGroup::Selection));

    // On the canvas a nested container hands down its own transform, then
    // its parent's.
    auto inner = std::make_unique<TContainer2D>(2, Children(Probe(3, 0, 0, 1, 1)));
    auto* deep = dynamic_cast<TProbe*>(inner->Objects().Head());
    inner->SetTransform(Translation(1, 0));
    TContainer2D outer(4, Children(std::move(inner)));
    outer.SetTransform(Translation(10, 0));
    outer.DrawOnCanvas(services.Canvas, false);
    ASSERT_EQ(deep->OnCanvas.size(), 1u);
    EXPECT_TRUE(deep->OnCanvas[0].IsEqual(Translation(11, 0)));
}

TEST_F(Containers, EachReferenceDrawsTheSharedChildrenOnce)
{
    TRecordingViewServices services;
    TSourceBlock2D source(0, Children(Probe(1, 0, 0, 1, 1)), "S");
    auto* child = dynamic_cast<TProbe*>(source.Objects().Head());
    TBlock2D first(1, &source);
    TBlock2D second(2, &source);
    second.SetTransform(Translation(100, 0));
    first.Draw();
    second.Draw();
    second.DrawOnCanvas(services.Canvas, false);
    ASSERT_EQ(child->Drawn.size(), 2u);
    EXPECT_TRUE(child->Drawn[0].IsEqual(TMatrix4()));
    EXPECT_TRUE(child->Drawn[1].IsEqual(Translation(100, 0)));
    ASSERT_EQ(child->OnCanvas.size(), 1u);
    EXPECT_TRUE(child->OnCanvas[0].IsEqual(Translation(100, 0)));
    EXPECT_EQ(child->ModelTransform(), nullptr);
    EXPECT_EQ(child->PendingTransform(), nullptr);
}

TEST_F(Containers, ReferencesInACircleDrawAndPickOnce)
{
    TRecordingViewServices services;
    TSourceBlock2D source(0, Children(Probe(1, 0, 0, 1, 1)), "LOOP");
    // The source shows a reference to itself, as a damaged import may link.
    auto self = TBlock2D::CreateByName(2, "LOOP");
    self->SetSourceBlock(&source);
    source.Objects().Add(std::move(self));
    TBlock2D top(3, &source);
    auto* child = dynamic_cast<TProbe*>(source.Objects().Head());

    top.Draw();
    top.DrawOnCanvas(services.Canvas, false);
    EXPECT_EQ(child->Drawn.size(), 1u);
    EXPECT_EQ(child->OnCanvas.size(), 1u);
    double distance = 0;
    EXPECT_EQ(top.PickAt(MakePoint2D(0.5, 0.5), distance, 0.1), 1);
    EXPECT_EQ(source.ReferenceCount(), 2);
}

// --- Assign and Clone --------------------------------------------------------------

TEST_F(Containers, AssignDeepCopiesEveryChild)
{
    TSourceBlock2D shared(0, Children(Probe(1, 0, 0, 1, 1)), "SHARED");
    auto first = Probe(21, 0, 0, 1, 1);
    first->SetLayer(5);
    first->SetPickable(false);
    first->SetOwnColor(0x0000ff);
    first->SetModelTransform(Translation(1, 0));
    first->Transform(Translation(0, 2));
    auto nested = std::make_unique<TContainer2D>(22, Children(Probe(23, 7, 7, 8, 9)));
    nested->SetBasePoint(3, 4);
    auto source = std::make_unique<TContainer2D>(
        20, Children(std::move(first), std::move(nested), std::make_unique<TBlock2D>(24, &shared)));
    source->SetTransform(Translation(0, 30));

    bool oldChildFreed = false;
    TContainer2D target(30, Children(Probe(31, 0, 0, 1, 1, &oldChildFreed)));
    target.Assign(*source);

    EXPECT_TRUE(oldChildFreed);
    EXPECT_EQ(target.ID(), 30) << "Assign keeps the target's ID";
    ExpectTranslation(target.ModelTransform(), 0, 30);
    EXPECT_EQ(shared.ReferenceCount(), 2) << "the copied reference counts once";
    ASSERT_EQ(target.Objects().Count(), 3);
    std::vector<TGraphicObject*> copies;
    {
        TGraphicObjIterator it = target.Objects().GetIterator();
        TGraphicObjIterator from = source->Objects().GetIterator();
        TGraphicObject* original = from.First();
        for (TGraphicObject* copy = it.First(); copy; copy = it.Next(), original = from.Next()) {
            EXPECT_NE(copy, original);
            EXPECT_EQ(copy->ID(), original->ID());
            EXPECT_EQ(copy->ClassName(), original->ClassName());
            copies.push_back(copy);
        }
    }
    auto* firstCopy = dynamic_cast<TProbe*>(copies[0]);
    EXPECT_EQ(firstCopy->Layer(), 5);
    EXPECT_FALSE(firstCopy->Pickable());
    EXPECT_EQ(firstCopy->OwnColor(), 0x0000ffu);
    ExpectTranslation(firstCopy->ModelTransform(), 1, 0);
    ExpectTranslation(firstCopy->PendingTransform(), 0, 2);
    auto* nestedCopy = dynamic_cast<TContainer2D*>(copies[1]);
    EXPECT_EQ(nestedCopy->BasePoint().X, 3);
    auto* blockCopy = dynamic_cast<TBlock2D*>(copies[2]);
    EXPECT_EQ(blockCopy->SourceBlock(), &shared);
    EXPECT_EQ(BlockNameText(blockCopy->Name()), "SHARED");

    // The copies stand on their own once the source is gone.
    source.reset();
    EXPECT_EQ(shared.ReferenceCount(), 1);
    ASSERT_EQ(nestedCopy->Objects().Count(), 1);
    ExpectRect(dynamic_cast<TProbe*>(nestedCopy->Objects().Head())->Local, 7, 7, 8, 9);
}

TEST_F(Containers, AssignRefusesOrFailsWithoutChangingTheTarget)
{
    auto check = [](TContainer2D& target, const std::function<void()>& call, const std::string& message) {
        ExpectError<ECADSysException>(call, message);
        EXPECT_EQ(target.Objects().Count(), 1);
        EXPECT_EQ(target.Objects().Head()->ID(), 2);
        EXPECT_FALSE(target.HasTransform());
    };
    TContainer2D source(1, Children(Probe(3, 0, 0, 1, 1), std::make_unique<TNoClone>(4)));
    source.SetTransform(Translation(5, 5));
    TContainer2D target(1, Children(Probe(2, 0, 0, 1, 1)));

    check(target, [&] { target.Assign(source); }, "TNoClone.Clone: This class cannot be copied");
    {
        TExclusiveGraphicObjIterator walk = source.Objects().GetExclusiveIterator();
        check(target, [&] { target.Assign(source); }, "TContainer2D.Assign: The list has an exclusive iterator.");
    }
    TContainer2D cloneable(1, Children(Probe(3, 0, 0, 1, 1)));
    TGraphicObjIterator walk = target.Objects().GetIterator();
    check(target, [&] { target.Assign(cloneable); }, "TContainer2D.Assign: The list has active iterators.");
}

TEST_F(Containers, AssignFromOwnChildCopiesBeforeFreeing)
{
    auto inner = std::make_unique<TSourceBlock2D>(2, Children(Probe(3, 1, 1, 2, 2)), "IN");
    inner->SetSaved(false);
    TContainer2D* innerRaw = inner.get();
    TSourceBlock2D outer(1, Children(std::move(inner)), "OUT");
    outer.Assign(*innerRaw); // frees innerRaw on the way
    ASSERT_EQ(outer.Objects().Count(), 1);
    EXPECT_EQ(outer.Objects().Head()->ID(), 3);
    EXPECT_FALSE(outer.Saved()) << "the saved flag comes along from a source block";
    EXPECT_EQ(BlockNameText(outer.Name()), "OUT") << "the name stays";
}

}  // namespace container_test
