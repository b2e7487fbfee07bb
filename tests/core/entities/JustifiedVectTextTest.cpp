// The justified stroke-font text: layout against a small hand-built font
// whose extents are known, its strokes in the scene, picking, and its
// stored record.

#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/geometry/Geometry.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/file/Stream.h"
#include "core/entities/VectFont.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace justified_vect_text_test {

using kbtest::TBytes;

namespace {

TBytes& U16(TBytes& b, uint16_t v)
{
    return b.U8(static_cast<uint8_t>(v & 0xFF)).U8(static_cast<uint8_t>(v >> 8));
}

TBytes& Stroke(TBytes& b, std::initializer_list<TPoint2D> points)
{
    U16(b, static_cast<uint16_t>(points.size()));
    for (const TPoint2D& p : points)
        b.F64(p.X).F64(p.Y).F64(p.W);
    return b;
}

// 'A' and 'B' with right edge 0.7 on the baseline; 'g' with right edge 0.5
// and descent -0.3, its lower point stored with weight 2. No space glyph.
std::vector<uint8_t> FontBytes()
{
    TBytes b;
    b.I32('A').I32(1);
    Stroke(b, {{0, 0, 1}, {0.35, 1, 1}, {0.7, 0, 1}});
    b.I32('B').I32(2);
    Stroke(b, {{0, 0, 1}, {0, 1, 1}});
    Stroke(b, {{0, 1, 1}, {0.7, 0.5, 1}, {0, 0, 1}});
    b.I32('g').I32(1);
    Stroke(b, {{0.1, 0.5, 1}, {1.0, -0.6, 2}});
    b.I32(-1);
    return b.Data();
}

std::unique_ptr<TVectFont> MakeFont()
{
    TMemoryStream stream(FontBytes());
    return TVectFont::CreateFromStream(stream);
}

void ExpectRect(const TRect2D& r, double left, double bottom, double right, double top)
{
    EXPECT_NEAR(r.FirstEdge.X, left, 1e-9);
    EXPECT_NEAR(r.FirstEdge.Y, bottom, 1e-9);
    EXPECT_NEAR(r.SecondEdge.X, right, 1e-9);
    EXPECT_NEAR(r.SecondEdge.Y, top, 1e-9);
}

// The box (0, 0)-(100, 50), given by its other diagonal.
const TRect2D kBox = MakeRect2D(100, 0, 0, 50);

class VectText : public ::testing::Test {
protected:
    void SetUp() override
    {
        CADSysClearFontRegistry();
        RegisterEntityClasses();
    }
    void TearDown() override
    {
        CADSysClearFontRegistry();
        QV_00ClearClassRegistry();
    }

    // The registered font of slot 5.
    TVectFont* RegisterFont()
    {
        CADSysRegisterFont(5, MakeFont());
        return CADSysFindFontByIndex(5);
    }

    kbtest::TRecordingNotifier Notifier;
};

} // namespace

TEST_F(VectText, TextBoxFollowsMeasureAndJustification)
{
    TVectFont* font = RegisterFont();
    struct Case {
        const char* text;
        uint8_t h, v;
        double charSpacing;
        double left, bottom, right, top;
    };
    const Case cases[] = {
        // "AB": (0.7 + 0.1 + 0.7) x 10 = 15 wide, 10 deep.
        {"AB", 0, 0, 0.1, 0, 40, 15, 50},
        {"AB", 1, 1, 0.1, 85, 0, 100, 10},
        // Middle puts the top of the text on the middle line of the box.
        {"AB", 2, 2, 0.1, 42.5, 15, 57.5, 25},
        {"AB", 7, 9, 0.1, 0, 40, 15, 50}, // unknown values act as left and top
        {"AB", 0, 0, 0.5, 0, 40, 19, 50},
        // Two lines: 7 wide; 10 + 0.02 x 10 + 10 deep; the line feed is dropped.
        {"A\r\nB", 0, 1, 0.1, 0, 0, 7, 20.2},
        // Descender: 1.3 deep; (0.7 + 0.1 + 0.5) x 10 wide.
        {"Ag", 0, 0, 0.1, 0, 37, 13, 50},
        // A missing character is 0.8 wide, a space without glyph 0.4.
        {"AxB", 0, 0, 0.1, 0, 40, 24, 50},
        {"A B", 0, 0, 0.1, 0, 40, 20, 50},
        {"", 1, 1, 0.1, 100, 0, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" " << int(c.h) << '/' << int(c.v));
        TJustifiedVectText2D text(1, font, kBox, 10, c.text);
        text.SetHJustification(c.h);
        text.SetVJustification(c.v);
        text.SetCharSpacing(c.charSpacing);
        ExpectRect(text.GetTextBox(), c.left, c.bottom, c.right, c.top);
        ExpectRect(text.Box(), c.left, c.bottom, c.right, c.top);
        EXPECT_DOUBLE_EQ(text.AnchorPoint().X, 0);
        EXPECT_DOUBLE_EQ(text.AnchorPoint().Y, 50);
    }

    // The entity's box carries the model transform; the text box does not.
    TJustifiedVectText2D moved(1, font, kBox, 10, "AB");
    moved.SetTransform(TMatrix4::CreateTranslation(5, -5, 0));
    ExpectRect(moved.Box(), 5, -5, 20, 5);
    ExpectRect(moved.GetTextBox(), 0, 0, 15, 10);

    // Without a font: an empty box at the justified corner.
    TJustifiedVectText2D fontless(1, nullptr, kBox, 10, "AB");
    ExpectRect(fontless.Box(), 0, 0, 0, 0);
    fontless.SetHJustification(TJustifiedVectText2D::kJustifyRight);
    fontless.SetVJustification(TJustifiedVectText2D::kJustifyTop);
    ExpectRect(fontless.Box(), 100, 50, 100, 50);
}

