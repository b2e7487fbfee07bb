#include "io/trace/ImageResolution.h"

#include "core/model/CADSysException.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace image_resolution_test {

namespace {

// File header and a 40-byte information header of a 4 x 4 image.
kbtest::TBytes BmpHead(uint16_t bits, uint32_t compression, int32_t ppmX, int32_t ppmY)
{
    kbtest::TBytes b;
    b.Str("BM").U32(54).U32(0).U32(54);
    b.U32(40).I32(4).I32(4).I16(1).I16(static_cast<int16_t>(bits)).U32(compression).U32(0);
    b.I32(ppmX).I32(ppmY).U32(0).U32(0);
    return b;
}

struct TBmpCase {
    const char* Name;
    uint16_t Bits;
    uint32_t Compression;
    int32_t PpmX, PpmY;
    bool Compressed;
    int32_t DpiX, DpiY;
};

} // namespace

TEST(ImageResolution, BmpInformationHeader)
{
    const TBmpCase cases[] = {
        {"72 dpi", 24, 0, 2835, 2835, false, 72, 72},
        {"96 by 300 dpi", 32, 0, 3780, 11811, false, 96, 300},
        {"rle8", 8, 1, 0, 0, true, 0, 0},
        {"bitfields", 16, 3, 2834, 2836, true, 72, 72},
    };
    for (const TBmpCase& c : cases) {
        const kbtest::TBytes b = BmpHead(c.Bits, c.Compression, c.PpmX, c.PpmY);
        uint16_t bits = 0;
        bool compressed = !c.Compressed;
        int32_t x = -1, y = -1;
        ReadBmpInfoFromBytes(b.Data().data(), b.Size(), bits, compressed, x, y);
        EXPECT_EQ(bits, c.Bits) << c.Name;
        EXPECT_EQ(compressed, c.Compressed) << c.Name;
        EXPECT_EQ(x, c.DpiX) << c.Name;
        EXPECT_EQ(y, c.DpiY) << c.Name;
    }
}

TEST(ImageResolution, BmpOs2CoreHeaderGivesItsBitsAndNoResolution)
{
    kbtest::TBytes b;
    b.Str("BM").U32(26).U32(0).U32(26).U32(12).I16(4).I16(4).I16(1).I16(24);
    uint16_t bits = 0;
    bool compressed = true;
    int32_t x = -1, y = -1;
    ReadBmpInfoFromBytes(b.Data().data(), b.Size(), bits, compressed, x, y);
    EXPECT_EQ(bits, 24);
    EXPECT_FALSE(compressed);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(ImageResolution, DamagedBmpHeadersRaiseAndLeaveNothingHalfRead)
{
    const std::vector<uint8_t> whole = BmpHead(24, 0, 2835, 2835).Data();
    std::vector<std::vector<uint8_t>> damaged = {
        {},
        std::vector<uint8_t>(whole.begin(), whole.begin() + 30), // cut inside the information header
        std::vector<uint8_t>(whole.begin(), whole.begin() + 53),
    };
    std::vector<uint8_t> notBm = whole;
    notBm[0] = 'P';
    damaged.push_back(notBm);
    std::vector<uint8_t> badSize = whole;
    badSize[14] = 20; // an information header size no BMP has
    damaged.push_back(badSize);
    for (const auto& bytes : damaged) {
        uint16_t bits = 0;
        bool compressed = false;
        int32_t x = 0, y = 0;
        EXPECT_THROW(ReadBmpInfoFromBytes(bytes.data(), bytes.size(), bits, compressed, x, y), ECADFileNotValid)
            << bytes.size();
    }
}

TEST(ImageResolution, FileReadersReadTheHeadAndRaiseOnMissingFiles)
{
    kbtest::TTempDir dir;
    kbtest::TBytes bmp = BmpHead(8, 0, 2835, 3780);
    bmp.Str(std::string(64, '\x7F')); // pixels beyond the headers are not read
    kbtest::WriteFileBytes(dir.File("a.bmp"), bmp.Data());
    uint16_t bits = 0;
    bool compressed = true;
    int32_t x = 0, y = 0;
    ReadBmpInfo(dir.File("a.bmp"), bits, compressed, x, y);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(x, 72);
    EXPECT_EQ(y, 96);
    EXPECT_THROW(ReadBmpInfo(dir.File("none.bmp"), bits, compressed, x, y), std::runtime_error);

    kbtest::TBytes jpeg;
    jpeg.U8(0xFF).U8(0xD8).U8(0xFF).U8(0xE0).U8(0).U8(16).Str(std::string("JFIF\0", 5));
    jpeg.U8(1).U8(2).U8(1).U8(0x01).U8(0x2C).U8(0x00).U8(0x48); // version, unit, X 300, Y 72
    kbtest::WriteFileBytes(dir.File("a.jpg"), jpeg.Data()); // shorter than 50 bytes
    uint16_t dx = 0, dy = 0;
    EXPECT_TRUE(ReadJpegDensity(dir.File("a.jpg"), dx, dy));
    EXPECT_EQ(dx, 300);
    EXPECT_EQ(dy, 72);
    EXPECT_THROW(ReadJpegDensity(dir.File("none.jpg"), dx, dy), std::runtime_error);
}

TEST(ImageResolution, JpegWithoutReadableDensityLeavesTheValues)
{
    const auto withMarkerAt = [](size_t offset, const std::string& marker) {
        kbtest::TBytes b;
        b.Str(std::string(offset, '\0')).Str(marker).Str(std::string(20, '\x11'));
        return b.Data();
    };
    const struct {
        const char* Name;
        std::vector<uint8_t> Bytes;
    } cases[] = {
        {"no JFIF", withMarkerAt(6, std::string("Exif\0", 5))},
        {"JFIF without its zero", withMarkerAt(6, "JFIFx")},
        {"JFIF beyond 50 bytes", withMarkerAt(46, std::string("JFIF\0", 5))},
        {"densities beyond 50 bytes", withMarkerAt(40, std::string("JFIF\0", 5))},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        uint16_t dx = 7, dy = 9;
        EXPECT_FALSE(ReadJpegDensityFromBytes(c.Bytes.data(), c.Bytes.size(), dx, dy)) << c.Name;
        EXPECT_EQ(dx, 7) << c.Name;
        EXPECT_EQ(dy, 9) << c.Name;
    }
    // The last place whose densities still lie within the 50 bytes.
    const std::vector<uint8_t> edge = withMarkerAt(38, std::string("JFIF\0", 5));
    uint16_t dx = 0, dy = 0;
    EXPECT_TRUE(ReadJpegDensityFromBytes(edge.data(), edge.size(), dx, dy));
    EXPECT_EQ(dx, 0x1111);
    EXPECT_EQ(dy, 0x1111);
}

}  // namespace image_resolution_test
