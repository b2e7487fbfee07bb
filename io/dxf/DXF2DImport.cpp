#include "io/dxf/DXF2DImport.h"

#include "cad/edit/ExplodeContainer.h"
#include "core/settings/AppConfig.h"
#include "core/entities/Block2D.h"
#include "core/entities/Container2D.h"
#include "core/model/GeoTree.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "io/dxf/ACIColors.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <unordered_set>

namespace {

// The brush style code of a hollow brush, as the layer record stores it.
constexpr uint8_t BrushStyleClear = 1;

// $ACADVER release names and the release numbers they stand for.
struct TRelease {
    std::string_view Name;
    uint16_t Number;
};
constexpr TRelease Releases[] = {
    {"AC1009", 12},   {"AC1012", 13},   {"AC1014", 14},   {"AC1015", 2000}, {"AC1018", 2004},
    {"AC1021", 2007}, {"AC1024", 2010}, {"AC1027", 2013}, {"AC1032", 2018},
};

std::string_view SectionName(TDXFSection section)
{
    switch (section) {
    case TDXFSection::Header:
        return "HEADER";
    case TDXFSection::Tables:
        return "TABLES";
    case TDXFSection::Blocks:
        return "BLOCKS";
    case TDXFSection::Entities:
        return "ENTITIES";
    case TDXFSection::Classes:
        return "CLASSES";
    case TDXFSection::None:
        break;
    }
    return "";
}

std::string UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// A block name as the drawing compares it: its 13-byte field.
std::string BlockKey(std::string_view name)
{
    const TBlockName field = CopyBlockName(name);
    return std::string(field.data(), field.size());
}

// Suspends the entity tree's item updates for the lifetime of the object.
class TTreeUpdateScope {
public:
    explicit TTreeUpdateScope(TGeoTree* tree) : m_Tree(tree)
    {
        if (m_Tree)
            m_Tree->BeginUpdate();
    }
    ~TTreeUpdateScope()
    {
        if (m_Tree)
            m_Tree->EndUpdate();
    }
    TTreeUpdateScope(const TTreeUpdateScope&) = delete;
    TTreeUpdateScope& operator=(const TTreeUpdateScope&) = delete;

private:
    TGeoTree* m_Tree;
};

// Points the importer's current-block record at a block definition being
// read, and back to none also when the reading raises.
template <class TRecord>
class TCurrentBlockScopeOf {
public:
    TCurrentBlockScopeOf(TRecord*& current, TRecord& record) : m_Current(current) { m_Current = &record; }
    ~TCurrentBlockScopeOf() { m_Current = nullptr; }
    TCurrentBlockScopeOf(const TCurrentBlockScopeOf&) = delete;
    TCurrentBlockScopeOf& operator=(const TCurrentBlockScopeOf&) = delete;

private:
    TRecord*& m_Current;
};

void AddDistinct(std::vector<std::string>& texts, std::string_view text)
{
    if (std::find(texts.begin(), texts.end(), text) == texts.end())
        texts.emplace_back(text);
}

// Removes the object from the list (freeing it), found by identity: the
// nested inserts all carry the same ID.
void RemoveChild(TGraphicObjList& list, const TGraphicObject* child)
{
    TExclusiveGraphicObjIterator it = list.GetExclusiveIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next())
        if (object == child) {
            it.DeleteCurrent();
            return;
        }
}

} // namespace

// --- creation -------------------------------------------------------------------

TDXF2DImport::TDXF2DImport(const std::string& fileName, TQV_01Cmp2D* document, bool reportOpenFailure)
    : TDXF2DImport(std::make_unique<TDXFRead>(fileName,
                                              [reportOpenFailure](const std::string& text) {
                                                  if (reportOpenFailure)
                                                      UserNotifier().ShowMessage(EMessageKind::Plain, text, "");
                                              }),
                   document)
{
}

