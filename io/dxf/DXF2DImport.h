#pragma once
// TDXF2DImport: turns an ASCII DXF file into 2D entities of the drawing. It
// walks the file with TDXFRead section by section: header variables, the
// LAYER table, the block definitions and the entities.
//
// Promises:
// - Damaged, truncated and hostile input ends the reading; it never hangs,
//   crashes or reads out of bounds. What was read before the damage stays
//   in the drawing, and the import says so: Incomplete() is set and
//   Damage() tells what stopped it. Entities that could not be read
//   (unsupported kinds such as MTEXT or HATCH, texts without a font, inserts
//   of missing blocks) are counted by DXF type in Skipped(), and set
//   Incomplete() too. Skips inside a block definition count once the block
//   is used by the drawing (inserted, directly or through other blocks).
// - Layers: the k-th LAYER entry of the file becomes CAD layer k (modulo
//   256); an entity whose layer name (compared without regard to case) is
//   not in the table goes on the layer of the entity before it.
// - Blocks: each block of the file gets a name that is unique in the 13
//   bytes the drawing compares (see CopyBlockName), so two block names that
//   share their first 13 bytes, or a name the drawing already uses, never
//   resolve to the wrong block; inserts follow the names given. A block's
//   base point comes to the origin through its children's transforms. A
//   nested insert that would make a block insert itself, directly or through
//   other blocks, is refused, as is one of a block that does not exist.
// - Turn senses: every angle of the file turns counter-clockwise in the
//   drawing (X towards Y): arc angles, TEXT and INSERT rotations (code 50),
//   and the major axis of an ELLIPSE. An entity whose extrusion direction
//   points down (0, 0, -1) is drawn mirrored in X, as the file means it.
// - Numbers are read locale-independently; "1,5" and "1.5" both read 1.5.
// - Main thread only. The document must outlive the importer.

#include "core/geometry/Points.h"
#include "io/dxf/DXFReader.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class TContainer2D;
class TInsert;
class TObject2D;
class TPolyline2D;
class TQV_01Cmp2D;
class TSourceBlock2D;
class TVectFont;

// The two messages that ShowMessages shows at once, one box per case.
inline constexpr std::string_view DXFFittedPolylineMessage = "Spline without spline-fitting isn't supported.";
inline constexpr std::string_view DXFMissingBlockMessage = "Some blocks cannot be read.";
// The error of a POLYLINE whose vertices are not followed by SEQEND.
inline constexpr std::string_view DXFInvalidFileMessage = "Invalid DXF file.";

// How many entities of each kind were read (POLYLINE, LWPOLYLINE, TRACE and
// SOLID count as polylines; only top-level INSERTs count).
struct TDXFEntityCounters {
    uint32_t Points = 0;
    uint32_t Lines = 0;
    uint32_t Arcs = 0;
    uint32_t Circles = 0;
    uint32_t Ellipses = 0;
    uint32_t Polylines = 0;
    uint32_t Splines = 0;
    uint32_t Inserts = 0;
    uint32_t Texts = 0;
};

// Entities of one DXF type that did not make it into the drawing.
struct TDXFSkip {
    std::string Type;
    uint32_t Count = 0;
    bool operator==(const TDXFSkip&) const = default;
};

class TDXF2DImport {
public:
    // Opens the file. When it cannot be opened, or does not start like a DXF
    // file, the reader's message goes to a plain message box (UserNotifier;
    // not with reportOpenFailure false), OpenFailed() and Incomplete() are
    // set, and both read operations do nothing.
    TDXF2DImport(const std::string& fileName, TQV_01Cmp2D* document, bool reportOpenFailure = true);
    // The same on a DXF text held in memory.
    static std::unique_ptr<TDXF2DImport> FromMemory(std::string bytes, TQV_01Cmp2D* document);
    ~TDXF2DImport();
    TDXF2DImport(const TDXF2DImport&) = delete;
    TDXF2DImport& operator=(const TDXF2DImport&) = delete;

    // The stroke font of TEXT entities, not owned; without one TEXT entities
    // are skipped.
    void SetTextFont(TVectFont* font) { m_TextFont = font; }
    TVectFont* TextFont() const { return m_TextFont; }

