#pragma once
// TBaseOperazione2D: what the 2D generators (contour and letters, pocket,
// drilling) share: the distances of the XY passes, nesting of closed curves
// into outlines and islands, chain areas, the Z levels of the depth passes
// and step-and-repeat copies.
//
// A generator is made for one calculation of one operation: it reads the
// operation's parameters and chains and appends toolpath curves to the
// operation's toolpath list (TGeneratorTarget names the three). A generator
// made without an operation (the 3D raster of the pocket) is given its
// parameters per call. Progress and the user's break go through the
// generator's own TUserBreak_ProgBar, or through another one it shares
// (SetProgress). Main thread only.

#include "cam/chains/Catena.h"
#include "cam/curves/Area.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "cam/toolpath/ToolpathCurves.h"

#include <cstdint>
#include <memory>
#include <vector>

class TParametriOperazione;

// The parts of an operation a generator reads and fills.
struct TGeneratorTarget {
    const TParametriOperazione* Params = nullptr;
    TListaCatene* Chains = nullptr;
    TListaDiCurve3d* Toolpath = nullptr;
};

class TBaseOperazione2D : public TUserBreak_ProgBar {
public:
    TBaseOperazione2D() = default;
    explicit TBaseOperazione2D(const TGeneratorTarget& target);
    ~TBaseOperazione2D() override;

    // Steps and the break request go to the given progress object (which
    // must outlive this generator) instead of this one.
    void SetProgress(TUserBreak_ProgBar& progress) { m_Progress = &progress; }

    // Pass distances.
    void InitPassDistance();
    void ResetPassCounters();
    // Consumes one XY pass: the farthest from the chain first, the last at
    // exactly the base distance; signed by the compensation side.
    double NextPassDistance();
    // Finish passes left x finish step + tool radius + allowance.
    double FinishDistance() const;
    int32_t RoughLeft() const { return m_RoughLeft; }
    int32_t FinishLeft() const { return m_FinishLeft; }

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

    // The working 2D curves of the pockets: rings, runs, finishing rings.
    TListaDiCurve& WorkingCurves() { return m_Working; }

protected:
    TUserBreak_ProgBar& Progress() { return m_Progress ? *m_Progress : *this; }
    const TParametriOperazione& Params() const { return *m_Target.Params; }
    bool HasOperation() const { return m_Target.Params && m_Target.Chains && m_Target.Toolpath; }
    // The direction flag of the chain list.
    bool DirectionReversed() const;

    TGeneratorTarget m_Target;
    std::vector<TNestingGroup> m_Groups;
    TListaDiCurve3d m_Accumulator;
    std::unique_ptr<TNcArea> m_LinkArea;
    std::unique_ptr<TNcArea> m_WorkArea;
    TListaDiCurve m_Working;
    int32_t m_RoughLeft = 0;
    int32_t m_FinishLeft = 0;
    double m_BaseDistance = 0.0;

private:
    TUserBreak_ProgBar* m_Progress = nullptr;
};
