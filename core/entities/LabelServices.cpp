#include "core/entities/LabelServices.h"

#include <utility>

namespace {

TLabelTextConverter*& ConverterSlot()
{
    static TLabelTextConverter* converter = nullptr;
    return converter;
}

TLabelChainWriter& WriterSlot()
{
    static TLabelChainWriter writer;
    return writer;
}

} // namespace

TLabelTextConverter* LabelTextConverter()
{
    return ConverterSlot();
}

TLabelTextConverter* SetLabelTextConverter(TLabelTextConverter* converter)
{
    return std::exchange(ConverterSlot(), converter);
}

TLabelChainWriter SetLabelChainWriter(TLabelChainWriter writer)
{
    return std::exchange(WriterSlot(), std::move(writer));
}

const TLabelChainWriter& LabelChainWriter()
{
    return WriterSlot();
}
