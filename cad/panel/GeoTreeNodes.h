#pragma once
// What the entity tree shows: the texts and image indexes of its nodes.
// The tree has three levels: the root, one node per layer that holds
// entities (node data = layer number + 1), one node per entity (node data =
// the entity's ID). Texts come from section "frmMain" of the language file.

#include <cstdint>
#include <optional>
#include <string>

class TObject2D;

// The image indexes of the root and the layer nodes.
inline constexpr int GeoTreeRootImage = 0;
inline constexpr int GeoTreeLayerImage = 1;

struct TGeoTreeNode {
    std::string Text;
    int Image = 0;
};

TGeoTreeNode GeoTreeRootNode();
// The layer node: its text runs straight into the layer's name.
TGeoTreeNode GeoTreeLayerNode(const std::string& layerName);
// The entity's node by its class (descendants as their ancestors); none for
// the classes the tree does not list (labels, containers, 3D lines...).
std::optional<TGeoTreeNode> GeoTreeEntityNode(const TObject2D& object);
