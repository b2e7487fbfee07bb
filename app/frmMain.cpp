#include "app/frmMain.h"

#include "app/FileCommands.h"
#include "app/toolwin/OpenFilePages.h"
#include "app/toolwin/VectorizePage.h"
#include "io/ui/DlgOpenGeo.h"
#include "app/KeyPreview.h"
#include "app/mainwin/ImageLists.h"
#include "app/mainwin/MainStatusBar.h"
#include "app/machining/LathePages.h" // lathe pages
#include "app/machining/OperationPages.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/MenuItems.h"
#include "app/machining/MachiningContext.h"
#include "app/machining/MillingPages.h"
#include "app/machining/LettersPage.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ListaTab.h"
#include "cam/ui/frmCncTab.h"
#include "nc/writer/ScriveGCode.h"
#include "app/mainwin/RecentCommands.h"
#include "app/mainwin/ToolbarCommands.h"
#include "app/mainwin/TreeCommands.h"
#include "app/mainwin/ViewCommands.h"
#include "app/mainwin/WindowLayout.h"
#include "app/mainwin/frmCoord.h"
#include "app/mainwin/HelpCommands.h"
#include "app/toolwin/SettingsPages.h"
#include "app/toolwin/EditPageCommands.h"
#include "app/toolwin/ChainPages.h"
#include "app/toolwin/frmToolWin.h"
// The tab window's pictures come from the pages' picture list.
#include "app/toolwin/PagePictures.h"
#include "cad/edit/QV2d_MuoveInLayer.h"
#include "cad/edit/QV_85Offset.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/states/DrawStateParams.h"
#include "cad/states/PositionStates.h"
#include "core/entities/Container2D.h"
#include "io/text/Testo2Container.h"
#include "cam/chains/Catena.h"
#include "cad/program/EventGuard.h"
#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
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
#include "core/model/UserNotifier.h"
#include "nc/ui/NodraMain.h"
#include "core/model/ViewInterfaces.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The docked tool window's least width, so that the panel's grid fits.
constexpr int ToolDockMinimumWidth = 236;

QString FileNameText(const std::string& fileName)
{
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

// The status slots and the language texts that fill them.
constexpr std::pair<int, std::string_view> StatusSlots[] = {
    {0, LangKeys::String::StatusVectorize},    {1, LangKeys::String::StatusPlacement},
    {2, LangKeys::String::StatusLayerDialog},  {3, LangKeys::String::StatusGridDialog},
    {4, LangKeys::String::StatusPostPage},     {5, LangKeys::String::StatusToolPage},
    {6, LangKeys::String::StatusChainPage},    {7, LangKeys::String::StatusParameterPage},
    {8, LangKeys::String::StatusDrillPage},    {12, LangKeys::String::StatusDeleteSmall},
    {13, LangKeys::String::StatusRecentHint},
};
constexpr int RecentHintSlot = 13;

// The editors of the properties grid take signed decimals only.
class TSignedDecimalDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            TCharKeyFilter::Install(*edit, &SignedDecimalKeyFilter);
        return editor;
    }
};

// The images of the File toolbar.
constexpr int NewImage = 0;
constexpr int OpenImage = 1;
constexpr int MergeImage = 2;
constexpr int SaveImage = 3;
constexpr int SaveAsImage = 37;
constexpr int CncImage = 5;
constexpr int ExitImage = 7;
constexpr int VectorizeImage = 4;

} // namespace

