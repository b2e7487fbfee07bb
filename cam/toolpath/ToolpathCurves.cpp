#include "cam/toolpath/ToolpathCurves.h"

#include "cam/curves/Area.h"
#include "cam/params/ParametriOperazione.h"
#include "core/entities/CurveToEntities.h"
#include "core/file/Stream.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Tolerance.h"
#include "core/model/CADSysException.h"
#include "core/model/GraphicObject.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const char* const kInvalidStream = "LoadFromStream: Invalid stream.";
constexpr double kFar = 100000000.0;

TVector2D XY(const TVector3D& p)
{
    return {p.X, p.Y};
}

TVector3D AtZ(const TVector2D& p, double z)
{
    return {p.X, p.Y, z};
}

// The arc of segment s (vertex s an arc) in its own direction.
TAArco SegmentArc(const TCurva3d& c, int32_t s)
{
    const TAVertice3d& from = c.Vertices[static_cast<size_t>(s - 1)];
    const TAVertice3d& to = c.Vertices[static_cast<size_t>(s)];
    return TAArco::CreateFrom3D(from.EndPoint, to.EndPoint, to.Centre, to.Kind > 0, 0);
}

const TAVertice3d& At(const TCurva3d& c, int32_t i)
{
    return c.Vertices[static_cast<size_t>(i)];
}

int Level(const TCurva3d& c)
{
    return static_cast<uint16_t>(c.Tag) >> 8;
}

bool IsIsland(const TCurva3d& c)
{
    return (c.Tag & 0xFF) == 1;
}

TVector2D FirstPoint(const TCurva3d& c, const TVector2D& fallback)
{
    return c.Vertices.empty() ? fallback : XY(c.Vertices.front().EndPoint);
}

TVector2D LastPoint(const TCurva3d& c, const TVector2D& fallback)
{
    return c.Vertices.empty() ? fallback : XY(c.Vertices.back().EndPoint);
}

TAVertice3d Raised(TAVertice3d v, double z)
{
    v.EndPoint.Z = z;
    v.Centre.Z = z;
    return v;
}

} // namespace

// --- TCurva3d ---------------------------------------------------------------

int32_t TCurva3d::AddVertex(const TAVertice3d& vertex)
{
    Vertices.push_back(vertex);
    return static_cast<int32_t>(Vertices.size()) - 1;
}

void TCurva3d::Clear()
{
    Vertices.clear();
    Closed = 0;
}

void TCurva3d::FromMachiningCurve(const TACurva& curve, double z)
{
    Vertices.clear();
    Vertices.reserve(curve.Vertices.size());
    for (const TAVertice& v : curve.Vertices) {
        TAVertice3d v3;
        v3.AssignFrom2D(v, z);
        Vertices.push_back(v3);
    }
    Closed = curve.Closed;
    Tag = curve.Tag;
    ID = curve.ID;
    CompCode = curve.CompCode;
}

void TCurva3d::Assign(const TCurva3d& other)
{
    CopyWithZOffset(other, 0.0);
}

void TCurva3d::CopyWithZOffset(const TCurva3d& other, double dz)
{
    std::vector<TAVertice3d> copies = other.Vertices;
    for (TAVertice3d& v : copies) {
        v.EndPoint.Z += dz;
        v.Centre.Z += dz;
    }
    Vertices = std::move(copies);
    Closed = other.Closed;
    Tag = other.Tag;
    ID = other.ID;
    CompCode = other.CompCode;
}

double TCurva3d::Length() const
{
    double total = 0.0;
    for (int32_t s = 1; s < VertexCount(); ++s)
        total += SegmentLength(*this, s);
    return total;
}

bool TCurva3d::IsClosedWithLength() const
{
    return Closed != 0 && Length() > 0.0;
}

