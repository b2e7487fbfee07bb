#include "io/dxf/ACIColors.h"

#include <gtest/gtest.h>

namespace aci_colors_test {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | g << 8 | b << 16;
}

} // namespace

TEST(ACIColors, SpotValues)
{
    const struct {
        int Number;
        uint32_t Colour;
    } cases[] = {
        {0, Rgb(0, 0, 0)},        {1, Rgb(255, 0, 0)},       {2, Rgb(255, 255, 0)},
        {5, Rgb(0, 0, 255)},      {7, Rgb(255, 255, 255)},   {8, Rgb(65, 65, 65)},
        {9, Rgb(128, 128, 128)},  {31, Rgb(255, 212, 170)},  {142, Rgb(0, 141, 189)},
        {199, Rgb(66, 53, 79)},   {249, Rgb(79, 53, 59)},    {250, Rgb(51, 51, 51)},
        {254, Rgb(190, 190, 190)}, {255, Rgb(255, 255, 255)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ACIColors[c.Number], c.Colour) << c.Number;
        EXPECT_EQ(ACIColor(c.Number), c.Colour) << c.Number;
    }
    for (const int64_t outside : {-1LL, 256LL, 257LL, -255LL, 1LL << 40})
        EXPECT_EQ(ACIColor(outside), std::nullopt) << outside;
}

TEST(ACIColors, ColorToACI)
{
    const struct {
        uint32_t Colour;
        int32_t Number;
    } cases[] = {
        {0x0000FF, 1}, {0x00FFFF, 2}, {0x00FF00, 3}, {0xFFFF00, 4}, {0xFF0000, 5}, {0xFF00FF, 6},
        {0x808080, 8}, {0xC0C0C0, 9}, {0x000000, 7}, {0xFFFFFF, 7}, {0x0000FE, 7}, {0x414141, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToACI(c.Colour, true), c.Number) << std::hex << c.Colour;
        EXPECT_EQ(ColorToACI(c.Colour, false), -c.Number) << std::hex << c.Colour;
    }
}

}  // namespace aci_colors_test
