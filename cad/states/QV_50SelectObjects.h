#pragma once
// The selection states that pick objects one click at a time, and the
// selection of one point. Each takes a TQV_50SelectObjectsParam (anything
// else raises ECADSysException "<name>: Invalid param", which aborts the
// command) and hands it, with the objects picked, to the parameter's
// after-state; without one the selection ends the operation.
//
// A click picks on the button release: the object nearest to the cursor
// point within the parameter's aperture (TQVScene::PickObject) counts when
// the cursor is on its outline, inside a closed outline or on one of its
// control points (pick code -99 or more; merely inside its box is not
// enough) and the parameter's class filter accepts it. Mouse moves keep the
// parameter's point at the cursor and draw the pick box there; the view's
// own repaints draw it again, and switch the highlights back on with the
// objects picked so far when a scene rebuild cleared the overlay.
//
//   TQV_50Seleziona1Ogg   one object; the pick hands over at once.
//   TQV_50Seleziona2Ogg   two objects: a pick of an object already chosen
//                         deselects it; the second distinct object hands
//                         over (with or without a selection callback).
//                         The cursor point of each pick goes to
//                         SelectionPickPoints at the count before the pick.
//                         Accept and cancel both end the operation.
//   TQV_50SelectObjects   any number: each pick toggles the object; accept
//                         hands over.
//   TQV_50SelectPuntiAndArchi  as TQV_50SelectObjects among points only
//                         (SelectPointsOnly set) or among circles and arcs.
//   TQV_50SelectPoint     one point: the cursor point at the release, in
//                         the parameter's Point; switches UsaSnap on.
//
// Cancel frees the parameter and ends the operation; the overlay is
// cleared whenever a state ends the operation.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/Points.h"

#include <array>
#include <string_view>

class TObject2D;

// The cursor points of the two picks of a two-object selection (entry 0 the
// first object's, entry 1 the second's); the two-object commands read them.
extern std::array<TPoint2D, 2> SelectionPickPoints;
// The points-only switch of the points-and-arcs selection, set by the tool
// window's chain-point button and cleared by its chain-arc button.
extern bool SelectPointsOnly;

// What the one-object and two-object selections share: the pick box at the
// cursor point and the pick.
class TQV_50PickState : public TQV_00State {
public:
    // Checks the parameter (message "<stateName>: Invalid param"), shows the
    // pick box at the parameter's point and switches the highlights on.
    TQV_50PickState(TQV_00CADProg& prg, TCADStateParam param, std::string_view stateName);

protected:
    TQV_50SelectObjectsParam& SelectParam() const;
    // Mouse move: the parameter's point follows the cursor and the pick box
    // is drawn there; repaint: the pick box again. True when the event was
    // one of these.
    bool TrackCursor(const TCADEvent& event);
    void DrawPickBox();
    // The highlights and the pick box on again, with the objects picked so
    // far, when a scene rebuild switched the overlay off.
    void KeepOverlay();
    // The object that a click at the parameter's point picks, or null; the
    // code goes to the parameter's LastPickCode.
    TObject2D* PickSelectable(int32_t& code);
    // Which objects a click may pick (PickObject by default).
    virtual TObject2D* Pick(const TPoint2D& p, uint16_t aperture, int32_t& code);
    // Calls the selection callback, when there is one, with the program
    // locked.
    void NotifySelected(TObject2D* object, bool added, int32_t code);
    // The parameter goes, the overlay is cleared, the operation ends.
    bool Cancel(TCADStateClass& nextState);
    // The parameter's after-state, or, without one, the parameter freed and
    // the end of the operation.
    TCADStateClass HandOver();

private:
    std::string_view m_StateName;
};

class TQV_50Seleziona1Ogg : public TQV_50PickState {
public:
    static constexpr std::string_view ClassName = "TQV_50Seleziona1Ogg";
    TQV_50Seleziona1Ogg(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
};

class TQV_50Seleziona2Ogg : public TQV_50PickState {
public:
    static constexpr std::string_view ClassName = "TQV_50Seleziona2Ogg";
    TQV_50Seleziona2Ogg(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    int32_t m_Count = 0;
};

class TQV_50SelectObjects : public TQV_50PickState {
public:
    static constexpr std::string_view ClassName = "TQV_50SelectObjects";
    TQV_50SelectObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
};

class TQV_50SelectPuntiAndArchi : public TQV_50SelectObjects {
public:
    static constexpr std::string_view ClassName = "TQV_50SelectPuntiAndArchi";
    using TQV_50SelectObjects::TQV_50SelectObjects;

protected:
    TObject2D* Pick(const TPoint2D& p, uint16_t aperture, int32_t& code) override;
};

class TQV_50SelectPoint : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_50SelectPoint";
    TQV_50SelectPoint(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
};
