#pragma once
// The BMP image embedded in the record of a bitmap entity.
//
// Written layout (always): a complete uncompressed 32-bit BMP, 54 + 4 w h
// bytes, little-endian:
//   0 "BM" | 2 total size 54 + 4 w h | 6 zero | 10 pixel offset 54 |
//   14 info header size 40 | 18 width w | 22 height -h (rows top-down) |
//   26 planes 1 | 28 bits per pixel 32 | 30 compression 0 |
//   34 image size 4 w h | 38 sixteen zero bytes (resolution, colour counts) |
//   54 pixels, blue, green, red, alpha, top row first, no row padding.
//
// Reading:
// - That layout (a 40-byte info header, pixels at 54, 1 plane, 32 bits, no
//   compression) is read directly and consumes 54 + 4 w h bytes. A height
//   below 1 means top-down rows, a positive height bottom-up rows; a width
//   or height of 0 gives an empty (null) image.
// - Any other BMP (24-bit, palettes, other info headers) is read from its
//   first byte by the image library and converted to 32 bits with opaque
//   alpha; it consumes exactly the total size that its file header declares.
// - Damage raises ECADFileNotValid (texts below, all starting with
//   "TBitmap2D.CreateFromStream:") and a stream that ends inside the file
//   header raises EStreamReadError. Declared sizes are checked against the
//   stream and against BitmapMaxSide before anything is allocated, so a
//   hostile record never allocates more than the stream holds. After an
//   error the stream position is unspecified.
//
// Images are QImage in Format_ARGB32 (each pixel 0xAARRGGBB); the stored
// alpha byte is kept as it is.

#include <QImage>

#include <cstdint>

class TStream;

// The largest width or height, and the most pixels, a stored bitmap may
// declare (the pixels of the largest one take 1 GiB).
inline constexpr int32_t BitmapMaxSide = 32768;
inline constexpr int64_t BitmapMaxPixels = int64_t{1} << 28;
// The size of the written record of a w x h image.
inline constexpr int64_t BitmapRecordSize(int64_t width, int64_t height)
{
    return 54 + 4 * width * height;
}

// Reads one embedded BMP (see above) into a Format_ARGB32 image.
QImage ReadBitmapRecord(TStream& stream);

// Writes image in the 32-bit top-down layout above (converted to ARGB32
// first when it has another format; a null image gives a 0 x 0 record).
// An image beyond BitmapMaxSide or BitmapMaxPixels, which no reader would
// take back, raises ECADSysException "TBitmap2D.SaveToStream: Bitmap too
// large" before anything is written.
void WriteBitmapRecord(TStream& stream, const QImage& image);
