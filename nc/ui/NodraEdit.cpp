#include "nc/ui/NodraEdit.h"

#include "core/settings/NumberText.h"
#include "nc/editor/NodraText.h"
#include "nc/ui/NodraMain.h"

#include <QKeyEvent>
#include <QLineEdit>

TNodraEdit::TNodraEdit(TNodraFrmMain& frame, QWidget* parent) : QsciScintilla(parent), m_Frame(frame)
{
    setUtf8(true);
    setWrapMode(QsciScintilla::WrapNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEolMode(QsciScintilla::EolWindows);
    setTabIndents(false);
    setIndentationsUseTabs(true);
    // No line-number margin: the status bar shows the caret's line.
    setMarginWidth(1, 0);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const char* name : {"mnuCut", "mnuCopy", "mnuPaste", "mnuNew", "mnuOpen", "mnuSave", "mnuSaveAs", "mnuClose"})
        if (QAction* action = frame.findChild<QAction*>(name))
            addAction(action);
}

void TNodraEdit::SetFileText(const QByteArray& bytes)
{
    m_LineEnd = DetectLineEnd(std::string_view(bytes.constData(), bytes.size()));
    setEolMode(m_LineEnd == "\n" ? EolUnix : m_LineEnd == "\r" ? EolMac : EolWindows);
    setText(QString::fromUtf8(bytes));
    setCursorPosition(0, 0);
    setModified(false);
}

void TNodraEdit::SetEditorFont(const QFont& font)
{
    setFont(font);
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, font.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZE, STYLE_DEFAULT, static_cast<long>(font.pointSize()));
    SendScintilla(SCI_STYLECLEARALL);
}

void TNodraEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        m_Frame.NextTabClick();
        return;
    }
    if (key == Qt::Key_Space && isReadOnly()) {
        SendScintilla(SCI_PAGEDOWN);
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier && !isReadOnly()) {
        int line = 0, index = 0;
        getCursorPosition(&line, &index);
        const QByteArray lineText = text(line).toUtf8();
        const auto caretByte = static_cast<size_t>(
            SendScintilla(SCI_GETCURRENTPOS) - SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
        const std::string_view upToCaret(lineText.constData(), std::min<size_t>(caretByte, lineText.size()));
        replaceSelectedText(QString::fromUtf8(AutoIndentText(upToCaret, m_LineEnd)));
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

namespace {
TNodraEdit* Edit(TNodraFrmMain& frame)
{
    return static_cast<TNodraEdit*>(frame.CurrentEditor());
}
} // namespace

int TNodraTextSource::LineCount() const
{
    return Edit(m_Frame)->lines();
}

std::string TNodraTextSource::LineText(int line) const
{
    QByteArray bytes = Edit(m_Frame)->text(line).toUtf8();
    while (!bytes.isEmpty() && (bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    return std::string(bytes.constData(), bytes.size());
}

void TNodraTextSource::SelectLine(int line)
{
    TNodraEdit* edit = Edit(m_Frame);
    const int length = static_cast<int>(LineText(line).size());
    const long start = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    edit->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(start), start + length);
}

void TNodraTextSource::ScrollLines(int lines)
{
    Edit(m_Frame)->SendScintilla(QsciScintillaBase::SCI_LINESCROLL, 0UL, static_cast<long>(lines));
}

int TNodraTextSource::CaretLine() const
{
    int line = 0, index = 0;
    Edit(m_Frame)->getCursorPosition(&line, &index);
    return line;
}

void TNodraTextSource::MoveCaretToStart()
{
    Edit(m_Frame)->setCursorPosition(0, 0);
}

void TNodraTextSource::Focus()
{
    Edit(m_Frame)->setFocus();
}

void TNodraTextSource::ShowCurrentZ(double z)
{
    if (auto* edit = m_Frame.findChild<QLineEdit*>("txtCurrentZ"))
        edit->setText(QString::fromStdString(FormatCoord(z)));
}
