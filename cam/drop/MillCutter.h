#pragma once
// Milling cutters and the drop of a cutter onto one triangle. A drop lowers
// the cutter along Z at a fixed X and Y until it first touches the triangle:
// the cutter location's Z only ever rises to the lowest height at which the
// tool touches nothing of the triangle below it. The triangle is tried on
// its facet, its three vertices and its three edges.
//
// Each cutter is a solid of revolution described by Height(r), the height of
// its profile above the tip at distance r from the axis, and Width(h), the
// radius of the profile at height h. Radius and length are doubles, the
// geometry is single precision as the triangles are.

#include "cam/drop/CutterPoint.h"

#include <memory>

class TTri;
class TDatiUtFresa;

// In the frame of an edge: the CL point at the origin, the edge at lateral
// distance d (the common y of P1 and P2), u along it.
struct TEdgeFramePoint {
    float U = 0.0f;
    float D = 0.0f;
    float Z = 0.0f;
};

// The answer of an edge drop in the frame: the contact's u and the tip's z.
struct TEdgeDropResult {
    float U = 0.0f;
    float Z = 0.0f;
};

class TMillCutter {
public:
    virtual ~TMillCutter() = default;

    double Radius() const { return m_Radius; }
    double CornerRadius() const { return m_CornerRadius; }
    double Length() const { return m_Length; }

    // The square x +- R, y +- R of the location meets the triangle's box in
    // X and Y (touching counts).
    bool Overlaps(const TCLPoint& cl, const TTri& triangle) const;
    // Raises cl onto the triangle; true when it was lifted. Nothing happens
    // when cl is not below the triangle's highest point.
    bool DropOnTriangle(TCLPoint& cl, const TTri& triangle) const;

    bool VertexDrop(TCLPoint& cl, const TTri& triangle) const;
    bool EdgeDrop(TCLPoint& cl, const TTri& triangle) const;
    virtual bool FacetDrop(TCLPoint& cl, const TTri& triangle) const;
    virtual TEdgeDropResult EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const = 0;
    // -1 beyond the radius, where the cutter has no profile.
    virtual double Height(double r) const = 0;
    virtual double Width(double h) const = 0;

protected:
    TMillCutter(double radius, double cornerRadius, double length)
        : m_Radius(radius), m_CornerRadius(cornerRadius), m_Length(length) {}

    // The facet drop of the cutters whose lowest facet contact is one point
    // of a torus (flat, ball and bull nose are its degenerate cases).
    bool FacetDropByNormal(TCLPoint& cl, const TTri& triangle) const;

    double m_Radius;
    double m_CornerRadius;
    double m_Length;
    float m_XYNormalLength = 0.0f;
    float m_NormalLength = 0.0f;
    float m_CentreHeight = 0.0f;
};

class TCutterPiatto : public TMillCutter {
public:
    TCutterPiatto(double radius, double length);
    TEdgeDropResult EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const override;
    double Height(double r) const override;
    double Width(double h) const override;
};

class TCutterToroidale : public TMillCutter {
public:
    TCutterToroidale(double radius, double cornerRadius, double length);
    TEdgeDropResult EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const override;
    double Height(double r) const override;
    double Width(double h) const override;

private:
    float m_R1; // radius of the ring of corner centres
};

class TCutterSferico : public TMillCutter {
public:
    TCutterSferico(double radius, double length);
    TEdgeDropResult EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const override;
    double Height(double r) const override;
    double Width(double h) const override;
};

// A cone with its point at the tip: profile r = h tan(alpha) up to the
// radius, reached at the height H = R / tan(alpha).
class TCutterConico : public TMillCutter {
public:
    TCutterConico(double radius, double angleDeg, double length);
    bool FacetDrop(TCLPoint& cl, const TTri& triangle) const override;
    TEdgeDropResult EdgeDropInFrame(const TEdgeFramePoint& p1, const TEdgeFramePoint& p2) const override;
    double Height(double r) const override;
    double Width(double h) const override;

    float Alpha() const { return m_Alpha; }
    float ConeHeight() const { return m_CentreHeight; }

private:
    float m_Alpha; // radians
};

// The cutter of a mill record: its ToolType (0 flat, 1 bull nose, 2 ball,
// 3 cone), Diameter, CornerRadius, ToolAngle (degrees) and ToolLength.
// A bull nose whose corner radius is within the system tolerance of 0 is a
// flat end mill, and one within the tolerance of the radius a ball. Raises
// ECADSysException for a tool type without a cutter shape (drill point,
// undefined), a diameter that is not positive, a corner radius beyond the
// radius and a cone angle outside 0..90 degrees.
std::unique_ptr<TMillCutter> CreateMillCutter(const TDatiUtFresa& tool);
