// The curve base and the box-defined curves: frames, rectangles, ellipses
// and elliptical arcs. The profile protocol, profiles, bounds, picking,
// stored records, scene objects, overlay drawing and copying.

#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace curve_entities_test {

using kbtest::TBytes;
using kbtest::TRecordingScene;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr const char* kNoProfile = "TCurve2D: Call BeginUseProfilePoints before accessing the curve points.";

void ExpectPoint(const TPoint2D& p, double x, double y, const std::string& what = {})
{
    EXPECT_NEAR(p.X, x, 1e-9) << what;
    EXPECT_NEAR(p.Y, y, 1e-9) << what;
}

void ExpectBox(const TRect2D& box, double x1, double y1, double x2, double y2)
{
    ExpectPoint(box.FirstEdge, x1, y1, "first corner");
    ExpectPoint(box.SecondEdge, x2, y2, "second corner");
}

// The message of the exception that f raises, or "" when it does not raise.
template <class F>
std::string RaisedMessage(F f)
{
    try {
        f();
    } catch (const ECADSysException& e) {
        return e.what();
    }
    return {};
}

// The head of a stored record up to the curve fields: ID 5, layer 3, flags
// visible + enabled, a translation by (tx, ty), the control points and the
// growable flag.
TBytes CurveRecord(const std::vector<TPoint2D>& points, double tx, double ty, int16_t segments, uint8_t keep)
{
    TBytes b;
    b.I32(5).U8(3).U8(0x03);
    const double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, 0, 1};
    for (double e : matrix)
        b.F64(e);
    b.I16(static_cast<int16_t>(points.size()));
    for (const TPoint2D& p : points)
        b.F64(p.X).F64(p.Y).F64(p.W);
    b.U8(0).I16(segments).U8(keep);
    return b;
}

} // namespace

// ---- The profile protocol ---------------------------------------------------

TEST(CurveProfile, AKeptProfileNeedsNoBracketAndAnUnkeptOneLivesOnlyInsideBrackets)
{
    TEllipse2D ellipse(1, MakePoint2D(0, 0), MakePoint2D(4, 2));
    EXPECT_TRUE(ellipse.KeepProfile());
    EXPECT_EQ(ellipse.ProfilePointsCount(), 51);
    EXPECT_EQ(ellipse.ProfileUseCount(), 1);

    ellipse.SetKeepProfile(false);
    EXPECT_FALSE(ellipse.HasProfile());
    EXPECT_EQ(RaisedMessage([&] { ellipse.ProfilePoints(); }), kNoProfile);
    EXPECT_EQ(RaisedMessage([&] { ellipse.ProfilePointsCount(); }), kNoProfile);

    // Nested brackets: the profile survives the first end and goes with the
    // second.
    ellipse.BeginUseProfilePoints();
    ellipse.BeginUseProfilePoints();
    EXPECT_EQ(ellipse.ProfileUseCount(), 2);
    EXPECT_EQ(ellipse.ProfilePointsCount(), 51);
    ellipse.EndUseProfilePoints();
    EXPECT_EQ(ellipse.ProfilePointsCount(), 51);
    // A change of the points inside a bracket rebuilds the profile and keeps
    // the bracket's hold.
    ellipse.Points().SetPoint(1, MakePoint2D(8, 2));
    EXPECT_EQ(ellipse.ProfileUseCount(), 1);
    ExpectPoint(ellipse.ProfilePoints().Get(0), 8, 1);
    ellipse.EndUseProfilePoints();
    EXPECT_EQ(RaisedMessage([&] { ellipse.ProfilePoints(); }), kNoProfile);
    EXPECT_EQ(ellipse.ProfileUseCount(), 0);

    // Back to keeping: one hold, however many brackets were open.
    ellipse.BeginUseProfilePoints();
    ellipse.SetKeepProfile(true);
    EXPECT_EQ(ellipse.ProfileUseCount(), 1);
    ellipse.EndUseProfilePoints();
    EXPECT_EQ(ellipse.ProfilePointsCount(), 51);
}

