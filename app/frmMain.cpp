#include "app/frmMain.h"

#include "app/DrawCommands.h"
#include "app/FileCommands.h"
#include "app/KeyPreview.h"
#include "cad/program/EventGuard.h"
#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/InfoEdit.h"
#include "cad/ui/frmGrid.h"
#include "cad/ui/frmLayer.h"
#include "cad/ui/QPainterCanvas.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cad/ui/SceneViewer.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/ViewInterfaces.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The docked tool window's least width, so that the panel's grid fits.
constexpr int ToolDockMinimumWidth = 236;

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
    BuildToolDock();

    m_Monitor = std::make_unique<TQtWorkMonitor>(m_StatusBarMess, m_ProgressBar1, m_lblCoordinate);
    m_PreviousMonitor = SetWorkMonitor(m_Monitor.get());
    m_PreviousShell = SetShellServices(this);
    ConnectShell(m_Prg, *this);

    m_FileCommands = std::make_unique<TFileCommands>(document, prg, scene, config);
    m_FileCommands->AskOpenFileName = [this](const std::string& startFolder) {
        const QString name = QFileDialog::getOpenFileName(this, QString(), FileNameText(startFolder),
                                                          QStringLiteral("Vector files (*.kvx *.KVX *.dxf *.DXF);;Kestrabel files (*.kvx *.KVX);;Dxf files (*.dxf *.DXF)"));
        return QFile::encodeName(name).toStdString();
    };
    m_FileCommands->OnFileOpened = [this](const std::string& fileName) {
        ShowFileInCaption(fileName);
        CurrLayerInfo(); // a merge may change the current layer
    };
    m_FileCommands->AskSaveFileName = [this](const std::string& suggestion) {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Kestrabel files (*.kvx)"));
        dialog.setDefaultSuffix(QStringLiteral("kvx"));
        dialog.selectFile(FileNameText(suggestion));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    };
    m_FileCommands->OnFileSaved = [this](const std::string& fileName) { ShowFileInCaption(fileName); };
    m_FileCommands->OnDrawingCleared = [this] {
        setWindowTitle(QString::fromLatin1(BaseCaption));
        m_InfoEdit->SetPanelVisible(false);
    };

    m_DrawCommands = std::make_unique<TDrawCommands>(prg);
    m_DrawCommands->ShowCommandPage = [this](int32_t page) { m_InfoEdit->SetCommandPage(static_cast<uint8_t>(page)); };
    m_DrawCommands->SaveOrtho = [this] { m_EndOperation.SaveOrtho(m_Prg); };
    BuildDrawMenu();
    m_FileCommands->OnDrawingReplaced = [this] {
        m_InfoEdit->TreeGeo().RebuildGeoTree(m_Document);
        // Nothing of the drawing that went stays on the panel, and the
        // layer button shows the current layer of the one that came.
        m_InfoEdit->ClearPage();
        CurrLayerInfo();
    };

    m_EndOperation.HideToolWin = [this] { m_ToolWin.Hide(); };
    m_EndOperation.RefreshPanel = [this] { RefreshInfoEdit(); };

    BuildDialogs();
    CurrLayerInfo();
    m_KeyPreview = std::make_unique<TKeyPreview>(*this, [this](int key) { GuardedCall([&] { FormKeyPress(key); }); });
}

