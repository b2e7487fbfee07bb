#pragma once
// TQVScene: the one view of the drawing, as a model that needs no window.
//
// It owns the OSG scene graph that the view shows (fixed groups for the
// drawing entities, the selection, STL surfaces, the stock, chains and
// their arrows, the grid and the axes, a light, the screen-space texts and
// the group of the stock-removal model's mesh), the camera with the
// conversions between viewer pixels and drawing units, the grid, the
// overlay state with its drawing onto a TCanvas2D, the mouse navigation and
// the picking. The widget
// of cad/ui hosts it: it tells the size, calls PrepareFrame before each OSG
// frame, RenderOverlay with its canvas and FrameDone after it, forwards the
// viewer's key and mouse messages to HandleViewMessage, and installs the
// hooks below. The interaction program binds itself as the view's message
// hook (cad/CADViewPort.h).
//
// Repaints come in two kinds, kept apart: the view's own invalidations
// (scene rebuilt, camera moved, viewer resized, grid or axes changed), which
// the interaction program must hear about as a repaint event, and
// overlay-only repaints (drag object, highlights, rubber band, info text),
// which it must not hear about, or a state that redraws its overlay on a
// repaint would never stop. Both call RequestRepaint; only the first makes
// TakeViewInvalidation() true and FrameDone() send the program its
// Invalidate message.
//
// Main thread only. Exceptions of the document (a blocked object list) pass
// through; the widget's event guard catches them.

#include "cad/program/CADEvents.h"
#include "cad/scene/CADViewPort.h"
#include "cad/scene/OsgSceneBuilder.h"
#include "cad/scene/SceneCamera.h"
#include "cad/scene/SceneGrid.h"
#include "cad/scene/SceneHud.h"
#include "core/model/DocumentView.h"
#include "core/model/ViewInterfaces.h"

#include <osg/Camera>
#include <osg/Group>
#include <osg/LightSource>
#include <osg/ShapeDrawable>
#include <osg/ref_ptr>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class TAppConfig;
class TObject2D;
class TQV_01Cmp2D;

// Bits of TQVScene::OverlayMode. Drag, Highlights and RubberBand add to what
// is shown; Idle and HighlightsOnly replace the whole mode.
namespace OverlayBits {
inline constexpr uint8_t Idle = 1;           // only the tripod and the scale bar
inline constexpr uint8_t Drag = 2;           // the object being placed or dragged
inline constexpr uint8_t Highlights = 4;     // highlighted objects and the pick box
inline constexpr uint8_t RubberBand = 8;     // the window rectangle
inline constexpr uint8_t HighlightsOnly = 16;
} // namespace OverlayBits

// What the view calls of machining and NC output, which sit above it and
// install these at start-up. Every hook may be empty.
struct TSceneNeighbourHooks {
    // Frees the program's stock solid. The view empties the Stl and Stock
    // groups right after, so the solid need not remove its scene objects
    // itself.
    std::function<void()> FreeStockSolid;
    // Creates the program's new stock solid, which builds itself under the
    // Stock group (after the Stl group, so the translucent solid is drawn
    // over the opaque surfaces).
    std::function<void()> CreateStockSolid;
};

// The 2D simulation's tool marker: the simulation sets Shown and Node when
// it creates its marker (a points object) and keeps ToolDiameter (drawing
// units); the view sizes the marker so that it keeps the tool's true size
// at every zoom, and clears Shown in ClearSceneGroup.
struct TToolMarker {
    bool Shown = false;
    TSceneNodeId Node = NoSceneNode;
    double ToolDiameter = 0.0;
};

class TQVScene final : public TCADViewPort, public TDocumentView, public TViewProjection {
public:
    // Program cursor the viewer shows while the pointer is over it.
    static constexpr int ViewerCursor = 2;
    // Window texts of the view: positions in viewer pixels.
    static constexpr int32_t InfoTextX = 20;

