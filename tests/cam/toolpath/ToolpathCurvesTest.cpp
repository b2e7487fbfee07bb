#include "cam/toolpath/ToolpathCurves.h"

#include "cam/curves/Area.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Line2D.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using kbtest::TBytes;

TAVertice3d L(double x, double y, double z = 0)
{
    return TAVertice3d::CreateAt({x, y, z});
}

TAVertice3d A(int kind, double x, double y, double cx, double cy, double z = 0)
{
    return TAVertice3d::CreateFull(kind, {x, y, z}, {cx, cy, z}, 0);
}

std::unique_ptr<TCurvaNci3d> Curve(std::initializer_list<TAVertice3d> vertices, bool closed = false, int16_t tag = 0,
                                   int32_t id = 0)
{
    auto c = std::make_unique<TCurvaNci3d>();
    for (const TAVertice3d& v : vertices)
        c->AddVertex(v);
    c->Closed = closed ? 1 : 0;
    c->Tag = tag;
    c->ID = id;
    return c;
}

// End points (x, y, z) and kinds of a curve, for whole-curve comparisons.
struct TPt {
    double X, Y, Z;
    int Kind;
};

void ExpectPoints(const TCurva3d& c, const std::vector<TPt>& expected)
{
    ASSERT_EQ(c.Vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(c.Vertices[i].EndPoint.X, expected[i].X, 1e-9);
        EXPECT_NEAR(c.Vertices[i].EndPoint.Y, expected[i].Y, 1e-9);
        EXPECT_NEAR(c.Vertices[i].EndPoint.Z, expected[i].Z, 1e-9);
        EXPECT_EQ(c.Vertices[i].Kind, expected[i].Kind);
    }
}

void Vertex(TBytes& b, int32_t kind, double x, double y, double z, double cx, double cy, double cz, int32_t attr)
{
    b.I32(kind).F64(x).F64(y).F64(z).F64(cx).F64(cy).F64(cz).I32(attr);
}

// A toolpath record of three vertices (two lines and a clockwise arc) at Z
// -1, Tag 0x0201, ID 42, Code 81; Tag and ID only from "QV-001" on.
TBytes CurveRecord(const std::string& version)
{
    TBytes b;
    b.I32(2).U8(1);
    if (version >= "QV-001")
        b.I16(0x0201).I32(42);
    Vertex(b, 0, 0, 0, -1, 0, 0, 0, 0);
    Vertex(b, 0, 10, 0, -1, 0, 0, 0, 3);
    Vertex(b, -1, 10, 10, -1, 10, 5, -1, 7);
    b.I32(81);
    return b;
}

TArea Square(double size)
{
    TArea area;
    auto outline = std::make_unique<TACurva>();
    for (auto [x, y] : {std::pair{0.0, 0.0}, {size, 0.0}, {size, size}, {0.0, size}, {0.0, 0.0}})
        outline->AddVertex(TAVertice::CreateAt({x, y}, 0));
    outline->Closed = 1;
    area.AddCurve(std::move(outline));
    return area;
}

TEST(ToolpathRecord, ReadsEveryVersionAndWritesTheCurrentLayout)
{
    for (const std::string version : {"CAD422", "QV-001", "QV-3.6"}) {
        SCOPED_TRACE(version);
        TBytes bytes = CurveRecord(version);
        bytes.U8(0xEE); // a curve is always followed by more data
        TMemoryStream stream(bytes.Data());
        TCurvaNci3d c;
        c.CompCode = 41;
        c.Reversed = 1;
        c.LoadFromStream(stream, version);
        EXPECT_EQ(stream.Position(), stream.Size() - 1);
        EXPECT_EQ(c.Closed, 1);
        EXPECT_EQ(c.Tag, version == "CAD422" ? 0 : 0x0201);
        EXPECT_EQ(c.ID, version == "CAD422" ? 0 : 42);
        EXPECT_EQ(c.Code, 81);
        EXPECT_EQ(c.CompCode, 0);
        EXPECT_EQ(c.Reversed, 0);
        ExpectPoints(c, {{0, 0, -1, 0}, {10, 0, -1, 0}, {10, 10, -1, -1}});
        EXPECT_EQ(c.Vertices[1].Attribute, 3);
        EXPECT_EQ(c.Vertices[2].Attribute, 7);
        EXPECT_DOUBLE_EQ(c.Vertices[2].Centre.Y, 5);
        if (version == "QV-3.6") {
            TMemoryStream out;
            c.SaveToStream(out);
            EXPECT_EQ(out.Data(), CurveRecord(version).Data());
        }
    }
}

