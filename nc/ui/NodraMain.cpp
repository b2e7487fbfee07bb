#include "nc/ui/NodraMain.h"

#include "core/model/UserNotifier.h"
#include "nc/editor/TextSimulation.h"
#include "nc/ui/FeedSpeedDialog.h"
#include "nc/ui/NodraDialogs.h"
#include "nc/ui/NodraEdit.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QPointer<TNodraFrmMain> g_Editor;
QRect g_EditorBounds;
bool g_BoundsKnown = false;

std::string ToStd(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), bytes.size());
}

QString FromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TNodraEdit* EditOf(QWidget* page)
{
    return page ? page->findChild<TNodraEdit*>() : nullptr;
}

} // namespace

TNodraFrmMain::TNodraFrmMain(QWidget* parent) : QMainWindow(parent), m_TextSource(std::make_unique<TNodraTextSource>(*this))
{
    setObjectName("NodraFrmMain");
    setWindowTitle("Nodrapad v 0.9.9.2");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(607, 432);
    setAcceptDrops(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setContextMenuPolicy(Qt::ActionsContextMenu);
    setCentralWidget(PageControl1);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { TabChanged(); });

    m_Panel0 = new QLabel("  ln 0 col 0", this);
    m_Panel0->setObjectName("pnlCaret");
    m_Panel0->setFixedWidth(100);
    m_Panel1 = new QLabel("ready...", this);
    m_Panel1->setObjectName("pnlState");
    m_Panel1->setMinimumWidth(50);
    statusBar()->addWidget(m_Panel0);
    statusBar()->addWidget(m_Panel1, 1);

    m_FindDialog = new TNodraFindDialog(*this);
    m_ReplaceDialog = new TNodraReplaceDialog(*this);
    CreateMenus();
    CreateSimulationBar();
    AddTab("Untitled1", QFont("Courier New", 10));
}

TNodraFrmMain::~TNodraFrmMain()
{
    // A play loop lower on the stack reads this window's text: it must end
    // before reading again.
    if (m_Playing)
        if (TEditorSimulation* simulation = EditorSimulation())
            simulation->Stop();
}

QAction* TNodraFrmMain::AddAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& key)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!key.isEmpty())
        action->setShortcut(key);
    if (menu)
        menu->addAction(action);
    addAction(action);
    return action;
}

