#include "tests/support/RecordingSeams.h"

#include "core/model/GraphicObject.h"
#include "core/model/Layers.h"

namespace kbtest {

TTreeNodeId TRecordingGeoTree::LayerNode(TQV_20Layers& layers, int layer)
{
    TQV_21Layer& l = layers.GetLayer(layer);
    if (l.TreeNode() == NoTreeNode) {
        l.SetTreeNode(++m_LastNode);
        ++LayerNodesMade;
    }
    return l.TreeNode();
}

void TRecordingGeoTree::AddObjectToGeoTree(TQV_20Layers& layers, TObject2D& object)
{
    LayerNode(layers, object.Layer());
    object.SetTreeNode(++m_LastNode);
    Events.push_back({TKind::Add, object.ID(), object.Layer(), object.TreeNode(), NoTreeNode});
}

void TRecordingGeoTree::MoveGeoTreeNode(TQV_20Layers& layers, TObject2D& object, TTreeNodeId oldNode)
{
    LayerNode(layers, object.Layer());
    object.SetTreeNode(++m_LastNode);
    Events.push_back({TKind::Move, object.ID(), object.Layer(), object.TreeNode(), oldNode});
}

void TRecordingGeoTree::DeleteGeoTreeNode(TTreeNodeId node)
{
    Events.push_back({TKind::Delete, -1, -1, node, NoTreeNode});
}

TRecordingWorkMonitor::TRecordingWorkMonitor() : m_Previous(SetWorkMonitor(this)) {}

TRecordingWorkMonitor::~TRecordingWorkMonitor()
{
    SetWorkMonitor(m_Previous);
}

void TRecordingWorkMonitor::SetBusy(bool busy)
{
    if (busy) {
        ++BusyDepth;
        ++BusySections;
    } else {
        --BusyDepth;
    }
}

void TRecordingWorkMonitor::ProcessMessages()
{
    ++MessagesProcessed;
    if (BusyDepth <= 0)
        BusyWhileProcessing = false;
}

} // namespace kbtest
