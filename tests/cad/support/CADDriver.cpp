#include "tests/cad/support/CADDriver.h"

#include "cad/program/EventGuard.h"

#include <cmath>
#include <utility>

namespace kbtest {

std::optional<TPoint3D> TFakeCADView::ScreenToWorld(int32_t x, int32_t y) const
{
    if (NoPointAt && NoPointAt(x, y))
        return std::nullopt;
    return TPoint3D{(x - OriginX) / Scale, (OriginY - y) / Scale, 0.0, 1.0};
}

TIntPoint TFakeCADView::PixelOf(const TPoint2D& p) const
{
    return {static_cast<int32_t>(std::lround(p.X * Scale + OriginX)),
            static_cast<int32_t>(std::lround(OriginY - p.Y * Scale))};
}

TRecordingShell::TRecordingShell() : m_Previous(SetShellServices(this))
{
    for (TToolWinText field : {TToolWinText::TransRepeat, TToolWinText::RotateRepeat, TToolWinText::ScaleRepeat,
                               TToolWinText::OffsetDist})
        Texts[field] = "1";
    Texts[TToolWinText::NumPtAlong] = "3";
    Texts[TToolWinText::HoleDia] = "1";
}

TRecordingShell::~TRecordingShell() { SetShellServices(m_Previous); }

void TRecordingShell::QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param)
{
    Ends.push_back({operation, param, sender.Suspended()});
}

void TRecordingShell::GraphicViewMouseMove2D(const TShiftState&, double worldX, double worldY, int32_t x, int32_t y)
{
    MouseMoves.push_back({worldX, worldY, x, y});
}

void TRecordingShell::ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey,
                                int32_t clientWidth, int32_t clientHeight)
{
    Pages.push_back({tabs, captionKey, clientWidth, clientHeight});
}

std::string TRecordingShell::ToolWinText(TToolWinText field) const
{
    const auto it = Texts.find(field);
    return it == Texts.end() ? std::string() : it->second;
}

bool TRecordingShell::ToolWinChecked(TToolWinCheck check) const
{
    const auto it = Checks.find(check);
    return it != Checks.end() && it->second;
}

int32_t TRecordingShell::ToolWinItemIndex(TToolWinIndex list) const
{
    const auto it = Indexes.find(list);
    return it == Indexes.end() ? -1 : it->second;
}

TCADDriver::TCADDriver(TQV_00Prog& prg, TFakeCADView& view, TRecordingShell& shell)
    : TCADDriver(prg, view, [&view](const TPoint2D& p) { return view.PixelOf(p); }, shell)
{
}

TCADDriver::TCADDriver(TQV_00Prog& prg, TCADViewPort& view, TPixelOf pixelOf, TRecordingShell& shell)
    : m_Prg(prg), m_View(view), m_PixelOf(std::move(pixelOf)), m_Shell(shell)
{
    m_Prg.SetViewPortGL(&m_View);
    ConnectShell(m_Prg, m_Shell);
}

TShiftState TCADDriver::HeldShift() const
{
    TShiftState s = Shift;
    s.Left = s.Left || m_LeftHeld;
    s.Right = s.Right || m_RightHeld;
    s.Middle = s.Middle || m_MiddleHeld;
    return s;
}

void TCADDriver::Send(TViewMessageKind kind, int16_t key)
{
    TViewMessage message;
    message.Kind = kind;
    message.X = m_X;
    message.Y = m_Y;
    message.Shift = HeldShift();
    message.Key = key;
    // As the widget does: nothing that a state throws leaves the handler.
    GuardedCall([&] { m_View.DispatchViewMessage(message); });
}

void TCADDriver::MovePixel(int32_t x, int32_t y)
{
    m_X = x;
    m_Y = y;
    Send(TViewMessageKind::MouseMove);
}

void TCADDriver::MoveTo(const TPoint2D& p)
{
    const TIntPoint px = m_PixelOf(p);
    MovePixel(px.X, px.Y);
}

