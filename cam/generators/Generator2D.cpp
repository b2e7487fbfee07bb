#include "cam/generators/Generator2D.h"

#include "cam/curves/Span.h"
#include "cam/generators/EntryMoves.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "core/geometry/Tolerance.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace {

// The entry angle of ramps and helices, and the helix radius per tool
// diameter.
constexpr double kEntryAngle = 3.0 * std::numbers::pi / 180.0;
constexpr double kHelixRadiusShare = 0.4;

TVector2D XY(const TVector3D& p)
{
    return {p.X, p.Y};
}

} // namespace

TBaseOperazione2D::TBaseOperazione2D(TOpManagerField& operation) : m_Operation(&operation) {}

TBaseOperazione2D::~TBaseOperazione2D() = default;

bool TBaseOperazione2D::MessageShown() const
{
    return m_OpenChainShown || Progress().BreakReported();
}

const TParametriOperazione& TBaseOperazione2D::Params() const
{
    return *m_Operation->Parameters;
}

TListaCatene& TBaseOperazione2D::Chains()
{
    return m_Operation->Chains;
}

TListaDiCurve3d& TBaseOperazione2D::Toolpath()
{
    return m_Operation->Toolpaths;
}

bool TBaseOperazione2D::DirectionReversed() const
{
    return m_Operation && m_Operation->Chains.DirectionReversed != 0;
}

void TBaseOperazione2D::BeginRun()
{
    m_RunStart = Toolpath().size();
    m_OpenChainShown = false;
}

bool TBaseOperazione2D::Fail()
{
    TListaDiCurve3d& toolpath = Toolpath();
    if (toolpath.size() > m_RunStart)
        toolpath.resize(m_RunStart);
    m_Accumulator.clear();
    Progress().EndProgress();
    return false;
}

bool TBaseOperazione2D::EndRun()
{
    m_Accumulator.clear();
    if (Params().XformOn)
        StepAndRepeat();
    Progress().EndProgress();
    return true;
}

void TBaseOperazione2D::InitPassDistance()
{
    const TParametriOperazione& p = Params();
    m_BaseDistance = p.CompSide != 0 ? p.CompOffset + p.StockXY : 0.0;
    ResetPassCounters();
}

void TBaseOperazione2D::ResetPassCounters()
{
    m_RoughLeft = Params().RoughCount;
    m_FinishLeft = Params().FinishCount;
}

double TBaseOperazione2D::NextPassDistance()
{
    const TParametriOperazione& p = Params();
    double d;
    if (m_RoughLeft > 0) {
        --m_RoughLeft;
        d = m_BaseDistance + m_RoughLeft * p.RoughSize + m_FinishLeft * p.FinishSize;
    } else {
        --m_FinishLeft;
        d = m_BaseDistance + m_FinishLeft * p.FinishSize;
    }
    return d * p.CompSide;
}

double TBaseOperazione2D::FinishDistance() const
{
    const TParametriOperazione& p = Params();
    return m_FinishLeft * p.FinishSize + p.CompOffset + p.StockXY;
}