    // Reads the whole file into the document: layers, source blocks and the
    // entities, each placed by (ScaleX, ScaleY) then (OffsetX, OffsetY) and
    // added with the next free ID on its layer. Runs again from the start
    // when called again. Nothing without a document or after a failed open.
    // Never raises: an error ends the reading as the header comment says;
    // the entity tree's updates are suspended meanwhile and always resumed.
    void ReadIntoModel();
    // Only the entities of the ENTITIES sections (inserts skipped), each
    // placed by ContainerScale and the offset, in one new container owned by
    // the caller, the children numbered 0, 1, 2, ...; block definitions of a
    // file that starts with its BLOCKS section still go into the document.
    // Null after a failed open, and when an error of the file stops the
    // reading (Damage() says which).
    std::unique_ptr<TContainer2D> ReadAsContainer();

    // Placement, set by the caller before reading: scale 1 and offset 0
    // unless changed.
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    double OffsetX = 0.0;
    double OffsetY = 0.0;
    double ContainerScale = 1.0;
    // When set, the two messages above are shown as plain message boxes as
    // the cases occur (off by default; the skip summary says it all).
    bool ShowMessages = false;
    // When set (the default), each LAYER entry sets the pen colour, a clear
    // brush and the name of its CAD layer.
    bool LayerAttributes = true;
    // LWPOLYLINEs as lines and arcs (true) or as one polyline with its bulges
    // flattened (false); taken from the setting "DxfPolyInLA" at creation.
    bool PolylinesAsContainers = false;

    bool OpenFailed() const;
    // How far the reading has come through the file, 0 to 1.
    double ReadFraction() const;
    // Why the open failed; empty when it did not.
    const std::string& OpenError() const;
    // Set when anything of the file did not make it into the drawing.
    bool Incomplete() const { return m_Incomplete; }
    // Why the reading stopped early (an error of the file, or its end inside
    // a section); empty when it did not.
    const std::string& Damage() const { return m_Damage; }
    // The skipped entities by DXF type, in the order first met.
    const std::vector<TDXFSkip>& Skipped() const { return m_Skipped.Items; }
    // The distinct reasons among the skips (the two messages above), in the
    // order first met.
    const std::vector<std::string>& SkipNotes() const { return m_SkipNotes; }

    const TDXFEntityCounters& Counters() const { return m_Counters; }
    // The release: 12, 13, 14, 2000, 2004, 2007, 2010, 2013 or 2018 from
    // $ACADVER; 10 when the file does not say or names another one.
    uint16_t Version() const { return m_Version; }
    // From $EXTMIN and $EXTMAX, normalised; (-1000, -1000)-(1000, 1000) when
    // the file has neither (HasExtents() false).
    const TRect2D& Extents() const { return m_Extents; }
    bool HasExtents() const { return m_HasExtents; }
    // False after a header with $ANGDIR 1: arc angles then run clockwise.
    bool CounterClockwise() const { return m_CounterClockwise; }
    // The names of the LAYER entries in file order; entry k is CAD layer
    // k modulo 256.
    const std::vector<std::string>& LayerNames() const { return m_LayerNames; }

    // The entity at the reader's position (a code 0 pair naming its type) as
    // a new object, or null; the reader then stands on the code 0 pair after
    // it. skipInserts: INSERTs give null; insideBlock: INSERTs give unlinked
    // TInsert references for BindNestedInserts.
    std::unique_ptr<TObject2D> ReadEntity(bool skipInserts, bool insideBlock);

private:
    TDXF2DImport(std::unique_ptr<TDXFRead> reader, TQV_01Cmp2D* document);
    // Every result back to its start; the blocks the document holds now are
    // noted for the name checks.
    void StartReading();

    // Sections.
    void ReadHeader();
    void ReadTables();
    void ReadBlocks();
    std::unique_ptr<TSourceBlock2D> ReadBlock(const DXFGroupArray& group);
    void ReadEntities();
    void ReadEntitiesIntoContainer(TContainer2D& container);
    // Links the nested inserts read by this import to their blocks, refusing
    // those of missing blocks and those that would close a cycle, then brings
    // the boxes of the blocks and their references up to date.
    void BindNestedInserts();
    // True at the section's end pair, or at the end of the input, which
    // inside a section is recorded as damage.
    bool AtSectionEnd();
    // A file read to its end without the pair 0 "EOF" is damage.
    void CheckEndMarker();
    // Incomplete, and the first damage kept as the reason.
    void RecordDamage(const std::string& text);

