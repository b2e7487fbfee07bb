#include "tests/cad/DrawStatesTestSupport.h"

#include "core/entities/Primitive2D.h"
#include "platform/IniFile.h"

#include <cmath>

namespace kbtest {

TDrawRig::TDrawRig() : m_PreviousJournal(SetUndoJournal(&Journal))
{
    auto ini = std::make_unique<TIniFile>();
    ini->LoadFromString("[String]\r\n450=Caution\r\n469=The three points are aligned\r\n");
    SetLanguageIni(std::move(ini));
}

TDrawRig::~TDrawRig()
{
    // A command still running frees its entity while the journal and the
    // language file are there.
    Prg.StopOperation();
    SetLanguageIni(nullptr);
    SetUndoJournal(m_PreviousJournal);
}

void TDrawRig::Put(const TPoint2D& p, bool typed)
{
    if (typed)
        Driver.TypePoint(p);
    else
        Driver.Click(p);
}

std::vector<TObject2D*> TDrawRig::Objects()
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = Doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        objects.push_back(dynamic_cast<TObject2D*>(o));
    return objects;
}

std::vector<int32_t> TDrawRig::StepIDs(const TUndoObj& step)
{
    TMemoryStream& stream = Journal.JournalStream();
    const int64_t saved = stream.Position();
    std::vector<int32_t> ids;
    stream.SetPosition(step.Position);
    for (const int64_t end : step.RecordEnds) {
        ids.push_back(TUndoRedo::ReadID(stream).First);
        stream.SetPosition(end);
    }
    stream.SetPosition(saved);
    return ids;
}

void TDrawRig::ExpectNewObjectsStepThenUndo()
{
    EXPECT_TRUE(Idle()) << CurrentClass();
    EXPECT_EQ(View.DragObject(), nullptr);
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::NewObjects);
    std::vector<int32_t> ids;
    for (TObject2D* o : Objects())
        ids.push_back(o->ID());
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(StepIDs(Journal.Steps()[0]), ids);
    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

std::vector<TPoint2D> CartesianPoints(const TPrimitive2D& entity)
{
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : entity.Points().Points())
        points.push_back(CartesianPoint2D(p));
    return points;
}

void ExpectPoints(const std::vector<TPoint2D>& actual, const std::vector<TPoint2D>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].X, expected[i].X, 1e-6) << "point " << i;
        EXPECT_NEAR(actual[i].Y, expected[i].Y, 1e-6) << "point " << i;
    }
}

} // namespace kbtest
