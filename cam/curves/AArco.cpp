#include "cam/curves/AArco.h"

#include "core/geometry/Geometry.h"

#include <cmath>

double AreaTolerance = 2.5e-3;

double TALinea::DistanceTo(const TVector2D& p) const
{
    const double len = std::hypot(Direction.X, Direction.Y);
    const double dx = p.X - Origin.X;
    const double dy = p.Y - Origin.Y;
    if (len == 0.0) {
        return std::hypot(dx, dy);
    }
    // |cross(unit direction, P - origin)|: the component of P - origin
    // perpendicular to the line.
    return std::fabs((Direction.X * dy - Direction.Y * dx) / len);
}

TAArco TAArco::CreateEmpty()
{
    return TAArco{};
}

TAArco TAArco::Create(const TVector2D& start, const TVector2D& end, const TVector2D& centre, bool counterClockwise,
                      int32_t attribute)
{
    TAArco a;
    a.StartPoint = start;
    a.EndPoint = end;
    a.Centre = centre;
    a.CounterClockwise = counterClockwise ? 1 : 0;
    a.Attribute = attribute;
    return a;
}

TAArco TAArco::CreateFrom3D(const TVector3D& start, const TVector3D& end, const TVector3D& centre,
                            bool counterClockwise, int32_t attribute)
{
    return Create({start.X, start.Y}, {end.X, end.Y}, {centre.X, centre.Y}, counterClockwise, attribute);
}

TVector2D TAArco::PointAt(double t) const
{
    if (std::fabs(t) < 1e-14) {
        return StartPoint;
    }
    if (std::fabs(t - 1.0) < 1e-14) {
        return EndPoint;
    }
    const double angle = t * SweepAngle() * (CounterClockwise ? 1.0 : -1.0);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double vx = StartPoint.X - Centre.X;
    const double vy = StartPoint.Y - Centre.Y;
    return {Centre.X + vx * c - vy * s, Centre.Y + vx * s + vy * c};
}

double TAArco::SweepAngle() const
{
    return SweepBetween(std::atan2(StartPoint.Y - Centre.Y, StartPoint.X - Centre.X),
                        std::atan2(EndPoint.Y - Centre.Y, EndPoint.X - Centre.X), CounterClockwise != 0);
}

double TAArco::SweepBetween(double a1, double a2, bool counterClockwise)
{
    if (counterClockwise) {
        if (a2 < a1) {
            a2 += kTwoPi;
        }
    } else if (a2 > a1) {
        a1 += kTwoPi;
    }
    return std::fabs(a2 - a1);
}

void TAArco::ComputeAngles()
{
    StartAngle = std::atan2(StartPoint.Y - Centre.Y, StartPoint.X - Centre.X);
    EndAngle = std::atan2(EndPoint.Y - Centre.Y, EndPoint.X - Centre.X);
    if (CounterClockwise && StartAngle > EndAngle) {
        EndAngle += kTwoPi;
    } else if (!CounterClockwise && StartAngle < EndAngle) {
        StartAngle += kTwoPi;
    }
}

void TAArco::SetDirectionThrough(const TVector2D& p)
{
    CounterClockwise = DirectionThrough(std::atan2(StartPoint.Y - Centre.Y, StartPoint.X - Centre.X),
                                        std::atan2(EndPoint.Y - Centre.Y, EndPoint.X - Centre.X),
                                        std::atan2(p.Y - Centre.Y, p.X - Centre.X));
}

uint8_t TAArco::DirectionThrough(double s, double e, double a)
{
    if (e < s) {
        e += kTwoPi;
    }
    if (s - 1e-13 > a) {
        a += kTwoPi;
    }
    return (e + 1e-13 >= a) ? 1 : 0;
}

bool TAArco::IsNearlyStraight() const
{
    const TALinea chord(StartPoint, SubtractVectors2D(EndPoint, StartPoint));
    return chord.DistanceTo(PointAt(0.5)) <= AreaTolerance || Radius() > MaxRadius;
}

double TAArco::Radius() const
{
    return DistanceVector2D(StartPoint, Centre);
}

double TAArco::Length() const
{
    return SweepAngle() * Radius();
}
