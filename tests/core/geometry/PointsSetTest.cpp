#include "core/geometry/PointsSet.h"
#include "core/model/CADSysException.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace points_set_test {

namespace {

template <class F>
std::string RaisedText(F&& action)
{
    try {
        action();
    } catch (const ECADOutOfBound& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TPoint2D P(double x) { return MakePoint2D(x, -x); }

std::vector<double> Xs(const TPointsSet2D& s)
{
    std::vector<double> xs;
    for (const TPoint2D& p : s.Points())
        xs.push_back(p.X);
    return xs;
}

} // namespace

TEST(PointsSet, PutBeyondCapacityGrowsAGrowableSet)
{
    TPointsSet2D s(4);
    for (int i = 0; i < 4; ++i)
        s.Add(P(i));
    s.Put(4, P(4));
    EXPECT_EQ(s.Capacity(), 9);
    EXPECT_EQ(s.Count(), 5);

    // A store past the end leaves a gap and counts up to it.
    TPointsSet2D gap(2);
    gap.Put(5, P(5));
    EXPECT_EQ(gap.Count(), 6);
    EXPECT_EQ(gap.Capacity(), 6);
    EXPECT_EQ(gap.Get(5).X, 5.0);
    EXPECT_EQ(gap.Get(3).W, 1.0) << "new slots hold the origin with weight 1";
    gap.Put(1, P(1));
    EXPECT_EQ(gap.Count(), 6);
}

TEST(PointsSet, NonGrowableSetRefusesStoresBeyondItsCapacity)
{
    TPointsSet2D s(4);
    s.SetGrowable(false);
    s.Add(P(0));
    EXPECT_EQ(RaisedText([&] { s.Put(4, P(4)); }), "TPointsSet2D.Put: Vector out of bound");
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.Capacity(), 4);

    // Within the capacity, beyond the count, is allowed.
    s.Put(3, P(3));
    EXPECT_EQ(s.Count(), 4);

    TPointsSet3D s3(1);
    s3.SetGrowable(false);
    EXPECT_EQ(RaisedText([&] { s3.Put(1, TPoint3D{}); }), "TPointsSet3D.Put: Vector out of bound");
}

TEST(PointsSet, IndexErrorsCarryTheClassAndMethod)
{
    TPointsSet2D s(4);
    s.Add(P(0));
    s.Add(P(1));
    TPointsSet3D s3(2);
    struct Case {
        std::function<void()> action;
        const char* text;
    };
    const Case cases[] = {
        {[&] { s.Get(2); }, "TPointsSet2D.Get: Index out of bound"},
        {[&] { s.Get(-1); }, "TPointsSet2D.Get: Index out of bound"},
        {[&] { s3.Get(0); }, "TPointsSet3D.Get: Index out of bound"},
        {[&] { s.Insert(2, P(9)); }, "TPointsSet2D.Insert: Vector out of bound"},
        {[&] { s.Delete(2); }, "TPointsSet2D.Delete: Vector out of bound"},
        {[&] { s.Put(-1, P(9)); }, "TPointsSet2D.Put: Vector out of bound"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RaisedText(c.action), c.text);
    EXPECT_EQ(Xs(s), (std::vector<double>{0, 1}));
}

TEST(PointsSet, InsertAndDeleteShiftAndFireOnce)
{
    TPointsSet2D s(2);
    s.Add(P(1));
    s.Add(P(2));
    int fired = 0;
    s.SetOnChange([&](TPointsSet2D& changed) {
        EXPECT_EQ(&changed, &s);
        ++fired;
    });
    s.Insert(0, P(9));
    EXPECT_EQ(Xs(s), (std::vector<double>{9, 1, 2}));
    EXPECT_EQ(fired, 1);
    s.Insert(1, P(8));
    EXPECT_EQ(Xs(s), (std::vector<double>{9, 8, 1, 2}));
    s.Delete(1);
    EXPECT_EQ(Xs(s), (std::vector<double>{9, 1, 2}));
    s.Delete(2);
    EXPECT_EQ(Xs(s), (std::vector<double>{9, 1}));
    EXPECT_EQ(fired, 4);

    // Put, Clear and EnsureCapacity stay silent.
    s.Put(0, P(0));
    s.EnsureCapacity(50);
    s.Clear();
    EXPECT_EQ(fired, 4);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.Capacity(), 50);
}

TEST(PointsSet, AddPointsOnANonGrowableSetNeverGrows)
{
    const std::vector<TPoint2D> three = {P(1), P(2), P(3)};
    TPointsSet2D s(4);
    s.SetGrowable(false);
    s.Add(P(0));
    s.Add(P(0));
    EXPECT_EQ(RaisedText([&] { s.AddPoints(three); }), "TPointsSet2D.AddPoints: Vector out of bound");
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.Capacity(), 4);

    int fired = 0;
    s.SetOnChange([&](TPointsSet2D&) { ++fired; });
    s.AddPoints(std::span(three).first(2));
    EXPECT_EQ(Xs(s), (std::vector<double>{0, 0, 1, 2}));
    EXPECT_EQ(s.Capacity(), 4);
    EXPECT_EQ(fired, 1);

