#include "cad/ui/ViewMessages.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

struct TKeyCase {
    int QtKey;
    Qt::KeyboardModifiers Modifiers;
    int16_t Expected;
};

TEST(ViewMessages, QtKeysBecomeWindowsVirtualKeys)
{
    const TKeyCase cases[] = {
        {Qt::Key_A, Qt::NoModifier, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_7, Qt::NoModifier, '7'},
        {Qt::Key_Escape, Qt::NoModifier, 27},
        {Qt::Key_Return, Qt::NoModifier, 13},
        {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_Delete, Qt::NoModifier, 46},
        {Qt::Key_Left, Qt::NoModifier, 37},
        {Qt::Key_Down, Qt::NoModifier, 40},
        {Qt::Key_F1, Qt::NoModifier, 0x70},
        {Qt::Key_F12, Qt::NoModifier, 0x7B},
        {Qt::Key_Shift, Qt::ShiftModifier, 16},
        {Qt::Key_Control, Qt::ControlModifier, 17},
        // Shifted characters give their key's code.
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Plus, Qt::ShiftModifier, 0xBB},
        {Qt::Key_Comma, Qt::NoModifier, 0xBC},
        {Qt::Key_Period, Qt::NoModifier, 0xBE},
        // The numeric pad has codes of its own.
        {Qt::Key_5, Qt::KeypadModifier, 0x65},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Period, Qt::KeypadModifier, 0x6E},
        {Qt::Key_Slash, Qt::KeypadModifier, 0x6F},
        {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const TKeyCase& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.QtKey, c.Modifiers), c.Expected) << "Qt key 0x" << std::hex << c.QtKey;
}

TEST(ViewMessages, KeyEventsCarryCodeAndShiftState)
{
    const QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::ShiftModifier | Qt::AltModifier);
    const TViewMessage down = KeyViewMessage(press, true, Qt::LeftButton);
    EXPECT_EQ(down.Kind, TViewMessageKind::KeyDown);
    EXPECT_EQ(down.Key, 27);
    EXPECT_TRUE(down.Shift.Shift);
    EXPECT_TRUE(down.Shift.Alt);
    EXPECT_FALSE(down.Shift.Ctrl);
    EXPECT_TRUE(down.Shift.Left);
    EXPECT_EQ(KeyViewMessage(press, false, Qt::NoButton).Kind, TViewMessageKind::KeyUp);
}

struct TMouseCase {
    QEvent::Type Type;
    Qt::MouseButton Button;
    Qt::MouseButtons Buttons;
    TViewMessageKind Expected;
};

TEST(ViewMessages, MouseEventsMapByTypeAndButton)
{
    const TMouseCase cases[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, TViewMessageKind::LeftButtonDown},
        {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, TViewMessageKind::LeftButtonUp},
        {QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, TViewMessageKind::LeftDoubleClick},
        {QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, TViewMessageKind::RightButtonDown},
        {QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, TViewMessageKind::RightButtonUp},
        {QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton, TViewMessageKind::RightDoubleClick},
        {QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, TViewMessageKind::Other},
        {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, TViewMessageKind::MouseMove},
    };
    for (const TMouseCase& c : cases) {
        const QPointF at(10.4, 20.6);
        const QMouseEvent event(c.Type, at, at, c.Button, c.Buttons, Qt::ControlModifier);
        const TViewMessage message = MouseViewMessage(event, 1.0);
        EXPECT_EQ(message.Kind, c.Expected) << "event type " << c.Type << ", button " << c.Button;
        EXPECT_EQ(message.X, 10);
        EXPECT_EQ(message.Y, 21);
        EXPECT_TRUE(message.Shift.Ctrl);
        EXPECT_EQ(message.Shift.Left, c.Buttons.testFlag(Qt::LeftButton));
    }
}

TEST(ViewMessages, MousePositionsAreDevicePixels)
{
    const QPointF at(10.25, 20.5);
    const QMouseEvent event(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    const TViewMessage message = MouseViewMessage(event, 2.0);
    EXPECT_EQ(message.X, 21); // 20.5 rounds up
    EXPECT_EQ(message.Y, 41);
}

} // namespace
