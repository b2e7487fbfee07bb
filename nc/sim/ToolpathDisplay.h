#pragma once
// The toolpath display of the whole operation list: the show/hide button
// under the operations tree toggles it, and the view empties it when it
// rebuilds the scene. The operation manager calls these with its list.

#include <cstdint>
#include <span>

class TSimOperation;
class TSimulatore2D;
class TSimView;

// Every operation's Shown := showToggle, and := true when it is switched
// off; then each gets the simulator's whole-path display without force
// (so a shown one is removed, any other drawn). Then showToggle flips: the
// first call removes every path, the next draws every operation that is
// not switched off, and so on.
void ToggleToolpaths(std::span<TSimOperation* const> operations, bool& showToggle, TSimulatore2D& simulator);

// Empties every operation's display group and clears Shown.
void HideToolpaths(std::span<TSimOperation* const> operations, TSimView& view);
