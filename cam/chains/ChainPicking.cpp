#include "cam/chains/ChainPicking.h"

#include "cad/edit/EntityEdits.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/program/ShellServices.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cam/chains/Catena.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVGrezzo.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <memory>
#include <vector>

uint8_t ChainPointFlags = kChainPoints;
TDrillFilter ChainPointFilter;

namespace {

// The selection handed over, or none; the parameter stays with the state.
struct TPicked {
    TQV_50SelectObjectsParam* Selection = nullptr;
    std::vector<TObject2D*> Objects;
    TListaCatene* Target = nullptr;
    TQV_01Cmp2D* Document = nullptr;
};

TPicked TakePicked(TQV_00CADPrgParam* param)
{
    TPicked picked;
    picked.Selection = dynamic_cast<TQV_50SelectObjectsParam*>(param);
    if (!picked.Selection)
        return picked;
    picked.Objects = picked.Selection->Objects();
    picked.Target = picked.Selection->CallerList();
    if (!picked.Objects.empty())
        picked.Document = OwnerDocument(*picked.Objects.back());
    return picked;
}

} // namespace

TChainInCatena::TChainInCatena(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    const TPicked picked = TakePicked(Param());
    const uint8_t mode = picked.Selection ? picked.Selection->Option() : 0;
    ClearParam();
    if (!picked.Document || !picked.Target)
        return;
    auto* entity = dynamic_cast<TObject2D*>(picked.Document->GetObjectByID(picked.Objects.back()->ID()));
    if (!entity)
        return;
    auto record = std::make_unique<TEntXCatena>(*entity);
    if (record->EntityID == -1) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::NotChainable),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    TListaCatene& target = *picked.Target;
    if (mode == kPickForPointsAlong)
        target.ClearChains();
    TListEntXCatena run;
    run.Items.push_back(std::move(record));
    run.CollectCandidates(*picked.Document);
    run.KeepRunOfFirst();
    run.MakeChain(*picked.Document, target);
    if (mode == kPickForPointsAlong) {
        target.PointsAlongChains(false, picked.Document);
        return;
    }
    ClearEditOverlay(prg);
    target.Redraw(false);
    if (mode == kPickFor3DBoundary) {
        ShellServices().SetToolWinText(TToolWinText::Chain3DInfo, LangToolWinText(LangKeys::frmToolWin::Chain3DSet));
        if (TQVGrezzo* stock = StockSolid())
            stock->SetOutlineFromChains(target);
    } else {
        ShellServices().FocusToolWinGroup(TToolWinGroup::Chains);
    }
}

TSelezioneInCatena::TSelezioneInCatena(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    const TPicked picked = TakePicked(Param());
    ClearParam();
    if (!picked.Target)
        return;
    if (picked.Document) {
        TListEntXCatena records;
        for (TObject2D* object : picked.Objects) {
            auto* entity = dynamic_cast<TObject2D*>(picked.Document->GetObjectByID(object->ID()));
            if (!entity)
                continue;
            auto record = std::make_unique<TEntXCatena>(*entity);
            if (record->EntityID != -1)
                records.Items.push_back(std::move(record));
        }
        records.BuildAllRuns(*picked.Document, *picked.Target);
    }
    picked.Target->Redraw(false);
    ShellServices().FocusToolWinGroup(TToolWinGroup::Chains);
}

TSelezionePuntiInCatena::TSelezionePuntiInCatena(TQV_00CADProg& prg, TCADStateParam param,
                                                 TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    const TPicked picked = TakePicked(Param());
    ClearParam();
    if (!picked.Target)
        return;
    auto chain = std::make_unique<TCatena>();
    for (TObject2D* object : picked.Objects) {
        TQV_01Cmp2D* document = OwnerDocument(*object);
        if (!object->Visible() || (document && !document->Layers().GetLayer(object->Layer()).Visible()))
            continue;
        if (const auto* point = dynamic_cast<const TPunto2D*>(object)) {
            if (ChainPointFlags == kChainPoints)
                PointToChain(*point, *chain);
        } else if (const auto* arc = dynamic_cast<const TArco2D*>(object)) {
            if (ChainPointFlags & kChainArcs)
                ArcCentreToChain(*arc, *chain, ChainPointFilter);
        } else if (const auto* circle = dynamic_cast<const TCerchio2D*>(object)) {
            if (ChainPointFlags & kChainCircles)
                CircleCentreToChain(*circle, *chain, ChainPointFilter);
        }
    }
    if (!chain->Vertices.empty())
        picked.Target->AddChain(std::move(chain));
    picked.Target->Redraw(true);
    ShellServices().FocusToolWinGroup(TToolWinGroup::ChainPoints);
}
