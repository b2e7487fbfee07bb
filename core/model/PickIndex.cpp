#include "core/model/PickIndex.h"

#include "core/model/QV_01Cmp2D.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();
// An object that covers more cells than this goes to the list of large
// extents, which every pick looks through.
constexpr int64_t MaxCellsPerObject = 16;
// Changed objects are looked through one by one until there are this many
// (plus a share of the drawing); then the grid is built again.
constexpr size_t LooseAllowance = 256;
constexpr size_t LooseShare = 16;
// The grid has about one cell for every ObjectsPerCell objects, and at
// most MaxCells cells.
constexpr double ObjectsPerCell = 4.0;
constexpr double MaxCells = 4.0 * 1024 * 1024;
// A pick whose square covers more cells than this (and more than a share
// of the grid) walks the whole list instead.
constexpr int64_t MaxQueryCells = 256;

// The float at or below v (the lowest float for values below it).
float FloorFloat(double v)
{
    if (v > FLT_MAX)
        return FLT_MAX;
    if (v < -FLT_MAX)
        return -Infinity;
    const auto f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -Infinity) : f;
}

// The float at or above v.
float CeilFloat(double v)
{
    if (v < -FLT_MAX)
        return -FLT_MAX;
    if (v > FLT_MAX)
        return Infinity;
    const auto f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, Infinity) : f;
}

bool Finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

int32_t CellOf(double v, double origin, double size, int32_t count)
{
    const double cell = std::floor((v - origin) / size);
    if (!(cell > 0.0))
        return 0;
    return cell >= count - 1 ? count - 1 : static_cast<int32_t>(cell);
}

} // namespace

void TPickIndex::ObjectAdded(TGraphicObject& object)
{
    if (!m_Awake)
        return;
    if (auto* object2D = dynamic_cast<TObject2D*>(&object))
        Add(*object2D);
}

void TPickIndex::Add(TObject2D& object)
{
    if (m_Slots.size() >= std::numeric_limits<uint32_t>::max() - 1)
        return;
    const auto index = static_cast<uint32_t>(m_Slots.size());
    m_Slots.push_back(TSlot{&object, -Infinity, -Infinity, Infinity, Infinity});
    try {
        m_States.push_back(Loose | Pending);
        m_Loose.push_back(index);
        m_Pending.push_back(index);
    } catch (...) {
        m_Slots.pop_back();
        m_States.resize(m_Slots.size());
        if (!m_Loose.empty() && m_Loose.back() == index)
            m_Loose.pop_back();
        throw;
    }
    object.SetPickSlot(index + 1);
    ++m_Live;
}

void TPickIndex::Wake()
{
    // Each object is measured at once; no grid is built yet, so the next
    // Candidates builds it from all of them, and they need not be listed
    // as changed or pending.
    const auto count = static_cast<size_t>(m_List.Count());
    try {
        m_Slots.reserve(count);
        m_States.reserve(count);
        m_List.ForEachObject([this](TGraphicObject& object) {
            auto* object2D = dynamic_cast<TObject2D*>(&object);
            if (!object2D || m_Slots.size() >= std::numeric_limits<uint32_t>::max() - 1)
                return;
            TSlot& slot = m_Slots.emplace_back(TSlot{object2D, -Infinity, -Infinity, Infinity, Infinity});
            Measure(slot);
            m_States.push_back(0);
            object2D->SetPickSlot(static_cast<uint32_t>(m_Slots.size()));
            ++m_Live;
        });
    } catch (...) {
        ListCleared();
        throw;
    }
    m_Built = false;
    m_Awake = true;
}

void TPickIndex::ObjectRemoved(TGraphicObject& object) noexcept
{
    const uint32_t slot = object.PickSlot();
    if (slot == 0 || slot > m_Slots.size() || m_Slots[slot - 1].Object != &object)
        return;
    m_Slots[slot - 1].Object = nullptr;
    object.SetPickSlot(0);
    --m_Live;
}

void TPickIndex::ListCleared() noexcept
{
    for (const TSlot& slot : m_Slots)
        if (slot.Object)
            slot.Object->SetPickSlot(0);
    m_Slots.clear();
    m_States.clear();
    m_Loose.clear();
    m_Pending.clear();
    m_Big.clear();
    m_CellStart.clear();
    m_CellSlots.clear();
    m_Live = 0;
    m_Built = false;
    m_Awake = false;
}

void TPickIndex::MarkChanged(const TGraphicObject& object)
{
    const uint32_t slot = object.PickSlot();
    if (slot == 0 || slot > m_Slots.size() || m_Slots[slot - 1].Object != &object)
        return;
    const uint32_t index = slot - 1;
    uint8_t& state = m_States[index];
    if ((state & Loose) == 0) {
        m_Loose.push_back(index);
        state = Loose;
    }
    if ((state & Pending) == 0) {
        m_Pending.push_back(index);
        state |= Pending;
    }
}