TEST(CurveProfile, NoSegmentsMeansNoProfileAnEmptyBoxAndNoOutlinePick)
{
    TFrame2D frame(1, MakePoint2D(0, 0), MakePoint2D(4, 2));
    frame.SetSegments(0);
    EXPECT_EQ(frame.ProfilePointsCount(), 5); // the setter alone does not update
    frame.UpdateBounds();
    EXPECT_FALSE(frame.HasProfile());
    EXPECT_EQ(frame.ProfileUseCount(), 0);
    EXPECT_EQ(RaisedMessage([&] { frame.ProfilePoints(); }), kNoProfile);
    ExpectBox(frame.Box(), 0, 0, 0, 0);
    double distance = 0;
    EXPECT_EQ(frame.PickAt(MakePoint2D(0, 0), distance, 0.5), 0); // the control point still picks
    frame.SetKeepProfile(false);
    frame.BeginUseProfilePoints();
    frame.EndUseProfilePoints();
    EXPECT_EQ(frame.ProfileUseCount(), 0);
}

// ---- Profiles -------------------------------------------------------------------

TEST(CurveProfile, AFrameHasItsFiveCornersWhateverItsSegments)
{
    TFrame2D frame(1, MakePoint2D(1, 2), MakePoint2D(5, 4));
    EXPECT_EQ(frame.Segments(), 50);
    EXPECT_FALSE(frame.Points().Growable());
    for (int16_t segments : {50, 3, 1}) {
        frame.SetSegments(segments);
        frame.UpdateBounds();
        const TPointsSet2D& profile = frame.ProfilePoints();
        ASSERT_EQ(profile.Count(), 5) << segments;
        EXPECT_GE(profile.Capacity(), segments + 1);
        const double expected[5][2] = {{1, 2}, {1, 4}, {5, 4}, {5, 2}, {1, 2}};
        for (int i = 0; i < 5; ++i)
            ExpectPoint(profile.Get(i), expected[i][0], expected[i][1], "corner " + std::to_string(i));
    }
    EXPECT_TRUE(frame.IsClosed());
}

TEST(CurveProfile, AnEllipseRunsClockwiseFromItsRightmostPointBackToIt)
{
    // Box (2, 1)-(10, 5): centre (6, 3), a = 4, b = 2.
    TEllipse2D ellipse(1, MakePoint2D(10, 5), MakePoint2D(2, 1));
    const TPointsSet2D& profile = ellipse.ProfilePoints();
    ASSERT_EQ(profile.Count(), 51);
    ExpectPoint(profile.Get(0), 10, 3, "first");
    ExpectPoint(profile.Get(50), 10, 3, "last");
    const double step = 2 * kPi / 50;
    for (int k = 1; k < 50; ++k)
        ExpectPoint(profile.Get(k), 6 + 4 * std::cos(k * step), 3 - 2 * std::sin(k * step), std::to_string(k));
    EXPECT_LT(profile.Get(13).Y, 3.0); // clockwise: below the centre line first
    EXPECT_TRUE(ellipse.IsClosed());
}

TEST(CurveProfile, AnEllipticalArcFromZeroToTwoPiIsAFullTurnThatStoresEndZero)
{
    TEllipseOpen2D arc(1, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.0, 2 * kPi);
    EXPECT_EQ(arc.EndAngle(), 0.0);
    EXPECT_EQ(arc.StartAngle(), 0.0);
    EXPECT_FALSE(arc.Points().Growable());
    ExpectPoint(arc.Points().Get(2), 4, 0);
    ExpectPoint(arc.Points().Get(3), 4, 0);
    const TPointsSet2D& profile = arc.ProfilePoints();
    ASSERT_EQ(profile.Count(), 51);
    ExpectPoint(profile.Get(0), 4, 0);
    ExpectPoint(profile.Get(25), -4, 0);
    ExpectPoint(profile.Get(50), 4, 0);
    EXPECT_GT(profile.Get(13).Y, 0.0); // counter-clockwise
    EXPECT_TRUE(arc.IsClosed());
}

