#pragma once
// Writing the layer defaults file "Layers.ini" of the configuration folder:
// sections "LayersCol" (pen colour, the Windows colour value as a decimal
// int32), "LayersPen" (pen width) and "LayersName" (name), each keyed by the
// layer number "0".."255". Start-up reads the file back into the layers of a
// new drawing.

#include <string>

class TQV_20Layers;

// "<configFolder>/Layers.ini"; empty for an empty folder.
std::string LayerDefaultsFile(const std::string& configFolder);

// Writes colour, width and name (in that order) of every modified layer
// into the file, updating the entries in place: the entries of other layers
// and everything else in the file stay as they are. Without a modified
// layer the file is not touched. Line breaks and NULs in a name are written
// as blanks, so that a name can never add lines of its own to the file. The
// file is replaced as a whole (a temporary file renamed over it), so a
// failed write leaves the old file.
//
// Returns an empty string, or the reason why nothing was written (an empty
// file name, a file that could not be written).
std::string SaveLayerDefaults(const TQV_20Layers& layers, const std::string& fileName);
