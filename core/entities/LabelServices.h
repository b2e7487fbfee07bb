#pragma once
// What a label (core/entities/Etichetta.h) reaches of higher subsystems: the
// shared stroke-text converter (io) and the chain list of the operation being
// edited (machining). Start-up installs both; until then a label makes no
// outlines (no converter) and gives no chains (no writer).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class TContainer2D;
class TPolyline2D;

// The text converter as a label uses it. Height and spacing stay set for
// later calls, as the converter's own settings.
class TLabelTextConverter {
public:
    virtual ~TLabelTextConverter() = default;

    virtual void SetTextHeight(double value) = 0;
    virtual void SetCharSpacing(double value) = 0;
    // Registry slot of the stroke font (0 is the program's default font).
    virtual void SetStrokeFontIndex(int32_t value) = 0;
    // One line of text on the baseline y from x: each stroke polyline (ID -1)
    // is appended. Nothing for an empty text.
    virtual void StrokeTextToPolylines(std::string_view text, std::vector<std::unique_ptr<TPolyline2D>>& polylines,
                                       float y, float x) = 0;
    // One line of text as a container (ID -1) at the origin.
    virtual std::unique_ptr<TContainer2D> StrokeTextToContainer(std::string_view text) = 0;
};

// The converter in force, or null. Not owned.
TLabelTextConverter* LabelTextConverter();
// Installs the converter (null: none) and returns the previous one.
TLabelTextConverter* SetLabelTextConverter(TLabelTextConverter* converter);

// Replaces the chains of the operation being edited by one chain per
// polyline, in order; nothing when no operation is being edited.
using TLabelChainWriter = std::function<void(std::span<const TPolyline2D* const> polylines)>;
// Installs the writer (empty: none) and returns the previous one.
TLabelChainWriter SetLabelChainWriter(TLabelChainWriter writer);
// The writer in force; empty when none is installed.
const TLabelChainWriter& LabelChainWriter();
