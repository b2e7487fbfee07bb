#include "app/toolwin/SimulatePage.h"

#include "app/mainwin/ImageLists.h"
#include "app/toolwin/VertRuler.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/DatiUtBase.h"
#include "cam/tools/ToolSolid.h"
#include "nc/sim/OperationSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/solid/NcVisu.h"
#include "nc/ui/NcVisuCont.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

int32_t ZGaugeRow(double factor, double z, double increment, int32_t offset)
{
    if (increment == 0.0)
        return offset;
    const double row = factor * z * 10.0 / increment + offset;
    if (!std::isfinite(row))
        return offset;
    // nearbyint rounds halves to the even integer in the default mode.
    return static_cast<int32_t>(std::nearbyint(std::clamp(row, -1e9, 1e9)));
}

double ScaleTextIncrement(int32_t factor)
{
    switch (factor) {
    case 1: return -10.0;
    case 2: return -7.0;
    case 3: return -5.0;
    case 4: return -2.0;
    default: return -1.0;
    }
}

namespace {

QAction* AddTool(QToolBar& bar, const char* name, int image)
{
    QAction* action = bar.addAction(ListImage(TImageList::Sim, image), QString());
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QSlider* Slider(QWidget* parent, const char* name, Qt::Orientation orientation, int minimum, int maximum, int value)
{
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    return slider;
}

QCheckBox* Check(QWidget* parent, const char* name, const QRect& place)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(place);
    return box;
}

QFrame* Mark(QWidget* parent, const char* name, const QColor& colour, const QRect& place)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, colour);
    frame->setPalette(palette);
    frame->setGeometry(place);
    return frame;
}

// 0x00BBGGRR.
QColor WindowsColour(uint32_t color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

// The simulator's own stock model.
class TSimulatorSolid final : public TSolidSimulation {
public:
    explicit TSimulatorSolid(TSimulatore2D& simulator) : m_Simulator(simulator) {}
    void CreateSolid() override { m_Simulator.CreateSolid(); }
    void FreeSolid() override { m_Simulator.FreeSolid(); }
    bool HasSolid() const override { return m_Simulator.Solid() != nullptr; }
    void SetQuality(int32_t quality) override { m_Simulator.SetSolidQuality(quality); }
    void RunSolid() override { m_Simulator.RunSolid(); }
    void ShowStock() override
    {
        if (m_Simulator.Solid() && m_Simulator.Solid()->Panel())
            m_Simulator.Solid()->Panel()->ShowStock();
    }

private:
    TSimulatore2D& m_Simulator;
};

} // namespace

TSimulatePage::TSimulatePage(TfrmToolWin& toolWin, TSimulatore2D& simulator, TOpManager& manager)
    : m_ToolWin(toolWin), m_Simulator(simulator), m_Manager(manager),
      m_SimulatorSolid(std::make_unique<TSimulatorSolid>(simulator)), m_Solid(m_SimulatorSolid.get())
{
    setObjectName(QStringLiteral("sheetSimulate"));
    BuildSimulationPanel();
    BuildSolidGroup();
    BuildZGauge();
    BuildLimits();

    m_Simulator.SetWindow(this);
    m_ToolWin.AddPage("tabSimulate", this, [this] { tabSimulateClick(); });
    m_ToolWin.PlayRunning = [this] { return m_Simulator.InPlayLoop(); };
    m_ToolWin.StopPlayThen = [this](std::function<void()> then) {
        if (!m_Simulator.InPlayLoop()) {
            then();
            return;
        }
        m_AfterPlay.push_back(std::move(then));
        sbtStopClick();
    };
    m_ToolWin.HideHooks.push_back([this] { OnHide(); });
}

void TSimulatePage::SetSolidSimulation(TSolidSimulation* solid)
{
    m_Solid = solid ? solid : m_SimulatorSolid.get();
}

TSimulatePage::~TSimulatePage()
{
    // The model's panel lives on this page.
    m_Simulator.FreeSolid();
    m_Simulator.SetWindow(nullptr);
    m_ToolWin.PlayRunning = nullptr;
    m_ToolWin.StopPlayThen = nullptr;
}

