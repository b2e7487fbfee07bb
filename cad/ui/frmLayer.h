#pragma once
// TfrmLayer: the layer dialog. A table lists the 256 layers of the drawing
// (number, current-layer mark, name, visibility, pen colour, pen width);
// in it the user picks the current layer (a click on the mark column),
// switches a layer's visibility (visibility column), renames a layer (the
// name column is the only editable one) and opens TfrmLayerAttr for a
// layer's pen colour and width (colour and width columns).
//
// Every change takes effect at once. Each showing takes a snapshot of the
// layers (cad/LayerSnapshot.h); closing the dialog in any way but OK (Cancel,
// Esc, the close box) gives it back, the changes made through the
// attribute dialog included. "Save settings" writes the changed layers
// into the layer defaults file of the configuration folder and leaves the
// dialog open. None of these edits records an undo step.
//
// Rows of the table count from 1 as the layer's events see them: row 0 is
// the header, row n + 1 is layer n.

#include "cad/panel/LayerSnapshot.h"

#include <QDialog>
#include <QPixmap>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class QTableWidget;
class TQV_01Cmp;
class TfrmLayerAttr;

class TfrmLayer : public QDialog {
public:
    static constexpr int ColumnCount = 6;
    enum TColumn { ColNumber = 0, ColCurrent = 1, ColName = 2, ColVisible = 3, ColColor = 4, ColPenWidth = 5 };
    // Windows colour values of the current layer's row and of the row last
    // selected.
    static constexpr uint32_t CurrentRowColor = 0x0000FFFF;  // yellow
    static constexpr uint32_t SelectedRowColor = 0x00FF0000; // blue

    explicit TfrmLayer(QWidget* parent = nullptr);
    ~TfrmLayer() override;

    // The drawing whose layers the dialog edits; not owned, null for none.
    void SetDocument(TQV_01Cmp* document);
    TQV_01Cmp* Document() const { return m_Document; }

    TfrmLayerAttr& AttrDialog() const { return *m_AttrDialog; }
    QTableWidget& StringGrid1() const { return *m_StringGrid1; }
    QGroupBox& grpLayer() const { return *m_grpLayer; }
    QPushButton& btnOk() const { return *m_btnOk; }
    QPushButton& btnCancel() const { return *m_btnCancel; }
    QPushButton& btnSaveSettings() const { return *m_btnSaveSettings; }
    // imgLayer: 0 visible, 1 hidden, 2 current-layer mark.
    const QPixmap& imgLayer(int index) const { return m_imgLayer.at(static_cast<size_t>(index)); }

    // The table row last selected (layer + 1; 0 = none).
    int32_t SelectedLayerRow() const { return m_SelectedLayerRow; }
    bool LayerDialogPending() const { return m_LayerDialogPending; }
    const TLayerSnapshot& Snapshot() const { return m_Snapshot; }

    // A cell chosen by the user (a click); row as above.
    void StringGrid1SelectCell(int col, int row);
    // A text typed into a cell; only the name column takes one. The layer
    // keeps the first 31 characters, and the cell and the layer's tree node
    // show the name as kept.
    void StringGrid1SetEditText(int col, int row, const QString& text);
    // Writes the changed layers into the layer defaults file; a file that
    // cannot be written is reported in an error box.
    void btnSaveSettingsClick();

    // Draws one cell: its background (the current layer's row yellow, the
    // row last selected blue), then its content (ScriveRiga).
    void StringGrid1DrawCell(QPainter& painter, const QRect& rect, int col, int row) const;

    // OK, Cancel, Esc and the close box all end here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ScriveRiga(QPainter& painter, const QRect& rect, int col, int layer, const QColor& textColor) const;
    void StringGrid1Click();
    void btnOkClick();
    void FormClose();
    void FillRows();

    QGroupBox* m_grpLayer;
    QTableWidget* m_StringGrid1;
    std::array<QLabel*, ColumnCount> m_HeaderLabels{};
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;
    QPushButton* m_btnSaveSettings;
    TfrmLayerAttr* m_AttrDialog;
    std::array<QPixmap, 3> m_imgLayer;

    TQV_01Cmp* m_Document = nullptr;
    TLayerSnapshot m_Snapshot;
    int32_t m_SelectedLayerRow = 0;
    bool m_LayerDialogPending = false;
    bool m_Open = false; // between FormShow and FormClose
};
