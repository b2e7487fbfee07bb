#pragma once
// BreakIDs: the program-wide list of object IDs that the edit commands and
// the DXF import hand to the undo journal as the value list of a step that
// concerns several objects. Each user rebuilds it from empty before filling
// it; nobody may rely on what an earlier user left in it. Main thread only.

#include <cstdint>
#include <vector>

std::vector<int32_t>& BreakIDs();
