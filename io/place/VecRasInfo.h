#pragma once
// TVecRasInfo: the placement of an opened file's geometry in the drawing:
// one transform made of a scale, a rotation (2D files) and the point of the
// geometry that goes to the drawing origin. The open-geometry panel
// (io/ui/DlgOpenGeo.h) holds one and adds the controls.
//
// 2D files (DXF, SVG, images) are placed by transforming every object of
// the drawing (File/Open starts from an empty drawing, so they are the
// file's); each Apply first undoes the placement it made before, so the
// objects always stand at the current placement of the file's geometry. An
// STL surface is placed by its model transform, absolutely.
//
// Promises:
// - The undo of a previous placement uses the inverse built from that
//   placement's own parts (1/scale, -rotation, +origin), never a numeric
//   inversion, so small scales (0.003) go back exactly.
// - A size that is not a positive finite number, or whose file size in that
//   direction is 0, leaves the scales as they were (SetScaleFromSize false).
// - The marker of the placed geometry is a blue wire box (alpha 0.5) in an
//   overlay group of the installed scene builder, never in the drawing; it
//   goes with this object.
// Main thread only; the document, view and surface must outlive this object.

#include "core/geometry/Matrix4.h"
#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <vector>

class TDocumentView;
class TQV_01Cmp2D;
class TQV_STLSurf;

class TVecRasInfo {
public:
    // The origin choices of the panel's radio buttons.
    enum TOriginChoice { FileOrigin = 0, BottomLeft, TopLeft, TopRight, BottomRight, Centre };

    // view may be null (no zoom).
    TVecRasInfo(TQV_01Cmp2D& document, TDocumentView* view);
    virtual ~TVecRasInfo();
    TVecRasInfo(const TVecRasInfo&) = delete;
    TVecRasInfo& operator=(const TVecRasInfo&) = delete;

    // The panel shows the scaled origin in its edits (unless typed).
    virtual void RefreshOriginEdits() = 0;

    // origin += (p.X / scale X, p.Y / scale Y, 0): a point picked in the view.
    void ShiftOrigin(const TPoint2D& p);
    // Places the 2D geometry at the current placement; with updateBox the
    // scene box follows the placed drawing's bounds.
    void ApplyPlacement(bool updateBox);
    // Places the surface: its model transform is scale, then -scaled origin;
    // the scene box and the stock solid follow.
    void ApplyStl();

    // Corner choices of the bounding box; 0 is the file's own origin. The Z
    // of the origin stays for 1..5.
    void SetOriginChoice(int choice);
    // Origin Z := top or bottom of the box.
    void SetZOrigin(bool top);
    // scale[axis] := size / file size (axis 0..2), all three with keep ratio.
    // False, with nothing changed, when the result would not be a positive
    // finite scale (a size of 0, or a file size of 0 in that direction).
    bool SetScaleFromSize(int axis, double size);
    // A typed origin coordinate (scaled units): stored unscaled.
    void SetTypedOrigin(int axis, double value);

    // The bounding box as read; sizes from its extents.
    void SetBoxFromRect(const TRect2D& rect);
    void SetBox3D(const TBox3D& box);
    TRect2D GetBoxRect() const;
    // A raster of width x height pixels: its box from (0, 0); with a
    // resolution, one pixel is 25.4 / dpi (millimetres) or 1 / dpi inch.
    void SetRasterSize(int32_t width, int32_t height, bool millimetres);

    // Shows the wire box (zooms first with auto zoom).
    void ShowBoxInScene(const TBox3D& box);
    void ShowStlBox();
    // Takes the wire box out of the scene (the caller repaints the view).
    void HideBox();

    // The DXF colour option: false saves each layer's pen colour and gives
    // every layer defaultColour, visible and active; true brings the saved
    // colours back (nothing without saved ones).
    void ShowFileLayerColours(bool fileColours, uint32_t defaultColour);
    void FreeSavedLayerColours() { m_SavedLayerColors.clear(); }

    double ScaledSize(int axis) const { return Size(axis) * Axis(Scale, axis); }
    double ScaledOrigin(int axis) const { return Axis(Origin, axis) * Axis(Scale, axis); }
    double Size(int axis) const { return axis == 0 ? SizeX : axis == 1 ? SizeY : SizeZ; }
    static double Axis(const TVector3D& v, int axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }
    static double& Axis(TVector3D& v, int axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }

    TQV_STLSurf* Surface = nullptr;
    TBox3D BoundingBox{};
    double SizeX = 0.0;
    double SizeY = 0.0;
    double SizeZ = 0.0;
    TVector3D Origin{};
    TVector3D TypedOrigin{};
    TVector3D Scale{1.0, 1.0, 1.0};
    bool OriginTyped = false;
    bool KeepRatio = true;
    bool AutoZoom = true;
    uint16_t Bits = 0;
    int32_t Resolution = 0;
    int32_t Resolution2 = 0;
    double Rotation = 0.0;
    // The transform the placed objects carry now.
    TMatrix4 AppliedTransform;
    bool PickArmed = false;

protected:
    TQV_01Cmp2D& m_Document;
    TDocumentView* m_View;

private:
    // The placement and its inverse, both from the current parts.
    void BuildPlacement(TMatrix4& forward, TMatrix4& inverse) const;
    void ZoomIfAuto();

    TMatrix4 m_AppliedInverse;
    TSceneNodeId m_BoxGroup = NoSceneNode;
    std::vector<uint32_t> m_SavedLayerColors;
};
