#pragma once
// The main window's status bar (tbrStatusBar), left to right: the progress
// bar of long work (hidden), the cursor read-out, the notice, the object
// snap drop-down button with its menu, the ortho and window-selection
// switches, the axes and grid switches, Cancel and Done, the current-layer
// button and the swatch of its pen colour.
//
// Promises:
// - The snap items, ortho and window selection are one QAction each, shown
//   both here and in the drawing view's popup, so the twins cannot differ.
//   The five snap modes are radio items of which none or one is checked.
// - Checking a snap item sets the program's snap mode (9, 11, 13, 15, 17)
//   and the snap image (1 to 5); unchecking it sets mode 0 and image 0. The
//   snap button shows the snap image, plus 6 while grid snap is on.
// - Grid snap switched here goes through the grid setter (cad/SetGrid.h),
//   which shows it back through ShowSnapToGrid; the setter's own change is
//   not taken for the user's.
// - A right-button press on the bar at x below 23, or between 92 and 115
//   (both exclusive), opens the grid dialog.
// Main thread only.

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMainWindow;
class QMenu;
class QProgressBar;
class QStatusBar;
class QToolButton;
class TAppConfig;
class TQV_00Prog;
class TQVScene;

class TMainStatusBar final : public QObject {
public:
    static constexpr int SnapCount = 5;
    // The image added to the snap image while grid snap is on.
    static constexpr int GridSnapImageOffset = 6;

    TMainStatusBar(QMainWindow& window, TQV_00Prog& prg, TQVScene& scene, TAppConfig& config);

    QStatusBar& Bar() const { return *m_Bar; }
    QProgressBar* ProgressBar1() const { return m_ProgressBar1; }
    QLabel* lblCoordinate() const { return m_lblCoordinate; }
    QLabel* StatusBarMess() const { return m_StatusBarMess; }
    QToolButton& sbtSnap() const { return *m_sbtSnap; }
    QToolButton& sbtLayer() const { return *m_sbtLayer; }
    QLabel& SpTBXCLCol() const { return *m_SpTBXCLCol; }
    QToolButton& sbtAxisOnOff() const { return *m_sbtAxisOnOff; }
    QToolButton& sbtGridOnOff() const { return *m_sbtGridOnOff; }
    QToolButton& sbtCancel() const { return *m_sbtCancel; }
    QToolButton& sbtDone() const { return *m_sbtDone; }

    // The twins of the view popup.
    const std::array<QAction*, SnapCount>& SnapItems() const { return m_SnapItems; }
    QAction& mnuSBSnap2Grid() const { return *m_mnuSBSnap2Grid; }
    QAction& mnuSBGridSet() const { return *m_mnuSBGridSet; }
    QAction& mnuOrtho() const { return *m_mnuOrtho; }
    QAction& mnuWinSelect() const { return *m_mnuWinSelect; }
    QMenu& SnapMenu() const { return *m_SnapMenu; }

    // The image of the last chosen snap mode, 0 to 5.
    int SnapImage() const { return m_SnapImage; }
    // Shows grid snap on or off (items and snap image); changes nothing else.
    void ShowSnapToGrid(bool on);
    // The grid and axes buttons, without their handlers.
    void SetGridButtonDown(bool down);
    void SetAxisButtonDown(bool down);
    // The pen colour of the current layer on the swatch.
    void SetLayerColor(uint32_t color);

    // Cancel and Done of the running command.
    void mnuCancelClick();
    void mnuDoneClick();

    // Open the layer and the grid dialog modally; set by the window.
    std::function<void()> OpenLayerDialog;
    std::function<void()> OpenGridDialog;
    // Shows a status text (the notice item).
    std::function<void(int slot)> ShowStatusSlot;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSnapMenu();
    void SnapItemClicked(QAction* item);
    void UpdateSnapButton();
    QToolButton* AddButton(const char* name, int image, bool checkable);

    QMainWindow& m_Window;
    TQV_00Prog& m_Prg;
    TQVScene& m_Scene;
    TAppConfig& m_Config;
    QStatusBar* m_Bar = nullptr;
    QProgressBar* m_ProgressBar1 = nullptr;
    QLabel* m_lblCoordinate = nullptr;
    QLabel* m_StatusBarMess = nullptr;
    QToolButton* m_sbtSnap = nullptr;
    QToolButton* m_sbtUseOrtho = nullptr;
    QToolButton* m_sbtWinSel = nullptr;
    QToolButton* m_sbtAxisOnOff = nullptr;
    QToolButton* m_sbtGridOnOff = nullptr;
    QToolButton* m_sbtCancel = nullptr;
    QToolButton* m_sbtDone = nullptr;
    QToolButton* m_sbtLayer = nullptr;
    QLabel* m_SpTBXCLCol = nullptr;
    QMenu* m_SnapMenu = nullptr;
    QAction* m_mnuSBSnapTo = nullptr;
    std::array<QAction*, SnapCount> m_SnapItems{};
    QActionGroup* m_SnapGroup = nullptr;
    QAction* m_mnuSBSnap2Grid = nullptr;
    QAction* m_mnuSBGridSet = nullptr;
    QAction* m_mnuOrtho = nullptr;
    QAction* m_mnuWinSelect = nullptr;
    int m_SnapImage = 0;
};

// The status slots of the notices the status bar shows itself.
namespace StatusSlot {
inline constexpr int LayerDialog = 2;
inline constexpr int GridDialog = 3;
} // namespace StatusSlot
