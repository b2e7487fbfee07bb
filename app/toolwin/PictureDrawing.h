#pragma once
// The primitives of the pages' explanatory drawings: a picture is a short
// list of items (stock, tool, planes, dimensions, raster lines, a lathe
// part) on a 200 x 120 canvas, y pointing down. One style for all: white
// background, grey stock, dark tool, blue toolpaths, red dimensions with a
// short label. The caller scales the canvas to the picture's size.

#include <QPoint>

#include <vector>

class QPainter;

enum class EPictureItem {
    Stock,     // grey block: A, B top left, C, D bottom right
    Cut,       // material taken away (white, grey edges): as Stock
    Outline,   // dashed box (the limits of the stock): as Stock
    Tool,      // flat end mill: centre X A, tip Y B, width C
    Ball,      // ball end mill: as Tool
    Circle,    // a tool seen from above: centre A, B, radius C
    Head,      // laser head: centre X A, nozzle Y B, beam down to Y C
    Insert,    // lathe insert with its holder: tip A, B
    Chuck,     // lathe chuck and spindle axis: axis Y A, chuck right edge X B
    Surface,   // wavy 3D surface over a block: X A to C, mean Y B, bottom Y D
    Plane,     // dashed level across the picture at Y A, labelled
    SurfaceLine, // the surface of the same A, B, C raised by D: dashed blue
    Samples,   // blue points on the surface of the same A, B, C every Spacing
    DimV,      // red vertical dimension at X A from Y B to Y C, labelled (left of it when D)
    DimH,      // red horizontal dimension at Y A from X B to X C, labelled (left of it when D)
    Mark,      // red leader arrow pointing at A, B from A + C, B + D (default 24, -18), labelled
    Text,      // a red label at A, B
    Angle,     // red angle at A, B from the X axis to C degrees, labelled
    Hatch,     // toolpath lines in box A, B, C, D: see EHatch, spacing Spacing
    Path,      // dashed blue toolpath through Points
    Part,      // lathe part profile (darker grey) through Points, closed on the axis
    Dots,      // blue toolpath points at Points
};

enum class EHatch { ZigZag, OneWay, Vertical, Dots, Joined, Pixels, Angled, PassesH, PassesV };

struct TPictureItem {
    EPictureItem Kind;
    int A = 0, B = 0, C = 0, D = 0;
    const char* Label = nullptr;
    EHatch Hatch = EHatch::ZigZag;
    int Spacing = 8;
    std::vector<QPoint> Points = {};
};

constexpr int PictureCanvasWidth = 200;
constexpr int PictureCanvasHeight = 120;

// Draws the items in order on a white canvas of the size above.
void DrawPictureItems(QPainter& painter, const std::vector<TPictureItem>& items);
