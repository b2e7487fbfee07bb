// Explode, move to layer and copy to layer on a selection: what each makes
// of the drawing, the summary and result texts, the undo steps and their
// undo, and the cases that change nothing.

#include "cad/edit/BreakIDs.h"
#include "cad/edit/QV2D_Esplode.h"
#include "cad/edit/QV2d_MuoveInLayer.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/JournalRig.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace explode_layer_command_test {

namespace {

using kbtest::IsAt;
using kbtest::Shown;

constexpr double kPi = std::numbers::pi;

struct ExplodeAndLayerCommands : kbtest::TJournalRig {
    // Runs the state on a selection of the objects, as a selection hands
    // them over.
    template <class TState> void RunOn(const std::vector<TObject2D*>& objects)
    {
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr);
        for (TObject2D* object : objects)
            selection->Select(*object);
        Prg.StartOperation(StateClassOf<TState>(), std::move(selection));
        EXPECT_TRUE(Idle()) << CurrentClass();
    }

    TBitmap2D* AddBitmap()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        return AddOn(0, std::make_unique<TBitmap2D>(-1, TPoint2D{20, 20, 1}, TPoint2D{22, 22, 1}, image));
    }

    // A source block of the objects, added to the drawing's blocks.
    TSourceBlock2D* AddSource(std::vector<std::unique_ptr<TObject2D>> children, const char* name)
    {
        return Doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(-1, std::move(children), name));
    }
    TBlock2D* AddReference(TSourceBlock2D* source, const TMatrix4& transform)
    {
        auto reference = std::make_unique<TBlock2D>(-1, source);
        reference->SetModelTransform(transform);
        return AddOn(0, std::move(reference));
    }

    std::string Summary() { return Shell.Texts[TToolWinText::InfoExplode]; }
    std::string LayerResult() { return Shell.Texts[TToolWinText::MCLayer]; }
};

std::vector<std::unique_ptr<TObject2D>> Children(std::vector<TObject2D*> objects)
{
    std::vector<std::unique_ptr<TObject2D>> owned;
    for (TObject2D* o : objects)
        owned.emplace_back(o);
    return owned;
}

bool LineIs(const TObject2D* object, double x1, double y1, double x2, double y2)
{
    const auto* line = dynamic_cast<const TLine2D*>(object);
    return line && IsAt(Shown(*line, 0), x1, y1) && IsAt(Shown(*line, 1), x2, y2);
}

TEST_F(ExplodeAndLayerCommands, ExplodeTurnsOutlinesIntoLinesOnTheirLayerThenUndoes)
{
    TFrame2D* frame = AddOn(3, std::make_unique<TFrame2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 2, 1}));
    TPolyline2D* polyline =
        AddOn(1, std::make_unique<TPolyline2D>(-1, std::vector<TPoint2D>{{10, 0, 1}, {12, 0, 1}, {12, 3, 1}}));
    TPolygon2D* triangle =
        AddOn(2, std::make_unique<TPolygon2D>(-1, std::vector<TPoint2D>{{20, 0, 1}, {22, 0, 1}, {21, 2, 1}}));
    TBitmap2D* bitmap = AddBitmap();
    const std::vector<int32_t> originalIDs{frame->ID(), polyline->ID(), triangle->ID()};

    RunOn<TQV2D_Esplode>({frame, polyline, triangle, bitmap});
    EXPECT_EQ(Objects()[0], bitmap);
    const std::vector<TObject2D*> lines = AddedAfter<TObject2D>(1);
    ASSERT_EQ(lines.size(), 4u + 2 + 3);
    EXPECT_TRUE(LineIs(lines[0], 0, 0, 0, 2));
    EXPECT_TRUE(LineIs(lines[1], 0, 2, 4, 2));
    EXPECT_TRUE(LineIs(lines[2], 4, 2, 4, 0));
    EXPECT_TRUE(LineIs(lines[3], 4, 0, 0, 0));
    EXPECT_TRUE(LineIs(lines[4], 10, 0, 12, 0));
    EXPECT_TRUE(LineIs(lines[5], 12, 0, 12, 3));
    EXPECT_TRUE(LineIs(lines[8], 21, 2, 20, 0)) << "a polygon keeps its closing edge";
    const int layers[] = {3, 3, 3, 3, 1, 1, 2, 2, 2};
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i]->Layer(), layers[i]) << i;

    ASSERT_EQ(Journal.Steps().size(), 3u);
    for (const TUndoObj& step : Journal.Steps())
        EXPECT_EQ(step.Kind, TUndoKind::Explode);
    EXPECT_EQ(LastStepValues(), (std::vector<int32_t>{originalIDs[2], lines[6]->ID(), lines[7]->ID(),
                                                      lines[8]->ID()}));
    EXPECT_EQ(Tree.UpdateDepth, 0);
    EXPECT_EQ(Summary(), "3 object(s) exploded into 9 line(s) ") << "the bitmap is not counted";
    ASSERT_EQ(Shell.Pages.size(), 1u);
    EXPECT_EQ(Shell.Pages[0].Tabs, std::vector<TToolWinTab>{TToolWinTab::Explode});
    EXPECT_EQ(Shell.Pages[0].CaptionKey, "twExplode");
    EXPECT_EQ(Shell.Pages[0].ClientWidth, 224);
    EXPECT_EQ(Shell.Pages[0].ClientHeight, 160);

    for (int i = 0; i < 3; ++i)
        Journal.Undo();
    std::vector<int32_t> restored;
    for (TObject2D* o : AddedAfter<TObject2D>(1))
        restored.push_back(o->ID());
    std::sort(restored.begin(), restored.end());
    EXPECT_EQ(restored, originalIDs);
    EXPECT_EQ(Doc.GetObject(originalIDs[0])->Layer(), 3);
}

