#pragma once
// The window rubber band that the zoom window and the window selection
// share: a first left click fixes one corner, the window follows the
// cursor, a second left click hands the window to the parameter's
// after-state.
//
//   TQV_52WinPrgSelect       left down: both corners at the cursor point,
//                            the view's rubber band shown; next
//                            TQV_51PrgDragSelectArea.
//   TQV_51PrgDragSelectArea  mouse move: the second corner follows the
//                            cursor (frame, rubber band, screen window;
//                            the band's start is the first corner's pixel
//                            in the view as it is now);
//                            repaint: the frame as the drag object; left
//                            down: the second corner at the cursor point,
//                            next the parameter's after-state.
//   Cancel in either: the overlay's rubber band and frame go, the
//   parameter is freed, the operation ends.
//
// Both expect a TQV_52WinPrgSelectParam and ignore every event but cancel
// with any other parameter. Neither sets the program's suspendable flag:
// the chain that runs them decides.

#include "cad/program/QV_00State.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Points.h"

#include <memory>
#include <string_view>

// The window parameter: the frame that follows the cursor and the screen
// window, with the parameter of the state that started the window.
class TQV_52WinPrgSelectParam : public TQV_00CADPrgParam {
public:
    // A frame with ID 0 and both corners at (0, 0). callerParam: the
    // parameter of the state that started the window, kept as handed over
    // (owned or borrowed) until TakeCallerParam; an owned one is freed with
    // the window parameter.
    TQV_52WinPrgSelectParam(TCADStateClass afterState, TCADStateParam callerParam);
    ~TQV_52WinPrgSelectParam() override;

    TFrame2D& Frame() { return *m_Frame; }
    // Corner 0 or 1 of the frame, drawing units.
    TPoint2D Corner(int index) const;
    void SetCorner(int index, const TPoint2D& p);
    // The frame's bounding box in drawing units.
    TRect2D GetFrameBox() const;

    // The rubber band's two opposite corners in viewer pixels as the view
    // keeps them: (Left, Top) the first corner, (Right, Bottom) the other;
    // not normalised.
    TIntRect ScreenWindow{};

    TQV_00CADPrgParam* CallerParam() const { return m_CallerParam.Get(); }
    TCADStateParam TakeCallerParam() { return std::move(m_CallerParam); }

private:
    std::unique_ptr<TFrame2D> m_Frame;
    TCADStateParam m_CallerParam;
};

// Takes the window off the view's overlay: the rubber-band bit, and the
// frame when it is the drag object shown. Called before the window
// parameter is freed.
void HideWindowOverlay(TQV_00CADProg& prg, TQV_52WinPrgSelectParam* param);

class TQV_52WinPrgSelect : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_52WinPrgSelect";
    TQV_52WinPrgSelect(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    void StopHook() override;
};

class TQV_51PrgDragSelectArea : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_51PrgDragSelectArea";
    TQV_51PrgDragSelectArea(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    void StopHook() override;

private:
    // The second corner at the cursor point.
    void FollowCursor();
};
