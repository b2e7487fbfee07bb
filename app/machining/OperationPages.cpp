#include "app/machining/OperationPages.h"

#include "app/machining/LathePages.h"
// The laser pages.
#include "app/machining/LaserPages.h"
#include "app/machining/MachiningContext.h"
#include "app/machining/MillingPages.h"
#include "app/machining/OpComment.h"
#include "app/machining/PageParams.h"
#include "app/machining/ParallelPages.h"
#include "app/toolwin/ToolPageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cam/chains/TabPlacing.h"
#include "cam/drop/AdapDropCutter.h"
#include "cam/generators/Calculate2D.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "cam/ui/EntryExitDialogs.h"
#include "core/entities/QV_STLSurf.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

// The pages of an operation kind.
struct TKindPages {
    int Kind;
    int CCDir; // 1 enabled, 0 disabled, -1 unchanged
    const char* InfoLabel;
    int ChainHelp; // 0: unchanged
    const char* LeadButton;
    std::vector<std::string> Tabs;
    const char* Caption;
    int Width = 494;
    int Height = 428;
};

const std::vector<TKindPages>& KindPages()
{
    static const std::vector<TKindPages> table = {
        {1, 1, "lblChainInfo", 1200, "sbtConEntExi", {"tabTool", "tabChain", "tabContour"}, "twContour"},
        {2, 0, "lblChainInfo", 1300, "sbtPocEntExi", {"tabTool", "tabChain", "tabPocket"}, "twPocket"},
        {3, -1, "lblChainPtInfo", 0, nullptr, {"tabTool", "tabChainPt", "tabDrill"}, "twDrill"},
        {5, -1, "lblChainInfo", 0, nullptr, {"tabTool", "tabSizeLimits", "tabParallel"}, "twParallel"},
        {7, 1, "lblChainInfo", 1605, nullptr, {"tabLatheTool", "tabChain", "tabLatheFin"}, "twLatheFin", 494, 388},
        {8, -1, "lblChainInfo", 0, nullptr, {"tabLaserLib", "tabLaserEng"}, "twLaserEng", 494, 418},
        {9, 1, "lblChainInfo", 1200, "sbtCutEntExi", {"tabLaserLib", "tabChain", "tabLaserCut"}, "twLaserCut", 494, 418},
        {11, 0, "lblChainInfo", 1605, nullptr, {"tabLatheTool", "tabChain", "tabLatheRou"}, "twLatheRou", 494, 388},
        {12, 1, "lblChainInfo", 1200, "sbtConEntExi", {"tabTool", "tabLetters", "tabContour"}, "twLetters"},
        {13, 0, "lblChainInfo", 1300, "sbtLasPocEntExi", {"tabLaserLib", "tabChain", "tabLaserPocket"}, "twLaserPocket",
         494, 418},
    };
    return table;
}

// Focus in and out of an edit.
class TFocusFilter final : public QObject {
public:
    TFocusFilter(QObject* parent, std::function<void()> enter, std::function<void()> leave)
        : QObject(parent), m_Enter(std::move(enter)), m_Leave(std::move(leave))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            GuardedCall(m_Enter);
        else if (event->type() == QEvent::FocusOut)
            GuardedCall(m_Leave);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_Enter;
    std::function<void()> m_Leave;
};

// True the first time a control is asked for (it is bound then).
bool FirstBinding(QObject& control)
{
    if (control.property("kbMachiningBound").toBool())
        return false;
    control.setProperty("kbMachiningBound", true);
    return true;
}

TOpManagerField* Edited()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentOperation() : nullptr;
}

void Warn(const std::string& text)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, text, LangText(LangKeys::String::ErrorCaption));
}

// The 3D parallel finishing of the operation's surface, its progress shown
// with a percentage.
bool CalculateOperation3D(TOpManagerField& op, TWorkMonitor& monitor)
{
    op.ClearToolpaths();
    TParallelaAd generator;
    generator.Bind(&monitor, true);
    return generator.Run(op);
}

} // namespace

