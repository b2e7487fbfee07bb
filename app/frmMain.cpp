#include "app/frmMain.h"

#include "app/FileCommands.h"
#include "cad/EventGuard.h"
#include "cad/QVScene.h"
#include "cad/QV_00Prog.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/QPainterCanvas.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cad/ui/SceneViewer.h"
#include "core/AppConfig.h"
#include "core/LangKeys.h"
#include "core/Language.h"
#include "core/NumberText.h"
#include "core/QV_01Cmp2D.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

QString FileNameText(const std::string& fileName)
{
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

} // namespace

TfrmMain::TfrmMain(TQVScene& scene, TQV_01Cmp2D& document, TQV_00Prog& prg, TAppConfig& config)
    : m_Scene(scene), m_Document(document), m_Prg(prg), m_Config(config)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(BaseCaption));
    setMinimumSize(800, 600);

    m_GraphicView = new TSceneViewer(scene, this);
    setCentralWidget(m_GraphicView);
    BuildStatusBar();
    BuildMenus();

    m_Monitor = std::make_unique<TQtWorkMonitor>(m_StatusBarMess, m_ProgressBar1);
    m_PreviousMonitor = SetWorkMonitor(m_Monitor.get());
    m_PreviousShell = SetShellServices(this);
    ConnectShell(m_Prg, *this);

    m_FileCommands = std::make_unique<TFileCommands>(document, prg, scene, config);
    m_FileCommands->AskOpenFileName = [this](const std::string& startFolder) {
        const QString name = QFileDialog::getOpenFileName(this, QString(), FileNameText(startFolder),
                                                          QStringLiteral("Kestrabel files (*.kvx *.KVX)"));
        return QFile::encodeName(name).toStdString();
    };
    m_FileCommands->OnFileOpened = [this](const std::string& fileName) { ShowFileInCaption(fileName); };

    CurrLayerInfo();
}

TfrmMain::~TfrmMain()
{
    // The program outlives the window: its callbacks must not reach it.
    m_Prg.OnEndOperation = nullptr;
    m_Prg.OnDescriptionChanged = nullptr;
    m_Scene.OnMouseMove2D = nullptr;
    SetShellServices(m_PreviousShell);
    SetWorkMonitor(m_PreviousMonitor);
}

void TfrmMain::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("tbrStatusBar"));

    m_ProgressBar1 = new QProgressBar(bar);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setFixedWidth(150);
    m_ProgressBar1->setFormat(QStringLiteral("%p%"));
    QFont bold = m_ProgressBar1->font();
    bold.setBold(true);
    m_ProgressBar1->setFont(bold);
    m_ProgressBar1->hide();
    bar->addWidget(m_ProgressBar1);

    m_lblCoordinate = new QLabel(bar);
    m_lblCoordinate->setObjectName(QStringLiteral("lblCoordinate"));
    m_lblCoordinate->setFixedWidth(180);
    m_lblCoordinate->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_lblCoordinate);

    m_StatusBarMess = new QLabel(bar);
    m_StatusBarMess->setObjectName(QStringLiteral("StatusBarMess"));
    m_StatusBarMess->setMinimumWidth(150);
    m_StatusBarMess->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addWidget(m_StatusBarMess, 1);

    m_sbtLayer = new QToolButton(bar);
    m_sbtLayer->setObjectName(QStringLiteral("sbtLayer"));
    m_sbtLayer->setMinimumWidth(100);
    m_sbtLayer->setAutoRaise(true);
    bar->addPermanentWidget(m_sbtLayer);

    m_SpTBXCLCol = new QLabel(bar);
    m_SpTBXCLCol->setObjectName(QStringLiteral("SpTBXCLCol"));
    m_SpTBXCLCol->setFixedSize(16, 16);
    m_SpTBXCLCol->setAutoFillBackground(true);
    m_SpTBXCLCol->setFrameShape(QFrame::Box);
    bar->addPermanentWidget(m_SpTBXCLCol);
    CurrLayerCol(0x0000FF00); // lime until the layer is known
}

