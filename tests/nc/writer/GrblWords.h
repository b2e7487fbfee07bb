#pragma once
// What GRBL 1.1 accepts of a program: lines under 80 characters, ended by
// CR LF; the letters and codes of its G-code table; no tool-length or
// cutter compensation, no M6, no program number, no canned cycle.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace kbtest {

inline void ExpectGrblAccepts(const std::string& text, const std::string& name)
{
    const std::set<std::string> gCodes = {"0",  "1",  "2",  "3",  "4",  "10", "17", "18", "19", "20", "21",
                                          "28", "30", "40", "49", "53", "54", "55", "56", "57", "58", "59",
                                          "61", "80", "90", "91", "92", "93", "94"};
    const std::set<std::string> mCodes = {"0", "1", "2", "3", "4", "5", "7", "8", "9", "30"};
    const std::string letters = "FGIJKLMNPRSTXYZ";
    ASSERT_FALSE(text.empty()) << name;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        SCOPED_TRACE(name + ": " + line);
        EXPECT_LT(line.size(), 80u);
        size_t i = 0;
        while (i < line.size()) {
            const char c = line[i];
            if (c == ' ') {
                ++i;
            } else if (c == '(') {
                const size_t close = line.find(')', i);
                ASSERT_NE(close, std::string::npos);
                EXPECT_EQ(line.substr(i + 1, close - i - 1).find('('), std::string::npos) << "nested comment";
                i = close + 1;
            } else {
                ASSERT_NE(letters.find(c), std::string::npos) << "letter " << c;
                size_t j = i + 1;
                while (j < line.size() &&
                       (std::isdigit(static_cast<unsigned char>(line[j])) || line[j] == '.' || line[j] == '-'))
                    ++j;
                const std::string number = line.substr(i + 1, j - i - 1);
                ASSERT_FALSE(number.empty()) << "letter " << c << " without a number";
                if (c == 'G') {
                    EXPECT_TRUE(gCodes.count(number)) << "G" << number;
                } else if (c == 'M') {
                    EXPECT_TRUE(mCodes.count(number)) << "M" << number;
                }
                i = j;
            }
        }
    }
}

} // namespace kbtest
