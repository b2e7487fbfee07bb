#pragma once
// TFiltraInArchi: the arc filter. It replaces runs of short segments of the
// visible polylines by arcs and makes lines and arcs of the result, either
// into the drawing or as a one-off preview. It serves the traced result of
// the bitmap vectorisation and the tool window's arc filter on the drawing.
//
// The arc fitting itself belongs to the machining curves, a subsystem above
// this library: it installs the fitter at start-up (SetArcFitter). Until one
// is installed every curve keeps its line segments, so the filter still
// turns polylines into lines and counts them. Main thread only.

#include "core/entities/CurveToEntities.h"
#include "core/geometry/Vertice.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class TGraphicObjIterator;
class TMatrix4;
class TObject2D;
class TPolyline2D;
class TQV_01Cmp2D;

// One curve of the filter: a start vertex, then one vertex per segment
// (kind 0 line, 1 counter-clockwise arc, -1 clockwise arc about Centre).
struct TFilterCurve {
    std::vector<TAVertice> Vertices;
    bool Closed = false;
};

// Replaces runs of line vertices by arc vertices where the points lie on a
// common circle within the tolerance; an arc whose radius would exceed
// maximum stays as lines. The curve keeps its start and end points and its
// closed flag.
using TArcFitter = std::function<void(TFilterCurve& curve, double tolerance, double minimum, double maximum)>;
// Installs the fitter (null: curves keep their lines) and returns the
// previous one.
TArcFitter SetArcFitter(TArcFitter fitter);

class TFiltraInArchi {
public:
    enum class TMode : uint8_t { Drawing = 0, Preview = 1 };
    // Colours (0x00BBGGRR) and width of the preview.
    static constexpr uint32_t PreviewArcColour = ::PreviewArcColour;
    static constexpr uint32_t PreviewLineColour = ::PreviewLineColour;
    static constexpr uint8_t PreviewLineWidth = ::PreviewLineWidth;

    TFiltraInArchi(TQV_01Cmp2D& document, TMode mode);
    TFiltraInArchi(const TFiltraInArchi&) = delete;
    TFiltraInArchi& operator=(const TFiltraInArchi&) = delete;
    ~TFiltraInArchi();

    // Reads the three texts as decimal numbers ("." separator whatever the
    // locale). Any text that is not a number returns false and leaves the
    // filter unusable (Execute then does nothing).
    bool SetParams(std::string_view tolerance, std::string_view minimum, std::string_view maximum);
    // Mapped after each polyline's own transform; not owned, may be null.
    void SetExtraTransform(const TMatrix4* transform) { m_ExtraTransform = transform; }

    // Every visible TPolyline2D on a visible layer of the document becomes a
    // curve (points mapped by its model transform and then the extra
    // transform; closed when its first and last points agree within
    // SystemTol; a clockwise closed curve is reversed), arcs are fitted, and
    // each segment becomes a TLine2D or TArco2D: added to the document on
    // its current layer in drawing mode, handed to OnPreviewEntity (then
    // freed) in preview mode. The iterator is released before the document
    // is changed. Nothing after a failed SetParams.
    void Execute(TGraphicObjIterator iterator);

    // The curve of one polyline as Execute builds it (before arc fitting);
    // an empty curve below two points. Counts the points read.
    TFilterCurve CurveOfPolyline(const TPolyline2D& polyline);

    // Preview mode: each made entity, drawn once in PreviewArcColour or
    // PreviewLineColour at PreviewLineWidth.
    std::function<void(TObject2D& entity)> OnPreviewEntity;

    int32_t PointsRead = 0;
    int32_t ArcsMade = 0;
    int32_t LinesMade = 0;

    double Tolerance() const { return m_Tolerance; }
    double Minimum() const { return m_Minimum; }
    double Maximum() const { return m_Maximum; }

private:
    void CurveToEntities(const TFilterCurve& curve);

    TQV_01Cmp2D& m_Document;
    TMode m_Mode;
    bool m_Ready = false;
    double m_Tolerance = 0.0;
    double m_Minimum = 0.0;
    double m_Maximum = 0.0;
    const TMatrix4* m_ExtraTransform = nullptr;
};

// Signed area of a closed line curve by the trapezoid sum
// sum (x[i+1] - x[i]) (y[i+1] + y[i]): positive when it runs clockwise.
double FilterCurveTrapezoidSum(const TFilterCurve& curve);
