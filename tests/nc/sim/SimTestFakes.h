#pragma once
// Fakes around the 2D simulator: an operation with its own display group,
// a recording tool window, the view services on the recording scene, a
// clock that only moves when slept, and an echo that names each move.

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/sim/SimSeams.h"
#include "tests/support/RecordingView.h"

#include <charconv>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

class TFakeSimOperation : public TSimOperation {
public:
    TFakeSimOperation(TSceneBuilder& scene, int32_t kind)
        : KindValue(kind), Group(scene.CreateGroup(scene.Group(TSceneGroup::Stl), "op")),
          Tool(NewToolRecordForKind(kind))
    {
        if (Tool)
            Tool->Feed = 600.0;
    }

    // A new curve of line vertices (x, y, z).
    TCurvaNci3d& AddCurve(std::initializer_list<TVector3D> points, int32_t code = 0)
    {
        auto curve = std::make_unique<TCurvaNci3d>();
        curve->Code = code;
        for (const TVector3D& p : points)
            curve->AddVertex(TAVertice3d::CreateAt(p));
        TCurvaNci3d& result = *curve;
        Curves.push_back(std::move(curve));
        return result;
    }

    int32_t Kind() const override { return KindValue; }
    int32_t ToolpathCount() const override { return static_cast<int32_t>(Curves.size()); }
    const TCurvaNci3d& Toolpath(int32_t i) const override { return *Curves[static_cast<size_t>(i)]; }
    TSceneNodeId DisplayGroup() const override { return Group; }
    bool Shown() const override { return ShownFlag; }
    void SetShown(bool shown) override { ShownFlag = shown; }
    bool SwitchedOff() const override { return Off; }
    const TDatiUtBase* ToolData() const override { return Tool.get(); }
    double ZRapid() const override { return Rapid; }
    bool RetractOn() const override { return Retract; }
    double RetractZ() const override { return RetractHeight; }
    double ZTop() const override { return Top; }
    double CompOffset() const override { return Comp; }
    double LatheHomeX() const override { return HomeX; }
    double LatheHomeZ() const override { return HomeZ; }

    int32_t KindValue;
    TSceneNodeId Group;
    std::unique_ptr<TDatiUtBase> Tool;
    std::vector<std::unique_ptr<TCurvaNci3d>> Curves;
    bool ShownFlag = false;
    bool Off = false;
    double Rapid = 5.0;
    bool Retract = false;
    double RetractHeight = 20.0;
    double Top = 0.0;
    double Comp = 0.0;
    double HomeX = 50.0;
    double HomeZ = 10.0;
};

class TFakeSimWindow : public TSimWindow {
public:
    bool ShowToolChecked() const override { return ShowTool; }
    bool GCodeSimChecked() const override { return GCodeSim; }
    bool TrueWidthChecked() const override { return TrueWidthBox; }
    bool SolidSimChecked() const override { return SolidSim; }
    void SetTrueWidthEnabled(bool enabled) override { TrueWidthEnabled = enabled; }
    void SetSolidSimEnabled(bool) override {}
    void SetSimStatus(const std::string& text) override { Status = text; }
    void SetZGaugeVisible(bool visible) override { ZGaugeVisible = visible; }
    void SetCurrentZText(const std::string& text) override { ZTexts.push_back(text); }
    TRulerScale ZRuler() const override { return Ruler; }
    void SetActiveZ(uint32_t color, int32_t height) override { ActiveZ.push_back({color, height}); }
    void SetLowestRapid(int32_t top, const std::string& text) override { LowestRapid.push_back({top, text}); }
    void SetLowestFeed(int32_t top, const std::string& text) override { LowestFeed.push_back({top, text}); }
    int32_t MemoLineCount() const override { return static_cast<int32_t>(Memo.size()); }
    std::string MemoLine(int32_t i) const override { return Memo.at(static_cast<size_t>(i)); }
    void MemoClear() override { Memo.clear(); }
    void MemoAdd(const std::string& line) override { Memo.push_back(line); }
    void MemoSetLine(int32_t i, const std::string& line) override { Memo.at(static_cast<size_t>(i)) = line; }
    void MemoSelectLine(int32_t i) override { Selected = i; }
    void RestorePlayButtons() override { ++ButtonsRestored; }
    int32_t SolidQuality() const override { return Quality; }
    void SetSolidControlsEnabled(bool enabled) override { SolidControls = enabled; }
    void MatSizeClick() override { ++MatSizeClicks; }

