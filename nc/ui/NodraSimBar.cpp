// The G-code editor's simulation bar: play, stop, to start, step, the
// limits panel, the current height, the post's name and the speed.

#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/editor/TextSimulation.h"
#include "nc/ui/NodraEdit.h"
#include "nc/ui/NodraMain.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QGroupBox>

namespace {

QString ToolWinText(std::string_view name, const char* suffix)
{
    return QString::fromStdString(ReadLangText("frmToolWin", std::string(name) + suffix));
}

// The desktop's media icon of a standard pixmap, the style's own where the
// icon theme has none.
QIcon MediaIcon(const QStyle& style, QStyle::StandardPixmap pixmap)
{
    const char* name = nullptr;
    switch (pixmap) {
    case QStyle::SP_MediaPlay: name = "media-playback-start"; break;
    case QStyle::SP_MediaStop: name = "media-playback-stop"; break;
    case QStyle::SP_MediaSkipBackward: name = "media-skip-backward"; break;
    case QStyle::SP_MediaSkipForward: name = "media-skip-forward"; break;
    case QStyle::SP_MediaSeekBackward: name = "media-seek-backward"; break;
    case QStyle::SP_MediaSeekForward: name = "media-seek-forward"; break;
    default: break;
    }
    const QIcon fallback = style.standardIcon(pixmap);
    return name ? QIcon::fromTheme(QString::fromLatin1(name), fallback) : fallback;
}

} // namespace

void TNodraFrmMain::CreateSimulationBar()
{
    m_SimBar = new QToolBar(this);
    m_SimBar->setObjectName("tbrSimulation");
    m_SimBar->setMovable(false);
    addToolBar(Qt::BottomToolBarArea, m_SimBar);

    auto add = [this](const char* name, QStyle::StandardPixmap icon, std::string_view key) {
        QAction* action = m_SimBar->addAction(MediaIcon(*style(), icon), QString());
        action->setObjectName(name);
        action->setToolTip(ToolWinText(key, ".Hint"));
        return action;
    };
    sbtPlay = add("sbtPlay", QStyle::SP_MediaPlay, LangKeys::frmToolWin::sbtPlay);
    connect(sbtPlay, &QAction::triggered, this, [this] {
        if (m_Playing)
            StopClick();
        else
            PlayClick();
    });
    sbtToStart = add("sbtToStart", QStyle::SP_MediaSkipBackward, LangKeys::frmToolWin::sbtToStart);
    connect(sbtToStart, &QAction::triggered, this, [this] { ToStartClick(); });
    sbtStep = add("sbtStep", QStyle::SP_MediaSeekForward, LangKeys::frmToolWin::sbtStep);
    sbtStep->setShortcut(QKeySequence(Qt::Key_F5));
    connect(sbtStep, &QAction::triggered, this, [this] { StepClick(); });
    sbtIsoLimits = add("sbtIsoLimits", QStyle::SP_FileDialogDetailedView, LangKeys::frmToolWin::sbtIsoLimits);
    sbtIsoLimits->setCheckable(true);
    connect(sbtIsoLimits, &QAction::toggled, this, [this](bool on) { IsoLimitsClick(on); });

    auto* z = new QLabel(ToolWinText(LangKeys::frmToolWin::lblCurrentZ, ".Caption"), m_SimBar);
    z->setObjectName("lblCurrentZ");
    m_SimBar->addWidget(z);
    txtCurrentZ = new QLineEdit(m_SimBar);
    txtCurrentZ->setObjectName("txtCurrentZ");
    txtCurrentZ->setReadOnly(true);
    txtCurrentZ->setMaximumWidth(80);
    m_SimBar->addWidget(txtCurrentZ);
    lblSimFor = new QLabel(m_SimBar);
    lblSimFor->setObjectName("lblSimFor");
    m_SimBar->addWidget(lblSimFor);
    SetPostName(AppConfig().Pst);
    TrackBar1 = new QSlider(Qt::Horizontal, m_SimBar);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setToolTip(ToolWinText(LangKeys::frmToolWin::TrackBar1, ".Hint"));
    TrackBar1->setRange(1, 9);
    TrackBar1->setMaximumWidth(120);
    if (TEditorSimulation* simulation = EditorSimulation())
        TrackBar1->setValue(simulation->SpeedIndex());
    connect(TrackBar1, &QSlider::valueChanged, this, [](int value) {
        if (TEditorSimulation* simulation = EditorSimulation())
            simulation->SetSpeed(value);
    });
    m_SimBar->addWidget(TrackBar1);
}

