#pragma once
// The layer defaults of the configuration folder, "Layers.ini": sections
// "LayersCol" (pen colour, a Windows colour value as an integer),
// "LayersPen" (pen width) and "LayersName" (name), each with the keys "0" to
// "255", the layer number. The layer dialog writes the file
// (cad/LayerDefaultsFile.h); start-up and clear-all apply it.

#include <cstdint>
#include <string>

class TQV_01Cmp;

// Applies "<configFolder>/Layers.ini" to the 256 layers of the document: a
// missing file or key gives the default (colour defaultColor, width 1, name
// "Layer_<n>"); a width below 1 counts as 1; a name keeps its first 31
// characters. Every layer is left not modified, so that defaults are not
// saved into documents as the user's changes.
void CaricaImpLayers(TQV_01Cmp& document, const std::string& configFolder, uint32_t defaultColor);

// The layers of a new drawing: every layer back to a new layer's state
// (active, visible, its objects saved, solid pens, no pattern; its tree node
// kept), then CaricaImpLayers, and layer 0 the current layer. New and the
// opens that replace the drawing start from here, so nothing of the previous
// drawing's layers stays.
void ResetLayers(TQV_01Cmp& document, const std::string& configFolder, uint32_t defaultColor);
