#include "cad/scene/CADViewPort.h"

TCADViewPort::~TCADViewPort()
{
    if (TCADViewMessageHook* hook = m_Hook) {
        m_Hook = nullptr;
        hook->ViewPortDestroyed(*this);
    }
}

void TCADViewPort::DispatchViewMessage(const TViewMessage& message)
{
    if (m_Hook)
        m_Hook->ViewerWndProc(message);
}