TEST_F(ExplodeAndLayerCommands, ExplodingABlockReferencePlacesItsSourceAndFreesItWithTheLastReference)
{
    TSourceBlock2D* source = AddSource(
        Children({new TLine2D(-1, {0, 0, 1}, {1, 0, 1}), new TArco2D(-1, {0, 0, 1}, {1, 0, 1}, 0, kPi / 2),
                  new TCerchio2D(-1, {5, 5, 1}, {6, 5, 1}),
                  new TPolyline2D(-1, std::vector<TPoint2D>{{0, 1, 1}, {1, 1, 1}}),
                  new TPolygon2D(-1, std::vector<TPoint2D>{{0, 2, 1}, {1, 2, 1}, {1, 3, 1}}),
                  new TPunto2D(-1, {7, 7, 1})}),
        "PARTS");
    AddReference(source, TMatrix4::CreateTranslation(10, 0, 0)); // picked below
    TBlock2D* second = AddReference(source, IdentityMatrix4());

    // Picked with the mouse, as the Explode command starts it.
    ASSERT_TRUE(StartExplodeCommand(Prg, false, nullptr));
    Driver.Click({10.5, 0, 1});
    Driver.Enter();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Summary(), "1 object(s) exploded into 1 line(s) 2 arc(s) and circle(s) 2 polyline(s) 1 other object(s)");
    std::vector<TObject2D*> made = AddedAfter<TObject2D>(1);
    ASSERT_EQ(made.size(), 6u);
    EXPECT_EQ(Objects()[0], second);
    EXPECT_EQ(Doc.SourceBlocksCount(), 1) << "still referenced";
    EXPECT_TRUE(LineIs(made[0], 10, 0, 11, 0));
    auto* arc = dynamic_cast<TArco2D*>(made[1]);
    ASSERT_NE(arc, nullptr);
    const TArcGeometry2D g = arc->GetArcGeometry();
    EXPECT_TRUE(IsAt(g.StartPoint, 11, 0));
    EXPECT_TRUE(IsAt(g.EndPoint, 10, 1));
    auto* circle = dynamic_cast<TCerchio2D*>(made[2]);
    ASSERT_NE(circle, nullptr);
    EXPECT_TRUE(IsAt(Shown(*circle, 0), 15, 5));
    auto* polygonCopy = dynamic_cast<TPolyline2D*>(made[4]);
    ASSERT_NE(polygonCopy, nullptr);
    EXPECT_EQ(polygonCopy->Points().Count(), 4) << "closed again at its first point";
    EXPECT_TRUE(IsAt(Shown(*polygonCopy, 3), 10, 2));
    auto* point = dynamic_cast<TPunto2D*>(made[5]);
    ASSERT_NE(point, nullptr) << "kinds without their own explosion are copied out, not lost";
    EXPECT_TRUE(IsAt(Shown(*point, 0), 17, 7));
    EXPECT_TRUE(Journal.Steps().empty()) << "a block's explosion has no undo";

    RunOn<TQV2D_Esplode>({second});
    EXPECT_EQ(Doc.SourceBlocksCount(), 0) << "no reference left";
    EXPECT_EQ(Doc.ObjectsCount(), 12);
}

