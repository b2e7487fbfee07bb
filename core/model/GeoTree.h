#pragma once
// The entity tree as the document and the edit commands see it: three
// levels, the root, one node per layer that holds objects, one node per
// entity. The properties panel (cad/ui) implements it on its tree widget;
// tests use a recording fake. The tree hands out node ids (TTreeNodeId) and
// keeps them in the layers and the objects through their SetTreeNode, so a
// layer's node is made once and reused.

#include "core/model/ViewInterfaces.h"

#include <string>

class TObject2D;
class TQV_20Layers;

class TGeoTree {
public:
    virtual ~TGeoTree() = default;

    // Adds the entity's node under the node of its layer, creating that node
    // (and the root) when the layer has none yet and storing it in the
    // layer; the entity's node is stored in the object. Objects of classes
    // the tree does not list get no node.
    virtual void AddObjectToGeoTree(TQV_20Layers& layers, TObject2D& object) = 0;
    // After the object changed its layer: a node like oldNode under the
    // node of its new layer (created as above) replaces oldNode, and the new
    // node is stored in the object.
    virtual void MoveGeoTreeNode(TQV_20Layers& layers, TObject2D& object, TTreeNodeId oldNode) = 0;
    // Deletes the node; nothing for NoTreeNode or a node the tree no longer has.
    virtual void DeleteGeoTreeNode(TTreeNodeId node) = 0;
    // Gives the node a new text (a renamed layer); nothing for NoTreeNode or
    // a node the tree no longer has. Trees that show no texts ignore it.
    virtual void SetGeoTreeNodeText(TTreeNodeId /*node*/, const std::string& /*text*/) {}
    // Brackets many changes into one update of the widget; they nest.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};
