#include "cad/states/QV_70Sel2Punti.h"

#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "core/model/ViewInterfaces.h"

namespace {

constexpr std::string_view ParamCheckName = "TQV_70Sel2Punti";

} // namespace

TQV_70Sel2PuntiParam::TQV_70Sel2PuntiParam(TCADStateClass afterState)
    : TQV_00CommonParam(afterState), FirstPoint{0, 0, 1}, SecondPoint{0, 0, 1},
      m_RubberLine(std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{0, 0, 1}))
{
}

TQV_70Sel2PuntiParam::~TQV_70Sel2PuntiParam() = default;

TQV_70Sel2Punti::TQV_70Sel2Punti(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass&)
    : TQV_00State(prg, std::move(param))
{
    DistanceParam();
    SetPromptSlot(14);
}

TQV_70Sel2PuntiParam& TQV_70Sel2Punti::DistanceParam() const
{
    return CheckParam<TQV_70Sel2PuntiParam>(ParamCheckName);
}

TPoint2D TQV_70Sel2Punti::SnappedPoint() const
{
    if (auto* prg = dynamic_cast<TQV_00Prog*>(&Program()))
        return prg->GetSnappedPoint();
    return Program().GetCursorPoint();
}

void TQV_70Sel2Punti::ShowRubberLine()
{
    TQV_70Sel2PuntiParam& param = DistanceParam();
    param.RubberLine().Points().SetPoint(0, param.FirstPoint);
    param.RubberLine().Points().SetPoint(1, param.SecondPoint);
    if (TQVScene* scene = ProgramScene(Program()))
        scene->ShowDragObject(&param.RubberLine());
}

void TQV_70Sel2Punti::HideRubberLine()
{
    auto* param = dynamic_cast<TQV_70Sel2PuntiParam*>(Param());
    TQVScene* scene = ProgramScene(Program());
    if (param && scene)
        scene->HideDragObject(&param->RubberLine());
}

bool TQV_70Sel2Punti::HandleEvent(const TCADEvent& event, TCADStateClass& nextState)
{
    TQV_70Sel2PuntiParam& param = DistanceParam();
    if (event.IsMouseDown(TCADButton::Left)) {
        if (!m_FirstPointTaken) {
            m_FirstPointTaken = true;
            param.FirstPoint = SnappedPoint();
            param.SecondPoint = param.FirstPoint;
            ShowRubberLine();
            SetPromptSlot(15);
        } else {
            m_FirstPointTaken = false;
            SetPromptSlot(14);
            if (TQVScene* scene = ProgramScene(Program()))
                scene->ClearOverlay();
        }
        return false;
    }
    if (event.Kind == TCADEventKind::MouseMove) {
        if (!m_FirstPointTaken)
            return false;
        param.SecondPoint = SnappedPoint();
        ShowRubberLine();
        if (TLiveReadoutSink* readout = ActiveLiveReadout())
            readout->ShowLineInfo(param.FirstPoint, param.SecondPoint);
        return false;
    }
    if (event.IsUser(TCADUserEvent::Accept)) {
        HideRubberLine();
        Program().MarkSceneDirty();
        nextState = Program().IdleClass();
        return true;
    }
    if (event.IsUser(TCADUserEvent::Cancel)) {
        HideRubberLine();
        nextState = Program().IdleClass();
        return true;
    }
    return false;
}

void TQV_70Sel2Punti::StopHook()
{
    HideRubberLine();
    TQV_00State::StopHook();
}
