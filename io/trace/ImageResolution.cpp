#include "io/trace/ImageResolution.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr size_t BmpFileHeaderSize = 14;
constexpr size_t BmpInfoHeaderSize = 40;
constexpr size_t BmpCoreHeaderSize = 12;
constexpr size_t JpegSearchSize = 50;
constexpr double MetresPerInchInverse = 39.37007874015748;

uint16_t U16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32LE(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

int32_t DotsPerInch(uint32_t pixelsPerMetreBits)
{
    const double perMetre = static_cast<int32_t>(pixelsPerMetreBits);
    // Ties to even under the default rounding mode; |value| stays far below
    // the int32 range (2^31 / 39.37).
    return static_cast<int32_t>(std::nearbyint(perMetre / MetresPerInchInverse));
}

// Up to count bytes from the start of the file (fewer when it is shorter).
std::vector<uint8_t> ReadHead(const std::string& fileName, size_t count)
{
    TFileStream file(fileName, TFileStream::TMode::OpenRead);
    const int64_t size = file.Size();
    const size_t take = size < 0 ? 0 : std::min(count, static_cast<size_t>(size));
    std::vector<uint8_t> bytes(take);
    if (take > 0)
        file.ReadBuffer(bytes.data(), take);
    return bytes;
}

} // namespace

void ReadBmpInfoFromBytes(const uint8_t* data, size_t size, uint16_t& bitsPerPixel, bool& compressed,
                          int32_t& resolutionX, int32_t& resolutionY)
{
    if (size < BmpFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M')
        throw ECADFileNotValid("ReadBmpInfo: Not a BMP file.");
    const uint8_t* info = data + BmpFileHeaderSize;
    const size_t available = size - BmpFileHeaderSize;
    const uint32_t headerSize = U32LE(info);
    if (headerSize == BmpCoreHeaderSize) {
        if (available < BmpCoreHeaderSize)
            throw ECADFileNotValid("ReadBmpInfo: The BMP header is cut short.");
        bitsPerPixel = U16LE(info + 10);
        compressed = false;
        resolutionX = resolutionY = 0;
        return;
    }
    if (headerSize < BmpInfoHeaderSize || available < BmpInfoHeaderSize)
        throw ECADFileNotValid("ReadBmpInfo: The BMP header is cut short.");
    bitsPerPixel = U16LE(info + 14);
    compressed = U32LE(info + 16) != 0;
    resolutionX = DotsPerInch(U32LE(info + 24));
    resolutionY = DotsPerInch(U32LE(info + 28));
}

void ReadBmpInfo(const std::string& fileName, uint16_t& bitsPerPixel, bool& compressed, int32_t& resolutionX,
                 int32_t& resolutionY)
{
    const std::vector<uint8_t> head = ReadHead(fileName, BmpFileHeaderSize + BmpInfoHeaderSize);
    ReadBmpInfoFromBytes(head.data(), head.size(), bitsPerPixel, compressed, resolutionX, resolutionY);
}

bool ReadJpegDensityFromBytes(const uint8_t* data, size_t size, uint16_t& densityX, uint16_t& densityY)
{
    static constexpr char marker[] = "JFIF"; // with its terminating zero: 5 bytes
    constexpr size_t markerSize = sizeof(marker);
    constexpr size_t densityOffset = 8;
    const size_t searched = std::min(size, JpegSearchSize);
    for (size_t i = 0; i + markerSize <= searched; ++i) {
        if (std::memcmp(data + i, marker, markerSize) != 0)
            continue;
        // The densities must lie within the bytes read.
        if (i + densityOffset + 4 > searched)
            return false;
        densityX = U16BE(data + i + densityOffset);
        densityY = U16BE(data + i + densityOffset + 2);
        return true;
    }
    return false;
}

bool ReadJpegDensity(const std::string& fileName, uint16_t& densityX, uint16_t& densityY)
{
    const std::vector<uint8_t> head = ReadHead(fileName, JpegSearchSize);
    return ReadJpegDensityFromBytes(head.data(), head.size(), densityX, densityY);
}
