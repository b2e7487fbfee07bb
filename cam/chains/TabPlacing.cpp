#include "cam/chains/TabPlacing.h"

#include "cad/edit/EntityEdits.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/ProgramScene.h"
#include "cam/chains/Catena.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/VectFont.h"
#include "core/geometry/Matrix4.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"

#include <vector>

namespace {

std::unique_ptr<TContainer2D>& MarkerSlot()
{
    static std::unique_ptr<TContainer2D> marker;
    return marker;
}

// The marker's children for the width, about (0, 0).
std::vector<std::unique_ptr<TObject2D>> MarkerChildren(double width)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TPunto2D>(-1, TPoint2D{0.0, 0.0, 1.0}));
    children.push_back(std::make_unique<TCerchio2D>(-1, TPoint2D{0.0, 0.0, 1.0}, TPoint2D{width / 2.0, 0.0, 1.0}));
    const double h = 0.2 * width;
    TVectFont* font = nullptr;
    try {
        font = CADSysFindFontByIndex(1);
    } catch (const ECADSysException&) {
        font = nullptr; // no stroke font: the marker goes without its label
    }
    if (font && h > 0.0)
        children.push_back(std::make_unique<TJustifiedVectText2D>(-1, font, TRect2D{-1.5 * h, 1.5 * h, width / 2.0, 0.0},
                                                                  h, "tab"));
    return children;
}

} // namespace

TContainer2D& TabMarker()
{
    std::unique_ptr<TContainer2D>& marker = MarkerSlot();
    if (!marker)
        marker = std::make_unique<TContainer2D>(-1);
    return *marker;
}

void FreeTabMarker()
{
    MarkerSlot().reset();
}

void SnapTabToChains(TListaCatene& chains, TDatiTab& tab)
{
    double best = 1e8;
    for (int i = 0; i < chains.Count(); ++i) {
        const TACurva& chain = chains[i];
        const TCurvePointRecord r = chain.NearestPoint(tab.PickPoint);
        if (r.Distance < best) {
            best = r.Distance;
            tab.Distance = r.Distance;
            tab.ChainPoint = r.Point;
            tab.SegmentIndex = r.Index;
            tab.ChainId = chain.ID;
        }
    }
}

TCatena* FindChainByID(TListaCatene& chains, int32_t id)
{
    for (int i = 0; i < chains.Count(); ++i)
        if (TCatena* chain = chains.ChainAt(i); chain && chain->ID == id)
            return chain;
    return nullptr;
}

void ShowTabMarker(TCatena* chain, TDatiTab& tab, bool add, double width)
{
    if (!chain || chain->Vertices.empty())
        return;
    // The old marker leaves the view before its children are replaced.
    TQVScene* scene = ViewServices().Projection ? dynamic_cast<TQVScene*>(ViewServices().Projection) : nullptr;
    TContainer2D& marker = TabMarker();
    if (scene)
        scene->HideDragObject(&marker);
    marker.Objects().Clear();
    for (std::unique_ptr<TObject2D>& child : MarkerChildren(width))
        marker.Objects().Add(std::move(child));
    TMatrix4 at = IdentityMatrix4();
    at.SetTranslation(tab.ChainPoint.X, tab.ChainPoint.Y, 0.0);
    marker.SetTransform(at);
    marker.UpdateBounds();
    if (scene)
        scene->ShowDragObject(&marker);
    if (!add)
        return;
    if (scene)
        scene->ClearOverlay();
    auto* document = dynamic_cast<TQV_01Cmp2D*>(TabMarkerDocument());
    if (!document)
        return;
    auto copy = std::unique_ptr<TContainer2D>(static_cast<TContainer2D*>(marker.Clone().release()));
    tab.MarkerId = document->AddHelperContainer(std::move(copy))->ID();
}

void SnapAndShowTabs(TListaCatene& chains, TListaTab& tabs)
{
    for (int i = 0; i < tabs.Count(); ++i) {
        TDatiTab& tab = tabs.Tab(i);
        SnapTabToChains(chains, tab);
        ShowTabMarker(FindChainByID(chains, tab.ChainId), tab, true, tabs.TabWidth);
    }
}

void ResnapTabs(TListaCatene& chains, TListaTab& tabs)
{
    for (int i = 0; i < tabs.Count(); ++i) {
        TDatiTab& tab = tabs.Tab(i);
        tab.PickPoint = tab.ChainPoint;
        SnapTabToChains(chains, tab);
    }
}

// ---- the drag ---------------------------------------------------------------

TMuoveDinamicoParam::TMuoveDinamicoParam(TCADStateClass afterState, uint8_t full, double width, TTabListBox* listBox,
                                         TListaTab* tabList, TListaCatene* chains)
    : TQV_00CommonParam(afterState), TabList(tabList), Chains(chains), TabWidth(width), FullTabs(full)
{
    if (TabList)
        TabList->SetListBox(listBox);
}

TMuoveDinamico::TMuoveDinamico(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& /*nextState*/)
    : TQV_00State(prg, std::move(param))
{
    CheckParam<TMuoveDinamicoParam>(ClassName);
    SetPromptSlot(4);
    if (auto* prog = dynamic_cast<TQV_00Prog*>(&prg))
        prog->SetLastSnapPoint(TPoint2D{1e8, 1e8, 1.0});
}

void TMuoveDinamico::StartTab(TMuoveDinamicoParam& param, const TPoint2D& p)
{
    param.CurrentTab = std::make_unique<TDatiTab>();
    param.CurrentTab->PickPoint = TVector2D{p.X, p.Y};
    Preview(param);
}

void TMuoveDinamico::Preview(TMuoveDinamicoParam& param)
{
    if (!param.Chains || !param.CurrentTab)
        return;
    SnapTabToChains(*param.Chains, *param.CurrentTab);
    ShowTabMarker(FindChainByID(*param.Chains, param.CurrentTab->ChainId), *param.CurrentTab, false, param.TabWidth);
}

bool TMuoveDinamico::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    if (TQV_00State::HandleEvent(event, nextState))
        return true;
    auto* param = dynamic_cast<TMuoveDinamicoParam*>(Param());
    if (!param)
        return false;
    if (event.IsUser(TCADUserEvent::Accept) || event.IsUser(TCADUserEvent::Cancel)) {
        if (TQVScene* scene = ProgramScene(Program()))
            scene->HideDragObject(&TabMarker());
        ClearParam(); // the unplaced tab goes with it
        nextState = Program().IdleClass();
        return true;
    }
    if (event.Kind == TCADEventKind::MouseMove) {
        if (param->ClickCount == 0 || !param->CurrentTab)
            return false;
        const TPoint2D p = CommandSnappedPoint(Program());
        param->CurrentTab->PickPoint = TVector2D{p.X, p.Y};
        Preview(*param);
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        const TPoint2D p = CommandSnappedPoint(Program());
        if (param->ClickCount == 0) {
            param->ClickCount = 1;
        } else if (param->CurrentTab && param->Chains) {
            TDatiTab& tab = *param->CurrentTab;
            ShowTabMarker(FindChainByID(*param->Chains, tab.ChainId), tab, true, param->TabWidth);
            if (param->TabList)
                param->TabList->AddTab(std::move(param->CurrentTab));
        }
        StartTab(*param, p);
    }
    return false;
}
