#include "core/file/UndoRedo.h"

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Container2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Cerchio2D.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

namespace undo_redo_test {

namespace {

using kbtest::TBytes;
using TKind = kbtest::TRecordingGeoTree::TKind;
using TSnapshot = std::map<int32_t, std::string>;

TPoint2D P(double x, double y)
{
    return TPoint2D{x, y, 1.0};
}

// A drawing of two lines (layers 5 and 6), two arcs (5 and 6), a polyline
// (7) and a point (1) that no step touches; the current layer is 2.
struct TDrawing {
    TDrawing()
    {
        RegisterEntityClasses();
        Doc.AddViewport(&View);
        Doc.SetTreeGeo(&Tree);
        L = AddOn(5, std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
        M = AddOn(6, std::make_unique<TLine2D>(-1, P(0, 5), P(10, 5)));
        A = AddOn(5, std::make_unique<TArco2D>(-1, P(20, 0), P(25, 0), 0.0, 1.5));
        C = AddOn(6, std::make_unique<TArco2D>(-1, P(40, 0), P(42, 0), 1.0, 3.0));
        const TPoint2D points[] = {P(0, 20), P(5, 25), P(10, 20)};
        Poly = AddOn(7, std::make_unique<TPolyline2D>(-1, points));
        B = AddOn(1, std::make_unique<TPunto2D>(-1, P(1, 1)));
        Doc.SetCurrentLayer(2);
    }
    ~TDrawing() { QV_00ClearClassRegistry(); }

    template <class T>
    int32_t AddOn(int layer, std::unique_ptr<T> object)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::move(object))->ID();
    }
    // A new line the way a command adds one (current layer unless given).
    int32_t NewLine(int layer = -1)
    {
        auto line = std::make_unique<TLine2D>(-1, P(100, 100), P(110, 100));
        return layer < 0 ? Doc.AddObject(-1, std::move(line))->ID() : AddOn(layer, std::move(line));
    }
    TPrimitive2D& Entity(int32_t id) { return dynamic_cast<TPrimitive2D&>(*Doc.GetObject(id)); }
    // Moves every control point of the entity by dx.
    void Shift(int32_t id, double dx)
    {
        TPointsSet2D& points = Entity(id).Points();
        for (int i = 0; i < points.Count(); ++i) {
            TPoint2D p = points.Get(i);
            p.X += dx;
            points.SetPoint(i, p);
        }
    }
    void Delete(int32_t id) { Doc.DeleteObject(id); }

    // The layer of the tree's current node for the object; -1 without one.
    int TreeLayer(const TObject2D& object) const
    {
        for (auto e = Tree.Events.rbegin(); e != Tree.Events.rend(); ++e)
            if (e->Kind != TKind::Delete && e->Node == object.TreeNode())
                return e->Layer;
        return -1;
    }
    std::string Describe(TObject2D& object) const
    {
        std::ostringstream s;
        s.precision(17);
        s << object.ClassName() << " layer " << int(object.Layer()) << " node under " << TreeLayer(object);
        if (auto* entity = dynamic_cast<TPrimitive2D*>(&object))
            for (const TPoint2D& p : entity->Points().Points())
                s << " (" << p.X << ',' << p.Y << ',' << p.W << ')';
        const TMatrix4 m = object.GetModelTransform();
        s << " M";
        for (int i = 0; i < 16; ++i)
            s << ' ' << m.GetElement(i);
        if (auto* bitmap = dynamic_cast<TBitmap2D*>(&object))
            s << " opacity " << bitmap->Opacity();
        return s.str();
    }
    // Every object by ID; a second object under one ID shows as a second
    // description in the same entry.
    TSnapshot Snapshot()
    {
        TSnapshot snapshot;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            std::string& entry = snapshot[object->ID()];
            entry += (entry.empty() ? "" : " | ") + Describe(dynamic_cast<TObject2D&>(*object));
        }
        return snapshot;
    }