void TCADDriver::Down(TMouseButton button)
{
    switch (button) {
    case TMouseButton::Left:
        m_LeftHeld = true;
        Send(TViewMessageKind::LeftButtonDown);
        break;
    case TMouseButton::Right:
        m_RightHeld = true;
        Send(TViewMessageKind::RightButtonDown);
        break;
    case TMouseButton::Middle:
        m_MiddleHeld = true;
        Send(TViewMessageKind::Other);
        break;
    case TMouseButton::Other:
        Send(TViewMessageKind::Other);
        break;
    }
}

void TCADDriver::Up(TMouseButton button)
{
    switch (button) {
    case TMouseButton::Left:
        m_LeftHeld = false;
        Send(TViewMessageKind::LeftButtonUp);
        break;
    case TMouseButton::Right:
        m_RightHeld = false;
        Send(TViewMessageKind::RightButtonUp);
        break;
    case TMouseButton::Middle:
        m_MiddleHeld = false;
        Send(TViewMessageKind::Other);
        break;
    case TMouseButton::Other:
        Send(TViewMessageKind::Other);
        break;
    }
}

void TCADDriver::ClickPixel(int32_t x, int32_t y, TMouseButton button)
{
    MovePixel(x, y);
    Down(button);
    Up(button);
}

void TCADDriver::Click(const TPoint2D& p, TMouseButton button)
{
    const TIntPoint px = m_PixelOf(p);
    ClickPixel(px.X, px.Y, button);
}

void TCADDriver::DoubleClick(const TPoint2D& p, TMouseButton button)
{
    Click(p, button);
    switch (button) {
    case TMouseButton::Left:
        m_LeftHeld = true;
        Send(TViewMessageKind::LeftDoubleClick);
        break;
    case TMouseButton::Right:
        m_RightHeld = true;
        Send(TViewMessageKind::RightDoubleClick);
        break;
    case TMouseButton::Middle:
    case TMouseButton::Other:
        Send(TViewMessageKind::Other);
        break;
    }
    Up(button);
}

void TCADDriver::Drag(const TPoint2D& from, const TPoint2D& to)
{
    MoveTo(from);
    Down(TMouseButton::Left);
    MoveTo(to);
    Up(TMouseButton::Left);
}

void TCADDriver::KeyDown(int16_t key) { Send(TViewMessageKind::KeyDown, key); }

void TCADDriver::KeyUp(int16_t key) { Send(TViewMessageKind::KeyUp, key); }

void TCADDriver::Repaint() { Send(TViewMessageKind::Invalidate); }

void TCADDriver::Enter() { m_Prg.SendUserEvent(TCADUserEvent::Accept); }

void TCADDriver::Esc() { m_Prg.CancelOperation(); }

void TCADDriver::User(TCADUserEvent code) { m_Prg.SendUserEvent(code); }

void TCADDriver::TypePoint(const TPoint2D& p)
{
    m_Prg.SetCursorPoint(p);
    m_Prg.SendMouseEvent(TCADEventKind::MouseDown, TMouseButton::Left, TShiftState(), 0);
}

void TCADDriver::EditToolWin(TToolWinText field, const std::string& text)
{
    m_Shell.SetToolWinText(field, text);
    switch (field) {
    case TToolWinText::TransDx:
    case TToolWinText::TransDy:
        User(TCADUserEvent::Translation);
        break;
    case TToolWinText::RotateAngle:
        User(TCADUserEvent::RotateAngle);
        break;
    case TToolWinText::ScaleX:
    case TToolWinText::ScaleY:
        User(TCADUserEvent::ScaleFactor);
        break;
    default:
        break;
    }
}

void TCADDriver::ChooseMirrorAxis(int32_t index)
{
    m_Shell.Indexes[TToolWinIndex::MirrorAxis] = index;
    User(TCADUserEvent::MirrorAxis);
}

} // namespace kbtest