std::vector<TBaseOperazione2D::TNestingGroup>
TBaseOperazione2D::NestingGroupsOf(const std::vector<const TACurva*>& curves)
{
    const int n = static_cast<int>(curves.size());
    // A curve whose box reaches out of another's box is not inside it: only
    // the other pairs need the area test.
    std::vector<TABox> boxes(curves.size());
    for (size_t i = 0; i < curves.size(); ++i)
        curves[i]->ExtendBox(boxes[i]);
    const double margin = 1e-3;
    auto boxInside = [&](const TABox& a, const TABox& b) {
        return !a.Valid || (b.Valid && a.MinX >= b.MinX - margin && a.MinY >= b.MinY - margin
                            && a.MaxX <= b.MaxX + margin && a.MaxY <= b.MaxY + margin);
    };
    // The area test of a pair is made once, on paths made once per curve
    // (at the chain tolerance, as CurveInsideCurve makes them).
    std::vector<std::optional<ClipperLib::Path>> paths(curves.size());
    std::unordered_map<uint64_t, bool> tested;
    auto pathOf = [&](int i) -> const ClipperLib::Path& {
        std::optional<ClipperLib::Path>& path = paths[size_t(i)];
        if (!path) {
            AreaTolerance = ChainTol();
            path = BooleanPath(*curves[size_t(i)]);
        }
        return *path;
    };
    auto inside = [&](int i, int j) {
        if (!boxInside(boxes[size_t(i)], boxes[size_t(j)]))
            return false;
        const uint64_t key = uint64_t(uint32_t(i)) << 32 | uint32_t(j);
        const auto found = tested.find(key);
        if (found != tested.end())
            return found->second;
        const bool result = PathInsidePath(pathOf(i), pathOf(j));
        tested.emplace(key, result);
        return result;
    };
    std::vector<TNestingGroup> groups;
    for (int i = 0; i < n; ++i) {
        bool contained = false;
        for (int j = 0; j < n && !contained; ++j)
            contained = j != i && inside(i, j);
        if (!contained)
            groups.push_back({TNido{i, 0}});
    }
    if (n == 1)
        return groups;
    for (TNestingGroup& group : groups) {
        const int head = group.front().CurveIndex;
        for (int i = 0; i < n; ++i) {
            if (i != head && inside(i, head))
                group.push_back(TNido{i, 1});
        }
        for (size_t a = 1; a < group.size(); ++a) {
            for (size_t b = 1; b < group.size(); ++b) {
                if (a != b && inside(group[a].CurveIndex, group[b].CurveIndex))
                    ++group[a].Level;
            }
        }
    }
    return groups;
}

void TBaseOperazione2D::BuildNestingGroups(const TListaDiCurve& curves)
{
    std::vector<const TACurva*> list;
    for (const auto& curve : curves.Items)
        list.push_back(curve.get());
    m_Groups = NestingGroupsOf(list);
}

void TBaseOperazione2D::MarkIslands(TArea& area)
{
    std::vector<const TACurva*> list;
    for (const auto& curve : area.Curves)
        list.push_back(curve.get());
    for (const TNestingGroup& group : NestingGroupsOf(list)) {
        for (const TNido& member : group)
            area.Curves[size_t(member.CurveIndex)]->Tag = member.Level != 0 ? 1 : 0;
    }
}

void TBaseOperazione2D::AddChainToArea(TArea& area, const TACurva& chain)
{
    auto copy = std::make_unique<TACurva>();
    copy->Assign(chain);
    area.AddCurve(std::move(copy));
}

std::unique_ptr<TNcArea> TBaseOperazione2D::AreaFromChains(const TListaDiCurve& chains)
{
    auto area = std::make_unique<TNcArea>();
    for (const auto& chain : chains.Items)
        AddChainToArea(*area, *chain);
    return area;
}

std::unique_ptr<TListaDiCurve> TBaseOperazione2D::ChainCopies() const
{
    auto copies = std::make_unique<TListaDiCurve>();
    for (const auto& chain : m_Operation->Chains.Items) {
        auto copy = std::make_unique<TACurva>();
        copy->Assign(*chain);
        copy->Reversed = chain->Reversed;
        copies->Add(std::move(copy));
    }
    return copies;
}

bool TBaseOperazione2D::CollectGroup(const TNestingGroup& group, TListaDiCurve& copies, TListaCatene& collection,
                                     std::string_view message)
{
    bool hasOpen = false;
    collection.OrientByNesting(group, copies, hasOpen);
    if (!hasOpen)
        return true;
    UserNotifier().ShowMessage(EMessageKind::Error, LangText(message), LangText(LangKeys::String::ErrorCaption));
    m_OpenChainShown = true;
    if (!collection.Items.empty())
        collection.Items.pop_back();
    return false;
}

