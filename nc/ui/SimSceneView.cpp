#include "nc/ui/SimSceneView.h"

#include "cad/scene/QVScene.h"

void TQVSceneSimView::ClearSceneGroup(TSceneNodeId group) { m_Scene.ClearSceneGroup(group); }

void TQVSceneSimView::ShowInfoText(const std::string& text) { m_Scene.ShowInfoText(text); }

void TQVSceneSimView::ShowLaserDots(TSceneNodeId points, double diameter)
{
    TToolMarker& marker = m_Scene.ToolMarker();
    marker.Shown = true;
    marker.Node = points;
    marker.ToolDiameter = diameter;
    if (m_Scene.RequestRepaint)
        m_Scene.RequestRepaint();
}

double TQVSceneSimView::PixelSize() const { return m_Scene.PixelSize(); }

void TQVSceneSimView::Repaint()
{
    if (m_Scene.RequestRepaint)
        m_Scene.RequestRepaint();
}
