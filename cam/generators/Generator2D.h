#pragma once
// TBaseOperazione2D: what the 2D generators (contour and letters, pocket,
// drilling) share: the distances of the XY passes, nesting of closed curves
// into outlines and islands, chain areas, holding tabs, the Z levels of the
// depth passes and step-and-repeat copies.
//
// A generator is made for one calculation of one operation: it reads the
// operation's parameters and chains and appends toolpath curves to the
// operation's toolpath list. A run that ends early (the user's break where
// it ends the run, an open chain where closed ones are needed) returns false
// and takes back every curve it appended. A generator made without an
// operation (the 3D raster of the pocket) is given its parameters per call.
// Progress and the user's break go through the generator's own
// TUserBreak_ProgBar, or through another one it shares (SetProgress). Main
// thread only.

#include "cam/chains/Catena.h"
#include "cam/curves/Area.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "cam/toolpath/ToolpathCurves.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class TOpManagerField;
class TParametriOperazione;

class TBaseOperazione2D : public TUserBreak_ProgBar {
public:
    TBaseOperazione2D() = default;
    // The operation is only referenced; it must outlive the generator.
    explicit TBaseOperazione2D(TOpManagerField& operation);
    ~TBaseOperazione2D() override;

    // Steps and the break request go to the given progress object (which
    // must outlive this generator) instead of this one.
    void SetProgress(TUserBreak_ProgBar& progress) { m_Progress = &progress; }
    // The run has told the user why it ended: an open chain, or the break
    // warning of the progress.
    bool MessageShown() const;

    // Pass distances.
    void InitPassDistance();
    void ResetPassCounters();
    // Consumes one XY pass: the farthest from the chain first, the last at
    // exactly the base distance; signed by the compensation side.
    double NextPassDistance();
    // Finish passes left x finish step + tool radius + allowance.
    double FinishDistance() const;

    // Nesting over a list of closed curves: one group per curve that lies
    // in no other, entry 0 that curve at level 0, then the curves inside it
    // at level 1 + the number of other members that contain them.
    using TNestingGroup = std::vector<TNido>;
    void BuildNestingGroups(const TListaDiCurve& curves);
    static std::vector<TNestingGroup> NestingGroupsOf(const std::vector<const TACurva*>& curves);
    void FreeNestingGroups() { m_Groups.clear(); }
    const std::vector<TNestingGroup>& NestingGroups() const { return m_Groups; }
    // Tag 1 on islands (nested at any level), 0 on outlines.
    static void MarkIslands(TArea& area);

    // A copy of the chain into the area; open chains alike.
    static void AddChainToArea(TArea& area, const TACurva& chain);
    static std::unique_ptr<TNcArea> AreaFromChains(const TListaDiCurve& chains);

    // The operation's holding tabs of the chain on the nearest of the curves.
    void ApplyTabs(TListaDiCurve3d& curves, int32_t chainId);
    // Z levels of the operation's depth plan: copies appended to the
    // toolpath (cycle code 0). Nothing for a plan without levels.
    void AddDepthLevels(const TListaDiCurve3d& curves);
    void AddDepthLevelsOfCurve(const TCurva3d& curve);
    void AddDepthLevelsAndClear(TListaDiCurve3d& curves);
    // Copies of the toolpath on the step-and-repeat grid, the unshifted
    // position not repeated.
    void StepAndRepeat();
    // Lead-in and lead-out on the compensation side (turned by the
    // direction flag).
    void AddLeadInOut(TACurva& curve) const;
    // One curve of hole positions at the drilling depth.
    void AddDrillCurve(const TACurva& chain);
    // Entry moves (ramp or helix) on each curve, inside the link area (the
    // area of the chains, which the pockets set for each group).
    bool AddEntryMoves(TListaDiCurve3d& curves);
    void SetLinkArea(std::unique_ptr<TNcArea> area) { m_LinkArea = std::move(area); }

    // The working 2D curves of the pockets: rings, runs, finishing rings.
    TListaDiCurve& WorkingCurves() { return m_Working; }

protected:
    TUserBreak_ProgBar& Progress() { return m_Progress ? *m_Progress : static_cast<TUserBreak_ProgBar&>(*this); }
    const TUserBreak_ProgBar& Progress() const
    {
        return m_Progress ? *m_Progress : static_cast<const TUserBreak_ProgBar&>(*this);
    }
    const TParametriOperazione& Params() const;
    TListaCatene& Chains();
    TListaDiCurve3d& Toolpath();
    // The direction flag of the chain list.
    bool DirectionReversed() const;
    // Copies of the operation's chains, in order.
    std::unique_ptr<TListaDiCurve> ChainCopies() const;
    // Collects the group's chains into the collection, oriented by level;
    // on an open chain shows the message, drops the chain collected last
    // and returns false.
    bool CollectGroup(const TNestingGroup& group, TListaDiCurve& copies, TListaCatene& collection,
                      std::string_view message);
    // Ends a run early: the curves appended since the run began go; the
    // progress ends; false.
    bool Fail();
    // Ends a run: the step-and-repeat copies when asked for, the progress
    // ends; true.
    bool EndRun();
    // Marks where the run's curves begin.
    void BeginRun();

    TOpManagerField* m_Operation = nullptr;
    std::vector<TNestingGroup> m_Groups;
    TListaDiCurve3d m_Accumulator;
    std::unique_ptr<TNcArea> m_LinkArea;
    std::unique_ptr<TNcArea> m_WorkArea;
    TListaDiCurve m_Working;
    int32_t m_RoughLeft = 0;
    int32_t m_FinishLeft = 0;
    double m_BaseDistance = 0.0;
    bool m_OpenChainShown = false;

private:
    // The entry of a curve (null for none) and the vertex it starts at.
    using TEntryMaker = std::function<std::unique_ptr<TCurvaNci3d>(TCurvaNci3d&, int32_t&)>;
    // Joins the second curve onto the first (freeing it) when it can.
    using TJoin = std::function<bool(TCurvaNci3d&, std::unique_ptr<TCurvaNci3d>&)>;
    // The Z of each level of the depth plan, from the top down.
    std::vector<double> DepthLevels() const;
    void AddLevelCopy(const TCurva3d& curve, double z);
    void PlaceEntries(TListaDiCurve3d& curves, const TEntryMaker& make, const TJoin& join);
    void AddRampEntries(TListaDiCurve3d& curves);
    void AddHelixEntries(TListaDiCurve3d& curves);
    bool LinkThroughSlot(TCurvaNci3d& first, std::unique_ptr<TCurvaNci3d>& second);

    TUserBreak_ProgBar* m_Progress = nullptr;
    size_t m_RunStart = 0;
};
