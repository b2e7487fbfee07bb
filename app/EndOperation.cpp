#include "app/EndOperation.h"

#include "cad/program/QV_00CADProg.h"
#include "cad/program/QV_00State.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "cad/edit/QV_85Offset.h"

bool EndHidesToolWin(TCADStateClass operation)
{
    return operation && (IsTransformStarter(operation) || operation == StateClassOf<TQV_85OffsetTrasforma>());
}

void TEndOperation::SaveOrtho(TQV_00CADProg& prg)
{
    if (!m_SavedOrtho)
        m_SavedOrtho = prg.UseOrto;
    prg.UseOrto = false;
}

void TEndOperation::QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation)
{
    if (sender.Suspended())
        return;
    if (m_SavedOrtho) {
        sender.UseOrto = *m_SavedOrtho;
        m_SavedOrtho.reset();
    }
    if (EndHidesToolWin(operation) && HideToolWin)
        HideToolWin();
    const bool singleSelect = SingleSelectPending;
    SingleSelectPending = false;
    if (!singleSelect && RefreshPanel)
        RefreshPanel();
    sender.UsaSnap = false;
}