TfrmMain::~TfrmMain()
{
    m_KeyPreview.reset();
    // The program outlives the window: its callbacks must not reach it.
    m_Prg.OnEndOperation = nullptr;
    m_Prg.OnDescriptionChanged = nullptr;
    m_Scene.OnMouseMove2D = nullptr;
    // The dialogs and the panel go while the shell and the shared objects
    // they point at are all still there; the panel's destructor takes its
    // tree from the document and its hook from the journal.
    delete m_frmGrid;
    m_frmGrid = nullptr;
    delete m_frmLayer;
    m_frmLayer = nullptr;
    TViewServices services = ViewServices();
    if (services.Readout == m_InfoEdit) {
        services.Readout = m_PreviousReadout;
        InstallViewServices(services);
    }
    delete m_InfoEdit;
    m_InfoEdit = nullptr;
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

    m_mnuNew = m_mnuFile->addAction(QStringLiteral("&New"));
    m_mnuNew->setObjectName(QStringLiteral("mnuNew"));
    m_mnuNew->setShortcut(QKeySequence::New);
    connect(m_mnuNew, &QAction::triggered, this, [this] { mnuNewClick(); });

    m_mnuOpen = m_mnuFile->addAction(QStringLiteral("&Open..."));
    m_mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    m_mnuOpen->setShortcut(QKeySequence::Open);
    connect(m_mnuOpen, &QAction::triggered, this, [this] { mnuOpenClick(); });

    m_mnuSave = m_mnuFile->addAction(QStringLiteral("&Save"));
    m_mnuSave->setObjectName(QStringLiteral("mnuSave"));
    m_mnuSave->setShortcut(QKeySequence::Save);
    connect(m_mnuSave, &QAction::triggered, this, [this] { mnuSaveClick(); });
    m_mnuSaveAs = m_mnuFile->addAction(QStringLiteral("Save &As..."));
    m_mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    connect(m_mnuSaveAs, &QAction::triggered, this, [this] { mnuSaveAsClick(); });

    m_mnuFile->addSeparator();
    m_mnuExit = m_mnuFile->addAction(QStringLiteral("E&xit"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
    m_mnuExit->setShortcut(QKeySequence::Quit);
    connect(m_mnuExit, &QAction::triggered, this, [this] { mnuExitClick(); });

    m_mnuView = menuBar()->addMenu(QStringLiteral("&View"));
    m_mnuView->setObjectName(QStringLiteral("mnuView"));
    m_mnuLayers = m_mnuView->addAction(QStringLiteral("&Layers..."));
    m_mnuLayers->setObjectName(QStringLiteral("mnuLayers"));
    connect(m_mnuLayers, &QAction::triggered, this, [this] { mnuLayersClick(); });
    m_mnuGrid = m_mnuView->addAction(QStringLiteral("&Grid..."));
    m_mnuGrid->setObjectName(QStringLiteral("mnuGrid"));
    connect(m_mnuGrid, &QAction::triggered, this, [this] { mnuGridClick(); });
}

void TfrmMain::BuildDrawMenu()
{
    // Placed before the View menu; the texts are the language file's.
    m_mnuDraw = new QMenu(QStringLiteral("&Draw"), this);
    m_mnuDraw->setObjectName(QStringLiteral("mnuDraw"));
    menuBar()->insertMenu(m_mnuView->menuAction(), m_mnuDraw);
    TDrawCommands& draw = *m_DrawCommands;
    const struct {
        const char* Name;
        bool (TDrawCommands::*Start)();
    } items[] = {
        {"mnuPointPosition", &TDrawCommands::MyPuntoClick},   {"mnuLineEndPt", &TDrawCommands::MySubLineClick},
        {"mnuRectangle", &TDrawCommands::sbtRectangleClick},  {"mnuCircleCtPt", &TDrawCommands::MyArcClick},
        {"mnuEllipseClose", &TDrawCommands::mnuEllipseCloseClick}, {"mnuPoly", &TDrawCommands::sbtPolyClick},
        {"mnuSpline", &TDrawCommands::sbtSplineClick},        {"mnuArcCtPtSaEa", &TDrawCommands::MyArcCtPtSaEaClick},
        {"mnuArc3Pt", &TDrawCommands::MyArc3PtClick},         {"mnuCircle3Pt", &TDrawCommands::MyCircle3PtClick},
    };
    for (const auto& item : items) {
        QAction* action = m_mnuDraw->addAction(QString::fromLatin1(item.Name));
        action->setObjectName(QString::fromLatin1(item.Name));
        if (std::string_view(item.Name) == "mnuLineEndPt")
            action->setShortcut(QKeySequence(Qt::Key_F4));
        const auto start = item.Start;
        connect(action, &QAction::triggered, this, [&draw, start] { GuardedCall([&draw, start] { (draw.*start)(); }); });
    }
}

void TfrmMain::BuildToolDock()
{
    m_toolWin = new QDockWidget(QStringLiteral("Tools"), this);
    m_toolWin->setObjectName(QStringLiteral("toolWin"));
    m_toolWin->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_toolWin->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    m_pgCtrGeoCnc = new QTabWidget(m_toolWin);
    m_pgCtrGeoCnc->setObjectName(QStringLiteral("pgCtrGeoCnc"));
    m_pgCtrGeoCnc->setMinimumWidth(ToolDockMinimumWidth);

    auto* tabGeo = new QWidget(m_pgCtrGeoCnc);
    tabGeo->setObjectName(QStringLiteral("tabGeo"));
    auto* geoLayout = new QVBoxLayout(tabGeo);
    geoLayout->setContentsMargins(2, 2, 2, 2);
    m_InfoEdit = new TInfoEdit(m_Config.Unit, tabGeo);
    geoLayout->addWidget(m_InfoEdit);
    m_pgCtrGeoCnc->addTab(tabGeo, QStringLiteral("Geometry"));

    auto* tabCnc = new QWidget(m_pgCtrGeoCnc);
    tabCnc->setObjectName(QStringLiteral("tabCnc"));
    m_pgCtrGeoCnc->addTab(tabCnc, QStringLiteral("Machining"));

    m_toolWin->setWidget(m_pgCtrGeoCnc);
    addDockWidget(Qt::LeftDockWidgetArea, m_toolWin);

    m_InfoEdit->SetTabControl(m_pgCtrGeoCnc);
    m_InfoEdit->SetDocument(&m_Document);
    m_InfoEdit->SetProgram(&m_Prg);
    m_InfoEdit->ConnectUndoJournal(UndoJournal());
    TViewServices services = ViewServices();
    m_PreviousReadout = services.Readout;
    services.Readout = m_InfoEdit;
    InstallViewServices(services);
}

void TfrmMain::BuildDialogs()
{
    m_frmLayer = new TfrmLayer(this);
    m_frmLayer->SetDocument(&m_Document);
    m_frmGrid = new TfrmGrid(this);
    m_frmGrid->SetTargets(&m_Scene, &m_Prg, &m_Config);
}

void TfrmMain::RefreshInfoEdit()
{
    if (m_pgCtrGeoCnc->currentIndex() == 0)
        m_InfoEdit->SetCommandPage(0);
}

QString TfrmMain::StatusMessage() const
{
    return m_StatusBarMess->text();
}

void TfrmMain::mnuOpenClick()
{
    GuardedCall([this] { m_FileCommands->OpenGeo(std::string(), false); });
}

void TfrmMain::mnuNewClick()
{
    GuardedCall([this] { m_FileCommands->sbtNewClick(); });
}

void TfrmMain::mnuSaveClick()
{
    GuardedCall([this] { m_FileCommands->MySaveClick(); });
}

void TfrmMain::mnuSaveAsClick()
{
    GuardedCall([this] { m_FileCommands->MySaveAsClick(); });
}

void TfrmMain::mnuExitClick()
{
    close();
}

void TfrmMain::mnuLayersClick()
{
    m_frmLayer->open();
}

void TfrmMain::mnuGridClick()
{
    m_frmGrid->open();
}

void TfrmMain::FormKeyPress(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape:
        m_Prg.CancelOperation();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_Prg.Busy())
            m_Prg.SendUserEvent(TCADUserEvent::Accept);
        else
            RipetiUltimaOp();
        break;
    default:
        break;
    }
}

void TfrmMain::RipetiUltimaOp()
{
    // No command is recorded yet: the recent-commands toolbar is not built.
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

void TfrmMain::QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam*)
{
    m_EndOperation.QV_PrgEndOperation(sender, operation);
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
    return m_ToolWin.Text(field);
}

void TfrmMain::SetToolWinText(TToolWinText field, const std::string& text)
{
    m_ToolWin.SetText(field, text);
}

bool TfrmMain::ToolWinChecked(TToolWinCheck check) const
{
    return m_ToolWin.Checked(check);
}

int32_t TfrmMain::ToolWinItemIndex(TToolWinIndex list) const
{
    return m_ToolWin.ItemIndex(list);
}

void TfrmMain::SetToolWinItemIndex(TToolWinIndex list, int32_t index)
{
    m_ToolWin.SetItemIndex(list, index);
}
