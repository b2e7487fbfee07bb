#include "fuzz/FuzzEntries.h"

#include "core/entities/Bitmap2D.h"
#include "core/file/Stream.h"

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

// The first byte picks the document version whose layout the rest is read
// in ("CAD41", "QV-3.2" or "QV-3.6"); the rest is a bitmap entity's record:
// the primitive part, the embedded BMP and the version's trailing fields.
// Whatever was read must draw its scene plane, save, and read back with the
// same image.
int KbFuzzBitmapRecord(const uint8_t* data, size_t size)
{
    static const char* const signatures[] = {"CAD41", "QV-3.2", "QV-3.6"};
    if (size < 1)
        return 0;
    const std::string signature = signatures[data[0] % 3];
    TMemoryStream in(data + 1, size - 1);
    std::unique_ptr<TBitmap2D> bitmap;
    try {
        bitmap = std::make_unique<TBitmap2D>(in, signature);
    } catch (const std::exception&) {
        // Damaged input: the error is the expected answer.
        return 0;
    }
    const TScenePlane plane = bitmap->ScenePlane();
    (void)plane;
    TMemoryStream out;
    bitmap->SaveToStream(out);
    out.SetPosition(0);
    const TBitmap2D copy(out, "QV-3.6");
    if (copy.Bitmap() != bitmap->Bitmap() || out.Remaining() != 0)
        std::abort();
    return 0;
}
