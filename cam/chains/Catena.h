#pragma once
// Chains: connected runs of drawing entities turned into machining curves,
// the input of every 2D operation.
//
// - TCatena is a curve (cam/curves/ACurva.h) with two line objects in the
//   view: its path in the Chain group and its direction arrows in the
//   ChainArrow group (cam/chains/ChainDisplay.cpp draws them). The objects
//   live in the scene builder installed when the chain is made; a chain
//   outliving that scene leaves it alone.
// - TListaCatene owns the chains of one operation. DirectionReversed runs
//   the whole list against its chains' direction; a list with an info label
//   shows its chain count in the tool window (ChainContext()).
// - GlobalChainList and SortBackup are module objects; tests reset them
//   with ResetChainModule.
// Main thread only.

#include "cam/curves/ACurva.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <memory>
#include <vector>

class TListEntXCatena;
class TQV_01Cmp2D;

class TCatena : public TACurva {
public:
    TCatena();
    ~TCatena() override;
    TCatena(const TCatena&) = delete;
    TCatena& operator=(const TCatena&) = delete;

    // Appends the chain's nodes to its line object: a line strip through
    // the vertices (arcs as chords within "SimulTol"), at Z 0.0025; in
    // points mode each vertex also gets a circle-and-cross marker of the
    // compensation offset's radius. One vertex draws only its marker, in
    // points mode.
    void Draw(bool pointsMode);
    // Appends the direction arrow at the start of travel (the end of the
    // chain when the list runs reversed) and, for compensation side 1 or 2,
    // the shorter side arrow. Nothing below two vertices.
    void DrawArrow(bool listReversed, int sideIndex);
    // A line vertex at the first record's start point, then the vertices of
    // every record's entity in order (cam/chains/EntXCatena.cpp); Closed
    // when the first and last end points agree within "ChainTol"; a new ID.
    // Nothing for no records.
    void BuildFromEntities(TQV_01Cmp2D& document, const TListEntXCatena& entities);

    // The colour of the chain's path (a Windows colour value), shown at
    // once.
    void SetChainColor(uint32_t color);

    // Empties both line objects / the arrow object only.
    void ClearLines();
    void ClearArrowLines();

    const TSceneLines& ChainLines() const { return m_ChainLines; }
    const TSceneLines& ArrowLines() const { return m_ArrowLines; }
    TSceneNodeId ChainNode() const { return m_ChainNode; }
    TSceneNodeId ArrowNode() const { return m_ArrowNode; }

private:
    void AddPointMarker(const TVector2D& p);
    void ShowChainLines();
    void ShowArrowLines();
    bool InScene() const;

    TSceneLines m_ChainLines;
    TSceneLines m_ArrowLines;
    TSceneBuilder* m_Scene = nullptr;
    TSceneNodeId m_ChainNode = NoSceneNode;
    TSceneNodeId m_ArrowNode = NoSceneNode;
};

// Told of every chain that is freed, whoever frees it: views that hold
// chains they do not own (the chain list window) forget it. Registered
// watchers must unregister before they go.
class TChainWatcher {
public:
    virtual ~TChainWatcher() = default;
    virtual void ChainFreed(const TCatena& chain) = 0;
};
void AddChainWatcher(TChainWatcher* watcher);
void RemoveChainWatcher(TChainWatcher* watcher);

// The chain class of the own offset engine's results.
class TNcCurva : public TCatena {};

// One member of a nesting group: a curve of a list and how many members
// of the group contain it (0 for the outer curve).
struct TNido {
    int32_t CurveIndex = 0;
    int32_t Level = 0;
};

class TListaCatene : public TListaDiCurve {
public:
    TListaCatene();

    // The chain at index; null for a curve of another class.
    TCatena* ChainAt(int index);
    TCatena& AddChain(std::unique_ptr<TCatena> chain);

    // Nothing for an empty source; otherwise appends a copy of every chain
    // (same IDs) and copies DirectionReversed.
    void Assign(const TListaCatene& source);
    // Frees every chain; no redraw.
    void ClearAll();
    // Nothing when empty; else frees every chain, redraws the arrows and
    // updates the info label.
    void ClearChains();
    // Nothing when empty; else frees the last chain, redraws the arrows and
    // updates the info label.
    void DeleteLast();

    // The drilling order: every vertex of every chain into one chain, each
    // next the nearest to the point before (P first; distances compared as
    // 32-bit floats, the later of equal candidates wins). The first sort
    // keeps a copy of the list in SortBackup. Not enabled: RestoreOrder.
    void SortPointsFrom(const TVector2D& p, bool enabled);
    // Puts the chains back as they were before this list was sorted and
    // frees the backup. Nothing when the backup belongs to another list.
    void RestoreOrder();

    // Display (cam/chains/ChainDisplay.cpp).
    void Redraw(bool pointsMode);
    void DrawArrows(int sideIndex, bool clearFirst);
    void ClearDrawing();
    void ClearArrows();
    // The chain label: "k <closed> - m <open>", or "n <points>" for a
    // drilling operation; nothing without a label or a current operation.
    void UpdateInfo();

    // Takes the group's curves from curves (their slots become null) in
    // group order, each turned so that even levels run counter-clockwise
    // and odd levels clockwise; hasOpen tells whether one was open.
    void OrientByNesting(const std::vector<TNido>& group, TListaDiCurve& curves, bool& hasOpen);

    // Places n points evenly along every chain, n the number of the points
    // field of the tool window (cam/chains/PointsAlong.h), with the
    // edit-event guard off meanwhile; the chains are redrawn first. With
    // addToDrawing the points and holes are added to document, else only
    // previewed.
    void PointsAlongChains(bool addToDrawing, TQV_01Cmp2D* document);

    // Tells lists apart for SortBackup, also after one is gone.
    uint64_t Serial() const { return m_Serial; }

    bool HasInfoLabel = false;
    uint8_t DirectionReversed = 0;

private:
    uint64_t m_Serial;
};

// The chain list of the points-along-chain command, for the whole run.
TListaCatene& GlobalChainList();

// The copy of a list taken before its drilling points were sorted, and the
// list it belongs to; null when there is none.
struct TSortBackup {
    std::unique_ptr<TListaCatene> Chains;
    uint64_t Owner = 0; // the Serial of the sorted list
};
TSortBackup& SortBackup();

// Empties GlobalChainList, drops SortBackup and restarts GestioneID.
void ResetChainModule();

// Chain display groups on / off.
void ShowChainDisplay();
void HideChainDisplay();
