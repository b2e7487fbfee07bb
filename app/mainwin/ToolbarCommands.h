#pragma once
// TToolbarCommands: the Create and Edit toolbars of the main window, their
// split buttons, and every drawing, edit, transform and analysis command
// they start (the rows of app/mainwin/CommandTable.h).
//
// Promises:
// - Each row is one action named after its menu item or button, with its
//   image and its hint (the language text of its hint key). A split button
//   (sbtPoint, sbtLine, sbtArc, sbtText; sbtDelete, sbtModify, sbtXform,
//   sbtAnalyze) carries the menu of its items and repeats the item chosen
//   last: choosing an item makes it the button's default action (caption,
//   hint and image with it), then starts it. The plain buttons and the Undo
//   button start at once.
// - Start runs a row as CommandTable.h says; rows of kind Page call the
//   handler of PageCommands under the row's name (none: only the panel,
//   snap and recent entry), except the end points, which are shown here.
// - The selection callback (OnSelectedObj) makes the selected object's node
//   the current node of the geometry tree (SelectTreeNode).
// - A point grid or bolt circle of more than MaxPatternPoints points shows
//   the warning "TooManyPoints" once and starts nothing.
// - SGInfoEditCellChange, after the panel stored an edited value: the
//   command of the page shown starts again with the new values; on the
//   fillet page only FilletRadius follows the panel.
// Main thread only; handlers of the widgets run inside the event guard.

#include "app/mainwin/CommandTable.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/Points.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class TEndOperation;
class TObject2D;
class TPunto2D;
class TQV_00Prog;
class TQV_01Cmp2D;
class TQVScene;
class TRecentCommands;

class TToolbarCommands final : public QObject {
public:
    // Fills both toolbars; drawMenu (may be null) gets the Create actions too.
    TToolbarCommands(TQV_00Prog& prg, TRecentCommands& recent, TEndOperation& end, QToolBar& tbrCreate,
                     QToolBar& tbrEdit, QMenu* drawMenu);
    ~TToolbarCommands() override;

    // Whether mnuWinSelect is checked; empty: pick selections.
    std::function<bool()> WindowSelection;
    // Makes the object's node the geometry tree's current one; may be empty.
    std::function<void(TObject2D& object)> SelectTreeNode;
    // The start of the rows of kind Page, by row name.
    std::map<std::string, std::function<void()>, std::less<>> PageCommands;
    // Where the end points are shown (both may be null: nothing shown).
    void SetView(TQVScene* scene, TQV_01Cmp2D* document);

    // The start handler of a row; true when a state started (a page
    // command: true).
    bool Start(const TCommandRow& row);
    bool Start(std::string_view name);
    // The menu item's handler: the item becomes its button's default, then
    // starts.
    void Choose(const TCommandRow& row);

    QAction* Action(std::string_view name) const;
    QToolButton* SplitButton(std::string_view name) const;
    QAction& sbtUndo() const { return *m_sbtUndo; }

    void SGInfoEditCellChange();
    void sbtUndoClick();
    // OnSelectedObj (and OnSelectedObjXtree, which does the same).
    TQV_50SelectObjectsParam::TOnSelected SelectionCallback();
    // The end points of every chainable visible entity, shown as point
    // markers on the view's overlay; not added to the drawing, gone at the
    // next redraw.
    void MyShowEndPtClick();

private:
    void BuildActions(QToolBar& tbrCreate, QToolBar& tbrEdit, QMenu* drawMenu);
    void ApplyPanel(const TCommandRow& row);
    void Record(const TCommandRow& row);
    bool StartState(const TCommandRow& row);
    bool StartPattern(const TCommandRow& row);
    bool StartSelection(const TCommandRow& row, bool window);
    void RunPage(const TCommandRow& row);
    void DropMarkers();

    TQV_00Prog& m_Prg;
    TRecentCommands& m_Recent;
    TEndOperation& m_End;
    TQVScene* m_Scene = nullptr;
    TQV_01Cmp2D* m_Document = nullptr;
    QAction* m_sbtUndo = nullptr;
    std::map<std::string, QAction*, std::less<>> m_Actions;
    std::map<std::string, QToolButton*, std::less<>> m_Buttons;
    std::vector<std::unique_ptr<TPunto2D>> m_Markers;
};

// The start and end points of every visible, chainable entity on a visible
// layer, in drawing order: start, end, start, end, ...
std::vector<TPoint2D> ChainEndPoints(TQV_01Cmp2D& document);