TEST(CurveProfile, EllipticalArcsRunFromTheirStartPointToTheirEndPoint)
{
    // Centre (0, 0), a = 4, b = 2.
    struct Case {
        const char* name;
        double start, end;
        bool ccw;
        double sweep; // signed: negative runs clockwise
    };
    const Case cases[] = {
        {"through angle 0", 3 * kPi / 2, kPi / 2, true, kPi},
        {"a quarter", 0.3, 0.3 + kPi / 2, true, kPi / 2},
        {"clockwise the long way", 0.0, kPi / 2, false, -3 * kPi / 2},
        {"clockwise a quarter", 2.0, 2.0 - kPi / 2, false, -kPi / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEllipseOpen2D arc(1, MakePoint2D(-4, -2), MakePoint2D(4, 2), c.start, c.end);
        arc.SetDirection(c.ccw);
        // The setters put the angle points on the ellipse at their parameter.
        ExpectPoint(arc.Points().Get(2), 4 * std::cos(c.start), 2 * std::sin(c.start));
        ExpectPoint(arc.Points().Get(3), 4 * std::cos(c.end), 2 * std::sin(c.end));
        const TPointsSet2D& profile = arc.ProfilePoints();
        ASSERT_EQ(profile.Count(), 51);
        // Through the control points, although a differs from b.
        ExpectPoint(profile.Get(0), arc.Points().Get(2).X, arc.Points().Get(2).Y, "start");
        ExpectPoint(profile.Get(50), arc.Points().Get(3).X, arc.Points().Get(3).Y, "end");
        for (int k = 0; k <= 50; ++k) {
            const TPoint2D p = profile.Get(k);
            EXPECT_NEAR(p.X * p.X / 16 + p.Y * p.Y / 4, 1.0, 1e-12) << k;
            const double t = c.start + c.sweep * k / 50;
            ExpectPoint(p, 4 * std::cos(t), 2 * std::sin(t), std::to_string(k));
        }
    }
}

TEST(CurveProfile, AMousePlacedEndPointStandsForTheEllipsePointInItsDirection)
{
    TEllipseOpen2D arc(1, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.0, 0.0);
    arc.Points().SetPoint(3, MakePoint2D(10, 10)); // 45 degrees from the centre
    const TPoint2D end = arc.ProfilePoints().Get(50);
    EXPECT_NEAR(end.X, end.Y, 1e-9);
    EXPECT_NEAR(end.X * end.X / 16 + end.Y * end.Y / 4, 1.0, 1e-12);
}

// ---- Bounds --------------------------------------------------------------------

TEST(CurveBounds, BoxesFollowTheModelAndThePendingTransform)
{
    const double r = std::sqrt(2.0);
    TFrame2D frame(1, MakePoint2D(0, 0), MakePoint2D(2, 2));
    frame.SetModelTransform(TMatrix4::CreateRotationZ(45, true));
    frame.UpdateBounds();
    ExpectBox(frame.Box(), -r, 0, r, 2 * r); // the rotated outline, not its corners' box
    frame.Transform(TMatrix4::CreateTranslation(10, 0, 0));
    ExpectBox(frame.Box(), 10 - r, 0, 10 + r, 2 * r);

    TEllipse2D ellipse(2, MakePoint2D(-4, -2), MakePoint2D(4, 2));
    ellipse.Transform(TMatrix4::CreateTranslation(1, 1, 0));
    ExpectBox(ellipse.Box(), -3, -1, 5, 3);
    ellipse.ApplyTransform();
    ellipse.Transform(TMatrix4::CreateScale(2, 1, 1));
    ExpectBox(ellipse.Box(), -6, -1, 10, 3);

    // The box of an elliptical arc is that of its whole ellipse.
    TEllipseOpen2D arc(3, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.0, kPi / 2);
    ExpectBox(arc.Box(), -4, -2, 4, 2);
    arc.SetModelTransform(TMatrix4::CreateTranslation(0, 5, 0));
    arc.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    ExpectBox(arc.Box(), -3, 3, 5, 7);
}

// ---- Picking ---------------------------------------------------------------------

TEST(CurvePick, PickCodesOfEveryCurveKind)
{
    TFrame2D frame(1, MakePoint2D(0, 0), MakePoint2D(10, 10));
    TRectangle2D rectangle(2, MakePoint2D(0, 0), MakePoint2D(10, 10));
    TRectangle2D turned(3, MakePoint2D(0, 0), MakePoint2D(10, 10));
    turned.Transform(TMatrix4::CreateRotationZ(45, true)); // a diamond with its top at (0, 14.14)
    TEllipse2D ellipse(4, MakePoint2D(-4, -2), MakePoint2D(4, 2));
    TFilledEllipse2D filled(5, MakePoint2D(-4, -2), MakePoint2D(4, 2));
    TEllipseOpen2D upper(6, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.0, kPi);
    TFrame2D disabled(7, MakePoint2D(0, 0), MakePoint2D(10, 10));
    disabled.SetEnabled(false);

    struct Case {
        const char* name;
        TCurve2D& curve;
        double x, y;
        int32_t code;
        double distance;
    };
    const Case cases[] = {
        {"frame edge", frame, 5, 10.2, PickOnObject, 0.2},
        {"frame inside", frame, 5, 5, PickInBox, 0.5},
        {"frame corner", frame, 10.1, 9.9, 1, std::hypot(0.1, 0.1)},
        {"frame outside", frame, 20, 20, PickNone, PickFarDistance},
        {"rectangle edge", rectangle, 0.3, 5, PickOnObject, 0.3},
        {"rectangle inside", rectangle, 5, 5, PickInsideArea, 0.5},
        {"rectangle just outside an edge", rectangle, 10.4, 5.5, PickOnObject, 0.4},
        {"turned inside", turned, 0, 7, PickInsideArea, 0.5},
        {"turned box corner, outside the outline", turned, -6.5, 13, PickInBox, 0.5},
        {"turned edge", turned, 3.5355, 3.5355, PickOnObject, 0.0},
        // The nearest chord, between the profile points 12 and 13, lies at
        // y = -2 sin(12 x 7.2 degrees).
        {"ellipse outline", ellipse, 0, -2.1, PickOnObject, 2.1 - 2 * std::sin(12 * 2 * kPi / 50)},
        {"ellipse inside", ellipse, 0, 0, PickInBox, 0.5},
        {"ellipse corner point", ellipse, -4, -2, 0, 0.0},
        {"filled ellipse outline", filled, 0, -2, PickNone, PickFarDistance},
        {"arc outline", upper, 0, 2, PickOnObject, 0.0},
        {"arc on the missing half", upper, 0, -2, PickInBox, 0.5},
        {"disabled", disabled, 5, 10, PickNone, PickFarDistance},
    };
    for (const Case& c : cases) {
        double distance = -1;
        EXPECT_EQ(c.curve.PickAt(MakePoint2D(c.x, c.y), distance, 0.5), c.code) << c.name;
        EXPECT_NEAR(distance, c.distance, 1e-3) << c.name;
    }
}

TEST(CurvePick, AnUnkeptProfileIsBuiltForThePickAndFreedAfterwards)
{
    TRectangle2D rectangle(1, MakePoint2D(0, 0), MakePoint2D(10, 10));
    rectangle.SetKeepProfile(false);
    double distance = 0;
    EXPECT_EQ(rectangle.PickAt(MakePoint2D(5, 5), distance, 0.5), PickInsideArea);
    EXPECT_EQ(rectangle.PickAt(MakePoint2D(5, 0), distance, 0.5), PickOnObject);
    EXPECT_FALSE(rectangle.HasProfile());
    EXPECT_EQ(rectangle.ProfileUseCount(), 0);
}

// ---- Stored records ----------------------------------------------------------------

TEST(CurveRecords, RecordsReadFromHandBuiltBytesAndWrittenBackUnchanged)
{
    RegisterEntityClasses();
    const std::vector<TPoint2D> box = {TPoint2D{-4, -2, 1}, TPoint2D{4, 2, 1}};
    const std::vector<TPoint2D> arcPoints = {TPoint2D{-4, -2, 1}, TPoint2D{4, 2, 1}, TPoint2D{0, 2, 1},
                                             TPoint2D{-4, 0, 1}};
    struct Case {
        uint16_t classId;
        std::string_view name;
        std::vector<TPoint2D> points;
        int16_t segments;
        uint8_t keep;
        int direction; // -1: no direction byte
        int profileCount;
    };
    const Case cases[] = {
        {11, "TFrame2D", box, 50, 1, -1, 5},
        {6, "TRectangle2D", box, 7, 1, -1, 5},
        {8, "TEllipse2D", box, 8, 1, -1, 9},
        {9, "TFilledEllipse2D", box, 50, 0, -1, 0},
        {7, "TEllipseOpen2D", arcPoints, 4, 1, 1, 5},
        {7, "TEllipseOpen2D", arcPoints, 4, 1, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.direction));
        TBytes record = CurveRecord(c.points, 10, 20, c.segments, c.keep);
        if (c.direction >= 0)
            record.U8(static_cast<uint8_t>(c.direction));
        TMemoryStream in(record.Data());
        std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(c.classId).CreateFromStream(in, "QV-3.6");
        EXPECT_EQ(in.Position(), in.Size());
        auto* curve = dynamic_cast<TCurve2D*>(object.get());
        ASSERT_NE(curve, nullptr);
        EXPECT_EQ(curve->ClassName(), c.name);
        EXPECT_EQ(QV_00FindClassIndex(curve->ClassName()), static_cast<int16_t>(c.classId));
        EXPECT_EQ(curve->ID(), 5);
        EXPECT_EQ(curve->Layer(), 3);
        EXPECT_EQ(curve->Segments(), c.segments);
        EXPECT_EQ(curve->KeepProfile(), c.keep != 0);
        EXPECT_EQ(curve->Points().Count(), static_cast<int>(c.points.size()));
        EXPECT_EQ(curve->HasProfile(), c.profileCount > 0);
        if (c.profileCount > 0) {
            EXPECT_EQ(curve->ProfilePointsCount(), c.profileCount);
        }
        ExpectBox(curve->Box(), 6, 18, 14, 22);
        if (auto* arc = dynamic_cast<TEllipseOpen2D*>(curve)) {
            EXPECT_EQ(arc->Direction(), c.direction == 1);
            // The angles are measured from the stored points.
            EXPECT_NEAR(arc->StartAngle(), c.direction == 1 ? kPi / 2 : -kPi / 2, 1e-12);
            EXPECT_NEAR(arc->EndAngle(), kPi, 1e-12);
        }

        TMemoryStream out;
        curve->SaveToStream(out);
        EXPECT_EQ(out.Data(), record.Data());
    }
}

