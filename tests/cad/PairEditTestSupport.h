#pragma once
// The rig of the fillet, trim and tangent-construction tests: the scene
// view over a document (tests/cad/SceneDriverRig.h) with the entity classes
// registered, the shipped English texts, an undo journal and a properties
// panel installed, and readers of what the commands left behind.

#include "cad/InfoEditModel.h"
#include "core/Arco2D.h"
#include "core/Primitive2D.h"
#include "core/UndoRedo.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kbtest {

struct TPairEditRig : TSceneRig {
    TPairEditRig();
    ~TPairEditRig();

    // The document's objects in list order.
    std::vector<TObject2D*> Objects();
    // The objects of that class, in list order.
    template <class T> std::vector<T*> ObjectsOf()
    {
        std::vector<T*> result;
        for (TObject2D* o : Objects())
            if (auto* t = dynamic_cast<T*>(o); t && o->ClassName() == T::kClassName)
                result.push_back(t);
        return result;
    }
    // The kind and the object IDs of the newest undo step, in record order.
    TUndoKind LastKind() const { return Journal.Steps().back().Kind; }
    std::vector<int32_t> LastStepIDs();

    // The English text of an entity of the wrong kind.
    static std::string WrongKindText();

    TUndoRedo Journal{Doc};
    TInfoEditModel Panel{true};

private:
    TUndoRedo* m_PreviousJournal;
    TInfoEditModel* m_PreviousPanel;
};

// Control point index through the entity's transforms, made cartesian.
TPoint2D Shown(const TPrimitive2D& entity, int index);
::testing::AssertionResult IsAt(const TVector2D& p, double x, double y, double tol = 1e-9);
::testing::AssertionResult IsAt(const TPoint2D& p, double x, double y, double tol = 1e-9);
// The arc as drawn: counter-clockwise from startDeg to endDeg (degrees,
// 0 to 360; a closed arc has equal angles) about (cx, cy) at radius r.
::testing::AssertionResult IsArc(const TArco2D& arc, double cx, double cy, double r, double startDeg, double endDeg,
                                 double tol = 1e-6);

} // namespace kbtest
