// Numbers of DXF values: every form a file may write, read the same whatever
// path the reader takes through it, and every damaged form refused.

#include "io/dxf/DXFValue.h"

#include <gtest/gtest.h>

#include <cmath>
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

} // namespace

}  // namespace dxf_value_test
