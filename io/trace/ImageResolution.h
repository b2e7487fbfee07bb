#pragma once
// The resolution a BMP or JPEG file states in its header; the open-geometry
// panel sizes a placed image with it.
//
// Promises:
// - The file readers raise std::runtime_error when the file cannot be opened
//   (the caller's file-open error). The byte readers take a header that is
//   already in memory; the fuzz target and the tests use them.
// - Damaged headers never read past the bytes given: a BMP too short for
//   its headers, or one that does not start with "BM", raises ECADFileNotValid
//   with a plain reason; a JPEG whose density would lie
//   beyond the bytes read leaves the caller's values as they were.

#include <cstddef>
#include <cstdint>
#include <string>

// The 14-byte file header, then the information header. A Windows
// information header (40 bytes or more) gives bits per pixel (offset 14),
// compressed (the 32-bit compression at offset 16 is not 0) and the
// resolutions in dots per inch: pixels per metre (offsets 24 and 28)
// divided by 39.37007874015748, rounded half to even. The 12-byte header of
// OS/2 files gives its bits per pixel (offset 10), not compressed and both
// resolutions 0, since it states none.
void ReadBmpInfo(const std::string& fileName, uint16_t& bitsPerPixel, bool& compressed, int32_t& resolutionX,
                 int32_t& resolutionY);
void ReadBmpInfoFromBytes(const uint8_t* data, size_t size, uint16_t& bitsPerPixel, bool& compressed,
                          int32_t& resolutionX, int32_t& resolutionY);

// Searches the first 50 bytes for "JFIF" and a zero byte; when found, the
// two big-endian 16-bit values 8 bytes after the "J" are the X and Y
// density (the unit byte before them is not read). Without the marker, or
// when the file ends before the densities, both outputs stay unchanged.
// Returns whether the densities were read.
bool ReadJpegDensity(const std::string& fileName, uint16_t& densityX, uint16_t& densityY);
bool ReadJpegDensityFromBytes(const uint8_t* data, size_t size, uint16_t& densityX, uint16_t& densityY);
