#pragma once
// TDlgOpenGeo: the open-geometry side panel on the tool window's page
// "sheetOpenR". After File/Open it tells what was read (an information
// tree) and places the geometry (TVecRasInfo): rotation, size in X, Y (Z for
// STL) with a fixed ratio, and the point of the geometry that goes to the
// drawing origin (file origin, a corner, the centre, typed, or picked in the
// view; for STL also the top or bottom in Z).
//
// The controls are built in code on a frame that fills the page, each with
// its component name as objectName; the frame goes with the panel. Their
// change handlers act only while ControlEventsEnabled() (the program's edit
// guard) is on; the panel switches it off while it writes its own controls.
//
// Every edit makes Apply available and Done not; Apply places and makes Done
// available. Done places without the box, forgets the saved layer colours
// and calls OnDone (the main window clears the status text and hides the
// tool window, whose hiding frees the panel later, never inside Done).
// Texts that are not complete numbers are ignored while typed; a size that
// would give no usable scale (0, or a direction without extent) too.
//
// Main thread only; the document, view, settings and surface outlive it.

#include "cad/program/ShellServices.h"
#include "io/place/VecRasInfo.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TAppConfig;
class TDXF2DImport;

class TDlgOpenGeo final : public QObject, public TVecRasInfo, public TOpenGeoPicker {
public:
    // The origin radio buttons: 0..5 as TOriginChoice, then Z top and bottom.
    static constexpr int ZTop = 6;
    static constexpr int ZBottom = 7;

    // Builds the frame on the page with the auto-zoom box, Apply (disabled)
    // and Done (enabled).
    TDlgOpenGeo(QWidget& page, TQV_01Cmp2D& document, TDocumentView* view, const TAppConfig& config);
    ~TDlgOpenGeo() override;

    // The page for the file kind; fileName is the full name of the file.
    void SetupDxf(const TDXF2DImport& importer, const std::string& fileName);
    void SetupSvg(const std::string& fileName);
    void SetupStl(TQV_STLSurf& surface, const std::string& fileName);
    // image: the loaded bitmap (its pixel size); the resolution comes from
    // the file's header.
    void SetupBmp(const QImage& image, const std::string& fileName);
    void SetupJpeg(const QImage& image, const std::string& fileName);

    // The Apply and Done buttons.
    void Apply() override;
    void Done();

    // Hides the tool window (and clears the status text); set by the owner.
    std::function<void()> OnDone;

    // TOpenGeoPicker.
    bool WaitsForViewClick() const override { return PickArmed; }
    void StopWaitingForViewClick() override { PickArmed = false; }
    void ShiftOrigin(const TPoint2D& point) override { TVecRasInfo::ShiftOrigin(point); }

    void RefreshOriginEdits() override;

    // Null once the page is gone.
    QWidget* Frame() const { return m_Frame; }
    QTreeWidget* InfoTree() const { return m_Tree; }

private:
    void BuildInfoGroup(const std::string& captionKey);
    void BuildRotateGroup();
    void BuildSizeGroup();
    void BuildOriginGroup(bool fileOrigin);
    void BuildDxfColourBox();
    QTreeWidgetItem* TreeRoot(const std::string& text);
    void TreeChild(QTreeWidgetItem* root, const std::string& text);
    // The children "182".."186" (and "171" for SVG and STL).
    void GeometryTreeItems(QTreeWidgetItem* root, const std::string& fileName, bool objectCount);
    void RasterTree(const std::string& fileName);
    void SetupRaster(const QImage& image, const std::string& fileName, const std::string& captionKey);
    void CheckOriginSilently(int index);

    void UpdateFromDrawingBounds();
    void SetBox3DAndShow(const TBox3D& box);
    void WriteSizeEdits();
    void SetApplied(bool applied);
    void MarkOriginTyped();

    void RotateEdited();
    void SizeEdited(int axis);
    void OriginEdited(int axis);
    void OriginRadioChosen(int index);
    void ZRadioChosen(int index);

    const TAppConfig& m_Config;
    // Null once the page went first (the tool window at the program's end).
    QPointer<QWidget> m_Frame;
    QGroupBox* m_InfoGroup = nullptr;
    QTreeWidget* m_Tree = nullptr;
    QLineEdit* m_RotateEdit = nullptr;
    QCheckBox* m_DxfColours = nullptr;
    QCheckBox* m_AutoZoom = nullptr;
    std::array<QLineEdit*, 3> m_SizeEdits{};
    std::array<QLineEdit*, 3> m_OriginEdits{};
    std::array<QRadioButton*, 8> m_Radios{};
    QButtonGroup* m_CornerGroup = nullptr;
    QButtonGroup* m_ZGroup = nullptr;
    QPushButton* m_Apply = nullptr;
    QPushButton* m_DoneButton = nullptr;
    int m_FirstOrigin = 0;
    bool m_3D = false;
    bool m_ZChosen = false;
    // Rotation edits count for DXF and SVG only.
    bool m_Rotatable = false;
};
