// The entity readers of TDXF2DImport that work on one whole group: points,
// lines, circles, arcs, ellipses, traces, solids, texts and inserts, and the
// dispatcher ReadEntity. The polyline and spline readers are in
// io/DXFPolylineReaders.cpp.

#include "io/dxf/DXF2DImport.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double DegToRad = std::numbers::pi / 180.0;

TPoint2D PointOf(const DXFGroupArray& g, uint16_t xCode)
{
    return MakePoint2D(g[xCode].AsDouble(), g[static_cast<uint16_t>(xCode + 10)].AsDouble());
}

TPoint2D MirroredX(const TPoint2D& p)
{
    return MakePoint2D(-p.X, p.Y);
}

} // namespace

bool TDXF2DImport::IsDownward(const DXFGroupArray& g)
{
    return g.Has(230) && std::fabs(g[230].AsDouble() + 1.0) <= 1e-9;
}

void TDXF2DImport::SkipToNextEntity()
{
    while (m_Reader->NextPairInEntity()) {
    }
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadEntity(bool skipInserts, bool insideBlock)
{
    // The readers below always start on the code 0 pair of an entity; a
    // reader left anywhere else (damaged input) walks on to the next one.
    if (m_Reader->Code() != 0) {
        SkipToNextEntity();
        return nullptr;
    }
    if (m_Reader->Value().Is("LWPOLYLINE"))
        return ReadLWPolyline();
    if (m_Reader->Value().Is("SPLINE"))
        return ReadSpline();

    DXFGroupArray& g = m_Group;
    g.Clear();
    m_Reader->ReadGroup(0, g);
    SetLayerByName(g[8]);
    const TDXFValue& type = g[0];
    if (type.Is("LINE"))
        return ReadLine(g);
    if (type.Is("ARC"))
        return ReadArc(g);
    if (type.Is("CIRCLE"))
        return ReadCircle(g);
    if (type.Is("POINT"))
        return ReadPoint(g);
    if (type.Is("POLYLINE"))
        return ReadPolyline(g);
    if (type.Is("ELLIPSE"))
        return ReadEllipse(g);
    if (type.Is("TEXT"))
        return ReadText(g);
    if (type.Is("SOLID"))
        return ReadSolid(g);
    if (type.Is("TRACE"))
        return ReadTrace(g);
    if (type.Is("INSERT")) {
        if (skipInserts) {
            Skip("INSERT");
            return nullptr;
        }
        return insideBlock ? ReadNestedInsert(g) : ReadInsert(g);
    }
    // The ends of polylines, blocks and sections met out of place carry
    // nothing of the drawing; every other type is one this program does
    // not read (MTEXT, HATCH, DIMENSION, ATTRIB, VIEWPORT, ...).
    if (!type.IsText() || type.Is("") || type.Is("SEQEND") || type.Is("ENDBLK") || type.Is("ENDSEC") ||
        type.Is("EOF"))
        return nullptr;
    Skip(type.AsString());
    return nullptr;
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadPoint(const DXFGroupArray& g)
{
    // POINT and LINE coordinates are drawing coordinates whatever the
    // extrusion.
    ++m_Counters.Points;
    return std::make_unique<TPunto2D>(0, PointOf(g, 10));
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadLine(const DXFGroupArray& g)
{
    ++m_Counters.Lines;
    return std::make_unique<TLine2D>(0, PointOf(g, 10), PointOf(g, 11));
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadCircle(const DXFGroupArray& g)
{
    TPoint2D centre = PointOf(g, 10);
    if (IsDownward(g))
        centre = MirroredX(centre);
    ++m_Counters.Circles;
    return std::make_unique<TCerchio2D>(0, centre, MakePoint2D(centre.X + g[40].AsDouble(), centre.Y));
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadArc(const DXFGroupArray& g)
{
    const double fromAngle = g[50].AsDouble() * DegToRad;
    const double toAngle = g[51].AsDouble() * DegToRad;
    double start = fromAngle;
    double end = toAngle;
    double x = g[10].AsDouble();
    if (IsDownward(g)) {
        // Mirrored in X: the arc from a to b counter-clockwise becomes the
        // arc from pi - b to pi - a counter-clockwise.
        x = -x;
        start = std::numbers::pi - toAngle;
        end = std::numbers::pi - fromAngle;
    }
    // A clockwise angle system keeps the same arc: its ends swap and the arc
    // runs clockwise from the first to the second (direction 0).
    if (!m_CounterClockwise)
        std::swap(start, end);
    const double y = g[20].AsDouble();
    auto arc = std::make_unique<TArco2D>(0, MakePoint2D(x, y), MakePoint2D(x + g[40].AsDouble(), y), start, end);
    arc->SetDirection(m_CounterClockwise ? 1 : 0);
    ++m_Counters.Arcs;
    return arc;
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadEllipse(const DXFGroupArray& g)
{
    const TPoint2D c = PointOf(g, 10);
    const TPoint2D p = PointOf(g, 11);
    const double r = g[40].AsDouble();
    double a = 0.0;
    double b = 0.0;
    double theta = 0.0;
    if (m_Version <= 13) {
        // The absolute end of the major axis and the minor half-axis.
        a = std::hypot(p.X - c.X, p.Y - c.Y);
        b = r;
        theta = std::atan2(p.Y - c.Y, p.X - c.X);
    } else {
        // The major axis relative to the centre and the ratio of the axes.
        a = std::hypot(p.X, p.Y);
        b = a * r;
        theta = std::atan2(p.Y, p.X);
    }
    auto ellipse = std::make_unique<TEllipseOpen2D>(0, MakePoint2D(c.X - a, c.Y - b), MakePoint2D(c.X + a, c.Y + b),
                                                    g[41].AsDouble(), g[42].AsDouble());
    ++m_Counters.Ellipses;
    const bool downward = IsDownward(g);
    if (theta == 0.0 && !downward)
        return ellipse;

    // Turned counter-clockwise by theta about the centre, as the major axis
    // points. With the extrusion pointing down the parameter runs clockwise:
    // the arc is mirrored across its major axis before it is turned.
    TMatrix4 m = TMatrix4::CreateTranslation(-c.X, -c.Y, 0.0);
    if (downward)
        m.Mirror(0);
    m.RotateZ(theta, false);
    m.Translate(c.X, c.Y, 0.0);
    ellipse->SetTransform(m);
    std::vector<TPoint2D> points;
    {
        const TProfilePointsUse use(*ellipse);
        const TMatrix4 transform = ellipse->GetModelTransform();
        const auto profile = ellipse->ProfilePoints().Points();
        points.reserve(profile.size());
        for (const TPoint2D& q : profile)
            points.push_back(transform.TransformPoint2D(q));
    }
    return PolylineFromPoints(points);
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadTrace(const DXFGroupArray& g)
{
    // The corners of a trace and of a solid go round in the order 1, 2, 4, 3
    // of their codes 10, 11, 13, 12.
    std::vector<TPoint2D> points{PointOf(g, 10), PointOf(g, 11), PointOf(g, 13), PointOf(g, 12)};
    if (IsDownward(g))
        for (TPoint2D& p : points)
            p = MirroredX(p);
    ++m_Counters.Polylines;
    return std::make_unique<TPolyline2D>(0, points);
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadSolid(const DXFGroupArray& g)
{
    std::vector<TPoint2D> points{PointOf(g, 10), PointOf(g, 11)};
    if (g.Has(13))
        points.push_back(PointOf(g, 13));
    points.push_back(PointOf(g, 12));
    points.push_back(PointOf(g, 10));
    if (IsDownward(g))
        for (TPoint2D& p : points)
            p = MirroredX(p);
    ++m_Counters.Polylines;
    return std::make_unique<TPolyline2D>(0, points);
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadText(const DXFGroupArray& g)
{
    if (!m_TextFont) {
        Skip("TEXT");
        return nullptr;
    }
    const TPoint2D p = PointOf(g, 10);
    const double height = g[40].AsDouble();
    auto text = std::make_unique<TJustifiedVectText2D>(0, m_TextFont, TRect2D{p, MakePoint2D(p.X, p.Y + height)},
                                                       height, g[1].AsString());
    if (g.Has(72)) {
        const int32_t h = g[72].AsInteger();
        if (h == 1)
            text->SetHJustification(TJustifiedVectText2D::kJustifyCentre);
        else if (h == 2)
            text->SetHJustification(TJustifiedVectText2D::kJustifyRight);
    }
    if (g.Has(73)) {
        const int32_t v = g[73].AsInteger();
        if (v == 1)
            text->SetVJustification(TJustifiedVectText2D::kJustifyBottom);
        else if (v == 2)
            text->SetVJustification(TJustifiedVectText2D::kJustifyMiddle);
        // The second alignment point, where the file gives one (files write
        // code 73 also for texts that have none).
        if (g.Has(11) || g.Has(21))
            text->Points().SetPoint(1, PointOf(g, 11));
    }
    if (g.Has(50)) {
        // Counter-clockwise by the angle about control point 1.
        const TPoint2D pivot = text->Points().Get(1);
        TMatrix4 m = TMatrix4::CreateTranslation(-pivot.X, -pivot.Y, 0.0);
        m.RotateZ(g[50].AsDouble(), true);
        m.Translate(pivot.X, pivot.Y, 0.0);
        text->Transform(m);
    }
    if (IsDownward(g))
        text->Transform(TMatrix4::CreateMirror(1));
    ++m_Counters.Texts;
    return text;
}

namespace {

// The placement of a block reference: scaled by (41, 42), turned
// counter-clockwise by 50 degrees about the block's origin, moved to the
// insertion point (10, 20); mirrored in X after all that when the extrusion
// points down.
TMatrix4 InsertTransform(const DXFGroupArray& g, bool downward)
{
    TMatrix4 scale;
    if (g.Has(41))
        scale.SetElement(0, g[41].AsDouble());
    if (g.Has(42))
        scale.SetElement(5, g[42].AsDouble());
    const TMatrix4 rotation = g.Has(50) ? TMatrix4::CreateRotationZ(g[50].AsDouble(), true) : TMatrix4();
    TMatrix4 m;
    m.Multiply(scale, rotation);
    m.Translate(g[10].AsDouble(), g[20].AsDouble(), 0.0);
    if (downward)
        m.Mirror(1);
    return m;
}

} // namespace

std::unique_ptr<TObject2D> TDXF2DImport::ReadInsert(const DXFGroupArray& g)
{
    TSourceBlock2D* source = FindBlockForInsert(g[2].AsString());
    if (!source) {
        Skip("INSERT", DXFMissingBlockMessage);
        ShowMessage(DXFMissingBlockMessage);
        return nullptr;
    }
    ++m_Counters.Inserts;
    auto reference = std::make_unique<TBlock2D>(0, source);
    reference->SetTransform(InsertTransform(g, IsDownward(g)));
    reference->ApplyTransform();
    reference->UpdateBounds();
    if (m_InsertedBlocks.empty() || m_InsertedBlocks.back() != source)
        m_InsertedBlocks.push_back(source);
    return reference;
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadNestedInsert(const DXFGroupArray& g)
{
    const std::string name = g[2].AsString();
    auto reference = std::make_unique<TInsert>(-1, name);
    reference->SetTransform(InsertTransform(g, IsDownward(g)));
    reference->ApplyTransform();
    reference->UpdateBounds();
    // Linked by BindNestedInserts once every block of the file is known.
    if (m_CurrentBlock)
        m_CurrentBlock->Inserts.push_back({nullptr, reference.get(), name});
    return reference;
}
