#include "cad/ui/penwidthcombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

constexpr int FrameInset = 3;
constexpr int FrameRight = 48;
constexpr int LineInset = 5;
constexpr int TextOffset = 50;

class TPenWidthDelegate : public QStyledItemDelegate {
public:
    explicit TPenWidthDelegate(Tpenwidthcombo& combo) : QStyledItemDelegate(&combo), m_Combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_Combo.DrawItem(*painter, index.row(), option.rect, option.state);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + TextOffset, Tpenwidthcombo::ItemHeight};
    }

private:
    Tpenwidthcombo& m_Combo;
};

} // namespace

Tpenwidthcombo::Tpenwidthcombo(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new TPenWidthDelegate(*this));
    FillWidths();
}

void Tpenwidthcombo::FillWidths()
{
    clear();
    for (int w = 1; w <= WidthCount; ++w)
        addItem(QString::number(w));
}

void Tpenwidthcombo::SetWidth(int32_t width)
{
    setCurrentIndex(width >= 1 && width <= count() ? width - 1 : -1);
}

void Tpenwidthcombo::DrawItem(QPainter& painter, int index, const QRect& rect, QStyle::State state) const
{
    painter.save();
    const bool selected = state & QStyle::State_Selected;
    painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index >= 0 && index < count()) {
        const QRect frame(QPoint(rect.left() + FrameInset, rect.top() + FrameInset),
                          QPoint(rect.left() + FrameRight, rect.bottom() - FrameInset));
        const int middle = frame.center().y();
        painter.setPen(QPen(Qt::black, index + 1, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(frame.left() + LineInset, middle, frame.right() - LineInset, middle);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(TextOffset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, itemText(index));
    }
    painter.restore();
}

void Tpenwidthcombo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawItem(painter, currentIndex(), field, QStyle::State_None);
}
