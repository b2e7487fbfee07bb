#pragma once
// The overlay canvas of the scene view on a QPainter: lines, line strips,
// rectangle outlines and text in viewer pixels, pen colours as Windows
// values 0x00BBGGRR. Drawing is aliased, as the overlay's pixel-sized marks
// (pick box, tripod letters) need, and text is drawn in the pen colour with
// its top-left corner at the given point.
//
// The painter must already map viewer pixels: the scene widget scales it by
// 1 / device pixel ratio, since the overlay works in device pixels. The
// canvas changes the painter's pen and render hints and leaves them so.

#include "core/model/ViewInterfaces.h"

#include <QColor>
#include <QPen>

class QPainter;

class TQPainterCanvas final : public TCanvas2D {
public:
    explicit TQPainterCanvas(QPainter& painter);

    void SetPenColor(uint32_t color) override;
    void SetPenWidth(int32_t width) override;
    void SetPenStyle(TPenStyle style) override;
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void Polyline(const std::vector<TIntPoint>& points) override;
    void FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    // 8-bit model text; CR LF or LF start a new line.
    void TextOut(int32_t x, int32_t y, const std::string& text) override;

private:
    void ApplyPen();

    QPainter& m_Painter;
    QPen m_Pen;
};

// The Qt colour of a Windows colour value 0x00BBGGRR (opaque).
QColor QColorFromWinColor(uint32_t color);
