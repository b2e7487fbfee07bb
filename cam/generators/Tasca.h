#pragma once
// TTasca: the pocket. Clears the inside of closed chains with their islands
// by offset rings (shrinking from the wall, or cut from the centre outward)
// or by parallel zig-zag passes at an angle; then finishing rings, links,
// entry moves and Z levels. The same band hatcher makes the zig-zag raster
// that the 3D finishing drops onto a surface.

#include "cam/generators/Generator2D.h"

#include <functional>
#include <memory>
#include <vector>

class TDropPath;

class TTasca : public TBaseOperazione2D {
public:
    using TBaseOperazione2D::TBaseOperazione2D;

    // The two strategies: offset rings (pocket type not 0) and parallel
    // zig-zag passes (type 0). False, with nothing appended, for a step of
    // 0 and when the user breaks off the rings. An open chain is left out
    // after its message and the rest is pocketed. A break while the rings
    // are joined ends the joining (the rings left are not cut); in the
    // parallel passes it ends the bands of the group and the next group
    // follows.
    bool CalculateOffset();
    bool CalculateParallel();

    // The band hatcher: strips of the area (curves in the drawing frame)
    // along lines at the angle (SetAngle), step apart, the first on the
    // lower edge of the area's box in the band frame. The area's curves are
    // left turned into the band frame. True for an empty area; false
    // without strips for a step that is not positive, and when the user
    // breaks off. Raises ECADSysException when the step would need more
    // than kMaxRasterLines bands.
    bool HatchArea(TArea& area, double step);
    void SetAngle(double degrees);

    // The 3D raster: one continuous polyline of the hatched curve (its
    // area), run after run with the straight moves between them; the angle
    // and the step are the parameters' Angle and StepOverPercent (a length
    // here). False, with the path as it was, as HatchArea.
    bool HatchCurve(const TParametriOperazione& params, const TACurva& curve, TDropPath& path);
    // The rectangle between two corners.
    bool HatchRectangle(const TParametriOperazione& params, TDropPath& path, const TVector2D& corner1,
                        const TVector2D& corner2);
    // The first chain of the list; false for an empty list.
    bool HatchFirstChain(const TParametriOperazione& params, const TListaDiCurve& chains, TDropPath& path);
    // The first chain of the operation, with its parameters.
    bool HatchFirstChain(const TOpManagerField& operation, TDropPath& path);

    // The strips of the last hatching, run by run.
    const std::vector<std::unique_ptr<TACurva>>& Strips() const { return m_Strips; }
    // Moves the strips into the working curves.
    void TakeStrips();

    // A straight move widened to a slot of the half width lies in the area.
    static bool IsLinkInside(const TVector2D& from, const TVector2D& to, double halfWidth, const TArea& chainsArea);
    // Takes the working curve whose nearer end is nearest to the point.
    std::unique_ptr<TACurva> TakeNearestCurve(const TVector2D& p);
    // Joins the working curves into runs: continuing curves merge, others
    // are linked straight when the link's slot stays inside the chains'
    // area, else start a new run. Nearest-first (with progress steps; a
    // break ends the joining and drops what is left) or in list order.
    void JoinNearest(const TArea& chainsArea, double halfWidth);
    void JoinInOrder(const TArea& chainsArea, double halfWidth);

    // The chains' area offset inward by the distance: its curves go into
    // the working curves (at the front, one by one, or appended). False
    // when nothing is left.
    bool AddOffsetRing(const TListaDiCurve& chains, bool atFront, double distance);
    // The working area := the chains' area offset inward; false when empty.
    // Outside the ring loop of the ring strategy the offset is made of finer
    // chords, so that it keeps the tool radius from round walls.
    bool OffsetChainArea(const TListaDiCurve& chains, double distance);
    // One ring per finish pass left, farthest first, appended.
    void AddFinishPasses(const TListaDiCurve& chains);

private:
    // Joined runs, entries, finishing rings and Z levels of one group.
    void FinishGroup(TListaCatene& collection);
    // Starts a run with its step; false (ended) for a step not above 0.
    bool StartPocket(double& step);
    bool EndPocket(bool failed);
    // The group's closed chains, oriented by level; an open one is left out
    // after its message (once a run).
    void CollectClosedChains(const TNestingGroup& group, TListaDiCurve& copies, TListaCatene& collection);
    // The strip of one band piece (in the band frame, turned back into the
    // drawing frame), ending on the upper line; an infinite top walks the
    // whole piece.
    void ExtractBandPath(TACurva& curve, double yTop, double yBottom);
    // The piece's boundary from where its pass begins, once round.
    std::vector<TAVertice> BandPieceWalk(const TACurva& piece, double yBottom) const;
    void GroupStrips();
    void Join(const TArea& chainsArea, double halfWidth, bool nearest);

    double m_SinMinus = 0.0, m_CosMinus = 1.0;
    double m_Sin = 0.0, m_Cos = 1.0;
    std::vector<std::unique_ptr<TACurva>> m_Strips;
    bool m_Alternate = true;
    // The offset rings of the ring strategy are being made.
    bool m_RingLoop = false;
};

// The path maker of the 3D finishing over the first chain of the list
// (TAdapDropCutter::SetPathMaker): a pocket raster sharing the given
// progress. The parameters, chains and progress must outlive the maker.
std::function<bool(TDropPath&)> MakeChainRaster(const TParametriOperazione& params, const TListaDiCurve& chains,
                                                TUserBreak_ProgBar& progress);
// The same over the operation's first chain with its parameters.
std::function<bool(TDropPath&)> MakeChainRaster(const TOpManagerField& operation, TUserBreak_ProgBar& progress);
