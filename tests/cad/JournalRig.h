#pragma once
// The rig of the edit-command tests that record undo steps: the real scene
// view over a document (tests/cad/SceneDriverRig.h), with the entity
// classes registered (undo re-reads saved records), the shipped English
// language file, an undo journal, a recording entity tree and work monitor,
// and readers of what a step recorded.

#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"
#include "core/file/UndoRedo.h"
#include "tests/cad/EntityAssertions.h"
#include "tests/cad/SceneDriverRig.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace kbtest {

struct TJournalRig : ::testing::Test, TSceneRig {
    TJournalRig()
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        m_PreviousJournal = SetUndoJournal(&Journal);
        Doc.SetTreeGeo(&Tree);
    }
    ~TJournalRig() override
    {
        Prg.StopOperation();
        Doc.SetTreeGeo(nullptr);
        SetUndoJournal(m_PreviousJournal);
        SetLanguageIni(nullptr);
        QV_00ClearClassRegistry();
    }

    template <class T> T* AddOn(int layer, std::unique_ptr<T> object)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::move(object));
    }

    std::vector<TObject2D*> Objects()
    {
        std::vector<TObject2D*> result;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            result.push_back(dynamic_cast<TObject2D*>(o));
        return result;
    }
    // The objects of the drawing after the first n, as T (null for others).
    template <class T> std::vector<T*> AddedAfter(size_t n)
    {
        std::vector<T*> result;
        const std::vector<TObject2D*> all = Objects();
        for (size_t i = n; i < all.size(); ++i)
            result.push_back(dynamic_cast<T*>(all[i]));
        return result;
    }
    static std::vector<int32_t> IDsOf(const std::vector<TObject2D*>& objects)
    {
        std::vector<int32_t> ids;
        for (const TObject2D* o : objects)
            ids.push_back(o ? o->ID() : -999);
        return ids;
    }

    // What the newest step recorded, record by record: the object IDs of
    // saved records, or both values of each ID record (move to layer).
    std::vector<int32_t> LastStepValues()
    {
        std::vector<int32_t> values;
        const TUndoObj& step = Journal.Steps().back();
        TMemoryStream& stream = Journal.JournalStream();
        const int64_t kept = stream.Position();
        int64_t begin = step.Position;
        for (const int64_t end : step.RecordEnds) {
            stream.SetPosition(begin);
            if (step.Kind == TUndoKind::MoveToLayer) {
                const TUndoID id = TUndoRedo::ReadID(stream);
                values.push_back(id.First);
                values.push_back(id.Second);
            } else {
                const std::unique_ptr<TGraphicObject> object = TUndoRedo::ReadObject(stream);
                values.push_back(object ? object->ID() : -999);
            }
            begin = end;
        }
        stream.SetPosition(kept);
        return values;
    }

    TUndoRedo Journal{Doc};
    TRecordingGeoTree Tree;
    TRecordingWorkMonitor Monitor;

private:
    TUndoRedo* m_PreviousJournal = nullptr;
};

} // namespace kbtest