void TCurva3d::Reverse()
{
    const size_t n = Vertices.size();
    std::vector<TAVertice3d> reversed;
    reversed.reserve(n);
    for (size_t i = n; i-- > 0;) {
        TAVertice3d v = TAVertice3d::CreateAt(Vertices[i].EndPoint);
        v.Attribute = Vertices[i].Attribute;
        if (i + 1 < n) {
            v.Kind = -Vertices[i + 1].Kind;
            v.Centre = Vertices[i + 1].Centre;
        }
        reversed.push_back(v);
    }
    Vertices = std::move(reversed);
    Reversed = Reversed ? 0 : 1;
}

TCurva3d::TSplit TCurva3d::Split(int32_t index)
{
    if (index < 0 || index >= VertexCount())
        throw ECADOutOfBound("TCurva3d.Split: index out of range.");
    TSplit parts{std::make_unique<TCurvaNci3d>(), std::make_unique<TCurvaNci3d>()};
    const auto cut = Vertices.begin() + index + 1;
    parts.First->Vertices.assign(Vertices.begin(), cut);
    parts.Second->Vertices.push_back(TAVertice3d::CreateAt(Vertices[static_cast<size_t>(index)].EndPoint));
    parts.Second->Vertices.insert(parts.Second->Vertices.end(), cut, Vertices.end());
    Clear();
    return parts;
}

void TCurva3d::InsertPoint(int32_t& index, const TVector3D& point)
{
    const double tol = SystemTol();
    if (index < 0 || index >= VertexCount())
        return;
    if (IsSameVector2DTol(XY(At(*this, index).EndPoint), XY(point), tol))
        return;
    if (index + 1 < VertexCount() && IsSameVector2DTol(XY(At(*this, index + 1).EndPoint), XY(point), tol)) {
        ++index;
        return;
    }
    TAVertice3d v = TAVertice3d::CreateAt(point);
    if (index + 1 < VertexCount() && At(*this, index + 1).Kind != 0) {
        v.Kind = At(*this, index + 1).Kind;
        v.Centre = At(*this, index + 1).Centre;
    }
    Vertices.insert(Vertices.begin() + index + 1, v);
    ++index;
}

bool TCurva3d::AppendIfContinuous(std::unique_ptr<TCurvaNci3d>& other)
{
    if (!other || Vertices.empty() || other->Vertices.empty())
        return false;
    const TVector3D& a = Vertices.back().EndPoint;
    const TVector3D& b = other->Vertices.front().EndPoint;
    const double tol = SystemTol();
    if (std::fabs(a.X - b.X) > tol || std::fabs(a.Y - b.Y) > tol || std::fabs(a.Z - b.Z) > tol)
        return false;
    Vertices.insert(Vertices.end(), other->Vertices.begin() + 1, other->Vertices.end());
    other.reset();
    return true;
}

bool TCurva3d::AppendIfLinkInside(std::unique_ptr<TACurva>& curve, const TArea& area, double halfWidth)
{
    if (!curve || Vertices.empty() || curve->Vertices.empty())
        return false;
    if (area.SlotLeaves(XY(Vertices.back().EndPoint), curve->Vertices.front().EndPoint, halfWidth))
        return false;
    for (const TAVertice& v : curve->Vertices) {
        TAVertice3d v3;
        v3.AssignFrom2D(v, 0.0);
        Vertices.push_back(v3);
    }
    curve.reset();
    return true;
}

void TCurva3d::SaveToStream(TStream& stream) const
{
    WriteInt32(stream, VertexCount() - 1);
    WriteUInt8(stream, Closed);
    WriteInt16(stream, Tag);
    WriteInt32(stream, ID);
    for (const TAVertice3d& v : Vertices)
        v.SaveToStream(stream);
}

void TCurva3d::LoadFromStream(TStream& stream, std::string_view version)
{
    try {
        LoadBody(stream, version);
    } catch (const EStreamReadError&) {
        Clear();
        throw ECADFileNotValid(kInvalidStream);
    }
}

