#include "fuzz/FuzzEntries.h"

#include "core/model/Layers.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <exception>
#include <string>

// The first 6 bytes are the file signature that selects the record layout,
// the rest is a layer section. Whatever was read must save and read back.
int KbFuzzLayerSection(const uint8_t* data, size_t size)
{
    const size_t sigSize = std::min<size_t>(size, 6);
    const std::string signature(reinterpret_cast<const char*>(data), sigSize);
    TMemoryStream in(data + sigSize, size - sigSize);
    TQV_20Layers layers;
    try {
        layers.LoadFromStream(in, signature);
    } catch (const std::exception&) {
        // Damaged input: the error is the expected answer.
    }
    TMemoryStream out;
    layers.SaveToStream(out);
    out.SetPosition(0);
    TQV_20Layers again;
    again.LoadFromStream(out, "QV-3.6");
    return 0;
}
