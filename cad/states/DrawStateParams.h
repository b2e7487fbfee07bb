#pragma once
// The parameters of the drawing and positioning states (cad/DrawSizedStates.h,
// cad/DrawUnsizedStates.h, cad/DrawArcStates.h, cad/PositionStates.h).
//
// Each parameter owns the entity or object it carries until the state that
// holds it adds it to the document (the document owns it from then on), or
// until the parameter is freed (cancel, stop: the entity goes with it). When
// the parameter names an after-state, the finished entity stays in the
// parameter and the after-state receives it there instead of the document.

#include "cad/program/QV_00CADPrgParam.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TArco2D;
class TEllipseOpen2D;
class TObject2D;
class TPrimitive2D;

// An object that follows the cursor until a click places it: a prepared
// entity (polar line, circle by diameter, polar arc) or a container (point
// grid, bolt circle, text) with TQV_40ExplodeContainer as after-state and the
// container also as user object.
class TQV_40PositionObjectParam : public TQV_00CommonParam {
public:
    TQV_40PositionObjectParam(TCADStateClass afterState, std::unique_ptr<TObject2D> object);
    ~TQV_40PositionObjectParam() override;

    // Null once the object has left the parameter.
    TObject2D* Object() const { return m_Object.get(); }
    // The object leaves the parameter (the caller owns it).
    std::unique_ptr<TObject2D> TakeObject();
    // The owning slot, from which the state adds the object to the
    // document (the object stays there when the document refuses it).
    std::unique_ptr<TObject2D>& ObjectSlot() { return m_Object; }

private:
    std::unique_ptr<TObject2D> m_Object;
};

// The row of the caller's dialog that a positioned container reports to: its
// X and Y fields and its apply button. Every member may be empty.
struct TPositionFields {
    // Write the field's text.
    std::function<void(const std::string& text)> SetXText;
    std::function<void(const std::string& text)> SetYText;
    // The fields' change operations (the caller stores the typed position).
    std::function<void()> XChanged;
    std::function<void()> YChanged;
    // The apply button's click handler.
    std::function<void()> ApplyClick;
};

// A container (a label's text outline) placed to fill the caller's X and Y
// fields; the container itself is only a preview and is freed.
class TQV_40PositionContainerParam : public TQV_40PositionObjectParam {
public:
    TQV_40PositionContainerParam(TCADStateClass afterState, std::unique_ptr<TObject2D> container,
                                 TPositionFields fields);

    TPositionFields Fields;
};

// A polyline or spline drawn click by click.
class TQV_40DrawUnSizedPrimitiveParam : public TQV_00CommonParam {
public:
    // orthoAllowed: the program's ortho mode may square the points (every
    // caller allows it); firstIndex: the control point that follows the
    // cursor first (0 for every caller).
    TQV_40DrawUnSizedPrimitiveParam(TCADStateClass afterState, bool orthoAllowed, uint16_t firstIndex,
                                    std::unique_ptr<TPrimitive2D> primitive);
    ~TQV_40DrawUnSizedPrimitiveParam() override;

    // Null once the entity has left the parameter.
    TPrimitive2D* Primitive() const { return m_Primitive.get(); }
    std::unique_ptr<TPrimitive2D>& PrimitiveSlot() { return m_Primitive; }

    // The index of the control point that follows the cursor.
    uint16_t CurrentIndex = 0;
    bool OrthoAllowed = true;

private:
    std::unique_ptr<TPrimitive2D> m_Primitive;
};

// A point, line, rectangle, circle or closed ellipse: a fixed number of
// clicks, one per control point of the prototype.
class TQV_40DrawSizedPrimitiveParam : public TQV_40DrawUnSizedPrimitiveParam {
public:
    // The unsized parameter, and PointCount := the prototype's control-point
    // count (0 without a prototype).
    static std::unique_ptr<TQV_40DrawSizedPrimitiveParam> CreateSized(TCADStateClass afterState, bool orthoAllowed,
                                                                      uint16_t firstIndex,
                                                                      std::unique_ptr<TPrimitive2D> primitive);
    TQV_40DrawSizedPrimitiveParam(TCADStateClass afterState, bool orthoAllowed, uint16_t firstIndex,
                                  std::unique_ptr<TPrimitive2D> primitive);

    // The number of control points to take.
    uint16_t PointCount = 0;
};

// An elliptical arc: two box corners, start point, end point.
class TQV_40DrawEOPrimitiveParam : public TQV_00CommonParam {
public:
    TQV_40DrawEOPrimitiveParam(TCADStateClass afterState, std::unique_ptr<TEllipseOpen2D> ellipse);
    ~TQV_40DrawEOPrimitiveParam() override;

    TEllipseOpen2D* Ellipse() const { return m_Ellipse.get(); }
    std::unique_ptr<TEllipseOpen2D>& EllipseSlot() { return m_Ellipse; }

    uint16_t CurrentIndex = 0;

private:
    std::unique_ptr<TEllipseOpen2D> m_Ellipse;
};

// An arc by centre, radius point, start and end, or an arc or circle
// through three points.
class TQV_40DrawArcoPrimitiveParam : public TQV_00CommonParam {
public:
    // arcFlag: true for an arc, false for a full circle (a closed arc with
    // both angles 0; only the three-point state draws one).
    TQV_40DrawArcoPrimitiveParam(TCADStateClass afterState, bool arcFlag, std::unique_ptr<TArco2D> arc);
    ~TQV_40DrawArcoPrimitiveParam() override;

    TArco2D* Arc() const { return m_Arc.get(); }
    std::unique_ptr<TArco2D>& ArcSlot() { return m_Arc; }

    uint16_t CurrentIndex = 0;
    bool ArcFlag = true;

private:
    std::unique_ptr<TArco2D> m_Arc;
};
