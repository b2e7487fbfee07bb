#pragma once
// What the layer dialog keeps of the 256 layers while it is open, so that a
// cancelled dialog takes back every change made through it at once (names,
// visibility, pen colours and widths, the current layer), and the renaming
// of a layer together with its node in the entity tree.
//
// The dialog's edits are live and record no undo step; the snapshot is the
// only way back.

#include "core/model/Layers.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TQV_01Cmp;

// One saved layer.
struct TLayerRec {
    std::string Name;
    uint8_t Visible = 1;
    uint32_t PenColor = 0; // 0x00BBGGRR
    int32_t PenWidth = 1;
    // Kept so that a restore does not leave layers marked as the user's
    // changes: a modified layer goes into documents and into the layer
    // defaults file.
    bool Modified = false;
};

class TLayerSnapshot {
public:
    // Takes every layer and the current layer of the document.
    void Take(const TQV_01Cmp& document);
    // Gives every layer back its saved state (name, tree node text,
    // visibility, pen colour and width, modified flag) and the document its
    // saved current layer, then repaints the document's views.
    void Restore(TQV_01Cmp& document) const;

    const TLayerRec& Layer(int number) const { return m_Layers.at(static_cast<size_t>(number)); }
    int SavedCurrentLayer() const { return m_SavedCurrentLayer; }

private:
    std::array<TLayerRec, TQV_20Layers::LayerCount> m_Layers;
    int m_SavedCurrentLayer = 0;
};

// The layer's node in the entity tree, when it has one, shows the layer
// text ("twGeo10") followed by name. Nothing without a tree.
void CambiaNomeInTree(TQV_01Cmp& document, int layer, const std::string& name);

// Renames the layer (SetName keeps the first 31 characters) and shows the
// name as stored in its tree node. Returns the stored name. layer outside
// 0..255 raises ECADOutOfBound.
std::string RenameLayer(TQV_01Cmp& document, int layer, std::string_view text);