TEST_F(ExplodeAndLayerCommands, ExplodedBlocksLookAsTheyWereShown)
{
    // A mirrored reference: the arc from 0 to 90 degrees shows from 90 to
    // 180 degrees and must stay there.
    TSourceBlock2D* arcs = AddSource(Children({new TArco2D(-1, {0, 0, 1}, {1, 0, 1}, 0, kPi / 2)}), "ARCS");
    RunOn<TQV2D_Esplode>({AddReference(arcs, TMatrix4::CreateMirror(1))});
    EXPECT_EQ(Summary(), "1 object(s) exploded into 1 arc(s) and circle(s) ");
    ASSERT_EQ(Objects().size(), 1u);
    const TArcGeometry2D g = dynamic_cast<TArco2D&>(*Objects()[0]).GetArcGeometry();
    EXPECT_NEAR(g.StartAngle, kPi / 2, 1e-9);
    EXPECT_NEAR(g.EndAngle, kPi, 1e-9);

    // A reference nested in a source takes its own transform, then the
    // outer one's; a source that contains itself is walked once.
    Doc.DeleteAllObjects();
    TSourceBlock2D* inner = AddSource(Children({new TLine2D(-1, {0, 0, 1}, {1, 0, 1})}), "INNER");
    auto nested = std::make_unique<TBlock2D>(-1, inner);
    nested->SetModelTransform(TMatrix4::CreateTranslation(5, 0, 0));
    TSourceBlock2D* outer = AddSource(Children({nested.release()}), "OUTER");
    outer->Objects().Add(std::make_unique<TBlock2D>(-1, outer));
    RunOn<TQV2D_Esplode>({AddReference(outer, TMatrix4::CreateTranslation(0, 10, 0))});
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_TRUE(LineIs(Objects()[0], 5, 10, 6, 10));
    EXPECT_NE(Doc.GetSourceBlock(outer->ID()), nullptr) << "still referenced by its own child";
}

TEST_F(ExplodeAndLayerCommands, ExplodeLeavesWhatItCannotExplode)
{
    TSourceBlock2D* library = AddSource(Children({new TLine2D(-1, {0, 0, 1}, {1, 0, 1})}), "LIB");
    library->SetLibrary(true);
    RunOn<TQV2D_Esplode>({AddReference(library, IdentityMatrix4())});
    EXPECT_EQ(Doc.SourceBlocksCount(), 1) << "library blocks are not thrown away";
    EXPECT_EQ(Doc.ObjectsCount(), 1);

    Doc.DeleteAllObjects();
    TBlock2D* unlinked = AddOn(0, TBlock2D::CreateByName(-1, "NONE"));
    TCerchio2D* circle = AddOn(0, std::make_unique<TCerchio2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{1, 0, 1}));
    TPolyline2D* single = AddOn(0, std::make_unique<TPolyline2D>(-1, std::vector<TPoint2D>{{3, 3, 1}}));
    TBitmap2D* bitmap = AddBitmap();
    RunOn<TQV2D_Esplode>({unlinked, circle, single, bitmap});
    EXPECT_EQ(Objects(), (std::vector<TObject2D*>{unlinked, circle, single, bitmap}));
    EXPECT_EQ(Summary(), "Nothing was exploded.");
    EXPECT_TRUE(Journal.Steps().empty());

    // Not a selection: nothing exploded, the summary still shown.
    Prg.StartOperation(StateClassOf<TQV2D_Esplode>(), std::make_unique<kbtest::TProbeParam>(Log));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shell.Pages.size(), 3u);
    EXPECT_EQ(Summary(), "Nothing was exploded.");
}

