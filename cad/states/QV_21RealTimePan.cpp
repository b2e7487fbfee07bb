#include "cad/states/QV_21RealTimePan.h"

#include "cad/scene/ProgramScene.h"
#include "cad/scene/ViewCursors.h"

TQV_21RealTimePan::TQV_21RealTimePan(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_20PrgZoomState(prg, std::move(param), nextState)
{
    SetPromptSlot(2);
    if (const TQVScene* scene = ProgramScene(Program()))
        m_SavedTarget = scene->Camera().Target();
    Program().UsaSnap = true;
}

bool TQV_21RealTimePan::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQVScene* scene = ProgramScene(Program());
    if (event.Kind == TCADEventKind::MouseMove) {
        if (m_Dragging) {
            // The cursor point was taken with the camera where it is now, so
            // after the shift the grabbed point lies under the cursor again.
            const TPoint2D cursor = Program().GetCursorPoint();
            if (scene) {
                const osg::Vec3d shift(m_PressPoint.X - cursor.X, m_PressPoint.Y - cursor.Y, 0.0);
                scene->SetCameraTarget(scene->Camera().Target() + shift);
            }
        } else if (!m_PanCursorShown) {
            m_PanCursorShown = true;
            if (scene)
                scene->SetViewCursor(CursorId(TViewCursor::Pan));
        }
        return false;
    }
    if (event.IsMouseDown(TCADButton::Left)) {
        m_Dragging = true;
        m_PressPoint = Program().GetCursorPoint();
        return false;
    }
    if (event.IsMouseUp(TCADButton::Left)) {
        m_Dragging = false;
        if (scene)
            scene->SetViewCursor(CursorId(TViewCursor::Cross));
        nextState = Program().IdleClass();
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        if (scene)
            scene->SetCameraTarget(m_SavedTarget);
        nextState = Program().IdleClass();
        return true;
    }
    if (event.IsUser(TCADUserEvent::Accept)) {
        nextState = Program().IdleClass();
        return true;
    }
    return false;
}
