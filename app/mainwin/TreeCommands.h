#pragma once
// The geometry tree's clicks and popup (PopupTreeGeo): a layer node chosen
// by a click or a right click becomes the selected layer node; its popup
// opens the layer dialog, switches the layer on or off, shows it alone or
// shows every layer; an entity node's popup deletes the entity (one undo
// step of kind Delete; the views refreshed around it, not rebuilt). The root and empty space open no popup.
//
// Layer node images: 1 while the layer is visible, 11 while hidden. Hiding
// and showing change only the layers that have a node; the document's views
// are repainted once afterwards.
// Main thread only.

#include "core/model/GeoTree.h"

#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QTreeWidgetItem;
class QWidget;
class TGeoTreeView;
class TQV_01Cmp2D;
class TQVScene;

class TTreeCommands final : public QObject {
public:
    static constexpr int VisibleLayerImage = 1;
    static constexpr int HiddenLayerImage = 11;

    TTreeCommands(QWidget& owner, TGeoTreeView& tree, TQV_01Cmp2D& document, TQVScene& scene);

    QMenu& PopupTreeGeo() const { return *m_PopupTreeGeo; }
    // Null when none, or when its node is gone (the tree was rebuilt).
    QTreeWidgetItem* SelectedLayerNode() const;

    void TreeGeoClick(QTreeWidgetItem* item);
    // The right mouse button at a point of the tree's viewport: prepares
    // the popup and returns whether it opens (it is not opened when show
    // is false, so that a test can look at it).
    bool TreeGeoContextPopup(const QPoint& position, bool show = true);
    void mnuLayerOnOffClick();
    void mnuLayerHideClick();
    void mnuLayerShowClick();
    void mnuGeoDeleteClick();

    // Opens the layer dialog modally; set by the window.
    std::function<void()> OpenLayerDialog;

private:
    QAction* AddItem(const char* name, int image, void (TTreeCommands::*handler)());
    // Every layer node of the tree.
    std::vector<QTreeWidgetItem*> LayerNodes() const;
    void ShowLayerState(QTreeWidgetItem* node, bool visible);

    TGeoTreeView& m_Tree;
    TQV_01Cmp2D& m_Document;
    TQVScene& m_Scene;
    QMenu* m_PopupTreeGeo = nullptr;
    QAction* m_mnuLayerDialog = nullptr;
    QAction* m_mnuLayerOnOff = nullptr;
    QAction* m_mnuLayerHide = nullptr;
    QAction* m_mnuLayerShow = nullptr;
    QAction* m_mnuGeoDelete = nullptr;
    TTreeNodeId m_SelectedLayerNode = NoTreeNode;
};
