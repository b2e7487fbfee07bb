#include "cad/panel/EntityPages.h"

#include "cad/panel/InfoEditModel.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/PanelFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace entity_pages_test {

namespace {

using TGrid = std::vector<std::vector<std::string>>;

TPoint2D P(double x, double y)
{
    return TPoint2D{x, y, 1.0};
}

TMatrix4 Rotation(double degrees)
{
    return TMatrix4::CreateRotationZ(degrees, true);
}

// a, then b.
TMatrix4 Then(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 m;
    m.Multiply(a, b);
    return m;
}

QImage Image()
{
    return QImage(4, 3, QImage::Format_ARGB32);
}

TMatrix4 Scale(double sx, double sy)
{
    return TMatrix4::CreateScale(sx, sy, 1);
}

template <class T>
T* Placed(T* object, const TMatrix4& m)
{
    object->Transform(m);
    object->ApplyTransform();
    return object;
}

// Everything the panel may change of an entity, bit for bit.
std::vector<double> StateOf(const TObject2D& object)
{
    std::vector<double> state;
    const TMatrix4 m = object.GetModelTransform();
    for (int i = 0; i < 16; ++i)
        state.push_back(m.GetElement(i));
    if (const auto* primitive = dynamic_cast<const TPrimitive2D*>(&object))
        for (int i = 0; i < primitive->Points().Count(); ++i) {
            const TPoint2D p = primitive->Points().Get(i);
            state.insert(state.end(), {p.X, p.Y, p.W});
        }
    if (const auto* bitmap = dynamic_cast<const TBitmap2D*>(&object))
        state.push_back(bitmap->Opacity());
    return state;
}

// Control point i as drawn.
TPoint2D Drawn(const TPrimitive2D& entity, int i)
{
    return CartesianPoint2D(entity.GetModelTransform().TransformPoint2D(entity.Points().Get(i)));
}

class EntityPagesTest : public ::testing::Test {
protected:
    EntityPagesTest() { Panel.SetDocument(&Drawing.Doc); }

    // What the tree click does: page type 0, then the entity's page.
    void Show(TObject2D& object)
    {
        Panel.SetPageType(0);
        Panel.ShowObject(object);
    }
    TGrid Grid() const
    {
        TGrid grid(Panel.RowCount());
        for (int row = 0; row < Panel.RowCount(); ++row)
            for (int col = 0; col < Panel.ColumnCount(); ++col)
                grid[row].push_back(Panel.Cell(row, col));
        return grid;
    }
    size_t Steps() const { return Drawing.Journal.Steps().size(); }