TfrmMain::TfrmMain(TQVScene& scene, TQV_01Cmp2D& document, TQV_00Prog& prg, TAppConfig& config,
                   const std::string& programFolder)
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
    // A name joins the recent files once its file was read or written.
    m_FileCommands->OnFileOpened = [this](const std::string& fileName) {
        ShowFileInCaption(fileName);
        CurrLayerInfo(); // a merge may change the current layer
        m_RecentFiles.Add(fileName);
    };
    // A file read only in part is shown under its name, marked incomplete;
    // it does not join the recent files.
    m_FileCommands->OnFilePartlyRead = [this](const std::string& fileName) {
        setWindowTitle(QString::fromLatin1(BaseCaption) + QStringLiteral(" - ") + FileNameText(fileName) +
                       QStringLiteral(" ") + AnsiToQString(LangText(LangKeys::String::PartlyReadTitle)));
        CurrLayerInfo();
    };
    m_FileCommands->OnFileSaved = [this](const std::string& fileName) {
        ShowFileInCaption(fileName);
        m_RecentFiles.Add(fileName);
    };
    m_FileCommands->OnDrawingCleared = [this] {
        setWindowTitle(QString::fromLatin1(BaseCaption));
        m_InfoEdit->SetPanelVisible(false);
    };

    BuildDrawMenu();
    BuildToolbars();
    m_FileCommands->OnDrawingReplaced = [this] {
        m_InfoEdit->TreeGeo().RebuildGeoTree(m_Document);
        // Nothing of the drawing that went stays on the panel, and the
        // layer button shows the current layer of the one that came.
        m_InfoEdit->ClearPage();
        CurrLayerInfo();
    };

    BuildToolWin(programFolder);
    BuildMachining();
    BuildSettings(programFolder);
    m_EndOperation.HideToolWin = [this] { m_frmToolWin->HideAtCommandEnd(); };
    m_EndOperation.RefreshPanel = [this] { RefreshInfoEdit(); };

    BuildDialogs();
    // Lathe pages: the home position is typed in the coordinate dialog.
    m_OperationPages->Lathe().CoordDialog = m_frmCoord;
    m_StatusItems->SetGridButtonDown(m_Config.SGrid);
    m_StatusItems->SetAxisButtonDown(m_Config.SAxis);
    CurrLayerInfo();
    m_KeyPreview = std::make_unique<TKeyPreview>(*this, [this](int key) { GuardedCall([&] { FormKeyPress(key); }); });
}

TfrmMain::~TfrmMain()
{
    m_KeyPreview.reset();
    m_HelpCommands.reset();
    m_SettingsPages.reset();
    // Letters page: its editors go while the tool window and the labels stand.
    m_LettersPage.reset();
    m_MachiningMenu.reset();
    m_OperationPages.reset();
    SetTabMarkerDocument(m_PreviousTabMarkerDocument);
    // The tool window's hide must not reach the panel or the program.
    m_frmToolWin->HideHooks.clear();
    m_frmToolWin->ClearOverlay = nullptr;
    delete m_frmToolWin;
    m_frmToolWin = nullptr;
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
    m_StatusItems = new TMainStatusBar(*this, m_Prg, m_Scene, m_Config);
    m_ProgressBar1 = m_StatusItems->ProgressBar1();
    m_lblCoordinate = m_StatusItems->lblCoordinate();
    m_StatusBarMess = m_StatusItems->StatusBarMess();
    m_sbtLayer = &m_StatusItems->sbtLayer();
    m_SpTBXCLCol = &m_StatusItems->SpTBXCLCol();
    m_StatusItems->OpenLayerDialog = [this] { RunLayerDialog(); };
    m_StatusItems->OpenGridDialog = [this] { RunGridDialog(); };
    m_StatusItems->ShowStatusSlot = [this](int slot) { ShowStatusSlot(slot); };
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
    // Placed before the View menu; the Create toolbar's commands fill it.
    m_mnuDraw = new QMenu(QStringLiteral("&Draw"), this);
    m_mnuDraw->setObjectName(QStringLiteral("mnuDraw"));
    menuBar()->insertMenu(m_mnuView->menuAction(), m_mnuDraw);
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

    // The grid's key filter (SGInfoEditKeyPress).
    m_InfoEdit->Grid().setItemDelegate(new TSignedDecimalDelegate(&m_InfoEdit->Grid()));
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
    m_frmCoord = new TfrmCoord(this);

    std::vector<QIcon> treeImages;
    for (int index = 0; index <= ImageListIndices(TImageList::TreeGeo).back(); ++index)
        treeImages.push_back(ListImage(TImageList::TreeGeo, index));
    m_InfoEdit->TreeGeo().SetImages(std::move(treeImages));
    m_TreeCommands = new TTreeCommands(*this, m_InfoEdit->TreeGeo(), m_Document, m_Scene);
    m_TreeCommands->OpenLayerDialog = [this] { RunLayerDialog(); };
    m_InfoEdit->OnObjectSelected = [this](TObject2D& object) { m_Scene.ShowDragObject(&object); };
}

