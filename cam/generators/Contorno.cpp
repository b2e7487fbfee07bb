#include "cam/generators/Contorno.h"

#include "cam/offset/NcAutoPoly.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "core/settings/LangKeys.h"

namespace {

std::unique_ptr<TCurvaNci3d> At0(const TACurva& curve)
{
    auto c = std::make_unique<TCurvaNci3d>();
    c->FromMachiningCurve(curve, 0.0);
    return c;
}

// The per-chain methods that emit a chain's closed offsets with
// EmitClosedOffsets: the compensated contour but for nested areas and the
// own offset engine.
bool EmitsClosedOffsets(const TParametriOperazione& p)
{
    return p.CompSide != 0 && p.OffsetMethod != 1 && p.OffsetMethod != 2;
}

} // namespace

int16_t MainCurveTag(int32_t passCount)
{
    return passCount > 1 ? 17 : 1;
}

int16_t ClosedOffsetCompCode(const TParametriOperazione& p, bool directionReversed)
{
    if (!p.EmitG41G42)
        return 0;
    if (p.CompSide == -1)
        return directionReversed ? 41 : 42;
    if (p.CompSide == 1)
        return directionReversed ? 42 : 41;
    return 0;
}

void RestoreCompCodes(TOpManagerField& op)
{
    if ((op.Kind != OpKind::Contour && op.Kind != OpKind::Letters) || !op.Parameters)
        return;
    const TParametriOperazione& p = *op.Parameters;
    if (!EmitsClosedOffsets(p))
        return;
    const int16_t code = ClosedOffsetCompCode(p, op.Chains.DirectionReversed != 0);
    // Islands of an offset are tagged 1 as well; with more than one pass
    // they differ from the main curve's 17.
    const int16_t mainTag = MainCurveTag(p.RoughCount + p.FinishCount);
    for (auto& curve : op.Toolpaths) {
        if ((curve->Tag & 0xFF) == mainTag)
            curve->CompCode = code;
    }
}

bool TContorno::Calculate()
{
    BeginRun();
    InitPassDistance();
    if (Params().CompSide == 0) {
        AlongChains();
        return true;
    }
    return Params().OffsetMethod == 1 ? Nested() : PerChain();
}

void TContorno::AlongChains()
{
    const TParametriOperazione& p = Params();
    const bool flag = DirectionReversed();
    Progress().StartProgress();
    TListaDiCurve3d curves;
    std::vector<int32_t> ids;
    for (const auto& chain : Chains().Items) {
        TACurva copy;
        copy.Assign(*chain);
        if (p.LeadAtMidSegment && copy.Closed)
            copy.StartAtFirstMidpoint();
        auto curve = At0(copy);
        if (copy.IsClockwise() != flag)
            curve->Reverse();
        curves.push_back(std::move(curve));
        ids.push_back(chain->ID);
    }
    if (p.MakeTabs && p.Tabs.Count() > 0) {
        for (int32_t id : ids)
            ApplyTabs(curves, id);
    }
    if (p.DepthOrder) {
        for (const auto& curve : curves)
            AddDepthLevelsOfCurve(*curve);
    } else {
        AddDepthLevels(curves);
    }
    EndRun();
}

bool TContorno::PerChain()
{
    const TParametriOperazione& p = Params();
    Progress().StartProgress();
    const int32_t passes = p.RoughCount + p.FinishCount;
    for (auto& item : Chains().Items) {
        TACurva& chain = *item;
        // A chain without a segment has no side to offset to.
        if (chain.Count() < 2)
            continue;
        if (chain.IsClockwise())
            chain.Reverse();
        m_WorkArea = std::make_unique<TNcArea>();
        ResetPassCounters();
        m_WorkArea->PassCount = static_cast<int16_t>(passes);
        for (int32_t n = 0; n < passes; ++n) {
            const double d = NextPassDistance();
            AddChainToArea(*m_WorkArea, chain);
            TListaDiCurve3d pass;
            if (p.OffsetMethod == 2) {
                // A broken walk leaves only part of the offset: the run ends.
                if (!OffsetWithEngine(*m_WorkArea, d, Progress()))
                    return Fail();
                EmitEngineOffsets(pass);
            } else if (chain.Closed) {
                m_WorkArea->OffsetClosed(-d);
                EmitClosedOffsets(chain, pass);
            } else {
                m_WorkArea->OffsetOpen(-d);
                EmitOpenOffsets(pass);
            }
            if (p.MakeTabs && p.Tabs.Count() > 0)
                ApplyTabs(pass, chain.ID);
            MoveCurves(m_Accumulator, pass);
            Progress().StepIndeterminate();
        }
        m_WorkArea.reset();
        if (p.DepthOrder)
            AddDepthLevelsAndClear(m_Accumulator);
    }
    if (!p.DepthOrder)
        AddDepthLevels(m_Accumulator);
    return EndRun();
}