    // Entity readers (io/DXFEntityReaders.cpp, io/DXFPolylineReaders.cpp).
    std::unique_ptr<TObject2D> ReadPoint(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadLine(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadCircle(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadArc(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadEllipse(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadTrace(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadSolid(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadText(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadPolyline(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadInsert(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadNestedInsert(const DXFGroupArray& g);
    std::unique_ptr<TObject2D> ReadLWPolyline();
    std::unique_ptr<TObject2D> ReadSpline();
    // Walks the pairs up to the next code 0.
    void SkipToNextEntity();
    // A polyline through the points; past the points a polyline can hold,
    // a container of polylines that continue one another.
    static std::unique_ptr<TObject2D> PolylineFromPoints(std::span<const TPoint2D> points);
    // True when the entity's extrusion direction (210, 220, 230) is
    // (0, 0, -1): its object coordinates are the drawing's mirrored in X.
    static bool IsDownward(const DXFGroupArray& g);

    // Current layer from a layer name, when it is in the table.
    void SetLayerByName(const TDXFValue& name);
    // Records an entity that gave no object: at top level at once, inside a
    // block definition for the block (counted once the drawing uses it).
    void Skip(std::string_view type, std::string_view note = {});
    void AddNote(std::string_view note);
    void ShowMessage(std::string_view text) const;
    // The drawing name of a DXF block name: unique in 13 bytes among the
    // document's source blocks and the blocks of this import.
    std::string AssignBlockName(const std::string& dxfName);
    // The source block an INSERT names: a block of this file by its assigned
    // name, else a block the document already held; null when none.
    TSourceBlock2D* FindBlockForInsert(const std::string& dxfName);

    std::unique_ptr<TDXFRead> m_Reader;
    TQV_01Cmp2D* m_Document;
    TVectFont* m_TextFont = nullptr;

    // Skips by type in the order first met.
    struct TSkipTally {
        std::vector<TDXFSkip> Items;
        std::unordered_map<std::string, size_t> Index;
        void Add(std::string_view type, uint32_t count);
    };

    bool m_Incomplete = false;
    std::string m_Damage;
    TSkipTally m_Skipped;
    std::vector<std::string> m_SkipNotes;
    TDXFEntityCounters m_Counters;
    uint16_t m_Version = 10;
    bool m_HasExtents = false;
    TRect2D m_Extents{};
    bool m_CounterClockwise = true;

    std::vector<std::string> m_LayerNames;
    // Upper-cased layer name -> CAD layer of its first entry.
    std::unordered_map<std::string, int> m_LayerIndex;

    // Blocks: those of this import by DXF name; those the document held
    // before by 13-byte name; every 13-byte name taken so far, and the next
    // suffix to try for a clashing one.
    std::unordered_map<std::string, TSourceBlock2D*> m_ImportedBlocks;
    std::unordered_map<std::string, TSourceBlock2D*> m_ExistingBlocks;
    std::unordered_set<std::string> m_TakenBlockNames;
    std::unordered_map<std::string, uint64_t> m_NextSuffix;

    // What a block definition being read collects, attached to the block
    // once the document holds it.
    struct TPendingInsert {
        TSourceBlock2D* Owner;
        TInsert* Insert;
        std::string DxfName;
    };
    struct TBlockRecord {
        TSkipTally Skipped;
        std::vector<std::string> Notes;
        std::vector<TPendingInsert> Inserts;
    };
    // The block definition being read, or null at top level.
    TBlockRecord* m_CurrentBlock = nullptr;
    // The blocks this import added, in file order, with what they collected.
    std::vector<std::pair<TSourceBlock2D*, TBlockRecord>> m_BlockRecords;
    std::unordered_map<const TSourceBlock2D*, size_t> m_BlockRecordIndex;
    // The group of the entity being read, reused from entity to entity.
    DXFGroupArray m_Group;
    // The group of a polyline's vertex, reused likewise.
    DXFGroupArray m_VertexGroup;
    // A light-weight polyline's vertex: its point and the bulge of the
    // segment that starts at it, as written.
    struct TLWVertex {
        double X = 0.0;
        double Y = 0.0;
        double Bulge = 0.0;
    };
    // What a light-weight polyline is read into, reused from one to the next.
    std::vector<TLWVertex> m_LWVertices;
    std::vector<TPoint2D> m_LWPoints;
    // Source blocks that top-level inserts of this import use.
    std::vector<const TSourceBlock2D*> m_InsertedBlocks;
};
