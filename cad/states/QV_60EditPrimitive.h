#pragma once
// Node editing: the control points of one entity are dragged on a copy of
// it shown on the overlay; accept gives the entity the copy's points (one
// undo step of kind 12), cancel leaves the entity as it was. The entity
// itself is not touched before accept.
//
// The command is three states: a one-object selection
// (TQV_50Seleziona1Ogg) with after-state TQV_60EditSelectedPrimitive, which
// hands its first object on as the user object of a plain parameter, and
// TQV_60EditPrimitive, which does the dragging:
// - left press: the copy's control point under the cursor (within the
//   aperture) is held; prompt slot 12 while one is held;
// - mouse move: the held point follows the snapped cursor point (taken
//   back through the copy's transform, so it lands under the cursor); the
//   pick box follows the cursor;
// - left release: nothing held; prompt slot 11;
// - accept (Enter, Done): the step is recorded and the entity takes the
//   copy's data; cancel: nothing changes. Both end the command; the scene is
//   rebuilt at its end.

#include "cad/program/QV_00State.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TPrimitive2D;

class TQV_60EditPrimitiveParam : public TQV_00CADPrgParam {
public:
    // The copy is a clone of entity (same class, same data) that no
    // document holds, with ID 0. ECADSysException "TQV_EditPrimitive: Only
    // registered classes are allowed" when the entity's class is not in
    // the class registry or cannot be copied.
    TQV_60EditPrimitiveParam(TQV_00CADProg& prg, TPrimitive2D& entity, int32_t aperture);
    // The copy leaves the view's overlay and goes; the scene is marked for
    // the rebuild at the end of the command.
    ~TQV_60EditPrimitiveParam() override;

    TPrimitive2D& Copy() const { return *m_Copy; }
    TPrimitive2D& Entity() const { return m_Entity; }
    int32_t Aperture() const { return m_Aperture; }
    // The index of the copy's control point being dragged; -1 when none.
    int32_t HeldPoint = -1;

private:
    TQV_00CADProg& m_Program;
    TPrimitive2D& m_Entity;
    std::unique_ptr<TPrimitive2D> m_Copy;
    int32_t m_Aperture;
};

// Takes the first object of a TQV_50SelectObjectsParam; anything else, or
// a first object that is not a primitive, raises ECADSysException
// "TQV_51EditSelectedPrimitive: Invalid param".
class TQV_60EditSelectedPrimitive : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_60EditSelectedPrimitive";
    TQV_60EditSelectedPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// Takes a parameter whose user object is a primitive; otherwise
// ECADSysException "TQV2D_EditPrimitive: Invalid param".
class TQV_60EditPrimitive : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_60EditPrimitive";
    static constexpr int32_t DefaultAperture = 5;

    TQV_60EditPrimitive(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    TQV_60EditPrimitiveParam& EditParam() const;
    // The pick box: the square of plus and minus the aperture in pixels
    // around the point's pixel.
    void DrawPickBox(const TPoint2D& point);
};
