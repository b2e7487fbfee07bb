#include "app/mainwin/ViewCommands.h"

#include "app/mainwin/ImageLists.h"
#include "app/mainwin/MainStatusBar.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/states/QV_20PrgZoomState.h"
#include "cad/states/QV_21RealTimePan.h"
#include "core/model/QV_01Cmp2D.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace {

constexpr double IsoComponent = 0.577350258827209;

} // namespace

osg::Vec3d PresetOffset(TViewPreset preset, double d)
{
    switch (preset) {
    case TViewPreset::Top:
        return {0.0, -0.000001 * d, d};
    case TViewPreset::Front:
        return {0.0, -d, 0.0};
    case TViewPreset::Side:
        return {d, 0.0, 0.0};
    case TViewPreset::Iso:
        return {IsoComponent * d, -IsoComponent * d, IsoComponent * d};
    }
    return {0.0, 0.0, d};
}

TViewCommands::TViewCommands(QMainWindow& window, TQV_00Prog& prg, TQVScene& scene, TQV_01Cmp2D& document,
                             TMainStatusBar& statusBar)
    : QObject(&window), m_Window(window), m_Prg(prg), m_Scene(scene), m_Document(document), m_StatusBar(statusBar)
{
    m_tbrView = new QToolBar(&window);
    m_tbrView->setObjectName(QStringLiteral("tbrView"));
    m_tbrView->setWindowTitle(QStringLiteral("View"));
    AddButton("sbtAutozoom", 1, QKeySequence(Qt::Key_F2), &TViewCommands::mnuAutozoomClick);
    AddButton("sbtZoomIn", 0, QKeySequence(Qt::CTRL | Qt::Key_F2), &TViewCommands::sbtZoomInClick);
    AddButton("sbtZoomBack", 2, QKeySequence(Qt::SHIFT | Qt::Key_F2), &TViewCommands::sbtZoomBackClick);
    AddButton("sbtZoomWin", 3, QKeySequence(Qt::CTRL | Qt::Key_F1), &TViewCommands::mnuZoomWindowClick);
    AddButton("sbtPan", 4, QKeySequence(), &TViewCommands::mnuPanClick);
    AddButton("sbtRedraw", 5, QKeySequence(Qt::Key_F3), &TViewCommands::sbtRedrawClick);
    const struct {
        const char* Name;
        int Image;
        TViewPreset Preset;
    } presets[] = {{"sbtTopView", 6, TViewPreset::Top},
                   {"sbtFrontView", 7, TViewPreset::Front},
                   {"sbtSideView", 8, TViewPreset::Side},
                   {"sbtIsoView", 9, TViewPreset::Iso}};
    for (const auto& preset : presets) {
        QAction* action = m_tbrView->addAction(QString::fromLatin1(preset.Name));
        action->setObjectName(QString::fromLatin1(preset.Name));
        SetImage(*action, TImageList::View, preset.Image);
        const TViewPreset kind = preset.Preset;
        connect(action, &QAction::triggered, this, [this, kind] { SetViewPreset(kind); });
    }

    m_PopupDestro = new QMenu(&window);
    m_PopupDestro->setObjectName(QStringLiteral("PopupDestro"));
    m_mnuDone = m_PopupDestro->addAction(QStringLiteral("Done"));
    m_mnuDone->setObjectName(QStringLiteral("mnuDone"));
    connect(m_mnuDone, &QAction::triggered, this, [this] { m_StatusBar.mnuDoneClick(); });
    m_mnuCancel = m_PopupDestro->addAction(QStringLiteral("Cancel"));
    m_mnuCancel->setObjectName(QStringLiteral("mnuCancel"));
    connect(m_mnuCancel, &QAction::triggered, this, [this] { m_StatusBar.mnuCancelClick(); });
    m_PopupDestro->addSeparator();
    m_mnuCoord = m_PopupDestro->addAction(QStringLiteral("Coordinate..."));
    m_mnuCoord->setObjectName(QStringLiteral("mnuCoord"));
    connect(m_mnuCoord, &QAction::triggered, this, [this] {
        if (CoordClick)
            CoordClick();
    });
    QMenu* snapTo = m_PopupDestro->addMenu(QStringLiteral("Snap to"));
    snapTo->setObjectName(QStringLiteral("mnuSnapTo"));
    snapTo->menuAction()->setObjectName(QStringLiteral("mnuSnapTo"));
    for (QAction* item : statusBar.SnapItems())
        snapTo->addAction(item);
    snapTo->addSeparator();
    snapTo->addAction(&statusBar.mnuSBSnap2Grid());
    m_PopupDestro->addSeparator();
    m_mnuPan = AddItem("mnuPan", &TViewCommands::mnuPanClick);
    m_mnuAutozoom = AddItem("mnuAutozoom", &TViewCommands::mnuAutozoomClick);
    m_mnuZoomWindow = AddItem("mnuZoomWindow", &TViewCommands::mnuZoomWindowClick);
    m_mnuZoomIn = AddItem("mnuZoomIn", &TViewCommands::sbtZoomInClick);
    m_mnuZoomOut = AddItem("mnuZoomOut", &TViewCommands::sbtZoomBackClick);
    m_PopupDestro->addSeparator();
    m_PopupDestro->addAction(&statusBar.mnuWinSelect());
    m_PopupDestro->addAction(&statusBar.mnuOrtho());
    connect(m_PopupDestro, &QMenu::aboutToShow, this, [this] { PopupDestroPopup(); });
}

