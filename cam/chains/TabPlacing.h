#pragma once
// Placing holding tabs on chains: snapping a tab to the nearest chain, the
// marker that shows a tab in the drawing, and the interaction state that
// drags new tabs onto the chains of the operation being edited.
//
// A placed tab's marker is a helper container of the tab-marker document
// (cam/params/ListaTab.h: neither saved nor pickable) whose ID the tab
// keeps; the tab list deletes it with the tab. The preview while dragging
// is TabMarker(), shown as the view's drag object. Main thread only.

#include "cad/program/QV_00State.h"
#include "cam/params/ListaTab.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TCatena;
class TContainer2D;
class TListaCatene;

// The tab's distance, chain point, segment index and chain ID from the
// chain nearest to its pick point (the first chain wins ties); the tab
// stays as it is when no chain has a point nearer than 1e8.
void SnapTabToChains(TListaCatene& chains, TDatiTab& tab);
// The first chain with that ID, or null.
TCatena* FindChainByID(TListaCatene& chains, int32_t id);
// The preview marker (cam/chains/TabPlacing.cpp), rebuilt at the tab's
// chain point for the width; nothing when chain is null or empty. With add
// the marker also becomes a helper container of the tab-marker document
// and the tab takes its ID as its marker ID.
void ShowTabMarker(TCatena* chain, TDatiTab& tab, bool add, double width);
// For each tab: snap, then show and add its marker.
void SnapAndShowTabs(TListaCatene& chains, TListaTab& tabs);
// For each tab: its pick point := its chain point, then snap.
void ResnapTabs(TListaCatene& chains, TListaTab& tabs);

// The one preview container: a point at (0, 0), a circle of diameter
// width about it and the label "tab", moved to the tab's chain point.
TContainer2D& TabMarker();
// Frees the preview container (the program's end; tests).
void FreeTabMarker();

// The parameter of the tab drag.
class TMuoveDinamicoParam : public TQV_00CommonParam {
public:
    // Binds the list box to the tab list. chains: the chains the tabs go
    // on (the operation's); none of the pointers is owned.
    TMuoveDinamicoParam(TCADStateClass afterState, uint8_t full, double width, TTabListBox* listBox,
                        TListaTab* tabList, TListaCatene* chains);

    TListaTab* TabList = nullptr;
    TListaCatene* Chains = nullptr;
    int16_t ClickCount = 0;
    std::unique_ptr<TDatiTab> CurrentTab; // being dragged, not yet placed
    double TabWidth = 0.0;
    uint8_t FullTabs = 0;
};

// Drags tabs onto the chains: the first click starts a tab; each later
// click places the tab being dragged and starts the next one; the mouse
// moves the tab being dragged. Accept or cancel ends the drag and drops the
// unplaced tab.
class TMuoveDinamico : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMuoveDinamico";
    // ECADSysException "TMuoveDinamico: Invalid param" for another
    // parameter.
    TMuoveDinamico(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    void StartTab(TMuoveDinamicoParam& param, const TPoint2D& p);
    void Preview(TMuoveDinamicoParam& param);
};
