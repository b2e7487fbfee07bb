#include "cam/drop/DropPath.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TLine::TLine(const TVector2D& p1, float z, const TVector2D& p2)
    : P1{static_cast<float>(p1.X), static_cast<float>(p1.Y), z},
      P2{static_cast<float>(p2.X), static_cast<float>(p2.Y), z}
{
}

void TLine::PointAt(double t, float (&p)[3]) const
{
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<float>(P1[i] + t * (static_cast<double>(P2[i]) - P1[i]));
}

TVector2D TLine::PointAt2D(double t) const
{
    return {P1[0] + t * (static_cast<double>(P2[0]) - P1[0]), P1[1] + t * (static_cast<double>(P2[1]) - P1[1])};
}

void TDropPath::AddLine(const TLine& line)
{
    m_Spans.push_back(std::make_unique<TLineSpan>(line));
}

void TDropPath::SetZ(float z)
{
    for (auto& span : m_Spans) {
        if (auto* line = dynamic_cast<TDropPath::TLineSpan*>(span.get())) {
            line->Line.P1[2] = z;
            line->Line.P2[2] = z;
        }
    }
}
