#pragma once
// ASCII case folding for the program's own keywords, file extensions and
// ini names. Only 'A'..'Z' and 'a'..'z' change: bytes above 127 (8-bit
// Windows-1252 text) stay as they are, and the process locale, which Qt
// sets from the environment, takes no part.

#include <string>
#include <string_view>

constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiLowerCopy(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = AsciiLower(c);
    return s;
}

inline std::string AsciiUpperCopy(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = AsciiUpper(c);
    return s;
}

// Equal but for ASCII case.
constexpr bool SameTextAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}
