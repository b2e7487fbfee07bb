#include "cam/drop/AdapDropCutter.h"

#include "cam/generators/Tasca.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/model/CADSysException.h"
#include "core/entities/QVStl.h"
#include "core/entities/QV_STLSurf.h"
#include "core/geometry/Tolerance.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>

// ---- base -------------------------------------------------------------------

TBaseOperazione3D::~TBaseOperazione3D() = default;

void TBaseOperazione3D::SetSTL(const TQVStl* source)
{
    m_Source = source;
    m_KDTree.SetXYDimensions();
    m_KDTree.SetBucketSize(m_BucketSize);
    m_KDTree.SetBuildThreads(m_BuildThreads);
    if (source)
        m_KDTree.Build(source->Triangles());
    else
        m_KDTree.Build(std::vector<const TTri*>{});
    SetSubOperationsSTL(source);
}

void TBaseOperazione3D::SetSubOperationsSTL(const TQVStl* source)
{
    for (auto& sub : m_SubOperations) {
        sub->m_BuildThreads = m_BuildThreads;
        sub->SetSTL(source);
    }
}

void TBaseOperazione3D::SetCutter(const TDatiUtFresa& tool)
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
    // A step within the tolerance would make levels no machine can tell
    // apart (and one below the precision of z would never leave the top).
    const double tol = SystemTol();
    if (!(step > tol) || !std::isfinite(step) || !std::isfinite(top) || !std::isfinite(bottom))
        return {bottom};
    if ((top - bottom) / step > static_cast<double>(kMaxZLevels))
        throw ECADSysException("TBaseOperazione3D.ZLevels: the Z increment is too small for the depth.");
    // Each level is counted from the top rather than stepped from the one
    // before, so rounding cannot add up or stall.
    std::vector<double> levels;
    for (int64_t k = 1;; ++k) {
        const double z = top - static_cast<double>(k) * step;
        if (std::fabs(z - bottom) <= tol || z < bottom) {
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

void TAdapDropCutter::SetSTL(const TQVStl* source)
{
    m_Source = source;
    SetSubOperationsSTL(source);
}

void TAdapDropCutter::SetSampling(double resolution)
{
    // The subdivision stops at the resolution: one at the precision of the
    // coordinates would drop millions of points per span.
    if (!(resolution > SystemTol()) || !std::isfinite(resolution))
        throw ECADSysException("TAdapDropCutter.SetSampling: the resolution must be a length above the tolerance.");
    m_MinSampling = resolution;
    m_Sampling = 20.0 * resolution;
}

unsigned TAdapDropCutter::ThreadCount() const
{
    if (m_ThreadCount > 0)
        return m_ThreadCount;
    return std::max(1u, std::thread::hardware_concurrency());
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

void TAdapDropCutter::Adaptive(const TDropPath::TSpan& span, const TCLPoint& cs, const TCLPoint& ce, double ts,
                               double te, std::vector<TCLPoint>& out, int64_t& drops) const
{
    const double tm = ts + (te - ts) * 0.5;
    const TCLPoint cm = DroppedAt(span, tm);
    ++drops;
    const double l = std::hypot(double(ce.X) - cs.X, double(ce.Y) - cs.Y);
    if (l <= m_Sampling && (IsFlat(cs, cm, ce) || l <= m_MinSampling)) {
        out.push_back(ce);
        return;
    }
    Adaptive(span, cs, cm, ts, tm, out, drops);
    Adaptive(span, cm, ce, tm, te, out, drops);
}

void TAdapDropCutter::SampleSpan(const TDropPath::TSpan& span, std::vector<TCLPoint>& out, int64_t& drops) const
{
    const TCLPoint c0 = DroppedAt(span, 0.0);
    const TCLPoint c1 = DroppedAt(span, 1.0);
    drops += 2;
    out.push_back(c0);
    Adaptive(span, c0, c1, 0.0, 1.0, out, drops);
}

bool TAdapDropCutter::RunPath()
{
    m_CLList.clear();
    m_DropCount = 0;
    if (!m_Path || m_Path->SpanCount() == 0)
        return true;
    const size_t n = m_Path->SpanCount();
    const int32_t total = static_cast<int32_t>(n) - 1;

    struct TSpanResult {
        std::vector<TCLPoint> Points;
        int64_t Drops = 0;
        bool Done = false;
    };
    std::vector<TSpanResult> results(n);
    std::mutex mutex;
    std::condition_variable spanDone;
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;

    // Workers take the next span not taken yet; only the main thread reports
    // progress and asks for the user's break.
    const auto work = [&] {
        while (!stop.load(std::memory_order_relaxed)) {
            const size_t k = next.fetch_add(1, std::memory_order_relaxed);
            if (k >= n)
                return;
            TSpanResult local;
            try {
                SampleSpan(m_Path->Span(k), local.Points, local.Drops);
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure)
                    failure = std::current_exception();
                stop.store(true);
                spanDone.notify_all();
                return;
            }
            {
                const std::lock_guard lock(mutex);
                results[k].Points = std::move(local.Points);
                results[k].Drops = local.Drops;
                results[k].Done = true;
            }
            spanDone.notify_all();
        }
    };
    const size_t threads = std::min<size_t>(ThreadCount(), n);
    std::vector<std::jthread> pool;
    // Declared after the pool: on any way out the workers are told to stop
    // before the pool joins them.
    struct TStopOnExit {
        std::atomic<bool>& Stop;
        std::vector<std::jthread>& Pool;
        ~TStopOnExit()
        {
            Stop.store(true);
            for (std::jthread& t : Pool)
                if (t.joinable())
                    t.join();
        }
    } stopOnExit{stop, pool};
    pool.reserve(threads);
    for (size_t i = 0; i < threads; ++i)
        pool.emplace_back(work);

    // The progress steps come once per span in path order, as if one thread
    // did the work; a span that takes long is waited for in short slices so
    // that the window stays responsive and a break is seen.
    bool broken = false;
    for (size_t k = 0; k < n && !broken; ++k) {
        std::unique_lock lock(mutex);
        while (!results[k].Done && !failure && !broken) {
            if (spanDone.wait_for(lock, std::chrono::milliseconds(100)) == std::cv_status::timeout) {
                lock.unlock();
                broken = StepProgress(total, static_cast<int32_t>(k));
                lock.lock();
            }
        }
        if (failure || broken)
            break;
        lock.unlock();
        broken = StepProgress(total, static_cast<int32_t>(k));
    }
    stop.store(true);
    for (std::jthread& t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
    if (broken)
        return false;

    size_t count = 0;
    for (const TSpanResult& r : results) {
        count += r.Points.size();
        m_DropCount += r.Drops;
    }
    m_CLList.reserve(count);
    for (TSpanResult& r : results)
        std::move(r.Points.begin(), r.Points.end(), std::back_inserter(m_CLList));
    return true;
}

bool TAdapDropCutter::Run(TOpManagerField& operation)
{
    if (operation.SurfaceObjects.empty() || !operation.SurfaceObjects.front())
        throw ECADSysException("TAdapDropCutter.Run: the operation has no STL surface.");
    if (!operation.Parameters)
        throw ECADSysException("TAdapDropCutter.Run: the operation has no parameters.");
    TQVStl source;
    source.AddSurfaceTriangles(*operation.SurfaceObjects.front());
    // Rapid moves run at the feed plane: below the part they would cut
    // through it.
    const TParametriOperazione& p = *operation.Parameters;
    const double top = source.Triangles().empty() ? p.ZTop : std::max(p.ZTop, static_cast<double>(source.Box().Max[2]));
    if (p.ZRapid < top - SystemTol()) {
        UserNotifier().ShowMessage(EMessageKind::Warning,
                                   LangFormat(LangText(LangKeys::String::RapidBelowSurface),
                                              {FormatCoord(p.ZRapid), FormatCoord(top)}),
                                   LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    // A path maker set by the caller stays in force; the chain raster is
    // this run's only.
    std::function<bool(TDropPath&)> own = m_PathMaker;
    if (operation.Chains.Count() > 0)
        m_PathMaker = MakeChainRaster(*operation.Parameters, operation.Chains, *this);
    struct TRestoreMaker {
        TAdapDropCutter& Owner;
        std::function<bool(TDropPath&)>& Saved;
        ~TRestoreMaker() { Owner.m_PathMaker = std::move(Saved); }
    } restore{*this, own};
    return RunOnSource(source, *operation.Parameters, operation.Toolpaths);
}

bool TAdapDropCutter::RunOnSource(const TQVStl& source, const TParametriOperazione& params, TListaDiCurve3d& toolpath)
{
    if (source.Triangles().empty())
        throw ECADSysException("TAdapDropCutter.Run: the surface has no triangles.");
    const auto* tool = dynamic_cast<const TDatiUtFresa*>(params.ToolData.get());
    if (!tool)
        throw ECADSysException("TAdapDropCutter.Run: the operation has no milling tool.");
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

    m_BuildThreads = ThreadCount();
    SetSTL(&source);
    SetCutter(*tool);

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

    // The curves join the operation only when every level is done: a run
    // stopped by the user leaves no half-made toolpath behind.
    const double step = params.RoughPass3D ? params.ZStep : 10000.0;
    TListaDiCurve3d curves;
    int64_t drops = 0;
    for (double z : ZLevels(step, params.ZBottom, params.ZTop)) {
        auto curve = std::make_unique<TCurvaNci3d>();
        path.SetZ(static_cast<float>(z));
        if (!RunPath()) {
            m_DropCount = drops;
            return false;
        }
        drops += m_DropCount;
        for (const TCLPoint& cl : m_CLList)
            curve->AddVertex(TAVertice3d::CreateAt({double(cl.X), double(cl.Y), double(cl.Z)}));
        m_CLList.clear();
        curves.push_back(std::move(curve));
    }
    m_DropCount = drops;
    for (auto& curve : curves)
        toolpath.push_back(std::move(curve));
    return true;
}
