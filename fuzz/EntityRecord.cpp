#include "fuzz/FuzzEntries.h"

#include "core/model/ClassRegistry.h"
#include "core/entities/EntityRegistration.h"
#include "core/model/GraphicObject.h"
#include "core/entities/Outline2D.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>

// The first 6 bytes are the file signature that selects the record layout,
// then an int16 class id and that class's record, as documents, the block
// library and the undo journal store an object. Whatever was read must
// answer its queries, save, and read back.
int KbFuzzEntityRecord(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        RegisterEntityClasses();
        return true;
    }();
    (void)registered;

    const size_t sigSize = std::min<size_t>(size, 6);
    const std::string signature(reinterpret_cast<const char*>(data), sigSize);
    TMemoryStream in(data + sigSize, size - sigSize);
    std::unique_ptr<TGraphicObject> object;
    try {
        const uint16_t id = static_cast<uint16_t>(ReadInt16(in));
        object = QV_00FindClassByIndex(id).CreateFromStream(in, signature);
    } catch (const std::exception&) {
        // Damaged input: the error is the expected answer.
        return 0;
    }
    if (auto* o = dynamic_cast<TObject2D*>(object.get())) {
        o->UpdateBounds();
        double distance = 0.0;
        o->PickAt(o->Box().FirstEdge, distance, 1.0);
        o->GetScreenRect();
        if (auto* outline = dynamic_cast<TOutline2D*>(o))
            outline->IsClosed();
    }
    TMemoryStream out;
    WriteInt16(out, QV_00FindClassIndex(object->ClassName()));
    object->SaveToStream(out);
    out.SetPosition(0);
    const uint16_t id = static_cast<uint16_t>(ReadInt16(out));
    QV_00FindClassByIndex(id).CreateFromStream(out, "QV-3.6");
    return 0;
}
