#pragma once
// The colour keywords of SVG 1.1 with their standard sRGB values, sorted by
// name and followed by the end entry "zzzzzzzzzzz" (all four components 0).

#include <cstdint>
#include <span>

struct named_color {
    char Name[22];
    uint8_t R;
    uint8_t G;
    uint8_t B;
    uint8_t A;
};

// The 147 keywords and the end entry: 148 entries.
std::span<const named_color> SvgColorNames();
