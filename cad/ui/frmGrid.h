#pragma once
// TfrmGrid: the grid dialog. It sets the scene view's grid (size, origin,
// steps, subdivisions, visibility) and the interaction program's grid snap
// (snap steps, snap on or off) while it is open: every change shows at
// once. OK stores what the view and program then hold in the settings;
// Cancel, Esc or the close box put the settings back on view and program,
// so that nothing changed in the dialog outlives it. Snap on or off goes
// through the grid setter (cad/SetGrid.h) and stays as the user left it:
// it is the same switch as the main window's menu item.
//
// The logic lives in TGridDialogModel (cad/GridDialogModel.h); this window
// shows the settings and hands the user's typing and clicks to it. The size
// fields take digits and "." (a "," is typed as "."); the combo boxes also
// take "-". A text that is not yet a number changes nothing.

#include "cad/panel/GridDialogModel.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TAppConfig;
class TOrigineComp;
class TQVScene;
class TQV_00CADProg;

class TfrmGrid : public QDialog {
public:
    explicit TfrmGrid(QWidget* parent = nullptr);
    ~TfrmGrid() override;

    // The view and settings the dialog works on, and the program whose snap
    // steps it sets (may be null); none owned, all must outlive the dialog
    // or be unbound first with null view.
    void SetTargets(TQVScene* view, TQV_00CADProg* program, TAppConfig* config);

    bool GridDialogPending() const { return m_GridDialogPending; }
    TOrigineComp& OriginSelector() const { return *m_OriginSelector; }

    QLineEdit& txtGridSizeX() const { return *m_txtGridSizeX; }
    QLineEdit& txtGridSizeY() const { return *m_txtGridSizeY; }
    QComboBox& nol_cboGridX() const { return *m_nol_cboGridX; }
    QComboBox& nol_cboGridY() const { return *m_nol_cboGridY; }
    QComboBox& nol_cboGridSubX() const { return *m_nol_cboGridSubX; }
    QComboBox& nol_cboGridSubY() const { return *m_nol_cboGridSubY; }
    QComboBox& nol_cboXSnap() const { return *m_nol_cboXSnap; }
    QComboBox& nol_cboYSnap() const { return *m_nol_cboYSnap; }
    QCheckBox& chkUnisceGrid() const { return *m_chkUnisceGrid; }
    QCheckBox& chkUnisceSubGrid() const { return *m_chkUnisceSubGrid; }
    QCheckBox& chkUnisceSnap() const { return *m_chkUnisceSnap; }
    QCheckBox& chkShowGrid() const { return *m_chkShowGrid; }
    QCheckBox& chkSnap2Grid() const { return *m_chkSnap2Grid; }
    QPushButton& sbtOk() const { return *m_sbtOk; }
    QPushButton& sbtCancel() const { return *m_sbtCancel; }

    // OK, Cancel, Esc and the close box all end here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void sbtOkClick();
    void OnClickOrigine(QObject* sender, int32_t position);
    void nol_cboGridXChange();
    void nol_cboGridYChange();
    void nol_cboGridSubXChange();
    void nol_cboGridSubYChange();
    void nol_cboXSnapChange();
    void nol_cboYSnapChange();
    void txtGridSizeXChange();
    void txtGridSizeYChange();
    void chkShowGridClick();
    void chkSnap2GridClick();
    // Gives target the text of source without running target's handler.
    static void CopyText(const QComboBox& source, QComboBox& target);

    QGroupBox* m_grpGrid;
    QGroupBox* m_grpSnapGrid;
    QWidget* m_OriginPanel;
    QLineEdit* m_txtGridSizeX;
    QLineEdit* m_txtGridSizeY;
    QComboBox* m_nol_cboGridX;
    QComboBox* m_nol_cboGridY;
    QComboBox* m_nol_cboGridSubX;
    QComboBox* m_nol_cboGridSubY;
    QComboBox* m_nol_cboXSnap;
    QComboBox* m_nol_cboYSnap;
    QCheckBox* m_chkUnisceGrid;
    QCheckBox* m_chkUnisceSubGrid;
    QCheckBox* m_chkUnisceSnap;
    QCheckBox* m_chkShowGrid;
    QCheckBox* m_chkSnap2Grid;
    QPushButton* m_sbtOk;
    QPushButton* m_sbtCancel;
    std::unique_ptr<TOrigineComp> m_OriginSelector;

    std::unique_ptr<TGridDialogModel> m_Model;
    TAppConfig* m_Config = nullptr;
    bool m_GridDialogPending = false;
    bool m_Open = false; // between FormShow and FormClose
};
