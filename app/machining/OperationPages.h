#pragma once
// The tool window's side of a machining operation: the choice of pages for
// an operation kind (ImpostaDialoghi), opening an operation for editing
// (Edit), the Calculate road with its precondition, Cancel, and the
// handlers the pages share (compensation choices, the lead-in and
// lead-out buttons, the comment edit).
//
// It makes and installs the machining context (app/machining/
// MachiningContext.h) and the milling pages. Controls of other pages (the
// chain page's compensation list, the tool page's comment edit) are found
// by their component names when an operation's pages are prepared; what
// is missing is left out.
//
// Calculate converts every value of the pages before it stores one; a bad
// number is reported and nothing changes. A run that fails keeps the
// window open and the operation uncalculated and out of the list; an
// exception frees a new operation. While a calculation runs the window is
// busy (a second Calculate, Cancel and the close box do nothing). Main
// thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TfrmToolWin;
class TLathePages;
// The laser pages.
class TLaserPages;
class TMachiningContext;
class TMillingPages;
class TOpManagerField;
class TParallelPages;
class TQV_STLSurf;
class TQtWorkMonitor;
class TToolPage;

class TOperationPages {
public:
    // monitor may be null (no break flag).
    TOperationPages(TfrmToolWin& window, TQtWorkMonitor* monitor);
    ~TOperationPages();
    TOperationPages(const TOperationPages&) = delete;
    TOperationPages& operator=(const TOperationPages&) = delete;

    TMachiningContext& Context() const { return *m_Context; }
    // Run before an operation is deleted. When it is the one being edited,
    // its pages close first (what they hold is stored into it while it is
    // still there), the holding-tab window lets go of its tab list and the
    // comment edit of the operation.
    void OperationDeleting(const TOpManagerField& op);
    TMillingPages& Milling() const { return *m_Milling; }
    // Lathe pages: finishing and roughing.
    TLathePages& Lathe() const { return *m_Lathe; }
    // The 3D parallel pages.
    TParallelPages& Parallel() const { return *m_Parallel; }
    // The laser pages.
    TLaserPages& Laser() const { return *m_Laser; }

    // What Calculate does in the main window after a success: the forced
    // whole-path display (returning the machining time in seconds), the
    // view's information line, and the operations tree (a new operation's
    // node, or the refreshed node of a listed one). Each may be empty.
    std::function<int32_t(TOpManagerField& op)> ShowWholePath;
    std::function<void(const std::string& text)> ShowInfoText;
    std::function<void(TOpManagerField& op, bool added)> TreeChanged;
    // Fills the holding-tab window from the current operation's tabs (an
    // operation with tabs opened for editing). May be empty.
    std::function<void()> FillTabWindow;
    // Unbinds and hides the holding-tab window; run before an operation it
    // may show is freed. May be empty.
    std::function<void()> HideTabWindow;
    // Run by ImpostaDialoghi for a kind with pages, after the shared
    // controls are prepared and before the pages show (the kind's own
    // buttons and read-only fields).
    std::vector<std::function<void(int kind)>> KindShowing;
    // Letters page: run when the pages of a letters operation were read
    // for its Calculate (its label editors go). May be empty.
    std::function<void()> LettersRead;

    // Prepares and shows the pages of the current operation's kind.
    void ImpostaDialoghi(int kind);
    void PrepareCompensationChoices(int kind);
    // The caption and down state of a lead-in and lead-out button.
    void setButtonFreEntExi(const char* button);

    // Opens a listed operation for editing (it becomes current).
    void Edit(TOpManagerField& op);
    // The precondition of a 2D Calculate: chains, then every page value.
    bool PrepareCalculation(TOpManagerField& op);
    // The 3D surface: the drawing's object 0 when it is an STL surface,
    // else null.
    TQV_STLSurf* Surface() const;
    // The precondition of a 3D Calculate: the surface (else "2600" and the
    // window hides), then every page value.
    bool Prepare3DCalculation(TOpManagerField& op);
    // The Calculate buttons of the contour, pocket, drilling and 3D pages; true
    // when the operation was calculated (the window then hides).
    bool Calculate();
    void CalculateClick() { Calculate(); }
    // Cancel of every operation page: hides the window.
    void sbtConCancelClick();

    void sbtEntExiClick(const char* button);
    void txtOpCommentEnter();
    void txtOpCommentExit();

    bool Running() const { return m_Running; }

private:
    // Binds the handlers of other pages' controls once they exist.
    void BindSharedControls();
    // The hide of the window: chains undrawn, a never-calculated operation
    // freed, the tool library and the comment binding freed.
    void FormHide();
    // The tool page of an operation kind.
    TToolPage* ToolPage(int kind) const;
    // Reads the pages into op's parameters and clears its toolpaths; a bad
    // number is reported and stores nothing.
    bool ReadPages(TOpManagerField& op);
    void RepaintViews() const;

    TfrmToolWin& m_Window;
    TQtWorkMonitor* m_Monitor;
    std::unique_ptr<TMachiningContext> m_Context;
    TMachiningContext* m_PreviousContext = nullptr;
    std::unique_ptr<TMillingPages> m_Milling;
    std::unique_ptr<TLathePages> m_Lathe; // lathe pages
    std::unique_ptr<TParallelPages> m_Parallel;
    // The laser pages.
    std::unique_ptr<TLaserPages> m_Laser;
    bool m_Running = false;
};
