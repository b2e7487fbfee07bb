#include "app/toolwin/ChainPages.h"

#include "app/machining/MachiningContext.h"
#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cad/ui/AnsiText.h"
#include "cam/chains/Catena.h"
#include "cam/chains/ChainPicking.h"
#include "cam/chains/EntXCatena.h"
#include "cam/ops/OpManager.h"
#include "cam/ui/frmChainSet.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using toolwin::Button;
using toolwin::Make;
using toolwin::NumberEdit;

namespace {

// The chain pages' client width.
constexpr int kChainPageWidth = 348;

// Groups of operation kinds whose chains may be reused one for the other:
// contour and pocket, the lathe kinds, laser cut. Kinds outside every group
// never match (the last operation's 255, the current one's 0).
int ReuseGroup(int kind, int none)
{
    switch (kind) {
    case OpKind::Contour:
    case OpKind::Pocket: return 1;
    case OpKind::LatheFinish:
    case OpKind::LatheRough: return 2;
    case OpKind::LaserCut: return 3;
    default: return none;
    }
}

// The list of the last operation (the one before a new current one) when
// it is not the current operation itself.
TOpManagerField* LastOperationBefore(const TOpManagerField& current)
{
    TOpManagerField* last = OpManager().LastOperation();
    return last != &current ? last : nullptr;
}

} // namespace

TChainPages::TChainPages(TfrmToolWin& window, TQV_00Prog& prg) : QObject(&window), m_Window(window), m_Prg(prg)
{
    const auto tabClick = [this](std::string_view status) {
        return [this, status] {
            if (m_Window.ShowStatusMessage)
                m_Window.ShowStatusMessage(LangText(status));
            m_Window.resize(kChainPageWidth, m_Window.height());
            m_Window.update();
            ShowChainDisplay();
        };
    };
    m_Window.AddPage("tabChain", BuildChainSheet(), tabClick(LangKeys::String::StatusChainPage));
    m_Window.AddPage("tabChainPt", BuildPointSheet(), tabClick(LangKeys::String::StatusDrillPage));
    m_Window.HideHooks.push_back([this] { ResetSort(); });
    SetChainContext(this);
}

TChainPages::~TChainPages()
{
    // The default comes back: the context installed before may be gone
    // (a window made while another still stood).
    if (&ChainContext() == this)
        SetChainContext(nullptr);
}

// --- Building ---------------------------------------------------------------------

QGridLayout* TChainPages::ButtonGroup(QWidget* sheet, const char* name, const char* title,
                                      std::span<const TPageButton> buttons, QPointer<QWidget>& group)
{
    auto* box = Make<QGroupBox>(sheet, name, QString::fromLatin1(title));
    box->setFocusPolicy(Qt::StrongFocus); // the handlers give it the focus
    group = box;
    auto* grid = new QGridLayout(box);
    int i = 0;
    for (const TPageButton& b : buttons) {
        QPushButton* button = Button(box, b.Name, b.Text);
        connect(button, &QPushButton::clicked, this, [this, click = b.Click] { Run(click); });
        grid->addWidget(button, i / 3, i % 3);
        ++i;
    }
    return grid;
}

