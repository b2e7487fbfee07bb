#include "core/geometry/Offset2D.h"

#include "core/entities/Arco2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"

void OffsetSegment(const TVector2D& p1, const TVector2D& p2, double distance, TVector2D& q1, TVector2D& q2)
{
    const double length = DistanceVector2D(p1, p2);
    if (!(length > 0.0)) {
        // Dividing by the length would turn both ends into not-a-number
        // coordinates, which a line entity must never carry.
        q1 = p1;
        q2 = p2;
        return;
    }
    const TVector2D n{-(p2.Y - p1.Y) / length, (p2.X - p1.X) / length};
    q1 = AddVectors2D(p1, ScaleVector2D(n, distance));
    q2 = AddVectors2D(p2, ScaleVector2D(n, distance));
}

std::unique_ptr<TLine2D> OffsetLine2D(const TLine2D& line, double distance)
{
    const TPointsSet2D& points = line.Points();
    // A damaged record may leave a line short of points: the missing ends
    // stay at the origin rather than reading past the set.
    const TVector2D p1 = points.Count() > 0 ? ObjectPointToDrawing(points.Get(0), line) : TVector2D{};
    const TVector2D p2 = points.Count() > 1 ? ObjectPointToDrawing(points.Get(1), line) : p1;
    TVector2D q1, q2;
    OffsetSegment(p1, p2, distance, q1, q2);
    return std::make_unique<TLine2D>(-1, VectorToPoint2D(q1), VectorToPoint2D(q2));
}

std::unique_ptr<TArco2D> OffsetArc2D(const TArco2D& arc, double distance)
{
    const TArcGeometry2D g = arc.GetArcGeometry();
    return std::make_unique<TArco2D>(-1, g.Centre, Point2D(g.Centre.X + g.Radius + distance, g.Centre.Y),
                                     g.StartAngle, g.EndAngle);
}
