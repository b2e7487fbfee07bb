// Copies of entities with their transform applied, as the transform
// commands and copy-to-layer add them.

#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/DuplicateObject.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/TestObject2D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace duplicate_object_test {

namespace {

std::vector<TPoint2D> Pts(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<TPoint2D> points;
    for (auto [x, y] : xy)
        points.push_back(MakePoint2D(x, y));
    return points;
}

// Translation (10, 0) after a scale of 2: keeps boxes axis-parallel.
TMatrix4 ScaleAndMove()
{
    TMatrix4 m = TMatrix4::CreateScale(2, 2, 1);
    m.Translate(10, 0, 0);
    return m;
}

// The profile of an outline in drawing coordinates.
std::vector<TPoint2D> DrawnProfile(TOutline2D& outline)
{
    TProfilePointsUse use(outline);
    const TMatrix4 m = outline.GetModelTransform();
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : outline.ProfilePoints().Points())
        points.push_back(CartesianPoint2D(m.TransformPoint2D(p)));
    return points;
}

std::vector<TPoint2D> DrawnControlPoints(const TPrimitive2D& primitive)
{
    const TMatrix4 m = primitive.GetModelTransform();
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : primitive.Points().Points())
        points.push_back(CartesianPoint2D(m.TransformPoint2D(p)));
    return points;
}

struct DuplicateObject : ::testing::Test {
    DuplicateObject() { Doc.SetCurrentLayer(1); }

    template <class T> T* Add(std::unique_ptr<T> object, int layer = 4)
    {
        T* added = Doc.AddObjectOnLayer(-1, layer, std::move(object));
        added->Transform(ScaleAndMove());
        return added;
    }
    TPrimitive2D& Copy(int32_t id) { return dynamic_cast<TPrimitive2D&>(*Doc.GetObject(id)); }

    TQV_01Cmp2D Doc;
};

} // namespace

TEST_F(DuplicateObject, CopiesCarryTheTransformInTheirPointsAndStayOnTheSourcesLayer)
{
    struct Case {
        TPrimitive2D* source;
        std::string_view copyClass;
        std::vector<TPoint2D> copyPoints;
    };
    const Case cases[] = {
        {Add(std::make_unique<TPunto2D>(-1, MakePoint2D(1, 1))), "TPunto2D", Pts({{12, 2}})},
        {Add(std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 2))), "TLine2D",
         Pts({{10, 0}, {12, 4}})},
        {Add(std::make_unique<TPolyline2D>(-1, Pts({{0, 0}, {1, 0}, {1, 1}}))), "TPolyline2D",
         Pts({{10, 0}, {12, 0}, {12, 2}})},
        // A polygon is copied as a polyline, a rectangle as a frame.
        {Add(std::make_unique<TPolygon2D>(-1, Pts({{0, 0}, {1, 0}, {1, 1}}))), "TPolyline2D",
         Pts({{10, 0}, {12, 0}, {12, 2}})},
        {Add(std::make_unique<TRectangle2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 1))), "TFrame2D",
         Pts({{10, 0}, {12, 2}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source->ClassName());
        const int64_t expectedID = Doc.NextObjectID();
        const int32_t id = DuplicateObjectTransformed(Doc, *c.source);
        ASSERT_EQ(id, expectedID);
        TPrimitive2D& copy = Copy(id);
        EXPECT_EQ(copy.ClassName(), c.copyClass);
        EXPECT_EQ(copy.Layer(), 4);
        EXPECT_FALSE(copy.HasTransform());
        ASSERT_GE(copy.Points().Count(), static_cast<int>(c.copyPoints.size()));
        for (size_t i = 0; i < c.copyPoints.size(); ++i) {
            EXPECT_NEAR(copy.Points().Get(static_cast<int>(i)).X, c.copyPoints[i].X, 1e-12);
            EXPECT_NEAR(copy.Points().Get(static_cast<int>(i)).Y, c.copyPoints[i].Y, 1e-12);
        }
        // The source keeps its own points and transform.
        EXPECT_TRUE(c.source->HasTransform());
    }
    EXPECT_EQ(Doc.CurrentLayer(), 1);
}

