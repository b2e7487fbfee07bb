#pragma once
// The real-time pan, run nested over a suspendable command (or as a command
// of its own while idle): one press-drag-release moves the view so that the
// drawing point grabbed at the press follows the cursor.
//
// Construction keeps the camera target and switches UsaSnap on. Before the
// press the first mouse move shows the pan cursor; while the left button is
// held every move shifts the camera target by (press point - cursor point);
// the release shows the cross cursor and ends the pan. Cancel puts the
// camera target back where it was and ends; accept ends where it is. Not
// suspendable; uses its command's parameter (borrowed) and frees nothing.

#include "cad/states/QV_20PrgZoomState.h"
#include "core/geometry/Points.h"

#include <osg/Vec3d>

#include <string_view>

class TQV_21RealTimePan : public TQV_20PrgZoomState {
public:
    static constexpr std::string_view ClassName = "TQV_21RealTimePan";
    TQV_21RealTimePan(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;

private:
    bool m_Dragging = false;
    bool m_PanCursorShown = false;
    TPoint2D m_PressPoint;
    osg::Vec3d m_SavedTarget;
};
