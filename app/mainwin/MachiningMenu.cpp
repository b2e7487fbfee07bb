#include "app/mainwin/MachiningMenu.h"

#include "app/frmMain.h"
#include "app/machining/MachiningContext.h"
#include "app/machining/OperationPages.h"
#include "app/mainwin/MenuItems.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/InfoEdit.h"
#include "app/machining/ParallelPages.h"
#include "cam/ops/OpManager.h"
#include "core/entities/QV_STLSurf.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "nc/sim/OperationSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace {

// PopupTreeCnc in order: name, image list, image.
struct TPopupSpec {
    const char* Name;
    TImageList List;
    int Image;
};
constexpr TPopupSpec PopupItems[] = {
    {"mnuSelPost", TImageList::File, 15},    {"mnuDelete", TImageList::File, 16},
    {"mnuCncNew", TImageList::File, 0},      {"mnuCncContour", TImageList::File, 10},
    {"mnuCncPocket", TImageList::File, 11},  {"mnuCncDrill", TImageList::File, 12},
    {"mnuCncWrite", TImageList::File, 38},   {"mnuCncParallel", TImageList::File, 29},
    {"mnuEditNc", TImageList::File, 13},     {"mnuEditParam", TImageList::Cnc, 3},
    {"mnuShowNci", TImageList::File, 18},    {"mnuSimulate", TImageList::File, 17},
    {"mnuOpOnOff", TImageList::File, 19},    {"mnuPostThis", TImageList::Cnc, 6},
    {"mnuTp2Geo", TImageList::Cnc, 8},
};

// Images of an operation node.
constexpr int CollapsedImage = 1;
constexpr int ExpandedImage = 2;

void Warn(const std::string& text, std::string_view caption)
{
    UserNotifier().ShowMessage(EMessageKind::Warning, text, LangText(caption));
}

} // namespace

TMachiningMenu::TMachiningMenu(TfrmMain& window, TOperationPages& pages, TAppConfig& config, TSimulatore2D* simulator)
    : m_Window(window), m_Pages(pages), m_Config(config), m_Simulator(simulator)
{
    // Letters is made here like the other kinds; through its hook slot the
    // item follows the enabling rule of RefreshHookItems.
    LettersClick = [this] { mnuCncWriteClick(); };
    ParallelClick = [this] { mnuCncParallelClick(); };
    BuildCncTab();
    BuildMenus();
    SetSimulator(simulator);
    m_PreviousShell = SetOperationsShell(this);
    OpManager().InitTree(*m_Tree);
    m_Pages.TreeChanged = [this](TOpManagerField& op, bool added) {
        if (added)
            AddOperationNode(*m_Tree, op);
        else
            UpdateOperationNode(*m_Tree, op);
    };
}

TMachiningMenu::~TMachiningMenu()
{
    m_Pages.TreeChanged = nullptr;
    m_Pages.ShowWholePath = nullptr;
    SetOperationsShell(m_PreviousShell);
}

void TMachiningMenu::SetSimulator(TSimulatore2D* simulator)
{
    m_Simulator = simulator;
    if (!simulator) {
        m_Pages.ShowWholePath = nullptr;
        return;
    }
    m_Pages.ShowWholePath = [simulator](TOpManagerField& op) {
        simulator->ShowWholePath(&SimOperation(op), true);
        return simulator->GetTotalTime();
    };
}