void TNodraFrmMain::CreateMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    connect(AddAction(file, "mnuNew", "&New", QKeySequence("Ctrl+N")), &QAction::triggered, this, [this] { NewClick(); });
    connect(AddAction(file, "mnuOpen", "&Open...", QKeySequence("Ctrl+O")), &QAction::triggered, this,
            [this] { OpenClick(false); });
    connect(AddAction(file, "mnuOpenRO", "Open &Read-Only", QKeySequence("Ctrl+R")), &QAction::triggered, this,
            [this] { OpenClick(true); });
    connect(AddAction(file, "mnuSave", "&Save", QKeySequence("Ctrl+S")), &QAction::triggered, this, [this] { SaveClick(); });
    connect(AddAction(file, "mnuSaveAs", "Save &As..."), &QAction::triggered, this, [this] { SaveAsClick(); });
    QAction* close = AddAction(file, "mnuClose", "&Close", QKeySequence("Ctrl+W"));
    connect(close, &QAction::triggered, this, [this] { CloseTabClick(); });
    mnuToggleRO = AddAction(file, "mnuToggleRO", "&Toggle Read-Only");
    mnuToggleRO->setCheckable(true);
    connect(mnuToggleRO, &QAction::triggered, this, [this] { ToggleReadOnlyClick(); });
    file->addSeparator();
    connect(AddAction(file, "mnuPrint", "&Print", QKeySequence("Ctrl+P")), &QAction::triggered, this,
            [this] { PrintClick(); });
    QMenu* setup = file->addMenu("Printer Setup...");
    connect(AddAction(setup, "mnuPrinterSetup", "&Printer Setup"), &QAction::triggered, this,
            [this] { PrinterSetupClick(); });
    auto radio = [&](QActionGroup* group, const char* name, const char* caption, auto apply, bool checked) {
        QAction* action = AddAction(setup, name, caption);
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
        connect(action, &QAction::triggered, this, apply);
    };
    setup->addSeparator();
    auto* pages = new QActionGroup(this);
    radio(pages, "mnuPNHeader", "Print page number in &header", [this] { m_PageNumberPlace = EPrintPlace::Header; }, true);
    radio(pages, "mnuPNFooter", "Print page number in &footer", [this] { m_PageNumberPlace = EPrintPlace::Footer; }, false);
    radio(pages, "mnuPNNone", "&No page number", [this] { m_PageNumberPlace = EPrintPlace::None; }, false);
    setup->addSeparator();
    auto* names = new QActionGroup(this);
    radio(names, "mnuFNHeader", "Print filen&ame in header", [this] { m_FileNamePlace = EPrintPlace::Header; }, false);
    radio(names, "mnuFNFooter", "Print filename in f&ooter", [this] { m_FileNamePlace = EPrintPlace::Footer; }, false);
    radio(names, "mnuFNNone", "No filenam&e", [this] { m_FileNamePlace = EPrintPlace::None; }, true);
    file->addSeparator();
    connect(AddAction(file, "mnuExit", "E&xit", QKeySequence(Qt::Key_F10)), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    mnuCut = AddAction(edit, "mnuCut", "Cu&t", QKeySequence("Ctrl+X"));
    connect(mnuCut, &QAction::triggered, this, [this] {
        if (!m_CurrentEditor->isReadOnly())
            m_CurrentEditor->cut();
    });
    mnuCopy = AddAction(edit, "mnuCopy", "&Copy", QKeySequence("Ctrl+C"));
    connect(mnuCopy, &QAction::triggered, this, [this] { m_CurrentEditor->copy(); });
    mnuPaste = AddAction(edit, "mnuPaste", "&Paste", QKeySequence("Ctrl+V"));
    connect(mnuPaste, &QAction::triggered, this, [this] {
        if (!m_CurrentEditor->isReadOnly())
            m_CurrentEditor->replaceSelectedText(QApplication::clipboard()->text());
    });
    connect(AddAction(edit, "mnuUndo", "&Undo", QKeySequence("Ctrl+Z")), &QAction::triggered, this,
            [this] { m_CurrentEditor->undo(); });
    mnuDelete = AddAction(edit, "mnuDelete", "De&lete");
    connect(mnuDelete, &QAction::triggered, this, [this] {
        if (!m_CurrentEditor->isReadOnly())
            m_CurrentEditor->removeSelectedText();
    });
    connect(AddAction(edit, "mnuSelectAll", "Select &all", QKeySequence("Ctrl+A")), &QAction::triggered, this,
            [this] { m_CurrentEditor->selectAll(); });
    edit->addSeparator();
    QAction* next = AddAction(edit, "mnuNextTab", "&Move to Next Tab");
    next->setShortcuts({QKeySequence(Qt::Key_F4), QKeySequence("Ctrl+Tab")});
    connect(next, &QAction::triggered, this, [this] { NextTabClick(); });
    connect(AddAction(edit, "mnuSearch", "&Search", QKeySequence("Ctrl+F")), &QAction::triggered, this,
            [this] { SearchClick(); });
    connect(AddAction(edit, "mnuSearchAgain", "Search &Again", QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            [this] { SearchAgainClick(); });
    connect(AddAction(edit, "mnuReplace", "&Replace", QKeySequence("Ctrl+Alt+R")), &QAction::triggered, this,
            [this] { ReplaceClick(); });
    connect(AddAction(edit, "mnuGoLine", "&Go to Line", QKeySequence("Ctrl+G")), &QAction::triggered, this,
            [this] { GoLineClick(); });
    connect(edit, &QMenu::aboutToShow, this, [this] { PopulateEditMenu(); });

    QMenu* text = menuBar()->addMenu("&Text");
    connect(AddAction(text, "mnuFont", "&Font..."), &QAction::triggered, this, [this] { FontClick(); });

    QMenu* tools = menuBar()->addMenu("&Tools");
    mnuSimIso = AddAction(tools, "mnuSimIso", "Simulate GCode");
    mnuSimIso->setCheckable(true);
    mnuSimIso->setChecked(true);
    connect(mnuSimIso, &QAction::toggled, this, [this](bool on) { m_SimBar->setVisible(on); });
    connect(AddAction(tools, "mnuFeedSpeed", "Feed and Speed Calculator"), &QAction::triggered, this,
            [this] { ShowFeedSpeedCalculator(this); });

    QMenu* help = menuBar()->addMenu("&Help");
    connect(AddAction(help, "mnuKeyList", "&Keyboard Shortcuts"), &QAction::triggered, this, [this] {
        auto* list = new TNodraFrmKList(this);
        list->setAttribute(Qt::WA_DeleteOnClose);
        list->show();
    });
    connect(AddAction(help, "mnuAbout", "&About"), &QAction::triggered, this, [this] {
        TNodraFrmAbout about(this);
        UserNotifier().RunDialog("NodraFrmAbout", [&] { return about.exec() == QDialog::Accepted ? 1 : 2; });
    });

    // The tab strip's popup.
    for (const char* name : {"mnuClose", "mnuNew", "mnuOpen", "mnuSave", "mnuSaveAs"})
        PageControl1->addAction(findChild<QAction*>(name));
    (void)close;
}

void TNodraFrmMain::PopulateEditMenu()
{
    const bool selected = m_CurrentEditor && m_CurrentEditor->hasSelectedText();
    mnuPaste->setEnabled(!QApplication::clipboard()->text().isEmpty());
    mnuCut->setEnabled(selected);
    mnuCopy->setEnabled(selected);
    mnuDelete->setEnabled(selected);
}

TNodraEdit* TNodraFrmMain::AddTab(const QString& caption, const QFont& font)
{
    auto* page = new QWidget;
    auto* edit = new TNodraEdit(*this, page);
    edit->SetEditorFont(font);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    connect(edit, &QsciScintilla::textChanged, this, [this] { TextChanged(); });
    connect(edit, &QsciScintilla::cursorPositionChanged, this, [this] { UpdateCaretStatus(); });
    const int index = PageControl1->addTab(page, caption);
    PageControl1->setCurrentIndex(index);
    m_CurrentEditor = edit;
    return edit;
}

QsciScintilla* TNodraFrmMain::CurrentEditor() const
{
    return m_CurrentEditor;
}

QString TNodraFrmMain::TabCaption(int index) const
{
    return PageControl1->tabText(index);
}

QString TNodraFrmMain::CurrentCaption() const
{
    return PageControl1->tabText(PageControl1->currentIndex());
}

QString TNodraFrmMain::StatusText(int panel) const
{
    return panel == 0 ? m_Panel0->text() : m_Panel1->text();
}

void TNodraFrmMain::SetCaption(const QString& caption)
{
    PageControl1->setTabText(PageControl1->currentIndex(), caption);
}

void TNodraFrmMain::SetState(const QString& text)
{
    m_Panel1->setText(text);
}

void TNodraFrmMain::TextChanged()
{
    if (m_Loading)
        return;
    const QString caption = CurrentCaption();
    if (!caption.endsWith('*'))
        SetCaption(caption + '*');
    SetState("Modified");
}

void TNodraFrmMain::TabChanged()
{
    if (TNodraEdit* edit = EditOf(PageControl1->currentWidget()))
        m_CurrentEditor = edit;
    UpdateCaretStatus();
}

void TNodraFrmMain::UpdateCaretStatus()
{
    if (!m_CurrentEditor)
        return;
    int line = 0, index = 0;
    m_CurrentEditor->getCursorPosition(&line, &index);
    m_Panel0->setText(QString("  ln %1 col %2").arg(line + 1).arg(index));
}

bool TNodraFrmMain::ActiveTabUntitledAndClean() const
{
    const std::string caption = ToStd(CurrentCaption());
    return IsUntitledCaption(caption) && !IsModifiedCaption(caption);
}

bool TNodraFrmMain::LoadInto(TNodraEdit* editor, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        UserNotifier().ShowMessage(EMessageKind::Error,
                                   "Cannot open file \"" + ToStd(fileName) + "\". " + ToStd(file.errorString()), "");
        return false;
    }
    const QByteArray bytes = file.readAll();
    m_Loading = true;
    editor->SetFileText(bytes);
    m_Loading = false;
    return true;
}

