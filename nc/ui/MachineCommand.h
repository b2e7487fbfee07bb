#pragma once
// The machine command of the Machining menu: makes the machine link and
// shows the machine-control window. With the window already shown it only
// brings the window to the front: a second link would take the port and the
// controls from under the first.

class TfrmGRBL;

void mnuCncGrblClick(TfrmGRBL& window);
