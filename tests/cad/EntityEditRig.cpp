#include "tests/cad/EntityEditRig.h"

#include "core/ClassRegistry.h"
#include "core/EntityRegistration.h"
#include "core/Geometry.h"
#include "core/Language.h"

#include <cmath>
#include <numbers>
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

std::vector<TVector2D> ShownPoints(const TPrimitive2D& entity)
{
    std::vector<TVector2D> points;
    const TMatrix4 m = entity.GetModelTransform();
    for (const TPoint2D& p : entity.Points().Points()) {
        const TPoint2D q = CartesianPoint2D(m.TransformPoint2D(CartesianPoint2D(p)));
        points.push_back({q.X, q.Y});
    }
    return points;
}

::testing::AssertionResult IsPointAt(const TVector2D& p, double x, double y, double tol)
{
    if (std::fabs(p.X - x) <= tol && std::fabs(p.Y - y) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.X << ", " << p.Y << ") is not (" << x << ", " << y << ")";
}

::testing::AssertionResult HasPoints(const TPrimitive2D& entity, const std::vector<TVector2D>& expected, double tol)
{
    const std::vector<TVector2D> shown = ShownPoints(entity);
    std::ostringstream text;
    for (const TVector2D& p : shown)
        text << " (" << p.X << ", " << p.Y << ")";
    if (shown.size() != expected.size())
        return ::testing::AssertionFailure() << entity.ClassName() << " has" << text.str();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (!IsPointAt(shown[i], expected[i].X, expected[i].Y, tol))
            return ::testing::AssertionFailure() << entity.ClassName() << " has" << text.str();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsArcAs(const TArco2D& arc, double cx, double cy, double r, double startDeg, double endDeg,
                                 double tol)
{
    const TArcInfo2D info = arc.GetArcInfo();
    const double toDeg = 180.0 / std::numbers::pi;
    const auto sameAngle = [&](double a, double deg) {
        double d = std::fmod(std::fabs(a * toDeg - deg), 360.0);
        return std::min(d, 360.0 - d) <= tol * toDeg / std::max(r, 1.0) + 1e-7;
    };
    if (IsPointAt(info.Centre, cx, cy, tol) && std::fabs(info.Radius - r) <= tol &&
        sameAngle(info.StartAngle, startDeg) && sameAngle(info.EndAngle, endDeg))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "arc about (" << info.Centre.X << ", " << info.Centre.Y << ") r "
                                         << info.Radius << " from " << info.StartAngle * toDeg << " to "
                                         << info.EndAngle * toDeg << " degrees";
}

} // namespace kbtest