TEST_F(VectText, StrokesAreDrawnWhereTheTextIsMeasured)
{
    kbtest::TRecordingViewServices view;
    TVectFont* font = RegisterFont();
    TJustifiedVectText2D text(1, font, kBox, 10, "A\r\nxg B");
    text.SetVJustification(TJustifiedVectText2D::kJustifyTop);
    text.Draw();

    const auto children = view.Scene.Children(view.Scene.Group(TSceneGroup::Entity));
    std::vector<std::vector<TVector3D>> strokes;
    for (TSceneNodeId id : children)
        strokes.push_back(view.Scene.As<TSceneLines>(id)->Nodes);
    // A, the missing-character bar, g, and B's two strokes.
    ASSERT_EQ(strokes.size(), 5u);
    EXPECT_EQ(text.SceneNode(), children.front());
    auto expectNodes = [](const std::vector<TVector3D>& nodes, std::vector<std::pair<double, double>> xy) {
        ASSERT_EQ(nodes.size(), xy.size());
        for (size_t i = 0; i < xy.size(); ++i) {
            EXPECT_NEAR(nodes[i].X, xy[i].first, 1e-9) << i;
            EXPECT_NEAR(nodes[i].Y, xy[i].second, 1e-9) << i;
        }
    };
    // The first baseline one height below the top.
    expectNodes(strokes[0], {{0, 40}, {3.5, 50}, {7, 40}});
    // The second line starts again at the left, (1 + 0.02) heights lower.
    expectNodes(strokes[1], {{0, 29.8}, {8, 29.8}});
    // 'g' one bar's advance, 10 x (0.8 + 0.1), further; its weighted point
    // made cartesian.
    expectNodes(strokes[2], {{10, 34.8}, {14, 26.8}});
    // B after g and a space: 9 + 6 + 5 = 20.
    expectNodes(strokes[3], {{20, 29.8}, {20, 39.8}});

    const TRect2D box = text.GetTextBox();
    ExpectRect(box, 0, 50 - 10 - 0.2 - 13, 27, 50);
    for (const auto& stroke : strokes)
        for (const TVector3D& n : stroke) {
            EXPECT_GE(n.X, box.FirstEdge.X - 1e-9);
            EXPECT_LE(n.X, box.SecondEdge.X + 1e-9);
            EXPECT_GE(n.Y, box.FirstEdge.Y - 1e-9);
            EXPECT_LE(n.Y, box.SecondEdge.Y + 1e-9);
        }

    // The model transform moves every stroke; without a font nothing is drawn.
    view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Entity));
    text.SetTransform(TMatrix4::CreateTranslation(100, 0, 0));
    text.Draw();
    expectNodes(view.Scene.As<TSceneLines>(view.Scene.Children(view.Scene.Group(TSceneGroup::Entity))[0])->Nodes,
                {{100, 40}, {103.5, 50}, {107, 40}});
    view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Entity));
    text.SetFont(nullptr);
    text.Draw();
    text.DrawSelected();
    EXPECT_TRUE(view.Scene.Children(view.Scene.Group(TSceneGroup::Entity)).empty());
    EXPECT_TRUE(view.Scene.Children(view.Scene.Group(TSceneGroup::Selection)).empty());
}

TEST_F(VectText, PicksOnTheTextBoxAndDrawsItsOutline)
{
    TVectFont* font = RegisterFont();
    // Text box (0, 40)-(15, 50).
    TJustifiedVectText2D text(1, font, kBox, 10, "AB");
    text.SetVJustification(TJustifiedVectText2D::kJustifyTop);
    struct Case {
        double x, y;
        int32_t code;
        double distance;
    };
    const Case cases[] = {
        {7, 45, PickInsideArea, 1},
        {7, 50.5, PickOnObject, 0.5},
        {15.9, 50.9, PickInBox, 1}, // beside a corner: in the widened box only
        {30, 45, PickNone, PickFarDistance},
        {100, 0.5, 0, 0.5}, // control point 0, far outside the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ',' << c.y);
        double distance = 0;
        EXPECT_EQ(text.PickAt(MakePoint2D(c.x, c.y), distance, 1.0), c.code);
        EXPECT_NEAR(distance, c.distance, 1e-9);
    }

    kbtest::TRecordingViewServices view;
    text.SetTransform(TMatrix4::CreateTranslation(10, 0, 0));
    text.DrawOnCanvas(view.Canvas, false);
    // Screen Y grows downwards; the box is drawn once, not transformed twice.
    EXPECT_EQ(view.Canvas.Calls, std::vector<std::string>{"frame 10,-50-25,-40"});
    view.Canvas.Calls.clear();
    text.DrawOnCanvasTransformed(view.Canvas, TMatrix4::CreateTranslation(0, 5, 0));
    EXPECT_EQ(view.Canvas.Calls, std::vector<std::string>{"frame 10,-55-110,-5"});
}

