#include "cad/states/QV_80TrasformaOggetti.h"

#include "cad/program/ObjectSnap.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cad/program/ShellServices.h"
#include "core/entities/Frame2D.h"
#include "core/model/GraphicObject.h"
#include "core/entities/Line2D.h"
#include "core/settings/NumberText.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace {

// The number in a tool-window field; 0 when the text is not a number.
double FieldNumber(TToolWinText field)
{
    return ParseDecimal(ShellServices().ToolWinText(field)).value_or(0.0);
}

struct TStarterPage {
    TToolWinTab Tab;
    const char* CaptionKey;
    int32_t ClientWidth;
    int32_t ClientHeight;
};

TStarterPage PageOf(TTransformKind kind)
{
    switch (kind) {
    case TTransformKind::Translate:
        return {TToolWinTab::Translate, "twTrans", 250, 214};
    case TTransformKind::Rotate:
        return {TToolWinTab::Rotate, "twRotate", 250, 213};
    case TTransformKind::Scale:
        return {TToolWinTab::Scale, "twScale", 250, 258};
    case TTransformKind::Mirror:
        break;
    }
    return {TToolWinTab::Mirror, "twMirror", 250, 214};
}

std::unique_ptr<TQV_80TransformObjectsParam> MakeParam(TQV_00CADProg& prg, TTransformKind kind,
                                                       std::vector<TObject2D*> objects)
{
    switch (kind) {
    case TTransformKind::Translate:
        return std::make_unique<TQV_81TraslaObjectsParam>(prg, std::move(objects), nullptr);
    case TTransformKind::Rotate:
        return std::make_unique<TQV_82RuotaObjectsParam>(prg, std::move(objects), nullptr);
    case TTransformKind::Scale:
        return std::make_unique<TQV_84ScalaObjectsParam>(prg, std::move(objects), nullptr);
    case TTransformKind::Mirror:
        break;
    }
    return std::make_unique<TQV_83SpecchiaObjectsParam>(prg, std::move(objects), nullptr);
}

// The program's snapped cursor point; the plain cursor point for a program
// without snapping.
TPoint2D SnappedPoint(TQV_00CADProg& prg)
{
    if (auto* prog = dynamic_cast<TQV_00Prog*>(&prg))
        return prog->GetSnappedPoint();
    return CartesianPoint2D(prg.GetCursorPoint());
}

} // namespace

// --- Starters -------------------------------------------------------------------

TQV_80TransformStarter::TQV_80TransformStarter(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState,
                                               std::string_view stateName, TCADStateClass self,
                                               TTransformKind kind)
    : TQV_00State(prg, std::move(param))
{
    auto& selection = CheckParam<TQV_50SelectObjectsParam>(stateName);
    std::vector<TObject2D*> objects = selection.Objects();
    if (objects.empty()) {
        ClearParam();
        nextState = prg.IdleClass();
        return;
    }
    std::unique_ptr<TQV_80TransformObjectsParam> transform = MakeParam(prg, kind, std::move(objects));
    TQV_80TransformObjectsParam* current = transform.get();
    SetCurrentTransformParam(current);
    ReplaceParam(std::move(transform));
    prg.SetOperationClass(self);
    nextState = StateClassOf<TQV_80TrasformaOggetti>();
    const TStarterPage page = PageOf(kind);
    ShellServices().ShowPages({page.Tab}, page.CaptionKey, page.ClientWidth, page.ClientHeight);
    current->ReadRepeatCount();
}

TQV_81TraslaSelectedObjects::TQV_81TraslaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param,
                                                         TCADStateClass& nextState)
    : TQV_80TransformStarter(prg, std::move(param), nextState, "TQV_81TSO",
                             StateClassOf<TQV_81TraslaSelectedObjects>(), TTransformKind::Translate)
{
}

TQV_82RuotaSelectedObjects::TQV_82RuotaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param,
                                                       TCADStateClass& nextState)
    : TQV_80TransformStarter(prg, std::move(param), nextState, "TQV_82", StateClassOf<TQV_82RuotaSelectedObjects>(),
                             TTransformKind::Rotate)
{
}

