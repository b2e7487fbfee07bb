#include "core/model/ControlEvents.h"

namespace {
bool g_ControlEventsEnabled = true;
}

bool ControlEventsEnabled()
{
    return g_ControlEventsEnabled;
}

void SetControlEventsEnabled(bool enabled)
{
    g_ControlEventsEnabled = enabled;
}
