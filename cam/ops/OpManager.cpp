#include "cam/ops/OpManager.h"

#include "cam/generators/Contorno.h"

#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/geometry/Tolerance.h"
#include "core/model/CADSysException.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"

#include <cmath>
#include <utility>

namespace {

const char* const kInvalidStream = "LoadFromStream: Invalid stream.";

TOpManagerField* g_CurrentOperation = nullptr;

// Rounds to 4 decimals, ties to even.
double Round4(double v)
{
    return std::nearbyint(v * 10000.0) / 10000.0;
}

// The chain list reports its counts in the tool window for these kinds.
bool KindHasChainInfo(int kind, bool oldRecord)
{
    switch (kind) {
    case OpKind::Contour:
    case OpKind::Pocket:
    case OpKind::Drilling:
        return true;
    case OpKind::LatheFinish:
    case OpKind::LaserCut:
    case OpKind::LatheRough:
        return !oldRecord;
    default:
        return false;
    }
}

// A stored kind: the low byte of the int32; the loaders' placeholder and
// numbers without a row are damage.
uint8_t ReadStoredKind(TStream& stream)
{
    const auto kind = static_cast<uint8_t>(ReadInt32(stream) & 0xFF);
    if (kind == OpKind::LoaderNew || !FindOpKind(kind))
        throw ECADFileNotValid(kInvalidStream);
    return kind;
}

} // namespace

// --- TOpManagerField ----------------------------------------------------------

TOpManagerField::TOpManagerField(int kind) : Kind(static_cast<uint8_t>(kind))
{
    if (TSceneBuilder* scene = ViewServices().Scene) {
        DisplayGroup = scene->CreateOverlayGroup(scene->Group(TSceneGroup::Objects), "Toolpath");
        if (DisplayGroup != NoSceneNode)
            m_Scene = scene;
    }
    Parameters = std::make_unique<TParametriOperazione>(kind);
    Parameters->PassCount = 1;
    if (!IsLatheKind(kind))
        return;
    TParametriOperazione& p = *Parameters;
    if (const TOpManagerField* last = OpManager().LastOperation()) {
        p.LatheHome = last->Parameters->LatheHome;
        p.LatheEntry = last->Parameters->LatheEntry;
        p.LatheExit = last->Parameters->LatheExit;
        return;
    }
    p.LatheHome = {PostInfo().HomeX(), PostInfo().HomeZ()};
    if (AppConfig().Unit) {
        p.LatheEntry = {-2.0, 0.0};
        p.LatheExit = {1.4142135623730951, 1.4142135623730951};
    } else {
        p.LatheEntry = {-0.1, 0.0};
        p.LatheExit = {0.07071067811865475, 0.07071067811865475};
    }
}

namespace {
TOperationFreedHook g_OperationFreed;
} // namespace

TOperationFreedHook SetOperationFreedHook(TOperationFreedHook hook)
{
    return std::exchange(g_OperationFreed, std::move(hook));
}

TOpManagerField::~TOpManagerField()
{
    if (g_OperationFreed)
        g_OperationFreed(*this);
    if (g_CurrentOperation == this)
        g_CurrentOperation = nullptr;
    Parameters.reset();
    Toolpaths.clear();
    // The group goes with its content (the scene would keep an empty one).
    if (m_Scene && m_Scene == ViewServices().Scene)
        m_Scene->RemoveNode(DisplayGroup);
    Chains.ClearAll();
}

void TOpManagerField::ClearToolpaths()
{
    ClearCurveList(Toolpaths);
}

