#include "app/toolwin/PictureDrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>
#include <numbers>

namespace {

const QColor StockGrey(200, 200, 200);
const QColor EdgeGrey(140, 140, 140);
const QColor PartGrey(150, 150, 150);
const QColor ToolDark(60, 60, 64);
const QColor PathBlue(30, 80, 170);
const QColor DimensionRed(210, 0, 0);

QPen Dashed(const QColor& colour, qreal width = 1)
{
    QPen pen(colour, width);
    pen.setStyle(Qt::DashLine);
    return pen;
}

void Label(QPainter& p, QPoint at, const char* text, const QColor& colour, bool leftOf = false)
{
    if (!text)
        return;
    p.setPen(colour);
    const QString s = QString::fromUtf8(text);
    const int width = p.fontMetrics().horizontalAdvance(s);
    const QPoint base = leftOf ? QPoint(at.x() - width - 3, at.y() + 4) : QPoint(at.x() + 3, at.y() + 4);
    p.drawText(base, s);
}

// A filled arrow head at tip, pointing away from from.
void ArrowHead(QPainter& p, QPointF from, QPointF tip)
{
    const double angle = std::atan2(tip.y() - from.y(), tip.x() - from.x());
    const double spread = 0.4, length = 6;
    const QPointF a = tip - QPointF(std::cos(angle - spread), std::sin(angle - spread)) * length;
    const QPointF b = tip - QPointF(std::cos(angle + spread), std::sin(angle + spread)) * length;
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF({tip, a, b}));
    p.setBrush(Qt::NoBrush);
}

void Dimension(QPainter& p, QPoint a, QPoint b, const char* text, bool labelLeft)
{
    p.setPen(QPen(DimensionRed, 1));
    const bool vertical = a.x() == b.x();
    const QPoint tick = vertical ? QPoint(5, 0) : QPoint(0, 5);
    p.drawLine(a - tick, a + tick);
    p.drawLine(b - tick, b + tick);
    p.drawLine(a, b);
    ArrowHead(p, b, a);
    ArrowHead(p, a, b);
    const QPoint middle = (a + b) / 2;
    if (vertical)
        Label(p, middle + (labelLeft ? QPoint(-4, 0) : QPoint(4, 0)), text, DimensionRed, labelLeft);
    else if (labelLeft)
        Label(p, a - QPoint(6, 0), text, DimensionRed, true);
    else
        Label(p, QPoint(middle.x() - p.fontMetrics().horizontalAdvance(QString::fromUtf8(text ? text : "")) / 2 - 3,
                        middle.y() - 10),
              text, DimensionRed);
}

void Mill(QPainter& p, const TPictureItem& it, bool ball)
{
    const int half = it.C / 2, flute = 34, shank = std::max(4, it.C * 3 / 10);
    p.setPen(Qt::NoPen);
    p.setBrush(ToolDark);
    p.drawRect(it.A - shank, 0, 2 * shank, it.B - flute);
    if (ball) {
        p.drawRect(it.A - half, it.B - flute, it.C, flute - half);
        p.drawEllipse(QPoint(it.A, it.B - half), half, half);
    } else {
        p.drawRect(it.A - half, it.B - flute, it.C, flute);
    }
    // The flutes.
    p.setPen(QPen(QColor(150, 150, 155), 1));
    for (int y = it.B - flute + 6; y < it.B - (ball ? half : 3); y += 8)
        p.drawLine(it.A - half + 1, y + 4, it.A + half - 1, y);
    p.setBrush(Qt::NoBrush);
}

void Head(QPainter& p, const TPictureItem& it)
{
    p.setPen(QPen(QColor(240, 120, 0), 2));
    p.drawLine(it.A, it.B, it.A, it.C);
    p.setPen(Qt::NoPen);
    p.setBrush(ToolDark);
    p.drawRect(it.A - 11, it.B - 34, 22, 24);
    p.drawPolygon(QPolygon({QPoint(it.A - 8, it.B - 10), QPoint(it.A + 8, it.B - 10), QPoint(it.A + 3, it.B),
                            QPoint(it.A - 3, it.B)}));
    p.setBrush(Qt::NoBrush);
}

void Insert(QPainter& p, const TPictureItem& it)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ToolDark);
    p.drawRect(it.A + 8, it.B - 40, 12, 28);
    p.setBrush(QColor(230, 190, 40));
    p.setPen(QPen(ToolDark, 1));
    p.drawPolygon(QPolygon({QPoint(it.A, it.B), QPoint(it.A + 6, it.B - 16), QPoint(it.A + 22, it.B - 20),
                            QPoint(it.A + 16, it.B - 4)}));
    p.setBrush(Qt::NoBrush);
}

void Chuck(QPainter& p, const TPictureItem& it)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ToolDark);
    p.drawRect(0, it.A - 70, it.B, 70);
    p.setBrush(Qt::NoBrush);
    QPen axis(EdgeGrey, 1);
    axis.setStyle(Qt::DashDotLine);
    p.setPen(axis);
    p.drawLine(0, it.A, PictureCanvasWidth, it.A);
}