// --- Building -------------------------------------------------------------------------

void TSimulatePage::BuildSimulationPanel()
{
    m_pnlSimula = new QWidget(this);
    m_pnlSimula->setObjectName(QStringLiteral("pnlSimula"));
    m_pnlSimula->setGeometry(0, 0, 200, 290);

    m_tbrSimulate = new QToolBar(m_pnlSimula);
    m_tbrSimulate->setObjectName(QStringLiteral("tbrSimulate"));
    m_tbrSimulate->setGeometry(2, 0, 196, 26);
    m_tbrSimulate->setIconSize(QSize(16, 16));
    m_sbtPrevOp = AddTool(*m_tbrSimulate, "sbtPrevOp", 0);
    m_sbtToStart = AddTool(*m_tbrSimulate, "sbtToStart", 3);
    m_sbtPlay = AddTool(*m_tbrSimulate, "sbtPlay", PlayImage);
    m_sbtStep = AddTool(*m_tbrSimulate, "sbtStep", 4);
    m_sbtNextOp = AddTool(*m_tbrSimulate, "sbtNextOp", 5);
    connect(m_sbtPrevOp, &QAction::triggered, this, [this] { GuardedCall([this] { sbtPrevOpClick(); }); });
    connect(m_sbtToStart, &QAction::triggered, this, [this] { GuardedCall([this] { sbtToStartClick(); }); });
    // One button: its click plays or stops by the state it shows.
    connect(m_sbtPlay, &QAction::triggered, this, [this] {
        GuardedCall([this] { m_PlayStops ? sbtStopClick() : sbtPlayClick(); });
    });
    connect(m_sbtStep, &QAction::triggered, this, [this] { GuardedCall([this] { sbtStepClick(); }); });
    connect(m_sbtNextOp, &QAction::triggered, this, [this] { GuardedCall([this] { sbtNextOpClick(); }); });

    m_MemoNc = new QPlainTextEdit(m_pnlSimula);
    m_MemoNc->setObjectName(QStringLiteral("MemoNc"));
    m_MemoNc->setGeometry(2, 28, 196, 96);
    m_MemoNc->setReadOnly(true);
    m_MemoNc->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The memo's right click is handled here: no menu.
    m_MemoNc->setContextMenuPolicy(Qt::PreventContextMenu);

    m_TrackBar1 = Slider(m_pnlSimula, "TrackBar1", Qt::Horizontal, 1, 9, 9);
    m_TrackBar1->setGeometry(2, 126, 196, 22);
    connect(m_TrackBar1, &QSlider::valueChanged, this,
            [this](int v) { GuardedCall([this, v] { TrackBar1Change(v); }); });

    m_chkTrueWidth = Check(m_pnlSimula, "chkTrueWidth", {4, 150, 194, 18});
    m_chkGCodeSim = Check(m_pnlSimula, "chkGCodeSim", {4, 168, 194, 18});
    m_chkShowTool = Check(m_pnlSimula, "chkShowTool", {4, 186, 194, 18});
    connect(m_chkTrueWidth, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkTrueWidthClick(); }); });
    connect(m_chkGCodeSim, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkGCodeSimClick(); }); });
    connect(m_chkShowTool, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkShowToolClick(); }); });

    m_txtSimStatus = new QLineEdit(m_pnlSimula);
    m_txtSimStatus->setObjectName(QStringLiteral("txtSimStatus"));
    m_txtSimStatus->setGeometry(2, 206, 196, 20);
    m_txtSimStatus->setReadOnly(true);
}