void TContorno::EmitClosedOffsets(const TACurva& chain, TListaDiCurve3d& pass)
{
    const TParametriOperazione& p = Params();
    auto& curves = m_WorkArea->Curves;
    if (curves.empty())
        return;
    if (curves.size() > 1)
        MarkIslands(*m_WorkArea);
    const bool flag = DirectionReversed();
    for (auto& curve : curves) {
        if (curve->IsClockwise() != (flag != (curve->Tag != 0)))
            curve->Reverse();
    }
    const TAVertice a = chain.FirstVertexCopy(flag);
    const TAVertice b = chain.SecondVertexCopy(flag);
    double best = 1e8;
    size_t main = 0;
    TCurvePointRecord start;
    for (size_t i = 0; i < curves.size(); ++i) {
        const TCurvePointRecord r = curves[i]->FindStartSegment(a, b);
        if (r.Distance < best) {
            best = r.Distance;
            main = i;
            start = r;
        }
    }
    TACurva& mainCurve = *curves[main];
    mainCurve.StartAtPoint(start);
    mainCurve.Tag = MainCurveTag(m_WorkArea->PassCount);
    if (p.LeadAtMidSegment)
        mainCurve.StartAtFirstMidpoint();
    AddLeadInOut(mainCurve);
    mainCurve.CompCode = ClosedOffsetCompCode(p, flag);
    pass.push_back(At0(mainCurve));
    for (size_t i = 0; i < curves.size(); ++i) {
        if (i != main)
            pass.push_back(At0(*curves[i]));
    }
    m_WorkArea->Clear();
}

void TContorno::EmitEngineOffsets(TListaDiCurve3d& pass)
{
    const bool flag = DirectionReversed();
    for (auto& curve : m_WorkArea->Curves) {
        if (flag)
            curve->Reverse();
        if (Params().LeadAtMidSegment && curve->Closed)
            curve->StartAtFirstMidpoint();
        AddLeadInOut(*curve);
        pass.push_back(At0(*curve));
    }
    m_WorkArea->Clear();
}

void TContorno::EmitOpenOffsets(TListaDiCurve3d& pass)
{
    for (auto& curve : m_WorkArea->Curves) {
        AddLeadInOut(*curve);
        pass.push_back(At0(*curve));
    }
    m_WorkArea->Clear();
}

bool TContorno::Nested()
{
    const TParametriOperazione& p = Params();
    Progress().StartProgress();
    auto copies = ChainCopies();
    BuildNestingGroups(*copies);
    TListaCatene collection;
    for (const TNestingGroup& group : m_Groups) {
        // An open chain has no inside: the run ends after its message.
        if (!CollectGroup(group, *copies, collection, LangKeys::String::NestedOpenChain)) {
            FreeNestingGroups();
            return Fail();
        }
    }
    FreeNestingGroups();
    ResetPassCounters();
    if (collection.Count() > 0 && collection[0].Count() > 0) {
        const TVector2D reference = collection[0].Vertices.front().EndPoint;
        const bool flag = DirectionReversed();
        for (int32_t n = p.RoughCount + p.FinishCount; n >= 1; --n) {
            const double d = NextPassDistance();
            m_WorkArea = AreaFromChains(collection);
            m_WorkArea->OffsetClosed(-d);
            if (m_WorkArea->Curves.size() > 1)
                MarkIslands(*m_WorkArea);
            for (auto& curve : m_WorkArea->Curves) {
                curve->Tag = static_cast<int16_t>(curve->Tag | (n << 8));
                if (curve->IsClockwise() != (flag != ((curve->Tag & 0xFF) != 0)))
                    curve->Reverse();
                curve->StartAtNearestVertex(reference);
                m_Accumulator.push_back(At0(*curve));
            }
            m_WorkArea.reset();
            Progress().StepIndeterminate();
        }
    }
    if (p.CutRules == 1)
        OrderByLevel(m_Accumulator, {0, 0});
    else if (p.CutRules == 2)
        OrderIslandsFirst(m_Accumulator, {0, 0}, true);
    AddDepthLevels(m_Accumulator);
    return EndRun();
}

bool TCiclo::Calculate()
{
    BeginRun();
    HideChainDisplay();
    for (const auto& chain : Chains().Items)
        AddDrillCurve(*chain);
    return true;
}
