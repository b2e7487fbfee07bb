#include "fuzz/FuzzEntries.h"

#include "cam/params/ParametriOperazione.h"
#include "core/file/Stream.h"
#include "core/model/CADSysException.h"

#include <array>
#include <memory>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 8> kVersions = {"CAD422", "QV-001", "QV-002", "QV-003",
                                                       "QV-004", "QV-3.2", "QV-3.6", "CAD41 "};

// Parameters for reading: kind 0 opens no tool library; the tool record
// follows the kind read, as the operation reader makes it.
std::unique_ptr<TParametriOperazione> ForReading(int kind)
{
    auto p = std::make_unique<TParametriOperazione>(0);
    p->CreateToolData(kind);
    return p;
}

} // namespace

// Byte 0 picks the document version, byte 1 the operation kind (0 to 13);
// the rest is one parameters record with its tabs (and, for kind 12, its
// label). Whatever reads writes back, and that reads again to the same
// bytes: a loaded operation survives being saved.
int KbFuzzOperationParameters(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::string_view version = kVersions[data[0] % kVersions.size()];
    const int kind = data[1] % 14;
    std::unique_ptr<TParametriOperazione> first = ForReading(kind);
    TMemoryStream in(data + 2, size - 2);
    bool switchedOff = false;
    try {
        switchedOff = first->LoadFromStream(in, version, kind);
    } catch (const ECADFileNotValid&) {
        return 0;
    }
    TMemoryStream written;
    first->SaveToStream(written, kind, switchedOff);
    written.SetPosition(0);
    std::unique_ptr<TParametriOperazione> again = ForReading(kind);
    const bool offAgain = again->LoadFromStream(written, "QV-3.6", kind);
    TMemoryStream rewritten;
    again->SaveToStream(rewritten, kind, offAgain);
    if (offAgain != switchedOff || written.Position() != written.Size() || rewritten.Data() != written.Data())
        __builtin_trap();
    return 0;
}
