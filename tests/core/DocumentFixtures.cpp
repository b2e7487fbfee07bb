#include "tests/core/DocumentFixtures.h"

namespace docfix {

namespace {

void Signature(TBytes& b, const std::string& signature)
{
    b.Str(signature.substr(0, 6));
}

void Point(TBytes& b, TPt p)
{
    b.F64(p.X).F64(p.Y).F64(p.W);
}

// The layouts before "QV-003" store the 3x3 transform.
bool Uses3x3(const std::string& signature)
{
    return signature.compare("QV-002") <= 0;
}

void Append(TBytes& b, const TBytes& more)
{
    for (uint8_t byte : more.Data())
        b.U8(byte);
}

void CurveEntry(TBytes& b, int16_t classId, int32_t id, uint8_t layer, const std::vector<TPt>& points,
                uint8_t flags = kShown)
{
    b.I16(classId);
    ObjectHead(b, "QV-3.6", id, layer, flags);
    PrimitivePart(b, points, 0);
    CurvePart(b, 50);
}

} // namespace

TMatrix Translation(double dx, double dy)
{
    TMatrix m = kIdentity;
    m[12] = dx;
    m[13] = dy;
    return m;
}

TMatrix QuarterTurnAndShift(double dx, double dy)
{
    return {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, dx, dy, 0, 1};
}

void ObjectHead(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, uint8_t flags, const TMatrix& m)
{
    b.I32(id).U8(layer).U8(flags);
    if (Uses3x3(signature)) {
        // Rows (T11 T12 T13), (T21 T22 T23), (T31 T32 T33): the translation
        // is the third row.
        b.F64(1).F64(0).F64(0);
        b.F64(0).F64(1).F64(0);
        b.F64(m[12]).F64(m[13]).F64(1);
        return;
    }
    for (double e : m)
        b.F64(e);
}

void PrimitivePart(TBytes& b, const std::vector<TPt>& points, uint8_t growable)
{
    b.I16(static_cast<int16_t>(points.size()));
    for (const TPt& p : points)
        Point(b, p);
    b.U8(growable);
}

void CurvePart(TBytes& b, int16_t segments, uint8_t keep)
{
    b.I16(segments).U8(keep);
}

void BlockName(TBytes& b, const std::string& name)
{
    for (size_t i = 0; i < 13; ++i)
        b.U8(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

void LineEntry(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, TPt p1, TPt p2, uint8_t flags,
               const TMatrix& m)
{
    b.I16(kLineId);
    ObjectHead(b, signature, id, layer, flags, m);
    PrimitivePart(b, {p1, p2}, 0);
}

void BlockEntry(TBytes& b, const std::string& signature, int32_t id, uint8_t layer, const std::string& name,
                TPt insertion, const TMatrix& m)
{
    b.I16(kBlockId);
    ObjectHead(b, signature, id, layer, kShown, m);
    BlockName(b, name);
    Point(b, insertion);
}

void SourceBlockEntry(TBytes& b, const std::string& signature, int32_t id, int32_t childCount, const TBytes& children,
                      const std::string& name, uint8_t library)
{
    b.I16(kSourceBlockId);
    ObjectHead(b, signature, id, 0, kShown);
    b.I32(childCount);
    Append(b, children);
    b.U8(1).U8(library); // saved, library
    BlockName(b, name);
}

void LayerRecord(TBytes& b, const TLayerFix& layer, const TLayerLayout& layout)
{
    b.U32(layer.PenColor).U8(layer.PenStyle).U8(layer.PenMode).I32(layer.PenWidth);
    b.U32(layer.BrushColor).U8(layer.BrushStyle);
    if (layout.ExtraInt32)
        b.I32(0x5A5A5A5A);
    if (layout.Pattern) {
        b.I32(static_cast<int32_t>(layer.Pattern.size()));
        for (uint8_t bit : layer.Pattern)
            b.U8(bit);
    }
    b.U8(layer.Active);
    if (layout.Visible)
        b.U8(layer.Visible);
    b.U8(layer.Spare);
    if (layout.SavedObjects)
        b.U8(layer.SavedObjects);
    if (layout.Name) {
        b.U8(static_cast<uint8_t>(layer.Name.size()));
        for (size_t i = 0; i < 31; ++i)
            b.U8(i < layer.Name.size() ? static_cast<uint8_t>(layer.Name[i]) : 0);
    }
}

void LayerSection(TBytes& b, const std::vector<TLayerFix>& layers, const TLayerLayout& layout)
{
    b.I16(1);
    for (const TLayerFix& layer : layers) {
        b.I16(layer.Number);
        LayerRecord(b, layer, layout);
    }
    b.I16(256);
}

std::vector<uint8_t> EmptyDocument()
{
    TBytes b;
    b.Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(0).U8(4).I32(-1);
    return b.Data();
}

std::vector<uint8_t> FullDocument(bool withLabel)
{
    const std::string sig = "QV-3.6";
    TBytes b;
    Signature(b, sig);

    TLayerFix walls;
    walls.Number = 3;
    walls.PenColor = 0x000000FF;
    walls.PenWidth = 2;
    walls.Pattern = {1, 0, 1};
    walls.Name = "Walls";
    TLayerFix hidden;
    hidden.Number = 9;
    hidden.PenColor = 0x00FF0000;
    hidden.PenStyle = 2;
    hidden.BrushColor = 0x00C0C0C0;
    hidden.BrushStyle = 1;
    hidden.Active = 0;
    hidden.Visible = 0;
    hidden.Spare = 1;
    hidden.Name = "Hidden";
    LayerSection(b, {walls, hidden});

    // Source blocks: "BOLT" (a line and a circle), "PLATE" (a shifted
    // reference to "BOLT").
    b.U8(2).I32(2);
    TBytes bolt;
    LineEntry(bolt, sig, 1, 0, {0, 0}, {10, 0});
    bolt.I16(kCerchioId);
    ObjectHead(bolt, sig, 2, 3, kShown);
    PrimitivePart(bolt, {{5, 5}, {8, 5}}, 0);
    CurvePart(bolt, 50);
    SourceBlockEntry(b, sig, 0, 2, bolt, "BOLT");
    TBytes plate;
    BlockEntry(plate, sig, 7, 0, "BOLT", {1, 2, 1}, Translation(5, 0));
    SourceBlockEntry(b, sig, 1, 1, plate, "PLATE");

    b.U8(3).I32(kFullObjectCount + (withLabel ? 1 : 0));
    // 0: a line on layer 3, turned and shifted.
    LineEntry(b, sig, 0, 3, {0, 0}, {10, 5}, kShown, QuarterTurnAndShift(100, 50));
    // 1, 2: polyline and polygon (growable).
    b.I16(kPolylineId);
    ObjectHead(b, sig, 1, 0, kShown);
    PrimitivePart(b, {{0, 0}, {1, 1}, {2, 0}}, 1);
    b.I16(kPolygonId);
    ObjectHead(b, sig, 2, 0, kShown);
    PrimitivePart(b, {{0, 0}, {4, 0}, {4, 3}, {0, 3}}, 1);
    // 3: rectangle on layer 3.
    CurveEntry(b, kRectangleId, 3, 3, {{1, 1}, {5, 4}});
    // 4: elliptical arc from parameter 0 to a quarter turn.
    b.I16(kEllipseOpenId);
    ObjectHead(b, sig, 4, 0, kShown);
    PrimitivePart(b, {{0, 0}, {8, 4}, {8, 2}, {4, 4}}, 0);
    CurvePart(b, 50);
    b.U8(1);
    // 5, 6: ellipse and filled ellipse.
    CurveEntry(b, kEllipseId, 5, 0, {{0, 0}, {6, 2}});
    CurveEntry(b, kFilledEllipseId, 6, 0, {{1, 1}, {3, 5}});
    // 7: a disabled frame.
    CurveEntry(b, kFrameId, 7, 0, {{0, 0}, {20, 10}}, kVisible);
    // 8: B-spline of order 3.
    b.I16(kBSplineId);
    ObjectHead(b, sig, 8, 0, kShown);
    PrimitivePart(b, {{0, 0}, {1, 2}, {3, 2}, {4, 0}}, 1);
    CurvePart(b, 50);
    b.U8(3);
    // 9: text "Hi", centred and bottom-justified.
    b.I16(kTextId);
    ObjectHead(b, sig, 9, 0, kShown);
    PrimitivePart(b, {{0, 0}, {20, 5}}, 0);
    b.I32(2).Str("Hi").I32(kFullTextFontSlot).U8(2).U8(1).U8(0).F64(5).F64(0.02).F64(0.1);
    if (withLabel) {
        b.I16(kLabelId);
        ObjectHead(b, sig, -1, 0, kShown);
        b.I32(2);
        b.StreamEx("A").F32(1).F32(2).F32(3).F32(0.5f);
        b.StreamEx("BC").F32(4).F32(5).F32(6).F32(1.5f);
        b.I32(2);
    }
    // 10: an invisible point on the hidden layer 9.
    b.I16(kPuntoId);
    ObjectHead(b, sig, 10, 9, kEnabled);
    PrimitivePart(b, {{7, 7}}, 0);
    // 11: circle; 12: arc from angle 0 to a quarter turn; 13: filled circle.
    CurveEntry(b, kCerchioId, 11, 0, {{0, 0}, {3, 0}});
    b.I16(kArcoId);
    ObjectHead(b, sig, 12, 0, kShown);
    PrimitivePart(b, {{0, 0}, {2, 0}, {2, 0}, {0, 2}}, 0);
    CurvePart(b, 50);
    b.U8(1);
    CurveEntry(b, kFilledCerchioId, 13, 0, {{1, 1}, {2, 1}});
    // 14: rational spline with 100 segments and no kept profile, flags
    // rational and planar.
    b.I16(kQVBSplineId);
    ObjectHead(b, sig, 14, 0, kShown);
    PrimitivePart(b, {{0, 0}, {1, 2}, {3, 2}, {4, 0}}, 1);
    CurvePart(b, 100, 0);
    b.U8(0).U8(0).U8(1).U8(1).U8(0).I32(3);
    b.I32(8).F64(0).F64(0).F64(0).F64(0).F64(1).F64(1).F64(1).F64(1);
    b.I32(4).F64(1).F64(1).F64(1).F64(1);
    // 15: insert of "PLATE".
    b.I16(kInsertId);
    ObjectHead(b, sig, 15, 0, kShown);
    BlockName(b, "PLATE");
    Point(b, {2, 3, 1});
    // 16: container on layer 3: an unsaved line and a reference to "BOLT".
    b.I16(kContainerId);
    ObjectHead(b, sig, 16, 3, kShown);
    b.I32(2);
    LineEntry(b, sig, 77, 5, {0, 0}, {1, 1}, kShown | kNotSaved);
    BlockEntry(b, sig, 78, 5, "BOLT");
    // 17: reference to "BOLT" on layer 3, shifted.
    BlockEntry(b, sig, 17, 3, "BOLT", {0, 0, 1}, Translation(20, 20));
    // 18: a bitmap of 2 x 1 pixels between (0, 0) and (4, 2): the embedded
    // BMP (top-down, blue green red alpha), reserved values, SRCCOPY, 0.5.
    b.I16(kBitmapId);
    ObjectHead(b, sig, 18, 0, kShown);
    PrimitivePart(b, {{0, 0}, {4, 2}}, 0);
    b.Str("BM").I32(54 + 8).I32(0).I32(54).I32(40).I32(2).I32(-1).I16(1).I16(32).I32(0).I32(8);
    b.I32(0).I32(0).I32(0).I32(0);
    b.U8(0x10).U8(0x20).U8(0x30).U8(0xFF).U8(0x40).U8(0x50).U8(0x60).U8(0xFF);
    b.F64(0).F64(0).I32(0x00CC0020).F32(0.5f);
    // 19: a 3D line: two points of X, Y, Z, W.
    b.I16(kLine3DId);
    ObjectHead(b, sig, 19, 0, kShown);
    b.I16(2).F64(1).F64(2).F64(3).F64(1).F64(4).F64(5).F64(6).F64(1).U8(0);
    // 20: an STL surface of one facet as binary STL.
    b.I16(kStlSurfaceId);
    ObjectHead(b, sig, 20, 0, kShown);
    const std::string header = "GLScene STL export";
    b.Str(header);
    for (size_t i = header.size(); i < 80; ++i)
        b.U8(0);
    b.U32(1);
    b.F32(0).F32(0).F32(1);                                  // normal
    b.F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0).F32(1).F32(0); // vertices
    b.U8(0).U8(0);

    b.U8(4).I32(-1);
    return b.Data();
}

std::vector<uint8_t> OldDocument(const std::string& signature, const TLayerLayout& layout)
{
    TBytes b;
    Signature(b, signature);
    TLayerFix old;
    old.Number = 5;
    old.PenColor = 0x0000FF00;
    old.PenWidth = 3;
    old.Pattern = {1, 1, 0};
    old.Visible = 0;
    old.Spare = 1;
    old.SavedObjects = 0;
    old.Name = "Old";
    LayerSection(b, {old}, layout);

    b.U8(2).I32(1);
    TBytes child;
    LineEntry(child, signature, 1, 0, {0, 0}, {1, 0});
    SourceBlockEntry(b, signature, 0, 1, child, "B");

    b.U8(3).I32(2);
    LineEntry(b, signature, 0, 5, {0, 0}, {2, 0}, kShown, Translation(3, 4));
    BlockEntry(b, signature, 1, 0, "B");
    return b.Data();
}

std::vector<uint8_t> SmallDocument()
{
    const std::string sig = "QV-3.6";
    TBytes b;
    Signature(b, sig);
    TLayerFix one;
    one.Number = 1;
    one.Name = "One";
    LayerSection(b, {one});
    b.U8(2).I32(1);
    TBytes child;
    LineEntry(child, sig, 1, 0, {0, 0}, {1, 0});
    SourceBlockEntry(b, sig, 0, 1, child, "S");
    b.U8(3).I32(3);
    LineEntry(b, sig, 0, 1, {0, 0}, {5, 5});
    BlockEntry(b, sig, 1, 0, "S");
    CurveEntry(b, kCerchioId, 2, 0, {{0, 0}, {1, 0}});
    b.U8(4).I32(-1);
    return b.Data();
}

size_t SmallDocumentOperationsOffset()
{
    return SmallDocument().size() - 5;
}

std::vector<uint8_t> Library(const std::string& signature)
{
    TBytes b;
    Signature(b, signature);
    b.U8(2).I32(1);
    TBytes child;
    LineEntry(child, signature, 1, 0, {0, 0}, {3, 0});
    SourceBlockEntry(b, signature, 0, 1, child, "LIBBLK", 1);
    return b.Data();
}

} // namespace docfix
