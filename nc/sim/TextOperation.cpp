#include "nc/sim/TextOperation.h"

#include "cam/toolpath/ToolpathCurves.h"
#include "cam/tools/DatiUtBase.h"
#include "core/model/ViewInterfaces.h"

#include <stdexcept>

TTextSimOperation::TTextSimOperation(bool millimetres)
    : m_Tool(std::make_unique<TDatiUtFresa>()), m_ZRapid(millimetres ? 5.0 : 0.25)
{
}

TTextSimOperation::~TTextSimOperation()
{
    // The group goes with its content when its scene is still the one installed.
    if (m_Scene && m_Scene == ViewServices().Scene && m_Group != NoSceneNode)
        m_Scene->RemoveNode(m_Group);
}

const TCurvaNci3d& TTextSimOperation::Toolpath(int32_t) const
{
    throw std::out_of_range("the text operation has no toolpath");
}

TSceneNodeId TTextSimOperation::DisplayGroup() const
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (scene != m_Scene || m_Group == NoSceneNode) {
        m_Scene = scene;
        m_Group = scene ? scene->CreateOverlayGroup(scene->Group(TSceneGroup::Objects), "Toolpath") : NoSceneNode;
    }
    return m_Group;
}

const TDatiUtBase* TTextSimOperation::ToolData() const { return m_Tool.get(); }
