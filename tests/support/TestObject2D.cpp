#include "tests/support/TestObject2D.h"

#include "core/geometry/Geometry.h"

namespace kbtest {

TTestObject2D::TTestObject2D(int32_t id, const TRect2D& local, bool* destroyed)
    : TObject2D(id), Local(local), m_Destroyed(destroyed)
{
    UpdateBounds();
    ComputeBoundsCalls = 0;
}

TTestObject2D::TTestObject2D(int32_t id, const TMatrix4& transform, uint8_t ownLineWidth, uint32_t ownColor)
    : TObject2D(id, transform, ownLineWidth, ownColor)
{
    UpdateBounds();
    ComputeBoundsCalls = 0;
}

TTestObject2D::TTestObject2D(TStream& stream, std::string_view signature) : TObject2D(stream, signature) {}

TTestObject2D::TTestObject2D(const TTestObject2D& source, TCloneTag tag) : TObject2D(source, tag), Local(source.Local)
{
}

std::unique_ptr<TGraphicObject> TTestObject2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TTestObject2D(*this, TCloneTag{}));
}

TTestObject2D::~TTestObject2D()
{
    if (m_Destroyed)
        *m_Destroyed = true;
}

std::unique_ptr<TGraphicObject> TTestObject2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TTestObject2D>(stream, signature);
}

void TTestObject2D::ComputeBounds()
{
    ++ComputeBoundsCalls;
    SetBox(TransformRect2D(Local, GetModelTransform()));
}

} // namespace kbtest