TEST_F(ExplodeAndLayerCommands, MoveToLayerRecordsTheFormerLayersAndUndoes)
{
    TLine2D* line = AddOn(1, std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 0, 1}));
    TCerchio2D* circle = AddOn(2, std::make_unique<TCerchio2D>(-1, TPoint2D{10, 0, 1}, TPoint2D{12, 0, 1}));
    Shell.Indexes[TToolWinIndex::LayerTo] = 3;
    const size_t treeEvents = Tree.Events.size();

    ASSERT_TRUE(StartChangeLayerCommand(Prg, false, true));
    Driver.Click({12, 0, 1});
    Driver.Click({2, 0, 1});
    Driver.Enter();

    EXPECT_TRUE(Idle());
    EXPECT_EQ(line->Layer(), 3);
    EXPECT_EQ(circle->Layer(), 3);
    EXPECT_EQ(LayerResult(), "2 object(s) moved to the layer.");
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::MoveToLayer);
    EXPECT_EQ(LastStepValues(), (std::vector<int32_t>{circle->ID(), 2, line->ID(), 1})) << "in selection order";
    ASSERT_EQ(Tree.Events.size(), treeEvents + 2);
    EXPECT_EQ(Tree.Events.back().Kind, kbtest::TRecordingGeoTree::TKind::Move);
    EXPECT_EQ(Tree.UpdateDepth, 0);

    Journal.Undo();
    EXPECT_EQ(line->Layer(), 1);
    EXPECT_EQ(circle->Layer(), 2);
}

TEST_F(ExplodeAndLayerCommands, CopyToLayerCountsOnlyTheCopiesMadeAndUndoes)
{
    TLine2D* line = AddOn(1, std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 0, 1}));
    line->SetModelTransform(TMatrix4::CreateTranslation(0, 5, 0));
    TBitmap2D* bitmap = AddBitmap();
    Shell.Indexes[TToolWinIndex::LayerTo] = 7;
    Doc.SetCurrentLayer(2);

    RunOn<TQV2d_CopiaInLayer>({line, bitmap});
    const std::vector<TLine2D*> copies = AddedAfter<TLine2D>(2);
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_NE(copies[0], nullptr);
    EXPECT_EQ(copies[0]->Layer(), 7);
    EXPECT_FALSE(copies[0]->HasTransform());
    EXPECT_TRUE(IsAt(Shown(*copies[0], 1), 4, 5));
    EXPECT_EQ(Doc.CurrentLayer(), 2);
    EXPECT_EQ(LayerResult(), "1 object(s) copied to the layer.") << "a bitmap cannot be copied";
    EXPECT_EQ(Journal.Steps().back().Kind, TUndoKind::CopyToLayer);
    EXPECT_EQ(LastStepValues(), std::vector<int32_t>{copies[0]->ID()});

    Journal.Undo();
    EXPECT_EQ(Objects(), (std::vector<TObject2D*>{line, bitmap}));
}

TEST_F(ExplodeAndLayerCommands, LayerCommandsWithoutSelectionOrLayerChangeNothing)
{
    TLine2D* line = AddOn(1, std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 0, 1}));
    struct TCase {
        const char* Name;
        int32_t Index;
        bool Select;
    };
    const TCase cases[] = {{"nothing selected", 3, false}, {"no layer chosen", -1, true}, {"beyond 255", 256, true}};
    for (const TCase& c : cases) {
        Shell.Indexes[TToolWinIndex::LayerTo] = c.Index;
        const std::vector<TObject2D*> selection = c.Select ? std::vector<TObject2D*>{line} : std::vector<TObject2D*>{};
        RunOn<TQV2d_MuoveInLayer>(selection);
        EXPECT_EQ(LayerResult(), "0 object(s) moved to the layer.") << c.Name;
        RunOn<TQV2d_CopiaInLayer>(selection);
        EXPECT_EQ(LayerResult(), "0 object(s) copied to the layer.") << c.Name;
        EXPECT_EQ(Objects(), std::vector<TObject2D*>{line}) << c.Name;
        EXPECT_EQ(line->Layer(), 1) << c.Name;
        EXPECT_TRUE(Journal.Steps().empty()) << c.Name;
    }
    Prg.StartOperation(StateClassOf<TQV2d_MuoveInLayer>(), std::make_unique<kbtest::TProbeParam>(Log));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(LayerResult(), "0 object(s) moved to the layer.");
}

} // namespace

}  // namespace explode_layer_command_test
