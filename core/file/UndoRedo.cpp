#include "core/file/UndoRedo.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Container2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Cerchio2D.h"
#include "core/model/ClassRegistry.h"
#include "core/entities/Curve2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Frame2D.h"
#include "core/model/GeoTree.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace {

TUndoRedo* g_UndoJournal = nullptr;

// How a kind's values become records.
enum class TRecordShape {
    IDPairs,     // (ID, old layer) pairs, one ID record each
    IDs,         // one ID record (ID, ID) per value
    Alike,       // one object record per value, every record replayed alike
    ObjectPairs, // object records in pairs (object, its replacement)
    Positional,  // object records whose place gives their role
    Unknown,
};

TRecordShape ShapeOf(TUndoKind kind)
{
    switch (kind) {
    case TUndoKind::MoveToLayer:
        return TRecordShape::IDPairs;
    case TUndoKind::NewObjects:
        return TRecordShape::IDs;
    case TUndoKind::Delete:
    case TUndoKind::TrimLines:
    case TUndoKind::TrimArcs:
    case TUndoKind::Extend:
    case TUndoKind::NodeEdit:
    case TUndoKind::TransformCopies:
    case TUndoKind::Transform:
    case TUndoKind::OffsetCopy:
    case TUndoKind::CopyToLayer:
        return TRecordShape::Alike;
    case TUndoKind::ScaleReplace:
    case TUndoKind::SimplifyPolylines:
        return TRecordShape::ObjectPairs;
    case TUndoKind::TrimLineArc:
    case TUndoKind::FilletLines:
    case TUndoKind::FilletLineArc:
    case TUndoKind::FilletArcs:
    case TUndoKind::Break:
    case TUndoKind::Divide:
    case TUndoKind::Join:
    case TUndoKind::Explode:
    case TUndoKind::OffsetReplace:
        return TRecordShape::Positional;
    }
    return TRecordShape::Unknown;
}

// The fewest values a positional kind replays without running short.
size_t MinimumValues(TUndoKind kind)
{
    switch (kind) {
    case TUndoKind::FilletLines:
    case TUndoKind::FilletLineArc:
    case TUndoKind::FilletArcs:
        return 3;
    case TUndoKind::TrimLineArc:
    case TUndoKind::Break:
    case TUndoKind::Divide:
    case TUndoKind::Join:
        return 2;
    default:
        return 1;
    }
}

std::string KindText(TUndoKind kind)
{
    return "undo kind " + std::to_string(static_cast<int>(kind));
}

// What the journal passes over goes to the log; it is never a reason to stop.
void LogUndo(const std::string& text)
{
    std::cerr << "Undo journal: " << text << '\n';
}

// A refused step is also shown, since the user's edit then has no undo.
void ReportRefusal(TUndoKind kind, const std::string& why)
{
    const std::string text = "Step not recorded (" + KindText(kind) + "): " + why;
    LogUndo(text);
    WorkMonitor().ShowStatusMessage(text);
}

std::string MissingText(int32_t id)
{
    return "object " + std::to_string(id) + " is not in the drawing";
}

// Holds the entity tree's update bracket for its lifetime.
class TTreeUpdate {
public:
    explicit TTreeUpdate(TGeoTree* tree) : m_Tree(tree)
    {
        if (m_Tree)
            m_Tree->BeginUpdate();
    }
    ~TTreeUpdate()
    {
        if (m_Tree)
            m_Tree->EndUpdate();
    }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    TGeoTree* m_Tree;
};

