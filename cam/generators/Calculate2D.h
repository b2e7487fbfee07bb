#pragma once
// The calculation of a 2D operation (contour, letters, pocket, drilling) as
// the tool window's Calculate runs it once the pages are read: the old
// toolpath goes, the generator of the kind is made, bound to the work
// monitor (the pockets with a percentage caption) and run. A run of any
// kind that ends without a toolpath and without having told the user why
// shows "465"; a run that already showed its message (an open chain, the
// break warning) shows no second box. The user's break request belongs to the monitor and
// is cleared by the caller. Exceptions of the generators propagate.

#include "cam/progress/UserBreak_ProgBar.h"

#include <optional>
#include <string>

class TOpManagerField;
class TWorkMonitor;

// Why an operation cannot be calculated as its parameters stand: the text
// shown to the user, or nothing. A milling tool needs a diameter above 0;
// a contour, letters or pocket a depth not above the top of part; a
// contour with holding tabs switched on at least one placed tab (else the
// part would be cut free without a word).
std::optional<std::string> CalculationRefusal(const TOpManagerField& operation);

// False when the kind has no 2D generator, when CalculationRefusal refuses
// the operation (its text shown, no toolpath made) or the generator
// returned false.
// A clock given replaces the generator's steady clock (tests).
bool CalculateOperation2D(TOpManagerField& operation, TWorkMonitor* monitor,
                          const TUserBreak_ProgBar::TClock& clock = {});
