#include "cam/curves/ACurva.h"
#include "cam/curves/Span.h"
#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

TAVertice Line(double x, double y) { return TAVertice::CreateAt({x, y}, 0); }
TAVertice Arc(int kind, double x, double y, double cx, double cy) { return TAVertice::CreateFull(kind, {x, y}, {cx, cy}, 0); }

TACurva MakeCurve(std::initializer_list<TAVertice> vertices, bool closed)
{
    TACurva c;
    for (const TAVertice& v : vertices) {
        c.AddVertex(v);
    }
    c.Closed = closed ? 1 : 0;
    return c;
}

// A 10 x 10 square counter-clockwise whose right side bulges out as a half
// circle of radius 5 about (10, 5).
TACurva BulgedSquare()
{
    return MakeCurve({Line(0, 0), Line(10, 0), Arc(1, 10, 10, 10, 5), Line(0, 10), Line(0, 0)}, true);
}

kbtest::TBytes& Vertex(kbtest::TBytes& b, int32_t kind, double x, double y, double cx, double cy, int32_t attr, int32_t id)
{
    return b.I32(kind).F64(x).F64(y).F64(cx).F64(cy).I32(attr).I32(id);
}

} // namespace

TEST(MachiningCurve, SignedAreaAndOrientationWithArcs)
{
    const double pi = M_PI;
    struct TCase {
        const char* Name;
        TACurva Curve;
        double Area;
        bool Clockwise;
    } cases[] = {
        {"ccw unit square", MakeCurve({Line(0, 0), Line(1, 0), Line(1, 1), Line(0, 1), Line(0, 0)}, true), -1.0, false},
        {"bulged square", BulgedSquare(), -(100.0 + 12.5 * pi), false},
        {"ccw circle of two half arcs", MakeCurve({Line(2, 0), Arc(1, -2, 0, 0, 0), Arc(1, 2, 0, 0, 0)}, true), -4 * pi, false},
        {"cw circle of two half arcs", MakeCurve({Line(2, 0), Arc(-1, -2, 0, 0, 0), Arc(-1, 2, 0, 0, 0)}, true), 4 * pi, true},
        // The arc bulges into the square: its sector is taken away.
        {"square with inward bite", MakeCurve({Line(0, 0), Line(10, 0), Arc(1, 10, 10, 10, 5), Line(0, 10), Line(0, 0)}, true),
         -(100.0 + 12.5 * pi), false},
        {"open cw path is never clockwise", MakeCurve({Line(0, 0), Line(0, 1), Line(1, 1), Line(1, 0)}, false), 1.0, false},
    };
    cases[4].Curve.Vertices[2].Kind = -1;
    cases[4].Area = -(100.0 - 12.5 * pi);
    for (const TCase& c : cases) {
        EXPECT_NEAR(c.Curve.SignedArea(), c.Area, 1e-9) << c.Name;
        EXPECT_EQ(c.Curve.IsClockwise(), c.Clockwise) << c.Name;
    }
}

TEST(MachiningCurve, ReverseRunsTheSamePathBackwards)
{
    TACurva c = BulgedSquare();
    c.Vertices[2].ID = 12;
    c.Reverse();
    EXPECT_EQ(c.Reversed, 1);
    ASSERT_EQ(c.Count(), 5);
    // (0,0) (0,10) (10,10) then the arc back to (10,0) clockwise, (0,0).
    EXPECT_EQ(c.Vertices[0].Kind, 0);
    EXPECT_EQ(c.Vertices[2].EndPoint.X, 10.0);
    EXPECT_EQ(c.Vertices[2].EndPoint.Y, 10.0);
    EXPECT_EQ(c.Vertices[3].Kind, -1);
    EXPECT_EQ(c.Vertices[3].EndPoint.Y, 0.0);
    EXPECT_EQ(c.Vertices[3].Centre.Y, 5.0);
    EXPECT_NEAR(c.SignedArea(), 100.0 + 12.5 * M_PI, 1e-9);
    EXPECT_TRUE(c.IsClockwise());

    c.Reverse();
    const TACurva original = BulgedSquare();
    EXPECT_EQ(c.Reversed, 0);
    for (int i = 0; i < c.Count(); ++i) {
        EXPECT_EQ(c.Vertices[i].Kind, original.Vertices[i].Kind);
        EXPECT_EQ(c.Vertices[i].EndPoint.X, original.Vertices[i].EndPoint.X);
        EXPECT_EQ(c.Vertices[i].EndPoint.Y, original.Vertices[i].EndPoint.Y);
        EXPECT_EQ(c.Vertices[i].ID, -1);
    }
}

