#pragma once
// What the tool-library pages of the tool window share (the mill tool
// page, the laser settings page): the library list with its delete pop-up,
// the open and save dialogs of a library file, and the handlers that act
// on the machining context's current library (adding from the page,
// deleting, changing the selected record, moving a dragged record). Each
// does nothing without a current library. Main thread only.

#include "cam/tools/CurrentToolLibrary.h"
#include "core/model/UserNotifier.h"

#include <functional>
#include <string>

class QGridLayout;
class QGroupBox;
class QObject;
class QPushButton;
class QWidget;
class TDatiUtBase;
class TLibreriaUtBase;
class TToolListWidget;
class TToolPage;

namespace toolwin {

// The machining context's current library; null without one.
TLibreriaUtBase* EditedToolLibrary();

// The open and save dialogs of a library: one filter of title and suffix,
// starting at the file named by setting (its folder, else the tools folder).
TFileRequest LibraryFileRequest(const std::string& setting, const char* filterTitle, const char* suffix);
// Asks for a file and loads it into the current library, with the current
// operation's tool record and the flag set (the library stores the setting
// on success only).
void OpenLibraryFile(const TFileRequest& request);
// Asks for a name (the dialog asks before replacing) and saves the current
// library under it.
void SaveLibraryFile(const TFileRequest& request);

// Which of the library views a page fills.
struct TLibraryViewSlot {
    TToolListView* TToolLibraryViews::*List;
    TToolPage* TToolLibraryViews::*Page;
};
inline constexpr TLibraryViewSlot MillViews{&TToolLibraryViews::MillList, &TToolLibraryViews::MillPage};
inline constexpr TLibraryViewSlot LaserViews{&TToolLibraryViews::LaserList, &TToolLibraryViews::LaserPage};

// A library list named name in parent, with the pop-up "mnuTools" holding
// "mnuToolDelete" (DeleteSelectedRecord); a drop moves the
// record and the item (MoveLibraryRecord).
TToolListWidget* MakeLibraryList(QWidget* parent, const char* name);
// The list group of a library page: the list, its save and open buttons
// and the label of the library's file name, in a group box at the right of
// sheet's row layout.
struct TLibraryListGroup {
    TToolListWidget* List = nullptr;
    QPushButton* Save = nullptr;
    QPushButton* Open = nullptr;
};
TLibraryListGroup MakeLibraryListGroup(QWidget& sheet, const char* group, const char* list, const char* save,
                                       const char* open, const char* nameLabel);

// The fields of a record in a group box: a label and its field per row.
class TRecordRows {
public:
    explicit TRecordRows(QGroupBox* group);
    // label: component name and design text.
    void Add(const char* label, const char* text, QWidget* field);
    // A control over both columns (a check box).
    void Span(QWidget* control);
    // Two controls side by side (the add and change buttons).
    void Pair(QWidget* left, QWidget* right);
    QGridLayout& Grid() const { return *m_Grid; }

private:
    QGroupBox* m_Group;
    QGridLayout* m_Grid;
    int m_Row = 0;
};

// Installs list and page as the views of the slot.
void InstallLibraryViews(TToolListWidget& list, TToolPage& page, TLibraryViewSlot slot);
// The list is going: the current library and the views let go of it.
void DetachLibraryViews(TToolListWidget& list, TLibraryViewSlot slot);

void AddRecordFromPage();
// The record selected in the current library's list goes (the pop-up of
// every list deletes there).
void DeleteSelectedRecord();
// The selected record reads the page; on success its item takes the
// library's caption and the record is returned, else null (the record has
// shown its message, the item is unchanged).
TDatiUtBase* ModifySelectedRecord(TToolListWidget& list, const TToolPage& page);
void MoveLibraryRecord(TToolListWidget& list, int from, int to);

} // namespace toolwin
