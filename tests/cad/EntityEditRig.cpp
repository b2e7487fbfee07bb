#include "tests/cad/EntityEditRig.h"

#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"

#include <sstream>

namespace kbtest {

TEntityEditRig::TEntityEditRig()
    : m_PreviousJournal(SetUndoJournal(&Journal)), m_PreviousPanel(SetInfoEditPanel(&Panel))
{
    RegisterEntityClasses();
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
}

TEntityEditRig::~TEntityEditRig()
{
    Prg.StopOperation();
    SetLanguageIni(nullptr);
    SetInfoEditPanel(m_PreviousPanel);
    SetUndoJournal(m_PreviousJournal);
    QV_00ClearClassRegistry();
}

void TEntityEditRig::SetPanelValue(uint8_t page, double value)
{
    Panel.SetCommandPage(page);
    std::ostringstream text;
    text.precision(17);
    text << value;
    std::string typed = text.str();
    Panel.SetValueText(0, typed);
}

std::vector<TObject2D*> TEntityEditRig::Objects()
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = Doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        objects.push_back(dynamic_cast<TObject2D*>(o));
    return objects;
}

std::vector<std::string> TEntityEditRig::ClassNames()
{
    std::vector<std::string> names;
    for (TObject2D* o : Objects())
        names.emplace_back(o->ClassName());
    return names;
}

std::vector<int32_t> TEntityEditRig::IDs(const std::vector<TObject2D*>& objects)
{
    std::vector<int32_t> ids;
    for (TObject2D* o : objects)
        ids.push_back(o->ID());
    return ids;
}

std::vector<int32_t> TEntityEditRig::LastStepIDs()
{
    std::vector<int32_t> ids;
    const TUndoObj& step = Journal.Steps().back();
    TMemoryStream& stream = Journal.JournalStream();
    const int64_t kept = stream.Position();
    int64_t begin = step.Position;
    for (const int64_t end : step.RecordEnds) {
        stream.SetPosition(begin);
        const std::unique_ptr<TGraphicObject> object = TUndoRedo::ReadObject(stream);
        ids.push_back(object ? object->ID() : -999);
        begin = end;
    }
    stream.SetPosition(kept);
    return ids;
}

} // namespace kbtest
