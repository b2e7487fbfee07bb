#pragma once
// The command pages of the properties panel as data, and the defaults of
// the command values they edit.
//
// A command page is chosen by the main window when a drawing or edit
// command starts. It either edits some of the panel's 31 command values,
// which the commands read back (fillet radius, extend length, point-grid
// spacing ...), or it is a read-out page that the live read-outs fill while
// the pointer moves. Row captions and titles are keys of section "String"
// of the language file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The number of command values; indexes 0 to 30.
inline constexpr int InfoEditValueCount = 31;
using TInfoEditValues = std::array<double, InfoEditValueCount>;

// The defaults of the command values. Lengths are 1 x (metric) or 0.05 x
// (inch) their millimetre default; angles and counts do not depend on the
// unit. Entries no page shows are 0.
TInfoEditValues DefaultInfoEditValues(bool metric);

// A button of a panel page. Caption is the language text; X and Y are
// pixels from the top-left corner of the panel's group box. Tag tells the
// buttons of one page apart (0 first, 1 second). The apply button of an
// entity page has no fixed position: it sits 30 pixels above the bottom.
struct TPanelButton {
    std::string Caption;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Tag = 0;
    bool Apply = false;
};

struct TPanelButtonSpec {
    std::string_view CaptionKey;
    int32_t X = 0;
    int32_t Y = 0;
};

// One command page. A page without rows hides the grid; a page with value
// rows shows entry ValueBase + row of the values in column 0 of each of its
// first ValueRows rows and lets the user type there. The other rows of a
// page are read-outs.
struct TCommandPageSpec {
    uint8_t Type = 0;
    std::string_view TitleKey{};
    std::vector<std::string_view> RowKeys{};
    std::vector<std::string_view> ColumnKeys{};
    int32_t GutterWidth = 0;
    int ValueBase = -1; // -1: the page edits no values
    int ValueRows = 0;
    bool ReadOnly = false;
    std::vector<TPanelButtonSpec> Buttons{};
    // The group box height of a page of buttons; 0: from the rows.
    int32_t GroupBoxHeight = 0;
};

// The page of that type; null for 0 (which keeps the page on screen) and
// for types that have no page.
const TCommandPageSpec* FindCommandPage(uint8_t type);

// The page types the main window opens.
namespace InfoEditPage {
inline constexpr uint8_t None = 0;
inline constexpr uint8_t Point = 1;
inline constexpr uint8_t PointGrid = 2;
inline constexpr uint8_t BoltCircle = 3;
inline constexpr uint8_t Line = 5;
inline constexpr uint8_t PolarLine = 6;
inline constexpr uint8_t TangentLineAngle = 7;
inline constexpr uint8_t TangentLineArcs = 8;
inline constexpr uint8_t Rectangle = 9;
inline constexpr uint8_t Circle = 11;
inline constexpr uint8_t CircleDiameter = 12;
inline constexpr uint8_t ThreePoints = 13;
inline constexpr uint8_t ArcCentre = 14;
inline constexpr uint8_t PolarArc = 15;
inline constexpr uint8_t ArcTangentOne = 16;
inline constexpr uint8_t ArcTangentTwo = 17;
inline constexpr uint8_t Ellipse = 19;
inline constexpr uint8_t Polyline = 20;
inline constexpr uint8_t Spline = 21;
inline constexpr uint8_t Fillet = 26;
inline constexpr uint8_t Trim = 27;
inline constexpr uint8_t Break = 28;
inline constexpr uint8_t Divide = 29;
inline constexpr uint8_t Join = 30;
inline constexpr uint8_t Extend = 31;
inline constexpr uint8_t Simplify = 33;
inline constexpr uint8_t Measure = 34;
} // namespace InfoEditPage
