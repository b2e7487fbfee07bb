#pragma once
// TNcVisuCont: the stock-size panel of the stock-removal model, on the tool
// window's solid-simulation group: the stock's origin X and Y and its top Z
// in one group box, its sizes X, Y and Z in another. Enter in any of the
// six edits applies them (TSimulatore2D::ApplyStock): the grid is rebuilt
// uncut at the new box and the drawn path cleared; a text that is no
// number, or a size that is not positive, changes nothing.
//
// The model owns the panel (TSimWindow::CreateStockPanel makes it); the
// group boxes are children of the parent and go with the panel.

#include "nc/solid/NcVisu.h"

#include <QPointer>

#include <array>

class QGroupBox;
class QLineEdit;
class QWidget;
class TSimulatore2D;

class TNcVisuCont final : public TStockPanel {
public:
    // The edits in the order of the model's texts (origin X, origin Y,
    // top Z, size X, size Y, size Z).
    static constexpr int EditCount = 6;

    // parent and simulator must outlive the panel, or the parent may go
    // first (the panel then holds nothing).
    TNcVisuCont(QWidget* parent, TSimulatore2D& simulator);
    ~TNcVisuCont() override;
    TNcVisuCont(const TNcVisuCont&) = delete;
    TNcVisuCont& operator=(const TNcVisuCont&) = delete;

    // Fills the edits from the model.
    void ShowStock() override;
    // Applies the edits to the model; false when nothing changed.
    bool ApplyStock();

    QLineEdit* Edit(int k) const { return m_Edits[static_cast<size_t>(k)]; }
    QGroupBox* Group(int n) const { return m_Groups[static_cast<size_t>(n)]; }

private:
    void BuildControls(QWidget* parent);

    TSimulatore2D& m_Simulator;
    std::array<QPointer<QGroupBox>, 2> m_Groups;
    std::array<QPointer<QLineEdit>, EditCount> m_Edits;
};
