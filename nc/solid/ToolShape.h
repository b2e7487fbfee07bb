#pragma once
// The underside of a milling tool as the stock-removal model cuts with it:
// the height of the tool's underside above its programmed point at a
// horizontal distance d from its axis, and the lowest height a straight move
// of the tool reaches over one point of the stock.
//
// The programmed point is the lowest point of every tool: the centre of the
// flat bottom (flat, bull nose), the tip (ball), the centre of the flat tip
// (cone), the point (drill). This is where the drop-cutter places the tool
// and where the tool solid shows it.

#include <cmath>
#include <cstdint>
#include <optional>

// Tool types in the order of the mill record's shape list.
enum class ECutToolType : uint32_t { Flat = 0, Toro = 1, Ball = 2, Cone = 3, Drill = 4 };

struct TCutTool {
    ECutToolType Type = ECutToolType::Flat;
    double R = 0;  // radius
    double Rc = 0; // corner radius (bull nose)
    double r = 0;  // tip radius (cone)
    double Hc = 0; // cone height: tan(90 deg - angle) x (R - r)

    // From the mill record's values: type, diameter, corner radius, tip
    // diameter and the cone's angle in degrees. A type outside 0..4 keeps
    // its number and cuts nothing.
    static TCutTool FromRecord(int32_t type, double diameter, double cornerRadius, double tipDiameter,
                               double angleDegrees);
    bool Known() const { return static_cast<uint32_t>(Type) <= 4; }
};

// Height of the underside above the programmed point at distance d; none
// beyond the radius. k is the drill's point height at the rim.
std::optional<double> ToolProfile(const TCutTool& tool, double d, double k);

// A straight move of the programmed point from A to B (stock coordinates).
struct TToolMove {
    double AX, AY, AZ;
    double BX, BY, BZ;
};

// The squared X-Y distance from a point to the move's segment (to its start
// when it has no length). Every cut decides with it, in this one way, which
// points the tool reaches, so that two moves along the same line agree on
// the cells at the rim.
class TMoveReach {
public:
    explicit TMoveReach(const TToolMove& m) : m_AX(m.AX), m_AY(m.AY)
    {
        const double dx = m.BX - m.AX, dy = m.BY - m.AY;
        const double travel = dx * dx + dy * dy;
        if (travel > 0) {
            m_Length = std::sqrt(travel);
            m_UX = dx / m_Length, m_UY = dy / m_Length;
        }
    }
    // For one point or, with T a vector of doubles, for points of one X
    // in one step, by the same operations: the squares of the point's
    // distance from the move's line and of how far its offset along the
    // move lies before the start or beyond the end.
    template <class T = double>
    T SquaredDistance(double x, T y) const
    {
        T along, across;
        Offsets(x, y, along, across);
        return SquaredDistanceAt(along, across);
    }
    // The point's offset along the move from its start and its signed
    // distance from the move's line (to the left going forward).
    template <class T>
    void Offsets(double x, T y, T& along, T& across) const
    {
        const double px = x - m_AX;
        const T py = y - m_AY;
        along = px * m_UX + py * m_UY, across = py * m_UX - px * m_UY;
    }
    template <class T>
    T SquaredDistanceAt(T along, T across) const
    {
        const T zero{};
        const T before = zero - along, beyond = along - m_Length;
        T outside = before < beyond ? beyond : before;
        outside = outside < zero ? zero : outside;
        return across * across + outside * outside;
    }

private:
    double m_AX, m_AY, m_UX = 1, m_UY = 0, m_Length = 0; // a plunge: along X, no length
};

// The lowest height the tool's underside reaches over the point (x, y)
// during the move, none when the tool never comes within its radius
// (TMoveReach). Exact
// for the flat tool (the lower end of the part of the move within reach);
// for the other shapes the height along the move is convex and its minimum
// is searched to well below a micrometre.
std::optional<double> LowestOverPoint(const TCutTool& tool, const TToolMove& move, double x, double y, double k);
