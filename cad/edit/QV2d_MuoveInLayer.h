#pragma once
// Move to layer and copy to layer: the selected objects, or copies of them,
// go to the layer chosen in the tool window's change-layer page (cboLayerTo,
// whose item index is the layer number). Each command is one state that
// works in its constructor on the selection it is handed (pick or window
// selection), writes its result line into lblMCLayer and ends the command.
//
// - TQV2d_MuoveInLayer: each object, in selection order, goes to the layer
//   and its entity-tree node under that layer's node; undo kind 18 records
//   the pairs (ID, former layer) (left in BreakIDs()). Result line: text
//   "487" with the number of objects moved.
// - TQV2d_CopiaInLayer: each object gets a copy on the layer
//   (DuplicateObjectTransformed: its transform in the copy's points); undo
//   kind 21 records the copies' IDs (left in BreakIDs()). Objects of a kind
//   that cannot be copied get none and are not counted. Result line: text
//   "488" with the number of copies made.
// Nothing selected, nothing moved or copied, a parameter that is not a
// selection, or no layer chosen (an item index outside 0..255): no change,
// no undo step, and the result line says 0.

#include "cad/program/QV_00State.h"

#include <string_view>

class TQV2d_MuoveInLayer : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2d_MuoveInLayer";
    TQV2d_MuoveInLayer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV2d_CopiaInLayer : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2d_CopiaInLayer";
    TQV2d_CopiaInLayer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// What the change-layer page's selection buttons start: the window
// selection (sbtCLWSel, aperture 0) or the pick selection (sbtCLSel,
// aperture 5), without a selection callback, whose after-state is
// TQV2d_MuoveInLayer when move is set (rbtCLMove checked), else
// TQV2d_CopiaInLayer. Returns what StartOperation returns.
bool StartChangeLayerCommand(TQV_00CADProg& prg, bool window, bool move);