bool TNodraFrmMain::WriteTo(const QString& fileName)
{
    const QByteArray bytes = m_CurrentEditor->text().toUtf8();
    const std::string error = WriteFileAtomically(ToStd(fileName), std::string_view(bytes.constData(), bytes.size()));
    if (!error.empty()) {
        UserNotifier().ShowMessage(EMessageKind::Error, "Cannot create file \"" + ToStd(fileName) + "\". " + error, "");
        return false;
    }
    return true;
}

void TNodraFrmMain::NewClick()
{
    AddTab(QString("Untitled%1").arg(PageControl1->count() + 1), m_CurrentEditor->font());
    m_CurrentEditor->setFocus();
    SetState("");
}

void TNodraFrmMain::OpenClick(bool readOnly)
{
    TFileRequest request;
    request.Filters = {{"G-code files", {"nc", "cnc", "tap", "ngc", "iso"}}, {"All files", {"*"}}};
    const std::string name = UserNotifier().AskOpenFileName(request);
    if (name.empty())
        return;
    TNodraEdit* target = ActiveTabUntitledAndClean() ? m_CurrentEditor : AddTab("", m_CurrentEditor->font());
    if (!LoadInto(target, FromStd(name)))
        return;
    SetCaption(FromStd(name));
    target->setReadOnly(readOnly);
    SetState("");
}

