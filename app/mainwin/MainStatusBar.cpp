#include "app/mainwin/MainStatusBar.h"

#include "app/mainwin/ImageLists.h"
#include "cad/panel/SetGrid.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/QPainterCanvas.h"
#include "core/settings/AppConfig.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

struct TSnapItem {
    const char* Name;
    TObjectSnapMode Mode;
    int Image;
};

constexpr TSnapItem SnapTable[TMainStatusBar::SnapCount] = {
    {"mnuSBEndpoint", TObjectSnapMode::EndPoint, 1}, {"mnuSBMidpoint", TObjectSnapMode::MidPoint, 2},
    {"mnuSBCenter", TObjectSnapMode::Centre, 3},     {"mnuSBPoint", TObjectSnapMode::Point, 4},
    {"mnuSBAuto", TObjectSnapMode::Automatic, 5},
};

constexpr int OrthoImage = 12;
constexpr int WinSelImage = 13;
constexpr int AxisImage = 14;
constexpr int GridImage = 15;
constexpr int CancelImage = 16;
constexpr int DoneImage = 17;

// The right-click zones of the bar that open the grid dialog.
bool OpensGridDialog(int x)
{
    return x < 23 || (x > 92 && x < 115);
}

QAction* NewAction(QObject* parent, const char* name, bool checkable)
{
    auto* action = new QAction(QString::fromLatin1(name), parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

} // namespace

TMainStatusBar::TMainStatusBar(QMainWindow& window, TQV_00Prog& prg, TQVScene& scene, TAppConfig& config)
    : QObject(&window), m_Window(window), m_Prg(prg), m_Scene(scene), m_Config(config)
{
    m_Bar = window.statusBar();
    m_Bar->setObjectName(QStringLiteral("tbrStatusBar"));
    m_Bar->installEventFilter(this);

    m_ProgressBar1 = new QProgressBar(m_Bar);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setFixedWidth(150);
    m_ProgressBar1->setFormat(QStringLiteral("%p%"));
    QFont bold = m_ProgressBar1->font();
    bold.setBold(true);
    m_ProgressBar1->setFont(bold);
    m_ProgressBar1->hide();
    m_Bar->addWidget(m_ProgressBar1);

    m_lblCoordinate = new QLabel(m_Bar);
    m_lblCoordinate->setObjectName(QStringLiteral("lblCoordinate"));
    m_lblCoordinate->setFixedWidth(180);
    m_lblCoordinate->setAlignment(Qt::AlignCenter);
    m_Bar->addWidget(m_lblCoordinate);

    m_StatusBarMess = new QLabel(m_Bar);
    m_StatusBarMess->setObjectName(QStringLiteral("StatusBarMess"));
    m_StatusBarMess->setMinimumWidth(150);
    m_StatusBarMess->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_Bar->addWidget(m_StatusBarMess, 1);

    BuildSnapMenu();
    m_sbtSnap = new QToolButton(m_Bar);
    m_sbtSnap->setObjectName(QStringLiteral("sbtSnap"));
    m_sbtSnap->setAutoRaise(true);
    m_sbtSnap->setPopupMode(QToolButton::InstantPopup);
    m_sbtSnap->setMenu(m_SnapMenu);
    m_Bar->addPermanentWidget(m_sbtSnap);
    UpdateSnapButton();

    m_mnuOrtho = NewAction(this, "mnuOrtho", true);
    SetImage(*m_mnuOrtho, TImageList::Status, OrthoImage);
    connect(m_mnuOrtho, &QAction::triggered, this, [this](bool on) { m_Prg.UseOrto = on; });
    m_sbtUseOrtho = AddButton("sbtUseOrtho", OrthoImage, true);
    m_sbtUseOrtho->setDefaultAction(m_mnuOrtho);

    // Edit commands read the switch from the action.
    m_mnuWinSelect = NewAction(this, "mnuWinSelect", true);
    SetImage(*m_mnuWinSelect, TImageList::Status, WinSelImage);
    m_sbtWinSel = AddButton("sbtWinSel", WinSelImage, true);
    m_sbtWinSel->setDefaultAction(m_mnuWinSelect);

    m_sbtAxisOnOff = AddButton("sbtAxisOnOff", AxisImage, true);
    connect(m_sbtAxisOnOff, &QToolButton::clicked, this, [this](bool on) {
        GuardedCall([&] {
            m_Scene.SetAxesVisible(on);
            m_Config.SAxis = on;
        });
    });
    m_sbtGridOnOff = AddButton("sbtGridOnOff", GridImage, true);
    connect(m_sbtGridOnOff, &QToolButton::clicked, this, [this](bool on) {
        GuardedCall([&] {
            m_Config.SGrid = on;
            m_Scene.SetGridVisible(on);
        });
    });
    m_sbtCancel = AddButton("sbtCancel", CancelImage, false);
    connect(m_sbtCancel, &QToolButton::clicked, this, [this] { mnuCancelClick(); });
    m_sbtDone = AddButton("sbtDone", DoneImage, false);
    connect(m_sbtDone, &QToolButton::clicked, this, [this] { mnuDoneClick(); });

    m_sbtLayer = new QToolButton(m_Bar);
    m_sbtLayer->setObjectName(QStringLiteral("sbtLayer"));
    m_sbtLayer->setMinimumWidth(100);
    m_sbtLayer->setAutoRaise(true);
    m_Bar->addPermanentWidget(m_sbtLayer);
    connect(m_sbtLayer, &QToolButton::clicked, this, [this] {
        if (ShowStatusSlot)
            ShowStatusSlot(StatusSlot::LayerDialog);
        if (OpenLayerDialog)
            OpenLayerDialog();
    });

    m_SpTBXCLCol = new QLabel(m_Bar);
    m_SpTBXCLCol->setObjectName(QStringLiteral("SpTBXCLCol"));
    m_SpTBXCLCol->setFixedSize(16, 16);
    m_SpTBXCLCol->setAutoFillBackground(true);
    m_SpTBXCLCol->setFrameShape(QFrame::Box);
    m_Bar->addPermanentWidget(m_SpTBXCLCol);
    SetLayerColor(0x0000FF00); // lime until the layer is known
}

QToolButton* TMainStatusBar::AddButton(const char* name, int image, bool checkable)
{
    auto* button = new QToolButton(m_Bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setCheckable(checkable);
    SetImage(*button, TImageList::Status, image);
    m_Bar->addPermanentWidget(button);
    return button;
}

void TMainStatusBar::BuildSnapMenu()
{
    m_SnapMenu = new QMenu(&m_Window);
    m_SnapMenu->setObjectName(QStringLiteral("mnuSBSnap"));
    m_mnuSBSnapTo = NewAction(this, "mnuSBSnapTo", false);
    m_mnuSBSnapTo->setEnabled(false);
    m_SnapMenu->addAction(m_mnuSBSnapTo);

    m_SnapGroup = new QActionGroup(this);
    m_SnapGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < SnapCount; ++i) {
        QAction* item = NewAction(this, SnapTable[i].Name, true);
        SetImage(*item, TImageList::Status, SnapTable[i].Image);
        m_SnapGroup->addAction(item);
        m_SnapMenu->addAction(item);
        m_SnapItems[static_cast<size_t>(i)] = item;
    }
    connect(m_SnapGroup, &QActionGroup::triggered, this, [this](QAction* item) { SnapItemClicked(item); });

    m_mnuSBSnap2Grid = NewAction(this, "mnuSBSnap2Grid", true);
    m_SnapMenu->addAction(m_mnuSBSnap2Grid);
    connect(m_mnuSBSnap2Grid, &QAction::triggered, this, [this](bool on) {
        if (GridSetter().SnapSetterReady())
            GuardedCall([on] { GridSetter().SetSnapToGrid(on); });
    });
    m_mnuSBGridSet = NewAction(this, "mnuSBGridSet", false);
    m_SnapMenu->addAction(m_mnuSBGridSet);
    connect(m_mnuSBGridSet, &QAction::triggered, this, [this] {
        if (ShowStatusSlot)
            ShowStatusSlot(StatusSlot::GridDialog);
        if (OpenGridDialog)
            OpenGridDialog();
    });
}

void TMainStatusBar::SnapItemClicked(QAction* item)
{
    for (int i = 0; i < SnapCount; ++i) {
        if (m_SnapItems[static_cast<size_t>(i)] != item)
            continue;
        const bool on = item->isChecked();
        m_SnapImage = on ? SnapTable[i].Image : 0;
        m_Prg.ObjectSnapMode = on ? SnapTable[i].Mode : TObjectSnapMode::None;
        UpdateSnapButton();
        return;
    }
}

void TMainStatusBar::UpdateSnapButton()
{
    const bool gridSnap = m_mnuSBSnap2Grid && m_mnuSBSnap2Grid->isChecked();
    SetImage(*m_sbtSnap, TImageList::Status, m_SnapImage + (gridSnap ? GridSnapImageOffset : 0));
}

void TMainStatusBar::ShowSnapToGrid(bool on)
{
    {
        const QSignalBlocker blocker(m_mnuSBSnap2Grid);
        m_mnuSBSnap2Grid->setChecked(on);
    }
    UpdateSnapButton();
}

void TMainStatusBar::SetGridButtonDown(bool down)
{
    const QSignalBlocker blocker(m_sbtGridOnOff);
    m_sbtGridOnOff->setChecked(down);
}

void TMainStatusBar::SetAxisButtonDown(bool down)
{
    const QSignalBlocker blocker(m_sbtAxisOnOff);
    m_sbtAxisOnOff->setChecked(down);
}

void TMainStatusBar::SetLayerColor(uint32_t color)
{
    QPalette palette = m_SpTBXCLCol->palette();
    palette.setColor(QPalette::Window, QColorFromWinColor(color));
    m_SpTBXCLCol->setPalette(palette);
}

void TMainStatusBar::mnuCancelClick()
{
    GuardedCall([this] {
        m_Scene.HideDragObject();
        m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    });
}

void TMainStatusBar::mnuDoneClick()
{
    GuardedCall([this] { m_Prg.SendUserEvent(TCADUserEvent::Accept); });
}

bool TMainStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Bar && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && OpensGridDialog(mouse->position().toPoint().x()) &&
            OpenGridDialog) {
            OpenGridDialog();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