TEST(ToolpathRecord, DamagedRecordsAreRefusedAndLeaveTheCurveEmpty)
{
    const std::vector<uint8_t> whole = CurveRecord("QV-3.6").Data();
    // Cut anywhere (also right after the last vertex or inside Code).
    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        TMemoryStream stream(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n)));
        TCurvaNci3d c;
        EXPECT_THROW(c.LoadFromStream(stream, "QV-3.6"), ECADFileNotValid);
        EXPECT_TRUE(c.Vertices.empty());
    }
    // The plain record ending right after its last vertex.
    TBytes plain = CurveRecord("QV-3.6");
    std::vector<uint8_t> noCode(plain.Data().begin(), plain.Data().end() - 4);
    TMemoryStream s1(noCode);
    TCurva3d c1;
    EXPECT_THROW(c1.LoadFromStream(s1, "QV-3.6"), ECADFileNotValid);
    // Counts below -1 or beyond what the stream holds.
    for (int32_t count : {-2, 1000000000}) {
        TBytes b;
        b.I32(count).U8(0).I16(0).I32(0);
        for (int i = 0; i < 200; ++i)
            b.U8(0);
        TMemoryStream s(b.Data());
        TCurvaNci3d c;
        EXPECT_THROW(c.LoadFromStream(s, "QV-3.6"), ECADFileNotValid) << count;
    }
}

TEST(ToolpathCurve, ReverseMovesKindsAndCentresAndTwiceGivesTheCurveBack)
{
    auto c = Curve({L(0, 0), L(10, 0), A(1, 10, 10, 10, 5), A(-1, 5, 5, 5, 10)});
    const std::vector<TAVertice3d> before = c->Vertices;
    c->Reverse();
    EXPECT_EQ(c->Reversed, 1);
    ExpectPoints(*c, {{5, 5, 0, 0}, {10, 10, 0, 1}, {10, 0, 0, -1}, {0, 0, 0, 0}});
    EXPECT_DOUBLE_EQ(c->Vertices[1].Centre.Y, 10);
    EXPECT_DOUBLE_EQ(c->Vertices[2].Centre.Y, 5);
    c->Reverse();
    EXPECT_EQ(c->Reversed, 0);
    ASSERT_EQ(c->Vertices.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(c->Vertices[i].Kind, before[i].Kind);
        EXPECT_DOUBLE_EQ(c->Vertices[i].EndPoint.X, before[i].EndPoint.X);
        EXPECT_DOUBLE_EQ(c->Vertices[i].Centre.Y, before[i].Centre.Y);
    }
}

TEST(ToolpathCurve, SplitAndInsertPointKeepArcsOnTheirCircle)
{
    auto c = Curve({L(0, 0), L(10, 0), A(1, 10, 10, 10, 5)}, true, 0x0101, 9);
    c->CompCode = 41;
    TCurva3d::TSplit parts = c->Split(1);
    EXPECT_TRUE(c->Vertices.empty());
    ExpectPoints(*parts.First, {{0, 0, 0, 0}, {10, 0, 0, 0}});
    ExpectPoints(*parts.Second, {{10, 0, 0, 0}, {10, 10, 0, 1}});
    for (const TCurvaNci3d* p : {parts.First.get(), parts.Second.get()})
        EXPECT_TRUE(p->ID == 0 && p->Tag == 0 && p->CompCode == 0 && p->Closed == 0 && p->Code == 0);
    EXPECT_THROW(parts.First->Split(2), ECADOutOfBound);

    struct TCase {
        TVector3D Point;
        int32_t Index;
        size_t Count;
    };
    for (const TCase& t : {TCase{{15, 5, 0}, 2, 4}, TCase{{10, 0, 0}, 1, 3}, TCase{{10, 10, 0}, 2, 3}}) {
        auto d = Curve({L(0, 0), L(10, 0), A(1, 10, 10, 10, 5)});
        int32_t index = 1;
        d->InsertPoint(index, t.Point);
        EXPECT_EQ(index, t.Index);
        ASSERT_EQ(d->Vertices.size(), t.Count);
        EXPECT_DOUBLE_EQ(d->Vertices[static_cast<size_t>(index)].EndPoint.X, t.Point.X);
        if (t.Count == 4) {
            // Both halves of the split arc keep its kind and centre.
            for (size_t i : {2u, 3u}) {
                EXPECT_EQ(d->Vertices[i].Kind, 1);
                EXPECT_DOUBLE_EQ(d->Vertices[i].Centre.X, 10);
                EXPECT_DOUBLE_EQ(d->Vertices[i].Centre.Y, 5);
            }
        }
    }
}