std::unique_ptr<TDXF2DImport> TDXF2DImport::FromMemory(std::string bytes, TQV_01Cmp2D* document)
{
    auto reader = TDXFRead::FromMemory(std::move(bytes), [](const std::string& text) {
        UserNotifier().ShowMessage(EMessageKind::Plain, text, "");
    });
    return std::unique_ptr<TDXF2DImport>(new TDXF2DImport(std::move(reader), document));
}

TDXF2DImport::TDXF2DImport(std::unique_ptr<TDXFRead> reader, TQV_01Cmp2D* document)
    : m_Reader(std::move(reader)), m_Document(document)
{
    PolylinesAsContainers = AppConfig().DxfPolyInLA;
    m_Extents = TRect2D{MakePoint2D(-1000.0, -1000.0), MakePoint2D(1000.0, 1000.0)};
    if (m_Reader->OpenFailed())
        m_Incomplete = true;
}

TDXF2DImport::~TDXF2DImport() = default;

bool TDXF2DImport::OpenFailed() const
{
    return m_Reader->OpenFailed();
}

double TDXF2DImport::ReadFraction() const
{
    return m_Reader ? m_Reader->ReadFraction() : 0.0;
}

const std::string& TDXF2DImport::OpenError() const
{
    return m_Reader->OpenError();
}

void TDXF2DImport::StartReading()
{
    m_Incomplete = false;
    m_Damage.clear();
    m_Skipped = TSkipTally{};
    m_SkipNotes.clear();
    m_Counters = TDXFEntityCounters{};
    m_Version = 10;
    m_HasExtents = false;
    m_Extents = TRect2D{MakePoint2D(-1000.0, -1000.0), MakePoint2D(1000.0, 1000.0)};
    m_CounterClockwise = true;
    m_LayerNames.clear();
    m_LayerIndex.clear();
    m_ImportedBlocks.clear();
    m_ExistingBlocks.clear();
    m_TakenBlockNames.clear();
    m_NextSuffix.clear();
    m_BlockRecords.clear();
    m_BlockRecordIndex.clear();
    m_InsertedBlocks.clear();
    m_CurrentBlock = nullptr;
    if (!m_Document)
        return;
    TGraphicObjIterator it = m_Document->SourceBlocksIterator();
    for (TGraphicObject* object = it.First(); object; object = it.Next())
        if (auto* block = dynamic_cast<TSourceBlock2D*>(object)) {
            const std::string key(block->Name().data(), block->Name().size());
            m_ExistingBlocks.emplace(key, block);
            m_TakenBlockNames.insert(key);
        }
}

// --- the two read operations ----------------------------------------------------

void TDXF2DImport::ReadIntoModel()
{
    if (!m_Document || OpenFailed())
        return;
    StartReading();
    const TTreeUpdateScope treeUpdates(m_Document->TreeGeo());
    try {
        m_Reader->Rewind();
        bool entitiesRead = false;
        while (true) {
            const TDXFSection section = m_Reader->Section();
            if (section == TDXFSection::None) {
                // The end, or a section of another name. The OBJECTS section
                // and what follows it in newer files end the reading, but one
                // that stands before the entities does not hide them.
                if (m_Reader->Eof() || entitiesRead)
                    break;
            } else if (section == TDXFSection::Header) {
                ReadHeader();
            } else if (section == TDXFSection::Tables) {
                ReadTables();
            } else if (section == TDXFSection::Blocks) {
                ReadBlocks();
            } else if (section == TDXFSection::Entities) {
                ReadEntities();
                entitiesRead = true;
            }
            m_Reader->NextSection();
        }
        CheckEndMarker();
    } catch (const std::exception& e) {
        RecordDamage(e.what());
    }
    try {
        // Also after damage: the blocks read so far are whole, and a nested
        // insert left unlinked would make the saved drawing unreadable.
        BindNestedInserts();
    } catch (const std::exception& e) {
        RecordDamage(e.what());
    }
}

