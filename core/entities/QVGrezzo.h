#pragma once
// TQVGrezzo: the machining stock as the view shows it, a translucent solid
// extruded from one outline (a box, or the outline of a chain) from a bottom
// Z by a height; and StockSolid, the program's one stock.
//
// Promises:
// - The stock keeps the box last given to SetBox; margins and the bottom Z
//   are measured from it, so setting a margin twice does not add up, and
//   Rebuild returns to it.
// - The solid is built into the Stock group of the scene builder installed
//   when the stock is created (nothing without one), and every change is
//   shown at once. The stock never removes its scene object: the view
//   clears the Stock group when it replaces the stock, and a stock freed at
//   the end of the program must not reach a scene that is gone.
// - The margin setters address the four corners of the box outline; on an
//   outline of another size (a chain's) they do nothing, since the corners
//   they would move are not there.

#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <functional>
#include <span>
#include <vector>

class TListaCatene;

// The outline a chain list gives the stock: the end points of its first
// chain's vertices, none for an empty list. Chains belong to the machining
// side, which installs this at start-up.
using TChainOutlineSource = std::function<std::vector<TVector2D>(const TListaCatene& chains)>;
// Installs the source (empty: none) and returns the previous one.
TChainOutlineSource SetChainOutlineSource(TChainOutlineSource source);

class TQVGrezzo {
public:
    // Diffuse colour of the solid; its alpha makes it translucent.
    static constexpr TSceneColor kColor{0.1f, 0.1f, 0.74f, 0.4f};

    // Builds the solid (blended, no depth test) into the Stock group, then
    // SetBox of the all-zero box.
    TQVGrezzo();
    TQVGrezzo(const TQVGrezzo&) = delete;
    TQVGrezzo& operator=(const TQVGrezzo&) = delete;

    // Stores the box; bottom Z := its first Z, height := second Z - first Z;
    // the outline := (X1, Y1), (X2, Y1), (X2, Y2), (X1, Y2). The corners are
    // taken as they are, not normalised.
    void SetBox(const TBox3D& box);
    // SetBox of the stored box: drops margins and chain outlines.
    void Rebuild();
    // Replaces the outline by the nodes in order (the machining side gives
    // the end points of a chain's vertices here); nothing for no nodes. The
    // stored box, bottom Z and height stay.
    void SetOutline(std::span<const TVector2D> nodes);
    // The outline from the vertex end points of the list's first chain
    // (through the hook the machining side installs, SetChainOutlineSource);
    // nothing for an empty list or without the hook.
    void SetOutlineFromChains(const TListaCatene& chains);
    // Corners 0 and 3 get X := X1 - margin, corners 1 and 2 X := X2 + margin
    // (X1, X2 of the stored box).
    void SetMarginX(double margin);
    // Corners 0 and 1 get Y := Y1 - margin, corners 2 and 3 Y := Y2 + margin.
    void SetMarginY(double margin);
    // Bottom Z := z; height := second Z of the stored box - z.
    void SetBottomZ(double z);
    void SetHeight(double height);
    void SetVisible(bool visible);

    const TBox3D& StockBox() const { return m_Box; }
    const std::vector<TVector2D>& Outline() const { return m_Outline; }
    double BottomZ() const { return m_BottomZ; }
    double Height() const { return m_Height; }
    bool Visible() const { return m_Visible; }
    TSceneNodeId SceneNode() const { return m_Node; }
    // The solid as it is shown.
    TSceneSolid Solid() const;

private:
    // Brings the scene object up to date (when it lives in the scene builder
    // installed now).
    void Show();

    TBox3D m_Box{};
    std::vector<TVector2D> m_Outline;
    double m_BottomZ = 0.0;
    double m_Height = 0.0;
    bool m_Visible = true;
    TSceneBuilder* m_Scene = nullptr;
    TSceneNodeId m_Node = NoSceneNode;
};

// The program's one stock solid; null before the first RecreateStockSolid
// and after FreeStockSolid. Main thread only.
TQVGrezzo* StockSolid();
// Frees the stock solid (its scene object stays for the view to clear) and
// creates a new one, which builds itself into the Stock group.
TQVGrezzo& RecreateStockSolid();
void FreeStockSolid();
