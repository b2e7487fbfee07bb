#pragma once
// TOutline2D: the base of the entities that trace a line through the
// drawing (polylines, polygons and every curve). Their outline is a list of
// profile points in the entity's own coordinates (before the model
// transform): for polylines the control points themselves, for curves a
// list computed from the control points and cached.
//
// Protocol: a reader of profile points brackets its reading with
// BeginUseProfilePoints and EndUseProfilePoints (TProfilePointsUse does
// both), because a curve may build its profile only for the bracket.

#include "core/entities/Primitive2D.h"

class TOutline2D : public TPrimitive2D {
public:
    // The points set that traces the outline, in the entity's own
    // coordinates. Valid until the entity changes or the bracket ends.
    virtual const TPointsSet2D& ProfilePoints() = 0;
    virtual int ProfilePointsCount() = 0;
    // At least 3 profile points and the first the same point as the last
    // (IsSamePoint2D, system tolerance); read inside its own bracket.
    virtual bool IsClosed();

    // Nothing at this level.
    virtual void BeginUseProfilePoints() {}
    virtual void EndUseProfilePoints() {}

protected:
    using TPrimitive2D::TPrimitive2D;
    TOutline2D(const TOutline2D& source, TCloneTag tag) : TPrimitive2D(source, tag) {}
};

// Holds the profile-points bracket of an outline for its lifetime, so that
// EndUseProfilePoints runs also when the reading raises.
class TProfilePointsUse {
public:
    explicit TProfilePointsUse(TOutline2D& outline) : m_Outline(outline) { m_Outline.BeginUseProfilePoints(); }
    ~TProfilePointsUse() { m_Outline.EndUseProfilePoints(); }
    TProfilePointsUse(const TProfilePointsUse&) = delete;
    TProfilePointsUse& operator=(const TProfilePointsUse&) = delete;

private:
    TOutline2D& m_Outline;
};
