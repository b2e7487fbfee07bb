#include "cad/states/QV_80TransformObjectsParam.h"

#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00CADProg.h"
#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/model/GraphicObject.h"
#include "core/entities/Line2D.h"
#include "core/settings/NumberText.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TQV_80TransformObjectsParam* g_CurrentTransformParam = nullptr;

// Shows a value in a tool-window field. The field's change event comes
// back as a user event while the text is set; the program is locked
// meanwhile so that the event is dropped and the mouse's transform stays.
void ShowInField(TQV_00CADProg& prg, TToolWinText field, double value)
{
    const bool wasLocked = prg.Locked();
    prg.SetLocked(true);
    try {
        ShellServices().SetToolWinText(field, FormatCoord(value));
    } catch (...) {
        prg.SetLocked(wasLocked);
        throw;
    }
    prg.SetLocked(wasLocked);
}

TPoint2D Cartesian(const TPoint2D& p) { return CartesianPoint2D(p); }

} // namespace

TQV_80TransformObjectsParam::TQV_80TransformObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects,
                                                         TTransformKind kind, TCADStateClass afterState)
    : TQV_00CommonParam(afterState), m_Program(prg), m_Kind(kind), m_Objects(std::move(objects))
{
    std::erase(m_Objects, nullptr);
    if (m_Objects.empty())
        throw ECADSysException("TQV_80TOP: Invalid list");
    bool first = true;
    for (TObject2D* object : m_Objects) {
        object->ApplyTransform();
        object->UpdateBounds();
        m_Box = first ? object->Box() : UnionRect2D(m_Box, object->Box());
        first = false;
    }
    m_RubberLine = std::make_unique<TLine2D>(-1, P1, P2);
    m_Program.UsaSnap = true;
}

TQV_80TransformObjectsParam::~TQV_80TransformObjectsParam()
{
    if (g_CurrentTransformParam == this)
        g_CurrentTransformParam = nullptr;
    // The overlay lists the rubber line, which goes now, and the objects,
    // which the command may have deleted.
    if (TQVScene* scene = ProgramScene(m_Program)) {
        scene->HideDragObject(m_RubberLine.get());
        scene->HighlightList().clear();
        scene->ClearOverlay();
    }
}

void TQV_80TransformObjectsParam::RemoveObject(const TObject2D* object) { std::erase(m_Objects, object); }

void TQV_80TransformObjectsParam::ReadRepeatField(TToolWinText field)
{
    if (const std::optional<int32_t> n = ParseInteger(ShellServices().ToolWinText(field)))
        Copies = *n;
}

// --- Translate ------------------------------------------------------------------

TQV_81TraslaObjectsParam::TQV_81TraslaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects,
                                                   TCADStateClass afterState)
    : TQV_80TransformObjectsParam(prg, std::move(objects), TTransformKind::Translate, afterState)
{
}

void TQV_81TraslaObjectsParam::ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p)
{
    const TPoint2D a = Cartesian(p1);
    const TPoint2D b = Cartesian(p);
    matrix.SetTranslation(static_cast<float>(b.X - a.X), static_cast<float>(b.Y - a.Y), 0.0);
}

void TQV_81TraslaObjectsParam::ReadRepeatCount() { ReadRepeatField(TToolWinText::TransRepeat); }

// --- Rotate ---------------------------------------------------------------------

TQV_82RuotaObjectsParam::TQV_82RuotaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects,
                                                 TCADStateClass afterState)
    : TQV_80TransformObjectsParam(prg, std::move(objects), TTransformKind::Rotate, afterState)
{
}

void TQV_82RuotaObjectsParam::SetAngle(TMatrix4& matrix, const TPoint2D& p1, double angle)
{
    const TPoint2D c = Cartesian(p1);
    matrix.SetIdentity();
    matrix.Translate(-c.X, -c.Y, 0.0);
    matrix.RotateZ(angle, false);
    matrix.Translate(c.X, c.Y, 0.0);
}

