#include "cad/program/QV_00State.h"

#include "cad/program/QV_00CADProg.h"
#include "core/settings/CADPrompts.h"
#include "core/model/CADSysException.h"

TQV_00State::TQV_00State(TQV_00CADProg& prg, TCADStateParam param) : m_Program(prg), m_Param(std::move(param))
{
    SetPrompt(std::string());
}

bool TQV_00State::HandleEvent(const TCADEvent&, TCADStateClass&) { return false; }

void TQV_00State::StopHook() { m_Param.Reset(); }

void TQV_00State::ResumeHook(TCADStateClass, TQV_00CADPrgParam*) {}

void TQV_00State::SetPrompt(const std::string& text)
{
    m_Prompt = text;
    if (m_Program.OnDescriptionChanged)
        m_Program.OnDescriptionChanged(*this);
}

void TQV_00State::SetPromptSlot(size_t slot)
{
    SetPrompt(slot < CADPrompts.size() ? CADPrompts[slot] : std::string());
}

std::string InvalidParamMessage(std::string_view stateName)
{
    std::string text(stateName);
    text += ": Invalid param";
    return text;
}

void TQV_00State::ThrowInvalidParam(std::string_view stateName)
{
    throw ECADSysException(InvalidParamMessage(stateName));
}

TQV_00CADIdleState::TQV_00CADIdleState(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (Param())
        throw ECADSysException("TCADIdleState.Create: Non all objects were destroied");
    nextState = nullptr;
}