void TSimulatePage::BuildSolidGroup()
{
    m_grpSimSol = new QGroupBox(m_pnlSimula);
    m_grpSimSol->setObjectName(QStringLiteral("grpSimSol"));
    m_grpSimSol->setGeometry(2, 228, 196, 60);
    m_chkSolidSim = Check(m_grpSimSol, "chkSolidSim", {6, 16, 94, 18});
    connect(m_chkSolidSim, &QCheckBox::clicked, this, [this] { GuardedCall([this] { chkSolidSimClick(); }); });

    m_tbrSimSol = new QToolBar(m_grpSimSol);
    m_tbrSimSol->setObjectName(QStringLiteral("tbrSimSol"));
    m_tbrSimSol->setGeometry(100, 12, 94, 24);
    m_tbrSimSol->setIconSize(QSize(16, 16));
    QAction* rewind = AddTool(*m_tbrSimSol, "SpTBXItem2", 3);
    QAction* run = AddTool(*m_tbrSimSol, "SpTBXItem3", PlayImage);
    connect(rewind, &QAction::triggered, this, [this] { GuardedCall([this] { sbtToStartClick(); }); });
    connect(run, &QAction::triggered, this, [this] { GuardedCall([this] { SpTBXItem3Click(); }); });
    m_sbtMatSize = new QToolButton(m_tbrSimSol);
    m_sbtMatSize->setObjectName(QStringLiteral("sbtMatSize"));
    m_sbtMatSize->setCheckable(true);
    m_sbtMatSize->setText(QStringLiteral("+"));
    m_tbrSimSol->addWidget(m_sbtMatSize);
    connect(m_sbtMatSize, &QToolButton::clicked, this, [this] { GuardedCall([this] { sbtMatSizeClick(); }); });

    m_TrackBarSol = Slider(m_grpSimSol, "TrackBarSol", Qt::Horizontal, 1, 10, 4);
    m_TrackBarSol->setGeometry(6, 36, 184, 20);
    connect(m_TrackBarSol, &QSlider::valueChanged, this,
            [this](int v) { GuardedCall([this, v] { TrackBarSolChange(v); }); });
    SetSolidControlsEnabled(false);
}

void TSimulatePage::LayOutSolidRow()
{
    // Laid out once the captions are in the language shown: the check box
    // keeps its whole caption, the toolbar stands right of it when both fit
    // on the row, else at the start of the track bar's row.
    constexpr int Margin = 6;
    const int inner = m_grpSimSol->width() - 2 * Margin;
    const int box = std::min(m_chkSolidSim->sizeHint().width(), inner);
    const int bar = std::min(m_tbrSimSol->sizeHint().width(), inner / 2);
    if (box + 4 + bar <= inner) {
        m_chkSolidSim->setGeometry(Margin, 16, inner - bar - 4, 18);
        m_tbrSimSol->setGeometry(Margin + inner - bar, 12, bar, 24);
        m_TrackBarSol->setGeometry(Margin, 36, inner, 20);
    } else {
        m_chkSolidSim->setGeometry(Margin, 16, inner, 18);
        m_tbrSimSol->setGeometry(Margin, 34, bar, 24);
        m_TrackBarSol->setGeometry(Margin + bar + 4, 36, inner - bar - 4, 20);
    }
}

void TSimulatePage::BuildZGauge()
{
    m_grpZDepth = new QGroupBox(this);
    m_grpZDepth->setObjectName(QStringLiteral("grpZDepth"));
    m_grpZDepth->setGeometry(202, 0, 92, 240);

    m_VertRuler1 = new TVertRuler(m_grpZDepth);
    m_VertRuler1->setObjectName(QStringLiteral("VertRuler1"));
    m_VertRuler1->setGeometry(16, 16, 30, 150);
    m_VertRuler1->SetScalaFactor(5);
    m_VertRuler1->SetScalaFontSize(6);
    m_VertRuler1->SetScalaOffset(75);
    m_VertRuler1->SetScalaTextIncrement(-10.0);
    m_VertRuler1->SetShowUnit(false);
    m_VertRuler1->SetTextUnit("mm");

    // The depth column beside the ruler, its rows the ruler's rows.
    m_pnlProfZ = Mark(m_grpZDepth, "pnlProfZ", QColor(0xF0, 0xF0, 0xF0), {46, 16, 14, 150});
    m_pnlZAttiva = Mark(m_pnlProfZ, "pnlZAttiva", Qt::blue, {0, 0, 14, 0});
    m_pnlZMinRapido = Mark(m_pnlProfZ, "pnlZMinRapido", Qt::red, {0, 0, 14, 2});
    m_pnlZMinLavoro = Mark(m_pnlProfZ, "pnlZMinLavoro", Qt::darkGreen, {0, 0, 14, 2});

    m_TrackBarOffset = Slider(m_grpZDepth, "TrackBarOffset", Qt::Vertical, 0, 150, 75);
    m_TrackBarOffset->setInvertedAppearance(true);
    m_TrackBarOffset->setGeometry(62, 12, 24, 158);
    connect(m_TrackBarOffset, &QSlider::valueChanged, this,
            [this](int v) { GuardedCall([this, v] { TrackBarOffsetChange(v); }); });
    m_TrackBarSca = Slider(m_grpZDepth, "TrackBarSca", Qt::Horizontal, 1, 5, 2);
    m_TrackBarSca->setGeometry(6, 172, 80, 20);
    connect(m_TrackBarSca, &QSlider::valueChanged, this,
            [this](int v) { GuardedCall([this, v] { TrackBarScaChange(v); }); });

    auto* label = new QLabel(m_grpZDepth);
    label->setObjectName(QStringLiteral("lblCurrentZ"));
    label->setText(QStringLiteral("Z"));
    label->setGeometry(6, 196, 12, 20);
    m_txtCurrentZ = new QLineEdit(QStringLiteral("0"), m_grpZDepth);
    m_txtCurrentZ->setObjectName(QStringLiteral("txtCurrentZ"));
    m_txtCurrentZ->setReadOnly(true);
    m_txtCurrentZ->setGeometry(20, 196, 66, 20);
    PlaceDepthPanels();
}