void TCurva3d::LoadBody(TStream& stream, std::string_view version)
{
    Clear();
    CompCode = 0;
    Reversed = 0;
    const int32_t countMinusOne = ReadInt32(stream);
    if (countMinusOne < -1)
        throw ECADFileNotValid(kInvalidStream);
    Closed = ReadUInt8(stream);
    if (!SignatureLess(version, "QV-001")) {
        Tag = ReadInt16(stream);
        ID = ReadInt32(stream);
    }
    const int64_t count = int64_t{countMinusOne} + 1;
    if (!stream.CanHold(count, TAVertice3d::kRecordSize)) {
        Clear();
        throw ECADFileNotValid(kInvalidStream);
    }
    Vertices.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        Vertices.push_back(TAVertice3d::CreateFromStream(stream));
        // A curve is always followed by more data.
        if (stream.Position() >= stream.Size()) {
            Clear();
            throw ECADFileNotValid(kInvalidStream);
        }
    }
}

void TCurvaNci3d::SaveToStream(TStream& stream) const
{
    TCurva3d::SaveToStream(stream);
    WriteInt32(stream, Code);
}

void TCurvaNci3d::LoadFromStream(TStream& stream, std::string_view version)
{
    try {
        LoadBody(stream, version);
        Code = ReadInt32(stream);
    } catch (const EStreamReadError&) {
        Clear();
        throw ECADFileNotValid(kInvalidStream);
    }
}

TAVertice Vertex3dTo2d(const TAVertice3d& vertex)
{
    return TAVertice::CreateFull(vertex.Kind, XY(vertex.EndPoint), XY(vertex.Centre), vertex.Attribute);
}

// --- Geometry on a curve ------------------------------------------------------

TCurvePointRecord NearestPointOnCurve(const TCurva3d& curve, const TVector2D& point)
{
    TCurvePointRecord best;
    best.Distance = kFar;
    for (int32_t s = 1; s < curve.VertexCount(); ++s) {
        const TVector2D start = XY(At(curve, s - 1).EndPoint);
        const TAVertice3d& v = At(curve, s);
        TVector2D q;
        if (v.Kind == 0)
            q = ClosestPointOnSegment(start, XY(v.EndPoint), point);
        else if (v.Kind > 0)
            q = ClosestPointOnArc(XY(v.Centre), start, XY(v.EndPoint), point);
        else
            q = ClosestPointOnArc(XY(v.Centre), XY(v.EndPoint), start, point);
        const double d = DistanceVector2D(q, point);
        if (d < best.Distance)
            best = {d, q, s};
    }
    return best;
}

double SegmentLength(const TCurva3d& curve, int32_t segment)
{
    const TAVertice3d& to = At(curve, segment);
    if (to.Kind == 0)
        return DistanceVector2D(XY(At(curve, segment - 1).EndPoint), XY(to.EndPoint));
    return SegmentArc(curve, segment).Length();
}

double SegmentPartLength(const TCurva3d& curve, int32_t segment, bool fromStart, const TVector2D& point)
{
    const TAVertice3d& to = At(curve, segment);
    const TVector2D start = XY(At(curve, segment - 1).EndPoint);
    if (to.Kind == 0)
        return DistanceVector2D(point, fromStart ? start : XY(to.EndPoint));
    const bool ccw = to.Kind > 0;
    const TAArco part = fromStart ? TAArco::Create(start, point, XY(to.Centre), ccw, 0)
                                  : TAArco::Create(point, XY(to.EndPoint), XY(to.Centre), ccw, 0);
    return part.Length();
}

TVector2D PointOnSegment(const TCurva3d& curve, int32_t segment, bool fromStart, double distance)
{
    const TAVertice3d& to = At(curve, segment);
    const TVector2D start = XY(At(curve, segment - 1).EndPoint);
    const TVector2D end = XY(to.EndPoint);
    if (to.Kind == 0)
        return fromStart ? PointTowards(end, start, distance) : PointTowards(start, end, distance);
    const TAArco arc = SegmentArc(curve, segment);
    const double length = arc.Length();
    if (length <= 0.0)
        return fromStart ? start : end;
    const double t = std::clamp(distance / length, 0.0, 1.0);
    return arc.PointAt(fromStart ? t : 1.0 - t);
}

