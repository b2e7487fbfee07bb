#include "nc/sim/OperationSim.h"

#include "cam/ops/OpManager.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/sim/ToolpathDisplay.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The readers of the live operations; each goes with its operation.
class TReaders {
public:
    TReaders()
    {
        m_Previous = SetOperationFreedHook([this](const TOpManagerField& op) {
            m_Readers.erase(&op);
            if (m_Previous)
                m_Previous(op);
        });
    }
    TOpFieldSimOperation& For(TOpManagerField& op)
    {
        std::unique_ptr<TOpFieldSimOperation>& reader = m_Readers[&op];
        if (!reader)
            reader = std::make_unique<TOpFieldSimOperation>(op);
        return *reader;
    }

private:
    std::map<const TOpManagerField*, std::unique_ptr<TOpFieldSimOperation>> m_Readers;
    TOperationFreedHook m_Previous;
};

TReaders& Readers()
{
    // Never destroyed: operations freed at exit still find it.
    static auto* readers = new TReaders;
    return *readers;
}

std::vector<TSimOperation*> ListReaders(TOpManager& manager)
{
    std::vector<TSimOperation*> list;
    for (const auto& op : manager.Operations)
        if (op)
            list.push_back(&SimOperation(*op));
    return list;
}

} // namespace

TOpFieldSimOperation& SimOperation(TOpManagerField& op) { return Readers().For(op); }

int32_t TOpFieldSimOperation::Kind() const { return m_Op.Kind; }
int32_t TOpFieldSimOperation::ToolpathCount() const { return static_cast<int32_t>(m_Op.Toolpaths.size()); }
const TCurvaNci3d& TOpFieldSimOperation::Toolpath(int32_t i) const { return *m_Op.Toolpaths.at(static_cast<size_t>(i)); }
TSceneNodeId TOpFieldSimOperation::DisplayGroup() const { return m_Op.DisplayGroup; }
bool TOpFieldSimOperation::Shown() const { return m_Op.Shown != 0; }
void TOpFieldSimOperation::SetShown(bool shown) { m_Op.Shown = shown ? 1 : 0; }
bool TOpFieldSimOperation::SwitchedOff() const { return m_Op.SwitchedOff != 0; }

const TDatiUtBase* TOpFieldSimOperation::ToolData() const
{
    return m_Op.Parameters ? m_Op.Parameters->ToolData.get() : nullptr;
}

double TOpFieldSimOperation::ZRapid() const { return m_Op.Parameters ? m_Op.Parameters->ZRapid : 0.0; }
bool TOpFieldSimOperation::RetractOn() const { return m_Op.Parameters && m_Op.Parameters->RetractOn; }
double TOpFieldSimOperation::RetractZ() const { return m_Op.Parameters ? m_Op.Parameters->RetractZ : 0.0; }
double TOpFieldSimOperation::ZTop() const { return m_Op.Parameters ? m_Op.Parameters->ZTop : 0.0; }
double TOpFieldSimOperation::CompOffset() const { return m_Op.Parameters ? m_Op.Parameters->CompOffset : 0.0; }
double TOpFieldSimOperation::LatheHomeX() const { return m_Op.Parameters ? m_Op.Parameters->LatheHome.X : 0.0; }
double TOpFieldSimOperation::LatheHomeZ() const { return m_Op.Parameters ? m_Op.Parameters->LatheHome.Z : 0.0; }
double TOpFieldSimOperation::ZDepth() const { return m_Op.Parameters ? m_Op.Parameters->ZDepth : 0.0; }
double TOpFieldSimOperation::ZStep() const { return m_Op.Parameters ? m_Op.Parameters->ZStep : 0.0; }
double TOpFieldSimOperation::StockXY() const { return m_Op.Parameters ? m_Op.Parameters->StockXY : 0.0; }
std::string TOpFieldSimOperation::Comment() const { return m_Op.Comment; }

void ToggleToolpaths(TOpManager& manager, TSimulatore2D& simulator)
{
    const std::vector<TSimOperation*> list = ListReaders(manager);
    bool toggle = manager.ShowToggle != 0;
    ToggleToolpaths(list, toggle, simulator);
    manager.ShowToggle = toggle ? 1 : 0;
}

void HideToolpaths(TOpManager& manager, TSimView& view)
{
    const std::vector<TSimOperation*> list = ListReaders(manager);
    HideToolpaths(list, view);
}
