#pragma once
// TfrmCncTab: the holding-tab window of the contour and laser-cut pages.
// It sets the kind (full or partial), width and thickness of the tabs of
// the operation being edited, starts the interactive placement of tabs on
// the operation's chains (TMuoveDinamico, cam/chains/TabPlacing.h) and
// lists the placed tabs, which its popup menu deletes.
//
// The width edit feeds a running placement: its change acts only on a
// complete number (IsCompleteNumber, core/settings/NumberText.h), so an
// emptied edit or a lone "." cancels nothing and re-places no tab; a text
// that is not a number changes nothing either. The thickness edit stores
// only numbers in the same way.

#include "cam/params/ListaTab.h"

#include <QDialog>
#include <QPixmap>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class TListaCatene;
class TQV_00CADProg;

class TfrmCncTab : public QDialog {
public:
    explicit TfrmCncTab(QWidget* parent = nullptr);
    ~TfrmCncTab() override;

    // The interaction program the placement runs in (not owned; null:
    // none).
    void SetProgram(TQV_00CADProg* program) { m_Program = program; }
    // Binds the window to the operation's tab list and chains after the
    // tool window filled the edits, the kind buttons and the list; null
    // unbinds it (the operation is gone).
    void Bind(TListaTab* tabs, TListaCatene* chains);
    TListaTab* Tabs() const { return m_Tabs; }
    // The pictures of the tab kinds (the tool window's pictures by index),
    // shown at once; without them the picture stays empty.
    void SetPictures(std::function<QPixmap(int index)> pictures);

    // Event handlers (the widgets call them; tests call them directly).
    void FormCreate();
    void FormShow();
    void rbtTabFullClick();
    void rbtTabPartialClick();
    void rbtTabManualClick();
    void rbtTabAutoClick();
    void sbtTabPosClick();
    void txtTabWidthChange();
    void txtTabThickChange();
    void LstBoxClick();
    void mnuTabDelClick();
    void mnuTabDelAllClick();
    void sbtTabCancelClick();
    void sbtTabOkClick();

    QLineEdit& txtTabWidth() const { return *m_txtTabWidth; }
    QLineEdit& txtTabThick() const { return *m_txtTabThick; }
    QLineEdit& txtTabNum() const { return *m_txtTabNum; }
    QRadioButton& rbtTabFull() const { return *m_rbtTabFull; }
    QRadioButton& rbtTabPartial() const { return *m_rbtTabPartial; }
    QPushButton& sbtTabPos() const { return *m_sbtTabPos; }
    QListWidget& LstBox() const { return *m_LstBox; }
    // The image of the tool window's first image list the picture shows
    // (9 full, 10 partial).
    int TabImage() const { return m_TabImage; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowTabImage(int index);
    void CancelPlacement();
    void RebuildScene();

    QGroupBox* m_grpTabSet;
    QLabel* m_imgTab;
    QRadioButton* m_rbtTabFull;
    QRadioButton* m_rbtTabPartial;
    QLineEdit* m_txtTabWidth;
    QLabel* m_lblTabWidth;
    QLineEdit* m_txtTabThick;
    QLabel* m_lblTabThick;
    QGroupBox* m_grpTabPos;
    QPushButton* m_sbtTabPos;
    QRadioButton* m_rbtTabManual;
    QRadioButton* m_rbtTabAuto;
    QLineEdit* m_txtTabNum;
    QLabel* m_lblTabNum;
    QListWidget* m_LstBox;
    QPushButton* m_sbtTabCancel;
    QPushButton* m_sbtTabOk;
    QMenu* m_mnuCncTab;
    std::unique_ptr<TTabListBox> m_ListBox;
    int m_TabImage = 9;
    std::function<QPixmap(int index)> m_Pictures;

    TQV_00CADProg* m_Program = nullptr;
    TListaTab* m_Tabs = nullptr;
    TListaCatene* m_Chains = nullptr;
};