TEST(MachiningCurve, StreamRecordByVersion)
{
    kbtest::TBytes b;
    b.I32(1).U8(1).I16(1).I32(7);
    Vertex(b, 0, 1, 2, 0, 0, 5, -1);
    Vertex(b, -1, 3, 4, 2, 3, 0, 9);
    b.U8(0xEE); // the next record of the section
    TMemoryStream s(b.Data());
    TACurva c;
    c.LoadFromStream(s, "QV-3.6");
    EXPECT_EQ(c.ID, 7);
    EXPECT_EQ(c.Tag, 1);
    EXPECT_EQ(c.Reversed, 1);
    EXPECT_EQ(c.Closed, 1);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Vertices[0].Attribute, 5);
    EXPECT_EQ(c.Vertices[1].Kind, -1);
    EXPECT_EQ(c.Vertices[1].Centre.Y, 3.0);
    EXPECT_EQ(c.Vertices[1].ID, 9);
    EXPECT_EQ(s.Position(), s.Size() - 1);

    TMemoryStream out;
    c.SaveToStream(out);
    std::vector<uint8_t> expected = b.Data();
    expected.pop_back();
    EXPECT_EQ(out.Data(), expected);

    // Before "QV-001" there are no reversed and ID fields.
    kbtest::TBytes old;
    old.I32(0).U8(0);
    Vertex(old, 0, 1, 2, 0, 0, 0, -1);
    old.U8(0);
    TMemoryStream olds(old.Data());
    TACurva oc;
    oc.LoadFromStream(olds, "CAD422");
    EXPECT_EQ(oc.ID, 0);
    EXPECT_EQ(oc.Reversed, 0);
    EXPECT_EQ(oc.Count(), 1);
}

TEST(MachiningCurve, DamagedRecordsAreRefused)
{
    kbtest::TBytes exact;
    exact.I32(0).U8(0).I16(0).I32(1);
    Vertex(exact, 0, 1, 2, 0, 0, 0, -1);
    kbtest::TBytes truncated;
    truncated.I32(1).U8(0).I16(0).I32(1);
    Vertex(truncated, 0, 1, 2, 0, 0, 0, -1);
    truncated.I32(0).F64(1);
    kbtest::TBytes huge;
    huge.I32(2000000000).U8(0).I16(0).I32(1).U8(0);
    kbtest::TBytes negative;
    negative.I32(-5).U8(0).I16(0).I32(1).U8(0);
    kbtest::TBytes header;
    header.I32(3).U8(0);
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"record ends at the stream end", exact.Data()},
        {"truncated vertex", truncated.Data()},
        {"count beyond the stream", huge.Data()},
        {"negative count", negative.Data()},
        {"truncated header", header.Data()},
    };
    for (const auto& [name, bytes] : cases) {
        TMemoryStream s(bytes);
        TACurva c;
        try {
            c.LoadFromStream(s, "QV-3.6");
            ADD_FAILURE() << name << ": not refused";
        } catch (const ECADFileNotValid& e) {
            EXPECT_STREQ(e.what(), "LoadFromStream: Invalid stream.") << name;
        }
        EXPECT_EQ(c.Count(), 0) << name;
    }
}