std::unique_ptr<TContainer2D> TDXF2DImport::ReadAsContainer()
{
    if (OpenFailed())
        return nullptr;
    StartReading();
    try {
        // From where the reader stands: the header variables when the first
        // section is HEADER, the block definitions when it is BLOCKS.
        ReadHeader();
        ReadBlocks();
        auto container = std::make_unique<TContainer2D>(0);
        m_Reader->Rewind();
        bool entitiesRead = false;
        while (true) {
            const TDXFSection section = m_Reader->Section();
            if (section == TDXFSection::None && (m_Reader->Eof() || entitiesRead))
                break; // as in ReadIntoModel
            if (section == TDXFSection::Entities) {
                ReadEntitiesIntoContainer(*container);
                entitiesRead = true;
            }
            m_Reader->NextSection();
        }
        CheckEndMarker();
        container->UpdateBounds();
        BindNestedInserts();
        return container;
    } catch (const std::exception& e) {
        RecordDamage(e.what());
        return nullptr;
    }
}

// --- sections --------------------------------------------------------------------

bool TDXF2DImport::AtSectionEnd()
{
    if (m_Reader->Eof()) {
        RecordDamage(LangFormat(LangText(LangKeys::String::DxfTruncated), {SectionName(m_Reader->Section())}));
        return true;
    }
    return m_Reader->Code() == 0 && m_Reader->Value().Is("ENDSEC");
}

void TDXF2DImport::CheckEndMarker()
{
    // A file read to its end must end with 0 "EOF"; without it whole
    // sections may be missing.
    if (m_Reader->Eof() && !m_Reader->EndMarkerRead())
        RecordDamage(LangText(LangKeys::String::DxfNoEndMarker));
}

void TDXF2DImport::ReadHeader()
{
    DXFGroupArray group;
    while (true) {
        group.Clear();
        if (m_Reader->ReadGroup(9, group) == 0)
            break;
        const TDXFValue& name = group[9];
        if (name.Is("$ANGDIR")) {
            m_CounterClockwise = group[70].AsInteger() != 1;
        } else if (name.Is("$ACADVER")) {
            for (const TRelease& release : Releases)
                if (group[1].Is(release.Name))
                    m_Version = release.Number;
        } else if (name.Is("$EXTMAX")) {
            m_Extents.SecondEdge = MakePoint2D(group[10].AsDouble(), group[20].AsDouble());
            m_HasExtents = true;
        } else if (name.Is("$EXTMIN")) {
            m_Extents.FirstEdge = MakePoint2D(group[10].AsDouble(), group[20].AsDouble());
            m_HasExtents = true;
        }
    }
    if (m_Reader->Section() == TDXFSection::Header)
        AtSectionEnd(); // records a header cut short by the end of the file
    if (m_HasExtents)
        m_Extents = NormalizeRect2D(m_Extents);
}

void TDXF2DImport::ReadTables()
{
    DXFGroupArray group;
    while (!AtSectionEnd()) {
        group.Clear();
        m_Reader->ReadGroup(0, group);
        if (!group[0].Is("LAYER"))
            continue;
        const int layerNumber = static_cast<int>(m_LayerNames.size() % TQV_20Layers::LayerCount);
        const std::string name = group[2].AsString();
        if (LayerAttributes && m_Document) {
            TQV_21Layer& layer = m_Document->Layers().GetLayer(layerNumber);
            // A negative number marks a layer that is off; numbers beyond the
            // table (hostile or damaged files) leave the pen as it is.
            if (const auto colour = ACIColor(std::llabs(static_cast<long long>(group[62].AsInteger()))))
                layer.SetPenColor(*colour);
            layer.SetBrushStyle(BrushStyleClear);
            layer.SetName(name);
        }
        m_LayerIndex.emplace(UpperAscii(name), layerNumber);
        m_LayerNames.push_back(name);
    }
}