    kbtest::TRecordingWorkMonitor Monitor;
    kbtest::TRecordingNotifier Notifier;
    TQV_01Cmp2D Doc;
    kbtest::TRecordingDocumentView View;
    kbtest::TRecordingGeoTree Tree;
    TUndoRedo Journal{Doc};
    int32_t L = -1, M = -1, A = -1, C = -1, Poly = -1, B = -1;
};

// The journal bytes one step added.
std::vector<uint8_t> StepBytes(TUndoRedo& journal, const TUndoObj& step)
{
    const std::vector<uint8_t>& data = journal.JournalStream().Data();
    const int64_t end = step.RecordEnds.empty() ? step.Position : step.RecordEnds.back();
    return {data.begin() + step.Position, data.begin() + end};
}

} // namespace

TEST(UndoJournal, EveryKindUndoesItsOwnObjectsAndNothingElse)
{
    using TValues = std::vector<int32_t>;
    struct TCase {
        const char* Name;
        TUndoKind Kind;
        // What the command does before recording (objects it adds first);
        // returns the step's values.
        std::function<TValues(TDrawing&)> Before;
        // What it does to the drawing after recording.
        std::function<void(TDrawing&)> After;
    };
    auto none = [](TDrawing&) {};
    const TCase cases[] = {
        {"delete", TUndoKind::Delete, [](TDrawing& d) { return TValues{d.L}; },
         [](TDrawing& d) { d.Delete(d.L); }},
        {"trim two lines", TUndoKind::TrimLines, [](TDrawing& d) { return TValues{d.L, d.M}; },
         [](TDrawing& d) { d.Shift(d.L, 1), d.Shift(d.M, -1); }},
        {"trim line and arc", TUndoKind::TrimLineArc, [](TDrawing& d) { return TValues{d.L, d.A}; },
         [](TDrawing& d) { d.Shift(d.L, 1), d.Shift(d.A, 2); }},
        {"trim two arcs", TUndoKind::TrimArcs, [](TDrawing& d) { return TValues{d.A, d.C}; },
         [](TDrawing& d) { d.Shift(d.A, 1), d.Shift(d.C, 2); }},
        {"fillet two lines", TUndoKind::FilletLines, [](TDrawing& d) { return TValues{d.L, d.M, d.NewLine()}; },
         [](TDrawing& d) { d.Shift(d.L, 1), d.Shift(d.M, 1); }},
        {"fillet line and arc", TUndoKind::FilletLineArc,
         [](TDrawing& d) { return TValues{d.L, d.A, d.NewLine()}; },
         [](TDrawing& d) { d.Shift(d.L, 1), d.Shift(d.A, 1); }},
        {"fillet two arcs", TUndoKind::FilletArcs, [](TDrawing& d) { return TValues{d.A, d.C, d.NewLine()}; },
         [](TDrawing& d) { d.Shift(d.A, 1), d.Shift(d.C, 1); }},
        {"break", TUndoKind::Break, [](TDrawing& d) { return TValues{d.L, d.M, d.NewLine(5), d.NewLine(6)}; },
         [](TDrawing& d) { d.Delete(d.L), d.Delete(d.M); }},
        {"divide", TUndoKind::Divide, [](TDrawing& d) { return TValues{d.L, d.NewLine(5)}; },
         [](TDrawing& d) { d.Shift(d.L, 4); }},
        {"join", TUndoKind::Join, [](TDrawing& d) { return TValues{d.L, d.M}; },
         [](TDrawing& d) { d.Shift(d.L, 4), d.Delete(d.M); }},
        {"extend", TUndoKind::Extend, [](TDrawing& d) { return TValues{d.A}; }, [](TDrawing& d) { d.Shift(d.A, 3); }},
        {"explode", TUndoKind::Explode, [](TDrawing& d) { return TValues{d.Poly, d.NewLine(7), d.NewLine(7)}; },
         [](TDrawing& d) { d.Delete(d.Poly); }},
        {"node editing", TUndoKind::NodeEdit, [](TDrawing& d) { return TValues{d.Poly}; },
         [](TDrawing& d) { d.Shift(d.Poly, 1), d.Entity(d.Poly).Points().Add(P(7, 7)); }},
        {"transform copies", TUndoKind::TransformCopies, [](TDrawing& d) { return TValues{d.NewLine(), d.NewLine()}; },
         none},
        {"transform", TUndoKind::Transform, [](TDrawing& d) { return TValues{d.L, d.Poly}; },
         [](TDrawing& d) {
             for (int32_t id : {d.L, d.Poly}) {
                 d.Entity(id).SetTransform(TMatrix4::CreateRotationZ(30, true));
                 d.Entity(id).ApplyTransform();
             }
         }},
        {"non-uniform scale replace", TUndoKind::ScaleReplace,
         [](TDrawing& d) { return TValues{d.L, d.NewLine(), d.A, d.NewLine()}; },
         [](TDrawing& d) { d.Delete(d.L), d.Delete(d.A); }},
        {"offset replace", TUndoKind::OffsetReplace, [](TDrawing& d) { return TValues{d.NewLine(), d.NewLine(), d.C}; },
         [](TDrawing& d) { d.Delete(d.C); }},
        {"offset copy", TUndoKind::OffsetCopy, [](TDrawing& d) { return TValues{d.NewLine()}; }, none},
        {"move to layer", TUndoKind::MoveToLayer, [](TDrawing& d) { return TValues{d.L, 5, d.M, 6, d.Poly, 7}; },
         [](TDrawing& d) {
             for (int32_t id : {d.L, d.M, d.Poly})
                 d.Doc.MoveObjectToLayer(d.Entity(id), 9);
         }},
        {"polyline simplification", TUndoKind::SimplifyPolylines,
         [](TDrawing& d) { return TValues{d.Poly, d.NewLine(7)}; }, [](TDrawing& d) { d.Delete(d.Poly); }},
        {"new objects", TUndoKind::NewObjects, [](TDrawing& d) { return TValues{d.NewLine(), d.NewLine(3)}; }, none},
        {"copy to layer", TUndoKind::CopyToLayer, [](TDrawing& d) { return TValues{d.NewLine(9)}; }, none},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDrawing d;
        TSnapshot expected = d.Snapshot();
        const TValues values = c.Before(d);
        ASSERT_TRUE(d.Journal.AddUndo(c.Kind, values));
        c.After(d);
        // Meanwhile the user edits an object the step does not concern.
        d.Shift(d.B, 3);
        expected[d.B] = d.Describe(*d.Doc.GetObject(d.B));
        const size_t rebuilds = d.View.Rebuilds.size();

        d.Journal.Undo();
        // Re-added objects are back under their IDs on their own layers,
        // with their tree nodes under those layers, although the current
        // layer is 2.
        EXPECT_EQ(d.Snapshot(), expected);
        EXPECT_TRUE(d.Journal.Steps().empty());
        EXPECT_EQ(d.View.Rebuilds.size(), rebuilds + 1);
        EXPECT_EQ(d.Doc.CurrentLayer(), 2);
        EXPECT_EQ(d.Tree.UpdateDepth, 0);
    }
}

