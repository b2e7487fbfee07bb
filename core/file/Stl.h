#pragma once
// Reading and writing STL triangle meshes. ASCII and binary files are read
// into a plain facet list; meshes are written as binary STL, the form in
// which a document stores an STL surface right after the surface's record:
// an 80-byte header, a uint32 little-endian facet count n and n facets of 50
// bytes (normal, three vertices, each three little-endian singles, and two
// attribute bytes).
//
// Every reader refuses damaged input with EStlError and a message that says
// what is wrong; none allocates for a declared count the input cannot hold.
// A facet with a vertex coordinate that is NaN or infinite (or, in ASCII,
// beyond the single range) is left out and counted in SkippedFacets: such a
// vertex would poison boxes and toolpaths, and refusing the whole input would
// make a document that holds one unopenable. Callers tell the user when
// SkippedFacets is not 0. A facet normal that is NaN, infinite or zero is
// replaced by the normal of its vertices (TriangleNormal); any other normal
// is kept as read.

#include "core/file/Stream.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class EStlError : public std::runtime_error {
public:
    explicit EStlError(const std::string& message) : std::runtime_error(message) {}
};

// One facet as read: the normal and the three vertices in file order.
struct TStlFacet {
    float Normal[3] = {0.0f, 0.0f, 0.0f};
    float A[3] = {0.0f, 0.0f, 0.0f};
    float B[3] = {0.0f, 0.0f, 0.0f};
    float C[3] = {0.0f, 0.0f, 0.0f};
};

struct TStlMesh {
    std::vector<TStlFacet> Facets;
    // Facets of the input left out for a vertex that is not finite.
    size_t SkippedFacets = 0;
};

// The header text of every binary STL that WriteStlBinary writes; the rest
// of the 80 bytes are zero.
inline constexpr std::string_view StlExportHeader = "GLScene STL export";

inline constexpr int64_t StlHeaderSize = 80;
inline constexpr int64_t StlFacetSize = 50;

// Reads one binary STL at the stream's position and leaves the stream right
// after its last facet (84 + 50 n bytes further), so that what follows it in
// a document stays readable. The header's content is not looked at. A count
// the rest of the stream cannot hold is refused before anything is read.
TStlMesh ReadStlBinary(TStream& stream);

// Reads ASCII STL: one or more "solid ... endsolid" blocks of
// "facet normal i j k / outer loop / vertex x y z (three times) / endloop /
// endfacet". Keywords in any letter case, any ASCII white space between
// tokens (CR LF lines included), numbers in the C locale.
TStlMesh ReadStlAscii(std::string_view text);

// Reads a whole STL file held in memory, ASCII or binary. Binary is taken
// when 84 + 50 n equals the size, whatever the header says (binary headers
// may start with "solid"); otherwise text that starts with "solid" is read as
// ASCII; otherwise, and for "solid" text that does not parse but whose count
// fits the bytes, as binary (bytes after the last facet are ignored).
TStlMesh LoadStl(std::span<const uint8_t> bytes);
// LoadStl of everything from the stream's position to its end.
TStlMesh LoadStlFromStream(TStream& stream);
// LoadStl of a file; errors name the file.
TStlMesh LoadStlFromFile(const std::string& fileName);

// Writes the mesh as binary STL: StlExportHeader padded with zero bytes to 80
// bytes, the facet count, and per facet the normalised (B - A) x (C - A) (not
// the stored normal), A, B, C and two zero attribute bytes.
void WriteStlBinary(TStream& stream, const TStlMesh& mesh);