    // Builds the scene and reads background, grid colour, grid origin,
    // size and steps from the settings, which must outlive the view (the
    // scale label reads their unit word). The grid stays unbuilt until
    // SetGridEnabled(true) and RebuildGrid.
    explicit TQVScene(const TAppConfig& config);
    ~TQVScene() override;
    TQVScene(const TQVScene&) = delete;
    TQVScene& operator=(const TQVScene&) = delete;

    // --- The widget's side --------------------------------------------------

    osg::Group* SceneRoot() const { return m_Root.get(); }
    // The viewer's size in device pixels.
    void SetViewportSize(int32_t width, int32_t height);
    int32_t ViewportWidth() const { return m_Camera.ViewportWidth(); }
    int32_t ViewportHeight() const { return m_Camera.ViewportHeight(); }
    // The settings colour "BackGround" (0x00BBGGRR).
    uint32_t BackgroundColor() const { return m_BackgroundColor; }
    // A new background colour (0x00BBGGRR), shown at the next frame.
    void SetBackgroundColor(uint32_t color);
    // Before each frame: puts the view's matrices, viewport and background
    // on the viewer's camera, then brings the axis lines, the scale label
    // and the simulation's marker up to the current zoom (nothing of the
    // overlay's while only the idle overlay is shown with the axes hidden).
    void PrepareFrame(osg::Camera& camera);
    // After each frame: the overlay in viewer pixels on top of the scene.
    void RenderOverlay(TCanvas2D& canvas);
    // True once after each of the view's own invalidations.
    bool TakeViewInvalidation();
    // The widget's repaint request (e.g. QWidget::update).
    std::function<void()> RequestRepaint;
    // Handles the window events that are waiting, user input excluded
    // (e.g. QCoreApplication::processEvents with ExcludeUserInputEvents);
    // the scene rebuild calls it once before it walks the document.
    std::function<void()> ProcessPendingEvents;
    // True while RebuildScene runs: mouse events are not to be handed to
    // the interaction program meanwhile (the navigation drops them too).
    bool IsRebuilding() const { return m_Rebuilding; }

    // The widget's entry for the viewer's key and mouse messages: the
    // interaction program gets each message first (DispatchViewMessage),
    // then the navigation its mouse messages. While a rebuild runs they are
    // dropped, except a button release, which the navigation still takes
    // so that no drag outlives its button.
    void HandleViewMessage(const TViewMessage& message);
    // After each frame and its overlay: when the view itself was
    // invalidated since the last frame, tells the interaction program that
    // the view repainted (an Invalidate message); overlay-only repaints
    // tell it nothing.
    void FrameDone();

    // Navigation on the viewer's own mouse events (pixels, top-left origin).
    void ViewerMouseDown(int32_t x, int32_t y);
    void ViewerMouseUp();
    void ViewerMouseMove(int32_t x, int32_t y, const TShiftState& shift);
    // The program cursor the viewer takes when the pointer enters it.
    int ViewerMouseEnter() const { return ViewerCursor; }
    // The program cursor the viewer shows now (an id of cad/ViewCursors.h,
    // which the widget maps to its cursor image). Object snap and the pan
    // set it; CursorChanged tells the widget of every change.
    int ViewCursor() const { return m_ViewCursor; }
    void SetViewCursor(int id);
    std::function<void(int id)> CursorChanged;
    bool MouseButtonDown() const { return m_MouseButtonDown; }
    int32_t LastMouseX() const { return m_LastMouseX; }
    int32_t LastMouseY() const { return m_LastMouseY; }
    int32_t MouseX() const { return m_MouseX; }
    int32_t MouseY() const { return m_MouseY; }

    // --- Document, scene and neighbours -------------------------------------