TEST(UndoJournal, RestoredPointsFollowEachEntityClass)
{
    TDrawing d;
    const TPoint2D four[] = {P(0, 0), P(4, 1), P(6, 5), P(9, 2)};
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(0xff336699);
    std::vector<std::unique_ptr<TObject2D>> entities;
    entities.push_back(std::make_unique<TPunto2D>(-1, P(3, 4)));
    entities.push_back(std::make_unique<TLine2D>(-1, P(0, 0), P(3, 4)));
    entities.push_back(std::make_unique<TArco2D>(-1, P(0, 0), P(2, 0), 0.5, 2.0));
    entities.push_back(std::make_unique<TEllipse2D>(-1, P(0, 0), P(4, 2)));
    entities.push_back(std::make_unique<TFilledEllipse2D>(-1, P(0, 0), P(4, 2)));
    entities.push_back(std::make_unique<TEllipseOpen2D>(-1, P(0, 0), P(4, 2), 0.3, 2.5));
    entities.push_back(std::make_unique<TCerchio2D>(-1, P(1, 1), P(3, 1)));
    entities.push_back(std::make_unique<TFilledCerchio2D>(-1, P(1, 1), P(3, 1)));
    entities.push_back(std::make_unique<TFrame2D>(-1, P(0, 0), P(5, 3)));
    entities.push_back(std::make_unique<TRectangle2D>(-1, P(0, 0), P(5, 3)));
    entities.push_back(std::make_unique<TPolyline2D>(-1, four));
    entities.push_back(std::make_unique<TPolygon2D>(-1, four));
    entities.push_back(std::make_unique<TBSpline2D>(-1, four));
    entities.push_back(std::make_unique<TQVBSpline2D>(-1, four));
    entities.push_back(std::make_unique<TBitmap2D>(-1, P(0, 0), P(4, 3), image));
    for (std::unique_ptr<TObject2D>& entity : entities) {
        const std::string name(entity->ClassName());
        SCOPED_TRACE(name);
        const int32_t id = d.Doc.AddObject(-1, std::move(entity))->ID();
        TPrimitive2D& e = d.Entity(id);
        e.SetTransform(TMatrix4::CreateRotationZ(20, true));
        e.ApplyTransform();
        auto* bitmap = dynamic_cast<TBitmap2D*>(&e);
        if (bitmap)
            bitmap->SetOpacity(0.25f);
        const std::string saved = d.Describe(e);
        ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::NodeEdit, {id}));

        d.Shift(id, 2.5);
        if (e.Points().Growable())
            e.Points().Add(P(-1, -1));
        e.SetTransform(TMatrix4::CreateTranslation(7, 0, 0));
        if (bitmap)
            bitmap->SetOpacity(0.75f);
        ASSERT_NE(d.Describe(e), saved);
        d.Journal.Undo();
        // Points, the model transform and, for the bitmap, the opacity.
        EXPECT_EQ(d.Describe(e), saved);
    }
}