bool TNodraFrmMain::SaveClick()
{
    const std::string caption = ToStd(CurrentCaption());
    if (IsUntitledCaption(caption))
        return SaveAsClick();
    if (!IsModifiedCaption(caption))
        return true; // nothing to write
    const QString path = FromStd(CaptionPath(caption));
    if (!WriteTo(path))
        return false;
    SetCaption(path);
    SetState("Wrote " + path);
    return true;
}

bool TNodraFrmMain::SaveAsClick()
{
    TFileRequest request;
    request.Filters = {{"G-code files", {"nc", "cnc", "tap", "ngc", "iso"}}, {"All files", {"*"}}};
    request.FileName = CaptionPath(ToStd(CurrentCaption()));
    const std::string name = UserNotifier().AskSaveFileName(request);
    if (name.empty())
        return false;
    const QString path = FromStd(name);
    if (!WriteTo(path))
        return false;
    SetCaption(path);
    SetState("Wrote " + path);
    return true;
}

void TNodraFrmMain::RemoveTab(int index)
{
    QWidget* page = PageControl1->widget(index);
    PageControl1->removeTab(index);
    delete page;
    m_CurrentEditor = EditOf(PageControl1->currentWidget());
    UpdateCaretStatus();
}

bool TNodraFrmMain::CloseTabClick()
{
    const std::string caption = ToStd(CurrentCaption());
    if (IsModifiedCaption(caption)) {
        const EUserAnswer answer = UserNotifier().AskYesNoCancel("Save changes to " + CaptionPath(caption) + "?", "");
        if (answer == EUserAnswer::Dismissed)
            return false;
        // A cancelled save dialog keeps the tab.
        if (answer == EUserAnswer::Yes && !SaveAsClick())
            return false;
    }
    if (PageControl1->count() > 1) {
        RemoveTab(PageControl1->currentIndex());
    } else {
        m_Loading = true;
        m_CurrentEditor->clear();
        m_Loading = false;
        SetCaption("Untitled1");
    }
    return true;
}

