#include "app/machining/MachiningContext.h"

#include "app/machining/OpComment.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"

namespace {
TMachiningContext* g_Context = nullptr;
} // namespace

TMachiningContext::TMachiningContext() = default;

TMachiningContext::~TMachiningContext()
{
    m_OpComment.reset();
    FreeNewOperation();
}

TOpManagerField* TMachiningContext::CurrentOperation() const
{
    return ::CurrentOperation();
}

void TMachiningContext::SetCurrentOperation(TOpManagerField* op)
{
    ::SetCurrentOperation(op);
}

TOpManagerField* TMachiningContext::SetNewOperation(std::unique_ptr<TOpManagerField> op)
{
    FreeNewOperation();
    m_NewOperation = std::move(op);
    ::SetCurrentOperation(m_NewOperation.get());
    return m_NewOperation.get();
}

std::unique_ptr<TOpManagerField> TMachiningContext::ReleaseNewOperation()
{
    return std::move(m_NewOperation);
}

void TMachiningContext::FreeNewOperation()
{
    if (!m_NewOperation)
        return;
    // The comment binding must not outlive the operation it edits.
    if (m_OpComment && m_OpComment->Operation == m_NewOperation.get())
        m_OpComment.reset();
    // The operation's destructor stops it being current.
    m_NewOperation.reset();
}

TLibreriaUtBase* TMachiningContext::CurrentToolLibrary() const
{
    return ::CurrentToolLibrary();
}

void TMachiningContext::SetCurrentOpComment(std::unique_ptr<TOpComment> comment)
{
    m_OpComment = std::move(comment);
}

TMachiningContext* MachiningContext()
{
    return g_Context;
}

TMachiningContext* SetMachiningContext(TMachiningContext* context)
{
    TMachiningContext* previous = g_Context;
    g_Context = context;
    return previous;
}