    kbtest::TPanelDrawing Drawing;
    TInfoEditModel Panel{true};
};

TEST_F(EntityPagesTest, PagesShowTheEntityAsDrawn)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TLine2D>(-1, P(0, 0), P(1, 0)));
    children.push_back(std::make_unique<TLine2D>(-1, P(0, 0), P(0, 1)));
    TSourceBlock2D* block =
        Drawing.Doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(-1, std::move(children), "BOLT"));

    struct TCase {
        const char* Name;
        std::function<TObject2D*()> Make;
        const char* Title;
        TGrid Cells;
        uint8_t PageType; // after a tree click (page type 0 first)
    };
    auto& d = Drawing;
    const std::vector<TCase> cases = {
        {"translated point",
         [&] { return Placed(d.Add(std::make_unique<TPunto2D>(-1, P(1, 2))), TMatrix4::CreateTranslation(10, 0, 0)); },
         "Point", {{"11", "2"}}, 1},
        {"rotated line", [&] { return Placed(d.Add(std::make_unique<TLine2D>(-1, P(1, 0), P(2, 0))), Rotation(90)); },
         "Line", {{"0", "1"}, {"0", "2"}}, 4},
        {"rotated frame", [&] { return Placed(d.Add(std::make_unique<TFrame2D>(-1, P(0, 0), P(2, 1))), Rotation(90)); },
         "Rectangle", {{"0", "0"}, {"-1", "2"}}, 9},
        // Radii as drawn, not as stored.
        {"scaled circle",
         [&] { return Placed(d.Add(std::make_unique<TCerchio2D>(-1, P(1, 1), P(6, 1))), Scale(2, 2)); },
         "Circle", {{"2", "2"}, {"10", ""}}, 18},
        // The mirror turns the quarter above the X axis into the one below.
        {"mirrored arc",
         [&] {
             return Placed(d.Add(std::make_unique<TArco2D>(-1, P(0, 0), P(5, 0), 0.0, std::numbers::pi / 2)),
                           TMatrix4::CreateMirror(0));
         },
         "Arc", {{"0", "0"}, {"5", ""}, {"-90", ""}, {"0", ""}}, 10},
        // Clockwise from (5, 0) to (0, 5): counter-clockwise from 90 to 0.
        {"clockwise arc",
         [&] {
             auto* arc = d.Add(std::make_unique<TArco2D>(-1, P(0, 0), P(5, 0), 0.0, std::numbers::pi / 2));
             arc->SetDirection(0);
             return arc;
         },
         "Arc", {{"0", "0"}, {"5", ""}, {"90", ""}, {"0", ""}}, 10},
        {"ellipse", [&] { return d.Add(std::make_unique<TEllipse2D>(-1, P(0, 0), P(4, 2))); }, "Ellipse",
         {{"0", "0"}, {"4", "2"}}, 0},
        {"bitmap",
         [&] {
             auto* bitmap = d.Add(std::make_unique<TBitmap2D>(-1, P(0, 0), P(8, 6), Image()));
             bitmap->SetOpacity(0.3f);
             return bitmap;
         },
         "Bitmap", {{"0", "0"}, {"8", "6"}, {"4", ""}, {"3", ""}, {"30", ""}}, 23},
        {"block reference",
         [&] {
             auto* ref = d.Add(std::make_unique<TBlock2D>(-1, block));
             ref->SetInsertionPoint(P(3, 4));
             return Placed(ref, TMatrix4::CreateTranslation(1, 1, 0));
         },
         "Block BOLT", {{"4", "5"}, {"2", ""}}, 0},
        {"polyline",
         [&] {
             const TPoint2D points[] = {P(0, 0), P(1, 1), P(2, 0)};
             return d.Add(std::make_unique<TPolyline2D>(-1, points));
         },
         "Polyline", {}, 25},
    };
    for (const TCase& c : cases) {
        Show(*c.Make());
        EXPECT_EQ(Panel.Layout().Title, c.Title) << c.Name;
        EXPECT_EQ(Grid(), c.Cells) << c.Name;
        EXPECT_EQ(Panel.PageType(), c.PageType) << c.Name;
        EXPECT_EQ(Panel.Layout().Buttons.size(), c.Cells.empty() || c.PageType != 0 ? 1u : 0u) << c.Name;
    }
}

// Pressing Apply on a page nobody edited must not move anything: not by
// the rounding of the texts, not by dropping a rotation, a scale or a
// mirror.
TEST_F(EntityPagesTest, ApplyWithoutEditsKeepsEveryEntityExactly)
{
    auto& d = Drawing;
    const TMatrix4 turn = Then(Rotation(33), TMatrix4::CreateTranslation(1.23456, -7.891, 0));
    std::vector<TObject2D*> entities = {
        Placed(d.Add(std::make_unique<TFrame2D>(-1, P(0.1234, 0), P(2, 1.98765))), turn),
        Placed(d.Add(std::make_unique<TCerchio2D>(-1, P(1.0001, 1), P(6.00049, 1))), Scale(2.5, 2.5)),
        Placed(d.Add(std::make_unique<TArco2D>(-1, P(0, 0), P(5.4321, 0), 0.3, 2.2)), turn),
        Placed(d.Add(std::make_unique<TArco2D>(-1, P(1, 2), P(4, 2), -0.7, 1.9)), TMatrix4::CreateMirror(1)),
        Placed(d.Add(std::make_unique<TBitmap2D>(-1, P(0, 0), P(8.0004, 6), Image())),
               turn),
    };
    // A stretched circle keeps its transform too.
    entities.push_back(
        Placed(d.Add(std::make_unique<TCerchio2D>(-1, P(0, 0), P(3, 0))), Scale(1, 2)));
    for (TObject2D* entity : entities) {
        const std::vector<double> before = StateOf(*entity);
        Show(*entity);
        Panel.ApplyEdits();
        EXPECT_EQ(StateOf(*entity), before) << entity->ClassName();
    }
    EXPECT_EQ(Steps(), 0u);

    // A rotated line keeps its place and drops its rotation.
    auto* line = Placed(d.Add(std::make_unique<TLine2D>(-1, P(1.23456, 0), P(2, 0))), turn);
    const TPoint2D a = Drawn(*line, 0);
    const TPoint2D b = Drawn(*line, 1);
    Show(*line);
    Panel.ApplyEdits();
    EXPECT_FALSE(line->HasTransform());
    EXPECT_DOUBLE_EQ(line->Points().Get(0).X, a.X);
    EXPECT_DOUBLE_EQ(line->Points().Get(0).Y, a.Y);
    EXPECT_DOUBLE_EQ(line->Points().Get(1).X, b.X);
    EXPECT_DOUBLE_EQ(line->Points().Get(1).Y, b.Y);
}

