#pragma once
// The View toolbar (tbrView) and the drawing view's popup (PopupDestro):
// zoom to the drawing, zoom in and out, zoom window, pan, redraw, the four
// view presets, and in the popup Done, Cancel, typed coordinates, the snap
// items, window selection and ortho (the status bar's twins).
//
// Promises:
// - Zoom window and pan run nested over the running command, which goes on
//   afterwards; while idle they run as a command of their own.
// - Zoom in: scene scale x 1.25, camera offset and depth of view x 0.8; zoom
//   out: x 0.75 and x 1 / 0.75 (the two are not inverse: in then out leaves
//   the scale at 0.9375).
// - The presets keep the camera's distance d from its target and put the
//   camera at Top (0, -0.000001 d, d), Front (0, -d, 0), Side (d, 0, 0),
//   Iso 0.577350258827209 d (1, -1, 1).
// - Before the popup opens: Done, Cancel and Coordinate are enabled exactly
//   while a command runs; the zoom and pan items are disabled while a zoom
//   window or pan runs or a command is suspended.
// - The toolbar's shortcuts (F2, Ctrl+F2, Shift+F2, Ctrl+F1, F3) work in the
//   whole main window, also while the toolbar is hidden.
// Main thread only.

#include <QObject>

#include <osg/Vec3d>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;
class TMainStatusBar;
class TQV_00Prog;
class TQV_01Cmp2D;
class TQVScene;

enum class TViewPreset { Top, Front, Side, Iso };

// The camera offset of a preset for the camera's distance d.
osg::Vec3d PresetOffset(TViewPreset preset, double d);

class TViewCommands final : public QObject {
public:
    static constexpr double ZoomInFactor = 1.25;
    static constexpr double ZoomOutFactor = 0.75;

    TViewCommands(QMainWindow& window, TQV_00Prog& prg, TQVScene& scene, TQV_01Cmp2D& document,
                  TMainStatusBar& statusBar);

    QToolBar& tbrView() const { return *m_tbrView; }
    QMenu& PopupDestro() const { return *m_PopupDestro; }
    // Opens the popup at a point of the viewer (its right mouse button).
    void ShowPopup(QWidget& viewer, const QPoint& position);

    void mnuAutozoomClick();
    void mnuZoomWindowClick();
    void mnuPanClick();
    void sbtRedrawClick();
    void sbtZoomInClick();
    void sbtZoomBackClick();
    void SetViewPreset(TViewPreset preset);
    // The enabling of the popup's items (see above).
    void PopupDestroPopup();

    // The typed-coordinate command (mnuCoord); set by the window.
    std::function<void()> CoordClick;

private:
    QAction* AddButton(const char* name, int image, const QKeySequence& shortcut, void (TViewCommands::*handler)());
    QAction* AddItem(const char* name, void (TViewCommands::*handler)());

    QMainWindow& m_Window;
    TQV_00Prog& m_Prg;
    TQVScene& m_Scene;
    TQV_01Cmp2D& m_Document;
    TMainStatusBar& m_StatusBar;
    QToolBar* m_tbrView = nullptr;
    QMenu* m_PopupDestro = nullptr;
    QAction* m_mnuDone = nullptr;
    QAction* m_mnuCancel = nullptr;
    QAction* m_mnuCoord = nullptr;
    QAction* m_mnuPan = nullptr;
    QAction* m_mnuAutozoom = nullptr;
    QAction* m_mnuZoomWindow = nullptr;
    QAction* m_mnuZoomIn = nullptr;
    QAction* m_mnuZoomOut = nullptr;
};
