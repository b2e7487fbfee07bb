// Numbers of DXF values: every form a file may write, read the same whatever
// path the reader takes through it, and every damaged form refused.

#include "io/dxf/DXFValue.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dxf_value_test {

namespace {

TEST(DXFValue, DoublesInEveryWrittenForm)
{
    struct TCase {
        std::string Text;
        std::optional<double> Expected;
    };
    const std::vector<TCase> cases = {
        {"1.5", 1.5},
        {"-0.25", -0.25},
        {"  12.000000 ", 12.0},
        {"\t-3.125\r", -3.125},
        {"007.50", 7.5},
        {"42", 42.0},
        {"1,5", 1.5},
        {"-1,25", -1.25},
        {"5.", 5.0},
        {".5", 0.5},
        {"-.5", -0.5},
        {"+3", 3.0},
        {"+2.5", 2.5},
        {"1e3", 1000.0},
        {"-2.5E-2", -0.025},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"0.1000000000000000055511151231257827", 0.1},
        {"1.2.3", std::nullopt},
        {"1,000.5", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"1e", std::nullopt},
        {"1e400", std::nullopt},
        {"1" + std::string(400, '0'), std::nullopt},
        {"--1", std::nullopt},
        {"1 2", std::nullopt},
        {"12a", std::nullopt},
    };
    for (const TCase& c : cases) {
        const std::optional<double> value = ParseDXFDouble(c.Text);
        EXPECT_EQ(value.has_value(), c.Expected.has_value()) << '"' << c.Text << '"';
        if (value && c.Expected) {
            EXPECT_EQ(*value, *c.Expected) << '"' << c.Text << '"';
        }
    }
    const std::optional<double> negativeZero = ParseDXFDouble("-0.0");
    ASSERT_TRUE(negativeZero);
    EXPECT_TRUE(*negativeZero == 0.0 && std::signbit(*negativeZero));
}

// The decimals files write read to the very double the standard library
// reads from them, also at the edges of the exact short form (2^53 and
// 22 decimals) and past them.
TEST(DXFValue, DecimalsReadToTheNearestDouble)
{
    std::vector<std::string> texts = {
        "0.1", "2.675", "-0.000001", "9007199254740992", "9007199254740993", "-9007199254740993",
        "900719925474099.3", "9007199254740992.5", "0.0000000000000000000001", "0.00000000000000000000001",
        "1.0000000000000000000001", "1234567890123456789", "12345678901234567890", "0.30000000000000004",
        "-0.000000", "179769313486231570000000000000000000000.5",
    };
    // Coordinates as writers print them: fixed, six decimals.
    for (int i = -20000; i <= 20000; i += 7) {
        char buffer[64];
        const double x = i * 0.0123456789 + i * i * 1.7e-3;
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 6).ptr;
        texts.emplace_back(buffer, end);
    }
    for (const std::string& text : texts) {
        double expected = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
        const std::optional<double> value = ParseDXFDouble(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(std::bit_cast<uint64_t>(*value), std::bit_cast<uint64_t>(expected)) << text;
    }
}

} // namespace

}  // namespace dxf_value_test
