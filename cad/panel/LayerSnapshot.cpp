#include "cad/panel/LayerSnapshot.h"

#include "cad/panel/GeoTreeNodes.h"
#include "core/model/GeoTree.h"
#include "core/model/QV_01Cmp2D.h"

void TLayerSnapshot::Take(const TQV_01Cmp& document)
{
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n) {
        const TQV_21Layer& layer = document.Layers().GetLayer(n);
        TLayerRec& rec = m_Layers[static_cast<size_t>(n)];
        rec.Name = layer.Name();
        rec.Visible = layer.Visible();
        rec.PenColor = layer.Pen().Color;
        rec.PenWidth = layer.Pen().Width;
        rec.Modified = layer.Modified();
    }
    m_SavedCurrentLayer = document.CurrentLayer();
}

void TLayerSnapshot::Restore(TQV_01Cmp& document) const
{
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n) {
        const TLayerRec& rec = m_Layers[static_cast<size_t>(n)];
        TQV_21Layer& layer = document.Layers().GetLayer(n);
        layer.SetName(rec.Name);
        CambiaNomeInTree(document, n, rec.Name);
        layer.SetVisible(rec.Visible);
        layer.SetPenColor(rec.PenColor);
        layer.SetPenWidth(rec.PenWidth);
        // The setters above mark the layer modified even where nothing
        // changed; the flag goes back to what it was.
        if (rec.Modified)
            layer.SetModified();
        else
            layer.ClearModified();
    }
    document.SetCurrentLayer(m_SavedCurrentLayer);
    document.RepaintViewports();
}

void CambiaNomeInTree(TQV_01Cmp& document, int layer, const std::string& name)
{
    TGeoTree* tree = document.TreeGeo();
    const TTreeNodeId node = document.Layers().GetLayer(layer).TreeNode();
    if (tree && node != NoTreeNode)
        tree->SetGeoTreeNodeText(node, GeoTreeLayerNode(name).Text);
}

std::string RenameLayer(TQV_01Cmp& document, int layer, std::string_view text)
{
    TQV_21Layer& l = document.Layers().GetLayer(layer);
    l.SetName(text);
    CambiaNomeInTree(document, layer, l.Name());
    return l.Name();
}