void TOpManagerField::ComputeDepthPasses(const std::string& /*zRapidText*/, const std::string& topText,
                                         const std::string& depthText, const std::string& stepText)
{
    TParametriOperazione& p = *Parameters;
    if (PostInfo().OmitZ() || PostInfo().LPJPost()) {
        p.PassCount = 1;
        p.HasRemainder = 0;
        DepthPassText1.clear();
        DepthPassText2 = LangText(LangKeys::String::DepthPassOmitZ);
        return;
    }
    if (stepText.empty() || stepText == ".")
        return;
    // Texts that are no numbers (yet) change nothing.
    const std::optional<double> top = ParseDecimal(topText);
    const std::optional<double> depth = ParseDecimal(depthText);
    const std::optional<double> step = ParseDecimal(stepText);
    if (!top || !depth || !step)
        return;
    const double total = std::fabs(*top - *depth);
    double passDepth = Round4(*step);
    // A step that rounds to 0 at 4 decimals is no step either: one pass.
    if (std::fabs(*step) <= SystemTol() || passDepth == 0.0)
        passDepth = total;
    if (passDepth > total)
        passDepth = total;
    int32_t count = 1;
    if (total > SystemTol())
        count = static_cast<int32_t>(std::trunc(Round4(total / passDepth)));
    const std::string word = " " +
                             LangText(count > 1 ? LangKeys::String::DepthPassesOf : LangKeys::String::DepthPassOf) +
                             " ";
    const double remainder = total - count * passDepth;
    if (count != 0)
        passDepth = (total - remainder) / count;
    p.PassCount = count;
    p.PassDepth = passDepth;
    p.RemainderDepth = remainder;
    const std::string passes = std::to_string(count) + word + FormatCoord(passDepth);
    if (remainder > ChainTol()) {
        DepthPassText1 = passes;
        DepthPassText2 = LangText(LangKeys::String::DepthPassRemainder) + " " + FormatCoord(remainder);
        p.HasRemainder = 1;
    } else {
        DepthPassText1.clear();
        DepthPassText2 = passes;
        p.HasRemainder = 0;
    }
}

double TOpManagerField::PassDepth(int32_t n) const
{
    if (Parameters->HasRemainder && n > Parameters->PassCount)
        return Parameters->RemainderDepth;
    return Parameters->PassDepth;
}

const TAVertice3d* TOpManagerField::FirstToolpathVertex() const
{
    for (const auto& curve : Toolpaths)
        if (!curve->Vertices.empty())
            return &curve->Vertices.front();
    return nullptr;
}

const TAVertice3d* TOpManagerField::LastToolpathVertex() const
{
    if (Toolpaths.empty() || Toolpaths.back()->Vertices.empty())
        return nullptr;
    return &Toolpaths.back()->Vertices.back();
}

int32_t TOpManagerField::ToolpathVertexCount() const
{
    int32_t n = 0;
    for (const auto& curve : Toolpaths)
        n += curve->VertexCount();
    return n;
}

void TOpManagerField::ToolpathToGeometry(TQV_01Cmp2D& document) const
{
    for (const auto& curve : Toolpaths)
        CurveToDrawing(*curve, document);
}

void TOpManagerField::SaveToStream(TStream& stream)
{
    WriteInt32(stream, Kind);
    Parameters->SaveToStream(stream, Kind, SwitchedOff != 0);
    WriteInt32(stream, Chains.Count() - 1);
    for (auto& chain : Chains.Items) {
        chain->Reversed = Chains.DirectionReversed;
        chain->SaveToStream(stream);
    }
    WriteInt32(stream, static_cast<int32_t>(Toolpaths.size()) - 1);
    for (const auto& curve : Toolpaths)
        curve->SaveToStream(stream);
    WriteStreamEx(stream, Comment);
}

void TOpManagerField::LoadFromStream(TStream& stream, std::string_view version)
{
    const std::string ver(version);
    const bool kindFirst = SignatureGreater(version, "QV-003");
    try {
        if (kindFirst) {
            Kind = ReadStoredKind(stream);
            Chains.HasInfoLabel = KindHasChainInfo(Kind, false);
            Parameters->CreateToolData(Kind);
        }
        if (Parameters->LoadFromStream(stream, version, Kind))
            SwitchedOff = 1;

        const int64_t chains = int64_t{ReadInt32(stream)} + 1;
        if (chains < 0 || !stream.CanHold(chains, 5))
            throw ECADFileNotValid(kInvalidStream);
        for (int64_t i = 0; i < chains; ++i) {
            auto chain = std::make_unique<TCatena>();
            chain->LoadFromStream(stream, ver);
            if (chain->Vertices.empty())
                continue;
            Chains.DirectionReversed = chain->Tag > 0 ? 1 : 0;
            Chains.AddChain(std::move(chain));
        }

        const int64_t curves = int64_t{ReadInt32(stream)} + 1;
        if (curves < 0 || !stream.CanHold(curves, 5))
            throw ECADFileNotValid(kInvalidStream);
        const bool oldForm = !SignatureGreater(version, "QV-002");
        for (int64_t i = 0; i < curves; ++i) {
            if (oldForm) {
                TCurvaNci discarded;
                discarded.LoadFromStream(stream, ver);
                ToolpathsDiscarded = 1;
                continue;
            }
            auto curve = std::make_unique<TCurvaNci3d>();
            curve->LoadFromStream(stream, version);
            Toolpaths.push_back(std::move(curve));
        }

        if (!kindFirst) {
            Kind = ReadStoredKind(stream);
            Parameters->OpKind = Kind;
            Chains.HasInfoLabel = KindHasChainInfo(Kind, true);
            // The parameters were read with the mill record of the
            // placeholder kind; a lathe or laser operation gets a record of
            // its own machine that keeps the tool's name and feed.
            if (OpKindInfo(Kind).Tool != TOpToolRecord::Mill) {
                std::unique_ptr<TDatiUtBase> mill = std::move(Parameters->ToolData);
                Parameters->CreateToolData(Kind);
                if (mill && Parameters->ToolData) {
                    Parameters->ToolData->ToolName = mill->ToolName;
                    Parameters->ToolData->Feed = mill->Feed;
                }
            }
        }
        if (!SignatureLess(version, "QV-002"))
            Comment = ReadStreamEx(stream);
        RestoreCompCodes(*this);
    } catch (const ECADFileNotValid&) {
        throw;
    } catch (const std::exception&) {
        throw ECADFileNotValid(kInvalidStream);
    }
}