// What the user did not type stays where it was, exactly; what was typed
// lands where the drawing shows it.
TEST_F(EntityPagesTest, ApplyMovesOnlyWhatWasTyped)
{
    auto& d = Drawing;
    auto* frame = Placed(d.Add(std::make_unique<TFrame2D>(-1, P(0.1234, 0), P(2, 1))), Rotation(30));
    const TPoint2D corner = frame->Points().Get(0);
    Show(*frame);
    Panel.CellEdited(1, 0, "-3");
    Panel.CellEdited(1, 1, "4");
    Panel.ApplyEdits();
    EXPECT_TRUE(frame->HasTransform()) << "the frame stays rotated";
    EXPECT_EQ(frame->Points().Get(0).X, corner.X);
    EXPECT_EQ(frame->Points().Get(0).Y, corner.Y);
    EXPECT_NEAR(Drawn(*frame, 1).X, -3, 1e-12);
    EXPECT_NEAR(Drawn(*frame, 1).Y, 4, 1e-12);

    auto* circle = Placed(d.Add(std::make_unique<TCerchio2D>(-1, P(1.23456, 1), P(2, 1))), Scale(2, 2));
    Show(*circle);
    Panel.CellEdited(1, 0, "7");
    Panel.ApplyEdits();
    EXPECT_NEAR(Drawn(*circle, 0).X, 2.46912, 1e-12);
    TPoint2D centre;
    double radius = 0;
    circle->GetCircle(centre, radius);
    EXPECT_FALSE(circle->HasTransform()) << "a similarity is folded into the circle";
    EXPECT_DOUBLE_EQ(radius, 7);

    auto* arc = Placed(d.Add(std::make_unique<TArco2D>(-1, P(1, 2), P(4, 2), -0.7, 1.9)), TMatrix4::CreateMirror(1));
    const TArcGeometry2D shape = arc->GetArcGeometry();
    Show(*arc);
    Panel.CellEdited(1, 0, "8");
    Panel.ApplyEdits();
    const TArcGeometry2D edited = arc->GetArcGeometry();
    EXPECT_NEAR(edited.Centre.X, shape.Centre.X, 1e-12);
    EXPECT_NEAR(edited.Centre.Y, shape.Centre.Y, 1e-12);
    EXPECT_DOUBLE_EQ(edited.Radius, 8);
    EXPECT_NEAR(edited.StartAngle, shape.StartAngle, 1e-12);
    EXPECT_NEAR(edited.EndAngle, shape.EndAngle, 1e-12);
    EXPECT_EQ(arc->Direction(), 1) << "the direction byte is kept";

    // A typed comma counts as a point.
    auto* line = d.Add(std::make_unique<TLine2D>(-1, P(0.123456, 0), P(10, 0)));
    Show(*line);
    Panel.CellEdited(1, 0, "2,5");
    Panel.ApplyEdits();
    EXPECT_EQ(line->Points().Get(0).X, 0.123456);
    EXPECT_EQ(line->Points().Get(1).X, 2.5);
    EXPECT_EQ(Panel.Cell(1, 0), "2.5") << "the page shows the entity again";
    EXPECT_EQ(Drawing.View.Rebuilds.size(), 4u);
}