void TQV_82RuotaObjectsParam::ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p)
{
    const TPoint2D a = Cartesian(p1);
    const TPoint2D b = Cartesian(p);
    const double angle = std::atan2(b.Y - a.Y, b.X - a.X);
    SetAngle(matrix, a, angle);
    ShowInField(Program(), TToolWinText::RotateAngle, angle * 180.0 / std::numbers::pi);
}

void TQV_82RuotaObjectsParam::ReadRepeatCount() { ReadRepeatField(TToolWinText::RotateRepeat); }

// --- Scale ----------------------------------------------------------------------

TQV_84ScalaObjectsParam::TQV_84ScalaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects,
                                                 TCADStateClass afterState)
    : TQV_80TransformObjectsParam(prg, std::move(objects), TTransformKind::Scale, afterState)
{
}

void TQV_84ScalaObjectsParam::SetFactors(TMatrix4& matrix, const TPoint2D& p1, double sx, double sy)
{
    const TPoint2D c = Cartesian(p1);
    matrix.SetIdentity();
    matrix.Translate(-c.X, -c.Y, 0.0);
    matrix.Scale(sx, sy, 1.0);
    matrix.Translate(c.X, c.Y, 0.0);
}

void TQV_84ScalaObjectsParam::ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p)
{
    const TQVScene* scene = ProgramScene(Program());
    if (!scene)
        return;
    const TIntPoint s1 = scene->PointToScreen(Cartesian(p1));
    const TIntPoint s2 = scene->PointToScreen(Cartesian(p));
    const double dx = static_cast<double>(s2.X) - s1.X;
    const double dy = static_cast<double>(s2.Y) - s1.Y;
    double sx = 0.0;
    double sy = 0.0;
    if (ShellServices().ToolWinChecked(TToolWinCheck::ScaleUniform)) {
        sx = sy = std::hypot(dx, dy) / 10.0 * scene->PixelSize();
    } else {
        sx = std::fabs(dx) / ScaleUnitOffset;
        sy = std::fabs(dy) / ScaleUnitOffset;
        ShowInField(Program(), TToolWinText::ScaleY, sy);
    }
    ShowInField(Program(), TToolWinText::ScaleX, sx);
    SetFactors(matrix, p1, sx, sy);
}

void TQV_84ScalaObjectsParam::ReadRepeatCount() { ReadRepeatField(TToolWinText::ScaleRepeat); }

// --- Mirror ---------------------------------------------------------------------

TQV_83SpecchiaObjectsParam::TQV_83SpecchiaObjectsParam(TQV_00CADProg& prg, std::vector<TObject2D*> objects,
                                                       TCADStateClass afterState)
    : TQV_80TransformObjectsParam(prg, std::move(objects), TTransformKind::Mirror, afterState)
{
}

void TQV_83SpecchiaObjectsParam::ComputeMatrix(TMatrix4& matrix, const TPoint2D& p1, const TPoint2D& p)
{
    const TPoint2D a = Cartesian(p1);
    const TPoint2D b = Cartesian(p);
    const double angle = std::atan2(b.Y - a.Y, b.X - a.X);
    matrix.SetIdentity();
    matrix.Translate(-a.X, -a.Y, 0.0);
    matrix.RotateZ(-angle, false);
    matrix.Mirror(0);
    matrix.RotateZ(angle, false);
    matrix.Translate(a.X, a.Y, 0.0);
}

// --- The running command's parameter ---------------------------------------------

TQV_80TransformObjectsParam* CurrentTransformParam() { return g_CurrentTransformParam; }

void SetCurrentTransformParam(TQV_80TransformObjectsParam* param) { g_CurrentTransformParam = param; }

void TransformRepeatChanged(std::string_view text)
{
    if (!g_CurrentTransformParam)
        return;
    if (const std::optional<int32_t> n = ParseInteger(text))
        g_CurrentTransformParam->Copies = *n;
}