void TDXF2DImport::SetLayerByName(const TDXFValue& name)
{
    if (!m_Document || m_LayerIndex.empty() || !name.IsText())
        return;
    const auto found = m_LayerIndex.find(UpperAscii(name.AsString()));
    if (found != m_LayerIndex.end())
        m_Document->SetCurrentLayer(found->second);
}

void TDXF2DImport::ReadBlocks()
{
    DXFGroupArray group;
    while (!AtSectionEnd()) {
        group.Clear();
        m_Reader->ReadGroup(0, group);
        SetLayerByName(group[8]);
        if (!group[0].Is("BLOCK"))
            continue;
        using TCurrentBlockScope = TCurrentBlockScopeOf<TBlockRecord>;
        TBlockRecord record;
        std::unique_ptr<TSourceBlock2D> block;
        {
            const TCurrentBlockScope scope(m_CurrentBlock, record);
            block = ReadBlock(group);
        }
        if (!block || !m_Document)
            continue;
        const std::string dxfName = group[2].AsString();
        TSourceBlock2D* added = m_Document->AddSourceBlock(std::move(block));
        if (!dxfName.empty())
            m_ImportedBlocks.emplace(dxfName, added);
        for (TPendingInsert& pending : record.Inserts)
            pending.Owner = added;
        m_BlockRecordIndex.emplace(added, m_BlockRecords.size());
        m_BlockRecords.emplace_back(added, std::move(record));
    }
}

std::unique_ptr<TSourceBlock2D> TDXF2DImport::ReadBlock(const DXFGroupArray& group)
{
    // Anonymous blocks (dimensions, hatches) and external references.
    if (group[70].AsInteger() & (1 | 4))
        return nullptr;
    const TPoint2D base = MakePoint2D(group[10].AsDouble(), group[20].AsDouble());
    std::string dxfName = group[2].AsString();
    if (dxfName.empty())
        dxfName = "BLOCK" + std::to_string(m_Document ? m_Document->SourceBlocksCount() : 0);
    auto block = std::make_unique<TSourceBlock2D>(0, std::vector<std::unique_ptr<TObject2D>>{},
                                                  AssignBlockName(dxfName));
    while (!m_Reader->Eof() &&
           !(m_Reader->Code() == 0 && (m_Reader->Value().Is("ENDBLK") || m_Reader->Value().Is("ENDSEC"))))
        if (std::unique_ptr<TObject2D> object = ReadEntity(false, true))
            block->Objects().Add(std::move(object));
    if (block->Objects().Count() == 0)
        return nullptr;
    // The base point comes to the origin through each child's own transform:
    // block references draw the children under their own transform only.
    if (base.X != 0.0 || base.Y != 0.0) {
        const TMatrix4 shift = TMatrix4::CreateTranslation(-base.X, -base.Y, 0.0);
        TGraphicObjIterator it = block->Objects().GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            if (auto* object = dynamic_cast<TObject2D*>(child)) {
                object->Transform(shift);
                object->ApplyTransform();
            }
    }
    block->UpdateBounds();
    return block;
}

void TDXF2DImport::ReadEntities()
{
    TMatrix4 placement = TMatrix4::CreateScale(ScaleX, ScaleY, 1.0);
    placement.Translate(OffsetX, OffsetY, 0.0);
    const bool placed = !placement.IsEqual(IdentityMatrix4());
    while (!AtSectionEnd()) {
        std::unique_ptr<TObject2D> object = ReadEntity(false, false);
        if (!object)
            continue;
        if (placed)
            object->Transform(placement);
        object->ApplyTransform();
        if (auto* container = dynamic_cast<TContainer2D*>(object.get())) {
            object.release();
            ExplodeContainerToDocument(*m_Document, std::unique_ptr<TContainer2D>(container));
        } else {
            m_Document->AddObject(-1, std::move(object));
        }
    }
}