void TSimulatePage::BuildLimits()
{
    m_pnlLimits = new QWidget(this);
    m_pnlLimits->setObjectName(QStringLiteral("pnlLimits"));
    m_pnlLimits->hide();
    for (const char* name : {"stxLimXmin", "stxLimXmax", "stxLimYmin", "stxLimYmax"})
        (new QLabel(m_pnlLimits))->setObjectName(QString::fromLatin1(name));
    m_stxLimZminRap = new QLabel(m_pnlLimits);
    m_stxLimZminRap->setObjectName(QStringLiteral("stxLimZminRap"));
    m_stxLimZmin = new QLabel(m_pnlLimits);
    m_stxLimZmin->setObjectName(QStringLiteral("stxLimZmin"));
}

// --- Play, step, neighbours -----------------------------------------------------------

void TSimulatePage::tabSimulateClick()
{
    LayOutSolidRow();
    const QSignalBlocker blocker(m_TrackBar1);
    m_TrackBar1->setValue(m_Simulator.Speed());
}

void TSimulatePage::TrackBar1Change(int position)
{
    m_Simulator.SetSpeed(position);
}

void TSimulatePage::SetPlayButton(bool stops)
{
    m_PlayStops = stops;
    m_PlayImage = stops ? StopImage : PlayImage;
    m_sbtPlay->setIcon(ListImage(TImageList::Sim, m_PlayImage));
    for (QAction* action : {m_sbtToStart, m_sbtStep, m_sbtPrevOp, m_sbtNextOp})
        action->setEnabled(!stops);
}

void TSimulatePage::sbtPlayClick()
{
    if (m_Simulator.InPlayLoop())
        return;
    SetPlayButton(true);
    // Returns when the toolpath has played or the play was stopped; the
    // simulator puts the buttons back (RestorePlayButtons).
    m_Simulator.Play();
    std::vector<std::function<void()>> after;
    after.swap(m_AfterPlay);
    for (const auto& action : after)
        action();
}

void TSimulatePage::sbtStopClick()
{
    SetPlayButton(false);
    m_Simulator.Stop();
}

void TSimulatePage::RestorePlayButtons()
{
    SetPlayButton(false);
}

void TSimulatePage::sbtToStartClick()
{
    m_Simulator.Rewind();
}

void TSimulatePage::sbtStepClick()
{
    m_Simulator.StepMove();
}

void TSimulatePage::sbtNextOpClick()
{
    ChangeOperation(true);
}

void TSimulatePage::sbtPrevOpClick()
{
    ChangeOperation(false);
}

