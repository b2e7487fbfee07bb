#include "app/mainwin/ToolbarCommands.h"

#include "app/EndOperation.h"
#include "app/mainwin/PointPatterns.h"
#include "app/mainwin/RecentCommands.h"
#include "cad/edit/QV2D_Fillet.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/QV_00State.h"
#include "cad/scene/QVScene.h"
#include "cad/states/DrawArcStates.h"
#include "cad/states/DrawStateParams.h"
#include "cad/states/PositionStates.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cad/states/QV_70Sel2Punti.h"
#include "cad/ui/AnsiText.h"
#include "cam/chains/EntXCatena.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Punto2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

// The Undo button's image in the Modify list.
constexpr int UndoImage = 21;

const TPoint2D Origin{0.0, 0.0};

TPrimitive2D* AsPrimitive(std::unique_ptr<TObject2D>& object)
{
    return dynamic_cast<TPrimitive2D*>(object.get());
}

std::unique_ptr<TPrimitive2D> Primitive(const TCommandRow& row, const TInfoEditModel* panel)
{
    std::unique_ptr<TObject2D> object = row.Prototype(panel);
    if (!AsPrimitive(object))
        return nullptr;
    return std::unique_ptr<TPrimitive2D>(static_cast<TPrimitive2D*>(object.release()));
}

} // namespace

TToolbarCommands::TToolbarCommands(TQV_00Prog& prg, TRecentCommands& recent, TEndOperation& end,
                                   QToolBar& tbrCreate, QToolBar& tbrEdit, QMenu* drawMenu)
    : QObject(&tbrCreate), m_Prg(prg), m_Recent(recent), m_End(end)
{
    setObjectName(QStringLiteral("ToolbarCommands"));
    BuildActions(tbrCreate, tbrEdit, drawMenu);
}

TToolbarCommands::~TToolbarCommands()
{
    DropMarkers();
}

void TToolbarCommands::SetView(TQVScene* scene, TQV_01Cmp2D* document)
{
    DropMarkers();
    m_Scene = scene;
    m_Document = document;
}

void TToolbarCommands::BuildActions(QToolBar& tbrCreate, QToolBar& tbrEdit, QMenu* drawMenu)
{
    m_sbtUndo = new QAction(QStringLiteral("Undo"), &tbrEdit);
    m_sbtUndo->setObjectName(QStringLiteral("sbtUndo"));
    SetImage(*m_sbtUndo, TImageList::Modify, UndoImage);
    connect(m_sbtUndo, &QAction::triggered, this, [this] { GuardedCall([this] { sbtUndoClick(); }); });
    tbrEdit.addAction(m_sbtUndo);

    for (const TCommandRow& row : CommandTable()) {
        const bool create = row.List() == TImageList::Create;
        QToolBar& bar = create ? tbrCreate : tbrEdit;
        const QString name = QString::fromLatin1(row.Name.data(), static_cast<qsizetype>(row.Name.size()));
        auto* action = new QAction(name, &bar);
        action->setObjectName(name);
        SetImage(*action, row.List(), row.Image);
        action->setToolTip(AnsiToQString(LangMainText(row.HintKey)));
        if (row.Name == "mnuLineEndPt")
            action->setShortcut(QKeySequence(Qt::Key_F4));
        const TCommandRow* r = &row;
        connect(action, &QAction::triggered, this, [this, r] { GuardedCall([this, r] { Choose(*r); }); });
        m_Actions.emplace(std::string(row.Name), action);
        if (create && drawMenu)
            drawMenu->addAction(action);

        if (row.Button.empty()) {
            bar.addAction(action);
            continue;
        }
        auto found = m_Buttons.find(row.Button);
        if (found == m_Buttons.end()) {
            const QString buttonName =
                QString::fromLatin1(row.Button.data(), static_cast<qsizetype>(row.Button.size()));
            auto* menu = new QMenu(&bar);
            menu->setObjectName(buttonName + QStringLiteral("Menu"));
            auto* button = new QToolButton(&bar);
            button->setObjectName(buttonName);
            button->setPopupMode(QToolButton::MenuButtonPopup);
            button->setMenu(menu);
            button->setDefaultAction(action);
            SetImage(*button, row.List(), row.Image);
            // A button added as a widget does not follow the bar's style by itself.
            button->setToolButtonStyle(bar.toolButtonStyle());
            connect(&bar, &QToolBar::toolButtonStyleChanged, button, &QToolButton::setToolButtonStyle);
            connect(&bar, &QToolBar::iconSizeChanged, button, &QToolButton::setIconSize);
            bar.addWidget(button);
            found = m_Buttons.emplace(std::string(row.Button), button).first;
        }
        found->second->menu()->addAction(action);
    }
}

