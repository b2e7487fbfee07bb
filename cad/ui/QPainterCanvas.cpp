#include "cad/ui/QPainterCanvas.h"

#include "cad/ui/AnsiText.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <limits>

namespace {

Qt::PenStyle QtPenStyle(TPenStyle style)
{
    switch (style) {
    case TPenStyle::Solid:
        return Qt::SolidLine;
    case TPenStyle::Dash:
        return Qt::DashLine;
    case TPenStyle::Dot:
        return Qt::DotLine;
    case TPenStyle::DashDot:
        return Qt::DashDotLine;
    case TPenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case TPenStyle::Clear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

// Qt paints in int coordinates: keep far-off points (a zoomed-in drawing)
// inside a range where its arithmetic cannot overflow.
int Clamp(int32_t v)
{
    constexpr int32_t limit = std::numeric_limits<int32_t>::max() / 4;
    return std::clamp(v, -limit, limit);
}

} // namespace

QColor QColorFromWinColor(uint32_t color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

TQPainterCanvas::TQPainterCanvas(QPainter& painter) : m_Painter(painter), m_Pen(Qt::black)
{
    m_Pen.setWidth(1);
    m_Pen.setCapStyle(Qt::SquareCap);
    m_Pen.setJoinStyle(Qt::MiterJoin);
    m_Painter.setRenderHint(QPainter::Antialiasing, false);
    m_Painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_Painter.setBrush(Qt::NoBrush);
    ApplyPen();
}

void TQPainterCanvas::ApplyPen()
{
    m_Painter.setPen(m_Pen);
}

void TQPainterCanvas::SetPenColor(uint32_t color)
{
    m_Pen.setColor(QColorFromWinColor(color));
    ApplyPen();
}

void TQPainterCanvas::SetPenWidth(int32_t width)
{
    m_Pen.setWidth(std::max<int32_t>(width, 1));
    ApplyPen();
}

void TQPainterCanvas::SetPenStyle(TPenStyle style)
{
    m_Pen.setStyle(QtPenStyle(style));
    ApplyPen();
}

void TQPainterCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    m_Painter.drawLine(Clamp(x1), Clamp(y1), Clamp(x2), Clamp(y2));
}

void TQPainterCanvas::Polyline(const std::vector<TIntPoint>& points)
{
    if (points.empty())
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const TIntPoint& p : points)
        polygon.append(QPoint(Clamp(p.X), Clamp(p.Y)));
    if (polygon.size() == 1)
        m_Painter.drawPoint(polygon.first());
    else
        m_Painter.drawPolyline(polygon);
}

void TQPainterCanvas::FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const QPoint corners[] = {{Clamp(left), Clamp(top)},     {Clamp(right), Clamp(top)},
                              {Clamp(right), Clamp(bottom)}, {Clamp(left), Clamp(bottom)},
                              {Clamp(left), Clamp(top)}};
    m_Painter.drawPolyline(corners, 5);
}

void TQPainterCanvas::TextOut(int32_t x, int32_t y, const std::string& text)
{
    QString shown = AnsiToQString(text);
    shown.remove(QLatin1Char('\r'));
    const QRect box(Clamp(x), Clamp(y), 1, 1);
    m_Painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, shown);
}