TTabWalk WalkBack(const TCurva3d& curve, const TCurvePointRecord& tab, double width)
{
    const double half = width * 0.5;
    const int32_t last = curve.VertexCount() - 1;
    TTabWalk walk{tab.Index, SegmentPartLength(curve, tab.Index, true, tab.Point), false};
    while (walk.Distance < half) {
        if (walk.Segment == 1) {
            if (!curve.Closed)
                return {1, 0.0, walk.Wrapped};
            walk.Segment = last;
            walk.Wrapped = true;
        } else {
            --walk.Segment;
        }
        walk.Distance += SegmentLength(curve, walk.Segment);
    }
    walk.Distance -= half;
    return walk;
}

TTabWalk WalkForward(const TCurva3d& curve, const TCurvePointRecord& tab, double width)
{
    const double half = width * 0.5;
    const int32_t last = curve.VertexCount() - 1;
    TTabWalk walk{tab.Index, SegmentPartLength(curve, tab.Index, false, tab.Point), false};
    while (walk.Distance < half) {
        if (walk.Segment == last) {
            if (!curve.Closed)
                return {last, 0.0, walk.Wrapped};
            walk.Segment = 1;
            walk.Wrapped = true;
        } else {
            ++walk.Segment;
        }
        walk.Distance += SegmentLength(curve, walk.Segment);
    }
    walk.Distance -= half;
    return walk;
}

// --- Lists ----------------------------------------------------------------------

void CurvesFromMachiningCurves(TListaDiCurve3d& target, const TListaDiCurve& curves)
{
    for (const auto& c : curves.Items) {
        auto curve = std::make_unique<TCurvaNci3d>();
        curve->FromMachiningCurve(*c, 0.0);
        target.push_back(std::move(curve));
    }
}

void ClearCurveList(TListaDiCurve3d& list)
{
    list.clear();
}

void MoveCurves(TListaDiCurve3d& target, TListaDiCurve3d& source)
{
    for (auto& c : source)
        target.push_back(std::move(c));
    source.clear();
}

void LinkCurves(TListaDiCurve3d& target, TListaDiCurve& curves, const TArea& area, const TParametriOperazione& params)
{
    bool haveCurrent = !target.empty() && !target.back()->Vertices.empty();
    TVector2D current = haveCurrent ? XY(target.back()->Vertices.back().EndPoint) : TVector2D{};
    const TLeadInOutParams leads{params.CompSide, params.LeadInKind, params.LeadInLength, params.LeadOutKind,
                                 params.LeadOutLength};
    for (auto& item : curves.Items) {
        std::unique_ptr<TACurva> ring = std::move(item);
        if (!ring)
            continue;
        if (haveCurrent)
            ring->StartAtNearestSegment(current);
        if (params.LeadAtMidSegment)
            ring->StartAtFirstMidpoint();
        if (!ring->Vertices.empty()) {
            current = ring->Vertices.back().EndPoint;
            haveCurrent = true;
        }
        ring->AddLeadInOut(leads);
        if (params.KeepToolDown && !target.empty() && target.back()->AppendIfLinkInside(ring, area, params.CompOffset))
            continue;
        auto curve = std::make_unique<TCurvaNci3d>();
        curve->FromMachiningCurve(*ring, 0.0);
        target.push_back(std::move(curve));
    }
    curves.ClearCurves();
}

void OrderByLevel(TListaDiCurve3d& list, const TVector2D& start)
{
    int highest = 0;
    for (const auto& c : list)
        highest = std::max(highest, Level(*c));
    TVector2D current = start;
    const size_t n = list.size();
    for (int level = highest; level >= 1; --level) {
        for (size_t i = 0; i < n; ++i) {
            if (Level(*list[i]) != level)
                continue;
            double best = kFar;
            size_t bestIndex = i;
            for (size_t j = i; j < n && Level(*list[j]) == level; ++j) {
                if (list[j]->Vertices.empty())
                    continue;
                const double d = DistanceVector2D(FirstPoint(*list[j], current), current);
                if (d < best) {
                    best = d;
                    bestIndex = j;
                }
            }
            std::swap(list[i], list[bestIndex]);
            current = LastPoint(*list[i], current);
        }
    }
}

