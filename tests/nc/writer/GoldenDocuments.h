#pragma once
// The fixed documents every shipped post writes for its golden program:
// toolpaths built here, not generated. Mill: a contour with arcs and a
// holding tab, a two-level pocket, drilling, pecking, tapping (for posts
// with a canned tapping cycle) and a 3D run. Laser: engraving (lines, dots,
// grey lines, grey dots) and a cut. Lathe: roughing and finishing passes.

#include "nc/writer/ProgramGeneration.h"
#include "tests/nc/writer/WriterTestSupport.h"

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

enum class EGoldenFamily { Mill, Laser, Lathe };

struct TGoldenPost {
    const char* Name;
    bool Millimetres;
    EGoldenFamily Family;
};

inline const TGoldenPost kGoldenPosts[] = {
    {"Mach2-3_mm", true, EGoldenFamily::Mill},  {"Mach2-3_inch", false, EGoldenFamily::Mill},
    {"GRBL_mm", true, EGoldenFamily::Mill},     {"GRBL_inch", false, EGoldenFamily::Mill},
    {"HEI_mm", true, EGoldenFamily::Mill},      {"SBO_mm", true, EGoldenFamily::Mill},
    {"XIL_mm", true, EGoldenFamily::Mill},      {"Laser_GRBL_mm", true, EGoldenFamily::Laser},
    {"Lathe_ISO_mm", true, EGoldenFamily::Lathe},
};

// One vertex of a golden curve: kind 0 line, 1 counter-clockwise, -1
// clockwise (then cx, cy the centre); attr the power or lathe mark.
struct TGoldenVertex {
    double X, Y, Z;
    int Kind = 0;
    double Cx = 0, Cy = 0;
    int Attr = 0;
};

class TGoldenDocument {
public:
    explicit TGoldenDocument(double unit) : m_Unit(unit) {}

    TTestOperation& Add(uint8_t kind, std::unique_ptr<TDatiUtBase> tool, int32_t toolNumber, const std::string& comment)
    {
        auto op = std::make_unique<TTestOperation>(toolNumber, std::move(tool));
        op->Text = comment;
        op->Rapid = 5 * m_Unit;
        op->Tool->Feed = 800 * m_Unit;
        op->Tool->PlungeFeed = 300 * m_Unit;
        op->Tool->Diameter = 6 * m_Unit;
        Operations.push_back(std::move(op));
        Entries.push_back({kind, false, Operations.back().get()});
        return *Operations.back();
    }

    void Curve(TTestOperation& op, int32_t code, std::initializer_list<TGoldenVertex> vertices)
    {
        TCurvaNci3d curve;
        curve.Code = code;
        for (const TGoldenVertex& v : vertices) {
            const double u = m_Unit;
            curve.AddVertex(TAVertice3d::CreateFull(v.Kind, {v.X * u, v.Y * u, v.Z * u}, {v.Cx * u, v.Cy * u, v.Z * u},
                                                    v.Attr));
        }
        op.Curves.push_back(curve);
    }

    std::vector<std::unique_ptr<TTestOperation>> Operations;
    std::vector<TProgramEntry> Entries;

private:
    double m_Unit;
};