TEST(CurveRecords, DamagedRecordsReadWithoutRaisingOrAreRefusedCleanly)
{
    RegisterEntityClasses();
    // Too few control points, or no segments, or negative segments: the
    // curve has no profile and still draws, picks and copies.
    struct Case {
        uint16_t classId;
        std::vector<TPoint2D> points;
        int16_t segments;
    };
    const Case cases[] = {
        {11, {TPoint2D{1, 1, 1}}, 50},
        {8, {TPoint2D{1, 1, 1}}, 50},
        {7, {TPoint2D{-1, -1, 1}, TPoint2D{1, 1, 1}}, 50},
        {7, {TPoint2D{-1, -1, 1}, TPoint2D{1, 1, 1}, TPoint2D{1, 0, 1}}, 50},
        {6, {TPoint2D{0, 0, 1}, TPoint2D{1, 1, 1}}, -3},
        {8, {}, 50},
    };
    kbtest::TRecordingViewServices view;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.classId);
        TBytes record = CurveRecord(c.points, 0, 0, c.segments, 1);
        if (c.classId == 7)
            record.U8(1);
        TMemoryStream in(record.Data());
        std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(c.classId).CreateFromStream(in, "QV-3.6");
        auto& curve = dynamic_cast<TCurve2D&>(*object);
        double distance = 0;
        EXPECT_NO_THROW(curve.PickAt(MakePoint2D(1, 1), distance, 0.5));
        EXPECT_NO_THROW(curve.Draw());
        EXPECT_NO_THROW(curve.DrawSelected());
        EXPECT_NO_THROW(curve.DrawOnCanvas(view.Canvas, true));
        EXPECT_NO_THROW(curve.IsClosed());
        EXPECT_NO_THROW(curve.SetKeepProfile(false));
        TMemoryStream again(record.Data());
        auto copy = QV_00FindClassByIndex(c.classId).CreateFromStream(again, "QV-3.6");
        EXPECT_NO_THROW(copy->Assign(curve));
        if (c.classId == 7) {
            EXPECT_NO_THROW(dynamic_cast<TEllipseOpen2D&>(curve).SetEndAngle(1.0));
        }
    }

    // A record that ends early is refused.
    TBytes cut = CurveRecord({TPoint2D{0, 0, 1}, TPoint2D{1, 1, 1}}, 0, 0, 50, 1);
    for (size_t keep : {cut.Size() - 1, cut.Size() - 3}) {
        std::vector<uint8_t> bytes(cut.Data().begin(), cut.Data().begin() + static_cast<long>(keep));
        TMemoryStream in(bytes);
        EXPECT_THROW(TFrame2D(in, "QV-3.6"), EStreamReadError);
    }
    TMemoryStream noDirection(cut.Data());
    EXPECT_THROW(TEllipseOpen2D(noDirection, "QV-3.6"), EStreamReadError);
}

