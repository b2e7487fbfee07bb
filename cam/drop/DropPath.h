#pragma once
// The path along which the 3D finishing drops its cutter: a list of spans,
// each a parametric piece t = 0..1. Only straight spans exist so far.

#include "core/geometry/Points.h"

#include <memory>
#include <vector>

// A straight piece in single precision, both ends at one height at first.
class TLine {
public:
    TLine(const TVector2D& p1, float z, const TVector2D& p2);

    // p1 + t (p2 - p1) in 3D.
    void PointAt(double t, float (&p)[3]) const;
    // The same point's X and Y in double.
    TVector2D PointAt2D(double t) const;

    float P1[3];
    float P2[3];
};

// The spans are nested: the machining curves have a TSpan of their own
// (segment measures), which this one must not collide with.
class TDropPath {
public:
    class TSpan {
    public:
        virtual ~TSpan() = default;
        virtual bool IsLine() const { return false; }
        // The point at t; false when the span has no points.
        virtual bool PointAt(double, float (&)[3]) const { return false; }
    };

    class TLineSpan : public TSpan {
    public:
        explicit TLineSpan(const TLine& line) : Line(line) {}
        bool IsLine() const override { return true; }
        bool PointAt(double t, float (&p)[3]) const override
        {
            Line.PointAt(t, p);
            return true;
        }
        TLine Line;
    };

    // Wraps the line in a span.
    void AddLine(const TLine& line);
    // Every span's line at height z, both ends.
    void SetZ(float z);
    size_t SpanCount() const { return m_Spans.size(); }
    const TSpan& Span(size_t index) const { return *m_Spans[index]; }
    std::vector<std::unique_ptr<TSpan>>& Spans() { return m_Spans; }

private:
    std::vector<std::unique_ptr<TSpan>> m_Spans;
};

// The most raster lines one path may hold; a finer step over a larger area
// is refused rather than filling the memory.
inline constexpr double kMaxRasterLines = 1e6;
