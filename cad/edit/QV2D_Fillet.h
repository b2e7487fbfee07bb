#pragma once
// The Fillet command: two picked entities (lines, arcs, circles) joined by
// a tangent arc of radius FilletRadius, both cut back or lengthened to the
// tangent points. It runs as TQV2D_Fillet, the after-state of a two-object
// selection; its constructor does all the work and ends the command.
//
// The pair routines below take a construct-only flag: set, they only add
// the tangent arc as a closed arc (start angle = end angle = 0) and record
// it as new (undo kind 20), leaving both entities' geometry alone; the
// tangent-circle command uses them so. Cleared, they add the fillet arc
// counter-clockwise over the smaller angle between the two tangent points,
// record the step (kind 4, 5 or 6 with the two entities, then the new arc)
// and rewrite both entities in drawing coordinates.
//
// A picked circle first becomes a closed arc under a new ID (on the
// circle's layer), unjournaled; it stays an arc also when no fillet exists.
// The fillet arc goes on the document's current layer.
//
// picks are the two selection pick points (entry 0 the first entity's,
// entry 1 the second's); only X and Y count. No fillet (parallel lines, a
// pick exactly on the other line, offset curves that do not meet) changes
// nothing and shows nothing.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Points.h"

#include <array>
#include <string_view>

class TArco2D;
class TCerchio2D;
class TLine2D;
class TObject2D;
class TQV_00CADProg;
class TQV_01Cmp2D;

// The radius of every fillet and of the tangent circle of radius R, in
// drawing units. Set by the commands' starters from the properties panel;
// kept between commands.
extern double FilletRadius;

using TPickPair = std::array<TPoint2D, 2>;

// The counter-clockwise span (radians, each at least 0) of the fillet arc
// between the directions v1 and v2 from its centre: over the smaller angle
// between them.
struct TArcSpan {
    double Start = 0.0;
    double End = 0.0;
};
TArcSpan FilletArcAngles(const TVector2D& v1, const TVector2D& v2);

// Moves one end of the segment p1-p2 to t: an end equal to t (system
// tolerance) takes it; otherwise p1 when the pick lies beyond t in the
// direction p1 to p2, else p2. The part on the picked side of t remains; a
// t outside the segment lengthens it.
void FilletLineEnd(TVector2D& p1, TVector2D& p2, const TVector2D& t, const TVector2D& pick);
// Moves one end angle of the arc to the angle of t, which must lie on the
// arc (on or right of the chord start to end; otherwise nothing changes):
// the start angle when t comes before the pick along the arc, else the end
// angle when t lies within the sweep.
void FilletArcEnd(TArcInfo2D& arc, const TVector2D& t, const TVector2D& pick);

// The pair routines (see the header comment).
void FilletLineLine(TQV_01Cmp2D& document, TLine2D& l1, TLine2D& l2, const TPickPair& picks, bool constructOnly);
void FilletLineArc(TQV_01Cmp2D& document, TLine2D& line, TArco2D& arc, const TPickPair& picks, bool constructOnly);
void FilletArcLine(TQV_01Cmp2D& document, TArco2D& arc, TLine2D& line, const TPickPair& picks, bool constructOnly);
void FilletArcArc(TQV_01Cmp2D& document, TArco2D& a1, TArco2D& a2, const TPickPair& picks, bool constructOnly);
void FilletLineCircle(TQV_01Cmp2D& document, TLine2D& line, TCerchio2D& circle, const TPickPair& picks,
                      bool constructOnly);
void FilletArcCircle(TQV_01Cmp2D& document, TArco2D& arc, TCerchio2D& circle, const TPickPair& picks,
                     bool constructOnly);
void FilletCircleLine(TQV_01Cmp2D& document, TCerchio2D& circle, TLine2D& line, const TPickPair& picks,
                      bool constructOnly);
void FilletCircleArc(TQV_01Cmp2D& document, TCerchio2D& circle, TArco2D& arc, const TPickPair& picks,
                     bool constructOnly);
void FilletCircleCircle(TQV_01Cmp2D& document, TCerchio2D& c1, TCerchio2D& c2, const TPickPair& picks,
                        bool constructOnly);

// The pair routine for the kinds of first and second; false (nothing done)
// when either is not a line, arc or circle.
bool FilletPair(TQV_01Cmp2D& document, TObject2D* first, TObject2D* second, const TPickPair& picks,
                bool constructOnly);

// The fillet state: the first and second selected objects, looked up again
// by ID in the document, are filleted with SelectionPickPoints; a wrong kind
// shows the information message "431" CR LF "432". Then the scene is marked
// dirty and the command ends. A parameter of another class only ends it.
class TQV2D_Fillet : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Fillet";
    TQV2D_Fillet(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The Fillet button: panel page 26, FilletRadius from its value 0, a
// two-object selection (aperture 5) with onSelected and TQV2D_Fillet after
// it, object snap off.
void StartFilletCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
// A cell of the fillet page was edited: FilletRadius follows the panel.
void FilletRadiusEdited();
