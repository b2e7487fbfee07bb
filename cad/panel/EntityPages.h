#pragma once
// The entity pages of the properties panel: what the panel shows of one
// drawing entity, and how an edited page is written back into it.
//
// Promises:
// - A page shows the entity as it is drawn, in drawing coordinates: every
//   point, radius and angle through the entity's model transform (angles in
//   degrees, an arc as the counter-clockwise arc from its start to its end
//   angle). A circle or arc whose transform stretches it (not a similarity)
//   cannot be told as centre and radius in the drawing; its page shows and
//   edits the circle before its transform, which then stays.
// - Each cell keeps the exact value behind its rounded text. Writing back
//   takes the typed value only from cells whose text differs from what the
//   page showed; every other cell gives its exact value, so what was not
//   edited does not move by the rounding of the text.
// - Points and lines are written back in drawing coordinates and lose their
//   transforms. Frames and bitmaps keep their transform (a rotated frame
//   stays rotated) and take an edited corner through its inverse; circles
//   and arcs drawn through a similarity lose the transform and are rebuilt
//   as drawn. Other entities and pages without an apply button change
//   nothing.
// - A page whose cells do not all read as numbers changes nothing and
//   raises std::invalid_argument naming the text.

#include "cad/panel/InfoEditPages.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject2D;

// The page types of the entities; descendants take their ancestor's.
namespace EntityPage {
inline constexpr uint8_t None = 0;
inline constexpr uint8_t Point = 1;
inline constexpr uint8_t Line = 4;
inline constexpr uint8_t Frame = 9;
inline constexpr uint8_t Arc = 10;
inline constexpr uint8_t Circle = 18;
inline constexpr uint8_t Ellipse = 19;
inline constexpr uint8_t Polyline = 20;
inline constexpr uint8_t BSpline = 21;
inline constexpr uint8_t QVBSpline = 22;
inline constexpr uint8_t Bitmap = 23;
inline constexpr uint8_t Text = 24;
// The page type while a polyline's page is shown (its button does nothing).
inline constexpr uint8_t PolylineShown = 25;
inline constexpr uint8_t Block = 35;
} // namespace EntityPage

// The entity's page type; EntityPage::None for a class without a page.
uint8_t ObjectPageType(const TObject2D& object);

struct TEntityCell {
    std::string Text;   // as shown
    double Value = 0.0; // the exact value behind the text
    bool Editable = false;
};

struct TEntityPage {
    uint8_t ObjectType = EntityPage::None;
    // The panel's page type while this page is shown; 0 leaves it as it was.
    uint8_t PageType = 0;
    std::string Title;
    std::vector<std::string> RowCaptions;
    std::vector<std::string> ColumnTitles;
    int32_t GutterWidth = 0;
    // One row per caption, one cell per column title.
    std::vector<std::vector<TEntityCell>> Cells;
    std::vector<TPanelButton> Buttons;

    bool HasApply() const;
};

// The page of the entity. An entity that lacks the control points its kind
// needs (a damaged record) gets its page without the apply button.
TEntityPage BuildEntityPage(const TObject2D& object);

// The texts of the grid, one row of column texts per row.
using TCellTexts = std::vector<std::vector<std::string>>;

// Writes the page back (see the header comment). A "," in a cell counts as
// ".". beforeChange is called once, after every cell has been read and
// before the entity changes (to record the undo step); it is not called
// when nothing changes. Returns whether the entity changed. A cell outside
// texts counts as unchanged.
bool ApplyEntityPage(TObject2D& object, const TEntityPage& page, const TCellTexts& texts,
                     const std::function<void()>& beforeChange);
