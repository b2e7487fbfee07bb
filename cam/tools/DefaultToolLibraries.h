#pragma once
// The tool libraries the program ships, one per machine family and unit:
// "Tools_mm.tlb", "Tools_inch.tlb", "Lathe_mm.rlb", "Lathe_inch.rlb",
// "Laser_mm.llb", "Laser_inch.llb". A new configuration folder gets them
// in its "tools" folder (platform/ConfigFolder.h copies the program's
// data/tools). They are written by tools/toollibgen from the tables here.

#include "cam/tools/LibreriaUtBase.h"

#include <memory>
#include <string>
#include <vector>

struct TDefaultToolLibrary {
    std::string FileName;
    std::unique_ptr<TLibreriaUtBase> Library;
};

// The six default libraries with their records, headless.
std::vector<TDefaultToolLibrary> DefaultToolLibraries();

// Writes the six files into folder (which must exist); raises
// EStreamWriteError when one cannot be written.
void WriteDefaultToolLibraries(const std::string& folder);
