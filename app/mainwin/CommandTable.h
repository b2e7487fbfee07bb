#pragma once
// The table of the Create and Edit toolbars' commands: one row per menu item
// or plain button, written once. The toolbar commands (ToolbarCommands.h)
// build their actions, split buttons and recent-commands entries from it and
// start every command through it.
//
// A start does, in this order: the texts cancel the running command; the
// rectangle keeps and switches off ortho; the point patterns and points
// along a chain stop the running command; the panel as Panel says; object
// snap as Snap says; the command recorded on the recent-commands toolbar
// (id, image, hint); then the start proper by Start.

#include "app/mainwin/ImageLists.h"
#include "cad/program/QV_00CADPrgParam.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class TObject2D;
class TInfoEditModel;

// What a start does to the properties panel.
enum class TCommandPanel : uint8_t {
    Page,           // shows the command's page
    PageThenHidden, // shows the page, then hides the panel
    Editable,       // the grid made editable
    EditableHidden, // the grid made editable, the panel hidden
    EditableShown,  // the grid made editable, the panel shown
    Unchanged,
};

enum class TCommandSnap : uint8_t { On, Off, Unchanged };

// How the command starts.
enum class TCommandStart : uint8_t {
    Sized,        // State with a sized drawing parameter and the prototype
    Unsized,      // State with an unsized drawing parameter and the prototype
    Arc,          // State with an arc parameter (flag: not FullCircle)
    EllipseOpen,  // the open-ellipse state
    Position,     // the position state with the prototype (read from the panel)
    PointGrid,    // the position state with the point-grid container
    BoltCircle,   // the position state with the bolt-circle container
    Pick,         // State, a pick selection, with After
    Window,       // a window selection, with After
    WindowOrPick, // a window selection while window selection is checked, else a pick selection of any number
    Distance,     // the two-point measurement
    Page,         // the command's own page handler (ToolbarCommands.h)
};

// Flags of a row.
namespace CommandFlag {
inline constexpr uint16_t KeepOrtho = 1;      // ortho off for the command, back at its end
inline constexpr uint16_t StopFirst = 2;      // the running command is stopped before anything
inline constexpr uint16_t FullCircle = 4;     // the arc parameter draws a full circle
inline constexpr uint16_t FilletRadius = 8;   // FilletRadius := panel value 0 at the start
inline constexpr uint16_t NoCallback = 16;    // the pick selection has no selection callback
inline constexpr uint16_t SingleSelect = 32;  // the single selection is pending
inline constexpr uint16_t VertexCounts = 64;  // the panel's vertex counts shown as 0 and 0
inline constexpr uint16_t RestartOnEdit = 128; // an edited cell of its page starts it again
inline constexpr uint16_t CancelFirst = 256;  // the running command gets a cancel before anything
} // namespace CommandFlag

// The prototype of a drawing command, read from the panel where the page
// has values.
using TPrototypeMaker = std::unique_ptr<TObject2D> (*)(const TInfoEditModel* panel);

struct TCommandRow {
    std::string_view Name;   // the menu item or plain button
    std::string_view Button; // the split button; empty for a plain button
    int Image;               // in the Create list, or the Modify list from recent id 1000
    std::string_view HintKey; // section "frmMain"
    int32_t RecentId;
    TCommandPanel Panel;
    uint8_t Page;
    TCommandSnap Snap;
    TCommandStart Start;
    TCADStateClass (*State)(); // the state started; null where Start names it
    TCADStateClass (*After)(); // the selection's after-state
    TPrototypeMaker Prototype;
    uint16_t Flags;

    bool Has(uint16_t flag) const { return (Flags & flag) != 0; }
    TImageList List() const;
};

// The rows: the Create toolbar's, then the Edit toolbar's.
std::span<const TCommandRow> CommandTable();
// The row of a menu item or button; null for another name.
const TCommandRow* FindCommand(std::string_view name);
// The row whose page an edited cell restarts (or, on the fillet page, whose
// radius it sets); null for a page without one.
const TCommandRow* CommandOfEditedPage(uint8_t page);
