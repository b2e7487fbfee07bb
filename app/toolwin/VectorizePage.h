#pragma once
// TVectorizePage: the tool window's page "tabVectorize" that drives the
// bitmap vectoriser (io/trace/Bmp2Vector.h) for the image of the last open:
// three colour thresholds (slider and spin box twins), spot removal, the
// tracer's options, Preview, the target layer, Done and Cancel.
//
// Promises:
// - The vectoriser lives from Start until the tool window hides (Free, a
//   hide hook); Cancel adds nothing.
// - Each slider and its spin box show one value; a change of either redraws
//   the thresholded preview once.
// - Done is available only after a Preview that traced something.
// - The page's values reach the vectoriser's settings before every action;
//   the report lines go to memVecReport.
// Main thread only.

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;
class TBitmap2D;
class TBmp2Vector;
class TContainer2D;
class TQV_01Cmp2D;

class TVectorizePage final : public QObject {
public:
    // Builds the controls on the sheet (which owns them and this page).
    TVectorizePage(QWidget& sheet, TQV_01Cmp2D& document);
    ~TVectorizePage() override;

    // The vectoriser for the bitmap entity; the page's values back to their
    // start: View Original off, Done disabled, the report empty.
    void Start(TBitmap2D& bitmap, const QImage& source);
    // Frees the vectoriser (the tool window's hide).
    void Free();
    TBmp2Vector* Vectorizer() const { return m_Vectorizer.get(); }

    // Folder of the tracer program, with a trailing "/".
    std::string ProgramFolder;
    // Shows the traced preview (null clears it).
    std::function<void(TContainer2D* preview)> OnShowPreview;
    // Hides the tool window (Done, Cancel).
    std::function<void()> HideToolWin;
    // The layer dialog (modal).
    std::function<void()> RunLayerDialog;

    QSlider* Slider(int colour) const { return m_Sliders[colour]; }
    QSpinBox* Spin(int colour) const { return m_Spins[colour]; }
    QPushButton* DoneButton() const { return m_Done; }
    QPushButton* LayerButton() const { return m_OnLayer; }

private:
    void BuildThresholdGroup(QWidget& sheet);
    void BuildSpotsGroup(QWidget& sheet);
    void BuildTraceGroup(QWidget& sheet);
    void BuildReportGroup(QWidget& sheet);
    // The page's values into the vectoriser's settings.
    void ReadSettings();
    void ShowReport();
    void Redraw();
    void SliderMoved(int colour, int value);
    void SpinChanged(int colour, int value);
    void FilterClicked(bool on);
    void Preview();
    void Done();
    void ChooseLayer();
    // "sbtVecOnLayer.Caption", the separator, the current layer.
    void ShowLayerCaption(const char* separator);

    TQV_01Cmp2D& m_Document;
    std::unique_ptr<TBmp2Vector> m_Vectorizer;
    QSlider* m_Sliders[3] = {};
    QSpinBox* m_Spins[3] = {};
    QCheckBox* m_ViewOriginal = nullptr;
    QSpinBox* m_BlackSpots = nullptr;
    QSpinBox* m_WhiteSpots = nullptr;
    QDoubleSpinBox* m_ErrorThreshold = nullptr;
    QSpinBox* m_FilterIterations = nullptr;
    QSpinBox* m_CornerThreshold = nullptr;
    QCheckBox* m_Centerline = nullptr;
    QLineEdit* m_VecRemove = nullptr;
    QCheckBox* m_VecFilter = nullptr;
    QLineEdit* m_FilterEdits[3] = {};
    QLabel* m_FilterLabels[3] = {};
    QPushButton* m_OnLayer = nullptr;
    QPlainTextEdit* m_Report = nullptr;
    QPushButton* m_Done = nullptr;
};
