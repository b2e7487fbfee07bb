#pragma once
// Operation records and operations sections as bytes, laid out from the
// record tables independently of the code under test, and the fakes of the
// operations' services (post values, operations tree, main window).

#include "cam/ops/OperationServices.h"
#include "tests/cam/ToolBytes.h"

#include <map>
#include <string>
#include <vector>

namespace kbtest {

// A 2D curve record (chains; the toolpaths of documents up to "QV-002"):
// line vertices through the points; the reversed int16 and the ID from
// "QV-001" on.
inline TBytes ChainBytes(const std::string& version, int32_t id, int16_t reversed,
                         const std::vector<std::pair<double, double>>& points, bool closed = false)
{
    TBytes b;
    b.I32(static_cast<int32_t>(points.size()) - 1).U8(closed ? 1 : 0);
    if (version >= "QV-001")
        b.I16(reversed).I32(id);
    for (auto [x, y] : points)
        b.I32(0).F64(x).F64(y).F64(0).F64(0).I32(0).I32(-1);
    return b;
}

// The toolpath record of documents up to "QV-002": a 2D curve, a double and
// an int32.
inline TBytes OldToolpathBytes(const std::string& version, int32_t id)
{
    TBytes b = ChainBytes(version, id, 0, {{0, 0}, {5, 0}});
    b.F64(1.5).I32(3);
    return b;
}

// A toolpath record: a line from (x, 0, -1) to (x + 10, 0, -1), then a
// counter-clockwise half circle about (x + 10, 5, -1); Tag and ID from
// "QV-001" on; then the code.
inline TBytes ToolpathBytes(const std::string& version, double x, int32_t id, int32_t code)
{
    TBytes b;
    b.I32(2).U8(0);
    if (version >= "QV-001")
        b.I16(0x0101).I32(id);
    b.I32(0).F64(x).F64(0).F64(-1).F64(0).F64(0).F64(0).I32(0);
    b.I32(0).F64(x + 10).F64(0).F64(-1).F64(0).F64(0).F64(0).I32(0);
    b.I32(1).F64(x + 10).F64(10).F64(-1).F64(x + 10).F64(5).F64(-1).I32(2);
    b.I32(code);
    return b;
}

struct TOpBytesSpec {
    std::string Version = "QV-3.6";
    int Kind = 1;
    TBytes Tool = MillDocumentBytes("T1");
    uint16_t Flags = 0x0101;
    int32_t Tabs = 2;
    std::vector<TBytes> Chains;
    std::vector<TBytes> Toolpaths;
    std::string Comment;
};

// One operation record in the layout of its version.
inline TBytes OpBytes(const TOpBytesSpec& s)
{
    TBytes b;
    const bool kindFirst = s.Version > "QV-003";
    if (kindFirst)
        b.I32(s.Kind);
    TParamsBytesSpec params;
    params.Version = s.Version;
    params.Kind = kindFirst ? s.Kind : 0;
    params.Flags = s.Flags;
    params.Tabs = s.Tabs;
    params.Tool = s.Tool;
    Append(b, ParamsBytes(params));
    b.I32(static_cast<int32_t>(s.Chains.size()) - 1);
    for (const TBytes& c : s.Chains)
        Append(b, c);
    b.I32(static_cast<int32_t>(s.Toolpaths.size()) - 1);
    for (const TBytes& t : s.Toolpaths)
        Append(b, t);
    if (!kindFirst)
        b.I32(s.Kind);
    if (s.Version >= "QV-002")
        b.StreamEx(s.Comment);
    return b;
}

// A document without layers, blocks or objects, then the operations
// section.
inline TBytes DocumentWithOperations(const std::string& version, const std::vector<TBytes>& ops)
{
    TBytes b;
    b.Str(version).I16(1).I16(256).U8(2).I32(0).U8(3).I32(0).U8(4);
    b.I32(static_cast<int32_t>(ops.size()) - 1);
    for (const TBytes& op : ops)
        Append(b, op);
    return b;
}

class TFakePostInfo : public TPostInfo {
public:
    bool OmitZ() const override { return Omit; }
    bool LPJPost() const override { return LPJ; }
    double HomeX() const override { return Home.first; }
    double HomeZ() const override { return Home.second; }
    std::string PostName() const override { return Name; }

    bool Omit = false;
    bool LPJ = false;
    std::pair<double, double> Home{50, 25};
    std::string Name = "grbl";
};

class TFakeOperationsTree : public TOperationsTree {
public:
    struct TNode {
        TOpTreeNode Parent = NoOpTreeNode;
        std::string Text;
        int Image = -1;
        bool Expanded = false;
        TOpManagerField* Data = nullptr;
        std::vector<TOpTreeNode> Children;
    };

    TOpTreeNode Root() const override { return Roots.empty() ? NoOpTreeNode : Roots.front(); }
    TOpTreeNode AddRoot(const std::string& text) override
    {
        const TOpTreeNode id = m_Next++;
        Nodes[id].Text = text;
        Roots.push_back(id);
        return id;
    }
    TOpTreeNode AddChild(TOpTreeNode parent, const std::string& text, TOpManagerField* data) override
    {
        const TOpTreeNode id = m_Next++;
        Nodes[id] = TNode{parent, text, -1, false, data, {}};
        Nodes[parent].Children.push_back(id);
        return id;
    }
    TOpTreeNode Child(TOpTreeNode node, int index) const override
    {
        auto it = Nodes.find(node);
        if (it == Nodes.end() || index < 0 || index >= static_cast<int>(it->second.Children.size()))
            return NoOpTreeNode;
        return it->second.Children[static_cast<size_t>(index)];
    }
    void SetText(TOpTreeNode node, const std::string& text) override { Nodes[node].Text = text; }
    void SetImage(TOpTreeNode node, int image) override { Nodes[node].Image = image; }
    void Expand(TOpTreeNode node, bool recursive) override
    {
        Nodes[node].Expanded = true;
        if (recursive)
            for (TOpTreeNode c : Nodes[node].Children)
                Expand(c, true);
    }
    void Collapse(TOpTreeNode node) override { Nodes[node].Expanded = false; }

    std::map<TOpTreeNode, TNode> Nodes;
    std::vector<TOpTreeNode> Roots;

private:
    TOpTreeNode m_Next = 1;
};

class TFakeOperationsShell : public TOperationsShell {
public:
    TOperationsTree* OperationsTree() override { return &Tree; }
    void ShowOperationsPage() override { ++PageSwitches; }

    TFakeOperationsTree Tree;
    int PageSwitches = 0;
};

} // namespace kbtest
