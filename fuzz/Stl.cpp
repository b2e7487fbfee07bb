#include "fuzz/FuzzEntries.h"

#include "core/file/Stl.h"
#include "core/file/Stream.h"

int KbFuzzStl(const uint8_t* data, size_t size)
{
    try {
        // Whatever was read writes and reads back facet for facet.
        const TStlMesh mesh = LoadStl({data, size});
        TMemoryStream written;
        WriteStlBinary(written, mesh);
        written.SetPosition(0);
        if (ReadStlBinary(written).Facets.size() != mesh.Facets.size() || written.Remaining() != 0)
            __builtin_trap();
    } catch (const EStlError&) {
        // Damaged input is refused with a clear error: that is the contract.
    }

    // The form stored in documents stops exactly after its declared facets.
    TMemoryStream stream(data, size);
    try {
        const TStlMesh mesh = ReadStlBinary(stream);
        const size_t facets = mesh.Facets.size() + mesh.SkippedFacets;
        if (stream.Position() != static_cast<int64_t>(84 + 50 * facets))
            __builtin_trap();
    } catch (const EStlError&) {
    }
    return 0;
}
