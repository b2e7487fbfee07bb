#include "core/entities/Curve2D.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/PickHelpers.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr const char* NoProfileMessage = "TCurve2D: Call BeginUseProfilePoints before accessing the curve points.";

// The profile through m, projected, as one canvas polyline.
void DrawProfileThrough(TCanvas2D& canvas, const TPointsSet2D& profile, const TMatrix4& m, bool transformed)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || profile.Count() == 0)
        return;
    std::vector<TIntPoint> screen;
    screen.reserve(static_cast<size_t>(profile.Count()));
    for (const TPoint2D& p : profile.Points())
        screen.push_back(projection->PointToScreen(transformed ? m.TransformPoint2D(p) : p));
    canvas.Polyline(screen);
}

// Serialises the building of owed profiles: curves read from several
// threads at once build each owed profile once.
std::mutex& OwedProfileMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

TCurve2D::TCurve2D(int32_t id, int pointCount, int16_t segments)
    : TOutline2D(id, pointCount), m_Segments(segments)
{
}

TCurve2D::TCurve2D(int32_t id, int pointCount, int16_t segments, uint32_t colour, uint8_t lineWidth,
                   const TMatrix4& transform)
    : TOutline2D(id, pointCount, colour, lineWidth, transform), m_Segments(segments)
{
}

TCurve2D::TCurve2D(TStream& stream, std::string_view signature) : TOutline2D(stream, signature)
{
    m_Segments = ReadInt16(stream);
    m_KeepProfile = ReadUInt8(stream) != 0;
}

TCurve2D::TCurve2D(const TCurve2D& source, TCloneTag tag)
    : TOutline2D(source, tag), m_KeepProfile(source.m_KeepProfile), m_Segments(source.m_Segments)
{
    if (m_KeepProfile && source.m_ProfileOwed.load(std::memory_order_acquire)) {
        m_ProfileOwed.store(true, std::memory_order_release);
        m_ProfileUseCount = 1;
    } else if (m_KeepProfile && source.m_Profile) {
        m_Profile = CreatePointsSet(0);
        m_Profile->CopyFrom(*source.m_Profile);
        m_ProfileUseCount = 1;
    }
}

TCurve2D::~TCurve2D()
{
    DropProfile();
}

TRect2D TCurve2D::EmptyBox()
{
    return MakeRect2D(0.0, 0.0, 0.0, 0.0);
}

void TCurve2D::SetSegments(int16_t segments)
{
    m_Segments = segments;
}

void TCurve2D::SetKeepProfile(bool keep)
{
    if (keep == m_KeepProfile)
        return;
    m_KeepProfile = keep;
    // The uses counted so far follow the old rule (a kept profile holds one
    // use of its own, brackets on it count none); start again from nothing so
    // the new rule holds from here on.
    DropProfile();
    UpdateBounds();
}

TPointsSet2D& TCurve2D::PrepareProfile(int capacity)
{
    if (m_Profile)
        m_Profile->Clear();
    else
        m_Profile = CreatePointsSet(capacity);
    m_Profile->EnsureCapacity(std::max(capacity, 0));
    m_Profile->SetGrowable(true);
    ++m_ProfileUseCount;
    return *m_Profile;
}

void TCurve2D::ReleaseProfile()
{
    --m_ProfileUseCount;
    if (m_ProfileUseCount <= 0)
        DropProfile();
}

void TCurve2D::DropProfile()
{
    m_Profile.reset();
    m_ProfileUseCount = 0;
    m_ProfileOwed.store(false, std::memory_order_release);
}

void TCurve2D::BuildOwedProfile()
{
    if (!m_ProfileOwed.load(std::memory_order_acquire))
        return;
    const std::lock_guard lock(OwedProfileMutex());
    if (!m_ProfileOwed.load(std::memory_order_relaxed))
        return;
    // The owed profile counts its one use already; PopulateProfile adds it.
    m_ProfileUseCount = 0;
    m_BuildingOwed = true;
    try {
        PopulateProfile(); // the box is the one the bounds update stored
    } catch (...) {
        m_BuildingOwed = false;
        throw;
    }
    m_BuildingOwed = false;
    if (m_ProfileUseCount <= 0)
        m_Profile.reset();
    m_ProfileOwed.store(false, std::memory_order_release);
}

