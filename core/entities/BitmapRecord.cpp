#include "core/entities/BitmapRecord.h"

#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

#include <QByteArray>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t PixelOffset = FileHeaderSize + InfoHeaderSize;
// The info header of OS/2 bitmaps: 16-bit width and height.
constexpr uint32_t CoreHeaderSize = 12;

[[noreturn]] void Invalid(const char* what)
{
    throw ECADFileNotValid(std::string("TBitmap2D.CreateFromStream: ") + what);
}

uint16_t Get16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool SizeAllowed(int64_t width, int64_t height)
{
    return width >= 0 && height >= 0 && width <= BitmapMaxSide && height <= BitmapMaxSide &&
           width * height <= BitmapMaxPixels;
}

// The pixels of the 32-bit layout that follow the 54-byte header.
QImage ReadDirect(TStream& stream, int32_t width, int32_t height)
{
    const bool topDown = height < 1;
    const int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
    if (!SizeAllowed(width, rows))
        Invalid("Invalid bitmap size");
    if (width == 0 || rows == 0)
        return QImage();
    const int64_t rowBytes = 4 * static_cast<int64_t>(width);
    if (!stream.CanHold(rows, rowBytes))
        Invalid("Bitmap data beyond the end of the stream");
    QImage image(width, static_cast<int>(rows), QImage::Format_ARGB32);
    if (image.isNull())
        Invalid("Not enough memory for the bitmap");
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (int64_t r = 0; r < rows; ++r) {
        stream.ReadBuffer(row.data(), row.size());
        const int target = static_cast<int>(topDown ? r : rows - 1 - r);
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(target));
        for (int32_t x = 0; x < width; ++x)
            line[x] = Get32(&row[static_cast<size_t>(x) * 4]);
    }
    return image;
}

// Any other BMP: the whole file as its header declares it, read by the
// image library. header holds the bytes already read from the file's start.
QImage ReadOther(TStream& stream, std::vector<uint8_t> header)
{
    const uint32_t total = Get32(&header[2]);
    if (total < header.size())
        Invalid("Invalid bitmap header");
    const size_t rest = total - header.size();
    if (!stream.CanHold(static_cast<int64_t>(rest), 1))
        Invalid("Bitmap data beyond the end of the stream");
    std::vector<uint8_t> file = std::move(header);
    const size_t known = file.size();
    file.resize(total);
    stream.ReadBuffer(file.data() + known, rest);

    // The declared size is checked before the library allocates for it.
    // Rows that are not compressed must also fit in the file; compressed
    // ones are bounded by the size limits alone.
    const uint32_t infoSize = file.size() >= FileHeaderSize + 4 ? Get32(&file[FileHeaderSize]) : 0;
    int64_t width = -1;
    int64_t height = -1;
    int64_t bitCount = 0;
    uint32_t compression = 0;
    if (infoSize == CoreHeaderSize && file.size() >= FileHeaderSize + CoreHeaderSize) {
        width = Get16(&file[18]);
        height = Get16(&file[20]);
        bitCount = Get16(&file[24]);
    } else if (infoSize >= InfoHeaderSize && file.size() >= FileHeaderSize + InfoHeaderSize) {
        width = static_cast<int32_t>(Get32(&file[18]));
        const int32_t h = static_cast<int32_t>(Get32(&file[22]));
        height = h < 0 ? -static_cast<int64_t>(h) : h;
        bitCount = Get16(&file[28]);
        compression = Get32(&file[30]);
    }
    if (!SizeAllowed(width, height))
        Invalid("Invalid bitmap size");
    const bool plainRows = compression == 0 || compression == 3; // none, bit fields
    if (plainRows && (width * bitCount + 31) / 32 * 4 * height > static_cast<int64_t>(total))
        Invalid("Bitmap data beyond the end of the stream");

    QImage image;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                                     static_cast<qsizetype>(file.size()));
    if (!image.loadFromData(bytes, "BMP"))
        Invalid("Unsupported bitmap format");
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull())
        Invalid("Unsupported bitmap format");
    return result;
}

} // namespace

QImage ReadBitmapRecord(TStream& stream)
{
    std::vector<uint8_t> header(FileHeaderSize + 4);
    stream.ReadBuffer(header.data(), header.size());
    if (header[0] != 'B' || header[1] != 'M')
        Invalid("Invalid bitmap header");
    if (Get32(&header[FileHeaderSize]) != InfoHeaderSize || Get32(&header[10]) != PixelOffset)
        return ReadOther(stream, std::move(header));
    header.resize(PixelOffset);
    stream.ReadBuffer(header.data() + FileHeaderSize + 4, PixelOffset - FileHeaderSize - 4);
    const uint16_t planes = Get16(&header[26]);
    const uint16_t bitCount = Get16(&header[28]);
    const uint32_t compression = Get32(&header[30]);
    if (planes != 1 || bitCount != 32 || compression != 0)
        return ReadOther(stream, std::move(header));
    return ReadDirect(stream, static_cast<int32_t>(Get32(&header[18])), static_cast<int32_t>(Get32(&header[22])));
}

void WriteBitmapRecord(TStream& stream, const QImage& image)
{
    const QImage argb = image.isNull() || image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32);
    const int64_t width = argb.isNull() ? 0 : argb.width();
    const int64_t height = argb.isNull() ? 0 : argb.height();
    if (!SizeAllowed(width, height))
        throw ECADSysException("TBitmap2D.SaveToStream: Bitmap too large");
    const int64_t total = BitmapRecordSize(width, height);
    std::vector<uint8_t> out(static_cast<size_t>(total), 0);
    uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<uint32_t>(total));
    Put32(h + 10, PixelOffset);
    Put32(h + 14, InfoHeaderSize);
    Put32(h + 18, static_cast<uint32_t>(width));
    Put32(h + 22, static_cast<uint32_t>(-height));
    Put16(h + 26, 1);
    Put16(h + 28, 32);
    Put32(h + 34, static_cast<uint32_t>(total - PixelOffset));
    uint8_t* p = h + PixelOffset;
    for (int64_t y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(static_cast<int>(y)));
        for (int64_t x = 0; x < width; ++x, p += 4)
            Put32(p, line[x]);
    }
    stream.Write(out.data(), out.size());
}
