// Labels end to end: texts set in the real stroke font through the shared
// converter, outlines put into a drawing with its undo journal, and the
// chains of the operation being edited.

#include "cam/chains/Catena.h"
#include "cam/chains/ChainHooks.h"
#include "core/entities/Container2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Etichetta.h"
#include "core/entities/LabelServices.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/VectFont.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/text/LabelStrokeText.h"
#include "io/text/Testo2Container.h"
#include "tests/cam/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Each stroke's points as (X, Y, W).
using TStrokes = std::vector<std::vector<std::array<double, 3>>>;

std::vector<std::array<double, 3>> PointsOf(const TPolyline2D& polyline)
{
    std::vector<std::array<double, 3>> points;
    for (const TPoint2D& p : polyline.Points().Points())
        points.push_back({p.X, p.Y, p.W});
    return points;
}

class LabelTest : public ::testing::Test {
protected:
    LabelTest()
    {
        RegisterEntityClasses(); // the journal keeps object records
        CADSysRegisterFontFromFile(0, std::string(KB_DATA_DIR) + "/RomanC.fnd");
        InstallChainHooks();
        InstallLabelTextConverter();
        m_PreviousJournal = SetUndoJournal(&Journal);
    }
    ~LabelTest() override
    {
        SetUndoJournal(m_PreviousJournal);
        SetLabelTextConverter(nullptr);
        SetLabelChainWriter({});
        SharedTextConverter().SetStrokeFontIndex(0);
        CADSysClearFontRegistry();
        QV_00ClearClassRegistry();
    }

    // The outline containers in the drawing.
    std::vector<TContainer2D*> Containers()
    {
        std::vector<TContainer2D*> found;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            if (auto* container = dynamic_cast<TContainer2D*>(object))
                found.push_back(container);
        return found;
    }
    static TStrokes Outline(const TContainer2D& container)
    {
        TStrokes strokes;
        TGraphicObjIterator it = container.Objects().GetIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            strokes.push_back(PointsOf(dynamic_cast<TPolyline2D&>(*object)));
        return strokes;
    }
    // What the converter makes of the labels on its own.
    static TStrokes Expected(const std::vector<TDatiEtichetta>& labels)
    {
        TStrokes strokes;
        for (const TDatiEtichetta& label : labels) {
            TTesto2Container converter;
            converter.SetTextHeight(label.Height);
            converter.SetCharSpacing(label.Spacing);
            std::vector<std::unique_ptr<TPolyline2D>> polylines;
            converter.StrokeTextToPolylines(label.Text, polylines, label.Y, label.X);
            for (const auto& polyline : polylines)
                strokes.push_back(PointsOf(*polyline));
        }
        return strokes;
    }

    kbtest::TFakeChainContext Context;
    TQV_01Cmp2D Doc;
    TUndoRedo Journal{Doc};

private:
    TUndoRedo* m_PreviousJournal = nullptr;
};