void TPickIndex::Measure(TSlot& slot) const
{
    const TObject2D& object = *slot.Object;
    slot.Left = slot.Bottom = -Infinity;
    slot.Right = slot.Top = Infinity;
    // Only the objects of this document tell this index of their changes.
    if (object.Owner() != &m_Document || !object.PicksNearItsBox())
        return;
    const TRect2D& box = object.Box();
    TRect2D extent{MakePoint2D(std::min(box.FirstEdge.X, box.SecondEdge.X),
                               std::min(box.FirstEdge.Y, box.SecondEdge.Y)),
                   MakePoint2D(std::max(box.FirstEdge.X, box.SecondEdge.X),
                               std::max(box.FirstEdge.Y, box.SecondEdge.Y))};
    if (const TObject2DHandler* handler = object.Handler())
        if (!handler->GrowByControlPoints(object, extent))
            return;
    if (!Finite(extent.FirstEdge.X, extent.FirstEdge.Y, extent.SecondEdge.X, extent.SecondEdge.Y))
        return;
    slot.Left = FloorFloat(extent.FirstEdge.X);
    slot.Bottom = FloorFloat(extent.FirstEdge.Y);
    slot.Right = CeilFloat(extent.SecondEdge.X);
    slot.Top = CeilFloat(extent.SecondEdge.Y);
}

void TPickIndex::MeasurePending()
{
    for (uint32_t index : m_Pending) {
        if (m_Slots[index].Object)
            Measure(m_Slots[index]);
        m_States[index] &= static_cast<uint8_t>(~Pending);
    }
    m_Pending.clear();
}

bool TPickIndex::GridIsStale() const
{
    return !m_Built || m_Loose.size() > LooseAllowance + m_Live / LooseShare;
}

void TPickIndex::Compact()
{
    size_t kept = 0;
    for (size_t i = 0; i < m_Slots.size(); ++i) {
        if (!m_Slots[i].Object)
            continue;
        m_Slots[kept] = m_Slots[i];
        m_Slots[kept].Object->SetPickSlot(static_cast<uint32_t>(kept + 1));
        ++kept;
    }
    m_Slots.resize(kept);
    m_Slots.shrink_to_fit();
    m_States.assign(kept, 0);
    m_States.shrink_to_fit();
}

void TPickIndex::Rebuild()
{
    m_Built = false;
    m_Loose.clear();
    m_Big.clear();
    m_CellStart.clear();
    m_CellSlots.clear();
    // Every object is touched again only when removed ones left gaps.
    if (m_Live != m_Slots.size())
        Compact();
    FillGrid();
    m_Loose.shrink_to_fit();
    m_Pending.shrink_to_fit();
    m_Built = true;
}

void TPickIndex::PlaceGrid()
{
    double left = std::numeric_limits<double>::infinity();
    double bottom = left;
    double right = -left;
    double top = -left;
    size_t finite = 0;
    for (const TSlot& slot : m_Slots) {
        if (!Finite(slot.Left, slot.Bottom, slot.Right, slot.Top))
            continue;
        left = std::min(left, static_cast<double>(slot.Left));
        bottom = std::min(bottom, static_cast<double>(slot.Bottom));
        right = std::max(right, static_cast<double>(slot.Right));
        top = std::max(top, static_cast<double>(slot.Top));
        ++finite;
    }
    m_Columns = m_Rows = 0;
    if (finite == 0)
        return;
    // Cells about square, none of zero size.
    const double cells = std::min(MaxCells, std::max(1.0, static_cast<double>(finite) / ObjectsPerCell));
    const double span = std::max({right - left, top - bottom, 1e-9});
    const double width = std::max(right - left, span * 1e-6);
    const double height = std::max(top - bottom, span * 1e-6);
    const double columns = std::clamp(std::ceil(std::sqrt(cells * width / height)), 1.0, cells);
    m_Columns = static_cast<int32_t>(columns);
    m_Rows = static_cast<int32_t>(std::clamp(std::ceil(cells / columns), 1.0, cells));
    m_Left = left;
    m_Bottom = bottom;
    m_CellWidth = width / m_Columns;
    m_CellHeight = height / m_Rows;
}