void TBaseOperazione2D::ApplyTabs(TListaDiCurve3d& curves, int32_t chainId)
{
    const TParametriOperazione& p = Params();
    const double diameter = p.ToolData ? p.ToolData->Diameter : 0.0;
    for (int t = 0; t < p.Tabs.Count(); ++t) {
        const TDatiTab& tab = p.Tabs.Tab(t);
        if (tab.ChainId != chainId)
            continue;
        double best = 1e8;
        int index = -1;
        TCurvePointRecord found;
        for (size_t i = 0; i < curves.size(); ++i) {
            const TCurvePointRecord r = NearestPointOnCurve(*curves[i], tab.ChainPoint);
            if (r.Distance < best) {
                best = r.Distance;
                index = static_cast<int>(i);
                found = r;
            }
        }
        if (index >= 0)
            ApplyTab(curves, index, found, p.Tabs.Full != 0, p.Tabs.TabThickness, p.Tabs.TabWidth + diameter);
    }
}

std::vector<double> TBaseOperazione2D::DepthLevels() const
{
    const TParametriOperazione& p = Params();
    std::vector<double> levels;
    double z = p.ZTop;
    for (int32_t k = 1; k <= p.PassCount + p.HasRemainder; ++k) {
        z -= m_Operation->PassDepth(k);
        levels.push_back(z);
    }
    return levels;
}

void TBaseOperazione2D::AddLevelCopy(const TCurva3d& curve, double z)
{
    auto copy = std::make_unique<TCurvaNci3d>();
    copy->CopyWithZOffset(curve, z);
    copy->Code = 0;
    Toolpath().push_back(std::move(copy));
}

void TBaseOperazione2D::AddDepthLevelsOfCurve(const TCurva3d& curve)
{
    for (double z : DepthLevels())
        AddLevelCopy(curve, z);
}

void TBaseOperazione2D::AddDepthLevels(const TListaDiCurve3d& curves)
{
    for (double z : DepthLevels()) {
        for (const auto& curve : curves)
            AddLevelCopy(*curve, z);
    }
}

void TBaseOperazione2D::AddDepthLevelsAndClear(TListaDiCurve3d& curves)
{
    AddDepthLevels(curves);
    curves.clear();
}

void TBaseOperazione2D::StepAndRepeat()
{
    const TParametriOperazione& p = Params();
    TListaDiCurve3d& toolpath = Toolpath();
    const size_t n = toolpath.size();
    if (n == 0 || p.StepCountY <= 0)
        return;
    for (int32_t iy = 1; iy <= p.StepCountY; ++iy) {
        for (int32_t ix = 1; ix <= p.StepCountX; ++ix) {
            const double dx = (ix - 1) * p.StepX, dy = (iy - 1) * p.StepY;
            if (std::fabs(dx) <= SystemTol() && std::fabs(dy) <= SystemTol())
                continue;
            for (size_t j = 0; j < n; ++j) {
                if (auto copy = TranslatedCopy(*toolpath[j], dx, dy))
                    toolpath.push_back(std::move(copy));
            }
        }
    }
}

void TBaseOperazione2D::AddLeadInOut(TACurva& curve) const
{
    const TParametriOperazione& p = Params();
    const int side = p.CompSide * (DirectionReversed() ? -1 : 1);
    curve.AddLeadInOut({side, p.LeadInKind, p.LeadInLength, p.LeadOutKind, p.LeadOutLength});
}

void TBaseOperazione2D::AddDrillCurve(const TACurva& chain)
{
    const TParametriOperazione& p = Params();
    auto curve = std::make_unique<TCurvaNci3d>();
    curve->FromMachiningCurve(chain, p.ZDepth);
    curve->Reversed = chain.Reversed;
    curve->Code = 81 + p.CycleType;
    Toolpath().push_back(std::move(curve));
}

bool TBaseOperazione2D::AddEntryMoves(TListaDiCurve3d& curves)
{
    const TParametriOperazione& p = Params();
    // A tool of no size would never get down to the curve.
    if (!p.ToolData || p.ToolData->Diameter <= SystemTol() || !m_LinkArea)
        return true;
    if (p.PocketEntry == 1)
        AddRampEntries(curves);
    else if (p.PocketEntry == 2)
        AddHelixEntries(curves);
    return true;
}

