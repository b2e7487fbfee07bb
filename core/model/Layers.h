#pragma once
// The fixed table of 256 layers that every drawing has, and the decorative
// (dash) pen of a layer. Objects refer to their layer by number 0..255. The
// layer section of the document file is read and written here: only layers
// that the user changed (or that a file set) are written.

#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TStream;

// Pen style and mode codes as stored in the layer record.
constexpr uint8_t PenStyleSolid = 0;
constexpr uint8_t PenModeCopy = 4;
constexpr uint8_t BrushStyleSolid = 0;

// The dash pattern of a layer as a bit set: bit i set means that position i
// of the pattern is drawn. Setting a bit beyond the length extends the set
// (new bits clear). The length is limited to what PatternLength can report.
class TDecorativePen {
public:
    static constexpr int MaxPatternLength = 65535;

    // index 0..MaxPatternLength-1, else ECADOutOfBound.
    void SetBit(int index, bool value);
    // index 0..PatternLength()-1, else ECADOutOfBound.
    bool GetBit(int index) const;
    uint16_t PatternLength() const { return static_cast<uint16_t>(m_Bits.size()); }
    void Clear() { m_Bits.clear(); }

private:
    std::vector<bool> m_Bits;
};

struct TLayerPen {
    uint32_t Color = 0; // 0x00BBGGRR
    uint8_t Style = PenStyleSolid;
    uint8_t Mode = PenModeCopy;
    int32_t Width = 1; // pixels
};

struct TLayerBrush {
    uint32_t Color = 0x00FFFFFF;
    uint8_t Style = BrushStyleSolid;
};

// One layer. Every change of pen, brush or name marks it modified (the same
// value set again counts as a change, as the pen does it); visibility,
// activity and the other flags do not.
class TQV_21Layer {
public:
    static constexpr size_t MaxNameLength = 31;

    // Defaults: black solid pen of width 1, white solid brush, empty
    // pattern, name "Layer_<number>", active, visible, saving its objects.
    explicit TQV_21Layer(uint8_t number);

    const TLayerPen& Pen() const { return m_Pen; }
    void SetPenColor(uint32_t color);
    void SetPenStyle(uint8_t style);
    void SetPenMode(uint8_t mode);
    void SetPenWidth(int32_t width);

    const TLayerBrush& Brush() const { return m_Brush; }
    void SetBrushColor(uint32_t color);
    void SetBrushStyle(uint8_t style);

    TDecorativePen& DecorativePen() { return m_DecorativePen; }
    const TDecorativePen& DecorativePen() const { return m_DecorativePen; }

    const std::string& Name() const { return m_Name; }
    // Keeps the first 31 characters; marks modified only when that differs
    // from the current name.
    void SetName(std::string_view name);

    // Byte flags as stored in the file; any nonzero value means "on".
    uint8_t Active() const { return m_Active; }
    void SetActive(uint8_t active) { m_Active = active; }
    uint8_t Visible() const { return m_Visible; }
    void SetVisible(uint8_t visible) { m_Visible = visible; }
    uint8_t SpareFlag() const { return m_SpareFlag; }
    void SetSpareFlag(uint8_t flag) { m_SpareFlag = flag; }
    // 0: the layer's objects are left out of the document file.
    uint8_t SavedObjects() const { return m_SavedObjects; }
    void SetSavedObjects(uint8_t saved) { m_SavedObjects = saved; }

    bool Modified() const { return m_Modified; }
    void SetModified() { m_Modified = true; }
    // For readers of layer defaults, whose values are no user change.
    void ClearModified() { m_Modified = false; }

    uint8_t Number() const { return m_Number; }

    TTreeNodeId TreeNode() const { return m_TreeNode; }
    void SetTreeNode(TTreeNodeId node) { m_TreeNode = node; }

    // The layer record, always in the newest layout.
    void SaveToStream(TStream& stream) const;
    // Reads a record of the layout that the file's 6-character signature
    // names. Raises EStreamReadError on a truncated record and
    // ECADFileNotValid on a pattern length the stream cannot hold; in both
    // cases the layer keeps its state. A read layer is modified.
    void LoadFromStream(TStream& stream, std::string_view signature);

private:
    TLayerPen m_Pen;
    TLayerBrush m_Brush;
    TDecorativePen m_DecorativePen;
    std::string m_Name;
    uint8_t m_Active = 1;
    uint8_t m_Visible = 1;
    uint8_t m_SpareFlag = 0;
    bool m_Modified = false;
    uint8_t m_SavedObjects = 1;
    uint8_t m_Number = 0;
    TTreeNodeId m_TreeNode = NoTreeNode;
};

// The layer's pen colour as a scene colour with alpha 1.
TSceneColor LayerColorToVector(const TQV_21Layer& layer);

// The 256 layers, index = layer number.
class TQV_20Layers {
public:
    static constexpr int LayerCount = 256;

    TQV_20Layers();
    TQV_20Layers(const TQV_20Layers&) = delete;
    TQV_20Layers& operator=(const TQV_20Layers&) = delete;

    // number 0..255, else ECADOutOfBound.
    TQV_21Layer& GetLayer(int number);
    const TQV_21Layer& GetLayer(int number) const;

    // Layer section: int16 1, then int16 number + record for each modified
    // layer in order, then int16 256.
    void SaveToStream(TStream& stream) const;
    // Reads a layer section into the layers it names; the others keep their
    // state. Raises ECADFileNotValid when the section does not start with 1
    // and ECADOutOfBound for a layer number outside 0..255. The section also
    // ends, without error, when the stream ends before its 256.
    void LoadFromStream(TStream& stream, std::string_view signature);

    // The pen colour of layer 0.
    uint32_t DefaultLayersColor() const;
    // Sets the pen colour of every layer that is not modified, leaving it
    // not modified: the user's layers keep their colours.
    void SetDefaultLayersColor(uint32_t color);

private:
    std::vector<TQV_21Layer> m_Layers;
};