void TDXF2DImport::ReadEntitiesIntoContainer(TContainer2D& container)
{
    const TMatrix4 scale = TMatrix4::CreateScale(ContainerScale, ContainerScale, 1.0);
    TMatrix4 shift;
    shift.SetTranslation(OffsetX, OffsetY, 0.0);
    int32_t id = 0;
    while (!AtSectionEnd()) {
        std::unique_ptr<TObject2D> object = ReadEntity(true, false);
        if (!object)
            continue;
        object->Transform(scale);
        object->Transform(shift);
        object->ApplyTransform();
        object->SetID(id++);
        container.Objects().Add(std::move(object));
    }
    container.UpdateBounds();
}

// --- blocks ----------------------------------------------------------------------

std::string TDXF2DImport::AssignBlockName(const std::string& dxfName)
{
    const std::string key = BlockKey(dxfName);
    if (m_TakenBlockNames.insert(key).second)
        return dxfName;
    // Taken: a shorter prefix and "~k", counting on from the last k used
    // for this field so that many clashing names stay cheap.
    uint64_t& next = m_NextSuffix[key];
    while (true) {
        const std::string suffix = "~" + std::to_string(++next);
        constexpr size_t nameBytes = std::tuple_size_v<TBlockName>;
        const std::string candidate = dxfName.substr(0, nameBytes - std::min(suffix.size(), nameBytes)) + suffix;
        if (m_TakenBlockNames.insert(BlockKey(candidate)).second)
            return candidate;
    }
}

TSourceBlock2D* TDXF2DImport::FindBlockForInsert(const std::string& dxfName)
{
    if (const auto own = m_ImportedBlocks.find(dxfName); own != m_ImportedBlocks.end())
        return own->second;
    if (const auto existing = m_ExistingBlocks.find(BlockKey(dxfName)); existing != m_ExistingBlocks.end())
        return existing->second;
    return nullptr;
}