TEST_F(LabelTest, EdgeCases)
{
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"a new label: one entry, empty at (0, 0), height 10, spacing 1, font 0; an added entry likewise",
         [] {
             TEtichetta label(false);
             label.AppendLabel();
             EXPECT_EQ(label.FontIndex(), 0);
             ASSERT_EQ(label.LabelCount(), 2);
             for (const TDatiEtichetta& entry : label.Labels()) {
                 EXPECT_EQ(entry.Text, "");
                 EXPECT_EQ(entry.X, 0.0f);
                 EXPECT_EQ(entry.Y, 0.0f);
                 EXPECT_EQ(entry.Height, 10.0f);
                 EXPECT_EQ(entry.Spacing, 1.0f);
             }
             EXPECT_EQ(label.OutlineContainer(nullptr), nullptr);
         }},
        {"two entries saved and read back: detached, no outlines",
         [] {
             TEtichetta label(false);
             label.Labels()[0] = {"KB-3", 1.5f, -2.0f, 4.0f, 0.5f};
             label.AppendLabel();
             label.Labels()[1] = {"X", 0.0f, 30.0f, 5.0f, 0.25f};
             label.SetFontIndex(2);
             label.Apply(nullptr);
             TMemoryStream stream;
             label.SaveToStream(stream);
             stream.SetPosition(0);
             const TEtichetta read(stream, "QV-3.6");
             EXPECT_EQ(stream.Position(), stream.Size());
             EXPECT_TRUE(read.Detached());
             EXPECT_EQ(read.OutlineContainer(nullptr), nullptr);
             EXPECT_EQ(read.FontIndex(), 2);
             ASSERT_EQ(read.LabelCount(), 2);
             for (size_t i = 0; i < 2; ++i) {
                 EXPECT_EQ(read.Labels()[i].Text, label.Labels()[i].Text);
                 EXPECT_EQ(read.Labels()[i].X, label.Labels()[i].X);
                 EXPECT_EQ(read.Labels()[i].Y, label.Labels()[i].Y);
                 EXPECT_EQ(read.Labels()[i].Height, label.Labels()[i].Height);
                 EXPECT_EQ(read.Labels()[i].Spacing, label.Labels()[i].Spacing);
             }
         }},
        {"applying the shared label twice: one container, the second generation only; the chains of an "
         "operation being edited stay",
         [this] {
             TListaCatene chains;
             auto kept = std::make_unique<TCatena>();
             kept->AddVertex(TAVertice::CreateAt(MakeVector2D(9, 9), 0));
             chains.AddChain(std::move(kept));
             Context.Edited = &chains;
             TEtichetta label(false);
             label.Labels()[0] = {"AB", 0.0f, 0.0f, 10.0f, 1.0f};
             label.Apply(&Doc);
             label.Labels()[0] = {"Z", 5.0f, -5.0f, 3.0f, 1.0f};
             label.Apply(&Doc);
             Context.Edited = nullptr;
             ASSERT_EQ(chains.Count(), 1);
             EXPECT_EQ(chains.ChainAt(0)->Vertices[0].EndPoint.X, 9.0);
             const std::vector<TContainer2D*> containers = Containers();
             ASSERT_EQ(Doc.ObjectsCount(), 1);
             ASSERT_EQ(containers.size(), 1u);
             EXPECT_EQ(label.OutlineContainer(&Doc), containers[0]);
             const TStrokes expected = Expected(label.Labels());
             EXPECT_FALSE(expected.empty());
             EXPECT_EQ(Outline(*containers[0]), expected);
             Doc.DeleteAllObjects();
             Journal.Clear();
         }},
        {"applying a letters operation's label: one open chain of line vertices per stroke, each its own ID",
         [this] {
             TListaCatene chains;
             auto old = std::make_unique<TCatena>();
             old->AddVertex(TAVertice::CreateAt(MakeVector2D(9, 9), 0));
             old->ID = GestioneID().NextID();
             const int32_t oldID = old->ID;
             chains.AddChain(std::move(old));
             Context.Edited = &chains;

             TEtichetta label(true);
             label.Labels()[0] = {"L", 2.0f, 3.0f, 10.0f, 1.0f};
             label.AppendLabel();
             label.Labels()[1] = {"TT", -4.0f, 0.0f, 6.0f, 2.0f};
             label.Apply(&Doc);
             Context.Edited = nullptr;

             EXPECT_EQ(Doc.ObjectsCount(), 0) << "a detached label keeps its outlines";
             const TStrokes expected = Expected(label.Labels());
             ASSERT_EQ(chains.Count(), static_cast<int>(expected.size()));
             std::set<int32_t> ids;
             for (int i = 0; i < chains.Count(); ++i) {
                 const TCatena& chain = *chains.ChainAt(i);
                 EXPECT_EQ(chain.Closed, 0);
                 ids.insert(chain.ID);
                 ASSERT_EQ(chain.Count(), static_cast<int>(expected[i].size()));
                 for (int k = 0; k < chain.Count(); ++k) {
                     const TAVertice& v = chain.Vertices[k];
                     EXPECT_EQ(v.Kind, 0);
                     EXPECT_EQ(v.Attribute, 0);
                     EXPECT_EQ(v.EndPoint.X, expected[i][k][0]);
                     EXPECT_EQ(v.EndPoint.Y, expected[i][k][1]);
                 }
             }
             EXPECT_EQ(ids.size(), expected.size()) << "every chain has its own ID";
             EXPECT_FALSE(ids.count(oldID));
             EXPECT_FALSE(ids.count(0));
         }},
        {"removing the last label leaves none; once more changes nothing",
         [] {
             TEtichetta label(true);
             label.RemoveLabel();
             EXPECT_EQ(label.LabelCount(), 0);
             label.RemoveLabel();
             EXPECT_EQ(label.LabelCount(), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.run();
    }
}

TEST_F(LabelTest, EmptyTextsAddNothingAndAreNotPreviewedFontFollowsThePicker)
{
    TEtichetta label(true);
    label.Labels()[0].Text = "";
    label.AppendLabel();
    label.Labels()[1] = {"H", 1.0f, 1.0f, 8.0f, 1.0f};
    label.AppendLabel();
    label.Apply(nullptr);
    ASSERT_NE(label.OutlineContainer(nullptr), nullptr);
    EXPECT_EQ(Outline(*label.OutlineContainer(nullptr)), Expected({label.Labels()[1]}));

    EXPECT_EQ(label.PositionPreview(0), nullptr);
    EXPECT_EQ(label.PositionPreview(2), nullptr);
    EXPECT_EQ(label.PositionPreview(3), nullptr);
    std::unique_ptr<TContainer2D> preview = label.PositionPreview(1);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(Outline(*preview).size(), Expected({label.Labels()[1]}).size());
    EXPECT_EQ(SharedTextConverter().TextHeight(), 8.0) << "the row's height";

    label.SetFont(2);
    EXPECT_EQ(label.FontIndex(), 2);
    EXPECT_EQ(SharedTextConverter().StrokeFontIndex(), 3);

    // Without a converter nothing changes and the caller learns why.
    SetLabelTextConverter(nullptr);
    TEtichetta shared(false);
    shared.Labels()[0].Text = "H";
    EXPECT_THROW(shared.Apply(&Doc), ECADSysException);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());
}