void TfrmMain::BuildMenus()
{
    m_mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));

    m_mnuOpen = m_mnuFile->addAction(QStringLiteral("&Open..."));
    m_mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    m_mnuOpen->setShortcut(QKeySequence::Open);
    connect(m_mnuOpen, &QAction::triggered, this, [this] { mnuOpenClick(); });

    m_mnuFile->addSeparator();
    m_mnuExit = m_mnuFile->addAction(QStringLiteral("E&xit"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
    m_mnuExit->setShortcut(QKeySequence::Quit);
    connect(m_mnuExit, &QAction::triggered, this, [this] { mnuExitClick(); });
}

QString TfrmMain::StatusMessage() const
{
    return m_StatusBarMess->text();
}

void TfrmMain::mnuOpenClick()
{
    GuardedCall([this] { m_FileCommands->OpenGeo(std::string(), false); });
}

void TfrmMain::mnuExitClick()
{
    close();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_Shown)
        return;
    m_Shown = true;
    FormShow();
}

void TfrmMain::FormShow()
{
    GuardedCall([this] { ZoomToDrawing(m_Document, m_Scene); });
    if (m_StartupFile.empty())
        return;
    // After the window has appeared, so that a message box of the open has
    // a window to sit on.
    QTimer::singleShot(0, this, [this] {
        GuardedCall([this] { m_FileCommands->OpenGeo(m_StartupFile, false); });
    });
}

void TfrmMain::ShowFileInCaption(const std::string& fileName)
{
    setWindowTitle(QString::fromLatin1(BaseCaption) + QStringLiteral(" - ") + FileNameText(fileName));
}

// --- TShellServices ------------------------------------------------------------

void TfrmMain::CurrLayerInfo()
{
    const int layer = m_Document.CurrentLayer();
    m_sbtLayer->setText(
        AnsiToQString(LangMainText(LangKeys::frmMain::LayerButton) + " " + std::to_string(layer)));
    CurrLayerCol(m_Document.Layers().GetLayer(layer).Pen().Color);
}

void TfrmMain::CurrLayerCol(uint32_t color)
{
    QPalette palette = m_SpTBXCLCol->palette();
    palette.setColor(QPalette::Window, QColorFromWinColor(color));
    m_SpTBXCLCol->setPalette(palette);
}

void TfrmMain::QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass, TQV_00CADPrgParam*)
{
    // The end of a nested zoom or pan leaves the suspended command's snap.
    if (!sender.Suspended())
        sender.UsaSnap = false;
}

void TfrmMain::QV_PrgDescriptionChanged(TQV_00State& state)
{
    m_Monitor->ShowStatusMessage(state.Prompt());
}

void TfrmMain::GraphicViewMouseMove2D(const TShiftState&, double, double, int32_t, int32_t)
{
    const TPoint2D p = m_Prg.GetSnappedPoint();
    m_lblCoordinate->setText(AnsiToQString("X: " + FormatCoord(p.X) + " Y: " + FormatCoord(p.Y)));
}

TOpenedFile TfrmMain::OpenedFile() const
{
    return m_FileCommands->OpenedFile();
}

void TfrmMain::ShowPages(const std::vector<TToolWinTab>&, const std::string&, int32_t, int32_t)
{
}

std::string TfrmMain::ToolWinText(TToolWinText field) const
{
    const auto it = m_ToolWinTexts.find(field);
    return it == m_ToolWinTexts.end() ? std::string() : it->second;
}

void TfrmMain::SetToolWinText(TToolWinText field, const std::string& text)
{
    m_ToolWinTexts[field] = text;
}

bool TfrmMain::ToolWinChecked(TToolWinCheck) const
{
    return false;
}

int32_t TfrmMain::ToolWinItemIndex(TToolWinIndex list) const
{
    const auto it = m_ToolWinIndexes.find(list);
    return it == m_ToolWinIndexes.end() ? -1 : it->second;
}

void TfrmMain::SetToolWinItemIndex(TToolWinIndex list, int32_t index)
{
    m_ToolWinIndexes[list] = index;
}
