#include "core/geometry/Vertice.h"

#include "core/file/Stream.h"

namespace {
constexpr double kHalfPi = 1.5707963267948966;

TVector2D ArcTangent(int32_t kind, const TVector2D& p, const TVector2D& centre)
{
    const TVector2D radius{p.X - centre.X, p.Y - centre.Y};
    return RotateVector2D(radius, kind == 1 ? kHalfPi : -kHalfPi);
}
} // namespace

// ---- TAVertice -------------------------------------------------------------

TAVertice TAVertice::Create() { return TAVertice{}; }

TAVertice TAVertice::CreateAt(const TVector2D& point, int32_t attribute)
{
    TAVertice v;
    v.EndPoint = point;
    v.Attribute = attribute;
    return v;
}

TAVertice TAVertice::CreatePoints(const TVector2D& endPoint, const TVector2D& secondPoint)
{
    TAVertice v;
    v.EndPoint = endPoint;
    v.Centre = secondPoint;
    return v;
}

TAVertice TAVertice::CreateFull(int32_t kind, const TVector2D& endPoint, const TVector2D& centre,
                                int32_t attribute)
{
    TAVertice v;
    v.Kind = kind;
    v.EndPoint = endPoint;
    v.Centre = centre;
    v.Attribute = attribute;
    return v;
}

TAVertice TAVertice::CreateCopy(const TAVertice& source) { return source; }

TAVertice TAVertice::CreateFromStream(TStream& stream)
{
    TAVertice v;
    v.Kind = ReadInt32(stream);
    v.EndPoint.X = ReadDouble(stream);
    v.EndPoint.Y = ReadDouble(stream);
    v.Centre.X = ReadDouble(stream);
    v.Centre.Y = ReadDouble(stream);
    v.Attribute = ReadInt32(stream);
    v.ID = ReadInt32(stream);
    return v;
}

void TAVertice::Assign(const TAVertice& source) { *this = source; }

void TAVertice::SaveToStream(TStream& stream) const
{
    WriteInt32(stream, Kind);
    WriteDouble(stream, EndPoint.X);
    WriteDouble(stream, EndPoint.Y);
    WriteDouble(stream, Centre.X);
    WriteDouble(stream, Centre.Y);
    WriteInt32(stream, Attribute);
    WriteInt32(stream, ID);
}

// ---- TAVertice3d -----------------------------------------------------------

TAVertice3d TAVertice3d::Create() { return TAVertice3d{}; }

TAVertice3d TAVertice3d::CreateAt(const TVector3D& point)
{
    TAVertice3d v;
    v.EndPoint = point;
    return v;
}

TAVertice3d TAVertice3d::CreateFull(int32_t kind, const TVector3D& endPoint, const TVector3D& centre,
                                    int32_t attribute)
{
    TAVertice3d v;
    v.Kind = kind;
    v.EndPoint = endPoint;
    v.Centre = centre;
    v.Attribute = attribute;
    return v;
}

TAVertice3d TAVertice3d::CreateCopy(const TAVertice3d& source) { return source; }

TAVertice3d TAVertice3d::CreateFromStream(TStream& stream)
{
    TAVertice3d v;
    v.Kind = ReadInt32(stream);
    v.EndPoint.X = ReadDouble(stream);
    v.EndPoint.Y = ReadDouble(stream);
    v.EndPoint.Z = ReadDouble(stream);
    v.Centre.X = ReadDouble(stream);
    v.Centre.Y = ReadDouble(stream);
    v.Centre.Z = ReadDouble(stream);
    v.Attribute = ReadInt32(stream);
    return v;
}

void TAVertice3d::Assign(const TAVertice3d& source) { *this = source; }

void TAVertice3d::AssignFrom2D(const TAVertice& source, double z)
{
    Kind = source.Kind;
    EndPoint = {source.EndPoint.X, source.EndPoint.Y, z};
    Centre = {source.Centre.X, source.Centre.Y, z};
    Attribute = source.Attribute;
}

void TAVertice3d::SaveToStream(TStream& stream) const
{
    WriteInt32(stream, Kind);
    WriteDouble(stream, EndPoint.X);
    WriteDouble(stream, EndPoint.Y);
    WriteDouble(stream, EndPoint.Z);
    WriteDouble(stream, Centre.X);
    WriteDouble(stream, Centre.Y);
    WriteDouble(stream, Centre.Z);
    WriteInt32(stream, Attribute);
}

// ---- Tangents --------------------------------------------------------------

TVector2D TangentAtPoint(const TVector2D& p, const TAVertice& previous, const TAVertice& current)
{
    if (current.Kind == 0)
        return {current.EndPoint.X - previous.EndPoint.X, current.EndPoint.Y - previous.EndPoint.Y};
    return ArcTangent(current.Kind, p, current.Centre);
}

TVector2D TangentAtStart(const TAVertice& previous, const TAVertice& current)
{
    return TangentAtPoint(previous.EndPoint, previous, current);
}

TVector2D StartTangent3d(const TAVertice3d& previous, const TAVertice3d& current)
{
    if (current.Kind == 0)
        return {current.EndPoint.X - previous.EndPoint.X, current.EndPoint.Y - previous.EndPoint.Y};
    return ArcTangent(current.Kind, {previous.EndPoint.X, previous.EndPoint.Y},
                      {current.Centre.X, current.Centre.Y});
}
