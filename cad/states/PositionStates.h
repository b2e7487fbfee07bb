#pragma once
// The states that place a prepared object with the mouse.
//
// Reference point of an object O (ReferencePoint): the left-bottom corner of
// its box; for a line its first control point, for a circle or arc its
// centre (each through O's transform); for a container the box corner
// minus the container's base point. Placing moves O by (snapped cursor
// point - reference point).
//
// TQV_40PositionObject (TQV_40PositionObjectParam): O follows the cursor as
// the drag object; a click places it at the clicked point (a typed point
// included) and adds it to the document with one undo step of a new object.
// With an after-state named in the parameter (TQV_40ExplodeContainer for
// the point grid, the bolt circle and the texts), the click places O and
// hands it, still in the parameter, to the after-state.
//
// TQV_40PosizionaContainer (TQV_40PositionContainerParam): as
// TQV_40PositionObject, but O is only a preview: while it follows the
// cursor the caller's X and Y fields show where its reference point is; a
// click places it there, writes the fields, frees O and calls the fields'
// change operations and then the apply button's handler (the caller takes
// the position from its fields). Nothing is added to the document.
//
// TQV_40ExplodeContainer (any positioning parameter, no check): adds every
// child of the container in the parameter's user object to the document
// with the container's transform, as one undo step of new objects whose IDs
// also go to BreakIDs in child order, frees the container and ends the
// command. Only a container that the parameter owns as its object is
// exploded; anything else ends the command with nothing added.
//
// Cancel frees O and the parameter and ends the command. A parameter of
// another class (or without object) raises ECADSysException
// "TQV_40PositionObject: Invalid param" or "TQV_40PosizionaContainer:
// Invalid param".

#include "cad/states/DrawStateParams.h"
#include "cad/states/DrawingState.h"
#include "core/geometry/Points.h"

#include <string_view>

class TObject2D;

// The point of O that placing puts at the cursor (see above).
TPoint2D ReferencePoint(const TObject2D& object);

class TQV_40PositionObject : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40PositionObject";
    TQV_40PositionObject(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    TQV_40PositionObjectParam& PositionParam() const;
};

class TQV_40PosizionaContainer : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40PosizionaContainer";
    TQV_40PosizionaContainer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    TQV_40PositionContainerParam& ContainerParam() const;
    // Moves O to the snapped point and shows it there in the fields.
    void Follow(TObject2D& object);
};

class TQV_40ExplodeContainer : public TQV_40DrawingState {
public:
    static constexpr std::string_view ClassName = "TQV_40ExplodeContainer";
    TQV_40ExplodeContainer(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};