std::vector<int32_t> Ids(const TListaDiCurve3d& list)
{
    std::vector<int32_t> ids;
    for (const auto& c : list)
        ids.push_back(c->ID);
    return ids;
}

TListaDiCurve3d List(std::vector<std::unique_ptr<TCurvaNci3d>> curves)
{
    TListaDiCurve3d list;
    for (auto& c : curves)
        list.push_back(std::move(c));
    return list;
}

std::unique_ptr<TCurvaNci3d> Piece(int32_t id, int16_t tag, double x, double y)
{
    return Curve({L(x, y), L(x, y + 1)}, false, tag, id);
}

TEST(ToolpathOrder, ByLevelWithinRunsAndTiesToTheEarlier)
{
    std::vector<std::unique_ptr<TCurvaNci3d>> v;
    // Level 0 only: unchanged.
    v.push_back(Piece(1, 0, 9, 9));
    v.push_back(Piece(2, 0, 0, 0));
    TListaDiCurve3d flat = List(std::move(v));
    OrderByLevel(flat, {0, 0});
    EXPECT_EQ(Ids(flat), (std::vector<int32_t>{1, 2}));

    // Runs of one level are ordered nearest-first; other levels stay put;
    // the current point carries over (level 2 ends at (3, 2), so level 1's
    // run starts with the curve nearer to it).
    v.clear();
    v.push_back(Piece(1, 0x0100, 0, 5));
    v.push_back(Piece(6, 0x0100, 3, 3));
    v.push_back(Piece(2, 0x0200, 8, 0));
    v.push_back(Piece(3, 0x0200, 2, 0));
    v.push_back(Piece(4, 0, 50, 50));
    v.push_back(Piece(5, 0x0200, 3, 1));
    TListaDiCurve3d list = List(std::move(v));
    OrderByLevel(list, {0, 0});
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{6, 1, 3, 2, 4, 5}));

    // Equal distances: the earlier curve comes first.
    v.clear();
    v.push_back(Piece(1, 0x0100, 1, 0));
    v.push_back(Piece(2, 0x0100, -1, 0));
    TListaDiCurve3d tie = List(std::move(v));
    OrderByLevel(tie, {0, 0});
    EXPECT_EQ(Ids(tie), (std::vector<int32_t>{1, 2}));
}

TEST(ToolpathOrder, IslandsFirstOrLast)
{
    auto make = [] {
        std::vector<std::unique_ptr<TCurvaNci3d>> v;
        v.push_back(Piece(1, 0x0100, 5, 5));
        v.push_back(Piece(2, 0x0101, 9, 9)); // islands: low byte 1
        v.push_back(Piece(3, 0x0100, 20, 20));
        v.push_back(Piece(4, 0x0101, 1, 1));
        return List(std::move(v));
    };
    TListaDiCurve3d first = make();
    OrderIslandsFirst(first, {0, 0}, true);
    // Islands from (0, 0): 4, 2 (ends at (9, 10)); the rest from there: 1 is
    // nearer than 3.
    EXPECT_EQ(Ids(first), (std::vector<int32_t>{4, 2, 1, 3}));
    TListaDiCurve3d last = make();
    OrderIslandsFirst(last, {30, 30}, false);
    // The rest from (30, 30): 3, 1 (ends at (5, 6)); the islands from there.
    EXPECT_EQ(Ids(last), (std::vector<int32_t>{3, 1, 2, 4}));
}