void TDXF2DImport::BindNestedInserts()
{
    if (!m_Document || m_BlockRecords.empty())
        return;
    const size_t blockCount = m_BlockRecords.size();

    // The block each pending insert names (inserts of missing blocks refused).
    struct TEdge {
        TInsert* Insert;
        size_t Target; // index of a block of this import, or blockCount for an older one
        TSourceBlock2D* Block;
    };
    std::vector<std::vector<TEdge>> edges(blockCount);
    for (size_t i = 0; i < blockCount; ++i) {
        auto& [owner, record] = m_BlockRecords[i];
        for (const TPendingInsert& pending : record.Inserts) {
            TSourceBlock2D* target = FindBlockForInsert(pending.DxfName);
            if (!target) {
                RemoveChild(owner->Objects(), pending.Insert);
                record.Skipped.Add("INSERT", 1);
                AddDistinct(record.Notes, DXFMissingBlockMessage);
                continue;
            }
            const auto own = m_BlockRecordIndex.find(target);
            edges[i].push_back({pending.Insert, own != m_BlockRecordIndex.end() ? own->second : blockCount, target});
        }
        record.Inserts.clear();
    }

    // Depth-first over the blocks of this import (no recursion: a hostile
    // file may chain any number of blocks): an insert that leads back to a
    // block still on the walk would make that block insert itself and is
    // refused. The finishing order puts every block after those it inserts.
    enum class TMark : uint8_t { New, OnWalk, Done };
    std::vector<TMark> mark(blockCount, TMark::New);
    std::vector<size_t> finished;
    finished.reserve(blockCount);
    std::vector<std::pair<size_t, size_t>> walk; // (block, next edge)
    for (size_t start = 0; start < blockCount; ++start) {
        if (mark[start] != TMark::New)
            continue;
        mark[start] = TMark::OnWalk;
        walk.emplace_back(start, 0);
        while (!walk.empty()) {
            auto& [block, next] = walk.back();
            if (next == edges[block].size()) {
                mark[block] = TMark::Done;
                finished.push_back(block);
                walk.pop_back();
                continue;
            }
            TEdge& edge = edges[block][next++];
            if (edge.Target == blockCount)
                continue;
            if (mark[edge.Target] == TMark::OnWalk) {
                auto& [owner, record] = m_BlockRecords[block];
                RemoveChild(owner->Objects(), edge.Insert);
                edge.Insert = nullptr;
                record.Skipped.Add("INSERT", 1);
                AddDistinct(record.Notes, DXFMissingBlockMessage);
            } else if (mark[edge.Target] == TMark::New) {
                const size_t target = edge.Target;
                mark[target] = TMark::OnWalk;
                walk.emplace_back(target, 0); // invalidates block and next
            }
        }
    }

    // Link, then bring the boxes up to date from the innermost block out.
    bool linked = false;
    for (size_t i = 0; i < blockCount; ++i)
        for (const TEdge& edge : edges[i])
            if (edge.Insert) {
                edge.Insert->SetSourceBlock(edge.Block);
                linked = true;
            }
    for (const size_t i : finished) {
        for (const TEdge& edge : edges[i])
            if (edge.Insert)
                edge.Insert->UpdateBounds();
        m_BlockRecords[i].first->UpdateBounds();
    }
    if (linked) {
        TGraphicObjIterator it = m_Document->ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            if (auto* reference = dynamic_cast<TBlock2D*>(object);
                reference && reference->SourceBlock() && m_BlockRecordIndex.count(reference->SourceBlock()))
                reference->UpdateBounds();
    }

    // What was skipped inside the blocks the drawing uses counts now.
    std::vector<bool> used(blockCount, false);
    std::vector<size_t> pending;
    for (const TSourceBlock2D* block : m_InsertedBlocks)
        if (const auto found = m_BlockRecordIndex.find(block); found != m_BlockRecordIndex.end())
            pending.push_back(found->second);
    while (!pending.empty()) {
        const size_t i = pending.back();
        pending.pop_back();
        if (used[i])
            continue;
        used[i] = true;
        for (const TEdge& edge : edges[i])
            if (edge.Insert && edge.Target != blockCount)
                pending.push_back(edge.Target);
    }
    for (size_t i = 0; i < blockCount; ++i) {
        if (!used[i])
            continue;
        const TBlockRecord& record = m_BlockRecords[i].second;
        for (const TDXFSkip& skip : record.Skipped.Items)
            m_Skipped.Add(skip.Type, skip.Count);
        for (const std::string& note : record.Notes)
            AddNote(note);
        if (!record.Skipped.Items.empty())
            m_Incomplete = true;
    }
    m_BlockRecords.clear();
    m_BlockRecordIndex.clear();
}

// --- skips and messages --------------------------------------------------------

void TDXF2DImport::Skip(std::string_view type, std::string_view note)
{
    // A damaged file may name any text as a type: the tally keeps a short one.
    constexpr size_t maxTypeLength = 40;
    type = type.substr(0, maxTypeLength);
    if (m_CurrentBlock) {
        m_CurrentBlock->Skipped.Add(type, 1);
        if (!note.empty())
            AddDistinct(m_CurrentBlock->Notes, note);
        return;
    }
    m_Incomplete = true;
    m_Skipped.Add(type, 1);
    if (!note.empty())
        AddNote(note);
}

void TDXF2DImport::TSkipTally::Add(std::string_view type, uint32_t count)
{
    const auto [found, added] = Index.try_emplace(std::string(type), Items.size());
    if (added)
        Items.push_back({std::string(type), count});
    else
        Items[found->second].Count += count;
}

void TDXF2DImport::AddNote(std::string_view note)
{
    AddDistinct(m_SkipNotes, note);
}

void TDXF2DImport::RecordDamage(const std::string& text)
{
    m_Incomplete = true;
    if (m_Damage.empty())
        m_Damage = text;
}

void TDXF2DImport::ShowMessage(std::string_view text) const
{
    if (ShowMessages)
        UserNotifier().ShowMessage(EMessageKind::Plain, std::string(text), "");
}
