#pragma once
// Looks for colours in grabbed frames.

#include "core/geometry/Points.h"

#include <QImage>

#include <functional>

namespace kbtest {

using TColourTest = std::function<bool(QRgb)>;

// Mostly green, red or black (the anti-aliasing of none of them matters).
inline bool IsGreen(QRgb c) { return qGreen(c) > 160 && qRed(c) < 100 && qBlue(c) < 100; }
inline bool IsRed(QRgb c) { return qRed(c) > 160 && qGreen(c) < 100 && qBlue(c) < 100; }
inline bool IsBlack(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }

// True when a pixel within radius of p (inside the image) passes test.
inline bool ColourNear(const QImage& image, const TIntPoint& p, const TColourTest& test, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = p.X + dx;
            const int y = p.Y + dy;
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && test(image.pixel(x, y)))
                return true;
        }
    }
    return false;
}

} // namespace kbtest