struct TTabCase {
    const char* Name;
    std::vector<TAVertice3d> Vertices;
    bool Closed;
    TVector2D Point;
    double Width;
    bool Full;
    std::vector<std::vector<TPt>> Expected;
};

TEST(ToolpathTabs, FullAndPartialTabs)
{
    const double z = 1.5;
    const double t = 0.2; // radians of the half circle below the tab end
    const double bx = 10 + 5 * std::sin(t);
    const double by = 5 - 5 * std::cos(t);
    const std::vector<TAVertice3d> bend{L(0, 0), L(10, 0), A(1, 10, 10, 10, 5)};
    const std::vector<TAVertice3d> square{L(0, 0), L(10, 0), L(10, 10), L(0, 10), L(0, 0)};
    const std::vector<TTabCase> cases{
        {"full on a line", {L(0, 0), L(10, 0)}, false, {5, 0}, 2, true, {{{0, 0, 0, 0}, {4, 0, 0, 0}}, {{6, 0, 0, 0}, {10, 0, 0, 0}}}},
        {"partial on a line", {L(0, 0), L(10, 0)}, false, {5, 0}, 2, false,
         {{{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 0, z, 0}, {6, 0, z, 0}, {6, 0, 0, 0}, {10, 0, 0, 0}}}},
        // Tab end 0.2 rad into the half circle after the line.
        {"full across an arc", bend, false, {9, 0}, 2 + 10 * t, true,
         {{{0, 0, 0, 0}, {9 - (1 + 5 * t), 0, 0, 0}}, {{bx, by, 0, 0}, {10, 10, 0, 1}}}},
        {"partial across an arc", bend, false, {9, 0}, 2 + 10 * t, false,
         {{{0, 0, 0, 0}, {9 - (1 + 5 * t), 0, 0, 0}, {9 - (1 + 5 * t), 0, z, 0}, {10, 0, z, 0}, {bx, by, z, 1},
           {bx, by, 0, 0}, {10, 10, 0, 1}}}},
        // Over the start of a closed square: from (0, 1) round the start to (3, 0).
        {"full over the start", square, true, {1, 0}, 4, true,
         {{{3, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}, {0, 1, 0, 0}}}},
        {"partial over the start", square, true, {1, 0}, 4, false,
         {{{0, 0, z, 0}, {3, 0, z, 0}, {3, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}, {0, 1, 0, 0},
           {0, 1, z, 0}, {0, 0, z, 0}}}},
        {"full over a whole closed curve", square, true, {5, 0}, 50, true, {}},
        {"partial over a whole closed curve", square, true, {5, 0}, 50, false,
         {{{0, 0, z, 0}, {10, 0, z, 0}, {10, 10, z, 0}, {0, 10, z, 0}, {0, 0, z, 0}}}},
    };
    for (const TTabCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TListaDiCurve3d list;
        list.push_back(Curve({}, c.Closed, 0x0101, 7));
        list[0]->Vertices = c.Vertices;
        list.push_back(Curve({L(90, 90), L(99, 99)}, false, 0, 99)); // an unrelated curve after it
        const TCurvePointRecord found = NearestPointOnCurve(*list[0], c.Point);
        ApplyTab(list, 0, found, c.Full, z, c.Width);
        ASSERT_EQ(list.size(), c.Expected.size() + 1);
        for (size_t i = 0; i < c.Expected.size(); ++i)
            ExpectPoints(*list[i], c.Expected[i]);
        EXPECT_EQ(list.back()->ID, 99);
        if (!c.Expected.empty()) {
            EXPECT_EQ(list[0]->ID, 7); // the cut curve keeps its values
        }
        if (c.Expected.size() == 2) {
            EXPECT_TRUE(list[1]->ID == 0 && list[1]->Tag == 0 && list[1]->Code == 0);
        }
    }
}