TOperationPages::TOperationPages(TfrmToolWin& window, TQtWorkMonitor* monitor)
    : m_Window(window), m_Monitor(monitor), m_Context(std::make_unique<TMachiningContext>())
{
    m_PreviousContext = SetMachiningContext(m_Context.get());
    m_Milling = std::make_unique<TMillingPages>(window);
    m_Parallel = std::make_unique<TParallelPages>(window, m_Milling->Page());
    // Lathe pages: their buttons are captioned before the pages show.
    m_Lathe = std::make_unique<TLathePages>(window, m_Milling->Page());
    KindShowing.push_back([this](int kind) { m_Lathe->KindShowing(kind); });
    // The laser pages: built before their buttons are bound below; their
    // lists are filled with the milling ones.
    m_Laser = std::make_unique<TLaserPages>(window, *m_Milling);
    m_Milling->InitOperationCombos();
    m_Laser->FillTabWindow = [this] {
        if (FillTabWindow)
            FillTabWindow();
    };
    KindShowing.push_back([this](int kind) { m_Laser->KindShowing(kind); });
    const auto bind = [this](const char* name, void (TOperationPages::*handler)()) {
        if (auto* button = m_Window.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            QObject::connect(button, &QAbstractButton::clicked, button, [this, handler] {
                GuardedCall([this, handler] { (this->*handler)(); });
            });
    };
    for (const char* name : {"sbtConCalculate", "sbtPocCalculate", "sbtDriCalculate", "sbtParCalculate"})
        bind(name, &TOperationPages::CalculateClick);
    // The laser pages' Calculate buttons are left unbound: they do nothing.
    for (const char* name : {"sbtConCancel", "sbtPocCancel", "sbtDriCancel", "sbtParCancel", "sbtLasEngCancel",
                             "sbtLasCutCancel", "sbtLasPocCancel"})
        bind(name, &TOperationPages::sbtConCancelClick);
    for (const char* name : {"sbtConEntExi", "sbtPocEntExi", "sbtCutEntExi", "sbtLasPocEntExi"}) {
        if (auto* button = m_Window.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, name] { GuardedCall([this, name] { sbtEntExiClick(name); }); });
    }
    m_Window.HideHooks.push_back([this] { FormHide(); });
    // The compensation list starts off, with its rules applied.
    if (auto* side = m_Window.findChild<QComboBox*>(QStringLiteral("cboCCDir"))) {
        side->setCurrentIndex(0);
        m_Milling->cboCCDirChange();
    }
}

TOperationPages::~TOperationPages()
{
    if (HideTabWindow)
        HideTabWindow();
    m_Context->SetCurrentOpComment(nullptr);
    SetMachiningContext(m_PreviousContext);
}

void TOperationPages::OperationDeleting(const TOpManagerField& op)
{
    if (Edited() != &op)
        return;
    if (m_Window.isVisible())
        m_Window.hide();
    if (HideTabWindow)
        HideTabWindow();
    m_Context->SetCurrentOpComment(nullptr);
}

TToolPage* TOperationPages::ToolPage(int kind) const
{
    // Lathe pages: the lathe kinds' tool page.
    if (IsLatheKind(kind))
        return ToolLibraryViews().LathePage;
    // The laser settings page for the laser kinds.
    if (IsLaserKind(kind))
        return ToolLibraryViews().LaserPage;
    return ToolLibraryViews().MillPage;
}

// --- Pages of a kind ------------------------------------------------------------------

void TOperationPages::BindSharedControls()
{
    if (auto* side = m_Window.findChild<QComboBox*>(QStringLiteral("cboCCDir")); side && FirstBinding(*side))
        QObject::connect(side, &QComboBox::activated, side,
                         [this] { GuardedCall([this] { m_Milling->cboCCDirChange(); }); });
    for (const char* name : {"txtOpComment", "txtOpCommentLa"}) {
        if (auto* edit = m_Window.findChild<QLineEdit*>(QString::fromLatin1(name)); edit && FirstBinding(*edit))
            edit->installEventFilter(new TFocusFilter(
                edit, [this] { txtOpCommentEnter(); }, [this] { txtOpCommentExit(); }));
    }
}