QWidget* TChainPages::BuildChainSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetChain");
    auto* layout = new QVBoxLayout(sheet);

    const TPageButton buttons[] = {
        {"sbtChainAll", "All", &TChainPages::sbtChainAllClick},
        {"sbtChain", "Chain", &TChainPages::sbtChainClick},
        {"sbtChainSel", "Select", &TChainPages::sbtChainSelClick},
        {"sbtChainWSel", "Window", &TChainPages::sbtChainWSelClick},
        {"sbtChainRev", "Reverse", &TChainPages::sbtChainRevClick},
        {"sbtDelLastChain", "Delete last", &TChainPages::sbtDelLastChainClick},
        {"sbtDelAllChains", "Delete all", &TChainPages::sbtDelAllChainsClick},
        {"sbtChainLast", "As last", &TChainPages::sbtChainLastClick},
        {"sbtChainsSet", "Chain list", &TChainPages::sbtChainsSetClick},
    };
    QGridLayout* grid = ButtonGroup(sheet, "grpChain", "Chains", buttons, m_grpChain);
    QWidget* grpChain = m_grpChain;
    const int i = static_cast<int>(std::size(buttons));
    // The lathe position pick: enabled by the lathe pages only.
    QPushButton* sbtChainPos = Button(grpChain, "sbtChainPos", "Position");
    sbtChainPos->setEnabled(false);
    connect(sbtChainPos, &QPushButton::clicked, this, [this] { Run(&TChainPages::sbtChainPtClick); });
    grid->addWidget(sbtChainPos, i / 3, i % 3);
    m_chkLayerPriority = Make<QCheckBox>(grpChain, "chkLayerPriority", QStringLiteral("Layer by layer"));
    connect(m_chkLayerPriority, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkLayerPriorityClick(); }); });
    grid->addWidget(m_chkLayerPriority, i / 3 + 1, 0, 1, 3);
    m_lblChainInfo = Make<QLabel>(grpChain, "lblChainInfo");
    grid->addWidget(m_lblChainInfo, i / 3 + 2, 0, 1, 3);
    layout->addWidget(grpChain);

    auto* grpCComp = Make<QGroupBox>(sheet, "grpCComp", QStringLiteral("Compensation"));
    auto* comp = new QGridLayout(grpCComp);
    m_cboCCDir = Make<QComboBox>(grpCComp, "cboCCDir");
    m_cboCCDir->addItems({QStringLiteral("Off"), QStringLiteral("Outside"), QStringLiteral("Inside")});
    m_cboCCDir->setCurrentIndex(0);
    comp->addWidget(m_cboCCDir, 0, 0, 1, 2);
    m_txtCCOffset = Make<QLineEdit>(grpCComp, "txtCCOffset", QStringLiteral("0"));
    m_txtCCOffset->setReadOnly(true);
    comp->addWidget(m_txtCCOffset, 1, 0);
    QPushButton* sbtCCOffset = Button(grpCComp, "sbtCCOffset", "Tool");
    connect(sbtCCOffset, &QPushButton::clicked, this, [this] { GuardedCall([this] { sbtCCOffsetClick(); }); });
    comp->addWidget(sbtCCOffset, 1, 1);
    comp->addWidget(Make<QCheckBox>(grpCComp, "chkInOutMid", QStringLiteral("Lead at mid segment")), 2, 0, 1, 2);
    comp->addWidget(Make<QCheckBox>(grpCComp, "chkG41G42", QStringLiteral("G41/G42")), 3, 0, 1, 2);
    layout->addWidget(grpCComp);
    layout->addStretch();
    return sheet;
}