TEST(ToolpathTabs, ArcPiecesStayOnTheirCircle)
{
    TListaDiCurve3d list;
    list.push_back(Curve({L(0, 0), L(10, 0), A(1, 10, 10, 10, 5)}));
    ApplyTab(list, 0, NearestPointOnCurve(*list[0], {15, 5}), false, 2, 3);
    // ..., A on the arc (arc kind), A raised, B raised (arc), B, the arc's rest.
    const auto& v = list[0]->Vertices;
    ASSERT_EQ(v.size(), 7u);
    for (size_t i : {2u, 4u, 6u}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v[i].Kind, 1);
        EXPECT_NEAR(std::hypot(v[i].EndPoint.X - 10, v[i].EndPoint.Y - 5), 5, 1e-9);
        EXPECT_DOUBLE_EQ(v[i].Centre.Z, v[i].EndPoint.Z);
    }
    EXPECT_EQ(v[3].Kind, 0);
    EXPECT_EQ(v[5].Kind, 0);
    // The arc length over the tab is the width.
    EXPECT_NEAR(std::atan2(v[4].EndPoint.Y - 5, v[4].EndPoint.X - 10) -
                    std::atan2(v[2].EndPoint.Y - 5, v[2].EndPoint.X - 10),
                3.0 / 5.0, 1e-9);
}

TEST(ToolpathPlaces, RampStartFollowsTheArcsDirection)
{
    const TArea area = Square(20);
    // The half circle from (18, 17) starts upwards (out of the area) when
    // counter-clockwise, downwards when clockwise.
    for (int kind : {1, -1}) {
        SCOPED_TRACE(kind);
        auto c = Curve({L(18, 17), A(kind, 2, 17, 10, 17), L(2, 10)});
        const TRampPlace place = FindRampStart(*c, 1, 5, area);
        ASSERT_TRUE(place.Found);
        EXPECT_EQ(place.Index, kind == 1 ? 1 : 0);
        EXPECT_DOUBLE_EQ(place.Start.X, kind == 1 ? 2 : 18);
        EXPECT_NEAR(place.Angle, kind == 1 ? -std::numbers::pi / 2 : std::numbers::pi, 1e-12);
    }
    auto outside = Curve({L(50, 50), L(60, 50)});
    EXPECT_FALSE(FindRampStart(*outside, 1, 5, area).Found);
}

TEST(ToolpathPlaces, HelixPointOnAnArcLiesOnItsCircle)
{
    const TArea area = Square(40);
    // A quarter circle r 10 about (20, 20): the test point lies 2.2 of arc
    // length before its end, inserted as a vertex of the same arc.
    auto c = Curve({L(30, 20), A(1, 20, 30, 20, 20)});
    const THelixPlace place = FindHelixPlace(*c, true, area, 1, 2);
    ASSERT_TRUE(place.Found);
    EXPECT_EQ(place.Index, 1);
    ASSERT_EQ(c->Vertices.size(), 3u);
    const double angle = std::numbers::pi / 2 - 0.22;
    EXPECT_NEAR(place.Point.X, 20 + 10 * std::cos(angle), 1e-9);
    EXPECT_NEAR(place.Point.Y, 20 + 10 * std::sin(angle), 1e-9);
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(c->Vertices[i].Kind, 1);
        EXPECT_DOUBLE_EQ(c->Vertices[i].Centre.X, 20);
        EXPECT_DOUBLE_EQ(c->Vertices[i].Centre.Y, 20);
    }

    // An arc shorter than 1.1 x the radius gives its start: no new vertex.
    auto shortArc = Curve({L(30, 20), A(1, 20 + 10 * std::cos(0.1), 20 + 10 * std::sin(0.1), 20, 20)});
    const THelixPlace atStart = FindHelixPlace(*shortArc, true, area, 1, 2);
    ASSERT_TRUE(atStart.Found);
    EXPECT_EQ(atStart.Index, 0);
    EXPECT_EQ(shortArc->Vertices.size(), 2u);

    // A line keeps the rule along the line; vertex points when not on segments.
    auto line = Curve({L(10, 10), L(30, 10)});
    const THelixPlace onLine = FindHelixPlace(*line, true, area, 1, 2);
    EXPECT_NEAR(onLine.Point.X, 27.8, 1e-12);
    EXPECT_EQ(line->Vertices.size(), 3u);
    auto points = Curve({L(1, 1), L(10, 10)});
    const THelixPlace atVertex = FindHelixPlace(*points, false, area, 1, 2);
    EXPECT_EQ(atVertex.Index, 1); // (1, 1) is too near the edge
    EXPECT_EQ(points->Vertices.size(), 2u);
}