// --- TOpManager ---------------------------------------------------------------

TOpManagerField* TOpManager::AddOperation(std::unique_ptr<TOpManagerField> op)
{
    Operations.push_back(std::move(op));
    ++LastIndex;
    return Operations.back().get();
}

void TOpManager::DeleteOperation(int32_t index)
{
    if (index < 0 || index >= Count())
        return;
    Operations.erase(Operations.begin() + index);
}

void TOpManager::DeleteAll()
{
    Operations.clear();
}

int32_t TOpManager::IndexOf(const TOpManagerField* op) const
{
    for (size_t i = 0; i < Operations.size(); ++i)
        if (Operations[i].get() == op)
            return static_cast<int32_t>(i);
    return -1;
}

TOpManagerField* TOpManager::OperationAfter(const TOpManagerField* op) const
{
    const int32_t i = IndexOf(op);
    if (i < 0 || i + 1 >= Count())
        return nullptr;
    return Operations[static_cast<size_t>(i + 1)].get();
}

TOpManagerField* TOpManager::OperationBefore(const TOpManagerField* op) const
{
    const int32_t i = IndexOf(op);
    if (i <= 0)
        return nullptr;
    return Operations[static_cast<size_t>(i - 1)].get();
}

TOpManagerField* TOpManager::LastOperation() const
{
    if (Operations.empty())
        return nullptr;
    if (Operations.back()->IsNew)
        return Operations.back().get();
    if (Operations.size() < 2)
        return nullptr;
    return Operations[Operations.size() - 2].get();
}

void TOpManager::InitTree(TOperationsTree& tree)
{
    if (tree.Root() != NoOpTreeNode)
        return;
    const TOpTreeNode root = tree.AddRoot(LangMainText(LangKeys::frmMain::OpTreeRoot) + " " + PostInfo().PostName());
    tree.Expand(root, true);
}

void TOpManager::SetNodeText(TOperationsTree& tree, TOpTreeNode node, const std::string& text)
{
    tree.SetText(node, text);
}

void TOpManager::SaveToStream(TStream& stream)
{
    WriteInt32(stream, Count() - 1);
    for (auto& op : Operations)
        op->SaveToStream(stream);
}

void TOpManager::LoadFromStream(TStream& stream, std::string_view version)
{
    std::vector<std::unique_ptr<TOpManagerField>> read;
    // What was read before a failing record stays.
    const auto keep = [&] {
        if (HoldLoaded) {
            for (auto& op : read)
                Held.push_back(std::move(op));
        } else {
            AppendLoaded(std::move(read));
        }
    };
    try {
        const int64_t count = int64_t{ReadInt32(stream)} + 1;
        if (count < 0 || !stream.CanHold(count, 1))
            throw ECADFileNotValid(kInvalidStream);
        const int placeholder = SignatureGreater(version, "QV-003") ? OpKind::LoaderNew : OpKind::LoaderOld;
        for (int64_t i = 0; i < count; ++i) {
            auto op = std::make_unique<TOpManagerField>(placeholder);
            op->LoadFromStream(stream, version);
            read.push_back(std::move(op));
        }
    } catch (const ECADFileNotValid&) {
        keep();
        throw;
    } catch (const std::exception&) {
        keep();
        throw ECADFileNotValid(kInvalidStream);
    }
    keep();
}

