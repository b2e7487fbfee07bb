#include "cad/edit/QV2d_MuoveInLayer.h"

#include "cad/edit/BreakIDs.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cad/program/ShellServices.h"
#include "core/entities/DuplicateObject.h"
#include "core/model/GeoTree.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

TQV_01Cmp2D* DocumentOf(const TObject2D& object) { return dynamic_cast<TQV_01Cmp2D*>(object.Owner()); }

// The selected objects, in selection order; none for another parameter.
std::vector<TObject2D*> SelectedObjects(TQV_00CADPrgParam* param)
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(param))
        return selection->Objects();
    return {};
}

// The chosen target layer; none while no item of the list is chosen.
std::optional<uint8_t> TargetLayer()
{
    const int32_t index = ShellServices().ToolWinItemIndex(TToolWinIndex::LayerTo);
    if (index < 0 || index > 255)
        return std::nullopt;
    return static_cast<uint8_t>(index);
}

void Record(TUndoKind kind, const std::vector<int32_t>& values)
{
    if (values.empty())
        return;
    if (TUndoRedo* journal = UndoJournal())
        journal->AddUndo(kind, values);
}

void ShowResult(std::string_view key, int count)
{
    ShellServices().SetToolWinText(TToolWinText::MCLayer, LangFormat(LangText(key), {std::to_string(count)}));
}

// Holds the update brackets of the entity trees it was given, once each.
class TTreeUpdates {
public:
    TTreeUpdates() = default;
    ~TTreeUpdates()
    {
        for (TGeoTree* tree : m_Trees)
            tree->EndUpdate();
    }
    TTreeUpdates(const TTreeUpdates&) = delete;
    TTreeUpdates& operator=(const TTreeUpdates&) = delete;
    void Add(TGeoTree* tree)
    {
        if (!tree || std::find(m_Trees.begin(), m_Trees.end(), tree) != m_Trees.end())
            return;
        tree->BeginUpdate();
        m_Trees.push_back(tree);
    }

private:
    std::vector<TGeoTree*> m_Trees;
};

} // namespace

TQV2d_MuoveInLayer::TQV2d_MuoveInLayer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    std::vector<int32_t>& pairs = BreakIDs();
    pairs.clear();
    int moved = 0;
    const std::optional<uint8_t> layer = TargetLayer();
    const std::vector<TObject2D*> objects = layer ? SelectedObjects(Param()) : std::vector<TObject2D*>{};
    {
        TTreeUpdates brackets;
        for (TObject2D* object : objects) {
            TQV_01Cmp2D* document = DocumentOf(*object);
            if (!document)
                continue;
            brackets.Add(document->TreeGeo());
            pairs.push_back(object->ID());
            pairs.push_back(object->Layer());
            document->MoveObjectToLayer(*object, *layer);
            ++moved;
        }
    }
    if (moved > 0) {
        prg.MarkSceneDirty();
        Record(TUndoKind::MoveToLayer, pairs);
    }
    nextState = prg.IdleClass();
    ClearParam();
    ShowResult(LangKeys::String::MovedToLayer, moved);
}

TQV2d_CopiaInLayer::TQV2d_CopiaInLayer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    std::vector<int32_t>& ids = BreakIDs();
    ids.clear();
    const std::optional<uint8_t> layer = TargetLayer();
    const std::vector<TObject2D*> objects = layer ? SelectedObjects(Param()) : std::vector<TObject2D*>{};
    for (TObject2D* object : objects) {
        TQV_01Cmp2D* document = DocumentOf(*object);
        if (!document)
            continue;
        const int32_t id = DuplicateObjectTransformed(*document, *object, *layer);
        if (id >= 0)
            ids.push_back(id);
    }
    if (!ids.empty()) {
        prg.MarkSceneDirty();
        Record(TUndoKind::CopyToLayer, ids);
    }
    nextState = prg.IdleClass();
    ClearParam();
    ShowResult(LangKeys::String::CopiedToLayer, static_cast<int>(ids.size()));
}

bool StartChangeLayerCommand(TQV_00CADProg& prg, bool window, bool move)
{
    const TCADStateClass after = move ? StateClassOf<TQV2d_MuoveInLayer>() : StateClassOf<TQV2d_CopiaInLayer>();
    if (window)
        return prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                                  std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, after));
    return prg.StartOperation(StateClassOf<TQV_50SelectObjects>(),
                              std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, after));
}
