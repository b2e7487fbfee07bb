#include "tools/samplegen/OperationSamples.h"

#include "cam/chains/EntXCatena.h"
#include "cam/generators/Calculate2D.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/DatiUtBase.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/WorkMonitor.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Only the layer shown: the chains of the whole drawing are then those of
// that layer.
class TOnlyLayer {
public:
    TOnlyLayer(TQV_01Cmp2D& doc, int layer) : m_Doc(doc)
    {
        for (int i = 0; i < 256; ++i)
            m_Doc.Layers().GetLayer(i).SetVisible(i == layer ? 1 : 0);
    }
    ~TOnlyLayer()
    {
        for (int i = 0; i < 256; ++i)
            m_Doc.Layers().GetLayer(i).SetVisible(1);
    }
    TOnlyLayer(const TOnlyLayer&) = delete;
    TOnlyLayer& operator=(const TOnlyLayer&) = delete;

private:
    TQV_01Cmp2D& m_Doc;
};

void SetMillTool(TOpManagerField& op, int number, double diameter)
{
    TDatiUtBase& tool = *op.Parameters->ToolData;
    tool.ToolNumber = number;
    tool.Diameter = diameter;
    tool.SpindleSpeed = 12000;
    tool.Feed = 600;
    tool.PlungeFeed = 200;
}

TOpManagerField& AddMilling(int kind, TQV_01Cmp2D& doc, int layer, const std::string& comment)
{
    auto op = std::make_unique<TOpManagerField>(kind);
    {
        const TOnlyLayer only(doc, layer);
        if (kind == OpKind::Drilling) {
            TTuttoInCatena::CreatePoints(doc, op->Chains, TDrillFilter{}, kChainCircles);
        } else {
            TTuttoInCatena all(doc, op->Chains);
        }
    }
    if (op->Chains.Count() == 0)
        throw std::runtime_error("no chain on layer " + std::to_string(layer) + " for " + comment);
    TParametriOperazione& p = *op->Parameters;
    p.ZTop = 0.0;
    p.ZRapid = 5.0;
    p.PassCount = 2;
    p.PassDepth = 1.5;
    p.StepCountX = 1;
    p.StepCountY = 1;
    op->Comment = comment;
    if (kind == OpKind::Contour) {
        SetMillTool(*op, 1, 6.0);
        p.CompSide = -1;
        p.CompOffset = 3.0;
        p.RoughCount = 1;
        p.RoughSize = 0.0;
    } else if (kind == OpKind::Pocket) {
        SetMillTool(*op, 2, 4.0);
        p.CompSide = 1;
        p.CompOffset = 2.0;
        p.StepOverPercent = 50.0;
        p.PocketType = 1;
    } else {
        SetMillTool(*op, 3, 8.0);
        p.PassCount = 1;
        p.PassDepth = 6.0;
    }
    op->Chains.ClearDrawing();
    if (!CalculateOperation2D(*op, &WorkMonitor()) || op->ToolpathVertexCount() == 0)
        throw std::runtime_error("no toolpath for " + comment + " (" + std::to_string(op->Chains.Count()) +
                                 " chains, the first " + (op->Chains[0].Closed ? "closed" : "open") + ")");
    op->Calculated = 1;
    return *OpManager().AddOperation(std::move(op));
}

// An operation whose Calculate computes nothing (laser, lathe): the toolpath
// follows its chains at the given height.
TOpManagerField& AddTraced(int kind, TQV_01Cmp2D& doc, int layer, const std::string& comment, double z)
{
    auto op = std::make_unique<TOpManagerField>(kind);
    {
        const TOnlyLayer only(doc, layer);
        TTuttoInCatena all(doc, op->Chains);
    }
    if (op->Chains.Count() == 0)
        throw std::runtime_error("no chain on layer " + std::to_string(layer) + " for " + comment);
    op->Chains.ClearDrawing();
    CurvesFromMachiningCurves(op->Toolpaths, op->Chains);
    for (const std::unique_ptr<TCurvaNci3d>& curve : op->Toolpaths)
        for (TAVertice3d& v : curve->Vertices)
            v.EndPoint.Z = z;
    op->Comment = comment;
    op->Parameters->ZRapid = 5.0;
    op->Calculated = 1;
    return *OpManager().AddOperation(std::move(op));
}

void Save(TQV_01Cmp2D& doc, const std::string& file)
{
    doc.SaveToFile(file);
    std::printf("%s: %d objects, %d operations\n", file.c_str(), doc.ObjectsCount(), OpManager().Count());
    OpManager().DeleteAll();
}

} // namespace

void WriteMillingSample(TQV_01Cmp2D& doc, const std::string& file)
{
    // The drawing of the plain sample: plate on layer 0, holes and slot on
    // 1, pocket outline on 2.
    AddMilling(OpKind::Drilling, doc, 1, "holes");
    AddMilling(OpKind::Pocket, doc, 2, "pocket");
    AddMilling(OpKind::Contour, doc, 0, "outline");
    Save(doc, file);
}

void WriteLaserSample(const std::string& file)
{
    TQV_01Cmp2D doc;
    doc.Layers().GetLayer(1).SetName("Cut");
    doc.Layers().GetLayer(2).SetName("Engrave");
    doc.Layers().GetLayer(3).SetName("Pocket");
    doc.AddObjectOnLayer(-1, 1, std::make_unique<TFrame2D>(0, Point2D(0, 0), Point2D(80, 50)));
    const std::vector<TPoint2D> star{Point2D(40, 42), Point2D(44, 30), Point2D(56, 30), Point2D(46, 23),
                                     Point2D(50, 10), Point2D(40, 18), Point2D(30, 10), Point2D(34, 23),
                                     Point2D(24, 30), Point2D(36, 30), Point2D(40, 42)};
    doc.AddObjectOnLayer(-1, 2, std::make_unique<TPolyline2D>(0, star));
    doc.AddObjectOnLayer(-1, 3, std::make_unique<TFrame2D>(0, Point2D(6, 6), Point2D(18, 18)));
    AddTraced(OpKind::LaserEngrave, doc, 2, "star", 0.0);
    AddTraced(OpKind::LaserPocket, doc, 3, "square", 0.0);
    AddTraced(OpKind::LaserCut, doc, 1, "outline", 0.0);
    Save(doc, file);
}

void WriteLatheSample(const std::string& file)
{
    // The half profile of a turned part: X along the axis, Y the radius.
    TQV_01Cmp2D doc;
    doc.Layers().GetLayer(1).SetName("Profile");
    const std::vector<TPoint2D> profile{Point2D(0, 0),    Point2D(0, 8),    Point2D(10, 8),  Point2D(14, 12),
                                        Point2D(30, 12),  Point2D(30, 16),  Point2D(45, 16), Point2D(45, 0)};
    doc.AddObjectOnLayer(-1, 1, std::make_unique<TPolyline2D>(0, profile));
    AddTraced(OpKind::LatheRough, doc, 1, "roughing", 0.0);
    AddTraced(OpKind::LatheFinish, doc, 1, "finishing", 0.0);
    Save(doc, file);
}
