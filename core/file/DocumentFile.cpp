#include "core/file/DocumentFile.h"

#include "core/entities/Etichetta.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"
#include "platform/IniFile.h"

#include <exception>
#include <string>
#include <utility>

namespace {

constexpr uint8_t BlocksSectionByte = 2;
constexpr uint8_t ObjectsSectionByte = 3;
constexpr uint8_t OperationsSectionByte = 4;

constexpr size_t SignatureSize = 6;

TSaveOperationsHook& SaveHookSlot()
{
    static TSaveOperationsHook hook = WriteEmptyOperations;
    return hook;
}

TLoadOperationsHook& LoadHookSlot()
{
    static TLoadOperationsHook hook = IgnoreOperations;
    return hook;
}

// Whether a reader of the operations section is installed: without one the
// section is skipped unread, and its end cannot be known.
bool& LoadHookInstalled()
{
    static bool installed = false;
    return installed;
}

// The section byte, or -1 at the end of the stream.
int ReadSectionByte(TStream& stream)
{
    return stream.Remaining() > 0 ? ReadUInt8(stream) : -1;
}

// The document's signature test: any signature up to the program's own is
// an older version this program reads.
std::string AcceptDocumentSignature(TQV_01Cmp& document, TStream& stream)
{
    if (!stream.CanHold(SignatureSize, 1))
        throw ECADFileNotValid(std::string(NoSignatureText));
    std::string signature = ReadSignature(stream);
    bool accept = CompareSignature(signature, document.Signature()) <= 0;
    if (!accept && document.OnInvalidFileVersion)
        document.OnInvalidFileVersion(document, 0, accept, stream);
    if (!accept)
        throw ECADFileNotValid(VersionErrorText(signature));
    return signature;
}

// Runs the reading of the file's body, after its signature was accepted.
// Damage becomes ECADFilePartlyRead: the document keeps what was read.
template <class TBody>
TDocumentLoadResult ReadBody(TBody&& body)
{
    try {
        return body();
    } catch (const ECADFilePartlyRead&) {
        throw;
    } catch (const EStreamReadError&) {
        throw ECADFilePartlyRead(std::string(TruncatedText));
    } catch (const std::exception& e) {
        throw ECADFilePartlyRead(e.what());
    }
}

// Layers, source blocks and objects; the signature is read already.
TDocumentLoadResult MergeBody(TQV_01Cmp& document, TStream& stream, const std::string& signature)
{
    document.SetLoadedSignature(signature);
    document.Layers().LoadFromStream(stream, signature);
    if (ReadSectionByte(stream) != BlocksSectionByte)
        throw ECADFileNotValid(std::string(NoBlocksFoundText));
    if (document.LoadSourceBlocks(stream, signature).Partial)
        return {.Partial = true};
    if (ReadSectionByte(stream) != ObjectsSectionByte)
        throw ECADFileNotValid(std::string(NoObjectsFoundText));
    return document.LoadObjects(stream, signature);
}

// The operations section after the objects, and the end of the file. Files
// of older versions may end right after their objects; the program's own
// always write the operations. Anything left after the last section is
// damage: the file holds more than was read.
void ReadOperationsSection(const TQV_01Cmp& document, TStream& stream, const std::string& signature)
{
    const int section = ReadSectionByte(stream);
    if (section == -1) {
        if (CompareSignature(signature, document.Signature()) >= 0)
            throw ECADFileNotValid(std::string(NoOperationsFoundText));
        return;
    }
    if (section != OperationsSectionByte)
        throw ECADFileNotValid(UnknownSectionText(section));
    LoadOperationsHook()(stream, signature);
    if (LoadHookInstalled() && stream.Remaining() > 0)
        throw ECADFileNotValid(UnreadBytesText(stream.Remaining()));
}

void RefuseWhileBlocked(const TQV_01Cmp& document, std::string_view operation)
{
    if (document.IsBlocked())
        throw ECADListBlocked("TQV_01Cmp." + std::string(operation) + ": The lists have active iterators.");
}

} // namespace

ECADFilePartlyRead::ECADFilePartlyRead(const std::string& cause)
    : ECADFileNotValid(cause + "\r\n" + std::string(PartlyReadMessage)), m_Cause(cause)
{
}

std::string VersionErrorText(std::string_view signature)
{
    const std::string_view version = signature.size() > 3 ? signature.substr(3, 3) : std::string_view{};
    return "TQVCmp.LoadFromStream: Invalid stream version.\r\nFile created with a higher version " +
           std::string(version) + "\r\nUpdate your product...";
}