// The points that the saved entity's class keeps in fixed places; -1 for
// the classes whose whole point list is copied, 0 for those that keep
// none the journal restores.
int FixedPointCount(const TPrimitive2D& saved)
{
    if (dynamic_cast<const TPunto2D*>(&saved))
        return 1;
    if (dynamic_cast<const TLine2D*>(&saved))
        return 2;
    if (dynamic_cast<const TArco2D*>(&saved))
        return 4;
    if (dynamic_cast<const TEllipse2D*>(&saved))
        return 2;
    if (dynamic_cast<const TEllipseOpen2D*>(&saved))
        return 4;
    if (dynamic_cast<const TCerchio2D*>(&saved))
        return 2;
    if (dynamic_cast<const TFrame2D*>(&saved))
        return 2;
    if (dynamic_cast<const TPolyline2D*>(&saved) || dynamic_cast<const TCurve2D*>(&saved))
        return -1;
    if (dynamic_cast<const TBitmap2D*>(&saved))
        return 2;
    return 0;
}

void CopyControlPoints(const TPrimitive2D& saved, TPrimitive2D& live)
{
    const int fixed = FixedPointCount(saved);
    const TPointsSet2D& from = saved.Points();
    TPointsSet2D& to = live.Points();
    if (fixed < 0) {
        // One change event for the whole list, not one per point; room is
        // made first so that a set that does not grow is never left empty.
        auto replace = [&] {
            to.EnsureCapacity(from.Count());
            to.Clear();
            to.AddPoints(from.Points());
        };
        // A spline rebuilds its profile inside the bracket.
        if (auto* curve = dynamic_cast<TCurve2D*>(&live)) {
            TProfilePointsUse use(*curve);
            replace();
        } else {
            replace();
        }
        return;
    }
    // A damaged saved record may hold fewer points than its class has.
    const int n = std::min(fixed, from.Count());
    for (int i = 0; i < n; ++i)
        to.SetPoint(i, from.Get(i));
    const auto* savedBitmap = dynamic_cast<const TBitmap2D*>(&saved);
    auto* liveBitmap = dynamic_cast<TBitmap2D*>(&live);
    if (savedBitmap && liveBitmap)
        liveBitmap->SetOpacity(savedBitmap->Opacity());
}

} // namespace

TUndoID TUndoID::ReadFromStream(TStream& stream)
{
    TUndoID id;
    id.First = ReadInt32(stream);
    id.Second = ReadInt32(stream);
    return id;
}

void TUndoID::WriteToStream(TStream& stream) const
{
    WriteInt32(stream, First);
    WriteInt32(stream, Second);
}

// Replays one step. Every record is read from a copy of its own bytes, so a
// record that is damaged or misread cannot reach into the next one; each
// verb that fails is logged and the replay goes on with the next record.
class TUndoRedo::TReplay {
public:
    TReplay(TUndoRedo& journal, const TUndoObj& step)
        : m_Journal(journal), m_Doc(journal.m_Document), m_Step(step), m_Count(step.RecordEnds.size())
    {
    }

    // The IDs of the objects the replay added, changed or deleted.
    const std::vector<int32_t>& Touched() const { return m_Touched; }

