#include "cam/curves/ACurva.h"

#include "cam/curves/Span.h"
#include "core/entities/CurveToEntities.h"
#include "core/geometry/ArcGeometry.h"
#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kInvalidStream = "LoadFromStream: Invalid stream.";

// Nearest point to P of the segment from `start` to vertex V; an arc is
// taken in its own direction (a clockwise arc from S to V is the
// counter-clockwise arc from V to S).
TVector2D NearestOnSegment(const TVector2D& start, const TAVertice& v, const TVector2D& p)
{
    if (v.Kind == 0) {
        return ClosestPointOnSegment(start, v.EndPoint, p);
    }
    if (v.Kind > 0) {
        return ClosestPointOnArc(v.Centre, start, v.EndPoint, p);
    }
    return ClosestPointOnArc(v.Centre, v.EndPoint, start, p);
}

TAVertice FreshLine(const TVector2D& point)
{
    return TAVertice::CreateAt(point, 0);
}

} // namespace

void TACurva::Clear()
{
    Vertices.clear();
    Closed = 0;
}

void TACurva::Assign(const TACurva& source)
{
    if (&source == this) {
        return;
    }
    Vertices.insert(Vertices.end(), source.Vertices.begin(), source.Vertices.end());
    Closed = source.Closed;
    Tag = source.Tag;
    ID = source.ID;
    CompCode = source.CompCode;
}

int TACurva::AddVertex(const TAVertice& vertex)
{
    Vertices.push_back(vertex);
    return Count() - 1;
}

void TACurva::SaveToStream(TStream& stream)
{
    Tag = Reversed;
    WriteInt32(stream, Count() - 1);
    WriteUInt8(stream, Closed);
    WriteInt16(stream, Reversed);
    WriteInt32(stream, ID);
    for (const TAVertice& v : Vertices) {
        v.SaveToStream(stream);
    }
}

void TACurva::LoadFromStream(TStream& stream, const std::string& version)
{
    try {
        const int32_t countMinusOne = ReadInt32(stream);
        if (countMinusOne < -1) {
            throw ECADFileNotValid(kInvalidStream);
        }
        Closed = ReadUInt8(stream);
        if (version >= std::string("QV-001")) {
            Tag = ReadInt16(stream);
            Reversed = Tag != 0 ? 1 : 0;
            ID = ReadInt32(stream);
        }
        const int64_t count = int64_t{countMinusOne} + 1;
        if (!stream.CanHold(count, TAVertice::kRecordSize)) {
            throw ECADFileNotValid(kInvalidStream);
        }
        Vertices.reserve(Vertices.size() + static_cast<size_t>(count));
        for (int64_t i = 0; i < count; ++i) {
            Vertices.push_back(TAVertice::CreateFromStream(stream));
            if (stream.Position() >= stream.Size()) {
                throw ECADFileNotValid(kInvalidStream);
            }
        }
        // Loaded chains keep their IDs (tabs find their chain by it): the
        // chains made later in this run must not take them again.
        TGestioneID& ids = GestioneID();
        ids.Counter = std::max(ids.Counter, ID);
    } catch (const EStreamReadError&) {
        Clear();
        throw ECADFileNotValid(kInvalidStream);
    } catch (const ECADFileNotValid&) {
        Clear();
        throw;
    }
}

void TCurvaNci::LoadFromStream(TStream& stream, const std::string& version)
{
    TACurva::LoadFromStream(stream, version);
    try {
        LegacyValue = ReadDouble(stream);
        LegacyCode = ReadInt32(stream);
    } catch (const EStreamReadError&) {
        Clear();
        throw ECADFileNotValid(kInvalidStream);
    }
}

void TACurva::Reverse()
{
    std::vector<TAVertice> reversed;
    reversed.reserve(Vertices.size());
    for (size_t i = Vertices.size(); i-- > 0;) {
        TAVertice v = TAVertice::CreateAt(Vertices[i].EndPoint, Vertices[i].Attribute);
        if (i + 1 < Vertices.size()) {
            // The segment that led to the old next vertex now leads here.
            v.Kind = -Vertices[i + 1].Kind;
            v.Centre = Vertices[i + 1].Centre;
        }
        reversed.push_back(v);
    }
    Vertices = std::move(reversed);
    Reversed = Reversed ? 0 : 1;
}

double TACurva::SignedArea() const
{
    double sum = 0.0;
    for (size_t i = 1; i < Vertices.size(); ++i) {
        sum += TSpan::SegmentArea(Vertices[i - 1].EndPoint, Vertices[i]);
    }
    return sum;
}

bool TACurva::IsClockwise() const
{
    return Closed && SignedArea() > 0.0;
}