QAction* TToolbarCommands::Action(std::string_view name) const
{
    const auto found = m_Actions.find(name);
    return found == m_Actions.end() ? nullptr : found->second;
}

QToolButton* TToolbarCommands::SplitButton(std::string_view name) const
{
    const auto found = m_Buttons.find(name);
    return found == m_Buttons.end() ? nullptr : found->second;
}

void TToolbarCommands::Choose(const TCommandRow& row)
{
    if (QToolButton* button = SplitButton(row.Button)) {
        QAction* item = Action(row.Name);
        if (button->defaultAction() != item)
            button->setDefaultAction(item);
        SetImage(*button, row.List(), row.Image);
        button->setToolTip(item->toolTip());
    }
    Start(row);
}

bool TToolbarCommands::Start(std::string_view name)
{
    const TCommandRow* row = FindCommand(name);
    return row && Start(*row);
}

bool TToolbarCommands::Start(const TCommandRow& row)
{
    if (row.Has(CommandFlag::CancelFirst))
        m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    if (row.Has(CommandFlag::KeepOrtho))
        m_End.SaveOrtho(m_Prg);
    if (row.Has(CommandFlag::StopFirst))
        m_Prg.StopOperation();
    ApplyPanel(row);
    if (row.Snap != TCommandSnap::Unchanged)
        m_Prg.UsaSnap = row.Snap == TCommandSnap::On;
    Record(row);
    if (row.Has(CommandFlag::SingleSelect))
        m_End.SingleSelectPending = true;
    if (row.Has(CommandFlag::FilletRadius))
        if (TInfoEditModel* panel = InfoEditPanel())
            FilletRadius = panel->GetValue(0);
    if (row.Start == TCommandStart::Page) {
        RunPage(row);
        return true;
    }
    return StartState(row);
}

void TToolbarCommands::ApplyPanel(const TCommandRow& row)
{
    TInfoEditModel* panel = InfoEditPanel();
    if (!panel)
        return;
    switch (row.Panel) {
    case TCommandPanel::Page:
        panel->SetCommandPage(row.Page);
        break;
    case TCommandPanel::PageThenHidden:
        panel->SetCommandPage(row.Page);
        panel->SetPanelVisible(false);
        break;
    // A command without a page of its own drops the page of the command
    // before it, which would otherwise come back, with that command's
    // numbers, when this one ends.
    case TCommandPanel::Editable:
        panel->ClearPage();
        panel->SetReadOnly(false);
        break;
    case TCommandPanel::EditableHidden:
        panel->ClearPage();
        panel->SetReadOnly(false);
        panel->SetPanelVisible(false);
        break;
    case TCommandPanel::EditableShown:
        panel->ClearPage();
        panel->SetReadOnly(false);
        panel->SetPanelVisible(true);
        break;
    case TCommandPanel::Unchanged:
        break;
    }
    if (row.Has(CommandFlag::VertexCounts))
        panel->ShowVertexCounts(0, 0);
}

void TToolbarCommands::Record(const TCommandRow& row)
{
    const TCommandRow* r = &row;
    m_Recent.MRUAdd(row.RecentId, row.Image, LangMainText(row.HintKey),
                    [this, r] { GuardedCall([this, r] { Start(*r); }); });
}

bool TToolbarCommands::StartState(const TCommandRow& row)
{
    const TInfoEditModel* panel = InfoEditPanel();
    switch (row.Start) {
    case TCommandStart::Sized:
        return m_Prg.StartOperation(row.State(),
                                    TQV_40DrawSizedPrimitiveParam::CreateSized(nullptr, true, 0, Primitive(row, panel)));
    case TCommandStart::Unsized:
        return m_Prg.StartOperation(
            row.State(), std::make_unique<TQV_40DrawUnSizedPrimitiveParam>(nullptr, true, 0, Primitive(row, panel)));
    case TCommandStart::Arc:
        return m_Prg.StartOperation(
            row.State(), std::make_unique<TQV_40DrawArcoPrimitiveParam>(
                             nullptr, !row.Has(CommandFlag::FullCircle),
                             std::make_unique<TArco2D>(-1, Origin, Origin, 0.0, 0.0)));
    case TCommandStart::EllipseOpen:
        return m_Prg.StartOperation(StateClassOf<TQV_40DrawEOPrimitive>(),
                                    std::make_unique<TQV_40DrawEOPrimitiveParam>(
                                        nullptr, std::make_unique<TEllipseOpen2D>(-1, Origin, Origin, 0.0, 0.0)));
    case TCommandStart::Position:
        return m_Prg.StartOperation(StateClassOf<TQV_40PositionObject>(),
                                    std::make_unique<TQV_40PositionObjectParam>(nullptr, row.Prototype(panel)));
    case TCommandStart::PointGrid:
    case TCommandStart::BoltCircle:
        return StartPattern(row);
    case TCommandStart::Pick:
        return StartSelection(row, false);
    case TCommandStart::Window:
        return StartSelection(row, true);
    case TCommandStart::WindowOrPick:
        return StartSelection(row, WindowSelection && WindowSelection());
    case TCommandStart::Distance:
        return m_Prg.StartOperation(StateClassOf<TQV_70Sel2Punti>(), std::make_unique<TQV_70Sel2PuntiParam>());
    case TCommandStart::Page:
        break;
    }
    return false;
}