QWidget* TChainPages::BuildPointSheet()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetChainPt");
    auto* layout = new QVBoxLayout(sheet);

    const TPageButton buttons[] = {
        {"sbtChainAllPt", "All points", &TChainPages::sbtChainAllPtClick},
        {"sbtChainPt", "Points", &TChainPages::sbtChainPtClick},
        {"sbtChainSelArcs", "Arcs", &TChainPages::sbtChainSelArcsClick},
        {"sbtChainSelAllArcs", "All arcs", &TChainPages::sbtChainSelAllArcsClick},
        {"sbtChainDelPt", "Delete", &TChainPages::sbtChainDelPtClick},
        {"sbtChainPtLast", "As last", &TChainPages::sbtChainPtLastClick},
    };
    QGridLayout* grid = ButtonGroup(sheet, "grpChainPoints", "Points", buttons, m_grpChainPoints);
    QWidget* grpPoints = m_grpChainPoints;
    m_lblChainPtInfo = Make<QLabel>(grpPoints, "lblChainPtInfo");
    grid->addWidget(m_lblChainPtInfo, 2, 0, 1, 3);
    layout->addWidget(grpPoints);

    auto* grpMask = Make<QGroupBox>(sheet, "grpMaskArcs", QStringLiteral("Arc filter"));
    auto* mask = new QGridLayout(grpMask);
    m_chkMaskArcs = Make<QCheckBox>(grpMask, "chkMaskArcs", QStringLiteral("Only diameter"));
    m_txtMaskDia = NumberEdit(grpMask, "txtMaskDia", "0", &DecimalKeyFilter);
    m_txtMaskTol = NumberEdit(grpMask, "txtMaskTol", "0.02", &DecimalKeyFilter);
    mask->addWidget(m_chkMaskArcs, 0, 0, 1, 2);
    mask->addWidget(Make<QLabel>(grpMask, "lblMaskDia", QStringLiteral("Diameter")), 1, 0);
    mask->addWidget(m_txtMaskDia, 1, 1);
    mask->addWidget(Make<QLabel>(grpMask, "lblMaskTol", QStringLiteral("Tolerance")), 2, 0);
    mask->addWidget(m_txtMaskTol, 2, 1);
    connect(m_chkMaskArcs, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkMaskArcsClick(); }); });
    connect(m_txtMaskDia, &QLineEdit::textChanged, this, [this] { GuardedCall([this] { StoreMaskDiameter(); }); });
    connect(m_txtMaskTol, &QLineEdit::textChanged, this, [this] { GuardedCall([this] { StoreMaskTolerance(); }); });
    layout->addWidget(grpMask);

    auto* grpSort = Make<QGroupBox>(sheet, "grpPointSorting", QStringLiteral("Sorting"));
    auto* sort = new QGridLayout(grpSort);
    const char* names[] = {"sbtDrilSort1", "sbtDrilSort2", "sbtDrilSort3", "sbtDrilSort4"};
    const char* texts[] = {"Top left", "Bottom left", "Top right", "Bottom right"};
    for (int corner = 1; corner <= 4; ++corner) {
        QPushButton* button = Button(grpSort, names[corner - 1], texts[corner - 1], true);
        // The handler alone decides the down state.
        connect(button, &QPushButton::clicked, this, [this, button, corner](bool checked) {
            button->setChecked(!checked);
            GuardedCall([this, corner] { sbtDrilSortClick(corner); });
            RepaintView();
        });
        sort->addWidget(button, (corner - 1) % 2, (corner - 1) / 2);
        m_sbtDrilSort[static_cast<size_t>(corner - 1)] = button;
    }
    layout->addWidget(grpSort);
    layout->addStretch();
    return sheet;
}

// --- Shared ------------------------------------------------------------------------

void TChainPages::Run(void (TChainPages::*click)())
{
    GuardedCall([this, click] { (this->*click)(); });
    RepaintView();
}

void TChainPages::RepaintView()
{
    // The chains' scene objects changed: the view shows them at once.
    if (TQV_01Cmp2D* document = m_Window.Document())
        document->RepaintViewports();
}

TOpManagerField* TChainPages::Operation()
{
    TMachiningContext* context = MachiningContext();
    return context ? context->CurrentOperation() : nullptr;
}

void TChainPages::RestorePointOrder(TOpManagerField& op)
{
    if (SortBackup().Chains)
        op.Chains.RestoreOrder();
}

void TChainPages::ResetSort()
{
    SortBackup() = TSortBackup{};
    for (QPushButton* button : m_sbtDrilSort)
        if (button)
            button->setChecked(false);
}

TVector2D TChainPages::SortCorner(int corner)
{
    switch (corner) {
    case 1: return {-9999, 9999};
    case 2: return {-9999, -9999};
    case 3: return {9999, 9999};
    default: return {9999, -9999};
    }
}

// --- Chain page ------------------------------------------------------------------------

void TChainPages::sbtChainAllClick()
{
    TOpManagerField* op = Operation();
    if (!op || !m_Window.Document())
        return;
    TTuttoInCatena(*m_Window.Document(), op->Chains);
    if (m_grpChain)
        m_grpChain->setFocus();
}

void TChainPages::sbtChainClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, kPickForOperation, &op->Chains,
                                                            StateClassOf<TChainInCatena>());
    if (m_Window.OnSelectedObj)
        param->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* selected, bool, int32_t) {
            m_Window.OnSelectedObj(selected);
        };
    m_Prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), std::move(param));
}

