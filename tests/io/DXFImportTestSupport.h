#pragma once
// Helpers of the DXF import tests: DXF texts built from their lines, an
// import into a fresh document, and the drawn positions of what it made.

#include "core/model/GraphicObjList.h"
#include "core/entities/Primitive2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/dxf/DXF2DImport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kbtest {

// DXF text from its lines (code and value lines alternating), LF ends.
inline std::string Dxf(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

// A file whose ENTITIES section holds the given pairs, with "0" "EOF".
inline std::string EntitiesFile(std::initializer_list<std::string> pairs)
{
    return Dxf({"0", "SECTION", "2", "ENTITIES"}) + Dxf(pairs) + Dxf({"0", "ENDSEC", "0", "EOF"});
}

// A document and an importer reading into it.
struct TImport {
    TQV_01Cmp2D Document;
    std::unique_ptr<TDXF2DImport> Importer;

    explicit TImport(std::string text) : Importer(TDXF2DImport::FromMemory(std::move(text), &Document)) {}
    TDXF2DImport& operator*() { return *Importer; }
    TDXF2DImport* operator->() { return Importer.get(); }

    TImport& Read()
    {
        Importer->ReadIntoModel();
        return *this;
    }
    // The document's objects in order.
    std::vector<TObject2D*> Objects()
    {
        std::vector<TObject2D*> objects;
        TGraphicObjIterator it = Document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            objects.push_back(dynamic_cast<TObject2D*>(object));
        return objects;
    }
    template <class T> T& Object(size_t index)
    {
        const auto objects = Objects();
        if (index >= objects.size())
            throw std::out_of_range("no object " + std::to_string(index));
        auto* object = dynamic_cast<T*>(objects[index]);
        if (!object)
            throw std::logic_error("object " + std::to_string(index) + " is a " +
                                   std::string(objects[index]->ClassName()));
        return *object;
    }
};

// Control point i where it is drawn: through the entity's combined transform.
inline TPoint2D DrawnPoint(const TPrimitive2D& entity, int i)
{
    const TPoint2D p = entity.GetModelTransform().TransformPoint2D(entity.Points().Get(i));
    return MakePoint2D(p.X / p.W, p.Y / p.W);
}

inline std::vector<TPoint2D> DrawnPoints(const TPrimitive2D& entity)
{
    std::vector<TPoint2D> points;
    for (int i = 0; i < entity.Points().Count(); ++i)
        points.push_back(DrawnPoint(entity, i));
    return points;
}

// The points equal the expected coordinates within tol, in order.
inline void ExpectPoints(const std::vector<TPoint2D>& actual, std::initializer_list<std::pair<double, double>> expected,
                         double tol = 0.0)
{
    ASSERT_EQ(actual.size(), expected.size());
    size_t i = 0;
    for (const auto& [x, y] : expected) {
        EXPECT_NEAR(actual[i].X, x, tol) << "point " << i;
        EXPECT_NEAR(actual[i].Y, y, tol) << "point " << i;
        ++i;
    }
}

#define EXPECT_POINT_NEAR(actual, x, y, tol)                                                                   \
    do {                                                                                                       \
        const TPoint2D kbPoint = (actual);                                                                     \
        EXPECT_NEAR(kbPoint.X, (x), (tol));                                                                    \
        EXPECT_NEAR(kbPoint.Y, (y), (tol));                                                                    \
    } while (0)

} // namespace kbtest