void TMachiningMenu::BuildCncTab()
{
    QWidget* tab = m_Window.GeoCncTabs().findChild<QWidget*>(QStringLiteral("tabCnc"));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    m_TreeCnc = new QTreeWidget(tab);
    m_TreeCnc->setObjectName(QStringLiteral("TreeCnc"));
    m_TreeCnc->setHeaderHidden(true);
    m_TreeCnc->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_TreeCnc);
    for (const char* name : {"sbtRunPst", "sbtChangePst"}) {
        auto* button = new QPushButton(AnsiToQString(LangMainCaption(name)), tab);
        button->setObjectName(QString::fromLatin1(name));
        layout->addWidget(button);
    }
    m_Tree = std::make_unique<TOperationsTreeView>(*m_TreeCnc);

    const auto guarded = [](auto fn) { return [fn] { GuardedCall(fn); }; };
    QObject::connect(tab->findChild<QPushButton*>(QStringLiteral("sbtRunPst")), &QPushButton::clicked, tab,
                     guarded([this] { sbWriteIsoClick(); }));
    QObject::connect(tab->findChild<QPushButton*>(QStringLiteral("sbtChangePst")), &QPushButton::clicked, tab,
                     guarded([this] { mnuSelPostClick(); }));
    QObject::connect(m_TreeCnc, &QTreeWidget::itemClicked, m_TreeCnc, guarded([this] { TreeCncClick(); }));
    QObject::connect(m_TreeCnc, &QTreeWidget::itemDoubleClicked, m_TreeCnc, guarded([this] { TreeCncDblClick(); }));
    QObject::connect(m_TreeCnc, &QTreeWidget::customContextMenuRequested, m_TreeCnc,
                     [this](const QPoint& position) { GuardedCall([&] { TreeCncContextPopup(position); }); });
    // An operation node that is not switched off shows whether it is open.
    const auto follow = [this](QTreeWidgetItem* item, int image) {
        TOpManagerField* op = TOperationsTreeView::Level(item) == 1 ? TOperationsTreeView::Operation(item) : nullptr;
        if (op && !op->SwitchedOff)
            m_Tree->SetImage(TOperationsTreeView::Node(item), image);
    };
    QObject::connect(m_TreeCnc, &QTreeWidget::itemExpanded, m_TreeCnc,
                     [follow](QTreeWidgetItem* item) { GuardedCall([&] { follow(item, ExpandedImage); }); });
    QObject::connect(m_TreeCnc, &QTreeWidget::itemCollapsed, m_TreeCnc,
                     [follow](QTreeWidgetItem* item) { GuardedCall([&] { follow(item, CollapsedImage); }); });
}

void TMachiningMenu::BuildMenus()
{
    const auto hook = [](std::function<void()>& slot) {
        return [&slot] {
            if (slot)
                slot();
        };
    };
    const std::map<std::string, std::function<void()>> handlers = {
        {"mnuCncNew", [this] { mnuNewClick(); }},
        {"mnuCncContour", [this] { mnuContourClick(); }},
        {"mnuCncPocket", [this] { mnuPocketClick(); }},
        {"mnuCncDrill", [this] { mnuCncDrillClick(); }},
        {"mnuCncWrite", hook(LettersClick)},
        {"mnuCncParallel", hook(ParallelClick)},
        {"mnuEditNc", hook(EditNcClick)},
        {"mnuCncGrbl", hook(GrblClick)},
        {"mnuSelPost", [this] { mnuSelPostClick(); }},
        {"mnuDelete", [this] { mnuDeleteOpClick(); }},
        {"mnuEditParam", [this] { mnuEditParamClick(); }},
        {"mnuShowNci", [this] { mnuShowNciClick(); }},
        {"mnuSimulate", [this] { mnuSimulateClick(); }},
        {"mnuOpOnOff", [this] { mnuOpOnOffClick(); }},
        {"mnuPostThis", [this] { mnuPostThisClick(); }},
        {"mnuTp2Geo",
         [this] {
             if (TOpManagerField* op = SelectedOperation(true); op && ToolpathToGeometry && op->Kind != 8)
                 ToolpathToGeometry(*op);
         }},
    };
    if (auto* machining = m_Window.findChild<QMenu*>(QStringLiteral("mnuCnc"))) {
        machining->clear();
        for (const TMenuItemSpec& spec : MachiningMenuItems)
            CreaItemMenu(spec.Name, *machining, handlers.at(spec.Name), spec.Image, TImageList::File);
    }
    m_Popup = new QMenu(m_TreeCnc);
    m_Popup->setObjectName(QStringLiteral("PopupTreeCnc"));
    for (const TPopupSpec& spec : PopupItems)
        m_PopupItems[spec.Name] = CreaItemMenu(spec.Name, *m_Popup, handlers.at(spec.Name), spec.Image, spec.List);
    m_PopupItems["mnuShowNci"]->setCheckable(true);
    RefreshHookItems();
}

