#include "io/text/LabelStrokeText.h"

#include "core/entities/Container2D.h"
#include "core/entities/Polyline2D.h"
#include "io/text/Testo2Container.h"

#include <string>

void TLabelStrokeText::SetTextHeight(double value)
{
    m_Converter.SetTextHeight(value);
}

void TLabelStrokeText::SetCharSpacing(double value)
{
    m_Converter.SetCharSpacing(value);
}

void TLabelStrokeText::SetStrokeFontIndex(int32_t value)
{
    m_Converter.SetStrokeFontIndex(value);
}

void TLabelStrokeText::StrokeTextToPolylines(std::string_view text,
                                             std::vector<std::unique_ptr<TPolyline2D>>& polylines, float y, float x)
{
    m_Converter.StrokeTextToPolylines(text, polylines, y, x);
}

std::unique_ptr<TContainer2D> TLabelStrokeText::StrokeTextToContainer(std::string_view text)
{
    return m_Converter.StrokeTextToContainer({std::string(text)});
}

void InstallLabelTextConverter()
{
    static TLabelStrokeText converter(SharedTextConverter());
    SetLabelTextConverter(&converter);
}
