#pragma once
// TEtichetta: a list of short one-line texts, each placed at a point with its
// own height and character spacing, set in a stroke font. A letters
// operation owns one (stored with its parameters) and the label command uses
// one shared label; a document file may also carry one in its object
// section (class id 23).
//
// A label is never an entity of the drawing: it has no extent (its box
// stays (0, 0)-(0, 0)), draws nothing, is never picked and must not be added
// to a document's object list. A loader that meets one keeps it apart, as
// the current label object below.
//
// Stored record (little-endian), after the TObject2D record: int32 label
// count N; N times the text (int32 length + bytes), then X, Y, height and
// spacing as 4-byte IEEE singles; int32 font index. A count that the stream
// cannot hold, or a position or size that is not a finite number, raises
// ECADFileNotValid before anything more is read; a record that ends early
// raises EStreamReadError.
//
// Outlines: GenerateOutlines sets every text in the stroke font through the
// installed text converter (core/entities/LabelServices.h) and gathers the
// stroke polylines in one outline container. A detached label keeps the
// container; the shared label of the label command puts it into the drawing,
// where it is an ordinary object: the label remembers which object it put
// there and checks that it is still the same object (an undo or a new
// drawing may have removed it) before it uses or replaces it, so a freed
// container is never touched. Replacing the container is one undo step.

#include "core/model/GraphicObject.h"
#include "core/entities/Container2D.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TQV_01Cmp2D;

// One label.
struct TDatiEtichetta {
    std::string Text; // one line, 8-bit
    float X = 0.0f;   // start of the baseline, drawing units
    float Y = 0.0f;   // the baseline, drawing units
    float Height = 10.0f;
    float Spacing = 1.0f; // character spacing added after each character
};

class TEtichetta : public TObject2D {
public:
    static constexpr std::string_view kClassName = "TEtichetta";
    static constexpr uint16_t kStreamClassId = 23;

    // ID -1, one label with the defaults, font index 0. A label that is not
    // detached puts its outlines into the drawing; a detached one (letters
    // operations) keeps them.
    explicit TEtichetta(bool detached);
    // Reads the record (see the header comment); the label is detached.
    TEtichetta(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    // The box stays (0, 0)-(0, 0).
    void ComputeBounds() override;
    void Draw() override {}
    void DrawSelected() override {}
    void DrawOnCanvas(TCanvas2D& /*canvas*/, bool /*showControlPoints*/) override {}
    void DrawOnCanvasTransformed(TCanvas2D& /*canvas*/, const TMatrix4& /*parentTransform*/) override {}
    TIntRect GetScreenRect() override { return TIntRect{}; }
    // PickNone with distance PickFarDistance, always.
    int32_t PickAt(const TPoint2D& point, double& distance, double aperture) override;
    void SaveToStream(TStream& stream) override;

    // The labels in order; the label count is their number.
    std::vector<TDatiEtichetta>& Labels() { return m_Labels; }
    const std::vector<TDatiEtichetta>& Labels() const { return m_Labels; }
    int32_t LabelCount() const { return static_cast<int32_t>(m_Labels.size()); }
    // Item index of the label's font in the stroke-font list; the stroke
    // font registry slot is this + 1. Kept as stored, checked where used.
    int32_t FontIndex() const { return m_FontIndex; }
    void SetFontIndex(int32_t index) { m_FontIndex = index; }
    bool Detached() const { return m_Detached; }

    // Adds one label with the defaults at the end.
    void AppendLabel();
    // Drops the last label; nothing when there is none.
    void RemoveLabel();
    // The font picker's choice: font index := itemIndex, and the text
    // converter's stroke font := itemIndex + 1.
    void SetFont(int32_t itemIndex);

    // Sets each label's text at its (X, Y) with its height and spacing in the
    // converter's current stroke font; an empty text adds nothing. The
    // polylines replace the outline container's content. A label that is not
    // detached, given a document, adds a new container there (next ID, the
    // current layer), records one undo step and then deletes its previous
    // container: undo brings the previous outlines back as a whole (or, for
    // the first generation, removes the container). Otherwise the label
    // keeps the container itself. Without a converter, or when the font is
    // not registered, raises before anything changes.
    void GenerateOutlines(TQV_01Cmp2D* document);
    // Hands the polylines of the outline container (in container order,
    // other objects skipped; none without a container) to the installed
    // chain writer, which replaces the chains of the operation being edited.
    void OutlinesToChains(TQV_01Cmp2D* document);
    // GenerateOutlines, then, for a detached label, OutlinesToChains. The
    // outlines of the shared label are drawing, not chains: they never
    // replace the chains of an operation that happens to be current.
    void Apply(TQV_01Cmp2D* document);
    // The outline container: the label's own, or the one it put into the
    // document while that object is still there; null otherwise.
    TContainer2D* OutlineContainer(TQV_01Cmp2D* document) const;

    // The row's text as one line in a container at the origin, for the
    // position picker; the converter takes the row's height and spacing.
    // Null for a row out of range, an empty text or an empty result.
    std::unique_ptr<TContainer2D> PositionPreview(int32_t row) const;

protected:
    // The object part, every label, the font index and the detached flag.
    TEtichetta(const TEtichetta& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    std::vector<TDatiEtichetta> m_Labels;
    int32_t m_FontIndex = 0;
    bool m_Detached = true;
    // The outlines the label keeps itself.
    std::unique_ptr<TContainer2D> m_OwnContainer;
    // The container the label put into a document: its ID and its address,
    // only compared, never followed.
    int32_t m_PlacedID = -1;
    std::uintptr_t m_PlacedAddress = 0;
};

// The label object of the loaded document, owned here, outside every object
// list; null when the last document held none. Main thread only.
TEtichetta* CurrentLabelObject();
// Frees the previous current label object and takes label (may be null).
void SetCurrentLabelObject(std::unique_ptr<TEtichetta> label);
// Gives the current label object up (null when there is none): a drawing
// set aside while a file is read in its place keeps its label with it.
std::unique_ptr<TEtichetta> ReleaseCurrentLabelObject();
// When object holds a TEtichetta, moves it out (object becomes null) and
// returns it; otherwise returns null and leaves object as it is. For loaders
// that read objects through the class registry.
std::unique_ptr<TEtichetta> TakeLabelObject(std::unique_ptr<TGraphicObject>& object);
