#include "cam/drop/AdapDropCutter.h"

#include "cam/generators/Tasca.h"
#include "cam/params/ParametriOperazione.h"
#include "core/model/CADSysException.h"
#include "core/entities/QVStl.h"
#include "core/entities/QV_STLSurf.h"
#include "core/geometry/Tolerance.h"

#include <cmath>

// ---- base -------------------------------------------------------------------

TBaseOperazione3D::~TBaseOperazione3D() = default;

void TBaseOperazione3D::SetSTL(const TQVStl* source)
{
    m_Source = source;
    m_KDTree.SetXYDimensions();
    m_KDTree.SetBucketSize(m_BucketSize);
    if (source)
        m_KDTree.Build(source->Triangles());
    else
        m_KDTree.Build(std::vector<const TTri*>{});
    for (auto& sub : m_SubOperations)
        sub->SetSTL(source);
}

void TBaseOperazione3D::SetCutter(const TCutterSpec& tool)
{
    m_Cutter = CreateMillCutter(tool);
    for (auto& sub : m_SubOperations)
        sub->SetCutter(tool);
}

void TBaseOperazione3D::FreeCutters()
{
    m_Cutter.reset();
    for (auto& sub : m_SubOperations)
        sub->FreeCutters();
}

TBaseOperazione3D* TBaseOperazione3D::SubOperation(size_t index) const
{
    return index < m_SubOperations.size() ? m_SubOperations[index].get() : nullptr;
}

std::vector<double> TBaseOperazione3D::ZLevels(double step, double bottom, double top)
{
    // A step of 0 or less (or NaN) would never reach the bottom.
    if (!(step > 0.0) || !std::isfinite(top))
        return {bottom};
    std::vector<double> levels;
    double z = top;
    for (;;) {
        z -= step;
        if (std::fabs(z - bottom) <= SystemTol() || z < bottom || !(z == z)) {
            levels.push_back(bottom);
            return levels;
        }
        levels.push_back(z);
    }
}

// ---- point drop -------------------------------------------------------------

void TPointDropCutter::DropCL(TCLPoint& cl) const
{
    if (!m_Cutter)
        return;
    for (const TTri* t : m_KDTree.TrianglesNear(*m_Cutter, cl))
        if (m_Cutter->Overlaps(cl, *t) && cl.Below(*t))
            m_Cutter->DropOnTriangle(cl, *t);
}

// ---- adaptive drop ----------------------------------------------------------

TAdapDropCutter::TAdapDropCutter()
{
    m_SubOperations.push_back(std::make_unique<TPointDropCutter>());
    m_Sampling = 5.0;
    m_MinSampling = 0.1;
    m_FlatnessLimit = 0.999;
}

void TAdapDropCutter::SetSampling(double resolution)
{
    // Without a positive resolution the subdivision would only stop when
    // float rounding makes two points coincide: millions of drops per span.
    if (!(resolution > 0.0) || !std::isfinite(resolution))
        throw ECADSysException("TAdapDropCutter.SetSampling: the resolution must be a positive length.");
    m_MinSampling = resolution;
    m_Sampling = 20.0 * resolution;
}

TCLPoint TAdapDropCutter::DroppedAt(const TDropPath::TSpan& span, double t) const
{
    float p[3] = {0.0f, 0.0f, 0.0f};
    span.PointAt(t, p);
    TCLPoint cl(p[0], p[1], p[2]);
    static_cast<const TPointDropCutter*>(SubOperation(0))->DropCL(cl);
    return cl;
}

