#pragma once
// The parameters of an operation on the tool window's pages: FillPages
// copies them into the controls when an operation is opened for editing,
// ReadFromPages copies the controls back before a Calculate. Both run off
// one table of (operation kinds, control name, parameter field, control
// kind); controls are addressed by their component names through the
// window's page, and a control the window does not carry is skipped.
//
// ReadFromPages converts every text first and stores nothing unless all of
// them convert (the tool record's own reading included): a bad number
// leaves the parameters and the tool record as they were and names the
// text. Main thread only.

#include "cam/toolpath/ToolpathCurves.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TDatiUtBase;
class TOpManagerField;
class TQV_STLSurf;
class TToolPage;
class TWidgetToolPage;

// What the window runs while the pages are filled.
struct TFillPagesEvents {
    std::function<void()> CompSideChanged;   // compensation side other than none
    std::function<void(int order)> RememberDepthOrder;
    std::function<void()> MethodChanged;     // contour method
    std::function<void()> PocketTypeChanged;
    std::function<void()> CycleChanged;
    std::function<void()> FillTabWindow;     // the contour has holding tabs
    // After each control of the kind's table is filled, with its name (the
    // laser and lathe pages run their change handlers from it).
    std::function<void(std::string_view control)> AfterRow;
};

// The step-and-repeat edits of the contour and pocket pages, in order:
// X count, X step, Y count, Y step; none for other kinds.
const char* const* TransformEditNames(int kind);

// Fills the controls of the kind (1, 2, 3, 5, 7, 11, 12) and the chain page's
// shared ones; toolPage (may be null) gets the tool record.
void FillPages(TWidgetToolPage& page, TToolPage* toolPage, TOpManagerField& op, const TFillPagesEvents& events);

// Reads the controls back into op's parameters (kinds 1, 2, 3, 5, 12; other
// kinds read nothing and succeed). On a text that is no number: the text,
// quoted, and nothing stored; a tool page that refuses its values (it shows
// its own message) gives an empty text and nothing stored. None on success.
std::optional<std::string> ReadFromPages(const TWidgetToolPage& page, TToolPage* toolPage, TOpManagerField& op);

// An operation as a Calculate found it, to put back when the run fails or is
// stopped: the parameter values the pages and the depth passes write, its
// tool record, its Z summary texts and surface, and its toolpath. The
// toolpath is taken out of the operation (its curves are kept, not copied).
class TOperationSnapshot {
public:
    explicit TOperationSnapshot(TOpManagerField& op);
    ~TOperationSnapshot();
    TOperationSnapshot(const TOperationSnapshot&) = delete;
    TOperationSnapshot& operator=(const TOperationSnapshot&) = delete;

    // Puts everything back; what the failed run left in the toolpath goes.
    void Restore(TOpManagerField& op);

private:
    std::vector<double> m_Values;
    std::unique_ptr<TDatiUtBase> m_Tool;
    std::string m_DepthPassText1;
    std::string m_DepthPassText2;
    std::vector<TQV_STLSurf*> m_Surfaces;
    TListaDiCurve3d m_Toolpaths;
};
