#pragma once
// The modifier keys and mouse buttons held while a key or mouse message
// arrived, shared by the scene view and the interaction program.

// Modifier keys and pressed buttons of a mouse event.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;
};