void TChainPages::sbtChainSelClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    if (SetWindowSelection)
        SetWindowSelection(false);
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, kPickForOperation, &op->Chains,
                                                            StateClassOf<TSelezioneInCatena>());
    if (m_Window.OnSelectedObj)
        param->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* selected, bool, int32_t) {
            m_Window.OnSelectedObj(selected);
        };
    m_Prg.StartOperation(StateClassOf<TQV_50SelectObjects>(), std::move(param));
}

void TChainPages::sbtChainWSelClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    if (SetWindowSelection)
        SetWindowSelection(true);
    auto param = std::make_unique<TQV_51WinSelectObjectsParam>(0, kPickForOperation, &op->Chains,
                                                               StateClassOf<TSelezioneInCatena>());
    m_Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(), std::move(param));
}

void TChainPages::sbtChainRevClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    op->Chains.DirectionReversed = op->Chains.DirectionReversed ? 0 : 1;
    op->Chains.ClearArrows();
    op->Chains.DrawArrows(CompensationSide(), false);
    if (m_grpChain)
        m_grpChain->setFocus();
}

void TChainPages::sbtDelLastChainClick()
{
    if (TOpManagerField* op = Operation())
        op->Chains.DeleteLast();
}

void TChainPages::sbtDelAllChainsClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    op->Parameters->Tabs.ClearTabs();
    op->Chains.ClearChains();
    if (m_grpChain)
        m_grpChain->setFocus();
}

void TChainPages::sbtChainLastClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    TOpManagerField* last = LastOperationBefore(*op);
    if (!last || ReuseGroup(last->Kind, 255) != ReuseGroup(op->Kind, 0))
        return;
    op->Chains.Assign(last->Chains);
    op->Chains.Redraw(false);
}

void TChainPages::sbtChainsSetClick()
{
    if (!Operation())
        return;
    if (!m_frmChainSet)
        m_frmChainSet = new TfrmChainSet(&m_Window);
    m_frmChainSet->show();
    m_frmChainSet->raise();
}

void TChainPages::sbtCCOffsetClick()
{
    if (QWidget* tool = m_Window.Sheet("tabTool")) {
        m_Window.pgCtrToolWin().setCurrentWidget(tool);
        if (auto* diameter = tool->findChild<QLineEdit*>(QStringLiteral("txtDiametro")))
            diameter->setFocus();
    }
}

void TChainPages::chkLayerPriorityClick()
{
    TOpManagerField* op = Operation();
    if (op && m_chkLayerPriority)
        op->Parameters->LayerPriority = m_chkLayerPriority->isChecked() ? 1 : 0;
}

// --- Drilling-point page ---------------------------------------------------------------

void TChainPages::sbtChainAllPtClick()
{
    TOpManagerField* op = Operation();
    if (!op || !m_Window.Document())
        return;
    RestorePointOrder(*op);
    const TParametriOperazione& p = *op->Parameters;
    const TDrillFilter filter{p.ArcMask != 0, p.ArcMaskDiameter, p.ArcMaskTolerance};
    TTuttoInCatena::CreatePoints(*m_Window.Document(), op->Chains, filter, kChainPoints);
}

void TChainPages::sbtChainSelAllArcsClick()
{
    TOpManagerField* op = Operation();
    if (!op || !m_Window.Document())
        return;
    RestorePointOrder(*op);
    const TParametriOperazione& p = *op->Parameters;
    const TDrillFilter filter{p.ArcMask != 0, p.ArcMaskDiameter, p.ArcMaskTolerance};
    TTuttoInCatena::CreatePoints(*m_Window.Document(), op->Chains, filter, kChainArcs | kChainCircles);
}

void TChainPages::StartPointPick(uint8_t flags, bool pointsOnly)
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    RestorePointOrder(*op);
    ChainPointFlags = flags;
    if (!pointsOnly) {
        const TParametriOperazione& p = *op->Parameters;
        ChainPointFilter = TDrillFilter{p.ArcMask != 0, p.ArcMaskDiameter, p.ArcMaskTolerance};
    }
    if (SetWindowSelection)
        SetWindowSelection(false);
    SelectPointsOnly = pointsOnly;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, kPickForOperation, &op->Chains,
                                                            StateClassOf<TSelezionePuntiInCatena>());
    m_Prg.StartOperation(StateClassOf<TQV_50SelectPuntiAndArchi>(), std::move(param));
}