bool TAdapDropCutter::IsFlat(const TCLPoint& a, const TCLPoint& b, const TCLPoint& c) const
{
    double u[3] = {double(b.X) - a.X, double(b.Y) - a.Y, double(b.Z) - a.Z};
    double v[3] = {double(c.X) - b.X, double(c.Y) - b.Y, double(c.Z) - b.Z};
    const double lu = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    const double lv = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (lu == 0.0 || lv == 0.0)
        return false;
    return (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / (lu * lv) > m_FlatnessLimit;
}

void TAdapDropCutter::Adaptive(const TDropPath::TSpan& span, const TCLPoint& cs, const TCLPoint& ce, double ts, double te)
{
    const double tm = ts + (te - ts) * 0.5;
    const TCLPoint cm = DroppedAt(span, tm);
    const double l = std::hypot(double(ce.X) - cs.X, double(ce.Y) - cs.Y);
    if (l <= m_Sampling && (IsFlat(cs, cm, ce) || l <= m_MinSampling)) {
        m_CLList.push_back(ce);
        return;
    }
    Adaptive(span, cs, cm, ts, tm);
    Adaptive(span, cm, ce, tm, te);
}

bool TAdapDropCutter::RunPath()
{
    m_CLList.clear();
    if (!m_Path)
        return true;
    const size_t n = m_Path->SpanCount();
    for (size_t k = 0; k < n; ++k) {
        const TDropPath::TSpan& span = m_Path->Span(k);
        const TCLPoint c0 = DroppedAt(span, 0.0);
        const TCLPoint c1 = DroppedAt(span, 1.0);
        m_CLList.push_back(c0);
        Adaptive(span, c0, c1, 0.0, 1.0);
        if (StepProgress(static_cast<int32_t>(n) - 1, static_cast<int32_t>(k)))
            return false;
    }
    return true;
}

bool TAdapDropCutter::Run(const TQV_STLSurf& surface, const TParametriOperazione& params, const TCutterSpec& tool,
                          TListaDiCurve3d& toolpath)
{
    TQVStl source;
    source.AddSurfaceTriangles(surface);
    return RunOnSource(source, params, tool, toolpath);
}

bool TAdapDropCutter::RunOnSource(const TQVStl& source, const TParametriOperazione& params, const TCutterSpec& tool,
                                  TListaDiCurve3d& toolpath)
{
    if (source.Triangles().empty())
        throw ECADSysException("TAdapDropCutter.Run: the surface has no triangles.");
    // The tree and the path refer to objects of the caller and of this call:
    // drop both however the run ends.
    struct TRunSection {
        TAdapDropCutter& Owner;
        ~TRunSection()
        {
            Owner.SetPath(nullptr);
            Owner.SetSTL(nullptr);
            Owner.EndProgress();
        }
    } section{*this};
    StartProgress();

    SetSTL(&source);
    SetCutter(tool);

    if (!(params.StepOverPercent > 0.0) || !std::isfinite(params.StepOverPercent))
        throw ECADSysException("TDropPath.Raster: the step-over must be a positive length.");
    TDropPath path;
    bool made;
    if (m_PathMaker) {
        made = m_PathMaker(path);
    } else {
        // The pocket's raster over the surface's box, sharing this run's
        // progress and break.
        TTasca raster;
        raster.SetProgress(*this);
        const TBBox& box = source.Box();
        made = raster.HatchRectangle(params, path, {box.Min[0] - params.MarginX, box.Min[1] - params.MarginY},
                                     {box.Max[0] + params.MarginX, box.Max[1] + params.MarginY});
    }
    // A raster broken off leaves no toolpath.
    if (!made)
        return false;
    SetPath(&path);
    SetSampling(params.Resolution);

    const double step = params.RoughPass3D ? params.ZStep : 10000.0;
    for (double z : ZLevels(step, params.ZBottom, params.ZTop)) {
        auto curve = std::make_unique<TCurvaNci3d>();
        path.SetZ(static_cast<float>(z));
        RunPath();
        for (const TCLPoint& cl : m_CLList)
            curve->AddVertex(TAVertice3d::CreateAt({double(cl.X), double(cl.Y), double(cl.Z)}));
        m_CLList.clear();
        toolpath.push_back(std::move(curve));
    }
    return true;
}
