#pragma once
// TLabelEditor: the editing controls of a label (core/entities/Etichetta.h)
// for the letters group of the tool window: one row per label and the
// command controls below them.
//
// A row: its caption "(<n>) " + the "lblEti1" text; the text field; the X
// and Y fields with their captions ("lblEti2", "lblEti3") and the position
// button ("sbtEtiPosXY"); the height and spacing fields with their captions
// ("lblEti4", "lblEti5"). The command controls: "+" and "-" (add a label at
// the end, drop the last one; the rows are built again), the stroke-font
// picker and the apply button ("sbtEtiApply"). Captions and buttons carry
// their key as objectName (section "frmToolWin"); each field its own name
// (edtEtiText, edtEtiX, edtEtiY, edtEtiHeight, edtEtiSpacing) and its row in
// the property "Tag".
//
// Fields store into the label: the text at every change; X and Y at every
// change that makes a complete number (core/settings/NumberText.h), the
// height and spacing when the field is left or Enter is pressed. A complete
// text that is not a number (or not a finite single) leaves the stored value
// and marks the field refused (property "refused", red text) until a good
// number is typed; no message box interrupts the typing.
//
// The position button cancels the running view command and, for a row with
// text, lets the text follow the cursor (TQV_40PosizionaContainer) with the
// row's X and Y fields showing where it is; the click writes the point into
// them and applies. Rows rebuilt meanwhile are not written to.
//
// The label and the program must outlive the editor; the document may be
// null (a detached label needs none).

#include "core/entities/Etichetta.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class TQV_00CADProg;
class TQV_01Cmp2D;

class TLabelEditor : public QWidget {
public:
    // Builds the command controls; the rows come with BuildLabelEditors.
    TLabelEditor(TEtichetta& label, TQV_00CADProg* program, TQV_01Cmp2D* document, QWidget* parent = nullptr);

    TEtichetta& Label() const { return m_Label; }
    void SetDocument(TQV_01Cmp2D* document) { m_Document = document; }

    // The font picker's items (the tool window's stroke-font list); the
    // label's font index is selected without changing the converter's font.
    void SetFontNames(const std::vector<std::string>& names);

    // One row per label; freeing does nothing when they are not built.
    void BuildLabelEditors();
    void FreeLabelEditors();
    bool EditorsBuilt() const { return !m_Rows.empty(); }
    int RowCount() const { return static_cast<int>(m_Rows.size()); }

    // The buttons' handlers.
    void AppendLabel();
    void RemoveLabel();
    void PickPosition(int row);
    void Apply();

    // A field of a row, by its objectName; null when there is none.
    QLineEdit* Field(int row, const char* name) const;
    static bool IsRefused(const QLineEdit& field);

private:
    struct TRow {
        QPointer<QWidget> Box;
        QPointer<QLineEdit> Text, X, Y, Height, Spacing;
    };

    void BuildRow(int row);
    // Stores the field's number into the row's label when it is one.
    void StoreNumber(int row, QLineEdit& field, float TDatiEtichetta::*member);

    TEtichetta& m_Label;
    TQV_00CADProg* m_Program;
    TQV_01Cmp2D* m_Document;
    QVBoxLayout* m_RowsLayout = nullptr;
    std::vector<TRow> m_Rows;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Remove = nullptr;
    QComboBox* m_Font = nullptr;
    QPushButton* m_Apply = nullptr;
};
