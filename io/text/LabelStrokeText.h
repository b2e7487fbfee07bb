#pragma once
// The label's text converter (core/entities/LabelServices.h) over the shared
// text converter (io/text/Testo2Container.h): labels set their height,
// spacing and stroke font on the one converter the text commands use, as
// the converter's own settings.

#include "core/entities/LabelServices.h"

class TTesto2Container;

class TLabelStrokeText final : public TLabelTextConverter {
public:
    explicit TLabelStrokeText(TTesto2Container& converter) : m_Converter(converter) {}

    void SetTextHeight(double value) override;
    void SetCharSpacing(double value) override;
    void SetStrokeFontIndex(int32_t value) override;
    void StrokeTextToPolylines(std::string_view text, std::vector<std::unique_ptr<TPolyline2D>>& polylines, float y,
                               float x) override;
    std::unique_ptr<TContainer2D> StrokeTextToContainer(std::string_view text) override;

private:
    TTesto2Container& m_Converter;
};

// Installs a converter over SharedTextConverter() for the whole run.
void InstallLabelTextConverter();