    // The document the view shows and picks from; not owned, may be null.
    void SetDocument(TQV_01Cmp2D* document) { m_Document = document; }
    TQV_01Cmp2D* Document() const { return m_Document; }
    TOsgSceneBuilder& SceneBuilder() { return m_Builder; }
    const TOsgSceneBuilder& SceneBuilder() const { return m_Builder; }
    const TSceneCamera& Camera() const { return m_Camera; }
    // Moves the camera's target, and the camera with it (the real-time
    // pan); a view invalidation.
    void SetCameraTarget(const osg::Vec3d& target);
    // Puts the camera at offset from its target (a view preset); a view
    // invalidation.
    void SetCameraOffset(const osg::Vec3d& offset);
    TSceneNeighbourHooks Hooks;
    TToolMarker& ToolMarker() { return m_ToolMarker; }

    // The stock-removal model's mesh, drawn where the direct-drawing
    // overlay used to be (after the fixed groups, before the light, the HUD
    // and the grid) for as long as it is attached; a new one replaces the
    // old. Both are view invalidations.
    void AttachStockMesh(osg::Node* mesh);
    void DetachStockMesh();
    bool StockMeshAttached() const;

    // Rebuilds every entity's scene objects from the document: overlay
    // cleared, Entity group emptied, the stock made anew when asked, the
    // Selection group emptied, the info text cleared, then the document's
    // RedrawAllObjects (busy cursor, pending repaints and timers handled, no
    // user input) draws every object on a visible layer again. Chains and
    // their arrows stay, and so do the operations' toolpath displays. A rebuild asked for while
    // one runs (from the pending events) is folded into the running one.
    void RebuildScene(bool recreateStock) override;
    // What RebuildScene shows after an edit of the objects with these IDs,
    // without drawing every object again: overlay cleared, Selection group
    // emptied, info text cleared, then each of these objects still in the
    // document drawn again, or taken out of the scene when its layer is
    // hidden, together with the objects noted as changed. During a rebuild
    // it is that rebuild's repeat.
    void RefreshAfterEdit(std::span<const int32_t> ids) override;
    // Notes the object for drawing again before the next frame (the
    // incremental update after an edit, an undo or a layer move); changes
    // the scene makes itself while it draws are not noted.
    void ObjectChanged(TGraphicObject& object) override;
    // The object leaves the document: it is taken out of the highlight list
    // and stops being the drag object, so that no later frame draws it.
    void ObjectDeleting(const TGraphicObject& object) override;
    // Draws the noted objects again now (PrepareFrame does it first). Not
    // while the document's lists are blocked or another scene builder is
    // installed: the objects stay noted.
    void DrawChangedObjects();
    // Deletes every child of the group, clears the info text and switches
    // the simulation's tool marker off; a view invalidation.
    void ClearSceneGroup(TSceneNodeId group);

    // Places the information line at the bottom left; empty hides it.
    void ShowInfoText(const std::string& text);
    const TSceneHud& Hud() const { return m_Hud; }

    void SetAxesVisible(bool visible);
    // The visibility of the X axis line.
    bool AxesVisible() const;
    TSceneNodeId AxisX() const { return m_AxisX; }
    TSceneNodeId AxisY() const { return m_AxisY; }
    TSceneNodeId AxisZ() const { return m_AxisZ; }

    // The translucent box that shows a program's extent; hidden at first.
    void SetLimitsBox(const TBox3D& box);
    void SetLimitsBoxVisible(bool visible);
    bool LimitsBoxVisible() const;

    // --- Camera and projection ---------------------------------------------

    TIntPoint PointToScreen(const TPoint2D& p) const override;
    TIntPoint Point3DToScreen(const TPoint3D& p) const override;
    // None where no drawing point lies under the pixel (cad/SceneCamera.h).
    std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const override;
    double PixelSize() const override { return m_Camera.PixelSize(); }

    void ZoomToBox(const TBox3D& box) override;
    // The box fitted in width or height, whichever is tighter, seen from
    // the camera's direction, with a margin of FitMargin on each side.
    void FitBox(const TBox3D& box) override;
    static constexpr double FitMargin = 0.05;
    // Fits the view to the drawing under the screen rectangle; nothing when
    // a corner has no drawing point under it.
    void ZoomToScreenRect(const TIntRect& rect);
    // The grid rectangle.
    TRect2D DefaultWindow() const override { return m_GridRect; }
    // Moves the camera's target (the camera follows) to the point, when
    // there is one, and zooms by factor as the Ctrl-drag zoom does: scene
    // scale times factor, camera offset and depth of view divided by it.
    void ZoomAt(const std::optional<TPoint3D>& target, double factor);