void TfrmMain::BuildToolbars()
{
    BuildFileToolbar();

    m_ViewCommands = new TViewCommands(*this, m_Prg, m_Scene, m_Document, *m_StatusItems);
    m_ViewCommands->CoordClick = [this] { mnuCoordClick(); };
    m_GraphicView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_GraphicView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_ViewCommands->ShowPopup(*m_GraphicView, position); });

    m_tbrCreate = new QToolBar(this);
    m_tbrCreate->setObjectName(QStringLiteral("tbrCreate"));
    m_tbrCreate->setWindowTitle(QStringLiteral("Create"));
    m_tbrEdit = new QToolBar(this);
    m_tbrEdit->setObjectName(QStringLiteral("tbrEdit"));
    m_tbrEdit->setWindowTitle(QStringLiteral("Edit"));

    m_tbrMRU = new QToolBar(this);
    QToolBar* tbrMRU = m_tbrMRU;
    tbrMRU->setObjectName(QStringLiteral("tbrMRU"));
    tbrMRU->setWindowTitle(QStringLiteral("Recent commands"));
    m_RecentCommands = new TRecentCommands(*tbrMRU);
    BuildCommandToolbars();

    // Two rows: files and view; drawing, editing and the recent commands.
    for (QToolBar* bar : {m_tbrFile, &m_ViewCommands->tbrView()})
        addToolBar(Qt::TopToolBarArea, bar);
    addToolBarBreak(Qt::TopToolBarArea);
    for (QToolBar* bar : {m_tbrCreate, m_tbrEdit, tbrMRU})
        addToolBar(Qt::TopToolBarArea, bar);
}

void TfrmMain::BuildCommandToolbars()
{
    m_ToolbarCommands = new TToolbarCommands(m_Prg, *m_RecentCommands, m_EndOperation, *m_tbrCreate, *m_tbrEdit,
                                             m_mnuDraw);
    m_ToolbarCommands->SetView(&m_Scene, &m_Document);
    m_ToolbarCommands->WindowSelection = [this] { return m_StatusItems->mnuWinSelect().isChecked(); };
    m_ToolbarCommands->SelectTreeNode = [this](TObject2D& object) {
        TGeoTreeView& tree = m_InfoEdit->TreeGeo();
        if (QTreeWidgetItem* item = tree.Item(object.TreeNode()))
            tree.setCurrentItem(item);
    };
    m_ToolbarCommands->PageCommands = {
        {"mnuPtAlong", [this] { mnuPtAlongClick(); }},         {"mnuTextTT", [this] { TextTTClick(); }},
        {"mnuTextSL", [this] { TextSLClick(); }},              {"mnuDeleteSmall", [this] { MyDeleteSmallClick(); }},
        {"mnuChangeLayer", [this] { MyChangeLayerClick(); }}, {"mnuOffset", [this] { MyOffsetClick(); }},
        {"mnuInfoEntities", [this] { MyInfoClick(); }},
    };
    m_InfoEdit->OnCellChange = [this](int, int) { m_ToolbarCommands->SGInfoEditCellChange(); };
}