void TMachiningMenu::RefreshHookItems()
{
    const std::pair<const char*, const std::function<void()>*> hooks[] = {
        {"mnuCncWrite", &LettersClick}, {"mnuCncParallel", &ParallelClick}, {"mnuEditNc", &EditNcClick},
        {"mnuCncGrbl", &GrblClick}};
    QMenu* machining = m_Window.findChild<QMenu*>(QStringLiteral("mnuCnc"));
    for (const auto& [name, hook] : hooks) {
        const bool there = static_cast<bool>(*hook);
        if (QAction* item = machining ? machining->findChild<QAction*>(QString::fromLatin1(name)) : nullptr)
            item->setEnabled(there);
        if (QAction* item = PopupItem(name))
            item->setEnabled(there);
    }
    if (QAction* item = PopupItem("mnuTp2Geo"))
        item->setEnabled(static_cast<bool>(ToolpathToGeometry));
}

QAction* TMachiningMenu::PopupItem(const std::string& name) const
{
    const auto it = m_PopupItems.find(name);
    return it == m_PopupItems.end() ? nullptr : it->second;
}

void TMachiningMenu::ShowOperationsPage()
{
    m_Window.GeoCncTabs().setCurrentIndex(1);
}

// --- New operations ---------------------------------------------------------------------

void TMachiningMenu::RemoveCurrentMarkers()
{
    if (TOpManagerField* op = m_Pages.Context().CurrentOperation())
        op->Parameters->Tabs.RemoveMarkers();
}

void TMachiningMenu::NewOperation(int kind, bool removeMarkers, const std::function<void()>& beforePages)
{
    if (removeMarkers)
        RemoveCurrentMarkers();
    TOpManagerField* op = m_Pages.Context().SetNewOperation(std::make_unique<TOpManagerField>(kind));
    // The 3D boundary chain has a label of its own.
    op->Chains.HasInfoLabel = kind != OpKind::Parallel3D;
    ShowOperationsPage();
    m_Window.InfoEdit().SetReadOnly(false);
    if (beforePages)
        beforePages();
    m_Pages.ImpostaDialoghi(kind);
}

bool TMachiningMenu::PagesUp() const
{
    // A page set that is up stays; nothing new is made behind it.
    return m_Window.ToolWin().isVisible();
}

void TMachiningMenu::mnuContourClick()
{
    if (!PagesUp())
        NewOperation(OpKind::Contour, true);
}

void TMachiningMenu::mnuPocketClick()
{
    if (!PagesUp())
        NewOperation(OpKind::Pocket, false);
}

void TMachiningMenu::mnuCncDrillClick()
{
    if (!PagesUp())
        NewOperation(OpKind::Drilling, false);
}

void TMachiningMenu::mnuCncParallelClick()
{
    if (PagesUp())
        return;
    // The surface must be the drawing's first object.
    TQV_STLSurf* surface = m_Pages.Surface();
    if (!surface) {
        Warn(LangText(LangKeys::String::NoStlSurface), LangKeys::String::ErrorCaption);
        return;
    }
    const TBox3D box = surface->Box3D();
    NewOperation(OpKind::Parallel3D, true, [this, box] { m_Pages.Parallel().ShowSurfaceLimits(box); });
}

void TMachiningMenu::mnuCncWriteClick()
{
    if (!PagesUp())
        NewOperation(OpKind::Letters, false);
}

// --- Deleting ---------------------------------------------------------------------------

void TMachiningMenu::DeleteOperationNode(QTreeWidgetItem* item)
{
    if (TOperationsTreeView::Level(item) != 1)
        return;
    QTreeWidgetItem* root = item->parent();
    const int index = root->indexOfChild(item);
    if (index >= 0 && index < OpManager().Count())
        m_Pages.OperationDeleting(OpManager().Operation(index));
    OpManager().DeleteOperation(index);
    delete item;
}