// ---- Drawing ----------------------------------------------------------------------------

struct CurveView : ::testing::Test {
    CurveView()
    {
        Doc.Layers().GetLayer(2).SetPenColor(0x0000FF00); // green
        Doc.Layers().GetLayer(2).SetPenWidth(3);
        Doc.SetCurrentLayer(2);
        View.Projection.Scale = 10;
        View.Projection.OriginX = 100;
        View.Projection.OriginY = 100;
    }
    const TSceneLines& OnlyLines(TSceneGroup group)
    {
        const auto children = View.Scene.Children(View.Scene.Group(group));
        EXPECT_EQ(children.size(), 1u);
        static const TSceneLines none;
        const TSceneLines* lines = children.empty() ? nullptr : View.Scene.As<TSceneLines>(children.back());
        return lines ? *lines : none;
    }
    void Clear()
    {
        View.Scene.ClearGroup(View.Scene.Group(TSceneGroup::Entity));
        View.Scene.ClearGroup(View.Scene.Group(TSceneGroup::Selection));
    }
    kbtest::TRecordingViewServices View;
    TQV_01Cmp2D Doc;
};

TEST_F(CurveView, ARotatedFrameIsDrawnAsTheRotatedOutlineItIs)
{
    const double r = std::sqrt(2.0);
    auto* frame = Doc.AddObject(-1, std::make_unique<TFrame2D>(-1, MakePoint2D(0, 0), MakePoint2D(2, 2)));
    frame->Transform(TMatrix4::CreateRotationZ(45, true));
    Clear();
    frame->Draw();
    const TSceneLines& lines = OnlyLines(TSceneGroup::Entity);
    const double expected[5][2] = {{0, 0}, {r, r}, {0, 2 * r}, {-r, r}, {0, 0}};
    ASSERT_EQ(lines.Nodes.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(lines.Nodes[i].X, expected[i][0], 1e-12) << i;
        EXPECT_NEAR(lines.Nodes[i].Y, expected[i][1], 1e-12) << i;
    }
    EXPECT_FLOAT_EQ(lines.Color.G, 1.0f);
    EXPECT_FLOAT_EQ(lines.LineWidth, 3.0f);
    EXPECT_EQ(frame->SceneNode(), View.Scene.Children(View.Scene.Group(TSceneGroup::Entity)).back());

    // The highlight is the profile, five nodes, through the same transform.
    frame->DrawSelected();
    const TSceneLines& selected = OnlyLines(TSceneGroup::Selection);
    ASSERT_EQ(selected.Nodes.size(), 5u);
    EXPECT_NEAR(selected.Nodes[2].Y, 2 * r, 1e-12);
}

