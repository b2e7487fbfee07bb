#pragma once
// What the interaction program needs of the view it is bound to: the
// drawing point under a pixel, the scene rebuild at the end of a command,
// the mouse-move callback of the main window, and a way to receive the
// view's key and mouse messages. The scene view implements it; tests use a
// fake with a linear pixel mapping.
//
// Binding: the program installs itself as the view's message hook
// (SetMessageHook); the view's widget builds a TViewMessage for every key,
// mouse and repaint event and hands it to DispatchViewMessage, inside the
// exception guard of cad/EventGuard.h, and then goes on with its own
// handling of the event (navigation, painting): the hook only listens. A
// view that goes away tells its hook (ViewPortDestroyed), which then forgets
// the view without touching it.

#include "cad/program/CADEvents.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

class TCADViewPort;

// The receiver of a view's messages (the interaction program).
class TCADViewMessageHook {
public:
    virtual ~TCADViewMessageHook() = default;
    virtual void ViewerWndProc(const TViewMessage& message) = 0;
    // The view is being destroyed: forget it, call nothing on it.
    virtual void ViewPortDestroyed(TCADViewPort& view) = 0;
};

class TCADViewPort {
public:
    // (Shift, world X, world Y, pixel X, pixel Y).
    using TOnMouseMove2D =
        std::function<void(const TShiftState& shift, double worldX, double worldY, int32_t x, int32_t y)>;

    TCADViewPort() = default;
    virtual ~TCADViewPort();
    TCADViewPort(const TCADViewPort&) = delete;
    TCADViewPort& operator=(const TCADViewPort&) = delete;

    // The point of the drawing plane z = 0 under the pixel; none when the
    // view ray through it runs along the plane, so no drawing point lies
    // under that pixel.
    virtual std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const = 0;
    // Rebuilds every entity's scene objects; the stock solid is made anew
    // only when recreateStock is set.
    virtual void RebuildScene(bool recreateStock) = 0;
    // The end of a command that edited only the objects with these IDs: a
    // view that knows no better rebuilds (see TDocumentView).
    virtual void RefreshAfterEdit(std::span<const int32_t> /*ids*/) { RebuildScene(false); }

    TCADViewMessageHook* MessageHook() const { return m_Hook; }
    // Replaces the hook (null: messages go nowhere). Not owned.
    void SetMessageHook(TCADViewMessageHook* hook) { m_Hook = hook; }
    // Hands a message to the hook, when there is one.
    void DispatchViewMessage(const TViewMessage& message);

    // Set by the main window to show the live coordinates; may stay empty.
    TOnMouseMove2D OnMouseMove2D;

private:
    TCADViewMessageHook* m_Hook = nullptr;
};