double SurfaceY(const TPictureItem& it, int x)
{
    const double t = double(x - it.A) / std::max(1, it.C - it.A);
    return it.B - 9 * std::sin(t * 2 * std::numbers::pi) + 5 * std::cos(t * 5 * std::numbers::pi);
}

void Surface(QPainter& p, const TPictureItem& it)
{
    QPolygonF area;
    for (int x = it.A; x <= it.C; x += 2)
        area << QPointF(x, SurfaceY(it, x));
    area << QPointF(it.C, it.D) << QPointF(it.A, it.D);
    p.setPen(QPen(EdgeGrey, 1));
    p.setBrush(StockGrey);
    p.drawPolygon(area);
    p.setBrush(Qt::NoBrush);
}

void Hatch(QPainter& p, const TPictureItem& it)
{
    const QRect box(QPoint(it.A, it.B), QPoint(it.C, it.D));
    const int s = std::max(2, it.Spacing);
    p.setPen(QPen(PathBlue, 1));
    switch (it.Hatch) {
    case EHatch::ZigZag:
    case EHatch::Vertical: {
        const bool vertical = it.Hatch == EHatch::Vertical;
        QPolygon line;
        bool forward = true;
        for (int v = vertical ? box.left() : box.top(); v <= (vertical ? box.right() : box.bottom()); v += s) {
            const QPoint a = vertical ? QPoint(v, forward ? box.top() : box.bottom())
                                      : QPoint(forward ? box.left() : box.right(), v);
            const QPoint b = vertical ? QPoint(v, forward ? box.bottom() : box.top())
                                      : QPoint(forward ? box.right() : box.left(), v);
            line << a << b;
            forward = !forward;
        }
        p.drawPolyline(line);
        if (line.size() >= 2)
            ArrowHead(p, line[line.size() - 2], line.back());
        break;
    }
    case EHatch::OneWay:
        for (int y = box.top(); y <= box.bottom(); y += s) {
            p.setPen(QPen(PathBlue, 1));
            p.drawLine(box.left(), y, box.right(), y);
            ArrowHead(p, QPoint(box.left(), y), QPoint(box.right(), y));
            if (y + s <= box.bottom()) {
                p.setPen(Dashed(EdgeGrey));
                p.drawLine(box.right(), y, box.left(), y + s);
            }
        }
        break;
    case EHatch::Dots:
    case EHatch::Pixels:
        for (int y = box.top(); y <= box.bottom(); y += s)
            for (int x = box.left(); x <= box.right(); x += s) {
                // A round blob of darker pixels, like an engraved picture.
                const double r = std::hypot(x - box.center().x(), (y - box.center().y()) * 1.6);
                const int shade = std::clamp(int(r * 255 / (box.width() * 0.5)), 0, 230);
                if (it.Hatch == EHatch::Dots) {
                    if (shade < 200)
                        p.fillRect(x - 1, y - 1, 3, 3, PathBlue);
                } else {
                    p.fillRect(x, y, s - 1, s - 1, QColor(shade, shade, shade));
                }
            }
        if (it.Hatch == EHatch::Pixels) {
            p.setPen(QPen(PathBlue, 1));
            for (int y = box.top() + s / 2; y <= box.bottom(); y += 2 * s)
                p.drawLine(box.left() - 6, y, box.right() + 6, y);
        }
        break;
    case EHatch::Joined:
        for (int y = box.top(); y <= box.bottom(); y += s) {
            int start = -1;
            for (int x = box.left(); x <= box.right() + s; x += s) {
                const double r = std::hypot(x - box.center().x(), (y - box.center().y()) * 1.6);
                const bool dark = x <= box.right() && r < box.width() * 0.39;
                if (dark && start < 0)
                    start = x;
                if (!dark && start >= 0) {
                    p.drawLine(start, y, x - s, y);
                    p.drawEllipse(QPoint(start, y), 1, 1);
                    p.drawEllipse(QPoint(x - s, y), 1, 1);
                    start = -1;
                }
            }
        }
        break;
    case EHatch::Angled:
        p.save();
        p.setClipRect(box);
        for (int k = -box.height(); k <= box.width(); k += s)
            p.drawLine(box.left() + k, box.bottom(), box.left() + k + box.height(), box.top());
        p.restore();
        p.setPen(QPen(EdgeGrey, 1));
        p.drawRect(box);
        break;
    case EHatch::PassesH:
        p.setPen(Dashed(PathBlue));
        for (int y = box.top(); y <= box.bottom(); y += s)
            p.drawLine(box.left(), y, box.right(), y);
        break;
    case EHatch::PassesV:
        p.setPen(Dashed(PathBlue));
        for (int x = box.left(); x <= box.right(); x += s)
            p.drawLine(x, box.top(), x, box.bottom());
        break;
    }
}

