#pragma once
// The delete command: the after-state of a pick or window selection that
// removes the selected objects from the drawing.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"

#include <string_view>

class TQV_00Prog;

// When its parameter is a TQV_50SelectObjectsParam: inside one update
// bracket of the entity tree, each selected object in selection order
// except bitmaps gets its own undo step (kind 0, its ID alone) and is then
// deleted; the view is refreshed around them at the command's end. In
// every case the overlay is cleared, the parameter freed and the command
// ends.
class TMyCancella : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyCancella";
    TMyCancella(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The main window's delete commands: object snap off, the properties grid
// editable, then the pick selection (aperture 5, onSelected as its
// callback) or the window selection (objects entirely inside), with
// TMyCancella as after-state.
void StartPickDeleteCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartWindowDeleteCommand(TQV_00Prog& prg);