TEST(ToolpathCopies, TranslatedCopyMovesArcCentresAndKeepsEveryValue)
{
    auto c = Curve({L(0, 0), L(10, 0), A(1, 10, 10, 10, 5)}, true, 0x0201, 5);
    c->Code = 82;
    c->CompCode = 42;
    c->Reversed = 1;
    c->Vertices[1].Centre = {3, 3, 0};
    auto copy = TranslatedCopy(*c, 10, 0);
    ASSERT_TRUE(copy);
    ExpectPoints(*copy, {{10, 0, 0, 0}, {20, 0, 0, 0}, {20, 10, 0, 1}});
    EXPECT_DOUBLE_EQ(copy->Vertices[2].Centre.X, 20);
    EXPECT_DOUBLE_EQ(copy->Vertices[1].Centre.X, 3); // a line's centre field is not a point
    EXPECT_TRUE(copy->Code == 82 && copy->CompCode == 42 && copy->Reversed == 1 && copy->Closed == 1 &&
                copy->ID == 5 && copy->Tag == 0x0201);
    EXPECT_EQ(TranslatedCopy(TCurvaNci3d(), 1, 1), nullptr);
}

TEST(ToolpathCopies, CurveToDrawingRaisesEntitiesByTheirStartZ)
{
    TQV_01Cmp2D doc;
    auto one = Curve({L(1, 1, 5)});
    CurveToDrawing(*one, doc);
    EXPECT_EQ(doc.ObjectsCount(), 0);

    auto c = Curve({L(0, 0, 0), L(10, 0, -2), A(1, 10, 10, 10, 5, -2)});
    CurveToDrawing(*c, doc);
    ASSERT_EQ(doc.ObjectsCount(), 2);
    std::vector<TObject2D*> made;
    TGraphicObjIterator it = doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        made.push_back(dynamic_cast<TObject2D*>(o));
    ASSERT_NE(dynamic_cast<TLine2D*>(made[0]), nullptr);
    EXPECT_FALSE(made[0]->HasTransform());
    const auto* arc = dynamic_cast<TArco2D*>(made[1]);
    ASSERT_NE(arc, nullptr);
    EXPECT_DOUBLE_EQ(made[1]->GetModelTransform().GetElement(14), -2);
}

TEST(ToolpathCurve, ContinuityAndLinksAppendWhatFits)
{
    auto a = Curve({L(0, 0), L(5, 0)});
    std::unique_ptr<TCurvaNci3d> b = Curve({L(5, 0), L(5, 5)});
    std::unique_ptr<TCurvaNci3d> gap = Curve({L(6, 0), L(6, 5)});
    EXPECT_FALSE(a->AppendIfContinuous(gap));
    EXPECT_TRUE(gap);
    EXPECT_TRUE(a->AppendIfContinuous(b));
    EXPECT_FALSE(b);
    ExpectPoints(*a, {{0, 0, 0, 0}, {5, 0, 0, 0}, {5, 5, 0, 0}});
    EXPECT_DOUBLE_EQ(a->Length(), 10);

    const TArea area = Square(20);
    auto ring = std::make_unique<TACurva>();
    ring->AddVertex(TAVertice::CreateAt({15, 15}, 0));
    ring->AddVertex(TAVertice::CreateAt({15, 18}, 0));
    auto far = std::make_unique<TACurva>();
    far->AddVertex(TAVertice::CreateAt({30, 30}, 0));
    EXPECT_FALSE(a->AppendIfLinkInside(far, area, 1));
    EXPECT_TRUE(a->AppendIfLinkInside(ring, area, 1));
    EXPECT_FALSE(ring);
    EXPECT_EQ(a->VertexCount(), 5);
}

} // namespace