TEST(UndoJournal, ObjectAndIDRecordsHaveTheStoredLayout)
{
    TDrawing d;
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Extend, {d.L}));
    TBytes line;
    line.I16(3).I32(d.L).U8(5).U8(0x03); // class id, ID, layer, visible and enabled
    for (int i = 0; i < 16; ++i)
        line.F64(i % 5 == 0 ? 1.0 : 0.0);
    line.I16(2).F64(0).F64(0).F64(1).F64(10).F64(0).F64(1).U8(0);
    EXPECT_EQ(StepBytes(d.Journal, d.Journal.Steps().back()), line.Data());

    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::NewObjects, {7, 9}));
    EXPECT_EQ(StepBytes(d.Journal, d.Journal.Steps().back()), TBytes().I32(7).I32(7).I32(9).I32(9).Data());
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::MoveToLayer, {7, 3, 9, 4}));
    EXPECT_EQ(StepBytes(d.Journal, d.Journal.Steps().back()), TBytes().I32(7).I32(3).I32(9).I32(4).Data());
    EXPECT_EQ(d.Journal.Steps().back().ValueCount, 4);
    EXPECT_EQ(d.Journal.Steps().back().RecordEnds.size(), 2u);
}

TEST(UndoJournal, AlikeKindsRecordOnlyTheObjectsThatExist)
{
    const TUndoKind kinds[] = {TUndoKind::Delete,          TUndoKind::TrimLines,  TUndoKind::TrimArcs,
                               TUndoKind::Extend,          TUndoKind::NodeEdit,   TUndoKind::TransformCopies,
                               TUndoKind::Transform,       TUndoKind::OffsetCopy, TUndoKind::CopyToLayer};
    for (TUndoKind kind : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        TDrawing d;
        TUndoRedo reference(d.Doc);
        ASSERT_TRUE(reference.AddUndo(kind, {d.L, d.M}));
        ASSERT_TRUE(d.Journal.AddUndo(kind, {-1, d.L, 999, d.M}));
        const TUndoObj& step = d.Journal.Steps().back();
        EXPECT_EQ(step.ValueCount, 2);
        EXPECT_EQ(StepBytes(d.Journal, step), StepBytes(reference, reference.Steps().back()));
        EXPECT_TRUE(d.Monitor.StatusMessages.empty());
    }
}

