#include "cad/panel/SetGrid.h"

#include "cad/program/QV_00CADProg.h"
#include "cad/program/ShellServices.h"
#include "core/settings/AppConfig.h"

namespace {

// Clears the busy mark however the update ends.
class TBusy {
public:
    explicit TBusy(bool& ready) : m_Ready(ready) { m_Ready = false; }
    ~TBusy() { m_Ready = true; }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    bool& m_Ready;
};

} // namespace

void TSetGrid::SetSnapToGrid(bool value)
{
    if (value == m_SnapToGridState)
        return;
    m_SnapToGridState = value;
    const TBusy busy(m_SnapSetterReady);
    if (m_Program)
        m_Program->Snap2Grid = value;
    if (OnShowSnapToGrid)
        OnShowSnapToGrid(value);
    AppConfig().SnapToGrid = value;
    ShellServices().ShowSnapToGrid(value);
}

TSetGrid& GridSetter()
{
    static TSetGrid setter;
    return setter;
}