TEST_F(CurveView, AFrameTakesItsLayersPenEvenAsADisplayObject)
{
    auto* frame = Doc.AddObject(-1, std::make_unique<TFrame2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 1), 0x000000FF, 5,
                                                                IdentityMatrix4()));
    EXPECT_FALSE(frame->Pickable());
    const TSceneLines& lines = OnlyLines(TSceneGroup::Entity);
    EXPECT_FLOAT_EQ(lines.Color.R, 0.0f);
    EXPECT_FLOAT_EQ(lines.Color.G, 1.0f);
    EXPECT_FLOAT_EQ(lines.LineWidth, 3.0f);
}

TEST_F(CurveView, EllipsesDrawTheirProfileInTheirGroups)
{
    auto* ellipse = Doc.AddObject(-1, std::make_unique<TEllipse2D>(-1, MakePoint2D(-4, -2), MakePoint2D(4, 2)));
    ellipse->Transform(TMatrix4::CreateTranslation(0, 0, 1));
    Clear();
    ellipse->Draw();
    const TSceneLines& lines = OnlyLines(TSceneGroup::Entity);
    ASSERT_EQ(lines.Nodes.size(), 51u);
    EXPECT_NEAR(lines.Nodes[0].X, 4, 1e-12);
    EXPECT_NEAR(lines.Nodes[0].Z, 1, 1e-12); // (X, Y, 0, 1) through the model transform
    EXPECT_FLOAT_EQ(lines.LineWidth, 3.0f);
    EXPECT_FALSE(lines.NodesVisible);
    ellipse->DrawSelected();
    EXPECT_EQ(OnlyLines(TSceneGroup::Selection).Nodes.size(), 51u);

    auto* arc = Doc.AddObject(-1, std::make_unique<TEllipseOpen2D>(-1, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.0, 1.0));
    Clear();
    arc->Draw();
    EXPECT_EQ(OnlyLines(TSceneGroup::Entity).Nodes.size(), 51u);
    arc->DrawSelected();
    EXPECT_TRUE(View.Scene.Children(View.Scene.Group(TSceneGroup::Selection)).empty());

    // A group of the caller's.
    const TSceneNodeId own = View.Scene.CreateGroup(View.Scene.Group(TSceneGroup::Chain), "own");
    const TSceneNodeId node = arc->BuildSceneObjectIn(own);
    EXPECT_EQ(View.Scene.Children(own), std::vector<TSceneNodeId>{node});
}