TEST(UndoJournal, PairKindsDropWholePairs)
{
    for (TUndoKind kind : {TUndoKind::ScaleReplace, TUndoKind::SimplifyPolylines}) {
        SCOPED_TRACE(static_cast<int>(kind));
        TDrawing d;
        const int32_t copy = d.NewLine();
        TUndoRedo reference(d.Doc);
        ASSERT_TRUE(reference.AddUndo(kind, {d.L, copy}));
        // (L, copy) is whole; 999 and 998 have no object; A is unpaired.
        ASSERT_TRUE(d.Journal.AddUndo(kind, {999, d.M, d.L, copy, d.Poly, 998, d.A}));
        EXPECT_EQ(d.Journal.Steps().back().ValueCount, 2);
        EXPECT_EQ(StepBytes(d.Journal, d.Journal.Steps().back()), StepBytes(reference, reference.Steps().back()));

        d.Delete(d.L);
        const TSnapshot before = d.Snapshot();
        d.Journal.Undo();
        TSnapshot after = d.Snapshot();
        EXPECT_EQ(after.count(copy), 0u);
        EXPECT_EQ(after.count(d.L), 1u);
        after.erase(d.L);
        TSnapshot rest = before;
        rest.erase(copy);
        EXPECT_EQ(after, rest) << "M, the polyline and the arc are left as they are";
    }
}

TEST(UndoJournal, PositionalKindsRefuseAStepTheyCouldNotReplay)
{
    struct TCase {
        TUndoKind Kind;
        std::vector<int32_t> Values; // 999 is no object
    };
    const TCase cases[] = {
        {TUndoKind::TrimLineArc, {999, 2}},        {TUndoKind::TrimLineArc, {0}},
        {TUndoKind::FilletLines, {0, 1, 999}},     {TUndoKind::FilletLineArc, {0, 2}},
        {TUndoKind::FilletArcs, {999, 3, 1}},      {TUndoKind::Break, {0, 999, 1}},
        {TUndoKind::Break, {0}},                   {TUndoKind::Divide, {0, 999}},
        {TUndoKind::Join, {999, 1}},               {TUndoKind::Explode, {4, 0, 999}},
        {TUndoKind::Explode, {}},                  {TUndoKind::OffsetReplace, {0, 999}},
        {TUndoKind::OffsetReplace, {}},            {static_cast<TUndoKind>(22), {0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Kind));
        TDrawing d;
        ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Extend, {d.L}));
        const int64_t size = d.Journal.JournalStream().Size();
        const int64_t position = d.Journal.JournalStream().Position();
        EXPECT_FALSE(d.Journal.AddUndo(c.Kind, c.Values));
        EXPECT_EQ(d.Journal.Steps().size(), 1u);
        EXPECT_EQ(d.Journal.JournalStream().Size(), size);
        EXPECT_EQ(d.Journal.JournalStream().Position(), position);
        EXPECT_EQ(d.Monitor.StatusMessages.size(), 1u) << "the refusal is reported";
    }
}

TEST(UndoJournal, TheNextStepIsWrittenFromTheUndonePosition)
{
    TDrawing d;
    const TSnapshot start = d.Snapshot();
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Extend, {d.L}));
    d.Shift(d.L, 1);
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::TrimLines, {d.M, d.A}));
    const int64_t undone = d.Journal.Steps().back().Position;
    d.Shift(d.M, 1);
    d.Journal.Undo();

    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::NodeEdit, {d.Poly}));
    EXPECT_EQ(d.Journal.Steps().back().Position, undone);
    d.Shift(d.Poly, 2);
    d.Journal.Undo();
    d.Journal.Undo();
    EXPECT_EQ(d.Snapshot(), start) << "each undo replayed its own records";
}