    void Run()
    {
        switch (m_Step.Kind) {
        case TUndoKind::Delete:
            Each(0, m_Count, &TReplay::ReAdd);
            break;
        case TUndoKind::TrimLines:
        case TUndoKind::TrimArcs:
        case TUndoKind::Extend:
        case TUndoKind::NodeEdit:
        case TUndoKind::Transform:
            Each(0, m_Count, &TReplay::Restore);
            break;
        case TUndoKind::TrimLineArc:
            Each(0, 2, &TReplay::Restore);
            break;
        case TUndoKind::FilletLines:
        case TUndoKind::FilletLineArc:
        case TUndoKind::FilletArcs:
            Each(0, 2, &TReplay::Restore);
            Verb(2, &TReplay::Remove);
            break;
        case TUndoKind::Break:
            Each(0, 2, &TReplay::ReAdd);
            Each(2, m_Count, &TReplay::Remove);
            break;
        case TUndoKind::Divide:
            Verb(0, &TReplay::Restore);
            Verb(1, &TReplay::Remove);
            break;
        case TUndoKind::Join:
            Verb(0, &TReplay::Restore);
            Verb(1, &TReplay::ReAdd);
            break;
        case TUndoKind::Explode: {
            TTreeUpdate bracket(m_Doc.TreeGeo());
            Verb(0, &TReplay::ReAdd);
            Each(1, m_Count, &TReplay::Remove);
            break;
        }
        case TUndoKind::TransformCopies:
        case TUndoKind::OffsetCopy:
        case TUndoKind::CopyToLayer:
            Each(0, m_Count, &TReplay::Remove);
            break;
        case TUndoKind::ScaleReplace:
        case TUndoKind::SimplifyPolylines:
            for (size_t i = 0; i + 1 < m_Count; i += 2) {
                Verb(i, &TReplay::ReAdd);
                Verb(i + 1, &TReplay::Remove);
            }
            break;
        case TUndoKind::OffsetReplace:
            if (m_Count > 0) {
                Each(0, m_Count - 1, &TReplay::Remove);
                Verb(m_Count - 1, &TReplay::ReAdd);
            }
            break;
        case TUndoKind::MoveToLayer:
            Each(0, m_Count, &TReplay::LayerBack);
            break;
        case TUndoKind::NewObjects:
            Each(0, m_Count, &TReplay::RemoveByID);
            break;
        }
    }

private:
    using TVerb = void (TReplay::*)(TStream&);

    void Each(size_t first, size_t end, TVerb verb)
    {
        for (size_t i = first; i < end; ++i)
            Verb(i, verb);
    }

    void Verb(size_t index, TVerb verb)
    {
        if (index >= m_Count) {
            LogUndo(KindText(m_Step.Kind) + ": record " + std::to_string(index) + " is missing");
            return;
        }
        try {
            TMemoryStream record = Record(index);
            (this->*verb)(record);
        } catch (const std::exception& e) {
            LogUndo(KindText(m_Step.Kind) + ": record " + std::to_string(index) + " skipped: " + e.what());
        }
    }

    // The record's bytes, as far as the journal still holds them.
    TMemoryStream Record(size_t index) const
    {
        const std::vector<uint8_t>& data = m_Journal.m_Stream.Data();
        const int64_t size = static_cast<int64_t>(data.size());
        const int64_t start = std::clamp<int64_t>(index == 0 ? m_Step.Position : m_Step.RecordEnds[index - 1], 0, size);
        const int64_t end = std::clamp<int64_t>(m_Step.RecordEnds[index], start, size);
        return TMemoryStream(data.data() + start, static_cast<size_t>(end - start));
    }

    // R: the saved points and transform go back into the live object.
    void Restore(TStream& record)
    {
        const std::unique_ptr<TGraphicObject> saved = ReadObject(record);
        if (const auto* object = dynamic_cast<const TObject2D*>(saved.get())) {
            m_Journal.RestorePoints(*object);
            m_Touched.push_back(object->ID());
        }
    }

    // A: the saved object comes back under its ID on its own layer.
    void ReAdd(TStream& record)
    {
        std::unique_ptr<TGraphicObject> saved = ReadObject(record);
        auto* object = dynamic_cast<TObject2D*>(saved.get());
        if (!object)
            return;
        const int32_t id = object->ID();
        const int layer = object->Layer();
        if (m_Doc.GetObject(id)) {
            LogUndo(KindText(m_Step.Kind) + ": object " + std::to_string(id) + " is in the drawing, not added again");
            return;
        }
        // Block references read unlinked, also those inside a container:
        // linked as the loader links them, before the object is added and
        // drawn, they show their blocks and count on their sources again.
        {
            TGraphicObjIterator sources = m_Doc.SourceBlocksIterator();
            try {
                if (auto* container = dynamic_cast<TContainer2D*>(object))
                    container->UpdateSourceReferences(sources);
                else if (auto* block = dynamic_cast<TBlock2D*>(object))
                    block->UpdateReference(sources);
            } catch (const ECADListObjNotFound&) {
                LogUndo("a source block of object " + std::to_string(id) + " is gone");
            }
        }
        std::unique_ptr<TObject2D> owned(static_cast<TObject2D*>(saved.release()));
        m_Doc.AddObjectOnLayer(id, layer, std::move(owned));
        m_Touched.push_back(id);
    }