void TChainPages::sbtChainPtClick()
{
    StartPointPick(kChainPoints, true);
}

void TChainPages::sbtChainSelArcsClick()
{
    StartPointPick(kChainArcs | kChainCircles, false);
}

void TChainPages::sbtChainDelPtClick()
{
    TOpManagerField* op = Operation();
    if (!op)
        return;
    RestorePointOrder(*op);
    op->Chains.ClearChains();
    if (m_grpChainPoints)
        m_grpChainPoints->setFocus();
}

void TChainPages::sbtChainPtLastClick()
{
    TOpManagerField* op = Operation();
    if (!op || op->Kind != OpKind::Drilling)
        return;
    TOpManagerField* last = LastOperationBefore(*op);
    if (!last || last->Kind != OpKind::Drilling)
        return;
    op->Chains.Assign(last->Chains);
    op->Chains.Redraw(true);
}

void TChainPages::chkMaskArcsClick()
{
    TOpManagerField* op = Operation();
    if (!op || !m_chkMaskArcs)
        return;
    op->Parameters->ArcMask = m_chkMaskArcs->isChecked() ? 1 : 0;
    StoreMaskDiameter();
    StoreMaskTolerance();
}

// A text that is not a number (empty while typing) leaves the value.
void TChainPages::StoreMaskDiameter()
{
    TOpManagerField* op = Operation();
    if (!op || !m_txtMaskDia)
        return;
    if (const std::optional<double> v = ParseDecimal(QStringToAnsi(m_txtMaskDia->text())))
        op->Parameters->ArcMaskDiameter = *v;
}

void TChainPages::StoreMaskTolerance()
{
    TOpManagerField* op = Operation();
    if (!op || !m_txtMaskTol)
        return;
    if (const std::optional<double> v = ParseDecimal(QStringToAnsi(m_txtMaskTol->text())))
        op->Parameters->ArcMaskTolerance = *v;
}

void TChainPages::sbtDrilSortClick(int corner)
{
    TOpManagerField* op = Operation();
    if (!op || op->Chains.Count() == 0)
        return;
    QPushButton* button = m_sbtDrilSort.at(static_cast<size_t>(corner - 1));
    if (!button)
        return;
    const bool down = !button->isChecked();
    // Another corner's order goes first, so that the points are sorted
    // from their picked order.
    RestorePointOrder(*op);
    button->setChecked(down);
    op->Chains.SortPointsFrom(SortCorner(corner), down);
    op->Chains.Redraw(true);
}

// --- Chain context -------------------------------------------------------------------

int TChainPages::CompensationSide() const
{
    return m_cboCCDir ? std::max(0, m_cboCCDir->currentIndex()) : 0;
}

double TChainPages::CompensationOffset() const
{
    return m_txtCCOffset ? ParseDecimal(QStringToAnsi(m_txtCCOffset->text())).value_or(0.0) : 0.0;
}

std::optional<int> TChainPages::CurrentOperationKind() const
{
    if (const TOpManagerField* op = Operation())
        return op->Kind;
    return std::nullopt;
}

bool TChainPages::LayerByLayer() const
{
    const TOpManagerField* op = Operation();
    return op && op->Parameters->LayerPriority != 0;
}

TListaCatene* TChainPages::EditedOperationChains() const
{
    TOpManagerField* op = Operation();
    return op ? &op->Chains : nullptr;
}

void TChainPages::SetChainInfo(const std::string& text)
{
    const std::optional<int> kind = CurrentOperationKind();
    if (QLabel* label = kind == OpKind::Drilling ? m_lblChainPtInfo : m_lblChainInfo)
        label->setText(AnsiToQString(text));
}

double TChainPages::SceneScale() const
{
    return ViewSceneScale ? ViewSceneScale() : 1.0;
}