void TBaseOperazione2D::PlaceEntries(TListaDiCurve3d& curves, const TEntryMaker& make, const TJoin& join)
{
    for (size_t i = 0; i < curves.size();) {
        TCurvaNci3d& c = *curves[i];
        int32_t index = 0;
        std::unique_ptr<TCurvaNci3d> entry = make(c, index);
        if (!entry) {
            ++i;
            continue;
        }
        size_t placed = 0;
        const auto insert = [&](std::unique_ptr<TCurvaNci3d> curve) {
            curves.insert(curves.begin() + ptrdiff_t(i), std::move(curve));
            ++placed;
        };
        if (index <= 0) {
            // At the curve's start: the entry runs on into it, or goes first.
            if (join(*entry, curves[i]))
                curves[i] = std::move(entry);
            else
                insert(std::move(entry));
            i += placed + 1;
            continue;
        }
        // Elsewhere: the entry, the curve's first part run back to its
        // start, then the rest; each joined to the one before when it can.
        TCurva3d::TSplit split = c.Split(index);
        split.First->Reverse();
        curves.erase(curves.begin() + ptrdiff_t(i));
        if (!join(*split.First, split.Second))
            insert(std::move(split.Second));
        if (!join(*entry, split.First))
            insert(std::move(split.First));
        insert(std::move(entry));
        i += placed;
    }
}

void TBaseOperazione2D::AddRampEntries(TListaDiCurve3d& curves)
{
    const TParametriOperazione& p = Params();
    const double d = p.ToolData->Diameter;
    PlaceEntries(
        curves,
        [&](TCurvaNci3d& c, int32_t& index) -> std::unique_ptr<TCurvaNci3d> {
            const TRampPlace place = FindRampStart(c, p.CompOffset, d, *m_LinkArea);
            if (!place.Found)
                return nullptr;
            const TRampa ramp(place.Start, d, p.ZStep, place.Angle, kEntryAngle);
            if (ramp.VertexCount() < 2)
                return nullptr;
            index = place.Index;
            auto entry = std::make_unique<TCurvaNci3d>();
            entry->Assign(ramp);
            return entry;
        },
        [](TCurvaNci3d& first, std::unique_ptr<TCurvaNci3d>& second) { return first.AppendIfContinuous(second); });
}

bool TBaseOperazione2D::LinkThroughSlot(TCurvaNci3d& first, std::unique_ptr<TCurvaNci3d>& second)
{
    if (first.Vertices.empty() || !second || second->Vertices.empty())
        return false;
    const double halfWidth = 0.5 * Params().ToolData->Diameter;
    if (m_LinkArea->SlotLeaves(XY(first.Vertices.back().EndPoint), XY(second->Vertices.front().EndPoint), halfWidth))
        return false;
    first.Vertices.insert(first.Vertices.end(), second->Vertices.begin(), second->Vertices.end());
    second.reset();
    return true;
}

void TBaseOperazione2D::AddHelixEntries(TListaDiCurve3d& curves)
{
    const TParametriOperazione& p = Params();
    const double radius = kHelixRadiusShare * p.ToolData->Diameter;
    PlaceEntries(
        curves,
        [&](TCurvaNci3d& c, int32_t& index) -> std::unique_ptr<TCurvaNci3d> {
            const THelixPlace place = FindHelixPlace(c, p.PocketType == 0, *m_LinkArea, p.CompOffset, radius);
            if (!place.Found)
                return nullptr;
            const TElica helix(place.Point, radius, p.ZStep, kEntryAngle);
            if (helix.VertexCount() == 0)
                return nullptr;
            index = place.Index;
            auto entry = std::make_unique<TCurvaNci3d>();
            entry->Assign(helix);
            return entry;
        },
        [this](TCurvaNci3d& first, std::unique_ptr<TCurvaNci3d>& second) { return LinkThroughSlot(first, second); });
}
