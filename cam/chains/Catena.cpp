#include "cam/chains/Catena.h"

#include "cam/chains/ChainContext.h"
#include "core/settings/AppConfig.h"

#include <algorithm>
#include <cmath>
#include <utility>

// ---- chain ------------------------------------------------------------------

TCatena::TCatena()
{
    const TAppConfig& config = AppConfig();
    m_ChainLines.Color = SceneColorFromWinColor(config.Chain);
    m_ChainLines.LineWidth = static_cast<float>(config.ChainLW);
    m_ChainLines.NodesVisible = false;
    m_ArrowLines.Color = SceneColorFromWinColor(0x0000FFFF); // yellow
    m_ArrowLines.LineWidth = static_cast<float>(std::max(1, config.ChainLW / 2));
    m_ArrowLines.NodesVisible = false;
    if (TSceneBuilder* scene = ViewServices().Scene) {
        m_Scene = scene;
        m_ChainNode = scene->AddLines(scene->Group(TSceneGroup::Chain), m_ChainLines);
        m_ArrowNode = scene->AddLines(scene->Group(TSceneGroup::ChainArrow), m_ArrowLines);
    }
}

namespace {
std::vector<TChainWatcher*>& ChainWatchers()
{
    static std::vector<TChainWatcher*> watchers;
    return watchers;
}
} // namespace

void AddChainWatcher(TChainWatcher* watcher)
{
    if (watcher && std::find(ChainWatchers().begin(), ChainWatchers().end(), watcher) == ChainWatchers().end())
        ChainWatchers().push_back(watcher);
}

void RemoveChainWatcher(TChainWatcher* watcher)
{
    std::erase(ChainWatchers(), watcher);
}

TCatena::~TCatena()
{
    // A copy: a watcher may unregister itself while it is told.
    const std::vector<TChainWatcher*> watchers = ChainWatchers();
    for (TChainWatcher* watcher : watchers)
        watcher->ChainFreed(*this);
    if (InScene()) {
        m_Scene->RemoveNode(m_ArrowNode);
        m_Scene->RemoveNode(m_ChainNode);
    }
}

bool TCatena::InScene() const
{
    return m_Scene && m_Scene == ViewServices().Scene;
}

void TCatena::ShowChainLines()
{
    if (InScene())
        m_Scene->UpdateLines(m_ChainNode, m_ChainLines);
}

void TCatena::ShowArrowLines()
{
    if (InScene())
        m_Scene->UpdateLines(m_ArrowNode, m_ArrowLines);
}

void TCatena::SetChainColor(uint32_t color)
{
    m_ChainLines.Color = SceneColorFromWinColor(color);
    ShowChainLines();
}

void TCatena::ClearLines()
{
    m_ChainLines.Nodes.clear();
    m_ArrowLines.Nodes.clear();
    ShowChainLines();
    ShowArrowLines();
}

void TCatena::ClearArrowLines()
{
    m_ArrowLines.Nodes.clear();
    ShowArrowLines();
}

// ---- list -------------------------------------------------------------------

TListaCatene::TListaCatene()
{
    static uint64_t lastSerial = 0;
    m_Serial = ++lastSerial;
}

TCatena& TListaCatene::AddChain(std::unique_ptr<TCatena> chain)
{
    TCatena& added = *chain;
    Items.push_back(std::move(chain));
    return added;
}

TCatena* TListaCatene::ChainAt(int index)
{
    return dynamic_cast<TCatena*>(Items[static_cast<size_t>(index)].get());
}

void TListaCatene::Assign(const TListaCatene& source)
{
    if (source.Count() == 0 || &source == this)
        return;
    for (const auto& curve : source.Items) {
        auto chain = std::make_unique<TCatena>();
        chain->Assign(*curve);
        AddChain(std::move(chain));
    }
    DirectionReversed = source.DirectionReversed;
}

void TListaCatene::ClearAll()
{
    Items.clear();
}

void TListaCatene::ClearChains()
{
    if (Items.empty())
        return;
    Items.clear();
    DrawArrows(ChainContext().CompensationSide(), true);
    UpdateInfo();
}

void TListaCatene::DeleteLast()
{
    if (Items.empty())
        return;
    Items.pop_back();
    DrawArrows(ChainContext().CompensationSide(), true);
    UpdateInfo();
}

void TListaCatene::SortPointsFrom(const TVector2D& p, bool enabled)
{
    if (!enabled) {
        RestoreOrder();
        return;
    }
    // One backup at a time: sorting this list after another one makes the
    // other's order final.
    TSortBackup& backup = SortBackup();
    if (!backup.Chains || backup.Owner != m_Serial) {
        backup.Chains = std::make_unique<TListaCatene>();
        backup.Chains->Assign(*this);
        backup.Owner = m_Serial;
    }
    std::vector<TAVertice> points;
    for (const auto& curve : Items)
        points.insert(points.end(), curve->Vertices.begin(), curve->Vertices.end());
    Items.clear();

    TVector2D current = p;
    const size_t n = points.size();
    for (size_t r = 0; r < n; ++r) {
        size_t best = r;
        float bestDistance = 1e30f;
        for (size_t k = r; k < n; ++k) {
            const float d = static_cast<float>(
                std::hypot(points[k].EndPoint.X - current.X, points[k].EndPoint.Y - current.Y));
            if (d <= bestDistance) {
                bestDistance = d;
                best = k;
            }
        }
        std::swap(points[r], points[best]);
        current = points[r].EndPoint;
    }
    auto sorted = std::make_unique<TCatena>();
    sorted->Vertices = std::move(points);
    sorted->Closed = 0;
    sorted->ID = 0;
    AddChain(std::move(sorted));
}

void TListaCatene::RestoreOrder()
{
    TSortBackup& backup = SortBackup();
    if (!backup.Chains || backup.Owner != m_Serial)
        return;
    ClearAll();
    Assign(*backup.Chains);
    backup.Chains.reset();
    backup.Owner = 0;
}

void TListaCatene::OrientByNesting(const std::vector<TNido>& group, TListaDiCurve& curves, bool& hasOpen)
{
    hasOpen = false;
    for (const TNido& member : group) {
        if (member.CurveIndex < 0 || member.CurveIndex >= curves.Count())
            continue;
        std::unique_ptr<TACurva>& slot = curves.Items[static_cast<size_t>(member.CurveIndex)];
        if (!slot)
            continue;
        const bool clockwise = slot->IsClockwise();
        if ((member.Level % 2 == 0 && clockwise) || (member.Level % 2 != 0 && !clockwise))
            slot->Reverse();
        if (!slot->Closed)
            hasOpen = true;
        if (dynamic_cast<TCatena*>(slot.get())) {
            Items.push_back(std::move(slot));
        } else {
            auto chain = std::make_unique<TCatena>();
            chain->Assign(*slot);
            chain->Reversed = slot->Reversed;
            slot.reset();
            AddChain(std::move(chain));
        }
    }
}

// ---- module objects ---------------------------------------------------------

TListaCatene& GlobalChainList()
{
    static TListaCatene list;
    return list;
}

TSortBackup& SortBackup()
{
    static TSortBackup backup;
    return backup;
}

void ResetChainModule()
{
    GlobalChainList().ClearAll();
    GlobalChainList().DirectionReversed = 0;
    GlobalChainList().HasInfoLabel = false;
    TSortBackup& backup = SortBackup();
    backup.Chains.reset();
    backup.Owner = 0;
    GestioneID().Counter = 0;
}
