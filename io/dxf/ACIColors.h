#pragma once
// The 256 DXF colour numbers (ACI) as Windows colour values 0x00BBGGRR, and
// the reverse lookup the DXF export uses for layer colours.

#include <array>
#include <cstdint>
#include <optional>

// Indexed by DXF colour number 0..255. Number 0 is black, 7 white, 8 and 9
// are (65,65,65) and (128,128,128).
extern const std::array<uint32_t, 256> ACIColors;

// The colour of a DXF colour number; nothing for a number outside 0..255
// (files hold other numbers, e.g. 256 "by layer" or a negated "layer off").
std::optional<uint32_t> ACIColor(int64_t number);

// The colour number of a colour: only the eight exact colours red, yellow,
// green, cyan, blue, magenta, dark grey 0x808080 and light grey 0xC0C0C0 map
// to 1..6, 8 and 9; every other colour, black and white included, gives 7.
// Negated when on is false (a layer that is off).
int32_t ColorToACI(uint32_t colour, bool on);
