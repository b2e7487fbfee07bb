#pragma once
// The rig of the drawing and positioning state tests: the scene view over a
// document (tests/cad/SceneDriverRig.h) with an undo journal installed, a
// language file that holds the warning texts, and readers of what the
// commands left behind.

#include "core/settings/Language.h"
#include "core/entities/Primitive2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

struct TDrawRig : TSceneRig {
    TDrawRig();
    ~TDrawRig();

    template <class TState, class P> void Start(std::unique_ptr<P> param)
    {
        ASSERT_TRUE(Prg.StartOperation(StateClassOf<TState>(), std::move(param)));
        ASSERT_TRUE(Prg.Busy()) << "the command waits for its clicks";
    }
    // A click with the mouse, or the same point typed in the coordinate
    // dialog (no mouse move).
    void Put(const TPoint2D& p, bool typed);

    // The document's objects in list order.
    std::vector<TObject2D*> Objects();
    // The object IDs recorded by a step, in record order.
    std::vector<int32_t> StepIDs(const TUndoObj& step);
    // The command ended with exactly one undo step of new objects holding
    // the document's objects in order; undoing it empties the document.
    void ExpectNewObjectsStepThenUndo();

    TUndoRedo Journal{Doc};

private:
    TUndoRedo* m_PreviousJournal;
};

// The control points, made cartesian.
std::vector<TPoint2D> CartesianPoints(const TPrimitive2D& entity);
// Point lists equal within 1e-6 (the pixel grid of the rig is 0.1 units).
void ExpectPoints(const std::vector<TPoint2D>& actual, const std::vector<TPoint2D>& expected);

} // namespace kbtest
