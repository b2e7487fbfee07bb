#include "cad/ui/QtUserNotifier.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconOf(EMessageKind kind)
{
    switch (kind) {
    case EMessageKind::Plain:
        return QMessageBox::NoIcon;
    case EMessageKind::Information:
        return QMessageBox::Information;
    case EMessageKind::Warning:
        return QMessageBox::Warning;
    case EMessageKind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString CaptionText(const std::string& caption)
{
    return MessageText(caption.empty() ? ApplicationTitle() : caption);
}

void SetUp(QMessageBox& box, QMessageBox::Icon icon, const std::string& text, const std::string& caption)
{
    box.setIcon(icon);
    box.setWindowTitle(CaptionText(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(MessageText(text));
    if (!box.parentWidget())
        box.setWindowModality(Qt::ApplicationModal);
}

} // namespace

QString MessageText(const std::string& text)
{
    QString result = AnsiToQString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

void TQtUserNotifier::ShowMessage(EMessageKind kind, const std::string& text, const std::string& caption)
{
    QMessageBox box(m_Parent.data());
    SetUp(box, IconOf(kind), text, caption);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

EUserAnswer TQtUserNotifier::AskYesNo(const std::string& text, const std::string& caption)
{
    QMessageBox box(m_Parent.data());
    SetUp(box, QMessageBox::Warning, text, caption);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Qt makes a lone No button the escape button; a hidden Cancel button
    // takes that part, so that Escape and the close box answer Dismissed.
    QAbstractButton* dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.setDefaultButton(QMessageBox::Yes);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Yes))
        return EUserAnswer::Yes;
    if (clicked == box.button(QMessageBox::No))
        return EUserAnswer::No;
    return EUserAnswer::Dismissed;
}
