#include "app/machining/WidgetPage.h"

#include "cad/ui/AnsiText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>

TWidgetPage::TWidgetPage(QWidget& root, std::function<bool()> isShowing)
    : m_Root(root), m_IsShowing(std::move(isShowing))
{
}

QWidget* TWidgetPage::Control(std::string_view control) const
{
    const QString name = QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size()));
    if (m_Root.objectName() == name)
        return &m_Root;
    return m_Root.findChild<QWidget*>(name);
}

void TWidgetPage::SetText(std::string_view control, const std::string& text)
{
    QWidget* widget = Control(control);
    const QString value = AnsiToQString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* spin = qobject_cast<QSpinBox*>(widget))
        spin->setValue(value.toInt());
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable())
        combo->setEditText(value);
}

std::string TWidgetPage::Text(std::string_view control) const
{
    QWidget* widget = Control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return QStringToAnsi(edit->text());
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        return std::to_string(spin->value());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return QStringToAnsi(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return QStringToAnsi(button->text());
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return QStringToAnsi(combo->currentText());
    return std::string();
}

void TWidgetPage::SetChecked(std::string_view control, bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(control)))
        button->setChecked(checked);
    else if (auto* group = qobject_cast<QGroupBox*>(Control(control)))
        group->setChecked(checked);
}

bool TWidgetPage::Checked(std::string_view control) const
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(control)))
        return button->isChecked();
    if (auto* group = qobject_cast<QGroupBox*>(Control(control)))
        return group->isChecked();
    return false;
}

void TWidgetPage::SetItemIndex(std::string_view control, int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(Control(control)))
        combo->setCurrentIndex(index < combo->count() ? index : -1);
}

int TWidgetPage::ItemIndex(std::string_view control) const
{
    if (auto* combo = qobject_cast<QComboBox*>(Control(control)))
        return combo->currentIndex();
    return -1;
}

void TWidgetPage::SetVisible(std::string_view control, bool visible)
{
    if (QWidget* widget = Control(control))
        widget->setVisible(visible);
}

void TWidgetPage::SetEnabled(std::string_view control, bool enabled)
{
    if (QWidget* widget = Control(control))
        widget->setEnabled(enabled);
}

void TWidgetPage::SetImageIndex(std::string_view control, int index)
{
    if (QWidget* widget = Control(control))
        widget->setProperty("imageIndex", index);
}

void TWidgetPage::ToolTypeChanged()
{
    if (OnToolTypeChanged)
        OnToolTypeChanged();
}

bool TWidgetPage::IsShowing() const
{
    return m_IsShowing ? m_IsShowing() : m_Root.isVisible();
}