    // D: the live object with the record's ID is deleted. The ID is the
    // first field after the class id, so the rest need not be readable.
    void Remove(TStream& record)
    {
        ReadInt16(record);
        DeleteIfPresent(ReadInt32(record));
    }

    // DI
    void RemoveByID(TStream& record) { DeleteIfPresent(ReadID(record).First); }

    // L: the object goes back on its old layer, its tree node with it.
    void LayerBack(TStream& record)
    {
        const TUndoID id = ReadID(record);
        TObject2D* object = m_Doc.GetObject(id.First);
        if (!object) {
            LogUndo(KindText(m_Step.Kind) + ": " + MissingText(id.First));
            return;
        }
        if (id.Second < 0 || id.Second > 255) {
            LogUndo(KindText(m_Step.Kind) + ": layer " + std::to_string(id.Second) + " does not exist");
            return;
        }
        m_Doc.MoveObjectToLayer(*object, static_cast<uint8_t>(id.Second));
        m_Touched.push_back(id.First);
    }

    void DeleteIfPresent(int32_t id)
    {
        if (m_Doc.GetObject(id)) {
            m_Doc.DeleteObject(id);
            m_Touched.push_back(id);
        } else
            LogUndo(KindText(m_Step.Kind) + ": " + MissingText(id));
    }

    TUndoRedo& m_Journal;
    TQV_01Cmp2D& m_Doc;
    const TUndoObj& m_Step;
    const size_t m_Count;
    std::vector<int32_t> m_Touched;
};

TUndoRedo::TUndoRedo(TQV_01Cmp2D& document) : m_Document(document) {}

bool TUndoRedo::AddUndo(TUndoKind kind, std::span<const int32_t> values)
{
    const TRecordShape shape = ShapeOf(kind);
    TMemoryStream records;
    std::vector<int64_t> ends;
    int32_t valueCount = 0;

    if (shape == TRecordShape::Unknown) {
        ReportRefusal(kind, "unknown kind");
        return false;
    }
    if (shape == TRecordShape::IDPairs || shape == TRecordShape::IDs) {
        const size_t step = shape == TRecordShape::IDPairs ? 2 : 1;
        if (values.size() % step != 0)
            LogUndo(KindText(kind) + ": the unpaired last value is dropped");
        for (size_t i = 0; i + step <= values.size(); i += step) {
            TUndoID{values[i], values[i + step - 1]}.WriteToStream(records);
            ends.push_back(records.Position());
            valueCount += static_cast<int32_t>(step);
        }
    } else {
        // Every ID is looked up before anything is written.
        std::vector<TObject2D*> found;
        found.reserve(values.size());
        for (int32_t id : values)
            found.push_back(m_Document.GetObject(id));

        std::vector<TObject2D*> kept;
        if (shape == TRecordShape::Alike) {
            for (size_t i = 0; i < found.size(); ++i) {
                if (found[i])
                    kept.push_back(found[i]);
                else
                    LogUndo(KindText(kind) + ": " + MissingText(values[i]) + ", left out");
            }
        } else if (shape == TRecordShape::ObjectPairs) {
            for (size_t i = 0; i + 1 < found.size(); i += 2) {
                if (found[i] && found[i + 1]) {
                    kept.push_back(found[i]);
                    kept.push_back(found[i + 1]);
                } else {
                    LogUndo(KindText(kind) + ": " + MissingText(found[i] ? values[i + 1] : values[i]) +
                            ", its pair left out");
                }
            }
            if (found.size() % 2 != 0)
                LogUndo(KindText(kind) + ": the unpaired last value is dropped");
        } else {
            if (values.size() < MinimumValues(kind)) {
                ReportRefusal(kind, std::to_string(values.size()) + " values, " +
                                        std::to_string(MinimumValues(kind)) + " needed");
                return false;
            }
            for (size_t i = 0; i < found.size(); ++i) {
                if (!found[i]) {
                    ReportRefusal(kind, MissingText(values[i]));
                    return false;
                }
            }
            kept = found;
        }

        for (TObject2D* object : kept) {
            try {
                WriteInt16(records, QV_00FindClassIndex(object->ClassName()));
                object->SaveToStream(records);
            } catch (const ECADSysException& e) {
                ReportRefusal(kind, e.what());
                return false;
            }
            ends.push_back(records.Position());
        }
        valueCount = static_cast<int32_t>(kept.size());
    }

    TUndoObj step;
    step.Kind = kind;
    step.ValueCount = valueCount;
    step.Position = m_Stream.Position();
    step.RecordEnds.reserve(ends.size());
    for (int64_t end : ends)
        step.RecordEnds.push_back(step.Position + end);
    m_Stream.Write(records.Data().data(), records.Data().size());
    m_Steps.push_back(std::move(step));
    return true;
}

