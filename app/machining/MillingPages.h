#pragma once
// The contour, pocket and drilling pages of the tool window ("tabContour",
// "tabPocket", "tabDrill") and what they do while values are typed: which
// fields are enabled or shown, the Z-pass summary of the current operation,
// the explanatory pictures, the step-and-repeat group, the retract and
// holding-tab switches. Calculate and Cancel are bound by the machining
// commands (app/machining/MachiningCommands.h).
//
// Every handler that needs the current operation asks the machining context
// (app/machining/MachiningContext.h) and leaves the operation alone without
// one. Main thread only.

#include <functional>
#include <memory>
#include <string>

class QWidget;
class TfrmToolWin;
class TOpManagerField;
class TWidgetToolPage;

class TMillingPages {
public:
    // Builds the three pages on the window (AddPage) and fills the combo
    // boxes (InitOperationCombos).
    explicit TMillingPages(TfrmToolWin& window);
    ~TMillingPages();
    TMillingPages(const TMillingPages&) = delete;
    TMillingPages& operator=(const TMillingPages&) = delete;

    // The item texts of the method, depth-order and cut-rule lists from
    // the language file; first items selected (the depth order: item 1).
    void InitOperationCombos();

    // Enabling rules.
    void cboCCDirChange();
    void speConNRoughCutsChange();
    void speConNFinishCutsChange();
    void cboMethodChange();
    void cboPocTypeChange();
    void cboCycleChange();
    void chkMakeTabClick();

    // Z fields: the summary of the current operation in the page's labels.
    // contour: the contour page, else the pocket page.
    void IncPassChange(bool contour);
    void DepthChange(bool contour);
    // field: the top of part or the feed plane (or the pocket retract).
    void TopOrRapidChange(bool contour, const char* field);
    void RetractChange(bool contour);
    // The depth passes of a contour (kinds 1, 12) or pocket (2) from its
    // page's Z fields; other kinds are left alone.
    void ComputeDepthPasses(TOpManagerField& op);

    // Shows the step-and-repeat group of the page when its button is down,
    // else removes it (only when shown). kind: 1 or 12 contour, 2 pocket,
    // 9 laser cut, 13 laser pocket.
    void ToggleTransformGroup(int kind);

    // The tab-item handlers of the three pages.
    void tabContourClick();
    void tabPocketClick();
    void tabDrillClick();

    // The depth-cut order kept while contour method 1 is chosen.
    int RememberedDepthOrder = 0;
    // The holding-tab window (set by the machining commands; may be empty).
    std::function<void()> ShowTabWindow;

    TWidgetToolPage& Page() const { return *m_Page; }

private:
    QWidget* BuildContourPage();
    QWidget* BuildPocketPage();
    QWidget* BuildDrillPage();
    // The Z fields of the contour or pocket page: summary handlers,
    // pictures, retract switch.
    void BindZFields(QWidget& group, bool contour);
    void ShowSummary(bool contour);
    void SetPicture(const char* image, int index);
    // Binds a field's enter event to a picture (and the summary or not).
    void BindPicture(QWidget& field, const char* image, int index, int summary);

    TfrmToolWin& m_Window;
    std::unique_ptr<TWidgetToolPage> m_Page;
};
