#pragma once
// TNcVisu: the stock-removal model, at most one, alive while the solid
// simulation is on. It owns the height grid (NcVisuGrid.h), binds the tool
// of the simulated operation, cuts the simulator's moves with the feed or
// rapid colour of the settings, and tells its view which cells changed.
//
// The view and the stock-size panel sit above this library and come in
// through two small interfaces: TStockView draws the grid (the scene's
// stock mesh, attached for the model's lifetime) and TStockPanel is the
// panel on the tool window's solid-simulation group, owned by the model.
//
// Main thread only.

#include "core/geometry/Points.h"
#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/StockSeams.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TSimOperation;
struct TAVertice3d;

// The six values of the stock-size panel, in its order.
struct TStockBoxValues {
    double OriginX = 0, OriginY = 0, TopZ = 0;
    double SizeX = 0, SizeY = 0, SizeZ = 0;
};

class TNcVisu {
public:
    // The stock box as minimum and maximum corners (a box without X and Y
    // extent takes the diameter of the operation's tool, see
    // TNcVisuGrid::SetStock); view may be null.
    TNcVisu(const TVector3D& minimum, const TVector3D& maximum, int32_t quality, const TSimOperation* operation,
            TStockView* view);
    // Detaches the view and frees the panel.
    ~TNcVisu();
    TNcVisu(const TNcVisu&) = delete;
    TNcVisu& operator=(const TNcVisu&) = delete;

    void SetPanel(std::unique_ptr<TStockPanel> panel) { m_Panel = std::move(panel); }
    TStockPanel* Panel() const { return m_Panel.get(); }

    // Cells on the longer side from the quality slider; restores the uncut
    // stock.
    void SetQuality(int32_t quality);
    // Rebuilds the grid at the current box and resolution, uncut.
    void InitGrid();
    // Takes the tool of the operation's record (nothing cuts without one).
    void BindOperation(const TSimOperation* operation);
    const TSimOperation* Operation() const { return m_Operation; }

    // A straight move in drawing coordinates; always true.
    bool CutMove(const TVector3D& from, const TVector3D& to, bool rapid);
    // An arc from the start vertex to the arc vertex, cut as level chords.
    void CutArc(const TAVertice3d& start, const TAVertice3d& arc);

    // The panel's values of the current stock box.
    TStockBoxValues StockBox() const;
    // The same as the panel's texts (three decimals, trimmed).
    std::array<std::string, 6> StockTexts() const;
    // Applies the panel's six texts: false, and nothing changed, when one
    // is not a number or a size is not positive; otherwise the origin
    // becomes (origin X, origin Y, top Z - size Z), the sizes follow and
    // the grid is rebuilt uncut.
    bool ApplyStockTexts(const std::array<std::string, 6>& texts);

    const TNcVisuGrid& Grid() const { return m_Grid; }
    // For tests and benchmarks: the grid itself.
    TNcVisuGrid& Grid() { return m_Grid; }

private:
    void CutDone();

    TNcVisuGrid m_Grid;
    const TSimOperation* m_Operation = nullptr;
    TStockView* m_View = nullptr;
    std::unique_ptr<TStockPanel> m_Panel;
    double m_ToolDiameter = 0;
};
