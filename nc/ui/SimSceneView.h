#pragma once
// The 2D simulator's view services on the program's scene view.

#include "nc/sim/SimSeams.h"

class TQVScene;

class TQVSceneSimView final : public TSimView {
public:
    // scene must outlive this object.
    explicit TQVSceneSimView(TQVScene& scene) : m_Scene(scene) {}

    void ClearSceneGroup(TSceneNodeId group) override;
    void ShowInfoText(const std::string& text) override;
    void ShowLaserDots(TSceneNodeId points, double diameter) override;
    double PixelSize() const override;
    void Repaint() override;

private:
    TQVScene& m_Scene;
};