void TUndoRedo::Undo()
{
    if (OnUndoStart)
        OnUndoStart();
    if (m_Steps.empty())
        return;
    if (m_Document.IsBlocked()) {
        LogUndo("the drawing is being walked; the step is kept for a later undo");
        return;
    }
    const TUndoObj step = std::move(m_Steps.back());
    m_Steps.pop_back();
    // The next step overwrites the undone one's records.
    m_Stream.SetPosition(step.Position);
    TReplay replay(*this, step);
    replay.Run();
    // The replay went through the document, which told the views of each
    // object; they are brought up to date around those objects alone.
    m_Document.RefreshViewports(replay.Touched());
}

void TUndoRedo::Clear()
{
    m_Steps.clear();
}

void TUndoRedo::RestorePoints(const TObject2D& saved)
{
    TObject2D* live = m_Document.GetObject(saved.ID());
    if (!live) {
        LogUndo(MissingText(saved.ID()) + ", nothing restored");
        return;
    }
    if (live->ClassName() != saved.ClassName()) {
        LogUndo("object " + std::to_string(saved.ID()) + " is now a " + std::string(live->ClassName()) +
                ", not restored from a " + std::string(saved.ClassName()));
        return;
    }
    const auto* from = dynamic_cast<const TPrimitive2D*>(&saved);
    auto* to = dynamic_cast<TPrimitive2D*>(live);
    if (from && to) {
        try {
            CopyControlPoints(*from, *to);
        } catch (const ECADSysException& e) {
            LogUndo("points of object " + std::to_string(saved.ID()) + " only partly restored: " + e.what());
        }
    }
    // Copied first: the saved object's transform may live in the shared
    // scratch matrix, which the live object's own updates reuse.
    const TMatrix4 transform = saved.GetModelTransform();
    live->ResetTransforms();
    live->SetTransform(transform);
}

std::unique_ptr<TGraphicObject> TUndoRedo::ReadObject(TStream& stream)
{
    const auto classId = static_cast<uint16_t>(ReadInt16(stream));
    const TGraphicObjectClass* cls = nullptr;
    try {
        cls = &QV_00FindClassByIndex(classId);
    } catch (const ECADObjClassNotFound&) {
        UserNotifier().ShowMessage(EMessageKind::Plain, "Object class not found. Object not load", "");
        return nullptr;
    }
    return cls->CreateFromStream(stream, DocumentSignature);
}

TUndoRedo* UndoJournal()
{
    return g_UndoJournal;
}

TUndoRedo* SetUndoJournal(TUndoRedo* journal)
{
    TUndoRedo* previous = g_UndoJournal;
    g_UndoJournal = journal;
    return previous;
}
