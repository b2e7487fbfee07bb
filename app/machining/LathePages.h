#pragma once
// The lathe finishing and roughing pages of the tool window ("tabLatheFin",
// "tabLatheRou") and their buttons: the home position typed in the
// coordinate dialog, the entry and exit vectors in their dialogs, the
// switches that store at once whether each is used, and the explanatory
// pictures of the fields. Lathe operations are made in code only and their
// Calculate does nothing: the pages store what their handlers store
// directly.
//
// Every handler acts on the machining context's current operation
// (app/machining/MachiningContext.h) and does nothing without one. Main
// thread only.

#include <memory>
#include <string_view>

class QWidget;
class TfrmCoord;
class TfrmToolWin;
class TParametriOperazione;
class TWidgetToolPage;

class TLathePages {
public:
    // Builds the two pages on the window (AddPage). page: the whole
    // window's page, so the handlers reach every lathe control.
    TLathePages(TfrmToolWin& window, TWidgetToolPage& page);
    ~TLathePages();
    TLathePages(const TLathePages&) = delete;
    TLathePages& operator=(const TLathePages&) = delete;

    // The coordinate dialog of the home position (the main window's); the
    // pages make their own while none is set.
    TfrmCoord* CoordDialog = nullptr;

    // Before the pages of a lathe kind show: the three buttons captioned
    // and enabled as the operation's switches say.
    void KindShowing(int kind);
    // After FillPages filled a control: a switch captions its button.
    void AfterRow(std::string_view control);

    // finishing: the finishing page's controls, else the roughing page's.
    void sbtLatHomePosClick(bool finishing);
    void sbtLatheEntryClick(bool finishing);
    void sbtLatheExitClick(bool finishing);
    void chkLatEntryClick(bool finishing);
    void chkLatExitClick(bool finishing);
    void chkLatHPClick(bool finishing);
    void chkFinFaceClick();
    void tabLatheClick();

    // Captions of the buttons from the current operation.
    void setButtonLatHomePos(const char* button);
    void setButtonLatEntry(const char* button);
    void setButtonLatExit(const char* button);

private:
    QWidget* BuildPage(bool finishing);
    // A switch's click: the operation's flag, its button, the picture.
    void SwitchClick(const char* check, const char* button, bool TParametriOperazione::*flag, const char* image,
                     int picture);
    TfrmCoord& Coord();

    TfrmToolWin& m_Window;
    TWidgetToolPage& m_Page;
    TfrmCoord* m_OwnCoord = nullptr; // a child of the window
};
