#include "cad/scene/SceneGrid.h"

#include <cmath>

namespace {

// One polyline of a pass with its own alternation: lines go minimum first,
// then maximum first, and so on.
struct TPassLines {
    TSceneLines Lines;
    bool Forward = true;

    void Add(double at, double crossMin, double crossMax, bool vertical)
    {
        const double from = Forward ? crossMin : crossMax;
        const double to = Forward ? crossMax : crossMin;
        if (vertical) {
            Lines.Nodes.push_back(TVector3D{at, from, 0.0});
            Lines.Nodes.push_back(TVector3D{at, to, 0.0});
        } else {
            Lines.Nodes.push_back(TVector3D{from, at, 0.0});
            Lines.Nodes.push_back(TVector3D{to, at, 0.0});
        }
        Forward = !Forward;
    }
};

TSceneLines EmptyLines(const TSceneColor& color)
{
    TSceneLines lines;
    lines.Color = color;
    lines.LineWidth = 1.0f;
    lines.NodesVisible = false;
    return lines;
}

// One pass: lines across the axis from min to max, each spanning
// crossMin..crossMax; sub-lines into subLines when it is given.
void BuildPass(double min, double max, double step, int32_t sub, double crossMin, double crossMax, bool vertical,
               TPassLines& mainLines, TPassLines* subLines)
{
    const double subStep = subLines ? step / sub : 0.0;
    int32_t drawn = 0;
    double at = FirstGridLine(min, step);
    while (at <= max && drawn < GridPassLineLimit) {
        mainLines.Add(at, crossMin, crossMax, vertical);
        ++drawn;
        if (subLines) {
            double s = at;
            for (int32_t k = 1; k < sub && drawn < GridPassLineLimit; ++k) {
                const double next = s + subStep;
                if (next >= max || !(next > s))
                    break;
                s = next;
                subLines->Add(s, crossMin, crossMax, vertical);
                ++drawn;
            }
        }
        const double next = at + step;
        if (!(next > at))
            break;
        at = next;
    }
}

} // namespace

TGridRange GridRangeForOrigin(double size, int32_t origin, bool alongX, const TGridRange& current)
{
    // Origin positions whose rectangle lies on the negative side of the axis.
    const bool negative = alongX ? (origin == 2 || origin == 3) : (origin == 1 || origin == 2);
    switch (origin) {
    case 0:
    case 1:
    case 2:
    case 3:
        return negative ? TGridRange{-size, 0.0} : TGridRange{0.0, size};
    case 4:
        return TGridRange{-size / 2.0, size / 2.0};
    default:
        return current;
    }
}

double FirstGridLine(double min, double step)
{
    const double ratio = min / step;
    const double frac = ratio - std::trunc(ratio);
    const double sign = min > 0.0 ? 1.0 : (min < 0.0 ? -1.0 : 0.0);
    return min + sign * (frac * step);
}

double GridLineEstimate(double width, double height, double stepX, double stepY, int32_t subX, int32_t subY)
{
    float nX = static_cast<float>(width / stepX);
    if (subX > 0)
        nX = static_cast<float>(static_cast<double>(nX) * subX);
    float nY = static_cast<float>(height / stepY);
    if (subY > 0)
        nY = static_cast<float>(static_cast<double>(nY) * subY);
    return static_cast<double>(nX) + static_cast<double>(nY);
}

std::vector<TSceneLines> BuildGridLines(const TGridSpec& spec)
{
    const bool withSub = spec.SubX > 0 && spec.SubY > 0;
    TSceneColor subColor = spec.Color;
    subColor.A = spec.Color.A / 2.0f;
    const double minX = spec.Rect.FirstEdge.X;
    const double maxX = spec.Rect.SecondEdge.X;
    const double minY = spec.Rect.FirstEdge.Y;
    const double maxY = spec.Rect.SecondEdge.Y;

    std::vector<TSceneLines> result;
    for (const bool vertical : {true, false}) {
        TPassLines mainLines{EmptyLines(spec.Color)};
        TPassLines subLines{EmptyLines(subColor)};
        if (vertical)
            BuildPass(minX, maxX, spec.StepX, spec.SubX, minY, maxY, true, mainLines, withSub ? &subLines : nullptr);
        else
            BuildPass(minY, maxY, spec.StepY, spec.SubY, minX, maxX, false, mainLines, withSub ? &subLines : nullptr);
        result.push_back(std::move(mainLines.Lines));
        if (withSub)
            result.push_back(std::move(subLines.Lines));
    }
    return result;
}
