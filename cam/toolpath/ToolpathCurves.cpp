#include "cam/toolpath/ToolpathCurves.h"

int32_t TCurva3d::AddVertex(const TAVertice3d& vertex)
{
    Vertices.push_back(vertex);
    return static_cast<int32_t>(Vertices.size()) - 1;
}

void TCurva3d::Clear()
{
    Vertices.clear();
    Closed = 0;
}
