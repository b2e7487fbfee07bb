#include "fuzz/FuzzEntries.h"

#include "cam/tools/LibreriaUtBase.h"
#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

#include <memory>

namespace {

// Reads the bytes as a library of one kind. Whatever was read writes back
// and reads again to the same bytes: records are never lost or changed by a
// save of a loaded library.
template <typename L>
void ReadLibrary(const uint8_t* data, size_t size)
{
    L lib;
    TMemoryStream stream(data, size);
    try {
        lib.LoadFromStream(stream);
    } catch (const ECADFileNotValid&) {
        // A damaged record ends the read; the records before it stay.
    }
    TMemoryStream written;
    lib.SaveToStream(written);
    written.SetPosition(0);
    L again;
    again.LoadFromStream(written);
    TMemoryStream rewritten;
    again.SaveToStream(rewritten);
    if (again.Count() != lib.Count() || rewritten.Data() != written.Data())
        __builtin_trap();
}

// The document forms of the three records, as the operations section reads
// them.
void ReadDocumentRecords(const uint8_t* data, size_t size)
{
    const std::unique_ptr<TDatiUtBase> records[] = {std::make_unique<TDatiUtFresa>(),
                                                    std::make_unique<TDatiUtTornio>(),
                                                    std::make_unique<TDatiLaser>()};
    for (const auto& r : records) {
        TMemoryStream stream(data, size);
        try {
            r->LoadFromStream(stream, true);
        } catch (const ECADFileNotValid&) {
        }
    }
}

} // namespace

int KbFuzzToolLibrary(const uint8_t* data, size_t size)
{
    ReadLibrary<TFresaLib>(data, size);
    ReadLibrary<TTornioLib>(data, size);
    ReadLibrary<TLaserLib>(data, size);
    ReadDocumentRecords(data, size);
    return 0;
}