TQV_84ScalaSelectedObjects::TQV_84ScalaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param,
                                                       TCADStateClass& nextState)
    : TQV_80TransformStarter(prg, std::move(param), nextState, "TQV_84", StateClassOf<TQV_84ScalaSelectedObjects>(),
                             TTransformKind::Scale)
{
}

TQV_83SpecchiaSelectedObjects::TQV_83SpecchiaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param,
                                                             TCADStateClass& nextState)
    : TQV_80TransformStarter(prg, std::move(param), nextState, "TCAD2DMirrorSelectedObjects",
                             StateClassOf<TQV_83SpecchiaSelectedObjects>(), TTransformKind::Mirror)
{
}

bool IsTransformStarter(TCADStateClass operation)
{
    return operation && (operation == StateClassOf<TQV_81TraslaSelectedObjects>() ||
                         operation == StateClassOf<TQV_82RuotaSelectedObjects>() ||
                         operation == StateClassOf<TQV_84ScalaSelectedObjects>() ||
                         operation == StateClassOf<TQV_83SpecchiaSelectedObjects>());
}

// --- The transform state -----------------------------------------------------------

TQV_80TrasformaOggetti::TQV_80TrasformaOggetti(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    TQV_80TransformObjectsParam& p = CheckParam<TQV_80TransformObjectsParam>("TQV_80");
    if (TQVScene* scene = ProgramScene(prg))
        scene->ClearOverlay();
    // A display frame: drawn once into the selection group, which keeps
    // its scene objects until the rebuild at the end of the command.
    TFrame2D frame(-1, p.Box().FirstEdge, p.Box().SecondEdge, 255, 2, IdentityMatrix4());
    frame.DrawSelected();
    SetPromptSlot(8);
}

TQV_80TransformObjectsParam& TQV_80TrasformaOggetti::TransformParam() const
{
    return CheckParam<TQV_80TransformObjectsParam>("TQV_80");
}

void TQV_80TrasformaOggetti::ApplyPoint(const TPoint2D& p)
{
    TQV_80TransformObjectsParam& param = TransformParam();
    const TPoint2D constrained = OrthoPoint(Program(), param.P1, p);
    param.ComputeMatrix(param.Matrix, param.P1, constrained);
}

void TQV_80TrasformaOggetti::ShowPreview()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    for (TObject2D* object : param.Objects())
        object->SetTransform(param.Matrix);
    TLine2D& line = param.RubberLine();
    line.Points().SetPoint(0, param.P1);
    line.Points().SetPoint(1, param.P2);
    if (TQVScene* scene = ProgramScene(Program())) {
        std::vector<TObject2D*>& list = scene->HighlightList();
        list.assign(param.Objects().begin(), param.Objects().end());
        list.push_back(&line);
        scene->ShowHighlightsOnly();
    }
}

void TQV_80TrasformaOggetti::ResetPreview()
{
    if (auto* param = dynamic_cast<TQV_80TransformObjectsParam*>(Param()))
        for (TObject2D* object : param->Objects())
            object->SetTransform(IdentityMatrix4());
}

void TQV_80TrasformaOggetti::StopHook()
{
    ResetPreview();
    TQV_00State::StopHook();
}

TCADStateClass TQV_80TrasformaOggetti::Finish()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    ExecuteTransform(param);
    Program().MarkSceneDirty();
    if (TCADStateClass after = param.AfterState())
        return after;
    ClearParam();
    return Program().IdleClass();
}

void TQV_80TrasformaOggetti::TypedTranslation()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    const double dx = FieldNumber(TToolWinText::TransDx);
    const double dy = FieldNumber(TToolWinText::TransDy);
    const TPoint2D base = CartesianPoint2D(param.P1);
    param.P2 = TPoint2D{base.X + dx, base.Y + dy, 1.0};
    param.ComputeMatrix(param.Matrix, param.P1, param.P2);
}