void TMachiningMenu::DeleteAllOperations()
{
    if (QTreeWidgetItem* root = m_TreeCnc->topLevelItem(0)) {
        for (int i = root->childCount() - 1; i >= 0; --i)
            DeleteOperationNode(root->child(i));
    }
    m_Pages.Context().SetCurrentOperation(nullptr);
}

void TMachiningMenu::mnuNewClick()
{
    QTreeWidgetItem* root = m_TreeCnc->topLevelItem(0);
    if (!root || root->childCount() == 0)
        return;
    if (UserNotifier().AskYesNo(LangText(LangKeys::String::DeleteAllOperations),
                                LangText(LangKeys::String::ErrorCaption)) != EUserAnswer::Yes)
        return;
    DeleteAllOperations();
}

void TMachiningMenu::mnuDeleteOpClick()
{
    QTreeWidgetItem* item = Selected();
    if (TOperationsTreeView::Level(item) == 1) {
        DeleteOperationNode(item);
        m_Pages.Context().SetCurrentOperation(nullptr);
    }
    if (RepaintViews)
        RepaintViews();
}

// --- The selected operation -------------------------------------------------------------------

QTreeWidgetItem* TMachiningMenu::Selected() const
{
    return m_TreeCnc->currentItem();
}

TOpManagerField* TMachiningMenu::SelectedOperation(bool operationOnly)
{
    QTreeWidgetItem* item = Selected();
    const int level = TOperationsTreeView::Level(item);
    if (level != 1 && (operationOnly || level != 2))
        return nullptr;
    TOpManagerField* op = TOperationsTreeView::Operation(item);
    // Only operations of the list (a stale item carries nothing).
    if (!op || OpManager().IndexOf(op) < 0)
        return nullptr;
    return op;
}

void TMachiningMenu::OpenForEditing(TOpManagerField& op, QTreeWidgetItem* node)
{
    RemoveCurrentMarkers();
    op.TreeNode = TOperationsTreeView::Node(node);
    m_Pages.Edit(op);
}

void TMachiningMenu::mnuEditParamClick()
{
    QTreeWidgetItem* item = Selected();
    if (TOpManagerField* op = SelectedOperation(false))
        OpenForEditing(*op, TOperationsTreeView::Level(item) == 2 ? item->parent() : item);
}

void TMachiningMenu::mnuOpOnOffClick()
{
    TOpManagerField* op = SelectedOperation(true);
    if (!op)
        return;
    QTreeWidgetItem* item = Selected();
    op->SwitchedOff = op->SwitchedOff ? 0 : 1;
    if (op->SwitchedOff) {
        m_Tree->SetImage(TOperationsTreeView::Node(item), OpTreeImage::SwitchedOff);
        item->setExpanded(false);
    } else {
        m_Tree->SetImage(TOperationsTreeView::Node(item), ExpandedImage);
        item->setExpanded(true);
    }
}

void TMachiningMenu::mnuPostThisClick()
{
    TOpManagerField* op = SelectedOperation(true);
    if (!op || op->SwitchedOff)
        return;
    m_Pages.Context().SetCurrentOperation(op);
    op->TreeNode = TOperationsTreeView::Node(Selected());
    ScriveIso(true);
}

void TMachiningMenu::mnuSimulateClick()
{
    if (!m_Simulator || m_Simulator->Running())
        return;
    TOpManagerField* op = SelectedOperation(false);
    if (!op)
        return;
    m_Simulator->SelectOperation(&SimOperation(*op));
    m_Window.ToolWin().ShowPages({"tabSimulate"}, "twSim", 298, 300);
}

