#include "cad/edit/QV_85Offset.h"

#include "cad/edit/BreakIDs.h"
#include "cad/edit/EntityOffset.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/program/ShellServices.h"
#include "core/model/GraphicObject.h"
#include "core/settings/NumberText.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"

#include <vector>

namespace {

TQV_85OffsetParam* g_CurrentOffsetParam = nullptr;

} // namespace

TQV_85OffsetParam* CurrentOffsetParam() { return g_CurrentOffsetParam; }

void SetCurrentOffsetParam(TQV_85OffsetParam* param) { g_CurrentOffsetParam = param; }

// --- The parameter -----------------------------------------------------------------

TQV_85OffsetParam::TQV_85OffsetParam(TQV_00CADProg& prg)
    : TQV_00CommonParam(nullptr), m_Program(prg),
      m_Distance(ParseDecimal(ShellServices().ToolWinText(TToolWinText::OffsetDist)).value_or(0.0))
{
}

TQV_85OffsetParam::~TQV_85OffsetParam()
{
    if (g_CurrentOffsetParam == this)
        g_CurrentOffsetParam = nullptr;
}

void TQV_85OffsetParam::SetEntity(TObject2D* entity)
{
    m_Entity = entity;
    m_EntityID = entity ? entity->ID() : -1;
    m_Document = entity ? dynamic_cast<TQV_01Cmp2D*>(entity->Owner()) : nullptr;
}

TObject2D* TQV_85OffsetParam::Entity() const
{
    if (!m_Entity || !m_Document)
        return m_Entity;
    // The picked entity may have left the drawing meanwhile (an undo from
    // the main window); then its pointer must not be used.
    return m_Document->GetObject(m_EntityID) == m_Entity ? m_Entity : nullptr;
}

void TQV_85OffsetParam::Update()
{
    TObject2D* entity = Entity();
    if (!entity)
        return;
    if (TCADViewPort* view = m_Program.ViewPort())
        view->RebuildScene(false);
    for (std::unique_ptr<TObject2D>& result : OffsetEntity(*entity, m_Distance, Flipped()))
        Emit(std::move(result));
}

void TQV_85OffsetParam::Emit(std::unique_ptr<TObject2D> object)
{
    if (!object)
        return;
    if (!Committing()) {
        object->DrawSelected();
        return;
    }
    if (!m_Document)
        return;
    object->SetPickable(true);
    const TObject2D* added = m_Document->AddObject(-1, std::move(object));
    BreakIDs().push_back(added->ID());
}

void TQV_85OffsetParam::ToggleSide()
{
    m_Flipped = m_Flipped ? 0 : 1;
    Update();
}

void TQV_85OffsetParam::SetDistance(double value)
{
    m_Distance = value;
    Update();
}

void TQV_85OffsetParam::Apply()
{
    if (TQVScene* scene = ProgramScene(m_Program))
        scene->ClearOverlay();
    BreakIDs().clear();
    TObject2D* entity = Entity();
    m_Committing = 1;
    try {
        Update();
    } catch (...) {
        m_Committing = 0;
        throw;
    }
    m_Committing = 0;

    std::vector<int32_t>& ids = BreakIDs();
    // Nothing made: nothing to record, and a picked entity with nothing in
    // its place is not deleted.
    if (entity && !ids.empty()) {
        TUndoRedo* journal = UndoJournal();
        if (ShellServices().ToolWinChecked(TToolWinCheck::OffsetMove)) {
            const int32_t pickedID = entity->ID();
            ids.push_back(pickedID);
            if (journal)
                journal->AddUndo(TUndoKind::OffsetReplace, ids);
            m_Entity = nullptr;
            m_Document->DeleteObject(pickedID);
        } else if (journal) {
            journal->AddUndo(TUndoKind::OffsetCopy, ids);
        }
    }
    if (TCADViewPort* view = m_Program.ViewPort())
        view->RebuildScene(false);
}

// --- The states --------------------------------------------------------------------

TQV_85OffsetSelObj::TQV_85OffsetSelObj(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    auto& selection = CheckParam<TQV_50SelectObjectsParam>(ClassName);
    const std::vector<TObject2D*> objects = selection.Objects();
    if (objects.empty()) {
        ClearParam();
        nextState = prg.IdleClass();
        return;
    }
    if (TQVScene* scene = ProgramScene(prg))
        scene->ClearOverlay();
    auto offset = std::make_unique<TQV_85OffsetParam>(prg);
    SetCurrentOffsetParam(offset.get());
    offset->SetEntity(objects.front());
    offset->Update();
    ReplaceParam(std::move(offset));
    prg.SetOperationClass(StateClassOf<TQV_85OffsetSelObj>());
    nextState = StateClassOf<TQV_85OffsetTrasforma>();
}

TQV_85OffsetTrasforma::TQV_85OffsetTrasforma(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    CheckParam<TQV_85OffsetParam>(ClassName);
}

bool TQV_85OffsetTrasforma::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    const bool accept = event.IsUser(TCADUserEvent::Accept);
    if (!accept && !event.IsUser(TCADUserEvent::Cancel))
        return false;
    TQV_85OffsetParam& param = CheckParam<TQV_85OffsetParam>(ClassName);
    // The preview lives in the scene until the next rebuild.
    Program().MarkSceneDirty();
    if (accept)
        param.Apply();
    if (TQV_01Cmp2D* document = param.Document())
        document->RepaintViewports();
    ClearParam();
    Program().SetOperationClass(StateClassOf<TQV_85OffsetTrasforma>());
    nextState = Program().IdleClass();
    return true;
}

void TQV_85OffsetTrasforma::StopHook()
{
    Program().MarkSceneDirty();
    TQV_00State::StopHook();
}

// --- The tool window's side -----------------------------------------------------------

bool StartOffsetCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    SetCurrentOffsetParam(nullptr);
    prg.UsaSnap = false;
    auto selection =
        std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TQV_85OffsetSelObj>());
    selection->OnSelected = std::move(onSelected);
    return prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), std::move(selection));
}

void OffsetDistanceChanged(std::string_view text)
{
    TQV_85OffsetParam* param = CurrentOffsetParam();
    if (!param || text.empty() || text == ".")
        return;
    if (const std::optional<double> value = ParseDecimal(text))
        param->SetDistance(*value);
}

void OffsetSideFlipped()
{
    if (TQV_85OffsetParam* param = CurrentOffsetParam())
        param->ToggleSide();
}
