#pragma once
// A drawing for the properties-panel tests: a document with a recording
// view, its undo journal installed as the program's, the entity classes
// registered (the journal reads records back) and the English language file
// current, so that the panel's captions are the shipped texts.

#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "tests/support/RecordingSeams.h"

#include <memory>

namespace kbtest {

struct TPanelDrawing {
    TPanelDrawing()
    {
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Doc.AddViewport(&View);
        m_PreviousJournal = SetUndoJournal(&Journal);
    }
    ~TPanelDrawing()
    {
        SetUndoJournal(m_PreviousJournal);
        SetLanguageIni(nullptr);
        QV_00ClearClassRegistry();
    }
    TPanelDrawing(const TPanelDrawing&) = delete;
    TPanelDrawing& operator=(const TPanelDrawing&) = delete;

    template <class T>
    T* Add(std::unique_ptr<T> object, int layer = 0)
    {
        return Doc.AddObjectOnLayer(-1, layer, std::move(object));
    }

    TQV_01Cmp2D Doc;
    TRecordingDocumentView View;
    TUndoRedo Journal{Doc};

private:
    TUndoRedo* m_PreviousJournal = nullptr;
};

} // namespace kbtest
