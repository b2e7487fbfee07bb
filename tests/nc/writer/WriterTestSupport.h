#pragma once
// An operation as the G-code writer reads it, and a writer loaded from the
// text of a post file, for the writer's tests.

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "nc/writer/ScriveGCode.h"
#include "nc/writer/WriterOperation.h"
#include "platform/IniFile.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

class TTestOperation : public TWriterOperation {
public:
    explicit TTestOperation(int32_t toolNumber = 1, std::unique_ptr<TDatiUtBase> tool = std::make_unique<TDatiUtFresa>())
        : Tool(std::move(tool))
    {
        Tool->ToolNumber = toolNumber;
        Tool->ToolName = "Endmill";
        Tool->Diameter = 6;
        Tool->SpindleSpeed = 12000;
        Tool->Feed = 100;
        Tool->PlungeFeed = 50;
    }

    // A curve through the points (lines); no points gives an empty curve.
    TTestOperation& AddCurve(std::initializer_list<TVector3D> points)
    {
        TCurvaNci3d curve;
        for (const TVector3D& p : points)
            curve.AddVertex(TAVertice3d::CreateAt(p));
        Curves.push_back(curve);
        return *this;
    }

    const TDatiUtBase* ToolData() const override { return Tool.get(); }
    double ZRapid() const override { return Rapid; }
    double ZTop() const override { return Top; }
    double ZDepth() const override { return Depth; }
    double ZStep() const override { return Step; }
    double StockXY() const override { return Stock; }
    bool RetractOn() const override { return Retract; }
    double RetractZ() const override { return RetractHeight; }
    std::string Comment() const override { return Text; }
    int32_t ToolpathCount() const override { return static_cast<int32_t>(Curves.size()); }
    const TCurvaNci3d& Toolpath(int32_t i) const override { return Curves.at(static_cast<size_t>(i)); }

    std::unique_ptr<TDatiUtBase> Tool;
    double Rapid = 5, Top = 0, Depth = -1, Step = 0.5, Stock = 1.25, RetractHeight = 10;
    bool Retract = false;
    std::string Text;
    std::vector<TCurvaNci3d> Curves;
};

// A writer with the description of pst loaded (millimetres unless told).
inline TScriveGCode LoadedWriter(const std::string& pst, const std::string& postName = "mill", bool millimetres = true)
{
    TIniFile ini;
    ini.LoadFromString(pst);
    TScriveGCode writer;
    writer.LoadFromIni(ini, postName, millimetres);
    return writer;
}

} // namespace kbtest
