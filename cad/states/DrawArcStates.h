#pragma once
// The states that draw arcs and elliptical arcs.
//
// TQV_40DrawArcoPrimitive (TQV_40DrawArcoPrimitiveParam) and
// TQV_40DrawEOPrimitive (TQV_40DrawEOPrimitiveParam) take four clicks, one
// per control point: for the arc its centre, radius point, start point and
// end point; for the elliptical arc the two corners of its box, its start
// point and its end point. Points are snapped, never squared by the ortho
// mode. Between clicks the next point follows the cursor (drag object). At
// the second click both angle points go to angle 0 on the curve and the
// prompt asks for the angles. The fourth click adds the entity. Accept adds
// it as it stands once its first two points (centre and radius point, or
// the box) are taken; before that it is ignored.
//
// TQV_40DrawArco3Pt (TQV_40DrawArcoPrimitiveParam) draws an arc (arc flag
// set: from the first point through the second to the third) or a full
// circle (flag clear: a closed arc with both angles 0) through three
// clicked points. After each click the centre and the radius follow the
// cursor; at the third click they are taken from the three clicked points.
// Three aligned points show the warning "469" and end the command without
// adding anything. Accept before the third click is ignored.
//
// In all three states: adding records one undo step of a new object and ends
// the command; with an after-state named in the parameter the after-state
// receives the entity in the parameter instead. Cancel frees entity and
// parameter. A parameter of another class (or without entity) raises
// ECADSysException "TQV2D_DrawArcoPrimitive: Invalid param",
// "TQV_40DEOPP: Invalid param" or "TQV_40DrawArco3Pt: Invalid param".

#include "cad/states/DrawStateParams.h"
#include "cad/states/DrawingState.h"
#include "core/geometry/Points.h"

#include <array>
#include <string_view>

class TPrimitive2D;

// The shared steps of the two four-click states.
class TQV_40DrawFourPointState : public TQV_40DrawingState {
public:
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

protected:
    TQV_40DrawFourPointState(TQV_00CADProg& prg, TCADStateParam param);

    virtual TPrimitive2D& Entity() const = 0;
    virtual uint16_t& CurrentIndex() const = 0;
    // Both angle points at angle 0 of the curve as its first two points
    // now define it.
    virtual void ResetAngles() = 0;
    // To the after-state, or added to the document.
    virtual void Finish(TCADStateClass& nextState) = 0;
};

class TQV_40DrawArcoPrimitive : public TQV_40DrawFourPointState {
public:
    static constexpr std::string_view ClassName = "TQV_40DrawArcoPrimitive";
    TQV_40DrawArcoPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);

private:
    TQV_40DrawArcoPrimitiveParam& ArcParam() const;
    TPrimitive2D& Entity() const override;
    uint16_t& CurrentIndex() const override;
    void ResetAngles() override;
    void Finish(TCADStateClass& nextState) override;
};

class TQV_40DrawEOPrimitive : public TQV_40DrawFourPointState {
public:
    static constexpr std::string_view ClassName = "TQV_40DrawEOPrimitive";
    TQV_40DrawEOPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);

private:
    TQV_40DrawEOPrimitiveParam& EllipseParam() const;
    TPrimitive2D& Entity() const override;
    uint16_t& CurrentIndex() const override;
    void ResetAngles() override;
    void Finish(TCADStateClass& nextState) override;
};

class TQV_40DrawArco3Pt : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40DrawArco3Pt";
    TQV_40DrawArco3Pt(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

    // The clicked points in the arc's own coordinates (zero until taken)
    // and the centre last computed.
    const std::array<TPoint2D, 3>& Points() const { return m_Points; }
    const TPoint2D& Centre() const { return m_Centre; }

private:
    TQV_40DrawArcoPrimitiveParam& ArcParam() const;
    // Centre and radius of the circle through the three points.
    void ComputeCircle();
    // From the first point through the second to the third, or the closed
    // arc of a circle.
    void SetAngles();
    void Finish(TCADStateClass& nextState);

    std::array<TPoint2D, 3> m_Points{};
    TPoint2D m_Centre{};
};