    // --- Grid ----------------------------------------------------------------

    const TRect2D& GridRect() const { return m_GridRect; }
    double GridStepX() const { return m_GridStepX; }
    double GridStepY() const { return m_GridStepY; }
    int32_t GridSubX() const { return m_GridSubX; }
    int32_t GridSubY() const { return m_GridSubY; }
    int32_t GridOrigin() const { return m_GridOrigin; }
    bool GridVisible() const { return m_GridVisible; }
    bool GridEnabled() const { return m_GridEnabled; }
    // While false, RebuildGrid does nothing.
    void SetGridEnabled(bool enabled) { m_GridEnabled = enabled; }
    const TSceneColor& GridColor() const { return m_GridColor; }
    // The grid's colour from a Windows colour, at opacity 0.2; then RebuildGrid.
    void SetGridColor(uint32_t color);

    void SetGridVisible(bool visible);
    // Each stores a value that differs (exact comparison) and rebuilds.
    void SetGridStepX(double step);
    void SetGridStepY(double step);
    void SetGridSubdivisionsX(int32_t n);
    void SetGridSubdivisionsY(int32_t n);
    // The X or Y range of the grid rectangle from the size and the origin
    // position; no rebuild.
    void SetGridSizeX(double size);
    void SetGridSizeY(double size);
    double GridWidth() const;
    double GridHeight() const;
    // Moves the rectangle to the new origin position, same width and
    // height; no rebuild.
    void SetGridOrigin(int32_t position);
    // With both steps positive and the grid enabled: empties the grid group
    // and builds the lines, after asking the user when there would be more
    // than 500 (only an answer of No refuses: the grid group stays empty).
    void RebuildGrid();
    // Asks whether a grid this dense is wanted. Empty: the message box of
    // UserNotifier() with the language text, where only No refuses (Esc or
    // closing the box draws the grid).
    std::function<bool(const std::string& question)> ConfirmDenseGrid;

    // --- Overlay ---------------------------------------------------------------

    uint8_t OverlayMode() const { return m_OverlayMode; }
    // The window states set and clear the rubber-band bit themselves.
    void SetOverlayMode(uint8_t mode);
    // Adds the drag bit and draws obj (not owned; must outlive the mode).
    void ShowDragObject(TObject2D* obj);
    // Clears the drag bit and forgets the drag object, when obj is the one
    // shown (null: whichever is shown); the owner calls it before it frees
    // the object.
    void HideDragObject(const TObject2D* obj = nullptr);
    // Asks for a repaint of the overlay alone (after PickBox() was filled).
    void RepaintOverlay() { InvalidateOverlay(); }
    TObject2D* DragObject() const { return m_DragObject; }
    void ShowHighlights(uint8_t arg);
    void ShowHighlightsOnly();
    // Back to the idle overlay: the highlight list is emptied and the drag
    // object forgotten in every mode, also when already idle; the pick-box
    // flag stays.
    void ClearOverlay();
    void HidePickBox() { m_PickBoxShown = false; }
    bool PickBoxShown() const { return m_PickBoxShown; }
    uint8_t HighlightArg() const { return m_HighlightArg; }
    // Objects drawn in the highlight modes, in order; not owned.
    std::vector<TObject2D*>& HighlightList() { return m_HighlightList; }
    // Five screen points of the closed pick square, filled by the
    // selection states.
    std::array<TIntPoint, 5>& PickBox() { return m_PickBox; }
    const std::array<TIntPoint, 5>& RubberBand() const { return m_RubberBand; }
    void SetRubberBandStart(const TPoint2D& p);
    void SetRubberBandEnd(const TPoint2D& p);
    void ZoomToRubberBand();

