#include "nc/ui/NodraDialogs.h"

#include "core/model/UserNotifier.h"
#include "nc/ui/NodraMain.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

int SelectionStart(const QsciScintilla& edit)
{
    return static_cast<int>(edit.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
}

int SelectionEnd(const QsciScintilla& edit)
{
    return static_cast<int>(edit.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND));
}

void SelectBytes(QsciScintilla& edit, int start, int end)
{
    edit.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(start), static_cast<long>(end));
}

namespace {

QLineEdit* AddRow(QGridLayout& grid, QWidget* parent, const char* name, const char* caption)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    const int row = grid.rowCount();
    grid.addWidget(new QLabel(caption, parent), row, 0);
    grid.addWidget(edit, row, 1);
    return edit;
}

QCheckBox* AddBox(QGridLayout& grid, QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    grid.addWidget(box, grid.rowCount(), 1);
    return box;
}

QPushButton* AddButton(QDialogButtonBox& buttons, const char* name, const char* caption)
{
    auto* button = buttons.addButton(caption, QDialogButtonBox::ActionRole);
    button->setObjectName(name);
    return button;
}

} // namespace

TNodraFindDialog::TNodraFindDialog(TNodraFrmMain& editor) : QDialog(&editor), m_Editor(editor)
{
    setObjectName("FindDialog1");
    setWindowTitle("Find");
    auto* grid = new QGridLayout;
    m_Find = AddRow(*grid, this, "txtFind", "Find what:");
    m_WholeWord = AddBox(*grid, this, "chkWholeWord", "Match &whole word only");
    m_MatchCase = AddBox(*grid, this, "chkMatchCase", "Match &case");
    // The find always runs forward and without regard to case.
    m_MatchCase->setEnabled(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    auto* next = AddButton(*buttons, "btnFindNext", "&Find Next");
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, [this] { FindClicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void TNodraFindDialog::FindClicked()
{
    hide();
    m_Editor.FindText(m_Find->text(), m_WholeWord->isChecked());
}

TNodraReplaceDialog::TNodraReplaceDialog(TNodraFrmMain& editor) : QDialog(&editor), m_Editor(editor)
{
    setObjectName("ReplaceDialog1");
    setWindowTitle("Replace");
    auto* grid = new QGridLayout;
    m_Find = AddRow(*grid, this, "txtFind", "Find what:");
    m_Replace = AddRow(*grid, this, "txtReplace", "Replace with:");
    m_WholeWord = AddBox(*grid, this, "chkWholeWord", "Match &whole word only");
    m_MatchCase = AddBox(*grid, this, "chkMatchCase", "Match &case");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(AddButton(*buttons, "btnFindNext", "&Find Next"), &QPushButton::clicked, this,
            [this] { FindNextClicked(); });
    connect(AddButton(*buttons, "btnReplace", "&Replace"), &QPushButton::clicked, this,
            [this] { ReplaceClicked(); });
    connect(AddButton(*buttons, "btnReplaceAll", "Replace &All"), &QPushButton::clicked, this,
            [this] { ReplaceAllClicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

TSearchOptions TNodraReplaceDialog::Options() const
{
    return {m_MatchCase->isChecked(), m_WholeWord->isChecked()};
}

void TNodraReplaceDialog::Open()
{
    if (QsciScintilla* edit = m_Editor.CurrentEditor()) {
        m_SavedStart = SelectionStart(*edit);
        m_SavedEnd = SelectionEnd(*edit);
        m_Saved = true;
    }
    show();
}

void TNodraReplaceDialog::hideEvent(QHideEvent* event)
{
    QsciScintilla* edit = m_Editor.CurrentEditor();
    if (m_Saved && edit) {
        const int length = static_cast<int>(edit->length());
        SelectBytes(*edit, std::min(m_SavedStart, length), std::min(m_SavedEnd, length));
    }
    m_Saved = false;
    QDialog::hideEvent(event);
}

bool TNodraReplaceDialog::FindNext(QsciScintilla& edit)
{
    const QByteArray text = edit.text().toUtf8();
    const QByteArray what = m_Find->text().toUtf8();
    const auto at = m_Search.FindNext(std::string_view(text.constData(), text.size()),
                                      std::string_view(what.constData(), what.size()),
                                      static_cast<size_t>(SelectionEnd(edit)), Options());
    if (at) {
        SelectBytes(edit, static_cast<int>(*at), static_cast<int>(*at + what.size()));
    } else if (m_Search.TakeNotFoundMessage()) {
        UserNotifier().ShowMessage(EMessageKind::Information,
                                   "\"" + m_Find->text().toStdString() + "\" not found", "");
    }
    edit.setFocus();
    return at.has_value();
}

void TNodraReplaceDialog::FindNextClicked()
{
    if (QsciScintilla* edit = m_Editor.CurrentEditor())
        FindNext(*edit);
}

void TNodraReplaceDialog::ReplaceClicked()
{
    QsciScintilla* edit = m_Editor.CurrentEditor();
    if (!edit || edit->isReadOnly())
        return;
    const QByteArray what = m_Find->text().toUtf8();
    const int start = SelectionStart(*edit);
    if (m_Search.SelectionIsLastMatch(static_cast<size_t>(start), static_cast<size_t>(SelectionEnd(*edit) - start),
                                      std::string_view(what.constData(), what.size()))) {
        edit->replaceSelectedText(m_Replace->text());
        m_Search.MarkReplaced();
    }
    FindNext(*edit);
}

void TNodraReplaceDialog::ReplaceAllClicked()
{
    QsciScintilla* edit = m_Editor.CurrentEditor();
    if (!edit || edit->isReadOnly())
        return;
    const QByteArray what = m_Find->text().toUtf8();
    const QByteArray with = m_Replace->text().toUtf8();
    const std::string_view whatView(what.constData(), what.size());
    size_t from = static_cast<size_t>(SelectionStart(*edit));
    edit->beginUndoAction();
    for (;;) {
        const QByteArray text = edit->text().toUtf8();
        const auto at = m_Search.FindNext(std::string_view(text.constData(), text.size()), whatView, from, Options());
        if (!at)
            break;
        SelectBytes(*edit, static_cast<int>(*at), static_cast<int>(*at + what.size()));
        edit->replaceSelectedText(m_Replace->text());
        m_Search.MarkReplaced();
        from = *at + with.size();
    }
    edit->endUndoAction();
    // Ends silently: the replacements made clear the "not found" message.
    m_Search.TakeNotFoundMessage();
    edit->setFocus();
}

TNodraFrmGoLine::TNodraFrmGoLine(QWidget* parent) : QDialog(parent)
{
    setObjectName("NodraFrmGoLine");
    setWindowTitle("Go to line number:");
    m_Line = new QLineEdit(this);
    m_Line->setObjectName("edtLine");
    m_Line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_Line));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_Ok = buttons->button(QDialogButtonBox::Ok);
    m_Ok->setEnabled(false);
    connect(m_Line, &QLineEdit::textChanged, this, [this](const QString& text) { m_Ok->setEnabled(!text.isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Line);
    layout->addWidget(buttons);
}

void TNodraFrmGoLine::Reset()
{
    m_Line->clear();
    m_Line->setFocus();
}

TNodraFrmAbout::TNodraFrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("NodraFrmAbout");
    setWindowTitle("About Nodrapad");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Nodrapad v 0.9.9.2", this));
    layout->addWidget(new QLabel(QString("The G-code editor of Kestrabel 3, on Qt %1 and QScintilla %2")
                                     .arg(qVersion(), QSCINTILLA_VERSION_STR),
                                 this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TNodraFrmKList::TNodraFrmKList(QWidget* parent) : QDialog(parent)
{
    setObjectName("NodraFrmKList");
    setWindowTitle("Keyboard shortcuts");
    auto* memo = new QPlainTextEdit(this);
    memo->setReadOnly(true);
    memo->setPlainText("Ctrl+N\tNew\nCtrl+O\tOpen\nCtrl+R\tOpen read-only\nCtrl+S\tSave\nCtrl+W\tClose tab\n"
                       "Ctrl+P\tPrint\nF10\tExit\nCtrl+X\tCut\nCtrl+C\tCopy\nCtrl+V\tPaste\nCtrl+Z\tUndo\n"
                       "Ctrl+A\tSelect all\nF4, Ctrl+Tab\tNext tab\nCtrl+F\tSearch\nF3\tSearch again\n"
                       "Ctrl+Alt+R\tReplace\nCtrl+G\tGo to line\nF5\tSimulation step\n");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo);
    layout->addWidget(buttons);
}