bool TNodraFrmMain::CloseAllTabs()
{
    while (PageControl1->count() > 0) {
        const std::string caption = ToStd(CurrentCaption());
        if (IsModifiedCaption(caption)) {
            const EUserAnswer answer =
                UserNotifier().AskYesNoCancel("Save changes to " + CaptionPath(caption) + "?", "");
            if (answer == EUserAnswer::Dismissed)
                return false;
            if (answer == EUserAnswer::Yes && !SaveAsClick())
                return false;
        }
        RemoveTab(PageControl1->currentIndex());
    }
    return true;
}

void TNodraFrmMain::ToggleReadOnlyClick()
{
    const bool on = mnuToggleRO->isChecked();
    if (on)
        m_CurrentEditor->setReadOnly(true);
    SetState(on ? "Read-only is ON" : "Read-only is OFF");
}

void TNodraFrmMain::NextTabClick()
{
    const int count = PageControl1->count();
    if (count > 0)
        PageControl1->setCurrentIndex((PageControl1->currentIndex() + 1) % count);
}

bool TNodraFrmMain::FindText(const QString& what, bool wholeWord)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray text = m_CurrentEditor->text().toUtf8();
    const QByteArray needle = what.toUtf8();
    const auto at = FindForward(std::string_view(text.constData(), text.size()),
                                std::string_view(needle.constData(), needle.size()),
                                static_cast<size_t>(SelectionEnd(*m_CurrentEditor)), {false, wholeWord});
    QApplication::restoreOverrideCursor();
    if (!at) {
        UserNotifier().ShowMessage(EMessageKind::Information, "Unable to find \"" + ToStd(what) + "\"", "");
        return false;
    }
    SelectBytes(*m_CurrentEditor, static_cast<int>(*at), static_cast<int>(*at + needle.size()));
    m_CurrentEditor->setFocus();
    return true;
}

void TNodraFrmMain::SearchClick()
{
    m_FindDialog->show();
}

void TNodraFrmMain::SearchAgainClick()
{
    if (!m_FindDialog->FindEdit()->text().isEmpty())
        m_FindDialog->FindClicked();
}

void TNodraFrmMain::ReplaceClick()
{
    if (!m_CurrentEditor->isReadOnly())
        m_ReplaceDialog->Open();
}

void TNodraFrmMain::GoLineClick()
{
    TNodraFrmGoLine dialog(this);
    dialog.Reset();
    const int result =
        UserNotifier().RunDialog("NodraFrmGoLine", [&] { return dialog.exec() == QDialog::Accepted ? 1 : 2; });
    if (result == 1 && !dialog.LineEdit()->text().isEmpty())
        GoToLine(dialog.LineEdit()->text().toInt());
}

void TNodraFrmMain::GoToLine(int line)
{
    const int last = std::max(0, m_CurrentEditor->lines() - 1);
    const int target = std::clamp(line - 1, 0, last);
    m_CurrentEditor->setCursorPosition(target, 0);
    m_CurrentEditor->ensureLineVisible(target);
    UpdateCaretStatus();
}

void TNodraFrmMain::FontClick()
{
    const QFont current = m_CurrentEditor->font();
    TFontChoice choice{ToStd(current.family()), current.pointSize(), current.bold(), current.italic()};
    const auto chosen = UserNotifier().AskFont(choice);
    if (!chosen)
        return;
    QFont font(FromStd(chosen->Name), chosen->Size);
    font.setBold(chosen->Bold);
    font.setItalic(chosen->Italic);
    m_CurrentEditor->SetEditorFont(font);
}

