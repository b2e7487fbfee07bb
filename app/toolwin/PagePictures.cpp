#include "app/toolwin/PagePictures.h"

#include "app/toolwin/PageWidgets.h"
#include "app/toolwin/PictureDrawing.h"
#include "app/toolwin/ToolPageWidgets.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>

#include <array>
#include <initializer_list>

namespace {

using K = EPictureItem;
using H = EHatch;
using TItems = std::vector<TPictureItem>;

TItems Join(std::initializer_list<TItems> parts)
{
    TItems all;
    for (const TItems& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TPictureItem Hatch(H kind, int left, int top, int right, int bottom, int spacing)
{
    TPictureItem item{K::Hatch, left, top, right, bottom};
    item.Hatch = kind;
    item.Spacing = spacing;
    return item;
}

TPictureItem Path(std::vector<QPoint> points, K kind = K::Path)
{
    TPictureItem item{kind};
    item.Points = std::move(points);
    return item;
}

TPictureItem Samples(int left, int mean, int right, int spacing)
{
    TPictureItem item{K::Samples, left, mean, right};
    item.Spacing = spacing;
    return item;
}

// The milling section: stock, a slot cut to depth and the tool in it.
const TItems MillStock = {{K::Stock, 20, 62, 180, 108}};
const TItems MillCut = {{K::Cut, 114, 62, 146, 90}};
const TItems MillSlot = Join({MillStock, MillCut, {{K::Tool, 130, 90, 28}}});
// A wall seen side on with the tool beside it.
const TItems Wall = {{K::Stock, 20, 30, 96, 108}};
// The 3D surface in its stock box.
const TItems Surface3D = {{K::Outline, 20, 48, 180, 100}, {K::Surface, 20, 72, 180, 100}};
// A laser plate seen from above, and side on.
const TItems Plate = {{K::Stock, 30, 15, 170, 105}};
const TItems PlateSide = {{K::Stock, 20, 92, 180, 104}};
// The lathe: chuck, bar and the finished part's profile over the axis.
const TItems LatheBar = {{K::Chuck, 100, 18}, {K::Stock, 18, 48, 178, 100}};
const TItems LathePart = {Path({{18, 100}, {18, 62}, {90, 62}, {90, 76}, {140, 76}, {150, 86}, {170, 86}, {170, 100}},
                               K::Part)};
const TItems Lathe = Join({LatheBar, LathePart});
// The finishing pass along the profile, without and with the face.
const std::vector<QPoint> FinishPass = {{184, 83}, {152, 83}, {142, 73}, {87, 73}, {87, 59}, {22, 59}};
const std::vector<QPoint> FacePass = {{173, 100}, {173, 83}, {152, 83}, {142, 73}, {87, 73}, {87, 59}, {22, 59}};

std::vector<QPoint> Row(int y, int left, int right, int step)
{
    std::vector<QPoint> points;
    for (int x = left; x <= right; x += step)
        points.emplace_back(x, y);
    return points;
}

const std::array<TItems, ToolWinPictureCount>& Pictures()
{
    static const std::array<TItems, ToolWinPictureCount> pictures = {
        // 0 feed plane, 1 top of part, 2 depth, 3 depth increment.
        Join({MillStock, {{K::Tool, 130, 36, 28}, {K::Plane, 36}, {K::DimV, 40, 62, 36, 0, "feed plane"}}}),
        Join({MillSlot, {{K::Plane, 62}, {K::Mark, 28, 62, 0, 0, "top of part"}}}),
        Join({MillSlot, {{K::DimV, 160, 62, 90, 0, "depth"}}}),
        Join({MillStock, MillCut,
              {Hatch(H::PassesH, 114, 72, 146, 90, 9), {K::Tool, 130, 81, 28}, {K::DimV, 160, 62, 72, 0, "step"}}}),
        // 4 stock to leave, 5 cut counts, 6 cut sizes.
        Join({Wall, {{K::Outline, 96, 30, 106, 108}, {K::Tool, 128, 100, 44}, {K::DimH, 20, 96, 106, 1, "stock"}}}),
        Join({Wall,
              {Hatch(H::PassesV, 104, 30, 124, 108, 10), {K::Tool, 146, 100, 44}, {K::Text, 98, 22, 0, 0, "1"}, {K::Text, 108, 22, 0, 0, "2"},
               {K::Text, 118, 22, 0, 0, "3"}}}),
        Join({Wall, {Hatch(H::PassesV, 104, 30, 124, 108, 10), {K::Tool, 146, 100, 44}, {K::DimH, 20, 104, 114, 1, "size"}}}),
        // 7 the four Z values together.
        Join({MillStock, MillCut,
              {Hatch(H::PassesH, 114, 72, 146, 90, 9), {K::Tool, 130, 90, 28}, {K::Plane, 36},
               {K::DimV, 40, 62, 36, 0, "feed"}, {K::Mark, 66, 62, 0, 0, "top"}, {K::DimV, 100, 62, 72, 1, "step"},
               {K::DimV, 160, 62, 90, 0, "depth"}}}),
        // 8 step-over, seen from above.
        {{K::Stock, 20, 10, 180, 112},
         Hatch(H::PassesV, 80, 14, 128, 108, 24),
         {K::Circle, 80, 56, 20},
         {K::Circle, 104, 56, 20},
         {K::DimH, 100, 80, 104, 0, "step-over %"}},
        // 9 full and 10 partial holding tab, along the cut.
        {{K::Outline, 20, 50, 180, 95},
         {K::Stock, 86, 50, 114, 95},
         Path({{20, 92}, {80, 92}, {80, 44}, {120, 44}, {120, 92}, {180, 92}}),
         {K::DimH, 30, 86, 114, 0, "width"}},
        {{K::Outline, 20, 50, 180, 95},
         {K::Stock, 86, 80, 114, 95},
         Path({{20, 92}, {80, 92}, {80, 76}, {120, 76}, {120, 92}, {180, 92}}),
         {K::DimH, 66, 86, 114, 0, "width"},
         {K::DimV, 128, 95, 80, 0, "thickness"}},
        // 11 feed plane, 12 top, 13 bottom of the 3D stock.
        Join({Surface3D, {{K::Ball, 110, 28, 20}, {K::Plane, 28}, {K::DimV, 40, 48, 28, 0, "feed plane"}}}),
        Join({Surface3D, {{K::Ball, 110, 62, 20}, {K::Mark, 40, 48, 0, 0, "top"}}}),
        Join({Surface3D, {{K::Ball, 110, 62, 20}, {K::Mark, 40, 100, 24, -14, "bottom"}}}),
        // 14 margin X, 15 margin Y, seen from above.
        {{K::Stock, 50, 30, 150, 90}, {K::Outline, 30, 30, 170, 90}, {K::DimH, 104, 150, 170, 0, "margin X"}},
        {{K::Stock, 50, 35, 150, 85}, {K::Outline, 50, 15, 150, 105}, {K::DimV, 100, 85, 105, 0, "margin Y"}},
        // 16 step-over, 17 angle, 18 resolution, 19 stock to leave of the 3D pages.
        {{K::Surface, 20, 84, 180, 112}, {K::Circle, 80, 72, 10}, {K::Ball, 104, 84, 20},
         {K::DimH, 40, 80, 104, 1, "step-over"}},
        {{K::Stock, 30, 20, 170, 100}, Hatch(H::Angled, 30, 20, 170, 100, 10), {K::Angle, 40, 92, 45, 0, "angle"}},
        {{K::Surface, 20, 70, 180, 108}, Samples(20, 70, 180, 12), {K::DimH, 44, 92, 104, 0, "resolution"}},
        Join({Surface3D, {{K::SurfaceLine, 20, 72, 180, 10}, {K::DimV, 60, 60, 50, 0, "stock"}}}),
        // 20 zig-zag raster, 21 one-way raster, 22 laser plane, 23 vector angle,
        // 24 step over, 25 step along, 26 vertical raster, 27 dots, 28 joined,
        // 29 raster method, 30 vector method.
        Join({Plate, {Hatch(H::ZigZag, 40, 25, 160, 95, 10)}}),
        Join({Plate, {Hatch(H::OneWay, 40, 25, 160, 95, 10)}}),
        Join({PlateSide, {{K::Head, 100, 50, 92}, {K::Plane, 50}, {K::DimV, 40, 92, 50, 0, "laser Z"}}}),
        Join({Plate, {Hatch(H::Angled, 40, 25, 160, 95, 10), {K::Angle, 40, 95, 45, 0, "angle"}}}),
        Join({Plate, {Hatch(H::PassesH, 40, 30, 160, 90, 12), {K::DimV, 150, 42, 54, 1, "step over"}}}),
        Join({Plate, {Path(Row(60, 40, 160, 12), K::Dots), {K::DimH, 50, 52, 64, 0, "step along"}}}),
        Join({Plate, {Hatch(H::Vertical, 40, 25, 160, 95, 10)}}),
        Join({Plate, {Hatch(H::Dots, 40, 25, 160, 95, 6)}}),
        Join({Plate, {Hatch(H::Joined, 40, 25, 160, 95, 6)}}),
        Join({Plate, {Hatch(H::Pixels, 44, 25, 156, 95, 7)}}),
        Join({Plate, {Hatch(H::Angled, 60, 25, 140, 95, 6)}}),
        // 31 lathe stock, 32 finish dimension, 33 entry, 34 exit, 35 home,
        // 36 roughing step-over, 37 finishing without face, 38 with face.
        Join({Lathe, {{K::DimV, 60, 48, 62, 0, "stock"}}}),
        Join({Lathe, {Path({{184, 76}, {148, 76}, {138, 66}, {80, 66}, {80, 52}, {22, 52}}),
                      {K::DimV, 115, 76, 66, 0, "finish"}}}),
        Join({Lathe, {{K::Insert, 178, 36}, Path({{178, 36}, {178, 83}}), {K::Mark, 178, 36, -30, -6, "entry"}}}),
        Join({Lathe, {Path({{22, 59}, {40, 34}}), {K::Insert, 40, 34}, {K::Mark, 40, 34, 40, -6, "exit"}}}),
        Join({Lathe, {{K::Insert, 172, 36}, {K::Mark, 172, 36, -30, -4, "home"}}}),
        Join({LatheBar, {Hatch(H::PassesH, 30, 52, 178, 72, 10)}, LathePart, {{K::DimV, 110, 62, 72, 0, "step"}}}),
        Join({Lathe, {Path(FinishPass)}}),
        Join({Lathe, {Path(FacePass), {K::Mark, 173, 92, -40, 10, "face"}}}),
        // 39 feed plane of the laser cut and pocket, 40 retract plane.
        Join({PlateSide, {{K::Head, 100, 30, 30}, {K::Plane, 30}, {K::DimV, 40, 92, 30, 0, "feed plane"}}}),
        Join({MillStock, {{K::Tool, 130, 20, 28}, {K::Plane, 20}, {K::Plane, 40}, {K::DimV, 40, 62, 20, 0, "retract"}}}),
    };
    return pictures;
}

QPixmap DrawPicture(int index)
{
    QPixmap pixmap(ToolWinPictureWidth, ToolWinPictureHeight);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.save();
    painter.scale(double(ToolWinPictureWidth) / PictureCanvasWidth, double(ToolWinPictureHeight) / PictureCanvasHeight);
    DrawPictureItems(painter, Pictures()[index]);
    painter.restore();
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(0, 0, ToolWinPictureWidth - 1, ToolWinPictureHeight - 1);
    return pixmap;
}

} // namespace

QPixmap ToolWinPicture(int index)
{
    if (index < 0 || index >= ToolWinPictureCount)
        return QPixmap();
    // Pixmaps must go while the application stands: the cache is freed
    // with it and made again by a later one.
    static std::array<QPixmap, ToolWinPictureCount>* cache = nullptr;
    if (!cache) {
        cache = new std::array<QPixmap, ToolWinPictureCount>();
        qAddPostRoutine([] {
            delete cache;
            cache = nullptr;
        });
    }
    QPixmap& picture = (*cache)[index];
    if (picture.isNull())
        picture = DrawPicture(index);
    return picture;
}

QLabel* PictureLabel(QWidget* parent, const char* name, int index)
{
    auto* picture = toolwin::Make<QLabel>(parent, name);
    picture->setProperty("imageIndex", index);
    picture->setPixmap(ToolWinPicture(index));
    return picture;
}

void SetPagePicture(TWidgetToolPage& page, const char* image, int index)
{
    page.SetImageIndex(image, index);
    if (auto* label = qobject_cast<QLabel*>(page.Find(image)))
        label->setPixmap(ToolWinPicture(index));
}
