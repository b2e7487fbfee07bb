#include "tests/cad/PairEditTestSupport.h"

#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"

#include <memory>

namespace kbtest {

TPairEditRig::TPairEditRig()
    : m_PreviousJournal(SetUndoJournal(&Journal)), m_PreviousPanel(SetInfoEditPanel(&Panel))
{
    RegisterEntityClasses();
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    Panel.SetDocument(&Doc);
}

TPairEditRig::~TPairEditRig()
{
    Prg.StopOperation();
    SetInfoEditPanel(m_PreviousPanel);
    SetLanguageIni(nullptr);
    SetUndoJournal(m_PreviousJournal);
    QV_00ClearClassRegistry();
}

std::vector<TObject2D*> TPairEditRig::Objects()
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = Doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        objects.push_back(dynamic_cast<TObject2D*>(o));
    return objects;
}

std::vector<int32_t> TPairEditRig::LastStepIDs()
{
    std::vector<int32_t> ids;
    const TUndoObj& step = Journal.Steps().back();
    TMemoryStream& stream = Journal.JournalStream();
    const int64_t kept = stream.Position();
    int64_t begin = step.Position;
    for (const int64_t end : step.RecordEnds) {
        stream.SetPosition(begin);
        if (step.Kind == TUndoKind::NewObjects) {
            ids.push_back(TUndoRedo::ReadID(stream).First);
        } else {
            const std::unique_ptr<TGraphicObject> object = TUndoRedo::ReadObject(stream);
            ids.push_back(object ? object->ID() : -999);
        }
        begin = end;
    }
    stream.SetPosition(kept);
    return ids;
}

std::string TPairEditRig::WrongKindText()
{
    return "The selected object cannot be used by this command.\r\nSelect lines, arcs or circles.";
}

} // namespace kbtest
