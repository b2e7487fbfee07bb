#pragma once
// Shared pieces of the container, block and window-selection tests: a probe
// child that records how it was drawn and picks at its box centre, the
// registry set-up with the block classes, and byte builders for the stored
// records written from the file layout alone.

#include "core/entities/Block2D.h"
#include "core/model/ClassRegistry.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"
#include "tests/support/TestObject2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

// Stream class id of the probe in these tests (a free id).
inline constexpr uint16_t ProbeClassId = 40;

// A child that records the combined transform it had at each drawing call,
// and is hit (PickOnObject) within the aperture of its box centre.
class TProbe final : public TTestObject2D {
public:
    static constexpr std::string_view kClassName = "TProbe";

    explicit TProbe(int32_t id, const TRect2D& local = TRect2D{}, bool* destroyed = nullptr)
        : TTestObject2D(id, local, destroyed)
    {
    }
    TProbe(TStream& stream, std::string_view signature) : TTestObject2D(stream, signature) {}
    TProbe(const TProbe& source, TCloneTag tag) : TTestObject2D(source, tag) {}

    static std::unique_ptr<TGraphicObject> Create(TStream& stream, std::string_view signature)
    {
        return std::make_unique<TProbe>(stream, signature);
    }
    std::string_view ClassName() const override { return kClassName; }

    void Draw() override { Drawn.push_back(GetModelTransform()); }
    void DrawSelected() override { Highlighted.push_back(GetModelTransform()); }
    void DrawOnCanvasTransformed(TCanvas2D&, const TMatrix4& parent) override { OnCanvas.push_back(parent); }

    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override
    {
        const int32_t result = TObject2D::PickAt(point, distance, aperture);
        if (result != PickInBox)
            return result;
        const double d = std::hypot(point.X - (Box().FirstEdge.X + Box().SecondEdge.X) / 2,
                                    point.Y - (Box().FirstEdge.Y + Box().SecondEdge.Y) / 2);
        if (d > aperture)
            return result;
        distance = d;
        return PickOnObject;
    }

    std::vector<TMatrix4> Drawn;
    std::vector<TMatrix4> Highlighted;
    std::vector<TMatrix4> OnCanvas;

protected:
    std::unique_ptr<TGraphicObject> CloneObject() const override
    {
        return std::unique_ptr<TGraphicObject>(new TProbe(*this, TCloneTag{}));
    }
};

// The block classes and the probe registered for the test's length.
class TBlockClassesScope {
public:
    TBlockClassesScope()
    {
        QV_00ClearClassRegistry();
        RegisterBlockClasses();
        QV_00RegisterClass(ProbeClassId, {std::string(TProbe::kClassName), &TProbe::Create});
    }
    ~TBlockClassesScope() { QV_00ClearClassRegistry(); }
    TBlockClassesScope(const TBlockClassesScope&) = delete;
    TBlockClassesScope& operator=(const TBlockClassesScope&) = delete;
};

inline TRect2D Rect(double x1, double y1, double x2, double y2)
{
    return MakeRect2D(x1, y1, x2, y2);
}

inline std::unique_ptr<TProbe> Probe(int32_t id, double x1, double y1, double x2, double y2, bool* destroyed = nullptr)
{
    return std::make_unique<TProbe>(id, Rect(x1, y1, x2, y2), destroyed);
}

template <class... T> std::vector<std::unique_ptr<TObject2D>> Children(std::unique_ptr<T>... objects)
{
    std::vector<std::unique_ptr<TObject2D>> list;
    (list.push_back(std::move(objects)), ...);
    return list;
}

inline TMatrix4 Translation(double dx, double dy)
{
    return TMatrix4::CreateTranslation(dx, dy, 0.0);
}

// --- record bytes, written from the layout ------------------------------------

// The head: ID, layer, flags (bit 0 visible, bit 1 enabled, bit 2 not saved).
inline TBytes& Head(TBytes& b, int32_t id, uint8_t layer = 0, uint8_t flags = 3)
{
    return b.I32(id).U8(layer).U8(flags);
}

// The 128-byte transform: the identity with a translation in elements 12, 13.
inline TBytes& Matrix(TBytes& b, double dx = 0.0, double dy = 0.0)
{
    for (int i = 0; i < 16; ++i)
        b.F64(i == 12 ? dx : i == 13 ? dy : (i % 5 == 0 ? 1.0 : 0.0));
    return b;
}

// A probe child as a container stores it: class id, head, transform.
inline TBytes& ProbeEntry(TBytes& b, int32_t id, double dx = 0.0)
{
    b.I16(static_cast<int16_t>(ProbeClassId));
    return Matrix(Head(b, id), dx);
}

inline TBytes& Name13(TBytes& b, std::string name)
{
    name.resize(13, '\0');
    return b.Str(name);
}

inline std::vector<uint8_t> Bytes(TStream& s)
{
    return dynamic_cast<TMemoryStream&>(s).Data();
}

} // namespace kbtest
