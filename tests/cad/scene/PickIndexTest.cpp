// A pick asks only the objects the document's pick index finds near the
// point. These tests hold the view's pick to a walk over every object that
// the test does itself, after every step of a table of edit sequences, at a
// lattice of points and at every control point, with several apertures.

#include "cad/scene/QVScene.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/SourceBlock2D.h"
#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "core/model/ClassRegistry.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pick_index_test {

namespace {

std::unique_ptr<TLine2D> Line(double x1, double y1, double x2, double y2)
{
    return std::make_unique<TLine2D>(-1, Point2D(x1, y1), Point2D(x2, y2));
}

TMatrix4 Shift(double dx, double dy)
{
    return TMatrix4::CreateTranslation(dx, dy, 0.0);
}

struct TPick {
    TObject2D* Object = nullptr;
    int32_t Code = PickNone;
};

// A drawing shown in a view 800 pixels wide over 40 units, its undo
// journal and entity tree.
struct PickSequence {
    PickSequence() : Config("")
    {
        RegisterEntityClasses();
        Doc.SetTreeGeo(&Tree);
        View.SetViewportSize(800, 600);
        View.SetDocument(&Doc);
        View.FitBox(TBox3D{{-5.0, -5.0, 0.0}, {35.0, 25.0, 0.0}});
    }
    ~PickSequence() { QV_00ClearClassRegistry(); }

    // Lines, an arc (whose centre lies outside its box), a circle, a
    // polyline, a frame, a point, a container of two lines, a reference
    // to a source block, and a line on layer 3.
    void Populate()
    {
        Doc.AddObject(-1, Line(0, 0, 10, 0));
        Doc.AddObject(-1, Line(0, 0, 0, 10));
        Doc.AddObject(-1, Line(2, 2, 8, 7));
        Doc.AddObject(-1, std::make_unique<TArco2D>(-1, Point2D(15, 5), Point2D(19, 5), 0.3, 1.2));
        Doc.AddObject(-1, std::make_unique<TCerchio2D>(-1, Point2D(25, 5), Point2D(27, 5)));
        const std::array<TPoint2D, 4> zigzag{Point2D(0, 15), Point2D(4, 19), Point2D(8, 15), Point2D(12, 19)};
        Doc.AddObject(-1, std::make_unique<TPolyline2D>(-1, zigzag));
        Doc.AddObject(-1, std::make_unique<TRectangle2D>(-1, Point2D(15, 12), Point2D(22, 18)));
        Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, Point2D(26, 14)));
        std::vector<std::unique_ptr<TObject2D>> children;
        children.push_back(Line(28, 0, 30, 10));
        children.push_back(Line(28, 10, 30, 0));
        Doc.AddObject(-1, std::make_unique<TContainer2D>(-1, std::move(children)));
        std::vector<std::unique_ptr<TObject2D>> blockLines;
        blockLines.push_back(Line(0, 0, 3, 3));
        TSourceBlock2D* source = Doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(-1, std::move(blockLines), "BLK"));
        auto* block = Doc.AddObject(-1, std::make_unique<TBlock2D>(-1, source));
        block->Transform(Shift(4, 21));
        Doc.AddObjectOnLayer(-1, 3, Line(20, 20, 30, 22));
    }

    template <class T = TObject2D> T& Object(int32_t id)
    {
        T* object = dynamic_cast<T*>(Doc.GetObject(id));
        EXPECT_NE(object, nullptr) << "object " << id;
        return *object;
    }

    // The pick over every object in list order, by the rule the view
    // promises: pickable objects on active, visible layers; a code of at
    // least the best so far at a distance of at most the best so far wins.
    TPick WalkAll(const TPoint2D& p, double aperture, bool firstFound)
    {
        TPick pick;
        double best = aperture;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* found = it.First(); found; found = it.Next()) {
            auto* object = dynamic_cast<TObject2D*>(found);
            const TQV_21Layer& layer = Doc.Layers().GetLayer(object->Layer());
            if (!layer.Active() || !layer.Visible() || !object->Pickable())
                continue;
            double distance = PickFarDistance;
            const int32_t code = object->PickAt(p, distance, aperture);
            if (code == PickNone || code < pick.Code || distance > best)
                continue;
            pick = TPick{object, code};
            best = distance;
            if (firstFound)
                break;
        }
        return pick;
    }

    // The lattice over the drawing and every control point of every object
    // as drawn (through its transforms).
    std::vector<TPoint2D> ProbePoints()
    {
        // A coarser lattice over a large drawing, where each pick walks long.
        const double step = Doc.ObjectsCount() > 100 ? 2.0 : 1.0;
        std::vector<TPoint2D> points;
        for (double y = -3.0; y <= 26.0; y += 1.7 * step)
            for (double x = -3.0; x <= 34.0; x += 1.4 * step)
                points.push_back(Point2D(x, y));
        std::vector<TPoint2D> controlPoints;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* found = it.First(); found; found = it.Next()) {
            auto* primitive = dynamic_cast<TPrimitive2D*>(found);
            if (!primitive)
                continue;
            const TMatrix4 m = primitive->GetModelTransform();
            for (const TPoint2D& point : primitive->Points().Points())
                controlPoints.push_back(CartesianPoint2D(m.TransformPoint2D(point)));
        }
        // A large drawing lends a couple of hundred of its control points.
        const size_t stride = controlPoints.size() / 200 + 1;
        for (size_t i = 0; i < controlPoints.size(); i += stride)
            points.push_back(controlPoints[i]);
        return points;
    }

    void Check(const std::string& where)
    {
        int differences = 0;
        for (const TPoint2D& p : ProbePoints())
            for (const uint16_t aperture : {2, 12})
                for (const bool firstFound : {false, true}) {
                    const TPick expected = WalkAll(p, View.PixelSize() * aperture, firstFound);
                    int32_t code = 0;
                    TObject2D* picked = View.PickObject(p, aperture, firstFound, code);
                    if (picked == expected.Object && code == expected.Code)
                        continue;
                    if (++differences <= 3)
                        ADD_FAILURE() << where << ": at (" << p.X << ", " << p.Y << "), aperture " << aperture
                                      << (firstFound ? ", first found" : "") << ": picked "
                                      << (picked ? picked->ID() : -1) << " code " << code << ", expected "
                                      << (expected.Object ? expected.Object->ID() : -1) << " code "
                                      << expected.Code;
                }
        EXPECT_EQ(differences, 0) << where;
    }

    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQVScene View{Config};
    kbtest::TRecordingGeoTree Tree;
    TUndoRedo Journal{Doc};
};

