#pragma once
// Qt's key and mouse events as the view messages of the interaction program
// (cad/CADEvents.h). Keys become Windows virtual-key codes, as the states
// test them (13 Enter, 27 Escape, 'A'..'Z', ...); mouse positions become
// device pixels of the viewer (Qt's logical position times the device pixel
// ratio, rounded), origin top-left.

#include "cad/program/CADEvents.h"

#include <QtGlobal>
#include <Qt>

#include <cstdint>

class QKeyEvent;
class QMouseEvent;

// The virtual-key code of a Qt key. Keys that a US layout reaches with
// Shift (Qt reports "!" for Shift+1) give the code of their unshifted key;
// with the keypad modifier, digits and operators give the numeric-pad
// codes. 0 for a key that has no code.
int16_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// Modifier keys and held buttons.
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// A key press (down) or release. The shift state carries the modifiers and
// the buttons given.
TViewMessage KeyViewMessage(const QKeyEvent& event, bool down, Qt::MouseButtons buttons);

// A mouse press, release, double click or move. The middle button and every
// other button give kind Other (with the position), as do event types
// that are none of these four.
TViewMessage MouseViewMessage(const QMouseEvent& event, qreal devicePixelRatio);
