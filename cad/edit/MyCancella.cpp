#include "cad/edit/MyCancella.h"

#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "core/entities/Bitmap2D.h"
#include "core/model/GeoTree.h"
#include "core/model/QV_01Cmp2D.h"

#include <array>
#include <memory>
#include <vector>

namespace {

// Holds the entity tree's update bracket for its lifetime.
class TTreeUpdateBracket {
public:
    explicit TTreeUpdateBracket(TGeoTree* tree) : m_Tree(tree)
    {
        if (m_Tree)
            m_Tree->BeginUpdate();
    }
    ~TTreeUpdateBracket()
    {
        if (m_Tree)
            m_Tree->EndUpdate();
    }
    TTreeUpdateBracket(const TTreeUpdateBracket&) = delete;
    TTreeUpdateBracket& operator=(const TTreeUpdateBracket&) = delete;

private:
    TGeoTree* m_Tree;
};

} // namespace

TMyCancella::TMyCancella(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param());
    std::vector<TObject2D*> objects;
    if (selection)
        objects = selection->Objects();
    ClearEditOverlay(prg);
    // The selection goes before its objects do.
    ClearParam();
    if (!selection)
        return;
    std::vector<int32_t> deleted;
    if (!objects.empty()) {
        TQV_01Cmp2D* document = OwnerDocument(*objects.front());
        TTreeUpdateBracket bracket(document ? document->TreeGeo() : nullptr);
        for (TObject2D* object : objects) {
            TQV_01Cmp2D* owner = OwnerDocument(*object);
            if (!owner || dynamic_cast<const TBitmap2D*>(object))
                continue;
            const int32_t id = object->ID();
            RecordEditStep(TUndoKind::Delete, std::array{id});
            owner->DeleteObject(id);
            deleted.push_back(id);
        }
    }
    prg.MarkObjectsEdited(deleted);
}

void StartPickDeleteCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetReadOnly(false);
    prg.UsaSnap = false;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TMyCancella>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(StateClassOf<TQV_50SelectObjects>(), std::move(param));
}

void StartWindowDeleteCommand(TQV_00Prog& prg)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetReadOnly(false);
    prg.UsaSnap = false;
    prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                       std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TMyCancella>()));
}