void OrderIslandsFirst(TListaDiCurve3d& list, const TVector2D& start, bool islandsFirst)
{
    TListaDiCurve3d islands;
    TListaDiCurve3d rest;
    for (auto& c : list)
        (IsIsland(*c) ? islands : rest).push_back(std::move(c));
    list.clear();
    if (islandsFirst) {
        TVector2D current = start;
        if (!islands.empty()) {
            OrderByLevel(islands, start);
            current = LastPoint(*islands.back(), start);
        }
        OrderByLevel(rest, current);
        MoveCurves(list, islands);
        MoveCurves(list, rest);
    } else {
        OrderByLevel(rest, start);
        if (!islands.empty())
            OrderByLevel(islands, rest.empty() ? start : LastPoint(*rest.back(), start));
        MoveCurves(list, rest);
        MoveCurves(list, islands);
    }
}

void ApplyTab(TListaDiCurve3d& list, int32_t index, const TCurvePointRecord& found, bool full, double tabZ,
              double width)
{
    if (index < 0 || static_cast<size_t>(index) >= list.size())
        return;
    TCurvaNci3d& curve = *list[static_cast<size_t>(index)];
    const int32_t last = curve.VertexCount() - 1;
    if (last < 1 || found.Index < 1 || found.Index > last)
        return;
    std::vector<TAVertice3d>& v = curve.Vertices;

    // A closed curve that the tab covers whole: nothing is left to cut.
    if (curve.Closed && curve.Length() <= width) {
        if (full)
            list.erase(list.begin() + index);
        else
            for (TAVertice3d& vertex : v)
                vertex = Raised(vertex, tabZ);
        return;
    }

    const TTabWalk back = WalkBack(curve, found, width);
    const TTabWalk forward = WalkForward(curve, found, width);
    const int32_t sa = back.Segment;
    const int32_t sb = forward.Segment;
    const size_t a = static_cast<size_t>(sa);
    const size_t b = static_cast<size_t>(sb);

    TAVertice3d tabStart = TAVertice3d::CreateAt(AtZ(PointOnSegment(curve, sa, true, back.Distance), 0.0));
    if (v[a].Kind != 0) {
        tabStart.Kind = v[a].Kind;
        tabStart.Centre = {v[a].Centre.X, v[a].Centre.Y, 0.0};
    }
    TAVertice3d tabEnd = TAVertice3d::CreateAt(AtZ(PointOnSegment(curve, sb, false, forward.Distance), 0.0));
    TAVertice3d tabStartUp = Raised(tabStart, tabZ);
    tabStartUp.Kind = 0;
    tabStartUp.Centre = {};
    TAVertice3d tabEndUp = Raised(tabEnd, tabZ);
    if (v[b].Kind != 0) {
        tabEndUp.Kind = v[b].Kind;
        tabEndUp.Centre = {v[b].Centre.X, v[b].Centre.Y, tabZ};
    }

    const bool wraps = back.Wrapped || forward.Wrapped;
    std::vector<TAVertice3d> out;
    if (!wraps) {
        if (full) {
            auto rest = std::make_unique<TCurvaNci3d>();
            rest->Vertices.push_back(tabEnd);
            rest->Vertices.insert(rest->Vertices.end(), v.begin() + sb, v.end());
            v.erase(v.begin() + sa, v.end());
            v.push_back(tabStart);
            list.insert(list.begin() + index + 1, std::move(rest));
            return;
        }
        out.assign(v.begin(), v.begin() + sa);
        out.push_back(tabStart);
        out.push_back(tabStartUp);
        for (size_t i = a; i < b; ++i)
            out.push_back(Raised(v[i], tabZ));
        out.push_back(tabEndUp);
        out.push_back(tabEnd);
        out.insert(out.end(), v.begin() + sb, v.end());
        v = std::move(out);
        return;
    }

    // Over the start of a closed curve: the tab runs from A on segment sa
    // (near the end) through the start to B on segment sb (near the start).
    if (full) {
        out.push_back(tabEnd);
        out.insert(out.end(), v.begin() + sb, v.begin() + sa);
        out.push_back(tabStart);
    } else {
        out.push_back(Raised(TAVertice3d::CreateAt(v[0].EndPoint), tabZ));
        for (size_t i = 1; i < b; ++i)
            out.push_back(Raised(v[i], tabZ));
        out.push_back(tabEndUp);
        out.push_back(tabEnd);
        out.insert(out.end(), v.begin() + sb, v.begin() + sa);
        out.push_back(tabStart);
        out.push_back(tabStartUp);
        for (size_t i = a; i < v.size(); ++i)
            out.push_back(Raised(v[i], tabZ));
    }
    v = std::move(out);
}

