#pragma once
// The laser engraving, cut and pocket pages of the tool window
// ("tabLaserEng", "tabLaserCut", "tabLaserPocket") and what they do while
// values are typed: the raster and vector groups, the explanatory
// pictures, the cut method's rules and holding tabs, the pocket type, the
// step-and-repeat group. Their Calculate buttons do nothing: no toolpath is
// made for a laser operation here. Cancel and the lead buttons are bound by
// the operation pages (app/machining/OperationPages.h).
//
// The pages only show what the operation stores; the operation pages fill
// them (FillPages) and run AfterFillRow after each filled control. Main
// thread only.

#include <functional>
#include <string>
#include <string_view>

class QWidget;
class TBitmap2D;
class TfrmToolWin;
class TMillingPages;
class TOpManagerField;
class TWidgetToolPage;

// The engraving's pixel size: text "strPixelDim", " X=", the bitmap's width
// in drawing units over its width in pixels, ", Y=", the same for the
// height (FormatCoord). Empty without a bitmap or pixels.
std::string LaserPixelSizeText(const TBitmap2D* bitmap);

class TLaserPages {
public:
    // Builds the three pages on the window (AddPage); milling gives the
    // window's page, the step-and-repeat group and the holding-tab window.
    TLaserPages(TfrmToolWin& window, TMillingPages& milling);
    TLaserPages(const TLaserPages&) = delete;
    TLaserPages& operator=(const TLaserPages&) = delete;

    // Engraving page.
    void tabLaserEngClick();
    void rbtLasRasMetClick();
    void cboLaserCMChange();
    // Cut page.
    void tabLaserCutClick();
    void cboLasCutMethodChange();
    void chkLasMakeTabClick();
    void sbtLasCutXformClick();
    // Pocket page.
    void tabLaserPocketClick();
    void cboLasPocTypeChange();
    void sbtLasPocXformClick();

    // Before the pages of kind show: the engraving's pixel size.
    void KindShowing(int kind);
    // After FillPages filled a control of op's page: the partner radio
    // button and the change handlers.
    void AfterFillRow(std::string_view control, const TOpManagerField& op);
    // Fills the holding-tab window (an operation with tabs opened for
    // editing). May be empty.
    std::function<void()> FillTabWindow;

private:
    QWidget* BuildEngravePage();
    QWidget* BuildCutPage();
    QWidget* BuildPocketPage();
    void SetPicture(const char* image, int index);
    // "tabLaserCut" and "tabLaserPocket": status text, width, the
    // step-and-repeat group.
    void ParameterTabClick(int kind);

    TfrmToolWin& m_Window;
    TMillingPages& m_Milling;
    TWidgetToolPage& m_Page;
};
