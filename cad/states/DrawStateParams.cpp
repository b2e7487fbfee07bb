#include "cad/states/DrawStateParams.h"

#include "core/entities/Arco2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Primitive2D.h"

#include <algorithm>

TQV_40PositionObjectParam::TQV_40PositionObjectParam(TCADStateClass afterState, std::unique_ptr<TObject2D> object)
    : TQV_00CommonParam(afterState), m_Object(std::move(object))
{
}

TQV_40PositionObjectParam::~TQV_40PositionObjectParam() = default;

std::unique_ptr<TObject2D> TQV_40PositionObjectParam::TakeObject() { return std::move(m_Object); }

TQV_40PositionContainerParam::TQV_40PositionContainerParam(TCADStateClass afterState,
                                                           std::unique_ptr<TObject2D> container,
                                                           TPositionFields fields)
    : TQV_40PositionObjectParam(afterState, std::move(container)), Fields(std::move(fields))
{
}

TQV_40DrawUnSizedPrimitiveParam::TQV_40DrawUnSizedPrimitiveParam(TCADStateClass afterState, bool orthoAllowed,
                                                                 uint16_t firstIndex,
                                                                 std::unique_ptr<TPrimitive2D> primitive)
    : TQV_00CommonParam(afterState), CurrentIndex(firstIndex), OrthoAllowed(orthoAllowed),
      m_Primitive(std::move(primitive))
{
}

TQV_40DrawUnSizedPrimitiveParam::~TQV_40DrawUnSizedPrimitiveParam() = default;

TQV_40DrawSizedPrimitiveParam::TQV_40DrawSizedPrimitiveParam(TCADStateClass afterState, bool orthoAllowed,
                                                             uint16_t firstIndex,
                                                             std::unique_ptr<TPrimitive2D> primitive)
    : TQV_40DrawUnSizedPrimitiveParam(afterState, orthoAllowed, firstIndex, std::move(primitive))
{
    if (Primitive())
        PointCount = static_cast<uint16_t>(std::clamp(Primitive()->Points().Count(), 0, 65535));
}

std::unique_ptr<TQV_40DrawSizedPrimitiveParam> TQV_40DrawSizedPrimitiveParam::CreateSized(
    TCADStateClass afterState, bool orthoAllowed, uint16_t firstIndex, std::unique_ptr<TPrimitive2D> primitive)
{
    return std::make_unique<TQV_40DrawSizedPrimitiveParam>(afterState, orthoAllowed, firstIndex,
                                                           std::move(primitive));
}

TQV_40DrawEOPrimitiveParam::TQV_40DrawEOPrimitiveParam(TCADStateClass afterState,
                                                       std::unique_ptr<TEllipseOpen2D> ellipse)
    : TQV_00CommonParam(afterState), m_Ellipse(std::move(ellipse))
{
}

TQV_40DrawEOPrimitiveParam::~TQV_40DrawEOPrimitiveParam() = default;

TQV_40DrawArcoPrimitiveParam::TQV_40DrawArcoPrimitiveParam(TCADStateClass afterState, bool arcFlag,
                                                           std::unique_ptr<TArco2D> arc)
    : TQV_00CommonParam(afterState), ArcFlag(arcFlag), m_Arc(std::move(arc))
{
}

TQV_40DrawArcoPrimitiveParam::~TQV_40DrawArcoPrimitiveParam() = default;
