#include "core/settings/NumberText.h"

#include "core/settings/AppConfig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace number_text_test {

namespace {

// The settings in the given unit, published for the number texts.
struct TUnitConfig {
    TAppConfig Config{""};
    explicit TUnitConfig(bool millimetres) { Config.SetUnit(millimetres); }
};

} // namespace

TEST(NumberText, FormatCoordUsesTheUnitsDecimalsAndDropsNeedlessZeros)
{
    struct TCase {
        bool mm;
        double v;
        const char* expected;
    };
    const TCase cases[] = {
        {true, 12.5, "12.5"},
        {true, 12, "12"},
        {true, 0.0004, "0"},
        {true, 2.0004, "2"},
        {true, -1.25, "-1.25"},
        {true, 1234.5678, "1234.568"},
        {true, 999.9996, "1000"},
        {true, 1e6, "1000000"},
        {true, 0.0625, "0.063"},   // an exact tie rounds away from zero
        {true, -0.0625, "-0.063"},
        {true, -0.0004, "0"},      // never "-0"
        {true, -0.0, "0"},
        {false, 2.5, "2.5"},
        {false, 1.23456, "1.2346"},
        {false, 0.03125, "0.0313"},
        {false, -0.00004, "0"},
        {false, -0.00005, "-0.0001"},
        {false, 100, "100"},
    };
    for (const TCase& c : cases) {
        TUnitConfig unit(c.mm);
        EXPECT_EQ(FormatCoord(c.v), c.expected) << (c.mm ? "mm " : "inch ") << c.v;
    }
}

TEST(NumberText, FormatFamily)
{
    {
        TUnitConfig mm(true);
        EXPECT_EQ(FormatToolSize(0.1234), "0.123");
        EXPECT_EQ(FormatCoordX(-1.5), "X-1.5");
        EXPECT_EQ(FormatCoordY(3), "Y3");
        EXPECT_EQ(FormatCoordSpaced(3), " 3.");
        EXPECT_EQ(FormatCoordSpacedTrim(3), " 3");
        EXPECT_EQ(FormatCoordSpaced(2.5), " 2.5");
        EXPECT_EQ(FormatCoordSpacedTrim(2.5), " 2.5");
        EXPECT_EQ(FormatCoordSpaced(-0.0001), " 0.");
        EXPECT_EQ(FormatCoordSpacedTrim(-0.0001), " 0");
    }
    {
        TUnitConfig inch(false);
        EXPECT_EQ(FormatToolSize(0.123456), "0.12346");
        EXPECT_EQ(FormatToolSize(0.25), "0.25");
        EXPECT_EQ(FormatCoordX(0.123456), "X0.1235");
    }
    // Single precision first: 0.00149999999 is 0.0015000000130 as a float.
    EXPECT_EQ(Format3DecimalsTrim(0.00149999999), "0.002");
    EXPECT_EQ(FormatFixedTrim(0.00149999999, 3), "0.001");
    EXPECT_EQ(Format3DecimalsTrim(30 * 1000 / (std::numbers::pi * 4)), "2387.324");
    EXPECT_EQ(Format3DecimalsTrim(0.4), "0.4");
    EXPECT_EQ(Format3DecimalsTrim(-0.0001), "0");
    EXPECT_EQ(FormatFixedTrim(std::numeric_limits<double>::quiet_NaN(), 3), "NAN");
    EXPECT_EQ(FormatFixedTrim(-std::numeric_limits<double>::infinity(), 3), "-INF");
    EXPECT_EQ(FormatFixed(1e300, 3).size(), 301u + 4u);
}

TEST(NumberText, SecondsToHMS)
{
    const std::pair<int32_t, const char*> cases[] = {
        {3725, " 1h, 02m, 05s"},
        {59, " 0h, 00m, 59s"},
        {0, " 0h, 00m, 00s"},
        {360000, " 100h, 00m, 00s"},
        {-65, " 0h, -01m, -05s"},
    };
    for (const auto& [s, expected] : cases)
        EXPECT_EQ(SecondsToHMS(s), expected) << s;
}

TEST(NumberText, ParsingTakesThePointOnly)
{
    const std::pair<const char*, std::optional<double>> decimals[] = {
        {"1.5", 1.5}, {" -2.25 ", -2.25}, {"+3", 3.0}, {".5", 0.5}, {"-.5", -0.5}, {"5.", 5.0},
        {"1e3", 1000.0}, {"1,5", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {".", std::nullopt}, {"-.", std::nullopt}, {"1-2", std::nullopt}, {"+-1", std::nullopt},
        {"inf", std::nullopt}, {"nan", std::nullopt}, {"1e999", std::nullopt}, {"0x10", std::nullopt},
    };
    for (const auto& [text, expected] : decimals)
        EXPECT_EQ(ParseDecimal(text), expected) << '"' << text << '"';

    const std::pair<const char*, std::optional<int32_t>> integers[] = {
        {"200", 200}, {" -7 ", -7}, {"+7", 7}, {"2147483647", 2147483647}, {"2147483648", std::nullopt},
        {"1.5", std::nullopt}, {"", std::nullopt}, {"+-1", std::nullopt}, {"12a", std::nullopt},
    };
    for (const auto& [text, expected] : integers)
        EXPECT_EQ(ParseInteger(text), expected) << '"' << text << '"';
}

TEST(NumberText, IsCompleteNumber)
{
    for (const char* text : {"", "-", ".", "-."})
        EXPECT_FALSE(IsCompleteNumber(text)) << '"' << text << '"';
    for (const char* text : {"5", "-1", "0.", ".5", "-.5", "1-"})
        EXPECT_TRUE(IsCompleteNumber(text)) << '"' << text << '"';
}

TEST(NumberText, KeyFilters)
{
    // Per key: what SignedDecimalKeyFilterEnter, SignedDecimalKeyFilter,
    // DecimalKeyFilter and DigitKeyFilter make of it ('\0' = dropped).
    struct TCase {
        char key;
        char signedEnter, signedDecimal, decimal, digit;
    };
    const TCase cases[] = {
        {'7', '7', '7', '7', '7'},
        {'0', '0', '0', '0', '0'},
        {kBackspaceKey, kBackspaceKey, kBackspaceKey, kBackspaceKey, kBackspaceKey},
        {kEnterKey, kEnterKey, '\0', '\0', '\0'},
        {'.', '.', '.', '.', '\0'},
        {',', '.', '.', '.', '\0'},
        {'-', '-', '-', '\0', '\0'},
        {'+', '\0', '\0', '\0', '\0'},
        {'e', '\0', '\0', '\0', '\0'},
        {' ', '\0', '\0', '\0', '\0'},
        {'\x80', '\0', '\0', '\0', '\0'},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(SignedDecimalKeyFilterEnter(c.key), c.signedEnter) << int(c.key);
        EXPECT_EQ(SignedDecimalKeyFilter(c.key), c.signedDecimal) << int(c.key);
        EXPECT_EQ(DecimalKeyFilter(c.key), c.decimal) << int(c.key);
        EXPECT_EQ(DigitKeyFilter(c.key), c.digit) << int(c.key);
    }
}

}  // namespace number_text_test