TRampPlace FindRampStart(const TCurva3d& curve, double halfWidth, double length, const TArea& area)
{
    TRampPlace place;
    for (int32_t i = 1; i < curve.VertexCount(); ++i) {
        const TAVertice3d& from = At(curve, i - 1);
        const TAVertice3d& to = At(curve, i);
        const TVector2D start = XY(from.EndPoint);
        const TVector2D t = StartTangent3d(from, to);
        const double norm = std::hypot(t.X, t.Y);
        if (norm <= 0.0)
            continue;
        const TVector2D test{start.X + t.X / norm * length, start.Y + t.Y / norm * length};
        if (area.SlotLeaves(start, test, halfWidth))
            continue;
        place.Found = true;
        place.Start = from.EndPoint;
        place.Index = i - 1;
        place.Angle = std::atan2(to.EndPoint.Y - from.EndPoint.Y, to.EndPoint.X - from.EndPoint.X);
        return place;
    }
    return place;
}

THelixPlace FindHelixPlace(TCurva3d& curve, bool onSegments, const TArea& area, double offset, double helixRadius)
{
    THelixPlace place;
    const double back = 1.1 * helixRadius;
    for (int32_t k = 0; k < curve.VertexCount(); ++k) {
        const bool onSegment = onSegments && k + 1 < curve.VertexCount();
        TVector2D test;
        if (!onSegment) {
            test = XY(At(curve, k).EndPoint);
        } else if (At(curve, k + 1).Kind == 0) {
            test = PointTowards(XY(At(curve, k).EndPoint), XY(At(curve, k + 1).EndPoint), back);
        } else {
            const double length = SegmentLength(curve, k + 1);
            test = PointOnSegment(curve, k + 1, false, std::min(back, length));
        }
        if (area.CircleLeaves(test, offset, helixRadius))
            continue;
        place.Found = true;
        place.Point = AtZ(test, 0.0);
        place.Index = k;
        if (onSegment)
            curve.InsertPoint(place.Index, place.Point);
        return place;
    }
    return place;
}

std::unique_ptr<TCurvaNci3d> TranslatedCopy(const TCurvaNci3d& curve, double dx, double dy)
{
    if (curve.Vertices.empty())
        return nullptr;
    auto copy = std::make_unique<TCurvaNci3d>(curve);
    for (TAVertice3d& v : copy->Vertices) {
        v.EndPoint.X += dx;
        v.EndPoint.Y += dy;
        if (v.Kind != 0) {
            v.Centre.X += dx;
            v.Centre.Y += dy;
        }
    }
    return copy;
}

void CurveToDrawing(const TCurva3d& curve, TQV_01Cmp2D& document)
{
    if (curve.VertexCount() < 2)
        return;
    std::vector<TAVertice> flat;
    flat.reserve(curve.Vertices.size());
    for (const TAVertice3d& v : curve.Vertices)
        flat.push_back(Vertex3dTo2d(v));
    int32_t lines = 0;
    int32_t arcs = 0;
    const double tol = SystemTol();
    CurveToEntities(flat, document, false, lines, arcs, {}, [&curve, tol](TObject2D& entity, size_t vertex) {
        const double z = curve.Vertices[vertex - 1].EndPoint.Z;
        if (std::fabs(z) > tol) {
            entity.Transform(TMatrix4::CreateTranslation(0.0, 0.0, z));
            entity.ApplyTransform();
        }
    });
}
