#include "fuzz/FuzzEntries.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"
#include "core/entities/VectFont.h"

#include <string>

int KbFuzzFnd(const uint8_t* data, size_t size)
{
    TMemoryStream stream(data, size);
    try {
        const auto font = TVectFont::CreateFromStream(stream);
        // Every byte once, with line breaks, through the measuring rules.
        std::string text;
        for (int code = 0; code < TVectFont::kCharCount; ++code)
            text += static_cast<char>(code);
        font->MeasureText(text, 1.0, 0.1, 0.02);
    } catch (const ECADSysException&) {
        // A damaged font is refused with a clear error: that is the contract.
    }
    return 0;
}
