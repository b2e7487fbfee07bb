#include "io/text/TTFConv.h"

#include <algorithm>
#include <cmath>

namespace {

bool Usable(const TVector2D& v)
{
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::fabs(v.X) <= kMaxOutlineCoordinate &&
           std::fabs(v.Y) <= kMaxOutlineCoordinate;
}

bool Usable(const TGlyphOutline& outline)
{
    for (const TOutlineContour& contour : outline.Contours) {
        if (!Usable(contour.Start))
            return false;
        for (const TOutlineRecord& record : contour.Records)
            if (!std::all_of(record.Points.begin(), record.Points.end(), [](const TVector2D& v) { return Usable(v); }))
                return false;
    }
    return true;
}

// Coordinates are bounded by kMaxOutlineCoordinate, so the cast is safe.
int32_t RoundToInt(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

TVector2D Midpoint(const TVector2D& a, const TVector2D& b)
{
    return MakeVector2D((a.X + b.X) / 2, (a.Y + b.Y) / 2);
}

// Appends the strokes of one contour.
class TContourWriter {
public:
    TContourWriter(TStrokeCollection& strokes, int32_t contour) : m_Strokes(strokes), m_Contour(contour) {}

    void AddStroke(const TVector2D& p, const TVector2D& q)
    {
        if (p.X == q.X && p.Y == q.Y)
            return;
        m_Strokes.Add(TGlyphStroke{m_Contour, RoundToInt(p.X), RoundToInt(p.Y), RoundToInt(q.X), RoundToInt(q.Y)});
    }

    // Walks t = h, 2h, ... with h = 1/steps, the last t set to exactly 1, and
    // adds a stroke from the previous point to curve(t) each time; at t = 1
    // the point is the segment's end itself, so the next segment (or the
    // closing stroke) starts exactly there. Returns that end.
    template <class TCurve>
    TVector2D Flatten(const TVector2D& start, const TVector2D& end, int32_t steps, TCurve curve)
    {
        const double h = 1.0 / steps;
        TVector2D previous = start;
        for (double t = h; t <= 1; t += h) {
            if (t > 1 - h / 2)
                t = 1;
            const TVector2D point = t == 1 ? end : curve(t);
            AddStroke(previous, point);
            previous = point;
        }
        return previous;
    }

    TVector2D Quadratic(const TVector2D& a, const TVector2D& q, const TVector2D& c, int32_t steps)
    {
        return Flatten(a, c, steps, [&](double t) {
            return MakeVector2D(a.X + 2 * t * (q.X - a.X) + t * t * (a.X - 2 * q.X + c.X),
                                a.Y + 2 * t * (q.Y - a.Y) + t * t * (a.Y - 2 * q.Y + c.Y));
        });
    }

    TVector2D Cubic(const TVector2D& a, const TVector2D& c1, const TVector2D& c2, const TVector2D& d, int32_t steps)
    {
        return Flatten(a, d, steps, [&](double t) {
            const double u = 1 - t;
            const double k0 = u * u * u, k1 = 3 * u * u * t, k2 = 3 * u * t * t, k3 = t * t * t;
            return MakeVector2D(k0 * a.X + k1 * c1.X + k2 * c2.X + k3 * d.X, k0 * a.Y + k1 * c1.Y + k2 * c2.Y + k3 * d.Y);
        });
    }

private:
    TStrokeCollection& m_Strokes;
    int32_t m_Contour;
};

} // namespace

// --------------------------------------------------------- TStrokeCollection

bool TStrokeCollection::GetStroke(int32_t index, TGlyphStroke& stroke) const
{
    if (index < 0 || index >= Count())
        return false;
    stroke = m_Strokes[static_cast<size_t>(index)];
    return true;
}

TIntRect TStrokeCollection::GetBounds() const
{
    TIntRect r;
    if (m_Strokes.empty())
        return r;
    r.Left = r.Right = m_Strokes.front().X1;
    r.Top = r.Bottom = m_Strokes.front().Y1;
    for (const TGlyphStroke& s : m_Strokes) {
        r.Left = std::min({r.Left, s.X1, s.X2});
        r.Right = std::max({r.Right, s.X1, s.X2});
        r.Top = std::min({r.Top, s.Y1, s.Y2});
        r.Bottom = std::max({r.Bottom, s.Y1, s.Y2});
    }
    return r;
}

// ------------------------------------------------------------ outline walk

std::unique_ptr<TStrokeCollection> OutlineToStrokes(const TGlyphOutline& outline, int32_t curveSteps)
{
    if (curveSteps < TTTFConv::kMinCurveSteps || curveSteps > TTTFConv::kMaxCurveSteps || !Usable(outline))
        return nullptr;
    auto strokes = std::make_unique<TStrokeCollection>();
    int32_t contourIndex = 0;
    for (const TOutlineContour& contour : outline.Contours) {
        TContourWriter writer(*strokes, contourIndex++);
        TVector2D p = contour.Start;
        for (const TOutlineRecord& record : contour.Records) {
            const std::vector<TVector2D>& q = record.Points;
            const size_t n = q.size();
            switch (record.Kind) {
            case TOutlineRecordKind::Line:
                for (const TVector2D& point : q) {
                    writer.AddStroke(p, point);
                    p = point;
                }
                break;
            case TOutlineRecordKind::QSpline:
                // Between two control points the curve passes their midpoint.
                for (size_t i = 0; i + 1 < n; ++i) {
                    const TVector2D end = i + 2 < n ? Midpoint(q[i], q[i + 1]) : q[n - 1];
                    p = writer.Quadratic(p, q[i], end, curveSteps);
                }
                break;
            case TOutlineRecordKind::CSpline:
                for (size_t i = 0; i + 2 < n; i += 3)
                    p = writer.Cubic(p, q[i], q[i + 1], q[i + 2], curveSteps);
                break;
            }
        }
        writer.AddStroke(p, contour.Start);
    }
    return strokes;
}

// ------------------------------------------------------------------ TTTFConv

TTTFConv::TTTFConv() = default;
TTTFConv::~TTTFConv() = default;

void TTTFConv::AssignFont(const TFontRequest& font)
{
    m_Font = font;
    m_Source.reset();
}

void TTTFConv::SetCurveSteps(int32_t steps)
{
    if (steps >= kMinCurveSteps && steps <= kMaxCurveSteps)
        m_CurveSteps = steps;
}

TGlyphOutlineSource& TTTFConv::Source()
{
    if (!m_Source)
        m_Source = std::make_unique<TGlyphOutlineSource>(m_Font);
    return *m_Source;
}

std::unique_ptr<TStrokeCollection> TTTFConv::GetGlyphStrokes(uint32_t code)
{
    const char32_t character = m_Wide ? static_cast<char32_t>(code) : AnsiToUnicode(static_cast<uint8_t>(code & 0xFF));
    const std::optional<TGlyphOutline> outline = Source().GetOutline(character);
    if (!outline)
        return nullptr;
    return OutlineToStrokes(*outline, m_CurveSteps);
}
