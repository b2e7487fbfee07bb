#pragma once
// The rig of the break, divide, join, extend, delete and simplification
// tests: the scene view over a document (tests/cad/SceneDriverRig.h) with
// the entity classes registered, the shipped English texts, an undo journal
// and a properties panel installed, a way to hand a selection to a command
// as the selection states do, and readers of what the commands left.

#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Primitive2D.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/EntityAssertions.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

struct TEntityEditRig : TSceneRig {
    TEntityEditRig();
    ~TEntityEditRig();

    template <class T> T* AddOn(int layer, std::unique_ptr<T> object)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::move(object));
    }
    // Starts the command on a selection of the objects, as a selection
    // state hands it over (pick order kept).
    template <class TState> void HandOver(const std::vector<TObject2D*>& objects)
    {
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, nullptr);
        for (TObject2D* object : objects)
            selection->Select(*object);
        Prg.StartOperation(StateClassOf<TState>(), std::move(selection));
    }
    // Types the value into row 0 of the panel's command page.
    void SetPanelValue(uint8_t page, double value);

    // The document's objects in list order.
    std::vector<TObject2D*> Objects();
    std::vector<std::string> ClassNames();
    // The objects added after the first n, in list order, as T (null when
    // of another class).
    template <class T> std::vector<T*> AddedAfter(size_t n)
    {
        std::vector<T*> result;
        const std::vector<TObject2D*> all = Objects();
        for (size_t i = n; i < all.size(); ++i)
            result.push_back(dynamic_cast<T*>(all[i]));
        return result;
    }
    std::vector<int32_t> IDs(const std::vector<TObject2D*>& objects);
    // The IDs of the object records of the newest undo step, in order.
    std::vector<int32_t> LastStepIDs();
    TUndoKind LastKind() const { return Journal.Steps().back().Kind; }

    TUndoRedo Journal{Doc};
    TInfoEditModel Panel{true};

private:
    TUndoRedo* m_PreviousJournal;
    TInfoEditModel* m_PreviousPanel;
};

} // namespace kbtest
