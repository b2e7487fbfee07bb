#pragma once
// The toolpath of one machining operation as a DXF file of release 12: a
// header with the drawing's extents, the line-type and layer tables, and the
// moves as LINE and ARC entities on one layer. The machining subsystem hands
// the operation's toolpath curves in as vertex lists (io does not know
// operations).
//
// The file is written in memory and saved by Finish through a temporary file
// renamed over the target: a failed write leaves an older file whole.

#include <memory>
#include <string>
#include <vector>

struct TAVertice3d;
class TDXFWrite;
class TQV_01Cmp2D;

// One toolpath curve: its vertices in order; the first is the start, each
// later one the move that ends at its point (kind 0 line, 1
// counter-clockwise arc, -1 clockwise arc about its centre).
using TToolpathVertices = std::vector<TAVertice3d>;

class TDXF2DExport {
public:
    TDXF2DExport(std::string fileName, TQV_01Cmp2D& document);
    ~TDXF2DExport();
    TDXF2DExport(const TDXF2DExport&) = delete;
    TDXF2DExport& operator=(const TDXF2DExport&) = delete;

    // Writes the whole file but its last pair. Marks the document's current
    // layer modified, so that the layer table lists it.
    void ExportToolpath(const std::vector<TToolpathVertices>& curves, const std::string& layerName);
    // Writes 0 "EOF" and saves the file; raises EStreamWriteError when it
    // cannot be written (the target is then as it was).
    void Finish();

    const std::string& Text() const;

private:
    void WriteHeader();
    void WriteTables();
    void WriteEntities(const std::vector<TToolpathVertices>& curves);
    void WriteArc(const TAVertice3d& previous, const TAVertice3d& v);

    std::string m_FileName;
    TQV_01Cmp2D& m_Document;
    std::string m_LayerName;
    std::unique_ptr<TDXFWrite> m_Writer;
};