inline std::unique_ptr<TGoldenDocument> MillDocument(double u, bool cannedTapping)
{
    auto doc = std::make_unique<TGoldenDocument>(u);
    TTestOperation& contour = doc->Add(1, std::make_unique<TDatiUtFresa>(), 1, "Outline");
    contour.Tool->ToolName = "Endmill 6";
    contour.Tool->SpindleSpeed = 12000;
    // The outline with rounded corners and a holding tab on its first edge.
    doc->Curve(contour, 0,
               {{10, 0, -2}, {20, 0, -2}, {20, 0, -1}, {24, 0, -1}, {24, 0, -2}, {40, 0, -2},
                {45, 5, -2, 1, 40, 5}, {45, 25, -2}, {40, 30, -2, 1, 40, 25}, {5, 30, -2},
                {0, 25, -2, 1, 5, 25}, {0, 5, -2}, {5, 0, -2, 1, 5, 5}, {10, 0, -2}});

    TTestOperation& pocket = doc->Add(2, std::make_unique<TDatiUtFresa>(), 1, "Pocket");
    pocket.Tool->ToolName = "Endmill 6";
    pocket.Tool->SpindleSpeed = 12000;
    for (double z : {-1.0, -2.0})
        doc->Curve(pocket, 0, {{15, 10, z}, {30, 10, z}, {30, 13, z}, {15, 13, z}, {15, 16, z}, {30, 16, z}});

    // A drilling operation: tool, diameter and depth; rapid plane 2.5.
    const auto drilling = [&](int32_t toolNumber, const char* comment, const char* toolName, int32_t speed,
                              double diameter, double depth) -> TTestOperation& {
        TTestOperation& op = doc->Add(3, std::make_unique<TDatiUtFresa>(), toolNumber, comment);
        op.Tool->ToolName = toolName;
        op.Tool->SpindleSpeed = speed;
        op.Tool->Diameter = diameter * u;
        op.Tool->PlungeFeed = 100 * u;
        op.Rapid = 2.5 * u;
        op.Depth = depth * u;
        return op;
    };
    TTestOperation& holes = drilling(2, "Holes", "Drill 3", 8000, 3, -3);
    doc->Curve(holes, 81, {{10, 40, -3}, {20, 40, -3}, {30, 40, -3}});

    TTestOperation& deep = drilling(2, "Deep holes", "Drill 3", 8000, 3, -5);
    deep.Step = 2 * u;
    doc->Curve(deep, 82, {{10, 50, -5}, {20, 50, -5}});

    if (cannedTapping) {
        TTestOperation& tap = drilling(3, "Threads", "Tap M4", 500, 4, -3);
        tap.Tool->PlungeFeed = 300 * u;
        tap.Stock = 0.7 * u;
        doc->Curve(tap, 83, {{10, 40, -3}, {20, 40, -3}});
    }

    TTestOperation& surface = doc->Add(5, std::make_unique<TDatiUtFresa>(), 4, "Surface");
    surface.Tool->ToolName = "Ball 3";
    surface.Tool->SpindleSpeed = 15000;
    surface.Tool->Diameter = 3 * u;
    doc->Curve(surface, 0, {{0, 60, -1}, {10, 60, -1.5}, {20, 60, -2}, {30, 60, -1.2}, {40, 60, -0.5}});
    doc->Curve(surface, 0, {{40, 61, -0.6}, {30, 61, -1.3}, {20, 61, -2.1}, {10, 61, -1.6}, {0, 61, -1.1}});
    return doc;
}

inline std::unique_ptr<TGoldenDocument> LaserDocument()
{
    auto doc = std::make_unique<TGoldenDocument>(1.0);
    const auto laser = [&doc](uint8_t kind, const std::string& comment, double feed) -> TTestOperation& {
        TTestOperation& op = doc->Add(kind, NewToolRecordForKind(kind), 1, comment);
        op.Tool->ToolName = "Diode 5W";
        op.Tool->Diameter = 0.1;
        op.Tool->SpindleSpeed = 800; // power 1
        op.Tool->Dwell1 = 0.2f;
        op.Tool->Feed = feed;
        return op;
    };
    TTestOperation& engrave = laser(8, "Engraving", 1200);
    doc->Curve(engrave, 78, {{0, 0, 0}, {20, 0, 0}, {20, 5, 0}});
    doc->Curve(engrave, 79, {{0, 10, 0}, {5, 10, 0}, {10, 10, 0}});
    doc->Curve(engrave, 76, {{0, 15, 0, 0, 0, 0, 100}, {10, 15, 0, 0, 0, 0, 500}, {20, 15, 0, 0, 0, 0, 900}});
    doc->Curve(engrave, 77, {{0, 20, 0, 0, 0, 0, 300}, {5, 20, 0, 0, 0, 0, 600}});

    TTestOperation& cut = laser(9, "Cut", 300);
    doc->Curve(cut, 0, {{0, 30, 0}, {20, 30, 0}, {25, 35, 0, 1, 20, 35}, {25, 50, 0}, {0, 50, 0}, {0, 30, 0}});
    return doc;
}

