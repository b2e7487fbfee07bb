// Builds the sample drawing in code and saves it with the document's own
// writer: a plate outline with rounded corners, four holes and a slot on a
// layer of their own, a pocket outline, and the product name in stroke font
// 0. With a samples folder it also writes there the milling, laser and lathe
// documents with their operations and toolpaths (OperationSamples.h).
// Usage: kb_make_sample <RomanC.fnd> <output.kvx> [<samples folder>]

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Frame2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/entities/VectFont.h"
#include "cam/ops/OpManager.h"
#include "core/settings/AppConfig.h"
#include "tools/samplegen/OperationSamples.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

void AddPlate(TQV_01Cmp2D& doc)
{
    // 160 x 100 with corners of radius 10.
    const double w = 160;
    const double h = 100;
    const double r = 10;
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(r, 0), Point2D(w - r, 0)));
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(w, r), Point2D(w, h - r)));
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(w - r, h), Point2D(r, h)));
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, h - r), Point2D(0, r)));
    const TPoint2D centres[] = {Point2D(w - r, r), Point2D(w - r, h - r), Point2D(r, h - r), Point2D(r, r)};
    for (int i = 0; i < 4; ++i) {
        const TPoint2D c = centres[i];
        const double start = -Pi / 2 + i * Pi / 2;
        doc.AddObject(-1, std::make_unique<TArco2D>(0, c, Point2D(c.X + r, c.Y), start, start + Pi / 2));
    }
}

void AddHoles(TQV_01Cmp2D& doc, int layer)
{
    for (const TPoint2D c : {Point2D(20, 20), Point2D(140, 20), Point2D(140, 80), Point2D(20, 80)})
        doc.AddObjectOnLayer(-1, layer, std::make_unique<TCerchio2D>(0, c, Point2D(c.X + 4, c.Y)));
    // A slot: two half circles joined by lines.
    doc.AddObjectOnLayer(-1, layer, std::make_unique<TLine2D>(0, Point2D(60, 14), Point2D(100, 14)));
    doc.AddObjectOnLayer(-1, layer, std::make_unique<TLine2D>(0, Point2D(100, 26), Point2D(60, 26)));
    doc.AddObjectOnLayer(-1, layer,
                         std::make_unique<TArco2D>(0, Point2D(100, 20), Point2D(106, 20), -Pi / 2, Pi / 2));
    doc.AddObjectOnLayer(-1, layer,
                         std::make_unique<TArco2D>(0, Point2D(60, 20), Point2D(66, 20), Pi / 2, 3 * Pi / 2));
}

void AddPocket(TQV_01Cmp2D& doc, int layer)
{
    const std::vector<TPoint2D> outline{Point2D(40, 40), Point2D(120, 40), Point2D(120, 55),
                                        Point2D(95, 70), Point2D(65, 70), Point2D(40, 55), Point2D(40, 40)};
    doc.AddObjectOnLayer(-1, layer, std::make_unique<TPolyline2D>(0, outline));
}

void AddTitle(TQV_01Cmp2D& doc, TVectFont* font, int layer)
{
    const TRect2D box{Point2D(30, 104), Point2D(130, 116)};
    auto text = std::make_unique<TJustifiedVectText2D>(0, font, box, 10.0, "KESTRABEL 3");
    doc.AddObjectOnLayer(-1, layer, std::move(text));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: kb_make_sample <RomanC.fnd> <output.kvx> [<samples folder>]\n");
        return 2;
    }
    try {
        // The millimetre defaults; the operations section goes into the files.
        TAppConfig config("");
        const TOperationsHooks operations;
        RegisterEntityClasses();
        CADSysRegisterFontFromFile(0, argv[1]);
        TQV_01Cmp2D doc;
        TQV_21Layer& holes = doc.Layers().GetLayer(1);
        holes.SetName("Holes");
        holes.SetPenColor(0x0000FFFF); // yellow
        TQV_21Layer& pocket = doc.Layers().GetLayer(2);
        pocket.SetName("Pocket");
        pocket.SetPenColor(0x00FFFF00); // cyan
        TQV_21Layer& text = doc.Layers().GetLayer(3);
        text.SetName("Text");
        text.SetPenColor(0x00FFFFFF); // white
        AddPlate(doc);
        AddHoles(doc, 1);
        AddPocket(doc, 2);
        AddTitle(doc, CADSysFindFontByIndex(0), 3);
        doc.SaveToFile(argv[2]);
        std::printf("%s: %d objects\n", argv[2], doc.ObjectsCount());
        if (argc == 4) {
            const std::string folder = argv[3];
            WriteMillingSample(doc, folder + "/milling.kvx");
            WriteLaserSample(folder + "/laser.kvx");
            WriteLatheSample(folder + "/lathe.kvx");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kb_make_sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