void TQV_80TrasformaOggetti::TypedAngle()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    const double angle = static_cast<float>(FieldNumber(TToolWinText::RotateAngle) * std::numbers::pi / 180.0);
    const TPoint2D base = CartesianPoint2D(param.P1);
    param.P2 = TPoint2D{base.X + 10.0 * std::cos(angle), base.Y + 10.0 * std::sin(angle), 1.0};
    TQV_82RuotaObjectsParam::SetAngle(param.Matrix, base, angle);
}

void TQV_80TrasformaOggetti::TypedScale()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    const double sx = static_cast<float>(FieldNumber(TToolWinText::ScaleX));
    double sy = static_cast<float>(FieldNumber(TToolWinText::ScaleY));
    if (ShellServices().ToolWinChecked(TToolWinCheck::ScaleUniform))
        sy = sx;
    const TPoint2D base = CartesianPoint2D(param.P1);
    param.P2 = TPoint2D{base.X + ScaleUnitOffset * sx, base.Y + ScaleUnitOffset * sy, 1.0};
    TQV_84ScalaObjectsParam::SetFactors(param.Matrix, base, sx, sy);
}

void TQV_80TrasformaOggetti::ChosenMirrorAxis()
{
    TQV_80TransformObjectsParam& param = TransformParam();
    param.Matrix.SetIdentity();
    const int32_t item = ShellServices().ToolWinItemIndex(TToolWinIndex::MirrorAxis);
    if (item >= 1 && item <= 3)
        param.Matrix.Mirror(item - 1);
}

bool TQV_80TrasformaOggetti::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_80TransformObjectsParam& param = TransformParam();
    switch (event.Kind) {
    case TCADEventKind::MouseDown:
        if (event.Button != TCADButton::Left)
            return false;
        if (param.PointsTaken == 0) {
            param.P1 = param.P2 = SnappedPoint(Program());
            if (TQVScene* scene = ProgramScene(Program())) {
                std::vector<TObject2D*>& list = scene->HighlightList();
                list.assign(param.Objects().begin(), param.Objects().end());
                list.push_back(&param.RubberLine());
            }
            SetPromptSlot(10);
            if (param.Kind() == TTransformKind::Mirror)
                ShellServices().SetToolWinItemIndex(TToolWinIndex::MirrorAxis, 0);
            param.PointsTaken = 1;
            return false;
        }
        ApplyPoint(SnappedPoint(Program()));
        nextState = Finish();
        return true;
    case TCADEventKind::MouseMove:
        if (param.PointsTaken == 0)
            return false;
        param.P2 = SnappedPoint(Program());
        ApplyPoint(param.P2);
        ShowPreview();
        return false;
    case TCADEventKind::User:
        break;
    default:
        return false;
    }

    switch (static_cast<TCADUserEvent>(event.Key)) {
    case TCADUserEvent::Cancel:
        Program().MarkSceneDirty();
        ResetPreview();
        ClearParam();
        nextState = Program().IdleClass();
        return true;
    case TCADUserEvent::Accept:
        Program().MarkSceneDirty();
        nextState = Finish();
        return true;
    case TCADUserEvent::Translation:
        if (param.Kind() != TTransformKind::Translate)
            return false;
        Program().MarkSceneDirty();
        TypedTranslation();
        break;
    case TCADUserEvent::RotateAngle:
        if (param.Kind() != TTransformKind::Rotate)
            return false;
        Program().MarkSceneDirty();
        TypedAngle();
        break;
    case TCADUserEvent::ScaleFactor:
        if (param.Kind() != TTransformKind::Scale)
            return false;
        Program().MarkSceneDirty();
        TypedScale();
        break;
    case TCADUserEvent::MirrorAxis:
        if (param.Kind() != TTransformKind::Mirror)
            return false;
        Program().MarkSceneDirty();
        ChosenMirrorAxis();
        break;
    default:
        return false;
    }
    ShowPreview();
    return false;
}