void TACurva::ExtendBox(TABox& box) const
{
    if (Vertices.size() == 1) {
        box.AddPoint(Vertices[0].EndPoint);
    }
    for (size_t i = 1; i < Vertices.size(); ++i) {
        ExtendBoxBySegment(Vertices[i - 1].EndPoint, Vertices[i], box);
    }
}

TCurvePointRecord TACurva::NearestPoint(const TVector2D& p) const
{
    TCurvePointRecord best;
    for (size_t i = 1; i < Vertices.size(); ++i) {
        const TVector2D q = NearestOnSegment(Vertices[i - 1].EndPoint, Vertices[i], p);
        const double d = DistanceVector2D(q, p);
        if (d < best.Distance) {
            best = {d, q, static_cast<int>(i)};
        }
    }
    return best;
}

TCurvePointRecord TACurva::NearestSegmentStart(const TVector2D& p) const
{
    TCurvePointRecord best;
    double bestStart = 1e8;
    for (size_t i = 1; i < Vertices.size(); ++i) {
        const TVector2D& start = Vertices[i - 1].EndPoint;
        const TVector2D q = NearestOnSegment(start, Vertices[i], p);
        const double d = DistanceVector2D(q, p);
        const double ds = DistanceVector2D(start, p);
        if (d <= best.Distance && ds <= bestStart) {
            best = {d, q, static_cast<int>(i - 1)};
            bestStart = ds;
        }
    }
    return best;
}

TCurvePointRecord TACurva::FindStartSegment(const TAVertice& a, const TAVertice& b) const
{
    TCurvePointRecord result;
    const bool lineMode = b.Kind == 0;
    double bestSum = 1e8;
    double bestNear = 1e8;
    double lastNear = 0.0;
    for (size_t i = 1; i < Vertices.size(); ++i) {
        const TAVertice& prev = Vertices[i - 1];
        const TAVertice& v = Vertices[i];
        if (v.Kind == 0 && lineMode) {
            const double sum = DistanceVector2D(prev.EndPoint, a.EndPoint) + DistanceVector2D(v.EndPoint, b.EndPoint);
            if (sum <= bestSum) {
                bestSum = sum;
                result = {lastNear, NearestOnSegment(prev.EndPoint, v, a.EndPoint), static_cast<int>(i - 1)};
            }
        } else {
            const TVector2D q = NearestOnSegment(prev.EndPoint, v, a.EndPoint);
            const double d = DistanceVector2D(q, a.EndPoint);
            lastNear = d;
            if (d <= bestNear) {
                bestNear = d;
                result = {d, q, static_cast<int>(i - 1)};
                bestSum = 1e8;
            }
        }
    }
    return result;
}

TVector2D TACurva::NearestEnd(const TVector2D& p) const
{
    if (Vertices.empty()) {
        return p;
    }
    const TVector2D& first = Vertices.front().EndPoint;
    const TVector2D& last = Vertices.back().EndPoint;
    return DistanceVector2D(first, p) < DistanceVector2D(last, p) ? first : last;
}

void TACurva::StartAtNearestVertex(const TVector2D& p)
{
    double best = 99999.1234;
    int index = 0;
    for (size_t i = 0; i < Vertices.size(); ++i) {
        const double d = DistanceVector2D(Vertices[i].EndPoint, p);
        if (d < best) {
            best = d;
            index = static_cast<int>(i);
        }
    }
    if (index > 0) {
        RotateStart(index);
    }
}

void TACurva::StartAtNearestSegment(const TVector2D& p)
{
    RotateStart(NearestSegmentStart(p).Index);
}

void TACurva::RotateStart(int index)
{
    if (index <= 0 || index >= Count()) {
        return;
    }
    const size_t k = static_cast<size_t>(index);
    const TAVertice& pivot = Vertices[k];
    std::vector<TAVertice> rotated;
    rotated.reserve(Vertices.size());
    // A line vertex at the pivot point serves as the new start; then the
    // closing segment ends there: the pivot arc itself, or a fresh line.
    rotated.push_back(pivot.Kind == 0 ? pivot : FreshLine(pivot.EndPoint));
    rotated.insert(rotated.end(), Vertices.begin() + static_cast<ptrdiff_t>(k) + 1, Vertices.end());
    rotated.insert(rotated.end(), Vertices.begin() + 1, Vertices.begin() + static_cast<ptrdiff_t>(k));
    rotated.push_back(pivot.Kind == 0 ? FreshLine(pivot.EndPoint) : pivot);
    Vertices = std::move(rotated);
}

