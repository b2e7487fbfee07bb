#include "cam/generators/Generator2D.h"

#include "cam/chains/Catena.h"
#include "cam/params/ParametriOperazione.h"

TBaseOperazione2D::TBaseOperazione2D(const TGeneratorTarget& target) : m_Target(target) {}

TBaseOperazione2D::~TBaseOperazione2D() = default;

bool TBaseOperazione2D::DirectionReversed() const
{
    return m_Target.Chains && m_Target.Chains->DirectionReversed != 0;
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
    auto inside = [&](int i, int j) { return CurveInsideCurve(*curves[size_t(i)], *curves[size_t(j)]); };
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
