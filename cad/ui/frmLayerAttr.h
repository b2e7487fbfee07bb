#pragma once
// TfrmLayerAttr: the small dialog of the layer dialog that sets one layer's
// pen colour (ColorBox1) and pen width (penwidthcombo1). The choices are
// kept in LayerAttrColor and LayerAttrWidth and reach the layer only when
// the dialog is closed with OK (the drawing then repaints at once); Cancel
// or the close box leave the layer as it was.

#include <QDialog>

#include <cstdint>

class QGroupBox;
class QPushButton;
class TColorBox;
class TQV_01Cmp;
class Tpenwidthcombo;

class TfrmLayerAttr : public QDialog {
public:
    explicit TfrmLayerAttr(QWidget* parent = nullptr);

    // Shows the dialog modally for a layer of the document, with the given
    // window caption and group title, and returns the dialog's result. A
    // layer outside 0..255 shows nothing and gives Rejected. The document
    // is not owned and must outlive the call.
    int ShowForLayer(TQV_01Cmp& document, int layer, const QString& caption, const QString& groupCaption);

    bool LayerAttrPending() const { return m_LayerAttrPending; }
    uint32_t LayerAttrColor() const { return m_LayerAttrColor; }
    int32_t LayerAttrWidth() const { return m_LayerAttrWidth; }

    TColorBox& ColorBox1() const { return *m_ColorBox1; }
    Tpenwidthcombo& penwidthcombo1() const { return *m_penwidthcombo1; }
    QPushButton& btnOk() const { return *m_btnOk; }
    QPushButton& btnCancel() const { return *m_btnCancel; }

    // OK, Cancel, Esc and the close box all end here.
    void done(int result) override;

private:
    void FormShow();
    void ColorBox1Change();
    void penwidthcombo1Change(int index);
    void btnOkClick();
    void FormClose();

    QGroupBox* m_grpLayerAttr;
    TColorBox* m_ColorBox1;
    Tpenwidthcombo* m_penwidthcombo1;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;

    TQV_01Cmp* m_Document = nullptr; // set for the time of ShowForLayer
    int m_Layer = -1;
    QString m_Caption;
    QString m_GroupCaption;
    bool m_LayerAttrPending = false;
    uint32_t m_LayerAttrColor = 0;
    int32_t m_LayerAttrWidth = 1;
};
