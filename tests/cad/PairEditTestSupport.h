#pragma once
// The rig of the fillet, trim and tangent-construction tests: the scene
// view over a document (tests/cad/SceneDriverRig.h) with the entity classes
// registered, the shipped English texts, an undo journal and a properties
// panel installed, and readers of what the commands left behind.

#include "cad/panel/InfoEditModel.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Primitive2D.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/EntityAssertions.h"
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

} // namespace kbtest