TEST(MachiningCurve, ArcRecordSweepAndPoints)
{
    const TAArco same = TAArco::Create({1, 0}, {1, 0}, {0, 0}, true, 0);
    EXPECT_EQ(same.SweepAngle(), 0.0);
    const TAArco ccw = TAArco::Create({1, 0}, {0, 1}, {0, 0}, true, 0);
    EXPECT_NEAR(ccw.SweepAngle(), M_PI / 2, 1e-12);
    const TVector2D mid = ccw.PointAt(0.5);
    EXPECT_NEAR(mid.X, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(mid.Y, std::sqrt(0.5), 1e-12);
    TAArco cw = ccw;
    cw.CounterClockwise = 0;
    EXPECT_NEAR(cw.SweepAngle(), 1.5 * M_PI, 1e-12);
    EXPECT_NEAR(cw.PointAt(0.5).X, -std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(cw.Length(), 1.5 * M_PI, 1e-12);
    cw.SetDirectionThrough({std::sqrt(0.5), std::sqrt(0.5)});
    EXPECT_EQ(cw.CounterClockwise, 1);
    cw.SetDirectionThrough({0, -1});
    EXPECT_EQ(cw.CounterClockwise, 0);
    cw.ComputeAngles();
    EXPECT_NEAR(cw.StartAngle - cw.EndAngle, 1.5 * M_PI, 1e-12);
}

TEST(MachiningCurve, BoxOfArcSegments)
{
    const auto polar = [](double deg) {
        return TVector2D{10 * std::cos(deg * M_PI / 180), 10 * std::sin(deg * M_PI / 180)};
    };
    struct TCase {
        const char* Name;
        double FromDeg, ToDeg;
        int Kind;
        double MinX, MinY, MaxX, MaxY;
    } cases[] = {
        {"ccw 80 to 10 passes all four extremes", 80, 10, 1, -10, -10, 10, 10},
        {"ccw 10 to 80 stays in its quadrant", 10, 80, 1, polar(80).X, polar(10).Y, polar(10).X, polar(80).Y},
        {"cw 80 to 10 stays in its quadrant", 80, 10, -1, polar(80).X, polar(10).Y, polar(10).X, polar(80).Y},
        {"ccw 45 to 135 passes the top", 45, 135, 1, polar(135).X, polar(45).Y, polar(45).X, 10},
        {"cw 45 to 135 passes right, bottom, left", 45, 135, -1, -10, -10, 10, polar(45).Y},
    };
    for (const TCase& c : cases) {
        TABox box;
        const TVector2D end = polar(c.ToDeg);
        ExtendBoxBySegment(polar(c.FromDeg), TAVertice::CreateFull(c.Kind, end, {0, 0}, 0), box);
        EXPECT_NEAR(box.MinX, c.MinX, 1e-9) << c.Name;
        EXPECT_NEAR(box.MinY, c.MinY, 1e-9) << c.Name;
        EXPECT_NEAR(box.MaxX, c.MaxX, 1e-9) << c.Name;
        EXPECT_NEAR(box.MaxY, c.MaxY, 1e-9) << c.Name;
    }
}

TEST(MachiningCurve, StartPointMoves)
{
    const TACurva square = MakeCurve({Line(0, 0), Line(10, 0), Line(10, 10), Line(0, 10), Line(0, 0)}, true);

    TACurva c = square;
    c.RotateStart(0);
    c.StartAtNearestVertex({0.1, 0.1});
    EXPECT_EQ(c.Vertices.size(), square.Vertices.size());
    EXPECT_EQ(c.Vertices[1].EndPoint.X, 10.0);

    c.RotateStart(2);
    ASSERT_EQ(c.Count(), 5);
    EXPECT_EQ(c.Vertices[0].EndPoint.X, 10.0);
    EXPECT_EQ(c.Vertices[0].EndPoint.Y, 10.0);
    EXPECT_EQ(c.Vertices[4].EndPoint.X, 10.0);
    EXPECT_EQ(c.Vertices[4].EndPoint.Y, 10.0);
    EXPECT_NEAR(c.SignedArea(), -100.0, 1e-12);

    // An arc at the pivot closes the rotated curve.
    TACurva b = BulgedSquare();
    b.RotateStart(2);
    EXPECT_EQ(b.Vertices[0].Kind, 0);
    EXPECT_EQ(b.Vertices.back().Kind, 1);
    EXPECT_NEAR(b.SignedArea(), -(100.0 + 12.5 * M_PI), 1e-9);

    TACurva m = BulgedSquare();
    m.RotateStart(1);
    m.StartAtFirstMidpoint(); // middle of the half circle: (15, 5)
    EXPECT_NEAR(m.Vertices[0].EndPoint.X, 15.0, 1e-12);
    EXPECT_NEAR(m.Vertices[0].EndPoint.Y, 5.0, 1e-12);
    EXPECT_EQ(m.Vertices.back().Kind, 1);
    EXPECT_NEAR(m.SignedArea(), -(100.0 + 12.5 * M_PI), 1e-9);

    // A point within the chain tolerance of the next end point inserts
    // nothing and the curve starts there.
    TACurva p = square;
    TCurvePointRecord r = p.NearestSegmentStart({10.0005, 4});
    EXPECT_EQ(r.Index, 1);
    r.Point = {10.0005, 10.001};
    p.StartAtPoint(r);
    EXPECT_EQ(p.Count(), 5);
    EXPECT_EQ(p.Vertices[0].EndPoint.Y, 10.0);
    TACurva q = square;
    q.StartAtPoint(q.NearestSegmentStart({12, 4}));
    EXPECT_EQ(q.Count(), 6);
    EXPECT_EQ(q.Vertices[0].EndPoint.X, 10.0);
    EXPECT_EQ(q.Vertices[0].EndPoint.Y, 4.0);
}

TEST(MachiningCurve, NearestSearches)
{
    const TACurva c = BulgedSquare();
    const TCurvePointRecord r = c.NearestPoint({20, 5});
    EXPECT_EQ(r.Index, 2);
    EXPECT_NEAR(r.Distance, 5.0, 1e-12);
    EXPECT_NEAR(r.Point.X, 15.0, 1e-12);
    const TCurvePointRecord none = TACurva().NearestPoint({1, 1});
    EXPECT_EQ(none.Distance, 1e8);
    const TACurva open = MakeCurve({Line(0, 0), Line(5, 0), Line(9, 0)}, false);
    EXPECT_EQ(open.NearestEnd({4.5, 0}).X, 9.0);
    EXPECT_EQ(open.NearestEnd({4.6, 0}).X, 9.0);
    EXPECT_EQ(open.NearestEnd({4.4, 0}).X, 0.0);
}

TEST(MachiningCurve, LeadsOnTheCompensationSide)
{
    TACurva c = MakeCurve({Line(0, 0), Line(10, 0)}, false);
    c.AddLeadInOut({-1, 1, 2.0, 2, 2.0});
    ASSERT_EQ(c.Count(), 4);
    EXPECT_EQ(c.Vertices[0].EndPoint.X, 0.0);
    EXPECT_EQ(c.Vertices[0].EndPoint.Y, -2.0);
    const TAVertice& out = c.Vertices[3];
    EXPECT_EQ(out.Kind, -1);
    EXPECT_NEAR(out.Centre.X, 10.0, 1e-12);
    EXPECT_NEAR(out.Centre.Y, -2.0, 1e-12);
    EXPECT_NEAR(out.EndPoint.X, 12.0, 1e-12);
    EXPECT_NEAR(out.EndPoint.Y, -2.0, 1e-12);

    TACurva a = MakeCurve({Line(0, 0), Line(10, 0)}, false);
    a.AddLeadInOut({1, 2, 3.0, 0, 0.0});
    ASSERT_EQ(a.Count(), 3);
    EXPECT_NEAR(a.Vertices[0].EndPoint.X, -3.0, 1e-12);
    EXPECT_NEAR(a.Vertices[0].EndPoint.Y, 3.0, 1e-12);
    EXPECT_EQ(a.Vertices[1].Kind, 1);
    EXPECT_NEAR(a.Vertices[1].Centre.Y, 3.0, 1e-12);
}

TEST(MachiningCurve, OldToolpathRecordKeepsTheStreamInStep)
{
    kbtest::TBytes b;
    b.I32(1).U8(0).I16(0).I32(3);
    Vertex(b, 0, 1, 2, 0, 0, 0, -1);
    Vertex(b, 0, 3, 4, 0, 0, 0, -1);
    b.F64(2.5).I32(77); // the old record's two trailing values
    b.I32(0).U8(1).I16(0).I32(4);
    Vertex(b, 0, 9, 9, 0, 0, 0, -1);
    b.U8(0xEE);
    TMemoryStream s(b.Data());
    TCurvaNci old;
    old.LoadFromStream(s, "QV-3.6");
    EXPECT_EQ(old.Count(), 2);
    EXPECT_EQ(s.Position(), 11 + 2 * 44 + 12);
    TACurva next;
    next.LoadFromStream(s, "QV-3.6");
    EXPECT_EQ(next.ID, 4);
    EXPECT_EQ(next.Closed, 1);
    EXPECT_EQ(next.Vertices[0].EndPoint.X, 9.0);
}

TEST(MachiningCurve, LoadedIdsRaiseTheIdCounterNeverLowerIt)
{
    const auto load = [](int32_t id) {
        kbtest::TBytes b;
        b.I32(0).U8(0).I16(0).I32(id);
        Vertex(b, 0, 1, 2, 0, 0, 0, -1);
        b.U8(0);
        TMemoryStream s(b.Data());
        TACurva c;
        c.LoadFromStream(s, "QV-3.6");
    };
    TGestioneID& ids = GestioneID();
    const int32_t saved = ids.Counter;
    ids.Counter = 0;
    load(40);
    EXPECT_EQ(ids.NextID(), 41);
    load(12);
    EXPECT_EQ(ids.NextID(), 42);
    ids.Counter = saved;
}

// Which of two equally good candidates each search reports, on lines and on
// arcs: NearestPoint and StartAtNearestVertex keep the first, the segment
// start search, the start search of a pass and NearestEnd the later one.
TEST(MachiningCurve, TieRulesOfTheSearches)
{
    const TACurva linesThereAndBack = MakeCurve({Line(0, 0), Line(10, 0), Line(0, 0)}, false);
    const TACurva arcsThereAndBack = MakeCurve({Line(10, 0), Arc(1, -10, 0, 0, 0), Arc(-1, 10, 0, 0, 0)}, false);
    const TACurva square = MakeCurve({Line(0, 0), Line(10, 0), Line(10, 10), Line(0, 10), Line(0, 0)}, true);
    const TACurva quarters = MakeCurve(
        {Line(10, 0), Arc(1, 0, 10, 0, 0), Arc(1, -10, 0, 0, 0), Arc(1, 0, -10, 0, 0), Arc(1, 10, 0, 0, 0)}, true);
    const TACurva lineOpen = MakeCurve({Line(0, 0), Line(10, 0)}, false);
    const TACurva halfCircle = MakeCurve({Line(10, 0), Arc(1, -10, 0, 0, 0)}, false);

    const auto nearest = [](const TACurva& c, TVector2D p) { return c.NearestPoint(p).Index; };
    const auto segmentStart = [](const TACurva& c, TVector2D p) { return c.NearestSegmentStart(p).Index; };
    const auto endX = [](const TACurva& c, TVector2D p) { return static_cast<int>(c.NearestEnd(p).X); };
    const auto startVertex = [](const TACurva& c, TVector2D p) {
        TACurva moved = c;
        moved.StartAtNearestVertex(p);
        return static_cast<int>(moved.Vertices[0].EndPoint.X * 10 + moved.Vertices[0].EndPoint.Y);
    };
    // A pass whose first two vertices both lie at p (a line second vertex:
    // the sum criterion; an arc: the distance criterion).
    const auto passStart = [](const TACurva& c, TVector2D p) {
        const int kind = c.Vertices[1].Kind;
        return c.FindStartSegment(Line(p.X, p.Y), Arc(kind, p.X, p.Y, 0, 0)).Index;
    };
    struct TCase {
        const char* Name;
        std::function<int(const TACurva&, TVector2D)> Search;
        const TACurva& Curve;
        TVector2D P;
        int Expected;
    };
    const TCase cases[] = {
        {"nearest point, lines: first", nearest, linesThereAndBack, {5, 1}, 1},
        {"nearest point, arcs: first", nearest, arcsThereAndBack, {0, 20}, 1},
        {"segment start, lines: later", segmentStart, linesThereAndBack, {5, 1}, 1},
        {"segment start, arcs: later", segmentStart, arcsThereAndBack, {0, 20}, 1},
        {"nearest end, line: last", endX, lineOpen, {5, 3}, 10},
        {"nearest end, arc: last", endX, halfCircle, {0, 5}, -10},
        {"nearest vertex, lines: first", startVertex, square, {10, 5}, 100},
        {"nearest vertex, arcs: first", startVertex, quarters, {-5, 5}, 10},
        {"pass start, lines: later", passStart, square, {5, 5}, 3},
        {"pass start, arcs: later", passStart, quarters, {0, -20}, 3},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.Search(c.Curve, c.P), c.Expected) << c.Name;
}
