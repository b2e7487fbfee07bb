// TQVScene: the overlay drawn in viewer pixels on top of the scene, and the
// mouse navigation of the viewer.

#include "cad/scene/QVScene.h"

#include "core/settings/AppConfig.h"
#include "core/model/GraphicObject.h"
#include "core/settings/NumberText.h"

#include <osg/Light>

#include <cmath>

namespace {

constexpr uint32_t OverlayRed = 0x000000FF;
constexpr uint32_t OverlayYellow = 0x0000FFFF;

// Delphi's Round (ties to even) for the small pixel offsets of the tripod.
int32_t RoundPixel(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

// The axis letters as pixel segments around (x, y).
void DrawAxisLetter(TCanvas2D& canvas, char letter, int32_t x, int32_t y)
{
    switch (letter) {
    case 'X':
        canvas.Line(x - 3, y - 4, x + 3, y + 4);
        canvas.Line(x + 3, y - 4, x - 3, y + 4);
        break;
    case 'Y':
        canvas.Line(x - 3, y - 4, x, y);
        canvas.Line(x, y, x + 3, y - 4);
        canvas.Line(x, y, x, y + 4);
        break;
    default:
        canvas.Line(x - 3, y - 3, x + 3, y - 3);
        canvas.Line(x + 3, y - 3, x - 3, y + 4);
        canvas.Line(x - 3, y + 4, x + 3, y + 4);
        break;
    }
}

std::vector<TIntPoint> Strip(const std::array<TIntPoint, 5>& points)
{
    return std::vector<TIntPoint>(points.begin(), points.end());
}

} // namespace

// --- Overlay state ----------------------------------------------------------

void TQVScene::SetOverlayMode(uint8_t mode)
{
    m_OverlayMode = mode;
    InvalidateOverlay();
}

void TQVScene::ShowDragObject(TObject2D* obj)
{
    m_OverlayMode |= OverlayBits::Drag;
    m_DragObject = obj;
    InvalidateOverlay();
}

void TQVScene::HideDragObject(const TObject2D* obj)
{
    if (obj && obj != m_DragObject)
        return;
    m_OverlayMode &= static_cast<uint8_t>(~OverlayBits::Drag);
    m_DragObject = nullptr;
    InvalidateOverlay();
}

void TQVScene::ShowHighlights(uint8_t arg)
{
    m_OverlayMode |= OverlayBits::Highlights;
    m_PickBoxShown = true;
    m_HighlightArg = arg;
    InvalidateOverlay();
}

void TQVScene::ShowHighlightsOnly()
{
    m_OverlayMode = OverlayBits::HighlightsOnly;
    InvalidateOverlay();
}

void TQVScene::ClearOverlay()
{
    // The list and the drag object are let go in every mode: a list filled
    // while the overlay was idle would otherwise outlive its objects.
    m_HighlightList.clear();
    m_DragObject = nullptr;
    if (m_OverlayMode == OverlayBits::Idle)
        return;
    m_OverlayMode = OverlayBits::Idle;
    InvalidateOverlay();
}

void TQVScene::ObjectDeleting(const TGraphicObject& object)
{
    const size_t before = m_HighlightList.size();
    std::erase_if(m_HighlightList, [&](const TObject2D* shown) { return shown == &object; });
    const bool dragged = m_DragObject && m_DragObject == &object;
    if (dragged)
        HideDragObject(m_DragObject);
    else if (before != m_HighlightList.size())
        InvalidateOverlay();
}

void TQVScene::SetRubberBandStart(const TPoint2D& p)
{
    const TIntPoint s = PointToScreen(p);
    m_RubberBand[0] = s;
    m_RubberBand[4] = s;
    m_RubberBand[1].Y = s.Y;
    m_RubberBand[3].X = s.X;
}

void TQVScene::SetRubberBandEnd(const TPoint2D& p)
{
    const TIntPoint e = PointToScreen(p);
    m_RubberBand[2] = e;
    m_RubberBand[1].X = e.X;
    m_RubberBand[3].Y = e.Y;
}

void TQVScene::ZoomToRubberBand()
{
    ZoomToScreenRect(TIntRect{m_RubberBand[0].X, m_RubberBand[2].Y, m_RubberBand[1].X, m_RubberBand[0].Y});
}

// --- Overlay drawing ------------------------------------------------------------

void TQVScene::RenderOverlay(TCanvas2D& canvas)
{
    if (m_OverlayMode == OverlayBits::Idle && !AxesVisible())
        return;
    canvas.SetPenColor(OverlayRed);
    canvas.SetPenWidth(2);
    if ((m_OverlayMode & OverlayBits::Drag) && m_DragObject)
        m_DragObject->DrawOnCanvas(canvas, false);
    if (m_OverlayMode & OverlayBits::Highlights) {
        for (TObject2D* object : m_HighlightList)
            object->DrawOnCanvas(canvas, m_HighlightArg != 0);
        if (m_PickBoxShown)
            canvas.Polyline(Strip(m_PickBox));
    }
    if (m_OverlayMode & OverlayBits::RubberBand)
        canvas.Polyline(Strip(m_RubberBand));
    if (m_OverlayMode & OverlayBits::HighlightsOnly) {
        for (TObject2D* object : m_HighlightList)
            object->DrawOnCanvas(canvas, m_HighlightArg != 0);
    }
    if (!AxesVisible())
        return;

    // The tripod shows the camera's rotation only.
    canvas.SetPenWidth(1);
    osg::Matrixd rotation = m_Camera.ViewMatrix();
    rotation.setTrans(0.0, 0.0, 0.0);
    canvas.SetPenColor(OverlayYellow);
    const int32_t w = m_Camera.ViewportWidth();
    const int32_t h = m_Camera.ViewportHeight();
    const int32_t ox = 40;
    const int32_t oy = h - 40;
    struct TAxis {
        char Letter;
        osg::Vec3d Tip;
        osg::Vec3d LetterAt;
    };
    const TAxis axes[] = {{'X', {30, 0, 0}, {34, 0, 0}}, {'Y', {0, 30, 0}, {0, 36, 0}}, {'Z', {0, 0, 30}, {0, 0, 34}}};
    for (const TAxis& axis : axes) {
        const osg::Vec3d v = axis.Tip * rotation;
        canvas.Line(ox, oy, ox + RoundPixel(v.x()), oy - RoundPixel(v.y()));
        const osg::Vec3d t = axis.LetterAt * rotation;
        DrawAxisLetter(canvas, axis.Letter, 40 + RoundPixel(t.x()), h - 40 - RoundPixel(t.y()));
    }

    // The scale bar: 50 pixels; the label gives its drawing length.
    const int32_t left = w - 60;
    const int32_t base = h - 20;
    canvas.Line(left, base, left + 50, base);
    canvas.Line(left, base - 3, left, base + 3);
    canvas.Line(left + 50, base - 3, left + 50, base + 3);
}

void TQVScene::UpdateScaleLabel()
{
    const std::string text = FormatCoord(PixelSize() * 50.0) + "\n\r" + m_Config.UnitWord();
    m_Hud.SetScaleText(text, m_Camera.ViewportWidth() - 35, m_Camera.ViewportHeight() - 35);
}

// --- Navigation ---------------------------------------------------------------------

void TQVScene::HandleViewMessage(const TViewMessage& message)
{
    const bool release =
        message.Kind == TViewMessageKind::LeftButtonUp || message.Kind == TViewMessageKind::RightButtonUp;
    if (m_Rebuilding) {
        if (release)
            ViewerMouseUp();
        return;
    }
    DispatchViewMessage(message);
    switch (message.Kind) {
    case TViewMessageKind::MouseMove:
        ViewerMouseMove(message.X, message.Y, message.Shift);
        break;
    case TViewMessageKind::LeftButtonDown:
    case TViewMessageKind::RightButtonDown:
    case TViewMessageKind::LeftDoubleClick:
    case TViewMessageKind::RightDoubleClick:
        ViewerMouseDown(message.X, message.Y);
        break;
    case TViewMessageKind::LeftButtonUp:
    case TViewMessageKind::RightButtonUp:
        ViewerMouseUp();
        break;
    default:
        break;
    }
}

void TQVScene::FrameDone()
{
    if (TakeViewInvalidation())
        DispatchViewMessage(TViewMessage{TViewMessageKind::Invalidate, 0, 0, {}, 0});
}

void TQVScene::SetViewCursor(int id)
{
    if (id == m_ViewCursor)
        return;
    m_ViewCursor = id;
    if (CursorChanged)
        CursorChanged(id);
}

void TQVScene::ViewerMouseDown(int32_t x, int32_t y)
{
    if (m_Rebuilding)
        return;
    m_LastMouseX = x;
    m_LastMouseY = y;
    m_MouseButtonDown = true;
}

void TQVScene::ViewerMouseUp()
{
    // Let through even during a rebuild: a lost release would leave the
    // next plain move dragging.
    m_MouseButtonDown = false;
}

void TQVScene::ViewerMouseMove(int32_t x, int32_t y, const TShiftState& shift)
{
    if (m_Rebuilding)
        return;
    m_MouseX = x;
    m_MouseY = y;
    if (!m_MouseButtonDown)
        return;
    const int64_t dx = static_cast<int64_t>(m_LastMouseX) - x;
    const int64_t dy = static_cast<int64_t>(m_LastMouseY) - y;
    if (shift.Shift && shift.Left) {
        // The drawing follows the pointer; a pixel with no drawing point
        // under it (edge-on view) moves nothing.
        const std::optional<TPoint3D> p1 = ScreenToWorld(x, y);
        const std::optional<TPoint3D> p0 = ScreenToWorld(m_LastMouseX, m_LastMouseY);
        if (p0 && p1) {
            m_Camera.Pan(osg::Vec3d(p0->X - p1->X, p0->Y - p1->Y, 0.0));
            InvalidateView();
        }
    } else if (shift.Ctrl && shift.Left) {
        // Moving the pointer up zooms in.
        m_Camera.Zoom(std::pow(1.1, static_cast<double>(dy)));
        InvalidateView();
    } else if (shift.Alt && shift.Left) {
        m_Camera.Orbit(static_cast<double>(dy), static_cast<double>(dx));
        // The light follows the camera, its offset taken as a position.
        const osg::Vec3d& offset = m_Camera.Offset();
        m_Light->getLight()->setPosition(osg::Vec4(offset, 1.0));
        InvalidateView();
    }
    m_LastMouseX = x;
    m_LastMouseY = y;
}
