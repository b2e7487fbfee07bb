#pragma once
// TTLP2Geo: the choice dialog of the toolpath-to-geometry command: the
// toolpath goes into the drawing or into a DXF file, with the file and the
// layer to use. The choice ("Tlp2DXF") and the file ("FilePath_T2Dxf") are
// stored in the settings by the clicks themselves, so they stay changed when
// the dialog is then cancelled.
//
// Built in code at its design places; shown modally through the prompt
// service (dialog "TTLP2Geo"), the save dialog and the layer dialog too.
// Main thread only; the settings and the document outlive the dialog.

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QGroupBox;
class QPushButton;
class QRadioButton;
class TAppConfig;
class TQV_01Cmp2D;

class TTLP2Geo final : public QDialog {
public:
    static constexpr int DesignWidth = 300;
    static constexpr int DesignHeight = 220;

    // Builds the dialog at the main window's left + 10 and top + 10. When
    // "FilePath_T2Dxf" names a folder only, "t.dxf" is appended to it.
    // layerDialog shows the layer dialog modally (may be empty).
    TTLP2Geo(TAppConfig& config, const TQV_01Cmp2D& document, std::function<void()> layerDialog,
             QWidget* mainWindow);

    // Shows the dialog modally; true (Accepted 1) when it was closed with OK.
    bool Execute();
    uint8_t Accepted = 0;

    void ToDrawingClick();
    void ToFileClick();
    // The save dialog on "FilePath_T2Dxf"; a confirmed file becomes the
    // setting and the button's caption.
    void FileButtonClick();
    // The layer dialog; then the button shows the current layer again.
    void LayerButtonClick();
    void OkClick();
    void CancelClick();

    QRadioButton& DrawingRadio() const { return *m_rbtDrawing; }
    QRadioButton& FileRadio() const { return *m_rbtFile; }
    QPushButton& FileButton() const { return *m_sbtFile; }
    QPushButton& LayerButton() const { return *m_sbtLayer; }
    QPushButton& OkButton() const { return *m_sbtOk; }
    QPushButton& CancelButton() const { return *m_sbtCancel; }
    // The file button's caption before it is shortened to fit.
    const std::string& FileCaption() const { return m_FileCaption; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The radio of the stored choice is checked, running its click.
    void DoShow();
    void SetFileCaption(const std::string& caption);
    void ShowLayer();

    TAppConfig& m_Config;
    const TQV_01Cmp2D& m_Document;
    std::function<void()> m_LayerDialog;
    QGroupBox* m_grpChoice = nullptr;
    QRadioButton* m_rbtDrawing = nullptr;
    QRadioButton* m_rbtFile = nullptr;
    QPushButton* m_sbtFile = nullptr;
    QPushButton* m_sbtLayer = nullptr;
    QPushButton* m_sbtOk = nullptr;
    QPushButton* m_sbtCancel = nullptr;
    std::string m_FileCaption;
};

// "FilePath_T2Dxf" with "t.dxf" appended when it names a folder only (empty,
// or ending in a path separator).
std::string ToolpathDxfTarget(const std::string& path);
