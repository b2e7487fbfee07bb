#pragma once
// TUndoRedo: the undo journal of the drawing. Every command that changes the
// drawing records one step (AddUndo) before it changes existing objects, or
// right after it adds new ones; the undo button replays the newest step
// backwards and drops it (Undo). There is no redo.
//
// Promises:
// - The journal keeps the saved records of every step in one memory stream
//   that only grows: an object record is the int16 stream class id followed
//   by the object's SaveToStream record (the document file's form; a pending
//   transform is folded in by the writing), an ID record two int32 values.
//   Each step remembers where each of its records begins and ends, so a
//   replay reads a record only within its own bounds.
// - A step is written whole or not at all: every ID is checked and every
//   record built before anything reaches the journal. Kinds whose records
//   are all alike record the objects that exist and count only those; the
//   pair kinds drop a pair whose object or replacement is missing; the
//   kinds in which a record's place gives its role refuse the whole step
//   (AddUndo returns false and the refusal is logged) when an ID is missing
//   or there are fewer values than the kind needs.
// - Undo changes only the objects of its step. An object the replay should
//   touch but that is gone is skipped, as is a record that cannot be read
//   (damaged, or of a class the registry no longer knows, which is also
//   shown to the user); the rest of the step is replayed. A re-added object
//   goes back under its own ID on its own layer, with its entity-tree node
//   under that layer; it is not added again while an object with its ID is
//   in the drawing. The entity tree and the views learn of every change
//   through the document's own notifications.
// - After an undo the next step is written from the undone step's start,
//   over its records. Clear forgets the steps and keeps the stream.
// - Main thread only. The document must outlive the journal.

#include "core/file/Stream.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

class TGraphicObject;
class TObject2D;
class TQV_01Cmp2D;

// The step kinds, with what the values of AddUndo are and what Undo does.
// The numbers are the ones every command is written against.
enum class TUndoKind : uint8_t {
    Delete = 0,            // deleted objects: re-added
    TrimLines = 1,         // the two lines: points restored
    TrimLineArc = 2,       // line, arc: points restored
    TrimArcs = 3,          // the two arcs: points restored
    FilletLines = 4,       // line, line, new arc: points restored, arc deleted
    FilletLineArc = 5,     // line, arc, new arc: as 4
    FilletArcs = 6,        // arc, arc, new arc: as 4
    Break = 7,             // the two entities, then the new pieces: re-added, pieces deleted
    Divide = 8,            // the entity, the new half: points restored, half deleted
    Join = 9,              // the kept entity, the removed one: restored, re-added
    Extend = 10,           // the entity: points restored
    Explode = 11,          // the exploded object, then the pieces: re-added, pieces deleted
    NodeEdit = 12,         // the edited entity: points restored
    TransformCopies = 13,  // the added copies: deleted
    Transform = 14,        // the transformed objects: points and transform restored
    ScaleReplace = 15,     // pairs (object, its replacement): object re-added, replacement deleted
    OffsetReplace = 16,    // the new offsets, then the picked entity: offsets deleted, entity re-added
    OffsetCopy = 17,       // the new offsets: deleted
    MoveToLayer = 18,      // pairs (ID, old layer): each object back on its layer
    SimplifyPolylines = 19, // pairs (old polyline, replacement): old re-added, replacement deleted
    NewObjects = 20,       // IDs of added objects: deleted
    CopyToLayer = 21,      // the new copies: deleted
};

// An ID record of the journal: an object ID and a second value (the old
// layer for MoveToLayer, the ID again for NewObjects).
struct TUndoID {
    int32_t First = 0;
    int32_t Second = 0;

    // first, then second, little-endian; EStreamReadError at the end.
    static TUndoID ReadFromStream(TStream& stream);
    void WriteToStream(TStream& stream) const;
};

// One recorded step.
struct TUndoObj {
    TUndoKind Kind = TUndoKind::Delete;
    // The values the step recorded (after the ID checks): objects for the
    // object kinds, two per pair for MoveToLayer.
    int32_t ValueCount = 0;
    // Journal position of the step's first record.
    int64_t Position = 0;
    // Journal position just past each record, in record order.
    std::vector<int64_t> RecordEnds;
};

class TUndoRedo {
public:
    explicit TUndoRedo(TQV_01Cmp2D& document);
    TUndoRedo(const TUndoRedo&) = delete;
    TUndoRedo& operator=(const TUndoRedo&) = delete;

    // Records one step (see TUndoKind and the header comment). Returns false
    // when the step was refused; nothing is then recorded. Raises only
    // ECADListBlocked, when an exclusive iterator over the drawing is alive,
    // and then before anything is recorded.
    bool AddUndo(TUndoKind kind, std::span<const int32_t> values);
    bool AddUndo(TUndoKind kind, std::initializer_list<int32_t> values)
    {
        return AddUndo(kind, std::span<const int32_t>(values.begin(), values.size()));
    }

    // OnUndoStart first (also with no step); then, when a step exists and the
    // drawing is not being walked by an iterator, replays and drops the
    // newest step and refreshes the document's views around the objects it
    // touched (TQV_01Cmp::RefreshViewports). While the drawing is
    // being walked the step stays for a later undo.
    void Undo();
    // Forgets every step; the journal stream keeps its content and position.
    void Clear();

    const std::vector<TUndoObj>& Steps() const { return m_Steps; }
    // The journal stream. Changing it damages the journal, which Undo
    // survives (the records it can no longer read are skipped).
    TMemoryStream& JournalStream() { return m_Stream; }

    // Copies the saved object's geometry into the live object with its ID:
    // the control points its class defines (for a bitmap also the opacity),
    // then the live object's transforms make way for the saved model
    // transform. Nothing when no live object has that ID or the live object
    // is of another class.
    void RestorePoints(const TObject2D& saved);

    // Reads one object record at the stream's position: the int16 class id,
    // then the class's stream constructor with the program's own signature.
    // An unregistered class id shows "Object class not found. Object not
    // load" and gives null; any other error of the record is raised.
    static std::unique_ptr<TGraphicObject> ReadObject(TStream& stream);
    static TUndoID ReadID(TStream& stream) { return TUndoID::ReadFromStream(stream); }

    // Called first by every Undo: the properties panel makes its grid
    // editable and hides its group box.
    std::function<void()> OnUndoStart;

private:
    class TReplay;

    TQV_01Cmp2D& m_Document;
    std::vector<TUndoObj> m_Steps;
    TMemoryStream m_Stream;
};

// The program's journal, through which every command records its steps;
// null until the main window installs one.
TUndoRedo* UndoJournal();
// Installs the journal and returns the one installed before. Not owned.
TUndoRedo* SetUndoJournal(TUndoRedo* journal);
