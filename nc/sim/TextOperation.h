#pragma once
// The simulator's scratch operation for the G-code editor's text: a milling
// tool record (its diameter set by the text's tool lines), the rapid plane
// the text's drilling cycles and tool changes use, the half tool width of
// the drawn band, and a display group of its own, made in the scene that is
// installed when it is first asked for.

#include "nc/sim/SimSeams.h"

#include <memory>

class TCurvaNci3d;
class TDatiUtFresa;
class TSceneBuilder;

class TTextSimOperation final : public TSimOperation {
public:
    // The rapid plane starts at 5 mm, or 0.25 when the settings are in inch.
    explicit TTextSimOperation(bool millimetres);
    ~TTextSimOperation() override;

    void SetZRapid(double z) { m_ZRapid = z; }
    void SetCompOffset(double offset) { m_CompOffset = offset; }
    TDatiUtFresa& Tool() { return *m_Tool; }

    int32_t Kind() const override { return 1; }
    int32_t ToolpathCount() const override { return 0; }
    const TCurvaNci3d& Toolpath(int32_t i) const override;
    TSceneNodeId DisplayGroup() const override;
    bool Shown() const override { return m_Shown; }
    void SetShown(bool shown) override { m_Shown = shown; }
    bool SwitchedOff() const override { return false; }
    const TDatiUtBase* ToolData() const override;
    double ZRapid() const override { return m_ZRapid; }
    bool RetractOn() const override { return false; }
    double RetractZ() const override { return 0.0; }
    double ZTop() const override { return 0.0; }
    double CompOffset() const override { return m_CompOffset; }
    double LatheHomeX() const override { return 0.0; }
    double LatheHomeZ() const override { return 0.0; }

private:
    std::unique_ptr<TDatiUtFresa> m_Tool;
    double m_ZRapid;
    double m_CompOffset = 0.0;
    bool m_Shown = false;
    // Made on first use in the scene of that time.
    mutable TSceneBuilder* m_Scene = nullptr;
    mutable TSceneNodeId m_Group = NoSceneNode;
};
