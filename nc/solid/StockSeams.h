#pragma once
// What the stock-removal model (NcVisu.h) draws on and shows its stock box
// in, both above this library: the scene's stock mesh and the tool window's
// stock-size panel.

#include "nc/solid/NcVisuGrid.h"

// Where the model is drawn. Attach comes first, with the whole grid;
// Changed names the cells cut since (any number of calls between two
// frames); Rebuilt follows a new grid (size or quality); Detach comes last.
class TStockView {
public:
    virtual ~TStockView() = default;
    virtual void AttachStock(const TNcVisuGrid& grid) = 0;
    virtual void StockChanged(const TNcVisuGrid& grid, TCellRange columns, TCellRange rows) = 0;
    virtual void StockRebuilt(const TNcVisuGrid& grid) = 0;
    virtual void DetachStock() = 0;
    // Draws the view now (a solid run shows its progress).
    virtual void Repaint() = 0;
};

// The stock-size panel: shows the stock box in its edits.
class TStockPanel {
public:
    virtual ~TStockPanel() = default;
    virtual void ShowStock() = 0;
};