void TOperationPages::PrepareCompensationChoices(int kind)
{
    TWidgetToolPage& page = m_Milling->Page();
    const bool lathe = IsLatheKind(kind);
    for (const char* name : {"chkInOutMid", "sbtCCOffset", "txtCCOffset"})
        page.SetVisible(name, !lathe);
    page.SetEnabled("sbtChainPos", lathe);
    auto* side = qobject_cast<QComboBox*>(page.Find("cboCCDir"));
    if (!side)
        return;
    using namespace LangKeys::String;
    const std::array<std::string_view, 3> keys = lathe ? std::array<std::string_view, 3>{LatheSide0, LatheSide1, LatheSide2}
                                                       : std::array<std::string_view, 3>{CompSideOff, CompSideOutside,
                                                                                         CompSideInside};
    {
        const QSignalBlocker quiet(side);
        side->clear();
        for (std::string_view key : keys)
            side->addItem(AnsiToQString(LangText(key)));
        side->setCurrentIndex(-1);
    }
    int item = 0;
    if (kind == OpKind::LatheFinish)
        item = 1;
    else if (kind == OpKind::Pocket || kind == OpKind::LaserPocket)
        item = 2;
    // The kinds with a fixed side show "2813" over their item; the list is
    // disabled for them (KindPages), so its text cannot be typed.
    const bool fixed = kind == OpKind::LatheRough || kind == OpKind::Pocket || kind == OpKind::LaserPocket;
    side->setEditable(fixed);
    if (fixed)
        side->lineEdit()->setReadOnly(true);
    side->setCurrentIndex(item);
    if (fixed)
        page.SetText("cboCCDir", LangText(CompSideFixed));
}

void TOperationPages::setButtonFreEntExi(const char* button)
{
    TOpManagerField* op = Edited();
    auto* control = qobject_cast<QAbstractButton*>(m_Milling->Page().Find(button));
    if (!op || !control)
        return;
    const TParametriOperazione& p = *op->Parameters;
    std::string caption;
    if (p.LeadInKind > 0 && p.LeadInLength > 0)
        caption = LangText(LangKeys::String::LeadEntry) + FormatCoord(p.LeadInLength) + " ";
    if (p.LeadOutKind > 0 && p.LeadOutLength > 0)
        caption += LangText(LangKeys::String::LeadExit) + FormatCoord(p.LeadOutLength);
    const bool down = !caption.empty();
    if (!down)
        caption = LangText(LangKeys::String::LeadButtonNone) + " " + LangText(LangKeys::String::LeadButtonSet);
    control->setText(AnsiToQString(caption));
    control->setCheckable(true);
    control->setChecked(down);
}

void TOperationPages::ImpostaDialoghi(int kind)
{
    TWidgetToolPage& page = m_Milling->Page();
    BindSharedControls();
    PrepareCompensationChoices(kind);
    for (const TKindPages& row : KindPages()) {
        if (row.Kind != kind)
            continue;
        if (row.CCDir >= 0)
            page.SetEnabled("cboCCDir", row.CCDir == 1);
        page.SetText(row.InfoLabel, std::string());
        if (row.ChainHelp != 0) {
            if (QWidget* sheet = m_Window.Sheet("tabChain"))
                sheet->setProperty("helpContext", row.ChainHelp);
        }
        if (row.LeadButton)
            setButtonFreEntExi(row.LeadButton);
        for (const auto& hook : KindShowing)
            hook(kind);
        m_Window.ShowPages(row.Tabs, row.Caption, row.Width, row.Height);
    }
    TOpManagerField* op = Edited();
    // The laser settings page has its own comment edit.
    auto* comment = qobject_cast<QLineEdit*>(page.Find(IsLaserKind(kind) ? "txtOpCommentLa" : "txtOpComment"));
    m_Context->SetCurrentOpComment(op && comment ? std::make_unique<TOpComment>(comment, op) : nullptr);
}

// --- Editing and Calculate ----------------------------------------------------------------

