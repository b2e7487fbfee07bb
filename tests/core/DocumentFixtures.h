#pragma once
// Hand-built document and library files, written field by field from the
// record tables with kbtest::TBytes and never through the classes under
// test: the head of every object (ID, layer, flags, transform in the 4x4 or
// the old 3x3 form), the control points of the primitives, the curve,
// spline, text, block and label parts, the layer records of every layout,
// and the sections of the file.

#include "tests/support/TestSupport.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace docfix {

using kbtest::TBytes;

// The flags byte of an object's head.
inline constexpr uint8_t kVisible = 1;
inline constexpr uint8_t kEnabled = 2;
inline constexpr uint8_t kNotSaved = 4;
inline constexpr uint8_t kShown = kVisible | kEnabled;

struct TPt {
    double X = 0;
    double Y = 0;
    double W = 1;
};

using TMatrix = std::array<double, 16>;
inline constexpr TMatrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
TMatrix Translation(double dx, double dy);
// A quarter turn counter-clockwise, then a shift by (dx, dy).
TMatrix QuarterTurnAndShift(double dx, double dy);

// Stream class ids as the file format fixes them.
enum : int16_t {
    kContainerId = 0,
    kSourceBlockId = 1,
    kBlockId = 2,
    kLineId = 3,
    kPolylineId = 4,
    kPolygonId = 5,
    kRectangleId = 6,
    kEllipseOpenId = 7,
    kEllipseId = 8,
    kFilledEllipseId = 9,
    kFrameId = 11,
    kBSplineId = 13,
    kTextId = 14,
    kPuntoId = 15,
    kCerchioId = 16,
    kArcoId = 17,
    kFilledCerchioId = 18,
    kQVBSplineId = 19,
    kInsertId = 22,
    kLabelId = 23,
    kBitmapId = 12,
    kLine3DId = 30,
    kStlSurfaceId = 31,
};

// --- record parts ----------------------------------------------------------

// ID, layer, flags, then the model transform: 16 doubles, or for a
// signature not greater than "QV-002" the 9 doubles of the 3x3 form (only
// the translation of m is kept there).
void ObjectHead(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, uint8_t flags,
                const TMatrix& m = kIdentity);
// uint16 n, n points of X, Y, W, the growable byte.
void PrimitivePart(TBytes& b, const std::vector<TPt>& points, uint8_t growable);
// int16 segments, uint8 keep-profile (1, the default of a new curve).
void CurvePart(TBytes& b, int16_t segments, uint8_t keep = 1);
// 13 bytes, zero-padded.
void BlockName(TBytes& b, const std::string& name);

// A line entry (class id + record), as many fixtures need one.
void LineEntry(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, TPt p1, TPt p2,
               uint8_t flags = kShown, const TMatrix& m = kIdentity);
// A block reference entry (class id 2) by name.
void BlockEntry(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, const std::string& name,
                TPt insertion = {0, 0, 1}, const TMatrix& m = kIdentity);
// A source-block entry (class id 1) whose children are already written
// (with their class ids) in children.
void SourceBlockEntry(TBytes& b, const std::string& signature, int32_t id, int32_t childCount, const TBytes& children,
                      const std::string& name, uint8_t library = 0);

// --- layers ----------------------------------------------------------------

struct TLayerFix {
    int16_t Number = 0;
    uint32_t PenColor = 0;
    uint8_t PenStyle = 0;
    uint8_t PenMode = 4;
    int32_t PenWidth = 1;
    uint32_t BrushColor = 0x00FFFFFF;
    uint8_t BrushStyle = 0;
    std::vector<uint8_t> Pattern;
    uint8_t Active = 1;
    uint8_t Visible = 1;
    uint8_t Spare = 0;
    uint8_t SavedObjects = 1;
    std::string Name;
};

// Which fields a layer record of an older layout carries.
struct TLayerLayout {
    bool ExtraInt32 = false; // an int32 after the brush, skipped by readers
    bool Pattern = true;
    bool Visible = true;
    bool SavedObjects = true;
    bool Name = true;
};

void LayerRecord(TBytes& b, const TLayerFix& layer, const TLayerLayout& layout = {});
// int16 1, each layer's number and record, int16 256.
void LayerSection(TBytes& b, const std::vector<TLayerFix>& layers, const TLayerLayout& layout = {});

// --- whole files -----------------------------------------------------------

// "QV-3.6", no modified layer, no blocks, no objects, byte 4, int32 -1.
std::vector<uint8_t> EmptyDocument();

// Every stored record kind in a current document (see the .cpp for the
// content, which the load test checks field by field). With a label, its
// entry (class id 23) stands between the text and the point.
std::vector<uint8_t> FullDocument(bool withLabel);
// The text's font slot in FullDocument.
inline constexpr uint16_t kFullTextFontSlot = 300;
inline constexpr int32_t kFullObjectCount = 21;

// A document of an older signature: layer 5 in that layout, source block
// "B" holding one line, a translated line on layer 5 and a reference to "B";
// no operations section.
std::vector<uint8_t> OldDocument(const std::string& signature, const TLayerLayout& layout);

// A small current document: one modified layer, source block "S" with one
// line, then a line, a reference to "S" and a circle; byte 4 and int32 -1.
std::vector<uint8_t> SmallDocument();
// The offset of the byte 4 in SmallDocument.
size_t SmallDocumentOperationsOffset();

// A block library holding one source block "LIBBLK" (library flag 1) with
// one line.
std::vector<uint8_t> Library(const std::string& signature = "QV-3.6");

} // namespace docfix