void TMachiningMenu::mnuShowNciClick()
{
    TOpManagerField* op = SelectedOperation(false);
    if (!op || !m_Simulator)
        return;
    m_Simulator->ShowWholePath(&SimOperation(*op), false);
    if (op->Shown && m_Pages.ShowInfoText)
        m_Pages.ShowInfoText(LangText(LangKeys::String::SimMachiningTime) + SecondsToHMS(m_Simulator->GetTotalTime()));
}

void TMachiningMenu::mnuSelPostClick()
{
    m_Window.ShowStatusMessage(LangText(LangKeys::String::StatusPostPage));
    m_Window.ToolWin().ShowPages({"tabPostSel"}, "twPostSel", 274, 382);
}

void TMachiningMenu::sbWriteIsoClick()
{
    ScriveIso(false);
}

// --- G-code output ------------------------------------------------------------------------------

void TMachiningMenu::ScriveIso(bool currentOnly)
{
    // Nothing to write: no operation was ever added, or every one was
    // deleted since.
    if (OpManager().LastIndex < 0 || OpManager().Count() == 0) {
        Warn(LangText(LangKeys::String::NothingToSave), LangKeys::String::SaveCaption);
        return;
    }
    TScriveGCode& writer = GCodeWriter();
    const std::string ext = writer.FileExtension;
    if (writer.OutputFileName().empty())
        writer.SetFileName("t");
    TFileRequest request;
    request.Filters = {TFileFilter{"GCode files", {ext}}};
    request.Folder = m_Config.FilePath_Cnc;
    request.FileName = std::filesystem::path(writer.OutputFileName()).replace_extension().string();
    request.DefaultSuffix = ext;
    request.OverwritePrompt = true;
    const std::string chosen = UserNotifier().AskSaveFileName(request);
    if (chosen.empty())
        return;
    writer.SetFileName(chosen);
    m_Config.FilePath_Cnc = std::filesystem::path(chosen).parent_path().string();
    if (currentOnly)
        WriteCurrentOperation(OpManager(), true);
    else
        WriteProgram(OpManager(), true);
}

// --- Tree events --------------------------------------------------------------------------------

void TMachiningMenu::TreeCncClick()
{
    const int level = TOperationsTreeView::Level(Selected());
    m_TreeCnc->setEditTriggers(level == 1 ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                                          : QAbstractItemView::NoEditTriggers);
}

void TMachiningMenu::TreeCncDblClick()
{
    QTreeWidgetItem* item = Selected();
    if (TOperationsTreeView::Level(item) != 2)
        return;
    TOpManagerField* op = SelectedOperation(false);
    if (!op)
        return;
    if (item->parent()->indexOfChild(item) == 0)
        OpenForEditing(*op, item->parent());
    else
        mnuSimulateClick();
}

void TMachiningMenu::TreeCncContextPopup(const QPoint& position)
{
    m_Window.InfoEdit().SetReadOnly(false);
    QTreeWidgetItem* item = m_TreeCnc->itemAt(position);
    for (const auto& [name, action] : m_PopupItems)
        action->setVisible(false);
    const auto show = [this](std::initializer_list<const char*> names) {
        for (const char* name : names)
            m_PopupItems.at(name)->setVisible(true);
    };
    if (!item) {
        show({"mnuSelPost", "mnuCncNew", "mnuCncContour", "mnuCncPocket", "mnuCncDrill", "mnuCncWrite",
              "mnuCncParallel", "mnuEditNc"});
    } else {
        m_TreeCnc->setCurrentItem(item);
        const int level = TOperationsTreeView::Level(item);
        TOpManagerField* op = TOperationsTreeView::Operation(item);
        if (level == 0)
            show({"mnuSelPost"});
        else if (level == 1)
            show({"mnuDelete", "mnuEditParam", "mnuShowNci", "mnuSimulate", "mnuOpOnOff", "mnuPostThis", "mnuTp2Geo"});
        else if (level == 2)
            show({"mnuEditParam", "mnuShowNci", "mnuSimulate"});
        m_PopupItems.at("mnuShowNci")->setChecked(op && op->Shown);
    }
    m_Popup->popup(m_TreeCnc->viewport()->mapToGlobal(position));
}
