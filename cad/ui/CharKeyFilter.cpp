#include "cad/ui/CharKeyFilter.h"

#include "core/settings/NumberText.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

void TCharKeyFilter::Install(QLineEdit& edit, TFilter filter)
{
    edit.installEventFilter(new TCharKeyFilter(filter, &edit));
}

void TCharKeyFilter::Install(QComboBox& combo, TFilter filter)
{
    if (QLineEdit* edit = combo.lineEdit())
        Install(*edit, filter);
}

bool TCharKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    if (text.size() != 1)
        return false;
    const char16_t typed = text.front().unicode();
    if (typed == kBackspaceKey || typed < 0x20 || typed == 0x7f)
        return false; // editing keys, not characters
    // Characters beyond ASCII are never digits or signs: the filter drops them.
    const char c = typed < 0x80 ? static_cast<char>(typed) : '\0';
    const char result = c ? m_Filter(c) : '\0';
    if (result == c)
        return false;
    if (result != '\0')
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            edit->insert(QString(QChar(result)));
    return true;
}
