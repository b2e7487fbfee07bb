#pragma once
// Operations and the operation manager.
//
// - TOpManagerField is one machining operation: its kind (cam/ops/OpKinds.h),
//   parameters, chains, toolpath curves, comment, display group and flags.
// - TOpManager is the ordered list of the document's operations, with the
//   operations section of the document file. There is one, OpManager(),
//   alive for the whole run; start-up installs its save and load as the
//   document's operations hooks (InstallOperationsHooks).
// - CurrentOperation() is the operation being created or edited in the tool
//   window; a new one stays outside the list until its first Calculate.
// - The tree helpers caption operations and fill the main window's
//   operations tree (cam/ops/OperationServices.h).
// Program generation, the machine-family check and the toolpath display
// belong to the G-code side, which reads the list and the kind table.
//
// Operations section (after the byte 4 that ends the document), little-
// endian: int32 operation count - 1 (-1 for none), then per operation:
// ("QV-004" on) int32 kind; the parameters record (cam/params/
// ParametriOperazione.h) with the switched-off mark; int32 chain count - 1
// and the chain records (cam/curves/ACurva.h), each carrying the list's
// direction flag; int32 toolpath count - 1 and the toolpath records
// (cam/toolpath/ToolpathCurves.h); ("QV-002" on) the comment string. Up to
// "QV-003" the int32 kind follows the toolpaths instead, and up to "QV-002"
// the toolpaths are old 2D records that are read and dropped. Main thread
// only.

#include "cam/chains/Catena.h"
#include "cam/ops/OpKinds.h"
#include "cam/ops/OperationServices.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/toolpath/ToolpathCurves.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TQV_01Cmp2D;
class TQV_STLSurf;
class TStream;

class TOpManagerField {
public:
    // Creates the chain and toolpath lists, the display group (when a scene
    // is installed) and the parameters for the kind, which also make the
    // kind's tool library current. IsNew 1, pass count 1. The lathe kinds
    // 7 and 11 take their home, entry and exit points from the manager's
    // LastOperation when there is one, else the post's home and the default
    // vectors of the settings' unit.
    explicit TOpManagerField(int kind);
    // Frees parameters, toolpaths and chains and removes the display group
    // (when the scene it was made in is still installed). Stops being the
    // current operation.
    ~TOpManagerField();
    TOpManagerField(const TOpManagerField&) = delete;
    TOpManagerField& operator=(const TOpManagerField&) = delete;

    void ClearToolpaths();

    // The Z plan of the contour and pocket pages from their texts: pass
    // count, pass depth, remainder flag and depth in the parameters, and the
    // two summary texts. The rapid text takes no part.
    void ComputeDepthPasses(const std::string& zRapidText, const std::string& topText, const std::string& depthText,
                            const std::string& stepText);
    // The depth of Z pass n (1-based): the remainder depth for the pass
    // after the regular ones when there is a remainder, else the pass depth.
    double PassDepth(int32_t n) const;

    // The first vertex of the first toolpath curve that has vertices; null
    // when there is none.
    const TAVertice3d* FirstToolpathVertex() const;
    // The last vertex of the last toolpath curve; null when that curve (or
    // the list) is empty.
    const TAVertice3d* LastToolpathVertex() const;
    int32_t ToolpathVertexCount() const;
    // Every toolpath curve as line and arc entities of the drawing.
    void ToolpathToGeometry(TQV_01Cmp2D& document) const;

    // One operation record.
    void SaveToStream(TStream& stream);
    // Reads one record into this operation, made for the version's
    // placeholder kind. Any failure raises ECADFileNotValid
    // "LoadFromStream: Invalid stream.".
    void LoadFromStream(TStream& stream, std::string_view version);

    std::unique_ptr<TParametriOperazione> Parameters;
    TListaCatene Chains;
    TListaDiCurve3d Toolpaths;
    uint8_t Kind = 0;
    uint8_t Calculated = 0;
    uint8_t IsNew = 1;
    TOpTreeNode TreeNode = NoOpTreeNode;
    uint8_t SwitchedOff = 0;
    std::string DepthPassText1;
    std::string DepthPassText2;
    std::string Comment;
    // Holds the drawn toolpath, depth test and write off; owned by the scene.
    TSceneNodeId DisplayGroup = NoSceneNode;
    std::vector<TQV_STLSurf*> SurfaceObjects; // not owned
    uint8_t Shown = 0;
    // Old-form toolpaths were read and dropped; cleared by the next tree update.
    uint8_t ToolpathsDiscarded = 0;

private:
    // The scene the display group was made in.
    TSceneBuilder* m_Scene = nullptr;
};