using TStep = std::function<void(PickSequence&)>;
struct Sequence {
    const char* name;
    std::vector<TStep> steps;
};

std::vector<uint8_t> Saved(TQV_01Cmp2D& doc)
{
    TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Data();
}

TEST(PickIndex, PicksAsAWalkOverEveryObjectThroughEverySequence)
{
    // Object IDs after Populate: 0-2 lines, 3 arc, 4 circle, 5 polyline,
    // 6 frame, 7 point, 8 container, 9 block reference, 10 line on layer 3.
    const std::vector<Sequence> sequences = {
        {"adds inside and far outside the drawing, deletes",
         {[](PickSequence& f) {
              f.Doc.AddObject(-1, Line(3, 3, 5, 1));
              f.Doc.AddObject(-1, Line(31, 23, 33, 25));
          },
          [](PickSequence& f) {
              f.Doc.DeleteObject(2);
              f.Doc.DeleteObject(4);
          },
          [](PickSequence& f) { f.Doc.DeleteAllObjects(); }, [](PickSequence& f) { f.Populate(); }}},
        {"moves through the document, pending and applied",
         {[](PickSequence& f) { f.Doc.TransformObjects(std::array{0, 3, 8}, Shift(1.5, 2.0)); },
          [](PickSequence& f) { f.Object(5).Transform(Shift(0.0, -6.0)); },
          [](PickSequence& f) { f.Object(5).ApplyTransform(); },
          [](PickSequence& f) { f.Object(6).ResetTransforms(); }}},
        {"a model transform set without a box update",
         {[](PickSequence& f) { f.Object(2).SetModelTransform(Shift(12.0, 9.0)); },
          [](PickSequence& f) { f.Object(3).SetModelTransform(Shift(-9.0, 8.0)); }}},
        {"control points moved, with and without the set's events",
         {[](PickSequence& f) { f.Object<TPrimitive2D>(1).Points().SetPoint(1, Point2D(6, 24)); },
          [](PickSequence& f) {
              TPrimitive2D& arc = f.Object<TPrimitive2D>(3);
              arc.Points().Put(0, Point2D(20, 9));
              arc.UpdateBounds();
          },
          [](PickSequence& f) { f.Object<TPrimitive2D>(5).Points().Add(Point2D(18, 24)); },
          [](PickSequence& f) { f.Object<TPrimitive2D>(5).Points().Delete(0); }}},
        {"undo of a transform and of a delete",
         {[](PickSequence& f) {
              f.Journal.AddUndo(TUndoKind::Transform, std::vector<int32_t>{0, 6});
              f.Doc.TransformObjects(std::array{0, 6}, Shift(4.0, 4.0));
          },
          [](PickSequence& f) { f.Journal.Undo(); },
          [](PickSequence& f) {
              f.Journal.AddUndo(TUndoKind::Delete, std::vector<int32_t>{1, 5});
              f.Doc.DeleteObject(1);
              f.Doc.DeleteObject(5);
          },
          [](PickSequence& f) { f.Journal.Undo(); }}},
        {"layers moved to, hidden and made inactive",
         {[](PickSequence& f) { f.Doc.MoveObjectToLayer(f.Object(2), 3); },
          [](PickSequence& f) { f.Doc.Layers().GetLayer(3).SetVisible(0); },
          [](PickSequence& f) {
              f.Doc.Layers().GetLayer(3).SetVisible(1);
              f.Doc.Layers().GetLayer(0).SetActive(0);
          }}},
        {"container and block edits",
         {[](PickSequence& f) {
              auto& container = f.Object<TContainer2D>(8);
              container.Objects().Add(Line(26, 22, 33, 23));
              container.UpdateBounds();
          },
          [](PickSequence& f) { f.Object(8).Transform(Shift(-3.0, 1.0)); },
          [](PickSequence& f) {
              TSourceBlock2D& source = f.Doc.FindSourceBlock("BLK");
              source.Objects().Add(Line(0, 0, -2, -4));
              source.UpdateBounds();
          }}},
        {"load in place, merge, and a drawing taken out and put back",
         {[](PickSequence& f) {
              f.Object(0).Transform(Shift(2.0, 1.0));
              const std::vector<uint8_t> bytes = Saved(f.Doc);
              TMemoryStream load(bytes);
              EXPECT_FALSE(f.Doc.LoadFromStream(load, false).Partial);
          },
          [](PickSequence& f) {
              f.Object(7).Transform(Shift(3.0, -3.0));
              const std::vector<uint8_t> bytes = Saved(f.Doc);
              TMemoryStream merge(bytes);
              EXPECT_FALSE(f.Doc.LoadFromStream(merge, true).Partial);
          },
          [](PickSequence& f) {
              TQV_01Cmp::TTakenDrawing taken = f.Doc.TakeDrawing();
              f.Doc.AddObject(-1, Line(1, 1, 9, 9));
              f.Doc.PutBackDrawing(std::move(taken));
          }}},
        {"one object takes another's state, one its owner",
         {[](PickSequence& f) { f.Object(0).Assign(f.Object(2)); },
          [](PickSequence& f) {
              TQV_01Cmp2D other;
              f.Object(1).SetOwner(&other);
              f.Object(1).Transform(Shift(5.0, 5.0));
              f.Object(1).SetOwner(&f.Doc);
          }}},
        {"more changes than the index follows one by one",
         {[](PickSequence& f) {
              for (int i = 0; i < 300; ++i)
                  f.Doc.AddObject(-1, Line(i % 30, i / 15, i % 30 + 0.5, i / 15 + 0.25));
          },
          [](PickSequence& f) { f.Doc.TransformObjects(std::array{-1}, Shift(0.25, 0.5)); },
          [](PickSequence& f) {
              for (int32_t id = 11; id < 311; id += 2)
                  f.Doc.DeleteObject(id);
          },
          [](PickSequence& f) {
              for (int i = 0; i < 300; ++i)
                  f.Doc.AddObject(-1, Line(i % 30 + 0.3, i / 12, i % 30 + 0.1, i / 12 + 0.6));
          }}},
    };
    for (const Sequence& sequence : sequences) {
        PickSequence f;
        f.Populate();
        f.Check(std::string(sequence.name) + ", before");
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            sequence.steps[i](f);
            f.Check(std::string(sequence.name) + ", step " + std::to_string(i + 1));
        }
        // The same steps with the index first asked only after all of them:
        // it takes the objects in as they then stand.
        PickSequence late;
        late.Populate();
        for (const TStep& step : sequence.steps)
            step(late);
        late.Check(std::string(sequence.name) + ", first asked after every step");
    }
}

} // namespace

} // namespace pick_index_test