TEST_F(CurveView, OverlayDrawingShowsTheProfileAndTheLiveSizes)
{
    TFrame2D frame(1, MakePoint2D(0, 0), MakePoint2D(2, 1));
    frame.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    View.Readout.Calls.clear();
    frame.SetKeepProfile(false);
    frame.DrawOnCanvas(View.Canvas, true);
    const std::vector<std::string> expected = {
        "frame 107,97-113,103",
        "frame 127,87-133,93",
        "polyline 110,100 110,90 130,90 130,100 110,100",
    };
    EXPECT_EQ(View.Canvas.Calls, expected);
    EXPECT_FALSE(frame.HasProfile());
    EXPECT_EQ(View.Readout.Calls.back(), "frame 0,0 2,1"); // the stored corners

    View.Canvas.Calls.clear();
    frame.DrawOnCanvasTransformed(View.Canvas, TMatrix4::CreateTranslation(0, -1, 0));
    EXPECT_EQ(View.Canvas.Calls, std::vector<std::string>{"polyline 110,110 110,100 130,100 130,110 110,110"});

    View.Readout.Calls.clear();
    TEllipse2D ellipse(2, MakePoint2D(0, 0), MakePoint2D(4, 2));
    EXPECT_EQ(View.Readout.Calls, std::vector<std::string>{"size 0,0 4,2"});
    // A nested zoom or pan leaves the read-out of the command it interrupts.
    View.Commands.Suspended = true;
    TEllipseOpen2D arc(3, MakePoint2D(0, 0), MakePoint2D(4, 2), 0.0, 1.0);
    TFrame2D other(4, MakePoint2D(0, 0), MakePoint2D(4, 2));
    EXPECT_EQ(View.Readout.Calls.size(), 1u);
}

