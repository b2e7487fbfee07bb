#pragma once
// Recording fakes of the document's seams: a view (core/DocumentView.h), the
// entity tree (core/GeoTree.h) and the long-work monitor
// (core/WorkMonitor.h). Each records every call in order so that a test can
// check what the model announced.

#include "core/model/DocumentView.h"
#include "core/model/GeoTree.h"
#include "core/model/WorkMonitor.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kbtest {

class TRecordingDocumentView final : public TDocumentView {
public:
    void RebuildScene(bool recreateStock) override { Rebuilds.push_back(recreateStock); }
    void ZoomToBox(const TBox3D& box) override { Zooms.push_back(box); }
    TRect2D DefaultWindow() const override { return Window; }

    std::vector<bool> Rebuilds; // the recreateStock argument of each rebuild
    std::vector<TBox3D> Zooms;
    TRect2D Window{{0.0, 0.0, 1.0}, {100.0, 100.0, 1.0}};
};

// Hands out node ids 1, 2, 3 ... in call order and stores them in the layers
// and objects as the real tree does, making a layer's node only once.
class TRecordingGeoTree final : public TGeoTree {
public:
    enum class TKind { Add, Move, Delete };
    struct TEvent {
        TKind Kind;
        int32_t ObjectID;     // -1 for Delete
        int Layer;            // the object's layer; -1 for Delete
        TTreeNodeId Node;     // the entity node made, or the node deleted
        TTreeNodeId OldNode;  // Move only
    };

    void AddObjectToGeoTree(TQV_20Layers& layers, TObject2D& object) override;
    void MoveGeoTreeNode(TQV_20Layers& layers, TObject2D& object, TTreeNodeId oldNode) override;
    void DeleteGeoTreeNode(TTreeNodeId node) override;
    void SetGeoTreeNodeText(TTreeNodeId node, const std::string& text) override { NodeTexts[node] = text; }
    void BeginUpdate() override { ++UpdateDepth; }
    void EndUpdate() override { --UpdateDepth; }

    std::vector<TEvent> Events;
    std::map<TTreeNodeId, std::string> NodeTexts; // the last text given to each node
    int LayerNodesMade = 0;
    int UpdateDepth = 0;

private:
    TTreeNodeId LayerNode(TQV_20Layers& layers, int layer);
    TTreeNodeId m_LastNode = NoTreeNode;
};

// Installs itself as the work monitor for its lifetime.
class TRecordingWorkMonitor final : public TWorkMonitor {
public:
    TRecordingWorkMonitor();
    ~TRecordingWorkMonitor() override;
    TRecordingWorkMonitor(const TRecordingWorkMonitor&) = delete;
    TRecordingWorkMonitor& operator=(const TRecordingWorkMonitor&) = delete;

    void ShowStatusMessage(const std::string& text) override { StatusMessages.push_back(text); }
    void ShowProgress(int position, bool) override { Progress.push_back(position); }
    void HideProgress() override { ++ProgressHidden; }
    void SetCoordinateReadoutVisible(bool visible) override { ReadoutVisible.push_back(visible); }
    void SetBusy(bool busy) override;
    void ProcessMessages() override;
    bool UserBreakRequested() const override { return BreakRequested; }

    std::vector<std::string> StatusMessages;
    std::vector<int> Progress;
    int ProgressHidden = 0;
    std::vector<bool> ReadoutVisible; // each SetCoordinateReadoutVisible in order
    int BusyDepth = 0;
    int BusySections = 0;       // SetBusy(true) calls
    int MessagesProcessed = 0;
    bool BusyWhileProcessing = true; // every ProcessMessages came inside a busy section
    bool BreakRequested = false;

private:
    TWorkMonitor* m_Previous;
};

} // namespace kbtest
