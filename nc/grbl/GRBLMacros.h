#pragma once
// The six machine macros of the settings file: section "GRBLMacros", keys
// "Macro0" to "Macro5". The machine window reads them itself and writes them
// back into the file it read (read, change, write), so every other section
// and key of the shared settings file stays as it was; the settings' own
// save keeps this section in turn.

#include <array>
#include <string>

inline constexpr int GrblMacroCount = 6;
inline constexpr const char* GrblMacroSection = "GRBLMacros";

using TGrblMacros = std::array<std::string, GrblMacroCount>;

// The macros of settingsFile; empty texts for missing keys or file.
TGrblMacros ReadGrblMacros(const std::string& settingsFile);
// Writes the six macros into settingsFile (through a temporary file and a
// rename). Returns an empty text or why the file was not written.
std::string WriteGrblMacros(const std::string& settingsFile, const TGrblMacros& macros);