TEST_F(LabelTest, RegenerationIsOneUndoStepAndUndoNeverReachesAFreedContainer)
{
    TEtichetta label(false);
    label.Labels()[0].Text = "I";
    label.Apply(&Doc);
    ASSERT_EQ(Containers().size(), 1u);
    const TStrokes first = Outline(*Containers()[0]);
    label.Labels()[0].Text = "IV";
    label.Apply(&Doc);
    ASSERT_EQ(Journal.Steps().size(), 2u);
    ASSERT_EQ(Containers().size(), 1u);

    // Undoing the regeneration brings the first outlines back as a whole;
    // the label's own container is gone with it.
    Journal.Undo();
    ASSERT_EQ(Containers().size(), 1u);
    EXPECT_EQ(Outline(*Containers()[0]), first);
    EXPECT_EQ(label.OutlineContainer(&Doc), nullptr);
    // The earlier step removes the first container; the label never touched it.
    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    label.Apply(&Doc);
    ASSERT_EQ(Containers().size(), 1u);
    EXPECT_EQ(label.OutlineContainer(&Doc), Containers()[0]);

    // An undo that deletes the label's live container: the next apply adds a
    // new one and deletes nothing else.
    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_EQ(label.OutlineContainer(&Doc), nullptr);
    label.Apply(&Doc);
    EXPECT_EQ(Containers().size(), 1u);
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::NewObjects);
}

} // namespace