    TPointsSet2D g(1);
    g.SetOnChange([&](TPointsSet2D&) { ++fired; });
    g.AddPoints(three);
    EXPECT_EQ(Xs(g), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(fired, 2);
}

TEST(PointsSet, AddPointsMakesRoomForJustThePointsAdded)
{
    // A set made with room for the points it is given is filled without
    // growing (a polyline's set is made so); one with too little room grows
    // to what it then holds, and spare room is used before growing.
    const std::vector<TPoint2D> three = {P(1), P(2), P(3)};
    struct TCase {
        int Capacity;
        int Before;
        int ExpectedCapacity;
    };
    for (const TCase c : {TCase{3, 0, 3}, TCase{0, 0, 3}, TCase{2, 1, 4}, TCase{8, 2, 8}, TCase{5, 2, 5}}) {
        TPointsSet2D s(c.Capacity);
        for (int i = 0; i < c.Before; ++i)
            s.Add(P(0));
        s.AddPoints(three);
        EXPECT_EQ(s.Count(), c.Before + 3);
        EXPECT_EQ(s.Capacity(), c.ExpectedCapacity) << "capacity " << c.Capacity << ", " << c.Before << " before";
    }
}

TEST(PointsSet, CallbackDoesNotRecurseAndEventsComeBackAfterAThrow)
{
    TPointsSet2D s(1);
    int fired = 0;
    s.SetOnChange([&](TPointsSet2D& changed) {
        ++fired;
        changed.SetPoint(0, P(42));
    });
    s.Add(P(1));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(s.Get(0).X, 42.0);
    EXPECT_FALSE(s.DisableEvents());

    s.SetOnChange([&](TPointsSet2D&) {
        ++fired;
        throw std::runtime_error("from the owner");
    });
    EXPECT_THROW(s.Add(P(2)), std::runtime_error);
    EXPECT_FALSE(s.DisableEvents());
    s.SetDisableEvents(true);
    s.Add(P(3));
    EXPECT_EQ(fired, 2);
}

TEST(PointsSet, SizeStaysWithinTheSixteenBitRange)
{
    // Doubling from 40000 would pass 65535: growth stops at the maximum.
    TPointsSet2D s(40000);
    s.Put(40000, P(1));
    EXPECT_EQ(s.Capacity(), TPointsSet2D::kMaxPoints);
    EXPECT_EQ(s.Count(), 40001);
    s.Put(65534, P(2));
    EXPECT_EQ(s.Count(), 65535);
    EXPECT_EQ(RaisedText([&] { s.Add(P(3)); }), "TPointsSet2D.Put: Vector out of bound");
    EXPECT_EQ(s.Count(), 65535);

    TPointsSet2D t(0);
    t.Put(65000, P(1));
    const std::vector<TPoint2D> many(600);
    EXPECT_EQ(RaisedText([&] { t.AddPoints(many); }), "TPointsSet2D.AddPoints: Vector out of bound");
    EXPECT_EQ(t.Count(), 65001);
    EXPECT_THROW(t.EnsureCapacity(65536), ECADOutOfBound);
}

TEST(PointsSet, BoundsAreOfTheCartesianPoints)
{
    TPointsSet2D s(0);
    TRect2D empty = s.GetBounds();
    EXPECT_EQ(empty.FirstEdge.X, 0.0);
    EXPECT_EQ(empty.SecondEdge.Y, 0.0);
    EXPECT_EQ(empty.FirstEdge.W, 1.0);
    s.Add(TPoint2D{10, 4, 2}); // (5, 2)
    s.Add(MakePoint2D(-1, 3));
    s.Add(TPoint2D{7, -8, 0}); // W 0 stays as stored
    const TRect2D r = s.GetBounds();
    EXPECT_EQ(r.FirstEdge.X, -1.0);
    EXPECT_EQ(r.FirstEdge.Y, -8.0);
    EXPECT_EQ(r.SecondEdge.X, 7.0);
    EXPECT_EQ(r.SecondEdge.Y, 3.0);
    EXPECT_EQ(r.SecondEdge.W, 1.0);

    TPointsSet3D s3(2);
    EXPECT_EQ(s3.GetBounds().SecondEdge.W, 1.0);
    s3.Add(TPoint3D{2, 4, 6, 2});
    s3.Add(TPoint3D{0, 5, -1, 1});
    const TBox3D b = s3.GetBounds();
    EXPECT_EQ(b.FirstEdge.X, 0.0);
    EXPECT_EQ(b.FirstEdge.Z, -1.0);
    EXPECT_EQ(b.SecondEdge.Y, 5.0);
    EXPECT_EQ(b.SecondEdge.Z, 3.0);
}

TEST(PointsSet, CopyPointsRangeStopsSilentlyAtTheFirstRefusal)
{
    TPointsSet2D source(3);
    for (int i = 0; i < 3; ++i)
        source.Add(P(i + 1));
    TPointsSet2D destination(1);
    destination.SetGrowable(false);
    int fired = 0;
    destination.SetOnChange([&](TPointsSet2D&) { ++fired; });

    // Point 3 does not exist in the source: the copy ends there.
    EXPECT_NO_THROW(CopyPointsRange(destination, source, 1, 4));
    EXPECT_EQ(destination.Capacity(), 5);
    EXPECT_EQ(destination.Count(), 3);
    EXPECT_EQ(destination.Get(1).X, 2.0);
    EXPECT_EQ(destination.Get(2).X, 3.0);
    EXPECT_EQ(fired, 1);

    CopyPointsRange(destination, source, 0, 70000);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(destination.Get(0).X, 0.0) << "nothing copied: the growth was refused first";
}

}  // namespace points_set_test
