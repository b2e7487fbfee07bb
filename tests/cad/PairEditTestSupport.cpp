#include "tests/cad/PairEditTestSupport.h"

#include "core/ClassRegistry.h"
#include "core/EntityRegistration.h"
#include "core/Geometry.h"
#include "core/Language.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

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

TPoint2D Shown(const TPrimitive2D& entity, int index)
{
    return CartesianPoint2D(entity.GetModelTransform().TransformPoint2D(entity.Points().Get(index)));
}

::testing::AssertionResult IsAt(const TVector2D& p, double x, double y, double tol)
{
    if (std::fabs(p.X - x) <= tol && std::fabs(p.Y - y) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.X << ", " << p.Y << ") is not (" << x << ", " << y << ")";
}

::testing::AssertionResult IsAt(const TPoint2D& p, double x, double y, double tol)
{
    return IsAt(TVector2D{p.X, p.Y}, x, y, tol);
}

::testing::AssertionResult IsArc(const TArco2D& arc, double cx, double cy, double r, double startDeg, double endDeg,
                                 double tol)
{
    const TArcInfo2D info = arc.GetArcInfo();
    const auto degrees = [](double a) {
        double d = a * 180.0 / std::numbers::pi;
        while (d < -1e-9)
            d += 360.0;
        return d;
    };
    const auto sameAngle = [&](double a, double b) {
        const double diff = std::fmod(std::fabs(a - b), 360.0);
        return std::min(diff, 360.0 - diff) <= tol * 100;
    };
    const double s = degrees(info.StartAngle);
    const double e = degrees(info.EndAngle);
    if (std::fabs(info.Centre.X - cx) <= tol && std::fabs(info.Centre.Y - cy) <= tol &&
        std::fabs(info.Radius - r) <= tol && sameAngle(s, startDeg) && sameAngle(e, endDeg))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "arc about (" << info.Centre.X << ", " << info.Centre.Y << ") r "
                                         << info.Radius << " from " << s << " to " << e << " deg";
}

} // namespace kbtest
