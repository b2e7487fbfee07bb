#pragma once
// The built-in G-code editor "Nodrapad": programs and other text files in
// tabs over one stay-on-top window, with find, replace, print, and a
// simulation bar that replays the current tab's text (nc/editor/
// TextSimulation.h). Menus and messages are built-in English; only the
// simulation bar is translated. Every command works on the current tab's
// editor; a tab's caption is the only record of its file and state (see
// nc/editor/NodraText.h).

#include "nc/editor/NodraText.h"

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QSlider;
class QTabWidget;
class QToolBar;
class QTableWidget;
class QsciScintilla;
class TNodraEdit;
class TNodraFindDialog;
class TNodraReplaceDialog;
class TNodraTextSource;

class TNodraFrmMain : public QMainWindow {
public:
    explicit TNodraFrmMain(QWidget* parent = nullptr);
    ~TNodraFrmMain() override;

    // The editor of the active tab.
    QsciScintilla* CurrentEditor() const;
    QTabWidget* Tabs() const { return PageControl1; }
    QString TabCaption(int index) const;
    QString CurrentCaption() const;
    // Status panel 0 (caret) or 1 (state).
    QString StatusText(int panel) const;

    // File menu.
    void NewClick();
    void OpenClick(bool readOnly = false);
    bool SaveClick();
    bool SaveAsClick();
    // Closes the active tab, asking first when it is modified; false when
    // the operator kept it.
    bool CloseTabClick();
    void ToggleReadOnlyClick();
    void PrintClick();
    void PrinterSetupClick();
    // Prints the current tab on printer with the print options.
    void PrintCurrent(QPrinter& printer);
    void SetPageNumberPlace(EPrintPlace place) { m_PageNumberPlace = place; }
    void SetFileNamePlace(EPrintPlace place) { m_FileNamePlace = place; }
    QPrinter& Printer() { return m_Printer; }

    // Edit menu.
    void NextTabClick();
    void SearchClick();
    void SearchAgainClick();
    void ReplaceClick();
    void GoLineClick();
    // Moves the caret to the start of a 1-based line and shows it.
    void GoToLine(int line);
    // The find dialog's Find: from the selection's end, without regard to
    // case; selects the match or tells that there is none.
    bool FindText(const QString& what, bool wholeWord);
    TNodraFindDialog* FindDialog() const { return m_FindDialog; }
    TNodraReplaceDialog* ReplaceDialog() const { return m_ReplaceDialog; }
    void FontClick();

    // Loads a program the main window asks for (ShowNodraEditor): an
    // unmodified tab of that file is replaced; the first showing replaces
    // the initial tab.
    void OpenProgram(const std::string& fileName, bool firstShowing);
    // A file dropped from the shell.
    void DropFile(const QString& fileName);

    // Simulation bar.
    void PlayClick();
    void StopClick();
    void ToStartClick();
    void StepClick();
    void IsoLimitsClick(bool checked);
    void SetPostName(const std::string& postName);
    QToolBar* SimulationBar() const { return m_SimBar; }
    bool Playing() const { return m_Playing; }

    // Refreshes status panel 0 from the caret.
    void UpdateCaretStatus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class TNodraTextSource;
    void CreateMenus();
    void CreateSimulationBar();
    QAction* AddAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& key = {});
    TNodraEdit* AddTab(const QString& caption, const QFont& font);
    // Loads a file into an editor; false (and the error shown) when it
    // cannot be read.
    bool LoadInto(TNodraEdit* editor, const QString& fileName);
    bool WriteTo(const QString& fileName);
    void TextChanged();
    void TabChanged();
    void SetCaption(const QString& caption);
    void SetState(const QString& text);
    bool ActiveTabUntitledAndClean() const;
    // Closes every tab from the active one; false when one was kept.
    bool CloseAllTabs();
    void RemoveTab(int index);
    void ShowLimitsPanel(bool show);
    void PopulateEditMenu();

    QTabWidget* PageControl1 = nullptr;
    TNodraEdit* m_CurrentEditor = nullptr;
    QLabel* m_Panel0 = nullptr;
    QLabel* m_Panel1 = nullptr;
    QAction* mnuToggleRO = nullptr;
    QAction* mnuSimIso = nullptr;
    QAction *mnuCut = nullptr, *mnuCopy = nullptr, *mnuPaste = nullptr, *mnuDelete = nullptr;
    QToolBar* m_SimBar = nullptr;
    QAction *sbtPlay = nullptr, *sbtToStart = nullptr, *sbtStep = nullptr, *sbtIsoLimits = nullptr;
    QLineEdit* txtCurrentZ = nullptr;
    QLabel* lblSimFor = nullptr;
    QSlider* TrackBar1 = nullptr;
    QWidget* m_LimitsPanel = nullptr;
    TNodraFindDialog* m_FindDialog = nullptr;
    TNodraReplaceDialog* m_ReplaceDialog = nullptr;
    std::unique_ptr<TNodraTextSource> m_TextSource;
    QPrinter m_Printer;
    EPrintPlace m_PageNumberPlace = EPrintPlace::Header;
    EPrintPlace m_FileNamePlace = EPrintPlace::None;
    bool m_DialectWarning = true;
    bool m_Playing = false;
    bool m_FirstShowing = true;
    bool m_Loading = false;
};

// The program the main window last asked the editor to show.
std::string& CurrentNcFile();
// Shows the editor with CurrentNcFile(): creates the window on first use,
// else opens the file as a fresh tab of the open one.
void ShowNodraEditor();
// The editor window while it exists, else null.
TNodraFrmMain* NodraEditor();
// Closes the editor window at program end (its questions may keep it).
bool CloseNodraEditor();