QAction* TViewCommands::AddButton(const char* name, int image, const QKeySequence& shortcut,
                                  void (TViewCommands::*handler)())
{
    QAction* action = m_tbrView->addAction(QString::fromLatin1(name));
    action->setObjectName(QString::fromLatin1(name));
    SetImage(*action, TImageList::View, image);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window carries it too, so the key works while the bar is hidden.
        m_Window.addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

QAction* TViewCommands::AddItem(const char* name, void (TViewCommands::*handler)())
{
    QAction* action = m_PopupDestro->addAction(QString::fromLatin1(name));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

void TViewCommands::ShowPopup(QWidget& viewer, const QPoint& position)
{
    m_PopupDestro->popup(viewer.mapToGlobal(position));
}

void TViewCommands::mnuAutozoomClick()
{
    GuardedCall([this] { ZoomToDrawing(m_Document, m_Scene); });
}

void TViewCommands::mnuZoomWindowClick()
{
    GuardedCall([this] { m_Prg.SuspendOperation(StateClassOf<TQV_20PrgZoomArea>()); });
}

void TViewCommands::mnuPanClick()
{
    GuardedCall([this] { m_Prg.SuspendOperation(StateClassOf<TQV_21RealTimePan>()); });
}

void TViewCommands::sbtRedrawClick()
{
    // No simulation path exists yet that the redraw would clear instead.
    GuardedCall([this] { m_Scene.RebuildScene(false); });
}

void TViewCommands::sbtZoomInClick()
{
    GuardedCall([this] { m_Scene.ZoomAt(std::nullopt, ZoomInFactor); });
}

void TViewCommands::sbtZoomBackClick()
{
    GuardedCall([this] { m_Scene.ZoomAt(std::nullopt, ZoomOutFactor); });
}

void TViewCommands::SetViewPreset(TViewPreset preset)
{
    GuardedCall([&] { m_Scene.SetCameraOffset(PresetOffset(preset, m_Scene.Camera().Offset().length())); });
}

void TViewCommands::PopupDestroPopup()
{
    const bool busy = m_Prg.Busy();
    for (QAction* item : {m_mnuDone, m_mnuCancel, m_mnuCoord})
        item->setEnabled(busy);
    const TCADStateClass running = m_Prg.OperationClass();
    const bool zooming = running == StateClassOf<TQV_20PrgZoomArea>() ||
                         running == StateClassOf<TQV_21RealTimePan>() || m_Prg.Suspended();
    for (QAction* item : {m_mnuZoomWindow, m_mnuZoomIn, m_mnuZoomOut, m_mnuAutozoom, m_mnuPan})
        item->setEnabled(!zooming);
}
