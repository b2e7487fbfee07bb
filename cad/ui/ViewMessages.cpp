#include "cad/ui/ViewMessages.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>
#include <utility>

namespace {

// Windows virtual-key codes used below by name.
constexpr int16_t VkNumpad0 = 0x60;
constexpr int16_t VkMultiply = 0x6A;
constexpr int16_t VkAdd = 0x6B;
constexpr int16_t VkSubtract = 0x6D;
constexpr int16_t VkDecimal = 0x6E;
constexpr int16_t VkDivide = 0x6F;
constexpr int16_t VkF1 = 0x70;

// Keys whose code does not follow from the character.
constexpr std::pair<int, int16_t> SpecialKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Backtab, 0x09},   {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},    {Qt::Key_Shift, 0x10},     {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},       {Qt::Key_Pause, 0x13},    {Qt::Key_CapsLock, 0x14},  {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},     {Qt::Key_PageUp, 0x21},   {Qt::Key_PageDown, 0x22},  {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},     {Qt::Key_Up, 0x26},        {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},      {Qt::Key_Print, 0x2C},    {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Meta, 0x5B},      {Qt::Key_Menu, 0x5D},     {Qt::Key_NumLock, 0x90},   {Qt::Key_ScrollLock, 0x91},
};

// Characters of the main block: their code, on a US layout.
constexpr std::pair<int, int16_t> CharacterKeys[] = {
    // Shifted digits.
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    // Punctuation and its shifted forms (the OEM keys).
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
};

// The numeric pad's own codes (with the keypad modifier).
constexpr std::pair<int, int16_t> KeypadKeys[] = {
    {Qt::Key_Asterisk, VkMultiply}, {Qt::Key_Plus, VkAdd},         {Qt::Key_Minus, VkSubtract},
    {Qt::Key_Period, VkDecimal},    {Qt::Key_Comma, VkDecimal},    {Qt::Key_Slash, VkDivide},
};

template <size_t N>
int16_t Lookup(const std::pair<int, int16_t> (&table)[N], int key)
{
    for (const auto& [qtKey, code] : table) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

int32_t DevicePixel(qreal logical, qreal ratio)
{
    return static_cast<int32_t>(std::lround(logical * ratio));
}

} // namespace

int16_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return static_cast<int16_t>(VkNumpad0 + (qtKey - Qt::Key_0));
        if (const int16_t code = Lookup(KeypadKeys, qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<int16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<int16_t>(VkF1 + (qtKey - Qt::Key_F1));
    if (const int16_t code = Lookup(SpecialKeys, qtKey))
        return code;
    return Lookup(CharacterKeys, qtKey);
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    shift.Shift = modifiers.testFlag(Qt::ShiftModifier);
    shift.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    shift.Alt = modifiers.testFlag(Qt::AltModifier);
    shift.Left = buttons.testFlag(Qt::LeftButton);
    shift.Right = buttons.testFlag(Qt::RightButton);
    shift.Middle = buttons.testFlag(Qt::MiddleButton);
    return shift;
}

TViewMessage KeyViewMessage(const QKeyEvent& event, bool down, Qt::MouseButtons buttons)
{
    TViewMessage message;
    message.Kind = down ? TViewMessageKind::KeyDown : TViewMessageKind::KeyUp;
    message.Key = VirtualKeyFromQt(event.key(), event.modifiers());
    message.Shift = ShiftStateFromQt(event.modifiers(), buttons);
    return message;
}

TViewMessage MouseViewMessage(const QMouseEvent& event, qreal devicePixelRatio)
{
    TViewMessage message;
    message.X = DevicePixel(event.position().x(), devicePixelRatio);
    message.Y = DevicePixel(event.position().y(), devicePixelRatio);
    message.Shift = ShiftStateFromQt(event.modifiers(), event.buttons());
    const bool left = event.button() == Qt::LeftButton;
    const bool right = event.button() == Qt::RightButton;
    switch (event.type()) {
    case QEvent::MouseMove:
        message.Kind = TViewMessageKind::MouseMove;
        break;
    case QEvent::MouseButtonPress:
        message.Kind = left ? TViewMessageKind::LeftButtonDown
                            : (right ? TViewMessageKind::RightButtonDown : TViewMessageKind::Other);
        break;
    case QEvent::MouseButtonRelease:
        message.Kind = left ? TViewMessageKind::LeftButtonUp
                            : (right ? TViewMessageKind::RightButtonUp : TViewMessageKind::Other);
        break;
    case QEvent::MouseButtonDblClick:
        message.Kind = left ? TViewMessageKind::LeftDoubleClick
                            : (right ? TViewMessageKind::RightDoubleClick : TViewMessageKind::Other);
        break;
    default:
        message.Kind = TViewMessageKind::Other;
        break;
    }
    return message;
}
