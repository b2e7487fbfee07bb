#include "app/toolwin/ToolPageWidgets.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSpinBox>

// --- Page ----------------------------------------------------------------------------

QWidget* TWidgetToolPage::Find(std::string_view control) const
{
    return m_Sheet.findChild<QWidget*>(QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size())));
}

void TWidgetToolPage::SetText(std::string_view control, const std::string& text)
{
    QWidget* w = Find(control);
    const QString value = AnsiToQString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(value);
    else if (auto* spin = qobject_cast<QSpinBox*>(w))
        spin->setValue(value.toInt());
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
        combo->setEditText(value);
}

std::string TWidgetToolPage::Text(std::string_view control) const
{
    QWidget* w = Find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return QStringToAnsi(edit->text());
    if (auto* spin = qobject_cast<QSpinBox*>(w))
        return std::to_string(spin->value());
    if (auto* label = qobject_cast<QLabel*>(w))
        return QStringToAnsi(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return QStringToAnsi(button->text());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return QStringToAnsi(combo->currentText());
    return {};
}

void TWidgetToolPage::SetChecked(std::string_view control, bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Find(control)))
        button->setChecked(checked);
}

bool TWidgetToolPage::Checked(std::string_view control) const
{
    auto* button = qobject_cast<QAbstractButton*>(Find(control));
    return button && button->isChecked();
}

void TWidgetToolPage::SetItemIndex(std::string_view control, int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(Find(control)))
        combo->setCurrentIndex(index < combo->count() ? index : -1);
}

int TWidgetToolPage::ItemIndex(std::string_view control) const
{
    auto* combo = qobject_cast<QComboBox*>(Find(control));
    return combo ? combo->currentIndex() : -1;
}

void TWidgetToolPage::SetVisible(std::string_view control, bool visible)
{
    if (QWidget* w = Find(control))
        w->setVisible(visible);
}

void TWidgetToolPage::SetEnabled(std::string_view control, bool enabled)
{
    if (QWidget* w = Find(control))
        w->setEnabled(enabled);
}

void TWidgetToolPage::SetImageIndex(std::string_view control, int index)
{
    if (QWidget* w = Find(control))
        w->setProperty("imageIndex", index);
}

void TWidgetToolPage::ToolTypeChanged()
{
    if (OnToolTypeChanged)
        OnToolTypeChanged();
}

bool TWidgetToolPage::IsShowing() const
{
    return m_Window.isVisible();
}

// --- List ----------------------------------------------------------------------------

TToolListWidget::TToolListWidget(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false); // the drag is our own
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setIconSize(QSize(16, 16));
}

TToolListWidget::~TToolListWidget()
{
    if (BeforeGone)
        BeforeGone();
}

void TToolListWidget::Clear()
{
    clear();
}

void TToolListWidget::AddItem(const std::string& caption, int imageIndex)
{
    auto* item = new QListWidgetItem(AnsiToQString(caption), this);
    item->setData(Qt::UserRole, imageIndex);
    if (ItemImage && imageIndex >= 0)
        item->setIcon(QIcon(ItemImage(imageIndex)));
}

void TToolListWidget::DeleteItem(int index)
{
    delete takeItem(index);
}

void TToolListWidget::SelectItem(int index)
{
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index);
}

void TToolListWidget::SetFocus()
{
    setFocus();
}

void TToolListWidget::MoveItem(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    QListWidgetItem* dragged = item(from);
    auto* copy = new QListWidgetItem(dragged->text());
    copy->setIcon(dragged->icon());
    copy->setData(Qt::UserRole, dragged->data(Qt::UserRole));
    insertItem(to, copy);
    delete takeItem(row(dragged));
    setCurrentItem(copy);
}

QByteArray TToolListWidget::DragTag() const
{
    return QByteArray::number(reinterpret_cast<quintptr>(this));
}

bool TToolListWidget::FromHere(const QMimeData* data) const
{
    return data && data->hasFormat(QString::fromLatin1(MimeType)) &&
           data->data(QString::fromLatin1(MimeType)) == DragTag();
}

void TToolListWidget::mousePressEvent(QMouseEvent* event)
{
    m_PressPos = event->position().toPoint();
    QListWidget::mousePressEvent(event);
}

void TToolListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !itemAt(m_PressPos) ||
        (event->position().toPoint() - m_PressPos).manhattanLength() < QApplication::startDragDistance()) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(MimeType), DragTag());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

void TToolListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (FromHere(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TToolListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (FromHere(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TToolListWidget::dropEvent(QDropEvent* event)
{
    if (!FromHere(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const int from = row(itemAt(m_PressPos));
    const int to = row(itemAt(event->position().toPoint()));
    if (from < 0 || to < 0 || from == to || !OnMove)
        return;
    GuardedCall([this, from, to] { OnMove(from, to); });
}

// --- Shapes ---------------------------------------------------------------------------

QPixmap ToolShapePixmap(int toolType, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0xB0, 0xB8, 0xC8));
    const double s = size;
    const double left = s * 0.3, right = s * 0.7, top = s * 0.1, tip = s * 0.9, shank = s * 0.45;
    QPainterPath cutter;
    cutter.moveTo(left, top);
    cutter.lineTo(right, top);
    switch (toolType) {
    case 0: // flat
        cutter.lineTo(right, tip);
        cutter.lineTo(left, tip);
        break;
    case 1: { // bull nose: rounded corners
        const double r = (right - left) * 0.25;
        cutter.lineTo(right, tip - r);
        cutter.quadTo(right, tip, right - r, tip);
        cutter.lineTo(left + r, tip);
        cutter.quadTo(left, tip, left, tip - r);
        break;
    }
    case 2: { // ball
        const double r = (right - left) / 2;
        cutter.lineTo(right, tip - r);
        cutter.arcTo(QRectF(left, tip - 2 * r, 2 * r, 2 * r), 0, -180);
        break;
    }
    case 3: // cone with a flat tip
        cutter.lineTo(right, shank);
        cutter.lineTo(s * 0.55, tip);
        cutter.lineTo(s * 0.45, tip);
        cutter.lineTo(left, shank);
        break;
    case 4: // drill point
        cutter.lineTo(right, s * 0.7);
        cutter.lineTo(s * 0.5, tip);
        cutter.lineTo(left, s * 0.7);
        break;
    default: // undefined: a question mark
        p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("?"));
        return pixmap;
    }
    cutter.closeSubpath();
    p.drawPath(cutter);
    return pixmap;
}