const TPointsSet2D& TCurve2D::ProfilePoints()
{
    BuildOwedProfile();
    if (!m_Profile)
        throw ECADSysException(NoProfileMessage);
    return *m_Profile;
}

int TCurve2D::ProfilePointsCount()
{
    return ProfilePoints().Count();
}

void TCurve2D::BeginUseProfilePoints()
{
    if (m_KeepProfile) {
        BuildOwedProfile();
        return;
    }
    SetBox(PopulateProfile());
}

void TCurve2D::EndUseProfilePoints()
{
    if (m_KeepProfile)
        return;
    ReleaseProfile();
}

bool TCurve2D::IsClosed()
{
    TProfilePointsUse use(*this);
    if (!m_Profile)
        return false;
    return TOutline2D::IsClosed();
}

void TCurve2D::ComputeBounds()
{
    if (Points().Count() == 0) {
        DropProfile();
        return;
    }
    // A profile a bracket holds is refreshed in place, as the holder expects.
    const std::optional<TProfileBox> known = m_KeepProfile || !m_Profile ? ProfileBox() : std::nullopt;
    if (known) {
        SetBox(known->Box);
        if (!m_KeepProfile)
            return;
        // The kept profile is owed from here on (its storage, if any, is
        // reused by the build) and holds one use.
        if (!known->Profile) {
            DropProfile();
            return;
        }
        m_ProfileUseCount = 1;
        m_ProfileOwed.store(true, std::memory_order_release);
        return;
    }
    if (m_KeepProfile) {
        // The kept profile is rebuilt on every update and holds one use.
        m_ProfileOwed.store(false, std::memory_order_release);
        ReleaseProfile();
        SetBox(PopulateProfile());
    } else {
        SetBox(PopulateProfile());
        ReleaseProfile();
    }
}

void TCurve2D::SaveToStream(TStream& stream)
{
    TOutline2D::SaveToStream(stream);
    WriteInt16(stream, m_Segments);
    WriteUInt8(stream, m_KeepProfile ? 1 : 0);
}

void TCurve2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TOutline2D::Assign(source);
    if (const auto* curve = dynamic_cast<const TCurve2D*>(&source)) {
        SetSegments(curve->m_Segments);
        SetKeepProfile(curve->m_KeepProfile);
    }
}

void TCurve2D::DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints)
{
    TProfilePointsUse use(*this);
    if (showControlPoints)
        TOutline2D::DrawOnCanvas(canvas, showControlPoints);
    if (!m_Profile)
        return;
    const TMatrix4 m = GetModelTransform();
    DrawProfileThrough(canvas, *m_Profile, m, HasTransform());
}

void TCurve2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    TProfilePointsUse use(*this);
    if (!m_Profile)
        return;
    TMatrix4 m;
    m.Multiply(GetModelTransform(), parentTransform);
    DrawProfileThrough(canvas, *m_Profile, m, true);
}

int32_t TCurve2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    const int32_t result = TObject2D::PickAt(point, distance, aperture);
    if (result != PickInBox)
        return result;
    TProfilePointsUse use(*this);
    if (!m_Profile)
        return PickInBox;
    // Copied after the bracket: building the profile may reuse the shared
    // scratch matrix.
    const TMatrix4 m = GetModelTransform();
    double best = PickFarDistance;
    const int hit = PickPolyline(m_Profile->Points(), point, false, m, aperture, best);
    distance = std::min(aperture, best);
    return hit == kPickEdge ? PickOnObject : PickInBox;
}

TSceneNodeId TCurve2D::AddCurveLines(TSceneNodeId group)
{
    if (!ViewServices().Scene)
        return NoSceneNode;
    if (m_ProfileOwed.load(std::memory_order_acquire)) {
        thread_local std::vector<TPoint2D> points;
        if (ProfilePointsWithoutProfile(points))
            return points.empty() ? NoSceneNode : AddSceneLines(group, points);
    }
    TProfilePointsUse use(*this);
    if (!m_Profile)
        return NoSceneNode;
    return AddSceneLines(group, m_Profile->Points());
}

TSceneNodeId TCurve2D::BuildSceneObjectIn(TSceneNodeId group)
{
    const TSceneNodeId node = AddCurveLines(group);
    SetSceneNode(node);
    return node;
}