std::string UnknownSectionText(int section)
{
    return "Unknown section " + std::to_string(section) + " after the objects.";
}

std::string InvalidObjectCountText(int32_t count)
{
    return "Invalid number of objects " + std::to_string(count);
}

std::string UnreadBytesText(int64_t count)
{
    return std::to_string(count) + " bytes after the last section were not read.";
}

const TSaveOperationsHook& SaveOperationsHook()
{
    return SaveHookSlot();
}

const TLoadOperationsHook& LoadOperationsHook()
{
    return LoadHookSlot();
}

void SetSaveOperationsHook(TSaveOperationsHook hook)
{
    SaveHookSlot() = hook ? std::move(hook) : TSaveOperationsHook(WriteEmptyOperations);
}

void SetLoadOperationsHook(TLoadOperationsHook hook)
{
    LoadHookInstalled() = static_cast<bool>(hook);
    LoadHookSlot() = hook ? std::move(hook) : TLoadOperationsHook(IgnoreOperations);
}

void WriteEmptyOperations(TStream& stream)
{
    // The number of operations - 1 of an empty list.
    WriteInt32(stream, -1);
}

void IgnoreOperations(TStream& /*stream*/, std::string_view /*signature*/) {}

// --- TQV_01Cmp file operations -------------------------------------------

void TQV_01Cmp::SaveToStream(TStream& stream)
{
    WriteFixedString(stream, Signature(), SignatureSize);
    m_Layers.SaveToStream(stream);
    WriteUInt8(stream, BlocksSectionByte);
    SaveSourceBlocks(stream, false);
    WriteUInt8(stream, ObjectsSectionByte);
    SaveObjects(stream);
    WriteUInt8(stream, OperationsSectionByte);
    SaveOperationsHook()(stream);
}

void TQV_01Cmp::SaveToFile(const std::string& fileName)
{
    // The whole document is made in memory first: whatever fails before the
    // rename leaves the file on disk untouched.
    TMemoryStream stream;
    SaveToStream(stream);
    const std::vector<uint8_t>& bytes = stream.Data();
    const std::string error =
        WriteFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!error.empty())
        throw EStreamWriteError("TQV_01Cmp.SaveToFile: " + error);
}

TDocumentLoadResult TQV_01Cmp::MergeFromStream(TStream& stream)
{
    RefuseWhileBlocked(*this, "MergeFromStream");
    const std::string signature = AcceptDocumentSignature(*this, stream);
    return ReadBody([&] { return MergeBody(*this, stream, signature); });
}

TDocumentLoadResult TQV_01Cmp::LoadFromStream(TStream& stream, bool merge)
{
    RefuseWhileBlocked(*this, "LoadFromStream");
    // The signature is tested before the drawing is cleared, so that a file
    // this program cannot read does not cost the user the drawing.
    const std::string signature = AcceptDocumentSignature(*this, stream);
    return ReadBody([&]() -> TDocumentLoadResult {
        if (!merge) {
            DeleteAllObjects();
            DeleteSavedSourceBlocks();
            SetCurrentLabelObject(nullptr);
        }
        if (MergeBody(*this, stream, signature).Partial)
            return {.Partial = true};
        ReadOperationsSection(*this, stream, signature);
        return {};
    });
}

TDocumentLoadResult TQV_01Cmp::LoadLibrary(TStream& stream)
{
    RefuseWhileBlocked(*this, "LoadLibrary");
    if (!stream.CanHold(SignatureSize, 1))
        throw ECADFileNotValid(std::string(LibraryVersionErrorText));
    const std::string signature = ReadSignature(stream);
    bool accept = signature == Signature();
    if (!accept && OnInvalidFileVersion)
        OnInvalidFileVersion(*this, 1, accept, stream);
    if (!accept)
        throw ECADFileNotValid(std::string(LibraryVersionErrorText));
    if (ReadSectionByte(stream) != BlocksSectionByte)
        throw ECADFileNotValid(std::string(LibraryNoBlocksText));
    return ReadBody([&] { return LoadSourceBlocks(stream, signature); });
}

TDocumentLoadResult TQV_01Cmp::LoadFromFile(const std::string& fileName, bool merge)
{
    TFileStream stream(fileName, TFileStream::TMode::OpenRead);
    try {
        const TDocumentLoadResult result = LoadFromStream(stream, merge);
        RepaintViewports();
        return result;
    } catch (const ECADFilePartlyRead&) {
        // The drawing changed: the views show what was read.
        RepaintViewports();
        throw;
    }
}
