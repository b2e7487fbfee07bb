#include "fuzz/FuzzEntries.h"

#include "cam/ops/OpManager.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 8> kVersions = {"CAD422", "QV-001", "QV-002", "QV-003",
                                                       "QV-004", "QV-3.2", "QV-3.6", "CAD41 "};

} // namespace

// Byte 0 picks the document version; the rest is an operations section.
// Whatever reads writes back, and that reads again to the same bytes: loaded
// operations survive being saved.
int KbFuzzOperations(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view version = kVersions[data[0] % kVersions.size()];
    TOpManager first;
    TMemoryStream in(data + 1, size - 1);
    try {
        first.LoadFromStream(in, version);
    } catch (const ECADFileNotValid&) {
        return 0;
    }
    TMemoryStream written;
    first.SaveToStream(written);
    written.SetPosition(0);
    TOpManager again;
    again.LoadFromStream(written, "QV-3.6");
    TMemoryStream rewritten;
    again.SaveToStream(rewritten);
    if (written.Position() != written.Size() || rewritten.Data() != written.Data())
        __builtin_trap();
    return 0;
}
