#pragma once
// TJustifiedVectText2D: a string, possibly of several lines, set in a stroke
// font (core/VectFont.h) inside a box, with a height, character spacing,
// line spacing and horizontal and vertical justification. Created by the
// text-to-geometry converter, the DXF import and the letters operation;
// stored under class id 14.
//
// Promises:
// - Control points 0 and 1 are two opposite corners of the box; the set does
//   not grow. A damaged record may bring other counts: with one point both
//   corners are that point, with none the box is the origin.
// - Layout: a carriage return (13) starts a new line and a line feed right
//   after it is dropped. Measuring and drawing share TVectFont::MeasureText,
//   CharAdvance and GlyphToDraw, so the drawn strokes stay inside the box
//   the text reports. Every line starts at the left edge of the text box
//   (justification moves the block, not each line); the first baseline lies
//   one height below its top.
// - A text without a font (its font was not registered when it was read)
//   measures as an empty box at the justified corner, draws nothing and
//   picks on that empty box.
// - The font is referenced, not owned; the registry keeps it alive for the
//   whole run. The text also keeps a font index: the slot it was read with
//   or, for a new text, the slot its font was registered in (0 when none).
//   Saving writes the slot of its font when the registry holds that font,
//   the kept index otherwise, so saving never raises for a missing font and
//   a document re-saved without its font keeps naming it.
// - Stored record, after the TPrimitive2D record: int32 length and that many
//   text bytes, int32 font index, uint8 horizontal and vertical
//   justification, uint8 flag, double height, double line spacing, double
//   character spacing (little-endian). A size that is not a finite number
//   raises ECADFileNotValid; a record that ends early raises EStreamReadError.

#include "core/entities/Primitive2D.h"

#include <cstdint>
#include <string>
#include <string_view>

class TVectFont;

class TJustifiedVectText2D : public TPrimitive2D {
public:
    static constexpr std::string_view kClassName = "TJustifiedVectText2D";
    static constexpr uint16_t kStreamClassId = 14;

    // Horizontal justification; any other stored value acts as left.
    static constexpr uint8_t kJustifyLeft = 0;
    static constexpr uint8_t kJustifyRight = 1;
    static constexpr uint8_t kJustifyCentre = 2;
    // Vertical justification; any other stored value acts as top. Middle
    // puts the top edge of the text on the middle line of the box.
    static constexpr uint8_t kJustifyTop = 0;
    static constexpr uint8_t kJustifyBottom = 1;
    static constexpr uint8_t kJustifyMiddle = 2;

    static constexpr double kDefaultCharSpacing = 0.1;
    static constexpr double kDefaultInterLine = 0.02;

    // Control points := the two corners of box; character spacing 0.1, line
    // spacing 0.02, flag 0, left and bottom justified. font may be null.
    TJustifiedVectText2D(int32_t id, TVectFont* font, const TRect2D& box, double height, std::string text);
    // Reads the record (see the header comment). When the font index names
    // an empty registry slot, the plain message "Font class not found. Font
    // not assigned" is shown and the text has no font.
    TJustifiedVectText2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The text box (GetTextBox) through the model transform.
    void ComputeBounds() override;
    // One lines object per glyph stroke in the entity group, in the
    // entity's pen (ScenePen); nothing without a font or a scene builder.
    void Draw() override;
    // Nothing: a selected text shows no highlighted copy.
    void DrawSelected() override;
    void SaveToStream(TStream& stream) override;
    // The primitive part; from another text: text, height, both spacings,
    // flag, font, font index, both justifications and control points 0 and
    // 1. From any other class nothing more.
    void Assign(const TGraphicObject& source) override;
    // Control-point squares when asked, then the outline of the screen
    // rectangle of the entity's box.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    // The outline of the screen rectangle between control points 0 and 1,
    // each through the model transform and then parentTransform.
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    // The object pick; where that answers PickInBox, the text box (through
    // the model transform) as a closed outline: PickOnObject near an edge,
    // PickInsideArea inside, PickInBox otherwise. distance is then the
    // smaller of the aperture and the edge distance.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;

    // The justified text rectangle in the text's own coordinates (before
    // the model transform); refreshes the anchor point.
    TRect2D GetTextBox();
    // The lines objects of the glyph strokes under group (see Draw); returns
    // the first one, NoSceneNode when nothing was built.
    TSceneNodeId BuildSceneObject(TSceneNodeId group);

    const std::string& Text() const { return m_Text; }
    void SetText(std::string text);
    TVectFont* Font() const { return m_Font; }
    // Also takes the font's registry slot as the kept font index when the
    // registry holds it.
    void SetFont(TVectFont* font);
    // The kept registry slot (see the header comment).
    int32_t FontIndex() const { return m_FontIndex; }
    uint8_t HJustification() const { return m_HJustification; }
    void SetHJustification(uint8_t value);
    uint8_t VJustification() const { return m_VJustification; }
    void SetVJustification(uint8_t value);
    // Cap height in drawing units.
    double Height() const { return m_Height; }
    void SetHeight(double value);
    // Extra advance after every character, in text heights.
    double CharSpacing() const { return m_CharSpacing; }
    void SetCharSpacing(double value);
    // Extra space between lines, in text heights.
    double InterLine() const { return m_InterLine; }
    void SetInterLine(double value);
    // Stored and copied; no effect on the layout.
    uint8_t Flag() const { return m_Flag; }
    void SetFlag(uint8_t value) { m_Flag = value; }
    // The upper-left corner of the box as of the last layout.
    const TPoint2D& AnchorPoint() const { return m_AnchorPoint; }

protected:
    // The primitive part and every layout field; the font is the same
    // (referenced) font, the kept font index the same index.
    TJustifiedVectText2D(const TJustifiedVectText2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    // The registry slot written for this text.
    int32_t SavedFontIndex() const;
    void DrawLine(TSceneNodeId group, std::string_view line, TPoint2D pen, TSceneNodeId& first);

    TVectFont* m_Font = nullptr;
    int32_t m_FontIndex = 0;
    std::string m_Text;
    uint8_t m_HJustification = kJustifyLeft;
    uint8_t m_VJustification = kJustifyBottom;
    TPoint2D m_AnchorPoint;
    double m_Height = 0.0;
    double m_CharSpacing = kDefaultCharSpacing;
    double m_InterLine = kDefaultInterLine;
    uint8_t m_Flag = 0;
};
