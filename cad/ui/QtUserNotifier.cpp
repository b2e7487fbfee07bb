#include "cad/ui/QtUserNotifier.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/ColorBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

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

// Yes and No; Escape and the close box answer Dismissed.
EUserAnswer AskQuestion(QMessageBox& box)
{
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

QString FileText(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

} // namespace

QString MessageText(const std::string& text)
{
    QString result = AnsiToQString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QStringList NameFilters(const TFileRequest& request)
{
    QStringList filters;
    for (const TFileFilter& filter : request.Filters)
        filters << AnsiToQString(FileFilterText(filter));
    return filters;
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
    return AskQuestion(box);
}

EUserAnswer TQtUserNotifier::AskYesNoCancel(const std::string& text, const std::string& caption)
{
    QMessageBox box(m_Parent.data());
    SetUp(box, QMessageBox::Question, text, caption);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    const int result = box.exec();
    if (result == QMessageBox::Yes)
        return EUserAnswer::Yes;
    return result == QMessageBox::No ? EUserAnswer::No : EUserAnswer::Dismissed;
}

EUserAnswer TQtUserNotifier::AskYesNoChecked(const std::string& text, const std::string& caption,
                                             const std::string& checkText, bool& checked)
{
    QMessageBox box(m_Parent.data());
    SetUp(box, QMessageBox::Warning, text, caption);
    auto* check = new QCheckBox(MessageText(checkText), &box);
    check->setChecked(checked);
    box.setCheckBox(check);
    const EUserAnswer answer = AskQuestion(box);
    checked = check->isChecked();
    return answer;
}

std::string TQtUserNotifier::AskOpenFileName(const TFileRequest& request)
{
    return AskFileName(request, false);
}

std::string TQtUserNotifier::AskSaveFileName(const TFileRequest& request)
{
    return AskFileName(request, true);
}

std::string TQtUserNotifier::AskFileName(const TFileRequest& request, bool save)
{
    QFileDialog dialog(m_Parent.data());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(request));
    if (!request.Folder.empty())
        dialog.setDirectory(FileText(request.Folder));
    if (!request.FileName.empty())
        dialog.selectFile(FileText(request.FileName));
    if (!request.DefaultSuffix.empty())
        dialog.setDefaultSuffix(AnsiToQString(request.DefaultSuffix));
    if (!request.OverwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

std::optional<uint32_t> TQtUserNotifier::AskColor(uint32_t current)
{
    const QColor chosen = QColorDialog::getColor(TColorBox::ToQColor(current), m_Parent.data());
    if (!chosen.isValid())
        return std::nullopt;
    return TColorBox::FromQColor(chosen);
}

std::optional<TFontChoice> TQtUserNotifier::AskFont(const TFontChoice& current)
{
    QFont font(AnsiToQString(current.Name), current.Size);
    font.setBold(current.Bold);
    font.setItalic(current.Italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_Parent.data());
    if (!ok)
        return std::nullopt;
    return TFontChoice{QStringToAnsi(chosen.family()), chosen.pointSize(), chosen.bold(), chosen.italic()};
}

int TQtUserNotifier::RunDialog(std::string_view, const std::function<int()>& exec)
{
    return exec ? exec() : 0;
}
