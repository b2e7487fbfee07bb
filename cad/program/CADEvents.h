#pragma once
// The events of the interaction program: the shift state of a key or mouse
// message, the view messages that the scene widget hands to the program, and
// the CAD events that the program hands to the current state.
//
// Key codes are Windows virtual key codes (13 Enter, 27 Escape, ...); the
// widget translates its toolkit's keys into them. Mouse positions are viewer
// pixels, origin top-left, Y downwards.

#include "cad/program/ShiftState.h"

#include <cstdint>

// The kinds of CAD event, numbered as the states test them.
enum class TCADEventKind : uint8_t {
    MouseMove = 0,
    MouseDown = 1,
    MouseUp = 2,
    DblClick = 3,
    KeyDown = 4,
    KeyUp = 5,
    Repaint = 6,
    User = 7, // the key carries a TCADUserEvent code
};

// The button of a CAD event.
enum class TCADButton : uint8_t { None = 0, Left = 1, Right = 2, Middle = 3 };

// The codes of user events (kind User), sent by the main window, the tool
// window and the properties panel through SendUserEvent.
enum class TCADUserEvent : int16_t {
    Accept = 1,       // Enter, Done, the OK buttons of the pages
    Cancel = 2,       // Escape; also sent before another command starts
    ClosePath = 3,    // close the polyline or spline being drawn
    RotateAngle = 4,  // rotation angle edited
    ScaleFactor = 5,  // scale factors edited
    Translation = 6,  // translation edited
    StepBack = 7,     // step back one vertex of the polyline or spline
    MirrorAxis = 8,   // mirror axis chosen
};

// One event as the current state receives it.
struct TCADEvent {
    TCADEventKind Kind = TCADEventKind::MouseMove;
    TCADButton Button = TCADButton::None;
    TShiftState Shift;
    int16_t Key = 0; // virtual key code, the last key held, or the user code

    bool IsUser(TCADUserEvent code) const { return Kind == TCADEventKind::User && Key == static_cast<int16_t>(code); }
    bool IsMouseDown(TCADButton button) const { return Kind == TCADEventKind::MouseDown && Button == button; }
    bool IsMouseUp(TCADButton button) const { return Kind == TCADEventKind::MouseUp && Button == button; }
};

// The button held in a shift state, left tested first; None without one.
constexpr TCADButton HeldButton(const TShiftState& shift)
{
    if (shift.Left)
        return TCADButton::Left;
    if (shift.Right)
        return TCADButton::Right;
    if (shift.Middle)
        return TCADButton::Middle;
    return TCADButton::None;
}

// A mouse button as the widget toolkit reports it.
enum class TMouseButton : uint8_t { Left, Right, Middle, Other };

// The view messages the scene widget forwards to the interaction program.
// Only these are mapped to CAD events; Other stands for every message the
// program leaves alone (middle button, wheel, ...).
enum class TViewMessageKind : uint8_t {
    KeyDown,
    KeyUp,
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftDoubleClick,
    RightButtonDown,
    RightButtonUp,
    RightDoubleClick,
    // The view has repainted itself; sent after the view's own painting.
    Invalidate,
    Other,
};

struct TViewMessage {
    TViewMessageKind Kind = TViewMessageKind::Other;
    int32_t X = 0; // mouse messages
    int32_t Y = 0;
    TShiftState Shift;
    int16_t Key = 0; // key messages
};