// Each edit is one undo step recorded before the change, and undoing it
// brings the entity back bit for bit: corners, transform and opacity.
TEST_F(EntityPagesTest, EditsRecordOneUndoStepThatRestoresTheEntity)
{
    auto& d = Drawing;
    auto* bitmap =
        Placed(d.Add(std::make_unique<TBitmap2D>(-1, P(0, 0), P(8, 6), Image())), Rotation(20));
    bitmap->SetOpacity(0.3f);
    auto* arc = Placed(d.Add(std::make_unique<TArco2D>(-1, P(1, 2), P(4, 2), -0.7, 1.9)),
                       Then(TMatrix4::CreateMirror(0), Rotation(10)));
    struct TCase {
        TObject2D* Entity;
        std::vector<std::pair<int, const char*>> Rows; // row, text of column 0
    };
    auto* point = Placed(d.Add(std::make_unique<TPunto2D>(-1, P(1, 2))), Rotation(45));
    const TCase cases[] = {{bitmap, {{0, "-2"}, {4, "80"}}}, {arc, {{0, "5"}, {2, "45"}}}, {point, {{0, "7"}}}};
    for (const TCase& c : cases) {
        const std::vector<double> before = StateOf(*c.Entity);
        const size_t steps = Steps();
        Show(*c.Entity);
        for (const auto& [row, text] : c.Rows)
            Panel.CellEdited(row, 0, text);
        Panel.ApplyEdits();
        ASSERT_EQ(Steps(), steps + 1) << c.Entity->ClassName();
        EXPECT_EQ(Drawing.Journal.Steps().back().Kind, TUndoKind::NodeEdit);
        EXPECT_NE(StateOf(*c.Entity), before);
        Drawing.Journal.Undo();
        EXPECT_EQ(StateOf(*c.Entity), before) << c.Entity->ClassName();
    }
    EXPECT_FLOAT_EQ(bitmap->Opacity(), 0.3f);
}

TEST_F(EntityPagesTest, BitmapOpacityIsClampedToOneToHundredPercent)
{
    auto* bitmap = Drawing.Add(std::make_unique<TBitmap2D>(-1, P(0, 0), P(8, 6), Image()));
    const std::pair<const char*, float> cases[] = {{"250", 1.0f}, {"0.5", 0.01f}, {"42", 0.42f}};
    for (const auto& [text, opacity] : cases) {
        Show(*bitmap);
        Panel.CellEdited(4, 0, text);
        Panel.CellEdited(2, 0, "999"); // the pixel size is not an input
        Panel.ApplyEdits();
        EXPECT_FLOAT_EQ(bitmap->Opacity(), opacity) << text;
        EXPECT_EQ(Panel.Cell(2, 0), "4");
    }
}

TEST_F(EntityPagesTest, UnreadableCellChangesNothing)
{
    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
    const std::vector<double> before = StateOf(*line);
    Show(*line);
    Panel.CellEdited(0, 0, "5");
    Panel.CellEdited(1, 1, "1.2.3");
    EXPECT_THROW(Panel.ApplyEdits(), std::invalid_argument);
    EXPECT_EQ(StateOf(*line), before);
    EXPECT_EQ(Steps(), 0u);
}

// The end of a command sets page type 0 while the entity page stays on
// screen: Apply still writes it back. A command replaces the entity page
// even when they share a number. An entity deleted meanwhile is left alone.
TEST_F(EntityPagesTest, ApplyFollowsThePageOnScreen)
{
    auto* line = Drawing.Add(std::make_unique<TLine2D>(-1, P(0, 0), P(10, 0)));
    Show(*line);
    Panel.SetCommandPage(InfoEditPage::None);
    Panel.CellEdited(0, 1, "3");
    ASSERT_EQ(Panel.Layout().Buttons.size(), 1u);
    Panel.ButtonClick(0);
    EXPECT_EQ(line->Points().Get(0).Y, 3.0);

    // A command whose page number an entity page shares still gets its page.
    auto* frame = Drawing.Add(std::make_unique<TFrame2D>(-1, P(0, 0), P(2, 1)));
    Show(*frame);
    Panel.SetCommandPage(InfoEditPage::Rectangle);
    EXPECT_EQ(Panel.PageKind(), TPanelPageKind::Command);
    EXPECT_EQ(Panel.RowCount(), 4);

    Show(*line);
    Panel.CellEdited(0, 1, "4");
    Drawing.Doc.DeleteObject(line->ID());
    Panel.ApplyEdits();
    EXPECT_EQ(Panel.EditedObject(), nullptr);
    EXPECT_EQ(Steps(), 1u);
}

} // namespace

}  // namespace entity_pages_test
