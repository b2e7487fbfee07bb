#include "app/toolwin/VertRuler.h"

#include "cad/ui/AnsiText.h"

#include <QPainter>

#include <charconv>

std::string RulerLabelText(double value)
{
    if (value == 0.0)
        return "0";
    char buffer[32];
    // Fifteen significant digits, as the labels have always been written:
    // 3 x 0.1 reads "0.3", not the double's last digits.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

namespace {

// One major step's marks at row y: the major tick, its label, the half tick
// and the eleven minor ticks below it.
void AddStep(const TRulerLayout& layout, int32_t step, TRulerMarks& marks)
{
    const bool left = layout.ScalaEdgePos == TPlaceVert::plLeft;
    const int32_t x0 = left ? 1 : layout.Width - 2;
    const int32_t x1 = left ? 10 : layout.Width - 10;
    const int32_t direction = left ? 1 : -1;
    const int32_t labelOffset = left ? 1 : -10;
    const int32_t major = layout.ScalaFactor * 10;
    const int32_t y = layout.ScalaOffset + step * major;
    auto onPanel = [&](int32_t row) { return row >= 0 && row < layout.Height; };
    auto tick = [&](int32_t row, int32_t end, bool isMajor) {
        if (onPanel(row))
            marks.Ticks.push_back({row, x0, end, isMajor});
    };
    tick(y, x1, true);
    if (layout.ScalaShowText && onPanel(y))
        marks.Labels.push_back({x1 + labelOffset, y - 4, RulerLabelText(step * layout.ScalaTextIncrement)});
    tick(y + major / 2, x1 - 3 * direction, false);
    for (int32_t i = 0; i <= 10; ++i)
        tick(y + i * layout.ScalaFactor, x1 - 5 * direction, false);
}

} // namespace

TRulerMarks RulerMarks(const TRulerLayout& layout)
{
    TRulerMarks marks;
    if (layout.ScalaFactor < 1 || layout.Height <= 0)
        return marks;
    const int32_t major = layout.ScalaFactor * 10;
    // Downward from the zero mark, then upward while a step can still
    // reach the panel (the steps above its top edge draw nothing).
    for (int32_t s = 0; s <= (layout.Height - layout.ScalaOffset) / major; ++s)
        AddStep(layout, s, marks);
    for (int32_t s = -1; layout.ScalaOffset >= 1 && layout.ScalaOffset + (s + 1) * major >= 0; --s)
        AddStep(layout, s, marks);
    return marks;
}

TVertRuler::TVertRuler(QWidget* parent) : QFrame(parent)
{
    setGeometry(30, 122, 25, 300);
}

TRulerMarks TVertRuler::Marks() const
{
    TRulerLayout layout = m_Layout;
    layout.Width = width();
    layout.Height = height();
    return RulerMarks(layout);
}

void TVertRuler::Changed()
{
    // Drawn again now, not at the next paint message.
    repaint();
}

void TVertRuler::SetScalaFactor(int32_t factor)
{
    m_Layout.ScalaFactor = factor;
    Changed();
}

void TVertRuler::SetScalaFontSize(int32_t size)
{
    m_FontSize = size;
    Changed();
}

void TVertRuler::SetScalaOffset(int32_t offset)
{
    m_Layout.ScalaOffset = offset;
    Changed();
}

void TVertRuler::SetScalaTextIncrement(double increment)
{
    m_Layout.ScalaTextIncrement = increment;
    Changed();
}

void TVertRuler::SetScalaShowText(bool show)
{
    m_Layout.ScalaShowText = show;
    Changed();
}

void TVertRuler::SetScalaEdgePos(TPlaceVert edge)
{
    m_Layout.ScalaEdgePos = edge;
    Changed();
}

void TVertRuler::SetScalaColor(const QColor& color)
{
    m_Color = color;
    Changed();
}

void TVertRuler::SetShowUnit(bool show)
{
    m_ShowUnit = show;
    Changed();
}

void TVertRuler::SetTextUnit(const std::string& text)
{
    m_TextUnit = text;
    Changed();
}

void TVertRuler::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    ++m_PaintCount;
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(1, 1), QPoint(width() - 2, height() - 2)), palette().color(QPalette::Midlight));
    painter.setPen(m_Color);
    QFont font(QStringLiteral("arial"));
    font.setPointSize(std::max(1, m_FontSize));
    painter.setFont(font);
    const TRulerMarks marks = Marks();
    for (const TRulerTick& tick : marks.Ticks)
        painter.drawLine(tick.X0, tick.Y, tick.X1, tick.Y);
    const QFontMetrics metrics(font);
    for (const TRulerLabel& label : marks.Labels)
        painter.drawText(label.X, label.Y + metrics.ascent(), QString::fromStdString(label.Text));
    if (m_ShowUnit) {
        const bool left = m_Layout.ScalaEdgePos == TPlaceVert::plLeft;
        const int x = left ? 11 : width() - 20;
        painter.drawText(x, height() - metrics.height() - 4 + metrics.ascent(), AnsiToQString(m_TextUnit));
    }
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, width(), 0);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
