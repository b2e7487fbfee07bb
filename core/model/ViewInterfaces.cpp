#include "core/model/ViewInterfaces.h"

namespace {

TViewServices& Installed()
{
    static TViewServices services;
    return services;
}

} // namespace

TSceneColor SceneColorFromWinColor(uint32_t color, float alpha)
{
    return TSceneColor{static_cast<float>(color & 0xffu) / 255.0f, static_cast<float>((color >> 8) & 0xffu) / 255.0f,
                       static_cast<float>((color >> 16) & 0xffu) / 255.0f, alpha};
}

const TViewServices& ViewServices()
{
    return Installed();
}

void InstallViewServices(const TViewServices& services)
{
    Installed() = services;
}

TLiveReadoutSink* ActiveLiveReadout()
{
    const TViewServices& s = Installed();
    if (!s.Readout)
        return nullptr;
    if (s.Commands && s.Commands->HasSuspendedCommand())
        return nullptr;
    return s.Readout;
}

TViewServicesScope::TViewServicesScope(const TViewServices& services) : m_Previous(Installed())
{
    Installed() = services;
}

TViewServicesScope::~TViewServicesScope()
{
    Installed() = m_Previous;
}