void TSimulatePage::ChangeOperation(bool next)
{
    // Never while a play runs: its loop holds the operation and its tool.
    if (m_Simulator.InPlayLoop())
        return;
    const auto* simulated = dynamic_cast<const TOpFieldSimOperation*>(m_Simulator.CurrentOperation());
    if (!simulated)
        return;
    const TOpManagerField& old = simulated->Operation();
    TOpManagerField* neighbour = next ? m_Manager.OperationAfter(&old) : m_Manager.OperationBefore(&old);
    // Nothing to move to: the path shown stays.
    if (!neighbour)
        return;
    m_Simulator.ClearPath();
    if (const TDatiUtBase* tool = simulated->ToolData())
        ToolSceneObjects().FreeSolid(*tool);
    // Selecting prepares the operation, which builds its tool solid.
    m_Simulator.SelectOperation(&SimOperation(*neighbour));
    m_Simulator.SetShowTool(m_chkShowTool->isChecked());
    m_Simulator.Rewind();
    MemoSetLine(2, OperationCaption(*neighbour));
}

void TSimulatePage::chkGCodeSimClick()
{
    m_Simulator.SetEchoOn(m_chkGCodeSim->isChecked());
}

void TSimulatePage::chkTrueWidthClick()
{
    m_Simulator.SetTrueWidth(m_chkTrueWidth->isChecked());
}

void TSimulatePage::chkShowToolClick()
{
    m_Simulator.SetShowTool(m_chkShowTool->isChecked());
}

void TSimulatePage::OnHide()
{
    if (m_Simulator.InPlayLoop())
        m_Simulator.Stop();
    if (m_Simulator.OperationPrepared())
        m_Simulator.Finish();
    SetPlayButton(false);
}

// --- Z gauge ------------------------------------------------------------------------------

void TSimulatePage::PlaceDepthPanels()
{
    const double f = m_VertRuler1->ScalaFactor();
    const double i = m_VertRuler1->ScalaTextIncrement();
    const int32_t o = m_VertRuler1->ScalaOffset();
    const double shown = m_Simulator.LastZShown();
    const double zc = shown == TSimulatore2D::NothingShown ? 0.0 : shown;
    m_pnlZAttiva->resize(m_pnlZAttiva->width(), std::max(0, ZGaugeRow(f, zc, i, o)));
    m_pnlZMinRapido->move(0, ZGaugeRow(f, m_Simulator.LowestRapidZ(), i, o) - 1);
    m_pnlZMinLavoro->move(0, ZGaugeRow(f, m_Simulator.LowestFeedZ(), i, o) - 1);
}

void TSimulatePage::TrackBarOffsetChange(int position)
{
    m_VertRuler1->SetScalaOffset(position);
    PlaceDepthPanels();
}

void TSimulatePage::TrackBarScaChange(int position)
{
    if (position == m_VertRuler1->ScalaFactor())
        return;
    m_VertRuler1->SetScalaFactor(position);
    m_VertRuler1->SetScalaTextIncrement(ScaleTextIncrement(position));
    PlaceDepthPanels();
}

// --- Solid simulation -----------------------------------------------------------------

void TSimulatePage::chkSolidSimClick()
{
    if (m_chkSolidSim->isChecked())
        m_Solid->CreateSolid();
    else
        m_Solid->FreeSolid();
    // Back through the window: the controls follow the box, and the page
    // takes the size of the stock-size toggle.
    m_Simulator.UpdateSolidControls();
}

void TSimulatePage::SetSolidControlsEnabled(bool enabled)
{
    for (QAction* action : m_tbrSimSol->actions())
        action->setEnabled(enabled);
    m_sbtMatSize->setEnabled(enabled);
    m_TrackBarSol->setEnabled(enabled);
}

void TSimulatePage::MatSizeClick()
{
    sbtMatSizeClick();
}

int32_t TSimulatePage::SolidQuality() const
{
    return m_TrackBarSol->value();
}

std::unique_ptr<TStockPanel> TSimulatePage::CreateStockPanel(TNcVisu&)
{
    return std::make_unique<TNcVisuCont>(m_grpSimSol, m_Simulator);
}

void TSimulatePage::TrackBarSolChange(int position)
{
    if (m_Solid->HasSolid())
        m_Solid->SetQuality(position);
}

