// Every test of this binary runs with a decimal comma in LC_NUMERIC, as a
// German desktop sets it (Qt sets the process locale from the environment):
// post files, written programs and read programs must not follow it.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

bool g_CommaLocale = false;

class TDecimalCommaEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
            if (std::setlocale(LC_NUMERIC, name)) {
                g_CommaLocale = true;
                break;
            }
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }
};

[[maybe_unused]] ::testing::Environment* const g_Environment =
    ::testing::AddGlobalTestEnvironment(new TDecimalCommaEnvironment);

TEST(DecimalComma, IsInEffectForEveryTest)
{
    if (!g_CommaLocale)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    EXPECT_EQ(std::string(text), "2,5");
}

} // namespace