TEST_F(VectText, RecordReadsAndWritesBackFieldByField)
{
    TVectFont* font = RegisterFont();
    auto record = [](int32_t fontIndex, double height) {
        TBytes b;
        b.I32(42).U8(3).U8(0x03);
        for (double e : {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
            b.F64(e);
        b.I16(2).F64(0).F64(0).F64(1).F64(100).F64(50).F64(1).U8(0);
        b.StreamEx("A\r\nB").I32(fontIndex).U8(2).U8(1).U8(1);
        b.F64(height).F64(0.02).F64(0.1);
        return b.Data();
    };

    TMemoryStream in(record(5, 10));
    std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(14).CreateFromStream(in, "QV-3.6");
    EXPECT_EQ(in.Position(), in.Size());
    auto* text = dynamic_cast<TJustifiedVectText2D*>(object.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->ID(), 42);
    EXPECT_EQ(text->Text(), "A\r\nB");
    EXPECT_EQ(text->Font(), font);
    EXPECT_EQ(text->HJustification(), TJustifiedVectText2D::kJustifyCentre);
    EXPECT_EQ(text->VJustification(), TJustifiedVectText2D::kJustifyBottom);
    EXPECT_EQ(text->Flag(), 1);
    EXPECT_EQ(text->Height(), 10);
    EXPECT_EQ(text->InterLine(), 0.02);
    EXPECT_EQ(text->CharSpacing(), 0.1);
    EXPECT_FALSE(text->Points().Growable());
    ExpectRect(text->Box(), 46.5, 0, 53.5, 20.2);
    EXPECT_TRUE(Notifier.Messages().empty());
    TMemoryStream out;
    text->SaveToStream(out);
    EXPECT_EQ(out.Data(), record(5, 10));

    // Only the low 16 bits of the stored index name the slot.
    TMemoryStream high(record(0x10005, 10));
    EXPECT_EQ(TJustifiedVectText2D(high, "QV-3.6").Font(), font);

    // A text copies all of it from another text.
    TJustifiedVectText2D copy(42, nullptr, MakeRect2D(0, 0, 1, 1), 1, "");
    copy.SetLayer(3);
    copy.Assign(*text);
    TMemoryStream copied;
    copy.SaveToStream(copied);
    EXPECT_EQ(copied.Data(), record(5, 10));

    // Damage: every truncation and a size that is not a number.
    const std::vector<uint8_t> whole = record(5, 10);
    for (size_t size = 0; size < whole.size(); ++size) {
        TMemoryStream cut(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(size)));
        EXPECT_ANY_THROW(TJustifiedVectText2D(cut, "QV-3.6")) << size;
    }
    TMemoryStream nan(record(5, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_THROW(TJustifiedVectText2D(nan, "QV-3.6"), ECADFileNotValid);
}

TEST_F(VectText, TextWhoseFontIsMissingKeepsItsIndexOnSave)
{
    RegisterFont();
    TBytes b;
    b.I32(1).U8(0).U8(0x03);
    for (double e : {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
        b.F64(e);
    b.I16(2).F64(0).F64(0).F64(1).F64(100).F64(50).F64(1).U8(0);
    b.StreamEx("AB").I32(9).U8(0).U8(0).U8(0).F64(10).F64(0.02).F64(0.1);

    TMemoryStream in(b.Data());
    TJustifiedVectText2D text(in, "QV-3.6");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "Font class not found. Font not assigned");
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Plain);
    EXPECT_EQ(text.Font(), nullptr);
    EXPECT_EQ(text.FontIndex(), 9);
    ExpectRect(text.Box(), 0, 50, 0, 50);
    double distance = 0;
    EXPECT_EQ(text.PickAt(MakePoint2D(0, 50), distance, 1.0), PickInBox);
    EXPECT_EQ(distance, 1.0);

    TMemoryStream out;
    EXPECT_NO_THROW(text.SaveToStream(out));
    EXPECT_EQ(out.Data(), b.Data());

    // A new text in a font the registry does not hold writes slot 0.
    const auto loose = MakeFont();
    TJustifiedVectText2D unregistered(1, loose.get(), kBox, 10, "AB");
    TMemoryStream saved;
    ASSERT_NO_THROW(unregistered.SaveToStream(saved));
    saved.SetPosition(saved.Size() - 3 * 8 - 3 - 4);
    EXPECT_EQ(ReadInt32(saved), 0);
}

}  // namespace justified_vect_text_test
