#include "app/machining/OperationOrder.h"

#include "cam/ops/OpManager.h"

bool DropOperation(TOpManager& manager, int from, int to)
{
    return MoveListItem(manager.Operations, from, to);
}

void RenameOperation(TOpManagerField& operation, const std::string& text)
{
    operation.Comment = text;
}
