#include "io/trace/FiltraInArchi.h"

#include "core/entities/CurveToEntities.h"
#include "core/model/GraphicObjList.h"
#include "core/model/Layers.h"
#include "core/geometry/Matrix4.h"
#include "core/settings/NumberText.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

TArcFitter& InstalledArcFitter()
{
    static TArcFitter fitter;
    return fitter;
}

bool SamePoint(const TVector2D& a, const TVector2D& b)
{
    const double tol = SystemTol();
    return std::fabs(a.X - b.X) <= tol && std::fabs(a.Y - b.Y) <= tol;
}

} // namespace

TArcFitter SetArcFitter(TArcFitter fitter)
{
    return std::exchange(InstalledArcFitter(), std::move(fitter));
}

double FilterCurveTrapezoidSum(const TFilterCurve& curve)
{
    double sum = 0.0;
    for (size_t i = 1; i < curve.Vertices.size(); ++i) {
        const TVector2D& a = curve.Vertices[i - 1].EndPoint;
        const TVector2D& b = curve.Vertices[i].EndPoint;
        sum += (b.X - a.X) * (b.Y + a.Y);
    }
    return sum;
}

TFiltraInArchi::TFiltraInArchi(TQV_01Cmp2D& document, TMode mode) : m_Document(document), m_Mode(mode) {}

TFiltraInArchi::~TFiltraInArchi() = default;

bool TFiltraInArchi::SetParams(std::string_view tolerance, std::string_view minimum, std::string_view maximum)
{
    const std::optional<double> tol = ParseDecimal(tolerance);
    const std::optional<double> min = ParseDecimal(minimum);
    const std::optional<double> max = ParseDecimal(maximum);
    m_Ready = tol && min && max;
    if (!m_Ready)
        return false;
    m_Tolerance = *tol;
    m_Minimum = *min;
    m_Maximum = *max;
    return true;
}

TFilterCurve TFiltraInArchi::CurveOfPolyline(const TPolyline2D& polyline)
{
    TFilterCurve curve;
    const TPointsSet2D& points = polyline.Points();
    const int count = points.Count();
    PointsRead += count;
    if (count < 2)
        return curve;
    const TMatrix4& model = polyline.GetModelTransform();
    curve.Vertices.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TPoint2D p = model.TransformPoint2D(points.Get(i));
        if (m_ExtraTransform)
            p = m_ExtraTransform->TransformPoint2D(p);
        curve.Vertices.push_back(TAVertice::CreateAt(TVector2D{p.X, p.Y}, 0));
    }
    curve.Closed = SamePoint(curve.Vertices.front().EndPoint, curve.Vertices.back().EndPoint);
    if (curve.Closed && FilterCurveTrapezoidSum(curve) > 0.0)
        std::reverse(curve.Vertices.begin(), curve.Vertices.end());
    return curve;
}

void TFiltraInArchi::Execute(TGraphicObjIterator iterator)
{
    std::vector<TFilterCurve> curves;
    {
        // The walk ends before anything is added: the document refuses
        // additions while one of its iterators is alive.
        TGraphicObjIterator walk = std::move(iterator);
        if (!m_Ready)
            return;
        for (TGraphicObject* object = walk.First(); object; object = walk.Next()) {
            const auto* polyline = dynamic_cast<const TPolyline2D*>(object);
            if (!polyline || !polyline->Visible() || !m_Document.Layers().GetLayer(polyline->Layer()).Visible())
                continue;
            TFilterCurve curve = CurveOfPolyline(*polyline);
            if (!curve.Vertices.empty())
                curves.push_back(std::move(curve));
        }
    }
    const TArcFitter& fitter = InstalledArcFitter();
    for (TFilterCurve& curve : curves) {
        if (fitter)
            fitter(curve, m_Tolerance, m_Minimum, m_Maximum);
        CurveToEntities(curve);
    }
}

void TFiltraInArchi::CurveToEntities(const TFilterCurve& curve)
{
    ::CurveToEntities(curve.Vertices, m_Document, m_Mode == TMode::Preview, LinesMade, ArcsMade,
                      [this](TObject2D& entity) {
                          if (OnPreviewEntity)
                              OnPreviewEntity(entity);
                      });
}