void TNodraFrmMain::OpenProgram(const std::string& fileName, bool firstShowing)
{
    const QString path = FromStd(fileName);
    const QFont font = firstShowing ? QFont("Courier New", 10) : m_CurrentEditor->font();
    // The tab to replace: the initial one at the first showing, else an
    // unmodified tab of this very file. A modified tab of it stays and gets
    // the new one beside it.
    int replaced = -1, beside = -1;
    for (int i = 0; i < PageControl1->count(); ++i) {
        if (PageControl1->tabText(i) == path)
            replaced = i;
        else if (PageControl1->tabText(i) == path + '*')
            beside = i;
    }
    if (firstShowing)
        replaced = PageControl1->count() == 1 ? 0 : -1;
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        UserNotifier().ShowMessage(EMessageKind::Error,
                                   "Cannot open file \"" + fileName + "\". " + ToStd(probe.errorString()), "");
        return;
    }
    probe.close();
    TNodraEdit* edit = AddTab(path, font);
    if (beside >= 0) {
        PageControl1->tabBar()->moveTab(PageControl1->currentIndex(), beside + 1);
        if (replaced > beside)
            ++replaced;
    }
    LoadInto(edit, path);
    SetCaption(path);
    if (replaced >= 0)
        RemoveTab(replaced);
    PageControl1->setCurrentWidget(edit->parentWidget());
    m_CurrentEditor = edit;
    if (firstShowing)
        SetState("");
}

void TNodraFrmMain::DropFile(const QString& fileName)
{
    if (fileName.size() >= 255)
        return;
    TNodraEdit* target = ActiveTabUntitledAndClean() ? m_CurrentEditor : AddTab("", m_CurrentEditor->font());
    if (!LoadInto(target, fileName))
        return;
    SetCaption(fileName);
    SetState("");
    raise();
    activateWindow();
}

void TNodraFrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TNodraFrmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    DropFile(urls.front().toLocalFile());
    event->acceptProposedAction();
}

void TNodraFrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_FirstShowing)
        return;
    m_FirstShowing = false;
    if (g_BoundsKnown)
        setGeometry(g_EditorBounds);
    if (m_SimBar->isVisible()) {
        sbtIsoLimits->setEnabled(false);
        if (TEditorSimulation* simulation = EditorSimulation())
            simulation->PrepareText();
    }
    if (!CurrentNcFile().empty())
        OpenProgram(CurrentNcFile(), true);
}

void TNodraFrmMain::closeEvent(QCloseEvent* event)
{
    TEditorSimulation* simulation = EditorSimulation();
    if (sbtIsoLimits->isChecked() && simulation)
        simulation->ShowLimitsBox(false);
    if (simulation) {
        if (m_Playing) {
            StopClick();
            simulation->ClearSimulating();
            simulation->Wait(1000);
        }
        simulation->EndTextSimulation();
    }
    if (!CloseAllTabs()) {
        event->ignore();
        return;
    }
    if (simulation)
        simulation->ShowLimitsBox(false);
    g_EditorBounds = geometry();
    g_BoundsKnown = true;
    setAcceptDrops(false);
    event->accept();
}

std::string& CurrentNcFile()
{
    static std::string file;
    return file;
}

TNodraFrmMain* NodraEditor()
{
    return g_Editor.data();
}

void ShowNodraEditor()
{
    if (g_Editor) {
        g_Editor->show();
        g_Editor->raise();
        if (!CurrentNcFile().empty())
            g_Editor->OpenProgram(CurrentNcFile(), false);
        return;
    }
    g_Editor = new TNodraFrmMain;
    g_Editor->show();
}

bool CloseNodraEditor()
{
    if (!g_Editor)
        return true;
    return g_Editor->close();
}