TEST(UndoJournal, ClearForgetsTheStepsAndKeepsTheStream)
{
    TDrawing d;
    int starts = 0;
    d.Journal.OnUndoStart = [&starts] { ++starts; };
    d.Journal.Undo();
    EXPECT_EQ(starts, 1) << "the panel is reset even with no step";
    EXPECT_TRUE(d.View.Rebuilds.empty());

    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Delete, {d.L}));
    d.Delete(d.L);
    d.Journal.Clear();
    const TSnapshot before = d.Snapshot();
    const int64_t size = d.Journal.JournalStream().Size();
    d.Journal.Undo();
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(d.Snapshot(), before);
    EXPECT_EQ(d.Journal.JournalStream().Size(), size);

    // Later steps go on from where the stream stands.
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::NewObjects, {d.M}));
    EXPECT_EQ(d.Journal.Steps().back().Position, size);
}

TEST(UndoJournal, ObjectsThatAreGoneAreSkipped)
{
    struct TCase {
        const char* Name;
        TUndoKind Kind;
        std::function<std::vector<int32_t>(TDrawing&)> Values;
        // The second object of the values must still be undone.
        std::function<void(TDrawing&, int32_t)> Check;
    };
    auto gone = [](TDrawing& d, int32_t id) { EXPECT_EQ(d.Doc.GetObject(id), nullptr); };
    const TCase cases[] = {
        {"restore", TUndoKind::Transform, [](TDrawing& d) { return std::vector<int32_t>{d.L, d.M}; },
         [](TDrawing& d, int32_t id) { EXPECT_EQ(d.Entity(id).Points().Get(0).X, 0.0); }},
        {"remove", TUndoKind::TransformCopies,
         [](TDrawing& d) { return std::vector<int32_t>{d.NewLine(), d.NewLine()}; }, gone},
        {"remove by ID", TUndoKind::NewObjects,
         [](TDrawing& d) { return std::vector<int32_t>{d.NewLine(), d.NewLine()}; }, gone},
        {"layer back", TUndoKind::MoveToLayer, [](TDrawing& d) { return std::vector<int32_t>{d.L, 5, d.M, 6}; },
         [](TDrawing& d, int32_t id) { EXPECT_EQ(d.Entity(id).Layer(), 6); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDrawing d;
        const std::vector<int32_t> values = c.Values(d);
        ASSERT_TRUE(d.Journal.AddUndo(c.Kind, values));
        const int32_t second = values[c.Kind == TUndoKind::MoveToLayer ? 2 : 1];
        if (c.Kind == TUndoKind::MoveToLayer)
            d.Doc.MoveObjectToLayer(d.Entity(second), 9);
        else
            d.Shift(second, 5);
        d.Delete(values[0]);
        d.Journal.Undo();
        EXPECT_EQ(d.Doc.GetObject(values[0]), nullptr);
        c.Check(d, second);
    }
}

TEST(UndoJournal, ReAddingNeverDuplicatesAnID)
{
    // An offset that replaced nothing leaves the picked entity in place.
    TDrawing d;
    const int32_t offset = d.NewLine();
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::OffsetReplace, {offset, d.C}));
    TSnapshot expected = d.Snapshot();
    expected.erase(offset);
    d.Journal.Undo();
    EXPECT_EQ(d.Snapshot(), expected);
}