    // --- Picking -----------------------------------------------------------------

    // The object nearest to p within aperture pixels, among the pickable
    // objects on active, visible layers; see PickObjectIf.
    TObject2D* PickObject(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode);
    // As PickObject among points only (pointsOnly) or among circles and
    // arcs only.
    TObject2D* PickPointOrArc(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode,
                              bool pointsOnly);
    // The pick walk with a class filter that runs before the other tests.
    // Null, hitCode untouched, while the document's lists are blocked or
    // there is no document. Otherwise hitCode starts at "nothing hit" and
    // the best distance at PixelSize x aperture; an object becomes the
    // result when its code is at least hitCode and its distance at most the
    // best (so a later object wins a tie); with firstFound the first such
    // object ends the walk. An object that answers "nothing hit" is never
    // the result, however wide the aperture. The walk asks only the objects
    // the document's pick index finds near p, in list order, which gives
    // the same result as asking every object.
    TObject2D* PickObjectIf(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode,
                            const std::function<bool(const TObject2D&)>& candidate);

private:
    void BuildAxes();
    // The document is there, may be walked, and draws into this builder.
    bool CanDrawObjects() const;
    // Draws the object again when its layer is visible, or takes it out of
    // the scene.
    void PresentObject(TGraphicObject& object);
    void InvalidateView();
    void InvalidateOverlay();
    bool AllowDenseGrid();
    void UpdateScaleLabel();

    const TAppConfig& m_Config;
    TSceneCamera m_Camera;
    TOsgSceneBuilder m_Builder;
    TSceneHud m_Hud;
    TQV_01Cmp2D* m_Document = nullptr;

    osg::ref_ptr<osg::Group> m_Root;
    osg::ref_ptr<osg::LightSource> m_Light;
    osg::ref_ptr<osg::Group> m_StockMeshGroup;
    osg::ref_ptr<osg::ShapeDrawable> m_LimitsBox;
    TSceneNodeId m_EntityGroup = NoSceneNode;
    TSceneNodeId m_StlGroup = NoSceneNode;
    TSceneNodeId m_StockGroup = NoSceneNode;
    TSceneNodeId m_SelectionGroup = NoSceneNode;
    TSceneNodeId m_GridGroup = NoSceneNode;
    TSceneNodeId m_AxesGroup = NoSceneNode;
    TSceneNodeId m_AxisX = NoSceneNode;
    TSceneNodeId m_AxisY = NoSceneNode;
    TSceneNodeId m_AxisZ = NoSceneNode;
    uint32_t m_BackgroundColor = 0;

    TRect2D m_GridRect{};
    TSceneColor m_GridColor;
    double m_GridStepX = 0.0;
    double m_GridStepY = 0.0;
    int32_t m_GridSubX = 0;
    int32_t m_GridSubY = 0;
    int32_t m_GridOrigin = 0;
    bool m_GridVisible = true;
    bool m_GridEnabled = false;

    uint8_t m_OverlayMode = OverlayBits::Idle;
    TObject2D* m_DragObject = nullptr;
    uint8_t m_HighlightArg = 0;
    std::vector<TObject2D*> m_HighlightList;
    std::array<TIntPoint, 5> m_PickBox{};
    std::array<TIntPoint, 5> m_RubberBand{};
    bool m_PickBoxShown = false;
    TToolMarker m_ToolMarker;

    int m_ViewCursor = ViewerCursor;

    bool m_MouseButtonDown = false;
    int32_t m_LastMouseX = 0;
    int32_t m_LastMouseY = 0;
    int32_t m_MouseX = 0;
    int32_t m_MouseY = 0;

    bool m_ViewInvalid = false;
    bool m_Rebuilding = false;
    bool m_DrawingObjects = false;
    std::vector<int32_t> m_ChangedObjects;
    bool m_RebuildAgain = false;
    bool m_RecreateStockAgain = false;
};
