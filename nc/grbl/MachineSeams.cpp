#include "nc/grbl/LastProgram.h"
#include "nc/grbl/MachineMarker.h"

#include <utility>

namespace {
TMachineMarker* g_Marker = nullptr;
TLastProgramHook g_LastProgram;
} // namespace

TMachineMarker* MachineMarker() { return g_Marker; }

TMachineMarker* SetMachineMarker(TMachineMarker* marker) { return std::exchange(g_Marker, marker); }

TLastProgramHook SetLastProgramHook(TLastProgramHook hook) { return std::exchange(g_LastProgram, std::move(hook)); }

std::string LastProgramFileName() { return g_LastProgram ? g_LastProgram() : std::string(); }