void Angle(QPainter& p, const TPictureItem& it)
{
    const double rad = it.C * std::numbers::pi / 180;
    const QPointF centre(it.A, it.B);
    p.setPen(QPen(DimensionRed, 1));
    p.drawLine(centre, centre + QPointF(44, 0));
    p.drawLine(centre, centre + QPointF(std::cos(rad), -std::sin(rad)) * 44);
    const QRectF arc(centre - QPointF(28, 28), QSizeF(56, 56));
    p.drawArc(arc, 0, it.C * 16);
    ArrowHead(p, centre + QPointF(std::cos(rad - 0.2), -std::sin(rad - 0.2)) * 28,
              centre + QPointF(std::cos(rad), -std::sin(rad)) * 28);
    const QPointF at = centre + QPointF(std::cos(rad / 2), -std::sin(rad / 2)) * 32;
    Label(p, at.toPoint(), it.Label, DimensionRed);
}

} // namespace

void DrawPictureItems(QPainter& p, const std::vector<TPictureItem>& items)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    for (const TPictureItem& it : items) {
        const QRect box(QPoint(it.A, it.B), QPoint(it.C, it.D));
        switch (it.Kind) {
        case EPictureItem::Stock:
            p.setPen(QPen(EdgeGrey, 1));
            p.setBrush(StockGrey);
            p.drawRect(box);
            p.setBrush(Qt::NoBrush);
            break;
        case EPictureItem::Cut:
            p.fillRect(box, Qt::white);
            p.setPen(QPen(EdgeGrey, 1));
            p.drawPolyline(QPolygon({box.topLeft(), box.bottomLeft(), box.bottomRight(), box.topRight()}));
            break;
        case EPictureItem::Outline:
            p.setPen(Dashed(EdgeGrey));
            p.drawRect(box);
            break;
        case EPictureItem::Tool:
        case EPictureItem::Ball:
            Mill(p, it, it.Kind == EPictureItem::Ball);
            break;
        case EPictureItem::Circle:
            p.setPen(QPen(ToolDark, 1.5));
            p.drawEllipse(QPoint(it.A, it.B), it.C, it.C);
            p.drawLine(it.A - 2, it.B, it.A + 2, it.B);
            break;
        case EPictureItem::Head:
            Head(p, it);
            break;
        case EPictureItem::Insert:
            Insert(p, it);
            break;
        case EPictureItem::Chuck:
            Chuck(p, it);
            break;
        case EPictureItem::Surface:
            Surface(p, it);
            break;
        case EPictureItem::Plane:
            p.setPen(Dashed(EdgeGrey));
            p.drawLine(0, it.A, PictureCanvasWidth, it.A);
            Label(p, QPoint(2, it.A - 7), it.Label, EdgeGrey.darker(130));
            break;
        case EPictureItem::DimV:
            Dimension(p, QPoint(it.A, it.B), QPoint(it.A, it.C), it.Label, it.D != 0);
            break;
        case EPictureItem::DimH:
            Dimension(p, QPoint(it.B, it.A), QPoint(it.C, it.A), it.Label, it.D != 0);
            break;
        case EPictureItem::Mark: {
            const QPoint tip(it.A, it.B);
            const QPoint from = tip + (it.C == 0 && it.D == 0 ? QPoint(24, -18) : QPoint(it.C, it.D));
            p.setPen(QPen(DimensionRed, 1));
            p.drawLine(from, tip);
            ArrowHead(p, from, tip);
            Label(p, from - QPoint(0, 2), it.Label, DimensionRed, from.x() < tip.x());
            break;
        }
        case EPictureItem::Text:
            Label(p, QPoint(it.A, it.B), it.Label, DimensionRed);
            break;
        case EPictureItem::Samples:
            for (int x = it.A; x <= it.C; x += std::max(2, it.Spacing))
                p.fillRect(QRectF(x - 1.5, SurfaceY(it, x) - 1.5, 3, 3), PathBlue);
            break;
        case EPictureItem::SurfaceLine: {
            QPolygonF line;
            for (int x = it.A; x <= it.C; x += 2)
                line << QPointF(x, SurfaceY(it, x) - it.D);
            p.setPen(Dashed(PathBlue, 1.5));
            p.drawPolyline(line);
            break;
        }
        case EPictureItem::Angle:
            Angle(p, it);
            break;
        case EPictureItem::Hatch:
            Hatch(p, it);
            break;
        case EPictureItem::Path:
            p.setPen(Dashed(PathBlue, 1.5));
            p.drawPolyline(QPolygon(QList<QPoint>(it.Points.begin(), it.Points.end())));
            if (it.Points.size() >= 2)
                ArrowHead(p, it.Points[it.Points.size() - 2], it.Points.back());
            break;
        case EPictureItem::Part:
            p.setPen(QPen(ToolDark, 1));
            p.setBrush(PartGrey);
            p.drawPolygon(QPolygon(QList<QPoint>(it.Points.begin(), it.Points.end())));
            p.setBrush(Qt::NoBrush);
            break;
        case EPictureItem::Dots:
            for (const QPoint& point : it.Points)
                p.fillRect(point.x() - 1, point.y() - 1, 3, 3, PathBlue);
            break;
        }
    }
}