void TOperationPages::Edit(TOpManagerField& op)
{
    op.Calculated = 1;
    op.IsNew = 0;
    m_Context->SetCurrentOperation(&op);
    op.Parameters->SelectToolLibrary(op.Kind, false);
    ImpostaDialoghi(op.Kind);
    TFillPagesEvents events;
    events.CompSideChanged = [this] { m_Milling->cboCCDirChange(); };
    events.RememberDepthOrder = [this](int order) { m_Milling->RememberedDepthOrder = order; };
    events.MethodChanged = [this] { m_Milling->cboMethodChange(); };
    events.PocketTypeChanged = [this] { m_Milling->cboPocTypeChange(); };
    events.CycleChanged = [this] { m_Milling->cboCycleChange(); };
    events.FillTabWindow = [this] {
        if (FillTabWindow)
            FillTabWindow();
    };
    // Lathe pages: a switch captions its button; the 3D roughing switch
    // enables its increment; the laser pages' partner buttons and change
    // handlers.
    events.AfterRow = [this, &op](std::string_view control) {
        m_Lathe->AfterRow(control);
        if (control == "chkParRough")
            m_Parallel->chkParRoughClick();
        m_Laser->AfterFillRow(control, op);
    };
    FillPages(m_Milling->Page(), ToolPage(op.Kind), op, events);
    // The page shows the operation's tool: so does the list.
    if (TLibreriaUtBase* library = CurrentToolLibrary(); library && op.Parameters->ToolData)
        library->SelectRecordOf(*op.Parameters->ToolData);
    m_Milling->chkMakeTabClick();
    static constexpr int ChainKinds[] = {1, 2, 3, 7, 9, 11, 12};
    if (std::find(std::begin(ChainKinds), std::end(ChainKinds), op.Kind) != std::end(ChainKinds)) {
        op.Chains.Redraw(op.Kind == OpKind::Drilling);
        if (op.Parameters->Tabs.Count() > 0) {
            ResnapTabs(op.Chains, op.Parameters->Tabs);
            SnapAndShowTabs(op.Chains, op.Parameters->Tabs);
        }
        RepaintViews();
    }
}

void TOperationPages::RepaintViews() const
{
    // The chains' scene objects changed: the view shows them at once.
    if (TQV_01Cmp2D* document = m_Window.Document())
        document->RepaintViewports();
}

bool TOperationPages::PrepareCalculation(TOpManagerField& op)
{
    if (op.Chains.Count() == 0 && op.Kind != OpKind::LaserEngrave) {
        Warn(LangText(LangKeys::String::NoChainsForTabs));
        return false;
    }
    return ReadPages(op);
}

bool TOperationPages::ReadPages(TOpManagerField& op)
{
    if (const std::optional<std::string> bad = ReadFromPages(m_Milling->Page(), ToolPage(op.Kind), op)) {
        // An empty text: the tool page has shown its own message.
        if (!bad->empty())
            Warn(LangText(LangKeys::String::PageBadNumber) + " " + *bad);
        return false;
    }
    // Letters page: the label's editors go once the pages were read.
    if (op.Kind == OpKind::Letters && LettersRead)
        LettersRead();
    // The depth passes follow the Z fields as they stand, also when no Z
    // field was touched since the pages were shown.
    m_Milling->ComputeDepthPasses(op);
    op.ClearToolpaths();
    return true;
}

TQV_STLSurf* TOperationPages::Surface() const
{
    TQV_01Cmp2D* document = m_Window.Document();
    return document ? dynamic_cast<TQV_STLSurf*>(document->GetObjectByID(0)) : nullptr;
}

bool TOperationPages::Prepare3DCalculation(TOpManagerField& op)
{
    TQV_STLSurf* surface = Surface();
    if (!surface) {
        Warn(LangText(LangKeys::String::NoStlSurface));
        m_Window.RequestHide();
        return false;
    }
    // The surface of this run only: one opened since may have replaced the
    // one of an earlier Calculate.
    op.SurfaceObjects.assign(1, surface);
    // A bad number keeps the window, with what was typed.
    return ReadPages(op);
}