// ---- Copying --------------------------------------------------------------------------------

TEST(CurveAssign, CopiesTakeTheBoxCornersOfRelatedKindsAndTheCurveSettings)
{
    TEllipse2D ellipse(1, MakePoint2D(-4, -2), MakePoint2D(4, 2));
    ellipse.SetSegments(8);
    ellipse.Transform(TMatrix4::CreateTranslation(1, 0, 0));

    TFrame2D frame(2, MakePoint2D(0, 0), MakePoint2D(1, 1));
    frame.Assign(ellipse);
    EXPECT_EQ(frame.Segments(), 8);
    ExpectPoint(frame.Points().Get(0), -4, -2);
    ExpectPoint(frame.Points().Get(1), 4, 2);
    EXPECT_FALSE(frame.Points().Growable());
    ExpectBox(frame.Box(), -3, -2, 5, 2); // the source's transform came along

    TEllipse2D fromFrame(3, MakePoint2D(0, 0), MakePoint2D(1, 1));
    fromFrame.Assign(frame);
    EXPECT_EQ(fromFrame.ProfilePointsCount(), 9);
    // From an arc: its centre and radius point, as stored, become the corners.
    TArco2D circular(8, MakePoint2D(1, 1), MakePoint2D(3, 1), 0.0, 1.0);
    fromFrame.Assign(circular);
    ASSERT_EQ(fromFrame.Points().Count(), 2);
    ExpectPoint(fromFrame.Points().Get(0), 1, 1);
    ExpectPoint(fromFrame.Points().Get(1), 3, 1);

    // An ellipse becomes the full turn from parameter 0.
    TEllipseOpen2D arc(4, MakePoint2D(0, 0), MakePoint2D(1, 1), 1.0, 2.0);
    arc.SetDirection(false);
    arc.Assign(ellipse);
    ASSERT_EQ(arc.Points().Count(), 4);
    ExpectPoint(arc.Points().Get(2), 4, 0);
    ExpectPoint(arc.Points().Get(3), 4, 0);
    EXPECT_EQ(arc.StartAngle(), 0.0);
    EXPECT_EQ(arc.EndAngle(), 0.0);
    ExpectPoint(arc.ProfilePoints().Get(0), 4, 0);
    EXPECT_TRUE(arc.IsClosed());

    TEllipseOpen2D source(5, MakePoint2D(-4, -2), MakePoint2D(4, 2), 0.5, 2.5);
    source.SetDirection(false);
    source.SetKeepProfile(false);
    TEllipseOpen2D copy(6, MakePoint2D(0, 0), MakePoint2D(1, 1), 0.0, 0.0);
    copy.Assign(source);
    EXPECT_FALSE(copy.Direction());
    EXPECT_FALSE(copy.KeepProfile());
    copy.SetKeepProfile(true);
    source.SetKeepProfile(true);
    EXPECT_DOUBLE_EQ(copy.StartAngle(), source.StartAngle());
    EXPECT_DOUBLE_EQ(copy.EndAngle(), source.EndAngle());
    ExpectPoint(copy.ProfilePoints().Get(50), source.ProfilePoints().Get(50).X, source.ProfilePoints().Get(50).Y);

    // Unrelated kinds leave the copy without control points.
    TLine2D line(7, MakePoint2D(0, 0), MakePoint2D(1, 1));
    frame.Assign(line);
    EXPECT_EQ(frame.Points().Count(), 0);
    arc.Assign(line);
    EXPECT_EQ(arc.Points().Count(), 0);
    EXPECT_FALSE(arc.HasProfile());
}

}  // namespace curve_entities_test
