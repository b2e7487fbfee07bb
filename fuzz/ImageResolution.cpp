#include "fuzz/FuzzEntries.h"

#include "io/trace/ImageResolution.h"

#include <cstdlib>
#include <exception>

// The bytes as the head of a BMP file and as the head of a JPEG file. A
// damaged BMP header may raise its error; the JPEG search never raises and
// leaves the values alone when it finds no density.
int KbFuzzImageResolution(const uint8_t* data, size_t size)
{
    uint16_t bits = 0;
    bool compressed = false;
    int32_t resolutionX = 0;
    int32_t resolutionY = 0;
    try {
        ReadBmpInfoFromBytes(data, size, bits, compressed, resolutionX, resolutionY);
    } catch (const std::exception&) {
        // Damaged input: the error is the expected answer.
    }
    uint16_t densityX = 0xBEEF;
    uint16_t densityY = 0xBEEF;
    if (!ReadJpegDensityFromBytes(data, size, densityX, densityY) && (densityX != 0xBEEF || densityY != 0xBEEF))
        std::abort();
    return 0;
}