void TNodraFrmMain::SetPostName(const std::string& postName)
{
    lblSimFor->setText(ToolWinText(LangKeys::frmToolWin::lblSimFor, ".Caption") + ' ' +
                       QString::fromStdString(postName));
}

void TNodraFrmMain::PlayClick()
{
    TEditorSimulation* simulation = EditorSimulation();
    if (!simulation || m_Playing)
        return;
    const int dialect = simulation->ReaderDialect();
    if (dialect != 0 && dialect != 4 && dialect != 5 && m_DialectWarning) {
        m_DialectWarning = false;
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::DialectNotSimulated),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    sbtToStart->setEnabled(false);
    sbtStep->setEnabled(false);
    sbtPlay->setIcon(MediaIcon(*style(), QStyle::SP_MediaStop));
    m_Playing = true;
    if (simulation->ExtentsComputed())
        sbtIsoLimits->setEnabled(true);
    const QPointer<TNodraFrmMain> alive(this);
    simulation->PlayText(*m_TextSource);
    if (!alive)
        return;
    m_Playing = false;
    sbtPlay->setIcon(MediaIcon(*style(), QStyle::SP_MediaPlay));
    sbtToStart->setEnabled(true);
    sbtStep->setEnabled(true);
    if (simulation->ExtentsComputed())
        sbtIsoLimits->setEnabled(true);
}

void TNodraFrmMain::StopClick()
{
    m_Playing = false;
    sbtPlay->setIcon(MediaIcon(*style(), QStyle::SP_MediaPlay));
    if (TEditorSimulation* simulation = EditorSimulation())
        simulation->Stop();
    sbtToStart->setEnabled(true);
    sbtStep->setEnabled(true);
}

void TNodraFrmMain::ToStartClick()
{
    if (TEditorSimulation* simulation = EditorSimulation())
        simulation->RewindText(*m_TextSource);
}

void TNodraFrmMain::StepClick()
{
    if (TEditorSimulation* simulation = EditorSimulation(); simulation && !m_Playing)
        simulation->StepText(*m_TextSource);
}

void TNodraFrmMain::IsoLimitsClick(bool checked)
{
    ShowLimitsPanel(checked);
    if (TEditorSimulation* simulation = EditorSimulation())
        simulation->ShowLimitsBox(checked);
}

void TNodraFrmMain::ShowLimitsPanel(bool show)
{
    delete m_LimitsPanel;
    m_LimitsPanel = nullptr;
    TEditorSimulation* simulation = EditorSimulation();
    if (!show || !simulation)
        return;
    auto* panel = new QGroupBox(ToolWinText(LangKeys::frmToolWin::grpIsoLimits, ".Caption"), this);
    panel->setObjectName("grpIsoLimits");
    auto* grid = new QTableWidget(6, 1, panel);
    grid->setObjectName("grdIsoLimits");
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->setFixedWidth(100);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const TSimulationExtents e = simulation->Extents();
    const double values[6] = {e.MinX, e.MaxX, e.MinY, e.MaxY, e.MaxZ, e.MinZ};
    const std::string_view rows[6] = {LangKeys::frmToolWin::lblIsoa, LangKeys::frmToolWin::lblIsob,
                                      LangKeys::frmToolWin::lblIsoc, LangKeys::frmToolWin::lblIsod,
                                      LangKeys::frmToolWin::lblIsoe, LangKeys::frmToolWin::lblIsof};
    for (int i = 0; i < 6; ++i) {
        grid->setVerticalHeaderItem(i, new QTableWidgetItem(ToolWinText(rows[i], ".Caption")));
        auto* item = new QTableWidgetItem(QString::fromStdString(FormatCoord(values[i])));
        item->setBackground(Qt::yellow);
        grid->setItem(i, 0, item);
    }
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(grid);
    panel->setGeometry(m_SimBar->width() - 250, height() - 220, 240, 200);
    panel->show();
    m_LimitsPanel = panel;
}
