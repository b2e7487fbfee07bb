#pragma once
// The Trim command: two picked entities (lines, arcs, circles) cut back or
// lengthened to one common intersection point. Each keeps the part on the
// side where it was picked and gets its loose end moved to the point, which
// also lengthens a line that did not reach it. It runs as TQV2D_Trim, the
// after-state of a two-object selection; its constructor does all the work
// and ends the command.
//
// Dispatch, circle handling and the wrong-kind message are the fillet's
// (cad/QV2D_Fillet.h): a picked circle first becomes a closed arc under a
// new ID, unjournaled, and stays one when nothing can be trimmed. Each
// trim records one step (kind 1, 2 or 3 with the two entities) before it
// rewrites them in drawing coordinates. Parallel lines, a line that misses
// the arc, or arcs without a usable intersection change nothing and show
// nothing.

#include "cad/edit/QV2D_Fillet.h"
#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/Points.h"

#include <string_view>

class TArco2D;
class TCerchio2D;
class TLine2D;
class TObject2D;
class TQV_00CADProg;
class TQV_01Cmp2D;

// Moves one end of the segment p1-p2 to x: an end equal to x (system
// tolerance) takes it; otherwise p1 when the pick lies beyond x in the
// direction p1 to p2, else p2.
void TrimLineEnd(TVector2D& p1, TVector2D& p2, const TVector2D& x, const TVector2D& pick);
// Moves one end point of the counter-clockwise arc from s to e about centre
// to x, a point of the arc: an end equal to x takes it; otherwise e when the
// pick's nearest point of the arc lies between s and x, else s.
void TrimArcEnd(TVector2D& s, TVector2D& e, const TVector2D& centre, const TVector2D& pick, const TVector2D& x);

// The pair routines; picks as for the fillet.
void TrimLineLine(TQV_01Cmp2D& document, TLine2D& l1, TLine2D& l2, const TPickPair& picks);
void TrimLineArc(TQV_01Cmp2D& document, TLine2D& line, TArco2D& arc, const TPickPair& picks);
void TrimArcLine(TQV_01Cmp2D& document, TArco2D& arc, TLine2D& line, const TPickPair& picks);
void TrimArcArc(TQV_01Cmp2D& document, TArco2D& a1, TArco2D& a2, const TPickPair& picks);
void TrimLineCircle(TQV_01Cmp2D& document, TLine2D& line, TCerchio2D& circle, const TPickPair& picks);
void TrimArcCircle(TQV_01Cmp2D& document, TArco2D& arc, TCerchio2D& circle, const TPickPair& picks);
void TrimCircleLine(TQV_01Cmp2D& document, TCerchio2D& circle, TLine2D& line, const TPickPair& picks);
void TrimCircleArc(TQV_01Cmp2D& document, TCerchio2D& circle, TArco2D& arc, const TPickPair& picks);
void TrimCircleCircle(TQV_01Cmp2D& document, TCerchio2D& c1, TCerchio2D& c2, const TPickPair& picks);

// The pair routine for the kinds of first and second; false (nothing done)
// when either is not a line, arc or circle.
bool TrimPair(TQV_01Cmp2D& document, TObject2D* first, TObject2D* second, const TPickPair& picks);

// The trim state, as the fillet's: the selected pair looked up by ID and
// trimmed with SelectionPickPoints, the information message for a wrong
// kind, the scene marked dirty, the command ended.
class TQV2D_Trim : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Trim";
    TQV2D_Trim(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The Trim button: panel page 27, a two-object selection (aperture 5) with
// onSelected and TQV2D_Trim after it, object snap off.
void StartTrimCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