void TfrmMain::BuildFileToolbar()
{
    m_tbrFile = new QToolBar(this);
    m_tbrFile->setObjectName(QStringLiteral("tbrFile"));
    m_tbrFile->setWindowTitle(QStringLiteral("File"));

    SetImage(*m_mnuNew, TImageList::File, NewImage);
    m_tbrFile->addAction(m_mnuNew);

    m_mnuMerge = new QAction(QStringLiteral("Merge..."), this);
    m_mnuMerge->setObjectName(QStringLiteral("mnuMerge"));
    SetImage(*m_mnuMerge, TImageList::File, MergeImage);
    connect(m_mnuMerge, &QAction::triggered, this, [this] { mnuMergeClick(); });
    SetImage(*m_mnuOpen, TImageList::File, OpenImage);
    auto* openMenu = new QMenu(this);
    openMenu->setObjectName(QStringLiteral("mnuOpenMenu"));
    openMenu->addAction(m_mnuOpen);
    openMenu->addAction(m_mnuMerge);
    openMenu->addSeparator();
    m_mruRecentFiles = openMenu->addMenu(QStringLiteral("Recent files"));
    m_mruRecentFiles->setObjectName(QStringLiteral("mruRecentFiles"));
    m_mruRecentFiles->menuAction()->setObjectName(QStringLiteral("mruRecentFiles"));
    m_sbtOpen = new QToolButton(m_tbrFile);
    m_sbtOpen->setObjectName(QStringLiteral("sbtOpen"));
    m_sbtOpen->setPopupMode(QToolButton::MenuButtonPopup);
    m_sbtOpen->setMenu(openMenu);
    m_sbtOpen->setDefaultAction(m_mnuOpen);
    m_tbrFile->addWidget(m_sbtOpen);
    m_RecentFiles.OnChange = [this] { BuildRecentFilesMenu(); };
    BuildRecentFilesMenu();

    // The split button repeats the item chosen last.
    SetImage(*m_mnuSave, TImageList::File, SaveImage);
    SetImage(*m_mnuSaveAs, TImageList::File, SaveAsImage);
    auto* saveMenu = new QMenu(this);
    saveMenu->setObjectName(QStringLiteral("mnuSaveMenu"));
    saveMenu->addAction(m_mnuSave);
    saveMenu->addAction(m_mnuSaveAs);
    m_sbtSave = new QToolButton(m_tbrFile);
    m_sbtSave->setObjectName(QStringLiteral("sbtSave"));
    m_sbtSave->setPopupMode(QToolButton::MenuButtonPopup);
    m_sbtSave->setMenu(saveMenu);
    m_sbtSave->setDefaultAction(m_mnuSave);
    const auto remember = [this](QAction* chosen) {
        m_sbtSave->setDefaultAction(chosen);
        m_sbtSave->setToolTip(AnsiToQString(LangMainHint(LangKeys::frmMain::sbtSave)));
    };
    connect(m_mnuSave, &QAction::triggered, this, [remember, this] { remember(m_mnuSave); });
    connect(m_mnuSaveAs, &QAction::triggered, this, [remember, this] { remember(m_mnuSaveAs); });
    m_tbrFile->addWidget(m_sbtSave);

    // The Machining submenu; the machining menu gives its items their commands.
    auto* cncMenu = new QMenu(this);
    cncMenu->setObjectName(QStringLiteral("mnuCnc"));
    for (const TMenuItemSpec& spec : MachiningMenuItems)
        CreaItemMenu(spec.Name, *cncMenu, nullptr, spec.Image, TImageList::File);
    auto* sbtCnc = new QToolButton(m_tbrFile);
    sbtCnc->setObjectName(QStringLiteral("sbtCnc"));
    sbtCnc->setPopupMode(QToolButton::InstantPopup);
    sbtCnc->setMenu(cncMenu);
    SetImage(*sbtCnc, TImageList::File, CncImage);
    m_tbrFile->addWidget(sbtCnc);

    SetImage(*m_mnuExit, TImageList::File, ExitImage);
    m_tbrFile->addAction(m_mnuExit);
}

void TfrmMain::BuildRecentFilesMenu()
{
    m_mruRecentFiles->clear();
    const std::vector<std::string>& names = m_RecentFiles.Names();
    for (size_t i = 0; i < names.size(); ++i) {
        QAction* item = m_mruRecentFiles->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(FileNameText(names[i])));
        const std::string name = names[i];
        connect(item, &QAction::triggered, this, [this, name] { mruRecentFilesClick(name); });
    }
    m_mruRecentFiles->menuAction()->setEnabled(!names.empty());
}

int TfrmMain::RunLayerDialog()
{
    return UserNotifier().RunDialog("frmLayer", [this] { return m_frmLayer->exec(); });
}