void TSimulatePage::SpTBXItem3Click()
{
    if (m_Solid->HasSolid())
        m_Solid->RunSolid();
}

void TSimulatePage::sbtMatSizeClick()
{
    const bool tall = m_sbtMatSize->isChecked();
    m_ToolWin.resize(m_ToolWin.width(), tall ? TallClientHeight : ClientHeight);
    m_pnlSimula->resize(m_pnlSimula->width(), tall ? 390 : 290);
    m_grpSimSol->resize(m_grpSimSol->width(), tall ? 160 : 60);
    m_ToolWin.repaint();
    if (m_Solid->HasSolid())
        m_Solid->ShowStock();
}

// --- TSimWindow ---------------------------------------------------------------------------

bool TSimulatePage::ShowToolChecked() const
{
    return m_chkShowTool->isChecked();
}

bool TSimulatePage::GCodeSimChecked() const
{
    return m_chkGCodeSim->isChecked();
}

bool TSimulatePage::TrueWidthChecked() const
{
    return m_chkTrueWidth->isChecked();
}

bool TSimulatePage::SolidSimChecked() const
{
    return m_chkSolidSim->isChecked();
}

void TSimulatePage::SetTrueWidthEnabled(bool enabled)
{
    m_chkTrueWidth->setEnabled(enabled);
}

void TSimulatePage::SetSolidSimEnabled(bool enabled)
{
    m_chkSolidSim->setEnabled(enabled);
}

void TSimulatePage::SetSimStatus(const std::string& text)
{
    m_txtSimStatus->setText(AnsiToQString(text));
}

void TSimulatePage::SetZGaugeVisible(bool visible)
{
    m_grpZDepth->setVisible(visible);
}

void TSimulatePage::SetCurrentZText(const std::string& text)
{
    m_txtCurrentZ->setText(AnsiToQString(text));
}

TRulerScale TSimulatePage::ZRuler() const
{
    return {double(m_VertRuler1->ScalaFactor()), m_VertRuler1->ScalaTextIncrement(),
            double(m_VertRuler1->ScalaOffset())};
}

void TSimulatePage::SetActiveZ(uint32_t color, int32_t height)
{
    QPalette palette = m_pnlZAttiva->palette();
    palette.setColor(QPalette::Window, WindowsColour(color));
    m_pnlZAttiva->setPalette(palette);
    m_pnlZAttiva->resize(m_pnlZAttiva->width(), std::max(0, height));
}

void TSimulatePage::SetLowestRapid(int32_t top, const std::string& text)
{
    m_pnlZMinRapido->move(0, top);
    m_stxLimZminRap->setText(AnsiToQString(text));
}

void TSimulatePage::SetLowestFeed(int32_t top, const std::string& text)
{
    m_pnlZMinLavoro->move(0, top);
    m_stxLimZmin->setText(AnsiToQString(text));
}

int32_t TSimulatePage::MemoLineCount() const
{
    return static_cast<int32_t>(m_MemoLines.size());
}

std::string TSimulatePage::MemoLine(int32_t i) const
{
    return i >= 0 && i < MemoLineCount() ? m_MemoLines[size_t(i)] : std::string();
}

void TSimulatePage::MemoClear()
{
    m_MemoLines.clear();
    ShowMemo();
}

void TSimulatePage::MemoAdd(const std::string& line)
{
    m_MemoLines.push_back(line);
    ShowMemo();
}

void TSimulatePage::MemoSetLine(int32_t i, const std::string& line)
{
    if (i < 0 || i >= MemoLineCount())
        return;
    m_MemoLines[size_t(i)] = line;
    ShowMemo();
}

void TSimulatePage::MemoSelectLine(int32_t i)
{
    const QTextBlock block = m_MemoNc->document()->findBlockByNumber(i);
    if (!block.isValid())
        return;
    m_MemoNc->setFocus();
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_MemoNc->setTextCursor(cursor);
}

void TSimulatePage::ShowMemo()
{
    QStringList lines;
    for (const std::string& line : m_MemoLines)
        lines << AnsiToQString(line);
    m_MemoNc->setPlainText(lines.join(QLatin1Char('\n')));
}
