#include "nc/ui/MachineCommand.h"

#include "nc/ui/frmGRBL.h"

void mnuCncGrblClick(TfrmGRBL& window)
{
    if (!window.isVisible())
        window.CreateLink();
    window.show();
    window.raise();
    window.activateWindow();
}
