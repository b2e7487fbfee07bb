#pragma once
// What the tool-library pages (mill, lathe, laser) do alike on the current
// library (the machining context's): picking the selected record, adding
// from the page, deleting, the drag reorder, the delete menu of the list,
// and opening and saving the library file. Without a current library every
// action does nothing. Main thread only.

#include "cam/tools/CurrentToolLibrary.h"

#include <string>

class QAction;
class QPushButton;
class QWidget;
class TAppConfig;
class TLibreriaUtBase;
class TfrmToolWin;
class TToolListWidget;
struct TFileRequest;

namespace toolwin {

// A library file dialog: the filter's title ("Tool files"), the extension
// without its point ("tlb") and the setting holding the library's file.
struct TLibraryFiles {
    const char* FilterTitle;
    const char* Extension;
    std::string TAppConfig::*Setting;
};

// The dialog's request: the filter, the setting's file name in its folder
// (else the tools folder), the default extension.
TFileRequest LibraryFileRequest(const TLibraryFiles& files);

// The machining context's current library, or null.
TLibreriaUtBase* PageLibrary();
// The list's selected row when it names a record of the library, else -1.
int SelectedRecord(const TToolListWidget& list);

void AddRecordFromPage();
void DeleteSelectedRecord(const TToolListWidget& list);
// Moves the record and its item (an index outside the library: nothing).
void MoveRecord(TToolListWidget& list, int from, int to);
// Loads the chosen file, handing the current operation's tool along; the
// library stores the setting on success only.
void OpenLibraryFile(const TLibraryFiles& files);
// Saves under the chosen name; a name without extension takes the
// library's (as the dialog's default extension does).
void SaveLibraryFile(const TLibraryFiles& files);

// The list group of a tool-library page: the list, the save and open
// buttons and the library name label, in this order, named by the page.
struct TLibraryListNames {
    const char* Group;
    const char* List;
    const char* Save;
    const char* Open;
    const char* NameLabel;
};
struct TLibraryListGroup {
    QWidget* Group;
    TToolListWidget* List;
    QPushButton* Save;
    QPushButton* Open;
};
TLibraryListGroup MakeLibraryListGroup(QWidget* sheet, const TLibraryListNames& names);

// The page's views of the libraries, as the libraries find them: the list
// and page installed in the given slots (MillList/MillPage, ...), and
// released while the list still stands (a current library bound to the
// list then works on without a window). Release empties list.
using TListSlot = TToolListView* TToolLibraryViews::*;
using TPageSlot = TToolPage* TToolLibraryViews::*;
void InstallLibraryViews(TListSlot listSlot, TPageSlot pageSlot, TToolListWidget* list, TToolPage* page);
void ReleaseLibraryViews(TListSlot listSlot, TPageSlot pageSlot, TToolListWidget*& list);

// Registers a tool-library page: its tab shows status "424" and widens the
// window to 494.
void AddToolLibraryPage(TfrmToolWin& window, const char* tab, QWidget* sheet);

// The list's pop-up menu "mnuTools" with its item "mnuToolDelete" (which
// deletes the selected record); returns the item.
QAction* AddDeleteMenu(TToolListWidget& list);

} // namespace toolwin
