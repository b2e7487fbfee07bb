#include "io/dxf/DXF2DExport.h"

#include "core/file/Stream.h"
#include "core/geometry/Vertice.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/dxf/ACIColors.h"
#include "io/dxf/DXFWriter.h"
#include "platform/IniFile.h"

#include <cmath>
#include <numbers>

TDXF2DExport::TDXF2DExport(std::string fileName, TQV_01Cmp2D& document)
    : m_FileName(std::move(fileName)), m_Document(document), m_Writer(std::make_unique<TDXFWrite>())
{
}

TDXF2DExport::~TDXF2DExport() = default;

const std::string& TDXF2DExport::Text() const
{
    return m_Writer->Text();
}

void TDXF2DExport::ExportToolpath(const std::vector<TToolpathVertices>& curves, const std::string& layerName)
{
    m_LayerName = layerName;
    m_Writer->Restart();
    m_Document.Layers().GetLayer(m_Document.CurrentLayer()).SetModified();
    WriteHeader();
    WriteTables();
    WriteEntities(curves);
}

void TDXF2DExport::Finish()
{
    m_Writer->WritePair(0, "EOF");
    const std::string error = WriteFileAtomically(m_FileName, m_Writer->Text());
    if (!error.empty())
        throw EStreamWriteError(error);
}

void TDXF2DExport::WriteHeader()
{
    TDXFWrite& w = *m_Writer;
    const auto bounds = m_Document.GetDrawingBounds();
    const TRect2D box = bounds.value_or(TRect2D{}); // an empty drawing: 0
    w.BeginSection(TDXFSection::Header);
    w.WritePair(9, "$ACADVER");
    w.WritePair(1, "AC1009");
    w.WritePair(9, "$ANGDIR");
    w.WritePair(70, int32_t(0));
    w.WritePair(9, "$EXTMAX");
    w.WritePair(10, box.SecondEdge.X);
    w.WritePair(20, box.SecondEdge.Y);
    w.WritePair(30, 0.0);
    w.WritePair(9, "$EXTMIN");
    w.WritePair(10, box.FirstEdge.X);
    w.WritePair(20, box.FirstEdge.Y);
    w.WritePair(30, 0.0);
    w.WritePair(9, "$CECOLOR");
    w.WritePair(62, int32_t(256));
    w.WritePair(9, "$CELTYPE");
    w.WritePair(6, "BYLAYER");
    w.EndSection();
}

void TDXF2DExport::WriteTables()
{
    TDXFWrite& w = *m_Writer;
    w.BeginSection(TDXFSection::Tables);
    w.WritePair(0, "TABLE");
    w.WritePair(2, "LTYPE");
    w.WritePair(70, int32_t(1));
    w.WritePair(0, "LTYPE");
    w.WritePair(2, "CONTINUOUS");
    w.WritePair(70, int32_t(64));
    w.WritePair(3, "Solid line");
    w.WritePair(72, int32_t(65));
    w.WritePair(73, int32_t(0));
    w.WritePair(40, 0.0);
    w.WritePair(0, "ENDTAB");
    w.WritePair(0, "TABLE");
    w.WritePair(2, "LAYER");
    w.WritePair(70, int32_t(256));
    for (int number = 0; number < 256; ++number) {
        const TQV_21Layer& layer = m_Document.Layers().GetLayer(number);
        if (!layer.Modified())
            continue;
        w.WritePair(0, "LAYER");
        w.WritePair(2, layer.Name());
        w.WritePair(70, int32_t(64));
        w.WritePair(62, ColorToACI(layer.Pen().Color, layer.Active() != 0));
        w.WritePair(6, "CONTINUOUS");
    }
    w.WritePair(0, "ENDTAB");
    w.EndSection();
}

void TDXF2DExport::WriteEntities(const std::vector<TToolpathVertices>& curves)
{
    TDXFWrite& w = *m_Writer;
    w.BeginSection(TDXFSection::Entities);
    for (const TToolpathVertices& curve : curves) {
        for (size_t i = 1; i < curve.size(); ++i) {
            const TAVertice3d& previous = curve[i - 1];
            const TAVertice3d& v = curve[i];
            if (v.Kind != 0) {
                WriteArc(previous, v);
                continue;
            }
            w.WritePair(0, "LINE");
            w.WritePair(8, m_LayerName);
            w.WritePair(10, previous.EndPoint.X);
            w.WritePair(20, previous.EndPoint.Y);
            w.WritePair(30, previous.EndPoint.Z);
            w.WritePair(11, v.EndPoint.X);
            w.WritePair(21, v.EndPoint.Y);
            w.WritePair(31, v.EndPoint.Z);
        }
    }
    w.EndSection();
}

// An ARC from the previous point to v about v's centre: the angles in
// degrees, the end angle raised by a full turn where needed so the sweep
// runs forward in the arc's own direction, and written counter-clockwise
// (a clockwise arc swaps them).
void TDXF2DExport::WriteArc(const TAVertice3d& previous, const TAVertice3d& v)
{
    const double cx = v.Centre.X, cy = v.Centre.Y;
    const double sx = previous.EndPoint.X - cx, sy = previous.EndPoint.Y - cy;
    const double ex = v.EndPoint.X - cx, ey = v.EndPoint.Y - cy;
    const bool counterClockwise = v.Kind == 1;
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    auto angle = [](double y, double x) {
        const double a = std::atan2(y, x);
        return a < 0 ? a + 2 * std::numbers::pi : a;
    };
    double start = angle(sy, sx), end = angle(ey, ex);
    if (counterClockwise && end <= start)
        end += 2 * std::numbers::pi;
    if (!counterClockwise && start <= end)
        start += 2 * std::numbers::pi;
    TDXFWrite& w = *m_Writer;
    w.WritePair(0, "ARC");
    w.WritePair(8, m_LayerName);
    w.WritePair(10, cx);
    w.WritePair(20, cy);
    w.WritePair(30, v.EndPoint.Z);
    w.WritePair(40, std::hypot(sx, sy));
    w.WritePair(50, (counterClockwise ? start : end) * kDegrees);
    w.WritePair(51, (counterClockwise ? end : start) * kDegrees);
}
