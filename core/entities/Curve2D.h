#pragma once
// TCurve2D: the base of every entity whose outline is computed from its
// control points (frames, rectangles, ellipses, elliptical arcs, arcs,
// circles, splines). The outline is flattened into a cached list of profile
// points with a fixed number of segments; the box, the drawing and the
// picking all work on that profile.
//
// Profile protocol:
// - With the keep-profile flag set (the default) the profile is rebuilt on
//   every bounds update and stays available: ProfilePoints works without a
//   bracket.
// - With the flag cleared the profile exists only between
//   BeginUseProfilePoints and the matching EndUseProfilePoints; brackets
//   nest, and the profile is freed by the last end call.
// - Reading the profile while none exists (flag cleared outside a bracket,
//   no segments, or fewer control points than the curve needs) raises
//   ECADSysException "TCurve2D: Call BeginUseProfilePoints before accessing
//   the curve points.".
// - Changing the keep-profile flag drops the profile and every use held on
//   it, then updates the bounds: a curve switched to 0 has no profile
//   outside a bracket, one switched to 1 holds exactly one.
//
// Stored record, after the TPrimitive2D record: int16 segments, uint8
// keep-profile flag.
//
// Descendants override PopulateProfile: it calls PrepareProfile (unless
// there is nothing to flatten), fills the set and returns the curve's box in
// drawing coordinates. A number of segments of 0 or below means no profile.
//
// A curve that can tell its profile's box without building the profile
// (ProfileBox) has its kept profile built when it is first read: a bounds
// update then only notes the profile as owed. Reading it (ProfilePoints, a
// bracket, picking; drawing unless ProfilePointsWithoutProfile answers) builds
// it; that build is serialised, so threads that only read the curve may do so
// at once. HasProfile and the use count count an owed profile as there.

#include "core/entities/Outline2D.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class TCurve2D : public TOutline2D {
public:
    ~TCurve2D() override;

    // The number of segments every constructor of the curve classes sets.
    static constexpr int16_t kDefaultSegments = 50;

    int16_t Segments() const { return m_Segments; }
    // Stores a changed value without a bounds update (the next one uses it).
    void SetSegments(int16_t segments);
    bool KeepProfile() const { return m_KeepProfile; }
    // Stores a changed value, drops the profile and updates the bounds.
    void SetKeepProfile(bool keep);
    // How many uses hold the profile now (the kept profile counts one).
    int32_t ProfileUseCount() const { return m_ProfileUseCount; }
    // True while a profile exists.
    bool HasProfile() const { return m_Profile != nullptr || m_ProfileOwed.load(std::memory_order_acquire); }

    // The cached profile; raises (see the header comment) when there is none.
    const TPointsSet2D& ProfilePoints() override;
    int ProfilePointsCount() override;
    // Nothing with the keep flag set; otherwise the profile is computed (its
    // box becomes the entity's box, without the change event) and held once
    // more.
    void BeginUseProfilePoints() override;
    // Nothing with the keep flag set; otherwise one use is released.
    void EndUseProfilePoints() override;
    // The outline's closed test inside its own bracket; a curve without
    // profile is not closed (rather than raising).
    bool IsClosed() override;

    // Rebuilds the profile as the keep flag says and stores its box. Without
    // control points the box stays as it is and the profile is dropped (it
    // would show an outline the curve no longer has).
    void ComputeBounds() override;
    void SaveToStream(TStream& stream) override;
    // The primitive part, then from any TCurve2D the segments and the keep
    // flag (through the setters).
    void Assign(const TGraphicObject& source) override;

    // Control-point squares when asked, then the profile (through the model
    // transform) as one canvas polyline.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The profile through model transform x parentTransform as one polyline.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The outline rule on the profile as an open chain: a control point
    // index, PickOnObject, PickInBox or PickNone. A curve without profile
    // answers PickInBox inside its grown box.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

    // The curve lines (see AddCurveLines) under a group the caller gives.
    TSceneNodeId BuildSceneObjectIn(TSceneNodeId group);

protected:
    TCurve2D(int32_t id, int pointCount, int16_t segments);
    // A display curve of the program itself: not pickable, drawn in its own
    // colour and width, transform as pending transform.
    TCurve2D(int32_t id, int pointCount, int16_t segments, uint32_t colour, uint8_t lineWidth,
             const TMatrix4& transform);
    TCurve2D(TStream& stream, std::string_view signature);
    // The primitive part, segments and keep-profile flag; a kept profile is
    // copied with its one use. Uses that brackets hold on the source stay
    // with their holders, so an unkept profile is not copied.
    TCurve2D(const TCurve2D& source, TCloneTag tag);

    // Fills the profile and returns the curve's box through the model
    // transform. Without a profile to build it returns the box
    // (0, 0)-(0, 0) and leaves the use count alone.
    virtual TRect2D PopulateProfile() = 0;
    // What a bounds update learns without building the profile: the box
    // PopulateProfile would return (to the last bit) and whether it would
    // build a profile. Nothing (the default) when the curve cannot tell; the
    // profile is then built on every bounds update.
    struct TProfileBox {
        TRect2D Box;
        bool Profile = false;
    };
    virtual std::optional<TProfileBox> ProfileBox() { return std::nullopt; }
    // The points PopulateProfile would put in the profile now (to the last
    // bit), without building it: points gets them (none when it would
    // build no profile) and the answer is true. False (the default) when the
    // curve cannot tell. A curve whose profile is owed is drawn from these,
    // so that showing a drawing builds no profile.
    virtual bool ProfilePointsWithoutProfile(std::vector<TPoint2D>& points)
    {
        (void)points;
        return false;
    }
    // True while an owed profile is being built (PopulateProfile then shows
    // nothing in the live read-out: it already did at the bounds update).
    bool BuildingOwedProfile() const { return m_BuildingOwed; }
    // The common first step of PopulateProfile: empties the existing profile
    // or creates one of that capacity, makes it growable and adds one use.
    TPointsSet2D& PrepareProfile(int capacity);

    // A lines object of the profile points (markers hidden, the entity's
    // scene pen, each point through the model transform at Z = 0) in group,
    // read inside a profile bracket; its id, NoSceneNode without a scene or
    // without a profile.
    TSceneNodeId AddCurveLines(TSceneNodeId group);

    // The empty box (0, 0)-(0, 0) of a curve without profile.
    static TRect2D EmptyBox();

private:
    // Drops one use; at 0 or below the profile is freed and the count is 0.
    void ReleaseProfile();
    // Frees the profile and forgets every use.
    void DropProfile();
    // Builds an owed profile; nothing when none is owed.
    void BuildOwedProfile();

    bool m_KeepProfile = true;
    int16_t m_Segments = 0;
    std::unique_ptr<TPointsSet2D> m_Profile;
    int32_t m_ProfileUseCount = 0;
    // The kept profile is owed: m_Profile is missing or out of date and is
    // built on the next read.
    std::atomic<bool> m_ProfileOwed = false;
    bool m_BuildingOwed = false;
};