bool TOperationPages::Calculate()
{
    TOpManagerField* op = Edited();
    if (!op || m_Running)
        return false;
    if (m_Monitor)
        m_Monitor->ClearUserBreak();
    const bool surface = op->Kind == OpKind::Parallel3D;
    // A listed operation that is not calculated anew (a bad value, a refusal,
    // a failure, the user's break) stays as it was, parameters and toolpath.
    std::optional<TOperationSnapshot> before;
    if (m_Context->NewOperation() != op)
        before.emplace(*op);
    const auto restore = [&] {
        if (before)
            before->Restore(*op);
    };
    if (!(surface ? Prepare3DCalculation(*op) : PrepareCalculation(*op))) {
        restore();
        return false;
    }
    TWorkMonitor& monitor = m_Monitor ? static_cast<TWorkMonitor&>(*m_Monitor) : WorkMonitor();
    bool calculated = false;
    {
        m_Running = true;
        TBusySection busy(monitor);
        try {
            calculated = surface ? CalculateOperation3D(*op, monitor) : CalculateOperation2D(*op, &monitor);
        } catch (const std::exception&) {
            m_Running = false;
            // A new operation goes; a listed one stays as it is.
            if (HideTabWindow)
                HideTabWindow();
            restore();
            m_Context->FreeNewOperation();
            Warn(LangText(LangKeys::String::ToolBadNumber));
            return false;
        }
        m_Running = false;
    }
    // A failed run has told the user why; the window stays. A run that
    // ends with nothing to machine (a pocket smaller than the tool) is no
    // success either.
    if (calculated && op->ToolpathVertexCount() == 0) {
        Warn(LangText(LangKeys::String::ToolBadNumber));
        calculated = false;
    }
    if (!calculated) {
        restore();
        return false;
    }
    op->Calculated = 1;
    const int32_t seconds = ShowWholePath ? ShowWholePath(*op) : 0;
    if (ShowInfoText)
        ShowInfoText(LangText(LangKeys::String::SimMachiningTime) + SecondsToHMS(seconds));
    const bool added = m_Context->NewOperation() == op;
    if (added)
        OpManager().AddOperation(m_Context->ReleaseNewOperation());
    if (TreeChanged)
        TreeChanged(*op, added);
    m_Window.RequestHide();
    return true;
}

void TOperationPages::sbtConCancelClick()
{
    m_Window.RequestHide();
}

void TOperationPages::FormHide()
{
    // The holding-tab window belongs to the pages of the operation.
    if (HideTabWindow)
        HideTabWindow();
    if (TOpManagerField* op = Edited()) {
        op->Chains.ClearDrawing();
        RepaintViews();
        if (!op->Calculated)
            m_Context->FreeNewOperation();
        SetCurrentToolLibrary(nullptr);
    }
    m_Context->SetCurrentOpComment(nullptr);
}

// --- Shared handlers ------------------------------------------------------------------------

void TOperationPages::sbtEntExiClick(const char* button)
{
    TOpManagerField* op = Edited();
    if (!op)
        return;
    TParametriOperazione& p = *op->Parameters;
    auto* dialog = new TFresaEntryExit(p, &m_Window);
    dialog->setObjectName(QStringLiteral("TFresaEntryExit"));
    UserNotifier().RunDialog("TFresaEntryExit", [dialog] { return dialog->Execute(); });
    // The four values go together, only when both lengths are numbers.
    try {
        const double in = dialog->GetLength(0);
        const double out = dialog->GetLength(1);
        p.LeadInKind = dialog->GetKind(0);
        p.LeadInLength = in;
        p.LeadOutKind = dialog->GetKind(1);
        p.LeadOutLength = out;
    } catch (const EConvertError& error) {
        Warn(error.what());
    }
    setButtonFreEntExi(button);
    delete dialog;
}

void TOperationPages::txtOpCommentEnter()
{
    if (TOpComment* comment = m_Context->CurrentOpComment())
        comment->Enter();
}

void TOperationPages::txtOpCommentExit()
{
    if (TOpComment* comment = m_Context->CurrentOpComment())
        comment->Exit();
}