void TACurva::InsertPointAt(TCurvePointRecord& record)
{
    const int i = record.Index;
    if (i < 0 || i + 1 >= Count()) {
        return;
    }
    const TAVertice& a = Vertices[static_cast<size_t>(i)];
    const TAVertice& b = Vertices[static_cast<size_t>(i) + 1];
    if (IsSameVector2DTol(record.Point, a.EndPoint, ChainTol())) {
        return;
    }
    if (!IsSameVector2DTol(record.Point, b.EndPoint, ChainTol())) {
        TAVertice inserted = FreshLine(record.Point);
        inserted.Kind = b.Kind;
        inserted.Centre = b.Centre;
        Vertices.insert(Vertices.begin() + i + 1, inserted);
    }
    record.Index = i + 1;
}

void TACurva::StartAtPoint(TCurvePointRecord record)
{
    InsertPointAt(record);
    if (record.Index > 0) {
        RotateStart(record.Index);
    }
}

void TACurva::StartAtFirstMidpoint()
{
    if (Count() < 2) {
        return;
    }
    const TAVertice& v0 = Vertices[0];
    const TAVertice& v1 = Vertices[1];
    TAVertice mid = FreshLine(MidPoint2D(v0.EndPoint, v1.EndPoint));
    if (v1.Kind != 0) {
        mid.EndPoint = TAArco::Create(v0.EndPoint, v1.EndPoint, v1.Centre, v1.Kind > 0, 0).PointAt(0.5);
        mid.Kind = v1.Kind;
        mid.Centre = v1.Centre;
    }
    Vertices.insert(Vertices.begin() + 1, mid);
    RotateStart(1);
}

TAVertice TACurva::FirstVertexCopy(bool fromEnd) const
{
    if (!fromEnd) {
        return Vertices.at(0);
    }
    TAVertice v = Vertices.at(Vertices.size() - 1);
    v.Kind = -v.Kind;
    return v;
}

TAVertice TACurva::SecondVertexCopy(bool fromEnd) const
{
    if (!fromEnd) {
        return Vertices.at(1);
    }
    TAVertice v = Vertices.at(Vertices.size() - 2);
    v.Kind = -v.Kind;
    return v;
}

TAVertice TACurva::VertexCopy(int index) const
{
    return Vertices.at(static_cast<size_t>(index));
}

void TACurva::AddLeadInOut(const TLeadInOutParams& params)
{
    const int s = params.Side;
    if (s == 0 || Count() < 2) {
        return;
    }
    // The normal on the compensation side: right of the travel for -1.
    const auto sideNormal = [s](const TVector2D& t) {
        return s == -1 ? TVector2D{t.Y, -t.X} : TVector2D{-t.Y, t.X};
    };
    if (IsDifferentValue(params.LeadInLength, 0.0) && (params.LeadInType == 1 || params.LeadInType == 2)) {
        const TVector2D t = NormalizeVector2D(TangentAtStart(Vertices[0], Vertices[1]));
        const TVector2D n = sideNormal(t);
        const double len = params.LeadInLength;
        const TVector2D start = Vertices[0].EndPoint;
        const TVector2D o = AddVectors2D(start, MulVector2D(n, len));
        if (params.LeadInType == 1) {
            Vertices.insert(Vertices.begin(), FreshLine(o));
        } else {
            Vertices[0].Kind = s;
            Vertices[0].Centre = o;
            Vertices.insert(Vertices.begin(), FreshLine(SubtractVectors2D(o, MulVector2D(t, len))));
        }
    }
    if (IsDifferentValue(params.LeadOutLength, 0.0) && (params.LeadOutType == 1 || params.LeadOutType == 2)) {
        const size_t last = Vertices.size() - 1;
        const TVector2D end = Vertices[last].EndPoint;
        const TVector2D t = NormalizeVector2D(TangentAtPoint(end, Vertices[last - 1], Vertices[last]));
        const TVector2D n = sideNormal(t);
        const double len = params.LeadOutLength;
        const TVector2D o = AddVectors2D(end, MulVector2D(n, len));
        if (params.LeadOutType == 1) {
            Vertices.push_back(FreshLine(o));
        } else {
            Vertices.push_back(TAVertice::CreateFull(s, AddVectors2D(o, MulVector2D(t, len)), o, 0));
        }
    }
}

void CurveToEntities(const TACurva& curve, TQV_01Cmp2D& document, bool preview, int32_t& lineCount,
                     int32_t& arcCount)
{
    ::CurveToEntities(curve.Vertices, document, preview, lineCount, arcCount);
}

TGestioneID& GestioneID()
{
    static TGestioneID ids;
    return ids;
}

TACurva* TListaDiCurve::Add(std::unique_ptr<TACurva> curve)
{
    Items.push_back(std::move(curve));
    return Items.back().get();
}

void TListaDiCurve::ReverseAll()
{
    for (auto& c : Items) {
        c->Reverse();
    }
}
