#pragma once
// 3D parallel finishing: a zig-zag raster laid over an STL surface, along
// which a milling cutter is dropped onto the surface at adaptively chosen
// points; one toolpath curve per Z level.
//
// TBaseOperazione3D holds the triangles' kd-tree, the cutter and the
// sub-operations; TPointDropCutter drops one cutter location;
// TAdapDropCutter samples a path adaptively and runs the whole operation.
// The spans of a path are independent: worker threads sample them, each
// span by one thread, and the results are joined in path order, so the
// points are the same whatever the number of threads. Progress, event
// processing and the user's stop request stay on the calling (main)
// thread, through the operation's own TUserBreak_ProgBar, refreshed at most
// once a second; the workers only read a stop flag the main thread sets.

#include "cam/drop/CutterPoint.h"
#include "cam/drop/DropPath.h"
#include "cam/drop/KDTree.h"
#include "cam/drop/MillCutter.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "cam/toolpath/ToolpathCurves.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TDatiUtFresa;
class TOpManagerField;
class TParametriOperazione;
class TQVStl;
class TQV_STLSurf;

class TBaseOperazione3D : public TUserBreak_ProgBar {
public:
    TBaseOperazione3D() = default;
    virtual ~TBaseOperazione3D();
    TBaseOperazione3D(const TBaseOperazione3D&) = delete;
    TBaseOperazione3D& operator=(const TBaseOperazione3D&) = delete;

    // Builds the kd-tree over the source's triangles (which must stay alive
    // and unchanged while this object uses them) and passes the source on to
    // every sub-operation.
    virtual void SetSTL(const TQVStl* source);
    // The cutter of the tool, here and in every sub-operation. Raises
    // ECADSysException for a tool without a 3D cutter shape.
    void SetCutter(const TDatiUtFresa& tool);
    void FreeCutters();
    // Null for an index beyond the list.
    TBaseOperazione3D* SubOperation(size_t index) const;

    // top - step, top - 2 step, ..., bottom: the last value is bottom itself
    // once a level reaches it (within the system tolerance) or passes it. A
    // step not above the system tolerance gives the bottom alone. Raises
    // ECADSysException when the levels would number more than kMaxZLevels.
    static std::vector<double> ZLevels(double step, double bottom, double top);
    static constexpr int64_t kMaxZLevels = 100000;

    const TMillCutter* Cutter() const { return m_Cutter.get(); }
    const TKDTree& KDTree() const { return m_KDTree; }
    const std::vector<TCLPoint>& CLList() const { return m_CLList; }

protected:
    // Hands the source (and the build threads) to every sub-operation.
    void SetSubOperationsSTL(const TQVStl* source);

    std::vector<TCLPoint> m_CLList;
    double m_Sampling = 1.0;
    int32_t m_BucketSize = 1;
    std::unique_ptr<TMillCutter> m_Cutter;
    const TQVStl* m_Source = nullptr;
    std::vector<std::unique_ptr<TBaseOperazione3D>> m_SubOperations;
    TKDTree m_KDTree;
    // Threads SetSTL may use to build the trees.
    unsigned m_BuildThreads = 1;
};

class TPointDropCutter : public TBaseOperazione3D {
public:
    // Raises cl onto every triangle near it that it overlaps and lies below.
    void DropCL(TCLPoint& cl) const;
};

class TAdapDropCutter : public TBaseOperazione3D {
public:
    TAdapDropCutter();

    // Passes the source on to the point drop cutter, whose tree every drop
    // goes through; no tree of its own is built (it would never be asked).
    void SetSTL(const TQVStl* source) override;

    // Replaces the pocket's raster over the surface's box by another path
    // maker (the raster over the operation's first chain, MakeChainRaster
    // of cam/generators/Tasca.h); false from the maker (broken off) ends the
    // run with false and no toolpath.
    void SetPathMaker(std::function<bool(TDropPath&)> maker) { m_PathMaker = std::move(maker); }

    // Runs the operation: the triangles of its first STL surface object, its
    // parameters, and the raster over its first chain when it has chains
    // (else over the surface's box widened by the margins); one curve per Z
    // level is appended to its toolpath list. Raises ECADSysException for an
    // operation without a surface object. A feed plane below the top of the
    // part (the higher of ZTop and the surface's highest point) is refused
    // with a warning: false and no toolpath. Otherwise as RunOnSource.
    bool Run(TOpManagerField& operation);
    // Runs on the given triangles with the cutter of the parameters' mill
    // record and appends one curve per Z level to toolpath. Of the parameters it reads ZTop, ZBottom, MarginX, MarginY,
    // StepOverPercent (the raster's line spacing, a length), Angle
    // (degrees), Resolution (the smallest sampling step; the largest is 20
    // times it), RoughPass3D, ZStep and ToolData. A stop request, while the
    // raster is made or while the cutter is dropped, ends the run: false,
    // and toolpath is left as it was. Raises ECADSysException
    // for a surface without triangles, a tool record that is not a mill or
    // has no cutter shape, a resolution not above the system tolerance and
    // parameters that make no raster; toolpath is then left as it was too.
    bool RunOnSource(const TQVStl& source, const TParametriOperazione& params, TListaDiCurve3d& toolpath);

    // Samples the path into the CL list; false (and an empty list) when
    // stopped by the user.
    bool RunPath();
    // Minimum sampling := resolution, sampling := 20 x resolution. Raises
    // ECADSysException for a resolution not above the system tolerance.
    void SetSampling(double resolution);
    void SetPath(const TDropPath* path) { m_Path = path; }
    // (b - a) and (c - b), made unit in 3D, point the same way within the
    // flatness limit.
    bool IsFlat(const TCLPoint& a, const TCLPoint& b, const TCLPoint& c) const;
    // Threads that sample the spans; 0 (the default) means one per core.
    void SetThreadCount(unsigned count) { m_ThreadCount = count; }
    unsigned ThreadCount() const;

    double Sampling() const { return m_Sampling; }
    double MinSampling() const { return m_MinSampling; }
    // Cutter locations dropped by the last RunPath or Run.
    int64_t DropCount() const { return m_DropCount; }

private:
    // The points of one span after its start: its start, the adaptive
    // points and its end. drops counts the cutter locations dropped.
    void SampleSpan(const TDropPath::TSpan& span, std::vector<TCLPoint>& out, int64_t& drops) const;
    void Adaptive(const TDropPath::TSpan& span, const TCLPoint& cs, const TCLPoint& ce, double ts, double te,
                  std::vector<TCLPoint>& out, int64_t& drops) const;
    TCLPoint DroppedAt(const TDropPath::TSpan& span, double t) const;

    double m_FlatnessLimit = 0.999;
    double m_MinSampling = 0.1;
    const TDropPath* m_Path = nullptr;
    std::function<bool(TDropPath&)> m_PathMaker;
    unsigned m_ThreadCount = 0;
    int64_t m_DropCount = 0;
};

// The class the tool window creates for the 3D parallel operation.
class TParallelaAd : public TAdapDropCutter {};
