#pragma once
// Operations built in code for the 2D generator tests, as the tool window's
// Calculate gets them: parameters of a mill operation with a tool of
// diameter 6, one Z pass of depth 1 from Z 0, chains of straight segments
// and arcs.

#include "cam/chains/Catena.h"
#include "cam/generators/Calculate2D.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/tools/DatiUtBase.h"
#include "core/settings/Language.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

namespace kbtest {

// A chain through the points; closed back to the first one.
inline std::unique_ptr<TCatena> ChainThrough(std::initializer_list<TVector2D> points, bool closed = true)
{
    auto c = std::make_unique<TCatena>();
    for (const TVector2D& p : points)
        c->AddVertex(TAVertice::CreateAt(p, 0));
    if (closed) {
        c->AddVertex(TAVertice::CreateAt(*points.begin(), 0));
        c->Closed = 1;
    }
    c->ID = GestioneID().NextID();
    return c;
}

inline std::unique_ptr<TCatena> Square(double x0, double y0, double side)
{
    return ChainThrough({{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}});
}

// A circle of two counter-clockwise half arcs from (cx + r, cy).
inline std::unique_ptr<TCatena> Circle(double cx, double cy, double r)
{
    auto c = std::make_unique<TCatena>();
    c->AddVertex(TAVertice::CreateAt({cx + r, cy}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {cx - r, cy}, {cx, cy}, 0));
    c->AddVertex(TAVertice::CreateFull(1, {cx + r, cy}, {cx, cy}, 0));
    c->Closed = 1;
    c->ID = GestioneID().NextID();
    return c;
}

inline std::unique_ptr<TOpManagerField> MakeOperation(int kind)
{
    auto op = std::make_unique<TOpManagerField>(kind);
    // Kind 0 takes a mill record and opens no tool library.
    op->Parameters = std::make_unique<TParametriOperazione>(0);
    TParametriOperazione& p = *op->Parameters;
    p.OpKind = static_cast<uint8_t>(kind);
    p.ToolData->Diameter = 6.0;
    p.CompOffset = 3.0;
    p.ZTop = 0.0;
    p.PassCount = 1;
    p.PassDepth = 1.0;
    p.StepCountX = 1;
    p.StepCountY = 1;
    return op;
}

inline double MinX(const TCurva3d& c)
{
    double m = 1e300;
    for (const TAVertice3d& v : c.Vertices)
        m = std::min(m, v.EndPoint.X);
    return m;
}

// The curve runs counter-clockwise in XY (arcs counted as arcs).
inline bool Ccw(const TCurva3d& c)
{
    TACurva flat;
    for (const TAVertice3d& v : c.Vertices)
        flat.AddVertex(Vertex3dTo2d(v));
    return flat.SignedArea() < 0.0;
}

// The language, a recording notifier and work monitor for a test.
class GeneratorTest : public ::testing::Test {
protected:
    GeneratorTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        GestioneID().Counter = 0;
    }
    ~GeneratorTest() override { SetLanguageIni(nullptr); }

    // Calculate as the tool window runs it; with breakAtOnce the break
    // request is set and every progress step refreshes.
    bool Calculate(TOpManagerField& op, bool breakAtOnce = false)
    {
        Notifier.Clear();
        Monitor.BreakRequested = breakAtOnce;
        TUserBreak_ProgBar::TClock clock;
        if (breakAtOnce)
            clock = [this] { return Now += 1001; };
        return CalculateOperation2D(op, &Monitor, clock);
    }

    TRecordingNotifier Notifier;
    TRecordingWorkMonitor Monitor;
    int64_t Now = 0;
};

} // namespace kbtest
