#include "cad/edit/BreakIDs.h"

std::vector<int32_t>& BreakIDs()
{
    static std::vector<int32_t> ids;
    return ids;
}