TEST_F(DuplicateObject, ATargetLayerIsHonouredAndABadOneAddsNothing)
{
    auto* line = Add(std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 0)));
    const int32_t id = DuplicateObjectTransformed(Doc, *line, 9);
    EXPECT_EQ(Copy(id).Layer(), 9);
    EXPECT_EQ(Doc.CurrentLayer(), 1);

    const int32_t count = Doc.ObjectsCount();
    EXPECT_THROW(DuplicateObjectTransformed(Doc, *line, 256), ECADOutOfBound);
    EXPECT_EQ(Doc.ObjectsCount(), count);
}

TEST_F(DuplicateObject, KindsThatCannotBeCopiedAddNothing)
{
    auto* other = Doc.AddObject(-1, std::make_unique<kbtest::TTestObject2D>(-1, MakeRect2D(0, 0, 1, 1)));
    auto* line = Add(std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 0)));
    line->Points().Delete(1); // as a damaged record may leave it
    const int32_t count = Doc.ObjectsCount();
    EXPECT_EQ(DuplicateObjectTransformed(Doc, *other), -1);
    EXPECT_EQ(DuplicateObjectTransformed(Doc, *line), -1);
    EXPECT_EQ(Doc.ObjectsCount(), count);
}

TEST_F(DuplicateObject, CurvesKeepTheShapeTheyAreDrawnWith)
{
    struct Case {
        const char* name;
        TCurve2D* source;
        TMatrix4 transform;
        std::string_view copyClass;
        bool carriesTransform;
    };
    TMatrix4 mirrorAndMove = TMatrix4::CreateMirror(0);
    mirrorAndMove.Translate(3, 1, 0);
    auto* clockwise = Doc.AddObject(-1, std::make_unique<TArco2D>(-1, MakePoint2D(1, 1), MakePoint2D(3, 1), 0.5, 2.5));
    clockwise->SetDirection(0);
    const Case cases[] = {
        // Two rotated corners would span another, axis-parallel frame.
        {"rotated frame", Doc.AddObject(-1, std::make_unique<TFrame2D>(-1, MakePoint2D(0, 0), MakePoint2D(2, 1))),
         TMatrix4::CreateRotationZ(30, true), "TFrame2D", true},
        // A mirror turns the sense: the old angles on mirrored corners would
        // give the other part of the ellipse.
        {"mirrored elliptical arc",
         Doc.AddObject(-1, std::make_unique<TEllipseOpen2D>(-1, MakePoint2D(-2, -1), MakePoint2D(2, 1), 0.3, 2.0)),
         TMatrix4::CreateMirror(0), "TEllipseOpen2D", true},
        {"rotated filled circle",
         Doc.AddObject(-1, std::make_unique<TFilledCerchio2D>(-1, MakePoint2D(1, 0), MakePoint2D(2, 0))),
         TMatrix4::CreateRotationZ(90, true), "TCerchio2D", false},
        // Stretched, a circle is no circle any more.
        {"stretched circle", Doc.AddObject(-1, std::make_unique<TCerchio2D>(-1, MakePoint2D(1, 0), MakePoint2D(2, 0))),
         TMatrix4::CreateScale(2, 1, 1), "TCerchio2D", true},
        {"mirrored clockwise arc", clockwise, mirrorAndMove, "TArco2D", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.source->Transform(c.transform);
        auto& copy = dynamic_cast<TCurve2D&>(Copy(DuplicateObjectTransformed(Doc, *c.source)));
        EXPECT_EQ(copy.ClassName(), c.copyClass);
        EXPECT_EQ(copy.HasTransform(), c.carriesTransform);
        // Carried: drawn point for point as the source. Baked: the control
        // points in drawing coordinates, the same circle from another start.
        const std::vector<TPoint2D> expected =
            c.carriesTransform ? DrawnProfile(*c.source) : DrawnControlPoints(*c.source);
        const std::vector<TPoint2D> actual = c.carriesTransform ? DrawnProfile(copy) : DrawnControlPoints(copy);
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(actual[i].X, expected[i].X, 1e-9) << i;
            EXPECT_NEAR(actual[i].Y, expected[i].Y, 1e-9) << i;
        }
    }
}

}  // namespace duplicate_object_test