class TOpManager {
public:
    TOpManager() = default;
    TOpManager(const TOpManager&) = delete;
    TOpManager& operator=(const TOpManager&) = delete;

    // Appends (the list owns it); LastIndex += 1. Returns the operation.
    TOpManagerField* AddOperation(std::unique_ptr<TOpManagerField> op);
    // Frees the operation at index (nothing for an index outside the list);
    // LastIndex stays.
    void DeleteOperation(int32_t index);
    // Frees every operation; LastIndex stays.
    void DeleteAll();
    int32_t Count() const { return static_cast<int32_t>(Operations.size()); }
    TOpManagerField& Operation(int32_t index) { return *Operations.at(static_cast<size_t>(index)); }
    // Position in the list, or -1.
    int32_t IndexOf(const TOpManagerField* op) const;
    // The neighbour in the list; null when op is not in it or has none.
    TOpManagerField* OperationAfter(const TOpManagerField* op) const;
    TOpManagerField* OperationBefore(const TOpManagerField* op) const;
    // The last operation when still IsNew, else the one before it; null for
    // an empty list or a single operation that is not new.
    TOpManagerField* LastOperation() const;

    // Adds the root "twCnc01" + " " + the post's name when the tree has none.
    void InitTree(TOperationsTree& tree);
    void SetNodeText(TOperationsTree& tree, TOpTreeNode node, const std::string& text);

    // The operations section.
    void SaveToStream(TStream& stream);
    // Appends the operations read (each also to the operations tree), then
    // shows the operations page. A failing record raises ECADFileNotValid
    // "LoadFromStream: Invalid stream."; the operations read before it stay.
    // While HoldLoaded is set, the operations read go to Held instead, and
    // the list, the tree and the page stay as they are.
    void LoadFromStream(TStream& stream, std::string_view version);
    // Appends ops (each also to the operations tree), then shows the
    // operations page; nothing for an empty list.
    void AppendLoaded(std::vector<std::unique_ptr<TOpManagerField>>&& ops);

    // A replacing open reads the file's operations aside and decides once
    // the whole file was read whether they take the list's place.
    bool HoldLoaded = false;
    std::vector<std::unique_ptr<TOpManagerField>> Held;

    std::vector<std::unique_ptr<TOpManagerField>> Operations;
    int32_t LastIndex = -1;
    uint8_t ShowToggle = 1;
};

// The program's operation manager.
TOpManager& OpManager();

// Called by every operation's destructor first (the simulation, which sits
// above, lets go of it); may be empty. Returns the hook installed before.
using TOperationFreedHook = std::function<void(const TOpManagerField&)>;
TOperationFreedHook SetOperationFreedHook(TOperationFreedHook hook);

// The operation being created or edited; null when there is none. Not
// owned here: a listed one belongs to the manager, a new one to the tool
// window until its first Calculate appends it.
TOpManagerField* CurrentOperation();
void SetCurrentOperation(TOpManagerField* op);

// The document's operations hooks call OpManager()'s save and load; the
// previous hooks come back when the guard goes.
class TOperationsHooks {
public:
    TOperationsHooks();
    ~TOperationsHooks();
    TOperationsHooks(const TOperationsHooks&) = delete;
    TOperationsHooks& operator=(const TOperationsHooks&) = delete;
};

// --- Captions and the operations tree -----------------------------------------

// The kind's caption (section "frmMain") and the tool: laser kinds
// " " + "twCnc09" + diameter + " (" + name + ")", lathe kinds " " + "twCnc08"
// + nose radius + " (" + name + ")", others the tool number, " ", "twCnc09",
// diameter and " (" + name + ")".
std::string OperationKindCaption(const TOpManagerField& op);
// OperationKindCaption, then " " + the comment when there is one.
std::string OperationCaption(const TOpManagerField& op);

// Images of the operations tree.
namespace OpTreeImage {
inline constexpr int Operation = 1;
inline constexpr int Parameters = 3;
inline constexpr int Toolpath = 4;
inline constexpr int SwitchedOff = 5;
inline constexpr int Discarded = 7;
} // namespace OpTreeImage

// Adds the operation's node under the root (nothing for a tree without
// one): its caption, image 1, carrying the operation; a parameters child
// ("twCnc03", image 7 when the toolpaths were discarded, else 3) and a
// toolpath child ("twCnc04" + " (" + vertex count + ")", image 4). A
// switched-off operation gets image 5, collapsed; others are expanded.
// Sets op.TreeNode.
void AddOperationNode(TOperationsTree& tree, TOpManagerField& op);
// Re-captions the node and the toolpath child; a discarded mark goes
// (image 3) and the flag is cleared. Nothing without a root or a TreeNode.
void UpdateOperationNode(TOperationsTree& tree, TOpManagerField& op);
