#pragma once
// The operation the simulation benchmarks play: its curves, a mill tool of
// diameter 6 at feed 1000 (flat unless the type is set), rapid plane 5 and
// compensation 3; no scene group unless one is given.

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/sim/SimSeams.h"

#include <memory>
#include <vector>

class TBenchSimOperation final : public TSimOperation {
public:
    explicit TBenchSimOperation(int32_t kind, int32_t toolType = 0, TSceneNodeId group = NoSceneNode)
        : Group(group), KindValue(kind)
    {
        Tool.ToolType = toolType;
        Tool.Diameter = 6;
        Tool.Feed = 1000;
    }
    int32_t Kind() const override { return KindValue; }
    int32_t ToolpathCount() const override { return int32_t(Curves.size()); }
    const TCurvaNci3d& Toolpath(int32_t i) const override { return *Curves[size_t(i)]; }
    TSceneNodeId DisplayGroup() const override { return Group; }
    bool Shown() const override { return false; }
    void SetShown(bool) override {}
    bool SwitchedOff() const override { return false; }
    const TDatiUtBase* ToolData() const override { return &Tool; }
    double ZRapid() const override { return 5; }
    bool RetractOn() const override { return false; }
    double RetractZ() const override { return 10; }
    double ZTop() const override { return 0; }
    double CompOffset() const override { return 3; }
    double LatheHomeX() const override { return 0; }
    double LatheHomeZ() const override { return 0; }

    TCurvaNci3d& NewCurve()
    {
        Curves.push_back(std::make_unique<TCurvaNci3d>());
        return *Curves.back();
    }

    TSceneNodeId Group;
    TDatiUtFresa Tool;
    std::vector<std::unique_ptr<TCurvaNci3d>> Curves;

private:
    int32_t KindValue;
};
