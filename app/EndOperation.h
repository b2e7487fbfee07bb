#pragma once
// TEndOperation: what the main window does when the interaction program
// reports the end of a command (its OnEndOperation), and the ortho switch
// that the rectangle command keeps meanwhile.
//
// At the end of a command, in order:
// 1. an ortho value saved by SaveOrtho goes back into the program's
//    UseOrto, and nothing is saved any more;
// 2. after a transform starter (translate, rotate, scale, mirror) or the
//    offset command, HideToolWin;
// 3. RefreshPanel (the properties panel back to its idle page), unless the
//    single selection was pending: then the panel keeps the entity it shows
//    and the pending flag is cleared;
// 4. object snap (UsaSnap) off.
// The end of a nested operation (zoom window, pan: the program is still
// Suspended) belongs to the command it interrupted, which goes on: it
// changes none of these.
// Main thread only.

#include "cad/program/QV_00CADPrgParam.h"

#include <functional>
#include <optional>

class TQV_00CADProg;

class TEndOperation {
public:
    // Keeps prg's UseOrto for the end of the command and switches it off.
    // A value kept already (a command stopped before its end) stays: the
    // program's switch is then the command's own "off", not the user's.
    void SaveOrtho(TQV_00CADProg& prg);
    bool OrthoSaved() const { return m_SavedOrtho.has_value(); }

    void QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation);

    // Set by the single-entity selection (Analyse, Select).
    bool SingleSelectPending = false;

    std::function<void()> HideToolWin;
    std::function<void()> RefreshPanel;

private:
    std::optional<bool> m_SavedOrtho;
};

// True for the commands whose end hides the tool window: the transform
// starters and the offset command.
bool EndHidesToolWin(TCADStateClass operation);