TEST(UndoJournal, ADamagedJournalSkipsWhatItCannotRead)
{
    struct TCase {
        const char* Name;
        std::function<void(TMemoryStream&, const TUndoObj&)> Damage;
        bool FirstBack;
        bool SecondBack;
        size_t Messages;
    };
    const TCase cases[] = {
        {"second record cut short",
         [](TMemoryStream& s, const TUndoObj& step) { s.SetSize(static_cast<size_t>(step.RecordEnds[0] + 10)); },
         true, false, 0},
        {"whole step cut away",
         [](TMemoryStream& s, const TUndoObj& step) { s.SetSize(static_cast<size_t>(step.Position)); }, false, false,
         0},
        {"unknown class id",
         [](TMemoryStream& s, const TUndoObj& step) {
             s.SetPosition(step.Position);
             WriteInt16(s, 500);
         },
         false, true, 1},
        {"point count beyond the record",
         [](TMemoryStream& s, const TUndoObj& step) {
             s.SetPosition(step.Position + 2 + 6 + 128);
             WriteUInt16(s, 0xffff);
         },
         false, true, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDrawing d;
        ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Delete, {d.L, d.M}));
        d.Delete(d.L);
        d.Delete(d.M);
        c.Damage(d.Journal.JournalStream(), d.Journal.Steps().back());
        d.Journal.Undo();
        EXPECT_EQ(d.Doc.GetObject(d.L) != nullptr, c.FirstBack);
        EXPECT_EQ(d.Doc.GetObject(d.M) != nullptr, c.SecondBack);
        ASSERT_EQ(d.Notifier.Messages().size(), c.Messages);
        if (c.Messages) {
            EXPECT_EQ(d.Notifier.Messages()[0].Text, "Object class not found. Object not load");
        }

        // The journal goes on working.
        ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Extend, {d.A}));
        d.Shift(d.A, 1);
        d.Journal.Undo();
        EXPECT_EQ(d.Entity(d.A).Points().Get(0).X, 20.0);
    }
}

TEST(UndoJournal, ARestoredBlockReferenceIsLinkedToItsSource)
{
    // A reference on its own, and one inside a container.
    for (const bool inContainer : {false, true}) {
        SCOPED_TRACE(inContainer ? "in a container" : "alone");
        TDrawing d;
        try {
            QV_00FindClassIndex(TBlock2D::kClassName);
        } catch (const ECADObjClassNotFound&) {
            RegisterBlockClasses();
        }
        std::vector<std::unique_ptr<TObject2D>> children;
        children.push_back(std::make_unique<TLine2D>(0, P(0, 0), P(1, 1)));
        TSourceBlock2D* source =
            d.Doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(-1, std::move(children), "BOLT"));
        std::unique_ptr<TObject2D> object = std::make_unique<TBlock2D>(-1, source);
        if (inContainer) {
            std::vector<std::unique_ptr<TObject2D>> held;
            held.push_back(std::move(object));
            object = std::make_unique<TContainer2D>(-1, std::move(held));
        }
        const int32_t id = d.Doc.AddObject(-1, std::move(object))->ID();
        ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Delete, {id}));
        d.Delete(id);
        ASSERT_EQ(source->ReferenceCount(), 0);
        d.Journal.Undo();
        TObject2D* restored = d.Doc.GetObject(id);
        if (auto* container = dynamic_cast<TContainer2D*>(restored)) {
            TGraphicObjIterator it = container->Objects().GetIterator();
            restored = dynamic_cast<TObject2D*>(it.First());
        }
        auto* block = dynamic_cast<TBlock2D*>(restored);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->SourceBlock(), source);
        EXPECT_EQ(source->ReferenceCount(), 1);
        // So the block cannot be deleted under the restored reference.
        EXPECT_ANY_THROW(d.Doc.DeleteSourceBlock(source->ID()));
    }
}

TEST(UndoJournal, UndoWaitsWhileTheDrawingIsWalked)
{
    TDrawing d;
    ASSERT_TRUE(d.Journal.AddUndo(TUndoKind::Delete, {d.L}));
    d.Delete(d.L);
    {
        TGraphicObjIterator walk = d.Doc.ObjectsIterator();
        d.Journal.Undo();
    }
    EXPECT_EQ(d.Journal.Steps().size(), 1u);
    d.Journal.Undo();
    EXPECT_NE(d.Doc.GetObject(d.L), nullptr);
}

}  // namespace undo_redo_test
