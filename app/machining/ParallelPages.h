#pragma once
// The pages of the 3D parallel finishing operation: the stock-limit page
// ("tabSizeLimits": feed plane, top and bottom Z, the XY margins and the
// boundary chain) and the parallel page ("tabParallel": step-over, angle,
// resolution, stock to leave, roughing, Calculate and Cancel, which the
// operation pages bind).
//
// The stock-limit fields drive the view's stock solid (StockSolid()) while
// they are typed: the solid stands from the bottom Z up to the top Z (the
// top field is a Z, not a height) and its outline is the stored box
// widened by the margins (a negative margin narrows it). Unfinished
// numbers ("", ".", "-") are ignored. The feed plane and the rough
// increment have no Z summary of their own and leave the contour page's
// alone.
//
// Every handler that needs the current operation asks the machining context
// and does nothing without one. Main thread only.

#include <optional>
#include <span>

class QWidget;
class TfrmToolWin;
class TWidgetToolPage;
struct TBox3D;

class TParallelPages {
public:
    // Builds both pages on the window (AddPage); page finds their controls.
    TParallelPages(TfrmToolWin& window, TWidgetToolPage& page);
    ~TParallelPages();
    TParallelPages(const TParallelPages&) = delete;
    TParallelPages& operator=(const TParallelPages&) = delete;

    // A new 3D operation over a surface: the bottom gets the box's lowest Z
    // at full precision, the top its highest Z in the coordinate format,
    // the boundary label its "no chain" text.
    void ShowSurfaceLimits(const TBox3D& surfaceBox);

    void tabSizeLimitsClick();
    void tabParallelClick();
    void txt3DMarginXChange();
    void txt3DMarginYChange();
    void txt3DParZBottomChange();
    void txt3DParZTopChange();
    void sbt3dChainClick();
    void sbt3dDelChainClick();
    void chkParRoughClick();

private:
    struct TFieldForm;
    // A number field of a page: its label, field, design text, key filter,
    // picture and change handler (may be null).
    struct TFieldRow {
        const char* Label;
        const char* Text;
        const char* Name;
        const char* Value;
        char (*Filter)(char key);
        int Picture;
        void (TParallelPages::*Change)();
    };
    // The rows into the form, each showing its picture in image on entry.
    void AddFields(TFieldForm& form, const char* image, std::span<const TFieldRow> rows);
    QWidget* BuildSizeLimitsPage();
    QWidget* BuildParallelPage();
    // The field's number when its text is usable.
    std::optional<double> Usable(const char* field) const;
    // The stock's height from the top field over the given bottom.
    void ApplyTop(double bottom);
    void RepaintView();

    TfrmToolWin& m_Window;
    TWidgetToolPage& m_Page;
};