inline std::unique_ptr<TGoldenDocument> LatheDocument()
{
    auto doc = std::make_unique<TGoldenDocument>(1.0);
    constexpr int kRapid = 100;
    TTestOperation& rough = doc->Add(11, NewToolRecordForKind(11), 1, "Roughing");
    rough.Tool->ToolName = "Rougher";
    rough.Tool->SpindleSpeed = 800;
    rough.Tool->SpindleChoice = 1;
    rough.Tool->Feed = 150;
    for (double r : {12.0, 10.0})
        doc->Curve(rough, 0, {{2, 14, 0, 0, 0, 0, kRapid}, {2, r, 0}, {-30, r, 0}, {-30, 14, 0}, {2, 14, 0, 0, 0, 0, kRapid}});

    TTestOperation& finish = doc->Add(7, NewToolRecordForKind(7), 2, "Finishing");
    finish.Tool->ToolName = "Finisher";
    finish.Tool->SpindleSpeed = 1200;
    finish.Tool->SpindleChoice = 1;
    finish.Tool->Feed = 80;
    doc->Curve(finish, 0,
               {{2, 8, 0, 0, 0, 0, kRapid}, {0, 8, 0}, {-10, 8, 0}, {-15, 13, 0, -1, -10, 13}, {-30, 13, 0},
                {-30, 15, 0}, {2, 15, 0, 0, 0, 0, kRapid}});
    return doc;
}

inline std::unique_ptr<TGoldenDocument> GoldenDocument(const TGoldenPost& post, bool cannedTapping)
{
    switch (post.Family) {
    case EGoldenFamily::Laser:
        return LaserDocument();
    case EGoldenFamily::Lathe:
        return LatheDocument();
    case EGoldenFamily::Mill:
        break;
    }
    return MillDocument(post.Millimetres ? 1.0 : 1.0 / 25, cannedTapping);
}

// One feed move of a golden document: its end point, kind and centre.
struct TGoldenFeed {
    double X, Y, Z;
    int Kind = 0;
    double Cx = 0, Cy = 0;
};

// The feed moves the document asks of the post, in program order, in
// millimetres; canned cycles left out.
inline std::vector<TGoldenFeed> GoldenFeeds(const TGoldenDocument& doc, const TScriveGCode& w, double scale)
{
    std::vector<TGoldenFeed> feeds;
    auto push = [&](const TAVertice3d& v) {
        feeds.push_back({v.EndPoint.X * scale, v.EndPoint.Y * scale, v.EndPoint.Z * scale, v.Kind, v.Centre.X * scale,
                         v.Centre.Y * scale});
    };
    for (const TProgramEntry& entry : doc.Entries) {
        const TTestOperation& op = static_cast<const TTestOperation&>(*entry.Operation);
        for (const TCurvaNci3d& curve : op.Curves) {
            const auto& v = curve.Vertices;
            if (v.empty())
                continue;
            switch (entry.Kind) {
            case 3: { // drilling: each hole fed down, deep holes in pecks
                const int cycle = TScriveGCode::DrillingCycle(op);
                if (!w.CycleTemplates[static_cast<size_t>(cycle - 1)].Exploded)
                    break;
                const double peck = std::fabs(op.Step);
                for (TAVertice3d hole : v) {
                    if (cycle == 2) {
                        const double bottom = hole.EndPoint.Z;
                        for (double z = op.Top - peck; z > bottom; z -= peck) {
                            hole.EndPoint.Z = z;
                            push(hole);
                        }
                        hole.EndPoint.Z = bottom;
                    }
                    push(hole);
                }
                break;
            }
            case 8: // engraving lines from their first point on; dots have no feed move
                if (curve.Code == 76 || curve.Code == 78)
                    for (const TAVertice3d& p : v)
                        push(p);
                break;
            default: // the plunge (with Z), then every later vertex
                if (!w.OmitZ && entry.Kind != 9)
                    push(v.front());
                for (size_t i = 1; i < v.size(); ++i)
                    push(v[i]);
                break;
            }
        }
    }
    return feeds;
}

} // namespace kbtest