    bool ShowTool = false;
    bool SolidSim = false;
    int32_t Quality = 4;
    bool SolidControls = false;
    int MatSizeClicks = 0;
    bool GCodeSim = false;
    bool TrueWidthBox = false;
    bool TrueWidthEnabled = false;
    bool ZGaugeVisible = true;
    std::string Status;
    std::vector<std::string> ZTexts;
    TRulerScale Ruler;
    std::vector<std::pair<uint32_t, int32_t>> ActiveZ;
    std::vector<std::pair<int32_t, std::string>> LowestRapid;
    std::vector<std::pair<int32_t, std::string>> LowestFeed;
    std::vector<std::string> Memo;
    int32_t Selected = -1;
    int ButtonsRestored = 0;
};

class TFakeSimView final : public TSimView {
public:
    explicit TFakeSimView(TRecordingScene& scene) : m_Scene(scene) {}
    void ClearSceneGroup(TSceneNodeId group) override
    {
        m_Scene.ClearGroup(group);
        InfoText.clear();
        LaserNode = NoSceneNode;
    }
    void ShowInfoText(const std::string& text) override { InfoText = text; }
    void ShowLaserDots(TSceneNodeId points, double diameter) override
    {
        LaserNode = points;
        LaserDiameter = diameter;
    }
    double PixelSize() const override { return Pixel; }
    void Repaint() override { ++Repaints; }

    std::string InfoText;
    int Repaints = 0;
    TSceneNodeId LaserNode = NoSceneNode;
    double LaserDiameter = 0.0;
    double Pixel = 0.01;

private:
    TRecordingScene& m_Scene;
};

class TFakeSimClock final : public TSimClock {
public:
    uint64_t TickMs() override { return Now; }
    void Sleep(uint32_t ms) override
    {
        Now += ms;
        ++Sleeps;
    }
    void ProcessMessages() override
    {
        ++Pumps;
        if (OnPump)
            OnPump();
    }

    uint64_t Now = 0;
    int Sleeps = 0;
    int Pumps = 0;
    std::function<void()> OnPump;
};

// Each move as a short text: "rapid 10,0", "feed 10,0,-1", "z 5", ...
class TFakeSimEcho final : public TSimEcho {
public:
    void SetCurrentOperation(const TSimOperation* operation) override { Operation = operation; }
    std::string XYMove(const TAVertice3d& v, bool rapid) override
    {
        return Log((rapid ? "rapid " : "arc ") + Num(v.EndPoint.X) + "," + Num(v.EndPoint.Y));
    }
    std::string XYZMove(const TAVertice3d& v) override
    {
        return Log("feed " + Num(v.EndPoint.X) + "," + Num(v.EndPoint.Y) + "," + Num(v.EndPoint.Z));
    }
    std::string ZMove(double z, bool rapid) override { return Log((rapid ? "zr " : "z ") + Num(z)); }
    std::string LatheMove(const TAVertice3d& v, bool rapid) override
    {
        return Log((rapid ? "lathe rapid " : "lathe ") + Num(v.EndPoint.X) + "," + Num(v.EndPoint.Y));
    }
    std::string CycleTemplateLine(int32_t cycle, int32_t phase, const TAVertice3d& v) override
    {
        return Log("cycle " + std::to_string(cycle) + " phase " + std::to_string(phase) + " " + Num(v.EndPoint.X));
    }

    const TSimOperation* Operation = nullptr;
    std::vector<std::string> Calls;

private:
    static std::string Num(double v)
    {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        return std::string(buffer, result.ptr);
    }
    std::string Log(std::string text)
    {
        Calls.push_back(text);
        return text;
    }
};

} // namespace kbtest
