#pragma once
// TBitmap2D: the raster-image entity, a 32-bit image placed between two
// corners (control point 0 the lower-left, 1 the upper-right corner, in the
// entity's own coordinates; the set does not grow). It is the input of the
// bitmap vectorisation and travels in documents under class id 12.
//
// Promises:
// - Stored record, after the TPrimitive2D record: the embedded BMP
//   (core/BitmapRecord.h), reserved value 1 and 2 (doubles), the copy mode
//   (int32) and the opacity (single). Reading takes the reserved values and
//   the copy mode only when the signature is not below "CAD422" (else 0, 0
//   and 0) and the opacity only when it is above "QV-3.2" (else 0.5). The
//   writer always writes all of them.
// - The scene shows the image as a translucent plane that follows the
//   whole model transform: translation, scale, mirror and rotation move and
//   turn the picture exactly as they move the two corners, so the image
//   stays on the geometry that machining uses. The plane's colour is white
//   with the opacity as alpha and the scene image is the bitmap with every
//   pixel made opaque: the translucency is the entity's opacity alone,
//   whatever a stored file holds in its alpha bytes.
// - The overlay outline and the plane both need the two corners; an entity
//   read from a damaged record with fewer points draws nothing there.
// - CurrentBitmap2D names the bitmap the tool window's image page and the
//   vectorisation work on. Reading a bitmap from a stream makes it current.
//   It never names a freed entity: when the current bitmap is freed (deleted
//   from the drawing, the drawing cleared, a temporary copy of the undo
//   journal dropped), the reference goes back to the most recent earlier
//   current bitmap that still exists, or to none.
// Main thread only.

#include "core/entities/Primitive2D.h"

#include <QImage>

#include <memory>

class TBitmap2D : public TPrimitive2D {
public:
    static constexpr std::string_view kClassName = "TBitmap2D";
    static constexpr uint16_t kStreamClassId = 12;
    // The raster operation code stored as the copy mode (SRCCOPY).
    static constexpr int32_t kCopyModeSrcCopy = 0x00CC0020;
    static constexpr float kDefaultOpacity = 0.5f;

    // A copy of bitmap (converted to 32 bits) between corner1 and corner2;
    // reserved values 0, copy mode SRCCOPY, opacity 0.5. The caller keeps
    // its own image.
    TBitmap2D(int32_t id, const TPoint2D& corner1, const TPoint2D& corner2, const QImage& bitmap);
    // Reads the record (see the header comment) and makes the new entity
    // the current bitmap.
    TBitmap2D(TStream& stream, std::string_view signature);
    ~TBitmap2D() override;
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // Builds the image plane (ScenePlane) in the entity group; it becomes
    // the entity's scene node.
    void Draw() override;
    void SaveToStream(TStream& stream) override;
    // Nothing when source is this entity. The primitive part; then, from a
    // TBitmap2D: both reserved values, the copy mode, the image and control
    // points 0 and 1, with the set's growable flag set. The opacity stays
    // this entity's own.
    void Assign(const TGraphicObject& source) override;
    // The image's outline through the model transform: corner 0, (x0, y1),
    // corner 1, (x1, y0), corner 0, as one polyline. No control points.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // An image inside a block or container shows nothing on the overlay.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // A selected image gets no highlight object.
    void DrawSelected() override;

    // Shows the current pixels on the plane built by the last Draw (after
    // the vectorisation preview changed them); nothing when the entity has
    // not been drawn or its plane is gone.
    void UpdateTexture();

    // The image, Format_ARGB32. The writable form is for changing pixels;
    // call UpdateTexture to show them.
    const QImage& Bitmap() const { return m_Bitmap; }
    QImage& Bitmap();

    double ReservedValue1() const { return m_ReservedValue1; }
    double ReservedValue2() const { return m_ReservedValue2; }
    int32_t CopyMode() const { return m_CopyMode; }
    // Alpha of the scene plane, 0 transparent to 1 opaque.
    float Opacity() const { return m_Opacity; }
    void SetOpacity(float opacity) { m_Opacity = opacity; }
    // The plane built by the last Draw; NoSceneNode before.
    TSceneNodeId Plane() const { return m_Plane; }

    // The plane as Draw builds it: the rectangle of the two corners in the
    // entity's own coordinates (Width = x1 - x0, Height = y1 - y0), its
    // centre through the model transform and the transform's X and Y
    // directions as the plane's axes; colour white with alpha = opacity
    // (clamped to 0..1, 0.5 when not a number); blended, no depth test.
    // Without two control points the plane is empty (no size, no image).
    TScenePlane ScenePlane() const;

protected:
    // The primitive part, the image (its pixels shared until either side
    // writes to them), both reserved values, the copy mode, the opacity and
    // the scene image made from the pixels. The copy has no plane and does
    // not become the current bitmap.
    TBitmap2D(const TBitmap2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    // The scene image of the bitmap, made on first use and shared by every
    // plane built from the same pixels.
    std::shared_ptr<const TSceneImage> SceneImage() const;

    QImage m_Bitmap;
    double m_ReservedValue1 = 0.0;
    double m_ReservedValue2 = 0.0;
    int32_t m_CopyMode = kCopyModeSrcCopy;
    float m_Opacity = kDefaultOpacity;
    TSceneNodeId m_Plane = NoSceneNode;
    mutable std::shared_ptr<const TSceneImage> m_SceneImage;
};

// The bitmap entity the program works on, or null.
TBitmap2D* CurrentBitmap2D();
// Makes bitmap the current one (the image import does this for the entity
// it places); null forgets every current bitmap.
void SetCurrentBitmap2D(TBitmap2D* bitmap);