int TfrmMain::RunGridDialog()
{
    return UserNotifier().RunDialog("frmGrid", [this] { return m_frmGrid->exec(); });
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

void TfrmMain::LoadStatusMessages()
{
    for (std::string& text : m_StatusTexts)
        text.clear();
    for (const auto& [slot, key] : StatusSlots)
        m_StatusTexts[static_cast<size_t>(slot)] = LangText(key);
}

const std::string& TfrmMain::StatusText(int slot) const
{
    static const std::string none;
    return slot >= 0 && slot < StatusTextCount ? m_StatusTexts[static_cast<size_t>(slot)] : none;
}

void TfrmMain::ShowStatusMessage(const std::string& text)
{
    m_Monitor->ShowStatusMessage(text);
}

void TfrmMain::ShowStatusSlot(int slot)
{
    ShowStatusMessage(StatusText(slot));
}

void TfrmMain::ImpostaTbr()
{
    const Qt::ToolButtonStyle style = m_Config.TbrImagesOnly ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon;
    for (QToolBar* bar : {m_tbrFile, &m_ViewCommands->tbrView(), m_tbrCreate, m_tbrEdit})
        bar->setToolButtonStyle(style);
}

namespace {

// Eats the tool-tip events of the widgets it watches.
class TNoHints final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

} // namespace

void TfrmMain::ImpostaHint()
{
    static const char* const FilterName = "kbNoHints";
    auto* filter = findChild<TNoHints*>(QString::fromLatin1(FilterName), Qt::FindDirectChildrenOnly);
    if (!filter) {
        filter = new TNoHints(this);
        filter->setObjectName(QString::fromLatin1(FilterName));
    }
    std::vector<QWidget*> targets{m_tbrFile,  &m_ViewCommands->tbrView(), m_tbrCreate,
                                  m_tbrEdit,  &m_RecentCommands->Bar(),    statusBar(),
                                  m_GraphicView};
    for (QWidget* target : std::vector<QWidget*>(targets)) {
        for (QWidget* child : target->findChildren<QWidget*>())
            targets.push_back(child);
    }
    for (QWidget* target : targets) {
        target->removeEventFilter(filter);
        if (!m_Config.ShowInt)
            target->installEventFilter(filter);
    }
}

void TfrmMain::RestoreLayout()
{
    if (m_Config.ConfigFolder().empty())
        return;
    QByteArray state;
    LoadToolbarsAndRecentFiles(m_Config.SettingsFileName(), state, m_RecentFiles);
    if (!state.isEmpty())
        restoreState(state);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    bool close = false;
    GuardedCall([&] { close = FormClose(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

bool TfrmMain::FormClose()
{
    // Not while long work runs; a play is stopped first and the close asked
    // again once its loop has returned.
    if (!m_frmToolWin->AllowMainClose([window = QPointer<TfrmMain>(this)] {
            if (window)
                window->close();
        }))
        return false;
    if (UserNotifier().AskYesNo(LangText(LangKeys::String::CloseQuestion), LangText(LangKeys::String::ErrorCaption)) !=
        EUserAnswer::Yes)
        return false;
    m_frmToolWin->hide();
    if (m_Config.ConfigFolder().empty())
        return CloseGCodeEditor();
    StoreWindowBounds(*this, m_Config);
    m_Config.Save(); // a failure is on stderr; the close goes on
    std::string error;
    // Not written is not worth keeping the program open for.
    (void)SaveToolbarsAndRecentFiles(m_Config.SettingsFileName(), saveState(), m_RecentFiles, error);
    return CloseGCodeEditor();
}

bool TfrmMain::CloseGCodeEditor()
{
    // The editor asks for its modified tabs; a Cancel there keeps both
    // windows open rather than losing the text.
    if (!CloseNodraEditor())
        return false;
    CurrentNcFile().clear();
    return true;
}

void TfrmMain::mnuCoordClick()
{
    GuardedCall([this] {
        const TPoint2D cursor = m_Prg.GetCursorPoint();
        m_frmCoord->txtCoordX().setText(AnsiToQString(FormatCoord(cursor.X)));
        m_frmCoord->txtCoordY().setText(AnsiToQString(FormatCoord(cursor.Y)));
        m_frmCoord->txtCoordX().setFocus();
        if (UserNotifier().RunDialog("frmCoord", [this] { return m_frmCoord->exec(); }) != TfrmCoord::ResultOk)
            return;
        const double x = CoordFromText(QStringToAnsi(m_frmCoord->txtCoordX().text()));
        const double y = CoordFromText(QStringToAnsi(m_frmCoord->txtCoordY().text()));
        m_Prg.SetCursorPoint(TPoint2D{x, y, 1.0});
        m_Prg.SendMouseEvent(TCADEventKind::MouseDown, TMouseButton::Left, TShiftState(), 0);
    });
}

void TfrmMain::mnuMergeClick()
{
    GuardedCall([this] { m_FileCommands->OpenGeo(std::string(), true); });
}

void TfrmMain::mruRecentFilesClick(const std::string& fileName)
{
    GuardedCall([this, &fileName] { m_FileCommands->OpenGeo(fileName, false); });
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
        // Enter in a cell being typed into commits the cell, and nothing
        // else: a command started or ended now would take the panel's page
        // away before the cell is stored.
        if (EditingPanelCell())
            break;
        if (m_Prg.Busy())
            m_Prg.SendUserEvent(TCADUserEvent::Accept);
        else
            RipetiUltimaOp();
        break;
    default:
        break;
    }
}

bool TfrmMain::EditingPanelCell() const
{
    const QWidget* focus = QApplication::focusWidget();
    const QTableWidget& grid = m_InfoEdit->Grid();
    return focus && focus != &grid && grid.isAncestorOf(focus);
}

void TfrmMain::RipetiUltimaOp()
{
    m_RecentCommands->RipetiUltimaOp();
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
    m_StatusItems->SetLayerColor(color);
}

void TfrmMain::SetGridButtonDown(bool down)
{
    m_GridButtonDown = down;
    m_StatusItems->SetGridButtonDown(down);
}

void TfrmMain::ShowSnapToGrid(bool on)
{
    m_SnapToGridShown = on;
    m_StatusItems->ShowSnapToGrid(on);
}

void TfrmMain::QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam*)
{
    m_EndOperation.QV_PrgEndOperation(sender, operation);
    // A nested operation's end belongs to the command it interrupted.
    if (!sender.Suspended())
        m_RecentCommands->CommandEnded();
}

void TfrmMain::QV_PrgDescriptionChanged(TQV_00State& state)
{
    if (m_RecentCommands->ConsumeRecentHint())
        ShowStatusSlot(RecentHintSlot);
    else
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

void TfrmMain::ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey, int32_t clientWidth,
                         int32_t clientHeight)
{
    std::vector<std::string> names;
    for (const TToolWinTab tab : tabs)
        names.push_back(TfrmToolWin::TabName(tab));
    m_frmToolWin->ShowPages(names, captionKey, clientWidth, clientHeight);
}

std::string TfrmMain::ToolWinText(TToolWinText field) const
{
    return m_frmToolWin->Text(field);
}

void TfrmMain::SetToolWinText(TToolWinText field, const std::string& text)
{
    m_frmToolWin->SetText(field, text);
}

bool TfrmMain::ToolWinChecked(TToolWinCheck check) const
{
    return m_frmToolWin->Checked(check);
}

void TfrmMain::SetToolWinChecked(TToolWinCheck check, bool checked)
{
    m_frmToolWin->SetChecked(check, checked);
}

int32_t TfrmMain::ToolWinItemIndex(TToolWinIndex list) const
{
    return m_frmToolWin->ItemIndex(list);
}

void TfrmMain::SetToolWinItemIndex(TToolWinIndex list, int32_t index)
{
    m_frmToolWin->SetItemIndex(list, index);
}

bool TfrmMain::CopySwitch() const
{
    return m_frmToolWin->CopySwitch();
}

bool TfrmMain::UniformScaleSwitch() const
{
    return m_frmToolWin->UniformScaleSwitch();
}

// --- Tool window and its page commands ------------------------------------------------

void TfrmMain::BuildToolWin(const std::string& programFolder)
{
    m_frmToolWin = new TfrmToolWin(m_Prg, m_Config, m_Monitor.get(), programFolder, this);
    m_frmToolWin->SetQuasiModalTargets({m_tbrFile, m_tbrCreate, m_tbrEdit, m_tbrMRU, m_pgCtrGeoCnc});
    m_frmToolWin->ClearOverlay = [this] { m_Scene.ClearOverlay(); };
    m_frmToolWin->SetDocument(&m_Document);
    m_frmToolWin->ShowStatusMessage = [this](const std::string& text) { ShowStatusMessage(text); };
    m_frmToolWin->IdentDelSmallEnt = [this](bool del, double size) {
        return ::IdentDelSmallEnt(m_Document, del, size);
    };
    m_frmToolWin->OnSelectedObj = [this](TObject2D* selected) {
        if (selected && m_ToolbarCommands->SelectTreeNode)
            m_ToolbarCommands->SelectTreeNode(*selected);
    };
    m_frmToolWin->MyTTFConvClick = [this] { MyTTFConvClick(); };
    m_frmToolWin->MySLFConvClick = [this] { MySLFConvClick(); };
    m_frmToolWin->ChangeLayerSelect = [this](bool window, bool move) {
        // The selection itself is no command of its own on the recent list.
        m_RecentCommands->SetRecentAdded(false);
        StartChangeLayerCommand(m_Prg, window, move);
    };
    m_frmToolWin->ChangeLayerDone = [this] {
        m_RecentCommands->AskRecentHint();
        if (m_RecentCommands->ConsumeRecentHint())
            ShowStatusSlot(RecentHintSlot);
    };
    // Letters page: registered before the operation pages, so its tab
    // stands before the contour tab of a letters operation.
    m_LettersPage = std::make_unique<TLettersPage>(*m_frmToolWin, &m_Prg);
    TChainPages& chains = m_frmToolWin->ChainPages();
    chains.SetWindowSelection = [this](bool on) { m_StatusItems->mnuWinSelect().setChecked(on); };
    chains.ViewSceneScale = [this] { return m_Scene.Camera().SceneScale(); };

    TVectorizePage& vectorize = AddOpenFilePages(*m_frmToolWin, *m_FileCommands, m_Document);
    vectorize.OnShowPreview = [this](TContainer2D* preview) {
        if (preview)
            m_Scene.ShowDragObject(preview);
        else
            m_Scene.HideDragObject();
    };
    vectorize.RunLayerDialog = [this] { RunLayerDialog(); };
    auto* vect = new QAction(AnsiToQString(LangText(LangKeys::String::VectorizeCaption)), this);
    vect->setObjectName(QStringLiteral("sbtVect"));
    SetImage(*vect, TImageList::File, VectorizeImage);
    connect(vect, &QAction::triggered, this, [this] { GuardedCall([this] { m_FileCommands->sbtVectClick(); }); });
    m_tbrFile->insertAction(m_mnuExit, vect);
}

TOpenGeoPicker* TfrmMain::OpenGeoPanel()
{
    return m_FileCommands ? m_FileCommands->OpenGeoPanel() : nullptr;
}

void TfrmMain::BuildMachining()
{
    // The current post goes into the G-code writer before the tree's root
    // is captioned with its name. A post that cannot be read was reported.
    if (!m_Config.ConfigFolder().empty()) {
        try {
            const std::string warning = GCodeWriter().LoadPst(m_Config.ConfigFolder());
            if (!warning.empty())
                UserNotifier().ShowMessage(EMessageKind::Warning, warning, LangText(LangKeys::String::ErrorCaption));
        } catch (const std::exception&) {
        }
    }
    // Holding-tab markers are objects of this drawing.
    m_PreviousTabMarkerDocument = TabMarkerDocument();
    SetTabMarkerDocument(&m_Document);
    m_OperationPages = std::make_unique<TOperationPages>(*m_frmToolWin, m_Monitor.get());
    m_OperationPages->ShowInfoText = [this](const std::string& text) { m_Scene.ShowInfoText(text); };
    m_OperationPages->Milling().ShowTabWindow = [this] { ShowTabWindow(false); };
    m_OperationPages->FillTabWindow = [this] { ShowTabWindow(true); };
    m_OperationPages->HideTabWindow = [this] {
        if (m_frmCncTab) {
            m_frmCncTab->Bind(nullptr, nullptr);
            m_frmCncTab->hide();
        }
    };
    m_MachiningMenu = std::make_unique<TMachiningMenu>(*this, *m_OperationPages, m_Config, nullptr);
    m_MachiningMenu->RepaintViews = [this] { m_Document.RepaintViewports(); };
    m_FileCommands->DeleteAllOperations = [this] { m_MachiningMenu->DeleteAllOperations(); };
    // Letters page: the label command; the page itself stands already.
    m_OperationPages->LettersRead = [this] { m_LettersPage->FreeCommandControls(); };
    m_ToolbarCommands->PageCommands["mnuTextLabel"] = [this] { m_LettersPage->mnuTextLabelClick(); };
}

void TfrmMain::ShowTabWindow(bool fillOnly)
{
    TMachiningContext* context = MachiningContext();
    TOpManagerField* op = context ? context->CurrentOperation() : nullptr;
    if (!op)
        return;
    if (!m_frmCncTab) {
        m_frmCncTab = new TfrmCncTab(this);
        m_frmCncTab->setObjectName(QStringLiteral("frmCncTab"));
        m_frmCncTab->setWindowFlag(Qt::WindowStaysOnTopHint);
        m_frmCncTab->SetProgram(&m_Prg);
        // The tab kinds' pictures: those of the operation pages.
        m_frmCncTab->SetPictures(ToolWinPicture);
    }
    TListaTab& tabs = op->Parameters->Tabs;
    m_frmCncTab->Bind(nullptr, nullptr);
    if (fillOnly) {
        // The edits take the operation's values without acting on them.
        const QSignalBlocker width(&m_frmCncTab->txtTabWidth());
        const QSignalBlocker thickness(&m_frmCncTab->txtTabThick());
        m_frmCncTab->txtTabWidth().setText(AnsiToQString(FormatCoordSpaced(tabs.TabWidth)));
        m_frmCncTab->txtTabThick().setText(AnsiToQString(FormatCoordSpaced(tabs.TabThickness)));
        (tabs.Full ? m_frmCncTab->rbtTabFull() : m_frmCncTab->rbtTabPartial()).setChecked(true);
        m_frmCncTab->LstBox().clear();
        for (int i = 0; i < tabs.Count(); ++i) {
            const TVector2D& at = tabs.Tab(i).ChainPoint;
            m_frmCncTab->LstBox().addItem(AnsiToQString(FormatCoordX(at.X) + " " + FormatCoordY(at.Y)));
        }
    }
    m_frmCncTab->Bind(&tabs, &op->Chains);
    if (!fillOnly) {
        m_frmCncTab->show();
        m_frmCncTab->raise();
    }
}

void TfrmMain::MyDeleteSmallClick()
{
    m_frmToolWin->findChild<QLabel*>(QStringLiteral("stxReportSmall"))->clear();
    m_frmToolWin->ShowPages({"tabDelSmall"}, std::string(LangKeys::frmToolWin::CaptionDelSmall), 272, 220);
    ShowStatusSlot(12);
}

void TfrmMain::MyChangeLayerClick()
{
    m_frmToolWin->SetText(TToolWinText::MCLayer, std::string());
    m_frmToolWin->ShowPages({"tabChangeLayer"}, std::string(LangKeys::frmToolWin::CaptionChangeLayer), 272, 200);
    std::vector<std::string> names;
    for (int layer = 0; layer < 256; ++layer)
        names.push_back(m_Document.Layers().GetLayer(layer).Name());
    m_frmToolWin->FillLayerList(names, m_Document.CurrentLayer());
}

void TfrmMain::MyOffsetClick()
{
    m_frmToolWin->ShowPages({"tabOffset"}, std::string(LangKeys::frmToolWin::CaptionOffset), 250, 180);
    StartOffsetCommand(m_Prg, m_ToolbarCommands->SelectionCallback());
}

void TfrmMain::MyInfoClick()
{
    m_frmToolWin->ShowPages({"tabInfoDb"}, std::string(LangKeys::frmToolWin::CaptionInfo), 336, 311);
    m_frmToolWin->ShowStatistics(CountDrawing(m_Document));
}

void TfrmMain::mnuPtAlongClick()
{
    GlobalChainList().ClearChains();
    m_frmToolWin->ShowPages({"tabPtAlong"}, std::string(LangKeys::frmToolWin::CaptionPtAlong), 233, 264);
}

void TfrmMain::TextTTClick()
{
    m_frmToolWin->ShowPages({"tabTextTT"}, std::string(LangKeys::frmToolWin::CaptionTextTT), 248, 476);
    m_frmToolWin->findChild<QLabel*>(QStringLiteral("lblTTChar"))->setText(QStringLiteral("Abc"));
    MyTTFConvClick();
}

void TfrmMain::TextSLClick()
{
    m_frmToolWin->ShowPages({"tabTextSL"}, std::string(LangKeys::frmToolWin::CaptionTextSL), 248, 476);
    MySLFConvClick();
}

void TfrmMain::MyTTFConvClick()
{
    m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    TFontRequest font;
    font.Family = m_frmToolWin->TrueTypeFamily();
    font.Bold = m_frmToolWin->TrueTypeBold();
    font.Italic = m_frmToolWin->TrueTypeItalic();
    const std::vector<std::u16string> lines = m_frmToolWin->TrueTypeLines();
    std::unique_ptr<TContainer2D> text = m_frmToolWin->TextConverter().TrueTypeToContainer(lines, font);
    // Text to draw that gives no outline at all: the font lacks its
    // characters, or cannot be read. Said, so the OK does not seem ignored.
    const bool hasInk = std::any_of(lines.begin(), lines.end(), [](const std::u16string& line) {
        return std::any_of(line.begin(), line.end(), [](char16_t c) { return c > u' '; });
    });
    if (hasInk && (!text || text->Objects().Count() == 0)) {
        UserNotifier().ShowMessage(EMessageKind::Warning,
                                   LangFormat(LangText(LangKeys::String::FontNoOutlines), {font.Family}),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    PlaceText(std::move(text));
}

void TfrmMain::MySLFConvClick()
{
    m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    PlaceText(m_frmToolWin->TextConverter().StrokeTextToContainer(m_frmToolWin->StrokeLines()));
}

void TfrmMain::PlaceText(std::unique_ptr<TContainer2D> container)
{
    if (!container || container->Objects().Count() == 0)
        return;
    TContainer2D* raw = container.get();
    auto param = std::make_unique<TQV_40PositionObjectParam>(StateClassOf<TQV_40ExplodeContainer>(),
                                                             std::move(container));
    param->SetUserObject(raw);
    m_Prg.StartOperation(StateClassOf<TQV_40PositionObject>(), std::move(param));
}