void TOpManager::AppendLoaded(std::vector<std::unique_ptr<TOpManagerField>>&& ops)
{
    for (auto& op : ops) {
        TOpManagerField* added = AddOperation(std::move(op));
        if (TOperationsShell* shell = OperationsShell()) {
            if (TOperationsTree* tree = shell->OperationsTree())
                AddOperationNode(*tree, *added);
            shell->ShowOperationsPage();
        }
    }
    ops.clear();
}

TOpManager& OpManager()
{
    static TOpManager manager;
    return manager;
}

TOpManagerField* CurrentOperation()
{
    return g_CurrentOperation;
}

void SetCurrentOperation(TOpManagerField* op)
{
    g_CurrentOperation = op;
}

TOperationsHooks::TOperationsHooks()
{
    SetSaveOperationsHook([](TStream& stream) { OpManager().SaveToStream(stream); });
    SetLoadOperationsHook(
        [](TStream& stream, std::string_view signature) { OpManager().LoadFromStream(stream, signature); });
}

TOperationsHooks::~TOperationsHooks()
{
    SetSaveOperationsHook({});
    SetLoadOperationsHook({});
}

// --- Captions and the tree ------------------------------------------------------

std::string OperationKindCaption(const TOpManagerField& op)
{
    std::string text = LangMainText(OpKindInfo(op.Kind).CaptionKey);
    const TDatiUtBase* tool = op.Parameters ? op.Parameters->ToolData.get() : nullptr;
    if (!tool)
        return text;
    const std::string sizeAndName = FormatCoord(tool->Diameter) + " (" + tool->ToolName + ")";
    if (IsLaserKind(op.Kind))
        return text + " " + LangMainText(LangKeys::frmMain::OpToolDiameter) + sizeAndName;
    if (IsLatheKind(op.Kind))
        return text + " " + LangMainText(LangKeys::frmMain::OpInsertRadius) + sizeAndName;
    return text + std::to_string(tool->ToolNumber) + " " + LangMainText(LangKeys::frmMain::OpToolDiameter) +
           sizeAndName;
}

std::string OperationCaption(const TOpManagerField& op)
{
    std::string text = OperationKindCaption(op);
    if (!op.Comment.empty())
        text += " " + op.Comment;
    return text;
}

void AddOperationNode(TOperationsTree& tree, TOpManagerField& op)
{
    const TOpTreeNode root = tree.Root();
    if (root == NoOpTreeNode)
        return;
    const TOpTreeNode node = tree.AddChild(root, OperationCaption(op), &op);
    tree.SetImage(node, OpTreeImage::Operation);
    const TOpTreeNode params = tree.AddChild(node, LangMainText(LangKeys::frmMain::OpTreeParameters), nullptr);
    tree.SetImage(params, op.ToolpathsDiscarded ? OpTreeImage::Discarded : OpTreeImage::Parameters);
    const TOpTreeNode path = tree.AddChild(
        node, LangMainText(LangKeys::frmMain::OpTreeToolpath) + " (" + std::to_string(op.ToolpathVertexCount()) + ")",
        nullptr);
    tree.SetImage(path, OpTreeImage::Toolpath);
    tree.Expand(root, false);
    if (op.SwitchedOff) {
        tree.SetImage(node, OpTreeImage::SwitchedOff);
        tree.Collapse(node);
    } else {
        tree.Expand(node, true);
    }
    op.TreeNode = node;
}

void UpdateOperationNode(TOperationsTree& tree, TOpManagerField& op)
{
    if (tree.Root() == NoOpTreeNode || op.TreeNode == NoOpTreeNode)
        return;
    tree.SetText(op.TreeNode, OperationCaption(op));
    tree.SetText(tree.Child(op.TreeNode, 1),
                 LangMainText(LangKeys::frmMain::OpTreeToolpath) + " (" + std::to_string(op.ToolpathVertexCount()) +
                     ")");
    if (op.ToolpathsDiscarded) {
        tree.SetImage(tree.Child(op.TreeNode, 0), OpTreeImage::Parameters);
        op.ToolpathsDiscarded = 0;
    }
}