void TPickIndex::FillGrid()
{
    PlaceGrid();
    const size_t cellCount = static_cast<size_t>(m_Columns) * static_cast<size_t>(m_Rows);
    m_CellStart.assign(cellCount + 1, 0);
    // Counted first, then placed: each cell's slots in rising slot order.
    const auto eachCell = [&](const TSlot& slot, auto&& visit) {
        const int32_t c0 = Column(slot.Left);
        const int32_t c1 = Column(slot.Right);
        const int32_t r0 = Row(slot.Bottom);
        const int32_t r1 = Row(slot.Top);
        for (int32_t r = r0; r <= r1; ++r)
            for (int32_t c = c0; c <= c1; ++c)
                visit(static_cast<size_t>(r) * static_cast<size_t>(m_Columns) + static_cast<size_t>(c));
    };
    for (uint32_t i = 0; i < m_Slots.size(); ++i) {
        const TSlot& slot = m_Slots[i];
        const bool fits = cellCount > 0 && Finite(slot.Left, slot.Bottom, slot.Right, slot.Top) &&
                          int64_t{Column(slot.Right) - Column(slot.Left) + 1} *
                                  int64_t{Row(slot.Top) - Row(slot.Bottom) + 1} <=
                              MaxCellsPerObject;
        if (!fits) {
            m_States[i] = InBig;
            m_Big.push_back(i);
            continue;
        }
        m_States[i] = InGrid;
        eachCell(slot, [&](size_t cell) { ++m_CellStart[cell + 1]; });
    }
    for (size_t cell = 0; cell < cellCount; ++cell)
        m_CellStart[cell + 1] += m_CellStart[cell];
    m_CellSlots.resize(cellCount > 0 ? m_CellStart[cellCount] : 0);
    std::vector<uint32_t> next(m_CellStart.begin(), m_CellStart.end() - 1);
    for (uint32_t i = 0; i < m_Slots.size(); ++i)
        if (m_States[i] == InGrid)
            eachCell(m_Slots[i], [&](size_t cell) { m_CellSlots[next[cell]++] = i; });
}

int32_t TPickIndex::Column(double x) const
{
    return CellOf(x, m_Left, m_CellWidth, m_Columns);
}

int32_t TPickIndex::Row(double y) const
{
    return CellOf(y, m_Bottom, m_CellHeight, m_Rows);
}

bool TPickIndex::Candidates(const TPoint2D& point, double aperture, std::vector<TObject2D*>& candidates)
{
    candidates.clear();
    if (!std::isfinite(point.X) || !std::isfinite(point.Y) || (point.W != 1.0 && point.W != 0.0) ||
        !std::isfinite(aperture) || aperture < 0.0)
        return false;
    if (!m_Awake)
        Wake();
    MeasurePending();
    if (GridIsStale())
        Rebuild();
    // The square around the point, a little larger than the comparisons of
    // PickAt could ever reach after their rounding.
    const double slack = (std::abs(point.X) + std::abs(point.Y) + aperture) * 1e-12 + 1e-300;
    const double left = point.X - aperture - slack;
    const double right = point.X + aperture + slack;
    const double bottom = point.Y - aperture - slack;
    const double top = point.Y + aperture + slack;
    const auto overlaps = [&](const TSlot& slot) {
        return slot.Object && slot.Left <= right && slot.Right >= left && slot.Bottom <= top && slot.Top >= bottom;
    };
    std::vector<uint32_t> found;
    // Cells are clamped to the grid: a square beyond its edge looks at the
    // edge cells, where every extent reaching that far is listed.
    if (m_Columns > 0) {
        const int32_t c0 = Column(left);
        const int32_t c1 = Column(right);
        const int32_t r0 = Row(bottom);
        const int32_t r1 = Row(top);
        const int64_t cells = int64_t{c1 - c0 + 1} * int64_t{r1 - r0 + 1};
        if (cells > MaxQueryCells && cells > int64_t{m_Columns} * m_Rows / 16)
            return false;
        for (int32_t r = r0; r <= r1; ++r)
            for (int32_t c = c0; c <= c1; ++c) {
                const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(m_Columns) + static_cast<size_t>(c);
                for (uint32_t k = m_CellStart[cell]; k < m_CellStart[cell + 1]; ++k) {
                    const uint32_t i = m_CellSlots[k];
                    if (m_States[i] == InGrid && overlaps(m_Slots[i]))
                        found.push_back(i);
                }
            }
    }
    for (uint32_t i : m_Big)
        if (m_States[i] == InBig && overlaps(m_Slots[i]))
            found.push_back(i);
    for (uint32_t i : m_Loose)
        if ((m_States[i] & Loose) != 0 && overlaps(m_Slots[i]))
            found.push_back(i);
    // Slot order is list order: objects are appended to both, and a rebuild
    // keeps the order.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    candidates.reserve(found.size());
    for (uint32_t i : found)
        candidates.push_back(m_Slots[i].Object);
    return true;
}
