#pragma once
// The document file "*.kvx" and the block library "Library.blk": the
// program-wide hooks of the operations section, the result of a load, and
// the texts the loaders show. The reading and writing themselves are the
// file operations of TQV_01Cmp and TQV_01Cmp2D (core/QV_01Cmp2D.h), defined
// in DocumentFile.cpp (file level) and DocumentSections.cpp (sections).
//
// Document layout (little-endian):
//   6-byte signature "QV-3.6"
//   layer section (core/Layers.h): int16 1, (int16 number + record) for
//     each modified layer, int16 256
//   byte 2, source-block section: int32 count, then count times int16
//     class id + record of each saved, non-library source block
//   byte 3, object section: int32 number of objects in the list, then int16
//     class id + record of each object that is saved and whose layer saves
//     its objects; int16 -1 ends the section when any was left out
//   byte 4, operations section, written and read by the hooks below
// The block library is the signature (exactly "QV-3.6"), byte 2 and a
// source-block section; nothing here writes one.
//
// Promises of the loaders:
// - A document signature that compares greater than "QV-3.6" (byte by byte,
//   unsigned) is refused with VersionErrorText unless OnInvalidFileVersion
//   (code 0) accepts it; a library accepts only its own signature (event
//   code 1). A refused file changes nothing, not even for a load that
//   replaces the drawing: the drawing is cleared only after the signature
//   was accepted.
// - Top-level objects are renumbered as they are added (0, 1, 2 ... after
//   a fresh load, continuing the document's numbers in a merge); source
//   blocks get new IDs; children keep theirs. Block references are linked
//   by name to the source blocks read so far (and the library's).
// - A label (TEtichetta) met among the objects becomes the current label
//   object (core/Etichetta.h), owned outside the object list; a fresh load
//   first drops the previous one.
// - An unregistered class id at the head of an entry: the message
//   ObjectClassNotFoundMessage, then PartlyReadMessage (warning); reading
//   stops there, since the entry's length is unknown, and no section byte or
//   operation is read from that position. What was read stays, and the
//   result says Partial.
// - Any other damage (the stream ends inside a record, an absurd count or
//   id, a record a reader refuses) raises ECADFilePartlyRead once the
//   signature is accepted: what was read before stays in the document, and
//   the message says plainly that the file was only partly read. Nothing is
//   allocated for a declared count the stream cannot hold.
// - A stream of an older version that ends right after the object section
//   is read completely without operations. A document of the program's own
//   version always holds its operations section: one that ends before it,
//   a section byte other than 4 in any version, a negative count, and bytes
//   left after the operations section (when a reader of that section is
//   installed) raise ECADFilePartlyRead, so that no load reports a complete
//   read while part of the file stayed unread.

#include "core/model/CADSysException.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TStream;

// What a load gives back besides the document's new content. A load ends
// in one of three ways: read completely (no exception, Partial false: every
// byte of the file was read, or the file is of an older version that ends
// after its objects); read in part (Partial true, or ECADFilePartlyRead:
// what was read stays in the document and the operation list); refused
// (ECADFileNotValid other than ECADFilePartlyRead, or a stream error on
// opening: nothing changed).
struct [[nodiscard]] TDocumentLoadResult {
    // Reading stopped before the end of the file at an entry of an unknown
    // class: what was read is kept and the user was told; never present it
    // as a normal open.
    bool Partial = false;
};

// A document or library of which only a part was read before the damage
// that Cause() describes; what was read is kept. what() is Cause(), CR LF
// and PartlyReadMessage.
class ECADFilePartlyRead : public ECADFileNotValid {
public:
    explicit ECADFilePartlyRead(const std::string& cause);
    const std::string& Cause() const { return m_Cause; }

private:
    std::string m_Cause;
};

// The texts of the loaders (message boxes and exceptions).
inline constexpr std::string_view ObjectClassNotFoundMessage = "Object class not found. Object not load";
inline constexpr std::string_view SourceBlockNotFoundMessage =
    "Source block not found. The block will not be loaded";
inline constexpr std::string_view Not2DObjectMessage = "Not 2D Object. Object discarded.";
// An entry of the source-block section that holds another kind of object.
inline constexpr std::string_view NotSourceBlockMessage = "Not a source block. Object discarded.";
inline constexpr std::string_view PartlyReadMessage =
    "The file was only partly read: the drawing holds what was read before the damaged part; the rest of the "
    "file was not loaded.";
inline constexpr std::string_view NoBlocksFoundText = "TQVCmp.MergeFromStream: no blocks found";
inline constexpr std::string_view NoObjectsFoundText = "TQVCmp.MergeFromStream: no objects found";
inline constexpr std::string_view LibraryVersionErrorText = "TCADCmp.LoadLibrary: Invalid stream version.";
inline constexpr std::string_view LibraryNoBlocksText = "TCADCmp.LoadLibrary: no blocks found";
inline constexpr std::string_view NoSignatureText = "TQVCmp.MergeFromStream: The file is too short for a signature.";
inline constexpr std::string_view TruncatedText = "TQVCmp.MergeFromStream: The file ends inside a record.";
// A current document that ends after its objects, without the operations
// section it always has.
inline constexpr std::string_view NoOperationsFoundText = "The file ends before its operations section.";
// A section byte after the objects that is not 4: "Unknown section " + the
// byte + " after the objects.".
std::string UnknownSectionText(int section);
// Bytes after the operations section: the count + " bytes after the last
// section were not read.".
std::string UnreadBytesText(int64_t count);
// A negative count of objects: "Invalid number of objects " + count.
std::string InvalidObjectCountText(int32_t count);

// "TQVCmp.LoadFromStream: Invalid stream version." CR LF "File created
// with a higher version " + characters 4 to 6 of signature + CR LF "Update
// your product...".
std::string VersionErrorText(std::string_view signature);

// The operations section, after the byte 4. The save hook writes it; the
// load hook reads it with the file's signature. The machining subsystem
// installs both at start-up; until then the save hook writes the empty
// operation list (int32 -1) and the load hook reads nothing.
using TSaveOperationsHook = std::function<void(TStream& stream)>;
using TLoadOperationsHook = std::function<void(TStream& stream, std::string_view signature)>;

const TSaveOperationsHook& SaveOperationsHook();
const TLoadOperationsHook& LoadOperationsHook();
// An empty function puts the default back.
void SetSaveOperationsHook(TSaveOperationsHook hook);
void SetLoadOperationsHook(TLoadOperationsHook hook);

// The default hooks.
void WriteEmptyOperations(TStream& stream);
void IgnoreOperations(TStream& stream, std::string_view signature);