bool TToolbarCommands::StartPattern(const TCommandRow& row)
{
    const TInfoEditModel* panel = InfoEditPanel();
    const auto value = [panel](int i) { return panel ? panel->GetValue(i) : 0.0; };
    std::unique_ptr<TContainer2D> container =
        row.Start == TCommandStart::PointGrid
            ? PointGridContainer({value(0), value(1), value(2), value(3), value(4)})
            : BoltCircleContainer({value(0), value(1), value(2), value(3), value(4)});
    if (!container) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::TooManyPoints),
                                   LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    m_Prg.SendUserEvent(TCADUserEvent::Cancel);
    TContainer2D* raw = container.get();
    auto param =
        std::make_unique<TQV_40PositionObjectParam>(StateClassOf<TQV_40ExplodeContainer>(), std::move(container));
    // The explode state reads the container there.
    param->SetUserObject(raw);
    return m_Prg.StartOperation(StateClassOf<TQV_40PositionObject>(), std::move(param));
}

bool TToolbarCommands::StartSelection(const TCommandRow& row, bool window)
{
    const TCADStateClass after = row.After();
    if (window)
        return m_Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                                    std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, after));
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, after);
    if (!row.Has(CommandFlag::NoCallback))
        param->OnSelected = SelectionCallback();
    const TCADStateClass state = row.State ? row.State() : StateClassOf<TQV_50SelectObjects>();
    return m_Prg.StartOperation(state, std::move(param));
}

void TToolbarCommands::RunPage(const TCommandRow& row)
{
    if (row.Name == "mnuShowEndpoints") {
        MyShowEndPtClick();
        return;
    }
    const auto found = PageCommands.find(row.Name);
    if (found != PageCommands.end() && found->second)
        found->second();
}

TQV_50SelectObjectsParam::TOnSelected TToolbarCommands::SelectionCallback()
{
    return [this](TQV_50SelectObjectsParam&, TObject2D* object, bool added, int32_t) {
        if (object && added && SelectTreeNode)
            SelectTreeNode(*object);
    };
}

void TToolbarCommands::SGInfoEditCellChange()
{
    TInfoEditModel* panel = InfoEditPanel();
    if (!panel || panel->PageKind() != TPanelPageKind::Command)
        return;
    const TCommandRow* row = CommandOfEditedPage(panel->PageType());
    if (!row)
        return;
    if (row->Has(CommandFlag::RestartOnEdit))
        Start(*row);
    else
        FilletRadius = panel->GetValue(0);
}

void TToolbarCommands::sbtUndoClick()
{
    if (TUndoRedo* journal = UndoJournal())
        journal->Undo();
}

void TToolbarCommands::DropMarkers()
{
    if (m_Scene && !m_Markers.empty()) {
        std::vector<TObject2D*>& list = m_Scene->HighlightList();
        std::erase_if(list, [this](TObject2D* object) {
            for (const auto& marker : m_Markers)
                if (marker.get() == object)
                    return true;
            return false;
        });
    }
    m_Markers.clear();
}

void TToolbarCommands::MyShowEndPtClick()
{
    if (!m_Scene || !m_Document)
        return;
    m_Scene->ClearOverlay();
    DropMarkers();
    for (const TPoint2D& p : ChainEndPoints(*m_Document))
        m_Markers.push_back(std::make_unique<TPunto2D>(-1, p));
    if (m_Markers.empty())
        return;
    std::vector<TObject2D*>& list = m_Scene->HighlightList();
    for (const auto& marker : m_Markers)
        list.push_back(marker.get());
    m_Scene->ShowHighlightsOnly();
}

std::vector<TPoint2D> ChainEndPoints(TQV_01Cmp2D& document)
{
    std::vector<TPoint2D> points;
    TGraphicObjIterator it = document.ObjectsIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next()) {
        auto* entity = dynamic_cast<TObject2D*>(object);
        if (!entity || !entity->Visible() || !document.Layers().GetLayer(entity->Layer()).Visible())
            continue;
        const TEntXCatena ends(*entity);
        if (ends.EntityID == -1)
            continue;
        points.push_back(MakePoint2D(ends.StartPoint.X, ends.StartPoint.Y));
        points.push_back(MakePoint2D(ends.EndPoint.X, ends.EndPoint.Y));
    }
    return points;
}
