#pragma once
// Chain building: the end points of chainable entities, runs of connected
// entities found by end-point matching within "ChainTol", each entity kind
// turned into chain vertices, all chains of the drawing, and the drilling
// points of a drawing as one chain.
//
// Chainable are lines, frames, arcs, circles, polylines and every other
// curve entity (their profile points); everything else is skipped without a
// word. All points are drawing coordinates (the model transform applied).
// Builders read the document and change nothing in it. Main thread only.

#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <vector>

class TArco2D;
class TCatena;
class TCerchio2D;
class TFrame2D;
class TLine2D;
class TListaCatene;
class TObject2D;
class TOutline2D;
class TPunto2D;
class TQV_01Cmp2D;

// One chainable entity.
class TEntXCatena {
public:
    // End points as the entity kind gives them; EntityID -1 for an entity
    // that cannot be chained (or whose outline cannot be read).
    explicit TEntXCatena(TObject2D& entity);

    void Flip();

    int32_t EntityID = -1;
    TVector2D StartPoint;
    TVector2D EndPoint;
    uint8_t Reversed = 0;
    // The entity read; valid while the document is unchanged (builders run
    // without user interaction). Null: look it up by EntityID.
    TObject2D* Entity = nullptr;
};

// An owning list of entity records.
class TListEntXCatena {
public:
    // Grows a run from element 0 and moves it, in order, to the front;
    // returns its length (see the .cpp).
    int32_t OrderRun();
    // OrderRun, then drops every element after the run.
    void KeepRunOfFirst();
    // Runs until the list is empty, one chain per run into chainList.
    void BuildAllRuns(TQV_01Cmp2D& document, TListaCatene& chainList);
    // A chain of every element in order, counter-clockwise when closed.
    void MakeChain(TQV_01Cmp2D& document, TListaCatene& chainList);
    // The picking's candidates: element 0 is the picked entity; adds every
    // visible, chainable object on a visible layer that is not a point,
    // bitmap, container or block reference and not element 0's entity.
    void CollectCandidates(TQV_01Cmp2D& document);
    // Moves the records on layer into a new list and sets nextLayer to the
    // lowest layer of the rest (9999 when none is left).
    std::unique_ptr<TListEntXCatena> TakeLayer(int layer, int& nextLayer);

    int Count() const { return static_cast<int>(Items.size()); }
    std::vector<std::unique_ptr<TEntXCatena>> Items;
};

// The arc filter of drilling operations: take only arcs and circles of
// this diameter, within the tolerance.
struct TDrillFilter {
    bool Enabled = false;
    double Diameter = 0.0;
    double Tolerance = 0.0;
};
// Drilling-point sources of TTuttoInCatena::CreatePoints.
enum : uint8_t { kChainPoints = 2, kChainArcs = 8, kChainCircles = 16 };

// The building of the chains of a whole drawing.
class TTuttoInCatena {
public:
    // Chains of all chainable entities of the visible drawing, appended to
    // chainList in document order (layer by layer, lowest layer first, when
    // the current operation says so); then the list is redrawn.
    TTuttoInCatena(TQV_01Cmp2D& document, TListaCatene& chainList);

    // One chain of drilling points: point entities (flags exactly
    // kChainPoints), centres of arcs that close into a full circle
    // (kChainArcs), centres of circles (kChainCircles), the filter applied
    // to both kinds of centre; appended when it has a point; then the list
    // is redrawn in points mode.
    static void CreatePoints(TQV_01Cmp2D& document, TListaCatene& chainList, const TDrillFilter& filter,
                             uint8_t flags);
};

// Entity converters: the chain holds a vertex where the entity begins; each
// appends the rest, run backwards when reversed.
void LineToChain(const TLine2D& line, TCatena& chain, bool reversed);
void FrameToChain(const TFrame2D& frame, TCatena& chain);
void ArcToChain(const TArco2D& arc, TCatena& chain, bool reversed);
void CircleToChain(const TCerchio2D& circle, TCatena& chain);
void PolylineToChain(TOutline2D& outline, TCatena& chain, bool reversed);
void CurveToChain(TOutline2D& curve, TCatena& chain, bool reversed);
void PointToChain(const TPunto2D& point, TCatena& chain);
void ArcCentreToChain(const TArco2D& arc, TCatena& chain, const TDrillFilter& filter);
void CircleCentreToChain(const TCerchio2D& circle, TCatena& chain, const TDrillFilter& filter);
