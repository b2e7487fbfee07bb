// The source-block and object sections of the document file and the block
// library (layout and promises: core/DocumentFile.h).

#include "core/entities/Block2D.h"
#include "core/model/ClassRegistry.h"
#include "core/file/DocumentFile.h"
#include "core/entities/Etichetta.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"

#include <memory>
#include <string>

namespace {

// The smallest source-block entry: int16 class id, the head (ID, layer,
// flags), the old 3x3 transform, the child count, saved and library flags
// and the 13-byte name.
constexpr int64_t kMinSourceBlockEntry = 2 + 6 + 72 + 4 + 1 + 1 + 13;

void Tell(std::string_view text)
{
    UserNotifier().ShowMessage(EMessageKind::Plain, std::string(text), "");
}

// The class of an entry's id; null for an id whose slot is empty. An id of
// 512 or more raises the registry's out-of-bound error.
const TGraphicObjectClass* EntryClass(int16_t storedId)
{
    try {
        return &QV_00FindClassByIndex(static_cast<uint16_t>(storedId));
    } catch (const ECADObjClassNotFound&) {
        return nullptr;
    }
}

// An entry of unknown class: its record cannot be skipped, so the reading
// of the file ends here.
TDocumentLoadResult StopAtUnknownClass()
{
    Tell(ObjectClassNotFoundMessage);
    UserNotifier().ShowMessage(EMessageKind::Warning, std::string(PartlyReadMessage), "");
    return {.Partial = true};
}

template <class T>
std::unique_ptr<T> Downcast(std::unique_ptr<TGraphicObject>& object)
{
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

} // namespace

TDocumentLoadResult TQV_01Cmp2D::LoadSourceBlocks(TStream& stream, std::string_view signature)
{
    int32_t count = ReadInt32(stream);
    if (count < 0 || (count > 0 && !stream.CanHold(count, kMinSourceBlockEntry)))
        throw ECADFileNotValid("TQV_01Cmp2D.LoadSourceBlocks: Invalid number of source blocks " +
                               std::to_string(count));
    while (count > 0) {
        const int16_t storedId = ReadInt16(stream);
        --count;
        const TGraphicObjectClass* cls = EntryClass(storedId);
        if (!cls)
            return StopAtUnknownClass();
        std::unique_ptr<TGraphicObject> object = cls->CreateFromStream(stream, signature);
        auto* block = dynamic_cast<TSourceBlock2D*>(object.get());
        if (!block) {
            // Read whole, so the next entry follows; the source-block list
            // holds nothing but source blocks.
            Tell(NotSourceBlockMessage);
            continue;
        }
        try {
            TGraphicObjIterator blocks = m_SourceBlocks.GetIterator();
            block->UpdateSourceReferences(blocks);
        } catch (const ECADListObjNotFound&) {
            Tell(SourceBlockNotFoundMessage);
            continue;
        }
        AddSourceBlock(Downcast<TSourceBlock2D>(object));
    }
    return {};
}

TDocumentLoadResult TQV_01Cmp2D::LoadObjects(TStream& stream, std::string_view signature)
{
    // Held for the whole section: the block references link through it.
    TExclusiveGraphicObjIterator blocks = m_SourceBlocks.GetExclusiveIterator();
    int32_t count = ReadInt32(stream);
    // The count may exceed the entries (the section then ends with -1), so
    // only a negative one is known to be damage.
    if (count < 0)
        throw ECADFileNotValid(InvalidObjectCountText(count));
    const auto step = static_cast<uint8_t>(count > 0 ? 100 / count : 0);
    while (count > 0) {
        const int16_t storedId = ReadInt16(stream);
        if (storedId == -1)
            break;
        --count;
        const TGraphicObjectClass* cls = EntryClass(storedId);
        if (!cls)
            return StopAtUnknownClass();
        std::unique_ptr<TGraphicObject> object = cls->CreateFromStream(stream, signature);
        if (OnLoadProgress)
            OnLoadProgress(*this, step);
        auto* object2D = dynamic_cast<TObject2D*>(object.get());
        if (!object2D) {
            Tell(Not2DObjectMessage);
            continue;
        }
        // A label has no extent and draws nothing: it is kept apart rather
        // than added to the drawing.
        if (std::unique_ptr<TEtichetta> label = TakeLabelObject(object)) {
            SetCurrentLabelObject(std::move(label));
            continue;
        }
        try {
            if (auto* container = dynamic_cast<TContainer2D*>(object2D))
                container->UpdateSourceReferences(blocks);
            else if (auto* reference = dynamic_cast<TBlock2D*>(object2D))
                reference->UpdateReference(blocks);
        } catch (const ECADListObjNotFound&) {
            Tell(SourceBlockNotFoundMessage);
            continue;
        }
        SetCurrentLayer(object2D->Layer());
        AddObject(-1, Downcast<TObject2D>(object));
    }
    return {};
}

void TQV_01Cmp2D::SaveSourceBlocks(TStream& stream, bool library)
{
    const int64_t countPosition = stream.Position();
    WriteInt32(stream, 0);
    int32_t written = 0;
    {
        TGraphicObjIterator it = m_SourceBlocks.GetExclusiveIteratorUnchecked();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            auto* block = dynamic_cast<TSourceBlock2D*>(object);
            if (!block || !block->Saved() || block->Library() != library)
                continue;
            WriteInt16(stream, QV_00FindClassIndex(block->ClassName()));
            block->SaveToStream(stream);
            ++written;
        }
    }
    stream.SetPosition(countPosition);
    WriteInt32(stream, written);
    stream.SetPosition(stream.Size());
}

void TQV_01Cmp2D::SaveObjects(TStream& stream)
{
    // The label object of the letters operation is kept outside the object
    // list; it goes last into the section, where the loader takes it from.
    TEtichetta* label = CurrentLabelObject();
    const int32_t count = m_Objects.Count() + (label ? 1 : 0);
    WriteInt32(stream, count);
    const auto step = static_cast<uint32_t>(count > 0 ? 100 / count : 0);
    int32_t remaining = count;
    const auto save = [&](TGraphicObject& object) {
        if (!m_Layers.GetLayer(object.Layer()).SavedObjects() || !object.Saved())
            return;
        WriteInt16(stream, QV_00FindClassIndex(object.ClassName()));
        object.SaveToStream(stream);
        // The percentage as the progress bar has always been given it:
        // in 8-bit arithmetic.
        if (OnSaveProgress)
            OnSaveProgress(*this, static_cast<uint8_t>(100u - step * static_cast<uint32_t>(remaining)));
        --remaining;
    };
    {
        TGraphicObjIterator it = m_Objects.GetExclusiveIteratorUnchecked();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            save(*object);
    }
    if (label)
        save(*label);
    // Some objects were left out: the count cannot end the section.
    if (remaining > 0)
        WriteInt16(stream, -1);
}
